#pragma once

#include "transitions/TransitionEffect.h"

namespace transitions {

// Replaces the old look with the new one in a single copy.
class FlickerFreeTransition : public TransitionEffect {
public:
    const char* ClassName() const override { return "FlickerFreeTransition"; }
    raster::PixelFormat GetPixelFormat() const override { return raster::PixelFormat::Device; }
    bool NeedsOldImage() const override { return false; }
    std::string GetDescription() const override { return "Flicker free cut"; }

protected:
    void ExecuteTransition(PassData& data) override { ShowFinalFrame(data); }
};

}  // namespace transitions
