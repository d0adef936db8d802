// SEDQ_VIEW: the time axis — the zoom fraction and the window it gives, the mapping between
// samples and x, zooming (by steps, to a dragged range, to fit), centring, and the scroll
// positions and time bars kept per instance with the transition buttons beside the value column.
#include "sedq/view/sedq_view.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_time_axis.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QRubberBand>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int ZOOM_BASE = SEDQ_TIME_AXIS::ZOOM_BASE;
} // namespace

int SEDQ_VIEW::get_scroll_pos(Qt::Orientation orientation)
{
    const QScrollBar* bar = orientation == Qt::Horizontal ? m_horizontal_scroll_bar
                            : orientation == Qt::Vertical ? m_vertical_scroll_bar
                                                          : nullptr;
    return bar != nullptr && !bar->isHidden() ? bar->value() : 0;
}

// ---- the window and the mapping ----------------------------------------------------------------------

// Every reader of the zoom first makes a zero level usable again.
void SEDQ_VIEW::normalise_zoom()
{
    if (double(m_zoom_level) == 0.0)
    {
        m_zoom_level = 1;
        m_zoom_offset = 0;
    }
}

double SEDQ_VIEW::get_window_width()
{
    normalise_zoom();
    return ZOOM_BASE / double(m_zoom_level) - get_fudge_factor();
}

int SEDQ_VIEW::get_data_depth()
{
    int depth = 0;
    if (!m_tx_manager.isNull() && !m_tx_manager->is_empty())
        m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    return depth;
}

SEDQ_TIME_AXIS SEDQ_VIEW::get_time_axis()
{
    SEDQ_TIME_AXIS axis;
    axis.first = get_first_transition();
    axis.last = get_last_transition();
    QRect column;
    get_column_rect(SEDQ_COLUMN_WAVEFORM, &column);
    axis.plot_left = column.left() + 2;
    axis.pixels_per_sample = get_transition_width();
    return axis;
}

double SEDQ_VIEW::get_transition_width()
{
    const double window = get_window_width();
    if (get_data_depth() == 0 || window == 0.0)
        return 0.0;
    return std::max(get_column_width(SEDQ_COLUMN_WAVEFORM) - 6, 0) / window;
}

int SEDQ_VIEW::find_point(int sample)
{
    return get_time_axis().find_point(sample);
}

int SEDQ_VIEW::find_transition(const QPoint& point, bool nearest)
{
    return get_time_axis().find_transition(point.x(), nearest);
}

// While the columns are wider than the view the horizontal bar scrolls them by pixels, and the
// waveform column starts at sample 0.
int SEDQ_VIEW::get_first_transition()
{
    return m_horizontal_scrolling ? 0 : get_scroll_pos(Qt::Horizontal);
}

int SEDQ_VIEW::get_last_transition()
{
    normalise_zoom();
    return get_first_transition() + int(ZOOM_BASE / double(m_zoom_level)) - get_fudge_factor();
}

// Ruler marks are as far apart as the widest label needs, in samples, rounded up to a power of
// two so that marks fall on round sample numbers.
int SEDQ_VIEW::get_marker_width()
{
    const double pixels_per_sample = get_transition_width();
    if (pixels_per_sample <= 0.0)
        return 0;
    QString text;
    get_time_units_string(&text, get_last_transition(), false, false);
    const QRect bounds = QFontMetrics(font()).boundingRect(text + QLatin1Char('M'));
    const int needed = int(1.5 * bounds.width());
    int samples = int(std::ceil(needed / pixels_per_sample));
    if (samples >= 2)
    {
        int power = 1;
        while (power < samples && power < (1 << 30))
            power <<= 1;
        samples = power;
    }
    return samples;
}

int SEDQ_VIEW::calculate_needed_horizontal_pixels()
{
    int width = 1;
    for (int column = 0; column < SEDQ_COLUMN_WAVEFORM; ++column)
        width += get_column_width(column);
    const int depth = get_data_depth();
    return depth == 0 ? width : width + int(get_transition_width() * depth);
}

// ---- zoom ----------------------------------------------------------------------------------------------

void SEDQ_VIEW::reset_fudge_factor(bool clear)
{
    normalise_zoom();
    if (clear)
        m_zoom_offset = 0;
    const int depth = get_data_depth();
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

void SEDQ_VIEW::zoom_in_fudge_factor()
{
    m_zoom_offset /= 2;
}

void SEDQ_VIEW::zoom_out_fudge_factor()
{
    m_zoom_offset *= 2;
}

// The largest power-of-two level whose window, less a whole offset, is exactly the span.
void SEDQ_VIEW::set_fudge_factor(int first, int last, int* step)
{
    const int span = std::max(last - first, 1);
    const int k = ZOOM_BASE / span;
    if (k < 1)
    {
        m_zoom_offset = 0;
        *step = 1;
        return;
    }
    int power = 1;
    while (power * 2 <= k)
        power *= 2;
    *step = power;
    m_zoom_offset = ZOOM_BASE / power - span;
}

void SEDQ_VIEW::set_fudge_factor(const QRect& rect, int* first, int* step)
{
    const SEDQ_TIME_AXIS axis = get_time_axis();
    const int a = axis.find_transition(rect.left(), false);
    const int b = axis.find_transition(rect.right(), false);
    *first = std::min(a, b);
    set_fudge_factor(std::min(a, b), a >= b ? a + 1 : b, step);
}

void SEDQ_VIEW::save_zoom_and_repaint()
{
    save_scroll_pos();
    update();
}

// Keeps the sample under the point (when given) under the pointer.
bool SEDQ_VIEW::zoom_in(const QPoint* point, const QRect*)
{
    const int before = point != nullptr ? find_transition(*point, false) : -1;
    if (get_window_width() == 1.0)
        return false;
    m_zoom_level *= 2;
    zoom_in_fudge_factor();
    if (double(m_zoom_level) == double(ZOOM_BASE))
        reset_fudge_factor(true);
    send_resize_event();
    if (point != nullptr && !m_horizontal_scrolling)
    {
        const int after = find_transition(*point, false);
        if (before != -1 && after != -1)
            m_horizontal_scroll_bar->setValue(before - after + m_horizontal_scroll_bar->value());
    }
    save_zoom_and_repaint();
    return true;
}

bool SEDQ_VIEW::zoom_out(const QPoint* point, const QRect*)
{
    int before = -1;
    if (point != nullptr)
    {
        int row = -1;
        int column = -1;
        if (find_item(*point, &row, &column, nullptr) && row < HEADER_ROWS)
            return false;
        before = find_transition(*point, false);
    }
    if (get_window_width() == double(get_data_depth()))
        return false;
    m_zoom_level /= 2;
    zoom_out_fudge_factor();
    reset_fudge_factor(false);
    send_resize_event();
    if (point != nullptr && !m_horizontal_scroll_bar->isHidden() && !m_horizontal_scrolling)
    {
        const int after = find_transition(*point, false);
        if (before != -1 && after != -1)
            m_horizontal_scroll_bar->setValue(m_horizontal_scroll_bar->value() - (after - before));
    }
    save_zoom_and_repaint();
    return true;
}

void SEDQ_VIEW::refresh_view_menu()
{
    if (m_frame_wnd != nullptr)
        m_frame_wnd->on_update_view_menu();
}

// The sample the menu's zoom keeps in place: the master time bar while it is in sight, else the
// middle of the window.
double SEDQ_VIEW::zoom_anchor()
{
    const int first = get_first_transition();
    const int last = get_last_transition();
    if (m_timebar_count > 0 && m_timebars[0] >= first && m_timebars[0] <= last)
        return m_timebars[0];
    return first + get_window_width() / 2;
}

// A zoom from the menu or its keys has no pointer to follow: the anchor stays where it stood
// across the window, so the user keeps looking at what he looked at.
void SEDQ_VIEW::zoom_about_anchor(bool in)
{
    const double anchor = zoom_anchor();
    const double across = (anchor - get_first_transition()) / get_window_width();
    if (!(in ? zoom_in(nullptr, nullptr) : zoom_out(nullptr, nullptr)))
        return;
    if (m_horizontal_scroll_bar->isHidden() || m_horizontal_scrolling)
        return;
    m_horizontal_scroll_bar->setValue(int(std::lround(anchor - across * get_window_width())));
    save_zoom_and_repaint();
}

void SEDQ_VIEW::on_zoom_in()
{
    zoom_about_anchor(true);
    refresh_view_menu();
}

void SEDQ_VIEW::on_zoom_out()
{
    zoom_about_anchor(false);
    refresh_view_menu();
}

void SEDQ_VIEW::on_fit_in_window()
{
    m_zoom_level = 1;
    reset_fudge_factor(true);
    send_resize_event();
    save_zoom_and_repaint();
    refresh_view_menu();
}

bool SEDQ_VIEW::on_update_zoom_in()
{
    return get_data_depth() != 0 && get_window_width() != 1.0;
}

bool SEDQ_VIEW::on_update_zoom_out()
{
    const int depth = get_data_depth();
    return depth != 0 && get_window_width() != double(depth);
}

// ---- the zoom rectangle --------------------------------------------------------------------------

void SEDQ_VIEW::start_drag_rect(QPoint point)
{
    m_drag_rect = QRect(point, point - QPoint(1, 1));
}

// A rectangle large enough to be a zoom snaps to the edges of the samples it covers.
void SEDQ_VIEW::end_drag_rect(QPoint point)
{
    m_drag_rect.setBottomRight(point);
    const QRect normal = m_drag_rect.normalized();
    if (normal.width() <= 4 || normal.height() <= 4)
        return;
    const SEDQ_TIME_AXIS axis = get_time_axis();
    const int a = axis.find_transition(m_drag_rect.left(), false);
    const int b = std::clamp(axis.find_transition(point.x(), false), axis.first, std::max(axis.first, axis.last));
    m_drag_rect.setLeft(axis.find_point(a));
    m_drag_rect.setRight(axis.find_point(b >= a ? b + 1 : b));
}

void SEDQ_VIEW::draw_drag_rect()
{
    const QRect normal = m_drag_rect.normalized();
    if (normal.isEmpty())
    {
        m_rubber_band->hide();
        return;
    }
    m_rubber_band->setGeometry(normal);
    m_rubber_band->show();
}

// A click or a rectangle too small for a zoom zooms by a step at its start (out with Shift).
void SEDQ_VIEW::zoom_drag_rect(bool no_click_zoom)
{
    const QPoint start = m_drag_rect.topLeft();
    const QRect rect = m_drag_rect.normalized();
    m_drag_rect = QRect(QPoint(0, 0), QPoint(-1, -1));
    draw_drag_rect();
    const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
    if (rect.width() > 4 && rect.height() >= 5 && !shift)
    {
        if (get_data_depth() < 1)
            return;
        int first = 0;
        int step = 1;
        set_fudge_factor(rect, &first, &step);
        m_zoom_level = step;
        reset_fudge_factor(false);
        send_resize_event();
        if (!m_horizontal_scrolling)
            m_horizontal_scroll_bar->setValue(first);
        save_zoom_and_repaint();
        return;
    }
    if (shift)
        zoom_out(&start, nullptr);
    else if (!no_click_zoom)
        zoom_in(&start, nullptr);
}

// ---- centring --------------------------------------------------------------------------------------

bool SEDQ_VIEW::center_in_window(int sample, bool apply)
{
    if (m_horizontal_scroll_bar->isHidden() || m_horizontal_scrolling)
        return false;
    int minimum = 0;
    int maximum = 0;
    get_scroll_range(Qt::Horizontal, &minimum, &maximum);
    const int target =
        std::clamp(sample - (get_last_transition() - get_first_transition()) / 2, minimum, maximum);
    if (target == m_horizontal_scroll_bar->value())
        return false;
    if (!apply)
        return true;
    m_horizontal_scroll_bar->setValue(target);
    save_scroll_pos();
    update();
    return true;
}

void SEDQ_VIEW::on_center_on_trigger()
{
    int position = 0;
    m_tx_manager->get_trigger_position(&position, SEDQ_CURRENT);
    center_in_window(position, true);
}

bool SEDQ_VIEW::on_update_center_on_trigger()
{
    int position = 0;
    const bool segments =
        m_tx_manager->get_data_segment_size() > 1 && get_row_height(SEDQ_ROW_COLUMN_TITLES) != 0;
    return get_data_depth() != 0 && m_tx_manager->get_trigger_position(&position, SEDQ_CURRENT) &&
           !segments && center_in_window(position, false) && m_tx_manager->get_node_count(SEDQ_CURRENT) != 0;
}

// ---- scroll positions ------------------------------------------------------------------------------

bool SEDQ_VIEW::save_scroll_pos()
{
    const SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return false;
    if (!m_tx_manager->is_data_mode(SEDQ_CURRENT))
    {
        m_tx_manager->set_int_state(-1, "setup vertical scroll position", m_vertical_scroll_bar->value());
        m_tx_manager->set_int_state(-1, "setup horizontal scroll position", m_horizontal_scroll_bar->value());
        return true;
    }
    m_tx_manager->set_int_state(-1, "data vertical scroll position", m_vertical_scroll_bar->value());
    m_tx_manager->set_int_state(-1, "data horizontal scroll position", m_horizontal_scroll_bar->value());
    m_tx_manager->set_int_state(-1, "zoom level numerator", m_zoom_level.get_numerator());
    m_tx_manager->set_int_state(-1, "zoom level denominator", m_zoom_level.get_denominator());
    m_tx_manager->set_int_state(-1, "zoom offset numerator", m_zoom_offset.get_numerator());
    m_tx_manager->set_int_state(-1, "zoom offset denominator", m_zoom_offset.get_denominator());
    return true;
}

// The bars are parked at their stored values; the next relayout clamps them into the real
// ranges. A stored zoom that is no fraction a zoom can have gives the base values.
void SEDQ_VIEW::load_scroll_pos()
{
    const SDR_TX_INSTANCE* instance = m_tx_manager->get_tx_instance();
    if (instance == nullptr)
        return;
    const bool data = m_tx_manager->is_data_mode(SEDQ_CURRENT);
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
    m_clamped_top_row.reset();
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
