// The tree-object protocol between live advanced-trigger objects and the stored records.
#include "host/sdr/sdr_file.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/sdr/sdr_verify.h"

#include <algorithm>

namespace
{
using ATTRIBUTES = std::vector<std::pair<std::string, std::string>>;

// No condition is drawn deeper; a guard against a tree that loops back on itself.
const int MAX_COLLECT_DEPTH = SDR_FILE_LIMITS::MAX_CONDITION_DEPTH;

class attribute_collector : public SDR_TX_ATTRIBUTE_SINK
{
public:
    explicit attribute_collector(ATTRIBUTES* target) : m_target(target) {}
    void add(const std::string& key, const std::string& value) override { m_target->emplace_back(key, value); }

private:
    ATTRIBUTES* m_target;
};

void collect_attributes(SDR_TX_TREE_OBJECT* object, ATTRIBUTES* attributes)
{
    attribute_collector sink(attributes);
    SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&sink);
    object->get_attributes();
}

void collect_record(SDR_TX_TREE_OBJECT* object, SDR_TREE_RECORD* record, int depth)
{
    if (!SDR_VERIFY(depth <= MAX_COLLECT_DEPTH))
        return;
    collect_attributes(object, &record->attributes);
    const int count = object->get_child_count();
    for (int k = 0; k < count; ++k)
        if (SDR_TX_TREE_OBJECT* child = object->get_child_object(k)) {
            record->children.emplace_back();
            collect_record(child, &record->children.back(), depth + 1);
        }
}

SDR_STORED_TREE collect_condition(SDR_TX_TREE_OBJECT* handle)
{
    SDR_STORED_TREE tree;
    tree.present = true;
    const int count = handle->get_child_count();
    for (int k = 0; k < count; ++k)
        if (SDR_TX_TREE_OBJECT* root = handle->get_child_object(k)) {
            tree.roots.emplace_back();
            collect_record(root, &tree.roots.back(), 1);
        }
    return tree;
}

void collect_trigger(SDR_DATA_TRIGGER* trigger)
{
    trigger->m_stored_level_trees.resize(std::max(trigger->m_stored_level_trees.size(), trigger->m_level_trees.size()));
    for (size_t i = 0; i < trigger->m_level_trees.size(); ++i)
        if (trigger->m_level_trees[i])
            trigger->m_stored_level_trees[i] = collect_condition(trigger->m_level_trees[i]);
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k)
        if (trigger->m_sq_trees[k])
            trigger->m_stored_sq_trees[k] = collect_condition(trigger->m_sq_trees[k]);
    if (trigger->m_state_machine_object) {
        SDR_STORED_TREE machine;
        machine.present = true;
        collect_attributes(trigger->m_state_machine_object, &machine.attributes);
        trigger->m_stored_state_machine = machine;
    }
}

void rebuild_record(SDR_TX_TREE_OBJECT* parent, const SDR_TREE_RECORD& record)
{
    SDR_TX_TREE_OBJECT* object = parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    if (!SDR_VERIFY(object != NULL))
        return;
    for (const auto& pair : record.attributes)
        object->set_attribute(pair.first.c_str(), pair.second.c_str());
    for (const SDR_TREE_RECORD& child : record.children)
        rebuild_record(object, child);
}

SDR_TX_TREE_OBJECT* rebuild_condition(SDR_TX_TREE_OBJECT* root, const SDR_STORED_TREE& tree)
{
    SDR_TX_TREE_OBJECT* handle = root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    if (!SDR_VERIFY(handle != NULL))
        return nullptr;
    for (const SDR_TREE_RECORD& record : tree.roots)
        rebuild_record(handle, record);
    return handle;
}

// A level that only has an expression (a wizard preset) is rebuilt from its parse; a level
// with a stored tree never is, or its objects would appear twice.
SDR_TX_TREE_OBJECT* rebuild_from_expression(SDR_TX_TREE_OBJECT* root, SDR_DATA_TRIGGER* trigger, int level)
{
    SCI_ADVANCED_TRIGGER_FACTORY* factory = trigger->get_advanced_trigger_factory(level, false);
    if (!factory)
        return nullptr;
    SDR_TX_TREE_OBJECT* handle = root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    SDR_TX_TREE_OBJECT* object =
        handle ? handle->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER) : nullptr;
    if (object)
        object->generate_tree(factory);
    return handle;
}

void rebuild_trigger(SDR_DATA_TRIGGER* trigger, SDR_TX_TREE_OBJECT* root)
{
    if (!trigger->m_state_machine_object) {
        trigger->m_state_machine_object = root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_STATE_MACHINE);
        if (trigger->m_state_machine_object)
            for (const auto& pair : trigger->m_stored_state_machine.attributes)
                trigger->m_state_machine_object->set_attribute(pair.first.c_str(), pair.second.c_str());
    }
    const std::vector<SDR_TRIGGER_LEVEL>& levels = trigger->state().levels;
    trigger->m_level_trees.resize(levels.size(), nullptr);
    trigger->m_stored_level_trees.resize(std::max(trigger->m_stored_level_trees.size(), levels.size()));
    for (size_t i = 0; i < levels.size(); ++i) {
        if (trigger->m_level_trees[i])
            continue;
        if (trigger->m_stored_level_trees[i].present) {
            trigger->m_level_trees[i] = rebuild_condition(root, trigger->m_stored_level_trees[i]);
            // A condition the editor changed follows its objects; a preset saved as the tree it
            // opened as keeps its own text, which its objects may not show whole.
            if (levels[i].adv_modified[0])
                trigger->set_drawn(int(i), false);
        }
        else if (!levels[i].expression.empty())
            trigger->m_level_trees[i] = rebuild_from_expression(root, trigger, int(i));
    }
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k)
        if (!trigger->m_sq_trees[k] && trigger->m_stored_sq_trees[k].present) {
            trigger->m_sq_trees[k] = rebuild_condition(root, trigger->m_stored_sq_trees[k]);
            if (trigger->state().sq_patterns[k].adv_modified[0])
                trigger->set_drawn(k, true);
        }
}

template <class VISIT>
void for_each_trigger(SDR_DATA_SESSION& session, VISIT visit)
{
    for (const auto& instance : session.m_instances)
        for (const auto& signal_set : instance->m_signal_sets)
            for (const auto& trigger : signal_set->m_triggers)
                visit(trigger.get());
}
} // namespace

void sdr_collect_session_trees(SDR_DATA_SESSION& session)
{
    for_each_trigger(session, [](SDR_DATA_TRIGGER* trigger) { collect_trigger(trigger); });
}

void sdr_rebuild_session_trees(SDR_DATA_SESSION& session, SDR_TX_TREE_OBJECT* root)
{
    if (!SDR_VERIFY(root != NULL))
        return;
    for_each_trigger(session, [root](SDR_DATA_TRIGGER* trigger) { rebuild_trigger(trigger, root); });
    session.m_tree_records_pending = false;
}
