// SEDQ_VIEW: the cells of a node row — type icon, alias, name with its tree lines and expand
// box, enable boxes and trigger conditions of single nodes and of buses.
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_util.h"

#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_drawing.h"

#include <QAction>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace
{

// Where a disabled cell is greyed: its inner rectangle and one pixel up and left.
QRect grey_area(QRect const& inner)
{
    return sedq_inclusive(inner.left() - 1, inner.top() - 1, inner.right(), inner.bottom());
}

constexpr int INDENT = 30;

int type_icon(SDR_DATA_SIGNAL_TYPE type, bool is_parent)
{
    switch (type)
    {
    case SDR_STYPE_INPUT_PIN:
        return is_parent ? AFCQ_ICON_INPUT_PIN_GROUP : AFCQ_ICON_INPUT_PIN;
    case SDR_STYPE_OUTPUT_PIN:
        return is_parent ? AFCQ_ICON_OUTPUT_PIN_GROUP : AFCQ_ICON_OUTPUT_PIN;
    case SDR_STYPE_BIDIR_PIN:
        return is_parent ? AFCQ_ICON_BIDIR_PIN_GROUP : AFCQ_ICON_BIDIR_PIN;
    case SDR_STYPE_MEMORY:
        return is_parent ? AFCQ_ICON_MEMORY_GROUP : AFCQ_ICON_MEMORY;
    case SDR_STYPE_REGISTERED:
        return is_parent ? AFCQ_ICON_REGISTERED_GROUP : AFCQ_ICON_REGISTERED;
    case SDR_STYPE_COMBINATIONAL:
        return is_parent ? AFCQ_ICON_COMBINATIONAL_GROUP : AFCQ_ICON_COMBINATIONAL;
    case SDR_STYPE_MACHINE:
        return is_parent ? AFCQ_ICON_STATE_MACHINE_GROUP : AFCQ_ICON_STATE_MACHINE;
    default:
        return is_parent ? AFCQ_ICON_OTHER_NODE_GROUP : AFCQ_ICON_OTHER_NODE;
    }
}

// The icon of a single node's condition; 0 for a condition a single node does not show.
int condition_icon(SDR_DATA_TRIGGER_CONDITION condition)
{
    switch (condition)
    {
    case SDR_CTYPE_HIGH:
        return AFCQ_ICON_HIGH;
    case SDR_CTYPE_LOW:
        return AFCQ_ICON_LOW;
    case SDR_CTYPE_RISING:
        return AFCQ_ICON_RISING_EDGE;
    case SDR_CTYPE_FALLING:
        return AFCQ_ICON_FALLING_EDGE;
    case SDR_CTYPE_EITHER_EDGE:
        return AFCQ_ICON_EITHER_EDGE;
    case SDR_CTYPE_DONT_CARE:
        return AFCQ_ICON_DONT_CARE;
    default:
        return 0;
    }
}

} // namespace

void SEDQ_VIEW::draw_node_cell(const SEDQ_PAINT_CONTEXT& paint, int node, int column, QRect const& inner,
                               bool selected)
{
    QPainter* painter = paint.painter;
    const bool setup_enabled = paint.setup_enabled;
    const bool powerup = paint.powerup;
    const SEDQ_NODE row(m_tx_manager, node, SEDQ_CURRENT);
    bool partial = false;
    if (column == SEDQ_COLUMN_TYPE)
    {
        const bool inverted = row.is_signal_inverted(&partial);
        draw_type(row.get_type(), row.is_parent(), inverted, partial, inner, painter);
    }
    else if (column == SEDQ_COLUMN_ALIAS)
        draw_in(QString::fromLocal8Bit(row.get_alias()), inner, painter);
    else if (column == SEDQ_COLUMN_NAME)
        draw_name(QString::fromLocal8Bit(row.get_name()), node, row.get_parent(), selected, paint, inner);
    else if (sedq_is_enable_column(column))
    {
        if (!setup_enabled)
            painter->fillRect(grey_area(inner), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
        const bool value = column == SEDQ_COLUMN_DATA_ENABLE ? row.is_data_enabled(&partial)
                           : column == SEDQ_COLUMN_TRIGGER_ENABLE
                               ? row.is_trigger_enabled(&partial, SEDQ_PATTERN_ANY_LEVEL)
                               : row.is_storage_enabled(&partial);
        const bool enabled = is_enable_box_enabled(node, column, value, setup_enabled);
        draw_checkbox(value, inner, painter, false, enabled, partial, false, false);
    }
    else if (column == SEDQ_COLUMN_TRANSITIONAL)
    {
        if (row.is_storage_enabled(nullptr))
        {
            const bool value = row.is_transition_enabled(&partial);
            const bool enabled =
                paint.trigger_enabled && !m_tx_manager->is_disable_storage_qualifier_enabled(SEDQ_CURRENT);
            draw_checkbox(value, inner, painter, false, enabled, partial, powerup, selected);
        }
        else
            draw_checkbox(false, inner, painter, false, false, false, powerup, selected);
    }
    else if (sedq_is_condition_column(column))
        draw_trigger_cell(paint, node, sedq_pattern_of_column(column), inner, selected);
}

void SEDQ_VIEW::draw_trigger_cell(const SEDQ_PAINT_CONTEXT& paint, int node, int level, QRect const& inner,
                                  bool selected)
{
    QPainter* painter = paint.painter;
    const bool powerup = paint.powerup;
    const SEDQ_NODE row(m_tx_manager, node, SEDQ_CURRENT);
    if (!row.is_trigger_enabled(nullptr, level))
    {
        painter->fillRect(grey_area(inner), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
        return;
    }
    const bool enabled = paint.trigger_enabled && m_tx_manager->is_pattern_enabled(level) &&
                         !m_tx_manager->is_advanced_trigger(level, SEDQ_CURRENT);
    const SDR_DATA_TRIGGER_CONDITION condition = row.get_trigger_pattern(level);
    if (row.is_parent())
        draw_bus_trigger(node, level, inner, painter, condition, enabled, selected, powerup);
    else if (is_comparison(level) && m_tx_manager->is_comparison_group_member(node, level, SEDQ_CURRENT))
        painter->fillRect(grey_area(inner), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    else
        draw_trigger(condition, inner, painter, enabled, selected, powerup);
}

// ---- alias and name ------------------------------------------------------------------------------

bool SEDQ_VIEW::draw_in(QString const& text, QRect rect, QPainter* painter)
{
    painter->save();
    painter->setBackground(AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    painter->drawText(rect, Qt::AlignCenter, text);
    painter->restore();
    return true;
}

void SEDQ_VIEW::draw_name_expand_box(int display_type, int x0, int cy, bool selected, QPainter* painter)
{
    const QPen pen = selected && view_has_focus() ? AFCQ_PEN(AFCQ_PEN_SELECTED_TEXT).get_pen()
                                                  : AFCQ_PEN(AFCQ_PEN_TEXT).get_pen();
    sedq_draw_plain_frame(painter, sedq_inclusive(x0, cy - 4, x0 + 8, cy + 4),
                          AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush().color());
    painter->setPen(pen);
    painter->drawLine(x0 + 2, cy, x0 + 6, cy);
    if (display_type == SDR_NTYPE_GROUP_ALT)
        painter->drawLine(x0 + 4, cy - 2, x0 + 4, cy + 2);
}

// Font and colours of a name by the node's kind, then the highlight of a drop target, an
// invalid node or the selection.
void SEDQ_VIEW::set_name_text_style(int node, int display_type, bool selected, const SEDQ_PAINT_CONTEXT& paint,
                                    QRect const& text_rect)
{
    QPainter* painter = paint.painter;
    const bool incremental = paint.incremental;
    QFont font = AFCQ_FONT(AFCQ_FONT_PRE_SYNTHESIS_NAME).get_font();
    QPen pen(AFCQ_COLOR(AFCQ_COLOR_PRE_SYNTHESIS_NAME).get_color());
    QBrush background(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
    if (incremental && SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_tap_mode() == SDR_TAP_POST_FITTING)
    {
        font = AFCQ_FONT(AFCQ_FONT_POST_FITTING_NAME).get_font();
        pen = QPen(AFCQ_COLOR(AFCQ_COLOR_POST_FITTING_NAME).get_color());
    }
    else if (sedq_is_group_display(display_type))
    {
        font = AFCQ_FONT(AFCQ_FONT_GROUP_NAME).get_font();
        pen = QPen(AFCQ_COLOR(AFCQ_COLOR_GROUP_NAME).get_color());
    }
    if (m_tx_manager->is_node_data_tab_only(node))
    {
        font = AFCQ_FONT(AFCQ_FONT_DUPLICATED_NODE).get_font();
        pen = QPen(AFCQ_COLOR(AFCQ_COLOR_DUPLICATED_NODE).get_color());
    }
    const bool focus = view_has_focus();
    if (node == m_drop_item && !m_drop_before && display_type == SDR_NTYPE_GROUP_ALT && focus)
    {
        painter->fillRect(text_rect.adjusted(-2, -1, 2, 1), AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
        pen = AFCQ_PEN(AFCQ_PEN_SELECTED_TEXT).get_pen();
        background = QBrush(AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color());
    }
    else if (!selected)
    {
        // Without any mark no name is invalid: a bus of thousands of members is not walked.
        bool invalid = false;
        if (paint.marks && sedq_is_group_display(display_type))
        {
            const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
            int last = node;
            while (last + 1 < count && is_child_item(last + 1))
                ++last;
            invalid = last > node && m_tx_manager->is_any_node_invalid(node + 1, last);
        }
        else if (paint.marks)
            invalid = m_tx_manager->is_node_invalid(node);
        if (invalid)
            pen = QPen(AFCQ_COLOR(AFCQ_COLOR_INVALID_NAME).get_color());
    }
    else if (!focus && !m_name_highlight)
    {
        pen = AFCQ_PEN(AFCQ_PEN_TEXT).get_pen();
        background = AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush();
    }
    else
    {
        pen = AFCQ_PEN(AFCQ_PEN_SELECTED_TEXT).get_pen();
        background = QBrush(AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color());
        m_name_highlight = false;
    }
    painter->setFont(font);
    painter->setPen(pen);
    painter->setBackground(background);
    painter->setBackgroundMode(Qt::OpaqueMode);
}

void SEDQ_VIEW::draw_drop_marker(int node, int display_type, int depth_indent, QRect const& rect,
                                 QPainter* painter)
{
    if (node != m_drop_item)
        return;
    const int x = depth_indent > 0 ? rect.left() + depth_indent - 3 : rect.left();
    painter->setPen(AFCQ_COLOR(AFCQ_COLOR_CELL_OUTLINE).get_color());
    if (m_drop_before)
    {
        painter->drawLine(x, rect.top() - 1, rect.right(), rect.top() - 1);
        painter->drawLine(x, rect.top(), rect.right(), rect.top());
    }
    else if (display_type != SDR_NTYPE_GROUP_ALT)
    {
        painter->drawLine(x, rect.bottom() - 1, rect.right(), rect.bottom() - 1);
        painter->drawLine(x, rect.bottom(), rect.right(), rect.bottom());
    }
}

bool SEDQ_VIEW::draw_name(QString const& name, int node, int display_type, bool selected,
                          const SEDQ_PAINT_CONTEXT& paint, QRect const& rect)
{
    QPainter* painter = paint.painter;
    const int indent = m_tx_manager->get_node_depth(node) * INDENT;
    const int cy = (rect.top() + rect.bottom()) / 2;
    painter->save();
    painter->setClipRect(sedq_inclusive(rect.left(), rect.top() - 1, rect.right(), rect.bottom()));
    QRect text_rect = rect;
    if (sedq_is_group_display(display_type))
        text_rect.setLeft(rect.left() + indent + 21);
    else if (display_type == SDR_NTYPE_MEMBER || display_type == SDR_NTYPE_LAST_MEMBER)
        text_rect.setLeft(rect.left() + indent);
    else
        text_rect.setLeft(rect.left() + 2);
    if (sedq_is_group_display(display_type))
        draw_name_expand_box(display_type, rect.left() + 4 + indent, cy, selected, painter);
    set_name_text_style(node, display_type, selected, paint, text_rect);
    const Qt::TextElideMode elide = m_tx_manager->m_align_left ? Qt::ElideRight : Qt::ElideLeft;
    const QString shown = painter->fontMetrics().elidedText(name, elide, text_rect.width());
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter, shown);
    draw_tree_lines(node, rect, painter);
    draw_drop_marker(node, display_type, indent, rect, painter);
    painter->restore();
    return true;
}

bool SEDQ_VIEW::draw_tree_lines(int node, QRect const& rect, QPainter* painter)
{
    const int depth = m_tx_manager->get_node_depth(node);
    const bool children = m_tx_manager->has_children(node);
    const int x = rect.left() + (depth - 1) * INDENT;
    const int cy = (rect.top() + rect.bottom()) / 2;
    painter->save();
    painter->setPen(SEDQ_DOTTED_PEN);
    painter->setBackgroundMode(Qt::TransparentMode);
    const int branch_end = m_tx_manager->is_last_child(node) ? cy : rect.bottom();
    if (children)
    {
        painter->drawLine(x + 44, cy, x + 48, cy);
        if (SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_parent() == SDR_NTYPE_GROUP)
            painter->drawLine(x + 38, rect.bottom() - 3, x + 38, rect.bottom());
    }
    if (depth > 0)
    {
        painter->drawLine(x + 8, cy, x + (children ? 32 : 28), cy);
        painter->drawLine(x + 8, rect.top(), x + 8, branch_end);
    }
    for (int level = 2; level <= depth; ++level)
    {
        const int xk = rect.left() + 8 + (depth - level) * INDENT;
        const int last = m_tx_manager->get_last_child_index(m_tx_manager->get_parent_index(node, level));
        if (node < last)
            painter->drawLine(xk, rect.top(), xk, rect.bottom());
        else if (node == last)
            painter->drawLine(xk, cy, xk + (children ? 22 : 20), cy);
    }
    painter->restore();
    return true;
}

// ---- icons and boxes -----------------------------------------------------------------------------

bool SEDQ_VIEW::draw_type(SDR_DATA_SIGNAL_TYPE type, bool is_parent, bool inverted, bool partially_inverted,
                          QRect rect, QPainter* painter)
{
    return draw_bitmap(AFCQ_ICON_ENUM(type_icon(type, is_parent)), rect, painter, true, true, false, inverted,
                       partially_inverted, true, false);
}

const QIcon& SEDQ_VIEW::icon_of(AFCQ_ICON_ENUM id)
{
    auto it = m_icons.find(id);
    if (it == m_icons.end())
        it = m_icons.insert(id, afcq_get_icon(id));
    return it.value();
}

// A highlighted icon is shown inverted over the selection colour.
bool SEDQ_VIEW::draw_bitmap(AFCQ_ICON_ENUM id, QRect const& rect, QPainter* painter, bool,
                            bool highlight_allowed, bool selected, bool inverted, bool, bool needs_focus,
                            bool)
{
    const QIcon& icon = icon_of(id);
    if (highlight_allowed && selected && (!needs_focus || view_has_focus()))
    {
        painter->save();
        painter->fillRect(rect, Qt::white);
        icon.paint(painter, rect, Qt::AlignCenter, QIcon::Normal, QIcon::Off);
        painter->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter->fillRect(rect, Qt::black);
        painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        painter->fillRect(rect, AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color());
        painter->restore();
    }
    else
        icon.paint(painter, rect, Qt::AlignCenter, QIcon::Normal, QIcon::Off);
    if (inverted)
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        const int cx = rect.left() + (rect.right() - rect.left() + 1) / 2;
        const int cy = rect.top() + (rect.bottom() - rect.top() + 1) / 2;
        painter->drawEllipse(sedq_inclusive(cx + 8, cy - 3, cx + 13, cy + 2));
        painter->restore();
    }
    return true;
}

// A partly set group, like a disabled box, shows in the read-only style.
bool SEDQ_VIEW::draw_checkbox(bool checked, QRect const& rect, QPainter* painter, bool, bool enabled,
                              bool partial, bool powerup, bool selected)
{
    const int cx = (rect.left() + rect.right()) / 2;
    const int cy = (rect.top() + rect.bottom()) / 2;
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = sedq_inclusive(cx - 6, cy - 6, cx + 6, cy + 6);
    option.state = QStyle::State_Enabled;
    const QRect area = grey_area(rect);
    if (enabled && !partial && selected && view_has_focus())
    {
        option.palette.setBrush(QPalette::Base, QBrush(AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color()));
        painter->fillRect(area, AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color());
    }
    else if (enabled && !partial && !selected)
    {
        if (powerup)
            painter->fillRect(area, SEDQ_POWERUP_BRUSH);
    }
    else
    {
        option.palette.setCurrentColorGroup(QPalette::Disabled);
        painter->fillRect(area, AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
        option.state = QStyle::State_ReadOnly;
    }
    option.state |= checked ? QStyle::State_On : QStyle::State_Off;
    style()->drawControl(QStyle::CE_CheckBox, &option, painter, this);
    return true;
}

bool SEDQ_VIEW::draw_trigger(SDR_DATA_TRIGGER_CONDITION condition, QRect const& rect, QPainter* painter,
                             bool enabled, bool selected, bool powerup)
{
    const int icon = condition_icon(condition);
    if (icon == 0)
        return false;
    painter->save();
    if (!enabled)
        painter->fillRect(grey_area(rect), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    else if (!selected && powerup)
        painter->fillRect(grey_area(rect), SEDQ_POWERUP_BRUSH);
    const bool highlight = enabled && !(!selected && powerup);
    draw_bitmap(AFCQ_ICON_ENUM(icon), rect, painter, true, highlight, selected, false, false, true, true);
    painter->restore();
    return true;
}

// The value of a bus in its radix (or symbol), with the pattern's action text; a comparison
// shows its expression; a group of groups shows only a group pattern.
bool SEDQ_VIEW::draw_bus_trigger(int node, int level, QRect const& rect, QPainter* painter,
                                 SDR_DATA_TRIGGER_CONDITION condition, bool enabled, bool selected,
                                 bool powerup)
{
    const bool grandparent = m_tx_manager->is_grandparent(node);
    const bool comparison =
        is_comparison(level) && m_tx_manager->is_comparison_enabled(node, level, SEDQ_CURRENT);
    painter->save();
    QString pattern;
    bool in_radix = true;
    get_trigger_string(node, level, &pattern, &in_radix);
    const char* value = "";
    const bool symbolic =
        SEDQ_NUMBER(pattern).get_string(m_tx_manager, node, &value, in_radix, true, nullptr, level);
    if (!enabled)
    {
        painter->fillRect(grey_area(rect), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
        painter->setPen(AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen());
    }
    else if (selected && view_has_focus())
        painter->setPen(grandparent || symbolic ? AFCQ_PEN(AFCQ_PEN_SELECTED_TEXT).get_pen()
                                                : AFCQ_PEN(AFCQ_PEN_SELECTED_VALUE).get_pen());
    else
    {
        if (comparison || grandparent || symbolic)
            painter->setPen(AFCQ_COLOR(AFCQ_COLOR_TRIGGER_MNEMONIC).get_color());
        else
            painter->setPen(AFCQ_PEN(AFCQ_PEN_TRIGGER_VALUE).get_pen());
        if (powerup)
            painter->fillRect(rect, SEDQ_POWERUP_BRUSH);
    }
    QString text;
    bool bare_pattern = false;
    if (comparison)
    {
        std::string expression;
        get_comparison_expression(node, level, &expression);
        text = QString::fromStdString(expression);
        sedq_set_bold(painter, true);
    }
    else
    {
        // Only group patterns have an action; anything else a bus may hold shows its value alone.
        const bool group_pattern = condition >= SDR_CTYPE_GROUP_FIRST && condition <= SDR_CTYPE_GROUP_LAST;
        QAction* action = group_pattern ? trigger_cond_to_action(condition) : nullptr;
        const QString action_text = action != nullptr ? action->text().remove(QLatin1Char('&')) : QString();
        if (grandparent)
        {
            if (m_tx_manager->is_group_condition(condition))
            {
                text = action_text;
                sedq_set_bold(painter, true);
            }
        }
        else
        {
            text = QString::fromLocal8Bit(value);
            bare_pattern = condition == 9 || condition == 10 || action_text.isEmpty();
            if (!bare_pattern)
                text += QStringLiteral(" (") + action_text + QStringLiteral(")");
        }
    }
    // A pattern wider than its cell keeps its end, the low bits, in view; with an action text
    // after it the cell stays centred.
    const bool keep_end = bare_pattern && painter->fontMetrics().horizontalAdvance(text) > rect.width();
    painter->drawText(rect, keep_end ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter, text);
    painter->restore();
    return true;
}
