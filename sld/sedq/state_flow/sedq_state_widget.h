#pragma once
// The state text pane of an instance's "State-Based Trigger Flow" page: a display-mode selector
// and either one flow editor per state or one editor with the unified text, and a red message
// line with the host's check of the flow, run 500 ms after the last refresh so a burst of
// typing is checked once. Every edit goes through the model inside one edit scope.

#include "sedq/model/sedq_types.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"
#include "sedq/state_flow/sedq_typing_delay.h"

#include <QFrame>
#include <QList>

class QLabel;
class QScrollArea;
class SEDQ_FRAME_WND;
class SEDQ_STATE_TEXT_EDIT;
class SEDQ_TX_MANAGER;

class SEDQ_STATE_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_STATE_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }
    QWidget* get_edit_widgets();
    QLabel* get_message_label() const { return m_message_label; }
    const SEDQ_STATE_MACHINE_ERROR& get_last_check() const { return m_error; }
    // The text of the check message for this error in the given display mode.
    static QString message_text(const SEDQ_STATE_MACHINE_ERROR& error, bool all_states);

public Q_SLOTS:
    void on_update(QObject* sender, int hint);
    void on_timer();

private:
    bool load_texts();
    void on_display_mode(bool all_states);
    void on_state_text(int state, const QString& text);

    QScrollArea* m_scroll_area = nullptr;
    // The editors of the page shown, in the order of their states; a rebuilt page replaces
    // them (an update looks at them on every key typed).
    QList<SEDQ_STATE_TEXT_EDIT*> m_editors;
    SEDQ_TYPING_DELAY* m_check_delay = nullptr;
    SEDQ_STATE_MACHINE_ERROR m_error;
    QLabel* m_message_label = nullptr;
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    // The generation of the highlighters' rules (their names and lock) the editors were last
    // coloured with.
    int m_shown_generation = 0;
};
