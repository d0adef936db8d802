// SDR_DATA_LOG: reads of the acquired payload (packed bits, read in place), names, removal
// and the static plug-in mnemonic tables.
#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_data_manager.h"

#include "host/msg.h"

#include <atomic>

namespace
{
bool in_range(int value, int size)
{
    return value >= 0 && value < size;
}

// A payload whose rows are shorter than its counts say (never built by the repository, but
// possible from a foreign writer) reads as "no bit" rather than past its end.
bool row_bit(const SDR_LOG_PAYLOAD& p, const QByteArray& bits, int row, int sample)
{
    const qint64 offset = qint64(row) * p.row_bytes();
    if (!in_range(sample, p.depth) || offset + sample / 8 >= bits.size())
        return false;
    return p.bit_in_row(bits, int(offset), sample);
}

SDR_DATA_INSTANCE* instance_of(SDR_DATA_LOG* log)
{
    return log->get_trigger() != nullptr ? log->get_trigger()->get_instance() : nullptr;
}

// Samples that cannot be read are reported once, when that is found.
void post_unreadable(const QString& problem)
{
    MSG_E message;
    const QByteArray text = problem.toLocal8Bit();
    message.fill_args("%1!s!/EVANTREL_DATA_UNREADABLE", text.constData());
    message.post();
}
} // namespace

const char* SDR_DATA_LOG::get_name() const
{
    return m_name.c_str();
}

// Log names belong to the undoable state of the instance (a rename is one step of its own).
bool SDR_DATA_LOG::set_name(const char* name)
{
    SDR_DATA_INSTANCE* instance = instance_of(this);
    if (name == nullptr || *name == '\0' || instance == nullptr || instance->m_session == nullptr)
        return false;
    if (m_name == name)
        return true;
    SDR_DATA_LOG* other = m_trigger->find_log(name);
    if (other != nullptr && other != this)
        return false;
    if (!SDR_DATA_MANAGER::text_fits(name, "the log name"))
        return false;
    SDR_EDIT_SCOPE scope(instance);
    m_name = name;
    m_trigger->m_log_names.forget();
    m_trigger->m_logs.note_changed();
    instance->note_change();
    return true;
}

void SDR_DATA_LOG::set_expanded_status(bool expanded)
{
    m_expanded = expanded;
}

bool SDR_DATA_LOG::is_expanded() const
{
    return m_expanded;
}

quint64 SDR_DATA_VERSION::next()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

SDR_PAYLOAD_HANDLE SDR_PAYLOAD_HANDLE::stored(std::shared_ptr<const SDR_LOG_PAYLOAD> outline,
                                               std::shared_ptr<const SDR_PAYLOAD_LOADER> loader, bool unchecked)
{
    SDR_PAYLOAD_HANDLE handle;
    handle.m_state = std::make_shared<STATE>();
    handle.m_state->outline = std::move(outline);
    handle.m_state->loader = std::move(loader);
    handle.m_state->unchecked = unchecked;
    return handle;
}

SDR_PAYLOAD_HANDLE SDR_PAYLOAD_HANDLE::damaged(std::shared_ptr<const SDR_LOG_PAYLOAD> declared,
                                                std::shared_ptr<const SDR_PAYLOAD_LOADER> loader, const QString& damage)
{
    SDR_PAYLOAD_HANDLE handle;
    handle.m_state = std::make_shared<STATE>();
    handle.m_state->declared = std::move(declared);
    handle.m_state->loader = std::move(loader);
    handle.m_state->problem = damage;
    return handle;
}

// Damaged samples become what a damaged open makes of them; samples the file no longer holds
// are reported like samples that fail to load.
void SDR_PAYLOAD_HANDLE::settle_now(bool wait) const
{
    m_state->unchecked = false;
    bool damaged = false;
    std::shared_ptr<const SDR_LOG_PAYLOAD> declared;
    const QString problem = m_state->loader->settle(wait, &damaged, &declared);
    if (problem.isEmpty())
        return;
    m_state->problem = problem;
    if (damaged) {
        m_state->declared = std::move(declared);
        m_state->outline.reset();
        return;
    }
    post_unreadable(problem);
}

bool SDR_PAYLOAD_HANDLE::stored_entry(const SDR_STORED_ENTRY** entry, QString* problem) const
{
    settle(true);
    if (!is_damaged() || !m_state->loader) {
        *problem = this->problem();
        return false;
    }
    if (!m_state->stored && m_state->stored_problem.isEmpty()) {
        auto read = std::make_unique<SDR_STORED_ENTRY>();
        QString why;
        if (m_state->loader->read_stored(read.get(), &why))
            m_state->stored = std::move(read);
        else
            m_state->stored_problem = why.isEmpty() ? QStringLiteral("the samples cannot be read again") : why;
    }
    *entry = m_state->stored.get();
    *problem = m_state->stored_problem;
    return *entry != nullptr;
}

void SDR_PAYLOAD_HANDLE::set(std::shared_ptr<const SDR_LOG_PAYLOAD> payload)
{
    m_state.reset();
    if (!payload)
        return;
    m_state = std::make_shared<STATE>();
    m_state->payload = std::move(payload);
}

// Answered from the counts read at open while the checksum is still being taken: the views ask
// for every log's counts, and would otherwise wait for all of the document's samples.
const SDR_LOG_PAYLOAD* SDR_PAYLOAD_HANDLE::outline() const
{
    if (!m_state || !m_state->problem.isEmpty())
        return nullptr;
    return m_state->payload ? m_state->payload.get() : m_state->outline.get();
}

// Read once: a payload that cannot be read keeps its loader (a save names the problem instead
// of writing the log without its samples) but is not tried again.
// The samples shown first need not wait for the whole document's checksums: theirs is taken
// here when it is not known yet.
const SDR_LOG_PAYLOAD* SDR_PAYLOAD_HANDLE::load() const
{
    settle(false);
    if (!m_state->problem.isEmpty() || !m_state->loader)
        return m_state->payload.get();
    QString problem;
    std::shared_ptr<SDR_LOG_PAYLOAD> payload = m_state->loader->load(&problem);
    if (!payload) {
        m_state->problem = problem.isEmpty() ? QStringLiteral("the samples cannot be read") : problem;
        post_unreadable(m_state->problem);
        return nullptr;
    }
    if (m_state->outline)
        payload->version.take_from(m_state->outline->version);
    m_state->payload = std::move(payload);
    m_state->outline.reset();
    m_state->loader.reset();
    return m_state->payload.get();
}

quint64 SDR_DATA_LOG::get_data_version() const
{
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    return outline ? outline->version.get() : 0;
}

int SDR_DATA_LOG::get_data_sample_depth() const
{
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    return outline ? outline->depth : 0;
}

bool SDR_DATA_LOG::get_bit(int channel, int sample) const
{
    return m_payload && in_range(channel, m_payload->channel_count)
           && row_bit(*m_payload, m_payload->channel_bits, channel, sample);
}

bool SDR_DATA_LOG::is_bit_valid(int sample) const
{
    return m_payload && row_bit(*m_payload, m_payload->valid_bits, 0, sample);
}

bool SDR_DATA_LOG::is_bit_trigger(int sample) const
{
    return m_payload && row_bit(*m_payload, m_payload->trigger_bits, 0, sample);
}

bool SDR_DATA_LOG::is_break_previous(int sample) const
{
    return m_payload && row_bit(*m_payload, m_payload->break_bits, 0, sample);
}

bool SDR_DATA_LOG::get_connection_status(int channel) const
{
    return m_payload && in_range(channel, m_payload->channel_count) && channel < m_payload->connected.size()
           && m_payload->connected[channel] != 0;
}

bool SDR_DATA_LOG::is_data_available(bool flag) const
{
    (void)flag;
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    return outline && outline->depth > 0;
}

bool SDR_DATA_LOG::is_acquiring_data() const
{
    return m_acquiring;
}

int SDR_DATA_LOG::get_data_trigger_position(int segment) const
{
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    if (!outline)
        return -1;
    if (segment == -1)
        return outline->trigger_position;
    const std::vector<int>& positions = outline->segment_trigger_positions;
    // Without segments the whole record is segment 0, so its trigger is the record's.
    if (segment == 0 && positions.empty())
        return outline->trigger_position;
    return in_range(segment, int(positions.size())) ? positions[size_t(segment)] : -1;
}

int SDR_DATA_LOG::get_segment_size() const
{
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    return outline ? outline->segment_size : 0;
}

bool SDR_DATA_LOG::is_global_temp() const
{
    return m_global_temp;
}

// Takes the log out of its trigger (removing a log cannot be undone). The object itself is
// parked by the session, so the caller's pointer stays valid and reads "no data".
void SDR_DATA_LOG::remove()
{
    SDR_DATA_TRIGGER* trigger = m_trigger;
    SDR_DATA_INSTANCE* instance = instance_of(this);
    if (trigger == nullptr || instance == nullptr || instance->m_session == nullptr)
        return;
    int index = -1;
    for (size_t i = 0; i < trigger->m_logs.size() && index < 0; ++i)
        index = trigger->m_logs[i].get() == this ? int(i) : index;
    if (index < 0)
        return;
    std::unique_ptr<SDR_DATA_LOG> owned = trigger->m_logs.take(size_t(index));
    trigger->m_log_names.removed(m_name, size_t(index), trigger->m_logs);
    const int remaining = int(trigger->m_logs.size());
    for (int& active : trigger->m_active_log)
    {
        if (active > index || (active == index && index > 0))
            --active;
        else if (active == index)
            active = remaining > 0 ? 0 : -1;
    }
    instance->note_structural_change();
    instance->m_session->mark_modified();
    instance->m_session->park(std::move(owned));
}

bool SDR_DATA_LOG::is_power_up_trigger() const
{
    return m_power_up;
}

SDR_DATA_SIGNAL_SET* SDR_DATA_LOG::get_signal_set()
{
    return m_signal_set;
}

int SDR_DATA_LOG::get_state_value() const
{
    const SDR_LOG_PAYLOAD* outline = m_payload.outline();
    return outline ? outline->state_value : -1;
}

int SDR_DATA_LOG::get_num_flags() const
{
    return m_payload ? m_payload->flag_values.size() : 0;
}

unsigned char SDR_DATA_LOG::get_flag_value(int index) const
{
    if (!m_payload || !in_range(index, m_payload->flag_values.size()))
        return 0;
    return static_cast<unsigned char>(m_payload->flag_values[index]);
}

int SDR_DATA_LOG::get_num_counters() const
{
    return m_payload ? int(m_payload->counter_values.size()) : 0;
}

unsigned SDR_DATA_LOG::get_counter_value(int index) const
{
    if (!m_payload || !in_range(index, int(m_payload->counter_values.size())))
        return 0;
    return m_payload->counter_values[size_t(index)];
}

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_LOG::create_static_plugin_mnemonics_table(int width, int id)
{
    auto found = m_static_plugin_tables.find(id);
    if (found != m_static_plugin_tables.end())
        return found->second.get();
    SDR_LOG_TALLY table;
    table.tables = 1;
    if (width < 1 || id < 0 || !has_table_room(table, SDR_LOG_TALLY()))
        return nullptr;
    const std::string name = "plugin_" + std::to_string(id);
    auto made = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name.c_str(), width);
    made->set_log(this);
    SDR_DATA_MNEMONICS_TABLE* result = made.get();
    m_static_plugin_tables.emplace(id, std::move(made));
    recount();
    return result;
}

SDR_DATA_MNEMONICS_TABLE* SDR_DATA_LOG::get_static_plugin_mnemonics_table(int index)
{
    auto found = m_static_plugin_tables.find(index);
    return found != m_static_plugin_tables.end() ? found->second.get() : nullptr;
}

// The decoder tables are what they will be: a run's expectation no longer counts.
void SDR_DATA_LOG::end_post_acq_processing()
{
    if (m_expected.tables == 0 && m_expected.table_entries == 0)
        return;
    m_expected = SDR_LOG_TALLY();
    recount();
}
