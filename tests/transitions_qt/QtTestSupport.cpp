#include "QtTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <cstdio>

#include "transitions/DisplayFormat.h"
#include "transitions/qt/QtRenderWindow.h"

namespace qttest {

QWidget* ColourBox(QWidget* parent, const QRect& geometry, QColor colour) {
    auto* box = new QWidget(parent);
    box->setGeometry(geometry);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

QPixmap TwoColourPixmap(int width, int height, QColor left, QColor right) {
    QPixmap pixmap(width, height);
    pixmap.fill(left);
    QPainter painter(&pixmap);
    painter.fillRect(width / 2, 0, width - width / 2, height, right);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, width - 1, height - 1);
    return pixmap;
}

raster::Bitmap BitmapOf(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    raster::Bitmap bitmap(rgb.width(), rgb.height(), raster::PixelFormat::Bits32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) bitmap.SetPixel(x, y, in[x] & 0xFFFFFF);
    }
    return bitmap;
}

std::string FirstDifference(const raster::Bitmap& expected, const raster::Bitmap& actual) {
    char text[160];
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
        std::snprintf(text, sizeof text, "size %dx%d, expected %dx%d", actual.Width(),
                      actual.Height(), expected.Width(), expected.Height());
        return text;
    }
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x)
            if (expected.GetPixel(x, y) != actual.GetPixel(x, y)) {
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, expected %06X", x, y,
                              actual.GetPixel(x, y), expected.GetPixel(x, y));
                return text;
            }
    return "";
}

raster::Bitmap ScreenOf(QWidget& widget) {
    QWidget* window = widget.window();
    QPoint at = widget.mapTo(window, QPoint(0, 0));
    QPixmap shot = window->screen()->grabWindow(window->winId(), at.x(), at.y(), widget.width(),
                                                widget.height());
    return BitmapOf(shot.toImage());
}

void ShowAndWait(QWidget& window) {
    window.show();
    for (int i = 0; i < 100 && !(window.windowHandle() && window.windowHandle()->isExposed());
         ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

Scene::Scene() {
    window.resize(200, 150);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(40, 40, 40));
    window.setPalette(palette);
    panel = ColourBox(&window, QRect(10, 10, 160, 120), QColor(0, 100, 0));
    picture = new QLabel(panel);
    // Larger than its pixmap and not filling its background: the panel shows around it.
    picture->setGeometry(8, 6, 70, 52);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(TwoColourPixmap(64, 48, QColor(200, 0, 0), QColor(0, 0, 200)));
    box = ColourBox(panel, QRect(90, 50, 50, 40), QColor(230, 230, 0));
    inner = ColourBox(box, QRect(10, 10, 20, 15), QColor(0, 210, 210));
    ShowAndWait(window);
}

void Scene::ChangeLook() {
    picture->setPixmap(TwoColourPixmap(64, 48, QColor(250, 160, 0), QColor(120, 0, 160)));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, QColor(90, 90, 255));
    box->setPalette(palette);
}

int RenderWindowsIn(const QWidget& widget) {
    int count = 0;
    for (const QObject* child : widget.children())
        if (transitions::QtRenderWindow::IsRenderWindow(child)) ++count;
    return count;
}

}  // namespace qttest
