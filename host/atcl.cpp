// Tcl-layer stand-in over the real Tcl library: one interpreter, package set-up that creates
// namespaced commands with unqualified imports, and package require through static packages.
#include "host/atcl.h"

#include "host/msg.h"
#include "host/standin/atcl_control.h"
#include "host/standin/standin.h"

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
struct package_setup
{
    bool open = false;
    std::string package;
    std::string version;
    bool unloading = false;
};

struct atcl_state
{
    Tcl_Interp* interp = nullptr;
    bool unavailable = false; // seam: the host runs without an interpreter
    package_setup setup;
    std::map<std::string, std::vector<std::string>> commands; // package -> qualified names
    std::vector<std::string> registration_order;
};

// Never destroyed: the library unregisters its package from its own static destructors,
// which may run after this file's statics at process exit.
atcl_state& state()
{
    static atcl_state* s = new atcl_state;
    return *s;
}

// A fresh interpreter for the next test: packages and commands of the previous one go with
// it, while the process-wide static package list of Tcl stays.
void reset()
{
    auto& s = state();
    if (s.interp)
        Tcl_DeleteInterp(s.interp);
    s.interp = nullptr;
    s.unavailable = false;
    s.setup = package_setup();
    s.commands.clear();
    s.registration_order.clear();
}

const standin::reset_registrar registrar(&reset);

void report(const char* expression)
{
    MSG_INTERNAL_ERROR::report(expression, "HOST", "host/atcl.cpp", 0);
}

int eval_in(Tcl_Interp* interp, const std::string& script)
{
    return Tcl_EvalEx(interp, script.c_str(), -1, TCL_EVAL_GLOBAL);
}

// The host's short names live under ::corvane; a qualified name is taken as it is.
std::string qualified_package(const std::string& name)
{
    return name.compare(0, 2, "::") == 0 ? name : "::corvane::" + name;
}

// Static packages are registered under the short name with a capital first letter.
std::string static_prefix(const std::string& name)
{
    std::string prefix = name.substr(name.rfind(':') == std::string::npos ? 0 : name.rfind(':') + 1);
    if (!prefix.empty())
        prefix[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(prefix[0])));
    return prefix;
}

void create_command(Tcl_Interp* interp, const std::string& package, const ATCL_CALLBACK& row, intptr_t id)
{
    const std::string qualified = package + "::" + row.name;
    Tcl_CreateCommand(interp, qualified.c_str(), row.proc, reinterpret_cast<ClientData>(id), nullptr);
    eval_in(interp, "namespace eval " + package + " {namespace export " + row.name + "}");
    eval_in(interp, "namespace import -force " + qualified);
    auto& s = state();
    s.commands[package].push_back(qualified);
    s.registration_order.push_back(qualified);
}
} // namespace

Tcl_Interp* atcl_get_interpreter()
{
    auto& s = state();
    if (s.unavailable)
        return nullptr;
    if (!s.interp)
    {
        Tcl_FindExecutable(nullptr);
        s.interp = Tcl_CreateInterp();
        // Without the script library only the built-in commands exist, which is enough.
        Tcl_Init(s.interp);
    }
    return s.interp;
}

bool atcl_is_dynamically_loading()
{
    return false;
}

void atcl_begin_package_setup(const char* package, const char* version, const char*, const char*,
                              bool unloading)
{
    auto& s = state();
    if (s.setup.open)
        report("!atcl_package_setup_open");
    s.setup = {true, package ? package : "", version ? version : "", unloading};
}

void atcl_register_callbacks(const ATCL_CALLBACK* table)
{
    auto& s = state();
    if (!s.setup.open || s.setup.unloading || s.setup.package.empty())
    {
        report("atcl_package_setup_open_for_registration");
        return;
    }
    Tcl_Interp* interp = atcl_get_interpreter();
    if (!interp)
    {
        report("atcl_get_interpreter() != NULL");
        return;
    }
    eval_in(interp, "namespace eval " + s.setup.package + " {}");
    for (intptr_t id = 0; table && table[id].proc; ++id)
        if (table[id].name && *table[id].name)
            create_command(interp, s.setup.package, table[id], id);
}

int atcl_end_package_setup()
{
    state().setup = package_setup();
    return TCL_OK;
}

int atcl_unregister_package(Tcl_Interp* interp)
{
    auto& s = state();
    if (!interp || !s.setup.open)
        return TCL_ERROR;
    for (const std::string& command : s.commands[s.setup.package])
        Tcl_DeleteCommand(interp, command.c_str());
    s.commands.erase(s.setup.package);
    eval_in(interp, "package forget " + s.setup.package);
    return TCL_OK;
}

int atcl_package_require(Tcl_Interp* interp, const char* name, const char* version, bool exact, bool)
{
    if (!interp || !name || !*name)
        return TCL_ERROR;
    const std::string package = qualified_package(name);
    if (!Tcl_PkgPresent(interp, package.c_str(), version, exact))
    {
        Tcl_ResetResult(interp);
        if (eval_in(interp, "load {} " + static_prefix(name)) != TCL_OK)
            return TCL_ERROR;
    }
    return Tcl_PkgRequire(interp, package.c_str(), version, exact) ? TCL_OK : TCL_ERROR;
}

// ---- command definitions and argument parsing ------------------------------------------------

namespace
{
const char* type_word(uint32_t type)
{
    switch (type)
    {
    case ATCL_ARG_INT:
        return "<integer>";
    case ATCL_ARG_UINT:
        return "<unsigned>";
    default:
        return "<string>";
    }
}

int fail(Tcl_Interp* interp, const std::string& message)
{
    if (interp)
        Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), -1));
    return TCL_ERROR;
}

std::map<std::string, void*>& handles()
{
    static auto* map = new std::map<std::string, void*>;
    return *map;
}
} // namespace

std::string ATCL_CMD::usage() const
{
    std::string text = std::string("Usage: ") + m_definition->name;
    for (const ATCL_ARG_DEFINITION* row = m_definition->arguments; row && row->id != 0; ++row)
    {
        const std::string word = std::string("-") + m_definition->get_name(int(row->id)) + " " + type_word(row->type);
        text += (row->flags & ATCL_ARG_OPTIONAL) ? " [" + word + "]" : " " + word;
    }
    return text;
}

const ATCL_ARG_DEFINITION* ATCL_CMD::find_argument(int id) const
{
    for (const ATCL_ARG_DEFINITION* row = m_definition->arguments; row && row->id != 0; ++row)
        if (int(row->id) == id)
            return row;
    return nullptr;
}

int ATCL_ARGS::process_tcl_command_arguments(ATCL_CMD* command, bool* help_shown, int argc, const char** argv)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    m_values.clear();
    if (!command || !command->get_definition() || !help_shown)
        return fail(interp, "internal error: no command definition");
    const ATCL_CMD_DEFINITION* definition = command->get_definition();
    const std::string name = definition->name ? definition->name : "";
    for (int i = 1; i < argc; i += 2)
    {
        const char* word = argv[i] ? argv[i] : "";
        const int id = word[0] == '-' ? definition->get_id(word + 1) : ATCL_ARG_UNKNOWN;
        if (id >= ATCL_ARG_FIRST_HELP && id <= ATCL_ARG_LAST_HELP)
        {
            m_values.clear();
            *help_shown = true;
            Tcl_SetObjResult(interp, Tcl_NewStringObj(command->usage().c_str(), -1));
            return TCL_OK;
        }
        const ATCL_ARG_DEFINITION* row = command->find_argument(id);
        if (!row)
        {
            m_values.clear();
            return fail(interp, name + ": unknown argument \"" + word + "\"\n" + command->usage());
        }
        const std::string argument = std::string("-") + definition->get_name(id);
        if (i + 1 >= argc || !argv[i + 1])
        {
            m_values.clear();
            return fail(interp, name + ": missing value of " + argument);
        }
        value given;
        given.text = argv[i + 1];
        if (row->type == ATCL_ARG_INT)
        {
            int number = 0;
            if (Tcl_GetInt(interp, argv[i + 1], &number) != TCL_OK)
            {
                m_values.clear();
                return fail(interp, name + ": " + argument + " wants an integer, not \"" + given.text + "\"");
            }
            given.number = number;
        }
        else if (row->type == ATCL_ARG_UINT)
        {
            Tcl_WideInt number = 0;
            Tcl_Obj* object = Tcl_NewStringObj(argv[i + 1], -1);
            Tcl_IncrRefCount(object);
            const int status = Tcl_GetWideIntFromObj(interp, object, &number);
            Tcl_DecrRefCount(object);
            if (status != TCL_OK || number < 0 || number > Tcl_WideInt(UINT32_MAX))
            {
                m_values.clear();
                return fail(interp, name + ": " + argument + " wants an unsigned integer up to " +
                                        std::to_string(UINT32_MAX) + ", not \"" + given.text + "\"");
            }
            given.number = number;
        }
        m_values[id] = given;
    }
    for (const ATCL_ARG_DEFINITION* row = definition->arguments; row && row->id != 0; ++row)
        if (!(row->flags & ATCL_ARG_OPTIONAL) && !m_values.count(int(row->id)))
        {
            const std::string missing = definition->get_name(int(row->id));
            m_values.clear();
            return fail(interp, name + ": missing argument -" + missing + "\n" + command->usage());
        }
    return TCL_OK;
}

const char* ATCL_ARGS::get_one_arg_option(int id) const
{
    const auto found = m_values.find(id);
    return found == m_values.end() ? nullptr : found->second.text.c_str();
}

int ATCL_ARGS::get_int_arg_option(int id, bool* given) const
{
    const auto found = m_values.find(id);
    if (given)
        *given = found != m_values.end();
    return found == m_values.end() ? 0 : int(found->second.number);
}

unsigned int ATCL_ARGS::get_uint_arg_option(int id, bool* given) const
{
    const auto found = m_values.find(id);
    if (given)
        *given = found != m_values.end();
    return found == m_values.end() ? 0u : static_cast<unsigned int>(found->second.number);
}

namespace
{
// Every handle name is new: one let go of is never found again under another object.
std::string new_handle_name(const char* kind)
{
    static unsigned int next = 0;
    return std::string(kind ? kind : "object") + std::to_string(++next);
}

// An owned handle, shared by the Tcl values that carry it (a value and its duplicates).
struct owned_handle
{
    std::string name;
    void* object;
    void (*release)(void*);
    int values;
};

owned_handle* handle_of(Tcl_Obj* value)
{
    return static_cast<owned_handle*>(value->internalRep.twoPtrValue.ptr1);
}

void let_go(owned_handle* handle)
{
    if (--handle->values > 0)
        return;
    handles().erase(handle->name);
    handle->release(handle->object);
    delete handle;
}

void free_handle_value(Tcl_Obj* value)
{
    let_go(handle_of(value));
}

void duplicate_handle_value(Tcl_Obj* from, Tcl_Obj* to);

void write_handle_name(Tcl_Obj* value)
{
    const std::string& name = handle_of(value)->name;
    value->bytes = Tcl_Alloc(static_cast<unsigned int>(name.size() + 1));
    std::memcpy(value->bytes, name.c_str(), name.size() + 1);
    value->length = static_cast<int>(name.size());
}

const Tcl_ObjType owned_handle_type = {"atcl_owned_handle", free_handle_value, duplicate_handle_value,
                                       write_handle_name, nullptr};

void duplicate_handle_value(Tcl_Obj* from, Tcl_Obj* to)
{
    owned_handle* handle = handle_of(from);
    ++handle->values;
    to->internalRep.twoPtrValue.ptr1 = handle;
    to->internalRep.twoPtrValue.ptr2 = nullptr;
    to->typePtr = &owned_handle_type;
}
} // namespace

void atcl_set_ptr_result(Tcl_Interp* interp, void* object, const char* kind)
{
    const std::string name = new_handle_name(kind);
    handles()[name] = object;
    if (interp)
        Tcl_SetObjResult(interp, Tcl_NewStringObj(name.c_str(), -1));
}

void atcl_set_owned_ptr_result(Tcl_Interp* interp, void* object, const char* kind, void (*release)(void*))
{
    if (release == nullptr)
        return report("release != NULL");
    if (interp == nullptr)
        return release(object);
    auto* handle = new owned_handle{new_handle_name(kind), object, release, 1};
    handles()[handle->name] = object;
    Tcl_Obj* value = Tcl_NewObj();
    Tcl_InvalidateStringRep(value);
    value->internalRep.twoPtrValue.ptr1 = handle;
    value->internalRep.twoPtrValue.ptr2 = nullptr;
    value->typePtr = &owned_handle_type;
    Tcl_SetObjResult(interp, value);
}

void* atcl_get_ptr(Tcl_Interp*, const char* name)
{
    const auto found = name ? handles().find(name) : handles().end();
    return found == handles().end() ? nullptr : found->second;
}

namespace standin::atcl
{
void set_interpreter_unavailable(bool unavailable)
{
    state().unavailable = unavailable;
}

int eval(const std::string& script, std::string* result)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    const int code = eval_in(interp, script);
    if (result)
        *result = Tcl_GetStringResult(interp);
    return code;
}

std::vector<std::string> registered_commands()
{
    return state().registration_order;
}
} // namespace standin::atcl
