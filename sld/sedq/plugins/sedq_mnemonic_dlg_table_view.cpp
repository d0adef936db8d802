// SEDQ_MNEMONIC_TABLE_VIEW: the setup dialog's entry table and its in-cell editing.
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"

#include "sedq/plugins/sedq_mnemonic_dlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>

SEDQ_MNEMONIC_TABLE_VIEW::SEDQ_MNEMONIC_TABLE_VIEW(SEDQ_MNEMONIC_DLG* dialog)
    : QTableView(dialog), m_dialog(dialog), m_model(new QStandardItemModel(0, COLUMN_COUNT, this))
{
    setModel(m_model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    clear_rows();
}

void SEDQ_MNEMONIC_TABLE_VIEW::clear_rows()
{
    m_model->clear();
    m_model->setColumnCount(COLUMN_COUNT);
    m_model->setHorizontalHeaderLabels({tr("Pattern"), tr("Mnemonic")});
    setColumnWidth(PATTERN_COLUMN, COLUMN_WIDTH);
    setColumnWidth(MNEMONIC_COLUMN, COLUMN_WIDTH);
}

// The rows are built in a model of their own and shown in one swap, and every row takes the
// height of the first: a table of many thousand entries would otherwise pay a view update per
// item and a header layout per row resized.
void SEDQ_MNEMONIC_TABLE_VIEW::set_rows(const QVector<QPair<QString, QString>>& rows)
{
    auto* model = new QStandardItemModel(rows.size() + 1, COLUMN_COUNT, this);
    model->setHorizontalHeaderLabels({tr("Pattern"), tr("Mnemonic")});
    for (int r = 0; r < rows.size(); ++r)
    {
        model->setItem(r, PATTERN_COLUMN, new QStandardItem(rows[r].first));
        model->setItem(r, MNEMONIC_COLUMN, new QStandardItem(rows[r].second));
    }
    model->setItem(rows.size(), PATTERN_COLUMN, new QStandardItem(NEW_ROW_TEXT));
    model->setItem(rows.size(), MNEMONIC_COLUMN, new QStandardItem(NEW_ROW_TEXT));
    QStandardItemModel* old_model = m_model;
    QItemSelectionModel* old_selection = selectionModel();
    m_model = model;
    setModel(model);
    delete old_selection;
    delete old_model;
    setColumnWidth(PATTERN_COLUMN, COLUMN_WIDTH);
    setColumnWidth(MNEMONIC_COLUMN, COLUMN_WIDTH);
    verticalHeader()->setDefaultSectionSize(sizeHintForRow(rows.size()));
}

void SEDQ_MNEMONIC_TABLE_VIEW::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    const QStandardItem* item = m_model->itemFromIndex(currentIndex());
    QPushButton* button = m_dialog->get_delete_entry_button(); // null while the dialog is built
    if (item != nullptr && button != nullptr)
        button->setEnabled(!selected.indexes().isEmpty() && item->text() != NEW_ROW_TEXT);
    QTableView::selectionChanged(selected, deselected);
}

// The edited text is in the model when the editor closes; the working copy takes it and the
// rows are rebuilt from the working copy after the base class has finished with the editor.
void SEDQ_MNEMONIC_TABLE_VIEW::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex index = currentIndex();
    const QStandardItem* item = m_model->itemFromIndex(index);
    const bool changed = item != nullptr && m_dialog->edit_cell(index.row(), index.column(), item->text());
    QTableView::closeEditor(editor, hint);
    if (changed)
        m_dialog->refresh_list(m_dialog->get_current_set());
}
