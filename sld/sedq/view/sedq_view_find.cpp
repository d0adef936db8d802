// SEDQ_VIEW: Find and Find Next over the names of the node rows, with the find state the view
// keeps between them.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_find_dlg.h"

namespace
{
// The view searches node and bus names only.
SEDQ_FIND_STATE view_state_to_load(const SEDQ_FIND_STATE& kept)
{
    SEDQ_FIND_STATE state = kept;
    state.other_names = false;
    state.object_aliases = false;
    state.object_types = false;
    return state;
}
} // namespace

// The dialog's own Find Next starts afresh and leaves the position of the view's Find Next.
void SEDQ_VIEW::on_edit_find()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    SEDQ_FIND_DLG dialog(this, m_frame_wnd, true);
    dialog.set_state_to_load(view_state_to_load(m_find_state));
    dialog.load_find_dlg_state();
    dialog.exec();
}

void SEDQ_VIEW::on_edit_find_next()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    SEDQ_FIND_DLG dialog(this, m_frame_wnd, true);
    dialog.set_state_to_load(view_state_to_load(m_find_state));
    dialog.set_find_position(m_find_position);
    dialog.load_find_dlg_state();
    dialog.on_view_find_next();
}

bool SEDQ_VIEW::on_update_edit_find()
{
    return get_visible_node_count() > 0;
}

bool SEDQ_VIEW::on_update_edit_find_next()
{
    return on_update_edit_find();
}
