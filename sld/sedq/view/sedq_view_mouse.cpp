// SEDQ_VIEW: presses, moves, releases, double clicks, the wheel and the keys. The cursor is the
// mode: a move chooses it from what lies under the mouse, and a press acts on the cursor in
// force (edit a cell, toggle a box, insert or drag a time bar, resize a column, start the zoom
// rubber band), else selects nodes or starts dragging the selected ones.
#include "sedq/view/sedq_view.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace
{
constexpr int RESIZE_MARGIN = 3;
constexpr int DRAG_SCROLL_MS = 100;
} // namespace

bool SEDQ_VIEW::is_zoom_cursor() const
{
    const QCursor shown = cursor();
    if (shown.shape() != Qt::BitmapCursor)
        return false;
    const qint64 key = shown.pixmap().cacheKey();
    return key == afcq_get_cursor(AFCQ_CURSOR_ZOOM_IN).pixmap().cacheKey() ||
           key == afcq_get_cursor(AFCQ_CURSOR_ZOOM_OUT).pixmap().cacheKey();
}

bool SEDQ_VIEW::has_samples()
{
    int depth = 0;
    return m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT) && depth > 0;
}

// ---- press ---------------------------------------------------------------------------------------

void SEDQ_VIEW::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton || m_tx_manager.isNull())
        return;
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(event->pos(), &row, &column, &cell))
    {
        select_all_items(false);
        update();
        return;
    }
    if (press_acts_on_cell(event, row, column, cell))
    {
        select_all_items(false);
        update();
        return;
    }
    select_or_drag(event, row, column, cell);
}

// What a press does to the cell itself; false when it goes on to select or drag nodes.
bool SEDQ_VIEW::press_acts_on_cell(QMouseEvent* event, int row, int column, const QRect& cell)
{
    if ((row == SEDQ_ROW_COLUMN_TITLES || row == SEDQ_ROW_LEVEL_HEADERS) &&
        cursor().shape() == Qt::SplitHCursor)
        return false;
    if (sedq_is_condition_column(column))
        return press_trigger_cell(event, row, column, cell);
    if (column == SEDQ_COLUMN_WAVEFORM)
        return event->button() == Qt::LeftButton && press_waveform(event, row);
    if (row < HEADER_ROWS)
        return false;
    const int node = sedq_node_of_row(row);
    switch (column)
    {
    case SEDQ_COLUMN_ALIAS:
        m_edit_row = node;
        on_node_set_alias();
        return true;
    case SEDQ_COLUMN_NAME:
        if (!hit_test(row, column, event->pos(), cell) || !toggle_item(node, true))
            return false;
        return true;
    case SEDQ_COLUMN_DATA_ENABLE:
    case SEDQ_COLUMN_TRIGGER_ENABLE:
    case SEDQ_COLUMN_STORAGE_ENABLE:
    case SEDQ_COLUMN_TRANSITIONAL:
        return hit_test(row, column, event->pos(), cell) && toggle_enable_box(node, column);
    default:
        return false;
    }
}

// The pattern mark of a header in sequential mode, the level name and a bus's value or
// comparison under the I-beam.
bool SEDQ_VIEW::press_trigger_cell(QMouseEvent* event, int row, int column, const QRect& cell)
{
    const int level = sedq_pattern_of_column(column);
    if (row == SEDQ_ROW_LEVEL_HEADERS)
    {
        if (m_tx_manager->is_sequential_mode(SEDQ_CURRENT) &&
            !m_tx_manager->is_segmented_acquisition_trigger(level) &&
            hit_test(row, column, event->pos(), cell) && is_trigger_enabled())
        {
            const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                                       sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
            m_tx_manager->toggle_pattern(level);
        }
        return true;
    }
    if (cursor().shape() != Qt::IBeamCursor || event->button() != Qt::LeftButton)
        return false;
    if (row == SEDQ_ROW_COLUMN_TITLES && column >= SEDQ_COLUMN_FIRST_LEVEL &&
        !m_tx_manager->is_sequential_mode(SEDQ_CURRENT) && is_setup_enabled(true))
        open_cell_editor(-1, column, false);
    else if (row >= HEADER_ROWS && is_bus_value_editable(sedq_node_of_row(row), level))
    {
        const int node = sedq_node_of_row(row);
        const bool comparison =
            is_comparison(level) && m_tx_manager->is_comparison_enabled(node, level, SEDQ_CURRENT);
        open_cell_editor(node, column, comparison);
    }
    else
        setCursor(Qt::ArrowCursor);
    return true;
}

// A bus or group whose value at the level may be typed into its cell.
bool SEDQ_VIEW::is_bus_value_editable(int node, int level)
{
    return is_parent_item(node) &&
           SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).is_trigger_enabled(nullptr, level) &&
           m_tx_manager->is_pattern_enabled(level) &&
           (!m_tx_manager->is_advanced_trigger(level, SEDQ_CURRENT) ||
            m_tx_manager->is_advanced_trigger_pattern_enabled(level, SEDQ_CURRENT)) &&
           is_trigger_enabled();
}

// Data, trigger, storage and transition boxes; false when the box does not take the click.
bool SEDQ_VIEW::toggle_enable_box(int node, int column)
{
    SEDQ_NODE row(m_tx_manager, node, SEDQ_CURRENT);
    bool allowed = false;
    if (column == SEDQ_COLUMN_DATA_ENABLE)
        allowed = is_reroute_enabled(node, true, row.is_data_enabled(nullptr));
    else if (column == SEDQ_COLUMN_TRIGGER_ENABLE)
        allowed = is_reroute_enabled(node, false, row.is_trigger_enabled(nullptr, SEDQ_PATTERN_ANY_LEVEL)) &&
                  !is_comparison_trigger_group_member(node);
    else if (column == SEDQ_COLUMN_STORAGE_ENABLE)
        allowed = is_reroute_enabled(node, false, row.is_storage_enabled(nullptr)) &&
                  !is_comparison_storage_qualifier_group_member(node);
    else
        allowed = is_trigger_enabled() && !m_tx_manager->is_disable_storage_qualifier_enabled(SEDQ_CURRENT) &&
                  row.is_storage_enabled(nullptr);
    if (!allowed)
        return false;
    const SEDQ_EDIT_SCOPE edit(
        m_tx_manager, SEDQ_CHECK_COMPILATION,
        sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_CONFIGURATION));
    if (column == SEDQ_COLUMN_DATA_ENABLE)
        row.toggle_data();
    else if (column == SEDQ_COLUMN_TRIGGER_ENABLE)
        row.toggle_trigger();
    else if (column == SEDQ_COLUMN_STORAGE_ENABLE)
        row.toggle_storage();
    else
        row.toggle_transition();
    return true;
}

// Without Shift a press on a selected node drags the selection at once; otherwise it selects
// (Shift extends, Ctrl toggles).
void SEDQ_VIEW::select_or_drag(QMouseEvent* event, int row, int column, const QRect& cell)
{
    const Qt::KeyboardModifiers keys = event->modifiers();
    const int node = sedq_node_of_row(row);
    if (!(keys & Qt::ShiftModifier) && row >= HEADER_ROWS && is_item_selected(node))
    {
        drag_selected_nodes(event, column, cell);
        return;
    }
    if (!(keys & (Qt::ShiftModifier | Qt::ControlModifier)))
        select_all_items(false);
    m_clicked_node = select_item(event->pos());
    m_press_position = event->pos();
}

void SEDQ_VIEW::drag_selected_nodes(QMouseEvent* event, int column, const QRect& cell)
{
    const bool was_only_selection = get_selection_count() == 1;
    m_clicked_node = find_item(event->pos(), false);
    m_press_position = event->pos();
    auto* data = new QMimeData;
    data->setData(NODE_DRAG_FORMAT, QByteArray());
    m_drag_moved_inside = false;
    m_drag_position_accepted = false;
    m_drag_left_at_start = false;
    m_drag_first_move = true;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SEDQ_VIEW::on_drag_scroll);
    timer->start(DRAG_SCROLL_MS);
    const Qt::DropActions actions = m_tx_manager->is_data_mode(SEDQ_CURRENT)
                                        ? Qt::CopyAction | Qt::MoveAction
                                        : Qt::DropActions(Qt::MoveAction);
    const Qt::DropAction result = drag->exec(actions);
    delete timer;
    if (result != Qt::IgnoreAction)
        return;
    end_drag_without_drop(event, column, cell, was_only_selection);
}

// A drag that dropped nothing was a click: Ctrl toggles the node, a plain click selects it
// alone, and a second click on the name of the only selected node renames it.
void SEDQ_VIEW::end_drag_without_drop(QMouseEvent* event, int column, const QRect& cell,
                                      bool was_only_selection)
{
    reset_drop_item();
    if (m_drag_position_accepted)
        return;
    const bool stayed = !m_drag_moved_inside || m_drag_left_at_start;
    if (event->modifiers() & Qt::ControlModifier)
    {
        if (stayed)
            select_item(event->pos());
        m_press_position = event->pos();
        return;
    }
    if (!cell.contains(event->pos()) || !stayed)
        return;
    select_all_items(false);
    select_item(m_clicked_node, true);
    update();
    if (was_only_selection && column == SEDQ_COLUMN_NAME && !m_tx_manager->is_wizard_mode() &&
        !m_tx_manager->is_advanced_mode(nullptr) && !m_tx_manager->is_tessarelle_generated())
    {
        set_focus_item(m_clicked_node);
        on_node_rename();
    }
}

// The time-bar row inserts or picks up a time bar, the rows below start the rubber band.
bool SEDQ_VIEW::press_waveform(QMouseEvent* event, int row)
{
    const Qt::CursorShape shape = cursor().shape();
    if (row == SEDQ_ROW_TITLE && shape == Qt::PointingHandCursor)
    {
        insert_timebar(event->pos());
        save_timebars();
        update();
        return true;
    }
    if (row == SEDQ_ROW_TITLE && shape == Qt::SizeHorCursor)
    {
        set_current_timebar(event->pos());
        return true;
    }
    if (row > SEDQ_ROW_TITLE && is_zoom_cursor())
    {
        select_all_items(false);
        start_drag_rect(event->pos());
        return true;
    }
    return false;
}

// ---- move ----------------------------------------------------------------------------------------

void SEDQ_VIEW::mouseMoveEvent(QMouseEvent* event)
{
    if (m_tx_manager.isNull())
        return;
    if (event->buttons() & Qt::LeftButton)
    {
        on_mouse_move(0, event->pos());
        if (m_resize_column != -1 && cursor().shape() == Qt::SplitHCursor)
        {
            set_column_width(m_resize_column, event->pos(), false);
            update();
            return;
        }
        if (m_current_timebar != -1 && drag_current_timebar(event->pos(), true))
        {
            update();
            return;
        }
    }
    setCursor(choose_cursor(event->pos(), event->modifiers()));
}

void SEDQ_VIEW::on_mouse_move(unsigned int, QPoint point)
{
    if (hasFocus() && is_zoom_cursor())
    {
        end_drag_rect(point);
        draw_drag_rect();
    }
}

QCursor SEDQ_VIEW::choose_cursor(const QPoint& pos, Qt::KeyboardModifiers keys)
{
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(pos, &row, &column, &cell))
        return Qt::ArrowCursor;
    if (row == SEDQ_ROW_TITLE)
    {
        if (column == SEDQ_COLUMN_WAVEFORM && has_samples())
            return find_timebar(pos) == -1 ? Qt::PointingHandCursor : Qt::SizeHorCursor;
        m_resize_column = -1;
        return general_cursor(row, column);
    }
    if (row <= SEDQ_ROW_LEVEL_HEADERS && pos.x() < cell.left() + RESIZE_MARGIN && column > SEDQ_COLUMN_TYPE)
    {
        m_resize_column = column - 1;
        return Qt::SplitHCursor;
    }
    if (row <= SEDQ_ROW_LEVEL_HEADERS && pos.x() > cell.right() - RESIZE_MARGIN &&
        column < SEDQ_COLUMN_WAVEFORM)
    {
        m_resize_column = column;
        return Qt::SplitHCursor;
    }
    m_resize_column = -1;
    if (column == SEDQ_COLUMN_WAVEFORM && has_samples())
        return afcq_get_cursor(keys & Qt::ShiftModifier ? AFCQ_CURSOR_ZOOM_OUT : AFCQ_CURSOR_ZOOM_IN);
    return general_cursor(row, column);
}

// The I-beam where a press opens an in-cell editor, else the arrow.
QCursor SEDQ_VIEW::general_cursor(int row, int column)
{
    if (row >= HEADER_ROWS && (column == SEDQ_COLUMN_ALIAS || column == SEDQ_COLUMN_DEBUG_PORT_OUT))
        return Qt::IBeamCursor;
    if (sedq_is_condition_column(column) && row >= HEADER_ROWS)
    {
        const int node = sedq_node_of_row(row);
        if (!m_tx_manager->is_grandparent(node) &&
            is_bus_value_editable(node, sedq_pattern_of_column(column)))
            return Qt::IBeamCursor;
    }
    if (row == SEDQ_ROW_COLUMN_TITLES && sedq_is_level_column(column) &&
        !m_tx_manager->is_sequential_mode(SEDQ_CURRENT) && is_setup_enabled(true))
        return Qt::IBeamCursor;
    return Qt::ArrowCursor;
}

// ---- release and double click ----------------------------------------------------------------------

void SEDQ_VIEW::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_tx_manager.isNull())
        return;
    if (event->buttons() & Qt::RightButton)
    {
        if (m_rubber_band != nullptr)
            m_rubber_band->hide();
        return;
    }
    bool zoomed_to_band = false;
    const bool zoom_cursor = is_zoom_cursor();
    if (m_current_timebar == -1 && zoom_cursor)
    {
        if (event->button() == Qt::RightButton)
        {
            const QPoint at = event->pos();
            zoom_out(&at, nullptr);
        }
        else if (event->button() == Qt::LeftButton)
        {
            zoom_drag_rect(false);
            zoomed_to_band = true;
        }
    }
    else if (m_current_timebar != -1)
    {
        drop_current_timebar(event->pos());
        save_timebars();
        save_scroll_pos();
    }
    if (!zoomed_to_band && event->button() == Qt::LeftButton && m_rubber_band != nullptr &&
        m_rubber_band->isVisible())
        zoom_drag_rect(true);
    if (!m_tx_manager->is_wizard_mode() && m_frame_wnd != nullptr)
    {
        m_frame_wnd->on_update_view_menu();
        m_frame_wnd->on_update_edit_menu();
    }
    set_base_selection();
}

// A double click on empty space of an editor that is not the host's main window adds nodes.
void SEDQ_VIEW::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (m_tx_manager.isNull() || m_frame_wnd == nullptr || m_frame_wnd->is_main_window() ||
        !(event->buttons() & Qt::LeftButton))
        return;
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(event->pos(), &row, &column, &cell))
        host_action(AFCQ_SEDQ_INSERT_NODES_ACTION)->trigger();
}

// ---- wheel and keys ------------------------------------------------------------------------------

// Ctrl turns the wheel into horizontal scrolling; the wheel never zooms. A turn the scroll bar
// leaves comes back up to the view while it is handed on: that one takes the default way.
void SEDQ_VIEW::wheelEvent(QWheelEvent* event)
{
    if (m_forwarding_wheel)
    {
        event->ignore();
        return;
    }
    QScrollBar* bar =
        event->modifiers() & Qt::ControlModifier ? m_horizontal_scroll_bar : m_vertical_scroll_bar;
    event->ignore();
    m_forwarding_wheel = true;
    QApplication::sendEvent(bar, event);
    m_forwarding_wheel = false;
    if (!event->isAccepted())
    {
        QWidget::wheelEvent(event);
        return;
    }
    commit_cell_editor();
}

void SEDQ_VIEW::keyPressEvent(QKeyEvent* event)
{
    if (!hasFocus() || m_tx_manager.isNull())
    {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key())
    {
    case Qt::Key_Delete:
        if (on_update_edit_delete())
            on_edit_delete();
        else if (m_tx_manager->is_advanced_mode(nullptr))
            if (auto* canvas = qobject_cast<SEDQ_OBJECT_WIDGET*>(focusWidget()))
                canvas->on_edit_delete();
        QWidget::keyPressEvent(event);
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QApplication::sendEvent(ctrl ? m_horizontal_scroll_bar : m_vertical_scroll_bar, event);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        // A scroll bar inverts its controls by default, which would turn Right into a step back.
        m_horizontal_scroll_bar->triggerAction(event->key() == Qt::Key_Right ? QAbstractSlider::SliderSingleStepAdd
                                                                               : QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        QApplication::sendEvent(m_vertical_scroll_bar, event);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
