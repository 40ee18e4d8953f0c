// The editor's decisions on the model alone: no window, no widget.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "app/EditorModel.h"
#include "core/StringList.h"
#include "project/ProjectFile.h"
#include "support/ScriptedDialogs.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using app::AddKind;
using app::EditorModel;
using app::MoveDirection;
using platform::Button;
using File = std::optional<QString>;

// The project states the questions depend on.
enum class Start {
    Emptied,        // pictures added and cleared again: modified, empty
    Opened,         // a project opened and not changed
    OpenedChanged,  // a project opened, then a picture added
    Untitled,       // pictures added, no name yet: modified
};

class EditorModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        for (const char* folder : {"program", "config", "work"}) QDir().mkpath(Root() + folder);
    }

    QString Root() const { return m_temp.path() + "/"; }
    QString Program() const { return Root() + "program/"; }
    QString Work() const { return Root() + "work/"; }
    QString Opened() const { return Work() + "opened.orv"; }
    // A name whose folder does not exist, so writing there fails.
    QString Unwritable() const { return Root() + "missing/x"; }

    std::unique_ptr<EditorModel> NewModel() {
        // Each model has its own lists, as each editor has its own dialogs.
        auto model = std::make_unique<EditorModel>(
            app::SettingsFiles(Program(), Root() + "config/"), m_dialogs, m_lists.emplace_back());
        model->LoadSettingsFiles();
        model->SetCurrentFolder("/pics/");
        return model;
    }

    std::unique_ptr<EditorModel> Prepare(Start start) {
        auto model = NewModel();
        switch (start) {
            case Start::Emptied:
                model->AddPictures({"a.jpg"}, AddKind::All);
                model->ClearPictures();
                break;
            case Start::Untitled:
                model->AddPictures({"a.jpg", "b.gif"}, AddKind::Selected);
                break;
            case Start::Opened:
            case Start::OpenedChanged: {
                settings::ShowSettings startSettings;
                startSettings.WriteStartDefaults();
                project::WriteProjectFile(
                    Opened().toStdString(),
                    project::BuildSettingsBlock(startSettings, {"/pics/x.jpg", "/pics/y.jpg"},
                                                {"1"}, {}));
                EXPECT_TRUE(model->LoadProject(Opened()));
                if (start == Start::OpenedChanged) model->AddPictures({"c.bmp"}, AddKind::All);
                break;
            }
        }
        return model;
    }

    void Script(const std::vector<Button>& answers, const std::vector<File>& files) {
        for (Button answer : answers) m_dialogs.QueueAnswer(answer);
        for (const File& file : files) m_dialogs.QueueFile(file);
    }

    core::StringList Read(const QString& path) { return core::LoadStringList(path.toStdString()); }

    QTemporaryDir m_temp;
    platform::ScriptedDialogs m_dialogs;
    std::deque<app::MemoryShowLists> m_lists;
};

TEST_F(EditorModelTest, NewAsksOnlyForAModifiedListAndResetsUnlessTheSaveFailed) {
    struct Row {
        const char* what;
        Start start;
        std::vector<Button> answers;
        std::vector<File> files;
        bool reset;
        int messages;  // the question and any error
        bool namesCleared;
    };
    const Row rows[] = {
        {"empty list", Start::Emptied, {}, {}, true, 0, true},
        {"unmodified", Start::Opened, {}, {}, true, 0, true},
        {"cancel", Start::OpenedChanged, {Button::Cancel}, {}, false, 1, false},
        {"no", Start::OpenedChanged, {Button::No}, {}, true, 1, true},
        {"yes, opened", Start::OpenedChanged, {Button::Yes}, {}, true, 1, true},
        {"yes, named", Start::Untitled, {Button::Yes}, {Work() + "named"}, true, 1, true},
        {"yes, dialog cancelled", Start::Untitled, {Button::Yes}, {File()}, false, 1, true},
        {"yes, write fails", Start::Untitled, {Button::Yes}, {Unwritable()}, false, 2, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto model = Prepare(row.start);
        const qsizetype shown = m_dialogs.Shown().size();
        const size_t pictures = model->Pictures().size();
        const core::StringList effects = model->Effects();
        Script(row.answers, row.files);

        EXPECT_EQ(model->NewProject(), row.reset);
        EXPECT_EQ(m_dialogs.Shown().size() - shown, row.messages);
        EXPECT_TRUE(m_dialogs.AllAnswersUsed());
        if (row.reset) {
            EXPECT_TRUE(model->Pictures().empty());
            EXPECT_EQ(model->Settings().Slots(), settings::StartDefaults());
            EXPECT_EQ(model->Caption(), "Pictavo Pro - Untitled project");
            EXPECT_EQ(model->ApplicationTitle(), "Pictavo Pro");
            EXPECT_FALSE(model->Modified());
            EXPECT_EQ(model->Effects(), effects);  // the effects last chosen stay
        } else {
            EXPECT_EQ(model->Pictures().size(), pictures);
            EXPECT_TRUE(model->Modified());
        }
        EXPECT_EQ(model->OpenName().isEmpty() && model->SaveName().isEmpty(), row.namesCleared);
    }
    EXPECT_TRUE(QFileInfo::exists(Work() + "named.orv"));
    EXPECT_EQ(Read(Opened()).size(), 16u);  // "yes, opened" saved its third picture there
}

TEST_F(EditorModelTest, CloseQueryAsksOnlyForAModifiedListAndWritesSettingsWhenAnswered) {
    struct Row {
        const char* what;
        Start start;
        std::vector<Button> answers;
        std::vector<File> files;
        bool closes;
        int messages;
        std::optional<std::string> startProject;  // SOPT.lst line 1, when written
    };
    const std::string closing = (Work() + "closing.orv").toStdString();
    const Row rows[] = {
        {"empty list", Start::Emptied, {}, {}, true, 0, {}},
        {"unmodified", Start::Opened, {}, {}, true, 0, {}},
        {"cancel", Start::OpenedChanged, {Button::Cancel}, {}, false, 1, {}},
        {"no", Start::OpenedChanged, {Button::No}, {}, true, 1, Opened().toStdString()},
        {"no, untitled", Start::Untitled, {Button::No}, {}, true, 1, "No"},
        {"yes, opened", Start::OpenedChanged, {Button::Yes}, {}, true, 1, Opened().toStdString()},
        {"yes, named", Start::Untitled, {Button::Yes}, {Work() + "closing"}, true, 1, closing},
        {"yes, dialog cancelled", Start::Untitled, {Button::Yes}, {File()}, false, 1, {}},
        {"yes, write fails", Start::Untitled, {Button::Yes}, {Unwritable()}, false, 2, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(Program() + "SOPT.lst");
        QFile::remove(Program() + "dir.lst");
        auto model = Prepare(row.start);
        model->SetPreviewShown(false);
        const qsizetype shown = m_dialogs.Shown().size();
        Script(row.answers, row.files);

        EXPECT_EQ(model->ConfirmClose(), row.closes);
        EXPECT_EQ(m_dialogs.Shown().size() - shown, row.messages);
        EXPECT_TRUE(m_dialogs.AllAnswersUsed());
        if (row.startProject) {
            EXPECT_EQ(Read(Program() + "SOPT.lst"), core::StringList({"Not", *row.startProject}));
            EXPECT_EQ(Read(Program() + "dir.lst"), core::StringList({"/pics/"}));
        } else {
            EXPECT_FALSE(QFileInfo::exists(Program() + "SOPT.lst"));
            EXPECT_FALSE(QFileInfo::exists(Program() + "dir.lst"));
        }
    }
}

TEST_F(EditorModelTest, SaveAndSaveAsNamesFilesTitlesAndTheFlag) {
    enum class Command { Save, SaveAs };
    struct Row {
        const char* what;
        Start start;
        Command command;
        std::vector<File> files;
        bool written;
        QString file;  // the file written
        QString caption;
        bool openNameKept;
    };
    const QString first = "Pictavo Pro 1.45", opened = "Pictavo Pro - opened";
    const QString trip = Work() + "trip", other = Work() + "other", x = Work() + "x.orv";
    const QString named = "Pictavo Pro - ";
    // One row per line reads as a table.
    // clang-format off
    const Row rows[] = {
        {"save, empty",          Start::Emptied,       Command::Save,   {},             false, {},            first,           false},
        {"save, opened",         Start::OpenedChanged, Command::Save,   {},             true,  Opened(),      opened,          true},
        {"save, named",          Start::Untitled,      Command::Save,   {trip},         true,  trip + ".orv", named + "trip",  false},
        {"save, x.orv",          Start::Untitled,      Command::Save,   {x},            true,  x,             named + "x",     false},
        {"save, cancelled",      Start::Untitled,      Command::Save,   {File()},       false, {},            first,           false},
        {"save, write fails",    Start::Untitled,      Command::Save,   {Unwritable()}, false, {},            named + "x",     false},
        {"save as",              Start::OpenedChanged, Command::SaveAs, {other},        true,  other + ".orv", named + "other", false},
        {"save as, x.orv",       Start::OpenedChanged, Command::SaveAs, {x},            true,  x,             named + "x",     false},
        {"save as, cancelled",   Start::OpenedChanged, Command::SaveAs, {File()},       false, {},            opened,          true},
        {"save as, write fails", Start::OpenedChanged, Command::SaveAs, {Unwritable()}, false, {},            opened,          true},
    };
    // clang-format on
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto model = Prepare(row.start);
        if (!row.file.isEmpty()) QFile::remove(row.file);
        Script({}, row.files);

        const bool written =
            row.command == Command::Save ? model->SaveProject() : model->SaveProjectAs();
        EXPECT_EQ(written, row.written);
        EXPECT_TRUE(m_dialogs.AllAnswersUsed());
        EXPECT_EQ(model->Caption(), row.caption);
        EXPECT_EQ(model->OpenName() == Opened(), row.openNameKept);
        if (row.written) {
            EXPECT_FALSE(model->Modified());
            // The file holds the block the save assembled, which packing reads later.
            EXPECT_EQ(Read(row.file), model->SettingsBlock());
            EXPECT_EQ(project::ParseSettingsBlock(model->SettingsBlock(), "block").Pictures,
                      model->Pictures());
        } else {
            EXPECT_EQ(model->Modified(), row.start != Start::Opened);
        }
    }
}

TEST_F(EditorModelTest, OpenAsksFirstForAModifiedListAndCancelChangesNothing) {
    struct Row {
        const char* what;
        Start start;
        std::vector<Button> answers;
        std::vector<File> files;
        int fileDialogs;  // the open dialog, and a save dialog for an untitled project
        bool loaded;
    };
    const QString other = Work() + "other.orv";
    const Row rows[] = {
        {"unmodified", Start::Opened, {}, {other}, 1, true},
        {"cancel", Start::OpenedChanged, {Button::Cancel}, {}, 0, false},
        {"no", Start::Untitled, {Button::No}, {other}, 1, true},
        {"yes, opened", Start::OpenedChanged, {Button::Yes}, {other}, 1, true},
        {"yes, save dialog cancelled", Start::Untitled, {Button::Yes}, {File()}, 1, false},
        {"yes, named", Start::Untitled, {Button::Yes}, {Work() + "kept", other}, 2, true},
    };
    settings::ShowSettings startSettings;
    startSettings.WriteStartDefaults();
    project::WriteProjectFile(other.toStdString(),
                              project::BuildSettingsBlock(startSettings, {"/o.jpg"}, {"2"}, {}));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto model = Prepare(row.start);
        const core::StringList pictures = model->Pictures();
        const QString openName = model->OpenName();
        const int fileDialogs = m_dialogs.FileDialogsShown();
        Script(row.answers, row.files);

        EXPECT_EQ(model->OpenProject(), row.loaded);
        EXPECT_EQ(m_dialogs.FileDialogsShown() - fileDialogs, row.fileDialogs);
        EXPECT_TRUE(m_dialogs.AllAnswersUsed());
        if (row.loaded) {
            EXPECT_EQ(model->Pictures(), core::StringList({"/o.jpg"}));
            EXPECT_EQ(model->OpenName(), other);
        } else {
            EXPECT_EQ(model->Pictures(), pictures);
            EXPECT_EQ(model->OpenName(), openName);
            EXPECT_TRUE(model->Modified());
        }
    }
    // "yes, named" saved the untitled project before opening the other one.
    EXPECT_EQ(project::ParseSettingsBlock(Read(Work() + "kept.orv"), "kept").Pictures,
              core::StringList({"/pics/a.jpg", "/pics/b.gif"}));
}

TEST_F(EditorModelTest, QuestionsNameTheProjectInOneWording) {
    auto untitled = Prepare(Start::Untitled);
    untitled->ConfirmClose();
    auto opened = Prepare(Start::OpenedChanged);
    opened->NewProject();
    opened->AddPictures({"a.jpg"}, AddKind::All);
    opened->OpenProject();
    EXPECT_EQ(m_dialogs.Shown(),
              QStringList({"Save the changes to \"Untitled project\" before closing?",
                           "Save the changes to \"opened\" before starting a new project?",
                           "Save the changes to \"opened\" before opening another project?"}));
}

TEST_F(EditorModelTest, OpenReplacesTheProjectOnlyWithAProject) {
    auto model = Prepare(Start::Untitled);
    core::SaveStringList((Work() + "bad.orv").toStdString(), {"not", "a", "project"});
    for (const File& file : {File(), File(Work() + "bad.orv"), File(Work() + "none.orv")}) {
        m_dialogs.QueueAnswer(Button::No);  // not saved, so the project stays modified
        m_dialogs.QueueFile(file);
        EXPECT_FALSE(model->OpenProject());
        EXPECT_EQ(model->Pictures(), core::StringList({"/pics/a.jpg", "/pics/b.gif"}));
        EXPECT_TRUE(model->Modified());
        EXPECT_TRUE(model->OpenName().isEmpty());
    }
    // Three questions, and an error for each of the two files that are not projects.
    EXPECT_EQ(m_dialogs.Shown().size(), 5);

    Prepare(Start::Opened);  // writes the project
    m_dialogs.QueueAnswer(Button::No);
    m_dialogs.QueueFile(Opened());
    EXPECT_TRUE(model->OpenProject());
    EXPECT_EQ(model->Pictures(), core::StringList({"/pics/x.jpg", "/pics/y.jpg"}));
    EXPECT_EQ(model->Effects(), core::StringList({"1"}));
    EXPECT_FALSE(model->Modified());
    EXPECT_EQ(model->OpenName(), Opened());
    EXPECT_EQ(model->Caption(), "Pictavo Pro - opened");
    EXPECT_EQ(model->ApplicationTitle(), "opened - Pictavo Pro");

    // A project in a file whose name is shorter than an extension.
    ASSERT_TRUE(QFile::copy(Opened(), Work() + "ab"));
    EXPECT_TRUE(model->LoadProject(Work() + "ab"));
    EXPECT_EQ(model->Caption(), "Pictavo Pro - ");
}

TEST_F(EditorModelTest, AddRecordsTheFolderOnceWithItsFirstPicture) {
    auto model = NewModel();
    EXPECT_EQ(model->AddPictures({"sub", "a.Jpg", "notes.txt"}, AddKind::Selected),
              std::vector<int>{});
    EXPECT_TRUE(model->Modified());
    EXPECT_TRUE(model->RecentFolders().empty());
    EXPECT_EQ(model->AddPictures({"x.txt", "a.jpg", "b.GIF", "a.jpg"}, AddKind::All),
              (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(model->Pictures(), core::StringList({"/pics/a.jpg", "/pics/b.GIF", "/pics/a.jpg"}));
    EXPECT_EQ(model->RecentFolders(), core::StringList({"/pics/"}));
    EXPECT_EQ(Read(Program() + "dires.lst"), core::StringList({"/pics/"}));

    model->RemovePictures({2, 0});
    EXPECT_EQ(model->Pictures(), core::StringList({"/pics/b.GIF"}));
}

TEST_F(EditorModelTest, MovesSwapWithTheNeighbourAndStopAtTheEndsOfTheRange) {
    struct Row {
        int row;
        MoveDirection direction;
        int target;
    };
    auto model = NewModel();
    model->AddPictures({"1.jpg", "2.jpg", "3.jpg"}, AddKind::All);
    for (const Row& row : {Row{0, MoveDirection::Up, -1}, Row{0, MoveDirection::Down, 1},
                           Row{2, MoveDirection::Down, -1}, Row{2, MoveDirection::Up, 1},
                           Row{-1, MoveDirection::Up, -1}, Row{1, MoveDirection::Up, 0}})
        EXPECT_EQ(model->MovePicture(row.row, row.direction), row.target) << row.row;
    EXPECT_EQ(model->Pictures(), core::StringList({"/pics/3.jpg", "/pics/2.jpg", "/pics/1.jpg"}));

    // The arrows' position stops at 2000: another up press there is no change of position.
    for (int i = 0; i < 2000; ++i) model->MovePicture(-1, MoveDirection::Up);
    EXPECT_EQ(model->MovePicture(2, MoveDirection::Up), -1);
    EXPECT_EQ(model->MovePicture(2, MoveDirection::Down), -1);  // already last
    EXPECT_EQ(model->MovePicture(2, MoveDirection::Up), 1);
}

TEST_F(EditorModelTest, StartProjectFromJoinedArgumentsOrTheLastRun) {
    struct Row {
        core::StringList programOptions;
        QStringList arguments;
        std::optional<QString> project;
    };
    const Row rows[] = {
        {{"Pre", "No"}, {}, std::nullopt},
        {{"Pre", "/a/last.orv"}, {}, "/a/last.orv"},
        {{"Pre"}, {}, std::nullopt},
        {{"Pre", "/a/last.orv"}, {"/my", "trips/x.orv"}, "/my trips/x.orv"},
    };
    for (const Row& row : rows) {
        core::SaveStringList((Program() + "SOPT.lst").toStdString(), row.programOptions);
        EXPECT_EQ(NewModel()->StartProject(row.arguments), row.project);
    }
}

}  // namespace
