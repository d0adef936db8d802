#pragma once
// The node list view of an editor window: the node table in setup mode and the acquired
// waveforms in data mode. The pane layout builds exactly one per window, without parent,
// and lets the page on show adopt it. What stands so far: the scroll area itself, the
// position keys it stores into the document, the lock-mode commands and the relayout flags.
// The node table, its editing commands, painting, zoom, list files and printing are not
// built yet: the slots the frame routes to for them do nothing until then, and the Edit and
// View menu entries they would enable stay disabled.

#include <QAbstractScrollArea>
#include <QString>

class QPrinter;
class SEDQ_TX_MANAGER;

class SEDQ_VIEW : public QAbstractScrollArea
{
    Q_OBJECT
public:
    SEDQ_VIEW(QWidget* parent, SEDQ_TX_MANAGER* tx);

    // Stores the scroll state of the current mode into the current instance's position data;
    // false (nothing stored) without a current instance.
    bool save_scroll_pos();
    // true raises the second relayout flag, false the first; the layout raises the second
    // while it rebuilds the instance tabs.
    void set_resize_flag(bool second);
    void clear_resize_flag();
    bool get_resize_flag(bool second) const { return second ? m_resize_flag_2 : m_resize_flag_1; }

    // ---- settings the configuration pane reads -------------------------------------------
    // Whether the hard processor system (HPS) trigger options are hidden: true while an open
    // project's device has no HPS, false without a project. Recomputed by on_settings_changed.
    bool hide_hps_trigger() const { return m_hide_hps_trigger; }

public Q_SLOTS:
    // Re-reads the project's device; the configuration pane refreshes when the HPS flag turns.
    void on_settings_changed();
    void on_update(QObject* sender, int hint);
    void on_update_edit_menu();
    void on_update_waveform_menu();
    void on_select_lock_mode_all();
    void on_select_lock_mode_incremental();
    void on_select_lock_mode_trigger();
    void on_edit_select_all();
    void on_edit_delete();
    void on_edit_find();
    void on_edit_find_next();
    void on_center_on_trigger();
    void show_list_view(QString file);
    void on_print(QPrinter* printer);

private:
    SEDQ_TX_MANAGER* m_tx;
    bool m_resize_flag_1 = false;
    bool m_resize_flag_2 = false;
    bool m_hide_hps_trigger = false;
};
