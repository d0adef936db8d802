// The advanced trigger canvas on the demo, as a user sees it in the window: the serial
// instance's second level shows its preset condition as boxes with their host pictures, the
// title and the listing, and zooms and scrolls by the View commands.
#include "object_canvas_demo_support.h"

#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_node.h"
#include "sedq/view/sedq_view.h"

#include <QItemSelectionModel>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

TEST_F(object_canvas_demo_test, the_preset_is_painted_as_a_tree_of_pictures_below_its_listing)
{
    standin::afcq::record_icons(true);
    const QImage picture = m_canvas->grab().toImage();
    picture.save(QDir::temp().filePath("object_canvas_demo.png"));
    EXPECT_EQ(m_canvas->get_title(), QStringLiteral("   Advanced Trigger Condition Editor: Condition 2"));
    EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);

    // What each box of the preset paints in its place (the Bus is shown collapsed).
    const struct
    {
        const char* name;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type;
        AFCQ_ICON_ENUM body;
    } rows[] = {
        {"the Result", SEDQ_OBJECT::LEVEL_RESULT, AFCQ_ICON_SEDQ_RESULT_WITH_INPUT},
        {"the Logical And", SEDQ_OBJECT::LOGICAL_OPERATOR, AFCQ_ICON_SEDQ_LOGICAL_AND},
        {"the busy line", SEDQ_OBJECT::NODE, AFCQ_ICON_SEDQ_NODE},
        {"the comparison", SEDQ_OBJECT::COMPARISON_OPERATOR, AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_EQUALITY},
        {"the character", SEDQ_OBJECT::BUS_VALUE, AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE},
        {"the data bus", SEDQ_OBJECT::BUS, AFCQ_ICON_SEDQ_NODE},
    };
    const QList<SEDQ_OBJECT*> shown = visible_objects();
    ASSERT_EQ(shown.size(), int(std::size(rows)));
    for (const auto& row : rows)
    {
        const SEDQ_OBJECT* object = nullptr;
        for (const SEDQ_OBJECT* candidate : shown)
            if (candidate->get_type() == row.type)
                object = candidate;
        ASSERT_NE(object, nullptr) << row.name;
        QList<int> in_the_box;
        for (const standin::afcq::icon_paint& paint : standin::afcq::painted_icons())
            if (paint.rect == object->get_rect())
                in_the_box.append(paint.id);
        EXPECT_EQ(in_the_box, QList<int>{row.body}) << row.name;
    }

    // A tidy picture: no box over another, all of them inside the drawing area, below the
    // listing and clear of the scroll bars.
    const int drawing_top = 23 + listing_metrics().height();
    const QRect area(QPoint(0, drawing_top),
                     QPoint(m_canvas->width() - m_canvas->get_vertical_scroll_bar()->width() - 1,
                            m_canvas->height() - m_canvas->get_horizontal_scroll_bar()->height() - 1));
    for (int i = 0; i < shown.size(); ++i)
    {
        EXPECT_TRUE(area.contains(shown[i]->get_rect())) << i;
        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->get_rect().intersects(shown[j]->get_rect())) << i << " and " << j;
    }
}

// The listing's line: "Result: " then the display formula of the preset, ending where its text
// ends (nothing overprinted beyond it).
TEST_F(object_canvas_demo_test, the_listing_shows_the_display_formula_after_the_label)
{
    ASSERT_NE(result(), nullptr);
    ASSERT_FALSE(result()->get_children().isEmpty());
    EXPECT_EQ(result()->get_children().first()->get_equation(false, 0), QStringLiteral("busy&&110=Bus"));
    const QImage picture = m_canvas->grab().toImage();
    const QFontMetrics metrics = listing_metrics();
    const int left = 5;
    const int end = left + metrics.horizontalAdvance(QStringLiteral("Result: busy&&110=Bus"));
    int rightmost = -1;
    for (int y = 24; y < 24 + metrics.height(); ++y)
        for (int x = 0; x < m_canvas->width() - m_canvas->get_vertical_scroll_bar()->width(); ++x)
            if (inked(picture, x, y))
                rightmost = std::max(rightmost, x);
    EXPECT_NEAR(rightmost, end, 4);
    bool label_inked = false;
    for (int y = 24; y < 24 + metrics.height() && !label_inked; ++y)
        for (int x = left; x < left + metrics.horizontalAdvance(QStringLiteral("Result")) && !label_inked; ++x)
            label_inked = qGray(picture.pixel(x, y)) < 230;
    EXPECT_TRUE(label_inked);
}

// View > Zoom In, Zoom Out and Fit in Window work on the page as the user reaches them, and the
// scroll bars move the diagram.
TEST_F(object_canvas_demo_test, the_view_commands_zoom_and_the_bars_scroll_the_diagram)
{
    m_canvas->activateWindow();
    m_canvas->setFocus(Qt::OtherFocusReason);
    settle();
    const struct
    {
        const char* name;
        AFCQ_ACTION_ENUM command;
        int level;
    } rows[] = {{"zoom in", AFCQ_SEDQ_ZOOM_IN_ACTION, 9},
                {"zoom in again", AFCQ_SEDQ_ZOOM_IN_ACTION, 8},
                {"zoom out", AFCQ_SEDQ_ZOOM_OUT_ACTION, 9},
                {"fit in window", AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, 10}};
    for (const auto& row : rows)
    {
        // The user opens the View menu, which sets the commands by their rules.
        emit m_frame->get_menu_record()->view_menu->aboutToShow();
        ASSERT_TRUE(enabled(row.command)) << row.name;
        action(m_frame, row.command)->trigger();
        settle();
        EXPECT_EQ(m_canvas->get_zoom_level(), row.level) << row.name;
    }

    const QRect before = result()->get_rect();
    QScrollBar* bars[] = {m_canvas->get_horizontal_scroll_bar(), m_canvas->get_vertical_scroll_bar()};
    const QPoint moves[] = {QPoint(-40, 0), QPoint(0, -40)};
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_GT(bars[i]->maximum(), bars[i]->value() + 40) << i;
        bars[i]->setValue(bars[i]->value() + 40);
        EXPECT_EQ(result()->get_rect().topLeft(), before.topLeft() + moves[0] + (i == 1 ? moves[1] : QPoint())) << i;
    }
    bars[0]->setValue(bars[0]->value() - 40);
    bars[1]->setValue(bars[1]->value() - 40);
    EXPECT_EQ(result()->get_rect(), before);
}

// Zooming out by the wheel and back in by as many notches returns to the same view, whether the
// drawing stood as it opened, scrolled or right under the listing; it stays below the listing
// on the way.
TEST_F(object_canvas_demo_test, zooming_out_and_back_in_returns_to_the_same_view)
{
    m_canvas->activateWindow();
    m_canvas->setFocus(Qt::OtherFocusReason);
    settle();
    const auto wheel = [this](int notches) {
        for (int i = 0; i < std::abs(notches); ++i)
        {
            const QPoint at(m_canvas->width() / 2, m_canvas->height() / 2);
            QWheelEvent event(at, m_canvas->mapToGlobal(at), QPoint(), QPoint(0, notches < 0 ? -120 : 120),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(m_canvas, &event);
        }
    };
    const struct
    {
        const char* name;
        QPoint scroll;
        bool under_listing;
        int notches;
    } rows[] = {{"as opened, one notch", {0, 0}, false, 1},
                {"as opened, to the smallest", {0, 0}, false, 30},
                {"scrolled right and down", {-37, -23}, false, 12},
                {"right under the listing", {0, 0}, true, 20}};
    QScrollBar* bars[] = {m_canvas->get_horizontal_scroll_bar(), m_canvas->get_vertical_scroll_bar()};
    for (const auto& row : rows)
    {
        bars[0]->setValue(bars[0]->value() + row.scroll.x());
        bars[1]->setValue(bars[1]->value() + (row.under_listing ? visible_top() - m_canvas->get_header_top() : row.scroll.y()));
        const QRect before = result()->get_rect();
        const int values[] = {bars[0]->value(), bars[1]->value()};
        wheel(-row.notches);
        EXPECT_GE(visible_top(), m_canvas->get_header_top()) << row.name << ": below the listing";
        wheel(row.notches);
        ASSERT_EQ(m_canvas->get_zoom_level(), 10) << row.name;
        EXPECT_EQ(result()->get_rect(), before) << row.name;
        EXPECT_EQ(bars[0]->value(), values[0]) << row.name;
        EXPECT_EQ(bars[1]->value(), values[1]) << row.name;
    }
}

// Finding a bit of the collapsed data bus opens the bus: its eight inputs appear as a column
// beside it, none over another box, and the found one is centred.
TEST_F(object_canvas_demo_test, a_bit_revealed_inside_the_collapsed_bus_is_laid_out_and_centred)
{
    SEDQ_OBJECT* bit = nullptr;
    for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::NODE && object->get_name() == "uart_tx|data[3]")
            bit = object;
    ASSERT_TRUE(bit != nullptr && bit->is_hidden());
    m_canvas->ensure_visible(bit);
    EXPECT_EQ(m_canvas->get_selected_item(), bit);
    const QList<SEDQ_OBJECT*> shown = visible_objects();
    EXPECT_EQ(shown.size(), 14) << "six boxes and the bus's eight inputs";
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->get_rect().intersects(shown[j]->get_rect())) << i << " and " << j;
    const QRect box = bit->get_rect();
    EXPECT_NEAR((box.top() + box.bottom()) / 2, (m_canvas->height() - 1) / 2, 1);
    EXPECT_NEAR((box.left() + box.right()) / 2, (m_canvas->width() - 1) / 2, 1);
}

// The preset is cleared, then the busy line from the node table and a Logical And from the
// Object Library are dropped, wired node -> And -> Result with the mouse and saved: the file
// holds the equation, without the incomplete-level message, and opens with it again.
TEST_F(object_canvas_demo_test, a_condition_built_by_hand_saves_and_reopens_as_its_equation)
{
    SEDQ_TX_MANAGER* tx = m_frame->get_tx_manager();
    const canvas_user_steps user(m_frame, m_canvas);
    m_canvas->on_edit_select_all();
    m_canvas->on_edit_delete();
    ASSERT_EQ(m_canvas->get_object_list()->size(), 1) << "the Result alone";

    user.drop_node(QStringLiteral("uart_tx|busy"), QPoint(60, 300));
    user.drop_palette_entry(QStringLiteral("Logical And"), QPoint(60, 450));
    SEDQ_OBJECT* node = user.last_of(SEDQ_OBJECT::NODE);
    SEDQ_OBJECT* operation = user.last_of(SEDQ_OBJECT::LOGICAL_OPERATOR);
    ASSERT_TRUE(node != nullptr && operation != nullptr);
    user.connect_output(node, operation);
    ASSERT_EQ(node->get_parent(), operation);
    user.connect_output(operation, result());
    ASSERT_EQ(operation->get_parent(), result());

    const QString path = m_dir.filePath("built.vtl");
    const size_t shown_before = standin::msg::shown().size();
    ASSERT_TRUE(tx->save_document(path.toLocal8Bit().constData()));
    for (size_t i = shown_before; i < standin::msg::shown().size(); ++i)
        EXPECT_NE(standin::msg::shown()[i].help_key, "OSEDQ_ERROR_IN_ADVANCED_TRIGGER");
    const auto equation_of = [](SEDQ_TX_MANAGER* manager) {
        SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::session(manager)->get_trigger_at(SERIAL_INSTANCE, false);
        auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(trigger->get_advanced_trigger_root(PRESET_LEVEL, false));
        std::string equation;
        if (condition != nullptr)
            condition->get_equation(&equation, nullptr, trigger, PRESET_LEVEL + 1, false);
        return equation;
    };
    const std::string saved = equation_of(tx);
    EXPECT_EQ(saved, "'logical_0':(and('uart_tx|busy'))") << "the And is named when it is dropped";
    close_frame(m_frame);
    m_frame = nullptr;
    m_canvas = nullptr;
    SEDQ_FRAME_WND* reopened = open_frame(path);
    EXPECT_EQ(equation_of(reopened->get_tx_manager()), saved);
}
