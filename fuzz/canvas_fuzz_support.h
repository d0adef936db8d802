#pragma once
// What the advanced trigger canvas's fuzz targets share: the canvas over a new document whose
// first trigger level is advanced, shown offscreen in the editor window or alone, and the one
// application and canvas a target keeps for the whole process.

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_repository.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "host/sdr/sdr_undo_history.h"

#include <QApplication>
#include <QEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdlib>
#include <memory>

// A broken invariant stops the run like a crash, so that the fuzzer keeps the input.
inline void sedq_fuzz_check(bool ok)
{
    if (!ok)
        abort();
}

// The canvas over a new document whose first trigger level is advanced, and what the targets
// do with it between inputs. Which widget holds the canvas is the host's (below).
struct SEDQ_FUZZ_CANVAS
{
    // Delivers what is pending, deferred deletions included: the application's event loop
    // deletes an object whose deleteLater() ran once control returns to it, which a bare
    // processEvents() does not count as.
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
        {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

protected:
    // A new document whose first trigger level is made advanced as its type menu makes it, in
    // one edit that tells the canvas to show the level's condition.
    void new_document()
    {
        tx->new_document(dir.filePath("fuzz.vtl").toLocal8Bit().constData());
        const SEDQ_EDIT_SCOPE edit(tx, SEDQ_CHECK_COMPILATION, sedq_hint(SEDQ_UPDATE_TRIGGER_CANVAS));
        tx->set_advanced_trigger(0, SDR_LTYPE_ADVANCED);
    }

public:
    QTemporaryDir dir;
    SEDQ_TX_MANAGER* tx = nullptr;
    SEDQ_OBJECT_WIDGET* canvas = nullptr;
};

// The canvas on its page of the editor window, shown offscreen: the window's other views follow
// the model beside it, and drags can come from its node view.
struct SEDQ_FUZZ_CANVAS_WINDOW : SEDQ_FUZZ_CANVAS
{
    // The page of an instance's tabs that holds the advanced trigger canvas.
    static constexpr int CANVAS_PAGE = 2;

    SEDQ_FUZZ_CANVAS_WINDOW()
    {
        frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
        tx = frame->get_tx_manager();
        new_document();
        frame->resize(800, 600);
        frame->show();
        settle();
        frame->get_layout_widget()->get_data_setup_tab_widget(SEDQ_CURRENT)->setCurrentIndex(CANVAS_PAGE);
        settle();
        canvas = frame->get_layout_widget()->get_object_widget();
    }

    // The condition as the document holds it, read again by the canvas with a history of one
    // snapshot, and every event the input left pending delivered, as the application's event
    // loop would between two user actions: nothing an input made outlives it. The scene and
    // both undo histories are let go of here rather than by File > New, which in this window
    // builds the instance's whole page again, at more than ten times the cost of a drop. The
    // canvas is told that its objects were released, as the model tells it, so that it drops
    // what it painted from them; the trigger's look-up of node names, which the input's last
    // paint may have built, is dropped as a write would drop it.
    void reload()
    {
        SEDQ_OBJECT_WIDGET::free_array(canvas->get_object_list());
        QList<QList<SEDQ_OBJECT*>*>* history = canvas->get_undo_list();
        for (QList<SEDQ_OBJECT*>* snapshot : *history)
        {
            SEDQ_OBJECT_WIDGET::free_array(snapshot);
            delete snapshot;
        }
        history->clear();
        SEDQ_REPOSITORY::instance(tx)->get_data_instance()->history().clear();
        canvas->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_TRIGGER_CANVAS));
        canvas->on_update(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
        settle();
        SEDQ_REPOSITORY::trigger_nodes(tx, SEDQ_CURRENT)->get_data_trigger()->edit_transient();
    }

    QUI_FRAME_INFO info;
    std::unique_ptr<SEDQ_FRAME_WND> frame;
};

// The canvas alone in a window of its own, over a model without an editor window (as the
// wizard's canvas is), 508 x 99 pixels as in the 800 x 600 editor window above. Nothing else
// follows the model, and a dialog the canvas opens blocks a window of four widgets instead of
// the editor's hundreds.
struct SEDQ_FUZZ_CANVAS_PAGE : SEDQ_FUZZ_CANVAS
{
    SEDQ_FUZZ_CANVAS_PAGE()
    {
        model = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
        tx = model.get();
        new_document();
        page = std::make_unique<QWidget>();
        canvas = new SEDQ_OBJECT_WIDGET(nullptr, tx);
        auto* layout = new QVBoxLayout(page.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(canvas);
        // Wired as the editor window wires its canvas.
        QObject::connect(tx, &SEDQ_TX_MANAGER::updated_later, canvas, &SEDQ_OBJECT_WIDGET::on_update);
        SEDQ_OBJECT_WIDGET* shown = canvas;
        QObject::connect(tx, &SEDQ_TX_MANAGER::releasing_conditions, canvas, [shown] {
            shown->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_TRIGGER_CANVAS));
        });
        page->resize(508, 99);
        page->show();
        canvas->on_update(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
        settle();
    }

    // A new document in place of the one the input edited, as File > New makes it: closing the
    // old one lets go of everything the input made of it (the condition's objects and undo
    // snapshots, the document's undo history, the trigger's look-ups), and the model tells the
    // canvas before it releases them. The canvas then shows the new condition as it shows one
    // for the first time, the Result alone with a history of one snapshot, and every event the
    // input left pending is delivered, as the application's event loop would between two user
    // actions: nothing an input made outlives it.
    void reload()
    {
        new_document();
        settle();
    }

    // The page goes before the model its canvas reads.
    std::unique_ptr<SEDQ_TX_MANAGER> model;
    std::unique_ptr<QWidget> page;
};

// The target's window, built on first use over an offscreen application named `name`. Both are
// kept to the end of the process: destroyed among the exit handlers the window would outlive the
// Qt state it needs.
template <class EDITOR> EDITOR& sedq_fuzz_editor(const char* name)
{
    static int argc = 1;
    static QByteArray program(name);
    static char* argv[] = {program.data(), nullptr};
    static const bool platform = (qputenv("QT_QPA_PLATFORM", "offscreen"), true);
    (void)platform;
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
    static EDITOR* built = new EDITOR;
    return *built;
}
