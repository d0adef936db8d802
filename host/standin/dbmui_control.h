#pragma once
// Test seams of the netlist-database manager stand-in.

#include <string>

namespace standin::dbmui
{
// Makes get_dbmui_manager answer null (true) or the manager (false).
void set_absent(bool absent);
// Databases handed out to the client and not released yet.
int outstanding(const std::string& client);
} // namespace standin::dbmui
