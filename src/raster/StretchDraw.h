#pragma once

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace raster {

// Draws the whole of `src` into `dstRect` of `dst`, stretched with nearest-neighbour
// sampling (colour-on-colour), clipped to `dst`. Any source format into any target
// format. When `opaque` is given (1-bit, the size of `src`), only source pixels whose
// bit is set are drawn, so transparent picture pixels leave the target as it was.
void StretchDraw(Bitmap& dst, const core::Rect& dstRect, const Bitmap& src,
                 const Bitmap* opaque = nullptr);

}  // namespace raster
