#pragma once
// Reader of a netlist of the host hierarchy database. Built for the pre-synthesis netlist
// (argument 0) it lists the state machines the synthesis recognised: instances flagged as state
// machines whose one-hot state registers "<machine>.<state>" sit beside them. Built for the
// post-fit netlist (any other argument) it only checks that post-fitting register names exist.
// It holds the netlist's access point from construction to destruction; without one it is not
// loaded, and every query answers empty (verify_node_list: only an empty list verifies).

#include "host/hdb.h"
#include "sedq/view/sedq_base_manager.h"

#include <functional>
#include <list>

class DBMUI_MANAGER;

class SEDQ_HDB_MANAGER : public SEDQ_BASE_MANAGER
{
public:
    explicit SEDQ_HDB_MANAGER(int netlist);
    ~SEDQ_HDB_MANAGER() override;

    void get_state_machine_list(QStringList* list) override;
    // Appends the state machines among the direct children of `instance`.
    void get_state_machine_list(QStringList* list, HDB_INSTANCE_NAME* instance);
    void get_node_list(const QString& state_machine, QStringList* nodes) override;
    // One state per register, in the order found: register i is high in state i alone.
    void get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values) override;
    void dump() override;
    bool is_database_loaded() override;

    // True when every name is in the netlist (and for an empty list).
    bool verify_node_list(const QStringList& nodes);
    // Appends the state registers of a machine: the siblings of the machine's instance named
    // "<machine>.<anything>", in the netlist's order. A machine the netlist lacks is reported
    // and gives none.
    void find_state_machine_nodes_in_hdb(const QString& name, std::list<HDB_INSTANCE_NAME*>* list);

private:
    // Calls `visit` for every descendant of the root, the root first, in the netlist's order.
    void for_each_descendant(const std::function<void(HDB_INSTANCE_NAME*)>& visit);

    HDB_NAMESPACE::PDB_FILE_TYPE m_file_type;
    DBMUI_MANAGER* m_dbmui_manager = nullptr;
    HDB_NAMESPACE* m_namespace = nullptr;
    HDB_INSTANCE_NAME* m_action_point_root = nullptr;
};
