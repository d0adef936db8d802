// Limits of an analyzer file and the count a reading keeps against them.
#include "host/sdr/sdr_file_limits.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_enums.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/sdr/sdr_file_xml_output.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/standin/sdr_file_control.h"

#include <new>

namespace
{
struct LIMIT_ROW
{
    SDR_FILE_ELEMENT element;
    qint64 per_document;
    const char* description; // as the file names them, for a file that is refused
    const char* things;      // as the editor names them, for an edit that is refused
};

constexpr qint64 MANY = qint64(1) << 20;
constexpr qint64 TRIGGERS = qint64(1) << 17;

// One row per element, in enum order (checked below).
constexpr LIMIT_ROW LIMITS[] = {
    {SDR_FILE_ELEMENT::INSTANCE, 1 << 16, "<instance> elements", "instances"},
    {SDR_FILE_ELEMENT::SIGNAL_SET, 1 << 17, "<signal_set> elements", "signal sets"},
    {SDR_FILE_ELEMENT::TRIGGER, TRIGGERS, "<trigger> elements", "triggers"},
    // As many as every trigger can have: setting a trigger's level count never passes it.
    {SDR_FILE_ELEMENT::LEVEL, TRIGGERS * SDR_MAX_TRIGGER_LEVELS, "<level> elements", "trigger conditions"},
    {SDR_FILE_ELEMENT::ROW, MANY, "<row> elements", "node rows"},
    // A night of autorun acquisitions, and more.
    {SDR_FILE_ELEMENT::LOG, MANY, "<log> elements", "data logs"},
    {SDR_FILE_ELEMENT::WIRE, MANY, "<wire> elements", "node names in data logs"},
    {SDR_FILE_ELEMENT::TABLE, 1 << 16, "mnemonic tables", "mnemonic tables"},
    {SDR_FILE_ELEMENT::TABLE_ENTRY, MANY, "mnemonic table entries", "mnemonic table entries"},
    {SDR_FILE_ELEMENT::TREE_OBJECT, MANY, "<object> elements", "advanced trigger objects"},
    {SDR_FILE_ELEMENT::TREE_ATTRIBUTE, MANY, "<attribute> elements", "attributes of advanced trigger objects"},
    {SDR_FILE_ELEMENT::PLUGIN_GROUP, 1 << 16, "<plugin_group> elements", "decoder plug-in settings"},
    {SDR_FILE_ELEMENT::PLUGIN_OPTION, MANY, "plug-in options and symbols", "decoder plug-in options and symbols"},
    {SDR_FILE_ELEMENT::FLAG, 1 << 17, "<flag> elements", "flags"},
    {SDR_FILE_ELEMENT::COUNTER, 1 << 17, "<counter> elements", "counters"},
    {SDR_FILE_ELEMENT::INT_LIST, MANY, "<data> elements", "lists of numbers"},
    {SDR_FILE_ELEMENT::NUMBER, qint64(1) << 24, "numbers in lists", "numbers in lists"},
    {SDR_FILE_ELEMENT::EMBEDDED_FILE, 1 << 12, "embedded files", "embedded programming files"},
};
static_assert(sizeof(LIMITS) / sizeof(LIMITS[0]) == size_t(SDR_FILE_ELEMENT::COUNT), "one limit per element");

constexpr bool in_enum_order(size_t i = 0)
{
    return i == size_t(SDR_FILE_ELEMENT::COUNT) || (size_t(LIMITS[i].element) == i && in_enum_order(i + 1));
}
static_assert(in_enum_order(), "limits are listed in enum order");
} // namespace

qint64 SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT element)
{
    return standin::sdr_file::limit_in_force(int(element), LIMITS[size_t(element)].per_document);
}

QString SDR_FILE_LIMITS::describe(SDR_FILE_ELEMENT element)
{
    return QString::fromLatin1(LIMITS[size_t(element)].description);
}

qint64 SDR_FILE_LIMITS::payload_total()
{
    return standin::sdr_file::limit_in_force(-1, MAX_PAYLOAD_TOTAL);
}

namespace
{
template <class VISIT> void for_each_trigger(const SDR_DATA_SESSION& session, VISIT visit)
{
    for (const auto& instance : session.m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                visit(*trigger);
}

// What the logs of every trigger count, from the sums each trigger keeps: a walk of the
// triggers, never of the logs.
SDR_LOG_TALLY log_tally(const SDR_DATA_SESSION& session)
{
    SDR_LOG_TALLY tally;
    for_each_trigger(session, [&tally](const SDR_DATA_TRIGGER& trigger) { tally += trigger.m_logs.tally(); });
    return tally;
}
} // namespace

qint64 SDR_FILE_LIMITS::count(const SDR_DATA_SESSION& session, SDR_FILE_ELEMENT element)
{
    qint64 n = 0;
    switch (element) {
    case SDR_FILE_ELEMENT::INSTANCE:
        return qint64(session.m_instances.size());
    case SDR_FILE_ELEMENT::SIGNAL_SET:
        for (const auto& instance : session.m_instances)
            n += qint64(instance->m_signal_sets.size());
        return n;
    case SDR_FILE_ELEMENT::TRIGGER:
        for_each_trigger(session, [&n](const SDR_DATA_TRIGGER&) { ++n; });
        return n;
    case SDR_FILE_ELEMENT::LEVEL:
        for_each_trigger(session, [&n](const SDR_DATA_TRIGGER& t) { n += qint64(t.state().levels.size()); });
        return n;
    case SDR_FILE_ELEMENT::ROW:
        for (const auto& instance : session.m_instances)
            for (const auto& set : instance->m_signal_sets)
                n += set->state().data_list.size();
        for_each_trigger(session, [&n](const SDR_DATA_TRIGGER& t) { n += t.state().trigger_list.size(); });
        return n;
    case SDR_FILE_ELEMENT::LOG:
        return log_tally(session).logs;
    case SDR_FILE_ELEMENT::WIRE:
        return log_tally(session).wires;
    case SDR_FILE_ELEMENT::TABLE:
        return session.m_mnemonics.get_num_tables() + log_tally(session).tables;
    case SDR_FILE_ELEMENT::TABLE_ENTRY:
        return session.m_mnemonics.get_num_entries() + log_tally(session).table_entries;
    case SDR_FILE_ELEMENT::PLUGIN_GROUP:
        for (const auto& instance : session.m_instances)
            n += qint64(instance->m_plugin_groups.size());
        return n;
    case SDR_FILE_ELEMENT::PLUGIN_OPTION:
        for (const auto& instance : session.m_instances)
            for (const auto& group : instance->m_plugin_groups)
                n += group->get_user_option_count() + group->get_internal_option_count() +
                     group->get_trigger_symbols().size();
        return n;
    case SDR_FILE_ELEMENT::FLAG:
        for_each_trigger(session, [&n](const SDR_DATA_TRIGGER& t) { n += qint64(t.state().flags.size()); });
        return n;
    case SDR_FILE_ELEMENT::COUNTER:
        for_each_trigger(session, [&n](const SDR_DATA_TRIGGER& t) { n += qint64(t.state().counters.size()); });
        return n;
    case SDR_FILE_ELEMENT::EMBEDDED_FILE:
        return qint64(session.m_embedded_files.size());
    default:
        return 0;
    }
}

bool SDR_FILE_LIMITS::has_room(const SDR_DATA_SESSION& session, SDR_FILE_ELEMENT element, qint64 more,
                               QString* problem)
{
    const qint64 limit = per_document(element);
    if (more <= 0 || count(session, element) <= limit - more)
        return true;
    *problem = QStringLiteral("the document would hold more than %1 %2, the most an analyzer file may hold")
                   .arg(limit)
                   .arg(QLatin1String(LIMITS[size_t(element)].things));
    return false;
}

qint64 SDR_FILE_LIMITS::payload_size(qint64 depth, qint64 channels, qint64 trigger_positions, qint64 flags,
                                     qint64 counters)
{
    const qint64 row = (depth + 7) / 8;
    return SDR_FILE_PAYLOAD::HEADER_SIZE + (channels + 3) * row + (channels + 7) / 8 + 4 * trigger_positions + flags +
           4 * counters;
}

// Samples still in the file, damaged or not, count as their counts say: they are read (or
// copied) at the next save. So do samples that can no longer be read: a save needs them.
qint64 SDR_FILE_LIMITS::payload_size(const SDR_DATA_LOG& log)
{
    const SDR_LOG_PAYLOAD* p = log.m_payload.counts();
    if (p == nullptr)
        return 0;
    return payload_size(p->depth, p->channel_count, qint64(p->segment_trigger_positions.size()) + 1,
                        p->flag_values.size(), qint64(p->counter_values.size()));
}

qint64 SDR_FILE_LIMITS::payload_bytes(const SDR_DATA_SESSION& session)
{
    qint64 total = 0;
    for (const SDR_EMBEDDED_FILE& file : session.m_embedded_files)
        total += file.bytes.size();
    return total + log_tally(session).payload_bytes;
}

bool SDR_FILE_LIMITS::text_fits(const std::string& value, const char* what, QString* problem)
{
    const qint64 stored = SDR_FILE_XML_OUTPUT::stored_size(value);
    if (stored <= MAX_XML_VALUE)
        return true;
    *problem = QStringLiteral("%1 of %2 bytes is longer than the %3 bytes a text of an analyzer file may take")
                   .arg(QLatin1String(what))
                   .arg(stored)
                   .arg(MAX_XML_VALUE);
    return false;
}

bool SDR_FILE_BUDGET::take(SDR_FILE_ELEMENT element, qint64 count, QString* problem)
{
    // Stands for the allocation of the element failing, so that tests reach that path.
    if (standin::sdr_file::take_allocation_fault())
        throw std::bad_alloc();
    qint64& taken = m_taken[size_t(element)];
    const qint64 limit = SDR_FILE_LIMITS::per_document(element);
    if (count < 0 || count > limit - taken) {
        *problem = QStringLiteral("the document holds more than %1 %2, the limit of an analyzer file")
                       .arg(limit)
                       .arg(SDR_FILE_LIMITS::describe(element));
        return false;
    }
    taken += count;
    return true;
}
