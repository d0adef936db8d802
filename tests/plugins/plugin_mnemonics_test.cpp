// Mnemonic tables of nodes next to plug-in groups: the decoder's table label stands for the
// table name, symbols come from the decoder, and a user table built on a plug-in group turns it
// into a user-table group.
#include "plugin_test_support.h"

#include "host/sdr/sdr_plugin_group.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_repository.h"

namespace
{
class plugin_mnemonics_test : public plugin_test
{
protected:
    // Row 0 a four-bit bus decoded by the serial decoder's table (a label only: width 4).
    SEDQ_TX_MANAGER* plugin_bus()
    {
        install({"uart"});
        SEDQ_TX_MANAGER* manager = document(false);
        for (const char* name : {"top|q3", "top|q2", "top|q1", "top|q0"})
            standin::sdr::add_node(data_trigger(), {name});
        standin::sdr::add_group(data_trigger(), 0, 3, "q");
        manager->refresh_tx_cache();
        SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT settings;
        settings.plugin_name = "uart";
        settings.table_name = "uart";
        settings.setup = true;
        settings.node_names = QStringList{"q3", "q2", "q1", "q0"};
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
            EXPECT_TRUE(manager->open_plugin_mnemonic_table(0, &settings));
        }
        return manager;
    }

    SDR_DATA_MNEMONICS* tables() { return SEDQ_REPOSITORY::session(m_manager.get())->get_data_session()->get_mnemonics(); }
};

TEST_F(plugin_mnemonics_test, a_plug_in_group_names_and_decodes_through_its_decoder)
{
    SEDQ_TX_MANAGER* manager = plugin_bus();
    QString name;
    ASSERT_TRUE(manager->get_node_mnemonics_table_name(0, &name, manager->get_trigger_nodes(-1)));
    EXPECT_EQ(name, "uart : width = 4");
    EXPECT_EQ(tables()->find_table(name.toLocal8Bit().constData()), nullptr);
    QString symbol;
    EXPECT_TRUE(manager->get_node_mnemonics_symbol(0, "0100000101", &symbol, SEDQ_REPOSITORY::trigger_nodes(manager, -1)));
    EXPECT_EQ(symbol, "A") << "the decoder reads the first eight bits of the value";
    int width = 0;
    EXPECT_TRUE(manager->get_node_mnemonics_width(0, &width));
    EXPECT_EQ(width, 4);
}

// "Add Table" names a user table "<name> : width = <n>", as a plug-in group's label reads: a
// user table "uart" of width 4 still leaves the group to its decoder.
TEST_F(plugin_mnemonics_test, a_user_table_named_like_the_label_never_stands_in_for_the_decoder)
{
    SEDQ_TX_MANAGER* manager = plugin_bus();
    SDR_DATA_MNEMONICS_TABLE_CONTENT user;
    user.name = "uart : width = 4";
    user.width = 4;
    user.entries = {{"user", "0100"}};
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        ASSERT_TRUE(manager->replace_mnemonic_tables({user}));
    }
    ASSERT_NE(tables()->find_table("uart : width = 4"), nullptr);
    QString symbol;
    EXPECT_TRUE(manager->get_node_mnemonics_symbol(0, "0100000101", &symbol, SEDQ_REPOSITORY::trigger_nodes(manager, -1)));
    EXPECT_EQ(symbol, "A");
    int width = 0;
    EXPECT_TRUE(manager->get_node_mnemonics_width(0, &width));
    EXPECT_EQ(width, 4);
}

// Without a node list the lookup answers true whether or not a table names the value; the
// symbol stays null when none does and is the empty text when an entry names it with nothing.
TEST_F(plugin_mnemonics_test, without_a_node_list_a_missing_table_still_answers_true)
{
    SEDQ_TX_MANAGER* manager = document(false);
    for (const char* name : {"top|q1", "top|q0"})
        standin::sdr::add_node(data_trigger(), {name});
    standin::sdr::add_group(data_trigger(), 0, 1, "q");
    manager->refresh_tx_cache();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        manager->create_mnemonic_table(0, "states", {"idle", ""}, {"00", "01"});
    }
    const struct
    {
        const char* bits;
        bool null;
        const char* symbol;
    } rows[] = {{"00", false, "idle"}, {"01", false, ""}, {"11", true, ""}};
    for (const auto& row : rows)
    {
        QString symbol;
        EXPECT_TRUE(manager->get_node_mnemonics_symbol(0, row.bits, &symbol, nullptr)) << row.bits;
        EXPECT_EQ(symbol.isNull(), row.null) << row.bits;
        EXPECT_EQ(symbol, row.symbol) << row.bits;
    }
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        ASSERT_TRUE(manager->replace_mnemonic_tables({}));
    }
    QString symbol = "kept";
    EXPECT_TRUE(manager->get_node_mnemonics_symbol(0, "00", &symbol, nullptr)) << "the table is gone";
    EXPECT_EQ(symbol, "kept");
    EXPECT_FALSE(manager->get_node_mnemonics_symbol(0, "00", &symbol, SEDQ_REPOSITORY::trigger_nodes(manager, -1)))
        << "with a node list a missing table answers false";
}

TEST_F(plugin_mnemonics_test, a_user_table_replaces_the_decoder_and_an_old_table_wholesale)
{
    SEDQ_TX_MANAGER* manager = plugin_bus();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        manager->create_mnemonic_table(0, "states", {"idle", "busy"}, {"0000", "0001"});
        manager->create_mnemonic_table(0, "states", {"done"}, {"1111"});
    }
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    ASSERT_TRUE(manager->get_node_group_display_type(0, &type));
    EXPECT_EQ(type, SDR_GTYPE_MNEMONICS) << "the plug-in group became a user-table group";
    const SDR_DATA_MNEMONICS_TABLE* table = tables()->find_table("states");
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->get_first_symbol("1111"), "done");
    const char* old = table->get_first_symbol("0000");
    EXPECT_TRUE(old == nullptr || *old == '\0') << "the old entries are gone";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(plugin_mnemonics_test, indices_past_the_document_tables_are_plug_in_tables)
{
    SEDQ_TX_MANAGER* manager = plugin_bus();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        manager->create_mnemonic_table(0, "states", {"idle"}, {"0000"});
    }
    const int count = tables()->get_num_tables();
    QString name;
    EXPECT_TRUE(manager->get_mnemonics_table_name(count - 1, &name));
    EXPECT_EQ(name, "states");
    EXPECT_FALSE(manager->is_plugin_mnemonic_table(count - 1));
    name = "untouched";
    EXPECT_TRUE(manager->get_mnemonics_table_name(count, &name));
    EXPECT_EQ(name, "untouched");
    EXPECT_TRUE(manager->is_plugin_mnemonic_table(count));
}
} // namespace
