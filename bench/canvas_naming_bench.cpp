// Naming and snapshotting dropped nodes on the advanced trigger canvas: buses of 64 named
// Nodes, the buses unnamed, then the automatic names and one undo snapshot, as after a drop.
// 4,096 nodes in 64 buses against 256 in 4: the time per object stays near 1 because the taken
// names are gathered once (a set) rather than the list being scanned per candidate, and a
// snapshot copies each object once. Each case is timed 15 times, both sizes interleaved; the
// counter is microseconds per object.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include <QApplication>
#include <QElapsedTimer>

#include <memory>

namespace
{
constexpr int SAMPLES = 15;
constexpr int BUS_WIDTH = 64;

struct NAMING_BENCH : SEDQ_BENCH_CANVAS_EDITOR
{
    // The scene holds the Result and `buses` unnamed Buses of named Nodes; the history only its
    // first snapshot, so that every case snapshots onto the same list.
    void fill(int buses)
    {
        QList<QList<SEDQ_OBJECT*>*>* history = canvas->get_undo_list();
        while (history->size() > 1)
        {
            QList<SEDQ_OBJECT*>* last = history->takeLast();
            SEDQ_OBJECT_WIDGET::free_array(last);
            delete last;
        }
        keep_only_result();
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        for (int b = 0; b < buses; ++b)
        {
            auto* bus = new SEDQ_OBJECT(canvas->get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
            bus->set_type(SEDQ_OBJECT::BUS);
            list->append(bus);
            for (int bit = 0; bit < BUS_WIDTH; ++bit)
            {
                auto* node = new SEDQ_OBJECT(canvas->get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
                node->set_type(SEDQ_OBJECT::NODE);
                node->set_name(QStringLiteral("top|u%1|q[%2]").arg(b).arg(bit).toLocal8Bit().constData());
                list->append(node);
                bus->attach(node, false);
            }
        }
    }
};

NAMING_BENCH*& bench()
{
    static NAMING_BENCH* built = nullptr;
    return built;
}

void name_and_snapshot(benchmark::State& state)
{
    const int buses = int(state.range(0)) / BUS_WIDTH;
    NAMING_BENCH& b = *bench();
    for (auto _ : state)
    {
        b.fill(buses);
        QElapsedTimer timer;
        timer.start();
        b.canvas->generate_names_for_unnamed_objects();
        b.canvas->save_undo_state(true);
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3 / b.canvas->get_object_list()->size();
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench() = new NAMING_BENCH;
    sedq_bench_repeated(benchmark::RegisterBenchmark("name_and_snapshot", name_and_snapshot), SAMPLES)
        ->Arg(256)
        ->Arg(4096);
    sedq_ratio_reporter reporter("us", "256", "4096", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per object named and snapshotted, 256 -> 4096 nodes");
    delete bench();
    return 0;
}
