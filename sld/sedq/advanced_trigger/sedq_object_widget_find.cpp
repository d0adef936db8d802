// SEDQ_OBJECT_WIDGET: Find and Find Next over the objects of the condition on show, and the
// selection queries they start from.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_find_dlg.h"

#include <algorithm>
#include <functional>

namespace
{
void run_find_dialog(SEDQ_OBJECT_WIDGET* canvas, SEDQ_FRAME_WND* frame,
                     const std::function<void(SEDQ_FIND_DLG&)>& use)
{
    if (!SEDQ_VERIFY(frame != NULL))
        return;
    SEDQ_FIND_DLG dialog(canvas, frame, false);
    dialog.set_state_to_load(canvas->get_find_state());
    dialog.load_find_dlg_state();
    use(dialog);
}
} // namespace

int SEDQ_OBJECT_WIDGET::get_selection_count() const
{
    if (m_object_list == nullptr)
        return 0;
    return int(std::count_if(m_object_list->begin(), m_object_list->end(),
                                 [](const SEDQ_OBJECT* object) { return object->is_selected(); }));
}

SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::get_selected_item() const
{
    if (m_object_list == nullptr)
        return nullptr;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_selected())
            return object;
    return nullptr;
}

// Find runs the dialog; Find Next runs one search step on it without showing it. Either way it
// starts from the state the canvas keeps.
void SEDQ_OBJECT_WIDGET::on_edit_find()
{
    run_find_dialog(this, SEDQ_FRAME_WND::of(m_tx), [](SEDQ_FIND_DLG& dialog) { dialog.exec(); });
}

void SEDQ_OBJECT_WIDGET::on_edit_find_next()
{
    run_find_dialog(this, SEDQ_FRAME_WND::of(m_tx),
                    [](SEDQ_FIND_DLG& dialog) { dialog.on_object_widget_find_next(); });
}
