// SEDQ_INSTANCE_WIDGET: run, autorun, stop and read data for the selected instances, and the
// engine's status reports shown in the Status column as they arrive.
#include "sedq/frame/sedq_instance_widget.h"

#include "host/afcq.h"
#include "host/sdr.h"
#include "sedq/frame/sedq_control_cmd_ela_int.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_update_state_event.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>
#include <set>

namespace
{

QBrush host_brush(int id)
{
    return AFCQ_BRUSH(id).get_brush();
}

// The text of an error report's value, or null for a value that names no error.
const QString* error_text(int value)
{
    static const QString* const TEXTS[] = {&SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_VERSION_DIFF_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_NO_HARDWARE_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_HANDWARE_BUSY_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_NO_SLD_NODE_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_JTAG_ERROR_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR,
                                           &SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_VERSION_MISMATCH_STR};
    return value >= 1 && value <= 8 ? TEXTS[value - 1] : nullptr;
}
} // namespace

// ---- the commands -----------------------------------------------------------------------------

void SEDQ_INSTANCE_WIDGET::on_tools_go()
{
    run_selected(false);
}

void SEDQ_INSTANCE_WIDGET::on_tools_repeat()
{
    run_selected(true);
}

// One request per selected instance that is enabled and idle, each with its own callback. The
// model's run is called even without a request (it then refreshes its current log).
void SEDQ_INSTANCE_WIDGET::run_selected(bool repeat)
{
    std::vector<CHI_CONTROL::ACQ_PARAMETER> requests;
    std::vector<SEDQ_CONTROL_CMD_ELA_INT*> made;
    for (const SELECTED_ROW& row : selected_rows())
    {
        if (row.parent_selected || m_tx->is_instance_acquiring(row.instance) ||
            !get_instance_enabled(row.instance))
            continue;
        auto* callback = new SEDQ_CONTROL_CMD_ELA_INT(this, row.instance);
        CHI_CONTROL::ACQ_PARAMETER request;
        request.callback = callback;
        request.repeat = repeat ? 1 : 0;
        requests.push_back(request);
        made.push_back(callback);
        m_live_callbacks.insert(callback);
    }
    m_tx->run(&requests);
    adopt_callbacks(made, requests);
}

// The model deletes the callbacks of requests that never start; the ones left in the list are
// now with the engine and stay alive until their final report is handled.
void SEDQ_INSTANCE_WIDGET::adopt_callbacks(const std::vector<SEDQ_CONTROL_CMD_ELA_INT*>& made,
                                           const std::vector<CHI_CONTROL::ACQ_PARAMETER>& started)
{
    std::set<CHI_CONTROL_ELA_INT*> with_engine;
    for (const CHI_CONTROL::ACQ_PARAMETER& request : started)
        with_engine.insert(request.callback);
    for (SEDQ_CONTROL_CMD_ELA_INT* callback : made)
        if (with_engine.count(callback) == 0)
            m_live_callbacks.erase(callback);
}

void SEDQ_INSTANCE_WIDGET::on_tools_stop()
{
    for (const SELECTED_ROW& row : selected_rows())
        if (!row.parent_selected && m_tx->is_instance_acquiring(row.instance) &&
            get_instance_enabled(row.instance))
            m_tx->stop(row.instance);
    // Its only effect: the model refreshes its current log when it keeps no log per run.
    std::vector<CHI_CONTROL::ACQ_PARAMETER> none;
    m_tx->run(&none);
}

// Reads what the device holds for each selected instance, last row first. A selected power-up
// row reads the capture of the instance's power-up trigger into the power-up view (reading the
// instance's own acquisition there instead would leave that capture out of reach).
void SEDQ_INSTANCE_WIDGET::on_tools_data()
{
    QItemSelectionModel* selection = m_tree->selectionModel();
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
    {
        const QModelIndex name = m_model.index(row, SEDQ_INSTANCE_COLUMN_NAME);
        const int instance = m_model.instance_at(row);
        if (!is_row_or_powerup_selected(row))
            continue;
        int depth = 0;
        m_tx->get_sample_depth(&depth, instance);
        if (depth == 0 || m_tx->is_instance_acquiring(instance) || !get_instance_enabled(instance))
            continue;
        if (selection->isRowSelected(row, QModelIndex()))
            read_view(instance, instance);
        if (m_model.has_powerup(row) && selection->isRowSelected(0, name))
            read_view(instance, instance + 1);
    }
}

// A failed read leaves the instance not running and says so on the status line.
void SEDQ_INSTANCE_WIDGET::read_view(int instance, int view)
{
    if (m_tx->read_data(view))
        return;
    set_status_line(SEDQ_JTAG_COMMUNICATION_ERROR_STR, SEDQ_YELLOW_BASE_PALETTE);
    set_status_cell(m_model.row_of(instance), SEDQ_NOT_RUNNING_STR, idle_brush());
}

// ---- the status reports -----------------------------------------------------------------------

bool SEDQ_INSTANCE_WIDGET::event(QEvent* e)
{
    if (e->type() != SEDQ_UPDATE_STATE_EVENT::SEDQ_UPDATE_STATE_EVENT_TYPE)
        return QFrame::event(e);
    handle_state_event(static_cast<SEDQ_UPDATE_STATE_EVENT*>(e));
    return true;
}

// The report's instance comes from the event itself: the callback may be gone. A report for
// an instance without a row still updates the state and ends its request; only the cells are
// left alone.
void SEDQ_INSTANCE_WIDGET::handle_state_event(SEDQ_UPDATE_STATE_EVENT* e)
{
    const int flags = e->m_flags;
    if ((flags & SEDQ_ACQ_STATE_DATA_READY) != 0 && e->m_log != nullptr && e->m_log->m_do_not_show != 0)
        return;
    const int instance = e->m_instance;
    const int row = m_model.row_of(instance);
    SEDQ_VERIFY(row >= 0);
    m_tx->set_instance_acq_state(instance, flags);
    // The value of the latest report of this request, which may be newer than this event's.
    const bool live = m_live_callbacks.count(e->m_sender) != 0;
    const int value = live ? e->m_sender->get_value() : e->m_value;
    show_state(instance, flags, value, e->m_log, row);
    finish_request(e, is_shown(instance));
    enable_boxes_while_idle();
    on_selection_changed();
}

// The instance is shown when it or its power-up view is the current entry.
bool SEDQ_INSTANCE_WIDGET::is_shown(int instance)
{
    return sedq_is_current_or_powerup(m_tx, instance);
}

void SEDQ_INSTANCE_WIDGET::show_state(int instance, int flags, int value, SDR_DATA_LOG* log, int row)
{
    const bool powerup = (flags & SEDQ_ACQ_STATE_POWERUP) != 0;
    const QBrush progress = powerup ? SEDQ_POWERUP_BRUSH : host_brush(AFCQ_BRUSH_PROGRESS);
    switch (flags & SEDQ_ACQ_STATE_MASK)
    {
    case SEDQ_ACQ_STATE_TRIGGER_PROGRESS_1:
    case SEDQ_ACQ_STATE_TRIGGER_PROGRESS_2:
        show_trigger_progress(instance, value, powerup, row);
        break;
    case SEDQ_ACQ_STATE_PRE_TRIGGER:
        set_status_cell(
            row, powerup ? SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR : SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR,
            progress);
        break;
    case SEDQ_ACQ_STATE_POST_TRIGGER:
        set_status_cell(row,
                        powerup ? SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR
                                : SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR,
                        progress);
        m_tx->update_all_views(nullptr, SEDQ_UPDATE_NODE_VIEW);
        break;
    case SEDQ_ACQ_STATE_OFFLOADING:
        set_status_cell(row, powerup ? SEDQ_POWERUP_OFFLOADING_DATA_STR : SEDQ_OFFLOADING_DATA_STR, progress);
        break;
    case SEDQ_ACQ_STATE_WAITING_FOR_CLOCK:
        set_status_cell(row, powerup ? SEDQ_POWERUP_WAITING_FOR_CLOCK_STR : SEDQ_WAITING_FOR_CLOCK_STR,
                        host_brush(AFCQ_BRUSH_WAITING));
        break;
    case SEDQ_ACQ_STATE_JTAG_BUSY:
        set_status_cell(row, SEDQ_JTAG_COMMUNICATION_BUSY_STR, host_brush(AFCQ_BRUSH_WAITING));
        break;
    case SEDQ_ACQ_STATE_DATA_READY:
        show_data_ready(instance, powerup, log);
        break;
    case SEDQ_ACQ_STATE_RUNNING:
        show_running(instance, flags);
        break;
    case SEDQ_ACQ_STATE_NOT_RUNNING:
        set_status_cell(row, SEDQ_NOT_RUNNING_STR, idle_brush());
        break;
    case SEDQ_ACQ_STATE_ERROR:
        if (const QString* text = error_text(value))
            set_status_cell(row, *text, host_brush(AFCQ_BRUSH_ERROR));
        else
            set_status_cell(row, SEDQ_NOT_RUNNING_STR, idle_brush());
        break;
    default:
        break;
    }
}

// A negative value is the state the flow entered (-1 is state 0); otherwise the number of the
// level met, counted with the trigger in as level 1 when the reporting instance uses it.
void SEDQ_INSTANCE_WIDGET::show_trigger_progress(int instance, int value, bool powerup, int row)
{
    const QBrush progress = host_brush(AFCQ_BRUSH_PROGRESS);
    if (value < 0)
    {
        QString state;
        m_tx->get_state_name(-value - 1, &state, instance);
        set_status_cell(row, QString("Currently in state %1: %2").arg(-static_cast<qint64>(value)).arg(state),
                        progress);
        m_tx->update_all_views(nullptr, SEDQ_UPDATE_NODE_VIEW);
        return;
    }
    const bool trigger_in = m_tx->is_trigger_in_enabled(instance);
    const int level = std::max(0, trigger_in ? value : value - 1);
    if (level == 0)
        set_status_cell(row, powerup ? SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR : SEDQ_WAITING_FOR_TRIGGER_STR,
                        powerup ? SEDQ_POWERUP_BRUSH : progress);
    else if (level == 1 && trigger_in)
        set_status_cell(row, SEDQ_TRIGGER_IN_MET_STR, progress);
    else
        set_status_cell(row, QString("Trigger level %1 met").arg(trigger_in ? level - 1 : level), progress);
}

// The report's log becomes the log the instance shows; the panes redraw when it is in sight.
void SEDQ_INSTANCE_WIDGET::show_data_ready(int instance, bool powerup, SDR_DATA_LOG* log)
{
    if (!SEDQ_VERIFY(log != NULL))
        return;
    m_tx->set_view_log(instance, log);
    if (!is_shown(instance))
        return;
    m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_SWITCH_POWERUP_VIEW | SEDQ_UPDATE_LAYOUT |
                                                  (powerup ? SEDQ_UPDATE_TO_POWERUP : 0)));
    if (log->is_global_temp() || !m_tx->is_setup_mode())
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    else
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NO_REPAINT));
    if (!m_tx->is_sequential_mode(SEDQ_CURRENT))
        m_tx->update_all_views(nullptr, SEDQ_UPDATE_NODE_VIEW);
}

// The JTAG pane disables its controls while the acquisition runs.
void SEDQ_INSTANCE_WIDGET::show_running(int instance, int flags)
{
    if (is_shown(instance))
    {
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_RUNNING | SEDQ_UPDATE_JTAG | SEDQ_UPDATE_LOG |
                                                  SEDQ_UPDATE_CONFIGURATION));
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NO_REPAINT |
                                                  SEDQ_UPDATE_TRIGGER_CANVAS | SEDQ_UPDATE_NODE_VIEW));
    }
    else
    {
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_RUNNING | SEDQ_UPDATE_JTAG));
    }
    m_tx->update_all_views(nullptr,
                           sedq_hint(flags | SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
}

namespace
{
// What the end of a request refreshes: the whole page when the instance is on show, else its
// row in the instance manager and the layout.
constexpr unsigned FINISHED_HIDDEN =
    SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_INSTANCES;
constexpr unsigned FINISHED_SHOWN = FINISHED_HIDDEN | SEDQ_UPDATE_TRIGGER_CANVAS | SEDQ_UPDATE_LOG |
                                    SEDQ_UPDATE_CONFIGURATION | SEDQ_UPDATE_NODE_VIEW;
} // namespace

// The final report of a request ends it: its callback is deleted (once; the engine never calls
// it again), the panes refresh, and the JTAG pane is enabled again once nothing acquires.
void SEDQ_INSTANCE_WIDGET::finish_request(SEDQ_UPDATE_STATE_EVENT* e, bool shown)
{
    if (!SEDQ_CONTROL_CMD_ELA_INT::is_final(e->m_flags))
        return;
    const bool any = m_tx->is_any_instance_acquiring();
    if (m_live_callbacks.erase(e->m_sender) != 0)
    {
        e->m_sender->wait_until_idle();
        delete e->m_sender;
    }
    m_tx->update_all_views(nullptr, sedq_hint(e->m_flags | (shown ? FINISHED_SHOWN : FINISHED_HIDDEN)));
    if (!any)
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_JTAG));
}

void SEDQ_INSTANCE_WIDGET::set_status_cell(int row, const QString& text, const QBrush& brush)
{
    if (row >= 0)
        m_model.set_status(row, text, brush);
}

// While any instance acquires, no instance may be enabled or disabled.
void SEDQ_INSTANCE_WIDGET::enable_boxes_while_idle()
{
    m_model.set_boxes_enabled(can_enable_instances());
}
