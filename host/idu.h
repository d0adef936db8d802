#pragma once
// Host design partitions: the project's incremental compilation mode and the design partitions,
// each a subtree of the hierarchy rooted at an instance ("|" is the top partition) with the
// netlist type a compilation takes for it. Netlist types change only inside a modification
// (begin_modify .. end_modify), which takes effect at its end.

#include <map>
#include <memory>
#include <string>

class IDU_PARTITION_MANAGER;

class IDU_PROJECT_INFO
{
public:
    // 2 when incremental compilation is on.
    int get_effective_incremental_compilation_mode();
};

class IDU_PARTITION
{
public:
    IDU_PARTITION(IDU_PARTITION_MANAGER* manager, int id, std::string path, int partition_type,
                  int netlist_type);

    // 0 for the top partition.
    int get_id() const { return m_id; }
    // The short hierarchy path of the partition's root instance; "|" for the top partition.
    const char* get_short_hpath() const { return m_path.c_str(); }
    int get_partition_type() const { return m_partition_type; }
    // The committed netlist type (2 source file, 8 post-fit, 0 and 32 neither).
    int get_netlist_type() const { return m_netlist_type; }
    // Only inside a modification; the new type counts once the modification ends.
    bool set_netlist_type(int netlist_type);

    // --- manager internals ----------------------------------------------------------------
    int m_netlist_type;
    int m_pending_netlist_type = -1; // -1: no change in the open modification

private:
    IDU_PARTITION_MANAGER* m_manager;
    int m_id;
    std::string m_path;
    int m_partition_type;
};

class IDU_PARTITION_MANAGER
{
public:
    // Partitions by short hierarchy path; an entry may be null in a damaged project.
    using PARTITION_MAP = std::map<std::string, IDU_PARTITION*>;
    using PARTITION_MAP_ITER = PARTITION_MAP::const_iterator;

    // Null when the host runs without partitions.
    static IDU_PARTITION_MANAGER* get_instance();
    // Null without an open project.
    IDU_PROJECT_INFO* get_project_info();

    // The partition rooted at that short path ("|" for the top partition), or null.
    IDU_PARTITION* get_partition_by_short_hpath(const char* path);
    PARTITION_MAP_ITER get_partition_map_begin_iter() const;
    PARTITION_MAP_ITER get_partition_map_end_iter() const;

    // A modification of the partition settings; false when one is already open or the project
    // refuses. end_modify(false) commits the changes made since begin_modify, end_modify(true)
    // drops them; false when no modification is open or the commit fails (nothing changes then).
    bool begin_modify();
    bool end_modify(bool discard);
    bool is_modifying() const;
};
