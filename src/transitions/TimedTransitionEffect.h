#pragma once

#include "transitions/TransitionEffect.h"

namespace transitions {

// An effect played as numbered steps, paced so that one pass lasts `Milliseconds`
// (every step as fast as possible when it is 0 or less).
class TimedTransitionEffect : public TransitionEffect {
public:
    // Steps drawn by the last pass.
    int StepsDrawn() const { return m_stepsDrawn; }

    bool SetProperty(std::string_view name, const PropertyValue& value) override;

protected:
    void ExecuteTransition(PassData& data) override;

    // The time-paced loop.
    virtual void PlayTimed(int totalSteps, PassData& data);
    // Draws one step into DrawCanvas and sets m_dirtyRect. Effects call this base first: it
    // polls for an abort.
    virtual void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                            int previousStep);
    virtual void FinishSteps(PassData&) {}
    // Prepares the pass and answers the number of steps (steps 1 .. total; total is never
    // drawn, the final copy of the destination image replaces it).
    virtual void PrepareSteps(PassData& data, int& totalSteps) = 0;

private:
    void PollAbort();

    int m_stepsDrawn = 0;
};

}  // namespace transitions
