// Mnemonic tables: entry storage with its two look-up indexes, and the session's collection.
#include "host/sdr/sdr_data_mnemonics.h"

#include <cstring>

namespace
{
bool is_dont_care(char c)
{
    return c == 'X' || c == 'x';
}

bool has_dont_care(const QByteArray& pattern)
{
    return pattern.contains('X') || pattern.contains('x');
}

bool matches(const QByteArray& pattern, const char* value, int length)
{
    if (pattern.size() != length)
        return false;
    for (int i = 0; i < length; ++i)
    {
        if (!is_dont_care(pattern[i]) && pattern[i] != value[i])
            return false;
    }
    return true;
}

void index_entry(SDR_DATA_MNEMONICS_TABLE_CONTENT* content, int j)
{
    const SDR_DATA_MNEMONICS_ENTRY& entry = content->entries[j];
    if (has_dont_care(entry.pattern))
        content->dont_care_entries.append(j);
    else if (!content->exact_patterns.contains(entry.pattern))
        content->exact_patterns.insert(entry.pattern, j);
    if (!content->symbols.contains(entry.symbol))
        content->symbols.insert(entry.symbol, j);
}

void reindex(SDR_DATA_MNEMONICS_TABLE_CONTENT* content)
{
    content->exact_patterns.clear();
    content->symbols.clear();
    content->dont_care_entries.clear();
    for (int j = 0; j < content->entries.size(); ++j)
        index_entry(content, j);
}
} // namespace

bool operator==(const SDR_DATA_MNEMONICS_TABLE_CONTENT& a, const SDR_DATA_MNEMONICS_TABLE_CONTENT& b)
{
    if (a.name != b.name || a.width != b.width || a.entries.size() != b.entries.size())
        return false;
    for (int j = 0; j < a.entries.size(); ++j)
    {
        if (a.entries[j].symbol != b.entries[j].symbol || a.entries[j].pattern != b.entries[j].pattern)
            return false;
    }
    return true;
}

SDR_DATA_MNEMONICS_TABLE::SDR_DATA_MNEMONICS_TABLE(const char* name, int width, SDR_DATA_MNEMONICS* owner)
    : m_owner(owner)
{
    m_content.name = QByteArray(name ? name : "");
    m_content.width = width;
}

const char* SDR_DATA_MNEMONICS_TABLE::get_value(const char* symbol) const
{
    if (!symbol)
        return nullptr;
    const auto found = m_content.symbols.constFind(QByteArray::fromRawData(symbol, int(std::strlen(symbol))));
    return found == m_content.symbols.constEnd() ? nullptr : m_content.entries[found.value()].pattern.constData();
}

const char* SDR_DATA_MNEMONICS_TABLE::get_value(int j) const
{
    if (j < 0 || j >= m_content.entries.size())
        return nullptr;
    return m_content.entries[j].pattern.constData();
}

const char* SDR_DATA_MNEMONICS_TABLE::get_first_symbol(int j) const
{
    if (j < 0 || j >= m_content.entries.size())
        return nullptr;
    return m_content.entries[j].symbol.constData();
}

const char* SDR_DATA_MNEMONICS_TABLE::get_first_symbol(const char* value) const
{
    if (!value)
        return "";
    const int length = int(std::strlen(value));
    const auto exact = m_content.exact_patterns.constFind(QByteArray::fromRawData(value, length));
    if (exact != m_content.exact_patterns.constEnd())
        return m_content.entries[exact.value()].symbol.constData();
    for (int j : m_content.dont_care_entries)
    {
        if (matches(m_content.entries[j].pattern, value, length))
            return m_content.entries[j].symbol.constData();
    }
    return "";
}

bool SDR_DATA_MNEMONICS_TABLE::add_entry(const char* symbol, const char* pattern)
{
    if (!symbol || !pattern || int(std::strlen(pattern)) != m_content.width)
        return false;
    m_content.entries.append(SDR_DATA_MNEMONICS_ENTRY{QByteArray(symbol), QByteArray(pattern)});
    index_entry(&m_content, m_content.entries.size() - 1);
    changed();
    return true;
}

bool SDR_DATA_MNEMONICS_TABLE::clone(const SDR_DATA_MNEMONICS_TABLE* source)
{
    if (!source || source->m_content.width != m_content.width)
        return false;
    if (source == this)
        return true;
    const QByteArray name = m_content.name;
    m_content = source->m_content;
    m_content.name = name;
    changed();
    return true;
}

void SDR_DATA_MNEMONICS_TABLE::set_content(const SDR_DATA_MNEMONICS_TABLE_CONTENT& content)
{
    m_content = content;
    reindex(&m_content);
    changed();
}

void SDR_DATA_MNEMONICS_TABLE::changed()
{
    if (m_owner)
        m_owner->changed();
}

SDR_DATA_MNEMONICS::~SDR_DATA_MNEMONICS() = default;

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::get_table(int index) const
{
    if (index < 0 || index >= get_num_tables())
        return nullptr;
    return m_tables[size_t(index)].get();
}

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::find_table(const char* name) const
{
    if (!name)
        return nullptr;
    for (const auto& table : m_tables)
    {
        if (std::strcmp(table->get_name(), name) == 0)
            return table.get();
    }
    return nullptr;
}

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::create_table(const char* name, int width)
{
    if (!name || !*name || width < 1 || find_table(name))
        return nullptr;
    m_tables.push_back(std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name, width, this));
    changed();
    return m_tables.back().get();
}

bool SDR_DATA_MNEMONICS::delete_table(SDR_DATA_MNEMONICS_TABLE* table)
{
    for (auto it = m_tables.begin(); it != m_tables.end(); ++it)
    {
        if (it->get() == table)
        {
            m_tables.erase(it);
            changed();
            return true;
        }
    }
    return false;
}

void SDR_DATA_MNEMONICS::clear()
{
    if (m_tables.empty())
        return;
    m_tables.clear();
    changed();
}

QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> SDR_DATA_MNEMONICS::snapshot() const
{
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> contents;
    contents.reserve(get_num_tables());
    for (const auto& table : m_tables)
        contents.append(table->get_content());
    return contents;
}

void SDR_DATA_MNEMONICS::restore(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& contents)
{
    std::vector<std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> old_tables;
    old_tables.swap(m_tables);
    for (const SDR_DATA_MNEMONICS_TABLE_CONTENT& content : contents)
    {
        std::unique_ptr<SDR_DATA_MNEMONICS_TABLE> table;
        for (auto& old : old_tables)
        {
            if (old && old->m_content.name == content.name)
            {
                table = std::move(old);
                break;
            }
        }
        if (!table)
            table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(content.name.constData(), content.width, this);
        table->m_content = content;
        m_tables.push_back(std::move(table));
    }
    changed();
}
