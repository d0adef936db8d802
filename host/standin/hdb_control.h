#pragma once
// Test seams of the netlist-database stand-in: the netlists of the open project, built in code
// or from the "netlists" section of a project fixture (standin/project_control.h).

#include <string>
#include <utility>
#include <vector>

class HDB_INSTANCE_NAME;
class HDB_NAMESPACE;
class QJsonObject;

namespace standin::hdb
{
// Creates (replacing) the netlist of that type (0 post-fit, 3 pre-synthesis) with its root.
HDB_NAMESPACE* set_netlist(int type, const std::string& root_name, bool case_sensitive = true);
void remove_netlist(int type);
// The netlist of that type, or null.
HDB_NAMESPACE* netlist(int type);
// Adds a name (full or short path) with its flag bits to the netlist of that type.
HDB_INSTANCE_NAME* add_name(int type, const std::string& path, unsigned flags);
// Adds a bus with generated members (bounds per dimension, first bound first).
HDB_INSTANCE_NAME* add_bus(int type, const std::string& path, const std::vector<std::pair<int, int>>& bounds,
                           unsigned flags);
// Name look-ups answered since the last reset.
long lookup_count();

// Generators for large netlists (also reachable from a fixture's "generate" entries).
// A bus of `width` members path[width-1] .. path[0].
HDB_INSTANCE_NAME* generate_bus(int type, const std::string& path, int width, unsigned flags);
// A tree below `path`: `fanout` children per level, `depth` levels, leaves named n<i> carrying
// `leaf_flags`; fanout^depth leaves. Returns the number of names made.
long generate_tree(int type, const std::string& path, int fanout, int depth, unsigned leaf_flags);
// A state machine: the instance `path` (flag 0x400) and one register "<path>.s<i>" per state.
HDB_INSTANCE_NAME* generate_fsm(int type, const std::string& path, int states, unsigned flags);

// The most names one project fixture may make over both its netlists: per netlist twice the
// 1,048,576 node rows an analyzer file may hold. Each name costs the host about 600 bytes, so a
// fixture stays below about 2.5 GB however it is written.
constexpr long MAX_FIXTURE_NAMES = long(1) << 22;
// The limit a fixture load applies (MAX_FIXTURE_NAMES unless a fuzz target or test lowers it to
// keep its runs small); not reset with the other stand-ins.
long fixture_name_limit();
void set_fixture_name_limit(long names);

// Builds the netlist of one type from a fixture object ({"case_sensitive", "assignment_350",
// "instances": [...]}); `top` names the root. False with a message naming the entry at fault;
// the netlist is then removed.
bool load_netlist(int type, const QJsonObject& description, const std::string& top, std::string* error);
// The same, with `extra_flags` added to every name (a post-fit copy of the pre-synthesis
// netlist gets 0x2000).
bool load_netlist(int type, const QJsonObject& description, const std::string& top, unsigned extra_flags,
                  std::string* error);
// The same, taking the names it makes from `names_left` (refused, before any is made, past it).
bool load_netlist(int type, const QJsonObject& description, const std::string& top, unsigned extra_flags,
                  long* names_left, std::string* error);
} // namespace standin::hdb
