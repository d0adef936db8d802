#pragma once
// The simulated device's evaluation of what the trigger compiler would build: an advanced level's
// parse tree as a flat program over 64 samples at a time, and a state-based flow read from its
// stored text (with a table of actions per state where the levels alone decide them). Both are
// built on the GUI thread and only read afterwards; the values that move from sample to sample
// live in a separate state, one per search.

#include "host/sdr/sdr_flow_checker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SCI_ADVANCED_TRIGGER_BASE;

namespace chi_detail
{
class signal_bank;

class advanced_level
{
public:
    // Where a named node gets its level from (a source of the signal bank).
    using source_of = std::function<int(const std::string&)>;

    // The registers and counters of one evaluation. The level is evaluated 64 samples at a
    // time: each step's value over a block is held as bit slices, one word per bit of the value
    // with sample i of the block at bit i.
    struct state
    {
        std::vector<uint64_t> words;        // each step's slices over the current block
        std::vector<uint64_t> last;         // ... over the block before
        std::vector<uint64_t> truths;       // per step: where its value is not 0 in the block
        std::vector<uint64_t> counts;       // event counters
        std::vector<char> reached;          // a holding counter has reached its value
        std::vector<std::vector<uint64_t>> delayed;   // per delayed step: a ring of blocks per bit
        std::vector<std::vector<uint64_t>> rows;      // per signal read: samples from row_first on
        std::vector<int64_t> row_first;
        std::vector<uint64_t> row_last;     // per signal read: its word over the block before
        int64_t first = 0;                  // the sample of bit 0 of block 0
        int64_t block = -1;                 // the block the words hold
        uint64_t result = 0;                // the level's result over that block
        uint64_t result_before = 0;         // ... over the block before
        int64_t next = -1;                  // the sample the next call must be for
        std::shared_ptr<void> scratch;      // the bank's working memory for filling rows
    };

    // Compiles the parse of a level; false with the reason when it holds a form the device
    // cannot evaluate.
    bool compile(const SCI_ADVANCED_TRIGGER_BASE* root, const source_of& sources, std::string* error);

    // Fresh registers and counters for an evaluation starting at `sample`: the values of the
    // sample before it are taken first, so that an edge at `sample` is seen.
    void start(const signal_bank& bank, int64_t sample, state* s) const;
    // The level's result at `sample`, which must follow the previous call's sample.
    bool holds(const signal_bank& bank, int64_t sample, state* s) const;
    // The results at `sample` .. `sample` + 63 (bit i for sample + i), continuing like holds().
    // The next call is for `sample` + 64.
    uint64_t holds_block(const signal_bank& bank, int64_t sample, state* s) const;
    // The first sample in [from, limit) where the level holds, -1 when there is none; `from`
    // must follow the previous call's samples. Afterwards the state is at the sample after the
    // one found (or at `limit`).
    int64_t first_holding(const signal_bank& bank, int64_t from, int64_t limit, state* s) const;

    int step_count() const { return int(m_steps.size()); }

private:
    enum kind : uint8_t
    {
        WIRE, CONSTANT, LOGICAL_AND, LOGICAL_OR, LOGICAL_XOR, LOGICAL_NOT, BIT_AND, BIT_OR, BIT_XOR, BIT_NOT,
        REDUCE_AND, REDUCE_OR, REDUCE_XOR, COMPARE, SHIFT, CONCATENATE, DETECT, NODE_DETECT, COUNTER, RESULT
    };
    struct step
    {
        kind what = CONSTANT;
        int width = 1;
        int first = 0;                      // inputs: m_inputs[first .. first + count)
        int count = 0;
        int delay = 0;
        int ring = -1;                      // index into the state's rings when delayed
        int source = -1;                    // WIRE
        uint64_t value = 0;                 // COUNTER target; SHIFT distance; COMPARE, DETECT width
        // CONSTANT: its two's complement, least significant word first; above it, its sign.
        std::vector<uint64_t> words;
        int operation = 0;                  // compare operator, shift type, counter mode
        bool flag = false;                  // signed compare, right shift, holding counter, negative constant
        int counter = -1;                   // index of a counter in the state
        // DETECT: the bits the pattern asks something of, as (input, bit of that input, symbol);
        // NODE_DETECT: the symbol of each node, in the order of `nodes`.
        struct tap
        {
            int input;
            int bit;
            uint8_t symbol;
        };
        std::vector<tap> taps;
        std::vector<uint8_t> node_symbols;
        bool edges = false;                 // DETECT, NODE_DETECT: the pattern asks for an edge
        std::vector<int> nodes;             // NODE_DETECT sources, MSB first
        int slot = 0;                       // where its slices start in the state's words
        int reader = -1;                    // WIRE, NODE_DETECT: its first signal read
        int64_t ring_blocks = 0;            // delayed: blocks the ring keeps
        int subtree_first = 0;              // the first step of the subtree this one ends
        // The step keeps nothing from one block to the next, nor does any step under it.
        bool pure = false;
        // The first step of a pure subtree that is input `guard_input` (not the first) of the
        // logical and `guard_and`, ending at `guard_end`: skipped where an earlier input is 0.
        int guard_and = -1;
        int guard_input = 0;
        int guard_end = -1;
    };
    struct reader
    {
        int source = -1;
        int delay = 0;
        bool node = false;                  // a detector's node: keeps its own word before
    };

    // What each form of the parse compiles into, and what each kind of step does over a block
    // (chi_advanced.cpp): one record per form and one per kind.
    struct forms;
    struct kinds;

    int add(const SCI_ADVANCED_TRIGGER_BASE* node, const source_of& sources, int depth, std::string* error);
    int place(step s);
    // The symbol of each bit, LSB first; false with the reason for a pattern that does not fit.
    bool read_pattern(const std::string& pattern, int width, std::vector<uint8_t>* symbols, bool* edges,
                      std::string* error) const;
    void fit_constants(const step& parent, int width);
    void evaluate_before(const signal_bank& bank, int64_t sample, state* s) const;
    void evaluate_block(const signal_bank& bank, state* s) const;
    // Every step over the 64 samples from `first`; with `before`, each step's value at the one
    // sample `first` in every bit, as the sample before a search (no counting, no delay yet).
    void evaluate_steps(const signal_bank& bank, int64_t first, bool before, state* s) const;
    uint64_t row_word(const signal_bank& bank, int index, int64_t at, state* s) const;
    void delay_block(const step& st, uint64_t* out, state* s) const;
    uint64_t counter_block(const step& st, uint64_t high, uint64_t prior, state* s) const;

    std::vector<step> m_steps;              // inputs before the step that reads them
    std::vector<int> m_inputs;
    std::vector<reader> m_readers;
    int m_counters = 0;
    int m_rings = 0;
    int m_words = 0;                        // slices of all steps
};

// What a state-based flow reports at its trigger.
struct flow_report
{
    int state = 0;
    std::vector<char> flags;
    std::vector<unsigned> counters;
};

// Sample ranges [first, last] a flow's stop_store kept out of the acquisition memory.
using store_gaps = std::vector<std::pair<int64_t, int64_t>>;

struct trigger_plan;

// What the statements of a state do at one sample.
struct flow_action
{
    int next_state = -1;
    bool trigger = false;
    std::vector<char> flag_writes;      // 0 none, 1 set, 2 clear
    std::vector<int> counter_writes;    // 0 none, 1 increment, 2 decrement, 3 reset
    int store = 0;                      // 0 none, 1 start, 2 stop
    bool nothing = true;                // none of the above
};

// A state-based flow read from its text, with its names resolved to the trigger's levels,
// flags and counters.
class flow_program
{
public:
    struct resources
    {
        std::vector<std::string> levels;
        std::vector<std::string> flags;
        std::vector<int> flag_initial;
        std::vector<std::string> counters;
        std::vector<int> counter_width;
        std::vector<unsigned> counter_initial;
    };

    // False with the checker's message and line when the text is not a flow.
    bool read(const std::string& text, const resources& names, std::string* error);
    // Levels the flow reads.
    const std::vector<char>& levels_read() const { return m_levels_read; }

    struct state
    {
        int current = 0;
        std::vector<char> flags;
        std::vector<uint64_t> counters;
        bool storing = true;
        bool triggered = false;             // a trigger statement ran; later ones do nothing
        int trigger_state = -1;             // the state whose statements triggered
        int64_t gap_start = -1;
        store_gaps gaps;
        int64_t next = -1;
        flow_action scratch;                // working memory of a step
        std::vector<char> levels;           // ... and of a step from level bits
    };
    void start(state* s) const;
    // Runs the flow at `sample` with the levels' results on it; true when it triggers there
    // (once: after its trigger the flow goes on with its other statements).
    bool step(const std::vector<char>& level_results, int64_t sample, state* s) const;
    // The same with the levels' results as bits (bit i: level i).
    bool step_bits(uint64_t level_bits, int64_t sample, state* s) const;
    // Of 64 samples with the levels' results `words` (one word per level, bit i for sample i),
    // those where the current state may do something; at the others a step changes nothing.
    uint64_t acting(const std::vector<uint64_t>& words, const state& s) const;
    // The registers after a step; the state is the one the trigger came from, once triggered
    // (its goto takes effect at the next sample).
    flow_report report(const state& s) const;

private:
    using action = flow_action;
    // A state whose statements read levels only: its action for every combination of them
    // (index bit j: levels[j]); no actions when it reads a flag or a counter.
    struct table
    {
        std::vector<int> levels;
        std::vector<action> actions;
    };
    bool condition(int index, const std::vector<char>& levels, const state& s) const;
    void run(int statement, const std::vector<char>& levels, const state& s, action* a) const;
    bool apply(const action& a, int64_t sample, state* s) const;
    bool levels_only(int statement, std::vector<int>* levels) const;
    bool condition_levels_only(int condition, std::vector<int>* levels) const;
    void build_tables(const resources& names);
    int index_of(const std::vector<std::string>& names, const std::string& name) const;

    std::vector<table> m_tables;
    SDR_FLOW_PROGRAM m_program;
    std::vector<int> m_condition_target;    // per condition: the level, flag or counter index
    std::vector<int> m_statement_target;    // per statement: the state, flag or counter index
    std::vector<char> m_levels_read;
    std::vector<uint64_t> m_counter_mask;
    std::vector<unsigned> m_counter_initial;
    std::vector<int> m_flag_initial;
    int m_level_count = 0;
};
} // namespace chi_detail
