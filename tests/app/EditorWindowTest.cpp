#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <ostream>

#include "app/EditorTestBase.h"
#include "app/EditorWindow.h"
#include "app/FilePane.h"
#include "core/StringList.h"
#include "platform/FileTypeRegistration.h"
#include "support/ScriptedDialogs.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using app::AddKind;
using app::EditorWindow;
using platform::Button;
using Up = app::MoveDirection;

class EditorWindowTest : public EditorTestBase {
protected:
    void Write(const QString& name, const core::StringList& lines, QString folder = {}) {
        core::SaveStringList(((folder.isEmpty() ? Program() : folder) + name).toStdString(), lines);
    }
    core::StringList Read(const QString& path) { return core::LoadStringList(path.toStdString()); }

    std::unique_ptr<EditorWindow> Start(QStringList arguments = {}) {
        auto editor = std::make_unique<EditorWindow>(Environment(std::move(arguments)));
        editor->OnFirstShow();
        return editor;
    }

    // A small real picture, so the preview has something to show.
    QString Picture(const QString& name) {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const bool jpeg = name.endsWith(".jpg", Qt::CaseInsensitive) ||
                          name.endsWith(".jpeg", Qt::CaseInsensitive);
        EXPECT_TRUE(image.save(Pics() + name, jpeg ? "JPEG" : "BMP"));
        return Pics() + name;
    }

    // An editor whose pane shows the picture folder and whose list holds `count` pictures.
    std::unique_ptr<EditorWindow> StartWithPictures(int count) {
        auto editor = Start();
        editor->SetPaneFolder(Pics());
        QStringList paths;
        for (int i = 1; i <= count; ++i) paths << Picture(QString("p%1.bmp").arg(i));
        editor->AddPictures(paths, AddKind::All);
        return editor;
    }
};

// The title as the window shows it: Qt's "[*]" placeholder becomes "*" while modified.
QString Title(const EditorWindow& editor) {
    QString title = editor.windowTitle();
    return title.replace("[*]", editor.isWindowModified() ? "*" : "");
}

QStringList MenuCaptions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions()) captions << action->text();
    return captions;
}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

TEST_F(EditorWindowTest, SevenRecentFoldersShowTheLastFiveOldestFirst) {
    core::StringList folders;
    for (int i = 1; i <= 7; ++i) folders.push_back(QString("/f%1/").arg(i).toStdString());
    Write("dires.lst", folders);
    auto editor = Start();
    EXPECT_EQ(MenuCaptions(editor->RecentFoldersMenu()),
              QStringList({"/f3/", "/f4/", "/f5/", "/f6/", "/f7/"}));
    EXPECT_EQ(editor->Model().RecentFolders(),
              core::StringList(folders.begin() + 2, folders.end()));
    EXPECT_EQ(Read(Program() + "dires.lst").size(), 7u);  // untouched until a folder is recorded

    // A recorded folder is appended to the five kept.
    editor->SetPaneFolder(Pics());
    editor->AddPictures({Picture("a.bmp")}, AddKind::Selected);
    core::StringList written = Read(Program() + "dires.lst");
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written.front(), "/f3/");
    EXPECT_EQ(written.back(), Pics().toStdString());
}

TEST_F(EditorWindowTest, FreshInstallationStartsInDocumentsAndRecordsTheFirstFolder) {
    Write("dires.lst", {"Empty"});
    Write("dir.lst", {(Root() + "work/").toStdString()});
    auto editor = Start();
    EXPECT_EQ(MenuCaptions(editor->RecentFoldersMenu()), QStringList({"Empty"}));
    editor->RecentFoldersMenu()->actions().front()->trigger();  // does nothing
    EXPECT_EQ(editor->PaneFolder(), Root() + "docs/");

    // Later activations change nothing.
    editor->SetPaneFolder(Pics());
    editor->OnFirstShow();
    EXPECT_EQ(editor->PaneFolder(), Pics());

    editor->AddPictures({Picture("a.bmp"), Picture("b.bmp")}, AddKind::Selected);
    EXPECT_EQ(Read(Program() + "dires.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorWindowTest, RecentFolderEntryOpensItsFolderAndClearHidesEntries) {
    Write("dires.lst", {Pics().toStdString(), (Root() + "work/").toStdString()});
    Write("dir.lst", {(Root() + "docs/").toStdString()});
    auto editor = Start();
    EXPECT_EQ(editor->PaneFolder(), Root() + "docs/");
    editor->RecentFoldersMenu()->actions().at(1)->trigger();
    EXPECT_EQ(editor->PaneFolder(), Root() + "work/");

    Write("dires.lst", {"Clear", "/a/"});
    EXPECT_EQ(MenuCaptions(Start()->RecentFoldersMenu()), QStringList({"Empty"}));
}

TEST_F(EditorWindowTest, PreviewSettingIsExactlyPre) {
    struct Row {
        core::StringList sopt;
        bool shown;
    };
    for (const Row& row : {Row{{"Pre", "No"}, true}, Row{{"pre", "No"}, false},
                           Row{{"Not", "No"}, false}, Row{{"Pre "}, false}}) {
        Write("SOPT.lst", row.sopt);
        auto editor = Start();
        EXPECT_EQ(editor->PreviewShown(), row.shown) << row.sopt[0];
        EXPECT_EQ(Title(*editor), "Pictavo Pro 1.45");
    }
}

TEST_F(EditorWindowTest, MissingShortOrOddSettingsFilesMeanDefaults) {
    auto plain = Start();  // no settings files at all
    EXPECT_TRUE(plain->PreviewShown());
    EXPECT_EQ(Title(*plain), "Pictavo Pro 1.45");
    EXPECT_EQ(plain->Model().Settings().Slots(), settings::StartDefaults());

    const core::StringList junk = {std::string("\0\xff\x01garbage", 10), "", "C:\\nowhere\\"};
    for (const char* name : {"SOPT.lst", "dires.lst", "dir.lst"}) Write(name, junk);
    auto odd = Start();  // a start project that does not exist only shows a message
    EXPECT_EQ(Title(*odd), "Pictavo Pro 1.45");
    EXPECT_TRUE(odd->Pictures().isEmpty());
    for (const char* name : {"SOPT.lst", "dires.lst", "dir.lst"}) Write(name, {});
    EXPECT_EQ(MenuCaptions(Start()->RecentFoldersMenu()), QStringList({"Empty"}));
}

TEST_F(EditorWindowTest, ReadOnlyProgramFolderKeepsSettingsInTheConfigurationFolder) {
    auto environment = Environment();
    environment.programFolder = Root() + "not-there/";
    Write("dires.lst", {"Empty"}, Root() + "config/");
    {
        EditorWindow editor(environment);
        editor.OnFirstShow();
        editor.SetPaneFolder(Pics());
        editor.AddPictures({Picture("a.bmp")}, AddKind::Selected);
        m_dialogs.QueueAnswer(Button::No);
        EXPECT_TRUE(editor.ConfirmClose());
    }
    EXPECT_EQ(Read(Root() + "config/dires.lst"), core::StringList({Pics().toStdString()}));
    EXPECT_EQ(Read(Root() + "config/SOPT.lst"), core::StringList({"Pre", "No"}));
    EXPECT_EQ(Read(Root() + "config/dir.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorWindowTest, FirstStartRegistersTheProjectFileTypeOnce) {
    QFile::remove(Program() + "ORVFIRST");
    Start();
    const QString desktop = Root() + "data/applications/pictavo.desktop";
    ASSERT_TRUE(QFileInfo::exists(desktop));
    EXPECT_TRUE(QFileInfo::exists(Root() + "data/mime/packages/pictavo-orv.xml"));
    EXPECT_TRUE(QFileInfo::exists(Program() + "ORVFIRST"));
    QFile file(desktop);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(("Exec=\"" + Program() + "pictavo\" %f").toUtf8()));

    QFile::remove(desktop);
    Start();
    EXPECT_FALSE(QFileInfo::exists(desktop));

    // Characters that desktop entries treat specially are escaped.
    ASSERT_TRUE(
        platform::RegisterProjectFileType(R"(/opt/a "b" 100%\c$/pictavo)", Root() + "data"));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(R"(Exec="/opt/a \\"b\\" 100%%\\\\c\\$/pictavo" %f)"));
}

// ---------------------------------------------------------------------------------------
// Picture list

TEST_F(EditorWindowTest, AddTakesOnlyTheExactExtensions) {
    auto editor = Start();
    editor->SetPaneFolder(Pics());
    EXPECT_EQ(editor->StatusText(), "Use double click in order to add pictures");
    QDir().mkpath(Pics() + "sub.jpg");
    const QStringList offered = {Picture("a.jpg"),  Picture("b.Jpg"), Pics() + "sub.jpg/",
                                 Picture("c.JPEG"), Picture("d.gif"), Picture("e.bmp.txt"),
                                 Picture("f.BMP"),  Picture("noext"), Picture("a.jpg")};
    editor->AddPictures(offered, AddKind::Selected);
    EXPECT_EQ(editor->Pictures(),
              QStringList({Pics() + "a.jpg", Pics() + "c.JPEG", Pics() + "d.gif", Pics() + "f.BMP",
                           Pics() + "a.jpg"}));
    EXPECT_EQ(editor->StatusText(), "Counter: 5");
    EXPECT_TRUE(editor->Model().Modified());
    EXPECT_EQ(editor->PreviewPath(), Pics() + "a.jpg");
    EXPECT_EQ(Read(Program() + "dires.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorWindowTest, BrowserPaneFeedsAddAndThePreview) {
    const QString a = Picture("a.bmp"), b = Picture("b.jpg"), c = Picture("c.gif");
    auto editor = Start();
    editor->SetPaneFolder(Pics());
    QListWidget* pane = editor->Pane()->List();
    for (int i = 0; i < pane->count(); ++i)
        pane->item(i)->setSelected(pane->item(i)->text() != "b.jpg");
    editor->AddSelected();
    EXPECT_EQ(editor->Pictures(), QStringList({a, c}));
    EXPECT_TRUE(editor->Pane()->IsCut(a));
    EXPECT_FALSE(editor->Pane()->IsCut(b));
    editor->AddAll();
    EXPECT_EQ(editor->Pictures(), QStringList({a, c, a, b, c}));
    EXPECT_EQ(editor->StatusText(), "Counter: 5");

    editor->PictureList()->setCurrentRow(2);
    editor->PreviewBrowsedFile(b);
    EXPECT_TRUE(editor->PictureList()->selectedItems().isEmpty());
    EXPECT_EQ(editor->PreviewPath(), b);
}

TEST_F(EditorWindowTest, RemoveClearAndTheModifiedFlag) {
    auto editor = StartWithPictures(6);
    editor->PictureList()->clearSelection();
    for (int row : {1, 2, 4}) editor->PictureList()->item(row)->setSelected(true);
    editor->RemoveSelected();
    EXPECT_EQ(editor->Pictures(),
              QStringList({Pics() + "p1.bmp", Pics() + "p4.bmp", Pics() + "p6.bmp"}));
    EXPECT_EQ(editor->StatusText(), "Counter: 3");

    // Even commands that change nothing set the flag.
    m_dialogs.QueueFile(Root() + "work/x");
    ASSERT_TRUE(editor->SaveProject());
    EXPECT_FALSE(editor->Model().Modified());
    editor->PictureList()->clearSelection();
    editor->RemoveSelected();
    EXPECT_TRUE(editor->Model().Modified());

    editor->ClearPictures();
    EXPECT_TRUE(editor->Pictures().isEmpty());
    EXPECT_EQ(editor->StatusText(), "Counter: 0");
    EXPECT_TRUE(editor->PreviewPath().isEmpty());
}

TEST_F(EditorWindowTest, MovesStopAtTheEndsAndDoNotModify) {
    auto editor = StartWithPictures(3);
    m_dialogs.QueueFile(Root() + "work/moved");
    ASSERT_TRUE(editor->SaveProject());
    QListWidget* list = editor->PictureList();
    const QString p1 = Pics() + "p1.bmp", p2 = Pics() + "p2.bmp", p3 = Pics() + "p3.bmp";

    list->setCurrentRow(0);
    editor->MovePicture(Up::Up);  // the first entry cannot move up
    EXPECT_EQ(editor->Pictures(), QStringList({p1, p2, p3}));
    editor->MovePicture(Up::Down);
    EXPECT_EQ(editor->Pictures(), QStringList({p2, p1, p3}));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(1)->isSelected());
    editor->MovePicture(Up::Down);
    editor->MovePicture(Up::Down);  // already last
    EXPECT_EQ(editor->Pictures(), QStringList({p2, p3, p1}));
    EXPECT_FALSE(editor->Model().Modified());
    EXPECT_TRUE(editor->ConfirmClose());  // asks nothing
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());

    // At the top of the control's range another up press changes no position, so it
    // moves nothing until a down press has been made.
    for (int i = 0; i < 2002; ++i) editor->MovePicture(Up::Up);
    list->setCurrentRow(2);
    editor->MovePicture(Up::Up);
    EXPECT_EQ(list->currentRow(), 2);
    editor->MovePicture(Up::Down);
    editor->MovePicture(Up::Up);
    EXPECT_EQ(list->currentRow(), 1);
}

// ---------------------------------------------------------------------------------------
// Project commands

TEST_F(EditorWindowTest, SaveAsTripThenOpenTrip) {
    auto editor = StartWithPictures(2);
    EXPECT_EQ(Title(*editor), "Pictavo Pro 1.45*");
    m_dialogs.QueueFile(Root() + "work/trip");
    editor->SaveProjectAs();
    EXPECT_TRUE(QFileInfo::exists(Root() + "work/trip.orv"));
    EXPECT_EQ(Title(*editor), "Pictavo Pro - trip");
    EXPECT_EQ(editor->Model().ApplicationTitle(), "trip - Pictavo Pro");
    EXPECT_FALSE(editor->Model().Modified());

    // A typed extension is not doubled.
    m_dialogs.QueueFile(Root() + "work/trip.orv");
    editor->SaveProjectAs();
    EXPECT_FALSE(QFileInfo::exists(Root() + "work/trip.orv.orv"));
    EXPECT_EQ(Title(*editor), "Pictavo Pro - trip");

    auto other = Start();
    m_dialogs.QueueFile(Root() + "work/trip.orv");
    other->OpenProject();
    EXPECT_EQ(Title(*other), "Pictavo Pro - trip");
    EXPECT_EQ(other->Model().ApplicationTitle(), "trip - Pictavo Pro");
    EXPECT_EQ(other->Model().OpenName(), Root() + "work/trip.orv");
    EXPECT_TRUE(other->Model().SaveName().isEmpty());
    EXPECT_EQ(other->Pictures(), editor->Pictures());
    EXPECT_EQ(other->StatusText(), "Counter: 2");
    EXPECT_EQ(other->PreviewPath(), Pics() + "p1.bmp");

    // Save now writes to the opened file without asking.
    other->ClearPictures();
    other->SetPaneFolder(Pics());
    other->AddPictures({Pics() + "p2.bmp"}, AddKind::Selected);
    EXPECT_TRUE(other->SaveProject());
    EXPECT_EQ(m_dialogs.FileDialogsShown(), 3);
    EXPECT_EQ(Start({Root() + "work/trip.orv"})->Pictures(), QStringList({Pics() + "p2.bmp"}));
}

TEST_F(EditorWindowTest, CancelledSaveDialogsWriteNothingAndKeepTheFlag) {
    auto editor = StartWithPictures(2);
    m_dialogs.QueueFile(std::nullopt);
    EXPECT_FALSE(editor->SaveProject());
    EXPECT_TRUE(editor->Model().Modified());
    m_dialogs.QueueFile(std::nullopt);
    editor->SaveProjectAs();
    EXPECT_TRUE(editor->Model().Modified());
    EXPECT_EQ(Title(*editor), "Pictavo Pro 1.45*");
    EXPECT_TRUE(QDir(Root() + "work").isEmpty());
}

TEST_F(EditorWindowTest, OpeningSomethingElseKeepsTheProject) {
    auto editor = StartWithPictures(2);
    Write("bad.orv", {"not", "a", "project"}, Root() + "work/");
    m_dialogs.QueueFile(Root() + "work/bad.orv");
    editor->OpenProject();
    EXPECT_EQ(m_dialogs.Shown().size(), 1);
    EXPECT_EQ(editor->Pictures().size(), 2);
    EXPECT_TRUE(editor->Model().Modified());
    EXPECT_TRUE(editor->Model().OpenName().isEmpty());
}

TEST_F(EditorWindowTest, OpenAsksBeforeItsDialogAndCancelKeepsTheProject) {
    auto editor = StartWithPictures(2);
    m_dialogs.QueueAnswer(Button::Cancel);
    editor->OpenProject();
    EXPECT_EQ(m_dialogs.Shown(),
              QStringList({"Save the changes to \"Untitled project\" before opening another "
                           "project?"}));
    EXPECT_EQ(m_dialogs.FileDialogsShown(), 0);
    EXPECT_EQ(editor->Pictures().size(), 2);
    EXPECT_TRUE(editor->Model().Modified());

    // No: the open dialog follows and the opened project replaces the list.
    Write("one.orv",
          {"2", "80", "Random", "No music", "$00D5E7EA_clWhite", "Loop", "Color", "Tile", "No",
           "Shadow", (Pics() + "p2.bmp").toStdString(), "[TRANS]", "1", "[MUSIC]"},
          Root() + "work/");
    m_dialogs.QueueAnswer(Button::No);
    m_dialogs.QueueFile(Root() + "work/one.orv");
    editor->OpenProject();
    EXPECT_EQ(editor->Pictures(), QStringList({Pics() + "p2.bmp"}));
    EXPECT_EQ(Title(*editor), "Pictavo Pro - one");
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorWindowTest, NewAnswers) {
    {  // unmodified: reset without asking
        auto editor = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "work/kept");
        ASSERT_TRUE(editor->SaveProject());
        editor->NewProject();
        EXPECT_TRUE(m_dialogs.Shown().isEmpty());
        EXPECT_TRUE(editor->Pictures().isEmpty());
        EXPECT_EQ(Title(*editor), "Pictavo Pro - Untitled project");
        EXPECT_EQ(editor->Model().ApplicationTitle(), "Pictavo Pro");
        EXPECT_EQ(editor->StatusText(), "Counter: 0");
        EXPECT_TRUE(editor->Model().SaveName().isEmpty());
    }
    {  // Cancel changes nothing, names included: the next Save asks for no name
        auto editor = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "work/named");
        ASSERT_TRUE(editor->SaveProject());
        editor->AddPictures({Pics() + "p1.bmp"}, AddKind::Selected);
        EXPECT_EQ(Title(*editor), "Pictavo Pro - named*");
        m_dialogs.QueueAnswer(Button::Cancel);
        editor->NewProject();
        EXPECT_EQ(m_dialogs.Shown().back(),
                  "Save the changes to \"named\" before starting a new project?");
        EXPECT_EQ(editor->Pictures().size(), 3);
        EXPECT_EQ(editor->Model().SaveName(), Root() + "work/named");
        EXPECT_EQ(Title(*editor), "Pictavo Pro - named*");
        const int fileDialogs = m_dialogs.FileDialogsShown();
        EXPECT_TRUE(editor->SaveProject());
        EXPECT_EQ(m_dialogs.FileDialogsShown(), fileDialogs);
        EXPECT_EQ(Title(*editor), "Pictavo Pro - named");
    }
    {  // Yes, then the save dialog cancelled: nothing is lost or written
        auto editor = StartWithPictures(2);
        m_dialogs.QueueAnswer(Button::Yes);
        m_dialogs.QueueFile(std::nullopt);
        editor->NewProject();
        EXPECT_EQ(editor->Pictures().size(), 2);
        EXPECT_TRUE(editor->Model().Modified());
    }
    {  // No resets
        auto editor = StartWithPictures(2);
        m_dialogs.QueueAnswer(Button::No);
        editor->NewProject();
        EXPECT_TRUE(editor->Pictures().isEmpty());
    }
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorWindowTest, CloseQueryPaths) {
    Write("SOPT.lst", {"Pre", "No"});
    Write("dir.lst", {"/start/", "kept line"});
    const core::StringList untouched = Read(Program() + "SOPT.lst");

    EXPECT_TRUE(Start()->ConfirmClose());  // empty list: asks nothing, writes nothing
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());

    auto editor = StartWithPictures(1);
    m_dialogs.QueueAnswer(Button::Cancel);
    EXPECT_FALSE(editor->ConfirmClose());
    m_dialogs.QueueAnswer(Button::Yes);
    m_dialogs.QueueFile(std::nullopt);
    EXPECT_FALSE(editor->ConfirmClose());  // a cancelled save keeps the window open
    EXPECT_EQ(Read(Program() + "SOPT.lst"), untouched);

    m_dialogs.QueueAnswer(Button::Yes);
    m_dialogs.QueueFile(Root() + "work/closing");
    EXPECT_TRUE(editor->ConfirmClose());
    EXPECT_TRUE(QFileInfo::exists(Root() + "work/closing.orv"));
    EXPECT_EQ(Read(Program() + "SOPT.lst"),
              core::StringList({"Pre", (Root() + "work/closing.orv").toStdString()}));
    EXPECT_EQ(Read(Program() + "dir.lst"), core::StringList({Pics().toStdString(), "kept line"}));

    Write("SOPT.lst", {"Pre", "No"});
    auto other = StartWithPictures(1);
    other->SetPreviewVisible(false);
    m_dialogs.QueueAnswer(Button::No);
    EXPECT_TRUE(other->ConfirmClose());
    EXPECT_EQ(Read(Program() + "SOPT.lst"), core::StringList({"Not", "No"}));
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorWindowTest, StartProjectFromJoinedArgumentsOrSettings) {
    QDir().mkpath(Root() + "my trips");
    {
        auto editor = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "my trips/summer 2024");
        ASSERT_TRUE(editor->SaveProject());
    }
    const QString path = Root() + "my trips/summer 2024.orv";
    auto opened = Start({Root() + "my", "trips/summer", "2024.orv"});
    EXPECT_EQ(opened->Model().OpenName(), path);
    EXPECT_EQ(Title(*opened), "Pictavo Pro - summer 2024");
    EXPECT_EQ(opened->StatusText(), "Counter: 2");

    Write("SOPT.lst", {"Pre", path.toStdString()});
    EXPECT_EQ(Title(*Start()), "Pictavo Pro - summer 2024");
    Write("SOPT.lst", {"Pre", "No"});
    EXPECT_EQ(Title(*Start()), "Pictavo Pro 1.45");
}

TEST_F(EditorWindowTest, ProjectMadeSavedClosedAndReopenedComesBackTheSame) {
    QStringList pictures;
    {
        auto editor = StartWithPictures(4);
        editor->PictureList()->setCurrentRow(3);
        editor->MovePicture(Up::Up);
        pictures = editor->Pictures();
        m_dialogs.QueueAnswer(Button::Yes);
        m_dialogs.QueueFile(Root() + "work/round");
        ASSERT_TRUE(editor->ConfirmClose());
    }
    auto reopened = Start();  // the start project comes from SOPT.lst
    EXPECT_EQ(reopened->Model().OpenName(), Root() + "work/round.orv");
    EXPECT_EQ(reopened->Pictures(), pictures);
    EXPECT_EQ(reopened->Model().Settings().Slots(), settings::StartDefaults());
    EXPECT_FALSE(reopened->Model().Modified());
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Play Now

TEST_F(EditorWindowTest, PlayNowPlaysTheListModallyAndEmptyListOnlyHidesTheShadow) {
    auto editor = StartWithPictures(2);
    player::PlayerWindow* show = editor->Player();
    QStringList captions;
    show->OnStepEnd = [&] { captions << show->CaptionBar()->text(); };
    // Once the player shows a picture, step on and then leave with Escape.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!show->Running() || captions.isEmpty()) return;
        show->HandleKey(captions.size() == 1 ? Qt::Key_Right : Qt::Key_Escape);
    });
    poll.start();
    editor->PlayNow();
    EXPECT_EQ(captions, (QStringList{"1. p1.bmp", "2. p2.bmp"}));
    EXPECT_FALSE(show->isVisible());

    editor->ClearPictures();  // Clear
    show->Shadow()->show();
    editor->PlayNow();
    EXPECT_FALSE(show->Shadow()->isVisibleTo(show));
    EXPECT_FALSE(show->Running());
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());
}

}  // namespace
