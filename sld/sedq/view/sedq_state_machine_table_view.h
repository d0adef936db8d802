#pragma once
// The two-column list of the state-machine dialog: a state machine per row, beside it the
// mnemonic table name proposed for it or why it cannot be chosen. It owns its item model, keeps
// the dialog's Ok button enabled exactly while a row is selected, and shows as tool tip the
// machine's registers (first column) or its state encodings (second column), from what the
// dialog stored in the row when it built it.

#include <QStandardItemModel>
#include <QTableView>

class SEDQ_STATE_MACHINE_DLG;

class SEDQ_STATE_MACHINE_TABLE_VIEW : public QTableView
{
    Q_OBJECT
public:
    // The columns: the state machine's name and its mnemonic table's name.
    enum COLUMN
    {
        MACHINE_COLUMN = 0,
        TABLE_COLUMN = 1,
        COLUMN_COUNT = 2
    };
    // Item data roles of the texts the tool tips show.
    enum
    {
        NODES_ROLE = Qt::UserRole + 1,     // first column: the register names, one a line
        MNEMONICS_ROLE = Qt::UserRole + 2  // second column: "<pattern>     <state>", one a line
    };

    explicit SEDQ_STATE_MACHINE_TABLE_VIEW(SEDQ_STATE_MACHINE_DLG* dialog);

    QStandardItemModel* get_model() { return &m_model; }
    // Empties the rows and sets the two header items and the column widths again.
    void reset_model();
    // The tip for a cell: its stored text when the cell is enabled, else empty.
    QString get_tool_tip(const QModelIndex& index) const;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    QStandardItemModel m_model;
    SEDQ_STATE_MACHINE_DLG* m_dialog;
};
