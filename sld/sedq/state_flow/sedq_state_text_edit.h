#pragma once
// The editor of one state's flow body (state >= 0) or of the unified text of all states
// (state -1). It colours the text, offers what may follow in a completion popup while the user
// types, lets a click swap an underlined token (a name, an operator, a number through the value
// dialog), and reports every change of its text through text_changed. While the flow is locked
// or the power-up trigger is shown, no key and no popup pick changes the text except the swap
// of a token that stays configurable at run time.
// The work of one key follows the line and the state being edited: the plain text follows each
// change, the proposals read the lines of the current state only, lines are coloured when they
// are shown, and a text without right-to-left letters is laid out left to right without Qt
// looking for each line's direction. The two popups are made when first needed.

#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/state_flow/sedq_flow_language.h"
#include "sedq/state_flow/sedq_typing_delay.h"

#include <QImage>
#include <QItemDelegate>
#include <QTextCursor>
#include <QTextEdit>

class QCompleter;
class QStringListModel;
class QTextBlock;
class SEDQ_SYNTAX_HIGHLIGHTER;
class SEDQ_TX_MANAGER;

enum SEDQ_TOOLTIPS_DELAY
{
    SEDQ_TOOLTIPS_DELAY_NONE = 1,
    SEDQ_TOOLTIPS_DELAY_IMMEDIATE = 16,
    SEDQ_TOOLTIPS_DELAY_TIMER = 17
};

enum SEDQ_COMPLETER_TYPE
{
    SEDQ_COMPLETER_TYPE_COMPLETION = 1,
    SEDQ_COMPLETER_TYPE_HINT = 16,
    SEDQ_COMPLETER_TYPE_CHECK = 17
};

// Draws the completion popup's entries; a kind word that opens a second list gets room for it.
class SEDQ_COMPLETER_ITEM_DELEGATE : public QItemDelegate
{
    Q_OBJECT
public:
    using QItemDelegate::QItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class SEDQ_STATE_TEXT_EDIT : public QTextEdit
{
    Q_OBJECT
public:
    SEDQ_STATE_TEXT_EDIT(SEDQ_TX_MANAGER* tx, int instance, int state);
    ~SEDQ_STATE_TEXT_EDIT() override;

    void show_tooltips(SEDQ_TOOLTIPS_DELAY delay);
    bool is_underlined(QPoint pos, QString* word) const;
    // Sets the text without reporting it.
    void load_text(QString const& text);
    bool is_editing_allowed() const;
    // The plain text, as QTextDocument::toPlainText gives it: read whole once, then kept up to
    // date with each change.
    const QString& get_text() const;

    // While text_changed is sent: how the text differs from the text reported before it.
    const SEDQ_TEXT_CHANGE_FROM& get_reported_change() const { return m_reported_change; }
    // Whoever took the text reported says under which serial the model holds it (0: it does
    // not), for the next change to be known from it.
    void set_reported_serial(quint64 serial) { m_reported_serial = serial; }
    quint64 get_reported_serial() const { return m_reported_serial; }

    int get_state() const { return m_state; }
    QCompleter* get_completer();
    QCompleter* get_name_completer();
    SEDQ_SYNTAX_HIGHLIGHTER* get_highlighter() const { return m_highlighter; }

Q_SIGNALS:
    void text_changed(const QString& text);
    void text_changed(int state, const QString& text);

public Q_SLOTS:
    void on_text_changed();
    void on_timer();
    void on_replace_text(const QString& pick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    QCompleter* make_completer(bool with_delegate);
    bool is_popup_visible() const;
    void hide_popups();
    bool pass_click_past_popups(QObject* watched, QEvent* event);
    SEDQ_DISPLAY_TYPE display() const;
    QStringList proposals(SEDQ_TOOLTIPS_TYPE type) const;
    QStringList proposals_at(const QTextCursor& cursor, SEDQ_TOOLTIPS_TYPE type) const;
    QRect popup_rect(QCompleter* completer) const;
    void open_popup(QCompleter* completer, QRect rect, int type);
    void open_name_list(const QString& kind);
    int character_at(QPoint pos) const;
    bool token_at(QPoint pos, QTextCursor* token) const;
    void open_value_dialog(const QString& word);
    QStringList swap_list(const QString& word) const;
    void connect_text(bool on);
    void wrap_for(QString const& text);
    QPointF document_origin() const;
    bool shown_lines(const QRect& rect, QTextBlock* first, QTextBlock* last) const;
    void highlight_shown(const QTextBlock& first, const QTextBlock& last);
    void paint_colours(const QRect& rect, const QTextBlock& first, const QTextBlock& last);
    void follow_resolution();
    void follow_change(int from, int removed, int added);
    void read_text() const;
    void follow_direction(bool right_to_left);
    void follow_cursor();

    SEDQ_TX_MANAGER* m_tx_manager;
    int m_instance;
    int m_state;
    SEDQ_SYNTAX_HIGHLIGHTER* m_highlighter = nullptr;
    SEDQ_TYPING_DELAY* m_popup_delay = nullptr;
    QCompleter* m_completer = nullptr;
    QCompleter* m_name_completer = nullptr;
    int m_completer_type = SEDQ_COMPLETER_TYPE_COMPLETION;
    // Where the main popup last opened, to open it again beside a name list.
    QRect m_main_rect;
    // The underlined token the last click selected: a swap replaces exactly it.
    QTextCursor m_swap_cursor;
    // Where the key was typed whose popup opens when the timer runs out.
    QTextCursor m_popup_cursor;
    // A position in the line whose layout keeps its glyphs (see follow_cursor).
    QTextCursor m_glyphs_kept;
    QImage m_layout_device{1, 1, QImage::Format_ARGB32_Premultiplied};
    mutable QString m_text;
    mutable bool m_text_read = false;
    // The characters of m_text that can make a line read right to left.
    mutable int m_right_to_left = 0;
    // The size of the text of all states as last reported, the model's serial for it, and how
    // many of its first and last characters every change since left as they were.
    int m_reported_size = 0;
    quint64 m_reported_serial = 0;
    mutable int m_same_start = 0;
    mutable int m_same_end = 0;
    SEDQ_TEXT_CHANGE_FROM m_reported_change;
};
