#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// "7:42" for minutes and seconds, "1:02:03" from an hour on; milliseconds round to the
// nearest second.
std::string FormatPlayingTime(int64_t milliseconds);

// What the summary line under the music list needs to know.
struct MusicSummaryInput {
    // One entry per music file in list order: its length, or nothing while it is unknown
    // (still being read, or unreadable).
    std::vector<std::optional<int64_t>> MusicLengthsMs;
    int Pictures = 0;
    // Seconds per picture, or nothing for a show advanced by hand.
    std::optional<int> SecondsPerPicture;
};

// The music's total length and the show's running time, e.g.
// "Music 7:42 · show 2:00 (24 pictures × 5 s)". Files of unknown length count as "?":
// "Music 7:42 + ?", or "Music ?" when no length is known. A manual show reads
// "show manual (24 pictures)".
std::string MusicSummaryText(const MusicSummaryInput& input);

}  // namespace settings
