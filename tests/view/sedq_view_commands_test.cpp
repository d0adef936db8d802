// The node commands of the view's menus on the selected rows: enables on buses and members,
// inversion, tap mode and its undo, bit order, display formats, mnemonic symbols on trigger
// cells, aliases, grouping and ungrouping, and the rules that enable and check their actions.
#include "sedq_view_test_support.h"

#include "host/standin/acf_control.h"
#include "host/standin/idu_control.h"
#include "host/standin/project_control.h"
#include "host/standin/qui_control.h"
#include "sedq/model/sedq_node.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>

namespace
{
// Rows: 0 bus "data" over 1..4 (d3..d0), 5 "a", 6 "b".
void bus_and_leaves(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|d3", "top|d2", "top|d1", "top|d0", "top|a", "top|b"});
    standin::sdr::add_group(trigger, 0, 3, "data", SDR_GTYPE_HEX);
}

// Rows: 0 bus "wide" over eight members 1..8, then "a".
void eight_member_bus(SDR_DATA_SESSION& s, bool lsb_to_msb)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|w7", "top|w6", "top|w5", "top|w4", "top|w3", "top|w2", "top|w1", "top|w0", "top|a"});
    standin::sdr::add_group(trigger, 0, 7, "wide", SDR_GTYPE_BINARY);
    trigger->edit_transient().trigger_list[0].lsb_to_msb = lsb_to_msb;
}

std::string conditions(SEDQ_TX_MANAGER* tx, int first, int last, int level)
{
    std::string text;
    for (int row = first; row <= last; ++row)
    {
        const SDR_DATA_TRIGGER_CONDITION c = SEDQ_NODE(tx, row, -1).get_trigger_pattern(level);
        text += c == SDR_CTYPE_HIGH ? '1' : c == SDR_CTYPE_LOW ? '0' : c == SDR_CTYPE_DONT_CARE ? 'X' : '?';
    }
    return text;
}

QAction* action_with_data(const QVariant& data)
{
    auto* action = new QAction(nullptr);
    action->setData(data);
    return action;
}
} // namespace

class view_commands_test : public view_test
{
protected:
    QAction* act(int id) { return tx()->get_action(AFCQ_ACTION_ENUM(id), QVariant()); }

    void select(std::initializer_list<int> rows)
    {
        tx()->select_node_range(0, tx()->get_node_count(-1) - 1, false);
        for (int row : rows)
            tx()->set_node_selection_status(row, true);
    }

    std::string data_flags(int first, int last)
    {
        std::string text;
        for (int row = first; row <= last; ++row)
            text += SEDQ_NODE(tx(), row, -1).is_data_enabled(nullptr) ? '1' : '0';
        return text;
    }
};

TEST_F(view_commands_test, enables_set_a_bus_through_its_members_and_members_alone)
{
    open(write_document(bus_and_leaves));
    select({0, 2});
    view()->on_data_disable();
    EXPECT_EQ(data_flags(0, 6), "0000011") << "the bus row reads its members";
    select({3, 5});
    view()->on_data_enable();
    EXPECT_EQ(data_flags(1, 6), "001011");
    bool partially = false;
    EXPECT_TRUE(SEDQ_NODE(tx(), 0, -1).is_data_enabled(&partially));
    EXPECT_TRUE(partially);
    tx()->on_edit_undo();
    EXPECT_EQ(data_flags(1, 6), "000011") << "one command is one undo step";
}

TEST_F(view_commands_test, transition_enable_visits_a_selected_bus_once_for_its_members)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        for (SDR_NODE_ROW& row : trigger_of(s)->edit_transient().trigger_list)
            row.storage_enabled = true;
    }));
    select({0, 2, 6});
    view()->on_transition_enable();
    std::string flags;
    for (int row = 0; row <= 6; ++row)
        flags += SEDQ_NODE(tx(), row, -1).is_transition_enabled(nullptr) ? '1' : '0';
    EXPECT_EQ(flags, "1111101");
}

TEST_F(view_commands_test, inversion_follows_the_order_of_the_selected_rows)
{
    struct
    {
        const char* name;
        bool a_inverted;
        bool b_inverted;
        bool expected;
    } cases[] = {
        {"inverted then plain: all inverted", true, false, true},
        {"plain then inverted: all cleared", false, true, false},
        {"none inverted: all inverted", false, false, true},
        {"all inverted: all cleared", true, true, false},
    };
    for (const auto& row : cases)
    {
        open(write_document(
            [&](SDR_DATA_SESSION& s) {
                bus_and_leaves(s);
                SDR_NODE_LIST& rows = trigger_of(s)->edit_transient().trigger_list;
                rows[5].inverted = row.a_inverted;
                rows[6].inverted = row.b_inverted;
            },
            1, QString::fromLatin1(row.name).left(8).remove(' ') + ".vtl"));
        show_data_tab(true);
        const int a = 5 - 0; // the data list holds the same rows
        select({a, a + 1});
        view()->on_invert_signal();
        EXPECT_EQ(SEDQ_NODE(tx(), a, -1).is_signal_inverted(nullptr), row.expected) << row.name;
        EXPECT_EQ(SEDQ_NODE(tx(), a + 1, -1).is_signal_inverted(nullptr), row.expected) << row.name;
        m_frames.clear();
    }
}

TEST_F(view_commands_test, a_bus_with_mixed_members_becomes_inverted_whole)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        trigger_of(s)->edit_transient().trigger_list[1].inverted = true;
    }));
    show_data_tab(true);
    select({0});
    view()->on_invert_signal();
    bool partially = true;
    EXPECT_TRUE(SEDQ_NODE(tx(), 0, -1).is_signal_inverted(&partially));
    EXPECT_FALSE(partially);
}

TEST_F(view_commands_test, a_mnemonic_pattern_fills_the_least_significant_members)
{
    struct
    {
        const char* name;
        bool lsb_to_msb;
        const char* pattern;
        const char* members;
    } cases[] = {
        {"msb first", false, "1X0", "XXXXX1X0"},
        {"lsb first", true, "1X0", "0X1XXXXX"},
        {"too long, msb first", false, "0011110000", "11110000"},
        {"too long, lsb first", true, "0011110000", "00001111"},
        {"lower case and unknown symbols stay don't care", false, "1h?0", "XXXX1XX0"},
    };
    for (const auto& row : cases)
    {
        open(write_document([&](SDR_DATA_SESSION& s) { eight_member_bus(s, row.lsb_to_msb); }, 1,
                            QString::fromLatin1(row.name).left(10).remove(' ') + ".vtl"));
        select({0});
        std::unique_ptr<QAction> action(action_with_data(QString::fromLatin1(row.pattern)));
        view()->on_mnemonic(action.get());
        EXPECT_EQ(conditions(tx(), 1, 8, 0), row.members) << row.name;
        m_frames.clear();
    }
}

TEST_F(view_commands_test, grouping_a_comparison_member_is_refused_with_its_name_and_level)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        trigger->edit_transient().levels[0].type = SDR_LTYPE_COMPARISON;
        SDR_NODE_COMPARISON& comparison = trigger->edit_transient().trigger_list[0].patterns[0].comparisons[0];
        comparison.enabled = true;
        comparison.op1 = SDR_CTYPE_COMPARE_GREATER_THAN;
        comparison.value1 = 1;
        comparison.member = true;
    }));
    standin::qui::push_dialog_answer("Cannot group selected nodes\nNode data is a comparison group's member at "
                                     "trigger level 1",
                                     QMessageBox::Ok);
    select({0, 5});
    const int rows = tx()->get_node_count(-1);
    view()->on_node_group();
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the refusal was shown";
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty());
    EXPECT_EQ(tx()->get_node_count(-1), rows) << "nothing grouped";
    EXPECT_EQ(view()->get_selection_count(), 0) << "the selection is cleared all the same";
    EXPECT_FALSE(tx()->is_group_node(5));
}

TEST_F(view_commands_test, grouping_and_ungrouping_nested_groups)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|a", "top|b", "top|c", "top|d", "top|e"});
        standin::sdr::add_group(trigger, 0, 1, "inner");    // 0 inner, 1 a, 2 b
        standin::sdr::add_group(trigger, 0, 2, "outer");    // 0 outer, 1 inner, 2 a, 3 b
        standin::sdr::add_group(trigger, 0, 3, "outmost");  // 0 outmost, 1 outer, 2 inner, ...
        standin::sdr::add_group(trigger, 7, 7, "unnested"); // a group of e alone
    }));
    ASSERT_TRUE(tx()->has_nested_groups());
    focus_view();
    EXPECT_TRUE(view()->on_update_node_ungroup_nested_groups());
    select({});
    view()->on_node_ungroup_nested_groups();
    EXPECT_FALSE(tx()->has_nested_groups()) << "every level is dissolved, selected or not";
    EXPECT_FALSE(view()->on_update_node_ungroup_nested_groups());
    int groups = 0;
    for (int row = 0; row < tx()->get_node_count(-1); ++row)
        groups += tx()->is_group_node(row) ? 1 : 0;
    EXPECT_EQ(groups, 2) << "the innermost group and the unnested one stay";
}

TEST_F(view_commands_test, ungrouping_nested_groups_the_model_refuses_ends)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|a", "top|b"});
        standin::sdr::add_group(trigger, 0, 1, "inner");
        standin::sdr::add_group(trigger, 0, 2, "outer");
    }));
    standin::sdr::refuse_write("ungroup_node");
    view()->on_node_ungroup_nested_groups();
    EXPECT_TRUE(tx()->has_nested_groups()) << "refused, and the walk went on to its end";
}

TEST_F(view_commands_test, tap_mode_sets_a_buss_members_and_its_undo_checks_the_nodes_again)
{
    std::string error;
    ASSERT_TRUE(standin::project::load_json(R"({
      "project": {"top_entity": "top", "incremental_mode": 2},
      "netlists": {
        "pre": {"instances": [{"path": "top|d3", "flags": "0x80000040"}, {"path": "top|d2", "flags": "0x80000040"},
                              {"path": "top|d1", "flags": "0x80000040"}, {"path": "top|d0", "flags": "0x80000040"},
                              {"path": "top|a", "flags": "0x80000040"}, {"path": "top|b", "flags": "0x80000040"}]},
        "post": {"instances": [{"path": "top|a", "flags": "0x80002040"}]}}
    })",
                                            m_dir.path().toStdString(), &error))
        << error;
    standin::idu::set_incremental_compilation_mode(2);
    open(write_document(bus_and_leaves));
    select({0});
    view()->on_change_node_post_fit();
    EXPECT_EQ(tx()->get_node_tap_mode(0), SDR_TAP_PRE_SYNTHESIS) << "the bus row itself is left";
    for (int row = 1; row <= 4; ++row)
    {
        EXPECT_EQ(tx()->get_node_tap_mode(row), SDR_TAP_POST_FITTING) << row;
        EXPECT_TRUE(tx()->is_node_invalid(row)) << "not in the post-fit netlist: " << row;
    }
    tx()->on_edit_undo();
    settle();
    for (int row = 1; row <= 4; ++row)
    {
        EXPECT_EQ(tx()->get_node_tap_mode(row), SDR_TAP_PRE_SYNTHESIS) << row;
        EXPECT_FALSE(tx()->is_node_invalid(row)) << "checked again after the undo: " << row;
    }
}

TEST_F(view_commands_test, tap_mode_actions_are_checked_only_for_a_uniform_selection)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        trigger_of(s)->edit_transient().trigger_list[6].tap_mode = SDR_TAP_POST_FITTING;
    }));
    focus_view();
    select({0, 5});
    EXPECT_TRUE(view()->on_update_node_tap_mode());
    EXPECT_TRUE(act(AFCQ_SEDQ_PRE_SYNTHESIS_ACTION)->isChecked());
    EXPECT_FALSE(act(AFCQ_SEDQ_POST_FITTING_ACTION)->isChecked());
    select({6});
    view()->on_update_node_tap_mode();
    EXPECT_FALSE(act(AFCQ_SEDQ_PRE_SYNTHESIS_ACTION)->isChecked());
    EXPECT_TRUE(act(AFCQ_SEDQ_POST_FITTING_ACTION)->isChecked());
    select({5, 6});
    view()->on_update_node_tap_mode();
    EXPECT_FALSE(act(AFCQ_SEDQ_PRE_SYNTHESIS_ACTION)->isChecked());
    EXPECT_FALSE(act(AFCQ_SEDQ_POST_FITTING_ACTION)->isChecked());
    select({});
    EXPECT_FALSE(view()->on_update_node_tap_mode());
}

TEST_F(view_commands_test, bit_order_actions_with_mixed_buses)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|a1", "top|a0", "top|b1", "top|b0"});
        standin::sdr::add_group(trigger, 0, 1, "A");
        standin::sdr::add_group(trigger, 3, 4, "B");
        trigger->edit_transient().trigger_list[3].lsb_to_msb = true;
    }));
    select({0, 3});
    EXPECT_TRUE(view()->on_update_bus_order(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION));
    EXPECT_TRUE(view()->on_update_bus_order(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION));
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION)->isChecked());
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION)->isChecked());
    view()->on_bus_order(act(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION));
    bool lsb_to_msb = false;
    ASSERT_TRUE(tx()->get_node_lsb_to_msb(0, &lsb_to_msb));
    EXPECT_TRUE(lsb_to_msb);
    select({0, 3});
    view()->on_update_bus_order(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION);
    EXPECT_TRUE(act(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION)->isChecked());
    select({1});
    EXPECT_FALSE(view()->on_update_bus_order(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION)) << "no bus selected";
}

// The Setup and Data tabs keep a format per bus each: the menu, as the Edit menu shows it, says
// which tab's list a choice sets, and a choice on the Setup tab leaves the Data tab's radix.
TEST_F(view_commands_test, the_display_format_menu_says_which_tab_it_sets)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|o1", "top|o0"});
        standin::sdr::add_group(trigger, 0, 1, "pair", SDR_GTYPE_BINARY);
        ASSERT_NE(s.get_mnemonics()->create_table("states", 2), nullptr);
    }));
    QMenu* edit = frame()->get_menu_record()->edit_menu;
    ASSERT_NE(edit, nullptr);
    QMenu* menu = frame()->get_bus_display_format_menu();
    const struct
    {
        bool data;
        const char* title;
    } tabs_shown[] = {{false, "Bus Displa&y Format (Setup Tab)"}, {true, "Bus Displa&y Format (Data Tab)"}};
    for (const auto& tab : tabs_shown)
    {
        show_data_tab(tab.data);
        emit edit->aboutToShow();
        EXPECT_EQ(menu->title(), tab.title);
    }
    show_data_tab(false);
    focus_view();
    select({0});
    view()->on_update_bus_display_format_menu();
    QAction* states = menu->actions().back();
    ASSERT_EQ(states->text(), "states");
    view()->on_bus_display_format(states);
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    ASSERT_TRUE(tx()->get_node_group_display_type(0, &type));
    EXPECT_EQ(type, SDR_GTYPE_MNEMONICS);
    show_data_tab(true);
    ASSERT_TRUE(tx()->get_node_group_display_type(0, &type));
    EXPECT_EQ(type, SDR_GTYPE_BINARY) << "the Data tab's list keeps its own format";
}

TEST_F(view_commands_test, the_display_format_menu_follows_the_selected_buses)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        std::vector<std::string> names;
        for (int bit = 31; bit >= 0; --bit)
            names.push_back("top|f" + std::to_string(bit));
        names.insert(names.end(), {"top|o1", "top|o0"});
        add_leaves(trigger, names);
        standin::sdr::add_group(trigger, 0, 31, "f32", SDR_GTYPE_UNSIGNED);
        standin::sdr::add_group(trigger, 33, 34, "pair", SDR_GTYPE_MNEMONICS);
        trigger->edit_transient().trigger_list[33].mnemonic_table = "states";
        ASSERT_NE(s.get_mnemonics()->create_table("states", 2), nullptr);
        ASSERT_NE(s.get_mnemonics()->create_table("other", 2), nullptr);
    }));
    QMenu* menu = frame()->get_bus_display_format_menu();
    const int fixed = frame()->get_num_bus_display_actions();
    const auto dynamic = [&]() {
        std::vector<std::pair<std::string, bool>> entries;
        for (int i = fixed; i < menu->actions().size(); ++i)
            if (!menu->actions()[i]->isSeparator())
                entries.emplace_back(menu->actions()[i]->text().toStdString(), menu->actions()[i]->isChecked());
        return entries;
    };

    select({0});
    view()->on_update_bus_display_format_menu();
    EXPECT_TRUE(act(AFCQ_SEDQ_BUS_UNSIGNED_ACTION)->isChecked()) << "unsigned decimal";
    EXPECT_TRUE(act(AFCQ_SEDQ_BUS_FLOAT_ACTION)->isEnabled()) << "32 members: single float";
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_DOUBLE_ACTION)->isEnabled());
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_BAR_CHART_ACTION)->isEnabled()) << "charts only in data mode";
    EXPECT_EQ(dynamic(), (std::vector<std::pair<std::string, bool>>{{"states", false}, {"other", false}}));

    select({33});
    view()->on_update_bus_display_format_menu();
    EXPECT_EQ(dynamic(), (std::vector<std::pair<std::string, bool>>{{"states", true}, {"other", false}}))
        << "one entry per table, rebuilt on every showing";
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_FLOAT_ACTION)->isEnabled());

    select({0, 33});
    view()->on_update_bus_display_format_menu();
    for (int id : {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, AFCQ_SEDQ_BUS_UNSIGNED_ACTION,
                   AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION, AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION,
                   AFCQ_SEDQ_BUS_FLOAT_ACTION, AFCQ_SEDQ_BUS_DOUBLE_ACTION, AFCQ_SEDQ_BUS_OCTAL_ACTION,
                   AFCQ_SEDQ_BUS_BINARY_ACTION, AFCQ_SEDQ_BUS_ASCII_ACTION})
        EXPECT_FALSE(act(id)->isChecked()) << "a mixed selection checks nothing: " << id;
    EXPECT_EQ(dynamic(), (std::vector<std::pair<std::string, bool>>{{"states", false}, {"other", false}}));

    select({33});
    view()->on_update_bus_display_format_menu();
    QAction* other = menu->actions().back();
    ASSERT_EQ(other->text(), "other");
    view()->on_bus_display_format(other);
    QString table;
    EXPECT_TRUE(tx()->get_node_mnemonics_table_name(33, &table, nullptr));
    EXPECT_EQ(table, "other");
    view()->on_bus_display_format(act(AFCQ_SEDQ_BUS_BINARY_ACTION));
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    tx()->get_node_group_display_type(33, &type);
    EXPECT_EQ(type, SDR_GTYPE_BINARY);

    show_data_tab(true);
    select({0});
    view()->on_update_bus_display_format_menu();
    EXPECT_TRUE(act(AFCQ_SEDQ_BUS_BAR_CHART_ACTION)->isEnabled()) << "charts in data mode";
    select({35});
    view()->on_update_bus_display_format_menu();
    EXPECT_FALSE(act(AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION)->isEnabled()) << "no bus selected";
}

TEST_F(view_commands_test, aliases_paste_and_remove)
{
    open(write_document(bus_and_leaves));
    focus_view();
    select({5});
    QGuiApplication::clipboard()->clear();
    ASSERT_FALSE(tx()->get_tx_instance()->is_undo_available());
    view()->on_node_paste_alias();
    QString alias;
    tx()->get_node_alias(5, &alias);
    EXPECT_TRUE(alias.isEmpty());
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available()) << "no edit without text";
    QGuiApplication::clipboard()->setText(" clk in ");
    view()->on_node_paste_alias();
    tx()->get_node_alias(5, &alias);
    EXPECT_EQ(alias, " clk in ") << "taken as it is";
    EXPECT_TRUE(view()->on_update_node_remove_alias());
    select({5, 6});
    view()->on_node_remove_alias();
    tx()->get_node_alias(5, &alias);
    EXPECT_TRUE(alias.isEmpty());
    EXPECT_FALSE(view()->on_update_node_remove_alias());
}

TEST_F(view_commands_test, rules_of_the_menus)
{
    open(write_document(bus_and_leaves));
    focus_view();
    select({5});
    EXPECT_TRUE(view()->on_update_node_rename());
    EXPECT_TRUE(view()->on_update_node_set_alias());
    EXPECT_FALSE(view()->on_update_node_ungroup());
    select({5, 6});
    EXPECT_FALSE(view()->on_update_node_rename()) << "two rows";
    EXPECT_FALSE(view()->on_update_node_set_alias());
    EXPECT_TRUE(view()->on_update_node_group());
    select({0});
    EXPECT_TRUE(view()->on_update_node_ungroup());
    view()->on_update_data_menu();
    EXPECT_TRUE(act(AFCQ_SEDQ_DATA_DISABLE_ACTION)->isEnabled());
    EXPECT_FALSE(act(AFCQ_SEDQ_DATA_ENABLE_ACTION)->isEnabled()) << "every member takes data";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    EXPECT_FALSE(view()->on_update_node_ungroup()) << "locked";
    view()->on_update_data_menu();
    EXPECT_FALSE(act(AFCQ_SEDQ_DATA_DISABLE_ACTION)->isEnabled());
}

TEST_F(view_commands_test, alignment_is_a_view_setting_without_an_edit)
{
    open(write_document(bus_and_leaves));
    view()->on_view_align_left();
    view()->on_update_alignment();
    EXPECT_TRUE(act(AFCQ_SEDQ_ALIGN_LEFT_ACTION)->isChecked());
    EXPECT_FALSE(act(AFCQ_SEDQ_ALIGN_RIGHT_ACTION)->isChecked());
    view()->on_view_align_right();
    view()->on_update_alignment();
    EXPECT_TRUE(act(AFCQ_SEDQ_ALIGN_RIGHT_ACTION)->isChecked());
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available());
    EXPECT_FALSE(tx()->get_tx_instance()->is_modified());
}
