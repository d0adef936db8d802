// Line counting of state flow texts.
#include "sedq/model/sedq_line_count.h"

#include <QString>

int sedq_get_line_count(QString const& text)
{
    return text.isEmpty() ? 0 : 1 + text.count(QLatin1Char('\n'));
}
