// The layout command of the advanced trigger canvas (the toolbar's tree layout, which switches
// between the tidy tree and the schematic layout and lays the drawing out again) on a canvas of
// 1600 x 1000 in the editor window, with `objects` objects (100, 1,000, 10,000) in loose trees
// beside the Result: Comparisons of a two-node Bus against a Bus Value, five objects each,
// dropped at random places of an area that grows with their number, so that about one in three
// lands on another. After the layout no box lies over another: each tree that does moves down.
// Every sample puts the trees back where they were dropped, then times the command and the
// event loop's work after it (the repaint); milliseconds, min / median / max of 15 samples, all
// sizes interleaved. The summary sets 10,000 objects against 1,000: near-linear is about 10x.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cmath>
#include <map>
#include <memory>
#include <random>

namespace
{
constexpr int SAMPLES = 15;
constexpr int OBJECTS_PER_TREE = 5;
// The dropped trees' density: one per this many square pixels.
constexpr int AREA_PER_TREE = 300 * 200;

struct LAYOUT_BENCH : SEDQ_BENCH_CANVAS_EDITOR
{
    explicit LAYOUT_BENCH(int objects) : SEDQ_BENCH_CANVAS_EDITOR(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS)
    {
        canvas->resize(1600, 1000);
        const int trees = objects / OBJECTS_PER_TREE;
        const int side = int(std::sqrt(double(trees) * AREA_PER_TREE));
        std::mt19937 random{unsigned(objects)};
        std::uniform_int_distribution<int> place(0, side);
        for (int i = 0; i < trees; ++i)
        {
            auto* comparison = new SEDQ_OBJECT(canvas->get_copy(), QPoint(place(random), place(random)),
                                               manager->get_advanced_condition());
            comparison->set_library_type(SEDQ_OBJECT::LIBRARY_EQUALITY);
            comparison->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
            SEDQ_OBJECT* bus = sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS);
            for (int bit = 0; bit < 2; ++bit)
            {
                auto* node = static_cast<SEDQ_OBJECT*>(
                    bus->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
                node->set_type(SEDQ_OBJECT::NODE);
                node->set_name(QStringLiteral("top|t%1|q[%2]").arg(i).arg(bit).toLocal8Bit().constData());
            }
            sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS_VALUE);
            canvas->get_object_list()->append(comparison);
            dropped.append(comparison->get_rect().topLeft());
        }
        manager->update_all_views(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
        settle();
    }

    // The loose trees back where they were dropped.
    void drop_again()
    {
        int i = 0;
        for (SEDQ_OBJECT* object : *canvas->get_object_list())
            if (object->is_root() && object->get_type() != SEDQ_OBJECT::LEVEL_RESULT && i < dropped.size())
                object->move(dropped[i++] - object->get_rect().topLeft());
    }

    QVector<QPoint> dropped;
};

// The windows close before main returns: among the exit handlers the repository they use is gone.
std::map<int, std::unique_ptr<LAYOUT_BENCH>>& benches()
{
    static std::map<int, std::unique_ptr<LAYOUT_BENCH>> built;
    return built;
}

LAYOUT_BENCH& bench(int objects)
{
    auto& slot = benches()[objects];
    if (!slot)
        slot = std::make_unique<LAYOUT_BENCH>(objects);
    return *slot;
}

void layout(benchmark::State& state)
{
    LAYOUT_BENCH& b = bench(int(state.range(0)));
    for (auto _ : state)
    {
        b.drop_again();
        QElapsedTimer timer;
        timer.start();
        b.canvas->on_tree();
        b.settle();
        const double ns = double(timer.nsecsElapsed());
        state.SetIterationTime(ns / 1e9);
        state.counters["ms"] = ns / 1e6;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("layout", layout), SAMPLES)->Arg(100)->Arg(1000)->Arg(10000);
    sedq_ratio_reporter reporter("ms", "1000", "10000", 12.0);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("canvas layout, ms");
    benches().clear();
    return 0;
}
