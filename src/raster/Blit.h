#pragma once

#include <cstdint>

#include "raster/Bitmap.h"

namespace raster {

// The block-copy raster operations the transition effects use, with their ternary
// codes. S is the source pixel, D the destination pixel, P the brush pixel.
enum class Rop : uint32_t {
    SrcCopy = 0x00CC0020,        // D := S
    SrcAnd = 0x008800C6,         // D := D and S
    SrcPaint = 0x00EE0086,       // D := D or S
    DstAndNotSrc = 0x00220326,   // D := D and not S
    PatternSelect = 0x00AC0744,  // D := S xor (P and (D xor S)): S where P is 0, D where P is 1
};

// Combines the w x h block of `src` at (sx, sy) into `dst` at (dx, dy) with `rop`, as
// BitBlt does between two bitmaps. The block is clipped to both bitmaps; pixels whose
// source or destination lies outside are left alone. The bitmaps have the same pixel
// format, or `src` is a 1-bit mask and `dst` has any format. `src` may be `dst` itself.
//
// A 1-bit source acts as a mask in a wider destination: bit 0 is the value 0 (black)
// and bit 1 has every colour bit set: white in the true-colour formats (0x00FFFFFF in
// 32 bits, so AND clears the unused byte as GDI does) and the highest index in palette
// formats. With the Windows system palette (black first, white last) that is GDI's
// mapping of the mask's black and white; with any other palette the masks still select
// pixels instead of mixing palette indices.
//
// Rop::PatternSelect needs the other overload. Throws std::invalid_argument for
// unsupported format pairs.
void Blit(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop);

// The same with a monochrome pattern brush (a 1-bit bitmap, usually 8 x 8) tiled from the
// destination's origin: destination pixel (x, y) meets brush pixel (x mod width, y mod
// height), whose bit is expanded like a 1-bit source. Ops other than PatternSelect ignore
// the brush.
void Blit(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop,
          const Bitmap& brush);

// Blit with Rop::SrcCopy between bitmaps of the same pixel format: the copy the effects
// make most, clipped like every Blit.
inline void CopyBlock(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx,
                      int sy) {
    Blit(dst, dx, dy, w, h, src, sx, sy, Rop::SrcCopy);
}

// The value a mask bit of 1 stands for in `format` (see Blit).
uint32_t MaskOnesValue(PixelFormat format);

}  // namespace raster
