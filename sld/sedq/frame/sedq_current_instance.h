#pragma once
// The index of the document's current instance entry (a power-up trigger view counts as its
// own entry), or -1 when the document has none.

class SEDQ_TX_MANAGER;

int sedq_current_instance(SEDQ_TX_MANAGER* tx);

// True when the instance or its power-up view is the current entry.
bool sedq_is_current_or_powerup(SEDQ_TX_MANAGER* tx, int instance);
