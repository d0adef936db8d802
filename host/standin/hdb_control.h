#pragma once
// Test seams of the netlist-database stand-in: the netlists of the open project.

#include <string>

class HDB_NAMESPACE;

namespace standin::hdb
{
// Creates (replacing) the netlist of that type (0 post-fit, 3 pre-synthesis) with its root.
HDB_NAMESPACE* set_netlist(int type, const std::string& root_name, bool case_sensitive = true);
void remove_netlist(int type);
// The netlist of that type, or null.
HDB_NAMESPACE* netlist(int type);
// Adds a name (full or short path) with its flag bits to the netlist of that type.
void add_name(int type, const std::string& path, unsigned flags);
} // namespace standin::hdb
