// Autorun with the Data Log on, on the window's path: an editor window (1600 x 1000, offscreen)
// opened on a document whose trigger keeps K logs of earlier acquisitions (each with its
// samples, in the file, and the wire names of the one signal set), the device programmed, the
// instance selected in the instance manager and its Autorun pressed. Every cycle the engine
// acquires from the simulated device and hands the samples to the window, the instance manager
// shows the new log, the panes refresh (the data log pane adds the log's item, the pages stay)
// and the next cycle asks the document for its next log. The design has a 16-bit counter and
// eight more signals, 512 samples deep.
//   autorun/K  K = 1,000 and 100,000 logs kept: 60 cycles timed from Autorun to the 60th new log
//              shown, then Stop; the logs they made are deleted afterwards (not timed) so that
//              every repetition starts from K. Counter: ms per acquisition, min / median / max
//              over 7 repetitions, sizes interleaved. Target: 100,000 within 1.5x of 1,000.
//   run/K      the same documents, Run pressed 20 times, each timed from the press to the run's
//              end handled (its log shown, the data log pane and every page refreshed, as the
//              end of a run refreshes them and an autorun's cycles do not). Same counter, target
//              and repetitions.
//   night/300000  a night of autorun (300,000 logs kept): 60 more cycles (ms per acquisition),
//              then File > Save (save_s) and the file opened again in a new window (reopen_s), which
//              must show every log; 2 repetitions, each from the document as written.
//   autorun_decoded/K, night_decoded/300000  the same with an eight-bit bus of the serial
//              stream grouped for the serial decoder plug-in, as the demo's fsm_uart: every cycle's
//              log is decoded when it is shown and keeps the decoder's table, which the kept logs
//              hold too (one table shared, as a night of runs on the same values leaves it). The
//              night's document must save and open again with every log.
// A window just opened first runs 10 cycles that are not timed (its first shows, and the checksums
// of the samples left in the file, which a thread takes after the open, belong to the open).
// A case that cannot do what it measures (the document does not open, an acquisition does not
// come, the save or the reopen fails) stops the program with a message and exit code 1.
#include "bench_support.h"
#include "bench_window.h"

#include "host/chi.h"
#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/gen_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_repository.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int REPETITIONS = 7;
constexpr int NIGHT_REPETITIONS = 2;
constexpr int NIGHT = 300000;
constexpr int CYCLES = 60;
constexpr int RUNS = 20;
// Cycles run before the timed ones in a window just opened: the first shows of the window and
// the checksums of the samples the open left to a thread belong to the open, not to a run.
constexpr int WARM_UP_CYCLES = 10;
constexpr int DEPTH = 512;
const char* const CABLE = "SimCable [SIM-0]";
const char* const DEVICE = "@1: SIMDEV-A";

QTemporaryDir& folder();

// The documents go with the message: the program ends without unwinding.
[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "autorun_logs_bench: %s\n", what.c_str());
    std::fflush(stderr);
    folder().remove();
    std::_Exit(1);
}

const char* design()
{
    return R"({"project": {"top_entity": "top"}, "netlists": {"pre": {"instances": [
      {"path": "top|clk", "flags": "0x80000004", "stimulus": {"kind": "clock", "period": 2}},
      {"path": "top|count", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": {"kind": "counter"}},
      {"path": "top|tick", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 50, "width": 3}},
      {"path": "top|wrap", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 700, "width": 1}},
      {"path": "top|mode", "flags": "0x80000040", "dims": [[1, 0]], "stimulus": {"kind": "random", "seed": 3, "every": 40}},
      {"path": "top|tx", "flags": "0x80000040", "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2}},
      {"path": "top|byte", "flags": "0x80000040", "dims": [[7, 0]],
       "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2, "output": "data"}},
      {"path": "top|noise", "flags": "0x80000040", "dims": [[2, 0]], "stimulus": {"kind": "random", "seed": 5}}
    ]}}, "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"]}})";
}

constexpr int BYTE_BITS = 8;
constexpr int BYTE_ROW = 25; // the decoded bus's group row, after the count group and its 24 nodes

std::vector<std::string> node_names(bool decoded)
{
    std::vector<std::string> names;
    for (int bit = 15; bit >= 0; --bit)
        names.push_back("count[" + std::to_string(bit) + "]");
    for (const char* name : {"tick", "wrap", "mode[1]", "mode[0]", "tx", "noise[2]", "noise[1]", "noise[0]"})
        names.push_back(name);
    for (int bit = BYTE_BITS - 1; decoded && bit >= 0; --bit)
        names.push_back("byte[" + std::to_string(bit) + "]");
    return names;
}

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

void settle()
{
    sedq_bench_settle();
}

// The bus "byte" of both node lists shows its values through the serial decoder, as attaching
// the decoder leaves it.
void decode_byte_bus(SDR_DATA_INSTANCE* instance, SDR_DATA_TRIGGER* trigger)
{
    standin::sdr::add_group(trigger, BYTE_ROW - 1, BYTE_ROW + BYTE_BITS - 2, "byte", SDR_GTYPE_PLUGIN);
    SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
    for (SDR_NODE_LIST* rows :
         {&trigger->edit_transient().trigger_list, &trigger->m_signal_set->edit_transient().data_list})
    {
        for (SDR_NODE_ROW& row : *rows)
        {
            if (row.radix != SDR_GTYPE_PLUGIN)
                continue;
            row.plugin_group = instance->create_plugin_group_record();
            row.plugin_group->set_plugin_name("uart");
            row.plugin_group->set_table_name("uart");
            row.plugin_group->set_width(BYTE_BITS);
            row.plugin_group->add_internal_option("bit order", "msb first");
        }
    }
}

using TABLES = std::map<int, std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>>;

// The decoder tables of a session's first log as the editor makes them when it shows the log:
// the document with that log alone, opened in a model that has the decoder loaded.
TABLES decoded_tables(const SDR_DATA_SESSION& session)
{
    const QString path = folder().filePath(QStringLiteral("decoding.vtl"));
    std::string error;
    if (!sdr_write_session_file(session, path.toStdString(), &error))
        fail("cannot write " + path.toStdString() + ": " + error);
    SEDQ_TX_MANAGER manager(nullptr);
    if (!manager.open_document(path.toLocal8Bit().constData(), nullptr, nullptr))
        fail("the model does not open " + path.toStdString());
    TABLES tables;
    for (const auto& table : SEDQ_REPOSITORY::session(&manager)->get_log_at(0, false)->m_static_plugin_tables)
    {
        auto copy = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(table.second->get_name(), table.second->get_width());
        copy->clone(table.second.get());
        tables[table.first] = std::move(copy);
    }
    if (tables.empty() || tables.begin()->second->get_num_entries() == 0)
        fail("the serial decoder does not decode the first log");
    return tables;
}

// Decoder tables for a log, sharing the entries of `tables`.
void give_tables(SDR_DATA_LOG* log, const TABLES& tables)
{
    for (const auto& table : tables)
    {
        SDR_DATA_MNEMONICS_TABLE* made =
            log->create_static_plugin_mnemonics_table(table.second->get_width(), table.first);
        if (made == nullptr || !made->clone(table.second.get()))
            fail("a kept log does not take the decoder's table");
    }
}

// The document of one instance on the design, logging on, whose trigger keeps `kept` logs of
// one acquisition's samples (acquired from the simulated device), written once; `decoded`: with
// the bus decoded and each kept log's table of its values.
QString document(int kept, bool decoded)
{
    const QString path =
        folder().filePath(QStringLiteral("kept_%1%2.vtl").arg(kept).arg(decoded ? "_decoded" : ""));
    if (QFile::exists(path))
        return path;
    auto session = standin::sdr::make_session(path.toStdString(), 1);
    session->m_gui_logging = true;
    session->m_jtag_chain_name = CABLE;
    session->m_jtag_device_name = DEVICE;
    SDR_DATA_TRIGGER* trigger = session->m_instances[0]->get_active_trigger();
    for (const std::string& name : node_names(decoded))
        standin::sdr::add_node(trigger, {name});
    standin::sdr::add_group(trigger, 0, 15, "count", SDR_GTYPE_HEX);
    if (decoded)
        decode_byte_bus(session->m_instances[0].get(), trigger);
    trigger->m_signal_set->edit_transient().clock_name = "clk";
    trigger->m_signal_set->edit_transient().sample_depth = DEPTH;
    trigger->edit_transient().trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0] = {
        true, true, SDR_CTYPE_COMPARE_GREATER_THAN, 100, SDR_CTYPE_COMPARE_TRUE, 0};
    SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
    std::string error;
    SDR_DATA_LOG* first = standin::sdr::make_log(trigger, {"log_1"});
    first->m_signal_set = trigger->m_signal_set;
    first->m_wire_names = node_names(decoded);
    if (!standin::chi::acquire_first_run(first, &error))
        fail("the first acquisition of the document fails: " + error);
    const TABLES tables = decoded ? decoded_tables(*session) : TABLES();
    give_tables(first, tables);
    for (int i = 1; i < kept; ++i)
    {
        auto log = std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(i + 1));
        SDR_DATA_LOG* added = log.get();
        trigger->m_logs.push_back(std::move(log));
        added->m_signal_set = first->m_signal_set;
        added->m_wire_names = first->m_wire_names;
        added->m_payload = first->m_payload;
        give_tables(added, tables);
    }
    trigger->m_active_log[0] = kept - 1;
    session->clear_modified();
    if (!sdr_write_session_file(*session, path.toStdString(), &error))
        fail("cannot write " + path.toStdString() + ": " + error);
    return path;
}

// An editor window on a document, the device programmed from the document's compile.
struct WINDOW : SEDQ_BENCH_WINDOW
{
    explicit WINDOW(const QString& path) : SEDQ_BENCH_WINDOW(path)
    {
        if (!opened)
            fail("the window does not open " + path.toStdString());
        tx->set_jtag_hardware(CABLE, false);
        tx->set_jtag_device(DEVICE, false);
        program();
    }

    // The device programmed from this document's compile (the plain and the decoded documents
    // compile to different triggers, so a window programs the device again before it runs).
    void program() const
    {
        std::string error;
        const std::string sof = folder().filePath(QStringLiteral("bench.sof")).toStdString();
        if (!standin::chi::compile(SEDQ_REPOSITORY::session(tx)->get_data_session(), 15, sof, &error) ||
            !standin::chi::program_device_from_file(sof, &error))
            fail("the design does not compile or program: " + error);
        tx->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
        settle();
    }

    int logs() const { return tx->get_num_logs(0, 0, 0); }

    void press(int id) const
    {
        QAction* command = tx->get_action(AFCQ_ACTION_ENUM(id), QVariant());
        if (command == nullptr || !command->isEnabled())
            fail("the instance manager's action " + std::to_string(id) + " is not enabled");
        command->trigger();
        settle();
    }

    // Autorun on the instance until `cycles` more logs hold their data (each cycle's data makes
    // the next cycle's log at once), then Stop: milliseconds per acquisition.
    double autorun(int cycles)
    {
        select_instance();
        const int before = logs();
        QElapsedTimer timer;
        timer.start();
        press(AFCQ_SEDQ_AUTORUN_ACTION);
        for (int steps = 0; logs() <= before + cycles && steps < cycles * 200; ++steps)
        {
            standin::chi::step();
            settle();
        }
        const int made = logs() - before;
        const double ms = double(timer.nsecsElapsed()) / 1e6 / cycles;
        press(AFCQ_SEDQ_STOP_ACTION);
        standin::chi::run_to_end();
        settle();
        if (made < cycles)
            fail("the autorun made " + std::to_string(made) + " of its " + std::to_string(cycles) + " logs");
        return ms;
    }

    // Run pressed `runs` times, each to its end: milliseconds per run.
    double run(int runs)
    {
        SEDQ_INSTANCE_WIDGET* instances = frame->get_layout_widget()->get_instance_widget();
        const int before = logs();
        QElapsedTimer timer;
        timer.start();
        for (int run = 0; run < runs; ++run)
        {
            select_instance();
            press(AFCQ_SEDQ_RUN_ACTION);
            for (int steps = 0; instances->get_request_count() > 0 && steps < 200; ++steps)
            {
                standin::chi::step();
                settle();
            }
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6 / runs;
        if (logs() != before + runs)
            fail("Run made " + std::to_string(logs() - before) + " of its " + std::to_string(runs) + " logs");
        return ms;
    }

    void select_instance() const
    {
        SEDQ_INSTANCE_WIDGET* instances = frame->get_layout_widget()->get_instance_widget();
        instances->get_tree()->selectionModel()->select(instances->get_model()->index(0, 0),
                                                        QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    }

    // Deletes the logs after the first `kept` through the model, as the data log pane's Delete
    // does (not timed: every repetition starts from the same document).
    void delete_logs_after(int kept)
    {
        for (int log = logs() - 1; log >= kept; --log)
        {
            const QByteArray name = tx->get_log_name_at(0, 0, 0, log);
            tx->remove_log_tree_item(tx->get_signal_set_name_at(0, 0, nullptr), tx->get_trigger_name_at(0, 0, 0, nullptr),
                                     name.constData());
        }
        tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LOG | SEDQ_UPDATE_NODE_VIEW));
        settle();
        if (logs() != kept)
            fail("the logs of the autorun were not deleted");
    }
};

std::map<std::pair<int, bool>, std::unique_ptr<WINDOW>>& windows()
{
    static std::map<std::pair<int, bool>, std::unique_ptr<WINDOW>> by_kept;
    return by_kept;
}

WINDOW& window_of(int kept, bool decoded)
{
    std::unique_ptr<WINDOW>& window = windows()[{kept, decoded}];
    if (!window)
    {
        window = std::make_unique<WINDOW>(document(kept, decoded));
        window->autorun(WARM_UP_CYCLES);
        window->delete_logs_after(kept);
    }
    else
    {
        window->program();
    }
    return *window;
}

void autorun(benchmark::State& state, bool decoded)
{
    const int kept = int(state.range(0));
    WINDOW* window = &window_of(kept, decoded);
    for (auto _ : state)
    {
        const double ms = window->autorun(CYCLES);
        window->delete_logs_after(kept);
        state.SetIterationTime(ms * CYCLES / 1e3);
        state.counters["ms"] = ms;
    }
}

void run(benchmark::State& state)
{
    const int kept = int(state.range(0));
    WINDOW& window = window_of(kept, false);
    for (auto _ : state)
    {
        const double ms = window.run(RUNS);
        window.delete_logs_after(kept);
        state.SetIterationTime(ms * RUNS / 1e3);
        state.counters["ms"] = ms;
    }
}

// The night's document, saved and opened again in a new window.
void night(benchmark::State& state, bool decoded)
{
    const QString written = document(NIGHT, decoded);
    const QString path = folder().filePath(QStringLiteral("night.vtl"));
    for (auto _ : state)
    {
        QFile::remove(path);
        if (!QFile::copy(written, path))
            fail("cannot copy the night's document");
        double ms = 0;
        double save_s = 0;
        {
            WINDOW window(path);
            window.autorun(WARM_UP_CYCLES);
            ms = window.autorun(CYCLES);
            QElapsedTimer timer;
            timer.start();
            if (!window.frame->save_file(path))
                fail("the night's document does not save");
            save_s = double(timer.nsecsElapsed()) / 1e9;
        }
        settle();
        QElapsedTimer timer;
        timer.start();
        WINDOW reopened(path);
        const double reopen_s = double(timer.nsecsElapsed()) / 1e9;
        if (reopened.logs() != NIGHT + WARM_UP_CYCLES + CYCLES)
            fail("the night's document opened again with " + std::to_string(reopened.logs()) + " logs");
        const SDR_DATA_LOG* shown = SEDQ_REPOSITORY::session(reopened.tx)->get_log_at(0, false);
        if (decoded && (shown == nullptr || shown->m_static_plugin_tables.empty()))
            fail("the night's document opened again without the decoder's tables");
        state.SetIterationTime(ms * CYCLES / 1e3);
        state.counters["ms"] = ms;
        state.counters["save_s"] = save_s;
        state.counters["reopen_s"] = reopen_s;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::string error;
    if (!standin::project::load_json(QByteArray(design()), folder().path().toStdString(), &error))
        fail("the design does not load: " + error);
    standin::chi::set_pace_ms(0);
    standin::chi::set_delivery(standin::chi::delivery::manual);
    QTemporaryDir modules;
    if (!QFile::copy(SEDQ_DECODER_DIR "/libsld_sed_uart.so", modules.filePath("libsld_sed_uart.so")))
        fail("the serial decoder is not built");
    standin::gen::set_module_path(modules.path().toStdString());
    for (bool decoded : {false, true})
    {
        const std::string suffix = decoded ? "_decoded" : "";
        const auto cycles = [decoded](benchmark::State& s) { autorun(s, decoded); };
        const auto save_and_reopen = [decoded](benchmark::State& s) { night(s, decoded); };
        sedq_bench_repeated(benchmark::RegisterBenchmark(("autorun" + suffix).c_str(), cycles), REPETITIONS)
            ->Arg(1000)
            ->Arg(100000);
        sedq_bench_repeated(benchmark::RegisterBenchmark(("night" + suffix).c_str(), save_and_reopen),
                            NIGHT_REPETITIONS)
            ->Arg(NIGHT);
    }
    sedq_bench_repeated(benchmark::RegisterBenchmark("run", run), REPETITIONS)->Arg(1000)->Arg(100000);
    sedq_counter_reporter reporter;
    sedq_run_interleaved(argc, argv, &reporter, {"autorun|run", "night"});
    std::printf("\nautorun in the window with the data log on, min / median / max\n");
    reporter.print_growth("ms per acquisition, 1,000 -> 100,000 logs kept", "autorun/1000:ms", "autorun/100000:ms",
                          1.5);
    reporter.print_growth("ms per Run to its end, 1,000 -> 100,000", "run/1000:ms", "run/100000:ms", 1.5);
    reporter.print_growth("ms per acquisition, 1,000 -> 300,000 (night)", "autorun/1000:ms", "night/300000:ms", 1.5);
    reporter.print_growth("decoded: ms per acquisition, 1,000 -> 100,000", "autorun_decoded/1000:ms",
                          "autorun_decoded/100000:ms", 1.5);
    reporter.print_growth("decoded: 1,000 -> 300,000 (night)", "autorun_decoded/1000:ms", "night_decoded/300000:ms",
                          1.5);
    for (const char* night : {"night", "night_decoded"})
    {
        for (const char* counter : {"save_s", "reopen_s"})
        {
            const std::string key = std::string(night) + "/300000:" + counter;
            std::printf("  %-14s %-31s %9.2f / %9.2f / %9.2f\n", night, counter, reporter.value(key, "min"),
                        reporter.value(key, "median"), reporter.value(key, "max"));
        }
    }
    standin::chi::shutdown();
    windows().clear();
    return 0;
}
