// SEDQ_OBJECT: the box height and output point that order objects from top to bottom, and
// revealing an object inside collapsed parents.
#include "sedq/advanced_trigger/sedq_object.h"

namespace
{
constexpr int BOX_WIDTH = 100;
constexpr int SHORT_HEIGHT = 20;
constexpr int DELAYED_HEIGHT = 33;
constexpr int TALL_HEIGHT = 100;
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
        return get_data_delay(false).isEmpty() ? SHORT_HEIGHT : DELAYED_HEIGHT;
    default:
        return TALL_HEIGHT;
    }
}

QPoint SEDQ_OBJECT::get_head() const
{
    return QPoint(m_property[SEDQ_PROPERTY::LEFT] + BOX_WIDTH,
                  m_property[SEDQ_PROPERTY::TOP] + get_height() / 2);
}

void SEDQ_OBJECT::ensure_visible()
{
    for (SEDQ_OBJECT* above = m_parent; above != nullptr; above = above->m_parent)
        above->m_property.set(SEDQ_PROPERTY::EXPANDED, 1);
}

bool sedq_object_compare(SEDQ_OBJECT* a, SEDQ_OBJECT* b)
{
    return a->get_head().y() < b->get_head().y();
}
