// SEDQ_VIEW: the state of the time axis the shell keeps — zoom fraction, time bars and scroll
// positions, their storage per instance, and the transition buttons beside the value column.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace
{
// The widest window: at zoom level 1 and offset 0 the waveform column shows this many samples.
constexpr int ZOOM_BASE = 0x20000;
const char* const TIMEBARS_KEY = "timebars";
} // namespace

void SEDQ_VIEW::reset_fudge_factor(bool clear)
{
    if (double(m_zoom_level) == 0.0)
    {
        m_zoom_level = 1;
        m_zoom_offset = 0;
    }
    if (clear)
        m_zoom_offset = 0;
    int depth = 0;
    if (m_tx_manager.isNull() || m_tx_manager->is_empty())
        return;
    m_tx_manager->get_data_sample_depth(&depth, -1);
    // A window wider than the data falls back to showing the data exactly.
    if (depth >= 1 && depth <= ZOOM_BASE && ZOOM_BASE / double(m_zoom_level) - double(m_zoom_offset) > depth)
    {
        m_zoom_level = 1;
        m_zoom_offset = ZOOM_BASE - depth;
    }
}

int SEDQ_VIEW::get_fudge_factor()
{
    return static_cast<int>(double(m_zoom_offset));
}

int SEDQ_VIEW::get_scroll_pos(Qt::Orientation orientation)
{
    const QScrollBar* bar = orientation == Qt::Horizontal ? m_horizontal_scroll_bar
                            : orientation == Qt::Vertical ? m_vertical_scroll_bar
                                                          : nullptr;
    return bar != nullptr && !bar->isHidden() ? bar->value() : 0;
}

// ---- time bars -------------------------------------------------------------------------------------

void SEDQ_VIEW::reset_timebars()
{
    std::fill(m_timebars, m_timebars + MAX_TIMEBARS, 0);
    m_timebar_count = 0;
    m_current_timebar = -1;
}

void SEDQ_VIEW::save_timebars()
{
    SDR_TX_INSTANCE* sdr_tx_instance = m_tx_manager->get_tx_instance();
    if (!SEDQ_VERIFY(sdr_tx_instance != NULL))
        return;
    sdr_tx_instance->set_position_data(TIMEBARS_KEY, m_timebars, m_timebar_count);
}

// Reads at most the hundred bars the view holds and drops those outside the data (the end of
// the data is a position a bar may hold).
void SEDQ_VIEW::load_timebars()
{
    reset_timebars();
    SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return;
    const int count = instance->get_position_data(TIMEBARS_KEY, m_timebars, MAX_TIMEBARS);
    m_timebar_count = std::max(0, std::min(count, int(MAX_TIMEBARS)));
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, -1);
    for (int index = m_timebar_count - 1; index >= 0; --index)
    {
        if (m_timebars[index] >= 0 && m_timebars[index] <= depth)
            continue;
        std::copy(m_timebars + index + 1, m_timebars + m_timebar_count, m_timebars + index);
        m_timebars[--m_timebar_count] = 0;
    }
}

// ---- scroll positions ------------------------------------------------------------------------------

bool SEDQ_VIEW::save_scroll_pos()
{
    SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return false;
    if (!m_tx_manager->is_data_mode(-1))
    {
        instance->set_position_data("setup vertical scroll position", m_vertical_scroll_bar->value());
        instance->set_position_data("setup horizontal scroll position", m_horizontal_scroll_bar->value());
        return true;
    }
    instance->set_position_data("data vertical scroll position", m_vertical_scroll_bar->value());
    instance->set_position_data("data horizontal scroll position", m_horizontal_scroll_bar->value());
    instance->set_position_data("zoom level numerator", m_zoom_level.get_numerator());
    instance->set_position_data("zoom level denominator", m_zoom_level.get_denominator());
    instance->set_position_data("zoom offset numerator", m_zoom_offset.get_numerator());
    instance->set_position_data("zoom offset denominator", m_zoom_offset.get_denominator());
    return true;
}

// The bars are parked at their stored values; the next relayout clamps them into the real
// ranges. A stored zoom that is no fraction a zoom can have gives the base values.
void SEDQ_VIEW::load_scroll_pos()
{
    SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return;
    const bool data = m_tx_manager->is_data_mode(-1);
    if (data)
    {
        const int level_numerator = instance->get_position_data("zoom level numerator");
        const int level_denominator = instance->get_position_data("zoom level denominator");
        const int offset_numerator = instance->get_position_data("zoom offset numerator");
        const int offset_denominator = instance->get_position_data("zoom offset denominator");
        if (level_numerator > 0 && level_denominator > 0)
            m_zoom_level.set_double(level_numerator, level_denominator);
        else
            m_zoom_level.set_double(-1, -1);
        if (offset_numerator >= 0 && offset_denominator > 0)
            m_zoom_offset.set_double(offset_numerator, offset_denominator);
        else
            m_zoom_offset.set_double(-1, -1);
    }
    const char* vertical = data ? "data vertical scroll position" : "setup vertical scroll position";
    const char* horizontal = data ? "data horizontal scroll position" : "setup horizontal scroll position";
    const std::pair<QScrollBar*, const char*> bars[] = {{m_vertical_scroll_bar, vertical},
                                                        {m_horizontal_scroll_bar, horizontal}};
    for (const auto& bar : bars)
    {
        const int stored = std::max(instance->get_position_data(bar.second), 0);
        bar.first->hide();
        bar.first->setRange(0, stored);
        bar.first->setPageStep(1);
        bar.first->setValue(stored);
    }
}

// ---- the transition buttons ------------------------------------------------------------------------

void SEDQ_VIEW::show_timebar_buttons()
{
    if (m_previous_transition_button == nullptr)
        return;
    const int button = m_previous_transition_button->width();
    const int value_width = get_column_width(22);
    const bool shown = m_tx_manager->is_data_mode(-1) && value_width >= button && m_timebar_count > 0 &&
                       SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons;
    if (!shown)
    {
        m_previous_transition_button->hide();
        m_next_transition_button->hide();
        return;
    }
    const int x = get_column_width(0) + get_column_width(1) + get_column_width(2);
    const int y = (get_row_height(0) - button) / 2;
    m_previous_transition_button->move(x, y);
    m_next_transition_button->move(x + value_width - button, y);
    m_previous_transition_button->show();
    m_next_transition_button->show();
    enable_timebar_buttons();
}

void SEDQ_VIEW::enable_timebar_buttons()
{
    if (m_previous_transition_button == nullptr)
        return;
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, -1);
    m_next_transition_button->setEnabled(m_timebar_count > 0 && m_timebars[0] < depth);
    m_previous_transition_button->setEnabled(m_timebar_count > 0 && m_timebars[0] > 0);
}
