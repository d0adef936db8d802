#pragma once
// What the "Add State Machine Nodes" dialog asks of a netlist: its state machines, the state
// registers of one machine, and the state names with the bit pattern of each (one character per
// state register, most significant first). One reader per netlist derives from this base. A
// reader only reads; every query first clears the lists it is given, so they hold that call's
// answer alone, and a reader without its database answers empty lists.

#include <QString>
#include <QStringList>

class SEDQ_BASE_MANAGER
{
public:
    SEDQ_BASE_MANAGER() = default;
    virtual ~SEDQ_BASE_MANAGER();
    SEDQ_BASE_MANAGER(const SEDQ_BASE_MANAGER&) = delete;
    SEDQ_BASE_MANAGER& operator=(const SEDQ_BASE_MANAGER&) = delete;

    virtual void get_state_machine_list(QStringList* list) = 0;
    virtual void get_node_list(const QString& state_machine, QStringList* nodes) = 0;
    virtual void get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values) = 0;
    // Shows what the reader knows in a message box (a debugging aid; the library never calls it).
    virtual void dump() = 0;
    virtual bool is_database_loaded() = 0;
};
