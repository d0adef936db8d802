// The bundled demo as a user runs it from the window: it opens on its simulated cable and
// device, the toolbar's compile button writes the programming file it names, the JTAG pane's
// Program button loads it into the device, and Run acquires new data for both instances.
#include "jtag_widget_test_support.h"

#include "host/standin/project_control.h"


namespace
{
using jtag_widget_test::jtag_widget_fixture;

class jtag_demo_test : public jtag_widget_fixture
{
protected:
    void SetUp() override
    {
        jtag_widget_fixture::SetUp();
        m_previous_folder = QDir::currentPath();
    }

    void TearDown() override
    {
        jtag_widget_fixture::TearDown();
        QDir::setCurrent(m_previous_folder);
    }

    // The demo beside a copy of its project; the host works in the project folder.
    void open_demo()
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("output"));
        for (const char* file : {"demo.vtl", "standin_project.json", "output/demo_top.sof"})
            ASSERT_TRUE(QFile::copy(QDir(QString(SEDQ_TEST_DATA_DIR)).filePath(QString("../examples/") + file),
                                    m_dir.filePath(file)))
                << file;
        std::string error;
        ASSERT_TRUE(standin::project::load(m_dir.filePath("standin_project.json").toStdString(), &error)) << error;
        QDir::setCurrent(m_dir.path());
        m_frame = open_frame(m_dir.filePath("demo.vtl"));
    }

    // The compile button of the window's toolbar; the flow ends on a later turn of the event
    // loop.
    void compile_from_the_toolbar()
    {
        QAction* compile = action_of(ACTION_TOOLBAR_COMPILE);
        ASSERT_TRUE(compile->isEnabled());
        compile->trigger();
    }

    static constexpr int ACTION_TOOLBAR_COMPILE = AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION;
    QString m_previous_folder;
};

TEST_F(jtag_demo_test, the_demo_is_compiled_programmed_and_run_from_the_window)
{
    open_demo();
    EXPECT_EQ(hardware_combo()->currentText(), instance_widget_test::CABLE);
    EXPECT_EQ(device_combo()->currentText(), instance_widget_test::DEVICE);
    EXPECT_EQ(file_edit()->text(), "output/demo_top.sof");
    EXPECT_EQ(jtag_status(), "JTAG ready");
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR) << "the demo is shipped compiled";

    compile_from_the_toolbar();
    QTest::qWait(20);
    refresh();
    ASSERT_TRUE(QFile::exists(m_dir.filePath("output/demo_top.sof")));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);

    ASSERT_TRUE(program_button()->isEnabled());
    program_button()->click();
    QTest::qWait(20);
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);

    select({0, 1});
    press(ACTION_RUN);
    end_all_runs();
    for (int instance : {0, 1})
    {
        SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(instance, false);
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->is_data_available(false)) << instance;
        EXPECT_STREQ(shown->get_name(), "log_1") << "the demo keeps a log per acquisition";
        EXPECT_EQ(status_text(instance), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR);
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/jtag_demo.png", "PNG"));
}

// The compiled file kept in the demo document, shown in the opened SOF Manager.
TEST_F(jtag_demo_test, the_compiled_file_is_kept_in_the_demo_and_matches_both_instances)
{
    open_demo();
    compile_from_the_toolbar();
    QTest::qWait(20);
    refresh();
    jtag()->get_attach_button()->click();
    jtag()->on_sof_manager_toggle();
    refresh();
    ASSERT_EQ(sof_model()->rowCount(), 1);
    EXPECT_EQ(sof_headers(), QStringList({"Attached SOF Files", "counter_probe", "fsm_uart"}));
    EXPECT_EQ(sof_model()->item(0, 0)->text(), "demo_top.sof");
    EXPECT_EQ(sof_model()->item(0, 1)->text(), "compatible");
    EXPECT_EQ(sof_model()->item(0, 2)->text(), "compatible");
    EXPECT_TRUE(jtag()->get_sof_table()->isVisible());
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/jtag_demo_sof_manager.png", "PNG"));
}
} // namespace
