#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/SettingsFiles.h"
#include "app/ShowLists.h"
#include "core/StringList.h"
#include "settings/ShowSettings.h"

class QWidget;

namespace platform {
class Dialogs;
}

namespace app {

enum class AddKind { Selected, All };
enum class MoveDirection { Up, Down };

// "Pictavo Pro" and the version: the first caption and the about box's first line.
QString ProgramCaption();

// The editor's project and its decisions, without widgets: the picture list, the show
// settings, the settings block, the open and save names, the modified flag, the titles, the
// settings files and the recent folders. The effect set and the music list belong to their
// dialogs; the model reaches them through `lists`. The project commands ask their questions
// through the dialogs interface; the editor window shows the outcome.
class EditorModel {
public:
    // `lists` outlives the model and is not used while the model is being made.
    // `dialogParent` only places the dialogs over the editor window; tests pass none.
    EditorModel(SettingsFiles files, platform::Dialogs& dialogs, ShowLists& lists,
                QWidget* dialogParent = nullptr);

    // ---- Start-up and settings files

    // Whether an earlier start registered the project file type (its marker file exists).
    bool FileTypeRegistered() const;
    void RecordFileTypeRegistered();
    // Reads SOPT.lst and dires.lst, writes the show settings' start values and keeps the last
    // five recent folders. A missing file counts as a fresh installation.
    void LoadSettingsFiles();
    bool PreviewShownAtStart() const;
    // The folders the "Recent Folders" menu lists at start, oldest first; none means the
    // menu's single "Empty" entry, which does nothing.
    QStringList RecentFolderEntries() const;
    // Reads dir.lst and returns the file pane's start folder: the documents folder on a
    // fresh installation, otherwise the folder of the last run. Empty: keep the pane's folder.
    QString LoadStartFolder(const QString& documentsFolder);
    // The project to open at start: the command-line arguments joined by single spaces
    // (the shell splits a path with spaces), else the last project recorded in SOPT.lst.
    std::optional<QString> StartProject(const QStringList& arguments) const;
    // Writes dir.lst (the pane's folder) and SOPT.lst (the preview state and the project).
    void SaveSettingsFiles();

    // The window reports what it shows, for the settings files and the recent folders.
    void SetCurrentFolder(const QString& folder) { m_currentFolder = folder; }
    const QString& CurrentFolder() const { return m_currentFolder; }
    void SetPreviewShown(bool shown) { m_previewShown = shown; }

    // ---- Picture list

    // Appends the pictures among `fileNames` (names in the current folder, in the pane's
    // order) and records the folder among the recent ones with the first of them. Returns
    // the positions in `fileNames` of those added. Sets the modified flag even when none is.
    std::vector<int> AddPictures(const QStringList& fileNames, AddKind kind);
    // Removes the entries at `rows` (any order); sets the modified flag.
    void RemovePictures(std::vector<int> rows);
    // Empties the list; sets the modified flag.
    void ClearPictures();
    // One press of the move arrows for the focused entry `row` (-1 for none). The arrows
    // keep a position from -2000 to 2000 that stops at the ends, so a press there moves
    // nothing. Returns the entry's new row, or -1 when nothing moved. Moving does not modify.
    int MovePicture(int row, MoveDirection direction);
    // The options and music dialogs set the flag whatever the user did there.
    void MarkModified() { m_modified = true; }

    // ---- Project commands

    // New: asks whether to save a modified, non-empty project first. True when the project
    // was reset (empty list, start settings, no names); Cancel changes nothing.
    bool NewProject();
    // Open: the same question first, then the open dialog and the project read. True when a
    // project was loaded.
    bool OpenProject();
    // Reads a project; on success it is the open project, unmodified. A file that is not a
    // project is reported and changes nothing.
    bool LoadProject(const QString& path);
    // Save: to the open file, or to a name asked for. False when nothing was written.
    bool SaveProject();
    // Save As: always asks for a name. False when nothing was written.
    bool SaveProjectAs();
    // The close query: true when the window may close. Writes the settings files when the
    // user answered the save question.
    bool ConfirmClose();

    // ---- State

    const core::StringList& Pictures() const { return m_pictures; }
    const settings::ShowSettings& Settings() const { return m_settings; }
    // The slots the options dialog edits in place.
    settings::ShowSettings& EditableSettings() { return m_settings; }
    // The settings block the last save assembled; packing reads it.
    const core::StringList& SettingsBlock() const { return m_settingsBlock; }
    const core::StringList& Effects() const { return m_lists.EffectSet(); }
    const core::StringList& MusicList() const { return m_lists.MusicList(); }
    const core::StringList& RecentFolders() const { return m_recentFolders; }
    bool Modified() const { return m_modified; }
    const QString& OpenName() const { return m_openName; }
    const QString& SaveName() const { return m_saveName; }
    // The window's caption and the application title (task bar).
    const QString& Caption() const { return m_caption; }
    // The name the titles and the save question give the project.
    QString ProjectName() const;
    const QString& ApplicationTitle() const { return m_applicationTitle; }
    const SettingsFiles& Files() const { return m_files; }

private:
    // Asks whether to save the changes; Yes saves them. True to go on: saved, or the user
    // chose to discard them. False when the user cancelled or nothing was written.
    bool AskToSave(const QString& question);
    QString SaveQuestion(const QString& before) const;
    bool HasUnsavedChanges() const;

    void ResetToNewProject();
    void SetTitles(const QString& projectName);
    void RecordRecentFolder();
    bool WriteProject(const QString& path);
    core::StringList AssembleProject() const;
    // The file a save under the save name writes.
    QString SavedFile() const;
    QString NameOfSaveName() const;

    SettingsFiles m_files;
    platform::Dialogs& m_dialogs;
    ShowLists& m_lists;
    QWidget* m_dialogParent;

    // The project.
    core::StringList m_pictures;
    settings::ShowSettings m_settings;
    core::StringList m_settingsBlock;
    bool m_modified = false;
    QString m_openName;
    QString m_saveName;
    QString m_projectName;  // empty: untitled
    QString m_caption;
    QString m_applicationTitle;
    int m_movePosition = 0;

    // The settings files and what the window reported.
    core::StringList m_programOptions;  // SOPT.lst: preview state, start project
    core::StringList m_startFolder;     // dir.lst: the pane's folder, further lines kept
    core::StringList m_recentFolders;   // dires.lst
    bool m_firstRun = false;
    QString m_currentFolder;
    bool m_previewShown = true;
};

}  // namespace app
