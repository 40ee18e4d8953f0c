#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "settings/ColorText.h"
#include "settings/ShowSettings.h"
#include "settings/qt/ColorSwatch.h"
#include "settings/qt/DurationReader.h"
#include "settings/qt/EffectChooser.h"
#include "settings/qt/OptionsDialog.h"
#include "support/ScriptedDialogs.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using settings::ColorSwatch;
using settings::OptionsDialog;
using Page = OptionsDialog::Page;

// Answers only when the test says so, as a real reader answers later.
class FakeDurationReader final : public settings::DurationReader {
public:
    void Request(const std::string& path) override { Requests.push_back(path); }
    void Answer(const std::string& path, std::optional<int64_t> ms) { OnAnswer(path, ms); }
    std::vector<std::string> Requests;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_settings.WriteStartDefaults();
        auto reader = std::make_unique<FakeDurationReader>();
        m_durations = reader.get();
        m_dialog =
            std::make_unique<OptionsDialog>(m_settings, m_chooser, m_dialogs, std::move(reader));
        m_dialog->SetProgramFolder(Folder());
    }

    QString Folder() const { return m_temp.path() + "/"; }
    std::string MakeFile(const QString& name) {
        QFile file(Folder() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return (Folder() + name).toStdString();
    }

    template <class Widget>
    Widget& Find(const char* name) {
        Widget* widget = m_dialog->findChild<Widget*>(name);
        if (!widget) throw std::runtime_error(std::string("no control ") + name);
        return *widget;
    }
    void Click(const char* name) { Find<QAbstractButton>(name).click(); }

    void Open(Page page) {
        m_dialog->BeginEdit(page);
        m_dialog->show();
    }
    void Load(const core::StringList& values) {
        for (int i = 0; i < settings::kSlotCount; ++i) m_settings.SetSlot(i, values[size_t(i)]);
    }
    void PressKey(QWidget& target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&target, &press);
    }

    QTemporaryDir m_temp;
    settings::ShowSettings m_settings;
    platform::ScriptedDialogs m_dialogs;
    settings::EffectChooser m_chooser{m_dialogs};
    FakeDurationReader* m_durations = nullptr;
    std::unique_ptr<OptionsDialog> m_dialog;
};

TEST_F(OptionsDialogTest, OpeningAfterStartShowsTheStartValues) {
    Open(Page::Main);
    EXPECT_EQ(m_dialog->windowTitle(), "Options");
    EXPECT_EQ(m_dialog->CurrentPage(), Page::Main);
    EXPECT_TRUE(Find<QRadioButton>("automaticRadio").isChecked());
    EXPECT_EQ(Find<QSpinBox>("delaySpin").value(), 2);
    EXPECT_TRUE(Find<QSpinBox>("delaySpin").isEnabled());
    EXPECT_TRUE(Find<QRadioButton>("fitRadio").isChecked());
    EXPECT_EQ(Find<QSpinBox>("sizeSpin").value(), 80);
    EXPECT_TRUE(Find<QRadioButton>("randomEffectsRadio").isChecked());
    EXPECT_FALSE(Find<QCheckBox>("playMusicCheck").isChecked());
    EXPECT_FALSE(Find<QCheckBox>("repeatMusicCheck").isChecked());
    EXPECT_FALSE(Find<QListWidget>("musicList").isEnabled());
    EXPECT_FALSE(Find<QPushButton>("musicAddButton").isEnabled());
    EXPECT_TRUE(Find<QRadioButton>("colorsRadio").isChecked());
    EXPECT_EQ(Find<ColorSwatch>("topSwatch").Colour(), 0x00D5E7EA);
    EXPECT_EQ(Find<ColorSwatch>("topSwatch").toolTip(), "$00D5E7EA");
    EXPECT_EQ(Find<ColorSwatch>("bottomSwatch").Colour(), raster::kClWhite);
    EXPECT_EQ(Find<ColorSwatch>("bottomSwatch").toolTip(), "clWhite");
    EXPECT_FALSE(Find<QLineEdit>("backFileEdit").isEnabled());
    EXPECT_FALSE(Find<QComboBox>("placementBox").isEnabled());
    EXPECT_EQ(Find<QLineEdit>("backFileEdit").text(), "Select image");
    EXPECT_TRUE(Find<QCheckBox>("loopCheck").isChecked());
    EXPECT_FALSE(Find<QCheckBox>("captionCheck").isChecked());
    EXPECT_EQ(Find<ColorSwatch>("captionSwatch").Colour(), 0x800080);
    EXPECT_TRUE(Find<QCheckBox>("shadowCheck").isChecked());
    EXPECT_EQ(m_dialog->ViewerMask(), "*.bmp;*jpg;*.gif");

    m_dialog->hide();
    Open(Page::Music);
    EXPECT_EQ(m_dialog->CurrentPage(), Page::Music);
}

TEST_F(OptionsDialogTest, ManualAdvanceDisablesTheDelayAndTheRadiosSwitchIt) {
    m_settings.SetSlot(settings::kAdvanceSlot, "Manual");
    Open(Page::Main);
    EXPECT_TRUE(Find<QRadioButton>("manualRadio").isChecked());
    EXPECT_FALSE(Find<QSpinBox>("delaySpin").isEnabled());

    Click("automaticRadio");
    EXPECT_TRUE(Find<QSpinBox>("delaySpin").isEnabled());
    Click("manualRadio");
    EXPECT_FALSE(Find<QSpinBox>("delaySpin").isEnabled());
    Click("okButton");
    EXPECT_EQ(m_settings.Slot(settings::kAdvanceSlot), "Manual");
}

TEST_F(OptionsDialogTest, OkWithMusicOffEmptiesTheListAndWritesNoMusic) {
    m_settings.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    m_dialog->SetMusicList({"/music/a.mp3", "/music/b.mid"});
    Open(Page::Music);
    EXPECT_TRUE(Find<QCheckBox>("repeatMusicCheck").isChecked());
    EXPECT_TRUE(Find<QListWidget>("musicList").isEnabled());

    Click("playMusicCheck");
    EXPECT_FALSE(Find<QListWidget>("musicList").isEnabled());
    Click("okButton");
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_settings.Slot(settings::kMusicModeSlot), "No music");
    EXPECT_TRUE(m_dialog->MusicList().empty());
    EXPECT_EQ(Find<QListWidget>("musicList").count(), 0);
}

TEST_F(OptionsDialogTest, BackgroundPictureMustExistBeforeAnythingIsWritten) {
    Open(Page::Main);
    Click("imageRadio");
    EXPECT_TRUE(Find<QLineEdit>("backFileEdit").isEnabled());
    Find<QComboBox>("placementBox").setCurrentText("Stretch");

    // The box's own text, a missing file and a folder are all refused.
    const core::StringList before = m_settings.Slots();
    for (const QString& name : {QString("Select image"), Folder() + "missing.jpg", Folder()}) {
        Find<QLineEdit>("backFileEdit").setText(name);
        Find<QTabWidget>("pages").setCurrentIndex(0);
        Click("okButton");
        ASSERT_FALSE(m_dialogs.Shown().isEmpty()) << name.toStdString();
        EXPECT_EQ(m_dialogs.Shown().back(), "Set true background picture filename!");
        EXPECT_EQ(m_dialog->CurrentPage(), Page::Advanced);
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_EQ(m_settings.Slots(), before);
    }
    EXPECT_EQ(m_dialogs.Shown().size(), 3);

    // The browse button starts in the program's folder with the picture filter.
    const std::string picture = MakeFile("back.jpg");
    m_dialogs.QueueFile(QString::fromStdString(picture));
    Click("browseButton");
    EXPECT_EQ(m_dialogs.LastStart(), Folder());
    EXPECT_EQ(m_dialogs.LastFilter(), "Graphic files (*.bmp *.gif *.jpg *.jpeg)");
    Click("okButton");
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_settings.Slot(settings::kBackDataSlot), picture);
    EXPECT_EQ(m_settings.Slot(settings::kBackKindSlot), "BackFile");
    EXPECT_EQ(m_settings.Slot(settings::kPlacementSlot), "Stretch");
    EXPECT_EQ(m_dialogs.Shown().size(), 3);
}

TEST_F(OptionsDialogTest, CancelRestoresTheMusicListAndEscapeKeepsIt) {
    m_settings.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    m_dialog->SetMusicList({"/music/a.mp3"});
    const core::StringList withAdded = {"/music/a.mp3", "/music/x.wav", "/music/y.mid"};

    Open(Page::Music);
    m_dialogs.QueueFiles({"/music/x.wav", "/music/y.mid"});
    Click("musicAddButton");
    EXPECT_EQ(m_dialog->MusicList(), withAdded);
    EXPECT_EQ(m_dialogs.LastFilter(),
              "Sound files (*.cda *.wav *.wave *.mp3 *.mid *.midi *.kar *wma)");
    Click("cancelButton");
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->MusicList(), core::StringList{"/music/a.mp3"});
    EXPECT_EQ(Find<QListWidget>("musicList").count(), 1);

    Open(Page::Music);
    Find<QSpinBox>("delaySpin").setValue(9);
    m_dialogs.QueueFiles({"/music/x.wav", "/music/y.mid"});
    Click("musicAddButton");
    PressKey(Find<QListWidget>("musicList"), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->MusicList(), withAdded);
    EXPECT_EQ(m_settings.Slot(settings::kAdvanceSlot), "2");

    // A cancelled file dialog adds nothing.
    Open(Page::Music);
    Click("musicAddButton");
    EXPECT_EQ(m_dialog->MusicList(), withAdded);
    EXPECT_TRUE(m_dialogs.AllAnswersUsed());
}

TEST_F(OptionsDialogTest, MusicRowsMoveWithTheirHighlightAndRemoveAndClear) {
    m_settings.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    m_dialog->SetMusicList({"a", "b", "c"});
    Open(Page::Music);
    auto expect = [&](const core::StringList& list, int highlight) {
        EXPECT_EQ(m_dialog->MusicList(), list);
        EXPECT_EQ(m_dialog->HighlightedMusicRow(), highlight);
        auto& rows = Find<QListWidget>("musicList");
        ASSERT_EQ(rows.count(), int(list.size()));
        for (int i = 0; i < rows.count(); ++i)
            EXPECT_EQ(rows.item(i)->text().toStdString(), list[size_t(i)]);
    };

    // No highlighted row: nothing to move or remove.
    Click("musicUpButton");
    Click("musicDownButton");
    Click("musicRemoveButton");
    expect({"a", "b", "c"}, -1);

    m_dialog->HighlightMusicRow(0);
    Click("musicUpButton");
    expect({"a", "b", "c"}, 0);
    m_dialog->HighlightMusicRow(2);
    Click("musicDownButton");
    expect({"a", "b", "c"}, 2);

    m_dialog->HighlightMusicRow(0);
    Click("musicDownButton");
    expect({"b", "a", "c"}, 1);
    Click("musicDownButton");
    expect({"b", "c", "a"}, 2);
    Click("musicUpButton");
    expect({"b", "a", "c"}, 1);

    PressKey(Find<QListWidget>("musicList"), Qt::Key_Delete);
    expect({"b", "c"}, -1);
    m_dialog->HighlightMusicRow(1);
    Click("musicRemoveButton");
    expect({"b"}, -1);
    Click("musicClearButton");
    expect({}, -1);
}

TEST_F(OptionsDialogTest, SetDefaultsWritesSlotsAndEffectSetAtOnce) {
    Load({"Manual", "No", "No effect", "RepeatMusic", "clNavy_clYellow", "No", "Color", "Center",
          "clRed", "Shadow"});
    m_chooser.SetEffectSet({"0", "5"});
    m_dialog->SetMusicList({"/music/a.mp3"});
    Open(Page::Advanced);
    m_dialogs.QueueFiles({"/music/x.wav"});
    Click("musicAddButton");

    Click("setDefaultsButton");
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_settings.Slots(), settings::SetDefaultsValues());
    EXPECT_EQ(m_chooser.EffectSet(), settings::StandardEffectSet());
    EXPECT_EQ(m_dialog->MusicList(), (core::StringList{"/music/a.mp3", "/music/x.wav"}));
    // The controls show the new values.
    EXPECT_TRUE(Find<QRadioButton>("automaticRadio").isChecked());
    EXPECT_EQ(Find<QSpinBox>("sizeSpin").value(), 100);
    EXPECT_FALSE(Find<QCheckBox>("shadowCheck").isChecked());
    EXPECT_FALSE(Find<QCheckBox>("playMusicCheck").isChecked());
    EXPECT_EQ(Find<ColorSwatch>("topSwatch").Colour(), 0x281800);
    EXPECT_EQ(Find<ColorSwatch>("bottomSwatch").Colour(), 0x281800);

    // "Cancel" keeps the defaults and undoes the music edits made since opening.
    Click("cancelButton");
    EXPECT_EQ(m_settings.Slots(), settings::SetDefaultsValues());
    EXPECT_EQ(m_chooser.EffectSet(), settings::StandardEffectSet());
    EXPECT_EQ(m_dialog->MusicList(), core::StringList{"/music/a.mp3"});
}

TEST_F(OptionsDialogTest, OkWithoutTouchingAnythingWritesBackTheLoadedSlots) {
    const std::string back = MakeFile("back.bmp");
    const core::StringList music = {"/music/a.mp3", "/music/b.mid"};
    const std::vector<core::StringList> projects = {
        settings::StartDefaults(),
        settings::SetDefaultsValues(),
        {"Manual", "No", "No effect", "RepeatMusic", "clNavy_clYellow", "No", "Color", "Center",
         "clPurple", "No"},
        {"100", "1", "Random", "NoRepeat", "$00123456_$00ABCDEF", "Loop", "Color", "Stretch",
         "$00102030", "Shadow"},
        {"7", "55", "Random", "NoRepeat", back, "Loop", "BackFile", "Tile", "clYellow", "No"},
        {"Manual", "No", "No effect", "No music", back, "No", "BackFile", "Center", "No", "Shadow"},
        {"1", "100", "Random", "RepeatMusic", back, "Loop", "BackFile", "Stretch", "$00FF8000",
         "No"},
        {"3", "80", "Random", "NoRepeat", "clBtnFace_clWindow", "Loop", "Color", "Tile", "clInfoBk",
         "Shadow"},
        {"2", "80", "Random", "No music", "clBlack_clBlack", "Loop", "Color", "Stretch", "clWhite",
         "Shadow"},
    };
    // One dialog for all of them, as the program keeps one: what one project leaves in the
    // controls must not leak into the next.
    for (const core::StringList& project : projects) {
        Load(project);
        m_dialog->SetMusicList(music);
        Open(Page::Main);
        Click("okButton");
        EXPECT_FALSE(m_dialog->isVisible());
        EXPECT_EQ(m_settings.Slots(), project);
        if (project[settings::kMusicModeSlot] != "No music") {
            EXPECT_EQ(m_dialog->MusicList(), music);
        }
    }
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());
}

TEST_F(OptionsDialogTest, SwatchesTakeTheColourDialogsChoice) {
    Open(Page::Advanced);
    auto& caption = Find<ColorSwatch>("captionSwatch");
    m_dialogs.QueueColour(QColor(0x12, 0x34, 0x56));
    caption.click();
    EXPECT_EQ(caption.Colour(), 0x00563412);
    EXPECT_EQ(caption.toolTip(), "$00563412");
    m_dialogs.QueueColour(std::nullopt);
    caption.click();
    EXPECT_EQ(caption.Colour(), 0x00563412);

    m_dialogs.QueueColour(QColor(Qt::white));
    Click("topSwatch");
    EXPECT_EQ(m_dialogs.ColourDialogsShown(), 3);

    Click("captionCheck");
    Find<QComboBox>("viewerFilterBox").setCurrentText("Gif");
    Click("okButton");
    EXPECT_EQ(m_settings.Slot(settings::kCaptionSlot), "$00563412");
    EXPECT_EQ(m_settings.Slot(settings::kBackDataSlot), "clWhite_clWhite");
    EXPECT_EQ(m_dialog->ViewerMask(), "*.gif");
    EXPECT_EQ(Find<QComboBox>("viewerFilterBox").count(), 6);
}

TEST_F(OptionsDialogTest, SummaryAddsMusicLengthsAndShowTime) {
    m_settings.SetSlot(settings::kAdvanceSlot, "5");
    m_settings.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    m_dialog->SetPictureCount(24);
    m_dialog->SetMusicList({"a.mp3", "b.mid", "c.wma"});
    Open(Page::Music);
    EXPECT_EQ(m_durations->Requests, (std::vector<std::string>{"a.mp3", "b.mid", "c.wma"}));
    EXPECT_EQ(m_dialog->MusicSummary(), "Music ? · show 2:00 (24 pictures × 5 s)");

    m_durations->Answer("a.mp3", 420'000);
    m_durations->Answer("b.mid", 42'000);
    m_durations->Answer("c.wma", std::nullopt);
    EXPECT_EQ(m_dialog->MusicSummary(), "Music 7:42 + ? · show 2:00 (24 pictures × 5 s)");

    m_dialog->HighlightMusicRow(2);
    Click("musicRemoveButton");
    EXPECT_EQ(m_dialog->MusicSummary(), "Music 7:42 · show 2:00 (24 pictures × 5 s)");
    Find<QSpinBox>("delaySpin").setValue(10);
    EXPECT_EQ(m_dialog->MusicSummary(), "Music 7:42 · show 4:00 (24 pictures × 10 s)");
    Click("manualRadio");
    EXPECT_EQ(m_dialog->MusicSummary(), "Music 7:42 · show manual (24 pictures)");

    // Known files are not asked again; an added one is.
    m_dialogs.QueueFiles({"a.mp3", "d.wav"});
    Click("musicAddButton");
    EXPECT_EQ(m_durations->Requests,
              (std::vector<std::string>{"a.mp3", "b.mid", "c.wma", "d.wav"}));
}

}  // namespace

namespace {

TEST_F(OptionsDialogTest, ModalOpenOnAPageReturnIsOkAndSelectOpensTheChooser) {
    // Return in the open dialog is its "OK": the slots are written back as they were.
    const core::StringList before = m_settings.Slots();
    Page shown = Page::Main;
    QTimer::singleShot(0, m_dialog.get(), [&] {
        shown = m_dialog->CurrentPage();
        PressKey(*m_dialog, Qt::Key_Return);
        // Closed either way, so a fault fails the test instead of hanging it.
        if (m_dialog->isVisible()) m_dialog->reject();
    });
    EXPECT_TRUE(m_dialog->Open(Page::Music));
    EXPECT_EQ(shown, Page::Music);
    EXPECT_EQ(m_settings.Slots(), before);

    // "Select" shows the chooser modally; its "OK" stores the set at once.
    QTimer::singleShot(0, m_dialog.get(), [&] {
        QTimer::singleShot(0, &m_chooser, [&] {
            m_chooser.ChoosePreset(settings::EffectChooser::Preset::All);
            m_chooser.findChild<QPushButton*>("okButton")->click();
        });
        Click("selectEffectsButton");
        Click("cancelButton");
    });
    EXPECT_FALSE(m_dialog->Open(Page::Main));
    EXPECT_EQ(m_chooser.EffectSet().size(), 21u);
}

}  // namespace
