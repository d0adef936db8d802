#pragma once
// What the editor's benchmarks share: a case that times itself (manual time), one iteration per
// repetition, reported as min / median / max over the repetitions.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Nanoseconds per item of the fastest of `rounds` runs of `run` over `items` items.
template <class RUN>
double sedq_best_ns_per_item(RUN run, int items, int rounds)
{
    long long best = -1;
    for (int r = 0; r < rounds; ++r)
    {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(run());
        const long long ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
        best = best < 0 ? ns : std::min(best, ns);
    }
    return double(best) / items;
}

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

// A console reporter that remembers the cases that could not be done (SkipWithError), so that
// the benchmark ends with a non-zero exit instead of a summary that leaves them out.
class sedq_failing_reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.error_occurred)
                m_failed.push_back(run.benchmark_name() + ": " + run.error_message);
    }

    // Prints the cases that failed; the exit code for main.
    int exit_code() const
    {
        for (const std::string& failure : m_failed)
            std::fprintf(stderr, "benchmark case failed: %s\n", failure.c_str());
        return m_failed.empty() ? 0 : 1;
    }

private:
    std::vector<std::string> m_failed;
};

// Keeps the min, median and max of one counter of every case and size (the case's argument),
// and prints each case at the larger size against the smaller one with the ratio of medians.
class sedq_ratio_reporter : public sedq_failing_reporter
{
public:
    sedq_ratio_reporter(std::string counter, std::string small, std::string large, double limit)
        : m_counter(std::move(counter)), m_small(std::move(small)), m_large(std::move(large)), m_limit(limit)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        sedq_failing_reporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const auto counter = run.counters.find(m_counter);
            if (run.run_type == Run::RT_Aggregate && counter != run.counters.end())
                m_values[run.run_name.function_name][run.run_name.args][run.aggregate_name] =
                    counter->second.value;
        }
    }

    // An aggregate ("min", "median", "max") of a case at a size; 0 when it did not run.
    double value(const std::string& name, const std::string& size, const char* aggregate) const
    {
        const auto by_name = m_values.find(name);
        if (by_name == m_values.end() || by_name->second.count(size) == 0)
            return 0.0;
        const auto& aggregates = by_name->second.at(size);
        return aggregates.count(aggregate) ? aggregates.at(aggregate) : 0.0;
    }

    // `only`: the one case the limit holds for (null: every case).
    void print_summary(const char* title, const char* only = nullptr) const
    {
        std::printf("\n%s, min / median / max, %s -> %s (within %.1fx)\n", title, m_small.c_str(),
                    m_large.c_str(), m_limit);
        for (const auto& entry : m_values)
        {
            const std::string& name = entry.first;
            if (only != nullptr && name != only)
                continue;
            if (value(name, m_small, "median") <= 0 || value(name, m_large, "median") <= 0)
                continue;
            const double ratio = value(name, m_large, "median") / value(name, m_small, "median");
            std::printf("  %-26s %8.2f / %8.2f / %8.2f -> %8.2f / %8.2f / %8.2f  ratio %5.2f %s\n",
                        name.c_str(), value(name, m_small, "min"), value(name, m_small, "median"),
                        value(name, m_small, "max"), value(name, m_large, "min"),
                        value(name, m_large, "median"), value(name, m_large, "max"), ratio,
                        ratio <= m_limit ? "" : "(over the limit)");
        }
    }

private:
    std::string m_counter;
    std::string m_small;
    std::string m_large;
    double m_limit;
    std::map<std::string, std::map<std::string, std::map<std::string, double>>> m_values;
};

// Runs the registered cases with the repetitions of all sizes interleaved: a shared machine's
// load shifts over seconds, and a ratio must compare the sizes under the same load. With
// `phases` (filters of case names), the cases of each phase run interleaved, one phase after
// the other, for cases that would disturb each other; a filter given on the command line runs
// instead.
inline void sedq_run_interleaved(int argc, char** argv, benchmark::BenchmarkReporter* reporter,
                                 std::vector<std::string> phases = {})
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--benchmark_filter", 0) == 0)
            phases.clear();
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (phases.empty())
        benchmark::RunSpecifiedBenchmarks(reporter);
    for (const std::string& phase : phases)
        benchmark::RunSpecifiedBenchmarks(reporter, phase);
}

// Keeps min, median and max of every counter of every case and argument.
class sedq_counter_reporter : public sedq_failing_reporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        sedq_failing_reporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate)
                for (const auto& counter : run.counters)
                    m_values[run.run_name.function_name + "/" + run.run_name.args + ":" + counter.first]
                            [run.aggregate_name] = counter.second.value;
    }

    double value(const std::string& key, const char* aggregate) const
    {
        const auto found = m_values.find(key);
        if (found == m_values.end() || found->second.count(aggregate) == 0)
            return 0.0;
        return found->second.at(aggregate);
    }

    // min / median / max of `key` (a case's "name/args:counter"), and the ratio of its median to
    // that of `base`.
    void print_ratio(const char* what, const std::string& key, const std::string& base, double limit) const
    {
        const double median = value(key, "median");
        const double against = value(base, "median");
        if (median <= 0 || against <= 0)
            return;
        std::printf("  %-34s %9.2f / %9.2f / %9.2f against %9.2f  ratio %6.2f %s\n", what, value(key, "min"), median,
                    value(key, "max"), against, median / against, median / against <= limit ? "" : "(over the limit)");
    }

    // min / median / max of `small` and of `large`, and the ratio of their medians.
    void print_growth(const char* what, const std::string& small, const std::string& large, double limit) const
    {
        const double from = value(small, "median");
        const double to = value(large, "median");
        if (from <= 0 || to <= 0)
            return;
        std::printf("  %-44s %9.2f / %9.2f / %9.2f -> %9.2f / %9.2f / %9.2f  ratio %6.2f %s\n", what,
                    value(small, "min"), from, value(small, "max"), value(large, "min"), to, value(large, "max"),
                    to / from, to / from <= limit ? "" : "(over the limit)");
    }

private:
    std::map<std::string, std::map<std::string, double>> m_values;
};
