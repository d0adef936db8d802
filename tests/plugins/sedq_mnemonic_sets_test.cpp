// The mnemonic setup's working copy without widgets: the pattern normaliser of a typed cell,
// entries kept in pattern order through inserts, edits and deletes, and the tables as the
// repository takes them.
#include "sedq/plugins/sedq_mnemonic_dlg_sets.h"

#include <gtest/gtest.h>

namespace
{
QStringList patterns_of(const mySET* set)
{
    QStringList patterns;
    for (const myENTRY* entry = set->head; entry != nullptr; entry = entry->next)
        patterns << entry->pattern + QLatin1Char('=') + entry->symbol;
    return patterns;
}
} // namespace

TEST(mnemonic_sets, a_typed_pattern_is_filtered_and_sized_to_the_table)
{
    const struct
    {
        const char* name;
        const char* typed;
        int width;
        const char* stored;
    } rows[] = {{"lower case, z dropped, zero padded", "1x0z", 5, "001X0"},
                {"longer than the width: all don't care", "101010", 5, "XXXXX"},
                {"lower-case l is upper-cased, then dropped", "l1", 3, "001"},
                {"every legend letter but L kept", "hfrxe", 5, "HFRXE"},
                {"nothing kept", "zz", 2, "00"},
                {"exactly the width", "RF", 2, "RF"}};
    for (const auto& row : rows)
        EXPECT_EQ(sedq_mnemonic_pattern(QString::fromLatin1(row.typed), row.width), QLatin1String(row.stored))
            << row.name;
}

TEST(mnemonic_sets, entries_stay_in_pattern_order_and_a_new_one_goes_before_equal_ones)
{
    SEDQ_MNEMONIC_SETS sets;
    mySET* set = sets.add_set(QStringLiteral("t"), 2);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(sets.add_set(QStringLiteral("t"), 3), nullptr) << "names are unique";
    for (const char* entry : {"10=B", "01=A", "11=C", "01=FIRST", "00=Z"})
    {
        const QStringList parts = QString::fromLatin1(entry).split(QLatin1Char('='));
        EXPECT_TRUE(SEDQ_MNEMONIC_SETS::add_entry(set, parts[0], parts[1], 2)) << entry;
    }
    EXPECT_EQ(patterns_of(set), QStringList({"00=Z", "01=FIRST", "01=A", "10=B", "11=C"}));
    EXPECT_FALSE(SEDQ_MNEMONIC_SETS::add_entry(set, QStringLiteral("0"), QStringLiteral("S"), 2)) << "short";
    EXPECT_FALSE(SEDQ_MNEMONIC_SETS::add_entry(set, QStringLiteral("000"), QStringLiteral("S"), 3)) << "width";
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::set_entry_pattern(set, 0, QStringLiteral("XX")));
    EXPECT_EQ(patterns_of(set), QStringList({"01=FIRST", "01=A", "10=B", "11=C", "XX=Z"})) << "an edit moves";
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::delete_entry(set, 4));
    EXPECT_EQ(set->tail->pattern, QStringLiteral("11")) << "the tail follows a delete at the end";
    EXPECT_FALSE(SEDQ_MNEMONIC_SETS::delete_entry(set, 4));
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::add_entry(set, QStringLiteral("XX"), QStringLiteral("LAST"), 2));
    EXPECT_EQ(set->count, 5);
    EXPECT_EQ(set->tail->symbol, QStringLiteral("LAST"));
}

TEST(mnemonic_sets, a_table_of_width_zero_takes_no_entry_and_the_copy_round_trips)
{
    SEDQ_MNEMONIC_SETS sets;
    mySET* unsized = sets.add_set(QStringLiteral("unsized"), 0);
    EXPECT_FALSE(SEDQ_MNEMONIC_SETS::add_entry(unsized, QString(), QStringLiteral("A"), 0));
    mySET* wide = sets.add_set(QStringLiteral("wide"), 3);
    SEDQ_MNEMONIC_SETS::add_entry(wide, QStringLiteral("111"), QStringLiteral("ON"), 3);
    SEDQ_MNEMONIC_SETS::add_entry(wide, QStringLiteral("000"), QStringLiteral("OFF"), 3);
    SEDQ_MNEMONIC_SETS::add_entry(wide, QStringLiteral("000"), QStringLiteral("ZERO"), 3);
    const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> contents = sets.to_contents();
    ASSERT_EQ(contents.size(), 2);
    EXPECT_EQ(contents[0].width, 0);
    EXPECT_EQ(contents[1].entries[0].symbol, QByteArray("ZERO"));
    SEDQ_MNEMONIC_SETS copy;
    copy.load(contents);
    EXPECT_EQ(copy.to_contents(), contents) << "loading keeps the order of equal patterns";
    EXPECT_TRUE(sets.delete_set(QStringLiteral("unsized")));
    EXPECT_EQ(sets.get_head(), wide);
    EXPECT_FALSE(sets.delete_set(QStringLiteral("unsized")));
}

// Typed or pasted control characters never reach a symbol: a NUL would end the stored text early
// and the file cannot hold the others, so the copy would no longer be what the table keeps.
TEST(mnemonic_sets, symbols_drop_control_characters_and_round_trip)
{
    SEDQ_MNEMONIC_SETS sets;
    mySET* set = sets.add_set(QStringLiteral("t"), 2);
    const QString typed = QStringLiteral("a") + QChar(0) + QStringLiteral("b\tc\n") + QChar(0x7f);
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::add_entry(set, QStringLiteral("01"), typed, 2));
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::add_entry(set, QStringLiteral("10"), QStringLiteral("x"), 2));
    ASSERT_TRUE(SEDQ_MNEMONIC_SETS::set_entry_symbol(set, 1, QStringLiteral("y") + QChar(0x1b) + QStringLiteral("z")));
    EXPECT_EQ(patterns_of(set), QStringList({QStringLiteral("01=abc") + QChar(0x7f), QStringLiteral("10=yz")}));
    SEDQ_MNEMONIC_SETS copy;
    copy.load(sets.to_contents());
    EXPECT_EQ(copy.to_contents(), sets.to_contents());
}
