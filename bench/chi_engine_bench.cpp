// Acquisition engine: one acquisition of 256 nodes x 131072 samples, from the run request to
// the samples installed in the log (plan, trigger search, sample generation, install), against
// filling the same packed bytes with memset in fresh memory. The nodes mix every stimulus kind
// of a design (counters, clocks and pulses, state machines, serial lines, random buses) and the
// trigger value changes every round, so the window starts at a different sample each time.
// Counters: engine_ms and memset_ms as min / median / max over the rounds, and ratio_median
// (target below 2). A second benchmark runs the same acquisition on the engine's thread and
// reports the longest time the GUI thread spent handling it in one go (gui_block_max_ms,
// target below one 16 ms frame). A third runs it under each kind of storage qualifier.
#include "host/chi.h"
#include "host/chi_private.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const int NODES = 256;
const int SAMPLES = 131072;
const int ROUNDS = 15;

// 256 nodes: a 16-bit trigger counter, six more counters of 16 bits (steps, rates, modulos),
// 16 clocks and pulses, four one-hot state machines of 4 states, four serial links (line, busy
// and 8 data bits), and 72 random bits in buses of 8 with different rates.
std::string design()
{
    std::string nodes = R"({"path": "top|trig", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": {"kind": "counter"}})";
    const char* counters[] = {R"({"kind": "counter", "step": 3})", R"({"kind": "counter", "every": 7, "start": 11})",
                              R"({"kind": "counter", "step": 5, "modulo": 1000})", R"({"kind": "counter", "step": -1, "start": 9})",
                              R"({"kind": "counter", "every": 3})", R"({"kind": "counter", "step": 12, "every": 2})"};
    for (int i = 0; i < 6; ++i)
        nodes += R"(, {"path": "top|c)" + std::to_string(i) + R"(", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": )" +
                 counters[i] + "}";
    for (int i = 0; i < 16; ++i)
        nodes += R"(, {"path": "top|p)" + std::to_string(i) + R"(", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": )" +
                 std::to_string(2 + i * 7) + R"(, "width": )" + std::to_string(1 + i) + R"(, "phase": )" + std::to_string(i) + "}}";
    for (int i = 0; i < 4; ++i)
        nodes += R"(, {"path": "top|fsm)" + std::to_string(i) +
                 R"(", "flags": "0x80000400", "dims": [[3, 0]], "stimulus": {"kind": "fsm", "encoding": "one_hot", "states": [)" +
                 R"({"name": "a", "dwell": )" + std::to_string(3 + i) + R"(}, {"name": "b", "dwell": 17}, {"name": "c", "dwell": 5}, {"name": "d", "dwell": 40}]}})";
    for (int i = 0; i < 4; ++i)
    {
        const std::string serial = R"({"kind": "serial", "bytes": [86, 97, 110, 116, 114, 101, 108], "every": )" +
                                   std::to_string(2 + i) + R"(, "gap": 3)";
        nodes += R"(, {"path": "top|tx)" + std::to_string(i) + R"(", "flags": "0x80000040", "stimulus": )" + serial + "}}";
        nodes += R"(, {"path": "top|busy)" + std::to_string(i) + R"(", "flags": "0x80000040", "stimulus": )" + serial +
                 R"(, "output": "busy"}})";
        nodes += R"(, {"path": "top|data)" + std::to_string(i) + R"(", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": )" +
                 serial + R"(, "output": "data"}})";
    }
    const int rates[] = {1, 4, 8, 16, 3, 64, 2, 32, 5};
    for (int i = 0; i < 9; ++i)
        nodes += R"(, {"path": "top|r)" + std::to_string(i) + R"(", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "random", "seed": )" +
                 std::to_string(i + 1) + R"(, "every": )" + std::to_string(rates[i]) + "}}";
    // A device with room for the 256 x 128 K buffer: 228 large blocks.
    return R"({"project": {"top_entity": "top"}, "netlists": {"pre": {"instances": [)" + nodes +
           R"(]}}, "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"]},)" +
           R"( "memory": {"types": [{"type": 2, "capacity_bits": 147456, "max_width": 144, "total": 512}]}})";
}

std::vector<std::string> node_names()
{
    std::vector<std::string> names;
    auto bus = [&](const std::string& name, int width) {
        for (int bit = width - 1; bit >= 0; --bit)
            names.push_back(name + "[" + std::to_string(bit) + "]");
    };
    bus("trig", 16);
    for (int i = 0; i < 6; ++i)
        bus("c" + std::to_string(i), 16);
    for (int i = 0; i < 16; ++i)
        names.push_back("p" + std::to_string(i));
    for (int i = 0; i < 4; ++i)
        bus("fsm" + std::to_string(i), 4);
    for (int i = 0; i < 4; ++i)
    {
        names.push_back("tx" + std::to_string(i));
        names.push_back("busy" + std::to_string(i));
        bus("data" + std::to_string(i), 8);
    }
    for (int i = 0; i < 9; ++i)
        bus("r" + std::to_string(i), 8);
    return names;
}

class bench_document
{
public:
    bench_document()
    {
        std::string error;
        standin::project::load_json(QByteArray::fromStdString(design()), m_dir.path().toStdString(), &error);
        auto session = standin::sdr::make_session(m_dir.filePath("bench.vtl").toStdString(), 1);
        m_editing.open_session(session.release());
        m_editing.set_jtag_chain_name("SimCable [SIM-0]");
        SDR_DATA_TRIGGER* trigger = m_editing.get_data_session()->m_instances[0]->get_active_trigger();
        for (const std::string& name : node_names())
            standin::sdr::add_node(trigger, {name});
        standin::sdr::add_group(trigger, 0, 15, "trig", SDR_GTYPE_HEX);
        trigger->m_signal_set->edit_transient().sample_depth = SAMPLES;
        SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
        m_trigger = trigger;
        program();
    }

    // Compiles the document as it stands and programs the device with it.
    void program()
    {
        std::string error;
        const std::string sof = m_dir.filePath("bench.sof").toStdString();
        if (!standin::chi::compile(m_editing.get_data_session(), 15, sof, &error) ||
            !standin::chi::program_device_from_file(sof, &error))
            std::fprintf(stderr, "chi_engine_bench: %s\n", error.c_str());
    }

    // The counter value the next acquisition triggers on.
    void trigger_at(int value)
    {
        m_trigger->edit_transient().trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0] = {
            true, true, SDR_CTYPE_COMPARE_EQUAL_TO, value, SDR_CTYPE_COMPARE_TRUE, 0};
    }

    SDR_DATA_LOG* new_log() { return m_editing.create_new_log(0); }

    SDR_TRIGGER_STATE& settings() { return m_trigger->edit_transient(); }

    SDR_NODE_ROW& row(const std::string& name)
    {
        SDR_NODE_LIST& rows = settings().trigger_list;
        for (int r = 0; r < rows.size(); ++r)
            if (rows[r].name == name)
                return rows[r];
        return rows[0];
    }

    SDR_DATA_LOG* start(CHI_CONTROL_ELA_INT* callback)
    {
        CHI_CONTROL::ACQ_PARAMETER request;
        request.log = m_editing.create_new_log(0);
        request.callback = callback;
        CHI_CONTROL::run({request});
        return request.log;
    }

private:
    QTemporaryDir m_dir;
    SDR_TX_SESSION m_editing{nullptr, false};
    SDR_DATA_TRIGGER* m_trigger = nullptr;
};

class quiet : public CHI_CONTROL_ELA_INT
{
public:
    void update_acquisition_status(ELA_STATUS, int, SDR_DATA_LOG*) override {}
};

double packed_bytes()
{
    const double row = (SAMPLES + 7) / 8;
    return row * (NODES + 3); // the channels, and the validity, trigger and break rows
}

// New memory filled with memset, then replacing the bytes of the round before: the engine
// likewise fills new memory while the device still holds the samples it acquired before, and
// lets them go when the new ones are installed.
double memset_fresh(QByteArray* previous)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray bytes(int(packed_bytes()), Qt::Uninitialized);
    std::memset(bytes.data(), 0x5a, size_t(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
    *previous = bytes;
    return double(timer.nsecsElapsed()) / 1e6;
}

void spread(benchmark::State& state, const char* name, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    state.counters[std::string(name) + "_min"] = values.front();
    state.counters[std::string(name) + "_median"] = values[values.size() / 2];
    state.counters[std::string(name) + "_max"] = values.back();
}

// One acquisition of round `round`, from the request to the samples in the log, in ms.
double timed_acquisition(bench_document& document, CHI_CONTROL_ELA_INT* callback, int round, benchmark::State& state)
{
    document.trigger_at(1000 + round * 3163);
    QElapsedTimer timer;
    timer.start();
    SDR_DATA_LOG* log = document.start(callback);
    while (standin::chi::is_active())
        standin::chi::step();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!log->is_data_available(false) || log->get_data_sample_depth() != SAMPLES || !log->is_bit_valid(SAMPLES - 1))
        state.SkipWithError("the memory was not filled");
    return ms;
}

void BM_acquire_against_memset(benchmark::State& state)
{
    bench_document document;
    standin::chi::set_delivery(standin::chi::delivery::manual);
    quiet callback;
    QByteArray previous;
    std::vector<double> engine, fill;
    for (auto _ : state)
    {
        for (int round = 0; round < ROUNDS; ++round)
        {
            engine.push_back(timed_acquisition(document, &callback, round, state));
            fill.push_back(memset_fresh(&previous));
        }
    }
    spread(state, "engine_ms", engine);
    spread(state, "memset_ms", fill);
    std::sort(engine.begin(), engine.end());
    std::sort(fill.begin(), fill.end());
    state.counters["ratio_median"] = engine[engine.size() / 2] / fill[fill.size() / 2];
    state.counters["packed_MiB"] = packed_bytes() / (1 << 20);
}
BENCHMARK(BM_acquire_against_memset)->Iterations(1)->Unit(benchmark::kMillisecond);

// Where the time of one acquisition goes: the plan (GUI thread), the trigger search and the
// sample generation (engine thread).
void BM_acquisition_steps(benchmark::State& state)
{
    bench_document document;
    std::vector<double> plan, search, generate;
    for (auto _ : state)
    {
        for (int round = 0; round < ROUNDS; ++round)
        {
            document.trigger_at(1000 + round * 3163);
            SDR_DATA_LOG* log = document.new_log();
            QElapsedTimer timer;
            timer.start();
            auto made = chi_detail::make_plan(log, false);
            plan.push_back(double(timer.nsecsElapsed()) / 1e6);
            timer.restart();
            chi_detail::trigger_result found = chi_detail::trigger_search_from(made->trigger_offset);
            chi_detail::search_trigger(made->trigger, made->bank, int64_t(1) << 24, nullptr, &found);
            search.push_back(double(timer.nsecsElapsed()) / 1e6);
            timer.restart();
            const chi_detail::capture_result captured = chi_detail::capture_windows(*made, found, nullptr);
            generate.push_back(double(timer.nsecsElapsed()) / 1e6);
            benchmark::DoNotOptimize(captured.payload.get());
        }
    }
    spread(state, "plan_ms", plan);
    spread(state, "search_ms", search);
    spread(state, "generate_ms", generate);
}
BENCHMARK(BM_acquisition_steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// The GUI thread handles events while the engine's thread acquires; every pass through the
// event loop is timed.
void BM_gui_thread_while_acquiring(benchmark::State& state)
{
    bench_document document;
    standin::chi::set_delivery(standin::chi::delivery::thread);
    standin::chi::set_pace_ms(1);
    quiet callback;
    std::vector<double> longest;
    for (auto _ : state)
    {
        for (int round = 0; round < ROUNDS; ++round)
        {
            document.trigger_at(2000 + round * 2917);
            QElapsedTimer pass;
            pass.start();
            document.start(&callback);
            double block = double(pass.nsecsElapsed()) / 1e6;
            while (standin::chi::is_active())
            {
                pass.restart();
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                block = std::max(block, double(pass.nsecsElapsed()) / 1e6);
            }
            standin::chi::wait_idle(1000);
            longest.push_back(block);
        }
    }
    spread(state, "gui_block_ms", longest);
    state.counters["gui_block_max_ms"] = *std::max_element(longest.begin(), longest.end());
}
BENCHMARK(BM_gui_thread_while_acquiring)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same acquisition with a storage qualifier: the memory takes only the samples it keeps,
// scattered over a longer stretch of the device's timeline. Per qualifier (the benchmark's
// argument): 0 input port on a random bit (half the samples, in short runs), 1 transitional on
// a pulse (two samples in 23), 2 conditional on a clock (every other sample), 3 start/stop on a
// pulse's edges. Counters: engine_ms min / median / max over the rounds.
void BM_storage_qualified_acquisition(benchmark::State& state)
{
    bench_document document;
    standin::chi::set_delivery(standin::chi::delivery::manual);
    SDR_TRIGGER_STATE& settings = document.settings();
    switch (state.range(0))
    {
    case 0:
        settings.sq_type = SDR_SQTYPE_INPUT_PORT;
        settings.sq_port_name = "r0[3]";
        break;
    case 1:
        settings.sq_type = SDR_SQTYPE_TRANSITIONAL;
        document.row("p3").storage_enabled = document.row("p3").transition_enabled = true;
        break;
    case 2:
        settings.sq_type = SDR_SQTYPE_CONDITIONAL;
        document.row("p0").storage_enabled = true;
        document.row("p0").patterns[SDR_COPY_NORMAL].sq_conditions[0] = SDR_CTYPE_HIGH;
        break;
    default:
        settings.sq_type = SDR_SQTYPE_START_STOP;
        document.row("p5").storage_enabled = true;
        document.row("p5").patterns[SDR_COPY_NORMAL].sq_conditions[1] = SDR_CTYPE_RISING;
        document.row("p5").patterns[SDR_COPY_NORMAL].sq_conditions[2] = SDR_CTYPE_FALLING;
        break;
    }
    settings.record_discontinuities = true;
    document.program();
    quiet callback;
    std::vector<double> engine;
    for (auto _ : state)
    {
        for (int round = 0; round < ROUNDS; ++round)
            engine.push_back(timed_acquisition(document, &callback, round, state));
    }
    spread(state, "engine_ms", engine);
}
BENCHMARK(BM_storage_qualified_acquisition)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    // Blocks of a megabyte and more always come from the system: each acquisition, and each
    // memset buffer, is new memory, as it is for a host that keeps its acquisitions.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    standin::chi::shutdown();
    benchmark::Shutdown();
    return 0;
}
