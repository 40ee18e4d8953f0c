#pragma once

// Set-up the transition benchmarks share: full-HD noise pictures and headless runs from
// the old picture to the new one.

#include <cstddef>
#include <cstdint>
#include <random>

#include "raster/Bitmap.h"
#include "transitions/HeadlessControl.h"
#include "transitions/TransitionEffect.h"

namespace bench {

constexpr int kWidth = 1920, kHeight = 1080;

// A noisy 32-bit picture (the fourth byte of each pixel zero): two seeds give pictures that
// differ in nearly every word, the effects' real work.
inline raster::Bitmap NoisePicture(uint32_t seed) {
    raster::Bitmap b(kWidth, kHeight, raster::PixelFormat::Bits32);
    std::mt19937 random(seed);
    uint32_t* words = reinterpret_cast<uint32_t*>(b.Bits());
    for (size_t i = 0; i < b.SizeBytes() / 4; ++i) words[i] = random() & 0x00FFFFFF;
    return b;
}

// Random bytes throughout, in any format.
inline raster::Bitmap NoiseBytes(raster::PixelFormat format, uint32_t seed) {
    raster::Bitmap b(kWidth, kHeight, format);
    std::mt19937 random(seed);
    for (size_t i = 0; i < b.SizeBytes(); ++i) b.Bits()[i] = uint8_t(random());
    return b;
}

inline const raster::Bitmap& OldPicture() {
    static const raster::Bitmap b = NoisePicture(1);
    return b;
}
inline const raster::Bitmap& NewPicture() {
    static const raster::Bitmap b = NoisePicture(2);
    return b;
}

// A headless control of the full frame showing the old picture. Prepare prepares an effect
// on it and switches the look to the new picture, so that a benchmark can time Execute,
// or the whole run, as it needs.
struct HeadlessStage {
    HeadlessStage() { Control.Look = OldPicture(); }
    void Prepare(transitions::TransitionEffect& effect) {
        effect.Prepare(Control, {0, 0, kWidth, kHeight});
        Control.Look = NewPicture();
    }
    transitions::HeadlessControl Control{kWidth, kHeight};
};

// Runs an effect headless from the old picture to the new one; answers the frames shown.
inline int RunHeadless(transitions::TransitionEffect& effect) {
    HeadlessStage stage;
    stage.Prepare(effect);
    effect.Execute();
    effect.Unprepare();
    return stage.Control.FramesFlushed();
}

}  // namespace bench
