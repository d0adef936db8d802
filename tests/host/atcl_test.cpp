// Tcl-layer stand-in over the real Tcl library: command tables, unregistration and package
// require through a static package.
#include "host/atcl.h"
#include "host/msg.h"
#include "host/standin/atcl_control.h"
#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Answers with its command id (the row index handed as client data) and its argument count.
int echo_command(ClientData data, Tcl_Interp* interp, int argc, const char**)
{
    const std::string result = std::to_string(reinterpret_cast<intptr_t>(data)) + ":" + std::to_string(argc);
    Tcl_SetResult(interp, const_cast<char*>(result.c_str()), TCL_VOLATILE);
    return TCL_OK;
}

const ATCL_CALLBACK demo_callbacks[] = {
    {echo_command, "demo_first", 0},
    {echo_command, "demo_second", 0},
    {nullptr, nullptr, 0},
};

int demo_init_calls = 0;

int Demo_Init(Tcl_Interp* interp)
{
    ++demo_init_calls;
    atcl_begin_package_setup("::corvane::demo", "2.5", nullptr, nullptr, false);
    atcl_register_callbacks(demo_callbacks);
    atcl_end_package_setup();
    return Tcl_PkgProvideEx(interp, "::corvane::demo", "2.5", nullptr);
}

void register_demo_commands()
{
    atcl_begin_package_setup("::corvane::demo", "2.5", nullptr, nullptr, false);
    atcl_register_callbacks(demo_callbacks);
    EXPECT_EQ(atcl_end_package_setup(), TCL_OK);
}
} // namespace

TEST(atcl, one_interpreter_for_the_process)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    ASSERT_NE(interp, nullptr);
    EXPECT_EQ(atcl_get_interpreter(), interp);
    EXPECT_FALSE(atcl_is_dynamically_loading());
}

TEST(atcl, registered_commands_are_callable_qualified_and_unqualified)
{
    register_demo_commands();
    std::string result;
    EXPECT_EQ(standin::atcl::eval("::corvane::demo::demo_second a b", &result), TCL_OK) << result;
    EXPECT_EQ(result, "1:3");
    EXPECT_EQ(standin::atcl::eval("demo_first", &result), TCL_OK) << result;
    EXPECT_EQ(result, "0:1");
    EXPECT_EQ(standin::atcl::registered_commands(),
              (std::vector<std::string>{"::corvane::demo::demo_first", "::corvane::demo::demo_second"}));
}

TEST(atcl, unregistering_deletes_the_commands_and_forgets_the_package)
{
    register_demo_commands();
    Tcl_Interp* interp = atcl_get_interpreter();
    ASSERT_EQ(Tcl_PkgProvideEx(interp, "::corvane::demo", "2.5", nullptr), TCL_OK);
    atcl_begin_package_setup("::corvane::demo", "2.5", "demo_lib", "demo", true);
    EXPECT_EQ(atcl_unregister_package(interp), TCL_OK);
    atcl_end_package_setup();
    std::string result;
    EXPECT_EQ(standin::atcl::eval("demo_first", &result), TCL_ERROR);
    EXPECT_EQ(standin::atcl::eval("::corvane::demo::demo_second", &result), TCL_ERROR);
    EXPECT_EQ(standin::atcl::eval("package present ::corvane::demo", &result), TCL_ERROR);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(atcl, package_require_loads_the_static_package_once)
{
    static bool registered = false;
    if (!registered)
        Tcl_StaticPackage(nullptr, "Demo", Demo_Init, nullptr);
    registered = true;
    demo_init_calls = 0;
    Tcl_Interp* interp = atcl_get_interpreter();
    EXPECT_EQ(atcl_package_require(interp, "demo", nullptr, false, true), TCL_OK);
    EXPECT_EQ(atcl_package_require(interp, "demo", "2.5", true, true), TCL_OK);
    EXPECT_EQ(demo_init_calls, 1);
    std::string result;
    EXPECT_EQ(standin::atcl::eval("demo_first", &result), TCL_OK);
    EXPECT_EQ(atcl_package_require(interp, "no_such_package", nullptr, false, true), TCL_ERROR);
    EXPECT_EQ(atcl_package_require(nullptr, "demo", nullptr, false, true), TCL_ERROR);
}

TEST(atcl, registering_outside_a_setup_is_refused)
{
    atcl_register_callbacks(demo_callbacks);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].module, "HOST");
    std::string result;
    EXPECT_EQ(standin::atcl::eval("demo_first", &result), TCL_ERROR);
}

// A location schema made for a script lives as long as a Tcl value names it: the result, a
// variable, a copy, a list element. Then it is freed and its name finds nothing.
TEST(atcl, an_owned_handle_is_freed_with_the_last_value_that_names_it)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    Tcl_CreateCommand(interp, "make_schema", MSG_LOCATION_SCHEMA::from_tcl_string, nullptr, nullptr);
    const int before = standin::msg::live_location_schemas();
    ASSERT_EQ(standin::atcl::eval("set h [make_schema top ctrl|irq]; set kept [list $h]; set h", nullptr), TCL_OK);
    const std::string name = Tcl_GetStringResult(interp);
    auto* schema = static_cast<MSG_GEN_LOCATION_SCHEMA*>(atcl_get_ptr(interp, name.c_str()));
    ASSERT_NE(schema, nullptr);
    EXPECT_EQ(schema->get_node_count(), 1);
    const struct
    {
        const char* script;
        int live; // schemas held after it, above those before
    } steps[] = {{"unset h", 1}, {"set copy [lindex $kept 0]; unset kept", 1}, {"unset copy", 0}};
    for (const auto& step : steps)
    {
        ASSERT_EQ(standin::atcl::eval(step.script, nullptr), TCL_OK) << step.script;
        Tcl_ResetResult(interp);
        EXPECT_EQ(standin::msg::live_location_schemas() - before, step.live) << step.script;
        EXPECT_EQ(atcl_get_ptr(interp, name.c_str()) != nullptr, step.live == 1) << step.script;
    }
    // Made in a loop and never kept: nothing stays.
    ASSERT_EQ(standin::atcl::eval("for {set i 0} {$i < 1000} {incr i} {make_schema top n$i}", nullptr), TCL_OK);
    Tcl_ResetResult(interp);
    EXPECT_EQ(standin::msg::live_location_schemas(), before);
}
