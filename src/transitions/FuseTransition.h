#pragma once

#include <cstdint>
#include <memory>

#include "transitions/TimedTransitionEffect.h"

namespace transitions {

// Fuses the new picture into the old one through a repeating 8 x 8 pattern: at every step
// some pattern cells turn, and each 8 x 8 tile of the frame shows the new picture at the
// turned cells and the old one elsewhere. The cells turn by an ordered dither, by rows or
// columns, by a growing or shrinking square, by a spiral or by diagonals.
//
// Styles (a reversed run plays 2..13 as their partners 3, 2, 5, 4, ...; 1 stays):
//   1 dither (64 steps); 2 rows from the top, 3 from the bottom; 4 columns from the left,
//   5 from the right; 6 a square growing from the top-left cell, 7 shrinking into it;
//   8 a spiral from the centre, 9 from the corner inward (64 steps); 10, 11 diagonals
//   x - y, forward and backward; 12, 13 diagonals x + y, forward and backward.
class FuseTransition : public TimedTransitionEffect {
public:
    static constexpr uint16_t kStyleCount = 13;

    FuseTransition();
    ~FuseTransition() override;

    const char* ClassName() const override { return "FuseTransition"; }

    // 0 = a style drawn at random for each run; 1 to 13 = that style. No range check: a
    // style the class does not know has no steps, so its run ends at once with the new
    // picture.
    uint16_t Style() const { return m_style; }
    void SetStyle(uint16_t value) { m_style = value; }
    uint16_t StyleCount() const { return kStyleCount; }

    // The style in use: Style, or the run's random pick (drawn on first use), mapped to its
    // partner when the run is reversed (ActualReversed).
    uint16_t ActualStyle();

    bool PaintsOldImage() const override { return false; }
    bool NeedsWorkBitmap() const override { return true; }
    bool WorkOnOldImage() const override { return true; }
    std::string GetDescription() const override { return "Fuse"; }

    // Copies Style from another fuse after the base assignment.
    void Assign(const TransitionEffect& source) override;
    // Adds "Style" (0 to 65535) and "Reversed".
    bool SetProperty(std::string_view name, const PropertyValue& value) override;

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    void FinishSteps(PassData& data) override;

private:
    uint16_t m_style = 1;
    // The pick of a run whose Style is 0; 0 = not drawn yet.
    uint16_t m_randomStyle = 0;
    // The style the running pass plays (reversal applied).
    uint16_t m_runStyle = 0;
    // The 8 x 8 monochrome brush (black = new picture); from PrepareSteps to FinishSteps.
    std::unique_ptr<raster::Bitmap> m_pattern;
};

}  // namespace transitions
