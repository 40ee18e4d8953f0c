#include "app/EditorWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/FilePane.h"
#include "app/PreviewPanel.h"
#include "codecs/Picture.h"
#include "pack/ShowBuilder.h"
#include "platform/Dialogs.h"
#include "platform/FileTypeRegistration.h"
#include "settings/qt/DurationReader.h"
#include "settings/qt/EffectChooser.h"

namespace app {

namespace {

std::string Bytes(const QString& text) {
    return text.toStdString();
}
QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

}  // namespace

EditorWindow::EditorWindow(Environment environment, QWidget* parent)
    : QMainWindow(parent),
      m_env(std::move(environment)),
      m_dialogs(*m_env.dialogs),
      m_model(SettingsFiles(m_env.programFolder, m_env.fallbackFolder), m_dialogs,
              static_cast<ShowLists&>(*this), this) {
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePanes();
    LoadSettingsFiles();
    UpdateActions();
    // The player window is made once, after the editor's lists and settings exist; every
    // show reuses it.
    m_player = std::make_unique<player::PlayerWindow>(m_dialogs, m_env.musicDevice);
    // So are the options dialog and the effect chooser, which own the effect set and the
    // music list from here on. The chooser comes first: the dialog opens it from "Select".
    m_effectChooser = std::make_unique<settings::EffectChooser>(m_dialogs, this);
    m_options = std::make_unique<settings::OptionsDialog>(
        m_model.EditableSettings(), *m_effectChooser, m_dialogs,
        m_env.musicLengths ? m_env.musicLengths() : nullptr, this);
    m_options->SetProgramFolder(m_model.Files().ProgramFolder());
    m_packDialog = std::make_unique<pack::PackDialog>(m_dialogs, m_env.programFolder, this);
}

EditorWindow::~EditorWindow() = default;

// ---------------------------------------------------------------------------------------
// Building the window

void EditorWindow::CreateActions() {
    auto make = [this](const QString& text, QKeySequence key, auto handler) {
        auto* action = new QAction(text, this);
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_playAct = make("Play Now!", QKeySequence(Qt::Key_F5), [this] { PlayNow(); });
    m_newAct = make("New ...", QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NewProject(); });
    m_openAct = make("Open ...", QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OpenProject(); });
    m_saveAct = make("Save", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveProject(); });
    m_saveAsAct = make("Save As ...", QKeySequence(), [this] { SaveProjectAs(); });
    m_exeAct = make("Create EXE-File", QKeySequence(Qt::Key_F9),
                    [this] { PackShow(pack::PackMode::Application); });
    m_saverAct = make("Create Screen Saver", QKeySequence(Qt::Key_F8),
                      [this] { PackShow(pack::PackMode::ScreenSaver); });
    m_exitAct = make("Exit", QKeySequence(Qt::Key_F10), [this] { close(); });
    m_addAct = make("Add", QKeySequence(Qt::Key_Enter), [this] { AddSelected(); });
    m_addAct->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    m_addAllAct = make("Add All", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { AddAll(); });
    m_removeAct = make("Remove", QKeySequence(Qt::Key_Delete), [this] { RemoveSelected(); });
    m_clearAct =
        make("Clear", QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { ClearPictures(); });
    m_optionsAct = make("Options", QKeySequence(Qt::CTRL | Qt::Key_P),
                        [this] { ShowOptions(settings::OptionsDialog::Page::Main); });
    m_musicAct = make("Add Music", QKeySequence(Qt::CTRL | Qt::Key_M),
                      [this] { ShowOptions(settings::OptionsDialog::Page::Music); });
    // FIXME: the two web entries and the support address point at placeholders.
    m_texturesAct = make("Download New Textures", QKeySequence(), [] {
        QDesktopServices::openUrl(QUrl("https://www.pictavo.example/textures"));
    });
    m_webAct = make("Pictavo Pro on the Web", QKeySequence(),
                    [] { QDesktopServices::openUrl(QUrl("https://www.pictavo.example/")); });
    m_helpAct = make("Help", QKeySequence(Qt::Key_F1), [this] {
        const QString help = m_model.Files().ProgramFolder() + "Pictavo.chm";
        if (!QFileInfo::exists(help) || !QDesktopServices::openUrl(QUrl::fromLocalFile(help)))
            m_dialogs.Inform(this, "The help file " + help + " cannot be opened.");
    });
    m_supportAct = make("Technical Support", QKeySequence(Qt::CTRL | Qt::Key_F1),
                        [] { QDesktopServices::openUrl(QUrl("mailto:support@pictavo.example")); });
    m_aboutAct = make("About", QKeySequence(), [this] {
        m_dialogs.Inform(this, ProgramCaption() + "\nA slide-show maker.");
    });
}

void EditorWindow::CreateMenus() {
    QMenu* project = menuBar()->addMenu("Project");
    project->addAction(m_playAct);
    project->setDefaultAction(m_playAct);
    project->addSeparator();
    project->addAction(m_newAct);
    project->addAction(m_openAct);
    project->addAction(m_saveAct);
    project->addAction(m_saveAsAct);
    m_recentMenu = project->addMenu("Recent Folders");
    project->addSeparator();
    project->addAction(m_exeAct);
    project->addAction(m_saverAct);
    project->addAction(m_exitAct);

    QMenu* pictures = menuBar()->addMenu("Pictures");
    pictures->addAction(m_addAct);
    pictures->addAction(m_addAllAct);
    pictures->addSeparator();
    pictures->addAction(m_removeAct);
    pictures->addAction(m_clearAct);

    QMenu* options = menuBar()->addMenu("Options");
    options->addAction(m_optionsAct);
    options->addAction(m_musicAct);

    QMenu* web = menuBar()->addMenu("Web");
    web->addAction(m_texturesAct);
    web->addAction(m_webAct);

    QMenu* help = menuBar()->addMenu("Help");
    help->addAction(m_helpAct);
    help->addAction(m_supportAct);
    help->addSeparator();
    help->addAction(m_aboutAct);
}

void EditorWindow::CreateToolBar() {
    QToolBar* bar = addToolBar("Commands");
    bar->setObjectName("CommandBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [bar](QAction* action, const QString& caption) {
        auto* tool = new QToolButton(bar);
        tool->setDefaultAction(action);
        tool->setText(caption);  // the toolbar captions differ from the menu's
        bar->addWidget(tool);
    };
    button(m_playAct, "Play Now!");
    button(m_exeAct, "Make EXE");
    bar->addSeparator();
    button(m_newAct, "New Project");
    button(m_openAct, "Open");
    button(m_saveAct, "Save");
    bar->addSeparator();
    button(m_optionsAct, "Options");
    button(m_musicAct, "Music");
    button(m_helpAct, "Help");
}

void EditorWindow::CreatePanes() {
    m_mainSplitter = new QSplitter(Qt::Horizontal, this);

    m_filePane = new FilePane(m_mainSplitter);
    connect(m_filePane, &FilePane::FileClicked, this, &EditorWindow::PreviewBrowsedFile);
    connect(m_filePane, &FilePane::ItemDoubleClicked, this, [this] { AddSelected(); });
    connect(m_filePane, &FilePane::FolderChanged, this,
            [this](const QString& folder) { m_model.SetCurrentFolder(folder); });
    m_model.SetCurrentFolder(m_filePane->Folder());
    m_mainSplitter->addWidget(m_filePane);

    auto* right = new QWidget(m_mainSplitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);

    auto* listBar = new QToolBar(right);
    listBar->setObjectName("PictureListBar");
    listBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto listButton = [listBar](QAction* action, const QString& caption) {
        auto* tool = new QToolButton(listBar);
        tool->setDefaultAction(action);
        tool->setText(caption);
        listBar->addWidget(tool);
    };
    listButton(m_addAct, "Add");
    listButton(m_addAllAct, "Add all");
    listButton(m_removeAct, "Remove");
    listButton(m_clearAct, "Clear");
    listBar->addSeparator();
    m_previewToggle = new QToolButton(listBar);
    m_previewToggle->setText("Preview");
    m_previewToggle->setCheckable(true);
    connect(m_previewToggle, &QToolButton::toggled, this, &EditorWindow::SetPreviewVisible);
    listBar->addWidget(m_previewToggle);
    listBar->addSeparator();
    auto* up = new QToolButton(listBar);
    up->setArrowType(Qt::UpArrow);
    up->setToolTip("Move the picture up");
    connect(up, &QToolButton::clicked, this, [this] { MovePicture(MoveDirection::Up); });
    listBar->addWidget(up);
    auto* down = new QToolButton(listBar);
    down->setArrowType(Qt::DownArrow);
    down->setToolTip("Move the picture down");
    connect(down, &QToolButton::clicked, this, [this] { MovePicture(MoveDirection::Down); });
    listBar->addWidget(down);
    rightLayout->addWidget(listBar);

    m_rightSplitter = new QSplitter(Qt::Vertical, right);
    m_previewPanel = new PreviewPanel(
        m_rightSplitter, [this](const QString& message) { m_dialogs.Inform(this, message); });
    m_rightSplitter->addWidget(m_previewPanel);

    m_pictureList = new QListWidget(m_rightSplitter);
    m_pictureList->setObjectName("PictureList");
    m_pictureList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_pictureList, &QListWidget::itemClicked, this, [this] { PreviewListSelection(); });
    connect(m_pictureList, &QListWidget::itemSelectionChanged, this, &EditorWindow::UpdateActions);
    m_rightSplitter->addWidget(m_pictureList);
    m_rightSplitter->setSizes({282, 200});
    m_rightSplitter->setStretchFactor(0, 0);  // the preview keeps its height, the list grows
    m_rightSplitter->setStretchFactor(1, 1);
    rightLayout->addWidget(m_rightSplitter, 1);

    m_mainSplitter->addWidget(right);
    m_mainSplitter->setSizes({321, 484});
    m_mainSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_mainSplitter);

    m_statusPanel = new QLabel("Use double click in order to add pictures", this);
    statusBar()->addWidget(m_statusPanel, 1);
    SetPaneFolder(QDir::rootPath());  // until the first activation chooses the start folder
}

// The one place where commands are enabled: those that act on the pictures need some.
void EditorWindow::UpdateActions() {
    const bool any = m_pictureList->count() > 0;
    m_removeAct->setEnabled(any);
    m_clearAct->setEnabled(any);
    m_saveAct->setEnabled(any);
    m_saveAsAct->setEnabled(any);
    m_playAct->setEnabled(any);
    m_previewToggle->setChecked(m_previewPanel->isVisibleTo(this));
}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

void EditorWindow::LoadSettingsFiles() {
    ShowTitles();
    resize(805, 524);

    if (!m_model.FileTypeRegistered()) {
        // A registration that fails is tried again at the next start; it never stops us.
        if (platform::RegisterProjectFileType(m_env.executable, m_env.dataHome))
            m_model.RecordFileTypeRegistered();
    }
    m_model.LoadSettingsFiles();
    SetPreviewVisible(m_model.PreviewShownAtStart());
    BuildRecentFolders();
}

void EditorWindow::BuildRecentFolders() {
    m_recentMenu->clear();
    const QStringList folders = m_model.RecentFolderEntries();
    if (folders.isEmpty()) {
        // Without folders to offer the menu still shows one entry, which does nothing.
        m_recentMenu->addAction("Empty");
        return;
    }
    for (const QString& folder : folders) {
        QAction* entry = m_recentMenu->addAction(folder);
        connect(entry, &QAction::triggered, this, [this, folder] { SetPaneFolder(folder); });
    }
}

void EditorWindow::OnFirstShow() {
    if (m_activated) return;
    const QString startFolder = m_model.LoadStartFolder(m_env.documentsFolder);
    if (!startFolder.isEmpty()) SetPaneFolder(startFolder);
    m_activated = true;

    const std::optional<QString> start = m_model.StartProject(m_env.arguments);
    if (!start) return;
    if (m_model.LoadProject(*start)) ShowLoadedPictures();
    ShowProject();
}

bool EditorWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) OnFirstShow();
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------------------------------
// Showing the model

// Qt's "[*]" placeholder shows "*" after the caption while the project has unsaved changes.
void EditorWindow::ShowTitles() {
    setWindowTitle(m_model.Caption() + "[*]");
    setWindowModified(m_model.Modified());
    setWindowIconText(m_model.ApplicationTitle());
}

// After every command that can change the pictures, and so the modified flag.
void EditorWindow::UpdateCounter() {
    m_statusPanel->setText(QString("Counter: %1").arg(m_pictureList->count()));
    ShowTitles();
    UpdateActions();
}

// After the model was reset to a new project.
void EditorWindow::ShowNewProject() {
    ClearPreview();
    m_pictureList->clear();
    UpdateCounter();
}

// After the model loaded a project: its pictures replace the list's.
void EditorWindow::ShowLoadedPictures() {
    m_pictureList->clear();
    ClearPreview();
    for (const std::string& picture : m_model.Pictures()) m_pictureList->addItem(Text(picture));
}

// After an attempt to load a project: the counter, the titles and the first picture.
void EditorWindow::ShowProject() {
    UpdateCounter();
    ShowTitles();
    if (m_pictureList->count() > 0) {
        m_pictureList->setCurrentRow(0);
        PreviewListSelection();
    }
}

// ---------------------------------------------------------------------------------------
// Browser and preview

QString EditorWindow::PaneFolder() const {
    return m_filePane->Folder();
}

void EditorWindow::SetPaneFolder(const QString& folder) {
    m_filePane->SetFolder(folder);
}

bool EditorWindow::PreviewShown() const {
    return m_previewPanel->isVisibleTo(this);
}

void EditorWindow::SetPreviewVisible(bool shown) {
    m_previewPanel->setVisible(shown);
    m_model.SetPreviewShown(shown);
    if (m_previewToggle->isChecked() != shown) m_previewToggle->setChecked(shown);
}

void EditorWindow::ShowPreview(const QString& path) {
    m_previewPanel->ShowPicture(path);
    // A picture that cannot be read keeps what the image showed before.
    if (m_previewPanel->Image()->HasPicture() && m_previewPanel->PictureSize().isValid())
        m_previewPath = path;
}

void EditorWindow::ClearPreview() {
    m_previewPath.clear();
    m_previewPanel->Clear();
}

void EditorWindow::PreviewBrowsedFile(const QString& path) {
    m_pictureList->clearSelection();
    if (!PreviewShown() || !codecs::IsPictureExtension(Bytes(QFileInfo(path).fileName()))) return;
    ShowPreview(path);
}

void EditorWindow::PreviewListSelection() {
    if (m_pictureList->selectedItems().isEmpty() || !PreviewShown()) return;
    if (QListWidgetItem* focused = m_pictureList->currentItem()) ShowPreview(focused->text());
}

// ---------------------------------------------------------------------------------------
// Picture list

QStringList EditorWindow::Pictures() const {
    QStringList pictures;
    for (int i = 0; i < m_pictureList->count(); ++i)
        pictures.push_back(m_pictureList->item(i)->text());
    return pictures;
}

QString EditorWindow::StatusText() const {
    return m_statusPanel->text();
}

void EditorWindow::AddPictures(const QStringList& paths, AddKind kind) {
    QStringList names;
    for (const QString& path : paths) names.push_back(QFileInfo(path).fileName());
    const std::vector<int> added = m_model.AddPictures(names, kind);

    auto previewFirstIfEmpty = [this] {
        if (m_pictureList->count() > 0 && !m_previewPanel->Image()->HasPicture()) {
            m_pictureList->setCurrentRow(0);
            PreviewListSelection();
        }
    };
    // The list follows the model picture by picture, so Add previews as it goes.
    const size_t first = m_model.Pictures().size() - added.size();
    size_t next = 0;
    for (int i = 0; i < paths.size(); ++i) {
        if (next < added.size() && added[next] == i) {
            m_pictureList->addItem(Text(m_model.Pictures()[first + next]));
            m_filePane->SetCut(paths[i], true);  // pictures already in the show are dimmed
            ++next;
        }
        if (kind == AddKind::Selected) previewFirstIfEmpty();
    }
    if (kind == AddKind::All) previewFirstIfEmpty();
    UpdateCounter();
}

void EditorWindow::AddSelected() {
    AddPictures(m_filePane->SelectedFiles(), AddKind::Selected);
}

void EditorWindow::AddAll() {
    AddPictures(m_filePane->AllFiles(), AddKind::All);
}

void EditorWindow::RemoveSelected() {
    std::vector<int> rows;
    for (int i = 0; i < m_pictureList->count(); ++i)
        if (m_pictureList->item(i)->isSelected()) rows.push_back(i);
    m_model.RemovePictures(rows);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) delete m_pictureList->takeItem(*row);
    UpdateCounter();
}

void EditorWindow::ClearPictures() {
    m_model.ClearPictures();
    m_pictureList->clear();
    UpdateCounter();
    ClearPreview();
}

void EditorWindow::MovePicture(MoveDirection direction) {
    const int row = m_pictureList->currentRow();
    const int target = m_model.MovePicture(row, direction);
    if (target < 0) return;
    QListWidgetItem* item = m_pictureList->takeItem(row);
    m_pictureList->insertItem(target, item);
    m_pictureList->setCurrentItem(item, QItemSelectionModel::Select);
}

void EditorWindow::PlayNow() {
    player::ShowInput show;
    show.Pictures = m_model.Pictures();
    show.Settings = m_model.Settings();
    show.EffectSet = m_model.Effects();
    show.Music = m_model.MusicList();
    m_player->StartShow(show);
}

void EditorWindow::PackShow(pack::PackMode mode) {
    if (m_model.Pictures().empty()) {
        m_dialogs.Inform(this, "Add pictures to the show before packing it.");
        return;
    }
    // The show packed is the one just saved: its settings block is what the save wrote.
    if (!SaveProject()) return;
    m_packDialog->SetShow(pack::FindShowPlayer(Bytes(m_env.programFolder)),
                          m_model.SettingsBlock());
    m_packDialog->SetMode(mode);
    m_packDialog->exec();
}

void EditorWindow::NotAvailable(const QString& what) {
    m_dialogs.Inform(this, what + " is not available yet.");
}

// ---------------------------------------------------------------------------------------
// Options, effect set and music

void EditorWindow::ShowOptions(settings::OptionsDialog::Page page) {
    m_options->SetPictureCount(int(m_model.Pictures().size()));
    if (m_options->Open(page)) m_filePane->SetMask(m_options->ViewerMask());
    // Whatever happened in the dialog (the music list may have changed even without "OK").
    m_model.MarkModified();
    ShowTitles();
}

const core::StringList& EditorWindow::EffectSet() const {
    return m_effectChooser->EffectSet();
}

void EditorWindow::SetEffectSet(core::StringList set) {
    m_effectChooser->SetEffectSet(std::move(set));
}

const core::StringList& EditorWindow::MusicList() const {
    return m_options->MusicList();
}

void EditorWindow::SetMusicList(core::StringList paths) {
    m_options->SetMusicList(std::move(paths));
}

// ---------------------------------------------------------------------------------------
// Project commands

void EditorWindow::NewProject() {
    if (m_model.NewProject()) ShowNewProject();
    ShowTitles();
}

void EditorWindow::OpenProject() {
    if (m_model.OpenProject()) ShowLoadedPictures();
    ShowProject();
}

bool EditorWindow::SaveProject() {
    const bool written = m_model.SaveProject();
    ShowTitles();
    return written;
}

void EditorWindow::SaveProjectAs() {
    m_model.SaveProjectAs();
    ShowTitles();
}

bool EditorWindow::ConfirmClose() {
    const bool mayClose = m_model.ConfirmClose();
    ShowTitles();
    return mayClose;
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (ConfirmClose())
        event->accept();
    else
        event->ignore();
}

}  // namespace app
