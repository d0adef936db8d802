// SEDQ_VIEW: the commands, menu rules and input handlers of the view that are not built yet.
// Each body here is a deliberate no-op (or answers "not possible", which keeps its host action
// disabled), so that no menu entry, button or key reaches unfinished code; the change that
// builds a command moves its body into the source of its concern.
#include "sedq/view/sedq_view.h"

#include <QEvent>

// ---- selection commands and their menu rules -----------------------------------------------------

void SEDQ_VIEW::open_cell_editor(int, int, bool)
{
    // The in-cell editors are built with the trigger editing.
}

void SEDQ_VIEW::commit_cell_editor()
{
    // The in-cell editors are built with the trigger editing.
}

void SEDQ_VIEW::on_node_set_alias()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_rename()
{
    // The selection commands are built with the node commands.
}

