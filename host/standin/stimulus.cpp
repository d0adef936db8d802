// Signal stimuli of the simulated design: parsing with range checks and per-sample values.
#include "host/standin/stimulus.h"

#include "host/standin/fixture_json.h"

#include <QJsonArray>

#include <algorithm>
#include <climits>
#include <numeric>

namespace standin
{
namespace
{
using fixture::fail;

constexpr int MAX_PARAMETER = 1 << 30;
constexpr int SERIAL_FRAME_BITS = 10; // start, 8 data bits, stop
constexpr int MAX_SERIAL_BYTES = 1 << 16;
// The longest period a stimulus may have: sample arithmetic on it stays within 64 bits.
constexpr int64_t MAX_PERIOD = int64_t(1) << 62;
constexpr uint64_t RANDOM_SPREAD = 0x9e3779b97f4a7c15ull;

// An optional integer key; `fallback` when absent.
bool read_key(const QJsonObject& object, const char* key, int minimum, int fallback, const std::string& where,
              int64_t* out, std::string* error)
{
    if (!object.contains(key))
    {
        *out = fallback;
        return true;
    }
    int value = 0;
    if (!fixture::read_int(object.value(key), minimum, MAX_PARAMETER, &value))
        return fail(where, "\"" + std::string(key) + "\" must be an integer from " + std::to_string(minimum) + " to " +
                               std::to_string(MAX_PARAMETER),
                    error);
    *out = value;
    return true;
}

uint64_t mix(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ull;
    return x ^ (x >> 33);
}

int64_t positive_modulo(int64_t a, int64_t b)
{
    const int64_t r = a % b;
    return r < 0 ? r + b : r;
}
} // namespace

bool stimulus::parse(const QJsonObject& description, const std::string& where, stimulus* out, std::string* error)
{
    stimulus parsed;
    if (!parsed.read(description, where, error))
        return false;
    *out = parsed;
    return true;
}

bool stimulus::read(const QJsonObject& d, const std::string& where, std::string* error)
{
    const QString kind = d.value("kind").toString();
    int64_t value = 0;
    if (kind == "constant")
    {
        unsigned word = 0;
        if (!fixture::check_keys(d, {"kind", "value"}, where, error))
            return false;
        if (d.contains("value") && !fixture::read_flags(d.value("value"), &word))
            return fail(where, "\"value\" is not a 32-bit word", error);
        m_kind = CONSTANT;
        m_value = word;
        return true;
    }
    if (kind == "clock" || kind == "pulse")
    {
        m_kind = kind == "clock" ? CLOCK : PULSE;
        if (!fixture::check_keys(d, {"kind", "period", "width", "phase"}, where, error) ||
            !read_key(d, "period", 2, 2, where, &m_period, error) ||
            !read_key(d, "width", 1, int(m_period / 2), where, &m_width, error) ||
            !read_key(d, "phase", 0, 0, where, &m_phase, error))
            return false;
        return m_width <= m_period || fail(where, "\"width\" is longer than \"period\"", error);
    }
    if (kind == "counter")
    {
        m_kind = COUNTER;
        return fixture::check_keys(d, {"kind", "start", "step", "every", "modulo"}, where, error) &&
               read_key(d, "start", 0, 0, where, &m_start, error) &&
               read_key(d, "step", -MAX_PARAMETER, 1, where, &m_step, error) &&
               read_key(d, "every", 1, 1, where, &m_every, error) &&
               read_key(d, "modulo", 0, 0, where, &m_modulo, error);
    }
    if (kind == "random")
    {
        m_kind = RANDOM;
        if (!fixture::check_keys(d, {"kind", "seed", "every"}, where, error) ||
            !read_key(d, "seed", 0, 1, where, &value, error) || !read_key(d, "every", 1, 1, where, &m_every, error))
            return false;
        m_seed = uint64_t(value);
        return true;
    }
    if (kind == "fsm")
        return read_fsm(d, where, error);
    if (kind == "serial")
        return read_serial(d, where, error);
    return fail(where, "unknown stimulus kind \"" + kind.toStdString() +
                           "\" (constant, clock, pulse, counter, random, fsm or serial)",
                error);
}

bool stimulus::read_fsm(const QJsonObject& d, const std::string& where, std::string* error)
{
    m_kind = FSM;
    if (!fixture::check_keys(d, {"kind", "states", "encoding"}, where, error))
        return false;
    const QString encoding = d.value("encoding").toString("binary");
    if (encoding != "binary" && encoding != "one_hot")
        return fail(where, "\"encoding\" must be \"binary\" or \"one_hot\"", error);
    m_one_hot = encoding == "one_hot";
    const QJsonArray states = d.value("states").toArray();
    if (states.isEmpty() || states.size() > (m_one_hot ? 64 : 4096))
        return fail(where, "\"states\" must list 1 to " + std::to_string(m_one_hot ? 64 : 4096) + " states", error);
    int64_t end = 0;
    for (int i = 0; i < states.size(); ++i)
    {
        const QJsonObject state = states[i].toObject();
        const std::string at = where + ".states[" + std::to_string(i) + "]";
        int64_t dwell = 0;
        if (!fixture::check_keys(state, {"name", "dwell"}, at, error) || !read_key(state, "dwell", 1, 1, at, &dwell, error))
            return false;
        const std::string name = state.value("name").toString().toStdString();
        if (name.empty() || state_index(name) >= 0)
            return fail(at, "each state needs a name of its own", error);
        end += dwell;
        m_state_names.push_back(name);
        m_state_ends.push_back(end);
    }
    return true;
}

bool stimulus::read_serial(const QJsonObject& d, const std::string& where, std::string* error)
{
    m_kind = SERIAL;
    if (!fixture::check_keys(d, {"kind", "bytes", "every", "gap", "output"}, where, error) ||
        !read_key(d, "every", 1, 1, where, &m_every, error) || !read_key(d, "gap", 0, 2, where, &m_gap, error))
        return false;
    const QString output = d.value("output").toString("line");
    const QStringList outputs = {"line", "busy", "data"};
    m_output = int(outputs.indexOf(output));
    if (m_output < 0)
        return fail(where, "\"output\" must be \"line\", \"busy\" or \"data\"", error);
    const QJsonArray bytes = d.value("bytes").toArray();
    if (bytes.isEmpty() || bytes.size() > MAX_SERIAL_BYTES)
        return fail(where, "\"bytes\" must list at least one byte and at most " + std::to_string(MAX_SERIAL_BYTES), error);
    // Every sample is reduced modulo the whole message: bytes * (frame + gap) * every samples.
    const int64_t frame_samples = (SERIAL_FRAME_BITS + m_gap) * m_every; // below 2^61
    if (frame_samples > MAX_PERIOD / bytes.size())
        return fail(where, "the message lasts more than 2^62 samples (\"bytes\" * (10 + \"gap\") * \"every\")", error);
    for (const QJsonValue& byte : bytes)
    {
        int value = 0;
        if (!fixture::read_int(byte, 0, 255, &value))
            return fail(where, "\"bytes\" must hold integers from 0 to 255", error);
        m_bytes.push_back(value);
    }
    return true;
}

int stimulus::state_index(const std::string& name) const
{
    const auto it = std::find(m_state_names.begin(), m_state_names.end(), name);
    return it == m_state_names.end() ? -1 : int(it - m_state_names.begin());
}

int stimulus::state_at(int64_t sample) const
{
    if (m_kind != FSM || m_state_ends.empty())
        return -1;
    const int64_t t = positive_modulo(sample, m_state_ends.back());
    return int(std::upper_bound(m_state_ends.begin(), m_state_ends.end(), t) - m_state_ends.begin());
}

uint64_t stimulus::serial_value(int64_t sample) const
{
    const int64_t frame_bits = SERIAL_FRAME_BITS + m_gap;
    const int64_t bit = positive_modulo(sample, int64_t(m_bytes.size()) * frame_bits * m_every) / m_every;
    const int byte = m_bytes[size_t(bit / frame_bits)];
    const int64_t in_frame = bit % frame_bits;
    const bool busy = in_frame < SERIAL_FRAME_BITS;
    if (m_output == 1)
        return busy ? 1 : 0;
    if (m_output == 2)
        return uint64_t(byte);
    if (in_frame == 0)
        return 0; // start bit
    if (in_frame <= 8)
        return uint64_t((byte >> (in_frame - 1)) & 1);
    return 1; // stop bit and idle
}

bool stimulus::counter(int64_t* start, int64_t* step, int64_t* every, int64_t* modulo) const
{
    if (m_kind != COUNTER)
        return false;
    *start = m_start;
    *step = m_step;
    *every = m_every;
    *modulo = m_modulo;
    return true;
}

void stimulus::random_blocks(int64_t first, size_t count, uint64_t* out) const
{
    const uint64_t base = m_seed * RANDOM_SPREAD + uint64_t(first);
    for (size_t i = 0; i < count; ++i)
        out[i] = mix(base + i);
}

uint64_t stimulus::value(int64_t sample) const
{
    switch (m_kind)
    {
    case CONSTANT:
        return m_value;
    case CLOCK:
    case PULSE:
        return positive_modulo(sample + m_phase, m_period) < m_width ? 1 : 0;
    case COUNTER:
    {
        const uint64_t count = uint64_t(m_start) + uint64_t(m_step) * uint64_t(sample / m_every);
        return m_modulo > 0 ? count % uint64_t(m_modulo) : count;
    }
    case RANDOM:
        return mix(m_seed * RANDOM_SPREAD + uint64_t(sample / m_every));
    case FSM:
    {
        const int state = state_at(sample);
        return m_one_hot ? (uint64_t(1) << state) : uint64_t(state);
    }
    case SERIAL:
        return serial_value(sample);
    }
    return 0;
}
} // namespace standin

// ---- change points, for generating sample rows run by run ------------------------------------

namespace standin
{
namespace
{
constexpr int64_t NEVER = INT64_MAX;

int trailing_zeros(uint64_t x)
{
    return x == 0 ? 64 : __builtin_ctzll(x);
}

// a * b, or 0 when the product leaves the range periods may have.
int64_t bounded_product(int64_t a, int64_t b)
{
    if (a <= 0 || b <= 0 || a > MAX_PERIOD / b)
        return 0;
    return a * b;
}

int64_t next_multiple(int64_t sample, int64_t step)
{
    return (sample / step + 1) * step;
}
} // namespace

int64_t stimulus::counter_bit_period(int bit) const
{
    if (m_modulo > 0)
    {
        // The count runs through its residues with period modulo / gcd(step, modulo), as long as
        // it never wraps below zero (a negative step would).
        if (m_step < 0)
            return 0;
        const int64_t residue = m_step % m_modulo;
        const int64_t cycle = residue == 0 ? 1 : m_modulo / std::gcd(residue, m_modulo);
        return bounded_product(m_every, cycle);
    }
    // Without a modulo the count wraps at 2^64, so its low bits are periodic: adding an odd
    // multiple of 2^z cycles bit k through 2^(k + 1 - z) counts.
    const int zeros = trailing_zeros(uint64_t(m_step));
    if (zeros > bit)
        return 1;
    const int exponent = bit + 1 - zeros;
    return exponent >= 62 ? 0 : bounded_product(m_every, int64_t(1) << exponent);
}

int64_t stimulus::bit_period(int bit) const
{
    bit %= 64;
    switch (m_kind)
    {
    case CONSTANT:
        return 1;
    case CLOCK:
    case PULSE:
        return m_period;
    case COUNTER:
        return counter_bit_period(bit);
    case RANDOM:
        return 0;
    case FSM:
        return m_state_ends.empty() ? 1 : m_state_ends.back();
    case SERIAL:
        return bounded_product(int64_t(m_bytes.size()) * (SERIAL_FRAME_BITS + m_gap), m_every);
    }
    return 0;
}

// Bit k of start + step * q flips only where the count crosses a multiple of 2^k, so the next
// candidate count is the first one at or past that multiple (above or, counting down, below).
int64_t stimulus::next_counter_change(int64_t sample, int bit) const
{
    const int64_t q = sample / m_every;
    if (m_step == 0 || bit >= 62 || (m_modulo > 0 && (m_step < 0 || m_step >= m_modulo)))
        return (q + 1) * m_every;
    const uint64_t raw = uint64_t(m_start) + uint64_t(m_step) * uint64_t(q);
    const uint64_t count = m_modulo > 0 ? raw % uint64_t(m_modulo) : raw;
    const uint64_t unit = uint64_t(1) << bit;
    const uint64_t below = count & (unit - 1);
    // Counting down, the bit flips at the first borrow out of the bits below it.
    uint64_t counts = m_step > 0 ? ((unit - below) + uint64_t(m_step) - 1) / uint64_t(m_step)
                                 : below / uint64_t(-m_step) + 1;
    // A count with a modulo also changes where it wraps.
    if (m_modulo > 0)
        counts = std::min(counts, (uint64_t(m_modulo) - count + uint64_t(m_step) - 1) / uint64_t(m_step));
    if (counts > uint64_t(MAX_PERIOD / m_every) - uint64_t(q))
        return NEVER;
    return (q + int64_t(counts)) * m_every;
}

// The line can change with every bit; the byte being sent only from one frame to the next; the
// busy flag where a frame starts and where its stop bit ends.
int64_t stimulus::next_serial_change(int64_t sample) const
{
    if (m_output == 0)
        return next_multiple(sample, m_every);
    const int64_t frame_bits = SERIAL_FRAME_BITS + m_gap;
    const int64_t frame = frame_bits * m_every;
    const int64_t frame_start = sample / frame * frame;
    const int64_t busy_end = frame_start + SERIAL_FRAME_BITS * m_every;
    return m_output == 1 && sample < busy_end && m_gap > 0 ? busy_end : frame_start + frame;
}

int64_t stimulus::next_change(int64_t sample, int bit) const
{
    bit %= 64;
    switch (m_kind)
    {
    case CONSTANT:
        return NEVER;
    case CLOCK:
    case PULSE:
    {
        const int64_t r = positive_modulo(sample + m_phase, m_period);
        return r < m_width ? sample + (m_width - r) : sample + (m_period - r);
    }
    case COUNTER:
        return next_counter_change(sample, bit);
    case RANDOM:
        return next_multiple(sample, m_every);
    case SERIAL:
        return next_serial_change(sample);
    case FSM:
    {
        if (m_state_ends.empty())
            return NEVER;
        const int64_t t = positive_modulo(sample, m_state_ends.back());
        const auto end = std::upper_bound(m_state_ends.begin(), m_state_ends.end(), t);
        return sample + (*end - t);
    }
    }
    return sample + 1;
}
} // namespace standin
