// The advanced trigger canvas on show: what a paint validates and reveals, its title, zoom
// by the View commands and the wheel, the scroll bars that move the drawing, and centring an
// object.
#include "sedq_view_test_support.h"

#include "host/standin/afcq_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QAction>
#include <QScrollBar>
#include <QWheelEvent>

namespace
{
class canvas_paint_test : public view_test
{
protected:
    void SetUp() override
    {
        view_test::SetUp();
        open_advanced_level();
        ASSERT_NE(canvas()->get_object_list(), nullptr);
        // The canvas gives the shown condition its Result.
        const int result = sedq_get_object_index(canvas()->get_object_list(), SEDQ_OBJECT::LEVEL_RESULT);
        ASSERT_GE(result, 0);
        canvas()->get_object_list()->at(result)->move(500, 200);
        canvas()->resize(800, 600);
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    }

    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }
    SEDQ_OBJECT* result() const
    {
        QList<SEDQ_OBJECT*>* list = const_cast<canvas_paint_test*>(this)->canvas()->get_object_list();
        return list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
    }
    SEDQ_OBJECT* place_input(SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type)
    {
        auto* input =
            static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        input->set_type(type);
        input->move(parent->get_rect().left() - 130, parent->get_rect().top());
        return input;
    }
    void wheel(Qt::KeyboardModifiers keys, int delta)
    {
        QWheelEvent event(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &event);
    }
    bool enabled(AFCQ_ACTION_ENUM id) { return tx()->get_action(id, QVariant())->isEnabled(); }
};
} // namespace

TEST_F(canvas_paint_test, paint_reports_the_last_problem_and_its_object)
{
    SEDQ_OBJECT* node = place_input(result(), SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    const QImage picture = canvas()->grab().toImage();
    EXPECT_EQ(canvas()->get_error(), SEDQ_OBJECT::ERROR_MISSING_NODE_NAME);
    EXPECT_EQ(canvas()->get_error_object(), node);
    const QRect box = node->get_rect();
    EXPECT_EQ(picture.pixelColor(box.left() - 2, box.center().y()), QColor(Qt::red)) << "the ring left of the box";
    node->get_property().set(SEDQ_PROPERTY::NAME, QStringLiteral("top|a"));
    canvas()->grab();
    EXPECT_EQ(canvas()->get_error(), SEDQ_OBJECT::ERROR_NONE);
    EXPECT_EQ(canvas()->get_error_object(), nullptr);
}

TEST_F(canvas_paint_test, an_error_inside_a_collapsed_input_is_revealed_without_an_undo_step)
{
    SEDQ_OBJECT* logical = place_input(result(), SEDQ_OBJECT::LOGICAL_OPERATOR);
    SEDQ_OBJECT* node = place_input(logical, SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    logical->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    const int undo_steps = canvas()->get_undo_list() != nullptr ? canvas()->get_undo_list()->size() : 0;
    const int position = canvas()->get_undo_position();
    canvas()->grab();
    EXPECT_EQ(canvas()->get_error_object(), node);
    EXPECT_EQ(logical->get_property()[SEDQ_PROPERTY::EXPANDED], 1);
    EXPECT_FALSE(node->is_hidden());
    EXPECT_EQ(node->get_rect().left(), logical->get_rect().left() - 130) << "the tree is arranged";
    EXPECT_EQ(canvas()->get_undo_list() != nullptr ? canvas()->get_undo_list()->size() : 0, undo_steps);
    EXPECT_EQ(canvas()->get_undo_position(), position);
}

TEST_F(canvas_paint_test, title_names_the_condition_from_one_and_paint_draws_every_object)
{
    EXPECT_EQ(canvas()->get_title(), QStringLiteral("   Advanced Trigger Condition Editor: Condition 1"));
    place_input(result(), SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    standin::afcq::record_icons(true);
    canvas()->grab();
    EXPECT_TRUE(standin::afcq::asked_icons().contains(AFCQ_ICON_SEDQ_RESULT_WITH_INPUT));
    EXPECT_TRUE(standin::afcq::asked_icons().contains(AFCQ_ICON_SEDQ_NODE));
}

TEST_F(canvas_paint_test, client_to_zoom_scales_by_the_level_and_back)
{
    const struct
    {
        int level;
        QPoint zoomed;
    } rows[] = {{20, {200, 60}}, {5, {50, 15}}, {10, {100, 30}}};
    for (const auto& row : rows)
    {
        canvas()->set_zoom_positions(row.level);
        ASSERT_EQ(canvas()->get_zoom_level(), row.level);
        QPoint point(100, 30);
        canvas()->client_to_zoom(&point);
        EXPECT_EQ(point, row.zoomed) << row.level;
        QRect rect(row.zoomed, row.zoomed);
        canvas()->zoom_to_client(&rect);
        EXPECT_EQ(rect.topLeft(), QPoint(100, 30)) << row.level;
    }
}

TEST_F(canvas_paint_test, ctrl_wheel_zooms_within_bounds_and_the_commands_follow)
{
    for (int step = 0; step < 9; ++step)
        wheel(Qt::ControlModifier, 120);
    EXPECT_EQ(canvas()->get_zoom_level(), 1);
    wheel(Qt::ControlModifier, 120);
    EXPECT_EQ(canvas()->get_zoom_level(), 1) << "a tenth step does nothing";
    // Zoom In above level 1, Zoom Out below 40, Fit in Window away from 1:1.
    const struct
    {
        int level;
        bool zoom_in, zoom_out, fit;
    } rows[] = {{1, false, true, true}, {9, true, true, true}, {10, true, true, false},
                {39, true, true, true}, {40, true, false, true}};
    for (const auto& row : rows)
    {
        canvas()->set_zoom_positions(row.level);
        canvas()->on_update_zoom_in();
        canvas()->on_update_zoom_out();
        canvas()->on_update_fit_in_window();
        EXPECT_EQ(enabled(AFCQ_SEDQ_ZOOM_IN_ACTION), row.zoom_in) << row.level;
        EXPECT_EQ(enabled(AFCQ_SEDQ_ZOOM_OUT_ACTION), row.zoom_out) << row.level;
        EXPECT_EQ(enabled(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION), row.fit) << row.level;
    }
    canvas()->on_zoom_out();
    EXPECT_EQ(canvas()->get_zoom_level(), 40) << "Zoom Out stops at 40";
    canvas()->on_fit_in_window();
    EXPECT_EQ(canvas()->get_zoom_level(), 10);
    EXPECT_FALSE(enabled(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION));
}

TEST_F(canvas_paint_test, scroll_ranges_keep_the_drawing_where_it_is_and_scrolling_moves_it)
{
    SEDQ_OBJECT* node = place_input(result(), SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    const QPoint before = node->get_rect().topLeft();
    canvas()->on_scroll();
    EXPECT_EQ(node->get_rect().topLeft(), before) << "at the values the ranges set nothing moves";
    QScrollBar* bar = canvas()->get_vertical_scroll_bar();
    EXPECT_GT(bar->maximum(), 0);
    const int value = bar->value();
    wheel(Qt::NoModifier, -120);
    EXPECT_EQ(bar->value(), value + 30);
    EXPECT_EQ(node->get_rect().top(), before.y() - 30) << "scrolling moves the objects";
}

TEST_F(canvas_paint_test, ensure_visible_selects_and_centres_the_object)
{
    SEDQ_OBJECT* node = place_input(result(), SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    canvas()->ensure_visible(node);
    EXPECT_EQ(node->get_property()[SEDQ_PROPERTY::SELECTED], 1);
    EXPECT_EQ(result()->get_property()[SEDQ_PROPERTY::SELECTED], 0);
    EXPECT_FALSE(node->is_hidden());
    const QRect box = node->get_rect();
    EXPECT_NEAR((box.left() + box.right()) / 2, (canvas()->width() - 1) / 2, 1);
    EXPECT_NEAR((box.top() + box.bottom()) / 2, (canvas()->height() - 1) / 2, 1);
}

TEST_F(canvas_paint_test, find_next_scrolls_the_match_to_the_centre)
{
    SEDQ_OBJECT* logical = place_input(result(), SEDQ_OBJECT::LOGICAL_OPERATOR);
    SEDQ_OBJECT* near = place_input(logical, SEDQ_OBJECT::NODE);
    SEDQ_OBJECT* far = place_input(logical, SEDQ_OBJECT::NODE);
    near->set_name("top|near");
    far->set_name("top|far");
    far->move(-900, 1400);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    canvas()->get_find_state().text = "far";
    canvas()->get_find_state().direction = "Down";
    canvas()->on_edit_find_next();
    ASSERT_EQ(canvas()->get_selected_item(), far);
    EXPECT_FALSE(far->is_hidden()) << "its collapsed parent opened";
    const QRect box = far->get_rect();
    EXPECT_NEAR((box.left() + box.right()) / 2, (canvas()->width() - 1) / 2, 1);
    EXPECT_NEAR((box.top() + box.bottom()) / 2, (canvas()->height() - 1) / 2, 1);
}

// The cut keeps the longest start that fits; past the bar's middle the end shows and the start
// gives way to blanks and "...".
TEST(canvas_listing, a_long_listing_follows_the_horizontal_bar)
{
    const QFontMetrics metrics(QFont(QStringLiteral("Courier"), 12));
    const QString text = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const int label = metrics.horizontalAdvance(QStringLiteral("Result: "));
    const int area = label + metrics.horizontalAdvance(text) / 2;
    int x = 0;
    EXPECT_EQ(SEDQ_OBJECT_WIDGET::fit_listing(metrics, text, label, 2 * area, 0, 100, &x), text) << "fits whole";
    EXPECT_EQ(x, label);

    for (int position : {0, 50})
    {
        const QString cut = SEDQ_OBJECT_WIDGET::fit_listing(metrics, text, label, area, position, 100, &x);
        ASSERT_TRUE(cut.endsWith(QStringLiteral("..."))) << position;
        const QString kept = cut.chopped(3);
        EXPECT_TRUE(text.startsWith(kept)) << position;
        EXPECT_LE(label + metrics.horizontalAdvance(cut), area) << position;
        EXPECT_GT(label + metrics.horizontalAdvance(text.left(kept.size() + 1) + QStringLiteral("...")), area)
            << position << ": the longest start that fits";
        EXPECT_EQ(x, label) << position;
    }

    const QString end = SEDQ_OBJECT_WIDGET::fit_listing(metrics, text, label, area, 100, 100, &x);
    const int shift = label + metrics.horizontalAdvance(text) - area;
    EXPECT_EQ(x, label - shift) << "the whole overflow scrolled away";
    EXPECT_TRUE(end.endsWith(QStringLiteral("xyz")));
    const int blanks = end.indexOf(QStringLiteral("..."));
    ASSERT_GT(blanks, 0);
    EXPECT_EQ(end.left(blanks), QString(blanks, QLatin1Char(' ')));
    EXPECT_GE(metrics.horizontalAdvance(QString(blanks, QLatin1Char(' '))), shift);
    EXPECT_EQ(end.mid(blanks + 3), text.mid(blanks + 3)) << "characters keep their places";
}

TEST_F(canvas_paint_test, background_tells_disabled_locked_power_up_and_normal_views_apart)
{
    const auto background = [this] { return canvas()->grab().toImage().pixelColor(40, 100); };
    const QColor normal = AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color();
    const QColor cell_face = AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush().color();
    ASSERT_NE(normal, cell_face);
    EXPECT_EQ(background(), normal) << "normal";
    ASSERT_TRUE(tx()->enable_powerup_trigger(0, true));
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    const QColor powerup = background();
    EXPECT_NE(powerup, normal) << "unlocked power-up view";
    EXPECT_NE(powerup, cell_face) << "unlocked power-up view";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    EXPECT_EQ(background(), cell_face) << "locked power-up view";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, false);
    ASSERT_TRUE(tx()->enable_powerup_trigger(0, false));
    tx()->toggle_pattern(0);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    ASSERT_TRUE(canvas()->is_disabled());
    EXPECT_EQ(background(), cell_face) << "disabled";
}

TEST_F(canvas_paint_test, cursor_tells_what_a_press_would_do)
{
    SEDQ_OBJECT* node = place_input(result(), SEDQ_OBJECT::NODE);
    result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    SEDQ_OBJECT* root = place_input(result(), SEDQ_OBJECT::NODE);
    result()->detach_child(root);
    root->move(100, 400);
    const QPoint output = root->get_head() + QPoint(3, 0);
    const struct
    {
        const char* name;
        QPoint at;
        Qt::KeyboardModifiers keys;
        SEDQ_LOCK_MODE lock;
        Qt::CursorShape shape;
    } rows[] = {
        {"over nothing", {20, 300}, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, Qt::ArrowCursor},
        {"over nothing with Alt", {20, 300}, Qt::AltModifier, SEDQ_LOCK_MODE_ALLOW_ALL, Qt::OpenHandCursor},
        {"output port of a root", output, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, Qt::CrossCursor},
        {"output port while locked", output, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_TRIGGER, Qt::OpenHandCursor},
        {"an input's box", node->get_rect().center(), Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, Qt::SizeAllCursor},
        {"an input's box with Shift", node->get_rect().center(), Qt::ShiftModifier, SEDQ_LOCK_MODE_ALLOW_ALL,
         Qt::ArrowCursor},
        {"a root's box", root->get_rect().center(), Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, Qt::OpenHandCursor},
    };
    for (const auto& row : rows)
    {
        tx()->set_lock_mode(row.lock, false);
        QMouseEvent event(QEvent::MouseMove, row.at, Qt::NoButton, Qt::NoButton, row.keys);
        canvas()->on_update_cursor(&event);
        EXPECT_EQ(canvas()->cursor().shape(), row.shape) << row.name;
    }
}
