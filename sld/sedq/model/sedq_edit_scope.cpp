// The edit scope: bracket, compile check, modified mark and refresh of one edit in one place.
#include "sedq/model/sedq_edit_scope.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

bool SEDQ_EDIT_SCOPE::s_open = false;

SEDQ_EDIT_SCOPE::SEDQ_EDIT_SCOPE(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check, int hint)
    : m_manager(nullptr), m_check(check), m_hint(hint)
{
    // A second bracket here would make the outer scope's close unbalanced; the nested edit
    // simply joins the outer one.
    if (!SEDQ_VERIFY(!SEDQ_EDIT_SCOPE::s_open) || !SEDQ_VERIFY(manager != NULL))
        return;
    m_manager = manager;
    s_open = true;
    m_instance = manager->get_tx_instance();
    const int index = index_of(m_instance);
    if (index > 0 && manager->is_powerup_trigger(index))
        m_owner = manager->get_tx_session()->get_instance_at(index - 1, false);
    manager->begin_action(-1);
}

SEDQ_EDIT_SCOPE::~SEDQ_EDIT_SCOPE()
{
    close();
}

void SEDQ_EDIT_SCOPE::close()
{
    if (m_manager == nullptr)
        return;
    SEDQ_TX_MANAGER* manager = m_manager;
    end_bracket();
    m_manager = nullptr;
    s_open = false;
    // The mark only follows the document here; the setters that announce a modification
    // (with its own hint) still do so themselves.
    if (SDR_TX_SESSION* session = manager->get_tx_session())
        manager->set_modified_flag(session->is_modified());
    if (m_hint != NO_REFRESH)
        manager->update_all_views(nullptr, m_hint);
}

void SEDQ_EDIT_SCOPE::end_bracket()
{
    const int index = index_of(m_instance);
    if (index >= 0)
        m_manager->end_action(m_check, index);
    else
        close_vanished_bracket();
}

// The entry whose bracket was opened went away inside the edit (or there was none): its
// bracket is still closed, and the instance manager and the undo actions still hear of the
// edit as after any other one that asked for the check.
void SEDQ_EDIT_SCOPE::close_vanished_bracket()
{
    // A removed power-up view no longer reaches its instance's history; its instance does.
    if (m_instance && !m_instance->end_action() && m_owner && index_of(m_owner) >= 0)
        m_owner->end_action();
    if (m_check == SEDQ_CHECK_COMPILATION)
        m_manager->update_all_views(nullptr,
                                    sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    m_manager->on_update_edit_undo();
    m_manager->on_update_edit_redo();
}

int SEDQ_EDIT_SCOPE::index_of(SDR_TX_INSTANCE* entry) const
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
