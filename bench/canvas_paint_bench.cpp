// The advanced trigger canvas of a 1600 x 1000 window on a generated condition: Logical Ands
// over Comparisons of 8-bit Buses of Nodes (every one tapped by the document, so the condition
// is valid) against Bus Values, expanded and laid out by the tidy tree layout, the Result in
// view. Every case times one event as the user meets it:
// - repaint/1000, repaint/10000: one repaint of the whole canvas at zoom 10, showing the same
//   part of the drawing at both sizes; only what is on show is painted and a condition that
//   did not change is not checked again, so the larger drawing repaints within 1.5x of the
//   smaller one;
// - edit_repaint/1000, edit_repaint/10000: one repaint after a Bus Value changed: the whole
//   condition is checked again, so this one grows with the condition;
// - repaint_zoomed/10, repaint_zoomed/40: one repaint of the 1,000 objects at 1:1 and shrunk
//   four times, where more of the drawing is on show;
// - select_repaint/1000, select_repaint/10000: one repaint after a click selected another
//   Comparison in view (the listing's selected parts and both objects' frames change, the
//   condition's meaning does not);
// - strip_repaint/1000, strip_repaint/10000: the strip under the horizontal bar, which Qt
//   repaints beneath the bar whenever the bar changes;
// - close/10000, close/100000: closing the window after the condition was shown (its objects
//   and its first undo snapshot freed), with one collapsed Bus of three quarters of the objects
//   as inputs, as a very wide comparison has; closing is linear, so ten times the objects take
//   about ten times as long.
// Each case runs 15 times (the closes 5), all sizes interleaved; the figures are milliseconds
// of one event, min / median / max.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include "host/standin/sdr_control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegion>
#include <QScrollBar>

#include <map>
#include <memory>

namespace
{
constexpr int SAMPLES = 15;
constexpr int CLOSE_SAMPLES = 5;
constexpr int BUS_WIDTH = 8;

void add_input_node(SEDQ_OBJECT* bus, const QString& name)
{
    auto* node =
        static_cast<SEDQ_OBJECT*>(bus->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
    node->set_type(SEDQ_OBJECT::NODE);
    node->set_name(name.toLocal8Bit().constData());
}

QString node_name(int comparison, int bit)
{
    return QStringLiteral("top|u%1|q[%2]").arg(comparison).arg(bit);
}

// One Comparison: a Bus of `width` named Nodes against a Bus Value; width + 3 objects.
void add_comparison(SEDQ_OBJECT* parent, int index, int width)
{
    SEDQ_OBJECT* comparison = sedq_bench_add_input(parent, SEDQ_OBJECT::LIBRARY_EQUALITY);
    SEDQ_OBJECT* bus = sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS);
    for (int bit = 0; bit < width; ++bit)
        add_input_node(bus, node_name(index, bit));
    if (width > BUS_WIDTH)
        bus->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    SEDQ_OBJECT* value = sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS_VALUE);
    value->get_property().set_setting_text(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("1f"),
                                           SEDQ_PROPERTY::BY_CONTEXT);
}

// The 8-bit comparisons a condition of about `objects` objects holds besides one of `wide`
// bits: the Result, a Logical And for every 8 comparisons, and each comparison's objects.
int comparisons(int objects, int wide)
{
    int total = 1 + (wide > 0 ? wide + 3 : 0);
    int count = 0;
    while (true)
    {
        const int more = BUS_WIDTH + 3 + (count % 8 == 0 ? 1 : 0);
        if (total + more > objects)
            return count;
        total += more;
        ++count;
    }
}

// The document taps every node the condition names, so that the condition is valid and a
// validation walks all of it.
void add_tapped_nodes(SDR_DATA_TRIGGER* trigger, int count)
{
    for (int i = 0; i < count; ++i)
        for (int bit = 0; bit < BUS_WIDTH; ++bit)
            standin::sdr::add_node(trigger, {node_name(i, bit).toStdString()});
}

struct CANVAS_BENCH : SEDQ_BENCH_CANVAS_EDITOR
{
    // `wide`: the bits of one collapsed wide Comparison besides the 8-bit ones; `tapped`: the
    // document taps the nodes the condition names.
    CANVAS_BENCH(int objects, int wide, bool tapped)
        : SEDQ_BENCH_CANVAS_EDITOR(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS,
                                   [&](SDR_DATA_TRIGGER* t)
                                   {
                                       if (tapped)
                                           add_tapped_nodes(t, comparisons(objects, wide));
                                   })
    {
        canvas->resize(1600, 1000);
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        // The Result the canvas gave the condition when it was first shown.
        SEDQ_OBJECT* result = list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
        result->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        SEDQ_OBJECT* logical = sedq_bench_add_input(result, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
        if (wide > 0)
            add_comparison(logical, -1, wide);
        const int count = comparisons(objects, wide);
        for (int i = 0; i < count; ++i)
        {
            if (i > 0 && i % 8 == 0)
                logical = sedq_bench_add_input(logical, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
            add_comparison(logical, i, BUS_WIDTH);
        }
        manager->update_all_views(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
        canvas->arrange_objects();
        // The view on the Result, wherever the layout put the rest.
        canvas->ensure_visible(result);
        canvas->select(nullptr);
        canvas_image = QImage(canvas->size(), QImage::Format_ARGB32_Premultiplied);
    }

    QImage canvas_image;
};

std::map<int, std::unique_ptr<CANVAS_BENCH>>& benches()
{
    static std::map<int, std::unique_ptr<CANVAS_BENCH>> built;
    return built;
}

// One window per size, and others for the edits and the selections, so that no case sees
// another's changes.
enum class WINDOW
{
    SHOWN,
    EDITED,
    SELECTED
};

CANVAS_BENCH& bench(int objects, WINDOW window = WINDOW::SHOWN)
{
    auto& slot = benches()[objects * 4 + int(window)];
    if (!slot)
        slot = std::make_unique<CANVAS_BENCH>(objects, 0, true);
    return *slot;
}

double time_repaint(CANVAS_BENCH& b)
{
    QElapsedTimer timer;
    timer.start();
    b.canvas->render(&b.canvas_image);
    return double(timer.nsecsElapsed());
}

void report(benchmark::State& state, double ns)
{
    state.SetIterationTime(ns / 1e9);
    state.counters["ms"] = ns / 1e6;
}

void repaint(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(int(state.range(0)));
    b.canvas->set_zoom_positions(10);

    for (auto _ : state)
        report(state, time_repaint(b));
}

// A setting of a Bus Value in view changes back and forth, as the Properties dialog sets it.
void edit_repaint(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(int(state.range(0)), WINDOW::EDITED);
    b.canvas->set_zoom_positions(10);
    SEDQ_OBJECT* value = nullptr;
    for (SEDQ_OBJECT* object : *b.canvas->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::BUS_VALUE && value == nullptr)
            value = object;
    bool odd = false;
    for (auto _ : state)
    {
        odd = !odd;
        value->get_property().set_setting_text(SEDQ_PROPERTY::BUS_VALUE,
                                               odd ? QStringLiteral("1e") : QStringLiteral("1f"),
                                               SEDQ_PROPERTY::BY_CONTEXT);
        report(state, time_repaint(b));
    }
}

// Two Comparisons in view take the selection in turn.
void select_repaint(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(int(state.range(0)), WINDOW::SELECTED);
    b.canvas->set_zoom_positions(10);
    QVector<SEDQ_OBJECT*> shown;
    const QRect view = b.canvas->rect();
    for (SEDQ_OBJECT* object : *b.canvas->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::COMPARISON_OPERATOR && !object->is_hidden() &&
            view.contains(object->get_rect()))
            shown.append(object);
    if (shown.size() < 2)
    {
        state.SkipWithError("fewer than two comparisons in view");
        return;
    }
    bool odd = false;
    for (auto _ : state)
    {
        odd = !odd;
        b.canvas->select(odd ? shown.first() : shown.last());
        report(state, time_repaint(b));
    }
}

void strip_repaint(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(int(state.range(0)));
    b.canvas->set_zoom_positions(10);
    const QRect strip = b.canvas->get_horizontal_scroll_bar()->geometry();
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        b.canvas->render(&b.canvas_image, strip.topLeft(), QRegion(strip));
        report(state, double(timer.nsecsElapsed()));
    }
}

void repaint_zoomed(benchmark::State& state)
{
    CANVAS_BENCH& b = bench(1000);
    for (auto _ : state)
    {
        b.canvas->set_zoom_positions(int(state.range(0)));
        report(state, time_repaint(b));
    }
}

// A window is made, shows the condition (the canvas takes its first snapshot) and is closed;
// only the close is timed.
void close_window(benchmark::State& state)
{
    const int objects = int(state.range(0));
    for (auto _ : state)
    {
        auto b = std::make_unique<CANVAS_BENCH>(objects, objects * 3 / 4, false);
        b->canvas->save_undo_state(false);
        QElapsedTimer timer;
        timer.start();
        b.reset();
        report(state, double(timer.nsecsElapsed()));
    }
}
// One case at two sizes, min / median / max each, and the ratio of the medians.
void print_sizes(const sedq_ratio_reporter& reporter, const char* name, const char* small, const char* large,
                 const char* title, const char* note)
{
    const double from = reporter.value(name, small, "median");
    const double to = reporter.value(name, large, "median");
    if (from <= 0 || to <= 0)
        return;
    std::printf("%s %s -> %s: %.2f / %.2f / %.2f -> %.2f / %.2f / %.2f  ratio %.2f %s\n", title, small, large,
                reporter.value(name, small, "min"), from, reporter.value(name, small, "max"),
                reporter.value(name, large, "min"), to, reporter.value(name, large, "max"), to / from, note);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("repaint", repaint), SAMPLES)->Arg(1000)->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("edit_repaint", edit_repaint), SAMPLES)
        ->Arg(1000)
        ->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("repaint_zoomed", repaint_zoomed), SAMPLES)
        ->Arg(10)
        ->Arg(40);
    sedq_bench_repeated(benchmark::RegisterBenchmark("select_repaint", select_repaint), SAMPLES)
        ->Arg(1000)
        ->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("strip_repaint", strip_repaint), SAMPLES)
        ->Arg(1000)
        ->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("close", close_window), CLOSE_SAMPLES)
        ->Arg(10000)
        ->Arg(100000);
    sedq_ratio_reporter reporter("ms", "1000", "10000", 1.5);
    // A change anywhere makes every canvas look at its objects again at its next paint (a
    // zoom step moves every object): the repaints of unchanged drawings run by themselves, on
    // windows made and painted once beforehand.
    for (int objects : {1000, 10000})
        bench(objects);
    for (int objects : {1000, 10000})
        bench(objects).canvas->render(&bench(objects).canvas_image);
    sedq_run_interleaved(argc, argv, &reporter,
                         {"^repaint/|^strip_repaint/", "^repaint_zoomed/", "^edit_repaint/", "^select_repaint/",
                          "^close/"});
    reporter.print_summary("milliseconds per repaint, 1000 -> 10000 objects", "repaint");
    print_sizes(reporter, "edit_repaint", "1000", "10000", "milliseconds per repaint after an edit, objects",
                "(the condition checked anew)");
    print_sizes(reporter, "repaint_zoomed", "10", "40", "milliseconds per repaint of 1000 objects, zoom", "");
    print_sizes(reporter, "select_repaint", "1000", "10000", "milliseconds per repaint after a selection, objects",
                "(the listing written anew)");
    print_sizes(reporter, "strip_repaint", "1000", "10000",
                "milliseconds per repaint of the strip under the horizontal bar, objects", "");
    print_sizes(reporter, "close", "10000", "100000", "milliseconds per close, objects", "(linear: about 10)");
    benches().clear();
    return 0;
}
