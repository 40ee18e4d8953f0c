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

// Takes a picture's rows as a decoder makes them, top to bottom as stored, and puts them
// straight into the upright bitmap, so a decoded picture is held once, turned or not:
// rows land in their upright place and are mirrored there, or, for the quarter turns and
// diagonal mirrors, gather in a small band that is transposed into the bitmap when full.
// For formats of 8, 16, 24 and 32 bits per pixel.
class UprightRows {
public:
    UprightRows(int width, int height, raster::PixelFormat format, Orientation orientation);

    // Where stored row `y` is to be written; rows come in order, from 0.
    uint8_t* Row(int y);
    // Stored row `y` is written.
    void Done(int y);
    // The upright bitmap, complete once every row is done. Its palette may be set at any
    // time.
    raster::Bitmap& Upright() { return m_upright; }

private:
    int m_width, m_height;
    Orientation m_orientation;
    raster::Bitmap m_upright;
    raster::Bitmap m_band;
};

}  // namespace codecs
