// Whole untimed wipes at 1920 x 1080 (down with its 50-pixel band, left with its band, a
// corner without one), headless, in frames per second; each frame's cost is set against one
// full-frame copy measured in the same run, the work a wipe must not do per step. Then a
// paced wipe with Milliseconds = 1700, whose actual duration is reported against 1700 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "raster/Blit.h"
#include "transitions/HeadlessControl.h"
#include "transitions/WipeTransition.h"

namespace {

using transitions::Direction;

using bench::kHeight;
using bench::kWidth;
using bench::NewPicture;
using bench::OldPicture;
using bench::RunHeadless;

// The baseline: one copy of a whole 1920 x 1080 x 32 frame.
void BM_FullFrameCopy(benchmark::State& state) {
    raster::Bitmap work(kWidth, kHeight, raster::PixelFormat::Bits32);
    for (auto _ : state) {
        raster::CopyBlock(work, 0, 0, kWidth, kHeight, NewPicture(), 0, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullFrameCopy)->Unit(benchmark::kMicrosecond);

// Whole untimed runs: every step drawn and put on the (headless) window.
void WholeRun(benchmark::State& state, Direction direction, int bandWidth) {
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    transitions::WipeTransition wipe;
    wipe.SetDirection(direction);
    wipe.SetBandWidth(bandWidth);
    RunHeadless(wipe);  // builds the band mask, kept between runs as in the show
    int frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        frames += RunHeadless(wipe);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["frames"] = double(frames) / double(state.iterations());
    state.counters["fps"] = frames / seconds;
}
void BM_WipeDownBand50(benchmark::State& state) {
    WholeRun(state, Direction::Down, 50);
}
void BM_WipeLeftBand50(benchmark::State& state) {
    WholeRun(state, Direction::Left, 50);
}
void BM_WipeDownRightCorner(benchmark::State& state) {
    WholeRun(state, Direction::DownRight, 0);
}
BENCHMARK(BM_WipeDownBand50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WipeLeftBand50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WipeDownRightCorner)->Unit(benchmark::kMillisecond)->Iterations(3);

// The show's WipeDown as it plays: 1700 ms paced over 1130 steps. run_ms is Execute alone
// (the pass Milliseconds paces), whole_ms adds Prepare's capture and Unprepare.
void BM_WipeDownPaced1700(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    transitions::SetDisplayPixelFormat(raster::PixelFormat::Bits32);
    transitions::WipeTransition wipe;
    wipe.SetDirection(Direction::Down);
    wipe.Milliseconds = 1700;
    int frames = 0;
    double execute = 0, whole = 0;
    for (auto _ : state) {
        bench::HeadlessStage stage;
        auto start = Clock::now();
        stage.Prepare(wipe);
        auto executeStart = Clock::now();
        wipe.Execute();
        auto executeEnd = Clock::now();
        wipe.Unprepare();
        execute += std::chrono::duration<double>(executeEnd - executeStart).count();
        whole += std::chrono::duration<double>(Clock::now() - start).count();
        frames += stage.Control.FramesFlushed();
    }
    state.counters["fps"] = frames / execute;
    state.counters["run_ms"] = execute * 1000 / double(state.iterations());
    state.counters["whole_ms"] = whole * 1000 / double(state.iterations());
}
BENCHMARK(BM_WipeDownPaced1700)->Unit(benchmark::kMillisecond)->Iterations(2);

// Prints as usual and keeps what the summary needs.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            Entry& e = m_entries[run.benchmark_name()];
            e.timeUs = run.GetAdjustedRealTime() *
                       (run.time_unit == benchmark::kMillisecond ? 1000.0 : 1.0);
            for (const char* name : {"fps", "frames", "run_ms", "whole_ms"}) {
                auto it = run.counters.find(name);
                if (it != run.counters.end()) e.counters[name] = it->second.value;
            }
        }
    }
    void PrintSummary() const {
        auto copy = m_entries.find("BM_FullFrameCopy");
        if (copy == m_entries.end()) return;
        const double copyUs = copy->second.timeUs;
        for (const auto& [name, e] : m_entries) {
            auto fps = e.counters.find("fps");
            auto frames = e.counters.find("frames");
            if (fps == e.counters.end() || frames == e.counters.end()) continue;
            const double frameUs = e.timeUs / frames->second;
            std::printf("%s: %.0f frames per second; a frame costs %.2f full-frame copies\n",
                        name.c_str(), fps->second, frameUs / copyUs);
        }
        auto paced = m_entries.find("BM_WipeDownPaced1700/iterations:2");
        if (paced != m_entries.end() && paced->second.counters.count("run_ms"))
            std::printf(
                "paced wipe down: Execute %.0f ms for Milliseconds = 1700 (%.3f), %.0f fps; "
                "with Prepare and Unprepare %.0f ms\n",
                paced->second.counters.at("run_ms"), paced->second.counters.at("run_ms") / 1700.0,
                paced->second.counters.at("fps"), paced->second.counters.at("whole_ms"));
    }

private:
    struct Entry {
        double timeUs = 0;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Entry> m_entries;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    OldPicture();  // made before timing starts
    NewPicture();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
