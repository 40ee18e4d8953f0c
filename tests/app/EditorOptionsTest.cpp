// The editor's "Options" and "Add Music" commands, and the effect set and music list that
// the options dialog and the effect chooser own for the project and the show.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/EditorTestBase.h"
#include "app/EditorWindow.h"
#include "app/FilePane.h"
#include "core/StringList.h"
#include "player/MusicDevice.h"
#include "settings/qt/DurationReader.h"
#include "settings/qt/EffectChooser.h"
#include "settings/qt/OptionsDialog.h"
#include "support/ScriptedDialogs.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using app::EditorWindow;
using settings::OptionsDialog;
using Page = OptionsDialog::Page;

// Lengths are never answered: the dialog must not wait for them.
class SilentDurationReader final : public settings::DurationReader {
public:
    void Request(const std::string&) override {}
};

// Records the files the show plays.
class RecordingMusicDevice final : public player::MusicDevice {
public:
    explicit RecordingMusicDevice(std::vector<std::string>& opened) : m_opened(opened) {}
    void Open(const std::string& path) override { m_opened.push_back(path); }
    void Play() override {}
    void Stop() override {}
    int64_t LengthMs() override { return 600'000; }
    int64_t PositionMs() override { return 0; }

private:
    std::vector<std::string>& m_opened;
};

void PressKey(QWidget& target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
}

class EditorOptionsTest : public EditorTestBase {
protected:
    std::unique_ptr<EditorWindow> Start(QStringList arguments = {}) {
        EditorWindow::Environment environment = Environment(std::move(arguments));
        environment.musicDevice = [this] {
            return std::make_unique<RecordingMusicDevice>(m_musicPlayed);
        };
        environment.musicLengths = [] { return std::make_unique<SilentDurationReader>(); };
        auto editor = std::make_unique<EditorWindow>(environment);
        editor->OnFirstShow();
        return editor;
    }

    // A small real picture, so the show has something to play.
    std::string Picture(const QString& name) {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(Root() + "pics/" + name, "BMP"));
        return (Root() + "pics/" + name).toStdString();
    }
    std::string MakeFile(const QString& name) {
        QFile file(Work() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return (Work() + name).toStdString();
    }
    QByteArray Bytes(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    // Runs `command` (which opens the options dialog modally) and, once the dialog shows,
    // `inDialog`; the dialog is closed afterwards either way, so a fault fails the test
    // instead of hanging it.
    void WithOptions(EditorWindow& editor, const std::function<void()>& command,
                     const std::function<void(OptionsDialog&)>& inDialog) {
        OptionsDialog& dialog = *editor.Options();
        bool shown = false;
        QTimer::singleShot(0, &dialog, [&] {
            shown = dialog.isVisible();
            inDialog(dialog);
            if (dialog.isVisible()) dialog.reject();
        });
        command();
        EXPECT_TRUE(shown);
        EXPECT_FALSE(dialog.isVisible());
    }

    std::vector<std::string> m_musicPlayed;
};

QAction* ActionFor(EditorWindow& editor, const QKeySequence& key) {
    for (QAction* action : editor.findChildren<QAction*>())
        if (action->shortcuts().contains(key)) return action;
    return nullptr;
}

QToolButton* ToolbarButton(EditorWindow& editor, const QString& caption) {
    for (QToolButton* button :
         editor.findChild<QToolBar*>("CommandBar")->findChildren<QToolButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}

template <class Widget>
Widget& Find(OptionsDialog& dialog, const char* name) {
    Widget* widget = dialog.findChild<Widget*>(name);
    if (!widget) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

// ---------------------------------------------------------------------------------------

TEST_F(EditorOptionsTest, OptionsAndMusicOpenTheirPageAndAlwaysMarkTheProjectModified) {
    enum class Close { Ok, Cancel, Escape };
    struct Row {
        const char* what;
        QKeySequence shortcut;  // empty: the toolbar button
        const char* toolbar;
        Page page;
        Close close;
    };
    const Row rows[] = {
        {"Ctrl+P, OK", QKeySequence(Qt::CTRL | Qt::Key_P), nullptr, Page::Main, Close::Ok},
        {"Ctrl+M, OK", QKeySequence(Qt::CTRL | Qt::Key_M), nullptr, Page::Music, Close::Ok},
        {"toolbar Options, Cancel", {}, "Options", Page::Main, Close::Cancel},
        {"toolbar Music, Escape", {}, "Music", Page::Music, Close::Escape},
    };
    const std::string project = (Work() + "two.orv").toStdString();
    core::SaveStringList(
        project, {"5", "80", "Random", "No music", "clWhite_clWhite", "Loop", "Color", "Tile", "No",
                  "Shadow", Picture("a.bmp"), Picture("b.bmp"), "[TRANS]", "1", "[MUSIC]"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto editor = Start({QString::fromStdString(project)});
        ASSERT_FALSE(editor->Model().Modified());
        std::function<void()> command;
        if (row.toolbar) {
            QToolButton* button = ToolbarButton(*editor, row.toolbar);
            ASSERT_NE(button, nullptr);
            command = [button] { button->click(); };
        } else {
            QAction* action = ActionFor(*editor, row.shortcut);
            ASSERT_NE(action, nullptr);
            command = [action] { action->trigger(); };
        }
        Page shown = Page::Advanced;
        QString summary;
        WithOptions(*editor, command, [&](OptionsDialog& dialog) {
            shown = dialog.CurrentPage();
            summary = dialog.MusicSummary();
            Find<QComboBox>(dialog, "viewerFilterBox").setCurrentText("Gif");
            if (row.close == Close::Ok) PressKey(dialog, Qt::Key_Return);
            if (row.close == Close::Cancel) Find<QPushButton>(dialog, "cancelButton").click();
            if (row.close == Close::Escape) PressKey(dialog, Qt::Key_Escape);
        });
        EXPECT_EQ(shown, row.page);
        EXPECT_TRUE(summary.endsWith("(2 pictures × 5 s)")) << summary.toStdString();
        EXPECT_TRUE(editor->Model().Modified());
        EXPECT_TRUE(editor->isWindowModified());
        // The viewer filter reaches the file pane on "OK" only.
        EXPECT_EQ(editor->Pane()->Mask(),
                  row.close == Close::Ok ? "*.gif" : app::FilePane::DefaultMask());
        EXPECT_TRUE(m_dialogs.Shown().isEmpty());
    }
}

TEST_F(EditorOptionsTest, OpenThenOptionsOkThenSaveWritesTheSameFile) {
    const std::string back = MakeFile("back.bmp");
    const std::string a = Picture("a.bmp");
    const std::string b = Picture("b b\xC3\xA4.bmp");  // a space and a non-ASCII letter
    struct Row {
        core::StringList values;  // the ten slots
        core::StringList pictures;
        core::StringList effects;
        core::StringList music;  // written only when music is on
    };
    const Row rows[] = {
        {{"2", "80", "Random", "No music", "$00D5E7EA_clWhite", "Loop", "Color", "Tile", "No",
          "Shadow"},
         {a, b},
         {"1", "2", "4"},
         {}},
        {{"Manual", "No", "No effect", "RepeatMusic", "clNavy_clYellow", "No", "Color", "Center",
          "clPurple", "No"},
         {b},
         {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9", "10",
          "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"},
         {"/music/a.mp3", "/music/b b.mid"}},
        {{"100", "1", "Random", "NoRepeat", "$00123456_$00ABCDEF", "Loop", "Color", "Stretch",
          "$00102030", "Shadow"},
         {a, a, b},
         {},
         {"/music/c.wav"}},
        {{"7", "55", "Random", "No music", back, "Loop", "BackFile", "Tile", "clYellow", "No"},
         {a},
         {"20"},
         {}},
        {{"Manual", "No", "No effect", "NoRepeat", back, "No", "BackFile", "Center", "No",
          "Shadow"},
         {a, b},
         {"5", "19"},
         {"/music/d.wma"}},
        {{"1", "100", "Random", "RepeatMusic", back, "Loop", "BackFile", "Stretch", "$00FF8000",
          "No"},
         {b, a},
         {"6"},
         {"/music/e.mp3", "/music/f.mp3", "/music/g.mp3"}},
    };
    // One editor for all of them, as one program opens one project after the other: what
    // one leaves in the dialogs must not leak into the next.
    auto editor = Start();
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(n);
        const QString path = Work() + QString("p%1.orv").arg(n++);
        core::StringList lines = row.values;
        lines.insert(lines.end(), row.pictures.begin(), row.pictures.end());
        lines.push_back("[TRANS]");
        lines.insert(lines.end(), row.effects.begin(), row.effects.end());
        lines.push_back("[MUSIC]");
        lines.insert(lines.end(), row.music.begin(), row.music.end());
        core::SaveStringList(path.toStdString(), lines);
        const QByteArray before = Bytes(path);

        m_dialogs.QueueFile(path);
        editor->OpenProject();
        ASSERT_EQ(editor->Model().OpenName(), path);
        EXPECT_EQ(editor->Chooser()->EffectSet(), row.effects);
        WithOptions(
            *editor, [&] { ActionFor(*editor, QKeySequence(Qt::CTRL | Qt::Key_P))->trigger(); },
            [](OptionsDialog& dialog) { PressKey(dialog, Qt::Key_Return); });
        EXPECT_TRUE(editor->Model().Modified());
        ASSERT_TRUE(editor->SaveProject());
        EXPECT_EQ(Bytes(path), before);
        EXPECT_FALSE(editor->Model().Modified());
    }
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(EditorOptionsTest, MusicAndEffectsChosenInTheDialogsReachTheSaveAndTheShow) {
    auto editor = Start();
    editor->SetPaneFolder(Root() + "pics/");
    editor->AddPictures(
        {QString::fromStdString(Picture("a.bmp")), QString::fromStdString(Picture("b.bmp"))},
        app::AddKind::All);
    const std::string music = MakeFile("tune.mp3");
    settings::EffectChooser& chooser = *editor->Chooser();

    WithOptions(
        *editor, [&] { ActionFor(*editor, QKeySequence(Qt::CTRL | Qt::Key_M))->trigger(); },
        [&](OptionsDialog& dialog) {
            Find<QCheckBox>(dialog, "playMusicCheck").click();
            m_dialogs.QueueFiles({QString::fromStdString(music)});
            Find<QPushButton>(dialog, "musicAddButton").click();
            // "Select": only "Circle" in the chooser, and its "OK".
            QTimer::singleShot(0, &chooser, [&] {
                chooser.ChoosePreset(settings::EffectChooser::Preset::None);
                chooser.SetTicked(5, true);
                chooser.findChild<QPushButton*>("okButton")->click();
                if (chooser.isVisible()) chooser.reject();
            });
            Find<QPushButton>(dialog, "selectEffectsButton").click();
            PressKey(dialog, Qt::Key_Return);
        });

    m_dialogs.QueueFile(Work() + "show");
    ASSERT_TRUE(editor->SaveProject());
    const core::StringList saved = core::LoadStringList((Work() + "show.orv").toStdString());
    ASSERT_EQ(saved.size(), 16u);
    EXPECT_EQ(saved[3], "NoRepeat");
    EXPECT_EQ(core::StringList(saved.begin() + 12, saved.end()),
              (core::StringList{"[TRANS]", "5", "[MUSIC]", music}));

    // The show plays that music and that effect; one picture, then Escape.
    player::PlayerWindow* show = editor->Player();
    std::vector<int> effects;
    bool stepped = false;
    show->OnStepStart = [&](int effect) { effects.push_back(effect); };
    show->OnStepEnd = [&] { stepped = true; };
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (show->Running() && stepped) show->HandleKey(Qt::Key_Escape);
    });
    poll.start();
    editor->PlayNow();
    EXPECT_EQ(m_musicPlayed, std::vector<std::string>{music});
    EXPECT_EQ(effects, std::vector<int>{5});
}

}  // namespace
