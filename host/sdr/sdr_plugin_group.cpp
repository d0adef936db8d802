// Decoder plug-in record of a group row: options, symbols and the static table index.
#include "host/sdr/sdr_plugin_group.h"

#include <atomic>

namespace
{
std::atomic<int>& next_static_table_index()
{
    static std::atomic<int> next{0};
    return next;
}

void reserve_index(int index)
{
    int next = next_static_table_index().load();
    while (index >= next && !next_static_table_index().compare_exchange_weak(next, index + 1))
    {
    }
}
} // namespace

SDR_PLUGIN_GROUP::SDR_PLUGIN_GROUP() : m_static_table_index(next_static_table_index()++)
{
}

SDR_PLUGIN_GROUP::SDR_PLUGIN_GROUP(int static_table_index) : m_static_table_index(static_table_index)
{
    if (static_table_index >= 0)
        reserve_index(static_table_index);
}

void SDR_PLUGIN_GROUP::add_user_option(const char* name, const char* value, int type, const char* description)
{
    m_user_options.append(USER_OPTION{QByteArray(name ? name : ""), QByteArray(value ? value : ""), type,
                                      QByteArray(description ? description : "")});
}

void SDR_PLUGIN_GROUP::add_internal_option(const char* name, const char* value)
{
    m_internal_options.append(INTERNAL_OPTION{QByteArray(name ? name : ""), QByteArray(value ? value : "")});
}

void SDR_PLUGIN_GROUP::set_trigger_symbol(int level, const char* symbol)
{
    if (!symbol || !*symbol)
        m_trigger_symbols.remove(level);
    else
        m_trigger_symbols.insert(level, QByteArray(symbol));
}

bool SDR_PLUGIN_GROUP::get_user_option(int index, const char** name, const char** value, int* type,
                                       const char** description) const
{
    if (index < 0 || index >= m_user_options.size())
        return false;
    const USER_OPTION& option = m_user_options[index];
    if (name)
        *name = option.name.constData();
    if (value)
        *value = option.value.constData();
    if (type)
        *type = option.type;
    if (description)
        *description = option.description.constData();
    return true;
}

bool SDR_PLUGIN_GROUP::get_internal_option(int index, const char** name, const char** value) const
{
    if (index < 0 || index >= m_internal_options.size())
        return false;
    if (name)
        *name = m_internal_options[index].name.constData();
    if (value)
        *value = m_internal_options[index].value.constData();
    return true;
}

const char* SDR_PLUGIN_GROUP::get_trigger_symbol(int level) const
{
    const auto found = m_trigger_symbols.constFind(level);
    return found == m_trigger_symbols.constEnd() ? "" : found.value().constData();
}

void SDR_PLUGIN_GROUP::copy_settings_from(const SDR_PLUGIN_GROUP& other)
{
    const int index = m_static_table_index;
    void* handle = m_table_handle;
    *this = other;
    m_static_table_index = index;
    m_table_handle = handle;
}

bool SDR_PLUGIN_GROUP::operator==(const SDR_PLUGIN_GROUP& other) const
{
    if (m_plugin_name != other.m_plugin_name || m_table_name != other.m_table_name || m_width != other.m_width
        || m_static_table_index != other.m_static_table_index || m_trigger_symbols != other.m_trigger_symbols
        || m_user_options.size() != other.m_user_options.size()
        || m_internal_options.size() != other.m_internal_options.size())
        return false;
    for (int i = 0; i < m_user_options.size(); ++i)
    {
        const USER_OPTION& a = m_user_options[i];
        const USER_OPTION& b = other.m_user_options[i];
        if (a.name != b.name || a.value != b.value || a.type != b.type || a.description != b.description)
            return false;
    }
    for (int i = 0; i < m_internal_options.size(); ++i)
    {
        if (m_internal_options[i].name != other.m_internal_options[i].name
            || m_internal_options[i].value != other.m_internal_options[i].value)
            return false;
    }
    return true;
}
