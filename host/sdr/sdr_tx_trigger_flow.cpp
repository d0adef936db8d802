// SDR_TX_TRIGGER: resources of the state-based flow (flags, counters, runtime options), the
// flow check, and the tree handles of the state machine and the advanced levels.
#include "host/sdr/sdr_tx_trigger.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_flow_checker.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/sdr_control.h"

namespace
{
const char* const FLOW_EXPRESSION_KEY = "state_machine_flow_expression";

bool is_option(int option)
{
    return option == 1 || option == 2 || option == 4 || option == 8;
}

// Keeps the flow text that the state machine object writes among its attributes.
class FLOW_TEXT_SINK : public SDR_TX_ATTRIBUTE_SINK
{
public:
    void add(const std::string& key, const std::string& value) override
    {
        if (key == FLOW_EXPRESSION_KEY)
            text = value;
    }
    std::string text;
};
} // namespace

int SDR_TX_TRIGGER::get_flag_count() const
{
    return state() != nullptr ? int(state()->flags.size()) : 0;
}

bool SDR_TX_TRIGGER::set_flag_count(int count)
{
    if (state() == nullptr || count < 0)
        return false;
    if (count > SDR_FILE_LIMITS::MAX_RESOURCES_PER_TRIGGER)
        return SDR_DATA_MANAGER::refuse(QStringLiteral("a trigger's flow may have at most %1 flags")
                                            .arg(SDR_FILE_LIMITS::MAX_RESOURCES_PER_TRIGGER));
    if (count == get_flag_count())
        return true;
    if (!has_room(SDR_FILE_ELEMENT::FLAG, count - get_flag_count()))
        return false;
    return write([count](SDR_TRIGGER_STATE& s) {
        const int old = int(s.flags.size());
        s.flags.resize(size_t(count));
        for (int i = old; i < count; ++i)
            s.flags[size_t(i)].name = "flag" + std::to_string(i + 1);
    });
}

const char* SDR_TX_TRIGGER::get_flag_name(int index, int* initial) const
{
    if (index < 0 || index >= get_flag_count())
        return nullptr;
    const SDR_TRIGGER_FLAG& flag = state()->flags[size_t(index)];
    if (initial != nullptr)
        *initial = flag.initial;
    return flag.name.c_str();
}

bool SDR_TX_TRIGGER::set_flag(int index, const char* name, const int* initial)
{
    if (index < 0 || index >= get_flag_count())
        return false;
    const SDR_TRIGGER_FLAG& flag = state()->flags[size_t(index)];
    const bool same_name = name == nullptr || flag.name == name;
    const bool same_initial = initial == nullptr || flag.initial == *initial;
    if (same_name && same_initial)
        return true;
    const std::string new_name = name != nullptr ? std::string(name) : flag.name;
    const int new_initial = initial != nullptr ? *initial : flag.initial;
    if (!text_fits(new_name, "the flag name"))
        return false;
    return write([index, &new_name, new_initial](SDR_TRIGGER_STATE& s) {
        s.flags[size_t(index)].name = new_name;
        s.flags[size_t(index)].initial = new_initial;
    });
}

int SDR_TX_TRIGGER::get_counter_count() const
{
    return state() != nullptr ? int(state()->counters.size()) : 0;
}

bool SDR_TX_TRIGGER::set_counter_count(int count)
{
    if (state() == nullptr || count < 0)
        return false;
    if (count > SDR_FILE_LIMITS::MAX_RESOURCES_PER_TRIGGER)
        return SDR_DATA_MANAGER::refuse(QStringLiteral("a trigger's flow may have at most %1 counters")
                                            .arg(SDR_FILE_LIMITS::MAX_RESOURCES_PER_TRIGGER));
    if (count == get_counter_count())
        return true;
    if (!has_room(SDR_FILE_ELEMENT::COUNTER, count - get_counter_count()))
        return false;
    return write([count](SDR_TRIGGER_STATE& s) {
        const int old = int(s.counters.size());
        s.counters.resize(size_t(count));
        for (int i = old; i < count; ++i)
            s.counters[size_t(i)].name = "counter" + std::to_string(i + 1);
    });
}

const char* SDR_TX_TRIGGER::get_counter_name(int index, int* width, unsigned* initial) const
{
    if (index < 0 || index >= get_counter_count())
        return nullptr;
    const SDR_TRIGGER_COUNTER& counter = state()->counters[size_t(index)];
    if (width != nullptr)
        *width = counter.width;
    if (initial != nullptr)
        *initial = counter.initial;
    return counter.name.c_str();
}

bool SDR_TX_TRIGGER::set_counter(int index, const char* name, const int* width, const unsigned* initial)
{
    if (index < 0 || index >= get_counter_count() || (width != nullptr && *width < 1))
        return false;
    SDR_TRIGGER_COUNTER next = state()->counters[size_t(index)];
    if (name != nullptr)
        next.name = name;
    if (!text_fits(next.name, "the counter name"))
        return false;
    if (width != nullptr)
        next.width = *width;
    if (initial != nullptr)
        next.initial = *initial;
    const SDR_TRIGGER_COUNTER& now = state()->counters[size_t(index)];
    if (next.name == now.name && next.width == now.width && next.initial == now.initial)
        return true;
    return write([index, &next](SDR_TRIGGER_STATE& s) { s.counters[size_t(index)] = next; });
}

bool SDR_TX_TRIGGER::is_configurable(int option) const
{
    return state() != nullptr && is_option(option) && (state()->runtime_options & option) != 0;
}

bool SDR_TX_TRIGGER::set_configurable(int option, bool on)
{
    if (state() == nullptr || !is_option(option))
        return false;
    if (is_configurable(option) == on)
        return true;
    return write([option, on](SDR_TRIGGER_STATE& s) {
        s.runtime_options = on ? (s.runtime_options | option) : (s.runtime_options & ~option);
    });
}

std::string SDR_TX_TRIGGER::unified_state_text()
{
    SDR_TX_TREE_OBJECT* machine = get_state_machine_object();
    if (machine == nullptr)
        return std::string();
    FLOW_TEXT_SINK sink;
    SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&sink);
    machine->get_attributes();
    return sink.text;
}

bool SDR_TX_TRIGGER::has_flow_error(std::string* message, int* line)
{
    bool error = false;
    std::string text;
    int at = 0;
    if (!standin::sdr::scripted_flow_error(&error, &text, &at))
    {
        // Without a state machine object the trigger has no flow text to check.
        const SDR_TRIGGER_STATE* s = state();
        if (s == nullptr || get_state_machine_object() == nullptr)
            return false;
        SDR_FLOW_CHECKER::NAMES names;
        for (const SDR_TRIGGER_LEVEL& level : s->levels)
            names.conditions.insert(level.name);
        for (const SDR_TRIGGER_COUNTER& counter : s->counters)
            names.counters.insert(counter.name);
        for (const SDR_TRIGGER_FLAG& flag : s->flags)
            names.flags.insert(flag.name);
        error = SDR_FLOW_CHECKER::has_error(unified_state_text(), names, &text, &at);
    }
    if (error && message != nullptr)
        *message = text;
    if (error && line != nullptr)
        *line = at;
    return error;
}

// Every key typed in a flow lands here. Once the flag stands, writing it again would copy the
// trigger's whole state away from the undo step that shares it, for no change: the key is only
// counted as a change of the instance, so that its step is still kept.
void SDR_TX_TRIGGER::set_state_machine_changed()
{
    SDR_DATA_TRIGGER* t = trigger();
    SDR_DATA_INSTANCE* instance = t != nullptr ? t->get_instance() : nullptr;
    if (instance != nullptr && t->state().state_machine_changed)
    {
        SDR_EDIT_SCOPE scope(m_instance);
        instance->note_change();
        return;
    }
    write([](SDR_TRIGGER_STATE& s) { s.state_machine_changed = true; });
}

SDR_TX_TREE_OBJECT* SDR_TX_TRIGGER::get_state_machine_object()
{
    SDR_DATA_TRIGGER* t = trigger();
    if (t == nullptr || m_session == nullptr)
        return nullptr;
    m_session->ensure_state_machine_object(t);
    return t->m_state_machine_object;
}

SDR_TX_TREE_OBJECT* SDR_TX_TRIGGER::get_advanced_trigger_root(int index, bool sq)
{
    SDR_DATA_TRIGGER* t = trigger();
    if (t == nullptr || m_session == nullptr)
        return nullptr;
    return m_session->ensure_level_tree(t, index, sq);
}

// The editor tells the repository here that the objects of a condition changed: from now on the
// condition's equation is the one its objects write, and it is written at once.
void SDR_TX_TRIGGER::set_advanced_modified(int index, bool sq, bool first, bool second)
{
    const int count = sq ? SDR_NUM_SQ_PATTERNS : get_num_levels();
    if (index < 0 || index >= count)
        return;
    if (SDR_DATA_TRIGGER* t = trigger())
        t->set_drawn(index, sq);
    write([index, sq, first, second](SDR_TRIGGER_STATE& s) {
        bool* flags = sq ? s.sq_patterns[index].adv_modified : s.levels[size_t(index)].adv_modified;
        flags[0] = first;
        flags[1] = second;
    });
    SDR_TX_SESSION::derive_equations(trigger());
}
