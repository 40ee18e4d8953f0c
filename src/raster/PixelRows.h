#pragma once

// Row-level helpers shared by the block copies, the stretch and the shapes. Internal to
// the raster library.

#include <cstdint>
#include <cstring>

#include "raster/Bitmap.h"

namespace raster::detail {

// The stored value of pixel x of a row in `format`.
inline uint32_t ReadValue(const uint8_t* row, PixelFormat format, int x) {
    switch (format) {
        case PixelFormat::Bits1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case PixelFormat::Bits4:
            return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        case PixelFormat::Bits8:
            return row[x];
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            return uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
        case PixelFormat::Bits24: {
            const uint8_t* p = row + 3 * x;
            return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        }
        case PixelFormat::Device:
        case PixelFormat::Bits32: {
            uint32_t v;
            std::memcpy(&v, row + 4 * x, 4);
            return v;
        }
    }
    return 0;
}

// Stores `value` as pixel x of a row in `format`.
inline void WriteValue(uint8_t* row, PixelFormat format, int x, uint32_t value) {
    switch (format) {
        case PixelFormat::Bits1: {
            uint8_t bit = uint8_t(0x80u >> (x & 7));
            row[x >> 3] = (value & 1) ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
            break;
        }
        case PixelFormat::Bits4:
            if (x & 1)
                row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (value & 0x0F));
            else
                row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
            break;
        case PixelFormat::Bits8:
            row[x] = uint8_t(value);
            break;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            row[2 * x] = uint8_t(value);
            row[2 * x + 1] = uint8_t(value >> 8);
            break;
        case PixelFormat::Bits24:
            row[3 * x] = uint8_t(value);
            row[3 * x + 1] = uint8_t(value >> 8);
            row[3 * x + 2] = uint8_t(value >> 16);
            break;
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            std::memcpy(row + 4 * x, &value, 4);
            break;
    }
}

// Sets pixels x0 .. x1 - 1 of a row to `value`.
void FillRowSpan(uint8_t* row, PixelFormat format, int x0, int x1, uint32_t value);

// The stored value that SetPixel gives `colour` in `bitmap` (nearest palette entry for
// palette formats).
uint32_t StoredValue(const Bitmap& bitmap, Rgb colour);

}  // namespace raster::detail
