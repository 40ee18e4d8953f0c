#include "settings/ColorText.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace settings {

namespace {

struct NamedColor {
    const char* Name;
    ColorValue Value;
};

constexpr std::array<NamedColor, 16> kStandardColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

// System colours: raster::kSystemColorBase plus the position in this list.
constexpr std::array<const char*, raster::kSystemColorCount> kSystemColors = {
    "clScrollBar",    "clBackground",  "clActiveCaption", "clInactiveCaption",
    "clMenu",         "clWindow",      "clWindowFrame",   "clMenuText",
    "clWindowText",   "clCaptionText", "clActiveBorder",  "clInactiveBorder",
    "clAppWorkSpace", "clHighlight",   "clHighlightText", "clBtnFace",
    "clBtnShadow",    "clGrayText",    "clBtnText",       "clInactiveCaptionText",
    "clBtnHighlight", "cl3DDkShadow",  "cl3DLight",       "clInfoText",
    "clInfoBk",
};

constexpr uint32_t kSystemBase = raster::kSystemColorBase;

}  // namespace

std::string ColorToString(ColorValue colour) {
    for (const auto& c : kStandardColors)
        if (c.Value == colour) return c.Name;
    uint32_t u = static_cast<uint32_t>(colour);
    if (u >= kSystemBase && u < kSystemBase + kSystemColors.size())
        return kSystemColors[u - kSystemBase];
    if (colour == kClNone) return "clNone";
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", u);
    return buf;
}

std::optional<ColorValue> StringToColor(std::string_view text) {
    for (const auto& c : kStandardColors)
        if (text == c.Name) return c.Value;
    for (size_t i = 0; i < kSystemColors.size(); ++i)
        if (text == kSystemColors[i]) return static_cast<ColorValue>(kSystemBase + i);
    if (text == "clNone") return kClNone;
    if (text.empty()) return std::nullopt;

    // Numbers: an optional sign, then "$" or "0x" with hex digits, or decimal digits;
    // the value must fit in 32 bits.
    bool negative = false;
    std::string_view digits = text;
    if (digits.front() == '-' || digits.front() == '+') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (!digits.empty() && digits.front() == '$') {
        base = 16;
        digits.remove_prefix(1);
    } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (base == 16) {
        if (value > 0xFFFFFFFFull) return std::nullopt;
        uint32_t u = static_cast<uint32_t>(value);
        return static_cast<ColorValue>(negative ? 0u - u : u);
    }
    if (negative ? value > 0x80000000ull : value > 0x7FFFFFFFull) return std::nullopt;
    int64_t signedValue = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return static_cast<ColorValue>(signedValue);
}

ColorPairTexts SplitColorPair(std::string_view pair) {
    size_t cut = pair.rfind('_');
    if (cut == std::string_view::npos) return {std::string(pair), std::string(pair)};
    return {std::string(pair.substr(0, cut)), std::string(pair.substr(cut + 1))};
}

std::string JoinColorPair(ColorValue top, ColorValue bottom) {
    return ColorToString(top) + "_" + ColorToString(bottom);
}

}  // namespace settings
