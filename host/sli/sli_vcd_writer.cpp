// The exporter's value change dump: one one-bit wire per data wire, "x" while a sample is
// invalid and for a wire that had no connection, and a time step per sample wherever the clock
// allows it, so that readers which turn time steps into samples (logic analyzer software) read
// one sample per sample rather than one per picosecond.
#include "host/sli/sli_vector_database.h"

#include <algorithm>
#include <cstring>

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

// What every piece of a dump shares: the wires' codes, which are connected, and the line of
// each value of each wire. While codes take at most two characters (8836 wires) those lines are
// four bytes each, so a change costs one four-byte copy and a step of the same length.
struct vcd_tables
{
    explicit vcd_tables(const SLI_VECTOR_DATABASE& database)
        : scale(timescale_for(database.clock_interval_ps)), groups((database.channels() + 63) / 64)
    {
        const int channels = database.channels();
        connected.assign(size_t(groups), 0);
        for (int c = 0; c < channels; ++c) {
            codes.push_back(wire_code(c, channels));
            if (database.payload->connected[c] != 0)
                connected[size_t(c >> 6)] |= uint64_t(1) << (c & 63);
        }
        line_size = (codes.empty() ? 1 : codes.front().size()) + 2;
        for (int c = 0; line_size <= 4 && c < channels; ++c) {
            char text[2][4] = {{'0'}, {'1'}};
            for (char* line_text : {text[0], text[1]}) {
                std::memcpy(line_text + 1, codes[size_t(c)].data(), line_size - 2);
                line_text[line_size - 1] = '\n';
            }
            uint32_t words[2];
            std::memcpy(words, text, sizeof words);
            lines.insert(lines.end(), words, words + 2);
        }
    }

    bool is_connected(int c) const { return ((connected[size_t(c >> 6)] >> (c & 63)) & 1u) != 0; }

    vcd_timescale scale;
    int groups;
    std::vector<std::string> codes;
    std::vector<uint64_t> connected;
    size_t line_size = 3;                        // value, code, line end
    std::vector<uint32_t> lines;                 // per wire its lines for 0 and 1; empty for long codes
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
        for (int c = 0; c < int(m_tables.codes.size()); ++c)
            p = put(p, value_of(words, valid, c), c);
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

    char* put(char* p, char value, int c) const
    {
        const std::string& code = m_tables.codes[size_t(c)];
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
        char* const end = m_tables.lines.empty() ? long_changes(first_change, words) : short_changes(first_change, words);
        m_out->end(end == first_change ? begin : end);
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
        for (int c = 0; c < int(m_tables.codes.size()); ++c)
            if (m_tables.is_connected(c))
                p = put(p, value_of(words, valid, c), c);
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
