#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QThreadPool;
class QToolButton;

namespace app {

// The browser: a toolbar with the "Up" button and the drive box, and below it the list of
// the folders and the picture files (those matching the mask) of one folder. Besides real
// folders the pane knows the pseudo-folder "Drives", which lists the mounted volumes.
// Folder paths always end with a separator.
class FilePane : public QWidget {
    Q_OBJECT
public:
    static inline const QString kDrives = QStringLiteral("Drives");
    // "*.BMP;*.JPG;*.JPEG;*.GIF": every extension the picture loader reads.
    static QString DefaultMask();

    explicit FilePane(QWidget* parent);
    ~FilePane() override;

    // Shows the folder (or "Drives", in any letter case). A folder that does not
    // exist leaves the pane unchanged; the folder already shown is not reloaded.
    void SetFolder(const QString& folder);
    QString Folder() const { return m_folder; }
    // Reloads the items of the current folder.
    void Refresh();

    // Patterns separated by ";", matched without regard to case. Reloads the
    // items.
    void SetMask(const QString& mask);
    QString Mask() const { return m_mask; }

    // Full paths of the selected picture files, in view order.
    QStringList SelectedFiles() const;
    // Every listed picture file, in view order.
    QStringList AllFiles() const;
    // The full path of the first selected item at the last click ("" before any).
    QString CurrentFilePath() const { return m_currentFilePath; }
    int ItemCount() const;
    // The number of selected items, or the item count when none is selected.
    int SelectedCount() const;

    // The cut state draws an item dimmed (pictures already in the show).
    void SetCut(const QString& path, bool cut);
    bool IsCut(const QString& path) const;

    // "Up": the parent folder; above a volume root the "Drives" pseudo-folder; in
    // "Drives" nothing.
    void GoUp();

    // Waits until the thumbnails asked for so far have arrived (for tests).
    void WaitForThumbnails();

    QListWidget* List() const { return m_list; }
    QComboBox* DriveBox() const { return m_driveBox; }
    QToolButton* UpButton() const { return m_up; }

signals:
    // Every click in the pane, with the current file path recorded at that click.
    void FileClicked(const QString& path);
    // A double-click on an item, before the pane opens a folder or drive item.
    void ItemDoubleClicked(const QString& path);
    void FolderChanged(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load(const QString& folder);
    void FillDriveBox();
    void OnClick();
    void OnDoubleClick(QListWidgetItem* item);
    void ShowContextMenu(const QPoint& at);
    QListWidgetItem* FindItem(const QString& path) const;
    void RequestThumbnails();
    void PaintCutState(QListWidgetItem* item);

    QToolButton* m_up = nullptr;
    QComboBox* m_driveBox = nullptr;
    QListWidget* m_list = nullptr;
    QString m_folder;
    QString m_mask = DefaultMask();
    QString m_currentFilePath;
    // Thumbnails decode on one background thread; a reload makes late ones stale.
    QThreadPool* m_thumbnails = nullptr;
    int m_generation = 0;
};

}  // namespace app
