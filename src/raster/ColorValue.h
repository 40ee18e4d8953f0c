#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/Bitmap.h"

namespace raster {

// A colour as settings files and controls store it: 0x00BBGGRR for plain RGB (red in the
// low byte), 0x80000000 + index for a system colour, 0x1FFFFFFF for "clNone".
using ColorValue = int32_t;

constexpr ColorValue kClNone = 0x1FFFFFFF;
constexpr ColorValue kClWhite = 0x00FFFFFF;
constexpr ColorValue kClBlack = 0x00000000;

// System colours are kSystemColorBase plus their index, 0 .. kSystemColorCount - 1.
constexpr uint32_t kSystemColorBase = 0x80000000u;
constexpr size_t kSystemColorCount = 25;

// The plain RGB a colour stands for on this system (system colours resolved to the
// standard Windows scheme, "clNone" to black), as 0x00RRGGBB for drawing.
Rgb ColorToRgb(ColorValue colour);

}  // namespace raster
