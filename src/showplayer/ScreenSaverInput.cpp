#include "showplayer/ScreenSaverInput.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>

namespace showplayer {

ScreenSaverInput::ScreenSaverInput(std::function<void()> end) : m_end(std::move(end)) {
    // Windows receive mouse moves only where they track the mouse, so the cursor is also
    // polled; the polls run whenever the event loop does.
    m_poll.setInterval(100);
    QObject::connect(&m_poll, &QTimer::timeout, this, [this] {
        if (MovedFar(QCursor::pos())) End();
    });
    m_poll.start();
}

bool ScreenSaverInput::MovedFar(QPoint at) {
    // The first position only tells where the mouse rests: a window appearing under the
    // mouse gets a move without the mouse moving at all.
    if (!m_start) m_start = at;
    return (at - *m_start).manhattanLength() > kMoveTolerance;
}

void ScreenSaverInput::End() {
    if (m_ended) return;
    m_ended = true;
    m_poll.stop();
    m_end();
}

bool ScreenSaverInput::eventFilter(QObject* watched, QEvent* event) {
    bool ends = false;
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            ends = true;
            break;
        case QEvent::MouseMove:
            ends = MovedFar(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            break;
        default:
            break;
    }
    if (!ends) return QObject::eventFilter(watched, event);
    End();
    // The player must not act on the input that ends it (a key would step the show).
    return true;
}

}  // namespace showplayer
