#pragma once
// Test seams of the netlist-database manager stand-in: the manager's presence and the count of
// access points handed out and released per client.

#include <string>

namespace standin::dbmui
{
// Makes get_dbmui_manager answer null (true) or the manager (false).
void set_absent(bool absent);
// Databases handed out to the client and not released yet.
int outstanding(const std::string& client);
int outstanding_total();
// Access points handed out and released since the last reset.
int handed_out();
int released();
// Releases by a client that held nothing (a handle given back twice or by the wrong client).
int foreign_releases();
// The client and database file type of the last access point asked for, whether or not one
// was handed out.
std::string last_client();
int last_file_type();
} // namespace standin::dbmui
