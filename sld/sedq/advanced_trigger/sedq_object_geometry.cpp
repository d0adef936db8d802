// SEDQ_OBJECT: box geometry (size, ports, expand box, text place), hit testing, moving and
// dragging, and revealing an object inside collapsed parents.
#include "sedq/advanced_trigger/sedq_object.h"

namespace
{
constexpr int BOX_WIDTH = 100;
constexpr int SHORT_HEIGHT = 20;
constexpr int DELAYED_HEIGHT = 33;
constexpr int TALL_HEIGHT = 100;
// Input ports reach 11 left of the edge, 9 more past an object's own input lines; output ports
// reach 7 right of it, 15 when a line runs to a parent, 9 more for a bus.
constexpr int INPUT_PORT_REACH = 11;
constexpr int INPUT_LINES_REACH = 9;
constexpr int PORT_HALF_HEIGHT = 5;
constexpr int OUTPUT_PORT_INSET = 10;
constexpr int OUTPUT_PORT_REACH = 7;
constexpr int CONNECTED_OUTPUT_REACH = 15;
constexpr int BUS_OUTPUT_REACH = 9;
// How far a dragged output may miss an input to the left and still connect.
constexpr int CONNECT_TOLERANCE = 7;
constexpr int EXPAND_BOX_INSET = 5;
constexpr int EXPAND_BOX_SIZE = 9;
constexpr int TEXT_MARGIN = 3;

bool in_box(QRect const& rect, QPoint const& point)
{
    return rect.contains(point);
}
} // namespace

// Values and the result are one line; nodes and buses add a line for a data delay; every
// operator is a tall box.
int SEDQ_OBJECT::get_height() const
{
    switch (get_type())
    {
    case LEVEL_RESULT:
    case BIT_VALUE:
    case BUS_VALUE:
        return SHORT_HEIGHT;
    case NODE:
    case BUS:
        return has_own_data_delay() ? DELAYED_HEIGHT : SHORT_HEIGHT;
    default:
        return TALL_HEIGHT;
    }
}

QRect SEDQ_OBJECT::get_rect() const
{
    const int left = m_property[SEDQ_PROPERTY::LEFT];
    const int top = m_property[SEDQ_PROPERTY::TOP];
    return QRect(QPoint(left, top), QPoint(left + BOX_WIDTH, top + get_height()));
}

QPoint SEDQ_OBJECT::get_head() const
{
    return QPoint(m_property[SEDQ_PROPERTY::LEFT] + BOX_WIDTH,
                  m_property[SEDQ_PROPERTY::TOP] + get_height() / 2);
}

QPoint SEDQ_OBJECT::get_tail(int port) const
{
    const int height = get_height();
    int offset = height;
    switch (port)
    {
    case UPPER_PORT:
        offset = height / 3 + 2;
        break;
    case MIDDLE_PORT:
        offset = height / 2;
        break;
    case LOWER_PORT:
        offset = (2 * height) / 3 - 1;
        break;
    default:
        break;
    }
    return QPoint(m_property[SEDQ_PROPERTY::LEFT], m_property[SEDQ_PROPERTY::TOP] + offset);
}

void SEDQ_OBJECT::get_input_port(QRect* rect, int port) const
{
    const QPoint tail = get_tail(port);
    const int reach = INPUT_PORT_REACH + (is_leaf() ? 0 : INPUT_LINES_REACH);
    *rect = QRect(QPoint(tail.x() - reach, tail.y() - PORT_HALF_HEIGHT), QPoint(tail.x(), tail.y() + PORT_HALF_HEIGHT));
}

void SEDQ_OBJECT::get_output_port(QRect* rect) const
{
    const QPoint head = get_head();
    int reach = m_parent != nullptr ? CONNECTED_OUTPUT_REACH : OUTPUT_PORT_REACH;
    if (DISPLAY_TYPES[get_display_type()].output_type == PORT_BUS)
        reach += BUS_OUTPUT_REACH;
    *rect = QRect(QPoint(head.x() - OUTPUT_PORT_INSET, head.y() - PORT_HALF_HEIGHT),
                  QPoint(head.x() + reach, head.y() + PORT_HALF_HEIGHT));
}

void SEDQ_OBJECT::get_expand_box(QRect* rect) const
{
    if (is_leaf())
    {
        *rect = QRect(0, 0, 0, 0);
        return;
    }
    const int left = m_property[SEDQ_PROPERTY::LEFT] + EXPAND_BOX_INSET;
    const int top = m_property[SEDQ_PROPERTY::TOP] + (get_height() == DELAYED_HEIGHT ? 12 : 6);
    *rect = QRect(QPoint(left, top), QPoint(left + EXPAND_BOX_SIZE, top + EXPAND_BOX_SIZE));
}

// Small boxes centre their one line between the expand box or input lines and the output
// line; tall boxes keep a single line at the top, above the operator picture.
void SEDQ_OBJECT::get_text_rect(QRect* rect) const
{
    QRect text = get_rect().adjusted(TEXT_MARGIN, TEXT_MARGIN, -TEXT_MARGIN, -TEXT_MARGIN);
    const SEDQ_OBJECT_TYPE type = get_type();
    const bool small = type == LEVEL_RESULT || type == BIT_VALUE || type == BUS_VALUE ||
                       ((type == NODE || type == BUS) && !has_own_data_delay());
    if (small)
    {
        text.setRight(text.right() - 6);
        if (!is_leaf())
            text.setLeft(text.left() + 12);
        else if (DISPLAY_TYPES[get_display_type()].input_count > 0)
            text.setLeft(text.left() + 6);
        if (type == BIT_VALUE || type == BUS_VALUE)
            text.adjust(1, 1, -1, -1);
    }
    else
    {
        if (!is_leaf())
            text.setLeft(text.left() + 12);
        text.setBottom(text.top() + 14);
    }
    *rect = text;
}

// The box and the output port are live; input ports only while the inputs show.
bool SEDQ_OBJECT::hit_test(QPoint point) const
{
    if (is_hidden())
        return false;
    QRect port;
    get_output_port(&port);
    if (in_box(get_rect(), point) || in_box(port, point))
        return true;
    if (!is_leaf() && m_property[SEDQ_PROPERTY::EXPANDED] != 1)
        return false;
    const int inputs = DISPLAY_TYPES[get_display_type()].input_count;
    if (inputs == 2)
    {
        get_input_port(&port, UPPER_PORT);
        if (in_box(port, point))
            return true;
        get_input_port(&port, LOWER_PORT);
        return in_box(port, point);
    }
    if (inputs > 0)
    {
        get_input_port(&port, MIDDLE_PORT);
        return in_box(port, point);
    }
    return false;
}

bool SEDQ_OBJECT::operator==(const SEDQ_OBJECT& target) const
{
    const SEDQ_DISPLAY_TYPE display = target.get_display_type();
    const int inputs = DISPLAY_TYPES[display].input_count;
    if (target.is_hidden() || DISPLAY_TYPES[display].input_type == PORT_NONE ||
        target.m_children.size() >= inputs || DISPLAY_TYPES[get_display_type()].output_type == PORT_NONE)
        return false;
    QRect output;
    get_output_port(&output);
    const auto meets = [&](int port) {
        QRect input;
        target.get_input_port(&input, port);
        input.setLeft(input.left() - CONNECT_TOLERANCE);
        return output.intersects(input);
    };
    return inputs == 2 ? meets(UPPER_PORT) || meets(LOWER_PORT) : meets(MIDDLE_PORT);
}

void SEDQ_OBJECT::ensure_visible()
{
    for (SEDQ_OBJECT* above = m_parent; above != nullptr; above = above->m_parent)
        above->m_property.set(SEDQ_PROPERTY::EXPANDED, 1);
}

void SEDQ_OBJECT::move(int x, int y)
{
    m_property.set(SEDQ_PROPERTY::LEFT, x);
    m_property.set(SEDQ_PROPERTY::TOP, y);
}

void SEDQ_OBJECT::move(QPoint delta)
{
    move(m_property[SEDQ_PROPERTY::LEFT] + delta.x(), m_property[SEDQ_PROPERTY::TOP] + delta.y());
    for (SEDQ_OBJECT* child : m_children)
        child->move(delta);
}

void SEDQ_OBJECT::move_up(int distance)
{
    move(QPoint(0, -distance));
}

void SEDQ_OBJECT::move_down(int distance)
{
    move(QPoint(0, distance));
}

void SEDQ_OBJECT::move_younger_siblings_down(SEDQ_OBJECT* child, int distance)
{
    for (int i = m_children.size() - 1; i >= 0; --i)
    {
        m_children[i]->move_down(distance);
        if (m_children[i] == child)
            break;
    }
}

void SEDQ_OBJECT::start_drag(QPoint const& point)
{
    m_drag_offset_x = point.x() - m_property[SEDQ_PROPERTY::LEFT];
    m_drag_offset_y = point.y() - m_property[SEDQ_PROPERTY::TOP];
    m_dragging = true;
    for (SEDQ_OBJECT* child : m_children)
        child->start_drag(point);
}

void SEDQ_OBJECT::on_mouse_move(QPoint point)
{
    if (!is_hidden())
        move(point.x() - m_drag_offset_x, point.y() - m_drag_offset_y);
}

bool sedq_object_compare(SEDQ_OBJECT* a, SEDQ_OBJECT* b)
{
    return a->get_head().y() < b->get_head().y();
}
