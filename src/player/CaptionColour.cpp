#include "player/CaptionColour.h"

#include <cmath>

namespace player {

namespace {

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

raster::Rgb CaptionTextColour(raster::Rgb bar) {
    const double luminance = 0.2126 * Linear(raster::RedOf(bar)) +
                             0.7152 * Linear(raster::GreenOf(bar)) +
                             0.0722 * Linear(raster::BlueOf(bar));
    const double againstBlack = (luminance + 0.05) / 0.05;
    const double againstWhite = 1.05 / (luminance + 0.05);
    return againstBlack >= againstWhite ? 0x000000 : 0xFFFFFF;
}

}  // namespace player
