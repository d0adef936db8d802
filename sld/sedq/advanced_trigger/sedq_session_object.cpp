// The host tree interface of the document's root object.
#include "sedq/advanced_trigger/sedq_session_object.h"

#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_verify.h"

SEDQ_SESSION_OBJECT::SEDQ_SESSION_OBJECT() = default;

SEDQ_SESSION_OBJECT::~SEDQ_SESSION_OBJECT()
{
    qDeleteAll(m_state_machine_list);
    m_state_machine_list.clear();
    qDeleteAll(m_trigger_list);
    m_trigger_list.clear();
}

SDR_TX_TREE_OBJECT* SEDQ_SESSION_OBJECT::get_child_object(int index)
{
    if (!SEDQ_VERIFY(index >= 0 && index < m_trigger_list.size()))
        return nullptr;
    return m_trigger_list.at(index);
}

int SEDQ_SESSION_OBJECT::get_child_count() const
{
    return m_trigger_list.size();
}

// Type 1 asks for a state flow object; every other value for a condition.
SDR_TX_TREE_OBJECT* SEDQ_SESSION_OBJECT::create_child_object(CHILD_OBJECT_TYPE type)
{
    if (int(type) == 1) {
        SEDQ_STATE_MACHINE_OBJECT* machine = new SEDQ_STATE_MACHINE_OBJECT;
        m_state_machine_list.append(machine);
        return machine;
    }
    SEDQ_TRIGGER_OBJECT* trigger = new SEDQ_TRIGGER_OBJECT;
    m_trigger_list.append(trigger);
    return trigger;
}

// Only conditions can be deleted; state flow objects live as long as the root.
bool SEDQ_SESSION_OBJECT::delete_child_object(SDR_TX_TREE_OBJECT* child)
{
    // Compared as host objects: the pointer may be of any class, and casting it down first
    // would be wrong for everything that is not a condition.
    for (int i = 0; i < m_trigger_list.size(); ++i)
        if (child != nullptr && static_cast<SDR_TX_TREE_OBJECT*>(m_trigger_list.at(i)) == child) {
            delete m_trigger_list.takeAt(i);
            return true;
        }
    return false;
}

bool SEDQ_SESSION_OBJECT::get_equation(std::string*, const SDR_DATA_MNEMONICS*, const SDR_TX_TRIGGER*, int, bool)
{
    SEDQ_REPORT("get_equation() should only be called on a SEDQ_TRIGGER_OBJECT");
    return false;
}

bool SEDQ_SESSION_OBJECT::duplicate_trigger(bool)
{
    SEDQ_REPORT("duplicate_trigger() should only be called on a SEDQ_TRIGGER_OBJECT");
    return false;
}

void SEDQ_SESSION_OBJECT::generate_tree(void*)
{
}

void SEDQ_SESSION_OBJECT::set_attribute(char const*, char const*)
{
}

void SEDQ_SESSION_OBJECT::get_attributes()
{
}
