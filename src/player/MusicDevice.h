#pragma once

#include <cstdint>
#include <string>

namespace player {

// The media device the music sequence drives: one open file at a time. Lengths and
// positions are in the same units (milliseconds for the usual sound files).
class MusicDevice {
public:
    virtual ~MusicDevice() = default;

    // Closes the open file, if any, and opens `path` ready to play from its start. Throws
    // core::Error with a message naming the file when it cannot be opened; no file is
    // open then.
    virtual void Open(const std::string& path) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual int64_t LengthMs() = 0;
    virtual int64_t PositionMs() = 0;
};

}  // namespace player
