#pragma once
// The argument scheme of the package's commands: the argument names, each command's
// argument rows and definition record, the name resolvers with unique-prefix abbreviations,
// and the command objects the host parses with.

#include "host/atcl.h"

#include <array>
#include <utility>
#include <cstdint>

enum SEDQ_AUTO_ARGUMENT_ENUM : int
{
    SEDQ_AUTO_ARG_NONE = ATCL_ARG_UNKNOWN,
    SEDQ_AUTO_ARG_H = 1,
    SEDQ_AUTO_ARG_HELP,
    SEDQ_AUTO_ARG_LONG_HELP,
    SEDQ_AUTO_ARG_ACTION,
    SEDQ_AUTO_ARG_COMBOBOX_TYPE,
    SEDQ_AUTO_ARG_DIRECTION,
    SEDQ_AUTO_ARG_ENTRY_MNEMONIC,
    SEDQ_AUTO_ARG_ENTRY_RADIX,
    SEDQ_AUTO_ARG_ENTRY_ROW,
    SEDQ_AUTO_ARG_ENTRY_VALUE,
    SEDQ_AUTO_ARG_FILENAME,
    SEDQ_AUTO_ARG_FIND_STRING,
    SEDQ_AUTO_ARG_IMPORT_FILENAME,
    SEDQ_AUTO_ARG_KEYBOARD_KEY,
    SEDQ_AUTO_ARG_KEYBOARD_MODIFIER,
    SEDQ_AUTO_ARG_LOG_NAME,
    SEDQ_AUTO_ARG_NODENAME,
    SEDQ_AUTO_ARG_SAMPLE_NUMBER,
    SEDQ_AUTO_ARG_SCHEMA,
    SEDQ_AUTO_ARG_SIGNAL_SET_NAME,
    SEDQ_AUTO_ARG_TABLE_NAME,
    SEDQ_AUTO_ARG_TABLE_WIDTH,
    SEDQ_AUTO_ARG_TIME,
    SEDQ_AUTO_ARG_TIME_UNIT_INDEX,
    SEDQ_AUTO_ARG_TRIGGER_NAME,
    SEDQ_AUTO_ARG_TYPE,
    SEDQ_AUTO_ARG_X_COORD,
    SEDQ_AUTO_ARG_Y_COORD,
    SEDQ_AUTO_ARG_EMPTY_WORD = ATCL_ARG_EMPTY_WORD,
};
static_assert(SEDQ_AUTO_ARG_Y_COORD == 28 && SEDQ_AUTO_ARG_EMPTY_WORD == 29, "the name table has 29 entries");

// The package's commands in command-id order (the row index of the callback table).
enum SEDQ_AUTO_COMMAND : int
{
    SEDQ_CMD_DO_LOCATE,
    SEDQ_CMD_SHOW_LIST_VIEW,
    SEDQ_CMD_OPEN_FILE,
    SEDQ_CMD_ON_PRINT_FILE,
    SEDQ_CMD_ADD_NODE,
    SEDQ_CMD_ON_MNEMONIC_DIALOG,
    SEDQ_CMD_ADD_TABLE_DIALOG,
    SEDQ_CMD_ADD_TABLE_DIALOG_ACCEPT,
    SEDQ_CMD_ADD_ENTRY_DIALOG,
    SEDQ_CMD_ADD_ENTRY_DIALOG_ACCEPT,
    SEDQ_CMD_FILE_DIALOG,
    SEDQ_CMD_FILE_DIALOG_ACCEPT,
    SEDQ_CMD_IMPORT_DIALOG_ACCEPT,
    SEDQ_CMD_DELETE_TABLE,
    SEDQ_CMD_DELETE_ENTRY,
    SEDQ_CMD_SWITCH_TO_ADVANCED_VIEW,
    SEDQ_CMD_ON_PROPERTY_DIALOG,
    SEDQ_CMD_PROPERTY_DIALOG,
    SEDQ_CMD_PROPERTY_DIALOG_ACCEPT,
    SEDQ_CMD_ADVANCED_MENU_ACTIONS,
    SEDQ_CMD_ADVANCED_FOCUS_IN,
    SEDQ_CMD_PROPERTY_DIALOG_INSERT,
    SEDQ_CMD_ON_TIME_UNITS_DIALOG,
    SEDQ_CMD_TIME_UNITS_DIALOG,
    SEDQ_CMD_ON_INSERT_TIME_BAR_DIALOG,
    SEDQ_CMD_INSERT_TIME_BAR_DIALOG,
    SEDQ_CMD_ON_ADVANCED_KEY_PRESS,
    SEDQ_CMD_FIND,
    SEDQ_CMD_FIND_DIALOG,
    SEDQ_CMD_CHECK_LOCATE_ENABLE,
    SEDQ_CMD_SET_STORAGE_QUALIFIER,
    SEDQ_CMD_UNDO_VIEW,
    SEDQ_CMD_REDO_VIEW,
    SEDQ_CMD_SET_ACTIVE,
    SEDQ_CMD_DELETE_ALL_NODE_IN_VIEW,
    SEDQ_CMD_UPDATE_WAVEFORM_MENU,
    SEDQ_CMD_COUNT
};

constexpr int SEDQ_AUTO_MAX_ARGUMENTS = 8;

// One command: its name and its argument rows, ascending by identifier, closed by the zero rows
// that follow the last one.
struct SEDQ_AUTO_COMMAND_SPEC
{
    const char* name;
    ATCL_ARG_DEFINITION rows[SEDQ_AUTO_MAX_ARGUMENTS + 1];
};

extern const std::array<SEDQ_AUTO_COMMAND_SPEC, SEDQ_CMD_COUNT> sedq_auto_commands;
extern const ATCL_CMD_DEFINITION* const sedq_auto_command_definitions;

// Identifiers 1 to 28 give their name; any other is an internal error and gives "".
const char* sedq_auto_get_string_by_argument_enum(SEDQ_AUTO_ARGUMENT_ENUM id);
// Exact names: 0 for an unknown one, 29 for a null or empty text.
SEDQ_AUTO_ARGUMENT_ENUM sedq_auto_get_argument_enum_by_string(const char* text);
bool sedq_auto_exists_argument_enum_by_string(const char* text);
// The resolver of one command: exact names of the command and the help switches first, then
// the command's unique-prefix abbreviations; 0 for no match, 29 for a null or empty word.
SEDQ_AUTO_ARGUMENT_ENUM sedq_auto_get_command_argument_enum_by_string(SEDQ_AUTO_COMMAND command, const char* text);
// How many abbreviations a command's map holds (built on first use).
int sedq_auto_abbreviation_count(SEDQ_AUTO_COMMAND command);

// The command objects the host parses with, one per command, made on first use.
class SEDQ_AUTO_MANAGER
{
public:
    static SEDQ_AUTO_MANAGER& instance();
    // The object of slot `id`, made from `definition` on the first call.
    ATCL_CMD* register_command(int id, const ATCL_CMD_DEFINITION* definition);
    ~SEDQ_AUTO_MANAGER();

private:
    SEDQ_AUTO_MANAGER() = default;
    std::array<ATCL_CMD*, SEDQ_CMD_COUNT> m_commands{};
};

// Parses one call of `command` into `args` (null `args` is an internal error): the host's status.
int sedq_init_command(SEDQ_AUTO_COMMAND command, ATCL_ARGS* args, bool* help_shown, int argc, const char** argv);
