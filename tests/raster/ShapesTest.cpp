#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "raster/Shapes.h"

namespace {

using raster::Bitmap;
using raster::FillMode;
using raster::PixelFormat;
using rastertest::Lcg;

constexpr raster::Rgb kWhite = 0xFFFFFF;

// A line stepped the plain way: Bresenham along the longer axis with an error term, the
// end point left out, midway ties going one step further along the shorter axis for lines
// heading into octants 3, 5, 6 and 8.
void ReferenceLine(Bitmap& m, int x0, int y0, int x1, int y1) {
    long long dx = (long long)x1 - x0, dy = (long long)y1 - y0;
    long long adx = std::llabs(dx), ady = std::llabs(dy);
    int octant = dy > 0 ? (dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3))
                        : (dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7));
    bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    long long bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    long long x = x0, y = y0, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    long long err = 2 * minor - major;
    for (long long k = 0; k < major; ++k) {
        if (x >= 0 && y >= 0 && x < m.Width() && y < m.Height()) m.SetIndex(int(x), int(y), 1);
        bool stepMinor = err + bias > 0;
        err += stepMinor ? 2 * minor - 2 * major : 2 * minor;
        if (xMajor) {
            x += sx;
            if (stepMinor) y += sy;
        } else {
            y += sy;
            if (stepMinor) x += sx;
        }
    }
}

// A polygon pixel by pixel: inside when the edges crossing its row at or left of it give
// an odd count (alternate) or a non-zero sum of directions (winding), an edge covering
// the rows from its upper end to just above its lower end; then the outline.
void ReferencePolygon(Bitmap& m, const std::vector<core::Point>& p, FillMode mode) {
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) {
            int count = 0, winding = 0;
            for (size_t i = 0; i < p.size(); ++i) {
                core::Point a = p[i], b = p[(i + 1) % p.size()];
                if (a.Y == b.Y) continue;
                core::Point top = a.Y < b.Y ? a : b, bottom = a.Y < b.Y ? b : a;
                if (y < top.Y || y >= bottom.Y) continue;
                // crossing x <= pixel x, in whole numbers
                long long den = bottom.Y - top.Y;
                if ((long long)top.X * den + (long long)(y - top.Y) * (bottom.X - top.X) <=
                    (long long)x * den) {
                    ++count;
                    winding += a.Y < b.Y ? 1 : -1;
                }
            }
            if (mode == FillMode::Alternate ? count % 2 == 1 : winding != 0) m.SetIndex(x, y, 1);
        }
    for (size_t i = 0; i < p.size(); ++i) {
        core::Point a = p[i], b = p[(i + 1) % p.size()];
        ReferenceLine(m, a.X, a.Y, b.X, b.Y);
    }
}

std::vector<core::Point> RandomPoints(Lcg& rng, int n, int lo, int hiX, int hiY) {
    std::vector<core::Point> p;
    for (int i = 0; i < n; ++i) p.push_back({rng.Range(lo, hiX), rng.Range(lo, hiY)});
    return p;
}

TEST(Shapes, RandomLinesMatchThePlainStepping) {
    Lcg rng(3);
    uint32_t fast = 2166136261u, reference = 2166136261u;
    for (int n = 0; n < 3000; ++n) {
        Bitmap a(rng.Range(1, 50), rng.Range(1, 40), PixelFormat::Bits1), b = a;
        int spread = n % 3 == 0 ? 3000 : 80;
        int x0 = rng.Range(-spread, spread), y0 = rng.Range(-spread, spread);
        int x1 = rng.Range(-spread, spread), y1 = rng.Range(-spread, spread);
        raster::DrawLine(a, {x0, y0}, {x1, y1}, kWhite);
        ReferenceLine(b, x0, y0, x1, y1);
        fast = rastertest::Fnv(a, fast);
        reference = rastertest::Fnv(b, reference);
        ASSERT_EQ(a, b) << "line " << x0 << "," << y0 << " to " << x1 << "," << y1 << "\n"
                        << rastertest::Picture(a);
    }
    EXPECT_EQ(fast, reference);
}

TEST(Shapes, RandomPolygonsMatchThePerPixelReference) {
    Lcg rng(4);
    uint32_t fast = 2166136261u, reference = 2166136261u;
    for (int n = 0; n < 600; ++n) {
        Bitmap a(rng.Range(1, 48), rng.Range(1, 36), PixelFormat::Bits1), b = a;
        auto points = RandomPoints(rng, rng.Range(1, 7), -15, 60, 50);
        FillMode mode = n % 2 ? FillMode::Winding : FillMode::Alternate;
        raster::FillPolygon(a, points, kWhite, mode);
        ReferencePolygon(b, points, mode);
        fast = rastertest::Fnv(a, fast);
        reference = rastertest::Fnv(b, reference);
        if (!(a == b)) {
            std::string text;
            for (auto p : points) text += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
            FAIL() << "polygon" << text << (n % 2 ? " winding" : "") << "\n"
                   << rastertest::Picture(a) << "\n"
                   << rastertest::Picture(b);
        }
    }
    EXPECT_EQ(fast, reference);
}

// Drawing a shape on a small bitmap gives the pixels that the same shape, moved, gives
// on a bitmap large enough to hold it whole: clipping never bends a shape.
TEST(Shapes, ClippingKeepsEveryPixelInPlace) {
    Lcg rng(11);
    const int ox = 150, oy = 120;
    auto moved = [&](std::vector<core::Point> p) {
        for (auto& q : p) q = {q.X + ox, q.Y + oy};
        return p;
    };
    for (int n = 0; n < 400; ++n) {
        Bitmap small(rng.Range(1, 40), rng.Range(1, 30), PixelFormat::Bits1);
        Bitmap large(400, 300, PixelFormat::Bits1);
        auto p = RandomPoints(rng, n % 4 == 3 ? rng.Range(1, 6) : 2, -100, 140, 110);
        auto q = moved(p);
        switch (n % 4) {
            case 0:
                raster::FillEllipse(small, {p[0].X, p[0].Y, p[1].X, p[1].Y}, kWhite);
                raster::FillEllipse(large, {q[0].X, q[0].Y, q[1].X, q[1].Y}, kWhite);
                break;
            case 1:
                raster::DrawLine(small, p[0], p[1], kWhite);
                raster::DrawLine(large, q[0], q[1], kWhite);
                break;
            case 2:
                raster::FillRect(small, {p[0].X, p[0].Y, p[1].X, p[1].Y}, kWhite);
                raster::FillRect(large, {q[0].X, q[0].Y, q[1].X, q[1].Y}, kWhite);
                break;
            default:
                raster::FillPolygon(small, p, kWhite, FillMode::Winding);
                raster::FillPolygon(large, q, kWhite, FillMode::Winding);
                break;
        }
        for (int y = 0; y < small.Height(); ++y)
            for (int x = 0; x < small.Width(); ++x)
                ASSERT_EQ(small.GetIndex(x, y), large.GetIndex(x + ox, y + oy))
                    << "shape " << n % 4 << " case " << n << " at " << x << "," << y;
    }
}

// Every shape in every pixel format sets exactly the pixels it sets in a mask, to the
// colour SetPixel stores, and leaves every other byte (padding included) alone.
TEST(Shapes, EveryFormatGetsTheMaskPixels) {
    Lcg rng(21);
    uint32_t fast = 2166136261u, reference = 2166136261u;
    for (PixelFormat format : rastertest::kAllFormats) {
        for (int n = 0; n < 120; ++n) {
            int w = rng.Range(1, 70), h = rng.Range(1, 20);
            Bitmap picture = rastertest::RandomBitmap(rng, w, h, format);
            if (format == PixelFormat::Bits8) picture.Palette() = raster::DefaultPalette256();
            Bitmap mask(w, h, PixelFormat::Bits1);
            raster::Rgb colour = rng.Next(0x1000000);
            auto p = RandomPoints(rng, 4, -10, w + 10, h + 10);
            auto draw = [&](Bitmap& b, raster::Rgb c) {
                switch (n % 4) {
                    case 0:
                        raster::FillRect(b, {p[0].X, p[0].Y, p[1].X, p[1].Y}, c);
                        break;
                    case 1:
                        raster::FillEllipse(b, {p[0].X, p[0].Y, p[1].X, p[1].Y}, c);
                        break;
                    case 2:
                        raster::DrawLine(b, p[0], p[1], c);
                        break;
                    default:
                        raster::FillPolygon(b, p, c);
                        break;
                }
            };
            Bitmap expected = picture;
            draw(picture, colour);
            draw(mask, kWhite);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (mask.GetIndex(x, y)) expected.SetPixel(x, y, colour);
            fast = rastertest::Fnv(picture, fast);
            reference = rastertest::Fnv(expected, reference);
            ASSERT_EQ(picture, expected) << "format " << int(format) << " shape " << n % 4;
        }
    }
    EXPECT_EQ(fast, reference);
}

// Black clears mask bits: the same shape drawn black into a white mask is the inverse.
TEST(Shapes, BlackClearsMaskBits) {
    Bitmap set(37, 19, PixelFormat::Bits1), cleared(37, 19, PixelFormat::Bits1);
    cleared.Fill(kWhite);
    const std::vector<core::Point> wedge = {{18, 9}, {-1, -1}, {37, -1}, {37, 5}};
    raster::FillPolygon(set, wedge, kWhite);
    raster::FillPolygon(cleared, wedge, 0);
    raster::FillEllipse(set, {3, 2, 14, 17}, kWhite);
    raster::FillEllipse(cleared, {3, 2, 14, 17}, 0);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_NE(set.GetIndex(x, y), cleared.GetIndex(x, y)) << x << "," << y;
}

// Coordinates far outside any picture draw nothing and overflow nothing.
TEST(Shapes, HugeCoordinatesDrawNothing) {
    const int big = std::numeric_limits<int>::max(), small = std::numeric_limits<int>::min();
    Bitmap b(16, 16, PixelFormat::Bits1);
    raster::DrawLine(b, {small, small}, {big, big}, kWhite);
    raster::DrawLine(b, {0, 0}, {big, 5}, kWhite);
    const core::Point spike[] = {{0, 0}, {big, 8}, {0, 15}};
    raster::FillPolygon(b, spike, kWhite);
    raster::FillEllipse(b, {small, small, big, big}, kWhite);
    raster::FillEllipse(b, {-(1 << 20), 0, 1 << 20, 10}, kWhite);
    EXPECT_EQ(rastertest::Fnv(b), rastertest::Fnv(Bitmap(16, 16, PixelFormat::Bits1)));
    // A rectangle needs no arithmetic beyond clipping: it covers the whole bitmap.
    raster::FillRect(b, {small, small, big, big}, kWhite);
    EXPECT_EQ(b.GetIndex(0, 0), 1u);
    EXPECT_EQ(b.GetIndex(15, 15), 1u);
}

// Small shapes whose pixels the GDI conventions fix; the slim ellipse's tips are our own
// completion of the trace (the centre column), as the reference leaves them undefined.
TEST(Shapes, SmallShapesHaveTheirExactPixels) {
    struct Case {
        const char* name;
        int w, h;
        std::function<void(Bitmap&)> draw;
        const char* picture;
    } cases[] = {
        {"disc in a 6 x 6 box", 8, 7,
         [](Bitmap& b) {
             raster::FillEllipse(b, {1, 0, 7, 6}, kWhite);
         },
         "...##...\n"
         "..####..\n"
         ".######.\n"
         ".######.\n"
         "..####..\n"
         "...##...\n"
         "........\n"},
        {"slim ellipse 3 x 12", 5, 12,
         [](Bitmap& b) {
             raster::FillEllipse(b, {1, 0, 4, 12}, kWhite);
         },
         "..#..\n"  // completed tip
         "..#..\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         ".###.\n"
         "..#..\n"
         "..#..\n"},  // completed tip
        {"line without its end point", 6, 3,
         [](Bitmap& b) {
             raster::DrawLine(b, {0, 0}, {5, 2}, kWhite);
         },
         "##....\n"
         "..##..\n"
         "....#.\n"},
        {"inverted fill rectangle", 6, 4,
         [](Bitmap& b) {
             raster::FillRect(b, {4, 3, 1, 1}, kWhite);
         },
         "......\n"
         "......\n"
         "..###.\n"
         "..###.\n"},
        {"triangle with its outline", 7, 5,
         [](Bitmap& b) {
             const core::Point t[] = {{0, 0}, {6, 0}, {0, 4}};
             raster::FillPolygon(b, t, kWhite);
         },
         "#######\n"
         "######.\n"
         "####...\n"
         "###....\n"
         "#......\n"},
    };
    for (const Case& c : cases) {
        Bitmap b(c.w, c.h, PixelFormat::Bits1);
        c.draw(b);
        EXPECT_EQ(rastertest::Picture(b), c.picture) << c.name;
    }
}

}  // namespace
