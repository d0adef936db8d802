// The bundled demo: examples/demo.vtl taps the nodes of the demo design beside it
// (examples/standin_project.json), under the names the node finder gives, and its
// acquisitions follow the design's stimuli, so the document and its project agree.
#include "host/hdb.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/hdb_control.h"
#include "host/standin/project_control.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{
std::string example(const char* name)
{
    return QDir(QString(SEDQ_TEST_DATA_DIR)).filePath(QString("../examples/") + name).toStdString();
}

bool is_group(SDR_TX_SIGNAL_NODES* nodes, int row)
{
    return nodes->get_node_display_type(row) == SDR_NTYPE_GROUP || nodes->get_node_display_type(row) == SDR_NTYPE_GROUP_ALT;
}
} // namespace

TEST(demo_design, every_tapped_node_of_the_demo_is_a_tappable_node_of_its_design)
{
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    SDR_TX_SESSION session(nullptr, false);
    ASSERT_TRUE(session.open_session(example("demo.vtl").c_str()));
    HDB_NAMESPACE* design = standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    ASSERT_NE(design, nullptr);
    int leaves = 0;
    for (int entry = 0; entry < session.get_num_instances(); ++entry)
    {
        SDR_TX_TRIGGER* trigger = session.get_trigger_at(entry, false);
        for (int row = 0; row < trigger->get_num_nodes(); ++row)
        {
            if (is_group(trigger, row))
                continue;
            HDB_INSTANCE_NAME* name = design->get_instance_name(trigger->get_node_name(row));
            ASSERT_NE(name, nullptr) << trigger->get_node_name(row);
            EXPECT_TRUE(name->check_flag(0x80000000u)) << trigger->get_node_name(row);
            ++leaves;
        }
        bool post_fitting = false;
        EXPECT_NE(design->get_instance_name(session.get_signal_set_at(entry, false)->get_clock_name(&post_fitting)),
                  nullptr);
    }
    EXPECT_GT(leaves, 30);
}

TEST(demo_design, the_demo_acquisitions_follow_the_design_stimuli)
{
    std::string error;
    ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    SDR_TX_SESSION session(nullptr, false);
    ASSERT_TRUE(session.open_session(example("demo.vtl").c_str()));
    for (int entry = 0; entry < session.get_num_instances(); ++entry)
    {
        SDR_TX_SIGNAL_SET* data = session.get_signal_set_at(entry, false);
        SDR_DATA_LOG* log = session.get_log_at(entry, false);
        ASSERT_NE(log, nullptr) << entry;
        ASSERT_GT(log->get_data_sample_depth(), 0);
        for (int row = 0; row < data->get_num_nodes(); ++row)
        {
            const int channel = data->get_node_wire_index(row);
            if (channel < 0)
                continue;
            const std::string name = data->get_node_name(row);
            for (int s = 0; s < log->get_data_sample_depth(); ++s)
                ASSERT_EQ(log->get_bit(channel, s), standin::project::signal_value(name, s) == 1)
                    << name << " at sample " << s;
        }
    }
}
