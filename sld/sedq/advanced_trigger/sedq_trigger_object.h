#pragma once
// Persistence object of one advanced trigger condition (a trigger level or a storage
// qualifier pattern). It owns every object of the condition in one flat list, in creation
// order, and the canvas's undo snapshots; its tree children are the objects that feed
// nothing (the Result object and any loose objects).

#include "host/sdr/sdr_tx_tree_object.h"

#include <QList>

class SEDQ_OBJECT;

class SEDQ_TRIGGER_OBJECT : public SDR_TX_TREE_OBJECT
{
public:
    SEDQ_TRIGGER_OBJECT();
    ~SEDQ_TRIGGER_OBJECT() override;
    SEDQ_TRIGGER_OBJECT(const SEDQ_TRIGGER_OBJECT&) = delete;
    SEDQ_TRIGGER_OBJECT& operator=(const SEDQ_TRIGGER_OBJECT&) = delete;

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

    QList<SEDQ_OBJECT*>* get_object_list() { return &m_object_list; }
    QList<QList<SEDQ_OBJECT*>*>* get_undo_list() { return &m_undo_list; }
    int get_undo_position() const { return m_undo_position; }
    void set_undo_position(int position) { m_undo_position = position; }

private:
    QList<SEDQ_OBJECT*> m_object_list;
    QList<QList<SEDQ_OBJECT*>*> m_undo_list;
    int m_undo_position = 0;
};
