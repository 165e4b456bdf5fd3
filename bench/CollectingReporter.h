// A console reporter that also keeps each case's time per iteration (in the benchmark's
// unit) by name, so a program can print ratios against a reference measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    // Which run stands for a case: its single run, or the fastest of its repetitions.
    enum class Keep { SingleRun, FastestRepetition };

    explicit CollectingReporter(Keep keep) : m_keep(keep) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (m_keep == Keep::SingleRun && run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            if (m_keep == Keep::FastestRepetition && run.run_type == Run::RT_Aggregate &&
                run.aggregate_name == "min")
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;

    // The "min" statistic of repeated runs, which Keep::FastestRepetition reads.
    static double Fastest(const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); }

private:
    Keep m_keep;
};
