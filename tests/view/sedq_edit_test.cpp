// The in-cell editors of the node table: reading a typed comparison, what each editor opens
// with and where, how an edit ends (Escape, Return, focus loss) and what each commit writes.
#include "sedq_trigger_edit_test_support.h"

#include "sedq/model/sedq_edit_scope.h"
#include "sedq/view/sedq_edit.h"
#include "sedq/view/sedq_trigger_compare_dlg.h"

#include <QScrollBar>
#include <QtTest/QTest>

#include <climits>

namespace
{
// Rows: 0 bus "bus" over members 1 and 2 (hex), 3 leaf "top|x" with alias "ax"; two levels.
void two_bit_bus(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    add_bus(trigger, "bus", 2);
    standin::sdr::node_spec leaf;
    leaf.name = "top|x";
    leaf.alias = "ax";
    standin::sdr::add_node(trigger, leaf);
}

void focus_out(QWidget* edit)
{
    QFocusEvent event(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(edit, &event);
}
} // namespace

// ---- reading a comparison ----------------------------------------------------------------------

TEST(comparison_text, single_values_and_intervals_in_range)
{
    const struct
    {
        const char* name;
        const char* text;
        int max;
        bool read;
        int operand_a, operand_b, value_a, value_b;
    } rows[] = {
        {"equal at the maximum", "== 3", 3, true, 20, 23, 3, 0},
        {"equal above the maximum", "== 4", 3, false, 0, 0, 0, 0},
        {"greater than", "> 2", 3, true, 18, 23, 2, 0},
        {"blanks and tabs anywhere", "\t>=\t 1 5 ", 15, true, 19, 23, 15, 0},
        {"less or equal without blank", "<=15", 15, true, 21, 23, 15, 0},
        {"exclusive lower, inclusive upper", "(1, 5]", 15, true, 18, 21, 1, 5},
        {"inclusive lower, exclusive upper", "[ 0 ,15 )", 15, true, 19, 22, 0, 15},
        {"equal bounds", "[3, 3]", 15, false, 0, 0, 0, 0},
        {"reversed bounds", "(5, 1)", 15, false, 0, 0, 0, 0},
        {"upper bound above the maximum", "(1, 16)", 15, false, 0, 0, 0, 0},
        {"digits past 64 bits", "> 99999999999999999999999", INT_MAX, false, 0, 0, 0, 0},
        {"digits that wrap a 32-bit int into range", "> 4294967297", INT_MAX, false, 0, 0, 0, 0},
        {"the largest int", "== 2147483647", INT_MAX, true, 20, 23, INT_MAX, 0},
        {"a letter after the value", "> 2x", 15, false, 0, 0, 0, 0},
        {"a single equals sign", "= 3", 15, false, 0, 0, 0, 0},
        {"no comparison at all", "abc", 15, false, 0, 0, 0, 0},
        {"an operator the host does not know", "<> 3", 15, true, 0, 23, 3, 0},
    };
    for (const auto& row : rows)
    {
        SEDQ_COMPARISON comparison;
        ASSERT_EQ(sedq_parse_comparison(QString::fromUtf8(row.text), row.max, &comparison), row.read) << row.name;
        if (!row.read)
            continue;
        EXPECT_EQ(int(comparison.operand_a), row.operand_a) << row.name;
        EXPECT_EQ(int(comparison.operand_b), row.operand_b) << row.name;
        EXPECT_EQ(comparison.value_a, row.value_a) << row.name;
        EXPECT_EQ(comparison.value_b, row.value_b) << row.name;
    }
}

TEST(comparison_text, the_maximum_is_all_member_bits_set_up_to_the_largest_int)
{
    const int rows[][2] = {{0, 0}, {1, 1}, {2, 3}, {4, 15}, {30, 1073741823}, {31, INT_MAX}, {40, INT_MAX},
                           {4096, INT_MAX}};
    for (const auto& row : rows)
        EXPECT_EQ(sedq_comparison_max(row[0]), row[1]) << row[0] << " members";
}

// ---- the comparison editor ----------------------------------------------------------------------

TEST_F(trigger_edit_test, the_comparison_editor_commits_one_edit_and_redraws_the_table)
{
    open(write_document(two_bit_bus));
    focus_view();
    hint_log log(tx());
    QPointer<SEDQ_COMPARISON_EDIT> edit = new SEDQ_COMPARISON_EDIT(view(), tx(), 0, 12);
    EXPECT_EQ(view()->get_comparison_edit(), edit.data());
    EXPECT_EQ(edit->text(), "[ 0, 0 ]") << "the stored comparison, as the model writes it";
    EXPECT_TRUE(edit->isVisible());
    edit->setText("== 3");
    view()->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(view()->get_comparison_edit(), nullptr);
    EXPECT_TRUE(tx()->is_comparison_enabled(0, 0, -1));
    EXPECT_EQ(tx()->get_comparison_operand(0, 0, 1, -1), SDR_CTYPE_COMPARE_EQUAL_TO);
    EXPECT_EQ(tx()->get_comparison_operand(0, 0, 2, -1), SDR_CTYPE_COMPARE_TRUE);
    EXPECT_EQ(tx()->get_comparison_value(0, 0, 1, -1), 3);
    EXPECT_EQ(tx()->get_comparison_value(0, 0, 2, -1), 0);
    settle();
    EXPECT_TRUE(log.saw(0x20000001u));
    EXPECT_TRUE(edit.isNull()) << "closing deletes the editor";
    tx()->on_edit_undo();
    EXPECT_FALSE(tx()->is_comparison_enabled(0, 0, -1)) << "one undo takes the whole comparison";
    EXPECT_EQ(tx()->get_comparison_operand(0, 0, 1, -1), SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO);
}

TEST_F(trigger_edit_test, the_comparison_editor_refuses_texts_out_of_form_or_range_silently)
{
    open(write_document(two_bit_bus));
    const struct
    {
        const char* text;
        bool taken;
        int operand_a, operand_b, value_a, value_b;
    } rows[] = {
        {"== 4", false, 0, 0, 0, 0}, {"[3, 3]", false, 0, 0, 0, 0}, {"<> 3", false, 0, 0, 0, 0},
        {"> 2", true, 18, 23, 2, 0}, {"(1, 3]", true, 18, 21, 1, 3},
    };
    for (const auto& row : rows)
    {
        {
            const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
            tx()->set_comparison_trigger_enabled(0, 0, false, -1);
        }
        auto* edit = new SEDQ_COMPARISON_EDIT(view(), tx(), 0, 12);
        edit->setText(row.text);
        focus_out(edit);
        EXPECT_EQ(tx()->is_comparison_enabled(0, 0, -1), row.taken) << row.text;
        if (row.taken)
        {
            EXPECT_EQ(tx()->get_comparison_operand(0, 0, 1, -1), row.operand_a) << row.text;
            EXPECT_EQ(tx()->get_comparison_operand(0, 0, 2, -1), row.operand_b) << row.text;
            EXPECT_EQ(tx()->get_comparison_value(0, 0, 1, -1), row.value_a) << row.text;
            EXPECT_EQ(tx()->get_comparison_value(0, 0, 2, -1), row.value_b) << row.text;
        }
        settle();
    }
    EXPECT_TRUE(standin::msg::shown().empty());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(trigger_edit_test, escape_ends_an_edit_unchanged_and_return_commits)
{
    open(write_document(two_bit_bus));
    focus_view();
    QPointer<SEDQ_COMPARISON_EDIT> edit = new SEDQ_COMPARISON_EDIT(view(), tx(), 0, 12);
    edit->setText("> 1");
    QTest::keyClick(edit.data(), Qt::Key_Escape);
    EXPECT_FALSE(tx()->is_comparison_enabled(0, 0, -1));
    EXPECT_EQ(view()->get_comparison_edit(), nullptr);
    auto* alias = new SEDQ_EDIT(view(), tx(), 3, 1);
    alias->setText("renamed");
    QTest::keyClick(alias, Qt::Key_Return);
    QString text;
    tx()->get_node_alias(3, &text);
    EXPECT_EQ(text, "renamed");
    EXPECT_EQ(view()->get_edit(), nullptr);
    settle();
    EXPECT_TRUE(edit.isNull());
}

// ---- the line editor ---------------------------------------------------------------------------

TEST_F(trigger_edit_test, each_cell_opens_with_its_text_and_commits_to_its_field)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            two_bit_bus(s);
            set_member_pattern(trigger_of(s), 0, "10");
        }));
    const struct
    {
        const char* name;
        int node, column;
        const char* opening;
        const char* typed;
    } rows[] = {
        {"alias", 3, 1, "ax", "bx"},
        {"leaf name", 3, 2, "top|x", "top|y"},
        {"group name", 0, 2, "bus", "data"},
        {"level name", -1, 13, "Condition 2", "second"},
        {"bus value in hexadecimal", 0, 12, "2", "1"},
    };
    for (const auto& row : rows)
    {
        auto* edit = new SEDQ_EDIT(view(), tx(), row.node, row.column);
        EXPECT_EQ(edit->text(), row.opening) << row.name;
        edit->setText(row.typed);
        focus_out(edit);
        settle();
    }
    QString text;
    tx()->get_node_alias(3, &text);
    EXPECT_EQ(text, "bx");
    tx()->get_node(3, nullptr, &text, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(text, "top|y");
    tx()->get_node(0, nullptr, &text, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(text, "data");
    EXPECT_EQ(tx()->get_trigger_level_name(1, -1), "second");
    EXPECT_EQ(member_pattern(0, 2), "01");
}

// Trigger edits of the power-up trigger may leave the compiled design behind: those commits ask
// for the instances' check; names and aliases never do.
TEST_F(trigger_edit_test, trigger_commits_of_the_power_up_trigger_ask_for_the_compilation_check)
{
    open(write_document(two_bit_bus));
    ASSERT_TRUE(tx()->enable_powerup_trigger(0, true));
    ASSERT_TRUE(tx()->is_powerup_trigger(-1));
    settle();
    const unsigned check = unsigned(sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    const struct
    {
        const char* name;
        int node, column;
        const char* typed;
        bool checks;
    } rows[] = {
        {"alias", 3, 1, "bx", false},
        {"name", 3, 2, "top|y", false},
        {"level name", -1, 12, "first", true},
        {"bus value", 0, 12, "3", true},
    };
    for (const auto& row : rows)
    {
        hint_log log(tx());
        auto* edit = new SEDQ_EDIT(view(), tx(), row.node, row.column);
        edit->setText(row.typed);
        focus_out(edit);
        EXPECT_EQ(log.saw(check), row.checks) << row.name;
        settle();
    }
    hint_log log(tx());
    auto* comparison = new SEDQ_COMPARISON_EDIT(view(), tx(), 0, 12);
    comparison->setText("> 1");
    focus_out(comparison);
    EXPECT_TRUE(tx()->is_comparison_enabled(0, 0, -1));
    EXPECT_TRUE(log.saw(check)) << "comparison";
    EXPECT_EQ(member_pattern(0, 2), "11") << "the power-up trigger's value";
}

TEST_F(trigger_edit_test, an_unchanged_text_commits_nothing)
{
    open(write_document(two_bit_bus));
    const int steps = standin::sdr::get_counters().brackets_opened;
    auto* edit = new SEDQ_EDIT(view(), tx(), 3, 1);
    focus_out(edit);
    EXPECT_EQ(standin::sdr::get_counters().brackets_opened, steps);
    EXPECT_FALSE(tx()->get_tx_session()->is_modified());
}

TEST_F(trigger_edit_test, names_start_right_of_the_tree_and_level_names_take_the_lower_half)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            two_bit_bus(s);
            trigger_of(s)->edit_transient().state_based = true;
        }));
    QRect cell;
    ASSERT_TRUE(view()->get_item_rect(3, 2, &cell));
    auto* group = new SEDQ_EDIT(view(), tx(), 0, 2);
    EXPECT_EQ(group->geometry(), QRect(QPoint(cell.left() + 2 + 21 - 1, cell.top() + 2 - 1),
                                       QPoint(cell.right() - 3 + 1, cell.bottom() - 3 + 1)));
    EXPECT_EQ(group->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    focus_out(group);
    ASSERT_TRUE(view()->get_item_rect(4, 2, &cell));
    auto* member = new SEDQ_EDIT(view(), tx(), 1, 2);
    EXPECT_EQ(member->geometry().left(), cell.left() + 2 + 30 - 1) << "one level deep";
    focus_out(member);
    ASSERT_TRUE(view()->get_item_rect(1, 12, &cell));
    auto* level = new SEDQ_EDIT(view(), tx(), -1, 12);
    const int top = cell.top() + 2;
    const int bottom = cell.bottom() - 3;
    EXPECT_EQ(level->geometry().top(), bottom - (bottom - top + 1) / 2);
    EXPECT_EQ(level->geometry().bottom(), bottom);
    EXPECT_EQ(level->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    focus_out(level);
}

TEST_F(trigger_edit_test, an_editor_over_a_cell_out_of_view_never_shows_and_commits_nothing)
{
    open(write_document(
             [](SDR_DATA_SESSION& s)
             {
                 std::vector<std::string> names;
                 for (int k = 0; k < 60; ++k)
                     names.push_back("top|n" + std::to_string(k));
                 add_leaves(trigger_of(s), names);
             }),
         QSize(900, 400));
    for (int node : {55, 0})
    {
        if (node == 0)
        {
            view()->get_vertical_scroll_bar()->setValue(10);
            settle();
        }
        QPointer<SEDQ_EDIT> edit = new SEDQ_EDIT(view(), tx(), node, 1);
        EXPECT_FALSE(edit->isVisible()) << "node " << node;
        EXPECT_EQ(view()->get_edit(), nullptr) << "node " << node;
        edit->setText("changed");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(edit.isNull()) << "node " << node;
    }
    QString alias;
    tx()->get_node_alias(55, &alias);
    EXPECT_EQ(alias, "");
    EXPECT_FALSE(tx()->get_tx_session()->is_modified());
}

TEST_F(trigger_edit_test, a_view_closed_with_an_open_editor_takes_it_along)
{
    open(write_document(two_bit_bus));
    focus_view();
    auto* edit = new SEDQ_EDIT(view(), tx(), 3, 1);
    edit->setText("unsaved");
    ASSERT_EQ(view()->get_edit(), edit);
    m_frames.clear();
    EXPECT_TRUE(internal_errors().empty());
}
