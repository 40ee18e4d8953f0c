#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "EffectHarness.h"
#include "raster/Shapes.h"
#include "transitions/HeadlessControl.h"
#include "transitions/MaskedTransition.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using raster::Bitmap;
using raster::PixelFormat;

// A masked effect whose painting is supplied by each test; it records the style and
// sub-style in use at every step.
class TestMasked : public MaskedTransition {
public:
    using Painter = std::function<void(TestMasked& self, Bitmap& mask, int step, int previous,
                                       PassData& data, bool& positive)>;

    explicit TestMasked(uint16_t styleCount = 1) { SetStyleCount(styleCount); }
    const char* ClassName() const override { return "TestMasked"; }

    int Total = 5;
    Painter Paint;
    std::function<void(PassData&)> OnFinish;
    bool Accumulates = false;
    bool Clears = false;
    uint16_t SubStyles = 1;
    std::function<uint16_t(uint16_t, uint16_t)> Reverse;
    std::vector<uint16_t> StylesSeen, SubStylesSeen;

    bool AccumulatesMask() const override { return Accumulates; }
    bool ClearsMaskAfterStep() const override { return Clears; }
    uint16_t SubStyleCount(uint16_t style) const override { return style ? SubStyles : 0; }
    uint16_t ReverseSubStyle(uint16_t style, uint16_t subStyle) const override {
        return Reverse ? Reverse(style, subStyle)
                       : MaskedTransition::ReverseSubStyle(style, subStyle);
    }

    // One pass driven by hand, without a render window.
    void Begin(PassData& data) {
        int total = 0;
        PrepareSteps(data, total);
        EXPECT_EQ(total, Total);
    }
    void Step(PassData& data, int step, int previous) {
        RenderStep(data, step, step - previous, Total, previous);
    }
    void End(PassData& data) { FinishSteps(data); }

    const Bitmap* CurrentMask() const { return m_mask.get(); }
    const Bitmap* Accumulated() const { return m_accumulatedMask.get(); }
    uint16_t PickedStyle() const { return m_randomStyle; }
    uint16_t PickedSubStyle() const { return m_randomSubStyle; }
    void SetDirty(const core::Rect& r) { m_dirtyRect = r; }
    void SetDrawOffscreen(bool on) { m_drawOffscreen = on; }

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override {
        MaskedTransition::PrepareSteps(data, totalSteps);
        totalSteps = Total;
    }
    void FinishSteps(PassData& data) override {
        if (OnFinish) OnFinish(data);
        MaskedTransition::FinishSteps(data);
    }
    void PaintMask(Bitmap& mask, int step, int, int, int previous, PassData& data,
                   bool& positive) override {
        StylesSeen.push_back(ActualStyle());
        SubStylesSeen.push_back(ActualSubStyle());
        if (Paint) Paint(*this, mask, step, previous, data, positive);
    }
};

void SetMaskRows(Bitmap& mask, int from, int to) {
    for (int y = from; y < to; ++y) std::memset(mask.Scanline(y), 0xFF, mask.Stride());
}

bool AllBits(const Bitmap& mask, uint8_t value) {
    return std::all_of(mask.Bits(), mask.Bits() + mask.SizeBytes(),
                       [&](uint8_t b) { return b == value; });
}

bool RowEquals(const Bitmap& a, const Bitmap& b, int y) {
    return std::memcmp(a.Scanline(y), b.Scanline(y), a.Stride()) == 0;
}

// A pass record over hand-made pictures, the old one being the work bitmap.
struct HandRun {
    HandRun(int width, int height, PixelFormat format = PixelFormat::Bits32)
        : Old(Noise(((width - 1) / 32 + 1) * 32, height, format, 1)),
          New(Noise(((width - 1) / 32 + 1) * 32, height, format, 2)),
          Original(Old) {
        Data.WorkBitmap = &Old;
        Data.SrcImage = &Old;
        Data.DstImage = &New;
        Data.Width = width;
        Data.Height = height;
        Data.PixelFormat = format;
    }
    Bitmap Old, New, Original;
    PassData Data;
};

// --- Properties ---------------------------------------------------------------------------

TEST(MaskedTest, StyleSetterResetsTheSubStyleOnlyOnChange) {
    struct Case {
        uint16_t style, subStyle, newStyle, expectedSubStyle;
    };
    const Case cases[] = {
        {2, 5, 3, 1},  // a new style starts at sub-style 1
        {2, 5, 0, 0},  // a random style takes a random sub-style
        {2, 5, 2, 5},  // the same style keeps it
        {0, 0, 4, 1}, {0, 7, 0, 7},
    };
    for (const Case& c : cases) {
        TestMasked effect;
        effect.SetStyle(c.style);
        effect.SetSubStyle(c.subStyle);
        effect.SetStyle(c.newStyle);
        EXPECT_EQ(effect.Style(), c.newStyle);
        EXPECT_EQ(effect.SubStyle(), c.expectedSubStyle) << c.style << " -> " << c.newStyle;
    }
    TestMasked fresh;
    EXPECT_EQ(fresh.Style(), 1);
    EXPECT_EQ(fresh.SubStyle(), 1);
    fresh.SetSubStyle(999);  // no range check
    EXPECT_EQ(fresh.SubStyle(), 999);
}

TEST(MaskedTest, PublishedPropertiesAndAssign) {
    TestMasked effect;
    EXPECT_TRUE(effect.SetProperty("Style", int32_t(3)));
    EXPECT_TRUE(effect.SetProperty("SubStyle", int32_t(6)));
    EXPECT_TRUE(effect.SetProperty("Reversed", true));
    EXPECT_TRUE(effect.SetProperty("Milliseconds", int32_t(900)));
    EXPECT_EQ(effect.Style(), 3);
    EXPECT_EQ(effect.SubStyle(), 6);
    EXPECT_TRUE(effect.Reversed);
    EXPECT_EQ(effect.Milliseconds, 900);
    EXPECT_FALSE(effect.SetProperty("Style", int32_t(65536)));
    EXPECT_FALSE(effect.SetProperty("SubStyle", int32_t(-1)));
    EXPECT_FALSE(effect.SetProperty("Style", true));
    EXPECT_FALSE(effect.SetProperty("Reversed", int32_t(1)));
    EXPECT_FALSE(effect.SetProperty("Direction", int32_t(1)));
    EXPECT_EQ(effect.Style(), 3);

    // Style goes first, or its setter would undo the sub-style.
    TestMasked copy;
    copy.Assign(effect);
    EXPECT_EQ(copy.Style(), 3);
    EXPECT_EQ(copy.SubStyle(), 6);
    EXPECT_TRUE(copy.Reversed);
    EXPECT_EQ(copy.Milliseconds, 900);
}

TEST(MaskedTest, BitmapWidthsRoundUpToWholeMaskWords) {
    const std::pair<int, int> cases[] = {{0, 32},      {1, 32},    {31, 32},   {32, 32},
                                         {33, 64},     {100, 128}, {128, 128}, {129, 160},
                                         {1920, 1920}, {-40, 0}};
    TestMasked effect;
    for (auto [width, rounded] : cases) EXPECT_EQ(effect.GetBitmapWidth(width), rounded) << width;
}

TEST(MaskedTest, ReverseSubStyleAppliesWhenReversed) {
    TestMasked plain;
    plain.SetSubStyle(2);
    plain.Reversed = true;
    EXPECT_EQ(plain.ActualSubStyle(), 2);  // the default mapping keeps it

    TestMasked effect;
    effect.Reverse = [](uint16_t style, uint16_t sub) { return uint16_t(style * 100 + sub + 10); };
    effect.SetStyle(3);
    effect.SetSubStyle(2);
    EXPECT_EQ(effect.ActualSubStyle(), 2);
    effect.Reversed = true;
    EXPECT_EQ(effect.ActualSubStyle(), 312);
    EXPECT_EQ(effect.ActualStyle(), 3);
}

// --- Steps driven by hand -------------------------------------------------------------------

TEST(MaskedTest, PrepareMakesClearedMasksOfTheRoundedWidth) {
    HandRun run(100, 6);
    TestMasked effect;
    effect.Accumulates = true;
    effect.Begin(run.Data);
    ASSERT_TRUE(effect.CurrentMask() && effect.Accumulated());
    for (const Bitmap* m : {effect.CurrentMask(), effect.Accumulated()}) {
        EXPECT_EQ(m->Width(), 128);
        EXPECT_EQ(m->Height(), 6);
        EXPECT_EQ(m->Format(), PixelFormat::Bits1);
        EXPECT_TRUE(AllBits(*m, 0));
    }
    effect.End(run.Data);
    EXPECT_EQ(effect.CurrentMask(), nullptr);
    EXPECT_EQ(effect.Accumulated(), nullptr);

    // A work bitmap of its own starts as a copy of the source.
    Bitmap own(128, 6, PixelFormat::Bits32);
    run.Data.WorkBitmap = &own;
    TestMasked plain;
    plain.Begin(run.Data);
    EXPECT_EQ(plain.Accumulated(), nullptr);
    EXPECT_EQ(own, run.Old);
    plain.End(run.Data);
}

TEST(MaskedTest, NegativePainterThatPaintsNothingShowsTheNewPictureInTheDirtyRows) {
    struct Case {
        bool setDirty;
        core::Rect dirty;
        int top, bottom;  // rows expected to show the new picture
    };
    const Case cases[] = {
        {false, {}, 0, 7},               // preset: the whole frame
        {true, {10, 2, 12, 5}, 2, 5},    // the columns do not narrow the work
        {true, {-4, -9, 200, 3}, 0, 3},  // clipped to the frame
        {true, {0, 0, 0, 0}, 0, 0},      // nothing changed
    };
    for (const Case& c : cases) {
        HandRun run(40, 7);
        TestMasked effect;
        effect.Paint = [&](TestMasked& self, Bitmap&, int, int, PassData&, bool&) {
            if (c.setDirty) self.SetDirty(c.dirty);
        };
        effect.Begin(run.Data);
        effect.Step(run.Data, 1, 0);
        EXPECT_TRUE(AllBits(*effect.CurrentMask(), 0xFF));
        for (int y = 0; y < 7; ++y) {
            const bool composed = y >= c.top && y < c.bottom;
            EXPECT_TRUE(RowEquals(run.Old, composed ? run.New : run.Original, y))
                << "row " << y << " of case " << c.top << ".." << c.bottom;
        }
        effect.End(run.Data);
    }
}

TEST(MaskedTest, AccumulatedMaskComposesOnlyNewlySetPixels) {
    HandRun run(64, 4);
    TestMasked effect;
    effect.Accumulates = true;
    // Step n sets rows 0 .. n - 1 (and keeps whatever the mask still holds).
    effect.Paint = [](TestMasked&, Bitmap& mask, int step, int, PassData&, bool& positive) {
        SetMaskRows(mask, 0, step);
        positive = true;
    };
    effect.Begin(run.Data);
    effect.Step(run.Data, 1, 0);
    EXPECT_TRUE(RowEquals(run.Old, run.New, 0));
    // A pixel already composed is not copied again.
    run.Old.SetIndex(5, 0, 0x12345678);
    effect.Step(run.Data, 2, 1);
    EXPECT_EQ(run.Old.GetIndex(5, 0), 0x12345678u);
    EXPECT_TRUE(RowEquals(run.Old, run.New, 1));
    EXPECT_TRUE(RowEquals(run.Old, run.Original, 2));
    // The mask holds this step's new pixels, the accumulated mask all of them.
    Bitmap newOnly(64, 4, PixelFormat::Bits1), all(64, 4, PixelFormat::Bits1);
    SetMaskRows(newOnly, 1, 2);
    SetMaskRows(all, 0, 2);
    EXPECT_TRUE(std::equal(newOnly.Bits(), newOnly.Bits() + newOnly.SizeBytes(),
                           effect.CurrentMask()->Bits()));
    EXPECT_TRUE(std::equal(all.Bits(), all.Bits() + all.SizeBytes(), effect.Accumulated()->Bits()));
    effect.End(run.Data);
}

TEST(MaskedTest, ClearsMaskAfterStepAndOffscreenOff) {
    HandRun run(32, 3);
    TestMasked effect;
    effect.Clears = true;
    int painted = 0;
    effect.Paint = [&](TestMasked&, Bitmap& mask, int, int, PassData&, bool& positive) {
        ++painted;
        SetMaskRows(mask, 0, 1);
        positive = true;
    };
    effect.Begin(run.Data);
    effect.Step(run.Data, 1, 0);
    EXPECT_TRUE(RowEquals(run.Old, run.New, 0));
    EXPECT_TRUE(RowEquals(run.Old, run.Original, 1));
    EXPECT_TRUE(AllBits(*effect.CurrentMask(), 0));

    // Drawing on the render window itself: the painter runs, nothing is composed.
    effect.SetDrawOffscreen(false);
    Bitmap before = run.Old;
    effect.Paint = [&](TestMasked&, Bitmap& mask, int, int, PassData&, bool& positive) {
        ++painted;
        SetMaskRows(mask, 0, 3);
        positive = true;
    };
    effect.Step(run.Data, 2, 1);
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(run.Old, before);
    effect.End(run.Data);
}

// --- Whole transitions, headless ------------------------------------------------------------

class MaskedRunTest : public DisplayTest {
protected:
    void Run(TransitionEffect& effect, HeadlessControl& control, const Bitmap& a, const Bitmap& b) {
        ASSERT_TRUE(RunOn(control, effect, a, b));
    }
};

TEST_F(MaskedRunTest, RandomStyleStaysFixedForTheWholeTransition) {
    HeadlessControl control(40, 10);
    const Bitmap a = Noise(40, 10, PixelFormat::Bits32, 3);
    const Bitmap b = Noise(40, 10, PixelFormat::Bits32, 4);
    for (bool twoPasses : {false, true}) {
        TestMasked effect(3);
        effect.SetStyle(0);
        ASSERT_EQ(effect.SubStyle(), 0);
        effect.SubStyles = 4;
        effect.Total = 6;
        if (twoPasses) effect.Passes = PassSetting::TwoPasses;
        for (int run = 0; run < 5; ++run) {
            effect.StylesSeen.clear();
            effect.SubStylesSeen.clear();
            Run(effect, control, a, b);
            ASSERT_EQ(effect.StylesSeen.size(), twoPasses ? 10u : 5u);
            const uint16_t style = effect.StylesSeen.front();
            const uint16_t subStyle = effect.SubStylesSeen.front();
            EXPECT_GE(style, 1);
            EXPECT_LE(style, 3);
            EXPECT_GE(subStyle, 1);
            EXPECT_LE(subStyle, 4);
            EXPECT_EQ(std::set<uint16_t>(effect.StylesSeen.begin(), effect.StylesSeen.end()),
                      std::set<uint16_t>{style});
            EXPECT_EQ(std::set<uint16_t>(effect.SubStylesSeen.begin(), effect.SubStylesSeen.end()),
                      std::set<uint16_t>{subStyle});
            // Forgotten at the end, so the next transition draws anew.
            EXPECT_EQ(effect.PickedStyle(), 0);
            EXPECT_EQ(effect.PickedSubStyle(), 0);
        }
    }
}

TEST_F(MaskedRunTest, SecondPassReversalFlipsOnlyTheFirstPass) {
    HeadlessControl control(32, 4);
    TestMasked effect;
    effect.Reverse = [](uint16_t, uint16_t sub) { return uint16_t(sub + 10); };
    effect.SetSubStyle(2);
    effect.Total = 3;
    effect.Passes = PassSetting::TwoPasses;
    effect.Pass2Options.Reversed = true;
    Run(effect, control, Noise(32, 4, PixelFormat::Bits32, 5),
        Noise(32, 4, PixelFormat::Bits32, 6));
    EXPECT_EQ(effect.SubStylesSeen, (std::vector<uint16_t>{12, 12, 2, 2}));
}

// Reveals one more row per step; at the last drawn step the whole picture is new.
TEST_F(MaskedRunTest, RowByRowRevealEndsWithTheNewPictureInEveryDisplayFormat) {
    const int width = 37, height = 9;
    const Bitmap a = Noise(width, height, PixelFormat::Bits32, 11);
    const Bitmap b = Noise(width, height, PixelFormat::Bits32, 12);
    for (PixelFormat format : kDisplayFormats) {
        SCOPED_TRACE(int(format));
        DisplayFormat display(format);
        const Bitmap oldLook = ConvertedForDisplay(a, format);
        const Bitmap newLook = ConvertedForDisplay(b, format);

        TestMasked effect;
        effect.Total = height + 1;
        effect.Paint = [&](TestMasked& self, Bitmap& mask, int step, int previous, PassData& data,
                           bool& positive) {
            EXPECT_EQ(mask.Width(), 64);
            EXPECT_EQ(data.WorkBitmap->Width(), 64);
            EXPECT_EQ(data.DstImage->Width(), 64);
            // Drawn as the effects draw, with the raster shapes in white.
            raster::FillRect(mask, {0, previous, mask.Width(), step}, 0xFFFFFF);
            positive = true;
            self.SetDirty({0, previous, data.Width, step});
        };
        bool finished = false;
        effect.OnFinish = [&](PassData& data) {
            // The work bitmap holds the new picture over the full rounded width.
            EXPECT_EQ(*data.WorkBitmap, *data.DstImage);
            finished = true;
        };
        std::vector<Bitmap> frames;
        HeadlessControl control(width, height);
        control.OnFrame = [&](const Bitmap& canvas, const core::Rect&) {
            frames.push_back(canvas);
        };
        Run(effect, control, a, b);
        EXPECT_TRUE(finished);

        // Frame k shows the first k rows new and the rest old; the frame of the last
        // drawn step is already the new picture, before the final copy.
        ASSERT_EQ(frames.size(), size_t(height + 1));
        for (int k = 1; k <= height; ++k)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(frames[size_t(k - 1)].GetIndex(x, y),
                              (y < k ? newLook : oldLook).GetIndex(x, y))
                        << "frame " << k << " pixel " << x << "," << y;
    }
}

}  // namespace
