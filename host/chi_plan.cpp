// The plan of one acquisition request, taken on the GUI thread from the log, its trigger and
// signal set and the simulated chain: after this the run needs nothing of the repository.
#include "host/chi_private.h"

#include "host/msg.h"
#include "host/sci.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/project_control.h"

#include <algorithm>
#include <map>

namespace chi_detail
{
namespace
{
bool is_group(const SDR_NODE_ROW& row)
{
    return row.display_type == SDR_NTYPE_GROUP || row.display_type == SDR_NTYPE_GROUP_ALT;
}

bool takes_trigger(const SDR_NODE_ROW& row)
{
    return row.capture_type == SDR_WTYPE_TRIGGER_ONLY || row.capture_type == SDR_WTYPE_DATA_AND_TRIGGER;
}

bool is_basic_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return condition >= SDR_CTYPE_ACTIVE_HIGH && condition <= SDR_CTYPE_EITHER_EDGE;
}

// Builds the trigger terms of the rows; one source per node name.
class trigger_builder
{
public:
    trigger_builder(acquisition_plan& plan, const SDR_TRIGGER_STATE& state)
        : m_plan(plan), m_rows(state.trigger_list), m_copy(plan.power_up ? SDR_COPY_POWER_UP : SDR_COPY_NORMAL)
    {
    }

    level_plan level(const SDR_TRIGGER_LEVEL& level, int index, bool always_enabled)
    {
        level_plan result = pattern(index);
        result.type = level.type;
        result.enabled = level.enabled || always_enabled;
        return result;
    }

    // The conditions of the rows at a pattern: a trigger level (0 and up) or a storage-qualifier
    // pattern (-3 .. -1), which only the rows enabled for storage take part in.
    level_plan pattern(int index)
    {
        level_plan result;
        const int sq = index + SDR_NUM_SQ_PATTERNS;
        for (int r = 0; r < m_rows.size(); ++r)
        {
            const SDR_NODE_ROW& row = m_rows[r];
            const SDR_NODE_PATTERNS& patterns = row.patterns[m_copy];
            if (is_group(row))
            {
                const SDR_NODE_COMPARISON* comparison = index < 0 ? &patterns.sq_comparisons[sq]
                                                        : index < patterns.comparisons.size() ? &patterns.comparisons[index]
                                                                                              : nullptr;
                if (comparison != nullptr && comparison->enabled)
                {
                    result.compares.push_back(compare(r, *comparison));
                    r = row.subtree_end; // the comparison stands for the members' conditions
                }
                continue;
            }
            const SDR_DATA_TRIGGER_CONDITION condition = index < 0 ? patterns.sq_conditions[sq]
                                                         : index < patterns.conditions.size() ? patterns.conditions[index]
                                                                                              : SDR_CTYPE_DONT_CARE;
            if ((index < 0 ? row.storage_enabled : takes_trigger(row)) && is_basic_condition(condition))
                result.terms.push_back({source(row.name), condition});
        }
        return result;
    }

    // Any change of a node enabled for storage whose Transitional box is checked.
    level_plan transitions()
    {
        level_plan result;
        result.type = SDR_LTYPE_BASIC_OR;
        for (const SDR_NODE_ROW& row : m_rows)
            if (!is_group(row) && row.storage_enabled && row.transition_enabled)
                result.terms.push_back({source(row.name), SDR_CTYPE_EITHER_EDGE});
        return result;
    }

    int source(const std::string& name)
    {
        const auto found = m_sources.find(name);
        if (found != m_sources.end())
            return found->second;
        return m_sources[name] = m_plan.bank.add_signal(name);
    }

private:
    compare_term compare(int group, const SDR_NODE_COMPARISON& comparison)
    {
        compare_term term;
        term.op1 = comparison.op1;
        term.value1 = comparison.value1;
        term.op2 = comparison.op2;
        term.value2 = comparison.value2;
        const SDR_NODE_ROW& row = m_rows[group];
        for (int member = group + 1; member <= row.subtree_end && member < m_rows.size(); ++member)
            if (!is_group(m_rows[member]))
                term.sources.push_back(source(m_rows[member].name));
        if (row.lsb_to_msb)
            std::reverse(term.sources.begin(), term.sources.end());
        m_plan.bank.share_stimulus(&term);
        return term;
    }

    acquisition_plan& m_plan;
    const SDR_NODE_LIST& m_rows;
    int m_copy;
    std::map<std::string, int> m_sources;
};

bool is_disconnected(const std::string& name)
{
    const std::set<std::string>& names = chain().disconnected;
    return names.count(name) != 0 || names.count(standin::project::top_entity() + "|" + name) != 0;
}

void add_channels(acquisition_plan& plan, const std::vector<std::string>& wires)
{
    for (const std::string& wire : wires)
    {
        const bool connected = !is_disconnected(wire);
        plan.channels.push_back(connected ? plan.bank.add_signal(wire) : plan.bank.add_low());
        plan.connected.push_back(connected ? 1 : 0);
    }
}

// The run cannot start: the trigger does not build, as a compile would report it.
void refuse(acquisition_plan& plan, const std::string& reason)
{
    if (plan.start_error != 0)
        return;
    plan.start_error = 7;
    plan.start_reason = reason;
}

std::shared_ptr<const flow_program> read_flow(acquisition_plan& plan, SDR_DATA_TRIGGER* trigger)
{
    const SDR_TRIGGER_STATE& state = trigger->state();
    flow_program::resources names;
    for (const SDR_TRIGGER_LEVEL& level : state.levels)
        names.levels.push_back(level.name);
    for (const SDR_TRIGGER_FLAG& flag : state.flags)
    {
        names.flags.push_back(flag.name);
        names.flag_initial.push_back(flag.initial);
    }
    for (const SDR_TRIGGER_COUNTER& counter : state.counters)
    {
        names.counters.push_back(counter.name);
        names.counter_width.push_back(counter.width);
        names.counter_initial.push_back(counter.initial);
    }
    auto flow = std::make_shared<flow_program>();
    std::string error;
    if (!flow->read(SDR_TX_SESSION::get_flow_text(trigger), names, &error))
    {
        refuse(plan, error);
        return nullptr;
    }
    return flow;
}

std::shared_ptr<const advanced_level> compile_level(acquisition_plan& plan, trigger_builder& builder,
                                                    const SDR_TRIGGER_LEVEL& level)
{
    // What the editor drew and could not write whole would run as something else.
    if (level.expression.empty())
    {
        refuse(plan, level.name + ": the condition is empty");
        return nullptr;
    }
    if (level.expression_faulty)
    {
        refuse(plan, level.name + ": the condition is incomplete or has an error");
        return nullptr;
    }
    std::string error;
    const auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(level.expression.c_str(), &error);
    auto compiled = std::make_shared<advanced_level>();
    if (parsed == nullptr ||
        !compiled->compile(parsed->get_root(), [&builder](const std::string& name) { return builder.source(name); },
                           &error))
    {
        refuse(plan, level.name + ": " + error);
        return nullptr;
    }
    return compiled;
}

// Advanced level `index` (with `sq`, storage-qualifier pattern `index`) as the plan's trigger
// runs it: a power-up trigger with the runtime-configurable values of its own copy.
SDR_TRIGGER_LEVEL level_to_run(const acquisition_plan& plan, SDR_DATA_TRIGGER* trigger, int index, bool sq)
{
    const SDR_TRIGGER_STATE& state = trigger->state();
    SDR_TRIGGER_LEVEL level = sq ? SDR_TRIGGER_LEVEL{"Storage qualifier", SDR_LTYPE_ADVANCED, true,
                                                     state.sq_patterns[index].expression, {}}
                                 : state.levels[size_t(index)];
    if (plan.power_up)
        SDR_TX_SESSION::write_power_up_equation(trigger, index, sq, &level.expression, &level.expression_faulty);
    return level;
}

void add_trigger(acquisition_plan& plan, SDR_DATA_TRIGGER* trigger, trigger_builder& builder)
{
    const SDR_TRIGGER_STATE& state = trigger->state();
    const int count = int(state.levels.size());
    for (int i = 0; i < count; ++i)
        plan.trigger.levels.push_back(builder.level(state.levels[size_t(i)], i, state.segmented && i + 1 == count));
    plan.trigger.state_based = state.state_based;
    plan.trigger.continuous = state.position == SDR_TPOS_CONTINUOUS;
    plan.trigger.advanced_after = chain().advanced_after;
    plan.trigger.fixed_distance = chain().fixed_distance;
    if (plan.trigger.fixed_distance || plan.trigger.continuous)
        return;
    if (state.state_based)
        plan.trigger.flow = read_flow(plan, trigger);
    for (int i = 0; i < count; ++i)
    {
        level_plan& level = plan.trigger.levels[size_t(i)];
        // A flow compiles only the levels it reads.
        const bool used = !state.state_based || (plan.trigger.flow != nullptr &&
                                                 plan.trigger.flow->levels_read()[size_t(i)] != 0);
        if (level.enabled && level.type == SDR_LTYPE_ADVANCED && used)
            level.advanced = compile_level(plan, builder, level_to_run(plan, trigger, i, false));
    }
}

int offset_in(int window, SDR_DATA_TRIGGER_POSITION position)
{
    switch (position)
    {
    case SDR_TPOS_CENTER:
        return window / 2;
    case SDR_TPOS_POST:
        return window / 8 * 7;
    case SDR_TPOS_CONTINUOUS:
        return 0;
    default:
        return window / 8;
    }
}

void add_setup(acquisition_plan& plan, const SDR_TRIGGER_STATE& state, const SDR_SIGNAL_SET_STATE& set)
{
    plan.depth = std::max(0, set.sample_depth);
    const bool segmented = state.segmented && state.segment_size > 0 && state.segment_size < plan.depth &&
                           plan.depth % state.segment_size == 0;
    plan.segment_size = segmented ? state.segment_size : 0;
    plan.trigger_offset = offset_in(segmented ? plan.segment_size : plan.depth, state.position);
    plan.sq_invalid_every = chain().sq_invalid_every;
    plan.state_value = state.state_based ? 0 : -1;
    for (const SDR_TRIGGER_FLAG& flag : state.flags)
        plan.flags.append(char(flag.initial != 0 ? 1 : 0));
    for (const SDR_TRIGGER_COUNTER& counter : state.counters)
        plan.counters.push_back(counter.initial);
}

// The errors a run ends with when the device does not hold what it needs.
constexpr int INSTANCE_NOT_FOUND = 5;
constexpr int NOT_COMPATIBLE = 7;

// Why the run cannot acquire at all: hardware, then the device's design, then forced faults.
// The device runs the structure it was programmed with, loading the trigger's runtime values
// with the run; a trigger whose structure differs cannot run on it, and `reason` says why.
int start_error(acquisition_plan& plan, SDR_DATA_TRIGGER* trigger, std::string* reason)
{
    SDR_DATA_SESSION* session = plan.instance->m_session;
    const int chain_fault =
        session != nullptr ? chain_error(session->m_jtag_chain_name, session->m_jtag_device_name) : 2;
    if (chain_fault != 0)
        return chain_fault;
    const device_state& d = device();
    const auto programmed = d.crcs.find(plan.device_key);
    if (!d.programmed || programmed == d.crcs.end())
    {
        *reason = d.programmed ? "the design the device is programmed with has no such instance"
                               : "the device is not programmed";
        return INSTANCE_NOT_FOUND;
    }
    if (programmed->second != SDR_TX_SESSION::compute_trigger_crc(trigger))
    {
        *reason = "the device is programmed with another version of its trigger; compile the project "
                  "and program the device to run this one";
        return NOT_COMPATIBLE;
    }
    return faults().error != 0 ? faults().error : chain().error;
}

// A pin or node of the design that a setting names; -1 (and the run refused) when the design
// has no such signal.
int design_signal(acquisition_plan& plan, trigger_builder& builder, const std::string& name, const char* what)
{
    standin::project::signal_drive drive;
    if (name.empty() || !standin::project::resolve_signal(name, &drive))
    {
        refuse(plan, name.empty() ? std::string("no ") + what + " is chosen"
                                  : std::string("the ") + what + " \"" + name + "\" is not in the design");
        return -1;
    }
    return builder.source(name);
}

bool is_active_low(const SDR_TRIGGER_OUT& out)
{
    return out.condition == SDR_CTYPE_ACTIVE_LOW || out.condition == SDR_CTYPE_LOW;
}

// The trigger out settings of the named instance of the session (the defaults without one).
SDR_TRIGGER_OUT trigger_out_of(SDR_DATA_SESSION* session, const std::string& name)
{
    for (size_t i = 0; session != nullptr && i < session->m_instances.size(); ++i)
    {
        SDR_DATA_TRIGGER* trigger = session->m_instances[i]->get_active_trigger();
        if (trigger != nullptr && name == session->m_instances[i]->get_name())
            return trigger->state().trigger_out;
    }
    return SDR_TRIGGER_OUT();
}

// The trigger in and what the storage qualifier keeps. A segmented acquisition and a disabled
// qualifier store every sample, and so does the state-based one without a state-based flow.
void add_ports(acquisition_plan& plan, trigger_builder& builder, SDR_DATA_TRIGGER* trigger)
{
    const SDR_TRIGGER_STATE& state = trigger->state();
    const SDR_TRIGGER_IN& in = state.trigger_in;
    trigger_in_plan& t = plan.trigger.trigger_in;
    t.enabled = in.enabled;
    t.condition = in.condition;
    t.after = chain().trigger_in_after;
    plan.trigger_out = std::make_shared<trigger_out_line>(is_active_low(state.trigger_out));
    if (in.enabled && t.after == 0 && in.condition != SDR_CTYPE_DONT_CARE)
    {
        t.from_instance = in.source == SDR_IOSRC_INSTANCE;
        t.instance = in.instance;
        t.never = in.source != SDR_IOSRC_PIN && in.source != SDR_IOSRC_NODE && !t.from_instance;
        const int source = in.source == SDR_IOSRC_PIN    ? design_signal(plan, builder, in.pin, "trigger in pin")
                           : in.source == SDR_IOSRC_NODE ? design_signal(plan, builder, in.node, "trigger in node")
                                                         : -1;
        if (source >= 0)
            t.signal.terms.push_back({source, in.condition});
        if (t.from_instance && in.instance.empty())
            refuse(plan, "no instance is chosen for the trigger in");
        t.source_active_low = t.from_instance && is_active_low(trigger_out_of(plan.instance->m_session, in.instance));
    }
    storage_plan& sq = plan.storage;
    if (plan.segment_size > 0 || state.sq_disabled || (state.sq_type == SDR_SQTYPE_STATE_BASED && !state.state_based))
        return;
    sq.type = state.sq_type;
    sq.record_breaks = state.record_discontinuities;
    sq.keep.type = sq.stop.type = SDR_LTYPE_BASIC_AND;
    if (sq.type == SDR_SQTYPE_INPUT_PORT)
    {
        const int port = design_signal(plan, builder, state.sq_port_name, "storage qualifier input port");
        if (port >= 0)
            sq.keep.terms.push_back({port, SDR_CTYPE_HIGH});
    }
    else if (sq.type == SDR_SQTYPE_TRANSITIONAL)
        sq.keep = builder.transitions();
    else if (sq.type == SDR_SQTYPE_CONDITIONAL || sq.type == SDR_SQTYPE_START_STOP)
    {
        const int first = sq.type == SDR_SQTYPE_CONDITIONAL ? 0 : 1;
        for (int index = first; index < (first == 0 ? 1 : 3); ++index)
        {
            const SDR_SQ_PATTERN& stored = state.sq_patterns[index];
            level_plan& level = index == 2 ? sq.stop : sq.keep;
            level = builder.pattern(index - SDR_NUM_SQ_PATTERNS);
            level.type = stored.type;
            if (stored.type == SDR_LTYPE_ADVANCED)
                level.advanced = compile_level(plan, builder, level_to_run(plan, trigger, index, true));
        }
    }
}

// The plan of an acquisition of the trigger's instance with the set's setup into `wires`.
std::shared_ptr<acquisition_plan> plan_of(SDR_DATA_TRIGGER* trigger, SDR_DATA_SIGNAL_SET* set,
                                          const std::vector<std::string>& wires, bool power_up, bool repeat)
{
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    if (instance == nullptr || set == nullptr)
        return nullptr;
    // The device is built from the conditions as the editor shows them now.
    SDR_TX_SESSION::derive_equations(trigger);
    auto plan = std::make_shared<acquisition_plan>();
    plan->instance = instance;
    plan->instance_name = instance->get_name();
    plan->device_key = node_info_word(instance);
    plan->power_up = power_up;
    plan->repeat = repeat;
    add_channels(*plan, wires);
    trigger_builder builder(*plan, trigger->state());
    add_trigger(*plan, trigger, builder);
    add_setup(*plan, trigger->state(), set->state());
    add_ports(*plan, builder, trigger);
    std::string device_reason;
    const int device_error = start_error(*plan, trigger, &device_reason);
    if (device_error != 0)
    {
        plan->start_error = device_error;
        plan->start_reason.clear();
    }
    if (!device_reason.empty())
    {
        MSG_E message;
        message.fill_args("Instance \"%1!s!\" cannot run: %2!s!/ECHI_INSTANCE_NOT_ON_DEVICE", instance->get_name(),
                          device_reason.c_str());
        message.post();
    }
    else if (!plan->start_reason.empty())
    {
        MSG_E message;
        message.fill_args("Trigger of instance \"%1!s!\" cannot be built: %2!s!/ECHI_TRIGGER_NOT_BUILT",
                          instance->get_name(), plan->start_reason.c_str());
        message.post();
    }
    plan->busy_reports = std::max(chain().busy_reports, faults().busy_reports);
    plan->busy_then_error = chain().busy_then_error || faults().busy_then_error;
    const auto script = faults().scripts.find(instance->get_name());
    plan->scripted = script != faults().scripts.end();
    if (plan->scripted)
        plan->script = script->second;
    plan->start_time = device().time;
    return plan;
}
} // namespace

std::shared_ptr<acquisition_plan> make_plan(SDR_DATA_LOG* log, bool repeat)
{
    SDR_DATA_TRIGGER* trigger = log != nullptr ? log->get_trigger() : nullptr;
    SDR_DATA_SIGNAL_SET* set = log != nullptr && log->m_signal_set != nullptr ? log->m_signal_set
                                                                                : (trigger ? trigger->m_signal_set : nullptr);
    return plan_of(trigger, set, log != nullptr ? log->m_wire_names.list() : std::vector<std::string>(),
                   log != nullptr && log->m_power_up, repeat);
}

std::shared_ptr<acquisition_plan> make_plan(SDR_DATA_TRIGGER* trigger, const std::vector<std::string>& wires,
                                            bool power_up, bool repeat)
{
    return plan_of(trigger, trigger != nullptr ? trigger->m_signal_set : nullptr, wires, power_up, repeat);
}

void link_trigger_ins(const std::vector<std::shared_ptr<acquisition_plan>>& plans)
{
    for (const auto& plan : plans)
    {
        trigger_in_plan& in = plan->trigger.trigger_in;
        if (!in.from_instance)
            continue;
        const auto source = std::find_if(plans.begin(), plans.end(),
                                         [&in](const auto& other) { return other->instance_name == in.instance; });
        if (source != plans.end())
            in.line = (*source)->trigger_out;
        else
        {
            // An instance that does not run never triggers: its trigger out stays at rest.
            auto idle = std::make_shared<trigger_out_line>(in.source_active_low);
            idle->never();
            in.line = idle;
        }
    }
}
} // namespace chi_detail
