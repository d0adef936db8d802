// The data tab of a 1600 x 1000 window over 256 nodes (128 single registers and 8 buses of 16,
// expanded) with random samples, every sample valid:
//   repaint_fitted/N       the whole acquisition of N samples fitted into the window, repainted
//                          (N = 1024 and 131072: the repaint must not grow with the samples, 1.5x);
//   repaint_zoom/K         repainted after the K-th zoom step in from the fitted 131072 samples;
//   repaint_scroll/K       repainted after a scroll step of a page at zoom step K;
//   repaint_empty          the same view over a document without nodes (the floor: at most 20x);
//   repaint_wide_bus/W     a document of one bus of W members (64, 512, 4096) over 131072
//                          random samples, fitted, repainted (at most 20x the empty view);
//   repaint_wide_zoom/W/K  that bus (512 and 4096 members) after the K-th zoom step in from
//                          fitted, a third of the way into the log: the band texts of the
//                          visible samples (at most 20x the empty view at every step);
//   refresh_wide_bus/W     a document refresh that leaves the log as it was, with the window's
//                          own repaint and one more paint (at most 5x the plain repaint);
//   first_paint_wide_bus/W a new log of that bus arrives, the document refreshes and the window
//                          paints it for the first time: the log's rows read, the bus packed
//                          (5 repetitions; no target, shown for scale);
//   repaint_refreshed/K    a document refresh at zoom step K with the window's own repaint and one
//                          more paint (the log unchanged: its rows are kept; no target);
//   next_transition/N      the master time bar stepped over N samples to the one change at the
//                          end (time per sample at 8192 and 131072 within 1.5x);
//   next_transition_cold/N the same with the view's rows dropped before each search, as a new
//                          log leaves them: the rows of all nodes are read from the log first.
// The rows the painting reads are built from the log by the first paint; the timed paints read
// them. Each case is timed 15 times, the sizes interleaved; counters are microseconds per paint
// (nanoseconds per sample for the transition search), min / median / max.
#include "bench_editor.h"
#include "bench_support.h"
#include "host/standin/sdr_control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int SAMPLES = 15;
// A new log's first paint reads and packs the whole log: fewer repetitions.
constexpr int FIRST_PAINTS = 5;
constexpr int PAINTS = 5;
constexpr int BUSES = 8;
constexpr int BUS_WIDTH = 16;
constexpr int SINGLES = 128;
// Zoom steps from fitted, and the bus widths shown zoomed in.
constexpr int ZOOM_STEPS = 17;
constexpr int WIDE_ZOOMED[] = {512, 4096};

enum class DATA
{
    RANDOM,
    ONE_CHANGE_AT_THE_END,
    NO_NODES
};

// An editor window on the data tab of a document of 256 nodes and one log of `depth` samples.
struct EDITOR : SEDQ_BENCH_EDITOR
{
    EDITOR(int depth, DATA data)
        : SEDQ_BENCH_EDITOR(
              [depth, data](SDR_DATA_TRIGGER* trigger)
              {
                  if (data != DATA::NO_NODES)
                      add_rows(trigger, depth, data);
              },
              true)
    {
        view->on_fit_in_window();
        paint();
    }

    static std::string random_bits(int depth, std::mt19937& random)
    {
        std::string bits(size_t(depth), '0');
        for (char& bit : bits)
            bit = random() & 1 ? '1' : '0';
        return bits;
    }

    static void add_rows(SDR_DATA_TRIGGER* trigger, int depth, DATA data)
    {
        std::mt19937 random{unsigned(depth)};
        standin::sdr::log_spec log;
        log.depth = depth;
        const int leaves = BUSES * BUS_WIDTH + SINGLES;
        for (int leaf = 0; leaf < leaves; ++leaf)
        {
            standin::sdr::node_spec node;
            node.name = "top|core|n" + std::to_string(leaf);
            node.signal_type = SDR_STYPE_REGISTERED;
            standin::sdr::add_node(trigger, node);
            std::string bits = data == DATA::RANDOM ? random_bits(depth, random) : std::string(size_t(depth), '0');
            if (data == DATA::ONE_CHANGE_AT_THE_END && leaf == leaves - 1)
                bits.back() = '1';
            log.channels.push_back(std::move(bits));
        }
        for (int bus = BUSES - 1; bus >= 0; --bus)
            standin::sdr::add_group(trigger, SINGLES + bus * BUS_WIDTH, SINGLES + bus * BUS_WIDTH + BUS_WIDTH - 1,
                                    "bus" + std::to_string(bus), SDR_GTYPE_HEX);
        standin::sdr::make_log(trigger, log);
    }

    // Microseconds per paint.
    double time_paints()
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < PAINTS; ++i)
            paint();
        return double(timer.nsecsElapsed()) / PAINTS / 1e3;
    }
};

std::map<std::pair<int, int>, std::unique_ptr<EDITOR>>& editors()
{
    static std::map<std::pair<int, int>, std::unique_ptr<EDITOR>> built;
    return built;
}

EDITOR& editor(int depth, DATA data)
{
    auto& slot = editors()[{depth, int(data)}];
    if (!slot)
        slot = std::make_unique<EDITOR>(depth, data);
    return *slot;
}

void report(benchmark::State& state, double microseconds)
{
    state.SetIterationTime(microseconds / 1e6);
    state.counters["us"] = microseconds;
}

void repaint_fitted(benchmark::State& state)
{
    EDITOR& e = editor(int(state.range(0)), DATA::RANDOM);
    e.view->on_fit_in_window();
    e.paint();
    for (auto _ : state)
        report(state, e.time_paints());
}

// The view zoomed in from fitted by `steps` zoom steps, a third of the way into the log.
void zoom_from_fitted(SEDQ_VIEW* view, int64_t steps)
{
    view->on_fit_in_window();
    for (int step = 0; step < steps; ++step)
        view->zoom_in(nullptr, nullptr);
    view->get_horizontal_scroll_bar()->setValue(view->get_horizontal_scroll_bar()->maximum() / 3);
}

// Each zoom step is taken before the timed paints, which then repaint it.
void repaint_zoom(benchmark::State& state)
{
    EDITOR& e = editor(131072, DATA::RANDOM);
    for (auto _ : state)
    {
        zoom_from_fitted(e.view, state.range(0));
        report(state, e.time_paints());
    }
}

// A page step forward before each paint, back to the start at the end of the data.
void repaint_scroll(benchmark::State& state)
{
    EDITOR& e = editor(131072, DATA::RANDOM);
    e.view->on_fit_in_window();
    for (int step = 0; step < state.range(0); ++step)
        e.view->zoom_in(nullptr, nullptr);
    QScrollBar* bar = e.view->get_horizontal_scroll_bar();
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < PAINTS; ++i)
        {
            bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
            e.paint();
        }
        report(state, double(timer.nsecsElapsed()) / PAINTS / 1e3);
    }
}

// A refresh drops the rows the painting keeps; the next paint reads the visible ones again.
void repaint_refreshed(benchmark::State& state)
{
    EDITOR& e = editor(131072, DATA::RANDOM);
    e.view->on_fit_in_window();
    for (int step = 0; step < state.range(0); ++step)
        e.view->zoom_in(nullptr, nullptr);
    for (auto _ : state)
    {
        double total = 0;
        for (int i = 0; i < PAINTS; ++i)
        {
            // The shown window repaints itself while the refresh is delivered: both are timed.
            QElapsedTimer timer;
            timer.start();
            e.manager->update_all_views(nullptr, 0x20000001);
            EDITOR::settle();
            e.paint();
            total += double(timer.nsecsElapsed());
        }
        report(state, total / PAINTS / 1e3);
    }
}

// One bus of `width` members over WIDE_DEPTH random samples, fitted into the window: the bus
// row shows its name and value, the member rows below it fill the window.
struct WIDE_EDITOR : SEDQ_BENCH_EDITOR
{
    explicit WIDE_EDITOR(int width)
        : SEDQ_BENCH_EDITOR([width](SDR_DATA_TRIGGER* data) { add_bus(data, width); }, true), width(width)
    {
        view->on_fit_in_window();
        paint();
    }

    static void add_bus(SDR_DATA_TRIGGER* trigger, int width)
    {
        for (int member = 0; member < width; ++member)
        {
            standin::sdr::node_spec node;
            node.name = "top|core|wide[" + std::to_string(member) + "]";
            node.signal_type = SDR_STYPE_REGISTERED;
            standin::sdr::add_node(trigger, node);
        }
        standin::sdr::add_group(trigger, 0, width - 1, "wide", SDR_GTYPE_HEX);
        add_log(trigger, width, unsigned(width));
    }

    // A new acquisition of the bus, made the shown log: the log is made with its marks, its
    // samples then replaced by random ones packed directly (a wide log's bit strings would take
    // a byte per sample).
    static void add_log(SDR_DATA_TRIGGER* trigger, int width, unsigned seed)
    {
        standin::sdr::log_spec made;
        made.depth = WIDE_DEPTH;
        made.channels.assign(size_t(width), std::string());
        SDR_DATA_LOG* log = standin::sdr::make_log(trigger, made);
        auto payload = std::make_shared<SDR_LOG_PAYLOAD>(*log->m_payload);
        std::mt19937_64 random{seed};
        for (qint64 i = 0; i + 8 <= payload->channel_bits.size(); i += 8)
        {
            const quint64 word = random();
            std::memcpy(payload->channel_bits.data() + i, &word, 8);
        }
        log->m_payload = std::move(payload);
    }

    void add_log(unsigned seed) { add_log(SEDQ_REPOSITORY::trigger_nodes(manager, -1)->get_data_trigger(), width, seed); }

    double time_paints()
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < PAINTS; ++i)
            paint();
        return double(timer.nsecsElapsed()) / PAINTS / 1e3;
    }

    // The document refreshes (the window repaints itself) and the window is painted once more.
    double time_refresh_and_paint()
    {
        QElapsedTimer timer;
        timer.start();
        manager->update_all_views(nullptr, 0x20000001);
        settle();
        paint();
        return double(timer.nsecsElapsed()) / 1e3;
    }

    static constexpr int WIDE_DEPTH = 131072;
    int width;
};

std::map<int, std::unique_ptr<WIDE_EDITOR>>& wide_editors()
{
    static std::map<int, std::unique_ptr<WIDE_EDITOR>> built;
    return built;
}

WIDE_EDITOR& wide_editor(int width)
{
    auto& slot = wide_editors()[width];
    if (!slot)
        slot = std::make_unique<WIDE_EDITOR>(width);
    return *slot;
}

void repaint_wide_bus(benchmark::State& state)
{
    WIDE_EDITOR& e = wide_editor(int(state.range(0)));
    for (auto _ : state)
        report(state, e.time_paints());
}

// The bus zoomed in from fitted, each step taken before the timed paints.
void repaint_wide_zoom(benchmark::State& state)
{
    WIDE_EDITOR& e = wide_editor(int(state.range(0)));
    for (auto _ : state)
    {
        zoom_from_fitted(e.view, state.range(1));
        report(state, e.time_paints());
    }
    e.view->on_fit_in_window();
}

// A refresh that leaves the log as it was, with the window's own repaint and one more paint.
void refresh_wide_bus(benchmark::State& state)
{
    WIDE_EDITOR& e = wide_editor(int(state.range(0)));
    for (auto _ : state)
    {
        double total = 0;
        for (int i = 0; i < PAINTS; ++i)
            total += e.time_refresh_and_paint();
        report(state, total / PAINTS);
    }
}

// A new log arrives (made outside the timing), the document refreshes and the window paints
// it for the first time: its rows are read and the bus packed.
void first_paint_wide_bus(benchmark::State& state)
{
    WIDE_EDITOR& e = wide_editor(int(state.range(0)));
    unsigned seed = 1;
    for (auto _ : state)
    {
        e.add_log(++seed);
        report(state, e.time_refresh_and_paint());
    }
}

void repaint_empty(benchmark::State& state)
{
    EDITOR& e = editor(0, DATA::NO_NODES);
    for (auto _ : state)
        report(state, e.time_paints());
}

// The master at sample 0, the only change at the last sample of the last node; with `cold` the
// view's rows are dropped before each search, so the search reads them from the log first.
void search(benchmark::State& state, bool cold)
{
    const int depth = int(state.range(0));
    EDITOR& e = editor(depth, DATA::ONE_CHANGE_AT_THE_END);
    e.view->insert_timebar(0);
    e.view->on_next_transition();
    for (auto _ : state)
    {
        double total = 0;
        for (int i = 0; i < PAINTS; ++i)
        {
            e.view->on_delete_all_time_bars();
            e.view->insert_timebar(0);
            if (cold)
                e.view->get_wave_summary().clear();
            QElapsedTimer timer;
            timer.start();
            e.view->on_next_transition();
            total += double(timer.nsecsElapsed());
        }
        const double nanoseconds = total / PAINTS;
        state.SetIterationTime(nanoseconds / 1e9);
        state.counters["ns_per_sample"] = nanoseconds / depth;
        if (e.view->get_timebar(0) != depth - 1)
            state.SkipWithError("the search did not stop at the change");
    }
}

void next_transition(benchmark::State& state)
{
    search(state, false);
}

void next_transition_cold(benchmark::State& state)
{
    search(state, true);
}

void add_case(benchmark::internal::Benchmark* b)
{
    sedq_bench_repeated(b, SAMPLES);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    add_case(benchmark::RegisterBenchmark("repaint_fitted", repaint_fitted)->Arg(1024)->Arg(131072));
    add_case(benchmark::RegisterBenchmark("repaint_empty", repaint_empty));
    add_case(benchmark::RegisterBenchmark("repaint_wide_bus", repaint_wide_bus)->Arg(64)->Arg(512)->Arg(4096));
    add_case(benchmark::RegisterBenchmark("refresh_wide_bus", refresh_wide_bus)->Arg(64)->Arg(512)->Arg(4096));
    auto* wide_zoom = benchmark::RegisterBenchmark("repaint_wide_zoom", repaint_wide_zoom);
    for (int width : WIDE_ZOOMED)
        for (int step = 1; step <= ZOOM_STEPS; ++step)
            wide_zoom->Args({width, step});
    add_case(wide_zoom);
    sedq_bench_repeated(benchmark::RegisterBenchmark("first_paint_wide_bus", first_paint_wide_bus), FIRST_PAINTS)
        ->Arg(64)
        ->Arg(512)
        ->Arg(4096);
    auto* zoom = benchmark::RegisterBenchmark("repaint_zoom", repaint_zoom);
    for (int step = 1; step <= ZOOM_STEPS; ++step)
        zoom->Arg(step);
    add_case(zoom);
    add_case(benchmark::RegisterBenchmark("repaint_scroll", repaint_scroll)->Arg(2)->Arg(8)->Arg(14));
    add_case(benchmark::RegisterBenchmark("repaint_refreshed", repaint_refreshed)->Arg(0)->Arg(8));
    add_case(benchmark::RegisterBenchmark("next_transition", next_transition)->Arg(8192)->Arg(131072));
    add_case(benchmark::RegisterBenchmark("next_transition_cold", next_transition_cold)->Arg(8192)->Arg(131072));
    sedq_counter_reporter reporter;
    sedq_run_interleaved(argc, argv, &reporter);
    std::printf("\nmicroseconds per repaint (nanoseconds per sample of the search), min / median / max, against "
                "the median of the base\n");
    reporter.print_ratio("fitted 131072 vs 1024 samples", "repaint_fitted/131072:us", "repaint_fitted/1024:us", 1.5);
    for (int step = 1; step <= ZOOM_STEPS; ++step)
        reporter.print_ratio(("zoom step " + std::to_string(step) + " vs empty").c_str(),
                             "repaint_zoom/" + std::to_string(step) + ":us", "repaint_empty/:us", 20.0);
    for (int width : WIDE_ZOOMED)
        for (int step = 1; step <= ZOOM_STEPS; ++step)
            reporter.print_ratio(("bus of " + std::to_string(width) + ", zoom step " + std::to_string(step) + " vs empty")
                                     .c_str(),
                                 "repaint_wide_zoom/" + std::to_string(width) + "/" + std::to_string(step) + ":us",
                                 "repaint_empty/:us", 20.0);
    for (int step : {2, 8, 14})
        reporter.print_ratio(("scroll at zoom step " + std::to_string(step) + " vs empty").c_str(),
                             "repaint_scroll/" + std::to_string(step) + ":us", "repaint_empty/:us", 20.0);
    for (int width : {64, 512, 4096})
        reporter.print_ratio(("bus of " + std::to_string(width) + " members vs empty").c_str(),
                             "repaint_wide_bus/" + std::to_string(width) + ":us", "repaint_empty/:us", 20.0);
    for (int width : {64, 512, 4096})
        reporter.print_ratio(("refresh, bus of " + std::to_string(width) + " vs its repaint").c_str(),
                             "refresh_wide_bus/" + std::to_string(width) + ":us",
                             "repaint_wide_bus/" + std::to_string(width) + ":us", 5.0);
    for (int width : {64, 512, 4096})
        reporter.print_ratio(("new log, bus of " + std::to_string(width) + " (no target)").c_str(),
                             "first_paint_wide_bus/" + std::to_string(width) + ":us",
                             "repaint_wide_bus/" + std::to_string(width) + ":us", 1e9);
    for (int step : {0, 8})
        reporter.print_ratio(("refreshed at zoom step " + std::to_string(step) + " vs empty (no target)").c_str(),
                             "repaint_refreshed/" + std::to_string(step) + ":us", "repaint_empty/:us", 1e9);
    reporter.print_ratio("next transition 131072 vs 8192", "next_transition/131072:ns_per_sample",
                         "next_transition/8192:ns_per_sample", 1.5);
    reporter.print_ratio("cold next transition 131072 vs 8192", "next_transition_cold/131072:ns_per_sample",
                         "next_transition_cold/8192:ns_per_sample", 1.5);
    editors().clear();
    wide_editors().clear();
    return 0;
}
