#pragma once
// The undo bracket of one edit, closed on the instance entry it was opened on: an edit may
// change the current instance, or remove the entry itself, and the bracket must still close
// where it was opened. Held by the edit scope (SEDQ_EDIT_SCOPE), which adds the nesting rule
// and what follows the close.

#include "sedq/model/sedq_types.h"

class SEDQ_TX_MANAGER;
class SDR_TX_INSTANCE;

class SEDQ_EDIT_BRACKET
{
public:
    // Opens the bracket of the manager's instance at that index (SEDQ_CURRENT: the current one).
    void open(SEDQ_TX_MANAGER* manager, int instance);
    // Closes it with the given compile check.
    void close(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check);
    // Closes a bracket opened inside another one: the outer one's close checks and notifies.
    void close_nested(SEDQ_TX_MANAGER* manager);

private:
    int index_of(SEDQ_TX_MANAGER* manager, SDR_TX_INSTANCE* entry) const;
    void close_vanished(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check);
    void end_vanished(SEDQ_TX_MANAGER* manager);

    SDR_TX_INSTANCE* m_instance = nullptr;
    // When the bracket was opened on a power-up view: the entry of its instance, which shares
    // the view's undo history and still holds the open bracket if the view goes in the edit.
    SDR_TX_INSTANCE* m_owner = nullptr;
};
