// The argument scheme of the package's commands, from one table of commands.
#include "sedq/tcl/sedq_tcl_args_auto.h"

#include "sedq/model/sedq_verify.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
constexpr const char* argument_names[] = {
    "",           "h",           "help",          "long_help",      "action",       "combobox_type",
    "direction",  "entry_mnemonic", "entry_radix", "entry_row",     "entry_value",  "filename",
    "find_string", "import_filename", "keyboard_key", "keyboard_modifier", "log_name", "nodename",
    "sample_number", "schema",   "signal_set_name", "table_name",   "table_width",  "time",
    "time_unit_index", "trigger_name", "type",     "x_coord",        "y_coord",
};
static_assert(sizeof(argument_names) / sizeof(argument_names[0]) == SEDQ_AUTO_ARG_EMPTY_WORD,
              "one name per identifier");

constexpr ATCL_ARG_DEFINITION s(SEDQ_AUTO_ARGUMENT_ENUM id)
{
    return {uint32_t(id), ATCL_ARG_STRING, 0, 0};
}
constexpr ATCL_ARG_DEFINITION s_opt(SEDQ_AUTO_ARGUMENT_ENUM id)
{
    return {uint32_t(id), ATCL_ARG_STRING, ATCL_ARG_OPTIONAL, 0};
}
constexpr ATCL_ARG_DEFINITION i(SEDQ_AUTO_ARGUMENT_ENUM id)
{
    return {uint32_t(id), ATCL_ARG_INT, 0, 0};
}
constexpr ATCL_ARG_DEFINITION u(SEDQ_AUTO_ARGUMENT_ENUM id)
{
    return {uint32_t(id), ATCL_ARG_UINT, 0, 0};
}
} // namespace

// clang-format off
constexpr std::array<SEDQ_AUTO_COMMAND_SPEC, SEDQ_CMD_COUNT> command_table = {{
    {"sedq_do_locate", {s(SEDQ_AUTO_ARG_SCHEMA)}},
    {"sedq_show_list_view", {s_opt(SEDQ_AUTO_ARG_FILENAME)}},
    {"sedq_open_file", {s(SEDQ_AUTO_ARG_FILENAME)}},
    {"sedq_on_print_file", {}},
    {"sedq_add_node", {s(SEDQ_AUTO_ARG_FILENAME), s(SEDQ_AUTO_ARG_NODENAME)}},
    {"sedq_on_mnemonic_dialog", {s(SEDQ_AUTO_ARG_ACTION), s_opt(SEDQ_AUTO_ARG_ENTRY_MNEMONIC),
        s_opt(SEDQ_AUTO_ARG_ENTRY_RADIX), s_opt(SEDQ_AUTO_ARG_ENTRY_ROW), s_opt(SEDQ_AUTO_ARG_ENTRY_VALUE),
        s_opt(SEDQ_AUTO_ARG_IMPORT_FILENAME), s_opt(SEDQ_AUTO_ARG_TABLE_NAME), s_opt(SEDQ_AUTO_ARG_TABLE_WIDTH)}},
    {"sedq_dlg_trigger_add_table_dialog", {s_opt(SEDQ_AUTO_ARG_TABLE_NAME), s_opt(SEDQ_AUTO_ARG_TABLE_WIDTH)}},
    {"sedq_dlg_trigger_add_table_dialog_accept", {s_opt(SEDQ_AUTO_ARG_TABLE_NAME), s_opt(SEDQ_AUTO_ARG_TABLE_WIDTH)}},
    {"sedq_dlg_trigger_add_entry_dialog", {s_opt(SEDQ_AUTO_ARG_ENTRY_MNEMONIC), s_opt(SEDQ_AUTO_ARG_ENTRY_RADIX),
        s_opt(SEDQ_AUTO_ARG_ENTRY_VALUE)}},
    {"sedq_dlg_trigger_add_entry_dialog_accept", {s_opt(SEDQ_AUTO_ARG_ENTRY_MNEMONIC),
        s_opt(SEDQ_AUTO_ARG_ENTRY_RADIX), s_opt(SEDQ_AUTO_ARG_ENTRY_VALUE)}},
    {"sedq_dlg_trigger_file_dialog", {s_opt(SEDQ_AUTO_ARG_IMPORT_FILENAME)}},
    {"sedq_dlg_trigger_file_dialog_accept", {s_opt(SEDQ_AUTO_ARG_IMPORT_FILENAME)}},
    {"sedq_dlg_trigger_import_dialog_accept", {}},
    {"sedq_dlg_trigger_delete_table", {}},
    {"sedq_dlg_trigger_delete_entry", {s_opt(SEDQ_AUTO_ARG_ENTRY_ROW)}},
    {"sedq_switch_to_advanced_view", {i(SEDQ_AUTO_ARG_COMBOBOX_TYPE)}},
    {"sedq_on_property_dialog", {i(SEDQ_AUTO_ARG_X_COORD), i(SEDQ_AUTO_ARG_Y_COORD)}},
    {"sedq_dlg_trigger_property_dialog", {}},
    {"sedq_dlg_trigger_property_dialog_accept", {}},
    {"sedq_test_advanced_menu_actions", {s(SEDQ_AUTO_ARG_ACTION), i(SEDQ_AUTO_ARG_X_COORD), i(SEDQ_AUTO_ARG_Y_COORD)}},
    {"sedq_test_advanced_focus_in", {}},
    {"sedq_dlg_trigger_property_dialog_insert", {}},
    {"sedq_on_time_units_dialog", {s(SEDQ_AUTO_ARG_TIME), s(SEDQ_AUTO_ARG_TIME_UNIT_INDEX)}},
    {"sedq_dlg_trigger_time_units_dialog", {s(SEDQ_AUTO_ARG_TIME), s(SEDQ_AUTO_ARG_TIME_UNIT_INDEX)}},
    {"sedq_on_insert_time_bar_dialog", {s_opt(SEDQ_AUTO_ARG_SAMPLE_NUMBER), s_opt(SEDQ_AUTO_ARG_TIME),
        s_opt(SEDQ_AUTO_ARG_TIME_UNIT_INDEX)}},
    {"sedq_dlg_trigger_insert_time_bar_dialog", {s_opt(SEDQ_AUTO_ARG_SAMPLE_NUMBER), s_opt(SEDQ_AUTO_ARG_TIME),
        s_opt(SEDQ_AUTO_ARG_TIME_UNIT_INDEX)}},
    {"sedq_on_advanced_key_press", {s(SEDQ_AUTO_ARG_KEYBOARD_KEY), u(SEDQ_AUTO_ARG_KEYBOARD_MODIFIER)}},
    {"sedq_find", {u(SEDQ_AUTO_ARG_DIRECTION), s(SEDQ_AUTO_ARG_FIND_STRING)}},
    {"sedq_dlg_trigger_find_dialog", {}},
    {"sedq_check_locate_enable", {}},
    {"sedq_set_storage_qualifier", {s_opt(SEDQ_AUTO_ARG_TYPE)}},
    {"sedq_undo_view", {}},
    {"sedq_redo_view", {}},
    {"sedq_set_active", {s_opt(SEDQ_AUTO_ARG_LOG_NAME), s_opt(SEDQ_AUTO_ARG_SIGNAL_SET_NAME),
        s_opt(SEDQ_AUTO_ARG_TRIGGER_NAME)}},
    {"sedq_delete_all_node_in_view", {}},
    {"sedq_test_update_waveform_menu", {}},
}};
// clang-format on

namespace
{
// Rows ascend, name real arguments (4 to 28), and only the optional ones carry the flag.
constexpr bool rows_are_well_formed()
{
    for (const SEDQ_AUTO_COMMAND_SPEC& command : command_table)
    {
        uint32_t previous = 0;
        bool closed = false;
        for (const ATCL_ARG_DEFINITION& row : command.rows)
        {
            if (row.id == 0)
            {
                closed = true;
                continue;
            }
            if (closed || row.id <= previous || row.id < SEDQ_AUTO_ARG_ACTION || row.id > SEDQ_AUTO_ARG_Y_COORD ||
                (row.flags & ~ATCL_ARG_OPTIONAL) != 0 || row.reserved != 0)
                return false;
            previous = row.id;
        }
        if (!closed)
            return false;
    }
    return true;
}
static_assert(rows_are_well_formed(), "argument rows ascend and are closed by a zero row");


// The exact names of the table.
const std::unordered_map<std::string, int>& exact_names()
{
    static const auto* map = [] {
        auto* names = new std::unordered_map<std::string, int>;
        for (int id = SEDQ_AUTO_ARG_H; id < SEDQ_AUTO_ARG_EMPTY_WORD; ++id)
            names->emplace(argument_names[id], id);
        return names;
    }();
    return *map;
}

// A command's own names and the two long help switches, each prefix that only one of them
// begins with and that is no exact name itself.
std::unordered_map<std::string, int> build_abbreviations(SEDQ_AUTO_COMMAND command)
{
    std::vector<int> ids = {SEDQ_AUTO_ARG_HELP, SEDQ_AUTO_ARG_LONG_HELP};
    for (const ATCL_ARG_DEFINITION& row : command_table[size_t(command)].rows)
        if (row.id != 0)
            ids.push_back(int(row.id));
    std::vector<std::pair<std::string, int>> entries;
    for (const int id : ids)
    {
        const std::string name = argument_names[id];
        for (size_t length = 1; length < name.size(); ++length)
        {
            const std::string prefix = name.substr(0, length);
            if (exact_names().count(prefix))
                continue;
            int owners = 0;
            for (const int other : ids)
                owners += std::strncmp(argument_names[other], prefix.c_str(), length) == 0 ? 1 : 0;
            if (owners == 1)
                entries.emplace_back(prefix, id);
        }
    }
    std::unordered_map<std::string, int> map;
    map.reserve(2 * entries.size());
    map.insert(entries.begin(), entries.end());
    return map;
}

const std::unordered_map<std::string, int>& abbreviations(SEDQ_AUTO_COMMAND command)
{
    static std::array<std::unordered_map<std::string, int>*, SEDQ_CMD_COUNT> maps{};
    auto*& map = maps[size_t(command)];
    if (!map)
        map = new std::unordered_map<std::string, int>(build_abbreviations(command));
    return *map;
}

bool has_argument(SEDQ_AUTO_COMMAND command, int id)
{
    for (const ATCL_ARG_DEFINITION& row : command_table[size_t(command)].rows)
        if (row.id != 0 && int(row.id) == id)
            return true;
    return false;
}

const char* name_of(int id)
{
    return sedq_auto_get_string_by_argument_enum(SEDQ_AUTO_ARGUMENT_ENUM(id));
}

template <int command>
int resolve(const char* word)
{
    return sedq_auto_get_command_argument_enum_by_string(SEDQ_AUTO_COMMAND(command), word);
}

template <size_t... commands>
constexpr std::array<ATCL_CMD_DEFINITION, SEDQ_CMD_COUNT> make_definitions(std::index_sequence<commands...>)
{
    return {{{"sedq", command_table[commands].name, &name_of, &resolve<int(commands)>, 0, 0,
              command_table[commands].rows, 0, 0}...}};
}
const std::array<ATCL_CMD_DEFINITION, SEDQ_CMD_COUNT> definitions =
    make_definitions(std::make_index_sequence<SEDQ_CMD_COUNT>());
} // namespace

const std::array<SEDQ_AUTO_COMMAND_SPEC, SEDQ_CMD_COUNT> sedq_auto_commands = command_table;
const ATCL_CMD_DEFINITION* const sedq_auto_command_definitions = definitions.data();

const char* sedq_auto_get_string_by_argument_enum(SEDQ_AUTO_ARGUMENT_ENUM id)
{
    if (id < SEDQ_AUTO_ARG_H || id > SEDQ_AUTO_ARG_Y_COORD)
    {
        SEDQ_REPORT("The calling function has passed an illegal SEDQ_AUTO_ARGUMENT_ENUM");
        return "";
    }
    return argument_names[id];
}

SEDQ_AUTO_ARGUMENT_ENUM sedq_auto_get_argument_enum_by_string(const char* text)
{
    if (!text || !*text)
        return SEDQ_AUTO_ARG_EMPTY_WORD;
    const auto found = exact_names().find(text);
    return found == exact_names().end() ? SEDQ_AUTO_ARG_NONE : SEDQ_AUTO_ARGUMENT_ENUM(found->second);
}

bool sedq_auto_exists_argument_enum_by_string(const char* text)
{
    const SEDQ_AUTO_ARGUMENT_ENUM id = sedq_auto_get_argument_enum_by_string(text);
    return id != SEDQ_AUTO_ARG_NONE && id != SEDQ_AUTO_ARG_EMPTY_WORD;
}

SEDQ_AUTO_ARGUMENT_ENUM sedq_auto_get_command_argument_enum_by_string(SEDQ_AUTO_COMMAND command, const char* text)
{
    if (command < 0 || command >= SEDQ_CMD_COUNT)
        return SEDQ_AUTO_ARG_NONE;
    const SEDQ_AUTO_ARGUMENT_ENUM exact = sedq_auto_get_argument_enum_by_string(text);
    if ((exact >= SEDQ_AUTO_ARG_H && exact <= SEDQ_AUTO_ARG_LONG_HELP) || has_argument(command, exact))
        return exact;
    if (exact == SEDQ_AUTO_ARG_EMPTY_WORD)
        return exact;
    const auto& map = abbreviations(command);
    const auto found = map.find(text);
    return found == map.end() ? SEDQ_AUTO_ARG_NONE : SEDQ_AUTO_ARGUMENT_ENUM(found->second);
}

int sedq_auto_abbreviation_count(SEDQ_AUTO_COMMAND command)
{
    return command < 0 || command >= SEDQ_CMD_COUNT ? 0 : int(abbreviations(command).size());
}

SEDQ_AUTO_MANAGER& SEDQ_AUTO_MANAGER::instance()
{
    static SEDQ_AUTO_MANAGER manager;
    return manager;
}

ATCL_CMD* SEDQ_AUTO_MANAGER::register_command(int id, const ATCL_CMD_DEFINITION* definition)
{
    if (id < 0 || id >= SEDQ_CMD_COUNT || !SEDQ_VERIFY(definition != NULL))
        return nullptr;
    if (!m_commands[size_t(id)])
        m_commands[size_t(id)] = new ATCL_CMD(definition);
    return m_commands[size_t(id)];
}

SEDQ_AUTO_MANAGER::~SEDQ_AUTO_MANAGER()
{
    for (ATCL_CMD*& command : m_commands)
    {
        delete command;
        command = nullptr;
    }
}

int sedq_init_command(SEDQ_AUTO_COMMAND command, ATCL_ARGS* args, bool* help_shown, int argc, const char** argv)
{
    if (!SEDQ_VERIFY(args != 0) || command < 0 || command >= SEDQ_CMD_COUNT)
        return TCL_ERROR;
    ATCL_CMD* object = SEDQ_AUTO_MANAGER::instance().register_command(command, &definitions[size_t(command)]);
    return args->process_tcl_command_arguments(object, help_shown, argc, argv);
}
