// SEDQ_INSTANCE_WIDGET: construction of the instance manager pane, its list of instances and
// power-up rows, the status line and the enabled state of the instance and acquisition actions.
#include "sedq/frame/sedq_instance_widget.h"

#include "host/chi.h"
#include "host/ice.h"
#include "host/qtk.h"
#include "sedq/frame/sedq_control_cmd_ela_int.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_name_delegate.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

#include <algorithm>

namespace
{
constexpr int NAME_COLUMN_WIDTH = 200;
constexpr int ENABLED_COLUMN_WIDTH = 65;

// What the rows of a column need; the tree view hides the public function of its base.
int rows_width(const QAbstractItemView* view, int column)
{
    return view->sizeHintForColumn(column);
}
} // namespace

SEDQ_INSTANCE_WIDGET::SEDQ_INSTANCE_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_frame(frame), m_tx(frame->get_tx_manager())
{
    SEDQ_INSTANCE_LIST_MODEL::LOOK look;
    look.icons[0] = afcq_get_icon(AFCQ_ICON_OTHER_INSTANCE);
    look.icons[1] = afcq_get_icon(AFCQ_ICON_CURRENT_INSTANCE);
    look.powerup_backgrounds[0] = idle_brush();
    look.powerup_backgrounds[1] = SEDQ_POWERUP_BRUSH;
    look.first_status = SEDQ_NOT_RUNNING_STR;
    m_model.set_look(look);
    m_tree = sedq_make_list_pane(this, make_title_row(), &m_model).tree;
    m_tree->setAllColumnsShowFocus(true);
    m_model.set_headers({tr("Instance"), tr("Status"), tr("Enabled"), tr("LE usage"), tr("Memory usage"),
                         tr("Small memory usage"), tr("Medium memory usage"), tr("Large memory usage")});
    m_tree->setTextElideMode(Qt::ElideMiddle);
    m_tree->setItemDelegateForColumn(SEDQ_INSTANCE_COLUMN_NAME, new SEDQ_NAME_DELEGATE(m_tree));
    m_tree->header()->setTextElideMode(Qt::ElideMiddle);
    m_tree->viewport()->installEventFilter(this);
    set_header_tooltips();
    size_columns();
    make_context_menu();
    connect_actions();
    update_instance_list();
}

// The model is gone by now. Callbacks whose final report is still to come are left to delete
// themselves; the others are deleted here.
SEDQ_INSTANCE_WIDGET::~SEDQ_INSTANCE_WIDGET()
{
    for (SEDQ_CONTROL_CMD_ELA_INT* callback : m_live_callbacks)
        if (callback->detach())
        {
            callback->wait_until_idle();
            delete callback;
        }
    m_live_callbacks.clear();
    if (m_help_library != nullptr)
        thr_drl_unload(m_help_library);
}

// The memory-block family that each block column counts, named as the RAM type list names it;
// the other headers show their whole text, which a narrow column elides. The block columns are
// never narrower than their headers.
void SEDQ_INSTANCE_WIDGET::set_header_tooltips()
{
    const QString block_types[] = {QString("Small Memory Block Types:") + SEDQ_RAM_TYPE_DISPLAY_STR_SMALL,
                                   QString("Medium Memory Block Types:") + SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM,
                                   QString("Large Memory Block Types") + SEDQ_RAM_TYPE_DISPLAY_STR_LARGE};
    constexpr int FIRST_BLOCK_COLUMN = SEDQ_INSTANCE_COLUMN_FIRST_USAGE + 2;
    for (int column = 0; column < m_model.columnCount(); ++column)
        m_model.set_header_tooltip(column, column >= FIRST_BLOCK_COLUMN
                                               ? block_types[column - FIRST_BLOCK_COLUMN]
                                               : m_model.headerData(column, Qt::Horizontal).toString());
}

// Enabled and the resource columns as wide as their headers and cells. Instance and Status are
// fitted again only when those changed, so a width the user gave them stays until the pane is
// resized. The last column stretches over the room left; it is set again only when that room
// changed, since each setting repaints the whole list and a flow typed refreshes it per key.
void SEDQ_INSTANCE_WIDGET::size_columns()
{
    QHeaderView* header = m_tree->header();
    const int stretched = header->stretchLastSection() ? header->logicalIndex(header->count() - 1) : -1;
    int stretched_width = 0;
    int taken = 0;
    for (int column = SEDQ_INSTANCE_COLUMN_ENABLED; column < m_model.columnCount(); ++column)
    {
        const int least = column == SEDQ_INSTANCE_COLUMN_ENABLED ? ENABLED_COLUMN_WIDTH : 0;
        const int width = std::max({least, header->sectionSizeHint(column), rows_width(m_tree, column)});
        if (column == stretched)
            stretched_width = width;
        else
            m_tree->setColumnWidth(column, width);
        taken += width;
    }
    if (taken != m_usage_width)
        fit_name_and_status(taken);
    m_usage_width = taken;
    if (stretched < 0)
        return;
    const int others = header->length() - header->sectionSize(stretched);
    if (header->sectionSize(stretched) != std::max(stretched_width, m_tree->viewport()->width() - others))
        m_tree->setColumnWidth(stretched, stretched_width);
}

// Instance is 200 pixels wide, wider only for a name or header that needs more: an instance is
// known by its name, so a pane too narrow for every column scrolls rather than cutting names
// (up to the characters of a name that are measured, SEDQ_NAME_DELEGATE).
// Status takes its longest usual text, less what the pane lacks, but never less than its own
// texts need. A text wider than a column the user narrowed is elided in the middle, with the
// whole text as its tooltip.
void SEDQ_INSTANCE_WIDGET::fit_name_and_status(int taken)
{
    QHeaderView* header = m_tree->header();
    auto needed = [&](int column) { return std::max(header->sectionSizeHint(column), rows_width(m_tree, column)); };
    const int name = std::max(NAME_COLUMN_WIDTH, needed(SEDQ_INSTANCE_COLUMN_NAME));
    const int usual = m_tree->fontMetrics().horizontalAdvance(SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR) + 16;
    const int room = m_tree->viewport()->width() - taken - name;
    m_tree->setColumnWidth(SEDQ_INSTANCE_COLUMN_NAME, name);
    m_tree->setColumnWidth(SEDQ_INSTANCE_COLUMN_STATUS,
                           std::max(std::min(usual, room), std::min(usual, needed(SEDQ_INSTANCE_COLUMN_STATUS))));
}

void SEDQ_INSTANCE_WIDGET::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    size_columns();
    fit_name_and_status(m_usage_width);
}

bool SEDQ_INSTANCE_WIDGET::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != m_tree->viewport() || e->type() != QEvent::ToolTip)
        return QFrame::eventFilter(watched, e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QModelIndex index = m_tree->indexAt(help->pos());
    const QString text = index.data().toString();
    const QRect cell = m_tree->visualRect(index);
    // The text's room in the cell: less the icon and the view's margins, as the delegate lays it out.
    const int icon =
        index.data(Qt::DecorationRole).isNull() ? 0 : m_tree->style()->pixelMetric(QStyle::PM_SmallIconSize) + 4;
    const bool elided = m_tree->fontMetrics().horizontalAdvance(text) + icon + 8 > cell.width();
    if (!index.isValid() || !index.data(Qt::ToolTipRole).isNull() || !elided)
        return QFrame::eventFilter(watched, e);
    QToolTip::showText(help->globalPos(), text, m_tree->viewport(), cell);
    return true;
}

// Label, the four acquisition commands (run, autorun, stop, read data), the status line and the
// close button.
QHBoxLayout* SEDQ_INSTANCE_WIDGET::make_title_row()
{
    m_run_button = make_command_button(AFCQ_SEDQ_RUN_ACTION, AFCQ_ICON_RUN);
    m_autorun_button = make_command_button(AFCQ_SEDQ_AUTORUN_ACTION, AFCQ_ICON_AUTORUN);
    m_stop_button = make_command_button(AFCQ_SEDQ_STOP_ACTION, AFCQ_ICON_STOP);
    m_read_button = make_command_button(AFCQ_SEDQ_READ_DATA_ACTION, AFCQ_ICON_READ_DATA);
    m_status_line = new QLineEdit(this);
    m_status_line->setObjectName("status_line");
    m_status_line->setReadOnly(true);
    set_status_line(SEDQ_INVALID_JTAG_CONFIGURATION_STR, SEDQ_YELLOW_BASE_PALETTE);
    QAction* toggle = m_tx->get_action(AFCQ_SEDQ_INSTANCE_PANE_ACTION, QVariant());
    QHBoxLayout* row =
        sedq_make_pane_title_row(this, toggle,
                                 {new QLabel(tr("Instance Manager:"), this), m_run_button, m_autorun_button,
                                  m_stop_button, m_read_button, m_status_line});
    row->setSpacing(6);
    // The status line takes the room the shared title row leaves to its stretch.
    for (int i = 0; i < row->count(); ++i)
        if (row->itemAt(i)->spacerItem() != nullptr)
        {
            delete row->takeAt(i);
            break;
        }
    row->setStretchFactor(m_status_line, 1);
    sedq_bind_pane_toggle(this, toggle);
    return row;
}

QToolButton* SEDQ_INSTANCE_WIDGET::make_command_button(int action_id, int icon_id)
{
    QAction* action = m_tx->get_action(AFCQ_ACTION_ENUM(action_id), QVariant());
    action->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(icon_id)));
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    return button;
}

void SEDQ_INSTANCE_WIDGET::make_context_menu()
{
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto action = [this](int id) { return m_tx->get_action(AFCQ_ACTION_ENUM(id), QVariant()); };
    auto separator = [this]()
    {
        QAction* line = sedq_get_separator_action();
        line->setParent(m_tree);
        return line;
    };
    m_tx->enable_action(AFCQ_SEDQ_ADD_INSTANCE_ACTION, true);
    action(AFCQ_SEDQ_DELETE_INSTANCE_ACTION)->setShortcut(QKeySequence(Qt::Key_Delete));
    action(AFCQ_SEDQ_DELETE_INSTANCE_ACTION)->setShortcutContext(Qt::WidgetShortcut);
    action(AFCQ_SEDQ_RENAME_INSTANCE_ACTION)->setShortcut(QKeySequence(Qt::Key_F2));
    action(AFCQ_SEDQ_RENAME_INSTANCE_ACTION)->setShortcutContext(Qt::WidgetShortcut);
    m_tree->addActions({action(AFCQ_SEDQ_ADD_INSTANCE_ACTION), action(AFCQ_SEDQ_DELETE_INSTANCE_ACTION),
                        action(AFCQ_SEDQ_RENAME_INSTANCE_ACTION), separator(),
                        action(AFCQ_SEDQ_ENABLE_POWERUP_ACTION), action(AFCQ_SEDQ_DISABLE_POWERUP_ACTION),
                        action(AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION), separator(),
                        action(AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION)});
}

void SEDQ_INSTANCE_WIDGET::connect_actions()
{
    auto on_trigger = [this](int id, void (SEDQ_INSTANCE_WIDGET::*slot)())
    { connect(m_tx->get_action(AFCQ_ACTION_ENUM(id), QVariant()), &QAction::triggered, this, slot); };
    on_trigger(AFCQ_SEDQ_RUN_ACTION, &SEDQ_INSTANCE_WIDGET::on_tools_go);
    on_trigger(AFCQ_SEDQ_AUTORUN_ACTION, &SEDQ_INSTANCE_WIDGET::on_tools_repeat);
    on_trigger(AFCQ_SEDQ_STOP_ACTION, &SEDQ_INSTANCE_WIDGET::on_tools_stop);
    on_trigger(AFCQ_SEDQ_READ_DATA_ACTION, &SEDQ_INSTANCE_WIDGET::on_tools_data);
    connect(&m_model, &SEDQ_INSTANCE_LIST_MODEL::edited, this, &SEDQ_INSTANCE_WIDGET::on_edited);
    m_updates = SEDQ_UPDATE_BURST(m_tx);
    connect(m_tx, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_INSTANCE_WIDGET::on_update);
    on_trigger(AFCQ_SEDQ_ADD_INSTANCE_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_add);
    on_trigger(AFCQ_SEDQ_DELETE_INSTANCE_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_delete);
    on_trigger(AFCQ_SEDQ_RENAME_INSTANCE_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_rename);
    on_trigger(AFCQ_SEDQ_ENABLE_POWERUP_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_enable_powerup);
    on_trigger(AFCQ_SEDQ_DISABLE_POWERUP_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_disable_powerup);
    on_trigger(AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_duplicate_trigger);
    on_trigger(AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION, &SEDQ_INSTANCE_WIDGET::on_instance_status_help);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SEDQ_INSTANCE_WIDGET::on_selection_changed);
    connect(m_tree, &QTreeView::doubleClicked, this, &SEDQ_INSTANCE_WIDGET::on_double_clicked);
}

bool SEDQ_INSTANCE_WIDGET::get_instance_enabled(int instance)
{
    return m_tx->instance_is_enabled(instance);
}

QBrush SEDQ_INSTANCE_WIDGET::idle_brush() const
{
    return QBrush(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color(), Qt::SolidPattern);
}

// ---- the list ---------------------------------------------------------------------------------

void SEDQ_INSTANCE_WIDGET::update_instance_list()
{
    if (rows_match_document())
        refresh_enabled_boxes();
    else
        rebuild_instance_list();
}

// The rows still stand for the document's entries when every name and power-up structure
// agrees, in order, and no entry is left over.
bool SEDQ_INSTANCE_WIDGET::rows_match_document()
{
    const int count = m_tx->get_num_instances();
    int k = 0;
    for (int row = 0; row < m_model.rowCount(); ++row)
    {
        if (k + 1 > count ||
            m_model.name_at(row) != m_tx->get_instance_name_text(k))
            return false;
        const bool powerup = m_tx->is_powerup_trigger_enabled(k);
        if (m_model.has_powerup(row) != powerup)
            return false;
        k += powerup ? 2 : 1;
    }
    return k == count;
}

void SEDQ_INSTANCE_WIDGET::refresh_enabled_boxes()
{
    m_model.set_boxes([this](int instance) { return get_instance_enabled(instance); },
                      can_enable_instances());
}

// Instances made by the IP wizard keep their setting; none changes while an acquisition runs
// (every refresh during a run would otherwise unlock the boxes again).
bool SEDQ_INSTANCE_WIDGET::can_enable_instances()
{
    return !m_tx->is_tessarelle_generated() && !m_tx->is_any_instance_acquiring();
}

// One row per instance; its power-up trigger (the next entry) as a child row, expanded. The
// current entry's row is selected.
void SEDQ_INSTANCE_WIDGET::rebuild_instance_list()
{
    const int current = sedq_current_instance(m_tx);
    std::vector<SEDQ_INSTANCE_LIST_MODEL::ENTRY> entries;
    for (int i = 0; i < m_tx->get_num_instances(); ++i)
    {
        SEDQ_INSTANCE_LIST_MODEL::ENTRY entry;
        entry.instance = i;
        entry.name = m_tx->get_instance_name_text(i);
        entry.enabled = get_instance_enabled(i);
        entry.powerup = m_tx->is_powerup_trigger_enabled(i);
        entries.push_back(entry);
        if (entry.powerup)
            ++i;
    }
    m_model.set_rows(entries, current, can_enable_instances());
    m_usage_figures.clear(); // new rows show no usage until it is read again
    for (int row = 0; row < m_model.rowCount(); ++row)
        if (m_model.has_powerup(row))
            m_tree->expand(m_model.index(row, SEDQ_INSTANCE_COLUMN_NAME));
    select_current_row(current);
}

// An instance with a power-up trigger is selected by its power-up row, when that view is the
// current entry; any other by its own row.
void SEDQ_INSTANCE_WIDGET::select_current_row(int current)
{
    for (int row = 0; row < m_model.rowCount(); ++row)
    {
        const bool powerup = m_model.has_powerup(row);
        if (m_model.instance_at(row) + (powerup ? 1 : 0) != current)
            continue;
        const QModelIndex selected = powerup ? m_model.index(0, SEDQ_INSTANCE_COLUMN_NAME,
                                                             m_model.index(row, SEDQ_INSTANCE_COLUMN_NAME))
                                             : m_model.index(row, SEDQ_INSTANCE_COLUMN_STATUS);
        m_tree->selectionModel()->select(
            selected, QItemSelectionModel::Select | QItemSelectionModel::Current | QItemSelectionModel::Rows);
    }
}

// Icons of the instance rows and backgrounds of the power-up rows for a new current entry.
void SEDQ_INSTANCE_WIDGET::mark_current_rows(int current)
{
    m_model.mark_current(current);
}

// The selected rows in selection order, each with the instance it stands for.
std::vector<SEDQ_INSTANCE_WIDGET::SELECTED_ROW> SEDQ_INSTANCE_WIDGET::selected_rows()
{
    const QModelIndexList indexes = m_tree->selectionModel()->selectedRows(SEDQ_INSTANCE_COLUMN_NAME);
    std::vector<SELECTED_ROW> rows;
    for (const QModelIndex& index : indexes)
    {
        SELECTED_ROW row;
        const QModelIndex parent = index.parent();
        row.powerup = parent.isValid();
        row.instance = (row.powerup ? parent : index).data(SEDQ_INSTANCE_ROLE).toInt();
        row.parent_selected =
            row.powerup && indexes.contains(parent.sibling(parent.row(), SEDQ_INSTANCE_COLUMN_NAME));
        rows.push_back(row);
    }
    return rows;
}

bool SEDQ_INSTANCE_WIDGET::is_row_or_powerup_selected(int row)
{
    QItemSelectionModel* selection = m_tree->selectionModel();
    const QModelIndex name = m_model.index(row, SEDQ_INSTANCE_COLUMN_NAME);
    if (selection->isRowSelected(row, QModelIndex()))
        return true;
    for (int child = 0; child < m_model.rowCount(name); ++child)
        if (selection->isRowSelected(child, name))
            return true;
    return false;
}

void SEDQ_INSTANCE_WIDGET::on_sel_change_instance_tab(int index)
{
    m_model.mark_row(index);
}

// ---- refresh and the status line --------------------------------------------------------------

// The list, the usage estimates and the status line are worked out once a burst of updates is
// through (see SEDQ_UPDATE_BURST): a full refresh if any update of the burst asked for one,
// and the waiting message when the last one that concerned the instances was that.
void SEDQ_INSTANCE_WIDGET::on_update(QObject*, int hint)
{
    // A key typed in a flow sends its text's update, then the compile check's.
    const int checked = sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES);
    if ((hint & SEDQ_UPDATE_FLOW_TEXT) != 0)
        m_burst_typed = true;
    else if (hint != checked)
        m_burst_other = true;
    if ((hint & SEDQ_UPDATE_INSTANCES) != 0)
    {
        m_waiting_for_jtag = (hint & SEDQ_UPDATE_WAITING_FOR_JTAG) != 0;
        m_refresh_pending = m_refresh_pending || !m_waiting_for_jtag;
    }
    if (!m_updates.received())
        return;
    const bool typed_only = m_burst_typed && !m_burst_other;
    m_burst_typed = m_burst_other = false;
    if (m_refresh_pending)
    {
        m_refresh_pending = false;
        if (typed_only)
            refresh_after_typing();
        else
            refresh();
    }
    if (m_waiting_for_jtag)
    {
        m_waiting_for_jtag = false;
        set_status_line(SEDQ_WAITING_FOR_JTAG_STR, SEDQ_YELLOW_BASE_PALETTE);
        on_selection_changed();
    }
}

void SEDQ_INSTANCE_WIDGET::refresh()
{
    update_instance_list();
    update_resource_usage();
    update_status_line();
    on_selection_changed();
    const bool shown = SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons;
    for (QWidget* widget : {static_cast<QWidget*>(m_run_button), static_cast<QWidget*>(m_autorun_button),
                            static_cast<QWidget*>(m_stop_button), static_cast<QWidget*>(m_read_button),
                            static_cast<QWidget*>(m_status_line)})
        widget->setVisible(shown);
}

// A flow's text typed changes no row, no name, no Enabled box and no selection: the compile
// check after it may change the estimates and the status line, and the commands that read the
// status line. Every key of a flow comes here, and the rows and commands would cost it more
// than its own editing.
void SEDQ_INSTANCE_WIDGET::refresh_after_typing()
{
    const QString status = m_status_line->text();
    update_resource_usage();
    update_status_line();
    if (m_status_line->text() != status)
        on_selection_changed();
}

// A narrow pane shows the beginning of the text, where the instruction starts. Every refresh
// sets the line: the same text set again would still repaint it and the pane under it.
void SEDQ_INSTANCE_WIDGET::set_status_line(const QString& text, const QPalette& palette)
{
    if (m_status_line->text() != text)
        m_status_line->setText(text);
    m_status_line->setCursorPosition(0);
    if (m_status_palette != &palette)
        m_status_line->setPalette(palette);
    m_status_palette = &palette;
}

// What the user has to do next, the first that applies: set up the JTAG chain, create an
// instance, add nodes, compile, wait for the acquisition, program the device.
void SEDQ_INSTANCE_WIDGET::update_status_line()
{
    QString hardware;
    QString device;
    m_tx->get_jtag_hardware(&hardware);
    m_tx->get_jtag_device(&device);
    // Where the family has no Relayne the Run command compiles instead, and the status line
    // asks for what the user can start.
    const bool compile_only = ICE_INSTANCE_BUILDER::design_contains_partial_reconfig() ||
                              !QTK_RLY_STATE_MANAGER::is_family_supported_by_relayne(false);
    bool recompile = false;
    bool reroute = false;
    bool program = false;
    if (hardware.isEmpty() || device.isEmpty())
        set_status_line(SEDQ_INVALID_JTAG_CONFIGURATION_STR, SEDQ_YELLOW_BASE_PALETTE);
    else if (m_tx->get_num_instances() == 0)
        set_status_line(SEDQ_NO_INSTANCES_STR, SEDQ_YELLOW_BASE_PALETTE);
    else if (m_tx->get_node_count(SEDQ_CURRENT) == 0)
        set_status_line(SEDQ_NO_NODES_STR, SEDQ_YELLOW_BASE_PALETTE);
    else if (m_tx->is_compile_or_reroute_needed(&recompile, &reroute))
        set_status_line(compile_only ? SEDQ_COMPILE_DESIGN_STR
                        : recompile  ? SEDQ_RECOMPILE_DESIGN_STR
                                     : SEDQ_REROUTE_DESIGN_STR,
                        SEDQ_RED_BASE_PALETTE);
    else if (m_tx->is_any_instance_acquiring())
        set_status_line(SEDQ_ACQUISITION_IN_PROGRESS_STR, SEDQ_GREEN_BASE_PALETTE);
    else if (!scan_says_ready(hardware, device, &program))
        set_status_line(SEDQ_INVALID_JTAG_CONFIGURATION_STR, SEDQ_YELLOW_BASE_PALETTE);
    else if (program)
        set_status_line(SEDQ_PROGRAM_DEVICE_STR, SEDQ_RED_BASE_PALETTE);
    else
        set_status_line(SEDQ_READY_TO_ACQUIRE_STR, SEDQ_GREY_BASE_PALETTE);
}

// Scans the JTAG chain now; false when the device cannot be reached.
bool SEDQ_INSTANCE_WIDGET::scan_says_ready(const QString& hardware, const QString& device, bool* program)
{
    CHI_CONTROL_NODES_SCAN scan;
    scan.set_hardware_name(hardware.toLocal8Bit().constData());
    scan.set_device_name(device.toLocal8Bit().constData());
    scan.rescan();
    if (!scan.is_device_available() || scan.is_jtag_comm_error())
        return false;
    *program = m_tx->is_program_needed(&scan);
    return true;
}

// ---- enabled actions --------------------------------------------------------------------------

void SEDQ_INSTANCE_WIDGET::on_selection_changed()
{
    const std::vector<SELECTED_ROW> rows = selected_rows();
    bool can_stop = false;
    bool can_run = false;
    bool powerup_selected = false;
    for (const SELECTED_ROW& row : rows)
    {
        powerup_selected = powerup_selected || row.powerup;
        if (!get_instance_enabled(row.instance))
            continue;
        const bool acquiring = m_tx->is_instance_acquiring(row.instance);
        can_stop = can_stop || acquiring;
        can_run = can_run || !acquiring;
    }
    if (can_run)
    {
        QString hardware;
        QString device;
        m_tx->get_jtag_hardware(&hardware);
        m_tx->get_jtag_device(&device);
        can_run =
            !hardware.isEmpty() && !device.isEmpty() && m_status_line->text() != SEDQ_WAITING_FOR_JTAG_STR;
    }
    const size_t count = rows.size();
    m_tx->enable_action(AFCQ_SEDQ_RENAME_INSTANCE_ACTION, count == 1 && !powerup_selected);
    for (int id : {AFCQ_SEDQ_RUN_ACTION, AFCQ_SEDQ_AUTORUN_ACTION, AFCQ_SEDQ_READ_DATA_ACTION})
        m_tx->enable_action(AFCQ_ACTION_ENUM(id), can_run);
    m_tx->enable_action(AFCQ_SEDQ_STOP_ACTION, can_stop);
    m_tx->enable_action(AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION, count == 1);
    enable_instance_actions(rows);
}

// Add, delete and the power-up commands; none of them under a lock mode.
void SEDQ_INSTANCE_WIDGET::enable_instance_actions(const std::vector<SELECTED_ROW>& rows)
{
    if (m_tx->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL)
    {
        for (int id : {AFCQ_SEDQ_ADD_INSTANCE_ACTION, AFCQ_SEDQ_DELETE_INSTANCE_ACTION,
                       AFCQ_SEDQ_ENABLE_POWERUP_ACTION, AFCQ_SEDQ_DISABLE_POWERUP_ACTION,
                       AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION})
            m_tx->enable_action(AFCQ_ACTION_ENUM(id), false);
        return;
    }
    bool both_selected = false;
    bool without_powerup = false;
    bool with_powerup = false;
    for (const SELECTED_ROW& row : rows)
    {
        both_selected = both_selected || row.parent_selected;
        const bool has_powerup = m_tx->is_powerup_trigger_enabled(row.instance);
        without_powerup = without_powerup || (!row.powerup && !has_powerup);
        with_powerup = with_powerup || row.powerup || has_powerup;
    }
    const bool any = !rows.empty();
    m_tx->enable_action(AFCQ_SEDQ_ADD_INSTANCE_ACTION, true);
    m_tx->enable_action(AFCQ_SEDQ_DELETE_INSTANCE_ACTION, any);
    m_tx->enable_action(AFCQ_SEDQ_ENABLE_POWERUP_ACTION, any && without_powerup);
    m_tx->enable_action(AFCQ_SEDQ_DISABLE_POWERUP_ACTION, any && with_powerup);
    m_tx->enable_action(AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION, any && with_powerup && !both_selected);
}
