// Whole untimed runs at 1920 x 1080 of the show's FastCircle (a disc growing from the
// centre, 1101 steps) and Clockwise (one blade from 12 o'clock, 6008 steps), headless on a
// 32-bit display, in frames per second. Each frame's cost is set against one full-frame copy
// measured in the same run: a masked effect that composes only the new ring or wedge should
// cost a fraction of it. Times are CPU times (the machine is shared, and wall time includes
// waiting for a core); fps_wall is the whole run's wall time. Then both as the show plays
// them, paced over 1700 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

#include "BenchSupport.h"
#include "raster/Blit.h"
#include "transitions/CircleTransition.h"
#include "transitions/HeadlessControl.h"
#include "transitions/RadialTransition.h"

namespace {

using bench::kHeight;
using bench::kWidth;
using bench::NewPicture;
using bench::OldPicture;

double CpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Per-frame CPU seconds of the whole runs, for the ratios printed at the end.
std::map<std::string, double>& FrameSeconds() {
    static std::map<std::string, double> seconds;
    return seconds;
}

// The baseline: one copy of a whole 1920 x 1080 x 32 frame.
void BM_FullFrameCopy(benchmark::State& state) {
    raster::Bitmap work(kWidth, kHeight, raster::PixelFormat::Bits32);
    const double start = CpuSeconds();
    for (auto _ : state) {
        raster::CopyBlock(work, 0, 0, kWidth, kHeight, NewPicture(), 0, 0);
        benchmark::ClobberMemory();
    }
    FrameSeconds()["BM_FullFrameCopy"] = (CpuSeconds() - start) / double(state.iterations());
}
BENCHMARK(BM_FullFrameCopy)->Unit(benchmark::kMicrosecond);

struct RunCost {
    int Frames = 0;
    double ExecuteCpu = 0;  // the frames alone
    double WholeCpu = 0;    // with Prepare's capture and Unprepare
    double WholeWall = 0;
};

// Runs an effect headless from the old picture to the new one.
RunCost RunHeadless(transitions::TransitionEffect& effect) {
    RunCost cost;
    const auto wallStart = std::chrono::steady_clock::now();
    const double start = CpuSeconds();
    bench::HeadlessStage stage;
    stage.Prepare(effect);
    const double executeStart = CpuSeconds();
    effect.Execute();
    cost.ExecuteCpu = CpuSeconds() - executeStart;
    effect.Unprepare();
    cost.WholeCpu = CpuSeconds() - start;
    cost.WholeWall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    cost.Frames = stage.Control.FramesFlushed();
    return cost;
}

// Whole untimed runs: every step drawn and put on the (headless) window. fps_cpu counts
// the frames against Execute's CPU time, fps_whole against the whole run's.
void WholeRun(benchmark::State& state, transitions::TransitionEffect& effect,
              const std::string& name) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    effect.Milliseconds = 0;
    RunCost sum;
    for (auto _ : state) {
        const RunCost cost = RunHeadless(effect);
        sum.Frames += cost.Frames;
        sum.ExecuteCpu += cost.ExecuteCpu;
        sum.WholeCpu += cost.WholeCpu;
        sum.WholeWall += cost.WholeWall;
    }
    state.counters["frames"] = double(sum.Frames) / double(state.iterations());
    state.counters["fps_cpu"] = sum.Frames / sum.ExecuteCpu;
    state.counters["fps_whole"] = sum.Frames / sum.WholeCpu;
    state.counters["fps_wall"] = sum.Frames / sum.WholeWall;
    FrameSeconds()[name] = sum.ExecuteCpu / sum.Frames;
}
void BM_FastCircleWhole(benchmark::State& state) {
    transitions::CircleTransition circle;
    WholeRun(state, circle, "BM_FastCircleWhole");
}
void BM_ClockwiseWhole(benchmark::State& state) {
    transitions::RadialTransition radial;
    WholeRun(state, radial, "BM_ClockwiseWhole");
}
BENCHMARK(BM_FastCircleWhole)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ClockwiseWhole)->Unit(benchmark::kMillisecond)->Iterations(3);

// As the show plays them: 1700 ms paced. run_ms is Execute alone, against 1700.
void Paced(benchmark::State& state, transitions::TransitionEffect& effect) {
    using Clock = std::chrono::steady_clock;
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    effect.Milliseconds = 1700;
    int frames = 0;
    double execute = 0;
    for (auto _ : state) {
        bench::HeadlessStage stage;
        stage.Prepare(effect);
        auto start = Clock::now();
        effect.Execute();
        execute += std::chrono::duration<double>(Clock::now() - start).count();
        effect.Unprepare();
        frames += stage.Control.FramesFlushed();
    }
    state.counters["fps"] = frames / execute;
    state.counters["run_ms"] = execute * 1000 / double(state.iterations());
}
void BM_FastCirclePaced1700(benchmark::State& state) {
    transitions::CircleTransition circle;
    Paced(state, circle);
}
void BM_ClockwisePaced1700(benchmark::State& state) {
    transitions::RadialTransition radial;
    Paced(state, radial);
}
BENCHMARK(BM_FastCirclePaced1700)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ClockwisePaced1700)->Unit(benchmark::kMillisecond)->Iterations(2);

void PrintRatio(const std::string& name) {
    const auto& s = FrameSeconds();
    auto a = s.find(name), b = s.find("BM_FullFrameCopy");
    if (a == s.end() || b == s.end()) return;
    std::printf("%s one frame / one full-frame copy = %.3f\n", name.c_str(), a->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintRatio("BM_FastCircleWhole");
    PrintRatio("BM_ClockwiseWhole");
    benchmark::Shutdown();
    return 0;
}
