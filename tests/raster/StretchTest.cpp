#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "raster/Stretch.h"
#include "raster/StretchDraw.h"

namespace {

using raster::Bitmap;
using raster::PixelFormat;
using rastertest::Lcg;

enum class Axis { Columns, Rows };

// The pixel choice written out from its definition, along one axis: enlarging, each
// destination pixel takes the source pixel under its centre (a centre on a boundary takes
// the lower pixel); reducing, each source pixel goes to the destination pixel under its
// centre, the same way, and of the columns the last to arrive stays (reducing to one
// column takes the last but one), of the rows the first.
std::vector<int> ReferenceAxis(int dstLen, int srcLen, Axis axis) {
    std::vector<int> map(size_t(dstLen), -1);
    if (dstLen >= srcLen) {
        // Centre of destination pixel d, in source pixels: (2d + 1) * srcLen / (2 * dstLen).
        for (int d = 0; d < dstLen; ++d) {
            int s = 0;
            while (2LL * (s + 1) * dstLen < (2LL * d + 1) * srcLen) ++s;
            map[size_t(d)] = s;
        }
    } else if (dstLen == 1 && axis == Axis::Columns) {
        map[0] = srcLen - 2;
    } else {
        for (int s = 0; s < srcLen; ++s) {
            int d = 0;
            while (2LL * (d + 1) * srcLen < (2LL * s + 1) * dstLen) ++d;
            if (axis == Axis::Columns || map[size_t(d)] < 0) map[size_t(d)] = s;
        }
    }
    return map;
}

void ReferenceStretch(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx,
                      int sy, int sw, int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const Bitmap source = src;
    std::vector<int> xs = ReferenceAxis(dw, sw, Axis::Columns),
                     ys = ReferenceAxis(dh, sh, Axis::Rows);
    for (int j = 0; j < dh; ++j)
        for (int i = 0; i < dw; ++i) {
            int x = dx + i, y = dy + j, u = sx + xs[size_t(i)], v = sy + ys[size_t(j)];
            if (x < 0 || y < 0 || x >= dst.Width() || y >= dst.Height()) continue;
            if (u < 0 || v < 0 || u >= source.Width() || v >= source.Height()) continue;
            dst.SetIndex(x, y, source.GetIndex(u, v));
        }
}

// Random stretches and reductions across formats, clipped on every side, with source
// blocks reaching outside their bitmap and blocks drawn onto their own bitmap, folded
// into one checksum per side.
TEST(StretchBlt, RandomBlocksMatchThePerPixelReference) {
    Lcg rng(31);
    uint32_t fast = 2166136261u, reference = 2166136261u;
    std::string firstMismatch;
    for (PixelFormat format : rastertest::kAllFormats) {
        for (int n = 0; n < 160; ++n) {
            Bitmap dst = rastertest::RandomBitmap(rng, rng.Range(1, 60), rng.Range(1, 30), format);
            Bitmap src = rastertest::RandomBitmap(rng, rng.Range(1, 60), rng.Range(1, 30), format);
            bool self = rng.Next(8) == 0;
            const Bitmap& source = self ? dst : src;
            int sw = rng.Range(-1, source.Width() + 2), sh = rng.Range(-1, source.Height() + 2);
            int sx = rng.Range(-3, source.Width() - 1), sy = rng.Range(-3, source.Height() - 1);
            int dw = n % 5 == 0 ? 1 : rng.Range(-1, 90), dh = n % 7 == 0 ? 1 : rng.Range(-1, 45);
            int dx = rng.Range(-30, dst.Width()), dy = rng.Range(-15, dst.Height());

            Bitmap expected = dst;
            ReferenceStretch(expected, dx, dy, dw, dh, source, sx, sy, sw, sh);
            raster::StretchBlt(dst, dx, dy, dw, dh, self ? dst : src, sx, sy, sw, sh);
            fast = rastertest::Fnv(dst, fast);
            reference = rastertest::Fnv(expected, reference);
            if (firstMismatch.empty() && !(dst == expected))
                firstMismatch = "format " + std::to_string(int(format)) + " case " +
                                std::to_string(n) + ": " + std::to_string(sw) + "x" +
                                std::to_string(sh) + " at " + std::to_string(sx) + "," +
                                std::to_string(sy) + " onto " + std::to_string(dw) + "x" +
                                std::to_string(dh) + " at " + std::to_string(dx) + "," +
                                std::to_string(dy) + (self ? " self" : "");
        }
    }
    EXPECT_EQ(fast, reference) << firstMismatch;
}

// The drip stretches one column of the new picture over the rest of the frame.
TEST(StretchBlt, OneColumnFillsTheRectangle) {
    Bitmap src(5, 3, PixelFormat::Bits24), dst(9, 3, PixelFormat::Bits24);
    for (int y = 0; y < 3; ++y) src.SetPixel(2, y, 0x102030u * uint32_t(y + 1));
    raster::StretchBlt(dst, 4, 0, 5, 3, src, 2, 0, 1, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(dst.GetPixel(x, y), x < 4 ? 0u : 0x102030u * uint32_t(y + 1));
}

// StretchDraw, which the picture codecs use across formats, picks the same pixels.
TEST(StretchDraw, PicksThePixelsStretchBltPicks) {
    Lcg rng(8);
    Bitmap picture = rastertest::RandomBitmap(rng, 37, 23, PixelFormat::Bits8);
    const core::Rect rects[] = {{-5, 3, 60, 40}, {2, 2, 20, 15}, {10, -4, 11, 30}};
    for (const core::Rect& r : rects) {
        Bitmap viaDraw(48, 32, PixelFormat::Bits32);
        raster::StretchDraw(viaDraw, r, picture);
        Bitmap same(48, 32, PixelFormat::Bits8);
        same.Palette() = picture.Palette();
        raster::StretchBlt(same, r.Left, r.Top, r.Width(), r.Height(), picture, 0, 0, 37, 23);
        Bitmap converted = same.ConvertTo(PixelFormat::Bits32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x) {
                bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                ASSERT_EQ(viaDraw.GetPixel(x, y), inside ? converted.GetPixel(x, y) : 0u)
                    << x << "," << y;
            }
    }
}

// Extents far beyond any picture draw nothing rather than overflow.
TEST(StretchBlt, HugeExtentsDrawNothing) {
    const int big = std::numeric_limits<int>::max();
    Bitmap src(4, 4, PixelFormat::Bits8), dst(8, 8, PixelFormat::Bits8);
    std::fill(src.Bits(), src.Bits() + src.SizeBytes(), uint8_t(7));
    raster::StretchBlt(dst, -big + 1, 0, big, 8, src, 0, 0, 4, 4);
    raster::StretchBlt(dst, 0, 0, 8, 8, src, 0, 0, big, big);
    raster::StretchDraw(dst, {-big, -big, big, big}, src);
    EXPECT_EQ(dst, Bitmap(8, 8, PixelFormat::Bits8));
}

TEST(StretchBlt, RefusesMixedFormats) {
    Bitmap a(4, 4, PixelFormat::Bits24), b(4, 4, PixelFormat::Bits32);
    EXPECT_THROW(raster::StretchBlt(a, 0, 0, 8, 8, b, 0, 0, 4, 4), std::invalid_argument);
}

}  // namespace
