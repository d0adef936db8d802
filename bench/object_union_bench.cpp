// The union of a multiple selection as the Properties dialog builds it: every selected
// object's bag folded into one, at 256 and at 4,096 mixed objects (every kind in turn, with
// names, values and settings that partly agree). The fold is one pass over a fixed bag per
// object, so the time per object stays flat; the last case times both sizes in one run and
// reports the ratio of their times per object (within 1.5).
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"


#include <algorithm>
#include <memory>

namespace
{
constexpr int LARGE = 4096;
constexpr int SMALL = 256;

// One condition of `LARGE` objects, made once.
QList<SEDQ_OBJECT*>& selection()
{
    static SEDQ_TRIGGER_OBJECT* condition = nullptr;
    if (condition == nullptr)
    {
        condition = new SEDQ_TRIGGER_OBJECT;
        for (int i = 0; i < LARGE; ++i)
        {
            auto* object = static_cast<SEDQ_OBJECT*>(
                condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
            object->set_type(SEDQ_OBJECT::SEDQ_OBJECT_TYPE(1 + i % (SEDQ_OBJECT::OBJECT_TYPE_COUNT - 1)));
            object->set_name(QByteArray("top|obj").append(QByteArray::number(i % 7)).constData());
            object->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QString::number(i % 3),
                                       SEDQ_PROPERTY::NORMAL_COPY);
            object->get_property().set(SEDQ_PROPERTY::PIPELINE_LENGTH, i % 2);
        }
    }
    return *condition->get_object_list();
}

int fold(int count)
{
    SEDQ_PROPERTY bag;
    const QList<SEDQ_OBJECT*>& objects = selection();
    for (int i = 0; i < count; ++i)
        bag.union_property(objects.at(i)->get_property());
    return bag[SEDQ_PROPERTY::TYPE];
}

void BM_union_property(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(fold(count));
    state.counters["per_object"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Nanoseconds per object of the faster of several folds of `count` objects.
double best_per_object(int count, int rounds)
{
    return sedq_best_ns_per_item([count] { return fold(count); }, count, rounds);
}

void BM_union_property_ratio(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state)
        ratio = best_per_object(LARGE, 20) / best_per_object(SMALL, 20 * LARGE / SMALL);
    state.counters["ratio_4096_to_256"] = ratio;
}
} // namespace

BENCHMARK(BM_union_property)->Arg(SMALL)->Arg(LARGE);
BENCHMARK(BM_union_property_ratio)->Iterations(5);
BENCHMARK_MAIN();
