// The exporter's table formats: comma separated values (a header of wire names, one line per
// sample) and the aligned text table. Both start each line with the sample's time from the
// trigger sample and give a value per wire: "0", "1", or "x" for an invalid sample or a wire
// that had no connection.
#include "host/sli/sli_vector_database.h"

#include <algorithm>
#include <cstring>

namespace
{
__extension__ typedef __int128 wide_time;

// Time of sample s: picoseconds from the trigger sample, or samples from it when the clock is
// not set. 128 bits: a clock of hours times a deep log does not fit 64.
wide_time time_of(const SLI_VECTOR_DATABASE& database, int sample)
{
    const wide_time offset = wide_time(sample) - database.trigger_position;
    return database.clock_interval_ps > 0 ? offset * database.clock_interval_ps : offset;
}

// 128-bit division is a library call: the digits of times that fit 64 bits (all but the
// longest clocks) are made in 64 bits.
char* put_time(wide_time value, char* out)
{
    const bool negative = value < 0;
    unsigned __int128 rest = negative ? (unsigned __int128)(-(value + 1)) + 1 : (unsigned __int128)value;
    if (negative)
        *out++ = '-';
    const unsigned long long tens19 = 10000000000000000000ull;
    if (rest < tens19)
        return sli_put_digits((unsigned long long)rest, out);
    out = put_time(wide_time(rest / tens19), out);
    char low[24];
    char* end = sli_put_digits((unsigned long long)(rest % tens19), low);
    const int pad = 19 - int(end - low);
    std::memset(out, '0', size_t(pad));
    return std::copy(low, end, out + pad);
}

int time_width(wide_time value)
{
    char text[SLI_MAX_TIME_TEXT];
    return int(put_time(value, text) - text);
}

std::string time_header(const SLI_VECTOR_DATABASE& database)
{
    return database.clock_interval_ps > 0 ? "Time(ps)" : "Sample";
}

std::vector<int> unconnected_channels(const SLI_VECTOR_DATABASE& database)
{
    std::vector<int> channels;
    for (int c = 0; c < database.channels(); ++c)
        if (database.payload->connected[c] == 0)
            channels.push_back(c);
    return channels;
}

// A csv field: quoted (with doubled quotes) when it holds a separator, a quote or a line end.
std::string csv_field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The text of eight wires' values for each byte of their bits: "b0,b1,...,b7," (16 bytes).
struct csv_byte_texts
{
    char text[256][16];
    csv_byte_texts()
    {
        for (int v = 0; v < 256; ++v)
            for (int i = 0; i < 8; ++i) {
                text[v][2 * i] = char('0' + ((v >> i) & 1));
                text[v][2 * i + 1] = ',';
            }
    }
};

char* put_csv_values(const uint64_t* words, int channels, const std::vector<int>& unconnected, char* out)
{
    static const csv_byte_texts texts;
    const int bytes = (channels + 7) / 8;
    for (int k = 0; k < bytes; ++k)
        std::memcpy(out + 16 * k, texts.text[(words[k >> 3] >> (8 * (k & 7))) & 0xFF], 16);
    for (int c : unconnected)
        out[2 * c] = 'x';
    return out + 2 * channels;
}

class csv_writer : public SLI_FORMAT_WRITER
{
public:
    explicit csv_writer(const SLI_VECTOR_DATABASE& database)
        : m_database(database), m_unconnected(unconnected_channels(database))
    {
        for (int c = 0; c < database.channels(); ++c)
            m_invalid += c == 0 ? "x" : ",x";
    }

    bool header(SLI_OUTPUT* out) const override
    {
        std::string header = csv_field(time_header(m_database));
        for (const std::string& name : m_database.names)
            header += "," + csv_field(name);
        out->append(header + "\n");
        return true;
    }

    // The time, then eight wires at a time from a table of their texts (16 bytes, room for
    // which sample_room leaves), the unconnected ones patched to "x" after.
    void samples(int first, int end, SLI_OUTPUT* out) const override
    {
        const int channels = m_database.channels();
        SLI_SAMPLE_BLOCKS blocks(*m_database.payload, first, end);
        for (int count = blocks.next(); count > 0; count = blocks.next()) {
            for (int j = 0; j < count; ++j) {
                char* p = put_time(time_of(m_database, blocks.first_sample() + j), out->reserve(sample_room()));
                if (channels > 0) {
                    *p++ = ',';
                    if (blocks.is_valid(j))
                        p = put_csv_values(blocks.channel_words(j), channels, m_unconnected, p) - 1;
                    else
                        p = std::copy(m_invalid.begin(), m_invalid.end(), p);
                }
                *p++ = '\n';
                out->end(p);
            }
        }
    }

    size_t sample_room() const override { return SLI_MAX_TIME_TEXT + 2 + 2 * size_t(m_database.channels()) + 16; }

private:
    const SLI_VECTOR_DATABASE& m_database;
    std::vector<int> m_unconnected;
    std::string m_invalid;                       // the values of an invalid sample
};

// Layout of the aligned table: the time right-aligned in its column, then each wire's value at
// the start of a column as wide as its name, one blank between columns.
struct table_layout
{
    int time_width = 0;
    std::vector<int> offsets;            // of each wire's value in a line
    std::string blank_line;              // 'x' for unconnected wires, '\n' at the end
    std::string invalid_line;            // 'x' for every wire
    std::string header;
};

table_layout make_table_layout(const SLI_VECTOR_DATABASE& database)
{
    table_layout layout;
    const std::string time = time_header(database);
    layout.time_width = std::max({int(time.size()), time_width(time_of(database, 0)),
                                  time_width(time_of(database, database.depth() - 1))});
    layout.header = std::string(size_t(layout.time_width) - time.size(), ' ') + time;
    int position = layout.time_width;
    for (int c = 0; c < database.channels(); ++c) {
        const std::string name = sli_one_word(database.names[size_t(c)], "wire" + std::to_string(c));
        layout.offsets.push_back(position + 1);
        const bool last = c + 1 == database.channels();
        layout.header += " " + name;
        position += 1 + (last ? 1 : std::max(1, int(name.size())));
        if (!last)
            layout.header.append(size_t(std::max(0, 1 - int(name.size()))), ' ');
    }
    layout.header += "\n";
    layout.blank_line.assign(size_t(position), ' ');
    layout.blank_line += '\n';
    layout.invalid_line = layout.blank_line;
    for (int c = 0; c < database.channels(); ++c) {
        layout.invalid_line[size_t(layout.offsets[size_t(c)])] = 'x';
        if (database.payload->connected[c] == 0)
            layout.blank_line[size_t(layout.offsets[size_t(c)])] = 'x';
    }
    return layout;
}

class tbl_writer : public SLI_FORMAT_WRITER
{
public:
    explicit tbl_writer(const SLI_VECTOR_DATABASE& database)
        : m_database(database), m_layout(make_table_layout(database))
    {
        for (int c = 0; c < database.channels(); ++c)
            if (database.payload->connected[c] != 0)
                m_connected.push_back(c);
    }

    bool header(SLI_OUTPUT* out) const override
    {
        out->append(m_layout.header);
        return true;
    }

    void samples(int first, int end, SLI_OUTPUT* out) const override
    {
        SLI_SAMPLE_BLOCKS blocks(*m_database.payload, first, end);
        for (int count = blocks.next(); count > 0; count = blocks.next())
            for (int j = 0; j < count; ++j)
                line(time_of(m_database, blocks.first_sample() + j), blocks.is_valid(j) ? blocks.channel_words(j) : nullptr,
                     out);
    }

    size_t sample_room() const override { return m_layout.blank_line.size(); }

private:
    // A copy of the blank line, the time right-aligned into its column, the values set in.
    void line(wide_time time, const uint64_t* words, SLI_OUTPUT* out) const
    {
        const std::string& model = words != nullptr ? m_layout.blank_line : m_layout.invalid_line;
        char* text = out->reserve(model.size());
        std::memcpy(text, model.data(), model.size());
        char digits[SLI_MAX_TIME_TEXT];
        const int width = int(put_time(time, digits) - digits);
        std::memcpy(text + m_layout.time_width - width, digits, size_t(width));
        if (words != nullptr)
            for (int c : m_connected)
                text[m_layout.offsets[size_t(c)]] = char('0' + int(SLI_SAMPLE_BLOCKS::bit(words, c)));
        out->end(text + model.size());
    }

    const SLI_VECTOR_DATABASE& m_database;
    const table_layout m_layout;
    std::vector<int> m_connected;
};
} // namespace

std::unique_ptr<SLI_FORMAT_WRITER> sli_csv_writer(const SLI_VECTOR_DATABASE& database)
{
    return std::make_unique<csv_writer>(database);
}

std::unique_ptr<SLI_FORMAT_WRITER> sli_tbl_writer(const SLI_VECTOR_DATABASE& database)
{
    return std::make_unique<tbl_writer>(database);
}
