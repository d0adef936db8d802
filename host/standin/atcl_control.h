#pragma once
// Test seams of the Tcl-layer stand-in.

#include <string>
#include <vector>

namespace standin::atcl
{
// Evaluates a script in the process interpreter; returns the Tcl code and stores the result.
int eval(const std::string& script, std::string* result = nullptr);

// While set, atcl_get_interpreter() answers null, as a host without Tcl would.
void set_interpreter_unavailable(bool unavailable);

// Fully qualified commands registered through atcl_register_callbacks, in order.
std::vector<std::string> registered_commands();
} // namespace standin::atcl
