#include <gtest/gtest.h>

#include <QApplication>

#include "QtTestSupport.h"
#include "transitions/DisplayFormat.h"
#include "transitions/qt/QtControl.h"

namespace {

using namespace transitions;
using qttest::BitmapOf;
using qttest::FirstDifference;
using qttest::ScreenOf;

class CaptureTest : public ::testing::Test {
protected:
    void TearDown() override { SetDisplayPixelFormat(raster::PixelFormat::Bits32); }

    // What Qt itself paints of the panel's `rect`, black outside the panel, in `format`.
    raster::Bitmap Expected(const core::Rect& rect, raster::PixelFormat format) {
        raster::Bitmap whole = BitmapOf(m_scene.panel->grab().toImage());
        raster::Bitmap cut(rect.Width(), rect.Height(), raster::PixelFormat::Bits32);
        for (int y = 0; y < cut.Height(); ++y)
            for (int x = 0; x < cut.Width(); ++x) {
                int sx = rect.Left + x, sy = rect.Top + y;
                if (sx >= 0 && sy >= 0 && sx < whole.Width() && sy < whole.Height())
                    cut.SetPixel(x, y, whole.GetPixel(sx, sy));
            }
        return cut.ConvertTo(format, MakeDisplayBitmap(1, 1, format).Palette());
    }

    qttest::Scene m_scene;
    QtControl m_control{*m_scene.panel};
};

TEST_F(CaptureTest, PaintIntoShowsWhatQtPaints) {
    struct Case {
        core::Rect rect;
        raster::PixelFormat format;
    };
    using F = raster::PixelFormat;
    const Case cases[] = {
        {{0, 0, 160, 120}, F::Bits32},    {{15, 10, 95, 70}, F::Bits32},
        {{100, 80, 190, 140}, F::Bits32},  // reaches past the panel: black there
        {{-5, -5, 60, 40}, F::Bits32},    {{0, 0, 160, 120}, F::Bits24},
        {{3, 2, 120, 97}, F::Bits16},     {{0, 0, 160, 120}, F::Bits15},
        {{0, 0, 160, 120}, F::Bits8},     {{1, 1, 101, 61}, F::Bits4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "rect " << c.rect.Left << "," << c.rect.Top << "," << c.rect.Right << ","
                     << c.rect.Bottom << " format " << int(c.format));
        raster::Bitmap target = MakeDisplayBitmap(c.rect.Width(), c.rect.Height(), c.format);
        m_control.PaintInto(c.rect, target);
        EXPECT_EQ(FirstDifference(Expected(c.rect, c.format), target), "");
        if (c.format == F::Bits32) {
            // The unused fourth byte stays 0, as in every bitmap of the engine.
            EXPECT_EQ(target.Bits()[3], 0);
        }
    }
}

TEST_F(CaptureTest, RenderWindowIsOnScreenButNeverPainted) {
    const core::Rect all{0, 0, 160, 120};
    const core::Rect over{20, 15, 120, 90};
    raster::Bitmap before = Expected(all, raster::PixelFormat::Bits32);
    int flushes = 0;
    m_control.OnFrame = [&](const raster::Bitmap&, const core::Rect&) { ++flushes; };

    std::unique_ptr<RenderWindow> window = m_control.CreateRenderWindow(over);
    EXPECT_EQ(qttest::RenderWindowsIn(*m_scene.panel), 1);
    // It starts as the control's look there.
    EXPECT_EQ(FirstDifference(Expected(over, raster::PixelFormat::Bits32), window->Canvas()), "");
    window->Canvas().Fill(0xFF00FF);
    window->Flush({0, 0, over.Width(), over.Height()});
    EXPECT_EQ(flushes, 1);

    // Painting the control leaves the render window out...
    raster::Bitmap painted = MakeDisplayBitmap(160, 120, raster::PixelFormat::Bits32);
    m_control.PaintInto(all, painted);
    EXPECT_EQ(FirstDifference(before, painted), "");

    // ...while the screen, and the screen copy, show it over the rectangle.
    raster::Bitmap expectedScreen = before;
    for (int y = over.Top; y < over.Bottom; ++y)
        for (int x = over.Left; x < over.Right; ++x) expectedScreen.SetPixel(x, y, 0xFF00FF);
    EXPECT_EQ(FirstDifference(expectedScreen, ScreenOf(*m_scene.panel)), "");
    raster::Bitmap copied = MakeDisplayBitmap(160, 120, raster::PixelFormat::Bits32);
    m_control.CopyScreen(all, copied);
    EXPECT_EQ(FirstDifference(expectedScreen, copied), "");

    // Hidden, the control shows itself again once it repaints; destroyed, the widget is gone.
    window->Hide();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(FirstDifference(before, ScreenOf(*m_scene.panel)), "");
    window.reset();
    EXPECT_EQ(qttest::RenderWindowsIn(*m_scene.panel), 0);
}

TEST_F(CaptureTest, CanvasOfEveryDisplayFormatReachesTheScreen) {
    using F = raster::PixelFormat;
    const core::Rect over{7, 5, 137, 104};  // an odd width tests the row padding
    for (F format : {F::Bits32, F::Bits24, F::Bits16, F::Bits15, F::Bits8, F::Bits4, F::Bits1}) {
        SCOPED_TRACE(testing::Message() << "format " << int(format));
        SetDisplayPixelFormat(format);
        std::unique_ptr<RenderWindow> window = m_control.CreateRenderWindow(over);
        raster::Bitmap& canvas = window->Canvas();
        ASSERT_EQ(canvas.Format(), format);
        if (format == F::Bits1) canvas.Palette() = {0x000000, 0xFFFFFF};
        // A pattern of colours the format holds exactly (for palette formats, its entries).
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                raster::Rgb colour =
                    raster::MakeRgb(uint8_t(x * 2), uint8_t(y * 2), uint8_t(x ^ y));
                if (!canvas.Palette().empty())
                    canvas.SetIndex(x, y, uint32_t(x + 3 * y) % canvas.Palette().size());
                else
                    canvas.SetPixel(x, y, colour);
            }
        window->Flush({0, 0, canvas.Width(), canvas.Height()});
        raster::Bitmap shown = ScreenOf(*m_scene.panel);
        raster::Bitmap part(over.Width(), over.Height(), F::Bits32);
        for (int y = 0; y < part.Height(); ++y)
            for (int x = 0; x < part.Width(); ++x)
                part.SetPixel(x, y, shown.GetPixel(over.Left + x, over.Top + y));
        EXPECT_EQ(FirstDifference(canvas.ConvertTo(F::Bits32), part), "");
    }
}

TEST_F(CaptureTest, CoveredWhenOutsideTheClientAreasOrUnderOtherWindows) {
    QWidget* sibling = qttest::ColourBox(&m_scene.window, QRect(150, 100, 40, 40), Qt::gray);
    sibling->hide();
    // A render window as a sibling never counts.
    auto rival =
        std::make_unique<QtRenderWindow>(m_scene.window, core::Rect{0, 0, 30, 30},
                                         MakeDisplayBitmap(30, 30, raster::PixelFormat::Bits32));
    EXPECT_FALSE(m_control.IsCovered({0, 0, 160, 120}));
    EXPECT_TRUE(m_control.IsCovered({-1, 0, 160, 120}));  // outside the panel
    EXPECT_TRUE(m_control.IsCovered({0, 0, 161, 120}));

    sibling->show();
    EXPECT_TRUE(m_control.IsCovered({0, 0, 160, 120}));
    EXPECT_FALSE(m_control.IsCovered({0, 0, 100, 80}));  // clear of the sibling
    sibling->hide();

    // The panel moved partly outside its window.
    m_scene.panel->move(100, 10);
    EXPECT_TRUE(m_control.IsCovered({0, 0, 160, 120}));
    EXPECT_FALSE(m_control.IsCovered({0, 0, 90, 120}));
    m_scene.panel->move(10, 10);

    // Another window of the program over it.
    QWidget other;
    other.setGeometry(QRect(m_scene.panel->mapToGlobal(QPoint(20, 20)), QSize(30, 30)));
    qttest::ShowAndWait(other);
    EXPECT_TRUE(m_control.IsCovered({0, 0, 160, 120}));
    other.hide();
    EXPECT_FALSE(m_control.IsCovered({0, 0, 160, 120}));
}

TEST_F(CaptureTest, AdapterAnswersForItsWidget) {
    EXPECT_TRUE(m_control.IsVisible());
    EXPECT_EQ(m_control.Position(), (core::Point{10, 10}));
    EXPECT_EQ(m_control.Colour(), 0x006400);  // 0x00BBGGRR of (0, 100, 0)

    // The picture control's parent is the panel; the panel's is the window, which has none.
    QtControl picture(*m_scene.picture);
    auto* parent = dynamic_cast<QtControl*>(picture.ParentControl());
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->Widget(), m_scene.panel);
    ASSERT_NE(parent->ParentControl(), nullptr);
    EXPECT_EQ(parent->ParentControl()->ParentControl(), nullptr);

    m_scene.picture->hide();
    EXPECT_FALSE(picture.IsVisible());
}

}  // namespace
