// SEDQ_VIEW: the condition menu of a trigger cell — which conditions and group patterns the
// selection may take at the cell's level, which one it holds, the symbols of its mnemonic
// table — and setting the chosen condition on the selection.
#include "sedq/view/sedq_view.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSet>

namespace
{
// The node conditions of the menu, in menu order.
const int NODE_CONDITION_ACTIONS[] = {
    AFCQ_SEDQ_TRIGGER_CONDITION_ACTION,      AFCQ_SEDQ_LOW_CONDITION_ACTION,
    AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION,
    AFCQ_SEDQ_HIGH_CONDITION_ACTION,         AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION};
constexpr int GROUP_PATTERN_COUNT = SDR_CTYPE_GROUP_LAST - SDR_CTYPE_GROUP_FIRST + 1;

// What the selection is made of, as far as the menu's rules ask.
struct SELECTION_SHAPE
{
    bool comparison_member = false; // some node takes part in a comparison at the level
    bool groups_only = true;        // every node is a bus or group
    bool simple = true;             // no selected group holds groups
};
} // namespace

// ---- the menu's rules ------------------------------------------------------------------------------

void SEDQ_VIEW::on_update_trigger_condition_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    auto* menu = qobject_cast<QMenu*>(sender());
    if (menu == nullptr)
        menu = m_trigger_condition_menu;
    const QList<QAction*> actions = menu != nullptr ? menu->actions() : QList<QAction*>();
    if (!SEDQ_VERIFY(actions.count() > 0))
        return;
    remove_mnemonic_entries(menu);
    const int level = m_context_trigger_level;
    if (!is_trigger_condition_menu_active(level))
    {
        for (int pattern = 0; pattern < GROUP_PATTERN_COUNT; ++pattern)
            trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(SDR_CTYPE_GROUP_FIRST + pattern))->setEnabled(false);
        for (int id : NODE_CONDITION_ACTIONS)
            enable(id, false);
        enable(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, false);
        enable(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, false);
        return;
    }
    enable_trigger_conditions(level);
    enable(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, on_update_insert_trigger_value());
    add_mnemonic_entries(menu, level);
}

// The selection can take a condition at the level: it has a node whose trigger takes part at
// the level, the level's pattern is in use and basic, and the trigger can be edited now.
bool SEDQ_VIEW::is_trigger_condition_menu_active(int level)
{
    const int count = m_tx_manager->is_empty() ? 0 : m_tx_manager->get_node_count(SEDQ_CURRENT);
    bool enabled_node = false;
    for (int node = 0; node < count && !enabled_node; ++node)
        enabled_node = is_item_selected(node) &&
                       SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).is_trigger_enabled(nullptr, level);
    return enabled_node && m_tx_manager->is_pattern_enabled(level) &&
           !m_tx_manager->is_advanced_trigger(level, SEDQ_CURRENT) && is_trigger_enabled();
}

void SEDQ_VIEW::enable_trigger_conditions(int level)
{
    SELECTION_SHAPE shape;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int node = 0; node < count && (shape.groups_only || shape.simple); ++node)
    {
        if (!is_item_selected(node))
            continue;
        shape.comparison_member =
            shape.comparison_member || m_tx_manager->is_comparison_group_member(node, level, SEDQ_CURRENT);
        if (!m_tx_manager->has_children(node))
            shape.groups_only = false;
        else if (m_tx_manager->is_grandparent(node))
            shape.simple = false;
    }
    const bool comparison = is_comparison(level);
    for (int id : NODE_CONDITION_ACTIONS)
        enable(id, !(shape.comparison_member && comparison));
    const bool patterns = is_basic_or(level) || comparison;
    for (int pattern = 0; pattern < GROUP_PATTERN_COUNT; ++pattern)
    {
        // The first pattern (AFCQ_SEDQ_PATTERN_CONDITION_ACTION) reads the members directly: no nested groups.
        const bool needs_simple = pattern == 0;
        trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(SDR_CTYPE_GROUP_FIRST + pattern))
            ->setEnabled(patterns && shape.groups_only && (!needs_simple || shape.simple));
    }
    enable(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, comparison && shape.simple && shape.groups_only);
    update_group_conditions_checked_property(0, shape.groups_only);
}

// The group pattern the selected groups share is checked, or the comparison when the last of
// them compares at the level; a selection that is not all groups shows the Basic AND pattern.
void SEDQ_VIEW::update_group_conditions_checked_property(int, bool groups_only)
{
    const int level = m_context_trigger_level;
    int reference = SDR_CTYPE_GROUP_FIRST + 1;
    bool uniform = true;
    int last_parent = -1;
    if (is_basic_or(level) || is_comparison(level))
    {
        reference = -1;
        const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
        for (int node = 0; node < count; ++node)
        {
            if (!is_selected_parent(node))
                continue;
            const int pattern = SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_trigger_pattern(level);
            uniform = uniform && (reference == -1 || pattern == reference);
            reference = pattern;
            last_parent = node;
        }
    }
    QAction* compare = m_tx_manager->get_action(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, QVariant());
    for (int pattern = 0; pattern < GROUP_PATTERN_COUNT; ++pattern)
        trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(SDR_CTYPE_GROUP_FIRST + pattern))->setChecked(false);
    if (!groups_only)
    {
        trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(SDR_CTYPE_GROUP_FIRST + 1))->setChecked(is_basic_and(level));
        compare->setEnabled(false);
        return;
    }
    if (is_comparison(level) && last_parent >= 0 &&
        m_tx_manager->is_comparison_enabled(last_parent, level, SEDQ_CURRENT))
    {
        compare->setChecked(true);
        return;
    }
    compare->setChecked(false);
    if (uniform && reference >= SDR_CTYPE_GROUP_FIRST && reference <= SDR_CTYPE_GROUP_LAST)
        trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION(reference))->setChecked(true);
}

// ---- the symbols of a bus's mnemonic table -----------------------------------------------------------

// Everything past the menu's own actions came from the last showing.
void SEDQ_VIEW::remove_mnemonic_entries(QMenu* menu)
{
    const QList<QAction*> actions = menu->actions();
    QSet<QActionGroup*> groups;
    for (int index = m_trigger_condition_action_count; index < actions.size(); ++index)
    {
        QAction* current_action = actions[index];
        if (!SEDQ_VERIFY(current_action != nullptr))
            continue;
        menu->removeAction(current_action);
        if (current_action->actionGroup() != nullptr)
            groups.insert(current_action->actionGroup());
        else if (current_action->parent() == menu)
            delete current_action;
    }
    // Each group owns its entries.
    qDeleteAll(groups);
}

// One entry per entry of the first selected bus's table, "<value> : <symbol>", its value as data.
void SEDQ_VIEW::add_mnemonic_entries(QMenu* menu, int level)
{
    int node = 0;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    while (node < count && !is_item_selected(node))
        ++node;
    QString pattern;
    bool in_radix = true;
    QString table_name;
    if (node >= count || !is_parent_item(node) || !get_trigger_string(node, level, &pattern, &in_radix) ||
        pattern.isEmpty() || !m_tx_manager->get_node_mnemonics_table_name(node, &table_name, nullptr))
        return;
    const SDR_TX_SESSION* session = m_tx_manager->get_tx_session();
    const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    const SDR_DATA_MNEMONICS* mnemonics = data != nullptr ? data->get_mnemonics() : nullptr;
    const SDR_DATA_MNEMONICS_TABLE* table =
        mnemonics != nullptr ? mnemonics->find_table(table_name.toLocal8Bit().constData()) : nullptr;
    if (table == nullptr || table->get_num_entries() == 0)
        return;
    menu->addSeparator();
    auto* group = new QActionGroup(this);
    for (int entry = 0; entry < table->get_num_entries(); ++entry)
    {
        const QString value = QString::fromLatin1(table->get_value(entry));
        const QString symbol = QString::fromLocal8Bit(table->get_first_symbol(entry));
        auto* action = new QAction(value + QStringLiteral(" : ") + symbol, group);
        action->setData(value);
        menu->addAction(action);
    }
    connect(group, &QActionGroup::triggered, this, &SEDQ_VIEW::on_mnemonic);
}

// ---- setting a condition ---------------------------------------------------------------------------

// Node conditions and group patterns alike: every selected row at the menu's level, one edit.
void SEDQ_VIEW::on_trigger_condition(QAction* action)
{
    if (action == nullptr || m_tx_manager->is_empty())
        return;
    const auto condition = SDR_DATA_TRIGGER_CONDITION(action->data().toInt());
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                               sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    for (int node = 0; node < count; ++node)
        if (is_item_selected(node))
            m_tx_manager->set_trigger(node, m_context_trigger_level, condition, SEDQ_CURRENT);
}
