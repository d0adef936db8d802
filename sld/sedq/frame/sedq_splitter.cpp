// SEDQ_SPLITTER: splitters of one kind that move together.
#include "sedq/frame/sedq_splitter.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <numeric>

namespace
{
// A pane given room again gets a quarter of the splitter, at least its minimum size.
constexpr int USABLE_SHARE = 4;
} // namespace

SEDQ_SPLITTER::SEDQ_SPLITTER(QMap<int, SEDQ_SPLITTER*>* map, int id, Qt::Orientation orientation,
                             QWidget* parent)
    : QSplitter(orientation, parent), m_id(id), m_splitter_map(map)
{
    if (m_splitter_map == nullptr)
        return;
    m_pending_moves = hub()->m_pending_moves;
    connect(this, &QSplitter::splitterMoved, this, &SEDQ_SPLITTER::onSplitterMoved);
    connect(hub(), &SEDQ_SPLITTER::splitterMoved, this, &SEDQ_SPLITTER::moveSplitter);
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
    if (m_splitter_map == nullptr)
        return;
    SEDQ_SPLITTER* relay = hub();
    relay->m_pending_moves.insert(index, pos);
    emit relay->splitterMoved(this, pos, index);
}

// A splitter of a page not on show has no real geometry: a move made now would be scaled
// away when the page shows, so it is kept and made then.
void SEDQ_SPLITTER::moveSplitter(SEDQ_SPLITTER* sender, int pos, int index)
{
    if (sender == this || index <= 0)
        return;
    // A page still to be built has no handles yet: it keeps the move for when it has them.
    if (sender != nullptr && !isVisible())
    {
        m_pending_moves.insert(index, pos);
        return;
    }
    // A splitter of the kind still being filled may lack the handle that moved elsewhere.
    if (index >= count())
        return;
    move_handle(pos, index);
}

void SEDQ_SPLITTER::move_handle(int pos, int index)
{
    const bool blocked = blockSignals(true);
    QSplitter::moveSplitter(pos, index);
    blockSignals(blocked);
}

void SEDQ_SPLITTER::showEvent(QShowEvent* event)
{
    QSplitter::showEvent(event);
    settle_on_show();
    if (m_settling)
        return;
    m_settling = true;
    const QPointer<SEDQ_SPLITTER> self(this);
    QTimer::singleShot(0, this,
                       [self]
                       {
                           if (self.isNull())
                               return;
                           self->settle_on_show();
                           if (!self->m_shown_once)
                               self->open_collapsed_panes();
                           self->m_settling = false;
                           self->m_shown_once = true;
                           self->m_pending_moves.clear();
                           self->m_last_pane_size = -1;
                           self->m_first_pane_size = -1;
                       });
}

void SEDQ_SPLITTER::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (m_settling && isVisible())
        settle_on_show();
}

void SEDQ_SPLITTER::settle_on_show()
{
    apply_first_pane_size();
    apply_last_pane_size();
    for (auto it = m_pending_moves.cbegin(); it != m_pending_moves.cend(); ++it)
        if (it.key() < count())
            move_handle(it.value(), it.key());
}

// The first pane gives or takes what the last one needs; a size the splitter cannot hold
// beside the other panes is left alone.
void SEDQ_SPLITTER::apply_last_pane_size()
{
    QList<int> list = sizes();
    if (m_last_pane_size < 0 || list.count() < 2 || widget(count() - 1)->isHidden())
        return;
    const int change = list.last() - m_last_pane_size;
    if (change == 0 || list.first() + change <= 0)
        return;
    list.first() += change;
    list.last() = m_last_pane_size;
    setSizes(list);
}

// The last pane gives or takes what the first one needs, keeping a usable size itself.
void SEDQ_SPLITTER::apply_first_pane_size()
{
    QList<int> list = sizes();
    if (m_first_pane_size == -1 || list.count() < 2 || widget(0)->isHidden())
        return;
    const int total = std::accumulate(list.cbegin(), list.cend(), 0);
    const QSize minimum = widget(count() - 1)->minimumSizeHint();
    const int kept =
        std::max({1, total / USABLE_SHARE, orientation() == Qt::Horizontal ? minimum.width() : minimum.height()});
    const int others = total - list.first() - list.last();
    const int wanted = m_first_pane_size == FIRST_PANE_HALF ? total / 2 : m_first_pane_size;
    const int first = std::min(wanted, total - others - kept);
    if (first <= 0 || first == list.first())
        return;
    list.last() += list.first() - first;
    list.first() = first;
    setSizes(list);
}

// A size of 0 stored for a pane that is shown (a pane collapsed when the document was saved,
// or squeezed out by a smaller window) would leave it out of reach: it gets room from the
// largest pane.
void SEDQ_SPLITTER::open_collapsed_panes()
{
    QList<int> list = sizes();
    const int total = std::accumulate(list.cbegin(), list.cend(), 0);
    if (total <= 0)
        return;
    bool changed = false;
    for (int i = 0; i < list.count(); ++i)
    {
        QWidget* pane = widget(i);
        if (list[i] > 0 || pane == nullptr || pane->isHidden())
            continue;
        const QSize minimum = pane->minimumSizeHint();
        const int wanted = std::max(total / USABLE_SHARE, orientation() == Qt::Horizontal ? minimum.width()
                                                                                          : minimum.height());
        const int largest = int(std::max_element(list.begin(), list.end()) - list.begin());
        const int given = std::min(wanted, list[largest] / 2);
        list[largest] -= given;
        list[i] += given;
        changed = changed || given > 0;
    }
    if (changed)
        setSizes(list);
}
