// What find needs of advanced trigger objects: the display type and its long name, the box
// height and head that order objects from top to bottom, the find targets of an object tree
// with the start index of a search from one object, and the targets' texts.
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_find_target.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A condition whose objects a test places; it owns them and the targets made from them.
class object_find_test : public ::testing::Test
{
protected:
    ~object_find_test() override
    {
        for (UIB_FIND_TARGET* target : m_targets)
            delete target;
    }

    SEDQ_OBJECT* place(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, int top, SEDQ_OBJECT* parent = nullptr)
    {
        SDR_TX_TREE_OBJECT* made =
            parent != nullptr ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0))
                              : m_condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0));
        auto* object = static_cast<SEDQ_OBJECT*>(made);
        object->set_type(type);
        object->get_property().set(SEDQ_PROPERTY::TOP, top);
        return object;
    }

    // "kind:text" of every target collected so far.
    std::vector<std::string> collected()
    {
        std::vector<std::string> texts;
        for (UIB_FIND_TARGET* target : m_targets)
            texts.push_back(std::to_string(target->get_type()) + ":" + target->get_text());
        return texts;
    }

    SEDQ_TRIGGER_OBJECT m_condition;
    std::vector<UIB_FIND_TARGET*> m_targets;
};

using strings = std::vector<std::string>;
} // namespace

TEST_F(object_find_test, the_display_type_follows_the_kind_and_its_settings)
{
    const struct
    {
        const char* name;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type;
        std::vector<std::pair<SEDQ_PROPERTY::SEDQ_INT_PROPERTY, int>> settings;
        const char* expected;
    } rows[] = {
        {"node", SEDQ_OBJECT::NODE, {}, "Node"},
        {"new bit value is variable high", SEDQ_OBJECT::BIT_VALUE, {}, "Variable High"},
        {"fixed bit value", SEDQ_OBJECT::BIT_VALUE, {{SEDQ_PROPERTY::CONFIGURABLE, 1}}, "Constant High"},
        {"low bit value", SEDQ_OBJECT::BIT_VALUE, {{SEDQ_PROPERTY::BIT_VALUE, 1}}, "Variable Low"},
        {"constant bus value",
         SEDQ_OBJECT::BUS_VALUE,
         {{SEDQ_PROPERTY::CONFIGURABLE, 1}},
         "Constant Bus Value"},
        {"variable unsigned comparison true",
         SEDQ_OBJECT::COMPARISON_OPERATOR,
         {{SEDQ_PROPERTY::COMPARISON, 6}},
         "Variable Unsigned True"},
        {"constant signed greater than",
         SEDQ_OBJECT::COMPARISON_OPERATOR,
         {{SEDQ_PROPERTY::COMPARISON, 5},
          {SEDQ_PROPERTY::SIGNED_COMPARISON, 1},
          {SEDQ_PROPERTY::CONFIGURABLE, 1}},
         "Constant Signed Greater Than"},
        {"comparison out of its table",
         SEDQ_OBJECT::COMPARISON_OPERATOR,
         {{SEDQ_PROPERTY::COMPARISON, 8}},
         "Unknown"},
        {"rotate right",
         SEDQ_OBJECT::SHIFT_OPERATOR,
         {{SEDQ_PROPERTY::SHIFT_TYPE, 1}, {SEDQ_PROPERTY::SHIFT_DIRECTION, 1}},
         "Rotate Right Shift"},
        {"shift out of its table", SEDQ_OBJECT::SHIFT_OPERATOR, {{SEDQ_PROPERTY::SHIFT_TYPE, 3}}, "Unknown"},
        {"logical or", SEDQ_OBJECT::LOGICAL_OPERATOR, {{SEDQ_PROPERTY::LOGICAL, 2}}, "Logical Or"},
        {"dynamic event counter",
         SEDQ_OBJECT::COUNTER_OPERATOR,
         {{SEDQ_PROPERTY::COUNTER_TYPE, 1}, {SEDQ_PROPERTY::COUNTER_HOLD, 1}},
         "Dynamic Event Counter"},
        {"custom hdl", SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, {}, "Custom Trigger HDL"},
        {"kind out of range", SEDQ_OBJECT::UNKNOWN, {{SEDQ_PROPERTY::TYPE, 40}}, "Unknown"},
    };
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* object = place(row.type, 0);
        for (const auto& setting : row.settings)
            object->get_property().set(setting.first, setting.second);
        EXPECT_STREQ(SEDQ_OBJECT::DISPLAY_TYPES[object->get_display_type()].name, row.expected) << row.name;
    }
}

TEST_F(object_find_test, heads_order_objects_from_top_to_bottom)
{
    const struct
    {
        const char* name;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type;
        int data_delay;
        int height;
    } rows[] = {
        {"result", SEDQ_OBJECT::LEVEL_RESULT, 0, 20},
        {"bit value", SEDQ_OBJECT::BIT_VALUE, 0, 20},
        {"node", SEDQ_OBJECT::NODE, 0, 20},
        {"node with a data delay", SEDQ_OBJECT::NODE, 2, 33},
        {"bus with a data delay", SEDQ_OBJECT::BUS, 1, 33},
        {"operator", SEDQ_OBJECT::LOGICAL_OPERATOR, 0, 100},
        {"a data delay means nothing to an operator", SEDQ_OBJECT::LOGICAL_OPERATOR, 3, 100},
    };
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* object = place(row.type, 40);
        object->get_property().set(SEDQ_PROPERTY::LEFT, 7);
        object->get_property().set(SEDQ_PROPERTY::DATA_DELAY, row.data_delay);
        EXPECT_EQ(object->get_height(), row.height) << row.name;
        EXPECT_EQ(object->get_head(), QPoint(107, 40 + row.height / 2)) << row.name;
    }
    SEDQ_OBJECT* tall = place(SEDQ_OBJECT::LOGICAL_OPERATOR, 0); // head at 50
    SEDQ_OBJECT* short_box = place(SEDQ_OBJECT::NODE, 45);       // head at 55
    EXPECT_TRUE(sedq_object_compare(tall, short_box));
    EXPECT_FALSE(sedq_object_compare(short_box, tall));
    EXPECT_FALSE(sedq_object_compare(tall, tall));
}

TEST_F(object_find_test, a_node_without_a_delay_of_its_own_takes_its_buses)
{
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS, 0);
    SEDQ_OBJECT* node = place(SEDQ_OBJECT::NODE, 0, bus);
    bus->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 4);
    EXPECT_EQ(node->get_data_delay(true), "4");
    EXPECT_EQ(node->get_data_delay(false), "");
    EXPECT_EQ(node->get_height(), 20) << "the box does not inherit";
    node->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 2);
    EXPECT_EQ(node->get_data_delay(true), "2");
}

// The box's height and drawing ask whether there is a delay without writing it: the answer
// must be what the written text says, for every kind of entry and object.
TEST_F(object_find_test, an_own_delay_is_there_exactly_when_its_text_is_not_empty)
{
    struct CASE
    {
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type;
        int value;
        bool blank;
        bool defined;
    };
    const CASE cases[] = {
        {SEDQ_OBJECT::NODE, 3, false, true},  {SEDQ_OBJECT::NODE, 0, false, true},
        {SEDQ_OBJECT::NODE, -2, false, true}, {SEDQ_OBJECT::NODE, 3, true, true},
        {SEDQ_OBJECT::NODE, 3, false, false}, {SEDQ_OBJECT::BUS, 7, false, true},
        {SEDQ_OBJECT::BUS, 0, true, true},    {SEDQ_OBJECT::LOGICAL_OPERATOR, 5, false, true},
        {SEDQ_OBJECT::BUS_VALUE, 5, false, true},
    };
    for (const CASE& c : cases)
    {
        SEDQ_OBJECT* object = place(c.type, 0);
        SEDQ_PROPERTY::INT_ENTRY& entry =
            object->get_property().get_int_data(SEDQ_PROPERTY::DATA_DELAY, SEDQ_PROPERTY::NORMAL_COPY);
        entry.value = c.value;
        entry.is_blank = c.blank;
        entry.is_defined = c.defined;
        const QString text = object->get_data_delay(false);
        EXPECT_EQ(object->has_own_data_delay(), !text.isEmpty())
            << "type " << c.type << " value " << c.value << " text \"" << text.toStdString() << '"';
    }
}

TEST_F(object_find_test, each_object_gives_its_name_alias_and_type_then_its_inputs_top_down)
{
    SEDQ_OBJECT* result = place(SEDQ_OBJECT::LEVEL_RESULT, 300);
    SEDQ_OBJECT* logic = place(SEDQ_OBJECT::LOGICAL_OPERATOR, 200, result);
    logic->get_property().set(SEDQ_PROPERTY::LOGICAL, 1);
    logic->get_property().set(SEDQ_PROPERTY::NAME, QString("and_1"));
    logic->get_property().set(SEDQ_PROPERTY::ALIAS, QString("gate"));
    SEDQ_OBJECT* low = place(SEDQ_OBJECT::NODE, 260, logic);
    low->get_property().set(SEDQ_PROPERTY::NAME, QString("top|rdy"));
    SEDQ_OBJECT* high = place(SEDQ_OBJECT::BUS, 10, logic);
    high->get_property().set(SEDQ_PROPERTY::BUS_NAME, QString("top|data"));
    high->get_property().set(SEDQ_PROPERTY::NAME, QString("ignored for a bus with a bus name"));
    SEDQ_OBJECT* nameless = place(SEDQ_OBJECT::BUS, 100, logic);
    nameless->get_property().set(SEDQ_PROPERTY::NAME, QString("bus_2"));
    sedq_add_object_find_targets(result, &m_targets, nullptr, UIB_FIND_ENGINE::DOWN, nullptr, nullptr);
    EXPECT_EQ(collected(), (strings{"16:Advanced Trigger Level Result", "4:and_1", "8:gate", "16:Logical And",
                                    "2:top|data", "16:Bus", "4:bus_2", "16:Bus", "1:top|rdy", "16:Node"}));
}

TEST_F(object_find_test, the_start_index_is_the_objects_last_target_or_the_one_before_it_going_up)
{
    SEDQ_OBJECT* first = place(SEDQ_OBJECT::NODE, 0);
    first->get_property().set(SEDQ_PROPERTY::NAME, QString("a"));
    SEDQ_OBJECT* second = place(SEDQ_OBJECT::NODE, 50);
    second->get_property().set(SEDQ_PROPERTY::ALIAS, QString("b"));
    const struct
    {
        const char* name;
        SEDQ_OBJECT* start;
        UIB_FIND_ENGINE::DIRECTION direction;
        unsigned long expected;
    } rows[] = {
        {"down from the first", first, UIB_FIND_ENGINE::DOWN, 1},
        {"all from the second", second, UIB_FIND_ENGINE::ALL, 3},
        {"up from the second", second, UIB_FIND_ENGINE::UP, 1},
        {"up from the first, nothing before it", first, UIB_FIND_ENGINE::UP, 0},
        {"an object that is not there leaves it", nullptr, UIB_FIND_ENGINE::DOWN, 99},
    };
    for (const auto& row : rows)
    {
        for (UIB_FIND_TARGET* target : m_targets)
            delete target;
        m_targets.clear();
        unsigned long index = 99;
        for (SEDQ_OBJECT* root : {first, second})
            sedq_add_object_find_targets(root, &m_targets, nullptr, row.direction, row.start, &index);
        EXPECT_EQ(index, row.expected) << row.name;
        EXPECT_EQ(m_targets.size(), 4u) << row.name;
    }
}

TEST_F(object_find_test, a_target_reads_its_object_again_at_every_search)
{
    SEDQ_OBJECT* node = place(SEDQ_OBJECT::NODE, 0);
    SEDQ_OBJECT_FIND_TARGET alias_target;
    alias_target.init(nullptr, node, SEDQ_OBJECT_FIND_TARGET::ALIAS);
    EXPECT_EQ(alias_target.get_type(), 8u);
    EXPECT_STREQ(alias_target.get_text(), "");
    node->get_property().set(SEDQ_PROPERTY::ALIAS, QString::fromUtf8("gr\xc3\xbcn"));
    EXPECT_STREQ(alias_target.get_string(), "gr\xc3\xbcn");
    EXPECT_EQ(alias_target.get_object(), node);
    alias_target.find_action(0, 1); // without a canvas there is nothing to show
    SEDQ_OBJECT_FIND_TARGET orphan;
    EXPECT_STREQ(orphan.get_text(), "");
}
