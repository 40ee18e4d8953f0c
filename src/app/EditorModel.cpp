#include "app/EditorModel.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <functional>

#include "codecs/Picture.h"
#include "core/Version.h"
#include "platform/Dialogs.h"
#include "project/ProjectFile.h"

namespace app {

namespace {

const QString kApplicationTitle = QStringLiteral("Pictavo Pro");
const QString kCaptionPrefix = QStringLiteral("Pictavo Pro - ");
const QString kUntitled = QStringLiteral("Untitled project");
const QString kProjectFilter = QStringLiteral("Pictavos (*.orv)");
const QString kProjectExtension = QStringLiteral(".orv");

// The settings files keep these names so that an existing installation's files are read.
const QString kProgramOptionsFile = QStringLiteral("SOPT.lst");
const QString kRecentFoldersFile = QStringLiteral("dires.lst");
const QString kStartFolderFile = QStringLiteral("dir.lst");
// Present once the project file type has been registered.
const QString kFirstRunMarker = QStringLiteral("ORVFIRST");

// SOPT.lst line 0 shows the preview only when it is exactly this text.
const std::string kPreviewShown = "Pre";
const std::string kPreviewHidden = "Not";
// SOPT.lst line 1 when there is no project to open at start.
const std::string kNoProject = "No";
// dires.lst's first line on a fresh installation, and the line that hides the entries.
const std::string kNoFoldersYet = "Empty";
const std::string kHideFolders = "Clear";
constexpr size_t kRecentFoldersKept = 5;

constexpr int kMoveMin = -2000;
constexpr int kMoveMax = 2000;

std::string Bytes(const QString& text) {
    return text.toStdString();
}
QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

}  // namespace

QString ProgramCaption() {
    return kApplicationTitle + ' ' +
           QString::fromUtf8(core::kVersion.data(), core::kVersion.size());
}

EditorModel::EditorModel(SettingsFiles files, platform::Dialogs& dialogs, ShowLists& lists,
                         QWidget* dialogParent)
    : m_files(std::move(files)),
      m_dialogs(dialogs),
      m_lists(lists),
      m_dialogParent(dialogParent),
      m_caption(ProgramCaption()),
      m_applicationTitle(kApplicationTitle) {}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

bool EditorModel::FileTypeRegistered() const {
    return m_files.Exists(kFirstRunMarker);
}

void EditorModel::RecordFileTypeRegistered() {
    m_files.Save(kFirstRunMarker, {});
}

void EditorModel::LoadSettingsFiles() {
    m_programOptions = m_files.Load(kProgramOptionsFile);
    if (m_programOptions.empty()) m_programOptions = {kPreviewShown, kNoProject};

    m_settings.WriteStartDefaults();

    m_recentFolders = m_files.Load(kRecentFoldersFile);
    if (m_recentFolders.empty()) m_recentFolders = {kNoFoldersYet};
    m_firstRun = m_recentFolders[0] == kNoFoldersYet;
    if (m_firstRun) {
        // The first folder recorded then replaces the "Empty" line in the file.
        m_recentFolders.clear();
    } else if (m_recentFolders.size() > kRecentFoldersKept) {
        m_recentFolders.erase(m_recentFolders.begin(), m_recentFolders.end() - kRecentFoldersKept);
    }
}

bool EditorModel::PreviewShownAtStart() const {
    return !m_programOptions.empty() && m_programOptions[0] == kPreviewShown;
}

QStringList EditorModel::RecentFolderEntries() const {
    QStringList entries;
    if (m_firstRun || m_recentFolders.empty() || m_recentFolders[0] == kHideFolders) return entries;
    for (const std::string& folder : m_recentFolders) entries.push_back(Text(folder));
    return entries;
}

QString EditorModel::LoadStartFolder(const QString& documentsFolder) {
    m_startFolder = m_files.Load(kStartFolderFile);
    if (m_firstRun) return documentsFolder;
    if (!m_startFolder.empty()) return Text(m_startFolder[0]);
    return {};
}

std::optional<QString> EditorModel::StartProject(const QStringList& arguments) const {
    if (!arguments.isEmpty()) return arguments.join(' ');
    if (m_programOptions.size() < 2 || m_programOptions[1] == kNoProject) return std::nullopt;
    return Text(m_programOptions[1]);
}

void EditorModel::SaveSettingsFiles() {
    if (m_startFolder.empty())
        m_startFolder.push_back(Bytes(m_currentFolder));
    else
        m_startFolder[0] = Bytes(m_currentFolder);
    m_files.Save(kStartFolderFile, m_startFolder);

    m_programOptions.clear();
    m_programOptions.push_back(m_previewShown ? kPreviewShown : kPreviewHidden);
    if (!m_openName.isEmpty())
        m_programOptions.push_back(Bytes(m_openName));
    else if (!m_saveName.isEmpty())
        m_programOptions.push_back(Bytes(SavedFile()));
    else
        m_programOptions.push_back(kNoProject);
    m_files.Save(kProgramOptionsFile, m_programOptions);
}

// ---------------------------------------------------------------------------------------
// Picture list

void EditorModel::RecordRecentFolder() {
    const std::string folder = Bytes(m_currentFolder);
    if (std::find(m_recentFolders.begin(), m_recentFolders.end(), folder) != m_recentFolders.end())
        return;
    m_recentFolders.push_back(folder);
    m_files.Save(kRecentFoldersFile, m_recentFolders);
}

std::vector<int> EditorModel::AddPictures(const QStringList& fileNames, AddKind kind) {
    m_modified = true;
    std::vector<int> added;
    for (int i = 0; i < fileNames.size(); ++i) {
        if (!codecs::IsPictureExtension(Bytes(fileNames[i]))) continue;
        // Add records the folder before its first picture, Add all after it; either way
        // the folder is recorded once, and only when a picture was added.
        if (added.empty() && kind == AddKind::Selected) RecordRecentFolder();
        m_pictures.push_back(Bytes(m_currentFolder + fileNames[i]));
        if (added.empty() && kind == AddKind::All) RecordRecentFolder();
        added.push_back(i);
    }
    return added;
}

void EditorModel::RemovePictures(std::vector<int> rows) {
    m_modified = true;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && size_t(row) < m_pictures.size()) m_pictures.erase(m_pictures.begin() + row);
}

void EditorModel::ClearPictures() {
    m_modified = true;
    m_pictures.clear();
}

int EditorModel::MovePicture(int row, MoveDirection direction) {
    const int last = m_movePosition;
    m_movePosition =
        std::clamp(last + (direction == MoveDirection::Up ? 1 : -1), kMoveMin, kMoveMax);
    const int count = int(m_pictures.size());
    if (count < 2 || row < 0 || row >= count) return -1;
    int target = -1;
    if (m_movePosition > last && row > 0) target = row - 1;
    if (m_movePosition < last && row < count - 1) target = row + 1;
    if (target >= 0) std::swap(m_pictures[size_t(row)], m_pictures[size_t(target)]);
    return target;
}

// ---------------------------------------------------------------------------------------
// Project commands

void EditorModel::SetTitles(const QString& projectName) {
    m_projectName = projectName;
    m_caption = kCaptionPrefix + projectName;
    m_applicationTitle = projectName + " - " + kApplicationTitle;
}

void EditorModel::ResetToNewProject() {
    m_projectName.clear();
    m_caption = kCaptionPrefix + kUntitled;
    m_applicationTitle = kApplicationTitle;
    m_settingsBlock.clear();
    m_pictures.clear();
    m_settings.Clear();
    m_settings.WriteStartDefaults();
    // The effect set and the music list stay: a new show starts with the effects last
    // chosen, and the music is off until switched on again.
    // Nothing of the new project is unsaved, so the title shows no change.
    m_modified = false;
}

QString EditorModel::ProjectName() const {
    return m_projectName.isEmpty() ? kUntitled : m_projectName;
}

QString EditorModel::SaveQuestion(const QString& before) const {
    return QString("Save the changes to \"%1\" before %2?").arg(ProjectName(), before);
}

// A name typed with the extension is written as it is, so "x.orv" does not become
// "x.orv.orv".
QString EditorModel::SavedFile() const {
    return m_saveName.endsWith(kProjectExtension) ? m_saveName : m_saveName + kProjectExtension;
}

// The project's name in the titles: the file name as chosen, without the extension.
QString EditorModel::NameOfSaveName() const {
    QString name = QFileInfo(m_saveName).fileName();
    if (name.endsWith(kProjectExtension)) name.chop(kProjectExtension.size());
    return name;
}

core::StringList EditorModel::AssembleProject() const {
    return project::BuildSettingsBlock(m_settings, m_pictures, m_lists.EffectSet(),
                                       m_lists.MusicList());
}

bool EditorModel::WriteProject(const QString& path) {
    try {
        project::WriteProjectFile(Bytes(path), m_settingsBlock);
        return true;
    } catch (const std::exception& error) {
        m_dialogs.Inform(m_dialogParent, QString::fromUtf8(error.what()));
        return false;
    }
}

bool EditorModel::AskToSave(const QString& question) {
    switch (m_dialogs.Message(m_dialogParent, question, platform::Buttons::YesNoCancel)) {
        case platform::Button::Yes:
            // A save that did not happen keeps the project rather than losing it.
            return SaveProject();
        case platform::Button::No:
            return true;
        default:
            return false;
    }
}

bool EditorModel::HasUnsavedChanges() const {
    return !m_pictures.empty() && m_modified;
}

bool EditorModel::NewProject() {
    // Cancel, or a save that did not happen, keeps the project as it is, names included.
    if (HasUnsavedChanges() && !AskToSave(SaveQuestion("starting a new project"))) return false;
    ResetToNewProject();
    m_saveName.clear();
    m_openName.clear();
    return true;
}

bool EditorModel::OpenProject() {
    // Asked before the dialog, as New and closing do, so no change is lost unasked.
    if (HasUnsavedChanges() && !AskToSave(SaveQuestion("opening another project"))) return false;
    const std::optional<QString> chosen =
        m_dialogs.OpenFile(m_dialogParent, kProjectFilter, m_openName);
    return chosen && LoadProject(*chosen);
}

// Reads into copies first, so a file that is not a project leaves the open project, its
// name and its modified flag as they were.
bool EditorModel::LoadProject(const QString& path) {
    settings::ShowSettings loadedSettings = m_settings;
    core::StringList pictures;
    core::StringList effects = m_lists.EffectSet();
    core::StringList music = m_lists.MusicList();
    try {
        project::ReadProjectFile(Bytes(path), loadedSettings, pictures, effects, music);
    } catch (const std::exception& error) {
        m_dialogs.Inform(m_dialogParent, QString::fromUtf8(error.what()));
        return false;
    }
    m_modified = false;
    m_openName = path;
    m_settings = std::move(loadedSettings);
    m_pictures = std::move(pictures);
    m_lists.SetEffectSet(std::move(effects));
    m_lists.SetMusicList(std::move(music));
    m_saveName.clear();
    // The project's name is the file's name without its last four characters, the
    // extension and its dot; a shorter name leaves nothing.
    QString name = QFileInfo(m_openName).fileName();
    name.chop(4);
    SetTitles(name);
    return true;
}

bool EditorModel::SaveProject() {
    if (m_pictures.empty()) return false;
    m_settingsBlock = AssembleProject();
    if (m_openName.isEmpty() && m_saveName.isEmpty()) {
        std::optional<QString> chosen = m_dialogs.SaveFile(m_dialogParent, kProjectFilter, {});
        if (!chosen) return false;  // nothing written, so the project stays modified
        m_saveName = *chosen;
        SetTitles(NameOfSaveName());
    }
    if (!WriteProject(!m_openName.isEmpty() ? m_openName : SavedFile())) return false;
    m_modified = false;
    return true;
}

bool EditorModel::SaveProjectAs() {
    m_settingsBlock.clear();
    if (m_pictures.empty()) return false;
    std::optional<QString> chosen = m_dialogs.SaveFile(m_dialogParent, kProjectFilter, {});
    if (!chosen) return false;  // cancelled: the project keeps its name and its modified flag
    m_saveName = *chosen;
    m_settingsBlock = AssembleProject();
    if (!WriteProject(SavedFile())) return false;
    m_modified = false;
    SetTitles(NameOfSaveName());
    m_openName.clear();
    return true;
}

bool EditorModel::ConfirmClose() {
    if (!HasUnsavedChanges()) return true;
    if (!AskToSave(SaveQuestion("closing"))) return false;
    SaveSettingsFiles();
    return true;
}

}  // namespace app
