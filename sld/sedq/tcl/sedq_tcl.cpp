// The command table of the Tcl package "::corvane::sedq" and its handlers: each parses its
// arguments, announces the follow-up step for the modal dialog its hook opens, and runs the hook
// on the main analyzer window.
#include "sedq/tcl/sedq_tcl.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_refusal.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/tcl/sedq_tcl_args_auto.h"
#include "sedq/tcl/sedq_test.h"
#include "sedq/tcl/sedq_test_object_widget.h"

#include "host/fio.h"
#include "host/msg.h"
#include "host/qui.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace
{
// The parsed arguments of one call; absent string arguments read as empty texts.
struct call
{
    ATCL_ARGS args;
    QString text(SEDQ_AUTO_ARGUMENT_ENUM id) const
    {
        const char* value = args.get_one_arg_option(id);
        return QString::fromLocal8Bit(value ? value : "");
    }
    int integer(SEDQ_AUTO_ARGUMENT_ENUM id) const
    {
        bool given = false;
        return args.get_int_arg_option(id, &given);
    }
    unsigned int unsigned_integer(SEDQ_AUTO_ARGUMENT_ENUM id) const
    {
        bool given = false;
        return args.get_uint_arg_option(id, &given);
    }
};

// A value as one word of a Tcl command: in double quotes, with every character that would end
// the word or be substituted ($, [, ], the backslash and the quote) escaped, so the follow-up
// receives the text the script gave, whatever it holds.
QString quoted_word(const QString& value)
{
    QString word = QStringLiteral("\"");
    for (const QChar c : value)
    {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\') || c == QLatin1Char('$') || c == QLatin1Char('[') ||
            c == QLatin1Char(']'))
            word += QLatin1Char('\\');
        word += c;
    }
    return word + QLatin1Char('"');
}

// "<command> -<arg> "<value>" ..." with each value one quoted word.
QString follow_up(const call& given, SEDQ_AUTO_COMMAND command, std::initializer_list<SEDQ_AUTO_ARGUMENT_ENUM> ids)
{
    QString text = QString::fromLatin1(sedq_auto_commands[size_t(command)].name);
    for (const SEDQ_AUTO_ARGUMENT_ENUM id : ids)
        text += QString(" -%1 %2").arg(QString::fromLatin1(sedq_auto_get_string_by_argument_enum(id)),
                                        quoted_word(given.text(id)));
    return text;
}

QString mnemonic_follow_up(const call& given)
{
    const QString action = given.text(SEDQ_AUTO_ARG_ACTION);
    if (action == "add table")
        return follow_up(given, SEDQ_CMD_ADD_TABLE_DIALOG, {SEDQ_AUTO_ARG_TABLE_NAME, SEDQ_AUTO_ARG_TABLE_WIDTH});
    if (action == "import file")
        return follow_up(given, SEDQ_CMD_FILE_DIALOG, {SEDQ_AUTO_ARG_IMPORT_FILENAME});
    if (action == "delete table")
        return follow_up(given, SEDQ_CMD_DELETE_TABLE, {});
    if (action == "add entry")
        return follow_up(given, SEDQ_CMD_ADD_ENTRY_DIALOG,
                         {SEDQ_AUTO_ARG_ENTRY_VALUE, SEDQ_AUTO_ARG_ENTRY_RADIX, SEDQ_AUTO_ARG_ENTRY_MNEMONIC});
    if (action == "delete entry")
        return follow_up(given, SEDQ_CMD_DELETE_ENTRY, {SEDQ_AUTO_ARG_ENTRY_ROW});
    return QString();
}

// The Properties entry is answered by accepting what the dialog holds; the entries and keys that
// insert an object fill in the new one.
QString menu_follow_up(const call& given)
{
    const QString action = given.text(SEDQ_AUTO_ARG_ACTION);
    if (action == "properties")
        return follow_up(given, SEDQ_CMD_PROPERTY_DIALOG_ACCEPT, {});
    if (action == "insert" || action == "append")
        return follow_up(given, SEDQ_CMD_PROPERTY_DIALOG_INSERT, {});
    return QString();
}

QString key_press_follow_up(const call& given)
{
    constexpr unsigned int NO_MODIFIER = 1;
    const QString key = given.text(SEDQ_AUTO_ARG_KEYBOARD_KEY);
    if (key == "Enter" && given.unsigned_integer(SEDQ_AUTO_ARG_KEYBOARD_MODIFIER) == NO_MODIFIER)
        return follow_up(given, SEDQ_CMD_PROPERTY_DIALOG_ACCEPT, {});
    if (key == "I" || key == "A")
        return follow_up(given, SEDQ_CMD_PROPERTY_DIALOG_INSERT, {});
    return QString();
}

// A menu entry the canvas does not offer stops the script before anything is armed or sent.
QString unknown_menu_entry(const call& given)
{
    const QString action = given.text(SEDQ_AUTO_ARG_ACTION);
    if (SEDQ_TEST_OBJECT_WIDGET::menu_action(action) != AFCQ_ACTION_NONE)
        return QString();
    return QString("the advanced trigger canvas's context menu has no entry \"%1\"").arg(action);
}

using FOLLOW_UP = QString (*)(const call&);
using HOOK = void (*)(SEDQ_FRAME_WND*, const call&);
using REFUSAL = QString (*)(const call&);

// What one test step does after its arguments are parsed. A step with a refusal runs only when
// the refusal is empty; otherwise the refusal is the script's Tcl error.
struct step
{
    FOLLOW_UP follow_up;
    HOOK hook;
    bool result_one;
    REFUSAL refusal = nullptr;
};

using T = SEDQ_TEST_FRAME_WND;

// clang-format off
const step steps[SEDQ_CMD_COUNT] = {
    /* do_locate */ {nullptr, nullptr, false},
    /* show_list_view */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_show_list_view(f, c.text(SEDQ_AUTO_ARG_FILENAME)); }, false},
    /* open_file */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_open_file(f, c.text(SEDQ_AUTO_ARG_FILENAME)); }, false},
    /* on_print_file */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_on_print_file(f); }, false},
    /* add_node */ {nullptr, nullptr, false},
    /* on_mnemonic_dialog */ {&mnemonic_follow_up, [](SEDQ_FRAME_WND* f, const call&) { T::test_on_mnemonic_table_setup(f); }, false},
    /* add_table_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_ADD_TABLE_DIALOG_ACCEPT, {SEDQ_AUTO_ARG_TABLE_NAME, SEDQ_AUTO_ARG_TABLE_WIDTH}); },
        [](SEDQ_FRAME_WND* f, const call&) { T::test_on_add_table(f); }, false},
    /* add_table_dialog_accept */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) {
        T::test_on_add_table_set_data(f, c.text(SEDQ_AUTO_ARG_TABLE_NAME), c.text(SEDQ_AUTO_ARG_TABLE_WIDTH)); }, true},
    /* add_entry_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_ADD_ENTRY_DIALOG_ACCEPT,
        {SEDQ_AUTO_ARG_ENTRY_VALUE, SEDQ_AUTO_ARG_ENTRY_RADIX, SEDQ_AUTO_ARG_ENTRY_MNEMONIC}); },
        [](SEDQ_FRAME_WND* f, const call&) { T::test_on_add_entry(f); }, false},
    /* add_entry_dialog_accept */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_on_add_entry_set_data(f,
        c.text(SEDQ_AUTO_ARG_ENTRY_VALUE), c.text(SEDQ_AUTO_ARG_ENTRY_MNEMONIC), c.text(SEDQ_AUTO_ARG_ENTRY_RADIX)); }, true},
    /* file_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_FILE_DIALOG_ACCEPT, {SEDQ_AUTO_ARG_IMPORT_FILENAME}); },
        [](SEDQ_FRAME_WND* f, const call&) { T::test_on_import(f); }, false},
    /* file_dialog_accept */ {[](const call& c) { return follow_up(c, SEDQ_CMD_IMPORT_DIALOG_ACCEPT, {}); },
        [](SEDQ_FRAME_WND* f, const call& c) { T::test_on_file_set_data(f, c.text(SEDQ_AUTO_ARG_IMPORT_FILENAME)); }, true},
    /* import_dialog_accept */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_on_import_set_data(f); }, true},
    /* delete_table */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_on_delete_table(f); }, true},
    /* delete_entry */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_on_delete_entry(f, c.text(SEDQ_AUTO_ARG_ENTRY_ROW)); }, true},
    /* switch_to_advanced_view */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_advanced_view(f, c.integer(SEDQ_AUTO_ARG_COMBOBOX_TYPE)); }, false},
    /* on_property_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_PROPERTY_DIALOG, {}); },
        [](SEDQ_FRAME_WND* f, const call& c) { T::test_on_l_double_click(f, c.integer(SEDQ_AUTO_ARG_X_COORD), c.integer(SEDQ_AUTO_ARG_Y_COORD)); }, false},
    /* property_dialog */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_property_dialog(f); }, true},
    /* property_dialog_accept */ {nullptr, nullptr, true},
    /* advanced_menu_actions */ {&menu_follow_up, [](SEDQ_FRAME_WND* f, const call& c) { T::test_advanced_context_menu(f,
        c.text(SEDQ_AUTO_ARG_ACTION), c.integer(SEDQ_AUTO_ARG_X_COORD), c.integer(SEDQ_AUTO_ARG_Y_COORD)); }, false, &unknown_menu_entry},
    /* advanced_focus_in */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_advanced_focus_in(f); }, false},
    /* property_dialog_insert */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_advanced_insert(f); }, true},
    /* on_time_units_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_TIME_UNITS_DIALOG, {SEDQ_AUTO_ARG_TIME, SEDQ_AUTO_ARG_TIME_UNIT_INDEX}); },
        [](SEDQ_FRAME_WND* f, const call&) { T::test_on_time_units(f); }, false},
    /* time_units_dialog */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) {
        T::test_time_units_set_data(f, c.text(SEDQ_AUTO_ARG_TIME), c.text(SEDQ_AUTO_ARG_TIME_UNIT_INDEX)); }, true},
    /* on_insert_time_bar_dialog */ {[](const call& c) { return follow_up(c, SEDQ_CMD_INSERT_TIME_BAR_DIALOG,
        {SEDQ_AUTO_ARG_TIME, SEDQ_AUTO_ARG_TIME_UNIT_INDEX, SEDQ_AUTO_ARG_SAMPLE_NUMBER}); },
        [](SEDQ_FRAME_WND* f, const call&) { T::test_on_insert_time_bar(f); }, false},
    /* insert_time_bar_dialog */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_insert_time_bar_set_data(f,
        c.text(SEDQ_AUTO_ARG_TIME), c.text(SEDQ_AUTO_ARG_TIME_UNIT_INDEX), c.text(SEDQ_AUTO_ARG_SAMPLE_NUMBER)); }, true},
    /* on_advanced_key_press */ {&key_press_follow_up, [](SEDQ_FRAME_WND* f, const call& c) { T::test_advanced_key_press(f,
        c.text(SEDQ_AUTO_ARG_KEYBOARD_KEY), c.unsigned_integer(SEDQ_AUTO_ARG_KEYBOARD_MODIFIER)); }, false},
    /* find */ {[](const call& c) { return follow_up(c, SEDQ_CMD_FIND_DIALOG, {}); }, [](SEDQ_FRAME_WND* f, const call& c) {
        const char* text = c.args.get_one_arg_option(SEDQ_AUTO_ARG_FIND_STRING);
        T::test_find_dlg(f, QByteArray(text ? text : ""), c.unsigned_integer(SEDQ_AUTO_ARG_DIRECTION)); }, false},
    /* find_dialog */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_find_next(f); }, false},
    /* check_locate_enable */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_check_locate_enable(f); }, false},
    /* set_storage_qualifier */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_set_storage_qualifier(f, c.text(SEDQ_AUTO_ARG_TYPE)); }, false},
    /* undo_view */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_undo_view(f); }, false},
    /* redo_view */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_redo_view(f); }, false},
    /* set_active */ {nullptr, [](SEDQ_FRAME_WND* f, const call& c) { T::test_set_active(f, c.text(SEDQ_AUTO_ARG_SIGNAL_SET_NAME),
        c.text(SEDQ_AUTO_ARG_TRIGGER_NAME), c.text(SEDQ_AUTO_ARG_LOG_NAME)); }, false},
    /* delete_all_node_in_view */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_delete_all_node_in_view(f); }, false},
    /* update_waveform_menu */ {nullptr, [](SEDQ_FRAME_WND* f, const call&) { T::test_update_waveform_menu(f); }, false},
};
// clang-format on

QList<SEDQ_FRAME_WND*> analyzer_windows();

// The main frame when it is an analyzer window; in a host main window with the analyzer
// window docked inside it, the analyzer window opened last.
SEDQ_FRAME_WND* test_frame()
{
    if (auto* frame = dynamic_cast<SEDQ_FRAME_WND*>(qui_get_main_frame_wnd()))
        return frame;
    const QList<SEDQ_FRAME_WND*> windows = analyzer_windows();
    return windows.isEmpty() ? nullptr : windows.last();
}

// Where the step running now collects its failure. A step's dialog may run further steps (its
// follow-up) while the step waits: their failure is the step's failure too.
QString* s_step_failure = nullptr;

int refuse_step(SEDQ_AUTO_COMMAND command, Tcl_Interp* interp, const QString& reason)
{
    const QString message = QString::fromLatin1(sedq_auto_commands[command].name) + ": " + reason;
    sedq_test_step_failed(message);
    Tcl_SetObjResult(interp, Tcl_NewStringObj(message.toUtf8().constData(), -1));
    return TCL_ERROR;
}

// Runs the step's hook on the window; the failure the hook or its follow-up reported, empty
// when there was none.
QString run_hook(const step& what, const call& given)
{
    QString failure;
    QString* outer = s_step_failure;
    s_step_failure = &failure;
    if (what.follow_up)
        qui_prepare_for_modal_dlg_if_in_test(what.follow_up(given), 1000);
    SEDQ_FRAME_WND* frame = test_frame();
    if (SEDQ_VERIFY(frame != NULL))
        what.hook(frame, given);
    else
        failure = QStringLiteral("no analyzer window is open");
    s_step_failure = outer;
    return failure;
}

int run_step(SEDQ_AUTO_COMMAND command, Tcl_Interp* interp, int argc, const char** argv)
{
    call given;
    bool help_shown = false;
    const int status = sedq_init_command(command, &given.args, &help_shown, argc, argv);
    if (status != TCL_OK || help_shown)
        return status;
    const step& what = steps[command];
    if (what.refusal)
        if (const QString refused = what.refusal(given); !refused.isEmpty())
            return refuse_step(command, interp, refused);
    // Accepting the properties needs no step of its own: the dialog's responder accepts it.
    if (what.hook)
        if (const QString failure = run_hook(what, given); !failure.isEmpty())
            return refuse_step(command, interp, failure);
    if (what.result_one)
        Tcl_SetResult(interp, const_cast<char*>("1"), TCL_VOLATILE);
    return status;
}

// The analyzer windows that are open, in the frame manager's order.
QList<SEDQ_FRAME_WND*> analyzer_windows()
{
    QList<SEDQ_FRAME_WND*> windows;
    QUI_APP* app = qui_get_app();
    if (!app)
        return windows;
    for (QUI_FRAME_WND* frame : app->get_frame_wnd_mgr()->get_opened_frame_wnd_list())
        if (auto* window = dynamic_cast<SEDQ_FRAME_WND*>(frame))
            windows.append(window);
    return windows;
}

template <int command>
int handler(ClientData, Tcl_Interp* interp, int argc, const char** argv)
{
    return run_step(SEDQ_AUTO_COMMAND(command), interp, argc, argv);
}
} // namespace

void sedq_test_step_failed(const QString& reason)
{
    if (s_step_failure != nullptr && s_step_failure->isEmpty())
        *s_step_failure = reason;
}

// A node the document cannot hold (its name longer than the file stores, more rows than a file
// holds) is refused with the reason as the command's error.
int sedq_add_node(ClientData, Tcl_Interp* interp, int argc, const char** argv)
{
    call given;
    bool help_shown = false;
    const int status = sedq_init_command(SEDQ_CMD_ADD_NODE, &given.args, &help_shown, argc, argv);
    if (status != TCL_OK || help_shown)
        return status;
    const QString filename = given.text(SEDQ_AUTO_ARG_FILENAME);
    SEDQ_REFUSAL_TAKER refusals;
    for (SEDQ_FRAME_WND* window : analyzer_windows())
        if (QString::fromStdString(window->get_file_path().fullpath()) == filename)
        {
            window->add_node(given.text(SEDQ_AUTO_ARG_NODENAME));
            break;
        }
    const std::string refused = refusals.take();
    if (refused.empty())
        return status;
    const std::string message = std::string(sedq_auto_commands[SEDQ_CMD_ADD_NODE].name) + ": " + refused;
    Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), -1));
    return TCL_ERROR;
}

int sedq_do_locate(ClientData, Tcl_Interp* interp, int argc, const char** argv)
{
    int status = TCL_OK;
    const SEDQ_LOCATION_SCHEMA schema = sedq_read_locate_call(interp, argc, argv, &status);
    if (!schema)
        return status;
    const QList<SEDQ_FRAME_WND*> windows = analyzer_windows();
    const QString source = QString::fromLocal8Bit(schema->get_source().get_string());
    SEDQ_FRAME_WND* target = nullptr;
    if (source == "New Vantrel File")
        target = windows.isEmpty() ? nullptr : windows.last();
    else
        for (SEDQ_FRAME_WND* window : windows)
            if (QString::fromStdString(window->get_file_path().fullpath()) == source)
            {
                target = window;
                break;
            }
    for (int i = 0; target && i < schema->get_node_count(); ++i)
    {
        const MSG_GEN_LOC_INSTANCE* loc_node = schema->get_node(i);
        if (!SEDQ_VERIFY(loc_node != NULL))
            return status;
        target->add_node(QString::fromLocal8Bit(loc_node->get_name().c_str()));
    }
    return status;
}

namespace
{
template <size_t... commands>
std::array<ATCL_CALLBACK, SEDQ_CMD_COUNT + 1> make_callbacks(std::index_sequence<commands...>)
{
    std::array<ATCL_CALLBACK, SEDQ_CMD_COUNT + 1> table = {
        {{&handler<int(commands)>, sedq_auto_commands[commands].name, 0}..., {nullptr, nullptr, 0}}};
    table[SEDQ_CMD_DO_LOCATE].proc = &sedq_do_locate;
    table[SEDQ_CMD_ADD_NODE].proc = &sedq_add_node;
    return table;
}
const std::array<ATCL_CALLBACK, SEDQ_CMD_COUNT + 1> callbacks =
    make_callbacks(std::make_index_sequence<SEDQ_CMD_COUNT>());
} // namespace

const ATCL_CALLBACK* const sedq_sedq_tcl_callbacks = callbacks.data();
