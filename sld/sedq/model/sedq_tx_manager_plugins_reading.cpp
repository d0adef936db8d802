// Reading what a decoder plug-in hands back: texts it wrote into the analyzer's buffers, the
// name and unit names of its open call, the table records of an attach, the messages about
// its options and the texts it gives to be shown (cut to a length a message box can show).
// Nothing here trusts the plug-in to terminate a buffer or to pair a count with a pointer.
#include "sedq/model/sedq_plugin_tables.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <algorithm>
#include <cstring>

namespace
{
// What a message box shows of a plug-in's text at most; a decoder that answers with megabytes
// would otherwise keep the window busy laying the text out.
constexpr int MESSAGE_BYTES = 2048;
constexpr int MESSAGE_LINES = 24;
constexpr const char* CUT_MARK = " [...]";

QString text_of(const char* text)
{
    return QString::fromUtf8(text != nullptr ? text : "");
}
} // namespace

QString sedq_plugin_message(const char* text)
{
    if (text == nullptr)
        return QString();
    // Read no further than the limit (and one byte to tell a longer text): the text may be huge.
    const size_t length = strnlen(text, MESSAGE_BYTES + 1);
    const bool long_text = length > MESSAGE_BYTES;
    int end = int(std::min<size_t>(length, MESSAGE_BYTES));
    // Never cut inside a character: step back over the continuation bytes of the last one.
    if (long_text)
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
    QString message = QString::fromUtf8(text, end);
    int lines = 0;
    for (int i = 0; i < message.size(); ++i)
        if (message[i] == QLatin1Char('\n') && ++lines == MESSAGE_LINES)
        {
            message.truncate(i);
            return message + QLatin1String(CUT_MARK);
        }
    return long_text ? message + QLatin1String(CUT_MARK) : message;
}

QString sedq_plugin_text(char* buffer, int size)
{
    buffer[size - 1] = '\0';
    return QString::fromUtf8(buffer);
}

bool sedq_read_plugin_open(PLUGIN_OPEN open, QString* name, QStringList* unit_names)
{
    char buffer[SEDQ_PLUGIN_TEXT_SIZE] = {};
    char** units = nullptr;
    int unit_count = 0;
    if (open(buffer, SEDQ_PLUGIN_TEXT_SIZE, &units, &unit_count) != 0)
        return false;
    *name = sedq_plugin_text(buffer, SEDQ_PLUGIN_TEXT_SIZE);
    unit_names->clear();
    for (int i = 0; units != nullptr && i < unit_count; ++i)
        unit_names->append(QString::fromUtf8(units[i] != nullptr ? units[i] : ""));
    return true;
}

void SEDQ_TX_MANAGER::copy_from_plugin_struct(SEDQ_PLUGIN_STRUCT* plugin, const PLUGIN_MNEMONIC_TABLE* table)
{
    plugin->table_name = text_of(table->table_name);
    plugin->group_name = text_of(table->group_name);
    plugin->group_alias = text_of(table->group_alias);
    for (int i = 0; table->nodes != nullptr && i < table->node_count; ++i)
    {
        plugin->node_names.append(text_of(table->nodes[i].name));
        plugin->node_aliases.append(text_of(table->nodes[i].alias));
    }
    for (int i = 0; table->user_options != nullptr && i < table->user_option_count; ++i)
    {
        const PLUGIN_USER_OPTION& option = table->user_options[i];
        plugin->user_options.append(
            {text_of(option.name), text_of(option.description), text_of(option.type), QString(), QByteArray()});
    }
    for (int i = 0; table->internal_options != nullptr && i < table->internal_option_count; ++i)
        plugin->internal_options.append(
            {text_of(table->internal_options[i].name), text_of(table->internal_options[i].value)});
}

QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> sedq_read_plugin_tables(const QString& plugin_name,
                                                                    const PLUGIN_MNEMONIC_TABLE* tables, int count,
                                                                    bool setup)
{
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> plugins;
    for (int i = 0; tables != nullptr && i < count; ++i)
    {
        auto* plugin = new SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT;
        plugin->plugin_name = plugin_name;
        SEDQ_TX_MANAGER::copy_from_plugin_struct(plugin, tables + i);
        plugin->setup = setup;
        plugins.append(plugin);
    }
    return plugins;
}

void sedq_read_plugin_message(QByteArray* message)
{
    // A decoder may fill its buffer to the last byte: what it said ends there or at its NUL.
    if (message->size() > SEDQ_PLUGIN_TEXT_SIZE)
        message->truncate(SEDQ_PLUGIN_TEXT_SIZE);
    if (!message->isEmpty())
        (*message)[message->size() - 1] = '\0';
    message->truncate(int(qstrlen(message->constData())));
}
