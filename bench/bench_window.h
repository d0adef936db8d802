#pragma once
// An editor window (1600 x 1000, offscreen) opened on a document from its file, as a user opens
// it, and the event loop run until nothing is left to deliver, for the benchmarks that time what
// the window does.

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QAbstractEventDispatcher>
#include <QString>

#include <memory>

inline void sedq_bench_settle()
{
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents))
    {
    }
}

struct SEDQ_BENCH_WINDOW
{
    explicit SEDQ_BENCH_WINDOW(const QString& path)
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        frame->resize(1600, 1000);
        opened = frame->open_file(path);
        frame->show();
        sedq_bench_settle();
        tx = frame->get_tx_manager();
        view = frame->get_layout_widget()->get_view();
    }

    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
    bool opened = false;
    SEDQ_TX_MANAGER* tx = nullptr;
    SEDQ_VIEW* view = nullptr;
};
