// SEDQ_VIEW: the commands that set a whole bus's trigger at the menu's level — a value typed in
// the bus value dialog for every selected bus of one width, and the comparison of the first
// selected bus from the compare dialog.
#include "sedq/view/sedq_view.h"

#include "host/gen.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_edit.h"
#include "sedq/view/sedq_trigger_compare_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

// ---- insert value ----------------------------------------------------------------------------------

// The last selected bus or group row, when every selected one has as many member rows as it
// (that count goes to `width`); -1 without a selected bus or with buses of different widths.
int SEDQ_VIEW::find_insert_value_bus(int* width)
{
    *width = 0;
    int reference = -1;
    const int count = m_tx_manager->is_empty() ? 0 : m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int node = count - 1; node >= 0; --node)
    {
        if (!is_selected_parent(node))
            continue;
        const int members = get_child_item_count(node);
        if (reference == -1)
        {
            reference = node;
            *width = members;
        }
        else if (members != *width)
            return -1;
    }
    return reference;
}

bool SEDQ_VIEW::on_update_insert_trigger_value()
{
    int width = 0;
    return find_insert_value_bus(&width) != -1;
}

// The dialog shows the last selected bus's pattern at the menu's level, most significant bit
// first, in that bus's radix.
void SEDQ_VIEW::on_insert_trigger_value()
{
    int width = 0;
    const int reference = find_insert_value_bus(&width);
    if (reference == -1)
        return;
    QString pattern;
    bool in_radix = true;
    get_trigger_string(reference, m_context_trigger_level, &pattern, &in_radix);
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    m_tx_manager->get_node_group_display_type(reference, &type);
    bool lsb_to_msb = false;
    if (!m_tx_manager->get_node_lsb_to_msb(reference, &lsb_to_msb, SEDQ_CURRENT))
        SEDQ_REPORT("this->m_tx_manager->get_node_lsb_to_msb(first_selected_item, &lsb_to_msb)");
    if (lsb_to_msb)
    {
        QByteArray text = pattern.toLatin1();
        gen_strrev(text.data());
        pattern = QString::fromLatin1(text);
    }
    SEDQ_TRIGGER_VALUE_DLG dialog(pattern, width, this, type);
    if (dialog.exec() != QDialog::Accepted)
        return;
    apply_trigger_value(dialog.get_value(), dialog.get_mnemonic(), reference);
}

// One edit: the mnemonic symbol (in the reference bus's table) and the value on every selected
// bus, each of which then shows the reference's radix, and its table when it has one. A plug-in's
// decoding belongs to its own bus: with a plug-in bus as the reference, every bus keeps its radix.
void SEDQ_VIEW::apply_trigger_value(const QString& value, const QString& mnemonic, int reference)
{
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    m_tx_manager->get_node_group_display_type(reference, &type);
    QString table;
    const bool has_table =
        type == SDR_GTYPE_MNEMONICS && m_tx_manager->get_node_mnemonics_table_name(reference, &table, nullptr);
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                               sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    if (!mnemonic.isEmpty())
        m_tx_manager->set_node_mnemonics_symbol(reference, value, mnemonic);
    for (int node = m_tx_manager->get_node_count(SEDQ_CURRENT) - 1; node >= 0; --node)
    {
        if (!is_selected_parent(node))
            continue;
        SDR_DATA_GROUP_DISPLAY_TYPE own = type;
        if (type == SDR_GTYPE_PLUGIN)
            m_tx_manager->get_node_group_display_type(node, &own);
        // The value holds bit symbols: the bus reads them in binary.
        m_tx_manager->set_node_group_display_type(node, SDR_GTYPE_BINARY);
        SEDQ_NUMBER(value).set_string(m_tx_manager, node, m_context_trigger_level, SEDQ_CURRENT);
        m_tx_manager->set_node_group_display_type(node, own);
        if (has_table)
            m_tx_manager->set_node_mnemonics_table_name(node, table);
    }
}

// ---- comparison ------------------------------------------------------------------------------------

bool SEDQ_VIEW::has_comparison_operands(const SEDQ_COMPARISON& comparison)
{
    if (!m_tx_manager->is_comparison_operand_condition(comparison.operand_a))
    {
        SEDQ_REPORT("this->m_tx_manager->is_comparison_operand_condition(operand_a)");
        return false;
    }
    if (!m_tx_manager->is_comparison_operand_condition(comparison.operand_b))
    {
        SEDQ_REPORT("this->m_tx_manager->is_comparison_operand_condition(operand_b)");
        return false;
    }
    return true;
}

// The first selected bus's comparison at the menu's level, with values up to what its
// trigger-enabled members can hold.
void SEDQ_VIEW::on_comparison_trigger()
{
    const int count = m_tx_manager->is_empty() ? 0 : m_tx_manager->get_node_count(SEDQ_CURRENT);
    int bus = 0;
    while (bus < count && !is_selected_parent(bus))
        ++bus;
    if (bus >= count)
    {
        SEDQ_REPORT("item_index < this->m_tx_manager->get_node_count()");
        return;
    }
    const int bus_width = get_trigger_input_child_item_count(bus);
    if (!SEDQ_VERIFY(bus_width > 0))
        return;
    const int level = m_context_trigger_level;
    QString name;
    m_tx_manager->get_node(bus, nullptr, &name, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    SEDQ_COMPARISON comparison;
    comparison.operand_a = m_tx_manager->get_comparison_operand(bus, level, 1, SEDQ_CURRENT);
    comparison.operand_b = m_tx_manager->get_comparison_operand(bus, level, 2, SEDQ_CURRENT);
    comparison.value_a = m_tx_manager->get_comparison_value(bus, level, 1, SEDQ_CURRENT);
    comparison.value_b = m_tx_manager->get_comparison_value(bus, level, 2, SEDQ_CURRENT);
    if (!has_comparison_operands(comparison))
        return;
    if (comparison.operand_a == SDR_CTYPE_COMPARE_TRUE)
    {
        SEDQ_REPORT("operand_a != SDR_CTYPE_COMPARE_TRUE");
        return;
    }
    SEDQ_TRIGGER_COMPARE_DLG dialog(name, comparison.operand_a, comparison.operand_b, comparison.value_a,
                                    comparison.value_b, bus_width, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    comparison = {dialog.get_operand_a(), dialog.get_operand_b(), dialog.get_value_a(), dialog.get_value_b()};
    if (has_comparison_operands(comparison))
        set_comparison_trigger(bus, level, comparison);
}

// One edit; the trigger cell shows the comparison's text, so the table is drawn anew.
void SEDQ_VIEW::set_comparison_trigger(int node, int level, const SEDQ_COMPARISON& comparison)
{
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                               sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    m_tx_manager->set_comparison_trigger_enabled(node, level, true, SEDQ_CURRENT);
    m_tx_manager->set_comparison_trigger_operand(node, level, 1, comparison.operand_a, SEDQ_CURRENT);
    m_tx_manager->set_comparison_trigger_operand(node, level, 2, comparison.operand_b, SEDQ_CURRENT);
    m_tx_manager->set_comparison_trigger_value(node, level, 1, comparison.value_a, SEDQ_CURRENT);
    m_tx_manager->set_comparison_trigger_value(node, level, 2, comparison.value_b, SEDQ_CURRENT);
}
