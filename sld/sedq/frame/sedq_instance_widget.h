#pragma once
// The "Instance Manager" pane at the top of the editor window: the instances of the document
// with their acquisition status, Enabled box and resource estimates, a status line that says
// what to do next, the instance commands, and run, autorun, stop and read data for the
// selected instances. Engine reports arrive as posted SEDQ_UPDATE_STATE_EVENTs; the pane
// keeps the set of status callbacks still alive and deletes each one exactly once.
//
// The status texts are rendered when the library loads: each is the visible text of the status
// message of the same name, and sedq_text_to_msg finds that message again from the text (for
// the status help). The 33 texts are pairwise different.

#include "host/chi.h"
#include "host/thr.h"
#include "sedq/frame/sedq_instance_list_model.h"
#include "sedq/model/sedq_update_burst.h"

#include <QFrame>
#include <QIcon>
#include <QString>

#include <set>
#include <vector>

class QBrush;
class QHBoxLayout;
class QItemSelectionModel;
class QLineEdit;
class QModelIndex;
class QToolButton;
class QTreeView;
class MSG_BASE;
class SDR_DATA_LOG;
class SEDQ_CONTROL_CMD_ELA_INT;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;
class SEDQ_UPDATE_STATE_EVENT;

class SEDQ_INSTANCE_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_INSTANCE_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame);
    // Runs after the model is gone: touches only the callbacks and the help library.
    ~SEDQ_INSTANCE_WIDGET() override;

    QTreeView* get_tree() const { return m_tree; }
    SEDQ_INSTANCE_LIST_MODEL* get_model() { return &m_model; }
    QLineEdit* get_status_line() const { return m_status_line; }
    // Acquisition requests whose final report has not been handled yet.
    int get_request_count() const { return static_cast<int>(m_live_callbacks.size()); }

    void update_resource_usage();
    bool get_instance_enabled(int instance);

    // Instance list status.
    static const QString SEDQ_NO_INSTANCES_STR;
    static const QString SEDQ_NO_NODES_STR;
    static const QString SEDQ_READY_TO_ACQUIRE_STR;
    static const QString SEDQ_NOT_RUNNING_STR;
    static const QString SEDQ_ACQUISITION_IN_PROGRESS_STR;
    static const QString SEDQ_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_COMPILE_DESIGN_STR;
    static const QString SEDQ_RECOMPILE_DESIGN_STR;
    static const QString SEDQ_REROUTE_DESIGN_STR;
    static const QString SEDQ_PROGRAM_DEVICE_STR;
    static const QString SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_OFFLOADING_DATA_STR;
    static const QString SEDQ_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_TRIGGER_IN_MET_STR;
    static const QString SEDQ_TRIGGER_LEVEL_STR;
    static const QString SEDQ_INVALID_JTAG_CONFIGURATION_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_ERROR_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_BUSY_STR;
    static const QString SEDQ_WAITING_FOR_JTAG_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_OFFLOADING_DATA_STR;

    // Acquisition errors reported by the JTAG engine.
    static const QString SEDQ_JTAG_ERR_VERSION_DIFF_STR;
    static const QString SEDQ_JTAG_ERR_VERSION_MISMATCH_STR;
    static const QString SEDQ_JTAG_ERR_NO_HARDWARE_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_BUSY_STR;
    static const QString SEDQ_JTAG_ERR_NO_SLD_NODE_STR;
    static const QString SEDQ_JTAG_ERR_JTAG_ERROR_STR;
    static const QString SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR;

public Q_SLOTS:
    void on_sel_change_instance_tab(int index);
    void update_instance_list();
    void on_update(QObject* sender, int hint);
    void on_selection_changed();
    void on_instance_add();
    void on_instance_delete();
    void on_instance_rename();
    void on_instance_enable_powerup();
    void on_instance_disable_powerup();
    void on_instance_duplicate_trigger();
    void on_instance_status_help();
    void on_tools_data();
    void on_tools_go();
    void on_tools_repeat();
    void on_tools_stop();
    void on_edited(const QModelIndex& index);
    void on_double_clicked(const QModelIndex& index);
    void on_ela_status_help();

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // Shows the whole text of a cell the list elides.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // One selected row: the instance it stands for (a power-up row stands for its parent).
    struct SELECTED_ROW
    {
        int instance = -1;
        bool powerup = false;
        bool parent_selected = false; // a power-up row whose instance row is selected too
    };

    // construction
    QHBoxLayout* make_title_row();
    QToolButton* make_command_button(int action_id, int icon_id);
    void make_context_menu();
    void connect_actions();
    void set_header_tooltips();
    void size_columns();
    void fit_name_and_status(int taken);

    // the list
    bool rows_match_document();
    void refresh_enabled_boxes();
    void rebuild_instance_list();
    void select_current_row(int current);
    bool can_enable_instances();
    void mark_current_rows(int current);
    void on_name_edited(int row);
    void on_box_edited(int row);
    QBrush idle_brush() const;
    std::vector<SELECTED_ROW> selected_rows();
    bool is_row_or_powerup_selected(int row);

    // the status line and the actions
    void refresh();
    void refresh_after_typing();
    void update_status_line();
    void set_status_line(const QString& text, const QPalette& palette);
    bool scan_says_ready(const QString& hardware, const QString& device, bool* program);
    void enable_instance_actions(const std::vector<SELECTED_ROW>& rows);

    // acquisition
    void run_selected(bool repeat);
    void adopt_callbacks(const std::vector<SEDQ_CONTROL_CMD_ELA_INT*>& made,
                         const std::vector<CHI_CONTROL::ACQ_PARAMETER>& started);
    void read_view(int instance, int view);
    void handle_state_event(SEDQ_UPDATE_STATE_EVENT* e);
    // `row`: the instance's row, -1 when none (the cells are left alone).
    void show_state(int instance, int flags, int value, SDR_DATA_LOG* log, int row);
    void show_trigger_progress(int instance, int value, bool powerup, int row);
    void show_data_ready(int instance, bool powerup, SDR_DATA_LOG* log);
    void show_running(int instance, int flags);
    void finish_request(SEDQ_UPDATE_STATE_EVENT* e, bool shown);
    bool is_shown(int instance);
    void set_status_cell(int row, const QString& text, const QBrush& brush);
    void enable_boxes_while_idle();

    // help
    void show_help(MSG_BASE* msg, bool owned);
    bool load_help_library();

    QToolButton* m_run_button = nullptr;
    QToolButton* m_autorun_button = nullptr;
    QToolButton* m_stop_button = nullptr;
    QToolButton* m_read_button = nullptr;
    QLineEdit* m_status_line = nullptr;
    // The palette last given to the status line (one of the shared status palettes): setting
    // the same again still resolves it against the style's, on every refresh.
    const QPalette* m_status_palette = nullptr;
    QTreeView* m_tree = nullptr;
    SEDQ_INSTANCE_LIST_MODEL m_model;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx;
    SEDQ_UPDATE_BURST m_updates;
    bool m_refresh_pending = false; // a full refresh waits for the end of the burst
    // What the burst held: a flow's text typed, and any other update (see refresh_after_typing).
    bool m_burst_typed = false;
    bool m_burst_other = false;
    bool m_waiting_for_jtag = false; // the last update of the burst on the instances said so
    // Status callbacks of requests whose final report has not been handled yet.
    std::set<SEDQ_CONTROL_CMD_ELA_INT*> m_live_callbacks;
    THR_DRL_HANDLE m_help_library = nullptr;
    int m_usage_width = -1; // the columns right of Status, as last fitted around
    // The figures the usage texts shown were made from; cleared when the rows are made anew.
    std::vector<qint64> m_usage_figures;
    void (*m_show_msg_help)(const char*) = nullptr;
};
