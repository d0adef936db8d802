// The demo acquired end to end with the serial decoder: a character typed as the trigger value
// of the fsm_uart instance's decoder group makes the run trigger where the simulated
// transmitter starts sending that character, and a night of runs keeps each log's decoded
// values, saves and opens again.
#include "model/sedq_tx_manager_acquisition_test_support.h"

#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/gen_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_refusal.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

namespace
{
constexpr int UART_INSTANCE = 1;

class demo_trigger : public acquisition_test::acquisition
{
protected:
    SEDQ_TX_MANAGER* open_demo_with_decoder(bool with_frame = true)
    {
        EXPECT_TRUE(QDir(m_dir.path()).mkpath("modules"));
        EXPECT_TRUE(QFile::copy(SEDQ_DECODER_DIR "/libsld_sed_uart.so", m_dir.filePath("modules/libsld_sed_uart.so")));
        standin::gen::set_module_path(path("modules"));
        return open_demo(with_frame);
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

    // One run of the instance through the engine, its end handled as the instance manager does.
    void run_once(int instance)
    {
        const std::vector<acquisition_test::callback*> started = run(requests({instance}));
        ASSERT_EQ(started.size(), 1u) << sedq_take_refusal();
        ASSERT_TRUE(standin::chi::wait_idle(20000));
        apply(started[0]);
    }

    // The symbol the log's own decoder table gives the byte at the trigger.
    static std::string decoded_at_trigger(const SDR_DATA_LOG* log, int table_id)
    {
        const SDR_DATA_MNEMONICS_TABLE* table = log->get_static_plugin_mnemonics_table(table_id);
        if (table == nullptr)
            return "(no table)";
        std::string bits;
        for (int bit = 7; bit >= 0; --bit)
            bits += (byte_at(log, log->get_data_trigger_position(-1)) >> bit) & 1 ? '1' : '0';
        return table->get_first_symbol(bits.c_str());
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
    ASSERT_NO_FATAL_FAILURE(run_once(UART_INSTANCE));
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

// A night of autorun on fsm_uart with its decoder, in the model (a window adds nothing here but
// time): every run triggers where "n" is sent, so each log decodes the values of the log before
// it, and the document holds their table once. The first runs go through the engine; the others
// take the engine's path from a finished acquisition on (the document's next log, the samples,
// the log shown as the instance manager shows it) with the samples it acquired. Every run
// starts, the document saves, opens again with each log decoding its byte, and runs on.
TEST_F(demo_trigger, a_night_of_runs_with_the_decoder_saves_and_opens_again)
{
    constexpr int RUNS = 300000;
    constexpr int ENGINE_RUNS = 3;
    SEDQ_TX_MANAGER* manager = open_demo_with_decoder(false);
    compile_and_program();
    standin::chi::set_delivery(standin::chi::delivery::thread);
    for (int i = 0; i < ENGINE_RUNS; ++i)
        ASSERT_NO_FATAL_FAILURE(run_once(UART_INSTANCE));
    SDR_TX_SESSION* session = SEDQ_REPOSITORY::session(manager);
    const SDR_PAYLOAD_HANDLE samples = session->get_log_at(UART_INSTANCE, false)->m_payload;
    for (int i = ENGINE_RUNS; i < RUNS; ++i)
    {
        SDR_DATA_LOG* log = session->create_new_log(UART_INSTANCE);
        ASSERT_NE(log, nullptr) << "run " << i << ": " << sedq_take_refusal();
        log->m_payload = samples;
        session->forget_replaced_log(log);
        manager->set_view_log(UART_INSTANCE, log);
    }
    const int logs = RUNS + 1; // and the demo's own
    const SDR_TX_SIGNAL_SET* nodes = manager->get_signal_nodes(UART_INSTANCE);
    int id = -1;
    for (int row = 0; row < nodes->get_num_nodes(); ++row)
        if (nodes->get_group_display_type(row) == SDR_GTYPE_PLUGIN)
            id = nodes->get_plugin_group(row)->get_plugin_id();
    EXPECT_EQ(SDR_FILE_LIMITS::count(*data(), SDR_FILE_ELEMENT::TABLE), 1);
    ASSERT_TRUE(manager->save_document(path("demo.vtl").c_str()));

    make_manager(false);
    ASSERT_TRUE(m_manager->open_document(path("demo.vtl").c_str(), nullptr, nullptr));
    const SDR_DATA_TRIGGER* uart = data()->m_instances[UART_INSTANCE]->get_active_trigger();
    ASSERT_EQ(uart->get_num_logs(), logs);
    EXPECT_EQ(SDR_FILE_LIMITS::count(*data(), SDR_FILE_ELEMENT::TABLE), 1);
    for (int log : {0, 1, logs / 2, logs - 1})
        EXPECT_EQ(decoded_at_trigger(uart->get_log_at(log), id), "n") << log;
    ASSERT_NO_FATAL_FAILURE(run_once(UART_INSTANCE));
    EXPECT_EQ(uart->get_num_logs(), logs + 1);
    EXPECT_EQ(decoded_at_trigger(uart->get_log_at(logs), id), "n");
}
} // namespace