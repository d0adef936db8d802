#pragma once
// Test seams of the JTAG chain pane stand-in: what it reported to its clients, how programming
// ends, and panes built without parts of their layout. The simulated chain itself is the
// acquisition engine's (standin::chi::set_chain, unplug_cable). Library code never includes
// this header.

#include <vector>

namespace standin::sldq
{
// The flags of every on_view_updated the panes made, in order.
std::vector<unsigned int> view_updates();
void clear_view_updates();

// Programming fails (the device keeps what it held) although file and chain are good.
void fail_programming(bool fail);
// Time from the start of programming to its result report (default 300 ms).
void set_program_delay_ms(int ms);

// Panes built from now on lack a part of their layout.
enum class missing_part
{
    none,
    settings_grid,     // item 2 of the pane's layout is a plain box layout
    file_label,        // the programming-file row has no label in column 0
    browse_controls    // the programming-file row has no browse layout in column 2
};
void build_without(missing_part part);
} // namespace standin::sldq
