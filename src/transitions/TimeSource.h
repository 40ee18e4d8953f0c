#pragma once

namespace transitions {

// Where the paced loop reads the time and how it waits. The real source busy-waits on the
// steady clock, as a transition must not return to the event loop; a manual source lets
// tests and offline rendering decide exactly when time passes.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    // Milliseconds since an arbitrary, fixed origin; never decreases.
    virtual double NowMs() const = 0;
    // Returns once NowMs() has reached `ms`.
    virtual void WaitUntil(double ms) = 0;
};

// The steady clock, shared by every effect unless told otherwise.
TimeSource& SteadyTimeSource();

// Time that moves only when told to: by Advance, or by a wait that jumps to its end.
class ManualTimeSource : public TimeSource {
public:
    double NowMs() const override { return m_now; }
    void WaitUntil(double ms) override {
        if (ms > m_now) m_now = ms;
    }
    void Advance(double ms) { m_now += ms; }

private:
    double m_now = 0.0;
};

}  // namespace transitions
