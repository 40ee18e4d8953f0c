#include <QApplication>
#include <QStandardPaths>

#include "app/TForm1.h"
#include "platform/Dialogs.h"
#include "platform/FileTypeRegistration.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("pictavo");
    QApplication::setOrganizationName("Pictavo");

    platform::QtDialogs dialogs;
    TForm1::Environment environment;
    environment.programFolder = QApplication::applicationDirPath() + "/";
    environment.fallbackFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    environment.dataHome = platform::UserDataHome();
    environment.documentsFolder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    environment.executable = QApplication::applicationFilePath();
    environment.arguments = QApplication::arguments().mid(1);
    environment.dialogs = &dialogs;

    TForm1 form1(environment);
    form1.showMaximized();
    return application.exec();
}
