#pragma once

#include <memory>

#include "core/Geometry.h"
#include "raster/Bitmap.h"
#include "settings/ColorText.h"

namespace transitions {

// The window an effect animates in, laid over the transition rectangle. Its canvas is
// a bitmap of the rectangle's size in the display's format that starts as the old look;
// effects that draw "straight on the render window" draw there.
class TTERenderWindow {
public:
    virtual ~TTERenderWindow() = default;

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
    virtual settings::ColorValue Colour() const = 0;
    // A render window over `rect`, shown without activation; it starts showing the old look.
    virtual std::unique_ptr<TTERenderWindow> CreateRenderWindow(const core::Rect& rect) = 0;
};

// The display's pixel format, as the engine makes its bitmaps. The application probes the
// real display once at start; headless runs may choose any format.
raster::PixelFormat DisplayPixelFormat();
void SetDisplayPixelFormat(raster::PixelFormat format);
// The display has more than 8 bits per pixel.
bool DisplayIsHighColour();
// Bits per pixel of the display (8 for format 3, 16 for formats 4 and 5, ...).
int DisplayBitsPerPixel();

// A bitmap of the given size in `format` (the display's format for Device), with the
// default palette for the palette formats.
raster::Bitmap MakeDisplayBitmap(int width, int height, raster::PixelFormat format);

}  // namespace transitions

namespace transitions {

// Copies a w x h block between bitmaps of the same pixel format, clipped to both.
void CopyPixels(raster::Bitmap& dst, int dx, int dy, int w, int h, const raster::Bitmap& src,
                int sx, int sy);

}  // namespace transitions
