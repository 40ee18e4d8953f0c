// Whole untimed runs of the show's Puzzle (30 x 30 pieces, random order) and Blocks (30 x 30
// cells, random order) at 1920 x 1080, headless, in frames per second; each frame's cost is
// set against one full-frame copy measured in the same run (frame_vs_copy), the work a
// block step must not do. Then both as the show plays them, paced (1500 and 1700 ms): steps drawn
// of the 900.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "transitions/HeadlessSurface.h"
#include "transitions/TBlockTransition.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

raster::Bitmap Noise(uint32_t seed) {
    raster::Bitmap b(kWidth, kHeight, raster::PixelFormat::Bits32);
    std::mt19937 random(seed);
    uint32_t* words = reinterpret_cast<uint32_t*>(b.Bits());
    for (size_t i = 0; i < b.SizeBytes() / 4; ++i) words[i] = random() & 0x00FFFFFF;
    return b;
}

const raster::Bitmap& OldPicture() {
    static const raster::Bitmap b = Noise(1);
    return b;
}
const raster::Bitmap& NewPicture() {
    static const raster::Bitmap b = Noise(2);
    return b;
}

// The baseline: one copy of a whole 1920 x 1080 frame in the display's format.
void BM_FullFrameCopy(benchmark::State& state, raster::PixelFormat format) {
    raster::Bitmap source = NewPicture().ConvertTo(format);
    raster::Bitmap work(kWidth, kHeight, format);
    for (auto _ : state) {
        transitions::CopyPixels(work, 0, 0, kWidth, kHeight, source, 0, 0);
        benchmark::ClobberMemory();
    }
}

// Seconds for one full-frame copy in `format`, measured here for the ratios.
double FullFrameCopySeconds(raster::PixelFormat format) {
    raster::Bitmap source = NewPicture().ConvertTo(format);
    raster::Bitmap work(kWidth, kHeight, format);
    constexpr int kCopies = 50;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCopies; ++i) {
        transitions::CopyPixels(work, 0, 0, kWidth, kHeight, source, 0, 0);
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           kCopies;
}

// The show's settings of the two effects.
void SetUpShowEffect(transitions::TBlockTransition& block, bool puzzle) {
    block.SetBlockHeight(0);
    block.SetBlockWidth(0);
    block.SetCols(30);
    block.SetRows(30);
    block.Puzzle = puzzle;
    block.Milliseconds = puzzle ? 1500 : 1700;
}

// Runs the effect headless from the old picture to the new one; answers the frames shown
// and adds the seconds Execute took.
int RunHeadless(transitions::TBlockTransition& block, double& seconds) {
    transitions::HeadlessControl control(kWidth, kHeight);
    control.Look = OldPicture();
    block.Prepare(control, {0, 0, kWidth, kHeight});
    control.Look = NewPicture();
    auto start = std::chrono::steady_clock::now();
    block.Execute();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    block.Unprepare();
    return control.FramesFlushed();
}

// Whole untimed runs: every step drawn and put on the (headless) window.
void BM_Untimed(benchmark::State& state, bool puzzle, raster::PixelFormat format) {
    transitions::SetDisplayPixelFormat(format);
    transitions::TBlockTransition block;
    SetUpShowEffect(block, puzzle);
    block.Milliseconds = 0;
    int frames = 0;
    double seconds = 0;
    for (auto _ : state) frames += RunHeadless(block, seconds);
    state.counters["frames"] = double(frames) / double(state.iterations());
    state.counters["fps"] = frames / seconds;
    // What one frame costs, in full-frame copies.
    state.counters["frame_vs_copy"] = seconds / frames / FullFrameCopySeconds(format);
}

// As the show plays them: paced to Milliseconds, skipping steps when frames cost too much.
void BM_Paced(benchmark::State& state, bool puzzle) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    transitions::TBlockTransition block;
    SetUpShowEffect(block, puzzle);
    int frames = 0, steps = 0;
    double seconds = 0;
    for (auto _ : state) {
        frames += RunHeadless(block, seconds);
        steps += block.StepsDrawn();
    }
    state.counters["steps"] = double(steps) / double(state.iterations());
    state.counters["fps"] = frames / seconds;
    state.counters["run_ms"] = seconds * 1000 / double(state.iterations());
}

using raster::PixelFormat;
BENCHMARK_CAPTURE(BM_FullFrameCopy, Bits32, PixelFormat::Bits32)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FullFrameCopy, Bits16, PixelFormat::Bits16)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Untimed, Puzzle_Bits32, true, PixelFormat::Bits32)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Untimed, Blocks_Bits32, false, PixelFormat::Bits32)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Untimed, Puzzle_Bits16, true, PixelFormat::Bits16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Untimed, Blocks_Bits16, false, PixelFormat::Bits16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Paced, Puzzle1500, true)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_Paced, Blocks1700, false)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
