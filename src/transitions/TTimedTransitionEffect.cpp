#include "transitions/TTimedTransitionEffect.h"

#include <algorithm>
#include <cmath>

#include "core/Rounding.h"

namespace transitions {

bool TTimedTransitionEffect::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "Milliseconds") {
        if (const int32_t* v = std::get_if<int32_t>(&value)) {
            Milliseconds = *v;
            return true;
        }
        return false;
    }
    return TTransitionEffect::SetProperty(name, value);
}

void TTimedTransitionEffect::ExecuteTransition(TTETransitionData& data) {
    int total = 0;
    m_stepsDrawn = 0;
    PrepareSteps(data, total);
    try {
        if (total <= 0) throw SilentAbort{};
        DisplayBitmap = data.WorkBitmap;
        if (Milliseconds > 0) {
            PlayTimed(total, data);
        } else {
            for (int step = 1; step < total; ++step) {
                RenderStep(data, step, 1, total, step - 1);
                if (m_aborted) break;
                PaintFrame(data, false);
            }
            ShowFinalFrame(data);
        }
    } catch (...) {
        FinishSteps(data);
        DisplayBitmap = nullptr;
        throw;
    }
    FinishSteps(data);
    DisplayBitmap = nullptr;
}

void TTimedTransitionEffect::PlayTimed(int totalSteps, TTETransitionData& data) {
    // Times in milliseconds as single-precision floats, as the pacing has always used.
    const float ms = float(Milliseconds);
    const float total = float(totalSteps);
    float budget = ms / total;                                         // B
    float increment = std::clamp(total / (ms / budget), 1.0f, total);  // I
    float lastPaint = 0;                                               // P
    float lastEnd = 0;                                                 // E
    TTEChrono clock(Time());                                           // C
    clock.Start();
    auto now = [&] { return float(clock.Elapsed()); };

    int step = int(core::RoundHalfEven(increment));
    int previous = 0;
    while (step < totalSteps) {
        RenderStep(data, step, step - previous, totalSteps, previous);
        if (m_aborted) break;
        previous = step;

        // Pace: paint, wait out what is left of the frame budget, then re-plan the
        // increment from what a frame really cost.
        float previousPaint = lastPaint;
        float t0 = now();
        PaintFrame(data, false);
        lastPaint = now() - t0;
        float t1 = now();
        float wait = (budget - previousPaint) - (t1 - lastEnd);
        if (wait > 0) Time().WaitUntil(Time().NowMs() + wait);
        float waited = now() - t1;
        float previousEnd = lastEnd;
        lastEnd = now();
        float current = now();
        float cost = (current - previousEnd) - waited;  // k
        float remaining = ms - current;                 // R
        float stepsLeft = float(totalSteps - step);     // N
        if (remaining > 0) {
            // A frame measured as free would divide by zero; count it as a tiny cost so
            // the run keeps drawing every step and still ends near Milliseconds.
            budget = std::max(cost, 1e-3f);
            increment = std::clamp(stepsLeft / (remaining / budget), 1.0f, stepsLeft);
        } else {
            increment = stepsLeft;
        }
        budget = remaining / (stepsLeft / increment);
        step = int(core::RoundHalfEven(float(step) + increment));
    }
    ShowFinalFrame(data);
    clock.Pause();
    DisplayBitmap = nullptr;
}

void TTimedTransitionEffect::RenderStep(TTETransitionData&, int, int, int, int) {
    ++m_stepsDrawn;
    PollAbort();
}

void TTimedTransitionEffect::PollAbort() {
    if (m_aborted || (!AbortOnClick && !AbortOnEscape && !OnAbortQuery)) return;
    if (AbortChrono.Elapsed() <= 300.0) return;
    TTERenderWindow* window = RenderWindow();
    if (AbortOnClick && window) m_aborted = window->TakeLeftButtonDown();
    if (!m_aborted && AbortOnEscape && window) m_aborted = window->TakeEscapeKey();
    if (!m_aborted && OnAbortQuery) OnAbortQuery(*this, *this, m_aborted);
    AbortChrono.Reset();
    AbortChrono.Start();
}

}  // namespace transitions
