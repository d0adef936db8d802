// The boundary between the analyzer and a loaded decoder plug-in: every call into a plug-in is
// made here, where an exception it throws ends.
#include "sedq/plugins/sedq_plugin_entry.h"

#include <QMessageBox>

#include <exception>

namespace
{
QString function_text(const char* function, const QString& thrown)
{
    return thrown.isEmpty() ? QString("%1 threw an exception").arg(QLatin1String(function))
                            : QString("%1 threw an exception: %2").arg(QLatin1String(function), thrown);
}

void tell_refused(const QString& file, const char* function, const QString& thrown)
{
    sedq_show_plugin_box(
        QString("The decoder plug-in %1 is not used: %2.").arg(file, function_text(function, thrown)));
}

// Runs `call`; one that throws is told with `refuse(function, what it threw)`.
template <typename CALL, typename REFUSE>
int catching(const char* function, CALL call, REFUSE refuse)
{
    try
    {
        return call();
    }
    catch (const std::exception& error)
    {
        refuse(function, sedq_plugin_message(error.what()));
    }
    catch (...)
    {
        refuse(function, QString());
    }
    return SEDQ_PLUGIN_CALL_FAILED;
}

// A plug-in that threw is refused from then on, and the user told so once.
template <typename CALL>
int guarded(SEDQ_PLUGIN_ENTRY* entry, const char* function, CALL call)
{
    if (entry->refused)
        return SEDQ_PLUGIN_CALL_FAILED;
    return catching(function, call, [entry](const char* thrower, const QString& thrown) {
        if (!entry->refused)
            tell_refused(entry->file, thrower, thrown);
        entry->refused = true;
    });
}
} // namespace

int sedq_call_loading_plugin(const QString& file, const char* function, const std::function<int()>& call)
{
    return catching(function, call,
                    [&file](const char* thrower, const QString& thrown) { tell_refused(file, thrower, thrown); });
}

void sedq_show_plugin_box(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Corvane"), text);
    box.exec();
}

int SEDQ_PLUGIN_ENTRY::get_mnemonic_tables(PLUGIN_MNEMONIC_TABLE** setup_tables, int* setup_count,
                                           PLUGIN_MNEMONIC_TABLE** data_tables, int* data_count, char** node_names,
                                           int node_count)
{
    return guarded(this, "plugin_get_mnemonic_tables", [&] {
        return plugin_get_mnemonic_tables(setup_tables, setup_count, data_tables, data_count, node_names, node_count);
    });
}

int SEDQ_PLUGIN_ENTRY::open_mnemonic_table(void** handle, const char* table_name, PLUGIN_INTERNAL_OPTION* options,
                                           int option_count)
{
    return guarded(this, "plugin_open_mnemonic_table",
                   [&] { return plugin_open_mnemonic_table(handle, table_name, options, option_count); });
}

int SEDQ_PLUGIN_ENTRY::set_user_options(void* handle, const char** values, int count, char** messages,
                                        int message_size)
{
    if (handle == nullptr)
        return SEDQ_PLUGIN_CALL_FAILED;
    return guarded(this, "plugin_set_user_options",
                   [&] { return plugin_set_user_options(handle, values, count, messages, message_size); });
}

int SEDQ_PLUGIN_ENTRY::refresh_display_mnemonics(void* handle)
{
    if (handle == nullptr)
        return SEDQ_PLUGIN_CALL_FAILED;
    return guarded(this, "plugin_refresh_display_mnemonics", [&] { return plugin_refresh_display_mnemonics(handle); });
}

int SEDQ_PLUGIN_ENTRY::get_display_mnemonic(void* handle, char* text, int text_size, const char* value)
{
    if (handle == nullptr)
        return SEDQ_PLUGIN_CALL_FAILED;
    return guarded(this, "plugin_get_display_mnemonic",
                   [&] { return plugin_get_display_mnemonic(handle, text, text_size, value); });
}

int SEDQ_PLUGIN_ENTRY::get_trigger_data(void* handle, char* pattern, int pattern_size, const char* symbol)
{
    if (handle == nullptr)
        return SEDQ_PLUGIN_CALL_FAILED;
    return guarded(this, "plugin_get_trigger_data",
                   [&] { return plugin_get_trigger_data(handle, pattern, pattern_size, symbol); });
}

QString SEDQ_PLUGIN_ENTRY::get_error_text()
{
    QString text;
    guarded(this, "plugin_get_error_msg", [&] {
        text = sedq_plugin_message(plugin_get_error_msg());
        return 0;
    });
    return text;
}
