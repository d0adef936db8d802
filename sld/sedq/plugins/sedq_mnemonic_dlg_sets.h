#pragma once
// The mnemonic table setup dialog's working copy: a list of tables, each a singly linked list
// of (pattern, symbol) entries. Every pattern of a table has the table's width, and the entries
// stand in ascending pattern order (code-unit comparison), a new entry before equal ones; an
// entry whose pattern changes moves to its place. No widgets: the dialog wraps these calls.

#include "host/sdr/sdr_data_mnemonics.h"

#include <QHash>
#include <QString>
#include <QVector>

struct myENTRY
{
    QString pattern;
    QString symbol;
    int width = 0;
    myENTRY* next = nullptr;
};

struct mySET
{
    myENTRY* head = nullptr;
    myENTRY* tail = nullptr;
    QString name;
    int count = 0;
    int width = 0;
    mySET* next = nullptr;
};

// The text a new entry's missing half shows.
extern const QString SEDQ_MNEMONIC_NO_SYMBOL;

// A typed pattern made `width` long: upper-cased, every character but the pattern characters
// dropped, left-padded with "0"; a result longer than the width is all "X".
QString sedq_mnemonic_pattern(const QString& text, int width);
// A typed symbol without the control characters a stored table cannot hold.
QString sedq_mnemonic_symbol(const QString& typed);

class SEDQ_MNEMONIC_SETS
{
public:
    SEDQ_MNEMONIC_SETS() = default;
    ~SEDQ_MNEMONIC_SETS();
    SEDQ_MNEMONIC_SETS(const SEDQ_MNEMONIC_SETS&) = delete;
    SEDQ_MNEMONIC_SETS& operator=(const SEDQ_MNEMONIC_SETS&) = delete;

    mySET* get_head() const { return m_head; }
    int get_count() const { return m_count; }
    // The first table of that name (case-sensitive); null when none.
    mySET* find(const QString& name) const;

    // Appends an empty table; null (and nothing changes) when the name is taken.
    mySET* add_set(const QString& name, int width);
    bool delete_set(const QString& name);
    void clear();

    // Inserts in pattern order; false for a null set, a width other than the table's, a table
    // of width 0 (it holds no entry) or a pattern of another length.
    static bool add_entry(mySET* set, const QString& pattern, const QString& symbol, int width);
    static bool delete_entry(mySET* set, int index);
    static myENTRY* entry_at(const mySET* set, int index);
    // Entry `index` takes the pattern (moving to its place in pattern order) or the symbol.
    static bool set_entry_pattern(mySET* set, int index, const QString& pattern);
    static bool set_entry_symbol(mySET* set, int index, const QString& symbol);

    // The tables as the repository holds them, in list order, and back: loading sorts each
    // table's entries, keeping the order of equal patterns.
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> to_contents() const;
    void load(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables);

private:
    static myENTRY* unlink_entry(mySET* set, int index);
    static void insert_entry(mySET* set, myENTRY* entry, bool keep_order);

    mySET* m_head = nullptr;
    mySET* m_tail = nullptr;
    int m_count = 0;
    // Each table by name: loading thousands of tables looks each name up.
    QHash<QString, mySET*> m_by_name;
};
