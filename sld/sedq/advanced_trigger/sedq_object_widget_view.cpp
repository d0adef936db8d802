// SEDQ_OBJECT_WIDGET: zoom, the scroll bars (which scroll by moving the visible objects),
// the mouse wheel, centring an object and the cursor that tells what a press would do.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace
{
constexpr int ONE_TO_ONE = 10;
constexpr int MIN_ZOOM = 1;
constexpr int MAX_ZOOM = 40;
constexpr int WHEEL_SCROLL_STEP = 30;
// Some of the drawing always stays in view: this much of its width and height at the far ends.
constexpr int KEEP_WIDTH = 100;
constexpr int KEEP_HEIGHT = 20;
constexpr int TITLE_HEIGHT = 22;
// Room kept round a condition laid out on its first showing.
constexpr int PLACE_MARGIN = 20;

int to_zoom(int level, int c)
{
    return int(level * c / 10.0);
}

int to_client(int level, int e)
{
    return int(e / (level / 10.0));
}
} // namespace

void SEDQ_OBJECT_WIDGET::client_to_zoom(QPoint* point) const
{
    *point = QPoint(to_zoom(m_zoom_level, point->x()), to_zoom(m_zoom_level, point->y()));
}

void SEDQ_OBJECT_WIDGET::client_to_zoom(QRect* rect) const
{
    *rect = QRect(QPoint(to_zoom(m_zoom_level, rect->left()), to_zoom(m_zoom_level, rect->top())),
                  QPoint(to_zoom(m_zoom_level, rect->right()), to_zoom(m_zoom_level, rect->bottom())));
}

void SEDQ_OBJECT_WIDGET::zoom_to_client(QRect* rect) const
{
    *rect = QRect(QPoint(to_client(m_zoom_level, rect->left()), to_client(m_zoom_level, rect->top())),
                  QPoint(to_client(m_zoom_level, rect->right()), to_client(m_zoom_level, rect->bottom())));
}

// One step at a time, so that each bar keeps its place in proportion to its range (rounded, so
// that a range that did not change keeps its value exactly); a bar at the start stays there.
void SEDQ_OBJECT_WIDGET::set_zoom_positions(int level)
{
    level = qBound(MIN_ZOOM, level, MAX_ZOOM);
    if (level == m_zoom_level)
        return;
    // The drawing shrinks towards the canvas's top left corner, which lies under the title and
    // the listing: a drawing whose top was on show stays on show.
    const bool top_on_show = m_object_list != nullptr && !m_object_list->isEmpty() &&
                             get_visible_bounds().top() >= get_header_top();
    while (m_zoom_level != level)
    {
        m_zoom_level += level > m_zoom_level ? 1 : -1;
        const int hpos = m_hscroll->value();
        const int vpos = m_vscroll->value();
        const int hmax = m_hscroll->maximum();
        const int vmax = m_vscroll->maximum();
        resizeEvent(nullptr);
        m_hscroll->setSliderPosition(hmax != 0 ? qRound(double(hpos) * m_hscroll->maximum() / hmax) : 0);
        m_vscroll->setSliderPosition(vmax != 0 ? qRound(double(vpos) * m_vscroll->maximum() / vmax) : 0);
    }
    if (top_on_show)
        follow_header();
    save_zoom_level();
}

// Zooming out pushes a drawing down as the title and the listing grow in canvas units; zooming
// in takes back what it pushed, as far as the header then allows, so that zooming out and in
// again returns to the same view. Anything else that moved the drawing meanwhile ends the
// take-back.
void SEDQ_OBJECT_WIDGET::follow_header()
{
    const int top = get_visible_bounds().top();
    if (top != m_zoom_push_top)
        m_zoom_push = 0;
    const int header = get_header_top();
    const int shift = top < header ? header - top : -qMin(m_zoom_push, top - header);
    if (shift != 0)
    {
        for (SEDQ_OBJECT* object : *m_object_list)
            if (!object->is_hidden())
                object->move(object->get_rect().left(), object->get_rect().top() + shift);
        resizeEvent(nullptr);
    }
    m_zoom_push += shift;
    m_zoom_push_top = top + shift;
}

void SEDQ_OBJECT_WIDGET::save_zoom_level()
{
    if (m_tx != nullptr)
        m_tx->set_int_state(SEDQ_CURRENT, "advanced trigger zoom level", m_zoom_level);
}

void SEDQ_OBJECT_WIDGET::on_zoom_in()
{
    set_zoom_positions(m_zoom_level - 1);
    update_picture();
    on_update_zoom_in();
    on_update_zoom_out();
    on_update_fit_in_window();
}

void SEDQ_OBJECT_WIDGET::on_zoom_out()
{
    set_zoom_positions(m_zoom_level + 1);
    update_picture();
    on_update_zoom_in();
    on_update_zoom_out();
    on_update_fit_in_window();
}

void SEDQ_OBJECT_WIDGET::on_fit_in_window()
{
    set_zoom_positions(ONE_TO_ONE);
    update_picture();
    on_update_zoom_in();
    on_update_zoom_out();
    on_update_fit_in_window();
}

void SEDQ_OBJECT_WIDGET::on_update_zoom_in()
{
    m_tx->enable_action(AFCQ_SEDQ_ZOOM_IN_ACTION, m_zoom_level > MIN_ZOOM);
}

void SEDQ_OBJECT_WIDGET::on_update_zoom_out()
{
    m_tx->enable_action(AFCQ_SEDQ_ZOOM_OUT_ACTION, m_zoom_level < MAX_ZOOM);
}

void SEDQ_OBJECT_WIDGET::on_update_fit_in_window()
{
    m_tx->enable_action(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, m_zoom_level != ONE_TO_ONE);
}

void SEDQ_OBJECT_WIDGET::on_update_zoom(bool* enabled)
{
    *enabled = true;
}

QRect SEDQ_OBJECT_WIDGET::get_visible_bounds() const
{
    QRect bounds;
    if (m_object_list != nullptr)
        for (const SEDQ_OBJECT* object : *m_object_list)
            if (!object->is_hidden())
                bounds = bounds.united(object->get_rect());
    return bounds;
}

namespace
{
void move_inputs(SEDQ_OBJECT* object, QPoint delta)
{
    for (SEDQ_OBJECT* input : object->get_children())
    {
        input->move(input->get_rect().left() + delta.x(), input->get_rect().top() + delta.y());
        move_inputs(input, delta);
    }
}
} // namespace

void SEDQ_OBJECT_WIDGET::place_unplaced_condition()
{
    if (m_object_list == nullptr || m_object_list->size() < 2)
        return;
    for (const SEDQ_OBJECT* object : *m_object_list)
        if (object->get_rect().topLeft() != QPoint(0, 0))
            return;
    // A layout leaves the inputs of a collapsed object where they are, and revealing them
    // later does not lay them out: lay everything out open first, then the collapsed
    // objects' inputs follow their objects to where the real layout puts them.
    QList<SEDQ_OBJECT*> collapsed;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (!object->is_leaf() && object->get_property()[SEDQ_PROPERTY::EXPANDED] != 1)
        {
            collapsed.append(object);
            object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        }
    arrange_objects();
    QList<QPoint> open_places;
    for (SEDQ_OBJECT* object : collapsed)
    {
        open_places.append(object->get_rect().topLeft());
        object->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    }
    arrange_objects();
    for (int i = 0; i < collapsed.size(); ++i)
        if (!collapsed[i]->is_hidden())
            move_inputs(collapsed[i], collapsed[i]->get_rect().topLeft() - open_places[i]);
    const QPoint place(PLACE_MARGIN, get_header_height() + PLACE_MARGIN);
    const QPoint delta = place - get_visible_bounds().topLeft();
    for (SEDQ_OBJECT* object : *m_object_list)
        object->move(object->get_rect().left() + delta.x(), object->get_rect().top() + delta.y());
}

// The bars lie along the right and bottom edges. Their values place the drawing: horizontal 0
// puts its left edge 100 left of the client area's right border, the maximum its right edge
// at x = 99; vertical 0 its top 19 above the bottom, the maximum its bottom at y = 41.
void SEDQ_OBJECT_WIDGET::resizeEvent(QResizeEvent* event)
{
    const int vw = m_vscroll->sizeHint().width();
    const int hh = m_hscroll->sizeHint().height();
    m_vscroll->setGeometry(width() - vw, TITLE_HEIGHT + 1, vw, height() - TITLE_HEIGHT - 1 - hh);
    m_hscroll->setGeometry(0, height() - hh, width() - vw, hh);
    if (m_object_list != nullptr)
    {
        const QRect b = get_visible_bounds();
        const QSignalBlocker block_h(m_hscroll);
        const QSignalBlocker block_v(m_vscroll);
        const int w = width() - vw;
        m_hscroll->setRange(0, qMax(0, w + (b.right() - b.left()) - 199));
        m_hscroll->setPageStep(w);
        m_hscroll->setValue(w - KEEP_WIDTH - b.left());
        // The maximum leaves the drawing's last KEEP_HEIGHT - 1 rows below the title and the
        // listing.
        const int h = height() - 1 - hh;
        const int y0 = height() - KEEP_HEIGHT - hh;
        m_vscroll->setRange(0, qMax(0, y0 + (b.bottom() - b.top()) - get_header_height() - (KEEP_HEIGHT - 1)));
        m_vscroll->setPageStep(h - 21);
        m_vscroll->setValue(h - 19 - b.top());
    }
    if (event != nullptr)
        QWidget::resizeEvent(event);
}

// Scrolling moves every visible object so that the drawing stands where the bars say.
void SEDQ_OBJECT_WIDGET::on_scroll()
{
    if (m_object_list == nullptr)
        return;
    const QRect b = get_visible_bounds();
    const int x0 = width() - KEEP_WIDTH - (m_vscroll->isVisible() ? m_vscroll->width() : 0);
    const int y0 = height() - KEEP_HEIGHT - (m_hscroll->isVisible() ? m_hscroll->height() : 0);
    const QPoint delta(x0 - b.left() - m_hscroll->value(), y0 - b.top() - m_vscroll->value());
    if (!delta.isNull())
        for (SEDQ_OBJECT* object : *m_object_list)
            if (!object->is_hidden())
            {
                const QRect box = object->get_rect();
                object->move(box.left() + delta.x(), box.top() + delta.y());
            }
    update_picture();
}

void SEDQ_OBJECT_WIDGET::on_hscroll(int)
{
    if (m_object_list == nullptr)
        return;
    const QRect b = get_visible_bounds();
    const int x0 = width() - KEEP_WIDTH - (m_vscroll->isVisible() ? m_vscroll->width() : 0);
    const int dx = x0 - b.left() - m_hscroll->value();
    if (dx != 0)
        for (SEDQ_OBJECT* object : *m_object_list)
            if (!object->is_hidden())
                object->move(object->get_rect().left() + dx, object->get_rect().top());
    update_picture();
}

void SEDQ_OBJECT_WIDGET::on_vscroll(int) {}

void SEDQ_OBJECT_WIDGET::wheelEvent(QWheelEvent* event)
{
    const int d = event->angleDelta().y();
    if ((event->modifiers() & Qt::ControlModifier) != 0)
    {
        if (d < 0 && m_zoom_level < MAX_ZOOM)
            on_zoom_out();
        else if (d >= 0 && m_zoom_level > MIN_ZOOM)
            on_zoom_in();
    }
    else
    {
        QScrollBar* bar = (event->modifiers() & Qt::ShiftModifier) != 0 ? m_hscroll : m_vscroll;
        bar->setValue(bar->value() + (d < 0 ? WHEEL_SCROLL_STEP : -WHEEL_SCROLL_STEP));
    }
    QWidget::wheelEvent(event);
}

void SEDQ_OBJECT_WIDGET::ensure_visible(SEDQ_OBJECT* object)
{
    if (object == nullptr)
        return;
    // The bars place the drawing by its visible bounds, which grow as the object appears.
    if (object->is_hidden())
    {
        object->ensure_visible();
        resizeEvent(nullptr);
    }
    select(object);
    const QRect box = object->get_rect();
    const QPoint centre((box.left() + box.right()) / 2, (box.top() + box.bottom()) / 2);
    QRect view(QPoint(0, 0), QPoint(width() - 1, height() - 1));
    client_to_zoom(&view);
    const QPoint view_centre((view.left() + view.right()) / 2, (view.top() + view.bottom()) / 2);
    if (centre.x() != view_centre.x())
        m_hscroll->setSliderPosition(m_hscroll->sliderPosition() + centre.x() - view_centre.x());
    if (centre.y() != view_centre.y())
        m_vscroll->setSliderPosition(m_vscroll->sliderPosition() + centre.y() - view_centre.y());
    update_picture();
}

// The cursor says what a press would do: draw a connection from an output, move an input
// out of its parent, pan, or select.
void SEDQ_OBJECT_WIDGET::on_update_cursor(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton)
        return;
    QPoint point = event->pos();
    client_to_zoom(&point);
    const Qt::KeyboardModifiers keys = event->modifiers();
    const bool panning = (keys & Qt::AltModifier) != 0 ||
                         (QGuiApplication::mouseButtons() & Qt::MiddleButton) != 0;
    SEDQ_OBJECT* object = is_disabled() ? nullptr : hit_test(point);
    Qt::CursorShape shape = panning ? Qt::OpenHandCursor : Qt::ArrowCursor;
    if (object != nullptr)
    {
        QRect expand;
        QRect output;
        object->get_expand_box(&expand);
        object->get_output_port(&output);
        const bool editable = m_tx->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL && !is_powerup_trigger();
        if (expand.contains(point) || m_moving)
            shape = Qt::ArrowCursor;
        else if (!editable)
            shape = Qt::OpenHandCursor;
        else if (SEDQ_OBJECT::DISPLAY_TYPES[object->get_display_type()].output_type !=
                     SEDQ_OBJECT::PORT_NONE &&
                 output.contains(point))
            shape = Qt::CrossCursor;
        else if ((keys & (Qt::ShiftModifier | Qt::ControlModifier)) != 0)
            shape = Qt::ArrowCursor;
        else if ((keys & Qt::AltModifier) != 0)
            shape = Qt::OpenHandCursor;
        else if ((QGuiApplication::mouseButtons() & Qt::MiddleButton) == 0 && !object->is_root())
            shape = Qt::SizeAllCursor;
        else
            shape = Qt::OpenHandCursor;
    }
    setCursor(shape);
    m_object_widget_cursor = cursor().shape();
}
