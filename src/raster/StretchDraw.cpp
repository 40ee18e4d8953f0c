#include "raster/StretchDraw.h"

#include <cstring>
#include <vector>

#include "raster/Stretch.h"

namespace raster {

namespace {

// Source coordinate for each destination column or row of a stretch, picked as
// StretchBlt picks it.
std::vector<int> SampleMap(int (*pick)(long long, int, int), int dstStart, int dstLen, int srcLen,
                           int clipStart, int clipEnd) {
    std::vector<int> map;
    if (dstLen <= 0) return map;
    for (int d = clipStart; d < clipEnd; ++d)
        map.push_back(pick((long long)d - dstStart, dstLen, srcLen));
    return map;
}

}  // namespace

void StretchDraw(Bitmap& dst, const core::Rect& dstRect, const Bitmap& src, const Bitmap* opaque) {
    if (src.Empty() || dst.Empty() || dstRect.IsEmpty()) return;
    if ((long long)dstRect.Right - dstRect.Left > kMaxStretchExtent ||
        (long long)dstRect.Bottom - dstRect.Top > kMaxStretchExtent)
        return;
    core::Rect clip = dstRect.Intersected({0, 0, dst.Width(), dst.Height()});
    if (clip.IsEmpty()) return;
    auto xs = SampleMap(&StretchSourceColumn, dstRect.Left, dstRect.Width(), src.Width(), clip.Left,
                        clip.Right);
    auto ys = SampleMap(&StretchSourceRow, dstRect.Top, dstRect.Height(), src.Height(), clip.Top,
                        clip.Bottom);

    if (!opaque && src.Format() == dst.Format()) {
        StretchBlt(dst, dstRect.Left, dstRect.Top, dstRect.Width(), dstRect.Height(), src, 0, 0,
                   src.Width(), src.Height());
        return;
    }

    // True colour both ways without a mask is the common path (pictures into a 32 or 24
    // bit show area): walk rows directly.
    bool fast = !opaque &&
                (dst.Format() == PixelFormat::Bits32 || dst.Format() == PixelFormat::Bits24) &&
                (src.Format() == PixelFormat::Bits32 || src.Format() == PixelFormat::Bits24);
    if (fast) {
        int sb = src.Bpp() / 8, db = dst.Bpp() / 8;
        for (size_t j = 0; j < ys.size(); ++j) {
            const uint8_t* s = src.Scanline(ys[j]);
            uint8_t* d = dst.Scanline(clip.Top + int(j)) + size_t(clip.Left) * db;
            for (size_t i = 0; i < xs.size(); ++i, d += db) {
                const uint8_t* p = s + size_t(xs[i]) * sb;
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
            }
        }
        return;
    }
    for (size_t j = 0; j < ys.size(); ++j)
        for (size_t i = 0; i < xs.size(); ++i) {
            if (opaque && !opaque->GetIndex(xs[i], ys[j])) continue;
            dst.SetPixel(clip.Left + int(i), clip.Top + int(j), src.GetPixel(xs[i], ys[j]));
        }
}

}  // namespace raster
