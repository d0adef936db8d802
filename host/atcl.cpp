// Tcl-layer stand-in over the real Tcl library: one interpreter, package set-up that creates
// namespaced commands with unqualified imports, and package require through static packages.
#include "host/atcl.h"

#include "host/msg.h"
#include "host/standin/atcl_control.h"
#include "host/standin/standin.h"

#include <cctype>
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
