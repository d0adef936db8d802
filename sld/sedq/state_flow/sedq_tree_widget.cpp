// SEDQ_TREE_WIDGET: one-click editing and the correction of typed values.
#include "sedq/state_flow/sedq_tree_widget.h"

#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalBlocker>

// A number of any length clamps: digits past what 64 bits hold are still a number above the
// maximum (or, with a minus sign, below the minimum), never an unreadable text that would
// store the fallback.
long long sedq_clamp_cell(const QString& text, long long minimum, long long maximum, long long fallback)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression digits(QStringLiteral("^([+-]?)\\d+$"));
    const QRegularExpressionMatch number = digits.match(trimmed);
    if (!number.hasMatch())
        return fallback;
    bool ok = false;
    // Read wider than the column so that a value past its maximum clamps instead of failing.
    const qulonglong value = trimmed.toULongLong(&ok);
    if (ok)
        return value > qulonglong(maximum) ? maximum : qMax(minimum, static_cast<long long>(value));
    const qlonglong signed_value = trimmed.toLongLong(&ok);
    if (ok)
        return qBound(minimum, signed_value, maximum);
    return number.captured(1) == QLatin1String("-") ? minimum : maximum;
}

SEDQ_TREE_WIDGET::SEDQ_TREE_WIDGET(SEDQ_TX_MANAGER* tx, int instance, bool is_flag_list)
    : m_delegate(new SEDQ_ITEM_DELEGATE(this)), m_tx_manager(tx), m_is_flag_list(is_flag_list), m_instance(instance),
      m_column_one_minimum(is_flag_list ? 0 : 1), m_column_one_maximum(is_flag_list ? 1 : 32),
      m_column_two_maximum(is_flag_list ? 0u : 4294967295u)
{
    sedq_repaint_list_on_activation_as_widgets_do(this);
    setItemDelegate(m_delegate);
    if (is_flag_list)
        setHeaderLabels({tr("Name"), tr("Initial Value"), tr("Current Value")});
    else
        setHeaderLabels({tr("Name"), tr("Width"), tr("Initial Value"), tr("Current Value")});
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setRootIsDecorated(false);
    setMouseTracking(true);
    connect(this, &QTreeWidget::itemChanged, this, &SEDQ_TREE_WIDGET::on_item_changed);
}

bool SEDQ_TREE_WIDGET::is_editable() const
{
    return m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL &&
           !m_tx_manager->is_instance_acquiring(m_instance);
}

void SEDQ_TREE_WIDGET::mouseMoveEvent(QMouseEvent* event)
{
    QTreeWidget::mouseMoveEvent(event);
    const QModelIndex index = indexAt(event->pos());
    const bool over_value = index.isValid() && index.column() < columnCount() - 1;
    setCursor(over_value ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void SEDQ_TREE_WIDGET::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid() && index.column() < columnCount() - 1)
        edit(index);
}

void SEDQ_TREE_WIDGET::write_cell(QTreeWidgetItem* item, int column, const QString& text)
{
    const QSignalBlocker blocker(this);
    item->setText(column, text);
}

void SEDQ_TREE_WIDGET::restore_cell(QTreeWidgetItem* item, int row, int column)
{
    int width = 0;
    int initial = 0;
    unsigned counter_initial = 0;
    int current = 0;
    QString text;
    if (column == NAME_COLUMN)
        text = QString::fromLocal8Bit(m_is_flag_list ? m_tx_manager->get_flag_name(row, m_instance, nullptr)
                                                     : m_tx_manager->get_counter_name(row, m_instance, nullptr, nullptr));
    else if (column == FIRST_VALUE_COLUMN && m_is_flag_list)
        m_tx_manager->get_flag_name(row, m_instance, &initial), text = QString::number(initial);
    else if (column == FIRST_VALUE_COLUMN)
        m_tx_manager->get_counter_name(row, m_instance, &width, nullptr), text = QString::number(width);
    else if (column == COUNTER_INITIAL_COLUMN && !m_is_flag_list)
        m_tx_manager->get_counter_name(row, m_instance, nullptr, &counter_initial), text = QString::number(counter_initial);
    else if (m_is_flag_list ? m_tx_manager->get_flag_current_value(row, m_instance, &current)
                            : m_tx_manager->get_counter_current_value(row, m_instance, &current))
        text = m_is_flag_list ? QString::number(current) : QString::number(unsigned(current));
    write_cell(item, column, text);
}

void SEDQ_TREE_WIDGET::on_item_changed(QTreeWidgetItem* item, int column)
{
    const int row = indexOfTopLevelItem(item);
    if (row < 0)
        return;
    const bool current_value_column =
        column == (m_is_flag_list ? FLAG_CURRENT_COLUMN : COUNTER_CURRENT_COLUMN);
    if (!is_editable() || current_value_column)
    {
        // The model has no setter for the value read back from the device.
        restore_cell(item, row, column);
        return;
    }
    if (column == NAME_COLUMN)
    {
        const QString text = item->text(NAME_COLUMN);
        emit column_zero_changed(row, &text);
    }
    else if (column == FIRST_VALUE_COLUMN)
    {
        const int value = int(sedq_clamp_cell(item->text(column), m_column_one_minimum, m_column_one_maximum,
                                              m_column_one_minimum));
        write_cell(item, column, QString::number(value));
        emit column_one_changed(row, value);
    }
    else if (column == COUNTER_INITIAL_COLUMN)
    {
        const auto value = unsigned(sedq_clamp_cell(item->text(column), 0, m_column_two_maximum, 0));
        write_cell(item, column, QString::number(value));
        emit column_two_changed(row, value);
    }
}
