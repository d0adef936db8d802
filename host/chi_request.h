#pragma once
// One acquisition request of a run as a sequence of status reports: each advance() makes at
// most one report, so the same request can be driven by a worker thread, a GUI timer or a
// test's steps. Whatever touches a log goes through run_env::on_gui, which runs it on the
// GUI thread; the request itself keeps only its plan and private results.

#include "host/chi_private.h"

#include <atomic>
#include <deque>
#include <memory>
#include <utility>

namespace chi_detail
{
class request;

// A piece of work for the GUI thread: install a payload into the request's log (and, for an
// autorun, prepare the log of the next cycle), or end the request's use of its log (leaving in
// the device's memory what a stopped acquisition sampled, when it has a capture).
struct gui_job
{
    enum KIND
    {
        INSTALL,
        FINISH
    };
    KIND kind = FINISH;
    request* owner = nullptr;
    capture_result capture;
    bool prepare_next = false;
    // results, written on the GUI thread
    SDR_DATA_LOG* installed = nullptr;   // the log that took the payload; null when it is gone
    bool next_ready = false;
    bool done = false;                   // under the engine's lock
};

class run_env
{
public:
    virtual ~run_env() = default;
    // Runs the job on the GUI thread and waits for it; false when the run was abandoned
    // meanwhile (then nothing more may be reported).
    virtual bool on_gui(gui_job& job) = 0;
    virtual bool abandoned() const = 0;
};

class request
{
public:
    request(std::shared_ptr<const acquisition_plan> plan, CHI_CONTROL_ELA_INT* callback, SDR_DATA_LOG* log);

    void advance(run_env& env);
    bool finished() const { return m_finished.load(); }
    // Reports made so far (a test's steps stop when none are left to make).
    int reports() const { return m_reports.load(); }
    void stop() { m_stop.store(true); }
    const acquisition_plan& plan() const { return *m_plan; }
    CHI_CONTROL_ELA_INT* callback() const { return m_callback; }
    SDR_DATA_LOG* log() const { return m_log.load(); }
    // GUI thread only: the log to report into, and a log the engine made for an autorun cycle
    // (dropped again when the run ends before that cycle brought data).
    void set_log(SDR_DATA_LOG* log) { m_log.store(log); }
    SDR_DATA_LOG* created() const { return m_created; }
    void set_created(SDR_DATA_LOG* log) { m_created = log; }
    // GUI thread only: true the first time an autorun cycle found no room for a new log.
    bool first_time_full() { return !std::exchange(m_told_full, true); }

private:
    enum PHASE
    {
        START,
        SCRIPT,
        CHECK,
        PRE_TRIGGER,
        SEARCH,
        PROGRESS,
        POST_TRIGGER,
        FILL,
        OFFLOAD,
        DATA,
        END,
        DONE
    };

    void report(int status, int value, SDR_DATA_LOG* log);
    void report(int status, int value) { report(status, value, log()); }
    void finish(run_env& env, int status, int value);
    void check(run_env& env);
    void search(run_env& env);
    void progress(run_env& env);
    void fill(run_env& env);
    void publish_trigger_out();
    void deliver(run_env& env, int status, int value);
    void script_step(run_env& env);
    int code(int normal) const;
    int not_running() const { return code(12); }

    std::shared_ptr<const acquisition_plan> m_plan;
    CHI_CONTROL_ELA_INT* m_callback;
    std::atomic<SDR_DATA_LOG*> m_log;
    SDR_DATA_LOG* m_created = nullptr;
    bool m_told_full = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_reports{0};
    PHASE m_phase = START;
    int m_busy_left = 0;
    int64_t m_time = 0;
    std::unique_ptr<acquisition> m_acquisition;
    bool m_waiting_reported = false;
    std::deque<std::pair<int, int>> m_progress;
    size_t m_script_position = 0;
};

// Reports attempted after a request's final report; the engine never makes one.
std::atomic<int>& late_reports();
} // namespace chi_detail
