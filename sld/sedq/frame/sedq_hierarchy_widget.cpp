// SEDQ_HIERARCHY_WIDGET: the tree of hierarchy levels, the hidden-node test and the stored
// check and expand state of each level.
#include "sedq/frame/sedq_hierarchy_widget.h"

#include "host/afcq.h"
#include "host/sdr.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
const QChar SEPARATOR = QLatin1Char('|');
const char* const SETUP_PREFIX = "setup hierarchy ";
const char* const DATA_PREFIX = "data hierarchy ";
const char* const EMPTY_TEXT_KEY = "root";
constexpr int CHECKED_BIT = 1;
constexpr int EXPANDED_BIT = 2;
const int NODE_VIEW_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);

// The first child of `parent` whose text is exactly `text`, or null.
QStandardItem* find_child(QStandardItem* parent, QStringRef text)
{
    for (int row = 0; row < parent->rowCount(); ++row)
    {
        QStandardItem* child = parent->child(row);
        if (child != nullptr && child->text() == text)
            return child;
    }
    return nullptr;
}
} // namespace

SEDQ_HIERARCHY_WIDGET::SEDQ_HIERARCHY_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QAction* toggle = m_tx_manager->get_action(AFCQ_SEDQ_HIERARCHY_PANE_ACTION, QVariant());
    sedq_bind_pane_toggle(this, toggle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(sedq_make_pane_title_row(this, toggle, {new QLabel(tr("Hierarchy Display:"), this)}));
    layout->addWidget(sedq_make_pane_rule(this));
    m_tree = new QTreeView(this);
    m_tree->setFrameStyle(QFrame::NoFrame);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->header()->hide();
    m_tree->setModel(&m_model);
    sedq_repaint_list_on_activation_as_widgets_do(m_tree);
    layout->addWidget(m_tree, 1);
    connect(m_tree, &QTreeView::collapsed, this, &SEDQ_HIERARCHY_WIDGET::on_expanded_collapsed);
    connect(m_tree, &QTreeView::expanded, this, &SEDQ_HIERARCHY_WIDGET::on_expanded_collapsed);
    connect(&m_model, &QStandardItemModel::itemChanged, this, &SEDQ_HIERARCHY_WIDGET::on_item_changed);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_HIERARCHY_WIDGET::on_update);
    update_hierarchy_tree();
}

// ---- the tree ----------------------------------------------------------------------------------

QStandardItem* SEDQ_HIERARCHY_WIDGET::make_level_item(QString const& text)
{
    auto* item = new QStandardItem(afcq_get_icon(AFCQ_ICON_HIERARCHY_LEVEL), text);
    item->setCheckable(true);
    return item;
}

// The item of the top-level entity, made on first use.
QStandardItem* SEDQ_HIERARCHY_WIDGET::top_item()
{
    if (m_model.rowCount() > 0)
        return m_model.item(0);
    QString top;
    m_tx_manager->get_top_entity_name(&top);
    QStandardItem* item = make_level_item(top);
    m_model.appendRow(item);
    return item;
}

void SEDQ_HIERARCHY_WIDGET::update_hierarchy_tree()
{
    SEDQ_BLOCK block;
    add_item(QString(), nullptr);
    const int count = m_tx_manager->get_node_count(m_instance);
    for (int node = 0; node < count; ++node)
    {
        const QString name = QString::fromLocal8Bit(SEDQ_NODE(m_tx_manager, node, m_instance).get_name());
        // An empty name would be the request to clear the tree.
        if (!name.isEmpty())
            add_item(name, nullptr);
    }
    load_data();
}

// Walks the levels of the name one after the other; the part after the last "|" is the
// node's own name and makes no item. An empty rest (a name ending in "|") just ends the walk:
// only an empty name given with no parent clears the tree.
void SEDQ_HIERARCHY_WIDGET::add_item(QString const& name, QStandardItem* parent)
{
    if (name.isEmpty())
    {
        if (parent == nullptr)
            m_model.clear();
        return;
    }
    QStandardItem* level = parent != nullptr ? parent : top_item();
    int start = 0;
    for (int end = name.indexOf(SEPARATOR); end >= 0; end = name.indexOf(SEPARATOR, start))
    {
        const QStringRef head = name.midRef(start, end - start);
        QStandardItem* child = find_child(level, head);
        if (child == nullptr)
        {
            level->appendRow(make_level_item(head.toString()));
            child = level->child(level->rowCount() - 1);
        }
        if (!SEDQ_VERIFY(child != NULL))
            return;
        level = child;
        start = end + 1;
    }
}

bool SEDQ_HIERARCHY_WIDGET::is_hidden(QString const& name, QStandardItem* item)
{
    QStandardItem* level = item != nullptr ? item : m_model.item(0);
    if (level == nullptr)
        return false;
    int start = 0;
    for (int end = name.indexOf(SEPARATOR); end >= 0; end = name.indexOf(SEPARATOR, start))
    {
        level = find_child(level, name.midRef(start, end - start));
        if (level == nullptr)
            return false;
        start = end + 1;
    }
    return level->checkState() == Qt::Unchecked;
}

// ---- stored state ------------------------------------------------------------------------------

// Every item, parents before their children, in row order.
QList<QStandardItem*> SEDQ_HIERARCHY_WIDGET::items_in_tree_order() const
{
    QList<QStandardItem*> items;
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
        items.append(m_model.item(row));
    QList<QStandardItem*> ordered;
    while (!items.isEmpty())
    {
        QStandardItem* item = items.takeLast();
        ordered.append(item);
        for (int row = item->rowCount() - 1; row >= 0; --row)
            items.append(item->child(row));
    }
    return ordered;
}

// Levels are stored by their own text: equal texts in different branches share one state.
QByteArray SEDQ_HIERARCHY_WIDGET::state_key(QStandardItem* item, bool setup_mode) const
{
    const QString text = item->text().isEmpty() ? QString::fromLatin1(EMPTY_TEXT_KEY) : item->text();
    return QByteArray(setup_mode ? SETUP_PREFIX : DATA_PREFIX) + text.toLocal8Bit();
}

void SEDQ_HIERARCHY_WIDGET::save_data()
{
    const SDR_TX_INSTANCE* sdr_tx_instance = m_tx_manager->get_tx_instance();
    if (!SEDQ_VERIFY(sdr_tx_instance != NULL))
        return;
    const bool setup_mode = m_tx_manager->is_setup_mode();
    for (QStandardItem* item : items_in_tree_order())
    {
        int value = item->checkState() == Qt::Checked ? CHECKED_BIT : 0;
        if (m_tree->isExpanded(item->index()))
            value |= EXPANDED_BIT;
        m_tx_manager->set_int_state(-1, state_key(item, setup_mode).constData(), value);
    }
}

void SEDQ_HIERARCHY_WIDGET::load_data()
{
    const SDR_TX_INSTANCE* sdr_tx_instance = m_tx_manager->get_tx_instance();
    if (!SEDQ_VERIFY(sdr_tx_instance != NULL))
        return;
    const bool setup_mode = m_tx_manager->is_setup_mode();
    for (QStandardItem* item : items_in_tree_order())
    {
        int value = sdr_tx_instance->get_position_data(state_key(item, setup_mode).constData());
        if (value == -1)
            value = CHECKED_BIT | EXPANDED_BIT;
        item->setCheckState((value & CHECKED_BIT) != 0 ? Qt::Checked : Qt::Unchecked);
        m_tree->setExpanded(item->index(), (value & EXPANDED_BIT) != 0);
    }
}

// ---- slots -------------------------------------------------------------------------------------

void SEDQ_HIERARCHY_WIDGET::on_update(QObject*, int hint)
{
    if ((static_cast<unsigned>(hint) & SEDQ_UPDATE_HIERARCHY) != 0)
        update_hierarchy_tree();
}

void SEDQ_HIERARCHY_WIDGET::on_item_changed(QStandardItem*)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    m_tx_manager->update_all_views(nullptr, NODE_VIEW_REFRESH);
    save_data();
}

void SEDQ_HIERARCHY_WIDGET::on_expanded_collapsed(QModelIndex const&)
{
    if (!SEDQ_BLOCK::is_blocked())
        save_data();
}
