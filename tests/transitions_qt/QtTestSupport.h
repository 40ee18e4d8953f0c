#pragma once

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <string>

#include "raster/Bitmap.h"

namespace qttest {

// A widget filled with one colour.
QWidget* ColourBox(QWidget* parent, const QRect& geometry, QColor colour);

// A picture of two halves and a diagonal line, so position errors show.
QPixmap TwoColourPixmap(int width, int height, QColor left, QColor right);

// The image as a 32-bit bitmap (alpha dropped).
raster::Bitmap BitmapOf(const QImage& image);

// "" when both show the same colours at every pixel, else where they first differ.
std::string FirstDifference(const raster::Bitmap& expected, const raster::Bitmap& actual);

// What the screen shows of `widget` now (the window system's copy, not a fresh paint).
raster::Bitmap ScreenOf(QWidget& widget);

// Lets the event loop run until the window is exposed and painted.
void ShowAndWait(QWidget& window);

// The show's case: a window with a panel carrying a picture control and a box with a child.
struct Scene {
    Scene();
    void ChangeLook();  // the new picture: other colours in the picture and the box

    QWidget window;
    QWidget* panel = nullptr;
    QLabel* picture = nullptr;
    QWidget* box = nullptr;
    QWidget* inner = nullptr;
};

// Render windows among the widget's direct children.
int RenderWindowsIn(const QWidget& widget);

}  // namespace qttest
