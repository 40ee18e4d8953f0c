#pragma once

#include <chrono>

namespace transitions {

// A stopwatch in milliseconds that can be paused and resumed.
class Stopwatch {
public:
    double Elapsed() const;
    void Start();  // only when stopped or paused
    void Pause();  // only when running
    void Reset();  // pause, clear, stop

    bool Running() const { return !m_stopped && !m_paused; }

private:
    using Clock = std::chrono::steady_clock;

    bool m_stopped = true;
    bool m_paused = false;
    double m_accumulated = 0.0;
    Clock::time_point m_start{};
};

}  // namespace transitions
