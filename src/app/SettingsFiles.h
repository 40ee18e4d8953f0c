#pragma once

#include <QString>

#include "core/StringList.h"

namespace app {

// The small settings files kept in the program folder (SOPT.lst, dires.lst, dir.lst and the
// first-run marker). When the program folder cannot be written, as in a system-wide
// installation, they are kept in the user's configuration folder instead; a file not yet
// there is still read from the program folder, where the installed defaults lie.
class SettingsFiles {
public:
    // `programFolder` ends with a separator; `fallbackFolder` is used when it is read-only.
    SettingsFiles(QString programFolder, QString fallbackFolder);

    const QString& ProgramFolder() const { return m_programFolder; }
    const QString& WriteFolder() const { return m_writeFolder; }

    // The file's lines; a missing or unreadable file gives an empty list.
    core::StringList Load(const QString& name) const;
    // Writes atomically; false when the file could not be written.
    bool Save(const QString& name, const core::StringList& lines) const;
    bool Exists(const QString& name) const;

private:
    QString ReadPath(const QString& name) const;

    QString m_programFolder;
    QString m_writeFolder;
};

}  // namespace app
