#pragma once
// Test seams of the node-finder stand-in.

namespace standin::unbq
{
// Node finder dialogs created since the last reset.
int created_count();
} // namespace standin::unbq
