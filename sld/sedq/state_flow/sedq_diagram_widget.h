#pragma once
// The state diagram pane of an instance's "State-Based Trigger Flow" page: the number of
// states, the state the last acquisition reported, and the states as a column of boxes with
// their goto arcs, the states not reachable from the first drawn in a second colour. The
// transitions, the reachability and the arc geometry are pure functions; each list item owns
// its node.

#include <QFrame>
#include <QHash>
#include <QList>
#include <QListWidget>
#include <QPoint>
#include <QRect>
#include <QVector>

class QLineEdit;
class SEDQ_FRAME_WND;
class SEDQ_INT_COMBO_BOX;
class SEDQ_TX_MANAGER;
struct SEDQ_TEXT_CHANGE;

// One node of the transition graph, one per list item.
struct SEDQ_STATE
{
    bool enabled = false;
    bool current = false;
    QList<SEDQ_STATE*> next;
    QListWidgetItem* item = nullptr;

    // Marks this node and everything reachable from it; stops at nodes already marked, so
    // cycles and self loops end.
    void enable();
};

// The targets of each state's goto statements, by state index, in text order: a word right
// after a word "goto" (";" read as a blank) that names a state.
QVector<QVector<int>> sedq_state_transitions(QStringList const& names, QStringList const& texts);
// The states of each name (names may repeat), and the targets of one state's text through it.
using SEDQ_STATE_INDEX = QHash<QString, QVector<int>>;
SEDQ_STATE_INDEX sedq_state_index(QStringList const& names);
QVector<int> sedq_goto_targets(SEDQ_STATE_INDEX const& index, QString const& text);
// Whether `after` has the goto targets of `before`, reading only around where they differ.
bool sedq_same_goto_targets(SEDQ_STATE_INDEX const& index, QString const& before, QString const& after);
// The same where `after` is the text before with `change` made, `removed` the characters it took
// out: the text before is not needed.
bool sedq_same_goto_targets(SEDQ_STATE_INDEX const& index, QString const& after, SEDQ_TEXT_CHANGE const& change,
                            QString const& removed);

// The arc from the box centred at `source` to the box centred at `target` in the list.
struct SEDQ_STATE_ARC
{
    QRect rect;
    int start_angle = 0; // sixteenths of a degree
    int span_angle = 0;
    QPoint head[3];
};
SEDQ_STATE_ARC sedq_state_arc(QPoint source, QPoint target);

class SEDQ_STATE_LIST_WIDGET : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;
    static SEDQ_STATE* node_of(QListWidgetItem* item);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paint_item(QPainter* painter, QListWidgetItem* item, const QRect& shown) const;
};

class SEDQ_DIAGRAM_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_DIAGRAM_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);
    ~SEDQ_DIAGRAM_WIDGET() override;

    int get_instance() const { return m_instance; }
    SEDQ_INT_COMBO_BOX* get_state_count_selector() const { return m_state_count; }
    QLineEdit* get_current_state_field() const { return m_current_state; }
    SEDQ_STATE_LIST_WIDGET* get_state_list() const { return m_state_list; }

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    void on_state_count(int count);
    void rebuild_items(int count);
    void clear_items();
    bool read_transitions(bool rebuild);
    bool link_nodes();
    bool mark_current(int current);

    // What the list shows, kept so that a refresh that changes none of it (a key typed inside
    // a state without a goto) reads only the texts and repaints nothing. The texts are kept one
    // by one, not as the model's list: a list shared with the model would have the model copy
    // all of it, a pointer a state, on each key typed in one state.
    QStringList m_names;
    // The bodies as read, held to tell a changed one from the same one, but for the body of
    // `m_told_state`, whose changes the model tells (see SEDQ_BODY_CHANGE): it is not held, so
    // that the model changes it in place, and is followed from the generation read last.
    QVector<QString> m_texts;
    int m_told_state = -1;
    quint64 m_generation = 0;
    SEDQ_STATE_INDEX m_index;
    QVector<QVector<int>> m_transitions;
    int m_shown_current = -1; // the state marked current in the list, -1 none

    SEDQ_INT_COMBO_BOX* m_state_count = nullptr;
    QLineEdit* m_current_state = nullptr;
    SEDQ_STATE_LIST_WIDGET* m_state_list = nullptr;
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
};
