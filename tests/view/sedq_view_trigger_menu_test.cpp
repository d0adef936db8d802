// What the trigger cells know of a bus (its pattern at a level and whether its radix can show
// it), the condition menu's entries and rules, setting a condition from it, and the level-type
// combos.
#include "sedq_trigger_edit_test_support.h"

#include "host/standin/tst_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"

#include <QActionGroup>
#include <QComboBox>
#include <QFontMetrics>

namespace
{
// Rows 0..5: bus "five" over five members; 6: leaf "top|x"; 7..10: bus "outer" holding bus
// "inner" (rows 8..10: inner, its two members) and leaf c2... built below.
void five_bit_bus_and_nested(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    add_bus(trigger, "five", 5);
    add_leaves(trigger, {"top|x", "top|c0", "top|c1", "top|c2"});
    standin::sdr::add_group(trigger, 7, 8, "inner", SDR_GTYPE_HEX); // 7 inner, 8..9 members, 10 c2
    standin::sdr::add_group(trigger, 7, 10, "outer", SDR_GTYPE_HEX); // 7 outer, 8 inner, 9..10, 11 c2
}

constexpr int FIVE = 0;
constexpr int LEAF = 6;
constexpr int OUTER = 7;

void set_level_type(SDR_DATA_SESSION& s, int level, SDR_DATA_TRIGGER_LEVEL_TYPE type)
{
    s.m_instances[0]->get_active_trigger()->edit_transient().levels[size_t(level)].type = type;
}
} // namespace

// ---- a bus's pattern ---------------------------------------------------------------------------

TEST_F(trigger_edit_test, a_bus_pattern_keeps_its_radix_only_in_whole_digits)
{
    open(write_document(five_bit_bus_and_nested));
    const struct
    {
        const char* name;
        SDR_DATA_GROUP_DISPLAY_TYPE radix;
        bool lsb_to_msb;
        const char* members;
        bool in_radix;
    } rows[] = {
        {"hexadecimal, one digit all don't care", SDR_GTYPE_HEX, false, "1XXXX", true},
        {"mnemonic, one digit all don't care", SDR_GTYPE_MNEMONICS, false, "1XXXX", true},
        {"plug-in, one digit all don't care", SDR_GTYPE_PLUGIN, false, "1XXXX", true},
        {"hexadecimal, a digit mixing bits and don't care", SDR_GTYPE_HEX, false, "1X0XX", false},
        {"octal digits of three", SDR_GTYPE_OCTAL, false, "XX000", true},
        {"octal, the last three mix", SDR_GTYPE_OCTAL, false, "1XXXX", false},
        {"binary cannot show don't care", SDR_GTYPE_BINARY, false, "1XXXX", false},
        {"rising edge", SDR_GTYPE_HEX, false, "1R000", false},
        {"falling edge", SDR_GTYPE_UNSIGNED, false, "0000F", false},
        {"either edge", SDR_GTYPE_HEX, false, "E0000", false},
        {"bits only", SDR_GTYPE_UNSIGNED, false, "10100", true},
        {"least significant first: the first member ends the value", SDR_GTYPE_HEX, true, "1XXXX", false},
        {"least significant first, whole digit", SDR_GTYPE_HEX, true, "XXXX1", true},
    };
    for (const auto& row : rows)
    {
        set_conditions(FIVE, row.members);
        {
            const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
            tx()->set_node_group_display_type(FIVE, row.radix);
            tx()->set_node_lsb_to_msb(FIVE, row.lsb_to_msb);
        }
        QString pattern;
        bool in_radix = false;
        EXPECT_TRUE(view()->get_trigger_string(FIVE, 0, &pattern, &in_radix)) << row.name;
        EXPECT_EQ(pattern, row.members) << row.name << ": characters in member order";
        EXPECT_EQ(in_radix, row.in_radix) << row.name;
    }
    QString pattern = "stale";
    bool in_radix = true;
    view()->get_trigger_string(OUTER, 0, &pattern, &in_radix);
    EXPECT_EQ(pattern, "") << "a group of groups";
    EXPECT_FALSE(in_radix);
    EXPECT_TRUE(internal_errors().empty());
    view()->get_trigger_string(LEAF, 0, &pattern, &in_radix);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"this->is_parent_item(nItem)"});
}

// ---- level types and comparison members ----------------------------------------------------------

// A node takes part in a comparison only at a level whose combo shows "Comparison": the member
// mark stored for a level of another type does not count.
TEST_F(trigger_edit_test, comparison_members_count_at_levels_whose_combo_shows_comparison)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            trigger->edit_transient().sq_type = SDR_SQTYPE_CONDITIONAL;
            trigger->edit_transient().trigger_list[FIVE].patterns[SDR_COPY_NORMAL].comparisons[1].member = true;
            trigger->edit_transient().trigger_list[FIVE].patterns[SDR_COPY_NORMAL].sq_comparisons[0].member = true;
        }));
    const struct
    {
        const char* name;
        int sq_combo, level_1_combo; // combo indices: 0 Basic AND, 1 Basic OR, 2 Comparison
        bool any, trigger_level, storage_qualifier;
        int found;
    } rows[] = {
        {"no comparison level", 0, 1, false, false, false, -99},
        {"trigger level 2 compares", 0, 2, true, true, false, 1},
        {"the storage qualifier compares too: it comes first", 2, 2, true, true, true, -3},
        {"only the storage qualifier", 2, 0, true, false, true, -3},
    };
    for (const auto& row : rows)
    {
        view()->get_level_type_combo(0)->setCurrentIndex(row.sq_combo);
        view()->get_level_type_combo(1 + 3)->setCurrentIndex(row.level_1_combo);
        EXPECT_EQ(view()->is_comparison(-3), row.sq_combo == 2) << row.name;
        EXPECT_EQ(view()->is_basic_or(1), row.level_1_combo == 1) << row.name;
        EXPECT_EQ(view()->is_basic_and(1), row.level_1_combo == 0) << row.name;
        int level = -99;
        EXPECT_EQ(view()->is_comparison_group_member_on_any_level(FIVE, &level), row.any) << row.name;
        EXPECT_EQ(level, row.found) << row.name;
        EXPECT_EQ(view()->is_comparison_trigger_group_member(FIVE), row.trigger_level) << row.name;
        EXPECT_EQ(view()->is_comparison_storage_qualifier_group_member(FIVE), row.storage_qualifier) << row.name;
        EXPECT_FALSE(view()->is_comparison_group_member_on_any_level(LEAF, &level)) << row.name;
    }
    int level = -99;
    EXPECT_FALSE(view()->is_comparison_group_member_on_level(FIVE, &level, 1, 1)) << "an empty range";
    EXPECT_TRUE(internal_errors().empty());
    EXPECT_FALSE(view()->is_comparison_group_member_on_level(FIVE, nullptr, -3, 2));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"nLevel != NULL"});
}

TEST_F(trigger_edit_test, a_group_selects_with_its_members_and_nothing_past_them)
{
    open(write_document(five_bit_bus_and_nested));
    view()->select_all_items(false);
    EXPECT_EQ(view()->select_all_group_member_items(FIVE, true), 5) << "the bus and its five members";
    for (int node = 0; node <= LEAF; ++node)
        EXPECT_EQ(view()->is_item_selected(node), node <= 5) << node;
    EXPECT_EQ(view()->select_all_group_member_items(FIVE, false), 5);
    for (int node = 0; node <= LEAF; ++node)
        EXPECT_FALSE(view()->is_item_selected(node)) << node;
    EXPECT_EQ(view()->select_all_group_member_items(LEAF, true), 0) << "a leaf is no group";
    EXPECT_FALSE(view()->is_item_selected(LEAF));
}

// ---- the menu's entries --------------------------------------------------------------------------

TEST_F(trigger_edit_test, the_condition_menu_lists_patterns_comparison_conditions_and_value)
{
    open(write_document(five_bit_bus_and_nested));
    QMenu* menu = view()->get_column_menu(SEDQ_COLUMN_FIRST_LEVEL);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(view()->get_column_menu(SEDQ_COLUMN_SQ_CONDITIONAL), menu)
        << "one menu for every condition column";
    const int ids[] = {227, -1, 226, 230, 228, 229, 232, 231, 234, 233, -1, 225, -1,
                       368, 373, 370, 374, 371, 369, -1, 372};
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), int(sizeof(ids) / sizeof(ids[0])));
    for (int i = 0; i < actions.size(); ++i)
    {
        if (ids[i] == -1)
            EXPECT_TRUE(actions[i]->isSeparator()) << "entry " << i;
        else
            EXPECT_EQ(actions[i], action(ids[i])) << "entry " << i;
    }
    const int patterns[] = {
        AFCQ_SEDQ_PATTERN_CONDITION_ACTION,         AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION,
        AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION,       AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION,
        AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION, AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION,
        AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION,    AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION,
        AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION};
    for (int pattern = 9; pattern <= 17; ++pattern)
    {
        EXPECT_EQ(view()->trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(pattern)), action(patterns[pattern - 9]));
        EXPECT_EQ(action(patterns[pattern - 9])->data().toInt(), pattern);
    }
    const int conditions[][2] = {{AFCQ_SEDQ_TRIGGER_CONDITION_ACTION, SDR_CTYPE_DONT_CARE},
                                 {AFCQ_SEDQ_LOW_CONDITION_ACTION, SDR_CTYPE_LOW},
                                 {AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, SDR_CTYPE_FALLING},
                                 {AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION, SDR_CTYPE_RISING},
                                 {AFCQ_SEDQ_HIGH_CONDITION_ACTION, SDR_CTYPE_HIGH},
                                 {AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION, SDR_CTYPE_EITHER_EDGE}};
    for (const auto& pair : conditions)
        EXPECT_EQ(action(pair[0])->data().toInt(), pair[1]) << pair[0];
    EXPECT_EQ(view()->trigger_cond_to_action(SDR_CTYPE_DONT_CARE), nullptr);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"Unsupported trigger condition used."});
}

// ---- the menu's rules ----------------------------------------------------------------------------

namespace
{
struct menu_state
{
    bool node_conditions;   // the six node actions
    bool all_bits_pattern;  // 227
    bool other_patterns;    // the other eight
    bool comparison;        // 225
};

const int NODE_ACTIONS[] = {AFCQ_SEDQ_TRIGGER_CONDITION_ACTION,      AFCQ_SEDQ_LOW_CONDITION_ACTION,
                            AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION,
                            AFCQ_SEDQ_HIGH_CONDITION_ACTION,         AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION};
const int OTHER_PATTERNS[] = {
    AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION,       AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION,      AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION, AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION,         AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION};
} // namespace

TEST_F(trigger_edit_test, the_menu_enables_what_the_selection_can_take_at_the_level)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            set_level_type(s, 1, SDR_LTYPE_COMPARISON);
        }));
    const struct
    {
        const char* name;
        std::vector<int> selected;
        int level;
        menu_state expected;
    } rows[] = {
        {"nothing selected", {}, 0, {false, false, false, false}},
        {"a bus at a Basic AND level", {FIVE}, 0, {true, false, false, false}},
        {"a bus at a Comparison level", {FIVE}, 1, {true, true, true, true}},
        {"a leaf and a bus", {FIVE, LEAF}, 1, {true, false, false, false}},
        {"a group of groups", {OUTER}, 1, {true, false, true, false}},
    };
    for (const auto& row : rows)
    {
        right_click_trigger_cell(LEAF, row.level);
        view()->select_all_items(false);
        for (int node : row.selected)
            tx()->set_node_selection_status(node, true);
        view()->on_update_trigger_condition_menu();
        for (int id : NODE_ACTIONS)
            EXPECT_EQ(action(id)->isEnabled(), row.expected.node_conditions) << row.name << " " << id;
        EXPECT_EQ(action(AFCQ_SEDQ_PATTERN_CONDITION_ACTION)->isEnabled(), row.expected.all_bits_pattern)
            << row.name;
        for (int id : OTHER_PATTERNS)
            EXPECT_EQ(action(id)->isEnabled(), row.expected.other_patterns) << row.name << " " << id;
        EXPECT_EQ(action(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION)->isEnabled(), row.expected.comparison)
            << row.name;
        EXPECT_EQ(action(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION)->isEnabled(), !row.selected.empty())
            << row.name << ": one bus among the selection";
    }
}

TEST_F(trigger_edit_test, comparison_members_take_no_node_condition_and_a_running_acquisition_none_at_all)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            set_level_type(s, 1, SDR_LTYPE_COMPARISON);
            trigger_of(s)->edit_transient().trigger_list[FIVE].patterns[SDR_COPY_NORMAL].comparisons[1].member = true;
        }));
    right_click_trigger_cell(FIVE, 1);
    view()->on_update_trigger_condition_menu();
    EXPECT_FALSE(action(AFCQ_SEDQ_HIGH_CONDITION_ACTION)->isEnabled())
        << "the bus takes part in a comparison at the level";
    right_click_trigger_cell(FIVE, 0);
    view()->on_update_trigger_condition_menu();
    EXPECT_TRUE(action(AFCQ_SEDQ_HIGH_CONDITION_ACTION)->isEnabled()) << "the level is no comparison";
    tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    view()->on_update_trigger_condition_menu();
    EXPECT_FALSE(action(AFCQ_SEDQ_HIGH_CONDITION_ACTION)->isEnabled());
    EXPECT_FALSE(action(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION)->isEnabled());
}

TEST_F(trigger_edit_test, the_menu_checks_the_pattern_the_selected_buses_share)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            set_level_type(s, 1, SDR_LTYPE_COMPARISON);
        }));
    const auto set_group_pattern = [this](int node, int level, int pattern)
    {
        {
            const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
            tx()->set_trigger(node, level, SDR_DATA_TRIGGER_CONDITION(pattern), -1);
        }
    };
    set_group_pattern(FIVE, 1, 12);
    set_group_pattern(OUTER, 1, 12);
    right_click_trigger_cell(FIVE, 1);
    tx()->set_node_selection_status(OUTER, true);
    view()->on_update_trigger_condition_menu();
    EXPECT_TRUE(action(AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION)->isChecked())
        << "both buses hold pattern 12";
    set_group_pattern(OUTER, 1, 13);
    view()->on_update_trigger_condition_menu();
    EXPECT_FALSE(action(AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION)->isChecked());
    EXPECT_FALSE(action(AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION)->isChecked())
        << "patterns differ: none checked";
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        tx()->set_comparison_trigger_enabled(OUTER, 1, true, -1);
    }
    view()->on_update_trigger_condition_menu();
    EXPECT_TRUE(action(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION)->isChecked()) << "the last selected bus compares";
    right_click_trigger_cell(LEAF, 0);
    view()->on_update_trigger_condition_menu();
    EXPECT_TRUE(action(AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION)->isChecked())
        << "a leaf at a Basic AND level";
    EXPECT_FALSE(action(AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION)->isChecked());
    EXPECT_FALSE(action(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION)->isEnabled());
}

TEST_F(trigger_edit_test, a_bus_with_a_mnemonic_table_lists_its_symbols_once_per_showing)
{
    open(write_document(five_bit_bus_and_nested));
    add_table("states", 5, {{"idle", "00000"}, {"run", "00001"}});
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        tx()->set_node_group_display_type(FIVE, SDR_GTYPE_MNEMONICS);
        tx()->set_node_mnemonics_table_name(FIVE, "states");
    }
    set_conditions(FIVE, "00001");
    const int fixed = view()->get_column_menu(SEDQ_COLUMN_FIRST_LEVEL)->actions().size();
    std::vector<QString> entries;
    const auto look = [&](QMenu* menu)
    {
        entries.clear();
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), fixed + 3);
        EXPECT_TRUE(actions[fixed]->isSeparator());
        for (int i = fixed + 1; i < actions.size(); ++i)
        {
            entries.push_back(actions[i]->text());
            EXPECT_EQ(actions[i]->data().toString(), actions[i]->text().left(5));
        }
    };
    right_click_trigger_cell(FIVE, 0, look);
    EXPECT_EQ(entries, (std::vector<QString>{"00000 : idle", "00001 : run"}));
    right_click_trigger_cell(FIVE, 0, look);
    EXPECT_EQ(entries.size(), 2u) << "the entries of the last showing are gone";
    right_click_trigger_cell(LEAF, 0, [&](QMenu* menu) { EXPECT_EQ(menu->actions().size(), fixed); });
}

// ---- setting a condition -------------------------------------------------------------------------

TEST_F(trigger_edit_test, a_chosen_condition_goes_to_every_selected_row_at_the_menu_level_in_one_edit)
{
    open(write_document(five_bit_bus_and_nested));
    right_click_trigger_cell(2, 1);
    tx()->set_node_selection_status(4, true);
    hint_log log(tx());
    view()->on_trigger_condition(action(AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION));
    EXPECT_EQ(member_pattern(FIVE, 5, 1), "XRXRX");
    EXPECT_EQ(member_pattern(FIVE, 5, 0), "XXXXX") << "the other level keeps its conditions";
    settle();
    EXPECT_TRUE(log.saw(0x20000001u));
    tx()->on_edit_undo();
    EXPECT_EQ(member_pattern(FIVE, 5, 1), "XXXXX") << "one undo step";
    tx()->on_edit_redo();
    view()->select_all_items(false);
    tx()->set_node_selection_status(FIVE, true);
    view()->on_trigger_condition(action(AFCQ_SEDQ_HIGH_CONDITION_ACTION));
    EXPECT_EQ(member_pattern(FIVE, 5, 1), "11111") << "a bus sets every member";
}

// ---- level types ---------------------------------------------------------------------------------

TEST_F(trigger_edit_test, advanced_on_a_storage_qualifier_opens_the_first_advanced_page)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            trigger_of(s)->edit_transient().sq_type = SDR_SQTYPE_CONDITIONAL;
        }));
    hint_log log(tx());
    view()->get_level_type_combo(0)->setCurrentIndex(3);
    EXPECT_EQ(tx()->get_trigger_level_type(-3, -1), SDR_LTYPE_ADVANCED);
    EXPECT_EQ(tx()->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 2);
    settle();
    EXPECT_TRUE(log.saw(0x20000040u));
}

TEST_F(trigger_edit_test, advanced_on_a_level_opens_the_page_after_those_of_the_advanced_levels_before_it)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            standin::sdr::set_levels(trigger_of(s), 4);
            set_level_type(s, 0, SDR_LTYPE_ADVANCED);
        }));
    view()->get_level_type_combo(2 + 3)->setCurrentIndex(3);
    EXPECT_EQ(tx()->get_trigger_level_type(2, -1), SDR_LTYPE_ADVANCED);
    EXPECT_EQ(tx()->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 3) << "level 0 is advanced, level 1 is not";
    view()->get_level_type_combo(1 + 3)->setCurrentIndex(1);
    EXPECT_EQ(tx()->get_trigger_level_type(1, -1), SDR_LTYPE_BASIC_OR);
    EXPECT_EQ(tx()->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 3) << "only Advanced chooses a page";
    tx()->on_edit_undo();
    EXPECT_EQ(tx()->get_trigger_level_type(1, -1), SDR_LTYPE_BASIC_AND) << "one undo step per choice";
    EXPECT_EQ(tx()->get_trigger_level_type(2, -1), SDR_LTYPE_ADVANCED);
}

TEST_F(trigger_edit_test, in_regression_test_mode_the_layout_refreshes_at_once)
{
    open(write_document(five_bit_bus_and_nested));
    standin::tst::set_regtest_mode(true);
    const int pages = tabs()->count();
    hint_log log(tx());
    view()->get_level_type_combo(4)->setCurrentIndex(3);
    EXPECT_EQ(tx()->get_trigger_level_type(1, -1), SDR_LTYPE_ADVANCED);
    EXPECT_EQ(tabs()->count(), pages + 1) << "the level's advanced page, before any event is delivered";
    settle();
    EXPECT_FALSE(log.saw(0x20000040u));
}

TEST_F(trigger_edit_test, level_type_combos_sit_in_header_row_two_right_of_their_label)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            five_bit_bus_and_nested(s);
            trigger_of(s)->edit_transient().sq_type = SDR_SQTYPE_START_STOP;
        }));
    view()->update_advanced_trigger_combo_positions();
    const QFontMetrics metrics(view()->font());
    const int top = view()->get_row_height(0) + view()->get_row_height(1) + 1;
    int x = view()->get_column_offset();
    for (int column = 0; column <= 7; ++column)
        x += view()->get_column_width(column);
    const auto label = [&](const QString& text) { return metrics.boundingRect(text).right() - metrics.boundingRect(text).left(); };
    const struct
    {
        int combo, column, offset;
    } rows[] = {{1, 10, label("Start") + 10}, {2, 11, label("Stop") + 10}, {3, 12, label("1") + 19},
                {4, 13, label("2") + 19}};
    for (const auto& row : rows)
    {
        const int width = view()->get_column_width(row.column);
        EXPECT_EQ(view()->get_level_type_combo(row.combo)->geometry(),
                  QRect(QPoint(x + row.offset, top), QPoint(x + width - 2, top + 18)))
            << "combo " << row.combo;
        x += width;
    }
}
