#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "transitions/TimedTransitionEffect.h"

namespace transitions {

// Cross-fades from the old image to the new one: 64 levels of weight (16 on 15- and
// 16-bit displays) by fixed-point arithmetic on whole words of pixel memory, or by an
// ordered 8 x 8 dither on displays of 8 bits per pixel or fewer.
class BlendTransition : public TimedTransitionEffect {
public:
    BlendTransition();
    ~BlendTransition() override;

    const char* ClassName() const override { return "BlendTransition"; }
    bool PaintsOldImage() const override { return false; }
    bool NeedsWorkBitmap() const override { return true; }
    bool WorkOnOldImage() const override { return !DisplayIsHighColour(); }
    std::string GetDescription() const override { return "Alpha blend"; }

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    void FinishSteps(PassData& data) override;

private:
    // The 8 x 8 monochrome dither pattern; only during a pass on a palette display.
    std::unique_ptr<raster::Bitmap> m_pattern;
};

// Composes blend level `level` (the new image weighs level/64) into `work`, word by word:
// where the old and new words differ the work word gets the level's fixed-point mix of
// them, elsewhere it is left as it is. Levels run 1 to 63; the 15- and 16-bit formats
// only have the multiples of 4. The three blocks hold `words` 32-bit words each.
void ComposeBlendLevel(uint32_t* work, const uint32_t* src, const uint32_t* dst, size_t words,
                       int level, raster::PixelFormat format);

// The same over whole bitmaps of one size and format (15, 16, 24 or 32 bits), padding
// at row ends included.
void ComposeBlendLevel(raster::Bitmap& work, const raster::Bitmap& src, const raster::Bitmap& dst,
                       int level);

}  // namespace transitions
