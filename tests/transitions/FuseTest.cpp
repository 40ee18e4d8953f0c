#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "transitions/EffectTable.h"
#include "transitions/FuseTransition.h"
#include "transitions/HeadlessControl.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using raster::Bitmap;
using raster::PixelFormat;
using D = Direction;

// For each style, the step at which each cell of the 8 x 8 tile turns to the new picture,
// [row][column], row 0 at the top; index 0 unused.
// clang-format off
const int kGolden[14][8][8] = {
    {},
    // 1: ordered dither
    {{ 2, 34, 10, 42,  3, 35, 11, 43},
     {54, 30, 62, 22, 55, 31, 63, 23},
     {14, 46,  6, 38, 15, 47,  7, 39},
     {58, 18, 50, 26, 59, 19, 51, 27},
     { 4, 36, 12, 44,  1, 33,  9, 41},
     {56, 32, 64, 24, 53, 29, 61, 21},
     {16, 48,  8, 40, 13, 45,  5, 37},
     {60, 20, 52, 28, 57, 17, 49, 25}},
    // 2: rows from the top
    {{ 1,  1,  1,  1,  1,  1,  1,  1},
     { 2,  2,  2,  2,  2,  2,  2,  2},
     { 3,  3,  3,  3,  3,  3,  3,  3},
     { 4,  4,  4,  4,  4,  4,  4,  4},
     { 5,  5,  5,  5,  5,  5,  5,  5},
     { 6,  6,  6,  6,  6,  6,  6,  6},
     { 7,  7,  7,  7,  7,  7,  7,  7},
     { 8,  8,  8,  8,  8,  8,  8,  8}},
    // 3: rows from the bottom
    {{ 8,  8,  8,  8,  8,  8,  8,  8},
     { 7,  7,  7,  7,  7,  7,  7,  7},
     { 6,  6,  6,  6,  6,  6,  6,  6},
     { 5,  5,  5,  5,  5,  5,  5,  5},
     { 4,  4,  4,  4,  4,  4,  4,  4},
     { 3,  3,  3,  3,  3,  3,  3,  3},
     { 2,  2,  2,  2,  2,  2,  2,  2},
     { 1,  1,  1,  1,  1,  1,  1,  1}},
    // 4: columns from the left
    {{ 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8},
     { 1,  2,  3,  4,  5,  6,  7,  8}},
    // 5: columns from the right
    {{ 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1},
     { 8,  7,  6,  5,  4,  3,  2,  1}},
    // 6: square growing from the top-left cell
    {{ 1,  2,  3,  4,  5,  6,  7,  8},
     { 2,  2,  3,  4,  5,  6,  7,  8},
     { 3,  3,  3,  4,  5,  6,  7,  8},
     { 4,  4,  4,  4,  5,  6,  7,  8},
     { 5,  5,  5,  5,  5,  6,  7,  8},
     { 6,  6,  6,  6,  6,  6,  7,  8},
     { 7,  7,  7,  7,  7,  7,  7,  8},
     { 8,  8,  8,  8,  8,  8,  8,  8}},
    // 7: square shrinking into the top-left cell
    {{ 8,  7,  6,  5,  4,  3,  2,  1},
     { 7,  7,  6,  5,  4,  3,  2,  1},
     { 6,  6,  6,  5,  4,  3,  2,  1},
     { 5,  5,  5,  5,  4,  3,  2,  1},
     { 4,  4,  4,  4,  4,  3,  2,  1},
     { 3,  3,  3,  3,  3,  3,  2,  1},
     { 2,  2,  2,  2,  2,  2,  2,  1},
     { 1,  1,  1,  1,  1,  1,  1,  1}},
    // 8: spiral out of the centre
    {{64, 37, 38, 39, 40, 41, 42, 43},
     {63, 36, 17, 18, 19, 20, 21, 44},
     {62, 35, 16,  5,  6,  7, 22, 45},
     {61, 34, 15,  4,  1,  8, 23, 46},
     {60, 33, 14,  3,  2,  9, 24, 47},
     {59, 32, 13, 12, 11, 10, 25, 48},
     {58, 31, 30, 29, 28, 27, 26, 49},
     {57, 56, 55, 54, 53, 52, 51, 50}},
    // 9: spiral in from the corner
    {{ 1, 28, 27, 26, 25, 24, 23, 22},
     { 2, 29, 48, 47, 46, 45, 44, 21},
     { 3, 30, 49, 60, 59, 58, 43, 20},
     { 4, 31, 50, 61, 64, 57, 42, 19},
     { 5, 32, 51, 62, 63, 56, 41, 18},
     { 6, 33, 52, 53, 54, 55, 40, 17},
     { 7, 34, 35, 36, 37, 38, 39, 16},
     { 8,  9, 10, 11, 12, 13, 14, 15}},
    // 10: diagonals x - y = k
    {{ 8,  1,  2,  3,  4,  5,  6,  7},
     { 7,  8,  1,  2,  3,  4,  5,  6},
     { 6,  7,  8,  1,  2,  3,  4,  5},
     { 5,  6,  7,  8,  1,  2,  3,  4},
     { 4,  5,  6,  7,  8,  1,  2,  3},
     { 3,  4,  5,  6,  7,  8,  1,  2},
     { 2,  3,  4,  5,  6,  7,  8,  1},
     { 1,  2,  3,  4,  5,  6,  7,  8}},
    // 11: diagonals x - y, backwards
    {{ 1,  8,  7,  6,  5,  4,  3,  2},
     { 2,  1,  8,  7,  6,  5,  4,  3},
     { 3,  2,  1,  8,  7,  6,  5,  4},
     { 4,  3,  2,  1,  8,  7,  6,  5},
     { 5,  4,  3,  2,  1,  8,  7,  6},
     { 6,  5,  4,  3,  2,  1,  8,  7},
     { 7,  6,  5,  4,  3,  2,  1,  8},
     { 8,  7,  6,  5,  4,  3,  2,  1}},
    // 12: anti-diagonals x + y = k - 1
    {{ 1,  2,  3,  4,  5,  6,  7,  8},
     { 2,  3,  4,  5,  6,  7,  8,  1},
     { 3,  4,  5,  6,  7,  8,  1,  2},
     { 4,  5,  6,  7,  8,  1,  2,  3},
     { 5,  6,  7,  8,  1,  2,  3,  4},
     { 6,  7,  8,  1,  2,  3,  4,  5},
     { 7,  8,  1,  2,  3,  4,  5,  6},
     { 8,  1,  2,  3,  4,  5,  6,  7}},
    // 13: anti-diagonals, backwards
    {{ 8,  7,  6,  5,  4,  3,  2,  1},
     { 7,  6,  5,  4,  3,  2,  1,  8},
     { 6,  5,  4,  3,  2,  1,  8,  7},
     { 5,  4,  3,  2,  1,  8,  7,  6},
     { 4,  3,  2,  1,  8,  7,  6,  5},
     { 3,  2,  1,  8,  7,  6,  5,  4},
     { 2,  1,  8,  7,  6,  5,  4,  3},
     { 1,  8,  7,  6,  5,  4,  3,  2}},
};
// clang-format on

int StepsOf(int style) {
    return style == 1 || style == 8 || style == 9 ? 64 : 8;
}

constexpr int kW = 19, kH = 13;  // odd, more than two tiles wide, a part tile at the edges

// Two pictures of palette colours, dark ones in A and bright ones in B, so they differ at
// every pixel on every display, and neighbouring pixels differ too.
Bitmap PictureOf(bool bright) {
    const auto& palette = raster::DefaultPalette16();
    Bitmap b(kW, kH, PixelFormat::Bits32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            b.SetPixel(
                x, y,
                bright ? palette[size_t(8 + (x + y * 5) % 8)] : palette[size_t((x * 3 + y) % 8)]);
    return b;
}

// The `steps` frames of one pass from `from` to `to` starting at frames[first]: after
// step s every cell whose golden step is at most s shows `to`, every other cell `from`.
// The pass's last frame, the final copy, is all `to`.
::testing::AssertionResult PassFollows(const std::vector<Bitmap>& frames, size_t first, int style,
                                       const Bitmap& from, const Bitmap& to) {
    const int steps = StepsOf(style);
    if (frames.size() < first + size_t(steps))
        return ::testing::AssertionFailure() << frames.size() << " frames";
    for (int step = 1; step <= steps; ++step) {
        const Bitmap& frame = frames[first + size_t(step - 1)];
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool turned = kGolden[style][y % 8][x % 8] <= step;
                if (frame.GetIndex(x, y) != (turned ? to : from).GetIndex(x, y))
                    return ::testing::AssertionFailure()
                           << "step " << step << " pixel " << x << "," << y;
            }
    }
    return ::testing::AssertionSuccess();
}

// The first style whose pattern sequence the pass follows, or 0.
int StyleOfPass(const std::vector<Bitmap>& frames, size_t first, const Bitmap& from,
                const Bitmap& to) {
    for (int style = 1; style <= 13; ++style)
        if (PassFollows(frames, first, style, from, to)) return style;
    return 0;
}

class FuseRun : public DisplayTest {
protected:
    // Every flushed frame of a run from `from` to `to`; Execute must unprepare by itself.
    static std::vector<Bitmap> Run(TransitionEffect& effect, const Bitmap& from, const Bitmap& to) {
        std::vector<Bitmap> frames = RunFrames(effect, from, to, AfterExecute::LeaveAsIs);
        EXPECT_FALSE(effect.Prepared());
        return frames;
    }

    static std::unique_ptr<FuseTransition> Fuse(int style, bool reversed = false) {
        auto fuse = std::make_unique<FuseTransition>();
        fuse->SetStyle(uint16_t(style));
        fuse->Reversed = reversed;
        return fuse;
    }

    const Bitmap m_a = PictureOf(false);
    const Bitmap m_b = PictureOf(true);
};

TEST_F(FuseRun, EachStyleAndItsReversalTurnTheGoldenCellsStepByStep) {
    struct Case {
        int style;
        bool reversed;
        int plays;  // the golden sequence the run must follow
    };
    const Case cases[] = {
        {1, false, 1},
        {2, false, 2},
        {3, false, 3},
        {4, false, 4},
        {5, false, 5},
        {6, false, 6},
        {7, false, 7},
        {8, false, 8},
        {9, false, 9},
        {10, false, 10},
        {11, false, 11},
        {12, false, 12},
        {13, false, 13},
        // Reversed runs play each style's partner; the dither has none.
        {1, true, 1},
        {2, true, 3},
        {3, true, 2},
        {4, true, 5},
        {5, true, 4},
        {6, true, 7},
        {7, true, 6},
        {8, true, 9},
        {9, true, 8},
        {10, true, 11},
        {11, true, 10},
        {12, true, 13},
        {13, true, 12},
    };
    // A palette display (two pixels to a byte) and a true-colour one.
    for (PixelFormat format : {PixelFormat::Bits4, PixelFormat::Bits32}) {
        SetDisplayPixelFormat(format);
        const Bitmap old = OnDisplay(m_a, format), now = OnDisplay(m_b, format);
        for (const Case& c : cases) {
            auto fuse = Fuse(c.style, c.reversed);
            const std::vector<Bitmap> frames = Run(*fuse, m_a, m_b);
            EXPECT_EQ(frames.size(), size_t(StepsOf(c.plays)));
            EXPECT_TRUE(PassFollows(frames, 0, c.plays, old, now))
                << "style " << c.style << (c.reversed ? " reversed" : "") << " format "
                << int(format);
        }
    }
}

TEST_F(FuseRun, EveryStyleEndsWithExactlyTheNewPictureOnEveryDisplay) {
    for (PixelFormat format : kDisplayFormats) {
        SetDisplayPixelFormat(format);
        const Bitmap now = OnDisplay(m_b, format);
        for (int style = 1; style <= 13; ++style) {
            auto fuse = Fuse(style);
            const std::vector<Bitmap> frames = Run(*fuse, m_a, m_b);
            ASSERT_EQ(frames.size(), size_t(StepsOf(style)))
                << "style " << style << " format " << int(format);
            const Bitmap& last = frames.back();
            ASSERT_EQ(last.Format(), now.Format());
            bool same = true;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    same = same && last.GetIndex(x, y) == now.GetIndex(x, y);
            EXPECT_TRUE(same) << "style " << style << " format " << int(format);
        }
    }
}

TEST_F(FuseRun, TwoPassesReverseOnlyTheFirstAndKeepOneRandomPick) {
    // True colour, so the intermediate colour is held exactly.
    const raster::ColorValue between = 0x123456;
    const Bitmap old = OnDisplay(m_a, PixelFormat::Bits32),
                 now = OnDisplay(m_b, PixelFormat::Bits32),
                 middle =
                     OnDisplay(Filled(kW, kH, raster::ColorToRgb(between)), PixelFormat::Bits32);
    struct Case {
        int style;
        bool pass2Reversed;
    };
    const Case cases[] = {{4, true}, {8, true}, {0, false}, {0, true}};
    for (const Case& c : cases) {
        auto fuse = Fuse(c.style);
        fuse->Passes = PassSetting::TwoPasses;
        fuse->Pass2Options.Reversed = c.pass2Reversed;
        fuse->Pass2Options.SolidColor = between;
        const std::vector<Bitmap> frames = Run(*fuse, m_a, m_b);
        ASSERT_FALSE(frames.empty());
        const int first = StyleOfPass(frames, 0, old, middle);
        ASSERT_NE(first, 0) << "style " << c.style;
        const int second = StyleOfPass(frames, size_t(StepsOf(first)), middle, now);
        ASSERT_NE(second, 0) << "style " << c.style;
        EXPECT_EQ(frames.size(), size_t(StepsOf(first) + StepsOf(second)));
        if (c.style != 0) {
            EXPECT_EQ(second, c.style);
        }
        // The first pass plays the partner when Pass2Options.Reversed is set.
        int partner = second;
        if (c.pass2Reversed && second >= 2) partner = second % 2 == 0 ? second + 1 : second - 1;
        EXPECT_EQ(first, partner) << "style " << c.style;
    }
}

TEST_F(FuseRun, AnUnknownStyleEndsTheRunAtOnce) {
    for (int style : {14, 65535}) {
        auto fuse = Fuse(style);
        EXPECT_TRUE(Run(*fuse, m_a, m_b).empty()) << style;
    }
}

TEST(Fuse, PropertiesAnswersAndRegistration) {
    FuseTransition fuse;
    EXPECT_EQ(fuse.Style(), 1);
    EXPECT_EQ(fuse.StyleCount(), 13);
    EXPECT_FALSE(fuse.Reversed);
    EXPECT_EQ(fuse.Milliseconds, 0);
    EXPECT_EQ(fuse.AllowedDirections(), DirectionBit(D::None));
    EXPECT_EQ(fuse.GetDescription(), "Fuse");
    EXPECT_FALSE(fuse.PaintsOldImage());
    EXPECT_TRUE(fuse.NeedsOldImage());
    EXPECT_TRUE(fuse.NeedsWorkBitmap());
    EXPECT_TRUE(fuse.WorkOnOldImage());
    EXPECT_TRUE(fuse.UsesFirstPass());

    struct Case {
        const char* name;
        PropertyValue value;
        bool accepted;
    };
    const Case cases[] = {
        {"Style", int32_t(0), true},      {"Style", int32_t(65535), true},
        {"Style", int32_t(-1), false},    {"Style", int32_t(65536), false},
        {"Style", true, false},           {"Reversed", true, true},
        {"Reversed", int32_t(1), false},  {"Milliseconds", int32_t(900), true},
        {"Direction", int32_t(1), false}, {"SubStyle", int32_t(1), false},
        {"Style", int32_t(9), true},
    };
    for (const Case& c : cases) EXPECT_EQ(fuse.SetProperty(c.name, c.value), c.accepted) << c.name;
    EXPECT_EQ(fuse.Style(), 9);
    EXPECT_TRUE(fuse.Reversed);
    EXPECT_EQ(fuse.Milliseconds, 900);

    FuseTransition copy;
    copy.Assign(fuse);
    EXPECT_EQ(copy.Style(), 9);
    EXPECT_TRUE(copy.Reversed);
    EXPECT_EQ(copy.Milliseconds, 900);
    // A reversed spiral from the corner plays the one from the centre.
    EXPECT_EQ(copy.ActualStyle(), 8);

    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, {{"Fuse1", "FuseTransition", "", {{"Style", int32_t(12)}}}});
    ASSERT_NE(list.Transitions(0), nullptr);
    const auto* loaded = dynamic_cast<const FuseTransition*>(list.Transitions(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Style(), 12);
}

}  // namespace
