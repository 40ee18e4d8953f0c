#pragma once

// Helpers the transition tests share: test pictures, headless runs of a whole effect, and
// the display formats the effects must handle.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "raster/Bitmap.h"
#include "transitions/HeadlessControl.h"
#include "transitions/TransitionEffect.h"

namespace transitions::harness {

// Every format a display can have, palette ones first.
inline constexpr raster::PixelFormat kDisplayFormats[] = {
    raster::PixelFormat::Bits4,  raster::PixelFormat::Bits8,  raster::PixelFormat::Bits15,
    raster::PixelFormat::Bits16, raster::PixelFormat::Bits24, raster::PixelFormat::Bits32};

// Colours that differ between the two pictures at every pixel and from pixel to pixel.
inline raster::Bitmap PictureA(int w, int h) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y,
                       raster::MakeRgb(uint8_t(x * 19 + 7), uint8_t(y * 23 + 40),
                                       uint8_t((x * y * 5) & 0x7F)));
    return b;
}

inline raster::Bitmap PictureB(int w, int h) {
    raster::Bitmap b = PictureA(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, b.GetPixel(x, y) ^ 0xFFFFFF);
    return b;
}

inline raster::Bitmap Filled(int w, int h, uint32_t colour) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits32);
    b.Fill(colour);
    return b;
}

// Random bytes throughout, padding included.
inline raster::Bitmap Noise(int w, int h, raster::PixelFormat format, uint32_t seed) {
    std::mt19937 rng(seed);
    raster::Bitmap b(w, h, format);
    for (size_t i = 0; i < b.SizeBytes(); ++i) b.Bits()[i] = uint8_t(rng());
    return b;
}

// A picture as the display of `format` holds it, painted by a control.
inline raster::Bitmap OnDisplay(const raster::Bitmap& picture, raster::PixelFormat format) {
    HeadlessControl control(picture.Width(), picture.Height());
    control.Look = picture;
    raster::Bitmap b = MakeDisplayBitmap(picture.Width(), picture.Height(), format);
    control.PaintInto({0, 0, picture.Width(), picture.Height()}, b);
    return b;
}

// A picture converted to `format` with the display's palette.
inline raster::Bitmap ConvertedForDisplay(const raster::Bitmap& picture,
                                          raster::PixelFormat format) {
    return picture.ConvertTo(format, MakeDisplayBitmap(1, 1, format).Palette());
}

// Whether `effect.Execute()` leaves the effect to unprepare itself, so that a test can
// check that it did.
enum class AfterExecute { Unprepare, LeaveAsIs };

// Prepares `effect` on `control` showing `from` over the control's whole area, switches the
// look to `to`, executes and (unless told not to) unprepares. False where Prepare refuses;
// nothing is executed then. The control's OnFrame sees every flushed frame.
[[nodiscard]] inline bool RunOn(HeadlessControl& control, TransitionEffect& effect,
                                const raster::Bitmap& from, const raster::Bitmap& to,
                                AfterExecute after = AfterExecute::Unprepare) {
    control.Look = from;
    if (!effect.Prepare(control, {0, 0, from.Width(), from.Height()})) return false;
    control.Look = to;
    effect.Execute();
    if (after == AfterExecute::Unprepare) effect.Unprepare();
    return true;
}

// The same on a control of `from`'s size; `onFrame` sees every flushed frame.
[[nodiscard]] inline bool RunHeadless(TransitionEffect& effect, const raster::Bitmap& from,
                                      const raster::Bitmap& to, HeadlessControl::FrameSink onFrame,
                                      AfterExecute after = AfterExecute::Unprepare) {
    HeadlessControl control(from.Width(), from.Height());
    control.OnFrame = std::move(onFrame);
    return RunOn(control, effect, from, to, after);
}

// Every flushed canvas of a headless run from `from` to `to`, the last one the final frame.
inline std::vector<raster::Bitmap> RunFrames(TransitionEffect& effect, const raster::Bitmap& from,
                                             const raster::Bitmap& to,
                                             AfterExecute after = AfterExecute::Unprepare) {
    std::vector<raster::Bitmap> frames;
    EXPECT_TRUE(RunHeadless(
        effect, from, to,
        [&](const raster::Bitmap& canvas, const core::Rect&) { frames.push_back(canvas); }, after));
    return frames;
}

// Every frame shows at each pixel the value of `from` or `to`, and the last one is `to`
// exactly (both in the display's format).
inline ::testing::AssertionResult EachFrameOldOrNewEndingNew(
    const std::vector<raster::Bitmap>& frames, const raster::Bitmap& from,
    const raster::Bitmap& to) {
    for (size_t f = 0; f < frames.size(); ++f)
        for (int y = 0; y < to.Height(); ++y)
            for (int x = 0; x < to.Width(); ++x) {
                const uint32_t v = frames[f].GetIndex(x, y);
                const bool last = f + 1 == frames.size();
                if (last ? v != to.GetIndex(x, y)
                         : v != from.GetIndex(x, y) && v != to.GetIndex(x, y))
                    return ::testing::AssertionFailure()
                           << (last ? "last frame" : "frame ") << (last ? "" : std::to_string(f))
                           << " at " << x << "," << y;
            }
    return ::testing::AssertionSuccess();
}

// Steps 1, 2, 4, 7, 11, ... below `total`: deltas growing from 1.
inline std::vector<int> SkippingSteps(int total) {
    std::vector<int> steps;
    for (int s = 1, delta = 1; s < total; s += delta, ++delta) steps.push_back(s);
    return steps;
}

// An effect that plays a chosen list of steps instead of the paced loop, so that a test can
// skip steps (a step delta above 1) deterministically; without a list it runs as usual. It
// can also be driven step by hand.
template <class Effect>
class Stepped : public Effect {
public:
    void PlaySteps(std::vector<int> steps) {
        m_steps = std::move(steps);
        this->Milliseconds = 1;  // routes the run through PlayTimed
    }

    int Begin(PassData& data) {
        int total = 0;
        this->PrepareSteps(data, total);
        return total;
    }
    void Step(PassData& data, int step, int previous, int total) {
        this->RenderStep(data, step, step - previous, total, previous);
    }
    void End(PassData& data) { this->FinishSteps(data); }

protected:
    void PlayTimed(int totalSteps, PassData& data) override {
        int previous = 0;
        for (int step : m_steps) {
            if (step >= totalSteps) break;
            this->RenderStep(data, step, step - previous, totalSteps, previous);
            previous = step;
            this->PaintFrame(data, false);
        }
        this->ShowFinalFrame(data);
    }

private:
    std::vector<int> m_steps;
};

// Puts the display in `format` for a scope, and back to 32 bits when it ends (also when an
// assertion leaves the test early).
class DisplayFormat {
public:
    explicit DisplayFormat(raster::PixelFormat format) { SetDisplayPixelFormat(format); }
    ~DisplayFormat() { SetDisplayPixelFormat(raster::PixelFormat::Bits32); }
    DisplayFormat(const DisplayFormat&) = delete;
    DisplayFormat& operator=(const DisplayFormat&) = delete;
};

// A fixture whose tests start and end on a 32-bit display.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { SetDisplayPixelFormat(raster::PixelFormat::Bits32); }
    void TearDown() override { SetDisplayPixelFormat(raster::PixelFormat::Bits32); }
};

}  // namespace transitions::harness
