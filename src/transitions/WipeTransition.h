#pragma once

#include <memory>

#include "transitions/TimedTransitionEffect.h"

namespace transitions {

// Uncovers the new picture with a straight edge that sweeps in from a side, a corner, the
// border or the centre. Side wipes can lead the edge with a soft band in which the new
// picture is dithered into the old one through a fixed random mask.
class WipeTransition : public TimedTransitionEffect {
public:
    WipeTransition();
    ~WipeTransition() override;

    const char* ClassName() const override { return "WipeTransition"; }

    // The stored band width while the direction in use is a side direction, else 0.
    int32_t BandWidth() const;
    // Stored as given; a negative width counts as no band.
    void SetBandWidth(int32_t width) { m_bandWidth = width; }

    bool NeedsOldImage() const override { return BandWidthInUse() > 0; }
    bool NeedsWorkBitmap() const override { return NeedsOldImage(); }
    bool PaintsOldImage() const override { return false; }
    std::string GetDescription() const override { return "Wipe"; }

    void Assign(const TransitionEffect& source) override;
    bool SetProperty(std::string_view name, const PropertyValue& value) override;

    // The band mask kept from the last run with a band (black = new picture), or none.
    const raster::Bitmap* BandMask() const { return m_bandMask.get(); }

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    void FinishSteps(PassData& data) override;

private:
    int BandWidthInUse() const;
    void BuildBandMaskIfNeeded(int width, int height, Direction direction);
    void StepSide(PassData& data, Direction direction, int delta);
    void ComposeBand(PassData& data);
    void StepCorner(PassData& data, Direction direction, int step, int total);
    void StepInOut(PassData& data, Direction direction, int step, int total);
    // Copies the new picture onto DrawCanvas over `r` and marks it dirty.
    void Reveal(PassData& data, const core::Rect& r);

    int32_t m_bandWidth = 50;
    int m_bandInUse = 0;  // the band width of the running pass
    Direction m_maskDirection = Direction::Right;
    std::unique_ptr<raster::Bitmap> m_bandMask;            // kept between runs
    std::unique_ptr<raster::Bitmap> m_oldBand, m_newBand;  // from PrepareSteps to FinishSteps
    std::unique_ptr<raster::Bitmap> m_expandedMask;        // the band mask in the frame's format
    core::Rect m_reveal;
    core::Rect m_band;
    core::Point m_maskOffset;
};

}  // namespace transitions
