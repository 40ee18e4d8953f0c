#pragma once

// The console report of a benchmark program that also keeps each benchmark's CPU time per
// iteration, for ratios against a baseline measured in the same run (CPU time, because the
// machine is shared and wall time includes waiting for a core).

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace bench {

class CpuTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_times[name] = run.GetAdjustedCPUTime();
                m_medians.insert(name);
            } else if (run.run_type == Run::RT_Iteration && !m_medians.count(name)) {
                m_times[name] = run.GetAdjustedCPUTime();
            }
        }
    }

    // The CPU time of `name` over that of `baseline`; nothing when either did not run.
    std::optional<double> Ratio(const std::string& name, const std::string& baseline) const {
        auto a = m_times.find(name), b = m_times.find(baseline);
        if (a == m_times.end() || b == m_times.end()) return std::nullopt;
        return a->second / b->second;
    }

    const std::map<std::string, double>& Times() const { return m_times; }

private:
    std::map<std::string, double> m_times;
    std::set<std::string> m_medians;
};

}  // namespace bench
