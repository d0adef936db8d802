#pragma once
// What the editor's benchmarks share: a case that times itself (manual time), one iteration per
// repetition, reported as min / median / max over the repetitions.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline benchmark::internal::Benchmark* sedq_bench_repeated(benchmark::internal::Benchmark* b, int repetitions)
{
    b->UseManualTime()->Iterations(1)->Repetitions(repetitions)->ReportAggregatesOnly(true);
    b->ComputeStatistics("min",
                         [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics("max",
                         [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
    b->Unit(benchmark::kMicrosecond);
    return b;
}
