// Static Tcl package registration at library load and its withdrawal at unload.
#include "sedq/frame/sedq_auto_sedq_tcl_init.h"

#include "sedq/frame/sedq_entry_points.h"

#include "host/atcl.h"
#include "host/gen.h"

#include <tcl.h>

SEDQ_AUTO_SEDQ_TCL_INIT::SEDQ_AUTO_SEDQ_TCL_INIT()
{
    // Tcl keeps a process-wide list of static packages and accepts a null interpreter here,
    // so this works before the host has created its interpreter.
    if (!atcl_is_dynamically_loading())
        Tcl_StaticPackage(NULL, "Sedq", Sedq_Init, NULL);
}

SEDQ_AUTO_SEDQ_TCL_INIT::~SEDQ_AUTO_SEDQ_TCL_INIT()
{
    if (gen_get_is_qt())
        Sedq_Unload(NULL);
}
