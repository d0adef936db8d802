#pragma once
// A splitter that moves together with every other splitter of its kind (id) in the window:
// a move is relayed through a hub, a parentless splitter per id kept in the layout's map,
// and applied to the others with their signals blocked, so it is never relayed twice.

#include <QMap>
#include <QSplitter>

class SEDQ_SPLITTER : public QSplitter
{
    Q_OBJECT
public:
    // A null map and id 0 make a hub.
    SEDQ_SPLITTER(QMap<int, SEDQ_SPLITTER*>* map, int id, Qt::Orientation orientation, QWidget* parent);

    int get_id() const { return m_id; }

Q_SIGNALS:
    void splitterMoved(SEDQ_SPLITTER* sender, int pos, int index);

public Q_SLOTS:
    void moveSplitter(SEDQ_SPLITTER* sender, int pos, int index);
    void onSplitterMoved(int pos, int index);

private:
    SEDQ_SPLITTER* hub();

    int m_id;
    QMap<int, SEDQ_SPLITTER*>* m_splitter_map;
};
