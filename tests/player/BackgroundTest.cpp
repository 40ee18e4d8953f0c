#include <gtest/gtest.h>

#include "core/Error.h"
#include "player/Background.h"

namespace {

using raster::Bitmap;
using raster::MakeRgb;
using raster::PixelFormat;

TEST(Background, ColourPairGivesPlainColourOrGradient) {
    player::BackgroundColours plain = player::ParseBackgroundColours("$00281800_$00281800");
    EXPECT_TRUE(plain.Plain);
    EXPECT_EQ(plain.Top, MakeRgb(0x00, 0x18, 0x28));  // stored blue-green-red

    player::BackgroundColours gradient = player::ParseBackgroundColours("$00D5E7EA_clWhite");
    EXPECT_FALSE(gradient.Plain);
    EXPECT_EQ(gradient.Top, MakeRgb(0xEA, 0xE7, 0xD5));
    EXPECT_EQ(gradient.Bottom, 0xFFFFFFu);

    // The halves are compared as text: two spellings of white still make a gradient.
    EXPECT_FALSE(player::ParseBackgroundColours("clWhite_$00FFFFFF").Plain);

    EXPECT_THROW(player::ParseBackgroundColours("sky_clWhite"), core::Error);
    EXPECT_THROW(player::ParseBackgroundColours("clWhite_sea"), core::Error);
}

TEST(Background, GradientBandsFollowMulDiv) {
    Bitmap screen(4, 768, PixelFormat::Bits32);
    player::PaintGradient(screen, MakeRgb(0xEA, 0xE7, 0xD5), 0xFFFFFF);
    struct Row {
        int y;
        raster::Rgb colour;
    };
    // 768 rows: band i covers rows 3i .. 3i + 2. Band 127 adds MulDiv(127, delta, 255) =
    // 10, 12, 21 to the top colour; band 128 adds 11, 12, 21.
    const Row rows[] = {{0, MakeRgb(0xEA, 0xE7, 0xD5)},
                        {2, MakeRgb(0xEA, 0xE7, 0xD5)},
                        {3, MakeRgb(0xEA, 0xE7, 0xD5)},
                        {381, MakeRgb(0xF4, 0xF3, 0xEA)},
                        {383, MakeRgb(0xF4, 0xF3, 0xEA)},
                        {384, MakeRgb(0xF5, 0xF3, 0xEA)},
                        {765, 0xFFFFFF},
                        {767, 0xFFFFFF}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.y);
        EXPECT_EQ(screen.GetPixel(0, row.y), row.colour);
        EXPECT_EQ(screen.GetPixel(3, row.y), row.colour);
    }

    // Falling channels and fewer rows than bands: bands 0 and 255 are empty, so the first
    // row (band 1) and the last row (band 254) are one step short of the end colours.
    Bitmap small(2, 100, PixelFormat::Bits24);
    player::PaintGradient(small, 0xFFFFFF, 0x000000);
    EXPECT_EQ(small.GetPixel(1, 0), 0xFEFEFEu);
    EXPECT_EQ(small.GetPixel(1, 99), 0x010101u);
}

TEST(Background, PlacementSlotSetsTheFlags) {
    player::BackgroundPlacement p;
    EXPECT_TRUE(p.Tiled);
    p.Apply("Center");
    EXPECT_EQ((std::tuple{p.Tiled, p.Centred, p.Stretched}), std::tuple(false, true, false));
    p.Apply("Tile");  // only tiled is set; tiling wins when drawing
    EXPECT_EQ((std::tuple{p.Tiled, p.Centred, p.Stretched}), std::tuple(true, true, false));
    p.Apply("Stretch");
    EXPECT_EQ((std::tuple{p.Tiled, p.Centred, p.Stretched}), std::tuple(false, false, true));
    p.Apply("stretch");  // any other text changes nothing
    EXPECT_EQ((std::tuple{p.Tiled, p.Centred, p.Stretched}), std::tuple(false, false, true));
}

constexpr raster::Rgb kGrey = 0x808080;

TEST(Background, TilesRepeatFromTheCornerAndCutAtTheEdges) {
    // A 100 x 100 tile marked at its top-left pixel, in another format than the target.
    Bitmap tile(100, 100, PixelFormat::Bits24);
    tile.Fill(0x0000FF);
    tile.SetPixel(0, 0, 0xFF0000);
    tile.SetPixel(99, 99, 0x00FF00);
    Bitmap area(1024, 768, PixelFormat::Bits32);
    player::DrawBackground(area, tile, player::BackgroundPlacement{});
    int marks = 0;
    for (int y = 0; y < area.Height(); ++y) {
        for (int x = 0; x < area.Width(); ++x) marks += area.GetPixel(x, y) == 0xFF0000;
    }
    EXPECT_EQ(marks, 11 * 8);
    EXPECT_EQ(area.GetPixel(1000, 700), 0xFF0000u);
    EXPECT_EQ(area.GetPixel(999, 699), 0x00FF00u);
    EXPECT_EQ(area.GetPixel(1023, 767), 0x0000FFu);
}

// A 6 x 6 picture whose pixel (x, y) has the colour x * 16 + y.
Bitmap Numbered(int size) {
    Bitmap picture(size, size, PixelFormat::Bits32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) picture.SetPixel(x, y, raster::Rgb(x * 16 + y));
    }
    return picture;
}

TEST(Background, CentreStretchAndCornerPlacement) {
    struct Case {
        const char* name;
        int areaSize, pictureSize;
        player::BackgroundPlacement placement;
        int x, y;              // a target pixel
        raster::Rgb expected;  // its colour
    };
    const player::BackgroundPlacement centred{false, true, false};
    const player::BackgroundPlacement stretched{false, false, true};
    const player::BackgroundPlacement corner{false, false, false};
    const Case cases[] = {
        // (3 - 6) / 2 truncates to -1, so the picture's pixel (1, 1) lands on (0, 0).
        {"centre larger", 3, 6, centred, 0, 0, 1 * 16 + 1},
        {"centre larger, far corner", 3, 6, centred, 2, 2, 3 * 16 + 3},
        // (5 - 2) / 2 = 1: the picture covers (1, 1) .. (2, 2); the rest is left alone.
        {"centre smaller", 5, 2, centred, 1, 1, 0},
        {"centre smaller, outside", 5, 2, centred, 0, 0, kGrey},
        {"centre smaller, past it", 5, 2, centred, 3, 3, kGrey},
        {"stretch", 12, 6, stretched, 11, 11, 5 * 16 + 5},
        {"stretch, middle", 12, 6, stretched, 6, 2, 3 * 16 + 1},
        {"corner", 5, 2, corner, 1, 1, 1 * 16 + 1},
        {"corner, outside", 5, 2, corner, 2, 2, kGrey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap area(c.areaSize, c.areaSize, PixelFormat::Bits32);
        area.Fill(kGrey);
        player::DrawBackground(area, Numbered(c.pictureSize), c.placement);
        EXPECT_EQ(area.GetPixel(c.x, c.y), c.expected);
    }
}

TEST(Background, PictureWithoutPixelsDrawsNothing) {
    for (player::BackgroundPlacement placement :
         {player::BackgroundPlacement{}, player::BackgroundPlacement{false, false, true}}) {
        Bitmap area(8, 8, PixelFormat::Bits32);
        area.Fill(kGrey);
        const Bitmap before = area;
        player::DrawBackground(area, Bitmap(0, 5, PixelFormat::Bits32), placement);
        player::DrawBackground(area, Bitmap(5, 0, PixelFormat::Bits32), placement);
        EXPECT_EQ(area, before);
    }
}

}  // namespace
