// The checked equation of a balanced binary tree of Logical And and Or objects over 256 and
// 4,096 Nodes. Inputs are ordered by their structure texts at every level; each object's text
// is written once per pass, so the time per object grows only with the text lengths. The last
// case times both sizes in one run and reports the ratio of their times per object (within 2).
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"


#include <algorithm>
#include <map>
#include <memory>

namespace
{
constexpr int LARGE = 4096;
constexpr int SMALL = 256;

SEDQ_OBJECT* add(SEDQ_TRIGGER_OBJECT* condition, SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type)
{
    SDR_TX_TREE_OBJECT* made = parent ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
                                      : condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    auto* object = static_cast<SEDQ_OBJECT*>(made);
    object->set_type(type);
    return object;
}

// Operators alternate And and Or by depth; the leaves are Nodes named in reverse order.
void grow(SEDQ_TRIGGER_OBJECT* condition, SEDQ_OBJECT* parent, int leaves, int* next, int depth)
{
    if (leaves == 1) {
        add(condition, parent, SEDQ_OBJECT::NODE)
            ->set_name(QByteArray("top|n").append(QByteArray::number(LARGE - (*next)++)).constData());
        return;
    }
    SEDQ_OBJECT* op = add(condition, parent, SEDQ_OBJECT::LOGICAL_OPERATOR);
    op->get_property().set(SEDQ_PROPERTY::LOGICAL, depth % 2 == 0 ? 1 : 2);
    grow(condition, op, leaves / 2, next, depth + 1);
    grow(condition, op, leaves - leaves / 2, next, depth + 1);
}

// The Result of a condition over `leaves` Nodes, made once per size.
SEDQ_OBJECT* result(int leaves)
{
    static std::map<int, std::unique_ptr<SEDQ_TRIGGER_OBJECT>> conditions;
    std::unique_ptr<SEDQ_TRIGGER_OBJECT>& condition = conditions[leaves];
    if (!condition) {
        condition = std::make_unique<SEDQ_TRIGGER_OBJECT>();
        SEDQ_OBJECT* top = add(condition.get(), nullptr, SEDQ_OBJECT::LEVEL_RESULT);
        int next = 0;
        grow(condition.get(), top, leaves, &next, 0);
    }
    return condition->get_object_list()->first();
}

int write(int leaves)
{
    QString text;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    result(leaves)->get_equation(&text, nullptr, nullptr, &error, &culprit, 1, true);
    return text.size() + int(error);
}

void BM_checked_equation(benchmark::State& state)
{
    const int leaves = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(write(leaves));
    state.counters["per_object"] = benchmark::Counter(
        double(2 * leaves), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Nanoseconds per object (2 x leaves - 1 objects and the Result) of the fastest of several passes.
double best_per_object(int leaves, int rounds)
{
    return sedq_best_ns_per_item([leaves] { return write(leaves); }, 2 * leaves, rounds);
}

void BM_checked_equation_ratio(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state)
        ratio = best_per_object(LARGE, 10) / best_per_object(SMALL, 10 * LARGE / SMALL);
    state.counters["ratio_4096_to_256"] = ratio;
}
} // namespace

BENCHMARK(BM_checked_equation)->Arg(SMALL)->Arg(LARGE);
BENCHMARK(BM_checked_equation_ratio)->Iterations(3);
BENCHMARK_MAIN();
