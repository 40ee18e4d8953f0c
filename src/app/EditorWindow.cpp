#include "app/TForm1.h"

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
#include <algorithm>
#include <exception>

#include "app/FilePane.h"
#include "app/PreviewPanel.h"
#include "platform/Dialogs.h"
#include "platform/FileTypeRegistration.h"
#include "project/ProjectFile.h"

namespace {

const QString kCaption = QStringLiteral("Pictavo Pro 1.45");
const QString kApplicationTitle = QStringLiteral("Pictavo Pro");
const QString kCaptionPrefix = QStringLiteral("Pictavo Pro - ");
const QString kProjectFilter = QStringLiteral("Pictavos (*.orv)");
const QString kSaveQuestion = QStringLiteral("Do you want to save the project?");
const QString kCloseQuestion = QStringLiteral("Save the changes to this project?");

const QString kSopt = QStringLiteral("SOPT.lst");
const QString kDires = QStringLiteral("dires.lst");
const QString kDir = QStringLiteral("dir.lst");
// Present once the project file type has been registered.
const QString kFirstRunMarker = QStringLiteral("ORVFIRST");

constexpr int kUpDownMin = -2000;
constexpr int kUpDownMax = 2000;

std::string Bytes(const QString& text) {
    return text.toStdString();
}
QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

}  // namespace

TForm1::TForm1(Environment environment, QWidget* parent)
    : QMainWindow(parent),
      m_env(std::move(environment)),
      m_dialogs(*m_env.dialogs),
      m_files(m_env.programFolder, m_env.fallbackFolder) {
    m_effects = settings::StandardEffectSet();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePanes();
    FormCreate();
    UpdateActions();
    // The player window exists from the start, after the main window, as every window does.
    m_sShow = std::make_unique<player::TSShow>(m_dialogs, m_env.musicDevice);
}

TForm1::~TForm1() = default;

// ---------------------------------------------------------------------------------------
// Building the window

void TForm1::CreateActions() {
    auto make = [this](const QString& text, QKeySequence key, auto handler) {
        auto* action = new QAction(text, this);
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_playAct = make("Play Now!", QKeySequence(Qt::Key_F5), [this] { ToolButton17Click(); });
    m_newAct = make("New ...", QKeySequence(Qt::CTRL | Qt::Key_N), [this] { PrevButtonClick(); });
    m_openAct =
        make("Open ...", QKeySequence(Qt::CTRL | Qt::Key_O), [this] { ToolButton2Click(); });
    m_saveAct = make("Save", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { ToolButton3Click(); });
    m_saveAsAct = make("Save As ...", QKeySequence(), [this] { ToolButton4Click(); });
    m_exeAct = make("Create EXE-File", QKeySequence(Qt::Key_F9),
                    [this] { NotAvailable("Creating a show program"); });
    m_saverAct = make("Create Screen Saver", QKeySequence(Qt::Key_F8),
                      [this] { NotAvailable("Creating a screen saver"); });
    m_exitAct = make("Exit", QKeySequence(Qt::Key_F10), [this] { close(); });
    m_addAct = make("Add", QKeySequence(Qt::Key_Enter), [this] { ToolButton6Click(); });
    m_addAct->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    m_addAllAct =
        make("Add All", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { ToolButton8Click(); });
    m_removeAct = make("Remove", QKeySequence(Qt::Key_Delete), [this] { ToolButton7Click(); });
    m_clearAct =
        make("Clear", QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { ToolButton9Click(); });
    m_optionsAct = make("Options", QKeySequence(Qt::CTRL | Qt::Key_P),
                        [this] { NotAvailable("The options dialog"); });
    m_musicAct = make("Add Music", QKeySequence(Qt::CTRL | Qt::Key_M),
                      [this] { NotAvailable("The options dialog"); });
    m_texturesAct = make("Download New Textures", QKeySequence(), [] {
        QDesktopServices::openUrl(QUrl("https://www.pictavo.example/textures"));
    });
    m_webAct = make("Pictavo Pro on the Web", QKeySequence(),
                    [] { QDesktopServices::openUrl(QUrl("https://www.pictavo.example/")); });
    m_helpAct = make("Help", QKeySequence(Qt::Key_F1), [this] {
        const QString help = m_files.ProgramFolder() + "Pictavo.chm";
        if (!QFileInfo::exists(help) || !QDesktopServices::openUrl(QUrl::fromLocalFile(help)))
            m_dialogs.Inform(this, "The help file " + help + " cannot be opened.");
    });
    m_supportAct = make("Technical Support", QKeySequence(Qt::CTRL | Qt::Key_F1),
                        [] { QDesktopServices::openUrl(QUrl("mailto:support@pictavo.example")); });
    m_aboutAct = make("About", QKeySequence(),
                      [this] { m_dialogs.Inform(this, "Pictavo Pro 1.45\nA slide-show maker."); });
}

void TForm1::CreateMenus() {
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

void TForm1::CreateToolBar() {
    QToolBar* bar = addToolBar("Commands");
    bar->setObjectName("ToolBar2");
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

void TForm1::CreatePanes() {
    m_mainSplitter = new QSplitter(Qt::Horizontal, this);

    m_flb = new app::FilePane(m_mainSplitter);
    m_flb->setObjectName("FLB");
    connect(m_flb, &app::FilePane::FileClicked, this, &TForm1::FLBClick);
    connect(m_flb, &app::FilePane::ItemDoubleClicked, this, [this] { ToolButton6Click(); });
    m_mainSplitter->addWidget(m_flb);

    auto* right = new QWidget(m_mainSplitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);

    auto* listBar = new QToolBar(right);
    listBar->setObjectName("ToolBar3");
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
    m_prevButton = new QToolButton(listBar);
    m_prevButton->setText("Preview");
    m_prevButton->setCheckable(true);
    connect(m_prevButton, &QToolButton::toggled, this, &TForm1::Prev);
    listBar->addWidget(m_prevButton);
    listBar->addSeparator();
    auto* up = new QToolButton(listBar);
    up->setArrowType(Qt::UpArrow);
    up->setToolTip("Move the picture up");
    connect(up, &QToolButton::clicked, this, [this] { UpDown1Click(UpDownButton::Up); });
    listBar->addWidget(up);
    auto* down = new QToolButton(listBar);
    down->setArrowType(Qt::DownArrow);
    down->setToolTip("Move the picture down");
    connect(down, &QToolButton::clicked, this, [this] { UpDown1Click(UpDownButton::Down); });
    listBar->addWidget(down);
    rightLayout->addWidget(listBar);

    m_rightSplitter = new QSplitter(Qt::Vertical, right);
    m_prePanel = new app::PreviewPanel(
        m_rightSplitter, [this](const QString& message) { m_dialogs.Inform(this, message); });
    m_prePanel->setObjectName("PrePanel");
    m_rightSplitter->addWidget(m_prePanel);

    m_listBox1 = new QListWidget(m_rightSplitter);
    m_listBox1->setObjectName("ListBox1");
    m_listBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_listBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(m_listBox1, &QListWidget::itemSelectionChanged, this, &TForm1::UpdateActions);
    m_rightSplitter->addWidget(m_listBox1);
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
void TForm1::UpdateActions() {
    const bool any = m_listBox1->count() > 0;
    m_removeAct->setEnabled(any);
    m_clearAct->setEnabled(any);
    m_saveAct->setEnabled(any);
    m_saveAsAct->setEnabled(any);
    m_playAct->setEnabled(any);
    m_prevButton->setChecked(m_prePanel->isVisibleTo(this));
}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

void TForm1::FormCreate() {
    setWindowTitle(kCaption);
    m_applicationTitle = kApplicationTitle;
    setWindowIconText(m_applicationTitle);
    resize(805, 524);

    if (!m_files.Exists(kFirstRunMarker)) {
        // A registration that fails is tried again at the next start; it never stops us.
        if (platform::RegisterProjectFileType(m_env.executable, m_env.dataHome))
            m_files.Save(kFirstRunMarker, {});
    }

    m_sopt = m_files.Load(kSopt);
    if (m_sopt.empty()) m_sopt = {"Pre", "No"};  // no file yet: preview on, no project
    Prev(m_sopt[0] == "Pre");

    m_optList.WriteStartDefaults();

    m_dires = m_files.Load(kDires);
    if (m_dires.empty()) m_dires = {"Empty"};  // no file yet counts as a fresh installation
    m_firstRun = m_dires[0] == "Empty";
    if (!m_firstRun) {
        if (m_dires.size() > 4) {
            core::StringList prom(m_dires.end() - 5, m_dires.end());
            m_dires.clear();
            m_dires = prom;
        }
    }
    BuildRecentFolders();
    if (m_firstRun) m_dires.clear();
}

void TForm1::BuildRecentFolders() {
    m_recentMenu->clear();
    if (m_firstRun || m_dires[0] == "Clear") {
        m_recentMenu->addAction("Empty");  // the designed entry; it does nothing
        return;
    }
    for (const std::string& line : m_dires) {
        const QString folder = Text(line);
        QAction* entry = m_recentMenu->addAction(folder);
        connect(entry, &QAction::triggered, this, [this, folder] { SetPaneFolder(folder); });
    }
}

void TForm1::FormActivate() {
    if (m_activated) return;
    m_startDir = m_files.Load(kDir);
    if (m_firstRun) {
        if (!m_env.documentsFolder.isEmpty()) SetPaneFolder(m_env.documentsFolder);
    } else if (!m_startDir.empty()) {
        SetPaneFolder(Text(m_startDir[0]));
    }
    m_activated = true;

    QString start;
    if (m_env.arguments.isEmpty()) {
        if (m_sopt.size() < 2 || m_sopt[1] == "No") return;
        start = Text(m_sopt[1]);
    } else {
        start = m_env.arguments.join(' ');
    }
    LoadProject(start);
    ShowProject();
}

// After a project was loaded (or not): the counter, the titles and the first picture.
void TForm1::ShowProject() {
    UpdateCounter();
    if (!m_openName.isEmpty()) SetTitles(QFileInfo(m_openName).fileName().chopped(4));
    if (m_listBox1->count() > 0) {
        m_listBox1->setCurrentRow(0);
        ListBox1Click();
    }
}

void TForm1::SaveAll() {
    if (m_startDir.empty())
        m_startDir.push_back(Bytes(PaneFolder()));
    else
        m_startDir[0] = Bytes(PaneFolder());
    m_files.Save(kDir, m_startDir);

    m_sopt.clear();
    m_sopt.push_back(PreviewShown() ? "Pre" : "Not");
    if (!m_openName.isEmpty())
        m_sopt.push_back(Bytes(m_openName));
    else if (!m_saveName.isEmpty())
        m_sopt.push_back(Bytes(m_saveName + ".orv"));
    else
        m_sopt.push_back("No");
    m_files.Save(kSopt, m_sopt);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------------------------------
// Browser and preview

QString TForm1::PaneFolder() const {
    return m_flb->Folder();
}

void TForm1::SetPaneFolder(const QString& folder) {
    m_flb->SetFolder(folder);
}

bool TForm1::PreviewShown() const {
    return m_prePanel->isVisibleTo(this);
}

void TForm1::Prev(bool shown) {
    m_prePanel->setVisible(shown);
    if (m_prevButton->isChecked() != shown) m_prevButton->setChecked(shown);
}

void TForm1::ShowPreview(const QString& path) {
    m_prePanel->ShowPicture(path);
    // A picture that cannot be read keeps what the image showed before.
    if (m_prePanel->Image()->HasPicture() && m_prePanel->PictureSize().isValid())
        m_previewPath = path;
}

void TForm1::ClearPreview() {
    m_previewPath.clear();
    m_prePanel->Clear();
}

void TForm1::FLBClick(const QString& path) {
    m_listBox1->clearSelection();
    if (!PreviewShown() || !IsPictureName(QFileInfo(path).fileName())) return;
    ShowPreview(path);
}

void TForm1::ListBox1Click() {
    if (m_listBox1->selectedItems().isEmpty() || !PreviewShown()) return;
    if (QListWidgetItem* focused = m_listBox1->currentItem()) ShowPreview(focused->text());
}

// ---------------------------------------------------------------------------------------
// Picture list

bool TForm1::IsPictureName(const QString& fileName) {
    static const QStringList accepted = {".jpg", ".JPG", ".jpeg", ".JPEG",
                                         ".GIF", ".gif", ".bmp",  ".BMP"};
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot >= 0 && accepted.contains(fileName.mid(dot), Qt::CaseSensitive);
}

QStringList TForm1::Pictures() const {
    QStringList pictures;
    for (int i = 0; i < m_listBox1->count(); ++i) pictures.push_back(m_listBox1->item(i)->text());
    return pictures;
}

QString TForm1::StatusText() const {
    return m_statusPanel->text();
}

void TForm1::UpdateCounter() {
    m_statusPanel->setText(QString("Counter: %1").arg(m_listBox1->count()));
    UpdateActions();
}

void TForm1::AddFolder() {
    const std::string folder = Bytes(PaneFolder());
    if (std::find(m_dires.begin(), m_dires.end(), folder) != m_dires.end()) return;
    m_dires.push_back(folder);
    m_files.Save(kDires, m_dires);
}

void TForm1::AddPictures(const QStringList& paths, AddKind kind) {
    m_modified = true;
    const QString folder = PaneFolder();
    bool first = true;
    auto previewFirstIfEmpty = [this] {
        if (m_listBox1->count() > 0 && !m_prePanel->Image()->HasPicture()) {
            m_listBox1->setCurrentRow(0);
            ListBox1Click();
        }
    };
    for (const QString& path : paths) {
        const QString caption = QFileInfo(path).fileName();
        if (IsPictureName(caption)) {
            if (first && kind == AddKind::Selected) AddFolder();
            m_listBox1->addItem(folder + caption);
            m_flb->SetCut(path, true);  // pictures already in the show are drawn dimmed
            if (first && kind == AddKind::All) AddFolder();
            first = false;
        }
        if (kind == AddKind::Selected) previewFirstIfEmpty();
    }
    if (kind == AddKind::All) previewFirstIfEmpty();
    UpdateCounter();
}

void TForm1::ToolButton6Click() {
    AddPictures(m_flb->SelectedFiles(), AddKind::Selected);
}

void TForm1::ToolButton8Click() {
    AddPictures(m_flb->AllFiles(), AddKind::All);
}

void TForm1::ToolButton7Click() {
    m_modified = true;
    for (int i = 0; i < m_listBox1->count();) {
        if (m_listBox1->item(i)->isSelected())
            delete m_listBox1->takeItem(i);
        else
            ++i;
    }
    UpdateCounter();
}

void TForm1::ToolButton9Click() {
    m_modified = true;
    m_listBox1->clear();
    UpdateCounter();
    ClearPreview();
}

void TForm1::UpDown1Click(UpDownButton button) {
    // The control stops at the ends of its range, so a press there changes no position.
    const int last = m_upDownPosition;
    const int position = std::clamp(m_upDownPosition + (button == UpDownButton::Up ? 1 : -1),
                                    kUpDownMin, kUpDownMax);
    const int count = m_listBox1->count();
    const int row = m_listBox1->currentRow();
    int target = -1;
    if (position > last && count > 1 && row > 0) target = row - 1;
    if (position < last && count > 1 && row >= 0 && row < count - 1) target = row + 1;
    if (target >= 0) {
        QListWidgetItem* item = m_listBox1->takeItem(row);
        m_listBox1->insertItem(target, item);
        m_listBox1->setCurrentItem(item, QItemSelectionModel::Select);
    }
    m_upDownPosition = position;
}

void TForm1::ToolButton17Click() {
    player::ShowInput show;
    for (const QString& picture : Pictures()) show.Pictures.push_back(Bytes(picture));
    show.Settings = m_optList;
    show.EffectSet = m_effects;
    show.Music = m_music;
    m_sShow->StartShow(show);
}

void TForm1::NotAvailable(const QString& what) {
    m_dialogs.Inform(this, what + " is not available yet.");
}

// ---------------------------------------------------------------------------------------
// Project commands

void TForm1::SetTitles(const QString& projectName) {
    setWindowTitle(kCaptionPrefix + projectName);
    m_applicationTitle = projectName + " - " + kApplicationTitle;
    setWindowIconText(m_applicationTitle);
}

void TForm1::ResetToNewProject() {
    setWindowTitle(kCaptionPrefix + "Untitled project");
    m_applicationTitle = kApplicationTitle;
    setWindowIconText(m_applicationTitle);
    ClearPreview();
    m_allbox.clear();
    m_listBox1->clear();
    m_optList.Clear();
    m_optList.WriteStartDefaults();
    UpdateCounter();
}

core::StringList TForm1::AssembleProject() const {
    core::StringList pictures;
    for (const QString& picture : Pictures()) pictures.push_back(Bytes(picture));
    return project::BuildSettingsBlock(m_optList, pictures, m_effects, m_music);
}

bool TForm1::WriteProject(const QString& path) {
    try {
        project::WriteProjectFile(Bytes(path), m_allbox);
        return true;
    } catch (const std::exception& error) {
        m_dialogs.Inform(this, QString::fromUtf8(error.what()));
        return false;
    }
}

// Reads into copies first, so a file that is not a project leaves the open project, its
// name and its modified flag as they were.
bool TForm1::LoadProject(const QString& path) {
    settings::ShowSettings optList = m_optList;
    core::StringList pictures;
    core::StringList effects = m_effects;
    core::StringList music = m_music;
    try {
        project::ReadProjectFile(Bytes(path), optList, pictures, effects, music);
    } catch (const std::exception& error) {
        m_dialogs.Inform(this, QString::fromUtf8(error.what()));
        return false;
    }
    m_modified = false;
    m_openName = path;
    m_optList = optList;
    m_effects = effects;
    m_music = music;
    m_listBox1->clear();
    ClearPreview();
    for (const std::string& picture : pictures) m_listBox1->addItem(Text(picture));
    m_saveName.clear();
    return true;
}

void TForm1::PrevButtonClick() {
    if (m_listBox1->count() == 0 || !m_modified) ResetToNewProject();
    if (m_listBox1->count() > 0) {
        switch (m_dialogs.Message(this, kSaveQuestion, platform::Buttons::YesNoCancel)) {
            case platform::Button::Yes:
                // A save that did not happen keeps the project rather than losing it.
                if (!ToolButton3Click()) return;
                ResetToNewProject();
                break;
            case platform::Button::No:
                ResetToNewProject();
                break;
            default:
                break;
        }
    }
    m_saveName.clear();
    m_openName.clear();
}

void TForm1::ToolButton2Click() {
    if (std::optional<QString> chosen = m_dialogs.OpenFile(this, kProjectFilter, m_openName))
        LoadProject(*chosen);
    ShowProject();
}

bool TForm1::ToolButton3Click() {
    if (m_listBox1->count() == 0) return false;
    m_allbox = AssembleProject();
    if (m_openName.isEmpty() && m_saveName.isEmpty()) {
        std::optional<QString> chosen = m_dialogs.SaveFile(this, kProjectFilter, QString());
        if (!chosen) return false;  // nothing written, so the project stays modified
        m_saveName = *chosen;
        SetTitles(QFileInfo(m_saveName).fileName());
    }
    const QString target = !m_openName.isEmpty() ? m_openName : m_saveName + ".orv";
    if (!WriteProject(target)) return false;
    m_modified = false;
    return true;
}

void TForm1::ToolButton4Click() {
    m_allbox.clear();
    if (m_listBox1->count() == 0) return;
    std::optional<QString> chosen = m_dialogs.SaveFile(this, kProjectFilter, QString());
    if (!chosen) return;  // cancelled: the project keeps its name and its modified flag
    m_saveName = *chosen;
    m_allbox = AssembleProject();
    if (!WriteProject(m_saveName + ".orv")) return;
    m_modified = false;
    SetTitles(QFileInfo(m_saveName).fileName());
    m_openName.clear();
}

bool TForm1::FormCloseQuery() {
    if (m_listBox1->count() == 0 || !m_modified) return true;
    switch (m_dialogs.Message(this, kCloseQuestion, platform::Buttons::YesNoCancel)) {
        case platform::Button::Yes:
            // A cancelled or failed save keeps the window open, so nothing is lost.
            if (!ToolButton3Click()) return false;
            SaveAll();
            return true;
        case platform::Button::No:
            SaveAll();
            return true;
        default:
            return false;
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}
