#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include "app/EditorWindow.h"
#include "core/Memory.h"
#include "platform/Dialogs.h"
#include "platform/FileTypeRegistration.h"
#include "transitions/qt/DisplayProbe.h"

int main(int argc, char* argv[]) {
    // Transitions allocate screen-sized bitmaps on every step; reusing freed ones spares
    // the page faults of fresh memory.
    core::KeepLargeAllocations();
    // Qt's other media back end cannot play MIDI and fails without a sound device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication application(argc, argv);
    transitions::ProbeDisplayPixelFormat();
    QApplication::setApplicationName("pictavo");
    QApplication::setOrganizationName("Pictavo");

    platform::QtDialogs dialogs;
    app::EditorWindow::Environment environment;
    environment.programFolder = QApplication::applicationDirPath() + "/";
    environment.fallbackFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    environment.dataHome = platform::UserDataHome();
    environment.documentsFolder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    environment.executable = QApplication::applicationFilePath();
    environment.arguments = QApplication::arguments().mid(1);
    environment.dialogs = &dialogs;

    app::EditorWindow editor(environment);
    // Without a window manager "maximised" means nothing, so the window takes the
    // screen's working area itself; nor does it ever become active, so the first
    // activation's start-up work is also queued once the loop runs.
    editor.setGeometry(editor.screen()->availableGeometry());
    editor.showMaximized();
    QTimer::singleShot(0, &editor, [&editor] { editor.OnFirstShow(); });
    return application.exec();
}
