#pragma once
// The one edit mechanism of the document: a scope is one undoable edit of an instance (the
// current one unless named). Panes, dialogs and commands open one around the model setters they
// call; a setter that is an edit on its own opens one too, which then joins the caller's.
// The outermost scope of a manager opens the edit bracket and sends the edit's one "modified"
// notification when the first write inside it marks the document modified (later writes of the
// edit add none), so the notification keeps its place before the refreshes the writes send.
// Closing the outermost scope (at the end of the scope, or earlier with close()) ends the
// bracket with the strongest compile check any scope of the edit asked for, brings the modified
// mark in line with the document, then sends the refresh hints of the edit (the outermost one's
// first, each hint once), in that order. An edit that changes nothing, or that the repository
// refuses, leaves no undo step: the repository keeps no empty step. A scope nested on another
// instance also brackets that instance, whose history then holds a step of its own. A scope of
// another manager opened inside an edit is reported and does nothing.

#include "sedq/model/sedq_edit_bracket.h"
#include "sedq/model/sedq_types.h"

#include <vector>

class SEDQ_TX_MANAGER;

class SEDQ_EDIT_SCOPE
{
public:
    // The hint of an edit whose panes repaint on their own: nothing is sent on closing.
    static constexpr int NO_REFRESH = 0;

    SEDQ_EDIT_SCOPE(SEDQ_TX_MANAGER* manager, SEDQ_CHECK_COMPILATION_STATUS check, int hint = NO_REFRESH,
                    int instance = SEDQ_CURRENT);
    ~SEDQ_EDIT_SCOPE();
    SEDQ_EDIT_SCOPE(const SEDQ_EDIT_SCOPE&) = delete;
    SEDQ_EDIT_SCOPE& operator=(const SEDQ_EDIT_SCOPE&) = delete;

    // For an edit that learns only on the way what it changed.
    void set_hint(int hint) { m_hint = hint; }
    // Ends this scope now, so that what follows (a selection, a repaint) stays out of its undo
    // step; the end of the scope then does nothing more. A nested scope hands its check, its
    // hint and its modified mark to the scope around it.
    void close();
    bool is_open() const { return m_manager != nullptr; }
    bool is_outermost() const { return m_outer == nullptr; }
    static bool is_any_open() { return s_innermost != nullptr; }
    // The outermost scope open on the manager; null outside an edit of it.
    static SEDQ_EDIT_SCOPE* outermost_on(const SEDQ_TX_MANAGER* manager);
    // A write inside the edit changed the document: the first one of the edit sends the
    // "modified" notification, the others nothing.
    void note_modified();

private:
    void hand_to_outer();
    void close_outermost(SEDQ_TX_MANAGER* manager);
    void join_hint(int hint);

    static SEDQ_EDIT_SCOPE* s_innermost;

    SEDQ_TX_MANAGER* m_manager;         // null once closed, and for a refused scope
    SEDQ_EDIT_SCOPE* m_outer = nullptr; // the scope this one is nested in
    SEDQ_CHECK_COMPILATION_STATUS m_check;
    int m_hint;
    std::vector<int> m_joined_hints; // hints of nested scopes, sent after this one's
    bool m_modified = false;         // the edit's "modified" notification went out
    SEDQ_EDIT_BRACKET m_bracket;
};
