// SEDQ_STATE_TEXT_EDIT: typing, the completion and swap popups, token clicks and painting.
#include "sedq/state_flow/sedq_state_text_edit.h"

#include "host/afcq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"
#include "sedq/state_flow/sedq_flow_document.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAbstractTextDocumentLayout>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>

#include <climits>

namespace
{
const QStringList KIND_WORDS = {"state", "condition", "counter", "flag"};
const int POPUP_DELAY_MS = 500;
const int LONG_LINE = 4096;
// The most lines a text may have for its shown lines to keep their shaping (see paint_colours).
const int MAX_SHAPED_LINES = 2000;
const double METERS_PER_INCH = 0.0254;

SEDQ_TOOLTIPS_DELAY delay_for_key(int key)
{
    if (key == Qt::Key_Shift)
        return SEDQ_TOOLTIPS_DELAY_NONE;
    if (key >= Qt::Key_Home && key <= Qt::Key_PageDown)
        return SEDQ_TOOLTIPS_DELAY_TIMER;
    return SEDQ_TOOLTIPS_DELAY_IMMEDIATE;
}

// "Courier New", 12 points, falling back to any fixed-width face. The family is copied to the
// heap: a string literal's text lives in this library, and Qt's font cache keeps the family of
// every font it resolved until the application ends, after the host has unloaded the library.
QFont flow_font()
{
    QFont font(QString::fromLatin1("Courier New"), 12);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

bool is_navigation_key(int key)
{
    return key >= Qt::Key_Home && key <= Qt::Key_PageDown;
}

// The largest number a flow holds: the hardware compares 32-bit values.
const unsigned FLOW_NUMBER_MAXIMUM = 4294967295u;

// The bits of a decimal number, most significant first, as many as it needs (at least 32).
QString decimal_bits(const QString& digits, int* width)
{
    SEDQ_NUMBER number(digits);
    *width = qMax(32, number.get_trigger_string_width(SDR_GTYPE_UNSIGNED));
    return QString::fromLatin1(SEDQ_NUMBER(digits).get_trigger_string(SDR_GTYPE_UNSIGNED, *width, false));
}

// The characters of a document range as QTextDocument::toPlainText writes them: paragraph,
// line and frame breaks as line feeds, non-breaking spaces as spaces.
QString plain_text_of(QString text)
{
    for (QChar& c : text)
    {
        const ushort u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 || u == 0xfdd1)
            c = QLatin1Char('\n');
        else if (u == QChar::Nbsp)
            c = QLatin1Char(' ');
    }
    return text;
}

// The characters that can make a line read right to left (Qt takes a line's direction from its
// first letter of the kinds R or AL); a surrogate counts, whatever it pairs into.
int right_to_left_in(QStringView text)
{
    int count = 0;
    for (const QChar c : text)
        count += int(c.isSurrogate() || c.direction() == QChar::DirR || c.direction() == QChar::DirAL);
    return count;
}

// Whether bit symbols (most significant first) hold a one above the low 32 bits.
bool wider_than_32_bits(const QString& bits)
{
    return bits.left(qMax(0, bits.size() - 32)).contains(QLatin1Char('1'));
}

// A layout that keeps no glyphs drops them after it draws: drawn clipped to a place above its
// first line, it draws nothing and drops them.
void drop_glyphs(QPainter* painter, QTextLayout* layout)
{
    layout->setCacheEnabled(false);
    layout->draw(painter, QPointF(), {}, QRectF(0, layout->position().y() - 2, 1, 1));
}
} // namespace

void SEDQ_COMPLETER_ITEM_DELEGATE::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QItemDelegate::paint(painter, option, index);
}

QSize SEDQ_COMPLETER_ITEM_DELEGATE::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QItemDelegate::sizeHint(option, index);
    if (KIND_WORDS.contains(index.data().toString()))
        size.rwidth() += 10;
    return size;
}

SEDQ_STATE_TEXT_EDIT::SEDQ_STATE_TEXT_EDIT(SEDQ_TX_MANAGER* tx, int instance, int state)
    : m_tx_manager(tx), m_instance(instance), m_state(state)
{
    setMouseTracking(true);
    setAcceptRichText(false);
    setFont(flow_font());
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 4);
    follow_resolution();
    follow_direction(false);
    m_highlighter = new SEDQ_SYNTAX_HIGHLIGHTER(document(), tx, instance);
    // Colouring the empty document now takes the place of the pass Qt would run over the whole
    // text later, outside any change, laying the document out again for every line it colours:
    // from here on, only changes start passes.
    m_highlighter->rehighlight();
    m_popup_delay = new SEDQ_TYPING_DELAY(POPUP_DELAY_MS, this);
    connect(m_popup_delay, &SEDQ_TYPING_DELAY::due, this, &SEDQ_STATE_TEXT_EDIT::on_timer);
    connect(this, &QTextEdit::cursorPositionChanged, this, &SEDQ_STATE_TEXT_EDIT::follow_cursor);
    connect(document(), &QTextDocument::contentsChange, this, &SEDQ_STATE_TEXT_EDIT::follow_change);
    connect_text(true);
}

// The text goes before the highlighter: a highlighter that leaves takes its colours off every
// line, and the document would be laid out once more for it. Nobody hears of the clearing:
// the model the highlighter reads may already be gone when the window closes.
SEDQ_STATE_TEXT_EDIT::~SEDQ_STATE_TEXT_EDIT()
{
    connect_text(false);
    {
        const QSignalBlocker silent(document());
        document()->setUndoRedoEnabled(false);
        document()->clear();
    }
    delete m_highlighter;
}

// The popups are made on first use: a page of many states holds an editor per state, and
// most of them never open one.
QCompleter* SEDQ_STATE_TEXT_EDIT::get_completer()
{
    if (m_completer == nullptr)
    {
        m_completer = make_completer(true);
        // A pick of a kind word keeps this list open beside the names of that kind.
        disconnect(m_completer, QOverload<const QModelIndex&>::of(&QCompleter::activated), m_completer->popup(),
                   &QWidget::hide);
    }
    return m_completer;
}

QCompleter* SEDQ_STATE_TEXT_EDIT::get_name_completer()
{
    if (m_name_completer == nullptr)
        m_name_completer = make_completer(false);
    return m_name_completer;
}

QCompleter* SEDQ_STATE_TEXT_EDIT::make_completer(bool with_delegate)
{
    auto* completer = new QCompleter(new QStringListModel(this), this);
    completer->setWidget(this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->popup()->installEventFilter(this);
    // A click outside the list is passed on by this editor's filter, never a second time by Qt.
    completer->popup()->setAttribute(Qt::WA_NoMouseReplay);
    if (with_delegate)
        completer->popup()->setItemDelegate(new SEDQ_COMPLETER_ITEM_DELEGATE(completer->popup()));
    connect(completer, QOverload<const QString&>::of(&QCompleter::activated), this,
            &SEDQ_STATE_TEXT_EDIT::on_replace_text);
    return completer;
}

bool SEDQ_STATE_TEXT_EDIT::is_popup_visible() const
{
    return m_completer != nullptr && m_completer->popup()->isVisible();
}

void SEDQ_STATE_TEXT_EDIT::hide_popups()
{
    for (QCompleter* completer : {m_completer, m_name_completer})
        if (completer != nullptr)
            completer->popup()->hide();
}

void SEDQ_STATE_TEXT_EDIT::connect_text(bool on)
{
    if (on)
        connect(this, &QTextEdit::textChanged, this, &SEDQ_STATE_TEXT_EDIT::on_text_changed, Qt::UniqueConnection);
    else
        disconnect(this, &QTextEdit::textChanged, this, &SEDQ_STATE_TEXT_EDIT::on_text_changed);
}

void SEDQ_STATE_TEXT_EDIT::load_text(QString const& text)
{
    connect_text(false);
    wrap_for(text);
    follow_direction(right_to_left_in(text) > 0);
    setPlainText(text);
    m_text_read = false;
    m_reported_serial = 0;
    connect_text(true);
}

void SEDQ_STATE_TEXT_EDIT::insertFromMimeData(const QMimeData* source)
{
    if (source != nullptr && source->hasText() && wordWrapMode() != QTextOption::WrapAnywhere)
        wrap_for(source->text());
    QTextEdit::insertFromMimeData(source);
}

// A line far longer than any statement (a pasted or generated text) is broken anywhere: looking
// for a word boundary in it, line after line, takes the square of its length.
void SEDQ_STATE_TEXT_EDIT::wrap_for(QString const& text)
{
    int longest = 0;
    for (int start = 0; start < text.size() && longest <= LONG_LINE;)
    {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        longest = qMax(longest, end - start);
        start = end + 1;
    }
    setWordWrapMode(longest > LONG_LINE ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// The plain text follows each change of the document: the range Qt reports is taken from the
// document again and put in place of the old one, so a key costs the characters it changed
// and a copy, not a walk over the whole document. Qt counts the document's closing paragraph
// in some changes (a text set whole) on both sides; the range is cut to the text. A range that
// does not leave the text as long as the document's has the text read whole.
void SEDQ_STATE_TEXT_EDIT::follow_change(int from, int removed, int added)
{
    const int length = document()->characterCount() - 1;
    const int past_end = qMax(0, from + removed - m_text.size());
    removed -= past_end;
    added -= past_end;
    if (!m_text_read || from < 0 || removed < 0 || added < 0 || from + added > length ||
        m_text.size() - removed + added != length)
    {
        read_text();
        return;
    }
    QTextCursor range(document());
    range.setPosition(from);
    range.setPosition(from + added, QTextCursor::KeepAnchor);
    const QString inserted = plain_text_of(range.selectedText());
    m_right_to_left += right_to_left_in(inserted) - right_to_left_in(QStringView(m_text).mid(from, removed));
    m_same_start = qMin(m_same_start, from);
    m_same_end = qMin(m_same_end, m_text.size() - from - removed);
    m_text.replace(from, removed, inserted);
}

void SEDQ_STATE_TEXT_EDIT::read_text() const
{
    m_text = toPlainText();
    m_right_to_left = right_to_left_in(m_text);
    m_text_read = true;
    m_same_start = 0;
    m_same_end = 0;
}

const QString& SEDQ_STATE_TEXT_EDIT::get_text() const
{
    if (!m_text_read)
        read_text();
    return m_text;
}

// Qt finds the direction of a line from its first letter that has one, and on every change it
// does so for every line of the text, reading each from its start. A text without a letter
// that reads right to left has every line left to right: the document is told so, and a change
// then costs the lines it touched. Telling it again lays the whole text out once.
void SEDQ_STATE_TEXT_EDIT::follow_direction(bool right_to_left)
{
    const Qt::LayoutDirection direction = right_to_left ? Qt::LayoutDirectionAuto : Qt::LeftToRight;
    QTextOption option = document()->defaultTextOption();
    if (option.textDirection() == direction)
        return;
    option.setTextDirection(direction);
    document()->setDefaultTextOption(option);
}

bool SEDQ_STATE_TEXT_EDIT::is_editing_allowed() const
{
    return m_tx_manager->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL && !m_tx_manager->is_powerup_trigger(-1);
}

SEDQ_DISPLAY_TYPE SEDQ_STATE_TEXT_EDIT::display() const
{
    return m_state == -1 ? SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW : SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE;
}

void SEDQ_STATE_TEXT_EDIT::on_text_changed()
{
    const QString& text = get_text();
    follow_direction(m_right_to_left > 0);
    if (m_state != -1)
    {
        emit text_changed(m_state, text);
        return;
    }
    // What the changes since the last report left at both ends stays out of the change; a text
    // read whole again says nothing of what changed.
    const int shorter = qMin(m_reported_size, text.size());
    const int same_start = qBound(0, m_same_start, shorter);
    const int same_end = qBound(0, m_same_end, shorter - same_start);
    m_reported_change = {same_start + same_end > 0 ? m_reported_serial : 0, m_reported_size,
                         {same_start, m_reported_size - same_start - same_end, text.size() - same_start - same_end}};
    m_same_start = m_same_end = INT_MAX;
    m_reported_size = text.size();
    m_reported_serial = 0;
    emit text_changed(text);
    m_reported_change.serial = 0;
}

// ---- popups --------------------------------------------------------------------------------

QStringList SEDQ_STATE_TEXT_EDIT::proposals(SEDQ_TOOLTIPS_TYPE type) const
{
    return proposals_at(textCursor(), type);
}

QStringList SEDQ_STATE_TEXT_EDIT::proposals_at(const QTextCursor& cursor, SEDQ_TOOLTIPS_TYPE type) const
{
    return sedq_get_proposals(sedq_cursor_context(cursor), SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance), display(),
                              type);
}

QRect SEDQ_STATE_TEXT_EDIT::popup_rect(QCompleter* completer) const
{
    QRect rect = cursorRect();
    QAbstractItemView* popup = completer->popup();
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    return rect;
}

void SEDQ_STATE_TEXT_EDIT::open_popup(QCompleter* completer, QRect rect, int type)
{
    m_completer_type = type;
    if (completer == m_completer)
        m_main_rect = rect;
    completer->complete(rect);
}

// A list that opens at once is made now; the list of a popup that opens when the timer runs out
// is made then, for the cursor of the key that started it: each key typed before restarts the
// timer, so the keys of a word make no list they would throw away.
void SEDQ_STATE_TEXT_EDIT::show_tooltips(SEDQ_TOOLTIPS_DELAY delay)
{
    if (delay == SEDQ_TOOLTIPS_DELAY_NONE || !is_editing_allowed())
        return;
    QCompleter* completer = get_completer();
    if (delay == SEDQ_TOOLTIPS_DELAY_IMMEDIATE)
    {
        const QStringList list = proposals(SEDQ_TOOLTIPS_TYPE_COMPLETION);
        if (!list.isEmpty())
        {
            m_popup_delay->stop();
            static_cast<QStringListModel*>(completer->model())->setStringList(list);
            open_popup(completer, popup_rect(completer), SEDQ_COMPLETER_TYPE_CHECK);
            return;
        }
    }
    completer->popup()->hide();
    m_popup_cursor = textCursor();
    m_popup_delay->restart();
}

void SEDQ_STATE_TEXT_EDIT::on_timer()
{
    if (hasFocus() && is_editing_allowed())
    {
        QCompleter* completer = get_completer();
        static_cast<QStringListModel*>(completer->model())
            ->setStringList(proposals_at(m_popup_cursor.isNull() ? textCursor() : m_popup_cursor,
                                         SEDQ_TOOLTIPS_TYPE_BOTH));
        open_popup(completer, popup_rect(completer), SEDQ_COMPLETER_TYPE_CHECK);
        return;
    }
    hide_popups();
}

QStringList SEDQ_STATE_TEXT_EDIT::swap_list(const QString& word) const
{
    const SEDQ_FLOW_NAMES names = SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance);
    for (const QStringList* list : {&names.states, &names.conditions, &names.flags, &names.counters})
        if (list->contains(word))
            return *list;
    if (word == QLatin1String("&&") || word == QLatin1String("||"))
        return {"&&", "||"};
    static const QStringList relations = {"<", "<=", "==", "!=", ">=", ">"};
    return relations.contains(word) ? relations : QStringList();
}

// The main list stays open (a key that picked from it has closed it: it opens again where it
// was, the kind still current) and the names of the kind open beside it.
void SEDQ_STATE_TEXT_EDIT::open_name_list(const QString& kind)
{
    QCompleter* main = get_completer();
    if (!main->popup()->isVisible())
    {
        main->complete(m_main_rect);
        const QStringList entries = static_cast<QStringListModel*>(main->model())->stringList();
        main->popup()->setCurrentIndex(main->model()->index(entries.indexOf(kind), 0));
    }
    const SEDQ_FLOW_NAMES names = SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance);
    const QStringList* lists[] = {&names.states, &names.conditions, &names.counters, &names.flags};
    QCompleter* name_list = get_name_completer();
    static_cast<QStringListModel*>(name_list->model())->setStringList(*lists[KIND_WORDS.indexOf(kind)]);
    QRect rect = popup_rect(name_list);
    rect.moveLeft(m_main_rect.left() + main->popup()->width() + 1);
    open_popup(name_list, rect, SEDQ_COMPLETER_TYPE_HINT);
}

void SEDQ_STATE_TEXT_EDIT::on_replace_text(const QString& pick)
{
    if (KIND_WORDS.contains(pick))
    {
        open_name_list(pick);
        return;
    }
    const int type = m_completer_type;
    // Only the swap of an underlined token may change a flow that is locked; the highlighter
    // underlines no other token then.
    if (type == SEDQ_COMPLETER_TYPE_COMPLETION || is_editing_allowed())
    {
        bool replace = type == SEDQ_COMPLETER_TYPE_COMPLETION;
        if (type != SEDQ_COMPLETER_TYPE_COMPLETION && type != SEDQ_COMPLETER_TYPE_HINT)
        {
            SEDQ_VERIFY(this->m_completer_type == SEDQ_COMPLETER_TYPE_CHECK);
            replace = !proposals(SEDQ_TOOLTIPS_TYPE_HINT).contains(pick);
        }
        static const QRegularExpression line_end(QStringLiteral("(^begin|^end|;)$"));
        const QString text = line_end.match(pick).hasMatch() ? pick + QLatin1Char('\n') : pick;
        QTextCursor cursor = type == SEDQ_COMPLETER_TYPE_COMPLETION && m_swap_cursor.hasSelection() ? m_swap_cursor
                                                                                                   : textCursor();
        if (replace && !cursor.hasSelection())
            cursor.select(QTextCursor::WordUnderCursor);
        cursor.insertText(text);
        setTextCursor(cursor);
        if (type != SEDQ_COMPLETER_TYPE_COMPLETION)
            show_tooltips(SEDQ_TOOLTIPS_DELAY_TIMER);
    }
    hide_popups();
}

// ---- events ------------------------------------------------------------------------------

// An open list takes every click of the window, and one outside it would only close it: the
// user who clicks another editor, or another place of this one, while a list is offered (one
// that opened late, by the timer, too) means that place. The lists close and the press goes
// to the window under the pointer, which hands it to the widget there and gives that the focus
// as a click does, ahead of the release still to come.
bool SEDQ_STATE_TEXT_EDIT::pass_click_past_popups(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const auto* press = static_cast<QMouseEvent*>(event);
    bool own = false;
    for (QCompleter* completer : {m_completer, m_name_completer})
    {
        QWidget* popup = completer != nullptr ? completer->popup() : nullptr;
        if (popup == nullptr)
            continue;
        own = own || watched == popup;
        if (popup->isVisible() && QRect(popup->mapToGlobal(QPoint()), popup->size()).contains(press->globalPos()))
            return false;
    }
    if (!own)
        return false;
    hide_popups();
    QWidget* target = QApplication::widgetAt(press->globalPos());
    QWindow* window = target != nullptr ? target->window()->windowHandle() : nullptr;
    if (window != nullptr)
    {
        QMouseEvent again(QEvent::MouseButtonPress, window->mapFromGlobal(press->globalPos()), press->globalPos(),
                          press->button(), press->buttons(), press->modifiers());
        QCoreApplication::sendEvent(window, &again);
    }
    return true;
}

bool SEDQ_STATE_TEXT_EDIT::eventFilter(QObject* watched, QEvent* event)
{
    if (pass_click_past_popups(watched, event))
        return true;
    // The scroll area filters its viewport's events from construction on, before the popups exist.
    QAbstractItemView* popup = m_completer != nullptr ? m_completer->popup() : nullptr;
    if (popup != nullptr && watched == popup && event->type() == QEvent::KeyPress && popup->isVisible() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Up && !popup->currentIndex().isValid())
    {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QTextEdit::eventFilter(watched, event);
}

void SEDQ_STATE_TEXT_EDIT::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!is_popup_visible())
    {
        if (is_editing_allowed())
            QTextEdit::keyPressEvent(event);
        show_tooltips(delay_for_key(key));
        return;
    }
    QAbstractItemView* popup = m_completer->popup();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Escape || key == Qt::Key_Shift || (enter && popup->currentIndex().isValid()))
    {
        event->ignore();
        return;
    }
    if (is_navigation_key(key))
        show_tooltips(SEDQ_TOOLTIPS_DELAY_TIMER);
    // The popup forwards the keys it does not use: they reach the text only as typing would.
    if (is_editing_allowed())
        QTextEdit::keyPressEvent(event);
    show_tooltips(SEDQ_TOOLTIPS_DELAY_IMMEDIATE);
}

void SEDQ_STATE_TEXT_EDIT::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    viewport()->setCursor(is_underlined(event->pos(), nullptr) ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

// The document position of the character under `pos` (viewport coordinates); -1 when the
// pointer is beside the text of its line or below the last line.
int SEDQ_STATE_TEXT_EDIT::character_at(QPoint pos) const
{
    const QPointF at = QPointF(pos) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const int hit = layout->hitTest(at, Qt::FuzzyHit);
    const QTextBlock block = document()->findBlock(qMax(0, hit));
    if (hit < 0 || !block.isValid() || block.layout() == nullptr)
        return -1;
    const QPointF in_block = at - layout->blockBoundingRect(block).topLeft();
    for (int i = 0; i < block.layout()->lineCount(); ++i)
    {
        const QTextLine line = block.layout()->lineAt(i);
        if (in_block.y() < line.y() || in_block.y() >= line.y() + line.height())
            continue;
        if (in_block.x() < line.x() || in_block.x() >= line.x() + line.naturalTextWidth())
            return -1;
        return block.position() + line.xToCursor(in_block.x(), QTextLine::CursorOnCharacter);
    }
    return -1;
}

// The swappable token under `pos`, selected in `token`: the rules decide it as they decide
// the line's colours, so a click on any character of "<=" finds all of it.
bool SEDQ_STATE_TEXT_EDIT::token_at(QPoint pos, QTextCursor* token) const
{
    const int at = character_at(pos);
    if (at < 0)
        return false;
    const QTextBlock block = document()->findBlock(at);
    int start = 0;
    int length = 0;
    if (!sedq_swappable_token_at(block.text(), at - block.position(), m_highlighter->rules(), &start, &length))
        return false;
    *token = QTextCursor(block);
    token->setPosition(block.position() + start);
    token->setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
    return true;
}

bool SEDQ_STATE_TEXT_EDIT::is_underlined(QPoint pos, QString* word) const
{
    QTextCursor token;
    if (!token_at(pos, &token))
        return false;
    if (word != nullptr)
        *word = token.selectedText();
    return true;
}

void SEDQ_STATE_TEXT_EDIT::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (textCursor().hasSelection())
        return;
    // The lock and the run-time options are read as they are now.
    QTextCursor token;
    if (!token_at(event->pos(), &token))
    {
        show_tooltips(SEDQ_TOOLTIPS_DELAY_TIMER);
        return;
    }
    m_swap_cursor = token;
    const QString word = token.selectedText();
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    if (number.match(word).hasMatch())
    {
        open_value_dialog(word);
        return;
    }
    const QStringList list = swap_list(word);
    QCompleter* completer = get_completer();
    auto* model = static_cast<QStringListModel*>(completer->model());
    model->setStringList(list);
    open_popup(completer, popup_rect(completer), SEDQ_COMPLETER_TYPE_COMPLETION);
    const int current = list.indexOf(word);
    completer->popup()->setCurrentIndex(current >= 0 ? model->index(current) : QModelIndex());
}

// The dialog shows the number as it stands, however wide. A changed value must fit the 32 bits
// the hardware compares: one typed wider (which the dialog would cut to its width) is refused
// with the range, and the text stays as it was.
void SEDQ_STATE_TEXT_EDIT::open_value_dialog(const QString& word)
{
    int width = 0;
    const QString bits = decimal_bits(word, &width);
    const auto refuse = []() {
        sedq_show_message(MSG_SEDQ::O::VALUE_OUT_OF_RANGE("0", std::to_string(FLOW_NUMBER_MAXIMUM)));
    };
    if (width > SEDQ_NUMBER::MAX_BUS_WIDTH)
    {
        refuse();
        return;
    }
    SEDQ_TRIGGER_VALUE_DLG dialog(bits, width, this, SDR_GTYPE_UNSIGNED);
    // OK turns the typed text into exactly `width` bits: what was typed is read as it is pressed.
    QString typed;
    SDR_DATA_GROUP_DISPLAY_TYPE typed_type = SDR_GTYPE_INVALID;
    connect(dialog.get_ok_button(), &QPushButton::pressed, &dialog, [&dialog, &typed, &typed_type]() {
        typed = dialog.get_value_edit()->text();
        typed_type = dialog.get_display_type();
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = dialog.get_value_edit()->text();
    if (chosen == bits)
        return;
    const bool too_wide = typed_type != SDR_GTYPE_INVALID
                              ? SEDQ_NUMBER(typed).get_trigger_string_width(typed_type) > 32
                              : wider_than_32_bits(chosen);
    if (too_wide || wider_than_32_bits(chosen))
    {
        refuse();
        return;
    }
    m_completer_type = SEDQ_COMPLETER_TYPE_COMPLETION;
    const unsigned value = SEDQ_NUMBER(chosen.right(32)).get_unsigned_value();
    m_swap_cursor.insertText(QString::number(value));
}

// Qt asks the layout's device for its resolution for every line it moves after an edit, and a
// viewport deep in the window answers by walking up to its window each time: the document is
// laid out against an image of the viewport's resolution instead, the same measure, checked
// again before each paint. A change of resolution lays the text out again.
void SEDQ_STATE_TEXT_EDIT::follow_resolution()
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const int x = viewport()->logicalDpiX();
    const int y = viewport()->logicalDpiY();
    const bool ours = layout->paintDevice() == &m_layout_device;
    if (ours && m_layout_device.logicalDpiX() == x && m_layout_device.logicalDpiY() == y)
        return;
    const bool changed = ours || layout->paintDevice() == nullptr ||
                         layout->paintDevice()->logicalDpiX() != x || layout->paintDevice()->logicalDpiY() != y;
    m_layout_device.setDotsPerMeterX(qRound(x / METERS_PER_INCH));
    m_layout_device.setDotsPerMeterY(qRound(y / METERS_PER_INCH));
    layout->setPaintDevice(&m_layout_device);
    if (changed)
        document()->markContentsDirty(0, document()->characterCount());
}

// Qt shapes a line's glyphs again for each use and drops them after: a key shapes the line it
// changed to lay it out, to place the cursor, to paint it and to paint the cursor, each colour
// of the line shaped apart. The line of the cursor keeps its glyphs between uses; the line it
// leaves drops them the next time it is painted.
void SEDQ_STATE_TEXT_EDIT::follow_cursor()
{
    const QTextBlock block = textCursor().block();
    const QTextBlock kept = m_glyphs_kept.block();
    if (kept == block && !m_glyphs_kept.isNull())
        return;
    if (!m_glyphs_kept.isNull() && kept.isValid())
        kept.layout()->setCacheEnabled(false);
    block.layout()->setCacheEnabled(true);
    m_glyphs_kept = QTextCursor(block);
}

void SEDQ_STATE_TEXT_EDIT::paintEvent(QPaintEvent* event)
{
    if (m_tx_manager->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL)
        QPainter(viewport()).fillRect(viewport()->rect(), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    else if (m_tx_manager->is_powerup_trigger(-1))
        QPainter(viewport()).fillRect(viewport()->rect(), SEDQ_POWERUP_BRUSH);
    QTextEdit::paintEvent(event);
}

// Where the document's origin lies in the viewport, as QTextEdit paints it.
QPointF SEDQ_STATE_TEXT_EDIT::document_origin() const
{
    const QScrollBar* across = horizontalScrollBar();
    const int x = isRightToLeft() ? across->maximum() - across->value() : across->value();
    return QPointF(-x, -verticalScrollBar()->value());
}

// The lines a paint of `rect` (viewport coordinates) shows. Only lines laid out count: a long
// text is laid out a part at a time, and a line not laid out yet is not shown either.
bool SEDQ_STATE_TEXT_EDIT::shown_lines(const QRect& rect, QTextBlock* first, QTextBlock* last) const
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const QPointF origin = document_origin();
    const qreal bottom = rect.bottom() - origin.y();
    // The line at the top of the rectangle from the layout alone: a cursor placed there would
    // shape that line to find its x. A key repaints the line of the cursor, which is looked at
    // first; the layout finds any other by walking its lines from the start.
    const QTextBlock at_cursor = textCursor().block();
    const QRectF cursor_bounds = layout->blockBoundingRect(at_cursor);
    const qreal top = rect.top() - origin.y();
    *first = !cursor_bounds.isEmpty() && top >= cursor_bounds.top() && top < cursor_bounds.bottom()
                 ? at_cursor
                 : document()->findBlock(qMax(0, layout->hitTest(QPointF(rect.topLeft()) - origin, Qt::FuzzyHit)));
    *last = QTextBlock();
    for (QTextBlock block = *first; block.isValid(); block = block.next())
    {
        const QRectF bounds = layout->blockBoundingRect(block);
        if (bounds.isEmpty() || bounds.top() > bottom)
            break;
        *last = block;
    }
    return last->isValid();
}

// Before the lines from `first` to `last` are painted, those not coloured for their text and the
// current rules are coloured, and every one keeps its glyphs while it is painted: Qt shapes it to
// paint it, and the colours are painted over the same glyphs (see paint_colours).
void SEDQ_STATE_TEXT_EDIT::highlight_shown(const QTextBlock& first, const QTextBlock& last)
{
    for (QTextBlock block = first; block.isValid(); block = block.next())
    {
        block.layout()->setCacheEnabled(true);
        if (block == last)
            break;
    }
    // Formats set on lines and the layout told of them change no text: nothing is reported.
    m_highlighter->highlight_shown(first, last);
}

// Qt draws the text of a coloured line clear (see SEDQ_SYNTAX_HIGHLIGHTER); its colours are
// painted here, over the glyphs Qt shaped for its own paint. Each key repaints the line typed in,
// and Qt draws the line above it too (the lines that touch the repainted rectangle), shaping
// every line it draws again: the line of the cursor (see follow_cursor) and the lines beside it
// keep their glyphs, and so do all lines shown of the editor being typed in when the text is
// short, so the glyphs held stay within a few thousand lines. The others drop them once painted.
void SEDQ_STATE_TEXT_EDIT::paint_colours(const QRect& rect, const QTextBlock& first, const QTextBlock& last)
{
    QPainter painter(viewport());
    const QPointF origin = document_origin();
    const QColor plain = palette().color(QPalette::Text);
    const QTextCursor cursor = textCursor();
    SEDQ_PAINTED_SELECTION selection;
    selection.colour =
        palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);
    const bool keep = hasFocus() && document()->blockCount() <= MAX_SHAPED_LINES;
    const QTextBlock kept = m_glyphs_kept.isNull() ? QTextBlock() : m_glyphs_kept.block();
    for (QTextBlock block = first; block.isValid(); block = block.next())
    {
        QTextLayout* layout = block.layout();
        const QPointF at = origin + layout->position();
        if (SEDQ_SYNTAX_HIGHLIGHTER::is_painted_by_editor(layout))
        {
            const QVector<QTextLayout::FormatRange> colours = SEDQ_SYNTAX_HIGHLIGHTER::colours_of(block);
            const QString text = block.text();
            selection.from = cursor.selectionStart() - block.position();
            selection.to = cursor.selectionEnd() - block.position();
            for (int i = 0; i < layout->lineCount(); ++i)
            {
                const QTextLine line = layout->lineAt(i);
                const QRectF bounds = line.rect().translated(at);
                if (bounds.bottom() <= rect.top())
                    continue;
                if (bounds.top() > rect.bottom())
                    break;
                sedq_paint_colours(&painter, line, text, at, colours, plain, selection);
            }
        }
        if (!keep && block != kept && block != kept.previous() && block != kept.next())
            drop_glyphs(&painter, layout);
        if (block == last)
            break;
    }
}

// A paint of the viewport lays the text out for the viewport's resolution, colours the lines it
// shows and paints their colours over what QTextEdit painted, still inside the paint event.
bool SEDQ_STATE_TEXT_EDIT::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return QTextEdit::viewportEvent(event);
    follow_resolution();
    const QRect rect = static_cast<QPaintEvent*>(event)->rect();
    QTextBlock first;
    QTextBlock last;
    const bool shown = shown_lines(rect, &first, &last);
    if (shown)
        highlight_shown(first, last);
    const bool done = QTextEdit::viewportEvent(event);
    if (shown)
        paint_colours(rect, first, last);
    return done;
}

void SEDQ_STATE_TEXT_EDIT::contextMenuEvent(QContextMenuEvent* event)
{
    if (is_editing_allowed())
        QTextEdit::contextMenuEvent(event);
}

// The names or the lock may have changed while the editor was hidden: the lines shown are
// coloured again as they are painted.
void SEDQ_STATE_TEXT_EDIT::showEvent(QShowEvent* event)
{
    QTextEdit::showEvent(event);
    viewport()->update();
}
