// SEDQ_MNEMONIC_SETS: the setup dialog's working copy of the mnemonic tables, and the pattern
// normaliser of its cells.
#include "sedq/plugins/sedq_mnemonic_dlg_sets.h"

namespace
{
// The characters a pattern keeps.
constexpr char PATTERN_CHARACTERS[] = "01HFRXE";
} // namespace

QString sedq_mnemonic_pattern(const QString& text, int width)
{
    QString kept;
    for (const QChar c : text.toUpper())
    {
        if (QLatin1String(PATTERN_CHARACTERS).contains(c))
            kept.append(c);
    }
    if (kept.size() > width)
        return QString(width, QLatin1Char('X'));
    return kept.rightJustified(width, QLatin1Char('0'));
}

SEDQ_MNEMONIC_SETS::~SEDQ_MNEMONIC_SETS()
{
    clear();
}

mySET* SEDQ_MNEMONIC_SETS::find(const QString& name) const
{
    return m_by_name.value(name, nullptr);
}

mySET* SEDQ_MNEMONIC_SETS::add_set(const QString& name, int width)
{
    if (find(name) != nullptr)
        return nullptr;
    auto* set = new mySET;
    set->name = name;
    set->width = width;
    if (m_tail != nullptr)
        m_tail->next = set;
    else
        m_head = set;
    m_tail = set;
    ++m_count;
    m_by_name.insert(name, set);
    return set;
}

namespace
{
void free_entries(mySET* set)
{
    while (set->head != nullptr)
    {
        myENTRY* next = set->head->next;
        delete set->head;
        set->head = next;
    }
    set->tail = nullptr;
    set->count = 0;
}
} // namespace

bool SEDQ_MNEMONIC_SETS::delete_set(const QString& name)
{
    mySET* previous = nullptr;
    mySET* set = m_head;
    while (set != nullptr && set->name != name)
    {
        previous = set;
        set = set->next;
    }
    if (set == nullptr)
        return false;
    (previous != nullptr ? previous->next : m_head) = set->next;
    if (m_tail == set)
        m_tail = previous;
    m_by_name.remove(name);
    free_entries(set);
    delete set;
    --m_count;
    return true;
}

void SEDQ_MNEMONIC_SETS::clear()
{
    while (m_head != nullptr)
    {
        mySET* next = m_head->next;
        free_entries(m_head);
        delete m_head;
        m_head = next;
    }
    m_tail = nullptr;
    m_count = 0;
    m_by_name.clear();
}

// An entry greater than the tail goes straight there, so entries that arrive in order cost
// constant time each. Loading also appends an entry equal to the tail (`keep_order`): the
// document's order of equal patterns stays as it was, where a new entry goes before them.
void SEDQ_MNEMONIC_SETS::insert_entry(mySET* set, myENTRY* entry, bool keep_order)
{
    entry->next = nullptr;
    if (set->tail == nullptr || set->tail->pattern < entry->pattern ||
        (keep_order && set->tail->pattern == entry->pattern))
    {
        (set->tail != nullptr ? set->tail->next : set->head) = entry;
        set->tail = entry;
    }
    else
    {
        myENTRY** link = &set->head;
        while ((*link)->pattern < entry->pattern)
            link = &(*link)->next;
        entry->next = *link;
        *link = entry;
    }
    ++set->count;
}

// A symbol is kept as the document can store it: one line of text without control characters
// (an XML attribute cannot hold most of them, and a NUL would end the stored string early), so
// what the working copy shows is what the table holds after OK, a save and an open.
QString sedq_mnemonic_symbol(const QString& typed)
{
    QString symbol;
    symbol.reserve(typed.size());
    for (const QChar c : typed)
        if (c.unicode() >= 0x20)
            symbol.append(c);
    return symbol;
}

bool SEDQ_MNEMONIC_SETS::add_entry(mySET* set, const QString& pattern, const QString& symbol, int width)
{
    if (set == nullptr || width != set->width || width < 1 || pattern.size() != width)
        return false;
    insert_entry(set, new myENTRY{pattern, sedq_mnemonic_symbol(symbol), set->width, nullptr}, false);
    return true;
}

myENTRY* SEDQ_MNEMONIC_SETS::entry_at(const mySET* set, int index)
{
    if (set == nullptr || index < 0 || index >= set->count)
        return nullptr;
    myENTRY* entry = set->head;
    for (int i = 0; i < index; ++i)
        entry = entry->next;
    return entry;
}

myENTRY* SEDQ_MNEMONIC_SETS::unlink_entry(mySET* set, int index)
{
    if (set == nullptr || index < 0 || index >= set->count)
        return nullptr;
    myENTRY* previous = index > 0 ? entry_at(set, index - 1) : nullptr;
    myENTRY* entry = previous != nullptr ? previous->next : set->head;
    (previous != nullptr ? previous->next : set->head) = entry->next;
    if (set->tail == entry)
        set->tail = previous;
    --set->count;
    entry->next = nullptr;
    return entry;
}

bool SEDQ_MNEMONIC_SETS::delete_entry(mySET* set, int index)
{
    myENTRY* entry = unlink_entry(set, index);
    delete entry;
    return entry != nullptr;
}

bool SEDQ_MNEMONIC_SETS::set_entry_pattern(mySET* set, int index, const QString& pattern)
{
    if (set == nullptr || pattern.size() != set->width || entry_at(set, index) == nullptr)
        return false;
    myENTRY* entry = unlink_entry(set, index);
    entry->pattern = pattern;
    insert_entry(set, entry, false);
    return true;
}

bool SEDQ_MNEMONIC_SETS::set_entry_symbol(mySET* set, int index, const QString& symbol)
{
    myENTRY* entry = entry_at(set, index);
    if (entry == nullptr)
        return false;
    entry->symbol = sedq_mnemonic_symbol(symbol);
    return true;
}

QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> SEDQ_MNEMONIC_SETS::to_contents() const
{
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables;
    tables.reserve(m_count);
    for (const mySET* set = m_head; set != nullptr; set = set->next)
    {
        SDR_DATA_MNEMONICS_TABLE_CONTENT content;
        content.name = set->name.toUtf8();
        content.width = set->width;
        content.entries.reserve(set->count);
        for (const myENTRY* entry = set->head; entry != nullptr; entry = entry->next)
            content.entries.append(SDR_DATA_MNEMONICS_ENTRY{entry->symbol.toUtf8(), entry->pattern.toUtf8()});
        tables.append(content);
    }
    return tables;
}

void SEDQ_MNEMONIC_SETS::load(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables)
{
    clear();
    for (const SDR_DATA_MNEMONICS_TABLE_CONTENT& content : tables)
    {
        mySET* set = add_set(QString::fromUtf8(content.name), content.width);
        for (int j = 0; set != nullptr && set->width > 0 && j < content.entries.size(); ++j)
        {
            const SDR_DATA_MNEMONICS_ENTRY& entry = content.entries[j];
            const QString pattern = QString::fromUtf8(entry.pattern);
            if (pattern.size() == set->width)
                insert_entry(set, new myENTRY{pattern, QString::fromUtf8(entry.symbol), set->width, nullptr}, true);
        }
    }
}
