#pragma once
// The command table of the Tcl package "::corvane::sedq", handed to the host when the
// package is registered: rows of {handler, command name, 0} in command-id order, ended by a
// null row.

#include "host/atcl.h"

#include <memory>

extern const ATCL_CALLBACK* const sedq_sedq_tcl_callbacks;

// The two commands of production scripts: add signal nodes to open analyzer windows.
int sedq_add_node(ClientData, Tcl_Interp* interp, int argc, const char** argv);
int sedq_do_locate(ClientData, Tcl_Interp* interp, int argc, const char** argv);

class MSG_GEN_LOCATION_SCHEMA;
// A schema read from a script: the host frees it once the last of these and of the Tcl values
// naming it is gone.
using SEDQ_LOCATION_SCHEMA = std::shared_ptr<const MSG_GEN_LOCATION_SCHEMA>;
// The schema that a -schema text ({source node...}) names; null when it names none.
SEDQ_LOCATION_SCHEMA sedq_get_schema_from_tcl_string(const char* text);
// Parses a sedq_do_locate call and reads its -schema, leaving the interpreter's result as it
// was. `status` gets the parse's status. Null after an argument error or the usage, and for a
// schema that names no source (reported as an internal error).
SEDQ_LOCATION_SCHEMA sedq_read_locate_call(Tcl_Interp* interp, int argc, const char** argv, int* status);
