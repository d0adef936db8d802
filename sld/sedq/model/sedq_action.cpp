// The edit guard: one bracket of the current instance per guard, never nested.
#include "sedq/model/sedq_action.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

bool SEDQ_ACTION::m_action_done = true;

SEDQ_ACTION::SEDQ_ACTION(SEDQ_TX_MANAGER* manager) : m_manager(manager)
{
    if (!SEDQ_VERIFY(this->m_action_done))
    {
        // Opening a second bracket or clearing the flag here would make the outer guard's
        // close unbalanced; the nested edit simply joins the outer one.
        m_manager = nullptr;
        return;
    }
    if (!SEDQ_VERIFY(manager != NULL))
        return;
    m_action_done = false;
    m_instance = manager->get_tx_instance();
    manager->begin_action(-1);
}

SEDQ_ACTION::~SEDQ_ACTION()
{
    if (!m_manager)
        return;
    const int index = index_of_opened_instance();
    if (index >= 0)
        m_manager->end_action(SEDQ_CHECK_COMPILATION, index);
    else
        close_vanished_bracket();
    m_action_done = true;
}

// The entry whose bracket was opened went away inside the edit (or there was none): its
// bracket is still closed, and the instance manager and the undo actions still hear of the
// edit as after any other one.
void SEDQ_ACTION::close_vanished_bracket()
{
    if (m_instance)
        m_instance->end_action();
    m_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    m_manager->on_update_edit_undo();
    m_manager->on_update_edit_redo();
}

int SEDQ_ACTION::index_of_opened_instance() const
{
    SDR_TX_SESSION* session = m_manager->get_tx_session();
    if (!session || !m_instance)
        return -1;
    const int count = session->get_num_instances();
    for (int i = 0; i < count; ++i)
        if (session->get_instance_at(i, false) == m_instance)
            return i;
    return -1;
}
