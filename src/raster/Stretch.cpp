#include "raster/Stretch.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "raster/PixelRows.h"

namespace raster {

// GDI picks pixels along the longer of the two extents, like a line drawn through the
// pixel centres, with ties going to the lower pixel:
//  - enlarging (dstLen >= srcLen): destination pixel d shows the source pixel under its
//    centre, s = floor(((2d + 1) * srcLen - 1) / (2 * dstLen)), on both axes;
//  - reducing (dstLen < srcLen): each source pixel s falls on destination pixel
//    floor(((2s + 1) * dstLen - 1) / (2 * srcLen)). Of the columns falling on one pixel
//    the last stays, s = floor((2 * srcLen * (d + 1) - dstLen) / (2 * dstLen)), except
//    that reducing to a single column takes the last but one; of the rows the first
//    stays, s = ceil((2 * srcLen * d + 1 - dstLen) / (2 * dstLen)).
// Established on GDI's DIB engine as reproduced by Wine (whose own tests check it against
// Windows): every pair of extents up to 40 and random ones up to 300 on the horizontal
// axis, and the reference cases kept in tests/data/raster for both.
int StretchSourceColumn(long long d, int dstLen, int srcLen) {
    long long sl = srcLen, dl = dstLen;
    if (dl >= sl) return int(((2 * d + 1) * sl - 1) / (2 * dl));
    if (dl == 1) return int(sl - 2);
    return int((2 * sl * (d + 1) - dl) / (2 * dl));
}

int StretchSourceRow(long long d, int dstLen, int srcLen) {
    long long sl = srcLen, dl = dstLen;
    if (dl >= sl) return int(((2 * d + 1) * sl - 1) / (2 * dl));
    long long num = 2 * sl * d + 1 - dl;  // ceiling division; num >= 1 - dl > -2 * dl
    return int(num <= 0 ? 0 : (num + 2 * dl - 1) / (2 * dl));
}

namespace {

// Source indexes for the destination pixels first .. last - 1 of an axis whose
// destination extent starts at `dstStart`; -1 where the source pixel lies outside
// 0 .. srcSize - 1.
std::vector<int> AxisMap(int (*pick)(long long, int, int), int dstStart, int dstLen, int first,
                         int last, int srcStart, int srcLen, int srcSize) {
    std::vector<int> map;
    map.reserve(size_t(last - first));
    for (int d = first; d < last; ++d) {
        long long s = (long long)srcStart + pick((long long)d - dstStart, dstLen, srcLen);
        map.push_back(s >= 0 && s < srcSize ? int(s) : -1);
    }
    return map;
}

// Gathers one destination row from one source row through the column map (all entries
// valid), one loop per pixel size.
template <int kBytes>
void GatherBytes(uint8_t* d, const uint8_t* s, const int* xs, size_t n) {
    for (size_t i = 0; i < n; ++i)
        std::memcpy(d + kBytes * i, s + size_t(kBytes) * size_t(xs[i]), kBytes);
}

void GatherPixels(uint8_t* dstRow, int dstX, const uint8_t* srcRow, const int* xs, size_t n,
                  PixelFormat format) {
    switch (format) {
        case PixelFormat::Bits8:
            GatherBytes<1>(dstRow + dstX, srcRow, xs, n);
            break;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            GatherBytes<2>(dstRow + 2 * size_t(dstX), srcRow, xs, n);
            break;
        case PixelFormat::Bits24:
            GatherBytes<3>(dstRow + 3 * size_t(dstX), srcRow, xs, n);
            break;
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            GatherBytes<4>(dstRow + 4 * size_t(dstX), srcRow, xs, n);
            break;
        case PixelFormat::Bits1:
        case PixelFormat::Bits4:
            for (size_t i = 0; i < n; ++i)
                detail::WriteValue(dstRow, format, dstX + int(i),
                                   detail::ReadValue(srcRow, format, xs[i]));
            break;
    }
}

}  // namespace

void StretchBlt(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy,
                int sw, int sh) {
    if (src.Format() != dst.Format())
        throw std::invalid_argument("StretchBlt: the bitmaps must share a pixel format");
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || dst.Empty() || src.Empty()) return;
    if (dw > kMaxStretchExtent || dh > kMaxStretchExtent || sw > kMaxStretchExtent ||
        sh > kMaxStretchExtent)
        return;
    int x0 = int(std::max<long long>(dx, 0)),
        x1 = int(std::min<long long>((long long)dx + dw, dst.Width()));
    int y0 = int(std::max<long long>(dy, 0)),
        y1 = int(std::min<long long>((long long)dy + dh, dst.Height()));
    if (x1 <= x0 || y1 <= y0) return;
    std::vector<int> xs = AxisMap(&StretchSourceColumn, dx, dw, x0, x1, sx, sw, src.Width());
    std::vector<int> ys = AxisMap(&StretchSourceRow, dy, dh, y0, y1, sy, sh, src.Height());

    // Only the run of columns whose source lies inside `src` is drawn; the mapping is
    // monotonic, so that run is contiguous.
    auto firstValid = std::find_if(xs.begin(), xs.end(), [](int s) { return s >= 0; });
    if (firstValid == xs.end()) return;
    auto lastValid = std::find_if(firstValid, xs.end(), [](int s) { return s < 0; });
    int runStart = x0 + int(firstValid - xs.begin());
    size_t runLength = size_t(lastValid - firstValid);

    // Copying `src` onto itself needs the source rows as they were.
    const Bitmap* source = &src;
    Bitmap copy;
    if (&src == &dst) {
        copy = src;
        source = &copy;
    }

    PixelFormat format = dst.Format();
    int bpp = BitsPerPixel(format);
    const size_t runBytes = runLength * size_t(bpp) / 8,
                 runOffset = size_t(runStart) * size_t(bpp) / 8;
    int previousSourceRow = -1;
    uint8_t* previousRow = nullptr;
    for (int y = y0; y < y1; ++y) {
        int srcY = ys[size_t(y - y0)];
        if (srcY < 0) continue;
        uint8_t* row = dst.Scanline(y);
        if (srcY == previousSourceRow && bpp >= 8) {
            // A repeated source row: copy the row just made.
            std::memcpy(row + runOffset, previousRow + runOffset, runBytes);
        } else {
            GatherPixels(row, runStart, source->Scanline(srcY), &*firstValid, runLength, format);
        }
        previousSourceRow = srcY;
        previousRow = row;
    }
}

}  // namespace raster
