// Exported entry points that register and unregister the Tcl package "::corvane::sedq".
#include "sedq/frame/sedq_entry_points.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/tcl/sedq_tcl.h"

#include "host/atcl.h"

namespace
{
const char* const PACKAGE_NAME = "::corvane::sedq";
const char* const PACKAGE_VERSION = "1.0";
} // namespace

int Sedq_Init(Tcl_Interp*)
{
    return sedq_sedq_register_tcl();
}

int Sedq_Unload(Tcl_Interp*)
{
    sedq_sedq_unregister_tcl();
    return TCL_OK;
}

int sedq_sedq_register_tcl()
{
    // Checked first: without an interpreter there is nothing to register the commands in.
    Tcl_Interp* interpreter = atcl_get_interpreter();
    if (interpreter == NULL)
    {
        SEDQ_REPORT("A Tcl interpreter must exist before registering ::corvane::sedq!");
        return TCL_ERROR;
    }
    atcl_begin_package_setup(PACKAGE_NAME, PACKAGE_VERSION, NULL, NULL, false);
    atcl_register_callbacks(sedq_sedq_tcl_callbacks);
    atcl_end_package_setup();
    return Tcl_PkgProvideEx(interpreter, PACKAGE_NAME, PACKAGE_VERSION, NULL);
}

int sedq_sedq_unregister_tcl()
{
    Tcl_Interp* interpreter = atcl_get_interpreter();
    if (!SEDQ_VERIFY(interpreter != NULL))
        return TCL_ERROR;
    atcl_begin_package_setup(PACKAGE_NAME, PACKAGE_VERSION, "sld_sedq", "sedq_sedq", true);
    atcl_unregister_package(interpreter);
    return atcl_end_package_setup();
}
