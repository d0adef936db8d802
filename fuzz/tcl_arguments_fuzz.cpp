// Fuzz target of the Tcl package's argument parsing. The first byte picks a command; with its
// top bit set the rest is the -schema text of one sedq_do_locate call, else the rest is the
// argument words, one a line. Whatever arrives:
// - the parse is TCL_OK or TCL_ERROR, an error leaves a message and keeps no value, and it
//   never reports an internal error;
// - after TCL_OK every required argument has a value, and every value was one of the words;
// - every resolver answer is a help switch, an argument of the command that the word begins,
//   unknown, or the empty-word answer for an empty word;
// - a sedq_do_locate call gives the parse's status, and a schema exactly when no internal
//   error "schema != NULL" was reported.
#include "sedq/tcl/sedq_tcl.h"
#include "sedq/tcl/sedq_tcl_args_auto.h"

#include "host/msg.h"
#include "host/standin/msg_control.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
bool is_help(int id)
{
    return id >= ATCL_ARG_FIRST_HELP && id <= ATCL_ARG_LAST_HELP;
}

const ATCL_ARG_DEFINITION* row_of(SEDQ_AUTO_COMMAND command, int id)
{
    for (const ATCL_ARG_DEFINITION& row : sedq_auto_commands[size_t(command)].rows)
        if (row.id != 0 && int(row.id) == id)
            return &row;
    return nullptr;
}

void check_resolver(SEDQ_AUTO_COMMAND command, const std::string& word)
{
    const int id = sedq_auto_get_command_argument_enum_by_string(command, word.c_str());
    if (word.empty())
    {
        if (id != SEDQ_AUTO_ARG_EMPTY_WORD)
            abort();
        return;
    }
    if (id == SEDQ_AUTO_ARG_NONE)
        return;
    if (!is_help(id) && !row_of(command, id))
        abort();
    const char* name = sedq_auto_get_string_by_argument_enum(SEDQ_AUTO_ARGUMENT_ENUM(id));
    if (std::strncmp(name, word.c_str(), word.size()) != 0 || word.size() > std::strlen(name))
        abort();
}

// Checks one parse of `argv` as `command`; the status.
int check_parse(SEDQ_AUTO_COMMAND command, std::vector<const char*>& argv, bool* help)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    Tcl_ResetResult(interp);
    ATCL_ARGS args;
    bool help_shown = false;
    const int status = sedq_init_command(command, &args, &help_shown, int(argv.size()), argv.data());
    if (!standin::msg::internal_errors().empty())
        abort();
    if (status == TCL_ERROR)
    {
        if (*Tcl_GetStringResult(interp) == '\0' || help_shown)
            abort();
        for (const ATCL_ARG_DEFINITION& row : sedq_auto_commands[size_t(command)].rows)
            if (row.id != 0 && args.get_one_arg_option(int(row.id)) != nullptr)
                abort();
        return status;
    }
    if (status != TCL_OK)
        abort();
    *help = help_shown;
    if (help_shown)
    {
        if (std::strncmp(Tcl_GetStringResult(interp), "Usage: ", 7) != 0)
            abort();
        return status;
    }
    for (const ATCL_ARG_DEFINITION& row : sedq_auto_commands[size_t(command)].rows)
    {
        if (row.id == 0)
            continue;
        const char* value = args.get_one_arg_option(int(row.id));
        if (value == nullptr && !(row.flags & ATCL_ARG_OPTIONAL))
            abort();
        bool among_words = value == nullptr;
        for (size_t i = 2; value != nullptr && i < argv.size() && !among_words; i += 2)
            among_words = std::strcmp(argv[i], value) == 0;
        if (!among_words)
            abort();
    }
    return status;
}

void check_locate(std::vector<const char*>& argv)
{
    bool help_shown = false;
    const int parsed = check_parse(SEDQ_CMD_DO_LOCATE, argv, &help_shown);
    Tcl_Interp* interp = atcl_get_interpreter();
    Tcl_SetObjResult(interp, Tcl_NewStringObj("kept", -1));
    int status = -1;
    const SEDQ_LOCATION_SCHEMA schema = sedq_read_locate_call(interp, int(argv.size()), argv.data(), &status);
    const std::vector<standin::msg::internal_error>& errors = standin::msg::internal_errors();
    if (status != parsed)
        abort();
    if (parsed != TCL_OK || help_shown)
    {
        if (schema != nullptr || !errors.empty())
            abort();
        return;
    }
    const bool reported = errors.size() == 1 && errors[0].expression == "schema != NULL";
    if ((schema == nullptr) != reported || (schema != nullptr && !errors.empty()))
        abort();
    if (schema != nullptr && *schema->get_source().get_string() == '\0')
        abort();
    if (std::strcmp(Tcl_GetStringResult(interp), "kept") != 0)
        abort();
    standin::msg::clear_internal_errors();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool schema_text = (data[0] & 0x80) != 0;
    const auto command = schema_text ? SEDQ_CMD_DO_LOCATE : SEDQ_AUTO_COMMAND(data[0] % SEDQ_CMD_COUNT);
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> words;
    if (schema_text)
        words = {"-schema", rest.c_str()};
    else
        for (size_t at = 0; at <= rest.size();)
        {
            const size_t end = std::min(rest.find('\n', at), rest.size());
            // A word reaches a command as a C string: up to its first NUL.
            words.push_back(rest.substr(at, end - at).c_str());
            at = end + 1;
        }
    std::vector<const char*> argv = {sedq_auto_commands[size_t(command)].name};
    for (const std::string& word : words)
    {
        argv.push_back(word.c_str());
        if (!word.empty() && word[0] == '-')
            check_resolver(command, word.substr(1));
    }
    bool help_shown = false;
    if (command == SEDQ_CMD_DO_LOCATE)
        check_locate(argv);
    else
        check_parse(command, argv, &help_shown);
    return 0;
}
