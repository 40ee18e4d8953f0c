// Whole untimed runs of the show's Puzzle (30 x 30 pieces, random order) and Blocks (30 x 30
// cells, random order) at 1920 x 1080, headless, in frames per second; each frame's cost is
// set against one full-frame copy measured in the same run (frame_vs_copy), the work a
// block step must not do. Then both as the show plays them, paced (1500 and 1700 ms): steps drawn
// of the 900.
#include <benchmark/benchmark.h>

#include <chrono>

#include "BenchSupport.h"
#include "raster/Blit.h"
#include "transitions/BlockTransition.h"
#include "transitions/HeadlessControl.h"

namespace {

using bench::kHeight;
using bench::kWidth;
using bench::NewPicture;
using bench::OldPicture;

// The baseline: one copy of a whole 1920 x 1080 frame in the display's format.
void BM_FullFrameCopy(benchmark::State& state, raster::PixelFormat format) {
    raster::Bitmap source = NewPicture().ConvertTo(format);
    raster::Bitmap work(kWidth, kHeight, format);
    for (auto _ : state) {
        raster::CopyBlock(work, 0, 0, kWidth, kHeight, source, 0, 0);
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
        raster::CopyBlock(work, 0, 0, kWidth, kHeight, source, 0, 0);
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           kCopies;
}

// The show's settings of the two effects.
void SetUpShowEffect(transitions::BlockTransition& block, bool puzzle) {
    block.SetBlockHeight(0);
    block.SetBlockWidth(0);
    block.SetCols(30);
    block.SetRows(30);
    block.Puzzle = puzzle;
    block.Milliseconds = puzzle ? 1500 : 1700;
}

// Runs the effect headless from the old picture to the new one; answers the frames shown.
// Adds the seconds Execute took, and the seconds from the first frame to the last with the
// frames between them, which leave out the capture of the new picture and the set-up.
struct Timing {
    double execute = 0, loop = 0;
    int loopFrames = 0;
};
int RunHeadless(transitions::BlockTransition& block, Timing& timing) {
    using Clock = std::chrono::steady_clock;
    bench::HeadlessStage stage;
    transitions::HeadlessControl& control = stage.Control;
    Clock::time_point first, last;
    control.OnFrame = [&](const raster::Bitmap&, const core::Rect&) {
        last = Clock::now();
        if (control.FramesFlushed() == 1) first = last;
    };
    stage.Prepare(block);
    auto start = Clock::now();
    block.Execute();
    timing.execute += std::chrono::duration<double>(Clock::now() - start).count();
    block.Unprepare();
    timing.loop += std::chrono::duration<double>(last - first).count();
    timing.loopFrames += control.FramesFlushed() - 1;
    return control.FramesFlushed();
}

// Whole untimed runs: every step drawn and put on the (headless) window.
void BM_Untimed(benchmark::State& state, bool puzzle, raster::PixelFormat format) {
    transitions::SetDisplayPixelFormat(format);
    transitions::BlockTransition block;
    SetUpShowEffect(block, puzzle);
    block.Milliseconds = 0;
    int frames = 0;
    Timing timing;
    for (auto _ : state) frames += RunHeadless(block, timing);
    state.counters["frames"] = double(frames) / double(state.iterations());
    // Frames per second of the step loop, and what one of its frames costs in full-frame
    // copies; run_fps counts the whole of Execute.
    const double frameSeconds = timing.loop / timing.loopFrames;
    state.counters["fps"] = 1 / frameSeconds;
    state.counters["frame_vs_copy"] = frameSeconds / FullFrameCopySeconds(format);
    state.counters["run_fps"] = frames / timing.execute;
}

// As the show plays them: paced to Milliseconds, skipping steps when frames cost too much.
void BM_Paced(benchmark::State& state, bool puzzle) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    transitions::BlockTransition block;
    SetUpShowEffect(block, puzzle);
    int frames = 0, steps = 0;
    Timing timing;
    for (auto _ : state) {
        frames += RunHeadless(block, timing);
        steps += block.StepsDrawn();
    }
    state.counters["steps"] = double(steps) / double(state.iterations());
    state.counters["fps"] = frames / timing.execute;
    state.counters["run_ms"] = timing.execute * 1000 / double(state.iterations());
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
