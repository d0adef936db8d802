// The editor main window: construction and the modified mark.
#include "sedq/frame/sedq_frame_wnd.h"

SEDQ_FRAME_WND::SEDQ_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent)
    : QUI_FRAME_WND(info, state, parent)
{
}

void SEDQ_FRAME_WND::set_window_modified(bool modified)
{
    setWindowModified(modified);
    QUI_FRAME_WND::modified();
}
