// The view's Find Next at 256 and at 4096 nodes, through the command the Edit menu runs
// (on_edit_find_next): each press builds the find dialog and one target per node row the
// hierarchy pane shows, then the engine searches from where the last press stopped. The nodes
// are what an instance taps: buses of 16 registers between single pins, under one module per
// bus. The cases step down through every pin, up through one bit of every bus, look for a name
// that is nowhere (both passes of the wrap-around question), and step with a whole-word regular
// expression. A press reads every row once, so it grows with the list; the summary prints the
// ratio of the medians, which stays near 16 (the list's growth) while the cost is linear.
// Each case is timed 15 times, the repetitions of both sizes interleaved; the counters are
// microseconds per press, min / median / max.
#include "bench_editor.h"
#include "bench_support.h"
#include "host/standin/sdr_control.h"

#include <QApplication>
#include <QElapsedTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int SAMPLES = 15;
constexpr int PRESSES = 20;
constexpr int BUS_WIDTH = 16;

// Two buses of 16 registers, then a pin, until `count` rows.
void add_rows(SDR_DATA_TRIGGER* trigger, int count)
{
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
            node.name = "top|core|u" + std::to_string(unit) + (bus ? "|q[" + std::to_string(m) + "]" : "|pin");
            node.signal_type = bus ? SDR_STYPE_REGISTERED : SDR_STYPE_INPUT_PIN;
            standin::sdr::add_node(trigger, node);
        }
        rows += members + (bus ? 1 : 0);
    }
    for (auto it = bus_starts.rbegin(); it != bus_starts.rend(); ++it)
        standin::sdr::add_group(trigger, *it, *it + BUS_WIDTH - 1, "bus" + std::to_string(*it), SDR_GTYPE_HEX);
    standin::sdr::recompute_tree(trigger->edit_transient().trigger_list);
}

// Built once per size; released before the application goes.
std::map<int, std::unique_ptr<SEDQ_BENCH_EDITOR>>& editors()
{
    static std::map<int, std::unique_ptr<SEDQ_BENCH_EDITOR>> built;
    return built;
}

SEDQ_BENCH_EDITOR& editor(int count)
{
    auto& slot = editors()[count];
    if (!slot)
        slot = std::make_unique<SEDQ_BENCH_EDITOR>([count](SDR_DATA_TRIGGER* t) { add_rows(t, count); }, false);
    return *slot;
}

// A search as the user sets it up in the dialog; each repetition starts without a match.
struct SEARCH
{
    const char* text;
    const char* direction;
    bool whole_words;
    bool regular;
};

void run_presses(benchmark::State& state, const SEARCH& search)
{
    SEDQ_BENCH_EDITOR& e = editor(int(state.range(0)));
    SEDQ_FIND_STATE& kept = e.view->get_find_state();
    kept.text = search.text;
    kept.direction = search.direction;
    kept.whole_words = search.whole_words;
    kept.regular_expressions = search.regular;
    int matched = 0;
    for (auto _ : state)
    {
        e.view->get_find_position() = SEDQ_FIND_POSITION();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < PRESSES; ++i)
        {
            e.view->on_edit_find_next();
            matched += e.view->get_find_position().matched ? 1 : 0;
        }
        const double elapsed = double(timer.nsecsElapsed()) / PRESSES;
        state.SetIterationTime(elapsed / 1e9);
        state.counters["us"] = elapsed / 1e3;
    }
    benchmark::DoNotOptimize(matched);
}

void down_through_the_pins(benchmark::State& state)
{
    run_presses(state, {"pin", "Down", false, false});
}

void up_through_one_bit(benchmark::State& state)
{
    run_presses(state, {"q[7]", "Up", false, false});
}

void a_name_found_nowhere(benchmark::State& state)
{
    run_presses(state, {"u9999|", "All", false, false});
}

void whole_word_expression(benchmark::State& state)
{
    run_presses(state, {"u[0-9]*1", "Down", true, true});
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
    add_case("down_through_the_pins", down_through_the_pins);
    add_case("up_through_one_bit", up_through_one_bit);
    add_case("a_name_found_nowhere", a_name_found_nowhere);
    add_case("whole_word_expression", whole_word_expression);
    sedq_ratio_reporter reporter("us", "256", "4096", 24.0);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per Find Next, 256 -> 4096 nodes");
    editors().clear();
    return 0;
}
