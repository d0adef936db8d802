#pragma once
// Test seams of the device-data stand-in. The family table starts with a few families that
// support the analyzer ("Halcyte", "Halcyte II", "Meridian", "Meridian II") and one that does
// not ("Legacy"). The part table starts empty: every part name is then the generic part.

#include <map>
#include <string>
#include <vector>

namespace standin::dev
{
// Adds or replaces a family with its traits.
void set_family(const std::string& name, int family, const std::vector<int>& traits);
void remove_family(const std::string& name);
// Adds a part (or replaces its resources, keeping its number) and returns its part number.
// `resources` maps a resource kind to the part's count of it.
int set_part(const std::string& name, const std::map<int, int>& resources);
void clear_parts();
} // namespace standin::dev
