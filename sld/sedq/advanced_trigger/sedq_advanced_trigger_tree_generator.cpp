// The trigger tree generator: a visitor over the trigger compiler's parse tree that creates one
// diagram object per node with the kind and settings the node describes.
#include "sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_verify.h"

#include <cmath>

namespace
{
using P = SEDQ_PROPERTY;

// Host kinds whose inputs are single bits: a one-bit constant feeding them is a bit value.
bool takes_bits(const SCI_ADVANCED_TRIGGER_BASE* consumer)
{
    if (consumer == nullptr)
        return false;
    switch (consumer->get_kind())
    {
    case SCI_KIND_LOGICAL:
    case SCI_KIND_OUTPUT:
    case SCI_KIND_EVENT_COUNTER:
    case SCI_KIND_MBPM:
        return true;
    default:
        return false;
    }
}

bool is_signed_comparison(const SCI_ADVANCED_TRIGGER_BASE* consumer)
{
    if (consumer == nullptr || (consumer->get_kind() != SCI_KIND_COMPARE_CONSTANT &&
                                consumer->get_kind() != SCI_KIND_COMPARE_VARIABLE))
        return false;
    return static_cast<const SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT*>(consumer)->get_signed_mode() != 0;
}

// Logical, bitwise and reduction operations as setting values; -1 for an unknown code.
int logical_value(SCI_LOGICAL_TYPE operation, bool reduction)
{
    switch (operation)
    {
    case SCI_LTYPE_AND:
        return reduction ? 0 : 1;
    case SCI_LTYPE_OR:
        return reduction ? 1 : 2;
    case SCI_LTYPE_XOR:
        return reduction ? 2 : 3;
    case SCI_LTYPE_NOT:
        return reduction ? -1 : 0;
    }
    return -1;
}

int comparison_value(SCI_COMPARE_TYPE operation)
{
    switch (operation)
    {
    case SCI_CTYPE_GREATER_THAN:
        return SEDQ_OBJECT::COMPARISON_GREATER_THAN;
    case SCI_CTYPE_GREATER_THAN_OR_EQUAL_TO:
        return SEDQ_OBJECT::COMPARISON_GREATER_THAN_OR_EQUAL;
    case SCI_CTYPE_LESS_THAN:
        return SEDQ_OBJECT::COMPARISON_LESS_THAN;
    case SCI_CTYPE_LESS_THAN_OR_EQUAL_TO:
        return SEDQ_OBJECT::COMPARISON_LESS_THAN_OR_EQUAL;
    case SCI_CTYPE_EQUAL_TO:
        return SEDQ_OBJECT::COMPARISON_EQUALITY;
    case SCI_CTYPE_NOT_EQUAL_TO:
        return SEDQ_OBJECT::COMPARISON_INEQUALITY;
    case SCI_CTYPE_FALSE:
        return SEDQ_OBJECT::COMPARISON_FALSE;
    case SCI_CTYPE_TRUE:
        return SEDQ_OBJECT::COMPARISON_TRUE;
    }
    return -1;
}

// The largest value a counter of `width` bits holds, kept within the setting's int range.
int max_counter_value(int width)
{
    const double limit = std::pow(2.0, width) - 1.0;
    return limit >= double(0x7fffffff) ? 0x7fffffff : int(limit);
}
} // namespace

bool SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::create_advanced_trigger_tree(SCI_ADVANCED_TRIGGER_FACTORY* factory,
                                                                        SEDQ_OBJECT* root)
{
    if (!SEDQ_VERIFY(factory != NULL))
        return false;
    m_is_powerup_trigger = P::NORMAL_COPY;
    m_current_parent = root;
    if (SCI_ADVANCED_TRIGGER_BASE* top = factory->get_root())
        top->accept(*this);
    return true;
}

SEDQ_PROPERTY SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::start(SCI_ADVANCED_TRIGGER_BASE* node, int type)
{
    SEDQ_PROPERTY bag;
    set(bag, P::TYPE, type);
    set(bag, P::NAME, node->get_name());
    set(bag, P::EXPANDED, 1);
    return bag;
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::set(SEDQ_PROPERTY& bag, P::SEDQ_INT_PROPERTY property, int value) const
{
    bag.set(property, value, m_is_powerup_trigger);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::set(SEDQ_PROPERTY& bag, P::SEDQ_STRING_PROPERTY property,
                                               const char* text) const
{
    bag.set(property, text ? QString::fromLatin1(text) : QString(), m_is_powerup_trigger);
}

SEDQ_OBJECT* SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::make(const SEDQ_PROPERTY& bag)
{
    if (!SEDQ_VERIFY(m_current_parent != NULL))
        return nullptr;
    // A new input joins the parent's condition and copy.
    auto* object = static_cast<SEDQ_OBJECT*>(m_current_parent->create_child_object(SEDQ_OBJECT::CHILD_OBJECT_TRIGGER));
    if (object != nullptr)
        object->get_property() = bag;
    return object;
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit_inputs(SCI_ADVANCED_TRIGGER_BASE* node, SEDQ_OBJECT* object,
                                                        bool last_first)
{
    if (object == nullptr)
        return;
    const int count = node->get_input_count();
    for (int i = 0; i < count; ++i) {
        m_current_parent = object;
        if (SCI_ADVANCED_TRIGGER_BASE* input = node->get_input_connection_at(last_first ? count - 1 - i : i))
            input->accept(*this);
    }
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_OUTPUT* node)
{
    SEDQ_OBJECT* result = m_current_parent;
    if (!SEDQ_VERIFY(result != NULL))
        return;
    SEDQ_PROPERTY bag;
    set(bag, P::TYPE, SEDQ_OBJECT::LEVEL_RESULT);
    set(bag, P::DATA_DELAY, node->get_delay());
    set(bag, P::EXPANDED, 1);
    result->get_property() = bag;
    visit_inputs(node, result);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_LOGICAL* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::LOGICAL_OPERATOR);
    set(bag, P::DATA_DELAY, node->get_delay());
    int value = logical_value(node->get_operation(), false);
    if (value < 0) {
        SEDQ_REPORT("node->get_operation() == SCI_LTYPE_AND");
        value = 1;
    }
    set(bag, P::LOGICAL, value);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_UNARY* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::REDUCTION_OPERATOR);
    set(bag, P::DATA_DELAY, node->get_delay());
    int value = logical_value(node->get_operation(), true);
    if (value < 0) {
        SEDQ_REPORT("node->get_operation() == SCI_LTYPE_AND");
        value = 0;
    }
    set(bag, P::REDUCTION, value);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_BITWISE* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::BITWISE_OPERATOR);
    set(bag, P::DATA_DELAY, node->get_delay());
    int value = logical_value(node->get_operation(), false);
    if (value < 0) {
        SEDQ_REPORT("node->get_operation() == SCI_LTYPE_AND");
        value = 1;
    }
    set(bag, P::BITWISE, value);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::COMPARISON_OPERATOR);
    set(bag, P::PIPELINE_LENGTH, node->get_delay());
    set(bag, P::SIGNED_COMPARISON, node->get_signed_mode());
    int value = comparison_value(node->get_operation());
    if (value < 0) {
        SEDQ_REPORT("node->get_operation() == SCI_CTYPE_EQUAL_TO");
        value = SEDQ_OBJECT::COMPARISON_EQUALITY;
    }
    set(bag, P::COMPARISON, value);
    set(bag, P::CONFIGURABLE, node->get_kind() == SCI_KIND_COMPARE_VARIABLE ? 0 : 1);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE* node)
{
    visit(static_cast<SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT*>(node));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_SHIFT* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::SHIFT_OPERATOR);
    set(bag, P::PIPELINE_LENGTH, node->get_delay());
    int type = SEDQ_OBJECT::SHIFT_LOGICAL;
    switch (node->get_operation())
    {
    case SCI_STYPE_ROTATE:
        type = SEDQ_OBJECT::SHIFT_ROTATE;
        break;
    case SCI_STYPE_ARITHMETIC:
        type = SEDQ_OBJECT::SHIFT_ARITHMETIC;
        break;
    case SCI_STYPE_LOGICAL:
        break;
    default:
        SEDQ_REPORT("node->get_operation() == SCI_STYPE_LOGICAL");
    }
    set(bag, P::SHIFT_TYPE, type);
    set(bag, P::SHIFT_DISTANCE, node->get_shift_amount());
    set(bag, P::SHIFT_DIRECTION, node->get_shift_direction() ? SEDQ_OBJECT::SHIFT_RIGHT : SEDQ_OBJECT::SHIFT_LEFT);
    set(bag, P::CONFIGURABLE, 0);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_EVENT_COUNTER* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::COUNTER_OPERATOR);
    set(bag, P::PIPELINE_LENGTH, node->get_delay());
    int mode = node->get_mode();
    if (mode < SCI_ETYPE_CONTINUOUS || mode > SCI_ETYPE_STATE) {
        SEDQ_REPORT("node->get_mode() == SCI_ETYPE_CONTINUOUS");
        mode = 0;
    }
    set(bag, P::COUNTER_TYPE, mode);
    set(bag, P::COUNTER_HOLD, node->get_hold_status() ? 0 : 1);
    set(bag, P::MAX_COUNTER_VALUE, max_counter_value(node->get_counter_width()));
    const std::uint64_t value = node->get_counter_value();
    set(bag, P::COUNTER_VALUE, value > 0x7fffffffu ? 0x7fffffff : int(value));
    set(bag, P::CONFIGURABLE, 0);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_MBPM* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::EDGE_LEVEL_DETECTOR);
    set(bag, P::PIPELINE_LENGTH, node->get_delay());
    set(bag, P::PATTERN, node->get_pattern());
    set(bag, P::CONFIGURABLE, 1);
    visit_inputs(node, make(bag));
}

// The quoted text of the call is the pattern, the braces hold the node list; both are the
// model's to refresh from the node table.
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_IMBPM* node)
{
    SEDQ_PROPERTY bag;
    set(bag, P::TYPE, SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION);
    set(bag, P::EXPANDED, 1);
    set(bag, P::PIPELINE_LENGTH, node->get_delay());
    set(bag, P::PATTERN, node->get_pattern());
    set(bag, P::CONFIGURABLE, 0);
    SEDQ_OBJECT* object = make(bag);
    if (object != nullptr) {
        const QString pattern = QString::fromLatin1(node->get_pattern());
        object->set_incremental_texts(pattern, pattern, QString::fromLatin1(node->get_nodes()));
    }
    visit_inputs(node, object);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_CUSTOM_HDL* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::CUSTOM_TRIGGER_HDL);
    set(bag, P::DATA_DELAY, node->get_delay());
    set(bag, P::MODULE_NAME, node->get_module_name());
    set(bag, P::CONFIG_BITSTREAM, node->get_bitstream());
    set(bag, P::PIPELINE_LENGTH, node->get_pipeline_latency());
    set(bag, P::CONFIGURABLE, 0);
    visit_inputs(node, make(bag));
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_CONCATENATE* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::BUS);
    set(bag, P::BUS_NAME, node->get_name());
    set(bag, P::DATA_DELAY, node->get_delay());
    set(bag, P::EXPANDED, 0);
    // The call lists the most significant bit first; the inputs are made from the least
    // significant one, so the Bus reads them "LSB to MSB" and writes the same call again.
    set(bag, P::BIT_ORDER, 1);
    visit_inputs(node, make(bag), true);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_INPUT_WIRE* node)
{
    SEDQ_PROPERTY bag = start(node, SEDQ_OBJECT::NODE);
    set(bag, P::DATA_DELAY, node->get_delay());
    make(bag);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node)
{
    visit_value(node, 1);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_ADVANCED_TRIGGER_INPUT_VARIABLE* node)
{
    visit_value(node, 0);
}

// A one-bit value feeding a bit input is a Bit Value; any other a Bus Value in decimal, read
// as unsigned unless a signed comparison takes it.
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit_value(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node, int configurable)
{
    const SCI_ADVANCED_TRIGGER_BASE* consumer = node->get_output_connection();
    const std::int64_t value = node->get_value();
    SEDQ_PROPERTY bag;
    set(bag, P::NAME, node->get_name());
    set(bag, P::CONFIGURABLE, configurable);
    set(bag, P::EXPANDED, 1);
    if (takes_bits(consumer) && node->get_bit_width() == 1) {
        set(bag, P::TYPE, SEDQ_OBJECT::BIT_VALUE);
        set(bag, P::BIT_VALUE, value != 0 ? 0 : 1);
    } else {
        set(bag, P::TYPE, SEDQ_OBJECT::BUS_VALUE);
        const QString text = is_signed_comparison(consumer) ? QString::number(qlonglong(value))
                                                            : QString::number(qulonglong(value));
        bag.set(P::BUS_VALUE, text, m_is_powerup_trigger);
    }
    make(bag);
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::invalid()
{
    SEDQ_REPORT("Invalid visiting object");
}

void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_STATE_MACHINE*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_STATE_BODY*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_BRANCH*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_CONDITION*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_LIST*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_COUNTER*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_FLAG*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_TRIGGER*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_TRANSITION*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_ACTION_STORE*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_RESOURCE_LIST*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_RESOURCE_COUNTER*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_RESOURCE_FLAG*) { invalid(); }
void SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR::visit(SCI_FLOW_CONTROL_RESOURCE_CONDITION*) { invalid(); }
