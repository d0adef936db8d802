#pragma once
// Shared set-up of the acquisition control tests: a design with a counter bus and a simulated
// cable, documents whose instances tap it, and a status callback that records the engine's
// reports (from whichever thread) and says when it is deleted.

#include "sedq_tx_manager_test_support.h"

#include "host/standin/chi_control.h"
#include "host/standin/project_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"
#include "sedq/frame/sedq_control_cmd_ela_int.h"
#include "support/counter_design.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <set>
#include "sedq/model/sedq_repository.h"

namespace acquisition_test
{
using counter_design::CABLE;
using counter_design::design_json;
using counter_design::DEVICE;

// Callbacks that are still alive, so a test sees which ones the model released.
inline std::set<const void*>& live_callbacks()
{
    static std::set<const void*> live;
    return live;
}

class callback : public SEDQ_CONTROL_CMD_ELA_INT
{
public:
    explicit callback(int instance) : SEDQ_CONTROL_CMD_ELA_INT(nullptr, instance) { live_callbacks().insert(this); }
    ~callback() override { live_callbacks().erase(this); }

    void update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log) override
    {
        m_value = value;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back({int(status), value, log});
    }

    struct report
    {
        int status;
        int value;
        SDR_DATA_LOG* log;
    };
    std::vector<report> reports() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }
    std::vector<std::pair<int, int>> pairs() const
    {
        std::vector<std::pair<int, int>> result;
        for (const report& r : reports())
            result.emplace_back(r.status, r.value);
        return result;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<report> m_reports;
};

// The state word of an engine status, as the instance manager's callback maps it.
inline int state_of(int status)
{
    static const int words[] = {0x800000, 0x2000,   0x8000,  0x2008000, 0x4000,   0x2004000,
                                0x10000,  0x2010000, 0x20000, 0x2020000, 0x400000, 0x2400000,
                                0x40000,  0x2040000, 0x200000, 0x1000000, 0,        0x80000};
    return status >= 0 && status < 18 ? words[status] : 0;
}

class acquisition : public sedq_tx_manager_test
{
protected:
    void SetUp() override
    {
        sedq_tx_manager_test::SetUp();
        std::string error;
        ASSERT_TRUE(standin::project::load_json(design_json(), m_dir.path().toStdString(), &error)) << error;
        standin::chi::set_pace_ms(0);
        standin::chi::set_delivery(standin::chi::delivery::manual);
    }

    void TearDown() override
    {
        standin::chi::shutdown();
        for (callback* c : m_started)
            delete c;
        m_started.clear();
        sedq_tx_manager_test::TearDown();
    }

    // The demo and its project copied into the test's folder (so that compiling writes beside the
    // copy) and opened on the demo's cable and device, in a window or (not `with_frame`) in the
    // model alone.
    SEDQ_TX_MANAGER* open_demo(bool with_frame = true)
    {
        const QDir examples(QString(SEDQ_TEST_DATA_DIR) + "/../examples");
        EXPECT_TRUE(QDir(m_dir.path()).mkpath("output"));
        for (const char* file : {"demo.vtl", "standin_project.json", "output/demo_top.sof"})
            EXPECT_TRUE(QFile::copy(examples.filePath(file), m_dir.filePath(file))) << file;
        std::string error;
        EXPECT_TRUE(standin::project::load(path("standin_project.json"), &error)) << error;
        SEDQ_TX_MANAGER* manager = make_manager(with_frame);
        EXPECT_TRUE(manager->open_document(path("demo.vtl").c_str(), nullptr, nullptr));
        if (m_frame)
            m_frame->set_file_path(FIO_PATH(path("demo.vtl")));
        manager->set_jtag_hardware(CABLE, false);
        manager->set_jtag_device(DEVICE, false);
        return manager;
    }

    // Fresh stand-ins and no window, for the next row of a table.
    void restart()
    {
        TearDown();
        standin::reset_all();
        SetUp();
    }

    // Instances tapping the counter bus (rows 0..8: the bus and its bits, most significant
    // first) and "flag", with the clock "clk" and 128 samples; level 1 fires at count 0x42.
    static void prepare(SDR_DATA_SESSION& session)
    {
        for (const auto& instance : session.m_instances)
        {
            SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
            for (int bit = 7; bit >= 0; --bit)
                standin::sdr::add_node(trigger, {"cnt[" + std::to_string(bit) + "]"});
            standin::sdr::add_group(trigger, 0, 7, "cnt", SDR_GTYPE_HEX);
            standin::sdr::add_node(trigger, {"flag"});
            SDR_NODE_COMPARISON& c = trigger->edit_transient().trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0];
            c = {true, true, SDR_CTYPE_COMPARE_EQUAL_TO, 0x42, SDR_CTYPE_COMPARE_TRUE, 0};
            trigger->m_signal_set->edit_transient().clock_name = "clk";
            trigger->m_signal_set->edit_transient().sample_depth = 128;
            SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
        }
    }

    // A window, a document of `instances` instances on the simulated cable.
    SEDQ_TX_MANAGER* open(int instances = 2, bool with_frame = true)
    {
        const std::string file = write_document("probe.vtl", instances, &prepare);
        SEDQ_TX_MANAGER* manager = make_manager(with_frame);
        EXPECT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
        if (m_frame)
            m_frame->set_file_path(FIO_PATH(file));
        manager->set_jtag_hardware(CABLE, false);
        manager->set_jtag_device(DEVICE, false);
        take_hints();
        return manager;
    }

    SDR_DATA_SESSION* data() { return SEDQ_REPOSITORY::session(m_manager.get())->get_data_session(); }
    int log_count(int instance) { return data()->m_instances[size_t(instance)]->get_active_trigger()->get_num_logs(); }

    void compile_and_program()
    {
        std::string error;
        const std::string sof = path("output/top.sof");
        ASSERT_TRUE(standin::chi::compile(data(), 15, sof, &error)) << error;
        ASSERT_TRUE(standin::chi::program_device_from_file(sof, &error)) << error;
    }

    // One request per instance, each with a callback of its own.
    std::vector<CHI_CONTROL::ACQ_PARAMETER> requests(std::vector<int> instances, bool repeat = false)
    {
        std::vector<CHI_CONTROL::ACQ_PARAMETER> list;
        for (int instance : instances)
        {
            CHI_CONTROL::ACQ_PARAMETER request;
            request.callback = new callback(instance);
            request.repeat = repeat ? 1 : 0;
            list.push_back(request);
        }
        return list;
    }

    // Runs the requests; the callbacks of requests that started are the test's to delete.
    std::vector<callback*> run(std::vector<CHI_CONTROL::ACQ_PARAMETER> list)
    {
        m_manager->run(&list);
        std::vector<callback*> started;
        for (const CHI_CONTROL::ACQ_PARAMETER& request : list)
            started.push_back(static_cast<callback*>(request.callback));
        m_started.insert(m_started.end(), started.begin(), started.end());
        return started;
    }

    // What the instance manager does with each report on the GUI thread.
    void apply(const callback* c)
    {
        for (const callback::report& r : c->reports())
        {
            const int flags = state_of(r.status);
            if (flags == 0)
                continue;
            m_manager->set_instance_acq_state(c->get_instance(), flags);
            if (flags & SEDQ_ACQ_STATE_DATA_READY)
                m_manager->set_view_log(c->get_instance(), r.log);
        }
    }

    std::vector<callback*> m_started;
};
} // namespace acquisition_test
