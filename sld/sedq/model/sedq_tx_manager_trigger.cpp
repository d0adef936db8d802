// SEDQ_TX_MANAGER: trigger levels and their types, flow control and trigger position, the basic
// condition of every node per pattern, and the comparison conditions of buses.
#include "sedq/model/sedq_repository.h"

#include "host/sdr/sdr_global_enum.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_trigger_edit.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_verify.h"

#include <cstdio>

namespace
{
const QLatin1String SEQUENTIAL_TEXT("Sequential");
const QLatin1String STATE_BASED_TEXT("State-based");
const int REFRESH_LAYOUT_HINT = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW);
} // namespace

SDR_TX_TRIGGER* sedq_document_trigger(SEDQ_TX_MANAGER* manager, int trigger)
{
    return manager->is_empty() ? nullptr : SEDQ_REPOSITORY::trigger_nodes(manager, trigger);
}

void sedq_edit_trigger(SEDQ_TX_MANAGER* manager, bool unchanged, SEDQ_TRIGGER_EDIT_MARK mark, int hint,
                       const std::function<bool(SDR_TX_TRIGGER*)>& write)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(manager, SEDQ_CURRENT);
    if (trigger == nullptr || unchanged || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
    const bool accepted = write(trigger);
    const bool follows = mark != SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED || accepted;
    if (mark != SEDQ_TRIGGER_EDIT_MARK::NEVER && follows)
        manager->update_modified_flag();
    if (hint != 0 && follows)
        manager->update_all_views(nullptr, hint);
}

// ---- trigger levels ----------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_trigger_level(int* count, int trigger)
{
    *count = 0;
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return false;
    *count = nodes->get_num_levels();
    return true;
}

bool SEDQ_TX_MANAGER::get_trigger_level(QString* text, int trigger)
{
    int count = 0;
    const bool found = get_trigger_level(&count, trigger);
    *text = found ? convert_to_trigger_level_str(count) : QStringLiteral("1");
    return found;
}

QString SEDQ_TX_MANAGER::get_trigger_level_name(int level, int trigger)
{
    if (!SEDQ_VERIFY(!this->is_empty()))
        return QString();
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(trigger);
    const char* name = nodes != nullptr ? nodes->get_level_name(level) : nullptr;
    return name != nullptr ? QString::fromLocal8Bit(name) : QString();
}

bool SEDQ_TX_MANAGER::set_trigger_level_name(QString const& name, int level, int trigger)
{
    if (!SEDQ_VERIFY(!this->is_empty()))
        return false;
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(trigger);
    return nodes != nullptr && nodes->set_level_name(level, name.toLocal8Bit().constData());
}

SDR_DATA_TRIGGER_LEVEL_TYPE SEDQ_TX_MANAGER::get_trigger_level_type(int nPatternNumber, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return SDR_LTYPE_BASIC_AND;
    if (nPatternNumber >= 0)
        return nodes->get_level_type(nPatternNumber, false);
    if (!SEDQ_VERIFY_SQ_PATTERN(nPatternNumber))
        return SDR_LTYPE_BASIC_AND;
    // A storage-qualifier pattern has a type only while the qualifier that uses it is chosen.
    const SDR_DATA_STORAGE_QUALIFIER_TYPE uses =
        nPatternNumber == SEDQ_PATTERN_SQ_CONDITIONAL ? SDR_SQTYPE_CONDITIONAL : SDR_SQTYPE_START_STOP;
    if (nodes->get_sq_type() != uses)
        return SDR_LTYPE_BASIC_AND;
    return nodes->get_level_type(sedq_sq_index(nPatternNumber), true);
}

// Whether the instance manager has a status to re-evaluate after a grouping: some trigger
// level, or a storage-qualifier pattern in use, is a basic OR level.
bool SEDQ_TX_MANAGER::has_at_least_one_basic_or_trigger_level() const
{
    SDR_TX_TRIGGER* trigger = m_tx_trigger;
    if (trigger == nullptr)
        return false;
    for (int level = 0; level < trigger->get_num_levels(); ++level)
    {
        if (trigger->get_level_type(level, false) == SDR_LTYPE_BASIC_OR)
            return true;
    }
    switch (trigger->get_sq_type())
    {
    case SDR_SQTYPE_CONDITIONAL:
        return trigger->get_level_type(0, true) == SDR_LTYPE_BASIC_OR;
    case SDR_SQTYPE_START_STOP:
        return trigger->get_level_type(1, true) == SDR_LTYPE_BASIC_OR ||
               trigger->get_level_type(2, true) == SDR_LTYPE_BASIC_OR;
    default:
        return false;
    }
}

bool SEDQ_TX_MANAGER::is_pattern_enabled(int pattern)
{
    if (is_empty() || m_tx_trigger == nullptr)
        return false;
    if (pattern < 0)
        return !is_disable_storage_qualifier_enabled(SEDQ_CURRENT);
    if (!is_sequential_mode(SEDQ_CURRENT))
        return true;
    // The level that ends each segment always fires in a segmented acquisition.
    return is_segmented_acquisition_trigger(pattern) || m_tx_trigger->is_level_enabled(pattern);
}

bool SEDQ_TX_MANAGER::is_segmented_acquisition_trigger(int level)
{
    int count = 0;
    get_trigger_level(&count, SEDQ_CURRENT);
    return is_segmented_acquisition_enabled(SEDQ_CURRENT) && level + 1 == count;
}

bool SEDQ_TX_MANAGER::is_segmented_trigger_position_enabled()
{
    return m_tx_instance != nullptr && m_tx_instance->is_current_version();
}

void SEDQ_TX_MANAGER::set_trigger_level(QString const& level)
{
    if (level.isEmpty())
        return;
    const int count = convert_to_trigger_level_int(level);
    int current = 0;
    get_trigger_level(&current, SEDQ_CURRENT);
    sedq_edit_trigger(this, count == current, SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED, REFRESH_LAYOUT_HINT,
                      [count](SDR_TX_TRIGGER* trigger) { return trigger->set_num_levels(count); });
}

// ---- flow control and trigger position ---------------------------------------------------------

bool SEDQ_TX_MANAGER::get_trigger_flow_control(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    *text = nodes != nullptr && nodes->is_state_based() ? STATE_BASED_TEXT : SEQUENTIAL_TEXT;
    return nodes != nullptr;
}

// What get_trigger_flow_control() names, without writing the name: the canvas asks on every
// update of its actions.
bool SEDQ_TX_MANAGER::is_sequential_mode(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    return nodes == nullptr || !nodes->is_state_based();
}

// The state-based flow page follows the Data and Setup pages and one page per advanced
// pattern; choosing a state-based flow or qualifier brings it to the front.
void sedq_show_state_flow_page(SEDQ_TX_MANAGER* manager)
{
    int count = 0;
    manager->get_trigger_level(&count, SEDQ_CURRENT);
    manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, sedq_advanced_page(manager, count));
}

void SEDQ_TX_MANAGER::set_trigger_flow_control(QString const& flow)
{
    if (!SEDQ_VERIFY(this->m_tx_trigger != NULL))
        return;
    const bool state_based = flow == STATE_BASED_TEXT;
    sedq_edit_trigger(this, state_based == m_tx_trigger->is_state_based(), SEDQ_TRIGGER_EDIT_MARK::ALWAYS,
                      REFRESH_LAYOUT_HINT, [this, state_based](SDR_TX_TRIGGER* trigger) {
                          const bool accepted = trigger->set_state_based(state_based);
                          if (state_based)
                              sedq_show_state_flow_page(this);
                          return accepted;
                      });
}

bool SEDQ_TX_MANAGER::get_trigger_position(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    *text = nodes != nullptr ? convert_to_trigger_position_str(nodes->get_position()) : QStringLiteral("Pre");
    return nodes != nullptr;
}

bool SEDQ_TX_MANAGER::get_trigger_position(int* sample, int log)
{
    *sample = m_tx_log != nullptr ? m_tx_log->get_data_trigger_position(log) : -1;
    if (*sample >= 0)
        return true;
    *sample = 0;
    return false;
}

void SEDQ_TX_MANAGER::set_trigger_position(QString const& position)
{
    if (position.isEmpty() || is_empty() || m_tx_trigger == nullptr)
        return;
    const SDR_DATA_TRIGGER_POSITION value = convert_to_trigger_position_type(position);
    sedq_edit_trigger(this, value == m_tx_trigger->get_position(), SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED, 0,
                      [value](SDR_TX_TRIGGER* trigger) { return trigger->set_position(value); });
}

// ---- basic conditions ------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_group_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return m_tx_trigger != nullptr && m_tx_trigger->is_group_condition(condition);
}

bool SEDQ_TX_MANAGER::is_comparison_operand_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return m_tx_trigger != nullptr && m_tx_trigger->is_comparison_operand_condition(condition);
}

bool SEDQ_TX_MANAGER::atomic_set_trigger(int node, int pattern, SDR_DATA_TRIGGER_CONDITION condition, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    return nodes != nullptr && nodes->set_condition(node, at.index, at.sq, condition, true);
}

// A condition on a bit replaces whatever the bus's decoder symbol stood for, so the symbol
// goes first; a pattern of a whole group stays on the group row, anything else goes to every
// bit below it (not to the rows of nested buses).
bool SEDQ_TX_MANAGER::set_trigger(int node, int nLevelIndex, SDR_DATA_TRIGGER_CONDITION condition, int trigger)
{
    if (nLevelIndex < 0 && !SEDQ_VERIFY_SQ_PATTERN(nLevelIndex))
        return false;
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return false;
    bool set = false;
    if (!nodes->has_children(node))
    {
        const int parent = nodes->get_parent_index(node, 1);
        if (parent >= 0)
            set_plugin_trigger_condition_symbol(QString(), parent, nLevelIndex, trigger);
        set = atomic_set_trigger(node, nLevelIndex, condition, trigger);
    }
    else
    {
        set_comparison_trigger_enabled(node, nLevelIndex, false, trigger);
        if (is_group_condition(condition))
            set = atomic_set_trigger(node, nLevelIndex, condition, trigger);
        else
        {
            set_plugin_trigger_condition_symbol(QString(), node, nLevelIndex, trigger);
            const int last = nodes->get_last_child_index(node);
            for (int row = node + 1; row <= last; ++row)
            {
                if (nodes->is_descendant(node, row) && !nodes->has_children(row))
                    set = atomic_set_trigger(row, nLevelIndex, condition, trigger) || set;
            }
        }
    }
    if (set)
        update_modified_flag();
    return set;
}

void SEDQ_TX_MANAGER::initialize_group_conditions()
{
    const int count = m_tx_session ? m_tx_session->get_num_instances() : 0;
    for (int i = 0; i < count; ++i)
    {
        // Every entry, power-up views included: each one edits its own copy of the conditions.
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        if (trigger == nullptr)
            continue;
        const int levels = trigger->get_num_levels();
        for (int row = 0; row < trigger->get_num_nodes(); ++row)
        {
            for (int level = 0; level < levels; ++level)
                trigger->initialize_group_condition(row, level, false);
            for (int pattern = 0; pattern < SDR_NUM_SQ_PATTERNS; ++pattern)
                trigger->initialize_group_condition(row, pattern, true);
        }
    }
}

// ---- comparisons -----------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_comparison_group_member(int node, int pattern, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    return nodes != nullptr && nodes->is_comparison_group_member(node, at.index, at.sq);
}

bool SEDQ_TX_MANAGER::is_comparison_enabled(int node, int pattern, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    return nodes != nullptr && nodes->is_comparison_enabled(node, at.index, at.sq);
}

SDR_DATA_TRIGGER_CONDITION SEDQ_TX_MANAGER::get_comparison_operand(int node, int pattern, int operand, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    return nodes != nullptr ? nodes->get_comparison_operand(node, at.index, at.sq, operand) : SDR_CTYPE_DISABLED;
}

int SEDQ_TX_MANAGER::get_comparison_value(int node, int pattern, int operand, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    return nodes != nullptr ? nodes->get_comparison_value(node, at.index, at.sq, operand) : 0;
}

// Scans the trigger's own patterns: the storage-qualifier ones, then every level. (The level
// number last turned into text belongs to whatever pane asked last, often another trigger.)
bool SEDQ_TX_MANAGER::is_comparison_group_member_on_any_level(int node, int* pattern, int trigger)
{
    int count = 0;
    get_trigger_level(&count, trigger);
    for (int p = SEDQ_PATTERN_SQ_CONDITIONAL; p < count; ++p)
    {
        if (is_comparison_group_member(node, p, trigger))
        {
            *pattern = p;
            return true;
        }
    }
    return false;
}

bool SEDQ_TX_MANAGER::get_comparison_expression(int node, int pattern, std::string* text, int trigger)
{
    const SDR_DATA_TRIGGER_CONDITION operand_a = get_comparison_operand(node, pattern, 1, trigger);
    const SDR_DATA_TRIGGER_CONDITION operand_b = get_comparison_operand(node, pattern, 2, trigger);
    const int value_a = get_comparison_value(node, pattern, 1, trigger);
    const int value_b = get_comparison_value(node, pattern, 2, trigger);
    SEDQ_VERIFY(this->is_comparison_operand_condition(operand_a));
    SEDQ_VERIFY(this->is_comparison_operand_condition(operand_b));
    if (operand_b != SDR_CTYPE_COMPARE_TRUE)
    {
        SEDQ_VERIFY(operand_a == SDR_CTYPE_COMPARE_GREATER_THAN ||
                    operand_a == SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO);
        SEDQ_VERIFY(operand_b == SDR_CTYPE_COMPARE_LESS_THAN || operand_b == SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO);
        char interval[64];
        std::snprintf(interval, sizeof(interval), "%c %d, %d %c", operand_a == SDR_CTYPE_COMPARE_GREATER_THAN ? '(' : '[',
                      value_a, value_b, operand_b == SDR_CTYPE_COMPARE_LESS_THAN ? ')' : ']');
        *text = interval;
        return true;
    }
    SEDQ_VERIFY(operand_a != SDR_CTYPE_COMPARE_TRUE);
    std::string name;
    SDR_DATA_GLOBAL_ENUM::convert_enum_to_string(operand_a, &name);
    *text = name + " " + std::to_string(value_a);
    return true;
}

bool SEDQ_TX_MANAGER::set_comparison_trigger_operand(int node, int pattern, int operand,
                                                     SDR_DATA_TRIGGER_CONDITION cTrigger, int trigger)
{
    if (!SEDQ_VERIFY(this->is_comparison_operand_condition(cTrigger)))
        return false;
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    const bool set = nodes != nullptr && nodes->set_comparison_operand(node, at.index, at.sq, operand, cTrigger);
    if (set)
        update_modified_flag();
    return set;
}
