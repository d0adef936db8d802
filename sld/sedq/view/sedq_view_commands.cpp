// SEDQ_VIEW: the commands of the node menus that act on the selected rows — enables, inversion,
// alignment, tap mode, bit order, display format, aliases, grouping and mnemonic symbols. Each
// is one undoable edit through the model; the menus' rules (sedq_view_command_rules.cpp) keep
// a command from being reached when it cannot apply, so the commands do not test them again.
#include "sedq/view/sedq_view.h"

#include "host/sdr/sdr_tx_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_undo_actions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>

namespace
{
constexpr int REFRESH_NODE_VIEW = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);

// The condition a mnemonic pattern character sets on one member; don't care for any other.
SDR_DATA_TRIGGER_CONDITION condition_of(QChar symbol, bool* known)
{
    *known = true;
    switch (symbol.unicode())
    {
    case '0':
    case 'L':
        return SDR_CTYPE_LOW;
    case '1':
    case 'H':
        return SDR_CTYPE_HIGH;
    case 'R':
        return SDR_CTYPE_RISING;
    case 'F':
        return SDR_CTYPE_FALLING;
    case 'E':
        return SDR_CTYPE_EITHER_EDGE;
    case 'X':
        return SDR_CTYPE_DONT_CARE;
    default:
        *known = false;
        return SDR_CTYPE_DONT_CARE;
    }
}
} // namespace

void SEDQ_VIEW::for_each_selected_row(const std::function<void(int)>& apply)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
        if (is_item_selected(row))
            apply(row);
}

void SEDQ_VIEW::edit_selected_nodes(const std::function<void(SEDQ_NODE&)>& apply)
{
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION, REFRESH_NODE_VIEW);
    for_each_selected_row(
        [&](int row)
        {
            SEDQ_NODE node(m_tx_manager, row, SEDQ_CURRENT);
            apply(node);
        });
}

// ---- enables -------------------------------------------------------------------------------------

void SEDQ_VIEW::on_data_enable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_data(true); });
}

void SEDQ_VIEW::on_data_disable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_data(false); });
}

void SEDQ_VIEW::on_trigger_enable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_trigger(true); });
}

void SEDQ_VIEW::on_trigger_disable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_trigger(false); });
}

void SEDQ_VIEW::on_storage_enable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_storage(true); });
}

void SEDQ_VIEW::on_storage_disable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_storage(false); });
}

void SEDQ_VIEW::on_transition_enable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_transition(true); });
}

void SEDQ_VIEW::on_transition_disable()
{
    edit_selected_nodes([](SEDQ_NODE& node) { node.enable_transition(false); });
}

// ---- display of the selected rows ----------------------------------------------------------------

// All inverted becomes all plain; any other mix becomes all inverted.
void SEDQ_VIEW::on_invert_signal()
{
    if (!m_tx_manager->is_data_mode(SEDQ_CURRENT) || get_selection_count() == 0)
        return;
    bool found_inverted = false;
    bool mixed = false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count && !mixed; ++row)
    {
        if (!is_item_selected(row))
            continue;
        bool partially = false;
        const bool inverted = SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).is_signal_inverted(&partially);
        if (inverted && partially)
            found_inverted = mixed = true;
        else if (inverted)
            found_inverted = true;
        else if (found_inverted)
            mixed = true;
    }
    const bool invert = !found_inverted || mixed;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
        for_each_selected_row([&](int row)
                              { SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).enable_signal_inverted(invert); });
    }
    update();
}

void SEDQ_VIEW::on_view_align_left()
{
    m_tx_manager->m_align_left = true;
    update();
}

void SEDQ_VIEW::on_view_align_right()
{
    m_tx_manager->m_align_left = false;
    update();
}

void SEDQ_VIEW::on_change_node_pre_syn()
{
    change_node_tap_mode(true);
}

void SEDQ_VIEW::on_change_node_post_fit()
{
    change_node_tap_mode(false);
}

// The validity of the nodes is checked again after the undo and the redo of the change, since
// a node's tap mode decides which netlist it must be found in.
void SEDQ_VIEW::change_node_tap_mode(bool pre_synthesis)
{
    if (get_selection_count() == 0 || SEDQ_BLOCK::m_blocked)
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION, REFRESH_NODE_VIEW);
    const bool has_instance = m_tx_manager->get_tx_instance() != nullptr;
    if (has_instance)
        m_tx_manager->append_undo_action(new SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY(m_tx_manager));
    const SDR_DATA_WIRE_TAP_MODE mode = pre_synthesis ? SDR_TAP_PRE_SYNTHESIS : SDR_TAP_POST_FITTING;
    for_each_selected_row(
        [&](int row)
        {
            if (!is_parent_item(row))
            {
                m_tx_manager->set_node_tap_mode(row, mode);
                return;
            }
            std::vector<int> descendants;
            m_tx_manager->get_all_descendants(row, &descendants);
            for (int descendant : descendants)
                m_tx_manager->set_node_tap_mode(descendant, mode);
        });
    if (has_instance)
        m_tx_manager->append_undo_action(new SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY(m_tx_manager));
    m_tx_manager->check_node_validity(SEDQ_CURRENT);
}

void SEDQ_VIEW::on_bus_order(QAction* action)
{
    const bool lsb_to_msb = action == m_tx_manager->get_action(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION, QVariant());
    edit_selected_buses([&](int row) { m_tx_manager->set_node_lsb_to_msb(row, lsb_to_msb); });
}

// A mnemonic table entry carries type 0 and the table's name as its text.
void SEDQ_VIEW::on_bus_display_format(QAction* action)
{
    const auto type = SDR_DATA_GROUP_DISPLAY_TYPE(action->data().toInt());
    if (!SEDQ_VERIFY(type != SDR_GTYPE_INVALID))
        return;
    edit_selected_buses(
        [&](int row)
        {
            m_tx_manager->set_node_group_display_type(row, type);
            if (type == SDR_GTYPE_MNEMONICS)
                m_tx_manager->set_node_mnemonics_table_name(row, action->text());
        });
}

void SEDQ_VIEW::edit_selected_buses(const std::function<void(int)>& apply)
{
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK, REFRESH_NODE_VIEW);
    for_each_selected_row(
        [&](int row)
        {
            if (is_parent_item(row))
                apply(row);
        });
}

// ---- aliases -------------------------------------------------------------------------------------

// The clipboard's text becomes the alias as it is, blanks and all.
void SEDQ_VIEW::on_node_paste_alias()
{
    const int selected_item = get_selected_item();
    if (!SEDQ_VERIFY(selected_item != -1))
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (data == nullptr || !data->hasText())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK, REFRESH_NODE_VIEW);
    m_tx_manager->set_node_alias(selected_item, data->text());
}

void SEDQ_VIEW::on_node_remove_alias()
{
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
        for_each_selected_row([this](int row) { m_tx_manager->set_node_alias(row, QString()); });
    }
    update();
}

// ---- groups --------------------------------------------------------------------------------------

// The selection is cleared whether the nodes were grouped or not: a refused grouping leaves
// nothing selected to try again with by mistake.
void SEDQ_VIEW::on_node_group()
{
    if (get_selection_count() == 0)
        return;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
        if (can_group_selected_nodes())
            m_tx_manager->group_selected_nodes();
    }
    select_all_items(false);
    m_tx_manager->update_all_views(nullptr, REFRESH_NODE_VIEW);
}

// A member of a comparison group cannot move into another group: the comparison would lose
// its bits.
bool SEDQ_VIEW::can_group_selected_nodes()
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
    {
        int level = 0;
        if (!is_item_selected(row) || !is_comparison_group_member_on_any_level(row, &level))
            continue;
        const QString name = QString::fromLatin1(SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).get_name());
        const QString text =
            level < 0
                ? QStringLiteral("Node %1 is a comparison group's member in the Storage Qualifier").arg(name)
                : QStringLiteral("Node %1 is a comparison group's member at trigger level %2")
                      .arg(name)
                      .arg(level + 1);
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Cannot group selected nodes"), text,
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    return true;
}

// From the last row up, so that ungrouping a row never moves a row still to be visited.
void SEDQ_VIEW::on_node_ungroup()
{
    SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
    bool changed = false;
    for (int row = m_tx_manager->get_node_count(SEDQ_CURRENT) - 1; row >= 0; --row)
        if (is_selected_parent(row))
            changed = m_tx_manager->ungroup_node(row) || changed;
    finish_ungroup(&edit, changed);
}

// A row whose ungrouping succeeded is visited again: its members moved up into its place and
// may be groups of groups themselves. A row the model refuses to ungroup is passed over, so
// the walk always ends.
void SEDQ_VIEW::on_node_ungroup_nested_groups()
{
    SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
    bool changed = false;
    for (int row = 0; row < m_tx_manager->get_node_count(SEDQ_CURRENT);)
    {
        if (m_tx_manager->is_grandparent(row) && m_tx_manager->ungroup_node(row))
            changed = true;
        else
            ++row;
    }
    finish_ungroup(&edit, changed);
}

// The selection is cleared after the edit, so that it stays out of the undo step.
void SEDQ_VIEW::finish_ungroup(SEDQ_EDIT_SCOPE* edit, bool changed)
{
    edit->close();
    if (!changed)
        return;
    select_all_items(false);
    m_tx_manager->update_all_views(nullptr, REFRESH_NODE_VIEW);
}

// ---- mnemonic symbols on a trigger cell ------------------------------------------------------------

// The rightmost characters of the pattern are the least significant bits: a short pattern
// fills the least significant members, a long one keeps its least significant characters.
void SEDQ_VIEW::on_mnemonic(QAction* action)
{
    const QString pattern = action->data().toString();
    if (!SEDQ_VERIFY(pattern != QString("")))
        return;
    const int level = m_context_trigger_level;
    bool any_set = false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int node_index = 0; node_index < count; ++node_index)
    {
        if (!is_selected_parent(node_index))
            continue;
        const int members = get_child_item_count(node_index);
        bool lsb_to_msb = false;
        if (!SEDQ_VERIFY(this->m_tx_manager->get_node_lsb_to_msb(node_index, &lsb_to_msb)))
            continue;
        QString fitted = pattern;
        if (lsb_to_msb)
        {
            std::reverse(fitted.begin(), fitted.end());
            fitted = fitted.left(members);
        }
        else
            fitted = fitted.right(members);
        const int first = lsb_to_msb ? node_index + 1 : node_index + 1 + members - int(fitted.size());
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP);
        m_tx_manager->set_trigger(node_index, level, SDR_CTYPE_DONT_CARE, SEDQ_CURRENT);
        for (int k = 0; first + k < count && is_child_item(first + k) && k < int(fitted.size()); ++k)
        {
            bool known = false;
            const SDR_DATA_TRIGGER_CONDITION condition = condition_of(fitted[k], &known);
            if (!known)
                continue;
            m_tx_manager->set_trigger(first + k, level, condition, SEDQ_CURRENT);
            any_set = true;
        }
    }
    if (any_set)
        m_tx_manager->update_all_views(nullptr, REFRESH_NODE_VIEW);
}
