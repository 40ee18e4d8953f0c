#pragma once

#include <QImage>

#include "raster/Bitmap.h"

namespace transitions {

// The engine's pixel format for pictures kept in memory as `format`: by bits per pixel,
// 1 -> Bits1, 4 -> Bits4, 8 -> Bits8, 32 -> Bits32, 16 -> 5-6-5 or 5-5-5 as a probe of the
// green channel finds, anything else -> Bits24.
raster::PixelFormat PixelFormatOfImageFormat(QImage::Format format);

// Finds the primary screen's pixel format, makes it the display format of the transition
// engine and answers it. Applications call it once at start, after creating QApplication.
raster::PixelFormat ProbeDisplayPixelFormat();

}  // namespace transitions
