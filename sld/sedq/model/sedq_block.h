#pragma once
// Scope guard over the process-wide flag that a pane holds while it writes its own widgets
// from the model; the model's setters ignore widget signals while it is set. Only the guard
// that set the flag clears it, so guards nest.

class SEDQ_BLOCK
{
public:
    SEDQ_BLOCK();
    ~SEDQ_BLOCK();
    SEDQ_BLOCK(const SEDQ_BLOCK&) = delete;
    SEDQ_BLOCK& operator=(const SEDQ_BLOCK&) = delete;

    static bool is_blocked() { return m_blocked; }

    static bool m_blocked;

private:
    bool m_set_here;
};
