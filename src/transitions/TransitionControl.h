#pragma once

#include <memory>

#include "core/Geometry.h"
#include "raster/Bitmap.h"
#include "raster/ColorValue.h"
#include "transitions/RenderWindow.h"

namespace transitions {

// What the engine needs of the control whose look it animates.
class TransitionControl {
public:
    virtual ~TransitionControl() = default;

    virtual bool IsVisible() const = 0;
    // The control holding this one, or none.
    virtual TransitionControl* ParentControl() const = 0;
    // Top-left of this control in its parent's client coordinates.
    virtual core::Point Position() const = 0;
    // Finishes any pending painting.
    virtual void Update() = 0;
    // The rectangle, in client coordinates, reaches outside the screen or is overlapped
    // by other windows, so the screen does not show the control's look there.
    virtual bool IsCovered(const core::Rect& rect) const = 0;
    // The screen's pixels at `rect` (client coordinates) into `target`, which has the
    // wanted size and format.
    virtual void CopyScreen(const core::Rect& rect, raster::Bitmap& target) = 0;
    // The control and its visible children paint themselves into `target`; render
    // windows are never painted.
    virtual void PaintInto(const core::Rect& rect, raster::Bitmap& target) = 0;
    // The control's own background colour.
    virtual raster::ColorValue Colour() const = 0;
    // A render window over `rect`, shown without activation; it starts showing the old look.
    virtual std::unique_ptr<RenderWindow> CreateRenderWindow(const core::Rect& rect) = 0;
};

}  // namespace transitions
