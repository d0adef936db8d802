#pragma once
// Test seam of the fast-recompile state (the project fixture's "relayne_supported").

namespace standin::qtk
{
void set_relayne_supported(bool on);
} // namespace standin::qtk
