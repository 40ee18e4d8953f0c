#include "platform/FileTypeRegistration.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

constexpr char kMimeType[] = "application/x-pictavo-project";

bool WriteText(const QString& path, const QByteArray& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text);
    return file.commit();
}

// Desktop entries quote arguments with double quotes and escape ", `, $ and \ inside them
// with a backslash; the file's string unescaping runs first, so each of those backslashes
// is written twice. A literal % is written twice, since a single one starts a field code.
QByteArray QuotedExec(const QString& executable) {
    QByteArray quoted = "\"";
    for (QChar c : executable) {
        if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
        if (c == '\\') quoted += "\\\\\\";
        if (c == '%') quoted += '%';
        quoted += QString(c).toUtf8();
    }
    quoted += '"';
    return quoted;
}

void RunIfPresent(const QString& tool, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) return;
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(10000);
}

}  // namespace

QString UserDataHome() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (!home.isEmpty()) return home;
    return QDir::homePath() + "/.local/share";
}

bool RegisterProjectFileType(const QString& executable, const QString& dataHome) {
    const QString mimeFolder = dataHome + "/mime";
    const QString applications = dataHome + "/applications";
    const QByteArray mime = QByteArray(
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<mime-info xmlns=\"http://www.freedesktop.org/standards/"
                                "shared-mime-info\">\n"
                                "  <mime-type type=\"") +
                            kMimeType +
                            "\">\n"
                            "    <comment>Pictavo Pro project</comment>\n"
                            "    <glob pattern=\"*.orv\"/>\n"
                            "  </mime-type>\n"
                            "</mime-info>\n";
    const QByteArray desktop = QByteArray(
                                   "[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Pictavo Pro\n"
                                   "Comment=Slide-show maker\n"
                                   "Exec=") +
                               QuotedExec(executable) +
                               " %f\n"
                               "MimeType=" +
                               kMimeType +
                               ";\n"
                               "Terminal=false\n"
                               "Categories=Graphics;\n";
    bool ok = WriteText(mimeFolder + "/packages/pictavo-orv.xml", mime);
    ok = WriteText(applications + "/pictavo.desktop", desktop) && ok;
    RunIfPresent("update-mime-database", {mimeFolder});
    RunIfPresent("update-desktop-database", {applications});
    return ok;
}

}  // namespace platform
