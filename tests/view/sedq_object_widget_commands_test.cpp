// The advanced trigger canvas's commands: the enable rules and the context menu, the graph
// edits, connection repair, names, the clipboard, undo snapshots and rename.
#include "sedq_view_test_support.h"

#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_rename_edit.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QSet>
#include <QTimer>

#include <functional>

#include <random>
#include "sedq/model/sedq_repository.h"

namespace
{
using TYPE = SEDQ_OBJECT::SEDQ_OBJECT_TYPE;

class canvas_commands_test : public view_test
{
protected:
    void SetUp() override
    {
        view_test::SetUp();
        open_advanced_level();
        canvas()->resize(800, 600);
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
        ASSERT_NE(canvas()->get_object_list(), nullptr);
    }

    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }
    QList<SEDQ_OBJECT*>& objects() { return *canvas()->get_object_list(); }
    SEDQ_TRIGGER_OBJECT* condition() { return sedq_advanced_trigger_root(SEDQ_REPOSITORY::trigger_nodes(tx(), -1), 0); }
    SEDQ_OBJECT* result() { return objects().at(sedq_get_object_index(&objects(), SEDQ_OBJECT::LEVEL_RESULT)); }
    SEDQ_OBJECT* add(TYPE type, SEDQ_OBJECT* parent, int x = 0, int y = 0)
    {
        auto* made = new SEDQ_OBJECT(canvas()->get_copy(), QPoint(x, y), nullptr);
        made->set_type(type);
        objects().append(made);
        if (parent != nullptr)
        {
            parent->attach(made, false);
            parent->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        }
        return made;
    }
    void select(std::initializer_list<SEDQ_OBJECT*> chosen)
    {
        canvas()->select(nullptr);
        for (SEDQ_OBJECT* object : chosen)
            object->select(true, true, false);
    }
    bool enabled(AFCQ_ACTION_ENUM id) { return tx()->get_action(id, QVariant())->isEnabled(); }
    // A fresh scene of the Result fed by an operator with one input, the operator selected, one
    // snapshot to undo and one to redo, and the input in the clipboard.
    void offer_every_command()
    {
        canvas()->free_array(&objects());
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
        SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
        select({add(SEDQ_OBJECT::NODE, logical)});
        QPoint anchor(0, 0);
        canvas()->copy(&anchor);
        canvas()->save_undo_state(true);
        canvas()->save_undo_state(true);
        canvas()->on_edit_undo();
        for (SEDQ_OBJECT* object : objects())
            if (object->get_type() == SEDQ_OBJECT::LOGICAL_OPERATOR)
                select({object});
    }
    // Whether the context menu, once open, offers Arrange All Objects; the menu is closed from
    // its own event loop's first turn.
    bool arrange_offered_by_the_menu()
    {
        QAction* arrange = tx()->get_action(AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, QVariant());
        arrange->setEnabled(false);
        QMenu* menu = canvas()->get_context_menu();
        bool offered = false;
        QTimer::singleShot(0, menu,
                           [&]
                           {
                               offered = menu->isVisible() && arrange->isEnabled();
                               menu->close();
                           });
        canvas()->context_menu(QPoint(10, 40));
        return offered;
    }
    // The power-up trigger of the instance, its level 0 on show as before.
    void show_powerup_view()
    {
        const int page = tabs()->currentIndex();
        ASSERT_TRUE(tx()->enable_powerup_trigger(SEDQ_CURRENT, true));
        refresh(SEDQ_UPDATE_LAYOUT);
        tabs()->setCurrentIndex(page);
        settle();
        refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS);
    }
    QStringList names()
    {
        QStringList out;
        for (SEDQ_OBJECT* object : objects())
            out << object->get_name();
        out.sort();
        return out;
    }
    // The graph stays a forest with every object listed once and parent links both ways.
    void expect_consistent(const char* step)
    {
        QSet<SEDQ_OBJECT*> seen;
        for (SEDQ_OBJECT* object : objects())
        {
            EXPECT_FALSE(seen.contains(object)) << step;
            seen.insert(object);
            int depth = 0;
            for (SEDQ_OBJECT* up = object->get_parent(); up != nullptr && depth < 1000; up = up->get_parent())
                ++depth;
            EXPECT_LT(depth, 1000) << step << ": a loop";
            for (SEDQ_OBJECT* child : object->get_children())
                EXPECT_EQ(child->get_parent(), object) << step;
        }
    }
};
} // namespace

TEST_F(canvas_commands_test, a_missing_result_is_made_once_and_the_first_snapshot_leaves_undo_and_redo_off)
{
    EXPECT_EQ(objects().size(), 1);
    EXPECT_EQ(result()->get_type(), SEDQ_OBJECT::LEVEL_RESULT);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    EXPECT_EQ(objects().size(), 1) << "a condition with a Result gets none";
    ASSERT_EQ(canvas()->get_undo_list()->size(), 1);
    EXPECT_EQ(canvas()->get_undo_position(), 0);
    canvas()->update_all_rules();
    EXPECT_FALSE(enabled(AFCQ_EDIT_UNDO_ACTION));
    EXPECT_FALSE(enabled(AFCQ_EDIT_REDO_ACTION));
    EXPECT_FALSE(tx()->get_tx_instance()->is_modified());
}

TEST_F(canvas_commands_test, enable_rules_follow_selection_lock_and_disabled_level)
{
    SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
    add(SEDQ_OBJECT::NODE, logical);
    const AFCQ_ACTION_ENUM structural[] = {AFCQ_SEDQ_OBJECT_INSERT_ACTION, AFCQ_SEDQ_OBJECT_APPEND_ACTION,
                                           AFCQ_SEDQ_OBJECT_REMOVE_ACTION, AFCQ_SEDQ_OBJECT_DETACH_ACTION,
                                           AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, AFCQ_EDIT_CUT_ACTION,
                                           AFCQ_EDIT_DELETE_ACTION};
    const AFCQ_ACTION_ENUM settings[] = {AFCQ_SEDQ_OBJECT_EXPAND_ACTION, AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION,
                                         AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, AFCQ_SEDQ_OBJECT_RENAME_ACTION};
    const struct
    {
        const char* name;
        SEDQ_LOCK_MODE lock;
        bool level_disabled;
        bool structural;
        bool settings;
    } rows[] = {{"all changes", SEDQ_LOCK_MODE_ALLOW_ALL, false, true, true},
                {"incremental only", SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false, false, true},
                {"trigger only", SEDQ_LOCK_MODE_ALLOW_TRIGGER, false, false, true},
                {"level disabled", SEDQ_LOCK_MODE_ALLOW_ALL, true, false, false}};
    for (const auto& row : rows)
    {
        tx()->set_lock_mode(row.lock, false);
        if (row.level_disabled)
            tx()->toggle_pattern(0);
        select({logical});
        canvas()->update_all_rules();
        for (AFCQ_ACTION_ENUM id : structural)
            EXPECT_EQ(enabled(id), row.structural) << row.name << ", action " << int(id);
        for (AFCQ_ACTION_ENUM id : settings)
            EXPECT_EQ(enabled(id), row.settings) << row.name << ", action " << int(id);
        EXPECT_TRUE(enabled(AFCQ_SEDQ_ZOOM_OUT_ACTION)) << row.name;
    }
}

// Every command rule over one scene that offers them all (an operator with a parent and an input
// selected, a history to undo and redo, a clipboard, a find text, a zoom away from the default),
// shown as edited, in the power-up view, and while the instance acquires.
TEST_F(canvas_commands_test, power_up_view_keeps_settings_and_acquisition_leaves_only_zoom)
{
    const AFCQ_ACTION_ENUM zoom[] = {AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_OUT_ACTION,
                                     AFCQ_SEDQ_FIT_IN_WINDOW_ACTION};
    const AFCQ_ACTION_ENUM structural[] = {
        AFCQ_SEDQ_OBJECT_INSERT_ACTION, AFCQ_SEDQ_OBJECT_APPEND_ACTION,    AFCQ_SEDQ_OBJECT_REMOVE_ACTION,
        AFCQ_SEDQ_OBJECT_DETACH_ACTION, AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION,   AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION,
        AFCQ_EDIT_CUT_ACTION,           AFCQ_EDIT_PASTE_ACTION,            AFCQ_EDIT_DELETE_ACTION};
    const AFCQ_ACTION_ENUM settings[] = {
        AFCQ_EDIT_UNDO_ACTION,          AFCQ_EDIT_REDO_ACTION,              AFCQ_EDIT_COPY_ACTION,
        AFCQ_EDIT_SELECT_ALL_ACTION,    AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, AFCQ_SEDQ_OBJECT_RENAME_ACTION,
        AFCQ_SEDQ_OBJECT_EXPAND_ACTION, AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION,   AFCQ_EDIT_FIND_ACTION,
        AFCQ_EDIT_FIND_NEXT_ACTION};
    const struct
    {
        const char* name;
        std::function<void()> enter;
        bool structural;
        bool settings;
    } rows[] = {
        {"edited", [] {}, true, true},
        {"acquiring", [this] { tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING); }, false, false},
        {"power-up view", [this] { show_powerup_view(); }, false, true},
    };
    canvas()->on_zoom_out();
    canvas()->get_find_state().text = QByteArrayLiteral("n");
    for (const auto& row : rows)
    {
        tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_NOT_RUNNING);
        row.enter();
        ASSERT_NE(canvas()->get_object_list(), nullptr) << row.name;
        offer_every_command();
        // The rules run as the canvas takes the focus.
        QApplication::setActiveWindow(frame());
        view()->setFocus(Qt::OtherFocusReason);
        canvas()->setFocus(Qt::OtherFocusReason);
        settle();
        ASSERT_TRUE(canvas()->is_focused()) << row.name;
        for (AFCQ_ACTION_ENUM id : zoom)
            EXPECT_TRUE(enabled(id)) << row.name << ", action " << int(id);
        for (AFCQ_ACTION_ENUM id : structural)
            EXPECT_EQ(enabled(id), row.structural) << row.name << ", action " << int(id);
        for (AFCQ_ACTION_ENUM id : settings)
            EXPECT_EQ(enabled(id), row.settings) << row.name << ", action " << int(id);
        EXPECT_TRUE(arrange_offered_by_the_menu()) << row.name;
    }
    EXPECT_TRUE(tx()->is_powerup_trigger(SEDQ_CURRENT)) << "the last row ran in the power-up view";
}

TEST_F(canvas_commands_test, only_the_result_selected_offers_properties_and_rename_but_no_removal)
{
    select({result()});
    canvas()->update_all_rules();
    for (AFCQ_ACTION_ENUM id : {AFCQ_EDIT_COPY_ACTION, AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_DELETE_ACTION,
                                AFCQ_SEDQ_OBJECT_REMOVE_ACTION})
        EXPECT_FALSE(enabled(id)) << int(id);
    EXPECT_TRUE(enabled(AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION));
    EXPECT_TRUE(enabled(AFCQ_SEDQ_OBJECT_RENAME_ACTION));
    const int steps = canvas()->get_undo_list()->size();
    canvas()->on_edit_delete();
    canvas()->on_remove();
    EXPECT_EQ(objects().size(), 1) << "the Result is never deleted";
    EXPECT_EQ(canvas()->get_undo_list()->size(), steps + 2) << "each command still takes a snapshot";
}

TEST_F(canvas_commands_test, context_menu_order_and_shortcuts)
{
    // The window's Locate submenu stands between Arrange All Objects and Rename.
    const AFCQ_ACTION_ENUM LOCATE = AFCQ_ACTION_ENUM(-2);
    QList<AFCQ_ACTION_ENUM> expected = {
        AFCQ_EDIT_UNDO_ACTION, AFCQ_EDIT_REDO_ACTION, AFCQ_ACTION_NONE, AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_COPY_ACTION,
        AFCQ_EDIT_PASTE_ACTION, AFCQ_EDIT_DELETE_ACTION, AFCQ_ACTION_NONE, AFCQ_EDIT_SELECT_ALL_ACTION,
        AFCQ_ACTION_NONE, AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, AFCQ_ACTION_NONE, LOCATE, AFCQ_ACTION_NONE,
        AFCQ_SEDQ_OBJECT_RENAME_ACTION,
        AFCQ_SEDQ_OBJECT_DETACH_ACTION, AFCQ_ACTION_NONE, AFCQ_SEDQ_OBJECT_INSERT_ACTION,
        AFCQ_SEDQ_OBJECT_REMOVE_ACTION, AFCQ_SEDQ_OBJECT_APPEND_ACTION, AFCQ_ACTION_NONE,
        AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, AFCQ_ACTION_NONE,
        AFCQ_SEDQ_OBJECT_EXPAND_ACTION, AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, AFCQ_ACTION_NONE,
        AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION};
    const QList<QAction*> entries = canvas()->get_context_menu()->actions();
    ASSERT_EQ(entries.size(), expected.size());
    for (int i = 0; i < entries.size(); ++i)
    {
        if (expected[i] == AFCQ_ACTION_NONE)
            EXPECT_TRUE(entries[i]->isSeparator()) << "entry " << i;
        else if (expected[i] == LOCATE)
            EXPECT_EQ(entries[i]->menu(), frame()->get_locate_menu()) << "entry " << i;
        else
            EXPECT_EQ(entries[i], tx()->get_action(expected[i], QVariant())) << "entry " << i;
    }
    const struct
    {
        AFCQ_ACTION_ENUM id;
        QKeySequence keys;
    } shortcuts[] = {{AFCQ_SEDQ_OBJECT_RENAME_ACTION, QKeySequence(Qt::Key_F2)},
                     {AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Up)},
                     {AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Down)},
                     {AFCQ_SEDQ_OBJECT_EXPAND_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Left)},
                     {AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Right)},
                     {AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, QKeySequence(Qt::ALT | Qt::KeypadModifier | Qt::Key_Enter)}};
    for (const auto& row : shortcuts)
        EXPECT_EQ(tx()->get_action(row.id, QVariant())->shortcut(), row.keys) << int(row.id);
}

TEST_F(canvas_commands_test, insert_over_two_inputs_places_the_new_operator_between_them_and_their_parent)
{
    SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result(), 300, 100);
    SEDQ_OBJECT* a = add(SEDQ_OBJECT::NODE, logical, 100, 40);
    SEDQ_OBJECT* b = add(SEDQ_OBJECT::NODE, logical, 160, 200);
    const int x = qMax(a->get_head().x(), b->get_head().x()) + 30;
    const int y = (a->get_head().y() + b->get_head().y()) / 2 - 50;
    select({a, b});
    standin::qui::push_dialog_answer("", QDialog::Accepted);
    canvas()->on_insert();
    SEDQ_OBJECT* made = a->get_parent();
    ASSERT_NE(made, logical);
    EXPECT_EQ(b->get_parent(), made);
    EXPECT_EQ(made->get_parent(), logical);
    EXPECT_TRUE(made->is_selected());
    SEDQ_OBJECT copy(canvas()->get_copy(), QPoint(x, y), nullptr);
    EXPECT_NE(copy.get_rect(), QRect()) << "placed at " << x << "," << y << " before the layout";
    expect_consistent("insert");
}

TEST_F(canvas_commands_test, insert_with_a_selected_ancestor_of_the_common_parent_makes_no_loop)
{
    SEDQ_OBJECT* top = add(SEDQ_OBJECT::LOGICAL_OPERATOR, nullptr);
    SEDQ_OBJECT* middle = add(SEDQ_OBJECT::LOGICAL_OPERATOR, top);
    SEDQ_OBJECT* leaf = add(SEDQ_OBJECT::NODE, middle);
    select({top, leaf});
    standin::qui::push_dialog_answer("", QDialog::Accepted);
    canvas()->on_insert();
    expect_consistent("insert over a root and a grandchild");
    EXPECT_TRUE(leaf->get_parent()->is_root()) << "the new object stays a root";
    EXPECT_EQ(top->get_parent(), leaf->get_parent());
    middle->attach(top, false);
    EXPECT_TRUE(top->get_parent() != middle) << "attach refuses an ancestor";
}

TEST_F(canvas_commands_test, cancelled_insert_returns_to_the_scene_before_it)
{
    SEDQ_OBJECT* node = add(SEDQ_OBJECT::NODE, result());
    canvas()->save_undo_state(true);
    select({node});
    const int count = objects().size();
    canvas()->on_insert();
    EXPECT_EQ(objects().size(), count) << "the headless dialog is rejected";
    EXPECT_FALSE(canvas()->get_undo_list()->isEmpty());
    expect_consistent("cancelled insert");
}

TEST_F(canvas_commands_test, remove_promotes_inputs_in_reverse_and_delete_drops_what_a_collapsed_object_hides)
{
    const struct
    {
        const char* name;
        void (SEDQ_OBJECT_WIDGET::*command)();
        int left;
    } rows[] = {{"remove", &SEDQ_OBJECT_WIDGET::on_remove, 5}, {"delete", &SEDQ_OBJECT_WIDGET::on_edit_delete, 2}};
    for (const auto& row : rows)
    {
        canvas()->free_array(&objects());
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
        SEDQ_OBJECT* parent = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
        SEDQ_OBJECT* op = add(SEDQ_OBJECT::LOGICAL_OPERATOR, parent);
        SEDQ_OBJECT* a = add(SEDQ_OBJECT::NODE, op);
        SEDQ_OBJECT* b = add(SEDQ_OBJECT::NODE, op);
        SEDQ_OBJECT* c = add(SEDQ_OBJECT::NODE, op);
        op->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
        select({op});
        (canvas()->*row.command)();
        EXPECT_EQ(objects().size(), row.left) << row.name;
        if (row.command == &SEDQ_OBJECT_WIDGET::on_remove)
            EXPECT_EQ(parent->get_children(), (QList<SEDQ_OBJECT*>{c, b, a})) << row.name;
        expect_consistent(row.name);
    }
}

TEST_F(canvas_commands_test, collapse_closes_only_the_innermost_selected_and_marks_nothing)
{
    SEDQ_OBJECT* outer = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
    SEDQ_OBJECT* inner = add(SEDQ_OBJECT::LOGICAL_OPERATOR, outer);
    add(SEDQ_OBJECT::NODE, inner);
    select({outer, inner});
    canvas()->on_collapse();
    EXPECT_TRUE(outer->is_expanded());
    EXPECT_FALSE(inner->is_expanded());
    canvas()->on_expand();
    EXPECT_TRUE(inner->is_expanded());
    EXPECT_EQ(canvas()->get_undo_position(), 2);
    EXPECT_FALSE(tx()->get_tx_instance()->is_modified());
}

TEST_F(canvas_commands_test, connection_repair_puts_adapters_between_bits_and_buses)
{
    SEDQ_OBJECT* comparison = add(SEDQ_OBJECT::COMPARISON_OPERATOR, result());
    SEDQ_OBJECT* first = add(SEDQ_OBJECT::NODE, comparison);
    SEDQ_OBJECT* bus = canvas()->fix_illegal_connection(comparison, first, nullptr);
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->get_type(), SEDQ_OBJECT::BUS);
    SEDQ_OBJECT* second = add(SEDQ_OBJECT::NODE, comparison);
    EXPECT_EQ(canvas()->fix_illegal_connection(comparison, second, bus), bus);
    EXPECT_EQ(bus->get_children().size(), 2) << "the second node joins the Bus";
    EXPECT_EQ(comparison->get_children(), QList<SEDQ_OBJECT*>{bus});

    SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, nullptr);
    SEDQ_OBJECT* wide = add(SEDQ_OBJECT::BUS, logical);
    EXPECT_EQ(canvas()->fix_illegal_connection(logical, wide, nullptr), nullptr);
    SEDQ_OBJECT* reduction = wide->get_parent();
    EXPECT_EQ(reduction->get_display_type(), SEDQ_OBJECT::DISPLAY_REDUCTION_OR);
    EXPECT_EQ(reduction->get_parent(), logical);
    expect_consistent("repair");
}

TEST_F(canvas_commands_test, automatic_names_take_the_smallest_free_number_and_skip_nodes)
{
    SEDQ_OBJECT* first = add(SEDQ_OBJECT::COMPARISON_OPERATOR, nullptr);
    add(SEDQ_OBJECT::NODE, nullptr);
    canvas()->generate_names_for_unnamed_objects();
    EXPECT_EQ(first->get_name(), QStringLiteral("comparison_0"));
    SEDQ_OBJECT* second = add(SEDQ_OBJECT::COMPARISON_OPERATOR, nullptr);
    canvas()->generate_names_for_unnamed_objects();
    EXPECT_EQ(second->get_name(), QStringLiteral("comparison_1"));
    EXPECT_EQ(names(), (QStringList{"", "", "comparison_0", "comparison_1"})) << "no Node or Result name";
    select({first});
    canvas()->on_edit_delete();
    add(SEDQ_OBJECT::COMPARISON_OPERATOR, nullptr);
    canvas()->generate_names_for_unnamed_objects();
    EXPECT_TRUE(names().contains("comparison_0")) << "a freed number is reused";
    EXPECT_FALSE(canvas()->is_unique_name("comparison_1"));
    EXPECT_TRUE(canvas()->is_unique_name("comparison_2"));
}

TEST_F(canvas_commands_test, copy_takes_hidden_inputs_and_paste_names_anew_and_repeats)
{
    SEDQ_OBJECT* comparison = add(SEDQ_OBJECT::COMPARISON_OPERATOR, nullptr, 200, 100);
    add(SEDQ_OBJECT::NODE, comparison)->get_property().set(SEDQ_PROPERTY::NAME, QStringLiteral("top|a"));
    canvas()->generate_names_for_unnamed_objects();
    comparison->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    canvas()->on_edit_select_all();
    QPoint anchor(0, 0);
    canvas()->copy(&anchor);
    EXPECT_EQ(canvas()->get_clipboard().size(), 2) << "the operator, its hidden node, not the Result";
    for (const char* expected : {"comparison_1", "comparison_2"})
    {
        QPoint at(600, 500);
        canvas()->paste(&at);
        EXPECT_TRUE(names().contains(expected)) << expected;
    }
    EXPECT_EQ(names().count("top|a"), 3) << "Node names may repeat";
    expect_consistent("paste");
}

TEST_F(canvas_commands_test, undo_history_drops_the_redo_tail_and_resumes_after_switching_conditions)
{
    SEDQ_OBJECT* node = add(SEDQ_OBJECT::NODE, nullptr);
    for (int i = 0; i < 3; ++i)
    {
        select({objects().last()});
        canvas()->on_detach();
    }
    canvas()->on_edit_undo();
    canvas()->on_edit_undo();
    EXPECT_EQ(canvas()->get_undo_position(), 1);
    canvas()->on_edit_undo();
    EXPECT_FALSE(tx()->get_trigger_nodes(-1)->get_data_trigger()->state().levels[0].adv_modified[1])
        << "back at the first snapshot the condition is as shown first";
    canvas()->on_edit_redo();
    select({objects().last()});
    canvas()->on_detach();
    EXPECT_EQ(canvas()->get_undo_list()->size(), 3);
    EXPECT_EQ(canvas()->get_undo_position(), 2);
    canvas()->update_all_rules();
    EXPECT_FALSE(enabled(AFCQ_EDIT_REDO_ACTION));
    EXPECT_TRUE(tx()->get_tx_instance()->is_modified());
    EXPECT_EQ(condition()->get_undo_position(), 2) << "the model keeps the position";
    (void)node;
    tabs()->setCurrentIndex(1);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    tabs()->setCurrentIndex(2);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    EXPECT_EQ(canvas()->get_undo_position(), 2);
    canvas()->update_all_rules();
    EXPECT_FALSE(enabled(AFCQ_EDIT_REDO_ACTION));
}

TEST_F(canvas_commands_test, rename_applies_on_return_keeps_on_escape_and_marks_the_document)
{
    SEDQ_OBJECT* node = add(SEDQ_OBJECT::NODE, result());
    node->set_alias(QStringLiteral("old"));
    const struct
    {
        const char* name;
        Qt::Key key;
        const char* typed;
        const char* alias;
    } rows[] = {{"escape", Qt::Key_Escape, "new", "old"}, {"return", Qt::Key_Return, "", ""}};
    for (const auto& row : rows)
    {
        select({node});
        canvas()->on_rename();
        SEDQ_RENAME_EDIT* editor = canvas()->get_rename_edit();
        ASSERT_NE(editor, nullptr) << row.name;
        EXPECT_EQ(editor->text(), node->get_alias()) << row.name;
        editor->setText(QString::fromLatin1(row.typed));
        QKeyEvent press(QEvent::KeyPress, row.key, Qt::NoModifier);
        QApplication::sendEvent(editor, &press);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(editor, &out);
        settle();
        EXPECT_EQ(node->get_alias(), QString::fromLatin1(row.alias)) << row.name;
        EXPECT_EQ(canvas()->get_rename_edit(), nullptr) << row.name;
    }
    EXPECT_TRUE(tx()->get_tx_instance()->is_modified()) << "the changed alias is an edit";
}

TEST_F(canvas_commands_test, a_new_document_under_a_live_canvas_drops_the_objects_at_once)
{
    add(SEDQ_OBJECT::NODE, result());
    const QByteArray path = (m_dir.path() + "/new.vtl").toLocal8Bit();
    tx()->new_document(path.constData());
    EXPECT_EQ(canvas()->get_object_list(), nullptr) << "before any posted update";
    canvas()->grab();
    canvas()->on_edit_select_all();
    canvas()->on_edit_delete();
}

// Commands in a fixed pseudo-random order on a generated condition: after every step the graph
// is a forest listing each object once with one Result, the undo position lies in the list,
// and validating the equation (a paint) returns.
TEST_F(canvas_commands_test, random_command_sequences_keep_the_graph_consistent)
{
    SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
    for (int i = 0; i < 3; ++i)
    {
        SEDQ_OBJECT* comparison = add(SEDQ_OBJECT::COMPARISON_OPERATOR, logical);
        add(SEDQ_OBJECT::BUS, comparison);
        add(SEDQ_OBJECT::BUS_VALUE, comparison);
    }
    canvas()->save_undo_state(true);
    void (SEDQ_OBJECT_WIDGET::*const commands[])() = {
        &SEDQ_OBJECT_WIDGET::on_insert,     &SEDQ_OBJECT_WIDGET::on_append,   &SEDQ_OBJECT_WIDGET::on_remove,
        &SEDQ_OBJECT_WIDGET::on_detach,     &SEDQ_OBJECT_WIDGET::on_move_up,  &SEDQ_OBJECT_WIDGET::on_move_down,
        &SEDQ_OBJECT_WIDGET::on_edit_delete, &SEDQ_OBJECT_WIDGET::on_edit_cut, &SEDQ_OBJECT_WIDGET::on_edit_copy,
        &SEDQ_OBJECT_WIDGET::on_edit_paste, &SEDQ_OBJECT_WIDGET::on_edit_undo, &SEDQ_OBJECT_WIDGET::on_edit_redo,
        &SEDQ_OBJECT_WIDGET::on_collapse,   &SEDQ_OBJECT_WIDGET::on_expand};
    std::mt19937 random(34);
    for (int step = 0; step < 300; ++step)
    {
        const int count = objects().size();
        select({objects().at(int(random() % unsigned(count)))});
        if (random() % 2 == 0)
            objects().at(int(random() % unsigned(count)))->select(true, true, false);
        const size_t pick = random() % std::size(commands);
        if (commands[pick] == &SEDQ_OBJECT_WIDGET::on_insert || commands[pick] == &SEDQ_OBJECT_WIDGET::on_append)
            standin::qui::push_dialog_answer("", random() % 2 ? QDialog::Accepted : QDialog::Rejected);
        if (commands[pick] == &SEDQ_OBJECT_WIDGET::on_edit_paste)
            canvas()->set_last_press_position(QPoint(int(random() % 800), int(random() % 600)));
        (canvas()->*commands[pick])();
        const std::string where = "step " + std::to_string(step) + ", command " + std::to_string(pick);
        expect_consistent(where.c_str());
        int results = 0;
        for (SEDQ_OBJECT* object : objects())
            results += object->get_type() == SEDQ_OBJECT::LEVEL_RESULT ? 1 : 0;
        ASSERT_EQ(results, 1) << where;
        ASSERT_GE(canvas()->get_undo_position(), 0) << where;
        ASSERT_LT(canvas()->get_undo_position(), canvas()->get_undo_list()->size()) << where;
        if (step % 10 == 0)
            canvas()->grab();
        if (::testing::Test::HasFailure())
            return;
    }
}

// Zoom and Find reach the canvas while it keeps the focus, also when a popup of its own took
// the focus event, and stop once another pane has it.
TEST_F(canvas_commands_test, zoom_stays_routed_while_the_canvas_keeps_the_focus)
{
    QApplication::setActiveWindow(frame());
    canvas()->setFocus(Qt::OtherFocusReason);
    settle();
    ASSERT_EQ(QApplication::focusWidget(), canvas());
    EXPECT_TRUE(canvas()->is_focused());
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(canvas(), &popup);
    const int level = canvas()->get_zoom_level();
    QAction* zoom_out = tx()->get_action(AFCQ_SEDQ_ZOOM_OUT_ACTION, QVariant());
    zoom_out->setEnabled(true);
    zoom_out->trigger();
    EXPECT_EQ(canvas()->get_zoom_level(), level + 1) << "still routed to the canvas";
    view()->setFocus(Qt::OtherFocusReason);
    settle();
    EXPECT_FALSE(canvas()->is_focused());
    zoom_out->setEnabled(true);
    zoom_out->trigger();
    EXPECT_EQ(canvas()->get_zoom_level(), level + 1) << "no longer the canvas's";
}

// A snapshot after the first tells every pane the condition changed; the first, Expand and
// Collapse do not.
TEST_F(canvas_commands_test, snapshots_after_the_first_announce_the_changed_condition)
{
    QList<int> hints;
    QObject::connect(tx(), &SEDQ_TX_MANAGER::updated, canvas(), [&hints](QObject*, int hint) { hints << hint; });
    SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
    add(SEDQ_OBJECT::NODE, logical);
    select({logical});
    canvas()->on_collapse();
    EXPECT_TRUE(hints.isEmpty()) << "Collapse marks nothing";
    canvas()->on_detach();
    EXPECT_EQ(hints.count(0x4000410), 1);
}
