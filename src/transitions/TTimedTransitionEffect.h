#pragma once

#include "transitions/TTransitionEffect.h"

namespace transitions {

// An effect played as numbered steps, paced so that one pass lasts `Milliseconds`
// (every step as fast as possible when it is 0 or less).
class TTimedTransitionEffect : public TTransitionEffect {
public:
    // Steps drawn by the last pass.
    int StepsDrawn() const { return m_stepsDrawn; }

    bool SetProperty(std::string_view name, const PropertyValue& value) override;

protected:
    void ExecuteTransition(TTETransitionData& data) override;

    // The time-paced loop.
    virtual void PlayTimed(int totalSteps, TTETransitionData& data);
    // Draws one step into DrawCanvas and sets DirtyRect. Effects call this base first: it
    // polls for an abort.
    virtual void RenderStep(TTETransitionData& data, int step, int stepDelta, int totalSteps,
                            int previousStep);
    virtual void FinishSteps(TTETransitionData&) {}
    // Prepares the pass and answers the number of steps (steps 1 .. total; total is never
    // drawn, the final copy of the destination image replaces it).
    virtual void PrepareSteps(TTETransitionData& data, int& totalSteps) = 0;

private:
    void PollAbort();

    int m_stepsDrawn = 0;
};

}  // namespace transitions
