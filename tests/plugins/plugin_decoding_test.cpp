// Plug-in groups on a document: opening a decoder table on a group, display text and trigger
// bits from the decoder, the trigger symbol per level with undo, and reopening the tables of
// a saved document with and without the decoder library.
#include "plugin_test_support.h"

#include "host/sdr/sdr_plugin_group.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_repository.h"

namespace
{
class plugin_group_test : public plugin_test
{
protected:
    // Row 0 a bus over the eight rows d7..d0, decoded by `plugin`'s table "uart".
    SEDQ_TX_MANAGER* uart_group(const QString& plugin = "uart", const QString& baud = "9600")
    {
        SEDQ_TX_MANAGER* manager = document(false);
        for (int bit = 7; bit >= 0; --bit)
            standin::sdr::add_node(data_trigger(), {"top|d" + std::to_string(bit)});
        standin::sdr::add_group(data_trigger(), 0, 7, "data");
        manager->refresh_tx_cache();
        SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT settings;
        settings.plugin_name = plugin;
        settings.table_name = "uart";
        settings.setup = true;
        for (int bit = 7; bit >= 0; --bit)
            settings.node_names << QString("d%1").arg(bit);
        settings.user_options = {{"Baud rate", "Baud rate of the line", "number", baud},
                                 {"Symbol file", "File of symbol names", "file", ""},
                                 {"Format", "Display format", "string", "char"}};
        settings.internal_options = {{"bit order", "msb first"}};
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
            m_opened = manager->open_plugin_mnemonic_table(0, &settings);
        }
        m_record = settings.settings;
        return manager;
    }

    bool m_opened = false;
    SDR_PLUGIN_GROUP* m_record = nullptr;
};

TEST_F(plugin_group_test, an_opened_table_is_stored_on_the_group_record)
{
    install({"uart"});
    SEDQ_TX_MANAGER* manager = uart_group();
    ASSERT_TRUE(m_opened);
    ASSERT_NE(m_record, nullptr);
    EXPECT_NE(m_record->get_table_handle(), nullptr);
    QString label;
    EXPECT_TRUE(manager->get_node_mnemonics_table_name(0, &label, nullptr));
    EXPECT_EQ(label, "uart : width = 8");
    int width = 0;
    EXPECT_TRUE(manager->get_node_mnemonics_width(0, &width)) << "no table of the document: the decoder's width";
    EXPECT_EQ(width, 8);
    const char* type_name = nullptr;
    int type = -1;
    ASSERT_TRUE(m_record->get_user_option(0, &type_name, nullptr, &type, nullptr));
    EXPECT_EQ(type, 1) << "a number";
    ASSERT_TRUE(m_record->get_user_option(1, nullptr, nullptr, &type, nullptr));
    EXPECT_EQ(type, 2) << "a file";
}

TEST_F(plugin_group_test, the_decoder_turns_values_into_text_and_symbols_into_bits)
{
    install({"uart"});
    SEDQ_TX_MANAGER* manager = uart_group();
    struct ROW
    {
        const char* symbol;
        bool mapped;
        QString bits;
    };
    const std::vector<ROW> rows = {{"V", true, "01010110"}, {"*", true, "XXXXXXXX"},
                                   {"<0A>", true, "00001010"}, {"??", false, ""}};
    for (const ROW& row : rows)
    {
        QString bits;
        EXPECT_EQ(manager->get_plugin_trigger(&bits, row.symbol, 0, -1), row.mapped) << row.symbol;
        EXPECT_EQ(bits, row.bits) << row.symbol;
    }
    EXPECT_EQ(boxes(), std::vector<std::string>{"Corvane\nuart: unknown symbol \"??\""}) << "a failed trigger call";
    QString text;
    EXPECT_TRUE(manager->get_plugin_mnemonic(&text, "01100001", 0, nullptr));
    EXPECT_EQ(text, "a");
    EXPECT_FALSE(manager->get_plugin_mnemonic(&text, "0110000Z", 0, nullptr));
    EXPECT_TRUE(boxes().empty()) << "a failed display call is silent";
    EXPECT_TRUE(manager->refresh_plugin_mnemonics(0, SEDQ_REPOSITORY::trigger_nodes(manager, -1)));
}

TEST_F(plugin_group_test, failing_decoder_calls_answer_false_and_show_their_text)
{
    install({"opened_calls_fail", "long_texts:long"});
    SEDQ_TX_MANAGER* manager = uart_group("faulty");
    ASSERT_TRUE(m_opened);
    QString bits;
    EXPECT_FALSE(manager->refresh_plugin_mnemonics(0, SEDQ_REPOSITORY::trigger_nodes(manager, -1)));
    EXPECT_FALSE(manager->get_plugin_trigger(&bits, "V", 0, -1));
    QString text;
    EXPECT_FALSE(manager->get_plugin_mnemonic(&text, "01010110", 0, nullptr));
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Corvane\nfaulty failed", "Corvane\nfaulty failed"}))
        << "a failed display call is silent";
    // A decoder that fills the whole buffer: the text ends at its last byte.
    m_record->set_plugin_name(QByteArray(1023, 'L').constData());
    EXPECT_TRUE(manager->get_plugin_trigger(&bits, "V", 0, -1));
    EXPECT_EQ(bits, QString(1023, 'L'));
}

// A table that did not open has no handle: the decoder is never handed one it did not give out,
// neither for its calls nor for the options, and the group keeps its record all the same.
TEST_F(plugin_group_test, a_group_whose_table_did_not_open_is_never_handed_to_its_decoder)
{
    install({"calls_fail"});
    SEDQ_TX_MANAGER* manager = uart_group("faulty");
    EXPECT_FALSE(m_opened);
    ASSERT_NE(m_record, nullptr) << "the record is written all the same";
    EXPECT_STREQ(m_record->get_plugin_name(), "faulty");
    EXPECT_EQ(m_record->get_table_handle(), nullptr) << "whatever the decoder left in it";
    EXPECT_EQ(boxes(), std::vector<std::string>{"Corvane\nfaulty failed"}) << "the failed open";
    QString bits;
    QString text;
    EXPECT_FALSE(manager->refresh_plugin_mnemonics(0, SEDQ_REPOSITORY::trigger_nodes(manager, -1)));
    EXPECT_FALSE(manager->get_plugin_trigger(&bits, "V", 0, -1));
    EXPECT_FALSE(manager->get_plugin_mnemonic(&text, "01010110", 0, nullptr));
    std::unique_ptr<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT> plugin(manager->get_plugin_struct(0));
    ASSERT_NE(plugin, nullptr);
    SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT without_group = *plugin;
    without_group.settings = nullptr;
    plugin->user_options[0].value = "4800";
    EXPECT_TRUE(manager->set_plugin_user_options({plugin.get(), &without_group}));
    EXPECT_TRUE(boxes().empty()) << "no call reached the decoder";
    const char* value = nullptr;
    ASSERT_TRUE(m_record->get_user_option(0, nullptr, &value, nullptr, nullptr));
    EXPECT_STREQ(value, "4800") << "the record stores the values all the same";
}

// A display call that throws refuses the plug-in for the rest of the session: one box names it,
// its group is passed over like one whose decoder is not loaded, and it is no longer offered.
TEST_F(plugin_group_test, a_decoder_that_throws_is_refused_and_said_so_once)
{
    install({"throws_in_display"});
    SEDQ_TX_MANAGER* manager = uart_group("thrower");
    ASSERT_TRUE(m_opened);
    boxes();
    QString text = "untouched";
    for (int call = 0; call < 2; ++call)
        EXPECT_FALSE(manager->get_plugin_mnemonic(&text, "01010110", 0, nullptr));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(boxes(), std::vector<std::string>{"Corvane\nThe decoder plug-in libsld_sed_throws_in_display.so is "
                                                "not used: plugin_get_display_mnemonic threw an exception."});
    EXPECT_EQ(sedq_find_plugin("thrower"), nullptr);
    EXPECT_TRUE(manager->get_plugin_names().isEmpty());
    EXPECT_FALSE(manager->show_plugin_error_msg("thrower"));
    QString bits;
    EXPECT_FALSE(manager->get_plugin_trigger(&bits, "V", 0, -1)) << "no call reaches it any more";
    EXPECT_TRUE(boxes().empty());
}

TEST_F(plugin_group_test, trigger_symbols_are_kept_per_level)
{
    install({"uart"});
    SEDQ_TX_MANAGER* manager = uart_group();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_TRUE(manager->set_plugin_trigger_condition_symbol("V", 0, 0, -1));
        for (int level : {-1, -2, -3})
            EXPECT_TRUE(manager->set_plugin_trigger_condition_symbol("x", 0, level, -1)) << level;
        EXPECT_FALSE(manager->set_plugin_trigger_condition_symbol("x", 0, -4, -1));
    }
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"pattern >= -3 && pattern <= -1"});
    QString symbol = "kept";
    EXPECT_TRUE(manager->get_plugin_trigger_condition_symbol(&symbol, 0, -2, -1));
    EXPECT_EQ(symbol, "kept");
    EXPECT_TRUE(manager->get_plugin_trigger_condition_symbol(&symbol, 0, 0, -1));
    EXPECT_EQ(symbol, "V");
    EXPECT_EQ(m_record->get_trigger_symbols().size(), 1);
}

TEST_F(plugin_group_test, a_typed_symbol_is_one_undo_step)
{
    install({"uart"});
    SEDQ_TX_MANAGER* manager = uart_group();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_TRUE(SEDQ_NUMBER(QString("V")).set_string(manager, 0, 0, -1));
    }
    QString symbol;
    auto symbol_at_level_0 = [&] {
        symbol.clear();
        manager->get_plugin_trigger_condition_symbol(&symbol, 0, 0, -1);
        return symbol;
    };
    EXPECT_EQ(symbol_at_level_0(), "V");
    manager->on_edit_undo();
    EXPECT_EQ(symbol_at_level_0(), "") << "undo removes the symbol";
    manager->on_edit_redo();
    EXPECT_EQ(symbol_at_level_0(), "V") << "redo restores it";
    ASSERT_TRUE(manager->save_document(path("symbols.vtl").c_str()));
    ASSERT_TRUE(manager->open_document(path("symbols.vtl").c_str(), nullptr, nullptr));
    EXPECT_EQ(symbol_at_level_0(), "V") << "saved and reopened";
}

TEST_F(plugin_group_test, a_document_opened_without_its_decoder_keeps_the_group_and_reopens_it_later)
{
    install({"uart"});
    SEDQ_TX_MANAGER* manager = uart_group("uart", "fast");
    EXPECT_TRUE(manager->save_document(path("uart.vtl").c_str()));
    m_manager.reset();
    m_frame.reset();
    install({});
    manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(path("uart.vtl").c_str(), nullptr, nullptr));
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    EXPECT_TRUE(manager->get_node_group_display_type(0, &type));
    EXPECT_EQ(type, SDR_GTYPE_PLUGIN);
    QString bits;
    EXPECT_FALSE(manager->get_plugin_trigger(&bits, "V", 0, -1)) << "no decoder, no bits";
    boxes();
    m_manager.reset();
    m_frame.reset();
    install({"uart"});
    manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(path("uart.vtl").c_str(), nullptr, nullptr));
    EXPECT_TRUE(manager->get_plugin_trigger(&bits, "V", 0, -1));
    EXPECT_EQ(bits, "01010110");
    EXPECT_EQ(boxes(), std::vector<std::string>{"Corvane\nBaud rate \"fast\" is not a number"})
        << "the stored options go back to the decoder";
}

TEST_F(plugin_group_test, option_messages_show_one_box_each_in_option_order)
{
    install({"messages"});
    SEDQ_TX_MANAGER* manager = uart_group("messages");
    boxes();
    EXPECT_TRUE(manager->open_plugin_mnemonic_tables());
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Corvane\nfirst option refused", "Corvane\nlast option refused"}));
}
} // namespace
