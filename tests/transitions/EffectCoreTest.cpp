#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "transitions/EffectTable.h"
#include "transitions/HeadlessSurface.h"
#include "transitions/TFlickerFreeTransition.h"
#include "transitions/TTimedTransitionEffect.h"
#include "transitions/TimeSource.h"

namespace {

using namespace transitions;

// A timed effect that draws nothing and records the steps it was asked for.
class StepRecorder : public TTimedTransitionEffect {
public:
    explicit StepRecorder(int total) : m_total(total) {}
    const char* ClassName() const override { return "StepRecorder"; }
    bool NeedsOldImage() const override { return false; }

    std::vector<int> Steps;
    std::vector<int> Deltas;
    int Finished = 0;
    bool ThrowAtStep3 = false;

protected:
    void PrepareSteps(TTETransitionData&, int& total) override { total = m_total; }
    void RenderStep(TTETransitionData& data, int step, int delta, int total,
                    int previous) override {
        TTimedTransitionEffect::RenderStep(data, step, delta, total, previous);
        EXPECT_EQ(delta, step - previous);
        EXPECT_LT(step, total);
        Steps.push_back(step);
        Deltas.push_back(delta);
        if (ThrowAtStep3 && step == 3) throw std::runtime_error("step failed");
    }
    void FinishSteps(TTETransitionData&) override { ++Finished; }

private:
    int m_total;
};

raster::Bitmap Filled(int w, int h, raster::Rgb colour) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits32);
    b.Fill(colour);
    return b;
}

class EffectCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDisplayPixelFormat(raster::PixelFormat::Bits32);
        m_control.Look = Filled(64, 48, 0x112233);
    }
    // Prepare on the old look, switch to the new look, Execute, Unprepare.
    void Run(TTransitionEffect& effect, raster::Rgb newColour = 0xA0B0C0) {
        ASSERT_TRUE(effect.Prepare(m_control, {0, 0, 64, 48}));
        m_control.Look = Filled(64, 48, newColour);
        effect.Execute();
        effect.Unprepare();
    }
    HeadlessControl m_control{64, 48};
};

TEST_F(EffectCoreTest, EventsFireInOrderAndTheLastFrameIsTheNewLook) {
    StepRecorder effect(10);
    std::string order;
    effect.OnBeforeTransition = [&](TTransitionEffect&) { order += "B"; };
    effect.OnStartTransition = [&](TTransitionEffect&) { order += "S"; };
    effect.OnEndTransition = [&](TTransitionEffect&) { order += "E"; };
    effect.OnAfterTransition = [&](TTransitionEffect&) { order += "A"; };
    raster::Bitmap last;
    m_control.OnFrame = [&](const raster::Bitmap& canvas, const core::Rect&) { last = canvas; };
    Run(effect);
    EXPECT_EQ(order, "BSEA");
    // Untimed: every step but the last, each followed by a frame, then the final copy.
    EXPECT_EQ(effect.Steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(m_control.FramesFlushed(), 10);
    EXPECT_EQ(effect.Finished, 1);
    EXPECT_EQ(last, Filled(64, 48, 0xA0B0C0));
    EXPECT_FALSE(effect.Prepared());
    EXPECT_FALSE(TTransitionEffect::AnyPrepared());
}

TEST_F(EffectCoreTest, OnlyOneEffectIsPreparedAtATime) {
    TFlickerFreeTransition a, b;
    ASSERT_TRUE(a.Prepare(m_control, {0, 0, 64, 48}));
    EXPECT_FALSE(b.Prepare(m_control, {0, 0, 64, 48}));
    EXPECT_FALSE(b.Prepared());
    // Preparing the prepared effect again starts over.
    EXPECT_TRUE(a.Prepare(m_control, {0, 0, 64, 48}));
    a.Unprepare();
    a.Unprepare();
    EXPECT_TRUE(b.Prepare(m_control, {0, 0, 64, 48}));
    b.Unprepare();
}

TEST_F(EffectCoreTest, ExecuteWithoutPrepareFiresOnlyTheOuterEvents) {
    StepRecorder effect(5);
    std::string order;
    effect.OnBeforeTransition = [&](TTransitionEffect&) { order += "B"; };
    effect.OnStartTransition = [&](TTransitionEffect&) { order += "S"; };
    effect.OnAfterTransition = [&](TTransitionEffect&) { order += "A"; };
    effect.Execute();
    EXPECT_EQ(order, "BA");
    EXPECT_TRUE(effect.Steps.empty());
}

TEST_F(EffectCoreTest, DisabledEffectsDoNotPrepareUnlessFlickerFree) {
    StepRecorder effect(5);
    effect.SetEnabled(false);
    EXPECT_FALSE(effect.Prepare(m_control, {0, 0, 64, 48}));
    effect.FlickerFreeWhenDisabled = true;
    raster::Bitmap last;
    m_control.OnFrame = [&](const raster::Bitmap& canvas, const core::Rect&) { last = canvas; };
    Run(effect);
    EXPECT_TRUE(effect.Steps.empty());  // one copy, no steps
    EXPECT_EQ(last, Filled(64, 48, 0xA0B0C0));
}

TEST_F(EffectCoreTest, InvisibleControlsHandTheRectangleToTheirParent) {
    HeadlessControl child(10, 10);
    child.Visible = false;
    child.Parent = &m_control;
    child.Offset = {5, 7};
    TFlickerFreeTransition effect;
    EXPECT_TRUE(effect.Prepare(child, {0, 0, 10, 10}));
    effect.Unprepare();
    child.Parent = nullptr;
    EXPECT_FALSE(effect.Prepare(child, {0, 0, 10, 10}));
}

TEST_F(EffectCoreTest, NoStepsIsASilentAbortAndErrorsStillCleanUp) {
    StepRecorder none(0);
    int after = 0;
    none.OnAfterTransition = [&](TTransitionEffect&) { ++after; };
    EXPECT_NO_THROW(Run(none));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(none.Finished, 1);

    StepRecorder failing(10);
    failing.ThrowAtStep3 = true;
    failing.OnAfterTransition = [&](TTransitionEffect&) { ++after; };
    ASSERT_TRUE(failing.Prepare(m_control, {0, 0, 64, 48}));
    EXPECT_THROW(failing.Execute(), std::runtime_error);
    EXPECT_EQ(after, 2);
    EXPECT_EQ(failing.Finished, 1);
    EXPECT_FALSE(TTransitionEffect::AnyPrepared());
}

TEST_F(EffectCoreTest, DirectionsOutsideTheAllowedSetAreIgnored) {
    StepRecorder effect(1);
    effect.SetDirection(TTEEffectDirection::tedDown);
    EXPECT_EQ(effect.Direction(), TTEEffectDirection::tedNone);
    EXPECT_EQ(effect.Version(), "Version 2.6");
    EXPECT_EQ(effect.OppositeDirection(TTEEffectDirection::tedDownLeft),
              TTEEffectDirection::tedUpRight);
    EXPECT_EQ(effect.OppositeDirection(TTEEffectDirection::tedIn), TTEEffectDirection::tedOut);
}

// The paced loop on a clock that moves only when the loop waits or a frame is shown, so
// the step counts below are exact.
TEST_F(EffectCoreTest, PacedRunsFillTheirDurationAndSkipStepsWhenFramesAreSlow) {
    struct Case {
        double frameCostMs;
        size_t steps;     // steps drawn, the final frame not counted
        bool skipsSteps;  // some increment above one
    } cases[] = {
        // Free frames: every step of 1..659 is drawn, each after a wait of 300/660 ms.
        {0.0, 659, false},
        // 5 ms frames: 300 / 5 of them fit, 59 steps and the final frame, so most steps
        // are skipped.
        {5.0, 59, true},
        // A frame dearer than the whole duration: one frame, then the final copy.
        {400.0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameCostMs);
        ManualTimeSource clock;
        StepRecorder effect(660);
        effect.Milliseconds = 300;
        effect.SetTimeSource(clock);
        m_control.OnFrame = [&](const raster::Bitmap&, const core::Rect&) {
            clock.Advance(c.frameCostMs);
        };
        Run(effect);
        EXPECT_EQ(effect.Steps.size(), c.steps);
        ASSERT_FALSE(effect.Steps.empty());
        EXPECT_LT(effect.Steps.back(), 660);
        EXPECT_EQ(*std::max_element(effect.Deltas.begin(), effect.Deltas.end()) > 1, c.skipsSteps);
        // The run lasts its duration, give or take one frame, however dear frames are.
        EXPECT_NEAR(clock.NowMs(), std::max(300.0, c.frameCostMs), c.frameCostMs + 1.0);
    }
}

TEST_F(EffectCoreTest, EscapeAbortsAtTheFirstPollAfter300Milliseconds) {
    ManualTimeSource clock;
    StepRecorder effect(100000);
    effect.Milliseconds = 5000;  // 0.05 ms a step
    effect.AbortOnEscape = true;
    effect.SetTimeSource(clock);
    m_control.PendingEscapes = 1;
    raster::Bitmap last;
    double abortedAt = -1;
    m_control.OnFrame = [&](const raster::Bitmap& canvas, const core::Rect&) {
        last = canvas;
        if (effect.Aborted() && abortedAt < 0) abortedAt = clock.NowMs();
    };
    Run(effect);
    EXPECT_EQ(m_control.PendingEscapes, 0);
    EXPECT_TRUE(effect.Aborted());
    EXPECT_GT(abortedAt, 300.0);
    EXPECT_LT(abortedAt, 300.2);                // the poll right after 300 ms, a few steps at most
    EXPECT_EQ(last, Filled(64, 48, 0xA0B0C0));  // the pass still ends with the new look
}

// Captures the colour of the old image the pass starts from.
class OldImageProbe : public TTimedTransitionEffect {
public:
    const char* ClassName() const override { return "OldImageProbe"; }
    bool NeedsWorkBitmap() const override { return true; }
    raster::Rgb SeenOld = 0;

protected:
    void PrepareSteps(TTETransitionData& data, int& total) override {
        SeenOld = data.SrcImage->GetPixel(3, 3);
        total = 2;
    }
};

TEST_F(EffectCoreTest, EightBitSinglePassCapturesTheOldLookAtExecute) {
    // On an 8-bit display a single pass copies the screen only when Execute starts; the
    // render window still covers the control then, so the copy is the old look.
    SetDisplayPixelFormat(raster::PixelFormat::Bits8);
    m_control.Look = Filled(64, 48, 0xFF0000);
    OldImageProbe effect;
    Run(effect, 0x0000FF);
    EXPECT_EQ(effect.SeenOld, 0xFF0000u);
    SetDisplayPixelFormat(raster::PixelFormat::Bits32);
}

TEST(EffectTable, ShowTableHoldsTwentyTwoEffectsAndTheChooserAbortsOnEscape) {
    const auto& table = ShowEffectTable();
    ASSERT_EQ(table.size(), 22u);
    EXPECT_EQ(table[0].Name, "SlowAlpha");
    EXPECT_EQ(table[11].Name, "WipeDown");
    EXPECT_EQ(table[21].ClassName, "TFlickerFreeTransition");
    EXPECT_EQ(FindShowEffect("WipeDown"), 11);
    EXPECT_EQ(FindShowEffect("11"), 11);
    EXPECT_EQ(FindShowEffect("22"), -1);
    EXPECT_EQ(FindShowEffect("Nope"), -1);
    for (const auto& e : ChooserEffectTable()) {
        ASSERT_FALSE(e.Properties.empty());
        EXPECT_EQ(e.Properties.back().Name, "AbortOnEscape");
    }
    RegisterAllEffectClasses();
    TTransitionList list;
    LoadEffectList(list, ChooserEffectTable());
    ASSERT_EQ(list.Count(), 22);
    ASSERT_NE(list.Transitions(21), nullptr);
    EXPECT_TRUE(list.Transitions(21)->AbortOnEscape);
    EXPECT_EQ(list.Transitions(21)->Name, "Transition1");
    EXPECT_EQ(list.Transitions(21)->List(), &list);
}

}  // namespace
