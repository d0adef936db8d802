#pragma once
// Test seams of the keypoint-database stand-in: what was loaded and is still held, and why the
// last file was refused.
//
// Keypoint files are line files, one item a line, blank lines and lines starting with "#"
// ignored:
//   fsm <machine>                 starts a state machine (a register transformation of kind 0x200)
//   reg <register>                its next state register (all before its first state)
//   state <name> <e1> .. <er>     a state and the value of each of its r registers
//   rename <old> <new>            a name a later compile stage gave a register or machine
// Names hold no blanks and separate hierarchy levels with "/".

#include <string>
#include <vector>

namespace standin::kpt
{
// Successful loads since the last reset.
int load_count();
// Names of the databases held now, in load order; "" stands for each one loaded under the
// empty name (which nothing can destroy).
std::vector<std::string> loaded_names();
// Why the last load failed ("" after a successful one): the file, the line and what was wrong.
std::string last_error();
} // namespace standin::kpt
