// The tree-object protocol of the analyzer file: stored condition trees and state flows are
// rebuilt through the document's root object on open and collected from it on save.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file.h"
#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sdr_file_test;

namespace
{
using ATTRIBUTES = std::vector<std::pair<std::string, std::string>>;

// Attributes in the order the objects write them, so that a rebuilt and collected tree
// compares equal to what was stored.
SDR_STORED_TREE canonical_tree()
{
    SDR_TREE_RECORD node{{{"name", "top|zähler[3]"}, {"alias", "Größe <&>"}, {"type", "Node"}, {"data_delay", "2"}}, {}};
    SDR_TREE_RECORD value{
        {{"powerup_bus_value", "0101"}, {"bus_value", "1010"}, {"type", "Bus Value"}, {"display_format", "Binary"}}, {}};
    SDR_TREE_RECORD logical{{{"type", "Logical Operator"}, {"logical", "Logical Xor"}}, {node, value}};
    SDR_TREE_RECORD result{{{"left", "120"}, {"type", "Advanced Trigger Level Result"}}, {logical}};
    SDR_TREE_RECORD loose{{{"top", "40"}, {"type", "Counter Operator"}}, {}};
    SDR_STORED_TREE tree;
    tree.present = true;
    tree.roots = {result, loose};
    return tree;
}

void expect_equal(const SDR_TREE_RECORD& a, const SDR_TREE_RECORD& b)
{
    EXPECT_EQ(a.attributes, b.attributes);
    ASSERT_EQ(a.children.size(), b.children.size());
    for (size_t i = 0; i < a.children.size(); ++i)
        expect_equal(a.children[i], b.children[i]);
}

void expect_equal(const SDR_STORED_TREE& a, const SDR_STORED_TREE& b)
{
    EXPECT_EQ(a.present, b.present);
    EXPECT_EQ(a.attributes, b.attributes);
    ASSERT_EQ(a.roots.size(), b.roots.size());
    for (size_t i = 0; i < a.roots.size(); ++i)
        expect_equal(a.roots[i], b.roots[i]);
}

SDR_DATA_TRIGGER* first_trigger(SDR_DATA_SESSION& session)
{
    return session.m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
}

const ATTRIBUTES FLOW = {{"state_machine_flow_expression", "state läuft:\ngoto ST2;\n\nstate ST2:\ntrigger;"}};
} // namespace

TEST(sdr_file_trees, opening_rebuilds_stored_trees_through_the_root)
{
    auto session = make_small_session("s");
    SDR_DATA_TRIGGER* trigger = first_trigger(*session);
    trigger->m_stored_level_trees = {canonical_tree()};
    trigger->m_stored_sq_trees[2] = canonical_tree();
    trigger->m_stored_state_machine = SDR_STORED_TREE{true, {}, FLOW};
    session->m_tree_records_pending = true;

    SEDQ_SESSION_OBJECT root;
    sdr_rebuild_session_trees(*session, &root);
    EXPECT_FALSE(session->m_tree_records_pending);
    ASSERT_EQ(root.get_child_count(), 2);
    ASSERT_EQ(root.get_state_machine_list().size(), 1);
    EXPECT_EQ(trigger->m_state_machine_object, root.get_state_machine_list()[0]);
    EXPECT_EQ(trigger->m_level_trees[0], root.get_child_object(0));
    EXPECT_EQ(trigger->m_sq_trees[2], root.get_child_object(1));
    EXPECT_EQ(trigger->m_sq_trees[0], nullptr);

    auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(trigger->m_level_trees[0]);
    EXPECT_EQ(condition->get_object_list()->size(), 5);
    ASSERT_EQ(condition->get_child_count(), 2);
    auto* result = static_cast<SEDQ_OBJECT*>(condition->get_child_object(0));
    EXPECT_EQ(result->get_type(), SEDQ_OBJECT::LEVEL_RESULT);
    EXPECT_EQ(result->get_property()[SEDQ_PROPERTY::LEFT], 120);
    QString flow;
    static_cast<SEDQ_STATE_MACHINE_OBJECT*>(trigger->m_state_machine_object)->get_unified_state_text(&flow);
    EXPECT_EQ(flow, QString::fromUtf8("state läuft:\ngoto ST2;\n\nstate ST2:\ntrigger;"));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sdr_file_trees, saving_collects_what_the_objects_hold_now)
{
    auto session = make_small_session("s");
    SDR_DATA_TRIGGER* trigger = first_trigger(*session);
    trigger->m_stored_level_trees = {canonical_tree()};
    trigger->m_stored_state_machine = SDR_STORED_TREE{true, {}, FLOW};
    SEDQ_SESSION_OBJECT root;
    sdr_rebuild_session_trees(*session, &root);

    trigger->m_stored_level_trees[0] = SDR_STORED_TREE();
    trigger->m_stored_state_machine = SDR_STORED_TREE();
    trigger->m_stored_sq_trees[1] = canonical_tree();
    sdr_collect_session_trees(*session);
    expect_equal(trigger->m_stored_level_trees[0], canonical_tree());
    expect_equal(trigger->m_stored_state_machine, SDR_STORED_TREE{true, {}, FLOW});
    expect_equal(trigger->m_stored_sq_trees[1], canonical_tree());

    auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(trigger->m_level_trees[0]);
    static_cast<SEDQ_OBJECT*>(condition->get_child_object(1))->set_attribute("left", "77");
    sdr_collect_session_trees(*session);
    const ATTRIBUTES moved = {{"top", "40"}, {"left", "77"}, {"type", "Counter Operator"}};
    EXPECT_EQ(trigger->m_stored_level_trees[0].roots[1].attributes, moved);
}

TEST(sdr_file_trees, trees_survive_a_save_and_open_through_fresh_objects)
{
    QTemporaryDir dir;
    const std::string file = dir.filePath("trees.vtl").toStdString();
    auto session = make_small_session(file);
    SDR_DATA_TRIGGER* trigger = first_trigger(*session);
    trigger->m_stored_level_trees = {canonical_tree()};
    trigger->m_stored_state_machine = SDR_STORED_TREE{true, {}, FLOW};
    trigger->m_state->levels[0].expression = "'top|a'";
    SEDQ_SESSION_OBJECT first_root;
    sdr_rebuild_session_trees(*session, &first_root);
    sdr_collect_session_trees(*session);
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*session, file, &error)) << error;

    auto reread = sdr_read_session_file(file, &error);
    ASSERT_NE(reread, nullptr) << error;
    EXPECT_TRUE(reread->m_tree_records_pending);
    SEDQ_SESSION_OBJECT second_root;
    sdr_rebuild_session_trees(*reread, &second_root);
    sdr_collect_session_trees(*reread);
    SDR_DATA_TRIGGER* again = first_trigger(*reread);
    expect_equal(again->m_stored_level_trees[0], canonical_tree());
    expect_equal(again->m_stored_state_machine, SDR_STORED_TREE{true, {}, FLOW});
    // A level with a stored tree is rebuilt from it alone, never also from its expression.
    EXPECT_EQ(static_cast<SEDQ_TRIGGER_OBJECT*>(again->m_level_trees[0])->get_object_list()->size(), 5);
    EXPECT_EQ(second_root.get_child_count(), 1);
}
