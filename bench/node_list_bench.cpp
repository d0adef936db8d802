// Node lists at their largest, through the paths the editor takes: a bus from the node finder
// added and grouped as one edit (with the validity check that follows it), a bus added by its
// hierarchy name, the group queries of the node view over every row, and name look-ups in
// generated netlists of 10^4 and 10^6 names. Each case is timed 9 times on a fresh document;
// the counters give the time per row (or per look-up) as min / median / max, and the summary
// compares the medians of the large case with the small one (linear work keeps them within 1.5x;
// look-ups are set beside a standard hash set of the same names, which shows what the memory of
// a table that outgrows the caches costs at each size).
#include "bench_support.h"
#include "host/hdb.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/hdb_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"
#include "host/standin/standin.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int SAMPLES = 9;
constexpr int LOOKUPS = 200000;
constexpr int GROUP_WIDTH = 16;

// A design with one bus per width the benchmarks add, each in both netlists.
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {"pre": {"instances": [
      {"generate": "bus", "path": "top|small|d", "width": 256},
      {"generate": "bus", "path": "top|big|d", "width": 4096}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000"}}
})";

enum ENVIRONMENT
{
    NONE,
    DESIGN_LOADED,
    NETLISTS_GENERATED
};

ENVIRONMENT& environment()
{
    static ENVIRONMENT current = NONE;
    return current;
}

void use_design()
{
    if (environment() == DESIGN_LOADED)
        return;
    standin::reset_all();
    std::string error;
    if (!standin::project::load_json(DESIGN, QDir::tempPath().toStdString(), &error))
        std::fprintf(stderr, "node_list_bench: %s\n", error.c_str());
    environment() = DESIGN_LOADED;
}

// An editor window over a new document, as the user has it when the node finder inserts.
struct EDITOR
{
    EDITOR()
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        manager = frame->get_tx_manager();
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
    }

    QTemporaryDir dir;
    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
    SEDQ_TX_MANAGER* manager = nullptr;
};

// Drains the refreshes an edit queued, outside the timed part.
void settle()
{
    QCoreApplication::processEvents();
}

void report(benchmark::State& state, double nanoseconds, int count, const char* per)
{
    state.SetIterationTime(nanoseconds / 1e9);
    state.counters[per] = nanoseconds / count;
}

// Times one insertion of a bus of the benchmark's width into a fresh editor per iteration.
template <typename INSERT>
void time_bus_insertion(benchmark::State& state, INSERT insert)
{
    use_design();
    const int width = int(state.range(0));
    for (auto _ : state)
    {
        EDITOR editor;
        settle();
        QElapsedTimer timer;
        timer.start();
        insert(editor, width);
        const double elapsed = double(timer.nsecsElapsed());
        if (editor.manager->get_trigger_node_count(-1) != width + 1)
            state.SkipWithError("the bus was not added whole");
        report(state, elapsed, width, "ns_per_row");
        settle();
    }
}

// The node finder's selection of one bus, as the finder hands it over.
void finder_bus(benchmark::State& state)
{
    time_bus_insertion(state, [](EDITOR& editor, int width) {
        const QString bus = width == 256 ? QStringLiteral("top|small|d") : QStringLiteral("top|big|d");
        editor.manager->on_node_insert_to_view({AFCQ_INSTANCE_NAME(1, bus, 0x80002040, {width - 1, 0})});
    });
}

// A bus by its hierarchy name (the Tcl package's add-node entry): members sorted, then grouped.
void hierarchy_bus(benchmark::State& state)
{
    time_bus_insertion(state, [](EDITOR& editor, int width) {
        editor.manager->set_using_pre_synthesis_filter(true);
        editor.frame->add_node(width == 256 ? QStringLiteral("small|d") : QStringLiteral("big|d"));
    });
}

// The questions the node view asks of every row it lays out.
int ask_every_row(SEDQ_TX_MANAGER* manager, std::vector<int>* descendants)
{
    int answers = 0;
    const int rows = manager->get_node_count(-1);
    for (int row = 0; row < rows; ++row)
    {
        const int parent = manager->get_parent_index(row, 1);
        answers += manager->is_group_node(row) + manager->is_group_member(row) + manager->is_first_group_member(row) +
                   manager->is_last_group_member(row) + manager->is_descendant(parent, row) +
                   manager->is_any_parent_not_visible(row) + manager->get_last_child_index(row);
        if (manager->has_children(row))
        {
            descendants->clear();
            manager->get_all_descendants(row, descendants);
            answers += int(descendants->size());
        }
    }
    return answers;
}

void group_queries(benchmark::State& state)
{
    use_design();
    const int leaves = int(state.range(0));
    EDITOR editor;
    SDR_DATA_TRIGGER* trigger = SEDQ_REPOSITORY::trigger_nodes(editor.manager, -1)->get_data_trigger();
    for (int i = 0; i < leaves; ++i)
        standin::sdr::add_node(trigger, {"n" + std::to_string(i)});
    // Buses of 16 bits, every fourth one inside an outer bus with the next.
    for (int first = leaves - GROUP_WIDTH; first >= 0; first -= GROUP_WIDTH)
        standin::sdr::add_group(trigger, first, first + GROUP_WIDTH - 1, "bus" + std::to_string(first));
    // From the last, so the rows of the buses before stay where they are.
    for (int bus = (leaves / GROUP_WIDTH - 2) / 4 * 4; bus >= 0; bus -= 4)
    {
        const int first = bus * (GROUP_WIDTH + 1);
        standin::sdr::add_group(trigger, first, first + 2 * (GROUP_WIDTH + 1) - 1, "outer" + std::to_string(bus));
    }
    editor.manager->refresh_tx_cache();
    const int rows = editor.manager->get_node_count(-1);
    std::vector<int> descendants;
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(ask_every_row(editor.manager, &descendants));
        report(state, double(timer.nsecsElapsed()), rows, "ns_per_row");
    }
}

// Look-up names: leaves of both generated trees, in a fixed random order, every tenth one a
// name the netlist lacks.
std::vector<std::string> lookup_names(int depth)
{
    std::mt19937 random(depth);
    std::uniform_int_distribution<int> digit(0, 9);
    std::vector<std::string> names;
    for (int i = 0; i < LOOKUPS; ++i)
    {
        std::string name = "g";
        for (int level = 0; level < depth; ++level)
            name += "|n" + std::to_string(digit(random));
        names.push_back(i % 10 == 9 ? name + "_missing" : name);
    }
    return names;
}

void use_generated_netlists()
{
    if (environment() == NETLISTS_GENERATED)
        return;
    standin::reset_all();
    standin::hdb::set_netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS, "top");
    standin::hdb::generate_tree(HDB_NAMESPACE::PDB_PRE_SYNTHESIS, "top|g", 10, 4, 0x80000040);
    standin::hdb::set_netlist(HDB_NAMESPACE::PDB_POST_FIT, "top");
    standin::hdb::generate_tree(HDB_NAMESPACE::PDB_POST_FIT, "top|g", 10, 6, 0x80002040);
    environment() = NETLISTS_GENERATED;
}

// 10^4 leaves (11110 names) against 10^6 leaves (1111110 names), through the look-up that the
// validity check makes for every tapped node.
void name_lookups(benchmark::State& state)
{
    use_generated_netlists();
    const bool large = state.range(0) == 1000000;
    HDB_NAMESPACE* names = standin::hdb::netlist(large ? HDB_NAMESPACE::PDB_POST_FIT : HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    const std::vector<std::string> lookups = lookup_names(large ? 6 : 4);
    HDB_INSTANCE_NAME* root = names->get_rooted_at();
    for (auto _ : state)
    {
        int found = 0;
        QElapsedTimer timer;
        timer.start();
        for (const std::string& name : lookups)
            found += root->find_in_descendants(name.c_str(), false, 1) != nullptr;
        report(state, double(timer.nsecsElapsed()), LOOKUPS, "ns_per_lookup");
        if (found != LOOKUPS - LOOKUPS / 10)
            state.SkipWithError("look-ups missed names of the netlist");
    }
    state.counters["names"] = double(names->size());
}

// The same look-ups in a standard hash set of the same names: what a hash look-up costs at that
// size on this machine (a table of 10^6 names no longer fits the processor's caches).
void hash_set_lookups(benchmark::State& state)
{
    use_generated_netlists();
    const bool large = state.range(0) == 1000000;
    HDB_NAMESPACE* names = standin::hdb::netlist(large ? HDB_NAMESPACE::PDB_POST_FIT : HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    std::unordered_set<std::string> set;
    HDB_INSTANCE_NAME* root = names->get_rooted_at();
    for (auto it = root->begin_descendant(nullptr, 0); it != root->end_descendant(nullptr, 0); ++it)
        set.insert((*it)->short_hpath());
    const std::vector<std::string> lookups = lookup_names(large ? 6 : 4);
    for (auto _ : state)
    {
        int found = 0;
        QElapsedTimer timer;
        timer.start();
        for (const std::string& name : lookups)
            found += int(set.count(name));
        report(state, double(timer.nsecsElapsed()), LOOKUPS, "ns_per_lookup");
        benchmark::DoNotOptimize(found);
    }
}

template <typename CASE>
void add_case(const char* name, CASE function, std::initializer_list<int64_t> sizes)
{
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, function);
    for (int64_t size : sizes)
        b->Arg(size);
    sedq_bench_repeated(b, SAMPLES);
}

// Keeps the median of each case's counter and prints the large-to-small ratios at the end.
class ratio_reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            for (const auto& counter : run.counters)
            {
                if (counter.first.rfind("ns_per_", 0) == 0)
                    m_medians[run.run_name.function_name + "/" + run.run_name.args] = counter.second.value;
            }
        }
    }

    void print_ratios() const
    {
        std::printf("\nmedian time per row (per look-up), large / small (linear within 1.5x)\n");
        const char* cases[][3] = {{"finder_bus", "256", "4096"},
                                  {"hierarchy_bus", "256", "4096"},
                                  {"group_queries", "256", "4096"},
                                  {"name_lookups", "10000", "1000000"},
                                  {"hash_set_lookups", "10000", "1000000"}};
        for (const auto& c : cases)
        {
            const auto small = m_medians.find(std::string(c[0]) + "/" + c[1]);
            const auto large = m_medians.find(std::string(c[0]) + "/" + c[2]);
            if (small == m_medians.end() || large == m_medians.end() || small->second <= 0)
                continue;
            const double ratio = large->second / small->second;
            std::printf("  %-15s %8.1f ns -> %8.1f ns  ratio %5.2f %s\n", c[0], small->second, large->second, ratio,
                        ratio <= 1.5 ? "" : "(over 1.5)");
        }
    }

private:
    std::map<std::string, double> m_medians;
};
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    add_case("finder_bus", finder_bus, {256, 4096});
    add_case("hierarchy_bus", hierarchy_bus, {256, 4096});
    add_case("group_queries", group_queries, {256, 4096});
    add_case("name_lookups", name_lookups, {10000, 1000000});
    add_case("hash_set_lookups", hash_set_lookups, {10000, 1000000});
    benchmark::Initialize(&argc, argv);
    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
