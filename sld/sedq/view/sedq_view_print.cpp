// SEDQ_VIEW: printing — the print command, and the frames, header cells, type letters and node
// cells of a printed page. The page grid and the walk over a page's rows belong to
// SEDQ_VIEW_PRINTER; the waveform cells and the ruler to sedq_view_print_wave.cpp.
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_util.h"

#include "host/afcq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_drawing.h"
#include "sedq/view/sedq_view_printer.h"
#include "sedq/view/sedq_wave.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

#include <algorithm>

namespace
{

constexpr int MAX_PRINTED_MEMBERS = 128;
} // namespace

// The printer's pages are left to SEDQ_VIEW_PRINTER; a window without frame still prints.
void SEDQ_VIEW::on_print(QPrinter* printer)
{
    SEDQ_FRAME_WND* frame = m_frame_wnd;
    SEDQ_VERIFY(frame != NULL);
    if (printer == nullptr || m_tx_manager.isNull() || m_tx_manager->is_empty())
        return;
    SEDQ_VIEW_PRINTER(this, m_tx_manager).print(printer);
}

bool SEDQ_VIEW::print_rect(int row, int kind, QRect rect, QPainter* painter)
{
    painter->save();
    painter->setPen(QPen(Qt::black, 1, Qt::SolidLine));
    const bool shaded = row == SEDQ_ROW_TITLE || kind == 0 || kind == 1;
    if (shaded)
    {
        const QRect shade =
            sedq_inclusive(rect.left() + 1, rect.top() + 1, rect.right() - 2, rect.bottom() - 2);
        const QBrush fill = AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush();
        qDrawShadeRect(painter, shade, QPalette(), row == SEDQ_ROW_TITLE, 1, 0, &fill);
    }
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(
        sedq_inclusive(rect.left(), rect.top(), rect.right() - 1, rect.bottom() - 1).adjusted(0, 0, -1, -1));
    painter->restore();
    return true;
}

bool SEDQ_VIEW::print_item(int row, int column, QRect rect, QPainter* painter, int first_sample,
                           int end_sample)
{
    if (row == SEDQ_ROW_TITLE)
        return print_header(column, rect, painter, first_sample, end_sample);
    if (row < HEADER_ROWS)
        return false;
    if (column == SEDQ_COLUMN_ROW_NUMBER)
    {
        painter->drawText(rect, Qt::AlignCenter, QString::number(sedq_node_of_row(row)));
        return true;
    }
    const int node = sedq_node_of_row(row);
    if (node >= m_tx_manager->get_node_count(SEDQ_CURRENT))
        return false;
    SDR_DATA_NODE_DISPLAY_TYPE display = SDR_NTYPE_STANDALONE;
    QString name;
    QString alias;
    SDR_DATA_SIGNAL_TYPE type = SDR_STYPE_PLAIN;
    bool data_enabled = false;
    bool trigger_enabled = false;
    if (!m_tx_manager->get_node(node, &display, &name, &type, &alias, nullptr, &data_enabled,
                                &trigger_enabled, 0, nullptr))
        return false;
    const bool single = !sedq_is_group_display(display);
    switch (column)
    {
    case SEDQ_COLUMN_TYPE:
        return print_type(type, !single, rect, painter);
    case SEDQ_COLUMN_ALIAS:
        return draw_in(alias, rect, painter);
    case SEDQ_COLUMN_NAME:
    {
        // A printout marks post-fitting names whatever the compile mode.
        SEDQ_PAINT_CONTEXT paint = make_paint_context(painter);
        paint.incremental = true;
        return draw_name(name, node, display, false, paint, rect);
    }
    case SEDQ_COLUMN_DATA_ENABLE:
    case SEDQ_COLUMN_TRIGGER_ENABLE:
        return single && draw_checkbox(column == SEDQ_COLUMN_DATA_ENABLE ? data_enabled : trigger_enabled,
                                       rect, painter, false, true, false, false, false);
    case SEDQ_COLUMN_WAVEFORM:
        break;
    default:
        if (sedq_is_level_column(column) && single)
        {
            SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DISABLED;
            m_tx_manager->get_node(node, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   sedq_pattern_of_column(column), &condition);
            return draw_trigger(condition, rect, painter, true, false, false);
        }
        return false;
    }
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    if (single)
    {
        SEDQ_WAVE wave(depth);
        if (wave.is_valid() && depth > 0 &&
            m_tx_manager->get_wave(node, wave.get_data(), -1, false, SEDQ_CURRENT))
            return print_wave(wave.get_data(), rect, painter, first_sample, end_sample);
        return print_unknown_wave(rect, painter);
    }
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    int members = 0;
    while (members < MAX_PRINTED_MEMBERS && node + 1 + members < count && is_child_item(node + 1 + members))
        ++members;
    SEDQ_BUS bus(members, depth);
    bool read = members > 0 && depth > 0 && bus.is_valid();
    for (int member = 0; read && member < members; ++member)
        read = m_tx_manager->get_wave(node + 1 + member, bus.get_row(member), -1, false, SEDQ_CURRENT);
    if (!read)
        return print_unknown_wave(rect, painter);
    return print_bus(node, bus, members, rect, painter, first_sample, end_sample);
}

// A segmented acquisition gets both rulers, the segments above the times.
bool SEDQ_VIEW::print_header(int column, QRect rect, QPainter* painter, int first_sample, int end_sample)
{
    const char* title = nullptr;
    switch (column)
    {
    case SEDQ_COLUMN_TYPE:
        title = "Type";
        break;
    case SEDQ_COLUMN_ALIAS:
        title = "Alias";
        break;
    case SEDQ_COLUMN_NAME:
        title = "Name";
        break;
    case SEDQ_COLUMN_DEBUG_PORT_OUT:
        title = "Pattern";
        break;
    case SEDQ_COLUMN_ROW_NUMBER:
        title = "Row";
        break;
    case SEDQ_COLUMN_WAVEFORM:
        break;
    default:
        return false;
    }
    if (title != nullptr)
    {
        painter->drawText(rect, Qt::AlignCenter, QString::fromLatin1(title));
        return true;
    }
    const int segment_size = m_tx_manager->get_data_segment_size();
    if (segment_size > 0 && m_tx_manager->is_segmented_acquisition_enabled(SEDQ_CURRENT))
    {
        const int middle = (rect.top() + rect.bottom()) / 2;
        const QRect upper = sedq_inclusive(rect.left(), rect.top(), rect.right(), middle);
        const QRect lower = sedq_inclusive(rect.left(), middle, rect.right(), rect.bottom());
        print_rect(0, 23, upper, painter);
        print_wave_header(upper, painter, first_sample, end_sample, true);
        print_rect(0, 23, lower, painter);
        return print_wave_header(lower, painter, first_sample, end_sample, false);
    }
    return print_wave_header(rect, painter, first_sample, end_sample, segment_size != 0);
}

// A group shows its members' letter twice ("II" for a group of input pins).
bool SEDQ_VIEW::print_type(SDR_DATA_SIGNAL_TYPE type, bool is_parent, QRect rect, QPainter* painter)
{
    static const struct
    {
        SDR_DATA_SIGNAL_TYPE type;
        char letter;
    } letters[] = {{SDR_STYPE_INPUT_PIN, 'I'}, {SDR_STYPE_OUTPUT_PIN, 'O'}, {SDR_STYPE_BIDIR_PIN, 'B'},
                   {SDR_STYPE_MEMORY, 'M'},    {SDR_STYPE_REGISTERED, 'R'}, {SDR_STYPE_COMBINATIONAL, 'C'},
                   {SDR_STYPE_MACHINE, 'S'}};
    for (const auto& entry : letters)
    {
        if (entry.type != type)
            continue;
        const QString letter(QLatin1Char(entry.letter));
        painter->drawText(rect, Qt::AlignCenter, is_parent ? letter + letter : letter);
        return true;
    }
    return false;
}

bool SEDQ_VIEW::print_unknown_wave(QRect rect, QPainter* painter)
{
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    if (depth <= 0 || rect.right() - rect.left() <= 1)
        return false;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(Qt::black, Qt::DiagCrossPattern));
    painter->drawRect(sedq_inclusive(rect.left() + 1, rect.top() + 1, rect.right() - 1, rect.bottom() - 4));
    painter->restore();
    return true;
}
