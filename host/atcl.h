#pragma once
// Host Tcl layer over the Tcl 8.6 library: the process-wide interpreter, package set-up with
// command tables, and package require for the host's short package names.

#include <tcl.h>

#include <cstdint>

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
