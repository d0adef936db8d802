#pragma once
// Host netlist database UI manager: hands out the netlist databases of the open project to
// named clients, which release them again.

#include "host/hdb.h"

class DBMUI_MANAGER
{
public:
    // Null only when the host runs without netlist databases.
    static DBMUI_MANAGER* get_dbmui_manager(int key);

    // The database of that netlist type while a project is open; null when none is open or the
    // project has no such netlist (not an error).
    HDB_NAMESPACE* get_hdb_cmp_action_pt_instance(const char* client, HDB_NAMESPACE::PDB_FILE_TYPE type, bool flag,
                                                  void* filter, bool flag2);
    // Registers a manager of the netlist namespaces (the compiler's, the name manager, the
    // hierarchy browser's) for the lookups a client makes next; the stand-in only records it.
    void register_manager(void* manager);
    // Releases what the client got and nulls the handle.
    void unget_hdb_cmp_action_pt_instance(HDB_NAMESPACE** handle, const char* client);
    // The name of the open project's current revision (the stem of its compiled database
    // files); null while no project is open.
    const char* get_project_revision_name() const;
};
