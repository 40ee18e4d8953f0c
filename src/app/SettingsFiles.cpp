#include "app/SettingsFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <exception>

namespace app {

namespace {

QString WithSeparator(QString folder) {
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

// Asks the file system itself: permission bits do not tell about read-only mounts.
bool CanWriteIn(const QString& folder) {
    QTemporaryFile probe(folder + "pictavo-probe-XXXXXX");
    return probe.open();
}

// Settings files are a few lines; anything larger is not ours.
constexpr size_t kMaxSettingsBytes = size_t(1) << 20;

}  // namespace

SettingsFiles::SettingsFiles(QString programFolder, QString fallbackFolder)
    : m_programFolder(WithSeparator(std::move(programFolder))) {
    if (CanWriteIn(m_programFolder)) {
        m_writeFolder = m_programFolder;
    } else {
        m_writeFolder = WithSeparator(std::move(fallbackFolder));
        QDir().mkpath(m_writeFolder);
    }
}

QString SettingsFiles::ReadPath(const QString& name) const {
    if (m_writeFolder != m_programFolder && QFileInfo::exists(m_writeFolder + name))
        return m_writeFolder + name;
    return m_programFolder + name;
}

core::StringList SettingsFiles::Load(const QString& name) const {
    try {
        return core::LoadStringList(ReadPath(name).toStdString(), kMaxSettingsBytes);
    } catch (const std::exception&) {
        return {};
    }
}

bool SettingsFiles::Save(const QString& name, const core::StringList& lines) const {
    try {
        core::SaveStringList((m_writeFolder + name).toStdString(), lines);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SettingsFiles::Exists(const QString& name) const {
    return QFileInfo::exists(m_writeFolder + name) || QFileInfo::exists(m_programFolder + name);
}

}  // namespace app
