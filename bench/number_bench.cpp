// Bus value conversions on varied values: 256 different values per width (fixed seed), each
// converted from the two forms a value comes in, and by GMP for comparison:
//   text      a QString of bit symbols, as typed values and tests hold them;
//   bus       one sample of the bus rows that the waveform fills from a log through the
//             document model (whole rows of one byte per sample, one row per member, 4096
//             samples deep), read in sample order;
//   bus_read  only the reads of the sample's byte from every row: the least a bus conversion
//             costs, to tell memory from conversion work;
//   packed    one sample of the values the waveform really converts: the view's summary of the
//             log packs a bus's member rows sample by sample (64 x 64 bit blocks transposed)
//             once per log, and the band texts are converted from that copy;
//   packing   what building that copy costs, per sample of the log (paid once per log and bus),
//             also printed beside the packed figure as packed + packing per sample;
//   gmp       mpz_get_str / mpz_set_str on the same values;
//   text_parse typed decimal, hexadecimal and octal text back to bit symbols, as the value
//             editors read it, against mpz_set_str of the same digits.
// Printing is what the user waits for in a view: "packed / gmp" in the table at the end times
// the waveform's conversion of a bus sample against mpz_get_str in binary, decimal,
// hexadecimal and octal (target: octal at most 1.5x).
// Every benchmark cycles through the whole set and is repeated; the aggregates are min, median
// and max over the repetitions. The counters v_fastest / v_median / v_slowest give the spread
// over the values: each value timed alone (less the clock's own cost), fastest of five passes.
// The table at the end gives the time ratios of this run (of the mins, medians and maxes).
#include "host/standin/sdr_control.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_wave_summary.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>
#include "sedq/model/sedq_repository.h"

namespace
{
std::atomic<long> g_allocations{0};

constexpr int VALUES = 256;
// The values sit every SPACING samples of the log, so the waveform's walk reads several
// values from one cache line of each row, as a zoomed-out view does.
constexpr int SPACING = 16;
constexpr int DEPTH = VALUES * SPACING;
constexpr int REPETITIONS = 5;

SDR_DATA_GROUP_DISPLAY_TYPE radix_of(int64_t radix)
{
    return static_cast<SDR_DATA_GROUP_DISPLAY_TYPE>(radix);
}

struct value_set
{
    std::vector<std::string> channels; // per member row: '0'/'1' per sample of the log
    QString bits[VALUES];              // the value at sample k * SPACING, row 0 first
    QString decimal[VALUES], hex[VALUES], octal[VALUES];
    std::string decimal_text[VALUES], hex_text[VALUES], octal_text[VALUES];
    mpz_t gmp[VALUES];
};

value_set& values(int width)
{
    static std::map<int, std::unique_ptr<value_set>> sets;
    std::unique_ptr<value_set>& set = sets[width];
    if (set)
        return *set;
    set = std::make_unique<value_set>();
    std::mt19937_64 random{uint64_t(width) * 7919};
    set->channels.assign(size_t(width), std::string(size_t(DEPTH), '0'));
    for (std::string& row : set->channels)
        for (char& bit : row)
            bit = random() & 1 ? '1' : '0';
    std::vector<char> text(size_t(width) + 2);
    for (int k = 0; k < VALUES; ++k)
    {
        std::string bits(size_t(width), '0');
        for (int row = 0; row < width; ++row)
            bits[size_t(row)] = set->channels[size_t(row)][size_t(k * SPACING)];
        mpz_init_set_str(set->gmp[k], bits.c_str(), 2);
        set->decimal_text[k] = mpz_get_str(text.data(), 10, set->gmp[k]);
        set->hex_text[k] = mpz_get_str(text.data(), 16, set->gmp[k]);
        set->octal_text[k] = mpz_get_str(text.data(), 8, set->gmp[k]);
        set->bits[k] = QString::fromStdString(bits);
        set->decimal[k] = QString::fromStdString(set->decimal_text[k]);
        set->hex[k] = QString::fromStdString(set->hex_text[k]);
        set->octal[k] = QString::fromStdString(set->octal_text[k]);
    }
    return *set;
}

// A document of `width` data nodes with one log holding the set's channels.
class bus_document
{
public:
    explicit bus_document(int width) : m_manager(nullptr)
    {
        if (!m_manager.new_document(m_dir.filePath("bench.vtl").toUtf8().constData()))
            return;
        SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::session(&m_manager)->get_trigger_at(0, false);
        SDR_DATA_TRIGGER* data = trigger ? trigger->get_data_trigger() : nullptr;
        for (int row = 0; row < width; ++row)
            standin::sdr::add_node(data, {"top|bus[" + std::to_string(row) + "]"});
        standin::sdr::log_spec log;
        log.depth = DEPTH;
        log.channels = values(width).channels;
        standin::sdr::make_log(data, log);
        m_manager.refresh_tx_cache();
    }

    // Fills the shared bus rows the way the waveform does: one whole row per member.
    bool fill(SEDQ_BUS const& bus)
    {
        if (!bus.is_valid())
            return false;
        for (int row = 0; row < bus.get_nitems(); ++row)
            if (!m_manager.get_wave(row, bus.get_row(row), -1, false, -1))
                return false;
        return true;
    }

    // The bus's values as the waveform's summary packs them (member 0 most significant);
    // `rebuild` drops the summary first. Null when the log cannot be read.
    const SEDQ_PACKED_BUS* packed(int width, bool rebuild)
    {
        if (rebuild)
            m_summary.clear();
        std::vector<int> members(static_cast<size_t>(width), 0);
        for (int row = 0; row < width; ++row)
            members[size_t(row)] = row;
        const SEDQ_WAVE_SUMMARY::BUS_ROWS* rows = m_summary.get_bus(&m_manager, width, members, false);
        return rows != nullptr ? &rows->values : nullptr;
    }

private:
    QTemporaryDir m_dir;
    SEDQ_TX_MANAGER m_manager;
    SEDQ_WAVE_SUMMARY m_summary;
};

// The shared bus storage holds one layout at a time; it is refilled when another width was
// read into it since.
std::map<int, std::unique_ptr<bus_document>>& documents()
{
    static std::map<int, std::unique_ptr<bus_document>> by_width;
    return by_width;
}

bus_document& document_of(int width)
{
    std::unique_ptr<bus_document>& document = documents()[width];
    if (!document)
        document = std::make_unique<bus_document>(width);
    return *document;
}

SEDQ_BUS load_bus(benchmark::State& state, int width)
{
    static int loaded = 0;
    bus_document& document = document_of(width);
    SEDQ_BUS bus(width, DEPTH);
    if (loaded == width)
        return bus;
    if (document.fill(bus))
        loaded = width;
    else
        state.SkipWithError("the log could not be read into the bus");
    return bus;
}

// Heap allocations per iteration, counted over the timed loop.
class allocation_counter
{
public:
    explicit allocation_counter(benchmark::State& state) : m_state(state), m_start(g_allocations.load()) {}
    ~allocation_counter()
    {
        double per_iteration =
            double(g_allocations.load() - m_start) / double(std::max<int64_t>(m_state.iterations(), 1));
        m_state.counters["allocs"] = per_iteration;
    }

private:
    benchmark::State& m_state;
    long m_start;
};

// Times each value alone, five passes in set order; reports the fastest time of each value
// as min / median / max over the set.
template <typename CONVERT> void value_spread(benchmark::State& state, CONVERT convert)
{
    using clock = std::chrono::steady_clock;
    double clock_cost = 1e9;
    for (int i = 0; i < 1000; ++i)
    {
        clock::time_point start = clock::now();
        clock_cost =
            std::min(clock_cost, std::chrono::duration<double, std::nano>(clock::now() - start).count());
    }
    std::vector<double> fastest(VALUES, 1e18);
    for (int pass = 0; pass < 5; ++pass)
        for (int k = 0; k < VALUES; ++k)
        {
            clock::time_point start = clock::now();
            benchmark::DoNotOptimize(convert(k));
            double ns = std::chrono::duration<double, std::nano>(clock::now() - start).count() - clock_cost;
            fastest[size_t(k)] = std::min(fastest[size_t(k)], std::max(ns, 0.0));
        }
    std::sort(fastest.begin(), fastest.end());
    state.counters["v_fastest"] = fastest.front();
    state.counters["v_median"] = fastest[VALUES / 2];
    state.counters["v_slowest"] = fastest.back();
}

// Runs `convert` on value 0, 1, ... 255, 0, ... for the timed loop, then the spread.
template <typename CONVERT> void over_the_set(benchmark::State& state, CONVERT convert)
{
    {
        allocation_counter count(state);
        int k = 0;
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(convert(k));
            k = k + 1 == VALUES ? 0 : k + 1;
        }
    }
    value_spread(state, convert);
}

// Arguments: radix, width.
void text(benchmark::State& state)
{
    value_set& set = values(int(state.range(1)));
    SDR_DATA_GROUP_DISPLAY_TYPE radix = radix_of(state.range(0));
    over_the_set(state, [&](int k) { return SEDQ_NUMBER(set.bits[k]).get_display_string(radix, 0, false); });
}

void bus(benchmark::State& state)
{
    int width = int(state.range(1));
    SEDQ_BUS rows = load_bus(state, width);
    SDR_DATA_GROUP_DISPLAY_TYPE radix = radix_of(state.range(0));
    over_the_set(state,
                 [&](int k) { return SEDQ_NUMBER(rows, k * SPACING).get_display_string(radix, 0, false); });
}

// The path of the waveform's band texts: a sample of the summary's packed copy.
void packed(benchmark::State& state)
{
    int width = int(state.range(1));
    const SEDQ_PACKED_BUS* values = document_of(width).packed(width, false);
    if (values == nullptr)
    {
        state.SkipWithError("the log could not be packed");
        return;
    }
    SDR_DATA_GROUP_DISPLAY_TYPE radix = radix_of(state.range(0));
    over_the_set(state,
                 [&](int k) { return SEDQ_NUMBER(*values, k * SPACING).get_display_string(radix, 0, false); });
}

// Building the packed copy of the whole log (DEPTH samples); the counter gives it per sample.
void packing(benchmark::State& state)
{
    int width = int(state.range(1));
    bus_document& document = document_of(width);
    for (auto _ : state)
        if (document.packed(width, true) == nullptr)
            state.SkipWithError("the log could not be packed");
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(state.iterations()) * DEPTH, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The least any conversion of a bus sample does: read the sample's byte from every row. The
// rest of a bus conversion is the same work as for the text form.
void bus_read(benchmark::State& state)
{
    int width = int(state.range(1));
    SEDQ_BUS rows = load_bus(state, width);
    bool* const* data = rows.get_data();
    over_the_set(state,
                 [&](int k)
                 {
                     unsigned sum = 0;
                     for (int row = 0; row < width; ++row)
                         sum += reinterpret_cast<unsigned char const*>(data[row])[k * SPACING];
                     return sum;
                 });
}

int gmp_base(int64_t radix)
{
    return radix == 1 ? 2 : radix == 5 ? 16 : radix == 6 ? 8 : 10;
}

void gmp(benchmark::State& state)
{
    value_set& set = values(int(state.range(1)));
    std::vector<char> out(size_t(state.range(1)) + 2);
    int base = gmp_base(state.range(0));
    over_the_set(state, [&](int k) { return mpz_get_str(out.data(), base, set.gmp[k]); });
}

// Typed text back to bit symbols; argument 4 decimal, 5 hexadecimal, 6 octal.
void text_parse(benchmark::State& state)
{
    value_set& set = values(int(state.range(1)));
    const int64_t radix = state.range(0);
    over_the_set(state,
                 [&](int k) {
                     return radix == 4   ? SEDQ_NUMBER(set.decimal[k]).string_to_uint()
                            : radix == 6 ? SEDQ_NUMBER(set.octal[k]).string_to_octal()
                                         : SEDQ_NUMBER(set.hex[k]).string_to_hex();
                 });
}

void gmp_parse(benchmark::State& state)
{
    value_set& set = values(int(state.range(1)));
    const int64_t radix = state.range(0);
    const std::string* texts = radix == 4 ? set.decimal_text : radix == 6 ? set.octal_text : set.hex_text;
    const int base = gmp_base(radix);
    mpz_t value;
    mpz_init2(value, mp_bitcnt_t(state.range(1)) + 64);
    over_the_set(state, [&](int k) { return mpz_set_str(value, texts[k].c_str(), base); });
    mpz_clear(value);
}

double statistic_min(std::vector<double> const& v)
{
    return *std::min_element(v.begin(), v.end());
}
double statistic_max(std::vector<double> const& v)
{
    return *std::max_element(v.begin(), v.end());
}

// Every radix a bus shows: binary, two's complement, sign and magnitude, unsigned, hexadecimal,
// octal, ASCII, float (read as a double at these widths).
const int DISPLAY_RADIXES[] = {1, 2, 3, 4, 5, 6, 7, 14};
const int GMP_RADIXES[] = {1, 4, 5, 6};
// Typed values parsed: decimal, hexadecimal, octal.
const int PARSE_RADIXES[] = {4, 5, 6};
const int WIDTHS[] = {64, 256, 4096};

benchmark::internal::Benchmark* repeated(benchmark::internal::Benchmark* b)
{
    return b->Repetitions(REPETITIONS)
        ->ComputeStatistics("min", statistic_min)
        ->ComputeStatistics("max", statistic_max)
        ->ReportAggregatesOnly(true)
        ->MinTime(0.05);
}

void register_all()
{
    for (int width : WIDTHS)
    {
        for (int radix : DISPLAY_RADIXES)
        {
            repeated(benchmark::RegisterBenchmark("text", text)->Args({radix, width}));
            repeated(benchmark::RegisterBenchmark("bus", bus)->Args({radix, width}));
            repeated(benchmark::RegisterBenchmark("packed", packed)->Args({radix, width}));
        }
        repeated(benchmark::RegisterBenchmark("packing", packing)->Args({0, width}));
        repeated(benchmark::RegisterBenchmark("bus_read", bus_read)->Args({0, width}));
        for (int radix : GMP_RADIXES)
            repeated(benchmark::RegisterBenchmark("gmp", gmp)->Args({radix, width}));
        for (int radix : PARSE_RADIXES)
        {
            repeated(benchmark::RegisterBenchmark("text_parse", text_parse)->Args({radix, width}));
            repeated(benchmark::RegisterBenchmark("gmp_parse", gmp_parse)->Args({radix, width}));
        }
    }
}

// Keeps the console output and collects min, median and max of every benchmark for the table.
class ratio_reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown;
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && m_names.count(run.aggregate_name))
            {
                m_times[run.run_name.function_name + "/" + run.run_name.args][run.aggregate_name] =
                    run.GetAdjustedCPUTime();
                shown.push_back(run);
            }
        ConsoleReporter::ReportRuns(shown);
    }

    void print_ratios() const
    {
        std::printf("\ntime ratios of this run: min / median / max\n");
        for (int width : WIDTHS)
        {
            for (int radix : DISPLAY_RADIXES)
            {
                std::string args = "/" + std::to_string(radix) + "/" + std::to_string(width);
                print("bus / text", "bus" + args, "text" + args);
                print("packed / text", "packed" + args, "text" + args);
                print_packed_with_packing(args, "/0/" + std::to_string(width));
            }
            std::string w = "/" + std::to_string(width);
            print("read / text", "bus_read/0" + w, "text/5" + w);
            for (int radix : GMP_RADIXES)
            {
                std::string args = "/" + std::to_string(radix) + "/" + std::to_string(width);
                print("text / gmp", "text" + args, "gmp" + args);
                print("packed / gmp", "packed" + args, "gmp" + args);
            }
            for (int radix : PARSE_RADIXES)
            {
                std::string args = "/" + std::to_string(radix) + "/" + std::to_string(width);
                print("parse / gmp", "text_parse" + args, "gmp_parse" + args);
            }
        }
    }

private:
    // The packed figure with what building the packed copy costs per sample beside it: a new
    // log pays both before its first band text.
    void print_packed_with_packing(std::string const& args, std::string const& packing_args) const
    {
        auto packed = m_times.find("packed" + args), packing = m_times.find("packing" + packing_args),
             text = m_times.find("text" + args);
        if (packed == m_times.end() || packing == m_times.end() || text == m_times.end())
            return;
        char const* names[3] = {"min", "median", "max"};
        double per_sample[3], ratio[3];
        for (int i = 0; i < 3; ++i)
        {
            per_sample[i] = packing->second.count(names[i]) ? packing->second.at(names[i]) / DEPTH : 0;
            const double with_packing =
                (packed->second.count(names[i]) ? packed->second.at(names[i]) : 0) + per_sample[i];
            const double against = text->second.count(names[i]) ? text->second.at(names[i]) : 0;
            ratio[i] = against > 0 ? with_packing / against : 0;
        }
        std::printf("  %-12s %-22s %6.2f %6.2f %6.2f  (packing %.1f / %.1f / %.1f ns per sample)\n",
                    "packed+pack / text", ("packed" + args).c_str(), ratio[0], ratio[1], ratio[2], per_sample[0],
                    per_sample[1], per_sample[2]);
    }

    void print(char const* what, std::string const& mine, std::string const& theirs) const
    {
        auto a = m_times.find(mine), b = m_times.find(theirs);
        if (a == m_times.end() || b == m_times.end())
            return;
        double ratio[3];
        char const* names[3] = {"min", "median", "max"};
        for (int i = 0; i < 3; ++i)
        {
            auto x = a->second.find(names[i]), y = b->second.find(names[i]);
            ratio[i] =
                x != a->second.end() && y != b->second.end() && y->second > 0 ? x->second / y->second : 0;
        }
        std::printf("  %-12s %-22s %6.2f %6.2f %6.2f\n", what, mine.c_str(), ratio[0], ratio[1], ratio[2]);
    }

    std::set<std::string> const m_names{"min", "median", "max"};
    std::map<std::string, std::map<std::string, double>> m_times;
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
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    register_all();
    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    std::fflush(stdout);
    // The documents go before the application and the repository they live in.
    documents().clear();
    benchmark::Shutdown();
    return 0;
}
