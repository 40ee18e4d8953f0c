// The blend's word arithmetic against a plain pass that reads two buffers and writes a
// third of the same size (1920 x 1080 x 32), measured in the same run; a whole untimed
// blend and a paced drip down, both headless at 1920 x 1080. The blend's ratios to the
// plain pass and the drip's frames per second are printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "transitions/BlendTransition.h"
#include "transitions/DripTransition.h"
#include "transitions/HeadlessControl.h"

namespace {

using bench::kHeight;
using bench::kWidth;
using bench::NewPicture;
using bench::OldPicture;
using bench::RunHeadless;

// The floor the blend is measured against: one pass reading two blocks, writing a third.
void BM_PlainReadTwoWriteOne(benchmark::State& state) {
    raster::Bitmap work = OldPicture();
    const size_t n = work.SizeBytes() / 4;
    const uint32_t* s = reinterpret_cast<const uint32_t*>(OldPicture().Bits());
    const uint32_t* d = reinterpret_cast<const uint32_t*>(NewPicture().Bits());
    uint32_t* w = reinterpret_cast<uint32_t*>(work.Bits());
    for (auto _ : state) {
        for (size_t i = 0; i < n; ++i) w[i] = s[i] + d[i];
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(3 * work.SizeBytes()));
}
BENCHMARK(BM_PlainReadTwoWriteOne)->Unit(benchmark::kMicrosecond);

// One blend level; level 27 has the most terms of all.
void BM_BlendLevel(benchmark::State& state) {
    raster::Bitmap work = OldPicture();
    const int level = int(state.range(0));
    for (auto _ : state) {
        transitions::ComposeBlendLevel(work, OldPicture(), NewPicture(), level);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(3 * work.SizeBytes()));
}
BENCHMARK(BM_BlendLevel)->Arg(1)->Arg(27)->Arg(32)->Arg(63)->Unit(benchmark::kMicrosecond);

// The show's SlowAlpha: untimed, every level composed and copied to the window.
void BM_BlendWholeUntimedRun(benchmark::State& state) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    int frames = 0;
    for (auto _ : state) {
        transitions::BlendTransition blend;
        frames = RunHeadless(blend);
    }
    state.counters["frames"] = frames;
}
BENCHMARK(BM_BlendWholeUntimedRun)->Unit(benchmark::kMillisecond)->Iterations(3);

// The show's DripDown: 1700 ms paced over 1080 steps; frames per second actually drawn.
void BM_DripDownPaced(benchmark::State& state) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    int frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        transitions::DripTransition drip;
        drip.SetDirection(transitions::Direction::Down);
        drip.Milliseconds = 1700;
        auto start = std::chrono::steady_clock::now();
        frames += RunHeadless(drip);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["fps"] = frames / seconds;
    state.counters["run_ms"] = seconds * 1000 / double(state.iterations());
}
BENCHMARK(BM_DripDownPaced)->Unit(benchmark::kMillisecond)->Iterations(2);

// Prints as usual and keeps what the summary needs.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            m_times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            auto fps = run.counters.find("fps");
            if (fps != run.counters.end()) m_fps = fps->second.value;
        }
    }
    void PrintSummary() const {
        auto plain = m_times.find("BM_PlainReadTwoWriteOne");
        if (plain == m_times.end()) return;
        // CPU time too: on a shared machine the wall time also counts other programs.
        for (const auto& [name, time] : m_times)
            if (name.rfind("BM_BlendLevel", 0) == 0)
                std::printf("%s / plain pass: %.2f (real time), %.2f (CPU time)\n", name.c_str(),
                            time.first / plain->second.first, time.second / plain->second.second);
        if (m_fps > 0) std::printf("drip down, paced, 1920x1080: %.0f frames per second\n", m_fps);
    }

private:
    std::map<std::string, std::pair<double, double>> m_times;  // real, CPU per iteration
    double m_fps = 0;
};

// The plain pass and each blend level timed in alternation, keeping the fastest of many
// rounds: on a shared machine the minimum is what the code costs, the rest is other load.
void PrintPairedRatios() {
    raster::Bitmap work = OldPicture();
    const size_t n = work.SizeBytes() / 4;
    const uint32_t* s = reinterpret_cast<const uint32_t*>(OldPicture().Bits());
    const uint32_t* d = reinterpret_cast<const uint32_t*>(NewPicture().Bits());
    uint32_t* w = reinterpret_cast<uint32_t*>(work.Bits());
    auto seconds = [](auto&& pass) {
        auto start = std::chrono::steady_clock::now();
        pass();
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const int levels[] = {1, 27, 32, 63};
    double plainBest = 1e9, levelBest[4] = {1e9, 1e9, 1e9, 1e9};
    for (int round = 0; round < 40; ++round) {
        plainBest = std::min(plainBest, seconds([&] {
                                 for (size_t i = 0; i < n; ++i) w[i] = s[i] + d[i];
                             }));
        for (int k = 0; k < 4; ++k)
            levelBest[k] = std::min(levelBest[k], seconds([&] {
                                        transitions::ComposeBlendLevel(work, OldPicture(),
                                                                       NewPicture(), levels[k]);
                                    }));
    }
    std::printf("fastest of 40 alternating rounds: plain pass %.0f us\n", plainBest * 1e6);
    for (int k = 0; k < 4; ++k)
        std::printf("  blend level %d: %.0f us, %.2f x the plain pass\n", levels[k],
                    levelBest[k] * 1e6, levelBest[k] / plainBest);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    OldPicture();  // made before timing starts
    NewPicture();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    PrintPairedRatios();
    benchmark::Shutdown();
    return 0;
}
