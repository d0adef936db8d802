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

char* put_time(wide_time value, char* out)
{
    char digits[SLI_MAX_TIME_TEXT];
    int count = 0;
    const bool negative = value < 0;
    unsigned __int128 rest = negative ? (unsigned __int128)(-(value + 1)) + 1 : (unsigned __int128)value;
    do {
        digits[count++] = char('0' + int(rest % 10));
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *out++ = '-';
    while (count > 0)
        *out++ = digits[--count];
    return out;
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

std::string csv_header(const SLI_VECTOR_DATABASE& database)
{
    std::string header = csv_field(time_header(database));
    for (const std::string& name : database.names)
        header += "," + csv_field(name);
    return header + "\n";
}

// A name as one word: a blank inside it would make two columns of one.
std::string one_word(const std::string& name)
{
    std::string word = name;
    std::replace_if(word.begin(), word.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }, '_');
    return word;
}

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
        const std::string name = one_word(database.names[size_t(c)]);
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

void put_table_line(const table_layout& layout, wide_time time, const uint64_t* words,
                    const std::vector<int>& connected, SLI_OUTPUT* out)
{
    const std::string& model = words != nullptr ? layout.blank_line : layout.invalid_line;
    char* line = out->reserve(model.size());
    std::memcpy(line, model.data(), model.size());
    char text[SLI_MAX_TIME_TEXT];
    const int width = int(put_time(time, text) - text);
    std::memcpy(line + layout.time_width - width, text, size_t(width));
    if (words != nullptr)
        for (int c : connected)
            line[layout.offsets[size_t(c)]] = char('0' + int(SLI_SAMPLE_BLOCKS::bit(words, c)));
    out->end(line + model.size());
}
} // namespace

bool sli_write_csv(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out)
{
    out->append(csv_header(database));
    const int channels = database.channels();
    const std::vector<int> unconnected = unconnected_channels(database);
    std::string invalid;
    for (int c = 0; c < channels; ++c)
        invalid += c == 0 ? "x" : ",x";
    const size_t line_room = SLI_MAX_TIME_TEXT + 2 + 2 * size_t(channels) + 16;
    SLI_SAMPLE_BLOCKS blocks(*database.payload);
    for (int count = blocks.next(); count > 0; count = blocks.next()) {
        for (int j = 0; j < count; ++j) {
            char* p = put_time(time_of(database, blocks.first_sample() + j), out->reserve(line_room));
            if (channels > 0) {
                *p++ = ',';
                if (blocks.is_valid(j))
                    p = put_csv_values(blocks.channel_words(j), channels, unconnected, p) - 1;
                else
                    p = std::copy(invalid.begin(), invalid.end(), p);
            }
            *p++ = '\n';
            out->end(p);
        }
    }
    return true;
}

bool sli_write_tbl(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out)
{
    const table_layout layout = make_table_layout(database);
    out->append(layout.header);
    std::vector<int> connected;
    for (int c = 0; c < database.channels(); ++c)
        if (database.payload->connected[c] != 0)
            connected.push_back(c);
    SLI_SAMPLE_BLOCKS blocks(*database.payload);
    for (int count = blocks.next(); count > 0; count = blocks.next())
        for (int j = 0; j < count; ++j)
            put_table_line(layout, time_of(database, blocks.first_sample() + j),
                           blocks.is_valid(j) ? blocks.channel_words(j) : nullptr, connected, out);
    return true;
}
