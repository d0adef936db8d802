#pragma once
// A condition whose objects a test builds as trees: each object is made in the condition's
// object list (which owns it) and wired as the next input of its parent.

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <QString>

class sedq_object_tree
{
public:
    SEDQ_OBJECT* add(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent = nullptr)
    {
        SDR_TX_TREE_OBJECT* made = parent != nullptr
                                       ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
                                       : m_condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
        auto* object = static_cast<SEDQ_OBJECT*>(made);
        object->set_type(type);
        return object;
    }

    // A Bus of `width` Nodes under `parent`.
    SEDQ_OBJECT* add_bus(int width, SEDQ_OBJECT* parent = nullptr)
    {
        SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS, parent);
        for (int i = 0; i < width; ++i)
            add(SEDQ_OBJECT::NODE, bus);
        return bus;
    }

    // A Bus Value under `parent` holding `text` in the radix named by its setting word.
    SEDQ_OBJECT* add_value(const QString& text, const QString& radix, SEDQ_OBJECT* parent = nullptr)
    {
        SEDQ_OBJECT* value = add(SEDQ_OBJECT::BUS_VALUE, parent);
        SEDQ_PROPERTY& bag = value->get_property();
        bag.set_setting_text(SEDQ_PROPERTY::BUS_VALUE, text, SEDQ_PROPERTY::BY_CONTEXT);
        bag.set_setting_text(SEDQ_PROPERTY::DISPLAY_FORMAT, radix, SEDQ_PROPERTY::BY_CONTEXT);
        return value;
    }

    SEDQ_TRIGGER_OBJECT& condition() { return m_condition; }

private:
    SEDQ_TRIGGER_OBJECT m_condition;
};
