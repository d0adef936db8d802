#pragma once
// Mnemonic tables of an analyzer document: named tables of (symbol, bit pattern) entries that
// turn bus values into symbols. A table's contents are one implicitly shared value, so an
// undo snapshot of every table costs a reference count per table, and restoring swaps the
// contents into the surviving table objects so that pointers held by the editor stay valid.

#include <QByteArray>
#include <QHash>
#include <QVector>

#include <memory>
#include <vector>

class SDR_DATA_MNEMONICS;

struct SDR_DATA_MNEMONICS_ENTRY
{
    QByteArray symbol;
    QByteArray pattern;
};

// Everything a table holds. The two look-up indexes are derived from `entries` and kept in
// step by the table; they are part of the value so that a restored snapshot needs no rebuild.
struct SDR_DATA_MNEMONICS_TABLE_CONTENT
{
    QByteArray name;
    int width = 0;
    QVector<SDR_DATA_MNEMONICS_ENTRY> entries;
    QHash<QByteArray, int> exact_patterns; // pattern without don't-care -> first entry index
    QHash<QByteArray, int> symbols;        // symbol -> first entry index
    QVector<int> dont_care_entries;        // entries whose pattern holds an "X", in order
};

bool operator==(const SDR_DATA_MNEMONICS_TABLE_CONTENT& a, const SDR_DATA_MNEMONICS_TABLE_CONTENT& b);
inline bool operator!=(const SDR_DATA_MNEMONICS_TABLE_CONTENT& a, const SDR_DATA_MNEMONICS_TABLE_CONTENT& b)
{
    return !(a == b);
}

// One table. Patterns are texts of exactly `width` symbols; an "X" (either case) in a stored
// pattern matches any symbol of a looked-up value. Exact patterns answer from a hash, so the
// symbol of a bus value costs O(1) unless only don't-care entries can match.
class SDR_DATA_MNEMONICS_TABLE
{
public:
    // `owner` (may be null: the static plug-in tables of a data log) counts every change.
    SDR_DATA_MNEMONICS_TABLE(const char* name, int width, SDR_DATA_MNEMONICS* owner = nullptr);
    SDR_DATA_MNEMONICS_TABLE(const SDR_DATA_MNEMONICS_TABLE&) = delete;
    SDR_DATA_MNEMONICS_TABLE& operator=(const SDR_DATA_MNEMONICS_TABLE&) = delete;

    const char* get_name() const { return m_content.name.constData(); }
    int get_width() const { return m_content.width; }
    int get_num_entries() const { return m_content.entries.size(); }

    // Pattern of the first entry carrying `symbol`; null when there is none.
    const char* get_value(const char* symbol) const;
    // Pattern and symbol of entry j; null out of range.
    const char* get_value(int j) const;
    const char* get_first_symbol(int j) const;
    // Symbol of the first entry whose pattern equals `value`, else of the first don't-care
    // entry that matches it; "" when none does.
    const char* get_first_symbol(const char* value) const;

    // Appends an entry; false for a null text or a pattern whose length is not the width.
    bool add_entry(const char* symbol, const char* pattern);
    // Replaces the entries (not the name) by those of `source`; false for null or a
    // different width.
    bool clone(const SDR_DATA_MNEMONICS_TABLE* source);

    // Whole contents, for the file and for undo snapshots.
    const SDR_DATA_MNEMONICS_TABLE_CONTENT& get_content() const { return m_content; }
    void set_content(const SDR_DATA_MNEMONICS_TABLE_CONTENT& content);

private:
    friend class SDR_DATA_MNEMONICS;
    void changed();

    SDR_DATA_MNEMONICS_TABLE_CONTENT m_content;
    SDR_DATA_MNEMONICS* m_owner = nullptr;
};

// The ordered tables of one data session. Table pointers stay valid until the table is
// deleted (by `delete_table`, by a restore that drops its name, or with the collection).
class SDR_DATA_MNEMONICS
{
public:
    SDR_DATA_MNEMONICS() = default;
    SDR_DATA_MNEMONICS(const SDR_DATA_MNEMONICS&) = delete;
    SDR_DATA_MNEMONICS& operator=(const SDR_DATA_MNEMONICS&) = delete;
    ~SDR_DATA_MNEMONICS();

    int get_num_tables() const { return static_cast<int>(m_tables.size()); }
    SDR_DATA_MNEMONICS_TABLE* get_table(int index) const;
    SDR_DATA_MNEMONICS_TABLE* find_table(const char* name) const;
    // Null when the name is null, empty or taken, or the width is below 1.
    SDR_DATA_MNEMONICS_TABLE* create_table(const char* name, int width);
    // False for null or a table of another collection.
    bool delete_table(SDR_DATA_MNEMONICS_TABLE* table);
    void clear();

    // Grows on every change to the collection or to one of its tables; an undo bracket
    // compares it before and after to know whether the tables belong to its step.
    unsigned long long get_change_count() const { return m_change_count; }

    // Undo support: the contents of every table in order, and the way back. Restoring keeps
    // the object of every table whose name survives (its contents are swapped in), deletes
    // the others and creates the missing ones, in snapshot order.
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> snapshot() const;
    void restore(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& contents);

private:
    friend class SDR_DATA_MNEMONICS_TABLE;
    void changed() { ++m_change_count; }

    std::vector<std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> m_tables;
    unsigned long long m_change_count = 0;
};
