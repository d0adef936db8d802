// Mnemonic tables in the editor window (1600 x 1000, offscreen), on documents of four instances
// (an 8-bit "opcode" bus and four single nodes each; instance 0 shows the bus through a table)
// and N user tables (names of varied length, widths of 1 to 32 bits, one to four entries each),
// written to a file and opened through the window, as a user opens them:
//   edit/N        the first edit after an Undo: a table added in the setup dialog and undone
//                 (untimed: the step left to redo wrote every table, as the dialog's OK does),
//                 then Insert Value on the bus with a new mnemonic (an entry added to its table
//                 and the value set, one edit) timed from the command to the window settled
//                 (every update delivered); undone again afterwards. N = 10 and 10,000; target:
//                 10,000 within 1.5x of 10 (no part of an edit walks the tables or rebuilds a
//                 page whose contents did not change).
//   add_table/N   the Mnemonic Table Setup dialog opened on the window, one table added (as its
//                 "Add Table" dialog adds it) and OK pressed, timed from the open to the window
//                 settled, then undone (untimed). N = 100, 800 and 2,000 tables; the counter
//                 us_per_table is the time over the tables the dialog shows (it loads all), and
//                 must stay within 1.5x from 100 to 2,000 (no add costs more than linear).
//   import/N      the Import Table dialog of the setup dialog on a source file of N tables
//                 (opened by the dialog), Select All, OK (the bus's table, in both, is not
//                 replaced), into a document holding only the bus's table, so that 65,536 fills
//                 it to the limit; timed from the dialog's construction to the window settled,
//                 then undone (untimed);
//   open/N        the same source file opened in a fresh window, timed to the window settled.
//                 N = 1,024 and 65,536; target: import/N within 2x of open/N at each size.
// Each case runs 7 times (65,536 tables 3 times), sizes interleaved; min / median / max. A case
// that cannot do what it measures (the document does not open, the dialog takes nothing) stops
// the program with a message and exit code 1.
#include "bench_support.h"
#include "bench_window.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"
#include "sedq/view/sedq_view.h"
#include "tests/support/next_dialog.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace
{
constexpr int REPETITIONS = 7;
constexpr int LARGE_REPETITIONS = 3;
constexpr int LARGE = 65536;
constexpr int INSTANCES = 4;
constexpr int BUS_WIDTH = 8;
const char* const BUS_TABLE = "opcode : width = 8";

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The documents go with the message: the program ends without unwinding.
[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "mnemonic_tables_bench: %s\n", what.c_str());
    std::fflush(stderr);
    folder().remove();
    std::_Exit(1);
}

// The tables as users and "Add State Machine Nodes" make them: varied names and widths; the
// first is the bus's table, the others' names begin with `prefix`.
void add_tables(SDR_DATA_SESSION* session, int count, const QByteArray& prefix)
{
    static const char* const kinds[] = {"state", "fsm|main_controller|state", "command", "irq_source", "mode"};
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables;
    SDR_DATA_MNEMONICS_TABLE_CONTENT bus;
    bus.name = BUS_TABLE;
    bus.width = BUS_WIDTH;
    bus.entries.append(SDR_DATA_MNEMONICS_ENTRY{"NOP", "00000000"});
    bus.entries.append(SDR_DATA_MNEMONICS_ENTRY{"LOAD", "00000001"});
    tables.append(bus);
    for (int i = 1; i < count; ++i)
    {
        SDR_DATA_MNEMONICS_TABLE_CONTENT table;
        table.width = 1 + i % 32;
        table.name = prefix + kinds[i % 5] + "_" + QByteArray::number(i) + " : width = " +
                     QByteArray::number(table.width);
        for (int entry = 0; entry < 1 + i % 4; ++entry)
            table.entries.append(SDR_DATA_MNEMONICS_ENTRY{
                "S" + QByteArray::number(entry),
                QByteArray::number(entry, 2).rightJustified(table.width, '0').right(table.width)});
        tables.append(table);
    }
    session->get_mnemonics()->append_tables(tables);
}

// The document of `tables` tables, written once; a library's tables are named otherwise.
QString document(int tables, const QByteArray& prefix = QByteArray())
{
    const QString path = folder().filePath(QStringLiteral("tables_%1%2.vtl").arg(QString::fromLatin1(prefix)).arg(tables));
    if (QFile::exists(path))
        return path;
    auto session = standin::sdr::make_session(path.toStdString(), INSTANCES);
    for (const auto& instance : session->m_instances)
    {
        SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
        for (int bit = BUS_WIDTH - 1; bit >= 0; --bit)
            standin::sdr::add_node(trigger, {"top|decoder|opcode[" + std::to_string(bit) + "]"});
        for (const char* name : {"top|decoder|valid", "top|decoder|stall", "top|bus|req", "top|bus|ack"})
            standin::sdr::add_node(trigger, {name});
        const bool shows_table = instance == session->m_instances.front();
        const int group = standin::sdr::add_group(trigger, 0, BUS_WIDTH - 1, "opcode",
                                                  shows_table ? SDR_GTYPE_MNEMONICS : SDR_GTYPE_HEX);
        if (shows_table)
            trigger->edit_transient().trigger_list[group].mnemonic_table = BUS_TABLE;
        SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
    }
    add_tables(session.get(), tables, prefix);
    std::string error;
    if (!sdr_write_session_file(*session, path.toStdString(), &error))
        fail("cannot write " + path.toStdString() + ": " + error);
    return path;
}

void settle()
{
    sedq_bench_settle();
}

// The window on a document opened from its file.
struct WINDOW : SEDQ_BENCH_WINDOW
{
    explicit WINDOW(const QString& path) : SEDQ_BENCH_WINDOW(path), manager(tx)
    {
        if (!opened)
            fail("the window does not open " + path.toStdString());
    }

    SEDQ_TX_MANAGER* manager;
};

std::map<int, std::unique_ptr<WINDOW>>& windows()
{
    static std::map<int, std::unique_ptr<WINDOW>> by_tables;
    return by_tables;
}

WINDOW& window_of(int tables)
{
    std::unique_ptr<WINDOW>& found = windows()[tables];
    if (!found)
        found = std::make_unique<WINDOW>(document(tables));
    return *found;
}

int bus_row(SEDQ_TX_MANAGER* manager)
{
    const SDR_TX_SIGNAL_NODES* nodes = manager->get_trigger_nodes(-1);
    for (int row = 0; nodes != nullptr && row < nodes->get_num_nodes(); ++row)
        if (std::string(nodes->get_node_name(row)) == "opcode")
            return row;
    fail("the document has no opcode bus");
}

// Insert Value on the bus: the value dialog takes `value` and the mnemonic `symbol`, then OK.
void insert_value(WINDOW& window, int value, const QString& symbol)
{
    window.view->select_all_items(false);
    window.manager->set_node_selection_status(bus_row(window.manager), true);
    bool shown = false;
    on_next_dialog<SEDQ_TRIGGER_VALUE_DLG>([&shown, value, symbol](SEDQ_TRIGGER_VALUE_DLG* dialog) {
        shown = true;
        dialog->get_value_edit()->setText(QString::number(value));
        dialog->get_mnemonic_edit()->setText(symbol);
        dialog->on_ok_button();
    });
    window.view->on_insert_trigger_value();
    if (!shown)
        fail("Insert Value showed no dialog");
}

int entries_of_bus_table(WINDOW& window)
{
    const SDR_DATA_MNEMONICS_TABLE* table =
        window.manager->get_tx_session()->get_data_session()->get_mnemonics()->find_table(BUS_TABLE);
    return table != nullptr ? table->get_num_entries() : -1;
}

int document_tables(WINDOW& window)
{
    return window.manager->get_tx_session()->get_data_session()->get_mnemonics()->get_num_tables();
}

// The setup dialog opened on the window, one table added and OK pressed, as a user adds one.
void add_table_in_the_dialog(WINDOW& window)
{
    SEDQ_MNEMONIC_DLG dialog(window.view, window.frame.get());
    dialog.show();
    const QString name = QStringLiteral("added : width = 4");
    dialog.add_set(&name, 4);
    dialog.get_button_box()->button(QDialogButtonBox::Ok)->click();
}

void edit(benchmark::State& state)
{
    const int tables = int(state.range(0));
    WINDOW& window = window_of(tables);
    int round = 0;
    for (auto _ : state)
    {
        const int entries = entries_of_bus_table(window);
        const int value = 16 + (round++ % 200);
        add_table_in_the_dialog(window);
        settle();
        window.manager->on_edit_undo();
        settle();
        if (document_tables(window) != tables)
            fail("the table added in the setup dialog was not undone");
        QElapsedTimer timer;
        timer.start();
        insert_value(window, value, QStringLiteral("OP%1").arg(value));
        settle();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (entries_of_bus_table(window) != entries + 1)
            fail("Insert Value did not add its mnemonic to the bus's table");
        window.manager->on_edit_undo();
        settle();
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
    }
}

void add_table(benchmark::State& state)
{
    const int tables = int(state.range(0));
    WINDOW& window = window_of(tables);
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        add_table_in_the_dialog(window);
        settle();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (document_tables(window) != tables + 1)
            fail("the setup dialog's OK did not add its table");
        window.manager->on_edit_undo();
        settle();
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["us_per_table"] = ms * 1e3 / tables;
    }
}

// The source of an import: a file of `tables` tables, all but the bus's named otherwise than
// the document's.
QString source(int tables)
{
    return document(tables, "lib_");
}

void import(benchmark::State& state)
{
    const int tables = int(state.range(0));
    // The document holds the bus's table only, so that the largest source fills it to the limit.
    WINDOW& window = window_of(1);
    const QString from = source(tables);
    const int before = document_tables(window);
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        {
            SEDQ_MNEMONIC_IMPORT_DLG dialog(window.manager->get_tx_session()->get_data_session(), from,
                                            window.frame.get(), window.manager);
            dialog.show();
            dialog.get_select_all_button()->click();
            // The bus table is in both: the question whether to replace it is answered No.
            dialog.accept();
        }
        settle();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (document_tables(window) != before + tables - 1)
            fail("the import did not bring every table");
        window.manager->on_edit_undo();
        settle();
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
    }
}

void open(benchmark::State& state)
{
    const QString path = document(int(state.range(0)));
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        double ms = 0;
        {
            WINDOW window(path);
            ms = double(timer.nsecsElapsed()) / 1e6;
        }
        settle();
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("edit", edit), REPETITIONS)->Arg(10)->Arg(10000);
    sedq_bench_repeated(benchmark::RegisterBenchmark("add_table", add_table), REPETITIONS)
        ->Arg(100)
        ->Arg(800)
        ->Arg(2000);
    for (int tables : {1024, LARGE})
    {
        const int repetitions = tables == LARGE ? LARGE_REPETITIONS : REPETITIONS;
        sedq_bench_repeated(benchmark::RegisterBenchmark("import", import), repetitions)->Arg(tables);
        sedq_bench_repeated(benchmark::RegisterBenchmark("open", open), repetitions)->Arg(tables);
    }
    sedq_counter_reporter reporter;
    sedq_run_interleaved(argc, argv, &reporter);
    std::printf("\nmnemonic tables in the window, min / median / max\n");
    reporter.print_growth("edit after an Undo, 10 -> 10,000 tables (ms)", "edit/10:ms", "edit/10000:ms", 1.5);
    reporter.print_growth("add a table, per table shown, 100 -> 2,000 (us)", "add_table/100:us_per_table",
                          "add_table/2000:us_per_table", 1.5);
    for (const char* size : {"1024", "65536"})
    {
        const std::string what = std::string("import against open, ") + size + " tables (ms)";
        reporter.print_ratio(what.c_str(), std::string("import/") + size + ":ms", std::string("open/") + size + ":ms",
                             2.0);
    }
    windows().clear();
    return 0;
}
