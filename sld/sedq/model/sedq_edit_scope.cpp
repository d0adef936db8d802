// The edit scope: bracket, compile check, modified mark and refresh of one edit in one place.
#include "sedq/model/sedq_edit_scope.h"

#include "sedq/model/sedq_refusal.h"
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
    // Only a refusal of this edit is reported where it ends.
    sedq_take_refusal();
    m_bracket.open(manager);
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
    m_bracket.close(manager, m_check);
    m_manager = nullptr;
    s_open = false;
    // The mark only follows the document here; the setters that announce a modification
    // (with its own hint) still do so themselves.
    if (SDR_TX_SESSION* session = manager->get_tx_session())
        manager->set_modified_flag(session->is_modified());
    if (m_hint != NO_REFRESH)
        manager->update_all_views(nullptr, m_hint);
}
