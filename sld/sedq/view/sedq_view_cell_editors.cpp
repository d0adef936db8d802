// SEDQ_VIEW: opening the in-cell editors — the alias and rename commands and the presses on
// a level name or a bus's value. An editor registers itself with the view while it is open,
// so the view only builds it.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_edit.h"

void SEDQ_VIEW::open_cell_editor(int node, int column, bool comparison)
{
    if (comparison)
        new SEDQ_COMPARISON_EDIT(this, m_tx_manager, node, column);
    else
        new SEDQ_EDIT(this, m_tx_manager, node, column);
}

// An open editor that loses the focus writes what was typed.
void SEDQ_VIEW::commit_cell_editor()
{
    if (m_edit != nullptr)
        m_edit->clearFocus();
}

// On the row the alias rule remembered.
void SEDQ_VIEW::on_node_set_alias()
{
    if (m_edit_row >= 0)
        open_cell_editor(m_edit_row, SEDQ_COLUMN_ALIAS, false);
}

void SEDQ_VIEW::on_node_rename()
{
    m_edit_row = get_selected_item();
    if (m_edit_row != -1)
        open_cell_editor(m_edit_row, SEDQ_COLUMN_NAME, false);
}
