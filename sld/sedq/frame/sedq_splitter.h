#pragma once
// A splitter that moves together with every other splitter of its kind (id) in the window:
// a move is relayed through a hub, a parentless splitter per id kept in the layout's map,
// and applied to the others with their signals blocked, so it is never relayed twice. A
// splitter that is not on show has no geometry to move in: it keeps the moves and applies them
// once it shows, and on its first show gives a collapsed pane room again. The hub keeps the
// moves too, so that a splitter made later (a page built when first shown) starts with them,
// as if it had been there all along; forget_moves() drops them when the pages are made anew.

#include <QMap>
#include <QSplitter>

class SEDQ_SPLITTER : public QSplitter
{
    Q_OBJECT
public:
    // A null map and id 0 make a hub.
    SEDQ_SPLITTER(QMap<int, SEDQ_SPLITTER*>* map, int id, Qt::Orientation orientation, QWidget* parent);

    int get_id() const { return m_id; }
    // The size the last pane is to have once the splitter first shows, as the document stored
    // it. A pane resized before it is laid out keeps that size only when it is above its size
    // hint, so a small stored size would otherwise be lost.
    void set_last_pane_size(int size) { m_last_pane_size = size; }
    // The size the first pane is to have once the splitter first shows: the size the document
    // stored, or with FIRST_PANE_HALF half the splitter. A pane resized before the splitter is
    // laid out would get a share of a length the splitter does not have yet.
    static constexpr int FIRST_PANE_HALF = -2;
    void set_first_pane_size(int size) { m_first_pane_size = size; }
    // On a hub: the moves kept for splitters made later are dropped.
    void forget_moves() { m_pending_moves.clear(); }

Q_SIGNALS:
    void splitterMoved(SEDQ_SPLITTER* sender, int pos, int index);

public Q_SLOTS:
    void moveSplitter(SEDQ_SPLITTER* sender, int pos, int index);
    void onSplitterMoved(int pos, int index);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SEDQ_SPLITTER* hub();
    void move_handle(int pos, int index);
    void settle_on_show();
    void apply_last_pane_size();
    void apply_first_pane_size();
    void open_collapsed_panes();

    int m_id;
    QMap<int, SEDQ_SPLITTER*>* m_splitter_map;
    // Handle index to position, of moves made elsewhere while this splitter was not on show.
    QMap<int, int> m_pending_moves;
    bool m_shown_once = false;
    int m_last_pane_size = -1;
    int m_first_pane_size = -1;
    // Between a show and the end of that event-loop turn the geometry may still change: the
    // kept moves are applied again on every resize until then, and collapsed panes are looked
    // at only once it is final.
    bool m_settling = false;
};
