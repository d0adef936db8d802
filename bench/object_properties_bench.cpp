// Opening the Properties dialog on a multiple selection, without running it: the union of the
// selected bags, the parameter list and its first refresh, at 100 and at 1,000 selected objects
// of mixed kinds (Bus and Node in turn, which share the data delay, with names and delays that
// partly agree). The union is one pass over a fixed bag per object and the list depends only on
// the kinds, so the time per object must not grow; the last case times both sizes in one run
// and reports the ratio of their times per object (within 1.5).
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include "bench_support.h"


#include <algorithm>

namespace
{
constexpr int LARGE = 1000;
constexpr int SMALL = 100;

// A condition of `count` selected objects, made once per size.
QList<SEDQ_OBJECT*>* selection(int count)
{
    static SEDQ_TRIGGER_OBJECT conditions[2];
    SEDQ_TRIGGER_OBJECT& condition = conditions[count == LARGE ? 1 : 0];
    if (condition.get_object_list()->isEmpty())
        for (int i = 0; i < count; ++i)
        {
            auto* object = static_cast<SEDQ_OBJECT*>(
                condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
            object->set_type(i % 2 == 0 ? SEDQ_OBJECT::BUS : SEDQ_OBJECT::NODE);
            object->get_property().set(SEDQ_PROPERTY::NAME, QString("top|obj%1").arg(i % 7));
            object->get_property().set(SEDQ_PROPERTY::DATA_DELAY, i % 3);
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
        }
    return condition.get_object_list();
}

int open_dialog(int count)
{
    SEDQ_OBJECT_PROPERTIES_DLG dialog(nullptr, selection(count), nullptr, SEDQ_OBJECT::UNKNOWN, false,
                                      SEDQ_LOCK_MODE_ALLOW_ALL, false);
    return dialog.get_property()[SEDQ_PROPERTY::TYPE];
}

void BM_open_properties(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(open_dialog(count));
    state.counters["per_object"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Nanoseconds per object of the fastest of several openings on `count` objects.
double best_per_object(int count, int rounds)
{
    return sedq_best_ns_per_item([count] { return open_dialog(count); }, count, rounds);
}

void BM_open_properties_ratio(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state)
        ratio = best_per_object(LARGE, 10) / best_per_object(SMALL, 10);
    state.counters["ratio_1000_to_100"] = ratio;
}
} // namespace

BENCHMARK(BM_open_properties)->Arg(SMALL)->Arg(LARGE);
BENCHMARK(BM_open_properties_ratio)->Iterations(3);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
