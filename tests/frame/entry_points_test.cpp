// The library's exported entry points: the Tcl package and the window factory.
#include "frame_test_support.h"

#include "host/atcl.h"
#include "host/standin/atcl_control.h"
#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_entry_points.h"
#include "sedq/frame/sedq_frame_factory.h"

namespace
{
std::string package_present()
{
    std::string result;
    return standin::atcl::eval("package present ::corvane::sedq", &result) == TCL_OK ? result : "";
}
} // namespace

TEST(entry_points, sedq_init_provides_the_package_and_unregistering_withdraws_it)
{
    EXPECT_EQ(Sedq_Init(atcl_get_interpreter()), 0);
    EXPECT_EQ(package_present(), "1.0");
    EXPECT_EQ(sedq_sedq_unregister_tcl(), TCL_OK);
    EXPECT_EQ(package_present(), "");
    EXPECT_EQ(sedq_sedq_register_tcl(), TCL_OK);
    EXPECT_EQ(package_present(), "1.0");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(entry_points, registration_without_an_interpreter_reports_and_fails)
{
    standin::atcl::set_interpreter_unavailable(true);
    EXPECT_EQ(sedq_sedq_register_tcl(), TCL_ERROR);
    EXPECT_EQ(sedq_sedq_unregister_tcl(), TCL_ERROR);
    EXPECT_EQ(standin::msg::internal_errors().size(), 2u);
    standin::atcl::set_interpreter_unavailable(false);
    EXPECT_EQ(package_present(), "") << "nothing was provided";
}

TEST_F(frame_test, the_factory_requires_the_package_and_builds_a_window_in_the_given_mode)
{
    sedq_sedq_unregister_tcl();
    std::unique_ptr<SEDQ_FRAME_WND> frame(sld_sedq_create_frame_wnd(QUI_FW_STATE_MAIN_WINDOW, &m_info));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->is_main_window());
    EXPECT_EQ(frame->parentWidget(), nullptr);
    EXPECT_EQ(package_present(), "1.0") << "the factory loads the package first";
    EXPECT_NE(frame->get_layout_widget(), nullptr);
    EXPECT_EQ(frame->centralWidget(), frame->get_layout_widget());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
