// The exporter's value change dump: one one-bit wire per data wire, "x" while a sample is
// invalid and for a wire that had no connection, and a time step per sample wherever the clock
// allows it, so that readers which turn time steps into samples (logic analyzer software) read
// one sample per sample rather than one per picosecond.
//
// A bus of the log's node list reaches waveform viewers as one bus through its bits declared
// under the bus's name and each bit's index ("name [3]" .. "name [0]"), which viewers gather
// into one vector; a bus whose wires are already named so needs nothing more. A vector variable
// would say the same, but logic analyzer software that reads only single bits (sigrok) stops
// reading a dump at the first vector value, so a bus is never written as one.
#include "host/sli/sli_vector_database.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace
{
// The time unit of the file and the steps of that unit a sample lasts.
struct vcd_timescale
{
    std::string text;
    long long steps_per_sample = 1;
};

// The coarsest unit a dump may name (1, 10 or 100 of s, ms, us, ns, ps) that divides the clock
// interval: a sample is one step whenever the interval is itself such a unit (10 ns, 1 us),
// and a few steps otherwise (30 ns: 3 of 10 ns). Without a clock a sample is 1 ps.
vcd_timescale timescale_for(long long clock_interval_ps)
{
    if (clock_interval_ps <= 0)
        return {"1ps", 1};
    static const char* const units[] = {"ps", "ns", "us", "ms", "s"};
    static const char* const factors[] = {"1", "10", "100"};
    long long unit = 1;
    int exponent = 0;
    while (exponent < 14 && clock_interval_ps % (unit * 10) == 0) {
        unit *= 10;
        ++exponent;
    }
    return {std::string(factors[exponent % 3]) + units[exponent / 3], clock_interval_ps / unit};
}

// Identifier codes of the wires, printable characters: one each for up to 94 wires, two each
// for up to 8836, and more past that. All codes of a dump have one length, so the lines of
// changes are all alike.
std::string wire_code(int index, int wires)
{
    int digits = 1;
    for (long long capacity = 94; capacity < wires; capacity *= 94)
        ++digits;
    std::string code;
    for (int d = 0; d < digits; ++d, index /= 94)
        code += char('!' + index % 94);
    return code;
}

// A bus's bit declared under the bus's name and its index: the wire whose values it carries.
struct vcd_bus_bit
{
    int channel;
    std::string name;
};

// Whether every wire of the bus is already named as one of its bits ("name[i]").
bool named_as_bits(const SLI_BUS& bus, const std::vector<std::string>& names)
{
    std::unordered_set<std::string> bits;
    for (size_t i = 0; i < bus.channels.size(); ++i)
        bits.insert(bus.name + "[" + std::to_string(i) + "]");
    for (int c : bus.channels)
        if (bits.erase(names[size_t(c)]) == 0)
            return false;
    return true;
}

std::vector<vcd_bus_bit> bus_bits_of(const SLI_VECTOR_DATABASE& database)
{
    std::vector<vcd_bus_bit> bits;
    for (size_t b = 0; b < database.buses.size(); ++b) {
        const SLI_BUS& bus = database.buses[b];
        if (named_as_bits(bus, database.names))
            continue;
        const std::string name = sli_one_word(bus.name, "bus" + std::to_string(b));
        for (size_t k = 0; k < bus.channels.size(); ++k)
            bits.push_back({bus.channels[k], name + " [" + std::to_string(bus.channels.size() - 1 - k) + "]"});
    }
    return bits;
}

// What every piece of a dump shares: the codes of the wires and then of the buses' bits, which
// wires are connected, and the line of each value of each wire. While codes take at most two
// characters (8836 variables) those lines are four bytes each, so a change costs one four-byte
// copy and a step of the same length.
struct vcd_tables
{
    explicit vcd_tables(const SLI_VECTOR_DATABASE& database)
        : scale(timescale_for(database.clock_interval_ps)), groups((database.channels() + 63) / 64),
          channels(database.channels()), bus_bits(bus_bits_of(database))
    {
        const int variables = channels + int(bus_bits.size());
        connected.assign(size_t(groups), 0);
        for (int c = 0; c < channels; ++c)
            if (database.payload->connected[c] != 0)
                connected[size_t(c >> 6)] |= uint64_t(1) << (c & 63);
        for (int v = 0; v < variables; ++v)
            codes.push_back(wire_code(v, variables));
        line_size = (codes.empty() ? 1 : codes.front().size()) + 2;
        for (int v = 0; line_size <= 4 && v < variables; ++v) {
            char text[2][4] = {{'0'}, {'1'}};
            for (char* line_text : {text[0], text[1]}) {
                std::memcpy(line_text + 1, codes[size_t(v)].data(), line_size - 2);
                line_text[line_size - 1] = '\n';
            }
            uint32_t words[2];
            std::memcpy(words, text, sizeof words);
            lines.insert(lines.end(), words, words + 2);
        }
        index_bus_bits();
    }

    // Per wire the bus bits that carry it, and per word of wires which of them any bus bit
    // carries, so that a change looks for bus bits only on the wires that have some.
    void index_bus_bits()
    {
        with_bus_bits.assign(size_t(groups), 0);
        bus_bits_from.assign(size_t(channels) + 1, 0);
        for (const vcd_bus_bit& bit : bus_bits) {
            with_bus_bits[size_t(bit.channel >> 6)] |= uint64_t(1) << (bit.channel & 63);
            ++bus_bits_from[size_t(bit.channel) + 1];
        }
        for (int c = 0; c < channels; ++c)
            bus_bits_from[size_t(c) + 1] += bus_bits_from[size_t(c)];
        bus_bits_of_wire.resize(bus_bits.size());
        std::vector<int> next(bus_bits_from.begin(), bus_bits_from.end() - 1);
        for (size_t b = 0; b < bus_bits.size(); ++b)
            bus_bits_of_wire[size_t(next[size_t(bus_bits[b].channel)]++)] = channels + int(b);
    }

    bool is_connected(int c) const { return ((connected[size_t(c >> 6)] >> (c & 63)) & 1u) != 0; }
    // The wire whose values variable `v` (a wire or a bus's bit) carries.
    int channel_of(int v) const { return v < channels ? v : bus_bits[size_t(v - channels)].channel; }

    vcd_timescale scale;
    int groups;
    int channels;
    std::vector<vcd_bus_bit> bus_bits;
    std::vector<std::string> codes;              // the wires', then the bus bits'
    std::vector<uint64_t> connected;
    size_t line_size = 3;                        // value, code, line end
    std::vector<uint32_t> lines;                 // per variable its lines for 0 and 1; empty for long codes
    std::vector<uint64_t> with_bus_bits;
    std::vector<int> bus_bits_from;              // wire c's bus bits are bus_bits_of_wire[from[c], from[c + 1])
    std::vector<int> bus_bits_of_wire;           // variable numbers
};

// Writes the value changes of a run of samples, keeping the last sample's bits.
class change_writer
{
public:
    change_writer(const vcd_tables& tables, SLI_OUTPUT* out)
        : m_tables(tables), m_out(out), m_previous(size_t(tables.groups), 0)
    {
    }

    // Starts after `sample`, as if it had just been written.
    void start_after(const SDR_LOG_PAYLOAD& payload, int sample)
    {
        SLI_SAMPLE_BLOCKS::read_sample(payload, sample, m_previous.data(), &m_valid);
    }

    // The first sample: every wire's value, in the dump's initial section.
    void first(const uint64_t* words, bool valid)
    {
        m_out->append(std::string("#0\n$dumpvars\n"));
        char* p = m_out->reserve(room());
        for (int v = 0; v < int(m_tables.codes.size()); ++v)
            p = put(p, value_of(words, valid, m_tables.channel_of(v)), v);
        m_out->end(p);
        m_out->append(std::string("$end\n"));
        keep(words, valid);
    }

    void next(int sample, const uint64_t* words, bool valid)
    {
        if (valid && m_valid)
            changes(sample, words);
        else if (valid != m_valid)
            all_connected(sample, words, valid);
        keep(words, valid);
    }

    size_t room() const { return 32 + m_tables.line_size * m_tables.codes.size(); }

    char* stamp(char* p, int sample) const
    {
        *p++ = '#';
        p = sli_put_digits((unsigned long long)sample * (unsigned long long)m_tables.scale.steps_per_sample, p);
        *p++ = '\n';
        return p;
    }

private:
    char value_of(const uint64_t* words, bool valid, int c) const
    {
        return !m_tables.is_connected(c) || !valid ? 'x' : char('0' + int(SLI_SAMPLE_BLOCKS::bit(words, c)));
    }

    char* put(char* p, char value, int v) const
    {
        const std::string& code = m_tables.codes[size_t(v)];
        *p++ = value;
        std::memcpy(p, code.data(), code.size());
        p += code.size();
        *p++ = '\n';
        return p;
    }

    void changes(int sample, const uint64_t* words)
    {
        char* const begin = m_out->reserve(room());
        char* const first_change = stamp(begin, sample);
        char* end = m_tables.lines.empty() ? long_changes(first_change, words) : short_changes(first_change, words);
        if (!m_tables.bus_bits.empty())
            end = bus_bit_changes(end, words);
        m_out->end(end == first_change ? begin : end);
    }

    char* bus_bit_changes(char* p, const uint64_t* words) const
    {
        for (size_t g = 0, groups = m_previous.size(); g < groups; ++g)
            for (uint64_t changed = (words[g] ^ m_previous[g]) & m_tables.connected[g] & m_tables.with_bus_bits[g];
                 changed != 0; changed &= changed - 1) {
                const int bit = __builtin_ctzll(changed);
                const int c = int(g) * 64 + bit;
                const int value = int((words[g] >> bit) & 1u);
                for (int k = m_tables.bus_bits_from[size_t(c)]; k < m_tables.bus_bits_from[size_t(c) + 1]; ++k)
                    p = put_line(p, m_tables.bus_bits_of_wire[size_t(k)], value);
            }
        return p;
    }

    char* put_line(char* p, int v, int value) const
    {
        if (m_tables.lines.empty())
            return put(p, char('0' + value), v);
        std::memcpy(p, &m_tables.lines[2 * size_t(v) + size_t(value)], 4);
        return p + m_tables.line_size;
    }

    // The hot loop of a dump: the tables are read through locals, since every byte written
    // through `p` could otherwise alias them and force a reload per change.
    char* short_changes(char* p, const uint64_t* words) const
    {
        const uint32_t* lines = m_tables.lines.data();
        const size_t size = m_tables.line_size;
        const uint64_t* previous = m_previous.data();
        const uint64_t* connected = m_tables.connected.data();
        for (size_t g = 0, groups = m_previous.size(); g < groups; ++g) {
            const uint64_t word = words[g];
            for (uint64_t changed = (word ^ previous[g]) & connected[g]; changed != 0; changed &= changed - 1) {
                const int bit = __builtin_ctzll(changed);
                const uint32_t line = lines[2 * (g * 64 + size_t(bit)) + ((word >> bit) & 1u)];
                std::memcpy(p, &line, 4);
                p += size;
            }
        }
        return p;
    }

    char* long_changes(char* p, const uint64_t* words) const
    {
        for (size_t g = 0; g < m_previous.size(); ++g)
            for (uint64_t changed = (words[g] ^ m_previous[g]) & m_tables.connected[g]; changed != 0;
                 changed &= changed - 1) {
                const int bit = __builtin_ctzll(changed);
                p = put(p, char('0' + int((words[g] >> bit) & 1u)), int(g) * 64 + bit);
            }
        return p;
    }

    // Into or out of an invalid stretch: every connected wire changes to or from "x".
    void all_connected(int sample, const uint64_t* words, bool valid)
    {
        char* p = stamp(m_out->reserve(room()), sample);
        for (int v = 0; v < int(m_tables.codes.size()); ++v)
            if (m_tables.is_connected(m_tables.channel_of(v)))
                p = put(p, value_of(words, valid, m_tables.channel_of(v)), v);
        m_out->end(p);
    }

    void keep(const uint64_t* words, bool valid)
    {
        m_valid = valid;
        if (valid)
            std::copy(words, words + m_previous.size(), m_previous.begin());
    }

    const vcd_tables& m_tables;
    SLI_OUTPUT* m_out;
    std::vector<uint64_t> m_previous;
    bool m_valid = false;
};

class vcd_writer : public SLI_FORMAT_WRITER
{
public:
    explicit vcd_writer(const SLI_VECTOR_DATABASE& database) : m_database(database), m_tables(database) {}

    // Readers keep times in 64 bits: a dump whose last time does not fit is not written.
    bool header(SLI_OUTPUT* out) const override
    {
        long long end_time = 0;
        if (__builtin_mul_overflow((long long)m_database.depth(), m_tables.scale.steps_per_sample, &end_time))
            return false;
        std::string text = "$version\n\tVantrel data log export\n$end\n";
        text += "$comment\n\tlog " + sli_one_word(m_database.log_name, "log") + ", trigger at sample " +
                std::to_string(m_database.trigger_position) + "\n$end\n";
        text += "$timescale " + m_tables.scale.text + " $end\n";
        text += "$scope module " + sli_one_word(m_database.scope, "top") + " $end\n";
        for (int c = 0; c < m_database.channels(); ++c)
            text += "$var wire 1 " + m_tables.codes[size_t(c)] + " " +
                    sli_one_word(m_database.names[size_t(c)], "wire" + std::to_string(c)) + " $end\n";
        for (size_t b = 0; b < m_tables.bus_bits.size(); ++b)
            text += "$var wire 1 " + m_tables.codes[size_t(m_tables.channels) + b] + " " + m_tables.bus_bits[b].name +
                    " $end\n";
        out->append(text + "$upscope $end\n$enddefinitions $end\n");
        return true;
    }

    void samples(int first, int end, SLI_OUTPUT* out) const override
    {
        change_writer writer(m_tables, out);
        if (first > 0)
            writer.start_after(*m_database.payload, first - 1);
        SLI_SAMPLE_BLOCKS blocks(*m_database.payload, first, end);
        for (int count = blocks.next(); count > 0; count = blocks.next()) {
            for (int j = 0; j < count; ++j) {
                const int sample = blocks.first_sample() + j;
                if (sample == 0)
                    writer.first(blocks.channel_words(j), blocks.is_valid(j));
                else
                    writer.next(sample, blocks.channel_words(j), blocks.is_valid(j));
            }
        }
    }

    // A last time stamp at the depth, so that the last sample lasts a sample too.
    void trailer(SLI_OUTPUT* out) const override
    {
        change_writer writer(m_tables, out);
        out->end(writer.stamp(out->reserve(32), m_database.depth()));
    }

    size_t sample_room() const override { return 32 + m_tables.line_size * m_tables.codes.size(); }

private:
    const SLI_VECTOR_DATABASE& m_database;
    const vcd_tables m_tables;
};
} // namespace

std::unique_ptr<SLI_FORMAT_WRITER> sli_vcd_writer(const SLI_VECTOR_DATABASE& database)
{
    return std::make_unique<vcd_writer>(database);
}
