#include "player/ShowSequence.h"

#include <algorithm>

namespace player {

std::string CaptionText(int index, std::string_view path) {
#ifdef _WIN32
    size_t slash = path.find_last_of("/\\:");
#else
    size_t slash = path.rfind('/');
#endif
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::to_string(index + 1) + ". " + std::string(name);
}

std::optional<int> AdvanceIntervalMs(std::string_view advanceSlot) {
    if (advanceSlot == settings::kManual) return std::nullopt;
    std::optional<int> seconds = settings::ParseWholeNumber(advanceSlot);
    if (!seconds || *seconds <= 0) return std::nullopt;
    return std::min(*seconds, 2'000'000) * 1000;
}

void ShowSequence::Start(const core::StringList& pictures, const settings::ShowSettings& settings) {
    m_pictures = pictures;
    m_loops = settings.Loops();
    m_position = 0;
    m_reported.clear();
    std::optional<int> interval = AdvanceIntervalMs(settings.Slot(settings::kAdvanceSlot));
    m_manual = !interval;
    m_timerOn = !m_manual;
    if (interval) m_intervalMs = *interval;
}

ShowSequence::Step ShowSequence::NextStep() {
    Step step;
    if (m_position >= int(m_pictures.size())) {
        m_position = 0;
        // An empty list has no first picture to wrap to.
        if (!m_loops || m_pictures.empty()) {
            m_timerOn = false;
            step.Close = true;
            return step;
        }
    }
    step.Index = m_position;
    step.Caption = CaptionText(m_position, m_pictures[size_t(m_position)]);
    m_stepIndex = m_position;
    return step;
}

bool ShowSequence::PictureFailed() {
    if (!m_timerOn) return true;
    m_position = m_stepIndex + 1;
    return m_reported.insert(m_stepIndex).second;
}

void ShowSequence::StepBack() {
    m_position = std::max(0, m_position - 2);
}

bool ShowSequence::TogglePause() {
    if (m_timerOn) {
        m_timerOn = false;
        return false;
    }
    m_timerOn = true;
    return true;
}

}  // namespace player
