#pragma once
// The two small undo steps the editor appends to an edit of the host's undo history. Both
// run after the repository restored its own data, on undo and on redo alike: one checks the
// nodes against the netlist again (a tap-mode change), the other lays the view out again and
// keeps the next resize from doing it twice (a node deletion). Each holds its target weakly:
// the history can outlive a window that is closed.

#include "host/sdr/sdr_tx_undo_action_atomic.h"

#include <QPointer>

class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

class SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY : public SDR_TX_UNDO_ACTION_ATOMIC
{
public:
    explicit SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY(SEDQ_TX_MANAGER* manager);
    ~SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY() override;
    bool undo() override;
    bool redo() override;

private:
    QPointer<SEDQ_TX_MANAGER> m_manager;
};

class SDR_TX_UNDO_ACTION_RESIZE_EVENT : public SDR_TX_UNDO_ACTION_ATOMIC
{
public:
    explicit SDR_TX_UNDO_ACTION_RESIZE_EVENT(SEDQ_VIEW* view);
    ~SDR_TX_UNDO_ACTION_RESIZE_EVENT() override;
    bool undo() override;
    bool redo() override;

private:
    void relayout();
    QPointer<SEDQ_VIEW> m_view;
};
