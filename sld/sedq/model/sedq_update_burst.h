#pragma once
// Updates of the panes come in bursts: every edit notifies every pane, and a script of ten
// thousand commands sends ten thousand updates before any is delivered. A pane that listens to
// the model's updated_later and keeps one of these learns whether the update it receives is the
// last one sent: while more of the burst is still to come, it only notes what the updates ask
// for, and the last update of the burst does the work once, in the same turn of the event loop.

#include <QtGlobal>

class SEDQ_TX_MANAGER;

class SEDQ_UPDATE_BURST
{
public:
    SEDQ_UPDATE_BURST() = default;
    // Made when the pane connects to the model's updates, not before: what was sent before is
    // not for it.
    explicit SEDQ_UPDATE_BURST(const SEDQ_TX_MANAGER* tx);

    // True when the update being delivered is the last one sent, and was sent after this pane
    // started listening; true for an update handed to the pane outside a delivery.
    bool received();

private:
    const SEDQ_TX_MANAGER* m_tx = nullptr;
    quint64 m_start = 0;
};
