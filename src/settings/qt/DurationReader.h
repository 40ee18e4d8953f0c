#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace settings {

// Finds the playing time of sound files without making the caller wait.
class DurationReader {
public:
    // The answer for `path`: its length in milliseconds, or nothing when it cannot be read.
    using Answer = std::function<void(const std::string& path, std::optional<int64_t> ms)>;

    virtual ~DurationReader() = default;

    // Asks for the length of `path` (bytes of the file name). The answer arrives later on the
    // GUI thread through OnAnswer, never from inside Request.
    virtual void Request(const std::string& path) = 0;

    Answer OnAnswer;
};

}  // namespace settings
