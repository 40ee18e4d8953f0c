#include "transitions/qt/QtRenderWindow.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "transitions/qt/CanvasImage.h"

namespace transitions {

namespace {

// The render windows alive now; there is rarely more than one.
std::vector<const QWidget*>& LiveSurfaces() {
    static std::vector<const QWidget*> surfaces;
    return surfaces;
}

}  // namespace

// The widget itself: it never erases its background and paints only its canvas, so until
// a frame is drawn it shows the old look it was given.
class QtRenderWindow::Surface final : public QWidget {
public:
    Surface(QWidget& parent, QtRenderWindow& owner) : QWidget(&parent), m_owner(owner) {
        setObjectName(QStringLiteral("teRenderWindow"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
        setFocusPolicy(Qt::NoFocus);
        LiveSurfaces().push_back(this);
    }
    ~Surface() override { std::erase(LiveSurfaces(), this); }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        QImage image = CanvasImage(m_owner.m_canvas);
        painter.drawImage(event->rect(), image, event->rect());
    }

private:
    QtRenderWindow& m_owner;
};

// Abort polling must see the Escape key and clicks on the render window without going
// back to the event loop, where the show's timers and the user's input would re-enter
// the program in the middle of a run. So a poll pumps the queue once with this filter on
// the application: every input event (and a close request) is taken out of the queue and
// kept in the render window, where the poll looks for its click or Escape; what the poll
// does not consume is posted again when the render window goes, so it is handled after
// the transition, in its order. Timers do not fire during the pump (X11ExcludeTimers, which
// Qt's Unix event dispatchers honour); should one fire anyway it is held and re-posted too.
// Posted events (queued calls) and socket activity are not input and still run.
class InputGate final : public QObject {
public:
    explicit InputGate(QtRenderWindow& window) : m_window(window) {}

    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Timer: {
                auto entry = std::make_pair(QPointer<QObject>(receiver),
                                            static_cast<QTimerEvent*>(event)->timerId());
                if (std::find(m_window.m_heldTimers.begin(), m_window.m_heldTimers.end(), entry) ==
                    m_window.m_heldTimers.end())
                    m_window.m_heldTimers.push_back(entry);
                return true;
            }
            case QEvent::ShortcutOverride:
                // Accepted, so no shortcut fires now; the key press itself follows.
                event->accept();
                return true;
            case QEvent::Close:
                m_window.Hold(receiver, *event);
                return true;
            default:
                break;
        }
        if (!event->isInputEvent()) return false;
        m_window.Hold(receiver, *event);
        return true;
    }

private:
    QtRenderWindow& m_window;
};

QtRenderWindow::QtRenderWindow(QWidget& parent, const core::Rect& rect, raster::Bitmap canvas,
                               FrameSink onFrame)
    : m_canvas(std::move(canvas)), m_onFrame(std::move(onFrame)) {
    auto* surface = new Surface(parent, *this);
    m_widget = surface;
    surface->setGeometry(rect.Left, rect.Top, rect.Width(), rect.Height());
    surface->raise();
    surface->show();
}

QtRenderWindow::~QtRenderWindow() {
    delete m_widget.data();
    if (!QCoreApplication::instance()) return;
    // Clicks meant for the render window go with it.
    for (HeldEvent& held : m_held)
        if (held.Receiver && !held.OnRenderWindow)
            QCoreApplication::postEvent(held.Receiver, held.Event.release());
    for (const auto& [object, timerId] : m_heldTimers)
        if (object) QCoreApplication::postEvent(object, new QTimerEvent(timerId));
}

bool QtRenderWindow::IsRenderWindow(const QObject* object) {
    return dynamic_cast<const Surface*>(object) != nullptr;
}

bool QtRenderWindow::HasRenderWindowInside(const QWidget& widget) {
    for (const QWidget* surface : LiveSurfaces())
        if (widget.isAncestorOf(surface)) return true;
    return false;
}

void QtRenderWindow::Flush(const core::Rect& area) {
    if (m_widget) m_widget->repaint(area.Left, area.Top, area.Width(), area.Height());
    if (m_onFrame) m_onFrame(m_canvas, area);
}

void QtRenderWindow::Hide() {
    // The last frame showed the new look, so the screen stays as it is until the control
    // repaints itself there with the same pixels.
    if (m_widget) m_widget->hide();
}

void QtRenderWindow::PumpInput() {
    if (!QCoreApplication::instance()) return;
    InputGate gate(*this);
    QCoreApplication::instance()->installEventFilter(&gate);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::X11ExcludeTimers);
    QCoreApplication::instance()->removeEventFilter(&gate);
}

void QtRenderWindow::Hold(QObject* receiver, const QEvent& event) {
    const QEvent::Type type = event.type();
    // Pure motion is dropped: the pointer's position is current when the run ends anyway.
    if (type == QEvent::MouseMove || type == QEvent::HoverMove || type == QEvent::TabletMove)
        return;
    HeldEvent held{receiver, std::unique_ptr<QEvent>(event.clone()), false};
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick) {
        if (receiver == m_widget) {
            held.OnRenderWindow = true;
        } else if (m_widget && receiver->isWindowType()) {
            // Delivered to the top-level window first: the widget under the pointer decides.
            QWidget* top = m_widget->window();
            QPoint at = static_cast<const QMouseEvent&>(event).position().toPoint();
            held.OnRenderWindow = top->windowHandle() == receiver && top->childAt(at) == m_widget;
        }
    }
    m_held.push_back(std::move(held));
}

bool QtRenderWindow::TakeLeftButtonDown() {
    PumpInput();
    auto press = std::find_if(m_held.begin(), m_held.end(), [](const HeldEvent& held) {
        return held.OnRenderWindow && held.Event->type() == QEvent::MouseButtonPress &&
               static_cast<const QMouseEvent&>(*held.Event).button() == Qt::LeftButton;
    });
    if (press == m_held.end()) return false;
    m_held.erase(press);
    return true;
}

bool QtRenderWindow::TakeEscapeKey() {
    PumpInput();
    // Key presses are removed in order up to the first Escape; those before it are lost.
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it->Event->type() != QEvent::KeyPress) {
            ++it;
            continue;
        }
        bool escape = static_cast<const QKeyEvent&>(*it->Event).key() == Qt::Key_Escape;
        it = m_held.erase(it);
        if (escape) return true;
    }
    return false;
}

}  // namespace transitions
