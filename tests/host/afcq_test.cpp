// AFCQ stand-in: action factory, safe connect and generated resources.
#include "host/afcq.h"
#include "host/standin/afcq_control.h"

#include <QAction>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <set>

TEST(afcq, every_call_makes_a_new_named_action)
{
    QObject owner;
    QAction* first = afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(513), &owner);
    QAction* second = afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(513), &owner);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->parent(), &owner);
    EXPECT_EQ(first->objectName(), "AFCQ_513");
    EXPECT_EQ(first->text(), "Select &All");
    const std::unique_ptr<QAction> unknown(afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(4711), nullptr));
    EXPECT_EQ(unknown->text(), "Action 4711");
    EXPECT_EQ(standin::afcq::created_action(513), second);
    EXPECT_EQ(standin::afcq::created_count(513), 2);
    delete second;
    EXPECT_EQ(standin::afcq::created_action(513), nullptr) << "a deleted action is not handed out";
}

TEST(afcq, safe_connect_needs_both_ends)
{
    QAction sender;
    QAction receiver;
    receiver.setCheckable(true);
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(no_such_signal()), &receiver, SLOT(toggle())));
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(no_such_slot())));
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(triggered()), nullptr, SLOT(toggle())));
    EXPECT_TRUE(afcq_safe_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(toggle())));
    sender.trigger();
    EXPECT_TRUE(receiver.isChecked());
}

TEST(afcq, resources_are_deterministic_and_distinct_per_id)
{
    std::set<QRgb> colours;
    std::set<QRgb> brushes;
    std::set<QRgb> pens;
    std::set<QString> fonts;
    for (int id = 0; id < 144; ++id)
    {
        EXPECT_EQ(AFCQ_COLOR(id).get_color(), AFCQ_COLOR(id).get_color());
        colours.insert(AFCQ_COLOR(id).get_color().rgb());
        brushes.insert(AFCQ_BRUSH(id).get_brush().color().rgb());
        EXPECT_EQ(AFCQ_BRUSH(id).get_brush().style(), Qt::SolidPattern);
        pens.insert(AFCQ_PEN(id).get_pen().color().rgb());
        fonts.insert(AFCQ_FONT(id).get_font().toString());
    }
    EXPECT_EQ(colours.size(), 144u);
    EXPECT_EQ(brushes.size(), 144u);
    EXPECT_EQ(pens.size(), 144u);
    EXPECT_EQ(fonts.size(), 144u);
}

// Ids come from the library as plain ints: the extremes get a font like any other id (a
// negative one its positive counterpart's) instead of reading outside the family list.
TEST(afcq, fonts_of_extreme_and_negative_ids_are_real_fonts)
{
    EXPECT_EQ(AFCQ_FONT(-40).get_font(), AFCQ_FONT(40).get_font());
    for (int id : {std::numeric_limits<int>::min(), std::numeric_limits<int>::min() + 1,
                   std::numeric_limits<int>::max()})
    {
        const QFont font = AFCQ_FONT(id).get_font();
        EXPECT_FALSE(font.family().isEmpty()) << id;
        EXPECT_GE(font.pointSize(), 7) << id;
        EXPECT_LE(font.pointSize(), 18) << id;
    }
}
