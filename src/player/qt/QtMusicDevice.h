#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "player/MusicDevice.h"

class QAudioOutput;
class QMediaPlayer;

namespace player {

// The player's music device over Qt Multimedia. Lives on the GUI thread.
//
// Opening is asynchronous: Open checks the file and hands it to the media player, which
// loads it in the background, so the show never waits for a decoder. Lengths and
// positions are in milliseconds and follow what the music poll needs (it moves on when
// length < position + 10):
// - while the file is still loading, the length is kLoadingLengthMs and the position 0,
//   so the poll keeps waiting;
// - once the media player reports an error or an undecodable file, both are 0, so the
//   poll moves on and the file is skipped without a message;
// - at the end of the file the position equals the length.
class QtMusicDevice final : public MusicDevice {
public:
    static constexpr int64_t kLoadingLengthMs = std::numeric_limits<int64_t>::max() / 4;

    QtMusicDevice();
    ~QtMusicDevice() override;

    // Throws core::FileError when the file is missing or unreadable and core::Error when
    // the media player refuses it at once; the message names the file.
    void Open(const std::string& path) override;
    void Play() override;
    // Stops playing and rewinds; the file stays open.
    void Stop() override;
    int64_t LengthMs() override;
    int64_t PositionMs() override;

private:
    bool Failed() const;

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;  // after the output it plays to, so it goes first
};

}  // namespace player
