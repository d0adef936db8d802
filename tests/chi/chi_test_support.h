#pragma once
// Shared set-up of the acquisition engine tests: a small design with signal stimuli and a
// simulated cable, an analyzer document over it (data side and editing session), the compile
// and programming steps, and a status callback that records every report with the thread it
// came from.

#include "host/chi.h"
#include "host/chi_private.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"
#include "host/standin/standin.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace chi_test
{
using report_pairs = std::vector<std::pair<int, int>>;

// Records the reports of one request; safe to call from the engine's thread.
class recorder : public CHI_CONTROL_ELA_INT
{
public:
    struct report
    {
        int status;
        int value;
        SDR_DATA_LOG* log;
        std::thread::id thread;
    };

    void update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back({int(status), value, log, std::this_thread::get_id()});
    }

    std::vector<report> reports() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }

    report_pairs pairs() const
    {
        report_pairs result;
        for (const report& r : reports())
            result.emplace_back(r.status, r.value);
        return result;
    }

    int count(int status) const
    {
        int n = 0;
        for (const report& r : reports())
            n += r.status == status ? 1 : 0;
        return n;
    }

    bool finished() const
    {
        const std::vector<report> all = reports();
        return !all.empty() && (all.back().status == 12 || all.back().status == 13 || all.back().status == 17);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<report> m_reports;
};

// The test design: every kind of stimulus, a two-dimensional bus read a row ahead, a state
// machine and its state registers, and one cable with one device.
inline const char* design_json()
{
    return R"({
  "project": {"top_entity": "top"},
  "netlists": {"pre": {"instances": [
    {"path": "top|clk", "flags": "0x80000004", "stimulus": {"kind": "clock", "period": 2}},
    {"path": "top|cnt", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "counter"}},
    {"path": "top|slow", "flags": "0x80000040", "dims": [[3, 0]],
     "stimulus": {"kind": "counter", "start": 2, "every": 5}},
    {"path": "top|tick", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 50, "width": 3, "phase": 7}},
    {"path": "top|st", "flags": "0x80000400",
     "stimulus": {"kind": "fsm", "states": [{"name": "a", "dwell": 3}, {"name": "b", "dwell": 9}]}},
    {"path": "top|st.a", "flags": "0x80000040"},
    {"path": "top|st.b", "flags": "0x80000040"},
    {"path": "top|tx", "flags": "0x80000040", "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2}},
    {"path": "top|busy", "flags": "0x80000040",
     "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2, "output": "busy"}},
    {"path": "top|txd", "flags": "0x80000040", "dims": [[7, 0]],
     "stimulus": {"kind": "serial", "bytes": [65, 90], "every": 3, "gap": 2, "output": "data"}},
    {"path": "top|noise", "flags": "0x80000040", "dims": [[3, 0], [3, 0]],
     "stimulus": {"kind": "random", "seed": 5, "every": 8}},
    {"path": "top|grain", "flags": "0x80000040", "stimulus": {"kind": "random", "seed": 9, "every": 3}},
    {"path": "top|fizz", "flags": "0x80000040", "dims": [[1, 0]], "stimulus": {"kind": "random", "seed": 4}},
    {"path": "top|lazy", "flags": "0x80000040", "stimulus": {"kind": "random", "seed": 2, "every": 100}},
    {"path": "top|quint", "flags": "0x80000040", "dims": [[11, 0]], "stimulus": {"kind": "random", "seed": 6, "every": 5}},
    {"path": "top|mod", "flags": "0x80000040", "dims": [[5, 0]],
     "stimulus": {"kind": "counter", "step": 3, "modulo": 37}},
    {"path": "top|down", "flags": "0x80000040", "dims": [[5, 0]],
     "stimulus": {"kind": "counter", "start": 1000, "step": -1}}
  ]}},
  "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"], "advanced_after": 70}
})";
}

constexpr const char* CABLE = "SimCable [SIM-0]";
constexpr const char* DEVICE = "@1: SIMDEV-A";

// Members are public so that table rows (plain functions) can arrange a test.
class engine_test : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        std::string error;
        ASSERT_TRUE(standin::project::load_json(design_json(), m_dir.path().toStdString(), &error)) << error;
        standin::chi::set_pace_ms(0);
        standin::chi::set_delivery(standin::chi::delivery::manual);
        m_main = std::this_thread::get_id();
        auto session = standin::sdr::make_session(path("design.vtl"), 2);
        ASSERT_TRUE(m_editing.open_session(session.release()));
        m_editing.set_jtag_chain_name(CABLE);
        m_editing.set_jtag_device_name(DEVICE);
    }

    void TearDown() override { standin::chi::shutdown(); }

    // A fresh document over fresh stand-ins, for the next row of a table.
    void restart()
    {
        standin::chi::shutdown();
        m_editing.close_session();
        standin::reset_all();
        SetUp();
    }

    // A callback that outlives the test body: a run on the engine's thread may still report
    // until TearDown's shutdown.
    recorder& make_recorder() { return m_recorders.emplace_back(); }

    std::string path(const std::string& name) const { return m_dir.filePath(QString::fromStdString(name)).toStdString(); }
    SDR_DATA_SESSION* data() { return m_editing.get_data_session(); }
    SDR_DATA_INSTANCE* instance(int i = 0) { return data()->m_instances[size_t(i)].get(); }
    SDR_DATA_TRIGGER* trigger(int i = 0) { return instance(i)->get_active_trigger(); }
    SDR_TRIGGER_STATE& settings(int i = 0) { return trigger(i)->edit_transient(); }

    // A node tapped for data and trigger; returns its trigger-list row.
    int tap(const std::string& name, int i = 0)
    {
        standin::sdr::node_spec spec{name};
        return standin::sdr::add_node(trigger(i), spec);
    }

    // The bus "<name>[hi..0]" as the node finder adds it, most significant bit first.
    int tap_bus(const std::string& name, int width, int i = 0)
    {
        const int first = int(trigger(i)->state().trigger_list.size());
        for (int bit = width - 1; bit >= 0; --bit)
            tap(name + "[" + std::to_string(bit) + "]", i);
        return standin::sdr::add_group(trigger(i), first, first + width - 1, name, SDR_GTYPE_UNSIGNED);
    }

    void set_condition(int row, int level, SDR_DATA_TRIGGER_CONDITION condition, int i = 0)
    {
        settings(i).trigger_list[row].patterns[SDR_COPY_NORMAL].conditions[level] = condition;
    }

    void set_compare(int group, int level, SDR_DATA_TRIGGER_CONDITION op1, int value1, SDR_DATA_TRIGGER_CONDITION op2,
                     int value2, int i = 0)
    {
        SDR_NODE_COMPARISON& c = settings(i).trigger_list[group].patterns[SDR_COPY_NORMAL].comparisons[level];
        c = {true, true, op1, value1, op2, value2};
    }

    void set_depth(int depth, int i = 0)
    {
        trigger(i)->m_signal_set->edit_transient().sample_depth = depth;
    }

    // Compiles the document as it stands and programs the device with it.
    void compile_and_program()
    {
        for (const auto& each : data()->m_instances)
            SDR_TX_SIGNAL_SET::sync_data_list(each->get_active_signal_set(), each->get_active_trigger());
        std::string error;
        ASSERT_TRUE(standin::chi::compile(data(), 15, path("output/top.sof"), &error)) << error;
        ASSERT_TRUE(standin::chi::program_device_from_file(path("output/top.sof"), &error)) << error;
    }

    // Starts one request for entry `entry` with a new log.
    SDR_DATA_LOG* start(recorder* callback, int entry = 0, bool repeat = false)
    {
        SDR_DATA_LOG* log = m_editing.create_new_log(entry);
        CHI_CONTROL::ACQ_PARAMETER request;
        request.log = log;
        request.callback = callback;
        request.repeat = repeat ? 1 : 0;
        EXPECT_TRUE(CHI_CONTROL::run({request}));
        return log;
    }

    // The value of a bus of the log at a sample, its channels named "<name>[k]".
    static uint64_t bus_at(SDR_DATA_LOG* log, const std::string& name, int width, int sample)
    {
        uint64_t value = 0;
        for (int bit = width - 1; bit >= 0; --bit)
            value = value << 1 | (log->get_bit(channel(log, name + "[" + std::to_string(bit) + "]"), sample) ? 1 : 0);
        return value;
    }

    // The samples of one channel as '0'/'1'.
    static std::string row_of(SDR_DATA_LOG* log, const std::string& name)
    {
        std::string bits;
        const int c = channel(log, name);
        for (int s = 0; s < log->get_data_sample_depth(); ++s)
            bits += log->get_bit(c, s) ? '1' : '0';
        return bits;
    }

    static int channel(SDR_DATA_LOG* log, const std::string& name)
    {
        for (size_t i = 0; i < log->m_wire_names.size(); ++i)
            if (log->m_wire_names[i] == name)
                return int(i);
        ADD_FAILURE() << "no channel " << name;
        return -1;
    }

    std::deque<recorder> m_recorders;
    QTemporaryDir m_dir;
    SDR_TX_SESSION m_editing{nullptr, false};
    std::thread::id m_main;
};
} // namespace chi_test
