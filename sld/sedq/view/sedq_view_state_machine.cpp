// SEDQ_VIEW: the commands that add the design's state machines as node groups with their
// mnemonic tables, or rebuild the tables of those already tapped. The dialog makes every change.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_state_machine_dlg.h"

void SEDQ_VIEW::on_node_add_state_machine()
{
    if (SEDQ_VERIFY(this->m_frame_wnd != NULL))
        SEDQ_STATE_MACHINE_DLG::run(m_frame_wnd, false, this);
}

void SEDQ_VIEW::on_node_recreate_state_machine_mnemonics()
{
    if (SEDQ_VERIFY(this->m_frame_wnd != NULL))
        SEDQ_STATE_MACHINE_DLG::run(m_frame_wnd, true, this);
}
