#pragma once
// What a user does on the advanced trigger canvas of a window, as events: drags from the node
// table and the Object Library delivered through the host's drag, clicks and keys on the
// canvas, connections dragged from an output port, and the Object Properties dialog opened by
// its shortcut and filled while it is up.

#include "view/sedq_modal_step.h"

#include "host/afcq_drag.h"
#include "host/standin/afcq_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/advanced_trigger/sedq_parameter_widget.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

class canvas_user_steps
{
public:
    canvas_user_steps(SEDQ_FRAME_WND* frame, SEDQ_OBJECT_WIDGET* canvas) : m_frame(frame), m_canvas(canvas) {}

    // A drag from `source` that enters the canvas and drops at `at` (widget pixels).
    void drop_from(QObject* source, QMimeData* data, QPoint at) const
    {
        SEDQ_OBJECT_WIDGET* canvas = m_canvas;
        standin::afcq::set_drag_handler([canvas, at](QDrag* drag, Qt::DropActions actions) {
            QDragEnterEvent enter(at, actions, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &enter);
            EXPECT_TRUE(enter.isAccepted());
            QDropEvent drop(at, actions, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &drop);
            EXPECT_TRUE(drop.isAccepted());
            return drop.dropAction();
        });
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        afcq_exec_drag(drag, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        standin::afcq::set_drag_handler(nullptr);
    }

    // The node-table row called `name` (a group row drops as a Bus), selected alone and dragged
    // onto the canvas.
    void drop_node(const QString& name, QPoint at) const
    {
        SEDQ_TX_MANAGER* tx = m_frame->get_tx_manager();
        tx->select_node_range(0, tx->get_node_count(-1) - 1, false);
        bool found = false;
        for (int row = 0; row < tx->get_node_count(-1); ++row)
            if (QString::fromLocal8Bit(SEDQ_NODE(tx, row, -1).get_name()) == name)
            {
                tx->set_node_selection_status(row, true);
                found = true;
            }
        ASSERT_TRUE(found) << name.toStdString();
        auto* nodes = new QMimeData;
        nodes->setData(QStringLiteral("SEDQ_NODE_CLIPBOARD_FORMAT"), QByteArray());
        drop_from(m_frame->get_layout_widget()->get_view(), nodes, at);
    }

    // The Object Library's entry `entry` (as the palette names it), selected and dragged onto
    // the canvas.
    void drop_palette_entry(const QString& entry, QPoint at) const
    {
        SEDQ_OPERATOR_WIDGET* palette = nullptr;
        for (SEDQ_OPERATOR_WIDGET* candidate : m_frame->findChildren<SEDQ_OPERATOR_WIDGET*>())
            if (candidate->isVisible())
                palette = candidate;
        ASSERT_NE(palette, nullptr);
        QStandardItem* item = nullptr;
        QStandardItemModel* model = palette->get_model();
        for (int row = 0; row < model->rowCount() && item == nullptr; ++row)
            for (int child = 0; child < model->item(row)->rowCount() && item == nullptr; ++child)
                if (model->item(row)->child(child)->text() == entry)
                    item = model->item(row)->child(child);
        ASSERT_NE(item, nullptr) << entry.toStdString();
        palette->get_tree_view()->selectionModel()->select(item->index(), QItemSelectionModel::ClearAndSelect);
        drop_from(palette->get_tree_view(), new QMimeData, at);
    }

    // The last object of that kind in the canvas's list (the one made last); null when none.
    SEDQ_OBJECT* last_of(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type) const
    {
        SEDQ_OBJECT* found = nullptr;
        for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
            if (object->get_type() == type)
                found = object;
        return found;
    }

    // The first object of that name in the canvas's list; null when none.
    SEDQ_OBJECT* named(const QString& name) const
    {
        for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
            if (object->get_name() == name)
                return object;
        return nullptr;
    }

    QPoint to_widget(QPoint point) const
    {
        QRect box(point, point);
        m_canvas->zoom_to_client(&box);
        return box.topLeft();
    }

    QPoint centre_of(const SEDQ_OBJECT* object) const { return to_widget(object->get_rect().center()); }

    // The canvas takes the keyboard focus in its active window, as after a click on it (a
    // dialog that was up may have taken the activation).
    void focus() const
    {
        QApplication::setActiveWindow(m_canvas->window());
        m_canvas->setFocus(Qt::MouseFocusReason);
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) const
    {
        QMouseEvent event(type, at, button, held, Qt::NoModifier);
        QApplication::sendEvent(m_canvas, &event);
    }

    // A click on the object's box: it becomes the selection.
    void click(const SEDQ_OBJECT* object) const
    {
        const QPoint at = centre_of(object);
        focus();
        mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        focus();
        QKeyEvent press(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(m_canvas, &press);
    }

    // Drags from the object's output port onto the target: the object becomes its input.
    void connect_output(const SEDQ_OBJECT* from, const SEDQ_OBJECT* to) const
    {
        connect_output(from, to->get_rect().center());
    }
    // The same, dropping at `inside` (canvas coordinates) of the target.
    void connect_output(const SEDQ_OBJECT* from, QPoint inside) const
    {
        QRect port;
        from->get_output_port(&port);
        const QPoint start = to_widget(port.center());
        const QPoint end = to_widget(inside);
        focus();
        mouse(QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
        ASSERT_EQ(SEDQ_OBJECT_WIDGET::m_object_widget_cursor, Qt::CrossCursor);
        mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
    }

    // Selects the object, presses Alt with the keypad's Enter through the window system (the
    // shortcut map sees it first) and hands the Object Properties dialog to `step` before the
    // host's responder presses OK.
    void properties(const SEDQ_OBJECT* object, std::function<void(SEDQ_OBJECT_PROPERTIES_DLG*)> step) const
    {
        click(object);
        bool seen = false;
        on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>([&](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
            seen = dialog != nullptr;
            if (seen)
                step(dialog);
        });
        m_canvas->activateWindow();
        m_canvas->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(m_canvas->window()->windowHandle(), Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_TRUE(seen) << "the shortcut opens the dialog";
    }

    // On the dialog's Parameters page: the row of the setting `name` selected.
    static void select_setting(SEDQ_OBJECT_PROPERTIES_DLG* dialog, const QString& name)
    {
        dialog->get_tab_widget()->setCurrentWidget(dialog->get_parameter_widget());
        SEDQ_PARAMETER_SETTING_VIEW* table = dialog->get_parameter_widget()->get_setting_view();
        bool found = false;
        for (int row = 0; row < table->get_model()->rowCount(); ++row)
            if (table->get_name(row) == name)
            {
                table->selectionModel()->select(table->get_model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                found = true;
            }
        ASSERT_TRUE(found) << name.toStdString();
    }

    // On the dialog's Parameters page: the setting `name` is typed anew, as the keyboard would.
    static void type_setting(SEDQ_OBJECT_PROPERTIES_DLG* dialog, const QString& name, const QString& text)
    {
        select_setting(dialog, name);
        SEDQ_PARAMETER_WIDGET* page = dialog->get_parameter_widget();
        QLineEdit* line = page->get_setting_combo()->lineEdit();
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, text);
    }

private:
    SEDQ_FRAME_WND* m_frame;
    SEDQ_OBJECT_WIDGET* m_canvas;
};
