#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/StringList.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace platform {
class Dialogs;
}

namespace pack {

class ShowBuilder;

// The kind of standalone show, which decides the target's extension.
enum class PackMode { Application, ScreenSaver };

// ".exe" or ".scr".
QString ModeExtension(PackMode mode);
// The name with its extension (after the last '.' of the file name, if any) replaced by the
// mode's; a name without one gets it appended.
QString WithModeExtension(const QString& name, PackMode mode);
// Whether the name ends in exactly ".exe" or ".scr" (case matters).
bool HasShowExtension(const QString& name);

// Starts `program` with `arguments` without waiting for it; false with the reason on failure.
using Launcher =
    std::function<bool(const QString& program, const QStringList& arguments, QString* error)>;
bool StartDetached(const QString& program, const QStringList& arguments, QString* error);

// "Create Pictavo": the target name, the kind of show, the build with its progress and
// the test run. The build runs on a worker thread that reports back through queued calls,
// so the window keeps working; "Close" during a build cancels it and the dialog closes
// once the worker has stopped, leaving no file. Created once and hidden between uses, so
// the mode radios keep their choice.
class PackDialog final : public QDialog {
    Q_OBJECT

public:
    // `programFolder` (with a trailing separator) holds the proposed "Pictavo1".
    PackDialog(platform::Dialogs& dialogs, QString programFolder, QWidget* parent = nullptr);
    ~PackDialog() override;  // cancels a running build and waits for it

    // What "Make" packs: the show player to copy and the settings block of the last save.
    void SetShow(std::string showPlayerPath, core::StringList settingsBlock);

    // How "Test" starts the show; tests record the call instead.
    void SetLauncher(Launcher launch) { m_launch = std::move(launch); }

    // Selects a radio, as a click on it does.
    void SetMode(PackMode mode);
    PackMode Mode() const;

    // Commands of the buttons.
    void Browse();
    void Make();  // starts the build and returns; BuildFinished follows
    void Test();

    // State, for the editor and tests.
    QString Name() const;
    void SetName(const QString& name);  // as if typed
    QString NameToolTip() const;
    bool TestEnabled() const;
    QString StateText() const;  // "Ready", or what the build is doing
    bool Building() const { return m_worker.joinable(); }
    QProgressBar* Progress() const { return m_progress; }

signals:
    // After each build, on the GUI thread: true when the show was written.
    void BuildFinished(bool written);

public slots:
    void reject() override;  // "Close", Escape and the window's close box

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Activate();
    void ModeChanged();
    void ShowName(const QString& name);
    void SetBuilding(bool building);
    // Runs on the GUI thread when the worker is done. `error` is empty on success.
    void BuildDone(bool written, bool cancelled, const QString& error, quint64 fileBytes);

    platform::Dialogs& m_dialogs;
    QString m_programFolder;
    std::string m_showPlayerPath;
    core::StringList m_settingsBlock;
    Launcher m_launch;

    std::shared_ptr<ShowBuilder> m_builder;
    std::thread m_worker;
    QString m_target;           // the name being built
    bool m_closeAsked = false;  // "Close" while building: close when the worker stops

    QLineEdit* m_name = nullptr;
    QToolButton* m_browse = nullptr;
    QRadioButton* m_application = nullptr;
    QRadioButton* m_screenSaver = nullptr;
    QLabel* m_state = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_make = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace pack
