// Netlist-database manager stand-in: hands out the netlists of the open project and keeps the
// get/release balance per client, so a test sees a handle that was never given back.
#include "host/dbmui.h"

#include "host/acf.h"
#include "host/qui.h"
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
    int handed_out = 0;
    int released = 0;
    int foreign_releases = 0;
    std::string last_client;
    int last_type = 0;
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

std::string client_name(const char* client)
{
    return client != nullptr ? client : "";
}

// A client asking for no particular type gets the pre-synthesis netlist, else the post-fit one.
HDB_NAMESPACE* lend_netlist(HDB_NAMESPACE::PDB_FILE_TYPE type)
{
    if (type != HDB_NAMESPACE::PDB_ANY)
        return standin::hdb::netlist(type);
    HDB_NAMESPACE* names = standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    return names != nullptr ? names : standin::hdb::netlist(HDB_NAMESPACE::PDB_POST_FIT);
}
} // namespace

DBMUI_MANAGER* DBMUI_MANAGER::get_dbmui_manager(int)
{
    static DBMUI_MANAGER manager;
    return state().absent ? nullptr : &manager;
}

HDB_NAMESPACE* DBMUI_MANAGER::get_hdb_cmp_action_pt_instance(const char* client, HDB_NAMESPACE::PDB_FILE_TYPE type,
                                                             bool, void*, bool)
{
    state().last_client = client_name(client);
    state().last_type = type;
    ACF_MANAGER* project = ACF_MANAGER::get_acf_manager();
    HDB_NAMESPACE* names = project != nullptr && project->is_project_open() ? lend_netlist(type) : nullptr;
    if (names != nullptr)
    {
        ++state().outstanding[client_name(client)];
        ++state().handed_out;
    }
    return names;
}

void DBMUI_MANAGER::unget_hdb_cmp_action_pt_instance(HDB_NAMESPACE** handle, const char* client)
{
    if (handle == nullptr || *handle == nullptr)
        return;
    int& count = state().outstanding[client_name(client)];
    if (count > 0)
    {
        --count;
        ++state().released;
    }
    else
        ++state().foreign_releases;
    *handle = nullptr;
}

const char* DBMUI_MANAGER::get_project_revision_name() const
{
    const QUI_PRJ_UI_MGR* project = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    return project != nullptr && project->project_is_open() ? project->get_revision_name() : nullptr;
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

int outstanding_total()
{
    int total = 0;
    for (const auto& entry : state().outstanding)
        total += entry.second;
    return total;
}

int handed_out()
{
    return state().handed_out;
}

int released()
{
    return state().released;
}

int foreign_releases()
{
    return state().foreign_releases;
}

std::string last_client()
{
    return state().last_client;
}

int last_file_type()
{
    return state().last_type;
}
} // namespace standin::dbmui

void DBMUI_MANAGER::register_manager(void* manager)
{
    standin::record_call(manager != nullptr ? "dbmui:register_manager" : "dbmui:register_manager(null)");
}
