// Full-frame raster operations on a 1920 x 1080 32-bit picture against memcpy of the same
// bytes (and plain word loops for AND and the pattern operation), all measured in one
// run; compare the times as ratios.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/Blit.h"
#include "raster/Stretch.h"

namespace {

using raster::Bitmap;
using raster::PixelFormat;
using raster::Rop;

constexpr int kWidth = 1920, kHeight = 1080;

Bitmap Frame(uint8_t seed) {
    Bitmap b(kWidth, kHeight, PixelFormat::Bits32);
    for (size_t i = 0; i < b.SizeBytes(); ++i) b.Bits()[i] = uint8_t(i * 131 + seed);
    return b;
}

// The blend's dither brush half way: every other cell black.
Bitmap HalfBrush() {
    Bitmap brush(8, 8, PixelFormat::Bits1);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) brush.SetIndex(x, y, (x + y) & 1);
    return brush;
}

void Bytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

void BM_Memcpy(benchmark::State& state) {
    Bitmap dst = Frame(1), src = Frame(2);
    for (auto _ : state) {
        std::memcpy(dst.Bits(), src.Bits(), dst.SizeBytes());
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

void BM_WordLoopAnd(benchmark::State& state) {
    std::vector<uint32_t> dst(size_t(kWidth) * kHeight, 0xFFFFFFFF), src(dst.size(), 0xFFFFFFFE);
    for (auto _ : state) {
        uint32_t* __restrict d = dst.data();
        const uint32_t* __restrict s = src.data();
        for (size_t i = 0; i < dst.size(); ++i) d[i] &= s[i];
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

// The pattern operation as a plain word loop over whole rows, the brush pre-expanded
// into eight rows of words.
void BM_WordLoopPattern(benchmark::State& state) {
    std::vector<uint32_t> dst(size_t(kWidth) * kHeight, 0x01020304), src(dst.size(), 0x0A0B0C0D);
    std::vector<uint32_t> brush(size_t(kWidth) * 8);
    for (size_t i = 0; i < brush.size(); ++i) brush[i] = ((i + i / kWidth) & 1) ? 0x00FFFFFF : 0;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) {
            uint32_t* __restrict d = dst.data() + size_t(y) * kWidth;
            const uint32_t* __restrict s = src.data() + size_t(y) * kWidth;
            const uint32_t* __restrict p = brush.data() + size_t(y & 7) * kWidth;
            for (int i = 0; i < kWidth; ++i) d[i] = s[i] ^ (p[i] & (d[i] ^ s[i]));
        }
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

void BM_BlitRop(benchmark::State& state, Rop rop) {
    Bitmap dst = Frame(1), src = Frame(2), brush = HalfBrush();
    for (auto _ : state) {
        raster::Blit(dst, 0, 0, kWidth, kHeight, src, 0, 0, rop, brush);
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

// The wipe's band step: a 1-bit mask ANDed into a colour picture, here over a full frame.
void BM_BlitMaskAnd(benchmark::State& state) {
    Bitmap dst = Frame(1), mask(kWidth, kHeight, PixelFormat::Bits1);
    for (size_t i = 0; i < mask.SizeBytes(); ++i) mask.Bits()[i] = uint8_t(i * 37);
    for (auto _ : state) {
        raster::Blit(dst, 0, 0, kWidth, kHeight, mask, 0, 0, Rop::SrcAnd);
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

// The drip's fill: one column stretched over the whole frame.
void BM_StretchColumn(benchmark::State& state) {
    Bitmap dst = Frame(1), src = Frame(2);
    for (auto _ : state) {
        raster::StretchBlt(dst, 0, 0, kWidth, kHeight, src, 700, 0, 1, kHeight);
        benchmark::ClobberMemory();
    }
    Bytes(state);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordLoopAnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordLoopPattern)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlitRop, Copy, Rop::SrcCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlitRop, And, Rop::SrcAnd)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlitRop, Or, Rop::SrcPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlitRop, AndNot, Rop::DstAndNotSrc)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BlitRop, Pattern, Rop::PatternSelect)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitMaskAnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StretchColumn)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
