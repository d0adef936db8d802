#pragma once
// How the simulated design drives one of its signals: a description kept with a netlist
// instance of the project fixture ("stimulus": {...}) and evaluated per sample. The value of a
// bus is an unsigned word whose bit k drives member [k]; a single-bit signal uses bit 0.
// Kinds and their keys (all numbers are integers; samples count from 0):
//   constant  value                          the same value at every sample
//   clock     period (>= 2), phase           high for the first half of each period
//   pulse     period, width, phase           high for `width` samples of each period
//   counter   start, step, every, modulo     start + step * (sample / every), modulo when > 0
//   random    seed, every                    a new pseudo-random word every `every` samples
//   fsm       states [{name, dwell}],        walks the states in order, `dwell` samples each;
//             encoding ("binary"|"one_hot")  the value is the state's index (or 1 << index)
//   serial    bytes [0..255], every, gap,    8N1 frames, least significant bit first, idle
//             output ("line"|"busy"|"data")  high, `gap` idle bits between frames; "busy" is
//                                            high during a frame, "data" is the byte being sent
// A state register "<machine>.<state>" of an fsm stimulus is high while the machine is in that
// state.

#include <QJsonObject>

#include <cstdint>
#include <string>
#include <vector>

namespace standin
{
class stimulus
{
public:
    enum KIND
    {
        CONSTANT,
        CLOCK,
        PULSE,
        COUNTER,
        RANDOM,
        FSM,
        SERIAL
    };

    // False with a message naming `where` and the key at fault.
    static bool parse(const QJsonObject& description, const std::string& where, stimulus* out, std::string* error);

    KIND kind() const { return m_kind; }
    // Samples per step of a counter, per value of a random stimulus, per bit of a serial line.
    int64_t every() const { return m_every; }
    // For a counter: its start, step, samples per step and modulo (0: none); false otherwise.
    bool counter(int64_t* start, int64_t* step, int64_t* every, int64_t* modulo) const;
    // For a random stimulus: the values it holds in blocks first .. first + count - 1 (block k
    // covers samples k * every() .. (k + 1) * every() - 1).
    void random_blocks(int64_t first, size_t count, uint64_t* out) const;
    uint64_t value(int64_t sample) const;
    // Number of samples after which bit `bit` of the value repeats; 0 when it does not repeat
    // (or not within 2^62 samples). Samples are counted from 0 and never negative.
    int64_t bit_period(int bit) const;
    // The first sample after `sample` where bit `bit` of the value may differ from its value at
    // `sample`; it may name a sample where the bit stays the same, never skips a change.
    // INT64_MAX when the bit never changes.
    int64_t next_change(int64_t sample, int bit) const;
    // For an fsm: the index of the state the machine is in at that sample, else -1.
    int state_at(int64_t sample) const;
    // For an fsm: the index of the named state, -1 when it has none of that name.
    int state_index(const std::string& name) const;

private:
    bool read(const QJsonObject& description, const std::string& where, std::string* error);
    bool read_fsm(const QJsonObject& description, const std::string& where, std::string* error);
    bool read_serial(const QJsonObject& description, const std::string& where, std::string* error);
    uint64_t serial_value(int64_t sample) const;
    int64_t next_serial_change(int64_t sample) const;
    int64_t counter_bit_period(int bit) const;
    int64_t next_counter_change(int64_t sample, int bit) const;

    KIND m_kind = CONSTANT;
    uint64_t m_value = 0;
    int64_t m_period = 2;
    int64_t m_width = 1;
    int64_t m_phase = 0;
    int64_t m_start = 0;
    int64_t m_step = 1;
    int64_t m_every = 1;
    int64_t m_modulo = 0;
    uint64_t m_seed = 1;
    bool m_one_hot = false;
    std::vector<std::string> m_state_names;
    std::vector<int64_t> m_state_ends; // cumulative dwell
    std::vector<int> m_bytes;
    int64_t m_gap = 2;
    int m_output = 0;                  // 0 line, 1 busy, 2 data
};
} // namespace standin
