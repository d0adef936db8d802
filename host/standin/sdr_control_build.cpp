// Test seams of the analyzer data repository: building documents, rows and logs in code.

#include "host/standin/sdr_control.h"

#include "host/sdr/sdr_tx_signal_nodes.h"

#include <algorithm>
#include <vector>

namespace standin::sdr
{
namespace
{
bool is_group(const SDR_NODE_ROW& row)
{
    return row.display_type == SDR_NTYPE_GROUP || row.display_type == SDR_NTYPE_GROUP_ALT;
}

// Sizes both pattern copies of a row to `levels`, filling new entries with the row's default.
void size_patterns(SDR_NODE_ROW& row, int levels)
{
    SDR_DATA_TRIGGER_CONDITION fill = is_group(row) ? SDR_CTYPE_GROUP_FIRST : SDR_CTYPE_DONT_CARE;
    for (SDR_NODE_PATTERNS& copy : row.patterns) {
        while (copy.conditions.size() < levels)
            copy.conditions.append(fill);
        copy.conditions.resize(levels);
        copy.comparisons.resize(levels);
    }
}

int level_count(const SDR_DATA_TRIGGER* trigger)
{
    return static_cast<int>(trigger->state().levels.size());
}

SDR_DATA_SESSION* session_of(SDR_DATA_TRIGGER* trigger)
{
    SDR_DATA_INSTANCE* instance = trigger->get_instance();
    return instance != nullptr ? instance->m_session : nullptr;
}

void set_bit(QByteArray& row, int offset, int sample, bool on)
{
    if (on)
        row[offset + sample / 8] = static_cast<char>(row[offset + sample / 8] | (1 << (sample % 8)));
}

// Packs a '0'/'1' string into a row of `bytes` bytes at `offset`.
void pack(QByteArray& target, int offset, const std::string& bits, int depth)
{
    for (int s = 0; s < depth && s < static_cast<int>(bits.size()); ++s)
        set_bit(target, offset, s, bits[s] == '1');
}

} // namespace

std::unique_ptr<SDR_DATA_SESSION> make_session(const std::string& name, int instances)
{
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    for (int i = 0; i < instances; ++i)
        session->add_default_instance();
    session->clear_modified();
    return session;
}

void recompute_tree(SDR_NODE_LIST& list)
{
    SDR_TX_SIGNAL_NODES::recompute_tree(list);
}

int add_node(SDR_DATA_TRIGGER* trigger, const node_spec& desc)
{
    if (trigger == nullptr)
        return -1;
    SDR_DATA_SESSION* session = session_of(trigger);
    SDR_NODE_ROW row;
    row.link_id = session != nullptr ? session->m_next_link_id++ : 0;
    row.name = desc.name;
    row.signal_type = desc.signal_type;
    row.capture_type = desc.capture;
    row.tap_mode = desc.tap;
    row.alias = desc.alias;
    size_patterns(row, level_count(trigger));
    SDR_NODE_LIST& list = trigger->edit_transient().trigger_list;
    SDR_TX_SIGNAL_NODES::append_leaf(list, row);
    bool data = desc.capture == SDR_WTYPE_DATA_ONLY || desc.capture == SDR_WTYPE_DATA_AND_TRIGGER;
    if (data && trigger->m_signal_set != nullptr) {
        SDR_NODE_LIST& data_list = trigger->m_signal_set->edit_transient().data_list;
        SDR_TX_SIGNAL_NODES::append_leaf(data_list, row);
    }
    return list.size() - 1;
}

int add_group(SDR_DATA_TRIGGER* trigger, int first, int last, const std::string& name,
              SDR_DATA_GROUP_DISPLAY_TYPE radix)
{
    if (trigger == nullptr)
        return -1;
    SDR_NODE_LIST& list = trigger->edit_transient().trigger_list;
    if (first < 0 || last < first || last >= list.size())
        return -1;
    SDR_NODE_ROW group;
    SDR_DATA_SESSION* session = session_of(trigger);
    group.link_id = session != nullptr ? session->m_next_link_id++ : 0;
    group.name = name;
    group.display_type = SDR_NTYPE_GROUP;
    group.depth = list[first].depth;
    group.radix = radix;
    size_patterns(group, level_count(trigger));
    for (int i = first; i <= last; ++i)
        ++list[i].depth;
    list.insert(first, group);
    recompute_tree(list);
    return first;
}

void set_levels(SDR_DATA_TRIGGER* trigger, int count)
{
    if (trigger == nullptr || count < 1)
        return;
    SDR_TRIGGER_STATE& state = trigger->edit_transient();
    while (static_cast<int>(state.levels.size()) < count) {
        SDR_TRIGGER_LEVEL level;
        level.name = sdr_default_level_name(static_cast<int>(state.levels.size()));
        state.levels.push_back(level);
    }
    state.levels.resize(count);
    for (SDR_NODE_ROW& row : state.trigger_list)
        size_patterns(row, count);
    if (static_cast<int>(trigger->m_level_trees.size()) < count)
        trigger->m_level_trees.resize(count, nullptr);
}

std::shared_ptr<const SDR_LOG_PAYLOAD> make_payload(const log_spec& desc)
{
    auto payload = std::make_shared<SDR_LOG_PAYLOAD>();
    payload->depth = std::max(0, desc.depth);
    payload->channel_count = static_cast<int>(desc.channels.size());
    payload->segment_size = desc.segment_size;
    payload->trigger_position = desc.trigger_position;
    payload->segment_trigger_positions = desc.segment_trigger_positions;
    const int bytes = payload->row_bytes();
    payload->channel_bits = QByteArray(bytes * payload->channel_count, '\0');
    for (int c = 0; c < payload->channel_count; ++c)
        pack(payload->channel_bits, c * bytes, desc.channels[c], payload->depth);
    payload->valid_bits = QByteArray(bytes, '\0');
    pack(payload->valid_bits, 0, desc.valid.empty() ? std::string(payload->depth, '1') : desc.valid, payload->depth);
    payload->trigger_bits = QByteArray(bytes, '\0');
    pack(payload->trigger_bits, 0, desc.trigger, payload->depth);
    payload->break_bits = QByteArray(bytes, '\0');
    pack(payload->break_bits, 0, desc.breaks, payload->depth);
    payload->connected = QByteArray(payload->channel_count, '\1');
    for (int c = 0; c < payload->channel_count && c < static_cast<int>(desc.connected.size()); ++c)
        payload->connected[c] = desc.connected[c] ? '\1' : '\0';
    payload->state_value = desc.state_value;
    payload->flag_values = QByteArray(reinterpret_cast<const char*>(desc.flags.data()),
                                      static_cast<int>(desc.flags.size()));
    payload->counter_values = desc.counters;
    return payload;
}

SDR_DATA_LOG* make_log(SDR_DATA_TRIGGER* trigger, const log_spec& desc)
{
    if (trigger == nullptr)
        return nullptr;
    std::string name = desc.name;
    for (int n = 1; name.empty(); ++n) {
        std::string candidate = "log_" + std::to_string(n);
        bool used = std::any_of(trigger->m_logs.begin(), trigger->m_logs.end(),
                                [&candidate](const auto& log) { return log->m_name == candidate; });
        if (!used)
            name = candidate;
    }
    auto log = std::make_unique<SDR_DATA_LOG>(trigger, name);
    log->m_power_up = desc.power_up;
    log->m_payload = make_payload(desc);
    if (trigger->m_signal_set != nullptr)
        for (const SDR_NODE_ROW& row : trigger->m_signal_set->state().data_list)
            if (!is_group(row))
                log->m_wire_names.push_back(row.name);
    trigger->m_logs.push_back(std::move(log));
    trigger->m_active_log[desc.power_up ? 1 : 0] = static_cast<int>(trigger->m_logs.size()) - 1;
    return trigger->m_logs.back().get();
}
} // namespace standin::sdr
