// SEDQ_VIEW: drag and drop. The view drags its selected nodes to move them (or, in the data
// list, to copy them) and takes drops of design names from the host's views and of typed names
// as plain text; while a drag is over it the view shows where the nodes would land and scrolls
// when the pointer nears its top or bottom edge.
#include "sedq/view/sedq_view.h"

#include "host/afcq.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int BEFORE_MARGIN = 7;   // the top pixels of a row drop before it
constexpr int AFTER_MARGIN = 6;    // the bottom pixels drop before the next row
constexpr int NEXT_ROW_OFFSET = 8; // how far down the next row is looked for
constexpr int SCROLL_ZONE = 32;    // pixels beyond an edge where dragging scrolls
constexpr int SCROLL_MARGIN = 31;  // the edge moves in by this while the bar can still scroll
constexpr int NODE_LIMIT = 4096;

bool carries_nodes(const QMimeData* data)
{
    return data != nullptr && (data->hasFormat(SEDQ_VIEW::NODE_DRAG_FORMAT) ||
                               data->hasFormat(AFCQ_INSTANCE_NAME_LIST_MIME_TYPE) || data->hasText());
}
} // namespace

// ---- where a drop lands ----------------------------------------------------------------------------

// The node a drop lands at (node count: the end), before or after it; negative over the first
// two header rows.
int SEDQ_VIEW::find_drop_item(QPoint const& point, bool* before)
{
    *before = false;
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(point, &row, &column, &cell))
        return m_tx_manager->get_node_count(SEDQ_CURRENT);
    if (row < SEDQ_ROW_LEVEL_HEADERS)
        return sedq_node_of_row(row);
    if (row == SEDQ_ROW_LEVEL_HEADERS)
        return m_tx_manager->get_node_count(SEDQ_CURRENT);
    if (point.y() < cell.top() + BEFORE_MARGIN)
        *before = true;
    else if (point.y() > cell.bottom() - AFTER_MARGIN)
    {
        *before = true;
        const QPoint below(point.x(), point.y() + NEXT_ROW_OFFSET);
        if (!find_item(below, &row, &column, &cell) || row < HEADER_ROWS)
        {
            *before = false;
            return m_tx_manager->get_node_count(SEDQ_CURRENT);
        }
    }
    return sedq_node_of_row(row);
}

// A group member inside a bus a plug-in added keeps its place: its decoder reads the members
// in order.
bool SEDQ_VIEW::is_refused_drop_position(int node, bool before)
{
    if (node < 0 || is_item_selected(node) || m_tx_manager->is_invalid_index_for_drop(node, false))
        return true;
    const int index = before ? node : node + 1;
    if (!m_tx_manager->is_group_member(index))
        return false;
    for (int row = 0; row < index; ++row)
    {
        SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
        if (m_tx_manager->is_group_node(row) && m_tx_manager->get_node_group_display_type(row, &type) &&
            type == SDR_GTYPE_PLUGIN)
            return true;
    }
    return false;
}

// ---- the drag over the view ------------------------------------------------------------------------

// Drags from elsewhere add nodes: only while every change is allowed, on the setup page.
void SEDQ_VIEW::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = event->proposedAction();
    if (!SEDQ_VERIFY(action != Qt::IgnoreAction) || m_tx_manager.isNull() ||
        !carries_nodes(event->mimeData()))
        return;
    if (event->source() == this)
    {
        event->acceptProposedAction();
        return;
    }
    if (m_tx_manager->is_wizard_mode() || m_tx_manager->get_lock_mode(true) != SEDQ_LOCK_MODE_ALLOW_ALL)
    {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (!m_tx_manager->is_setup_mode())
    {
        m_tx_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
        m_tx_manager->update_all_views(
            nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW));
    }
}

void SEDQ_VIEW::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = event->proposedAction();
    if (!SEDQ_VERIFY(action != Qt::IgnoreAction) || m_tx_manager.isNull())
        return;
    m_drag_moved_inside = true;
    if (m_drag_first_move)
    {
        m_drag_first_move = false;
        m_drag_start_item = find_item(mapFromGlobal(QCursor::pos()), false);
    }
    bool before = false;
    const int node = find_drop_item(event->pos(), &before);
    if (is_refused_drop_position(node, before))
    {
        event->ignore();
        reset_drop_item();
    }
    else
    {
        event->accept();
        set_drop_item(node, before);
        m_drag_position_accepted = true;
    }
    update();
}

void SEDQ_VIEW::dragLeaveEvent(QDragLeaveEvent*)
{
    m_drag_left_at_start = find_item(mapFromGlobal(QCursor::pos()), false) == m_drag_start_item;
    reset_drop_item();
    update();
}

// ---- the drop --------------------------------------------------------------------------------------

void SEDQ_VIEW::dropEvent(QDropEvent* event)
{
    if (m_tx_manager.isNull())
        return;
    if (m_drop_item >= m_tx_manager->get_node_count(SEDQ_CURRENT))
        reset_drop_item();
    const Qt::DropAction action = event->dropAction();
    if (!SEDQ_VERIFY(action == Qt::MoveAction || action == Qt::CopyAction))
        return;
    const QMimeData* data = event->mimeData();
    SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    if (data->hasFormat(AFCQ_INSTANCE_NAME_LIST_MIME_TYPE))
    {
        AFCQ_DATA_TRANSFER_MANAGER* data_transfer_manager = AFCQ_DATA_TRANSFER_MANAGER::get_instance();
        if (SEDQ_VERIFY(data_transfer_manager != NULL))
            m_tx_manager->insert_nodes(data_transfer_manager->get_instance_name_list_transfer_data(data));
    }
    else if (!data->hasFormat(NODE_DRAG_FORMAT) && data->hasText())
        insert_dropped_names(data->text());
    else
        drop_selected_nodes(action == Qt::CopyAction);
    edit.close();
    reset_drop_item();
    select_all_items(false);
    event->acceptProposedAction();
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW |
                                                      SEDQ_UPDATE_HIERARCHY | SEDQ_UPDATE_CONFIGURATION));
}

// Names separated by white space, each resolved in the netlist. The list holds at most 4096
// nodes: the names before the limit stay, the rest are refused with one message.
void SEDQ_VIEW::insert_dropped_names(const QString& text)
{
    const SDR_DATA_WIRE_TAP_MODE tap_mode =
        m_tx_manager->is_incremental_compile() ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    for (const QString& name : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
    {
        if (m_tx_manager->get_node_count(SEDQ_CURRENT) >= NODE_LIMIT)
        {
            sedq_show_message(MSG_SEDQ::O::LIMIT_PASSED());
            break;
        }
        m_tx_manager->insert_node(name, tap_mode);
    }
    m_tx_manager->check_node_validity(SEDQ_CURRENT);
    m_tx_manager->show_untappable_msg(nullptr);
}

// The view's own nodes move (or copy) before the drop row; a drop after a group's last member
// joins that group. Members of plug-in buses never move alone.
void SEDQ_VIEW::drop_selected_nodes(bool copy)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    const bool positioned = m_drop_item != -1 || m_drop_before;
    const int index = positioned ? m_drop_item + (m_drop_before ? 0 : 1) : count;
    unselect_plugin_group_member_items();
    const bool after_last_member =
        positioned && !m_drop_before && m_tx_manager->is_last_group_member(index - 1);
    if (!copy)
    {
        m_tx_manager->move_selected_before_node(index, after_last_member);
        if (m_tx_manager->has_at_least_one_basic_or_trigger_level())
            m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_INSTANCES));
        return;
    }
    const bool into_group = (index < count && m_tx_manager->is_group_member(index)) || after_last_member;
    m_tx_manager->copy_selected_before_node(index, into_group);
}

// ---- scrolling while dragging ----------------------------------------------------------------------

// Near the top or bottom edge the list scrolls, the faster the farther out the pointer is.
void SEDQ_VIEW::on_drag_scroll()
{
    QScrollBar* bar = m_vertical_scroll_bar;
    if (bar == nullptr || bar->isHidden() || m_tx_manager.isNull())
        return;
    const QPoint p = mapFromGlobal(QCursor::pos());
    int top = get_row_height(SEDQ_ROW_TITLE) + get_row_height(SEDQ_ROW_COLUMN_TITLES) +
              get_row_height(SEDQ_ROW_LEVEL_HEADERS);
    if (bar->value() > bar->minimum())
        top += SCROLL_MARGIN;
    int bottom = height() - 1;
    if (bar->value() < bar->maximum())
        bottom -= SCROLL_MARGIN;
    if (QRect(QPoint(0, top), QPoint(width() - 1, bottom)).contains(p))
        return;
    if (p.y() > top - SCROLL_ZONE && p.y() < top && bar->value() > bar->minimum())
        bar->setValue(std::max(bar->value() - get_scroll_rate(top - p.y()), bar->minimum()));
    else if (p.y() >= bottom && p.y() < bottom + SCROLL_ZONE && bar->value() < bar->maximum())
        bar->setValue(std::min(bar->value() + get_scroll_rate(p.y() - bottom), bar->maximum()));
    reset_drop_item();
    save_scroll_pos();
    update();
}

// 1.04 to the power of the distance, times 1.4: one step up to 9 pixels out, four at 30.
int SEDQ_VIEW::get_scroll_rate(int distance)
{
    return static_cast<int>(std::pow(1.04, distance) * 1.4);
}
