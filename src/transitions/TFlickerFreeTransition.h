#pragma once

#include "transitions/TTransitionEffect.h"

namespace transitions {

// Replaces the old look with the new one in a single copy.
class TFlickerFreeTransition : public TTransitionEffect {
public:
    const char* ClassName() const override { return "TFlickerFreeTransition"; }
    raster::PixelFormat GetPixelFormat() const override { return raster::PixelFormat::Device; }
    bool NeedsOldImage() const override { return false; }
    std::string GetDescription() const override { return "Flicker free cut"; }

protected:
    void ExecuteTransition(TTETransitionData& data) override { ShowFinalFrame(data); }
};

}  // namespace transitions
