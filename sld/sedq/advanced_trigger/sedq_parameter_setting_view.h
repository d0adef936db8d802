#pragma once
// The table of parameter settings on the "Parameters" page of the object properties dialog:
// one row per parameter of the selection (name, setting, configurable at run time). The name
// cell carries the property as item data (its number, plus STRING_ROW_FLAG for a string
// property). Selecting rows tells the owner page which parameter its editors show. The
// parameter descriptions are rendered once when the library loads by the get_*_message()
// functions below.

#include <QStandardItemModel>
#include <QString>
#include <QTableView>

class SEDQ_PARAMETER_WIDGET;

class SEDQ_PARAMETER_SETTING_VIEW : public QTableView
{
    Q_OBJECT
public:
    enum COLUMN
    {
        NAME_COLUMN,
        SETTING_COLUMN,
        CONFIGURABLE_COLUMN,
        COLUMN_COUNT
    };
    // Added to the property number in the item data of a string property's row.
    static constexpr int STRING_ROW_FLAG = 0x10000;
    static constexpr int NAME_COLUMN_WIDTH = 161;
    static constexpr int SETTING_COLUMN_WIDTH = 139;
    static constexpr int CONFIGURABLE_COLUMN_WIDTH = 146;

    explicit SEDQ_PARAMETER_SETTING_VIEW(SEDQ_PARAMETER_WIDGET* owner);

    QStandardItemModel* get_model() { return &m_model; }
    // Empties the table and sets its three headers again.
    void clear_rows();
    // Appends a row for the property (item data as above) with empty setting cells.
    void append_row(const QString& label, int item_data);
    int get_item_data(int row) const;
    QString get_name(int row) const;
    void set_cell(int row, COLUMN column, const QString& text);
    QString get_cell(int row, COLUMN column) const;
    // The selected rows in table order; the first of them, -1 when none.
    QList<int> get_selected_rows() const;
    int get_first_selected_row() const;
    // The description of the parameter a row's name stands for (empty for any other name).
    static QString description_of(const QString& name);

protected:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    QStandardItemModel m_model;
    SEDQ_PARAMETER_WIDGET* m_parameter_widget;

public:
    static const QString SEDQ_PARAMETER_PATTERN_STR;
    static const QString SEDQ_PARAMETER_BUS_VALUE_STR;
    static const QString SEDQ_PARAMETER_BUS_NAME_STR;
    static const QString SEDQ_PARAMETER_COMPARISON_TYPE_STR;
    static const QString SEDQ_PARAMETER_SIGNED_COMPARISON_TYPE_STR;
    static const QString SEDQ_PARAMETER_BIT_VALUE_STR;
    static const QString SEDQ_PARAMETER_SHIFT_TYPE_STR;
    static const QString SEDQ_PARAMETER_SHIFT_DIRECTION_STR;
    static const QString SEDQ_PARAMETER_SHIFT_DISTANCE_STR;
    static const QString SEDQ_PARAMETER_BUS_DISPLAY_FORMAT_STR;
    static const QString SEDQ_PARAMETER_BIT_ORDER_STR;
    static const QString SEDQ_PARAMETER_PIPELINE_STR;
    static const QString SEDQ_PARAMETER_DATA_DELAY_STR;
    static const QString SEDQ_PARAMETER_BITWISE_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_TYPE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_WIDTH_STR;
    static const QString SEDQ_PARAMETER_COUNTER_VALUE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_HOLD_STR;
    static const QString SEDQ_PARAMETER_MODULE_NAME_STR;
    static const QString SEDQ_PARAMETER_BITSTREAM_STR;
};

// Each builds the parameter's information message, returns its visible text and deletes the
// message. The text does not depend on whether the user suppressed the message.
QString get_pattern_message();
QString get_bus_value_message();
QString get_bus_name_message();
QString get_comparison_type_message();
QString get_signed_comparison_type_message();
QString get_bit_value_message();
QString get_shift_type_message();
QString get_shift_direction_message();
QString get_shift_distance_message();
QString get_bus_display_format_message();
QString get_bit_order_message();
QString get_pipeline_message();
QString get_data_delay_message();
QString get_bitwise_operator_type_message();
QString get_logical_operator_type_message();
QString get_reduction_operator_type_message();
QString get_counter_type_message();
QString get_counter_width_message();
QString get_counter_value_message();
QString get_counter_hold_message();
QString get_module_name_message();
QString get_bitstream_message();
