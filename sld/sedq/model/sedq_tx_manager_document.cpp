// SEDQ_TX_MANAGER: the document life cycle: create, open (version checks, stripped files,
// incremental-route warnings), adopt, save (checks, questions, project assignments), close.
#include "sedq/model/sedq_tx_manager.h"

#include "host/acf.h"
#include "host/fio.h"
#include "host/gen.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

namespace
{
constexpr int ANSWER_YES = 6;
constexpr int ANSWER_CANCEL = 2;
constexpr int ANSWER_OK = 1;
constexpr const char* LOCK_MODE_KEY = "lock mode";

std::string name_of(const char* name)
{
    return name ? name : "";
}

// The host wait cursor for the life of the scope.
class WAIT_CURSOR
{
public:
    WAIT_CURSOR() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WAIT_CURSOR() { QGuiApplication::restoreOverrideCursor(); }
    WAIT_CURSOR(const WAIT_CURSOR&) = delete;
    WAIT_CURSOR& operator=(const WAIT_CURSOR&) = delete;
};

// Whether a leaf row of the list takes data (capture 1 or 3) or trigger (capture 2 or 3).
bool list_has_capture(SDR_TX_SIGNAL_NODES* nodes, bool data)
{
    if (nodes == nullptr)
        return false;
    for (int row = 0; row < nodes->get_num_nodes(); ++row)
    {
        const SDR_DATA_NODE_DISPLAY_TYPE type = nodes->get_node_display_type(row);
        if (sedq_is_group_display(type))
            continue;
        const SDR_DATA_WIRE_CAPTURE_TYPE capture = nodes->get_node_capture_type(row);
        if (capture == SDR_WTYPE_DATA_AND_TRIGGER ||
            capture == (data ? SDR_WTYPE_DATA_ONLY : SDR_WTYPE_TRIGGER_ONLY))
            return true;
    }
    return false;
}
} // namespace

// ---- the cache of the current instance ------------------------------------------------------

void SEDQ_TX_MANAGER::close_current_session()
{
    if (m_tx_session != nullptr && m_owns_session)
    {
        Q_EMIT releasing_conditions();
        m_tx_session->close_session();
        delete m_tx_session;
    }
    m_tx_session = nullptr;
    m_active_instance = -1;
    std::vector<QString>().swap(m_instance_name_texts);
    refresh_tx_cache();
}

void SEDQ_TX_MANAGER::refresh_tx_cache()
{
    if (m_active_instance == -1)
    {
        refresh_cached_objects();
        return;
    }
    sync_upon_capture_type_change();
    refresh_cached_objects();
}

void SEDQ_TX_MANAGER::refresh_cached_objects()
{
    if (m_tx_session == nullptr || m_active_instance < 0)
    {
        m_tx_instance = nullptr;
        m_tx_signals = nullptr;
        m_tx_trigger = nullptr;
        m_tx_log = nullptr;
        return;
    }
    m_tx_instance = m_tx_session->get_instance_at(m_active_instance, false);
    m_tx_signals = m_tx_session->get_signal_set_at(m_active_instance, false);
    m_tx_trigger = m_tx_session->get_trigger_at(m_active_instance, false);
    if (m_tx_trigger != nullptr)
        m_tx_trigger->set_power_up_selector(m_tx_session->is_power_up_view(m_active_instance));
    m_tx_log = m_tx_session->get_log_at(m_active_instance, false);
}

bool SEDQ_TX_MANAGER::is_empty() const
{
    return m_tx_trigger == nullptr && m_tx_signals == nullptr;
}

void SEDQ_TX_MANAGER::set_title(const char*) {}

void SEDQ_TX_MANAGER::set_path_name(const char*, bool) {}

// ---- new, open, adopt --------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::new_document(const char* lpszPathName)
{
    close_current_session();
    m_tx_session = new SDR_TX_SESSION(new SEDQ_SESSION_OBJECT, true);
    if (!SEDQ_VERIFY(this->m_tx_session->create_session(lpszPathName)))
    {
        // Nothing was created: keep the manager empty instead of pretending a document exists.
        if (m_owns_session)
            delete m_tx_session;
        m_tx_session = nullptr;
        return false;
    }
    SEDQ_VERIFY(this->m_tx_session->get_num_instances() == 1);
    m_tx_session->set_gui_logging(false);
    sync_modified_mark();
    m_active_instance = m_tx_session->get_num_instances() > 0 ? 0 : -1;
    refresh_tx_cache();
    // The JTAG pane shows the new document's chain and programming files, none, rather than
    // those of the document before it.
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_JTAG |
                                        SEDQ_UPDATE_INSTANCES));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
    return true;
}

// The file is read and checked in a session of its own while the current document stays
// open: a file that cannot be opened or is refused leaves the document, its edits, its lock
// mode and the window as they were. Only a file that opened takes the document's place.
bool SEDQ_TX_MANAGER::open_document(const char* path, bool* renamed, std::string* new_name)
{
    if (renamed != nullptr)
        *renamed = false;
    bool update = false;
    SDR_TX_SESSION* opened = open_and_check_versions(path, renamed, new_name, &update);
    if (opened == nullptr)
        return false;
    close_current_session();
    m_tx_session = opened;
    m_owns_session = true;
    // The window's mark is the opened file's, whatever the document before it held.
    sync_modified_mark();
    if (update && sedq_show_message(MSG_SEDQ::YN::UPDATE_VERSION()) == ANSWER_YES)
        upgrade_old_version();
    build_preset_conditions();
    load_active_instance_tab();
    refresh_tx_cache();
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_JTAG |
                                        SEDQ_UPDATE_INSTANCES));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_TRIGGER_CANVAS));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
    apply_stored_lock_mode();
    if (!m_tx_session->when_open_checked([this] { report_damaged_logs(true); }))
        report_damaged_logs(false);
    check_node_validity(SEDQ_CURRENT);
    open_plugin_mnemonic_tables();
    initialize_group_conditions();
    return true;
}

// Opens the file into a new session and runs the version and stripped-file checks; the new
// session, or null (with the user told why) when the file cannot be opened or is refused. The
// current document stands aside meanwhile, so that the file it holds can be opened anew.
SDR_TX_SESSION* SEDQ_TX_MANAGER::open_and_check_versions(const char* path, bool* renamed, std::string* new_name,
                                                         bool* update)
{
    SDR_TX_SESSION* current = m_owns_session ? m_tx_session : nullptr;
    if (current != nullptr)
        current->stand_aside();
    auto session = std::make_unique<SDR_TX_SESSION>(new SEDQ_SESSION_OBJECT, true);
    bool opened = session->open_session(path);
    if (!opened)
    {
        // The repository's reason (the file, the entry, what is wrong) goes with the message:
        // without it the user cannot tell a damaged file from one that is merely too large.
        const std::string name = name_of(path);
        MSG_O* message = QFileInfo::exists(QString::fromLocal8Bit(name.c_str()))
                             ? MSG_SEDQ::O::INVALID_VTL_FILE_STRUCTURE(name)
                             : MSG_SEDQ::O::FILE_NOT_FOUND(name);
        sedq_show_message(message, session->get_last_error());
    }
    else
    {
        opened = check_versions(session.get(), renamed, new_name, update);
    }
    if (!opened)
    {
        session.reset();
        if (current != nullptr)
            current->take_back_name();
        return nullptr;
    }
    return session.release();
}

bool SEDQ_TX_MANAGER::check_versions(SDR_TX_SESSION* session, bool* renamed, std::string* new_name, bool* update)
{
    bool newer = false;
    const int count = session->get_num_instances();
    for (int i = 0; i < count && !newer; ++i)
    {
        SDR_TX_INSTANCE* instance = session->get_instance_at(i, false);
        if (instance == nullptr)
            continue;
        // Every instance is looked at: a newer instance behind an old one must still refuse
        // the file, or the upgrade would rewrite data this version does not understand.
        newer = instance->is_newer_version();
        if (!newer && !instance->is_current_version())
            *update = true;
    }
    const bool stripped = session->is_stripped_version();
    if (newer && !stripped)
    {
        sedq_show_message(MSG_SEDQ::O::NEWER_VERSION());
        return false;
    }
    if (!stripped)
        return true;
    sedq_show_message(MSG_SEDQ::O::AUTO_RENAME_STRIPPED());
    if (!session->rename_a_stripped_version())
    {
        sedq_show_message(MSG_SEDQ::O::AUTO_RENAME_STRIPPED_ERR());
        return false;
    }
    if (renamed != nullptr)
        *renamed = true;
    if (new_name != nullptr)
        *new_name = name_of(session->get_data_session()->get_name());
    if (!newer)
        return true;
    sedq_show_message(MSG_SEDQ::O::NEWER_VERSION());
    return false;
}

void SEDQ_TX_MANAGER::upgrade_old_version()
{
    const bool incremental = scan_incremental_route();
    if (incremental)
        sedq_show_message(MSG_SEDQ::O::OLD_INCREMENTAL_ROUTE_USED());
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
        if (SDR_TX_INSTANCE* instance = m_tx_session->get_instance_at(i, false))
            instance->update_to_current_version();
    if (incremental)
        m_tx_session->refresh_after_version_upgrade();
    update_modified_flag();
}

// Posts one system message per trigger that still uses incremental routing; true when the
// feature is used anywhere.
bool SEDQ_TX_MANAGER::scan_incremental_route()
{
    bool used = false;
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        SDR_TX_INSTANCE* tx_instance = m_tx_session->get_instance_at(i, false);
        SDR_DATA_INSTANCE* instance = tx_instance ? tx_instance->get_data_instance() : nullptr;
        // A power-up view shares its instance's data; looking at it again would post twice.
        if (instance == nullptr || m_tx_session->is_power_up_view(i) ||
            !instance->is_incremental_route_available())
            continue;
        SDR_DATA_SIGNAL_SET* global_set = instance->get_global_signal_set();
        SDR_DATA_TRIGGER* global_trigger = global_set ? global_set->get_global_trigger() : nullptr;
        if (!m_tx_session->is_gui_logging_enabled() && global_trigger &&
            global_trigger->is_using_incremental_route())
            used = true;
        for (int s = 0; s < instance->get_num_signal_sets(); ++s)
        {
            SDR_DATA_SIGNAL_SET* set = instance->get_signal_set_at(s);
            for (int t = 0; set && t < set->get_num_triggers(); ++t)
            {
                SDR_DATA_TRIGGER* trigger = set->get_trigger_at(t);
                if (trigger == nullptr || !trigger->is_using_incremental_route())
                    continue;
                MSG_W* message = MSG_SEDQ::W::OLD_INCREMENTAL_ROUTE_USED_SYS(
                    name_of(instance->get_name()), name_of(set->get_name()), name_of(trigger->get_name()));
                message->post();
                delete message;
                used = true;
            }
        }
    }
    return used;
}

void SEDQ_TX_MANAGER::apply_stored_lock_mode()
{
    if (m_tx_session == nullptr)
        return;
    const int stored = m_tx_session->get_global_data(LOCK_MODE_KEY);
    if (stored == -1)
        return;
    set_lock_mode(stored >= 0 && stored <= 2 ? SEDQ_LOCK_MODE(stored) : SEDQ_LOCK_MODE_ALLOW_ALL, false);
}

bool SEDQ_TX_MANAGER::open_document(SDR_TX_SESSION* session)
{
    if (!SEDQ_VERIFY(session != NULL))
        return false;
    // A session of our own would be lost once ownership is given up; a foreign one is let go.
    if (m_tx_session != nullptr && m_tx_session != session)
        close_current_session();
    m_tx_session = session;
    m_owns_session = false;
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        SDR_TX_INSTANCE* instance = m_tx_session->get_instance_at(i, false);
        if (instance == nullptr || instance->is_current_version())
            continue;
        if (sedq_show_message(MSG_SEDQ::YN::UPDATE_VERSION()) == ANSWER_YES)
        {
            for (int j = 0; j < count; ++j)
                if (SDR_TX_INSTANCE* each = m_tx_session->get_instance_at(j, false))
                    each->update_to_current_version();
            update_modified_flag();
        }
        break;
    }
    build_preset_conditions();
    load_active_instance_tab();
    refresh_tx_cache();
    initialize_group_conditions();
    return true;
}

// ---- save --------------------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::save_document(const char* path)
{
    if (m_tx_session == nullptr)
        return false;
    if (!check_save_preconditions(path) || !leave_out_unreadable_logs())
        return false;
    warn_about_advanced_triggers();
    warn_about_empty_inputs();
    std::string enable; // the project is made to use the file once the file holds the document
    if (!handle_project_assignments(path, &enable))
        return false;
    save_active_tabs();
    m_window->prepare_save();
    bool saved = m_tx_session->save_session(path);
    if (saved)
    {
        set_title(path);
        set_modified_flag(false);
        if (!enable.empty())
            write_vantrel_assignments(enable);
    }
    else
        sedq_show_message(MSG_SEDQ::O::CANNOT_SAVE(), m_tx_session->get_last_error());
    refresh_data_log_cache();
    if (!is_empty() && !is_instance_acquiring(SEDQ_CURRENT))
    {
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW |
                                            SEDQ_UPDATE_CONFIGURATION | SEDQ_UPDATE_LOG));
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_LOG));
    }
    return saved;
}

// The checks that refuse a save: node allocation, a running acquisition, a path that another
// document holds open.
bool SEDQ_TX_MANAGER::check_save_preconditions(const char* path)
{
    if (!is_empty() && !check_nodes_allocated(SEDQ_CURRENT))
        return false;
    if (is_any_instance_acquiring())
    {
        sedq_show_message(MSG_SEDQ::O::CANT_CLOSE_VTL_FILE());
        return false;
    }
    m_window->save_view_scroll_position(false);
    SDR_DATA_SESSION* open = SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(path);
    if (open != nullptr && open != m_tx_session->get_data_session())
    {
        sedq_show_message(MSG_SEDQ::O::SAVE_TO_OPEN_FILE());
        return false;
    }
    return true;
}

namespace
{
// "Instance "<name>", log "<name>": <reason>", a line of a message's list.
MSG_I* log_line(const SDR_LOG_TROUBLE& trouble)
{
    return MSG_SEDQ::detail("Instance \"" + trouble.instance + "\", log \"" + name_of(trouble.log->get_name()) +
                            "\": " + trouble.reason);
}
} // namespace

// Logs whose samples are damaged open without them: the user learns which at once, not when
// a log is first shown. The samples of a large document are checked after its window is up
// (`later`): the panes then show the damaged logs as such.
void SEDQ_TX_MANAGER::report_damaged_logs(bool later)
{
    const std::vector<SDR_LOG_TROUBLE> damaged = m_tx_session->get_damaged_logs();
    if (damaged.empty())
        return;
    if (later)
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LOG));
    MSG_O* message = MSG_SEDQ::O::DAMAGED_LOGS();
    for (const SDR_LOG_TROUBLE& trouble : damaged)
        message->add_child(log_line(trouble));
    sedq_show_message(message);
}

// Samples still in the file the document was opened from that can no longer be read from it
// (the file was changed or cut short by another program) never block a save: the user saves
// without those logs, or cancels and keeps the window as it is. False when cancelled. Nobody
// answers for a user who does not see the question (a batch run): the save fails then, and the
// logs stay.
bool SEDQ_TX_MANAGER::leave_out_unreadable_logs()
{
    const std::vector<SDR_LOG_TROUBLE> unreadable = m_tx_session->get_unsavable_logs();
    if (unreadable.empty())
        return true;
    MSG_OC* question = MSG_SEDQ::OC::SAVE_WITHOUT_UNREADABLE_LOGS();
    question->set_unattended_answer(ANSWER_CANCEL);
    for (const SDR_LOG_TROUBLE& trouble : unreadable)
        question->add_child(log_line(trouble));
    if (sedq_show_message(question) != ANSWER_OK)
        return false;
    for (const SDR_LOG_TROUBLE& trouble : unreadable)
        trouble.log->remove();
    refresh_tx_cache();
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_LOG));
    return true;
}

namespace
{
// Whether every trigger level of the trigger is advanced (true when it has none).
bool all_levels_advanced(SDR_TX_TRIGGER* trigger)
{
    for (int level = 0; trigger && level < trigger->get_num_levels(); ++level)
        if (trigger->get_level_type(level, false) != SDR_LTYPE_ADVANCED)
            return false;
    return true;
}
} // namespace

// Warns about incrementally routed trigger nodes that no advanced level uses, and otherwise
// about advanced levels whose condition cannot be turned into an equation. Saving goes on.
void SEDQ_TX_MANAGER::warn_about_advanced_triggers()
{
    const int count = m_tx_session->get_num_instances();
    bool warned = false;
    for (int i = 0; i < count; ++i)
    {
        if (m_tx_session->is_power_up_view(i) || !all_levels_advanced(m_tx_session->get_trigger_at(i, false)))
            continue;
        if (is_advanced_nodes_used(i) && !is_advanced_trigger_pattern_enabled(-1, i))
        {
            sedq_show_message(
                MSG_SEDQ::O::UNUSED_POST_FITTING_TRIGGERS(name_of(get_instance_name_at(i, nullptr))));
            warned = true;
        }
    }
    // A session whose file could not be read has no data session and nothing to check.
    SDR_DATA_SESSION* data = m_tx_session->get_data_session();
    if (warned || data == nullptr)
        return;
    SDR_DATA_MNEMONICS* mnemonics = data->get_mnemonics();
    for (int i = 0; i < count; ++i)
    {
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        if (trigger == nullptr || m_tx_session->is_power_up_view(i))
            continue;
        for (int level = 0; level < trigger->get_num_levels(); ++level)
        {
            if (trigger->get_level_type(level, false) != SDR_LTYPE_ADVANCED)
                continue;
            SDR_TX_TREE_OBJECT* root = trigger->get_advanced_trigger_root(level, false);
            if (!SEDQ_VERIFY(root != NULL))
                continue;
            std::string equation;
            if (!root->get_equation(&equation, mnemonics, trigger, level + 1, false))
                sedq_show_message(MSG_SEDQ::O::ERROR_IN_ADVANCED_TRIGGER(
                    level + 1, name_of(get_instance_name_at(i, nullptr))));
        }
    }
}

// Tells the user when the current instance has nothing to capture. Saving goes on.
void SEDQ_TX_MANAGER::warn_about_empty_inputs()
{
    if (is_empty())
    {
        sedq_show_message(MSG_SEDQ::O::ZERO_INSTANCES());
        return;
    }
    const bool data = input_has_data_nodes();
    const bool trigger = input_has_trigger_nodes();
    if (m_tx_trigger == nullptr || m_tx_signals == nullptr || (!data && !trigger))
        sedq_show_message(MSG_SEDQ::O::ZERO_INPUT("Data and Trigger"));
    else if (!data)
        sedq_show_message(MSG_SEDQ::O::ZERO_INPUT("Data"));
    else if (!trigger)
        sedq_show_message(MSG_SEDQ::O::ZERO_INPUT("Trigger"));
}

bool SEDQ_TX_MANAGER::input_has_data_nodes()
{
    return list_has_capture(m_tx_trigger, true) || list_has_capture(m_tx_signals, true);
}

bool SEDQ_TX_MANAGER::input_has_trigger_nodes()
{
    return list_has_capture(m_tx_trigger, false) || list_has_capture(m_tx_signals, false);
}

// Reads one project assignment, holding the revision's read lock when nobody holds a lock.
bool SEDQ_TX_MANAGER::acf_read_assignment(int variable_type, std::string* value)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf != NULL))
        return false;
    const bool lock = !acf->is_read_locked() && !acf->is_write_locked();
    if (lock)
        acf->read_lock();
    ACF_MGR_INPUT_PARAMETERS parameters;
    parameters.set_variable_type(ACF_VARIABLE_TYPE_ENUM(variable_type));
    const ACF_ASSIGNMENT* assignment = acf->get_assignment(parameters);
    if (assignment != nullptr)
        *value = name_of(assignment->get_value(false));
    if (lock)
        acf->read_unlock();
    return assignment != nullptr;
}

// Offers to make the project use the saved file; `enable` is given the file's path relative to
// the project when the user agrees. The save writes that once the file is written: a save that
// fails leaves the project naming the file it named. False only when the user cancels the save.
bool SEDQ_TX_MANAGER::handle_project_assignments(const char* path, std::string* enable)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (is_tessarelle_generated() || acf == nullptr || !acf->is_project_open())
        return true;
    std::string family;
    DEV_FAMILY_MANAGER* families = DEV_FAMILY_MANAGER::get_instance();
    if (!acf_read_assignment(ACF_DEVICE_FAMILY, &family) ||
        !families->exists_family_enum_by_string(family.c_str()) ||
        !families->test_trait_of(families->get_family_enum_by_string(family.c_str()),
                                 DEV_TRAIT_VANTREL_SUPPORTED))
    {
        sedq_show_message(MSG_SEDQ::O::VANTREL_NOT_SUPPORTED());
        return true;
    }
    const std::string project_dir = name_of(acf->get_project_path());
    std::string enabled;
    std::string file;
    if (acf_read_assignment(ACF_ENABLE_VANTREL, &enabled) && gen_stricmp(enabled.c_str(), "On") == 0 &&
        acf_read_assignment(ACF_VTL_FILE, &file))
    {
        const FIO_PATH assigned(!file.empty() && file[0] == '/' ? file : project_dir + file);
        if (assigned == FIO_PATH(path))
            return true;
    }
    const std::string relative = FIO_PATH(path).get_relative_to(FIO_PATH(project_dir));
    const int answer = sedq_show_message(MSG_SEDQ::YNC::ENABLE_CURRENT_VANTREL_FILE_ON_SAVE(relative));
    if (answer == ANSWER_CANCEL)
        return false;
    if (answer == ANSWER_YES)
        *enable = relative;
    return true;
}

bool SEDQ_TX_MANAGER::write_vantrel_assignments(const std::string& relative_path)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (!acf->is_project_open() || !acf->write_lock(false))
        return false;
    const auto write = [acf](ACF_VARIABLE_TYPE_ENUM type, const std::string& value)
    {
        ACF_MGR_INPUT_PARAMETERS parameters;
        parameters.set_variable_type(type);
        if (const ACF_ASSIGNMENT* existing = acf->get_assignment(parameters))
            for (int i = 0; i < ACF_MAX_ARGUMENTS; ++i)
                if (existing->does_argument_exist(i))
                    parameters.set_argument(i, existing->get_argument_value(i));
        ACF_ASSIGNMENT* assn = acf->set_assignment(parameters, value.c_str());
        SEDQ_VERIFY(assn != NULL);
    };
    write(ACF_ENABLE_VANTREL, "On");
    write(ACF_VTL_FILE, relative_path);
    write(ACF_VTL_FILE_NAME, relative_path);
    WAIT_CURSOR wait;
    return acf->write_unlock(true);
}

// Before the window asks about its modified mark, the mark is brought in line with the
// document, so that a change whose edit forgot to mark the window is still offered for saving.
bool SEDQ_TX_MANAGER::save_modified()
{
    if (is_any_instance_acquiring())
    {
        sedq_show_message(MSG_SEDQ::O::CANT_CLOSE_VTL_FILE());
        return false;
    }
    if (m_tx_session != nullptr)
        send_modified();
    return true;
}

void SEDQ_TX_MANAGER::close_document()
{
    if (m_tx_session != nullptr)
        close_current_session();
}

void SEDQ_TX_MANAGER::commit_session()
{
    if (m_tx_session == nullptr)
        return;
    m_tx_session->commit_session();
    refresh_tx_cache();
}
