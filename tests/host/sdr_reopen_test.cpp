// Editing a document that was saved and opened again: what the file does not hold (the link and
// ordinal counters, the tree links of the node rows) must be back before the first edit.

#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/sdr_control.h"
#include "sdr_fake_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace
{
class SdrReopen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_writer = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        ASSERT_TRUE(m_writer->create_session(path().c_str()));
    }

    std::string path() const { return m_dir.filePath("again.vtl").toLocal8Bit().toStdString(); }

    // Saves and closes the written document, then opens it in a new editing session.
    void reopen()
    {
        ASSERT_TRUE(m_writer->save_session(path().c_str())) << m_writer->get_last_error();
        m_writer->close_session();
        m_reader = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        ASSERT_TRUE(m_reader->open_session(path().c_str())) << m_reader->get_last_error();
    }

    void add_nodes(SDR_TX_TRIGGER* trigger, std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_TRUE(trigger->add_node(name, SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << name;
    }

    static std::vector<std::string> names_of(SDR_TX_SIGNAL_NODES* list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list->get_num_nodes(); ++i)
            names.emplace_back(list->get_node_name(i));
        return names;
    }

    QTemporaryDir m_dir;
    std::shared_ptr<sdr_test::tree_log> m_log = std::make_shared<sdr_test::tree_log>();
    std::unique_ptr<SDR_TX_SESSION> m_writer;
    std::unique_ptr<SDR_TX_SESSION> m_reader;
};
} // namespace

TEST_F(SdrReopen, rows_added_after_opening_are_not_linked_to_stored_rows)
{
    add_nodes(m_writer->get_trigger_at(0, false), {"top|a", "top|b"});
    reopen();
    SDR_TX_TRIGGER* trigger = m_reader->get_trigger_at(0, false);
    add_nodes(trigger, {"top|c"});
    ASSERT_TRUE(trigger->set_node_name(2, "top|c2"));

    EXPECT_EQ(names_of(m_reader->get_signal_set_at(0, false)),
              (std::vector<std::string>{"top|a", "top|b", "top|c2"}))
        << "a rename of the new node reaches its own data row only";
    std::set<int> links;
    for (const SDR_NODE_ROW& row : trigger->get_data_trigger()->state().trigger_list)
        EXPECT_TRUE(links.insert(row.link_id).second) << row.name << " shares link id " << row.link_id;
}

TEST_F(SdrReopen, instances_created_after_opening_get_an_ordinal_of_their_own)
{
    ASSERT_EQ(m_writer->create_vantrel_instance(nullptr), 1);
    reopen();
    ASSERT_EQ(m_reader->create_vantrel_instance(nullptr), 2);
    std::set<int> ordinals;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ordinals.insert(m_reader->get_instance_at(i, false)->get_node_info().m_field2).second)
            << "instance " << i;
}

TEST_F(SdrReopen, group_rows_keep_their_tree_links_and_their_place_in_the_data_list)
{
    SDR_TX_TRIGGER* written = m_writer->get_trigger_at(0, false);
    add_nodes(written, {"top|a", "top|b", "top|c"});
    ASSERT_TRUE(written->group_node(0, 1, "bus"));
    ASSERT_TRUE(written->set_group_display_type(0, SDR_GTYPE_PLUGIN));
    reopen();
    SDR_TX_TRIGGER* trigger = m_reader->get_trigger_at(0, false);
    ASSERT_EQ(names_of(trigger), (std::vector<std::string>{"bus", "top|a", "top|b", "top|c"}));

    EXPECT_EQ(trigger->get_parent_index(2, 1), 0);
    EXPECT_TRUE(trigger->is_last_child(2));
    EXPECT_FALSE(trigger->is_node_deletable(1)) << "members of a plug-in group stay";
    EXPECT_TRUE(trigger->is_invalid_index_for_drop(2, false)) << "nothing is dropped into a plug-in group";

    ASSERT_TRUE(trigger->set_node_capture_type(3, SDR_WTYPE_TRIGGER_ONLY));
    trigger->sync_upon_capture_type_change();
    SDR_TX_SIGNAL_SET* data = m_reader->get_signal_set_at(0, false);
    EXPECT_EQ(names_of(data), (std::vector<std::string>{"bus", "top|a", "top|b"}));
    EXPECT_EQ(data->get_node_depth(1), 1);
    EXPECT_EQ(data->get_node_wire_index(2), 1);
}

TEST_F(SdrReopen, setters_refuse_values_that_a_saved_file_could_not_give_back)
{
    SDR_TX_TRIGGER* trigger = m_writer->get_trigger_at(0, false);
    SDR_TX_SIGNAL_SET* data = m_writer->get_signal_set_at(0, false);
    EXPECT_FALSE(trigger->set_trigger_out_condition(SDR_DATA_TRIGGER_CONDITION(31)));
    EXPECT_FALSE(trigger->set_trigger_in_condition(SDR_DATA_TRIGGER_CONDITION(25)));
    EXPECT_FALSE(data->insert_node_gen2("top|wide", 4096, SDR_TAP_PRE_SYNTHESIS));
    ASSERT_TRUE(trigger->set_trigger_out_condition(SDR_CTYPE_FALLING));
    ASSERT_TRUE(trigger->set_trigger_in_condition(SDR_CTYPE_ADVANCED));
    ASSERT_TRUE(data->insert_node_gen2("top|machine", SDR_STYPE_MACHINE | SDR_STYPE_REGISTERED, SDR_TAP_POST_FITTING));
    reopen();
    trigger = m_reader->get_trigger_at(0, false);
    data = m_reader->get_signal_set_at(0, false);
    EXPECT_EQ(trigger->get_trigger_out_condition(), SDR_CTYPE_FALLING);
    EXPECT_EQ(trigger->get_trigger_in_condition(), SDR_CTYPE_ADVANCED);
    ASSERT_EQ(data->get_num_nodes(), 1);
    EXPECT_EQ(data->get_node_signal_type(0), SDR_STYPE_MACHINE | SDR_STYPE_REGISTERED);
    EXPECT_TRUE(data->is_node_data_tab_only(0));
}
