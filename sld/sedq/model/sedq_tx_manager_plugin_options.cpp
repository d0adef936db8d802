// SEDQ_TX_MANAGER: the settings of plug-in groups as the node commands hand them around, the
// editing of their options and the attaching of a decoder plug-in. There is no options dialog
// to run and no attaching from the menu yet: the settings are read for real, the option
// editing changes nothing, and attaching answers that the plug-in is not there.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

namespace
{
QString option_type_name(int type)
{
    return type == 1 ? QStringLiteral("number") : type == 2 ? QStringLiteral("file") : QStringLiteral("string");
}
} // namespace

SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* SEDQ_TX_MANAGER::get_plugin_struct(int node_index)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    if (!SEDQ_VERIFY(this->get_node_group_display_type(node_index, &display_type)) ||
        display_type != SDR_GTYPE_PLUGIN)
        return nullptr;
    SDR_TX_SIGNAL_NODES* nodes = get_nodes(-1);
    SDR_PLUGIN_GROUP* record = nodes != nullptr ? nodes->get_plugin_group(node_index) : nullptr;
    if (record == nullptr)
        return nullptr;
    auto* plugin = new SEDQ_PLUGIN_STRUCT;
    plugin->plugin_name = QString::fromLocal8Bit(record->get_plugin_name());
    plugin->table_name = QString::fromLocal8Bit(record->get_table_name());
    plugin->node = node_index;
    plugin->settings = record;
    for (int i = 0; i < record->get_user_option_count(); ++i)
    {
        const char* name = nullptr;
        const char* value = nullptr;
        const char* description = nullptr;
        int type = 0;
        record->get_user_option(i, &name, &value, &type, &description);
        plugin->user_options.append({QString::fromLocal8Bit(name), QString::fromLocal8Bit(description),
                                     option_type_name(type), QString::fromLocal8Bit(value)});
    }
    for (int i = 0; i < record->get_internal_option_count(); ++i)
    {
        const char* name = nullptr;
        const char* value = nullptr;
        record->get_internal_option(i, &name, &value);
        plugin->internal_options.append({QString::fromLocal8Bit(name), QString::fromLocal8Bit(value)});
    }
    return plugin;
}

// The options dialog belongs to the decoder that asks for the options; without a loaded
// decoder the groups keep their options. The edit bracket is kept so that callers see the
// same sequence as with a decoder.
bool SEDQ_TX_MANAGER::get_plugin_user_options(QList<SEDQ_PLUGIN_STRUCT*>* plugins, bool in_action)
{
    if (plugins == nullptr || plugins->isEmpty())
        return true;
    if (!in_action)
        begin_action(-1);
    if (!in_action)
        end_action(SEDQ_CHECK_COMPILATION, -1);
    return true;
}

// Without a loaded decoder no design unit is recognised: reported as the design missing what
// the plug-in decodes, and nothing is added.
bool SEDQ_TX_MANAGER::open_plugin(QString const&, bool)
{
    sedq_show_message(MSG_SEDQ::O::PLUGIN_MISSING_HIERARCHY());
    return false;
}
