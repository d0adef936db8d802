// Programming the simulated device from the JTAG pane: with the document's programming file,
// and from an embedded file through the temporary file, whose name the document gives back and
// which goes away at every end of the run: success, failure, a save, the pane's end, a changed
// working folder.
#include "jtag_widget_test_support.h"

#include "host/standin/chi_control.h"

#include <QTemporaryDir>

namespace
{
using jtag_widget_test::jtag_widget_fixture;
using jtag_widget_test::probe;

// The host works in one folder for the span of a test step.
class working_folder
{
public:
    explicit working_folder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~working_folder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

class jtag_programming_test : public jtag_widget_fixture
{
protected:
    // A window whose document names `own_file` and holds the compiled design as its one
    // embedded file, selected.
    void open_with_embedded_file(const QString& own_file)
    {
        open_jtag({{"alpha"}, {"beta"}});
        tx()->set_jtag_chain(own_file);
        attach(compile_to("top.sof"));
        select_sof_rows({0});
        refresh();
    }

    QString tmp_file() const { return m_dir.filePath(".morvex_reserved_vtl_temp.sof"); }

    std::vector<std::pair<unsigned, unsigned>> compiled_pairs()
    {
        std::vector<std::pair<unsigned, unsigned>> pairs;
        for (int i = 0; i < 2; ++i)
        {
            SDR_DATA_INSTANCE* instance = data()->m_instances[i].get();
            pairs.emplace_back(standin::chi::node_info_word(instance),
                               SDR_TX_SESSION::compute_trigger_crc(instance->get_active_trigger()));
        }
        return pairs;
    }
};

TEST_F(jtag_programming_test, the_pane_programs_the_device_with_the_documents_file)
{
    open_jtag({{"alpha"}});
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    tx()->set_jtag_chain(compile_to("top.sof"));
    tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
    ASSERT_TRUE(program_button()->isEnabled());
    standin::sldq::clear_view_updates();
    program_button()->click();
    EXPECT_EQ(jtag_status(), "Programming device");
    EXPECT_FALSE(program_button()->isEnabled()) << "one programming at a time";
    QTest::qWait(20);
    refresh();
    EXPECT_TRUE(standin::chi::is_programmed());
    EXPECT_EQ(jtag_status(), "JTAG ready");
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    EXPECT_EQ(standin::sldq::view_updates(), (std::vector<unsigned>{0x11, 0x401}));
}

TEST_F(jtag_programming_test, an_embedded_file_programs_the_device_and_the_document_keeps_its_own_file)
{
    const struct
    {
        const char* name;
        const char* own_file;
    } rows[] = {{"with a file of its own", "mine.sof"}, {"without one", ""}};
    const working_folder folder(m_dir.path());
    for (const auto& row : rows)
    {
        open_with_embedded_file(row.own_file);
        standin::chi::program_device({});
        action_of(ACTION_SOF_PROGRAM)->trigger();
        EXPECT_TRUE(jtag()->is_programming_run_pending()) << row.name;
        EXPECT_EQ(stored_sof_file(), tmp_file()) << row.name << ": the run names the temporary file";
        QTest::qWait(20);
        refresh();
        EXPECT_EQ(standin::chi::device_pairs(), compiled_pairs()) << row.name;
        EXPECT_FALSE(jtag()->is_programming_run_pending()) << row.name;
        EXPECT_EQ(stored_sof_file(), row.own_file) << row.name;
        EXPECT_FALSE(QFile::exists(tmp_file())) << row.name;
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR) << row.name;
        close_frame(m_frame);
        m_frame = nullptr;
    }
}

TEST_F(jtag_programming_test, a_failed_run_also_gives_the_name_back_and_removes_the_file)
{
    const working_folder folder(m_dir.path());
    open_with_embedded_file("mine.sof");
    standin::sldq::fail_programming(true);
    action_of(ACTION_SOF_PROGRAM)->trigger();
    QTest::qWait(20);
    refresh();
    EXPECT_FALSE(standin::chi::is_programmed());
    EXPECT_EQ(stored_sof_file(), "mine.sof");
    EXPECT_FALSE(QFile::exists(tmp_file()));
    ASSERT_FALSE(standin::msg::posted().empty());
    EXPECT_EQ(standin::msg::posted().back().text,
              "Cannot program the device: the device did not accept the programming file");
    EXPECT_EQ(standin::sldq::view_updates().back(), 0x1u);
}

TEST_F(jtag_programming_test, a_save_during_the_run_stores_the_documents_own_file)
{
    const working_folder folder(m_dir.path());
    standin::sldq::set_program_delay_ms(60000);
    open_with_embedded_file("mine.sof");
    action_of(ACTION_SOF_PROGRAM)->trigger();
    ASSERT_TRUE(jtag()->is_programming_run_pending());
    ASSERT_TRUE(m_frame->save_file(m_dir.filePath("saved.vtl")));
    EXPECT_FALSE(jtag()->is_programming_run_pending());
    EXPECT_FALSE(QFile::exists(tmp_file()));
    close_frame(m_frame);
    m_frame = open_frame(m_dir.filePath("saved.vtl"));
    EXPECT_EQ(stored_sof_file(), "mine.sof");
}

TEST_F(jtag_programming_test, closing_the_window_during_the_run_removes_the_file)
{
    const working_folder folder(m_dir.path());
    standin::sldq::set_program_delay_ms(60000);
    open_with_embedded_file("mine.sof");
    action_of(ACTION_SOF_PROGRAM)->trigger();
    ASSERT_TRUE(QFile::exists(tmp_file()));
    close_frame(m_frame);
    m_frame = nullptr;
    EXPECT_FALSE(QFile::exists(tmp_file()));
}

// The temporary file is where the run began, wherever the host works when it ends.
TEST_F(jtag_programming_test, the_temporary_file_is_found_where_it_was_written)
{
    QTemporaryDir elsewhere;
    standin::sldq::set_program_delay_ms(30);
    {
        const working_folder folder(m_dir.path());
        open_with_embedded_file("mine.sof");
        action_of(ACTION_SOF_PROGRAM)->trigger();
    }
    const working_folder folder(elsewhere.path());
    QTest::qWait(80);
    refresh();
    EXPECT_FALSE(QFile::exists(tmp_file()));
    EXPECT_EQ(stored_sof_file(), "mine.sof");
    EXPECT_TRUE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A second request while the host still programs changes nothing: the name given back at the
// end is the document's own.
TEST_F(jtag_programming_test, a_second_request_during_the_run_keeps_the_documents_own_file)
{
    const working_folder folder(m_dir.path());
    standin::sldq::set_program_delay_ms(30);
    open_with_embedded_file("mine.sof");
    standin::sldq::clear_view_updates();
    action_of(ACTION_SOF_PROGRAM)->trigger();
    jtag()->on_sof_manager_program();
    program_button()->click();
    QTest::qWait(80);
    refresh();
    EXPECT_EQ(stored_sof_file(), "mine.sof");
    EXPECT_FALSE(QFile::exists(tmp_file()));
    EXPECT_EQ(standin::sldq::view_updates(), (std::vector<unsigned>{0x11, 0x401}));
}
} // namespace
