// SEDQ_VIEW: the tooltip of each cell — the column's name over the headers, the state a box or
// a trigger cell shows, the node's value at the master time bar and under the mouse, and the
// positions of the time-bar row and the ruler.
#include "sedq/view/sedq_view.h"

#include "host/sdr.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

namespace
{
const char* const COLUMN_NAMES[] = {"Node Type",
                                    "Node Alias",
                                    "Node Name",
                                    "Incremental Route",
                                    "Debug Port Out",
                                    "Data Capture Enable",
                                    "Trigger Enable",
                                    "Storage Qualifier Enable",
                                    "Transitional Storage Qualifier",
                                    "Conditional Storage Qualifier",
                                    "Start Storage Qualifier",
                                    "Stop Storage Qualifier"};

// "Disabled", "Partially Enabled" or "Enabled" after `prefix`.
QString tri_state(const char* prefix, bool on, bool partially)
{
    return QString::fromLatin1(prefix) +
           (!on ? QStringLiteral(" Disabled") : partially ? QStringLiteral(" Partially Enabled")
                                                          : QStringLiteral(" Enabled"));
}

QString type_name(SDR_DATA_SIGNAL_TYPE type)
{
    switch (type)
    {
    case SDR_STYPE_INPUT_PIN:
        return QStringLiteral("Input Pin");
    case SDR_STYPE_OUTPUT_PIN:
        return QStringLiteral("Output Pin");
    case SDR_STYPE_BIDIR_PIN:
        return QStringLiteral("Bidir Pin");
    case SDR_STYPE_MEMORY:
        return QStringLiteral("Memory");
    case SDR_STYPE_REGISTERED:
        return QStringLiteral("Registered");
    case SDR_STYPE_COMBINATIONAL:
        return QStringLiteral("Combinatorial");
    case SDR_STYPE_MACHINE:
        return QStringLiteral("State Machine");
    default:
        return QString();
    }
}

QString condition_name(SDR_DATA_TRIGGER_CONDITION condition)
{
    switch (condition)
    {
    case SDR_CTYPE_HIGH:
        return QStringLiteral("High");
    case SDR_CTYPE_LOW:
        return QStringLiteral("Low");
    case SDR_CTYPE_RISING:
        return QStringLiteral("Rising Edge");
    case SDR_CTYPE_FALLING:
        return QStringLiteral("Falling Edge");
    case SDR_CTYPE_EITHER_EDGE:
        return QStringLiteral("Either Edge");
    case SDR_CTYPE_DONT_CARE:
        return QStringLiteral("Don't Care");
    default:
        return QString();
    }
}
} // namespace

bool SEDQ_VIEW::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip || m_tx_manager.isNull())
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(help->pos(), &row, &column, &cell))
    {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QString text = get_tooltip_text(help->pos(), row, column, cell);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, this);
    return true;
}

QString SEDQ_VIEW::get_tooltip_text(const QPoint& pos, int row, int column, const QRect& cell)
{
    if (row < HEADER_ROWS)
        return column == SEDQ_COLUMN_WAVEFORM ? waveform_header_tooltip(pos, row)
                                              : header_tooltip(pos, row, column, cell);
    const int node = sedq_node_of_row(row);
    if (column == SEDQ_COLUMN_VALUE || column == SEDQ_COLUMN_WAVEFORM)
        return value_tooltip(pos, node, column);
    return node_tooltip(node, column);
}

QString SEDQ_VIEW::header_tooltip(const QPoint& pos, int row, int column, const QRect& cell)
{
    if (row == SEDQ_ROW_TITLE)
        return QString();
    if (column == SEDQ_COLUMN_VALUE)
        return row == SEDQ_ROW_LEVEL_HEADERS ? QStringLiteral("Master Time Bar Current Value")
                                             : QStringLiteral("Master Time Bar Segment Number");
    if (sedq_is_level_column(column))
    {
        const int level = sedq_pattern_of_column(column);
        const bool sequential = m_tx_manager->is_sequential_mode(SEDQ_CURRENT);
        if (!sequential && hit_test(row, column, pos, cell))
            return QStringLiteral("All triggers are enabled because the state-based flow control feature is being used");
        if (sequential && m_tx_manager->is_segmented_acquisition_trigger(level))
            return QStringLiteral("Segmented Acquisition Trigger");
        return QStringLiteral("Trigger Condition %1").arg(level + 1);
    }
    QString count;
    if (column == SEDQ_COLUMN_DATA_ENABLE && m_tx_manager->get_data_nodes_used(&count))
        return QStringLiteral("Data Capture Enable: ") + count + QStringLiteral(" nodes used");
    if (column == SEDQ_COLUMN_TRIGGER_ENABLE && m_tx_manager->get_trigger_nodes_used(&count))
        return QStringLiteral("Trigger Enable: ") + count + QStringLiteral(" nodes used");
    if (column == SEDQ_COLUMN_STORAGE_ENABLE && m_tx_manager->get_storage_qualifier_nodes_used(&count))
        return QStringLiteral("Storage Qualifier Enable: ") + count + QStringLiteral(" nodes used");
    return column >= 0 && column < SEDQ_COLUMN_FIRST_LEVEL ? QString::fromLatin1(COLUMN_NAMES[column])
                                                           : QString();
}

QString SEDQ_VIEW::node_tooltip(int node, int column)
{
    SEDQ_NODE row(m_tx_manager, node, SEDQ_CURRENT);
    bool partially = false;
    switch (column)
    {
    case SEDQ_COLUMN_TYPE:
        return type_name(row.get_type()) + (row.is_parent() ? QStringLiteral(" Bus") : QString());
    case SEDQ_COLUMN_ALIAS:
    {
        const QString alias = QString::fromLocal8Bit(row.get_alias() ? row.get_alias() : "");
        return alias.isEmpty() ? QStringLiteral("click to set alias") : alias;
    }
    case SEDQ_COLUMN_NAME:
        return QString::fromLocal8Bit(row.get_name() ? row.get_name() : "");
    case SEDQ_COLUMN_INCREMENTAL_ROUTE:
        return m_tx_manager->is_incremental_compile()
                   ? QStringLiteral("Incremental route disabled in incremental compilation mode")
                   : QStringLiteral("Incremental route disabled for Tarnwick");
    case SEDQ_COLUMN_DEBUG_PORT_OUT:
        return row.get_debug_port_out() ? QString::fromLocal8Bit(row.get_debug_port_out())
                                         : QStringLiteral("Debug Port Off");
    case SEDQ_COLUMN_DATA_ENABLE:
    {
        const bool on = row.is_data_enabled(&partially);
        return tri_state("Data Capture", on, partially);
    }
    case SEDQ_COLUMN_TRIGGER_ENABLE:
    {
        const bool on = row.is_trigger_enabled(&partially, SEDQ_PATTERN_ANY_LEVEL);
        return tri_state("Trigger", on, partially);
    }
    case SEDQ_COLUMN_STORAGE_ENABLE:
    {
        const bool on = row.is_storage_enabled(&partially);
        return tri_state("Storage Qualifier", on, partially);
    }
    case SEDQ_COLUMN_TRANSITIONAL:
    {
        if (row.is_transition_enabled(&partially))
            return partially ? QStringLiteral("Transition Storage Qualifier Partially Enabled")
                             : QStringLiteral("Transition Storage Qualifier Enabled");
        return row.is_storage_enabled(nullptr) ? QStringLiteral("Transition Storage Qualifier Disabled")
                                               : QStringLiteral("Storage Qualifier Not Enabled");
    }
    default:
        return sedq_is_condition_column(column) ? trigger_cell_tooltip(node, sedq_pattern_of_column(column))
                                                : QString();
    }
}

QString SEDQ_VIEW::trigger_cell_tooltip(int node, int level)
{
    SEDQ_NODE row(m_tx_manager, node, SEDQ_CURRENT);
    if (!row.is_trigger_enabled(nullptr, level))
    {
        if (m_tx_manager->is_advanced_trigger(level, SEDQ_CURRENT))
            return QStringLiteral("Advanced Trigger");
        return level < 0 ? QStringLiteral("Storage Qualifier Not Enabled") : QStringLiteral("Trigger Not Enabled");
    }
    if (!row.is_parent())
        return condition_name(row.get_trigger_pattern(level));
    // The tooltip reads what the cell shows: a comparison's expression, else the value in the
    // radix the cell uses, with a group pattern's action.
    if (is_comparison(level) && m_tx_manager->is_comparison_enabled(node, level, SEDQ_CURRENT))
    {
        std::string expression;
        get_comparison_expression(node, level, &expression);
        return QString::fromStdString(expression);
    }
    QString pattern;
    bool in_radix = false;
    if (!get_trigger_string(node, level, &pattern, &in_radix))
        return QString();
    SEDQ_NUMBER number(pattern);
    const char* text = nullptr;
    number.get_string(m_tx_manager, node, &text, in_radix, true, nullptr, level);
    QString shown = QString::fromLocal8Bit(text ? text : "");
    const SDR_DATA_TRIGGER_CONDITION condition = row.get_trigger_pattern(level);
    QAction* action = condition >= SDR_CTYPE_GROUP_FIRST && condition <= SDR_CTYPE_GROUP_LAST
                          ? trigger_cond_to_action(condition)
                          : nullptr;
    if (action != nullptr && condition != 9 && condition != 10)
        shown += QStringLiteral(" (") + action->text().remove(QLatin1Char('&')) + QStringLiteral(")");
    return shown;
}

// ---- values of the data ----------------------------------------------------------------------------

// The node's value at a sample as the value column shows it: a bit as a digit, a bus in its
// radix. Empty when a member cannot be read.
QString SEDQ_VIEW::value_at_sample(int node, int sample)
{
    bool window[3] = {};
    if (!is_parent_item(node))
        return m_tx_manager->get_wave(node, window, sample, false, SEDQ_CURRENT)
                   ? QString::number(int(window[1]))
                   : QString();
    std::vector<int> members;
    m_tx_manager->get_all_descendants(node, &members);
    QString bits;
    for (int member : members)
    {
        if (m_tx_manager->has_children(member))
            continue;
        if (!m_tx_manager->get_wave(member, window, sample, false, SEDQ_CURRENT))
            return QString();
        bits += window[1] ? QLatin1Char('1') : QLatin1Char('0');
    }
    SEDQ_NUMBER number(bits);
    return QString::fromLatin1(number.get_string(m_tx_manager, node));
}

// Column 22 reads at the master time bar, column 23 under the mouse. A position at the depth
// is the end of the data, one past the last sample: there is no data there.
QString SEDQ_VIEW::value_tooltip(const QPoint& pos, int node, int column)
{
    int depth = 0;
    const SDR_DATA_LOG* log = nullptr;
    if (!m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT) || depth <= 0 ||
        !m_tx_manager->is_data_available(false, SEDQ_CURRENT, &log) || log == nullptr)
        return QStringLiteral("No Samples");
    int sample = 0;
    if (column == SEDQ_COLUMN_VALUE)
    {
        if (!SEDQ_VERIFY(this->m_timebar_count > 0))
            return QString();
        sample = m_timebars[0];
        if (sample < 0 || sample >= depth || !log->is_bit_valid(sample))
            return QStringLiteral("No Data");
    }
    else
    {
        sample = std::clamp(find_transition(pos, false), 0, depth - 1);
        if (!log->is_bit_valid(sample))
            return QStringLiteral("No Data");
    }
    const QString value = value_at_sample(node, sample);
    if (value.isEmpty())
        return column == SEDQ_COLUMN_WAVEFORM ? QStringLiteral("Unknown") : QStringLiteral("No Data");
    return value;
}

QString SEDQ_VIEW::waveform_header_tooltip(const QPoint& pos, int row)
{
    if (!m_tx_manager->is_data_mode(SEDQ_CURRENT))
        return QString();
    if (!has_samples())
        return QStringLiteral("No Samples");
    if (row == SEDQ_ROW_TITLE)
    {
        if (cursor().shape() == Qt::PointingHandCursor)
            return QStringLiteral("click to insert time bar");
        QString sample;
        QString segment;
        get_timebar_string(pos, &sample, &segment);
        if (get_row_height(SEDQ_ROW_COLUMN_TITLES) == 0 || segment.isEmpty())
            return QStringLiteral("Sample ") + sample;
        if (get_row_height(SEDQ_ROW_LEVEL_HEADERS) == 0)
            return QStringLiteral("Segment ") + segment;
        return QStringLiteral("Segment ") + segment + QStringLiteral(", Sample ") + sample;
    }
    const int t = find_transition(pos, false);
    QString text;
    if (row == SEDQ_ROW_COLUMN_TITLES && m_tx_manager->get_data_segment_size() == 0 &&
        m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr))
        text = QString::number(get_storage_qualifier_segment_number(t));
    else
    {
        int trigger = 0;
        m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
        get_time_units_string(&text, t - trigger, false, row == SEDQ_ROW_COLUMN_TITLES);
    }
    return (row == SEDQ_ROW_COLUMN_TITLES ? QStringLiteral("Segment ") : QStringLiteral("Sample ")) + text;
}
