// Opening the Properties dialog on a multiple selection, without running it: the union of the
// selected bags, the parameter list and its first refresh, at 100, 1,000 and 10,000 selected
// objects of mixed kinds (Bus and Node in turn, which share the data delay, with names and
// delays that partly agree). The figure is milliseconds of one opening, min / median / max over
// 15 openings per size, the sizes interleaved. Building the dialog's widgets costs the same
// whatever the selection; the union is one pass over a fixed bag per object and the list
// depends only on the kinds, so ten times the objects take at most ten times as long.
// Second, the dialog as Insert and Append open it: the condition's objects unselected but for
// the new one, of no kind yet; the dialog is built, shown and closed (its own part of the wait,
// without the modal loop), on the General page it opens on.
#include "bench_support.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"

#include <QApplication>
#include <QElapsedTimer>

#include <map>
#include <memory>

namespace
{
constexpr int SAMPLES = 15;

// A condition of `count` selected objects, made once per size.
QList<SEDQ_OBJECT*>* selection(int count)
{
    static std::map<int, std::unique_ptr<SEDQ_TRIGGER_OBJECT>> conditions;
    auto& condition = conditions[count];
    if (!condition)
    {
        condition = std::make_unique<SEDQ_TRIGGER_OBJECT>();
        for (int i = 0; i < count; ++i)
        {
            auto* object = static_cast<SEDQ_OBJECT*>(
                condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
            object->set_type(i % 2 == 0 ? SEDQ_OBJECT::BUS : SEDQ_OBJECT::NODE);
            object->get_property().set(SEDQ_PROPERTY::NAME, QString("top|obj%1").arg(i % 7));
            object->get_property().set(SEDQ_PROPERTY::DATA_DELAY, i % 3);
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
        }
    }
    return condition->get_object_list();
}

// A condition of `count` objects as above, unselected, and a new object of no kind selected.
QList<SEDQ_OBJECT*>* insertion(int count)
{
    static std::map<int, std::unique_ptr<SEDQ_TRIGGER_OBJECT>> conditions;
    auto& condition = conditions[count];
    if (!condition)
    {
        condition = std::make_unique<SEDQ_TRIGGER_OBJECT>();
        for (int i = 0; i <= count; ++i)
        {
            auto* object = static_cast<SEDQ_OBJECT*>(
                condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
            const bool made = i == count;
            object->set_type(made ? SEDQ_OBJECT::UNKNOWN : i % 2 == 0 ? SEDQ_OBJECT::BUS : SEDQ_OBJECT::NODE);
            object->get_property().set(SEDQ_PROPERTY::NAME, made ? QString() : QString("top|obj%1").arg(i % 7));
            object->get_property().set(SEDQ_PROPERTY::SELECTED, made ? 1 : 0);
        }
    }
    return condition->get_object_list();
}

int open_dialog(int count)
{
    SEDQ_OBJECT_PROPERTIES_DLG dialog(nullptr, selection(count), nullptr, SEDQ_OBJECT::UNKNOWN, false,
                                      SEDQ_LOCK_MODE_ALLOW_ALL, false);
    return dialog.get_property()[SEDQ_PROPERTY::TYPE];
}

int open_and_close_insertion(int count)
{
    SEDQ_OBJECT_PROPERTIES_DLG dialog(nullptr, insertion(count), nullptr, SEDQ_OBJECT::UNKNOWN, true,
                                      SEDQ_LOCK_MODE_ALLOW_ALL, false);
    dialog.show();
    dialog.reject();
    return dialog.result();
}

// Times `open` (the dialog opened and closed over `count` objects) once per iteration, after
// `prepare` made the objects.
template <class PREPARE, class OPEN> void time_dialog(benchmark::State& state, PREPARE prepare, OPEN open)
{
    const int count = int(state.range(0));
    prepare(count);
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(open(count));
        const double ns = double(timer.nsecsElapsed());
        state.SetIterationTime(ns / 1e9);
        state.counters["ms"] = ns / 1e6;
    }
}

void open_insertion(benchmark::State& state)
{
    time_dialog(state, insertion, open_and_close_insertion);
}

void open_properties(benchmark::State& state)
{
    time_dialog(state, selection, open_dialog);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_properties", open_properties), SAMPLES)
        ->Arg(100)
        ->Arg(1000)
        ->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_insertion", open_insertion), SAMPLES)
        ->Arg(100)
        ->Arg(1000)
        ->Arg(10000);
    sedq_ratio_reporter reporter("ms", "1000", "10000", 10.0);
    sedq_run_interleaved(argc, argv, &reporter);
    for (const char* name : {"open_properties", "open_insertion"})
    {
        std::printf("\n%s: milliseconds per opening, min / median / max\n", name);
        for (const char* size : {"100", "1000", "10000"})
            std::printf("  %6s objects  %8.2f / %8.2f / %8.2f\n", size, reporter.value(name, size, "min"),
                        reporter.value(name, size, "median"), reporter.value(name, size, "max"));
    }
    const double small = reporter.value("open_properties", "1000", "median");
    if (small > 0)
        std::printf("\nopen_properties 1000 -> 10000 objects: ratio %.2f (at most 10)\n",
                    reporter.value("open_properties", "10000", "median") / small);
    return 0;
}
