// Netlist-database manager stand-in: hands out the netlists that the tests set up and keeps
// the get/release balance per client.
#include "host/dbmui.h"

#include "host/standin/dbmui_control.h"
#include "host/standin/hdb_control.h"
#include "host/standin/standin.h"

#include <map>

namespace
{
struct dbmui_state
{
    bool absent = false;
    std::map<std::string, int> outstanding;
};

dbmui_state& state()
{
    static dbmui_state s;
    return s;
}

void reset()
{
    state() = dbmui_state();
}

const standin::reset_registrar registrar(&reset);
} // namespace

DBMUI_MANAGER* DBMUI_MANAGER::get_dbmui_manager(int)
{
    static DBMUI_MANAGER manager;
    return state().absent ? nullptr : &manager;
}

HDB_NAMESPACE* DBMUI_MANAGER::get_hdb_cmp_action_pt_instance(const char* client, HDB_NAMESPACE::PDB_FILE_TYPE type,
                                                             bool, void*, bool)
{
    HDB_NAMESPACE* names = standin::hdb::netlist(type);
    if (names)
        ++state().outstanding[client ? client : ""];
    return names;
}

void DBMUI_MANAGER::unget_hdb_cmp_action_pt_instance(HDB_NAMESPACE** handle, const char* client)
{
    if (!handle || !*handle)
        return;
    --state().outstanding[client ? client : ""];
    *handle = nullptr;
}

namespace standin::dbmui
{
void set_absent(bool absent)
{
    state().absent = absent;
}

int outstanding(const std::string& client)
{
    const auto it = state().outstanding.find(client);
    return it == state().outstanding.end() ? 0 : it->second;
}
} // namespace standin::dbmui
