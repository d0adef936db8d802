// Whole-word renaming in state flow texts.
#include "sedq/model/sedq_flow_rename.h"

#include <QString>

namespace
{
bool is_name_char(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}
} // namespace

QString sedq_rename_in_flow(QString const& text, QString const& from, QString const& to)
{
    if (from.isEmpty() || to.isEmpty() || from == to)
        return text;
    const bool starts_word = is_name_char(from.front());
    const bool ends_word = is_name_char(from.back());
    QString out;
    out.reserve(text.size());
    int copied = 0;
    for (int at = text.indexOf(from); at >= 0; at = text.indexOf(from, at))
    {
        const int end = at + from.size();
        const bool joined_before = starts_word && at > 0 && is_name_char(text.at(at - 1));
        const bool joined_after = ends_word && end < text.size() && is_name_char(text.at(end));
        if (joined_before || joined_after)
        {
            ++at;
            continue;
        }
        out += text.midRef(copied, at - copied);
        out += to;
        copied = at = end;
    }
    out += text.midRef(copied);
    return out;
}
