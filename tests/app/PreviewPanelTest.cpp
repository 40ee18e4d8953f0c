#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "app/PreviewFit.h"
#include "app/PreviewPanel.h"
#include "codecs/BmpPicture.h"
#include "codecs/JpegPicture.h"
#include "raster/Bitmap.h"

namespace {

struct FitCase {
    int pictureWidth, pictureHeight, panelWidth, panelHeight;
    core::Rect expected;  // left, top, right, bottom
};

TEST(PreviewFit, KeepsTheAspectWithAFivePixelMarginAndRoundsHalvesToEven) {
    const FitCase cases[] = {
        // A 4000 x 3000 JPEG decoded at 1000 x 750: a = 1.3333 <= b = 1.6702.
        {1000, 750, 471, 282, core::Rect::FromSize(54, 5, 363, 272)},
        {640, 480, 471, 282, core::Rect::FromSize(54, 5, 363, 272)},
        // a = 4 > b: height round(115.25), top round(83.5) = 84.
        {2000, 500, 471, 282, core::Rect::FromSize(5, 84, 461, 115)},
        // The panel's own aspect is not wider, so it fits by height: width
        // round(454.3),
        // left round(8.5) = 8.
        {471, 282, 471, 282, core::Rect::FromSize(8, 5, 454, 272)},
        // Left round(5.5) = 6 and round(6.5) = 6: halves go to the even
        // neighbour.
        {1, 1, 16, 15, core::Rect::FromSize(6, 5, 5, 5)},
        {1, 1, 18, 15, core::Rect::FromSize(6, 5, 5, 5)},
        // No area anywhere: nothing to show, and no division by zero.
        {0, 10, 471, 282, core::Rect{}},
        {10, 0, 471, 282, core::Rect{}},
        {10, 10, 0, 282, core::Rect{}},
        // A panel smaller than its margins gets an empty image, never a negative
        // size.
        {100, 100, 8, 8, core::Rect::FromSize(4, 4, 0, 0)},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(app::FitPreview(c.pictureWidth, c.pictureHeight, c.panelWidth, c.panelHeight),
                  c.expected)
            << c.pictureWidth << "x" << c.pictureHeight << " in " << c.panelWidth << "x"
            << c.panelHeight;
    }
}

// Pictures written into a temporary folder: JPEG files of the given sizes and a BMP.
class PreviewPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        // A hidden widget gets its resize events only when shown.
        m_panel.show();
    }

    QString Write(const QString& name, const std::string& bytes) {
        const QString path = m_temp.path() + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        return path;
    }
    QString Jpeg(int width, int height) {
        raster::Bitmap bitmap(width, height, raster::PixelFormat::Bits24);
        bitmap.Fill(0x3080C0);
        return Write(QStringLiteral("p%1x%2.jpg").arg(width).arg(height),
                     codecs::EncodeJpeg(bitmap, 75));
    }
    QString Bmp(int width, int height) {
        raster::Bitmap bitmap(width, height, raster::PixelFormat::Bits24);
        bitmap.Fill(0xC08030);
        return Write(QStringLiteral("p%1x%2.bmp").arg(width).arg(height), codecs::WriteBmp(bitmap));
    }

    QRect ImageBounds() const { return m_panel.Image()->geometry(); }

    QTemporaryDir m_temp;
    QStringList m_errors;
    app::PreviewPanel m_panel{nullptr,
                              [this](const QString& message) { m_errors.append(message); }};
};

TEST_F(PreviewPanelTest, LargeJpegPicturesAreDecodedAtAQuarter) {
    struct Case {
        int width, height;
        QSize decoded;
    };
    const Case cases[] = {
        {1200, 900, QSize(300, 225)},  // wider than 1000
        {40, 1004, QSize(10, 251)},    // taller than 1000
        {1000, 40, QSize(1000, 40)},   // 1000 itself is not large
    };
    m_panel.resize(471, 282);
    for (const Case& c : cases) {
        m_panel.ShowPicture(Jpeg(c.width, c.height));
        EXPECT_EQ(m_panel.PictureSize(), c.decoded) << c.width << "x" << c.height;
    }
    // A BMP over 1000 pixels is not reduced.
    m_panel.ShowPicture(Bmp(1004, 4));
    EXPECT_EQ(m_panel.PictureSize(), QSize(1004, 4));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join("; ").toStdString();
}

TEST_F(PreviewPanelTest, FitsTheImageAndRefitsWhenResized) {
    m_panel.resize(471, 282);
    m_panel.ShowPicture(Jpeg(1200, 900));
    EXPECT_EQ(ImageBounds(), QRect(54, 5, 363, 272));
    m_panel.ShowPicture(Bmp(640, 480));
    EXPECT_EQ(ImageBounds(), QRect(54, 5, 363, 272));

    m_panel.resize(210, 110);  // fits by height; left round(38.5) = 38
    EXPECT_EQ(ImageBounds(), QRect(38, 5, 133, 100));
    // Qt reads the fourth byte of an RGB32 pixel as opaque only when it is 0xFF.
    const QImage& shown = m_panel.Image()->Picture();
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(shown.constScanLine(3))[3], 0xFFC08030u);

    // The "Preview" button's load keeps the bounds and the full size.
    m_panel.LoadPictureUnfitted(Jpeg(1200, 900));
    EXPECT_EQ(m_panel.PictureSize(), QSize(1200, 900));
    EXPECT_EQ(ImageBounds(), QRect(38, 5, 133, 100));

    // An empty image is not refitted.
    m_panel.Clear();
    EXPECT_FALSE(m_panel.Image()->HasPicture());
    m_panel.resize(471, 282);
    EXPECT_EQ(ImageBounds(), QRect(38, 5, 133, 100));
}

TEST_F(PreviewPanelTest, UnreadablePicturesAreReportedAndTheImageKept) {
    m_panel.resize(471, 282);
    m_panel.ShowPicture(Bmp(640, 480));
    const QString damaged[] = {
        Write("cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)),
        Write("text.bmp", "not a bitmap at all"),
        Write("empty.gif", ""),
        m_temp.path() + "/missing.jpg",
        Write("picture.png", "x"),
    };
    for (const QString& path : damaged) {
        m_errors.clear();
        m_panel.ShowPicture(path);
        EXPECT_EQ(m_errors.size(), 1) << path.toStdString();
        EXPECT_FALSE(m_errors.value(0).isEmpty());
        EXPECT_EQ(m_panel.PictureSize(), QSize(640, 480));
        EXPECT_EQ(ImageBounds(), QRect(54, 5, 363, 272));
    }
}

}  // namespace
