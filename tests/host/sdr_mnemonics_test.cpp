// Mnemonic tables: exact and don't-care look-ups, entry rules, the collection's ownership
// rules and the per-table states that undo puts back; also the condition-name conversions.
#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_global_enum.h"
#include "host/sdr/sdr_plugin_group.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{
std::string text_or_null(const char* text)
{
    return text ? std::string(text) : std::string("<null>");
}

// A table with two exact entries, a duplicate pattern, and two don't-care entries.
void fill_sample(SDR_DATA_MNEMONICS_TABLE* table)
{
    ASSERT_TRUE(table->add_entry("IDLE", "0000"));
    ASSERT_TRUE(table->add_entry("READ", "0001"));
    ASSERT_TRUE(table->add_entry("READ_AGAIN", "0001"));
    ASSERT_TRUE(table->add_entry("WRITE_ANY", "01XX"));
    ASSERT_TRUE(table->add_entry("HIGH_ANY", "1xxx"));
    ASSERT_TRUE(table->add_entry("WRITE", "0100"));
}
} // namespace

TEST(sdr_mnemonics_lookup, first_symbol_prefers_exact_patterns_then_dont_care_in_order)
{
    SDR_DATA_MNEMONICS mnemonics;
    SDR_DATA_MNEMONICS_TABLE* table = mnemonics.create_table("states", 4);
    ASSERT_NE(table, nullptr);
    fill_sample(table);
    const struct
    {
        const char* name;
        const char* value;
        const char* symbol;
    } rows[] = {
        {"exact entry", "0000", "IDLE"},
        {"first of two equal patterns", "0001", "READ"},
        {"exact entry after a matching don't-care entry", "0100", "WRITE"},
        {"upper-case X matches any bit", "0110", "WRITE_ANY"},
        {"lower-case x matches any bit", "1010", "HIGH_ANY"},
        {"no entry matches", "0011", ""},
        {"wrong length matches nothing", "011", ""},
        {"null value", nullptr, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(text_or_null(table->get_first_symbol(row.value)), row.symbol) << row.name;
}

TEST(sdr_mnemonics_lookup, value_of_symbol_and_entries_by_index)
{
    SDR_DATA_MNEMONICS_TABLE table("t", 4);
    fill_sample(&table);
    const struct
    {
        const char* name;
        const char* symbol;
        const char* pattern;
    } rows[] = {{"plain", "READ", "0001"}, {"don't-care", "HIGH_ANY", "1xxx"}, {"missing", "NONE", "<null>"},
                {"empty symbol", "", "<null>"}, {"null symbol", nullptr, "<null>"}};
    for (const auto& row : rows)
        EXPECT_EQ(text_or_null(table.get_value(row.symbol)), row.pattern) << row.name;
    EXPECT_EQ(table.get_num_entries(), 6);
    EXPECT_STREQ(table.get_value(2), "0001");
    EXPECT_STREQ(table.get_first_symbol(2), "READ_AGAIN");
    EXPECT_EQ(table.get_value(6), nullptr);
    EXPECT_EQ(table.get_first_symbol(-1), nullptr);
}

TEST(sdr_mnemonics_entries, add_entry_checks_the_pattern_width)
{
    SDR_DATA_MNEMONICS_TABLE table("t", 3);
    const struct
    {
        const char* name;
        const char* symbol;
        const char* pattern;
        bool accepted;
    } rows[] = {{"width 3", "A", "010", true},   {"too short", "B", "01", false},
                {"too long", "C", "0101", false}, {"null symbol", nullptr, "010", false},
                {"null pattern", "D", nullptr, false}, {"empty symbol allowed", "", "111", true}};
    for (const auto& row : rows)
        EXPECT_EQ(table.add_entry(row.symbol, row.pattern), row.accepted) << row.name;
    EXPECT_EQ(table.get_num_entries(), 2);
}

TEST(sdr_mnemonics_entries, clone_copies_width_and_entries_but_keeps_the_name)
{
    SDR_DATA_MNEMONICS mnemonics;
    SDR_DATA_MNEMONICS_TABLE* source = mnemonics.create_table("source", 4);
    SDR_DATA_MNEMONICS_TABLE* target = mnemonics.create_table("target", 4);
    SDR_DATA_MNEMONICS_TABLE* unsized = mnemonics.create_table("unsized", 0);
    fill_sample(source);
    EXPECT_FALSE(target->clone(nullptr));
    EXPECT_FALSE(unsized->add_entry("A", "")) << "width 0 holds no entry";
    ASSERT_TRUE(unsized->clone(source));
    EXPECT_EQ(unsized->get_width(), 4) << "the clone adopts the source's width";
    EXPECT_STREQ(unsized->get_first_symbol("0001"), "READ");
    ASSERT_TRUE(target->clone(source));
    EXPECT_STREQ(target->get_name(), "target");
    EXPECT_EQ(target->get_num_entries(), 6);
    EXPECT_STREQ(target->get_first_symbol("0111"), "WRITE_ANY");
    source->add_entry("LATE", "0011");
    EXPECT_STREQ(target->get_first_symbol("0011"), "") << "the clone is a copy, not a view";
}

TEST(sdr_mnemonics_collection, create_find_and_delete_follow_names_and_ownership)
{
    SDR_DATA_MNEMONICS mnemonics;
    SDR_DATA_MNEMONICS other;
    const struct
    {
        const char* name;
        const char* table;
        int width;
        bool created;
    } rows[] = {{"first", "a", 4, true},       {"second", "b", 1, true}, {"taken name", "a", 2, false},
                {"empty name", "", 2, false},  {"null name", nullptr, 2, false},
                {"zero width: no entries yet", "c", 0, true}, {"negative width", "d", -1, false}};
    for (const auto& row : rows)
        EXPECT_EQ(mnemonics.create_table(row.table, row.width) != nullptr, row.created) << row.name;
    ASSERT_EQ(mnemonics.get_num_tables(), 3);
    EXPECT_STREQ(mnemonics.get_table(1)->get_name(), "b");
    EXPECT_EQ(mnemonics.get_table(3), nullptr);
    EXPECT_EQ(mnemonics.find_table("A"), nullptr) << "names are exact";
    SDR_DATA_MNEMONICS_TABLE* foreign = other.create_table("a", 4);
    EXPECT_FALSE(mnemonics.delete_table(foreign));
    EXPECT_FALSE(mnemonics.delete_table(nullptr));
    EXPECT_TRUE(mnemonics.delete_table(mnemonics.find_table("a")));
    EXPECT_EQ(mnemonics.find_table("a"), nullptr);
    EXPECT_EQ(other.find_table("a"), foreign);
}

TEST(sdr_mnemonics_collection, every_change_grows_the_change_count)
{
    SDR_DATA_MNEMONICS mnemonics;
    unsigned long long count = mnemonics.get_change_count();
    SDR_DATA_MNEMONICS_TABLE* table = mnemonics.create_table("a", 2);
    EXPECT_GT(mnemonics.get_change_count(), count);
    count = mnemonics.get_change_count();
    table->add_entry("S", "01");
    EXPECT_GT(mnemonics.get_change_count(), count);
    count = mnemonics.get_change_count();
    table->add_entry("S", "0");
    EXPECT_EQ(mnemonics.get_change_count(), count) << "a refused entry changes nothing";
    mnemonics.find_table("a");
    table->get_first_symbol("01");
    EXPECT_EQ(mnemonics.get_change_count(), count) << "reading changes nothing";
}

TEST(sdr_mnemonics_collection, put_table_state_keeps_surviving_tables_and_their_addresses)
{
    SDR_DATA_MNEMONICS mnemonics;
    SDR_DATA_MNEMONICS_TABLE* kept = mnemonics.create_table("kept", 2);
    kept->add_entry("A", "00");
    mnemonics.create_table("dropped", 2);
    mnemonics.create_table("last", 1);
    const SDR_MNEMONICS_TABLE_STATE kept_before = mnemonics.table_state("kept");
    const SDR_MNEMONICS_TABLE_STATE dropped_before = mnemonics.table_state("dropped");
    EXPECT_EQ(dropped_before.index, 1);

    kept->add_entry("B", "01");
    SDR_DATA_MNEMONICS_TABLE* dropped = mnemonics.find_table("dropped");
    ASSERT_TRUE(mnemonics.delete_table(dropped));
    EXPECT_STREQ(dropped->get_name(), "dropped") << "a removed table stays readable";
    EXPECT_FALSE(dropped->add_entry("X", "11")) << "but no longer changes";
    const unsigned long long count = mnemonics.get_change_count();

    mnemonics.put_table_state("kept", kept_before, false);
    mnemonics.put_table_state("dropped", dropped_before, false);
    EXPECT_GT(mnemonics.get_change_count(), count) << "putting a state back is a change of the document";
    ASSERT_EQ(mnemonics.get_num_tables(), 3);
    EXPECT_EQ(mnemonics.get_table(0), kept) << "same object, contents swapped in";
    EXPECT_STREQ(kept->get_first_symbol("01"), "");
    EXPECT_STREQ(mnemonics.get_table(1)->get_name(), "dropped") << "back where it stood";
    EXPECT_TRUE(mnemonics.table_state("dropped") == dropped_before);

    mnemonics.put_table_state("kept", SDR_MNEMONICS_TABLE_STATE(), false);
    EXPECT_EQ(mnemonics.find_table("kept"), nullptr);
    EXPECT_FALSE(mnemonics.table_state("kept").exists);
}

TEST(sdr_mnemonics_collection, a_moved_table_goes_back_to_its_place)
{
    SDR_DATA_MNEMONICS mnemonics;
    for (const char* name : {"a", "b", "c"})
        mnemonics.create_table(name, 1);
    SDR_MNEMONICS_TABLE_STATE first = mnemonics.table_state("a");
    first.index = 2;
    mnemonics.put_table_state("a", first, false);
    EXPECT_STREQ(mnemonics.get_table(0)->get_name(), "a") << "without move the table stays";
    mnemonics.put_table_state("a", first, true);
    EXPECT_STREQ(mnemonics.get_table(2)->get_name(), "a");
    first.index = 99;
    mnemonics.put_table_state("a", first, true);
    EXPECT_STREQ(mnemonics.get_table(2)->get_name(), "a") << "a position past the end is clamped";
}

namespace
{
// Refuses every change of the tables named in `refused` and lists the names it was asked about.
class recording_watcher : public SDR_DATA_MNEMONICS_WATCHER
{
public:
    bool before_table_change(const QByteArray& name) override
    {
        asked.push_back(name.toStdString());
        return refused.count(name.toStdString()) == 0;
    }
    std::vector<std::string> asked;
    std::set<std::string> refused;
};
} // namespace

TEST(sdr_mnemonics_collection, every_change_asks_the_watcher_and_a_refusal_changes_nothing)
{
    SDR_DATA_MNEMONICS mnemonics;
    recording_watcher watcher;
    mnemonics.set_watcher(&watcher);
    SDR_DATA_MNEMONICS_TABLE* open = mnemonics.create_table("open", 2);
    SDR_DATA_MNEMONICS_TABLE* source = mnemonics.create_table("source", 2);
    ASSERT_TRUE(open != nullptr && source != nullptr);
    ASSERT_TRUE(source->add_entry("S", "01"));
    EXPECT_FALSE(open->add_entry("bad", "0")) << "a refused entry does not reach the watcher";
    watcher.refused = {"open", "locked"};
    const unsigned long long count = mnemonics.get_change_count();
    EXPECT_EQ(mnemonics.create_table("locked", 2), nullptr);
    EXPECT_FALSE(open->add_entry("A", "00"));
    EXPECT_FALSE(open->clone(source));
    EXPECT_FALSE(open->set_content(source->get_content())) << "another name is refused in a collection";
    EXPECT_FALSE(mnemonics.delete_table(open));
    EXPECT_EQ(mnemonics.get_change_count(), count);
    EXPECT_EQ(open->get_num_entries(), 0);
    EXPECT_EQ(watcher.asked, (std::vector<std::string>{"open", "source", "source", "locked", "open", "open", "open"}));
}

TEST(sdr_mnemonics_collection, set_content_rebuilds_the_lookup_indexes)
{
    SDR_DATA_MNEMONICS_TABLE_CONTENT content;
    content.name = "loaded";
    content.width = 2;
    content.entries = {{"ANY", "1X"}, {"ONE", "01"}};
    SDR_DATA_MNEMONICS_TABLE table("placeholder", 2);
    table.set_content(content);
    EXPECT_STREQ(table.get_name(), "loaded");
    EXPECT_STREQ(table.get_first_symbol("01"), "ONE");
    EXPECT_STREQ(table.get_first_symbol("11"), "ANY");
    EXPECT_STREQ(table.get_value("ONE"), "01");
}

TEST(sdr_global_enum, condition_texts_and_operator_round_trip)
{
    const struct
    {
        const char* name;
        int condition;
        bool known;
        const char* text;
    } rows[] = {{"disabled", 0, true, "Disabled"},       {"rising", 5, true, "Rising Edge"},
                {"don't care", 8, true, "Don't Care"},    {"group pattern", 9, false, ""},
                {"last group pattern", 17, false, ""},    {"greater", 18, true, ">"},
                {"greater or equal", 19, true, ">="},     {"equal", 20, true, "=="},
                {"less or equal", 21, true, "<="},        {"less", 22, true, "<"},
                {"true", 23, true, "TRUE"},               {"advanced", 24, false, ""},
                {"negative", -1, false, ""},              {"far out", 99, false, ""}};
    for (const auto& row : rows)
    {
        std::string text;
        EXPECT_EQ(SDR_DATA_GLOBAL_ENUM::convert_enum_to_string(SDR_DATA_TRIGGER_CONDITION(row.condition), &text),
                  row.known)
            << row.name;
        EXPECT_EQ(text, row.text) << row.name;
        if (row.known && row.condition >= 18)
        {
            EXPECT_EQ(int(SDR_DATA_GLOBAL_ENUM::convert_string_to_enum(row.text)), row.condition) << row.name;
        }
    }
}

TEST(sdr_global_enum, non_operator_texts_give_no_operand)
{
    const char* rows[] = {"", "=>", "> ", "true", "Rising Edge", "Don't Care", nullptr};
    for (const char* row : rows)
        EXPECT_EQ(int(SDR_DATA_GLOBAL_ENUM::convert_string_to_enum(row)), 0) << text_or_null(row);
}

TEST(sdr_plugin_group, options_symbols_and_static_indexes)
{
    SDR_PLUGIN_GROUP first;
    SDR_PLUGIN_GROUP second;
    EXPECT_NE(first.get_static_table_index(), second.get_static_table_index());
    SDR_PLUGIN_GROUP loaded(first.get_static_table_index() + 50);
    SDR_PLUGIN_GROUP after_load;
    EXPECT_GT(after_load.get_static_table_index(), loaded.get_static_table_index()) << "a stored index is never reused";

    first.add_user_option("rate", "9600", 1, "baud rate");
    first.add_user_option("mode", "x", 7, "");
    const char* name = nullptr;
    const char* value = nullptr;
    int type = -1;
    ASSERT_TRUE(first.get_user_option(1, &name, &value, &type, nullptr));
    EXPECT_STREQ(name, "mode");
    EXPECT_EQ(type, 7) << "unknown type codes are kept";
    EXPECT_FALSE(first.get_user_option(2, &name, nullptr, nullptr, nullptr));
    EXPECT_STREQ(name, "mode") << "outputs untouched on failure";
    first.set_trigger_symbol(0, "START");
    first.set_trigger_symbol(-3, "IDLE");
    EXPECT_STREQ(first.get_trigger_symbol(0), "START");
    EXPECT_STREQ(first.get_trigger_symbol(1), "");
    first.set_trigger_symbol(0, "");
    EXPECT_STREQ(first.get_trigger_symbol(0), "");

    int handle = 0;
    first.set_table_handle(&handle);
    second.copy_settings_from(first);
    EXPECT_EQ(second.get_user_option_count(), 2);
    EXPECT_STREQ(second.get_trigger_symbol(-3), "IDLE");
    EXPECT_EQ(second.get_table_handle(), nullptr) << "a copy has no live plug-in";
    EXPECT_NE(second.get_static_table_index(), first.get_static_table_index());
    EXPECT_FALSE(second == first) << "the index is part of the saved content";
}
