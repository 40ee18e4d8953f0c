#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// A colour as the settings store it: 0x00BBGGRR for plain RGB (red in the low byte),
// 0x80000000 + index for a system colour, 0x1FFFFFFF for "clNone".
using ColorValue = int32_t;

constexpr ColorValue kClNone = 0x1FFFFFFF;
constexpr ColorValue kClWhite = 0x00FFFFFF;
constexpr ColorValue kClBlack = 0x00000000;

// The colour's name when it has one ("clWhite", "clBtnFace", "clNone"), else "$" and
// eight uppercase hexadecimal digits ("$00D5E7EA").
std::string ColorToString(ColorValue colour);

// A colour name, "$" with hexadecimal digits, or a decimal number; nothing else.
std::optional<ColorValue> StringToColor(std::string_view text);

// The two halves of a colour pair, split at the last "_". A text without "_" gives
// itself for both halves.
struct ColorPairTexts {
    std::string Top;
    std::string Bottom;
};
ColorPairTexts SplitColorPair(std::string_view pair);
std::string JoinColorPair(ColorValue top, ColorValue bottom);

// The plain RGB a colour stands for on this system (system colours resolved to the
// standard Windows scheme, "clNone" to black), as 0x00RRGGBB for drawing.
uint32_t ColorToRgb(ColorValue colour);

}  // namespace settings
