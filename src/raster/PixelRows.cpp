#include "raster/PixelRows.h"

#include <algorithm>

namespace raster::detail {

namespace {

// Sets the bits first .. last - 1 of a row (bit 0 is the top bit of byte 0) to the
// matching bits of `pattern`, a byte that repeats along the row.
void FillBitRange(uint8_t* row, size_t first, size_t last, uint8_t pattern) {
    size_t b0 = first >> 3, b1 = (last - 1) >> 3;
    uint8_t head = uint8_t(0xFFu >> (first & 7));
    uint8_t tail = uint8_t(0xFFu << (7 - ((last - 1) & 7)));
    if (b0 == b1) {
        uint8_t m = head & tail;
        row[b0] = uint8_t((row[b0] & ~m) | (pattern & m));
        return;
    }
    row[b0] = uint8_t((row[b0] & ~head) | (pattern & head));
    if (b1 > b0 + 1) std::memset(row + b0 + 1, pattern, b1 - b0 - 1);
    row[b1] = uint8_t((row[b1] & ~tail) | (pattern & tail));
}

}  // namespace

void FillRowSpan(uint8_t* row, PixelFormat format, int x0, int x1, uint32_t value) {
    if (x1 <= x0) return;
    size_t n = size_t(x1 - x0);
    switch (format) {
        case PixelFormat::Bits1:
            FillBitRange(row, size_t(x0), size_t(x1), (value & 1) ? 0xFF : 0x00);
            break;
        case PixelFormat::Bits4:
            FillBitRange(row, size_t(x0) * 4, size_t(x1) * 4, uint8_t((value & 0x0F) * 0x11));
            break;
        case PixelFormat::Bits8:
            std::memset(row + x0, int(value & 0xFF), n);
            break;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16: {
            uint8_t* p = row + 2 * size_t(x0);
            uint8_t lo = uint8_t(value), hi = uint8_t(value >> 8);
            for (size_t i = 0; i < n; ++i) {
                p[2 * i] = lo;
                p[2 * i + 1] = hi;
            }
            break;
        }
        case PixelFormat::Bits24: {
            uint8_t* p = row + 3 * size_t(x0);
            uint8_t b = uint8_t(value), g = uint8_t(value >> 8), r = uint8_t(value >> 16);
            for (size_t i = 0; i < n; ++i) {
                p[3 * i] = b;
                p[3 * i + 1] = g;
                p[3 * i + 2] = r;
            }
            break;
        }
        case PixelFormat::Device:
        case PixelFormat::Bits32: {
            uint8_t* p = row + 4 * size_t(x0);
            for (size_t i = 0; i < n; ++i) std::memcpy(p + 4 * i, &value, 4);
            break;
        }
    }
}

uint32_t StoredValue(const Bitmap& bitmap, Rgb colour) {
    // A one-pixel probe with the same palette keeps the colour mapping exactly that of
    // SetPixel.
    Bitmap probe(1, 1, bitmap.Format());
    probe.Palette() = bitmap.Palette();
    probe.SetPixel(0, 0, colour);
    return probe.GetIndex(0, 0);
}

}  // namespace raster::detail
