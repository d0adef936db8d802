// SDR_LOG_LIST: a trigger's logs and the sums of what they count; what one log counts, and the
// log's wire names and samples, which tell it when they change.
#include "host/sdr/sdr_log_list.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_limits.h"

#include <atomic>

SDR_LOG_TALLY& SDR_LOG_TALLY::operator+=(const SDR_LOG_TALLY& other)
{
    logs += other.logs;
    wires += other.wires;
    payload_bytes += other.payload_bytes;
    tables += other.tables;
    table_entries += other.table_entries;
    return *this;
}

SDR_LOG_TALLY& SDR_LOG_TALLY::operator-=(const SDR_LOG_TALLY& other)
{
    logs -= other.logs;
    wires -= other.wires;
    payload_bytes -= other.payload_bytes;
    tables -= other.tables;
    table_entries -= other.table_entries;
    return *this;
}

// The logs go with the list; none of them counts for it any more.
SDR_LOG_LIST::~SDR_LOG_LIST()
{
    clear();
}

void SDR_LOG_LIST::push_back(std::unique_ptr<SDR_DATA_LOG> log)
{
    if (log == nullptr)
        return;
    SDR_DATA_LOG* added = log.get();
    added->m_list = this;
    added->m_previous = m_logs.empty() ? nullptr : m_logs.back().get();
    added->m_next = nullptr;
    if (added->m_previous != nullptr)
        added->m_previous->m_next = added;
    m_logs.push_back(std::move(log));
    count(added);
}

std::unique_ptr<SDR_DATA_LOG> SDR_LOG_LIST::take(size_t index)
{
    if (index >= m_logs.size())
        return nullptr;
    note_changed();
    std::unique_ptr<SDR_DATA_LOG> log = std::move(m_logs[index]);
    m_logs.erase(m_logs.begin() + std::ptrdiff_t(index));
    SDR_DATA_LOG* next = log->m_next;
    uncount(log.get());
    if (next != nullptr)
        uncount(next);
    if (log->m_previous != nullptr)
        log->m_previous->m_next = next;
    if (next != nullptr)
    {
        next->m_previous = log->m_previous;
        count(next);
    }
    log->m_list = nullptr;
    log->m_previous = nullptr;
    log->m_next = nullptr;
    return log;
}

void SDR_LOG_LIST::clear()
{
    note_changed();
    LOGS logs;
    logs.swap(m_logs);
    for (const auto& log : logs)
    {
        log->m_list = nullptr;
        log->m_previous = nullptr;
        log->m_next = nullptr;
        log->m_counted = SDR_LOG_TALLY();
    }
    m_tally = SDR_LOG_TALLY();
}

void SDR_LOG_LIST::recount(SDR_DATA_LOG* log)
{
    if (log == nullptr || log->m_list != this)
        return;
    uncount(log);
    count(log);
    // The next log may store its wire names, or share this one's, now.
    if (SDR_DATA_LOG* next = log->m_next)
    {
        uncount(next);
        count(next);
    }
}

quint64 SDR_LOG_LIST::next_stamp()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

void SDR_LOG_LIST::count(SDR_DATA_LOG* log)
{
    log->m_counted = log->tally();
    m_tally += log->m_counted;
}

void SDR_LOG_LIST::uncount(SDR_DATA_LOG* log)
{
    m_tally -= log->m_counted;
    log->m_counted = SDR_LOG_TALLY();
}

// ---- what a log counts ------------------------------------------------------------------------

SDR_LOG_TALLY SDR_DATA_LOG::tally() const
{
    SDR_LOG_TALLY tally;
    tally.logs = 1;
    tally.wires = sdr_stores_wire_names(*this, m_previous) ? qint64(m_wire_names.size()) : 0;
    tally.payload_bytes = SDR_FILE_LIMITS::payload_size(*this);
    for (const auto& table : m_static_plugin_tables)
    {
        ++tally.tables;
        tally.table_entries += table.second->get_num_entries();
    }
    return tally;
}

void SDR_DATA_LOG::recount()
{
    if (m_list != nullptr)
        m_list->recount(this);
}

SDR_LOG_PAYLOAD_SLOT& SDR_LOG_PAYLOAD_SLOT::operator=(SDR_PAYLOAD_HANDLE payload)
{
    SDR_PAYLOAD_HANDLE::operator=(std::move(payload));
    m_log->recount();
    return *this;
}

void SDR_LOG_PAYLOAD_SLOT::reset()
{
    SDR_PAYLOAD_HANDLE::reset();
    m_log->recount();
}

SDR_LOG_WIRE_NAMES& SDR_LOG_WIRE_NAMES::operator=(SDR_WIRE_NAMES names)
{
    const SDR_DATA_LOG* previous = m_log->previous();
    if (previous != nullptr && !names.empty() && names == previous->m_wire_names)
        names = previous->m_wire_names;
    SDR_WIRE_NAMES::operator=(std::move(names));
    m_log->recount();
    return *this;
}

void SDR_LOG_WIRE_NAMES::push_back(std::string name)
{
    SDR_WIRE_NAMES names = *this;
    names.push_back(std::move(name));
    *this = std::move(names);
}

void SDR_LOG_WIRE_NAMES::clear()
{
    *this = SDR_WIRE_NAMES();
}

bool sdr_stores_wire_names(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous)
{
    return previous == nullptr || log.m_wire_names.empty() || log.m_wire_names != previous->m_wire_names;
}
