// The host tree interface of one advanced trigger condition.
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_verify.h"

SEDQ_TRIGGER_OBJECT::SEDQ_TRIGGER_OBJECT() = default;

// Objects first: destroying one only unlinks it from its parent and children, which are
// all in the same list and still alive at that moment.
SEDQ_TRIGGER_OBJECT::~SEDQ_TRIGGER_OBJECT()
{
    qDeleteAll(m_object_list);
    m_object_list.clear();
    for (QList<SEDQ_OBJECT*>* snapshot : m_undo_list) {
        if (snapshot)
            qDeleteAll(*snapshot);
        delete snapshot;
    }
    m_undo_list.clear();
}

SDR_TX_TREE_OBJECT* SEDQ_TRIGGER_OBJECT::get_child_object(int index)
{
    int seen = 0;
    for (SEDQ_OBJECT* object : m_object_list)
        if (object && object->get_parent() == nullptr && seen++ == index)
            return object;
    return nullptr;
}

int SEDQ_TRIGGER_OBJECT::get_child_count() const
{
    int count = 0;
    for (const SEDQ_OBJECT* object : m_object_list)
        if (object && object->get_parent() == nullptr)
            ++count;
    return count;
}

SDR_TX_TREE_OBJECT* SEDQ_TRIGGER_OBJECT::create_child_object(CHILD_OBJECT_TYPE)
{
    SEDQ_OBJECT* object = new SEDQ_OBJECT(SEDQ_OBJECT_COPY(), SEDQ_OBJECT::ORIGIN_POINT, this);
    m_object_list.append(object);
    return object;
}

bool SEDQ_TRIGGER_OBJECT::delete_child_object(SDR_TX_TREE_OBJECT*)
{
    SEDQ_REPORT("delete_child_object() should only be called on a SEDQ_SESSION_OBJECT");
    return false;
}

// The equation of a wired Result object comes from the diagram editor's equation writer,
// which this object does not carry yet: a condition therefore never reports a valid
// equation here, and the empty text goes with the false result.
bool SEDQ_TRIGGER_OBJECT::get_equation(std::string* equation, SDR_DATA_MNEMONICS*, SDR_TX_TRIGGER*, int,
                                       bool is_powerup)
{
    if (!SEDQ_VERIFY(equation != NULL))
        return false;
    equation->clear();
    for (int i = m_object_list.size() - 1; i >= 0; --i)
        if (SEDQ_OBJECT* object = m_object_list.at(i))
            object->set_copy(is_powerup ? SEDQ_OBJECT_COPY::powerup() : SEDQ_OBJECT_COPY::normal());
    return false;
}

bool SEDQ_TRIGGER_OBJECT::duplicate_trigger(bool to_powerup)
{
    bool ok = true;
    for (int i = m_object_list.size() - 1; i >= 0; --i)
        if (SEDQ_OBJECT* object = m_object_list.at(i))
            ok = object->duplicate_trigger(to_powerup) && ok;
    return ok;
}

void SEDQ_TRIGGER_OBJECT::generate_tree(void*)
{
}

void SEDQ_TRIGGER_OBJECT::set_attribute(char const*, char const*)
{
}

void SEDQ_TRIGGER_OBJECT::get_attributes()
{
}
