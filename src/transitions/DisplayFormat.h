#pragma once

#include "raster/Bitmap.h"

namespace transitions {

// The display's pixel format, as the engine makes its bitmaps. The application probes the
// real display once at start; headless runs may choose any format.
// FIXME: process-wide state; a test that changes it must set it back (one display per
// program is all the engine supports).
raster::PixelFormat DisplayPixelFormat();
void SetDisplayPixelFormat(raster::PixelFormat format);
// The display has more than 8 bits per pixel.
bool DisplayIsHighColour();
// Bits per pixel of the display (8 for format 3, 16 for formats 4 and 5, ...).
int DisplayBitsPerPixel();

// A bitmap of the given size in `format` (the display's format for Device), with the
// default palette for the palette formats.
raster::Bitmap MakeDisplayBitmap(int width, int height, raster::PixelFormat format);

}  // namespace transitions
