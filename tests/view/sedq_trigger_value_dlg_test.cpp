// The bus value dialog on its own: its radix list, what the value field accepts in each radix,
// the conversion when the radix changes, the result handed back on OK and the checks of a
// mnemonic entry.
#include "host/standin/msg_control.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <gtest/gtest.h>

namespace
{
QValidator::State check(SEDQ_TRIGGER_VALUE_DLG& dialog, const QString& text)
{
    QString input = text;
    int position = 0;
    return dialog.get_value_edit()->validator()->validate(input, position);
}

std::vector<std::string> shown_keys()
{
    std::vector<std::string> keys;
    for (const auto& message : standin::msg::shown())
        keys.push_back(message.help_key);
    return keys;
}
} // namespace

TEST(trigger_value_dialog, the_radix_list_opens_on_the_radix_of_the_bus)
{
    const char* const entries[] = {"Hexadecimal", "Unsigned Decimal", "Signed Decimal in Two's Complement",
                                   "Signed Decimal in Sign Magnitude", "IEEE754 Single (32-bit)",
                                   "IEEE754 Double (64-bit)", "Octal", "Binary", "8-bit ASCII"};
    const int rows[][2] = {{1, 7}, {2, 2}, {3, 3}, {4, 1}, {5, 0}, {6, 6}, {7, 8}, {13, 4}, {14, 5},
                           {15, 1}, {0, 0}, {8, 0}, {12, 0}};
    for (const auto& row : rows)
    {
        SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_DATA_GROUP_DISPLAY_TYPE(row[0]));
        EXPECT_EQ(dialog.get_radix_combo()->currentIndex(), row[1]) << "type " << row[0];
        ASSERT_EQ(dialog.get_radix_combo()->count(), 9);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(dialog.get_radix_combo()->itemText(i), entries[i]);
        const bool entry = row[0] == 15;
        EXPECT_EQ(dialog.windowTitle(), entry ? "Add Entry" : "Insert Value") << "type " << row[0];
        EXPECT_EQ(dialog.get_mnemonic_edit()->isHidden(), !entry) << "type " << row[0];
        EXPECT_TRUE(dialog.get_find_previous_button()->isHidden());
        EXPECT_EQ(dialog.get_ok_button()->text(), "OK");
        EXPECT_EQ(dialog.get_ok_button()->width(), 75);
    }
}

TEST(trigger_value_dialog, the_value_field_takes_only_the_radix_characters)
{
    SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_GTYPE_HEX);
    const struct
    {
        int index;
        const char* text;
        QValidator::State state;
    } rows[] = {
        {0, "0aF9", QValidator::Acceptable}, {0, "G", QValidator::Invalid},  {0, "x", QValidator::Invalid},
        {1, "0129", QValidator::Acceptable}, {1, "-1", QValidator::Invalid}, {2, "-12", QValidator::Acceptable},
        {4, "-1.5e3", QValidator::Acceptable}, {6, "8", QValidator::Invalid}, {7, "01XLFRHE", QValidator::Acceptable},
        {7, "2", QValidator::Invalid},        {8, "a]^-[ ~", QValidator::Acceptable},
    };
    for (const auto& row : rows)
    {
        dialog.get_radix_combo()->setCurrentIndex(row.index);
        EXPECT_EQ(check(dialog, row.text), row.state) << row.index << " " << row.text;
    }
}

TEST(trigger_value_dialog, ascii_takes_the_ninety_four_printable_characters_but_the_backslash)
{
    SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_GTYPE_ASCII);
    int accepted = 0;
    for (int code = 1; code < 256; ++code)
    {
        const QString one = QString(QChar(code));
        const bool printable = code >= 0x20 && code <= 0x7E && code != '\\';
        const bool taken = check(dialog, one) == QValidator::Acceptable;
        EXPECT_EQ(taken, printable) << "code " << code;
        accepted += taken ? 1 : 0;
    }
    EXPECT_EQ(accepted, 94);
}

TEST(trigger_value_dialog, a_radix_change_keeps_the_bits_and_ok_hands_back_exactly_width_symbols)
{
    SEDQ_TRIGGER_VALUE_DLG dialog("00001111", 8, nullptr, SDR_GTYPE_BINARY);
    EXPECT_EQ(dialog.get_value(), "00001111");
    dialog.get_radix_combo()->setCurrentIndex(0);
    EXPECT_EQ(dialog.get_value(), "0F");
    EXPECT_EQ(dialog.get_display_type(), SDR_GTYPE_HEX);
    dialog.get_radix_combo()->setCurrentIndex(7);
    EXPECT_EQ(dialog.get_value(), "00001111");
    dialog.get_radix_combo()->setCurrentIndex(0);
    dialog.get_value_edit()->setText("FFF");
    dialog.get_radix_combo()->setCurrentIndex(1);
    EXPECT_EQ(dialog.get_value(), "255") << "a value wider than the bus loses its leading bits";
    dialog.get_value_edit()->setText("5");
    dialog.on_ok_button();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.get_value(), "00000101");
    EXPECT_TRUE(standin::msg::shown().empty()) << "no width check outside mnemonic entries";
}

// A text the radix cannot read (a script puts it there past the field's check) is kept when the
// radix changes, for the new radix to read: FF then Hexadecimal is the value FF.
TEST(trigger_value_dialog, a_text_the_old_radix_cannot_read_is_read_in_the_new_one)
{
    standin::msg::reset();
    SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_GTYPE_INVALID);
    dialog.get_value_edit()->setText("FF");
    dialog.get_mnemonic_edit()->setText("all");
    dialog.get_radix_combo()->setCurrentIndex(0);
    EXPECT_EQ(dialog.get_value(), "FF");
    dialog.on_ok_button();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.get_value(), "11111111");
    EXPECT_TRUE(shown_keys().empty());
}

TEST(trigger_value_dialog, a_mnemonic_entry_needs_a_value_that_fits_and_a_name)
{
    const struct
    {
        const char* name;
        const char* value;
        const char* mnemonic;
        const char* refusal; // help key of the message, null when accepted
        const char* bits;
    } rows[] = {
        {"zero with a name", "0", "zero", nullptr, "00000000"},
        {"a value with a name", "5", "five", nullptr, "00000101"},
        {"no value", "", "empty", "OSEDQ_NO_VALUE", nullptr},
        {"nine bits in eight", "256", "big", "OSEDQ_CONVERSION_OVER_BOUNDS", nullptr},
        {"a value without a name", "5", "", "OSEDQ_NO_MNEMONIC_NAME", nullptr},
        {"a text the radix cannot read", "FF", "all", "OSEDQ_NO_VALUE", nullptr},
        {"zero without a name", "00", "", "OSEDQ_NO_MNEMONIC_NAME", nullptr},
    };
    for (const auto& row : rows)
    {
        standin::msg::reset();
        SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_GTYPE_INVALID);
        ASSERT_EQ(dialog.get_display_type(), SDR_GTYPE_UNSIGNED);
        dialog.get_value_edit()->setText(row.value);
        dialog.get_mnemonic_edit()->setText(row.mnemonic);
        dialog.on_ok_button();
        if (row.refusal == nullptr)
        {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << row.name;
            EXPECT_EQ(dialog.get_value(), row.bits) << row.name;
            EXPECT_TRUE(shown_keys().empty()) << row.name;
            continue;
        }
        EXPECT_NE(dialog.result(), QDialog::Accepted) << row.name;
        EXPECT_EQ(shown_keys(), std::vector<std::string>{row.refusal}) << row.name;
        EXPECT_EQ(dialog.get_value(), row.value) << row.name << ": the input stays";
    }
    standin::msg::reset();
    SEDQ_TRIGGER_VALUE_DLG dialog("", 8, nullptr, SDR_GTYPE_INVALID);
    dialog.get_value_edit()->setText("256");
    dialog.on_ok_button();
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "Value exceeds 8 bit(s) long when converted to binary");
}
