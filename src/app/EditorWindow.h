#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "app/SettingsFiles.h"
#include "core/StringList.h"
#include "player/qt/TSShow.h"
#include "settings/ShowSettings.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolButton;

namespace platform {
class Dialogs;
}
namespace app {
class FilePane;
class PreviewPanel;
}  // namespace app

// The main window: the browser pane on the left, the picture list with its preview on the
// right, and the project commands.
class TForm1 : public QMainWindow {
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
        player::TSShow::MusicDeviceFactory musicDevice;  // the real device when empty
    };

    enum class UpDownButton { Up, Down };
    enum class AddKind { Selected, All };

    explicit TForm1(Environment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    // Commands, named after the program's handlers.
    void ToolButton6Click();  // Add
    void ToolButton8Click();  // Add all
    void ToolButton7Click();  // Remove
    void ToolButton9Click();  // Clear
    void UpDown1Click(UpDownButton button);
    void ToolButton17Click();  // Play Now
    void PrevButtonClick();    // New
    void ToolButton2Click();   // Open
    bool ToolButton3Click();   // Save; false when nothing was written
    void ToolButton4Click();   // Save As
    bool FormCloseQuery();     // true when the window may close
    void FormActivate();       // start-up work on the first activation only
    void ListBox1Click();
    void FLBClick(const QString& path);
    void Prev(bool shown);  // preview panel on or off
    void SaveAll();

    // Adds pictures the browser offers: `paths` are full paths in the pane's order (the
    // selected ones for Add, every listed one for Add all).
    void AddPictures(const QStringList& paths, AddKind kind);

    // The browser pane's current folder (with trailing separator).
    QString PaneFolder() const;
    void SetPaneFolder(const QString& folder);

    // State, for the status line and tests.
    QStringList Pictures() const;
    bool Modified() const { return m_modified; }
    const QString& OpenName() const { return m_openName; }
    const QString& SaveName() const { return m_saveName; }
    const QString& ApplicationTitle() const { return m_applicationTitle; }
    QString StatusText() const;
    const core::StringList& Dires() const { return m_dires; }
    const settings::ShowSettings& OptList() const { return m_optList; }
    QMenu* RecentFoldersMenu() const { return m_recentMenu; }
    QListWidget* PictureList() const { return m_listBox1; }
    bool PreviewShown() const;
    const QString& PreviewPath() const { return m_previewPath; }
    app::FilePane* FLB() const { return m_flb; }
    player::TSShow* SShow() const { return m_sShow.get(); }

    static bool IsPictureName(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanes();
    void UpdateActions();
    void BuildRecentFolders();
    void AddFolder();
    void UpdateCounter();
    void SetTitles(const QString& projectName);
    void ResetToNewProject();
    bool LoadProject(const QString& path);
    void ShowProject();
    bool WriteProject(const QString& path);
    core::StringList AssembleProject() const;
    void ShowPreview(const QString& path);
    void ClearPreview();
    void NotAvailable(const QString& what);

    Environment m_env;
    platform::Dialogs& m_dialogs;
    SettingsFiles m_files;

    // Hidden lists.
    settings::ShowSettings m_optList;
    core::StringList m_allbox;
    core::StringList m_sopt;
    core::StringList m_startDir;
    core::StringList m_dires;
    core::StringList m_effects;  // the effect chooser's list, kept here until it exists
    core::StringList m_music;    // the options dialog's music list, likewise

    bool m_firstRun = false;
    bool m_activated = false;
    bool m_modified = false;
    QString m_openName;
    QString m_saveName;
    QString m_applicationTitle;
    int m_upDownPosition = 0;
    QString m_previewPath;

    // Controls.
    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_rightSplitter = nullptr;
    app::PreviewPanel* m_prePanel = nullptr;
    app::FilePane* m_flb = nullptr;
    QListWidget* m_listBox1 = nullptr;
    QLabel* m_statusPanel = nullptr;
    QToolButton* m_prevButton = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::unique_ptr<player::TSShow> m_sShow;

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
