#pragma once
// Test seams of the node-finder stand-in.

#include "host/afcq.h"

#include <string>
#include <vector>

class UNBQ_DIALOG;

namespace standin::unbq
{
// Node finder dialogs created since the last reset.
int created_count();
// The finder dialog made last that still exists, or null.
UNBQ_DIALOG* live_dialog();
// The user "selects" a list in the live finder: it emits on_selected_list. False without one.
bool select(const AFCQ_INSTANCE_NAME_LIST& list);
// Filters given to finder dialogs since the last reset, in order.
std::vector<std::string> filters();
// Scripted picks of the single-node finder, consumed in order (an empty list: the user
// cancels). Without one, the finder opens its modal dialog.
void push_single_result(const AFCQ_INSTANCE_NAME_LIST& list);
int pending_single_results();
// The finder's entry for a design name of the netlist (0 post-fit, 3 pre-synthesis), as the
// dialog lists it; kind 3 when the netlist has no such name.
AFCQ_INSTANCE_NAME entry_for(int netlist, const std::string& name);
} // namespace standin::unbq
