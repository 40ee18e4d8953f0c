#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "codecs/BmpPicture.h"
#include "core/Error.h"

namespace codecs {

namespace {

using raster::Bitmap;
using raster::PixelFormat;

// Compression values of the info header.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x BITMAPCOREHEADER
constexpr uint32_t kOs2HeaderSize = 64;   // OS/2 2.x BITMAPINFOHEADER2

[[noreturn]] void Damaged(const char* what) {
    throw core::Error(core::Format("The bitmap file is damaged (%s).", std::string(what)));
}

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool IsContiguous(uint32_t mask) {
    if (mask == 0) return true;
    uint32_t bits = mask >> std::countr_zero(mask);
    return (bits & (bits + 1)) == 0;
}

// One colour channel of a masked pixel, brought to 8 bits. Wide channels keep their top
// eight bits; narrow ones repeat their bit pattern (abcde -> abcdeabc), as
// raster::Expand5 and Expand6 do, so zero stays 0 and the channel's maximum becomes 255.
class Channel {
public:
    explicit Channel(uint32_t mask) : m_mask(mask) {
        if (mask == 0) return;
        int low = std::countr_zero(mask);
        int bits = std::popcount(mask);
        int kept = std::min(bits, 8);
        m_shift = low + bits - kept;
        for (uint32_t v = 0; v < (1u << kept); ++v) {
            uint32_t out = 0;
            for (int s = 8 - kept; s > -kept; s -= kept) out |= s >= 0 ? v << s : v >> -s;
            m_table[v] = uint8_t(out);
        }
    }
    uint8_t operator()(uint32_t pixel) const { return m_table[(pixel & m_mask) >> m_shift]; }

private:
    uint32_t m_mask;
    int m_shift = 0;
    uint8_t m_table[256] = {};
};

template <int Bytes>
uint32_t LoadPixel(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8);
    if constexpr (Bytes > 2) v |= uint32_t(p[2]) << 16;
    if constexpr (Bytes > 3) v |= uint32_t(p[3]) << 24;
    return v;
}

template <int Bytes>
void ConvertRow_masked_to_x888(const uint8_t* src, uint8_t* dst, int width, const Channel& red,
                               const Channel& green, const Channel& blue) {
    for (int x = 0; x < width; ++x, src += Bytes, dst += 4) {
        uint32_t v = LoadPixel<Bytes>(src);
        dst[0] = blue(v);
        dst[1] = green(v);
        dst[2] = red(v);
        dst[3] = 0;
    }
}

void PutNibble(uint8_t* row, int x, uint8_t value) {
    uint8_t& b = row[x >> 1];
    b = (x & 1) ? uint8_t((b & 0xF0) | (value & 0x0F)) : uint8_t((b & 0x0F) | (value << 4));
}

// The parse of one file: its headers, then the decode into a bitmap.
struct BmpContext {
    const uint8_t* data = nullptr;
    size_t size = 0;
    uint64_t maxPixels = 0;

    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    size_t headersEnd = 0;  // after the info header and any masks that follow it
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kBiRgb;
    uint32_t coloursUsed = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[3] = {};  // red, green, blue
    PixelFormat format = PixelFormat::Bits24;
    bool masked = false;  // pixels go through the masks into 32 bits

    void ReadHeaders();
    void ReadMasks();
    void ChooseFormat();
    Bitmap Decode();
    void ReadPalette(Bitmap& bitmap) const;
    void DecodeUncompressed(Bitmap& bitmap) const;
    void DecodeRle(Bitmap& bitmap) const;
};

void BmpContext::ReadHeaders() {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') throw core::Error("This is not a BMP file.");
    if (size < kFileHeaderSize + 4) Damaged("truncated header");
    dataOffset = Le32(data + 10);
    headerSize = Le32(data + kFileHeaderSize);
    switch (headerSize) {
        case kCoreHeaderSize:
        case 40:  // BITMAPINFOHEADER
        case 52:  // with red, green and blue masks
        case 56:  // and an alpha mask
        case kOs2HeaderSize:
        case 108:  // BITMAPV4HEADER
        case 124:  // BITMAPV5HEADER
            break;
        default:
            if (headerSize < kCoreHeaderSize) Damaged("bad header size");
            throw core::Error(
                core::Format("Unsupported BMP header (%d bytes).", (long long)headerSize));
    }
    if (size - kFileHeaderSize < headerSize) Damaged("truncated header");
    const uint8_t* h = data + kFileHeaderSize;
    headersEnd = kFileHeaderSize + headerSize;

    if (headerSize == kCoreHeaderSize) {
        width = Le16(h + 4);
        height = Le16(h + 6);
        bpp = Le16(h + 10);
        paletteEntrySize = 3;  // RGBTRIPLE
    } else {
        int32_t w = int32_t(Le32(h + 4));
        int32_t hh = int32_t(Le32(h + 8));
        if (w <= 0 || hh == 0 || hh == INT32_MIN) Damaged("bad picture size");
        width = w;
        topDown = hh < 0;
        height = topDown ? -hh : hh;
        bpp = Le16(h + 14);
        compression = Le32(h + 16);
        coloursUsed = Le32(h + 32);
    }
    if (width == 0 || height == 0) Damaged("bad picture size");

    if (headerSize == kOs2HeaderSize && (compression == 3 || compression == 4))
        throw core::Error("OS/2 bitmaps with Huffman or RLE24 compression are not supported.");
    switch (compression) {
        case kBiRgb:
        case kBiRle8:
        case kBiRle4:
        case kBiBitfields:
            break;
        case kBiJpeg:
        case kBiPng:
            throw core::Error("BMP files holding JPEG or PNG data are not supported.");
        default:
            throw core::Error(
                core::Format("Unsupported BMP compression (%d).", (long long)compression));
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw core::Error(
            core::Format("Unsupported BMP colour depth (%d bits per pixel).", (long long)bpp));
    if ((compression == kBiRle8 && bpp != 8) || (compression == kBiRle4 && bpp != 4) ||
        (compression == kBiBitfields && bpp < 16))
        Damaged("compression does not match the colour depth");
    // RLE rows always run bottom-up; a negative height there is invalid.
    if ((compression == kBiRle8 || compression == kBiRle4) && topDown)
        Damaged("compressed bitmap stored top-down");

    if (compression == kBiBitfields) ReadMasks();

    if (dataOffset < headersEnd) Damaged("bad pixel data offset");
    if (dataOffset > size) Damaged("truncated pixel data");
    if (uint64_t(width) * uint64_t(height) > maxPixels)
        throw core::Error("The picture is too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels).");
    ChooseFormat();
}

void BmpContext::ReadMasks() {
    // V2 and later headers hold the masks; after a 40-byte header they follow it.
    const uint8_t* m = data + kFileHeaderSize + 40;
    if (headerSize == 40) {
        if (size - headersEnd < 12) Damaged("truncated header");
        headersEnd += 12;
    }
    for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
    if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
        // No masks at all: read as the default layout of the depth.
        if (bpp == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
    }
    for (uint32_t mask : masks)
        if (!IsContiguous(mask)) throw core::Error("Unsupported BMP colour masks.");
}

void BmpContext::ChooseFormat() {
    auto masksAre = [&](uint32_t r, uint32_t g, uint32_t b) {
        return masks[0] == r && masks[1] == g && masks[2] == b;
    };
    bool plain = compression != kBiBitfields;
    switch (bpp) {
        case 1:
            format = PixelFormat::Bits1;
            return;
        case 4:
            format = PixelFormat::Bits4;
            return;
        case 8:
            format = PixelFormat::Bits8;
            return;
        case 16:
            if (plain || masksAre(0x7C00, 0x03E0, 0x001F)) {
                format = PixelFormat::Bits15;
                return;
            }
            if (masksAre(0xF800, 0x07E0, 0x001F)) {
                format = PixelFormat::Bits16;
                return;
            }
            break;
        case 24:
            if (plain || masksAre(0xFF0000, 0x00FF00, 0x0000FF)) {
                format = PixelFormat::Bits24;
                return;
            }
            break;
        default:
            if (plain || masksAre(0xFF0000, 0x00FF00, 0x0000FF)) {
                format = PixelFormat::Bits32;
                return;
            }
            break;
    }
    format = PixelFormat::Bits32;
    masked = true;
}

Bitmap BmpContext::Decode() {
    bool rle = compression == kBiRle8 || compression == kBiRle4;
    size_t stride = size_t((uint64_t(width) * bpp + 31) / 32 * 4);
    size_t rowBytes = size_t((uint64_t(width) * bpp + 7) / 8);
    // Checked before allocating, so a short file cannot claim a huge bitmap. The last
    // row's padding may be missing; some writers leave it out.
    if (!rle && stride * (size_t(height) - 1) + rowBytes > size - dataOffset)
        Damaged("truncated pixel data");
    Bitmap bitmap(width, height, format);
    if (bpp <= 8) ReadPalette(bitmap);
    if (rle)
        DecodeRle(bitmap);
    else
        DecodeUncompressed(bitmap);
    return bitmap;
}

void BmpContext::ReadPalette(Bitmap& bitmap) const {
    size_t count = size_t(1) << bpp;
    if (coloursUsed != 0 && coloursUsed < count) count = coloursUsed;
    count = std::min(count, (dataOffset - headersEnd) / paletteEntrySize);
    std::vector<raster::Rgb>& palette = bitmap.Palette();
    std::fill(palette.begin(), palette.end(), 0);  // missing entries are black
    const uint8_t* p = data + headersEnd;
    for (size_t i = 0; i < count; ++i, p += paletteEntrySize)
        palette[i] = raster::MakeRgb(p[2], p[1], p[0]);
}

void BmpContext::DecodeUncompressed(Bitmap& bitmap) const {
    size_t stride = size_t((uint64_t(width) * bpp + 31) / 32 * 4);
    size_t rowBytes = size_t((uint64_t(width) * bpp + 7) / 8);
    int usedBits = int((uint64_t(width) * bpp) % 8);
    uint8_t lastByteMask = usedBits ? uint8_t(0xFF << (8 - usedBits)) : 0xFF;
    const uint8_t* src = data + dataOffset;
    Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int i = 0; i < height; ++i, src += stride) {
        uint8_t* dst = bitmap.Scanline(topDown ? i : height - 1 - i);
        if (!masked) {
            // The file's rows are the bitmap's rows: copy them, leaving the padding zero.
            std::memcpy(dst, src, rowBytes);
            dst[rowBytes - 1] &= lastByteMask;
            continue;
        }
        switch (bpp) {
            case 16:
                ConvertRow_masked_to_x888<2>(src, dst, width, red, green, blue);
                break;
            case 24:
                ConvertRow_masked_to_x888<3>(src, dst, width, red, green, blue);
                break;
            default:
                ConvertRow_masked_to_x888<4>(src, dst, width, red, green, blue);
                break;
        }
    }
}

// Windows' RLE4 and RLE8: pairs of (count, value) runs and escapes (0 = end of line,
// 1 = end of bitmap, 2 = delta, 3..255 = absolute run padded to a 16-bit boundary).
// Pixels no code writes keep index 0. Runs past the right edge are cut there; anything
// that would write above the top row, or a delta that leaves the bitmap, is an error.
void BmpContext::DecodeRle(Bitmap& bitmap) const {
    const bool rle4 = compression == kBiRle4;
    const uint8_t* p = data + dataOffset;
    const uint8_t* end = data + size;
    int x = 0;
    int y = 0;  // file row, counted from the bottom
    auto row = [&] {
        if (y >= height) Damaged("RLE data runs past the bitmap");
        return bitmap.Scanline(height - 1 - y);
    };
    for (;;) {
        if (end - p < 2) {
            // Some writers leave out the end-of-bitmap code after the last pixel.
            bool complete = y >= height || (y == height - 1 && x >= width);
            if (p == end && complete) return;
            Damaged("truncated pixel data");
        }
        const int count = p[0];
        const uint8_t value = p[1];
        p += 2;
        if (count > 0) {
            uint8_t* r = row();
            int n = std::min(count, width - x);
            if (rle4) {
                const uint8_t pair[2] = {uint8_t(value >> 4), uint8_t(value & 0x0F)};
                for (int i = 0; i < n; ++i) PutNibble(r, x + i, pair[i & 1]);
            } else if (n > 0) {
                std::memset(r + x, value, size_t(n));
            }
            x = std::min(x + count, width);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                y = std::min(y + 1, height);
                break;
            case 1:
                return;  // end of bitmap
            case 2:      // delta: right and up
                if (end - p < 2) Damaged("truncated pixel data");
                x += p[0];
                y += p[1];
                p += 2;
                if (x > width || y > height) Damaged("RLE data runs past the bitmap");
                break;
            default: {  // absolute run of `value` pixels
                const int n = value;
                const size_t bytes = rle4 ? size_t(n + 1) / 2 : size_t(n);
                if (size_t(end - p) < bytes) Damaged("truncated pixel data");
                uint8_t* r = row();
                const int kept = std::min(n, width - x);
                if (rle4) {
                    for (int i = 0; i < kept; ++i)
                        PutNibble(r, x + i, (i & 1) ? (p[i >> 1] & 0x0F) : (p[i >> 1] >> 4));
                } else if (kept > 0) {
                    std::memcpy(r + x, p, size_t(kept));
                }
                p += bytes;
                if ((bytes & 1) && p < end) ++p;
                x = std::min(x + n, width);
                break;
            }
        }
    }
}

}  // namespace

std::unique_ptr<BmpPicture> ReadBmp(std::string_view bytes, uint64_t maxPixels) {
    BmpContext context;
    context.data = reinterpret_cast<const uint8_t*>(bytes.data());
    context.size = bytes.size();
    context.maxPixels = std::min(maxPixels, Bitmap::kMaxPixels);
    context.ReadHeaders();
    return std::make_unique<BmpPicture>(context.Decode());
}

}  // namespace codecs
