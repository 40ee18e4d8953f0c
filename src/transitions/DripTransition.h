#pragma once

#include <cstdint>
#include <vector>

#include "transitions/TimedTransitionEffect.h"

namespace transitions {

// Uncovers the new image line by line from one edge, while the rest of the frame shows
// the new image's current edge line drawn out to the far side.
class DripTransition : public TimedTransitionEffect {
public:
    DripTransition();

    const char* ClassName() const override { return "DripTransition"; }
    bool SetProperty(std::string_view name, const PropertyValue& value) override;
    bool NeedsOldImage() const override { return false; }
    bool NeedsWorkBitmap() const override;
    bool UsesFirstPass() const override { return false; }
    std::string GetDescription() const override { return "Drip"; }

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    void FinishSteps(PassData& data) override;

private:
    // Rows of the work bitmap and of the new image, top row first (vertical drips only).
    std::vector<uint8_t*> m_workRows;
    std::vector<const uint8_t*> m_newRows;
    core::Rect m_band;  // the lines uncovered by the current step
    core::Rect m_rest;  // the part of the frame not yet uncovered
};

}  // namespace transitions
