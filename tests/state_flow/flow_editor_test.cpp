// The flow editor under the pointer and the keyboard: swapping an operator by a click on any of
// its characters, the completion list that stays open beside the names of a kind, the names the
// host gives proposed as any other, a flow number that does not fit 32 bits, a counter's initial
// value of any length, and an emptied editor that stays empty.
#include "state_flow_page_fixture.h"

#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTextEdit>
#include <QTimer>

#include <tuple>

namespace
{
class flow_editor_test : public state_flow_page_test
{
protected:
    SEDQ_STATE_TEXT_EDIT* editor() const { return editors().at(0); }
    QAbstractItemView* popup() { return editor()->get_completer()->popup(); }
    QStringList offered() { return static_cast<QStringListModel*>(editor()->get_completer()->model())->stringList(); }

    // Whether the proposals open within the popup delay and a little more.
    bool popup_opens() { return QTest::qWaitFor([this]() { return popup()->isVisible(); }, 2000); }
    // Escape closes the list, as a user would; focus goes back to the editor.
    void close_popup()
    {
        if (popup()->isVisible())
            QTest::keyClick(popup(), Qt::Key_Escape);
        settle();
    }

    // The flow replaced as a user pastes it over a selection of all. The offscreen platform
    // leaves no window active after a popup closed, where a window manager would give the
    // activation back: the window is activated again, as a click on it would.
    void paste(const QString& text)
    {
        QApplication::setActiveWindow(m_frame);
        editor()->setFocus();
        editor()->selectAll();
        editor()->insertPlainText(text);
        settle();
    }

    // The editor paints what the same text loaded again, the cursor where it was, paints.
    void expect_paints_as_laid_out_afresh()
    {
        const QImage typed = editor()->viewport()->grab().toImage();
        const int position = editor()->textCursor().position();
        editor()->load_text(editor()->toPlainText());
        QTextCursor again(editor()->document());
        again.setPosition(position);
        editor()->setTextCursor(again);
        settle();
        EXPECT_EQ(editor()->viewport()->grab().toImage(), typed);
    }

    // The flow `text` in the editor of all states, shown, its cursor (drawn with no width) at the
    // end of line `line` and the keyboard's focus on it.
    void edit_at_line_end(const QString& text, int line)
    {
        pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
        settle();
        paste(text);
        bring_to_front(editor());
        editor()->setCursorWidth(0);
        QTextCursor cursor(editor()->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor()->setTextCursor(cursor);
        editor()->setFocus();
    }

    // Where a click lands on character `at` of the text.
    QPoint character_point(int at)
    {
        token_point(editor(), editor()->toPlainText().left(1));
        QTextCursor cursor(editor()->document());
        cursor.setPosition(at);
        return editor()->cursorRect(cursor).center() + QPoint(3, 0);
    }

    // A click on an entry of a completer's list (it lists its model unfiltered, in order).
    void click_entry(QCompleter* completer, const QString& entry)
    {
        QAbstractItemView* list = completer->popup();
        const int row = static_cast<QStringListModel*>(completer->model())->stringList().indexOf(entry);
        const QModelIndex index = list->model()->index(row, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(index).center());
        settle();
    }

    QString counter_name() const { return QString::fromLocal8Bit(tx()->get_counter_name(0, 0, nullptr, nullptr)); }

    // What the value dialog showed and what the window showed after it, when a click on
    // `number` is answered by typing `typed` (nothing: unchanged) and pressing OK.
    QString answer_value_dialog(const QString& number, const char* typed)
    {
        const QPoint at = character_point(editor()->toPlainText().indexOf(number));
        QString shown = "no dialog";
        QTimer::singleShot(0, [&shown, typed]() {
            auto* dialog = qobject_cast<SEDQ_TRIGGER_VALUE_DLG*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            shown = dialog->get_value_edit()->text();
            if (typed != nullptr)
                dialog->get_value_edit()->setText(typed);
            QTest::mouseClick(dialog->get_ok_button(), Qt::LeftButton);
        });
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        settle();
        return shown;
    }
};
} // namespace

TEST_F(flow_editor_test, a_click_on_any_character_of_an_operator_offers_it_whole_and_the_pick_replaces_it_whole)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_counter_combo()->set_current_count(1);
    settle();
    const QStringList relations{"<", "<=", "==", "!=", ">=", ">"};
    const struct
    {
        const char* name;
        const char* written;
        int character;
        const char* picked;
    } rows[] = {
        {"the < of <=", "<=", 0, ">"},
        {"the = of <=", "<=", 1, "=="},
        {"the ! of !=", "!=", 0, "<"},
        {"the second = of ==", "==", 1, ">="},
        {"a lone >", ">", 0, "<="},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const QString head = "if (" + counter_name() + " ";
        paste(head + row.written + " 5) trigger;");
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          character_point(head.size() + row.character));
        settle();
        ASSERT_TRUE(popup()->isVisible());
        EXPECT_EQ(offered(), relations);
        EXPECT_EQ(popup()->currentIndex().data().toString(), QString(row.written));
        click_entry(editor()->get_completer(), row.picked);
        EXPECT_EQ(state_text(0), head + row.picked + " 5) trigger;");
        EXPECT_FALSE(popup()->isVisible());
    }
}

TEST_F(flow_editor_test, picking_a_kind_word_keeps_the_list_open_beside_the_names_of_that_kind)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(2);
    settle();
    const QStringList flags = tx()->get_flag_names(0);
    for (const bool by_keys : {true, false})
    {
        SCOPED_TRACE(by_keys ? "picked with the keys" : "picked with the pointer");
        paste("");
        QTest::keyClicks(editor(), "if (");
        ASSERT_TRUE(popup_opens());
        ASSERT_TRUE(offered().contains("flag")) << offered().join(", ").toStdString();
        if (by_keys)
        {
            while (popup()->currentIndex().data().toString() != "flag")
                QTest::keyClick(popup(), Qt::Key_Down);
            QTest::keyClick(popup(), Qt::Key_Return);
        }
        else
            click_entry(editor()->get_completer(), "flag");
        settle();
        QAbstractItemView* names = editor()->get_name_completer()->popup();
        EXPECT_TRUE(popup()->isVisible());
        EXPECT_EQ(popup()->currentIndex().data().toString(), "flag");
        ASSERT_TRUE(names->isVisible());
        EXPECT_EQ(static_cast<QStringListModel*>(editor()->get_name_completer()->model())->stringList(), flags);
        EXPECT_GT(names->geometry().left(), popup()->geometry().left()) << "beside the main list";
        if (by_keys)
        {
            QTest::keyClick(names, Qt::Key_Down);
            QTest::keyClick(names, Qt::Key_Down);
            QTest::keyClick(names, Qt::Key_Return);
        }
        else
            click_entry(editor()->get_name_completer(), flags.at(1));
        settle();
        EXPECT_EQ(state_text(0), "if (" + flags.at(1));
        EXPECT_FALSE(names->isVisible());
        close_popup();
    }
}

// The host names a new flag "flag1", a counter "counter1" and a level "Condition 1": what may
// follow them is proposed as after the names of the default forms.
// An offered list never takes a click meant for the text: with the list that opens late after a
// line break still up, a click into the next state's editor puts the cursor there, and what is
// typed next goes into that state.
TEST_F(flow_editor_test, a_click_beside_an_open_list_reaches_the_editor_under_the_pointer)
{
    pane<SEDQ_DIAGRAM_WIDGET>()->get_state_count_selector()->set_current_count(2);
    settle();
    ASSERT_EQ(editors().size(), 2);
    bring_to_front(editor());
    QApplication::setActiveWindow(m_frame);
    editor()->setFocus();
    QTest::keyClicks(editor(), "if (" + tx()->get_condition_names(0).value(0).toLatin1() + ") trigger;");
    QTest::keyClick(editor(), Qt::Key_Return);
    // The offscreen platform leaves no window active once a list has closed; a window manager
    // gives the activation back.
    QApplication::setActiveWindow(m_frame);
    editor()->setFocus();
    editor()->on_timer(); // its timer runs out
    ASSERT_TRUE(popup()->isVisible());
    EXPECT_TRUE(offered().contains("else ")) << offered().join(",").toStdString();

    SEDQ_STATE_TEXT_EDIT* second = editors().at(1);
    const QPoint at = second->viewport()->mapTo(m_frame, second->viewport()->rect().center());
    QTest::mouseClick(m_frame->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    settle();
    EXPECT_FALSE(popup()->isVisible());
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), "goto ST1;");
    settle();
    EXPECT_EQ(state_text(1), "goto ST1;");
    EXPECT_FALSE(state_text(0).contains("goto")) << state_text(0).toStdString();
}

TEST_F(flow_editor_test, what_follows_the_names_the_host_gives_is_proposed)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_flag_combo()->set_current_count(1);
    pane<SEDQ_RESOURCES_WIDGET>()->get_counter_combo()->set_current_count(1);
    settle();
    const QString flag = tx()->get_flag_names(0).value(0);
    const QString counter = counter_name();
    const QString condition = tx()->get_condition_names(0).value(0);
    ASSERT_EQ(flag, "flag1");
    ASSERT_EQ(condition, "Condition 1");
    const struct
    {
        QString typed;
        QStringList proposed;
    } rows[] = {
        {"increment " + counter + " ", {";"}},
        {"if (" + counter + " ", {"<", "<=", "==", ">=", ">"}},
        {"set " + flag + " ", {";"}},
        {"if (" + flag + " ", {"&&", "||", ")"}},
        {"if (" + condition + " ", {"&&", "||", ")"}},
        {"if (!" + condition + " && " + flag + " ", {"&&", "||", ")"}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.typed.toStdString());
        paste("");
        QTest::keyClicks(editor(), row.typed.toLatin1().constData());
        ASSERT_TRUE(popup_opens());
        EXPECT_EQ(offered(), row.proposed);
        close_popup();
    }
}

// The proposals at the end of a long state follow all of it: the begin-end block its first line
// opens, the statements it already holds, and an edit of that first line.
TEST_F(flow_editor_test, the_proposals_at_the_end_of_a_long_state_follow_an_edit_of_its_first_line)
{
    QString body = "if (Condition 1) begin\n";
    for (int line = 0; line < 3000; ++line)
        body += "goto ST1;\n";
    paste(body);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor(), "trigger; ");
    ASSERT_TRUE(popup_opens());
    EXPECT_EQ(offered(), (QStringList{"start_store;", "stop_store;", "segment_trigger;", "increment ", "decrement ",
                                      "clear ", "set ", "reset ", "end"}))
        << "in the block: neither goto nor trigger again";
    close_popup();

    QApplication::setActiveWindow(m_frame);
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_End);
    for (int key = 0; key < 6; ++key)
        QTest::keyClick(editor(), Qt::Key_Backspace);
    close_popup();
    ASSERT_TRUE(state_text(0).startsWith("if (Condition 1)\ngoto ST1;"));
    QApplication::setActiveWindow(m_frame);
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Space);
    ASSERT_TRUE(popup_opens());
    EXPECT_EQ(offered(), (QStringList{"else ", "else if ("})) << "no block left: the if may go on";
    close_popup();
}

TEST_F(flow_editor_test, a_flow_number_is_never_changed_to_fit_32_bits)
{
    pane<SEDQ_RESOURCES_WIDGET>()->get_counter_combo()->set_current_count(1);
    settle();
    const QString range = "Enter a value between 0 and 4294967295";
    const struct
    {
        const char* name;
        const char* written;
        const char* typed; // nullptr: confirmed as shown
        const char* stored;
        bool refused;
    } rows[] = {
        {"37 bits confirmed unchanged", "99999999999", nullptr, "99999999999", false},
        {"25 digits confirmed unchanged", "1234567890123456789012345", nullptr, "1234567890123456789012345", false},
        {"33 bits typed", "5", "4294967296", "5", true},
        {"the largest value typed", "5", "4294967295", "4294967295", false},
        {"a wide number made small", "99999999999", "12", "12", false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const QString head = "if (" + counter_name() + " > ";
        paste(head + row.written + ") trigger;");
        standin::msg::reset();
        const QString shown = answer_value_dialog(row.written, row.typed);
        EXPECT_EQ(shown, QString(row.written)) << "the dialog shows the number as written";
        EXPECT_EQ(state_text(0), head + row.stored + ") trigger;");
        const bool refused = !standin::msg::shown().empty() && standin::msg::shown().back().text == range.toStdString();
        EXPECT_EQ(refused, row.refused);
    }
}

TEST_F(flow_editor_test, a_counter_initial_value_of_any_length_is_clamped_into_its_range)
{
    SEDQ_RESOURCES_WIDGET* resources = pane<SEDQ_RESOURCES_WIDGET>();
    resources->get_counter_combo()->set_current_count(1);
    settle();
    const struct
    {
        const char* typed;
        unsigned stored;
    } rows[] = {{"123456789012345678901234", 4294967295u}, {"99999999999", 4294967295u}, {"17", 17u}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.typed);
        pane<SEDQ_RESOURCES_WIDGET>()->get_counter_list()->topLevelItem(0)->setText(2, row.typed);
        settle();
        unsigned initial = 0;
        tx()->get_counter_name(0, 0, nullptr, &initial);
        EXPECT_EQ(initial, row.stored);
        EXPECT_EQ(pane<SEDQ_RESOURCES_WIDGET>()->get_counter_list()->topLevelItem(0)->text(2),
                  QString::number(row.stored));
    }
}

// A letter typed over a selected letter keeps the flow's length: a different letter is an edit
// the model takes, the same letter over itself is none (Undo goes back past it).
TEST_F(flow_editor_test, a_letter_typed_over_a_letter_is_an_edit_only_when_it_differs)
{
    const auto unified = [this]() {
        QString text;
        tx()->get_unified_state_text_as_typed(&text, 0);
        return text;
    };
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    const QString pasted = "state ST1:\ngoto ST1;\n\nstate ST2:\ntrigger;";
    paste(pasted);
    const auto type_over = [this](int at, Qt::Key key) {
        QTextCursor cursor(editor()->document());
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
        QTest::keyClick(editor(), key);
        close_popup();
    };
    type_over(13, Qt::Key_X);
    const QString changed = editor()->toPlainText();
    ASSERT_EQ(changed, "state ST1:\ngoxo ST1;\n\nstate ST2:\ntrigger;");
    EXPECT_EQ(unified(), changed);
    type_over(13, Qt::Key_X);
    EXPECT_EQ(editor()->toPlainText(), changed);
    type_over(33, Qt::Key_G);
    EXPECT_EQ(unified(), "state ST1:\ngoxo ST1;\n\nstate ST2:\ngrigger;");
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(unified(), changed);
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(unified(), pasted) << "the same letter typed over itself was no edit to undo";
}

TEST_F(flow_editor_test, an_emptied_flow_stays_empty_in_the_editor_and_is_the_default_state)
{
    const auto unified = [](SEDQ_TX_MANAGER* manager) {
        QString text;
        manager->get_unified_state_text(&text, 0);
        return text;
    };
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    paste("state ST1:\ngoto ST1;");
    const QString before = unified(tx());
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Delete);
    close_popup();
    pane<SEDQ_STATE_WIDGET>()->on_timer();
    settle();
    EXPECT_EQ(editor()->toPlainText(), "");
    EXPECT_EQ(unified(tx()), "state ST1:\r\ntrigger;") << "the flow is one state that triggers";
    EXPECT_EQ(reopened(unified), "state ST1:\ntrigger;") << "the file holds a flow of one state";
    EXPECT_EQ(editor()->toPlainText(), "") << "saving leaves the editor as it is";

    QTest::keyClicks(editor(), "s");
    close_popup();
    EXPECT_EQ(editor()->toPlainText(), "s");
    tx()->on_edit_undo();
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(unified(tx()), before);
    EXPECT_EQ(editor()->toPlainText(), before);
}

// A flow of thousands of lines is coloured where it is shown: the lines scrolled to are
// coloured as they come into view, and colouring them reports no change of the text.
TEST_F(flow_editor_test, a_long_flow_is_coloured_where_it_is_shown)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    QString text = "state ST1:\n";
    for (int line = 0; line < 3000; ++line)
        text += QString("if (Condition 1) goto ST1; // line %1\n").arg(line);
    paste(text);
    token_point(editor(), "state");
    QSignalSpy changes(editor(), QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed));
    const auto goto_colour = [this](int line) {
        const QTextBlock block = editor()->document()->findBlockByNumber(line);
        for (const QTextLayout::FormatRange& range : SEDQ_SYNTAX_HIGHLIGHTER::colours_of(block))
            if (block.text().mid(range.start, range.length).trimmed() == "goto")
                return range.format.foreground().color();
        return QColor();
    };
    for (const int line : {2990, 1500, 40})
    {
        SCOPED_TRACE(line);
        QTextCursor cursor(editor()->document()->findBlockByNumber(line));
        editor()->setTextCursor(cursor);
        editor()->ensureCursorVisible();
        editor()->viewport()->repaint();
        settle();
        EXPECT_EQ(goto_colour(line), QColor(Qt::blue));
    }
    EXPECT_EQ(changes.count(), 0);
}

// The text the editor reports follows every kind of change as the document gives it whole:
// keys and line breaks, a paste over a selection, line ends of every kind, non-breaking and
// paragraph separators, the editor's own undo and a text set whole. The model holds it too.
// The change reported with it, where it names the text reported before, turns that text into
// this one.
TEST_F(flow_editor_test, the_reported_text_is_the_documents_after_every_kind_of_change)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    paste("state ST1:\nif (Condition 1) goto ST1;\n\nstate ST2:\ntrigger;");
    const auto select = [this](int from, int to) {
        QTextCursor cursor(editor()->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
    };
    const auto key = [this](Qt::Key k) { QTest::keyClick(editor(), k); };
    const struct
    {
        const char* name;
        std::function<void()> change;
    } rows[] = {
        {"a letter typed mid line", [&]() { select(14, 14), key(Qt::Key_X); }},
        {"Backspace joining two lines", [&]() { select(11, 11), key(Qt::Key_Backspace); }},
        {"Return splitting a line", [&]() { select(5, 5), key(Qt::Key_Return); }},
        {"Delete over a selection of lines", [&]() { select(3, 30), key(Qt::Key_Delete); }},
        {"a paste with every kind of line end",
         [&]() { select(2, 2), editor()->insertPlainText("a\r\nb\rc\nd\u2029e\u2028f"); }},
        {"a non-breaking space typed", [&]() { select(4, 4), editor()->insertPlainText("\u00a0"); }},
        {"the editor's own undo", [&]() { editor()->undo(); }},
        {"the editor's own redo", [&]() { editor()->redo(); }},
        {"all selected and typed over", [&]() { editor()->selectAll(), key(Qt::Key_Q); }},
        {"the first character deleted", [&]() { select(0, 0), key(Qt::Key_Delete); }},
        {"a text set whole", [&]() { editor()->setPlainText("state ST1:\r\ntrigger;\n"); }},
        {"a letter typed at the end", [&]() { editor()->moveCursor(QTextCursor::End), key(Qt::Key_Z); }},
    };
    editor()->setFocus();
    QSignalSpy reports(editor(), QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed));
    QString reported = editor()->toPlainText();
    quint64 serial = editor()->get_reported_serial();
    int changes_told = 0;
    // Connected after the page, which has the model take the text first and give its serial.
    QObject::connect(editor(), QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed), editor(),
            [&](const QString& text) {
                const SEDQ_TEXT_CHANGE_FROM& told = editor()->get_reported_change();
                if (told.serial != 0)
                {
                    ++changes_told;
                    EXPECT_EQ(told.serial, serial);
                    EXPECT_EQ(told.before_size, reported.size());
                    ASSERT_TRUE(told.holds_between(serial, reported.size(), text));
                    const SEDQ_TEXT_CHANGE& change = told.change;
                    EXPECT_EQ(reported.left(change.at) + text.mid(change.at, change.inserted) +
                                  reported.mid(change.at + change.removed),
                              text);
                }
                serial = editor()->get_reported_serial();
                EXPECT_NE(serial, 0u) << "the model holds the text";
                reported = text;
            });
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        row.change();
        close_popup();
        ASSERT_FALSE(reports.isEmpty());
        EXPECT_EQ(reports.takeLast().at(0).toString(), editor()->toPlainText());
        EXPECT_EQ(editor()->get_text(), editor()->toPlainText());
        QString held;
        tx()->get_unified_state_text_as_typed(&held, 0);
        EXPECT_EQ(held, editor()->toPlainText());
    }
    EXPECT_GE(changes_told, 8) << "the keys and pastes say what they changed";
}

// Each line is laid out in the direction Qt finds from its first letter (what a plain text
// document gives each line is what the layout is told): a line opening with a right-to-left
// letter, typed, pasted or brought back by undo, lays out right to left, and every line is left
// to right again once the last such letter is gone.
TEST_F(flow_editor_test, a_line_opening_with_a_right_to_left_letter_reads_right_to_left)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    paste("state ST1:\ntrigger;\n// note");
    const auto at_line = [this](int line) {
        QTextCursor cursor(editor()->document()->findBlockByNumber(line));
        editor()->setTextCursor(cursor);
    };
    // Letters beyond ASCII come as an input method gives them: key events carrying their text.
    const auto type_text = [this](const QString& text) {
        for (const QChar c : text)
        {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor(), &key);
        }
    };
    const struct
    {
        const char* name;
        std::function<void()> change;
        bool all_left_to_right;
    } rows[] = {
        {"a Hebrew word typed opening a line", [&]() { at_line(1), type_text("\u05e9\u05dc\u05d5\u05dd "); }, false},
        {"an Arabic comment pasted",
         [&]() { at_line(2), editor()->insertPlainText("\u0645\u0644\u0627\u062d\u0638\u0629\n"); }, false},
        {"undone through the model", [&]() { tx()->on_edit_undo(), settle(); }, false},
        {"the Hebrew word deleted",
         [&]() {
             at_line(1);
             for (int key = 0; key < 5; ++key)
                 QTest::keyClick(editor(), Qt::Key_Delete);
         },
         true},
        {"a left-to-right letter typed before a right-to-left one", [&]() { at_line(0), type_text("x\u05d0"); }, false},
    };
    editor()->setFocus();
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        row.change();
        close_popup();
        QTextDocument auto_direction;
        auto_direction.setPlainText(editor()->toPlainText());
        for (int line = 0; line < auto_direction.blockCount(); ++line)
        {
            const QTextBlock block = editor()->document()->findBlockByNumber(line);
            EXPECT_EQ(block.textDirection(), auto_direction.findBlockByNumber(line).textDirection())
                << "line " << line << ": " << block.text().toStdString();
        }
        EXPECT_EQ(editor()->document()->defaultTextOption().textDirection() == Qt::LeftToRight, row.all_left_to_right)
            << "the layout is told every line is left to right exactly while no right-to-left letter is left";
    }
}

// A change colours its own lines before they are laid out: after every kind of edit each line
// shown holds the colours its text gives, and the lines a change did not touch keep theirs.
TEST_F(flow_editor_test, every_line_shows_the_colours_of_its_text_after_each_edit)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    paste("state ST1:\nif (Condition 1) goto ST2;\n\nstate ST2:\ntrigger;\nincrement counter1;");
    bring_to_front(editor());
    const auto at = [this](int line, int column) {
        QTextCursor cursor(editor()->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column);
        editor()->setTextCursor(cursor);
    };
    const struct
    {
        const char* name;
        std::function<void()> change;
    } rows[] = {
        {"a keyword typed", [&]() { at(2, 0), QTest::keyClicks(editor(), "goto ST1;"); }},
        // The key renames the state, which colours its header and its gotos otherwise.
        {"a state's header renamed", [&]() { at(3, 9), QTest::keyClicks(editor(), "X"); }},
        {"a goto to the renamed state", [&]() { at(2, 9), QTest::keyClicks(editor(), " goto ST2X;"); }},
        {"a line joined to the one before", [&]() { at(3, 0), QTest::keyClick(editor(), Qt::Key_Backspace); }},
        {"a line split", [&]() { at(1, 3), QTest::keyClick(editor(), Qt::Key_Return); }},
        {"lines pasted", [&]() { at(0, 0), editor()->insertPlainText("trigger;\nstate ST3:\nset flag1;\n"); }},
        {"a selection over lines deleted", [&]() {
             at(1, 2);
             QTextCursor cursor = editor()->textCursor();
             cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 3);
             editor()->setTextCursor(cursor);
             QTest::keyClick(editor(), Qt::Key_Delete);
         }},
        {"the editor's own undo", [&]() { editor()->undo(); }},
    };
    editor()->setFocus();
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        row.change();
        close_popup();
        editor()->viewport()->repaint();
        const QVector<SEDQ_HIGHLIGHT_RULE>& rules = editor()->get_highlighter()->rules();
        for (QTextBlock block = editor()->document()->begin(); block.isValid(); block = block.next())
        {
            const auto expected = sedq_format_runs(sedq_highlight_line(block.text(), rules), block.text());
            const auto shown = SEDQ_SYNTAX_HIGHLIGHTER::colours_of(block);
            EXPECT_TRUE(SEDQ_SYNTAX_HIGHLIGHTER::is_painted_by_editor(block.layout()))
                << block.text().toStdString();
            ASSERT_EQ(shown.size(), expected.size()) << block.text().toStdString();
            for (int i = 0; i < shown.size(); ++i)
            {
                EXPECT_EQ(shown[i].start, expected[i].start) << block.text().toStdString();
                EXPECT_EQ(shown[i].length, expected[i].length) << block.text().toStdString();
                EXPECT_EQ(shown[i].format, expected[i].format) << block.text().toStdString();
            }
        }
    }
}

// The line of the cursor keeps its glyphs between uses: after keys that change its text and its
// colours, and the cursor moved away and back, the editor paints what a text laid out afresh
// paints.
TEST_F(flow_editor_test, the_cursor_line_paints_as_a_text_laid_out_afresh)
{
    edit_at_line_end("state ST1:\nif (Condition 1) goto ST1;\ntrigger;", 1);
    QTest::keyClicks(editor(), " else goto ST1;");
    QTest::keyClick(editor(), Qt::Key_Backspace);
    QTest::keyClick(editor(), Qt::Key_Up);
    QTest::keyClick(editor(), Qt::Key_Down);
    QTest::keyClicks(editor(), "; set fl");
    close_popup();
    expect_paints_as_laid_out_afresh();
}

// The editor paints the colours of its lines over the glyphs Qt shaped: underlined names, a
// selection over part of a name, a line wrapped, a line read right to left in part and a line
// scrolled into view paint as a plain QTextEdit paints the same text given the same colours as
// formats of its lines.
TEST_F(flow_editor_test, coloured_lines_paint_as_qt_paints_their_colours_as_formats)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    QString text = "state ST1:\nif (Condition 1 && !flag1) goto ST1; // \u05e9\u05dc\u05d5\u05dd "
                   "\u05e2\u05d5\u05dc\u05dd\nelse if (counter1 >= 4 || flag1) set flag1;\n";
    text += "if (" + QString("Condition 1 && ").repeated(30) + "flag1) trigger;\n";
    for (int line = 0; line < 60; ++line)
        text += QString("if (Condition 1) trigger; // %1\n").arg(line);
    paste(text);
    bring_to_front(editor());
    editor()->setCursorWidth(0);
    QTextEdit plain;
    plain.setFont(editor()->font());
    plain.setTabStopDistance(editor()->tabStopDistance());
    plain.setCursorWidth(0);
    plain.setPlainText(editor()->toPlainText());
    plain.resize(editor()->size());
    plain.show();
    const auto paint_both = [&](int from, int to, int scrolled) {
        for (QTextEdit* edit : {static_cast<QTextEdit*>(editor()), &plain})
        {
            QTextCursor cursor(edit->document());
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            edit->verticalScrollBar()->setValue(scrolled);
        }
        editor()->viewport()->repaint();
        QTextBlock line = plain.document()->begin();
        for (QTextBlock shown = editor()->document()->begin(); shown.isValid(); shown = shown.next())
        {
            line.layout()->setFormats(SEDQ_SYNTAX_HIGHLIGHTER::colours_of(shown));
            line = line.next();
        }
        plain.document()->markContentsDirty(0, plain.document()->characterCount());
        settle();
        return std::make_pair(editor()->viewport()->grab().toImage(), plain.viewport()->grab().toImage());
    };
    const int name = text.indexOf("flag1");
    const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {name + 2, name + 30, 0}, {0, 0, 1000}};
    for (const auto& [from, to, scrolled] : cases)
    {
        SCOPED_TRACE(QString("selected %1-%2, scrolled %3").arg(from).arg(to).arg(scrolled).toStdString());
        const auto [painted, expected] = paint_both(from, to, scrolled);
        ASSERT_EQ(painted.size(), expected.size());
        EXPECT_EQ(painted, expected);
        // Not two blank pictures: the names show in their colour.
        bool magenta = false;
        for (int y = 0; y < painted.height() && !magenta; ++y)
            for (int x = 0; x < painted.width() && !magenta; ++x)
                magenta = painted.pixelColor(x, y) == QColor(Qt::magenta);
        EXPECT_TRUE(magenta);
    }
}

// Text composed through an input method shows while it is composed (Qt paints the line then)
// and is coloured as typed text once committed.
TEST_F(flow_editor_test, text_composed_through_an_input_method_shows_and_is_coloured_when_committed)
{
    edit_at_line_end("state ST1:\nif (Condition 1) trigger;\n", 1);
    editor()->viewport()->repaint();
    const QImage before = editor()->viewport()->grab().toImage();
    QInputMethodEvent composing(" goto ST1; goto ST1;", {});
    QApplication::sendEvent(editor(), &composing);
    editor()->viewport()->repaint();
    settle();
    EXPECT_NE(editor()->viewport()->grab().toImage(), before);
    QInputMethodEvent commit;
    commit.setCommitString(" goto ST1;");
    QApplication::sendEvent(editor(), &commit);
    close_popup();
    editor()->viewport()->repaint();
    const QTextBlock line = editor()->document()->findBlockByNumber(1);
    EXPECT_EQ(line.text(), "if (Condition 1) trigger; goto ST1;");
    EXPECT_TRUE(SEDQ_SYNTAX_HIGHLIGHTER::is_painted_by_editor(line.layout()));
    EXPECT_EQ(colour_of(editor(), "goto"), QColor(Qt::blue));
}

// The lines shown keep their glyphs too: when a name typed on the last line gives a line above
// other colours, and lines move down under a line split, the editor still paints what a text
// laid out afresh paints.
TEST_F(flow_editor_test, the_shown_lines_paint_as_a_text_laid_out_afresh_when_their_colours_change)
{
    pane<SEDQ_STATE_WIDGET>()->findChild<SEDQ_BOOL_COMBO_BOX*>("display_mode")->setCurrentIndex(1);
    settle();
    paste("state ST1:\nif (Condition 1) goto ST3;\ntrigger;\n");
    bring_to_front(editor());
    editor()->setCursorWidth(0);
    editor()->setFocus();
    editor()->viewport()->repaint();
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor(), "state ST3:");
    close_popup();
    QTest::keyClick(editor(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Return);
    close_popup();
    editor()->viewport()->repaint();
    expect_paints_as_laid_out_afresh();
}
