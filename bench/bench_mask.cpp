// Composition through a one-bit mask at 1920 x 1080, per pixel format, against a plain
// copy (memcpy) of the same rows measured in the same run: a full mask (every bit set), a
// sparse one (1 % of the mask words non-zero, their bits random), and a mixed one (every
// word random, the slowest case), all in place as the masked effects compose. The ratios
// to the copy are printed at the end (CPU time, as the machine is shared; run with
// --benchmark_repetitions=5 to take medians).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CpuTimeReporter.h"
#include "transitions/MaskCompose.h"

namespace {

using bench::kHeight;
using bench::kWidth;

raster::PixelFormat FormatOf(int64_t bpp) {
    switch (bpp) {
        case 4:
            return raster::PixelFormat::Bits4;
        case 8:
            return raster::PixelFormat::Bits8;
        case 16:
            return raster::PixelFormat::Bits16;
        case 24:
            return raster::PixelFormat::Bits24;
        default:
            return raster::PixelFormat::Bits32;
    }
}

enum class MaskKind { Full, Sparse, Mixed };

raster::Bitmap MakeMask(MaskKind kind) {
    raster::Bitmap mask(kWidth, kHeight, raster::PixelFormat::Bits1);
    uint32_t* words = reinterpret_cast<uint32_t*>(mask.Bits());
    std::mt19937 random(99);
    for (size_t i = 0; i < mask.SizeBytes() / 4; ++i) {
        switch (kind) {
            case MaskKind::Full:
                words[i] = ~0u;
                break;
            case MaskKind::Sparse:
                words[i] = random() % 100 == 0 ? uint32_t(random()) | 1u : 0;
                break;
            case MaskKind::Mixed:
                words[i] = uint32_t(random());
                break;
        }
    }
    return mask;
}

// The baseline: the same rows copied whole from the new picture into the work bitmap.
void BM_Copy(benchmark::State& state) {
    const raster::PixelFormat format = FormatOf(state.range(0));
    raster::Bitmap work = bench::NoiseBytes(format, 1);
    const raster::Bitmap dst = bench::NoiseBytes(format, 2);
    for (auto _ : state) {
        std::memcpy(work.Bits(), dst.Bits(), work.SizeBytes());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(work.SizeBytes()));
}

void Compose(benchmark::State& state, MaskKind kind) {
    const raster::PixelFormat format = FormatOf(state.range(0));
    raster::Bitmap work = bench::NoiseBytes(format, 1);
    const raster::Bitmap dst = bench::NoiseBytes(format, 2);
    const raster::Bitmap mask = MakeMask(kind);
    for (auto _ : state) {
        transitions::ComposeThroughMask(work, work, dst, mask, 0, kHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(work.SizeBytes()));
}
void BM_ComposeFull(benchmark::State& state) {
    Compose(state, MaskKind::Full);
}
void BM_ComposeSparse(benchmark::State& state) {
    Compose(state, MaskKind::Sparse);
}
void BM_ComposeMixed(benchmark::State& state) {
    Compose(state, MaskKind::Mixed);
}

#define PER_FORMAT(bm) \
    BENCHMARK(bm)->Arg(32)->Arg(24)->Arg(16)->Arg(8)->Arg(4)->Unit(benchmark::kMicrosecond)
PER_FORMAT(BM_Copy);
PER_FORMAT(BM_ComposeFull);
PER_FORMAT(BM_ComposeSparse);
PER_FORMAT(BM_ComposeMixed);

// Composition time over a memcpy of the same rows, per format.
void PrintRatios(const bench::CpuTimeReporter& reporter) {
    std::printf("\nComposition time / memcpy of the same rows (1920 x 1080, in place):\n");
    std::printf("%6s %8s %8s %8s\n", "bpp", "full", "sparse", "mixed");
    for (const std::string bpp : {"32", "24", "16", "8", "4"}) {
        const std::string copy = "BM_Copy/" + bpp;
        if (!reporter.Times().count(copy)) continue;
        auto ratio = [&](const char* name) {
            return reporter.Ratio(std::string(name) + "/" + bpp, copy).value_or(0.0);
        };
        std::printf("%6s %8.2f %8.3f %8.2f\n", bpp.c_str(), ratio("BM_ComposeFull"),
                    ratio("BM_ComposeSparse"), ratio("BM_ComposeMixed"));
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
