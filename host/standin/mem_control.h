#pragma once
// Test seams of the memory-registration stand-in.

#include <string>
#include <vector>

namespace standin::mem
{
// Modules whose MEM_INITIALIZER is alive, in construction order.
std::vector<std::string> live_modules();
} // namespace standin::mem
