// The Tcl package's commands through the real interpreter: argument resolution and parsing,
// the follow-up steps they announce, and the demo script in the host application.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/atcl.h"
#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/atcl_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/sdr_control.h"
#include "host/standin/standin.h"
#include "host/standin/tst_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "host/qui.h"
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/tcl/sedq_tcl_args_auto.h"
#include "sedq/tcl/sedq_test_object_widget.h"
#include "host/afcq.h"
#include "support/demo_files.h"
#include "support/special_files.h"

#include <QAction>
#include <QComboBox>
#include <QTabWidget>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include "sedq/model/sedq_repository.h"

namespace
{
struct resolution
{
    SEDQ_AUTO_COMMAND command;
    const char* word;
    int id;
};

TEST(sedq_tcl_arguments, words_resolve_exactly_or_by_a_unique_prefix_of_the_command)
{
    const resolution cases[] = {
        {SEDQ_CMD_ON_TIME_UNITS_DIALOG, "time", SEDQ_AUTO_ARG_TIME},
        {SEDQ_CMD_ON_TIME_UNITS_DIALOG, "time_u", SEDQ_AUTO_ARG_TIME_UNIT_INDEX},
        {SEDQ_CMD_ON_TIME_UNITS_DIALOG, "ti", SEDQ_AUTO_ARG_NONE},
        {SEDQ_CMD_FIND, "d", SEDQ_AUTO_ARG_DIRECTION},
        {SEDQ_CMD_FIND, "f", SEDQ_AUTO_ARG_FIND_STRING},
        {SEDQ_CMD_FIND, "time", SEDQ_AUTO_ARG_NONE},
        {SEDQ_CMD_FIND, "D", SEDQ_AUTO_ARG_NONE},
        {SEDQ_CMD_ON_MNEMONIC_DIALOG, "entry_r", SEDQ_AUTO_ARG_NONE},
        {SEDQ_CMD_ON_MNEMONIC_DIALOG, "entry_ra", SEDQ_AUTO_ARG_ENTRY_RADIX},
        {SEDQ_CMD_ON_MNEMONIC_DIALOG, "t", SEDQ_AUTO_ARG_NONE},
        {SEDQ_CMD_UNDO_VIEW, "l", SEDQ_AUTO_ARG_LONG_HELP},
    };
    for (const resolution& c : cases)
        EXPECT_EQ(sedq_auto_command_definitions[c.command].get_id(c.word), c.id) << c.command << " " << c.word;
    for (int command = 0; command < SEDQ_CMD_COUNT; ++command)
    {
        const ATCL_ARG_ID_FUNCTION resolve = sedq_auto_command_definitions[command].get_id;
        EXPECT_EQ(resolve("h"), SEDQ_AUTO_ARG_H) << command;
        EXPECT_EQ(resolve("he"), SEDQ_AUTO_ARG_HELP) << command;
        EXPECT_EQ(resolve("long_h"), SEDQ_AUTO_ARG_LONG_HELP) << command;
        EXPECT_EQ(resolve(""), SEDQ_AUTO_ARG_EMPTY_WORD) << command;
        EXPECT_EQ(resolve(nullptr), SEDQ_AUTO_ARG_EMPTY_WORD) << command;
    }
    EXPECT_EQ(sedq_auto_abbreviation_count(SEDQ_CMD_UNDO_VIEW), 10);
    EXPECT_EQ(sedq_auto_abbreviation_count(SEDQ_CMD_FIND), 28);
    EXPECT_EQ(sedq_auto_abbreviation_count(SEDQ_CMD_ON_MNEMONIC_DIALOG), 51);
}

// The package as a script sees it, in a fresh interpreter without any window.
class sedq_tcl_commands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(atcl_package_require(atcl_get_interpreter(), "sedq", "1.0", false, false), TCL_OK);
        standin::clear_calls();
    }

    std::vector<std::string> prepared() const
    {
        std::vector<std::string> found;
        for (const std::string& call : standin::calls())
            if (call.rfind("qui:qui_prepare_for_modal_dlg_if_in_test(", 0) == 0)
                found.push_back(call);
        return found;
    }
};

TEST_F(sedq_tcl_commands, a_wrong_argument_is_a_tcl_error_and_runs_no_step)
{
    const struct
    {
        const char* script;
        const char* message;
    } cases[] = {
        {"sedq_find -time 1 -find_string a", "unknown argument \"-time\""},
        {"sedq_find -direction 1 -find_strin", "missing value of -find_string"},
        {"sedq_find -direction 1", "missing argument -find_string"},
        {"sedq_find -direction up -find_string a", "wants an unsigned integer"},
        {"sedq_find -direction -1 -find_string a", "wants an unsigned integer"},
        {"sedq_find -direction 4294967296 -find_string a", "wants an unsigned integer"},
        {"sedq_switch_to_advanced_view -combobox_type three", "wants an integer"},
        {"sedq_on_mnemonic_dialog -action {add table} -tabel_name T1", "unknown argument \"-tabel_name\""},
        {"sedq_on_mnemonic_dialog -action {add table} table_name T1", "unknown argument \"table_name\""},
        {"sedq_add_node -filename a -nodename", "missing value of -nodename"},
        {"sedq_test_advanced_menu_actions -action {Select All} -x 1 -y 1",
         "sedq_test_advanced_menu_actions: the advanced trigger canvas's context menu has no entry \"Select All\""},
        {"sedq_test_advanced_menu_actions -action Detach -x 1 -y 1", "has no entry \"Detach\""},
    };
    for (const auto& c : cases)
    {
        std::string result;
        EXPECT_EQ(standin::atcl::eval(c.script, &result), TCL_ERROR) << c.script;
        EXPECT_NE(result.find(c.message), std::string::npos) << c.script << ": " << result;
    }
    EXPECT_TRUE(prepared().empty());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(sedq_tcl_commands, the_help_switches_give_the_usage_of_every_command_and_run_nothing)
{
    for (int command = 0; command < SEDQ_CMD_COUNT; ++command)
        for (const char* word : {" -h", " -help", " -he", " -long_help"})
        {
            const std::string name = sedq_auto_commands[size_t(command)].name;
            std::string result;
            EXPECT_EQ(standin::atcl::eval(name + word, &result), TCL_OK) << name << word;
            EXPECT_EQ(result.rfind("Usage: " + name, 0), 0u) << result;
        }
    std::string usage;
    standin::atcl::eval("sedq_find -h", &usage);
    EXPECT_EQ(usage, "Usage: sedq_find -direction <unsigned> -find_string <string>");
    standin::atcl::eval("sedq_set_active -h", &usage);
    EXPECT_EQ(usage, "Usage: sedq_set_active [-log_name <string>] [-signal_set_name <string>] "
                     "[-trigger_name <string>]");
    EXPECT_TRUE(prepared().empty());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(sedq_tcl_commands, steps_announce_their_follow_up_with_each_value_one_quoted_word)
{
    const struct
    {
        const char* script;
        const char* follow_up;
    } cases[] = {
        {"sedq_dlg_trigger_add_table_dialog -table_width 8 -table_name T1",
         "sedq_dlg_trigger_add_table_dialog_accept -table_name \"T1\" -table_width \"8\""},
        {"sedq_dlg_trigger_add_table_dialog", "sedq_dlg_trigger_add_table_dialog_accept -table_name \"\" -table_width \"\""},
        {"sedq_dlg_trigger_add_table_dialog -table_n {a\"b}",
         "sedq_dlg_trigger_add_table_dialog_accept -table_name \"a\\\"b\" -table_width \"\""},
        {"sedq_dlg_trigger_add_table_dialog -table_n {T$x} -table_w {[set y 5]}",
         "sedq_dlg_trigger_add_table_dialog_accept -table_name \"T\\$x\" -table_width \"\\[set y 5\\]\""},
        {"sedq_dlg_trigger_add_table_dialog -table_n {a\\b{c} d}",
         "sedq_dlg_trigger_add_table_dialog_accept -table_name \"a\\\\b{c} d\" -table_width \"\""},
        {"sedq_dlg_trigger_add_entry_dialog -entry_m m -entry_v FF -entry_ra 2",
         "sedq_dlg_trigger_add_entry_dialog_accept -entry_value \"FF\" -entry_radix \"2\" -entry_mnemonic \"m\""},
        {"sedq_on_mnemonic_dialog -action {add table} -table_name T1 -table_width 8",
         "sedq_dlg_trigger_add_table_dialog -table_name \"T1\" -table_width \"8\""},
        {"sedq_on_mnemonic_dialog -action {import file} -import_filename x.vtl",
         "sedq_dlg_trigger_file_dialog -import_filename \"x.vtl\""},
        {"sedq_on_mnemonic_dialog -action {delete table}", "sedq_dlg_trigger_delete_table"},
        {"sedq_on_mnemonic_dialog -action {delete entry} -entry_row 3", "sedq_dlg_trigger_delete_entry -entry_row \"3\""},
        {"sedq_on_mnemonic_dialog -action rename", ""},
        {"sedq_dlg_trigger_file_dialog_accept -import_filename x.vtl", "sedq_dlg_trigger_import_dialog_accept"},
        {"sedq_on_time_units_dialog -time_u 2 -time 10", "sedq_dlg_trigger_time_units_dialog -time \"10\" -time_unit_index \"2\""},
        {"sedq_on_insert_time_bar_dialog -s 5",
         "sedq_dlg_trigger_insert_time_bar_dialog -time \"\" -time_unit_index \"\" -sample_number \"5\""},
        {"sedq_find -d 2 -f abc", "sedq_dlg_trigger_find_dialog"},
        {"sedq_on_property_dialog -x 1 -y 2", "sedq_dlg_trigger_property_dialog"},
        {"sedq_test_advanced_menu_actions -action properties -x 1 -y 2", "sedq_dlg_trigger_property_dialog_accept"},
        {"sedq_test_advanced_menu_actions -action insert -x 1 -y 2", "sedq_dlg_trigger_property_dialog_insert"},
        {"sedq_test_advanced_menu_actions -action append -x 1 -y 2", "sedq_dlg_trigger_property_dialog_insert"},
        {"sedq_test_advanced_menu_actions -action detach -x 1 -y 2", ""},
        {"sedq_on_advanced_key_press -keyboard_key Enter -keyboard_modifier 1", "sedq_dlg_trigger_property_dialog_accept"},
        {"sedq_on_advanced_key_press -keyboard_key Enter -keyboard_modifier 3", ""},
        {"sedq_on_advanced_key_press -keyboard_key I -keyboard_modifier 5", "sedq_dlg_trigger_property_dialog_insert"},
        {"sedq_on_advanced_key_press -keyboard_key A -keyboard_modifier 1", "sedq_dlg_trigger_property_dialog_insert"},
        {"sedq_on_advanced_key_press -keyboard_key a -keyboard_modifier 1", ""},
    };
    for (const auto& c : cases)
    {
        standin::clear_calls();
        standin::atcl::eval(c.script, nullptr);
        EXPECT_EQ(prepared(), std::vector<std::string>{"qui:qui_prepare_for_modal_dlg_if_in_test(\"" +
                                                       std::string(c.follow_up) + "\",1000)"})
            << c.script;
    }
}

// Whatever a value holds, the follow-up read as a Tcl command gives it back as one word.
TEST_F(sedq_tcl_commands, a_follow_up_hands_every_value_back_as_it_was_given)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    for (const char* value : {"T$x", "T[set y 5]", "a\"b", "a\\b{c} d", "two\nlines", "}{", ""})
    {
        standin::clear_calls();
        Tcl_SetVar(interp, "value", value, TCL_GLOBAL_ONLY);
        standin::atcl::eval("sedq_dlg_trigger_add_table_dialog -table_name $value -table_width 8", nullptr);
        ASSERT_EQ(prepared().size(), 1u) << value;
        const std::string call = prepared()[0];
        const std::string prefix = "qui:qui_prepare_for_modal_dlg_if_in_test(\"";
        const std::string follow_up = call.substr(prefix.size(), call.size() - prefix.size() - std::string("\",1000)").size());
        int count = 0;
        const char** words = nullptr;
        ASSERT_EQ(Tcl_SplitList(interp, follow_up.c_str(), &count, &words), TCL_OK) << follow_up;
        ASSERT_EQ(count, 5) << follow_up;
        EXPECT_STREQ(words[2], value) << follow_up;
        EXPECT_STREQ(words[4], "8") << follow_up;
        Tcl_Free(reinterpret_cast<char*>(words));
    }
}

TEST_F(sedq_tcl_commands, accepting_the_properties_answers_one_and_touches_no_window)
{
    std::string result = "untouched";
    EXPECT_EQ(standin::atcl::eval("sedq_dlg_trigger_property_dialog_accept", &result), TCL_OK);
    EXPECT_EQ(result, "1");
    EXPECT_TRUE(prepared().empty());
    EXPECT_TRUE(standin::msg::internal_errors().empty()) << "no window was looked for";
}

TEST(sedq_tcl_canvas_tables, key_names_modifier_numbers_and_menu_names_map_exactly)
{
    const struct
    {
        const char* name;
        Qt::Key key;
    } keys[] = {{"D", Qt::Key_D},         {"I", Qt::Key_I},          {"R", Qt::Key_R},
                {"A", Qt::Key_A},         {"Up", Qt::Key_Up},        {"Down", Qt::Key_Down},
                {"Left", Qt::Key_Left},   {"Right", Qt::Key_Right},  {"Enter", Qt::Key_Enter},
                {"x", Qt::Key_Escape},    {"d", Qt::Key_Escape},     {"enter", Qt::Key_Escape},
                {"", Qt::Key_Escape},     {"Up ", Qt::Key_Escape},   {"Return", Qt::Key_Escape}};
    for (const auto& c : keys)
        EXPECT_EQ(SEDQ_TEST_OBJECT_WIDGET::key_for_name(c.name), c.key) << c.name;

    const struct
    {
        unsigned int number;
        Qt::KeyboardModifiers modifiers;
    } modifiers[] = {{0, Qt::ControlModifier}, {1, Qt::NoModifier},      {2, Qt::ShiftModifier},
                     {3, Qt::AltModifier},     {4, Qt::ControlModifier}, {5, Qt::ControlModifier}};
    for (const auto& c : modifiers)
        EXPECT_EQ(SEDQ_TEST_OBJECT_WIDGET::modifiers_for_number(c.number), c.modifiers) << c.number;

    const struct
    {
        const char* name;
        int action;
    } menu[] = {{"arrange all objects", AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION},
                {"detach", AFCQ_SEDQ_OBJECT_DETACH_ACTION},
                {"insert", AFCQ_SEDQ_OBJECT_INSERT_ACTION},
                {"remove", AFCQ_SEDQ_OBJECT_REMOVE_ACTION},
                {"append", AFCQ_SEDQ_OBJECT_APPEND_ACTION},
                {"move up", AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION},
                {"move down", AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION},
                {"expand", AFCQ_SEDQ_OBJECT_EXPAND_ACTION},
                {"collapse", AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION},
                {"properties", AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION},
                {"Properties", AFCQ_ACTION_NONE},
                {"rename", AFCQ_ACTION_NONE},
                {"select all", AFCQ_ACTION_NONE}};
    for (const auto& c : menu)
        EXPECT_EQ(SEDQ_TEST_OBJECT_WIDGET::menu_action(c.name), c.action) << c.name;
}

TEST_F(sedq_tcl_commands, a_schema_that_names_no_source_is_reported_and_the_call_succeeds)
{
    for (const char* script : {"sedq_do_locate -schema {}", "sedq_do_locate -schema \"\\{unbalanced\""})
    {
        standin::msg::clear_internal_errors();
        EXPECT_EQ(standin::atcl::eval(script, nullptr), TCL_OK) << script;
        ASSERT_EQ(standin::msg::internal_errors().size(), 1u) << script;
        EXPECT_EQ(standin::msg::internal_errors()[0].expression, "schema != NULL");
    }
}

// A script that locates in a loop keeps no schema per call.
TEST_F(sedq_tcl_commands, locating_in_a_loop_keeps_no_schema_behind)
{
    const int before = standin::msg::live_location_schemas();
    EXPECT_EQ(standin::atcl::eval("for {set i 0} {$i < 500} {incr i} {sedq_do_locate -schema [list nowhere.vtl n$i]}",
                                  nullptr),
              TCL_OK);
    EXPECT_EQ(standin::msg::live_location_schemas(), before);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// ---- the host application --------------------------------------------------------------------

QString write_script(const QTemporaryDir& dir, const QString& text)
{
    const QString path = dir.filePath("steps.tcl");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
    return path;
}

VANTREL_OPTIONS options_for(const QString& document, const QString& script)
{
    VANTREL_OPTIONS options;
    options.library = SEDQ_LIBRARY_PATH;
    options.batch = true;
    options.size = QSize(640, 480);
    options.file = document;
    options.script = script;
    return options;
}

SEDQ_FRAME_WND* analyzer_window()
{
    for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
        if (auto* window = qobject_cast<SEDQ_FRAME_WND*>(frame))
            return window;
    return nullptr;
}

QStringList table_names(SEDQ_FRAME_WND* window)
{
    QStringList names;
    const SDR_DATA_MNEMONICS* tables = window->get_tx_manager()->get_tx_session()->get_data_session()->get_mnemonics();
    for (int i = 0; tables && i < tables->get_num_tables(); ++i)
        names << QString::fromUtf8(tables->get_table(i)->get_content().name) + "/" +
                     QString::number(tables->get_table(i)->get_content().width);
    return names;
}

// Starts `host`; the analyzer window it opened, or null with the failure recorded.
SEDQ_FRAME_WND* start_window(VANTREL_HOST& host)
{
    QString error;
    EXPECT_TRUE(host.start(&error)) << error.toStdString();
    return analyzer_window();
}

QStringList node_names(SEDQ_FRAME_WND* window)
{
    QStringList nodes;
    const SDR_TX_SIGNAL_NODES* list = window->get_tx_manager()->get_signal_nodes(-1);
    for (int row = 0; list && row < list->get_num_nodes(); ++row)
        nodes << QString::fromLocal8Bit(list->get_node_name(row));
    return nodes;
}

TEST(sedq_tcl_host, the_demo_script_adds_a_table_and_a_node_and_marks_the_document_modified)
{
    for (bool main_window : {false, true})
    {
        QTemporaryDir dir;
        const QString document = sedq_copy_demo_project(dir);
        const QString script = write_script(
            dir, "sedq_on_mnemonic_dialog -action \"add table\" -table_name T1 -table_width 8\n"
                 "sedq_add_node -filename [file normalize " + document + "] -nodename \"ctrl|done\"\n"
                 "sedq_add_node -filename [string toupper [file normalize " + document + "]] -nodename \"ctrl|irq\"\n");
        VANTREL_OPTIONS options = options_for(document, script);
        options.main_window = main_window;
        VANTREL_HOST host(options);
        SEDQ_FRAME_WND* window = start_window(host);
        ASSERT_NE(window, nullptr);
        const QStringList before = node_names(window);
        for (int turn = 0; turn < 5; ++turn) // the script runs once the window is up
            QCoreApplication::processEvents();
        EXPECT_TRUE(table_names(window).contains("T1 : width = 8/8")) << table_names(window).join(",").toStdString();
        const QStringList after = node_names(window);
        // The demo's list holds counter|wrap already; ctrl|done is a node of its design that it lacks.
        EXPECT_FALSE(before.contains("ctrl|done"));
        EXPECT_TRUE(after.contains("ctrl|done")) << after.join(",").toStdString();
        EXPECT_FALSE(after.contains("ctrl|irq")) << "a path in other letter case names no open window";
        std::string located = "untouched";
        EXPECT_EQ(standin::atcl::eval(("sedq_do_locate -schema [list [file normalize {" + document + "}] ctrl|irq]").toStdString(),
                                      &located),
                  TCL_OK);
        EXPECT_TRUE(node_names(window).contains("ctrl|irq")) << "the schema's source names the open window";
        EXPECT_EQ(located, "") << "locating leaves the script's result alone";
        EXPECT_TRUE(window->isWindowModified());
        EXPECT_TRUE(standin::msg::internal_errors().empty());
    }
}

// A node the file could not store is refused where the script adds it: a Tcl error with the
// reason, the list as it was, no message box; a name at the limit is added, saves and opens again.
TEST(sedq_tcl_host, a_node_name_longer_than_a_file_stores_is_a_tcl_error_with_the_reason)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    VANTREL_HOST host(options_for(document, QString()));
    SEDQ_FRAME_WND* window = start_window(host);
    ASSERT_NE(window, nullptr);
    const QStringList before = node_names(window);
    const std::string add = "sedq_add_node -filename [file normalize {" + document.toStdString() + "}] -nodename ";
    std::string result;
    standin::msg::reset();
    EXPECT_EQ(standin::atcl::eval(add + "[string repeat x 8388609]", &result), TCL_ERROR);
    EXPECT_EQ(result, "sedq_add_node: the node name of 8388609 bytes is longer than the 8388608 bytes a text of an "
                      "analyzer file may take");
    EXPECT_EQ(node_names(window), before);
    EXPECT_TRUE(standin::msg::shown().empty()) << "the script hears of it, not a message box";
    EXPECT_EQ(standin::atcl::eval(add + "[string repeat y 8388608]", &result), TCL_OK) << result;
    EXPECT_EQ(node_names(window).size(), before.size() + 1);
    ASSERT_TRUE(window->save_file(document));
    std::string reason;
    EXPECT_NE(sdr_read_session_file(document.toStdString(), &reason), nullptr) << reason;
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// sedq_open_file of a file that cannot be opened (missing, no name, a FIFO, a socket, a device)
// is a Tcl error that says why, and leaves the window's document, its edit, its path and its
// modified mark as they were; the document still saves.
TEST(sedq_tcl_host, opening_a_file_that_cannot_be_opened_keeps_the_open_document)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    VANTREL_HOST host(options_for(document, QString()));
    SEDQ_FRAME_WND* window = start_window(host);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(standin::atcl::eval("sedq_add_node -filename [file normalize {" + document.toStdString() +
                                      "}] -nodename ctrl|done",
                                  nullptr),
              TCL_OK);
    const QStringList edited = node_names(window);
    const std::string path = window->get_file_path().fullpath();
    std::vector<std::pair<QString, std::string>> refused = {
        {dir.filePath("missing.vtl"), dir.filePath("missing.vtl").toStdString() + ": the file does not exist"},
        {QString(), "no file name is given"}};
    QDir(dir.path()).mkdir("special");
    for (const sedq_special_file& special : sedq_make_special_files(dir.filePath("special")))
        refused.emplace_back(special.path, special.path.toStdString() + ": " + special.reason);
    for (const auto& [file, reason] : refused)
    {
        SCOPED_TRACE(file.toStdString());
        std::string result;
        EXPECT_EQ(standin::atcl::eval("sedq_open_file -filename {" + file.toStdString() + "}", &result), TCL_ERROR);
        EXPECT_EQ(result, "sedq_open_file: " + reason);
        EXPECT_EQ(window->get_file_path().fullpath(), path);
        EXPECT_EQ(node_names(window), edited);
        EXPECT_TRUE(window->isWindowModified());
    }
    ASSERT_TRUE(window->save_file(document));
    std::string reason;
    auto saved = sdr_read_session_file(document.toStdString(), &reason);
    ASSERT_NE(saved, nullptr) << reason;
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// sedq_show_list_view wrote a name of bytes the local encoding cannot carry (a Tcl string holds
// them as given) under another name: the step is a Tcl error that says why, writing nothing.
TEST(sedq_tcl_host, a_list_file_name_the_local_encoding_cannot_carry_is_a_tcl_error)
{
    QTemporaryDir dir;
    VANTREL_HOST host(options_for(sedq_copy_demo_project(dir), QString()));
    ASSERT_NE(start_window(host), nullptr);
    std::string result;
    EXPECT_EQ(standin::atcl::eval("sedq_show_list_view -filename [encoding convertfrom identity {" +
                                      dir.filePath("list").toStdString() + "\xff.txt}]",
                                  &result),
              TCL_ERROR);
    EXPECT_EQ(result.rfind("sedq_show_list_view: the list file is not written: ", 0), 0u) << result;
    EXPECT_NE(result.find("the file name is not valid in the local character encoding"), std::string::npos) << result;
    EXPECT_TRUE(QDir(dir.path()).entryList({"list*"}).isEmpty());
}

// Steps on the node view and its dialogs, each answered by the step it announced.
TEST(sedq_tcl_host, view_steps_drive_the_view_and_answer_its_dialogs)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString script = write_script(dir, "sedq_check_locate_enable\n"
                                             "sedq_switch_to_advanced_view -combobox_type 0\n"
                                             "sedq_on_time_units_dialog -time 10 -time_unit_index 1\n");
    VANTREL_HOST host(options_for(document, script));
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
    const std::vector<std::string>& log = standin::msg::debug_log();
    const bool told = std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find("locate enabled") != std::string::npos || line.find("locate disabled") != std::string::npos;
    });
    EXPECT_TRUE(told);
    SEDQ_FRAME_WND* window = analyzer_window();
    ASSERT_NE(window, nullptr);
    QComboBox* selector = window->get_layout_widget()->get_view()->get_level_type_combo(0);
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->currentText(), "Advanced");
    const std::vector<standin::qui::response> answered = standin::qui::responses();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].command, "sedq_dlg_trigger_time_units_dialog -time \"10\" -time_unit_index \"1\"");
    EXPECT_EQ(answered[0].code, TCL_OK);
    EXPECT_EQ(answered[0].result, "1");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

struct binary_run
{
    int exit_code = -1;
    QString output;
    QString errors;
};

// Runs the built host program headless; the arguments follow the program name.
binary_run run_binary(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(QDir(QString(SEDQ_BINARY_DIR)).filePath("bin/vantrel"), arguments);
    binary_run run;
    if (!process.waitForFinished(120000))
        return run;
    run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray contents_of(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(sedq_tcl_host, the_binary_prints_the_usage_and_stops_at_a_misspelt_argument)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString script = write_script(
        dir, "puts [sedq_find -h]\nsedq_on_mnemonic_dialog -action \"add table\" -tabel_name T1\nputs unreachable\n");
    const binary_run run = run_binary({"--script", script, "--screenshot", dir.filePath("w.png"), document});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.output.contains("Usage: sedq_find -direction <unsigned> -find_string <string>")) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("unreachable"));
    EXPECT_TRUE(run.errors.contains("unknown argument \"-tabel_name\"")) << run.errors.toStdString();
}

// The mnemonic dialog's sequence as a user's script runs it in the host program: tables added
// through the dialog, the later one taken back by Undo, the earlier one taken back and restored,
// a design node added; --save-as writes what the window holds and ends the program. A script
// that stops at a misspelt argument saves nothing.
TEST(sedq_tcl_host, the_binary_saves_what_the_mnemonic_script_did)
{
    const QString steps = "sedq_on_mnemonic_dialog -action \"add table\" -table_name opcode -table_width 8\n"
                          "sedq_on_mnemonic_dialog -action \"add table\" -table_name scratch -table_width 4\n"
                          "sedq_undo_view\nsedq_undo_view\nsedq_redo_view\n"
                          "sedq_add_node -filename [file normalize %1] -nodename ctrl|done\n";
    const struct
    {
        const char* tail;
        int exit_code;
    } cases[] = {{"", 0}, {"sedq_on_mnemonic_dialog -action \"add table\" -tabel_name T2\n", 1}};
    for (const auto& c : cases)
    {
        QTemporaryDir dir;
        const QString document = sedq_copy_demo_project(dir);
        const QByteArray original = contents_of(document);
        const QString saved = dir.filePath("saved.vtl");
        const QString script = write_script(dir, steps.arg(document) + c.tail);
        const binary_run run = run_binary({"--script", script, "--save-as", saved, document});
        ASSERT_EQ(run.exit_code, c.exit_code) << c.tail << run.errors.toStdString();
        EXPECT_EQ(contents_of(document), original) << "the opened document stays as it was";
        if (c.exit_code != 0)
        {
            EXPECT_FALSE(QFileInfo::exists(saved)) << "a failed script saves nothing";
            continue;
        }
        VANTREL_HOST host(options_for(saved, QString()));
        SEDQ_FRAME_WND* window = start_window(host);
        ASSERT_NE(window, nullptr);
        const QStringList tables = table_names(window);
        EXPECT_TRUE(tables.contains("opcode : width = 8/8")) << tables.join(",").toStdString();
        EXPECT_TRUE(tables.filter("scratch").isEmpty()) << tables.join(",").toStdString();
        EXPECT_TRUE(node_names(window).contains("ctrl|done")) << node_names(window).join(",").toStdString();
        EXPECT_FALSE(window->isWindowModified());
    }
}

// Tables of any name and entries in any radix, added by a script through the mnemonic dialog
// as a user adds them: no value runs as Tcl, and each command keeps its own result.
TEST(sedq_tcl_host, a_script_fills_a_mnemonic_table_whatever_its_values_hold)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString script = write_script(
        dir, "set results [list [sedq_on_mnemonic_dialog -action {add table} -table_name {T$x} -table_width 8]]\n"
             "sedq_on_mnemonic_dialog -action {add table} -table_name {T[set y 5]} -table_width 8\n"
             "lappend results [sedq_on_mnemonic_dialog -action {add entry} -entry_value FF -entry_radix 0 "
             "-entry_mnemonic all]\n"
             "sedq_on_mnemonic_dialog -action {add entry} -entry_value 10 -entry_radix 1 -entry_mnemonic {ten [x]}\n"
             "set y_was_set [info exists y]\n");
    VANTREL_HOST host(options_for(document, script));
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
    SEDQ_FRAME_WND* window = analyzer_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(table_names(window), QStringList({"T$x : width = 8/8", "T[set y 5] : width = 8/8"}));
    const SDR_DATA_MNEMONICS* tables = window->get_tx_manager()->get_tx_session()->get_data_session()->get_mnemonics();
    ASSERT_GT(tables->get_num_tables(), 0);
    const auto& entries = tables->get_table(0)->get_content().entries;
    ASSERT_EQ(entries.size(), 2) << "the entries go to the table the dialog opens on";
    EXPECT_EQ(entries[0].pattern, "00001010");
    EXPECT_EQ(entries[0].symbol, "ten [x]");
    EXPECT_EQ(entries[1].pattern, "11111111");
    EXPECT_EQ(entries[1].symbol, "all");
    Tcl_Interp* interp = atcl_get_interpreter();
    EXPECT_STREQ(Tcl_GetVar(interp, "results", TCL_GLOBAL_ONLY), "{} {}") << "their own results, not the steps'";
    EXPECT_STREQ(Tcl_GetVar(interp, "y_was_set", TCL_GLOBAL_ONLY), "0") << "no value ran as a command";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// A step that cannot be done is a Tcl error that says why, also when the dialog's follow-up
// step is the one that fails; nothing is reported as an internal error.
TEST(sedq_tcl_host, steps_that_cannot_be_done_are_tcl_errors_with_the_reason)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    VANTREL_HOST host(options_for(document, QString()));
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    standin::tst::set_regtest_mode(true);
    ASSERT_EQ(standin::atcl::eval("sedq_on_mnemonic_dialog -action {add table} -table_name T -table_width 4", nullptr),
              TCL_OK);
    const struct
    {
        const char* script;
        const char* message;
    } cases[] = {
        {"sedq_set_active -signal_set_name nowhere",
         "sedq_set_active: the current instance has no signal set \"nowhere\""},
        {"sedq_set_active -trigger_name nowhere", "sedq_set_active: the current instance has no trigger \"nowhere\""},
        {"sedq_set_active -log_name nowhere", "sedq_set_active: the current instance has no log \"nowhere\""},
        {"sedq_set_storage_qualifier -type -1",
         "sedq_set_storage_qualifier: -type \"-1\" is no storage qualifier type; the types are \"Continuous\", "
         "\"Input port\", \"Transitional\", \"Conditional\", \"Start/Stop\", \"State-based\""},
        {"sedq_set_storage_qualifier -type 99999999999999999999", "-type \"99999999999999999999\" is no storage"},
        {"sedq_set_storage_qualifier", "-type \"\" is no storage qualifier type"},
        {"sedq_on_mnemonic_dialog -action {delete entry} -entry_row -1",
         "sedq_on_mnemonic_dialog: sedq_dlg_trigger_delete_entry: table \"T : width = 4\" has no entry row \"-1\" "
         "(it has 0)"},
        {"sedq_dlg_trigger_delete_entry -entry_row 0", "sedq_dlg_trigger_delete_entry: no Mnemonic Table Setup dialog is open"},
        {"sedq_on_mnemonic_dialog -action {add entry} -entry_value 7 -entry_radix 16 -entry_mnemonic m",
         "-entry_radix \"16\" is no entry of the radix list (0 to 8)"},
        {"sedq_on_mnemonic_dialog -action {add entry} -entry_value F -entry_radix 2 -entry_mnemonic m",
         "the Add Entry dialog did not take the entry"},
    };
    for (const auto& c : cases)
    {
        standin::msg::clear_internal_errors();
        std::string result;
        EXPECT_EQ(standin::atcl::eval(c.script, &result), TCL_ERROR) << c.script;
        EXPECT_NE(result.find(c.message), std::string::npos) << c.script << ": " << result;
        const bool reported = !standin::msg::internal_errors().empty();
        EXPECT_EQ(reported, std::string(c.script).rfind("sedq_dlg_trigger", 0) == 0)
            << c.script << ": only a step without its dialog is a broken precondition";
    }
    for (const char* script : {"sedq_set_storage_qualifier -type Conditional", "sedq_set_active"})
        EXPECT_EQ(standin::atcl::eval(script, nullptr), TCL_OK) << script;
    standin::tst::set_regtest_mode(false);
}

// The import step of the mnemonic dialog in the host program: the file dialog filled and
// opened, the tables chosen and copied, the document saved, and the program ends cleanly.
TEST(sedq_tcl_host, the_binary_imports_tables_and_exits_cleanly)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString source = dir.filePath("source.vtl");
    auto session = standin::sdr::make_session(source.toStdString());
    session->get_mnemonics()->create_table("opcode", 2)->add_entry("nop", "00");
    std::string written;
    ASSERT_TRUE(sdr_write_session_file(*session, source.toStdString(), &written)) << written;
    const QString saved = dir.filePath("saved.vtl");
    const QString script = write_script(
        dir, "sedq_on_mnemonic_dialog -action {import file} -import_filename {" + source + "}\n");
    const binary_run run = run_binary({"--script", script, "--save-as", saved, document});
    EXPECT_EQ(run.exit_code, 0) << run.errors.toStdString();
    std::string error;
    const std::unique_ptr<SDR_DATA_SESSION> reread = sdr_read_session_file(saved.toStdString(), &error);
    ASSERT_NE(reread, nullptr) << error;
    ASSERT_NE(reread->get_mnemonics()->find_table("opcode"), nullptr);
    EXPECT_STREQ(reread->get_mnemonics()->find_table("opcode")->get_first_symbol("00"), "nop");
}

// A level switched to Advanced in the host program shows its canvas; the document saved holds
// the level's new type, and the program ends cleanly after the library is unloaded.
TEST(sedq_tcl_host, the_binary_shows_an_advanced_level_and_exits_cleanly)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString saved = dir.filePath("saved.vtl");
    const QString picture = dir.filePath("canvas.png");
    // Combo 3 is the first trigger level's (0 to 2 are the storage qualifier's patterns).
    const QString script = write_script(dir, "sedq_switch_to_advanced_view -combobox_type 3\n");
    const binary_run run = run_binary({"--script", script, "--save-as", saved, "--screenshot", picture, document});
    EXPECT_EQ(run.exit_code, 0) << run.errors.toStdString();
    EXPECT_FALSE(QImage(picture).isNull());
    std::string error;
    const std::unique_ptr<SDR_DATA_SESSION> reread = sdr_read_session_file(saved.toStdString(), &error);
    ASSERT_NE(reread, nullptr) << error;
    const SDR_DATA_INSTANCE* probe = reread->find_instance("counter_probe");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->get_active_trigger()->state().levels.at(0).type, SDR_LTYPE_ADVANCED);
}

// ---- steps on the advanced trigger canvas ----------------------------------------------------

// The demo's serial instance shows its preset advanced condition on the canvas: a Result fed by
// a Logical And of the busy line and a comparison of a Bus with a Bus Value.
class sedq_tcl_canvas : public ::testing::Test
{
protected:
    static constexpr int SERIAL_INSTANCE = 1;
    static constexpr int PRESET_LEVEL = 1;

    void SetUp() override
    {
        m_host = std::make_unique<VANTREL_HOST>(options_for(sedq_copy_demo_project(m_dir), QString()));
        QString error;
        ASSERT_TRUE(m_host->start(&error)) << error.toStdString();
        m_window = analyzer_window();
        ASSERT_NE(m_window, nullptr);
        m_window->get_tx_manager()->set_instance(SERIAL_INSTANCE);
        SEDQ_LAYOUT_WIDGET* layout = m_window->get_layout_widget();
        layout->update_instance_tabs();
        settle();
        QTabWidget* tabs = layout->get_data_setup_tab_widget(-1);
        ASSERT_NE(tabs, nullptr);
        for (int page = 0; page < tabs->count(); ++page)
            if (tabs->widget(page)->property("trigger level").toInt() == PRESET_LEVEL &&
                tabs->widget(page)->property("trigger level").isValid())
                tabs->setCurrentIndex(page);
        settle();
        m_canvas = layout->get_object_widget();
        ASSERT_TRUE(m_canvas != nullptr && m_canvas->get_object_list() != nullptr);
        // The steps answer the dialogs they open, as under --script.
        standin::tst::set_regtest_mode(true);
        standin::clear_calls();
        standin::msg::clear_internal_errors();
    }

    void TearDown() override { standin::tst::set_regtest_mode(false); }

    static void settle()
    {
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
    }

    SEDQ_OBJECT* first_of(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type) const
    {
        for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
            if (object->get_type() == type)
                return object;
        return nullptr;
    }

    // "-x_coord <x> -y_coord <y>" at the middle of the object as the canvas shows it.
    std::string at(const SEDQ_OBJECT* object) const
    {
        QRect shown = object->get_rect();
        m_canvas->zoom_to_client(&shown);
        return " -x_coord " + std::to_string(shown.center().x()) + " -y_coord " + std::to_string(shown.center().y());
    }

    QList<SEDQ_OBJECT*> selected() const
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
            if (object->is_selected())
                found.append(object);
        return found;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<VANTREL_HOST> m_host;
    SEDQ_FRAME_WND* m_window = nullptr;
    SEDQ_OBJECT_WIDGET* m_canvas = nullptr;
};

// The View and Find commands the canvas takes while it has the focus: Zoom In stands for them.
TEST_F(sedq_tcl_canvas, focus_in_routes_the_focus_commands_to_the_canvas)
{
    QAction* zoom_in = m_window->get_tx_manager()->get_action(AFCQ_SEDQ_ZOOM_IN_ACTION, QVariant());
    ASSERT_NE(zoom_in, nullptr);
    ASSERT_FALSE(m_canvas->is_focused());
    const int level = m_canvas->get_zoom_level();
    zoom_in->setEnabled(true);
    zoom_in->trigger();
    EXPECT_EQ(m_canvas->get_zoom_level(), level) << "Zoom In reaches the canvas only while it has the focus";

    EXPECT_EQ(standin::atcl::eval("sedq_test_advanced_focus_in", nullptr), TCL_OK);
    EXPECT_TRUE(m_canvas->is_focused());
    EXPECT_TRUE(zoom_in->isEnabled()) << "focus in runs the canvas's rules";
    zoom_in->trigger();
    EXPECT_NE(m_canvas->get_zoom_level(), level);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(sedq_tcl_canvas, menu_entries_run_their_canvas_commands)
{
    // Detach: the selected input of the And leaves it.
    SEDQ_OBJECT* busy = first_of(SEDQ_OBJECT::NODE);
    ASSERT_TRUE(busy != nullptr && !busy->is_root());
    m_canvas->select(busy);
    EXPECT_EQ(standin::atcl::eval("sedq_test_advanced_menu_actions -action detach" + at(busy), nullptr), TCL_OK);
    EXPECT_TRUE(busy->is_root());
    EXPECT_TRUE(m_window->isWindowModified());

    // Arrange All Objects: the detached tree gets a place of its own, clear of every other box;
    // the step counts as one undo step.
    busy->move(first_of(SEDQ_OBJECT::LEVEL_RESULT)->get_rect().topLeft() - busy->get_rect().topLeft());
    ASSERT_TRUE(busy->get_rect().intersects(first_of(SEDQ_OBJECT::LEVEL_RESULT)->get_rect()));
    const int snapshots = m_canvas->get_undo_list()->size();
    EXPECT_EQ(standin::atcl::eval("sedq_test_advanced_menu_actions -action {arrange all objects} -x 1 -y 1", nullptr),
              TCL_OK);
    EXPECT_EQ(m_canvas->get_undo_list()->size(), snapshots + 1);
    for (const SEDQ_OBJECT* other : *m_canvas->get_object_list())
    {
        if (other != busy && !other->is_hidden())
        {
            EXPECT_FALSE(busy->get_rect().intersects(other->get_rect())) << other->get_alias().toStdString();
        }
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The Properties dialog as the steps answer it: its fields filled by the step the opening command
// announced, then accepted by the host's responder.
TEST_F(sedq_tcl_canvas, the_property_steps_fill_and_accept_the_open_dialog)
{
    SEDQ_OBJECT* value = first_of(SEDQ_OBJECT::BUS_VALUE);
    ASSERT_NE(value, nullptr);
    m_canvas->select(value);
    qui_prepare_for_modal_dlg_if_in_test("sedq_dlg_trigger_property_dialog", 1000);
    m_canvas->on_properties();
    std::vector<standin::qui::response> answered = standin::qui::responses();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].code, TCL_OK);
    EXPECT_EQ(answered[0].result, "1");
    EXPECT_TRUE(answered[0].accepted);
    ASSERT_EQ(selected().size(), 1);
    EXPECT_EQ(selected()[0]->get_alias(), "test");

    // Insert above the selection: the new object takes the alias and the first kind.
    const int count = m_canvas->get_object_list()->size();
    m_canvas->select(first_of(SEDQ_OBJECT::NODE));
    EXPECT_EQ(standin::atcl::eval("sedq_test_advanced_menu_actions -action insert" + at(first_of(SEDQ_OBJECT::NODE)),
                                  nullptr),
              TCL_OK);
    answered = standin::qui::responses();
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_EQ(answered[1].command, "sedq_dlg_trigger_property_dialog_insert");
    EXPECT_EQ(answered[1].result, "1");
    EXPECT_GT(m_canvas->get_object_list()->size(), count);
    int named_test = 0;
    for (const SEDQ_OBJECT* object : *m_canvas->get_object_list())
        named_test += object->get_alias() == "test";
    EXPECT_EQ(named_test, 2) << "the changed Bus Value and the inserted object";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// A script's double click on the selected Bus Value opens its Properties; the dialog step the
// double click announced fills it and the host accepts it: one undoable edit.
TEST_F(sedq_tcl_canvas, a_double_click_step_and_the_dialog_step_edit_the_object_clicked)
{
    SEDQ_OBJECT* value = first_of(SEDQ_OBJECT::BUS_VALUE);
    ASSERT_NE(value, nullptr);
    const QString alias = value->get_alias();
    ASSERT_NE(alias, "test");
    m_canvas->select(value);
    const int position = m_canvas->get_undo_position();
    EXPECT_EQ(standin::atcl::eval("sedq_on_property_dialog" + at(value), nullptr), TCL_OK);
    const std::vector<standin::qui::response> answered = standin::qui::responses();
    ASSERT_EQ(answered.size(), 1u) << "the double click opened the dialog";
    EXPECT_EQ(answered[0].command, "sedq_dlg_trigger_property_dialog");
    EXPECT_TRUE(answered[0].accepted);
    ASSERT_EQ(selected().size(), 1);
    EXPECT_EQ(selected()[0]->get_alias(), "test");
    EXPECT_EQ(m_canvas->get_undo_position(), position + 1);
    EXPECT_TRUE(m_window->isWindowModified());
    m_canvas->on_edit_undo();
    EXPECT_EQ(first_of(SEDQ_OBJECT::BUS_VALUE)->get_alias(), alias);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// A script's key reaches the canvas's keys: Ctrl+R is no command, R removes the selected input
// of the And, and Undo brings it back.
// A step that changes the condition changes the equation the level stores before anything
// reads it: the device and the file get what the canvas shows.
TEST_F(sedq_tcl_canvas, a_step_on_the_canvas_is_the_equation_the_level_stores_at_once)
{
    SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::session(m_window->get_tx_manager())->get_trigger_at(SERIAL_INSTANCE, false);
    auto stored = [trigger] { return std::string(trigger->get_data_trigger()->get_advanced_trigger_expression(PRESET_LEVEL)); };
    auto written = [trigger] {
        auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(trigger->get_advanced_trigger_root(PRESET_LEVEL, false));
        std::string equation;
        condition->get_equation(&equation, nullptr, trigger, PRESET_LEVEL + 1, false);
        return equation;
    };
    const std::string preset = stored();
    SEDQ_OBJECT* busy = first_of(SEDQ_OBJECT::NODE);
    ASSERT_TRUE(busy != nullptr && !busy->is_root());
    m_canvas->select(busy);
    ASSERT_EQ(standin::atcl::eval("sedq_test_advanced_menu_actions -action detach" + at(busy), nullptr), TCL_OK);
    EXPECT_EQ(stored(), written());
    EXPECT_NE(stored(), preset);
    EXPECT_EQ(stored().find("uart_tx|busy"), std::string::npos) << stored();
}

TEST_F(sedq_tcl_canvas, a_key_step_runs_the_canvas_key_and_undo_reverts_it)
{
    SEDQ_OBJECT* busy = first_of(SEDQ_OBJECT::NODE);
    ASSERT_TRUE(busy != nullptr && busy->is_leaf() && !busy->is_root());
    const QString name = busy->get_name();
    const int count = m_canvas->get_object_list()->size();
    const auto named_busy = [&]
    {
        int found = 0;
        for (const SEDQ_OBJECT* object : *m_canvas->get_object_list())
            found += object->get_name() == name;
        return found;
    };
    const int before = named_busy();
    m_canvas->select(busy);
    const struct
    {
        const char* name;
        const char* step;
        int objects;
    } rows[] = {
        {"Ctrl+R", "sedq_on_advanced_key_press -keyboard_key R -keyboard_modifier 5", count},
        {"R", "sedq_on_advanced_key_press -keyboard_key R -keyboard_modifier 1", count - 1},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(standin::atcl::eval(row.step, nullptr), TCL_OK) << row.name;
        EXPECT_EQ(m_canvas->get_object_list()->size(), row.objects) << row.name;
    }
    EXPECT_EQ(named_busy(), before - 1) << "the busy line is gone";
    EXPECT_TRUE(m_window->isWindowModified());
    m_canvas->on_edit_undo();
    EXPECT_EQ(m_canvas->get_object_list()->size(), count);
    EXPECT_EQ(named_busy(), before);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
} // namespace
