#include <gtest/gtest.h>

#include "transitions/DisplayFormat.h"
#include "transitions/qt/DisplayProbe.h"

namespace {

using raster::PixelFormat;
using transitions::PixelFormatOfImageFormat;

TEST(DisplayProbeTest, ImageFormatsMapByBitsPerPixelAndGreenProbe) {
    struct Case {
        QImage::Format format;
        PixelFormat expected;
    };
    const Case cases[] = {
        {QImage::Format_RGB32, PixelFormat::Bits32},
        {QImage::Format_ARGB32_Premultiplied, PixelFormat::Bits32},
        {QImage::Format_RGB30, PixelFormat::Bits32},
        {QImage::Format_RGB888, PixelFormat::Bits24},
        {QImage::Format_BGR888, PixelFormat::Bits24},
        {QImage::Format_RGB16, PixelFormat::Bits16},   // six bits of green
        {QImage::Format_RGB555, PixelFormat::Bits15},  // five
        {QImage::Format_RGB444, PixelFormat::Bits15},  // four: "not 5-6-5"
        {QImage::Format_Indexed8, PixelFormat::Bits8},
        {QImage::Format_Grayscale8, PixelFormat::Bits8},
        {QImage::Format_Mono, PixelFormat::Bits1},
        {QImage::Format_RGBA64, PixelFormat::Bits24},  // any other depth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        EXPECT_EQ(PixelFormatOfImageFormat(c.format), c.expected);
    }
}

TEST(DisplayProbeTest, ProbeSetsTheEngineDisplayFormat) {
    // The offscreen screen keeps 32 bits per pixel, as a depth-24 X11 desktop does.
    transitions::SetDisplayPixelFormat(PixelFormat::Bits8);
    EXPECT_EQ(transitions::ProbeDisplayPixelFormat(), PixelFormat::Bits32);
    EXPECT_EQ(transitions::DisplayPixelFormat(), PixelFormat::Bits32);
}

}  // namespace
