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

// Identifier codes of the wires: base 94 over the printable characters, shortest first.
std::string wire_code(int index)
{
    std::string code;
    do {
        code += char('!' + index % 94);
        index /= 94;
    } while (index > 0);
    return code;
}

// A name the dump can carry: readers split declarations at white space ("a b" would read as
// "ab" or as a bit range), so blanks and control characters become "_"; an empty name is
// named after its wire.
std::string vcd_name(const std::string& name, const std::string& fallback)
{
    std::string word = name.empty() ? fallback : name;
    for (char& c : word)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return word;
}

std::string vcd_header(const SLI_VECTOR_DATABASE& database, const vcd_timescale& scale,
                       const std::vector<std::string>& codes)
{
    std::string header = "$version\n\tVantrel data log export\n$end\n";
    header += "$comment\n\tlog " + vcd_name(database.log_name, "log") + ", trigger at sample " +
              std::to_string(database.trigger_position) + "\n$end\n";
    header += "$timescale " + scale.text + " $end\n";
    header += "$scope module " + vcd_name(database.scope, "top") + " $end\n";
    for (int c = 0; c < database.channels(); ++c)
        header += "$var wire 1 " + codes[size_t(c)] + " " +
                  vcd_name(database.names[size_t(c)], "wire" + std::to_string(c)) + " $end\n";
    return header + "$upscope $end\n$enddefinitions $end\n";
}

// Writes the value changes, sample by sample, keeping the last written sample's bits.
class change_writer
{
public:
    change_writer(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out, long long steps_per_sample)
        : m_out(out), m_steps(steps_per_sample)
    {
        const int channels = database.channels();
        const int groups = (channels + 63) / 64;
        m_previous.assign(size_t(groups), 0);
        m_connected.assign(size_t(groups), 0);
        for (int c = 0; c < channels; ++c) {
            m_codes.push_back(wire_code(c));
            m_code_room = std::max(m_code_room, m_codes.back().size() + 2);
            if (database.payload->connected[c] != 0)
                m_connected[size_t(c >> 6)] |= uint64_t(1) << (c & 63);
        }
    }

    const std::vector<std::string>& codes() const { return m_codes; }

    // The first sample: every wire's value, in the dump's initial section.
    void first(const uint64_t* words, bool valid)
    {
        m_out->append(std::string("#0\n$dumpvars\n"));
        char* p = m_out->reserve(m_code_room * m_codes.size());
        for (int c = 0; c < int(m_codes.size()); ++c)
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

    void last(int depth) { stamp(depth); }

private:
    char value_of(const uint64_t* words, bool valid, int c) const
    {
        const bool connected = ((m_connected[size_t(c >> 6)] >> (c & 63)) & 1u) != 0;
        return !connected || !valid ? 'x' : char('0' + int(SLI_SAMPLE_BLOCKS::bit(words, c)));
    }

    char* put(char* p, char value, int c) const
    {
        const std::string& code = m_codes[size_t(c)];
        *p++ = value;
        std::memcpy(p, code.data(), code.size());
        p += code.size();
        *p++ = '\n';
        return p;
    }

    void stamp(int sample)
    {
        char* p = m_out->reserve(32);
        *p++ = '#';
        const std::string time = std::to_string((long long)sample * m_steps);
        p = std::copy(time.begin(), time.end(), p);
        *p++ = '\n';
        m_out->end(p);
    }

    void changes(int sample, const uint64_t* words)
    {
        bool stamped = false;
        char* p = nullptr;
        for (size_t g = 0; g < m_previous.size(); ++g) {
            uint64_t changed = (words[g] ^ m_previous[g]) & m_connected[g];
            if (changed == 0)
                continue;
            if (!stamped) {
                stamp(sample);
                p = m_out->reserve(m_code_room * m_codes.size());
                stamped = true;
            }
            for (; changed != 0; changed &= changed - 1) {
                const int c = int(g) * 64 + __builtin_ctzll(changed);
                p = put(p, char('0' + int((words[g] >> (c & 63)) & 1u)), c);
            }
        }
        if (stamped)
            m_out->end(p);
    }

    // Into or out of an invalid stretch: every connected wire changes to or from "x".
    void all_connected(int sample, const uint64_t* words, bool valid)
    {
        stamp(sample);
        char* p = m_out->reserve(m_code_room * m_codes.size());
        for (int c = 0; c < int(m_codes.size()); ++c)
            if (((m_connected[size_t(c >> 6)] >> (c & 63)) & 1u) != 0)
                p = put(p, value_of(words, valid, c), c);
        m_out->end(p);
    }

    void keep(const uint64_t* words, bool valid)
    {
        m_valid = valid;
        if (valid)
            std::copy(words, words + m_previous.size(), m_previous.begin());
    }

    SLI_OUTPUT* m_out;
    long long m_steps;
    std::vector<std::string> m_codes;
    size_t m_code_room = 2;
    std::vector<uint64_t> m_previous;
    std::vector<uint64_t> m_connected;
    bool m_valid = false;
};
} // namespace

bool sli_write_vcd(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out)
{
    const vcd_timescale scale = timescale_for(database.clock_interval_ps);
    long long end_time = 0;
    // Readers keep times in 64 bits: a dump whose last time does not fit is not written.
    if (__builtin_mul_overflow((long long)database.depth(), scale.steps_per_sample, &end_time))
        return false;
    change_writer writer(database, out, scale.steps_per_sample);
    out->append(vcd_header(database, scale, writer.codes()));
    SLI_SAMPLE_BLOCKS blocks(*database.payload);
    for (int count = blocks.next(); count > 0; count = blocks.next()) {
        for (int j = 0; j < count; ++j) {
            const int sample = blocks.first_sample() + j;
            if (sample == 0)
                writer.first(blocks.channel_words(j), blocks.is_valid(j));
            else
                writer.next(sample, blocks.channel_words(j), blocks.is_valid(j));
        }
    }
    writer.last(database.depth());
    return true;
}
