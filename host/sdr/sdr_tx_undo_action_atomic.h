#pragma once
// Base of the small undo actions the editor attaches to an open edit bracket. They run after the
// repository has restored its own data (undo in reverse order, redo in order). The order of the
// virtual functions is part of the interface.

class SDR_TX_UNDO_ACTION_ATOMIC
{
public:
    virtual ~SDR_TX_UNDO_ACTION_ATOMIC() = default;
    virtual bool undo() = 0;
    virtual bool redo() = 0;
};
