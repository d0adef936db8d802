// Project-assignment stand-in: an in-memory assignment store with the revision's locks.
#include "host/acf.h"

#include "host/ntfq.h"
#include "host/standin/acf_control.h"
#include "host/standin/standin.h"


namespace
{
struct acf_state
{
    bool project_open = false;
    std::string project_dir;
    bool read_locked = false;
    bool write_locked = false;
    bool refuse_write_lock = false;
    bool manager_absent = false;
    bool refuse_read_lock = false;
    int commits = 0;
    std::map<int, ACF_ASSIGNMENT> committed;
    // Written under the write lock; null entries are not used.
    std::map<int, ACF_ASSIGNMENT> pending;
};

acf_state& state()
{
    static acf_state s;
    return s;
}

void reset()
{
    state() = acf_state();
}

const standin::reset_registrar registrar(&reset);
} // namespace

void ACF_MGR_INPUT_PARAMETERS::set_argument(int index, const char* value)
{
    if (index >= 0 && index < ACF_MAX_ARGUMENTS)
        m_arguments[index] = value ? value : "";
}

bool ACF_MGR_INPUT_PARAMETERS::has_argument(int index) const
{
    return m_arguments.count(index) != 0;
}

const char* ACF_MGR_INPUT_PARAMETERS::get_argument(int index) const
{
    const auto it = m_arguments.find(index);
    return it == m_arguments.end() ? nullptr : it->second.c_str();
}

const char* ACF_ASSIGNMENT::get_value(bool) const
{
    return m_value.c_str();
}

bool ACF_ASSIGNMENT::does_argument_exist(int index) const
{
    return m_arguments.count(index) != 0;
}

const char* ACF_ASSIGNMENT::get_argument_value(int index) const
{
    const auto it = m_arguments.find(index);
    return it == m_arguments.end() ? nullptr : it->second.c_str();
}

ACF_MANAGER* ACF_MANAGER::get_acf_manager()
{
    static ACF_MANAGER manager;
    return state().manager_absent ? nullptr : &manager;
}

bool ACF_MANAGER::is_project_open()
{
    return state().project_open;
}

const char* ACF_MANAGER::get_project_path()
{
    return state().project_open ? state().project_dir.c_str() : "";
}

bool ACF_MANAGER::is_read_locked()
{
    return state().read_locked;
}

bool ACF_MANAGER::is_write_locked()
{
    return state().write_locked;
}

void ACF_MANAGER::read_lock()
{
    standin::record_call("acf:read_lock()");
    if (!state().refuse_read_lock)
        state().read_locked = true;
}

void ACF_MANAGER::read_unlock()
{
    standin::record_call("acf:read_unlock()");
    state().read_locked = false;
}

bool ACF_MANAGER::write_lock(bool)
{
    auto& s = state();
    standin::record_call("acf:write_lock()");
    if (!s.project_open || s.refuse_write_lock || s.write_locked)
        return false;
    s.write_locked = true;
    return true;
}

bool ACF_MANAGER::write_unlock(bool commit)
{
    auto& s = state();
    standin::record_call(commit ? "acf:write_unlock(true)" : "acf:write_unlock(false)");
    if (!s.write_locked)
        return false;
    if (commit)
    {
        for (auto& entry : s.pending)
            s.committed[entry.first] = entry.second;
        ++s.commits;
    }
    s.pending.clear();
    s.write_locked = false;
    // The host tells every listener once committed assignments may have changed.
    if (commit)
        ntfq_post(ntfq_get_message("NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED"), 0, false);
    return true;
}

ACF_ASSIGNMENT* ACF_MANAGER::get_assignment(const ACF_MGR_INPUT_PARAMETERS& parameters)
{
    auto& s = state();
    if (!s.project_open)
        return nullptr;
    const int type = parameters.get_variable_type();
    auto it = s.pending.find(type);
    if (it != s.pending.end())
        return &it->second;
    it = s.committed.find(type);
    return it == s.committed.end() ? nullptr : &it->second;
}

ACF_ASSIGNMENT* ACF_MANAGER::set_assignment(const ACF_MGR_INPUT_PARAMETERS& parameters, const char* value)
{
    auto& s = state();
    if (!s.write_locked)
        return nullptr;
    ACF_ASSIGNMENT assignment;
    assignment.m_value = value ? value : "";
    for (int i = 0; i < ACF_MAX_ARGUMENTS; ++i)
        if (parameters.has_argument(i))
            assignment.m_arguments[i] = parameters.get_argument(i);
    standin::record_call("acf:set_assignment(" + std::to_string(parameters.get_variable_type()) + ", " +
                         assignment.m_value + ")");
    ACF_ASSIGNMENT& stored = s.pending[parameters.get_variable_type()];
    stored = assignment;
    return &stored;
}

namespace standin::acf
{
void set_project(bool open, const std::string& project_dir)
{
    auto& s = state();
    s.project_open = open;
    s.project_dir = project_dir;
    if (!s.project_dir.empty() && s.project_dir.back() != '/')
        s.project_dir += '/';
}

void set_assignment(int variable_type, const std::string& value, const std::map<int, std::string>& arguments)
{
    ACF_ASSIGNMENT assignment;
    assignment.m_value = value;
    assignment.m_arguments = arguments;
    state().committed[variable_type] = assignment;
}

void clear_assignment(int variable_type)
{
    state().committed.erase(variable_type);
}

bool has_assignment(int variable_type)
{
    return state().committed.count(variable_type) != 0;
}

std::string assignment_value(int variable_type)
{
    const auto it = state().committed.find(variable_type);
    return it == state().committed.end() ? std::string() : it->second.m_value;
}

std::map<int, std::string> assignment_arguments(int variable_type)
{
    const auto it = state().committed.find(variable_type);
    return it == state().committed.end() ? std::map<int, std::string>() : it->second.m_arguments;
}

void set_manager_present(bool present)
{
    state().manager_absent = !present;
}

void refuse_write_lock(bool refuse)
{
    state().refuse_write_lock = refuse;
}

void refuse_read_lock(bool refuse)
{
    state().refuse_read_lock = refuse;
}

int commit_count()
{
    return state().commits;
}
} // namespace standin::acf
