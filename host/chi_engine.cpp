// CHI_CONTROL: runs, stops and offloads of the simulated device, and the delivery of their
// reports. In the host's way a worker thread per run makes the reports; whatever changes a log
// is handed to the GUI thread through a mailbox and an event descriptor the GUI event loop
// watches, and the worker waits for it. The GUI thread never waits for a worker, and stop
// only raises a flag.
#include "host/chi_request.h"

#include "host/msg.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/standin/chi_control.h"
#include "host/standin/standin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <sys/eventfd.h>
#include <unistd.h>

namespace chi_detail
{
namespace
{
using standin::chi::delivery;

struct run_list
{
    std::vector<std::unique_ptr<request>> requests;
    delivery mode = delivery::thread;
    std::mutex mutex;                // guards `poked`
    std::condition_variable wake;
    bool poked = false;
    std::atomic<bool> abandoned{false};
    std::atomic<bool> over{false};

    bool all_finished() const
    {
        return std::all_of(requests.begin(), requests.end(), [](const auto& r) { return r->finished(); });
    }
    void poke()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            poked = true;
        }
        wake.notify_all();
    }
};

class gui_port;

struct engine
{
    std::mutex mutex;                // runs, mailbox, job results, workers, the event descriptor
    std::condition_variable job_done;
    std::condition_variable workers_done;
    std::vector<std::shared_ptr<run_list>> runs;
    std::deque<gui_job*> mailbox;
    int workers = 0;
    int wake_fd = -1;
    // GUI thread only
    delivery mode = delivery::thread;
    std::vector<std::vector<standin::chi::request_record>> records;
    std::vector<SDR_DATA_INSTANCE*> stops;
    QPointer<gui_port> port;
};

// Never destroyed: logs can still be destroyed (and forgotten here) during process exit.
engine& the_engine()
{
    static engine* e = new engine;
    return *e;
}

// ---- work on the GUI thread -------------------------------------------------------------

// The editing session of a log's document; null for a log that was removed or a document no
// editor has open.
SDR_TX_SESSION* editing_session_of(SDR_DATA_LOG* log)
{
    SDR_DATA_TRIGGER* trigger = log->get_trigger();
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    SDR_DATA_SESSION* session = instance != nullptr ? instance->m_session : nullptr;
    return session != nullptr ? session->m_tx_user : nullptr;
}

// The log of an autorun's next cycle: a new entry with logging on; with logging off the same
// temporary log, whose samples stay shown until the next cycle replaces them. A document that
// can take no more logs (a limit of the analyzer file) keeps its newest one, refilled by every
// later cycle; the user is told why, once per run.
SDR_DATA_LOG* next_log(request& owner, SDR_DATA_LOG* log)
{
    SDR_TX_SESSION* editing = editing_session_of(log);
    if (editing == nullptr || !editing->is_gui_logging_enabled())
        return log;
    SDR_DATA_INSTANCE* instance = log->get_trigger()->get_instance();
    int entry = editing->entry_of(instance);
    if (entry >= 0 && log->m_power_up)
        entry = editing->is_power_up_view(entry + 1) ? entry + 1 : -1;
    SDR_DATA_LOG* next = entry >= 0 ? editing->create_new_log(entry) : nullptr;
    const std::string refusal = SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal();
    if (next == nullptr && !refusal.empty() && owner.first_time_full()) {
        MSG_W note;
        const std::string text = refusal + "; the acquisition keeps refilling its newest data log";
        note.fill_args("%1!s!/WVANTREL_DOCUMENT_FULL", text.c_str());
        note.post();
    }
    return next != nullptr ? next : log;
}

// The device's memory for the request's instance takes the capture.
void keep_in_memory(const request& owner, const capture_result& capture)
{
    device_state& d = device();
    std::vector<std::string> wires;
    if (SDR_DATA_LOG* log = owner.log())
        wires = log->m_wire_names;
    d.memory[{owner.plan().device_key, owner.plan().power_up}] = {capture.payload, wires};
    d.time = std::max(d.time, capture.end_time);
}

void install(gui_job& job)
{
    request& owner = *job.owner;
    keep_in_memory(owner, job.capture);
    SDR_DATA_LOG* log = owner.log();
    if (log == nullptr)
        return;
    log->m_payload = job.capture.payload;
    log->m_acquiring = false;
    if (SDR_TX_SESSION* editing = editing_session_of(log))
        editing->forget_replaced_log(log);
    job.installed = log;
    if (!job.prepare_next)
        return;
    SDR_DATA_LOG* next = next_log(owner, log);
    next->m_acquiring = true;
    owner.set_log(next);
    owner.set_created(next != log ? next : nullptr);
    job.next_ready = true;
}

void release(gui_job& job)
{
    request& owner = *job.owner;
    if (job.capture.payload)
        keep_in_memory(owner, job.capture);
    SDR_DATA_LOG* log = owner.log();
    if (log == nullptr)
        return;
    log->m_acquiring = false;
    // A run stopped before it brought data leaves no empty entry and loses nothing shown: the
    // log shown before, with its samples, is shown again.
    SDR_TX_SESSION* editing = editing_session_of(log);
    if (editing != nullptr)
        editing->restore_replaced_log(log);
    else if (log == owner.created() && !log->is_data_available(false))
        log->remove();
}

void execute(gui_job& job)
{
    if (job.kind == gui_job::INSTALL)
        install(job);
    else
        release(job);
}

void drain()
{
    engine& e = the_engine();
    std::deque<gui_job*> jobs;
    {
        std::lock_guard<std::mutex> lock(e.mutex);
        jobs.swap(e.mailbox);
    }
    if (jobs.empty())
        return;
    // A worker only gives up its job (its own stack) in shutdown, which runs on this thread.
    for (gui_job* job : jobs)
        execute(*job);
    {
        std::lock_guard<std::mutex> lock(e.mutex);
        for (gui_job* job : jobs)
            job->done = true;
    }
    e.job_done.notify_all();
}

void advance_all(run_list& list);

void reap()
{
    engine& e = the_engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    for (const auto& list : e.runs)
        if (list->mode != delivery::thread && list->all_finished())
            list->over = true;
    e.runs.erase(std::remove_if(e.runs.begin(), e.runs.end(),
                                [](const auto& list) { return list->mode != delivery::thread && list->over.load(); }),
                 e.runs.end());
}

std::vector<std::shared_ptr<run_list>> runs_in(delivery mode)
{
    engine& e = the_engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    std::vector<std::shared_ptr<run_list>> result;
    for (const auto& list : e.runs)
        if (list->mode == mode && !list->over.load())
            result.push_back(list);
    return result;
}

// The engine's object on the GUI thread: wakes on the workers' event descriptor, and ticks
// the runs of timer delivery.
class gui_port : public QObject
{
public:
    gui_port() : QObject(QCoreApplication::instance())
    {
        m_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_fd >= 0)
        {
            auto* notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, [this] {
                uint64_t count = 0;
                (void)::read(m_fd, &count, sizeof count);
                drain();
            });
            std::lock_guard<std::mutex> lock(the_engine().mutex);
            the_engine().wake_fd = m_fd;
        }
        m_timer.setParent(this);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }

    ~gui_port() override
    {
        std::lock_guard<std::mutex> lock(the_engine().mutex);
        the_engine().wake_fd = -1;
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void start_timer()
    {
        m_timer.start(std::max(1, pace_ms().load()));
    }

    void stop_timer() { m_timer.stop(); }

private:
    void tick()
    {
        const auto lists = runs_in(delivery::timer);
        for (const auto& list : lists)
            advance_all(*list);
        reap();
        if (runs_in(delivery::timer).empty())
            m_timer.stop();
    }

    int m_fd = -1;
    QTimer m_timer;
};

gui_port* port()
{
    engine& e = the_engine();
    if (e.port.isNull() && QCoreApplication::instance() != nullptr)
        e.port = new gui_port;
    return e.port.data();
}

// ---- delivery ---------------------------------------------------------------------------

class worker_env : public run_env
{
public:
    explicit worker_env(run_list& list) : m_list(list) {}

    bool on_gui(gui_job& job) override
    {
        engine& e = the_engine();
        std::unique_lock<std::mutex> lock(e.mutex);
        e.mailbox.push_back(&job);
        if (e.wake_fd >= 0)
        {
            const uint64_t one = 1;
            (void)::write(e.wake_fd, &one, sizeof one);
        }
        while (!job.done)
        {
            if (m_list.abandoned.load())
            {
                e.mailbox.erase(std::remove(e.mailbox.begin(), e.mailbox.end(), &job), e.mailbox.end());
                return false;
            }
            e.job_done.wait_for(lock, std::chrono::milliseconds(10));
        }
        return true;
    }

    bool abandoned() const override { return m_list.abandoned.load(); }

private:
    run_list& m_list;
};

class gui_env : public run_env
{
public:
    explicit gui_env(run_list& list) : m_list(list) {}
    bool on_gui(gui_job& job) override
    {
        execute(job);
        return true;
    }
    bool abandoned() const override { return m_list.abandoned.load(); }

private:
    run_list& m_list;
};

void advance_all(run_list& list)
{
    gui_env env(list);
    for (const auto& r : list.requests)
        r->advance(env);
}

void work(std::shared_ptr<run_list> list)
{
    worker_env env(*list);
    while (!list->abandoned.load())
    {
        for (const auto& r : list->requests)
            r->advance(env);
        if (list->all_finished())
            break;
        std::unique_lock<std::mutex> lock(list->mutex);
        list->wake.wait_for(lock, std::chrono::milliseconds(pace_ms().load()),
                            [&] { return list->poked || list->abandoned.load(); });
        list->poked = false;
    }
    engine& e = the_engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    list->over = true;
    e.runs.erase(std::remove(e.runs.begin(), e.runs.end(), list), e.runs.end());
    --e.workers;
    e.workers_done.notify_all();
}

// Runs still active at process exit are abandoned before the objects they report to go.
struct exit_guard
{
    ~exit_guard() { standin::chi::shutdown(); }
};
const exit_guard guard;

void reset_engine()
{
    standin::chi::reset();
}

const standin::reset_registrar registrar(&reset_engine);

bool start(const std::vector<CHI_CONTROL::ACQ_PARAMETER>& requests)
{
    if (requests.empty() || faults().refuse_runs || port() == nullptr)
        return false;
    std::vector<std::shared_ptr<acquisition_plan>> plans;
    for (const CHI_CONTROL::ACQ_PARAMETER& r : requests)
    {
        plans.push_back(r.log != nullptr && r.callback != nullptr ? make_plan(r.log, r.repeat != 0) : nullptr);
        if (plans.back() == nullptr)
            return false;
    }
    link_trigger_ins(plans);
    engine& e = the_engine();
    auto list = std::make_shared<run_list>();
    list->mode = e.mode;
    std::vector<standin::chi::request_record> record;
    for (size_t i = 0; i < requests.size(); ++i)
    {
        list->requests.push_back(std::make_unique<request>(plans[i], requests[i].callback, requests[i].log));
        requests[i].log->m_acquiring = true;
        record.push_back({requests[i].log, requests[i].callback, requests[i].repeat != 0});
    }
    e.records.push_back(record);
    {
        std::lock_guard<std::mutex> lock(e.mutex);
        e.runs.push_back(list);
        e.workers += list->mode == delivery::thread ? 1 : 0;
    }
    if (list->mode == delivery::thread)
        std::thread(work, list).detach();
    else if (list->mode == delivery::timer)
        port()->start_timer();
    return true;
}
} // namespace

engine_faults& faults()
{
    static engine_faults f;
    return f;
}

std::atomic<bool>& cable_unplugged()
{
    static std::atomic<bool> flag{false};
    return flag;
}

std::atomic<bool>& clock_stopped()
{
    static std::atomic<bool> flag{false};
    return flag;
}

std::atomic<int>& pace_ms()
{
    static std::atomic<int> ms{20};
    return ms;
}

void forget_log(SDR_DATA_LOG* log)
{
    engine& e = the_engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    for (const auto& list : e.runs)
        for (const auto& r : list->requests)
        {
            if (r->log() == log)
            {
                r->set_log(nullptr);
                r->stop();
            }
            if (r->created() == log)
                r->set_created(nullptr);
        }
}
} // namespace chi_detail

// ---- the host interface -------------------------------------------------------------------------

bool CHI_CONTROL::run(const std::vector<ACQ_PARAMETER>& requests)
{
    const bool started = chi_detail::start(requests);
    standin::record_call("chi:run(" + std::to_string(requests.size()) + (started ? ")" : ",refused)"));
    return started;
}

void CHI_CONTROL::stop(SDR_DATA_INSTANCE* instance)
{
    standin::record_call(std::string("chi:stop(") + (instance != nullptr ? instance->get_name() : "") + ")");
    chi_detail::engine& e = chi_detail::the_engine();
    e.stops.push_back(instance);
    std::lock_guard<std::mutex> lock(e.mutex);
    for (const auto& list : e.runs)
        for (const auto& r : list->requests)
            if (instance != nullptr && r->plan().instance == instance)
            {
                r->stop();
                list->poke();
            }
}

namespace chi_detail
{
namespace
{
// Why the device's memory holds nothing to read for the log's instance ("" when it does).
std::string nothing_to_read(const SDR_DATA_LOG* log, SDR_DATA_INSTANCE* instance)
{
    const device_state& d = device();
    const unsigned key = node_info_word(instance);
    const std::string name = std::string("\"") + instance->get_name() + "\"";
    if (!d.programmed || d.crcs.count(key) == 0)
        return "the device does not hold instance " + name + ": program it first";
    const auto memory = d.memory.find({key, log->m_power_up});
    if (memory != d.memory.end() && memory->second.payload)
        return "";
    if (!log->m_power_up)
        return "instance " + name + " has acquired nothing since the device was programmed";
    if (d.power_up.count(key) == 0)
        return "the device was programmed without the power-up trigger of instance " + name +
               ": enable it, then program the device again";
    return "the power-up trigger of instance " + name + " has not been met since the device was programmed";
}

void post_read_failure(SDR_DATA_INSTANCE* instance, const std::string& reason)
{
    MSG_E message;
    message.fill_args("Cannot read the data of instance \"%1!s!\": %2!s!/ECHI_READ_FAILED",
                      instance != nullptr ? instance->get_name() : "", reason.c_str());
    message.post();
}
} // namespace
} // namespace chi_detail

bool CHI_CONTROL::offload(SDR_DATA_LOG* log)
{
    SDR_DATA_TRIGGER* trigger = log != nullptr ? log->get_trigger() : nullptr;
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    SDR_DATA_SESSION* session = instance != nullptr ? instance->m_session : nullptr;
    standin::record_call(std::string("chi:offload(") + (instance != nullptr ? instance->get_name() : "") + ")");
    if (session == nullptr)
        return false;
    std::string reason;
    if (chi_detail::faults().fail_offload)
        reason = "the device did not answer";
    else if (chi_detail::chain_error(session->m_jtag_chain_name, session->m_jtag_device_name) != 0)
        reason = "the device \"" + session->m_jtag_device_name + "\" cannot be reached on \"" +
                 session->m_jtag_chain_name + "\"";
    else
        reason = chi_detail::nothing_to_read(log, instance);
    if (!reason.empty())
    {
        chi_detail::post_read_failure(instance, reason);
        return false;
    }
    const chi_detail::stored_capture& memory =
        chi_detail::device().memory.at({chi_detail::node_info_word(instance), log->m_power_up});
    log->m_payload = memory.payload;
    // The samples keep the channels they were taken from.
    if (!memory.wires.empty())
        log->m_wire_names = memory.wires;
    log->m_acquiring = false;
    return true;
}

// ---- seams ----------------------------------------------------------------------------------------

namespace standin::chi
{
void set_delivery(delivery mode)
{
    chi_detail::the_engine().mode = mode;
}

delivery get_delivery()
{
    return chi_detail::the_engine().mode;
}

void set_pace_ms(int ms)
{
    chi_detail::pace_ms().store(std::max(0, ms));
}

void step()
{
    for (const auto& list : chi_detail::runs_in(delivery::manual))
        chi_detail::advance_all(*list);
    chi_detail::reap();
}

int run_to_end(int max_steps)
{
    int steps = 0;
    for (; steps < max_steps && !chi_detail::runs_in(delivery::manual).empty(); ++steps)
    {
        int before = 0;
        int after = 0;
        const auto lists = chi_detail::runs_in(delivery::manual);
        for (const auto& list : lists)
            for (const auto& r : list->requests)
                before += r->reports() + (r->finished() ? 1 : 0);
        step();
        for (const auto& list : lists)
            for (const auto& r : list->requests)
                after += r->reports() + (r->finished() ? 1 : 0);
        if (after == before)
            break;
    }
    return steps;
}

bool is_active()
{
    chi_detail::engine& e = chi_detail::the_engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    return std::any_of(e.runs.begin(), e.runs.end(),
                       [](const auto& list) { return !list->over.load() && !list->all_finished(); });
}

bool wait_idle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (is_active())
    {
        if (clock.elapsed() > ms)
            return false;
        chi_detail::drain();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        chi_detail::reap();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    chi_detail::drain();
    chi_detail::reap();
    return true;
}

void shutdown()
{
    chi_detail::engine& e = chi_detail::the_engine();
    std::vector<std::shared_ptr<chi_detail::run_list>> lists;
    {
        std::lock_guard<std::mutex> lock(e.mutex);
        lists = e.runs;
        for (const auto& list : lists)
            list->abandoned = true;
        e.mailbox.clear();
    }
    for (const auto& list : lists)
        list->poke();
    e.job_done.notify_all();
    std::unique_lock<std::mutex> lock(e.mutex);
    e.workers_done.wait(lock, [&] { return e.workers == 0; });
    e.runs.clear();
}

void script(const std::string& instance_name, const std::vector<std::pair<int, int>>& reports)
{
    chi_detail::faults().scripts[instance_name] = reports;
}

void refuse_runs(bool refuse)
{
    chi_detail::faults().refuse_runs = refuse;
}

void fail_offload(bool fail)
{
    chi_detail::faults().fail_offload = fail;
}

void set_error(int value)
{
    chi_detail::faults().error = value;
}

void set_busy(int reports, bool then_error)
{
    chi_detail::faults().busy_reports = std::max(0, reports);
    chi_detail::faults().busy_then_error = then_error;
}

void unplug_cable(bool unplugged)
{
    chi_detail::cable_unplugged().store(unplugged);
}

void stop_clock(bool stopped)
{
    chi_detail::clock_stopped().store(stopped);
}

int late_reports()
{
    return chi_detail::late_reports().load();
}

std::vector<std::vector<request_record>> runs()
{
    return chi_detail::the_engine().records;
}

std::vector<SDR_DATA_INSTANCE*> stops()
{
    return chi_detail::the_engine().stops;
}

void reset()
{
    shutdown();
    chi_detail::engine& e = chi_detail::the_engine();
    e.mode = delivery::thread;
    e.records.clear();
    e.stops.clear();
    if (!e.port.isNull())
        e.port->stop_timer();
    chi_detail::faults() = chi_detail::engine_faults();
    chi_detail::pace_ms().store(20);
    chi_detail::cable_unplugged().store(false);
    chi_detail::clock_stopped().store(false);
    chi_detail::late_reports().store(0);
}
} // namespace standin::chi
