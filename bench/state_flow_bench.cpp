// The state-based trigger flow page as a user meets it, in the editor window (1600 x 1000,
// offscreen). Every case is timed until the event loop has nothing left to do: the model's
// queued refreshes delivered to every pane and the window painted.
//   typing/L/S/P        one key typed in the flow editor of all states holding a unified flow
//                       of L lines (L = 10, 100, 1,000, 5,000; bodies of if/else branches,
//                       counters, flags, gotos) laid out as S: 0, many short states (9 lines
//                       each), or 1, one state; at the end of a line at P: 0, the state's (or
//                       the text's) first body line, 1, its middle line, 2, its last line: a
//                       letter, then Backspace, in turn, after one of each typed untimed (the
//                       first proposals read the state's lines once); microseconds per key.
//   editor_typing/L/S/P the same keys in the flow editor widget alone (its highlighting,
//                       proposals and popups over the window's names), its text reported to
//                       nobody: the editor's own work, without the model's undo step and the
//                       panes' refreshes.
//   plain_typing/L/S/P  the same keys in a plain QTextEdit of the editor's size and font holding
//                       the same text, the cursor on the same line. Target: typing and
//                       editor_typing within 3x plain_typing at every length, layout and place.
//   page/N          a saved document whose flow text has N states (N = 20, 1,024, 4,096, 65,536),
//                   each going to the next, opened and its flow page shown one window per state;
//                   milliseconds. A flow splits into at most 4,096 states (the headers past the
//                   last stay in its body), so 65,536 shows 4,096 editors, the last holding the
//                   rest. Target: seconds, and no more than the 4,096 editors take.
//   large_text/K    a saved document whose one state holds K KiB of flow text opened and its page
//                   shown (K = 195: 100,000 nested parentheses on one line; K = 7,680: 7.5 MiB of
//                   statements, 359,000 lines); milliseconds.
// The page cases also report peak_MiB, the process's peak resident memory so far: run one size
// per process (--benchmark_filter=page/4096) for the peak of that size alone.
// Typing is timed 15 times (20 keys each), the pages 3 times, sizes interleaved; min / median /
// max. The summary prints typing and editor_typing against plain_typing at each size, layout
// and place. A case that cannot be done ends the benchmark with exit code 1.
#include "bench_support.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_state_text_edit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <cstdio>
#include <map>
#include <memory>

#include <sys/resource.h>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int TYPING_SAMPLES = 15;
constexpr int PAGE_SAMPLES = 3;
constexpr int KEYS_PER_SAMPLE = 20;
constexpr int NAMES_PER_KIND = 4;
const int TYPED_LINES[] = {10, 100, 1000, 5000};
// How the typed flow is laid out, and where in it the keys go.
enum TYPED_LAYOUT
{
    SHORT_STATES,
    ONE_STATE
};
enum TYPED_PLACE
{
    AT_START,
    IN_MIDDLE,
    AT_END
};
const char* const LAYOUT_NAMES[] = {"short states", "one state"};
const char* const PLACE_NAMES[] = {"start", "middle", "end"};
// A short state: its header, one body of seven lines and a blank line.
constexpr int SHORT_STATE_LINES = 9;

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

double peak_mib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Seven lines of a state's body over the names the host gives (flag1, counter1, Condition 1).
QString body(int state, int part, int states)
{
    const int n = (state + part) % NAMES_PER_KIND + 1;
    return QString("if (Condition %1 && !flag%1) begin\n"
                   "    increment counter%1;\n"
                   "    goto ST%2;\n"
                   "end\n"
                   "else if (counter%1 >= %4 || flag%3) set flag%1;\n"
                   "start_store;\n"
                   "trigger;\n")
        .arg(n)
        .arg((state + 1) % states + 1)
        .arg(NAMES_PER_KIND - n + 1)
        .arg(part * 7 + 5);
}

// A unified flow of about `lines` lines laid out as `layout` says.
QString unified_flow(int lines, TYPED_LAYOUT layout)
{
    const int states = layout == ONE_STATE ? 1 : qMax(1, lines / SHORT_STATE_LINES);
    const int parts = qMax(1, (lines - 2 * states) / (states * 7));
    QString text;
    for (int s = 0; s < states; ++s)
    {
        text += QString("state ST%1:\n").arg(s + 1);
        for (int p = 0; p < parts; ++p)
            text += body(s, p, states);
        text += "\n";
    }
    return text;
}

// A flow of `states` states, each going to the next.
QString chain_flow(int states)
{
    QString text;
    for (int s = 0; s < states; ++s)
        text += QString("state ST%1:\nif (Condition 1) goto ST%2;\n").arg(s + 1).arg((s + 1) % states + 1);
    return text;
}

// One state holding `kib` KiB: statements, or one line of nested parentheses.
QString large_flow(int kib, bool nested)
{
    if (nested)
        return "state ST1:\nif " + QString(100000, '(') + "Condition 1" + QString(100000, ')') + " trigger;\n";
    QString text = "state ST1:\n";
    for (int part = 0; text.size() < kib * 1024; ++part)
        text += body(0, part, 1);
    return text;
}

// The editor window over a new state-based document with four names of each kind, its flow
// page in front.
struct FLOW_WINDOW
{
    FLOW_WINDOW()
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        manager = frame->get_tx_manager();
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
        SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::trigger_nodes(manager, -1);
        trigger->set_state_based(true);
        trigger->set_num_levels(NAMES_PER_KIND);
        trigger->set_flag_count(NAMES_PER_KIND);
        trigger->set_counter_count(NAMES_PER_KIND);
        manager->refresh_tx_cache();
        frame->resize(1600, 1000);
        frame->show();
        settle();
        manager->update_all_views(nullptr, 0x30000001);
        settle();
        show_flow_page(frame.get());
    }

    static void show_flow_page(SEDQ_FRAME_WND* frame)
    {
        QTabWidget* tabs = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
        for (int i = 0; tabs != nullptr && i < tabs->count(); ++i)
            if (tabs->tabText(i) == QLatin1String(SEDQ_STATE_FLOW_TAB_TITLE))
                tabs->setCurrentIndex(i);
        settle();
    }

    void set_display(bool all_states)
    {
        frame->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(all_states ? 1 : 0);
        settle();
    }

    // The flow pasted into the editor of all states, as a user would.
    SEDQ_STATE_TEXT_EDIT* paste_unified(const QString& text)
    {
        set_display(true);
        auto* editor = frame->findChild<SEDQ_STATE_TEXT_EDIT*>();
        editor->setFocus();
        editor->selectAll();
        editor->insertPlainText(text);
        settle();
        return editor;
    }

    QTemporaryDir dir;
    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
    SEDQ_TX_MANAGER* manager = nullptr;
};

// The line where keys go: the first, middle or last line of the text that is a statement (not a
// state's header, not blank).
QTextBlock typed_line(QTextDocument* document, TYPED_PLACE place)
{
    const int count = document->blockCount();
    const int wanted = place == AT_START ? 0 : place == IN_MIDDLE ? count / 2 : count - 1;
    const int step = place == AT_END ? -1 : 1;
    for (QTextBlock block = document->findBlockByNumber(wanted); block.isValid();
         block = step > 0 ? block.next() : block.previous())
        if (!block.text().trimmed().isEmpty() && !block.text().startsWith(QLatin1String("state ")))
            return block;
    return QTextBlock();
}

// False when the text has no statement line to type at.
bool place_cursor(QTextEdit* editor, TYPED_PLACE place)
{
    const QTextBlock block = typed_line(editor->document(), place);
    if (!block.isValid())
        return false;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
    editor->setFocus();
    settle();
    return true;
}

// Microseconds per key of KEYS_PER_SAMPLE keys, each followed by the event loop's work.
double time_keys(QWidget* target)
{
    QElapsedTimer timer;
    timer.start();
    for (int k = 0; k < KEYS_PER_SAMPLE; ++k)
    {
        QTest::keyClick(target, k % 2 == 0 ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier);
        settle();
    }
    return double(timer.nsecsElapsed()) / 1e3 / KEYS_PER_SAMPLE;
}

// A key and Backspace first, untimed: the first proposals after an editor opens read the lines
// of their state once, as Qt lays the text out once; what is timed is the typing that follows.
void run_keys(benchmark::State& state, QWidget* target)
{
    QTest::keyClick(target, Qt::Key_A, Qt::NoModifier);
    settle();
    QTest::keyClick(target, Qt::Key_Backspace, Qt::NoModifier);
    settle();
    for (auto _ : state)
    {
        const double us = time_keys(target);
        state.SetIterationTime(us / 1e6);
        state.counters["us"] = us;
    }
}

QString typed_text(const benchmark::State& state)
{
    return unified_flow(int(state.range(0)), TYPED_LAYOUT(state.range(1)));
}

TYPED_PLACE typed_place(const benchmark::State& state)
{
    return TYPED_PLACE(state.range(2));
}

void typing(benchmark::State& state)
{
    FLOW_WINDOW window;
    SEDQ_STATE_TEXT_EDIT* editor = window.paste_unified(typed_text(state));
    if (!place_cursor(editor, typed_place(state)))
        state.SkipWithError("the flow has no line to type at");
    run_keys(state, editor);
}

// Keys typed in `alone`, shown by itself at the size of the window's flow editor `shown`, with
// the same text, font and cursor line.
void run_keys_alone(benchmark::State& state, FLOW_WINDOW* window, QTextEdit* shown, QTextEdit* alone)
{
    alone->resize(shown->size());
    window->frame->hide();
    alone->show();
    settle();
    if (!place_cursor(alone, typed_place(state)))
        state.SkipWithError("the flow has no line to type at");
    run_keys(state, alone);
}

// The editor widget alone: its highlighting, proposals and popups, with the window's names,
// its text changes reported to nobody.
void editor_typing(benchmark::State& state)
{
    FLOW_WINDOW window;
    SEDQ_STATE_TEXT_EDIT* shown = window.paste_unified(typed_text(state));
    SEDQ_STATE_TEXT_EDIT editor(window.manager, 0, -1);
    editor.load_text(shown->toPlainText());
    run_keys_alone(state, &window, shown, &editor);
}

void plain_typing(benchmark::State& state)
{
    FLOW_WINDOW window;
    SEDQ_STATE_TEXT_EDIT* shown = window.paste_unified(typed_text(state));
    QTextEdit plain;
    plain.setFont(shown->font());
    plain.setPlainText(shown->toPlainText());
    run_keys_alone(state, &window, shown, &plain);
}

// A saved document whose flow is `text`, shown one window per state when opened. The text is
// handed to the model as the editor hands it a paste: a paste of megabytes into the editor's
// font stalls in Qt's own layout, and this is a document read from a file.
QString saved_document(const QString& text, const QString& name)
{
    static QTemporaryDir dir;
    FLOW_WINDOW window;
    window.set_display(true);
    window.manager->set_unified_state_text(text);
    settle();
    window.set_display(false);
    const QString path = dir.filePath(name);
    window.manager->save_document(path.toLocal8Bit().constData());
    return path;
}

void open_and_show(benchmark::State& state, const QString& path)
{
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        QUI_FRAME_INFO info;
        auto frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        frame->open_file(path);
        frame->resize(1600, 1000);
        frame->show();
        settle();
        FLOW_WINDOW::show_flow_page(frame.get());
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["peak_MiB"] = peak_mib();
        frame.reset();
        settle();
    }
}

void page(benchmark::State& state)
{
    static std::map<int, QString> paths;
    const int states = int(state.range(0));
    if (paths.count(states) == 0)
        paths[states] = saved_document(chain_flow(states), QString("states%1.vtl").arg(states));
    open_and_show(state, paths[states]);
}

void large_text(benchmark::State& state)
{
    static std::map<int, QString> paths;
    const int kib = int(state.range(0));
    if (paths.count(kib) == 0)
        paths[kib] = saved_document(large_flow(kib, kib == 195), QString("large%1.vtl").arg(kib));
    open_and_show(state, paths[kib]);
}

// Each size, layout and place of typing, in the window and in the editor alone, against the
// plain editor.
void print_typing_summary(const sedq_ratio_reporter& reporter)
{
    std::printf("\nmicroseconds per key, min / median / max, against a plain QTextEdit (target 3x)\n");
    for (int layout : {SHORT_STATES, ONE_STATE})
        for (int place : {AT_START, IN_MIDDLE, AT_END})
            for (int lines : TYPED_LINES)
                for (const char* name : {"typing", "editor_typing"})
                {
                    const std::string size =
                        std::to_string(lines) + "/" + std::to_string(layout) + "/" + std::to_string(place);
                    const double flow = reporter.value(name, size, "median");
                    const double plain = reporter.value("plain_typing", size, "median");
                    if (flow <= 0 || plain <= 0)
                        continue;
                    std::printf("  %-13s %-12s %-6s %5d lines  %8.1f / %8.1f / %8.1f  against  %8.1f / %8.1f / "
                                "%8.1f  ratio %5.2f%s\n",
                                name, LAYOUT_NAMES[layout], PLACE_NAMES[place], lines,
                                reporter.value(name, size, "min"), flow, reporter.value(name, size, "max"),
                                reporter.value("plain_typing", size, "min"), plain,
                                reporter.value("plain_typing", size, "max"), flow / plain,
                                flow / plain <= 3.0 ? "" : "  (over the target)");
                }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    for (auto* run : {benchmark::RegisterBenchmark("typing", typing), benchmark::RegisterBenchmark("editor_typing", editor_typing),
                      benchmark::RegisterBenchmark("plain_typing", plain_typing)})
    {
        for (int lines : TYPED_LINES)
            for (int layout : {SHORT_STATES, ONE_STATE})
                for (int place : {AT_START, IN_MIDDLE, AT_END})
                    run->Args({lines, layout, place});
        sedq_bench_repeated(run, TYPING_SAMPLES);
    }
    sedq_bench_repeated(benchmark::RegisterBenchmark("page", page)->Arg(20)->Arg(1024)->Arg(4096)->Arg(65536), PAGE_SAMPLES);
    sedq_bench_repeated(benchmark::RegisterBenchmark("large_text", large_text)->Arg(195)->Arg(7680), PAGE_SAMPLES);
    sedq_ratio_reporter reporter("us", "1000", "5000", 3.0);
    sedq_run_interleaved(argc, argv, &reporter);
    print_typing_summary(reporter);
    return reporter.exit_code();
}
