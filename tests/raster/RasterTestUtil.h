#pragma once

// Helpers shared by the raster tests.

#include <cstdint>
#include <string>

#include "raster/Bitmap.h"

namespace rastertest {

// A small deterministic generator, so every run folds the same cases.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : m_seed(seed) {}
    uint32_t Next(uint32_t n) {
        m_seed = m_seed * 134775813u + 1u;
        return uint32_t((uint64_t(m_seed) * n) >> 32);
    }
    int Range(int lo, int hi) { return lo + int(Next(uint32_t(hi - lo + 1))); }  // lo .. hi
    uint8_t Byte() { return uint8_t(Next(256)); }

private:
    uint32_t m_seed;
};

// FNV-1a over bytes, continuing from `hash`.
inline uint32_t Fnv(const uint8_t* p, size_t n, uint32_t hash = 2166136261u) {
    for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 16777619u;
    return hash;
}
inline uint32_t Fnv(const raster::Bitmap& b, uint32_t hash = 2166136261u) {
    return Fnv(b.Bits(), b.SizeBytes(), hash);
}

constexpr raster::PixelFormat kAllFormats[] = {
    raster::PixelFormat::Bits1,  raster::PixelFormat::Bits4,  raster::PixelFormat::Bits8,
    raster::PixelFormat::Bits15, raster::PixelFormat::Bits16, raster::PixelFormat::Bits24,
    raster::PixelFormat::Bits32,
};

// A bitmap of random bytes, padding included, with a random palette.
inline raster::Bitmap RandomBitmap(Lcg& rng, int w, int h, raster::PixelFormat format) {
    raster::Bitmap b(w, h, format);
    for (size_t i = 0; i < b.SizeBytes(); ++i) b.Bits()[i] = rng.Byte();
    for (raster::Rgb& c : b.Palette()) c = rng.Next(0x1000000);
    return b;
}

// The bitmap as rows of '#' (bit or value not 0) and '.', for failure messages.
inline std::string Picture(const raster::Bitmap& b) {
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) s += b.GetIndex(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

}  // namespace rastertest
