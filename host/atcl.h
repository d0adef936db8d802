#pragma once
// Host Tcl layer over the Tcl 8.6 library: the process-wide interpreter, package set-up with
// command tables, and package require for the host's short package names.

#include <tcl.h>

#include <cstdint>
#include <map>
#include <string>

// One row of a package's command table: {handler, command name, 0}; a row with a null
// handler ends the table. The row index is the command id, passed as the client data.
struct ATCL_CALLBACK
{
    Tcl_CmdProc* proc;
    const char* name;
    intptr_t reserved;
};

// The interpreter of the GUI thread, created on first use.
Tcl_Interp* atcl_get_interpreter();

// True when the host loads Tcl packages from shared libraries instead of the static
// package list.
bool atcl_is_dynamically_loading();

// Opens the set-up of `package` (e.g. "::corvane::sedq"); `unloading` selects the
// unregistration path. `library` and `prefix` may be null.
void atcl_begin_package_setup(const char* package, const char* version, const char* library,
                              const char* prefix, bool unloading);
// Creates <package>::<name> for every row and makes each callable unqualified.
void atcl_register_callbacks(const ATCL_CALLBACK* table);
// Closes the set-up; TCL_OK.
int atcl_end_package_setup();
// Deletes the commands of the package in set-up and forgets the package.
int atcl_unregister_package(Tcl_Interp* interp);

// Requires a package by the host's name ("sedq" is "::corvane::sedq"); when it is not yet
// provided, the static package of that name is loaded first. TCL_OK on success.
int atcl_package_require(Tcl_Interp* interp, const char* name, const char* version, bool exact, bool quiet);

// ---- command definitions and argument parsing ------------------------------------------------

// Value types of an argument row.
enum ATCL_ARG_TYPE : uint32_t
{
    ATCL_ARG_STRING = 1,
    ATCL_ARG_INT = 3,
    ATCL_ARG_UINT = 4,
};

// The flag of an argument that a script may leave out.
constexpr uint64_t ATCL_ARG_OPTIONAL = 0x100;

// Resolver answers that are no argument: an unknown word, and a null or empty one.
constexpr int ATCL_ARG_UNKNOWN = 0;
constexpr int ATCL_ARG_EMPTY_WORD = 29;
// The help switches every resolver knows: "h", "help", "long_help".
constexpr int ATCL_ARG_FIRST_HELP = 1;
constexpr int ATCL_ARG_LAST_HELP = 3;

// One argument of a command; a package's rows of one command are closed by an all-zero row.
struct ATCL_ARG_DEFINITION
{
    uint32_t id;
    uint32_t type; // ATCL_ARG_TYPE
    uint64_t flags;
    uint64_t reserved;
};
static_assert(sizeof(ATCL_ARG_DEFINITION) == 24, "argument rows are a plug-in record of 24 bytes");

using ATCL_ARG_NAME_FUNCTION = const char* (*)(int id);
using ATCL_ARG_ID_FUNCTION = int (*)(const char* word);

// What a package tells the host about one command.
struct ATCL_CMD_DEFINITION
{
    const char* package;
    const char* name;
    ATCL_ARG_NAME_FUNCTION get_name; // id -> argument name
    ATCL_ARG_ID_FUNCTION get_id;     // word (without its dash) -> id, abbreviations included
    intptr_t reserved4;
    intptr_t reserved5;
    const ATCL_ARG_DEFINITION* arguments;
    intptr_t reserved7;
    intptr_t reserved8;
};
static_assert(sizeof(ATCL_CMD_DEFINITION) == 72, "command definitions are a plug-in record of 72 bytes");

// A command as the host parses it.
class ATCL_CMD
{
public:
    explicit ATCL_CMD(const ATCL_CMD_DEFINITION* definition) : m_definition(definition) {}
    const ATCL_CMD_DEFINITION* get_definition() const { return m_definition; }
    // "Usage: <name> -arg <type> [-optional <type>] ..." with one line per argument.
    std::string usage() const;
    // The row of `id`, or null when the command has no such argument.
    const ATCL_ARG_DEFINITION* find_argument(int id) const;

private:
    const ATCL_CMD_DEFINITION* m_definition;
};

// The arguments of one call: `-name value` pairs, resolved and checked against the command.
class ATCL_ARGS
{
public:
    // argv[0] is the command word. Help switches put the usage in the interpreter's result,
    // set *help_shown and give TCL_OK; an unknown word, a missing value or argument, or a value
    // of the wrong type is TCL_ERROR with a message in the result. Nothing else is kept then.
    int process_tcl_command_arguments(ATCL_CMD* command, bool* help_shown, int argc, const char** argv);
    // The text given for a string argument; null when it was not given.
    const char* get_one_arg_option(int id) const;
    int get_int_arg_option(int id, bool* given) const;
    unsigned int get_uint_arg_option(int id, bool* given) const;

private:
    struct value
    {
        std::string text;
        long long number = 0;
    };
    std::map<int, value> m_values;
};

// Keeps `object` under a fresh handle name, put into the interpreter's result; atcl_get_ptr
// gives it back by that name (null for an unknown name). The object stays owned by the caller.
void atcl_set_ptr_result(Tcl_Interp* interp, void* object, const char* kind);
// The same, but the handle owns `object`: the Tcl values that carry its name (the result, and
// the variables and lists it is put in unchanged) hold it, and `release` frees it once the last
// of them is let go of (or turned into another type of value); atcl_get_ptr gives null for the
// name from then on. A caller that uses the object after the result changes holds a reference
// to the result's value meanwhile (Tcl_IncrRefCount), and reads the name with
// Tcl_GetString(Tcl_GetObjResult()): Tcl_GetStringResult replaces the result's value, and so lets
// go of it. Without an interpreter the object is freed at once.
void atcl_set_owned_ptr_result(Tcl_Interp* interp, void* object, const char* kind, void (*release)(void*));
void* atcl_get_ptr(Tcl_Interp* interp, const char* name);
