// SEDQ_TX_MANAGER: the calls into a loaded decoder plug-in for its groups: opening and reopening
// tables, handing them the stored options, refreshing before a run, a sampled value to display
// text and a typed symbol to trigger bits. Every text buffer a plug-in writes is cut at its
// last byte, so a plug-in that fills it without a terminator is read no further.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <vector>

namespace
{
// Option type codes of the group record.
enum OPTION_TYPE_CODE
{
    OPTION_STRING = 0,
    OPTION_NUMBER = 1,
    OPTION_FILE = 2
};

int option_type_code(const QString& type)
{
    return type == QLatin1String("number") ? OPTION_NUMBER : type == QLatin1String("file") ? OPTION_FILE : OPTION_STRING;
}

// Name and value texts kept alive for one call, and the records pointing into them.
class INTERNAL_OPTIONS
{
public:
    void add(const QByteArray& name, const QByteArray& value)
    {
        m_texts.push_back(name);
        m_texts.push_back(value);
    }
    PLUGIN_INTERNAL_OPTION* records()
    {
        m_records.clear();
        for (size_t i = 0; i + 1 < m_texts.size(); i += 2)
            m_records.push_back({m_texts[i].data(), m_texts[i + 1].data()});
        return m_records.empty() ? nullptr : m_records.data();
    }
    int count() const { return int(m_texts.size() / 2); }

private:
    std::vector<QByteArray> m_texts;
    std::vector<PLUGIN_INTERNAL_OPTION> m_records;
};

// An option the record cannot deliver is left out rather than passed unset.
INTERNAL_OPTIONS internal_options_of(const SDR_PLUGIN_GROUP& record)
{
    INTERNAL_OPTIONS options;
    for (int i = 0; i < record.get_internal_option_count(); ++i)
    {
        const char* name = nullptr;
        const char* value = nullptr;
        if (record.get_internal_option(i, &name, &value) && name != nullptr && value != nullptr)
            options.add(name, value);
    }
    return options;
}

// The plug-in of a group whose table is open: a group whose decoder is not loaded (or was
// refused), or whose table never opened, is passed over.
SEDQ_PLUGIN_ENTRY* decoder_of(const SDR_PLUGIN_GROUP* record)
{
    if (record == nullptr || record->get_table_handle() == nullptr)
        return nullptr;
    return sedq_find_plugin(QString::fromLocal8Bit(record->get_plugin_name()));
}
} // namespace

bool SEDQ_TX_MANAGER::open_plugin_mnemonic_table(int node, SEDQ_PLUGIN_STRUCT* plugin)
{
    SEDQ_PLUGIN_ENTRY* entry = plugin != nullptr ? sedq_find_plugin(plugin->plugin_name) : nullptr;
    SDR_TX_SIGNAL_NODES* nodes = plugin == nullptr || is_empty() ? nullptr
                                 : plugin->setup
                                     ? static_cast<SDR_TX_SIGNAL_NODES*>(edit_trigger_nodes(SEDQ_CURRENT))
                                     : static_cast<SDR_TX_SIGNAL_NODES*>(edit_signal_nodes(SEDQ_CURRENT));
    if (entry == nullptr || nodes == nullptr)
        return false;
    INTERNAL_OPTIONS internal;
    for (const auto& option : plugin->internal_options)
        internal.add(option.first.toLocal8Bit(), option.second.toLocal8Bit());
    void* handle = nullptr;
    const bool opened = entry->open_mnemonic_table(&handle, plugin->table_name.toLocal8Bit().constData(),
                                                   internal.records(), internal.count()) == 0;
    // A table that did not open has no handle, whatever the plug-in left in it.
    if (!opened)
    {
        show_plugin_error_msg(plugin->plugin_name);
        handle = nullptr;
    }
    if (!nodes->set_group_display_type(node, SDR_GTYPE_PLUGIN))
        return false;
    SDR_PLUGIN_GROUP* record = nodes->get_plugin_group(node);
    if (record == nullptr)
        record = nodes->create_plugin_group(node);
    if (record == nullptr)
        return false;
    record->set_table_handle(handle);
    record->set_plugin_name(plugin->plugin_name.toLocal8Bit().constData());
    record->set_table_name(plugin->table_name.toLocal8Bit().constData());
    record->set_width(plugin->node_names.size());
    record->clear_user_options();
    for (const auto& option : plugin->user_options)
        record->add_user_option(option.name.toLocal8Bit().constData(), option.value.toLocal8Bit().constData(),
                                option_type_code(option.type), option.description.toLocal8Bit().constData());
    record->clear_internal_options();
    for (const auto& option : plugin->internal_options)
        record->add_internal_option(option.first.toLocal8Bit().constData(), option.second.toLocal8Bit().constData());
    plugin->settings = record;
    return opened;
}

bool SEDQ_TX_MANAGER::open_plugin_mnemonic_tables()
{
    bool accepted = true;
    const int instances = m_tx_session != nullptr ? m_tx_session->get_num_instances() : 0;
    for (int instance = 0; instance < instances; ++instance)
    {
        for (SDR_TX_SIGNAL_NODES* nodes : {static_cast<SDR_TX_SIGNAL_NODES*>(m_tx_session->get_trigger_at(instance, false)),
                                           static_cast<SDR_TX_SIGNAL_NODES*>(m_tx_session->get_signal_set_at(instance, false))})
        {
            for (int node = 0; nodes != nullptr && node < nodes->get_num_nodes(); ++node)
            {
                SDR_PLUGIN_GROUP* record =
                    nodes->get_group_display_type(node) == SDR_GTYPE_PLUGIN ? nodes->get_plugin_group(node) : nullptr;
                if (record != nullptr && !reopen_plugin_table(record))
                    accepted = false;
            }
        }
        // The log an instance shows is decoded with the tables just opened, so a document shows
        // its decoded characters as it opens, not only after a run or a click in the data log.
        if (SDR_DATA_LOG* log = m_tx_session->get_log_at(instance, false))
            decode_plugin_groups(instance, log);
    }
    return accepted;
}

// False only when the decoder refused the stored user options; a group whose decoder is not
// loaded, or whose table does not open, keeps its record as it was.
bool SEDQ_TX_MANAGER::reopen_plugin_table(SDR_PLUGIN_GROUP* record)
{
    const QString plugin_name = QString::fromLocal8Bit(record->get_plugin_name());
    SEDQ_PLUGIN_ENTRY* entry = sedq_find_plugin(plugin_name);
    if (entry == nullptr)
        return true;
    INTERNAL_OPTIONS internal = internal_options_of(*record);
    void* handle = nullptr;
    if (entry->open_mnemonic_table(&handle, record->get_table_name(), internal.records(), internal.count()) != 0)
    {
        show_plugin_error_msg(plugin_name);
        handle = nullptr;
    }
    if (handle == nullptr)
        return true;
    record->set_table_handle(handle);
    const int count = record->get_user_option_count();
    if (count == 0)
        return true;
    std::vector<QByteArray> values(static_cast<size_t>(count));
    std::vector<const char*> value_pointers;
    std::vector<QByteArray> messages(static_cast<size_t>(count), QByteArray(SEDQ_PLUGIN_TEXT_SIZE, 0));
    std::vector<char*> message_pointers;
    for (int i = 0; i < count; ++i)
    {
        const char* value = nullptr;
        if (record->get_user_option(i, nullptr, &value, nullptr, nullptr) && value != nullptr)
            values[size_t(i)] = value;
        value_pointers.push_back(values[size_t(i)].constData());
        message_pointers.push_back(messages[size_t(i)].data());
    }
    const bool accepted = entry->set_user_options(handle, value_pointers.data(), count, message_pointers.data(),
                                                  SEDQ_PLUGIN_TEXT_SIZE) == 0;
    if (!accepted)
        show_plugin_error_msg(plugin_name);
    for (char* message : message_pointers)
    {
        const QString text = sedq_plugin_text(message, SEDQ_PLUGIN_TEXT_SIZE);
        if (!text.isEmpty())
            sedq_show_plugin_box(text);
    }
    return accepted;
}

bool SEDQ_TX_MANAGER::refresh_plugin_mnemonics(int node, SDR_TX_SIGNAL_NODES* nodes)
{
    if (nodes == nullptr)
    {
        SEDQ_REPORT("sdr_tx_signal_nodes != NULL");
        return false;
    }
    SDR_PLUGIN_GROUP* record = nodes->get_plugin_group(node);
    SEDQ_PLUGIN_ENTRY* entry = decoder_of(record);
    if (entry == nullptr)
        return false;
    if (entry->refresh_display_mnemonics(record->get_table_handle()) == 0)
        return true;
    show_plugin_error_msg(QString::fromLocal8Bit(record->get_plugin_name()));
    return false;
}

// A decoder that cannot name a value is not an error worth a box: the value shows as bits.
bool SEDQ_TX_MANAGER::get_plugin_mnemonic(QString* text, const char* value, int node, const SDR_TX_SIGNAL_NODES* nodes)
{
    const SDR_TX_SIGNAL_NODES* list = nodes;
    if (list == nullptr)
    {
        SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
        if (!SEDQ_VERIFY(this->get_node_group_display_type(node, &display_type)) || display_type != SDR_GTYPE_PLUGIN)
            return false;
        list = edit_nodes(SEDQ_CURRENT);
    }
    const SDR_PLUGIN_GROUP* record = list != nullptr ? list->get_plugin_group(node) : nullptr;
    SEDQ_PLUGIN_ENTRY* entry = decoder_of(record);
    if (entry == nullptr)
        return false;
    char buffer[SEDQ_PLUGIN_TEXT_SIZE] = {};
    if (entry->get_display_mnemonic(record->get_table_handle(), buffer, SEDQ_PLUGIN_TEXT_SIZE, value) != 0)
        return false;
    *text = sedq_plugin_text(buffer, SEDQ_PLUGIN_TEXT_SIZE);
    return true;
}

bool SEDQ_TX_MANAGER::get_plugin_mnemonic_width(int* width, int node)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    if (!this->get_node_group_display_type(node, &display_type) || display_type != SDR_GTYPE_PLUGIN)
        return false;
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const SDR_PLUGIN_GROUP* record = nodes != nullptr ? nodes->get_plugin_group(node) : nullptr;
    if (record == nullptr)
        return false;
    *width = record->get_width();
    return true;
}

bool SEDQ_TX_MANAGER::get_plugin_trigger(QString* bits, char const* symbol, int node, int instance)
{
    SDR_TX_TRIGGER* nodes = is_empty() ? nullptr : edit_trigger_nodes(instance);
    if (!SEDQ_VERIFY(nodes != NULL) || nodes->get_group_display_type(node) != SDR_GTYPE_PLUGIN)
        return false;
    SDR_PLUGIN_GROUP* record = nodes->get_plugin_group(node);
    SEDQ_PLUGIN_ENTRY* entry = decoder_of(record);
    if (entry == nullptr)
        return false;
    const QString plugin_name = QString::fromLocal8Bit(record->get_plugin_name());
    char buffer[SEDQ_PLUGIN_TEXT_SIZE] = {};
    if (entry->get_trigger_data(record->get_table_handle(), buffer, SEDQ_PLUGIN_TEXT_SIZE, symbol) != 0)
    {
        show_plugin_error_msg(plugin_name);
        return false;
    }
    *bits = sedq_plugin_text(buffer, SEDQ_PLUGIN_TEXT_SIZE);
    return true;
}
