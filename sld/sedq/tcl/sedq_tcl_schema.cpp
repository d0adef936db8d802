// Reading the location schema of a sedq_do_locate call: apart from the window code, so that it
// runs with the host layer alone.
#include "sedq/tcl/sedq_tcl.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/tcl/sedq_tcl_args_auto.h"

#include "host/msg.h"

#include <string>

namespace
{
// The schema named by the interpreter's result, kept with a reference to the result's value,
// which owns it: the result may change at once.
SEDQ_LOCATION_SCHEMA hold_result_schema(Tcl_Interp* interp, const MSG_GEN_LOCATION_SCHEMA* schema)
{
    Tcl_Obj* value = Tcl_GetObjResult(interp);
    Tcl_IncrRefCount(value);
    const std::shared_ptr<Tcl_Obj> held(value, [](Tcl_Obj* kept) { Tcl_DecrRefCount(kept); });
    return SEDQ_LOCATION_SCHEMA(held, schema);
}
} // namespace

SEDQ_LOCATION_SCHEMA sedq_get_schema_from_tcl_string(const char* text)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    if (!SEDQ_VERIFY(interp != NULL))
        return nullptr;
    const std::string list = std::string("func ") + (text ? text : "");
    int count = 0;
    const char** words = nullptr;
    if (Tcl_SplitList(interp, list.c_str(), &count, &words) != TCL_OK)
        return nullptr;
    SEDQ_LOCATION_SCHEMA schema;
    if (MSG_LOCATION_SCHEMA::from_tcl_string(nullptr, interp, count, words) == TCL_OK)
    {
        // The name is read from the result's value: Tcl_GetStringResult would replace the value,
        // and with it let go of the schema.
        const char* name = Tcl_GetString(Tcl_GetObjResult(interp));
        auto* loc_schema = static_cast<MSG_LOCATION_SCHEMA*>(atcl_get_ptr(interp, name));
        if (SEDQ_VERIFY(loc_schema != NULL))
        {
            if (loc_schema->get_kind() != 10)
                SEDQ_REPORT("Qt code should only create MSG_GEN_LOCATION_SCHEMAs.");
            else
                schema = hold_result_schema(interp, dynamic_cast<MSG_GEN_LOCATION_SCHEMA*>(loc_schema));
        }
    }
    Tcl_Free(reinterpret_cast<char*>(words));
    return schema;
}

SEDQ_LOCATION_SCHEMA sedq_read_locate_call(Tcl_Interp* interp, int argc, const char** argv, int* status)
{
    ATCL_ARGS args;
    bool help_shown = false;
    *status = sedq_init_command(SEDQ_CMD_DO_LOCATE, &args, &help_shown, argc, argv);
    if (*status != TCL_OK || help_shown)
        return nullptr;
    // Reading the schema uses the interpreter's result; the script's stays as it was.
    Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
    SEDQ_LOCATION_SCHEMA schema = sedq_get_schema_from_tcl_string(args.get_one_arg_option(SEDQ_AUTO_ARG_SCHEMA));
    Tcl_RestoreInterpState(interp, saved);
    SEDQ_VERIFY(schema != NULL);
    return schema;
}
