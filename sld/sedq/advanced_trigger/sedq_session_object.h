#pragma once
// Root of a document's advanced trigger object tree. The host creates every condition and
// every state flow through it and walks the conditions as its children; the state flow
// objects are owned here too but are not children (they are reached through their trigger).

#include "host/sdr/sdr_tx_tree_object.h"

#include <QList>

class SEDQ_TRIGGER_OBJECT;
class SEDQ_STATE_MACHINE_OBJECT;

class SEDQ_SESSION_OBJECT : public SDR_TX_TREE_OBJECT
{
public:
    SEDQ_SESSION_OBJECT();
    ~SEDQ_SESSION_OBJECT() override;
    SEDQ_SESSION_OBJECT(const SEDQ_SESSION_OBJECT&) = delete;
    SEDQ_SESSION_OBJECT& operator=(const SEDQ_SESSION_OBJECT&) = delete;

    SDR_TX_TREE_OBJECT* get_child_object(int index) override;
    int get_child_count() const override;
    SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) override;
    bool delete_child_object(SDR_TX_TREE_OBJECT* child) override;
    bool get_equation(std::string* equation, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger, int condition,
                      bool is_powerup) override;
    bool duplicate_trigger(bool to_powerup) override;
    void generate_tree(void* factory) override;
    void set_attribute(char const* key, char const* value) override;
    void get_attributes() override;

    const QList<SEDQ_TRIGGER_OBJECT*>& get_trigger_list() const { return m_trigger_list; }
    const QList<SEDQ_STATE_MACHINE_OBJECT*>& get_state_machine_list() const { return m_state_machine_list; }

private:
    QList<SEDQ_TRIGGER_OBJECT*> m_trigger_list;
    QList<SEDQ_STATE_MACHINE_OBJECT*> m_state_machine_list;
};
