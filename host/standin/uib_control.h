#pragma once
// Test seam of the find engine stand-in: the searches asked of it.

#include <string>
#include <vector>

namespace standin::uib
{
// One call of UIB_FIND_ENGINE::find with the values it was given.
struct find_call
{
    std::string text;
    unsigned int find_in = 0;
    unsigned int options = 0;
    int direction = 0;
    unsigned long target_index = 0;
    unsigned long position = 0;
};

// Every search since the last reset, in order.
const std::vector<find_call>& find_calls();
} // namespace standin::uib
