#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>

#include "app/FilePane.h"
#include "codecs/JpegPicture.h"
#include "raster/Bitmap.h"

namespace {

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList Captions(const app::FilePane& pane) {
    QStringList captions;
    for (int row = 0; row < pane.List()->count(); ++row)
        captions.append(pane.List()->item(row)->text());
    return captions;
}

// Mouse input as the list's viewport gets it from the window system.
void Send(QWidget* target, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

void Click(QWidget* target, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    Send(target, QEvent::MouseButtonPress, at, modifiers);
    Send(target, QEvent::MouseButtonRelease, at, modifiers);
}

void DoubleClick(QWidget* target, QPoint at) {
    Click(target, at);
    Send(target, QEvent::MouseButtonDblClick, at, {});
    Send(target, QEvent::MouseButtonRelease, at, {});
}

// The texts a signal carried.
template <typename Signal>
std::shared_ptr<QStringList> Record(app::FilePane& pane, Signal signal) {
    auto texts = std::make_shared<QStringList>();
    QObject::connect(&pane, signal, &pane, [texts](const QString& text) { texts->append(text); });
    return texts;
}

QPoint CentreOf(const app::FilePane& pane, int row) {
    return pane.List()->visualItemRect(pane.List()->item(row)).center();
}

// A folder with two subfolders, pictures in mixed letter case, other files, a
// hidden picture and a read-only one.
class FilePaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_root = m_temp.path() + "/";
        QDir(m_root).mkdir("sub");
        QDir(m_root).mkdir("Another.jpg.d");
        for (const char* name : {"b.jpg", "A.BMP", "c.Gif", "d.jpeg", "notes.txt", "e.png", "jpg",
                                 ".hidden.gif", "ro.bmp"})
            Touch(m_root + name);
        QFile(m_root + "ro.bmp").setPermissions(QFile::ReadOwner);
        m_pane.resize(300, 400);
        m_pane.SetFolder(m_root);
    }

    QTemporaryDir m_temp;
    QString m_root;
    app::FilePane m_pane{nullptr};
};

TEST_F(FilePaneTest, ListsFoldersFirstThenFilesMatchingTheMask) {
    EXPECT_EQ(m_pane.Folder(), m_root);
    EXPECT_EQ(Captions(m_pane), (QStringList{"Another.jpg.d", "sub", ".hidden.gif", "A.BMP",
                                             "b.jpg", "c.Gif", "d.jpeg", "ro.bmp"}));
    EXPECT_EQ(m_pane.AllFiles(),
              (QStringList{m_root + ".hidden.gif", m_root + "A.BMP", m_root + "b.jpg",
                           m_root + "c.Gif", m_root + "d.jpeg", m_root + "ro.bmp"}));
    EXPECT_EQ(m_pane.ItemCount(), 8);

    // Another mask: folders stay whatever it says.
    m_pane.SetMask("*.txt;*.png");
    EXPECT_EQ(Captions(m_pane), (QStringList{"Another.jpg.d", "sub", "e.png", "notes.txt"}));
    EXPECT_EQ(app::FilePane::DefaultMask(), "*.BMP;*.JPG;*.JPEG;*.GIF");
    m_pane.SetMask(app::FilePane::DefaultMask());
    EXPECT_EQ(m_pane.ItemCount(), 8);
}

TEST_F(FilePaneTest, SetFolderIgnoresMissingFoldersAndTheFolderShown) {
    auto changed = Record(m_pane, &app::FilePane::FolderChanged);
    m_pane.SetFolder(m_root + "missing");
    m_pane.SetFolder(m_root + "b.jpg");
    m_pane.SetFolder(m_root);
    m_pane.SetFolder(m_temp.path());  // the same folder without its separator
    EXPECT_TRUE(changed->isEmpty());
    EXPECT_EQ(m_pane.Folder(), m_root);

    m_pane.SetFolder(m_root + "sub");
    EXPECT_EQ(m_pane.Folder(), m_root + "sub/");
    EXPECT_EQ(*changed, QStringList{m_root + "sub/"});
    EXPECT_EQ(m_pane.ItemCount(), 0);
    EXPECT_EQ(m_pane.SelectedCount(), 0);
}

TEST_F(FilePaneTest, SelectionInViewOrderAndTheCurrentFilePath) {
    QListWidget* list = m_pane.List();
    m_pane.show();
    auto clicked = Record(m_pane, &app::FilePane::FileClicked);
    // Selected from the bottom up, a folder among them: files only, in view
    // order.
    Click(list->viewport(), CentreOf(m_pane, 6));
    Click(list->viewport(), CentreOf(m_pane, 3), Qt::ControlModifier);
    Click(list->viewport(), CentreOf(m_pane, 1), Qt::ControlModifier);
    EXPECT_EQ(m_pane.SelectedFiles(), (QStringList{m_root + "A.BMP", m_root + "d.jpeg"}));
    EXPECT_EQ(m_pane.SelectedCount(), 3);
    // The first selected item in view order, not the one clicked last.
    EXPECT_EQ(m_pane.CurrentFilePath(), m_root + "sub/");
    EXPECT_EQ(*clicked, (QStringList{m_root + "d.jpeg", m_root + "A.BMP", m_root + "sub/"}));

    // A click that leaves nothing selected keeps the path recorded before.
    list->clearSelection();
    Click(list->viewport(), QPoint(5, list->viewport()->height() - 3));
    EXPECT_EQ(m_pane.CurrentFilePath(), m_root + "sub/");
    EXPECT_EQ(m_pane.SelectedCount(), m_pane.ItemCount());
}

TEST_F(FilePaneTest, DoubleClickOpensFoldersAfterReportingTheItem) {
    m_pane.show();
    auto doubleClicked = Record(m_pane, &app::FilePane::ItemDoubleClicked);
    QListWidget* list = m_pane.List();
    // A file: reported, the folder stays.
    DoubleClick(list->viewport(), CentreOf(m_pane, 4));
    EXPECT_EQ(m_pane.Folder(), m_root);
    // A folder: reported, then opened.
    DoubleClick(list->viewport(), CentreOf(m_pane, 1));
    EXPECT_EQ(m_pane.Folder(), m_root + "sub/");
    EXPECT_EQ(*doubleClicked, (QStringList{m_root + "b.jpg", m_root + "sub/"}));
}

// The darkest grey level drawn in an item's row: its text and icon.
int DarkestIn(const app::FilePane& pane, int row) {
    const QImage shot = pane.List()->viewport()->grab().toImage();
    const QRect rect = pane.List()->visualItemRect(pane.List()->item(row));
    int darkest = 255;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            darkest = std::min(darkest, qGray(shot.pixel(x, y)));
    return darkest;
}

TEST_F(FilePaneTest, CutStateDimsOnlyThatItem) {
    m_pane.show();
    const int plain = DarkestIn(m_pane, 4);
    m_pane.SetCut(m_root + "b.jpg", true);
    m_pane.SetCut(m_root + "not listed.jpg", true);
    EXPECT_TRUE(m_pane.IsCut(m_root + "b.jpg"));
    EXPECT_FALSE(m_pane.IsCut(m_root + "c.Gif"));
    EXPECT_GT(DarkestIn(m_pane, 4), plain + 40) << "not dimmed";
    EXPECT_EQ(DarkestIn(m_pane, 5), plain);
    m_pane.SetCut(m_root + "b.jpg", false);
    EXPECT_FALSE(m_pane.IsCut(m_root + "b.jpg"));
    EXPECT_EQ(DarkestIn(m_pane, 4), plain);
    // Reloading drops the marks.
    m_pane.SetCut(m_root + "b.jpg", true);
    m_pane.Refresh();
    EXPECT_FALSE(m_pane.IsCut(m_root + "b.jpg"));
}

TEST_F(FilePaneTest, UpWalksToTheRootThenTheDrivesWhichStayPut) {
    m_pane.SetFolder(m_root + "sub");
    m_pane.GoUp();
    EXPECT_EQ(m_pane.Folder(), m_root);
    m_pane.SetFolder("/");
    m_pane.GoUp();
    EXPECT_EQ(m_pane.Folder(), "Drives");
    m_pane.GoUp();
    EXPECT_EQ(m_pane.Folder(), "Drives");

    // The drives are the mounted volumes, each opening its root.
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) roots.append(volume.rootPath());
    ASSERT_EQ(m_pane.ItemCount(), roots.size());
    EXPECT_TRUE(m_pane.AllFiles().isEmpty());
    EXPECT_EQ(m_pane.DriveBox()->count(), roots.size());
    const int row =
        int(std::find_if(roots.cbegin(), roots.cend(), [](const QString& r) { return r == "/"; }) -
            roots.cbegin());
    ASSERT_LT(row, roots.size()) << "no root volume";
    m_pane.show();
    m_pane.SetFolder("dRiVeS");  // already shown, in any letter case
    EXPECT_EQ(m_pane.Folder(), "Drives");
    for (int i = 0; i < m_pane.ItemCount(); ++i) {
        if (m_pane.List()->item(i)->data(Qt::UserRole).toString() != "/") continue;
        m_pane.List()->scrollToItem(m_pane.List()->item(i));
        DoubleClick(m_pane.List()->viewport(), CentreOf(m_pane, i));
    }
    EXPECT_EQ(m_pane.Folder(), "/");
}

TEST_F(FilePaneTest, DriveBoxOpensTheRootOfTheChosenVolume) {
    const int index = m_pane.DriveBox()->findData("/");
    ASSERT_GE(index, 0);
    EXPECT_EQ(m_pane.DriveBox()->currentIndex(),
              m_pane.DriveBox()->findData(QStorageInfo(m_root).rootPath().endsWith('/')
                                              ? QStorageInfo(m_root).rootPath()
                                              : QStorageInfo(m_root).rootPath() + "/"));
    emit m_pane.DriveBox()->activated(index);
    EXPECT_EQ(m_pane.Folder(), "/");
}

TEST_F(FilePaneTest, ContextMenuCopiesThePathsOfTheSelection) {
    m_pane.show();
    QListWidget* list = m_pane.List();
    // Picks "Copy Path" in the menu the right-click opens.
    QStringList captions;
    auto pickCopyPath = [&captions] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) captions.append(action->text());
        for (QAction* action : menu->actions())
            if (action->text() == "Copy Path") action->trigger();
        menu->close();
    };
    auto rightClick = [&](int row) {
        QTimer::singleShot(0, pickCopyPath);
        const QPoint at = CentreOf(m_pane, row);
        emit list->customContextMenuRequested(at);
    };

    // Several selected: all of them, in view order.
    list->item(6)->setSelected(true);
    list->item(3)->setSelected(true);
    rightClick(3);
    EXPECT_EQ(captions, (QStringList{"Open", "Show in Folder", "Copy Path"}));
    EXPECT_EQ(QApplication::clipboard()->text(), m_root + "A.BMP\n" + m_root + "d.jpeg");
    // An item outside the selection: it alone becomes the selection.
    rightClick(1);
    EXPECT_EQ(QApplication::clipboard()->text(), m_root + "sub/");
    EXPECT_EQ(list->selectedItems().size(), 1);
}

TEST(FilePaneThumbnails, PicturesGetTheirThumbnailsAndDamagedOnesKeepThePlainIcon) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    raster::Bitmap bitmap(64, 32, raster::PixelFormat::Bits24);
    bitmap.Fill(0x2060E0);
    const std::string jpeg = codecs::EncodeJpeg(bitmap, 90);
    QFile good(temp.path() + "/blue.jpg");
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write(jpeg.data(), qint64(jpeg.size()));
    good.close();
    QFile damaged(temp.path() + "/cut.jpg");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(jpeg.data(), 40);
    damaged.close();

    app::FilePane pane(nullptr);
    pane.SetFolder(temp.path());
    pane.WaitForThumbnails();
    ASSERT_EQ(pane.ItemCount(), 2);
    const QImage thumbnail = pane.List()->item(0)->icon().pixmap(32, 32).toImage();
    const QImage icon = pane.List()->item(1)->icon().pixmap(32, 32).toImage();
    // The 2:1 picture sits in the middle of the square, fully opaque there.
    const QRgb centre = thumbnail.pixel(16, 16);
    EXPECT_EQ(qAlpha(centre), 255);
    EXPECT_LT(std::abs(qRed(centre) - 0x20), 8);
    EXPECT_LT(std::abs(qGreen(centre) - 0x60), 8);
    EXPECT_LT(std::abs(qBlue(centre) - 0xE0), 8);
    EXPECT_EQ(qAlpha(thumbnail.pixel(16, 2)), 0);
    EXPECT_NE(icon.pixel(16, 16), centre);
}

}  // namespace
