// SDR_TX_SESSION: advanced-trigger tree handles, commit (equations and CRC), duplicate support.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_tx_session_entry.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/sdr_control.h"

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

void SDR_TX_SESSION::commit_session()
{
    if (m_data == nullptr)
        return;
    for (const auto& instance : m_data->m_instances) {
        SDR_DATA_TRIGGER* active = instance->get_active_trigger();
        int entry = entry_of(instance.get());
        SDR_TX_TRIGGER* facade = entry >= 0 ? m_entries[entry]->trigger.get() : nullptr;
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                commit_trigger(trigger.get(), trigger.get() == active ? facade : nullptr);
    }
}

// The equations are derived from the tree objects: writing them back is not an edit of its own
// (no undo step, no save prompt), so the transient write path is used.
void SDR_TX_SESSION::commit_trigger(SDR_DATA_TRIGGER* trigger, SDR_TX_TRIGGER* facade)
{
    SDR_DATA_MNEMONICS* mnemonics = m_data->get_mnemonics();
    const int levels = static_cast<int>(trigger->state().levels.size());
    for (int l = 0; l < levels && l < static_cast<int>(trigger->m_level_trees.size()); ++l) {
        SDR_TX_TREE_OBJECT* handle = trigger->m_level_trees[l];
        if (handle == nullptr || trigger->state().levels[l].type != SDR_LTYPE_ADVANCED)
            continue;
        std::string text;
        standin::sdr::detail::count_tree_call("get_equation");
        if (handle->get_equation(&text, mnemonics, facade, l + 1, false))
            trigger->edit_transient().levels[l].expression = text;
    }
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k) {
        SDR_TX_TREE_OBJECT* handle = trigger->m_sq_trees[k];
        if (handle == nullptr || trigger->state().sq_patterns[k].type != SDR_LTYPE_ADVANCED)
            continue;
        std::string text;
        standin::sdr::detail::count_tree_call("get_equation");
        if (handle->get_equation(&text, mnemonics, facade, 1, false))
            trigger->edit_transient().sq_patterns[k].expression = text;
    }
    trigger->m_crc = compute_trigger_crc(trigger);
    SDR_DATA_SIGNAL_SET* set = trigger->m_signal_set;
    trigger->m_latency_delay = set != nullptr ? set->state().pipeline_level : -1;
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
