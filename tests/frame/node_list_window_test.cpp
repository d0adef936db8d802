// Node lists in an editor window: the node finder opened from the window and its selection
// inserted, the data tab's list and what may be deleted there, and the add-node entry of the
// Tcl package.
#include "frame_test_support.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/project_control.h"
#include "host/standin/unbq_control.h"
#include "host/unbq.h"
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {"pre": {"instances": [
      {"path": "top|cnt", "flags": "0x80000040", "dims": [[3, 0]]},
      {"path": "top|go", "flags": "0x80000040"}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000"}}
})";

class node_list_window_test : public frame_test
{
protected:
    SEDQ_FRAME_WND* open_with_design()
    {
        std::string error;
        EXPECT_TRUE(standin::project::load_json(DESIGN, m_dir.path().toStdString(), &error)) << error;
        return open_frame(write_document({instance_spec("probe", 2)}));
    }

    static QStringList row_names(const SDR_TX_SIGNAL_NODES* nodes)
    {
        QStringList names;
        for (int row = 0; row < nodes->get_num_nodes(); ++row)
            names << nodes->get_node_name(row);
        return names;
    }
};
} // namespace

TEST_F(node_list_window_test, the_finder_opens_over_the_window_and_inserts_the_users_choice)
{
    SEDQ_FRAME_WND* frame = open_with_design();
    SEDQ_TX_MANAGER* manager = frame->get_tx_manager();
    manager->set_using_pre_synthesis_filter(true);
    frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    settle();
    manager->on_node_insert();
    settle();
    EXPECT_EQ(frame->get_layout_widget()->get_data_setup_tab_widget(-1)->currentIndex(), 1)
        << "nodes are added in the setup tab";
    UNBQ_DIALOG* finder = standin::unbq::live_dialog();
    ASSERT_NE(finder, nullptr);
    EXPECT_EQ(finder->parentWidget(), frame);
    EXPECT_TRUE(finder->isVisible());
    ASSERT_TRUE(finder->select_names({"top|cnt", "top|go"}));
    finder->on_insert();
    settle();
    EXPECT_EQ(row_names(manager->get_trigger_nodes(-1)),
              (QStringList{"top|probe_node0", "top|probe_node1", "cnt[3..0]", "cnt[3]", "cnt[2]", "cnt[1]", "cnt[0]",
                           "go"}));
    EXPECT_EQ(frame->get_layout_widget()->get_data_setup_tab_widget(-1)->currentIndex(), 1) << "the setup tab";
    EXPECT_TRUE(finder->isVisible()) << "the finder stays open for more";
    finder->hide();
}

TEST_F(node_list_window_test, the_data_tab_edits_the_data_list)
{
    SEDQ_FRAME_WND* frame = open_with_design();
    SEDQ_TX_MANAGER* manager = frame->get_tx_manager();
    SEDQ_REPOSITORY::trigger_nodes(manager, -1)->set_node_capture_type(1, SDR_WTYPE_TRIGGER_ONLY);
    QTabWidget* tabs = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(manager->get_nodes(-1), manager->get_signal_nodes(-1));
    EXPECT_EQ(manager->get_node_count(-1), 1) << "the trigger-only node has no data row";
    EXPECT_TRUE(manager->is_node_deletable(0)) << "the data tab may delete whatever the list allows";
    tabs->setCurrentIndex(1);
    EXPECT_EQ(manager->get_node_count(-1), 2);
    EXPECT_FALSE(manager->is_node_deletable(0)) << "asked only under a lock in setup";
}

TEST_F(node_list_window_test, add_node_inserts_a_design_name_as_one_undo_step)
{
    SEDQ_FRAME_WND* frame = open_with_design();
    SEDQ_TX_MANAGER* manager = frame->get_tx_manager();
    manager->set_using_pre_synthesis_filter(true);
    frame->add_node("");
    EXPECT_FALSE(manager->get_tx_instance()->is_undo_available());
    frame->add_node("cnt");
    EXPECT_EQ(manager->get_trigger_node_count(-1), 7);
    manager->on_edit_undo();
    EXPECT_EQ(manager->get_trigger_node_count(-1), 2);
}
