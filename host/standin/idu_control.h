#pragma once
// Test seams of the design-partition stand-in: the manager exists, the project's incremental
// compilation mode is 0 and it has no partitions unless a test (or the project fixture's
// "partitions" and "partition_faults") says otherwise.

#include <string>

class IDU_PARTITION;

namespace standin::idu
{
void set_manager_present(bool present);
void set_project_info_present(bool present);
void set_incremental_compilation_mode(int mode);
// Adds a partition rooted at `path` (a short hierarchy path, "|" for the top partition).
IDU_PARTITION* add_partition(int id, const std::string& path, int partition_type, int netlist_type);
// A partition-map entry that holds no partition.
void add_null_partition_entry(const std::string& path);
void clear_partitions();
// Makes "begin_modify", "set_netlist_type" or "end_modify" fail (end_modify then drops the
// changes of its modification).
void fail_operation(const std::string& operation, bool fail = true);
// Modifications committed since the last reset.
int committed_modifications();
} // namespace standin::idu
