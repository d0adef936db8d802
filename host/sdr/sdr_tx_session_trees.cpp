// SDR_TX_SESSION: advanced-trigger tree handles, commit (equations and CRC), duplicate support.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_tx_session_entry.h"
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

SDR_TX_TRIGGER* SDR_TX_SESSION::facade_of(SDR_DATA_TRIGGER* trigger) const
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

void SDR_TX_SESSION::derive_equations(SDR_DATA_TRIGGER* trigger)
{
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    SDR_DATA_SESSION* data = instance != nullptr ? instance->m_session : nullptr;
    SDR_TX_SESSION* editing = data != nullptr ? data->m_tx_user : nullptr;
    if (editing != nullptr && editing->m_data == data)
        editing->write_equations(trigger);
}

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
    for (const SDR_TRIGGER_LEVEL& level : state.levels) {
        crc.add(level.type);
        crc.add(level.expression);
    }
    crc.add(state.sq_type);
    crc.add(state.trigger_in.enabled);
    crc.add(state.trigger_out.enabled);
    return crc.value();
}
