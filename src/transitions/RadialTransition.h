#pragma once

#include <cstdint>

#include "transitions/MaskedTransition.h"
#include "transitions/RadialSweep.h"

namespace transitions {

// Reveals the new picture behind one or more blades rotating like the hands of a clock:
// each step fills the wedge a blade swept since the previous frame. The mask is cleared
// after every step, so each frame composes only the newly swept wedge.
//
// Style 1: one blade from the centre (sub-styles 1, 3, 5, 7 start at 12, 3, 6 and 9
// o'clock and turn clockwise; the even ones turn the other way). Style 2: two blades from
// the centre, style 3: four. Style 4: one blade pivoting on the middle of a side, style 5:
// two; style 6: one blade pivoting on a corner, style 7: two.
class RadialTransition : public MaskedTransition {
public:
    RadialTransition();

    const char* ClassName() const override { return "RadialTransition"; }
    std::string GetDescription() const override { return "Radial"; }
    bool ClearsMaskAfterStep() const override { return true; }
    uint16_t SubStyleCount(uint16_t style) const override;
    // The sub-style that sweeps the same figure the other way round.
    uint16_t ReverseSubStyle(uint16_t style, uint16_t subStyle) const override;

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void PaintMask(raster::Bitmap& mask, int step, int stepDelta, int totalSteps, int previousStep,
                   PassData& data, bool& positive) override;

private:
    RadialSweep m_sweep{1, 1, 1, 1};
};

}  // namespace transitions
