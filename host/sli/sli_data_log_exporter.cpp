// SLI_DATA_LOG_EXPORTER: the snapshot of a data log, the file written beside its target and
// renamed over it, and the exporter's test seams.
#include "host/sli.h"

#include "host/fio.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sli/sli_vector_database.h"
#include "host/standin/sli_control.h"
#include "host/standin/standin.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <deque>
#include <new>
#include <unordered_map>

namespace
{
struct exporter_state
{
    long long fail_after = -1;
    standin::sli::request last;
};

exporter_state& state()
{
    static exporter_state s;
    return s;
}

void reset()
{
    state() = exporter_state();
}

const standin::reset_registrar registrar(&reset);

bool is_table_or_dump(int format)
{
    return format == SLI_OUTPUT_FORMAT_TBL || format == SLI_OUTPUT_FORMAT_CSV || format == SLI_OUTPUT_FORMAT_VCD;
}

// The payload with rows as long as its counts say. The repository never builds shorter ones,
// but a foreign file could; the missing bits read as zero, as the log's own getters read them.
std::shared_ptr<const SDR_LOG_PAYLOAD> whole_payload(const std::shared_ptr<const SDR_LOG_PAYLOAD>& payload)
{
    const qint64 row = payload->row_bytes();
    const qint64 channel_bytes = qint64(payload->channel_count) * row;
    if (payload->channel_bits.size() >= channel_bytes && payload->valid_bits.size() >= row &&
        payload->connected.size() >= payload->channel_count)
        return payload;
    auto copy = std::make_shared<SDR_LOG_PAYLOAD>(*payload);
    const auto pad = [](QByteArray& bytes, qint64 size) {
        if (bytes.size() < size)
            bytes.append(QByteArray(int(size - bytes.size()), '\0'));
    };
    pad(copy->channel_bits, channel_bytes);
    pad(copy->valid_bits, row);
    pad(copy->connected, payload->channel_count);
    return copy;
}

// The names the channels had when the log was acquired; a log that kept none (an older file)
// takes the signal set's present wires, and a channel without a name is "wire<i>".
std::vector<std::string> channel_names(const SDR_DATA_LOG* log, int channels)
{
    std::vector<std::string> names(log->m_wire_names.begin(),
                                   log->m_wire_names.begin() + std::min<size_t>(log->m_wire_names.size(), size_t(channels)));
    const SDR_DATA_SIGNAL_SET* set = log->get_signal_set();
    const int wires = set != nullptr ? set->get_data_wire_width() : 0;
    for (int i = int(names.size()); i < channels; ++i) {
        const SDR_DATA_WIRE* wire = i < wires ? set->get_data_wire_at(i) : nullptr;
        const bool named = wire != nullptr && *wire->get_name() != '\0';
        names.push_back(named ? std::string(wire->get_name()) : std::string());
    }
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].empty())
            names[i] = "wire" + std::to_string(i);
    return names;
}

// A group's name without the range of bits its editor names it with ("data[7..0]" is "data"):
// readers give the bits their indices themselves.
std::string without_range(const std::string& name)
{
    const size_t open = name.rfind('[');
    if (open == std::string::npos || open == 0 || name.back() != ']')
        return name;
    const std::string range = name.substr(open + 1, name.size() - open - 2);
    const size_t separator = range.find_first_of(".:");
    if (separator == std::string::npos)
        return name;
    const size_t second = range.compare(separator, 2, "..") == 0 ? separator + 2 : separator + 1;
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(range.substr(0, separator)) && digits(range.substr(second)) ? name.substr(0, open) : name;
}

// The groups of the node list the log shows (its signal set's data list), each as a vector of
// the log's channels. Each leaf row takes the next channel acquired under its name, so the
// channels are found whether or not the list changed since the acquisition; a group one of
// whose leaves has none is left out. A group reads its first row as the most significant bit
// unless its order is set from the least significant one.
std::vector<SLI_BUS> buses_of(const SDR_DATA_LOG* log, const std::vector<std::string>& names)
{
    const SDR_DATA_SIGNAL_SET* set = log->get_signal_set();
    if (set == nullptr)
        return {};
    std::unordered_map<std::string, std::deque<int>> unclaimed;
    for (size_t c = 0; c < names.size(); ++c)
        unclaimed[names[c]].push_back(int(c));
    const SDR_NODE_LIST& list = set->state().data_list;
    std::vector<int> channel_of(size_t(list.size()), -1);
    for (int row = 0; row < list.size(); ++row) {
        auto found = SDR_TX_SIGNAL_NODES::is_group_row(list[row]) ? unclaimed.end() : unclaimed.find(list[row].name);
        if (found != unclaimed.end() && !found->second.empty()) {
            channel_of[size_t(row)] = found->second.front();
            found->second.pop_front();
        }
    }
    std::vector<SLI_BUS> buses;
    for (int row = 0; row < list.size(); ++row) {
        if (!SDR_TX_SIGNAL_NODES::is_group_row(list[row]))
            continue;
        SLI_BUS bus{without_range(list[row].name), {}};
        bool whole = true;
        for (int member = row + 1; member <= list[row].subtree_end && member < list.size(); ++member)
            if (!SDR_TX_SIGNAL_NODES::is_group_row(list[member])) {
                whole = whole && channel_of[size_t(member)] >= 0;
                bus.channels.push_back(channel_of[size_t(member)]);
            }
        if (list[row].lsb_to_msb)
            std::reverse(bus.channels.begin(), bus.channels.end());
        if (whole && !bus.channels.empty())
            buses.push_back(std::move(bus));
    }
    return buses;
}

std::string scope_of(const SDR_DATA_LOG* log)
{
    const SDR_DATA_INSTANCE* instance = log->get_trigger() != nullptr ? log->get_trigger()->get_instance() : nullptr;
    return instance != nullptr ? std::string(instance->get_name()) : std::string();
}

void remember(const SLI_VECTOR_DATABASE& database)
{
    standin::sli::request& last = state().last;
    last = standin::sli::request();
    last.created = true;
    last.format = database.format;
    last.clock_interval_ps = database.clock_interval_ps;
    last.log_name = database.log_name;
    last.depth = database.depth();
    last.names = database.names;
    last.trigger_position = database.trigger_position;
}

} // namespace

SLI_DATA_LOG_EXPORTER::SLI_DATA_LOG_EXPORTER() = default;

SLI_DATA_LOG_EXPORTER::~SLI_DATA_LOG_EXPORTER() = default;

bool SLI_DATA_LOG_EXPORTER::create_vector_database(const SDR_DATA_LOG* log, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format,
                                                   long long clock_interval_ps)
{
    standin::record_call("sli:create_vector_database(" + std::string(log != nullptr ? log->get_name() : "null") +
                         ", " + std::to_string(int(format)) + ", " + std::to_string(clock_interval_ps) + ")");
    m_database.reset();
    if (log == nullptr || !is_table_or_dump(format) || !log->is_data_available(false) ||
        log->m_payload->channel_count < 0)
        return false;
    auto database = std::make_unique<SLI_VECTOR_DATABASE>();
    database->format = format;
    database->clock_interval_ps = std::max(0LL, clock_interval_ps);
    database->payload = whole_payload(log->m_payload.shared());
    database->names = channel_names(log, database->channels());
    database->buses = buses_of(log, database->names);
    database->scope = scope_of(log);
    database->log_name = log->get_name();
    const int trigger = database->payload->trigger_position;
    database->trigger_position = trigger >= 0 && trigger < database->depth() ? trigger : 0;
    remember(*database);
    m_database = std::move(database);
    return true;
}

bool SLI_DATA_LOG_EXPORTER::export_file(const char* path)
{
    standin::record_call("sli:export_file(" + std::string(path != nullptr ? path : "null") + ")");
    const long long fail_after = state().fail_after;
    state().fail_after = -1;
    m_last_error.clear();
    if (path == nullptr || *path == '\0')
        return fail(std::string(), "no file name is given");
    if (m_database == nullptr)
        return fail(path, "there are no samples to export");
    state().last.path = path;
    if (const std::string problem = fio_write_target_problem(path); !problem.empty())
        return fail(path, problem);
    QSaveFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::WriteOnly))
        return fail(path, "the file cannot be written: " + file.errorString().toStdString());
    SLI_OUTPUT out(&file, fail_after);
    bool written = false;
    try {
        written = sli_write_database(*m_database, &out);
    } catch (const std::bad_alloc&) {
        // A text piece too large for the memory left: the export fails, the editor goes on.
    }
    if (!out.finish() || !written) {
        file.cancelWriting();
        return fail(path, "the file could not be written whole");
    }
    return file.commit() || fail(path, "the file cannot be written: " + file.errorString().toStdString());
}

bool SLI_DATA_LOG_EXPORTER::fail(const std::string& path, const std::string& problem)
{
    m_last_error = path.empty() ? problem : path + ": " + problem;
    return false;
}

namespace standin::sli
{
void fail_next_export(long long after_bytes)
{
    state().fail_after = std::max(0LL, after_bytes);
}

request last_request()
{
    return state().last;
}
} // namespace standin::sli
