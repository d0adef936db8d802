// SEDQ_STATE_TEXT_EDIT: typing, the completion and swap popups, token clicks and painting.
#include "sedq/state_flow/sedq_state_text_edit.h"

#include "host/afcq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextLayout>

namespace
{
const QStringList KIND_WORDS = {"state", "condition", "counter", "flag"};
const int POPUP_DELAY_MS = 500;

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
    m_highlighter = new SEDQ_SYNTAX_HIGHLIGHTER(document(), tx, instance);
    m_completer = make_completer(true);
    m_name_completer = make_completer(false);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SEDQ_STATE_TEXT_EDIT::on_timer);
    connect_text(true);
}

SEDQ_STATE_TEXT_EDIT::~SEDQ_STATE_TEXT_EDIT()
{
    connect_text(false);
    delete m_highlighter;
}

QCompleter* SEDQ_STATE_TEXT_EDIT::make_completer(bool with_delegate)
{
    auto* completer = new QCompleter(new QStringListModel(this), this);
    completer->setWidget(this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->popup()->installEventFilter(this);
    if (with_delegate)
        completer->popup()->setItemDelegate(new SEDQ_COMPLETER_ITEM_DELEGATE(completer->popup()));
    connect(completer, QOverload<const QString&>::of(&QCompleter::activated), this,
            &SEDQ_STATE_TEXT_EDIT::on_replace_text);
    return completer;
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
    setPlainText(text);
    connect_text(true);
}

bool SEDQ_STATE_TEXT_EDIT::is_editing_allowed() const
{
    return m_tx_manager->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL && !m_tx_manager->is_powerup_trigger(-1);
}

SEDQ_DISPLAY_TYPE SEDQ_STATE_TEXT_EDIT::display() const
{
    return m_state == -1 ? SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW : SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE;
}

QString SEDQ_STATE_TEXT_EDIT::text_before_cursor() const
{
    return toPlainText().left(textCursor().position());
}

void SEDQ_STATE_TEXT_EDIT::on_text_changed()
{
    const QString text = toPlainText();
    if (m_state == -1)
        emit text_changed(text);
    else
        emit text_changed(m_state, text);
}

// ---- popups --------------------------------------------------------------------------------

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
    completer->complete(rect);
}

void SEDQ_STATE_TEXT_EDIT::show_tooltips(SEDQ_TOOLTIPS_DELAY delay)
{
    if (delay == SEDQ_TOOLTIPS_DELAY_NONE || !is_editing_allowed())
        return;
    m_timer.stop();
    const QString before = text_before_cursor();
    const QString whole = toPlainText();
    QStringList list = sedq_get_tooltip(before, whole, m_tx_manager, m_instance, display(), SEDQ_TOOLTIPS_TYPE_COMPLETION);
    const bool at_once = delay == SEDQ_TOOLTIPS_DELAY_IMMEDIATE && !list.isEmpty();
    if (!at_once)
        list = sedq_get_tooltip(before, whole, m_tx_manager, m_instance, display(), SEDQ_TOOLTIPS_TYPE_BOTH);
    static_cast<QStringListModel*>(m_completer->model())->setStringList(list);
    if (at_once)
    {
        open_popup(m_completer, popup_rect(m_completer), SEDQ_COMPLETER_TYPE_CHECK);
        return;
    }
    m_completer->popup()->hide();
    m_timer.start(POPUP_DELAY_MS);
}

void SEDQ_STATE_TEXT_EDIT::on_timer()
{
    if (hasFocus() && is_editing_allowed())
    {
        open_popup(m_completer, popup_rect(m_completer), SEDQ_COMPLETER_TYPE_CHECK);
        return;
    }
    m_completer->popup()->hide();
    m_name_completer->popup()->hide();
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

void SEDQ_STATE_TEXT_EDIT::on_replace_text(const QString& pick)
{
    if (KIND_WORDS.contains(pick))
    {
        const SEDQ_FLOW_NAMES names = SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance);
        const QStringList* lists[] = {&names.states, &names.conditions, &names.counters, &names.flags};
        static_cast<QStringListModel*>(m_name_completer->model())->setStringList(*lists[KIND_WORDS.indexOf(pick)]);
        QRect rect = popup_rect(m_name_completer);
        rect.translate(m_completer->popup()->width() + 1, 0);
        open_popup(m_name_completer, rect, SEDQ_COMPLETER_TYPE_HINT);
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
            replace = !sedq_get_tooltip(text_before_cursor(), toPlainText(), m_tx_manager, m_instance, display(),
                                        SEDQ_TOOLTIPS_TYPE_HINT)
                           .contains(pick);
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
    m_completer->popup()->hide();
    m_name_completer->popup()->hide();
}

// ---- events ------------------------------------------------------------------------------

bool SEDQ_STATE_TEXT_EDIT::eventFilter(QObject* watched, QEvent* event)
{
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
    QAbstractItemView* popup = m_completer->popup();
    if (!popup->isVisible())
    {
        if (is_editing_allowed())
            QTextEdit::keyPressEvent(event);
        show_tooltips(delay_for_key(key));
        return;
    }
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

bool SEDQ_STATE_TEXT_EDIT::is_underlined(QPoint pos, QString* word) const
{
    const QTextCursor cursor = cursorForPosition(pos);
    const QTextBlock block = cursor.block();
    if (!block.isValid() || block.layout() == nullptr)
        return false;
    const int at = cursor.position() - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
    {
        if (at < range.start || at >= range.start + range.length)
            continue;
        if (word != nullptr)
            *word = block.text().mid(range.start, range.length);
        return range.format.underlineStyle() == QTextCharFormat::SingleUnderline;
    }
    return false;
}

void SEDQ_STATE_TEXT_EDIT::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (textCursor().hasSelection())
        return;
    // The lock and the run-time options may have changed since the line was highlighted: what
    // may be swapped is read from the rules as they are now.
    connect_text(false);
    m_highlighter->rehighlightBlock(cursorForPosition(event->pos()).block());
    connect_text(true);
    QString word;
    if (!is_underlined(event->pos(), &word))
    {
        show_tooltips(SEDQ_TOOLTIPS_DELAY_TIMER);
        return;
    }
    // The click put the cursor in the token: select it whole, so a pick replaces exactly it.
    QTextCursor cursor = cursorForPosition(event->pos());
    const QTextBlock block = cursor.block();
    const int at = cursor.position() - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (at >= range.start && at < range.start + range.length)
        {
            cursor.setPosition(block.position() + range.start);
            cursor.setPosition(block.position() + range.start + range.length, QTextCursor::KeepAnchor);
            break;
        }
    m_swap_cursor = cursor;
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    if (number.match(word).hasMatch())
    {
        open_value_dialog(word);
        return;
    }
    const QStringList list = swap_list(word);
    auto* model = static_cast<QStringListModel*>(m_completer->model());
    model->setStringList(list);
    open_popup(m_completer, popup_rect(m_completer), SEDQ_COMPLETER_TYPE_COMPLETION);
    const int current = list.indexOf(word);
    m_completer->popup()->setCurrentIndex(current >= 0 ? model->index(current) : QModelIndex());
}

void SEDQ_STATE_TEXT_EDIT::open_value_dialog(const QString& word)
{
    const QString bits = QString::number(word.toULongLong(), 2);
    SEDQ_TRIGGER_VALUE_DLG dialog(bits, 32, this, SDR_GTYPE_UNSIGNED);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_completer_type = SEDQ_COMPLETER_TYPE_COMPLETION;
    const unsigned value = SEDQ_NUMBER(dialog.get_value_edit()->text()).get_unsigned_value();
    m_swap_cursor.insertText(QString::number(value));
}

void SEDQ_STATE_TEXT_EDIT::paintEvent(QPaintEvent* event)
{
    if (m_tx_manager->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL)
        QPainter(viewport()).fillRect(viewport()->rect(), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    else if (m_tx_manager->is_powerup_trigger(-1))
        QPainter(viewport()).fillRect(viewport()->rect(), SEDQ_POWERUP_BRUSH);
    QTextEdit::paintEvent(event);
}

void SEDQ_STATE_TEXT_EDIT::contextMenuEvent(QContextMenuEvent* event)
{
    if (is_editing_allowed())
        QTextEdit::contextMenuEvent(event);
}

void SEDQ_STATE_TEXT_EDIT::showEvent(QShowEvent* event)
{
    connect_text(false);
    m_highlighter->rehighlight();
    connect_text(true);
    QTextEdit::showEvent(event);
}
