// Our shapes and stretches against reference hashes of the same drawings made by GDI
// (tests/data/raster/gdi_reference.c, run under Wine; see make_fixtures.sh there).

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "raster/Shapes.h"
#include "raster/Stretch.h"

namespace {

using raster::Bitmap;
using raster::PixelFormat;

constexpr raster::Rgb kWhite = 0xFFFFFF;

struct Reference {
    std::string kind;
    std::vector<long long> numbers;  // everything after the kind; hashes parsed as hex
    std::vector<std::string> words;
    std::string line;
};

std::vector<Reference> LoadReference() {
    std::ifstream in(std::string(PICTAVO_TEST_DATA) + "/raster/gdi_reference.txt");
    std::vector<Reference> all;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        Reference r;
        r.line = line;
        std::istringstream words(line);
        words >> r.kind;
        std::string w;
        while (words >> w) r.words.push_back(w);
        all.push_back(r);
    }
    return all;
}

long long Int(const Reference& r, size_t i) {
    return std::stoll(r.words.at(i));
}
uint32_t Hash(const Reference& r, size_t i) {
    return uint32_t(std::stoul(r.words.at(i), nullptr, 16));
}

// The hash of a w x h black mask after `draw`.
uint32_t MaskHash(int w, int h, const std::function<void(Bitmap&)>& draw) {
    Bitmap mask(w, h, PixelFormat::Bits1);
    draw(mask);
    return rastertest::Fnv(mask);
}

std::string MaskPicture(int w, int h, const std::function<void(Bitmap&)>& draw) {
    Bitmap mask(w, h, PixelFormat::Bits1);
    draw(mask);
    return rastertest::Picture(mask);
}

class GdiReference : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_reference = LoadReference(); }
    static std::vector<Reference> s_reference;

    // Calls `check` on every line of the given kinds.
    void ForEach(std::initializer_list<const char*> kinds,
                 const std::function<void(const Reference&)>& check) {
        int seen = 0;
        for (const Reference& r : s_reference)
            for (const char* k : kinds)
                if (r.kind == k) {
                    ++seen;
                    check(r);
                }
        EXPECT_GT(seen, 0) << "no reference lines of this kind";
    }
};
std::vector<Reference> GdiReference::s_reference;

TEST_F(GdiReference, Ellipses) {
    auto ellipse = [](long long l, long long t, long long r, long long b) {
        return [=](Bitmap& m) { raster::FillEllipse(m, {int(l), int(t), int(r), int(b)}, kWhite); };
    };
    ForEach({"E"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1));
        auto draw = ellipse(Int(r, 2), Int(r, 3), Int(r, 4), Int(r, 5));
        EXPECT_EQ(MaskHash(w, h, draw), Hash(r, 6)) << r.line << "\n" << MaskPicture(w, h, draw);
    });
    ForEach({"ES"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1)), x = int(Int(r, 2)), y = int(Int(r, 3)),
            max = int(Int(r, 4));
        size_t i = 5;
        for (int ch = 0; ch <= max; ++ch)
            for (int cw = 0; cw <= max; ++cw, ++i) {
                if (r.words.at(i) == "-") continue;  // slim upright: see gdi_reference.c
                auto draw = ellipse(x, y, x + cw, y + ch);
                EXPECT_EQ(MaskHash(w, h, draw), Hash(r, i))
                    << "ellipse " << cw << " x " << ch << "\n"
                    << MaskPicture(w, h, draw);
            }
    });
    ForEach({"EC"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1)), cx = int(Int(r, 2)), cy = int(Int(r, 3));
        size_t i = 7;
        for (long long rad = Int(r, 4); rad <= Int(r, 5); rad += Int(r, 6), ++i) {
            auto draw = ellipse(cx - rad, cy - rad, cx + rad, cy + rad);
            EXPECT_EQ(MaskHash(w, h, draw), Hash(r, i))
                << "circle of radius " << rad << " around " << cx << "," << cy << "\n"
                << MaskPicture(w, h, draw);
        }
    });
}

TEST_F(GdiReference, Rectangles) {
    ForEach({"R", "F"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1));
        core::Rect rect{int(Int(r, 2)), int(Int(r, 3)), int(Int(r, 4)), int(Int(r, 5))};
        if (r.kind == "R")  // Rectangle puts its corners in order first
            rect = {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                    std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
        auto draw = [&](Bitmap& m) { raster::FillRect(m, rect, kWhite); };
        EXPECT_EQ(MaskHash(w, h, draw), Hash(r, 6)) << r.line;
    });
}

TEST_F(GdiReference, Polygons) {
    ForEach({"P"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1));
        raster::FillMode mode =
            r.words.at(2) == "W" ? raster::FillMode::Winding : raster::FillMode::Alternate;
        size_t n = size_t(Int(r, 3));
        std::vector<core::Point> points;
        for (size_t k = 0; k < n; ++k)
            points.push_back({int(Int(r, 4 + 2 * k)), int(Int(r, 5 + 2 * k))});
        auto draw = [&](Bitmap& m) { raster::FillPolygon(m, points, kWhite, mode); };
        EXPECT_EQ(MaskHash(w, h, draw), Hash(r, 4 + 2 * n)) << r.line << "\n"
                                                            << MaskPicture(w, h, draw);
    });
}

TEST_F(GdiReference, Lines) {
    auto line = [](long long x0, long long y0, long long x1, long long y1) {
        return [=](Bitmap& m) {
            raster::DrawLine(m, {int(x0), int(y0)}, {int(x1), int(y1)}, kWhite);
        };
    };
    ForEach({"L"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1));
        auto draw = line(Int(r, 2), Int(r, 3), Int(r, 4), Int(r, 5));
        EXPECT_EQ(MaskHash(w, h, draw), Hash(r, 6)) << r.line << "\n" << MaskPicture(w, h, draw);
    });
    ForEach({"LF"}, [&](const Reference& r) {
        int w = int(Int(r, 0)), h = int(Int(r, 1)), cx = int(Int(r, 2)), cy = int(Int(r, 3));
        std::vector<core::Point> ring;  // clockwise from (-1, -1), just outside the canvas
        for (int x = -1; x < w; ++x) ring.push_back({x, -1});
        for (int y = -1; y < h; ++y) ring.push_back({w, y});
        for (int x = w; x > -1; --x) ring.push_back({x, h});
        for (int y = h; y > -1; --y) ring.push_back({-1, y});
        ASSERT_EQ(r.words.size(), 4 + ring.size()) << r.line;
        for (size_t i = 0; i < ring.size(); ++i) {
            auto draw = line(cx, cy, ring[i].X, ring[i].Y);
            EXPECT_EQ(MaskHash(w, h, draw), Hash(r, 4 + i))
                << "line to " << ring[i].X << "," << ring[i].Y << "\n"
                << MaskPicture(w, h, draw);
        }
    });
}

TEST_F(GdiReference, Stretches) {
    Bitmap src(96, 80, PixelFormat::Bits32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 96; ++x) src.SetIndex(x, y, uint32_t(y * 65536 + x));
    auto canvas = [] {
        Bitmap dst(64, 48, PixelFormat::Bits32);
        std::fill(dst.Bits(), dst.Bits() + dst.SizeBytes(), uint8_t(0xEE));
        return dst;
    };
    // Every pair of extents up to 24 along each axis.
    ForEach({"SX", "SY"}, [&](const Reference& r) {
        int max = int(Int(r, 0));
        for (int sw = 1; sw <= max; ++sw) {
            uint32_t hash = 2166136261u;
            for (int dw = 1; dw <= max; ++dw) {
                Bitmap dst = canvas();
                if (r.kind == "SX")
                    raster::StretchBlt(dst, 0, 0, dw, 1, src, 0, 0, sw, 1);
                else
                    raster::StretchBlt(dst, 0, 0, 1, dw, src, 0, 0, 1, sw);
                hash = rastertest::Fnv(dst, hash);
            }
            EXPECT_EQ(hash, Hash(r, size_t(sw))) << r.kind << " from " << sw;
        }
    });
    ForEach({"S"}, [&](const Reference& r) {
        Bitmap dst = canvas();
        raster::StretchBlt(dst, int(Int(r, 4)), int(Int(r, 5)), int(Int(r, 2)), int(Int(r, 3)), src,
                           0, 0, int(Int(r, 0)), int(Int(r, 1)));
        EXPECT_EQ(rastertest::Fnv(dst), Hash(r, 6)) << r.line;
    });
}

}  // namespace
