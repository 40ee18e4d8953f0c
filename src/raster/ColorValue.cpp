#include "raster/ColorValue.h"

#include <array>

namespace raster {

namespace {

// The standard Windows scheme's values for the system colours, as 0x00BBGGRR.
constexpr std::array<uint32_t, kSystemColorCount> kSystemColorValues = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF,
};

}  // namespace

Rgb ColorToRgb(ColorValue colour) {
    const uint32_t u = static_cast<uint32_t>(colour);
    uint32_t bgr = 0;
    if (u >= kSystemColorBase && u < kSystemColorBase + kSystemColorCount)
        bgr = kSystemColorValues[u - kSystemColorBase];
    else if (colour != kClNone)
        bgr = u & 0xFFFFFF;
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

}  // namespace raster
