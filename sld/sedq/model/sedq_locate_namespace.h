#pragma once
// The netlist the host's locate tools know, asked for under a client name for the length of
// one locate command: the node view and the advanced trigger canvas look their selection up in
// it. The netlist is released on every path, when the object goes.

#include "host/hdb.h"

#include <QString>

class DBMUI_MANAGER;

class SEDQ_LOCATE_NAMESPACE
{
public:
    explicit SEDQ_LOCATE_NAMESPACE(const char* client,
                                   HDB_NAMESPACE::PDB_FILE_TYPE type = HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    ~SEDQ_LOCATE_NAMESPACE();
    SEDQ_LOCATE_NAMESPACE(const SEDQ_LOCATE_NAMESPACE&) = delete;
    SEDQ_LOCATE_NAMESPACE& operator=(const SEDQ_LOCATE_NAMESPACE&) = delete;

    // Null when the host has no netlist to give.
    HDB_NAMESPACE* get() const { return m_names; }
    // The instance of that full name; null when there is no netlist, no name or no such instance.
    HDB_INSTANCE_NAME* find(const QString& name) const;

private:
    const char* m_client;
    DBMUI_MANAGER* m_manager = nullptr;
    HDB_NAMESPACE* m_names = nullptr;
};
