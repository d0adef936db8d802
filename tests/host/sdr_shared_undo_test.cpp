// Undo of the data a document holds outside its instances: mnemonic tables written by steps of
// different instances, writes outside brackets, permanent later changes, instance names, and the
// undo and redo of an added instance.

#include "host/sdr.h"
#include "host/sdr/sdr_shared_undo.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/standin/msg_control.h"
#include "host/standin/standin.h"
#include "sdr_fake_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace
{
class SdrSharedUndo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::reset_all();
        m_session = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        ASSERT_TRUE(m_session->create_session(m_dir.filePath("shared.vtl").toLocal8Bit().constData()));
        ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 1);
        data(1)->history().clear(); // both instances start with an empty history
    }

    SDR_DATA_INSTANCE* data(int entry) { return m_session->get_instance_at(entry, false)->get_data_instance(); }
    SDR_TX_INSTANCE* tx(int entry) { return m_session->get_instance_at(entry, false); }
    SDR_DATA_MNEMONICS* tables() { return m_session->get_data_session()->get_mnemonics(); }
    int segment_size(int entry) { return data(entry)->get_active_trigger()->state().segment_size; }

    // One step of instance `entry`: its own data changes too, as edits of real panes do.
    template <typename EDIT> void step(int entry, int size, EDIT edit)
    {
        ASSERT_TRUE(tx(entry)->begin_action());
        {
            SDR_EDIT_SCOPE scope(data(entry));
            data(entry)->get_active_trigger()->edit().segment_size = size;
        }
        edit();
        ASSERT_TRUE(tx(entry)->end_action());
    }
    void create(int entry, int size, const char* name, const char* symbol = "S")
    {
        step(entry, size, [&] { ASSERT_TRUE(tables()->create_table(name, 2)->add_entry(symbol, "01")); });
    }
    void add(int entry, int size, const char* name, const char* symbol)
    {
        step(entry, size, [&] { ASSERT_TRUE(tables()->find_table(name)->add_entry(symbol, "10")); });
    }
    int entries(const char* name)
    {
        SDR_DATA_MNEMONICS_TABLE* table = tables()->find_table(name);
        return table != nullptr ? table->get_num_entries() : -1;
    }
    std::string last_message()
    {
        return standin::msg::shown().empty() ? std::string() : standin::msg::shown().back().text;
    }

    QTemporaryDir m_dir;
    std::shared_ptr<sdr_test::tree_log> m_log = std::make_shared<sdr_test::tree_log>();
    std::unique_ptr<SDR_TX_SESSION> m_session;
};
} // namespace

TEST_F(SdrSharedUndo, undo_keeps_a_table_another_instance_wrote_later_and_redo_keeps_it_too)
{
    create(0, 10, "a");
    create(1, 20, "late");
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_EQ(entries("a"), -1);
    EXPECT_EQ(entries("late"), 1) << "the later table of the other instance stays";
    EXPECT_EQ(segment_size(0), 0);
    ASSERT_TRUE(tx(0)->redo());
    EXPECT_EQ(entries("a"), 1);
    EXPECT_EQ(entries("late"), 1);
    EXPECT_EQ(segment_size(1), 20);
}

TEST_F(SdrSharedUndo, undo_in_one_instance_leaves_a_table_written_in_the_other)
{
    create(1, 5, "first");
    create(0, 6, "zero");
    ASSERT_TRUE(tx(1)->undo());
    EXPECT_EQ(entries("first"), -1);
    EXPECT_EQ(entries("zero"), 1) << "instance 0's table is not wiped by instance 1's undo";
    ASSERT_TRUE(tx(1)->redo());
    EXPECT_EQ(entries("first"), 1);
    EXPECT_EQ(entries("zero"), 1);
}

TEST_F(SdrSharedUndo, a_table_written_outside_any_bracket_is_refused_and_reported)
{
    create(0, 1, "a");
    standin::msg::clear_internal_errors();
    EXPECT_EQ(tables()->create_table("outside", 2), nullptr);
    EXPECT_FALSE(tables()->find_table("a")->add_entry("X", "11"));
    EXPECT_FALSE(tables()->delete_table(tables()->find_table("a")));
    ASSERT_EQ(standin::msg::internal_errors().size(), 3u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "a mnemonic table changes only inside an edit bracket");
    EXPECT_EQ(entries("a"), 1);
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_EQ(tables()->get_num_tables(), 0);
}

TEST_F(SdrSharedUndo, undo_waits_for_a_later_change_of_the_same_table_in_another_instance)
{
    create(0, 1, "shared");
    add(1, 2, "shared", "B");
    EXPECT_TRUE(tx(0)->is_undo_available()) << "Undo stays enabled: pressing it tells why it waits";
    EXPECT_FALSE(tx(0)->undo());
    EXPECT_EQ(last_message(), "Cannot undo this step: mnemonic table \"shared\" was changed later in instance "
                              "\"auto_vantrel_1\". Undo that change first.");
    EXPECT_EQ(entries("shared"), 2);
    EXPECT_EQ(segment_size(0), 1) << "a refused undo changes nothing of its instance either";

    ASSERT_TRUE(tx(1)->undo());
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_EQ(entries("shared"), -1);
    EXPECT_FALSE(tx(1)->redo()) << "the entry needs the table the undone creation made";
    EXPECT_EQ(last_message(), "Cannot redo this step: mnemonic table \"shared\" needs a change of instance "
                              "\"auto_vantrel_0\" that was undone. Redo that change first.");
    ASSERT_TRUE(tx(0)->redo());
    ASSERT_TRUE(tx(1)->redo());
    EXPECT_EQ(entries("shared"), 2);
}

TEST_F(SdrSharedUndo, redo_waits_while_another_instance_changed_the_table_since)
{
    create(0, 1, "shared");
    ASSERT_TRUE(tx(0)->undo());
    create(1, 2, "shared", "OTHER");
    EXPECT_FALSE(tx(0)->redo());
    EXPECT_EQ(last_message(), "Cannot redo this step: mnemonic table \"shared\" was changed in instance "
                              "\"auto_vantrel_1\" after this step was undone. Undo that change first.");
    EXPECT_STREQ(tables()->find_table("shared")->get_first_symbol("01"), "OTHER");
    ASSERT_TRUE(tx(1)->undo());
    ASSERT_TRUE(tx(0)->redo());
    EXPECT_STREQ(tables()->find_table("shared")->get_first_symbol("01"), "S");
}

TEST_F(SdrSharedUndo, a_later_change_that_can_never_be_undone_keeps_the_table)
{
    create(0, 1, "shared");
    add(1, 2, "shared", "B");
    ASSERT_NE(m_session->create_new_log(1), nullptr); // a new log clears instance 1's history
    ASSERT_TRUE(tx(0)->undo()) << "nothing can undo the later change: waiting would block for good";
    EXPECT_EQ(segment_size(0), 0);
    EXPECT_EQ(entries("shared"), 2) << "the table keeps the later change and what it was made on";
    ASSERT_TRUE(tx(0)->redo());
    EXPECT_EQ(segment_size(0), 1);
    EXPECT_EQ(entries("shared"), 2);
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_EQ(entries("shared"), 2) << "the step gave its part of the table up for good";
}

TEST_F(SdrSharedUndo, a_bracket_that_writes_a_table_back_as_it_was_records_no_change_of_it)
{
    create(0, 1, "kept");
    // The setup dialog's write-back: every table deleted and made again.
    step(1, 2, [&] {
        ASSERT_TRUE(tables()->delete_table(tables()->find_table("kept")));
        ASSERT_TRUE(tables()->create_table("kept", 2)->add_entry("S", "01"));
    });
    EXPECT_EQ(m_session->get_data_session()->m_shared_undo->writer_count("kept"), 1);
    ASSERT_TRUE(tx(0)->undo()) << "instance 1 left the table as it was: nothing stands in the way";
    EXPECT_EQ(entries("kept"), -1);
    EXPECT_EQ(segment_size(1), 2);
}

TEST_F(SdrSharedUndo, undo_and_redo_put_a_table_back_where_it_stood)
{
    step(0, 1, [&] {
        for (const char* name : {"a", "b", "c"})
            ASSERT_NE(tables()->create_table(name, 1), nullptr);
    });
    SDR_DATA_MNEMONICS_TABLE* b = tables()->find_table("b");
    step(1, 2, [&] { ASSERT_TRUE(tables()->delete_table(b)); });
    EXPECT_STREQ(b->get_name(), "b") << "a deleted table stays readable";
    ASSERT_TRUE(tx(1)->undo());
    ASSERT_EQ(tables()->get_num_tables(), 3);
    EXPECT_STREQ(tables()->get_table(1)->get_name(), "b");
    ASSERT_TRUE(tx(1)->redo());
    EXPECT_EQ(tables()->find_table("b"), nullptr);
}

TEST_F(SdrSharedUndo, undo_of_a_rename_waits_while_another_instance_has_the_name)
{
    ASSERT_TRUE(data(0)->set_name("renamed"));
    ASSERT_TRUE(data(1)->set_name("auto_vantrel_0"));
    EXPECT_FALSE(tx(0)->undo());
    EXPECT_EQ(last_message(), "Cannot undo this step: instance name \"auto_vantrel_0\" is now used by another instance.");
    EXPECT_STREQ(data(0)->get_name(), "renamed");
    ASSERT_TRUE(tx(1)->undo());
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_STREQ(data(0)->get_name(), "auto_vantrel_0");
}

TEST_F(SdrSharedUndo, redo_of_an_undone_instance_creation_brings_it_back_with_its_edits)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    SDR_DATA_INSTANCE* added = data(2);
    create(2, 7, "made_there");
    ASSERT_TRUE(tx(2)->undo());
    ASSERT_TRUE(tx(2)->undo());
    ASSERT_EQ(m_session->get_num_instances(), 2);
    EXPECT_TRUE(tx(1)->is_redo_available()) << "the entry shown next holds the redo";
    EXPECT_FALSE(tx(0)->is_redo_available());

    ASSERT_TRUE(tx(1)->redo());
    ASSERT_EQ(m_session->get_num_instances(), 3);
    EXPECT_EQ(data(2), added);
    EXPECT_FALSE(tx(1)->is_redo_available()) << "the redo went back to the instance";
    ASSERT_TRUE(tx(2)->redo());
    EXPECT_EQ(entries("made_there"), 1);
    EXPECT_EQ(segment_size(2), 7);
    ASSERT_TRUE(tx(2)->undo());
    ASSERT_TRUE(tx(2)->undo()) << "and its creation can be undone again";
    EXPECT_EQ(m_session->get_num_instances(), 2);
}

TEST_F(SdrSharedUndo, undone_creations_come_back_last_undone_first_under_their_own_names)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    ASSERT_TRUE(tx(2)->undo());
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    EXPECT_STREQ(data(2)->get_name(), "auto_vantrel_3") << "the removed instance keeps its name for the redo";
    ASSERT_TRUE(tx(2)->undo());

    ASSERT_TRUE(tx(1)->redo());
    ASSERT_TRUE(tx(1)->redo());
    ASSERT_EQ(m_session->get_num_instances(), 4);
    EXPECT_STREQ(data(2)->get_name(), "auto_vantrel_2") << "each instance goes back to its place";
    EXPECT_STREQ(data(3)->get_name(), "auto_vantrel_3");
}

TEST_F(SdrSharedUndo, a_new_edit_of_the_instance_holding_the_redo_drops_it)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    ASSERT_TRUE(tx(2)->undo());
    create(1, 4, "t");
    EXPECT_FALSE(tx(1)->is_redo_available());
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    EXPECT_STREQ(data(2)->get_name(), "auto_vantrel_3") << "the dropped instance's name is still not reused";
}

TEST_F(SdrSharedUndo, an_instance_cannot_come_back_under_a_name_taken_since)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 2);
    ASSERT_TRUE(tx(2)->undo());
    ASSERT_TRUE(data(0)->set_name("auto_vantrel_2"));
    data(0)->history().clear();
    EXPECT_FALSE(tx(1)->redo());
    EXPECT_EQ(last_message(), "Cannot bring back instance \"auto_vantrel_2\": another instance has that name now.");
    EXPECT_TRUE(tx(1)->is_redo_available()) << "the redo waits for the name";
    ASSERT_TRUE(data(0)->set_name("free_again"));
    ASSERT_TRUE(tx(1)->redo());
    EXPECT_EQ(m_session->get_num_instances(), 3);
}

TEST_F(SdrSharedUndo, the_creation_of_the_only_instance_is_undone_only_when_no_edit_would_be_lost)
{
    ASSERT_TRUE(m_session->remove_vantrel_instance(1));
    ASSERT_TRUE(m_session->remove_vantrel_instance(0));
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 0);
    create(0, 3, "t");
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_FALSE(tx(0)->undo());
    EXPECT_EQ(last_message(), "Cannot undo the creation of instance \"auto_vantrel_0\": with no other instance its "
                              "undone edits could not be redone.");
    ASSERT_EQ(m_session->get_num_instances(), 1);
    ASSERT_TRUE(tx(0)->redo());
    EXPECT_EQ(entries("t"), 1);
}
