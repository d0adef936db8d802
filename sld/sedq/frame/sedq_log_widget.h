#pragma once
// The "Data Log" pane of one instance, beside its hierarchy pane: the data logging switch, the
// command that saves the current acquisition as a log, and the tree of logs. The switch and
// the save button are the host's actions 114 and 117 and work; the log tree is not built
// yet and stays empty.

#include <QFrame>
#include <QStandardItemModel>

class QCheckBox;
class QHBoxLayout;
class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_LOG_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_LOG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }
    QCheckBox* get_logging_check_box() const { return m_logging; }

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    QHBoxLayout* make_title_row();

    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    QCheckBox* m_logging = nullptr;
    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
};
