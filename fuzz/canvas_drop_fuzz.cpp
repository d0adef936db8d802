// Fuzz target of drags over the advanced trigger canvas: the input picks the drag's source
// (the node view of the canvas's window, the object library, another window's view or none),
// its data (the node format with any bytes, text, palette item data), the zoom level, the
// positions of the enter, the moves and the drop, and the modifiers. Nothing may crash, every
// object's inputs must stay in the object list, and a drop the canvas refuses changes nothing.
#include "canvas_fuzz_support.h"
#include "fuzz_run_support.h"

#include "host/afcq_drag.h"
#include "host/standin/afcq_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/view/sedq_view.h"

#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTreeView>

#include <cstdint>

namespace
{
// Reads the input a byte at a time; zeros once it runs out.
struct INPUT
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return at < size ? data[at++] : 0; }
    QByteArray rest() const { return QByteArray(reinterpret_cast<const char*>(data + at), int(size - at)); }
};

struct EDITOR : SEDQ_FUZZ_CANVAS_WINDOW
{
    EDITOR()
        : palette(std::make_unique<SEDQ_OPERATOR_WIDGET>(nullptr)),
          other_view(std::make_unique<SEDQ_VIEW>(nullptr, tx))
    {
    }

    // Every input of every object is in the list too, and the Result is there once.
    void check_scene() const
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        sedq_fuzz_check(list != nullptr && sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT) >= 0);
        for (SEDQ_OBJECT* object : *list)
            for (SEDQ_OBJECT* child : object->get_children())
                sedq_fuzz_check(child->get_parent() == object && list->contains(child));
    }

    std::unique_ptr<SEDQ_OPERATOR_WIDGET> palette;
    std::unique_ptr<SEDQ_VIEW> other_view;
};

EDITOR& editor()
{
    return sedq_fuzz_editor<EDITOR>("fuzz_canvas_drop");
}

QMimeData* make_data(INPUT* in)
{
    auto* data = new QMimeData;
    const uint8_t kind = in->next();
    if ((kind & 1) != 0)
        data->setData(QStringLiteral("SEDQ_NODE_CLIPBOARD_FORMAT"), in->rest().left(64));
    if ((kind & 2) != 0)
        data->setText(QString::fromUtf8(in->rest().left(64)));
    if ((kind & 4) != 0)
        data->setData(QStringLiteral("application/x-qstandarditemmodeldatalist"), in->rest().left(64));
    if ((kind & 8) != 0)
        data->setData(QString(), QByteArray());
    return data;
}

QObject* pick_source(EDITOR& e, uint8_t which)
{
    switch (which % 4)
    {
    case 0:
        return e.frame->get_layout_widget()->get_view();
    case 1:
        return e.palette->get_tree_view();
    case 2:
        return e.other_view.get();
    default:
        return nullptr;
    }
}

// Selects some palette entries and a node or two, as a user would before dragging.
void pick_selections(EDITOR& e, INPUT* in)
{
    QStandardItemModel* model = e.palette->get_model();
    QItemSelectionModel* selection = e.palette->get_tree_view()->selectionModel();
    selection->clearSelection();
    const int top = in->next() % qMax(1, model->rowCount());
    QStandardItem* row = model->item(top);
    if (row != nullptr)
    {
        const uint8_t child = in->next();
        QStandardItem* entry = row->rowCount() > 0 && (child & 0x80) == 0 ? row->child(child % row->rowCount()) : row;
        selection->select(entry->index(), QItemSelectionModel::Select);
    }
    const int nodes = e.tx->get_node_count(-1);
    if (nodes > 0)
        e.tx->set_node_selection_status(in->next() % nodes, true);
}

QPoint position(INPUT* in, const QWidget* canvas)
{
    return QPoint(in->next() * qMax(1, canvas->width()) / 256, in->next() * qMax(1, canvas->height()) / 256);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const SEDQ_FUZZ_RUN run;
    EDITOR& e = editor();
    INPUT in{bytes, size};
    QObject* source = pick_source(e, in.next());
    const int zoom = 5 + in.next() % 36;
    e.canvas->set_zoom_positions(zoom);
    pick_selections(e, &in);
    const uint8_t held = in.next();
    Qt::KeyboardModifiers keys;
    keys.setFlag(Qt::ShiftModifier, (held & 1) != 0);
    keys.setFlag(Qt::ControlModifier, (held & 2) != 0);
    QMimeData* data = make_data(&in);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const int before = e.canvas->get_object_list()->size();
    bool dropped = false;
    const auto during = [&] {
        const QPoint enter_at = position(&in, e.canvas);
        QDragEnterEvent enter(enter_at, actions, data, Qt::LeftButton, keys);
        QApplication::sendEvent(e.canvas, &enter);
        for (int move = in.next() % 4; move > 0; --move)
        {
            QDragMoveEvent event(position(&in, e.canvas), actions, data, Qt::LeftButton, keys);
            QApplication::sendEvent(e.canvas, &event);
        }
        QDropEvent drop(position(&in, e.canvas), actions, data, Qt::LeftButton, keys);
        QApplication::sendEvent(e.canvas, &drop);
        dropped = drop.isAccepted();
    };
    if (source == nullptr)
    {
        during();
        delete data;
    }
    else
    {
        standin::afcq::set_drag_handler([&](QDrag*, Qt::DropActions) {
            during();
            return dropped ? Qt::CopyAction : Qt::IgnoreAction;
        });
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        afcq_exec_drag(drag, actions, Qt::CopyAction);
        standin::afcq::set_drag_handler(nullptr);
    }
    e.check_scene();
    if (!dropped)
        sedq_fuzz_check(e.canvas->get_object_list()->size() == before);
    // Back to the Result alone, so that the scene stays small, and to a history of one snapshot.
    for (SEDQ_OBJECT* object : *e.canvas->get_object_list())
        object->select(true, false, false);
    e.canvas->on_edit_delete();
    e.tx->select_node_range(0, qMax(0, e.tx->get_node_count(-1) - 1), false);
    e.reload();
    return 0;
}
