// The find dialog in object mode over objects a test places on the advanced trigger canvas: the
// five "Find in" boxes, targets from the top object down, the canvas's Find Next from its one
// selected object in either direction, and the find state the canvas keeps.
#include "sedq_modal_step.h"
#include "sedq_view_test_support.h"

#include "host/standin/uib_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/view/sedq_find_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int YES = 6;

class find_object_test : public view_test
{
protected:
    // A document whose trigger level 0 is advanced, its canvas on show and following it.
    void SetUp() override
    {
        view_test::SetUp();
        open_advanced_level();
        ASSERT_NE(canvas()->get_object_list(), nullptr);
    }

    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }

    // A root object in the condition, which owns it from then on.
    SEDQ_OBJECT* place(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, int top, const QString& name)
    {
        auto* object = new SEDQ_OBJECT(canvas()->get_copy(), QPoint(10, top), nullptr);
        object->set_type(type);
        object->get_property().set(SEDQ_PROPERTY::NAME, name);
        canvas()->get_object_list()->append(object);
        return object;
    }

    // An input of `parent` in the condition on show, which owns it from then on.
    SEDQ_OBJECT* place_input(SEDQ_OBJECT* parent, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, int top, const QString& name)
    {
        auto* input = static_cast<SEDQ_OBJECT*>(
            parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        input->set_type(type);
        input->get_property().set(SEDQ_PROPERTY::TOP, top);
        input->get_property().set(SEDQ_PROPERTY::NAME, name);
        return input;
    }

    // A root that belongs to the condition, so that it can take inputs.
    SEDQ_OBJECT* place_owned(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, int top, const QString& name)
    {
        SEDQ_TRIGGER_OBJECT* condition = sedq_advanced_trigger_root(SEDQ_REPOSITORY::trigger_nodes(tx(), -1), 0);
        EXPECT_EQ(condition->get_object_list(), canvas()->get_object_list());
        auto* object = new SEDQ_OBJECT(canvas()->get_copy(), QPoint(10, top), condition);
        object->set_type(type);
        object->get_property().set(SEDQ_PROPERTY::NAME, name);
        canvas()->get_object_list()->append(object);
        return object;
    }

    void select(const std::vector<SEDQ_OBJECT*>& objects)
    {
        for (SEDQ_OBJECT* object : *canvas()->get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
        for (SEDQ_OBJECT* object : objects)
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
    }

    void search(const char* text, const char* direction)
    {
        canvas()->get_find_state().text = text;
        canvas()->get_find_state().direction = direction;
    }
};
} // namespace

TEST_F(find_object_test, object_mode_offers_five_boxes_and_all_checks_them_all)
{
    SEDQ_FIND_DLG dialog(canvas(), frame(), false);
    EXPECT_FALSE(dialog.is_view_mode());
    EXPECT_EQ(dialog.get_find_in(), 31u);
    EXPECT_TRUE(dialog.get_all_check_box()->isChecked());
    for (int box = 0; box < SEDQ_FIND_DLG::FIND_IN_BOX_COUNT; ++box)
        EXPECT_FALSE(dialog.get_find_in_check_box(SEDQ_FIND_DLG::FIND_IN_BOX(box))->isHidden()) << box;
    dialog.get_find_in_check_box(SEDQ_FIND_DLG::OBJECT_TYPES)->setChecked(false);
    EXPECT_FALSE(dialog.get_all_check_box()->isChecked());
    EXPECT_EQ(dialog.get_find_in(), 15u);
    dialog.on_find_all_state_changed(false);
    EXPECT_EQ(dialog.get_find_in(), 0u);
    dialog.get_all_check_box()->click();
    EXPECT_EQ(dialog.get_find_in(), 31u);
    EXPECT_TRUE(dialog.get_all_check_box()->isChecked());
}

TEST_F(find_object_test, targets_follow_the_objects_from_top_to_bottom)
{
    place(SEDQ_OBJECT::NODE, 200, "top|low");
    place(SEDQ_OBJECT::LOGICAL_OPERATOR, 0, "and_1");
    place(SEDQ_OBJECT::NODE, 110, "top|mid");
    SEDQ_FIND_DLG dialog(canvas(), frame(), false);
    std::vector<std::string> texts;
    for (UIB_FIND_TARGET* target : dialog.get_targets())
        texts.push_back(std::to_string(target->get_type()) + ":" + target->get_text());
    EXPECT_EQ(texts, (std::vector<std::string>{"4:and_1", "16:Logical And", "1:top|mid", "16:Node",
                                               "16:Advanced Trigger Level Result", "1:top|low", "16:Node"}));
}

TEST_F(find_object_test, find_next_goes_on_from_the_one_selected_object_in_either_direction)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, 0, "n_a");
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, 50, "n_b");
    SEDQ_OBJECT* c = place(SEDQ_OBJECT::NODE, 100, "n_c");
    const struct
    {
        const char* name;
        std::vector<SEDQ_OBJECT*> selected;
        const char* direction;
        SEDQ_OBJECT* expected;
    } rows[] = {
        {"down from the middle", {b}, "Down", c},
        {"all from the middle", {b}, "All", c},
        {"up from the middle", {b}, "Up", a},
        {"up from the top goes round to the bottom", {a}, "Up", c},
        {"down without a selection starts at the top", {}, "Down", a},
        {"up without a selection starts at the bottom", {}, "Up", c},
        {"two selected count as none", {a, c}, "Down", a},
    };
    for (const auto& row : rows)
    {
        select(row.selected);
        search("n_", row.direction);
        canvas()->on_edit_find_next();
        EXPECT_EQ(canvas()->get_selection_count(), 1) << row.name;
        EXPECT_EQ(canvas()->get_selected_item(), row.expected) << row.name;
    }
    EXPECT_TRUE(standin::msg::shown().empty());
}

TEST_F(find_object_test, past_the_last_object_the_question_comes_and_yes_starts_at_the_top)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, 0, "n_a");
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, 50, "n_b");
    select({b});
    search("n_", "Down");
    standin::msg::push_answer(YES);
    canvas()->on_edit_find_next();
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text,
              "Reached end of document. Do you want to continue searching from start of document?");
    EXPECT_EQ(canvas()->get_selected_item(), a);
    EXPECT_EQ(canvas()->get_find_state().text, QByteArray("n_")) << "the restart saves the state";
}

TEST_F(find_object_test, find_in_object_types_searches_the_long_names_of_the_kinds)
{
    place(SEDQ_OBJECT::NODE, 0, "logical_name");
    SEDQ_OBJECT* gate = place(SEDQ_OBJECT::LOGICAL_OPERATOR, 60, "g");
    SEDQ_FIND_STATE& state = canvas()->get_find_state();
    state.node_names = state.bus_names = state.other_names = state.object_aliases = false;
    search("logical", "Down");
    canvas()->on_edit_find_next();
    EXPECT_EQ(canvas()->get_selected_item(), gate);
    ASSERT_FALSE(standin::uib::find_calls().empty());
    EXPECT_EQ(standin::uib::find_calls()[0].find_in, 16u);
}

TEST_F(find_object_test, an_empty_canvas_finds_nothing_and_asks_nothing)
{
    SEDQ_OBJECT_WIDGET::free_array(canvas()->get_object_list());
    search("n_", "Down");
    canvas()->on_edit_find_next();
    EXPECT_TRUE(standin::uib::find_calls().empty());
    EXPECT_TRUE(standin::msg::shown().empty());
    EXPECT_EQ(canvas()->get_selection_count(), 0);
}

TEST_F(find_object_test, the_canvas_find_opens_with_its_state_and_keeps_what_the_dialog_saves)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, 0, "n_a");
    canvas()->get_find_state().object_types = false;
    on_next_modal<SEDQ_FIND_DLG>(
        [](SEDQ_FIND_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(dialog->is_view_mode());
            EXPECT_FALSE(dialog->get_find_in_check_box(SEDQ_FIND_DLG::OBJECT_TYPES)->isChecked());
            EXPECT_FALSE(dialog->get_all_check_box()->isChecked());
            dialog->get_find_text_edit()->setText("N_A");
            dialog->get_direction_combo()->setCurrentIndex(1);
            dialog->get_find_next_button()->click();
        });
    canvas()->on_edit_find();
    const SEDQ_FIND_STATE& kept = canvas()->get_find_state();
    EXPECT_EQ(kept.text, QByteArray("N_A"));
    EXPECT_EQ(kept.direction, "Down");
    EXPECT_FALSE(kept.object_types);
    EXPECT_TRUE(kept.other_names);
    EXPECT_EQ(canvas()->get_selected_item(), a);
}

// Inputs follow their object, top to bottom, before the next root; each press goes on from the
// object the last one selected, and a match inside a collapsed object opens it.
TEST_F(find_object_test, find_next_walks_the_inputs_of_each_object_in_both_directions)
{
    SEDQ_OBJECT* gate = place_owned(SEDQ_OBJECT::LOGICAL_OPERATOR, 0, "and_1");
    SEDQ_OBJECT* lower = place_input(gate, SEDQ_OBJECT::NODE, 60, "n_y");
    SEDQ_OBJECT* upper = place_input(gate, SEDQ_OBJECT::NODE, 10, "n_x");
    SEDQ_OBJECT* last = place(SEDQ_OBJECT::NODE, 300, "n_z");
    gate->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    const struct
    {
        const char* direction;
        std::vector<SEDQ_OBJECT*> expected;
    } rows[] = {
        {"Down", {upper, lower, last}},
        {"Up", {lower, upper}},
    };
    for (const auto& row : rows)
    {
        search("n_", row.direction);
        for (SEDQ_OBJECT* expected : row.expected)
        {
            canvas()->on_edit_find_next();
            EXPECT_EQ(canvas()->get_selection_count(), 1) << row.direction;
            EXPECT_EQ(canvas()->get_selected_item(), expected) << row.direction;
        }
    }
    EXPECT_EQ(gate->get_property()[SEDQ_PROPERTY::EXPANDED], 1) << "the match inside it opened it";
    EXPECT_TRUE(standin::msg::shown().empty());
    standin::msg::push_answer(YES);
    canvas()->on_edit_find_next();
    EXPECT_EQ(standin::msg::shown().size(), 1u) << "nothing above the first input but its object";
    EXPECT_EQ(canvas()->get_selected_item(), last) << "Yes starts again at the bottom";
}

// Objects say which copy they belong to by value: a canvas knows its own working copy, inputs
// join their parent's, and neither a second canvas nor a stored copy is taken for it.
TEST_F(find_object_test, a_canvas_owns_its_working_copy_and_no_other)
{
    SEDQ_OBJECT* root = place_owned(SEDQ_OBJECT::LOGICAL_OPERATOR, 10, "r");
    SEDQ_OBJECT* input = place_input(root, SEDQ_OBJECT::NODE, 40, "a");
    SEDQ_OBJECT_WIDGET second(nullptr, tx());
    EXPECT_NE(second.get_copy(), canvas()->get_copy());
    EXPECT_TRUE(canvas()->is_own(root));
    EXPECT_TRUE(canvas()->is_own(input)) << "an input joins the copy of the object it feeds";
    EXPECT_FALSE(second.is_own(root));
    EXPECT_FALSE(root->is_powerup_trigger());

    root->set_copy(SEDQ_OBJECT_COPY::powerup());
    EXPECT_FALSE(canvas()->is_own(root));
    EXPECT_TRUE(root->is_powerup_trigger());
}
