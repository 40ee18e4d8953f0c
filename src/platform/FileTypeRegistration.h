#pragma once

#include <QString>

namespace platform {

// Registers the project file type ".orv" for the user: a shared-MIME-info package and a
// desktop entry that opens such files with `executable`, under the user's data folder
// (`dataHome`, normally $XDG_DATA_HOME), then refreshes the desktop's caches when the tools
// are installed. Returns false when something could not be written; callers go on anyway,
// since a missing registration never stops the program.
bool RegisterProjectFileType(const QString& executable, const QString& dataHome);

// The user's data folder: $XDG_DATA_HOME, or ~/.local/share.
QString UserDataHome();

}  // namespace platform
