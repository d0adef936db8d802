// What one advanced trigger object paints: the host pictures of its selection frame, body and
// expand box, each in its place (checked through the icon record, not by pixels), and the
// colours of its lines.
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq_object_test_support.h"

#include "host/afcq.h"
#include "host/standin/afcq_control.h"
#include "host/standin/standin.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace
{
class object_draw_test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::reset_all();
        standin::afcq::record_icons(true);
    }
    void TearDown() override { standin::reset_all(); }

    SEDQ_OBJECT* place(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent = nullptr)
    {
        SEDQ_OBJECT* object = m_tree.add(type, parent);
        object->move(parent != nullptr ? 100 : 300, 100);
        object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        return object;
    }

    struct options
    {
        bool multiple_input = true;
        bool show_bitmaps = true;
        bool has_focus = false;
    };
    // The ids of the pictures one draw paints, in order.
    QList<int> drawn(const SEDQ_OBJECT* object, options how)
    {
        const int before = standin::afcq::painted_icons().size();
        QPainter painter(&m_image);
        object->draw(&painter, how.multiple_input, how.show_bitmaps, how.has_focus, false);
        QList<int> ids;
        const auto painted = standin::afcq::painted_icons();
        for (int i = before; i < painted.size(); ++i)
            ids.append(painted[i].id);
        return ids;
    }

    sedq_object_tree m_tree;
    QImage m_image{600, 400, QImage::Format_RGB32};
};
} // namespace

TEST_F(object_draw_test, selection_frame_follows_height_and_focus_and_surrounds_the_box)
{
    const struct
    {
        const char* name;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type;
        int data_delay;
        bool focus;
        AFCQ_ICON_ENUM frame;
    } rows[] = {
        {"short, focused", SEDQ_OBJECT::NODE, 0, true, AFCQ_ICON_SEDQ_FOCUS_SHORT_FRAME},
        {"short", SEDQ_OBJECT::NODE, 0, false, AFCQ_ICON_SEDQ_SELECTED_SHORT_FRAME},
        {"delayed, focused", SEDQ_OBJECT::NODE, 3, true, AFCQ_ICON_SEDQ_FOCUS_DELAYED_FRAME},
        {"delayed", SEDQ_OBJECT::NODE, 3, false, AFCQ_ICON_SEDQ_SELECTED_DELAYED_FRAME},
        {"tall, focused", SEDQ_OBJECT::SHIFT_OPERATOR, 0, true, AFCQ_ICON_SEDQ_FOCUS_TALL_FRAME},
        {"tall", SEDQ_OBJECT::SHIFT_OPERATOR, 0, false, AFCQ_ICON_SEDQ_SELECTED_TALL_FRAME},
    };
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* object = place(row.type);
        if (row.data_delay != 0)
            object->get_property().set(SEDQ_PROPERTY::DATA_DELAY, row.data_delay);
        object->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
        options how;
        how.has_focus = row.focus;
        const int before = standin::afcq::painted_icons().size();
        ASSERT_FALSE(drawn(object, how).isEmpty()) << row.name;
        const standin::afcq::icon_paint frame = standin::afcq::painted_icons().at(before);
        EXPECT_EQ(frame.id, row.frame) << row.name;
        const QRect box = object->get_rect();
        EXPECT_EQ(frame.rect, QRect(QPoint(box.left() - 3, box.top() - 3), QPoint(box.right() + 2, box.bottom() + 2)))
            << row.name;
        EXPECT_EQ(standin::afcq::painted_icons().at(before + 1).rect, box) << row.name << ": the body fills the box";
    }
}

TEST_F(object_draw_test, body_picture_by_kind_inputs_delay_and_display_options)
{
    options bitmaps_off;
    bitmaps_off.show_bitmaps = false;
    options single_input = bitmaps_off;
    single_input.multiple_input = false;
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS);
    SEDQ_OBJECT* delayed_bus = place(SEDQ_OBJECT::BUS);
    delayed_bus->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 1);
    SEDQ_OBJECT* result = place(SEDQ_OBJECT::LEVEL_RESULT);
    SEDQ_OBJECT* comparison = place(SEDQ_OBJECT::COMPARISON_OPERATOR);
    const QList<int> leaves[] = {drawn(bus, {}), drawn(delayed_bus, {}), drawn(result, {})};
    EXPECT_EQ(leaves[0], QList<int>{AFCQ_ICON_SEDQ_BUS});
    EXPECT_EQ(leaves[1], QList<int>{AFCQ_ICON_SEDQ_DELAYED_BUS});
    EXPECT_EQ(leaves[2], QList<int>{AFCQ_ICON_SEDQ_ADVANCED_TRIGGER_LEVEL_RESULT});
    EXPECT_EQ(drawn(comparison, bitmaps_off), QList<int>{AFCQ_ICON_SEDQ_PLAIN_TWO_INPUT_BOX});
    EXPECT_EQ(drawn(comparison, single_input), QList<int>{AFCQ_ICON_SEDQ_PLAIN_BOX});
    EXPECT_EQ(drawn(place(SEDQ_OBJECT::CUSTOM_TRIGGER_HDL), bitmaps_off), QList<int>{AFCQ_ICON_SEDQ_PLAIN_BOX});
    EXPECT_EQ(drawn(place(SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION), bitmaps_off),
              QList<int>{AFCQ_ICON_SEDQ_UNKNOWN}) << "a tall box without inputs";
    EXPECT_EQ(drawn(place(SEDQ_OBJECT::BIT_VALUE), bitmaps_off), QList<int>{AFCQ_ICON_SEDQ_NODE});

    place(SEDQ_OBJECT::NODE, bus);
    place(SEDQ_OBJECT::NODE, delayed_bus);
    place(SEDQ_OBJECT::BUS, result);
    EXPECT_EQ(drawn(bus, {}), (QList<int>{AFCQ_ICON_SEDQ_NODE, AFCQ_ICON_SEDQ_EXPANDED}));
    EXPECT_EQ(drawn(delayed_bus, {}).first(), AFCQ_ICON_SEDQ_DELAYED_PARENT);
    EXPECT_EQ(drawn(result, {}).first(), AFCQ_ICON_SEDQ_RESULT_WITH_INPUT);
}

TEST_F(object_draw_test, expand_box_shows_open_closed_or_closed_over_a_wrong_input)
{
    SEDQ_OBJECT* logical = place(SEDQ_OBJECT::UNKNOWN);
    logical->set_library_type(SEDQ_OBJECT::LIBRARY_LOGICAL_NOT);
    place(SEDQ_OBJECT::NODE, logical);
    EXPECT_EQ(drawn(logical, {}).last(), AFCQ_ICON_SEDQ_EXPANDED);
    logical->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    EXPECT_EQ(drawn(logical, {}).last(), AFCQ_ICON_SEDQ_COLLAPSED);
    place(SEDQ_OBJECT::NODE, logical);
    EXPECT_EQ(drawn(logical, {}).last(), AFCQ_ICON_SEDQ_COLLAPSED_INVALID) << "two inputs on a one-input object";
    QRect expand;
    logical->get_expand_box(&expand);
    EXPECT_EQ(standin::afcq::painted_icons().last().rect, expand);
}

TEST_F(object_draw_test, display_bitmap_names_the_host_picture_of_each_display_type)
{
    const struct
    {
        SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display;
        int id;
    } rows[] = {
        {SEDQ_OBJECT::DISPLAY_UNKNOWN, 454},
        {SEDQ_OBJECT::DISPLAY_NODE, 404},
        {SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_EQUALITY, 387},
        {SEDQ_OBJECT::DISPLAY_VARIABLE_SIGNED_FALSE, 429},
        {SEDQ_OBJECT::DISPLAY_LOGICAL_XOR, 403},
        {SEDQ_OBJECT::DISPLAY_CUSTOM_TRIGGER_HDL, 383},
    };
    for (const auto& row : rows)
        EXPECT_EQ(int(SEDQ_OBJECT::DISPLAY_TYPES[row.display].bitmap), row.id)
            << SEDQ_OBJECT::DISPLAY_TYPES[row.display].name;
}

// A line to a parent that does not accept the input is red; an accepted one black.
TEST_F(object_draw_test, connection_to_a_parent_is_red_when_the_parent_refuses_the_input)
{
    SEDQ_OBJECT* logical = place(SEDQ_OBJECT::UNKNOWN);
    logical->set_library_type(SEDQ_OBJECT::LIBRARY_LOGICAL_AND);
    SEDQ_OBJECT* input = place(SEDQ_OBJECT::NODE, logical);
    const QPoint mid((input->get_head().x() + logical->get_tail(SEDQ_OBJECT::MIDDLE_PORT).x()) / 2 - 20,
                     input->get_head().y());
    for (const auto& row : {std::pair<SEDQ_OBJECT::SEDQ_OBJECT_TYPE, QRgb>{SEDQ_OBJECT::NODE, qRgb(0, 0, 0)},
                            {SEDQ_OBJECT::BUS_VALUE, qRgb(255, 0, 0)}})
    {
        input->set_type(row.first);
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        input->draw_lines(&painter, true, true, QPoint());
        painter.end();
        EXPECT_EQ(m_image.pixel(mid), row.second) << SEDQ_OBJECT::OBJECT_STRING[row.first];
    }
}

TEST_F(object_draw_test, bus_output_of_unknown_width_is_marked_with_a_question_mark)
{
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS);
    const auto ink_below_output = [&] {
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        bus->draw(&painter, true, true, false, false);
        painter.end();
        int dark = 0;
        const QPoint head = bus->get_head();
        for (int x = head.x() + 5; x < head.x() + 20; ++x)
            for (int y = head.y() + 8; y < head.y() + 20; ++y)
                dark += qGray(m_image.pixel(x, y)) < 128 ? 1 : 0;
        return dark;
    };
    ASSERT_LT(bus->get_output_width(true), 1) << "a bus of no nodes has no width";
    EXPECT_GT(ink_below_output(), 0);
}
