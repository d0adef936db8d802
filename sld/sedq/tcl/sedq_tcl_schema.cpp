// Reading the location schema of a sedq_do_locate call: apart from the window code, so that it
// runs with the host layer alone.
#include "sedq/tcl/sedq_tcl.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/tcl/sedq_tcl_args_auto.h"

#include "host/msg.h"

#include <string>

MSG_GEN_LOCATION_SCHEMA* sedq_get_schema_from_tcl_string(const char* text)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    if (!SEDQ_VERIFY(interp != NULL))
        return nullptr;
    const std::string list = std::string("func ") + (text ? text : "");
    int count = 0;
    const char** words = nullptr;
    if (Tcl_SplitList(interp, list.c_str(), &count, &words) != TCL_OK)
        return nullptr;
    MSG_GEN_LOCATION_SCHEMA* schema = nullptr;
    if (MSG_LOCATION_SCHEMA::from_tcl_string(nullptr, interp, count, words) == TCL_OK)
    {
        auto* loc_schema = static_cast<MSG_LOCATION_SCHEMA*>(atcl_get_ptr(interp, Tcl_GetStringResult(interp)));
        if (SEDQ_VERIFY(loc_schema != NULL))
        {
            if (loc_schema->get_kind() != 10)
                SEDQ_REPORT("Qt code should only create MSG_GEN_LOCATION_SCHEMAs.");
            else
                schema = dynamic_cast<MSG_GEN_LOCATION_SCHEMA*>(loc_schema);
        }
    }
    Tcl_Free(reinterpret_cast<char*>(words));
    return schema;
}

MSG_GEN_LOCATION_SCHEMA* sedq_read_locate_call(Tcl_Interp* interp, int argc, const char** argv, int* status)
{
    ATCL_ARGS args;
    bool help_shown = false;
    *status = sedq_init_command(SEDQ_CMD_DO_LOCATE, &args, &help_shown, argc, argv);
    if (*status != TCL_OK || help_shown)
        return nullptr;
    // Reading the schema uses the interpreter's result; the script's stays as it was.
    Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
    MSG_GEN_LOCATION_SCHEMA* schema = sedq_get_schema_from_tcl_string(args.get_one_arg_option(SEDQ_AUTO_ARG_SCHEMA));
    Tcl_RestoreInterpState(interp, saved);
    SEDQ_VERIFY(schema != NULL);
    return schema;
}
