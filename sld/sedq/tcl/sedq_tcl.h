#pragma once
// The command table of the Tcl package "::corvane::sedq", handed to the host when the
// package is registered: rows of {handler, command name, 0} in command-id order, ended by a
// null row.

#include "host/atcl.h"

extern const ATCL_CALLBACK* const sedq_sedq_tcl_callbacks;

// The two commands of production scripts: add signal nodes to open analyzer windows.
int sedq_add_node(ClientData, Tcl_Interp* interp, int argc, const char** argv);
int sedq_do_locate(ClientData, Tcl_Interp* interp, int argc, const char** argv);

class MSG_GEN_LOCATION_SCHEMA;
// The schema that a -schema text ({source node...}) names; null when it names none.
MSG_GEN_LOCATION_SCHEMA* sedq_get_schema_from_tcl_string(const char* text);
