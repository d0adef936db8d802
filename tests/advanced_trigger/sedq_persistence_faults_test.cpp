// What the persistence objects do with broken input and with things that go away: property
// numbers outside the tables, text in a foreign 8-bit encoding, deleted conditions, holes in
// an object list.
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
SEDQ_OBJECT* add_root(SEDQ_TRIGGER_OBJECT* trigger)
{
    return static_cast<SEDQ_OBJECT*>(trigger->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
}

SEDQ_OBJECT* add_input(SEDQ_OBJECT* parent)
{
    return static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
}

std::vector<std::string> reported_expressions()
{
    std::vector<std::string> texts;
    for (const auto& e : standin::msg::internal_errors())
        texts.push_back(e.expression);
    return texts;
}
} // namespace

TEST(sedq_property_faults, property_numbers_outside_the_tables_are_reported_and_store_nothing)
{
    SEDQ_PROPERTY bag;
    QString text = QStringLiteral("untouched");
    EXPECT_FALSE(bag.get(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(SEDQ_PROPERTY::INT_PROPERTY_COUNT), &text,
                         SEDQ_PROPERTY::NORMAL_COPY));
    EXPECT_FALSE(bag.get(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(-1), &text, SEDQ_PROPERTY::POWERUP_COPY));
    EXPECT_FALSE(bag.get(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(SEDQ_PROPERTY::STRING_PROPERTY_COUNT), &text,
                         SEDQ_PROPERTY::NORMAL_COPY));
    EXPECT_EQ(text, "untouched");
    EXPECT_FALSE(bag.get_setting_text(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(40), &text, SEDQ_PROPERTY::NORMAL_COPY));
    EXPECT_EQ(standin::msg::internal_errors().size(), 4u);
    for (const auto& e : standin::msg::internal_errors())
        EXPECT_EQ(e.module, "SEDQ");
}

// An enumerated value past its word list has no word: it is neither written nor shown as
// the word of another value.
TEST(sedq_property_faults, enumerated_value_outside_its_words_is_not_written)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = add_root(&trigger);
    object->get_property().set(SEDQ_PROPERTY::COUNTER_TYPE, 3, SEDQ_PROPERTY::NORMAL_COPY);
    object->get_property().set(SEDQ_PROPERTY::TYPE, -2, SEDQ_PROPERTY::NORMAL_COPY);
    QString text;
    EXPECT_FALSE(object->get_property().get(SEDQ_PROPERTY::COUNTER_TYPE, &text, SEDQ_PROPERTY::NORMAL_COPY));
    EXPECT_FALSE(object->get_property().get(SEDQ_PROPERTY::TYPE, &text, SEDQ_PROPERTY::NORMAL_COPY));
    EXPECT_TRUE(text.isEmpty());
}

TEST(sedq_property_faults, attribute_text_keeps_every_byte_in_either_encoding)
{
    struct row
    {
        const char* label;
        const char* stored;
        QString expected;
    };
    const row rows[] = {
        {"local UTF-8", "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac", QString::fromUtf8("Größe €")},
        {"Latin-1 from another locale", "Gr\xf6\xdf" "e", QString::fromUtf8("Größe")},
        {"truncated UTF-8 sequence", "ab\xc3", QString::fromLatin1("ab\xc3")},
        {"null value", nullptr, QString()},
    };
    for (const row& r : rows) {
        EXPECT_EQ(SEDQ_PROPERTY::attribute_text(r.stored), r.expected) << r.label;
        SEDQ_TRIGGER_OBJECT trigger;
        SEDQ_OBJECT* object = add_root(&trigger);
        object->set_attribute("powerup_mnemonic_table", r.stored);
        EXPECT_EQ(object->get_property().get_string_data(SEDQ_PROPERTY::MNEMONIC_TABLE, SEDQ_PROPERTY::POWERUP_COPY).value,
                  r.expected)
            << r.label;
    }

    SEDQ_STATE_MACHINE_OBJECT machine;
    machine.set_attribute("state_machine_flow_expression", "state \xe9t\xe9:\ntrigger;");
    EXPECT_EQ(machine.get_state_name_list(), QStringList{QString::fromUtf8("été")});
}

// The deleted condition takes its objects and its undo snapshots with it; the sanitizer's leak
// check at exit and its use-after-free check in the destructors make this test fail otherwise.
TEST(sedq_session_object_faults, deleting_a_condition_frees_its_objects_and_snapshots)
{
    SEDQ_SESSION_OBJECT root;
    auto* kept = static_cast<SEDQ_TRIGGER_OBJECT*>(root.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    auto* doomed = static_cast<SEDQ_TRIGGER_OBJECT*>(root.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    SEDQ_OBJECT* result = add_root(doomed);
    add_input(add_input(result));
    add_root(doomed);
    auto* snapshot = new QList<SEDQ_OBJECT*>;
    snapshot->append(new SEDQ_OBJECT(SEDQ_OBJECT_COPY(), SEDQ_OBJECT::ORIGIN_POINT, nullptr));
    doomed->get_undo_list()->append(snapshot);
    doomed->get_undo_list()->append(nullptr);
    add_root(kept);

    EXPECT_TRUE(root.delete_child_object(doomed));
    EXPECT_EQ(root.get_trigger_list(), QList<SEDQ_TRIGGER_OBJECT*>{kept});
    EXPECT_EQ(kept->get_child_count(), 1);
    EXPECT_FALSE(root.delete_child_object(doomed));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_object_faults, input_of_an_object_without_condition_is_refused)
{
    SEDQ_OBJECT loose(SEDQ_OBJECT_COPY(), QPoint(5, 7), nullptr);
    EXPECT_EQ(loose.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER), nullptr);
    EXPECT_EQ(loose.get_child_count(), 0);
    EXPECT_EQ(reported_expressions(), std::vector<std::string>{"m_owner != NULL"});
}

TEST(sedq_trigger_object_faults, holes_in_the_object_list_are_skipped)
{
    SEDQ_TRIGGER_OBJECT trigger;
    trigger.get_object_list()->append(nullptr);
    SEDQ_OBJECT* result = add_root(&trigger);
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    trigger.get_object_list()->append(nullptr);

    EXPECT_EQ(trigger.get_child_count(), 1);
    EXPECT_EQ(trigger.get_child_object(0), result);
    EXPECT_EQ(trigger.get_child_object(1), nullptr);
    EXPECT_TRUE(trigger.duplicate_trigger(true));
    std::string equation;
    EXPECT_FALSE(trigger.get_equation(&equation, nullptr, nullptr, 1, true));
    EXPECT_EQ(result->get_copy(), SEDQ_OBJECT_COPY());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
