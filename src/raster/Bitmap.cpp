#include "raster/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "core/Error.h"
#include "raster/PixelRows.h"

namespace raster {

int BitsPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::Bits1:
            return 1;
        case PixelFormat::Bits4:
            return 4;
        case PixelFormat::Bits8:
            return 8;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            return 16;
        case PixelFormat::Bits24:
            return 24;
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            return 32;
    }
    return 32;
}

size_t RowStride(int width, PixelFormat format) {
    return ((size_t(width) * BitsPerPixel(format) + 31) / 32) * 4;
}

namespace {

bool IsPaletteFormat(PixelFormat f) {
    return f == PixelFormat::Bits1 || f == PixelFormat::Bits4 || f == PixelFormat::Bits8;
}

size_t PaletteSize(PixelFormat f) {
    switch (f) {
        case PixelFormat::Bits1:
            return 2;
        case PixelFormat::Bits4:
            return 16;
        case PixelFormat::Bits8:
            return 256;
        default:
            return 0;
    }
}

int ColourDistance(Rgb a, Rgb b) {
    int dr = int(RedOf(a)) - RedOf(b);
    int dg = int(GreenOf(a)) - GreenOf(b);
    int db = int(BlueOf(a)) - BlueOf(b);
    return dr * dr + dg * dg + db * db;
}

uint32_t NearestIndex(const std::vector<Rgb>& palette, Rgb c) {
    uint32_t best = 0;
    int bestDist = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        int d = ColourDistance(palette[i], c);
        if (d < bestDist) {
            bestDist = d;
            best = uint32_t(i);
            if (d == 0) break;
        }
    }
    return best;
}

}  // namespace

const std::vector<Rgb>& DefaultPalette16() {
    static const std::vector<Rgb> palette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return palette;
}

const std::vector<Rgb>& DefaultPalette256() {
    static const std::vector<Rgb> palette = [] {
        std::vector<Rgb> p = DefaultPalette16();
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) p.push_back(MakeRgb(r * 51, g * 51, b * 51));
        for (int i = 1; p.size() < 256; ++i) {
            uint8_t v = uint8_t(i * 255 / 25);
            p.push_back(MakeRgb(v, v, v));
        }
        return p;
    }();
    return palette;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) {
    if (width < 0 || height < 0) throw core::Error("Invalid bitmap size.");
    if (uint64_t(width) * uint64_t(height) > kMaxPixels)
        throw core::Error("The picture is too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels).");
    if (format == PixelFormat::Device) format = PixelFormat::Bits32;
    m_width = width;
    m_height = height;
    m_format = format;
    m_stride = RowStride(width, format);
    m_bits.assign(m_stride * size_t(height), 0);
    m_palette.assign(PaletteSize(format), 0);
    if (format == PixelFormat::Bits1) m_palette[1] = 0xFFFFFF;
}

uint32_t Bitmap::GetIndex(int x, int y) const {
    return detail::ReadValue(Scanline(y), m_format, x);
}

void Bitmap::SetIndex(int x, int y, uint32_t value) {
    detail::WriteValue(Scanline(y), m_format, x, value);
}

Rgb Bitmap::GetPixel(int x, int y) const {
    uint32_t v = GetIndex(x, y);
    switch (m_format) {
        case PixelFormat::Bits1:
        case PixelFormat::Bits4:
        case PixelFormat::Bits8:
            return v < m_palette.size() ? (m_palette[v] & 0xFFFFFF) : 0;
        case PixelFormat::Bits15:
            return MakeRgb(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
        case PixelFormat::Bits16:
            return MakeRgb(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31));
        default:
            return v & 0xFFFFFF;
    }
}

void Bitmap::SetPixel(int x, int y, Rgb c) {
    switch (m_format) {
        case PixelFormat::Bits1:
        case PixelFormat::Bits4:
        case PixelFormat::Bits8:
            SetIndex(x, y, NearestIndex(m_palette, c));
            break;
        case PixelFormat::Bits15:
            SetIndex(x, y, ((RedOf(c) >> 3) << 10) | ((GreenOf(c) >> 3) << 5) | (BlueOf(c) >> 3));
            break;
        case PixelFormat::Bits16:
            SetIndex(x, y, ((RedOf(c) >> 3) << 11) | ((GreenOf(c) >> 2) << 5) | (BlueOf(c) >> 3));
            break;
        default:
            SetIndex(x, y, c & 0xFFFFFF);
            break;
    }
}

void Bitmap::Fill(Rgb colour) {
    if (Empty()) return;
    for (int x = 0; x < m_width; ++x) SetPixel(x, 0, colour);
    for (int y = 1; y < m_height; ++y) std::memcpy(Scanline(y), Scanline(0), m_stride);
}

Bitmap Bitmap::ConvertTo(PixelFormat format, const std::vector<Rgb>& palette) const {
    if (format == PixelFormat::Device) format = PixelFormat::Bits32;
    if (format == m_format && (palette.empty() || palette == m_palette)) return *this;
    Bitmap out(m_width, m_height, format);
    if (IsPaletteFormat(format)) {
        const std::vector<Rgb>& source = !palette.empty()               ? palette
                                         : format == PixelFormat::Bits8 ? DefaultPalette256()
                                         : format == PixelFormat::Bits4 ? DefaultPalette16()
                                                                        : out.m_palette;
        for (size_t i = 0; i < out.m_palette.size() && i < source.size(); ++i)
            out.m_palette[i] = source[i];
        // Quantising every pixel against the palette is slow; cache by 15-bit colour.
        std::vector<int16_t> cache(32768, -1);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                Rgb c = GetPixel(x, y);
                uint32_t key =
                    ((RedOf(c) >> 3) << 10) | ((GreenOf(c) >> 3) << 5) | (BlueOf(c) >> 3);
                if (cache[key] < 0) cache[key] = int16_t(NearestIndex(out.m_palette, c));
                out.SetIndex(x, y, uint32_t(cache[key]));
            }
        return out;
    }
    if (format == PixelFormat::Bits32 && m_format == PixelFormat::Bits24) {
        for (int y = 0; y < m_height; ++y) {
            const uint8_t* s = Scanline(y);
            uint8_t* d = out.Scanline(y);
            for (int x = 0; x < m_width; ++x, s += 3, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        return out;
    }
    if (format == PixelFormat::Bits24 && m_format == PixelFormat::Bits32) {
        for (int y = 0; y < m_height; ++y) {
            const uint8_t* s = Scanline(y);
            uint8_t* d = out.Scanline(y);
            for (int x = 0; x < m_width; ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        return out;
    }
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) out.SetPixel(x, y, GetPixel(x, y));
    return out;
}

}  // namespace raster
