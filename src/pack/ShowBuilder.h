#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/Error.h"
#include "core/StringList.h"

namespace pack {

// The show player's file name, beside the editor and the command-line tool.
inline constexpr const char* kShowPlayerName = "pictavo-show";

// A build stopped by Cancel(); the target is left as it was.
class BuildCancelled : public core::Error {
public:
    BuildCancelled() : core::Error("The build was cancelled.") {}
};

// What a finished build wrote.
struct BuildResult {
    core::StringList SizeTable;  // one decimal byte count per block after the stub
    uint64_t FileBytes = 0;      // the whole packed show, stub included
};

// Builds a packed show: the show player, then the settings block, the background
// picture as a BMP file, the music files as they are, each picture (BMP and GIF written
// again, JPEG as read, other extensions as 0 bytes), the size table and a 4-byte
// little-endian trailer holding the table's length + 4.
//
// The settings block decides everything packed (pictures, music, background), so the
// file always agrees with its own settings. Everything is written to a temporary file
// in the target's folder that replaces the target only when complete; a failed or
// cancelled build leaves no file behind.
class ShowBuilder {
public:
    // Called after each music file and picture with the blocks done and the total.
    using Progress = std::function<void(size_t done, size_t total)>;

    ShowBuilder(std::string showPlayerPath, core::StringList settingsBlock);

    void SetProgress(Progress progress) { m_progress = std::move(progress); }

    // Asks a running Build to stop at its next block or copy chunk; safe from any thread.
    // It stays asked: a later Build of this builder stops at once.
    void Cancel() { m_cancelled = true; }

    // Throws core::FileError for files that cannot be read or written (a missing show
    // player says so), core::Error for a settings block that is not a show or a picture
    // that cannot be decoded, and BuildCancelled.
    BuildResult Build(const std::string& target);

private:
    std::string m_showPlayerPath;
    core::StringList m_settingsBlock;
    Progress m_progress;
    std::atomic<bool> m_cancelled{false};
};

// The show player to copy: `pictavo-show` in `programFolder`, else in the install's
// libexec folder beside it. Answers the first candidate when neither exists, so the
// build reports that one as missing.
std::string FindShowPlayer(const std::string& programFolder);

// The folder of the running executable, with a trailing '/'.
std::string ProgramFolder();

// "New pictavo is ready. File size - 0.93 Mb.": the size in units of 1024 x 1024
// bytes, rounded to two decimals (halves to even), in the shortest general form.
std::string SizeMessage(uint64_t fileBytes);

}  // namespace pack
