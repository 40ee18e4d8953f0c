#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/EditorModel.h"
#include "app/ShowLists.h"
#include "pack/qt/PackDialog.h"
#include "player/qt/PlayerWindow.h"
#include "settings/qt/OptionsDialog.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolButton;

namespace platform {
class Dialogs;
}
namespace settings {
class DurationReader;
class EffectChooser;
}  // namespace settings

namespace app {

class FilePane;
class PreviewPanel;

// The editor's main window: the browser pane on the left, the picture list with its preview
// on the right, the menus and toolbar. The project and its decisions live in EditorModel;
// the window holds the widgets, keeps them in step with the model and wires the commands.
// The effect set and the music list live in the effect chooser and the options dialog; the
// window hands them to the model.
class EditorWindow : public QMainWindow, private ShowLists {
    Q_OBJECT

public:
    // What the window needs from outside; tests give a temporary program folder, scripted
    // dialogs and their own data folders.
    struct Environment {
        QString programFolder;    // ends with a separator
        QString fallbackFolder;   // settings when the program folder is read-only
        QString dataHome;         // where the file type is registered
        QString documentsFolder;  // the first run's start folder ("" = unknown)
        QString executable;       // opened for project files
        QStringList arguments;    // command-line arguments after the program name
        platform::Dialogs* dialogs = nullptr;
        player::PlayerWindow::MusicDeviceFactory musicDevice;  // the real device when empty
        // Reads the music's lengths for the options dialog; Qt Multimedia when empty.
        std::function<std::unique_ptr<settings::DurationReader>()> musicLengths;
    };

    explicit EditorWindow(Environment environment, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // Picture list commands.
    void AddSelected();
    void AddAll();
    void RemoveSelected();
    void ClearPictures();
    void MovePicture(MoveDirection direction);
    void PlayNow();
    // "Make EXE", "Create EXE-File" and "Create Screen Saver": save, then the pack dialog in
    // the given mode. A save the user cancels opens no dialog.
    void PackShow(pack::PackMode mode);
    // "Options" (on "Main") and "Add Music" (on "Music"): the options dialog, modally.
    void ShowOptions(settings::OptionsDialog::Page page);
    // Project commands.
    void NewProject();
    void OpenProject();
    bool SaveProject();  // false when nothing was written
    void SaveProjectAs();
    bool ConfirmClose();  // true when the window may close
    // Start folder and start project; does its work on the first call only.
    void OnFirstShow();
    // Preview.
    void PreviewListSelection();
    void PreviewBrowsedFile(const QString& path);
    void SetPreviewVisible(bool shown);

    // Adds pictures the browser offers: `paths` are full paths in the pane's order (the
    // selected ones for Add, every listed one for Add all).
    void AddPictures(const QStringList& paths, AddKind kind);

    // The browser pane's current folder (with trailing separator).
    QString PaneFolder() const;
    void SetPaneFolder(const QString& folder);

    // State, for tests.
    const EditorModel& Model() const { return m_model; }
    QStringList Pictures() const;  // as the picture list shows them
    QString StatusText() const;
    QMenu* RecentFoldersMenu() const { return m_recentMenu; }
    QListWidget* PictureList() const { return m_pictureList; }
    bool PreviewShown() const;
    const QString& PreviewPath() const { return m_previewPath; }
    FilePane* Pane() const { return m_filePane; }
    player::PlayerWindow* Player() const { return m_player.get(); }
    pack::PackDialog* PackWindow() const { return m_packDialog.get(); }
    settings::OptionsDialog* Options() const { return m_options.get(); }
    settings::EffectChooser* Chooser() const { return m_effectChooser.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void LoadSettingsFiles();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanes();
    void UpdateActions();
    void BuildRecentFolders();
    void UpdateCounter();
    void ShowTitles();
    void ShowNewProject();
    void ShowLoadedPictures();
    void ShowProject();
    void ShowPreview(const QString& path);
    void ClearPreview();
    void NotAvailable(const QString& what);

    // ShowLists: the model's effect set and music list are the dialogs' own.
    const core::StringList& EffectSet() const override;
    void SetEffectSet(core::StringList set) override;
    const core::StringList& MusicList() const override;
    void SetMusicList(core::StringList paths) override;

    Environment m_env;
    platform::Dialogs& m_dialogs;
    EditorModel m_model;

    bool m_activated = false;
    QString m_previewPath;

    // Controls.
    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_rightSplitter = nullptr;
    PreviewPanel* m_previewPanel = nullptr;
    FilePane* m_filePane = nullptr;
    QListWidget* m_pictureList = nullptr;
    QLabel* m_statusPanel = nullptr;
    QToolButton* m_previewToggle = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::unique_ptr<player::PlayerWindow> m_player;
    std::unique_ptr<pack::PackDialog> m_packDialog;
    // Made once at start and hidden between uses; the options dialog goes first at the end,
    // as it opens the chooser.
    std::unique_ptr<settings::EffectChooser> m_effectChooser;
    std::unique_ptr<settings::OptionsDialog> m_options;

    // Actions, built once in CreateActions.
    QAction* m_playAct = nullptr;
    QAction* m_newAct = nullptr;
    QAction* m_openAct = nullptr;
    QAction* m_saveAct = nullptr;
    QAction* m_saveAsAct = nullptr;
    QAction* m_exeAct = nullptr;
    QAction* m_saverAct = nullptr;
    QAction* m_exitAct = nullptr;
    QAction* m_addAct = nullptr;
    QAction* m_addAllAct = nullptr;
    QAction* m_removeAct = nullptr;
    QAction* m_clearAct = nullptr;
    QAction* m_optionsAct = nullptr;
    QAction* m_musicAct = nullptr;
    QAction* m_texturesAct = nullptr;
    QAction* m_webAct = nullptr;
    QAction* m_helpAct = nullptr;
    QAction* m_supportAct = nullptr;
    QAction* m_aboutAct = nullptr;
};

}  // namespace app
