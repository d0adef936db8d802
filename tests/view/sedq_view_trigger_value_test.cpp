// The commands that set a whole bus's trigger through a dialog: Insert Value on the selected
// buses of one width, and the comparison of the first selected bus.
#include "sedq_trigger_edit_test_support.h"

#include "host/standin/qui_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/view/sedq_comparison_widgets.h"
#include "sedq/view/sedq_trigger_compare_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace
{
// Rows 0..8 bus "a" (8 bits, unsigned), 9..17 bus "b" (8 bits, hexadecimal), 18..22 bus "c"
// (4 bits); two levels.
constexpr int A = 0;
constexpr int B = 9;
constexpr int C = 18;

void three_buses(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    add_bus(trigger, "a", 8, SDR_GTYPE_UNSIGNED);
    add_bus(trigger, "b", 8, SDR_GTYPE_HEX);
    add_bus(trigger, "c", 4, SDR_GTYPE_HEX);
    set_member_pattern(trigger, B, "00010010", 1);
}

SDR_DATA_GROUP_DISPLAY_TYPE radix_of(SEDQ_TX_MANAGER* tx, int node)
{
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    tx->get_node_group_display_type(node, &type);
    return type;
}
} // namespace

class trigger_value_test : public trigger_edit_test
{
protected:
    // Selects the rows, then opens the condition menu on the last of them at `level`.
    void select_at_level(std::initializer_list<int> nodes, int level)
    {
        view()->select_all_items(false);
        for (int node : nodes)
            tx()->set_node_selection_status(node, true);
        right_click_trigger_cell(*(nodes.end() - 1), level);
    }

    // Insert Value with `act` run on its dialog; false when no dialog showed.
    bool insert_value(std::function<void(SEDQ_TRIGGER_VALUE_DLG*)> act)
    {
        bool shown = false;
        on_next_dialog<SEDQ_TRIGGER_VALUE_DLG>(
            [&](SEDQ_TRIGGER_VALUE_DLG* dialog)
            {
                shown = true;
                act(dialog);
            });
        view()->on_insert_trigger_value();
        return shown;
    }
};

// ---- insert value --------------------------------------------------------------------------------

TEST_F(trigger_value_test, insert_value_sets_every_selected_bus_in_the_radix_of_the_last_one)
{
    open(write_document(three_buses));
    select_at_level({A, B}, 1);
    ASSERT_TRUE(view()->on_update_insert_trigger_value());
    hint_log log(tx());
    ASSERT_TRUE(insert_value(
        [](SEDQ_TRIGGER_VALUE_DLG* dialog)
        {
            EXPECT_EQ(dialog->windowTitle(), "Insert Value");
            EXPECT_EQ(dialog->get_width(), 8);
            EXPECT_EQ(dialog->get_display_type(), SDR_GTYPE_HEX) << "bus b, the last selected";
            EXPECT_EQ(dialog->get_value(), "12") << "bus b's pattern at the menu's level";
            dialog->get_value_edit()->setText("A5");
            dialog->on_ok_button();
        }));
    EXPECT_EQ(member_pattern(A, 8, 1), "10100101");
    EXPECT_EQ(member_pattern(B, 8, 1), "10100101");
    EXPECT_EQ(member_pattern(A, 8, 0), "XXXXXXXX") << "the other level";
    EXPECT_EQ(radix_of(tx(), A), SDR_GTYPE_HEX);
    EXPECT_EQ(radix_of(tx(), B), SDR_GTYPE_HEX);
    settle();
    EXPECT_TRUE(log.saw(0x20000001u));
    tx()->on_edit_undo();
    EXPECT_EQ(member_pattern(A, 8, 1), "XXXXXXXX") << "one undo step";
    EXPECT_EQ(radix_of(tx(), A), SDR_GTYPE_UNSIGNED);
}

TEST_F(trigger_value_test, a_plug_in_bus_as_the_reference_leaves_every_bus_its_own_radix)
{
    open(write_document(three_buses));
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        ASSERT_TRUE(tx()->set_node_group_display_type(B, SDR_GTYPE_PLUGIN));
    }
    select_at_level({A, B}, 0);
    ASSERT_TRUE(insert_value(
        [](SEDQ_TRIGGER_VALUE_DLG* dialog)
        {
            dialog->get_radix_combo()->setCurrentIndex(0);
            dialog->get_value_edit()->setText("3C");
            dialog->on_ok_button();
        }));
    EXPECT_EQ(member_pattern(A, 8), "00111100");
    EXPECT_EQ(member_pattern(B, 8), "00111100");
    EXPECT_EQ(radix_of(tx(), A), SDR_GTYPE_UNSIGNED) << "no plug-in record for a bus without a plug-in";
    EXPECT_EQ(radix_of(tx(), B), SDR_GTYPE_PLUGIN);
}

TEST_F(trigger_value_test, buses_of_different_widths_take_no_value)
{
    open(write_document(three_buses));
    select_at_level({A, B, C}, 0);
    EXPECT_FALSE(view()->on_update_insert_trigger_value());
    EXPECT_FALSE(insert_value([](SEDQ_TRIGGER_VALUE_DLG*) {}));
    select_at_level({C}, 0);
    tx()->set_node_selection_status(C + 1, true);
    EXPECT_TRUE(view()->on_update_insert_trigger_value()) << "a member beside its bus";
    view()->select_all_items(false);
    EXPECT_FALSE(view()->on_update_insert_trigger_value());
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty());
}

TEST_F(trigger_value_test, a_mnemonic_symbol_and_the_value_are_one_edit_and_the_table_stays_shown)
{
    open(write_document(three_buses));
    add_table("codes", 8, {{"idle", "00000000"}});
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        tx()->set_node_group_display_type(B, SDR_GTYPE_MNEMONICS);
        tx()->set_node_mnemonics_table_name(B, "codes");
    }
    select_at_level({A, B}, 0);
    ASSERT_TRUE(insert_value(
        [](SEDQ_TRIGGER_VALUE_DLG* dialog)
        {
            dialog->get_value_edit()->setText("5");
            dialog->get_mnemonic_edit()->setText("five");
            dialog->on_ok_button();
        }));
    const SDR_DATA_MNEMONICS_TABLE* table =
        tx()->get_tx_session()->get_data_session()->get_mnemonics()->find_table("codes");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->get_num_entries(), 2);
    EXPECT_STREQ(table->get_value("five"), "00000101");
    for (int bus : {A, B})
    {
        QString name;
        EXPECT_EQ(radix_of(tx(), bus), SDR_GTYPE_MNEMONICS) << bus;
        EXPECT_TRUE(tx()->get_node_mnemonics_table_name(bus, &name, nullptr)) << bus;
        EXPECT_EQ(name, "codes") << bus;
        EXPECT_EQ(member_pattern(bus, 8), "00000101") << bus;
    }
    tx()->on_edit_undo();
    EXPECT_EQ(table->get_num_entries(), 1) << "the symbol goes with the value";
    EXPECT_EQ(member_pattern(A, 8), "XXXXXXXX");
}

TEST_F(trigger_value_test, a_least_significant_first_bus_shows_and_takes_its_value_most_significant_first)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            three_buses(s);
            trigger_of(s)->edit_transient().trigger_list[B].lsb_to_msb = true;
            set_member_pattern(trigger_of(s), B, "10000000", 0);
        }));
    select_at_level({B}, 0);
    ASSERT_TRUE(insert_value(
        [](SEDQ_TRIGGER_VALUE_DLG* dialog)
        {
            EXPECT_EQ(dialog->get_value(), "01") << "the first member is the least significant bit";
            dialog->get_value_edit()->setText("80");
            dialog->on_ok_button();
        }));
    EXPECT_EQ(member_pattern(B, 8), "00000001");
}

// ---- comparison ----------------------------------------------------------------------------------

TEST_F(trigger_value_test, the_comparison_dialog_sets_the_first_selected_bus_and_redraws_the_table)
{
    open(write_document(three_buses));
    select_at_level({C, A}, 1);
    hint_log log(tx());
    bool shown = false;
    on_next_dialog<SEDQ_TRIGGER_COMPARE_DLG>(
        [&](SEDQ_TRIGGER_COMPARE_DLG* dialog)
        {
            shown = true;
            EXPECT_EQ(dialog->get_max(), 255) << "bus a, the first selected: 8 trigger-enabled members";
            EXPECT_EQ(dialog->get_type_combo()->currentIndex(), 1) << "the stored comparison is an interval";
            SEDQ_INTERVAL_COMPARISON_WIDGET* page = dialog->get_interval_page();
            page->get_lb_exclusive()->setChecked(true);
            page->get_ub_exclusive()->setChecked(true);
            page->get_lb_edit()->setText("3");
            page->get_ub_edit()->setText("200");
            dialog->on_ok_button();
        });
    view()->on_comparison_trigger();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(tx()->is_comparison_enabled(A, 1, -1));
    EXPECT_EQ(tx()->get_comparison_operand(A, 1, 1, -1), SDR_CTYPE_COMPARE_GREATER_THAN);
    EXPECT_EQ(tx()->get_comparison_operand(A, 1, 2, -1), SDR_CTYPE_COMPARE_LESS_THAN);
    EXPECT_EQ(tx()->get_comparison_value(A, 1, 1, -1), 3);
    EXPECT_EQ(tx()->get_comparison_value(A, 1, 2, -1), 200);
    EXPECT_FALSE(tx()->is_comparison_enabled(C, 1, -1));
    settle();
    EXPECT_TRUE(log.saw(0x20000001u)) << "the table shows the new comparison";
}

TEST_F(trigger_value_test, a_cancelled_comparison_changes_nothing)
{
    open(write_document(three_buses));
    select_at_level({A}, 0);
    on_next_dialog<SEDQ_TRIGGER_COMPARE_DLG>(
        [](SEDQ_TRIGGER_COMPARE_DLG* dialog)
        {
            dialog->get_interval_page()->get_ub_edit()->setText("9");
            dialog->on_cancel_button();
        });
    view()->on_comparison_trigger();
    EXPECT_FALSE(tx()->is_comparison_enabled(A, 0, -1));
    EXPECT_EQ(tx()->get_comparison_value(A, 0, 2, -1), 0);
}

TEST_F(trigger_value_test, a_comparison_needs_a_selected_bus_with_trigger_inputs)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|d0", "top|d1"}, SDR_WTYPE_DATA_ONLY);
            standin::sdr::add_group(trigger, 0, 1, "data_only", SDR_GTYPE_HEX);
            add_leaves(trigger, {"top|x"});
        }));
    view()->select_all_items(false);
    tx()->set_node_selection_status(3, true);
    view()->on_comparison_trigger();
    tx()->set_node_selection_status(0, true);
    view()->on_comparison_trigger();
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"item_index < this->m_tx_manager->get_node_count()",
                                                           "bus_width > 0"}));
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty()) << "no dialog opened";
}
