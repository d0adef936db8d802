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
    int trigger_in_after = 16;       // samples until the trigger in is met
    int advanced_after = 64;         // with fixed_distance: samples until an advanced level or a
                                     // state flow is met
    bool fixed_distance = false;     // advanced levels and flows are met after advanced_after
                                     // samples whatever they say (else they are evaluated)
    int sq_invalid_every = 4;        // with a storage qualifier every k-th sample is not stored
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

struct device_state
{
    bool programmed = false;
    std::map<unsigned, unsigned> crcs;             // node-information word -> CRC
    int64_t time = 0;                              // the device's sample clock
    // Acquisition memory per node-information word and power-up flag.
    std::map<std::pair<unsigned, bool>, std::shared_ptr<const SDR_LOG_PAYLOAD>> memory;
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
void program_device(const std::vector<sof_instance>& instances);

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

struct trigger_plan
{
    std::vector<level_plan> levels;
    bool trigger_in = false;
    bool state_based = false;
    bool continuous = false;
    int trigger_in_after = 16;
    int advanced_after = 64;
    bool fixed_distance = false;
    std::shared_ptr<const flow_program> flow;         // a state-based flow, read
};

// What a search carries from one slice to the next: the registers of the levels it evaluates
// and of the flow.
struct search_memory
{
    std::vector<advanced_level::state> levels;
    flow_program::state flow;
    bool flow_started = false;
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
    store_gaps gaps;                 // samples the flow kept out of the memory
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

// ---- one acquisition ---------------------------------------------------------------------

struct acquisition_plan
{
    signal_bank bank;
    std::vector<int> channels;       // source per channel (wire order)
    std::vector<char> connected;
    trigger_plan trigger;
    int depth = 0;
    int segment_size = 0;            // 0: one window
    int trigger_offset = 0;          // samples before the trigger in a window (or segment)
    bool storage_qualified = false;
    int sq_invalid_every = 4;
    bool record_breaks = false;
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
    int64_t start_time = 0;
};

// Builds the plan of one request on the GUI thread; null for a log that belongs to nothing.
std::shared_ptr<acquisition_plan> make_plan(SDR_DATA_LOG* log, bool repeat);

struct capture_result
{
    std::shared_ptr<SDR_LOG_PAYLOAD> payload;
    int64_t end_time = 0;
};

// The samples around a trigger that `first` found (and, for a segmented acquisition, the
// triggers of the further segments, searched on from it).
capture_result capture(const acquisition_plan& plan, const trigger_result& first, const std::atomic<bool>* cancel);
// What the memory of a device stopped while it waited for its trigger holds: the samples up
// to `reached`, where its search got, with no trigger among them.
capture_result capture_stopped(const acquisition_plan& plan, int64_t reached);

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
