#pragma once

#include <cstdint>

#include "core/Geometry.h"
#include "transitions/MaskedTransition.h"

namespace transitions {

// How the disc of a circle style moves.
enum class CircleMotion : uint8_t { Grows, Shrinks, None };

// The disc of one style and sub-style on a frame: the point it grows from or shrinks to,
// and its reach, the radius that covers the frame, which is also the step count (radius r
// at step r when growing, R - s + 1 at step s when shrinking).
struct CircleFigure {
    core::Point Centre;
    CircleMotion Motion = CircleMotion::None;
    int Reach = 0;
};

// Style 1: the centre (sub-style 1 grows, 2 shrinks); style 2: the corners top-left,
// bottom-right, bottom-left, top-right (1-4 grow, 5-8 shrink at the same points); style 3:
// the middles of the left, right, top and bottom sides (likewise). A sub-style outside the
// table of styles 1 and 2 keeps the reach but paints nothing; any other unknown pick has a
// reach of 0.
CircleFigure CircleFigureFor(uint16_t style, uint16_t subStyle, int width, int height);

// Reveals the new picture inside a disc growing from a point, or hides the old picture
// inside a disc shrinking toward it. The mask accumulates, so each step composes only the
// ring of pixels that changed.
class CircleTransition : public MaskedTransition {
public:
    CircleTransition();

    const char* ClassName() const override { return "CircleTransition"; }
    std::string GetDescription() const override { return "Circle"; }
    bool AccumulatesMask() const override { return true; }
    uint16_t SubStyleCount(uint16_t style) const override;
    // A growing disc becomes the shrinking disc at the same point, and back.
    uint16_t ReverseSubStyle(uint16_t style, uint16_t subStyle) const override;

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void PaintMask(raster::Bitmap& mask, int step, int stepDelta, int totalSteps, int previousStep,
                   PassData& data, bool& positive) override;

private:
    CircleFigure m_figure;
    // The previous step's disc box, clipped to the frame.
    core::Rect m_prevBounds;
    // Shrinking: the rectangle the next step reports as changed.
    core::Rect m_nextDirty;
};

}  // namespace transitions
