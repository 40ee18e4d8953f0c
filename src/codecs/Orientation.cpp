#include "codecs/Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace codecs {

namespace {

// Transposing walks the source a row at a time and writes the target a column at a time;
// in tiles of this many pixels square, the target rows being written stay in the cache.
constexpr int kTile = 32;

// Every orientation is an optional transpose followed by mirrors of the upright picture:
// left to right (x) and top to bottom (y).
struct Flips {
    bool x, y;
};

Flips FlipsOf(Orientation orientation) {
    switch (orientation) {
        case Orientation::MirrorHorizontal:
            return {true, false};
        case Orientation::Rotate180:
            return {true, true};
        case Orientation::MirrorVertical:
            return {false, true};
        case Orientation::Rotate90:
            return {true, false};
        case Orientation::Transverse:
            return {true, true};
        case Orientation::Rotate270:
            return {false, true};
        default:
            return {false, false};
    }
}

template <size_t N>
void SwapPixels(uint8_t* a, uint8_t* b) {
    uint8_t t[N];
    std::memcpy(t, a, N);
    std::memcpy(a, b, N);
    std::memcpy(b, t, N);
}

// Swaps `a` with `b` read backwards, pixel for pixel; `a == b` reverses the row in place.
template <size_t N>
void SwapReversed(uint8_t* a, uint8_t* b, int width) {
    if (a == b) {
        for (int i = 0, j = width - 1; i < j; ++i, --j) SwapPixels<N>(a + i * N, a + j * N);
        return;
    }
    for (int i = 0; i < width; ++i) SwapPixels<N>(a + i * N, b + (width - 1 - i) * N);
}

template <size_t N>
void MirrorOrTurnHalf(raster::Bitmap& bitmap, Orientation orientation) {
    const int w = bitmap.Width(), h = bitmap.Height();
    switch (orientation) {
        case Orientation::MirrorHorizontal:
            for (int y = 0; y < h; ++y) SwapReversed<N>(bitmap.Scanline(y), bitmap.Scanline(y), w);
            break;
        case Orientation::Rotate180:
            for (int y = 0; y < (h + 1) / 2; ++y)
                SwapReversed<N>(bitmap.Scanline(y), bitmap.Scanline(h - 1 - y), w);
            break;
        case Orientation::MirrorVertical:
            for (int y = 0; y < h / 2; ++y)
                std::swap_ranges(bitmap.Scanline(y), bitmap.Scanline(y) + size_t(w) * N,
                                 bitmap.Scanline(h - 1 - y));
            break;
        default:
            break;
    }
}

// Source pixel (x, y) of a w x h bitmap lands at (y, x), then mirrored as `flips` says.
template <size_t N>
void Transpose(const raster::Bitmap& source, raster::Bitmap& target, Flips flips) {
    const int w = source.Width(), h = source.Height();
    const ptrdiff_t stride = ptrdiff_t(target.Stride());
    const ptrdiff_t step = flips.y ? -stride : stride;
    for (int ty = 0; ty < h; ty += kTile) {
        const int yEnd = std::min(h, ty + kTile);
        for (int tx = 0; tx < w; tx += kTile) {
            const int xEnd = std::min(w, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                const uint8_t* in = source.Scanline(y) + size_t(tx) * N;
                const int targetX = flips.x ? h - 1 - y : y;
                uint8_t* out = target.Scanline(flips.y ? w - 1 - tx : tx) + size_t(targetX) * N;
                for (int x = tx; x < xEnd; ++x, in += N, out += step) std::memcpy(out, in, N);
            }
        }
    }
}

template <size_t N>
void Upright(raster::Bitmap& bitmap, Orientation orientation) {
    if (!SwapsAxes(orientation)) {
        MirrorOrTurnHalf<N>(bitmap, orientation);
        return;
    }
    raster::Bitmap turned(bitmap.Height(), bitmap.Width(), bitmap.Format());
    turned.Palette() = bitmap.Palette();
    Transpose<N>(bitmap, turned, FlipsOf(orientation));
    bitmap = std::move(turned);
}

// Formats of less than a byte per pixel: pixel by pixel, the slow way. The decoder never
// makes them.
void UprightByPixel(raster::Bitmap& bitmap, Orientation orientation) {
    const int w = bitmap.Width(), h = bitmap.Height();
    const bool swap = SwapsAxes(orientation);
    const Flips flips = FlipsOf(orientation);
    raster::Bitmap upright(swap ? h : w, swap ? w : h, bitmap.Format());
    upright.Palette() = bitmap.Palette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int ux = swap ? y : x, uy = swap ? x : y;
            upright.SetIndex(flips.x ? upright.Width() - 1 - ux : ux,
                             flips.y ? upright.Height() - 1 - uy : uy, bitmap.GetIndex(x, y));
        }
    bitmap = std::move(upright);
}

}  // namespace

void MakeUpright(raster::Bitmap& bitmap, Orientation orientation) {
    if (orientation == Orientation::Upright || bitmap.Empty()) return;
    switch (bitmap.Bpp()) {
        case 8:
            Upright<1>(bitmap, orientation);
            break;
        case 15:
        case 16:
            Upright<2>(bitmap, orientation);
            break;
        case 24:
            Upright<3>(bitmap, orientation);
            break;
        case 32:
            Upright<4>(bitmap, orientation);
            break;
        default:
            UprightByPixel(bitmap, orientation);
            break;
    }
}

}  // namespace codecs
