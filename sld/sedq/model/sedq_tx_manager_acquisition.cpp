// SEDQ_TX_MANAGER: acquisition state of the instances, running, stopping and reading
// acquisitions through the host engine (with the recompile question when the design changed),
// the current data log and the logging switch.
#include "sedq/model/sedq_tx_manager.h"

#include "host/ice.h"
#include "host/qui.h"
#include "host/sdr/sdr_tx_instance.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_instance_callback.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_refusal.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QMessageBox>

// ---- state table ------------------------------------------------------------------------------

void SEDQ_TX_MANAGER::set_instance_acq_state(int instance, int flags)
{
    // The table has one entry per instance index below SEDQ_MAX_ACQ_STATES; reports about
    // other indices are not kept, and those instances read as not acquiring.
    if (m_acq_states != nullptr && instance >= 0 && instance < SEDQ_MAX_ACQ_STATES)
        m_acq_states[instance] = static_cast<unsigned int>(flags) & SEDQ_ACQ_STATE_MASK;
}

bool SEDQ_TX_MANAGER::is_instance_acquiring(int instance)
{
    if (is_empty())
        return false;
    if (instance < 0)
        instance = m_active_instance;
    if (m_acq_states == nullptr || instance < 0 || instance >= SEDQ_MAX_ACQ_STATES)
        return false;
    const unsigned int state = m_acq_states[instance];
    return state != 0 && state != SEDQ_ACQ_STATE_NOT_RUNNING && state != SEDQ_ACQ_STATE_ERROR;
}

bool SEDQ_TX_MANAGER::is_any_instance_acquiring()
{
    if (m_tx_session == nullptr)
        return false;
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
        if (is_instance_acquiring(i))
            return true;
    return false;
}

// ---- run --------------------------------------------------------------------------------------

// The instance index travels with the request's callback, which the instance manager made.
int SEDQ_TX_MANAGER::request_instance(CHI_CONTROL::ACQ_PARAMETER const& request)
{
    auto* callback = dynamic_cast<SEDQ_INSTANCE_CALLBACK*>(request.callback);
    if (!SEDQ_VERIFY(callback != NULL))
        return -1;
    return callback->get_instance();
}

void SEDQ_TX_MANAGER::run(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests)
{
    if (!SEDQ_VERIFY(requests != NULL))
        return;
    bool compatible = true;
    for (size_t i = 0; i < requests->size();)
    {
        CHI_CONTROL::ACQ_PARAMETER& request = (*requests)[i];
        const int instance = request_instance(request);
        if (!check_nodes_allocated(instance))
            return drop_requests(requests, i);
        refresh_run_plugin_mnemonics(instance);
        apply_plugin_trigger_symbols(instance);
        request.log =
            m_tx_session != nullptr && instance >= 0 ? m_tx_session->create_new_log(instance) : nullptr;
        if (request.log == nullptr)
        {
            // A request that gets no log never starts: nothing will ever report to its callback.
            // A document that can hold no more logs says why.
            const std::string refusal = sedq_take_refusal();
            if (!refusal.empty())
                sedq_show_message(MSG_SEDQ::O::RUN_PAST_FILE_LIMIT(refusal));
            delete request.callback;
            requests->erase(requests->begin() + long(i));
            continue;
        }
        if (compatible)
            compatible = ice_vtl_check_compatibility(request.log, true);
        ++i;
    }
    if (!get_logging())
        refresh_data_log_cache();
    if (requests->empty())
        return;
    if (compatible)
        start_acquisition(requests);
    else
        recompile_before_run(requests);
}

void SEDQ_TX_MANAGER::start_acquisition(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests)
{
    if (!CHI_CONTROL::run(*requests))
        return drop_requests(requests, requests->size());
    for (const CHI_CONTROL::ACQ_PARAMETER& request : *requests)
        set_instance_acq_state(request_instance(request), SEDQ_ACQ_STATE_RUNNING);
    m_window->save_view_scroll_position(true);
    update_modified_flag();
}

// The design no longer matches the programmed device: ask whether to recompile first (unless
// the user always recompiles, or no flow can start now).
void SEDQ_TX_MANAGER::recompile_before_run(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests)
{
    if (!SEDQ_VERIFY(!this->is_wizard_mode()))
        return drop_requests(requests, requests->size());
    if (m_window->can_compile_now() && !m_cfg_auto_recompile)
    {
        QMessageBox question(
            QMessageBox::Question, QStringLiteral("Corvane"),
            QStringLiteral("The design has changed. Do you wish to recompile before running the "
                           "logic analyzer?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_window->dialog_parent());
        const int answer = question.exec();
        if (answer == QMessageBox::No)
        {
            if (!CHI_CONTROL::run(*requests))
                drop_requests(requests, requests->size());
            update_modified_flag();
            return;
        }
        if (answer != QMessageBox::Yes)
            return drop_requests(requests, requests->size());
    }
    if (!SEDQ_VERIFY(!this->is_wizard_mode()))
        return drop_requests(requests, requests->size());
    const bool saved = m_window->ask_to_save();
    drop_requests(requests, requests->size());
    if (saved)
        m_window->start_recompile();
}

// Requests that never start: the logs of the first `with_logs` requests (which this run
// took) give back what they replaced, and no callback is left for the engine or the instance
// manager.
void SEDQ_TX_MANAGER::drop_requests(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests, size_t with_logs)
{
    bool shown_changed = false;
    for (size_t i = 0; i < requests->size(); ++i)
    {
        CHI_CONTROL::ACQ_PARAMETER& request = (*requests)[i];
        if (i < with_logs && request.log != nullptr && m_tx_session != nullptr)
        {
            m_tx_session->restore_replaced_log(request.log);
            shown_changed = shown_changed || is_active_or_powerup_view(request_instance(request));
        }
        delete request.callback;
    }
    requests->clear();
    if (shown_changed)
        refresh_data_log_cache();
}

// Decoder plug-ins refresh their mnemonic tables before every run.
void SEDQ_TX_MANAGER::refresh_run_plugin_mnemonics(int instance)
{
    if (m_tx_session == nullptr || instance < 0)
        return;
    SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(instance, false);
    SDR_TX_SIGNAL_SET* data_nodes = m_tx_session->get_signal_set_at(instance, false);
    for (SDR_TX_SIGNAL_NODES* nodes :
         {static_cast<SDR_TX_SIGNAL_NODES*>(trigger), static_cast<SDR_TX_SIGNAL_NODES*>(data_nodes)})
    {
        const int count = nodes != nullptr ? nodes->get_num_nodes() : 0;
        for (int node = 0; node < count; ++node)
            if (nodes->get_group_display_type(node) == SDR_GTYPE_PLUGIN)
                refresh_plugin_mnemonics(node, nodes);
    }
}

// A bus decoded by a plug-in keeps its trigger value as the plug-in's symbol; before a run the
// symbol is turned into the conditions of the bus's bits.
void SEDQ_TX_MANAGER::apply_plugin_trigger_symbols(int instance)
{
    SDR_TX_TRIGGER* trigger =
        m_tx_session != nullptr && instance >= 0 ? m_tx_session->get_trigger_at(instance, false) : nullptr;
    int levels = 0;
    if (trigger == nullptr || !get_trigger_level(&levels, instance))
        return;
    const int count = trigger->get_num_nodes();
    for (int node = 0; node < count; ++node)
    {
        for (int level = 0; level < levels; ++level)
        {
            QString symbol;
            if (!get_plugin_trigger_condition_symbol(&symbol, node, level, instance) || symbol.isEmpty())
                continue;
            const SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION_IF_POWERUP, SEDQ_EDIT_SCOPE::NO_REFRESH, instance);
            SEDQ_NUMBER(symbol).set_string(this, node, level, instance);
        }
    }
}

// ---- stop, read data --------------------------------------------------------------------------

void SEDQ_TX_MANAGER::stop(int instance)
{
    SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance);
    CHI_CONTROL::stop(tx_instance != nullptr ? tx_instance->get_data_instance() : nullptr);
}

bool SEDQ_TX_MANAGER::read_data(int instance)
{
    if (!check_nodes_allocated(instance))
        return false;
    SDR_DATA_LOG* log = m_tx_session != nullptr ? m_tx_session->create_new_log(instance) : nullptr;
    if (log == nullptr)
    {
        const std::string refusal = sedq_take_refusal();
        if (!refusal.empty())
            sedq_show_message(MSG_SEDQ::O::RUN_PAST_FILE_LIMIT(refusal));
        return false;
    }
    AFCQ_WAIT_CURSOR wait(true);
    const bool ok = CHI_CONTROL::offload(log);
    if (ok)
    {
        m_tx_session->forget_replaced_log(log);
        set_view_log(instance, log);
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_SWITCH_POWERUP_VIEW |
                                            SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_LOG));
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
        return true;
    }
    // The data shown before the read stays: a new log goes, the temporary one is refilled.
    m_tx_session->restore_replaced_log(log);
    if (is_active_or_powerup_view(instance))
        refresh_data_log_cache();
    return false;
}

// ---- the current data log ---------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_data_available(bool flag, int instance, const SDR_DATA_LOG** log_out)
{
    SDR_DATA_LOG* log = m_tx_log;
    if (instance != -1)
        log = m_tx_session ? m_tx_session->get_log_at(instance, false) : nullptr;
    if (log_out != nullptr)
        *log_out = log;
    return log != nullptr && log->is_data_available(flag);
}

bool SEDQ_TX_MANAGER::is_acquiring_data()
{
    return m_tx_log != nullptr && m_tx_log->is_acquiring_data();
}

bool SEDQ_TX_MANAGER::is_stopped_at_trigger()
{
    if (m_tx_log == nullptr)
        return false;
    const int depth = m_tx_log->get_data_sample_depth();
    const int trigger = m_tx_log->get_data_trigger_position(-1);
    if (depth == 0 && trigger == 0)
        return true;
    return depth >= 1 && trigger > 0;
}

void SEDQ_TX_MANAGER::refresh_data_log_cache()
{
    m_tx_log = m_tx_session != nullptr && m_active_instance >= 0
                   ? m_tx_session->get_log_at(m_active_instance, false)
                   : nullptr;
}

bool SEDQ_TX_MANAGER::get_logging()
{
    return m_tx_session != nullptr && m_tx_session->is_gui_logging_enabled();
}

void SEDQ_TX_MANAGER::set_logging(bool on)
{
    if (m_tx_session == nullptr)
        return;
    m_tx_session->set_gui_logging(on);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::export_log(QObject*) {}
