// The node table of the setup page at 256 and at 4096 nodes in the same 1600 x 1000 window:
// repainting it scrolled to its last row, and finding the cell under a point of its last visible
// row, through the view's own paint() and find_item(). The nodes are what an instance taps:
// buses of 16 registers (every third one collapsed) between single pins, each with a condition
// on each of three trigger levels. A repaint after scrolling and a hit test must cost the same at
// both sizes (within 1.5x): they read the rows laid out at the last update. Beside them, what an
// update costs: laying the rows out again, which does grow with the list, then one paint.
// Each case is timed 15 times, the repetitions of both sizes interleaved; the counters are
// microseconds per operation, min / median / max.
#include "bench_editor.h"
#include "bench_support.h"
#include "host/standin/sdr_control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr int SAMPLES = 15;
constexpr int PAINTS = 5;
constexpr int FINDS = 2000;
constexpr int BUS_WIDTH = 16;

// An editor window over a document of `count` nodes, its view scrolled to the last row.
struct EDITOR : SEDQ_BENCH_EDITOR
{
    explicit EDITOR(int count)
        : SEDQ_BENCH_EDITOR(
              [count](SDR_DATA_TRIGGER* trigger)
              {
                  standin::sdr::set_levels(trigger, 3);
                  add_rows(trigger, count);
              },
              false)
    {
        QScrollBar* bar = view->get_vertical_scroll_bar();
        bar->setValue(bar->maximum());
    }

    // Buses of 16 registers between single pins, until `count` rows; every third bus collapsed.
    static void add_rows(SDR_DATA_TRIGGER* trigger, int count)
    {
        std::mt19937 random{unsigned(count)};
        std::uniform_int_distribution<int> condition(SDR_CTYPE_HIGH, SDR_CTYPE_DONT_CARE);
        std::vector<int> bus_starts;
        int rows = 0;
        for (int unit = 0; rows < count; ++unit)
        {
            const bool bus = unit % 3 != 2 && rows + BUS_WIDTH + 1 <= count;
            const int members = bus ? BUS_WIDTH : 1;
            if (bus)
                bus_starts.push_back(trigger->edit_transient().trigger_list.size());
            for (int m = 0; m < members; ++m)
            {
                standin::sdr::node_spec node;
                node.name =
                    "top|core|u" + std::to_string(unit) + (bus ? "|q[" + std::to_string(m) + "]" : "|pin");
                node.signal_type = bus ? SDR_STYPE_REGISTERED : SDR_STYPE_INPUT_PIN;
                const int row = standin::sdr::add_node(trigger, node);
                for (int level = 0; level < 3; ++level)
                    trigger->edit_transient().trigger_list[row].patterns[0].conditions[level] =
                        SDR_DATA_TRIGGER_CONDITION(condition(random));
            }
            rows += members + (bus ? 1 : 0);
        }
        for (auto it = bus_starts.rbegin(); it != bus_starts.rend(); ++it)
        {
            const int group = standin::sdr::add_group(trigger, *it, *it + BUS_WIDTH - 1,
                                                      "bus" + std::to_string(*it), SDR_GTYPE_HEX);
            trigger->edit_transient().trigger_list[group].expanded = (*it / BUS_WIDTH) % 3 != 0;
        }
        standin::sdr::recompute_tree(trigger->edit_transient().trigger_list);
    }
};

// Built once per size; released before the application goes.
std::map<int, std::unique_ptr<EDITOR>>& editors()
{
    static std::map<int, std::unique_ptr<EDITOR>> built;
    return built;
}

EDITOR& editor(int count)
{
    auto& slot = editors()[count];
    if (!slot)
        slot = std::make_unique<EDITOR>(count);
    return *slot;
}

void repaint_scrolled_to_the_end(benchmark::State& state)
{
    EDITOR& e = editor(int(state.range(0)));
    e.paint();
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < PAINTS; ++i)
            e.paint();
        const double elapsed = double(timer.nsecsElapsed()) / PAINTS;
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3;
    }
    if (e.view->get_visible_node_count() == 0)
        state.SkipWithError("no node row was painted");
}

// Points across every column of the last row in view.
void find_item_on_the_last_visible_row(benchmark::State& state)
{
    EDITOR& e = editor(int(state.range(0)));
    e.paint();
    const int last_row = e.view->find_item(QPoint(100, e.view->height() - 30), true) + 3;
    QRect cell;
    if (!e.view->get_item_rect(last_row, 0, &cell))
        state.SkipWithError("the last visible row has no cell");
    int found = 0;
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < FINDS; ++i)
        {
            int row = 0;
            int column = 0;
            found += e.view->find_item(QPoint(i % 700, cell.center().y()), &row, &column, nullptr) &&
                     row == last_row;
        }
        const double elapsed = double(timer.nsecsElapsed()) / FINDS;
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3;
    }
    benchmark::DoNotOptimize(found);
}

// What an update costs: the rows laid out again, then one paint.
void update_then_paint(benchmark::State& state)
{
    EDITOR& e = editor(int(state.range(0)));
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        e.view->invalidate_row_layout();
        e.paint();
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us_per_update"] = elapsed / 1e3;
    }
}

void add_case(const char* name, void (*function)(benchmark::State&))
{
    sedq_bench_repeated(benchmark::RegisterBenchmark(name, function)->Arg(256)->Arg(4096), SAMPLES);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    add_case("repaint_scrolled_to_end", repaint_scrolled_to_the_end);
    add_case("find_item_last_row", find_item_on_the_last_visible_row);
    add_case("update_then_paint", update_then_paint);
    sedq_ratio_reporter reporter("us", "256", "4096", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per operation, 256 -> 4096 nodes");
    editors().clear();
    return 0;
}
