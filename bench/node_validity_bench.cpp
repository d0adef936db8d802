// The validity check of a full instance (4096 tapped nodes in buses of 16, a clock) against the
// netlists of a project, through the editor's own call, for generated netlists of 10^4 and 10^6
// names per netlist. The rows are leaves picked at random from the design, every tenth one a
// name the design lacks, half of them post-fitting nodes. Three cases: one pass over the
// pre-synthesis netlist, both passes under incremental compilation, and the latter with the
// processor caches evicted before each check (the check follows other work in the editor, so its
// look-ups do not always find the netlist's tables in the cache). Beside them, the netlist's own
// share: the same look-ups of every node name alone, made together as the check makes them (a
// netlist of 10^6 names spreads them over far more memory than the caches and the address
// translation hold, so each look-up waits on memory; made together, the waits overlap). Each
// case is timed 9 times, each time over 24 checks; the counter is the time per node as min /
// median / max, and the summary compares the large netlist with the small one (independent of
// the size within 1.5x), also for the check less its look-ups.
#include "bench_support.h"
#include "host/hdb.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/hdb_control.h"
#include "host/standin/idu_control.h"
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
#include <vector>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int SAMPLES = 9;
// Checks per sample: one check takes under a millisecond, which a pause of the machine can double.
constexpr int ROUNDS = 24;
constexpr int NODES = 4096;
constexpr int BUS_WIDTH = 16;
constexpr size_t EVICTION_BYTES = size_t(64) << 20;

int depth_of(int64_t names)
{
    return names == 1000000 ? 6 : 4;
}

// A project whose two netlists hold a tree of 10^depth leaves below "top|g".
std::string project_text(int depth)
{
    const std::string tree =
        R"({"generate": "tree", "path": "top|core_logic|g", "fanout": 10, "depth": )" + std::to_string(depth);
    return R"({"project": {"top_entity": "top", "incremental_mode": 0}, "netlists": {)"
           R"("pre": {"instances": [)" +
           tree +
           R"(, "leaf_flags": "0x80000040"}]},)"
           R"("post": {"instances": [)" +
           tree + R"(, "leaf_flags": "0x80002040"}]}}})";
}

void use_project(int depth)
{
    static int loaded = 0;
    if (loaded == depth)
        return;
    standin::reset_all();
    std::string error;
    if (!standin::project::load_json(QByteArray::fromStdString(project_text(depth)),
                                     QDir::tempPath().toStdString(), &error))
        std::fprintf(stderr, "node_validity_bench: %s\n", error.c_str());
    loaded = depth;
}

struct tapped_node
{
    std::string name;
    bool post_fitting;
};

// Random leaves of the tree, every tenth one missing from the design, about half post-fitting.
std::vector<tapped_node> tapped_nodes(int depth)
{
    std::mt19937 random(unsigned(depth) * 7919u);
    std::uniform_int_distribution<int> digit(0, 9);
    std::bernoulli_distribution post_fitting(0.5);
    std::vector<tapped_node> nodes;
    for (int i = 0; i < NODES; ++i)
    {
        std::string name = "core_logic|g";
        for (int level = 0; level < depth; ++level)
            name += "|n" + std::to_string(digit(random));
        nodes.push_back({i % 10 == 9 ? name + "_gone" : name, post_fitting(random)});
    }
    return nodes;
}

// An editor window over a document whose instance taps the nodes, grouped in buses.
struct EDITOR
{
    explicit EDITOR(int depth)
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        manager = frame->get_tx_manager();
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
        SDR_DATA_TRIGGER* trigger = SEDQ_REPOSITORY::trigger_nodes(manager, -1)->get_data_trigger();
        const std::vector<tapped_node> nodes = tapped_nodes(depth);
        for (const tapped_node& node : nodes)
            standin::sdr::add_node(trigger,
                                   {node.name, SDR_STYPE_PLAIN, SDR_WTYPE_DATA_AND_TRIGGER,
                                    node.post_fitting ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS});
        for (int first = NODES - BUS_WIDTH; first >= 0; first -= BUS_WIDTH)
            standin::sdr::add_group(trigger, first, first + BUS_WIDTH - 1, "bus" + std::to_string(first));
        SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock(nodes.front().name.c_str(), false);
        manager->refresh_tx_cache();
    }

    QTemporaryDir dir;
    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
    SEDQ_TX_MANAGER* manager = nullptr;
};

// Touches a buffer larger than the last-level cache.
void evict_caches()
{
    static std::vector<char> buffer(EVICTION_BYTES, 1);
    for (size_t i = 0; i < buffer.size(); i += 64)
        buffer[i] = char(buffer[i] + 1);
    benchmark::ClobberMemory();
}

void time_validity(benchmark::State& state, bool incremental, bool cold)
{
    const int depth = depth_of(state.range(0));
    use_project(depth);
    standin::idu::set_incremental_compilation_mode(incremental ? 2 : 0);
    EDITOR editor(depth);
    QCoreApplication::processEvents();
    editor.manager->check_node_validity(-1);
    for (auto _ : state)
    {
        double elapsed = 0;
        bool invalid = true;
        for (int round = 0; round < ROUNDS; ++round)
        {
            if (cold)
                evict_caches();
            QElapsedTimer timer;
            timer.start();
            invalid = editor.manager->check_node_validity(-1) && invalid;
            elapsed += double(timer.nsecsElapsed());
        }
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns_per_node"] = elapsed / ROUNDS / NODES;
        if (!invalid)
            state.SkipWithError("the missing names were not found invalid");
    }
    QCoreApplication::processEvents();
}

// The netlist's share of `validity`: the same look-up of every node name in the pre-synthesis
// netlist, after the same check has run once.
void netlist_lookups(benchmark::State& state)
{
    const int depth = depth_of(state.range(0));
    use_project(depth);
    standin::idu::set_incremental_compilation_mode(0);
    EDITOR editor(depth);
    QCoreApplication::processEvents();
    editor.manager->check_node_validity(-1);
    const SDR_TX_TRIGGER* trigger = editor.manager->get_trigger_nodes(-1);
    HDB_INSTANCE_NAME* root = standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS)->get_rooted_at();
    std::vector<const char*> names;
    std::vector<HDB_INSTANCE_NAME*> found_names;
    for (auto _ : state)
    {
        int found = 0;
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < ROUNDS; ++round)
        {
            names.clear();
            for (int row = 0; row < trigger->get_num_nodes(); ++row)
                names.push_back(trigger->get_node_name(row));
            found_names.resize(names.size());
            root->find_all_in_descendants(names.data(), names.size(), found_names.data());
            for (const HDB_INSTANCE_NAME* name : found_names)
                found += name != nullptr && name->check_flag(0x80000000u);
        }
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns_per_node"] = elapsed / ROUNDS / NODES;
        benchmark::DoNotOptimize(found);
    }
}

void validity(benchmark::State& state)
{
    time_validity(state, false, false);
}

void validity_incremental(benchmark::State& state)
{
    time_validity(state, true, false);
}

void validity_incremental_cold(benchmark::State& state)
{
    time_validity(state, true, true);
}

void add_case(const char* name, void (*function)(benchmark::State&), int64_t names)
{
    sedq_bench_repeated(benchmark::RegisterBenchmark(name, function)->Arg(names), SAMPLES);
}

// The check's work besides the netlist look-ups, from the medians.
void print_own_work(const sedq_ratio_reporter& reporter)
{
    const double small =
        reporter.value("validity", "10000", "median") - reporter.value("netlist_lookups", "10000", "median");
    const double large = reporter.value("validity", "1000000", "median") -
                         reporter.value("netlist_lookups", "1000000", "median");
    if (small > 0 && large > 0)
        std::printf("  %-26s %6.1f -> %6.1f ns per node  ratio %5.2f\n", "validity less look-ups", small,
                    large, large / small);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Every case of one netlist size before the other, so each project is generated once.
    for (int64_t names : {10000, 1000000})
    {
        add_case("validity", validity, names);
        add_case("netlist_lookups", netlist_lookups, names);
        add_case("validity_incremental", validity_incremental, names);
        add_case("validity_incremental_cold", validity_incremental_cold, names);
    }
    benchmark::Initialize(&argc, argv);
    sedq_ratio_reporter reporter("ns_per_node", "10000", "1000000", 1.5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_summary("ns per node, 10^4 -> 10^6 names");
    print_own_work(reporter);
    benchmark::Shutdown();
    return 0;
}
