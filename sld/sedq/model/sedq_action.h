#pragma once
// Scope guard of one undoable edit of the current instance: opens the edit bracket on
// construction and closes it (telling the instance manager to re-check the compilation state)
// on destruction. One guard at a time in the process: a guard built while another is open
// reports the violation and does nothing at all, so the open bracket stays the outer one's.

class SEDQ_TX_MANAGER;
class SDR_TX_INSTANCE;

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
    int index_of(SDR_TX_INSTANCE* entry) const;
    void close_vanished_bracket();

    SEDQ_TX_MANAGER* m_manager; // null for a refused (nested) guard
    // The entry whose bracket was opened; the edit may change the current instance, and the
    // bracket must close where it was opened.
    SDR_TX_INSTANCE* m_instance = nullptr;
    // When the bracket was opened on a power-up view: the entry of its instance, which shares
    // the view's undo history and still holds the open bracket if the view goes in the edit.
    SDR_TX_INSTANCE* m_owner = nullptr;
};
