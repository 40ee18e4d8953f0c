#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

namespace showplayer {

// Ends a screen saver on the user's first sign of life: a key, a click, or a mouse
// movement of more than a few pixels (a small jitter of the mouse does not count).
// Installed on the application, it sees the input of every window.
class ScreenSaverInput final : public QObject {
public:
    explicit ScreenSaverInput(std::function<void()> end);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kMoveTolerance = 4;

    bool MovedFar(QPoint at);
    void End();

    std::optional<QPoint> m_start;
    std::function<void()> m_end;
    bool m_ended = false;
    QTimer m_poll;
};

}  // namespace showplayer
