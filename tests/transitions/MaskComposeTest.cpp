#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "transitions/MaskCompose.h"

namespace {

using raster::Bitmap;
using raster::PixelFormat;
using transitions::ComposeThroughMask;

constexpr PixelFormat kComposedFormats[] = {PixelFormat::Bits4,  PixelFormat::Bits8,
                                            PixelFormat::Bits15, PixelFormat::Bits16,
                                            PixelFormat::Bits24, PixelFormat::Bits32};

int Rounded(int width) {
    return ((width - 1) / 32 + 1) * 32;
}

Bitmap Noise(int width, int height, PixelFormat format, std::mt19937& rng) {
    Bitmap b(width, height, format);
    for (size_t i = 0; i < b.SizeBytes(); ++i) b.Bits()[i] = uint8_t(rng());
    return b;
}

// Words of every kind the kernels tell apart: empty, full, one byte full or empty with the
// rest mixed, single bits and random mixtures.
Bitmap RandomMask(int width, int height, std::mt19937& rng) {
    Bitmap mask(width, height, PixelFormat::Bits1);
    uint32_t* words = reinterpret_cast<uint32_t*>(mask.Bits());
    for (size_t i = 0; i < mask.SizeBytes() / 4; ++i) {
        uint32_t w = 0;
        switch (rng() % 7) {
            case 0:
                w = 0;
                break;
            case 1:
                w = ~0u;
                break;
            case 2:
                w = rng() | 0x0000FF00u;
                break;
            case 3:
                w = rng() & 0xFF00FFFFu;
                break;
            case 4:
                w = 1u << (rng() % 32);
                break;
            case 5:
                w = ~(1u << (rng() % 32));
                break;
            default:
                w = rng();
                break;
        }
        words[i] = w;
    }
    return mask;
}

// Pixel by pixel: rows top .. bottom - 1 take `dst` where the mask is set and, unless the
// work bitmap is the source itself, `src` where it is clear.
Bitmap Reference(const Bitmap& work, const Bitmap& src, const Bitmap& dst, const Bitmap& mask,
                 int top, int bottom, bool inPlace) {
    Bitmap out = work;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            if (mask.GetIndex(x, y))
                out.SetIndex(x, y, dst.GetIndex(x, y));
            else if (!inPlace)
                out.SetIndex(x, y, src.GetIndex(x, y));
        }
    return out;
}

std::string Describe(PixelFormat format, int width, int top, int bottom, bool inPlace) {
    return "format " + std::to_string(int(format)) + ", width " + std::to_string(width) +
           ", rows " + std::to_string(top) + ".." + std::to_string(bottom) +
           (inPlace ? ", in place" : ", from source");
}

TEST(MaskComposeTest, MatchesThePerPixelReferenceInEveryFormat) {
    std::mt19937 rng(20240611);
    const int height = 7;
    struct Rows {
        int top, bottom;
    };
    for (PixelFormat format : kComposedFormats)
        for (int frameWidth : {1, 31, 33, 100, 129})
            for (Rows rows : {Rows{0, height}, Rows{2, 5}, Rows{-3, 2}, Rows{6, 40}})
                for (bool inPlace : {true, false}) {
                    const int width = Rounded(frameWidth);
                    // Pictures wider than the mask have rows that do not line up end to end.
                    const int pictureWidth = frameWidth % 2 ? width : width + 7;
                    SCOPED_TRACE(Describe(format, width, rows.top, rows.bottom, inPlace));
                    const Bitmap mask = RandomMask(width, height, rng);
                    const Bitmap src = Noise(pictureWidth, height, format, rng);
                    const Bitmap dst = Noise(pictureWidth, height, format, rng);
                    Bitmap work = inPlace ? src : Noise(pictureWidth, height, format, rng);
                    const Bitmap expected = Reference(work, src, dst, mask, std::max(rows.top, 0),
                                                      std::min(rows.bottom, height), inPlace);
                    if (inPlace)
                        ComposeThroughMask(work, work, dst, mask, rows.top, rows.bottom);
                    else
                        ComposeThroughMask(work, src, dst, mask, rows.top, rows.bottom);
                    ASSERT_EQ(work, expected);
                }
}

TEST(MaskComposeTest, AllZeroAndAllOneMasks) {
    std::mt19937 rng(7);
    for (PixelFormat format : kComposedFormats) {
        SCOPED_TRACE(int(format));
        const Bitmap src = Noise(96, 3, format, rng);
        const Bitmap dst = Noise(96, 3, format, rng);
        Bitmap mask(96, 3, PixelFormat::Bits1);

        Bitmap work = src;
        ComposeThroughMask(work, work, dst, mask, 0, 3);
        EXPECT_EQ(work, src);
        Bitmap other = Noise(96, 3, format, rng);
        ComposeThroughMask(other, src, dst, mask, 0, 3);
        EXPECT_EQ(other, src);

        mask.Fill(0xFFFFFF);
        ComposeThroughMask(work, work, dst, mask, 0, 3);
        EXPECT_EQ(work, dst);
        ComposeThroughMask(other, src, dst, mask, 0, 3);
        EXPECT_EQ(other, dst);
    }
}

// The bit order written out by hand, independent of Bitmap's own 1-bit accessors: the most
// significant bit of a mask byte is the leftmost pixel, and the bytes of a row follow the
// pixels left to right.
TEST(MaskComposeTest, MaskBitsSelectPixelsLeftToRight) {
    for (PixelFormat format : kComposedFormats) {
        SCOPED_TRACE(int(format));
        Bitmap work(64, 2, format);
        Bitmap dst(64, 2, format);
        std::fill_n(dst.Bits(), dst.SizeBytes(), uint8_t(0xFF));
        Bitmap mask(64, 2, PixelFormat::Bits1);
        uint8_t* row = mask.Scanline(1);
        row[0] = 0x80;  // pixel 0
        row[1] = 0x01;  // pixel 15
        row[4] = 0x40;  // pixel 33
        row[7] = 0x0F;  // pixels 60 to 63
        ComposeThroughMask(work, work, dst, mask, 0, 2);
        std::vector<int> changed;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 64; ++x)
                if (work.GetIndex(x, y) != 0) changed.push_back(y * 64 + x);
        EXPECT_EQ(changed, (std::vector<int>{64, 79, 97, 124, 125, 126, 127}));
    }
}

TEST(MaskComposeTest, OneBitPicturesAreLeftAlone) {
    std::mt19937 rng(3);
    const Bitmap src = Noise(64, 4, PixelFormat::Bits1, rng);
    const Bitmap dst = Noise(64, 4, PixelFormat::Bits1, rng);
    Bitmap mask(64, 4, PixelFormat::Bits1);
    mask.Fill(0xFFFFFF);
    Bitmap work = src;
    ComposeThroughMask(work, work, dst, mask, 0, 4);
    EXPECT_EQ(work, src);
}

TEST(MaskComposeTest, MismatchedBitmapsAreRefused) {
    Bitmap mask(64, 4, PixelFormat::Bits1);
    Bitmap work(64, 4, PixelFormat::Bits32);
    const Bitmap dst(64, 4, PixelFormat::Bits32);
    const Bitmap narrow(40, 4, PixelFormat::Bits32);
    const Bitmap other(64, 4, PixelFormat::Bits24);
    const Bitmap oddMask(40, 4, PixelFormat::Bits1);
    EXPECT_THROW(ComposeThroughMask(work, work, narrow, mask, 0, 4), std::invalid_argument);
    EXPECT_THROW(ComposeThroughMask(work, work, other, mask, 0, 4), std::invalid_argument);
    EXPECT_THROW(ComposeThroughMask(work, work, dst, oddMask, 0, 4), std::invalid_argument);
    EXPECT_THROW(ComposeThroughMask(work, work, work, mask, 0, 4), std::invalid_argument);
    const Bitmap shortDst(64, 2, PixelFormat::Bits32);
    EXPECT_THROW(ComposeThroughMask(work, work, shortDst, mask, 0, 4), std::invalid_argument);
    EXPECT_NO_THROW(ComposeThroughMask(work, work, shortDst, mask, 0, 2));
}

}  // namespace
