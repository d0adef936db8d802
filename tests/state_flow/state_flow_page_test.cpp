// The "State-Based Trigger Flow" page of a state-based instance, used as a user would: typing
// in the flow editors, the delayed check and its message, the resources and the diagram's
// state count, each edit undone and redone through the model.
#include "frame/frame_test_support.h"

#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/state_flow/sedq_tree_widget.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace
{
class state_flow_page_test : public frame_test
{
protected:
    void SetUp() override
    {
        m_frame = open_frame(write_document({instance_spec("fsm", 2, 1, {}, true)}));
    }

    template <typename PANE> PANE* pane() const { return m_frame->findChild<PANE*>(); }
    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }

    QList<SEDQ_STATE_TEXT_EDIT*> editors() const
    {
        return pane<SEDQ_STATE_WIDGET>()->findChildren<SEDQ_STATE_TEXT_EDIT*>();
    }

    QString state_text(int state) const
    {
        QString text;
        tx()->get_state_text(state, &text, 0);
        return text;
    }

    void type(SEDQ_STATE_TEXT_EDIT* editor, const char* keys)
    {
        editor->setFocus();
        QTest::keyClicks(editor, keys);
        editor->get_completer()->popup()->hide();
        settle();
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace

TEST_F(state_flow_page_test, typing_edits_the_state_and_undo_and_redo_restore_the_editor)
{
    ASSERT_EQ(editors().size(), 1);
    type(editors().at(0), "goto ST1;");
    EXPECT_EQ(state_text(0), "goto ST1;");
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(state_text(0), "goto ST1");
    EXPECT_EQ(editors().at(0)->toPlainText(), "goto ST1");
    tx()->on_edit_redo();
    settle();
    EXPECT_EQ(state_text(0), "goto ST1;");
    EXPECT_EQ(editors().at(0)->toPlainText(), "goto ST1;");
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
