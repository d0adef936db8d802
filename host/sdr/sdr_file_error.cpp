// Problem record of the analyzer file reader and writer.
#include "host/sdr/sdr_file_error.h"

void SDR_FILE_ERROR::set(const QString& entry, const QString& problem)
{
    set_at(entry, 0, 0, problem);
}

void SDR_FILE_ERROR::set_at(const QString& entry, qint64 line, qint64 column, const QString& problem)
{
    if (m_set)
        return;
    m_entry = entry;
    m_problem = problem;
    m_line = line;
    m_column = column;
    m_set = true;
}

void SDR_FILE_ERROR::clear()
{
    m_entry.clear();
    m_problem.clear();
    m_line = 0;
    m_column = 0;
    m_set = false;
}

QString SDR_FILE_ERROR::message() const
{
    QString text = m_file.isEmpty() ? QStringLiteral("(no file name)") : m_file;
    if (!m_entry.isEmpty())
        text += QStringLiteral(": ") + m_entry;
    if (m_line > 0)
        text += QStringLiteral(": line %1, column %2").arg(m_line).arg(m_column);
    text += QStringLiteral(": ") + (m_problem.isEmpty() ? QStringLiteral("unknown problem") : m_problem);
    return text;
}
