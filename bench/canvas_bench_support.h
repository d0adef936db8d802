#pragma once
// What the advanced trigger canvas's benchmarks share: the editor window over a document whose
// first trigger level is advanced, the canvas's page on show and refreshed with `hint`, and a
// way back to a scene of the Result alone between cases.

#include "bench_editor.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/model/sedq_types.h"

#include <functional>

// A new expanded input of `parent`, of the library's kind `type`.
inline SEDQ_OBJECT* sedq_bench_add_input(SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_LIBRARY_TYPE type)
{
    auto* object =
        static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
    object->set_library_type(type);
    object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    return object;
}

struct SEDQ_BENCH_CANVAS_EDITOR : SEDQ_BENCH_EDITOR
{
    // The page of an instance's tabs that holds the advanced trigger canvas.
    static constexpr int CANVAS_PAGE = 2;

    // `fill` adds what else the document's trigger holds (its nodes).
    explicit SEDQ_BENCH_CANVAS_EDITOR(unsigned int hint = SEDQ_UPDATE_TRIGGER_CANVAS,
                                      const std::function<void(SDR_DATA_TRIGGER*)>& fill = nullptr)
        : SEDQ_BENCH_EDITOR(
              [&fill](SDR_DATA_TRIGGER* t) {
                  t->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
                  if (fill)
                      fill(t);
              },
              false)
    {
        frame->get_layout_widget()->get_data_setup_tab_widget(SEDQ_CURRENT)->setCurrentIndex(CANVAS_PAGE);
        settle();
        manager->update_all_views(nullptr, sedq_hint(hint));
        settle();
        canvas = frame->get_layout_widget()->get_object_widget();
    }

    // Deletes every object of the scene but the Result.
    void keep_only_result()
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        for (int i = list->size() - 1; i >= 0; --i)
            if (list->at(i)->get_type() != SEDQ_OBJECT::LEVEL_RESULT)
                delete list->takeAt(i);
    }

    SEDQ_OBJECT_WIDGET* canvas = nullptr;
};
