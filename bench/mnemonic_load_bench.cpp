// Loading a mnemonic table into the setup dialog's working copy and showing it, at 4,096 and at
// 65,536 entries in the same run: the entries arrive sorted and go straight to the tail of the
// copy, and the view takes its rows and sizes them in one batch, so the time per entry must be
// the same at both sizes (within 1.5x). Patterns are 16 symbols wide. Each size is timed 9
// times, the repetitions interleaved; the counter is microseconds per entry.
#include "bench_support.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"

#include <QApplication>
#include <QElapsedTimer>

#include <memory>

namespace
{
constexpr int SAMPLES = 9;
constexpr int WIDTH = 16;

QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> table_of(int entries)
{
    SDR_DATA_MNEMONICS_TABLE_CONTENT content;
    content.name = "opcodes";
    content.width = WIDTH;
    content.entries.reserve(entries);
    for (int i = 0; i < entries; ++i)
        content.entries.append({QByteArray("OP") + QByteArray::number(i),
                                QByteArray::number(i, 2).rightJustified(WIDTH, '0')});
    return {content};
}

void load_and_show(benchmark::State& state)
{
    const int entries = int(state.range(0));
    const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables = table_of(entries);
    SEDQ_MNEMONIC_DLG dialog(nullptr, nullptr);
    SEDQ_MNEMONIC_SETS sets;
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        sets.load(tables);
        const int rows = dialog.refresh_list(sets.get_head());
        const double elapsed = double(timer.nsecsElapsed()) / entries;
        state.SetIterationTime(elapsed * entries / 1e9);
        state.counters["us"] = elapsed / 1e3;
        if (rows != entries)
            state.SkipWithError("not every entry was shown");
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("load_and_show", load_and_show), SAMPLES)
        ->Arg(4096)
        ->Arg(65536);
    sedq_ratio_reporter reporter("us", "4096", "65536", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per entry, 4096 -> 65536 entries");
    return 0;
}
