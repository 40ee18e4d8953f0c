#include "transitions/HeadlessControl.h"

#include "raster/Blit.h"
#include "transitions/DisplayFormat.h"

namespace transitions {

class HeadlessRenderWindow : public RenderWindow {
public:
    HeadlessRenderWindow(HeadlessControl& owner, raster::Bitmap canvas)
        : m_owner(owner), m_canvas(std::move(canvas)) {
        m_owner.m_window = this;
    }
    ~HeadlessRenderWindow() override {
        if (m_owner.m_window == this) m_owner.m_window = nullptr;
    }

    raster::Bitmap& Canvas() override { return m_canvas; }
    void Flush(const core::Rect& area) override {
        ++m_owner.m_frames;
        if (m_owner.OnFrame) m_owner.OnFrame(m_canvas, area);
    }
    void Hide() override {}
    bool TakeLeftButtonDown() override {
        if (m_owner.PendingClicks == 0) return false;
        --m_owner.PendingClicks;
        return true;
    }
    bool TakeEscapeKey() override {
        if (m_owner.PendingEscapes == 0) return false;
        --m_owner.PendingEscapes;
        return true;
    }

private:
    HeadlessControl& m_owner;
    raster::Bitmap m_canvas;
};

HeadlessControl::HeadlessControl(int width, int height)
    : Look(width, height, raster::PixelFormat::Bits32) {}

bool HeadlessControl::IsCovered(const core::Rect& rect) const {
    return rect.Left < 0 || rect.Top < 0 || rect.Right > Look.Width() ||
           rect.Bottom > Look.Height();
}

void HeadlessControl::PaintInto(const core::Rect& rect, raster::Bitmap& target) {
    // The look in the target's format (converted only when it differs), then the
    // rectangle copied out of it.
    core::Rect inside = rect.Intersected({0, 0, Look.Width(), Look.Height()});
    if (inside.IsEmpty()) return;
    bool same = Look.Format() == target.Format() &&
                (Look.Palette().empty() || Look.Palette() == target.Palette());
    raster::Bitmap converted;
    if (!same) converted = Look.ConvertTo(target.Format(), target.Palette());
    raster::CopyBlock(target, inside.Left - rect.Left, inside.Top - rect.Top, inside.Width(),
                      inside.Height(), same ? Look : converted, inside.Left, inside.Top);
}

void HeadlessControl::CopyScreen(const core::Rect& rect, raster::Bitmap& target) {
    // Only what the render window leaves uncovered needs the control's own look.
    if (!m_window || m_windowRect.Intersected(rect) != rect) PaintInto(rect, target);
    if (!m_window) return;
    const raster::Bitmap& canvas = m_window->Canvas();
    if (canvas.Format() == target.Format()) {
        raster::CopyBlock(target, m_windowRect.Left - rect.Left, m_windowRect.Top - rect.Top,
                          canvas.Width(), canvas.Height(), canvas, 0, 0);
        return;
    }
    raster::Bitmap converted = canvas.ConvertTo(target.Format(), target.Palette());
    raster::CopyBlock(target, m_windowRect.Left - rect.Left, m_windowRect.Top - rect.Top,
                      converted.Width(), converted.Height(), converted, 0, 0);
}

std::unique_ptr<RenderWindow> HeadlessControl::CreateRenderWindow(const core::Rect& rect) {
    // The render window starts showing what lay beneath it: the current look.
    raster::Bitmap canvas = MakeDisplayBitmap(rect.Width(), rect.Height(), DisplayPixelFormat());
    PaintInto(rect, canvas);
    m_windowRect = rect;
    return std::make_unique<HeadlessRenderWindow>(*this, std::move(canvas));
}

}  // namespace transitions
