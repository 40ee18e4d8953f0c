#pragma once

#include <optional>
#include <string>

#include "core/StringList.h"
#include "settings/ShowSettings.h"

namespace project {

inline constexpr std::string_view kTransMarker = "[TRANS]";
inline constexpr std::string_view kMusicMarker = "[MUSIC]";

// The parts of a show that a project file (and a packed show's settings block) holds.
struct ShowParts {
    core::StringList Slots;     // ten slots
    core::StringList Pictures;  // full paths, in show order
    core::StringList Effects;   // effect indexes as decimal text
    // Present only when the block carries a music list, i.e. slot 3 is not "No music".
    std::optional<core::StringList> Music;
};

// The settings block (`Allbox`): the slots, the pictures, "[TRANS]", the effect indexes,
// "[MUSIC]" and, unless slot 3 is exactly "No music", the music paths.
core::StringList BuildSettingsBlock(const settings::ShowSettings& slots,
                                    const core::StringList& pictures,
                                    const core::StringList& effects, const core::StringList& music);

// Splits a settings block into its parts. A block with fewer than ten slot lines or
// without both markers after them is not a project: throws core::Error naming `source`,
// so the caller can refuse it before anything in memory changes.
ShowParts ParseSettingsBlock(const core::StringList& lines, const std::string& source);

// Writes a project file atomically: a failed write leaves any previous file intact.
void WriteProjectFile(const std::string& path, const core::StringList& block);

// Reads a project file and, only when it is a valid project, replaces the slots, the
// picture list and the effect set, and the music list unless the file's slot 3 is
// "No music". On any error (core::FileError, core::Error) nothing is changed.
void ReadProjectFile(const std::string& path, settings::ShowSettings& slots,
                     core::StringList& pictures, core::StringList& effects,
                     core::StringList& music);

// Project files are small text lists; anything larger is not one of ours.
constexpr size_t kMaxProjectFileBytes = size_t(64) << 20;

}  // namespace project
