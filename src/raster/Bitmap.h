#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace raster {

// Pixel formats numbered as the transition engine numbers them.
enum class PixelFormat : uint8_t {
    Device = 0,  // "whatever the display has"; never the format of a real bitmap
    Bits1 = 1,
    Bits4 = 2,
    Bits8 = 3,
    Bits15 = 4,  // 5-5-5
    Bits16 = 5,  // 5-6-5
    Bits24 = 6,  // B, G, R
    Bits32 = 7,  // B, G, R, x
};

int BitsPerPixel(PixelFormat format);

// Bytes in one row of `width` pixels, padded to a multiple of four.
size_t RowStride(int width, PixelFormat format);

// A colour as 0x00RRGGBB: the byte order of a 32-bit pixel (and of a palette entry)
// in memory is B, G, R, x.
using Rgb = uint32_t;
constexpr Rgb MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}
constexpr uint8_t RedOf(Rgb c) {
    return uint8_t(c >> 16);
}
constexpr uint8_t GreenOf(Rgb c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t BlueOf(Rgb c) {
    return uint8_t(c);
}

// A device-independent bitmap: rows padded to 32 bits in one contiguous block, stored
// top-down (row 0 is the top row), with a palette for 1, 4 and 8 bits per pixel.
class Bitmap {
public:
    // The largest bitmap we ever allocate; pictures beyond it are refused before
    // any allocation.
    static constexpr uint64_t kMaxPixels = uint64_t(1) << 28;

    Bitmap() = default;
    // Throws core::Error when the size is negative or beyond kMaxPixels. Pixels start as 0.
    Bitmap(int width, int height, PixelFormat format);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    PixelFormat Format() const { return m_format; }
    int Bpp() const { return BitsPerPixel(m_format); }
    size_t Stride() const { return m_stride; }
    bool Empty() const { return m_width == 0 || m_height == 0; }

    uint8_t* Bits() { return m_bits.data(); }
    const uint8_t* Bits() const { return m_bits.data(); }
    size_t SizeBytes() const { return m_bits.size(); }
    uint8_t* Scanline(int y) { return m_bits.data() + size_t(y) * m_stride; }
    const uint8_t* Scanline(int y) const { return m_bits.data() + size_t(y) * m_stride; }

    // 2, 16 or 256 entries for the palette formats (missing entries are black); empty otherwise.
    std::vector<Rgb>& Palette() { return m_palette; }
    const std::vector<Rgb>& Palette() const { return m_palette; }

    // Slow per-pixel access, for tests and edge paths. Get answers the colour (through
    // the palette for palette formats); the raw value is GetIndex.
    Rgb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, Rgb colour);  // palette formats: nearest palette entry
    uint32_t GetIndex(int x, int y) const;    // the stored value of the pixel
    void SetIndex(int x, int y, uint32_t value);

    void Fill(Rgb colour);

    // A copy in another format. To palette formats the colours map to the nearest
    // entry of `palette` (the default grey or system palette when empty).
    Bitmap ConvertTo(PixelFormat format, const std::vector<Rgb>& palette = {}) const;

    bool operator==(const Bitmap& other) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    PixelFormat m_format = PixelFormat::Bits32;
    size_t m_stride = 0;
    std::vector<uint8_t> m_bits;
    std::vector<Rgb> m_palette;
};

// The halftone palette used when a palette format is made from true colour and no
// palette is given: 16 system colours plus a 6x6x6 cube, 256 entries.
const std::vector<Rgb>& DefaultPalette256();
const std::vector<Rgb>& DefaultPalette16();

// 5-bit and 6-bit channel expansion to 8 bits (bit replication).
constexpr uint8_t Expand5(uint32_t v) {
    return uint8_t((v << 3) | (v >> 2));
}
constexpr uint8_t Expand6(uint32_t v) {
    return uint8_t((v << 2) | (v >> 4));
}

}  // namespace raster
