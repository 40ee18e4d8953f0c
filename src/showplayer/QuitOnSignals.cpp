#include "showplayer/QuitOnSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace showplayer {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe the handler writes to; a handler may do little more than write(2).
int g_pipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

QuitOnSignals::QuitOnSignals(std::function<void()> quit) : m_quit(std::move(quit)) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        if (m_quit) m_quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals() {
    for (int s : kSignals) std::signal(s, SIG_DFL);
    m_notifier.reset();
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace showplayer
