#pragma once
// Test seams of the project-assignment stand-in.

#include <map>
#include <string>

namespace standin::acf
{
// Opens (or closes) the project in the directory `project_dir` (a trailing "/" is added).
void set_project(bool open, const std::string& project_dir = "");
// Stores a committed assignment, as if it came with the project.
void set_assignment(int variable_type, const std::string& value, const std::map<int, std::string>& arguments = {});
void clear_assignment(int variable_type);
bool has_assignment(int variable_type);
std::string assignment_value(int variable_type);
std::map<int, std::string> assignment_arguments(int variable_type);
// Without a manager, get_acf_manager() answers null (as a host without assignments would).
void set_manager_present(bool present);
// The next write_lock calls are refused.
void refuse_write_lock(bool refuse);
// The next read_lock calls take no lock (another client holds the revision).
void refuse_read_lock(bool refuse);
// Number of write_unlock(true) calls since the last reset; each commit posts
// "NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED".
int commit_count();
} // namespace standin::acf
