// Finding the instances a decoder decodes: the walk over the pre-synthesis netlist that "Add
// Nodes with Plug-In" starts with, over a generated netlist of 10,000 and of 100,000 instances
// (100 blocks of cells, the decoded unit in two blocks far apart, each with nodes below it that
// the walk must not enter). The walk visits every instance once, so the time per instance must
// be the same at both sizes (within 1.5x). Each case is timed 15 times, the repetitions of both
// sizes interleaved; the counter is nanoseconds per instance, min / median / max.
#include "bench_support.h"
#include "host/hdb.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QApplication>
#include <QElapsedTimer>

#include <map>
#include <memory>
#include <string>

namespace
{
constexpr int REPETITIONS = 15;
constexpr int BLOCKS = 100;
constexpr unsigned TAPPABLE = 0x80000000u;
const char* const DECODED_UNIT = "uart_tx";

// `instances` names below the root: blocks, their cells, and the two decoded instances with
// their nodes (an instance's unit is its own name here).
std::unique_ptr<HDB_NAMESPACE> make_netlist(int instances)
{
    auto netlist = std::make_unique<HDB_NAMESPACE>("top", true);
    HDB_INSTANCE_NAME* root = netlist->get_rooted_at();
    const int cells = (instances - BLOCKS) / BLOCKS;
    for (int b = 0; b < BLOCKS; ++b)
    {
        HDB_INSTANCE_NAME* block = netlist->add_child(root, "b" + std::to_string(b), TAPPABLE);
        for (int c = 0; c < cells; ++c)
        {
            const std::string cell_path = "b" + std::to_string(b) + "|c" + std::to_string(c);
            HDB_INSTANCE_NAME* cell = netlist->add_child(block, cell_path, TAPPABLE);
            if ((b == 3 || b == BLOCKS - 2) && c == cells / 2)
            {
                HDB_INSTANCE_NAME* decoded = netlist->add_child(cell, cell_path + "|" + DECODED_UNIT, TAPPABLE);
                for (const char* node : {"data", "busy", "valid"})
                    netlist->add_child(decoded, cell_path + "|" + DECODED_UNIT + "|" + node, TAPPABLE);
            }
        }
    }
    return netlist;
}

std::map<int, std::unique_ptr<HDB_NAMESPACE>>& netlists()
{
    static std::map<int, std::unique_ptr<HDB_NAMESPACE>> built;
    return built;
}

void walk_for_decoded_instances(benchmark::State& state)
{
    const int instances = int(state.range(0));
    auto& slot = netlists()[instances];
    if (!slot)
        slot = make_netlist(instances);
    const QStringList units{DECODED_UNIT};
    for (auto _ : state)
    {
        QStringList paths;
        QElapsedTimer timer;
        timer.start();
        SEDQ_TX_MANAGER::get_plugin_hierarchy_list(&paths, slot->get_rooted_at(), units);
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns_per_instance"] = elapsed / double(slot->size());
        if (paths.size() != 2)
            state.SkipWithError("the walk did not find the two decoded instances");
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("plugin_hierarchy_walk", walk_for_decoded_instances)
                            ->Arg(10000)
                            ->Arg(100000),
                        REPETITIONS);
    sedq_ratio_reporter reporter("ns_per_instance", "10000", "100000", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("nanoseconds per instance, 10,000 -> 100,000 instances");
    netlists().clear();
    return 0;
}
