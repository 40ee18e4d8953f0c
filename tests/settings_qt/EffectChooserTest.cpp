#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <string>

#include "settings/ShowSettings.h"
#include "settings/qt/EffectChooser.h"
#include "support/ScriptedDialogs.h"

namespace {

using settings::EffectChooser;
using Preset = EffectChooser::Preset;

class EffectChooserTest : public ::testing::Test {
protected:
    std::vector<int> TickedRows() const {
        std::vector<int> rows;
        for (int row = 0; row < EffectChooser::kRowCount; ++row)
            if (m_chooser.Ticked(row)) rows.push_back(row);
        return rows;
    }
    void Click(const char* name) { m_chooser.findChild<QPushButton*>(name)->click(); }
    void Open() {
        m_chooser.BeginEdit();
        m_chooser.show();
    }

    platform::ScriptedDialogs m_dialogs;
    EffectChooser m_chooser{m_dialogs};
};

const std::vector<int> kStandardRows = {1, 2, 4, 6, 9, 11, 12, 13, 14, 15, 17, 19, 20};

TEST_F(EffectChooserTest, StartsWithTheStandardSet) {
    EXPECT_EQ(m_chooser.windowTitle(), "Select effects");
    EXPECT_EQ(m_chooser.EffectSet(), (core::StringList{"1", "2", "4", "6", "9", "11", "12", "13",
                                                       "14", "15", "17", "19", "20"}));
    Open();
    EXPECT_EQ(TickedRows(), kStandardRows);
    EXPECT_EQ(m_chooser.ShownPreset(), Preset::Standard);
    QListWidget& rows = *m_chooser.EffectList();
    ASSERT_EQ(rows.count(), 21);
    EXPECT_EQ(rows.item(0)->text(), "Alpha blend");
    EXPECT_EQ(rows.item(7)->text(), "Sweep anticlockwise");
    EXPECT_EQ(rows.item(20)->text(), "Wipe out");
    EXPECT_FALSE(m_chooser.Sample()->pixmap().isNull());
}

TEST_F(EffectChooserTest, SelectAllThenOkStoresEveryRow) {
    Open();
    m_chooser.ChoosePreset(Preset::All);
    Click("okButton");
    EXPECT_FALSE(m_chooser.isVisible());
    core::StringList all;
    for (int i = 0; i <= 20; ++i) all.push_back(std::to_string(i));
    EXPECT_EQ(m_chooser.EffectSet(), all);
}

TEST_F(EffectChooserTest, TicksPresetsAndClear) {
    Open();
    m_chooser.SetTicked(0, true);
    EXPECT_EQ(m_chooser.ShownPreset(), Preset::None);
    EXPECT_EQ(TickedRows().size(), kStandardRows.size() + 1);

    m_chooser.ChoosePreset(Preset::Standard);
    EXPECT_EQ(TickedRows(), kStandardRows);
    EXPECT_EQ(m_chooser.ShownPreset(), Preset::Standard);
    Click("clearButton");
    EXPECT_TRUE(TickedRows().empty());
    EXPECT_EQ(m_chooser.ShownPreset(), Preset::Standard);

    m_chooser.ChoosePreset(Preset::All);
    m_chooser.ChoosePreset(Preset::None);
    EXPECT_TRUE(TickedRows().empty());
    // An empty set is stored as it is.
    Click("okButton");
    EXPECT_TRUE(m_chooser.EffectSet().empty());
}

TEST_F(EffectChooserTest, CancelOrEscapeThenReopeningRestoresTheTicks) {
    Open();
    m_chooser.ChoosePreset(Preset::All);
    Click("cancelButton");
    EXPECT_FALSE(m_chooser.isVisible());
    EXPECT_EQ(m_chooser.EffectSet(), settings::StandardEffectSet());
    Open();
    EXPECT_EQ(TickedRows(), kStandardRows);

    m_chooser.SetTicked(3, true);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(m_chooser.EffectList(), &escape);
    EXPECT_FALSE(m_chooser.isVisible());
    Open();
    EXPECT_EQ(TickedRows(), kStandardRows);
    EXPECT_EQ(m_chooser.ShownPreset(), Preset::Standard);
}

TEST_F(EffectChooserTest, LinesNamingNoRowTickNothing) {
    m_chooser.SetEffectSet({"3", "abc", "21", "-1", "", "20", "99999999999"});
    Open();
    EXPECT_EQ(TickedRows(), (std::vector<int>{3, 20}));
    Click("okButton");
    EXPECT_EQ(m_chooser.EffectSet(), (core::StringList{"3", "20"}));
}

// Frames of a preview, split by whether the sample was showing: the first half plays
// towards the sample (shown), the second back to the empty panel (hidden).
struct PreviewFrames {
    int TowardsSample = 0;
    int Back = 0;
};

TEST_F(EffectChooserTest, PreviewPlaysTheHighlightedRowTickedOrNot) {
    Open();
    PreviewFrames frames;
    m_chooser.OnPreviewFrame = [&](const raster::Bitmap&, const core::Rect&) {
        ++(m_chooser.Sample()->isVisible() ? frames.TowardsSample : frames.Back);
    };

    m_chooser.Highlight(-1);
    m_chooser.PlayPreview();
    EXPECT_EQ(m_dialogs.Shown(), QStringList{"Please, select transition."});
    EXPECT_EQ(frames.TowardsSample + frames.Back, 0);

    // "Blocks" is not in the standard set.
    ASSERT_FALSE(m_chooser.Ticked(3));
    m_chooser.Highlight(3);
    m_chooser.PlayPreview();
    EXPECT_GT(frames.TowardsSample, 0);
    EXPECT_GT(frames.Back, 0);
    EXPECT_FALSE(m_chooser.Sample()->isVisible());
    EXPECT_FALSE(m_chooser.Ticked(3));
    EXPECT_EQ(m_chooser.EffectSet(), settings::StandardEffectSet());
    EXPECT_EQ(m_dialogs.Shown().size(), 1);
}

TEST_F(EffectChooserTest, EscapeCutsThePreviewShort) {
    Open();
    PreviewFrames frames;
    m_chooser.OnPreviewFrame = [&](const raster::Bitmap&, const core::Rect&) {
        const bool towards = m_chooser.Sample()->isVisible();
        if (towards && frames.TowardsSample == 0)
            QCoreApplication::postEvent(
                m_chooser.EffectList(),
                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        ++(towards ? frames.TowardsSample : frames.Back);
    };
    m_chooser.Highlight(11);
    m_chooser.PlayPreview();
    EXPECT_GT(frames.TowardsSample, 0);
    EXPECT_EQ(frames.Back, 0);
    EXPECT_FALSE(m_chooser.Sample()->isVisible());
    // The Escape ended the preview, not the dialog.
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_chooser.isVisible());
}

}  // namespace
