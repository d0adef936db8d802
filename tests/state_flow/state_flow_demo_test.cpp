// The bundled demo's state-based instance, fsm_uart, used as a user would on its page: a flow
// written state by state, the delayed check of a misspelt name and of the mended flow, the
// diagram's arcs, and the typing undone, redone, saved and opened again.
#include "frame/frame_test_support.h"

#include "host/standin/project_control.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTabWidget>

namespace
{
class state_flow_demo_test : public frame_test
{
protected:
    void SetUp() override
    {
        const QDir examples(QDir(QString(SEDQ_TEST_DATA_DIR)).filePath("../examples"));
        std::string error;
        ASSERT_TRUE(standin::project::load(examples.filePath("standin_project.json").toStdString(), &error)) << error;
        ASSERT_TRUE(QFile::copy(examples.filePath("demo.vtl"), m_dir.filePath("demo.vtl")));
        m_frame = open_frame(m_dir.filePath("demo.vtl"));
        tx()->set_instance("fsm_uart");
        settle();
        for (int i = 0; i < tx()->get_num_instances(); ++i)
            if (QString(tx()->get_instance_name_at(i, nullptr)) == "fsm_uart")
                m_instance = i;
    }

    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }

    SEDQ_STATE_WIDGET* page() const
    {
        for (SEDQ_STATE_WIDGET* page : m_frame->findChildren<SEDQ_STATE_WIDGET*>())
            if (page->get_instance() == m_instance)
                return page;
        return nullptr;
    }

    SEDQ_DIAGRAM_WIDGET* diagram() const
    {
        for (SEDQ_DIAGRAM_WIDGET* diagram : m_frame->findChildren<SEDQ_DIAGRAM_WIDGET*>())
            if (diagram->get_instance() == m_instance)
                return diagram;
        return nullptr;
    }

    SEDQ_STATE_TEXT_EDIT* editor(int state) const
    {
        for (SEDQ_STATE_TEXT_EDIT* editor : page()->findChildren<SEDQ_STATE_TEXT_EDIT*>())
            if (editor->get_state() == state)
                return editor;
        return nullptr;
    }

    // The page's tab brought to the front, as a click on it would.
    void show_page()
    {
        bring_to_front(page());
    }

    // Keys typed at the end of a state's editor, the popup closed afterwards as Escape would.
    void type(int state, const QString& keys)
    {
        SEDQ_STATE_TEXT_EDIT* target = editor(state);
        target->setFocus();
        target->moveCursor(QTextCursor::End);
        QTest::keyClicks(target, keys);
        target->get_completer()->popup()->hide();
        settle();
    }

    // The page's check, run now instead of half a second after the last key.
    QString check()
    {
        page()->on_timer();
        return page()->get_message_label()->text();
    }

    QStringList bodies(SEDQ_TX_MANAGER* manager) const
    {
        QStringList texts;
        for (int state = 0; state < manager->get_state_count(m_instance); ++state)
        {
            QString text;
            manager->get_state_text(state, &text, m_instance);
            texts << text;
        }
        return texts;
    }

    QStringList reopened_bodies()
    {
        const QString saved = m_dir.filePath(QString("saved%1.vtl").arg(++m_copies));
        const QString copy = m_dir.filePath(QString("copy%1.vtl").arg(m_copies));
        if (!tx()->save_document(saved.toLocal8Bit().constData()) || !QFile::copy(saved, copy))
            return {"not saved"};
        SEDQ_FRAME_WND* other = open_frame(copy);
        const QStringList texts = bodies(other->get_tx_manager());
        close_frame(other);
        return texts;
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
    int m_instance = -1;
    int m_copies = 0;
};
} // namespace

TEST_F(state_flow_demo_test, a_flow_for_the_uart_is_written_checked_undone_redone_and_saved)
{
    ASSERT_NE(page(), nullptr);
    show_page();
    ASSERT_TRUE(tx()->is_state_mode());
    const QStringList conditions = tx()->get_condition_names(m_instance);
    ASSERT_EQ(conditions.size(), 2);
    diagram()->get_state_count_selector()->set_current_count(2);
    settle();
    ASSERT_NE(editor(1), nullptr);

    // The demo's first state triggers on level 2: the user replaces that body.
    editor(0)->setFocus();
    editor(0)->selectAll();
    QTest::keyClick(editor(0), Qt::Key_Delete);
    settle();
    EXPECT_EQ(bodies(tx()).value(0), "");
    type(0, "if (" + conditions.at(1) + ") goto ST3;");
    EXPECT_TRUE(check().endsWith("(State 1, line 1)")) << check().toStdString();
    EXPECT_EQ(page()->get_message_label()->palette().color(QPalette::WindowText), QColor(Qt::red));
    for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Backspace})
        QTest::keyClick(editor(0), key);
    type(0, "2;");
    const QString last = "trigger;";
    type(1, last);
    EXPECT_EQ(check(), "");
    const QStringList written = {"if (" + conditions.at(1) + ") goto ST2;", last};
    EXPECT_EQ(bodies(tx()), written);
    EXPECT_TRUE(SEDQ_STATE_LIST_WIDGET::node_of(diagram()->get_state_list()->item(2))->enabled) << "ST2 reachable";

    // The last state was typed key by key, one step per key: undo them all back to the empty box.
    for (int key = 0; key < last.size(); ++key)
        tx()->on_edit_undo();
    settle();
    EXPECT_EQ(bodies(tx()), (QStringList{written.at(0), ""}));
    EXPECT_EQ(editor(1)->toPlainText(), "");
    EXPECT_EQ(reopened_bodies(), (QStringList{written.at(0), "trigger;"})) << "an empty body is saved as before";
    for (int key = 0; key < last.size(); ++key)
        tx()->on_edit_redo();
    settle();
    EXPECT_EQ(bodies(tx()), written);
    EXPECT_EQ(editor(1)->toPlainText(), last);
    EXPECT_EQ(check(), "");
    EXPECT_EQ(reopened_bodies(), written);
}
