// SEDQ_RESOURCES_WIDGET: the controls, their edits through the model, and the refresh.
#include "sedq/state_flow/sedq_resources_widget.h"

#include "sedq/frame/sedq_config_check_box.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_tree_widget.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <memory>

namespace
{
const int MAXIMUM_RESOURCES = 20;
} // namespace

SEDQ_RESOURCES_WIDGET::SEDQ_RESOURCES_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    QVBoxLayout* layout = sedq_make_titled_pane(this, tr("Resources:")).layout;
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(get_controls_widget());
    sedq_wheel_scrolls_the_pane(scroll->widget());
    layout->addWidget(scroll, 1);
    on_update(nullptr, SEDQ_UPDATE_NODE_VIEW);
    connect_controls();
    m_flag_list->setEnabled(true);
    m_counter_list->setEnabled(true);
}

QWidget* SEDQ_RESOURCES_WIDGET::get_controls_widget()
{
    m_flag_combo = new SEDQ_INT_COMBO_BOX(0, MAXIMUM_RESOURCES);
    m_counter_combo = new SEDQ_INT_COMBO_BOX(0, MAXIMUM_RESOURCES);
    m_flag_list = new SEDQ_TREE_WIDGET(m_tx_manager, m_instance, true);
    m_counter_list = new SEDQ_TREE_WIDGET(m_tx_manager, m_instance, false);
    m_configurable_goto_check_box = new SEDQ_CONFIG_CHECK_BOX(tr("Goto state destinations"), SCI_RUNTIME_CONFIG_GOTO_STATE);
    m_configurable_value_check_box =
        new SEDQ_CONFIG_CHECK_BOX(tr("Comparison values"), SCI_RUNTIME_CONFIG_COMPARISON_VALUES);
    m_configurable_comparison_check_box =
        new SEDQ_CONFIG_CHECK_BOX(tr("Comparison operators"), SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS);
    m_configurable_logical_check_box =
        new SEDQ_CONFIG_CHECK_BOX(tr("Logical operators"), SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Flags:")), 0, 0);
    grid->addWidget(m_flag_combo, 0, 1);
    grid->addWidget(m_flag_list, 1, 0, 1, 4);
    grid->addWidget(new QLabel(tr("Counters:")), 2, 0);
    grid->addWidget(m_counter_combo, 2, 1);
    grid->addWidget(m_counter_list, 3, 0, 1, 4);
    auto* group = new QGroupBox(tr("Configurable at runtime"));
    auto* boxes = new QVBoxLayout(group);
    for (SEDQ_CONFIG_CHECK_BOX* box : get_check_boxes())
        boxes->addWidget(box);
    grid->addWidget(group, 4, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    auto* page = new QWidget;
    page->setLayout(grid);
    return page;
}

QList<SEDQ_CONFIG_CHECK_BOX*> SEDQ_RESOURCES_WIDGET::get_check_boxes() const
{
    return {m_configurable_goto_check_box, m_configurable_value_check_box, m_configurable_comparison_check_box,
            m_configurable_logical_check_box};
}

void SEDQ_RESOURCES_WIDGET::connect_controls()
{
    connect(m_flag_combo, &SEDQ_INT_COMBO_BOX::current_count_changed, this, &SEDQ_RESOURCES_WIDGET::on_flag_count);
    connect(m_counter_combo, &SEDQ_INT_COMBO_BOX::current_count_changed, this,
            &SEDQ_RESOURCES_WIDGET::on_counter_count);
    connect(m_flag_list, &SEDQ_TREE_WIDGET::column_zero_changed, this, &SEDQ_RESOURCES_WIDGET::on_flag_name);
    connect(m_flag_list, &SEDQ_TREE_WIDGET::column_one_changed, this, &SEDQ_RESOURCES_WIDGET::on_flag_initial_value);
    connect(m_counter_list, &SEDQ_TREE_WIDGET::column_zero_changed, this, &SEDQ_RESOURCES_WIDGET::on_counter_name);
    connect(m_counter_list, &SEDQ_TREE_WIDGET::column_one_changed, this, &SEDQ_RESOURCES_WIDGET::on_counter_width);
    connect(m_counter_list, &SEDQ_TREE_WIDGET::column_two_changed, this,
            &SEDQ_RESOURCES_WIDGET::on_counter_initial_value);
    for (SEDQ_CONFIG_CHECK_BOX* box : get_check_boxes())
        connect(box, &SEDQ_CONFIG_CHECK_BOX::toggled, this, &SEDQ_RESOURCES_WIDGET::on_configurable);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_RESOURCES_WIDGET::on_update);
}

// ---- edits: each one undoable step through the model -------------------------------------

void SEDQ_RESOURCES_WIDGET::on_flag_count(int count)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_flag_count(count);
}

void SEDQ_RESOURCES_WIDGET::on_counter_count(int count)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_counter_count(count);
}

void SEDQ_RESOURCES_WIDGET::on_flag_name(int row, const QString* text)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    m_tx_manager->set_flag_name(row, text);
}

void SEDQ_RESOURCES_WIDGET::on_flag_initial_value(int row, int value)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_flag_initial_value(row, value);
}

void SEDQ_RESOURCES_WIDGET::on_counter_name(int row, const QString* text)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    m_tx_manager->set_counter_name(row, text);
}

void SEDQ_RESOURCES_WIDGET::on_counter_width(int row, int width)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_counter_width(row, width);
}

void SEDQ_RESOURCES_WIDGET::on_counter_initial_value(int row, unsigned int value)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_counter_initial_value(row, value);
}

void SEDQ_RESOURCES_WIDGET::on_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, bool on)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_configurable(option, on);
}

// ---- refresh -------------------------------------------------------------------------------

namespace
{
// Fills a list with one editable row per cell list. A list that already shows these rows is
// left alone: every edit of the flow refreshes the pane, and a rebuilt list repaints and
// drops a cell being edited.
void set_rows(QTreeWidget* list, const QVector<QStringList>& rows)
{
    bool same = list->topLevelItemCount() == rows.size();
    for (int row = 0; same && row < rows.size(); ++row)
    {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        for (int column = 0; same && column < list->columnCount(); ++column)
            same = item->text(column) == rows.at(row).value(column);
    }
    if (same)
        return;
    const QSignalBlocker blocker(list);
    list->clear();
    for (const QStringList& cells : rows)
    {
        auto* item = new QTreeWidgetItem(cells);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        list->addTopLevelItem(item);
    }
}
} // namespace

void SEDQ_RESOURCES_WIDGET::fill_flags()
{
    QVector<QStringList> rows;
    const int count = m_tx_manager->get_flag_count(m_instance);
    for (int i = 0; i < count; ++i)
    {
        int initial = 0;
        int current = 0;
        const QString name = QString::fromLocal8Bit(m_tx_manager->get_flag_name(i, m_instance, &initial));
        QStringList cells{name, QString::number(initial)};
        if (m_tx_manager->get_flag_current_value(i, m_instance, &current))
            cells << QString::number(current);
        rows.append(cells);
    }
    set_rows(m_flag_list, rows);
}

void SEDQ_RESOURCES_WIDGET::fill_counters()
{
    QVector<QStringList> rows;
    const int count = m_tx_manager->get_counter_count(m_instance);
    for (int i = 0; i < count; ++i)
    {
        int width = 0;
        unsigned initial = 0;
        int current = 0;
        const QString name = QString::fromLocal8Bit(m_tx_manager->get_counter_name(i, m_instance, &width, &initial));
        QStringList cells{name, QString::number(width), QString::number(initial)};
        // Counters are unsigned: a value from 2^31 up is shown as it is, not negative.
        if (m_tx_manager->get_counter_current_value(i, m_instance, &current))
            cells << QString::number(unsigned(current));
        rows.append(cells);
    }
    set_rows(m_counter_list, rows);
}

// The flow's text names flags and counters but changes none of them: typing refreshes nothing.
void SEDQ_RESOURCES_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_NODE_VIEW) == 0 || (hint & SEDQ_UPDATE_FLOW_TEXT) != 0)
        return;
    std::unique_ptr<SEDQ_BLOCK> block(SEDQ_BLOCK::is_blocked() ? nullptr : new SEDQ_BLOCK);
    m_flag_combo->set_current_count(m_tx_manager->get_flag_count(m_instance));
    fill_flags();
    m_counter_combo->set_current_count(m_tx_manager->get_counter_count(m_instance));
    fill_counters();
    for (SEDQ_CONFIG_CHECK_BOX* box : get_check_boxes())
        box->setChecked(m_tx_manager->is_configurable(box->get_option(), m_instance));
    const bool editable = m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL &&
                          !m_tx_manager->is_instance_acquiring(m_instance);
    m_flag_combo->setEnabled(editable);
    m_counter_combo->setEnabled(editable);
    for (SEDQ_CONFIG_CHECK_BOX* box : get_check_boxes())
        box->setEnabled(editable);
}
