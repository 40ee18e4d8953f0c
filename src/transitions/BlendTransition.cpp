#include "transitions/BlendTransition.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <string_view>
#include <utility>

#include "raster/Blit.h"

namespace transitions {

namespace {

// --- Word arithmetic -------------------------------------------------------------------

// One level's mix as a sum of terms: base S and/or D plus, for k = 1 to 6, a coefficient
// times S>>k and D>>k, where X>>k is X shifted right by k with only the bits that stay
// inside their colour field kept.
struct Formula {
    int8_t baseS = 0;
    int8_t baseD = 0;
    int8_t s[7] = {};
    int8_t d[7] = {};
};

// Reads a formula written as "S + D>>6 - S>>6", so the level table below reads like the
// arithmetic it stands for.
constexpr Formula ParseFormula(std::string_view text) {
    Formula f;
    int sign = 1;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i++];
        if (c == ' ') continue;
        if (c == '+' || c == '-') {
            sign = c == '+' ? 1 : -1;
            continue;
        }
        if (c != 'S' && c != 'D') throw "unexpected character in a blend formula";
        int k = 0;
        if (i + 2 < text.size() && text.substr(i, 2) == ">>") {
            k = text[i + 2] - '0';
            i += 3;
            if (k < 1 || k > 6) throw "blend shift out of range";
        }
        int8_t& coefficient =
            k == 0 ? (c == 'S' ? f.baseS : f.baseD) : (c == 'S' ? f.s[k] : f.d[k]);
        coefficient = int8_t(coefficient + sign);
    }
    return f;
}

// Levels 1 to 32; the new image weighs L/64. Levels 28 and 32 differ for the 16-bit
// formats, whose fields are too narrow for the plain halves.
constexpr std::string_view kLevelFormulas[33] = {
    "",
    "S + D>>6 - S>>6",
    "S + D>>5 - S>>5",
    "S + D>>6 + D>>5 - S>>6 - S>>5",
    "S + D>>4 - S>>4",
    "S + D>>6 + D>>4 - S>>6 - S>>4",
    "S + D>>5 + D>>4 - S>>5 - S>>4",
    "S + S>>6 + D>>3 - S>>3 - D>>6",
    "S + D>>3 - S>>3",
    "S + D>>3 + D>>6 - S>>3 - S>>6",
    "S + D>>5 + D>>3 - S>>5 - S>>3",
    "S + D>>3 + D>>5 + D>>6 - S>>3 - S>>5 - S>>6",
    "S + D>>4 + D>>3 - S>>4 - S>>3",
    "S + D>>3 + D>>4 + D>>6 - S>>3 - S>>4 - S>>6",
    "S + S>>5 + D>>2 - S>>2 - D>>5",
    "S + S>>6 + D>>2 - S>>2 - D>>6",
    "S + D>>2 - S>>2",
    "S + D>>2 + D>>6 - S>>2 - S>>6",
    "S + D>>2 + D>>5 - S>>2 - S>>5",
    "S + D>>2 + D>>5 + D>>6 - S>>2 - S>>5 - S>>6",
    "S + D>>4 + D>>2 - S>>4 - S>>2",
    "S + D>>2 + D>>4 + D>>6 - S>>2 - S>>4 - S>>6",
    "D + S>>1 + S>>3 + S>>5 - D>>1 - D>>3 - D>>5",
    "D + S>>1 + S>>3 + S>>6 - D>>1 - D>>3 - D>>6",
    "D + S>>3 + S>>1 - D>>1 - D>>3",
    "D + S>>1 + S>>3 + D>>6 - S>>6 - D>>1 - D>>3",
    "D + S>>1 + S>>4 + S>>5 - D>>1 - D>>4 - D>>5",
    "S>>1 + S>>4 + S>>6 + D>>1 - D>>4 - D>>6",
    "S>>1 + S>>4 + D>>1 - D>>4",
    "S>>1 + S>>5 + S>>6 + D>>1 - D>>5 - D>>6",
    "S>>1 + S>>5 + D>>1 - D>>5",
    "S>>1 + S>>6 + D>>1 - D>>6",
    "S>>1 + D>>1",
};
constexpr std::string_view kLevel28Words16 = "S + S>>4 + D>>1 - S>>1 - D>>4";
constexpr std::string_view kLevel32Words16 = "S + D>>1 - S>>1";

enum class MaskSet { Bytes, Rgb565, Rgb555 };

// Bits of each colour field that survive a shift right by k (index k; 0 unused).
constexpr uint32_t kMasks[3][7] = {
    {0, 0x7F7F7F7F, 0x3F3F3F3F, 0x1F1F1F1F, 0x0F0F0F0F, 0x07070707, 0x03030303},
    {0, 0x7BEF7BEF, 0x39E739E7, 0x18E318E3, 0x08610861, 0, 0},
    {0, 0x3DEF3DEF, 0x1CE71CE7, 0x0C630C63, 0x04210421, 0, 0},
};

// The formula of `level` (1 to 63): levels above 32 mirror 64 - level with the old and
// new words exchanged.
constexpr Formula LevelFormula(int level, MaskSet masks) {
    const int mirrored = level > 32 ? 64 - level : level;
    std::string_view text = kLevelFormulas[mirrored];
    if (masks != MaskSet::Bytes && mirrored == 28) text = kLevel28Words16;
    if (masks != MaskSet::Bytes && mirrored == 32) text = kLevel32Words16;
    Formula f = ParseFormula(text);
    if (level > 32) {
        std::swap(f.baseS, f.baseD);
        for (int k = 0; k < 7; ++k) std::swap(f.s[k], f.d[k]);
    }
    return f;
}

template <Formula F, MaskSet M, int K>
inline uint32_t ShiftedTerms(uint32_t s, uint32_t d) {
    constexpr uint32_t mask = kMasks[int(M)][K];
    uint32_t r = 0;
    if constexpr (F.s[K] != 0) r += uint32_t(F.s[K]) * ((s >> K) & mask);
    if constexpr (F.d[K] != 0) r += uint32_t(F.d[K]) * ((d >> K) & mask);
    return r;
}

template <Formula F, MaskSet M>
inline uint32_t MixWord(uint32_t s, uint32_t d) {
    // Unsigned arithmetic wraps, so the order of the terms does not matter.
    return uint32_t(F.baseS) * s + uint32_t(F.baseD) * d + ShiftedTerms<F, M, 1>(s, d) +
           ShiftedTerms<F, M, 2>(s, d) + ShiftedTerms<F, M, 3>(s, d) + ShiftedTerms<F, M, 4>(s, d) +
           ShiftedTerms<F, M, 5>(s, d) + ShiftedTerms<F, M, 6>(s, d);
}

// Wider vectors where the processor has them; the plain build only assumes SSE2.
#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define PICTAVO_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define PICTAVO_WIDE_VECTORS
#endif

// One level over a block of words: a plain loop with a select, which the compiler
// vectorises.
template <int Level, MaskSet M>
PICTAVO_WIDE_VECTORS void MixLevelWords(uint32_t* __restrict work, const uint32_t* __restrict src,
                                        const uint32_t* __restrict dst, size_t words) {
    constexpr Formula f = LevelFormula(Level, M);
    for (size_t i = 0; i < words; ++i) {
        const uint32_t s = src[i];
        const uint32_t d = dst[i];
        const uint32_t mixed = MixWord<f, M>(s, d);
        work[i] = s == d ? work[i] : mixed;
    }
}

using LevelKernel = void (*)(uint32_t*, const uint32_t*, const uint32_t*, size_t);

template <int Level, MaskSet M>
constexpr LevelKernel KernelFor() {
    // The 16-bit formats have masks for shifts up to 4 only, enough for their levels.
    if constexpr (M != MaskSet::Bytes && Level % 4 != 0) {
        return nullptr;
    } else {
        return &MixLevelWords<Level, M>;
    }
}

template <MaskSet M, size_t... I>
constexpr std::array<LevelKernel, 64> MakeKernels(std::index_sequence<I...>) {
    return {nullptr, KernelFor<int(I) + 1, M>()...};
}

// Level kernels chosen once per level, indexed [mask set][level].
constexpr std::array<std::array<LevelKernel, 64>, 3> kKernels = {
    MakeKernels<MaskSet::Bytes>(std::make_index_sequence<63>{}),
    MakeKernels<MaskSet::Rgb565>(std::make_index_sequence<63>{}),
    MakeKernels<MaskSet::Rgb555>(std::make_index_sequence<63>{}),
};

MaskSet MasksOf(raster::PixelFormat format) {
    switch (format) {
        case raster::PixelFormat::Bits15:
            return MaskSet::Rgb555;
        case raster::PixelFormat::Bits16:
            return MaskSet::Rgb565;
        default:
            return MaskSet::Bytes;
    }
}

// --- Dither ----------------------------------------------------------------------------

// The pattern cell (row, column) that turns to the new image at each level; entry n - 1
// is the cell numbered n.
constexpr std::array<std::pair<int, int>, 64> DitherCells() {
    constexpr int kOrder[8][8] = {
        {2, 34, 10, 42, 3, 35, 11, 43}, {54, 30, 62, 22, 55, 31, 63, 23},
        {14, 46, 6, 38, 15, 47, 7, 39}, {58, 18, 50, 26, 59, 19, 51, 27},
        {4, 36, 12, 44, 1, 33, 9, 41},  {56, 32, 64, 24, 53, 29, 61, 21},
        {16, 48, 8, 40, 13, 45, 5, 37}, {60, 20, 52, 28, 57, 17, 49, 25},
    };
    std::array<std::pair<int, int>, 64> cells{};
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            cells[size_t(kOrder[row][column] - 1)] = {row, column};
    return cells;
}
constexpr std::array<std::pair<int, int>, 64> kDitherCells = DitherCells();

}  // namespace

void ComposeBlendLevel(uint32_t* work, const uint32_t* src, const uint32_t* dst, size_t words,
                       int level, raster::PixelFormat format) {
    assert(level >= 1 && level <= 63);
    if (level < 1 || level > 63) return;
    const LevelKernel kernel = kKernels[size_t(MasksOf(format))][size_t(level)];
    assert(kernel && "15- and 16-bit blends use the levels that are multiples of 4");
    if (kernel) kernel(work, src, dst, words);
}

void ComposeBlendLevel(raster::Bitmap& work, const raster::Bitmap& src, const raster::Bitmap& dst,
                       int level) {
    assert(work.SizeBytes() == src.SizeBytes() && work.SizeBytes() == dst.SizeBytes());
    assert(work.Format() == src.Format() && work.Format() == dst.Format());
    // Rows are padded to 4 bytes, so every block is a whole number of words; vector
    // storage is aligned for them.
    const size_t bytes = std::min({work.SizeBytes(), src.SizeBytes(), dst.SizeBytes()});
    ComposeBlendLevel(
        reinterpret_cast<uint32_t*>(work.Bits()), reinterpret_cast<const uint32_t*>(src.Bits()),
        reinterpret_cast<const uint32_t*>(dst.Bits()), bytes / 4, level, work.Format());
}

// --- The effect ------------------------------------------------------------------------

BlendTransition::BlendTransition() = default;
BlendTransition::~BlendTransition() = default;

void BlendTransition::PrepareSteps(PassData& data, int& totalSteps) {
    const bool sixteenBit = data.PixelFormat == raster::PixelFormat::Bits15 ||
                            data.PixelFormat == raster::PixelFormat::Bits16;
    totalSteps = sixteenBit ? 16 : 64;
    if (!data.HighColour) {
        m_pattern = std::make_unique<raster::Bitmap>(8, 8, raster::PixelFormat::Bits1);
        m_pattern->Palette() = {0x000000, 0xFFFFFF};
        m_pattern->Fill(0xFFFFFF);
    }
    raster::Bitmap& work = data.DrawCanvas();
    // On palette displays the work bitmap is the old image itself: nothing to copy.
    if (&work != data.SrcImage) {
        // The whole block, padding included, so words where old and new agree already
        // hold their final value.
        if (work.SizeBytes() == data.SrcImage->SizeBytes() &&
            work.Format() == data.SrcImage->Format())
            std::copy(data.SrcImage->Bits(), data.SrcImage->Bits() + work.SizeBytes(), work.Bits());
        else
            raster::CopyBlock(work, 0, 0, data.Width, data.Height, *data.SrcImage, 0, 0);
    }
}

void BlendTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                 int previousStep) {
    TimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    const bool sixteenBit = data.PixelFormat == raster::PixelFormat::Bits15 ||
                            data.PixelFormat == raster::PixelFormat::Bits16;
    const int level = sixteenBit ? step * 4 : step;
    raster::Bitmap& work = data.DrawCanvas();
    if (m_pattern) {
        for (int n = 1; n <= level; ++n)
            m_pattern->SetIndex(kDitherCells[size_t(n - 1)].second,
                                kDitherCells[size_t(n - 1)].first, 0);
        // Where the brush bit is 0 the new image's pixel is taken, elsewhere the work
        // bitmap keeps its own; the brush tiles from the bitmap's origin.
        raster::Blit(work, 0, 0, data.Width, data.Height, *data.DstImage, 0, 0,
                     raster::Rop::PatternSelect, *m_pattern);
    } else {
        ComposeBlendLevel(work, *data.SrcImage, *data.DstImage, level);
    }
    m_dirtyRect = {0, 0, data.Width, data.Height};
}

void BlendTransition::FinishSteps(PassData&) {
    m_pattern.reset();
}

}  // namespace transitions
