#pragma once
// Test seams shared by every stand-in: a reset hook registry and the host call recorder.
// Library code never includes this header.

#include <string>
#include <vector>

namespace standin
{
// Resets every stand-in to its fresh state (called before each test).
void reset_all();

// Registers a reset function; stand-in sources call it from a static registrar.
void register_reset(void (*reset)());

struct reset_registrar
{
    explicit reset_registrar(void (*reset)()) { register_reset(reset); }
};

// Ordered record of host calls, each "lib:function(args)".
void record_call(const std::string& call);
const std::vector<std::string>& calls();
std::vector<std::string> calls(const std::string& lib);
void clear_calls();
} // namespace standin
