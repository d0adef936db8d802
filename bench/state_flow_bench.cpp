// The state-based trigger flow page as a user meets it, in the editor window (1600 x 1000,
// offscreen), every case timed until the event loop has nothing left to do (the model's queued
// refreshes delivered and the window painted):
//   typing/L        one key typed in the flow editor holding a unified flow of L lines
//                   (L = 10, 100, 1,000, 5,000; 20 states at most, bodies of realistic
//                   statements), at the end of its middle line: a letter, then Backspace, in
//                   turn; microseconds per key.
//   plain_typing/L  the same keys in a plain QTextEdit of the same size holding the same text.
//                   Target: typing within 3x plain_typing at 1,000 and 5,000 lines.
//   page/N          the document of a flow of N states (N = 20, 1,024, 4,096) opened and its
//                   flow page shown one window per state; milliseconds, and the growth of the
//                   resident memory while it opens (MiB). Target: seconds and bounded memory.
//   large_text/K    the page of a unified flow text of K KiB (K = 7,680: 7.5 MiB of statements;
//                   K = 195: 100,000 nested parentheses on one line) shown; milliseconds.
// Each case runs 15 times (typing) or 3 times (pages), sizes interleaved; min / median / max.
#include "bench_support.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"

#include <QApplication>
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <cstdio>
#include <execinfo.h>
#include <QActionEvent>
#include <QAction>
#include <map>
#include <memory>

namespace
{
constexpr int TYPING_SAMPLES = 15;
constexpr int PAGE_SAMPLES = 3;
constexpr int KEYS_PER_SAMPLE = 20;
constexpr int NAMES_PER_KIND = 4;

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// Seven lines of one state's body over the default names of every kind.
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

// A unified flow of about `lines` lines over at most 20 states.
QString unified_flow(int lines)
{
    const int states = qBound(1, lines / 50, 20);
    const int parts = qMax(1, lines / (states * 7 + 1));
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

long resident_kib()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The editor window over a new state-based document with four of each name, its flow page
// in front.
struct FLOW_WINDOW
{
    FLOW_WINDOW()
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        manager = frame->get_tx_manager();
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
        SDR_TX_TRIGGER* trigger = manager->get_trigger_nodes(-1);
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
            if (tabs->tabText(i) == QLatin1String(SEDQ_LAYOUT_WIDGET::STATE_FLOW_TAB_TITLE))
                tabs->setCurrentIndex(i);
        settle();
    }

    // The flow pasted into the one editor of all states, as a user would.
    SEDQ_STATE_TEXT_EDIT* paste_unified(const QString& text)
    {
        frame->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
        settle();
        SEDQ_STATE_TEXT_EDIT* editor = frame->findChild<SEDQ_STATE_TEXT_EDIT*>();
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

void place_cursor_mid(QTextEdit* editor)
{
    const QTextBlock block = editor->document()->findBlockByNumber(editor->document()->blockCount() / 2);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
    editor->setFocus();
    settle();
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

struct SPY : QObject {
  std::map<std::string,int> counts;
  bool eventFilter(QObject* o, QEvent* e) override { if (e->type()==QEvent::Paint || e->type()==QEvent::LayoutRequest || e->type()==QEvent::MetaCall) counts[std::string(o->metaObject()->className())+"/"+std::to_string(e->type())+(e->type()==QEvent::Paint && o->parent()? std::string(" in ")+o->parent()->metaObject()->className()+" rect "+std::to_string(static_cast<QPaintEvent*>(e)->rect().width())+"x"+std::to_string(static_cast<QPaintEvent*>(e)->rect().height()):std::string())]++;
   if (e->type()==QEvent::ActionChanged && qEnvironmentVariableIsSet("BT") && o->inherits("QAction") && bt++ < 6) { std::fprintf(stderr, "---- enabled %d text %s\n", int(static_cast<QAction*>(o)->isEnabled()), qPrintable(static_cast<QAction*>(o)->text())); done=true; void* b[40]; int n=backtrace(b,40); backtrace_symbols_fd(b,n,2);} 
   if (e->type()==QEvent::ActionChanged) counts[std::string("AC/")+o->metaObject()->className()+"/"+static_cast<QActionEvent*>(e)->action()->text().toStdString()]++;
   return false; }
  bool done=false; int bt=0;
};
void typing(benchmark::State& state)
{
    FLOW_WINDOW window;
    SEDQ_STATE_TEXT_EDIT* editor = window.paste_unified(unified_flow(int(state.range(0))));
    place_cursor_mid(editor);
    if (qEnvironmentVariableIsSet("NOMODEL")) QObject::disconnect(editor, QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed), nullptr, nullptr);
    if (qEnvironmentVariableIsSet("LAYOUTS")) { int n = 0; auto c = QObject::connect(editor->document()->documentLayout(), &QAbstractTextDocumentLayout::update, [&n](const QRectF& r){ ++n; std::fprintf(stderr, "upd %g %g %g %g\n", r.x(), r.y(), r.width(), r.height()); }); time_keys(editor); std::fprintf(stderr, "layout updates per key: %g\n", n / 20.0); QObject::disconnect(c); }
    if (qEnvironmentVariableIsSet("LOOP")) for (int i = 0; i < qEnvironmentVariableIntValue("LOOP"); ++i) time_keys(editor);
    if (qEnvironmentVariableIsSet("SPY")) { SPY spy; qApp->installEventFilter(&spy); time_keys(editor); qApp->removeEventFilter(&spy);
      for (auto& c : spy.counts) std::printf("%s %d\n", c.first.c_str(), c.second); }
    for (auto _ : state)
    {
        const double us = time_keys(editor);
        state.SetIterationTime(us / 1e6);
        state.counters["us"] = us;
    }
}

void plain_typing(benchmark::State& state)
{
    FLOW_WINDOW window;
    SEDQ_STATE_TEXT_EDIT* editor = window.paste_unified(unified_flow(int(state.range(0))));
    QTextEdit plain;
    plain.setFont(editor->font());
    plain.setPlainText(editor->toPlainText());
    plain.resize(editor->size());
    window.frame->hide();
    plain.show();
    settle();
    place_cursor_mid(&plain);
    if (qEnvironmentVariableIsSet("LAYOUTS")) { int n = 0; auto c = QObject::connect(plain.document()->documentLayout(), &QAbstractTextDocumentLayout::update, [&n](const QRectF& r){ ++n; std::fprintf(stderr, "pupd %g %g %g %g\n", r.x(), r.y(), r.width(), r.height()); }); time_keys(&plain); std::fprintf(stderr, "plain layout updates per key: %g\n", n / 20.0); QObject::disconnect(c); }
    for (auto _ : state)
    {
        const double us = time_keys(&plain);
        state.SetIterationTime(us / 1e6);
        state.counters["us"] = us;
    }
}

// A saved document holding `text` as its flow, for the cases that open it.
QString saved_document(const QString& text, QTemporaryDir* dir, const QString& name)
{
    FLOW_WINDOW window;
    window.paste_unified(text);
    window.frame->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(0);
    settle();
    const QString path = dir->filePath(name);
    window.manager->save_document(path.toLocal8Bit().constData());
    return path;
}

void open_and_show(benchmark::State& state, const QString& path)
{
    for (auto _ : state)
    {
        const long before = resident_kib();
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
        state.counters["MiB"] = double(resident_kib() - before) / 1024.0;
        frame.reset();
        settle();
    }
}

QTemporaryDir& documents()
{
    static QTemporaryDir dir;
    return dir;
}

void page(benchmark::State& state)
{
    static std::map<int, QString> paths;
    const int states = int(state.range(0));
    if (paths.count(states) == 0)
        paths[states] = saved_document(chain_flow(states), &documents(), QString("states%1.vtl").arg(states));
    open_and_show(state, paths[states]);
}

void large_text(benchmark::State& state)
{
    static std::map<int, QString> paths;
    const int kib = int(state.range(0));
    if (paths.count(kib) == 0)
    {
        QString text;
        if (kib == 195)
            text = "state ST1:\nif " + QString(100000, '(') + "Condition 1" + QString(100000, ')') + " trigger;\n";
        else
            while (text.size() < kib * 1024)
                text += unified_flow(5000);
        paths[kib] = saved_document(text, &documents(), QString("large%1.vtl").arg(kib));
    }
    open_and_show(state, paths[kib]);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    for (auto* run : {benchmark::RegisterBenchmark("typing", typing), benchmark::RegisterBenchmark("plain_typing", plain_typing)})
        sedq_bench_repeated(run->Arg(10)->Arg(100)->Arg(1000)->Arg(5000), TYPING_SAMPLES);
    sedq_bench_repeated(benchmark::RegisterBenchmark("page", page)->Arg(20)->Arg(1024)->Arg(4096), PAGE_SAMPLES);
    sedq_bench_repeated(benchmark::RegisterBenchmark("large_text", large_text)->Arg(195)->Arg(7680), PAGE_SAMPLES);
    sedq_ratio_reporter reporter("us", "1000", "5000", 3.0);
    sedq_run_interleaved(argc, argv, &reporter);
    return 0;
}
