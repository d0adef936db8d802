// SEDQ_VIEW: placing a time bar at a sample and scrolling a sample to the middle of the
// waveform column, as the bus search uses them.
#include "sedq/view/sedq_view.h"

#include <QScrollBar>

#include <algorithm>

// The list is not sorted; only entry 0, the master, has a role. The first bar brings the
// transition buttons.
bool SEDQ_VIEW::insert_timebar(int sample)
{
    if (m_timebar_count >= MAX_TIMEBARS || std::find(m_timebars, m_timebars + m_timebar_count, sample) !=
                                               m_timebars + m_timebar_count)
        return false;
    m_timebars[m_timebar_count++] = sample;
    if (m_timebar_count == 1)
        show_timebar_buttons();
    return true;
}

// In data mode the horizontal scroll bar counts samples and its page is the samples in view;
// while the columns themselves scroll it counts pixels and no sample can be centred.
bool SEDQ_VIEW::center_in_window(int sample, bool apply)
{
    if (m_horizontal_scroll_bar->isHidden() || m_horizontal_scrolling)
        return false;
    int min = 0;
    int max = 0;
    get_scroll_range(Qt::Horizontal, &min, &max);
    const int target = std::clamp(sample - (m_horizontal_scroll_bar->pageStep() - 1) / 2, min, max);
    if (target == m_horizontal_scroll_bar->value())
        return false;
    if (!apply)
        return true;
    m_horizontal_scroll_bar->setValue(target);
    save_scroll_pos();
    update();
    return true;
}
