// SEDQ_TX_MANAGER: acquisition state of the instances, the current data log and the logging
// switch.
#include "sedq/model/sedq_tx_manager.h"

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
    if (instance < 0 || instance >= SEDQ_MAX_ACQ_STATES)
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

bool SEDQ_TX_MANAGER::is_data_available(bool flag, int instance, SDR_DATA_LOG** log_out)
{
    SDR_DATA_LOG* log = m_tx_log;
    if (instance != -1)
        log = m_tx_session ? m_tx_session->get_log_at(instance, false) : nullptr;
    if (log_out != nullptr)
        *log_out = log;
    return log != nullptr && log->is_data_available(flag);
}

void SEDQ_TX_MANAGER::refresh_data_log_cache()
{
    m_tx_log = m_tx_session != nullptr && m_active_instance >= 0 ? m_tx_session->get_log_at(m_active_instance, false)
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
