// SEDQ_TX_MANAGER: mnemonic tables of the nodes and the decoder plug-ins behind plug-in
// groups: the table names, widths and symbols of a node, the trigger symbol of each level, and
// the calls that turn a sampled value into text and a typed symbol into bits. A group whose
// decoder is not loaded keeps its record and symbols; it only gets no text and no bits.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/plugins/sedq_plugin_entry.h"
#include "sedq/model/sedq_verify.h"

// A plug-in bus names the table of its decoder, as its menu entry shows it.
bool SEDQ_TX_MANAGER::get_node_mnemonics_table_name(int node, QString* name, const SDR_TX_SIGNAL_NODES* list)
{
    name->clear();
    const SDR_TX_SIGNAL_NODES* nodes = list ? list : is_empty() ? nullptr : edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr)
        return false;
    if (nodes->get_group_display_type(node) == SDR_GTYPE_PLUGIN)
        return get_plugin_mnemonic_table_name_menu_string(name, node, nodes);
    if (nodes->get_group_display_type(node) != SDR_GTYPE_MNEMONICS)
        return false;
    const char* table = nodes->get_mnemonics_table_name(node);
    *name = QString::fromLocal8Bit(table ? table : "");
    return !name->isEmpty();
}

// A plug-in group's width is its decoder's, even where a user table bears its menu label.
bool SEDQ_TX_MANAGER::get_node_mnemonics_width(int node, int* width)
{
    QString name;
    SDR_DATA_SESSION* data = m_tx_session ? m_tx_session->get_data_session() : nullptr;
    if (data == nullptr || !get_node_mnemonics_table_name(node, &name, nullptr))
        return false;
    SDR_TX_SIGNAL_NODES* list = edit_nodes(SEDQ_CURRENT);
    const SDR_DATA_MNEMONICS_TABLE* table =
        list != nullptr && list->get_group_display_type(node) == SDR_GTYPE_PLUGIN
            ? nullptr
            : data->get_mnemonics()->find_table(name.toLocal8Bit().constData());
    if (table == nullptr)
        return get_plugin_mnemonic_width(width, node);
    *width = table->get_width();
    return true;
}

// A plug-in group goes to its decoder (with a node list) or to the decoder's answers kept with
// the current log (without one), which hold only the values the log took: a value it never took
// (a trigger value, another log's) is the decoder's to name, when it is loaded. Its name is the
// menu label "<table> : width = <n>", which "Add Table" gives user tables too, so it is never
// looked up among the document's tables.
// The symbol stays null when no entry names the value, and becomes the empty (not null) text
// when an entry names it with nothing, so a decoder's empty answer shows as nothing.
bool SEDQ_TX_MANAGER::get_node_mnemonics_symbol(int node, QString const& bits, QString* symbol,
                                                SDR_TX_SIGNAL_NODES* nodes)
{
    SDR_DATA_SESSION* data = m_tx_session ? m_tx_session->get_data_session() : nullptr;
    SDR_TX_SIGNAL_NODES* list = nodes ? nodes : edit_nodes(SEDQ_CURRENT);
    if (data == nullptr || list == nullptr)
        return false;
    const bool plugin = list->get_group_display_type(node) == SDR_GTYPE_PLUGIN;
    if (nodes != nullptr && plugin)
        return get_plugin_mnemonic(symbol, bits.toLatin1().constData(), node, nodes);
    const SDR_DATA_MNEMONICS_TABLE* table = nullptr;
    if (plugin)
    {
        SDR_PLUGIN_GROUP* record = list->get_plugin_group(node);
        if (record == nullptr || record->get_plugin_id() < 0)
            return true;
        table = m_tx_log ? m_tx_log->get_static_plugin_mnemonics_table(record->get_plugin_id()) : nullptr;
    }
    else
    {
        QString name;
        get_node_mnemonics_table_name(node, &name, list);
        table = name.isEmpty() ? nullptr : data->get_mnemonics()->find_table(name.toLocal8Bit().constData());
    }
    if (const char* found = table != nullptr ? table->find_symbol(bits.toLatin1().constData()) : nullptr)
        *symbol = QString::fromLocal8Bit(found); // "" gives the empty text, not the null one
    else if (plugin)
        get_plugin_mnemonic(symbol, bits.toLatin1().constData(), node, list);
    // Without a node list the answer is true whether or not a table named the value.
    return nodes == nullptr || table != nullptr;
}

// ---- trigger symbols of plug-in groups -------------------------------------------------------

bool SEDQ_TX_MANAGER::get_plugin_trigger_condition_symbol(QString* out, int node, int nTriggerLevel,
                                                          int instance)
{
    SDR_TX_TRIGGER* nodes = is_empty() ? nullptr : edit_trigger_nodes(instance);
    if (nodes == nullptr || nodes->get_group_display_type(node) != SDR_GTYPE_PLUGIN)
        return false;
    const SDR_PLUGIN_GROUP* record = nodes->get_plugin_group(node);
    if (record == nullptr)
        return false;
    if (nTriggerLevel >= 0)
        *out = QString::fromLocal8Bit(record->get_trigger_symbol(nTriggerLevel));
    else if (!SEDQ_VERIFY_SQ_PATTERN(nTriggerLevel))
        return false;
    return true;
}

// Storage-qualifier patterns keep no symbol: a decoder only names trigger level values.
bool SEDQ_TX_MANAGER::set_plugin_trigger_condition_symbol(QString const& symbol, int node_index, int pattern,
                                                          int nInstanceIndex)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    if (!SEDQ_VERIFY(this->get_node_group_display_type(node_index, &display_type, nInstanceIndex)))
        return false;
    SDR_TX_TRIGGER* nodes = display_type == SDR_GTYPE_PLUGIN ? edit_trigger_nodes(nInstanceIndex) : nullptr;
    SDR_PLUGIN_GROUP* record = nodes != nullptr ? nodes->get_plugin_group(node_index) : nullptr;
    if (record == nullptr)
        return false;
    if (pattern < 0)
        return SEDQ_VERIFY_SQ_PATTERN(pattern);
    record->set_trigger_symbol(pattern, symbol.toLocal8Bit().constData());
    return true;
}

