// Netlist hierarchy browser stand-in: an opaque manager to register.
#include "host/qhd.h"

void* qhd_get_qhd_dbmui_manager()
{
    static int manager;
    return &manager;
}
