#pragma once
// The event that carries one engine status report of an acquisition request to the instance
// manager on the GUI thread. It holds copies of what the report said (the state word, the
// value, the log) and of the request's instance index, so handling it never depends on the
// callback that posted it still being alive.

#include <QEvent>

class SDR_DATA_LOG;
class SEDQ_CONTROL_CMD_ELA_INT;

class SEDQ_UPDATE_STATE_EVENT : public QEvent
{
public:
    static constexpr QEvent::Type SEDQ_UPDATE_STATE_EVENT_TYPE = QEvent::User; // 1000

    SEDQ_UPDATE_STATE_EVENT(int flags, SEDQ_CONTROL_CMD_ELA_INT* sender, SDR_DATA_LOG* log, int instance,
                            int value)
        : QEvent(SEDQ_UPDATE_STATE_EVENT_TYPE), m_flags(flags), m_sender(sender), m_log(log),
          m_instance(instance), m_value(value)
    {
    }
    ~SEDQ_UPDATE_STATE_EVENT() override = default;

    int m_flags;
    SEDQ_CONTROL_CMD_ELA_INT* m_sender;
    SDR_DATA_LOG* m_log;
    int m_instance;
    int m_value; // the value of this report; the sender may have a later one by now
};
