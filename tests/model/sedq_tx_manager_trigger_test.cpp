// Trigger model of the document: conditions on bits and buses, storage-qualifier patterns,
// comparisons and their interval text, levels, flow control and storage qualifier, and the
// trigger in/out controls with the refresh each sends.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_plugin_group.h"
#include "sedq/model/sedq_pages.h"

#include <functional>

namespace
{
constexpr int MODIFIED = H(SEDQ_UPDATE_MODIFIED | SEDQ_UPDATE_JTAG);
constexpr int CLOSED = H(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES);
constexpr int CONFIGURATION = H(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);
constexpr int LAYOUT = H(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW);

class sedq_trigger_model_test : public sedq_node_list_test
{
protected:
    // a, bus[b, sub[c, d], e], f: the bus at row 1, its nested bus at row 3.
    void make_bus()
    {
        document();
        add_rows({"a", "b", "c", "d", "e", "f"});
        standin::sdr::add_group(data_trigger(), 1, 4, "bus");
        standin::sdr::add_group(data_trigger(), 3, 4, "sub");
        m_manager->refresh_tx_cache();
        take_hints();
    }

    std::vector<int> level_conditions(int level)
    {
        std::vector<int> conditions;
        for (int row = 0; row < trigger()->get_num_nodes(); ++row)
            conditions.push_back(trigger()->get_condition(row, level, false));
        return conditions;
    }
};
} // namespace

TEST_F(sedq_trigger_model_test, condition_on_a_bus_goes_to_every_leaf_bit_and_turns_its_comparison_off)
{
    make_bus();
    ASSERT_TRUE(m_manager->set_comparison_trigger_enabled(1, 0, true, -1));
    take_hints();
    ASSERT_TRUE(m_manager->set_trigger(1, 0, SDR_CTYPE_RISING, -1));
    constexpr int DONT_CARE = SDR_CTYPE_DONT_CARE;
    constexpr int RISING = SDR_CTYPE_RISING;
    constexpr int GROUP = SDR_CTYPE_GROUP_FIRST;
    EXPECT_EQ(level_conditions(0),
              (std::vector<int>{DONT_CARE, GROUP, RISING, GROUP, RISING, RISING, RISING, DONT_CARE}))
        << "bus and nested bus rows keep the first group pattern";
    EXPECT_FALSE(m_manager->is_comparison_enabled(1, 0, -1));

    constexpr int ANY_BIT_RISING = SDR_CTYPE_GROUP_FIRST + 3;
    ASSERT_TRUE(m_manager->set_trigger(1, 0, SDR_DATA_TRIGGER_CONDITION(ANY_BIT_RISING), -1));
    EXPECT_EQ(level_conditions(0),
              (std::vector<int>{DONT_CARE, ANY_BIT_RISING, RISING, GROUP, RISING, RISING, RISING, DONT_CARE}))
        << "a group pattern stays on the row";
    ASSERT_TRUE(m_manager->set_trigger(0, 0, SDR_CTYPE_LOW, -1));
    EXPECT_EQ(trigger()->get_condition(0, 0, false), SDR_CTYPE_LOW);
    // Turning the comparison off and writing the bits are marked apart.
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, MODIFIED, MODIFIED, MODIFIED, MODIFIED}));

    EXPECT_FALSE(m_manager->set_trigger(0, -4, SDR_CTYPE_LOW, -1));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"nLevelIndex >= -3 && nLevelIndex <= -1"});
}

TEST_F(sedq_trigger_model_test, condition_on_a_bit_clears_the_decoder_symbol_of_its_bus_at_that_level)
{
    make_bus();
    ASSERT_TRUE(trigger()->set_group_display_type(1, SDR_GTYPE_PLUGIN));
    ASSERT_TRUE(m_manager->set_plugin_trigger_condition_symbol("START", 1, 0, -1));
    ASSERT_TRUE(m_manager->set_plugin_trigger_condition_symbol("STOP", 1, 1, -1));
    ASSERT_TRUE(m_manager->set_trigger(2, -1, SDR_CTYPE_HIGH, -1));
    QString symbol;
    ASSERT_TRUE(m_manager->get_plugin_trigger_condition_symbol(&symbol, 1, 0, -1));
    EXPECT_EQ(symbol, "START") << "storage-qualifier patterns keep no symbol";
    ASSERT_TRUE(m_manager->set_trigger(2, 0, SDR_CTYPE_HIGH, -1));
    ASSERT_TRUE(m_manager->get_plugin_trigger_condition_symbol(&symbol, 1, 0, -1));
    EXPECT_EQ(symbol, "");
    ASSERT_TRUE(m_manager->get_plugin_trigger_condition_symbol(&symbol, 1, 1, -1));
    EXPECT_EQ(symbol, "STOP") << "other levels keep theirs";
    EXPECT_FALSE(m_manager->get_plugin_trigger_condition_symbol(&symbol, 0, 0, -1)) << "not a plug-in bus";
}

TEST_F(sedq_trigger_model_test, storage_qualifier_patterns_are_stored_at_host_indices_two_to_zero)
{
    make_bus();
    const struct
    {
        int pattern;
        int index;
        SDR_DATA_TRIGGER_CONDITION condition;
    } rows[] = {{-1, 2, SDR_CTYPE_HIGH}, {-2, 1, SDR_CTYPE_RISING}, {-3, 0, SDR_CTYPE_FALLING}};
    for (const auto& r : rows)
    {
        ASSERT_TRUE(m_manager->set_trigger(0, r.pattern, r.condition, -1)) << r.pattern;
        EXPECT_EQ(trigger()->get_condition(0, r.index, true), r.condition) << r.pattern;
        ASSERT_TRUE(m_manager->set_comparison_trigger_enabled(1, r.pattern, true, -1));
        EXPECT_TRUE(trigger()->is_comparison_enabled(1, r.index, true)) << r.pattern;
        EXPECT_TRUE(m_manager->is_comparison_enabled(1, r.pattern, -1)) << r.pattern;
    }
    EXPECT_EQ(trigger()->get_condition(0, 0, false), SDR_CTYPE_DONT_CARE) << "level 0 untouched";
}

TEST_F(sedq_trigger_model_test, storage_qualifier_level_types_count_only_under_their_qualifier)
{
    make_bus();
    for (int index = 0; index < 3; ++index)
        ASSERT_TRUE(trigger()->set_level_type(index, true, SDR_LTYPE_ADVANCED));
    const struct
    {
        SDR_DATA_STORAGE_QUALIFIER_TYPE type;
        int pattern;
        SDR_DATA_TRIGGER_LEVEL_TYPE expected;
    } rows[] = {{SDR_SQTYPE_CONDITIONAL, -3, SDR_LTYPE_ADVANCED}, {SDR_SQTYPE_CONDITIONAL, -1, SDR_LTYPE_BASIC_AND},
                {SDR_SQTYPE_START_STOP, -3, SDR_LTYPE_BASIC_AND},  {SDR_SQTYPE_START_STOP, -2, SDR_LTYPE_ADVANCED},
                {SDR_SQTYPE_START_STOP, -1, SDR_LTYPE_ADVANCED},   {SDR_SQTYPE_CONTINUOUS, -2, SDR_LTYPE_BASIC_AND}};
    for (const auto& r : rows)
    {
        ASSERT_TRUE(trigger()->set_sq_type(r.type));
        EXPECT_EQ(m_manager->get_trigger_level_type(r.pattern, -1), r.expected) << r.type << " " << r.pattern;
        EXPECT_EQ(m_manager->is_advanced_trigger(r.pattern, -1), r.expected == SDR_LTYPE_ADVANCED) << r.pattern;
    }
    EXPECT_EQ(m_manager->get_trigger_level_type(-4, -1), SDR_LTYPE_BASIC_AND);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"nPatternNumber >= -3 && nPatternNumber <= -1"});
}

TEST_F(sedq_trigger_model_test, comparison_text_for_every_operator_pair)
{
    make_bus();
    const struct
    {
        SDR_DATA_TRIGGER_CONDITION a;
        SDR_DATA_TRIGGER_CONDITION b;
        const char* text;
    } rows[] = {
        {SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_LESS_THAN, "( 3, 10 )"},
        {SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, "[ 3, 10 ]"},
        {SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, "( 3, 10 ]"},
        {SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_LESS_THAN, "[ 3, 10 )"},
        {SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_TRUE, "> 3"},
        {SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_TRUE, ">= 3"},
        {SDR_CTYPE_COMPARE_EQUAL_TO, SDR_CTYPE_COMPARE_TRUE, "== 3"},
        {SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_TRUE, "<= 3"},
        {SDR_CTYPE_COMPARE_LESS_THAN, SDR_CTYPE_COMPARE_TRUE, "< 3"},
    };
    ASSERT_TRUE(m_manager->set_comparison_trigger_value(1, -2, 1, 3, -1));
    ASSERT_TRUE(m_manager->set_comparison_trigger_value(1, -2, 2, 10, -1));
    for (const auto& r : rows)
    {
        ASSERT_TRUE(m_manager->set_comparison_trigger_operand(1, -2, 1, r.a, -1));
        ASSERT_TRUE(m_manager->set_comparison_trigger_operand(1, -2, 2, r.b, -1));
        std::string text;
        EXPECT_TRUE(m_manager->get_comparison_expression(1, -2, &text, -1));
        EXPECT_EQ(text, r.text);
    }
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_trigger_model_test, comparison_faults_are_reported_and_refused)
{
    make_bus();
    EXPECT_FALSE(m_manager->set_comparison_trigger_operand(1, 0, 1, SDR_CTYPE_HIGH, -1));
    ASSERT_TRUE(m_manager->set_comparison_trigger_operand(1, 0, 1, SDR_CTYPE_COMPARE_LESS_THAN, -1));
    ASSERT_TRUE(m_manager->set_comparison_trigger_operand(1, 0, 2, SDR_CTYPE_COMPARE_GREATER_THAN, -1));
    std::string text;
    EXPECT_TRUE(m_manager->get_comparison_expression(1, 0, &text, -1));
    EXPECT_EQ(internal_errors(),
              (std::vector<std::string>{"this->is_comparison_operand_condition(cTrigger)",
                                        "operand_a == SDR_CTYPE_COMPARE_GREATER_THAN || operand_a == "
                                        "SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO",
                                        "operand_b == SDR_CTYPE_COMPARE_LESS_THAN || operand_b == "
                                        "SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO"}));
}

TEST_F(sedq_trigger_model_test, comparison_member_is_found_on_every_level_of_the_trigger_itself)
{
    make_bus();
    standin::sdr::set_levels(data_trigger(), 4);
    m_manager->refresh_tx_cache();
    ASSERT_TRUE(m_manager->set_comparison_trigger_enabled(1, 3, true, -1));
    m_manager->convert_to_trigger_level_str(1); // another pane showed a one-level trigger last
    int pattern = -9;
    EXPECT_TRUE(m_manager->is_comparison_group_member_on_any_level(1, &pattern, -1));
    EXPECT_EQ(pattern, 3);
    ASSERT_TRUE(m_manager->set_comparison_trigger_enabled(1, -2, true, -1));
    EXPECT_TRUE(m_manager->is_comparison_group_member_on_any_level(1, &pattern, -1));
    EXPECT_EQ(pattern, -2) << "storage-qualifier patterns come first";
    EXPECT_FALSE(m_manager->is_comparison_group_member_on_any_level(0, &pattern, -1));
    EXPECT_EQ(pattern, -2);
}

TEST_F(sedq_trigger_model_test, level_count_text_and_pattern_enable)
{
    make_bus();
    QString text;
    EXPECT_TRUE(m_manager->get_trigger_level(&text, -1));
    EXPECT_EQ(text, "1");
    m_manager->set_trigger_level("3");
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, LAYOUT, CLOSED}));
    EXPECT_TRUE(m_manager->get_trigger_level(&text, -1));
    EXPECT_EQ(text, "3");
    EXPECT_EQ(m_manager->get_last_trigger_level(), 3);
    m_manager->set_trigger_level("11"); // refused by the repository: no mark, no refresh
    EXPECT_EQ(take_hints(), (std::vector<int>{CLOSED}));
    EXPECT_EQ(m_manager->get_condition_names(-1), (QStringList{"Condition 1", "Condition 2", "Condition 3"}));

    m_manager->toggle_pattern(2);
    EXPECT_FALSE(m_manager->is_pattern_enabled(2));
    ASSERT_TRUE(trigger()->set_segmented(true));
    EXPECT_TRUE(m_manager->is_pattern_enabled(2)) << "the level ending a segment always fires";
    EXPECT_TRUE(m_manager->is_segmented_acquisition_trigger(2));
    EXPECT_FALSE(m_manager->is_segmented_acquisition_trigger(1));
    ASSERT_TRUE(trigger()->set_segmented(false));
    m_manager->set_trigger_flow_control("State-based");
    EXPECT_TRUE(m_manager->is_pattern_enabled(2)) << "every level counts in a state-based flow";
    EXPECT_TRUE(m_manager->is_pattern_enabled(-1));
    m_manager->disable_storage_qualifier(true);
    EXPECT_FALSE(m_manager->is_pattern_enabled(-3));
}

TEST_F(sedq_trigger_model_test, state_based_flow_shows_its_page_after_the_advanced_pages_and_undoes)
{
    make_bus();
    standin::sdr::set_levels(data_trigger(), 2);
    m_manager->refresh_tx_cache();
    ASSERT_TRUE(trigger()->set_level_type(1, false, SDR_LTYPE_ADVANCED));
    ASSERT_TRUE(trigger()->set_sq_type(SDR_SQTYPE_CONDITIONAL));
    ASSERT_TRUE(trigger()->set_level_type(0, true, SDR_LTYPE_ADVANCED));
    take_hints();
    m_manager->set_trigger_flow_control("State-based");
    EXPECT_FALSE(m_manager->is_sequential_mode(-1));
    EXPECT_EQ(m_manager->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 4) << "Data, Setup, two advanced pages";
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, LAYOUT, CLOSED}));
    settle_hints();
    m_manager->set_trigger_flow_control("State-based");
    EXPECT_TRUE(take_hints().empty()) << "no change, no edit";
    m_manager->on_edit_undo();
    EXPECT_TRUE(m_manager->is_sequential_mode(-1));
    QString flow;
    EXPECT_TRUE(m_manager->get_trigger_flow_control(&flow, -1));
    EXPECT_EQ(flow, "Sequential");
}

TEST_F(sedq_trigger_model_test, state_based_storage_qualifier_needs_the_state_based_flow)
{
    make_bus();
    m_manager->set_storage_qualifier_type("State-based");
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{"OSEDQ_STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE"});
    EXPECT_EQ(take_hints(), std::vector<int>{CONFIGURATION});
    QString type;
    ASSERT_TRUE(m_manager->get_storage_qualifier_type(&type, -1));
    EXPECT_EQ(type, "Continuous");

    m_manager->set_trigger_flow_control("State-based");
    m_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
    settle_hints();
    m_manager->set_storage_qualifier_type("State-based");
    EXPECT_TRUE(take_shown_keys().empty());
    ASSERT_TRUE(m_manager->get_storage_qualifier_type(&type, -1));
    EXPECT_EQ(type, "State-based");
    EXPECT_EQ(m_manager->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 2);
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, LAYOUT, CLOSED}));
    m_manager->set_storage_qualifier_type("Sometimes");
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"mode != SDR_SQTYPE_INVALID_TYPE"});
}

TEST_F(sedq_trigger_model_test, trigger_in_and_out_controls_write_and_refresh_as_their_pane_needs)
{
    make_bus();
    using CHECK = std::function<bool(SEDQ_TX_MANAGER*)>;
    const struct
    {
        const char* name;
        std::function<void(SEDQ_TX_MANAGER*)> act;
        std::vector<int> hints;
        CHECK check;
    } rows[] = {
        {"enable trigger in", [](auto* m) { m->enable_trigger_in(true); }, {MODIFIED, CONFIGURATION, CLOSED},
         [](auto* m) { return m->is_trigger_in_enabled(-1); }},
        {"trigger in source, no mark", [](auto* m) { m->set_trigger_in_source(1); }, {CONFIGURATION, CLOSED},
         [](auto* m) { return m->get_trigger_in_source(-1) == SDR_IOSRC_NODE; }},
        {"trigger in pin", [](auto* m) { m->set_trigger_in_pin("pin_a"); }, {MODIFIED, CLOSED},
         [](auto* m) { QString t; return m->get_trigger_in_pin_name(&t, -1) && t == "pin_a"; }},
        {"empty pin ignored", [](auto* m) { m->set_trigger_in_pin(""); }, {},
         [](auto* m) { QString t; return m->get_trigger_in_pin_name(&t, -1) && t == "pin_a"; }},
        {"trigger in condition", [](auto* m) { m->set_trigger_in_condition("Rising Edge"); }, {MODIFIED, CLOSED},
         [](auto* m) { QString t; return m->get_trigger_in_condition(&t, -1) && t == "Rising Edge"; }},
        {"trigger in node keeps its kind", [](auto* m) { m->set_trigger_in_node("top|x", SEDQ_POST_FITTING); },
         {MODIFIED, CLOSED}, [](auto* m) { return m->is_trigger_in_node_post_fitting(-1); }},
        {"empty node clears", [](auto* m) { m->set_trigger_in_node(""); }, {MODIFIED, CLOSED},
         [](auto* m) { QString t; return m->get_trigger_in_node_name(&t, -1) && t.isEmpty() && m->is_trigger_in_node_valid(-1); }},
        {"enable trigger out", [](auto* m) { m->enable_trigger_out(true); }, {MODIFIED, CONFIGURATION, CLOSED},
         [](auto* m) { return m->is_trigger_out_enabled(-1); }},
        {"pin source off", [](auto* m) { m->set_trigger_out_pin_selected(false); }, {MODIFIED, CONFIGURATION, CLOSED},
         [](auto* m) { return !m->is_trigger_out_pin_selected(-1); }},
        {"HPS trigger in source", [](auto* m) { m->set_trigger_out_hps_trigger_in_selected(true); }, {MODIFIED, CLOSED},
         [](auto* m) { return m->is_trigger_out_hps_trigger_in_selected(-1); }},
        {"HPS event source", [](auto* m) { m->set_trigger_out_hps_event_selected(true); }, {MODIFIED, CONFIGURATION, CLOSED},
         [](auto* m) { return m->is_trigger_out_hps_event_index_selected(-1); }},
        {"HPS event index", [](auto* m) { m->set_trigger_out_hps_event_index("7"); }, {MODIFIED, CLOSED},
         [](auto* m) { QString t; return m->get_trigger_out_hps_event_index(&t, -1) && t == "7"; }},
        {"trigger out condition", [](auto* m) { m->set_trigger_out_condition("Low"); }, {MODIFIED, CLOSED},
         [](auto* m) { QString t; return m->get_trigger_out_condition(&t, -1) && t == "Low"; }},
        {"same condition again", [](auto* m) { m->set_trigger_out_condition("Low"); }, {}, [](auto*) { return true; }},
        {"qualifier port, post-fitting", [](auto* m) { m->set_storage_qualifier_input_port("top|q", SEDQ_POST_FITTING); },
         {MODIFIED, CLOSED}, [](auto* m) { QString t; bool pf = false; return m->get_storage_qualifier_input_port(&t, &pf, -1) && t == "top|q" && pf; }},
        {"same port, kind kept", [](auto* m) { m->set_storage_qualifier_input_port("top|q"); }, {},
         [](auto*) { return true; }},
        {"same port, other kind", [](auto* m) { m->set_storage_qualifier_input_port("top|q", SEDQ_PRE_SYNTHESIS); },
         {MODIFIED, CLOSED}, [](auto* m) { QString t; bool pf = true; return m->get_storage_qualifier_input_port(&t, &pf, -1) && !pf; }},
        {"record discontinuities", [](auto* m) { m->enable_data_discontinuities(true); }, {MODIFIED, CLOSED},
         [](auto* m) { return m->is_record_data_discontinuities_enabled(-1); }},
        {"disable the qualifier", [](auto* m) { m->disable_storage_qualifier(true); },
         {MODIFIED, H(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW), CLOSED},
         [](auto* m) { return m->is_disable_storage_qualifier_enabled(-1); }},
    };
    for (const auto& r : rows)
    {
        r.act(m_manager.get());
        EXPECT_EQ(take_hints(), r.hints) << r.name;
        EXPECT_TRUE(r.check(m_manager.get())) << r.name;
    }
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_trigger_model_test, controls_change_nothing_while_a_pane_writes_its_widgets)
{
    make_bus();
    const int brackets = standin::sdr::get_counters().brackets_opened;
    {
        SEDQ_BLOCK block;
        m_manager->enable_trigger_in(true);
        m_manager->set_trigger_level("2");
        m_manager->set_trigger_position("Post trigger position");
    }
    EXPECT_FALSE(m_manager->is_trigger_in_enabled(-1));
    int levels = 0;
    EXPECT_TRUE(m_manager->get_trigger_level(&levels, -1));
    EXPECT_EQ(levels, 1);
    EXPECT_TRUE(take_hints().empty());
    EXPECT_EQ(standin::sdr::get_counters().brackets_opened, brackets);
    m_manager->set_trigger_position("Post trigger position");
    QString position;
    EXPECT_TRUE(m_manager->get_trigger_position(&position, -1));
    EXPECT_EQ(position, "Post trigger position");
    EXPECT_GT(standin::sdr::get_counters().brackets_opened, brackets);
    m_manager->on_edit_undo();
    EXPECT_TRUE(m_manager->get_trigger_position(&position, -1));
    EXPECT_EQ(position, "Pre trigger position");
}

TEST_F(sedq_trigger_model_test, instance_sources_name_another_instance_when_there_is_one)
{
    make_bus();
    m_manager->set_trigger_in_source(2);
    QString name;
    EXPECT_TRUE(m_manager->get_trigger_in_instance_name(&name, -1));
    EXPECT_EQ(name, "") << "the only instance is no candidate for its own trigger in";
    ASSERT_TRUE(m_manager->add_instance());
    m_manager->set_instance(0);
    m_manager->set_trigger_in_source(0);
    m_manager->set_trigger_in_source(2);
    const QString other = QString::fromUtf8(m_manager->get_instance_name_at(1, nullptr));
    EXPECT_TRUE(m_manager->get_trigger_in_instance_name(&name, -1));
    EXPECT_EQ(name, other);
    m_manager->set_trigger_out_instance_selected(true);
    EXPECT_TRUE(m_manager->get_trigger_out_instance(&name, -1));
    EXPECT_EQ(name, other);
}

TEST_F(sedq_trigger_model_test, empty_document_answers_neutral_values)
{
    make_manager(true);
    QString text = "x";
    EXPECT_FALSE(m_manager->get_trigger_level(&text, -1));
    EXPECT_EQ(text, "1");
    EXPECT_FALSE(m_manager->get_trigger_position(&text, -1));
    EXPECT_EQ(text, "Pre");
    EXPECT_FALSE(m_manager->get_trigger_flow_control(&text, -1));
    EXPECT_EQ(text, "Sequential");
    EXPECT_FALSE(m_manager->get_trigger_in_condition(&text, -1));
    EXPECT_EQ(text, "Disabled");
    EXPECT_FALSE(m_manager->get_trigger_out_latency_delay(&text, -1));
    EXPECT_EQ(text, "");
    EXPECT_EQ(int(m_manager->get_trigger_in_source(-1)), 6);
    EXPECT_TRUE(m_manager->is_sequential_mode(-1));
    EXPECT_FALSE(m_manager->is_pattern_enabled(0));
    int sample = 5;
    EXPECT_FALSE(m_manager->get_trigger_position(&sample, 0));
    EXPECT_EQ(sample, 0);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_trigger_model_test, latency_delay_and_text_forms)
{
    make_bus();
    QString text;
    EXPECT_TRUE(m_manager->get_trigger_out_latency_delay(&text, -1));
    EXPECT_EQ(text, "Unknown");
    data_trigger()->m_latency_delay = 3;
    EXPECT_TRUE(m_manager->get_trigger_out_latency_delay(&text, -1));
    EXPECT_EQ(text, "3 cycles");
    const QByteArray instance = m_manager->get_instance();
    const QByteArray set = m_manager->get_signal_set();
    QString names = "before:";
    m_manager->get_signals_names(&names, instance.constData(), set.constData());
    EXPECT_TRUE(names.startsWith("before:") && names.contains("a")) << names.toStdString();
    const QString kept = names;
    m_manager->get_signals_names(&names, instance.constData(), "no such set");
    EXPECT_EQ(names, kept);
    QString expression;
    m_manager->get_trigger_expression(&expression, instance.constData(), set.constData(), m_manager->get_trigger());
    EXPECT_FALSE(expression.isEmpty());
}
