#pragma once
// The "Hierarchy Display" pane of one instance, below its Data/Setup pages: a checkable tree of
// the design hierarchy levels in the names of the instance's nodes. Unchecking a level hides
// the nodes that sit directly in it from the node list and from find. The tree is rebuilt from
// the node list on every hierarchy refresh; the check and expand state of each level lives
// only in the document, per tab (setup or data), and is applied again after each rebuild.

#include <QFrame>
#include <QStandardItemModel>

class QModelIndex;
class QStandardItem;
class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_HIERARCHY_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_HIERARCHY_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }
    QTreeView* get_tree_view() const { return m_tree; }
    QStandardItemModel* get_tree_model() { return &m_model; }

    // Whether the node of this full name ("a|b|node") is hidden below `item` (null: from the
    // top level). A name whose levels are not in the tree is not hidden.
    bool is_hidden(QString const& name, QStandardItem* item = nullptr);
    // Rebuilds the tree from the instance's node list and applies the stored states.
    void update_hierarchy_tree();
    // Adds the levels of `name` below `parent` (null: the top level); an empty name with no
    // parent clears the tree.
    void add_item(QString const& name, QStandardItem* parent);
    // Stores, and applies again, the check and expand state of every level for the tab showing.
    void save_data();
    void load_data();

public Q_SLOTS:
    void on_update(QObject* sender, int hint);
    void on_expanded_collapsed(QModelIndex const& index);
    void on_item_changed(QStandardItem* item);

private:
    QStandardItem* top_item();
    QStandardItem* make_level_item(QString const& text);
    QList<QStandardItem*> items_in_tree_order() const;
    QByteArray state_key(QStandardItem* item, bool setup_mode) const;

    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
};
