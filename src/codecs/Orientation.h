#pragma once

#include <cstdint>

#include "raster/Bitmap.h"

namespace codecs {

// How a camera stored a picture, as the Exif orientation tag gives it: the value says
// which transform of the stored pixels shows the picture upright.
enum class Orientation : uint8_t {
    Upright = 1,
    MirrorHorizontal = 2,
    Rotate180 = 3,
    MirrorVertical = 4,
    Transpose = 5,   // mirrored along the diagonal from the top left corner
    Rotate90 = 6,    // turn a quarter clockwise to show it upright
    Transverse = 7,  // mirrored along the other diagonal
    Rotate270 = 8,   // turn a quarter anticlockwise to show it upright
};

// True for the quarter turns and the diagonal mirrors, which swap width and height.
constexpr bool SwapsAxes(Orientation orientation) {
    return static_cast<int>(orientation) >= static_cast<int>(Orientation::Transpose);
}

// Makes a bitmap stored in `orientation` upright: mirrors and the half turn work in
// place, row by row; the other four make a bitmap of swapped size, transposed in tiles.
// Keeps the format and the palette.
void MakeUpright(raster::Bitmap& bitmap, Orientation orientation);

}  // namespace codecs
