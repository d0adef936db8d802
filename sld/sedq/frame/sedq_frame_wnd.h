#pragma once
// The editor main window. For now it holds only what the document model calls on its
// window: the modified mark; menus, panes and commands join it with the window's own code.
// The model reaches the window's View menu through the host menu record.

#include "host/qui.h"

class SEDQ_FRAME_WND : public QUI_FRAME_WND
{
    Q_OBJECT
public:
    SEDQ_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent = nullptr);

    // Shows the unsaved-changes mark and lets the host refresh the title and its state.
    void set_window_modified(bool modified);
};
