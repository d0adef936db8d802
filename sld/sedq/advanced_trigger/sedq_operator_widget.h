#pragma once
// The object library of an advanced trigger page, below the node list: the palette of objects
// the user drags onto the canvas. Every leaf is an object kind's library word, so the text of
// a dropped entry is the kind it makes; a category's word names no kind. The canvas knows a
// palette drag by its source, the tree whose parent is this frame.

#include <QFrame>
#include <QList>
#include <QStandardItemModel>
#include <QString>

class QMimeData;
class QStandardItem;
class QTreeView;
class QVBoxLayout;

class SEDQ_OPERATOR_WIDGET : public QFrame
{
    Q_OBJECT
public:
    explicit SEDQ_OPERATOR_WIDGET(QWidget* parent);

    // Fills the model anew with the categories and their entries, in palette order.
    void update_operator_tree();
    // A new entry with the palette icon, last under `parent` (null: a top row); returns it.
    QStandardItem* add_item(QString const& text, QStandardItem* parent);

    QTreeView* get_tree_view() const { return m_tree; }
    QStandardItemModel* get_model() { return &m_model; }
    // What a drag of the given entries carries: the model's own record of them. A drop reads
    // the entries from the tree's selection, not from this data.
    QMimeData* make_drag_data(const QList<QStandardItem*>& items) const;
    // The entries selected in the tree, in model order.
    QList<QStandardItem*> get_selected_items() const;
    // Drags the selected entries (the tree starts it when the mouse moves far enough with the
    // button held); nothing while none is selected. Returns the action the drop took.
    Qt::DropAction start_drag(Qt::DropActions actions);

private:
    void make_header(QVBoxLayout* layout);
    void make_tree(QVBoxLayout* layout);

    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
};
