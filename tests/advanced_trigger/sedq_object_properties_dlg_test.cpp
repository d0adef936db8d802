// The object properties dialog driven headless: the General page over one or several selected
// objects, the Parameters page's rows and editors, its selection rules, Reset, the power-up
// view, and what OK and Cancel leave on the objects.
#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/advanced_trigger/sedq_parameter_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
using attribute_list = std::vector<std::pair<std::string, std::string>>;
using VIEW = SEDQ_PARAMETER_SETTING_VIEW;

class collecting_sink : public SDR_TX_ATTRIBUTE_SINK
{
public:
    void add(const std::string& key, const std::string& value) override { pairs.emplace_back(key, value); }
    attribute_list pairs;
};

attribute_list attributes_of(SEDQ_OBJECT* object)
{
    collecting_sink sink;
    SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&sink);
    object->get_attributes();
    return sink.pairs;
}

struct open_options
{
    bool insert = false;
    unsigned int lock_mode = SEDQ_LOCK_MODE_ALLOW_ALL;
    bool powerup = false;
    // The Parameters page built before the dialog shows, as if it did not wait for its first use.
    bool build_parameters_page = false;
};

class properties_dialog_test : public ::testing::Test
{
protected:
    SEDQ_OBJECT* add(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool selected = true)
    {
        auto* object = static_cast<SEDQ_OBJECT*>(
            m_condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
        object->set_type(type);
        object->get_property().set(SEDQ_PROPERTY::SELECTED, selected ? 1 : 0);
        return object;
    }

    SEDQ_OBJECT_PROPERTIES_DLG* open(open_options options = {}, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type = SEDQ_OBJECT::UNKNOWN)
    {
        // The objects of a power-up view resolve their settings to the power-up copy, as the
        // canvas's objects do while it shows that trigger.
        for (SEDQ_OBJECT* object : *m_condition.get_object_list())
            object->set_copy(options.powerup ? SEDQ_OBJECT_COPY::powerup() : SEDQ_OBJECT_COPY::normal());
        m_dialog = std::make_unique<SEDQ_OBJECT_PROPERTIES_DLG>(nullptr, m_condition.get_object_list(), &m_mnemonics,
                                                                type, options.insert, options.lock_mode,
                                                                options.powerup);
        if (options.build_parameters_page)
            m_dialog->get_parameter_widget()->ensure_built();
        m_dialog->show();
        return m_dialog.get();
    }

    SEDQ_GENERAL_WIDGET* general() { return m_dialog->get_general_widget(); }
    SEDQ_PARAMETER_WIDGET* parameters() { return m_dialog->get_parameter_widget(); }
    VIEW* table() { return parameters()->get_setting_view(); }
    QPushButton* ok() { return m_dialog->get_button_box()->button(QDialogButtonBox::Ok); }

    int row_of(const QString& name)
    {
        for (int row = 0; row < table()->get_model()->rowCount(); ++row)
            if (table()->get_name(row) == name)
                return row;
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }
    QStringList row_names()
    {
        QStringList names;
        for (int row = 0; row < table()->get_model()->rowCount(); ++row)
            names.append(table()->get_name(row));
        return names;
    }
    QString setting(const QString& name) { return table()->get_cell(row_of(name), VIEW::SETTING_COLUMN); }
    void click_row(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect cell = table()->visualRect(table()->get_model()->index(row, VIEW::NAME_COLUMN));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void select_row(const QString& name)
    {
        table()->selectionModel()->select(table()->get_model()->index(row_of(name), VIEW::NAME_COLUMN),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QStringList combo_items()
    {
        QStringList items;
        for (int i = 0; i < parameters()->get_setting_combo()->count(); ++i)
            items.append(parameters()->get_setting_combo()->itemText(i));
        return items;
    }
    void choose(const QString& item)
    {
        QComboBox* combo = parameters()->get_setting_combo();
        const int index = combo->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        combo->setCurrentIndex(index);
    }

    void deselect_all()
    {
        for (SEDQ_OBJECT* object : *m_condition.get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
    }

    SEDQ_TRIGGER_OBJECT m_condition;
    SDR_DATA_MNEMONICS m_mnemonics;
    std::unique_ptr<SEDQ_OBJECT_PROPERTIES_DLG> m_dialog;
};
} // namespace

// ---- the General page ----------------------------------------------------------------------------

TEST_F(properties_dialog_test, the_dialog_shows_its_pages_labels_and_the_choosable_kinds_in_order)
{
    add(SEDQ_OBJECT::BUS);
    open();
    EXPECT_EQ(m_dialog->windowTitle(), "Object Properties");
    EXPECT_EQ(m_dialog->get_tab_widget()->tabText(SEDQ_OBJECT_PROPERTIES_DLG::GENERAL_PAGE), "General");
    EXPECT_EQ(m_dialog->get_tab_widget()->tabText(SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE), "Parameters");
    QStringList labels;
    for (QLabel* label : general()->findChildren<QLabel*>())
        labels.append(label->text());
    EXPECT_EQ(labels, QStringList({"Object type:", "Object alias:", "Object name:"}));
    const std::vector<std::pair<QString, int>> kinds = {
        {"Edge & Level Detector", SEDQ_OBJECT::EDGE_LEVEL_DETECTOR}, {"Bus", SEDQ_OBJECT::BUS},
        {"Bit Value", SEDQ_OBJECT::BIT_VALUE},
        {"Bus Value", SEDQ_OBJECT::BUS_VALUE},
        {"Comparison Operator", SEDQ_OBJECT::COMPARISON_OPERATOR},
        {"Bitwise Operator", SEDQ_OBJECT::BITWISE_OPERATOR},
        {"Logical Operator", SEDQ_OBJECT::LOGICAL_OPERATOR},
        {"Reduction Operator", SEDQ_OBJECT::REDUCTION_OPERATOR},
        {"Shift Operator", SEDQ_OBJECT::SHIFT_OPERATOR},
        {"Custom Trigger HDL", SEDQ_OBJECT::CUSTOM_TRIGGER_HDL}};
    QComboBox* combo = general()->get_type_combo();
    ASSERT_EQ(combo->count(), int(kinds.size()));
    for (int i = 0; i < combo->count(); ++i)
    {
        EXPECT_EQ(combo->itemText(i), kinds[i].first) << i;
        EXPECT_EQ(combo->itemData(i).toInt(), kinds[i].second) << i;
    }
    EXPECT_TRUE(general()->get_name_edit()->isReadOnly());
}

TEST_F(properties_dialog_test, the_opening_state_follows_the_selection_mode_and_lock)
{
    const struct
    {
        const char* name;
        std::vector<SEDQ_OBJECT::SEDQ_OBJECT_TYPE> selected;
        open_options options;
        int page;
        bool kind_enabled;
        QString kind_shown;
        QString name_shown;
        bool ok_enabled;
    } rows[] = {
        {"one bus", {SEDQ_OBJECT::BUS}, {}, SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE, true, "Bus", "b0", true},
        {"insert", {}, {true}, SEDQ_OBJECT_PROPERTIES_DLG::GENERAL_PAGE, true, "", "", false},
        {"lock mode 1", {SEDQ_OBJECT::BUS}, {false, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL},
         SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE, false, "Bus", "b0", true},
        {"lock mode 2", {SEDQ_OBJECT::BUS}, {false, SEDQ_LOCK_MODE_ALLOW_TRIGGER},
         SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE, false, "Bus", "b0", true},
        {"power-up view", {SEDQ_OBJECT::BUS}, {false, SEDQ_LOCK_MODE_ALLOW_ALL, true},
         SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE, false, "Bus", "b0", true},
        {"the result", {SEDQ_OBJECT::LEVEL_RESULT, SEDQ_OBJECT::BUS}, {}, SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE,
         false, "", "Multiple Objects", true},
        {"two kinds", {SEDQ_OBJECT::BUS, SEDQ_OBJECT::NODE}, {}, SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE, true,
         "", "Multiple Objects", true},
    };
    for (const auto& row : rows)
    {
        m_dialog.reset();
        for (SEDQ_OBJECT* object : *m_condition.get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
        for (size_t i = 0; i < row.selected.size(); ++i)
            add(row.selected[i])->get_property().set(SEDQ_PROPERTY::NAME, QString("b%1").arg(i));
        open(row.options);
        EXPECT_EQ(m_dialog->get_tab_widget()->currentIndex(), row.page) << row.name;
        EXPECT_EQ(general()->get_type_combo()->isEnabled(), row.kind_enabled) << row.name;
        EXPECT_EQ(general()->get_type_combo()->currentText(), row.kind_shown) << row.name;
        EXPECT_EQ(general()->get_name_edit()->text(), row.name_shown) << row.name;
        EXPECT_EQ(ok()->isEnabled(), row.ok_enabled) << row.name;
        EXPECT_TRUE(general()->get_alias_edit()->isEnabled()) << row.name;
    }
}

TEST_F(properties_dialog_test, ok_on_two_kinds_keeps_each_kind_and_name_and_stores_the_alias_on_both)
{
    SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS);
    SEDQ_OBJECT* result = add(SEDQ_OBJECT::LEVEL_RESULT);
    bus->get_property().set(SEDQ_PROPERTY::NAME, QString("bus_1"));
    result->get_property().set(SEDQ_PROPERTY::NAME, QString("result"));
    open();
    general()->get_alias_edit()->setText("gate");
    m_dialog->accept();
    EXPECT_EQ(bus->get_type(), SEDQ_OBJECT::BUS);
    EXPECT_EQ(result->get_type(), SEDQ_OBJECT::LEVEL_RESULT);
    EXPECT_EQ(bus->get_property()[SEDQ_PROPERTY::NAME], "bus_1");
    EXPECT_EQ(result->get_property()[SEDQ_PROPERTY::NAME], "result");
    EXPECT_EQ(bus->get_property()[SEDQ_PROPERTY::ALIAS], "gate");
    EXPECT_EQ(result->get_property()[SEDQ_PROPERTY::ALIAS], "gate");
}

TEST_F(properties_dialog_test, insert_mode_enables_ok_once_a_kind_is_chosen_and_clears_the_name)
{
    SEDQ_OBJECT* fresh = add(SEDQ_OBJECT::UNKNOWN);
    fresh->get_property().set(SEDQ_PROPERTY::NAME, QString("old"));
    open({true});
    EXPECT_FALSE(ok()->isEnabled());
    general()->get_type_combo()->setCurrentIndex(general()->get_type_combo()->findText("Shift Operator"));
    EXPECT_TRUE(ok()->isEnabled());
    EXPECT_EQ(general()->get_name_edit()->text(), "");
    m_dialog->get_tab_widget()->setCurrentIndex(SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE);
    EXPECT_EQ(row_names(), QStringList({"Shift Distance", "Shift Direction", "Shift Type"}))
        << "the parameters follow the kind chosen on the other page";
    m_dialog->accept();
    EXPECT_EQ(fresh->get_type(), SEDQ_OBJECT::SHIFT_OPERATOR);
    EXPECT_EQ(fresh->get_property()[SEDQ_PROPERTY::NAME], "");
}

TEST_F(properties_dialog_test, cancel_after_edits_on_both_pages_leaves_every_object_as_it_was)
{
    SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS);
    bus->get_property().set(SEDQ_PROPERTY::BUS_NAME, QString("top|data"));
    const attribute_list before = attributes_of(bus);
    open();
    general()->get_alias_edit()->setText("changed");
    select_row("Bit Order");
    choose("LSB to MSB");
    m_dialog->reject();
    EXPECT_EQ(attributes_of(bus), before);
}

// ---- the Parameters page ---------------------------------------------------------------------------

TEST_F(properties_dialog_test, a_bus_lists_its_parameters_with_the_property_as_item_data)
{
    add(SEDQ_OBJECT::BUS);
    open();
    QHeaderView* header = table()->horizontalHeader();
    const std::vector<std::pair<QString, int>> columns = {
        {"Name", 161}, {"Setting", 139}, {"Configurable at Runtime", 146}};
    for (int column = 0; column < VIEW::COLUMN_COUNT; ++column)
    {
        EXPECT_EQ(table()->get_model()->headerData(column, Qt::Horizontal).toString(), columns[column].first);
        EXPECT_EQ(header->sectionSize(column), columns[column].second) << column;
    }
    EXPECT_EQ(row_names(), QStringList({"Bus Name", "Bit Order", "Data Delay"}));
    EXPECT_EQ(table()->get_item_data(0), SEDQ_PROPERTY::BUS_NAME + VIEW::STRING_ROW_FLAG);
    EXPECT_EQ(table()->get_item_data(1), SEDQ_PROPERTY::BIT_ORDER);
    EXPECT_EQ(table()->get_item_data(2), SEDQ_PROPERTY::DATA_DELAY);
    EXPECT_EQ(parameters()->get_parameter_name_label()->text(), "Bus Name") << "row 0 is selected";
    EXPECT_EQ(table()->get_cell(1, VIEW::CONFIGURABLE_COLUMN), "Never");
}

// The canvas keeps one dialog and reopens it for each Insert or Properties: what a reopening
// shows must not depend on what the dialog showed before.
TEST_F(properties_dialog_test, a_reopened_dialog_shows_only_the_new_selection)
{
    SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS);
    SEDQ_OBJECT* result = add(SEDQ_OBJECT::LEVEL_RESULT, false);
    open();
    ASSERT_EQ(row_names(), QStringList({"Bus Name", "Bit Order", "Data Delay"}));
    ASSERT_FALSE(parameters()->get_description_edit()->toPlainText().isEmpty());
    table()->horizontalHeader()->resizeSection(VIEW::NAME_COLUMN, 250);
    m_dialog->reject();

    bus->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
    result->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
    m_dialog->reopen(m_condition.get_object_list(), &m_mnemonics, SEDQ_OBJECT::UNKNOWN, false);
    m_dialog->show();
    EXPECT_EQ(row_names(), QStringList());
    EXPECT_EQ(parameters()->get_parameter_name_label()->text(), "No Parameters");
    EXPECT_EQ(parameters()->get_description_edit()->toPlainText(), "");
    const std::vector<std::pair<QString, int>> columns = {
        {"Name", 161}, {"Setting", 139}, {"Configurable at Runtime", 146}};
    for (int column = 0; column < VIEW::COLUMN_COUNT; ++column)
    {
        EXPECT_EQ(table()->get_model()->headerData(column, Qt::Horizontal).toString(), columns[column].first);
        EXPECT_EQ(table()->horizontalHeader()->sectionSize(column), columns[column].second) << column;
    }
    m_dialog->reject();

    result->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
    bus->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
    m_dialog->reopen(m_condition.get_object_list(), &m_mnemonics, SEDQ_OBJECT::UNKNOWN, false);
    m_dialog->show();
    EXPECT_EQ(row_names(), QStringList({"Bus Name", "Bit Order", "Data Delay"}));
    EXPECT_EQ(table()->get_item_data(2), SEDQ_PROPERTY::DATA_DELAY);
    EXPECT_EQ(parameters()->get_parameter_name_label()->text(), "Bus Name");
}

// The canvas keeps its dialog when the window's document is closed and another made or opened:
// reopened for that document, the dialog offers its tables and finds its symbols, never those
// of the document it was made for.
TEST_F(properties_dialog_test, a_dialog_reopened_for_another_document_offers_that_documents_tables)
{
    ASSERT_NE(m_mnemonics.create_table("opcodes", 4), nullptr);
    add(SEDQ_OBJECT::BUS_VALUE);
    open();
    m_dialog->reject();
    SDR_DATA_MNEMONICS other;
    SDR_DATA_MNEMONICS_TABLE* flags = other.create_table("flags", 4);
    ASSERT_TRUE(flags != nullptr && flags->add_entry("idle", "0001"));
    m_dialog->reopen(m_condition.get_object_list(), &other, SEDQ_OBJECT::UNKNOWN, false);
    m_dialog->show();
    select_row("Bus Value Radix");
    EXPECT_EQ(combo_items(), QStringList({"Hexadecimal", "Decimal", "Octal", "Binary", "8-bit ASCII", "flags"}));
    choose("flags");
    select_row("Bus Value");
    EXPECT_EQ(combo_items(), QStringList({"0001 : idle"}));
    m_dialog.reset();
}

TEST_F(properties_dialog_test, the_editors_show_why_no_parameter_is_edited)
{
    add(SEDQ_OBJECT::LEVEL_RESULT);
    open();
    EXPECT_EQ(parameters()->get_parameter_name_label()->text(), "No Parameters");
    EXPECT_FALSE(parameters()->get_setting_combo()->isEnabled());
    EXPECT_FALSE(parameters()->get_configurable_check()->isEnabled());
    EXPECT_FALSE(parameters()->get_reset_button()->isEnabled());
    EXPECT_FALSE(parameters()->get_reset_all_button()->isEnabled());
    bool has_settings_label = false;
    for (QLabel* label : parameters()->findChildren<QLabel*>())
        has_settings_label |= label->text() == " Existing parameter settings:";
    EXPECT_TRUE(has_settings_label);
}

// A Ctrl-click that adds a row edits the first selected row; one that only takes a row out
// shows no parameter though others stay selected; two new ranges at once show none either.
TEST_F(properties_dialog_test, the_editors_follow_what_a_click_newly_selects)
{
    add(SEDQ_OBJECT::COUNTER_OPERATOR);
    open();
    EXPECT_EQ(row_names(), QStringList({"Counter Value", "Max Counter Value", "Counter Type", "Counter Hold"}));
    QLabel* name = parameters()->get_parameter_name_label();
    click_row(2);
    EXPECT_EQ(name->text(), "Counter Type");
    click_row(1, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "Max Counter Value") << "the first selected row in table order";
    click_row(3, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "Max Counter Value");
    click_row(3, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "No Selection");
    EXPECT_FALSE(parameters()->get_setting_combo()->isEnabled());
    EXPECT_FALSE(parameters()->get_reset_button()->isEnabled());
    QItemSelection two_ranges;
    two_ranges.select(table()->get_model()->index(0, 0), table()->get_model()->index(0, 2));
    two_ranges.select(table()->get_model()->index(3, 0), table()->get_model()->index(3, 2));
    table()->selectionModel()->select(two_ranges, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(name->text(), "Multiple Items");
    EXPECT_TRUE(parameters()->get_reset_button()->isEnabled());
    EXPECT_EQ(parameters()->get_setting_combo()->currentText(), "");
}

TEST_F(properties_dialog_test, each_parameter_shows_its_list_and_description)
{
    const struct
    {
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
        const char* row;
        QStringList items;
        const QString* description;
    } rows[] = {
        {SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, "Edge & Level Detector Pattern", {""}, &VIEW::SEDQ_PARAMETER_PATTERN_STR},
        {SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, "Pipeline", {"0"}, &VIEW::SEDQ_PARAMETER_PIPELINE_STR},
        {SEDQ_OBJECT::BUS, "Bus Name", {""}, &VIEW::SEDQ_PARAMETER_BUS_NAME_STR},
        {SEDQ_OBJECT::BUS, "Bit Order", {"MSB to LSB", "LSB to MSB"}, &VIEW::SEDQ_PARAMETER_BIT_ORDER_STR},
        {SEDQ_OBJECT::BUS, "Data Delay", {""}, &VIEW::SEDQ_PARAMETER_DATA_DELAY_STR},
        {SEDQ_OBJECT::BIT_VALUE, "Bit Value", {"True", "False"}, &VIEW::SEDQ_PARAMETER_BIT_VALUE_STR},
        {SEDQ_OBJECT::BUS_VALUE, "Bus Value", {""}, &VIEW::SEDQ_PARAMETER_BUS_VALUE_STR},
        {SEDQ_OBJECT::BUS_VALUE, "Bus Value Radix",
         {"Hexadecimal", "Decimal", "Octal", "Binary", "8-bit ASCII"}, &VIEW::SEDQ_PARAMETER_BUS_DISPLAY_FORMAT_STR},
        {SEDQ_OBJECT::COMPARISON_OPERATOR, "Comparison Type",
         {"Less Than", "Less Than or Equal To", "Equality", "Inequality", "Greater Than or Equal To", "Greater Than",
          "True", "False"},
         &VIEW::SEDQ_PARAMETER_COMPARISON_TYPE_STR},
        {SEDQ_OBJECT::COMPARISON_OPERATOR, "Signed/Unsigned Type", {"Unsigned Comparison", "Signed Comparison"},
         &VIEW::SEDQ_PARAMETER_SIGNED_COMPARISON_TYPE_STR},
        {SEDQ_OBJECT::BITWISE_OPERATOR, "Bitwise Operator Type",
         {"Bitwise Complement", "Bitwise And", "Bitwise Or", "Bitwise Xor"},
         &VIEW::SEDQ_PARAMETER_BITWISE_OPERATOR_TYPE_STR},
        {SEDQ_OBJECT::LOGICAL_OPERATOR, "Logical Operator Type",
         {"Logical Not", "Logical And", "Logical Or", "Logical Xor"}, &VIEW::SEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE_STR},
        {SEDQ_OBJECT::REDUCTION_OPERATOR, "Reduction Operator Type", {"Reduction And", "Reduction Or", "Reduction Xor"},
         &VIEW::SEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE_STR},
        {SEDQ_OBJECT::SHIFT_OPERATOR, "Shift Type", {"Logical", "Rotate", "Arithmetic"},
         &VIEW::SEDQ_PARAMETER_SHIFT_TYPE_STR},
        {SEDQ_OBJECT::SHIFT_OPERATOR, "Shift Direction", {"Left", "Right"}, &VIEW::SEDQ_PARAMETER_SHIFT_DIRECTION_STR},
        {SEDQ_OBJECT::SHIFT_OPERATOR, "Shift Distance", {""}, &VIEW::SEDQ_PARAMETER_SHIFT_DISTANCE_STR},
        {SEDQ_OBJECT::COUNTER_OPERATOR, "Counter Type", {"Continuous", "Event", "State"},
         &VIEW::SEDQ_PARAMETER_COUNTER_TYPE_STR},
        {SEDQ_OBJECT::COUNTER_OPERATOR, "Max Counter Value", {"255"}, &VIEW::SEDQ_PARAMETER_COUNTER_WIDTH_STR},
        {SEDQ_OBJECT::COUNTER_OPERATOR, "Counter Value", {""}, &VIEW::SEDQ_PARAMETER_COUNTER_VALUE_STR},
        {SEDQ_OBJECT::COUNTER_OPERATOR, "Counter Hold", {"Yes", "No"}, &VIEW::SEDQ_PARAMETER_COUNTER_HOLD_STR},
        {SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, "Custom HDL Module Name", {""}, &VIEW::SEDQ_PARAMETER_MODULE_NAME_STR},
        {SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, "Configuration Bitstream", {""}, &VIEW::SEDQ_PARAMETER_BITSTREAM_STR},
    };
    std::set<const QString*> described;
    for (const auto& row : rows)
    {
        m_dialog.reset();
        for (SEDQ_OBJECT* object : *m_condition.get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
        add(row.kind);
        open();
        select_row(row.row);
        EXPECT_EQ(combo_items(), row.items) << row.row;
        EXPECT_EQ(parameters()->get_description_edit()->toPlainText(), *row.description) << row.row;
        EXPECT_FALSE(row.description->isEmpty()) << row.row;
        described.insert(row.description);
    }
    EXPECT_EQ(described.size(), 22u);
}

TEST_F(properties_dialog_test, a_mnemonic_table_takes_the_radix_place_and_its_symbols_the_bus_value)
{
    SDR_DATA_MNEMONICS_TABLE* opcodes = m_mnemonics.create_table("opcodes", 4);
    ASSERT_TRUE(opcodes != nullptr && opcodes->add_entry("nop", "0000") && opcodes->add_entry("jmp", "0001"));
    m_mnemonics.create_table("states", 2);
    SEDQ_OBJECT* value = add(SEDQ_OBJECT::BUS_VALUE);
    open();
    select_row("Bus Value Radix");
    EXPECT_EQ(combo_items(), QStringList({"Hexadecimal", "Decimal", "Octal", "Binary", "8-bit ASCII", "opcodes",
                                          "states"}));
    choose("opcodes");
    EXPECT_EQ(setting("Bus Value Radix"), "opcodes");
    select_row("Bus Value");
    EXPECT_EQ(combo_items(), QStringList({"0000 : nop", "0001 : jmp"}));
    choose("0001 : jmp");
    EXPECT_EQ(setting("Bus Value"), "jmp");
    m_dialog->accept();
    const SEDQ_PROPERTY& bag = value->get_property();
    EXPECT_EQ(bag[SEDQ_PROPERTY::MNEMONIC_TABLE], "opcodes");
    EXPECT_EQ(bag[SEDQ_PROPERTY::DISPLAY_FORMAT], SEDQ_OBJECT::FORMAT_BINARY);
    EXPECT_EQ(bag[SEDQ_PROPERTY::BUS_VALUE], "jmp");

    open();
    select_row("Bus Value");
    EXPECT_EQ(parameters()->get_setting_combo()->currentText(), "0001 : jmp") << "the stored symbol is found";
    select_row("Bus Value Radix");
    choose("Hexadecimal");
    m_dialog->accept();
    EXPECT_EQ(bag[SEDQ_PROPERTY::MNEMONIC_TABLE], "");
    EXPECT_EQ(bag[SEDQ_PROPERTY::DISPLAY_FORMAT], SEDQ_OBJECT::FORMAT_HEXADECIMAL);

    open();
    select_row("Bus Value Radix");
    choose("states");
    QTest::mouseClick(parameters()->get_reset_button(), Qt::LeftButton);
    EXPECT_EQ(setting("Bus Value Radix"), "Decimal") << "the default radix";
    m_dialog->accept();
    EXPECT_EQ(bag[SEDQ_PROPERTY::MNEMONIC_TABLE], "") << "a reset radix names no table";
}

TEST_F(properties_dialog_test, reset_in_a_lock_mode_touches_only_the_runtime_rows)
{
    const struct
    {
        const char* name;
        unsigned int lock_mode;
        const char* shift_type; // not runtime-configurable
    } rows[] = {
        {"all changes", SEDQ_LOCK_MODE_ALLOW_ALL, "Logical"},
        {"incremental routing only", SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, "Rotate"},
        {"trigger changes only", SEDQ_LOCK_MODE_ALLOW_TRIGGER, "Rotate"},
    };
    for (const auto& row : rows)
    {
        m_dialog.reset();
        for (SEDQ_OBJECT* object : *m_condition.get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
        SEDQ_OBJECT* shift = add(SEDQ_OBJECT::SHIFT_OPERATOR);
        shift->get_property().set(SEDQ_PROPERTY::SHIFT_TYPE, 1);
        shift->get_property().set(SEDQ_PROPERTY::SHIFT_DISTANCE, 4);
        shift->get_property().set(SEDQ_PROPERTY::SHIFT_DIRECTION, 1);
        open({false, row.lock_mode});
        select_row("Shift Direction");
        QTest::mouseClick(parameters()->get_reset_all_button(), Qt::LeftButton);
        EXPECT_EQ(setting("Shift Type"), row.shift_type) << row.name;
        EXPECT_EQ(setting("Shift Distance"), "") << row.name;
        EXPECT_EQ(setting("Shift Direction"), "Left") << row.name;
        EXPECT_EQ(parameters()->get_parameter_name_label()->text(), "Shift Direction")
            << row.name << ": the selection comes back";
        m_dialog->accept();
        QString type;
        shift->get_property().get_setting_text(SEDQ_PROPERTY::SHIFT_TYPE, &type, SEDQ_PROPERTY::NORMAL_COPY);
        EXPECT_EQ(type, row.shift_type) << row.name;
    }
}

// ---- free text, refused words, the power-up view -----------------------------------------------

TEST_F(properties_dialog_test, clearing_the_shift_distance_makes_it_blank_and_unwritten)
{
    SEDQ_OBJECT* shift = add(SEDQ_OBJECT::SHIFT_OPERATOR);
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_DISTANCE, 3);
    open();
    select_row("Shift Distance");
    EXPECT_EQ(parameters()->get_setting_combo()->currentText(), "3");
    parameters()->get_setting_combo()->clearEditText();
    EXPECT_EQ(setting("Shift Distance"), "");
    m_dialog->accept();
    for (const auto& attribute : attributes_of(shift))
        EXPECT_NE(attribute.first, "shift_distance");
    EXPECT_TRUE(shift->get_property().get_int_data(SEDQ_PROPERTY::SHIFT_DISTANCE, SEDQ_PROPERTY::NORMAL_COPY).is_blank);
}

TEST_F(properties_dialog_test, a_refused_word_leaves_the_stored_setting_in_the_cell_and_typing_a_word_arrives)
{
    SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS);
    open();
    select_row("Bit Order");
    parameters()->get_setting_combo()->setEditText("LSB first");
    EXPECT_EQ(setting("Bit Order"), "MSB to LSB") << "the cell shows what OK stores";
    QLineEdit* line = parameters()->get_setting_combo()->lineEdit();
    line->selectAll();
    QTest::keyClicks(line, "LSB to MSB");
    EXPECT_EQ(setting("Bit Order"), "LSB to MSB");
    m_dialog->accept();
    EXPECT_EQ(bus->get_property()[SEDQ_PROPERTY::BIT_ORDER], 1);
}

TEST_F(properties_dialog_test, the_powerup_view_shows_never_and_ok_keeps_every_normal_setting)
{
    SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS);
    bus->get_property().set(SEDQ_PROPERTY::BUS_NAME, QString("top|data"));
    bus->get_property().set(SEDQ_PROPERTY::BIT_ORDER, 1);
    bus->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 2);
    SEDQ_OBJECT* shift = add(SEDQ_OBJECT::SHIFT_OPERATOR);
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_TYPE, 2);
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_DISTANCE, 5, SEDQ_PROPERTY::NORMAL_COPY);
    SEDQ_OBJECT* counter = add(SEDQ_OBJECT::COUNTER_OPERATOR);
    counter->get_property().set(SEDQ_PROPERTY::MAX_COUNTER_VALUE, 100);
    counter->get_property().set(SEDQ_PROPERTY::COUNTER_VALUE, 9, SEDQ_PROPERTY::NORMAL_COPY);
    for (SEDQ_OBJECT* object : {bus, shift, counter})
    {
        for (SEDQ_OBJECT* other : *m_condition.get_object_list())
            other->get_property().set(SEDQ_PROPERTY::SELECTED, other == object ? 1 : 0);
        const attribute_list before = attributes_of(object);
        open({false, SEDQ_LOCK_MODE_ALLOW_ALL, true});
        for (int row = 0; row < table()->get_model()->rowCount(); ++row)
            EXPECT_EQ(table()->get_cell(row, VIEW::CONFIGURABLE_COLUMN), "Never") << row;
        EXPECT_FALSE(parameters()->get_configurable_check()->isEnabled());
        EXPECT_EQ(parameters()->get_setting_combo()->palette().color(QPalette::Active, QPalette::Base),
                  QColor(153, 204, 255));
        m_dialog->accept();
        EXPECT_EQ(attributes_of(object), before) << object->get_property()[SEDQ_PROPERTY::TYPE];
    }
}

// ---- the Parameters page built on first use ------------------------------------------------------

// An insertion opens on General and builds the Parameters page only when the user turns to it;
// built then, the page must show, store and size the dialog as one built with the dialog.
TEST_F(properties_dialog_test, a_parameters_page_built_when_first_shown_shows_and_stores_what_a_built_one_does)
{
    ASSERT_NE(m_mnemonics.create_table("opcodes", 4), nullptr);
    const struct
    {
        const char* kind; // chosen on the General page
        const char* row;
        const char* setting;
    } rows[] = {
        {"Shift Operator", "Shift Type", "Rotate"},
        {"Bus", "Bit Order", "LSB to MSB"},
        {"Bus Value", "Bus Value Radix", "opcodes"},
    };
    struct outcome
    {
        QStringList shown;
        attribute_list stored;
        QSize size;
    };
    for (const auto& row : rows)
    {
        outcome outcomes[2];
        for (bool at_once : {true, false})
        {
            m_dialog.reset();
            deselect_all();
            SEDQ_OBJECT* object = add(SEDQ_OBJECT::UNKNOWN);
            open({true, SEDQ_LOCK_MODE_ALLOW_ALL, false, at_once});
            const std::string mode = std::string(row.kind) + (at_once ? ", built at once" : ", built on first use");
            EXPECT_EQ(parameters()->is_built(), at_once) << mode;
            outcome& result = outcomes[at_once ? 0 : 1];
            result.size = m_dialog->size();
            general()->get_type_combo()->setCurrentIndex(general()->get_type_combo()->findText(row.kind));
            m_dialog->get_tab_widget()->setCurrentIndex(SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE);
            result.shown = row_names();
            result.shown << parameters()->get_parameter_name_label()->text() << setting(row.row)
                         << table()->get_cell(row_of(row.row), VIEW::CONFIGURABLE_COLUMN);
            select_row(row.row);
            choose(row.setting);
            result.shown << setting(row.row);
            QApplication::processEvents(); // the layouts settle, as between two clicks
            EXPECT_TRUE(parameters()->get_setting_combo()->isVisible()) << mode;
            EXPECT_EQ(m_dialog->size(), result.size) << mode << ": turning to the page keeps the size";
            QTest::mouseClick(ok(), Qt::LeftButton);
            result.stored = attributes_of(object);
        }
        EXPECT_EQ(outcomes[1].shown, outcomes[0].shown) << row.kind;
        EXPECT_EQ(outcomes[1].stored, outcomes[0].stored) << row.kind;
        EXPECT_EQ(outcomes[1].size, outcomes[0].size) << row.kind;
        EXPECT_EQ(outcomes[1].shown.last(), row.setting) << row.kind;
        EXPECT_TRUE(m_dialog->result() == QDialog::Accepted) << row.kind;
    }
}

// The size a page not yet built stands for is learnt from one built in the same look; in a look
// not seen before the dialog builds the page at once, and learns it.
TEST_F(properties_dialog_test, in_a_look_not_seen_before_the_dialog_builds_the_parameters_page_at_once)
{
    const QFont usual = QApplication::font();
    QFont larger = usual;
    larger.setPointSize(usual.pointSize() + 7);
    QApplication::setFont(larger);
    add(SEDQ_OBJECT::UNKNOWN);
    open({true});
    EXPECT_TRUE(parameters()->is_built());
    const QSize learnt = m_dialog->size();
    open({true});
    EXPECT_FALSE(parameters()->is_built());
    EXPECT_EQ(m_dialog->size(), learnt);
    m_dialog.reset();
    QApplication::setFont(usual);
    open({true});
    EXPECT_NE(m_dialog->size(), learnt) << "the larger font made a larger dialog";
}
