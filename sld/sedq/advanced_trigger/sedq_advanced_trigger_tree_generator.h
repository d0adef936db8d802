#pragma once
// Rebuilds a condition diagram from the trigger compiler's parse of a stored equation: one
// object per parse node, wired in input order under the object the walk started from.

#include "host/sci.h"
#include "sedq/advanced_trigger/sedq_property.h"

class SEDQ_OBJECT;

class SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR : public SCI_ADVANCED_TRIGGER_VISITOR
{
public:
    SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR() = default;
    ~SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR() override = default;

    // Walks the factory's parse from its root: an output root fills `root` as the Result;
    // any other root becomes `root`'s first input.
    bool create_advanced_trigger_tree(SCI_ADVANCED_TRIGGER_FACTORY* factory, SEDQ_OBJECT* root);

    void visit(SCI_ADVANCED_TRIGGER_LOGICAL* node) override;
    void visit(SCI_ADVANCED_TRIGGER_UNARY* node) override;
    void visit(SCI_ADVANCED_TRIGGER_CUSTOM_HDL* node) override;
    void visit(SCI_ADVANCED_TRIGGER_BITWISE* node) override;
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* node) override;
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE* node) override;
    void visit(SCI_ADVANCED_TRIGGER_SHIFT* node) override;
    void visit(SCI_ADVANCED_TRIGGER_OUTPUT* node) override;
    void visit(SCI_ADVANCED_TRIGGER_INPUT_WIRE* node) override;
    void visit(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node) override;
    void visit(SCI_ADVANCED_TRIGGER_INPUT_VARIABLE* node) override;
    void visit(SCI_ADVANCED_TRIGGER_CONCATENATE* node) override;
    void visit(SCI_ADVANCED_TRIGGER_MBPM* node) override;
    void visit(SCI_ADVANCED_TRIGGER_IMBPM* node) override;
    void visit(SCI_ADVANCED_TRIGGER_EVENT_COUNTER* node) override;
    void visit(SCI_FLOW_CONTROL_STATE_MACHINE* node) override;
    void visit(SCI_FLOW_CONTROL_STATE_BODY* node) override;
    void visit(SCI_FLOW_CONTROL_BRANCH* node) override;
    void visit(SCI_FLOW_CONTROL_CONDITION* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_LIST* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_COUNTER* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_FLAG* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_TRIGGER* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_TRANSITION* node) override;
    void visit(SCI_FLOW_CONTROL_ACTION_STORE* node) override;
    void visit(SCI_FLOW_CONTROL_RESOURCE_LIST* node) override;
    void visit(SCI_FLOW_CONTROL_RESOURCE_COUNTER* node) override;
    void visit(SCI_FLOW_CONTROL_RESOURCE_FLAG* node) override;
    void visit(SCI_FLOW_CONTROL_RESOURCE_CONDITION* node) override;

private:
    // A new input of the current parent, filled from `bag`; then the node's inputs under it.
    SEDQ_OBJECT* make(const SEDQ_PROPERTY& bag);
    void visit_inputs(SCI_ADVANCED_TRIGGER_BASE* node, SEDQ_OBJECT* object, bool last_first = false);
    // A fresh bag with the node's name and the kind.
    SEDQ_PROPERTY start(SCI_ADVANCED_TRIGGER_BASE* node, int type);
    void set(SEDQ_PROPERTY& bag, SEDQ_PROPERTY::SEDQ_INT_PROPERTY property, int value) const;
    void set(SEDQ_PROPERTY& bag, SEDQ_PROPERTY::SEDQ_STRING_PROPERTY property, const char* text) const;
    void visit_value(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node, int configurable);
    void invalid();

    // The object the next node's object feeds.
    SEDQ_OBJECT* m_current_parent = nullptr;
    SEDQ_PROPERTY::SEDQ_IS_POWERUP_TRIGGER m_is_powerup_trigger = SEDQ_PROPERTY::NORMAL_COPY;
};
