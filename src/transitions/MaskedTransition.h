#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "transitions/TimedTransitionEffect.h"

namespace transitions {

// The common base of the effects that reveal the new picture through a growing one-bit
// mask (blocks, circle, radial). A subclass paints shapes into the mask for each step
// (PaintMask); this class owns the masks, the choice of style and sub-style (fixed or
// random per run), the sub-style mapping of reversed runs and the composition of the new
// picture into the work bitmap through the mask.
//
// For subclasses:
// - Set the number of styles in the constructor (SetStyleCount) and override
//   SubStyleCount, ReverseSubStyle, AccumulatesMask and ClearsMaskAfterStep as needed.
// - Override PrepareSteps: call this class's PrepareSteps first (it makes the masks), then
//   fix the geometry and answer the step count. A style or sub-style the class does not
//   know should paint nothing; a step count of 0 abandons the run silently.
// - Draw with ActualStyle() and ActualSubStyle(); both are cheap and stable within a run.
// - Implement PaintMask (contract below).
//
// Every picture bitmap of a masked effect is widened to a multiple of 32 pixels
// (GetBitmapWidth), so mask words and picture rows line up without a remainder.
class MaskedTransition : public TimedTransitionEffect {
public:
    // 0 = a style drawn at random for each run; 1 and up = that style. Setting a new value
    // resets SubStyle to 1 (to 0 for Style 0); setting the current value changes nothing.
    // No range check: a style the subclass does not know paints nothing.
    uint16_t Style() const { return m_style; }
    void SetStyle(uint16_t value);
    // 0 = drawn at random for each run; 1 and up = that sub-style. No range check.
    uint16_t SubStyle() const { return m_subStyle; }
    void SetSubStyle(uint16_t value);
    // The number of styles the subclass offers: the range of a random style.
    uint16_t StyleCount() const { return m_styleCount; }

    // The style in use: Style, or the run's random pick (drawn on first use).
    uint16_t ActualStyle();
    // The sub-style in use: SubStyle or the run's random pick (drawn on first use), passed
    // through ReverseSubStyle when the run is reversed (ActualReversed).
    uint16_t ActualSubStyle();

    // The sub-style that draws the same figure backwards; by default the sub-style itself.
    virtual uint16_t ReverseSubStyle(uint16_t style, uint16_t subStyle) const;
    // True to keep m_accumulatedMask, so that each step composes only newly set pixels.
    virtual bool AccumulatesMask() const { return false; }
    // True to clear the mask to all zero after each composed step.
    virtual bool ClearsMaskAfterStep() const { return false; }
    // The number of sub-styles of `style` (the range of a random sub-style); 0 for style 0.
    virtual uint16_t SubStyleCount(uint16_t style) const { return style != 0 ? 1 : 0; }

    // Copies Style, then SubStyle, from another masked effect after the base assignment.
    void Assign(const TransitionEffect& source) override;
    // Adds "Style", "SubStyle" (0 to 65535) and "Reversed", which every masked effect
    // publishes.
    bool SetProperty(std::string_view name, const PropertyValue& value) override;

    // Rounded up to a multiple of 32 pixels; 0 gives 32.
    int GetBitmapWidth(int width) const override;
    bool PaintsOldImage() const override { return false; }
    bool NeedsWorkBitmap() const override { return true; }
    // The old image is the work bitmap, so the composition works in place.
    bool WorkOnOldImage() const override { return true; }

protected:
    // Reseeds core::ProgramRandom() from the clock, makes Mask (and m_accumulatedMask when
    // AccumulatesMask) cleared to zero, and copies the source image into the work bitmap.
    // Subclasses call this first, then answer the step count.
    void PrepareSteps(PassData& data, int& totalSteps) override;
    // Paints the mask and composes the rows of m_dirtyRect.
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    // Frees the masks; forgets the random picks once the whole transition is over.
    void FinishSteps(PassData& data) override;

    // Paints step `step` into `mask`.
    //
    // - `mask` is 1 bit per pixel, as wide as the frame rounded up to a multiple of 32 and
    //   as high as the frame; row y pairs with row y of the pictures, and the most
    //   significant bit of each byte is the leftmost pixel. Its palette is black and white:
    //   draw the raster shapes (raster/Shapes.h) in white, 0xFFFFFF, to set bits.
    // - The mask keeps its bits from the previous step unless the class clears it, but as
    //   the framework left them: inverted when the previous step was not positive, and
    //   reduced to the newly set bits when AccumulatesMask is true (m_accumulatedMask then
    //   holds the union of everything composed so far); all zero after ClearsMaskAfterStep.
    // - `step` is the step to show and `previousStep` the one shown by the last frame (0 at
    //   the start); `stepDelta` = step - previousStep. Paint every step in
    //   (previousStep, step], not only the last. `totalSteps` is PrepareSteps' answer.
    // - Set `positive` (it arrives false): true when set bits mark pixels that show the new
    //   picture, false when they mark pixels still showing the old one (the framework then
    //   inverts the whole mask before composing).
    // - Set m_dirtyRect to the part of the frame this step changed. It arrives as the whole
    //   frame; it is clipped to the frame, and its rows (over the full mask width) are
    //   composed. m_dirtyHoleRect may name an inner rectangle already final on screen, which
    //   the frame copy skips.
    // - When m_drawOffscreen is false, draw straight onto the render window's canvas
    //   (data.Window->Canvas()) instead; nothing is composed for that step.
    virtual void PaintMask(raster::Bitmap& mask, int step, int stepDelta, int totalSteps,
                           int previousStep, PassData& data, bool& positive) = 0;

    // For constructors: the number of styles the class offers.
    void SetStyleCount(uint16_t count) { m_styleCount = count; }

    // The current step's mask; exists only between PrepareSteps and FinishSteps.
    std::unique_ptr<raster::Bitmap> m_mask;
    // The union of all mask bits composed so far; only while running, and only when
    // AccumulatesMask answers true.
    std::unique_ptr<raster::Bitmap> m_accumulatedMask;
    // The picks of a run whose Style or SubStyle is 0; 0 = not drawn yet.
    uint16_t m_randomStyle = 0;
    uint16_t m_randomSubStyle = 0;

private:
    // True when the pass now ending is the last one of the transition.
    bool TransitionEnds() const;

    uint16_t m_style = 1;
    uint16_t m_subStyle = 1;
    uint16_t m_styleCount = 1;
};

}  // namespace transitions
