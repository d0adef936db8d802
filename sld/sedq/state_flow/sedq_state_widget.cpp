// SEDQ_STATE_WIDGET: the editor page, its rebuild on the model's refreshes, and the check.
#include "sedq/state_flow/sedq_state_widget.h"

#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTextCursor>
#include <QVBoxLayout>

#include <memory>

namespace
{
const int CHECK_DELAY_MS = 500;
const int STATES_PER_BLOCK = 64;
} // namespace

SEDQ_STATE_WIDGET::SEDQ_STATE_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    const SEDQ_TITLED_PANE pane = sedq_make_titled_pane(this, tr("State Machine:"));
    QHBoxLayout* header = pane.header;
    header->addSpacing(6);
    m_message_label = new QLabel;
    m_message_label->setTextFormat(Qt::PlainText);
    m_message_label->setWordWrap(true);
    m_message_label->setFixedHeight(22);
    QPalette palette = m_message_label->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, Qt::red);
    m_message_label->setPalette(palette);
    header->addWidget(m_message_label, 1);
    QVBoxLayout* layout = pane.layout;
    m_scroll_area = new QScrollArea;
    m_scroll_area->setFrameShape(QFrame::NoFrame);
    m_scroll_area->setWidgetResizable(true);
    m_scroll_area->setWidget(get_edit_widgets());
    layout->addWidget(m_scroll_area, 1);
    m_check_delay = new SEDQ_TYPING_DELAY(CHECK_DELAY_MS, this);
    connect(m_check_delay, &SEDQ_TYPING_DELAY::due, this, &SEDQ_STATE_WIDGET::on_timer);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_STATE_WIDGET::on_update);
}

QWidget* SEDQ_STATE_WIDGET::get_edit_widgets()
{
    m_editors.clear();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Display mode:")), 0, 0);
    auto* selector = new SEDQ_BOOL_COMBO_BOX;
    selector->addItem(tr("One window per state"));
    selector->addItem(tr("All states in one window"));
    selector->setObjectName(QStringLiteral("display_mode"));
    const bool all_states = m_tx_manager->get_state_display_mode();
    selector->set_current_index(all_states);
    connect(selector, &SEDQ_BOOL_COMBO_BOX::current_index_changed, this, &SEDQ_STATE_WIDGET::on_display_mode);
    grid->addWidget(selector, 0, 1);
    auto add_editor = [this](QBoxLayout* into, const QString& caption, int state, const QString& text) {
        auto* box = new QVBoxLayout;
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        box->addWidget(new QLabel(caption));
        auto* editor = new SEDQ_STATE_TEXT_EDIT(m_tx_manager, m_instance, state);
        editor->load_text(text);
        m_editors.append(editor);
        if (state == -1)
            connect(editor, QOverload<const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed), this,
                    [this, editor](const QString& text) {
                        editor->set_reported_serial(
                            m_tx_manager->set_unified_state_text(text, &editor->get_reported_change()));
                    });
        else
            connect(editor, QOverload<int, const QString&>::of(&SEDQ_STATE_TEXT_EDIT::text_changed), this,
                    &SEDQ_STATE_WIDGET::on_state_text);
        box->addWidget(editor, 1);
        into->addLayout(box, 1);
    };
    if (all_states)
    {
        QString text;
        m_tx_manager->get_unified_state_text_as_typed(&text, m_instance);
        auto* box = new QVBoxLayout;
        add_editor(box, tr("All States:"), -1, text);
        grid->addLayout(box, 1, 0, 1, 3);
        grid->setRowStretch(1, 1);
    }
    else
    {
        // The states stand in blocks of widgets: Qt visits all siblings of a widget it shows or
        // repaints, and a page of thousands of editors side by side would cost the square.
        const int count = m_tx_manager->get_state_count(m_instance);
        for (int first = 0, row = 1; first < count; first += STATES_PER_BLOCK, ++row)
        {
            auto* block = new QWidget;
            auto* box = new QVBoxLayout(block);
            box->setContentsMargins(0, 0, 0, 0);
            box->setSpacing(grid->verticalSpacing());
            const int last = qMin(count, first + STATES_PER_BLOCK);
            for (int state = first; state < last; ++state)
            {
                QString name;
                QString text;
                m_tx_manager->get_state_name(state, &name, m_instance);
                m_tx_manager->get_state_text(state, &text, m_instance);
                add_editor(box, tr("State %1: %2").arg(state + 1).arg(name), state, text);
            }
            grid->addWidget(block, row, 0, 1, 3);
            grid->setRowStretch(row, last - first);
        }
    }
    grid->setColumnStretch(2, 1);
    auto* page = new QWidget;
    page->setLayout(grid);
    return page;
}

// ---- edits -------------------------------------------------------------------------------

void SEDQ_STATE_WIDGET::on_display_mode(bool all_states)
{
    m_tx_manager->set_state_display_mode(all_states);
}

// The model's flow setters are one undoable edit each, with the compile check: a scope around
// them would open a second bracket, and closing the inner one would grey Undo for a moment,
// which relays out the window's toolbars on every key.
void SEDQ_STATE_WIDGET::on_state_text(int state, const QString& text)
{
    m_tx_manager->set_state_text(state, text);
}

// ---- refresh and check -------------------------------------------------------------------

void SEDQ_STATE_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_NODE_VIEW) == 0)
        return;
    if ((hint & SEDQ_UPDATE_REBUILD) != 0 || !load_texts())
    {
        std::unique_ptr<SEDQ_BLOCK> block(SEDQ_BLOCK::is_blocked() ? nullptr : new SEDQ_BLOCK);
        delete m_scroll_area->takeWidget();
        m_scroll_area->setWidget(get_edit_widgets());
    }
    m_check_delay->restart();
}

// An undo or redo comes back as a refresh: editors whose text differs from the model's take it
// again (the editor being typed in already holds it). False when the page no longer fits the
// model's mode or state count and must be rebuilt.
bool SEDQ_STATE_WIDGET::load_texts()
{
    const QList<SEDQ_STATE_TEXT_EDIT*>& editors = m_editors;
    const bool all_states = m_tx_manager->get_state_display_mode();
    const int expected = all_states ? 1 : m_tx_manager->get_state_count(m_instance);
    if (editors.size() != expected || (all_states != (editors.value(0)->get_state() == -1)))
        return false;
    // New names or another lock colour the text otherwise: the editors paint again, and their
    // shown lines are coloured as they paint. The names are read through the highlighters, once
    // a turn for all of them: the paint that follows in this turn reads them no more.
    const int generation = editors.isEmpty() ? 0 : editors.first()->get_highlighter()->rules_generation();
    const bool colours_changed = generation != m_shown_generation;
    m_shown_generation = generation;
    for (SEDQ_STATE_TEXT_EDIT* editor : editors)
    {
        if (colours_changed)
            editor->viewport()->update();
        // The editor of all states holds the text the model took from it last: the model's
        // serial says it still stands, without the two copies compared.
        const quint64 serial = editor->get_state() == -1 ? m_tx_manager->get_unified_text_serial(m_instance) : 0;
        if (serial != 0 && serial == editor->get_reported_serial())
            continue;
        QString text;
        if (editor->get_state() == -1)
            m_tx_manager->get_unified_state_text_as_typed(&text, m_instance);
        else
            m_tx_manager->get_state_text(editor->get_state(), &text, m_instance);
        if (editor->get_text() == text)
            continue;
        const int position = editor->textCursor().position();
        editor->load_text(text);
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(qMin(position, text.size()));
        editor->setTextCursor(cursor);
    }
    return true;
}

QString SEDQ_STATE_WIDGET::message_text(const SEDQ_STATE_MACHINE_ERROR& error, bool all_states)
{
    if (!error.m_is_error)
        return QString();
    if (all_states)
        return tr("%1 (line %2)").arg(error.m_message).arg(error.m_line);
    return tr("%1 (State %2, line %3)").arg(error.m_message).arg(error.m_state + 1).arg(error.m_line_in_state);
}

void SEDQ_STATE_WIDGET::on_timer()
{
    m_tx_manager->check_state_machine(&m_error, m_instance);
    m_message_label->setText(message_text(m_error, m_tx_manager->get_state_display_mode()));
}
