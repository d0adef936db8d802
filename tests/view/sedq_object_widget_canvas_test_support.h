#pragma once
// Fixtures of the canvas drop and mouse tests: a window on a document of a 16-member group
// and a loose node, its canvas showing level 0's condition, and the drag, drop and mouse
// events the application would deliver to it.
#include "sedq_view_test_support.h"

#include "host/afcq_drag.h"
#include "host/standin/afcq_control.h"
#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QStandardItemModel>
#include <QScrollBar>
#include <QTreeView>

#include <functional>

#include <memory>

namespace
{
// Rows: 0 the group "top|d" of 16 members (rows 1..16, the last two data only, so hidden in
// advanced mode), 17 the loose node "top|x".
void bus_and_node(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    std::vector<std::string> shown, data_only;
    for (int bit = 0; bit < 16; ++bit)
        (bit < 14 ? shown : data_only).push_back("top|d[" + std::to_string(bit) + "]");
    add_leaves(trigger, shown);
    add_leaves(trigger, data_only, SDR_WTYPE_DATA_ONLY);
    add_leaves(trigger, {"top|x"});
    standin::sdr::add_group(trigger, 0, 15, "top|d");
}

struct made
{
    SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
    int top;
};

class canvas_drop_test : public view_test
{
protected:
    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }

    void select_nodes(std::initializer_list<int> rows)
    {
        tx()->select_node_range(0, tx()->get_node_count(-1) - 1, false);
        for (int row : rows)
            tx()->set_node_selection_status(row, true);
    }

    QList<SEDQ_OBJECT*>* drop_nodes()
    {
        qDeleteAll(m_list);
        m_list.clear();
        canvas()->clone_node_tree(&m_list);
        return &m_list;
    }

    // The roots of the list: the objects a paste places.
    QList<SEDQ_OBJECT*> roots() const
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : m_list)
            if (object->get_parent() == nullptr)
                found.append(object);
        return found;
    }

    void TearDown() override
    {
        qDeleteAll(m_list);
        view_test::TearDown();
    }

    QList<SEDQ_OBJECT*> m_list;
};
} // namespace

namespace
{
struct drag_answer
{
    Qt::DropAction action;
    bool accepted;
};

// A canvas showing level 0's condition, its Result object far to the right so that the
// drawing is wider than the canvas.
class canvas_drag_test : public canvas_drop_test
{
protected:
    void SetUp() override
    {
        canvas_drop_test::SetUp();
        open(write_document(
            [](SDR_DATA_SESSION& s)
            {
                bus_and_node(s);
                trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
            }));
        tabs()->setCurrentIndex(2);
        settle();
        refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS);
        ASSERT_NE(canvas()->get_object_list(), nullptr);
        // The canvas gives the shown condition its Result.
        ASSERT_GE(sedq_get_object_index(canvas()->get_object_list(), SEDQ_OBJECT::LEVEL_RESULT), 0);
        result()->move(2500, 200);
        canvas()->resize(800, 600);
        // The application delivers drag events only to a widget that takes drops.
        canvas()->setAcceptDrops(true);
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    }

    void TearDown() override
    {
        standin::afcq::set_drag_handler(nullptr);
        canvas_drop_test::TearDown();
    }

    // One drag event at a widget position, as the canvas answers it.
    drag_answer over(QEvent::Type type, QPoint position, const QMimeData& data,
                     Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        std::unique_ptr<QDragMoveEvent> event;
        if (type == QEvent::DragEnter)
            event = std::make_unique<QDragEnterEvent>(position, actions, &data, Qt::LeftButton, keys);
        else
            event = std::make_unique<QDragMoveEvent>(position, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(canvas(), event.get());
        return {event->dropAction(), event->isAccepted()};
    }

    // Runs a drag from `source` through the host; `during` stands for the events a real drag
    // delivers while it runs. The application hands moves only to the widget that took the
    // drag's entry, and every drag ends with a leave.
    void drag_from(QObject* source, QMimeData* data, const std::function<void()>& during)
    {
        standin::afcq::set_drag_handler([&](QDrag*, Qt::DropActions) {
            during();
            QDragLeaveEvent leave;
            QApplication::sendEvent(canvas(), &leave);
            return Qt::IgnoreAction;
        });
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        afcq_exec_drag(drag, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        standin::afcq::set_drag_handler(nullptr);
    }

    // The Result as the canvas holds it now: a refresh reads the condition anew.
    SEDQ_OBJECT* result()
    {
        QList<SEDQ_OBJECT*>* list = canvas()->get_object_list();
        return list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
    }

    QPoint result_centre()
    {
        QRect box = result()->get_rect();
        canvas()->zoom_to_client(&box);
        return box.center();
    }
};

QMimeData* node_data()
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("SEDQ_NODE_CLIPBOARD_FORMAT"), QByteArray());
    return data;
}
} // namespace

namespace
{
// Drops on the canvas, delivered from inside the drag the way the application does.
class canvas_dropping_test : public canvas_drag_test
{
protected:
    // Enters at the position, then drops there; the drop's answer.
    drag_answer drop(QPoint position, const QMimeData& data, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        over(QEvent::DragEnter, position, data, keys);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDropEvent event(position, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(canvas(), &event);
        return {event.dropAction(), event.isAccepted()};
    }

    QList<SEDQ_OBJECT*> of_kind(SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind)
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : *canvas()->get_object_list())
            if (object->get_type() == kind)
                found.append(object);
        return found;
    }

    // The loose node "top|x" dropped onto empty canvas.
    SEDQ_OBJECT* drop_loose_node(QPoint position)
    {
        select_nodes({17});
        drag_from(view(), node_data(), [&] { EXPECT_TRUE(drop(position, *node_data()).accepted); });
        const QList<SEDQ_OBJECT*> nodes = of_kind(SEDQ_OBJECT::NODE);
        return nodes.isEmpty() ? nullptr : nodes.back();
    }

    QPoint centre_of(const SEDQ_OBJECT* object)
    {
        QRect box = object->get_rect();
        canvas()->zoom_to_client(&box);
        return box.center();
    }
};
} // namespace

namespace
{
// The mouse and the keys on a canvas holding the Result and loose nodes.
class canvas_mouse_test : public canvas_dropping_test
{
protected:
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, button, held, keys);
        QApplication::sendEvent(canvas(), &event);
    }

    // Hover (the cursor rule picks the gesture), press, move and release.
    void gesture(QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        canvas()->setFocus();
        mouse(QEvent::MouseMove, from, Qt::NoButton, keys);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, keys);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, keys);
        mouse(QEvent::MouseMove, to, Qt::LeftButton, keys);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, keys);
    }

    void key(int code, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, code, keys);
        QApplication::sendEvent(canvas(), &event);
    }

    bool is_selected(SEDQ_OBJECT* object) { return object->is_selected(); }
};
} // namespace
