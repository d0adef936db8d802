#pragma once
// The command table of the Tcl package "::corvane::sedq", handed to the host when the
// package is registered: rows of {handler, command name, 0} in command-id order, ended by a
// null row.

#include "host/atcl.h"

extern const ATCL_CALLBACK sedq_sedq_tcl_callbacks[];
