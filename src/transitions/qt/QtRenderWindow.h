#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "transitions/RenderWindow.h"

class QEvent;

namespace transitions {

// The render window on a Qt display: a child widget laid over the transition rectangle
// that shows its canvas and nothing else. Frames reach the screen through a synchronous
// repaint; abort polling reads input without returning to the event loop.
class QtRenderWindow final : public RenderWindow {
public:
    using FrameSink = std::function<void(const raster::Bitmap& canvas, const core::Rect& area)>;

    // Lays the window over `rect` (client coordinates of `parent`), on top of the other
    // children, and shows it without activation. `canvas` is what it shows at first: the
    // old look. `onFrame` is called after every flush.
    QtRenderWindow(QWidget& parent, const core::Rect& rect, raster::Bitmap canvas,
                   FrameSink onFrame = {});
    // Removes the window and hands back the input that waited during the run.
    ~QtRenderWindow() override;
    QtRenderWindow(const QtRenderWindow&) = delete;
    QtRenderWindow& operator=(const QtRenderWindow&) = delete;

    raster::Bitmap& Canvas() override { return m_canvas; }
    void Flush(const core::Rect& area) override;
    void Hide() override;
    bool TakeLeftButtonDown() override;
    bool TakeEscapeKey() override;

    // The widget, or none once its parent has destroyed it.
    QWidget* Widget() const { return m_widget; }

    static bool IsRenderWindow(const QObject* object);
    // A render window lies somewhere in the widget's tree of children (same window).
    static bool HasRenderWindowInside(const QWidget& widget);

private:
    class Surface;
    friend class InputGate;
    // One input event held back by abort polling, with the object it was meant for.
    struct HeldEvent {
        QPointer<QObject> Receiver;
        std::unique_ptr<QEvent> Event;
        bool OnRenderWindow = false;  // a mouse button event on the render window
    };

    void PumpInput();
    void Hold(QObject* receiver, const QEvent& event);

    raster::Bitmap m_canvas;
    QPointer<QWidget> m_widget;
    FrameSink m_onFrame;
    std::vector<HeldEvent> m_held;
    std::vector<std::pair<QPointer<QObject>, int>> m_heldTimers;
};

}  // namespace transitions
