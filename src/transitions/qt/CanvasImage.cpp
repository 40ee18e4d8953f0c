#include "transitions/qt/CanvasImage.h"

namespace transitions {

namespace {

// The palette as a colour table of 2^bits entries; missing entries are black.
QList<QRgb> ColourTable(const std::vector<raster::Rgb>& palette, int entries) {
    QList<QRgb> table(entries, qRgb(0, 0, 0));
    for (int i = 0; i < entries && size_t(i) < palette.size(); ++i)
        table[i] = 0xFF000000u | (palette[size_t(i)] & 0xFFFFFFu);
    return table;
}

QImage Shared(raster::Bitmap& bitmap, QImage::Format format) {
    return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), qsizetype(bitmap.Stride()),
                  format);
}

}  // namespace

QImage CanvasImage(raster::Bitmap& bitmap) {
    using raster::PixelFormat;
    switch (bitmap.Format()) {
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            return Shared(bitmap, QImage::Format_RGB32);
        case PixelFormat::Bits24:
            return Shared(bitmap, QImage::Format_BGR888);
        case PixelFormat::Bits16:
            return Shared(bitmap, QImage::Format_RGB16);
        case PixelFormat::Bits15:
            return Shared(bitmap, QImage::Format_RGB555);
        case PixelFormat::Bits8: {
            QImage image = Shared(bitmap, QImage::Format_Indexed8);
            image.setColorTable(ColourTable(bitmap.Palette(), 256));
            return image;
        }
        case PixelFormat::Bits1: {
            // Both keep the leftmost pixel in the high bit of a byte.
            QImage image = Shared(bitmap, QImage::Format_Mono);
            image.setColorTable(ColourTable(bitmap.Palette(), 2));
            return image;
        }
        case PixelFormat::Bits4: {
            QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_Indexed8);
            image.setColorTable(ColourTable(bitmap.Palette(), 16));
            for (int y = 0; y < bitmap.Height(); ++y) {
                const uint8_t* in = bitmap.Scanline(y);
                uchar* out = image.scanLine(y);
                for (int x = 0; x < bitmap.Width(); ++x)
                    out[x] = (x & 1) ? (in[x / 2] & 0x0F) : (in[x / 2] >> 4);
            }
            return image;
        }
    }
    return {};
}

}  // namespace transitions
