// Searching a bus's acquired data for a value: the Find Bus Value dialog, Find Next and Find
// Previous from the master time bar, what they remember, and when they are enabled.
#include "sedq_trigger_edit_test_support.h"

#include "host/standin/qui_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace
{
// The value of the 4-bit bus at each of the 16 samples: 7 at samples 1, 3, 5 and 15.
const int VALUES[16] = {1, 7, 3, 7, 2, 7, 0, 0, 8, 0, 0, 0, 0, 0, 0, 7};
constexpr int BUS = 0;
constexpr int DEPTH = 16;

// One bus over four members, most significant first (the data list follows); a leaf after it; a log of
// the values above (the leaf always low).
void searched_bus(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_bus(trigger, "bus", 4);
    add_leaves(trigger, {"top|other"});
    standin::sdr::log_spec log;
    log.depth = DEPTH;
    for (int bit = 3; bit >= 0; --bit)
    {
        std::string channel;
        for (int value : VALUES)
            channel += (value >> bit) & 1 ? '1' : '0';
        log.channels.push_back(channel);
    }
    log.channels.push_back(std::string(DEPTH, '0'));
    standin::sdr::make_log(trigger, log);
}

std::vector<std::string> shown_keys()
{
    std::vector<std::string> keys;
    for (const auto& message : standin::msg::shown())
        keys.push_back(message.help_key);
    return keys;
}

const std::string NOT_FOUND = "OSEDQ_FIND_BUS_VALUE_NOT_FOUND";
} // namespace

class bus_search_test : public trigger_edit_test
{
protected:
    void open_data()
    {
        open(write_document(searched_bus));
        show_data_tab(true);
        render();
        focus_view();
    }

    // Find Bus Value with `act` run on its dialog; the dialog closes after it unless it did.
    void find_bus_value(std::function<void(SEDQ_TRIGGER_VALUE_DLG*)> act)
    {
        bool shown = false;
        on_next_dialog<SEDQ_TRIGGER_VALUE_DLG>(
            [&](SEDQ_TRIGGER_VALUE_DLG* dialog)
            {
                shown = true;
                act(dialog);
                dialog->reject();
            });
        view()->on_find_bus_value();
        EXPECT_TRUE(shown);
    }

    int master() { return view()->get_timebar(0); }
};

TEST_F(bus_search_test, find_bus_value_without_a_bar_examines_the_first_sample_and_steps_on)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    ASSERT_TRUE(view()->on_update_find_bus_value());
    EXPECT_FALSE(view()->on_update_find_next_bus_value()) << "nothing searched yet";
    std::vector<int> found;
    find_bus_value(
        [&](SEDQ_TRIGGER_VALUE_DLG* dialog)
        {
            EXPECT_EQ(dialog->windowTitle(), "Find Bus Value");
            EXPECT_EQ(dialog->get_ok_button()->text(), "Find &Next");
            EXPECT_FALSE(dialog->get_find_previous_button()->isHidden());
            for (QPushButton* button : {dialog->get_ok_button(), dialog->get_find_previous_button()})
            {
                EXPECT_GE(button->width(), 75);
                EXPECT_GE(button->width(), button->sizeHint().width()) << "the whole text shows";
            }
            EXPECT_EQ(dialog->get_display_type(), SDR_GTYPE_HEX) << "the first search opens in hexadecimal";
            EXPECT_EQ(view()->get_timebar_count(), 1);
            dialog->get_value_edit()->setText("1");
            dialog->on_ok_button();
            found.push_back(master());
            dialog->get_value_edit()->setText("7");
            dialog->on_ok_button();
            found.push_back(master());
            dialog->on_ok_button();
            found.push_back(master());
            dialog->on_find_previous_bus_value_button();
            found.push_back(master());
        });
    EXPECT_EQ(found, (std::vector<int>{0, 1, 3, 1})) << "sample 0 itself is examined, then each step goes on";
    EXPECT_TRUE(shown_keys().empty());
    EXPECT_EQ(view()->get_search_value(), "7");
    EXPECT_EQ(view()->get_search_radix(), SDR_GTYPE_HEX);
    EXPECT_EQ(view()->get_search_bus(), BUS);
    EXPECT_TRUE(view()->on_update_find_next_bus_value());
}

TEST_F(bus_search_test, find_next_and_previous_step_from_the_master_bar_and_stop_at_the_ends)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) {
        dialog->get_value_edit()->setText("7");
        dialog->on_ok_button();
    });
    ASSERT_EQ(master(), 1);
    view()->select_all_items(false);
    tx()->set_node_selection_status(5, true);
    std::vector<int> found;
    for (int step = 0; step < 3; ++step)
    {
        view()->on_find_next_bus_value();
        found.push_back(master());
    }
    EXPECT_EQ(found, (std::vector<int>{3, 5, 15})) << "the remembered bus, whatever is selected";
    EXPECT_TRUE(view()->is_item_selected(BUS));
    EXPECT_FALSE(view()->is_item_selected(5));
    EXPECT_TRUE(shown_keys().empty());
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), 15) << "nothing after the last sample: the bar stays";
    EXPECT_EQ(shown_keys(), std::vector<std::string>{NOT_FOUND});
    view()->on_find_previous_bus_value();
    EXPECT_EQ(master(), 5);
}

TEST_F(bus_search_test, previous_without_a_bar_starts_at_the_end_of_the_data)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) { dialog->get_value_edit()->setText("8"); dialog->on_ok_button(); });
    ASSERT_EQ(master(), 8);
    view()->reset_timebars();
    view()->on_find_previous_bus_value();
    EXPECT_EQ(master(), 8);
    view()->reset_timebars();
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), 8) << "next without a bar starts on sample 0";
    view()->reset_timebars();
    ASSERT_TRUE(view()->insert_timebar(DEPTH));
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), DEPTH) << "a bar at the end of the data finds nothing after it";
    EXPECT_EQ(shown_keys(), std::vector<std::string>{NOT_FOUND});
}

TEST_F(bus_search_test, a_dialog_closed_without_a_search_keeps_what_was_searched)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) {
        dialog->get_radix_combo()->setCurrentIndex(1);
        dialog->get_value_edit()->setText("3");
        dialog->on_ok_button();
        dialog->get_radix_combo()->setCurrentIndex(7);
    });
    EXPECT_EQ(master(), 2);
    EXPECT_EQ(view()->get_search_value(), "3");
    EXPECT_EQ(view()->get_search_radix(), SDR_GTYPE_UNSIGNED) << "the radix the value was searched in";
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) {
        EXPECT_EQ(dialog->get_display_type(), SDR_GTYPE_UNSIGNED);
        dialog->get_value_edit()->setText("15");
    });
    EXPECT_EQ(view()->get_search_value(), "3");
    view()->reset_timebars();
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), 2) << "Find Next still looks for 3";
}

TEST_F(bus_search_test, a_value_with_dont_care_or_without_a_bus_finds_nothing)
{
    open_data();
    view()->on_find_bus_value();
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty()) << "no bus selected: no dialog";
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_FIND_BUS_VALUE_NO_BUS_SELECTED"});
    standin::msg::reset();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([this](SEDQ_TRIGGER_VALUE_DLG* dialog) {
        for (int index : {0, 6})
        {
            dialog->get_radix_combo()->setCurrentIndex(index);
            QString input = "1xX";
            int position = 0;
            EXPECT_EQ(dialog->get_value_edit()->validator()->validate(input, position), QValidator::Acceptable)
                << "find mode takes don't-care digits, radix entry " << index;
        }
        dialog->get_radix_combo()->setCurrentIndex(0);
        dialog->get_value_edit()->setText("x");
        dialog->on_ok_button();
        EXPECT_EQ(master(), 0);
    });
    EXPECT_EQ(shown_keys(), std::vector<std::string>{NOT_FOUND});
}

TEST_F(bus_search_test, find_next_is_disabled_once_the_bus_is_ungrouped)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) { dialog->get_value_edit()->setText("7"); dialog->on_ok_button(); });
    ASSERT_TRUE(view()->on_update_find_next_bus_value());
    ASSERT_TRUE(view()->on_update_find_previous_bus_value());
    show_data_tab(false);
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        ASSERT_TRUE(tx()->ungroup_node(BUS));
    }
    show_data_tab(true);
    refresh();
    render();
    ASSERT_FALSE(view()->is_parent_item(BUS)) << "the data list follows the setup list";
    EXPECT_FALSE(view()->on_update_find_next_bus_value());
    EXPECT_FALSE(view()->on_update_find_previous_bus_value());
    EXPECT_FALSE(view()->on_update_find_bus_value()) << "no bus left in the list";
    const int bar = master();
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), bar);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(bus_search_test, nothing_is_searched_outside_data_mode)
{
    open(write_document(searched_bus));
    render();
    tx()->set_node_selection_status(BUS, true);
    EXPECT_FALSE(view()->on_update_find_bus_value()) << "setup mode";
    show_data_tab(true);
    render();
    EXPECT_TRUE(view()->on_update_find_bus_value());
}

TEST_F(bus_search_test, find_next_reads_the_members_the_bus_has_now)
{
    open_data();
    tx()->set_node_selection_status(BUS, true);
    find_bus_value([](SEDQ_TRIGGER_VALUE_DLG* dialog) { dialog->get_value_edit()->setText("3"); dialog->on_ok_button(); });
    ASSERT_EQ(master(), 2);
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
        tx()->delete_node(4, 4);
    }
    refresh();
    ASSERT_EQ(view()->get_child_item_count(BUS), 3) << "the last member is gone";
    view()->reset_timebars();
    view()->on_find_next_bus_value();
    EXPECT_EQ(master(), 1) << "3 over the three members left: the samples whose value halved is 3";
    EXPECT_EQ(view()->get_search_width(), 3);
}
