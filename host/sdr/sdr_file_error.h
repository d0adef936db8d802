#pragma once
// What went wrong while reading or writing an analyzer file: the file, the archive entry,
// the problem and, for document.xml, the line and column. The first problem recorded wins,
// because later ones are usually consequences of it.

#include <QString>

class SDR_FILE_ERROR
{
public:
    SDR_FILE_ERROR() = default;
    explicit SDR_FILE_ERROR(const QString& file) : m_file(file) {}

    void set_file(const QString& file) { m_file = file; }
    // Records a problem of an entry (empty entry: of the file itself); ignored once set.
    void set(const QString& entry, const QString& problem);
    // Records a problem at a position of an XML entry.
    void set_at(const QString& entry, qint64 line, qint64 column, const QString& problem);
    void clear();

    bool is_set() const { return m_set; }
    const QString& file() const { return m_file; }
    const QString& entry() const { return m_entry; }
    const QString& problem() const { return m_problem; }
    qint64 line() const { return m_line; }
    qint64 column() const { return m_column; }

    // "<file>: <entry>: line L, column C: <problem>", leaving out what is not known.
    QString message() const;

private:
    QString m_file;
    QString m_entry;
    QString m_problem;
    qint64 m_line = 0;
    qint64 m_column = 0;
    bool m_set = false;
};
