// SDR_TX_SESSION: advanced-trigger tree handles, commit (equations and CRC), duplicate support.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_tx_session_entry.h"
#include "host/sdr/sdr_trigger_structure.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/sdr_control.h"

#include <utility>

namespace
{
// Accumulates a CRC-32 over typed fields with separators, so "ab","c" and "a","bc" differ.
class crc_builder
{
public:
    void add(const std::string& text)
    {
        add_bytes(text.data(), text.size());
        add_bytes("\0", 1);
    }
    void add(int value) { add_bytes(&value, sizeof value); }
    unsigned value() const { return m_crc; }

private:
    void add_bytes(const void* data, size_t size)
    {
        m_crc = SDR_FILE_CRC::update(m_crc, static_cast<const char*>(data), qint64(size));
    }
    quint32 m_crc = 0;
};
} // namespace

void SDR_TX_SESSION::ensure_state_machine_object(SDR_DATA_TRIGGER* trigger)
{
    if (trigger == nullptr || trigger->m_state_machine_object != nullptr || m_root == nullptr)
        return;
    standin::sdr::detail::count_tree_call("create_child_object");
    trigger->m_state_machine_object = m_root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_STATE_MACHINE);
}

SDR_TX_TREE_OBJECT* SDR_TX_SESSION::ensure_level_tree(SDR_DATA_TRIGGER* trigger, int index, bool sq)
{
    if (trigger == nullptr || index < 0 || m_root == nullptr)
        return nullptr;
    if (sq && index >= SDR_NUM_SQ_PATTERNS)
        return nullptr;
    if (!sq && index >= static_cast<int>(trigger->state().levels.size()))
        return nullptr;
    if (!sq && static_cast<int>(trigger->m_level_trees.size()) <= index)
        trigger->m_level_trees.resize(index + 1, nullptr);
    SDR_TX_TREE_OBJECT*& handle = sq ? trigger->m_sq_trees[index] : trigger->m_level_trees[index];
    if (handle == nullptr) {
        standin::sdr::detail::count_tree_call("create_child_object");
        handle = m_root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    }
    return handle;
}

void SDR_TX_SESSION::release_trees(SDR_DATA_TRIGGER* trigger)
{
    if (trigger == nullptr || m_root == nullptr)
        return;
    // State machine objects cannot be deleted through the root; they live as long as it does.
    auto release = [this](SDR_TX_TREE_OBJECT*& handle) {
        if (handle != nullptr)
            m_root->delete_child_object(handle);
        handle = nullptr;
    };
    for (SDR_TX_TREE_OBJECT*& handle : trigger->m_level_trees)
        release(handle);
    for (SDR_TX_TREE_OBJECT*& handle : trigger->m_sq_trees)
        release(handle);
}

template <class VISIT>
void SDR_TX_SESSION::for_each_trigger(VISIT visit)
{
    if (m_data == nullptr)
        return;
    for (const auto& instance : m_data->m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                visit(trigger.get());
}

SDR_TX_TRIGGER* SDR_TX_SESSION::facade_of(SDR_DATA_TRIGGER* trigger)
{
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    if (instance == nullptr || instance->get_active_trigger() != trigger)
        return nullptr;
    const int entry = entry_of(instance);
    return entry >= 0 ? &m_entries[size_t(entry)]->trigger : nullptr;
}

void SDR_TX_SESSION::commit_session()
{
    for_each_trigger([this](SDR_DATA_TRIGGER* trigger) { commit_trigger(trigger); });
}

void SDR_TX_SESSION::derive_session_equations()
{
    for_each_trigger([this](SDR_DATA_TRIGGER* trigger) { write_equations(trigger); });
}

void SDR_TX_SESSION::commit_trigger(SDR_DATA_TRIGGER* trigger)
{
    write_equations(trigger);
    trigger->m_crc = compute_trigger_crc(trigger);
    SDR_DATA_SIGNAL_SET* set = trigger->m_signal_set;
    trigger->m_latency_delay = set != nullptr ? set->state().pipeline_level : -1;
}

namespace
{
// The handle of a condition whose equation follows its objects, else null: one with objects,
// drawn (edited on the canvas) or never given an equation of its own.
SDR_TX_TREE_OBJECT* drawn(SDR_TX_TREE_OBJECT* handle, bool is_drawn, const std::string& equation)
{
    if (handle == nullptr || (!is_drawn && !equation.empty()))
        return nullptr;
    return handle->get_child_count() > 0 ? handle : nullptr;
}
} // namespace

// The equations are derived from the tree objects: writing them back is not an edit of its own
// (no undo step, no save prompt), so the transient write path is used, and only for what changed,
// since the state is shared with the undo history until it is written. The façade, which checks
// node names, is looked up once a condition has objects.
void SDR_TX_SESSION::write_equations(SDR_DATA_TRIGGER* trigger)
{
    SDR_DATA_MNEMONICS* mnemonics = m_data != nullptr ? m_data->get_mnemonics() : nullptr;
    bool looked_up = false;
    SDR_TX_TRIGGER* facade = nullptr;
    auto write = [&](SDR_TX_TREE_OBJECT* handle, int condition, std::string* text, bool* faulty) {
        if (!looked_up)
            facade = facade_of(trigger);
        looked_up = true;
        standin::sdr::detail::count_tree_call("get_equation");
        *faulty = !handle->get_equation(text, mnemonics, facade, condition, false);
    };
    const int levels = static_cast<int>(trigger->state().levels.size());
    for (int l = 0; l < levels && l < static_cast<int>(trigger->m_level_trees.size()); ++l) {
        SDR_TX_TREE_OBJECT* handle = drawn(trigger->m_level_trees[size_t(l)], trigger->is_drawn(l, false),
                                           trigger->state().levels[size_t(l)].expression);
        if (handle == nullptr || trigger->state().levels[size_t(l)].type != SDR_LTYPE_ADVANCED)
            continue;
        std::string text;
        bool faulty = false;
        write(handle, l + 1, &text, &faulty);
        const SDR_TRIGGER_LEVEL& level = trigger->state().levels[size_t(l)];
        if (level.expression != text || level.expression_faulty != faulty) {
            SDR_TRIGGER_LEVEL& written = trigger->edit_transient().levels[size_t(l)];
            written.expression = std::move(text);
            written.expression_faulty = faulty;
        }
    }
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k) {
        SDR_TX_TREE_OBJECT* handle =
            drawn(trigger->m_sq_trees[k], trigger->is_drawn(k, true), trigger->state().sq_patterns[k].expression);
        if (handle == nullptr || trigger->state().sq_patterns[k].type != SDR_LTYPE_ADVANCED)
            continue;
        std::string text;
        bool faulty = false;
        write(handle, 1, &text, &faulty);
        if (trigger->state().sq_patterns[k].expression != text)
            trigger->edit_transient().sq_patterns[k].expression = std::move(text);
    }
}

namespace
{
// The editing session that holds the objects of `trigger`, or null.
SDR_TX_SESSION* editing_session_of(SDR_DATA_TRIGGER* trigger)
{
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    SDR_DATA_SESSION* data = instance != nullptr ? instance->m_session : nullptr;
    SDR_TX_SESSION* editing = data != nullptr ? data->m_tx_user : nullptr;
    return editing != nullptr && editing->get_data_session() == data ? editing : nullptr;
}
} // namespace

void SDR_TX_SESSION::derive_equations(SDR_DATA_TRIGGER* trigger)
{
    if (SDR_TX_SESSION* editing = editing_session_of(trigger))
        editing->write_equations(trigger);
}

bool SDR_TX_SESSION::write_power_up_equation(SDR_DATA_TRIGGER* trigger, int index, bool sq, std::string* text,
                                             bool* faulty)
{
    SDR_TX_SESSION* editing = editing_session_of(trigger);
    if (editing == nullptr || text == nullptr || faulty == nullptr || index < 0 ||
        index >= (sq ? SDR_NUM_SQ_PATTERNS : static_cast<int>(trigger->state().levels.size())))
        return false;
    SDR_TX_TREE_OBJECT* const* handles = sq ? trigger->m_sq_trees : trigger->m_level_trees.data();
    const size_t count = sq ? size_t(SDR_NUM_SQ_PATTERNS) : trigger->m_level_trees.size();
    const std::string& stored =
        sq ? trigger->state().sq_patterns[index].expression : trigger->state().levels[size_t(index)].expression;
    SDR_TX_TREE_OBJECT* handle =
        size_t(index) < count ? drawn(handles[index], trigger->is_drawn(index, sq), stored) : nullptr;
    if (handle == nullptr)
        return false;
    SDR_DATA_MNEMONICS* mnemonics = editing->m_data->get_mnemonics();
    standin::sdr::detail::count_tree_call("get_equation");
    *faulty = !handle->get_equation(text, mnemonics, editing->facade_of(trigger), sq ? 1 : index + 1, true);
    return true;
}

namespace
{
// The flow text the state machine object holds (or that the file held).
class flow_text_sink : public SDR_TX_ATTRIBUTE_SINK
{
public:
    void add(const std::string& key, const std::string& value) override
    {
        if (key == FLOW_KEY)
            text = value;
    }
    static constexpr const char* FLOW_KEY = "state_machine_flow_expression";
    std::string text = "state ST1:\ntrigger;";
};
} // namespace

std::string SDR_TX_SESSION::get_flow_text(const SDR_DATA_TRIGGER* trigger)
{
    flow_text_sink sink;
    if (trigger == nullptr)
        return sink.text;
    if (trigger->m_state_machine_object != nullptr)
    {
        SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&sink);
        trigger->m_state_machine_object->get_attributes();
        return sink.text;
    }
    for (const auto& attribute : trigger->m_stored_state_machine.attributes)
        sink.add(attribute.first, attribute.second);
    return sink.text;
}

namespace
{
const std::string& equation_structure(const SDR_DATA_TRIGGER* trigger, size_t level)
{
    SDR_STRUCTURE_MEMO& memo = trigger->m_structure_memo;
    if (memo.equations.size() <= level)
        memo.equations.resize(level + 1);
    auto& known = memo.equations[level];
    const std::string& expression = trigger->state().levels[level].expression;
    if (known.second.empty() || known.first != expression)
        known = {expression, SDR_TRIGGER_STRUCTURE::of_equation(expression)};
    return known.second;
}

// The flow's structure with what it is read and run with: its resources and runtime options.
void add_flow(crc_builder* crc, const SDR_DATA_TRIGGER* trigger)
{
    const SDR_TRIGGER_STATE& state = trigger->state();
    crc->add(state.runtime_options);
    crc->add(static_cast<int>(state.flags.size()));
    for (const SDR_TRIGGER_FLAG& flag : state.flags) {
        crc->add(flag.name);
        crc->add(flag.initial);
    }
    crc->add(static_cast<int>(state.counters.size()));
    for (const SDR_TRIGGER_COUNTER& counter : state.counters) {
        crc->add(counter.name);
        crc->add(counter.width);
        crc->add(static_cast<int>(counter.initial));
    }
    SDR_STRUCTURE_MEMO& memo = trigger->m_structure_memo;
    std::string flow = SDR_TX_SESSION::get_flow_text(trigger);
    if (memo.flow.empty() || memo.flow_options != state.runtime_options || memo.flow_text != flow) {
        memo.flow = SDR_TRIGGER_STRUCTURE::of_flow(flow, state.runtime_options);
        memo.flow_options = state.runtime_options;
        memo.flow_text = std::move(flow);
    }
    crc->add(memo.flow);
}
} // namespace

unsigned SDR_TX_SESSION::compute_trigger_crc(const SDR_DATA_TRIGGER* trigger, bool pre_fit_only)
{
    crc_builder crc;
    if (trigger == nullptr)
        return crc.value();
    const SDR_TRIGGER_STATE& state = trigger->state();
    for (const SDR_NODE_ROW& row : state.trigger_list) {
        if (SDR_TX_SIGNAL_NODES::is_group_row(row) || (pre_fit_only && row.tap_mode == SDR_TAP_POST_FITTING))
            continue;
        crc.add(row.name);
        crc.add(row.tap_mode);
        crc.add(row.capture_type);
    }
    if (const SDR_DATA_SIGNAL_SET* set = trigger->m_signal_set) {
        const SDR_SIGNAL_SET_STATE& setup = set->state();
        crc.add(setup.clock_name);
        crc.add(setup.sample_depth);
        crc.add(setup.ram_type);
        crc.add(setup.pipeline_level);
    }
    crc.add(state.segmented ? state.segment_size : 0);
    crc.add(static_cast<int>(state.levels.size()));
    for (size_t l = 0; l < state.levels.size(); ++l) {
        const SDR_TRIGGER_LEVEL& level = state.levels[l];
        crc.add(level.type);
        crc.add(level.type == SDR_LTYPE_ADVANCED ? equation_structure(trigger, l) : level.expression);
    }
    crc.add(state.sq_type);
    crc.add(state.trigger_in.enabled);
    crc.add(state.trigger_out.enabled);
    if (state.state_based)
        add_flow(&crc, trigger);
    return crc.value();
}
