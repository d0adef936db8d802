// SEDQ_OBJECT: the edits the canvas's commands are built from: selection, wiring an input in
// and out, promoting inputs and reordering them.
#include "sedq/advanced_trigger/sedq_object.h"

bool SEDQ_OBJECT::is_selected() const
{
    return m_property[SEDQ_PROPERTY::SELECTED] == 1;
}

bool SEDQ_OBJECT::is_expanded() const
{
    return m_property[SEDQ_PROPERTY::EXPANDED] == 1;
}

void SEDQ_OBJECT::select(bool on, bool add, bool toggle)
{
    if (toggle)
        m_property.set(SEDQ_PROPERTY::SELECTED, (on ? !m_base_selected : m_base_selected) ? 1 : 0);
    else if (!add)
        m_property.set(SEDQ_PROPERTY::SELECTED, on ? 1 : 0);
    else if (on)
        m_property.set(SEDQ_PROPERTY::SELECTED, 1);
}

void SEDQ_OBJECT::select(QRect rect, bool add, bool toggle)
{
    if (!is_hidden())
        select(rect.intersects(get_rect()), add, toggle);
}

void SEDQ_OBJECT::select_all_descendents()
{
    for (SEDQ_OBJECT* child : m_children)
    {
        child->m_property.set(SEDQ_PROPERTY::SELECTED, 1);
        child->select_all_descendents();
    }
}

// A single input goes to the lower port when its box lies below this one, so that its line
// does not cross; a second input fills the ports from the top.
void SEDQ_OBJECT::attach(SEDQ_OBJECT* child, bool sort)
{
    if (child == nullptr || child->m_parent == this || child->is_descendent(this))
        return;
    if (child->m_parent != nullptr)
        child->m_parent->detach(child);
    m_children.append(child);
    if (sort)
    {
        const bool lower = m_children.size() == 1 && child->get_head().y() > get_head().y();
        m_property.set(SEDQ_PROPERTY::FIRST_PORT_EMPTY, lower ? 1 : 0);
        sort_children();
    }
    child->m_parent = this;
}

// The input left of two keeps its place at the lower port.
void SEDQ_OBJECT::detach(SEDQ_OBJECT* child)
{
    if (child == nullptr)
    {
        if (m_parent != nullptr)
            m_parent->detach(this);
        return;
    }
    const int index = m_children.indexOf(child);
    if (index < 0)
        return;
    if (index == 0 && m_children.size() == 2)
        m_property.set(SEDQ_PROPERTY::FIRST_PORT_EMPTY, 1);
    m_children.removeAt(index);
    child->m_parent = nullptr;
}

void SEDQ_OBJECT::promote_children()
{
    if (m_parent == nullptr)
        return;
    const QList<SEDQ_OBJECT*> inputs = m_children;
    for (int i = inputs.size() - 1; i >= 0; --i)
        m_parent->attach(inputs.at(i), false);
}

// One pass moves a block of adjacent selected inputs by one place as a block.
void SEDQ_OBJECT::make_selected_children_older()
{
    for (int i = 1; i < m_children.size(); ++i)
        if (m_children.at(i)->is_selected() && !m_children.at(i - 1)->is_selected())
            m_children.swapItemsAt(i, i - 1);
}

void SEDQ_OBJECT::make_selected_children_younger()
{
    for (int i = m_children.size() - 2; i >= 0; --i)
        if (m_children.at(i)->is_selected() && !m_children.at(i + 1)->is_selected())
            m_children.swapItemsAt(i, i + 1);
}

bool SEDQ_OBJECT::has_selected_expanded_children() const
{
    for (const SEDQ_OBJECT* child : m_children)
        if (child->is_selected() && !child->is_leaf() && child->is_expanded())
            return true;
    return false;
}
