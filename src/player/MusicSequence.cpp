#include "player/MusicSequence.h"

namespace player {

void MusicSequence::Start(const core::StringList& files, const settings::ShowSettings& settings) {
    m_files = files;
    m_repeat = settings.RepeatMusic();
    m_position = 0;
    if (!settings.MusicOn() || m_files.empty()) return;
    PlayFrom(0);
    m_polling = true;
}

bool MusicSequence::PlayFrom(int from) {
    for (m_position = from; m_position < int(m_files.size());) {
        m_open = m_device.Open(m_files[size_t(m_position)]);
        ++m_position;
        if (m_open) {
            m_device.Play();
            return true;
        }
    }
    return false;
}

void MusicSequence::Poll() {
    if (!m_polling) return;
    if (m_open && m_device.LengthMs() >= m_device.PositionMs() + 10) return;
    if (PlayFrom(m_position)) return;
    // Repeating wraps once per poll; a list where nothing opens is not retried every poll.
    if (m_repeat && !PlayFrom(0)) m_polling = false;
}

void MusicSequence::Close() {
    if (m_open) m_device.Stop();
    m_polling = false;
}

}  // namespace player
