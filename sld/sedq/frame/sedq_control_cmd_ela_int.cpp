// SEDQ_CONTROL_CMD_ELA_INT: engine statuses as acquisition state words, posted to the
// instance manager.
#include "sedq/frame/sedq_control_cmd_ela_int.h"

#include "sedq/frame/sedq_update_state_event.h"
#include "sedq/model/sedq_types.h"

#include <QCoreApplication>

namespace
{
// By engine status 0..17; 0 marks the status that is never sent (16). The engine has no
// power-up form of running, trigger wait, waiting for clock, JTAG busy and error.
constexpr int STATE_OF_STATUS[] = {SEDQ_ACQ_STATE_RUNNING,
                                   SEDQ_ACQ_STATE_TRIGGER_PROGRESS_1,
                                   SEDQ_ACQ_STATE_TRIGGER_PROGRESS_2,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_TRIGGER_PROGRESS_2,
                                   SEDQ_ACQ_STATE_PRE_TRIGGER,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_PRE_TRIGGER,
                                   SEDQ_ACQ_STATE_POST_TRIGGER,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_POST_TRIGGER,
                                   SEDQ_ACQ_STATE_OFFLOADING,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_OFFLOADING,
                                   SEDQ_ACQ_STATE_DATA_READY,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_DATA_READY,
                                   SEDQ_ACQ_STATE_NOT_RUNNING,
                                   SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_NOT_RUNNING,
                                   SEDQ_ACQ_STATE_WAITING_FOR_CLOCK,
                                   SEDQ_ACQ_STATE_JTAG_BUSY,
                                   0,
                                   SEDQ_ACQ_STATE_ERROR};
} // namespace

int SEDQ_CONTROL_CMD_ELA_INT::get_state_flags(int status)
{
    const int count = static_cast<int>(sizeof(STATE_OF_STATUS) / sizeof(STATE_OF_STATUS[0]));
    return status >= 0 && status < count ? STATE_OF_STATUS[status] : 0;
}

bool SEDQ_CONTROL_CMD_ELA_INT::is_final(int flags)
{
    return (flags & (SEDQ_ACQ_STATE_NOT_RUNNING | SEDQ_ACQ_STATE_ERROR)) != 0;
}

void SEDQ_CONTROL_CMD_ELA_INT::update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log)
{
    const int flags = get_state_flags(status);
    if (flags == 0)
        return;
    m_value.store(value);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_detached)
    {
        // Nobody handles this request any more; the engine never calls again after a final
        // report, so this is the last use of the callback.
        if (!is_final(flags))
            return;
        lock.unlock();
        delete this;
        return;
    }
    if (m_widget == nullptr)
        return;
    if (is_final(flags))
        m_final_posted = true;
    QCoreApplication::postEvent(m_widget, new SEDQ_UPDATE_STATE_EVENT(flags, this, log, m_instance, value),
                                0);
}

bool SEDQ_CONTROL_CMD_ELA_INT::detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_detached = true;
    m_widget = nullptr;
    return m_final_posted;
}

void SEDQ_CONTROL_CMD_ELA_INT::wait_until_idle()
{
    std::lock_guard<std::mutex> lock(m_mutex);
}
