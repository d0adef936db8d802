// SEDQ_SPLITTER: splitters of one kind that move together.
#include "sedq/frame/sedq_splitter.h"

SEDQ_SPLITTER::SEDQ_SPLITTER(QMap<int, SEDQ_SPLITTER*>* map, int id, Qt::Orientation orientation,
                             QWidget* parent)
    : QSplitter(orientation, parent), m_id(id), m_splitter_map(map)
{
    if (m_splitter_map == nullptr)
        return;
    connect(this, SIGNAL(splitterMoved(int, int)), this, SLOT(onSplitterMoved(int, int)));
    connect(hub(), SIGNAL(splitterMoved(SEDQ_SPLITTER*, int, int)), this,
            SLOT(moveSplitter(SEDQ_SPLITTER*, int, int)));
}

// The hub of this splitter's kind, made on first use; the layout owns and deletes it.
SEDQ_SPLITTER* SEDQ_SPLITTER::hub()
{
    SEDQ_SPLITTER* hub = m_splitter_map->value(m_id, nullptr);
    if (hub == nullptr)
    {
        hub = new SEDQ_SPLITTER(nullptr, 0, orientation(), nullptr);
        m_splitter_map->insert(m_id, hub);
    }
    return hub;
}

void SEDQ_SPLITTER::onSplitterMoved(int pos, int index)
{
    if (m_splitter_map != nullptr)
        emit hub()->splitterMoved(this, pos, index);
}

void SEDQ_SPLITTER::moveSplitter(SEDQ_SPLITTER* sender, int pos, int index)
{
    // A splitter of the kind still being filled may lack the handle that moved elsewhere.
    if (sender == this || index <= 0 || index >= count())
        return;
    const bool blocked = blockSignals(true);
    QSplitter::moveSplitter(pos, index);
    blockSignals(blocked);
}
