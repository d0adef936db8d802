// SEDQ_STATE_MACHINE_TABLE_VIEW: the state-machine list with its tips and Ok enabling.
#include "sedq/view/sedq_state_machine_table_view.h"

#include "sedq/view/sedq_state_machine_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace
{
constexpr int COLUMN_WIDTH = 300;
} // namespace

SEDQ_STATE_MACHINE_TABLE_VIEW::SEDQ_STATE_MACHINE_TABLE_VIEW(SEDQ_STATE_MACHINE_DLG* dialog)
    : QTableView(dialog), m_dialog(dialog)
{
    setModel(&m_model);
    reset_model();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    verticalHeader()->hide();
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setShowGrid(false);
    setMouseTracking(true);
    // Wide enough for both columns: a name or status cut off would hide why a row is gray.
    setMinimumWidth(2 * COLUMN_WIDTH + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
}

void SEDQ_STATE_MACHINE_TABLE_VIEW::reset_model()
{
    m_model.clear();
    auto* machine = new QStandardItem(QStringLiteral("State Machine Name"));
    auto* table = new QStandardItem(QStringLiteral("Mnemonic Table Name"));
    machine->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_model.setHorizontalHeaderItem(MACHINE_COLUMN, machine);
    m_model.setHorizontalHeaderItem(TABLE_COLUMN, table);
    setColumnWidth(MACHINE_COLUMN, COLUMN_WIDTH);
    setColumnWidth(TABLE_COLUMN, COLUMN_WIDTH);
}

QString SEDQ_STATE_MACHINE_TABLE_VIEW::get_tool_tip(const QModelIndex& index) const
{
    if (!index.isValid() || m_dialog == nullptr)
        return QString();
    const int row = index.row();
    if (index.column() == MACHINE_COLUMN && !m_dialog->is_state_machine_name_disabled(row))
        return index.data(NODES_ROLE).toString().trimmed();
    if (index.column() == TABLE_COLUMN && !m_dialog->is_mnemonic_table_name_disabled(row))
        return index.data(MNEMONICS_ROLE).toString().trimmed();
    return QString();
}

void SEDQ_STATE_MACHINE_TABLE_VIEW::mouseMoveEvent(QMouseEvent* event)
{
    setToolTip(get_tool_tip(indexAt(event->pos())));
    QTableView::mouseMoveEvent(event);
}

// Ok follows the whole selection, not the last change: deselecting one row of several keeps
// the others to be added.
void SEDQ_STATE_MACHINE_TABLE_VIEW::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QDialogButtonBox* buttons = m_dialog != nullptr ? m_dialog->get_button_box() : nullptr;
    QPushButton* ok = buttons != nullptr ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (ok != nullptr)
        ok->setEnabled(selectionModel() != nullptr && selectionModel()->hasSelection());
    QTableView::selectionChanged(selected, deselected);
}
