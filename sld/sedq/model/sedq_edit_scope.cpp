// The edit scope: bracket, compile check, modified notification and refresh of an edit in one place.
#include "sedq/model/sedq_edit_scope.h"

#include "sedq/model/sedq_refusal.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>

SEDQ_EDIT_SCOPE* SEDQ_EDIT_SCOPE::s_innermost = nullptr;

namespace
{
// The stronger of two compile checks: a check always beats a check only on the power-up view.
SEDQ_CHECK_COMPILATION_STATUS stronger(SEDQ_CHECK_COMPILATION_STATUS a, SEDQ_CHECK_COMPILATION_STATUS b)
{
    if (a == SEDQ_CHECK_COMPILATION || b == SEDQ_CHECK_COMPILATION)
        return SEDQ_CHECK_COMPILATION;
    return a == SEDQ_SKIP_COMPILATION_CHECK ? b : a;
}
} // namespace

SEDQ_EDIT_SCOPE::SEDQ_EDIT_SCOPE(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check, int hint,
                                 int instance)
    : m_manager(nullptr), m_check(check), m_hint(hint)
{
    if (!SEDQ_VERIFY(manager != NULL))
        return;
    // One edit at a time: an edit of another document inside this one would close its bracket
    // in the middle of this one's.
    if (s_innermost != nullptr && !SEDQ_VERIFY(s_innermost->m_manager == manager))
        return;
    m_manager = manager;
    m_outer = s_innermost;
    s_innermost = this;
    // Only a refusal of this edit is reported where it ends.
    if (m_outer == nullptr)
        sedq_take_refusal();
    m_bracket.open(manager, instance);
}

SEDQ_EDIT_SCOPE::~SEDQ_EDIT_SCOPE()
{
    close();
}

SEDQ_EDIT_SCOPE* SEDQ_EDIT_SCOPE::outermost_on(const SEDQ_TX_MANAGER* manager)
{
    SEDQ_EDIT_SCOPE* scope = s_innermost;
    while (scope != nullptr && scope->m_outer != nullptr)
        scope = scope->m_outer;
    return scope != nullptr && scope->m_manager == manager ? scope : nullptr;
}

void SEDQ_EDIT_SCOPE::close()
{
    if (m_manager == nullptr)
        return;
    // Scopes end in the reverse order of their opening. One closed early while a scope inside it
    // is still open ends that one first, so that no scope is left handing its edit to a closed one.
    if (!SEDQ_VERIFY(s_innermost == this))
        while (s_innermost != nullptr && s_innermost != this)
            s_innermost->close();
    SEDQ_TX_MANAGER* manager = m_manager;
    m_manager = nullptr;
    s_innermost = m_outer;
    if (m_outer != nullptr)
        hand_to_outer();
    else
        close_outermost(manager);
}

void SEDQ_EDIT_SCOPE::note_modified()
{
    if (m_modified || m_manager == nullptr)
        return;
    m_modified = true;
    m_manager->send_modified();
}

void SEDQ_EDIT_SCOPE::hand_to_outer()
{
    m_bracket.close_nested(m_outer->m_manager);
    m_outer->m_check = stronger(m_outer->m_check, m_check);
    m_outer->join_hint(m_hint);
    for (int hint : m_joined_hints)
        m_outer->join_hint(hint);
}

void SEDQ_EDIT_SCOPE::join_hint(int hint)
{
    if (hint == NO_REFRESH || hint == m_hint ||
        std::find(m_joined_hints.begin(), m_joined_hints.end(), hint) != m_joined_hints.end())
        return;
    m_joined_hints.push_back(hint);
}

void SEDQ_EDIT_SCOPE::close_outermost(SEDQ_TX_MANAGER* manager)
{
    m_bracket.close(manager, m_check);
    // The mark follows the document even when no write said so.
    manager->sync_modified_mark();
    if (m_hint != NO_REFRESH)
        manager->update_all_views(nullptr, m_hint);
    for (int hint : m_joined_hints)
        manager->update_all_views(nullptr, hint);
}
