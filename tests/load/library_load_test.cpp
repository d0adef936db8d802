// The library loaded the way the host loads it: dlopen after the QApplication exists, a look
// at its load-time globals through dlsym, and dlclose, all under the sanitizers.
#include "host/atcl.h"
#include "host/standin/atcl_control.h"
#include "host/standin/mem_control.h"
#include "host/standin/msg_control.h"
#include "host/qui.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <set>
#include <string>

namespace
{
const char* const status_names[] = {"NO_INSTANCES",
                                    "NO_NODES",
                                    "READY_TO_ACQUIRE",
                                    "NOT_RUNNING",
                                    "ACQUISITION_IN_PROGRESS",
                                    "WAITING_FOR_CLOCK",
                                    "COMPILE_DESIGN",
                                    "RECOMPILE_DESIGN",
                                    "REROUTE_DESIGN",
                                    "PROGRAM_DEVICE",
                                    "ACQUIRING_PRE_TRIGGER_DATA",
                                    "ACQUIRING_POST_TRIGGER_DATA",
                                    "OFFLOADING_DATA",
                                    "WAITING_FOR_TRIGGER",
                                    "TRIGGER_IN_MET",
                                    "TRIGGER_LEVEL",
                                    "INVALID_JTAG_CONFIGURATION",
                                    "JTAG_COMMUNICATION_ERROR",
                                    "JTAG_COMMUNICATION_BUSY",
                                    "WAITING_FOR_JTAG",
                                    "POWERUP_WAITING_FOR_CLOCK",
                                    "POWERUP_WAITING_FOR_TRIGGER",
                                    "POWERUP_ACQUIRING_PRE_TRIGGER_DATA",
                                    "POWERUP_ACQUIRING_POST_TRIGGER_DATA",
                                    "POWERUP_OFFLOADING_DATA",
                                    "JTAG_ERR_VERSION_DIFF",
                                    "JTAG_ERR_VERSION_MISMATCH",
                                    "JTAG_ERR_NO_HARDWARE",
                                    "JTAG_ERR_HANDWARE_CHANGED",
                                    "JTAG_ERR_HANDWARE_BUSY",
                                    "JTAG_ERR_NO_SLD_NODE",
                                    "JTAG_ERR_JTAG_ERROR",
                                    "JTAG_ERR_SOF_INCOMPATIBLE"};

const char* const parameter_names[] = {"PATTERN",
                                       "BUS_VALUE",
                                       "BUS_NAME",
                                       "COMPARISON_TYPE",
                                       "SIGNED_COMPARISON_TYPE",
                                       "BIT_VALUE",
                                       "SHIFT_TYPE",
                                       "SHIFT_DIRECTION",
                                       "SHIFT_DISTANCE",
                                       "BUS_DISPLAY_FORMAT",
                                       "BIT_ORDER",
                                       "PIPELINE",
                                       "DATA_DELAY",
                                       "BITWISE_OPERATOR_TYPE",
                                       "LOGICAL_OPERATOR_TYPE",
                                       "REDUCTION_OPERATOR_TYPE",
                                       "COUNTER_TYPE",
                                       "COUNTER_WIDTH",
                                       "COUNTER_VALUE",
                                       "COUNTER_HOLD",
                                       "MODULE_NAME",
                                       "BITSTREAM"};

// Ids of the status and parameter messages that can be suppressed (the I messages).
const unsigned int suppressible_ids[] = {
    268028, 268029, 268031, 268032, 268033, 268037, 268034, 14992,  268035, 268036, 268038, 268039,
    268040, 268041, 268047, 268048, 268030, 268057, 268058, 268049, 268042, 268043, 268044, 268045,
    268046, 268083, 268084, 268085, 268086, 268087, 268088, 14761,  14762,  268089, 268090, 268091,
    268092, 268093, 268094, 268095, 268096, 268097, 268098, 268099, 268100, 268101, 268102};

// Itanium mangling of a static data member: _ZN <len>CLASS <len>MEMBER E.
std::string member_symbol(const std::string& class_name, const std::string& member)
{
    return "_ZN" + std::to_string(class_name.size()) + class_name + std::to_string(member.size()) + member +
           "E";
}

const QString* string_symbol(void* library, const std::string& symbol)
{
    return static_cast<const QString*>(dlsym(library, symbol.c_str()));
}

bool module_is_live(const std::string& module)
{
    const auto modules = standin::mem::live_modules();
    return std::find(modules.begin(), modules.end(), module) != modules.end();
}

std::string package_present()
{
    std::string result;
    return standin::atcl::eval("package present ::corvane::sedq", &result) == TCL_OK ? result : "";
}

// Copies into std::string: nothing of the library may be held once it is closed.
void expect_distinct_non_empty(void* library, const std::string& class_name, const char* const* names,
                               int count, const std::string& prefix)
{
    std::set<std::string> seen;
    for (int i = 0; i < count; ++i)
    {
        const std::string symbol = member_symbol(class_name, prefix + names[i] + "_STR");
        const QString* text = string_symbol(library, symbol);
        ASSERT_NE(text, nullptr) << symbol;
        EXPECT_FALSE(text->isEmpty()) << symbol;
        EXPECT_TRUE(seen.insert(text->toStdString()).second) << symbol;
    }
}
template <typename FUNCTION> FUNCTION library_function(void* library, const char* symbol)
{
    return reinterpret_cast<FUNCTION>(dlsym(library, symbol));
}

// Grows the library's process-wide bus scratch buffer and runs a float parse through its bus
// values, as the waveform view does, so that the unload has storage of its own to give back.
// The objects live in raw storage (this test does not see the library's headers) and are left
// without their destructors, which free nothing.
void use_bus_and_number(void* library)
{
    using bus_constructor = void (*)(void*, int, int);
    using number_constructor = void (*)(void*, const QString&);
    using number_conversion = const char* (*)(void*);
    const auto make_bus = library_function<bus_constructor>(library, "_ZN8SEDQ_BUSC1Eii");
    const auto make_number = library_function<number_constructor>(library, "_ZN11SEDQ_NUMBERC1ERK7QString");
    const auto to_float = library_function<number_conversion>(library, "_ZN11SEDQ_NUMBER15string_to_floatEv");
    ASSERT_NE(make_bus, nullptr);
    ASSERT_NE(make_number, nullptr);
    ASSERT_NE(to_float, nullptr);
    alignas(16) unsigned char bus[256];
    make_bus(bus, 64, 1024);
    alignas(16) unsigned char number[256];
    const QString typed("1.5");
    make_number(number, typed);
    EXPECT_EQ(std::string(to_float(number)), "00111111110000000000000000000000");
}

// The first meta-type id not registered yet: ids are handed out in order.
int next_meta_type_id()
{
    int id = QMetaType::User;
    while (QMetaType::isRegistered(id))
        ++id;
    return id;
}

// Opens an editor window the way the host does, closes it, unloads the library, and then uses
// every meta-type registered meanwhile. A type whose helpers were the library's calls into
// unmapped code: the process dies instead of ending with 0.
[[noreturn]] void use_the_meta_types_registered_while_loaded()
{
    using create_frame = QUI_FRAME_WND* (*)(QUI_FW_STATE_ENUM, QUI_FRAME_INFO*);
    const int first = next_meta_type_id();
    void* library = dlopen(SEDQ_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto create = library ? library_function<create_frame>(library, "sld_sedq_create_frame_wnd") : nullptr;
    if (create == nullptr)
        _exit(2);
    {
        QUI_FRAME_INFO info;
        QUI_FRAME_WND* frame = create(QUI_FW_STATE_ATTACHED, &info);
        frame->new_file();
        frame->show();
        QCoreApplication::processEvents();
        delete frame;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (dlclose(library) != 0 || dlopen(SEDQ_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD) != nullptr)
        _exit(3);
    for (int id = first; QMetaType::isRegistered(id); ++id)
        QMetaType::destroy(id, QMetaType::create(id));
    _exit(0); // no exit-time leak check in the child: the parent judges by the code alone
}

bool has_leaks()
{
#if defined(__SANITIZE_ADDRESS__)
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}
} // namespace

TEST(library_load, loads_with_texts_built_despite_suppression_and_unloads_cleanly)
{
    for (unsigned int id : suppressible_ids)
        standin::msg::suppress(id);
    const size_t registered_before = standin::msg::registered_ids().size();

    void* library = dlopen(SEDQ_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    EXPECT_TRUE(module_is_live("SEDQ"));
    EXPECT_EQ(standin::msg::registered_ids().size(), registered_before + 75);

    expect_distinct_non_empty(library, "SEDQ_INSTANCE_WIDGET", status_names, 33, "SEDQ_");
    expect_distinct_non_empty(library, "SEDQ_PARAMETER_SETTING_VIEW", parameter_names, 22, "SEDQ_PARAMETER_");
    const QString* not_running =
        string_symbol(library, member_symbol("SEDQ_INSTANCE_WIDGET", "SEDQ_NOT_RUNNING_STR"));
    ASSERT_NE(not_running, nullptr);
    EXPECT_EQ(not_running->toStdString(), "Not running");
    const QString* allow_all = string_symbol(library, "SEDQ_LOCK_MODE_ALLOW_ALL_STRING");
    ASSERT_NE(allow_all, nullptr);
    EXPECT_EQ(allow_all->toStdString(), "Allow all changes");

    // The static package answers the host's package require once the library is in.
    EXPECT_EQ(atcl_package_require(atcl_get_interpreter(), "sedq", nullptr, true, true), TCL_OK);
    EXPECT_EQ(package_present(), "1.0");

    ASSERT_EQ(dlclose(library), 0) << dlerror();
    EXPECT_EQ(dlopen(SEDQ_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library stayed mapped";
    EXPECT_FALSE(module_is_live("SEDQ"));
    EXPECT_EQ(package_present(), "") << "unload must withdraw the package";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(library_load, unload_frees_the_storage_the_library_grew)
{
    void* library = dlopen(SEDQ_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    use_bus_and_number(library);
    ASSERT_EQ(dlclose(library), 0) << dlerror();
    EXPECT_FALSE(has_leaks()) << "the library left memory behind when it was unloaded";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The host loads and unloads the library more than once per process; nothing the library
// registers with Qt's type system may be left pointing into it.
TEST(library_load, no_meta_type_registered_by_the_library_outlives_its_unload)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(use_the_meta_types_registered_while_loaded(), ::testing::ExitedWithCode(0), "");
}
