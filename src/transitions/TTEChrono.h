#pragma once

#include "transitions/TimeSource.h"

namespace transitions {

// A stopwatch in milliseconds that can be paused and resumed, reading a time source.
class TTEChrono {
public:
    explicit TTEChrono(TimeSource& source = SteadyTimeSource()) : m_source(&source) {}

    double Elapsed() const;
    void Start();  // only when stopped or paused
    void Pause();  // only when running
    void Reset();  // pause, clear, stop

    bool Running() const { return !m_stopped && !m_paused; }
    TimeSource& Source() const { return *m_source; }
    // Only while stopped: a running stopwatch would mix two clocks.
    void SetSource(TimeSource& source) {
        if (m_stopped) m_source = &source;
    }

private:
    TimeSource* m_source;
    bool m_stopped = true;
    bool m_paused = false;
    double m_accumulated = 0.0;
    double m_start = 0.0;
};

}  // namespace transitions
