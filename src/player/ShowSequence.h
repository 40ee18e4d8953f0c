#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/StringList.h"
#include "settings/ShowSettings.h"

namespace player {

// "3. beach.jpg": the 1-based number, ". " and the file name without its folder.
std::string CaptionText(int index, std::string_view path);

// The advance slot's interval in milliseconds, or nothing for "Manual". A text that is not
// a positive whole number also answers nothing (the timer stays off), and the seconds are
// held below what overflows an int of milliseconds.
std::optional<int> AdvanceIntervalMs(std::string_view advanceSlot);

// The player's stepping state without a window: the picture position (the index of the
// next picture to show, one past the picture on screen) and the advance timer. The window
// owns one for its lifetime, so the timer interval carries over from one show to the next.
class ShowSequence {
public:
    static constexpr int kInitialIntervalMs = 500;

    struct Step {
        bool Close = false;  // end of list without loop: close the player
        int Index = 0;       // the picture to load
        std::string Caption;
    };

    // Starts a show: takes the picture list, the loop slot and the advance slot. "Manual"
    // switches the timer off and keeps its last interval.
    void Start(const core::StringList& pictures, const settings::ShowSettings& settings);
    // Activation: the show begins again at its first picture.
    void Activate() { m_position = 0; }

    // Steps 3 and 4 of a step: wraps past the end, and closes unless the show loops.
    Step NextStep();
    // The picture of the last NextStep is on screen.
    void PictureShown() { ++m_position; }
    // The picture of the last NextStep could not be loaded. Answers whether to report it.
    // While the timer runs the picture is skipped and reported only the first time it fails,
    // so the timer does not raise the same message every interval; stepping by hand stays on
    // the position, as the next advance asks for that picture again.
    bool PictureFailed();

    // Left arrow or Backspace, before the step: the previous picture, or the first picture
    // again when the first is on screen.
    void StepBack();

    // Ctrl: pauses a running timer (answers false), or answers true (step now) and resumes
    // the timer with its current interval.
    bool TogglePause();
    // Escape, F1 and close switch the timer off; closing the help window switches it on again
    // unless the show is manual.
    void StopTimer() { m_timerOn = false; }
    void HelpClosed() { m_timerOn = !m_manual; }

    int Position() const { return m_position; }
    bool TimerOn() const { return m_timerOn; }
    int IntervalMs() const { return m_intervalMs; }

private:
    core::StringList m_pictures;
    bool m_loops = false;
    bool m_manual = true;
    int m_position = 0;
    bool m_timerOn = false;
    int m_intervalMs = kInitialIntervalMs;
    int m_stepIndex = 0;
    std::set<int> m_reported;
};

}  // namespace player
