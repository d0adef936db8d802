// Bus value conversions against GMP on the same values: decimal and hexadecimal, 64 and 4096
// bits, to text and back. Ends with the time ratios and the heap allocations per conversion.
#include "sedq/model/sedq_number.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
std::atomic<long> g_allocations{0};

struct value_set
{
    QString bits;    // bit symbols, most significant first
    QString decimal; // the same value typed in decimal
    QString hex;     // and in hexadecimal
    std::string decimal_text, hex_text;
    mpz_t gmp;
};

value_set& values(int width)
{
    static std::map<int, value_set*> sets;
    value_set*& set = sets[width];
    if (set)
        return *set;
    set = new value_set;
    std::mt19937_64 random{uint64_t(width)};
    std::string bits(size_t(width), '0');
    for (char& bit : bits)
        bit = random() & 1 ? '1' : '0';
    bits[0] = '1';
    mpz_init_set_str(set->gmp, bits.c_str(), 2);
    std::vector<char> text(size_t(width) + 2);
    set->decimal_text = mpz_get_str(text.data(), 10, set->gmp);
    set->hex_text = mpz_get_str(text.data(), 16, set->gmp);
    set->bits = QString::fromStdString(bits);
    set->decimal = QString::fromStdString(set->decimal_text);
    set->hex = QString::fromStdString(set->hex_text);
    return *set;
}

// Heap allocations per iteration, counted over the timed loop.
class allocation_counter
{
public:
    explicit allocation_counter(benchmark::State& state) : m_state(state), m_start(g_allocations.load()) {}
    ~allocation_counter()
    {
        double per_iteration = double(g_allocations.load() - m_start) / double(std::max<int64_t>(m_state.iterations(), 1));
        m_state.counters["allocs"] = per_iteration;
    }

private:
    benchmark::State& m_state;
    long m_start;
};

void sedq_to_decimal(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SEDQ_NUMBER(set.bits).uint_to_string());
}

void gmp_to_decimal(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    std::vector<char> out(size_t(state.range(0)) + 2);
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(mpz_get_str(out.data(), 10, set.gmp));
}

void sedq_to_hex(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SEDQ_NUMBER(set.bits).hex_to_string(false));
}

void gmp_to_hex(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    std::vector<char> out(size_t(state.range(0)) + 2);
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(mpz_get_str(out.data(), 16, set.gmp));
}

void sedq_from_decimal(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SEDQ_NUMBER(set.decimal).string_to_uint());
}

void gmp_from_decimal(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    mpz_t value;
    mpz_init2(value, mp_bitcnt_t(state.range(0)) + 64);
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(mpz_set_str(value, set.decimal_text.c_str(), 10));
    mpz_clear(value);
}

void sedq_from_hex(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SEDQ_NUMBER(set.hex).string_to_hex());
}

void gmp_from_hex(benchmark::State& state)
{
    value_set& set = values(int(state.range(0)));
    mpz_t value;
    mpz_init2(value, mp_bitcnt_t(state.range(0)) + 64);
    allocation_counter count(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(mpz_set_str(value, set.hex_text.c_str(), 16));
    mpz_clear(value);
}

BENCHMARK(sedq_to_decimal)->Arg(64)->Arg(4096);
BENCHMARK(gmp_to_decimal)->Arg(64)->Arg(4096);
BENCHMARK(sedq_to_hex)->Arg(64)->Arg(4096);
BENCHMARK(gmp_to_hex)->Arg(64)->Arg(4096);
BENCHMARK(sedq_from_decimal)->Arg(64)->Arg(4096);
BENCHMARK(gmp_from_decimal)->Arg(64)->Arg(4096);
BENCHMARK(sedq_from_hex)->Arg(64)->Arg(4096);
BENCHMARK(gmp_from_hex)->Arg(64)->Arg(4096);

// Keeps the console output and collects the times for the ratio table.
class ratio_reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median stands for the benchmark; a single run stands for itself.
        for (const Run& run : runs)
        {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                m_times[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
    }

    void print_ratios() const
    {
        std::printf("\nsedq / gmp time ratio\n");
        for (const char* kind : {"to_decimal", "to_hex", "from_decimal", "from_hex"})
            for (const char* width : {"64", "4096"})
            {
                std::string suffix = std::string(kind) + "/" + width;
                auto sedq = m_times.find("sedq_" + suffix), gmp = m_times.find("gmp_" + suffix);
                if (sedq != m_times.end() && gmp != m_times.end() && gmp->second > 0)
                    std::printf("  %-18s %6.2f\n", suffix.c_str(), sedq->second / gmp->second);
            }
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

// Every heap allocation of the process passes here: operator new, QString and GMP all end in
// malloc, so a conversion that allocates shows a non-zero "allocs" counter.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* malloc(size_t size)
{
    ++g_allocations;
    return __libc_malloc(size);
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
