#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "RasterTestUtil.h"
#include "raster/Blit.h"

namespace {

using raster::Bitmap;
using raster::PixelFormat;
using raster::Rop;
using rastertest::Lcg;

// What a mask bit of 1 stands for in each destination format, spelled out.
uint32_t Ones(PixelFormat f) {
    switch (f) {
        case PixelFormat::Bits1:
            return 0x1;
        case PixelFormat::Bits4:
            return 0xF;
        case PixelFormat::Bits8:
            return 0xFF;
        case PixelFormat::Bits15:
            return 0x7FFF;
        case PixelFormat::Bits16:
            return 0xFFFF;
        default:
            return 0x00FFFFFF;
    }
}

// All bits of a stored pixel value.
uint32_t ValueMask(PixelFormat f) {
    int bpp = raster::BitsPerPixel(f);
    return bpp == 32 ? 0xFFFFFFFFu : (1u << bpp) - 1;
}

// The scalar reference: one pixel at a time through GetIndex and SetIndex.
void ReferenceBlit(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
                   Rop rop, const Bitmap* brush) {
    const Bitmap source = src;  // a snapshot: blitting a bitmap onto itself reads old pixels
    const bool mask = source.Format() == PixelFormat::Bits1 && dst.Format() != PixelFormat::Bits1;
    const uint32_t ones = Ones(dst.Format());
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            long long x = (long long)dx + i, y = (long long)dy + j;
            long long u = (long long)sx + i, v = (long long)sy + j;
            if (x < 0 || y < 0 || x >= dst.Width() || y >= dst.Height()) continue;
            if (u < 0 || v < 0 || u >= source.Width() || v >= source.Height()) continue;
            uint32_t d = dst.GetIndex(int(x), int(y));
            uint32_t s = source.GetIndex(int(u), int(v));
            if (mask) s = s ? ones : 0;
            uint32_t p = 0;
            if (brush)
                p = brush->GetIndex(int(x % brush->Width()), int(y % brush->Height())) ? ones : 0;
            uint32_t r = 0;
            switch (rop) {
                case Rop::SrcCopy:
                    r = s;
                    break;
                case Rop::SrcAnd:
                    r = d & s;
                    break;
                case Rop::SrcPaint:
                    r = d | s;
                    break;
                case Rop::DstAndNotSrc:
                    r = d & ~s;
                    break;
                case Rop::PatternSelect:
                    r = s ^ (p & (d ^ s));
                    break;
            }
            dst.SetIndex(int(x), int(y), r & ValueMask(dst.Format()));
        }
}

// Thousands of random blocks across formats, sizes, offsets, clipping, 1-bit masks into
// colour, blocks onto their own bitmap and brushes of several sizes, folded into one
// checksum per side.
TEST(Blit, RandomBlocksMatchThePerPixelReference) {
    const Rop rops[] = {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint, Rop::DstAndNotSrc,
                        Rop::PatternSelect};
    Lcg rng(77);
    uint32_t fast = 2166136261u, reference = 2166136261u;
    std::string firstMismatch;
    for (PixelFormat format : rastertest::kAllFormats) {
        for (int n = 0; n < 300; ++n) {
            // Every tenth case is a whole-frame block between bitmaps of one size, whose rows
            // have no padding (32-pixel multiples): the path that runs all rows as one.
            bool whole = n % 10 == 0;
            int width = whole ? 32 * rng.Range(1, 3) : rng.Range(1, 70);
            int height = rng.Range(1, 24);
            Bitmap dst = rastertest::RandomBitmap(rng, width, height, format);
            int kind = whole ? 7 : int(rng.Next(8));  // 0-1: mask source, 2: the bitmap itself
            bool maskSource = kind < 2 && format != PixelFormat::Bits1;
            bool self = kind == 2;
            Bitmap src = rastertest::RandomBitmap(rng, whole ? width : rng.Range(1, 70),
                                                  whole ? height : rng.Range(1, 24),
                                                  maskSource ? PixelFormat::Bits1 : format);
            bool bigBrush = rng.Next(4) == 0;
            Bitmap brush =
                rastertest::RandomBitmap(rng, bigBrush ? rng.Range(1, 12) : 8,
                                         bigBrush ? rng.Range(1, 12) : 8, PixelFormat::Bits1);
            const Bitmap& source = self ? dst : src;
            Rop rop = rops[rng.Next(5)];
            int dx = rng.Range(-20, dst.Width() + 4), dy = rng.Range(-10, dst.Height() + 2);
            int sx = rng.Range(-20, source.Width() + 4), sy = rng.Range(-10, source.Height() + 2);
            int w = rng.Range(-2, 80), h = rng.Range(-2, 30);
            if (whole)
                dx = dy = sx = sy = 0, w = width + rng.Range(0, 3), h = height + rng.Range(0, 3);

            Bitmap expected = dst;
            ReferenceBlit(expected, dx, dy, w, h, self ? dst : src, sx, sy, rop,
                          rop == Rop::PatternSelect ? &brush : nullptr);
            if (self)
                raster::Blit(dst, dx, dy, w, h, dst, sx, sy, rop, brush);
            else
                raster::Blit(dst, dx, dy, w, h, src, sx, sy, rop, brush);

            fast = rastertest::Fnv(dst, fast);
            reference = rastertest::Fnv(expected, reference);
            if (firstMismatch.empty() && dst.SizeBytes() == expected.SizeBytes() &&
                !std::equal(dst.Bits(), dst.Bits() + dst.SizeBytes(), expected.Bits()))
                firstMismatch =
                    "format " + std::to_string(int(format)) + " case " + std::to_string(n) +
                    " rop " + std::to_string(uint32_t(rop)) + " dst " +
                    std::to_string(dst.Width()) + "x" + std::to_string(dst.Height()) + " at " +
                    std::to_string(dx) + "," + std::to_string(dy) + " size " + std::to_string(w) +
                    "x" + std::to_string(h) + " from " + std::to_string(sx) + "," +
                    std::to_string(sy) + (maskSource ? " mask" : "") + (self ? " self" : "");
        }
    }
    EXPECT_EQ(fast, reference) << firstMismatch;
}

// The wipe's band composition: old AND mask, new AND NOT mask, then OR, must select the
// old pixel's colour under white mask bits and the new one's under black, in every format,
// palettes whose white is not the last entry included. (Bits outside the colour, the
// unused byte of 32-bit pixels and the top bit of 5-5-5 ones, follow the bitwise rules.)
TEST(Blit, MaskCompositionSelectsPixelsInEveryFormat) {
    Lcg rng(5);
    for (PixelFormat format : rastertest::kAllFormats) {
        const int w = 45, h = 7;
        Bitmap oldBand = rastertest::RandomBitmap(rng, w, h, format);
        Bitmap newBand = rastertest::RandomBitmap(rng, w, h, format);
        if (format == PixelFormat::Bits8)
            oldBand.Palette() = newBand.Palette() = raster::DefaultPalette256();
        Bitmap mask = rastertest::RandomBitmap(rng, w + 11, h + 3, PixelFormat::Bits1);
        const Bitmap oldPixels = oldBand, newPixels = newBand;
        raster::Blit(oldBand, 0, 0, w, h, mask, 5, 2, Rop::SrcAnd);
        raster::Blit(newBand, 0, 0, w, h, mask, 5, 2, Rop::DstAndNotSrc);
        raster::Blit(newBand, 0, 0, w, h, oldBand, 0, 0, Rop::SrcPaint);
        uint32_t colourBits = Ones(format);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Bitmap& chosen = mask.GetIndex(x + 5, y + 2) ? oldPixels : newPixels;
                ASSERT_EQ(newBand.GetIndex(x, y) & colourBits, chosen.GetIndex(x, y) & colourBits)
                    << "format " << int(format) << " at " << x << "," << y;
            }
    }
}

// What GDI does with the byte that 32-bit pixels leave unused, as seen under Wine: a
// mask's white is 0x00FFFFFF, so AND clears that byte, AND NOT and OR keep it, and the
// pattern operation takes it from the source wherever the brush is white.
TEST(Blit, UnusedByteOf32BitPixelsFollowsGdi) {
    Bitmap mask(2, 1, PixelFormat::Bits1);
    mask.SetIndex(0, 0, 1);
    struct Case {
        Rop rop;
        uint32_t white, black;  // results where the mask is white and black
    } cases[] = {
        {Rop::SrcAnd, 0x00123456, 0x00000000},
        {Rop::DstAndNotSrc, 0xAB000000, 0xAB123456},
        {Rop::SrcPaint, 0xABFFFFFF, 0xAB123456},
        {Rop::SrcCopy, 0x00FFFFFF, 0x00000000},
    };
    for (const Case& c : cases) {
        Bitmap dst(2, 1, PixelFormat::Bits32);
        dst.SetIndex(0, 0, 0xAB123456);
        dst.SetIndex(1, 0, 0xAB123456);
        raster::Blit(dst, 0, 0, 2, 1, mask, 0, 0, c.rop);
        EXPECT_EQ(dst.GetIndex(0, 0), c.white) << uint32_t(c.rop);
        EXPECT_EQ(dst.GetIndex(1, 0), c.black) << uint32_t(c.rop);
    }
    Bitmap brush(8, 8, PixelFormat::Bits1);
    brush.Fill(0xFFFFFF);
    brush.SetIndex(1, 0, 0);
    Bitmap dst(2, 1, PixelFormat::Bits32), src(2, 1, PixelFormat::Bits32);
    dst.SetIndex(0, 0, 0xAA000011);
    dst.SetIndex(1, 0, 0xAA000011);
    src.SetIndex(0, 0, 0x55FF0000);
    src.SetIndex(1, 0, 0x55FF0000);
    raster::Blit(dst, 0, 0, 2, 1, src, 0, 0, Rop::PatternSelect, brush);
    EXPECT_EQ(dst.GetIndex(0, 0), 0x55000011u);  // brush white: destination colour, source byte
    EXPECT_EQ(dst.GetIndex(1, 0), 0x55FF0000u);  // brush black: the source
}

// The brush is anchored at the destination bitmap's origin, not at the block: a block at
// (3, 5) still shows brush cell (x mod 8, y mod 8) at pixel (x, y).
TEST(Blit, BrushTilesFromTheBitmapOrigin) {
    Bitmap brush(8, 8, PixelFormat::Bits1);
    brush.Fill(0xFFFFFF);
    brush.SetIndex(0, 0, 0);  // the single cell that takes the source
    Bitmap dst(20, 20, PixelFormat::Bits8), src(20, 20, PixelFormat::Bits8);
    std::fill(src.Bits(), src.Bits() + src.SizeBytes(), uint8_t(1));
    raster::Blit(dst, 3, 5, 17, 15, src, 3, 5, Rop::PatternSelect, brush);
    std::string taken;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (dst.GetIndex(x, y))
                taken += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    EXPECT_EQ(taken, "(8,8)(16,8)(8,16)(16,16)");
}

TEST(Blit, RefusesWhatItCannotDo) {
    Bitmap b8(4, 4, PixelFormat::Bits8), b32(4, 4, PixelFormat::Bits32),
        b24(4, 4, PixelFormat::Bits24);
    EXPECT_THROW(raster::Blit(b32, 0, 0, 4, 4, b8, 0, 0, Rop::SrcCopy), std::invalid_argument);
    EXPECT_THROW(raster::Blit(b24, 0, 0, 4, 4, b32, 0, 0, Rop::SrcCopy), std::invalid_argument);
    EXPECT_THROW(raster::Blit(b32, 0, 0, 4, 4, b32, 0, 0, Rop::PatternSelect),
                 std::invalid_argument);
    EXPECT_THROW(raster::Blit(b32, 0, 0, 4, 4, b32, 0, 0, Rop::PatternSelect, b8),
                 std::invalid_argument);
}

}  // namespace
