#pragma once
// Test seams of the device-data stand-in. The family table starts with a few families that
// support the analyzer ("Halcyte", "Halcyte II", "Meridian", "Meridian II") and one that does
// not ("Legacy").

#include <string>
#include <vector>

namespace standin::dev
{
// Adds or replaces a family with its traits.
void set_family(const std::string& name, int family, const std::vector<int>& traits);
void remove_family(const std::string& name);
} // namespace standin::dev
