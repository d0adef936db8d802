#pragma once
// Host project assignments: the settings of the open project, read and written by variable
// type under the revision's read and write locks. Writes made under the write lock are seen
// by later reads at once and kept only when the lock is released with a commit.

#include <map>
#include <string>

// Variable types of project assignments (the host accepts any int).
enum ACF_VARIABLE_TYPE_ENUM : int
{
    ACF_VTL_FILE_NAME = 57,        // analyzer file of the project (relative path)
    ACF_DEVICE_FAMILY = 344,
    ACF_DEVICE = 623,
    ACF_VTL_FILE = 1412,           // analyzer file of the project (relative path)
    ACF_ENABLE_VANTREL = 1414      // analyzer enable switch ("On")
};

constexpr int ACF_MAX_ARGUMENTS = 15;

// What an assignment lookup or write addresses: a variable type and its arguments 0..14.
class ACF_MGR_INPUT_PARAMETERS
{
public:
    void set_variable_type(ACF_VARIABLE_TYPE_ENUM type) { m_type = type; }
    ACF_VARIABLE_TYPE_ENUM get_variable_type() const { return m_type; }
    // Out-of-range indices are ignored.
    void set_argument(int index, const char* value);
    bool has_argument(int index) const;
    const char* get_argument(int index) const;

private:
    ACF_VARIABLE_TYPE_ENUM m_type = ACF_VARIABLE_TYPE_ENUM(0);
    std::map<int, std::string> m_arguments;
};

class ACF_ASSIGNMENT
{
public:
    const char* get_value(bool flag = false) const;
    bool does_argument_exist(int index) const;
    // Null for an argument that does not exist.
    const char* get_argument_value(int index) const;

    std::string m_value;
    std::map<int, std::string> m_arguments;
};

class ACF_MANAGER
{
public:
    static ACF_MANAGER* get_acf_manager();

    bool is_project_open();
    // The project directory, with a trailing "/"; "" without an open project.
    const char* get_project_path();

    bool is_read_locked();
    bool is_write_locked();
    void read_lock();
    void read_unlock();
    // False when the host refuses the lock (another writer) or no project is open.
    bool write_lock(bool wait);
    // Releases the write lock; `commit` keeps what was written under it, else it is dropped.
    bool write_unlock(bool commit);

    // The assignment of the parameters' variable type, or null.
    ACF_ASSIGNMENT* get_assignment(const ACF_MGR_INPUT_PARAMETERS& parameters);
    // Creates or replaces it (arguments from the parameters); null unless write-locked.
    ACF_ASSIGNMENT* set_assignment(const ACF_MGR_INPUT_PARAMETERS& parameters, const char* value);
};
