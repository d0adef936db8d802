// The "State-Based Trigger Flow" page of a state-based instance, used as a user would: typing
// in the flow editors, the delayed check and its message, the resources and the diagram's
// state count, each edit undone and redone through the model.
#include "state_flow_page_fixture.h"
#include "support/wheel_turn.h"

#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_config_check_box.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/state_flow/sedq_tree_widget.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QStringListModel>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <QTextLayout>

#include <cstring>
#include <functional>

TEST_F(state_flow_page_test, typing_edits_the_state_and_undo_and_redo_restore_the_editor)
{
    ASSERT_EQ(editors().size(), 1);
    QAction* undo = action(m_frame, AFCQ_EDIT_UNDO_ACTION);
    QAction* redo = action(m_frame, AFCQ_EDIT_REDO_ACTION);
    type(editors().at(0), "goto ST1;");
    EXPECT_EQ(state_text(0), "goto ST1;");
    // Each key is a step; the window's Undo and Redo follow them.
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    settle();
    EXPECT_EQ(state_text(0), "goto ST1");
    EXPECT_EQ(editors().at(0)->toPlainText(), "goto ST1");
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    settle();
    EXPECT_EQ(state_text(0), "goto ST1;");
    EXPECT_EQ(editors().at(0)->toPlainText(), "goto ST1;");
    EXPECT_FALSE(redo->isEnabled());
    type(editors().at(0), "x");
    undo->trigger();
    settle();
    EXPECT_TRUE(redo->isEnabled()) << "a key typed after a redo is a step of its own";
    type(editors().at(0), "y");
    EXPECT_FALSE(redo->isEnabled()) << "a key typed after an undo drops what could be redone";
}

TEST_F(state_flow_page_test, the_check_names_the_state_and_line_of_an_error_in_red)
{
    type(editors().at(0), "trigger;");
    QTest::keyClick(editors().at(0), Qt::Key_Return);
    type(editors().at(0), "goto nowhere;");
    SEDQ_STATE_WIDGET* page = pane<SEDQ_STATE_WIDGET>();
    page->on_timer();
    EXPECT_TRUE(page->get_message_label()->text().endsWith("(State 1, line 2)")) << page->get_message_label()->text().toStdString();
    EXPECT_EQ(page->get_message_label()->palette().color(QPalette::WindowText), QColor(Qt::red));

    page->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    ASSERT_EQ(editors().size(), 1);
    EXPECT_EQ(editors().at(0)->get_state(), -1);
    page->on_timer();
    EXPECT_TRUE(page->get_message_label()->text().endsWith("(line 3)")) << page->get_message_label()->text().toStdString();
}

TEST_F(state_flow_page_test, a_locked_flow_takes_no_keys)
{
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    type(editors().at(0), "trigger;");
    EXPECT_EQ(state_text(0), "");
    EXPECT_EQ(editors().at(0)->toPlainText(), "");
}

// The wheel over the resources pane scrolls it: a count changes only once its box has the focus.
TEST_F(state_flow_page_test, the_wheel_turns_a_resource_count_only_with_the_focus)
{
    const auto flags = [this]() { return pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo(); };
    const int before = pane<SEDQ_RESOURCES_WIDGET>()->get_flag_list()->topLevelItemCount();
    sedq_test::turn_wheel(flags(), 1);
    settle();
    EXPECT_EQ(pane<SEDQ_RESOURCES_WIDGET>()->get_flag_list()->topLevelItemCount(), before);
    flags()->setFocus(Qt::TabFocusReason);
    sedq_test::turn_wheel(flags(), 1);
    settle();
    EXPECT_EQ(pane<SEDQ_RESOURCES_WIDGET>()->get_flag_list()->topLevelItemCount(), before + 1);
}

TEST_F(state_flow_page_test, resources_and_state_count_edits_are_undoable_steps)
{
    // The layout may build the page again on a refresh: the panes are looked up each time.
    auto resources = [this]() { return pane<SEDQ_RESOURCES_WIDGET>(); };
    resources()->get_flag_combo()->set_current_count(2);
    settle();
    ASSERT_EQ(tx()->get_flag_count(0), 2);
    ASSERT_EQ(resources()->get_flag_list()->topLevelItemCount(), 2);
    resources()->get_flag_list()->topLevelItem(0)->setText(0, "busy");
    settle();
    EXPECT_EQ(tx()->get_flag_names(0).value(0), "busy");
    resources()->get_counter_combo()->set_current_count(1);
    settle();
    ASSERT_EQ(tx()->get_counter_count(0), 1);
    ASSERT_EQ(resources()->get_counter_list()->topLevelItemCount(), 1);
    resources()->get_counter_list()->topLevelItem(0)->setText(1, "40");
    settle();
    int width = 0;
    tx()->get_counter_name(0, 0, &width, nullptr);
    EXPECT_EQ(width, 32);

    auto diagram = [this]() { return pane<SEDQ_DIAGRAM_WIDGET>(); };
    diagram()->get_state_count_selector()->set_current_count(3);
    settle();
    EXPECT_EQ(tx()->get_state_count(0), 3);
    EXPECT_EQ(diagram()->get_state_list()->count(), 4);
    EXPECT_EQ(editors().size(), 3);

    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(tx()->get_state_count(0), 1);
    EXPECT_EQ(editors().size(), 1);
    tx()->on_edit_undo();
    tx()->on_edit_undo();
    tx()->on_edit_undo();
    settle();
    EXPECT_NE(tx()->get_flag_names(0).value(0), "busy");
    tx()->on_edit_redo();
    settle();
    EXPECT_EQ(tx()->get_flag_names(0).value(0), "busy");
    EXPECT_EQ(resources()->get_flag_list()->topLevelItem(0)->text(0), "busy");
}

TEST_F(state_flow_page_test, renaming_a_flag_renames_it_in_the_flow_as_one_undoable_step)
{
    for (const bool all_states : {false, true})
    {
        SCOPED_TRACE(all_states ? "all states in one window" : "one window per state");
        close_frame(m_frame);
        m_frame = open_frame(write_document({instance_spec("fsm", 2, 1, {}, true)}, all_states ? "all.vtl" : "one.vtl"));
        pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(2);
        settle();
        if (all_states)
        {
            pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
            settle();
        }
        const QString old_name = flag_name(tx(), 0);
        QTextCursor end = editors().at(0)->textCursor();
        end.movePosition(QTextCursor::End);
        editors().at(0)->setTextCursor(end);
        if (all_states)
            QTest::keyClick(editors().at(0), Qt::Key_Return);
        type(editors().at(0), "set ");
        type(editors().at(0), (old_name + "; clear " + old_name + "0;").toLatin1().constData());
        const auto flow = [](SEDQ_TX_MANAGER* manager) {
            QString text;
            manager->get_state_text(0, &text, 0);
            return text;
        };
        const QString before = flow(tx());
        ASSERT_TRUE(before.endsWith("set " + old_name + "; clear " + old_name + "0;")) << before.toStdString();
        EXPECT_EQ(colour_of(editors().at(0), old_name), QColor(Qt::magenta));

        rename_flag(0, "busy");
        QString after = before;
        after.replace("set " + old_name + ";", "set busy;");
        EXPECT_EQ(flow(tx()), after) << "the longer name " << old_name.toStdString() << "0 stays";
        EXPECT_TRUE(editors().at(0)->toPlainText().contains("set busy;"));
        EXPECT_EQ(colour_of(editors().at(0), "busy"), QColor(Qt::magenta));
        EXPECT_EQ(reopened(flow), after);

        tx()->on_edit_undo();
        settle();
        EXPECT_EQ(flag_name(tx(), 0), old_name);
        EXPECT_EQ(flow(tx()), before);
        EXPECT_TRUE(editors().at(0)->toPlainText().contains("set " + old_name + ";"));
        EXPECT_EQ(reopened(flow), before);
        tx()->on_edit_redo();
        settle();
        EXPECT_EQ(flag_name(tx(), 0), "busy");
        EXPECT_EQ(flow(tx()), after);
        EXPECT_EQ(reopened([this](SEDQ_TX_MANAGER* manager) { return flag_name(manager, 0) + ": " + [&] {
                      QString text;
                      manager->get_state_text(0, &text, 0);
                      return text;
                  }(); }),
                  "busy: " + after);
    }
}

TEST_F(state_flow_page_test, names_that_read_as_patterns_highlight_and_return)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(2);
    settle();
    type(editors().at(0), ("set " + flag_name(tx(), 0) + "; set " + flag_name(tx(), 1) + ";").toLatin1().constData());
    // Each rename refreshes the page, and every editor highlights its text again with the new names.
    for (const QString name : {"x*", "a|", ""})
    {
        rename_flag(0, name);
        EXPECT_EQ(flag_name(tx(), 0), name);
        if (!name.isEmpty())
        {
            EXPECT_EQ(colour_of(editors().at(0), name), QColor(Qt::magenta)) << name.toStdString();
        }
    }
    EXPECT_EQ(state_text(0), "set a|; set " + flag_name(tx(), 1) + ";") << "an empty name leaves the text";
    EXPECT_EQ(colour_of(editors().at(0), flag_name(tx(), 1)), QColor(Qt::magenta));
}

// A name that comes or goes without any edit of the text (a flag added or taken away) colours
// every line shown again, those no key touched included.
TEST_F(state_flow_page_test, a_flag_added_or_removed_colours_the_lines_that_name_it)
{
    bring_to_front(editors().at(0));
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(2);
    settle();
    const QString second = flag_name(tx(), 1);
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(1);
    settle();
    type(editors().at(0), ("set " + second + ";").toLatin1().constData());
    QTest::keyClick(editors().at(0), Qt::Key_Return);
    type(editors().at(0), "trigger;");
    EXPECT_NE(colour_of(editors().at(0), second), QColor(Qt::magenta)) << "no flag of that name yet";
    for (const int count : {2, 1, 2})
    {
        pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(count);
        settle();
        EXPECT_EQ(colour_of(editors().at(0), second) == QColor(Qt::magenta), count == 2) << count;
    }
}

TEST_F(state_flow_page_test, every_kind_of_flow_edit_is_undone_and_redone_and_saved_as_shown)
{
    const auto text = [](SEDQ_TX_MANAGER* manager) {
        QString text;
        manager->get_state_text(0, &text, 0);
        return text;
    };
    const struct
    {
        const char* name;
        std::function<void()> edit;
        std::function<QString(SEDQ_TX_MANAGER*)> read;
    } rows[] = {
        {"flow text", [this]() { editors().at(0)->insertPlainText(" trigger;"); }, text},
        {"state count",
         [this]() { pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->set_current_count(3); },
         [](SEDQ_TX_MANAGER* manager) { return QString::number(manager->get_state_count(0)); }},
        {"flag rename", [this]() { rename_flag(0, "ready"); },
         [](SEDQ_TX_MANAGER* manager) { return QString::fromLocal8Bit(manager->get_flag_name(0, 0, nullptr)); }},
        {"runtime option",
         [this]() { pane<SEDQ_RESOURCES_WIDGET>()->get_check_boxes().at(2)->click(); },
         [](SEDQ_TX_MANAGER* manager) {
             return QString::number(manager->is_configurable(SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS, 0));
         }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        close_frame(m_frame);
        m_frame = open_frame(write_document({instance_spec("fsm", 2, 1, {}, true)}, QString(row.name) + ".vtl"));
        pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(1);
        editors().at(0)->insertPlainText("goto ST1;");
        settle();
        const QString before = row.read(tx());
        row.edit();
        settle();
        const QString after = row.read(tx());
        ASSERT_NE(after, before);
        EXPECT_EQ(reopened(row.read), after);
        tx()->on_edit_undo();
        settle();
        EXPECT_EQ(row.read(tx()), before);
        EXPECT_EQ(reopened(row.read), before);
        tx()->on_edit_redo();
        settle();
        EXPECT_EQ(row.read(tx()), after);
        EXPECT_EQ(reopened(row.read), after);
    }
}

TEST_F(state_flow_page_test, two_instances_edit_their_flows_in_turn_and_undo_in_reverse)
{
    close_frame(m_frame);
    m_frame = open_frame(write_document({instance_spec("a", 2, 1, {}, true), instance_spec("b", 2, 1, {}, true)}, "two.vtl"));
    const auto text_of = [this](int instance) {
        QString text;
        tx()->get_state_text(0, &text, instance);
        return text;
    };
    const char* typed[] = {" trigger;", " start_store;"};
    for (int instance : {0, 1})
    {
        tx()->set_instance(instance);
        settle();
        editors(instance).at(0)->insertPlainText("goto ST1;");
        settle();
        editors(instance).at(0)->insertPlainText(typed[instance]);
        settle();
    }
    EXPECT_EQ(text_of(0), "goto ST1; trigger;");
    EXPECT_EQ(text_of(1), "goto ST1; start_store;");
    // Each instance undoes and redoes its own flow; the other's stays as it is.
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(text_of(1), "goto ST1;");
    EXPECT_EQ(text_of(0), "goto ST1; trigger;");
    tx()->set_instance(0);
    settle();
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(text_of(0), "goto ST1;");
    EXPECT_EQ(text_of(1), "goto ST1;");
    EXPECT_EQ(editors(0).at(0)->toPlainText(), "goto ST1;");
    tx()->on_edit_redo();
    settle();
    EXPECT_EQ(text_of(0), "goto ST1; trigger;");
    EXPECT_EQ(text_of(1), "goto ST1;");
    tx()->set_instance(1);
    settle();
    tx()->on_edit_redo();
    settle();
    EXPECT_EQ(text_of(1), "goto ST1; start_store;");
    EXPECT_EQ(editors(1).at(0)->toPlainText(), "goto ST1; start_store;");
    EXPECT_EQ(text_of(0), "goto ST1; trigger;");
}

TEST_F(state_flow_page_test, clicking_a_number_asks_for_its_value_in_the_value_dialog)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_counter_combo()->set_current_count(1);
    settle();
    const QString counter = QString::fromLocal8Bit(tx()->get_counter_name(0, 0, nullptr, nullptr));
    type(editors().at(0), ("if (" + counter + " > 5) trigger;").toLatin1().constData());
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    const QPoint five = token_point(editor, "5");
    int width = 0;
    int display = 0;
    QTimer::singleShot(0, [&width, &display]() {
        auto* dialog = qobject_cast<SEDQ_TRIGGER_VALUE_DLG*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        width = dialog->get_width();
        display = dialog->get_display_type();
        dialog->get_value_edit()->setText("111");
        dialog->accept();
    });
    QString word;
    ASSERT_TRUE(editor->is_underlined(five, &word)) << word.toStdString() << " " << editor->isVisible();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, five);
    settle();
    EXPECT_EQ(width, 32);
    EXPECT_EQ(display, SDR_GTYPE_UNSIGNED);
    EXPECT_EQ(state_text(0), "if (" + counter + " > 7) trigger;");
}

TEST_F(state_flow_page_test, keys_typed_within_the_delay_are_checked_once)
{
    QSignalSpy updates(tx(), &SEDQ_TX_MANAGER::updated);
    const auto checks = [&updates]() {
        int count = 0;
        for (const QList<QVariant>& update : updates)
            count += update.at(1).toInt() == sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES);
        return count;
    };
    type(editors().at(0), "trig");
    type(editors().at(0), "ger;");
    const int typed = checks();
    ASSERT_TRUE(QTest::qWaitFor([&checks, typed]() { return checks() > typed; }, 5000));
    QTest::qWait(700);
    EXPECT_EQ(checks(), typed + 1);
}

TEST_F(state_flow_page_test, a_locked_document_disables_the_count_selectors_and_options)
{
    const auto options = [this]() {
        std::vector<int> bits;
        for (SEDQ_CONFIG_CHECK_BOX* box : pane<SEDQ_RESOURCES_WIDGET>()->get_check_boxes())
            bits.push_back(box->get_option());
        return bits;
    };
    EXPECT_EQ(options(), (std::vector<int>{SCI_RUNTIME_CONFIG_GOTO_STATE, SCI_RUNTIME_CONFIG_COMPARISON_VALUES,
                                           SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS,
                                           SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS}));
    EXPECT_TRUE(pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->isEnabled());
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    EXPECT_FALSE(pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->isEnabled());
    EXPECT_FALSE(pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->isEnabled());
    for (SEDQ_CONFIG_CHECK_BOX* box : pane<SEDQ_RESOURCES_WIDGET>()->get_check_boxes())
        EXPECT_FALSE(box->isEnabled()) << box->text().toStdString();
}

TEST_F(state_flow_page_test, clicking_a_logical_operator_offers_the_other_one)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(2);
    settle();
    const QString text = "if (" + flag_name(tx(), 0) + " && " + flag_name(tx(), 1) + ") trigger;";
    editors().at(0)->insertPlainText(text);
    settle();
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, token_point(editor, "&&"));
    settle();
    auto* offered = qobject_cast<QStringListModel*>(editor->get_completer()->model());
    ASSERT_NE(offered, nullptr);
    EXPECT_EQ(offered->stringList(), (QStringList{"&&", "||"}));
    EXPECT_TRUE(editor->get_completer()->popup()->isVisible());
    emit editor->get_completer()->activated(QString("||"));
    settle();
    QString swapped = text;
    swapped.replace("&&", "||");
    EXPECT_EQ(state_text(0), swapped);

    // Locked, with the logical operators not configurable at run time, the operator is no swap.
    editor->get_completer()->popup()->hide();
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, token_point(editor, "||"));
    settle();
    EXPECT_FALSE(editor->get_completer()->popup()->isVisible());
    EXPECT_EQ(state_text(0), swapped);
}

TEST_F(state_flow_page_test, undoing_to_an_empty_body_shows_it_empty_and_saves_it_as_before)
{
    const auto unified = [](SEDQ_TX_MANAGER* manager) {
        QString text;
        manager->get_unified_state_text(&text, 0);
        return text;
    };
    pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->set_current_count(2);
    settle();
    editors().at(0)->insertPlainText("goto ST2;");
    settle();
    // What the file holds for the second state's empty body, before anything is typed there.
    const QString saved_before = reopened(unified);
    ASSERT_TRUE(saved_before.endsWith("state ST2:\ntrigger;")) << saved_before.toStdString();

    editors().at(1)->insertPlainText("goto ST1;");
    settle();
    const QString saved_after = reopened(unified);
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round == 0 ? "first undo" : "undo after a redo");
        tx()->on_edit_undo();
        settle();
        EXPECT_EQ(state_text(1), "");
        EXPECT_EQ(editors().at(1)->toPlainText(), "");
        EXPECT_EQ(state_text(0), "goto ST2;");
        EXPECT_EQ(reopened(unified), saved_before);
        tx()->on_edit_redo();
        settle();
        EXPECT_EQ(state_text(1), "goto ST1;");
        EXPECT_EQ(editors().at(1)->toPlainText(), "goto ST1;");
        EXPECT_EQ(reopened(unified), saved_after);
    }
    // Typing what the file writes for an empty body is still an edit of its own.
    tx()->on_edit_undo();
    settle();
    editors().at(1)->insertPlainText("trigger;");
    settle();
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(editors().at(1)->toPlainText(), "");
}

TEST_F(state_flow_page_test, showing_an_editor_again_reports_no_change)
{
    type(editors().at(0), "goto ST1;");
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    QSignalSpy whole(editor, QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed));
    QSignalSpy per_state(editor, QOverload<int, const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed));
    QSignalSpy updates(tx(), &SEDQ_TX_MANAGER::updated);
    editor->hide();
    settle();
    editor->show();
    settle();
    EXPECT_EQ(whole.count() + per_state.count(), 0);
    EXPECT_EQ(updates.count(), 0);
    EXPECT_EQ(state_text(0), "goto ST1;");
}

TEST_F(state_flow_page_test, keys_reach_no_locked_flow_through_an_open_popup)
{
    type(editors().at(0), "goto ST1;");
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    editor->setFocus();
    QTextCursor end = editor->textCursor();
    end.movePosition(QTextCursor::End);
    editor->setTextCursor(end);
    static_cast<QStringListModel*>(editor->get_completer()->model())->setStringList({"goto", "trigger;"});
    editor->get_completer()->complete();
    QAbstractItemView* popup = editor->get_completer()->popup();
    ASSERT_TRUE(popup->isVisible());
    // The popup hands the keys it does not use to the editor: typing, deleting, a new line.
    QTest::keyClicks(popup, " trigger;");
    for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab})
        QTest::keyClick(popup, key);
    settle();
    EXPECT_EQ(editor->toPlainText(), "goto ST1;");
    EXPECT_EQ(state_text(0), "goto ST1;");
}

TEST_F(state_flow_page_test, a_locked_or_acquiring_instance_restores_a_renamed_flag_and_disables_the_controls)
{
    const struct
    {
        const char* name;
        std::function<void(SEDQ_TX_MANAGER*)> hold;
    } rows[] = {
        {"locked", [](SEDQ_TX_MANAGER* manager) { manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true); }},
        {"acquiring",
         [](SEDQ_TX_MANAGER* manager) {
             manager->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
             // The refresh the instance manager sends when a run of the shown instance starts.
             manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NO_REPAINT |
                                                           SEDQ_UPDATE_TRIGGER_CANVAS | SEDQ_UPDATE_NODE_VIEW));
         }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        close_frame(m_frame);
        m_frame = open_frame(write_document({instance_spec("fsm", 2, 1, {}, true)}, QString(row.name) + ".vtl"));
        pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(1);
        settle();
        const QString name = flag_name(tx(), 0);
        row.hold(tx());
        settle();
        rename_flag(0, "busy");
        EXPECT_EQ(flag_name(tx(), 0), name);
        EXPECT_EQ(pane<SEDQ_RESOURCES_WIDGET>()->get_flag_list()->topLevelItem(0)->text(0), name);
        EXPECT_FALSE(pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->isEnabled());
        EXPECT_FALSE(pane<SEDQ_RESOURCES_WIDGET>()->get_counter_combo()->isEnabled());
        EXPECT_FALSE(pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->isEnabled());
        for (SEDQ_CONFIG_CHECK_BOX* box : pane<SEDQ_RESOURCES_WIDGET>()->get_check_boxes())
            EXPECT_FALSE(box->isEnabled()) << box->text().toStdString();
    }
    tx()->set_instance_acq_state(0, 0);
}

TEST_F(state_flow_page_test, the_diagram_shows_the_state_the_acquired_data_reports)
{
    const struct
    {
        const char* name;
        int reported;
        const char* shown;
    } rows[] = {{"the second state", 1, "State 2: ST2"}, {"no state", -1, ""}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        instance_spec machine("fsm", 2, 1, {}, true, false, 0);
        machine.log_state_value = row.reported;
        close_frame(m_frame);
        m_frame = open_frame(write_document({machine}, QString(row.name) + ".vtl"));
        SEDQ_DIAGRAM_WIDGET* diagram = pane<SEDQ_DIAGRAM_WIDGET>();
        diagram->get_state_count_selector()->set_current_count(3);
        settle();
        diagram = pane<SEDQ_DIAGRAM_WIDGET>();
        EXPECT_EQ(diagram->get_current_state_field()->text(), row.shown);
        // Row 0 of the list holds the Start box; state i is row i + 1.
        for (int row_index = 0; row_index < diagram->get_state_list()->count(); ++row_index)
            EXPECT_EQ(SEDQ_STATE_LIST_WIDGET::node_of(diagram->get_state_list()->item(row_index))->current,
                      row.reported >= 0 && row_index == row.reported + 1)
                << "row " << row_index;
    }
}

// The diagram reads only around each key: after every key typed, and every undo of them, its
// arcs are those a full read of the states' texts gives.
TEST_F(state_flow_page_test, the_diagram_follows_every_key_and_undo_of_a_goto)
{
    SEDQ_DIAGRAM_WIDGET* diagram = pane<SEDQ_DIAGRAM_WIDGET>();
    diagram->get_state_count_selector()->set_current_count(3);
    settle();
    diagram = pane<SEDQ_DIAGRAM_WIDGET>();
    const auto shown_arcs = [this]() {
        QVector<QVector<int>> arcs;
        QListWidget* list = pane<SEDQ_DIAGRAM_WIDGET>()->get_state_list();
        for (int row = 1; row < list->count(); ++row)
        {
            arcs.append(QVector<int>());
            for (SEDQ_STATE* next : SEDQ_STATE_LIST_WIDGET::node_of(list->item(row))->next)
                for (int target = 1; target < list->count(); ++target)
                    if (SEDQ_STATE_LIST_WIDGET::node_of(list->item(target)) == next)
                        arcs.last().append(target - 1);
        }
        return arcs;
    };
    const auto read_arcs = [this]() {
        return sedq_state_transitions(tx()->get_state_names(0), tx()->get_state_texts(0));
    };
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    editor->setFocus();
    int keys = 0;
    for (const char* keys_typed : {"goto ST3; ", "goto ST2;"})
        for (const char* key = keys_typed; *key != 0; ++key, ++keys)
        {
            QTest::keyClicks(editor, QString(QLatin1Char(*key)));
            editor->get_completer()->popup()->hide();
            settle();
            EXPECT_EQ(shown_arcs(), read_arcs()) << "after " << keys + 1 << " keys";
        }
    // Deleting the first letter unmakes the first goto; the second stays.
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClick(editor, Qt::Key_Delete);
    settle();
    EXPECT_EQ(shown_arcs(), read_arcs()) << "after deleting the g";
    EXPECT_EQ(shown_arcs().at(0), QVector<int>{1});
    EXPECT_TRUE(SEDQ_STATE_LIST_WIDGET::node_of(diagram->get_state_list()->item(2))->enabled) << "ST2 reachable";
    for (int undo = 0; undo <= keys; ++undo)
    {
        tx()->on_edit_undo();
        settle();
        EXPECT_EQ(shown_arcs(), read_arcs()) << "after " << undo + 1 << " undo steps";
    }
    EXPECT_EQ(shown_arcs(), QVector<QVector<int>>(3));
}

// A key typed in one state of the flow of all states changes that state's text alone: the list
// of every state's text stays where it is, not copied whole (an entry per state, thousands of
// them) for the diagram that read it before the key. Nor is the flow's text copied: the model
// changes its own text where it stands and holds none of the editor's, which the editor then
// changes in place on the next key.
TEST_F(state_flow_page_test, a_key_typed_in_one_state_copies_neither_the_flow_nor_the_list_of_all_states)
{
    pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->set_current_count(3);
    settle();
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    ASSERT_EQ(editors().size(), 1);
    SEDQ_STATE_TEXT_EDIT* editor = editors().at(0);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    type(editor, "goto ST1;");
    const QStringList& texts = tx()->get_state_machine_object(0)->state_text_list();
    ASSERT_EQ(texts.size(), 3);
    const QString* first = &texts.at(0);
    for (const char* key = "goto ST2;"; *key != 0; ++key)
    {
        type(editor, QByteArray(1, *key).constData());
        EXPECT_EQ(&texts.at(0), first) << "after '" << *key << "'";
        EXPECT_TRUE(editor->get_text().isDetached()) << "after '" << *key << "'";
        QString held;
        tx()->get_unified_state_text_as_typed(&held, 0);
        EXPECT_EQ(held, editor->toPlainText()) << "after '" << *key << "'";
    }
    EXPECT_TRUE(texts.at(2).endsWith("goto ST1;goto ST2;")) << texts.at(2).toStdString();
    // The state's body, which the diagram does not hold, is changed where it stands too.
    const QChar* body = nullptr;
    for (int key = 0; key < 6; ++key)
    {
        QTest::keyClick(editor, key % 2 == 0 ? Qt::Key_X : Qt::Key_Backspace);
        settle();
        if (key > 0)
            EXPECT_EQ(texts.at(2).constData(), body) << "key " << key;
        body = texts.at(2).constData();
    }
    EXPECT_TRUE(texts.at(2).endsWith("goto ST1;goto ST2;")) << texts.at(2).toStdString();
}

// Saving and every undo step read the flow; a read must not turn the empty body of a state
// into the "trigger;" the file writes for it, which the next rename would then keep.
TEST_F(state_flow_page_test, renaming_a_flag_after_a_save_leaves_an_empty_body_empty)
{
    pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->set_current_count(2);
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(1);
    settle();
    editors().at(0)->insertPlainText("set " + flag_name(tx(), 0) + "; goto ST2;");
    settle();
    ASSERT_TRUE(tx()->save_document(m_dir.filePath("saved.vtl").toLocal8Bit().constData()));
    rename_flag(0, "busy");
    EXPECT_EQ(state_text(0), "set busy; goto ST2;");
    EXPECT_EQ(state_text(1), "");
    EXPECT_EQ(editors().at(1)->toPlainText(), "");
}
