// The canvas on the demo driven by the mouse, the keys, the host's drags and the window's Edit
// commands: copies and drags take the selection with what its collapsed objects hide, Insert
// and Append cancelled leave everything as it was, connections keep the order they were dropped
// in, a paste follows the drop's rule and lands where it was put, and the pictures keep the
// listing and the error message in place at every zoom, with nothing drawn over the listing.
#include "object_canvas_demo_support.h"

#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/model/sedq_node.h"
#include "sedq/view/sedq_view.h"
#include "view/sedq_modal_step.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPair>
#include <QWheelEvent>

#include <algorithm>

namespace
{
using TYPE = SEDQ_OBJECT::SEDQ_OBJECT_TYPE;

class object_canvas_edit_test : public object_canvas_building_test
{
protected:
    void SetUp() override
    {
        object_canvas_building_test::SetUp();
        m_canvas->activateWindow();
        m_canvas->setFocus(Qt::OtherFocusReason);
        settle();
    }

    void TearDown() override
    {
        standin::afcq::set_drag_handler(nullptr);
        standin::tst::set_regtest_mode(false);
        object_canvas_building_test::TearDown();
    }

    QList<SEDQ_OBJECT*>& objects() { return *m_canvas->get_object_list(); }
    SEDQ_OBJECT* busy() { return named(QStringLiteral("uart_tx|busy")); }
    SEDQ_OBJECT* named(const QString& name)
    {
        for (SEDQ_OBJECT* object : objects())
            if (object->get_name() == name)
                return object;
        return nullptr;
    }
    QList<SEDQ_OBJECT*> of_kind(TYPE kind)
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : objects())
            if (object->get_type() == kind)
                found.append(object);
        return found;
    }
    QList<SEDQ_OBJECT*> loose_nodes()
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : of_kind(SEDQ_OBJECT::NODE))
            if (object->is_root())
                found.append(object);
        return found;
    }
    QPoint centre(const SEDQ_OBJECT* object) const { return to_widget(object->get_rect().center()); }
    // A widget position in canvas coordinates.
    QPoint zoomed(QPoint at) const
    {
        m_canvas->client_to_zoom(&at);
        return at;
    }
    // A point of empty canvas below the preset.
    QPoint empty() const { return QPoint(m_canvas->width() / 2, m_canvas->height() - 60); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                          ? Qt::MouseButtons(Qt::NoButton)
                                          : Qt::MouseButtons(button);
        QMouseEvent event(type, at, type == QEvent::MouseMove ? Qt::NoButton : button, held, keys);
        QApplication::sendEvent(m_canvas, &event);
    }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseMove, at, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, at, button);
        mouse(QEvent::MouseButtonRelease, at, button);
    }
    void key(int code)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(m_canvas, &press);
    }
    // An Edit command of the window where the context menu was opened (a right click at `at`).
    void command_at(QPoint at, AFCQ_ACTION_ENUM id)
    {
        click(at, Qt::RightButton);
        ASSERT_TRUE(m_frame->focusWidget() == m_canvas) << "the window routes Edit to the canvas";
        action(m_frame, id)->trigger();
        settle();
    }
    void copy_and_paste(SEDQ_OBJECT* object, QPoint at) { copy_and_paste_at(centre(object), at); }
    // Copy from the menu opened at `from`, Paste from the one opened at `to`.
    void copy_and_paste_at(QPoint from, QPoint to)
    {
        command_at(from, AFCQ_EDIT_COPY_ACTION);
        command_at(to, AFCQ_EDIT_PASTE_ACTION);
    }
    // Ctrl and the wheel over the canvas, a notch at a time, until the zoom level is reached.
    void zoom_to(int level)
    {
        for (int notch = 0; notch < 40 && m_canvas->get_zoom_level() != level; ++notch)
        {
            const QPoint at(m_canvas->width() / 2, m_canvas->height() / 2);
            const int delta = m_canvas->get_zoom_level() < level ? -120 : 120;
            QWheelEvent wheel(at, m_canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(m_canvas, &wheel);
        }
        ASSERT_EQ(m_canvas->get_zoom_level(), level);
    }
    // Presses with Shift or Ctrl on the object (a drag of the selection out of the canvas) and
    // drops where the host's drag brings it.
    void drag_out(SEDQ_OBJECT* object, QPoint to, Qt::KeyboardModifiers keys)
    {
        standin::afcq::set_drag_handler(
            [&](QDrag* drag, Qt::DropActions actions)
            {
                const Qt::DropAction proposed =
                    (keys & Qt::ControlModifier) != 0 ? Qt::CopyAction : Qt::MoveAction;
                QDragEnterEvent enter(to, actions, drag->mimeData(), Qt::LeftButton, keys);
                enter.setDropAction(proposed);
                QApplication::sendEvent(m_canvas, &enter);
                QDropEvent drop(to, actions, drag->mimeData(), Qt::LeftButton, keys);
                QApplication::sendEvent(m_canvas, &drop);
                return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
            });
        const QPoint from = centre(object);
        mouse(QEvent::MouseMove, from, Qt::NoButton, keys);
        ASSERT_EQ(SEDQ_OBJECT_WIDGET::m_object_widget_cursor, Qt::ArrowCursor);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, keys);
        mouse(QEvent::MouseButtonRelease, from, Qt::LeftButton, keys);
        standin::afcq::set_drag_handler(nullptr);
    }
    // Runs `command`, whose Properties dialog is cancelled, or given a kind and accepted.
    void with_new_object_dialog(const std::function<void()>& command, bool accept)
    {
        on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>(
            [accept](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
            {
                ASSERT_NE(dialog, nullptr);
                QComboBox* kinds = dialog->get_general_widget()->get_type_combo();
                kinds->setCurrentIndex(kinds->findText(QStringLiteral("Logical Operator")));
                if (!accept)
                    dialog->reject();
            });
        command();
        standin::tst::set_regtest_mode(false);
    }

    // Everything Cancel must leave as it was: each object in list order with its settings and
    // links, the bars, the history and the document's modified flag.
    QString everything()
    {
        QStringList lines;
        for (SEDQ_OBJECT* object : objects())
        {
            QStringList inputs;
            for (SEDQ_OBJECT* input : object->get_children())
                inputs << QString::number(objects().indexOf(input));
            const SEDQ_PROPERTY& p = object->get_property();
            lines << QStringLiteral("%1 %2 (%3,%4) sel %5 exp %6 first %7 parent %8 inputs %9")
                         .arg(object->get_type())
                         .arg(object->get_name())
                         .arg(object->get_rect().left())
                         .arg(object->get_rect().top())
                         .arg(p[SEDQ_PROPERTY::SELECTED])
                         .arg(p[SEDQ_PROPERTY::EXPANDED])
                         .arg(p[SEDQ_PROPERTY::FIRST_PORT_EMPTY])
                         .arg(objects().indexOf(object->get_parent()))
                         .arg(inputs.join(','));
        }
        for (QScrollBar* bar : {m_canvas->get_horizontal_scroll_bar(), m_canvas->get_vertical_scroll_bar()})
            lines << QStringLiteral("bar %1 of %2..%3")
                         .arg(bar->value())
                         .arg(bar->minimum())
                         .arg(bar->maximum());
        m_canvas->on_update_edit_undo();
        m_canvas->on_update_edit_redo();
        lines << QStringLiteral("history %1 at %2, undo %3 redo %4, modified %5")
                     .arg(m_canvas->get_undo_list()->size())
                     .arg(m_canvas->get_undo_position())
                     .arg(enabled(AFCQ_EDIT_UNDO_ACTION))
                     .arg(enabled(AFCQ_EDIT_REDO_ACTION))
                     .arg(m_frame->get_tx_manager()->get_tx_session()->is_modified());
        return lines.join('\n');
    }
    // Only who feeds whom, for an Undo back to a scene taken by a snapshot.
    QString graph()
    {
        QStringList lines;
        for (SEDQ_OBJECT* object : objects())
            lines << QStringLiteral("%1 %2 <- %3")
                         .arg(object->get_type())
                         .arg(object->get_name())
                         .arg(object->get_parent() != nullptr ? object->get_parent()->get_name() : QString());
        lines.sort();
        return lines.join('\n');
    }

    QImage picture_at_zoom(int level)
    {
        zoom_to(level);
        return m_canvas->grab().toImage();
    }
};
} // namespace

TEST_F(object_canvas_edit_test, copies_take_the_selection_with_what_its_collapsed_objects_hide)
{
    const struct
    {
        const char* name;
        bool bus;
        int more;
    } rows[] = {{"the busy line", false, 1}, {"the collapsed data bus and its eight bits", true, 9}};
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* copied = row.bus ? of_kind(SEDQ_OBJECT::BUS).first() : busy();
        const int before = objects().size();
        const int buses = of_kind(SEDQ_OBJECT::BUS).size();
        copy_and_paste(copied, empty());
        EXPECT_EQ(objects().size(), before + row.more) << row.name;
        EXPECT_EQ(of_kind(SEDQ_OBJECT::BUS).size(), buses + (row.bus ? 1 : 0)) << row.name;
        EXPECT_EQ(loose_nodes().size(), row.bus ? 0 : 1) << row.name << ": the pasted busy line alone";
        m_canvas->on_edit_undo();
    }
    // Onto the And, which takes any number of inputs, the line joins it alone.
    SEDQ_OBJECT* logical = first_of(SEDQ_OBJECT::LOGICAL_OPERATOR);
    const int inputs = logical->get_children().size();
    copy_and_paste(busy(), centre(logical));
    EXPECT_EQ(logical->get_children().size(), inputs + 1);
}

// A drag takes what a copy takes: the selection, with what its collapsed objects hide. Shift
// moves it, leaving the unselected inputs of an open comparison where they stood, as roots;
// Ctrl copies it alone. The dragged copy stands where the press point was let go.
TEST_F(object_canvas_edit_test, a_ctrl_drag_copies_the_selection_and_a_shift_drag_moves_it)
{
    const struct
    {
        const char* name;
        TYPE kind;
        Qt::KeyboardModifiers keys;
        int more;
    } rows[] = {
        {"ctrl-drag of the busy line", SEDQ_OBJECT::NODE, Qt::ControlModifier, 1},
        {"shift-drag of the busy line", SEDQ_OBJECT::NODE, Qt::ShiftModifier, 0},
        {"shift-drag of the open comparison", SEDQ_OBJECT::COMPARISON_OPERATOR, Qt::ShiftModifier, 0},
        {"ctrl-drag of the open comparison", SEDQ_OBJECT::COMPARISON_OPERATOR, Qt::ControlModifier, 1}};
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* dragged = row.kind == SEDQ_OBJECT::NODE ? busy() : first_of(row.kind);
        click(centre(dragged));
        const int before = objects().size();
        const int logical_inputs = first_of(SEDQ_OBJECT::LOGICAL_OPERATOR)->get_children().size();
        QList<QPair<int, QPoint>> inputs; // the dragged object's inputs: kind, and where they stand
        for (SEDQ_OBJECT* input : dragged->get_children())
            inputs.append({input->get_type(), input->get_rect().topLeft()});
        const QPoint from = zoomed(centre(dragged));
        const QPoint grip = from - dragged->get_rect().topLeft();
        drag_out(dragged, empty(), row.keys);
        EXPECT_EQ(objects().size(), before + row.more) << row.name;
        const bool moved = row.keys == Qt::ShiftModifier;
        EXPECT_EQ(first_of(SEDQ_OBJECT::LOGICAL_OPERATOR)->get_children().size(), logical_inputs - (moved ? 1 : 0))
            << row.name;
        SEDQ_OBJECT* copy = objects().last();
        EXPECT_EQ(copy->get_type(), row.kind) << row.name;
        EXPECT_EQ(copy->get_rect().topLeft(), zoomed(empty()) - grip) << row.name << ": where it was let go";
        EXPECT_TRUE(copy->get_children().isEmpty()) << row.name << ": without the unselected inputs";
        for (const auto& input : inputs)
        {
            const auto stays = [&](SEDQ_OBJECT* object) {
                return object->get_type() == input.first && object->get_rect().topLeft() == input.second;
            };
            const auto left = std::find_if(objects().begin(), objects().end(), stays);
            ASSERT_NE(left, objects().end()) << row.name << ": an input of kind " << input.first << " where it stood";
            EXPECT_EQ((*left)->is_root(), moved) << row.name << ": kind " << input.first;
        }
        // Every bit of the data bus stays in its bus.
        for (SEDQ_OBJECT* node : of_kind(SEDQ_OBJECT::NODE))
            EXPECT_TRUE(node->get_name() == QStringLiteral("uart_tx|busy") || !node->is_root()) << row.name;
        m_canvas->on_edit_undo();
        EXPECT_EQ(objects().size(), before) << row.name << ": one undo step";
    }
}

TEST_F(object_canvas_edit_test, cancel_after_insert_or_append_leaves_everything_and_ok_is_one_step)
{
    const struct
    {
        const char* name;
        int key;
        TYPE selected;
    } rows[] = {{"Insert", Qt::Key_I, SEDQ_OBJECT::NODE},
                {"Append", Qt::Key_A, SEDQ_OBJECT::LOGICAL_OPERATOR}};
    for (const auto& row : rows)
    {
        click(centre(row.selected == SEDQ_OBJECT::NODE ? busy() : first_of(row.selected)));
        m_canvas->get_vertical_scroll_bar()->setValue(m_canvas->get_vertical_scroll_bar()->value() + 25);
        const QString before = everything();
        const QString graph_before = graph();
        const int position = m_canvas->get_undo_position();
        with_new_object_dialog([&] { key(row.key); }, false);
        EXPECT_EQ(everything(), before) << row.name << " cancelled";

        with_new_object_dialog([&] { key(row.key); }, true);
        EXPECT_EQ(of_kind(SEDQ_OBJECT::LOGICAL_OPERATOR).size(), 2) << row.name;
        EXPECT_EQ(m_canvas->get_undo_position(), position + 1) << row.name << ": one step";
        EXPECT_EQ(m_canvas->get_undo_list()->size(), position + 2) << row.name;
        m_canvas->on_edit_undo();
        EXPECT_EQ(graph(), graph_before) << row.name << ": one Undo takes it back";
    }
}

TEST_F(object_canvas_edit_test, undo_and_redo_leave_the_bars_in_step_with_the_drawing)
{
    click(centre(busy()));
    key(Qt::Key_Delete);
    const struct
    {
        const char* name;
        AFCQ_ACTION_ENUM command;
    } rows[] = {{"undo", AFCQ_EDIT_UNDO_ACTION}, {"redo", AFCQ_EDIT_REDO_ACTION}};
    for (const auto& row : rows)
    {
        ASSERT_TRUE(enabled(row.command)) << row.name;
        action(m_frame, row.command)->trigger();
        const int top = result()->get_rect().top();
        QWheelEvent notch(QPointF(300, 300), QPointF(m_canvas->mapToGlobal(QPoint(300, 300))), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_canvas, &notch);
        EXPECT_EQ(result()->get_rect().top(), top - 30) << row.name << ": one notch scrolls by 30";
    }
}

// The new input takes its place among the And's inputs where it was dropped, wherever its own
// box stood: a line pasted above the drawing dropped low on the And comes last, one pasted
// below it dropped between the And's two inputs comes second.
TEST_F(object_canvas_edit_test, a_connection_keeps_the_place_it_was_dropped_at)
{
    const int header = m_canvas->get_header_height();
    const struct
    {
        const char* name;
        QPoint pasted;
        bool low;
    } rows[] = {{"pasted above, dropped low", QPoint(m_canvas->width() - 200, header + 12), true},
                {"pasted below, dropped between the inputs", empty(), false}};
    for (const auto& row : rows)
    {
        copy_and_paste(busy(), row.pasted);
        SEDQ_OBJECT* pasted = loose_nodes().last();
        SEDQ_OBJECT* logical = first_of(SEDQ_OBJECT::LOGICAL_OPERATOR);
        ASSERT_EQ(logical->get_children().size(), 2);
        const QRect box = logical->get_rect();
        const int first = logical->get_children().first()->get_head().y();
        const int second = logical->get_children().last()->get_head().y();
        const int y =
            row.low ? box.bottom() - 3 : qBound(box.top() + 3, (first + second) / 2, box.bottom() - 3);
        ASSERT_TRUE(row.low || (y > first && y < second)) << row.name;
        connect_output(pasted, QPoint(box.center().x(), y));
        ASSERT_EQ(pasted->get_parent(), logical) << row.name;
        EXPECT_EQ(logical->get_children().indexOf(pasted), row.low ? 2 : 1) << row.name;
        m_canvas->on_edit_undo();
        m_canvas->on_edit_undo();
    }
}

// The Result takes one input and has it: a drop there is refused, and so is a paste.
TEST_F(object_canvas_edit_test, a_paste_onto_an_object_without_a_free_input_is_refused_like_a_drop)
{
    command_at(centre(busy()), AFCQ_EDIT_COPY_ACTION);
    ASSERT_FALSE(m_canvas->get_clipboard().isEmpty());
    QMimeData nodes;
    nodes.setData(QStringLiteral("SEDQ_NODE_CLIPBOARD_FORMAT"), QByteArray());
    QDragEnterEvent enter(centre(result()), Qt::CopyAction | Qt::LinkAction, &nodes, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(m_canvas, &enter);
    EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction) << "the drop's rule";
    const int count = objects().size();
    const int steps = m_canvas->get_undo_list()->size();
    command_at(centre(result()), AFCQ_EDIT_PASTE_ACTION);
    EXPECT_EQ(result()->get_children().size(), 1);
    EXPECT_EQ(objects().size(), count) << "nothing pasted";
    EXPECT_EQ(m_canvas->get_undo_list()->size(), steps) << "no edit";
}

namespace
{
// The part of the picture from the title band's bottom to the listing's bottom line.
QImage listing_band(const QImage& picture, int header, int right)
{
    return picture.copy(QRect(QPoint(0, 23), QPoint(right, header - 1)));
}

bool is_red(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// The smallest rectangle round the red pixels of `area`.
QRect red_bounds(const QImage& picture, const QRect& area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (is_red(picture.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
} // namespace

// The formula line is the same picture at every zoom: the diagram shrinks or grows below it,
// and stays on show there.
TEST_F(object_canvas_edit_test, the_listing_reads_the_same_under_the_title_at_every_zoom)
{
    const int header = m_canvas->get_header_height();
    const int right = m_canvas->width() - m_canvas->get_vertical_scroll_bar()->width() - 1;
    const QImage at_one_to_one = listing_band(picture_at_zoom(10), header, right);
    const int end = 5 + listing_metrics().horizontalAdvance(QStringLiteral("Result: busy&&110=Bus"));
    int rightmost = -1;
    for (int y = 0; y < at_one_to_one.height(); ++y)
        for (int x = 0; x < at_one_to_one.width(); ++x)
            if (inked(at_one_to_one, x, y))
                rightmost = std::max(rightmost, x);
    EXPECT_NEAR(rightmost, end, 4) << "the whole line is written";
    for (int level : {5, 11, 18, 20, 40})
    {
        const QImage picture = picture_at_zoom(level);
        EXPECT_EQ(m_canvas->get_header_height(), header) << level;
        EXPECT_TRUE(listing_band(picture, header, right) == at_one_to_one) << "zoom " << level;
        QRect shown;
        for (SEDQ_OBJECT* object : visible_objects())
            shown |= object->get_rect();
        m_canvas->zoom_to_client(&shown);
        EXPECT_GE(shown.top(), header) << "zoom " << level << ": the drawing stays on show below the listing";
    }
}

// With the value deleted the comparison lacks an input: the message stands at the bottom left
// of the view, above the bar, wherever the zoom puts the drawing.
TEST_F(object_canvas_edit_test, the_error_message_stands_at_the_same_place_of_the_view_at_every_zoom)
{
    click(centre(first_of(SEDQ_OBJECT::BUS_VALUE)));
    key(Qt::Key_Delete);
    const QImage first = m_canvas->grab().toImage();
    ASSERT_NE(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);
    const int bottom = m_canvas->height() - m_canvas->get_horizontal_scroll_bar()->height() - 1;
    const QString text = QString::fromLatin1(SEDQ_OBJECT::ERROR_STRING[m_canvas->get_error()]);
    const QFontMetrics metrics(AFCQ_FONT(AFCQ_FONT_MESSAGE).get_font());
    const QRect corner(QPoint(0, bottom - 7 - metrics.height()),
                       QPoint(9 + metrics.horizontalAdvance(text), bottom));
    const QRect message = red_bounds(first, corner);
    ASSERT_FALSE(message.isEmpty()) << "the message is on show";
    EXPECT_NEAR(message.left(), 7, 2) << "7 from the left edge";
    EXPECT_NEAR(message.bottom(), bottom - 7, 4) << "7 above the bar";
    for (int level : {5, 20, 40})
        EXPECT_EQ(red_bounds(picture_at_zoom(level), corner), message) << "zoom " << level;
}

// The drawing scrolled up under the listing: a box crossing the listing's bottom line is drawn
// below it only, and the listing's background stays clear above it.
TEST_F(object_canvas_edit_test, nothing_is_drawn_over_the_listing)
{
    const int header = m_canvas->get_header_height();
    QScrollBar* bar = m_canvas->get_vertical_scroll_bar();
    bar->setValue(bar->value() + (centre(result()).y() - header));
    ASSERT_NEAR(centre(result()).y(), header, 1) << "the Result crosses the listing's bottom line";
    const QImage picture = m_canvas->grab().toImage();
    const int x = centre(result()).x();
    const int clear_x = m_canvas->width() - m_canvas->get_vertical_scroll_bar()->width() - 10;
    EXPECT_EQ(picture.pixel(x, header - 3), picture.pixel(clear_x, header - 3))
        << "above the line: the listing";
    EXPECT_NE(picture.pixel(x, header + 4), picture.pixel(clear_x, header + 4)) << "below it: the Result";
}

// Append gives the And a third input and the layout spreads the inputs round its port; with
// the drawing's top just under the listing, the spread comes down instead of going under it.
TEST_F(object_canvas_edit_test, a_layout_keeps_new_inputs_below_the_title_and_the_listing)
{
    const int header = m_canvas->get_header_height();
    QScrollBar* bar = m_canvas->get_vertical_scroll_bar();
    QRect top = busy()->get_rect();
    m_canvas->zoom_to_client(&top);
    bar->setValue(bar->value() + top.top() - header - 2);
    click(centre(first_of(SEDQ_OBJECT::LOGICAL_OPERATOR)));
    with_new_object_dialog([&] { key(Qt::Key_A); }, true);
    ASSERT_EQ(first_of(SEDQ_OBJECT::LOGICAL_OPERATOR)->get_children().size(), 3);
    for (SEDQ_OBJECT* object : visible_objects())
    {
        QRect box = object->get_rect();
        m_canvas->zoom_to_client(&box);
        EXPECT_GE(box.top(), header) << object->get_type() << " " << object->get_name().toStdString();
    }
}

// A repaint draws what is on show: with the drawing pushed right, the leftmost boxes are
// painted and the Result, out of view, is not.
TEST_F(object_canvas_edit_test, a_repaint_paints_only_what_is_on_show)
{
    m_canvas->get_horizontal_scroll_bar()->setValue(0);
    standin::afcq::record_icons(true);
    m_canvas->grab();
    const auto painted = [](const SEDQ_OBJECT* object)
    {
        for (const standin::afcq::icon_paint& paint : standin::afcq::painted_icons())
            if (paint.rect == object->get_rect())
                return true;
        return false;
    };
    EXPECT_TRUE(painted(first_of(SEDQ_OBJECT::BUS_VALUE))) << "in view";
    EXPECT_FALSE(painted(result())) << "out of view";
    standin::afcq::record_icons(false);
}

// The node the busy line names is deleted in the node list beside the canvas: the canvas shows
// the problem at its next paint, though none of its objects changed.
TEST_F(object_canvas_edit_test, a_node_deleted_from_the_document_shows_as_an_error_at_once)
{
    m_canvas->grab();
    ASSERT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);
    SEDQ_TX_MANAGER* tx = m_frame->get_tx_manager();
    SEDQ_VIEW* view = m_frame->get_layout_widget()->get_view();
    ASSERT_TRUE(view->isVisible());
    tx->select_node_range(0, tx->get_node_count(-1) - 1, false);
    for (int row = 0; row < tx->get_node_count(-1); ++row)
        if (QString::fromLocal8Bit(SEDQ_NODE(tx, row, -1).get_name()) == QStringLiteral("uart_tx|busy"))
            tx->set_node_selection_status(row, true);
    view->setFocus(Qt::OtherFocusReason);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    settle();
    m_canvas->grab();
    EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_INVALID_NODE_NAME);
    EXPECT_EQ(m_canvas->get_error_object(), busy());
}

namespace
{
// Every box or output port of one visible object that another visible object's box covers.
QStringList covered(const QList<SEDQ_OBJECT*>& shown)
{
    QStringList found;
    for (SEDQ_OBJECT* a : shown)
        for (SEDQ_OBJECT* b : shown)
        {
            if (a == b)
                continue;
            QRect port;
            b->get_output_port(&port);
            const bool has_output =
                SEDQ_OBJECT::DISPLAY_TYPES[b->get_display_type()].output_type != SEDQ_OBJECT::PORT_NONE;
            if (a->get_rect().intersects(b->get_rect()) || (has_output && a->get_rect().intersects(port)))
                found << QStringLiteral("%1 (%2) covers %3 (%4)")
                             .arg(a->get_name(), QString::number(a->get_type()), b->get_name(),
                                  QString::number(b->get_type()));
        }
    return found;
}
} // namespace

// A loose copy of the busy line lies just below the comparison; a second copy wired to the And
// makes its inputs spread further: the loose box makes way, and nothing covers another box or
// an output port.
TEST_F(object_canvas_edit_test, after_a_connection_no_box_covers_another_box_or_port)
{
    SEDQ_OBJECT* comparison = first_of(SEDQ_OBJECT::COMPARISON_OPERATOR);
    ASSERT_NE(comparison, nullptr);
    const QRect below = comparison->get_rect();
    copy_and_paste(busy(), to_widget(QPoint(below.center().x(), below.bottom() + 22)));
    SEDQ_OBJECT* loose = loose_nodes().last();
    ASSERT_TRUE(covered(visible_objects()).isEmpty()) << covered(visible_objects()).join('\n').toStdString();
    copy_and_paste(busy(), empty());
    SEDQ_OBJECT* wired = loose_nodes().last();
    ASSERT_NE(wired, loose);
    connect_output(wired, first_of(SEDQ_OBJECT::LOGICAL_OPERATOR)->get_rect().center());
    ASSERT_EQ(wired->get_parent(), first_of(SEDQ_OBJECT::LOGICAL_OPERATOR));
    EXPECT_TRUE(loose->is_root());
    EXPECT_TRUE(covered(visible_objects()).isEmpty()) << covered(visible_objects()).join('\n').toStdString();
}

// Detached lines and loose copies each take a line of the listing. A detach keeps the drawing
// below it; a paste right under it stays where it was put, under the grown listing; a document
// saved with them opens with every box below the listing.
TEST_F(object_canvas_edit_test, a_detach_keeps_the_drawing_below_the_listing_and_a_reopen_shows_all_below_it)
{
    const auto under_listing = [this] {
        QStringList found;
        for (SEDQ_OBJECT* object : visible_objects())
        {
            QRect box = object->get_rect();
            m_canvas->zoom_to_client(&box);
            if (box.top() < m_canvas->get_header_height())
                found << object->get_name();
        }
        return found.join(", ").toStdString();
    };
    QScrollBar* bar = m_canvas->get_vertical_scroll_bar();
    bar->setValue(bar->value() + visible_top() - m_canvas->get_header_top()); // the drawing right under it
    click(centre(busy()));
    key(Qt::Key_D);
    ASSERT_TRUE(busy()->is_root());
    EXPECT_EQ(under_listing(), "") << "after a detach";
    copy_and_paste(busy(), QPoint(m_canvas->width() - 200, m_canvas->get_header_height() + 12));
    EXPECT_NE(under_listing(), "") << "a paste moves nothing";

    const QString path = m_dir.filePath("loose.vtl");
    ASSERT_TRUE(m_frame->get_tx_manager()->save_document(path.toLocal8Bit().constData()));
    close_frame(m_frame);
    m_frame = open_frame(path);
    m_canvas = show_trigger_level(m_frame, SERIAL_INSTANCE, PRESET_LEVEL);
    ASSERT_TRUE(m_canvas != nullptr && m_canvas->get_object_list() != nullptr);
    EXPECT_EQ(loose_nodes().size(), 2);
    EXPECT_EQ(under_listing(), "") << "reopened";
}

// A paste puts the copy's anchor (where it was copied, relative to the copied object) at the
// paste point, right under the listing as lower down, at 1:1 and zoomed out. The rest of the
// drawing stays where it stood, though the copy adds a line to the listing.
TEST_F(object_canvas_edit_test, a_paste_lands_with_its_anchor_at_the_paste_point)
{
    const struct
    {
        const char* name;
        int zoom;
        bool under_listing;
    } rows[] = {{"right under the listing", 10, true},
                {"on empty canvas", 10, false},
                {"zoomed out, right under the listing", 20, true}};
    for (const auto& row : rows)
    {
        zoom_to(row.zoom);
        const QPoint copied_at = centre(busy()) + QPoint(9, 4);
        const QPoint grip = zoomed(copied_at) - busy()->get_rect().topLeft();
        const QPoint at = row.under_listing ? QPoint(m_canvas->width() - 200, m_canvas->get_header_height() + 3) : empty();
        const QRect result_before = result()->get_rect();
        const int loose_before = loose_nodes().size();
        copy_and_paste_at(copied_at, at);
        ASSERT_EQ(loose_nodes().size(), loose_before + 1) << row.name;
        EXPECT_EQ(loose_nodes().last()->get_rect().topLeft(), zoomed(at) - grip) << row.name;
        EXPECT_EQ(result()->get_rect(), result_before) << row.name << ": the drawing stays";
        m_canvas->on_edit_undo();
    }
}
