#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/EditorTestBase.h"
#include "app/EditorWindow.h"
#include "core/StringList.h"
#include "pack/ShowBuilder.h"
#include "pack/qt/PackDialog.h"
#include "project/ProjectFile.h"
#include "settings/ShowSettings.h"
#include "support/ScriptedDialogs.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using pack::PackDialog;
using pack::PackMode;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Runs the event loop until the dialog's build has reported back. The limit only keeps a
// broken build from hanging the run.
bool WaitForBuild(PackDialog& dialog) {
    if (!dialog.Building()) return false;
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&dialog, &PackDialog::BuildFinished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return finished;
}

class PackDialogTest : public EditorTestBase {
protected:
    void SetUp() override {
        EditorTestBase::SetUp();
        // A stand-in player: the builder copies it byte for byte.
        QFile stub(Program() + "pictavo-show");
        ASSERT_TRUE(stub.open(QIODevice::WriteOnly));
        stub.write(QByteArray("\x7f"
                              "ELF stand-in show player\n")
                       .repeated(40));
        stub.close();
    }

    QString Picture(const QString& name, Qt::GlobalColor colour) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = Root() + "pics/" + name;
        EXPECT_TRUE(image.save(path, name.endsWith(".jpg") ? "JPEG" : "BMP"));
        return path;
    }

    // A dialog over a small saved show: a JPEG and a BMP picture.
    std::unique_ptr<PackDialog> Dialog(PackMode mode = PackMode::Application) {
        m_settings.WriteStartDefaults();
        core::StringList pictures = {Picture("a.jpg", Qt::red).toStdString(),
                                     Picture("b.bmp", Qt::blue).toStdString()};
        auto dialog = std::make_unique<PackDialog>(m_dialogs, Program());
        dialog->SetShow(pack::FindShowPlayer(Program().toStdString()),
                        project::BuildSettingsBlock(m_settings, pictures, {"1", "2"}, {}));
        dialog->SetLauncher(
            [this](const QString& program, const QStringList& arguments, QString* error) {
                m_launched.push_back(program + "|" + arguments.join("|"));
                *error = "No such file or directory";
                return !m_launchFails;
            });
        dialog->SetMode(mode);
        dialog->show();
        return dialog;
    }

    // Types a name, presses "Make" and waits for the build.
    bool MakeAs(PackDialog& dialog, const QString& name) {
        dialog.SetName(name);
        dialog.Make();
        return WaitForBuild(dialog);
    }

    std::unique_ptr<app::EditorWindow> Editor() {
        auto editor = std::make_unique<app::EditorWindow>(Environment());
        editor->OnFirstShow();
        editor->SetPaneFolder(Root() + "pics/");
        editor->AddPictures({Picture("c.jpg", Qt::green), Picture("d.bmp", Qt::yellow)},
                            app::AddKind::All);
        return editor;
    }

    // Triggers a pack command; `inDialog` runs while the modal dialog is up (if it opens).
    // Answers whether the dialog opened.
    bool RunPackCommand(app::EditorWindow& editor, QAction* command,
                        std::function<void(PackDialog&)> inDialog) {
        bool opened = false;
        QTimer::singleShot(0, &editor, [&] {
            PackDialog* dialog = editor.PackWindow();
            if (!dialog->isVisible()) return;
            opened = true;
            inDialog(*dialog);
            dialog->reject();
        });
        command->trigger();
        QCoreApplication::processEvents();  // the check above runs even when nothing opened
        return opened;
    }

    QAction* Action(app::EditorWindow& editor, const QString& text) {
        for (QAction* action : editor.findChildren<QAction*>())
            if (action->text() == text) return action;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    settings::ShowSettings m_settings;
    QStringList m_launched;
    bool m_launchFails = false;
};

TEST_F(PackDialogTest, ExtensionRules) {
    struct Row {
        const char* name;
        PackMode mode;
        const char* changed;  // after a mode change
        bool kept;            // "Make" builds the name as typed
    };
    const Row rows[] = {
        {"/x/show.exe", PackMode::ScreenSaver, "/x/show.scr", true},
        {"/x/show.scr", PackMode::Application, "/x/show.exe", true},
        {"/x/show", PackMode::ScreenSaver, "/x/show.scr", false},
        {"/x/show.EXE", PackMode::Application, "/x/show.exe", false},  // exact comparison
        {"/x/show.Scr", PackMode::ScreenSaver, "/x/show.scr", false},
        {"/x/my.shows/show", PackMode::Application, "/x/my.shows/show.exe", false},
        {"/x/show.exe.bak", PackMode::Application, "/x/show.exe.exe", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(pack::WithModeExtension(row.name, row.mode), row.changed) << row.name;
        EXPECT_EQ(pack::HasShowExtension(row.name), row.kept) << row.name;
    }
}

TEST_F(PackDialogTest, ActivationModeChangeAndTheTestButton) {
    auto dialog = Dialog(PackMode::ScreenSaver);
    EXPECT_EQ(dialog->windowTitle(), "Create Pictavo");
    EXPECT_EQ(dialog->Name(), Program() + "Pictavo1.scr");
    EXPECT_EQ(dialog->NameToolTip(), dialog->Name());
    EXPECT_FALSE(dialog->TestEnabled());

    dialog->SetMode(PackMode::Application);
    EXPECT_EQ(dialog->Name(), Program() + "Pictavo1.exe");
    EXPECT_EQ(dialog->NameToolTip(), Program() + "Pictavo1.exe");

    // A typed name without extension, built in screen saver mode, gets ".scr".
    dialog->SetMode(PackMode::ScreenSaver);
    ASSERT_TRUE(MakeAs(*dialog, Out() + "typed"));
    EXPECT_EQ(dialog->Name(), Out() + "typed.scr");
    EXPECT_TRUE(QFile::exists(Out() + "typed.scr"));
    EXPECT_FALSE(QFile::exists(Out() + "typed"));
    EXPECT_TRUE(dialog->TestEnabled());
    EXPECT_EQ(dialog->Progress()->value(), dialog->Progress()->maximum());
    EXPECT_EQ(dialog->Progress()->maximum(), 2);

    // An edit disables "Test"; showing the dialog again resets the name, keeping the mode.
    dialog->SetName(Out() + "other.scr");
    EXPECT_FALSE(dialog->TestEnabled());
    dialog->hide();
    dialog->show();
    EXPECT_EQ(dialog->Name(), Program() + "Pictavo1.scr");
    EXPECT_EQ(dialog->Progress()->value(), 0);

    // Browse: the mode's filter; a cancelled dialog keeps the name, a chosen one is taken.
    dialog->Browse();
    EXPECT_EQ(m_dialogs.LastFilter(), "Screensaver (*.scr)");
    EXPECT_EQ(dialog->Name(), Program() + "Pictavo1.scr");
    dialog->SetMode(PackMode::Application);
    m_dialogs.QueueFile(Out() + "chosen.exe");
    dialog->Browse();
    EXPECT_EQ(m_dialogs.LastFilter(), "Application (*.exe)");
    EXPECT_EQ(dialog->Name(), Out() + "chosen.exe");
    EXPECT_EQ(dialog->NameToolTip(), Out() + "chosen.exe");
}

TEST_F(PackDialogTest, MakeReportsTheWrittenFilesRealSize) {
    auto dialog = Dialog();
    const QString target = Out() + "show.EXE";
    ASSERT_TRUE(MakeAs(*dialog, target));
    const QString built = target + ".exe";  // ".EXE" is not the extension
    ASSERT_TRUE(QFile::exists(built));
    ASSERT_FALSE(m_dialogs.Shown().isEmpty());
    EXPECT_EQ(m_dialogs.Shown().back(),
              QString::fromStdString(pack::SizeMessage(QFileInfo(built).size())));
    EXPECT_EQ(dialog->StateText(), "Ready");

    // A build that fails says why and leaves "Test" off.
    dialog->SetShow((Root() + "nowhere/pictavo-show").toStdString(), [&] {
        m_settings.WriteStartDefaults();
        return project::BuildSettingsBlock(m_settings, {(Root() + "pics/a.jpg").toStdString()},
                                           {"1"}, {});
    }());
    ASSERT_TRUE(MakeAs(*dialog, Out() + "failed.exe"));
    EXPECT_TRUE(m_dialogs.Shown().back().contains("pictavo-show"));
    EXPECT_TRUE(m_dialogs.Shown().back().contains("missing beside the program"));
    EXPECT_FALSE(dialog->TestEnabled());
    EXPECT_FALSE(QFile::exists(Out() + "failed.exe"));
}

TEST_F(PackDialogTest, TestStartsTheNameAsOneArgument) {
    auto dialog = Dialog();
    const QString spaced = Out() + "my show.exe";
    ASSERT_TRUE(MakeAs(*dialog, spaced));
    dialog->Test();
    dialog->SetMode(PackMode::ScreenSaver);
    dialog->Test();
    m_launchFails = true;
    dialog->Test();
    EXPECT_EQ(m_launched,
              QStringList({spaced + "|", Out() + "my show.scr|/s", Out() + "my show.scr|/s"}));
    EXPECT_EQ(m_dialogs.Shown().back(),
              "Cannot start \"" + Out() + "my show.scr\". No such file or directory");

    // The real launcher reports why a program does not start.
    QString error;
    EXPECT_FALSE(pack::StartDetached(Out() + "missing.exe", {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(PackDialogTest, CloseDuringABuildCancelsItAndLeavesNoFile) {
    auto dialog = Dialog();
    // Pictures enough that the build is still running when "Close" is pressed; closing
    // undoes even a build that finished first, so the outcome does not depend on timing.
    m_settings.WriteStartDefaults();
    core::StringList pictures;
    const std::string big = Picture("big.bmp", Qt::gray).toStdString();
    for (int i = 0; i < 200; ++i) pictures.push_back(big);
    dialog->SetShow(pack::FindShowPlayer(Program().toStdString()),
                    project::BuildSettingsBlock(m_settings, pictures, {"1"}, {}));
    const int messages = m_dialogs.Shown().size();
    dialog->SetName(Out() + "cancelled.exe");
    dialog->Make();
    ASSERT_TRUE(dialog->Building());
    dialog->reject();
    EXPECT_TRUE(dialog->isVisible());  // until the worker has stopped
    ASSERT_TRUE(WaitForBuild(*dialog));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDir(Out()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(m_dialogs.Shown().size(), messages);  // no size message, no error
}

TEST_F(PackDialogTest, EditorPacksTheSavedShowLikeTheCommandLine) {
    auto editor = Editor();
    const QString project = Root() + "show.orv";
    m_dialogs.QueueFile(Root() + "show");  // the save asks for a name; ".orv" is added
    const bool opened =
        RunPackCommand(*editor, Action(*editor, "Create EXE-File"), [&](PackDialog& dialog) {
            EXPECT_EQ(dialog.Mode(), PackMode::Application);
            EXPECT_TRUE(MakeAs(dialog, Out() + "editor.exe"));
        });
    ASSERT_TRUE(opened);
    ASSERT_TRUE(QFile::exists(project));
    EXPECT_FALSE(editor->Model().Modified());

    const QString cli = QString(PICTAVO_CLI) + " pack '" + project + "' '" + Out() +
                        "cli.exe' --stub '" + Program() + "pictavo-show' > /dev/null";
    ASSERT_EQ(std::system(cli.toLocal8Bit().constData()), 0);
    const QByteArray packed = ReadAll(Out() + "editor.exe");
    EXPECT_GT(packed.size(), 1000);
    EXPECT_EQ(packed, ReadAll(Out() + "cli.exe"));

    // F8 selects the screen saver mode.
    EXPECT_TRUE(RunPackCommand(
        *editor, Action(*editor, "Create Screen Saver"),
        [&](PackDialog& dialog) { EXPECT_EQ(dialog.Name(), Program() + "Pictavo1.scr"); }));
}

TEST_F(PackDialogTest, CancelledSaveOpensNoDialog) {
    auto editor = Editor();
    m_dialogs.QueueFile(std::nullopt);  // the save dialog is cancelled
    EXPECT_FALSE(RunPackCommand(*editor, Action(*editor, "Create EXE-File"), {}));
    EXPECT_EQ(m_dialogs.FileDialogsShown(), 1);
    EXPECT_TRUE(editor->Model().Modified());
}

}  // namespace
