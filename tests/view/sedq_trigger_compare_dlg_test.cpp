// The compare dialog on its own: the page each comparison opens on, switching pages, and the
// values OK takes or refuses with its message box.
#include "host/standin/msg_control.h"
#include "host/standin/qui_control.h"
#include "sedq/view/sedq_comparison_widgets.h"
#include "sedq/view/sedq_trigger_compare_dlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <climits>

namespace
{
std::vector<std::string> internal_errors()
{
    std::vector<std::string> expressions;
    for (const auto& error : standin::msg::internal_errors())
        expressions.push_back(error.expression);
    return expressions;
}
} // namespace

TEST(trigger_compare_dialog, a_single_value_opens_its_page_and_the_interval_page_on_defaults)
{
    SEDQ_TRIGGER_COMPARE_DLG dialog("bus", SDR_CTYPE_COMPARE_LESS_THAN, SDR_CTYPE_COMPARE_TRUE, 9, 0, 4, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Compare");
    EXPECT_EQ(dialog.get_max(), 15);
    EXPECT_EQ(dialog.get_type_combo()->currentIndex(), 0);
    SEDQ_VALUE_COMPARISON_WIDGET* single = dialog.get_value_page();
    SEDQ_INTERVAL_COMPARISON_WIDGET* interval = dialog.get_interval_page();
    EXPECT_TRUE(single->isEnabled());
    EXPECT_FALSE(interval->isEnabled());
    EXPECT_EQ(single->get_operand(), SDR_CTYPE_COMPARE_LESS_THAN);
    EXPECT_EQ(single->get_value_edit()->text(), "9");
    const char* const operators[] = {">", ">=", "==", "<=", "<"};
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(single->get_operand_combo()->itemText(i), operators[i]);
        EXPECT_EQ(single->get_operand_combo()->itemData(i).toInt(), 18 + i);
    }
    EXPECT_EQ(interval->get_lb_operand(), SDR_CTYPE_COMPARE_GREATER_THAN);
    EXPECT_EQ(interval->get_ub_operand(), SDR_CTYPE_COMPARE_LESS_THAN);
    EXPECT_EQ(interval->get_lb_edit()->text(), "0");
    EXPECT_EQ(interval->get_ub_edit()->text(), "15");
    dialog.get_type_combo()->setCurrentIndex(1);
    EXPECT_FALSE(single->isEnabled());
    EXPECT_TRUE(interval->isEnabled());
    dialog.on_selection_changed(2);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"Unhandled selection index"});
}

TEST(trigger_compare_dialog, an_interval_opens_its_page_and_the_single_page_on_equal_to_zero)
{
    SEDQ_TRIGGER_COMPARE_DLG dialog("bus", SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO,
                                    SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, 2, 7, 40, nullptr);
    EXPECT_EQ(dialog.get_max(), INT_MAX);
    EXPECT_EQ(dialog.get_type_combo()->currentIndex(), 1);
    EXPECT_TRUE(dialog.get_interval_page()->get_lb_inclusive()->isChecked());
    EXPECT_TRUE(dialog.get_interval_page()->get_ub_inclusive()->isChecked());
    EXPECT_EQ(dialog.get_interval_page()->get_lb_value(), 2);
    EXPECT_EQ(dialog.get_interval_page()->get_ub_value(), 7);
    EXPECT_EQ(dialog.get_value_page()->get_operand(), SDR_CTYPE_COMPARE_EQUAL_TO);
    EXPECT_EQ(dialog.get_value_page()->get_value(), 0);
    EXPECT_FALSE(dialog.get_value_page()->isEnabled());
    dialog.on_cancel_button();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(trigger_compare_dialog, ok_takes_values_in_range_and_refuses_the_others_with_their_reason)
{
    const struct
    {
        const char* name;
        int type;
        const char* value_a;
        const char* value_b;
        const char* refusal; // null: accepted
    } rows[] = {
        {"the largest 4-bit value", 0, "15", "", nullptr},
        {"one past it", 0, "16", "", "Comparison value must be between 0 and 15 (inclusive)"},
        {"negative", 0, "-1", "", "Comparison value must be between 0 and 15 (inclusive)"},
        {"not a number", 0, "abc", "", "Comparison value must be between 0 and 15 (inclusive)"},
        {"digits after the number", 0, "3x", "", "Comparison value must be between 0 and 15 (inclusive)"},
        {"blanks around it", 0, " 12 ", "", nullptr},
        {"an interval", 1, "3", "7", nullptr},
        {"equal bounds", 1, "3", "3", nullptr},
        {"upper below lower", 1, "7", "3", "Lower bound value must be less than upper bound value"},
        {"lower out of range", 1, "20", "30", "Lower bound value must be between 0 and 15 (inclusive)"},
        {"lower not a number", 1, "", "3", "Lower bound value must be between 0 and 15 (inclusive)"},
        {"upper out of range", 1, "2", "16", "Upper bound value must be between 0 and 15 (inclusive)"},
        {"reversed bounds, the lower out of range", 1, "20", "3", "Lower bound value must be less than upper bound value"},
        {"digits past 32 bits", 0, "4294967311", "", "Comparison value must be between 0 and 15 (inclusive)"},
        {"digits past 64 bits", 1, "1", "99999999999999999999999", "Upper bound value must be between 0 and 15 (inclusive)"},
    };
    for (const auto& row : rows)
    {
        standin::qui::reset();
        SEDQ_TRIGGER_COMPARE_DLG dialog("bus", SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_TRUE, 0, 0, 4,
                                        nullptr);
        dialog.get_type_combo()->setCurrentIndex(row.type);
        if (row.type == 0)
            dialog.get_value_page()->get_value_edit()->setText(row.value_a);
        else
        {
            dialog.get_interval_page()->get_lb_edit()->setText(row.value_a);
            dialog.get_interval_page()->get_ub_edit()->setText(row.value_b);
        }
        if (row.refusal != nullptr)
            standin::qui::push_dialog_answer(QStringLiteral("Value(s) not acceptable\n") + row.refusal, QMessageBox::Ok);
        dialog.on_ok_button();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.refusal == nullptr) << row.name;
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << row.name << ": the box and its text";
        EXPECT_TRUE(standin::qui::unanswered_dialogs().empty()) << row.name;
    }
}

TEST(trigger_compare_dialog, the_accepted_comparison_is_read_from_the_page_shown)
{
    SEDQ_TRIGGER_COMPARE_DLG dialog("bus", SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_TRUE, 0, 0, 8, nullptr);
    dialog.get_type_combo()->setCurrentIndex(1);
    dialog.get_interval_page()->get_lb_inclusive()->setChecked(true);
    dialog.get_interval_page()->get_lb_edit()->setText("10");
    dialog.get_interval_page()->get_ub_edit()->setText("200");
    dialog.on_ok_button();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.get_operand_a(), SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO);
    EXPECT_EQ(dialog.get_operand_b(), SDR_CTYPE_COMPARE_LESS_THAN);
    EXPECT_EQ(dialog.get_value_a(), 10);
    EXPECT_EQ(dialog.get_value_b(), 200);
}

TEST(trigger_compare_dialog, operands_that_are_no_bound_or_operator_are_reported)
{
    SEDQ_VALUE_COMPARISON_WIDGET single(SDR_CTYPE_COMPARE_TRUE, 0, nullptr);
    SEDQ_INTERVAL_COMPARISON_WIDGET interval(SDR_CTYPE_COMPARE_LESS_THAN, SDR_CTYPE_COMPARE_GREATER_THAN, 0, 1,
                                             nullptr);
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"default_select_index >= 0",
                                                           "Invalid lower bound comparison operand",
                                                           "Invalid upper bound comparison operand"}));
}
