#pragma once

#include "raster/Bitmap.h"

namespace raster {

// StretchBlt in colour-on-colour mode with a plain copy: the sw x sh block of `src` at
// (sx, sy) is drawn over the dw x dh block of `dst` at (dx, dy), pixels repeated or
// dropped, never blended. Both bitmaps have the same pixel format (else
// std::invalid_argument). The pixel mapping is fixed by the unclipped blocks; pixels
// that fall outside `dst`, or whose source pixel lies outside `src`, are left alone.
// Non-positive extents draw nothing (no effect mirrors), and so do extents beyond
// kMaxStretchExtent, which keeps the pixel arithmetic in 64 bits.
constexpr int kMaxStretchExtent = 1 << 28;

void StretchBlt(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy,
                int sw, int sh);

// The source column (0 .. srcLen - 1) drawn at destination column d (0 .. dstLen - 1)
// when srcLen columns are stretched over dstLen, and the same for rows. The two axes
// differ when reducing. Lengths up to kMaxStretchExtent. See Stretch.cpp.
int StretchSourceColumn(long long d, int dstLen, int srcLen);
int StretchSourceRow(long long d, int dstLen, int srcLen);

}  // namespace raster
