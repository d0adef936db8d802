// The edit guard: one bracket of the current instance per guard, never nested.
#include "sedq/model/sedq_action.h"

#include "sedq/model/sedq_refusal.h"
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
    // Only a refusal of this edit is reported where it ends.
    sedq_take_refusal();
    m_bracket.open(manager);
}

SEDQ_ACTION::~SEDQ_ACTION()
{
    if (!m_manager)
        return;
    m_bracket.close(m_manager, SEDQ_CHECK_COMPILATION);
    m_action_done = true;
}
