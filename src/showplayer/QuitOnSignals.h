#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace showplayer {

// Turns SIGTERM, SIGINT and SIGHUP into a call of `quit` from the event loop, so a show
// that is stopped from outside still ends the normal way and removes its temporary
// music files. One object at a time; it restores the default handlers when it goes.
class QuitOnSignals final : public QObject {
public:
    explicit QuitOnSignals(std::function<void()> quit);
    ~QuitOnSignals() override;

private:
    std::function<void()> m_quit;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace showplayer
