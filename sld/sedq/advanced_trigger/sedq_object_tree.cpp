// SEDQ_OBJECT: the tree of a condition: structural queries, which connections are legal, the
// canonical order of inputs and deep copies.
#include "sedq/advanced_trigger/sedq_object.h"

#include <algorithm>
#include <utility>
#include <vector>

SEDQ_OBJECT* SEDQ_OBJECT::get_root()
{
    SEDQ_OBJECT* top = this;
    while (top->m_parent != nullptr)
        top = top->m_parent;
    return top;
}

bool SEDQ_OBJECT::is_descendent(const SEDQ_OBJECT* other) const
{
    for (; other != nullptr; other = other->m_parent)
        if (other == this)
            return true;
    return false;
}

SEDQ_OBJECT* SEDQ_OBJECT::get_oldest_child()
{
    return m_children.isEmpty() ? nullptr : m_children.first();
}

SEDQ_OBJECT* SEDQ_OBJECT::get_youngest_child()
{
    return m_children.isEmpty() ? nullptr : m_children.last();
}

SEDQ_OBJECT* SEDQ_OBJECT::get_oldest_sibling()
{
    return m_parent != nullptr ? m_parent->get_oldest_child() : nullptr;
}

SEDQ_OBJECT* SEDQ_OBJECT::get_youngest_sibling()
{
    return m_parent != nullptr ? m_parent->get_youngest_child() : nullptr;
}

// An input of the port's own kind is legal within the input count; a single bit may also
// feed a bus port that takes any number of inputs, as one bit of the bus.
bool SEDQ_OBJECT::is_valid_child(const SEDQ_OBJECT* child) const
{
    if (child == nullptr)
        return m_parent == nullptr || m_parent->is_valid_child(this);
    return takes_input(get_display_type(), child);
}

bool SEDQ_OBJECT::takes_input(SEDQ_DISPLAY_TYPE display, const SEDQ_OBJECT* child) const
{
    const SEDQ_PORT_TYPE input = DISPLAY_TYPES[display].input_type;
    if (input == PORT_NONE)
        return false;
    const int count = DISPLAY_TYPES[display].input_count;
    if (DISPLAY_TYPES[child->get_display_type()].output_type == input)
    {
        if (m_children.size() <= count)
            return true;
        const int position = m_children.indexOf(const_cast<SEDQ_OBJECT*>(child));
        return position < 0 || position + 1 <= count;
    }
    return input == PORT_BUS && count == ANY_INPUT_COUNT;
}

// The object's own display type is worked out once for all its inputs: every equation written
// checks every object's inputs.
bool SEDQ_OBJECT::is_valid_parent() const
{
    const SEDQ_DISPLAY_TYPE display = get_display_type();
    return std::all_of(m_children.begin(), m_children.end(), [this, display](const SEDQ_OBJECT* child) {
        return child == nullptr ? is_valid_child(nullptr) : takes_input(display, child);
    });
}

// While objects are moved the dragged trees are drawn apart from where they were attached, so
// only ancestors in the same group (dragged or not) can fold an object away. Otherwise a
// dragged ancestor or an object being dragged itself stays on show.
bool SEDQ_OBJECT::is_hidden(Qt::CursorShape canvas_cursor) const
{
    const bool moving = canvas_cursor == Qt::SizeAllCursor || canvas_cursor == Qt::OpenHandCursor;
    if (!moving) {
        if (m_dragging)
            return false;
        for (const SEDQ_OBJECT* above = m_parent; above != nullptr; above = above->m_parent) {
            if (above->m_property[SEDQ_PROPERTY::EXPANDED] != 1)
                return true;
            if (above->m_dragging)
                return false;
        }
        return false;
    }
    for (const SEDQ_OBJECT* above = m_parent; above != nullptr && above->m_dragging == m_dragging;
         above = above->m_parent)
        if (above->m_property[SEDQ_PROPERTY::EXPANDED] != 1)
            return true;
    return false;
}

namespace
{
const int*& canvas_cursor_source()
{
    static const int* shape = nullptr;
    return shape;
}
} // namespace

void SEDQ_OBJECT::set_canvas_cursor_source(const int* shape)
{
    canvas_cursor_source() = shape;
}

bool SEDQ_OBJECT::is_hidden() const
{
    const int* shape = canvas_cursor_source();
    return is_hidden(shape != nullptr ? Qt::CursorShape(*shape) : Qt::ArrowCursor);
}

void SEDQ_OBJECT::sort_children()
{
    std::stable_sort(m_children.begin(), m_children.end(), sedq_object_compare);
}

void SEDQ_OBJECT::attach_child(SEDQ_OBJECT* child)
{
    if (child == nullptr || child == this || child->is_descendent(this))
        return;
    if (child->m_parent != nullptr)
        child->m_parent->detach_child(child);
    child->m_parent = this;
    m_children.append(child);
}

void SEDQ_OBJECT::detach_child(SEDQ_OBJECT* child)
{
    if (child == nullptr || child->m_parent != this)
        return;
    m_children.removeAll(child);
    child->m_parent = nullptr;
}

// Depth first with a stack of its own, so that a tree of any depth is copied; each copy is
// wired when it is made and listed once its inputs are, as a recursive copy would list them.
void SEDQ_OBJECT::clone(const SEDQ_OBJECT& source, QList<SEDQ_OBJECT*>* made, SEDQ_OBJECT* parent)
{
    m_property = source.m_property;
    if (parent != nullptr)
        parent->attach_child(this);
    struct FRAME
    {
        const SEDQ_OBJECT* source;
        SEDQ_OBJECT* copy;
        int next;
    };
    std::vector<FRAME> stack{{&source, this, 0}};
    while (!stack.empty()) {
        FRAME& frame = stack.back();
        if (frame.next < frame.source->m_children.size()) {
            const SEDQ_OBJECT* child = frame.source->m_children.at(frame.next++);
            auto* copy = new SEDQ_OBJECT(frame.copy->m_copy, ORIGIN_POINT, nullptr);
            copy->m_property = child->m_property;
            // A new object cannot close a loop: no check up the tree, which would cost its depth.
            copy->m_parent = frame.copy;
            frame.copy->m_children.append(copy);
            stack.push_back({child, copy, 0});
            continue;
        }
        SEDQ_OBJECT* done = frame.copy;
        stack.pop_back();
        if (!stack.empty() && made != nullptr)
            made->append(done);
    }
}

int sedq_condition_depth(const QList<SEDQ_OBJECT*>& objects)
{
    int deepest = 0;
    // A forest stacks each of its objects once at most: one allocation for the walk.
    std::vector<std::pair<const SEDQ_OBJECT*, int>> stack;
    stack.reserve(size_t(objects.size()));
    for (const SEDQ_OBJECT* object : objects) {
        if (object == nullptr || !object->is_root())
            continue;
        stack.push_back({object, 1});
        while (!stack.empty()) {
            const auto [at, depth] = stack.back();
            stack.pop_back();
            deepest = std::max(deepest, depth);
            for (const SEDQ_OBJECT* input : at->get_children())
                stack.push_back({input, depth + 1});
        }
    }
    return deepest;
}

bool sedq_object_compare_equations(SEDQ_OBJECT* a, SEDQ_OBJECT* b)
{
    return *a < *b;
}

SEDQ_OBJECT::SEDQ_DISPLAY_TYPE reverse_comparison_type(SEDQ_OBJECT::SEDQ_DISPLAY_TYPE type)
{
    // Within each block of eight comparisons the mirror of position p is 5 - p for the four
    // orderings (less, less or equal, greater or equal, greater); the rest stay.
    static constexpr SEDQ_OBJECT::SEDQ_DISPLAY_TYPE FIRST = SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_LESS_THAN;
    static constexpr SEDQ_OBJECT::SEDQ_DISPLAY_TYPE LAST = SEDQ_OBJECT::DISPLAY_VARIABLE_SIGNED_FALSE;
    if (type < FIRST || type > LAST)
        return type;
    const int block = (type - FIRST) / SEDQ_OBJECT::COMPARISON_TYPE_COUNT;
    const int position = (type - FIRST) % SEDQ_OBJECT::COMPARISON_TYPE_COUNT;
    switch (position)
    {
    case SEDQ_OBJECT::COMPARISON_LESS_THAN:
    case SEDQ_OBJECT::COMPARISON_LESS_THAN_OR_EQUAL:
    case SEDQ_OBJECT::COMPARISON_GREATER_THAN_OR_EQUAL:
    case SEDQ_OBJECT::COMPARISON_GREATER_THAN:
        return SEDQ_OBJECT::SEDQ_DISPLAY_TYPE(FIRST + block * SEDQ_OBJECT::COMPARISON_TYPE_COUNT +
                                              SEDQ_OBJECT::COMPARISON_GREATER_THAN - position);
    default:
        return type;
    }
}
