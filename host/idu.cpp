// Design-partition stand-in: the incremental compilation mode of the project and its design
// partitions, whose netlist types change inside a modification that commits at its end.
#include "host/idu.h"

#include "host/standin/idu_control.h"
#include "host/standin/standin.h"

#include <set>
#include <vector>

namespace
{
struct idu_state
{
    bool manager_present = true;
    bool info_present = true;
    int mode = 0;
    bool modifying = false;
    std::vector<std::unique_ptr<IDU_PARTITION>> partitions;
    IDU_PARTITION_MANAGER::PARTITION_MAP by_path;
    std::set<std::string> failing;
    int committed = 0;
};

idu_state& state()
{
    static idu_state s;
    return s;
}

void reset()
{
    state() = idu_state();
}

const standin::reset_registrar registrar(&reset);

IDU_PARTITION_MANAGER& the_manager()
{
    static IDU_PARTITION_MANAGER manager;
    return manager;
}

bool fails(const char* operation)
{
    return state().failing.count(operation) != 0;
}

// Ends the open modification: applies or drops what each partition has pending.
void close_modification(bool apply)
{
    for (const auto& partition : state().partitions)
    {
        if (apply && partition->m_pending_netlist_type != -1)
            partition->m_netlist_type = partition->m_pending_netlist_type;
        partition->m_pending_netlist_type = -1;
    }
    state().modifying = false;
}
} // namespace

int IDU_PROJECT_INFO::get_effective_incremental_compilation_mode()
{
    return state().mode;
}

IDU_PARTITION::IDU_PARTITION(IDU_PARTITION_MANAGER* manager, int id, std::string path, int partition_type,
                             int netlist_type)
    : m_netlist_type(netlist_type), m_manager(manager), m_id(id), m_path(std::move(path)),
      m_partition_type(partition_type)
{
}

bool IDU_PARTITION::set_netlist_type(int netlist_type)
{
    standin::record_call("idu:set_netlist_type(" + m_path + ", " + std::to_string(netlist_type) + ")");
    if (m_manager == nullptr || !m_manager->is_modifying() || netlist_type < 0 || fails("set_netlist_type"))
        return false;
    m_pending_netlist_type = netlist_type;
    return true;
}

IDU_PARTITION_MANAGER* IDU_PARTITION_MANAGER::get_instance()
{
    return state().manager_present ? &the_manager() : nullptr;
}

IDU_PROJECT_INFO* IDU_PARTITION_MANAGER::get_project_info()
{
    static IDU_PROJECT_INFO info;
    return state().info_present ? &info : nullptr;
}

IDU_PARTITION* IDU_PARTITION_MANAGER::get_partition_by_short_hpath(const char* path)
{
    const auto it = path != nullptr ? state().by_path.find(path) : state().by_path.end();
    return it != state().by_path.end() ? it->second : nullptr;
}

IDU_PARTITION_MANAGER::PARTITION_MAP_ITER IDU_PARTITION_MANAGER::get_partition_map_begin_iter() const
{
    return state().by_path.begin();
}

IDU_PARTITION_MANAGER::PARTITION_MAP_ITER IDU_PARTITION_MANAGER::get_partition_map_end_iter() const
{
    return state().by_path.end();
}

bool IDU_PARTITION_MANAGER::begin_modify()
{
    standin::record_call("idu:begin_modify()");
    if (state().modifying || fails("begin_modify"))
        return false;
    state().modifying = true;
    return true;
}

bool IDU_PARTITION_MANAGER::end_modify(bool discard)
{
    standin::record_call(discard ? "idu:end_modify(true)" : "idu:end_modify(false)");
    if (!state().modifying)
        return false;
    const bool commit = !discard && !fails("end_modify");
    close_modification(commit);
    state().committed += commit ? 1 : 0;
    return discard || commit;
}

bool IDU_PARTITION_MANAGER::is_modifying() const
{
    return state().modifying;
}

namespace standin::idu
{
void set_manager_present(bool present)
{
    state().manager_present = present;
}

void set_project_info_present(bool present)
{
    state().info_present = present;
}

void set_incremental_compilation_mode(int mode)
{
    state().mode = mode;
}

IDU_PARTITION* add_partition(int id, const std::string& path, int partition_type, int netlist_type)
{
    auto partition = std::make_unique<IDU_PARTITION>(&the_manager(), id, path, partition_type, netlist_type);
    IDU_PARTITION* added = partition.get();
    state().partitions.push_back(std::move(partition));
    state().by_path[path] = added;
    return added;
}

void add_null_partition_entry(const std::string& path)
{
    state().by_path[path] = nullptr;
}

void clear_partitions()
{
    close_modification(false);
    state().by_path.clear();
    state().partitions.clear();
}

void fail_operation(const std::string& operation, bool fail)
{
    if (fail)
        state().failing.insert(operation);
    else
        state().failing.erase(operation);
}

int committed_modifications()
{
    return state().committed;
}
} // namespace standin::idu
