#pragma once

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace transitions {

// The window an effect animates in, laid over the transition rectangle. Its canvas is
// a bitmap of the rectangle's size in the display's format that starts as the old look;
// effects that draw "straight on the render window" draw there.
class RenderWindow {
public:
    virtual ~RenderWindow() = default;

    virtual raster::Bitmap& Canvas() = 0;
    // Puts `area` of the canvas on screen now, without returning to the event loop.
    virtual void Flush(const core::Rect& area) = 0;
    virtual void Hide() = 0;

    // Abort polling. A left button press on this window waiting to be handled: removed
    // and answered true.
    virtual bool TakeLeftButtonDown() = 0;
    // Waiting key presses are removed one by one until an Escape is found (true) or none
    // is left; the other presses removed are lost.
    virtual bool TakeEscapeKey() = 0;
};

}  // namespace transitions
