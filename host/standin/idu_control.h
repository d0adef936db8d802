#pragma once
// Test seams of the design-partition stand-in: the manager exists and the project's
// incremental compilation mode is 0 unless a test says otherwise.

namespace standin::idu
{
void set_manager_present(bool present);
void set_project_info_present(bool present);
void set_incremental_compilation_mode(int mode);
} // namespace standin::idu
