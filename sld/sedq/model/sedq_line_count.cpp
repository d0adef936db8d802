// Line counting of state flow texts.
#include "sedq/model/sedq_line_count.h"

#include <QString>

int sedq_get_line_count(QString const& text)
{
    return text.isEmpty() ? 0 : 1 + text.count(QLatin1Char('\n'));
}

void sedq_get_line_text(int line, QString const& text, QString* out)
{
    const int index = line <= 0 || line > text.count(QLatin1Char('\n')) ? 0 : line;
    *out = text.section(QLatin1Char('\n'), index, index);
}
