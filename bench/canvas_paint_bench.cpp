// A full repaint of the advanced trigger canvas on a 1600 x 1000 window: a generated condition
// of Logical Ands over Comparisons of 8-bit Buses of Nodes against Bus Values, all expanded and
// arranged by the tidy tree layout. Two ratios: a repaint of 100 objects at zoom 40 (the
// drawing shrunk four times) against the same at zoom 10, which stays near 1 because the
// picture is painted at the widget's size whatever the zoom; and 1,000 objects against 100 at
// zoom 10, whose time per object stays near 1 (painting and validation are linear).
// Each case is timed 15 times, both sizes interleaved; the counters are microseconds per
// repaint, and per object for the size case.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QApplication>
#include <QElapsedTimer>

#include <map>
#include <memory>

namespace
{
constexpr int SAMPLES = 15;
constexpr int REPAINTS = 5;
constexpr int BUS_WIDTH = 8;

SEDQ_OBJECT* add(SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_LIBRARY_TYPE type)
{
    auto* object = static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
    object->set_library_type(type);
    object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    return object;
}

// One Comparison: a Bus of 8 named Nodes against a Bus Value; 11 objects.
void add_comparison(SEDQ_OBJECT* parent, int index)
{
    SEDQ_OBJECT* comparison = add(parent, SEDQ_OBJECT::LIBRARY_EQUALITY);
    SEDQ_OBJECT* bus = add(comparison, SEDQ_OBJECT::LIBRARY_BUS);
    for (int bit = 0; bit < BUS_WIDTH; ++bit)
    {
        auto* node = static_cast<SEDQ_OBJECT*>(bus->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        node->set_type(SEDQ_OBJECT::NODE);
        node->set_name(QStringLiteral("top|u%1|q[%2]").arg(index).arg(bit).toLocal8Bit().constData());
    }
    SEDQ_OBJECT* value = add(comparison, SEDQ_OBJECT::LIBRARY_BUS_VALUE);
    value->get_property().set_setting_text(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("1f"), SEDQ_PROPERTY::BY_CONTEXT);
}

struct CANVAS_BENCH : SEDQ_BENCH_CANVAS_EDITOR
{
    explicit CANVAS_BENCH(int objects)
        : SEDQ_BENCH_CANVAS_EDITOR(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS)
    {
        canvas->resize(1600, 1000);
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        SEDQ_TRIGGER_OBJECT* condition = sedq_advanced_trigger_root(manager->get_trigger_nodes(-1), 0);
        auto* result =
            static_cast<SEDQ_OBJECT*>(condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
        result->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        result->move(1400, 400);
        SEDQ_OBJECT* logical = add(result, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
        for (int i = 0; list->size() + 11 <= objects; ++i)
        {
            if (i > 0 && i % 8 == 0)
                logical = add(logical, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
            add_comparison(logical, i);
        }
        count = list->size();
        manager->update_all_views(nullptr, 0x100);
        canvas->arrange_objects();
        canvas_image = QImage(canvas->size(), QImage::Format_ARGB32_Premultiplied);
    }

    int count = 0;
    QImage canvas_image;
};

std::map<int, std::unique_ptr<CANVAS_BENCH>>& benches()
{
    static std::map<int, std::unique_ptr<CANVAS_BENCH>> built;
    return built;
}

CANVAS_BENCH& bench(int objects)
{
    auto& slot = benches()[objects];
    if (!slot)
        slot = std::make_unique<CANVAS_BENCH>(objects);
    return *slot;
}

double time_repaints(CANVAS_BENCH& b)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < REPAINTS; ++i)
        b.canvas->render(&b.canvas_image);
    return double(timer.nsecsElapsed()) / REPAINTS;
}

void repaint_at_zoom(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(100);
    for (auto _ : state)
    {
        b.canvas->set_zoom_positions(int(state.range(0)));
        const double elapsed = time_repaints(b);
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3;
    }
}

void repaint_per_object(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(int(state.range(0)));
    for (auto _ : state)
    {
        b.canvas->set_zoom_positions(10);
        const double elapsed = time_repaints(b);
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3 / b.count;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("repaint_at_zoom", repaint_at_zoom), SAMPLES)->Arg(10)->Arg(40);
    sedq_bench_repeated(benchmark::RegisterBenchmark("repaint_per_object", repaint_per_object), SAMPLES)
        ->Arg(100)
        ->Arg(1000);
    sedq_ratio_reporter reporter("us", "100", "1000", 2.0);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per object and repaint, 100 -> 1000 objects");
    const double at_10 = reporter.value("repaint_at_zoom", "10", "median");
    const double at_40 = reporter.value("repaint_at_zoom", "40", "median");
    if (at_10 > 0)
        std::printf("microseconds per repaint of 100 objects, zoom 10 -> 40: %.2f -> %.2f  ratio %.2f (within 1.5x)\n",
                    at_10, at_40, at_40 / at_10);
    benches().clear();
    return 0;
}
