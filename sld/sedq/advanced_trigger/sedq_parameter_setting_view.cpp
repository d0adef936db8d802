// SEDQ_PARAMETER_SETTING_VIEW: the table of the parameter page, its selection, and the
// parameter descriptions (one message-text function per parameter, used when the library loads).
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"

#include "sedq/advanced_trigger/sedq_parameter_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_verify.h"

#include <QHeaderView>

#include <memory>

namespace
{
// The descriptions are help texts, not notices: they come from the unsuppressed builders
// so a message the user silenced does not leave an empty description behind.
QString text_of(MSG_BASE* message)
{
    const std::unique_ptr<MSG_BASE> owned(message);
    if (!SEDQ_VERIFY(message != NULL))
        return QString();
    return QString::fromLatin1(message->text());
}
} // namespace

QString get_pattern_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_PATTERN());
}

QString get_bus_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_VALUE());
}

QString get_bus_name_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_NAME());
}

QString get_comparison_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COMPARISON_TYPE());
}

QString get_signed_comparison_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SIGNED_COMPARISON_TYPE());
}

QString get_bit_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BIT_VALUE());
}

QString get_shift_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_TYPE());
}

QString get_shift_direction_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_DIRECTION());
}

QString get_shift_distance_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_DISTANCE());
}

QString get_bus_display_format_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_DISPLAY_FORMAT());
}

QString get_bit_order_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BIT_ORDER());
}

QString get_pipeline_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_PIPELINE());
}

QString get_data_delay_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_DATA_DELAY());
}

QString get_bitwise_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BITWISE_OPERATOR_TYPE());
}

QString get_logical_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_LOGICAL_OPERATOR_TYPE());
}

QString get_reduction_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_REDUCTION_OPERATOR_TYPE());
}

QString get_counter_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_TYPE());
}

QString get_counter_width_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_WIDTH());
}

QString get_counter_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_VALUE());
}

QString get_counter_hold_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_HOLD());
}

QString get_module_name_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_MODULE_NAME());
}

QString get_bitstream_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BITSTREAM());
}

// ---- the table ---------------------------------------------------------------------------------

SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_SETTING_VIEW(SEDQ_PARAMETER_WIDGET* owner)
    : QTableView(owner), m_parameter_widget(owner)
{
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    verticalHeader()->hide();
    setShowGrid(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    clear_rows();
}

// The dialog reopens for every object: only the rows go, so that the header keeps its sections
// and does not measure its labels again.
void SEDQ_PARAMETER_SETTING_VIEW::clear_rows()
{
    if (m_model.columnCount() == COLUMN_COUNT)
        m_model.removeRows(0, m_model.rowCount());
    else
    {
        m_model.clear();
        m_model.setHorizontalHeaderLabels({tr("Name"), tr("Setting"), tr("Configurable at Runtime")});
    }
    setColumnWidth(NAME_COLUMN, NAME_COLUMN_WIDTH);
    setColumnWidth(SETTING_COLUMN, SETTING_COLUMN_WIDTH);
    setColumnWidth(CONFIGURABLE_COLUMN, CONFIGURABLE_COLUMN_WIDTH);
}

void SEDQ_PARAMETER_SETTING_VIEW::append_row(const QString& label, int item_data)
{
    auto* name = new QStandardItem(label);
    name->setData(item_data, Qt::UserRole);
    m_model.appendRow({name, new QStandardItem(), new QStandardItem()});
    resizeRowToContents(m_model.rowCount() - 1);
}

int SEDQ_PARAMETER_SETTING_VIEW::get_item_data(int row) const
{
    return m_model.data(m_model.index(row, NAME_COLUMN), Qt::UserRole).toInt();
}

QString SEDQ_PARAMETER_SETTING_VIEW::get_name(int row) const
{
    return get_cell(row, NAME_COLUMN);
}

void SEDQ_PARAMETER_SETTING_VIEW::set_cell(int row, COLUMN column, const QString& text)
{
    if (SEDQ_VERIFY(row >= 0 && row < m_model.rowCount()))
        m_model.setData(m_model.index(row, column), text);
}

QString SEDQ_PARAMETER_SETTING_VIEW::get_cell(int row, COLUMN column) const
{
    return m_model.data(m_model.index(row, column)).toString();
}

QList<int> SEDQ_PARAMETER_SETTING_VIEW::get_selected_rows() const
{
    QList<int> rows;
    for (int row = 0; row < m_model.rowCount(); ++row)
        if (selectionModel()->isRowSelected(row, QModelIndex()))
            rows.append(row);
    return rows;
}

int SEDQ_PARAMETER_SETTING_VIEW::get_first_selected_row() const
{
    const QList<int> rows = get_selected_rows();
    return rows.isEmpty() ? -1 : rows.first();
}

QString SEDQ_PARAMETER_SETTING_VIEW::description_of(const QString& name)
{
    static const struct
    {
        const char* name;
        const QString* description;
    } descriptions[] = {
        {"Edge & Level Detector Pattern", &SEDQ_PARAMETER_PATTERN_STR},
        {"Bus Value", &SEDQ_PARAMETER_BUS_VALUE_STR},
        {"Bus Name", &SEDQ_PARAMETER_BUS_NAME_STR},
        {"Comparison Type", &SEDQ_PARAMETER_COMPARISON_TYPE_STR},
        {"Signed/Unsigned Type", &SEDQ_PARAMETER_SIGNED_COMPARISON_TYPE_STR},
        {"Bit Value", &SEDQ_PARAMETER_BIT_VALUE_STR},
        {"Shift Type", &SEDQ_PARAMETER_SHIFT_TYPE_STR},
        {"Shift Direction", &SEDQ_PARAMETER_SHIFT_DIRECTION_STR},
        {"Shift Distance", &SEDQ_PARAMETER_SHIFT_DISTANCE_STR},
        {"Bus Value Radix", &SEDQ_PARAMETER_BUS_DISPLAY_FORMAT_STR},
        {"Bit Order", &SEDQ_PARAMETER_BIT_ORDER_STR},
        {"Pipeline", &SEDQ_PARAMETER_PIPELINE_STR},
        {"Data Delay", &SEDQ_PARAMETER_DATA_DELAY_STR},
        {"Bitwise Operator Type", &SEDQ_PARAMETER_BITWISE_OPERATOR_TYPE_STR},
        {"Logical Operator Type", &SEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE_STR},
        {"Reduction Operator Type", &SEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE_STR},
        {"Counter Type", &SEDQ_PARAMETER_COUNTER_TYPE_STR},
        {"Max Counter Value", &SEDQ_PARAMETER_COUNTER_WIDTH_STR},
        {"Counter Value", &SEDQ_PARAMETER_COUNTER_VALUE_STR},
        {"Counter Hold", &SEDQ_PARAMETER_COUNTER_HOLD_STR},
        {"Custom HDL Module Name", &SEDQ_PARAMETER_MODULE_NAME_STR},
        {"Configuration Bitstream", &SEDQ_PARAMETER_BITSTREAM_STR},
    };
    for (const auto& entry : descriptions)
        if (name == QLatin1String(entry.name))
            return *entry.description;
    return QString();
}

// Decided on what this change newly selects: a click that only takes a row out of the
// selection shows no parameter, even while other rows stay selected.
void SEDQ_PARAMETER_SETTING_VIEW::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (selected.isEmpty())
        m_parameter_widget->show_no_parameter(SEDQ_PARAMETER_WIDGET::NO_SELECTION);
    else if (selected.size() > 1)
        m_parameter_widget->show_no_parameter(SEDQ_PARAMETER_WIDGET::MULTIPLE_ITEMS);
    else
        m_parameter_widget->show_parameter(get_first_selected_row());
    QTableView::selectionChanged(selected, deselected);
}
