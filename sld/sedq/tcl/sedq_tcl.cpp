// The command table of the Tcl package "::corvane::sedq".
#include "sedq/tcl/sedq_tcl.h"

// The commands join this table in command-id order; the null row always ends it.
const ATCL_CALLBACK sedq_sedq_tcl_callbacks[] = {
    {nullptr, nullptr, 0},
};
