#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "transitions/TransitionControl.h"
#include "transitions/qt/QtRenderWindow.h"

namespace transitions {

// A Qt widget as the engine sees a control: its look is what the widget and its children
// paint, and its render windows are child widgets laid over it.
class QtControl final : public TransitionControl {
public:
    explicit QtControl(QWidget& widget);
    ~QtControl() override;

    QWidget* Widget() const { return m_widget; }

    // Called after every flush of a render window made for this control (or, when the
    // engine moves up to a parent because this one is hidden, for that parent).
    QtRenderWindow::FrameSink OnFrame;

    bool IsVisible() const override;
    TransitionControl* ParentControl() const override;
    core::Point Position() const override;
    void Update() override;
    bool IsCovered(const core::Rect& rect) const override;
    void CopyScreen(const core::Rect& rect, raster::Bitmap& target) override;
    void PaintInto(const core::Rect& rect, raster::Bitmap& target) override;
    raster::ColorValue Colour() const override;
    std::unique_ptr<RenderWindow> CreateRenderWindow(const core::Rect& rect) override;

private:
    QPointer<QWidget> m_widget;
    mutable std::unique_ptr<QtControl> m_parent;
};

}  // namespace transitions
