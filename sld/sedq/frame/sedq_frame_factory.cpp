// The exported factory of editor windows.
#include "sedq/frame/sedq_frame_factory.h"

#include "host/atcl.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_verify.h"

// A window without its Tcl package still works; the missing package is reported and the
// window is built all the same.
SEDQ_FRAME_WND* sld_sedq_create_frame_wnd(QUI_FW_STATE_ENUM state, QUI_FRAME_INFO* info)
{
    SEDQ_VERIFY(::atcl_package_require(::atcl_get_interpreter(), "sedq", NULL, true, true) == TCL_OK);
    return new SEDQ_FRAME_WND(info, state, nullptr, Qt::WindowFlags());
}
