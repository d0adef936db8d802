// Construction, tree links and the host tree interface of one condition object.
#include "sedq/advanced_trigger/sedq_object.h"

#include "sedq/advanced_trigger/sedq_advanced_trigger_tree_generator.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <utility>
#include <vector>

const QPoint SEDQ_OBJECT::ORIGIN_POINT(0, 0);

const char* const SEDQ_OBJECT::OBJECT_STRING[OBJECT_TYPE_COUNT] = {
    "Unknown", "Condition for Incrementally Routed Nodes", "Advanced Trigger Level Result",
    "Edge & Level Detector", "Node", "Bus", "Bit Value", "Bus Value", "Comparison Operator",
    "Bitwise Operator", "Logical Operator", "Reduction Operator", "Shift Operator", "Counter Operator",
    "Custom Trigger HDL"};
const char* const SEDQ_OBJECT::DISPLAY_FORMAT_STRING[5] = {"Hexadecimal", "Decimal", "Octal", "Binary",
                                                           "8-bit ASCII"};
const char* const SEDQ_OBJECT::BIT_ORDER_STRING[2] = {"MSB to LSB", "LSB to MSB"};
const char* const SEDQ_OBJECT::BIT_VALUE_STRING[2] = {"True", "False"};
const char* const SEDQ_OBJECT::COMPARISON_TYPE_STRING[8] = {
    "Less Than", "Less Than or Equal To", "Equality", "Inequality", "Greater Than or Equal To", "Greater Than",
    "True", "False"};
const char* const SEDQ_OBJECT::SIGNED_COMPARISON_TYPE_STRING[2] = {"Unsigned Comparison", "Signed Comparison"};
const char* const SEDQ_OBJECT::BITWISE_OPERATOR_TYPE_STRING[4] = {"Bitwise Complement", "Bitwise And", "Bitwise Or",
                                                                  "Bitwise Xor"};
const char* const SEDQ_OBJECT::LOGICAL_OPERATOR_TYPE_STRING[4] = {"Logical Not", "Logical And", "Logical Or",
                                                                  "Logical Xor"};
const char* const SEDQ_OBJECT::REDUCTION_OPERATOR_TYPE_STRING[3] = {"Reduction And", "Reduction Or",
                                                                    "Reduction Xor"};
const char* const SEDQ_OBJECT::SHIFT_DIRECTION_STRING[2] = {"Left", "Right"};
const char* const SEDQ_OBJECT::SHIFT_TYPE_STRING[3] = {"Logical", "Rotate", "Arithmetic"};
const char* const SEDQ_OBJECT::COUNTER_TYPE_STRING[3] = {"Continuous", "Event", "State"};
const char* const SEDQ_OBJECT::COUNTER_HOLD_TYPE_STRING[2] = {"Yes", "No"};

SEDQ_OBJECT::SEDQ_OBJECT(SEDQ_OBJECT_COPY copy, QPoint const& position, SEDQ_TRIGGER_OBJECT* owner)
    : m_copy(copy), m_owner(owner)
{
    m_property.set_parent(this);
    m_property.set(SEDQ_PROPERTY::LEFT, position.x());
    m_property.set(SEDQ_PROPERTY::TOP, position.y());
}

// Children are not destroyed: they belong to the object list and become roots. The object
// stays in its condition's list: whoever deletes it takes it out of that list first, so that
// a whole list can still be freed with qDeleteAll.
SEDQ_OBJECT::~SEDQ_OBJECT()
{
    if (m_parent)
        m_parent->m_children.removeAll(this);
    // Read only: a list emptied by clear() would otherwise be given storage of its own here.
    for (SEDQ_OBJECT* child : std::as_const(m_children))
        child->m_parent = nullptr;
}

// Objects deleted one by one each take themselves off their parent's inputs, which costs the
// number of those inputs: freeing a list whose inputs come before their parents (a snapshot)
// would grow with the square of a wide object's inputs. Here links among the deleted objects
// are simply dropped, and an object that stays loses all its deleted inputs in one pass. The
// deleted objects are looked up in one sorted array (a set would allocate once per object, and
// every command frees a whole snapshot).
void SEDQ_OBJECT::delete_objects(const QList<SEDQ_OBJECT*>& objects)
{
    std::vector<const SEDQ_OBJECT*> going(objects.cbegin(), objects.cend());
    std::sort(going.begin(), going.end());
    going.erase(std::unique(going.begin(), going.end()), going.end());
    const auto is_going = [&going](const SEDQ_OBJECT* object) {
        return object != nullptr && std::binary_search(going.cbegin(), going.cend(), object);
    };
    std::vector<SEDQ_OBJECT*> staying_parents;
    for (SEDQ_OBJECT* object : objects)
    {
        if (object == nullptr)
            continue;
        if (object->m_parent != nullptr && !is_going(object->m_parent))
            staying_parents.push_back(object->m_parent);
        for (SEDQ_OBJECT* child : std::as_const(object->m_children))
            if (!is_going(child))
                child->m_parent = nullptr;
    }
    std::sort(staying_parents.begin(), staying_parents.end());
    staying_parents.erase(std::unique(staying_parents.begin(), staying_parents.end()), staying_parents.end());
    for (SEDQ_OBJECT* parent : staying_parents)
        parent->m_children.erase(std::remove_if(parent->m_children.begin(), parent->m_children.end(), is_going),
                                 parent->m_children.end());
    for (SEDQ_OBJECT* object : objects)
        if (object != nullptr)
        {
            object->m_parent = nullptr;
            object->m_children.clear();
        }
    qDeleteAll(objects);
}

SDR_TX_TREE_OBJECT* SEDQ_OBJECT::get_child_object(int index)
{
    if (!SEDQ_VERIFY(index >= 0 && index < m_children.size()))
        return nullptr;
    return m_children.at(index);
}

int SEDQ_OBJECT::get_child_count() const
{
    return m_children.size();
}

// The new object becomes this object's next input and joins the same condition.
SDR_TX_TREE_OBJECT* SEDQ_OBJECT::create_child_object(CHILD_OBJECT_TYPE)
{
    if (!SEDQ_VERIFY(m_owner != NULL))
        return nullptr;
    SEDQ_OBJECT* child = new SEDQ_OBJECT(m_copy, ORIGIN_POINT, m_owner);
    child->m_parent = this;
    m_children.append(child);
    m_owner->get_object_list()->append(child);
    return child;
}

bool SEDQ_OBJECT::delete_child_object(SDR_TX_TREE_OBJECT*)
{
    SEDQ_REPORT("delete_child_object() should only be called on a SEDQ_SESSION_OBJECT");
    return false;
}

bool SEDQ_OBJECT::get_equation(std::string*, const SDR_DATA_MNEMONICS*, const SDR_TX_TRIGGER*, int, bool)
{
    SEDQ_REPORT("get_equation() should only be called on a SEDQ_TRIGGER_OBJECT");
    return false;
}

bool SEDQ_OBJECT::duplicate_trigger(bool to_powerup)
{
    return m_property.duplicate_trigger(to_powerup);
}

// Rebuilds the diagram below this object from the trigger compiler's parse of an equation
// (an SCI_ADVANCED_TRIGGER_FACTORY).
void SEDQ_OBJECT::generate_tree(void* factory)
{
    SEDQ_ADVANCED_TRIGGER_TREE_GENERATOR generator;
    generator.create_advanced_trigger_tree(static_cast<SCI_ADVANCED_TRIGGER_FACTORY*>(factory), this);
}

void SEDQ_OBJECT::set_attribute(char const* key, char const* value)
{
    m_property.set(key, value);
}

void SEDQ_OBJECT::add_string_attributes()
{
    QString text;
    for (int i = 0; i < SEDQ_PROPERTY::STRING_PROPERTY_COUNT; ++i) {
        const auto property = SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(i);
        const QByteArray key = SEDQ_PROPERTY::STRING_TABLE[i].key;
        if (m_property.get(property, &text, SEDQ_PROPERTY::POWERUP_COPY))
            add_attribute(("powerup_" + key).constData(), text.toLocal8Bit().constData());
        if (m_property.get(property, &text, SEDQ_PROPERTY::NORMAL_COPY))
            add_attribute(key.constData(), text.toLocal8Bit().constData());
    }
}

void SEDQ_OBJECT::add_int_attributes()
{
    QString text;
    for (int i = 0; i < SEDQ_PROPERTY::INT_PROPERTY_COUNT; ++i) {
        const auto property = SEDQ_PROPERTY::SEDQ_INT_PROPERTY(i);
        const QByteArray key = SEDQ_PROPERTY::INT_TABLE[i].key;
        if (m_property.get(property, &text, SEDQ_PROPERTY::POWERUP_COPY))
            add_attribute(("powerup_" + key).constData(), text.toLocal8Bit().constData());
        if (m_property.get(property, &text, SEDQ_PROPERTY::NORMAL_COPY))
            add_attribute(key.constData(), text.toLocal8Bit().constData());
    }
}

void SEDQ_OBJECT::get_attributes()
{
    add_string_attributes();
    add_int_attributes();
}

// A kind outside the table (a damaged or newer file) reads as Unknown rather than as a value
// the enumeration cannot hold.
SEDQ_OBJECT::SEDQ_OBJECT_TYPE SEDQ_OBJECT::get_type() const
{
    const int type = m_property[SEDQ_PROPERTY::TYPE];
    return type >= 0 && type < OBJECT_TYPE_COUNT ? SEDQ_OBJECT_TYPE(type) : UNKNOWN;
}

void SEDQ_OBJECT::set_type(SEDQ_OBJECT_TYPE type)
{
    m_property.set(SEDQ_PROPERTY::TYPE, int(type));
}

namespace
{
SEDQ_OBJECT::CANVAS_POWERUP_QUERY& canvas_powerup_query()
{
    static SEDQ_OBJECT::CANVAS_POWERUP_QUERY query = nullptr;
    return query;
}
} // namespace

void SEDQ_OBJECT::set_canvas_powerup_query(CANVAS_POWERUP_QUERY query)
{
    canvas_powerup_query() = query;
}

// The stored copies say it themselves; a canvas's working copy follows the view that canvas
// shows, and a canvas that is gone (or no canvas layer at all) counts as the run-time trigger.
bool SEDQ_OBJECT::is_powerup_trigger() const
{
    switch (m_copy.kind)
    {
    case SEDQ_OBJECT_COPY::POWERUP:
        return true;
    case SEDQ_OBJECT_COPY::CANVAS:
        return canvas_powerup_query() != nullptr && canvas_powerup_query()(m_copy.canvas_id);
    default:
        return false;
    }
}

void SEDQ_OBJECT::report_error(SEDQ_ERROR_TYPE code, SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object) const
{
    if (error == nullptr)
        return;
    *error = code;
    if (error_object != nullptr)
        *error_object = const_cast<SEDQ_OBJECT*>(this);
}

void SEDQ_OBJECT::set_incremental_texts(const QString& first, const QString& second, const QString& third)
{
    SEDQ_PROPERTY::note_change(true);
    m_incremental_text[0] = first;
    m_incremental_text[1] = second;
    m_incremental_text[2] = third;
}

const QString& SEDQ_OBJECT::get_incremental_text(int index) const
{
    static const QString empty;
    if (!SEDQ_VERIFY(index >= 0 && index < 3))
        return empty;
    return m_incremental_text[index];
}

int sedq_get_object_index(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type)
{
    if (!objects)
        return -1;
    for (int i = 0; i < objects->size(); ++i)
        if (objects->at(i) && objects->at(i)->get_type() == type)
            return i;
    return -1;
}
