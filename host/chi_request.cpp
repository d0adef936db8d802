// The status sequence of one acquisition request: running, the chain checks, pre-trigger, the
// trigger progress of each level, post-trigger, offloading, data ready and the final "not
// running" (or an error), with the power-up forms for a power-up log; an autorun starts over
// after each data-ready report until it is stopped.
#include "host/chi_request.h"

namespace chi_detail
{
namespace
{
// Samples searched for the trigger per report slot: a device that waits long for its trigger
// is searched a slice at a time, so the search never holds up a stop or another request.
constexpr int64_t SEARCH_SLICE = int64_t(1) << 18;

enum STATUS
{
    RUNNING = 0,
    WAITING = 1,
    PROGRESS_MET = 2,
    PRE_TRIGGER_DATA = 4,
    POST_TRIGGER_DATA = 6,
    OFFLOADING = 8,
    DATA_READY = 10,
    NOT_RUNNING = 12,
    POWERUP_NOT_RUNNING = 13,
    WAITING_FOR_CLOCK = 14,
    JTAG_BUSY = 15,
    ERROR = 17
};

enum ERROR_VALUE
{
    CHAIN_IN_USE = 4,
    COMMUNICATION_LOST = 6
};

bool is_final(int status)
{
    return status == NOT_RUNNING || status == POWERUP_NOT_RUNNING || status == ERROR;
}
} // namespace

std::atomic<int>& late_reports()
{
    static std::atomic<int> count{0};
    return count;
}

request::request(std::shared_ptr<const acquisition_plan> plan, CHI_CONTROL_ELA_INT* callback, SDR_DATA_LOG* log)
    : m_plan(std::move(plan)), m_callback(callback), m_log(log)
{
    m_busy_left = m_plan->busy_reports;
    m_time = m_plan->start_time;
}

// A power-up acquisition reports with the power-up form of a code where one exists.
int request::code(int normal) const
{
    if (!m_plan->power_up)
        return normal;
    switch (normal)
    {
    case WAITING:
    case PROGRESS_MET:
        return 3;
    case PRE_TRIGGER_DATA:
    case POST_TRIGGER_DATA:
    case OFFLOADING:
    case DATA_READY:
    case NOT_RUNNING:
        return normal + 1;
    default:
        return normal;
    }
}

void request::report(int status, int value, SDR_DATA_LOG* log)
{
    if (m_finished.load())
    {
        ++late_reports();
        return;
    }
    ++m_reports;
    m_callback->update_acquisition_status(CHI_CONTROL_ELA_INT::ELA_STATUS(status), value, log);
}

// The log is released on the GUI thread before the final report, so whoever handles that
// report finds it no longer acquiring.
void request::finish(run_env& env, int status, int value)
{
    gui_job job;
    job.kind = gui_job::FINISH;
    job.owner = this;
    // A device stopped while it waited for its trigger keeps what it sampled until then: a read
    // brings that.
    if (m_stop.load() && m_acquisition != nullptr && (m_phase == SEARCH || m_phase == PROGRESS))
        job.capture = m_acquisition->stopped();
    // The instance's trigger out will not come in this run.
    if (!m_acquisition || !m_acquisition->trigger().found)
        m_plan->trigger_out->never();
    const bool delivered = env.on_gui(job);
    m_phase = DONE;
    if (delivered)
        report(status, value);
    m_finished.store(true);
}

void request::advance(run_env& env)
{
    if (m_phase == DONE || env.abandoned())
        return;
    if (m_phase != START && m_phase < DATA && cable_unplugged().load())
    {
        finish(env, ERROR, COMMUNICATION_LOST);
        return;
    }
    switch (m_phase)
    {
    case START:
        report(RUNNING, 0);
        m_phase = m_plan->scripted ? SCRIPT : CHECK;
        return;
    case SCRIPT:
        script_step(env);
        return;
    case CHECK:
        check(env);
        return;
    case PRE_TRIGGER:
        if (m_stop.load())
            return finish(env, not_running(), 0);
        report(code(PRE_TRIGGER_DATA), 0);
        m_acquisition = std::make_unique<acquisition>(m_plan, m_time);
        m_plan->trigger_out->restart(m_time);
        m_waiting_reported = false;
        m_phase = SEARCH;
        return;
    case SEARCH:
        search(env);
        return;
    case PROGRESS:
        progress(env);
        return;
    case POST_TRIGGER:
        report(code(POST_TRIGGER_DATA), 0);
        m_phase = FILL;
        return;
    case FILL:
        fill(env);
        return;
    case OFFLOAD:
        report(code(OFFLOADING), 0);
        m_phase = DATA;
        return;
    case DATA:
        deliver(env, code(DATA_READY), 0);
        return;
    case END:
        finish(env, not_running(), 0);
        return;
    case DONE:
        return;
    }
}

void request::check(run_env& env)
{
    if (m_plan->start_error != 0)
        return finish(env, ERROR, m_plan->start_error);
    if (m_stop.load())
        return finish(env, not_running(), 0);
    if (m_busy_left > 0)
    {
        --m_busy_left;
        report(JTAG_BUSY, 0);
        return;
    }
    if (m_plan->busy_reports > 0 && m_plan->busy_then_error)
        return finish(env, ERROR, CHAIN_IN_USE);
    if (clock_stopped().load())
    {
        report(WAITING_FOR_CLOCK, 0);
        return;
    }
    m_phase = PRE_TRIGGER;
    advance(env);
}

// Trigger progress as the instance manager reads it: with the trigger in off, "waiting" is
// level 1 and level k met is k + 1; with it on, 0 is waiting and 1 the trigger in met. A state
// flow reports the state it enters (state 0 as -1). While the storage qualifier has not yet
// filled the pre-trigger part of the memory, the trigger is not armed: the run stays in its
// pre-trigger report.
void request::search(run_env& env)
{
    if (m_stop.load())
        return finish(env, not_running(), 0);
    if (m_acquisition->current() == acquisition::ARMING)
    {
        m_acquisition->advance(SEARCH_SLICE, &m_stop);
        publish_trigger_out();
        if (m_acquisition->current() == acquisition::ARMING)
            return;
    }
    const trigger_plan& trigger = m_plan->trigger;
    if (!m_waiting_reported)
    {
        m_waiting_reported = true;
        if (!trigger.continuous)
            return report(code(WAITING), trigger.state_based ? -1 : trigger.trigger_in.enabled ? 0 : 1);
    }
    m_acquisition->advance(SEARCH_SLICE, &m_stop);
    publish_trigger_out();
    if (m_stop.load())
        return finish(env, not_running(), 0);
    if (!m_acquisition->trigger().found)
        return; // still waiting for the trigger
    m_progress.clear();
    if (trigger.trigger_in.enabled)
        m_progress.push_back({code(PROGRESS_MET), 1});
    for (size_t k = 1; !trigger.state_based && !trigger.continuous && k < trigger.levels.size(); ++k)
        m_progress.push_back({code(PROGRESS_MET), int(k) + 1});
    m_phase = PROGRESS;
    progress(env);
}

// The other instances of the run see this one's trigger out as far as its search got.
void request::publish_trigger_out()
{
    const int64_t searched = m_acquisition->searched();
    if (m_acquisition->trigger().found)
        m_plan->trigger_out->triggered_at(m_acquisition->trigger().trigger);
    else
        m_plan->trigger_out->searched_to(searched);
}

// The post-trigger part of the memory fills with the samples the storage qualifier keeps
// (at once without one). Stopped before it is full, the run brings what it took.
void request::fill(run_env& env)
{
    if (m_acquisition->current() != acquisition::FULL && !m_stop.load())
    {
        m_acquisition->advance(SEARCH_SLICE, &m_stop);
        if (m_acquisition->current() != acquisition::FULL && !m_stop.load())
            return;
    }
    m_phase = OFFLOAD;
    advance(env);
}

void request::progress(run_env& env)
{
    if (m_stop.load())
        return finish(env, not_running(), 0);
    if (m_progress.empty())
    {
        m_phase = POST_TRIGGER;
        advance(env);
        return;
    }
    const std::pair<int, int> next = m_progress.front();
    m_progress.pop_front();
    report(next.first, next.second);
}

void request::deliver(run_env& env, int status, int value)
{
    gui_job job;
    job.kind = gui_job::INSTALL;
    job.owner = this;
    job.capture = m_acquisition->current() == acquisition::FULL ? m_acquisition->capture(&m_stop)
                                                                  : m_acquisition->stopped();
    job.prepare_next = m_plan->repeat && !m_plan->scripted && !m_stop.load();
    if (!env.on_gui(job))
    {
        m_phase = DONE;
        m_finished.store(true);
        return;
    }
    m_time = job.capture.end_time;
    if (job.installed == nullptr)
        return finish(env, not_running(), 0); // the log went away with its document
    report(status, value, job.installed);
    m_phase = m_plan->scripted ? SCRIPT : job.next_ready && !m_stop.load() ? PRE_TRIGGER : END;
}

// A scripted request reports the given pairs; a data-ready pair still brings real samples.
void request::script_step(run_env& env)
{
    if (m_stop.load() || m_script_position >= m_plan->script.size())
        return finish(env, not_running(), 0);
    const std::pair<int, int> next = m_plan->script[m_script_position++];
    if (is_final(next.first))
        return finish(env, next.first, next.second);
    if (next.first != DATA_READY && next.first != DATA_READY + 1)
        return report(next.first, next.second);
    if (m_acquisition == nullptr)
    {
        // The script decides when data is ready: where the trigger is not met yet, it is now.
        m_acquisition = std::make_unique<acquisition>(m_plan, m_time);
        for (int stage = 0; stage < 3 && m_acquisition->current() != acquisition::FULL; ++stage)
            m_acquisition->advance(SEARCH_SLICE, &m_stop);
        m_acquisition->force_trigger();
        for (int stage = 0; stage < 2 && m_acquisition->current() != acquisition::FULL; ++stage)
            m_acquisition->advance(SEARCH_SLICE, &m_stop);
    }
    deliver(env, next.first, next.second);
}
} // namespace chi_detail
