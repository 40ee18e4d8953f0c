#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "raster/ColorValue.h"

namespace settings {

using raster::ColorValue;
using raster::kClBlack;
using raster::kClNone;
using raster::kClWhite;

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

}  // namespace settings
