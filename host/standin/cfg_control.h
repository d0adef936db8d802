#pragma once
// Test seams of the hidden-switch stand-in.

#include <string>

namespace standin::cfg
{
void set(const std::string& name, bool on);
void clear(const std::string& name);
// Number of cfg_is_on calls for that name since the last reset.
int read_count(const std::string& name);
} // namespace standin::cfg
