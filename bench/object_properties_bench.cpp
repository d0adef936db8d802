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
// Third, one Insert or one Append as the user meets it on the canvas of an editor window,
// started from its menu command: the objects the command makes and links, its dialog (built
// by the canvas's first command and kept, filled anew, shown modally with exec, answered on its
// first event-loop turn and closed), the canvas repaint under the dialog and the one after it.
// Conditions of about 30 and 300 objects (a Logical And per eight Comparisons of a four-bit Bus
// against a Bus Value); the command goes to each object in turn (nodes, buses, values,
// operators, the Result); the dialog is cancelled, or accepted and the command undone
// afterwards, untimed. Milliseconds of one command, min / median / max over 25 commands per case.
#include "bench_support.h"
#include "canvas_bench_support.h"

#include "host/standin/qui_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

#include <map>
#include <memory>

namespace
{
constexpr int SAMPLES = 15;
constexpr int COMMAND_SAMPLES = 25;
constexpr int BUS_WIDTH = 4;

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

QString node_name(int comparison, int bit)
{
    return QStringLiteral("top|cmp%1|q[%2]").arg(comparison).arg(bit);
}

// The comparisons a condition of about `objects` objects holds: each is BUS_WIDTH + 3 objects,
// and every eighth brings a Logical And.
int comparison_count(int objects)
{
    return qMax(1, (objects - 2) * 8 / ((BUS_WIDTH + 3) * 8 + 1));
}

// An editor window whose canvas shows such a condition, the document tapping every node.
struct COMMAND_EDITOR : SEDQ_BENCH_CANVAS_EDITOR
{
    explicit COMMAND_EDITOR(int objects)
        : SEDQ_BENCH_CANVAS_EDITOR(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS,
                                   [objects](SDR_DATA_TRIGGER* t) {
                                       for (int i = 0; i < comparison_count(objects); ++i)
                                           for (int bit = 0; bit < BUS_WIDTH; ++bit)
                                               standin::sdr::add_node(t, {node_name(i, bit).toStdString()});
                                   })
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        SEDQ_OBJECT* result = list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
        result->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        SEDQ_OBJECT* logical = sedq_bench_add_input(result, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
        for (int i = 0; i < comparison_count(objects); ++i)
        {
            if (i > 0 && i % 8 == 0)
                logical = sedq_bench_add_input(logical, SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
            SEDQ_OBJECT* comparison = sedq_bench_add_input(logical, SEDQ_OBJECT::LIBRARY_EQUALITY);
            SEDQ_OBJECT* bus = sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS);
            for (int bit = 0; bit < BUS_WIDTH; ++bit)
            {
                auto* node = static_cast<SEDQ_OBJECT*>(
                    bus->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
                node->set_type(SEDQ_OBJECT::NODE);
                node->set_name(node_name(i, bit).toLocal8Bit().constData());
            }
            SEDQ_OBJECT* value = sedq_bench_add_input(comparison, SEDQ_OBJECT::LIBRARY_BUS_VALUE);
            value->get_property().set_setting_text(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("a"),
                                                   SEDQ_PROPERTY::BY_CONTEXT);
        }
        manager->update_all_views(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
        canvas->arrange_objects();
        canvas->ensure_visible(result);
        settle();
    }

    // One command on the object at `step` (counted round the list), timed from the menu
    // command to the end of the repaint that follows it.
    double run(AFCQ_ACTION_ENUM command, bool accept, int step)
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        canvas->select(list->at(step % list->size()));
        canvas->update_all_rules();
        settle();
        QAction* action = manager->get_action(command, QVariant());
        if (!action->isEnabled())
            fail("the command is not offered");
        standin::qui::push_dialog_answer(QString(), accept ? QDialog::Accepted : QDialog::Rejected);
        QElapsedTimer timer;
        timer.start();
        action->trigger();
        settle();
        const double ns = double(timer.nsecsElapsed());
        if (standin::qui::pending_dialog_answers() != 0 || !standin::qui::unanswered_dialogs().empty())
            fail("the dialog was not answered");
        if (accept)
        {
            canvas->on_edit_undo();
            settle();
        }
        return ns;
    }

    [[noreturn]] static void fail(const char* why)
    {
        std::fprintf(stderr, "object_properties_bench: %s\n", why);
        std::exit(1);
    }
};

// Kept while the cases run; closed before the application, which the windows need.
std::map<int, std::unique_ptr<COMMAND_EDITOR>>& command_editors()
{
    static std::map<int, std::unique_ptr<COMMAND_EDITOR>> editors;
    return editors;
}

COMMAND_EDITOR& command_editor(int objects)
{
    auto& editor = command_editors()[objects];
    if (!editor)
        editor = std::make_unique<COMMAND_EDITOR>(objects);
    return *editor;
}

template <AFCQ_ACTION_ENUM COMMAND, bool ACCEPT> void run_command(benchmark::State& state)
{
    COMMAND_EDITOR& editor = command_editor(int(state.range(0)));
    static int step = 0;
    for (auto _ : state)
    {
        // A prime stride walks the objects in an order unrelated to the list's.
        step += 7;
        const double ns = editor.run(COMMAND, ACCEPT, step);
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
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_properties", open_properties), SAMPLES)
        ->Arg(100)
        ->Arg(1000)
        ->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_insertion", open_insertion), SAMPLES)
        ->Arg(100)
        ->Arg(1000)
        ->Arg(10000);
    const struct
    {
        const char* name;
        void (*run)(benchmark::State&);
    } commands[] = {
        {"insert_cancelled", run_command<AFCQ_SEDQ_OBJECT_INSERT_ACTION, false>},
        {"insert_accepted", run_command<AFCQ_SEDQ_OBJECT_INSERT_ACTION, true>},
        {"append_cancelled", run_command<AFCQ_SEDQ_OBJECT_APPEND_ACTION, false>},
        {"append_accepted", run_command<AFCQ_SEDQ_OBJECT_APPEND_ACTION, true>},
    };
    for (const auto& command : commands)
        sedq_bench_repeated(benchmark::RegisterBenchmark(command.name, command.run), COMMAND_SAMPLES)
            ->Arg(30)
            ->Arg(300);
    sedq_ratio_reporter reporter("ms", "1000", "10000", 10.0);
    sedq_run_interleaved(argc, argv, &reporter);
    for (const char* name : {"open_properties", "open_insertion"})
    {
        std::printf("\n%s: milliseconds per opening, min / median / max\n", name);
        for (const char* size : {"100", "1000", "10000"})
            std::printf("  %6s objects  %8.2f / %8.2f / %8.2f\n", size, reporter.value(name, size, "min"),
                        reporter.value(name, size, "median"), reporter.value(name, size, "max"));
    }
    std::printf("\nInsert and Append from the menu, with the dialog and the repaints: milliseconds per command, "
                "min / median / max\n");
    for (const auto& command : commands)
        for (const char* size : {"30", "300"})
            std::printf("  %-17s %4s objects  %8.2f / %8.2f / %8.2f\n", command.name, size,
                        reporter.value(command.name, size, "min"), reporter.value(command.name, size, "median"),
                        reporter.value(command.name, size, "max"));
    const double small = reporter.value("open_properties", "1000", "median");
    if (small > 0)
        std::printf("\nopen_properties 1000 -> 10000 objects: ratio %.2f (at most 10)\n",
                    reporter.value("open_properties", "10000", "median") / small);
    command_editors().clear();
    return 0;
}
