#pragma once

#include <functional>

#include "transitions/TransitionControl.h"

namespace transitions {

// A control without a display: its look is a bitmap the caller sets, the "screen" shows
// that look, and render windows draw into memory. Every flushed frame can be observed.
class HeadlessRenderWindow;

class HeadlessControl : public TransitionControl {
public:
    using FrameSink = std::function<void(const raster::Bitmap& canvas, const core::Rect& area)>;

    HeadlessControl(int width, int height);

    // What the control paints now (any format; converted when captured).
    raster::Bitmap Look;
    raster::ColorValue BackgroundColour = raster::kClBlack;
    bool Visible = true;
    HeadlessControl* Parent = nullptr;
    core::Point Offset;
    // Called on every flush of a render window made by this control.
    FrameSink OnFrame;
    // Abort input waiting for the next poll.
    int PendingClicks = 0;
    int PendingEscapes = 0;

    int FramesFlushed() const { return m_frames; }
    void ResetFrameCount() { m_frames = 0; }

    bool IsVisible() const override { return Visible; }
    TransitionControl* ParentControl() const override { return Parent; }
    core::Point Position() const override { return Offset; }
    void Update() override {}
    bool IsCovered(const core::Rect& rect) const override;
    // The screen shows the render window where one is laid over the control, else the look.
    void CopyScreen(const core::Rect& rect, raster::Bitmap& target) override;
    void PaintInto(const core::Rect& rect, raster::Bitmap& target) override;
    raster::ColorValue Colour() const override { return BackgroundColour; }
    std::unique_ptr<RenderWindow> CreateRenderWindow(const core::Rect& rect) override;

private:
    friend class HeadlessRenderWindow;
    int m_frames = 0;
    HeadlessRenderWindow* m_window = nullptr;
    core::Rect m_windowRect;
};

}  // namespace transitions
