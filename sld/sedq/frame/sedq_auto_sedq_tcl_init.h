#pragma once
// The static Tcl package of the library. Its one instance is built when the library loads:
// it announces the static package "Sedq" (initialised by Sedq_Init on a later package
// require) unless the host loads packages dynamically, and at unload it unregisters the
// package again when the host runs with its Qt interface.

class SEDQ_AUTO_SEDQ_TCL_INIT
{
public:
    SEDQ_AUTO_SEDQ_TCL_INIT();
    ~SEDQ_AUTO_SEDQ_TCL_INIT();

    SEDQ_AUTO_SEDQ_TCL_INIT(const SEDQ_AUTO_SEDQ_TCL_INIT&) = delete;
    SEDQ_AUTO_SEDQ_TCL_INIT& operator=(const SEDQ_AUTO_SEDQ_TCL_INIT&) = delete;
};
