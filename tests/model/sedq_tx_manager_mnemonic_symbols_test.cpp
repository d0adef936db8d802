// Symbols added to the table a bus shows its values in, and the label of a plug-in bus's
// decoder table.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_plugin_group.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_repository.h"

namespace
{
SDR_DATA_MNEMONICS* mnemonics(SEDQ_TX_MANAGER* manager)
{
    return SEDQ_REPOSITORY::session(manager)->get_data_session()->get_mnemonics();
}
} // namespace

// Row 0 a bus over rows 1..2, row 3 a leaf.
class sedq_bus_mnemonics_test : public sedq_node_list_test
{
protected:
    SEDQ_TX_MANAGER* bus()
    {
        SEDQ_TX_MANAGER* manager = document(false);
        for (const char* name : {"top|s1", "top|s0", "top|x"})
            standin::sdr::add_node(data_trigger(), {name});
        standin::sdr::add_group(data_trigger(), 0, 1, "state");
        manager->refresh_tx_cache();
        take_hints();
        return manager;
    }
};

TEST_F(sedq_bus_mnemonics_test, symbols_join_the_bus_table)
{
    SEDQ_TX_MANAGER* manager = bus();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_FALSE(manager->set_node_mnemonics_symbol(0, "11", "done"));
        EXPECT_EQ(internal_errors(),
                  (std::vector<std::string>{"this->get_node_mnemonics_table_name(node_index, &table_name)"}));
        manager->create_mnemonic_table(0, "fsm", {"idle"}, {"00"});
        EXPECT_TRUE(manager->set_node_mnemonics_symbol(0, "11", "done"));
        EXPECT_STREQ(mnemonics(manager)->find_table("fsm")->get_first_symbol("11"), "done");
        EXPECT_FALSE(manager->set_node_mnemonics_symbol(0, "111", "wide")) << "a pattern of another width";
        EXPECT_TRUE(manager->set_node_mnemonics_table_name(0, "elsewhere"));
        EXPECT_FALSE(manager->set_node_mnemonics_symbol(0, "01", "x")) << "no table of that name";
    }
    const std::vector<int> hints = take_hints();
    EXPECT_NE(std::find(hints.begin(), hints.end(), H(0x80000020u)), hints.end())
        << "the document is modified";
}

TEST_F(sedq_bus_mnemonics_test, a_plug_in_bus_is_labelled_by_its_decoder_table)
{
    SEDQ_TX_MANAGER* manager = bus();
    QString text;
    EXPECT_FALSE(manager->get_plugin_mnemonic_table_name_menu_string(&text, 0, nullptr))
        << "a hexadecimal bus";
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        ASSERT_TRUE(manager->set_node_group_display_type(0, SDR_GTYPE_PLUGIN));
        SDR_PLUGIN_GROUP* record = SEDQ_REPOSITORY::nodes(manager, -1)->get_plugin_group(0);
        ASSERT_NE(record, nullptr);
        record->set_table_name("uart");
        record->set_width(8);
    }
    EXPECT_TRUE(manager->get_plugin_mnemonic_table_name_menu_string(&text, 0, nullptr));
    EXPECT_EQ(text, "uart : width = 8");
    QString name;
    EXPECT_TRUE(manager->get_node_mnemonics_table_name(0, &name, nullptr));
    EXPECT_EQ(name, "uart : width = 8");
    EXPECT_TRUE(manager->get_plugin_names().isEmpty()) << "no decoder plug-in is loaded";
}
