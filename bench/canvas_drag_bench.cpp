// Dragging a tree across the advanced trigger canvas: one Logical And with 4 Node inputs moved
// by the mouse over a scene of loose Buses of 9 Nodes each, 100 of them (1,000 objects) against
// 10 (100 objects), without painting. Each move lets every root meet the objects of the other
// mark; the loose roots look only through the 5 dragged objects, so the time per move per object
// stays near 1 rather than growing with the number of roots. Each case is timed 15 times, both
// sizes interleaved; the counter is nanoseconds per move per object.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <cstdlib>

namespace
{
constexpr int SAMPLES = 15;
constexpr int TREE_SIZE = 10;
constexpr int MOVES = 40;

struct DRAG_BENCH : SEDQ_BENCH_CANVAS_EDITOR
{
    DRAG_BENCH()
    {
        canvas->activateWindow();
        canvas->setFocus();
        settle();
    }

    SEDQ_OBJECT* add(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent, QPoint at)
    {
        auto* object = new SEDQ_OBJECT(canvas->get_copy(), at, nullptr);
        object->set_type(type);
        object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        canvas->get_object_list()->append(object);
        if (parent != nullptr)
            parent->attach(object, false);
        return object;
    }

    // The Result, `roots` loose Buses far below the drag's path, and the tree to drag.
    void fill(int roots)
    {
        keep_only_result();
        for (int r = 0; r < roots; ++r)
        {
            SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS, nullptr, QPoint(400 + 150 * (r % 10), 2000 + 300 * (r / 10)));
            for (int n = 1; n < TREE_SIZE; ++n)
                add(SEDQ_OBJECT::NODE, bus, QPoint(250 + 150 * (r % 10), 2000 + 300 * (r / 10) + 25 * n));
        }
        dragged = add(SEDQ_OBJECT::LOGICAL_OPERATOR, nullptr, QPoint(200, 200));
        for (int n = 0; n < 4; ++n)
            add(SEDQ_OBJECT::NODE, dragged, QPoint(50, 150 + 30 * n));
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, at, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }

    QPoint grab() const
    {
        QRect box = dragged->get_rect();
        canvas->zoom_to_client(&box);
        return box.center();
    }

    SEDQ_OBJECT* dragged = nullptr;
};

DRAG_BENCH*& bench()
{
    static DRAG_BENCH* built = nullptr;
    return built;
}

void drag_tree(benchmark::State& state)
{
    const int roots = int(state.range(0)) / TREE_SIZE;
    DRAG_BENCH& b = *bench();
    for (auto _ : state)
    {
        b.fill(roots);
        const QPoint start = b.grab();
        b.mouse(QEvent::MouseMove, start, Qt::NoButton);
        b.mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
        const int left_before = b.dragged->get_rect().left();
        QElapsedTimer timer;
        timer.start();
        for (int move = 1; move <= MOVES; ++move)
            b.mouse(QEvent::MouseMove, start + QPoint(move * 3, 0), Qt::LeftButton);
        const double elapsed = double(timer.nsecsElapsed());
        // A move that did not move the tree measured nothing.
        if (b.dragged->get_rect().left() == left_before)
            std::abort();
        b.mouse(QEvent::MouseButtonRelease, start + QPoint(MOVES * 3, 0), Qt::NoButton);
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns"] = elapsed / MOVES / b.canvas->get_object_list()->size();
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench() = new DRAG_BENCH;
    sedq_bench_repeated(benchmark::RegisterBenchmark("drag_tree", drag_tree), SAMPLES)->Arg(100)->Arg(1000);
    sedq_ratio_reporter reporter("ns", "100", "1000", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("nanoseconds per move per object, 100 -> 1000 objects");
    delete bench();
    return 0;
}
