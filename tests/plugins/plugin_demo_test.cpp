// The bundled demo with the serial decoder installed: its fsm_uart instance carries a plug-in
// group over the transmitter's data byte, and the stored acquisition decodes into the
// characters the transmitter sent.
#include "plugin_test_support.h"
#include "support/demo_files.h"

#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"

namespace
{
constexpr int UART_INSTANCE = 1;

std::string example(const char* name)
{
    return sedq_demo_file(name).toStdString();
}

std::string bits_of(char c)
{
    std::string bits;
    for (int i = 7; i >= 0; --i)
        bits += (c >> i) & 1 ? '1' : '0';
    return bits;
}

int plugin_row(SDR_TX_SIGNAL_NODES* nodes)
{
    for (int row = 0; nodes != nullptr && row < nodes->get_num_nodes(); ++row)
        if (nodes->get_group_display_type(row) == SDR_GTYPE_PLUGIN)
            return row;
    return -1;
}

TEST_F(plugin_test, the_demo_log_shows_the_characters_the_transmitter_sent)
{
    install({"uart"});
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(example("demo.vtl").c_str(), nullptr, nullptr));
    SDR_TX_SIGNAL_SET* nodes = manager->get_signal_nodes(UART_INSTANCE);
    const int row = plugin_row(nodes);
    ASSERT_GE(row, 0) << "the demo's plug-in group";
    QString label;
    EXPECT_TRUE(manager->get_node_mnemonics_table_name(row, &label, nodes));
    EXPECT_EQ(label, "uart : width = 8");
    SDR_DATA_LOG* log = manager->get_tx_session()->get_log_at(UART_INSTANCE, false);
    ASSERT_NE(log, nullptr);
    manager->set_view_log(UART_INSTANCE, log);
    const SDR_DATA_MNEMONICS_TABLE* table =
        log->get_static_plugin_mnemonics_table(nodes->get_plugin_group(row)->get_plugin_id());
    ASSERT_NE(table, nullptr);
    std::string decoded;
    // 256 samples of 52-sample frames: the first five bytes of "Vantrel".
    for (char c : std::string("Vantr"))
    {
        const char* symbol = table->get_first_symbol(bits_of(c).c_str());
        decoded += symbol != nullptr ? symbol : "?";
    }
    EXPECT_EQ(decoded, "Vantr");
    EXPECT_TRUE(boxes().empty());
}
} // namespace
