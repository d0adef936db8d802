// SEDQ_DIAGRAM_WIDGET: the transition graph, its geometry, painting and the refresh.
#include "sedq/state_flow/sedq_diagram_widget.h"

#include "host/afcq.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPaintEvent>
#include <QPainterPath>
#include <QVBoxLayout>

#include <memory>

Q_DECLARE_METATYPE(SEDQ_STATE*)

namespace
{
const int MAXIMUM_STATES = 20;

QPoint centre_of(const QRect& rect)
{
    return QPoint((rect.left() + rect.right()) / 2, (rect.top() + rect.bottom()) / 2);
}
} // namespace

// ---- the list ------------------------------------------------------------------------------

SEDQ_STATE* SEDQ_STATE_LIST_WIDGET::node_of(QListWidgetItem* item)
{
    return item != nullptr ? item->data(Qt::UserRole).value<SEDQ_STATE*>() : nullptr;
}

// Only the boxes and arcs that reach into the painted area are drawn, so a list of thousands
// of states paints what it shows.
void SEDQ_STATE_LIST_WIDGET::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    for (bool enabled_pass : {false, true})
        for (int row = 0; row < count(); ++row)
        {
            SEDQ_STATE* node = node_of(item(row));
            if (node != nullptr && node->enabled == enabled_pass)
                paint_item(&painter, item(row), event->rect());
        }
}

void SEDQ_STATE_LIST_WIDGET::paint_item(QPainter* painter, QListWidgetItem* item, const QRect& shown) const
{
    const SEDQ_STATE* node = node_of(item);
    const QRect rect = visualItemRect(item);
    const QPoint c = centre_of(rect);
    const QRect box(QPoint(c.x() - 24, c.y() - 9), QPoint(c.x() + 25, c.y() + 10));
    if (rect.intersects(shown))
    {
        if (row(item) == 0 && !item->isSelected())
        {
            QPainterPath path;
            path.addRect(rect);
            QPainterPath hole;
            hole.addRect(QRect(c.x() - 24, c.y() - 9, 50, 20));
            painter->setPen(Qt::NoPen);
            painter->setBrush(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
            painter->drawPath(path.subtracted(hole));
        }
        if (node->current)
        {
            painter->setPen(QPen(Qt::darkYellow, 4));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(QRect(QPoint(c.x() - 28, c.y() - 13), QPoint(c.x() + 29, c.y() + 14)));
        }
    }
    QPen pen = AFCQ_PEN(node->enabled ? AFCQ_PEN_TEXT : AFCQ_PEN_DISABLED_TEXT).get_pen();
    pen.setWidth(1);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    if (rect.intersects(shown))
        painter->drawRect(box);
    for (const SEDQ_STATE* target : node->next)
    {
        const SEDQ_STATE_ARC arc = sedq_state_arc(c, centre_of(visualItemRect(target->item)));
        if (!arc.rect.adjusted(-8, -8, 8, 8).intersects(shown))
            continue;
        painter->setBrush(Qt::NoBrush);
        painter->drawArc(arc.rect, arc.start_angle, arc.span_angle);
        painter->setBrush(AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
        painter->drawPolygon(arc.head, 3);
    }
}

// ---- the pane ------------------------------------------------------------------------------

SEDQ_DIAGRAM_WIDGET::SEDQ_DIAGRAM_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    QVBoxLayout* layout = sedq_make_titled_pane(this, tr("State Diagram:")).layout;
    auto* grid = new QGridLayout;
    grid->setContentsMargins(7, 7, 7, 7);
    grid->setSpacing(6);
    m_state_count = new SEDQ_INT_COMBO_BOX(1, MAXIMUM_STATES);
    m_current_state = new QLineEdit;
    m_current_state->setReadOnly(true);
    m_current_state->setPalette(SEDQ_GREY_BASE_PALETTE);
    grid->addWidget(new QLabel(tr("Number of states:")), 0, 0);
    grid->addWidget(m_state_count, 0, 1);
    grid->addWidget(new QLabel(tr("Current state:")), 1, 0);
    grid->addWidget(m_current_state, 1, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    layout->addWidget(sedq_make_sunken_line());
    m_state_list = new SEDQ_STATE_LIST_WIDGET;
    sedq_repaint_list_on_activation_as_widgets_do(m_state_list);
    m_state_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_state_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_state_list->setFrameShape(QFrame::NoFrame);
    m_state_list->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_state_list, 1);
    on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_NODE_VIEW));
    connect(m_state_count, &SEDQ_INT_COMBO_BOX::current_count_changed, this, &SEDQ_DIAGRAM_WIDGET::on_state_count);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_DIAGRAM_WIDGET::on_update);
}

SEDQ_DIAGRAM_WIDGET::~SEDQ_DIAGRAM_WIDGET()
{
    clear_items();
}

void SEDQ_DIAGRAM_WIDGET::on_state_count(int count)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->set_state_count(count);
}

void SEDQ_DIAGRAM_WIDGET::clear_items()
{
    for (int row = 0; row < m_state_list->count(); ++row)
        delete SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(row));
    m_state_list->clear();
}

void SEDQ_DIAGRAM_WIDGET::rebuild_items(int count)
{
    clear_items();
    m_shown_current = -1;
    for (int row = 0; row <= count; ++row)
    {
        auto* item = new QListWidgetItem(row == 0 ? tr("Start") : QString());
        auto* node = new SEDQ_STATE;
        node->item = item;
        item->setData(Qt::UserRole, QVariant::fromValue(node));
        item->setTextAlignment(Qt::AlignCenter);
        item->setSizeHint(QSize(60, 50));
        if (row == 0)
        {
            item->setForeground(Qt::white);
            item->setBackground(Qt::black);
        }
        m_state_list->addItem(item);
    }
    SEDQ_STATE* start = SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(0));
    start->next.append(SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(1)));
    start->enabled = true;
    SEDQ_VERIFY(this->m_state_list->count() - 1 == count);
}

// Reads the states' names and texts; the gotos are read again only from texts that changed
// (all of them when the names did), and of a text that changed only around the change, unless
// its gotos did. False when nothing the list shows has changed.
bool SEDQ_DIAGRAM_WIDGET::read_transitions(bool rebuild)
{
    const int count = m_tx_manager->get_state_count(m_instance);
    const QStringList names = m_tx_manager->get_state_names(m_instance);
    const QStringList texts = m_tx_manager->get_state_texts(m_instance);
    const bool all = rebuild || names != m_names;
    bool changed = all;
    if (all)
    {
        m_index = sedq_state_index(names);
        m_transitions = QVector<QVector<int>>(count);
    }
    // Names of another count differ: every text is read again.
    m_texts.resize(count);
    // The one text set since the bodies read last, and what it changed of them when the model
    // tells: the body it changed, the others left as they were.
    const quint64 generation = m_tx_manager->get_body_generation(m_instance);
    const SEDQ_BODY_CHANGE told = m_tx_manager->get_last_body_change(m_instance);
    const bool follows = told.from == m_generation && told.to == generation && told.state >= 0;
    const bool still = m_generation == generation;
    const int followed = m_told_state < count ? m_told_state : -1;
    m_told_state = -1;
    m_generation = generation;
    for (int state = 0; state < count; ++state)
    {
        const QString& text = texts.at(state);
        QString& before = m_texts[state];
        // A text the model did not change is still the one read before: no characters compared.
        // Nor are those of the text a key changed (the model says where, and what it took out).
        const bool was_followed = state == followed;
        const bool told_here = follows && told.state == state;
        if (!all && (was_followed ? still || (follows && !told_here) : text.isSharedWith(before)))
        {
            if (was_followed)
                m_told_state = state;
            continue;
        }
        const bool same_targets =
            !all && (told_here ? sedq_same_goto_targets(m_index, text, told.change, told.removed)
                               : !was_followed && (text == before || sedq_same_goto_targets(m_index, before, text)));
        if (told_here && (was_followed || text.size() - told.change.inserted + told.removed.size() == before.size()))
        {
            before.clear();
            m_told_state = state;
        }
        else
            before = text;
        if (same_targets)
            continue;
        const QVector<int> targets = sedq_goto_targets(m_index, text);
        changed = changed || targets != m_transitions.at(state);
        m_transitions[state] = targets;
    }
    m_names = names;
    return changed;
}

// Sets each state's name and arcs and marks what the first state reaches.
bool SEDQ_DIAGRAM_WIDGET::link_nodes()
{
    for (int row = 1; row < m_state_list->count(); ++row)
    {
        SEDQ_STATE* node = SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(row));
        node->enabled = false;
        node->next.clear();
        if (m_state_list->item(row)->text() != m_names.value(row - 1))
            m_state_list->item(row)->setText(m_names.value(row - 1));
    }
    for (int state = 0; state < m_transitions.size(); ++state)
        for (int target : m_transitions.at(state))
            SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(state + 1))
                ->next.append(SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(target + 1)));
    if (!SEDQ_VERIFY(this->m_state_list->count() > 1))
        return false;
    SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(1))->enable();
    return true;
}

// Moves the current state's mark to `current` (-1 or past the states: none); true when it moved.
bool SEDQ_DIAGRAM_WIDGET::mark_current(int current)
{
    const int count = m_state_list->count() - 1;
    const int shown = m_shown_current;
    current = current >= 0 && current < count ? current : -1;
    m_shown_current = current;
    if (shown == current)
        return false;
    if (shown >= 0 && shown < count)
        SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(shown + 1))->current = false;
    if (current >= 0)
        SEDQ_STATE_LIST_WIDGET::node_of(m_state_list->item(current + 1))->current = true;
    return true;
}

void SEDQ_DIAGRAM_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_NODE_VIEW) == 0)
        return;
    std::unique_ptr<SEDQ_BLOCK> block(SEDQ_BLOCK::is_blocked() ? nullptr : new SEDQ_BLOCK);
    const int count = m_tx_manager->get_state_count(m_instance);
    m_state_count->set_current_count(count);
    const bool rebuild = (hint & SEDQ_UPDATE_REBUILD) != 0 || m_state_list->count() != count + 1;
    if (rebuild)
        rebuild_items(count);
    bool changed = read_transitions(rebuild);
    if (changed)
        link_nodes();
    const int current = m_tx_manager->get_state_current_value(m_instance);
    const QString shown = current < 0 ? QString() : tr("State %1: %2").arg(current + 1).arg(m_names.value(current));
    if (m_current_state->text() != shown)
        m_current_state->setText(shown);
    if (mark_current(current))
        changed = true;
    m_state_count->setEnabled(m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL &&
                              !m_tx_manager->is_instance_acquiring(m_instance));
    block.reset();
    if (changed)
        m_state_list->viewport()->update();
}
