#pragma once
// Test seams of the dynamic-loader stand-in: its libraries are tables of functions inside the
// host stand-in ("prj_unbq.dll", the help library "sys_hlpq" and whatever other stand-ins
// register), and a load or a symbol look-up can be made to fail.

#include <string>
#include <vector>

namespace standin::thr
{
// Used by stand-in sources to offer a function of a host support library.
void register_function(const std::string& library, const std::string& symbol, void* function);
// The next loads of that library fail with that error text (an empty text: they succeed again).
void fail_load(const std::string& library, const std::string& error);
// Look-ups of that symbol fail.
void fail_symbol(const std::string& symbol, bool fail = true);
// Libraries loaded and not unloaded yet.
int loaded_count();
// The help keys that the entry "hlpq_dyn_show_msg_help_impl" of "sys_hlpq" was asked to show,
// in order.
std::vector<std::string> help_requests();
} // namespace standin::thr
