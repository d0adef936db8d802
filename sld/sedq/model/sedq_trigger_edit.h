#pragma once
// One change of the current trigger made from a control of the signal configuration pane: the
// shape every such slot shares (no change while a pane writes its widgets or when the value is
// already there; otherwise one undoable edit, the modified mark and the refresh it asks for).

#include <functional>

class SDR_TX_TRIGGER;
class SEDQ_TX_MANAGER;

enum class SEDQ_TRIGGER_EDIT_MARK
{
    NEVER,         // neither mark nor refresh depends on the write
    WHEN_ACCEPTED, // the mark and the refresh follow only a write the repository accepts
    ALWAYS
};

// `write` changes the trigger and answers whether the repository accepted it. A hint of 0
// sends no refresh.
void sedq_edit_trigger(SEDQ_TX_MANAGER* manager, bool unchanged, SEDQ_TRIGGER_EDIT_MARK mark, int hint,
                       const std::function<bool(SDR_TX_TRIGGER*)>& write);

// Makes the state-based flow page the instance's shown page once its document is reopened or
// its tabs are rebuilt.
void sedq_show_state_flow_page(SEDQ_TX_MANAGER* manager);
