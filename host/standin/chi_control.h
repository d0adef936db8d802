#pragma once
// Test seams of the acquisition engine stand-in: how reports are delivered, scripted report
// sequences, fault injection, what the library asked for, the simulated device and the
// compile flow. Library code never includes this header.

#include "host/chi.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class SDR_DATA_SESSION;
struct SDR_LOG_PAYLOAD;

namespace standin::chi
{
// ---- delivery -------------------------------------------------------------------------------

enum class delivery
{
    thread,   // a worker thread per run calls the callbacks (the host's way; the default)
    timer,    // a timer on the GUI thread makes one report per request and tick
    manual    // step() makes the reports
};
// Applies to runs started afterwards.
void set_delivery(delivery mode);
delivery get_delivery();
// Pause between two reports of a run (thread and timer delivery).
void set_pace_ms(int ms);

// Manual delivery: every unfinished request of the manual runs makes its next report.
void step();
// Steps until the manual runs are over or no request has a report left to make (one that waits
// for a trigger that never comes); returns the number of steps.
int run_to_end(int max_steps = 100000);
// Handles GUI-thread work and events until no run is active; false after `ms` milliseconds.
bool wait_idle(int ms);
bool is_active();
// Cancels every run without another report and waits for their threads (test teardown).
void shutdown();

// ---- scripts and faults ---------------------------------------------------------------------

// Runs of the named instance report these (status, value) pairs instead of the simulated
// sequence (after "running"); a data-ready pair installs simulated samples first.
void script(const std::string& instance_name, const std::vector<std::pair<int, int>>& reports);
void refuse_runs(bool refuse);
void fail_offload(bool fail);
// Every run ends with error `value` (0: none) once running was reported.
void set_error(int value);
// "JTAG busy" `reports` times at the start of every run, then the run goes on or, with
// `then_error`, ends with "chain in use".
void set_busy(int reports, bool then_error);
// The cable is pulled (running runs end with "communication lost") or plugged back in.
void unplug_cable(bool unplugged);
// No clock activity: runs report "waiting for clock" until it is released.
void stop_clock(bool stopped);
// Reports the engine tried to make after a request's final report (always 0).
int late_reports();

// ---- records --------------------------------------------------------------------------------

struct request_record
{
    SDR_DATA_LOG* log = nullptr;
    CHI_CONTROL_ELA_INT* callback = nullptr;
    bool repeat = false;
};
// The request lists of every accepted run, in order.
std::vector<std::vector<request_record>> runs();
std::vector<SDR_DATA_INSTANCE*> stops();

// ---- simulated chain, device and compile ----------------------------------------------------

// The chain the project fixture would describe.
void set_chain(const std::vector<std::string>& hardware, const std::vector<std::string>& devices, bool connected);
// Programs the device with (node-information word, CRC) pairs.
void program_device(const std::vector<std::pair<unsigned, unsigned>>& pairs);
// Programs the device from a programming file; false with a message when it cannot be read.
bool program_device_from_file(const std::string& sof, std::string* error);
bool is_programmed();
std::vector<std::pair<unsigned, unsigned>> device_pairs();
// What the device holds of an instance's last acquisition (null when nothing).
std::shared_ptr<const SDR_LOG_PAYLOAD> device_memory(unsigned node_info, bool power_up);
// Compiles the enabled instances of the session (flow 15 full, 80 fast recompile) into a
// programming file; false with a message when the file cannot be written.
bool compile(SDR_DATA_SESSION* session, int flow, const std::string& sof_path, std::string* error);
// Writes a programming file holding the given pairs.
bool write_programming_file(const std::string& path, const std::vector<std::pair<unsigned, unsigned>>& pairs,
                            std::string* error);
// The node-information word the device knows an instance by.
unsigned node_info_word(SDR_DATA_INSTANCE* instance);
// Puts into `log` the samples the first run of its instance acquires on a device freshly
// programmed with the instance's design (its sample clock at 0), at once and without the
// engine: what a bundled document's stored log holds. False with the reason when the run could
// not start or its trigger is never met.
bool acquire_first_run(SDR_DATA_LOG* log, std::string* error);

void reset();
} // namespace standin::chi
