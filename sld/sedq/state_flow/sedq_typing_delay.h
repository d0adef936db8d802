#pragma once
// A single-shot delay that runs out a fixed time after the last of a burst of keys: each
// restart() puts it off by the whole delay again. The timer under it is not restarted for that
// (restarting a QTimer on every key costs more than some keys' own work): it runs on, and when it
// runs out before the delay has passed it is started again for the time still to wait.

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

class SEDQ_TYPING_DELAY : public QObject
{
    Q_OBJECT

public:
    SEDQ_TYPING_DELAY(int delay_ms, QObject* parent);

    void restart();
    void stop();
    bool is_active() const { return m_timer.isActive(); }

Q_SIGNALS:
    // The delay has passed since the last restart.
    void due();

private:
    void on_timeout();

    QTimer m_timer;
    QDeadlineTimer m_due;
    int m_delay_ms;
};
