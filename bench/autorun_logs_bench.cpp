// Autorun with the Data Log on, through the path a run takes: the engine acquires from the
// simulated device, installs the samples, and every cycle asks the editing session for the
// next log (a new entry named after the first free "log_<n>"), while the trigger already keeps
// 1,000 or 100,000 logs from earlier acquisitions (each with its samples and wire names). The
// design has a 16-bit counter and eight more signals, 512 samples deep. Each repetition runs
// 200 cycles and takes their logs out again afterwards (not timed), so every repetition starts
// from the same number of logs; the counter is microseconds per acquisition, min / median /
// max over 9 repetitions, sizes interleaved. Target: the cost of an acquisition does not grow
// with the logs kept (100,000 within 1.5x of 1,000).
#include "bench_support.h"

#include "host/chi.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int REPETITIONS = 9;
constexpr int CYCLES = 200;
constexpr int DEPTH = 512;

const char* design()
{
    return R"({"project": {"top_entity": "top"}, "netlists": {"pre": {"instances": [
      {"path": "top|count", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": {"kind": "counter"}},
      {"path": "top|tick", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 50, "width": 3}},
      {"path": "top|wrap", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 700, "width": 1}},
      {"path": "top|mode", "flags": "0x80000040", "dims": [[1, 0]], "stimulus": {"kind": "random", "seed": 3, "every": 40}},
      {"path": "top|tx", "flags": "0x80000040", "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2}},
      {"path": "top|noise", "flags": "0x80000040", "dims": [[2, 0]], "stimulus": {"kind": "random", "seed": 5}}
    ]}}, "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"]}})";
}

std::vector<std::string> node_names()
{
    std::vector<std::string> names;
    for (int bit = 15; bit >= 0; --bit)
        names.push_back("count[" + std::to_string(bit) + "]");
    for (const char* name : {"tick", "wrap", "mode[1]", "mode[0]", "tx", "noise[2]", "noise[1]", "noise[0]"})
        names.push_back(name);
    return names;
}

// Counts the acquisitions whose samples arrived.
class counting_callback : public CHI_CONTROL_ELA_INT
{
public:
    void update_acquisition_status(ELA_STATUS status, int, SDR_DATA_LOG*) override
    {
        if (status == 10)
            ++ready;
    }
    std::atomic<int> ready{0};
};

// A document of the design whose trigger keeps `kept` logs, logging on, the device programmed.
class autorun_document
{
public:
    explicit autorun_document(int kept)
    {
        std::string error;
        standin::project::load_json(QByteArray(design()), m_dir.path().toStdString(), &error);
        auto session = standin::sdr::make_session(m_dir.filePath("bench.vtl").toStdString(), 1);
        m_editing.open_session(session.release());
        m_editing.set_jtag_chain_name("SimCable [SIM-0]");
        m_editing.set_gui_logging(true);
        m_trigger = m_editing.get_data_session()->m_instances[0]->get_active_trigger();
        for (const std::string& name : node_names())
            standin::sdr::add_node(m_trigger, {name});
        standin::sdr::add_group(m_trigger, 0, 15, "count", SDR_GTYPE_HEX);
        m_trigger->m_signal_set->edit_transient().sample_depth = DEPTH;
        m_trigger->edit_transient().trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0] = {
            true, true, SDR_CTYPE_COMPARE_GREATER_THAN, 100, SDR_CTYPE_COMPARE_TRUE, 0};
        SDR_TX_SIGNAL_SET::sync_data_list(m_trigger->m_signal_set, m_trigger);
        const std::string sof = m_dir.filePath("bench.sof").toStdString();
        standin::chi::compile(m_editing.get_data_session(), 15, sof, &error);
        standin::chi::program_device_from_file(sof, &error);
        keep_logs(kept);
    }

    // Runs `cycles` cycles of an autorun; microseconds per acquisition, -1 when one failed.
    // The logs they made are taken out again afterwards.
    double autorun(int cycles)
    {
        const int before = m_trigger->get_num_logs();
        counting_callback callback;
        CHI_CONTROL::ACQ_PARAMETER request;
        request.callback = &callback;
        request.repeat = 1;
        QElapsedTimer timer;
        timer.start();
        request.log = m_editing.create_new_log(0);
        if (request.log == nullptr || !CHI_CONTROL::run({request}))
            return -1;
        for (int steps = 0; callback.ready < cycles && steps < cycles * 100; ++steps)
            standin::chi::step();
        const double us = double(timer.nsecsElapsed()) / 1e3 / cycles;
        CHI_CONTROL::stop(m_trigger->get_instance());
        standin::chi::run_to_end();
        const bool complete = callback.ready >= cycles;
        while (m_trigger->get_num_logs() > before)
            m_trigger->m_logs.back()->remove();
        return complete ? us : -1;
    }

private:
    // Logs as acquisitions leave them: the samples of one acquisition shared by all (they are
    // immutable), the wire names each log's own.
    void keep_logs(int kept)
    {
        counting_callback callback;
        CHI_CONTROL::ACQ_PARAMETER request;
        request.callback = &callback;
        request.log = m_editing.create_new_log(0);
        CHI_CONTROL::run({request});
        standin::chi::run_to_end();
        const SDR_DATA_LOG* first = request.log;
        for (int i = m_trigger->get_num_logs(); i < kept; ++i)
        {
            auto log = std::make_unique<SDR_DATA_LOG>(m_trigger, "log_" + std::to_string(i + 1));
            log->m_payload = first->m_payload;
            log->m_signal_set = first->m_signal_set;
            log->m_wire_names = first->m_wire_names;
            m_trigger->m_logs.push_back(std::move(log));
        }
    }

    QTemporaryDir m_dir;
    SDR_TX_SESSION m_editing{nullptr, false};
    SDR_DATA_TRIGGER* m_trigger = nullptr;
};

std::map<int, std::unique_ptr<autorun_document>>& documents()
{
    static std::map<int, std::unique_ptr<autorun_document>> by_kept;
    return by_kept;
}

autorun_document& document(int kept)
{
    std::unique_ptr<autorun_document>& found = documents()[kept];
    if (!found)
        found = std::make_unique<autorun_document>(kept);
    return *found;
}

void autorun(benchmark::State& state)
{
    autorun_document& kept = document(int(state.range(0)));
    for (auto _ : state)
    {
        const double us = kept.autorun(CYCLES);
        if (us < 0)
            state.SkipWithError("the autorun did not complete its cycles");
        state.SetIterationTime(us * CYCLES / 1e6);
        state.counters["us"] = us;
    }
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    standin::chi::set_pace_ms(0);
    standin::chi::set_delivery(standin::chi::delivery::manual);
    sedq_bench_repeated(benchmark::RegisterBenchmark("autorun", autorun), REPETITIONS)->Arg(1000)->Arg(100000);
    sedq_ratio_reporter reporter("us", "1000", "100000", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per acquisition of an autorun, 1,000 -> 100,000 logs kept");
    standin::chi::shutdown();
    // The documents go before the repository they live in.
    documents().clear();
    return 0;
}
