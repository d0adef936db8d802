// SDR_TX_SESSION: construction, document life cycle (create, open, save, close), commit, modified.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_instance.h"
#include "host/sdr/sdr_tx_session_entry.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/sdr/sdr_verify.h"
#include "host/standin/sdr_control.h"

#include <new>

namespace
{
SDR_DATA_MANAGER* manager()
{
    return SDR_DATA_MANAGER::get_data_repository_manager();
}
} // namespace

SDR_TX_SESSION::SDR_TX_SESSION(SDR_TX_TREE_OBJECT* root, bool own_root) : m_root(root), m_own_root(own_root) {}

SDR_TX_SESSION::~SDR_TX_SESSION()
{
    // Deleting an open session without closing it is allowed; the document still leaves the
    // registry, or a later open of the same path would find a session nobody edits.
    close_session();
    m_parked_entries.clear();
    if (m_own_root)
        delete m_root;
}

bool SDR_TX_SESSION::has_room(SDR_FILE_ELEMENT element, qint64 more) const
{
    QString problem;
    return m_data == nullptr || SDR_FILE_LIMITS::has_room(*m_data, element, more, &problem) ||
           SDR_DATA_MANAGER::refuse(problem);
}

bool SDR_TX_SESSION::has_payload_room(qint64 payload) const
{
    const qint64 limit = SDR_FILE_LIMITS::payload_total();
    if (m_data == nullptr || payload <= 0 || SDR_FILE_LIMITS::payload_bytes(*m_data) <= limit - payload)
        return true;
    return SDR_DATA_MANAGER::refuse(QStringLiteral("the samples of the document would take more than the %1 bytes an "
                                                   "analyzer file may hold")
                                        .arg(limit));
}

// A log of the trigger's signal set as it is now, in place of `replaced` (null: a new log after
// the last). What the document counts is known from sums it keeps, never from a walk of its
// logs; the new log stores no wire names when it shares those of the log before it.
bool SDR_TX_SESSION::has_room_for_log(const SDR_DATA_TRIGGER* trigger, const SDR_WIRE_NAMES& wires,
                                      const SDR_DATA_LOG* replaced, const SDR_LOG_TALLY& tables) const
{
    const qint64 channels = qint64(wires.size());
    if (channels > SDR_FILE_LIMITS::MAX_WIRES_PER_LOG)
        return SDR_DATA_MANAGER::refuse(QStringLiteral("a log would name %1 wires, more than the %2 of a log of an "
                                                       "analyzer file")
                                            .arg(channels)
                                            .arg(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG));
    const SDR_DATA_SIGNAL_SET* set = trigger->m_signal_set;
    const qint64 depth = set != nullptr ? set->state().sample_depth : 0;
    const SDR_TRIGGER_STATE& t = trigger->state();
    const qint64 segments = t.segmented && t.segment_size > 0 ? depth / t.segment_size : 0;
    qint64 payload = SDR_FILE_LIMITS::payload_size(depth, channels, segments + 1, qint64(t.flags.size()),
                                                   qint64(t.counters.size()));
    const SDR_DATA_LOG* before = replaced != nullptr ? replaced->previous()
                                 : trigger->m_logs.empty() ? nullptr
                                                           : trigger->m_logs.back().get();
    const bool shares = before != nullptr && !wires.empty() && wires == before->m_wire_names;
    qint64 stored = shares ? 0 : channels;
    SDR_LOG_TALLY more = tables;
    if (replaced != nullptr) {
        const SDR_LOG_TALLY counted = replaced->tally();
        stored -= counted.wires;
        payload -= counted.payload_bytes;
        more -= counted;
    }
    return has_room(SDR_FILE_ELEMENT::LOG, replaced != nullptr ? 0 : 1) && has_room(SDR_FILE_ELEMENT::WIRE, stored) &&
           has_payload_room(payload) && has_room(SDR_FILE_ELEMENT::TABLE, more.tables) &&
           has_room(SDR_FILE_ELEMENT::TABLE_ENTRY, more.table_entries);
}

bool SDR_TX_SESSION::create_session(const char* path)
{
    if (!SDR_VERIFY(path != NULL) || !SDR_VERIFY(m_data == NULL))
        return false;
    auto session = std::make_unique<SDR_DATA_SESSION>(SDR_DATA_MANAGER::key_of(path));
    SDR_DATA_SESSION* data = session.get();
    if (!manager()->register_session(std::move(session))) {
        m_last_error = std::string("The file ") + path + " is already open.";
        return false;
    }
    data->add_default_instance();
    attach(data);
    data->clear_modified();
    return true;
}

bool SDR_TX_SESSION::open_session(const char* path)
{
    if (!SDR_VERIFY(path != NULL) || !SDR_VERIFY(m_data == NULL))
        return false;
    m_last_error.clear();
    bool opened = false;
    try {
        opened = open_file(path);
    } catch (const std::bad_alloc&) {
        // Building the editing side ran out of memory: the half-attached document is let go.
        close_session();
        m_last_error = std::string(path) + ": there is not enough memory to open it";
    }
    manager()->set_last_error(m_last_error);
    return opened;
}

bool SDR_TX_SESSION::open_file(const char* path)
{
    if (SDR_DATA_SESSION* open = manager()->get_session_opened(path)) {
        // Opened through the manager (an import), nobody edits it yet: adopt it.
        if (open->m_tx_user != nullptr) {
            m_last_error = std::string("The file ") + path + " is already open.";
            return false;
        }
        return open_session(open);
    }
    std::unique_ptr<SDR_DATA_SESSION> session = sdr_read_session_file(path, &m_last_error);
    if (!session)
        return false;
    session->m_name = SDR_DATA_MANAGER::key_of(path);
    SDR_DATA_SESSION* data = session.get();
    if (!manager()->register_session(std::move(session))) {
        m_last_error = std::string("The file ") + path + " is already open.";
        return false;
    }
    attach(data);
    standin::sdr::detail::count_open();
    return true;
}

bool SDR_TX_SESSION::open_session(SDR_DATA_SESSION* session)
{
    if (!SDR_VERIFY(session != NULL) || !SDR_VERIFY(m_data == NULL) || !SDR_VERIFY(session->m_tx_user == NULL))
        return false;
    if (!manager()->is_registered(session)) {
        // The registry deletes what it refuses; a session it would refuse stays the caller's.
        if (manager()->get_session_opened(session->m_name.c_str()) != nullptr) {
            m_last_error = "The file " + session->m_name + " is already open.";
            return false;
        }
        manager()->register_session(std::unique_ptr<SDR_DATA_SESSION>(session));
    }
    attach(session);
    return true;
}

void SDR_TX_SESSION::attach(SDR_DATA_SESSION* session)
{
    m_data = session;
    m_data->m_tx_user = this;
    m_is_tx_gen2 = m_data->m_tx_gen2;
    if (m_data->m_tree_records_pending && m_root != nullptr)
        sdr_rebuild_session_trees(*m_data, m_root);
    for (const auto& instance : m_data->m_instances)
        prepare_instance(instance.get());
    rebuild_entries();
}

// A stored document may carry lists an older writer derived differently; they are brought in
// line once here, so that the first undo step starts from the lists every edit keeps.
void SDR_TX_SESSION::prepare_instance(SDR_DATA_INSTANCE* instance)
{
    for (const auto& set : instance->m_signal_sets)
    {
        for (const auto& trigger : set->m_triggers)
            ensure_state_machine_object(trigger.get());
        SDR_TX_TRIGGER::refresh_derived_data(set->get_active_trigger());
    }
}

bool SDR_TX_SESSION::save_session(const char* path)
{
    if (!SDR_VERIFY(path != NULL))
        return false;
    m_last_error.clear();
    const bool saved = save_file(path);
    manager()->set_last_error(m_last_error);
    return saved;
}

bool SDR_TX_SESSION::save_file(const char* path)
{
    if (m_data == nullptr) {
        m_last_error = std::string(path) + ": no document is open";
        return false;
    }
    if (standin::sdr::detail::take_save_failure()) {
        m_last_error = std::string("Cannot write the file ") + path + ".";
        return false;
    }
    std::string key = SDR_DATA_MANAGER::key_of(path);
    SDR_DATA_SESSION* other = manager()->get_session_opened(path);
    if (other != nullptr && other != m_data) {
        m_last_error = std::string("The file ") + path + " is open in another session.";
        return false;
    }
    m_data->m_tx_gen2 = m_is_tx_gen2;
    if (m_root != nullptr) {
        derive_session_equations();
        sdr_collect_session_trees(*m_data);
    }
    if (!sdr_write_session_file(*m_data, path, &m_last_error))
        return false;
    manager()->rename_session(m_data, key);
    m_data->clear_modified();
    standin::sdr::detail::count_save();
    return true;
}

// The registry keeps one session per name: standing aside is a rename to a name no file has.
void SDR_TX_SESSION::stand_aside()
{
    if (m_data == nullptr || !m_name_aside.empty())
        return;
    const std::string name = m_data->m_name;
    if (manager()->rename_session(m_data, "\x01standing aside " + std::to_string(reinterpret_cast<quintptr>(this))))
        m_name_aside = name;
}

void SDR_TX_SESSION::take_back_name()
{
    if (m_data != nullptr && !m_name_aside.empty())
        manager()->rename_session(m_data, m_name_aside);
    m_name_aside.clear();
}

namespace
{
// Every log of the document with its instance, in document order.
template <class VISIT> void for_each_log(SDR_DATA_SESSION* data, VISIT visit)
{
    if (data == nullptr)
        return;
    for (const auto& instance : data->m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                for (const auto& log : trigger->m_logs)
                    visit(instance.get(), log.get());
}
} // namespace

std::vector<SDR_LOG_TROUBLE> SDR_TX_SESSION::get_damaged_logs()
{
    std::vector<SDR_LOG_TROUBLE> damaged;
    for_each_log(m_data, [&damaged](SDR_DATA_INSTANCE* instance, SDR_DATA_LOG* log) {
        if (log->m_payload.is_damaged())
            damaged.push_back(SDR_LOG_TROUBLE{log, instance->m_state.name, log->m_payload.problem().toStdString()});
    });
    return damaged;
}

bool SDR_TX_SESSION::when_open_checked(std::function<void()> call)
{
    if (m_data == nullptr || !m_data->m_open_check || m_data->m_open_check->done())
        return false;
    m_data->m_open_check->when_done(std::move(call));
    return true;
}

std::vector<SDR_LOG_TROUBLE> SDR_TX_SESSION::get_unsavable_logs()
{
    std::vector<SDR_LOG_TROUBLE> unsavable;
    for_each_log(m_data, [&unsavable](SDR_DATA_INSTANCE* instance, SDR_DATA_LOG* log) {
        QString problem;
        if (log->m_payload.is_damaged()) {
            const SDR_STORED_ENTRY* stored = nullptr;
            if (log->m_payload.stored_entry(&stored, &problem))
                return;
        } else if (log->m_payload || log->m_payload.problem().isEmpty()) {
            return;
        } else {
            problem = log->m_payload.problem();
        }
        unsavable.push_back(SDR_LOG_TROUBLE{log, instance->m_state.name, problem.toStdString()});
    });
    return unsavable;
}

void SDR_TX_SESSION::close_session()
{
    m_name_aside.clear();
    if (m_data == nullptr)
        return;
    int open_brackets = 0;
    for (const auto& instance : m_data->m_instances)
        open_brackets += instance->history().depth();
    if (open_brackets > 0)
        standin::sdr::detail::count_unbalanced_at_close(open_brackets);
    detach_all_entries();
    if (m_data->m_open_check)
        m_data->m_open_check->forget();
    m_data->m_tx_user = nullptr;
    manager()->release_session(m_data);
    m_data = nullptr;
}

void SDR_TX_SESSION::detach_all_entries()
{
    for (auto& entry : m_entries) {
        entry->detach();
        m_parked_entries.push_back(std::move(entry));
    }
    m_entries.clear();
}

bool SDR_TX_SESSION::is_modified() const
{
    return m_data != nullptr && m_data->is_modified();
}

void SDR_TX_SESSION::set_undoable_modified_flag()
{
    if (m_data != nullptr)
        m_data->m_undoable_modified = true;
}

bool SDR_TX_SESSION::is_stripped_version() const
{
    return m_data != nullptr && m_data->m_stripped;
}

bool SDR_TX_SESSION::rename_a_stripped_version()
{
    if (m_data == nullptr || !m_data->m_stripped || m_data->m_original_name.empty())
        return false;
    if (standin::sdr::detail::rename_stripped_fails())
        return false;
    if (!manager()->rename_session(m_data, m_data->m_original_name))
        return false;
    m_data->m_stripped = false;
    m_data->m_modified = true;
    return true;
}

void SDR_TX_SESSION::refresh_after_version_upgrade()
{
    if (m_data == nullptr)
        return;
    m_data->m_incremental_route_used = false;
    for (const auto& instance : m_data->m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                trigger->m_using_incremental_route = false;
}

SDR_DATA_SESSION* SDR_TX_SESSION::get_data_session()
{
    return m_data;
}

void SDR_TX_SESSION::set_gui_logging(bool on)
{
    if (m_data != nullptr)
        m_data->m_gui_logging = on;
}

bool SDR_TX_SESSION::is_gui_logging_enabled() const
{
    return m_data != nullptr && m_data->m_gui_logging;
}
