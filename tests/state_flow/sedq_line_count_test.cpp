// Line counting of state flow texts.
#include "sedq/model/sedq_line_count.h"

#include <QString>
#include <gtest/gtest.h>

TEST(sedq_line_count, counts_line_feeds_plus_one_for_any_text)
{
    const struct
    {
        const char* text;
        int expected;
    } rows[] = {{"", 0}, {"state a:", 1}, {"state a:\n", 2}, {"a\nb\nc", 3}, {"\n\n", 3}, {"a\r\nb", 2}};
    for (const auto& row : rows)
        EXPECT_EQ(sedq_get_line_count(QString(row.text)), row.expected) << row.text;
}
