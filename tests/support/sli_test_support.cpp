// Helpers of the data exporter tests: test logs, expected values and readers of the files.
#include "support/sli_test_support.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/sdr_control.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <random>
#include <sstream>

namespace sli_test
{
log_fixture::log_fixture(const std::vector<wire>& wires, int depth, const std::string& valid, int trigger_position,
                         const std::vector<group>& groups)
{
    // Each fixture's session under a name of its own: the repository opens a name once.
    static int fixtures = 0;
    if (!session.create_session(("/tmp/sli_test_" + std::to_string(++fixtures) + ".vtl").c_str()))
        return;
    SDR_DATA_TRIGGER* trigger = session.get_trigger_at(0, false)->get_data_trigger();
    standin::sdr::log_spec desc;
    desc.depth = depth;
    desc.valid = valid;
    desc.trigger_position = trigger_position;
    for (const wire& w : wires) {
        standin::sdr::add_node(trigger, {w.name});
        desc.channels.push_back(w.bits);
        desc.connected.push_back(w.connected);
    }
    // From the last group back, so that the rows of the earlier ones stay where they are.
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        const int row = standin::sdr::add_group(trigger, g->first, g->last, g->name);
        trigger->edit_transient().trigger_list[row].lsb_to_msb = g->lsb_first;
    }
    SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger, false);
    log = standin::sdr::make_log(trigger, desc);
}

namespace
{
std::string wire_bits(int kind, int index, int depth, std::mt19937* random)
{
    std::string bits(size_t(depth), '0');
    bool level = (*random)() % 2 != 0;
    for (int s = 0; s < depth; ++s) {
        switch (kind) {
        case 0: bits[size_t(s)] = char('0' + (s / (1 + index % 4)) % 2); break;  // clock
        case 1: bits[size_t(s)] = char('0' + ((s >> (index % 9)) & 1)); break;   // counter bit
        case 2: bits[size_t(s)] = char('0' + index % 2); break;                   // constant
        case 3: bits[size_t(s)] = char('0' + (*random)() % 2); break;             // noise
        default:                                                                  // rare toggles
            level = (*random)() % 50 == 0 ? !level : level;
            bits[size_t(s)] = char('0' + int(level));
        }
    }
    return bits;
}
} // namespace

std::vector<wire> varied_wires(int count, int depth, unsigned seed, std::string* valid)
{
    std::mt19937 random(seed);
    std::vector<wire> wires;
    for (int i = 0; i < count; ++i)
        wires.push_back({"top|unit_" + std::to_string(i % 3) + "|sig[" + std::to_string(i) + "]",
                         wire_bits(i % 5, i, depth, &random), i % 7 != 6});
    valid->assign(size_t(depth), '1');
    for (int s = depth / 3; s < depth / 3 + 5 && s < depth; ++s)
        (*valid)[size_t(s)] = '0';
    for (int k = 0; k < depth / 100; ++k)
        (*valid)[size_t(1 + random() % (depth - 1))] = '0';
    return wires;
}

std::vector<group> groups_of(int wires, int size)
{
    std::vector<group> groups;
    for (int first = 0; first < wires; first += size)
        groups.push_back({"top|bus_" + std::to_string(groups.size()), first, std::min(wires, first + size) - 1,
                          groups.size() % 2 == 1});
    return groups;
}

std::vector<std::pair<std::string, int>> group_bits(const std::vector<group>& groups)
{
    std::vector<std::pair<std::string, int>> bits;
    for (const group& g : groups)
        for (int k = g.last - g.first; k >= 0; --k)
            bits.push_back({g.name + "[" + std::to_string(k) + "]", g.lsb_first ? g.first + k : g.last - k});
    return bits;
}

std::vector<std::string> expected_values(const SDR_DATA_LOG* log)
{
    std::vector<std::string> values;
    const int depth = log->get_data_sample_depth();
    for (size_t c = 0; c < log->m_wire_names.size(); ++c) {
        std::string row(size_t(depth), 'x');
        for (int s = 0; s < depth; ++s)
            if (log->is_bit_valid(s) && log->get_connection_status(int(c)))
                row[size_t(s)] = log->get_bit(int(c), s) ? '1' : '0';
        values.push_back(row);
    }
    return values;
}

std::string file_text(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

namespace
{
// Reads the declarations up to $enddefinitions: the timescale and the wires.
bool read_declarations(std::istream& in, dump* result, std::map<std::string, size_t>* codes)
{
    std::string word;
    while (in >> word) {
        if (word == "$enddefinitions")
            return in >> word && word == "$end";
        std::vector<std::string> words;
        for (std::string w; word != "$end" && in >> w && w != "$end";)
            words.push_back(w);
        if (word == "$timescale")
            for (const std::string& w : words)
                result->timescale += w;
        if (word == "$var" && words.size() >= 4) {
            (*codes)[words[2]] = result->names.size();
            result->names.push_back(words[3] + (words.size() > 4 ? words[4] : std::string()));
        }
    }
    return false;
}

// Fills each wire's value at sample times from `from` (inclusive) up to `time` (exclusive).
void fill_until(dump* result, const std::vector<char>& current, long long time, long long steps, int depth, int* next)
{
    for (; *next < depth && (long long)(*next) * steps < time; ++*next)
        for (size_t c = 0; c < current.size(); ++c)
            result->values[c][size_t(*next)] = current[c];
}
} // namespace

dump read_dump(const QString& path, long long steps_per_sample, int depth)
{
    dump result;
    std::istringstream in(file_text(path));
    std::map<std::string, size_t> codes;
    if (!read_declarations(in, &result, &codes)) {
        result.error = "no $enddefinitions";
        return result;
    }
    std::vector<char> current(result.names.size(), '?');
    result.values.assign(result.names.size(), std::string(size_t(depth), '?'));
    int next = 0;
    for (std::string word; in >> word;) {
        if (word[0] == '#') {
            const long long time = std::stoll(word.substr(1));
            fill_until(&result, current, time, steps_per_sample, depth, &next);
            result.end_time = time;
        } else if (word[0] == '0' || word[0] == '1' || word[0] == 'x' || word[0] == 'X') {
            auto found = codes.find(word.substr(1));
            if (found == codes.end()) {
                result.error = "unknown code " + word;
                return result;
            }
            current[found->second] = char(std::tolower(word[0]));
        }
    }
    fill_until(&result, current, (long long)depth * steps_per_sample + 1, steps_per_sample, depth, &next);
    return result;
}

namespace
{
std::vector<std::string> csv_fields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}
} // namespace

table read_csv(const QString& path)
{
    table result;
    std::istringstream in(file_text(path));
    bool header = true;
    for (std::string line; std::getline(in, line);) {
        if (header)
            result.header = csv_fields(line);
        else
            result.rows.push_back(csv_fields(line));
        header = false;
    }
    return result;
}

bool run_tool(const QString& program, const QStringList& arguments, std::string* output, std::string* error)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (!finished)
        process.kill();
    *output = process.readAllStandardOutput().toStdString();
    *error = process.readAllStandardError().toStdString();
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
} // namespace sli_test
