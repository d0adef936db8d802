// SEDQ_OBJECT_FIND_TARGET: one text of one advanced trigger object searched by the find dialog.
#include "sedq/advanced_trigger/sedq_object_find_target.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"

SEDQ_OBJECT_FIND_TARGET::~SEDQ_OBJECT_FIND_TARGET() = default;

void SEDQ_OBJECT_FIND_TARGET::init(SEDQ_OBJECT_WIDGET* widget, SEDQ_OBJECT* object,
                                   GEN_BITSET<unsigned int> const& kind)
{
    m_widget = widget;
    m_object = object;
    set_type(kind.value());
}

const char* SEDQ_OBJECT_FIND_TARGET::get_text()
{
    return get_string();
}

const char* SEDQ_OBJECT_FIND_TARGET::get_string()
{
    QString text;
    if (m_object != nullptr)
    {
        switch (get_type())
        {
        case NODE_NAME:
        case OTHER_NAME:
            text = m_object->get_name();
            break;
        case BUS_NAME:
            text = m_object->get_bus_name();
            break;
        case ALIAS:
            text = m_object->get_alias();
            break;
        case DISPLAY_TYPE:
            text = QString::fromLatin1(SEDQ_OBJECT::DISPLAY_TYPES[m_object->get_display_type()].name);
            break;
        default:
            break;
        }
    }
    return cache_text(text);
}

void SEDQ_OBJECT_FIND_TARGET::find_action(unsigned long, unsigned long)
{
    if (m_widget != nullptr && m_object != nullptr)
        m_widget->ensure_visible(m_object);
}

void SEDQ_OBJECT_FIND_TARGET::replace_action(unsigned long, unsigned long, const char*) {}
