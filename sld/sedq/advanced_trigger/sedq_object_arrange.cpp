// SEDQ_OBJECT: the two automatic layouts of a subtree (the tidy tree and the schematic) and
// the outlines that keep sibling subtrees apart.
#include "sedq/advanced_trigger/sedq_object.h"

#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <vector>

namespace
{
// Inputs stand one column left of their consumer, with a gap this wide before its left edge.
constexpr int COLUMN_STEP = 130;
// The least vertical space between two boxes of sibling subtrees, and between leaves.
constexpr int SIBLING_GAP = 10;
// A schematic parent stands this far right of its rightmost input's output point.
constexpr int SCHEMATIC_GAP = 30;
// A schematic parent's top lies this far above the middle of its inputs, whatever its height.
constexpr int SCHEMATIC_LIFT = 50;
} // namespace

int SEDQ_OUTLINE::size() const
{
    SEDQ_VERIFY(this->m_top_array.size() == this->m_bottom_array.size());
    return int(m_top_array.size());
}

void SEDQ_OUTLINE::set(int level, int top, int bottom)
{
    while (m_top_array.size() <= level)
        m_top_array.append(0);
    while (m_bottom_array.size() <= level)
        m_bottom_array.append(0);
    m_top_array[level] = top;
    m_bottom_array[level] = bottom;
}

void SEDQ_OUTLINE::shift(int distance)
{
    for (int& top : m_top_array)
        top += distance;
    for (int& bottom : m_bottom_array)
        bottom += distance;
}

void SEDQ_OUTLINE::merge(const SEDQ_OUTLINE& other)
{
    const int common = std::min(size(), other.size());
    for (int k = 0; k < common; ++k)
    {
        m_top_array[k] = std::min(m_top_array[k], other.m_top_array[k]);
        m_bottom_array[k] = std::max(m_bottom_array[k], other.m_bottom_array[k]);
    }
    for (int k = common; k < other.size(); ++k)
        set(k, other.m_top_array[k], other.m_bottom_array[k]);
}

void SEDQ_OUTLINE::append(const SEDQ_OUTLINE& inputs)
{
    m_top_array.append(inputs.m_top_array.constData(), inputs.m_top_array.size());
    m_bottom_array.append(inputs.m_bottom_array.constData(), inputs.m_bottom_array.size());
}

bool SEDQ_OBJECT::start_outline(SEDQ_OUTLINE* outline) const
{
    const int top = m_property[SEDQ_PROPERTY::TOP];
    outline->m_top_array.clear();
    outline->m_bottom_array.clear();
    outline->set(0, top, top + get_height());
    return !is_leaf() && m_property[SEDQ_PROPERTY::EXPANDED] == 1;
}

void SEDQ_OBJECT::get_outline(SEDQ_OUTLINE* outline) const
{
    if (!start_outline(outline))
        return;
    SEDQ_OUTLINE below;
    m_children.first()->get_outline(&below);
    for (int i = 1; i < m_children.size(); ++i)
    {
        SEDQ_OUTLINE next;
        m_children[i]->get_outline(&next);
        below.merge(next);
    }
    outline->append(below);
}

void SEDQ_OBJECT::arrange()
{
    SEDQ_OUTLINE outline;
    arrange(&outline);
}

// The inputs are stacked in one column, centred on the port they feed (a two-input object
// with a single input centres it on the free upper or lower port), then pushed apart where
// their subtrees would come closer than the gap at any depth, and the group re-centred.
void SEDQ_OBJECT::arrange(SEDQ_OUTLINE* outline)
{
    if (!start_outline(outline))
        return;
    const int n = int(m_children.size());
    int port = MIDDLE_PORT;
    int counted = n;
    if (DISPLAY_TYPES[get_display_type()].input_count == 2)
    {
        if (m_property[SEDQ_PROPERTY::FIRST_PORT_EMPTY] == 1)
            port = LOWER_PORT;
        else if (n == 1)
            port = UPPER_PORT;
        else
            counted = std::min(n, 2);
    }
    int total_height = SIBLING_GAP * (counted - 1);
    for (int i = 0; i < counted; ++i)
        total_height += m_children[i]->get_height();
    const int x = m_property[SEDQ_PROPERTY::LEFT] - COLUMN_STEP;
    int y = get_tail(port).y() - int(total_height * 0.5);
    std::vector<SEDQ_OUTLINE> inputs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
    {
        SEDQ_OBJECT* child = m_children[i];
        child->move(x, y);
        child->arrange(&inputs[size_t(i)]);
        y += child->get_height() + SIBLING_GAP;
    }

    // Each push moves the input and every younger one: an input's outline follows the pushes
    // made before its turn.
    SEDQ_OUTLINE& above = inputs.front();
    int pushed = 0;
    for (int i = 1; i < n; ++i)
    {
        SEDQ_OUTLINE& next = inputs[size_t(i)];
        next.shift(pushed);
        int gap = 0;
        const int common = std::min(above.size(), next.size());
        for (int k = 0; k < common; ++k)
            gap = std::max(gap, above.m_bottom_array[k] - next.m_top_array[k] + SIBLING_GAP);
        if (gap > 0)
        {
            move_younger_siblings_down(m_children[i], gap);
            next.shift(gap);
            pushed += gap;
        }
        above.merge(next);
    }
    if (pushed > 0)
    {
        for (SEDQ_OBJECT* child : m_children)
            child->move_up(pushed / 2);
        above.shift(-(pushed / 2));
    }
    outline->append(above);
}

void SEDQ_OBJECT::arrange_schematic()
{
    const QPoint before(m_property[SEDQ_PROPERTY::LEFT], m_property[SEDQ_PROPERTY::TOP]);
    int next_y = 0;
    arrange_schematic(&next_y);
    move(before - QPoint(m_property[SEDQ_PROPERTY::LEFT], m_property[SEDQ_PROPERTY::TOP]));
}

// Leaves go in one column in depth-first order; a parent stands right of its inputs, level
// with the middle of the first and last one. Collapsed inputs are placed too.
void SEDQ_OBJECT::arrange_schematic(int* next_y)
{
    if (is_leaf())
    {
        move(0, *next_y);
        *next_y += get_height() + SIBLING_GAP;
        return;
    }
    int right = 0;
    for (SEDQ_OBJECT* child : m_children)
    {
        child->arrange_schematic(next_y);
        right = std::max(right, child->get_head().x());
    }
    const int first = m_children.first()->get_head().y();
    const int last = m_children.last()->get_head().y();
    move(right + SCHEMATIC_GAP, first + (last - first) / 2 - SCHEMATIC_LIFT);
}
