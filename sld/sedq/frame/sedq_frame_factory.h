#pragma once
// The exported factory through which the host opens an analyzer editor window.

#include "host/qui.h"
#include "sedq/frame/sedq_entry_points.h"

class SEDQ_FRAME_WND;

extern "C"
{
    // Makes sure the Tcl package is loaded, then builds a new editor window in the given mode
    // (no parent, no window flags). The host owns and deletes the window and then opens a new
    // or an existing document in it.
    SEDQ_ENTRY_POINT SEDQ_FRAME_WND* sld_sedq_create_frame_wnd(QUI_FW_STATE_ENUM state, QUI_FRAME_INFO* info);
}
