// SEDQ_VIEW: the three header rows of the node table — the title row with the lock-mode title,
// the column titles and, per trigger level, its name, number and enable box.
#include "sedq/view/sedq_view.h"
#include "sedq/view/sedq_drawing.h"

#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QFontMetrics>
#include <QPainter>

namespace
{

// Titles of header rows 1 and 2 by column; null: drawn otherwise or not at all.
struct COLUMN_TITLES
{
    const char* row1;
    const char* row2;
};

const COLUMN_TITLES TITLES[] = {
    {"Node", "Type"},
    {"Node", "Alias"},
    {"Node", "Name"},
    {"Incremental\nRoute", "Incremental\nRoute"},
    {"Debug Port\nOut", "Debug Port\nOut"},
    {"Data Enable", nullptr},
    {"Trigger Enable", nullptr},
    {"Storage Enable", nullptr},
    {"Storage Qualifier", "Transitional"},
    {"Storage Qualifier", nullptr},
    {"Storage Qualifier", nullptr},
    {"Storage Qualifier", nullptr},
};
} // namespace

// The rectangle spans from the left of the cell to the right edge of the view.
bool SEDQ_VIEW::draw_title(QRect rect, QPainter* painter)
{
    painter->save();
    const QRect title = sedq_inclusive(rect.left() - 2, rect.top() - 2, width() - 1, rect.bottom());
    painter->fillRect(title, AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush());
    painter->fillRect(title.adjusted(0, 0, 0, -1), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    QString text;
    if (m_tx_manager->is_advanced_mode(nullptr))
        text = QStringLiteral("Node List:");
    else
    {
        if (m_tx_manager->is_data_mode(SEDQ_CURRENT))
            text = QString::fromLocal8Bit(m_tx_manager->get_log());
        for (const char* name :
             {m_tx_manager->get_trigger(), m_tx_manager->get_signal_set(), m_tx_manager->get_instance()})
            if (text.isEmpty())
                text = QString::fromLocal8Bit(name);
        if (text.isEmpty())
            m_tx_manager->get_top_entity_name(&text);
    }
    painter->setFont(AFCQ_FONT(AFCQ_FONT_WINDOW_TITLE).get_font());
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("   ") + text);
    painter->restore();
    return true;
}

bool SEDQ_VIEW::draw_lock_mode_title(QRect const& rect, QPainter* painter)
{
    painter->save();
    QRect title = sedq_inclusive(rect.left() - 2, rect.top() - 2, width() - 1, rect.bottom());
    painter->fillRect(title.adjusted(0, 0, 0, -1), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    painter->setPen(AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush().color());
    painter->drawLine(title.left(), title.top(), title.left(), rect.bottom());
    title.setLeft(title.left() + 6);
    painter->setPen(AFCQ_PEN(AFCQ_PEN_TEXT).get_pen());
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lock mode:"));
    painter->restore();
    return true;
}

// The colour argument does not change the title colour: every column title has the same.
bool SEDQ_VIEW::draw_column_text(QRect const& rect, QPainter* painter, QString const& text, QColor)
{
    painter->save();
    painter->setPen(AFCQ_COLOR(AFCQ_COLOR_COLUMN_HEADER).get_color());
    painter->setFont(AFCQ_FONT(AFCQ_FONT_COLUMN_HEADER).get_font());
    painter->drawText(rect, Qt::AlignCenter, text);
    painter->restore();
    return true;
}

bool SEDQ_VIEW::draw_condition_header(QString const& name, QRect const& rect, QPainter* painter, bool enabled)
{
    painter->save();
    if (!enabled)
        painter->fillRect(sedq_inclusive(rect.left() - 1, rect.top() - 1, rect.right(), rect.bottom()),
                          AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    painter->setPen(SEDQ_CONDITION_NAME_PEN);
    painter->drawText(rect, Qt::AlignCenter, name);
    painter->restore();
    return true;
}

// Without a painter (geometry_only) it only measures: the enable box's rectangle goes back in
// `rect`, which is how the hit test finds the box.
bool SEDQ_VIEW::draw_pattern_header(int level, QRect* rect, QPainter* painter, bool geometry_only,
                                    bool enabled, bool powerup)
{
    const QFont font = AFCQ_FONT(AFCQ_FONT_COLUMN_HEADER).get_font();
    QRect text_rect = rect->adjusted(2, 0, 2, 0);
    if (painter != nullptr)
    {
        painter->save();
        painter->setFont(font);
    }
    const bool sequential = m_tx_manager->is_sequential_mode(SEDQ_CURRENT);
    bool drawn = true;
    if (sequential && m_tx_manager->is_segmented_acquisition_trigger(level) &&
        !m_tx_manager->is_zero_sample_depth())
    {
        if (geometry_only)
            *rect = sedq_inclusive(0, 0, -1, -1);
        else if (painter != nullptr)
            painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Seg"));
    }
    else
    {
        const QString number = QString::number(level + 1);
        const QRect bounds = QFontMetrics(font).boundingRect(number);
        text_rect.setRight(text_rect.left() + bounds.right() - bounds.left());
        const QRect box = sedq_inclusive(text_rect.right() + 2, text_rect.top() - 2, text_rect.right() + 19,
                                         text_rect.bottom() + 1);
        if (geometry_only)
            *rect = box;
        else if (painter != nullptr)
        {
            painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter, number);
            const bool checked = m_tx_manager->is_pattern_enabled(level);
            drawn = draw_checkbox(checked, box, painter, false, sequential && enabled, false, powerup, false);
        }
    }
    if (painter != nullptr)
        painter->restore();
    return drawn;
}

bool SEDQ_VIEW::draw_storage_qualifier_header(int column, QRect const& rect, QPainter* painter)
{
    painter->save();
    painter->setPen(AFCQ_COLOR(AFCQ_COLOR_COLUMN_HEADER).get_color());
    painter->setFont(AFCQ_FONT(AFCQ_FONT_COLUMN_HEADER).get_font());
    painter->drawText(sedq_inclusive(rect.left() + 2, rect.top() + 1, rect.right() + 2, rect.bottom() + 1),
                      Qt::AlignVCenter,
                      column == SEDQ_COLUMN_SQ_START ? QStringLiteral("Start") : QStringLiteral("Stop"));
    painter->restore();
    return true;
}

// Header rows 1 and 2: `a` is the enabled state of what the cell shows, `b` the power-up
// trigger, `c` whether row 1 of a trigger column shows the group title rather than the level
// name. The value and waveform columns belong to the waveform painting.
bool SEDQ_VIEW::draw_header(int column, int row, QRect const& rect, QPainter* painter, bool a, bool b, bool c)
{
    if (column < 0 || column >= COLUMN_COUNT)
        return false;
    if (column < SEDQ_COLUMN_FIRST_LEVEL)
    {
        const char* title = row == SEDQ_ROW_COLUMN_TITLES ? TITLES[column].row1 : TITLES[column].row2;
        if (title != nullptr)
            return draw_column_text(rect, painter, QString::fromLatin1(title), QColor());
        if (row == SEDQ_ROW_LEVEL_HEADERS && sedq_is_enable_column(column))
        {
            QString used;
            if (column == SEDQ_COLUMN_DATA_ENABLE)
                m_tx_manager->get_data_nodes_used(&used);
            else if (column == SEDQ_COLUMN_TRIGGER_ENABLE)
                m_tx_manager->get_trigger_nodes_used(&used);
            else
                m_tx_manager->get_storage_qualifier_nodes_used(&used);
            return draw_column_text(rect, painter, used, QColor());
        }
        if (row == SEDQ_ROW_LEVEL_HEADERS &&
            (column == SEDQ_COLUMN_SQ_START || column == SEDQ_COLUMN_SQ_STOP))
            return draw_storage_qualifier_header(column, rect, painter);
        return true;
    }
    if (column <= SEDQ_COLUMN_LAST_LEVEL)
    {
        if (row == SEDQ_ROW_LEVEL_HEADERS)
        {
            QRect box = rect;
            return draw_pattern_header(sedq_pattern_of_column(column), &box, painter, false, a, b);
        }
        if (c)
            return draw_column_text(rect, painter, QStringLiteral("Trigger Conditions"), QColor());
        return draw_condition_header(
            m_tx_manager->get_trigger_level_name(sedq_pattern_of_column(column), SEDQ_CURRENT), rect, painter,
            a);
    }
    if (column == SEDQ_COLUMN_VALUE)
        draw_value_header(rect, painter, row);
    else
        draw_data_header(rect, painter, row);
    return true;
}

// The ruler; below the last header row the segment, break and trigger lines and the ends of the
// data run down over the waveforms.
void SEDQ_VIEW::draw_data_header(QRect const& rect, QPainter* painter, int row)
{
    const int depth = get_data_depth();
    if (depth == 0)
        return;
    draw_wave_header(rect, painter, SEDQ_COLUMN_WAVEFORM, row);
    if (row != SEDQ_ROW_LEVEL_HEADERS)
        return;
    const QRect area(QPoint(rect.left(), rect.bottom() + 1), QPoint(rect.right(), height() - 1));
    const int first = get_first_transition();
    const int last = get_last_transition();
    draw_trigger_position(area, painter, first, last, get_transition_width());
    draw_end_of_wave_bar(area, painter, first, last, depth);
}
