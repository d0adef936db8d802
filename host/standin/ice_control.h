#pragma once
// Test seams of the device estimates: the memory-block families of the device (the project
// fixture's "memory" section) and the design's partial reconfiguration (its project's
// "partial_reconfig"). Without a fixture the device has 100 small blocks of 640 bits up to 20
// wide, 50 medium blocks of 10240 bits up to 40 wide and 2 large blocks of 147456 bits up to
// 144 wide, none of them used, and init_usage succeeds.

#include <string>

class QJsonValue;

namespace standin::ice
{
struct block_type
{
    long long capacity_bits = 0;
    int max_width = 0;
    int total = 0; // 2147483647: not limited
    int used = 0;
};

void set_partial_reconfig(bool on);
void set_init_ok(bool ok);
// Family 0 small, 1 medium, 2 large.
void set_block_type(int type, const block_type& description);
block_type get_block_type(int type);
// Every num_mem_blocks_used answers `value` (as a broken estimator might); 0 turns it off.
void force_blocks_result(int value);
// Number of estimators alive (the library must destroy each one it makes).
int live_estimators();

// Reads {"init_ok": bool, "types": [{"type", "capacity_bits", "max_width", "total", "used"}]};
// false with a message naming the entry at fault.
bool load_memory(const QJsonValue& memory, std::string* error);
// The device without a fixture, no partial reconfiguration, no forced result.
void reset();
} // namespace standin::ice
