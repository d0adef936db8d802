// SDR_LOG_LIST: a trigger's logs and the sums of what they count; what one log counts, and the
// log's wire names, samples and decoder tables, which tell it when they change.
#include "host/sdr/sdr_log_list.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_limits.h"

#include <algorithm>
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
    log->share_static_tables();
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
    const SDR_LOG_TALLY tables = stored_tables();
    tally.tables = std::max(tables.tables, m_expected.tables);
    tally.table_entries = std::max(tables.table_entries, m_expected.table_entries);
    return tally;
}

SDR_LOG_TALLY SDR_DATA_LOG::stored_tables() const
{
    SDR_LOG_TALLY tally;
    for (const auto& table : m_static_plugin_tables)
    {
        if (!sdr_stores_static_table(*this, table.first, m_previous))
            continue;
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

void SDR_DATA_LOG::share_static_tables()
{
    if (m_previous == nullptr)
        return;
    for (const auto& table : m_static_plugin_tables)
    {
        const SDR_DATA_MNEMONICS_TABLE* before = m_previous->get_static_plugin_mnemonics_table(table.first);
        if (before != nullptr)
            table.second->share_content(*before);
    }
}

void SDR_DATA_LOG::expect_static_tables(const SDR_LOG_TALLY& most)
{
    m_expected = SDR_LOG_TALLY();
    m_expected.tables = most.tables;
    m_expected.table_entries = most.table_entries;
    recount();
}

// One more entry stores the table's entries again when it shared them until now, and the
// table of the log after it that shared them stores its own from then on.
bool SDR_DATA_LOG::has_room_for_entry(const SDR_DATA_MNEMONICS_TABLE& table) const
{
    int id = -1;
    for (const auto& own : m_static_plugin_tables)
        if (own.second.get() == &table)
            id = own.first;
    SDR_LOG_TALLY more;
    more.table_entries = 1;
    if (id >= 0 && !sdr_stores_static_table(*this, id, m_previous))
    {
        more.tables = 1;
        more.table_entries += table.get_num_entries();
    }
    SDR_LOG_TALLY more_next;
    const SDR_DATA_MNEMONICS_TABLE* after =
        m_next != nullptr ? m_next->get_static_plugin_mnemonics_table(id) : nullptr;
    if (after != nullptr && !sdr_stores_static_table(*m_next, id, this))
    {
        more_next.tables = 1;
        more_next.table_entries = after->get_num_entries();
    }
    return has_table_room(more, more_next);
}

// What a run expects is counted already: growing into it adds nothing.
bool SDR_DATA_LOG::has_table_room(const SDR_LOG_TALLY& more, const SDR_LOG_TALLY& more_next) const
{
    const SDR_DATA_INSTANCE* instance =
        m_list != nullptr && m_trigger != nullptr ? m_trigger->get_instance() : nullptr;
    const SDR_DATA_SESSION* session = instance != nullptr ? instance->m_session : nullptr;
    if (session == nullptr)
        return true;
    const SDR_LOG_TALLY now = stored_tables();
    const auto growth = [](qint64 now, qint64 more, qint64 expected)
    { return std::max(now + more, expected) - std::max(now, expected); };
    const qint64 tables = growth(now.tables, more.tables, m_expected.tables) + more_next.tables;
    const qint64 entries =
        growth(now.table_entries, more.table_entries, m_expected.table_entries) + more_next.table_entries;
    QString problem;
    return (SDR_FILE_LIMITS::has_room(*session, SDR_FILE_ELEMENT::TABLE, tables, &problem) &&
            SDR_FILE_LIMITS::has_room(*session, SDR_FILE_ELEMENT::TABLE_ENTRY, entries, &problem)) ||
           SDR_DATA_MANAGER::refuse(problem);
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

bool sdr_stores_static_table(const SDR_DATA_LOG& log, int id, const SDR_DATA_LOG* previous)
{
    const SDR_DATA_MNEMONICS_TABLE* table = log.get_static_plugin_mnemonics_table(id);
    const SDR_DATA_MNEMONICS_TABLE* before =
        previous != nullptr ? previous->get_static_plugin_mnemonics_table(id) : nullptr;
    return table == nullptr || before == nullptr || !table->same_content(*before);
}

namespace
{
// The rows a decoder group at `group` decodes: those that directly follow it as its members.
int decoded_members(const SDR_NODE_LIST& rows, int group)
{
    int members = 0;
    for (int row = group + 1; row < rows.size(); ++row, ++members)
        if (rows[row].display_type != SDR_NTYPE_MEMBER && rows[row].display_type != SDR_NTYPE_LAST_MEMBER)
            break;
    return members;
}
} // namespace

// Each value the members take gets one entry, and a log holds no more values than samples.
SDR_LOG_TALLY sdr_expected_static_tables(const SDR_DATA_SIGNAL_SET* set)
{
    constexpr int WIDEST_COUNTED = 62; // wider values: no more than the samples anyway
    SDR_LOG_TALLY most;
    if (set == nullptr)
        return most;
    const SDR_NODE_LIST& rows = set->state().data_list;
    const qint64 depth = std::max(0, set->state().sample_depth);
    for (int row = 0; row < rows.size(); ++row)
    {
        const SDR_PLUGIN_GROUP* record = rows[row].plugin_group;
        if (rows[row].radix != SDR_GTYPE_PLUGIN || record == nullptr || record->get_plugin_id() < 0)
            continue;
        const int members = decoded_members(rows, row);
        if (members == 0)
            continue;
        ++most.tables;
        most.table_entries += members < WIDEST_COUNTED ? std::min(qint64(1) << members, depth) : depth;
    }
    return most;
}
