#include "transitions/Surface.h"

#include <algorithm>
#include <cstring>

namespace transitions {

namespace {
raster::PixelFormat g_displayFormat = raster::PixelFormat::Bits32;
}

raster::PixelFormat DisplayPixelFormat() {
    return g_displayFormat;
}

void SetDisplayPixelFormat(raster::PixelFormat format) {
    g_displayFormat = format == raster::PixelFormat::Device ? raster::PixelFormat::Bits32 : format;
}

int DisplayBitsPerPixel() {
    return g_displayFormat == raster::PixelFormat::Bits15 ? 16
                                                          : raster::BitsPerPixel(g_displayFormat);
}

bool DisplayIsHighColour() {
    return DisplayBitsPerPixel() > 8;
}

raster::Bitmap MakeDisplayBitmap(int width, int height, raster::PixelFormat format) {
    if (format == raster::PixelFormat::Device) format = g_displayFormat;
    raster::Bitmap bitmap(width, height, format);
    if (format == raster::PixelFormat::Bits8) {
        bitmap.Palette() = raster::DefaultPalette256();
    } else if (format == raster::PixelFormat::Bits4) {
        bitmap.Palette() = raster::DefaultPalette16();
    }
    return bitmap;
}

}  // namespace transitions

namespace transitions {

void CopyPixels(raster::Bitmap& dst, int dx, int dy, int w, int h, const raster::Bitmap& src,
                int sx, int sy) {
    // Clip against both bitmaps, moving the other side along.
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min({w, dst.Width() - dx, src.Width() - sx});
    h = std::min({h, dst.Height() - dy, src.Height() - sy});
    if (w <= 0 || h <= 0) return;
    int bpp = src.Bpp();
    if (bpp >= 8) {
        size_t bytes = size_t(w) * size_t(bpp / 8);
        for (int y = 0; y < h; ++y)
            std::memcpy(dst.Scanline(dy + y) + size_t(dx) * (bpp / 8),
                        src.Scanline(sy + y) + size_t(sx) * (bpp / 8), bytes);
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dst.SetIndex(dx + x, dy + y, src.GetIndex(sx + x, sy + y));
}

}  // namespace transitions
