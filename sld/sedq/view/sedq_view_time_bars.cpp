// SEDQ_VIEW: the time bars — finding, inserting, removing and dragging them, the master-bar
// commands of the waveform menu with their enabling rules, their storage per instance and the
// transition buttons beside the value column. Entry 0 is the master; the others keep the order
// they were placed in.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_time_axis.h"

#include <QGuiApplication>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace
{
const char* const TIMEBARS_KEY = "timebars";
// How far from a bar, in pixels, a point still grabs it.
constexpr int GRAB_DISTANCE = 5;
} // namespace

// ---- the list ----------------------------------------------------------------------------------------

void SEDQ_VIEW::reset_timebars()
{
    std::fill(m_timebars, m_timebars + MAX_TIMEBARS, 0);
    m_timebar_count = 0;
    m_current_timebar = -1;
}

// The master is asked first, then the others in list order.
int SEDQ_VIEW::find_timebar(int sample)
{
    for (int index = 0; index < m_timebar_count; ++index)
        if (m_timebars[index] == sample)
            return index;
    return -1;
}

// A bar exactly at the sample under the point wins (the master first); otherwise the bar whose
// line is nearest to the point, at most a few pixels away, the lower index on a tie. Lines are
// compared in pixels, not samples: where samples are wider than the grab distance the samples
// beside the point's would otherwise be found from some pixels of it and not from nearer ones.
int SEDQ_VIEW::find_timebar(const QPoint& point)
{
    const SEDQ_TIME_AXIS axis = get_time_axis();
    const int sample = axis.find_transition(point.x(), true);
    if (sample == -1)
        return -1;
    const int exact = find_timebar(sample);
    if (exact != -1)
        return exact;
    int best = -1;
    int best_distance = GRAB_DISTANCE + 1;
    for (int index = 0; index < m_timebar_count; ++index)
    {
        const int distance = std::abs(axis.find_point(m_timebars[index]) - point.x());
        if (distance < best_distance)
        {
            best = index;
            best_distance = distance;
        }
    }
    return best;
}

bool SEDQ_VIEW::insert_timebar(int sample)
{
    if (find_timebar(sample) != -1 || m_timebar_count >= MAX_TIMEBARS)
        return false;
    m_timebars[m_timebar_count++] = sample;
    if (m_timebar_count == 1)
        show_timebar_buttons();
    return true;
}

void SEDQ_VIEW::insert_timebar(const QPoint& point)
{
    const int sample = find_transition(point, true);
    if (sample != -1)
        insert_timebar(sample);
}

// The current bar of a drag can be -1 (none): only real entries are removed.
bool SEDQ_VIEW::remove_timebar(int index)
{
    if (index < 0 || index >= m_timebar_count)
        return false;
    std::copy(m_timebars + index + 1, m_timebars + m_timebar_count, m_timebars + index);
    m_timebars[--m_timebar_count] = 0;
    if (m_timebar_count == 0)
        show_timebar_buttons();
    return true;
}

// A bar dropped on another one goes, except the master, which stays beside it; a bar without a
// position goes too.
bool SEDQ_VIEW::move_timebar(int index)
{
    if (index < 0 || index >= m_timebar_count)
        return false;
    const int position = m_timebars[index];
    if (position == -1)
    {
        remove_timebar(index);
        return false;
    }
    for (int other = 0; other < m_timebar_count; ++other)
    {
        if (other == index || m_timebars[other] != position)
            continue;
        if (index != 0)
            remove_timebar(index);
        return false;
    }
    return true;
}

// Removes, from the last entry down, every bar outside [0, depth].
void SEDQ_VIEW::remove_timebars_outside_data()
{
    const int depth = get_data_depth();
    for (int index = m_timebar_count - 1; index >= 0; --index)
        if (m_timebars[index] < 0 || m_timebars[index] > depth)
            remove_timebar(index);
}

// ---- dragging --------------------------------------------------------------------------------------

bool SEDQ_VIEW::set_current_timebar(const QPoint& point)
{
    const int index = find_timebar(point);
    if (index != -1)
    {
        m_current_timebar = index;
        m_move_all_timebars = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
    }
    return true;
}

// The waveform column's horizontal extent, over the whole height of the view.
bool SEDQ_VIEW::is_in_waveform_area(const QPoint& point, int* side)
{
    QRect column;
    get_column_rect(SEDQ_COLUMN_WAVEFORM, &column);
    *side = point.x() < column.left() ? -1 : point.x() > column.right() ? 1 : 0;
    return *side == 0;
}

// Outside the waveform column the view scrolls towards the pointer (with `auto_scroll`) and the
// bar stops at the edge of what is shown.
bool SEDQ_VIEW::drag_current_timebar(const QPoint& point, bool auto_scroll)
{
    if (m_current_timebar < 0 || m_current_timebar >= m_timebar_count)
        return false;
    int sample = find_transition(point, true);
    int side = 0;
    if (is_in_waveform_area(point, &side))
        setCursor(Qt::SizeHorCursor);
    else
    {
        setCursor(Qt::ForbiddenCursor);
        if (auto_scroll && !m_horizontal_scroll_bar->isHidden() && !m_horizontal_scrolling)
        {
            const int step = std::max(1, get_marker_width() / 2);
            m_horizontal_scroll_bar->setValue(m_horizontal_scroll_bar->value() + side * step);
        }
        sample = side < 0 ? get_first_transition() : get_last_transition();
    }
    if (sample == -1)
        return false;
    const int moved = sample - m_timebars[m_current_timebar];
    m_timebars[m_current_timebar] = sample;
    if (m_move_all_timebars)
        for (int index = 0; index < m_timebar_count; ++index)
            if (index != m_current_timebar)
                m_timebars[index] += moved;
    if (m_current_timebar == 0 || m_move_all_timebars)
        enable_timebar_buttons();
    update();
    return true;
}

// Dropped outside the waveform column the bar is deleted (every bar when all were moved).
bool SEDQ_VIEW::drop_current_timebar(const QPoint& point)
{
    if (m_current_timebar < 0 || m_current_timebar >= m_timebar_count)
    {
        m_current_timebar = -1;
        return false;
    }
    int side = 0;
    if (is_in_waveform_area(point, &side))
    {
        drag_current_timebar(point, false);
        move_timebar(m_current_timebar);
        if (m_move_all_timebars)
            remove_timebars_outside_data();
    }
    else if (m_move_all_timebars)
    {
        reset_timebars();
        show_timebar_buttons();
    }
    else
        remove_timebar(m_current_timebar);
    update();
    m_current_timebar = -1;
    return true;
}

// ---- the master commands -----------------------------------------------------------------------------

void SEDQ_VIEW::on_insert_master_time_bar()
{
    if (m_context_sample == -1)
        return;
    insert_timebar(m_context_sample);
    const int index = find_timebar(m_context_sample);
    if (index > 0)
        std::swap(m_timebars[0], m_timebars[index]);
    save_timebars();
    update();
}

void SEDQ_VIEW::on_move_master_time_bar()
{
    if (m_timebar_count == 0 || m_context_sample == -1)
        return;
    m_timebars[0] = -1;
    remove_timebar(find_timebar(m_context_sample));
    if (m_timebar_count == 0)
        insert_timebar(m_context_sample);
    else
        m_timebars[0] = m_context_sample;
    save_timebars();
    update();
}

void SEDQ_VIEW::on_delete_time_bar()
{
    if (!remove_timebar(find_timebar(m_context_sample)))
        return;
    save_timebars();
    update();
}

void SEDQ_VIEW::on_delete_all_time_bars()
{
    reset_timebars();
    save_timebars();
    update();
    show_timebar_buttons();
}

bool SEDQ_VIEW::on_update_insert_time_bar()
{
    return get_data_depth() != 0;
}

bool SEDQ_VIEW::on_update_delete_time_bar()
{
    return m_context_sample != -1 && find_timebar(m_context_sample) != -1;
}

bool SEDQ_VIEW::on_update_delete_all_time_bars()
{
    return get_data_depth() != 0 && m_timebar_count > 0;
}

bool SEDQ_VIEW::on_update_insert_master_time_bar()
{
    return m_context_sample != -1 && find_timebar(m_context_sample) == -1;
}

bool SEDQ_VIEW::on_update_set_as_master_time_bar()
{
    return m_context_sample != -1 && find_timebar(m_context_sample) > 0;
}

bool SEDQ_VIEW::on_update_move_master_time_bar()
{
    return m_timebar_count > 0 && m_context_sample != -1 && m_context_sample != m_timebars[0];
}

// ---- storage ---------------------------------------------------------------------------------------

void SEDQ_VIEW::save_timebars()
{
    const SDR_TX_INSTANCE* sdr_tx_instance = m_tx_manager->get_tx_instance();
    if (!SEDQ_VERIFY(sdr_tx_instance != NULL))
        return;
    m_tx_manager->set_int_state(SEDQ_CURRENT, TIMEBARS_KEY, m_timebars, m_timebar_count);
}

// Reads at most the hundred bars the view holds and drops those outside the data (the end of
// the data is a position a bar may hold).
void SEDQ_VIEW::load_timebars()
{
    reset_timebars();
    const SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return;
    const int count = instance->get_position_data(TIMEBARS_KEY, m_timebars, MAX_TIMEBARS);
    m_timebar_count = std::clamp(count, 0, int(MAX_TIMEBARS));
    remove_timebars_outside_data();
}

// ---- the transition buttons ------------------------------------------------------------------------

void SEDQ_VIEW::show_timebar_buttons()
{
    if (m_previous_transition_button == nullptr)
        return;
    const int button = m_previous_transition_button->width();
    const int value_width = get_column_width(SEDQ_COLUMN_VALUE);
    const bool shown = m_tx_manager->is_data_mode(SEDQ_CURRENT) && value_width >= button &&
                       m_timebar_count > 0 && SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons;
    if (!shown)
    {
        m_previous_transition_button->hide();
        m_next_transition_button->hide();
        return;
    }
    const int x = get_column_width(SEDQ_COLUMN_TYPE) + get_column_width(SEDQ_COLUMN_ALIAS) +
                  get_column_width(SEDQ_COLUMN_NAME);
    const int y = (get_row_height(SEDQ_ROW_TITLE) - button) / 2;
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
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    m_next_transition_button->setEnabled(m_timebar_count > 0 && m_timebars[0] < depth);
    m_previous_transition_button->setEnabled(m_timebar_count > 0 && m_timebars[0] > 0);
}
