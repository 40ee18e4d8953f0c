#pragma once

#include <QImage>

#include "raster/Bitmap.h"

namespace transitions {

// A QImage showing the bitmap. It shares the bitmap's memory (no copy) for every format Qt
// can read in place: 32 bits as RGB32, 24 as BGR888, 16 as RGB16, 15 as RGB555, 8 and 1 bit
// with their colour tables. 4-bit bitmaps, which Qt cannot read, are expanded to 8 bits.
// A shared image is valid while the bitmap lives and keeps its size.
QImage CanvasImage(raster::Bitmap& bitmap);

}  // namespace transitions
