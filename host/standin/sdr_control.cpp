// Test seams of the analyzer data repository: counters, fault injection, scripted flow verdicts,
// file-flag fixtures and the reset hook.

#include "host/standin/sdr_control.h"

#include "host/standin/standin.h"

#include <set>

namespace standin::sdr
{
namespace
{
struct seam_state
{
    counters count;
    bool fail_save = false;
    bool fail_create_log = false;
    bool fail_rename = false;
    std::set<std::string> refused;
    bool flow_scripted = false;
    bool flow_error = false;
    std::string flow_message;
    int flow_line = 0;
};

seam_state& state()
{
    static seam_state s;
    return s;
}

void reset_seams()
{
    state() = seam_state();
    SDR_DATA_MANAGER::get_data_repository_manager()->clear();
}

const standin::reset_registrar registrar(&reset_seams);
} // namespace

const counters& get_counters()
{
    return state().count;
}

void fail_next_save()
{
    state().fail_save = true;
}

void fail_next_create_new_log()
{
    state().fail_create_log = true;
}

void fail_rename_stripped(bool fail)
{
    state().fail_rename = fail;
}

void refuse_write(const std::string& operation, bool refuse)
{
    if (refuse)
        state().refused.insert(operation);
    else
        state().refused.erase(operation);
}

bool is_write_refused(const std::string& operation)
{
    return state().refused.count(operation) != 0;
}

void set_flow_error(bool error, const std::string& message, int line)
{
    state().flow_scripted = true;
    state().flow_error = error;
    state().flow_message = message;
    state().flow_line = line;
}

void clear_flow_error()
{
    state().flow_scripted = false;
}

bool scripted_flow_error(bool* error, std::string* message, int* line)
{
    if (!state().flow_scripted)
        return false;
    if (error != nullptr)
        *error = state().flow_error;
    if (message != nullptr)
        *message = state().flow_message;
    if (line != nullptr)
        *line = state().flow_line;
    return true;
}

void set_instance_version_state(SDR_DATA_INSTANCE* instance, bool newer, bool older)
{
    instance->m_newer = newer;
    instance->m_older = older;
}

void set_stripped(SDR_DATA_SESSION* session, const std::string& original_name)
{
    session->m_stripped = true;
    session->m_original_name = original_name;
}

void set_incremental_route(SDR_DATA_INSTANCE* instance, bool available, bool used)
{
    instance->m_incremental_route_available = available;
    for (const auto& set : instance->m_signal_sets)
        for (const auto& trigger : set->m_triggers)
            trigger->m_using_incremental_route = used;
}

void reset()
{
    reset_seams();
}

namespace detail
{
void count_bracket_opened() { ++state().count.brackets_opened; }
void count_bracket_closed() { ++state().count.brackets_closed; }
void count_unbalanced_end() { ++state().count.unbalanced_ends; }
void count_unbalanced_at_close(int open) { state().count.unbalanced_at_close += open; }
void count_undo() { ++state().count.undos; }
void count_redo() { ++state().count.redos; }
void count_save() { ++state().count.saves; }
void count_open() { ++state().count.opens; }
void count_tree_call(const std::string& operation) { ++state().count.tree_calls[operation]; }

bool take_save_failure()
{
    bool fail = state().fail_save;
    state().fail_save = false;
    return fail;
}

bool take_create_log_failure()
{
    bool fail = state().fail_create_log;
    state().fail_create_log = false;
    return fail;
}

bool rename_stripped_fails()
{
    return state().fail_rename;
}
} // namespace detail
} // namespace standin::sdr
