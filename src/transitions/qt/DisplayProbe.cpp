#include "transitions/qt/DisplayProbe.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "transitions/DisplayFormat.h"

namespace transitions {

namespace {

// Sets one pixel to every green level in turn and counts how often the level read back
// changes (the first read is compared with 255): 64 levels mean six bits of green.
bool HasSixBitGreen(QImage::Format format) {
    QImage probe(10, 10, format);
    int changes = 0;
    int previous = 255;
    for (int i = 0; i < 256; ++i) {
        probe.setPixel(1, 1, qRgb(0, i, 0));
        int green = qGreen(probe.pixel(1, 1));
        if (green != previous) ++changes;
        previous = green;
    }
    return changes > 32;
}

raster::PixelFormat PixelFormatOfDepth(int bitsPerPixel, QImage::Format format) {
    using raster::PixelFormat;
    switch (bitsPerPixel) {
        case 1:
            return PixelFormat::Bits1;
        case 4:
            return PixelFormat::Bits4;
        case 8:
            return PixelFormat::Bits8;
        case 15:
            return PixelFormat::Bits15;
        case 16:
            return HasSixBitGreen(format) ? PixelFormat::Bits16 : PixelFormat::Bits15;
        case 32:
            return PixelFormat::Bits32;
        default:
            return PixelFormat::Bits24;
    }
}

}  // namespace

raster::PixelFormat PixelFormatOfImageFormat(QImage::Format format) {
    if (format == QImage::Format_Invalid) return raster::PixelFormat::Bits24;
    return PixelFormatOfDepth(QImage(1, 1, format).depth(), format);
}

raster::PixelFormat ProbeDisplayPixelFormat() {
    raster::PixelFormat format = raster::PixelFormat::Bits32;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        // A pixmap is kept in the screen's own memory format: a depth-24 X11 screen holds
        // 32 bits per pixel. Palette screens, which Qt shows through true colour, are told
        // by their depth.
        QPixmap pixmap(1, 1);
        pixmap.fill(Qt::black);
        QImage::Format native = pixmap.toImage().format();
        format = screen->depth() <= 8 ? PixelFormatOfDepth(screen->depth(), native)
                                      : PixelFormatOfImageFormat(native);
    }
    SetDisplayPixelFormat(format);
    return format;
}

}  // namespace transitions
