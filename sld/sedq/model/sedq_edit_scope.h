#pragma once
// The one door through which panes, dialogs and commands change the document: a scope is one
// undoable edit of the current instance. Opening it opens the edit bracket; closing it (at the
// end of the scope, or earlier with close()) ends the bracket with the compile check chosen at
// the opening, brings the modified mark in line with the document, then sends the refresh hint
// to every pane, in that order. An edit that changes nothing, or that the repository refuses,
// leaves no undo step: the repository keeps no empty step. Scopes do not nest: one opened
// while another is open reports it and does nothing, so the edit joins the outer one.

#include "sedq/model/sedq_edit_bracket.h"
#include "sedq/model/sedq_types.h"

class SEDQ_TX_MANAGER;

class SEDQ_EDIT_SCOPE
{
public:
    // The hint of an edit whose panes repaint on their own: nothing is sent on closing.
    static constexpr int NO_REFRESH = 0;

    SEDQ_EDIT_SCOPE(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check, int hint = NO_REFRESH);
    ~SEDQ_EDIT_SCOPE();
    SEDQ_EDIT_SCOPE(const SEDQ_EDIT_SCOPE&) = delete;
    SEDQ_EDIT_SCOPE& operator=(const SEDQ_EDIT_SCOPE&) = delete;

    // For an edit that learns only on the way what it changed.
    void set_hint(int hint) { m_hint = hint; }
    // Ends the edit now, so that what follows (a selection, a repaint) stays out of its undo
    // step; the end of the scope then does nothing more.
    void close();
    bool is_open() const { return m_manager != nullptr; }
    static bool is_any_open() { return s_open; }

private:
    static bool s_open;

    SEDQ_TX_MANAGER* m_manager; // null once closed, and for a refused (nested) scope
    SEDQ_CHECK_COMPILATION_STATUS m_check;
    int m_hint;
    SEDQ_EDIT_BRACKET m_bracket;
};
