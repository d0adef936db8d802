// SEDQ_VIEW: the data cells of a node row — the value at the master time bar (column 22) and the
// waveform, band or chart (column 23) — with the samples each reads, and the headers of both
// columns. Waveform cells read the log's summary rows; the value column reads three samples.
#include "sedq/view/sedq_view.h"
#include "sedq/view/sedq_drawing.h"

#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_wave.h"

#include <QPainter>

#include <algorithm>

namespace
{
// Charts plot at most this many members.
constexpr int CHART_MEMBERS = 25;

bool is_chart(int type)
{
    return type >= SDR_GTYPE_CHART_8 && type <= SDR_GTYPE_CHART_11;
}

} // namespace

SEDQ_SAMPLE_STEPS SEDQ_VIEW::window_steps(QRect const& rect)
{
    const int depth = get_data_depth();
    const SEDQ_TIME_AXIS axis = get_time_axis().clamped(depth);
    SEDQ_SAMPLE_STEPS steps;
    steps.begin = axis.first;
    steps.end = axis.last;
    steps.depth = depth;
    steps.left = rect.left();
    steps.step = axis.pixels_per_sample;
    steps.starts_at_data = axis.first == 0;
    return steps;
}

// The one sample at the master time bar across the whole cell.
SEDQ_SAMPLE_STEPS SEDQ_VIEW::value_steps(QRect const& rect)
{
    SEDQ_SAMPLE_STEPS steps;
    steps.begin = m_timebar_count > 0 ? m_timebars[0] : 0;
    steps.end = steps.begin + 1;
    steps.depth = get_data_depth();
    steps.left = rect.left();
    steps.step = rect.right() - rect.left();
    return steps;
}

// Without samples only the topmost node row's waveform cell says why.
void SEDQ_VIEW::draw_data_cell(int node, const SEDQ_PAINT_ROW& painted, int column, QRect const& inner,
                               QPainter* painter)
{
    const bool selected = painted.selected;
    if (get_data_depth() <= 0 || !m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr))
    {
        if (column == SEDQ_COLUMN_WAVEFORM && painted.first_visible)
            draw_zero_sample_wave(inner, painter);
        return;
    }
    if (column == SEDQ_COLUMN_VALUE)
        draw_value_cell(node, inner, painter, selected);
    else if (SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).is_parent())
        draw_group_cell(node, inner, painter, selected);
    else
        draw_signal_cell(node, inner, painter, selected);
}

// A node's summary, walked by pixel columns zoomed out and sample by sample zoomed in.
void SEDQ_VIEW::draw_signal_cell(int node, QRect const& inner, QPainter* painter, bool selected)
{
    if (const SEDQ_WAVE_SUMMARY::NODE_ROWS* rows = m_wave_summary.get_node(m_tx_manager, node))
        draw_wave_columns(*rows, selected, inner, painter);
}

void SEDQ_VIEW::draw_group_cell(int node, QRect const& inner, QPainter* painter, bool selected)
{
    const int count = m_tx_manager->get_wave_count(sedq_row_of_node(node));
    if (count < 1)
        return;
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    bool lsb_to_msb = false;
    if (!m_tx_manager->get_node_group_display_type(node, &type))
    {
        SEDQ_REPORT("this->m_tx_manager->get_node_group_display_type(ROW_TO_NODE(nRow), &type)");
        return;
    }
    if (!m_tx_manager->get_node_lsb_to_msb(node, &lsb_to_msb))
    {
        SEDQ_REPORT("this->m_tx_manager->get_node_lsb_to_msb(ROW_TO_NODE(nRow), &lsb_to_msb)");
        return;
    }
    std::vector<int> members;
    for (int k = 0; k < count; ++k)
        members.push_back(node + 1 + k);
    if (is_chart(type))
    {
        if (lsb_to_msb)
            std::reverse(members.begin(), members.end());
        members.resize(std::min(int(members.size()), CHART_MEMBERS));
        draw_chart_cell(node, type, members, inner, painter, selected);
        return;
    }
    if (m_tx_manager->is_grandparent(node))
        return;
    const SEDQ_WAVE_SUMMARY::BUS_ROWS* rows = m_wave_summary.get_bus(m_tx_manager, node, members, lsb_to_msb);
    if (rows != nullptr)
        draw_bus_rows(node, *rows, selected, inner, painter);
}

bool SEDQ_VIEW::draw_chart_cell(int node, int type, std::vector<int> const& members, QRect const& inner,
                                QPainter* painter, bool selected)
{
    const bool is_signed = type == SDR_GTYPE_CHART_10 || type == SDR_GTYPE_CHART_11;
    const SEDQ_WAVE_SUMMARY::CHART_ROWS* rows =
        m_wave_summary.get_chart(m_tx_manager, node, members, is_signed);
    return rows != nullptr &&
           draw_chart(type, rows, nullptr, nullptr, int(members.size()), selected, inner, painter);
}

// The three samples around the master time bar, read as they are.
void SEDQ_VIEW::draw_value_cell(int node, QRect const& inner, QPainter* painter, bool selected)
{
    if (!SEDQ_VERIFY(this->m_timebar_count > 0))
        return;
    const int master = m_timebars[0];
    if (master < 0 || master >= get_data_depth())
        return;
    SEDQ_WAVE_MASK mask(3);
    if (!mask.is_valid() || !m_tx_manager->get_wave_mask(mask.get_data(), master, false, SEDQ_CURRENT))
        return;
    if (!SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).is_parent())
    {
        SEDQ_WAVE wave(3);
        if (wave.is_valid() && m_tx_manager->get_wave(node, wave.get_data(), master, false, SEDQ_CURRENT))
            draw_wave(wave.get_data(), mask.get_data(), selected, inner, painter, SEDQ_COLUMN_VALUE);
        return;
    }
    const int count = m_tx_manager->get_wave_count(sedq_row_of_node(node));
    if (count < 1)
        return;
    SEDQ_BUS bus(count, 3);
    if (!bus.is_valid())
        return;
    for (int k = 0; k < count; ++k)
        if (!m_tx_manager->get_wave(node + 1 + k, bus.get_row(k), master, false, SEDQ_CURRENT))
            return;
    draw_bus(node, bus, mask.get_data(), selected, inner, painter, SEDQ_COLUMN_VALUE);
}

// ---- headers of the data columns -------------------------------------------------------------------

// The master's label, then the title in the room left beside the labels it can have.
void SEDQ_VIEW::draw_value_header(QRect const& rect, QPainter* painter, int row)
{
    const int depth = get_data_depth();
    if (depth <= 0 || m_timebar_count == 0 || m_timebars[0] < 0 || m_timebars[0] > depth)
        return;
    draw_wave_header(rect, painter, SEDQ_COLUMN_VALUE, row);
    painter->setFont(AFCQ_FONT(AFCQ_FONT_SAMPLE_NUMBER).get_font());
    const auto label_width = [this, painter, row]()
    {
        QString first;
        QString second;
        get_timebar_string(0, &first, &second);
        const QRect bounds = painter->fontMetrics().boundingRect(
            row == SEDQ_ROW_COLUMN_TITLES && get_row_height(SEDQ_ROW_LEVEL_HEADERS) > 0 ? second : first);
        return bounds.right() - bounds.left();
    };
    const int left = rect.left() + 2 + label_width();
    ++m_timebars[0];
    const int right = rect.right() - (label_width() + 1);
    --m_timebars[0];
    const QString title = row == SEDQ_ROW_COLUMN_TITLES && get_row_height(SEDQ_ROW_COLUMN_TITLES) > 0 &&
                                  get_row_height(SEDQ_ROW_LEVEL_HEADERS) > 0
                              ? QStringLiteral("Segment")
                              : QStringLiteral("Value");
    // The title stands between the label and the room a next label would take; where that is too
    // narrow for it (times are wide labels) it takes the room up to the column's edge, and where
    // even that is too narrow it is left out: drawn anyway it would cover the label.
    painter->save();
    painter->setFont(AFCQ_FONT(AFCQ_FONT_COLUMN_HEADER).get_font());
    const int title_width = painter->fontMetrics().boundingRect(title).width();
    painter->restore();
    for (const int end : {right, rect.right() - 1})
        if (end - left + 1 >= title_width)
        {
            draw_column_text(sedq_inclusive(left, rect.top(), end, rect.bottom()), painter, title, QColor());
            return;
        }
}
