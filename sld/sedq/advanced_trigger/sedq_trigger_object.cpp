// The host tree interface of one advanced trigger condition.
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_verify.h"

SEDQ_TRIGGER_OBJECT::SEDQ_TRIGGER_OBJECT() = default;

// Objects first: destroying one only unlinks it from its parent and children, which are
// all in the same list and still alive at that moment.
SEDQ_TRIGGER_OBJECT::~SEDQ_TRIGGER_OBJECT()
{
    SEDQ_OBJECT::delete_objects(m_object_list);
    m_object_list.clear();
    for (QList<SEDQ_OBJECT*>* snapshot : m_undo_list) {
        if (snapshot)
            SEDQ_OBJECT::delete_objects(*snapshot);
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

// Each object reads the copy asked for while the equation is written, and gets its own copy
// reference back afterwards, so that a canvas's working objects keep answering for the canvas.
// True when the last Result object is wired and its equation has no problem.
bool SEDQ_TRIGGER_OBJECT::get_equation(std::string* equation, const SDR_DATA_MNEMONICS* mnemonics,
                                       const SDR_TX_TRIGGER* trigger, int condition, bool is_powerup)
{
    if (!SEDQ_VERIFY(equation != NULL))
        return false;
    equation->clear();
    QList<SEDQ_OBJECT_COPY> kept;
    kept.reserve(m_object_list.size());
    for (SEDQ_OBJECT* object : m_object_list)
        kept.append(object ? object->get_copy() : SEDQ_OBJECT_COPY());
    for (int i = m_object_list.size() - 1; i >= 0; --i)
        if (SEDQ_OBJECT* object = m_object_list.at(i))
            object->set_copy(is_powerup ? SEDQ_OBJECT_COPY::powerup() : SEDQ_OBJECT_COPY::normal());

    SEDQ_OBJECT* result = nullptr;
    for (int i = m_object_list.size() - 1; i >= 0 && result == nullptr; --i)
        if (SEDQ_OBJECT* object = m_object_list.at(i); object && object->get_type() == SEDQ_OBJECT::LEVEL_RESULT)
            result = object;
    bool written = false;
    if (result != nullptr && !result->is_leaf()) {
        QString text;
        SEDQ_OBJECT::SEDQ_ERROR_TYPE error = SEDQ_OBJECT::ERROR_NONE;
        SEDQ_OBJECT* culprit = nullptr;
        result->get_equation(&text, mnemonics, trigger, &error, &culprit, condition, is_powerup);
        *equation = text.toLocal8Bit().toStdString();
        written = error == SEDQ_OBJECT::ERROR_NONE;
    }

    for (int i = 0; i < m_object_list.size(); ++i)
        if (SEDQ_OBJECT* object = m_object_list.at(i))
            object->set_copy(kept.at(i));
    return written;
}

bool SEDQ_TRIGGER_OBJECT::duplicate_trigger(bool to_powerup)
{
    bool ok = true;
    for (int i = m_object_list.size() - 1; i >= 0; --i)
        if (SEDQ_OBJECT* object = m_object_list.at(i))
            ok = object->duplicate_trigger(to_powerup) && ok;
    return ok;
}

// The parse becomes a new Result object of this condition with its inputs.
void SEDQ_TRIGGER_OBJECT::generate_tree(void* factory)
{
    if (SEDQ_OBJECT* result = static_cast<SEDQ_OBJECT*>(create_child_object(CHILD_OBJECT_TRIGGER)))
        result->generate_tree(factory);
}

void SEDQ_TRIGGER_OBJECT::set_attribute(char const*, char const*)
{
}

void SEDQ_TRIGGER_OBJECT::get_attributes()
{
}
