// The find dialog in view mode and the view's Find and Find Next: the widgets a new view opens
// with, the enabling of Find Next and "All", the targets (rows the hierarchy pane hides are left
// out, groups are bus names), stepping down and up with the two wrap-around questions, what a
// match does to the view, and the state the view keeps between commands.
#include "sedq_modal_step.h"
#include "sedq_view_test_support.h"

#include "host/standin/uib_control.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/view/sedq_find_dlg.h"
#include "sedq/view/sedq_find_target.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>

namespace
{
constexpr int YES = 6;
constexpr int NO = 7;
const char* const END_QUESTION =
    "Reached end of document. Do you want to continue searching from start of document?";
const char* const START_QUESTION =
    "Reached start of document. Do you want to continue searching from end of document?";

std::vector<std::string> shown_texts()
{
    std::vector<std::string> texts;
    for (const auto& message : standin::msg::shown())
        texts.push_back(message.text);
    return texts;
}

// The node of the dialog's target at its current position.
int found_node(const SEDQ_FIND_DLG& dialog)
{
    const SEDQ_FIND_POSITION position = dialog.get_find_position();
    if (!position.matched)
        return -1;
    const auto* target =
        dynamic_cast<const SEDQ_FIND_TARGET*>(dialog.get_targets().at(position.target_index));
    return target != nullptr ? target->get_node() : -1;
}

class find_dlg_test : public view_test
{
protected:
    // Each call opens another document in another window.
    void open_nodes(const std::vector<std::string>& names, QSize size = QSize(1200, 800))
    {
        const QString name = QString("find_%1.vtl").arg(m_frames.size());
        open(write_document([&](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), names); }, 1, name), size);
    }

    // A view-mode dialog loaded with `text`, searching in `direction`.
    std::unique_ptr<SEDQ_FIND_DLG> make_dialog(const char* text, const char* direction)
    {
        auto dialog = std::make_unique<SEDQ_FIND_DLG>(view(), frame(), true);
        SEDQ_FIND_STATE state;
        state.other_names = state.object_aliases = state.object_types = false;
        state.text = text;
        state.direction = direction;
        dialog->set_state_to_load(state);
        dialog->load_find_dlg_state();
        return dialog;
    }
};
} // namespace

TEST_F(find_dlg_test, a_new_view_opens_find_with_all_node_and_bus_names_and_no_find_next)
{
    open_nodes({"top|a", "top|b", "top|c"});
    bool seen = false;
    on_next_modal<SEDQ_FIND_DLG>(
        [&](SEDQ_FIND_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            seen = true;
            EXPECT_EQ(dialog->windowTitle(), "Find");
            EXPECT_EQ(dialog->get_direction_combo()->currentText(), "All");
            EXPECT_EQ(dialog->get_direction_code(), 3);
            EXPECT_TRUE(dialog->get_find_in_check_box(SEDQ_FIND_DLG::NODE_NAMES)->isChecked());
            EXPECT_TRUE(dialog->get_find_in_check_box(SEDQ_FIND_DLG::BUS_NAMES)->isChecked());
            EXPECT_TRUE(dialog->get_all_check_box()->isChecked());
            EXPECT_EQ(dialog->get_find_in(), 3u);
            for (auto box :
                 {SEDQ_FIND_DLG::OTHER_NAMES, SEDQ_FIND_DLG::OBJECT_ALIASES, SEDQ_FIND_DLG::OBJECT_TYPES})
            {
                EXPECT_TRUE(dialog->get_find_in_check_box(box)->isHidden()) << box;
                EXPECT_FALSE(dialog->get_find_in_check_box(box)->isEnabled()) << box;
            }
            for (int option = 0; option < 3; ++option)
                EXPECT_FALSE(dialog->get_option_check_box(option)->isChecked()) << option;
            EXPECT_FALSE(dialog->get_find_next_button()->isEnabled()) << "no text yet";
            EXPECT_EQ(dialog->get_targets().size(), 3u);
        });
    view()->on_edit_find();
    EXPECT_TRUE(seen);
}

TEST_F(find_dlg_test, find_next_needs_a_text_and_a_box_and_all_follows_the_two_boxes)
{
    open_nodes({"top|a"});
    auto dialog = make_dialog("", "All");
    QPushButton* next = dialog->get_find_next_button();
    QCheckBox* nodes = dialog->get_find_in_check_box(SEDQ_FIND_DLG::NODE_NAMES);
    QCheckBox* buses = dialog->get_find_in_check_box(SEDQ_FIND_DLG::BUS_NAMES);
    EXPECT_FALSE(next->isEnabled());
    dialog->get_find_text_edit()->setText("a");
    EXPECT_TRUE(next->isEnabled());
    nodes->setChecked(false);
    EXPECT_FALSE(dialog->get_all_check_box()->isChecked()) << "one box unchecked unchecks All";
    EXPECT_TRUE(next->isEnabled());
    buses->setChecked(false);
    EXPECT_EQ(dialog->get_find_in(), 0u);
    EXPECT_FALSE(next->isEnabled()) << "nothing to find in";
    dialog->get_all_check_box()->click();
    EXPECT_TRUE(nodes->isChecked());
    EXPECT_TRUE(buses->isChecked());
    EXPECT_TRUE(dialog->get_all_check_box()->isChecked());
    EXPECT_EQ(dialog->get_find_in(), 3u);
    dialog->get_find_text_edit()->clear();
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(find_dlg_test, the_options_and_direction_reach_the_engine)
{
    open_nodes({"top|a"});
    auto dialog = make_dialog("A", "Down");
    dialog->get_option_check_box(0)->setChecked(true);
    dialog->get_option_check_box(2)->setChecked(true);
    dialog->get_direction_combo()->setCurrentIndex(0);
    standin::msg::push_answer(NO);
    dialog->on_find_next_clicked();
    ASSERT_EQ(standin::uib::find_calls().size(), 1u);
    const standin::uib::find_call call = standin::uib::find_calls()[0];
    EXPECT_EQ(call.text, "A");
    EXPECT_EQ(call.options, 5u);
    EXPECT_EQ(call.direction, 2);
    EXPECT_EQ(call.find_in, 3u);
    EXPECT_EQ(found_node(*dialog), -1) << "match case keeps \"A\" from matching \"top|a\"";
}

TEST_F(find_dlg_test, searching_down_asks_at_the_end_and_yes_starts_again_at_the_first_target)
{
    open_nodes({"top|a0", "top|b", "top|a1"});
    auto dialog = make_dialog("a", "Down");
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 0);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 2);
    EXPECT_TRUE(shown_texts().empty());
    standin::msg::push_answer(YES);
    dialog->on_find_next_clicked();
    EXPECT_EQ(shown_texts(), std::vector<std::string>{END_QUESTION});
    EXPECT_EQ(found_node(*dialog), 0) << "Yes searches again from the first target";
    EXPECT_EQ(dialog->get_find_position().position, 4u);
}

TEST_F(find_dlg_test, no_at_the_end_stops_and_the_next_press_starts_from_the_top)
{
    open_nodes({"top|a0", "top|b", "top|a1"});
    auto dialog = make_dialog("a1", "Down");
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 2);
    standin::msg::push_answer(NO);
    dialog->on_find_next_clicked();
    EXPECT_EQ(shown_texts().size(), 1u);
    EXPECT_EQ(found_node(*dialog), -1);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 2) << "without a previous match the search starts at the top";
    EXPECT_EQ(shown_texts().size(), 1u);
}

// Up steps one target at a time, from the last one's end, and asks at the top.
TEST_F(find_dlg_test, searching_up_starts_at_the_last_target_and_asks_at_the_start)
{
    open_nodes({"top|a0", "top|a1", "top|a2"});
    auto dialog = make_dialog("a", "Up");
    const int expected[] = {2, 1, 0};
    for (int node : expected)
    {
        dialog->on_find_next_clicked();
        EXPECT_EQ(found_node(*dialog), node);
    }
    EXPECT_EQ(standin::uib::find_calls()[0].target_index, 2u) << "the last target is searched too";
    standin::msg::push_answer(YES);
    dialog->on_find_next_clicked();
    EXPECT_EQ(shown_texts(), std::vector<std::string>{START_QUESTION})
        << "a match in the first target has nothing above it";
    EXPECT_EQ(found_node(*dialog), 2) << "Yes starts again at the end";
}

// A text that is nowhere: the question comes once, and Yes searches once more and stops.
TEST_F(find_dlg_test, yes_on_a_text_found_nowhere_searches_once_more_and_stops)
{
    open_nodes({"top|a", "top|b"});
    auto dialog = make_dialog("zz", "All");
    dialog->on_find_next_clicked();
    EXPECT_EQ(shown_texts(), std::vector<std::string>{END_QUESTION});
    EXPECT_EQ(standin::uib::find_calls().size(), 2u);
    EXPECT_EQ(found_node(*dialog), -1);
}

// A match becomes the current, selected row, and is scrolled to; a match on screen already shows
// the same way, as the selection moves to it.
TEST_F(find_dlg_test, a_match_becomes_the_current_selected_row)
{
    std::vector<std::string> names;
    for (int i = 0; i < 80; ++i)
        names.push_back("top|n" + std::to_string(i));
    open_nodes(names, QSize(900, 400));
    ASSERT_FALSE(view()->get_vertical_scroll_bar()->isHidden());
    const struct
    {
        const char* name;
        const char* text;
        int node;
    } rows[] = {{"out of sight", "n77", 77}, {"on screen", "n3", 3}};
    for (const auto& row : rows)
    {
        view()->get_vertical_scroll_bar()->setValue(0);
        select_only(1);
        auto dialog = make_dialog(row.text, "Down");
        dialog->on_find_next_clicked();
        EXPECT_EQ(found_node(*dialog), row.node) << row.name;
        EXPECT_EQ(view()->get_vertical_scroll_bar()->value(), row.node) << row.name << ": at the top";
        EXPECT_TRUE(view()->is_item_selected(row.node)) << row.name;
        EXPECT_EQ(view()->get_selection_count(), 1) << row.name << ": the match alone";
        EXPECT_EQ(view()->get_focus_item(), row.node) << row.name << ": the current row";
    }
}

TEST_F(find_dlg_test, a_node_the_hierarchy_pane_hides_is_never_found)
{
    open_nodes({"top|a|x0", "top|b|x1", "top|a|x2"});
    const QList<QStandardItem*> found =
        frame()->get_layout_widget()->get_hierarchy_widget()->get_tree_model()->findItems(
            "a", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    found[0]->setCheckState(Qt::Unchecked);
    settle();
    auto dialog = make_dialog("x", "Down");
    ASSERT_EQ(dialog->get_targets().size(), 1u);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 1);
    standin::msg::push_answer(YES);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 1) << "around the document, still only the shown node";
}

TEST_F(find_dlg_test, groups_are_bus_names_and_their_members_node_names)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            add_leaves(trigger_of(s), {"top|d0", "top|d1", "top|e"});
            standin::sdr::add_group(trigger_of(s), 0, 1, "top|d");
        }));
    auto dialog = make_dialog("d", "Down");
    std::vector<unsigned int> types;
    for (UIB_FIND_TARGET* target : dialog->get_targets())
        types.push_back(target->get_type());
    EXPECT_EQ(types, (std::vector<unsigned int>{2, 1, 1, 1}));
    dialog->get_find_in_check_box(SEDQ_FIND_DLG::NODE_NAMES)->setChecked(false);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), 0) << "the group row";
    standin::msg::push_answer(NO);
    dialog->on_find_next_clicked();
    EXPECT_EQ(found_node(*dialog), -1) << "the members are node names";
}

// ---- the view's commands -----------------------------------------------------------------------------

TEST_F(find_dlg_test, the_views_find_next_going_up_starts_at_the_last_character_of_the_last_target)
{
    open_nodes({"top|a", "top|bb", "top|ccc"});
    view()->get_find_state().direction = "Up";
    view()->get_find_state().text = "c";
    view()->on_edit_find_next();
    ASSERT_FALSE(standin::uib::find_calls().empty());
    EXPECT_EQ(standin::uib::find_calls()[0].target_index, 2u);
    EXPECT_EQ(standin::uib::find_calls()[0].position, 6u);
    const SEDQ_FIND_POSITION kept = view()->get_find_position();
    EXPECT_TRUE(kept.matched);
    EXPECT_EQ(kept.target_index, 2u);
    EXPECT_EQ(kept.position, 6u) << "the last match at or before the end";
}

TEST_F(find_dlg_test, the_view_keeps_the_state_and_find_next_goes_on_from_its_own_last_match)
{
    open_nodes({"top|a0", "top|a1", "top|a2"});
    on_next_modal<SEDQ_FIND_DLG>(
        [](SEDQ_FIND_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            dialog->get_find_text_edit()->setText("a");
            dialog->get_option_check_box(0)->setChecked(true);
            dialog->get_direction_combo()->setCurrentIndex(1);
            dialog->get_find_next_button()->click();
            dialog->get_find_next_button()->click();
        });
    view()->on_edit_find();
    const SEDQ_FIND_STATE& kept = view()->get_find_state();
    EXPECT_EQ(kept.text, QByteArray("a"));
    EXPECT_TRUE(kept.match_case);
    EXPECT_FALSE(kept.whole_words);
    EXPECT_EQ(kept.direction, "Down");
    EXPECT_FALSE(view()->get_find_position().matched) << "the dialog's matches are not the view's";
    view()->on_edit_find_next();
    EXPECT_EQ(view()->get_find_position().target_index, 0u);
    view()->on_edit_find_next();
    EXPECT_EQ(view()->get_find_position().target_index, 1u);
    bool loaded = false;
    on_next_modal<SEDQ_FIND_DLG>(
        [&](SEDQ_FIND_DLG* dialog)
        {
            loaded = dialog != nullptr && dialog->get_find_text_edit()->text() == "a" &&
                     dialog->get_direction_combo()->currentText() == "Down" &&
                     dialog->get_option_check_box(0)->isChecked();
        });
    view()->on_edit_find();
    EXPECT_TRUE(loaded) << "the next Find shows what the view kept";
}

// Rows deleted since the last Find Next leave its index past the targets: no previous match.
TEST_F(find_dlg_test, a_kept_index_past_the_targets_starts_afresh)
{
    open_nodes({"top|a", "top|b"});
    view()->get_find_state().text = "b";
    view()->get_find_state().direction = "Down";
    SEDQ_FIND_POSITION stale;
    stale.target_index = 9;
    stale.position = 3;
    stale.matched = true;
    view()->get_find_position() = stale;
    view()->on_edit_find_next();
    ASSERT_EQ(standin::uib::find_calls().size(), 1u);
    EXPECT_EQ(standin::uib::find_calls()[0].target_index, 0u);
    EXPECT_EQ(standin::uib::find_calls()[0].position, 0u);
    EXPECT_EQ(view()->get_find_position().target_index, 1u);
}

TEST_F(find_dlg_test, find_next_without_rows_or_text_finds_nothing_and_asks_nothing)
{
    open_nodes({});
    view()->get_find_state().text = "a";
    view()->get_find_state().direction = "Up";
    view()->on_edit_find_next();
    open_nodes({"top|a"});
    view()->get_find_state().text.clear();
    view()->on_edit_find_next();
    EXPECT_TRUE(standin::uib::find_calls().empty());
    EXPECT_TRUE(standin::msg::shown().empty());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(find_dlg_test, find_and_find_next_are_enabled_while_the_view_shows_node_rows)
{
    open_nodes({});
    render();
    EXPECT_FALSE(view()->on_update_edit_find());
    EXPECT_FALSE(view()->on_update_edit_find_next());
    open_nodes({"top|a"});
    render();
    EXPECT_TRUE(view()->on_update_edit_find());
    EXPECT_TRUE(view()->on_update_edit_find_next());
    focus_view();
    view()->on_update_edit_menu();
    EXPECT_TRUE(tx()->get_action(AFCQ_EDIT_FIND_ACTION, QVariant())->isEnabled());
    EXPECT_TRUE(tx()->get_action(AFCQ_EDIT_FIND_NEXT_ACTION, QVariant())->isEnabled());
}

// The window passes Find Next on to the view only while the view does not take it itself.
TEST_F(find_dlg_test, find_next_from_the_menu_steps_once_with_or_without_the_views_focus)
{
    open_nodes({"top|a0", "top|a1", "top|a2"});
    view()->get_find_state().text = "a";
    view()->get_find_state().direction = "Down";
    QAction* find_next = tx()->get_action(AFCQ_EDIT_FIND_NEXT_ACTION, QVariant());
    focus_view();
    ASSERT_TRUE(view()->is_connected());
    find_next->setEnabled(true);
    find_next->trigger();
    EXPECT_EQ(standin::uib::find_calls().size(), 1u);
    EXPECT_EQ(view()->get_find_position().target_index, 0u);
    frame()->get_layout_widget()->get_instance_tab_widget()->setFocus(Qt::TabFocusReason);
    settle();
    ASSERT_FALSE(view()->is_connected());
    find_next->setEnabled(true);
    find_next->trigger();
    EXPECT_EQ(standin::uib::find_calls().size(), 2u);
    EXPECT_EQ(view()->get_find_position().target_index, 1u);
}
