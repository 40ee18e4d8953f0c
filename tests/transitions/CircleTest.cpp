#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "raster/Shapes.h"
#include "transitions/CircleTransition.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using raster::Bitmap;
using raster::PixelFormat;
using M = CircleMotion;

// A circle effect that can be driven by hand, or run headless through a chosen list of
// steps instead of the paced loop (so that steps can be skipped deterministically).
class CircleProbe : public Stepped<CircleTransition> {
public:
    const Bitmap& CurrentMask() const { return *m_mask; }
    core::Rect Dirty() const { return m_dirtyRect; }
    core::Rect Hole() const { return m_dirtyHoleRect; }
};

// A one-bit mask of the frame's size holding the disc of radius r around c.
Bitmap Disc(int w, int h, core::Point c, int r) {
    Bitmap disc(w, h, PixelFormat::Bits1);
    disc.Palette() = {0x000000, 0xFFFFFF};
    raster::FillEllipse(disc, {c.X - r, c.Y - r, c.X + r, c.Y + r}, 0xFFFFFF);
    return disc;
}

std::vector<int> EverySteps(int total) {
    std::vector<int> steps;
    for (int s = 1; s < total; ++s) steps.push_back(s);
    return steps;
}

struct Figure {
    uint16_t style, subStyle;
};

// Every sub-style the table names.
std::vector<Figure> AllFigures() {
    std::vector<Figure> all{{1, 1}, {1, 2}};
    for (uint16_t style : {2, 3})
        for (uint16_t sub = 1; sub <= 8; ++sub) all.push_back({style, sub});
    return all;
}

class CircleTest : public DisplayTest {};

TEST_F(CircleTest, FigureOfEveryStyle) {
    struct Row {
        uint16_t style, subStyle;
        int w, h;
        core::Point centre;
        M motion;
        int reach;
    } rows[] = {
        {1, 1, 1024, 768, {512, 384}, M::Grows, 640},  // nearest(sqrt(384^2 + 512^2))
        {1, 2, 1024, 768, {512, 384}, M::Shrinks, 640},
        {1, 1, 37, 23, {18, 11}, M::Grows, 21},  // sqrt(445) = 21.1
        {2, 1, 800, 600, {0, 0}, M::Grows, 1000},
        {2, 2, 800, 600, {800, 600}, M::Grows, 1000},
        {2, 3, 800, 600, {0, 600}, M::Grows, 1000},
        {2, 4, 800, 600, {800, 0}, M::Grows, 1000},
        {2, 5, 800, 600, {0, 0}, M::Shrinks, 1000},
        {2, 8, 800, 600, {800, 0}, M::Shrinks, 1000},
        {3, 1, 800, 600, {0, 300}, M::Grows, 854},  // sqrt(730000) = 854.4
        {3, 2, 800, 600, {800, 300}, M::Grows, 854},
        {3, 3, 800, 600, {400, 0}, M::Grows, 721},  // sqrt(520000) = 721.1
        {3, 4, 37, 23, {18, 23}, M::Grows, 29},     // sqrt(853) = 29.2
        {3, 6, 800, 600, {800, 300}, M::Shrinks, 854},
        {3, 7, 800, 600, {400, 0}, M::Shrinks, 721},
        // Unknown picks: styles 1 and 2 keep their reach and paint nothing; the rest
        // have no steps at all.
        {1, 3, 1024, 768, {}, M::None, 640},
        {2, 9, 800, 600, {}, M::None, 1000},
        {3, 9, 800, 600, {}, M::None, 0},
        {3, 0, 800, 600, {}, M::None, 0},
        {4, 1, 800, 600, {}, M::None, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.style) + "/" + std::to_string(row.subStyle));
        CircleFigure f = CircleFigureFor(row.style, row.subStyle, row.w, row.h);
        EXPECT_EQ(f.Motion, row.motion);
        EXPECT_EQ(f.Reach, row.reach);
        if (row.motion != M::None) {
            EXPECT_EQ(f.Centre, row.centre);
        }
    }
}

TEST_F(CircleTest, AnswersSubStylesAndReversal) {
    CircleTransition circle;
    EXPECT_STREQ(circle.ClassName(), "CircleTransition");
    EXPECT_EQ(circle.GetDescription(), "Circle");
    EXPECT_TRUE(circle.AccumulatesMask());
    EXPECT_FALSE(circle.ClearsMaskAfterStep());
    EXPECT_EQ(circle.StyleCount(), 3);
    EXPECT_EQ(circle.Style(), 1);
    EXPECT_EQ(circle.SubStyle(), 1);
    const std::pair<uint16_t, uint16_t> counts[] = {{0, 0}, {1, 2}, {2, 8}, {3, 8}, {4, 1}};
    for (auto [style, count] : counts) EXPECT_EQ(circle.SubStyleCount(style), count) << style;

    struct Row {
        uint16_t style, sub, reversed;
    } rows[] = {{1, 1, 2}, {1, 2, 1}, {1, 3, 3}, {2, 1, 5}, {2, 4, 8}, {2, 5, 1},
                {2, 8, 4}, {3, 2, 6}, {3, 7, 3}, {3, 9, 9}, {4, 1, 1}, {0, 1, 1}};
    for (const Row& row : rows)
        EXPECT_EQ(circle.ReverseSubStyle(row.style, row.sub), row.reversed)
            << row.style << "/" << row.sub;

    // FastCircle reversed: the old picture shrinks into the centre.
    circle.Reversed = true;
    EXPECT_EQ(circle.ActualSubStyle(), 2);
    circle.SetStyle(3);
    circle.SetSubStyle(3);
    EXPECT_EQ(circle.ActualSubStyle(), 7);
}

TEST_F(CircleTest, FastCircleRunsSixHundredFortySteps) {
    Bitmap a = PictureA(1024, 768), b = PictureB(1024, 768);
    PassData data;
    data.WorkBitmap = &a;
    data.SrcImage = &a;
    data.DstImage = &b;
    data.Width = 1024;
    data.Height = 768;
    CircleProbe circle;
    ASSERT_EQ(circle.Begin(data), 640);
    // The disc of the last step covers all four corners.
    circle.Step(data, 640, 0, 640);
    const Bitmap& mask = circle.CurrentMask();
    for (core::Point p : {core::Point{0, 0}, {1023, 0}, {0, 767}, {1023, 767}})
        EXPECT_EQ(mask.GetIndex(p.X, p.Y), 1u) << p.X << "," << p.Y;
    EXPECT_EQ(circle.Dirty(), (core::Rect{0, 0, 1024, 768}));
    circle.End(data);
}

// Step 1 of a growing disc paints the disc of radius 1 (the 2 x 2 pixels up and left of the
// point) and has no hole; later steps cut out a square inside the previous disc. After each
// step the mask holds just the ring that turned new.
TEST_F(CircleTest, EachStepComposesOnlyTheNewRing) {
    const int w = 61, h = 45;
    for (Figure fig : {Figure{1, 1}, Figure{1, 2}, Figure{2, 2}, Figure{3, 7}}) {
        SCOPED_TRACE(std::to_string(fig.style) + "/" + std::to_string(fig.subStyle));
        Bitmap a = PictureA(((w - 1) / 32 + 1) * 32, h), b = PictureB(a.Width(), h);
        PassData data;
        data.WorkBitmap = &a;
        data.SrcImage = &a;
        data.DstImage = &b;
        data.Width = w;
        data.Height = h;
        CircleProbe circle;
        circle.SetStyle(fig.style);
        circle.SetSubStyle(fig.subStyle);
        const CircleFigure f = CircleFigureFor(fig.style, fig.subStyle, w, h);
        const int total = circle.Begin(data);
        ASSERT_EQ(total, f.Reach);
        const bool grows = f.Motion == M::Grows;
        auto radius = [&](int step) { return grows ? step : f.Reach - step + 1; };
        Bitmap before(w, h, PixelFormat::Bits1);  // shows the new picture so far
        int previous = 0;
        for (int step : {1, 2, 5, 6, 13, 20}) {
            circle.Step(data, step, previous, total);
            const Bitmap disc = Disc(w, h, f.Centre, radius(step));
            if (step == 1 && grows) {
                const core::Point c = f.Centre;
                EXPECT_EQ(circle.Hole(), core::Rect{});
                EXPECT_EQ(
                    circle.Dirty(),
                    (core::Rect{c.X - 1, c.Y - 1, c.X + 1, c.Y + 1}.Intersected({0, 0, w, h})));
            }
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool isNew = grows == (disc.GetIndex(x, y) == 1);
                    const bool ring = isNew && !before.GetIndex(x, y);
                    ASSERT_EQ(circle.CurrentMask().GetIndex(x, y), ring ? 1u : 0u)
                        << "step " << step << " at " << x << "," << y;
                    if (isNew) before.SetIndex(x, y, 1);
                }
            previous = step;
        }
        circle.End(data);
    }
}

// Every flushed frame shows the new picture exactly where the discs drawn so far say, so
// neither the changed rectangle nor the hole cut out of it leaves a pixel behind; and the
// run ends on the new picture. Every step one by one, and with growing leaps.
TEST_F(CircleTest, FramesShowTheDiscsDrawnSoFar) {
    for (auto [w, h] : {std::pair{37, 23}, std::pair{150, 111}}) {
        const Bitmap a = PictureA(w, h), b = PictureB(w, h);
        for (Figure fig : AllFigures()) {
            // The large frame checks the holes over many radii, growing and shrinking.
            const bool holeCase = fig.style == 1 || (fig.style == 2 && fig.subStyle % 4 == 2);
            if (w > 100 && !holeCase) continue;
            const CircleFigure f = CircleFigureFor(fig.style, fig.subStyle, w, h);
            for (bool skipping : {false, true}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " " +
                             std::to_string(fig.style) + "/" + std::to_string(fig.subStyle) +
                             (skipping ? " skipping" : ""));
                std::vector<int> steps = skipping ? SkippingSteps(f.Reach) : EverySteps(f.Reach);
                CircleProbe circle;
                circle.SetStyle(fig.style);
                circle.SetSubStyle(fig.subStyle);
                circle.PlaySteps(steps);
                const std::vector<Bitmap> frames = RunFrames(circle, a, b);
                ASSERT_EQ(frames.size(), steps.size() + 1);
                Bitmap expected = a;
                for (size_t i = 0; i < steps.size(); ++i) {
                    const int s = steps[i];
                    const bool grows = f.Motion == M::Grows;
                    const Bitmap disc = Disc(w, h, f.Centre, grows ? s : f.Reach - s + 1);
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            if (grows == (disc.GetIndex(x, y) == 1))
                                expected.SetPixel(x, y, b.GetPixel(x, y));
                    ASSERT_TRUE(frames[i] == expected) << "step " << s;
                }
                EXPECT_TRUE(frames.back() == b);
            }
        }
    }
}

// The show's circle, loaded from its table, run untimed from picture A to picture B at an odd
// size on every display format: the last frame is exactly B, and every frame before shows at
// each pixel A's or B's value.
TEST_F(CircleTest, FastCircleEndsOnTheNewPictureInEveryFormat) {
    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, ShowEffectTable());
    TransitionEffect* effect = list.Transitions(list.IndexOf("FastCircle"));
    ASSERT_NE(effect, nullptr);
    auto* circle = dynamic_cast<CircleTransition*>(effect);
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->Milliseconds, 1700);
    EXPECT_EQ(circle->Style(), 1);
    EXPECT_EQ(circle->SubStyle(), 1);
    circle->Milliseconds = 0;

    const int w = 29, h = 17;
    const Bitmap a32 = PictureA(w, h), b32 = PictureB(w, h);
    for (PixelFormat format : kDisplayFormats) {
        DisplayFormat display(format);
        const std::vector<Bitmap> frames = RunFrames(*circle, a32, b32);
        ASSERT_EQ(frames.size(), size_t(CircleFigureFor(1, 1, w, h).Reach)) << int(format);
        ASSERT_TRUE(EachFrameOldOrNewEndingNew(frames, ConvertedForDisplay(a32, format),
                                               ConvertedForDisplay(b32, format)))
            << "format " << int(format);
    }
}

}  // namespace
