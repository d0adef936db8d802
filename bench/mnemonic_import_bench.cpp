// Select All (">>") in the mnemonic import dialog, timed from the click to the selected list
// holding every table, on source files of 1,024, 16,384 and 65,536 tables (names of varied
// length, widths of 1 to 32 bits, one to four entries each, as tables made by hand or by "Add
// State Machine Nodes" look). The dialog is built on the document's window from the file, as
// the setup dialog's Import Table builds it; each repetition opens a fresh dialog, so every
// click starts from an empty selection. The counter is milliseconds per click; the time per
// table must stay within 1.5x from 1,024 to 65,536 tables (the whole click under a second).
#include "bench_editor.h"
#include "bench_support.h"

#include "host/sdr/sdr_file.h"
#include "host/standin/sdr_control.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>

#include <map>
#include <memory>

namespace
{
constexpr int SAMPLES = 9;

// A source file of `count` tables, written once per size.
QString source_of(int count, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QString("source_%1.vtl").arg(count));
    auto session = standin::sdr::make_session(path.toStdString());
    static const char* const kinds[] = {"opcode", "state", "fsm|main_controller|state", "command", "irq_source"};
    for (int i = 0; i < count; ++i)
    {
        const int width = 1 + i % 32;
        const std::string name = std::string(kinds[i % 5]) + "_" + std::to_string(i) +
                                 " : width = " + std::to_string(width);
        SDR_DATA_MNEMONICS_TABLE* table = session->get_mnemonics()->create_table(name.c_str(), width);
        for (int entry = 0; table != nullptr && entry < 1 + i % 4; ++entry)
            table->add_entry(("S" + std::to_string(entry)).c_str(),
                             QByteArray::number(entry, 2).rightJustified(width, '0').right(width).constData());
    }
    std::string error;
    sdr_write_session_file(*session, path.toStdString(), &error);
    return path;
}

// The window the dialogs open on; it goes before the application does.
std::unique_ptr<SEDQ_BENCH_EDITOR> s_editor;

void select_all(benchmark::State& state)
{
    const int tables = int(state.range(0));
    static QTemporaryDir dir;
    static std::map<int, QString> sources;
    if (sources.count(tables) == 0)
        sources[tables] = source_of(tables, dir);
    SEDQ_TX_MANAGER* manager = s_editor->manager;
    for (auto _ : state)
    {
        SEDQ_MNEMONIC_IMPORT_DLG dialog(manager->get_tx_session()->get_data_session(), sources[tables],
                                        s_editor->frame.get(), manager);
        dialog.show();
        SEDQ_BENCH_EDITOR::settle();
        QElapsedTimer timer;
        timer.start();
        dialog.get_select_all_button()->click();
        SEDQ_BENCH_EDITOR::settle();
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ms"] = elapsed / 1e6;
        state.counters["us_per_table"] = elapsed / 1e3 / tables;
        if (dialog.get_selected_list()->model()->rowCount() != tables)
            state.SkipWithError("not every table was selected");
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    s_editor = std::make_unique<SEDQ_BENCH_EDITOR>([](SDR_DATA_TRIGGER*) {}, false);
    sedq_bench_repeated(benchmark::RegisterBenchmark("select_all", select_all), SAMPLES)
        ->Arg(1024)
        ->Arg(16384)
        ->Arg(65536);
    sedq_ratio_reporter reporter("us_per_table", "1024", "65536", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per table, 1024 -> 65536 tables");
    s_editor.reset();
    return 0;
}
