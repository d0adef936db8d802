// Mnemonic tables: entry storage with its two look-up indexes, and the session's collection.
#include "host/sdr/sdr_data_mnemonics.h"

#include "host/sdr/sdr_data_model.h"

#include <algorithm>
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

// Width 0 is kept for a table without entries.
bool is_usable_width(const SDR_DATA_MNEMONICS_TABLE_CONTENT& content)
{
    return content.width > 0 || (content.width == 0 && content.entries.isEmpty());
}
} // namespace

bool operator==(const SDR_DATA_MNEMONICS_TABLE_CONTENT& a, const SDR_DATA_MNEMONICS_TABLE_CONTENT& b)
{
    if (a.name != b.name || a.width != b.width || a.entries.size() != b.entries.size())
        return false;
    if (a.entries.isSharedWith(b.entries))
        return true;
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
    const char* symbol = find_symbol(value);
    return symbol ? symbol : "";
}

const char* SDR_DATA_MNEMONICS_TABLE::find_symbol(const char* value) const
{
    if (!value)
        return nullptr;
    const int length = int(std::strlen(value));
    const auto exact = m_content.exact_patterns.constFind(QByteArray::fromRawData(value, length));
    if (exact != m_content.exact_patterns.constEnd())
        return m_content.entries[exact.value()].symbol.constData();
    for (int j : m_content.dont_care_entries)
    {
        if (matches(m_content.entries[j].pattern, value, length))
            return m_content.entries[j].symbol.constData();
    }
    return nullptr;
}

bool operator==(const SDR_MNEMONICS_TABLE_STATE& a, const SDR_MNEMONICS_TABLE_STATE& b)
{
    return a.exists == b.exists && (!a.exists || a.content == b.content);
}

bool SDR_DATA_MNEMONICS_TABLE::add_entry(const char* symbol, const char* pattern)
{
    // A table of width 0 stands for one whose width is not known yet (an import fills it):
    // it holds no entry, since an empty pattern would match every value.
    if (!symbol || !pattern || m_content.width < 1 || int(std::strlen(pattern)) != m_content.width || !may_change())
        return false;
    if (m_owner && m_owner->m_watcher && !m_owner->m_watcher->has_room(true, 1, QByteArray(symbol), QByteArray(pattern)))
        return false;
    if (m_log && !m_log->has_room_for_entry(*this))
        return false;
    m_content.entries.append(SDR_DATA_MNEMONICS_ENTRY{QByteArray(symbol), QByteArray(pattern)});
    index_entry(&m_content, m_content.entries.size() - 1);
    changed(1);
    return true;
}

// The copy takes the source's width along with its entries, so a table made with width 0 to
// receive a copy ends as wide as its source.
bool SDR_DATA_MNEMONICS_TABLE::clone(const SDR_DATA_MNEMONICS_TABLE* source)
{
    if (!source)
        return false;
    if (source == this)
        return true;
    if (!may_change())
        return false;
    const QByteArray name = m_content.name;
    const qint64 before = m_content.entries.size();
    m_content = source->m_content;
    m_content.name = name;
    changed(m_content.entries.size() - before);
    return true;
}

bool SDR_DATA_MNEMONICS_TABLE::set_content(const SDR_DATA_MNEMONICS_TABLE_CONTENT& content)
{
    // Names are unique in a collection and undo finds tables by name: a table there keeps its own.
    if ((m_owner && content.name != m_content.name) || !is_usable_width(content) || !may_change())
        return false;
    const qint64 before = m_content.entries.size();
    m_content = content;
    reindex(&m_content);
    changed(m_content.entries.size() - before);
    return true;
}

bool SDR_DATA_MNEMONICS_TABLE::share_content(const SDR_DATA_MNEMONICS_TABLE& other)
{
    if (&other == this || !same_content(other))
        return false;
    if (!m_content.entries.isSharedWith(other.m_content.entries))
        m_content = other.m_content;
    return true;
}

bool SDR_DATA_MNEMONICS_TABLE::may_change() const
{
    return !m_removed && (!m_owner || m_owner->may_change(m_content.name));
}

void SDR_DATA_MNEMONICS_TABLE::changed(qint64 entries)
{
    if (m_log)
        m_log->recount();
    if (!m_owner)
        return;
    m_owner->m_entry_count += entries;
    m_owner->changed();
}

SDR_DATA_MNEMONICS::~SDR_DATA_MNEMONICS() = default;

const SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::get_table(int index) const
{
    if (index < 0 || index >= get_num_tables())
        return nullptr;
    return m_tables[size_t(index)].get();
}

const SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::find_table(const char* name) const
{
    if (!name)
        return nullptr;
    const int index = index_of(QByteArray::fromRawData(name, int(std::strlen(name))));
    return index >= 0 ? m_tables[size_t(index)].get() : nullptr;
}

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_MNEMONICS::create_table(const char* name, int width)
{
    if (!name || !*name || width < 0 || find_table(name) || !may_change(QByteArray(name)))
        return nullptr;
    if (m_watcher && !m_watcher->has_room(false, 1, QByteArray(name), QByteArray()))
        return nullptr;
    insert(get_num_tables(), std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name, width, this));
    changed();
    return m_tables.back().get();
}

void SDR_DATA_MNEMONICS::append_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& contents)
{
    m_tables.reserve(m_tables.size() + size_t(contents.size()));
    m_positions.reserve(int(m_tables.size()) + contents.size());
    for (const SDR_DATA_MNEMONICS_TABLE_CONTENT& content : contents)
    {
        auto table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(content.name.constData(), content.width, this);
        table->m_content = content;
        insert(get_num_tables(), std::move(table));
    }
    changed();
}

bool SDR_DATA_MNEMONICS::delete_table(SDR_DATA_MNEMONICS_TABLE* table)
{
    const int index = table != nullptr && table->m_owner == this ? index_of(table->m_content.name) : -1;
    if (index < 0 || m_tables[size_t(index)].get() != table || !may_change(table->m_content.name))
        return false;
    take_away(index);
    changed();
    return true;
}

bool SDR_DATA_MNEMONICS::may_change(const QByteArray& name) const
{
    return !m_watcher || m_watcher->before_table_change(name);
}

int SDR_DATA_MNEMONICS::index_of(const QByteArray& name) const
{
    return m_positions.value(name, -1);
}

// A table goes from the end when it is the last: undo takes an import away from its last table
// to its first, so that no position moves.
void SDR_DATA_MNEMONICS::take_away(int index)
{
    std::unique_ptr<SDR_DATA_MNEMONICS_TABLE> table = std::move(m_tables[size_t(index)]);
    m_tables.erase(m_tables.begin() + index);
    m_positions.remove(table->m_content.name);
    m_entry_count -= table->m_content.entries.size();
    renumber(index);
    table->m_removed = true;
    table->m_owner = nullptr;
    m_removed.push_back(std::move(table));
}

void SDR_DATA_MNEMONICS::insert(int index, std::unique_ptr<SDR_DATA_MNEMONICS_TABLE> table)
{
    m_entry_count += table->m_content.entries.size();
    m_positions.insert(table->m_content.name, index);
    m_tables.insert(m_tables.begin() + index, std::move(table));
    renumber(index + 1);
}

void SDR_DATA_MNEMONICS::renumber(int first)
{
    for (int i = first; i < get_num_tables(); ++i)
        m_positions[m_tables[size_t(i)]->m_content.name] = i;
}

SDR_MNEMONICS_TABLE_STATE SDR_DATA_MNEMONICS::table_state(const QByteArray& name) const
{
    SDR_MNEMONICS_TABLE_STATE state;
    state.index = index_of(name);
    state.exists = state.index >= 0;
    if (state.exists)
        state.content = m_tables[size_t(state.index)]->m_content;
    return state;
}

void SDR_DATA_MNEMONICS::put_table_state(const QByteArray& name, const SDR_MNEMONICS_TABLE_STATE& state, bool move)
{
    int index = index_of(name);
    if (!state.exists)
    {
        if (index >= 0)
            take_away(index);
        changed();
        return;
    }
    const int target = std::max(0, std::min(state.index, get_num_tables() - (index >= 0 ? 1 : 0)));
    std::unique_ptr<SDR_DATA_MNEMONICS_TABLE> table;
    if (index >= 0 && (!move || index == target))
    {
        SDR_DATA_MNEMONICS_TABLE_CONTENT& content = m_tables[size_t(index)]->m_content;
        m_entry_count += state.content.entries.size() - content.entries.size();
        content = state.content;
        changed();
        return;
    }
    if (index >= 0)
    {
        table = std::move(m_tables[size_t(index)]);
        m_tables.erase(m_tables.begin() + index);
        m_positions.remove(name);
        m_entry_count -= table->m_content.entries.size();
        renumber(index);
    }
    else
    {
        table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name.constData(), state.content.width, this);
    }
    table->m_content = state.content;
    insert(target, std::move(table));
    changed();
}
