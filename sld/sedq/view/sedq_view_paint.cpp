// SEDQ_VIEW: painting the node table — the walk over the shown rows, cell frames and the
// selection fill, the dispatch to each cell's contents, the drop bar and the texts of an
// empty view. Only rows that reach into the painted rectangle are drawn.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_drawing.h"

#include <QPainter>
#include <QStylePainter>

QBrush SEDQ_VIEW::background_brush()
{
    if (m_tx_manager->is_empty())
        return AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush();
    return QBrush(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color(), Qt::SolidPattern);
}

// Nothing is drawn while the window is still building its panes.
void SEDQ_VIEW::paintEvent(QPaintEvent*)
{
    if (m_tx_manager.isNull())
        return;
    if (m_frame_wnd != nullptr)
    {
        SEDQ_LAYOUT_WIDGET* layout = m_frame_wnd->get_layout_widget();
        if (layout == nullptr || layout->get_hierarchy_widget() == nullptr)
            return;
    }
    QStylePainter painter(this);
    paint(&painter, nullptr, this, rect(), true);
}

bool SEDQ_VIEW::paint(QPainter* painter, QPaintEvent*, QWidget*, QRect rect, bool)
{
    const QBrush background = background_brush();
    painter->fillRect(rect, background);
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    // Nothing a cell draws changes the layout: one check at the start serves the whole paint.
    // The flag only lets row_layout() skip its signature check; the guard clears it on every
    // way out, so a paint leaves no state behind.
    struct FREEZE
    {
        bool* flag;
        ~FREEZE() { *flag = false; }
    } freeze{&m_layout_frozen};
    m_layout_frozen = true;
    const int scroll = get_scroll_pos(Qt::Vertical);
    const SEDQ_PAINT_CONTEXT context = make_paint_context(painter);
    int widths[COLUMN_COUNT];
    for (int column = 0; column < COLUMN_COUNT; ++column)
        widths[column] = get_column_width(column);
    const int offset = get_column_offset();
    const auto paint_row = [&](int row, int y, int height, bool first_visible)
    {
        int x = row == SEDQ_ROW_TITLE ? 0 : offset;
        SEDQ_PAINT_ROW painted;
        painted.row = row;
        painted.selected = row >= HEADER_ROWS && is_item_selected(sedq_node_of_row(row));
        painted.first_visible = first_visible;
        for (int column = 0; column < COLUMN_COUNT; ++column)
        {
            if (widths[column] == 0)
                continue;
            const QRect cell = sedq_inclusive(x, y, x + widths[column] + 1, y + height + 1);
            draw_rect(context, painted, column, cell);
            draw_item(context, painted, column, cell.adjusted(2, 2, -2, -2));
            x += widths[column];
        }
    };
    int y = 0;
    int visible = 0;
    bool stopped = false;
    for (int row = 0; row < HEADER_ROWS && !stopped; ++row)
    {
        const int height = layout.get_row_height(row);
        if (height == 0)
            continue;
        if (y + height + 1 > rect.top())
            paint_row(row, y, height, false);
        y += height;
        stopped = y > rect.bottom();
    }
    for (int shown = scroll; shown < layout.get_shown_count() && !stopped; ++shown)
    {
        const int node = layout.get_shown_node(shown);
        const int height = layout.get_row_height(sedq_row_of_node(node));
        visible = shown + 1;
        if (y + height + 1 > rect.top())
            paint_row(sedq_row_of_node(node), y, height, shown == scroll);
        y += height;
        stopped = y > rect.bottom();
    }
    if (y + 1 < height() - 1)
        painter->fillRect(QRect(0, y + 1, rect.width(), rect.height()), background);
    if (m_drop_item != -1 && m_drop_item == layout.get_node_count())
    {
        QRect bar;
        get_column_rect(SEDQ_COLUMN_NAME, &bar);
        bar.adjust(2, 2, -2, -2);
        bar.setTop(y - 2);
        bar.setBottom(y);
        painter->fillRect(bar, AFCQ_COLOR(AFCQ_COLOR_CELL_OUTLINE).get_color());
    }
    if (visible == 0)
        draw_empty_view_text(y, rect, painter);
    return true;
}

void SEDQ_VIEW::draw_empty_view_text(int y, QRect const& rect, QPainter* painter)
{
    QString text;
    if (m_tx_manager->is_empty())
        text = QStringLiteral("No nodes");
    else if (m_tx_manager->get_node_count(SEDQ_CURRENT) == 0 ||
             (m_tx_manager->is_advanced_mode(nullptr) && m_tx_manager->is_node_hidden_in_advanced_mode(-1)))
    {
        ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
        if (m_tx_manager->is_wizard_mode())
            text = QStringLiteral("Zero trigger input port width");
        else if (!SEDQ_VERIFY(this->m_frame_wnd != NULL) || !SEDQ_VERIFY(acf_mgr != NULL))
            return;
        else if (m_frame_wnd->is_main_window())
            text = QStringLiteral("Open a Vantrel file to continue");
        else if (acf_mgr->is_project_open())
            text = QStringLiteral("Double-click to add nodes");
        else
            text = QStringLiteral("Open a project to add nodes");
    }
    else
        text = QStringLiteral("All nodes hidden");
    painter->save();
    painter->setPen(AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen());
    painter->drawText(QRect(10, y + 1, rect.width(), rect.height()), Qt::AlignLeft | Qt::AlignTop, text);
    painter->restore();
}

// ---- cell frames ---------------------------------------------------------------------------------

// The cell widened from the left of column `first` to the right of column `last`.
QRect SEDQ_VIEW::column_span(int first, int last, QRect const& cell)
{
    QRect left;
    QRect right;
    get_column_rect(first, &left);
    get_column_rect(last, &right);
    return sedq_inclusive(left.left(), cell.top(), right.right(), cell.bottom());
}

// A dark outer ring under a one-pixel shade frame on the cell face.
bool SEDQ_VIEW::draw_shaded_rect(QRect const& rect, QPainter* painter, bool sunken)
{
    painter->fillRect(sedq_inclusive(rect.left(), rect.top(), rect.right() - 1, rect.bottom() - 1),
                      AFCQ_COLOR(AFCQ_COLOR_CELL_OUTLINE).get_color());
    sedq_draw_shade_frame(
        painter, sedq_inclusive(rect.left() + 1, rect.top() + 1, rect.right() - 2, rect.bottom() - 2),
        QPalette(), sunken, AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    return true;
}

bool SEDQ_VIEW::draw_raised_rect(QRect const& rect, QPainter* painter)
{
    return draw_shaded_rect(rect, painter, false);
}

bool SEDQ_VIEW::draw_sunken_rect(QRect const& rect, QPainter* painter)
{
    return draw_shaded_rect(rect, painter, true);
}

bool SEDQ_VIEW::draw_plain_rect(QRect const& rect, QPainter* painter)
{
    sedq_draw_plain_frame(painter,
                          sedq_inclusive(rect.left(), rect.top(), rect.right() - 1, rect.bottom() - 1),
                          AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush().color());
    return true;
}

bool SEDQ_VIEW::draw_rect(const SEDQ_PAINT_CONTEXT& paint, const SEDQ_PAINT_ROW& painted, int column,
                          QRect const& cell)
{
    const int row = painted.row;
    const bool selected = painted.selected;
    const bool sequential = paint.sequential;
    QPainter* painter = paint.painter;
    const bool setup = row_layout().get_signature().setup_mode;
    const bool data = row_layout().get_signature().data_mode;
    const int row1 = get_row_height(SEDQ_ROW_COLUMN_TITLES);
    const int row2 = get_row_height(SEDQ_ROW_LEVEL_HEADERS);
    if (row == SEDQ_ROW_TITLE)
        return true;
    if (row == SEDQ_ROW_COLUMN_TITLES && setup)
    {
        if (column <= SEDQ_COLUMN_NAME)
            return draw_sunken_rect(column_span(SEDQ_COLUMN_TYPE, SEDQ_COLUMN_NAME, cell), painter);
        if (column == SEDQ_COLUMN_INCREMENTAL_ROUTE || column == SEDQ_COLUMN_DEBUG_PORT_OUT)
            return true;
        if (column == SEDQ_COLUMN_SQ_START || column == SEDQ_COLUMN_SQ_STOP)
            return draw_sunken_rect(column_span(SEDQ_COLUMN_SQ_START, SEDQ_COLUMN_SQ_STOP, cell), painter);
        if (sedq_is_level_column(column))
        {
            int levels = 0;
            m_tx_manager->get_trigger_level(&levels, SEDQ_CURRENT);
            const QRect span = column_span(SEDQ_COLUMN_FIRST_LEVEL, sedq_column_of_pattern(levels - 1), cell);
            if (sequential)
                return draw_sunken_rect(span, painter);
            const int half = (span.bottom() - span.top() + 1) / 2;
            draw_sunken_rect(sedq_inclusive(span.left(), span.top(), span.right(), span.top() + half),
                             painter);
            return draw_plain_rect(
                sedq_inclusive(cell.left(), cell.bottom() - half - 1, cell.right(), cell.bottom()), painter);
        }
        return draw_sunken_rect(cell, painter);
    }
    if (row == SEDQ_ROW_COLUMN_TITLES && data)
    {
        if (column <= SEDQ_COLUMN_NAME)
            return draw_sunken_rect(row2 > 0 ? column_span(SEDQ_COLUMN_TYPE, SEDQ_COLUMN_NAME, cell) : cell,
                                    painter);
        if (column == SEDQ_COLUMN_VALUE || column == SEDQ_COLUMN_WAVEFORM || row2 == 0)
            return draw_sunken_rect(cell, painter);
        return true;
    }
    if (row == SEDQ_ROW_LEVEL_HEADERS)
    {
        if (setup && (column == SEDQ_COLUMN_INCREMENTAL_ROUTE || column == SEDQ_COLUMN_DEBUG_PORT_OUT) &&
            row1 > 0)
            return draw_sunken_rect(cell.adjusted(0, -row1, 0, 0), painter);
        return draw_sunken_rect(cell, painter);
    }
    if (row < HEADER_ROWS)
        return draw_sunken_rect(cell, painter);
    if (column <= SEDQ_COLUMN_ALIAS)
        return selected ? draw_sunken_rect(cell, painter) : draw_raised_rect(cell, painter);
    if (column == SEDQ_COLUMN_WAVEFORM)
    {
        int depth = 0;
        m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
        if (depth != 0 && SEDQ_TX_MANAGER::m_cfg_show_horz_grid)
            sedq_draw_plain_frame(
                painter, sedq_inclusive(cell.left(), cell.top(), cell.right() - 1, cell.bottom() - 1),
                AFCQ_BRUSH(AFCQ_BRUSH_WAVEFORM_GRID).get_brush().color());
    }
    else
        draw_plain_rect(cell, painter);
    if (selected)
    {
        const QBrush fill = view_has_focus() ? QBrush(AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color())
                                             : AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush();
        painter->fillRect(
            sedq_inclusive(cell.left() + 1, cell.top() + 1, cell.right() - 2, cell.bottom() - 2), fill);
    }
    return true;
}

// ---- cell contents -------------------------------------------------------------------------------

SEDQ_PAINT_CONTEXT SEDQ_VIEW::make_paint_context(QPainter* painter)
{
    SEDQ_PAINT_CONTEXT context;
    context.painter = painter;
    context.setup_enabled = is_setup_enabled(true);
    context.trigger_enabled = is_trigger_enabled();
    context.powerup = m_tx_manager->is_powerup_trigger(-1);
    context.incremental = m_tx_manager->is_incremental_compile();
    context.sequential = m_tx_manager->is_sequential_mode(SEDQ_CURRENT);
    context.marks = m_tx_manager->has_invalid_marks();
    return context;
}

bool SEDQ_VIEW::draw_item(const SEDQ_PAINT_CONTEXT& paint, const SEDQ_PAINT_ROW& painted, int column,
                          QRect inner)
{
    const int row = painted.row;
    QPainter* painter = paint.painter;
    if (column < 0 || column >= COLUMN_COUNT)
        return false;
    if (row == SEDQ_ROW_TITLE)
    {
        // Row 0 is laid out from x = 0 and each title reaches the right edge: the lock-mode
        // title covers the title from column 5 on.
        if (column == SEDQ_COLUMN_TYPE)
            draw_title(inner, painter);
        else if (column == SEDQ_COLUMN_DATA_ENABLE && row_layout().get_signature().setup_mode)
            draw_lock_mode_title(inner, painter);
        else if (column == SEDQ_COLUMN_WAVEFORM)
            draw_timebars(inner, painter);
        return true;
    }
    if (row < HEADER_ROWS)
    {
        draw_header_row(paint, row, column, inner);
        return true;
    }
    if (column == SEDQ_COLUMN_INCREMENTAL_ROUTE || column == SEDQ_COLUMN_DEBUG_PORT_OUT)
        return false;
    if (column == SEDQ_COLUMN_VALUE || column == SEDQ_COLUMN_WAVEFORM)
    {
        draw_data_cell(sedq_node_of_row(row), painted, column, inner, painter);
        return true;
    }
    draw_node_cell(paint, sedq_node_of_row(row), column, inner, painted.selected);
    return true;
}

void SEDQ_VIEW::draw_header_row(const SEDQ_PAINT_CONTEXT& paint, int row, int column, QRect const& inner)
{
    QPainter* painter = paint.painter;
    const bool trigger_enabled = paint.trigger_enabled;
    const bool setup = row_layout().get_signature().setup_mode;
    const int row1 = get_row_height(SEDQ_ROW_COLUMN_TITLES);
    const int row2 = get_row_height(SEDQ_ROW_LEVEL_HEADERS);
    if (!setup)
    {
        if (row == SEDQ_ROW_COLUMN_TITLES && column <= SEDQ_COLUMN_NAME)
            draw_header(column, row2 > 0 ? SEDQ_ROW_COLUMN_TITLES : SEDQ_ROW_LEVEL_HEADERS,
                        row2 > 0 ? column_span(SEDQ_COLUMN_TYPE, SEDQ_COLUMN_NAME, inner) : inner, painter,
                        true, false, true);
        else
            draw_header(column, row, inner, painter, trigger_enabled, false, true);
        return;
    }
    if (row == SEDQ_ROW_LEVEL_HEADERS)
    {
        const QRect rect =
            (column == SEDQ_COLUMN_INCREMENTAL_ROUTE || column == SEDQ_COLUMN_DEBUG_PORT_OUT) && row1 > 0
                ? inner.adjusted(0, -row1, 0, 0)
                : inner;
        draw_header(column, SEDQ_ROW_LEVEL_HEADERS, rect, painter, trigger_enabled, paint.powerup, true);
        return;
    }
    if (column == SEDQ_COLUMN_INCREMENTAL_ROUTE || column == SEDQ_COLUMN_DEBUG_PORT_OUT)
        return;
    if (column <= SEDQ_COLUMN_NAME)
        draw_header(column, SEDQ_ROW_COLUMN_TITLES, column_span(SEDQ_COLUMN_TYPE, SEDQ_COLUMN_NAME, inner),
                    painter, true, false, true);
    else if (column == SEDQ_COLUMN_SQ_START || column == SEDQ_COLUMN_SQ_STOP)
        draw_header(column, SEDQ_ROW_COLUMN_TITLES,
                    column_span(SEDQ_COLUMN_SQ_START, SEDQ_COLUMN_SQ_STOP, inner), painter, true, false,
                    true);
    else if (column < SEDQ_COLUMN_FIRST_LEVEL)
        draw_header(column, SEDQ_ROW_COLUMN_TITLES, inner, painter, true, false, true);
    else
    {
        int levels = 0;
        m_tx_manager->get_trigger_level(&levels, SEDQ_CURRENT);
        const QRect span = column_span(SEDQ_COLUMN_FIRST_LEVEL, sedq_column_of_pattern(levels - 1), inner);
        if (paint.sequential)
        {
            draw_header(column, SEDQ_ROW_COLUMN_TITLES, span, painter, true, false, true);
            return;
        }
        const int half = (span.bottom() - span.top() + 1) / 2;
        draw_header(column, SEDQ_ROW_COLUMN_TITLES,
                    sedq_inclusive(span.left(), span.top(), span.right(), span.top() + half), painter, true,
                    false, true);
        draw_header(column, SEDQ_ROW_COLUMN_TITLES,
                    sedq_inclusive(inner.left(), inner.bottom() - half - 1, inner.right(), inner.bottom()),
                    painter, paint.setup_enabled, false, false);
    }
}
