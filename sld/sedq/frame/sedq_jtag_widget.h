#pragma once
// The JTAG pane beside the instance manager: the JTAG hardware, the device on the chain and
// the programming file (SOF) of the document, and the SOF Manager, a table of the programming
// files embedded in the document that the pane's ">>" button opens and closes. The chain
// scan, the selectors and programming are not built yet; the SOF Manager lists the embedded
// files by name.

#include <QStandardItemModel>
#include <QWidget>

class QAction;
class QPushButton;
class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_JTAG_WIDGET : public QWidget
{
    Q_OBJECT
public:
    SEDQ_JTAG_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame);

    bool is_sof_manager_visible() const;
    // The pane's own View-menu toggle (host action 702).
    QAction* get_toggle_action() const { return m_toggle_action; }

public Q_SLOTS:
    void on_sof_manager_toggle();
    void on_update(QObject* sender, int hint);
    void on_set_visible(bool visible);

private:
    void fill_sof_table();
    void move_table_height_to_tabs();

    QPushButton* m_toggle_button = nullptr;
    QTreeView* m_table = nullptr;
    QStandardItemModel m_table_model;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx;
    QAction* m_toggle_action = nullptr;
};
