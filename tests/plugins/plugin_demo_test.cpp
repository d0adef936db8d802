// The bundled demo with the serial decoder installed: its fsm_uart instance carries a plug-in
// group over the transmitter's data byte, the stored acquisition is the one its condition (busy
// while the byte is "n") makes, and it decodes into the characters the transmitter sent as soon
// as the document is open.
#include "plugin_test_support.h"
#include "support/demo_files.h"

#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_file_control.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int UART_INSTANCE = 1;

std::string example(const char* name)
{
    return sedq_demo_file(name).toStdString();
}

int plugin_row(const SDR_TX_SIGNAL_NODES* nodes)
{
    for (int row = 0; nodes != nullptr && row < nodes->get_num_nodes(); ++row)
        if (nodes->get_group_display_type(row) == SDR_GTYPE_PLUGIN)
            return row;
    return -1;
}

// The group's value at each sample as the data list's rows give it, most significant bit first.
std::string group_bits(const SDR_DATA_LOG* log, const SDR_TX_SIGNAL_NODES* nodes, int group, int sample)
{
    std::string bits;
    for (int row = group + 1; row < nodes->get_num_nodes() && row <= group + 8; ++row)
    {
        const auto& wires = log->m_wire_names;
        const auto found = std::find(wires.begin(), wires.end(), std::string(nodes->get_node_name(row)));
        bits += found != wires.end() && log->get_bit(int(found - wires.begin()), sample) ? '1' : '0';
    }
    return bits;
}

TEST_F(plugin_test, the_demo_log_is_what_its_condition_makes_and_shows_characters_once_open)
{
    install({"uart"});
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(example("demo.vtl").c_str(), nullptr, nullptr));
    const SDR_TX_SIGNAL_SET* nodes = manager->get_signal_nodes(UART_INSTANCE);
    const int row = plugin_row(nodes);
    ASSERT_GE(row, 0) << "the demo's plug-in group";
    QString label;
    EXPECT_TRUE(manager->get_node_mnemonics_table_name(row, &label, nodes));
    EXPECT_EQ(label, "uart : width = 8");
    const SDR_DATA_LOG* log = manager->get_tx_session()->get_log_at(UART_INSTANCE, false);
    ASSERT_NE(log, nullptr);
    const SDR_DATA_MNEMONICS_TABLE* table =
        log->get_static_plugin_mnemonics_table(nodes->get_plugin_group(row)->get_plugin_id());
    ASSERT_NE(table, nullptr) << "decoded when the document opened, before any run or click";
    std::string decoded;
    std::string previous;
    for (int sample = 0; sample < log->get_data_sample_depth(); ++sample)
    {
        const std::string symbol = table->get_first_symbol(group_bits(log, nodes, row, sample).c_str());
        if (symbol != previous)
            decoded += symbol;
        previous = symbol;
    }
    EXPECT_EQ(decoded, "antrel") << "the bytes around the trigger, in the order sent";
    const int trigger = log->get_data_trigger_position(0);
    EXPECT_STREQ(table->get_first_symbol(group_bits(log, nodes, row, trigger).c_str()), "n")
        << "the byte the condition waits for";
    EXPECT_TRUE(boxes().empty());
}

// The log's stored table holds the values the log took; a value it never took ("V", sent just
// before the log's window) is named by the decoder, also where a user table bears the group's
// label. Without the decoder only a stored table could answer, and the demo stores none.
TEST_F(plugin_test, a_value_the_demo_log_never_took_is_named_by_its_decoder)
{
    const struct
    {
        const char* name;
        bool decoder;
        bool user_table;
        const char* taken;     // symbol of a value in the log ("n")
        const char* not_taken; // symbol of "V"; null: none
    } cases[] = {{"decoder", true, false, "n", "V"},
                 {"decoder and a user table of its label", true, true, "n", "V"},
                 {"no decoder (the demo stores no table of its own)", false, false, nullptr, nullptr}};
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        install(c.decoder ? std::vector<std::string>{"uart"} : std::vector<std::string>{});
        SEDQ_TX_MANAGER* manager = make_manager(true);
        ASSERT_TRUE(manager->open_document(example("demo.vtl").c_str(), nullptr, nullptr));
        if (c.user_table)
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
            SDR_DATA_MNEMONICS* tables = SEDQ_REPOSITORY::session(manager)->get_data_session()->get_mnemonics();
            SDR_DATA_MNEMONICS_TABLE* table = tables->create_table("uart : width = 8", 8);
            ASSERT_TRUE(table != nullptr && table->add_entry("user", "01010110"));
        }
        manager->set_instance(UART_INSTANCE);
        const int row = plugin_row(manager->get_nodes(SEDQ_CURRENT));
        ASSERT_GE(row, 0);
        for (const auto& [bits, expected] : {std::pair{"01101110", c.taken}, std::pair{"01010110", c.not_taken}})
        {
            QString symbol;
            EXPECT_TRUE(manager->get_node_mnemonics_symbol(row, bits, &symbol, nullptr)) << bits;
            EXPECT_EQ(symbol.isNull(), expected == nullptr) << bits;
            if (expected != nullptr)
                EXPECT_EQ(symbol.toStdString(), expected) << bits;
        }
        boxes();
        m_manager.reset();
        m_frame.reset();
    }
}
// A document with no room for one more table keeps no decoded values with its log: the
// Messages window says so and why, and the decoder still names what the log shows.
TEST_F(plugin_test, a_log_the_document_has_no_room_to_decode_says_so_and_still_shows_characters)
{
    install({"uart"});
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::TABLE), 0);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(example("demo.vtl").c_str(), nullptr, nullptr));
    const SDR_DATA_LOG* log = manager->get_tx_session()->get_log_at(UART_INSTANCE, false);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->m_static_plugin_tables.empty());
    const auto& posted = standin::msg::posted();
    const auto said = std::find_if(posted.begin(), posted.end(), [](const standin::msg::message_record& m) {
        return m.kind == "W" && m.text.find("The decoded values of data log \"uart_frames\" are not kept in the "
                                            "document: the document would hold more than 0 mnemonic tables") == 0;
    });
    EXPECT_NE(said, posted.end());
    manager->set_instance(UART_INSTANCE);
    QString symbol;
    const int row = plugin_row(manager->get_nodes(SEDQ_CURRENT));
    EXPECT_TRUE(manager->get_node_mnemonics_symbol(row, "01101110", &symbol, nullptr));
    EXPECT_EQ(symbol, "n");
    EXPECT_TRUE(boxes().empty());
}
} // namespace
