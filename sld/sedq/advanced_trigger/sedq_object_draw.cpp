// SEDQ_OBJECT: how one object paints itself on the canvas: its picture, selection frame,
// expand box and texts, then the lines to its parent and its free inputs. Painting only reads.
#include "sedq/advanced_trigger/sedq_object.h"

#include "host/afcq.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace
{
constexpr int SHORT_HEIGHT = 20;
constexpr int DELAYED_HEIGHT = 33;
// The selection frame reaches 3 beyond the box on the left and top, 2 on the right and bottom.
constexpr int FRAME_OUTSET = 3;
constexpr int FRAME_RIGHT_OUTSET = 2;
// A parent's angled lines bend this far left of its input edge.
constexpr int BEND_OFFSET = 15;

const QColor ALIAS_COLOUR(0, 128, 0);
const QColor SELECTED_NAME_COLOUR(0, 0, 128);
const QColor INCREMENTAL_NAME_COLOUR(0, 0, 255);

void paint_icon(QPainter* painter, AFCQ_ICON_ENUM id, QRect const& rect)
{
    afcq_get_icon(id).paint(painter, rect, Qt::AlignHCenter | Qt::AlignVCenter, QIcon::Normal, QIcon::Off);
}

AFCQ_ICON_ENUM frame_icon(int height, bool has_focus)
{
    if (height == SHORT_HEIGHT)
        return has_focus ? AFCQ_ICON_SEDQ_FOCUS_SHORT_FRAME : AFCQ_ICON_SEDQ_SELECTED_SHORT_FRAME;
    if (height == DELAYED_HEIGHT)
        return has_focus ? AFCQ_ICON_SEDQ_FOCUS_DELAYED_FRAME : AFCQ_ICON_SEDQ_SELECTED_DELAYED_FRAME;
    return has_focus ? AFCQ_ICON_SEDQ_FOCUS_TALL_FRAME : AFCQ_ICON_SEDQ_SELECTED_TALL_FRAME;
}

QPen line_pen(QColor const& colour, SEDQ_OBJECT::SEDQ_PORT_TYPE type)
{
    return QPen(colour, type == SEDQ_OBJECT::PORT_BIT ? 1 : 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QColor port_colour(SEDQ_OBJECT::SEDQ_PORT_TYPE type)
{
    return type == SEDQ_OBJECT::PORT_NONE ? QColor(Qt::red) : QColor(Qt::black);
}

// A connection is being drawn from the object while its canvas shows the cross cursor.
bool draws_connection(const SEDQ_OBJECT& object)
{
    const QWidget* canvas = SEDQ_OBJECT_WIDGET::get_canvas(&object);
    return canvas != nullptr && canvas->cursor().shape() == Qt::CrossCursor;
}

void polyline(QPainter* painter, std::initializer_list<QPoint> points)
{
    const QPoint* previous = nullptr;
    for (const QPoint& point : points)
    {
        if (previous != nullptr)
            painter->drawLine(*previous, point);
        previous = &point;
    }
}

// The bus width mark: a slash across the line and the width below it ("?" when unknown).
void draw_width_mark(QPainter* painter, QPoint slash_top, QPoint slash_bottom, QPoint text_at, int width)
{
    const QPen previous = painter->pen();
    painter->setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->drawLine(slash_top, slash_bottom);
    painter->setPen(previous);
    painter->drawText(text_at, width < 1 ? QStringLiteral("?") : QStringLiteral("%1").arg(width));
}
} // namespace

// Which picture the body gets, and whether the operator then stands in the box as text.
static AFCQ_ICON_ENUM body_icon(const SEDQ_OBJECT& object, bool multiple_input, bool show_bitmaps,
                                bool* symbol_in_box)
{
    *symbol_in_box = false;
    const SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display = object.get_display_type();
    const bool delayed = object.has_own_data_delay();
    switch (object.get_type())
    {
    case SEDQ_OBJECT::BUS:
        if (!delayed)
        {
            const auto shown = object.is_leaf() ? SEDQ_OBJECT::DISPLAY_BUS : SEDQ_OBJECT::DISPLAY_NODE;
            return SEDQ_OBJECT::DISPLAY_TYPES[shown].bitmap;
        }
        return object.is_leaf() ? AFCQ_ICON_SEDQ_DELAYED_BUS : AFCQ_ICON_SEDQ_DELAYED_PARENT;
    case SEDQ_OBJECT::LEVEL_RESULT:
        return object.is_leaf() ? SEDQ_OBJECT::DISPLAY_TYPES[display].bitmap
                                : AFCQ_ICON_SEDQ_RESULT_WITH_INPUT;
    default:
        break;
    }
    if (object.get_type() == SEDQ_OBJECT::NODE && delayed)
        return AFCQ_ICON_SEDQ_DELAYED_PARENT;
    if (show_bitmaps)
    {
        if (object.get_type() == SEDQ_OBJECT::BIT_VALUE && !object.get_alias().isEmpty())
            return display == SEDQ_OBJECT::DISPLAY_CONSTANT_HIGH || display == SEDQ_OBJECT::DISPLAY_CONSTANT_LOW
                       ? AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE
                       : AFCQ_ICON_SEDQ_VARIABLE_BUS_VALUE;
        return SEDQ_OBJECT::DISPLAY_TYPES[display].bitmap;
    }
    if (object.get_height() == SHORT_HEIGHT)
    {
        *symbol_in_box = object.get_alias().isEmpty();
        return SEDQ_OBJECT::DISPLAY_TYPES[SEDQ_OBJECT::DISPLAY_NODE].bitmap;
    }
    *symbol_in_box = true;
    const int inputs = SEDQ_OBJECT::DISPLAY_TYPES[display].input_count;
    if (inputs == 0)
        return AFCQ_ICON_SEDQ_UNKNOWN;
    if (inputs == 2 && multiple_input)
        return AFCQ_ICON_SEDQ_PLAIN_TWO_INPUT_BOX;
    return AFCQ_ICON_SEDQ_PLAIN_BOX;
}

void SEDQ_OBJECT::draw(QPainter* painter, bool multiple_input, bool show_bitmaps, bool has_focus,
                       bool incremental) const
{
    if (is_hidden())
        return;
    const QRect box = get_rect();
    const int height = get_height();
    if (m_property[SEDQ_PROPERTY::SELECTED] == 1)
        paint_icon(painter, frame_icon(height, has_focus),
                   QRect(QPoint(box.left() - FRAME_OUTSET, box.top() - FRAME_OUTSET),
                         QPoint(box.right() + FRAME_RIGHT_OUTSET, box.bottom() + FRAME_RIGHT_OUTSET)));
    bool symbol_in_box = false;
    paint_icon(painter, body_icon(*this, multiple_input, show_bitmaps, &symbol_in_box), box);
    if (!is_leaf())
    {
        QRect expand;
        get_expand_box(&expand);
        const AFCQ_ICON_ENUM icon = m_property[SEDQ_PROPERTY::EXPANDED] == 1 ? AFCQ_ICON_SEDQ_EXPANDED
                                    : is_valid_parent()                     ? AFCQ_ICON_SEDQ_COLLAPSED
                                                                            : AFCQ_ICON_SEDQ_COLLAPSED_INVALID;
        paint_icon(painter, icon, expand);
    }
    const SEDQ_DISPLAY_TYPE display = get_display_type();
    draw_symbol(painter, get_type(), display, symbol_in_box, incremental);
    if (!show_bitmaps)
        return;
    const QPoint head = get_head();
    if (DISPLAY_TYPES[display].output_type == PORT_BUS)
    {
        draw_width_mark(painter, head + QPoint(4, -6), head + QPoint(10, 6), head + QPoint(7, 18),
                        get_output_width(true));
        return;
    }
    if (DISPLAY_TYPES[display].input_type == PORT_BUS &&
        DISPLAY_TYPES[display].input_count == ANY_INPUT_COUNT && m_property[SEDQ_PROPERTY::EXPANDED] == 1 &&
        m_children.size() > 1)
    {
        const QPoint tail = get_tail(MIDDLE_PORT);
        draw_width_mark(painter, tail + QPoint(-8, -6), tail + QPoint(-2, 6), tail + QPoint(-6, 18),
                        get_input_width());
    }
}

void SEDQ_OBJECT::draw_symbol(QPainter* painter, SEDQ_OBJECT_TYPE type, SEDQ_DISPLAY_TYPE display,
                              bool symbol_in_box, bool incremental) const
{
    QRect text;
    get_text_rect(&text);
    const bool selected = m_property[SEDQ_PROPERTY::SELECTED] == 1;
    const QColor name_colour = incremental ? INCREMENTAL_NAME_COLOUR
                               : selected  ? SELECTED_NAME_COLOUR
                                           : QColor(Qt::black);
    if (!get_alias().isEmpty())
        draw_name_text(painter, text, get_alias(), ALIAS_COLOUR);
    else
        switch (type)
        {
        case BUS:
            // The box says what the condition's formula says of the Bus: its bus name, else its
            // symbol. Its automatic name, which any accepted Properties gives it, is no part of
            // that text.
            if (!get_bus_name().isEmpty())
                draw_name_text(painter, text, get_short_bus_name(true), name_colour);
            else
                draw_symbol_text(painter, display, text);
            return;
        case NODE:
            if (get_name().isEmpty())
                draw_symbol_text(painter, display, text);
            else
                draw_name_text(painter, text, get_short_name(true), name_colour);
            return;
        case BUS_VALUE:
        {
            const QString value = get_bus_value(-1, nullptr, nullptr, nullptr);
            if (value.isEmpty())
                draw_symbol_text(painter, display, text);
            else
                draw_name_text(painter, text, value, Qt::black);
            return;
        }
        case LEVEL_RESULT:
            draw_symbol_text(painter, display, get_rect());
            return;
        case BIT_VALUE:
        case INCREMENTAL_ROUTE_CONDITION:
            break;
        default:
            if (!get_name().isEmpty())
                draw_name_text(painter, text, get_name(), QPalette().color(QPalette::Dark));
            break;
        }
    if (symbol_in_box)
        draw_symbol_text(painter, display, get_rect());
    else if (type == EDGE_LEVEL_DETECTOR)
        draw_pattern_text(painter);
    else if (type == SHIFT_OPERATOR)
        draw_distance_text(painter);
    else if (type == CUSTOM_TRIGGER_HDL)
        draw_hdl_text(painter);
}

void SEDQ_OBJECT::draw_name_text(QPainter* painter, QRect rect, QString const& text, QColor colour) const
{
    painter->save();
    painter->setPen(colour);
    const QString shown = painter->fontMetrics().elidedText(text, Qt::ElideLeft, rect.width());
    painter->drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter, shown);
    painter->restore();
}

void SEDQ_OBJECT::draw_symbol_text(QPainter* painter, SEDQ_DISPLAY_TYPE display, QRect rect) const
{
    const QPen previous = painter->pen();
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setPen(Qt::black);
    painter->drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                      QString::fromLatin1(DISPLAY_TYPES[display].symbol));
    painter->setPen(previous);
}

namespace
{
// One line in the upper band of a tall box, cut at the right.
void draw_band_text(QPainter* painter, QRect const& box, int inset, QString const& text)
{
    const QRect band = box.adjusted(inset, 18, -4, -70);
    const QPen previous = painter->pen();
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setPen(Qt::black);
    painter->drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(text, Qt::ElideRight, band.width()));
    painter->setPen(previous);
}
} // namespace

void SEDQ_OBJECT::draw_pattern_text(QPainter* painter) const
{
    draw_band_text(painter, get_rect(), 4, get_pattern());
}

void SEDQ_OBJECT::draw_distance_text(QPainter* painter) const
{
    draw_band_text(painter, get_rect(), 50, get_shift_distance());
}

void SEDQ_OBJECT::draw_hdl_text(QPainter* painter) const
{
    draw_band_text(painter, get_rect(), 4, m_property[SEDQ_PROPERTY::CONFIG_BITSTREAM]);
}

// A counter box and a node or bus box carry no further text.
void SEDQ_OBJECT::draw_counter_text(QPainter*) const {}

void SEDQ_OBJECT::draw_data_delay_text(QPainter*) const {}

// Lines lie over every box: the canvas draws them after all objects.
void SEDQ_OBJECT::draw_lines(QPainter* painter, bool angled, bool multiple_input, QPoint const& cursor) const
{
    if (is_hidden())
        return;
    painter->save();
    const SEDQ_DISPLAY_TYPE display = get_display_type();
    const SEDQ_PORT_TYPE input_type = DISPLAY_TYPES[display].input_type;
    const SEDQ_PORT_TYPE output_type = DISPLAY_TYPES[display].output_type;
    const int inputs = DISPLAY_TYPES[display].input_count;
    const QPoint head = get_head();
    const bool inputs_show = is_leaf() || m_property[SEDQ_PROPERTY::EXPANDED] == 1;

    if (m_parent != nullptr)
    {
        painter->setPen(line_pen(is_valid_child(nullptr) ? port_colour(output_type) : QColor(Qt::red), output_type));
        int port = MIDDLE_PORT;
        if (multiple_input && DISPLAY_TYPES[m_parent->get_display_type()].input_count == 2)
        {
            const bool first = m_parent->get_oldest_child() == this;
            port = first && m_parent->get_property()[SEDQ_PROPERTY::FIRST_PORT_EMPTY] != 1 ? UPPER_PORT : LOWER_PORT;
        }
        const QPoint target = m_parent->get_tail(port);
        const int bend_x = m_parent->get_tail(MIDDLE_PORT).x() - BEND_OFFSET;
        if (angled)
            polyline(painter, {head, QPoint(bend_x, head.y()), QPoint(bend_x, target.y()),
                               QPoint(target.x() + 4, target.y())});
        else
            painter->drawLine(head, target);
    }

    if (inputs_show)
    {
        painter->setPen(line_pen(port_colour(input_type), input_type));
        const int stub_end = get_tail(MIDDLE_PORT).x() - 7;
        const auto stub = [&](int port) {
            const QPoint tail = get_tail(port);
            painter->drawLine(QPoint(tail.x() + 4, tail.y()), QPoint(stub_end, tail.y()));
        };
        if (!multiple_input)
        {
            if (is_leaf() && inputs > 0)
                stub(MIDDLE_PORT);
        }
        else if (inputs == 2)
        {
            if (is_leaf())
            {
                stub(UPPER_PORT);
                stub(LOWER_PORT);
            }
            else if (m_children.size() == 1)
                stub(m_property[SEDQ_PROPERTY::FIRST_PORT_EMPTY] == 1 ? UPPER_PORT : LOWER_PORT);
        }
        else if (inputs > 0 && is_leaf())
            stub(MIDDLE_PORT);

        if (angled && inputs == ANY_INPUT_COUNT && input_type != PORT_NONE)
        {
            const QPoint tail = get_tail(MIDDLE_PORT);
            const int x = tail.x() + (is_leaf() ? -8 : -16);
            painter->setBrush(Qt::black);
            if (input_type == PORT_BIT)
                painter->drawEllipse(QRect(QPoint(x - 2, tail.y() - 3), QPoint(x + 3, tail.y() + 2)));
            else
                painter->drawEllipse(QRect(QPoint(x - 4, tail.y() - 5), QPoint(x + 5, tail.y() + 4)));
        }
    }

    if (m_parent == nullptr && output_type != PORT_NONE)
    {
        painter->setPen(line_pen(port_colour(output_type), output_type));
        // While a connection is being drawn from this root the line follows the mouse.
        if (m_property[SEDQ_PROPERTY::SELECTED] == 1 && m_dragging && draws_connection(*this))
        {
            if (angled)
                polyline(painter, {head, QPoint(cursor.x(), head.y()), cursor});
            else
                painter->drawLine(head, cursor);
        }
        else
            painter->drawLine(head, QPoint(head.x() + (output_type == PORT_BIT ? 7 : 13), head.y()));
    }
    painter->restore();
}
