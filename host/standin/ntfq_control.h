#pragma once
// Test seams of the notification stand-in.

#include <string>
#include <vector>

namespace standin::ntfq
{
struct delivery
{
    unsigned int id = 0;
    unsigned long data = 0;
    int handled = 0; // targets that handled it
};

// Posts the notification of that name (as the host would) and returns how many targets
// handled it.
int post(const std::string& name, unsigned long data = 0, bool flag = false);

// Every ntfq_post since the last reset.
const std::vector<delivery>& deliveries();
int live_target_count();
} // namespace standin::ntfq
