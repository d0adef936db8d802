// The data log pane: the tree of signal sets, triggers and logs with the shown items marked,
// stored expanded states, the logs acquisitions add, choosing the shown log, renaming in place,
// deleting (refused while acquiring), the logging switch, and commands that act on the pane's
// own instance whichever entry is current.
#include "log_widget_test_support.h"

#include "sedq/frame/sedq_jtag_widget.h"

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QSignalSpy>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

namespace
{
using log_widget_test::instance_tree;
using log_widget_test::log_widget_fixture;

class log_widget_test : public log_widget_fixture
{
protected:
    // alpha: set_a (trigger_a: log_1, log_2, power-up log_p; trigger_b), set_b (trigger_c:
    // log_3); beta: its default set and trigger with log_b.
    void open_two()
    {
        open_trees({{"alpha",
                     {{"set_a", {{"trigger_a", {"log_1", "log_2"}, {"log_p"}, true}, {"trigger_b", {}}}, true},
                      {"set_b", {{"trigger_c", {"log_3"}}}}}},
                    {"beta", {{"signal_set_1", {{"trigger_1", {"log_b"}}}}}}});
    }

    static bool same_icon(const QIcon& icon, int id)
    {
        return icon.pixmap(16, 16).toImage() == afcq_get_icon(AFCQ_ICON_ENUM(id)).pixmap(16, 16).toImage();
    }

    // Deletes the items with the focus on the pane, answering the question.
    void delete_items(int instance, const QStringList& items, int answer = 6)
    {
        select_items(instance, items);
        focus(instance);
        standin::msg::push_answer(answer);
        action_of(ACTION_DELETE)->trigger();
        refresh();
    }

    // What the user types into the item's editor, committed with Return.
    void type_name(int instance, const QString& item, const QString& text)
    {
        QStandardItem* target = item_at(instance, item);
        ASSERT_NE(target, nullptr) << item.toStdString();
        QTreeView* tree = log_pane(instance)->get_tree();
        tree->edit(target->index());
        QLineEdit* editor = tree->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        refresh();
    }
};

TEST_F(log_widget_test, the_tree_shows_sets_triggers_and_logs_with_the_shown_ones_marked)
{
    open_two();
    ASSERT_NE(log_pane(0), nullptr);
    EXPECT_EQ(tree_paths(0), QStringList({"alpha", "alpha/set_a", "alpha/set_a/trigger_a",
                                             "alpha/set_a/trigger_a/log_1", "alpha/set_a/trigger_a/log_2",
                                             "alpha/set_a/trigger_a/log_p", "alpha/set_a/trigger_b", "alpha/set_b",
                                             "alpha/set_b/trigger_c", "alpha/set_b/trigger_c/log_3"}));
    const struct
    {
        const char* item;
        int icon;
        bool expanded;
    } rows[] = {{"alpha", 55, true},
                {"alpha/set_a", 61, true},
                {"alpha/set_a/trigger_a", 63, true},
                {"alpha/set_a/trigger_a/log_2", 57, false},
                {"alpha/set_a/trigger_a/log_1", 56, false},
                {"alpha/set_a/trigger_b", 62, false},
                {"alpha/set_b", 60, false},
                {"alpha/set_b/trigger_c", 62, false}};
    for (const auto& row : rows)
    {
        QStandardItem* item = item_at(0, row.item);
        ASSERT_NE(item, nullptr) << row.item;
        EXPECT_TRUE(same_icon(item->icon(), row.icon)) << row.item;
        EXPECT_EQ(log_pane(0)->get_tree()->isExpanded(item->index()), row.expanded) << row.item;
    }
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_p")->background(), SEDQ_POWERUP_BRUSH);
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_1")->background(), QBrush());
    EXPECT_EQ(tree_paths(1), QStringList({"beta", "beta/signal_set_1", "beta/signal_set_1/trigger_1",
                                                    "beta/signal_set_1/trigger_1/log_b"}));
    EXPECT_TRUE(same_icon(item_at(1, "beta/signal_set_1/trigger_1/log_b")->icon(), 57))
        << "a pane behind another tab marks its own instance's shown log";
}

TEST_F(log_widget_test, expanding_and_collapsing_is_kept_in_the_document_and_rebuilds_do_not_write_it)
{
    open_two();
        SDR_DATA_SIGNAL_SET* set_b = data_instance(0)->m_signal_sets[1].get();
    log_pane(0)->get_tree()->expand(item_at(0, "alpha/set_b")->index());
    EXPECT_TRUE(set_b->is_expanded());
    log_pane(0)->get_tree()->collapse(item_at(0, "alpha/set_a/trigger_a")->index());
    EXPECT_FALSE(data_instance(0)->m_signal_sets[0]->m_triggers[0]->is_expanded());
    log_pane(0)->get_tree()->expand(item_at(0, "alpha/set_a/trigger_a/log_1")->index());
    set_b->set_expanded_status(false);
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LOG));
    refresh();
    EXPECT_FALSE(log_pane(0)->get_tree()->isExpanded(item_at(0, "alpha/set_b")->index()));
    EXPECT_FALSE(set_b->is_expanded());
    EXPECT_TRUE(data_instance(0)->is_expanded()) << "the rebuild's own expanding is not stored again";
    EXPECT_FALSE(m_frame->isWindowModified()) << "expanded states do not modify the document";
}

TEST_F(log_widget_test, every_acquisition_adds_its_log_while_logging_is_on)
{
    open_trees({{"alpha", {{"signal_set_1", {{"trigger_1", {"first"}, {}, true}}, true}}}});
    compile_and_program();
    tx()->set_logging(true);
    for (int run = 0; run < 2; ++run)
    {
        select({0});
        press(ACTION_RUN);
        end_all_runs();
    }
    // The window may have rebuilt its pages for the new data: the pane is looked up again.
    EXPECT_EQ(tree_paths(0), QStringList({"alpha", "alpha/signal_set_1", "alpha/signal_set_1/trigger_1",
                                                    "alpha/signal_set_1/trigger_1/first",
                                                    "alpha/signal_set_1/trigger_1/log_1",
                                                    "alpha/signal_set_1/trigger_1/log_2"}));
    EXPECT_TRUE(same_icon(item_at(0, "alpha/signal_set_1/trigger_1/log_2")->icon(), 57))
        << "the newest is shown";
    EXPECT_TRUE(same_icon(item_at(0, "alpha/signal_set_1/trigger_1/first")->icon(), 56));

    tx()->set_logging(false);
    for (int run = 0; run < 2; ++run)
    {
        select({0});
        press(ACTION_RUN);
        end_all_runs();
        EXPECT_EQ(tree_paths(0).size(), 7) << "without logging one temporary log takes every run";
    }
}

// Runs with logging on add one item each to the pane that is there: the items of the logs
// kept stay where they were (no reset, no row taken out), whatever the run showed.
TEST_F(log_widget_test, a_run_adds_the_item_of_its_log_and_keeps_the_others)
{
    open_trees({{"alpha", {{"signal_set_1", {{"trigger_1", {"first"}, {}, true}}, true}}}});
    compile_and_program();
    tx()->set_logging(true);
    const QPointer<SEDQ_LOG_WIDGET> pane = log_pane(0);
    QSignalSpy resets(pane->get_tree_model(), &QAbstractItemModel::modelReset);
    QSignalSpy removals(pane->get_tree_model(), &QAbstractItemModel::rowsAboutToBeRemoved);
    std::vector<QPersistentModelIndex> kept{item_at(0, "alpha/signal_set_1/trigger_1/first")->index()};
    for (int run = 1; run <= 3; ++run)
    {
        select({0});
        press(ACTION_RUN);
        end_all_runs();
        ASSERT_EQ(log_pane(0), pane.data()) << "run " << run;
        for (size_t row = 0; row < kept.size(); ++row)
        {
            ASSERT_TRUE(kept[row].isValid()) << "run " << run;
            EXPECT_EQ(kept[row].row(), int(row)) << "run " << run;
        }
        const QStandardItem* added = item_at(0, QStringLiteral("alpha/signal_set_1/trigger_1/log_%1").arg(run));
        ASSERT_NE(added, nullptr) << "run " << run;
        EXPECT_TRUE(same_icon(added->icon(), 57)) << "run " << run << " shows its log";
        EXPECT_TRUE(same_icon(item_at(0, "alpha/signal_set_1/trigger_1/first")->icon(), 56)) << "run " << run;
        kept.emplace_back(added->index());
    }
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(removals.count(), 0);
}

TEST_F(log_widget_test, renaming_in_place_stores_the_name_at_every_level)
{
    const struct
    {
        const char* item;
        const char* typed;
        const char* renamed;
    } rows[] = {{"alpha/set_a/trigger_a/log_1", "first", "alpha/set_a/trigger_a/first"},
                {"alpha/set_a/trigger_b", "second", "alpha/set_a/second"},
                {"alpha/set_b", "other_set", "alpha/other_set"},
                {"alpha", "renamed", "renamed"}};
    open_two();
    for (const auto& row : rows)
    {
        type_name(0, row.item, row.typed);
        EXPECT_NE(item_at(0, row.renamed), nullptr) << row.item;
        EXPECT_EQ(item_at(0, row.item), nullptr) << row.item;
    }
    EXPECT_STREQ(data_instance(0)->get_name(), "renamed");
    EXPECT_NE(data_instance(0)->m_signal_sets[0]->m_triggers[0]->find_log("first"), nullptr);
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// An empty or taken name leaves the stored one, which the tree shows again once the model's
// signal has returned (rebuilding within it would delete the item being edited).
TEST_F(log_widget_test, a_refused_rename_shows_the_stored_name_again)
{
    open_two();
        QStandardItem* item = item_at(0, "alpha/set_a/trigger_a/log_1");
    item->setText("");
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_1"), item) << "the tree is rebuilt later, not inside the signal";
    refresh();
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_1")->text(), "log_1");
    type_name(0, "alpha/set_a/trigger_a/log_1", "log_2");
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_1")->text(), "log_1");
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().text, "Ignored duplicate name");
    EXPECT_FALSE(m_frame->isWindowModified());
}

TEST_F(log_widget_test, double_clicking_chooses_what_the_editor_shows)
{
    open_two();
    emit log_pane(0)->get_tree()->doubleClicked(item_at(0, "alpha/set_b")->index());
    refresh();
    EXPECT_STREQ(tx()->get_signal_set(), "set_b");
    EXPECT_STREQ(tx()->get_log(), "log_3");
    EXPECT_TRUE(same_icon(item_at(0, "alpha/set_b")->icon(), 61));
    EXPECT_TRUE(same_icon(item_at(0, "alpha/set_a")->icon(), 60));

    emit log_pane(0)->get_tree()->doubleClicked(item_at(0, "alpha/set_a/trigger_a/log_1")->index());
    refresh();
    EXPECT_STREQ(tx()->get_log(), "log_1");
    QStandardItem* shown = item_at(0, "alpha/set_a/trigger_a/log_1");
    emit log_pane(0)->get_tree()->doubleClicked(shown->index());
    EXPECT_EQ(item_at(0, "alpha/set_a/trigger_a/log_1"), shown) << "the shown log: nothing happens";
    emit log_pane(0)->get_tree()->doubleClicked(QModelIndex());
}

TEST_F(log_widget_test, deleting_asks_first_and_removes_deeper_items_before_their_parents)
{
    open_two();
        delete_items(0, {"alpha/set_a/trigger_a/log_1"}, 7);
    EXPECT_NE(item_at(0, "alpha/set_a/trigger_a/log_1"), nullptr) << "No keeps everything";
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().text,
              "This modification to the Vantrel File cannot be undone.  Do you still want to continue?");

    delete_items(0, {"alpha/set_a/trigger_a/log_2", "alpha/set_a/trigger_a", "alpha/set_a/trigger_a/log_1"});
    EXPECT_EQ(tree_paths(0), QStringList({"alpha", "alpha/set_a", "alpha/set_a/trigger_b", "alpha/set_b",
                                             "alpha/set_b/trigger_c", "alpha/set_b/trigger_c/log_3"}));
    delete_items(0, {"alpha/set_b/trigger_c/log_3"});
    EXPECT_EQ(item_at(0, "alpha/set_b/trigger_c/log_3"), nullptr);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(log_widget_test, deleting_the_instance_item_removes_the_instance_and_its_tab)
{
    open_two();
    ASSERT_EQ(m_frame->get_layout_widget()->get_instance_tab_widget()->count(), 2);
    QStandardItemModel* sof_files = m_frame->get_layout_widget()->get_jtag_widget()->get_sof_model();
    const auto sof_columns = [sof_files] {
        QStringList headers;
        for (int column = 1; column < sof_files->columnCount(); ++column)
            headers << sof_files->headerData(column, Qt::Horizontal).toString();
        return headers;
    };
    ASSERT_EQ(sof_columns(), QStringList({"alpha", "beta"}));
    delete_items(0, {"alpha"});
    EXPECT_EQ(tx()->get_num_instances(), 1);
    EXPECT_STREQ(tx()->get_instance(), "beta");
    EXPECT_EQ(tab_titles(m_frame->get_layout_widget()->get_instance_tab_widget()), QStringList{"beta"});
    EXPECT_EQ(sof_columns(), QStringList{"beta"}) << "the programming-file manager drops the deleted instance";
}

// An acquisition writes into its instance's logs and reports by instance index.
TEST_F(log_widget_test, nothing_is_deleted_while_an_acquisition_runs)
{
    open_two();
    compile_and_program();
    select({1});
    press(ACTION_RUN);
    ASSERT_TRUE(tx()->is_any_instance_acquiring());
    const struct
    {
        const char* item;
        const char* message;
    } rows[] = {{"alpha/set_a/trigger_a/log_1", "Cannot perform action -- Vantrel Logic Analyzer data acquisition is in progress"},
                {"alpha", "Cannot delete an instance while acquisition is in progress"}};
    for (const auto& row : rows)
    {
        delete_items(0, {row.item});
        ASSERT_FALSE(standin::msg::shown().empty());
        EXPECT_EQ(standin::msg::shown().back().text, row.message) << row.item;
        EXPECT_NE(item_at(0, row.item), nullptr) << row.item;
    }
    for (const auto& message : standin::msg::shown())
        EXPECT_NE(message.kind, "YN") << "no question is asked: " << message.text;
    EXPECT_EQ(tx()->get_num_instances(), 2);
}

// The pane of an instance that is not current acts on its own instance; the current one stays.
TEST_F(log_widget_test, a_pane_acts_on_its_own_instance_whichever_is_current)
{
    open_two();
    ASSERT_STREQ(tx()->get_instance(), "alpha");
        type_name(1, "beta/signal_set_1/trigger_1", "beta_trigger");
    EXPECT_STREQ(data_instance(1)->m_signal_sets[0]->m_triggers[0]->get_name(), "beta_trigger");
    delete_items(1, {"beta/signal_set_1/beta_trigger/log_b"});
    EXPECT_EQ(data_instance(1)->m_signal_sets[0]->m_triggers[0]->get_num_logs(), 0);
    EXPECT_EQ(data_instance(0)->m_signal_sets[0]->m_triggers[0]->get_num_logs(), 3) << "alpha keeps its logs";
    EXPECT_STREQ(tx()->get_instance(), "alpha");
    delete_items(1, {"beta"});
    EXPECT_EQ(tx()->get_num_instances(), 1);
    EXPECT_STREQ(tx()->get_instance(), "alpha");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// While the power-up view is current, the instance's pane acts on that instance.
TEST_F(log_widget_test, with_the_power_up_view_current_the_pane_acts_on_its_instance)
{
    instance_tree alpha{"alpha", {{"signal_set_1", {{"trigger_1", {"log_1", "log_2"}}}}}};
    alpha.powerup = true;
    open_trees({alpha, {"beta"}});
    tx()->set_instance(1);
    ASSERT_TRUE(tx()->is_powerup_trigger(1));
    delete_items(0, {"alpha/signal_set_1/trigger_1/log_1"});
    EXPECT_EQ(data_instance(0)->m_signal_sets[0]->m_triggers[0]->get_num_logs(), 1);
    EXPECT_TRUE(tx()->is_powerup_trigger(1));
    EXPECT_STREQ(tx()->get_instance(), "alpha");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(log_widget_test, the_commands_act_only_while_the_tree_has_the_focus)
{
    open_two();
        const QList<QAction*> menu = log_pane(0)->get_tree()->actions();
    ASSERT_EQ(menu.size(), 3);
    EXPECT_EQ(menu[0], action_of(ACTION_DELETE));
    EXPECT_EQ(menu[1], action_of(ACTION_LOG_RENAME));
    EXPECT_EQ(menu[2], action_of(ACTION_SELECT_ALL));
    EXPECT_EQ(menu[0]->shortcut(), QKeySequence(QKeySequence::Delete));
    EXPECT_EQ(menu[1]->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(menu[0]->shortcutContext(), Qt::WidgetShortcut);

    select_items(0, {"alpha/set_a/trigger_a/log_1"});
    log_pane(0)->get_tree()->clearFocus();
    action_of(ACTION_DELETE)->trigger();
    action_of(ACTION_SELECT_ALL)->trigger();
    EXPECT_TRUE(standin::msg::shown().empty()) << "no question without the focus";
    EXPECT_EQ(log_pane(0)->get_tree()->selectionModel()->selectedIndexes().size(), 1);
    focus(0);
    action_of(ACTION_SELECT_ALL)->trigger();
    EXPECT_EQ(log_pane(0)->get_tree()->selectionModel()->selectedIndexes().size(), tree_paths(0).size());
    EXPECT_FALSE(action_of(ACTION_LOG_RENAME)->isEnabled()) << "rename takes one item";
}

TEST_F(log_widget_test, a_lock_mode_disables_delete)
{
    open_two();
        select_items(0, {"alpha/set_a/trigger_a/log_1"});
    EXPECT_TRUE(action_of(ACTION_DELETE)->isEnabled());
    EXPECT_TRUE(action_of(ACTION_LOG_RENAME)->isEnabled());
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    select_items(0, {"alpha/set_a/trigger_a/log_1", "alpha/set_b"});
    EXPECT_FALSE(action_of(ACTION_DELETE)->isEnabled());
}

// Box, menu entry and document agree whichever of them changes.
TEST_F(log_widget_test, the_logging_switch_follows_the_menu_and_the_document)
{
    open_two();
    QCheckBox* box = log_pane(0)->get_logging_check_box();
    QAction* logging = action_of(ACTION_LOGGING);
    ASSERT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(logging->isChecked());
    EXPECT_TRUE(tx()->get_logging());
    EXPECT_TRUE(log_pane(1)->get_logging_check_box()->isChecked()) << "every pane's box follows the menu";
    logging->setChecked(false);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(tx()->get_logging());
    SEDQ_REPOSITORY::session(tx())->set_gui_logging(true);
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LOG));
    refresh();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(logging->isChecked());
}
} // namespace
