// The undo bracket of one edit, closed where it was opened.
#include "sedq/model/sedq_edit_bracket.h"

#include "sedq/model/sedq_repository.h"

void SEDQ_EDIT_BRACKET::open(SEDQ_TX_MANAGER* manager, int instance)
{
    m_instance = SEDQ_REPOSITORY::instance_at(manager, instance);
    const int index = index_of(manager, m_instance);
    if (index > 0 && manager->is_powerup_trigger(index))
        m_owner = SEDQ_REPOSITORY::session(manager)->get_instance_at(index - 1, false);
    if (m_instance != nullptr)
        m_instance->begin_action();
}

void SEDQ_EDIT_BRACKET::close(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check)
{
    const int index = index_of(manager, m_instance);
    if (index >= 0)
        manager->end_action(check, index);
    else
        close_vanished(manager, check);
}

// The entry whose bracket was opened went away inside the edit (or there was none): its
// bracket is still closed, and the instance manager and the undo actions still hear of the
// edit as after any other one that asked for the check.
void SEDQ_EDIT_BRACKET::close_vanished(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check)
{
    end_vanished(manager);
    if (check == SEDQ_CHECK_COMPILATION)
        manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    manager->on_update_edit_undo();
    manager->on_update_edit_redo();
}

void SEDQ_EDIT_BRACKET::close_nested(SEDQ_TX_MANAGER* manager)
{
    if (index_of(manager, m_instance) >= 0)
        m_instance->end_action();
    else
        end_vanished(manager);
}

// A removed power-up view no longer reaches its instance's history; its instance does.
void SEDQ_EDIT_BRACKET::end_vanished(SEDQ_TX_MANAGER* manager)
{
    if (m_instance && !m_instance->end_action() && m_owner && index_of(manager, m_owner) >= 0)
        m_owner->end_action();
}

int SEDQ_EDIT_BRACKET::index_of(SEDQ_TX_MANAGER* manager, SDR_TX_INSTANCE* entry) const
{
    const SDR_TX_SESSION* session = manager->get_tx_session();
    if (!session || !entry)
        return -1;
    const int count = session->get_num_instances();
    for (int i = 0; i < count; ++i)
        if (session->get_instance_at(i, false) == entry)
            return i;
    return -1;
}
