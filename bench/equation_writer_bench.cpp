// The checked equation of a condition as saving, a compile check and a run ask for it (the
// condition object's get_equation), on conditions of 1,024 and 8,192 levels: a chain of Logical
// Ands each taking the next And and a Node; a chain whose levels alternate And, Or and Xor, each
// taking the next level and a Comparison of a two-bit Bus with a value; a chain of Logical Nots
// over one Node; and a balanced tree of Ands and Ors over as many Nodes. Every object is named
// as the canvas names it. Each pass is timed whole and its peak of heap memory taken (the heap
// is counted by this program's allocator), both per object; 15 passes per case, both sizes
// interleaved, reported as min / median / max. Target: per object, 8,192 within 2x of 1,024
// in time and in peak memory. The same shapes at 4 and 32 levels (6 to 194 objects), the
// size of conditions drawn on a canvas, give the time of one pass (201 passes each). The canvas and the file take conditions no deeper than 256 levels;
// the writer itself takes any depth, which is what these chains measure.
#include "bench_support.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>

// ---- the heap, counted -------------------------------------------------------------------------

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);
extern "C" void __libc_free(void*);

namespace
{
std::atomic<long long> g_heap{0};
std::atomic<long long> g_peak{0};

void* counted(void* block)
{
    if (block != nullptr)
    {
        const long long now = g_heap += static_cast<long long>(malloc_usable_size(block));
        long long peak = g_peak.load();
        while (now > peak && !g_peak.compare_exchange_weak(peak, now))
        {
        }
    }
    return block;
}

void uncount(void* block)
{
    if (block != nullptr)
        g_heap -= static_cast<long long>(malloc_usable_size(block));
}
} // namespace

extern "C"
{
void* malloc(size_t size)
{
    return counted(__libc_malloc(size));
}
void* calloc(size_t count, size_t size)
{
    return counted(__libc_calloc(count, size));
}
void* realloc(void* block, size_t size)
{
    uncount(block);
    return counted(__libc_realloc(block, size));
}
void free(void* block)
{
    uncount(block);
    __libc_free(block);
}
void* memalign(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}
void* aligned_alloc(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}
int posix_memalign(void** out, size_t alignment, size_t size)
{
    void* block = counted(__libc_memalign(alignment, size));
    if (block == nullptr)
        return 12; // ENOMEM
    *out = block;
    return 0;
}
}

// ---- the conditions ------------------------------------------------------------------------------

namespace
{
constexpr int SAMPLES = 15;
constexpr int SMALL = 1024;
constexpr int LARGE = 8192;
constexpr int CANVAS_SAMPLES = 201;
constexpr int CANVAS_SMALL = 4;
constexpr int CANVAS_LARGE = 32;

enum SHAPE
{
    AND_CHAIN,
    MIXED_CHAIN,
    NOT_CHAIN,
    BALANCED
};

class condition_builder
{
public:
    explicit condition_builder(SEDQ_TRIGGER_OBJECT* condition) : m_condition(condition) {}

    SEDQ_OBJECT* add(SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type)
    {
        SDR_TX_TREE_OBJECT* made = parent ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
                                          : m_condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
        auto* object = static_cast<SEDQ_OBJECT*>(made);
        object->set_type(type);
        const char* word = SEDQ_OBJECT::KINDS[type].name;
        if (type != SEDQ_OBJECT::LEVEL_RESULT && type != SEDQ_OBJECT::NODE)
            object->set_name(QByteArray(word).append('_').append(QByteArray::number(m_names[type]++)).constData());
        return object;
    }

    SEDQ_OBJECT* logical(SEDQ_OBJECT* parent, int operation)
    {
        SEDQ_OBJECT* made = add(parent, SEDQ_OBJECT::LOGICAL_OPERATOR);
        made->get_property().set(SEDQ_PROPERTY::LOGICAL, operation);
        return made;
    }

    void node(SEDQ_OBJECT* parent)
    {
        add(parent, SEDQ_OBJECT::NODE)->set_name(QByteArray("top|n").append(QByteArray::number(m_nodes++)).constData());
    }

    // compare({a, b}, ==, value): the value written to the Comparison's first port.
    void comparison(SEDQ_OBJECT* parent, int value)
    {
        SEDQ_OBJECT* compare = add(parent, SEDQ_OBJECT::COMPARISON_OPERATOR);
        compare->get_property().set(SEDQ_PROPERTY::COMPARISON, SEDQ_OBJECT::COMPARISON_EQUALITY);
        SEDQ_OBJECT* constant = add(compare, SEDQ_OBJECT::BUS_VALUE);
        constant->get_property().set(SEDQ_PROPERTY::DISPLAY_FORMAT, SEDQ_OBJECT::FORMAT_DECIMAL);
        constant->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QString::number(value % 4));
        SEDQ_OBJECT* bus = add(compare, SEDQ_OBJECT::BUS);
        node(bus);
        node(bus);
    }

    void balanced(SEDQ_OBJECT* parent, int leaves, int depth)
    {
        if (leaves == 1)
        {
            node(parent);
            return;
        }
        SEDQ_OBJECT* op = logical(parent, depth % 2 == 0 ? 1 : 2);
        balanced(op, leaves / 2, depth + 1);
        balanced(op, leaves - leaves / 2, depth + 1);
    }

private:
    SEDQ_TRIGGER_OBJECT* m_condition;
    std::map<int, int> m_names;
    int m_nodes = 0;
};

// The condition of a shape and size, made once.
SEDQ_TRIGGER_OBJECT* condition(SHAPE shape, int size)
{
    static std::map<std::pair<int, int>, std::unique_ptr<SEDQ_TRIGGER_OBJECT>> made;
    std::unique_ptr<SEDQ_TRIGGER_OBJECT>& condition = made[{shape, size}];
    if (condition)
        return condition.get();
    condition = std::make_unique<SEDQ_TRIGGER_OBJECT>();
    condition_builder build(condition.get());
    SEDQ_OBJECT* level = build.add(nullptr, SEDQ_OBJECT::LEVEL_RESULT);
    if (shape == BALANCED)
    {
        build.balanced(level, size, 0);
        return condition.get();
    }
    for (int depth = 0; depth < size; ++depth)
    {
        if (shape == NOT_CHAIN)
        {
            level = build.logical(level, 0);
            continue;
        }
        level = build.logical(level, shape == AND_CHAIN ? 1 : 1 + depth % 3);
        if (shape == AND_CHAIN)
            build.node(level);
        else
            build.comparison(level, depth);
    }
    build.node(level);
    return condition.get();
}

struct pass_cost
{
    double ns;
    long long bytes;
};

pass_cost write_once(SEDQ_TRIGGER_OBJECT* condition)
{
    std::string equation;
    g_peak = g_heap.load();
    const long long before = g_heap.load();
    QElapsedTimer timer;
    timer.start();
    condition->get_equation(&equation, nullptr, nullptr, 1, false);
    const double ns = double(timer.nsecsElapsed());
    benchmark::DoNotOptimize(equation.data());
    return {ns, g_peak.load() - before};
}

void equation(benchmark::State& state, SHAPE shape)
{
    SEDQ_TRIGGER_OBJECT* made = condition(shape, int(state.range(0)));
    const double objects = double(made->get_object_list()->size());
    for (auto _ : state)
    {
        const pass_cost cost = write_once(made);
        state.SetIterationTime(cost.ns / 1e9);
        state.counters["us_per_pass"] = cost.ns / 1e3;
        state.counters["ns_per_object"] = cost.ns / objects;
        state.counters["peak_bytes_per_object"] = double(cost.bytes) / objects;
    }
}

} // namespace

int main(int argc, char** argv)
{
    const struct
    {
        const char* name;
        SHAPE shape;
    } cases[] = {{"and_chain", AND_CHAIN}, {"mixed_chain", MIXED_CHAIN}, {"not_chain", NOT_CHAIN},
                 {"balanced_tree", BALANCED}};
    for (const auto& c : cases)
        sedq_bench_repeated(benchmark::RegisterBenchmark(c.name, equation, c.shape), SAMPLES)->Arg(SMALL)->Arg(LARGE);
    // Conditions as drawn on a canvas, which every edit and repaint writes: the cost of a pass
    // there is mostly what a pass costs whatever its size.
    for (const auto& c : cases)
        sedq_bench_repeated(benchmark::RegisterBenchmark((std::string("canvas_") + c.name).c_str(), equation, c.shape),
                            CANVAS_SAMPLES)
            ->Arg(CANVAS_SMALL)
            ->Arg(CANVAS_LARGE);
    sedq_counter_reporter reporter;
    sedq_run_interleaved(argc, argv, &reporter);
    for (const char* counter : {"ns_per_object", "peak_bytes_per_object"})
    {
        std::printf("\n%s, min / median / max, %d -> %d levels (within 2.0x)\n", counter, SMALL, LARGE);
        for (const auto& c : cases)
        {
            auto key = [&](int size) {
                return std::string(c.name) + "/" + std::to_string(size) + ":" + counter;
            };
            reporter.print_growth(c.name, key(SMALL), key(LARGE), 2.0);
        }
    }
    std::printf("\nus_per_pass, min / median / max, canvas conditions of %d -> %d levels\n", CANVAS_SMALL,
                CANVAS_LARGE);
    for (const auto& c : cases)
    {
        const std::string name = std::string("canvas_") + c.name;
        auto key = [&](int size) { return name + "/" + std::to_string(size) + ":us_per_pass"; };
        reporter.print_growth(name.c_str(), key(CANVAS_SMALL), key(CANVAS_LARGE), HUGE_VAL);
    }
    return 0;
}
