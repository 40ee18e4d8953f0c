#include "player/MusicSequence.h"

#include <algorithm>

#include "core/Error.h"

namespace player {

void MusicSequence::Start(const core::StringList& files, const settings::ShowSettings& settings) {
    m_files = files;
    m_repeat = settings.RepeatMusic();
    m_polling = false;
    m_position = 0;
    if (!settings.MusicOn() || m_files.empty()) return;
    m_open = false;
    m_device.Open(m_files.front());  // a failure here is the caller's to report
    m_open = true;
    m_device.Play();
    m_position = 1;
    m_polling = true;
}

bool MusicSequence::PlayFirstThatOpens(int from, int to) {
    for (int i = from; i < to; ++i) {
        try {
            m_device.Open(m_files[size_t(i)]);
        } catch (const core::Error&) {
            // The device has closed the previous file; try the next entry.
            m_open = false;
            continue;
        }
        m_open = true;
        m_device.Play();
        m_position = i + 1;
        return true;
    }
    return false;
}

void MusicSequence::Poll() {
    if (!m_polling) return;
    if (m_open && m_device.LengthMs() >= m_device.PositionMs() + 10) return;
    const int count = int(m_files.size());
    // Activation may leave the position past a one-file list.
    const int next = std::min(m_position, count);
    if (PlayFirstThatOpens(next, count)) return;
    m_position = count;
    if (!m_repeat) return;  // the music has ended; the poll goes on quietly
    // Wrap once: the entries before `next` are the ones not yet tried in this poll. When
    // none opens the whole list is unplayable, and retrying it every 100 ms would only
    // hammer the device.
    if (!PlayFirstThatOpens(0, next)) m_polling = false;
}

void MusicSequence::Close() {
    if (m_open) m_device.Stop();
    m_polling = false;
}

}  // namespace player
