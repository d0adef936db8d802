// SEDQ_OBJECT_WIDGET: the objects a drop makes. Nodes dropped from the node view become Node
// and Bus objects, entries dropped from the object library become objects of their kinds;
// both are made into a list of their own, for the paste that places them.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QTreeView>

namespace
{
const char* node_name(SEDQ_TX_MANAGER* tx, int row)
{
    return SEDQ_NODE(tx, row, SEDQ_CURRENT).get_name();
}

// Top-level objects made from nodes are stacked this far apart.
constexpr int NODE_STEP = 30;
// Objects made from palette entries leave this gap below the height they take.
constexpr int ENTRY_GAP = 10;

// The height a palette-made object takes before the next one.
int entry_step(const SEDQ_OBJECT& object)
{
    switch (object.get_type())
    {
    case SEDQ_OBJECT::LEVEL_RESULT:
    case SEDQ_OBJECT::BIT_VALUE:
    case SEDQ_OBJECT::BUS_VALUE:
        return 20;
    case SEDQ_OBJECT::NODE:
    case SEDQ_OBJECT::BUS:
        return object.get_property()[SEDQ_PROPERTY::DATA_DELAY] != 0 ? 33 : 20;
    default:
        return 100;
    }
}

// The rows of one palette row that a drop takes: its selected children; all of them when the
// row itself is selected and none of its children is; the row alone when it has none.
QModelIndexList dropped_rows(const QAbstractItemModel& model, const QItemSelectionModel& selection,
                             const QModelIndex& row)
{
    QModelIndexList rows;
    const int children = model.rowCount(row);
    for (int child = 0; child < children; ++child)
        if (selection.isSelected(model.index(child, 0, row)))
            rows.append(model.index(child, 0, row));
    if (!rows.isEmpty() || !selection.isSelected(row))
        return rows;
    if (children == 0)
        return {row};
    for (int child = 0; child < children; ++child)
        rows.append(model.index(child, 0, row));
    return rows;
}
} // namespace

// A new object of the drop, selected and ready to be dragged from the origin.
SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::make_dropped_object(QList<SEDQ_OBJECT*>* list, QPoint position, bool selected)
{
    auto* object = new SEDQ_OBJECT(get_copy(), position, nullptr);
    object->get_property().set(SEDQ_PROPERTY::SELECTED, selected ? 1 : 0);
    object->start_drag(SEDQ_OBJECT::ORIGIN_POINT);
    list->append(object);
    return object;
}

// The node view shows the selection of this canvas's model; a drop is accepted only from a
// view of that model, so the view itself need not be asked.
void SEDQ_OBJECT_WIDGET::clone_node_tree(QList<SEDQ_OBJECT*>* list)
{
    if (list == nullptr || m_tx->is_empty())
        return;
    QPoint place(0, 0);
    const int count = m_tx->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
    {
        if (!m_tx->get_node_selection_status(row))
            continue;
        if (!sedq_is_group_display(SEDQ_NODE(m_tx, row, SEDQ_CURRENT).get_parent()))
        {
            SEDQ_OBJECT* node = make_dropped_object(list, place, true);
            node->set_type(SEDQ_OBJECT::NODE);
            node->set_name(node_name(m_tx, row));
            place.ry() += NODE_STEP;
        }
        else if (!m_tx->is_grandparent(row))
        {
            row = clone_group(list, row, place);
            place.ry() += NODE_STEP;
        }
    }
}

// One Bus for the group row and a Node per member it takes; returns the group's last member.
int SEDQ_OBJECT_WIDGET::clone_group(QList<SEDQ_OBJECT*>* list, int group, QPoint place)
{
    SEDQ_OBJECT* bus = make_dropped_object(list, place, true);
    bus->set_type(SEDQ_OBJECT::BUS);
    bus->get_property().set(SEDQ_PROPERTY::BUS_NAME, QString::fromLocal8Bit(node_name(m_tx, group)));
    bool lsb_to_msb = false;
    m_tx->get_node_lsb_to_msb(group, &lsb_to_msb);
    bus->get_property().set(SEDQ_PROPERTY::BIT_ORDER, lsb_to_msb ? 1 : 0);
    const int count = m_tx->get_node_count(SEDQ_CURRENT);
    const int first = group + 1;
    int last = first;
    while (last + 1 < count && m_tx->get_node_depth(last + 1) == m_tx->get_node_depth(first))
        ++last;
    if (first >= count)
        return group;
    bool picked = false;
    if (SEDQ_NODE(m_tx, group, SEDQ_CURRENT).get_parent() == SDR_NTYPE_GROUP)
        for (int member = first; member <= last; ++member)
            picked = picked || m_tx->get_node_selection_status(member);
    for (int member = first; member <= last; ++member)
    {
        const bool take = picked ? m_tx->get_node_selection_status(member)
                                 : !m_tx->is_node_hidden_in_advanced_mode(member);
        if (!take)
            continue;
        // Members go into the list, not the canvas; only the Bus is placed by the drop.
        SEDQ_OBJECT* node = make_dropped_object(list, place, picked);
        node->set_type(SEDQ_OBJECT::NODE);
        node->set_name(node_name(m_tx, member));
        bus->attach_child(node);
    }
    bus->get_property().set(SEDQ_PROPERTY::EXPANDED, picked ? 1 : 0);
    return last;
}

void SEDQ_OBJECT_WIDGET::clone_operator_tree(QList<SEDQ_OBJECT*>* list, QTreeView const* tree)
{
    if (list == nullptr || tree == nullptr || tree->model() == nullptr || tree->selectionModel() == nullptr)
        return;
    const QAbstractItemModel& model = *tree->model();
    QPoint place(0, 0);
    for (int row = 0; row < model.rowCount(); ++row)
        for (const QModelIndex& entry : dropped_rows(model, *tree->selectionModel(), model.index(row, 0)))
        {
            SEDQ_OBJECT* object = make_dropped_object(list, place, true);
            object->set_type(entry.data(Qt::DisplayRole).toString());
            object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
            place.ry() += entry_step(*object) + ENTRY_GAP;
        }
}
