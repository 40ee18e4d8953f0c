#include "app/FilePane.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QThreadPool>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <memory>

#include "app/PictureImage.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"

namespace app {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kCutRole = Qt::UserRole + 2;

constexpr int kThumbnailSide = 32;
// Larger files get no thumbnail: decoding them would keep the thread busy for long.
constexpr qint64 kMaxThumbnailFileBytes = 32 << 20;
constexpr qint64 kMaxThumbnailPixels = 4096 * 4096;

enum class ItemKind { Folder, File, Drive };

bool IsDrives(const QString& folder) {
    return folder.toUpper() == FilePane::kDrives.toUpper();
}

QString WithSeparator(QString folder) {
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

ItemKind KindOf(const QListWidgetItem* item) {
    return static_cast<ItemKind>(item->data(kKindRole).toInt());
}

QString PathOf(const QListWidgetItem* item) {
    return item->data(kPathRole).toString();
}

// Draws items in the cut state as the style draws disabled ones: dimmed text and icon.
class CutStateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(kCutRole).toBool()) {
            option->state &= ~QStyle::State_Enabled;
            option->palette.setCurrentColorGroup(QPalette::Disabled);
        }
    }
};

// The mounted volumes a user can browse, by root path.
QList<QStorageInfo> Volumes() {
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) volumes.append(volume);
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    return volumes;
}

QString VolumeCaption(const QStorageInfo& volume) {
    const QString name = volume.displayName();
    if (name.isEmpty() || name == volume.rootPath()) return volume.rootPath();
    return QStringLiteral("%1 (%2)").arg(volume.rootPath(), name);
}

// A square icon with the picture scaled to fit, or a null image when the picture cannot
// be read. Runs on the thumbnail thread.
QImage MakeThumbnail(const QString& path) {
    try {
        if (QFileInfo(path).size() > kMaxThumbnailFileBytes) return {};
        std::unique_ptr<codecs::Picture> picture = codecs::LoadPicture(path.toStdString());
        if (picture->Kind() == codecs::PictureKind::Jpeg)
            static_cast<codecs::JpegPicture&>(*picture).SetScale(codecs::JpegScale::Eighth);
        if (qint64(picture->Width()) * picture->Height() > kMaxThumbnailPixels) return {};
        const QImage scaled = ImageOfPicture(*picture).scaled(
            kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QImage square(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        QPainter painter(&square);
        painter.drawImage((kThumbnailSide - scaled.width()) / 2,
                          (kThumbnailSide - scaled.height()) / 2, scaled);
        return square;
    } catch (const std::exception&) {
        return {};  // the item keeps its plain icon; the preview reports the error
    }
}

}  // namespace

QString FilePane::DefaultMask() {
    QStringList patterns;
    for (std::string_view extension : codecs::kPictureExtensions)
        patterns.push_back("*." +
                           QString::fromLatin1(extension.data(), extension.size()).toUpper());
    return patterns.join(';');
}

FilePane::FilePane(QWidget* parent) : QWidget(parent) {
    setObjectName("FilePane");
    auto* toolBar = new QWidget(this);
    toolBar->setObjectName("BrowserBar");
    m_up = new QToolButton(toolBar);
    m_up->setObjectName("UpButton");
    m_up->setText(tr("Up"));
    m_up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_up->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_driveBox = new QComboBox(toolBar);
    m_driveBox->setObjectName("DriveBox");
    m_driveBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The drive box takes the toolbar's width less the "Up" button and 2 pixels.
    auto* toolLayout = new QHBoxLayout(toolBar);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    toolLayout->setSpacing(2);
    toolLayout->addWidget(m_up);
    toolLayout->addWidget(m_driveBox);

    m_list = new QListWidget(this);
    m_list->setObjectName("FileList");
    m_list->setViewMode(QListView::ListMode);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    m_list->setItemDelegate(new CutStateDelegate(m_list));
    m_list->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(toolBar);
    layout->addWidget(m_list, 1);

    connect(m_up, &QToolButton::clicked, this, &FilePane::GoUp);
    connect(m_driveBox, &QComboBox::activated, this,
            [this](int index) { SetFolder(m_driveBox->itemData(index).toString()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FilePane::OnDoubleClick);
    connect(m_list, &QListWidget::customContextMenuRequested, this, &FilePane::ShowContextMenu);

    m_thumbnails = new QThreadPool(this);
    m_thumbnails->setMaxThreadCount(1);

    FillDriveBox();
    Load(WithSeparator(QDir::rootPath()));
}

FilePane::~FilePane() {
    m_thumbnails->clear();
    m_thumbnails->waitForDone();
}

void FilePane::RequestThumbnails() {
    m_thumbnails->clear();
    const int generation = ++m_generation;
    QPointer<FilePane> self(this);
    for (int row = 0; row < m_list->count(); ++row) {
        if (KindOf(m_list->item(row)) != ItemKind::File) continue;
        // Rows stay as they are until the next reload, which changes the generation.
        m_thumbnails->start([self, row, path = PathOf(m_list->item(row)), generation] {
            QImage thumbnail = MakeThumbnail(path);
            if (thumbnail.isNull()) return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, row, generation, thumbnail = std::move(thumbnail)] {
                    if (!self || generation != self->m_generation) return;
                    self->m_list->item(row)->setIcon(QIcon(QPixmap::fromImage(thumbnail)));
                },
                Qt::QueuedConnection);
        });
    }
}

void FilePane::WaitForThumbnails() {
    m_thumbnails->waitForDone();
    QCoreApplication::processEvents();
}

void FilePane::SetFolder(const QString& folder) {
    QString target;
    if (IsDrives(folder)) {
        target = kDrives;
    } else {
        target = WithSeparator(QDir::fromNativeSeparators(folder));
        if (!QFileInfo(target).isDir()) return;
    }
    // Paths are compared exactly: on a case-sensitive file system two folders may
    // differ only in letter case.
    if (target == m_folder) return;
    Load(target);
}

void FilePane::Refresh() {
    Load(m_folder);
}

void FilePane::SetMask(const QString& mask) {
    m_mask = mask;
    Refresh();
}

void FilePane::GoUp() {
    if (IsDrives(m_folder)) return;
    QDir dir(WithSeparator(m_folder));
    if (dir.isRoot() || !dir.cdUp()) {
        SetFolder(kDrives);
        return;
    }
    SetFolder(dir.absolutePath());
}

void FilePane::Load(const QString& folder) {
    m_folder = folder;
    m_list->clear();
    QStyle* look = style();
    if (folder == kDrives) {
        FillDriveBox();
        const QIcon icon = look->standardIcon(QStyle::SP_DriveHDIcon);
        for (const QStorageInfo& volume : Volumes()) {
            auto* item = new QListWidgetItem(icon, VolumeCaption(volume), m_list);
            item->setData(kPathRole, WithSeparator(volume.rootPath()));
            item->setData(kKindRole, int(ItemKind::Drive));
        }
    } else {
        const QStringList patterns = m_mask.split(';', Qt::SkipEmptyParts);
        // AllDirs lists every folder whatever the mask; Hidden and System add those
        // file kinds to the read-only, archive and normal ones.
        const QFileInfoList entries = QDir(folder).entryInfoList(
            patterns,
            QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
        const QIcon folderIcon = look->standardIcon(QStyle::SP_DirIcon);
        const QIcon fileIcon = look->standardIcon(QStyle::SP_FileIcon);
        for (const QFileInfo& entry : entries) {
            const bool isFolder = entry.isDir();
            auto* item =
                new QListWidgetItem(isFolder ? folderIcon : fileIcon, entry.fileName(), m_list);
            item->setData(kPathRole, isFolder ? WithSeparator(entry.absoluteFilePath())
                                              : entry.absoluteFilePath());
            item->setData(kKindRole, int(isFolder ? ItemKind::Folder : ItemKind::File));
        }
        // The drive box follows the volume of the folder shown.
        const int index = m_driveBox->findData(WithSeparator(QStorageInfo(folder).rootPath()));
        if (index >= 0) m_driveBox->setCurrentIndex(index);
    }
    RequestThumbnails();
    emit FolderChanged(m_folder);
}

void FilePane::FillDriveBox() {
    const QString current = m_driveBox->currentData().toString();
    m_driveBox->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QStorageInfo& volume : Volumes())
        m_driveBox->addItem(icon, VolumeCaption(volume), WithSeparator(volume.rootPath()));
    const int index = m_driveBox->findData(current);
    if (index >= 0) m_driveBox->setCurrentIndex(index);
}

QStringList FilePane::SelectedFiles() const {
    QStringList files;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected() && KindOf(item) == ItemKind::File) files.append(PathOf(item));
    }
    return files;
}

QStringList FilePane::AllFiles() const {
    QStringList files;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (KindOf(item) == ItemKind::File) files.append(PathOf(item));
    }
    return files;
}

int FilePane::ItemCount() const {
    return m_list->count();
}

int FilePane::SelectedCount() const {
    const int selected = int(m_list->selectedItems().size());
    return selected > 0 ? selected : ItemCount();
}

QListWidgetItem* FilePane::FindItem(const QString& path) const {
    for (int row = 0; row < m_list->count(); ++row)
        if (PathOf(m_list->item(row)) == path) return m_list->item(row);
    return nullptr;
}

void FilePane::SetCut(const QString& path, bool cut) {
    if (QListWidgetItem* item = FindItem(path)) item->setData(kCutRole, cut);
}

bool FilePane::IsCut(const QString& path) const {
    const QListWidgetItem* item = FindItem(path);
    return item && item->data(kCutRole).toBool();
}

bool FilePane::eventFilter(QObject* watched, QEvent* event) {
    // A click anywhere in the pane, after the list has updated its selection.
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const bool handled = QWidget::eventFilter(watched, event);
        OnClick();
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

void FilePane::OnClick() {
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected()) {
            m_currentFilePath = PathOf(m_list->item(row));
            break;
        }
    }
    emit FileClicked(m_currentFilePath);
}

void FilePane::OnDoubleClick(QListWidgetItem* item) {
    if (!item) return;
    // Read before the signal: its receivers may reload the pane.
    const QString path = PathOf(item);
    const ItemKind kind = KindOf(item);
    emit ItemDoubleClicked(path);
    if (kind != ItemKind::File) SetFolder(path);
}

void FilePane::ShowContextMenu(const QPoint& at) {
    QListWidgetItem* clicked = m_list->itemAt(at);
    if (!clicked) return;
    if (!clicked->isSelected()) {
        m_list->clearSelection();
        clicked->setSelected(true);
    }
    QStringList paths;
    if (m_list->selectedItems().size() > 1) {
        for (int row = 0; row < m_list->count(); ++row)
            if (m_list->item(row)->isSelected()) paths.append(PathOf(m_list->item(row)));
    } else {
        paths.append(PathOf(clicked));
    }

    QMenu menu(this);
    menu.addAction(tr("Open"), this, [paths] {
        for (const QString& path : paths) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    });
    QAction* showInFolder = menu.addAction(tr("Show in Folder"), this, [paths] {
        QStringList folders;
        for (const QString& path : paths) {
            const QString folder = QFileInfo(QDir::cleanPath(path)).absolutePath();
            if (!folders.contains(folder)) folders.append(folder);
        }
        for (const QString& folder : folders)
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    });
    showInFolder->setEnabled(m_folder != kDrives);
    menu.addAction(tr("Copy Path"), this,
                   [paths] { QApplication::clipboard()->setText(paths.join('\n')); });
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

}  // namespace app
