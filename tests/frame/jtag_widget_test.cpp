// The JTAG pane's chain settings: the user's choices stored in the document, stored names shown
// without being written back, the scan of the simulated chain and its status texts, the
// controls an acquisition locks, and panes whose host layout lacks parts.
#include "jtag_widget_test_support.h"

#include "host/sdr/sdr_file.h"

namespace
{
using jtag_widget_test::jtag_widget_fixture;
using jtag_widget_test::probe;

class jtag_widget_test : public jtag_widget_fixture
{
};

TEST_F(jtag_widget_test, the_users_hardware_and_device_are_kept_in_the_document)
{
    open_jtag({{"alpha"}}, false);
    ASSERT_EQ(hardware_combo()->count(), 1);
    EXPECT_EQ(hardware_combo()->currentIndex(), -1);
    EXPECT_EQ(jtag_status(), "No device is selected");
    choose_next(hardware_combo());
    refresh();
    EXPECT_EQ(stored_hardware(), instance_widget_test::CABLE);
    EXPECT_EQ(stored_device(), instance_widget_test::DEVICE) << "a new cable takes the first device of its chain";
    EXPECT_EQ(device_combo()->currentText(), instance_widget_test::DEVICE);
    EXPECT_EQ(jtag_status(), "JTAG ready");
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR)
        << "the instance manager moves past the JTAG configuration";

    const QString saved = m_dir.filePath("saved.vtl");
    ASSERT_TRUE(m_frame->save_file(saved));
    close_frame(m_frame);
    m_frame = open_frame(saved);
    EXPECT_EQ(stored_hardware(), instance_widget_test::CABLE);
    EXPECT_EQ(stored_device(), instance_widget_test::DEVICE);
    EXPECT_EQ(hardware_combo()->currentText(), instance_widget_test::CABLE) << "shown after opening";
    EXPECT_EQ(device_combo()->currentText(), instance_widget_test::DEVICE);
}

TEST_F(jtag_widget_test, stored_names_missing_from_the_chain_are_shown_as_none_and_kept)
{
    open_jtag({{"alpha"}}, false);
    tx()->set_jtag_hardware("USB-Cable [2-1]", false);
    tx()->set_jtag_device("@2: OTHER", false);
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG));
    refresh();
    EXPECT_EQ(hardware_combo()->currentIndex(), -1);
    EXPECT_EQ(device_combo()->currentIndex(), -1);
    EXPECT_EQ(stored_hardware(), "USB-Cable [2-1]") << "a refresh never writes a name back";
    EXPECT_EQ(stored_device(), "@2: OTHER");
    EXPECT_EQ(jtag_status(), "No devices detected");
    EXPECT_FALSE(m_frame->isWindowModified());

    tx()->set_jtag_hardware(instance_widget_test::CABLE, false);
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG));
    refresh();
    EXPECT_EQ(hardware_combo()->currentText(), instance_widget_test::CABLE);
    EXPECT_EQ(device_combo()->count(), 1) << "the chain of the shown cable was scanned";
    EXPECT_EQ(device_combo()->currentIndex(), -1);
    EXPECT_EQ(stored_device(), "@2: OTHER");
    EXPECT_EQ(jtag_status(), "Selected device not found");
}

// Each state of the simulated chain gives its status text.
TEST_F(jtag_widget_test, the_status_line_follows_the_chain)
{
    struct row
    {
        const char* name;
        std::vector<std::string> hardware;
        std::vector<std::string> devices;
        bool connected;
        const char* status;
    };
    const row rows[] = {
        {"ready", {instance_widget_test::CABLE}, {instance_widget_test::DEVICE}, true, "JTAG ready"},
        {"cable gone", {"Other [1]"}, {instance_widget_test::DEVICE}, true, "No devices detected"},
        {"empty chain", {instance_widget_test::CABLE}, {}, true, "No devices detected"},
        {"device gone", {instance_widget_test::CABLE}, {"@1: ELSE"}, true, "Selected device not found"},
        {"unplugged", {instance_widget_test::CABLE}, {instance_widget_test::DEVICE}, false, "JTAG communication error"},
    };
    open_jtag({{"alpha"}});
    for (const row& r : rows)
    {
        standin::chi::set_chain(r.hardware, r.devices, r.connected);
        scan_button()->click();
        refresh();
        EXPECT_EQ(jtag_status(), r.status) << r.name;
        EXPECT_EQ(stored_hardware(), instance_widget_test::CABLE) << r.name << ": a scan changes no setting";
        EXPECT_EQ(stored_device(), instance_widget_test::DEVICE) << r.name;
    }
    const std::vector<unsigned> reports = standin::sldq::view_updates();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], 0x41u) << "a scan uses the chain";
    EXPECT_EQ(reports.back(), 0x1u);
}

TEST_F(jtag_widget_test, a_scan_makes_the_instance_manager_wait_for_the_chain_and_then_look_again)
{
    open_jtag({{"alpha"}});
    jtag()->on_view_updated(0x41);
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR);
    jtag()->on_view_updated(0x1);
    refresh();
    EXPECT_NE(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR);
    jtag()->on_view_updated(0x40);
    refresh();
    EXPECT_NE(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR) << "without bit 0x1 nothing happens";
}

TEST_F(jtag_widget_test, an_acquisition_locks_the_chain_and_the_file_until_it_stops)
{
    open_jtag({{"alpha"}});
    tx()->set_jtag_chain(m_dir.filePath("top.sof"));
    refresh();
    ASSERT_TRUE(program_button()->isEnabled());
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_RUNNING | SEDQ_UPDATE_JTAG));
    refresh();
    for (QWidget* control : std::initializer_list<QWidget*>{hardware_combo(), device_combo(), scan_button(),
                                                            browse_button(), file_edit(), program_button()})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(jtag_status(), "Acquisition in progress");
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_JTAG));
    refresh();
    for (QWidget* control : std::initializer_list<QWidget*>{hardware_combo(), device_combo(), scan_button(),
                                                            browse_button(), file_edit(), program_button()})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(jtag_status(), "JTAG ready");
}

// The file field and its browse button set the document's programming file; the attach button
// beside it follows.
TEST_F(jtag_widget_test, the_programming_file_is_typed_or_browsed_into_the_document)
{
    open_jtag({{"alpha"}});
    EXPECT_FALSE(jtag()->get_attach_button()->isEnabled());
    EXPECT_FALSE(program_button()->isEnabled()) << "no file yet";
    file_edit()->setText(m_dir.filePath("typed.sof"));
    QTest::keyClick(file_edit(), Qt::Key_Return);
    refresh();
    EXPECT_EQ(stored_sof_file(), m_dir.filePath("typed.sof"));
    EXPECT_TRUE(jtag()->get_attach_button()->isEnabled());
    EXPECT_TRUE(program_button()->isEnabled());

    standin::afcq::push_file_dialog_result(true, m_dir.filePath("browsed.sof"));
    browse_button()->click();
    refresh();
    EXPECT_EQ(stored_sof_file(), m_dir.filePath("browsed.sof"));
    EXPECT_EQ(file_edit()->text(), m_dir.filePath("browsed.sof"));
    standin::afcq::push_file_dialog_result(false);
    browse_button()->click();
    refresh();
    EXPECT_EQ(stored_sof_file(), m_dir.filePath("browsed.sof")) << "a cancelled dialog changes nothing";
}

// Hint kinds are taken in order and only the first applies.
TEST_F(jtag_widget_test, a_refresh_and_rebuild_hint_refreshes_only)
{
    open_jtag({{"alpha"}});
    attach(compile_to("top.sof"));
    ASSERT_EQ(sof_model()->rowCount(), 1);
    sof_model()->item(0, 0)->setData("marked", Qt::UserRole + 7);
    tx()->set_jtag_chain("changed.sof");
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
    refresh();
    EXPECT_EQ(file_edit()->text(), "changed.sof");
    EXPECT_EQ(sof_model()->item(0, 0)->data(Qt::UserRole + 7).toString(), "marked") << "the table was not rebuilt";
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_JTAG));
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LOG));
    refresh();
    EXPECT_EQ(sof_model()->item(0, 0)->data(Qt::UserRole + 7).toString(), "marked") << "no kind, or not this pane";
}

// A host pane of another shape is reported and keeps its own file row; nothing is used after
// the report.
TEST_F(jtag_widget_test, a_host_pane_without_its_file_row_parts_is_reported_and_stays_usable)
{
    using standin::sldq::missing_part;
    const struct
    {
        const char* name;
        missing_part part;
        const char* expression;
    } rows[] = {{"no grid", missing_part::settings_grid, "sub_layout != NULL"},
                {"no label", missing_part::file_label, "item != NULL"},
                {"no browse layout", missing_part::browse_controls, "item != NULL"}};
    const QString path = write_probes({{"alpha"}});
    for (const auto& row : rows)
    {
        standin::msg::clear_internal_errors();
        standin::sldq::build_without(row.part);
        SEDQ_FRAME_WND* frame = open_frame(path);
        SEDQ_JTAG_WIDGET* pane = frame->get_layout_widget()->get_jtag_widget();
        ASSERT_EQ(standin::msg::internal_errors().size(), 1u) << row.name;
        EXPECT_EQ(standin::msg::internal_errors()[0].expression, row.expression) << row.name;
        EXPECT_EQ(standin::msg::internal_errors()[0].file, "sld/sedq/frame/sedq_jtag_widget.cpp") << row.name;
        EXPECT_FALSE(pane->get_attach_button()->isVisibleTo(pane)) << row.name;
        pane->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG));
        pane->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
        EXPECT_EQ(standin::msg::internal_errors().size(), 1u) << row.name;
        close_frame(frame);
    }
}
} // namespace
