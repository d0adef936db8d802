#pragma once
// The state diagram pane of an instance's "State-Based Trigger Flow" page, left of the state
// text. The list of reachable states is not built yet: the pane is empty.

#include <QFrame>

class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_DIAGRAM_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_DIAGRAM_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
};
