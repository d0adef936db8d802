#pragma once
// Scope guard of one undoable edit of the current instance: opens the edit bracket on
// construction and closes it (telling the instance manager to re-check the compilation state)
// on destruction. One guard at a time in the process: a guard built while another is open
// reports the violation and does nothing at all, so the open bracket stays the outer one's.

#include "sedq/model/sedq_edit_bracket.h"

class SEDQ_TX_MANAGER;

class SEDQ_ACTION
{
public:
    explicit SEDQ_ACTION(SEDQ_TX_MANAGER* manager);
    ~SEDQ_ACTION();
    SEDQ_ACTION(const SEDQ_ACTION&) = delete;
    SEDQ_ACTION& operator=(const SEDQ_ACTION&) = delete;

    // False while a guard is open.
    static bool m_action_done;

private:
    SEDQ_TX_MANAGER* m_manager; // null for a refused (nested) guard
    SEDQ_EDIT_BRACKET m_bracket;
};
