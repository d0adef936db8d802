#pragma once
// The editor window the view benchmarks paint: a 1600 x 1000 window over a new document whose
// first trigger `fill` gives its rows (and logs), shown offscreen on the data or the setup tab,
// its one view and an image of the view's size to paint into.

#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>
#include "sedq/model/sedq_repository.h"

struct SEDQ_BENCH_EDITOR
{
    template <class FILL> SEDQ_BENCH_EDITOR(FILL fill, bool data_tab)
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        manager = frame->get_tx_manager();
        manager->new_document(dir.filePath("bench.vtl").toLocal8Bit().constData());
        fill(SEDQ_REPOSITORY::trigger_nodes(manager, -1)->get_data_trigger());
        manager->refresh_tx_cache();
        frame->resize(1600, 1000);
        frame->show();
        settle();
        if (data_tab)
        {
            frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
            settle();
        }
        manager->update_all_views(nullptr, 0x20000001);
        settle();
        view = frame->get_layout_widget()->get_view();
        image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
    }

    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }

    void paint()
    {
        QPainter painter(&image);
        view->paint(&painter, nullptr, view, view->rect(), true);
    }

    QTemporaryDir dir;
    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
    SEDQ_TX_MANAGER* manager = nullptr;
    SEDQ_VIEW* view = nullptr;
    QImage image;
};
