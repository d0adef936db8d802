// SEDQ_VIEW: rows and columns of the node table — heights, widths, rectangles, hit tests and
// the column widths kept in the document. Row heights are laid out once per model update
// (SEDQ_ROW_LAYOUT); every query reads that layout.
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_util.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_drawing.h"
#include "sedq/view/sedq_hidden_by_hierarchy.h"

#include <QScrollBar>

#include <algorithm>

namespace
{
constexpr int HEADER_ROW_HEIGHT = 20;
constexpr int TITLE_ROW_HEIGHT = 23;
constexpr int TITLE_ROW_HEIGHT_WITH_TIMEBARS = 38;
constexpr int MIN_COLUMN_WIDTH = 10;
// Widths read from a document outside this range are damage, not a user's choice.
constexpr int MAX_COLUMN_WIDTH = 100000;
const char* const COLUMN_WIDTH_KEY = "column width";

bool is_chart(SDR_DATA_GROUP_DISPLAY_TYPE type)
{
    return type >= SDR_GTYPE_CHART_8 && type <= SDR_GTYPE_CHART_11;
}
} // namespace

// ---- the cached layout -------------------------------------------------------------------------

void SEDQ_VIEW::invalidate_row_layout()
{
    m_row_layout.clear();
}

SEDQ_ROW_LAYOUT::SIGNATURE SEDQ_VIEW::layout_signature()
{
    SEDQ_ROW_LAYOUT::SIGNATURE signature;
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    if (!tx->is_empty())
    {
        const SDR_TX_SIGNAL_NODES* nodes = tx->get_nodes(SEDQ_CURRENT);
        signature.nodes = nodes;
        signature.node_count = nodes != nullptr ? nodes->get_num_nodes() : 0;
    }
    signature.data_mode = tx->is_data_mode(SEDQ_CURRENT);
    signature.setup_mode = tx->is_setup_mode();
    signature.advanced_mode = tx->is_advanced_mode(&signature.advanced_level);
    signature.line_spacing = SEDQ_TX_MANAGER::m_cfg_inter_line_spacing;
    SEDQ_LAYOUT_WIDGET* layout = m_frame_wnd != nullptr ? m_frame_wnd->get_layout_widget() : nullptr;
    signature.hierarchy = layout != nullptr ? layout->get_hierarchy_widget() : nullptr;
    signature.timebar_count = m_timebar_count;
    return signature;
}

const SEDQ_ROW_LAYOUT& SEDQ_VIEW::row_layout()
{
    if (m_layout_frozen && m_row_layout.is_valid())
        return m_row_layout;
    const SEDQ_ROW_LAYOUT::SIGNATURE signature = layout_signature();
    if (m_row_layout.is_valid_for(signature))
        return m_row_layout;
    int headers[SEDQ_ROW_LAYOUT::HEADER_ROWS];
    headers[1] = compute_header_height(1, signature);
    headers[2] = compute_header_height(2, signature);
    headers[0] = 0;
    // Row 0 grows for the time-bar labels only when rows 1 and 2 are both shown.
    headers[0] = signature.data_mode && headers[1] > 0 && headers[2] > 0 && m_timebar_count > 0
                     ? TITLE_ROW_HEIGHT_WITH_TIMEBARS
                     : TITLE_ROW_HEIGHT;
    std::vector<int> heights(size_t(signature.node_count), 0);
    const int base = SEDQ_TX_MANAGER::m_cfg_inter_line_spacing + HEADER_ROW_HEIGHT;
    const auto* nodes = static_cast<const SDR_TX_SIGNAL_NODES*>(signature.nodes);
    SEDQ_HIDDEN_BY_HIERARCHY hidden_by_hierarchy(
        static_cast<SEDQ_HIERARCHY_WIDGET*>(const_cast<void*>(signature.hierarchy)));
    const bool wizard = m_tx_manager->is_wizard_mode();
    for (int node = 0; node < signature.node_count; ++node)
    {
        const bool hidden = !wizard && hidden_by_hierarchy(nodes->get_node_name(node));
        heights[size_t(node)] = hidden ? 0 : compute_node_height(node, signature, base);
    }
    bool shown[SEDQ_ROW_LAYOUT::COLUMN_COUNT];
    compute_column_shown(signature, shown);
    m_row_layout.set(signature, headers, std::move(heights), shown);
    return m_row_layout;
}

int SEDQ_VIEW::compute_header_height(int row, const SEDQ_ROW_LAYOUT::SIGNATURE& signature)
{
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    if (row == SEDQ_ROW_COLUMN_TITLES)
    {
        if (signature.setup_mode)
            return tx->is_sequential_mode(SEDQ_CURRENT) ? HEADER_ROW_HEIGHT : 2 * HEADER_ROW_HEIGHT;
        if (!signature.data_mode)
            return 0;
        if (tx->get_data_segment_size() < 1)
        {
            QString type;
            const bool shown = tx->get_storage_qualifier_type(&type, SEDQ_CURRENT) &&
                               type != QLatin1String("Continuous") &&
                               tx->is_record_data_discontinuities_enabled(SEDQ_CURRENT);
            return shown ? HEADER_ROW_HEIGHT : 0;
        }
        int position = 0;
        return tx->get_trigger_position(&position, SEDQ_CURRENT) ? HEADER_ROW_HEIGHT : 0;
    }
    // Row 2: a segment size of exactly one leaves no samples to number, only segments.
    if (signature.data_mode && tx->get_data_segment_size() == 1 && compute_header_height(1, signature) > 0)
        return 0;
    return HEADER_ROW_HEIGHT;
}

// The height of a node the hierarchy pane shows.
int SEDQ_VIEW::compute_node_height(int node, const SEDQ_ROW_LAYOUT::SIGNATURE& signature, int base)
{
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    const SDR_TX_SIGNAL_NODES* nodes = static_cast<const SDR_TX_SIGNAL_NODES*>(signature.nodes);
    const bool member = nodes->is_group_member_node(node);
    if (member && nodes->is_any_parent_not_visible(node))
        return 0;
    int height = base;
    const SDR_DATA_NODE_DISPLAY_TYPE display = nodes->get_node_display_type(node);
    if (!member && signature.data_mode && sedq_is_group_display(display))
    {
        SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
        if (!tx->get_node_group_display_type(node, &type))
            SEDQ_REPORT("this->m_tx_manager->get_node_group_display_type(ROW_TO_NODE(nRow), &type)");
        else if (is_chart(type))
            height = 3 * base;
    }
    if (signature.advanced_mode)
    {
        const bool hidden = signature.advanced_level < 0 ? tx->is_node_hidden_in_storage_qualifier_mode(node)
                                                         : tx->is_node_hidden_in_advanced_mode(node);
        if (hidden)
            return 0;
    }
    return height;
}

void SEDQ_VIEW::compute_column_shown(const SEDQ_ROW_LAYOUT::SIGNATURE& signature, bool* shown)
{
    std::fill(shown, shown + COLUMN_COUNT, false);
    shown[0] = shown[1] = shown[2] = true;
    if (signature.data_mode)
    {
        shown[22] = m_timebar_count > 0;
        shown[23] = true;
        return;
    }
    if (!signature.setup_mode || m_tx_manager->is_empty())
    {
        shown[5] = shown[6] = signature.setup_mode;
        return;
    }
    shown[5] = shown[6] = true;
    QString type;
    if (m_tx_manager->get_storage_qualifier_type(&type, SEDQ_CURRENT))
    {
        shown[7] = type == QLatin1String("Transitional") || type == QLatin1String("Conditional") ||
                   type == QLatin1String("Start/Stop");
        shown[8] = type == QLatin1String("Transitional");
        shown[9] = type == QLatin1String("Conditional");
        shown[10] = shown[11] = type == QLatin1String("Start/Stop");
    }
    int levels = 0;
    m_tx_manager->get_trigger_level(&levels, SEDQ_CURRENT);
    for (int level = 0; level < std::min(levels, 10); ++level)
        shown[12 + level] = true;
}

// ---- rows and columns --------------------------------------------------------------------------

int SEDQ_VIEW::get_row_height(int row)
{
    return row_layout().get_row_height(row);
}

// The waveform column takes what the other columns leave; never less than nothing, however
// narrow the view.
int SEDQ_VIEW::waveform_column_width()
{
    if (get_column_offset() != 0)
        return 0;
    int width = this->width() - 1;
    for (int column : {0, 1, 2, 4, 5, 22})
        width -= get_column_width(column);
    if (!m_vertical_scroll_bar->isHidden())
        width -= m_vertical_scroll_bar->sizeHint().width();
    return std::max(width, 0);
}

int SEDQ_VIEW::get_column_width(int column)
{
    if (!row_layout().is_column_shown(column))
        return 0;
    return column == SEDQ_COLUMN_WAVEFORM ? waveform_column_width() : m_column_widths[column];
}

int SEDQ_VIEW::get_column_offset()
{
    return m_horizontal_scrolling ? -get_scroll_pos(Qt::Horizontal) : 0;
}

int SEDQ_VIEW::calculate_needed_vertical_pixels()
{
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int total = 0;
    for (int row = 0; row < SEDQ_ROW_LAYOUT::HEADER_ROWS; ++row)
        total += layout.get_row_height(row);
    total += layout.get_shown_offset(layout.get_shown_count());
    return total + (total > 0 ? 1 : 0) + 18;
}

void SEDQ_VIEW::get_scroll_range(Qt::Orientation orientation, int* min, int* max)
{
    const QScrollBar* bar = orientation == Qt::Horizontal ? m_horizontal_scroll_bar : m_vertical_scroll_bar;
    *min = bar->minimum();
    *max = bar->maximum();
}

// ---- column widths kept in the document ----------------------------------------------------------

int SEDQ_VIEW::set_column_width(int column, QPoint pos, bool relayout_only)
{
    int width = 0;
    if (!relayout_only && column >= 0 && column < STORED_COLUMN_COUNT)
    {
        int left = get_column_offset();
        for (int before = 0; before < column; ++before)
            left += get_column_width(before);
        width = std::max(pos.x() - left, MIN_COLUMN_WIDTH);
        m_column_widths[column] = width;
        save_column_widths();
    }
    send_resize_event();
    return width;
}

void SEDQ_VIEW::save_column_widths()
{
    const SDR_TX_SESSION* sdr_tx_session = m_tx_manager->get_tx_session();
    if (!SEDQ_VERIFY(sdr_tx_session != NULL))
        return;
    m_tx_manager->set_int_state(COLUMN_WIDTH_KEY, m_column_widths, STORED_COLUMN_COUNT);
}

// A stored width outside any sensible range keeps the width the view had.
bool SEDQ_VIEW::load_column_widths()
{
    const SDR_TX_SESSION* session = m_tx_manager->get_tx_session();
    if (session == nullptr)
        return false;
    int stored[SDR_GLOBAL_DATA_CAPACITY];
    const int count = session->get_global_data(COLUMN_WIDTH_KEY, stored, SDR_GLOBAL_DATA_CAPACITY);
    if (count == -1)
        return false;
    for (int column = 0; column < std::min(count, int(STORED_COLUMN_COUNT)); ++column)
        if (stored[column] >= 0 && stored[column] <= MAX_COLUMN_WIDTH)
            m_column_widths[column] = stored[column];
    m_widths_not_loaded = false;
    return true;
}

// ---- rectangles ----------------------------------------------------------------------------------

bool SEDQ_VIEW::get_item_rect(int row, int column, QRect* rect)
{
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    const int height = layout.get_row_height(row);
    const int width = get_column_width(column);
    if (height == 0 || width == 0)
        return false;
    int y = 0;
    if (row < SEDQ_ROW_LAYOUT::HEADER_ROWS)
    {
        for (int above = 0; above < row; ++above)
            y += layout.get_row_height(above);
    }
    else
    {
        const int scroll = get_scroll_pos(Qt::Vertical);
        const int shown = layout.get_shown_index(sedq_node_of_row(row));
        if (shown < scroll)
            return false;
        y = layout.get_header_height() + layout.get_shown_offset(shown) - layout.get_shown_offset(scroll);
    }
    int x = get_column_offset();
    for (int before = 0; before < column; ++before)
        x += get_column_width(before);
    *rect = QRect(QPoint(x, y), QPoint(x + width + 1, y + height + 1));
    return true;
}

bool SEDQ_VIEW::get_name_item_rect(int node, QRect* rect)
{
    return get_item_rect(sedq_row_of_node(node), SEDQ_COLUMN_NAME, rect);
}

void SEDQ_VIEW::get_column_rect(int column, QRect* rect)
{
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int x = get_column_offset();
    for (int before = 0; before < column; ++before)
        x += get_column_width(before);
    const int top = layout.get_row_height(SEDQ_ROW_TITLE) + layout.get_row_height(SEDQ_ROW_COLUMN_TITLES) +
                    2 + layout.get_row_height(SEDQ_ROW_LEVEL_HEADERS) + 1;
    *rect = QRect(QPoint(x, top), QPoint(x + get_column_width(column) + 1, height() - 1));
}

// The same walk as the paint's: header rows, then shown node rows from the scroll position,
// until the rows reach below the rectangle; the row that crosses its bottom counts.
int SEDQ_VIEW::count_visible_nodes(QRect const& rect)
{
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int y = 0;
    for (int row = 0; row < HEADER_ROWS; ++row)
    {
        y += layout.get_row_height(row);
        if (y > rect.bottom())
            return 0;
    }
    int visible = 0;
    for (int shown = get_scroll_pos(Qt::Vertical); shown < layout.get_shown_count() && y <= rect.bottom();
         ++shown)
    {
        visible = shown + 1;
        y += layout.get_row_height(layout.get_shown_node(shown) + HEADER_ROWS);
    }
    return visible;
}

// ---- hit testing -----------------------------------------------------------------------------------

bool SEDQ_VIEW::find_item(const QPoint& point, int* row, int* column, QRect* rect)
{
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int hit_row = -1;
    int y = 0;
    for (int header = 0; header < SEDQ_ROW_LAYOUT::HEADER_ROWS && hit_row < 0; ++header)
    {
        const int height = layout.get_row_height(header);
        if (height > 0 && y + height + 1 >= point.y())
            hit_row = header;
        else
            y += height;
    }
    const int scroll = get_scroll_pos(Qt::Vertical);
    if (hit_row < 0)
    {
        const int shown = layout.find_shown_row(scroll, point.y() - layout.get_header_height());
        if (shown < layout.get_shown_count())
        {
            hit_row = layout.get_shown_node(shown) + HEADER_ROWS;
            y = layout.get_header_height() + layout.get_shown_offset(shown) - layout.get_shown_offset(scroll);
        }
    }
    if (hit_row >= 0)
    {
        const int height = layout.get_row_height(hit_row);
        int x = get_column_offset();
        for (int c = 0; c < COLUMN_COUNT; ++c)
        {
            const int width = get_column_width(c);
            if (width == 0)
                continue;
            if (x + width + 1 >= point.x())
            {
                *row = hit_row;
                *column = c;
                if (rect != nullptr)
                    *rect = QRect(QPoint(x, y), QPoint(x + width + 1, y + height + 1));
                return true;
            }
            x += width;
        }
    }
    *row = layout.get_node_count() + HEADER_ROWS;
    return false;
}

int SEDQ_VIEW::find_item(const QPoint& point, bool strict)
{
    int row = 0;
    int column = 0;
    if (find_item(point, &row, &column, nullptr))
        return sedq_node_of_row(row);
    return strict ? -1 : row_layout().get_node_count();
}

bool SEDQ_VIEW::hit_test(int row, int column, const QPoint& point, const QRect& cell)
{
    const int cy = (cell.top() + cell.bottom()) / 2;
    if (row >= HEADER_ROWS && column == SEDQ_COLUMN_NAME)
    {
        const int left = cell.left() + m_tx_manager->get_node_depth(sedq_node_of_row(row)) * 30 + 5;
        return QRect(QPoint(left, cy - 5), QPoint(left + 10, cy + 5)).contains(point);
    }
    if (row >= HEADER_ROWS && (column == SEDQ_COLUMN_INCREMENTAL_ROUTE ||
                               (column >= SEDQ_COLUMN_DATA_ENABLE && column <= SEDQ_COLUMN_TRANSITIONAL)))
    {
        QRect box(QPoint((cell.left() + cell.right()) / 2, cy), QSize(0, 0));
        sedq_inflate_rect(&box, 6, 6);
        return box.contains(point);
    }
    if (row == SEDQ_ROW_LEVEL_HEADERS && sedq_is_level_column(column))
    {
        QRect box = cell.adjusted(2, 2, -2, -2);
        draw_pattern_header(sedq_pattern_of_column(column), &box, nullptr, true, false, false);
        return box.contains(point);
    }
    return false;
}
