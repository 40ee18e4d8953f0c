#include "transitions/TTEChrono.h"

namespace transitions {

double TTEChrono::Elapsed() const {
    if (!Running()) return m_accumulated;
    return m_source->NowMs() - m_start + m_accumulated;
}

void TTEChrono::Start() {
    if (Running()) return;
    m_start = m_source->NowMs();
    m_stopped = false;
    m_paused = false;
}

void TTEChrono::Pause() {
    if (!Running()) return;
    m_accumulated = Elapsed();
    m_paused = true;
}

void TTEChrono::Reset() {
    Pause();
    m_accumulated = 0.0;
    m_stopped = true;
    m_paused = false;
}

}  // namespace transitions
