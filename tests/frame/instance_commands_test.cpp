// The instance commands of the instance manager: add, delete (asked, refused while acquiring),
// rename in place, the power-up trigger on and off, duplicating a trigger, the current
// instance by double click or tab, and the status help.
#include "instance_widget_test_support.h"

#include "host/standin/thr_control.h"

#include <QLineEdit>

namespace
{
using instance_widget_test::probe;

class instance_commands_test : public instance_widget_test::instance_widget_fixture
{
protected:
    QStringList names() const
    {
        QStringList list;
        for (int row = 0; row < model()->rowCount(); ++row)
            list << text(row, 0);
        return list;
    }

    // The condition of the "flag" row (row 9) on level 0 in one copy of an instance's trigger.
    SDR_DATA_TRIGGER_CONDITION& flag_condition(int instance, int copy) const
    {
        return data()
            ->m_instances[size_t(instance)]
            ->get_active_trigger()
            ->edit_transient()
            .trigger_list[9]
            .patterns[copy]
            .conditions[0];
    }

    static bool same_icon(const QIcon& a, int id)
    {
        return a.pixmap(16, 16).toImage() == afcq_get_icon(AFCQ_ICON_ENUM(id)).pixmap(16, 16).toImage();
    }
};

TEST_F(instance_commands_test, add_appends_an_instance_that_becomes_current)
{
    open({{"alpha"}});
    press(ACTION_ADD);
    ASSERT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(tx()->get_num_instances(), 2);
    EXPECT_TRUE(same_icon(icon(1), 275));
    EXPECT_TRUE(same_icon(icon(0), 274));
}

TEST_F(instance_commands_test, delete_asks_first_and_removes_every_selected_instance)
{
    open({{"alpha"}, {"beta"}, {"gamma"}});
    select({0, 2});
    standin::msg::push_answer(7);
    press(ACTION_DELETE);
    EXPECT_EQ(names(), (QStringList{"alpha", "beta", "gamma"})) << "No keeps them";
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].help_key, "YNSEDQ_NO_UNDO_SUPPORT");
    select({0, 2});
    standin::msg::push_answer(6);
    press(ACTION_DELETE);
    EXPECT_EQ(names(), (QStringList{"beta"}));
}

TEST_F(instance_commands_test, deleting_a_power_up_row_removes_its_whole_instance)
{
    open({{"alpha"}, {"beta", true}, {"gamma"}});
    select({}, {1});
    press(ACTION_DELETE);
    EXPECT_EQ(names(), (QStringList{"alpha", "gamma"}));
    EXPECT_EQ(tx()->get_num_instances(), 2) << "the power-up view went with its instance";
}

TEST_F(instance_commands_test, delete_is_refused_while_an_acquisition_runs)
{
    open({{"alpha"}, {"beta"}});
    compile_and_program();
    select({0});
    press(ACTION_RUN);
    step();
    ASSERT_TRUE(tx()->is_any_instance_acquiring());
    select({1});
    press(ACTION_DELETE);
    ASSERT_EQ(standin::msg::shown().size(), 1u) << "no question after the refusal";
    EXPECT_EQ(standin::msg::shown()[0].help_key, "OSEDQ_CANT_DELETE_INSTANCE");
    EXPECT_EQ(names(), (QStringList{"alpha", "beta"}));
}

TEST_F(instance_commands_test, a_name_typed_in_the_list_renames_and_a_taken_name_is_put_back)
{
    open({{"alpha"}, {"beta"}});
    write(1, 0, "gamma");
    EXPECT_STREQ(tx()->get_instance_name_at(1, nullptr), "gamma");
    EXPECT_EQ(text(1, 0), "gamma");
    write(1, 0, "alpha");
    EXPECT_STREQ(tx()->get_instance_name_at(1, nullptr), "gamma");
    EXPECT_EQ(text(1, 0), "gamma") << "the refused name is replaced by the instance's";
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().help_key, "OSEDQ_DUPLICATE_NAME");
}

TEST_F(instance_commands_test, rename_opens_the_name_for_editing_and_needs_exactly_one_row)
{
    open({{"alpha"}, {"beta"}});
    select({1});
    press(ACTION_RENAME);
    EXPECT_NE(pane()->get_tree()->viewport()->findChild<QLineEdit*>(), nullptr);
    select({0, 1});
    standin::msg::clear_internal_errors();
    pane()->on_instance_rename();
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "selected_rows.count() == 1");
}

TEST_F(instance_commands_test, power_up_triggers_are_switched_on_for_instance_rows_and_off_from_either_row)
{
    open({{"alpha"}, {"beta"}});
    select({0, 1});
    press(ACTION_ENABLE_POWERUP);
    EXPECT_TRUE(tx()->is_powerup_trigger_enabled(0));
    EXPECT_TRUE(tx()->is_powerup_trigger_enabled(2));
    ASSERT_TRUE(powerup_row(0).isValid());
    ASSERT_TRUE(powerup_row(1).isValid());
    EXPECT_EQ(powerup_row(1).data(SEDQ_INSTANCE_ROLE).toInt(), 3);
    select({0}, {1});
    press(ACTION_DISABLE_POWERUP);
    EXPECT_FALSE(tx()->is_powerup_trigger_enabled(0));
    EXPECT_EQ(tx()->get_num_instances(), 2);
    EXPECT_FALSE(powerup_row(0).isValid());
    EXPECT_FALSE(powerup_row(1).isValid());
}

TEST_F(instance_commands_test, duplicate_copies_a_trigger_to_its_counterpart_in_the_row_direction)
{
    open({{"alpha", true}});
    flag_condition(0, SDR_COPY_NORMAL) = SDR_CTYPE_HIGH;
    select({0});
    press(ACTION_DUPLICATE);
    EXPECT_EQ(flag_condition(0, SDR_COPY_POWER_UP), SDR_CTYPE_HIGH) << "instance row: normal to power-up";
    flag_condition(0, SDR_COPY_POWER_UP) = SDR_CTYPE_LOW;
    select({}, {0});
    press(ACTION_DUPLICATE);
    EXPECT_EQ(flag_condition(0, SDR_COPY_NORMAL), SDR_CTYPE_LOW) << "power-up row: power-up to normal";
}

TEST_F(instance_commands_test, double_clicking_a_power_up_row_makes_the_power_up_view_current)
{
    open({{"alpha"}, {"beta", true}});
    ASSERT_TRUE(powerup_row(1).isValid());
    pane()->on_double_clicked(powerup_row(1));
    refresh();
    EXPECT_TRUE(tx()->is_powerup_trigger(-1));
    EXPECT_EQ(background(powerup_row(1)), SEDQ_POWERUP_BRUSH);
    EXPECT_TRUE(same_icon(icon(0), 274));
    EXPECT_TRUE(same_icon(icon(1), 274)) << "the instance row is not the power-up view";
    pane()->on_double_clicked(model()->index(0, 3));
    refresh();
    EXPECT_EQ(background(powerup_row(1)), idle_brush());
    EXPECT_TRUE(same_icon(icon(0), 275)) << "any cell of the row";
}

TEST_F(instance_commands_test, a_new_instance_tab_marks_its_row)
{
    open({{"alpha", true}, {"beta"}});
    pane()->on_sel_change_instance_tab(1);
    EXPECT_TRUE(same_icon(icon(1), 275));
    EXPECT_TRUE(same_icon(icon(0), 274));
    EXPECT_EQ(background(powerup_row(0)), idle_brush());
}

TEST_F(instance_commands_test, status_help_shows_the_help_of_the_status_message)
{
    open({{"alpha"}, {"beta"}});
    select({1});
    press(ACTION_STATUS_HELP);
    write(1, 1, "Trigger level 2 met");
    press(ACTION_STATUS_HELP);
    write(1, 1, "Currently in state 3: ST3");
    press(ACTION_STATUS_HELP);
    pane()->on_ela_status_help();
    EXPECT_EQ(standin::thr::help_requests(),
              (std::vector<std::string>{"ISEDQ_NOT_RUNNING", "ISEDQ_TRIGGER_LEVEL", "ISEDQ_TRIGGER_LEVEL",
                                        "ISEDQ_COMPILE_DESIGN"}));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(instance_commands_test, status_help_stops_at_an_empty_text_a_suppressed_message_or_a_missing_library)
{
    open({{"alpha"}});
    select({0});
    write(0, 1, "");
    press(ACTION_STATUS_HELP);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "!text.isEmpty()");
    write(0, 1, "Trigger level 1 met");
    standin::msg::suppress(268048);
    press(ACTION_STATUS_HELP);
    EXPECT_EQ(standin::msg::internal_errors().size(), 1u) << "a suppressed message has no help: nothing more";
    standin::msg::unsuppress(268048);
    standin::thr::fail_load("sys_hlpq", "sys_hlpq: cannot open shared object file");
    press(ACTION_STATUS_HELP);
    ASSERT_EQ(standin::msg::internal_errors().size(), 2u);
    EXPECT_EQ(standin::msg::internal_errors()[1].expression, "sys_hlpq: cannot open shared object file");
    EXPECT_TRUE(standin::thr::help_requests().empty());
    standin::thr::fail_load("sys_hlpq", "");
    press(ACTION_STATUS_HELP);
    EXPECT_EQ(standin::thr::help_requests(), std::vector<std::string>{"ISEDQ_TRIGGER_LEVEL"})
        << "loaded on a later try";
}
} // namespace
