#include "transitions/DisplayFormat.h"

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
