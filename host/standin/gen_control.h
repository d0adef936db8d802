#pragma once
// Test seams of the GEN stand-in.

#include <string>

namespace standin::gen
{
void set_is_qhd(bool on);
void set_is_qt(bool on);
// Directories are used as given; callers expect a trailing "/". An empty database directory
// goes back to the default, "db/" below the working directory.
void set_module_path(const std::string& path);
void set_db_dir_path(const std::string& path);
} // namespace standin::gen
