#pragma once

#include <QDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "core/StringList.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace platform {
class Dialogs;
}

namespace settings {

class ColorSwatch;
class DurationReader;
class EffectChooser;
class ShowSettings;

// "Options": edits the ten show-settings slots and owns the music list. The controls are
// loaded from the slots each time the dialog opens and written back by "OK". The music
// list is edited in place: "Cancel" puts back the list the dialog opened with, Escape
// keeps the edits. Created once and hidden between uses, so controls the slots do not set
// (the viewer filter, the swatches of the kind not chosen) keep their state.
class OptionsDialog final : public QDialog {
public:
    enum class Page { Main, Music, Advanced };

    // `settings` and `chooser` outlive the dialog. With no duration reader the music's
    // lengths are read through Qt Multimedia.
    OptionsDialog(ShowSettings& settings, EffectChooser& chooser, platform::Dialogs& dialogs,
                  std::unique_ptr<DurationReader> durations = {}, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The folder the background picture's browse dialog starts in (the program's folder).
    void SetProgramFolder(const QString& folder) { m_programFolder = folder; }
    // The number of pictures, for the show's running time under the music list.
    void SetPictureCount(int count);

    // Shows the dialog modally on `page`; true after "OK".
    bool Open(Page page);
    // The opening without the modal loop: backup of the music list, controls from the slots.
    void BeginEdit(Page page);

    // The music list: full paths in playing order, as bytes.
    const core::StringList& MusicList() const { return m_music; }
    void SetMusicList(core::StringList paths);

    // The file pane's mask of the filter chosen under "Set filter for viewer"
    // ("*.bmp;*jpg;*.gif" until another is chosen). The editor gives it to the pane on "OK".
    QString ViewerMask() const;

    // Commands of the buttons.
    void Accept();  // "OK"; stays open when the background picture does not exist
    void Cancel();
    void SetDefaults();
    void SelectEffects();
    void BrowseBackground();
    void AddMusic();
    void RemoveMusic();
    void MoveMusicUp();
    void MoveMusicDown();
    void ClearMusic();

    Page CurrentPage() const;
    // The highlighted music row, or -1.
    int HighlightedMusicRow() const;
    void HighlightMusicRow(int row);
    // The line under the music list.
    QString MusicSummary() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildMainPage();
    QWidget* BuildMusicPage();
    QWidget* BuildAdvancedPage();
    void LoadControls();
    void UpdateEnabling();
    void ShowMusicList(int highlight);
    void RequestLengths();
    void UpdateSummary();
    std::string BackgroundFileName() const;

    ShowSettings& m_settings;
    EffectChooser& m_chooser;
    platform::Dialogs& m_dialogs;
    std::unique_ptr<DurationReader> m_durations;
    QString m_programFolder;
    int m_pictureCount = 0;

    core::StringList m_music;
    core::StringList m_musicBackup;
    std::map<std::string, std::optional<int64_t>> m_lengths;  // answered, per path
    std::set<std::string> m_asked;                            // waiting for an answer
    // The background slot's bytes as loaded, written back unchanged when the box still
    // shows them, so a name that is not valid UTF-8 survives the round trip.
    std::string m_loadedBackFile;

    QTabWidget* m_pages = nullptr;
    // "Main".
    QRadioButton* m_automaticRadio = nullptr;
    QRadioButton* m_manualRadio = nullptr;
    QSpinBox* m_delaySpin = nullptr;
    QRadioButton* m_fitRadio = nullptr;
    QRadioButton* m_noStretchRadio = nullptr;
    QSpinBox* m_sizeSpin = nullptr;
    QCheckBox* m_shadowCheck = nullptr;
    QRadioButton* m_randomEffectsRadio = nullptr;
    QRadioButton* m_noEffectsRadio = nullptr;
    // "Music".
    QCheckBox* m_playMusicCheck = nullptr;
    QCheckBox* m_repeatMusicCheck = nullptr;
    QListWidget* m_musicList = nullptr;
    QPushButton* m_musicUpButton = nullptr;
    QPushButton* m_musicDownButton = nullptr;
    QPushButton* m_musicAddButton = nullptr;
    QPushButton* m_musicRemoveButton = nullptr;
    QPushButton* m_musicClearButton = nullptr;
    QLabel* m_musicSummary = nullptr;
    // "Advanced".
    QComboBox* m_viewerFilterBox = nullptr;
    QRadioButton* m_colorsRadio = nullptr;
    QRadioButton* m_imageRadio = nullptr;
    ColorSwatch* m_topSwatch = nullptr;
    ColorSwatch* m_bottomSwatch = nullptr;
    QLineEdit* m_backFileEdit = nullptr;
    QToolButton* m_browseButton = nullptr;
    QComboBox* m_placementBox = nullptr;
    QCheckBox* m_loopCheck = nullptr;
    QCheckBox* m_captionCheck = nullptr;
    ColorSwatch* m_captionSwatch = nullptr;
};

}  // namespace settings
