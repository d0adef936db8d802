// Building a group's mnemonic table from lists: creation and replacement inside the caller's
// edit bracket, the group switched to show it, undo, and refused lists that change nothing.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_repository.h"

namespace
{
class sedq_mnemonics_test : public sedq_node_list_test
{
protected:
    // A hexadecimal group "bus" of two rows at row 0.
    void make_group()
    {
        document(false);
        add_rows({"b0", "b1"});
        standin::sdr::add_group(data_trigger(), 0, 1, "bus", SDR_GTYPE_HEX);
        m_manager->refresh_tx_cache();
    }

    void create(int node, const char* name, const QStringList& symbols, const QStringList& patterns)
    {
        {
            const SEDQ_EDIT_SCOPE edit(m_manager.get(), SEDQ_CHECK_COMPILATION);
            m_manager->create_mnemonic_table(node, name, symbols, patterns);
        }
    }

    SDR_DATA_MNEMONICS* tables() { return SEDQ_REPOSITORY::session(m_manager.get())->get_data_session()->get_mnemonics(); }

    // "symbol=pattern" per entry of a table, or "(none)".
    std::vector<std::string> entries(const char* name)
    {
        const SDR_DATA_MNEMONICS_TABLE* table = tables()->find_table(name);
        if (table == nullptr)
            return {"(none)"};
        std::vector<std::string> out;
        for (int j = 0; j < table->get_num_entries(); ++j)
            out.push_back(std::string(table->get_first_symbol(j)) + "=" + table->get_value(j));
        return out;
    }

    std::string shown_table()
    {
        QString name;
        m_manager->get_node_mnemonics_table_name(0, &name, nullptr);
        return name.toStdString();
    }
};
} // namespace

TEST_F(sedq_mnemonics_test, a_new_table_is_filled_and_shown_by_the_group)
{
    make_group();
    create(0, "states", {"idle", "run"}, {"01", "10"});
    EXPECT_EQ(entries("states"), (std::vector<std::string>{"idle=01", "run=10"}));
    EXPECT_EQ(tables()->find_table("states")->get_width(), 2);
    EXPECT_EQ(trigger()->get_group_display_type(0), SDR_GTYPE_MNEMONICS);
    EXPECT_EQ(shown_table(), "states");
    EXPECT_TRUE(m_manager->get_tx_session()->is_modified());
    m_manager->on_edit_undo();
    EXPECT_EQ(entries("states"), (std::vector<std::string>{"(none)"})) << "one undo step takes both back";
    EXPECT_EQ(trigger()->get_group_display_type(0), SDR_GTYPE_HEX);
    EXPECT_TRUE(internal_errors().empty());
}

// The window keeps its pane layout in the document its own model saves: a table made in a
// window's model goes through a save and an open with nothing reported.
TEST_F(sedq_mnemonics_test, a_new_table_is_saved_with_the_windows_state_and_opens_again)
{
    make_group();
    create(0, "states", {"idle", "run"}, {"01", "10"});
    ASSERT_TRUE(m_manager->save_document(path("tables.vtl").c_str()));
    EXPECT_TRUE(internal_errors().empty()) << testing::PrintToString(internal_errors());
    SEDQ_TX_MANAGER* reopened = make_manager(true);
    ASSERT_TRUE(reopened->open_document(path("tables.vtl").c_str(), nullptr, nullptr));
    EXPECT_EQ(entries("states"), (std::vector<std::string>{"idle=01", "run=10"}));
    EXPECT_EQ(shown_table(), "states");
    EXPECT_TRUE(reopened->get_visible_state("jtag widget visible", false)) << "the window's state was kept";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_mnemonics_test, an_existing_table_is_replaced_wholesale_and_the_name_follows)
{
    make_group();
    create(0, "old", {"a", "b", "c"}, {"00", "01", "10"});
    create(0, "old", {"z"}, {"111"});
    EXPECT_EQ(entries("old"), (std::vector<std::string>{"z=111"})) << "old entries are gone, new width";
    create(0, "new", {"q"}, {"1"});
    EXPECT_EQ(shown_table(), "new") << "a group showing another table switches to the new one";
    EXPECT_EQ(entries("old"), (std::vector<std::string>{"z=111"})) << "the other table stays";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_mnemonics_test, unusable_lists_are_reported_and_change_nothing)
{
    make_group();
    create(0, "keep", {"a"}, {"01"});
    struct row
    {
        const char* label;
        int node;
        QStringList symbols;
        QStringList patterns;
        const char* expression;
    };
    const row rows[] = {
        {"no group", -1, {"x"}, {"11"}, "node_index >= 0"},
        {"counts differ", 0, {"x", "y"}, {"11"}, "node_count == pattern_list.size()"},
        {"widths differ", 0, {"x", "y"}, {"11", "1"}, "pattern_list[i].size() == width"},
        {"no entries", 0, {}, {}, "node_count > 0"},
    };
    for (const row& r : rows)
    {
        standin::msg::clear_internal_errors();
        create(r.node, "keep", r.symbols, r.patterns);
        EXPECT_EQ(internal_errors(), (std::vector<std::string>{r.expression})) << r.label;
        EXPECT_EQ(entries("keep"), (std::vector<std::string>{"a=01"})) << r.label << ": the old table stays";
    }
}

TEST_F(sedq_mnemonics_test, outside_an_edit_bracket_the_repository_refuses_the_table)
{
    make_group();
    m_manager->create_mnemonic_table(0, "loose", {"a"}, {"01"});
    EXPECT_EQ(entries("loose"), (std::vector<std::string>{"(none)"}));
    EXPECT_FALSE(internal_errors().empty()) << "the refusal is reported";
    EXPECT_EQ(trigger()->get_group_display_type(0), SDR_GTYPE_HEX) << "the group is left as it was";
}
