#pragma once
// The fixture of the flow page tests: a window on a document with one state-based instance,
// its panes and editors, typing, clicks on tokens, and a save opened again in a second window.
#include "frame/frame_test_support.h"

#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"
#include "sedq/state_flow/sedq_tree_widget.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>

class state_flow_page_test : public frame_test
{
protected:
    void SetUp() override
    {
        m_frame = open_frame(write_document({instance_spec("fsm", 2, 1, {}, true)}));
    }

    template <typename PANE> PANE* pane() const { return m_frame->findChild<PANE*>(); }
    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }

    QList<SEDQ_STATE_TEXT_EDIT*> editors(int instance = 0) const
    {
        for (SEDQ_STATE_WIDGET* page : m_frame->findChildren<SEDQ_STATE_WIDGET*>())
            if (page->get_instance() == instance)
                return page->findChildren<SEDQ_STATE_TEXT_EDIT*>();
        return {};
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

    QString flag_name(SEDQ_TX_MANAGER* manager, int flag) const
    {
        return QString::fromLocal8Bit(manager->get_flag_name(flag, 0, nullptr));
    }

    // What `read` gives of the document saved now and opened again in a second window. Saving
    // makes the saved file the window's own, so the second window opens a copy of it.
    QString reopened(const std::function<QString(SEDQ_TX_MANAGER*)>& read)
    {
        const QString saved = m_dir.filePath(QString("saved%1.vtl").arg(++m_copies));
        const QString copy = m_dir.filePath(QString("copy%1.vtl").arg(m_copies));
        if (!tx()->save_document(saved.toLocal8Bit().constData()) || !QFile::copy(saved, copy))
            return "not saved";
        SEDQ_FRAME_WND* other = open_frame(copy);
        const QString value = read(other->get_tx_manager());
        close_frame(other);
        return value;
    }

    void rename_flag(int flag, const QString& name)
    {
        pane<SEDQ_RESOURCES_WIDGET>()->get_flag_list()->topLevelItem(flag)->setText(0, name);
        settle();
    }

    // The colour the editor's highlighter gave to the first `word` of its text as a token of its
    // own; invalid when none. A run may go on over blanks and the tokens of its colour after
    // them, never over a character touching the word.
    static QColor colour_of(SEDQ_STATE_TEXT_EDIT* editor, const QString& word)
    {
        for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next())
        {
            const QString text = block.text();
            const int at = text.indexOf(word);
            if (at < 0)
                continue;
            const int end = at + word.size();
            for (const QTextLayout::FormatRange& range : SEDQ_SYNTAX_HIGHLIGHTER::colours_of(block))
            {
                if (range.start > at || range.start + range.length < end)
                    continue;
                const bool joined = (at > range.start && !text.at(at - 1).isSpace()) ||
                                    (end < range.start + range.length && !text.at(end).isSpace());
                return joined ? QColor() : range.format.foreground().color();
            }
            return QColor();
        }
        return QColor();
    }

    // Where a click lands on the first `token` of the editor's text, with the page's tab brought
    // to the front so that the editor is laid out there.
    static QPoint token_point(SEDQ_STATE_TEXT_EDIT* editor, const QString& token)
    {
        bring_to_front(editor);
        QTextCursor at(editor->document());
        at.setPosition(editor->toPlainText().indexOf(token));
        return editor->cursorRect(at).center() + QPoint(2, 0);
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
    int m_copies = 0;
};
