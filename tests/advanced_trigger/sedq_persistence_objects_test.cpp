// The advanced trigger persistence objects as the host repository walks them: tree shape,
// attribute writing and reading, state flow text, and the wrong-class operations.
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
using attribute_list = std::vector<std::pair<std::string, std::string>>;

class collecting_sink : public SDR_TX_ATTRIBUTE_SINK
{
public:
    void add(const std::string& key, const std::string& value) override { pairs.emplace_back(key, value); }
    attribute_list pairs;
};

attribute_list attributes_of(SDR_TX_TREE_OBJECT* object)
{
    collecting_sink sink;
    SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&sink);
    object->get_attributes();
    return sink.pairs;
}

std::vector<std::string> reported_expressions()
{
    std::vector<std::string> texts;
    for (const auto& e : standin::msg::internal_errors())
        texts.push_back(e.expression);
    return texts;
}

SEDQ_OBJECT* new_root(SEDQ_TRIGGER_OBJECT* trigger)
{
    return static_cast<SEDQ_OBJECT*>(trigger->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
}

// A stored tree node as the host keeps it: the attributes and the children's nodes.
struct stored_node
{
    attribute_list attributes;
    std::vector<stored_node> children;
    bool operator==(const stored_node& o) const { return attributes == o.attributes && children == o.children; }
};

stored_node store(SDR_TX_TREE_OBJECT* object)
{
    stored_node node{attributes_of(object), {}};
    for (int i = 0; i < object->get_child_count(); ++i)
        node.children.push_back(store(object->get_child_object(i)));
    return node;
}

void rebuild(SDR_TX_TREE_OBJECT* parent, const stored_node& node)
{
    SDR_TX_TREE_OBJECT* object = parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    for (const auto& pair : node.attributes)
        object->set_attribute(pair.first.c_str(), pair.second.c_str());
    for (const stored_node& child : node.children)
        rebuild(object, child);
}
} // namespace

TEST(sedq_session_object, children_are_conditions_and_state_machines_are_owned_apart)
{
    SEDQ_SESSION_OBJECT root;
    SDR_TX_TREE_OBJECT* first = root.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    SDR_TX_TREE_OBJECT* machine = root.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_STATE_MACHINE);
    SDR_TX_TREE_OBJECT* second = root.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(7));

    EXPECT_EQ(root.get_child_count(), 2);
    EXPECT_EQ(root.get_child_object(0), first);
    EXPECT_EQ(root.get_child_object(1), second);
    EXPECT_NE(dynamic_cast<SEDQ_STATE_MACHINE_OBJECT*>(machine), nullptr);
    EXPECT_NE(dynamic_cast<SEDQ_TRIGGER_OBJECT*>(second), nullptr);
    EXPECT_EQ(root.get_state_machine_list().size(), 1);

    SEDQ_TRIGGER_OBJECT foreign;
    EXPECT_FALSE(root.delete_child_object(&foreign));
    EXPECT_FALSE(root.delete_child_object(machine));
    EXPECT_FALSE(root.delete_child_object(nullptr));
    EXPECT_TRUE(root.delete_child_object(first));
    EXPECT_EQ(root.get_child_count(), 1);
    EXPECT_EQ(root.get_child_object(0), second);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_trigger_object, tree_children_are_the_objects_without_parent_in_list_order)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* loose = new_root(&trigger);
    SEDQ_OBJECT* result = new_root(&trigger);
    EXPECT_EQ(result->get_copy().kind, SEDQ_OBJECT_COPY::NONE);
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    result->set_copy(SEDQ_OBJECT_COPY::normal());
    SDR_TX_TREE_OBJECT* input = result->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    SEDQ_OBJECT* other_loose = new_root(&trigger);

    EXPECT_EQ(trigger.get_object_list()->size(), 4);
    ASSERT_EQ(trigger.get_child_count(), 3);
    EXPECT_EQ(trigger.get_child_object(0), loose);
    EXPECT_EQ(trigger.get_child_object(1), result);
    EXPECT_EQ(trigger.get_child_object(2), other_loose);
    EXPECT_EQ(trigger.get_child_object(3), nullptr);
    EXPECT_EQ(result->get_child_count(), 1);
    EXPECT_EQ(result->get_child_object(0), input);
    EXPECT_EQ(static_cast<SEDQ_OBJECT*>(input)->get_parent(), result);
    EXPECT_EQ(static_cast<SEDQ_OBJECT*>(input)->get_owner(), &trigger);
    EXPECT_EQ(static_cast<SEDQ_OBJECT*>(input)->get_copy(), SEDQ_OBJECT_COPY::normal());
    EXPECT_EQ(sedq_get_object_index(trigger.get_object_list(), SEDQ_OBJECT::LEVEL_RESULT), 1);
}

TEST(sedq_object, writes_only_what_differs_from_a_fresh_bag)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* fresh = new_root(&trigger);
    EXPECT_TRUE(attributes_of(fresh).empty());

    SEDQ_OBJECT* placed = new_root(&trigger);
    placed->get_property().set(SEDQ_PROPERTY::LEFT, 120);
    placed->get_property().set(SEDQ_PROPERTY::TOP, 40);
    EXPECT_EQ(attributes_of(placed), (attribute_list{{"top", "40"}, {"left", "120"}}));

    SEDQ_OBJECT* bit = new_root(&trigger);
    bit->set_type(SEDQ_OBJECT::BIT_VALUE);
    bit->get_property().set(SEDQ_PROPERTY::BIT_VALUE, 1, SEDQ_PROPERTY::POWERUP_COPY);
    bit->get_property().set(SEDQ_PROPERTY::BIT_VALUE, 1, SEDQ_PROPERTY::NORMAL_COPY);
    EXPECT_EQ(attributes_of(bit), (attribute_list{{"type", "Bit Value"},
                                                  {"powerup_bit_value", "False"},
                                                  {"bit_value", "False"}}));
}

TEST(sedq_object, attribute_reader_selects_the_copy_and_ignores_what_it_does_not_know)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = new_root(&trigger);
    object->set_attribute("powerup_bus_value", "FF");
    object->set_attribute("comparison", "Greater Than");
    object->set_attribute("counter_type", "Sometimes");
    object->set_attribute("shift_distance", "");
    object->set_attribute("pipeline_length", "abc");
    object->set_attribute("no_such_key", "1");

    const SEDQ_PROPERTY& p = object->get_property();
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::POWERUP_COPY).value, "FF");
    EXPECT_FALSE(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::NORMAL_COPY).is_defined);
    EXPECT_EQ(p.get_int_data(SEDQ_PROPERTY::COMPARISON, SEDQ_PROPERTY::NORMAL_COPY).value, 5);
    EXPECT_EQ(p.get_int_data(SEDQ_PROPERTY::COUNTER_TYPE, SEDQ_PROPERTY::NORMAL_COPY).value, 1);
    EXPECT_TRUE(p.get_int_data(SEDQ_PROPERTY::SHIFT_DISTANCE, SEDQ_PROPERTY::NORMAL_COPY).is_blank);
    EXPECT_EQ(p.get_int_data(SEDQ_PROPERTY::PIPELINE_LENGTH, SEDQ_PROPERTY::NORMAL_COPY).value, 0);
    EXPECT_EQ(attributes_of(object), (attribute_list{{"powerup_bus_value", "FF"}, {"comparison", "Greater Than"}}));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_object, defaults_read_back_as_defaults_and_blank_numbers_stay_blank)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = new_root(&trigger);
    object->get_property().set(SEDQ_PROPERTY::COUNTER_VALUE, 1, SEDQ_PROPERTY::NORMAL_COPY);
    object->get_property().set(SEDQ_PROPERTY::MAX_COUNTER_VALUE, 255, SEDQ_PROPERTY::NORMAL_COPY);
    EXPECT_TRUE(attributes_of(object).empty());

    SEDQ_OBJECT* copy = new_root(&trigger);
    EXPECT_TRUE(copy->get_property().get_int_data(SEDQ_PROPERTY::COUNTER_VALUE, SEDQ_PROPERTY::NORMAL_COPY).is_blank);
    EXPECT_EQ(copy->get_property().get_int_data(SEDQ_PROPERTY::MAX_COUNTER_VALUE, SEDQ_PROPERTY::NORMAL_COPY).value, 255);
}

TEST(sedq_object, tree_round_trips_through_attributes_with_non_ascii_text)
{
    SEDQ_TRIGGER_OBJECT original;
    SEDQ_OBJECT* result = new_root(&original);
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    auto* logical = static_cast<SEDQ_OBJECT*>(result->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    logical->set_attribute("type", "Logical Operator");
    logical->set_attribute("logical", "Logical Xor");
    logical->set_attribute("left", "-35");
    auto* node = static_cast<SEDQ_OBJECT*>(logical->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    node->set_attribute("type", "Node");
    node->set_attribute("name", "top|zähler[3]|µ");
    node->set_attribute("alias", "Größe \"quoted\" <&>");
    node->set_attribute("data_delay", "3");
    auto* value = static_cast<SEDQ_OBJECT*>(logical->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    value->set_attribute("type", "Bus Value");
    value->set_attribute("bus_value", "1010");
    value->set_attribute("powerup_bus_value", "0101");
    value->set_attribute("display_format", "Binary");
    SEDQ_OBJECT* loose = new_root(&original);
    loose->set_attribute("type", "Counter Operator");
    loose->set_attribute("powerup_counter_hold", "No");

    std::vector<stored_node> stored;
    for (int i = 0; i < original.get_child_count(); ++i)
        stored.push_back(store(original.get_child_object(i)));

    SEDQ_TRIGGER_OBJECT reread;
    for (const stored_node& node_record : stored)
        rebuild(&reread, node_record);
    ASSERT_EQ(reread.get_child_count(), 2);
    EXPECT_EQ(store(reread.get_child_object(0)), stored[0]);
    EXPECT_EQ(store(reread.get_child_object(1)), stored[1]);
    EXPECT_EQ(reread.get_object_list()->size(), 5);
    const auto* reread_node = static_cast<SEDQ_OBJECT*>(reread.get_child_object(0)->get_child_object(0)->get_child_object(0));
    EXPECT_EQ(reread_node->get_property()[SEDQ_PROPERTY::NAME], QString::fromUtf8("top|zähler[3]|µ"));
    EXPECT_EQ(reread_node->get_type(), SEDQ_OBJECT::NODE);
}

TEST(sedq_trigger_object, duplicate_copies_runtime_values_between_the_two_triggers)
{
    SEDQ_TRIGGER_OBJECT empty;
    EXPECT_TRUE(empty.duplicate_trigger(true));

    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = new_root(&trigger);
    object->set_attribute("bus_value", "77");
    object->set_attribute("bus_name", "data");
    object->set_attribute("powerup_comparison", "Inequality");
    EXPECT_TRUE(trigger.duplicate_trigger(true));
    const SEDQ_PROPERTY& p = object->get_property();
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::POWERUP_COPY).value, "77");
    EXPECT_FALSE(p.get_string_data(SEDQ_PROPERTY::BUS_NAME, SEDQ_PROPERTY::POWERUP_COPY).is_defined);
    EXPECT_EQ(p.get_int_data(SEDQ_PROPERTY::COMPARISON, SEDQ_PROPERTY::POWERUP_COPY).value, 2);

    object->set_attribute("powerup_bus_value", "12");
    EXPECT_TRUE(trigger.duplicate_trigger(false));
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::NORMAL_COPY).value, "12");
}

TEST(sedq_trigger_object, equation_without_a_wired_result_is_refused_and_leaves_the_copies)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* loose = new_root(&trigger);
    std::string none = "stale";
    EXPECT_FALSE(trigger.get_equation(&none, nullptr, nullptr, 2, false));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(loose->get_copy(), SEDQ_OBJECT_COPY());

    SEDQ_OBJECT* result = new_root(&trigger);
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    std::string equation = "stale";
    EXPECT_FALSE(trigger.get_equation(&equation, nullptr, nullptr, 1, true));
    EXPECT_TRUE(equation.empty());
    result->set_copy(SEDQ_OBJECT_COPY::powerup());
    EXPECT_FALSE(trigger.get_equation(&equation, nullptr, nullptr, 1, false));
    EXPECT_TRUE(result->is_powerup_trigger()) << "the object's own copy comes back";
}

TEST(sedq_property, context_copy_follows_the_owner_for_runtime_rows_only)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = new_root(&trigger);
    object->set_copy(SEDQ_OBJECT_COPY::powerup());
    object->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("A"));
    object->get_property().set(SEDQ_PROPERTY::BUS_NAME, QStringLiteral("b"));
    const SEDQ_PROPERTY& p = object->get_property();
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::POWERUP_COPY).value, "A");
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_NAME, SEDQ_PROPERTY::NORMAL_COPY).value, "b");

    object->get_property().set(SEDQ_PROPERTY::CONFIGURABLE, 1);
    object->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("fixed"));
    EXPECT_EQ(p.get_string_data(SEDQ_PROPERTY::BUS_VALUE, SEDQ_PROPERTY::NORMAL_COPY).value, "fixed");

    SEDQ_PROPERTY orphan;
    EXPECT_EQ(orphan[SEDQ_PROPERTY::DISPLAY_FORMAT], 1);
    EXPECT_EQ(reported_expressions(), std::vector<std::string>{"this->m_parent != NULL"});
}

TEST(sedq_state_machine_object, unified_text_splits_into_states)
{
    struct row
    {
        const char* label;
        const char* text;
        int count;
        QStringList names;
        QStringList bodies;
    };
    const row rows[] = {
        {"two states", "state idle:\n   goto run;  \n\nstate run:\n  trigger; ", 2, {"idle", "run"}, {"goto run;", "trigger;"}},
        {"capital header", "STATE Busy: trigger;", 1, {"Busy"}, {"trigger;"}},
        {"word inside a body", "state a:\n x = restate: y;", 1, {"a"}, {"x = restate: y;"}},
        {"header without colon", "state nothing here", 1, {}, {}},
        {"a header not first on its line", "junk state s1: b;", 1, {}, {}},
        {"long s is no s", "\xc5\xbftate x: y;", 1, {}, {}},
        {"a later state word stays in the body", "state a: b state", 1, {"a"}, {"b state"}},
        {"non-ASCII names and bodies", "State \xc3\x84rger:\n z\xc3\xa4hle;", 1, {"\xc3\x84rger"}, {"z\xc3\xa4hle;"}},
    };
    for (const row& r : rows) {
        SEDQ_STATE_MACHINE_OBJECT machine;
        machine.set_unified_state_text(QString::fromUtf8(r.text));
        EXPECT_EQ(machine.get_state_count(), r.count) << r.label;
        EXPECT_EQ(machine.get_state_name_list(), r.names) << r.label;
        EXPECT_EQ(machine.get_state_text_list(), r.bodies) << r.label;
        QString kept;
        machine.get_unified_state_text(&kept);
        EXPECT_EQ(kept, QString::fromUtf8(r.text)) << r.label;
    }
}

// A new split overwrites names by index and keeps those past the new count; the bodies are
// all replaced. An emptied text reads as one state that triggers under the old first name, and
// is written so; the editor that emptied it reads it as typed, empty. A flow never named reads
// its first state as ST1.
TEST(sedq_state_machine_object, later_split_keeps_old_names_and_drops_old_bodies)
{
    SEDQ_STATE_MACHINE_OBJECT machine;
    machine.set_unified_state_text(QStringLiteral("state a: x;\nstate b: y;"));
    machine.set_unified_state_text(QStringLiteral("state c: z;"));
    EXPECT_EQ(machine.get_state_count(), 1);
    EXPECT_EQ(machine.get_state_name_list(), (QStringList{"c", "b"}));
    EXPECT_EQ(machine.get_state_text_list(), QStringList{"z;"});

    machine.set_unified_state_text(QString());
    EXPECT_EQ(machine.get_state_count(), 1);
    EXPECT_TRUE(machine.get_state_text_list().isEmpty());
    QString text;
    machine.get_unified_state_text(&text);
    EXPECT_EQ(text, "state c:\r\ntrigger;");
    EXPECT_EQ(machine.get_unified_state_text_as_typed(), "");
    const attribute_list stored = attributes_of(&machine);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].second, "state c:\ntrigger;");

    SEDQ_STATE_MACHINE_OBJECT unnamed;
    unnamed.set_unified_state_text(QString());
    unnamed.get_unified_state_text(&text);
    EXPECT_EQ(text, "state ST1:\r\ntrigger;");
}

// A text of more headers than a flow has states keeps the headers past the last state in that
// state's body: the text is kept whole and written back as it was.
TEST(sedq_state_machine_object, headers_past_the_most_states_stay_in_the_last_body)
{
    QString text;
    const int headers = SEDQ_STATE_MACHINE_OBJECT::MAX_STATES + 3;
    for (int i = 1; i <= headers; ++i)
        text += QString("state S%1:\ngoto S%2;\n").arg(i).arg(i % headers + 1);
    SEDQ_STATE_MACHINE_OBJECT machine;
    machine.set_unified_state_text(text);
    EXPECT_EQ(machine.get_state_count(), SEDQ_STATE_MACHINE_OBJECT::MAX_STATES);
    const QString last_body = machine.get_state_text_list().value(SEDQ_STATE_MACHINE_OBJECT::MAX_STATES - 1);
    EXPECT_TRUE(last_body.startsWith("goto S4097;\nstate S4097:")) << last_body.left(40).toStdString();
    EXPECT_TRUE(last_body.endsWith("state S4099:\ngoto S1;"));
    const attribute_list stored = attributes_of(&machine);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(QString::fromStdString(stored[0].second), text);

    machine.set_state_count(headers);
    EXPECT_EQ(machine.get_state_count(), SEDQ_STATE_MACHINE_OBJECT::MAX_STATES);
}

TEST(sedq_state_machine_object, builds_the_text_from_states_and_stores_it_without_carriage_returns)
{
    SEDQ_STATE_MACHINE_OBJECT machine;
    QString text;
    machine.get_unified_state_text(&text);
    EXPECT_EQ(text, "state ST1:\r\ntrigger;");

    machine.set_state_count(2);
    machine.get_state_name_list() = QStringList{"", "läuft"};
    machine.get_state_text_list() = QStringList{"  goto ST2; "};
    machine.clear_unified_state_text();
    machine.get_unified_state_text(&text);
    EXPECT_EQ(text, QString::fromUtf8("state ST1:\r\ngoto ST2;\r\n\r\nstate läuft:\r\ntrigger;"));

    const attribute_list stored = attributes_of(&machine);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].first, "state_machine_flow_expression");
    EXPECT_EQ(stored[0].second, "state ST1:\ngoto ST2;\n\nstate läuft:\ntrigger;");

    SEDQ_STATE_MACHINE_OBJECT reread;
    reread.set_attribute("other_key", "state x: y;");
    EXPECT_EQ(reread.get_state_count(), 1);
    reread.set_attribute(stored[0].first.c_str(), stored[0].second.c_str());
    EXPECT_EQ(reread.get_state_count(), 2);
    EXPECT_EQ(reread.get_state_name_list().value(1), QString::fromUtf8("läuft"));
    EXPECT_EQ(attributes_of(&reread), stored);
}

TEST(sedq_state_machine_object, a_text_change_lies_between_the_common_start_and_end)
{
    const QString long_text = QString(200, QLatin1Char('a')) + QString(200, QLatin1Char('b'));
    QString changed_late = long_text;
    changed_late[390] = QLatin1Char('x');
    const struct
    {
        const char* name;
        QString before;
        QString after;
        int at, removed, inserted;
    } rows[] = {
        {"the same text", "abc", "abc", 3, 0, 0},
        {"a letter typed mid text", "abcd", "abXcd", 2, 0, 1},
        {"a letter typed among the same letters", "aab", "aaab", 2, 0, 1},
        {"a range deleted", "abcdef", "af", 1, 4, 0},
        {"a range replaced", "state a:\nb;", "state cc:\nb;", 6, 1, 2},
        {"from nothing", "", "abc", 0, 0, 3},
        {"to nothing", "abc", "", 0, 3, 0},
        {"past the first blocks compared", long_text, changed_late, 390, 1, 1},
        {"a long text cut short", long_text, long_text.left(130), 130, 270, 0},
    };
    for (const auto& row : rows) {
        const SEDQ_TEXT_CHANGE change = sedq_text_change(row.before, row.after);
        EXPECT_EQ(change.at, row.at) << row.name;
        EXPECT_EQ(change.removed, row.removed) << row.name;
        EXPECT_EQ(change.inserted, row.inserted) << row.name;
    }
}

namespace
{
// A random edit of a flow text: pieces of headers, line breaks and statements put in, a range
// taken out, or both, anywhere in it.
QString edited(const QString& text, std::mt19937* random)
{
    static const QStringList pieces = {"state ", "s", "S", "tate", ":", "\n", "\r\n", " ", "\t", "x", "ST1",
                                       "goto ST2;", ";", "state ST3:\n", "\n\nstate ", "trigger;\n"};
    const int at = int((*random)() % unsigned(text.size() + 1));
    const int removed = (*random)() % 3 == 0 ? int((*random)() % unsigned(qMin(12, text.size() - at) + 1)) : 0;
    const QString inserted = (*random)() % 4 == 0 ? QString() : pieces.at(int((*random)() % unsigned(pieces.size())));
    QString result = text;
    return result.replace(at, removed, inserted);
}

struct held_flow
{
    int count;
    QStringList names;
    QStringList bodies;
    QList<int> types;
    QString unified;
    bool kept;

    bool operator==(const held_flow& other) const
    {
        return count == other.count && names == other.names && bodies == other.bodies && types == other.types &&
               unified == other.unified && kept == other.kept;
    }
};

held_flow held(SEDQ_STATE_MACHINE_OBJECT* machine)
{
    QString unified;
    machine->get_unified_state_text(&unified);
    return {machine->get_state_count(), machine->get_state_name_list(), machine->state_text_list(),
            machine->get_state_type_list(), unified, machine->has_unified_state_text()};
}
} // namespace

// A kept text set again is read again only where it changed: after any run of edits the states
// are those the same text read whole gives, names past the count kept alike. A text set with the
// change an editor followed (wider than the least one, as merged changes are) splits alike, and
// a change said of another text than the one kept, even an equal one, is not taken. Names
// written in the list meanwhile give way to the headers' as well.
TEST(sedq_state_machine_object, a_text_set_again_splits_as_the_same_text_read_whole)
{
    std::mt19937 random(11);
    SEDQ_STATE_MACHINE_OBJECT followed;
    SEDQ_STATE_MACHINE_OBJECT told;
    SEDQ_STATE_MACHINE_OBJECT whole;
    QString text = "state ST1:\nif (c) goto ST2;\n\nstate ST2:\n  trigger;\n";
    for (int step = 0; step < 3000; ++step) {
        const QString before = text;
        text = step % 500 == 499 ? QString() : edited(text, &random);
        SEDQ_TEXT_CHANGE change = sedq_text_change(before, text);
        const int wider_start = int(random() % unsigned(qMin(change.at, 5) + 1));
        const int same_end = before.size() - change.at - change.removed;
        const int wider_end = int(random() % unsigned(qMin(same_end, 5) + 1));
        change = {change.at - wider_start, change.removed + wider_start + wider_end,
                  change.inserted + wider_start + wider_end};
        SEDQ_TEXT_CHANGE_FROM known{told.text_serial(), before.size(), change};
        // A serial of another text than the one kept, even an equal one, says nothing.
        if (step % 7 == 3)
            known = {told.text_serial() + 1, before.size(), {0, 0, 0}};
        // A name written by another hand is the header's again once a text is set.
        if (step % 50 == 25 && !SEDQ_STATE_MACHINE_OBJECT::find_state_headers(text).isEmpty())
            for (SEDQ_STATE_MACHINE_OBJECT* machine : {&followed, &told})
                if (!machine->get_state_name_list().isEmpty())
                    machine->get_state_name_list()[0] = "by another hand";
        followed.set_unified_state_text(text);
        told.set_unified_state_text(text, &known);
        whole.clear_unified_state_text();
        whole.set_unified_state_text(text);
        ASSERT_EQ(held(&followed), held(&whole)) << "step " << step << ": " << text.toStdString();
        ASSERT_EQ(held(&told), held(&whole)) << "told, step " << step << ": " << text.toStdString();
    }
}

TEST(sedq_state_machine_object, a_change_holds_only_between_the_text_it_was_made_from_and_the_new_one)
{
    SEDQ_STATE_MACHINE_OBJECT machine;
    EXPECT_EQ(machine.text_serial(), 0u) << "no text kept";
    machine.set_unified_state_text("state a:\nx;");
    const quint64 held = machine.text_serial();
    const QString after = "state a:\nxy;";
    const struct
    {
        const char* name;
        quint64 serial;
        int size;
        SEDQ_TEXT_CHANGE change;
        bool holds;
    } rows[] = {
        {"the text's serial, the least change", held, 11, {10, 0, 1}, true},
        {"the text's serial, the whole of it", held, 11, {0, 11, 12}, true},
        {"another text's serial", held + 1, 11, {10, 0, 1}, false},
        {"no serial", 0, 11, {10, 0, 1}, false},
        {"another size than the text's", held, 10, {10, 0, 1}, false},
        {"sizes that do not add up", held, 11, {10, 0, 2}, false},
        {"a change past the end", held, 11, {11, 1, 2}, false},
        {"a negative count", held, 11, {10, -1, 0}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ((SEDQ_TEXT_CHANGE_FROM{row.serial, row.size, row.change}.holds_between(held, 11, after)), row.holds)
            << row.name;
    machine.set_unified_state_text(after);
    EXPECT_NE(machine.text_serial(), held) << "a text set takes a new serial";
    const quint64 set = machine.text_serial();
    machine.clear_unified_state_text();
    EXPECT_EQ(machine.text_serial(), 0u) << "cleared";
    machine.set_unified_state_text(after);
    EXPECT_NE(machine.text_serial(), set) << "the same text set again is another";
}

// Undo keeps each version as its change from the one before, with a whole text now and then:
// any version, set in any order, comes back exactly, whether its text was kept or its states
// were edited one by one.
TEST(sedq_state_machine_object, every_undo_version_comes_back_exactly_in_any_order)
{
    std::mt19937 random(5);
    SEDQ_STATE_MACHINE_OBJECT machine;
    std::vector<std::pair<SDR_TREE_UNDO_STATE_PTR, held_flow>> versions;
    QString text = "state ST1:\ngoto ST2;\n\nstate ST2:\ntrigger;\n";
    for (int step = 0; step < 300; ++step) {
        if (step % 37 == 36) {
            machine.get_state_text_list() = QStringList{QString("body %1").arg(step)};
            machine.get_state_type_list() = QList<int>{step % 3};
            machine.clear_unified_state_text();
        } else {
            // As an editor sets it, the change told (the text changed where it stands), or not;
            // now and then a second change before the version is read, which may take the first
            // back.
            const QString before = text;
            text = edited(text, &random);
            const SEDQ_TEXT_CHANGE_FROM known{machine.text_serial(), before.size(), sedq_text_change(before, text)};
            machine.set_unified_state_text(text, step % 3 == 0 ? nullptr : &known);
            if (step % 5 == 2) {
                const QString again = step % 10 == 2 ? before : edited(text, &random);
                const SEDQ_TEXT_CHANGE_FROM second{machine.text_serial(), text.size(), sedq_text_change(text, again)};
                machine.set_unified_state_text(again, &second);
                text = again;
            }
        }
        versions.emplace_back(machine.get_undo_state(), held(&machine));
        EXPECT_EQ(machine.get_undo_state(), versions.back().first) << "nothing changed, the same version";
    }
    const int count = int(versions.size());
    for (int jump = 0; jump < 400; ++jump) {
        const int to = jump % 2 == 0 ? int(random() % unsigned(count)) : qBound(0, count - 1 - jump / 4, count - 1);
        machine.set_undo_state(versions[size_t(to)].first);
        ASSERT_EQ(held(&machine), versions[size_t(to)].second) << "version " << to << " after jump " << jump;
    }
}

TEST(sedq_persistence_objects, wrong_class_operations_are_reported_and_produce_nothing)
{
    SEDQ_SESSION_OBJECT root;
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* object = new_root(&trigger);
    SEDQ_STATE_MACHINE_OBJECT machine;
    std::string equation;

    EXPECT_FALSE(root.get_equation(&equation, nullptr, nullptr, 1, false));
    EXPECT_FALSE(root.duplicate_trigger(true));
    EXPECT_FALSE(trigger.delete_child_object(object));
    EXPECT_FALSE(object->delete_child_object(nullptr));
    EXPECT_FALSE(object->get_equation(&equation, nullptr, nullptr, 1, false));
    EXPECT_EQ(machine.get_child_count(), 0);
    EXPECT_EQ(machine.get_child_object(0), nullptr);
    EXPECT_EQ(machine.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER), nullptr);
    EXPECT_FALSE(machine.delete_child_object(nullptr));
    EXPECT_FALSE(machine.get_equation(&equation, nullptr, nullptr, 1, false));
    EXPECT_FALSE(machine.duplicate_trigger(false));
    machine.generate_tree(nullptr);
    EXPECT_EQ(root.get_child_object(0), nullptr);
    EXPECT_EQ(object->get_child_object(0), nullptr);

    const std::vector<std::string> expected = {
        "get_equation() should only be called on a SEDQ_TRIGGER_OBJECT",
        "duplicate_trigger() should only be called on a SEDQ_TRIGGER_OBJECT",
        "delete_child_object() should only be called on a SEDQ_SESSION_OBJECT",
        "delete_child_object() should only be called on a SEDQ_SESSION_OBJECT",
        "get_equation() should only be called on a SEDQ_TRIGGER_OBJECT",
        "get_child_count() should not be called on a SEDQ_STATE_MACHINE_OBJECT",
        "get_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT",
        "create_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT",
        "delete_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT",
        "get_equation() should only be called on a SEDQ_TRIGGER_OBJECT",
        "duplicate_trigger() should only be called on a SEDQ_TRIGGER_OBJECT",
        "generate_tree() should not be called on a SEDQ_STATE_MACHINE_OBJECT",
        "index >= 0 && index < m_trigger_list.size()",
        "index >= 0 && index < m_children.size()",
    };
    EXPECT_EQ(reported_expressions(), expected);
    for (const auto& e : standin::msg::internal_errors())
        EXPECT_EQ(e.module, "SEDQ");
}

TEST(sedq_object, destroying_an_object_unlinks_it_from_parent_and_children)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* parent = new_root(&trigger);
    auto* middle = static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    auto* leaf = static_cast<SEDQ_OBJECT*>(middle->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    trigger.get_object_list()->removeAll(middle);
    delete middle;
    EXPECT_EQ(parent->get_child_count(), 0);
    EXPECT_EQ(leaf->get_parent(), nullptr);
    EXPECT_EQ(trigger.get_child_count(), 2);
}

// Freed together, in any order (a snapshot lists inputs before their parents): the objects
// that stay keep consistent links, losing exactly the freed ones.
TEST(sedq_object, objects_freed_together_leave_the_others_linked_both_ways)
{
    SEDQ_TRIGGER_OBJECT trigger;
    SEDQ_OBJECT* parent = new_root(&trigger);
    const auto add = [](SEDQ_OBJECT* to) {
        return static_cast<SEDQ_OBJECT*>(to->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    };
    SEDQ_OBJECT* kept_first = add(parent);
    SEDQ_OBJECT* bus = add(parent);
    SEDQ_OBJECT* kept_last = add(parent);
    QList<SEDQ_OBJECT*> freed;
    for (int i = 0; i < 1000; ++i)
        freed.append(add(bus));
    SEDQ_OBJECT* below = add(freed.first());
    freed.append(bus);
    for (SEDQ_OBJECT* object : freed)
        trigger.get_object_list()->removeAll(object);
    SEDQ_OBJECT::delete_objects(freed);
    EXPECT_EQ(parent->get_children(), (QList<SEDQ_OBJECT*>{kept_first, kept_last}));
    EXPECT_EQ(below->get_parent(), nullptr) << "an input of a freed object becomes a root";
    EXPECT_EQ(trigger.get_object_list()->size(), 4);
}
