// The find targets of an object and its input tree, in the order a search walks the diagram:
// each object's own texts, then its inputs from top to bottom.
#include "sedq/advanced_trigger/sedq_object_find_target.h"

#include "sedq/advanced_trigger/sedq_object.h"

#include <algorithm>

namespace
{
void append_target(std::vector<UIB_FIND_TARGET*>* targets, SEDQ_OBJECT_WIDGET* widget, SEDQ_OBJECT* object,
                   unsigned int kind)
{
    auto* target = new SEDQ_OBJECT_FIND_TARGET;
    target->init(widget, object, kind);
    targets->push_back(target);
}
} // namespace

void sedq_add_object_find_targets(SEDQ_OBJECT* object, std::vector<UIB_FIND_TARGET*>* targets,
                                  SEDQ_OBJECT_WIDGET* widget, UIB_FIND_ENGINE::DIRECTION direction,
                                  SEDQ_OBJECT* start, unsigned long* start_index)
{
    if (object == nullptr || targets == nullptr)
        return;
    const bool is_start = object == start && start_index != nullptr;
    if (is_start && direction == UIB_FIND_ENGINE::UP)
        *start_index = targets->empty() ? 0 : targets->size() - 1;
    const SEDQ_OBJECT::SEDQ_OBJECT_TYPE type = object->get_type();
    if (type == SEDQ_OBJECT::NODE && !object->get_name().isEmpty())
        append_target(targets, widget, object, SEDQ_OBJECT_FIND_TARGET::NODE_NAME);
    else if (type == SEDQ_OBJECT::BUS && !object->get_bus_name().isEmpty())
        append_target(targets, widget, object, SEDQ_OBJECT_FIND_TARGET::BUS_NAME);
    else if (!object->get_name().isEmpty())
        append_target(targets, widget, object, SEDQ_OBJECT_FIND_TARGET::OTHER_NAME);
    if (!object->get_alias().isEmpty())
        append_target(targets, widget, object, SEDQ_OBJECT_FIND_TARGET::ALIAS);
    append_target(targets, widget, object, SEDQ_OBJECT_FIND_TARGET::DISPLAY_TYPE);
    if (is_start && direction != UIB_FIND_ENGINE::UP)
        *start_index = targets->size() - 1;
    QList<SEDQ_OBJECT*> inputs;
    for (SEDQ_OBJECT* input : object->get_children())
        if (input != nullptr)
            inputs.append(input);
    std::stable_sort(inputs.begin(), inputs.end(), sedq_object_compare);
    for (SEDQ_OBJECT* input : inputs)
        sedq_add_object_find_targets(input, targets, widget, direction, start, start_index);
}
