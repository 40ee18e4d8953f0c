#include "transitions/MaskCompose.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace transitions {

namespace {

// Mask words and picture words are both taken in memory order; the bit arithmetic below
// assumes a little-endian machine, as every target of the program is.
static_assert(std::endian::native == std::endian::little);

// --- Byte-mask tables -----------------------------------------------------------------------

// For a group of `Pixels` pixels of `Bpp` bits that starts a picture word, entry n holds
// the bits of the `Words` picture words that belong to the pixels set in n, the most
// significant bit of n being the leftmost pixel. Pixels lie in memory order: the leftmost
// in the lowest byte, and in 4-bit data the leftmost of a byte in its high nibble.
template <int Bpp, int Pixels, int Words>
constexpr std::array<std::array<uint32_t, Words>, (1 << Pixels)> MakeGroupMasks() {
    std::array<std::array<uint32_t, Words>, (1 << Pixels)> table{};
    for (int n = 0; n < (1 << Pixels); ++n) {
        for (int p = 0; p < Pixels; ++p) {
            if (((n >> (Pixels - 1 - p)) & 1) == 0) continue;
            if constexpr (Bpp == 4) {
                const int shift = 8 * (p / 2) + (p % 2 == 0 ? 4 : 0);
                table[size_t(n)][0] |= 0xFu << shift;
            } else {
                for (int byte = p * Bpp / 8; byte < (p + 1) * Bpp / 8; ++byte)
                    table[size_t(n)][size_t(byte / 4)] |= 0xFFu << (8 * (byte % 4));
            }
        }
    }
    return table;
}

// 24 bits: a mask nibble (4 pixels) covers 3 picture words. Nibbles 0 and 15 never reach
// the table, so it holds the 14 rows for nibbles 1 to 14.
constexpr std::array<std::array<uint32_t, 3>, 14> MakeMasks24() {
    constexpr auto all = MakeGroupMasks<24, 4, 3>();
    std::array<std::array<uint32_t, 3>, 14> table{};
    for (size_t n = 1; n <= 14; ++n) table[n - 1] = all[n];
    return table;
}
constexpr auto kMasks24 = MakeMasks24();
// 16 and 15 bits: two mask bits per picture word (first pixel = low half).
constexpr auto kMasks16 = MakeGroupMasks<16, 2, 1>();
// 8 bits: one mask nibble per picture word.
constexpr auto kMasks8 = MakeGroupMasks<8, 4, 1>();
// 4 bits: one mask byte per picture word.
constexpr auto kMasks4 = MakeGroupMasks<4, 8, 1>();

static_assert(kMasks24[8 - 1][0] == 0x00FFFFFF && kMasks24[1 - 1][2] == 0xFFFFFF00);
static_assert(kMasks16[2][0] == 0x0000FFFF && kMasks16[1][0] == 0xFFFF0000);
static_assert(kMasks8[8][0] == 0x000000FF && kMasks8[1][0] == 0xFF000000);
static_assert(kMasks4[0x80][0] == 0x000000F0 && kMasks4[0x40][0] == 0x0000000F);

// --- Formats --------------------------------------------------------------------------------

// Each format composes the eight pixels of one partly set mask byte (neither 0 nor 255):
// `w`, `s` and `d` point at the work, source and new words those pixels occupy.

// 32 bits: bit k of the byte (from the most significant) selects word k.
struct Format32 {
    static constexpr int kBpp = 32;
    static void MergeByte(uint32_t* w, const uint32_t* s, const uint32_t* d, unsigned b) {
        for (int k = 0; k < 8; ++k) {
            const uint32_t m = 0u - ((b >> (7 - k)) & 1u);
            w[k] = (d[k] & m) | (s[k] & ~m);
        }
    }
};

// 24 bits: each nibble covers 3 words; 0 leaves them, 15 copies them whole, the rest go
// through the 14-row table.
template <bool InPlace>
struct Format24 {
    static constexpr int kBpp = 24;
    static void MergeByte(uint32_t* w, const uint32_t* s, const uint32_t* d, unsigned b) {
        for (int g = 0; g < 2; ++g, w += 3, s += 3, d += 3) {
            const unsigned v = g == 0 ? b >> 4 : b & 0xFu;
            if (v == 0) {
                if constexpr (!InPlace) std::memcpy(w, s, 3 * sizeof(uint32_t));
            } else if (v == 0xFu) {
                std::memcpy(w, d, 3 * sizeof(uint32_t));
            } else {
                const auto& m = kMasks24[v - 1];
                for (int k = 0; k < 3; ++k) w[k] = (d[k] & m[k]) | (s[k] & ~m[k]);
            }
        }
    }
};

// 16, 8 and 4 bits: each word of the byte's pixels takes its byte mask from the table,
// whose first and last entries are nothing and the whole word. No branches: partly set
// words are the edges of shapes, where the bits follow no pattern a branch could learn.
template <int Bpp, const auto& Table>
struct FormatWords {
    static constexpr int kBpp = Bpp;
    static constexpr int kPixelsPerWord = 32 / Bpp;
    static void MergeByte(uint32_t* w, const uint32_t* s, const uint32_t* d, unsigned b) {
        constexpr int kWords = 8 / kPixelsPerWord;
        constexpr unsigned kGroup = (1u << kPixelsPerWord) - 1;
        for (int k = 0; k < kWords; ++k) {
            const uint32_t m = Table[(b >> (8 - kPixelsPerWord * (k + 1))) & kGroup][0];
            w[k] = (d[k] & m) | (s[k] & ~m);
        }
    }
};
using Format16 = FormatWords<16, kMasks16>;
using Format8 = FormatWords<8, kMasks8>;
using Format4 = FormatWords<4, kMasks4>;

inline void CopyWords(uint32_t* to, const uint32_t* from, size_t words) {
    std::memcpy(to, from, words * sizeof(uint32_t));
}

// The end of the run of words equal to `m` (0 or all ones) that starts at `i`.
inline size_t RunEnd(const uint32_t* mask, size_t i, size_t n, uint32_t m) {
    // Eight words at a time first: sparse masks are mostly long empty runs.
    if (m == 0) {
        while (i + 8 <= n && (mask[i] | mask[i + 1] | mask[i + 2] | mask[i + 3] | mask[i + 4] |
                              mask[i + 5] | mask[i + 6] | mask[i + 7]) == 0)
            i += 8;
    } else {
        while (i + 8 <= n && (mask[i] & mask[i + 1] & mask[i + 2] & mask[i + 3] & mask[i + 4] &
                              mask[i + 5] & mask[i + 6] & mask[i + 7]) == ~0u)
            i += 8;
    }
    while (i < n && mask[i] == m) ++i;
    return i;
}

// A span of mask words and the picture words they cover. Runs of all-zero and all-one
// words are single block copies (or skipped, in place); a partly set word goes byte by
// byte, the lowest byte holding the leftmost eight pixels.
template <typename F, bool InPlace>
void ComposeRow(uint32_t* work, const uint32_t* src, const uint32_t* dst, const uint32_t* mask,
                size_t maskWords) {
    constexpr size_t kWordsPerMaskWord = F::kBpp;      // 32 pixels of kBpp bits
    constexpr size_t kWordsPerMaskByte = F::kBpp / 4;  // 8 pixels

    size_t i = 0;
    while (i < maskWords) {
        const uint32_t m = mask[i];
        if (m == 0 || m == ~0u) {
            const size_t end = RunEnd(mask, i + 1, maskWords, m);
            const size_t at = i * kWordsPerMaskWord;
            const size_t words = (end - i) * kWordsPerMaskWord;
            if (m != 0)
                CopyWords(work + at, dst + at, words);
            else if constexpr (!InPlace)
                CopyWords(work + at, src + at, words);
            i = end;
            continue;
        }
        uint32_t* w = work + i * kWordsPerMaskWord;
        const uint32_t* s = src + i * kWordsPerMaskWord;
        const uint32_t* d = dst + i * kWordsPerMaskWord;
        for (int byte = 0; byte < 4;
             ++byte, w += kWordsPerMaskByte, s += kWordsPerMaskByte, d += kWordsPerMaskByte) {
            const unsigned b = (m >> (8 * byte)) & 0xFFu;
            if (b == 0) {
                if constexpr (!InPlace) CopyWords(w, s, kWordsPerMaskByte);
            } else if (b == 0xFFu) {
                CopyWords(w, d, kWordsPerMaskByte);
            } else {
                F::MergeByte(w, s, d, b);
            }
        }
        ++i;
    }
}

using RowKernel = void (*)(uint32_t*, const uint32_t*, const uint32_t*, const uint32_t*, size_t);

template <bool InPlace>
RowKernel KernelFor(raster::PixelFormat format) {
    switch (format) {
        case raster::PixelFormat::Bits32:
            return &ComposeRow<Format32, InPlace>;
        case raster::PixelFormat::Bits24:
            return &ComposeRow<Format24<InPlace>, InPlace>;
        case raster::PixelFormat::Bits16:
        case raster::PixelFormat::Bits15:
            return &ComposeRow<Format16, InPlace>;
        case raster::PixelFormat::Bits8:
            return &ComposeRow<Format8, InPlace>;
        case raster::PixelFormat::Bits4:
            return &ComposeRow<Format4, InPlace>;
        case raster::PixelFormat::Bits1:
        case raster::PixelFormat::Device:
            return nullptr;  // nothing to compose
    }
    return nullptr;
}

RowKernel KernelFor(raster::PixelFormat format, bool inPlace) {
    return inPlace ? KernelFor<true>(format) : KernelFor<false>(format);
}

}  // namespace

void ComposeRowThroughMask(uint32_t* work, const uint32_t* src, const uint32_t* dst,
                           const uint32_t* mask, size_t maskWords, raster::PixelFormat format) {
    if (RowKernel kernel = KernelFor(format, work == src)) kernel(work, src, dst, mask, maskWords);
}

void ComposeThroughMask(raster::Bitmap& work, const raster::Bitmap& src, const raster::Bitmap& dst,
                        const raster::Bitmap& mask, int top, int bottom) {
    if (mask.Format() != raster::PixelFormat::Bits1 || mask.Width() % 32 != 0)
        throw std::invalid_argument("a composition mask is 1-bit and a multiple of 32 wide");
    if (work.Format() != src.Format() || work.Format() != dst.Format())
        throw std::invalid_argument("composed pictures differ in pixel format");
    if (&work == &dst) throw std::invalid_argument("the new picture cannot be the work bitmap");
    top = std::max(top, 0);
    bottom = std::min(bottom, mask.Height());
    if (top >= bottom) return;
    for (const raster::Bitmap* b : {static_cast<const raster::Bitmap*>(&work), &src, &dst})
        if (b->Width() < mask.Width() || b->Height() < bottom)
            throw std::invalid_argument("a composed picture is smaller than its mask");

    const bool inPlace = &work == &src;
    const RowKernel kernel = KernelFor(work.Format(), inPlace);
    if (!kernel) return;
    const size_t maskWords = size_t(mask.Width()) / 32;
    // Rows are 4-byte padded blocks of vector storage, so they are word-aligned.
    auto words = [](const raster::Bitmap& b, int y) {
        return reinterpret_cast<const uint32_t*>(b.Scanline(y));
    };
    auto wordsOf = [&](int y) { return reinterpret_cast<uint32_t*>(work.Scanline(y)); };
    // Pictures exactly as wide as the mask have no row padding: their rows, like the mask's,
    // follow each other without a gap, so the whole band is one span.
    const size_t pictureStride = maskWords * 4 * size_t(work.Bpp());
    if (work.Stride() == pictureStride && src.Stride() == pictureStride &&
        dst.Stride() == pictureStride) {
        kernel(wordsOf(top), words(src, top), words(dst, top), words(mask, top),
               maskWords * size_t(bottom - top));
        return;
    }
    for (int y = top; y < bottom; ++y)
        kernel(wordsOf(y), words(src, y), words(dst, y), words(mask, y), maskWords);
}

}  // namespace transitions
