// Activating a data log whose 8-bit bus is decoded by the serial decoder plug-in, at 8192 and at
// 131072 samples of the simulated serial stream (a message of 251 distinct bytes, one frame of
// 13 samples each). set_view_log reads every sample once and asks the decoder once per distinct
// value, so the time per sample must be the same at both sizes (within 1.5x), and the decoder's
// call count is the number of distinct values the log holds, whatever its depth. Each case is
// timed 15 times, the repetitions of both sizes interleaved; the counter is nanoseconds per
// sample, min / median / max.
#include "bench_support.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/gen_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <set>
#include <string>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int REPETITIONS = 15;
constexpr int BITS = 8;
constexpr int FRAME_SAMPLES = 13;
constexpr int MESSAGE_BYTES = 251;

int byte_at(int sample)
{
    return (sample / FRAME_SAMPLES) % MESSAGE_BYTES;
}

void add_uart_bus(SDR_DATA_TRIGGER* trigger, int depth)
{
    standin::sdr::log_spec log;
    log.depth = depth;
    for (int bit = BITS - 1; bit >= 0; --bit)
    {
        standin::sdr::add_node(trigger, {"top|uart|data[" + std::to_string(bit) + "]"});
        std::string channel(size_t(depth), '0');
        for (int s = 0; s < depth; ++s)
            channel[size_t(s)] = (byte_at(s) >> bit) & 1 ? '1' : '0';
        log.channels.push_back(std::move(channel));
    }
    standin::sdr::add_group(trigger, 0, BITS - 1, "data");
    SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
    standin::sdr::make_log(trigger, log);
}

// The module directory the editor loads the decoder from; the counters are read from that copy.
QString& module_directory()
{
    static QString directory;
    return directory;
}

int display_calls()
{
    using COUNTERS = void (*)(int*, int*, int*, int*, int*);
    QLibrary uart(module_directory() + "/libsld_sed_uart.so");
    auto counters = reinterpret_cast<COUNTERS>(uart.resolve("sld_sed_uart_counters"));
    int refresh = 0, display = 0, trigger = 0, open = 0, options = 0;
    if (counters != nullptr)
        counters(&refresh, &display, &trigger, &open, &options);
    return display;
}

// A document of that bus with the decoder's table on the group of both node lists.
struct DOCUMENT
{
    explicit DOCUMENT(int depth) : depth(depth)
    {
        manager = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
        add_uart_bus(SEDQ_REPOSITORY::trigger_nodes(manager.get(), -1)->get_data_trigger(), depth);
        manager->refresh_tx_cache();
        for (bool setup : {true, false})
        {
            SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT settings;
            settings.plugin_name = "uart";
            settings.table_name = "uart";
            settings.setup = setup;
            for (int bit = BITS - 1; bit >= 0; --bit)
                settings.node_names << QString("data[%1]").arg(bit);
            {
                const SEDQ_EDIT_SCOPE edit(manager.get(), SEDQ_SKIP_COMPILATION_CHECK);
                opened = manager->open_plugin_mnemonic_table(0, &settings) && opened;
            }
        }
        log = SEDQ_REPOSITORY::session(manager.get())->get_log_at(0, false);
    }

    QTemporaryDir dir;
    std::unique_ptr<SEDQ_TX_MANAGER> manager;
    SDR_DATA_LOG* log = nullptr;
    int depth;
    bool opened = true;
};

std::map<int, std::unique_ptr<DOCUMENT>>& documents()
{
    static std::map<int, std::unique_ptr<DOCUMENT>> built;
    return built;
}

void set_view_log_of_uart_bus(benchmark::State& state)
{
    auto& slot = documents()[int(state.range(0))];
    if (!slot)
        slot = std::make_unique<DOCUMENT>(int(state.range(0)));
    DOCUMENT& d = *slot;
    if (!d.opened || d.log == nullptr)
        return state.SkipWithError("the serial decoder did not open its table");
    std::set<int> distinct;
    for (int s = 0; s < d.depth; ++s)
        distinct.insert(byte_at(s));
    for (auto _ : state)
    {
        const int before = display_calls();
        QElapsedTimer timer;
        timer.start();
        d.manager->set_view_log(0, d.log);
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns_per_sample"] = elapsed / d.depth;
        state.counters["decoder_calls"] = display_calls() - before;
        if (display_calls() - before != int(distinct.size()))
            state.SkipWithError("the decoder was not asked once per distinct value");
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir modules;
    QFile::copy(SEDQ_DECODER_DIR "/libsld_sed_uart.so", modules.filePath("libsld_sed_uart.so"));
    module_directory() = modules.path();
    standin::gen::set_module_path(modules.path().toStdString());
    sedq_bench_repeated(benchmark::RegisterBenchmark("set_view_log_uart_bus", set_view_log_of_uart_bus)
                            ->Arg(8192)
                            ->Arg(131072),
                        REPETITIONS);
    sedq_ratio_reporter reporter("ns_per_sample", "8192", "131072", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("nanoseconds per sample, 8192 -> 131072 samples");
    documents().clear();
    return 0;
}
