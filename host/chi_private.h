#pragma once
// Inside of the acquisition engine stand-in: the simulated JTAG chain and device, the compile
// flow's programming file, the signal sources of a run, the trigger search and the payload.
// Everything a worker thread reads lives in an ACQUISITION_PLAN built on the GUI thread; the
// device, the chain and every log are touched on the GUI thread only.

#include "host/chi.h"
#include "host/chi_condition.h"
#include "host/chi_log_watch.h"
#include "host/sdr/sdr_data_model.h"
#include "host/standin/stimulus.h"

#include <QJsonObject>
#include <QJsonValue>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QUI_FRAME_WND;

namespace chi_detail
{
// ---- the simulated chain (fixture "jtag") and device ---------------------------------------

struct chain_config
{
    std::vector<std::string> hardware;
    std::vector<std::string> devices;
    bool connected = false;
    int pace_ms = 20;                // between two reports of a run on the engine thread
    int busy_reports = 0;            // "JTAG busy" reports at the start of every run
    bool busy_then_error = false;    // ... after which the run ends with "chain in use"
    int error = 0;                   // every run ends with this error value (0: none)
    bool clock_stopped = false;
    // Faults a test may switch on; each is off (0, false) unless the fixture names it.
    int trigger_in_after = 0;        // > 0: a stuck trigger in, met this many samples after the
                                     // search starts whatever its source says
    int advanced_after = 64;         // with fixed_distance: samples until an advanced level or a
                                     // state flow is met
    bool fixed_distance = false;     // advanced levels and flows are met after advanced_after
                                     // samples whatever they say (else they are evaluated)
    int sq_invalid_every = 0;        // > 1: a faulty memory, every k-th sample of it reads invalid
    std::set<std::string> disconnected;
};

// One instance of a programming file: its node-information word and trigger CRC, and what
// the compile recorded of it.
struct sof_instance
{
    unsigned node_info = 0;
    unsigned crc = 0;
    std::string name;
    unsigned pre_fit_crc = 0;
    bool incremental_route = false;
};

// What the acquisition memory of one instance holds: the samples and the channels they were
// taken from.
struct stored_capture
{
    std::shared_ptr<const SDR_LOG_PAYLOAD> payload;
    std::vector<std::string> wires;
};

struct device_state
{
    bool programmed = false;
    std::map<unsigned, unsigned> crcs;             // node-information word -> CRC
    int64_t time = 0;                              // the device's sample clock; 0 when programmed
    // Acquisition memory per node-information word and power-up flag.
    std::map<std::pair<unsigned, bool>, stored_capture> memory;
    // Instances programmed with their power-up trigger on, by node-information word, with the
    // instance's name; those whose power-up trigger was met have their capture in `memory`.
    std::map<unsigned, std::string> power_up;
};

chain_config& chain();
device_state& device();
// Fixture sections "jtag" and "compiled"; false with a message naming the entry at fault.
bool load_fixture(const QJsonObject& root, const std::string& project_dir, std::string* error);
void unload_fixture();
// 0 when the named hardware and device are on a connected chain, else the error value of a
// run ("invalid hardware").
int chain_error(const std::string& hardware, const std::string& device);
// The word that identifies an instance on the device: f1 | f2 << 8 | f3 << 19 | version << 27.
unsigned node_info_word(const SDR_DATA_INSTANCE_INFO& info, int version);
unsigned node_info_word(SDR_DATA_INSTANCE* instance);
// Loads the instances into the device, which starts over at sample 0 and captures the power-up
// trigger of each instance that has one (as the open analyzer document defines it).
void program_device(const std::vector<sof_instance>& instances);
// Samples within which the power-up trigger of a freshly programmed device is met, if at all.
constexpr int64_t POWER_UP_HORIZON = int64_t(1) << 24;

// ---- compile flow and programming files --------------------------------------------------

// Records every enabled instance of the session as compiled and writes the programming file.
// Flow 80 (fast recompile) only takes instances whose pre-fitting content is unchanged.
bool compile_session(SDR_DATA_SESSION* session, int flow, const std::string& sof_path, std::string* error);
// What the host compiles when a flow of the frame ends: the frame's document, into
// <project>/output/<revision>.sof.
void simulate_flow(QUI_FRAME_WND* frame, int flow);
bool write_sof(const std::string& path, const std::vector<sof_instance>& instances, std::string* error);
bool read_sof(const std::string& path, std::vector<sof_instance>* instances, std::string* error);

// ---- signal sources ----------------------------------------------------------------------

struct compare_term;

// Where a channel or trigger node gets its level from: a bit of a stimulus value (some samples
// ahead), the state indicator of an fsm stimulus, or nothing (always low).
struct signal_source
{
    int stimulus = -1;               // index into the bank's stimuli; -1: always low
    int bit = 0;
    int64_t offset = 0;
    int state = -1;
};

// Working memory of one capture's row generation: the words of a row, and one byte of the
// values of each random stimulus over the window, computed once for the eight bits of its bus
// that byte holds.
struct row_scratch
{
    struct block_bytes
    {
        int64_t first = 0;            // block index of bytes[0]
        std::vector<uint8_t> bytes;
    };
    std::vector<uint64_t> words;
    std::vector<uint64_t> block_bits;
    std::map<std::pair<int, int>, block_bytes> blocks;   // by stimulus and byte of the value
};

class signal_bank
{
public:
    // The source of a design signal: its stimulus in the project, else a bit of a free-running
    // counter for a name ending in "[k]", else a slow pseudo-random level seeded by the name.
    int add_signal(const std::string& name);
    int add_low();
    const signal_source& source(int index) const { return m_sources[size_t(index)]; }
    int source_count() const { return int(m_sources.size()); }

    bool bit(int source, int64_t sample) const;
    // A comparison's members as bits of one stimulus, when they are (fills its shared fields).
    void share_stimulus(compare_term* term) const;
    uint64_t stimulus_value(int stimulus, int64_t sample) const;
    const standin::stimulus& stimulus_of(int stimulus) const { return m_stimuli[size_t(stimulus)]; }
    int64_t stimulus_next_change(int stimulus, int64_t sample, int bit) const;
    // The first sample after `sample` where the source may change.
    int64_t next_change(int source, int64_t sample) const;
    // The bits of samples first .. first + depth - 1, packed LSB first into (depth + 7) / 8 bytes.
    void fill_row(int source, int64_t first, int depth, unsigned char* row, row_scratch* scratch) const;

private:
    int add_stimulus(const standin::stimulus* stimulus);
    size_t periodic_span(const signal_source& s, size_t count) const;
    void fill_words(const signal_source& s, int64_t first, size_t count, row_scratch* scratch) const;
    void fill_period(const signal_source& s, int64_t first, size_t span, uint64_t* words) const;
    void fill_runs(const signal_source& s, int64_t first, size_t count, uint64_t* words) const;
    void fill_blocks(const signal_source& s, int64_t first, size_t count, row_scratch* scratch) const;
    const row_scratch::block_bytes& block_bytes(int stimulus, int byte, int64_t first_block, int64_t last_block,
                                                row_scratch* scratch) const;

    std::vector<standin::stimulus> m_stimuli;
    std::map<const standin::stimulus*, int> m_stimulus_index;
    std::vector<signal_source> m_sources;
};

// ---- trigger -----------------------------------------------------------------------------

struct trigger_term
{
    int source = -1;
    SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DONT_CARE;
};

struct compare_term
{
    std::vector<int> sources;        // most significant first
    // When every member is a bit of one stimulus (a bus as the design drives it): that stimulus
    // (else -1), its offset, the bit of each member, and the lowest of them.
    int stimulus = -1;
    int64_t offset = 0;
    std::vector<int> bits;
    int lowest_bit = 0;
    bool field = false;              // the bits are one field, most significant first
    SDR_DATA_TRIGGER_CONDITION op1 = SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO;
    int value1 = 0;
    SDR_DATA_TRIGGER_CONDITION op2 = SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO;
    int value2 = 0;
};

struct level_plan
{
    SDR_DATA_TRIGGER_LEVEL_TYPE type = SDR_LTYPE_BASIC_AND;
    bool enabled = true;
    std::vector<trigger_term> terms;
    std::vector<compare_term> compares;
    std::shared_ptr<const advanced_level> advanced;   // an enabled advanced level, compiled
};

// The trigger out of one instance during a run, as the trigger in of another instance of the
// same run sees it: not asserted before the instance's trigger sample, asserted from it on to
// the end of the run. The request that acquires the instance writes it, the others read it,
// from any thread.
class trigger_out_line
{
public:
    explicit trigger_out_line(bool active_low = false) : m_active_low(active_low) {}
    // The instance searched the samples before `sample` without triggering.
    void searched_to(int64_t sample);
    void triggered_at(int64_t sample);
    // The instance will not trigger (any more) in this run.
    void never();
    // A new acquisition of the instance (autorun) from `start`.
    void restart(int64_t start);

    // The first sample in [from, limit) where the line meets `condition`; -1 when there is none,
    // then `reached` tells how far the line is known.
    int64_t first_meeting(SDR_DATA_TRIGGER_CONDITION condition, int64_t from, int64_t limit, int64_t* reached) const;

private:
    static constexpr int64_t FOREVER = INT64_MAX;
    // Written trigger first, then known; read in the other order, so a reader that sees the
    // search past a sample also sees a trigger before it.
    std::atomic<int64_t> m_known{-1};     // no trigger before this sample
    std::atomic<int64_t> m_trigger{-1};   // the trigger sample, once met
    bool m_active_low;
};

// The trigger in: a pin or node of the design, or the trigger out of another instance of the
// run, and the condition it must meet before the levels are searched.
struct trigger_in_plan
{
    bool enabled = false;
    level_plan signal;                                // a pin or node: one term, the condition
    std::shared_ptr<const trigger_out_line> line;     // an instance; null: none in the run
    std::string instance;                             // ... its name
    bool from_instance = false;
    bool source_active_low = false;                   // ... whose trigger out is active low
    bool never = false;                               // a source the device does not have
    SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DONT_CARE;
    int after = 0;                                    // fault: met this many samples after start
};

struct trigger_plan
{
    std::vector<level_plan> levels;
    trigger_in_plan trigger_in;
    bool state_based = false;
    bool continuous = false;
    int advanced_after = 64;
    bool fixed_distance = false;
    std::shared_ptr<const flow_program> flow;         // a state-based flow, read
};

// What the storage qualifier keeps in the memory. Continuous (also a disabled or unavailable
// qualifier) keeps every sample; the others keep the samples their conditions pick, and the
// trigger sample always.
struct storage_plan
{
    SDR_DATA_STORAGE_QUALIFIER_TYPE type = SDR_SQTYPE_CONTINUOUS;
    // Input port: one term, the port high. Transitional: an either-edge term of every watched
    // node, any of them. Conditional: the storage condition. Start/Stop: the start condition.
    level_plan keep;
    level_plan stop;                                  // Start/Stop: the stop condition
    bool record_breaks = false;
    bool qualified() const { return type != SDR_SQTYPE_CONTINUOUS; }
};

// What a search carries from one slice to the next: the registers of the levels it evaluates
// and of the flow.
struct search_memory
{
    std::vector<advanced_level::state> levels;
    flow_program::state flow;
    bool flow_started = false;
    int64_t flow_next = -1;          // after its trigger: the sample the flow steps at next
    // A flow reads its levels 64 samples at a time: their results from words_first on (bit i
    // for sample words_first + i), and the signals' rows they were read from.
    int64_t words_first = -1;
    std::vector<uint64_t> words;
    std::vector<std::vector<uint64_t>> rows;      // per source: samples from row_first on
    std::vector<int64_t> row_first;
    row_scratch scratch;
};

// When the trigger conditions were met. A search can be continued where it stopped, so a
// device that waits long for its trigger is searched a slice at a time.
struct trigger_result
{
    bool found = false;
    int64_t trigger_in = -1;         // sample of the trigger in, -1 when it is off
    std::vector<int64_t> levels;     // sample where each level was met
    int64_t trigger = -1;            // the trigger sample (the last level)
    int64_t next = 0;                // where the search goes on
    bool started = false;
    std::shared_ptr<search_memory> memory;
    bool flow_met = false;           // a state-based flow triggered
    flow_report flow;                // ... and what its registers held then
};

// A search from sample `from`.
inline trigger_result trigger_search_from(int64_t from)
{
    trigger_result result;
    result.next = from;
    return result;
}

// Searches at most `budget` samples further; gives up early when `cancel` turns true.
void search_trigger(const trigger_plan& plan, const signal_bank& bank, int64_t budget, const std::atomic<bool>* cancel,
                    trigger_result* search);
// After its trigger a state-based flow goes on running up to `limit` (for its storage
// commands); `reached` is where it got.
void run_flow_after_trigger(const trigger_plan& plan, const signal_bank& bank, int64_t limit,
                            const std::atomic<bool>* cancel, trigger_result* search, int64_t* reached);
// A level's results at `first` .. `first` + 63 (bit i for sample first + i); each call is for
// the 64 samples after the previous one's.
uint64_t level_block(const level_plan& level, const signal_bank& bank, int64_t first, search_memory* memory,
                     advanced_level::state* registers);

// ---- one acquisition ---------------------------------------------------------------------

struct acquisition_plan
{
    signal_bank bank;
    std::vector<int> channels;       // source per channel (wire order)
    std::vector<char> connected;
    trigger_plan trigger;
    storage_plan storage;
    int depth = 0;
    int segment_size = 0;            // 0: one window
    int trigger_offset = 0;          // samples before the trigger in a window (or segment)
    int sq_invalid_every = 0;        // fault: every k-th sample of the memory reads invalid
    int state_value = -1;
    QByteArray flags;
    std::vector<unsigned> counters;
    bool power_up = false;
    bool repeat = false;
    int start_error = 0;             // the run ends with this error at once (0: none)
    std::string start_reason;        // why, when the trigger cannot be built
    int busy_reports = 0;
    bool busy_then_error = false;
    bool scripted = false;
    std::vector<std::pair<int, int>> script;
    unsigned device_key = 0;         // node-information word
    SDR_DATA_INSTANCE* instance = nullptr;   // identity only; never read off the GUI thread
    std::string instance_name;
    std::shared_ptr<trigger_out_line> trigger_out;   // this instance's, for the others of its run
    int64_t start_time = 0;
};

// Builds the plan of one request on the GUI thread; null for a log that belongs to nothing.
std::shared_ptr<acquisition_plan> make_plan(SDR_DATA_LOG* log, bool repeat);
// The plan of an acquisition of the trigger's instance into channels `wires`.
std::shared_ptr<acquisition_plan> make_plan(SDR_DATA_TRIGGER* trigger, const std::vector<std::string>& wires,
                                            bool power_up, bool repeat);
// Each trigger in from an instance of the same run reads that instance's trigger out.
void link_trigger_ins(const std::vector<std::shared_ptr<acquisition_plan>>& plans);

struct capture_result
{
    std::shared_ptr<SDR_LOG_PAYLOAD> payload;
    int64_t end_time = 0;
};

// Samples first .. first + count - 1, stored one after the other.
struct stored_run
{
    int64_t first = 0;
    int64_t count = 0;
};

// What the memory holds: the samples of `runs` in order (unfilled places read invalid),
// `triggers` the places of the trigger samples (one per segment, -1: none in it).
capture_result capture_of(const acquisition_plan& plan, const std::vector<stored_run>& runs,
                          const std::vector<int>& triggers, const trigger_result& first);
// Every sample of the window around the trigger that `first` found (and, for a segmented
// acquisition, of the windows around the triggers of the further segments, searched on from it).
capture_result capture_windows(const acquisition_plan& plan, const trigger_result& first,
                               const std::atomic<bool>* cancel);
// What the memory of a device stopped while it waited for its trigger holds when every sample
// is stored: the samples from `start` up to `reached`, where its search got.
capture_result capture_stopped(const acquisition_plan& plan, int64_t start, int64_t reached);

class storage_tracker;

// One acquisition on the device's timeline from sample `start`, worked through a slice at a
// time: the memory takes the pre-trigger samples the storage qualifier keeps (the trigger is
// armed once those fill their part of the memory), the trigger is searched, then the memory
// takes the post-trigger samples. Without a storage qualifier every sample is stored, so the
// trigger is armed at once and the memory is full the moment the trigger is found.
class acquisition
{
public:
    enum stage
    {
        ARMING,
        SEARCHING,
        FILLING,
        FULL
    };

    acquisition(std::shared_ptr<const acquisition_plan> plan, int64_t start);
    ~acquisition();
    acquisition(const acquisition&) = delete;
    acquisition& operator=(const acquisition&) = delete;

    // Works through about `budget` more samples of the current stage and on into the next
    // ones; gives up early when `cancel` turns true.
    void advance(int64_t budget, const std::atomic<bool>* cancel);
    stage current() const { return m_stage; }
    const trigger_result& trigger() const { return m_trigger; }
    // No trigger before this sample (INT64_MAX once one was found).
    int64_t searched() const;
    // The trigger is met now wherever the search got (a scripted data-ready report).
    void force_trigger();
    // The memory once full: the samples around the trigger, or one window per segment.
    capture_result capture(const std::atomic<bool>* cancel) const;
    // What the memory holds when the device is stopped now.
    capture_result stopped() const;

private:
    void arm(int64_t budget, const std::atomic<bool>* cancel);
    void search(int64_t budget, const std::atomic<bool>* cancel);
    void fill(int64_t budget, const std::atomic<bool>* cancel);
    void follow_search(const std::atomic<bool>* cancel);

    std::shared_ptr<const acquisition_plan> m_plan;
    int64_t m_start;
    stage m_stage = ARMING;
    trigger_result m_trigger;
    std::unique_ptr<storage_tracker> m_store;    // null: every sample is stored
};

// The power-up capture of a plan, from sample 0 of a freshly programmed device; no payload when
// its trigger is not met within POWER_UP_HORIZON samples.
capture_result capture_power_up(std::shared_ptr<const acquisition_plan> plan);

// Seam state the engine reads (faults that tests switch).
struct engine_faults
{
    bool refuse_runs = false;
    bool fail_offload = false;
    int error = 0;
    int busy_reports = 0;
    bool busy_then_error = false;
    std::map<std::string, std::vector<std::pair<int, int>>> scripts;   // by instance name
};
engine_faults& faults();
std::atomic<bool>& cable_unplugged();
std::atomic<bool>& clock_stopped();
std::atomic<int>& pace_ms();
} // namespace chi_detail
