#pragma once
// The flag or counter list of the resources pane. One click edits a name, width or initial
// value; a typed value is corrected into the column's range and written back into the cell
// (with the list's signals blocked), then reported; while the flow may not be edited the cell
// takes the model's value again.

#include <QStyledItemDelegate>
#include <QTreeWidget>

class SEDQ_TX_MANAGER;

class SEDQ_ITEM_DELEGATE : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
};

// The value of a cell clamped into [minimum, maximum]; unreadable text gives `fallback`.
long long sedq_clamp_cell(const QString& text, long long minimum, long long maximum, long long fallback);

class SEDQ_TREE_WIDGET : public QTreeWidget
{
    Q_OBJECT
public:
    // The columns: the name, a flag's initial and current value, or a counter's width, initial
    // and current value. The current value is read back from the device and never edited.
    enum COLUMN
    {
        NAME_COLUMN = 0,
        FIRST_VALUE_COLUMN = 1, // a flag's initial value, a counter's width
        FLAG_CURRENT_COLUMN = 2,
        COUNTER_INITIAL_COLUMN = 2,
        COUNTER_CURRENT_COLUMN = 3
    };

    SEDQ_TREE_WIDGET(SEDQ_TX_MANAGER* tx, int instance, bool is_flag_list);

    bool is_editable() const;

Q_SIGNALS:
    void column_zero_changed(int row, const QString* text);
    void column_one_changed(int row, int value);
    void column_two_changed(int row, unsigned int value);

public Q_SLOTS:
    void on_item_changed(QTreeWidgetItem* item, int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void write_cell(QTreeWidgetItem* item, int column, const QString& text);
    void restore_cell(QTreeWidgetItem* item, int row, int column);

    SEDQ_ITEM_DELEGATE* m_delegate;
    SEDQ_TX_MANAGER* m_tx_manager;
    bool m_is_flag_list;
    int m_instance;
    int m_column_one_minimum;
    int m_column_one_maximum;
    unsigned int m_column_two_maximum;
};
