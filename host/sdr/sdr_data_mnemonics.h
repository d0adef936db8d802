#pragma once
// Mnemonic tables of an analyzer document: named tables of (symbol, bit pattern) entries that
// turn bus values into symbols. A table's contents are one implicitly shared value, so undo
// keeps a table as it was for a reference count, and putting a table back swaps the contents
// into the surviving table object so that pointers held by the editor stay valid.

#include <QByteArray>
#include <QHash>
#include <QVector>

#include <memory>
#include <vector>

class SDR_DATA_LOG;
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

// One table of a collection as undo sees it: whether it exists, where it stands and what it
// holds. Two states are equal when existence and contents are; the position only says where a
// table that comes back is put.
struct SDR_MNEMONICS_TABLE_STATE
{
    bool exists = false;
    int index = -1;
    SDR_DATA_MNEMONICS_TABLE_CONTENT content;
};

bool operator==(const SDR_MNEMONICS_TABLE_STATE& a, const SDR_MNEMONICS_TABLE_STATE& b);
inline bool operator!=(const SDR_MNEMONICS_TABLE_STATE& a, const SDR_MNEMONICS_TABLE_STATE& b)
{
    return !(a == b);
}

// Told before every change of a collection's tables (creation, deletion, entries), so that the
// change is recorded for undo; answering false refuses the change.
class SDR_DATA_MNEMONICS_WATCHER
{
public:
    virtual bool before_table_change(const QByteArray& name) = 0;
    // Whether the document can take `more` tables (or entries, with `entries`) and store these
    // texts; false refuses the change.
    virtual bool has_room(bool entries, qint64 more, const QByteArray& first_text, const QByteArray& second_text)
    {
        (void)entries;
        (void)more;
        (void)first_text;
        (void)second_text;
        return true;
    }

protected:
    ~SDR_DATA_MNEMONICS_WATCHER() = default;
};

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
    // The same, but null when no entry matches: an entry may carry the empty symbol.
    const char* find_symbol(const char* value) const;

    // Appends an entry; false for a null text, a table of width 0, a pattern whose length is
    // not the width, and when the collection refuses the change (see SDR_DATA_MNEMONICS_WATCHER).
    bool add_entry(const char* symbol, const char* pattern);
    // Replaces the width and the entries (not the name) by those of `source`; false for null,
    // and when the collection refuses the change.
    bool clone(const SDR_DATA_MNEMONICS_TABLE* source);

    // Whole contents, for the file and for copies. A table of a collection keeps its name
    // (false for contents of another name) and asks the collection first.
    const SDR_DATA_MNEMONICS_TABLE_CONTENT& get_content() const { return m_content; }
    bool set_content(const SDR_DATA_MNEMONICS_TABLE_CONTENT& content);
    // Whether both hold the same name, width and entries.
    bool same_content(const SDR_DATA_MNEMONICS_TABLE& other) const { return m_content == other.m_content; }
    // Holds the contents of `other`, which are the same as its own, as one value shared by both,
    // and answers true; false (nothing changes) when they differ. A change of either gives it
    // a copy of its own again, so sharing changes nothing anyone reads: the decoder tables of a
    // night of runs that decode the same values are held once.
    bool share_content(const SDR_DATA_MNEMONICS_TABLE& other);

    // A decoder table of a data log: its entries count with that log's (SDR_DATA_LOG::recount),
    // which every change of them tells. Null: no log.
    void set_log(SDR_DATA_LOG* log) { m_log = log; }

private:
    friend class SDR_DATA_MNEMONICS;
    bool may_change() const;
    // `entries`: how many entries the change added (negative: took away).
    void changed(qint64 entries);

    SDR_DATA_MNEMONICS_TABLE_CONTENT m_content;
    SDR_DATA_MNEMONICS* m_owner = nullptr;
    SDR_DATA_LOG* m_log = nullptr;
    bool m_removed = false; // taken out of its collection: read-only from then on
};

// The ordered tables of one data session. A table that leaves the collection (deleted, or taken
// away by undo) is kept, read-only, until the collection dies, so a pointer the editor still
// holds never dangles. Tables are found by name, and their entries counted, without a walk of
// the collection: a document may hold tens of thousands of tables, and every change asks both.
class SDR_DATA_MNEMONICS
{
public:
    SDR_DATA_MNEMONICS() = default;
    SDR_DATA_MNEMONICS(const SDR_DATA_MNEMONICS&) = delete;
    SDR_DATA_MNEMONICS& operator=(const SDR_DATA_MNEMONICS&) = delete;
    ~SDR_DATA_MNEMONICS();

    int get_num_tables() const { return static_cast<int>(m_tables.size()); }
    const SDR_DATA_MNEMONICS_TABLE* get_table(int index) const;
    SDR_DATA_MNEMONICS_TABLE* get_table(int index)
    {
        return const_cast<SDR_DATA_MNEMONICS_TABLE*>(static_cast<const SDR_DATA_MNEMONICS*>(this)->get_table(index));
    }
    const SDR_DATA_MNEMONICS_TABLE* find_table(const char* name) const;
    SDR_DATA_MNEMONICS_TABLE* find_table(const char* name)
    {
        return const_cast<SDR_DATA_MNEMONICS_TABLE*>(static_cast<const SDR_DATA_MNEMONICS*>(this)->find_table(name));
    }
    // Null when the name is null, empty or taken, the width is negative, or the watcher refuses.
    // A table of width 0 takes no entry until a clone gives it a width.
    SDR_DATA_MNEMONICS_TABLE* create_table(const char* name, int width);
    // False for null, a table of another collection, or when the watcher refuses.
    bool delete_table(SDR_DATA_MNEMONICS_TABLE* table);
    // Appends tables read from a file, in order, without telling the watcher. The caller has
    // made sure their names are new and distinct: looking each one up here would make reading
    // many tables cost time quadratic in their number.
    void append_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& contents);

    // Grows on every change to the collection or to one of its tables (the modified state).
    unsigned long long get_change_count() const { return m_change_count; }
    // The entries of all the collection's tables.
    qint64 get_num_entries() const { return m_entry_count; }

    // Every change is announced to the watcher first (null: none).
    void set_watcher(SDR_DATA_MNEMONICS_WATCHER* watcher) { m_watcher = watcher; }

    // Undo support, one table at a time and without telling the watcher. Putting a state back
    // keeps the object of a table that stays (its contents are swapped in), takes away a table
    // that must not exist and creates a missing one at the state's position (clamped). With
    // `move`, a table that stays is moved to the state's position too.
    SDR_MNEMONICS_TABLE_STATE table_state(const QByteArray& name) const;
    void put_table_state(const QByteArray& name, const SDR_MNEMONICS_TABLE_STATE& state, bool move);

private:
    friend class SDR_DATA_MNEMONICS_TABLE;
    void changed() { ++m_change_count; }
    bool may_change(const QByteArray& name) const;
    int index_of(const QByteArray& name) const;
    void take_away(int index);
    void insert(int index, std::unique_ptr<SDR_DATA_MNEMONICS_TABLE> table);
    // Positions from `first` on are written again after tables moved.
    void renumber(int first);

    std::vector<std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> m_tables;
    QHash<QByteArray, int> m_positions; // name -> index in m_tables
    qint64 m_entry_count = 0;
    std::vector<std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> m_removed;
    SDR_DATA_MNEMONICS_WATCHER* m_watcher = nullptr;
    unsigned long long m_change_count = 0;
};
