#pragma once
// Test seams of the application-framework stand-in.

class QAction;

namespace standin::afcq
{
// The last action created for the id that is still alive, else null.
QAction* created_action(int id);
// Number of actions created for the id since the last reset.
int created_count(int id);
} // namespace standin::afcq
