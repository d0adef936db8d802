#pragma once
// The "Hierarchy Display" pane of one instance, below its Data/Setup pages. The pane layout
// builds one per instance tab and shows, hides and sizes it. The tree of design hierarchy
// levels that hides nodes from the node list is not built yet: the tree stays empty.

#include <QFrame>
#include <QStandardItemModel>

class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_HIERARCHY_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_HIERARCHY_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
};
