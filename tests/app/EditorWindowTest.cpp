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

#include "app/FilePane.h"
#include "app/TForm1.h"
#include "core/StringList.h"
#include "platform/Dialogs.h"
#include "platform/FileTypeRegistration.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using platform::Button;
using Up = TForm1::UpDownButton;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        for (const char* folder : {"program", "docs", "data", "config", "pics", "work"})
            QDir().mkpath(Root() + folder);
        // Registration has its own test; the others start as an installed program.
        Write("ORVFIRST", {});
    }

    QString Root() const { return m_temp.path() + "/"; }
    QString Program() const { return Root() + "program/"; }
    QString Pics() const { return Root() + "pics/"; }

    void Write(const QString& name, const core::StringList& lines, QString folder = {}) {
        core::SaveStringList(((folder.isEmpty() ? Program() : folder) + name).toStdString(), lines);
    }
    core::StringList Read(const QString& path) { return core::LoadStringList(path.toStdString()); }

    TForm1::Environment Environment(QStringList arguments = {}) {
        TForm1::Environment environment;
        environment.programFolder = Program();
        environment.fallbackFolder = Root() + "config/";
        environment.dataHome = Root() + "data";
        environment.documentsFolder = Root() + "docs/";
        environment.executable = Program() + "pictavo";
        environment.arguments = std::move(arguments);
        environment.dialogs = &m_dialogs;
        return environment;
    }

    std::unique_ptr<TForm1> Start(QStringList arguments = {}) {
        auto form = std::make_unique<TForm1>(Environment(std::move(arguments)));
        form->FormActivate();
        return form;
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

    // A form whose pane shows the picture folder and whose list holds `count` pictures.
    std::unique_ptr<TForm1> StartWithPictures(int count) {
        auto form = Start();
        form->SetPaneFolder(Pics());
        QStringList paths;
        for (int i = 1; i <= count; ++i) paths << Picture(QString("p%1.bmp").arg(i));
        form->AddPictures(paths, TForm1::AddKind::All);
        return form;
    }

    QTemporaryDir m_temp;
    platform::ScriptedDialogs m_dialogs;
};

QStringList MenuCaptions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions()) captions << action->text();
    return captions;
}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

TEST_F(EditorTest, SevenRecentFoldersShowTheLastFiveOldestFirst) {
    core::StringList folders;
    for (int i = 1; i <= 7; ++i) folders.push_back(QString("/f%1/").arg(i).toStdString());
    Write("dires.lst", folders);
    auto form = Start();
    EXPECT_EQ(MenuCaptions(form->RecentFoldersMenu()),
              QStringList({"/f3/", "/f4/", "/f5/", "/f6/", "/f7/"}));
    EXPECT_EQ(form->Dires(), core::StringList(folders.begin() + 2, folders.end()));
    EXPECT_EQ(Read(Program() + "dires.lst").size(), 7u);  // untouched until a folder is recorded

    // A recorded folder is appended to the five kept.
    form->SetPaneFolder(Pics());
    form->AddPictures({Picture("a.bmp")}, TForm1::AddKind::Selected);
    core::StringList written = Read(Program() + "dires.lst");
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written.front(), "/f3/");
    EXPECT_EQ(written.back(), Pics().toStdString());
}

TEST_F(EditorTest, FreshInstallationStartsInDocumentsAndRecordsTheFirstFolder) {
    Write("dires.lst", {"Empty"});
    Write("dir.lst", {(Root() + "work/").toStdString()});
    auto form = Start();
    EXPECT_EQ(MenuCaptions(form->RecentFoldersMenu()), QStringList({"Empty"}));
    form->RecentFoldersMenu()->actions().front()->trigger();  // does nothing
    EXPECT_EQ(form->PaneFolder(), Root() + "docs/");

    // Later activations change nothing.
    form->SetPaneFolder(Pics());
    form->FormActivate();
    EXPECT_EQ(form->PaneFolder(), Pics());

    form->AddPictures({Picture("a.bmp"), Picture("b.bmp")}, TForm1::AddKind::Selected);
    EXPECT_EQ(Read(Program() + "dires.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorTest, RecentFolderEntryOpensItsFolderAndClearHidesEntries) {
    Write("dires.lst", {Pics().toStdString(), (Root() + "work/").toStdString()});
    Write("dir.lst", {(Root() + "docs/").toStdString()});
    auto form = Start();
    EXPECT_EQ(form->PaneFolder(), Root() + "docs/");
    form->RecentFoldersMenu()->actions().at(1)->trigger();
    EXPECT_EQ(form->PaneFolder(), Root() + "work/");

    Write("dires.lst", {"Clear", "/a/"});
    EXPECT_EQ(MenuCaptions(Start()->RecentFoldersMenu()), QStringList({"Empty"}));
}

TEST_F(EditorTest, PreviewSettingIsExactlyPre) {
    struct Row {
        core::StringList sopt;
        bool shown;
    };
    for (const Row& row : {Row{{"Pre", "No"}, true}, Row{{"pre", "No"}, false},
                           Row{{"Not", "No"}, false}, Row{{"Pre "}, false}}) {
        Write("SOPT.lst", row.sopt);
        auto form = Start();
        EXPECT_EQ(form->PreviewShown(), row.shown) << row.sopt[0];
        EXPECT_EQ(form->windowTitle(), "Pictavo Pro 1.45");
    }
}

TEST_F(EditorTest, MissingShortOrOddSettingsFilesMeanDefaults) {
    auto plain = Start();  // no settings files at all
    EXPECT_TRUE(plain->PreviewShown());
    EXPECT_EQ(plain->windowTitle(), "Pictavo Pro 1.45");
    EXPECT_EQ(plain->OptList().Slots(), settings::StartDefaults());

    const core::StringList junk = {std::string("\0\xff\x01garbage", 10), "", "C:\\nowhere\\"};
    for (const char* name : {"SOPT.lst", "dires.lst", "dir.lst"}) Write(name, junk);
    auto odd = Start();  // a start project that does not exist only shows a message
    EXPECT_EQ(odd->windowTitle(), "Pictavo Pro 1.45");
    EXPECT_TRUE(odd->Pictures().isEmpty());
    for (const char* name : {"SOPT.lst", "dires.lst", "dir.lst"}) Write(name, {});
    EXPECT_EQ(MenuCaptions(Start()->RecentFoldersMenu()), QStringList({"Empty"}));
}

TEST_F(EditorTest, ReadOnlyProgramFolderKeepsSettingsInTheConfigurationFolder) {
    auto environment = Environment();
    environment.programFolder = Root() + "not-there/";
    Write("dires.lst", {"Empty"}, Root() + "config/");
    {
        TForm1 form(environment);
        form.FormActivate();
        form.SetPaneFolder(Pics());
        form.AddPictures({Picture("a.bmp")}, TForm1::AddKind::Selected);
        m_dialogs.QueueAnswer(Button::No);
        EXPECT_TRUE(form.FormCloseQuery());
    }
    EXPECT_EQ(Read(Root() + "config/dires.lst"), core::StringList({Pics().toStdString()}));
    EXPECT_EQ(Read(Root() + "config/SOPT.lst"), core::StringList({"Pre", "No"}));
    EXPECT_EQ(Read(Root() + "config/dir.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorTest, FirstStartRegistersTheProjectFileTypeOnce) {
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

TEST_F(EditorTest, AddTakesOnlyTheExactExtensions) {
    auto form = Start();
    form->SetPaneFolder(Pics());
    EXPECT_EQ(form->StatusText(), "Use double click in order to add pictures");
    QDir().mkpath(Pics() + "sub.jpg");
    const QStringList offered = {Picture("a.jpg"),  Picture("b.Jpg"), Pics() + "sub.jpg/",
                                 Picture("c.JPEG"), Picture("d.gif"), Picture("e.bmp.txt"),
                                 Picture("f.BMP"),  Picture("noext"), Picture("a.jpg")};
    form->AddPictures(offered, TForm1::AddKind::Selected);
    EXPECT_EQ(form->Pictures(), QStringList({Pics() + "a.jpg", Pics() + "c.JPEG", Pics() + "d.gif",
                                             Pics() + "f.BMP", Pics() + "a.jpg"}));
    EXPECT_EQ(form->StatusText(), "Counter: 5");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->PreviewPath(), Pics() + "a.jpg");
    EXPECT_EQ(Read(Program() + "dires.lst"), core::StringList({Pics().toStdString()}));
}

TEST_F(EditorTest, BrowserPaneFeedsAddAndThePreview) {
    const QString a = Picture("a.bmp"), b = Picture("b.jpg"), c = Picture("c.gif");
    auto form = Start();
    form->SetPaneFolder(Pics());
    QListWidget* pane = form->FLB()->List();
    for (int i = 0; i < pane->count(); ++i)
        pane->item(i)->setSelected(pane->item(i)->text() != "b.jpg");
    form->ToolButton6Click();
    EXPECT_EQ(form->Pictures(), QStringList({a, c}));
    EXPECT_TRUE(form->FLB()->IsCut(a));
    EXPECT_FALSE(form->FLB()->IsCut(b));
    form->ToolButton8Click();
    EXPECT_EQ(form->Pictures(), QStringList({a, c, a, b, c}));
    EXPECT_EQ(form->StatusText(), "Counter: 5");

    form->PictureList()->setCurrentRow(2);
    form->FLBClick(b);
    EXPECT_TRUE(form->PictureList()->selectedItems().isEmpty());
    EXPECT_EQ(form->PreviewPath(), b);
}

TEST_F(EditorTest, RemoveClearAndTheModifiedFlag) {
    auto form = StartWithPictures(6);
    form->PictureList()->clearSelection();
    for (int row : {1, 2, 4}) form->PictureList()->item(row)->setSelected(true);
    form->ToolButton7Click();
    EXPECT_EQ(form->Pictures(),
              QStringList({Pics() + "p1.bmp", Pics() + "p4.bmp", Pics() + "p6.bmp"}));
    EXPECT_EQ(form->StatusText(), "Counter: 3");

    // Even commands that change nothing set the flag.
    m_dialogs.QueueFile(Root() + "work/x");
    ASSERT_TRUE(form->ToolButton3Click());
    EXPECT_FALSE(form->Modified());
    form->PictureList()->clearSelection();
    form->ToolButton7Click();
    EXPECT_TRUE(form->Modified());

    form->ToolButton9Click();
    EXPECT_TRUE(form->Pictures().isEmpty());
    EXPECT_EQ(form->StatusText(), "Counter: 0");
    EXPECT_TRUE(form->PreviewPath().isEmpty());
}

TEST_F(EditorTest, MovesStopAtTheEndsAndDoNotModify) {
    auto form = StartWithPictures(3);
    m_dialogs.QueueFile(Root() + "work/moved");
    ASSERT_TRUE(form->ToolButton3Click());
    QListWidget* list = form->PictureList();
    const QString p1 = Pics() + "p1.bmp", p2 = Pics() + "p2.bmp", p3 = Pics() + "p3.bmp";

    list->setCurrentRow(0);
    form->UpDown1Click(Up::Up);  // the first entry cannot move up
    EXPECT_EQ(form->Pictures(), QStringList({p1, p2, p3}));
    form->UpDown1Click(Up::Down);
    EXPECT_EQ(form->Pictures(), QStringList({p2, p1, p3}));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(1)->isSelected());
    form->UpDown1Click(Up::Down);
    form->UpDown1Click(Up::Down);  // already last
    EXPECT_EQ(form->Pictures(), QStringList({p2, p3, p1}));
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(form->FormCloseQuery());  // asks nothing
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());

    // At the top of the control's range another up press changes no position, so it
    // moves nothing until a down press has been made.
    for (int i = 0; i < 2002; ++i) form->UpDown1Click(Up::Up);
    list->setCurrentRow(2);
    form->UpDown1Click(Up::Up);
    EXPECT_EQ(list->currentRow(), 2);
    form->UpDown1Click(Up::Down);
    form->UpDown1Click(Up::Up);
    EXPECT_EQ(list->currentRow(), 1);
}

// ---------------------------------------------------------------------------------------
// Project commands

TEST_F(EditorTest, SaveAsTripThenOpenTrip) {
    auto form = StartWithPictures(2);
    m_dialogs.QueueFile(Root() + "work/trip");
    form->ToolButton4Click();
    EXPECT_TRUE(QFileInfo::exists(Root() + "work/trip.orv"));
    EXPECT_EQ(form->windowTitle(), "Pictavo Pro - trip");
    EXPECT_EQ(form->ApplicationTitle(), "trip - Pictavo Pro");
    EXPECT_FALSE(form->Modified());

    m_dialogs.QueueFile(Root() + "work/trip.orv");
    form->ToolButton4Click();
    EXPECT_TRUE(QFileInfo::exists(Root() + "work/trip.orv.orv"));

    auto other = Start();
    m_dialogs.QueueFile(Root() + "work/trip.orv");
    other->ToolButton2Click();
    EXPECT_EQ(other->windowTitle(), "Pictavo Pro - trip");
    EXPECT_EQ(other->ApplicationTitle(), "trip - Pictavo Pro");
    EXPECT_EQ(other->OpenName(), Root() + "work/trip.orv");
    EXPECT_TRUE(other->SaveName().isEmpty());
    EXPECT_EQ(other->Pictures(), form->Pictures());
    EXPECT_EQ(other->StatusText(), "Counter: 2");
    EXPECT_EQ(other->PreviewPath(), Pics() + "p1.bmp");

    // Save now writes to the opened file without asking.
    other->ToolButton9Click();
    other->SetPaneFolder(Pics());
    other->AddPictures({Pics() + "p2.bmp"}, TForm1::AddKind::Selected);
    EXPECT_TRUE(other->ToolButton3Click());
    EXPECT_EQ(m_dialogs.FileDialogsShown(), 3);
    EXPECT_EQ(Start({Root() + "work/trip.orv"})->Pictures(), QStringList({Pics() + "p2.bmp"}));
}

TEST_F(EditorTest, CancelledSaveDialogsWriteNothingAndKeepTheFlag) {
    auto form = StartWithPictures(2);
    m_dialogs.QueueFile(std::nullopt);
    EXPECT_FALSE(form->ToolButton3Click());
    EXPECT_TRUE(form->Modified());
    m_dialogs.QueueFile(std::nullopt);
    form->ToolButton4Click();
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->windowTitle(), "Pictavo Pro 1.45");
    EXPECT_TRUE(QDir(Root() + "work").isEmpty());
}

TEST_F(EditorTest, OpeningSomethingElseKeepsTheProject) {
    auto form = StartWithPictures(2);
    Write("bad.orv", {"not", "a", "project"}, Root() + "work/");
    m_dialogs.QueueFile(Root() + "work/bad.orv");
    form->ToolButton2Click();
    EXPECT_EQ(m_dialogs.Shown().size(), 1);
    EXPECT_EQ(form->Pictures().size(), 2);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->OpenName().isEmpty());
}

TEST_F(EditorTest, NewAnswers) {
    {  // unmodified: reset without asking
        auto form = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "work/kept");
        ASSERT_TRUE(form->ToolButton3Click());
        form->PrevButtonClick();
        EXPECT_TRUE(m_dialogs.Shown().isEmpty());
        EXPECT_TRUE(form->Pictures().isEmpty());
        EXPECT_EQ(form->windowTitle(), "Pictavo Pro - Untitled project");
        EXPECT_EQ(form->ApplicationTitle(), "Pictavo Pro");
        EXPECT_EQ(form->StatusText(), "Counter: 0");
        EXPECT_TRUE(form->SaveName().isEmpty());
    }
    {  // Cancel keeps the pictures but forgets the names
        auto form = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "work/named");
        ASSERT_TRUE(form->ToolButton3Click());
        form->AddPictures({Pics() + "p1.bmp"}, TForm1::AddKind::Selected);
        m_dialogs.QueueAnswer(Button::Cancel);
        form->PrevButtonClick();
        EXPECT_EQ(form->Pictures().size(), 3);
        EXPECT_TRUE(form->SaveName().isEmpty());
        EXPECT_TRUE(form->OpenName().isEmpty());
    }
    {  // Yes, then the save dialog cancelled: nothing is lost or written
        auto form = StartWithPictures(2);
        m_dialogs.QueueAnswer(Button::Yes);
        m_dialogs.QueueFile(std::nullopt);
        form->PrevButtonClick();
        EXPECT_EQ(form->Pictures().size(), 2);
        EXPECT_TRUE(form->Modified());
    }
    {  // No resets
        auto form = StartWithPictures(2);
        m_dialogs.QueueAnswer(Button::No);
        form->PrevButtonClick();
        EXPECT_TRUE(form->Pictures().isEmpty());
    }
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorTest, CloseQueryPaths) {
    Write("SOPT.lst", {"Pre", "No"});
    Write("dir.lst", {"/start/", "kept line"});
    const core::StringList untouched = Read(Program() + "SOPT.lst");

    EXPECT_TRUE(Start()->FormCloseQuery());  // empty list: asks nothing, writes nothing
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());

    auto form = StartWithPictures(1);
    m_dialogs.QueueAnswer(Button::Cancel);
    EXPECT_FALSE(form->FormCloseQuery());
    m_dialogs.QueueAnswer(Button::Yes);
    m_dialogs.QueueFile(std::nullopt);
    EXPECT_FALSE(form->FormCloseQuery());  // a cancelled save keeps the window open
    EXPECT_EQ(Read(Program() + "SOPT.lst"), untouched);

    m_dialogs.QueueAnswer(Button::Yes);
    m_dialogs.QueueFile(Root() + "work/closing");
    EXPECT_TRUE(form->FormCloseQuery());
    EXPECT_TRUE(QFileInfo::exists(Root() + "work/closing.orv"));
    EXPECT_EQ(Read(Program() + "SOPT.lst"),
              core::StringList({"Pre", (Root() + "work/closing.orv").toStdString()}));
    EXPECT_EQ(Read(Program() + "dir.lst"), core::StringList({Pics().toStdString(), "kept line"}));

    Write("SOPT.lst", {"Pre", "No"});
    auto other = StartWithPictures(1);
    other->Prev(false);
    m_dialogs.QueueAnswer(Button::No);
    EXPECT_TRUE(other->FormCloseQuery());
    EXPECT_EQ(Read(Program() + "SOPT.lst"), core::StringList({"Not", "No"}));
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorTest, StartProjectFromJoinedArgumentsOrSettings) {
    QDir().mkpath(Root() + "my trips");
    {
        auto form = StartWithPictures(2);
        m_dialogs.QueueFile(Root() + "my trips/summer 2024");
        ASSERT_TRUE(form->ToolButton3Click());
    }
    const QString path = Root() + "my trips/summer 2024.orv";
    auto opened = Start({Root() + "my", "trips/summer", "2024.orv"});
    EXPECT_EQ(opened->OpenName(), path);
    EXPECT_EQ(opened->windowTitle(), "Pictavo Pro - summer 2024");
    EXPECT_EQ(opened->StatusText(), "Counter: 2");

    Write("SOPT.lst", {"Pre", path.toStdString()});
    EXPECT_EQ(Start()->windowTitle(), "Pictavo Pro - summer 2024");
    Write("SOPT.lst", {"Pre", "No"});
    EXPECT_EQ(Start()->windowTitle(), "Pictavo Pro 1.45");
}

TEST_F(EditorTest, ProjectMadeSavedClosedAndReopenedComesBackTheSame) {
    QStringList pictures;
    {
        auto form = StartWithPictures(4);
        form->PictureList()->setCurrentRow(3);
        form->UpDown1Click(Up::Up);
        pictures = form->Pictures();
        m_dialogs.QueueAnswer(Button::Yes);
        m_dialogs.QueueFile(Root() + "work/round");
        ASSERT_TRUE(form->FormCloseQuery());
    }
    auto reopened = Start();  // the start project comes from SOPT.lst
    EXPECT_EQ(reopened->OpenName(), Root() + "work/round.orv");
    EXPECT_EQ(reopened->Pictures(), pictures);
    EXPECT_EQ(reopened->OptList().Slots(), settings::StartDefaults());
    EXPECT_FALSE(reopened->Modified());
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Play Now

TEST_F(EditorTest, PlayNowPlaysTheListModallyAndEmptyListOnlyHidesTheShadow) {
    auto form = StartWithPictures(2);
    player::TSShow* show = form->SShow();
    QStringList captions;
    show->OnStepEnd = [&] { captions << show->Panel1()->text(); };
    // Once the player shows a picture, step on and then leave with Escape.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!show->Running() || captions.isEmpty()) return;
        show->FormKeyDown(captions.size() == 1 ? Qt::Key_Right : Qt::Key_Escape);
    });
    poll.start();
    form->ToolButton17Click();
    EXPECT_EQ(captions, (QStringList{"1. p1.bmp", "2. p2.bmp"}));
    EXPECT_FALSE(show->isVisible());

    form->ToolButton9Click();  // Clear
    show->Shape1()->show();
    form->ToolButton17Click();
    EXPECT_FALSE(show->Shape1()->isVisibleTo(show));
    EXPECT_FALSE(show->Running());
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());
}

}  // namespace
