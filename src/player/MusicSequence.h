#pragma once

#include "core/StringList.h"
#include "player/MusicDevice.h"
#include "settings/ShowSettings.h"

namespace player {

// Plays the music list one file after the other while a show runs, driven by the 100 ms
// poll. A file that cannot be opened at the start is an error the player reports; one
// that fails in the middle of a show is skipped without a message, so one bad entry
// neither stops the show nor leaves the poll asking a closed device.
class MusicSequence {
public:
    explicit MusicSequence(MusicDevice& device) : m_device(device) {}

    // Start of a show: with music on and a non-empty list, opens and plays the first file
    // and switches polling on. Throws the device's core::Error when that file cannot be
    // opened; polling stays off then.
    void Start(const core::StringList& files, const settings::ShowSettings& settings);
    // Activation of the player window: the next file to play is the second one. The file
    // playing now goes on.
    void Activate() { m_position = 1; }
    // One poll: when the file is within its last 10 units, plays the next one, wrapping to
    // the first with "RepeatMusic"; after the last file without repeat the music has ended.
    void Poll();
    // Close of the player: stops the music and the polling. The file stays open.
    void Close();

    bool Polling() const { return m_polling; }
    // The index of the next file to play.
    int Position() const { return m_position; }

private:
    // Plays the first file in [from, to) that opens; answers whether one did.
    bool PlayFirstThatOpens(int from, int to);

    MusicDevice& m_device;
    core::StringList m_files;
    bool m_repeat = false;
    bool m_polling = false;
    bool m_open = false;
    int m_position = 0;
};

}  // namespace player
