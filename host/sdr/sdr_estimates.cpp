// SDR_TX_SESSION: resource estimates of an entry's instance (deterministic arithmetic over its
// node lists; only repeatability matters to the callers).
#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_tx_signal_nodes.h"

#include <climits>

namespace
{
struct LEAF_COUNTS
{
    unsigned trigger = 0;
    unsigned data = 0;
};

LEAF_COUNTS count_leaves(const SDR_DATA_INSTANCE* instance)
{
    LEAF_COUNTS counts;
    const SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    if (trigger != nullptr)
    {
        for (const SDR_NODE_ROW& row : trigger->state().trigger_list)
        {
            if (SDR_TX_SIGNAL_NODES::is_group_row(row))
                continue;
            const SDR_DATA_WIRE_CAPTURE_TYPE capture = row.capture_type;
            counts.trigger += capture == SDR_WTYPE_TRIGGER_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER ? 1 : 0;
            counts.data += capture == SDR_WTYPE_DATA_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER ? 1 : 0;
        }
    }
    // Rows that exist only in the data list take data too.
    if (const SDR_DATA_SIGNAL_SET* set = instance->get_active_signal_set())
    {
        for (const SDR_NODE_ROW& row : set->state().data_list)
            counts.data += row.data_tab_only && !SDR_TX_SIGNAL_NODES::is_group_row(row) ? 1 : 0;
    }
    return counts;
}

// Large node lists times deep buffers pass 32 bits; a wrapped estimate would make an oversized
// setup look small, so it stops at the largest value instead.
unsigned saturated(unsigned long long value)
{
    return value > UINT_MAX ? UINT_MAX : unsigned(value);
}
} // namespace

SDR_HALCYTE_RAM_TYPE SDR_TX_SESSION::get_instance_ram_type_at(int index) const
{
    const SDR_DATA_INSTANCE* instance = data_instance_at(index);
    const SDR_DATA_SIGNAL_SET* set = instance != nullptr ? instance->get_active_signal_set() : nullptr;
    return set != nullptr ? set->state().ram_type : SDR_RAM_AUTO;
}

unsigned SDR_TX_SESSION::get_instance_estimated_lcell_count_at(int index, int family) const
{
    (void)family; // the stand-in's estimate is the same for every device family
    const SDR_DATA_INSTANCE* instance = data_instance_at(index);
    if (instance == nullptr)
        return 0;
    const LEAF_COUNTS counts = count_leaves(instance);
    return saturated(100ull + 12ull * counts.trigger + 4ull * counts.data);
}

unsigned SDR_TX_SESSION::get_instance_ram_bits_usage_at(int index) const
{
    return instance_ram_bits(data_instance_at(index));
}

unsigned SDR_TX_SESSION::instance_ram_bits(const SDR_DATA_INSTANCE* instance)
{
    const SDR_DATA_SIGNAL_SET* set = instance != nullptr ? instance->get_active_signal_set() : nullptr;
    if (set == nullptr || !instance->m_state.enabled)
        return 0;
    const int depth = set->state().sample_depth;
    return depth > 0 ? saturated(count_leaves(instance).data * static_cast<unsigned long long>(depth)) : 0u;
}
