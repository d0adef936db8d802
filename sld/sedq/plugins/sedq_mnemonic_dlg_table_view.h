#pragma once
// The entry table of the mnemonic table setup dialog: one row per entry of the current table
// (pattern, mnemonic) and a last "<<new>>" row. A cell edit changes the dialog's working copy
// and, once the editor has closed, the rows are rebuilt from it, so that row r always shows
// the entry that editing or deleting row r changes.

#include <QAbstractItemDelegate>
#include <QTableView>

class QStandardItemModel;
class SEDQ_MNEMONIC_DLG;

class SEDQ_MNEMONIC_TABLE_VIEW : public QTableView
{
    Q_OBJECT
public:
    enum COLUMN
    {
        PATTERN_COLUMN = 0,
        MNEMONIC_COLUMN = 1,
        COLUMN_COUNT
    };
    static constexpr int COLUMN_WIDTH = 140;
    static const QString NEW_ROW_TEXT; // "<<new>>"

    explicit SEDQ_MNEMONIC_TABLE_VIEW(SEDQ_MNEMONIC_DLG* dialog);

    QStandardItemModel* get_model() const { return m_model; }
    // Empty rows with the two headers; then one row per (pattern, symbol), then the new row.
    void clear_rows();
    void set_rows(const QVector<QPair<QString, QString>>& rows);

protected:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    SEDQ_MNEMONIC_DLG* m_dialog;
    QStandardItemModel* m_model;
};
