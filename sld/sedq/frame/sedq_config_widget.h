#pragma once
// The "Signal Configuration" pane of one instance, beside the node list on the Setup page.
// The pane layout builds one per instance and shows, hides and sizes it. Its controls (clock,
// sample depth, memory, segments, trigger settings) are not built yet: the scroll area that
// will hold them is empty.

#include <QFrame>

class QScrollArea;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_CONFIG_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_CONFIG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    QScrollArea* m_scroll_area = nullptr;
};
