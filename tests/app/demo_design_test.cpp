// The bundled demo: examples/demo.vtl taps the nodes of the demo design beside it
// (examples/standin_project.json), under the names the node finder gives, and its
// acquisitions follow the design's stimuli, so the document and its project agree; the
// design's state machines, pre-synthesis and post-fitting (examples/db), can be added.
#include "host/hdb.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/hdb_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_state_machine_dlg.h"
#include "sedq/view/sedq_state_machine_table_view.h"
#include "support/demo_files.h"

#include <QComboBox>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace
{
std::string example(const char* name)
{
    return sedq_demo_file(name).toStdString();
}

bool is_group(SDR_TX_SIGNAL_NODES* nodes, int row)
{
    return nodes->get_node_display_type(row) == SDR_NTYPE_GROUP || nodes->get_node_display_type(row) == SDR_NTYPE_GROUP_ALT;
}

// Every test reads the demo's design; some edit a copy of its document in an editor window.
class demo_design : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(standin::project::load(example("standin_project.json"), &error)) << error;
    }

    void open_demo_copy()
    {
        const QString copy = m_dir.filePath("demo.vtl");
        ASSERT_TRUE(QFile::copy(QString::fromStdString(example("demo.vtl")), copy));
        m_frame = std::make_unique<SEDQ_FRAME_WND>(&m_info, QUI_FW_STATE_ATTACHED);
        ASSERT_TRUE(m_frame->open_file(copy));
    }

    QTemporaryDir m_dir;
    QUI_FRAME_INFO m_info;
    std::unique_ptr<SEDQ_FRAME_WND> m_frame;
};
} // namespace

TEST_F(demo_design, every_tapped_node_of_the_demo_is_a_tappable_node_of_its_design)
{
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

// Each stored log is a window of the design's stimuli: the samples of some stretch of the
// device's clock (where the instance's first run found its trigger), every channel alike.
TEST_F(demo_design, the_demo_acquisitions_are_windows_of_the_design_stimuli)
{
    SDR_TX_SESSION session(nullptr, false);
    ASSERT_TRUE(session.open_session(example("demo.vtl").c_str()));
    for (int entry = 0; entry < session.get_num_instances(); ++entry)
    {
        SDR_TX_SIGNAL_SET* data = session.get_signal_set_at(entry, false);
        SDR_DATA_LOG* log = session.get_log_at(entry, false);
        ASSERT_NE(log, nullptr) << entry;
        ASSERT_GT(log->get_data_sample_depth(), 0);
        const auto matches_from = [&](int first) {
            for (int row = 0; row < data->get_num_nodes(); ++row)
            {
                const int channel = data->get_node_wire_index(row);
                const std::string name = data->get_node_name(row);
                for (int s = 0; channel >= 0 && s < log->get_data_sample_depth(); ++s)
                    if (log->get_bit(channel, s) != (standin::project::signal_value(name, first + s) == 1))
                        return false;
            }
            return true;
        };
        int first = 0;
        while (first < 4096 && !matches_from(first))
            ++first;
        EXPECT_LT(first, 4096) << "instance " << entry << ": no stretch of the stimuli gives its log";
    }
}

namespace
{
// The symbol a group row shows for the design's register levels at a sample (member order).
std::string shown_state(SEDQ_TX_MANAGER* tx, int group, const std::vector<std::string>& registers, int sample)
{
    QString bits;
    for (const std::string& reg : registers)
        bits += standin::project::signal_value(reg, sample) == 1 ? '1' : '0';
    SEDQ_NUMBER number(bits);
    const char* text = nullptr;
    number.get_string(tx, group, &text, true, false, nullptr, -1);
    return text != nullptr ? text : "";
}

// Adds the first machine the dialog offers for the netlist; the group's row, or -1.
int add_first_machine(SEDQ_FRAME_WND* frame, int netlist)
{
    SEDQ_STATE_MACHINE_DLG dialog(frame, false, nullptr);
    dialog.get_netlist_combo()->setCurrentIndex(netlist);
    dialog.get_table()->selectRow(0);
    const int first = frame->get_tx_manager()->get_node_count(-1);
    dialog.on_double_click_state_machine_node_list();
    return dialog.result() == QDialog::Accepted ? first : -1;
}
} // namespace

TEST_F(demo_design, the_demo_state_machines_are_added_from_both_netlists_and_read_as_state_names)
{
    ASSERT_NO_FATAL_FAILURE(open_demo_copy());
    SEDQ_FRAME_WND& frame = *m_frame;
    SEDQ_TX_MANAGER* tx = frame.get_tx_manager();
    tx->set_instance("counter_probe");
    {
        SEDQ_STATE_MACHINE_DLG dialog(&frame, false, nullptr);
        dialog.get_netlist_combo()->setCurrentIndex(1);
        QStandardItemModel* model = dialog.get_table()->get_model();
        ASSERT_EQ(model->rowCount(), 2);
        EXPECT_EQ(model->item(1, 0)->text(), "demo_top|uart_tx|tx_state");
        EXPECT_EQ(model->item(1, 1)->text(), "Untappable due to register push-back");
    }
    const int pre = add_first_machine(&frame, 0);
    const int post = add_first_machine(&frame, 1);
    ASSERT_GE(pre, 0);
    ASSERT_GE(post, 0);
    const std::vector<std::string> one_hot = {"fsm|state.idle", "fsm|state.load", "fsm|state.shift", "fsm|state.done"};
    const std::vector<std::string> binary = {"demo_top|fsm|state[0]", "demo_top|fsm|state[1]"};
    const standin::stimulus* machine = standin::project::find_stimulus("fsm|state");
    ASSERT_NE(machine, nullptr);
    for (int sample = 0; sample < 64; ++sample)
    {
        const std::string expected = shown_state(tx, pre, one_hot, sample);
        EXPECT_EQ(machine->state_index(expected), machine->state_at(sample)) << "sample " << sample;
        EXPECT_EQ(shown_state(tx, post, binary, sample), expected) << "sample " << sample;
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The demo's state group is linked as the editor links one: recreating its mnemonics on the
// setup page gives the data page the state names too.
TEST_F(demo_design, recreated_state_mnemonics_reach_the_data_page)
{
    ASSERT_NO_FATAL_FAILURE(open_demo_copy());
    SEDQ_FRAME_WND& frame = *m_frame;
    SEDQ_TX_MANAGER* tx = frame.get_tx_manager();
    tx->set_instance("fsm_uart");
    {
        SEDQ_STATE_MACHINE_DLG dialog(&frame, true, nullptr);
        ASSERT_GE(dialog.get_table()->get_model()->rowCount(), 1);
        dialog.get_table()->selectRow(0);
        dialog.accept();
    }
    const SDR_TX_SIGNAL_SET* data = tx->get_signal_nodes(-1);
    ASSERT_NE(data, nullptr);
    int row = 0;
    while (row < data->get_num_nodes() && std::string(data->get_node_name(row)) != "fsm|state")
        ++row;
    ASSERT_LT(row, data->get_num_nodes());
    EXPECT_EQ(data->get_group_display_type(row), SDR_GTYPE_MNEMONICS);
    EXPECT_STREQ(data->get_mnemonics_table_name(row), tx->get_trigger_nodes(-1)->get_mnemonics_table_name(0));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
