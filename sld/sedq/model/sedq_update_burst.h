#pragma once
// Updates of the panes come in bursts: every edit notifies every pane, and a script of ten
// thousand commands queues ten thousand updates for each before any is delivered. A pane that
// keeps one of these counts what it has received against what the model has sent: while more
// of the burst is still queued for it, it only notes what the updates ask for, and the last
// update of the burst does the work once, in the same turn of the event loop.

#include <QtGlobal>

class SEDQ_TX_MANAGER;

class SEDQ_UPDATE_BURST
{
public:
    SEDQ_UPDATE_BURST() = default;
    // Made when the pane connects to the model's updates (queued), not before: what was sent
    // before does not reach it.
    explicit SEDQ_UPDATE_BURST(const SEDQ_TX_MANAGER* tx);

    // Counts an update received; true when it is the last one queued for the pane.
    bool received();

private:
    const SEDQ_TX_MANAGER* m_tx = nullptr;
    quint64 m_received = 0;
};
