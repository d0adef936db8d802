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
    const int index = index_of(m_instance);
    if (index > 0 && manager->is_powerup_trigger(index))
        m_owner = manager->get_tx_session()->get_instance_at(index - 1, false);
    manager->begin_action(-1);
}

SEDQ_ACTION::~SEDQ_ACTION()
{
    if (!m_manager)
        return;
    const int index = index_of(m_instance);
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
    // A removed power-up view no longer reaches its instance's history; its instance does.
    if (m_instance && !m_instance->end_action() && m_owner && index_of(m_owner) >= 0)
        m_owner->end_action();
    m_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    m_manager->on_update_edit_undo();
    m_manager->on_update_edit_redo();
}

int SEDQ_ACTION::index_of(SDR_TX_INSTANCE* entry) const
{
    SDR_TX_SESSION* session = m_manager->get_tx_session();
    if (!session || !entry)
        return -1;
    const int count = session->get_num_instances();
    for (int i = 0; i < count; ++i)
        if (session->get_instance_at(i, false) == entry)
            return i;
    return -1;
}
