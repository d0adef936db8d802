#include "sedq/state_flow/sedq_typing_delay.h"

SEDQ_TYPING_DELAY::SEDQ_TYPING_DELAY(int delay_ms, QObject* parent) : QObject(parent), m_delay_ms(delay_ms)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SEDQ_TYPING_DELAY::on_timeout);
}

void SEDQ_TYPING_DELAY::restart()
{
    m_due = QDeadlineTimer(m_delay_ms);
    if (!m_timer.isActive())
        m_timer.start(m_delay_ms);
}

void SEDQ_TYPING_DELAY::stop()
{
    m_timer.stop();
}

void SEDQ_TYPING_DELAY::on_timeout()
{
    const qint64 left = m_due.remainingTime();
    if (left > 0)
    {
        m_timer.start(int(left));
        return;
    }
    emit due();
}
