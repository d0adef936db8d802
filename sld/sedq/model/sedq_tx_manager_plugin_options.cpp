// SEDQ_TX_MANAGER: the settings of plug-in groups as the node commands hand them around, and
// the editing of their options: read from the group records, edited in the options dialog,
// handed to the decoders and stored back on the records.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_plugin_tables.h"
#include "sedq/model/sedq_util.h"
#include "sedq/plugins/sedq_plugin_entry.h"
#include "sedq/model/sedq_verify.h"

#include <optional>
#include <vector>

namespace
{
QString option_type_name(int type)
{
    return type == 1 ? QStringLiteral("number") : type == 2 ? QStringLiteral("file") : QStringLiteral("string");
}

int option_type_code(const QString& type)
{
    return type == QLatin1String("number") ? 1 : type == QLatin1String("file") ? 2 : 0;
}
} // namespace

SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* SEDQ_TX_MANAGER::get_plugin_struct(int node_index)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    if (!SEDQ_VERIFY(this->get_node_group_display_type(node_index, &display_type)) ||
        display_type != SDR_GTYPE_PLUGIN)
        return nullptr;
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
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

// One edit of its own unless the caller's edit holds it: a cancelled dialog leaves no step.
bool SEDQ_TX_MANAGER::get_plugin_user_options(QList<SEDQ_PLUGIN_STRUCT*>* plugins, bool in_action)
{
    if (plugins == nullptr)
        return true;
    std::optional<SEDQ_EDIT_SCOPE> edit;
    if (!in_action)
        edit.emplace(this, SEDQ_CHECK_COMPILATION, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    if (s_edit_plugin_options != nullptr)
        s_edit_plugin_options(this, plugins);
    return true;
}

// Every decoder first hears all of its options (its messages land in the options), then every
// group record stores the values, whether or not its decoder took them. Only a table the decoder
// opened hears them: a struct without a group record, or whose table did not open, has no
// handle the decoder gave out.
bool SEDQ_TX_MANAGER::set_plugin_user_options(const QList<SEDQ_PLUGIN_STRUCT*>& plugins)
{
    bool accepted = true;
    for (SEDQ_PLUGIN_STRUCT* plugin : plugins)
    {
        SEDQ_PLUGIN_ENTRY* entry = sedq_find_plugin(plugin->plugin_name);
        const int count = plugin->user_options.size();
        void* handle = plugin->settings != nullptr ? plugin->settings->get_table_handle() : nullptr;
        if (entry == nullptr || count == 0 || handle == nullptr)
            continue;
        std::vector<QByteArray> values;
        std::vector<const char*> value_pointers;
        std::vector<char*> message_pointers;
        values.reserve(size_t(count));
        for (auto& option : plugin->user_options)
        {
            values.push_back(option.value.toLocal8Bit());
            value_pointers.push_back(values.back().constData());
            option.message = QByteArray(SEDQ_PLUGIN_TEXT_SIZE, '\0');
            message_pointers.push_back(option.message.data());
        }
        if (entry->set_user_options(handle, value_pointers.data(), count, message_pointers.data(),
                                    SEDQ_PLUGIN_TEXT_SIZE) != 0)
        {
            show_plugin_error_msg(plugin->plugin_name);
            accepted = false;
        }
        // A decoder may fill its buffer to the last byte: what it said ends there or at its NUL.
        for (auto& option : plugin->user_options)
            sedq_read_plugin_message(&option.message);
    }
    for (SEDQ_PLUGIN_STRUCT* plugin : plugins)
    {
        if (plugin->settings == nullptr)
            continue;
        plugin->settings->clear_user_options();
        for (const auto& option : plugin->user_options)
            plugin->settings->add_user_option(option.name.toLocal8Bit().constData(),
                                              option.value.toLocal8Bit().constData(), option_type_code(option.type),
                                              option.description.toLocal8Bit().constData());
    }
    update_modified_flag();
    return accepted;
}
