// SEDQ_TX_MANAGER: acquisition setup of an instance (clock, sample depth, node counts and
// allocation) and the project queries about incremental compilation.
#include "sedq/model/sedq_tx_manager.h"

#include "host/gen.h"
#include "host/idu.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr int ALLOCATION_TRIGGER = 0;
constexpr int ALLOCATION_DATA = 1;
constexpr int ALLOCATION_STORAGE_QUALIFIER = 2;
constexpr int GENERATED_BY_IP_WIZARD = 2;
constexpr int INCREMENTAL_COMPILATION_ON = 2;
} // namespace

SDR_TX_TRIGGER* SEDQ_TX_MANAGER::get_trigger_nodes(int trigger)
{
    SDR_TX_TRIGGER* return_value = m_tx_trigger;
    if (trigger != -1)
        return_value = m_tx_session ? m_tx_session->get_trigger_at(trigger, false) : nullptr;
    SEDQ_VERIFY(return_value);
    return return_value;
}

bool SEDQ_TX_MANAGER::get_clock(QString* clock, int instance)
{
    clock->clear();
    if (is_empty())
        return false;
    SDR_TX_SIGNAL_SET* set = get_signal_nodes(instance);
    bool post_fitting = false;
    const char* name = set ? set->get_clock_name(&post_fitting) : nullptr;
    if (name != nullptr)
        *clock = QString::fromLocal8Bit(name);
    return true;
}

bool SEDQ_TX_MANAGER::get_sample_depth(int* depth, int instance)
{
    *depth = 0;
    if (is_empty())
        return false;
    if (SDR_TX_SIGNAL_SET* set = get_signal_nodes(instance))
        *depth = set->get_sample_depth();
    return true;
}

int SEDQ_TX_MANAGER::get_trigger_node_count(int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    return trigger ? trigger->get_num_nodes() : 0;
}

bool SEDQ_TX_MANAGER::is_parent_item(int node, int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    const SDR_DATA_NODE_DISPLAY_TYPE type = trigger ? trigger->get_node_display_type(node) : SDR_NTYPE_STANDALONE;
    return type == SDR_NTYPE_GROUP || type == SDR_NTYPE_GROUP_ALT;
}

bool SEDQ_TX_MANAGER::is_child_item(int node, int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    const SDR_DATA_NODE_DISPLAY_TYPE type = trigger ? trigger->get_node_display_type(node) : SDR_NTYPE_STANDALONE;
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}

int SEDQ_TX_MANAGER::get_trigger_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    return trigger ? trigger->get_trigger_nodes_used() : 0;
}

int SEDQ_TX_MANAGER::get_data_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    return trigger ? trigger->get_data_nodes_used() : 0;
}

int SEDQ_TX_MANAGER::get_storage_qualifier_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    return trigger ? trigger->get_sq_nodes_used() : 0;
}

int SEDQ_TX_MANAGER::get_trigger_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : get_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_TRIGGER) : 0;
}

int SEDQ_TX_MANAGER::get_data_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : get_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_DATA) : 0;
}

int SEDQ_TX_MANAGER::get_storage_qualifier_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : get_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_STORAGE_QUALIFIER) : 0;
}

// The three allocation setters open no bracket: their callers do.
namespace
{
void store_allocation(SEDQ_TX_MANAGER* manager, SDR_TX_SIGNAL_SET* set, int kind, int count)
{
    if (set == nullptr || set->get_nodes_allocated(kind) == count)
        return;
    set->set_nodes_allocated(kind, count);
    manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
}
} // namespace

void SEDQ_TX_MANAGER::set_trigger_nodes_allocated(int count, int instance)
{
    store_allocation(this, is_empty() ? nullptr : get_signal_nodes(instance), ALLOCATION_TRIGGER, count);
}

void SEDQ_TX_MANAGER::set_data_nodes_allocated(int count, int instance)
{
    store_allocation(this, is_empty() ? nullptr : get_signal_nodes(instance), ALLOCATION_DATA, count);
}

void SEDQ_TX_MANAGER::set_storage_qualifier_nodes_allocated(int count, int instance)
{
    store_allocation(this, is_empty() ? nullptr : get_signal_nodes(instance), ALLOCATION_STORAGE_QUALIFIER, count);
}

bool SEDQ_TX_MANAGER::is_tessarelle_generated()
{
    SDR_DATA_INSTANCE* data = m_tx_instance ? m_tx_instance->get_data_instance() : nullptr;
    return data != nullptr && data->get_node_info().m_generator == GENERATED_BY_IP_WIZARD;
}

bool SEDQ_TX_MANAGER::is_incremental_compile()
{
    if (is_empty())
        return false;
    IDU_PARTITION_MANAGER* partitions = IDU_PARTITION_MANAGER::get_instance();
    if (gen_is_qhd() || partitions == nullptr)
        return true;
    IDU_PROJECT_INFO* idu_info = partitions->get_project_info();
    if (!SEDQ_VERIFY(idu_info))
        return false;
    return idu_info->get_effective_incremental_compilation_mode() == INCREMENTAL_COMPILATION_ON;
}

void SEDQ_TX_MANAGER::sync_upon_capture_type_change()
{
    if (!is_empty() && m_tx_trigger != nullptr)
        m_tx_trigger->sync_upon_capture_type_change();
}

bool SEDQ_TX_MANAGER::is_segmented_acquisition_enabled(int instance)
{
    SDR_TX_TRIGGER* trigger = is_empty() ? nullptr : get_trigger_nodes(instance);
    return trigger != nullptr && trigger->is_segmented();
}

// ---- text conversions of the configuration pane's lists --------------------------------------

namespace
{
// The condition table: 24 slots, of which the first 9 carry the texts of the condition menus.
const char* const CONDITION_STR[24] = {"Disabled", "Active High", "Active Low", "High", "Low", "Rising Edge",
                                       "Falling Edge", "Either Edge", "Don't Care"};
const char* const POSITION_STR[4] = {"Pre trigger position", "Center trigger position", "Post trigger position",
                                     "Continuous trigger position"};

// The index of the first entry equal to `text`; 0 with a report when none is (the lists only
// offer table texts, so another text is a fault of the caller).
template <size_t N>
int table_index(const char* const (&table)[N], QString const& text)
{
    bool found = false;
    size_t index = 0;
    for (; !text.isEmpty() && index < N && !found; ++index)
        found = table[index] != nullptr && text == QLatin1String(table[index]);
    SEDQ_VERIFY(found);
    return found ? int(index - 1) : 0;
}
} // namespace

int SEDQ_TX_MANAGER::convert_to_trigger_level_int(QString const& text)
{
    return text.toInt();
}

QString SEDQ_TX_MANAGER::convert_to_trigger_level_str(int level)
{
    if (level != m_trigger_level_cache)
    {
        m_trigger_level_cache = level;
        m_trigger_level_text = QString::number(level);
    }
    return m_trigger_level_text;
}

QString SEDQ_TX_MANAGER::convert_to_trigger_condition_str(SDR_DATA_TRIGGER_CONDITION condition)
{
    const int index = int(condition);
    return index >= 0 && index < 24 && CONDITION_STR[index] ? QString::fromLatin1(CONDITION_STR[index]) : QString();
}

SDR_DATA_TRIGGER_CONDITION SEDQ_TX_MANAGER::convert_to_trigger_condition_type(QString const& text)
{
    return SDR_DATA_TRIGGER_CONDITION(table_index(CONDITION_STR, text));
}

QString SEDQ_TX_MANAGER::convert_to_trigger_position_str(SDR_DATA_TRIGGER_POSITION position)
{
    const int index = int(position);
    return index >= 0 && index < 4 ? QString::fromLatin1(POSITION_STR[index]) : QString();
}

SDR_DATA_TRIGGER_POSITION SEDQ_TX_MANAGER::convert_to_trigger_position_type(QString const& text)
{
    return SDR_DATA_TRIGGER_POSITION(table_index(POSITION_STR, text));
}
