#pragma once
// Status callback of one acquisition request that the instance manager hands to the model's
// run: it carries the index of the instance the request is for, and turns each engine status
// into a SEDQ_UPDATE_STATE_EVENT posted to the instance manager. The engine may call it from
// its own thread, so it touches nothing but its own members and the event queue.
//
// Lifetime: the instance manager deletes the callback when it handles its final report. When
// the instance manager goes away first, it detaches its callbacks: one whose final report was
// already posted is deleted by the instance manager at once, any other deletes itself when its
// final report comes, so each callback is deleted exactly once.

#include "sedq/model/sedq_instance_callback.h"

#include <QObject>

#include <atomic>
#include <mutex>

class SEDQ_CONTROL_CMD_ELA_INT : public SEDQ_INSTANCE_CALLBACK
{
public:
    SEDQ_CONTROL_CMD_ELA_INT(QObject* receiver, int instance) : SEDQ_INSTANCE_CALLBACK(instance), m_widget(receiver) {}

    void update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log) override;

    // The value of the latest report; written on the engine's thread.
    int get_value() const { return m_value.load(); }

    // The state word of an engine status; 0 for a status that is dropped (16, 18 and above).
    static int get_state_flags(int status);
    static bool is_final(int flags);

    // The receiver is going away: nothing is posted any more. True when the final report was
    // already posted, so the caller deletes the callback now; otherwise the callback deletes
    // itself at its final report.
    bool detach();
    // Returns once no report is being posted, so that the callback can be deleted.
    void wait_until_idle();

protected:
    QObject* m_widget; // guarded by m_mutex
    std::atomic<int> m_value{0};

private:
    std::mutex m_mutex;
    bool m_detached = false;
    bool m_final_posted = false;
};
