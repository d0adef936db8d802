// Reading document.xml: root, session data, mnemonic tables, instances and signal sets.
#include "host/sdr/sdr_file_document_reader.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_document_writer.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <algorithm>
#include <climits>

namespace
{
const QString DOCUMENT_ENTRY = QStringLiteral("document.xml");
// Indices of plug-in records stay far from the overflow of the process-wide counter.
const int MAX_STATIC_TABLE_INDEX = 1 << 24;
} // namespace

SDR_FILE_DOCUMENT_READER::SDR_FILE_DOCUMENT_READER(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive,
                                                   SDR_FILE_ERROR* error)
    : m_shared_archive(std::move(archive)), m_archive(*m_shared_archive), m_error(error)
{
    m_error->set_file(m_archive.path());
}

SDR_FILE_DOCUMENT_READER::~SDR_FILE_DOCUMENT_READER() = default;

bool SDR_FILE_DOCUMENT_READER::fail_entry(const QString& entry, const QString& problem)
{
    m_error->set(entry, problem);
    if (m_in)
        m_in->fail(QStringLiteral("see %1").arg(entry));
    return false;
}

bool SDR_FILE_DOCUMENT_READER::count(SDR_FILE_ELEMENT element, qint64 number)
{
    QString problem;
    if (m_budget.take(element, number, &problem))
        return true;
    m_in->fail(problem);
    return false;
}

// Every entry is read at most once: a second reference would load the same data again, so a
// small file naming one large entry many times could claim memory without bound.
bool SDR_FILE_DOCUMENT_READER::claim_entry(const QString& entry, const char* element)
{
    if (entry.isEmpty()) {
        m_in->fail(QStringLiteral("<%1> names no entry").arg(QLatin1String(element)));
        return false;
    }
    if (m_claimed_entries.contains(entry)) {
        m_in->fail(QStringLiteral("entry \"%1\" is named a second time").arg(entry.left(200)));
        return false;
    }
    m_claimed_entries.insert(entry);
    return true;
}

std::unique_ptr<SDR_DATA_SESSION> SDR_FILE_DOCUMENT_READER::read(const std::string& name)
{
    m_session = std::make_unique<SDR_DATA_SESSION>(name);
    m_sums = std::make_shared<SDR_FILE_ENTRY_SUMS>(m_shared_archive, DOCUMENT_ENTRY, SDR_FILE_LIMITS::payload_total());
    const bool read = read_document() && read_pending_entries();
    if (const SDR_FILE_STORED_INDEX* index = m_archive.stored_index())
        index->release_heads();
    if (!read)
        return nullptr;
    continue_counters();
    // The checksums of the samples left in the file are taken from now on, beside the window.
    if (m_session->m_open_check == m_sums)
        m_sums->start();
    if (m_format_version > SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION)
        for (const auto& instance : m_session->m_instances)
            instance->m_newer = true;
    m_session->m_mnemonics_saved_count = m_session->m_mnemonics.get_change_count();
    return std::move(m_session);
}

// document.xml alone, streamed from the archive into the parser a piece at a time; the parser
// is let go before the payloads are read. Its checksum is checked once its last byte is read.
bool SDR_FILE_DOCUMENT_READER::read_document()
{
    m_claimed_entries.insert(DOCUMENT_ENTRY);
    auto entry = std::make_shared<SDR_FILE_ENTRY_READER>(m_archive, DOCUMENT_ENTRY);
    if (!entry->open(m_error))
        return false;
    if (entry->size() > SDR_FILE_LIMITS::MAX_DOCUMENT_SIZE)
        return fail_entry(DOCUMENT_ENTRY, QStringLiteral("the entry is too large (%1 bytes)").arg(entry->size()));
    const auto source = [entry](char* buffer, qint64 capacity, SDR_FILE_ERROR* error) -> qint64 {
        if (entry->remaining() == 0)
            return entry->finish(error) ? 0 : -1;
        const qint64 n = std::min(capacity, entry->remaining());
        return entry->read_exact(buffer, n, error) ? n : -1;
    };
    m_in = std::make_unique<SDR_FILE_XML_INPUT>(source, DOCUMENT_ENTRY, m_error, entry->size());
    m_in->set_budget(&m_budget);
    if (!read_root())
        return false;
    while (m_in->next_child()) {
        if (m_in->is("session"))
            read_session();
        else
            m_in->skip();
    }
    if (!m_in->end_of_document())
        return false;
    m_in.reset();
    finish_mnemonics();
    return true;
}

bool SDR_FILE_DOCUMENT_READER::read_root()
{
    if (!m_in->root())
        return m_in->finish() && fail_entry(DOCUMENT_ENTRY, QStringLiteral("the document is empty"));
    if (!m_in->is("vantrel")) {
        m_in->fail(QStringLiteral("not an analyzer document"));
        return m_in->finish();
    }
    if (m_in->text("format", "vtl") != "vtl")
        m_in->fail(QStringLiteral("unknown format \"%1\"").arg(QString::fromStdString(m_in->text("format"))));
    m_format_version = m_in->integer("version", 1, 1, INT_MAX);
    return m_in->finish();
}

void SDR_FILE_DOCUMENT_READER::read_session()
{
    SDR_DATA_SESSION& s = *m_session;
    s.m_file_version = m_format_version;
    s.m_stripped = m_in->boolean("stripped", false);
    s.m_original_name = m_in->text("original_name");
    s.m_gui_logging = m_in->boolean("logging", false);
    s.m_tx_gen2 = (unsigned char)m_in->integer("tx_gen2", 0, 0, 255);
    s.m_incremental_route_used = m_in->boolean("incremental_route_used", false);
    s.m_jtag_chain_name = m_in->text("jtag_chain");
    s.m_jtag_device_name = m_in->text("jtag_device");
    s.m_sof_file_name = m_in->text("sof_file");
    while (m_in->next_child()) {
        if (m_in->is("global_data"))
            read_int_data(&s.m_global_data);
        else if (m_in->is("embedded_files"))
            read_embedded_files();
        else if (m_in->is("mnemonics"))
            read_mnemonics();
        else if (m_in->is("instance"))
            read_instance();
        else
            m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_int_data(SDR_INT_DATA_MAP* data)
{
    while (m_in->next_child()) {
        if (m_in->is("data") && count(SDR_FILE_ELEMENT::INT_LIST)) {
            const std::string key = m_in->text("key");
            (*data)[key] = m_in->integers("values");
        }
        m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_embedded_files()
{
    while (m_in->next_child()) {
        if (!m_in->is("file")) {
            m_in->skip();
            continue;
        }
        if (!count(SDR_FILE_ELEMENT::EMBEDDED_FILE))
            return;
        SDR_EMBEDDED_FILE file;
        file.name = m_in->text("name");
        file.has_inst_id_crc_info = m_in->has("inst_id_crc_info");
        file.inst_id_crc_info = m_in->text("inst_id_crc_info");
        PENDING_ENTRY pending;
        pending.entry = QString::fromStdString(m_in->text("entry"));
        pending.embedded_file = m_session->m_embedded_files.size();
        pending.declared_size = m_in->integer("size", -1, -1, INT_MAX);
        m_in->skip();
        if (m_in->failed() || !claim_entry(pending.entry, "file"))
            return;
        m_session->m_embedded_files.push_back(file);
        m_pending.push_back(pending);
    }
}

// Tables are built apart and handed to the session in one go at the end: names are checked
// through a hash, where creating them one by one would search the list for every new name.
void SDR_FILE_DOCUMENT_READER::read_mnemonics()
{
    while (m_in->next_child()) {
        if (!m_in->is("table")) {
            m_in->skip();
            continue;
        }
        const std::string name = m_in->text("name");
        // The writer always writes the width, so a table without one is no file of ours. Width 0
        // is a table still waiting for its width, and holds no entry (see read_table_entries).
        if (!m_in->has("width"))
            m_in->fail(QStringLiteral("mnemonic table \"%1\" has no width").arg(QString::fromStdString(name).left(40)));
        const int width = m_in->integer("width", 0, 0, 4096);
        if (m_in->failed() || !count(SDR_FILE_ELEMENT::TABLE))
            return;
        const QByteArray key = QByteArray::fromStdString(name);
        if (name.empty() || m_table_names.contains(key)) {
            m_in->fail(QStringLiteral("mnemonic table \"%1\" is unnamed or named twice").arg(QString::fromStdString(name)));
            return;
        }
        m_table_names.insert(key);
        SDR_DATA_MNEMONICS_TABLE table(name.c_str(), width);
        if (!read_table_entries(&table))
            return;
        m_tables.append(table.get_content());
    }
}

void SDR_FILE_DOCUMENT_READER::finish_mnemonics()
{
    if (!m_tables.isEmpty())
        m_session->m_mnemonics.append_tables(m_tables);
    m_tables.clear();
}

bool SDR_FILE_DOCUMENT_READER::read_table_entries(SDR_DATA_MNEMONICS_TABLE* table)
{
    while (m_in->next_child()) {
        if (m_in->is("entry") && count(SDR_FILE_ELEMENT::TABLE_ENTRY)) {
            const std::string symbol = m_in->text("symbol");
            const std::string pattern = m_in->text("pattern");
            if (!m_in->failed() && table->get_width() == 0)
                m_in->fail(QStringLiteral("mnemonic table \"%1\" of width 0 has an entry")
                               .arg(QString::fromLocal8Bit(table->get_name()).left(40)));
            else if (!m_in->failed() && !table->add_entry(symbol.c_str(), pattern.c_str()))
                m_in->fail(QStringLiteral("pattern \"%1\" does not have the table's width %2")
                               .arg(QString::fromStdString(pattern).left(40)).arg(table->get_width()));
        }
        m_in->skip();
    }
    return !m_in->failed();
}

void SDR_FILE_DOCUMENT_READER::read_instance()
{
    const std::string name = m_in->text("name");
    if (!count(SDR_FILE_ELEMENT::INSTANCE))
        return;
    if (!add_instance_name(name)) {
        m_in->fail(QStringLiteral("instance \"%1\" appears twice").arg(QString::fromStdString(name)));
        return;
    }
    auto owned = std::make_unique<SDR_DATA_INSTANCE>(m_session.get(), name);
    SDR_DATA_INSTANCE* instance = owned.get();
    m_session->m_instances.push_back(std::move(owned));
    m_instance = instance;
    m_plugin_ids.clear();
    m_log_signal_sets.clear();
    read_instance_attributes(instance);
    const int active_signal_set = m_in->integer("active_signal_set", 0, 0, INT_MAX);
    while (m_in->next_child()) {
        if (m_in->is("position_data")) {
            const bool power_up = m_in->text("entry") == "power_up";
            read_int_data(&instance->m_position_data[power_up ? 1 : 0]);
        } else if (m_in->is("plugin_groups")) {
            while (m_in->next_child())
                m_in->is("plugin_group") ? read_plugin_group(instance) : m_in->skip();
        } else if (m_in->is("signal_set")) {
            read_signal_set(instance);
        } else {
            m_in->skip();
        }
    }
    finish_instance(instance, active_signal_set);
}

// Before the instance of that name is added to the session: the table refers to it by the
// number it is about to take.
bool SDR_FILE_DOCUMENT_READER::add_instance_name(const std::string& name)
{
    if (2 * (m_instance_names + 1) > m_instance_slots.size()) {
        std::vector<std::pair<size_t, size_t>> grown(std::max<size_t>(64, 2 * m_instance_slots.size()));
        for (const auto& slot : m_instance_slots)
            if (slot.second != 0)
                for (size_t i = slot.first & (grown.size() - 1);; i = (i + 1) & (grown.size() - 1))
                    if (grown[i].second == 0) {
                        grown[i] = slot;
                        break;
                    }
        m_instance_slots.swap(grown);
    }
    const size_t hash = std::hash<std::string>()(name);
    const size_t mask = m_instance_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        std::pair<size_t, size_t>& slot = m_instance_slots[i];
        if (slot.second == 0) {
            slot = {hash, m_session->m_instances.size() + 1};
            ++m_instance_names;
            return true;
        }
        if (slot.first == hash && m_session->m_instances[slot.second - 1]->m_state.name == name)
            return false;
    }
}

void SDR_FILE_DOCUMENT_READER::read_instance_attributes(SDR_DATA_INSTANCE* instance)
{
    instance->m_state.enabled = m_in->boolean("enabled", true);
    instance->m_state.powerup_enabled = m_in->boolean("powerup", false);
    instance->m_expanded = m_in->boolean("expanded", false);
    instance->m_version_not_defined = !m_in->has("version");
    instance->m_version = m_in->integer("version", SDR_CURRENT_INSTANCE_VERSION, 0, INT_MAX);
    instance->m_newer = m_in->boolean("newer", false) || instance->m_version > SDR_CURRENT_INSTANCE_VERSION;
    instance->m_older = m_in->boolean("older", false) ||
                        (!instance->m_version_not_defined && instance->m_version < SDR_CURRENT_INSTANCE_VERSION);
    instance->m_incremental_route_available = m_in->boolean("incremental_route", false);
    int info[5] = {0x6E, 0, 1, SDR_CURRENT_INSTANCE_VERSION, 0};
    m_in->integers_into("node_info", info, 5, INT_MIN, INT_MAX);
    if (info[0] < 0 || info[0] > 255 || info[2] < 0 || info[2] > 255)
        m_in->fail(QStringLiteral("node info fields 1 and 3 must be bytes"));
    instance->m_node_info.m_field1 = (unsigned char)info[0];
    instance->m_node_info.m_field2 = info[1];
    m_highest_ordinal = std::max<qint64>(m_highest_ordinal, info[1]);
    instance->m_node_info.m_field3 = (unsigned char)info[2];
    instance->m_node_info.m_version = info[3];
    instance->m_node_info.m_generator = info[4];
}

void SDR_FILE_DOCUMENT_READER::read_plugin_group(SDR_DATA_INSTANCE* instance)
{
    const int id = m_in->integer("id", -1, 0, INT_MAX);
    const int index = m_in->integer("static_index", -1, -1, MAX_STATIC_TABLE_INDEX);
    if (m_in->failed())
        return;
    if (id < 0 || m_plugin_ids.count(id)) {
        m_in->fail(QStringLiteral("plug-in record without a unique id"));
        return;
    }
    if (!count(SDR_FILE_ELEMENT::PLUGIN_GROUP))
        return;
    instance->m_plugin_groups.push_back(std::make_unique<SDR_PLUGIN_GROUP>(index));
    SDR_PLUGIN_GROUP* group = instance->m_plugin_groups.back().get();
    m_plugin_ids[id] = group;
    group->set_plugin_name(m_in->text("plugin").c_str());
    group->set_table_name(m_in->text("table").c_str());
    group->set_width(m_in->integer("width", 0, 0, INT_MAX));
    while (m_in->next_child()) {
        if (!count(SDR_FILE_ELEMENT::PLUGIN_OPTION))
            return;
        if (m_in->is("user_option"))
            group->add_user_option(m_in->text("name").c_str(), m_in->text("value").c_str(),
                                   m_in->integer("type", 0, INT_MIN, INT_MAX), m_in->text("description").c_str());
        else if (m_in->is("internal_option"))
            group->add_internal_option(m_in->text("name").c_str(), m_in->text("value").c_str());
        else if (m_in->is("trigger_symbol"))
            group->set_trigger_symbol(m_in->integer("level", 0, INT_MIN, INT_MAX), m_in->text("symbol").c_str());
        m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_signal_set(SDR_DATA_INSTANCE* instance)
{
    if (!count(SDR_FILE_ELEMENT::SIGNAL_SET))
        return;
    auto owned = std::make_unique<SDR_DATA_SIGNAL_SET>(instance, m_in->text("name"));
    SDR_DATA_SIGNAL_SET* signal_set = owned.get();
    instance->m_signal_sets.push_back(std::move(owned));
    signal_set->m_expanded = m_in->boolean("expanded", false);
    read_signal_set_attributes(signal_set->m_state.data());
    const int active_trigger = m_in->integer("active_trigger", 0, 0, INT_MAX);
    while (m_in->next_child()) {
        if (m_in->is("data_list"))
            read_rows(&signal_set->m_state->data_list);
        else if (m_in->is("trigger"))
            read_trigger(signal_set);
        else
            m_in->skip();
    }
    if (m_in->failed())
        return;
    // A default trigger is finished as one read from the file, so that it saves and reads back
    // the same.
    if (signal_set->m_triggers.empty()) {
        signal_set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(signal_set, "trigger_0"));
        finish_trigger(signal_set->m_triggers.back().get(), -1, -1);
    }
    if (active_trigger >= int(signal_set->m_triggers.size()))
        m_in->fail(QStringLiteral("active trigger %1 does not exist").arg(active_trigger));
    signal_set->m_active_trigger = active_trigger;
    size_t levels = 1;
    for (const auto& trigger : signal_set->m_triggers)
        levels = std::max(levels, trigger->state().levels.size());
    fit_rows_to_levels(&signal_set->m_state->data_list, int(levels));
    derive_tree(&signal_set->m_state->data_list);
}

void SDR_FILE_DOCUMENT_READER::read_signal_set_attributes(SDR_SIGNAL_SET_STATE* s)
{
    s->clock_name = m_in->text("clock");
    s->clock_post_fitting = m_in->boolean("clock_post_fitting", false);
    s->sample_depth = m_in->integer("sample_depth", SDR_DEFAULT_SAMPLE_DEPTH, 0, INT_MAX);
    s->ram_type = SDR_HALCYTE_RAM_TYPE(m_in->integer("ram_type", SDR_RAM_AUTO, SDR_RAM_AUTO, SDR_RAM_LARGE));
    s->pipeline_level = m_in->integer("pipeline", 0, INT_MIN, INT_MAX);
    m_in->integers_into("allocated", s->allocated, 3, INT_MIN, INT_MAX);
    m_in->integers_into("tessarelle_allocated", s->tessarelle_allocated, 2, INT_MIN, INT_MAX);
    s->has_top_entity_name = m_in->has("top_entity");
    s->top_entity_name = m_in->text("top_entity");
    s->assignment_350_value = m_in->text("assignment_350");
    s->wizard_trigger_in_enabled = m_in->boolean("wizard_trigger_in", false);
    s->wizard_trigger_out_enabled = m_in->boolean("wizard_trigger_out", false);
}

// A file without signal sets still gives a usable instance; indices that point at nothing
// are refused rather than clamped, since they mean the file is damaged.
void SDR_FILE_DOCUMENT_READER::finish_instance(SDR_DATA_INSTANCE* instance, int active_signal_set)
{
    if (m_in->failed())
        return;
    if (instance->m_signal_sets.empty()) {
        auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance, "signal_set_0");
        set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0"));
        finish_trigger(set->m_triggers.back().get(), -1, -1);
        instance->m_signal_sets.push_back(std::move(set));
    }
    if (active_signal_set >= int(instance->m_signal_sets.size()))
        m_in->fail(QStringLiteral("active signal set %1 does not exist").arg(active_signal_set));
    instance->m_active_signal_set = active_signal_set;
    for (const auto& item : m_log_signal_sets) {
        if (item.second >= int(instance->m_signal_sets.size())) {
            m_in->fail(QStringLiteral("a log names signal set %1, which does not exist").arg(item.second));
            return;
        }
        item.first->m_signal_set = item.second < 0 ? nullptr : instance->m_signal_sets[size_t(item.second)].get();
    }
}

// The session's counters are not stored: they continue after the highest link id and instance
// ordinal read, or rows and instances made after opening would share them with stored ones (a
// shared link id ties unrelated rows of the trigger and data lists together).
void SDR_FILE_DOCUMENT_READER::continue_counters()
{
    m_session->m_next_link_id = m_highest_link_id + 1;
    m_session->m_next_instance_ordinal = int(std::min<qint64>(m_highest_ordinal + 1, INT_MAX));
}
