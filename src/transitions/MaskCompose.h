#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/Bitmap.h"

namespace transitions {

// Composition of a new picture into a work bitmap through a one-bit mask, the inner loop
// of every masked effect.
//
// Mask layout: a Bits1 bitmap whose width is a multiple of 32, so each row is a run of
// whole 32-bit words. In each byte the most significant bit is the leftmost pixel, so a
// word read in little-endian order covers 32 consecutive pixels, its lowest byte holding
// the leftmost eight: pixel k of a word (k = 0 leftmost) is bit 7 - k % 8 of byte k / 8.
// One mask word lines up with `bpp` words of a picture row of the same width.

// Composes rows `top` .. `bottom` - 1 over the mask's full width. Where a mask bit is set
// the pixel of `dst` (the new picture) is copied into `work`. When `work` is `src` itself
// (the usual case: the old picture is the work bitmap) the pixels under clear bits are left
// alone and all-zero mask words are skipped; otherwise every pixel is written, from `dst`
// where the bit is set and from `src` where it is clear.
//
// `work`, `src` and `dst` share one pixel format and are at least as wide as the mask and
// as high as `bottom`; throws std::invalid_argument otherwise (a programming error). The
// rows are clipped to the mask. A 1-bit picture format composes nothing.
void ComposeThroughMask(raster::Bitmap& work, const raster::Bitmap& src, const raster::Bitmap& dst,
                        const raster::Bitmap& mask, int top, int bottom);

// The same on raw rows: `maskWords` mask words and `bpp` times as many picture words in each
// of the three rows. `work` may equal `src` (in place); otherwise the three must not
// overlap. `format` must not be Bits1 or Device.
void ComposeRowThroughMask(uint32_t* work, const uint32_t* src, const uint32_t* dst,
                           const uint32_t* mask, size_t maskWords, raster::PixelFormat format);

}  // namespace transitions
