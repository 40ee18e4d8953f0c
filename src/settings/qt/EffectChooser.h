#pragma once

#include <QDialog>
#include <QLabel>
#include <memory>

#include "core/StringList.h"
#include "transitions/TransitionList.h"
#include "transitions/qt/QtRenderWindow.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace platform {
class Dialogs;
}
namespace transitions {
class QtControl;
}

namespace settings {

// "Select effects": which of the 21 named transitions the show may use. It owns the effect
// set, the ascending decimal indexes of the ticked rows, which the player, the project
// reader and writer and the packer read and replace. The ticks are an editing copy,
// reloaded from the set on every opening and stored only by "OK".
class EffectChooser final : public QDialog {
public:
    // The preset box's entries, in its order.
    enum class Preset { Standard, All, None };
    static constexpr int kRowCount = 21;

    explicit EffectChooser(platform::Dialogs& dialogs, QWidget* parent = nullptr);
    ~EffectChooser() override;

    const core::StringList& EffectSet() const { return m_effectSet; }
    // Replaces the set as it stands (a project's lines); lines that name no row are kept in
    // the set but tick nothing.
    void SetEffectSet(core::StringList set) { m_effectSet = std::move(set); }

    // Shows the dialog modally, ticks loaded from the set; true after "OK".
    bool Open();
    // The opening without the modal loop: ticks from the set, "Standart set" in the box.
    void BeginEdit();

    // "Set defaults" of the options dialog: the standard ticks, stored at once.
    void ResetToStandardSet();

    // Commands.
    void ChoosePreset(Preset preset);  // as if chosen in the preset box
    void ClearTicks();
    void StoreTicks();  // "OK" without closing
    // Plays the highlighted row's effect on the preview panel, from the empty panel to the
    // sample and back; Escape cuts it short.
    void PlayPreview();

    bool Ticked(int row) const;
    void SetTicked(int row, bool ticked);  // as the user ticks: the box shows "Another set"
    // The highlighted row, or -1.
    int HighlightedRow() const;
    void Highlight(int row);
    Preset ShownPreset() const;

    QListWidget* EffectList() const { return m_list; }
    QWidget* PreviewPanel() const { return m_panel; }
    QLabel* Sample() const { return m_sample; }

    // Called after every frame of a preview reaches the panel.
    transitions::QtRenderWindow::FrameSink OnPreviewFrame;

private:
    void ApplyPreset(Preset preset);
    void SetAllTicks(bool ticked);
    void ShowPreset(Preset preset);
    void TickStandardSet();

    platform::Dialogs& m_dialogs;
    core::StringList m_effectSet;
    bool m_loadingTicks = false;
    bool m_previewing = false;

    QListWidget* m_list = nullptr;
    QComboBox* m_presetBox = nullptr;
    QWidget* m_panel = nullptr;
    QLabel* m_sample = nullptr;
    transitions::TransitionList m_previewEffects;
    std::unique_ptr<transitions::QtControl> m_panelControl;
};

}  // namespace settings
