// The demo as shipped, on the simulated device: the serial instance is state based, and its
// flow waits for the second level, whose preset condition is "busy while the data bus holds
// 'n'". The transmitter sends "Vantrel" over and over, one 52-sample frame per character, busy
// for the first 40 samples of each. The search starts at sample 32 (frame 0, 'V'), so the first
// sample meeting the preset is 104, where frame 2 ('n') starts; the trigger is stored at
// sample 32 of the log, whose first sample is 72 (frame 1, 'a', busy).
#include "sedq_tx_manager_acquisition_test_support.h"
#include "sedq/model/sedq_repository.h"

namespace
{
using acquisition_test::callback;

class demo_preset_run : public acquisition_test::acquisition
{
protected:
    // The shipped demo, programmed from its shipped programming file, and one run of the serial
    // instance; null when it gave no data.
    SDR_DATA_LOG* run_the_serial_instance()
    {
        SEDQ_TX_MANAGER* manager = open_demo();
        if (data()->m_instances.size() != 2u)
            return nullptr;
        std::string error;
        EXPECT_TRUE(standin::chi::program_device_from_file(path("output/demo_top.sof"), &error)) << error;
        const std::vector<callback*> started = run(requests({1}));
        standin::chi::run_to_end();
        for (callback* c : started)
            apply(c);
        SDR_DATA_LOG* log = SEDQ_REPOSITORY::session(manager)->get_log_at(1, false);
        // The demo's own stored log is no answer: the run must have brought one of its own.
        const bool acquired = log != nullptr && std::string(log->get_name()) != "uart_frames";
        return acquired && log->is_data_available(false) ? log : nullptr;
    }

    static int row_of(SDR_DATA_LOG* log, const std::string& name)
    {
        for (size_t i = 0; i < log->m_wire_names.size(); ++i)
            if (log->m_wire_names[i] == name)
                return int(i);
        return -1;
    }

    struct sample
    {
        bool busy;
        char data;
    };
    static sample at(SDR_DATA_LOG* log, int t)
    {
        int value = 0;
        for (int bit = 7; bit >= 0; --bit)
            value = value << 1 | (log->get_bit(row_of(log, "uart_tx|data[" + std::to_string(bit) + "]"), t) ? 1 : 0);
        return {log->get_bit(row_of(log, "uart_tx|busy"), t), char(value)};
    }
};
} // namespace

TEST_F(demo_preset_run, the_shipped_demo_triggers_where_its_preset_is_first_met)
{
    SDR_DATA_LOG* log = run_the_serial_instance();
    ASSERT_NE(log, nullptr);
    ASSERT_GE(row_of(log, "uart_tx|busy"), 0);
    ASSERT_GE(row_of(log, "uart_tx|data[0]"), 0);
    const int t = log->get_data_trigger_position(-1);
    ASSERT_EQ(t, 32);
    EXPECT_EQ(log->get_state_value(), 0) << "the flow triggers from its first state";
    const struct
    {
        const char* name;
        int sample;
        bool busy;
        char data;
    } rows[] = {
        {"the first stored sample, 72: frame 1 busy", 0, true, 'a'},
        {"the sample before the trigger, 103: frame 1 idle", t - 1, false, 'a'},
        {"the trigger, 104: frame 2 starts", t, true, 'n'},
        {"the trigger's frame, 143: still busy", t + 39, true, 'n'},
        {"the next frame, 156", t + 52, true, 't'},
    };
    for (const auto& row : rows)
    {
        const sample s = at(log, row.sample);
        EXPECT_EQ(s.busy, row.busy) << row.name;
        EXPECT_EQ(s.data, row.data) << row.name;
    }
}
