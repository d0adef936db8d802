#pragma once
// The library's exported entry points for the host's Tcl layer (unmangled names).

#include <tcl.h>

#define SEDQ_ENTRY_POINT __attribute__((visibility("default")))

extern "C"
{
    // Initialisation function of the static Tcl package "Sedq": registers "::corvane::sedq"
    // "1.0" with its commands in the host interpreter. Tcl passes the interpreter that loads the
    // package; the package always goes to the host's interpreter, so the argument is not used.
    // Returns TCL_OK, or TCL_ERROR when the package could not be provided.
    SEDQ_ENTRY_POINT int Sedq_Init(Tcl_Interp* interp);
    // Unregisters the package from the host interpreter. Shaped like Tcl's package procedures so
    // that it can be handed to Tcl; the interpreter argument is not used.
    SEDQ_ENTRY_POINT int Sedq_Unload(Tcl_Interp* interp = NULL);

    SEDQ_ENTRY_POINT int sedq_sedq_register_tcl();
    SEDQ_ENTRY_POINT int sedq_sedq_unregister_tcl();
}
