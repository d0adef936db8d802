// State-based flow of a trigger through the document model: states and their texts, the
// unified text, the flow check with the error placed in its state, flags, counters and the
// values an acquisition reports; the power-up trigger; the advanced pattern bookkeeping.
#include "sedq_node_list_test_support.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_pages.h"

#include <random>

namespace
{
constexpr int REBUILD = H(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_NODE_VIEW);
constexpr int REFRESH = H(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
// A text typed: panes that show nothing of it may pass it by; flag and counter counts are no text.
constexpr int TEXT = H(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_FLOW_TEXT);
constexpr int MODIFIED = H(SEDQ_UPDATE_MODIFIED | SEDQ_UPDATE_JTAG);
// The flow's own edits mark the window modified without a hint; only the bracket's close is heard.
constexpr int CLOSED = H(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES);
// The compile check after a flow's text typed, marked as the text's own.
constexpr int TYPED_CHECK = CLOSED | H(SEDQ_UPDATE_FLOW_TEXT);

class sedq_state_machine_test : public sedq_node_list_test
{
protected:
    // States with these texts on a new document.
    void states(const QStringList& texts)
    {
        document(false);
        m_manager->set_state_count(texts.size());
        for (int i = 0; i < texts.size(); ++i)
            m_manager->set_state_text(i, texts.at(i));
        take_hints();
    }

    // What the flow shows: the unified text, then each state's name and body, one a line.
    std::string flow()
    {
        QString unified;
        m_manager->get_unified_state_text(&unified, -1);
        QStringList shown{unified};
        for (int state = 0; state < m_manager->get_state_count(-1); ++state)
        {
            QString body;
            m_manager->get_state_text(state, &body, -1);
            shown << m_manager->get_state_names(-1).value(state) << body;
        }
        return shown.join("\n--\n").toStdString();
    }

    QString unified()
    {
        QString text;
        m_manager->get_unified_state_text(&text, -1);
        return text;
    }

    SEDQ_STATE_MACHINE_ERROR check()
    {
        SEDQ_STATE_MACHINE_ERROR error;
        m_manager->check_state_machine(&error, -1);
        return error;
    }
};
} // namespace

TEST_F(sedq_state_machine_test, state_names_default_to_their_number)
{
    states({"", "", ""});
    EXPECT_EQ(m_manager->get_state_names(-1), (QStringList{"ST1", "ST2", "ST3"}));
    m_manager->set_state_name(1, "idle");
    EXPECT_EQ(m_manager->get_state_names(-1), (QStringList{"ST1", "idle", "ST3"}));
    EXPECT_TRUE(m_manager->is_state_name("ST3", -1)) << "no name stored, the default counts";
    EXPECT_FALSE(m_manager->is_state_name("st3", -1));
    EXPECT_FALSE(m_manager->is_state_name("ST2", -1));
    m_manager->set_state_name(5, "beyond");
    EXPECT_EQ(m_manager->get_state_names(-1).size(), 3);
    // Once every state is named, a name emptied again falls back to its number.
    m_manager->set_state_name(0, "a");
    m_manager->set_state_name(2, "c");
    EXPECT_EQ(m_manager->get_state_names(-1), (QStringList{"a", "idle", "c"}));
    m_manager->set_state_name(1, "");
    EXPECT_EQ(m_manager->get_state_names(-1), (QStringList{"a", "ST2", "c"}));
    QString text = "x";
    EXPECT_TRUE(m_manager->get_state_text(3, &text, -1));
    EXPECT_EQ(text, "");
}

TEST_F(sedq_state_machine_test, unchanged_count_text_and_unified_text_make_no_edit)
{
    states({"goto ST2;", "trigger;"});
    const int brackets = standin::sdr::get_counters().brackets_opened;
    QString unified;
    ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
    m_manager->set_state_count(2);
    m_manager->set_state_text(0, "goto ST2;");
    m_manager->set_unified_state_text(unified);
    EXPECT_TRUE(take_hints().empty());
    EXPECT_EQ(standin::sdr::get_counters().brackets_opened, brackets);
    m_manager->set_state_text(1, "goto ST1;");
    EXPECT_EQ(take_hints(), (std::vector<int>{TEXT, TYPED_CHECK}));
    EXPECT_TRUE(m_frame->isWindowModified());
    m_manager->set_state_count(3);
    EXPECT_EQ(take_hints(), (std::vector<int>{REBUILD, CLOSED}));
    m_manager->set_state_text(3, "beyond the count");
    m_manager->set_state_count(0);
    EXPECT_TRUE(take_hints().empty());
    EXPECT_EQ(m_manager->get_state_count(-1), 3);
}

TEST_F(sedq_state_machine_test, states_and_unified_text_round_trip_in_the_object_layout)
{
    states({"  goto ST2;  ", "", "trigger;\nstop_store;"});
    QString unified;
    ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
    EXPECT_EQ(unified, "state ST1:\r\ngoto ST2;\r\n\r\nstate ST2:\r\ntrigger;\r\n\r\nstate ST3:\r\ntrigger;\nstop_store;");

    const QString typed = "state idle:\n  goto run;\n\nstate run:\n  trigger;\n";
    m_manager->set_unified_state_text(typed);
    EXPECT_EQ(take_hints(), (std::vector<int>{TEXT, TYPED_CHECK}));
    ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
    EXPECT_EQ(unified, typed) << "kept as typed";
    EXPECT_EQ(m_manager->get_state_count(-1), 2);
    EXPECT_EQ(m_manager->get_state_names(-1), (QStringList{"idle", "run"}));
    QString text;
    ASSERT_TRUE(m_manager->get_state_text(0, &text, -1));
    EXPECT_EQ(text, "goto run;");

    m_manager->set_state_display_mode(false);
    EXPECT_EQ(take_hints(), (std::vector<int>{REBUILD, CLOSED})) << "the view of the flow is no modification";
    ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
    EXPECT_EQ(unified, "state idle:\r\ngoto run;\r\n\r\nstate run:\r\ntrigger;");
}

// Undo steps hold the text as typed, not as a save writes it: carriage returns, characters
// beyond ASCII and a blank text come back as typed.
TEST_F(sedq_state_machine_test, every_typed_unified_text_comes_back_exactly_from_undo_and_redo)
{
    const QString rows[] = {
        "state a:\ngoto b;\n\nstate b:\ntrigger;\n",
        "state a:\r\ngoto b;\r\n\r\nstate b:\r\ntrigger;",
        QString::fromUtf8("state caf\xc3\xa9:\n// \xe2\x86\x92 trigger\ntrigger;\n"),
        "  \n\t\n",
    };
    for (const QString& typed : rows)
    {
        SCOPED_TRACE(typed.toStdString());
        states({"goto ST2;", "trigger;"});
        m_manager->set_unified_state_text(typed);
        m_manager->set_unified_state_text(typed + "x");
        m_manager->on_edit_undo();
        QString unified;
        ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
        EXPECT_EQ(unified, typed);
        m_manager->on_edit_redo();
        ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
        EXPECT_EQ(unified, typed + "x");
        m_manager->on_edit_undo();
        ASSERT_TRUE(m_manager->get_unified_state_text(&unified, -1));
        EXPECT_EQ(unified, typed);
    }
}

// Each edit of the flow is one undo step that keeps what it changed: every flow shown along 90
// edits (letters, line breaks and headers typed and deleted, a state edited alone and then the
// count changed) comes back exactly from undo to the start and redo to the end, across the versions
// held whole, and around a new edit in the middle of the history; a save then writes it.
TEST_F(sedq_state_machine_test, every_flow_along_many_edits_comes_back_from_undo_and_redo_and_is_saved)
{
    states({"goto ST2;", "trigger;"});
    static const QStringList pieces = {"x", "\n", "state ST3:\n", " goto ST1;", ":", "s"};
    std::mt19937 random(3);
    std::vector<std::string> flows{flow()};
    for (int step = 0; step < 90; ++step)
    {
        const int count = m_manager->get_state_count(-1);
        if (step % 29 == 28)
            m_manager->set_state_text(step % count, QString("goto ST1; // %1").arg(step));
        else if (step % 29 == 0 && step > 0)
            m_manager->set_state_count(count % 3 + 1);
        else
        {
            const QString text = unified();
            const int at = int(random() % unsigned(text.size() + 1));
            const int removed = int(random() % 4);
            QString next = QString(text).replace(at, removed, pieces.at(int(random() % unsigned(pieces.size()))));
            m_manager->set_unified_state_text(next == text ? next + "x" : next);
        }
        flows.push_back(flow());
    }
    for (int step = 89; step >= 0; --step)
    {
        m_manager->on_edit_undo();
        ASSERT_EQ(flow(), flows[size_t(step)]) << "undo to before edit " << step;
    }
    for (int step = 0; step < 90; ++step)
    {
        m_manager->on_edit_redo();
        ASSERT_EQ(flow(), flows[size_t(step) + 1]) << "redo of edit " << step;
    }
    for (int step = 0; step < 45; ++step)
        m_manager->on_edit_undo();
    m_manager->set_unified_state_text("state fresh:\n" + unified());
    const std::string fresh = flow();
    const QString fresh_text = unified();
    m_manager->on_edit_undo();
    EXPECT_EQ(flow(), flows[45]);
    m_manager->on_edit_redo();
    EXPECT_EQ(flow(), fresh);
    EXPECT_FALSE(m_manager->get_tx_instance()->is_redo_available()) << "the new edit dropped the old redo";

    ASSERT_TRUE(m_manager->save_document(path("flow.vtl").c_str()));
    SEDQ_TX_MANAGER* reopened = make_manager(true);
    ASSERT_TRUE(reopened->open_document(path("flow.vtl").c_str(), nullptr, nullptr));
    EXPECT_EQ(unified().toStdString(), QString(fresh_text).remove('\r').toStdString())
        << "saved without carriage returns";
}

TEST_F(sedq_state_machine_test, error_walk_places_every_line_in_its_state)
{
    // Lines: 1 header ST1, 2-3 its text, 4 blank, 5 header ST2, 6 "trigger;" (empty text),
    // 7 blank, 8 header ST3, 9 its text.
    states({"a;\nb;", "", "c;"});
    const struct
    {
        int line;
        int state;
        int line_in_state;
    } rows[] = {{-3, 0, 0}, {0, 0, 0}, {1, 0, 0}, {2, 0, 1}, {3, 0, 2}, {4, 0, 3}, {5, 1, 0}, {6, 1, 1},
                {7, 1, 2},  {8, 2, 0}, {9, 2, 1}, {10, 2, 2}, {50, 2, 2}};
    for (const auto& r : rows)
    {
        standin::sdr::set_flow_error(true, "scripted", r.line);
        const SEDQ_STATE_MACHINE_ERROR error = check();
        EXPECT_TRUE(error.m_is_error) << r.line;
        EXPECT_EQ(error.m_message, "scripted") << r.line;
        EXPECT_EQ(error.m_line, r.line);
        EXPECT_EQ(error.m_state, r.state) << "line " << r.line;
        EXPECT_EQ(error.m_line_in_state, r.line_in_state) << "line " << r.line;
    }
    EXPECT_EQ(take_hints(), std::vector<int>(std::size(rows), CLOSED));
}

TEST_F(sedq_state_machine_test, flow_check_of_the_real_text_points_into_the_state)
{
    states({"goto ST3;", "", "if (nothing) trigger;"});
    SEDQ_STATE_MACHINE_ERROR error = check();
    ASSERT_TRUE(error.m_is_error);
    EXPECT_EQ(error.m_message, "Unknown name \"nothing\"");
    EXPECT_EQ(error.m_line, 8);
    EXPECT_EQ(error.m_state, 2) << "after a state whose empty text is written as trigger;";
    EXPECT_EQ(error.m_line_in_state, 1);

    m_manager->set_state_text(2, "if (Condition 1) trigger;");
    error = check();
    EXPECT_FALSE(error.m_is_error) << error.m_message.toStdString();
    EXPECT_TRUE(error.m_message.isEmpty());
    EXPECT_TRUE(m_manager->check_state_machine(&error, -1));
}

TEST_F(sedq_state_machine_test, state_types_extend_their_list_like_names)
{
    states({"", "", ""});
    m_manager->set_state_type(2, 5);
    EXPECT_EQ(m_manager->get_state_type(0, -1), 0);
    EXPECT_EQ(m_manager->get_state_type(1, -1), 0);
    EXPECT_EQ(m_manager->get_state_type(2, -1), 5);
    EXPECT_EQ(m_manager->get_state_type(7, -1), 0);
    m_manager->set_state_type(3, 1);
    EXPECT_EQ(m_manager->get_state_type(3, -1), 0) << "no state 3";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_state_machine_test, flags_counters_and_options_are_edits_of_the_flow)
{
    states({""});
    m_manager->set_flag_count(2);
    m_manager->set_counter_count(1);
    EXPECT_EQ(take_hints(), (std::vector<int>{REFRESH, CLOSED, REFRESH, CLOSED}));
    // Read before the rename: the names read again after it are the new ones.
    EXPECT_EQ(m_manager->get_flag_names(-1), (QStringList{"flag1", "flag2"}));
    const QString go = "go";
    m_manager->set_flag_name(0, &go);
    m_manager->set_flag_initial_value(1, 1);
    m_manager->set_counter_width(0, 12);
    m_manager->set_counter_initial_value(0, 300);
    EXPECT_EQ(take_hints(), (std::vector<int>{CLOSED, CLOSED, CLOSED, CLOSED})) << "no refresh of their own";
    EXPECT_EQ(m_manager->get_flag_names(-1), (QStringList{"go", "flag2"}));
    EXPECT_TRUE(m_manager->is_flag_name("go", -1));
    m_manager->on_edit_undo();
    m_manager->on_edit_undo();
    m_manager->on_edit_undo();
    m_manager->on_edit_undo();
    EXPECT_EQ(m_manager->get_flag_names(-1), (QStringList{"flag1", "flag2"})) << "undone";
    m_manager->on_edit_redo();
    m_manager->on_edit_redo();
    m_manager->on_edit_redo();
    m_manager->on_edit_redo();
    EXPECT_EQ(m_manager->get_flag_names(-1), (QStringList{"go", "flag2"})) << "redone";
    take_hints();
    int initial = 0;
    EXPECT_STREQ(m_manager->get_flag_name(1, -1, &initial), "flag2");
    EXPECT_EQ(initial, 1);
    int width = 0;
    unsigned value = 0;
    EXPECT_STREQ(m_manager->get_counter_name(0, -1, &width, &value), "counter1");
    EXPECT_EQ(width, 12);
    EXPECT_EQ(value, 300u);
    EXPECT_STREQ(m_manager->get_counter_name(4, -1, nullptr, nullptr), "");
    m_manager->set_configurable(SCI_RUNTIME_CONFIG_COMPARISON_VALUES, true);
    EXPECT_EQ(take_hints(), (std::vector<int>{H(SEDQ_UPDATE_NODE_VIEW), CLOSED}));
    EXPECT_TRUE(m_manager->is_configurable(SCI_RUNTIME_CONFIG_COMPARISON_VALUES, -1));
    EXPECT_FALSE(m_manager->is_configurable(SCI_RUNTIME_CONFIG_GOTO_STATE, -1));
    {
        SEDQ_BLOCK block;
        m_manager->set_flag_count(5);
    }
    EXPECT_EQ(m_manager->get_flag_count(-1), 2);
}

TEST_F(sedq_state_machine_test, acquired_values_are_read_within_the_log_s_counts)
{
    states({""});
    standin::sdr::log_spec spec;
    spec.depth = 8;
    spec.channels = {"01010101"};
    spec.state_value = 2;
    spec.flags = {1, 0};
    spec.counters = {7};
    standin::sdr::make_log(data_trigger(), spec);
    m_manager->refresh_tx_cache();
    EXPECT_EQ(m_manager->get_state_current_value(-1), 2);
    EXPECT_EQ(m_manager->get_state_current_value(5), -1);
    int value = -5;
    EXPECT_TRUE(m_manager->get_flag_current_value(0, -1, &value));
    EXPECT_EQ(value, 1);
    value = -5;
    EXPECT_FALSE(m_manager->get_flag_current_value(2, -1, &value));
    EXPECT_EQ(value, -5) << "untouched";
    EXPECT_FALSE(m_manager->get_flag_current_value(-1, -1, &value));
    EXPECT_TRUE(m_manager->get_counter_current_value(0, 0, &value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(m_manager->get_counter_current_value(1, 0, &value));
}

TEST_F(sedq_state_machine_test, power_up_trigger_is_enabled_copied_and_disabled_between_views)
{
    document();
    add_rows({"a"});
    m_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
    ASSERT_TRUE(m_manager->enable_powerup_trigger(0, true));
    EXPECT_TRUE(m_manager->is_powerup_trigger(-1)) << "the power-up view is current";
    EXPECT_TRUE(m_manager->is_powerup_trigger_enabled(0));
    EXPECT_EQ(m_manager->get_int_state(0, SEDQ_ACTIVE_TAB_KEY, -1), SEDQ_SETUP_PAGE) << "the setup page";
    ASSERT_TRUE(m_manager->set_trigger(0, 0, SDR_CTYPE_RISING, -1));
    const SDR_TX_TRIGGER* normal = m_manager->get_tx_session()->get_trigger_at(0, false);
    EXPECT_EQ(normal->get_condition(0, 0, false), SDR_CTYPE_DONT_CARE);
    ASSERT_TRUE(m_manager->duplicate_powerup_trigger(1));
    EXPECT_EQ(normal->get_condition(0, 0, false), SDR_CTYPE_RISING) << "power-up copied to the instance";

    EXPECT_TRUE(m_manager->enable_powerup_trigger(1, true));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"!is_enabled"});
    ASSERT_TRUE(m_manager->enable_powerup_trigger(1, false));
    EXPECT_FALSE(m_manager->is_powerup_trigger(-1)) << "back to the instance view";
    EXPECT_FALSE(m_manager->is_powerup_trigger_enabled(0));
    EXPECT_EQ(m_manager->get_num_instances(), 1);
    EXPECT_FALSE(m_manager->duplicate_powerup_trigger(-5));
}

TEST_F(sedq_state_machine_test, incrementally_routed_nodes_give_their_patterns_to_the_condition_object)
{
    document();
    add_rows({"pre", "post1", "grp_a", "post2"}, SDR_WTYPE_DATA_AND_TRIGGER, SDR_TAP_POST_FITTING);
    ASSERT_TRUE(trigger()->set_node_tap_mode(0, SDR_TAP_PRE_SYNTHESIS));
    standin::sdr::add_group(data_trigger(), 2, 2, "grp");
    m_manager->refresh_tx_cache(); // pre, post1, grp, grp_a, post2
    ASSERT_TRUE(trigger()->set_level_type(0, false, SDR_LTYPE_ADVANCED));
    auto* root = dynamic_cast<SEDQ_TRIGGER_OBJECT*>(trigger()->get_advanced_trigger_root(0, false));
    ASSERT_NE(root, nullptr);
    auto* result = static_cast<SEDQ_OBJECT*>(root->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    auto* incremental = static_cast<SEDQ_OBJECT*>(result->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    incremental->set_type(SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION);
    ASSERT_TRUE(trigger()->set_condition(1, 0, false, SDR_CTYPE_RISING, true));
    ASSERT_TRUE(trigger()->set_condition(4, 0, false, SDR_CTYPE_LOW, true));
    ASSERT_TRUE(m_manager->enable_powerup_trigger(0, true));
    ASSERT_TRUE(trigger()->set_condition(1, 0, false, SDR_CTYPE_HIGH, true));
    ASSERT_TRUE(m_manager->enable_powerup_trigger(1, false));

    EXPECT_TRUE(m_manager->is_advanced_trigger_pattern_enabled(-1, -1));
    EXPECT_TRUE(m_manager->update_advanced_trigger_pattern());
    EXPECT_EQ(incremental->get_incremental_text(0), "1XX") << "power-up pattern";
    EXPECT_EQ(incremental->get_incremental_text(1), "RX0") << "normal pattern: group rows and pre-synthesis rows left out";
    EXPECT_EQ(incremental->get_incremental_text(2), "'post1','grp_a','post2'");
    EXPECT_FALSE(trigger()->is_power_up_selector()) << "selector restored";
    EXPECT_FALSE(m_manager->is_counter_operator_used());
    auto* counter = static_cast<SEDQ_OBJECT*>(result->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    counter->set_type(SEDQ_OBJECT::COUNTER_OPERATOR);
    EXPECT_TRUE(m_manager->is_counter_operator_used());
}

TEST_F(sedq_state_machine_test, advanced_modified_flags_go_to_the_level_the_wizard_edits)
{
    make_manager(false);
    ASSERT_TRUE(m_manager->new_document(path("wizard.vtl").c_str()));
    take_hints();
    ASSERT_NE(m_manager->get_object_array(), nullptr) << "the wizard edits level 0";
    m_manager->update_advanced_modified_flag(true, false);
    const SDR_TRIGGER_LEVEL& level = data_trigger()->state().levels.front();
    EXPECT_TRUE(level.adv_modified[0]);
    EXPECT_FALSE(level.adv_modified[1]);
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, H(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_VALIDITY |
                                                             SEDQ_UPDATE_INSTANCES)}));
    m_manager->set_advanced_trigger(-2, SDR_LTYPE_ADVANCED);
    EXPECT_EQ(data_trigger()->state().sq_patterns[1].type, SDR_LTYPE_ADVANCED);
    m_manager->set_advanced_trigger(-4, SDR_LTYPE_ADVANCED);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"nPatternNumber >= -3 && nPatternNumber <= -1"});
}
