// The demo acquired end to end with the serial decoder: a character typed as the trigger value
// of the fsm_uart instance's decoder group makes the run trigger where the simulated
// transmitter starts sending that character.
#include "model/sedq_tx_manager_acquisition_test_support.h"

#include "host/standin/gen_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

namespace
{
constexpr int UART_INSTANCE = 1;

class demo_trigger : public acquisition_test::acquisition
{
protected:
    SEDQ_TX_MANAGER* open_demo_with_decoder()
    {
        EXPECT_TRUE(QDir(m_dir.path()).mkpath("modules"));
        EXPECT_TRUE(QFile::copy(SEDQ_DECODER_DIR "/libsld_sed_uart.so", m_dir.filePath("modules/libsld_sed_uart.so")));
        standin::gen::set_module_path(path("modules"));
        return open_demo();
    }

    // The byte on the data rows of the log at `sample`, data[7] first.
    static int byte_at(const SDR_DATA_LOG* log, int sample)
    {
        int byte = 0;
        for (int bit = 7; bit >= 0; --bit)
        {
            const std::string wire = "uart_tx|data[" + std::to_string(bit) + "]";
            const auto found = std::find(log->m_wire_names.begin(), log->m_wire_names.end(), wire);
            const int channel = int(found - log->m_wire_names.begin());
            byte = byte << 1 | (found != log->m_wire_names.end() && log->get_bit(channel, sample) ? 1 : 0);
        }
        return byte;
    }
};

TEST_F(demo_trigger, a_character_as_trigger_value_triggers_where_it_is_sent)
{
    SEDQ_TX_MANAGER* manager = open_demo_with_decoder();
    SDR_DATA_TRIGGER* uart = data()->m_instances[UART_INSTANCE]->get_active_trigger();
    standin::sdr::set_levels(uart, 1);
    uart->edit_transient().state_based = false;
    manager->refresh_tx_cache();
    const SDR_TX_TRIGGER* nodes = manager->get_trigger_nodes(UART_INSTANCE);
    int group = -1;
    for (int row = 0; row < nodes->get_num_nodes() && group < 0; ++row)
        if (nodes->get_group_display_type(row) == SDR_GTYPE_PLUGIN)
            group = row;
    ASSERT_GE(group, 0);
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK, SEDQ_EDIT_SCOPE::NO_REFRESH, UART_INSTANCE);
        EXPECT_TRUE(SEDQ_NUMBER(QString("a")).set_string(manager, group, 0, UART_INSTANCE));
    }

    // The edited document compiled into the device, as Start Compilation and Program do.
    ASSERT_TRUE(manager->save_document(path("demo.vtl").c_str()));
    compile_and_program();
    standin::chi::set_delivery(standin::chi::delivery::thread);
    const std::vector<acquisition_test::callback*> started = run(requests({UART_INSTANCE}));
    ASSERT_EQ(started.size(), 1u);
    ASSERT_TRUE(standin::chi::wait_idle(20000));
    apply(started[0]);
    const SDR_DATA_LOG* log = manager->get_tx_session()->get_log_at(UART_INSTANCE, false);
    ASSERT_TRUE(log != nullptr && log->is_data_available(false));
    const int t = log->get_data_trigger_position(-1);
    ASSERT_GT(t, 0);
    EXPECT_EQ(byte_at(log, t), 'a');
    EXPECT_NE(byte_at(log, t - 1), 'a') << "the first sample of the character";
    QString symbol;
    EXPECT_TRUE(manager->get_plugin_trigger_condition_symbol(&symbol, group, 0, UART_INSTANCE));
    EXPECT_EQ(symbol, "a");
}
} // namespace
