// SEDQ_TX_MANAGER: construction, user settings, notification, edit brackets, undo and redo,
// the host action table, the lock mode and the UI state kept inside the document.
#include "sedq/model/sedq_tx_manager.h"

#include "host/cfgq.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/unbq.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_refusal.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QMenu>
#include <QThread>

#include <algorithm>

bool SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons = true;
bool SEDQ_TX_MANAGER::m_cfg_link_groups = true;
bool SEDQ_TX_MANAGER::m_cfg_link_properties = true;
bool SEDQ_TX_MANAGER::m_cfg_link_order = true;
bool SEDQ_TX_MANAGER::m_cfg_link_mnemonics = true;
bool SEDQ_TX_MANAGER::m_cfg_auto_recompile = false;
bool SEDQ_TX_MANAGER::m_cfg_show_horz_grid = true;
int SEDQ_TX_MANAGER::m_cfg_inter_line_spacing = 0;
bool SEDQ_TX_MANAGER::m_cfg_show_leading_zeroes = true;
bool SEDQ_TX_MANAGER::m_cfg_show_vert_grid = false;
bool SEDQ_TX_MANAGER::m_cfg_show_time_bars = true;
int SEDQ_TX_MANAGER::s_sedq_plugin_reference_count = 0;

namespace
{
// Host action ids the model uses.

// The host's pane toggles: checked, and listed in the window's View menu.
bool is_pane_toggle(AFCQ_ACTION_ENUM id)
{
    return id == 698 || id == 700 || id == 701 || id == 702 || id == 705;
}

// The user-registry key that holds the analyzer's settings.
constexpr int SEDQ_REGISTRY_KEY = 32;

constexpr const char* ACTIVE_INSTANCE_KEY = "active instance";
constexpr const char* LOCK_MODE_KEY = "lock mode";
} // namespace

SEDQ_TX_MANAGER::SEDQ_TX_MANAGER(SEDQ_WINDOW_IF* window)
    : QObject(nullptr), m_window(window != nullptr ? window : &m_no_window)
{
    cfg_initialize_user_registry_settings();
    if (m_window->is_standalone_window())
        m_lock_mode = SEDQ_LOCK_MODE_ALLOW_TRIGGER;
    m_acq_states = new unsigned int[SEDQ_MAX_ACQ_STATES];
    std::fill(m_acq_states, m_acq_states + SEDQ_MAX_ACQ_STATES, unsigned(SEDQ_ACQ_STATE_NOT_RUNNING));
    if (++s_sedq_plugin_reference_count == 1)
        discover_plugins();
    if (!is_wizard_mode())
        connect_host_actions();
    if (!is_wizard_mode())
        create_node_finder();
}

SEDQ_TX_MANAGER::~SEDQ_TX_MANAGER()
{
    if (m_owns_session && m_tx_session != nullptr)
    {
        delete m_tx_session;
        m_tx_session = nullptr;
    }
    delete[] m_acq_states;
    m_acq_states = nullptr;
    if (--s_sedq_plugin_reference_count == 0)
        unload_plugins();
}

std::string SEDQ_TX_MANAGER::get_help_prefix() const
{
    return "SED";
}

void SEDQ_TX_MANAGER::connect_host_actions()
{
    connect(get_action(AFCQ_SEDQ_LOGGING_ACTION, QVariant()), &QAction::toggled, this, &SEDQ_TX_MANAGER::set_logging);
    connect(get_action(AFCQ_SEDQ_SAVE_TO_LOG_ACTION, QVariant()), &QAction::triggered, this,
            &SEDQ_TX_MANAGER::save_to_log);
}

void SEDQ_TX_MANAGER::create_node_finder()
{
    m_node_finder = new UNBQ_DIALOG(m_window->dialog_parent(), 1);
    connect(m_node_finder, &UNBQ_DIALOG::on_selected_list, this, &SEDQ_TX_MANAGER::on_node_insert_to_view);
}

// ---- user settings ---------------------------------------------------------------------------

void SEDQ_TX_MANAGER::cfg_initialize_user_registry_settings()
{
    struct BOOL_KEY
    {
        const char* name;
        bool* target;
    };
    struct INT_KEY
    {
        const char* name;
        int* target;
    };
    CFGQ_REGISTRY_KEY key(SEDQ_REGISTRY_KEY);
    QVariant value;
    const auto read_bool = [&](const BOOL_KEY& k) {
        if (key.get_value(k.name, &value))
            *k.target = value.toBool();
    };
    const auto read_int = [&](const INT_KEY& k) {
        if (key.get_value(k.name, &value))
            *k.target = value.toInt();
    };
    read_bool({CFGQ_SEDQ_SHOW_DUPLICATE_BUTTONS_STR, &m_cfg_show_duplicate_buttons});
    read_bool({CFGQ_SEDQ_LINK_GROUPS_STR, &m_cfg_link_groups});
    read_bool({CFGQ_SEDQ_LINK_PROPERTIES_STR, &m_cfg_link_properties});
    read_bool({CFGQ_SEDQ_LINK_ORDER_STR, &m_cfg_link_order});
    read_bool({CFGQ_SEDQ_LINK_MNEMONICS_STR, &m_cfg_link_mnemonics});
    if (!m_cfg_link_groups)
        m_cfg_link_properties = m_cfg_link_order = m_cfg_link_mnemonics = false;
    read_bool({CFGQ_SEDQ_AUTO_RECOMPILE_STR, &m_cfg_auto_recompile});
    read_bool({CFGQ_SEDQ_SHOW_HORZ_GRID_STR, &m_cfg_show_horz_grid});
    read_int({CFGQ_SEDQ_INTER_LINE_SPACING_STR, &m_cfg_inter_line_spacing});
    read_bool({CFGQ_SEDQ_ALIGN_LEFT_STR, &m_align_left});
    read_bool({CFGQ_SEDQ_SHOW_LEADING_ZEROES_STR, &m_cfg_show_leading_zeroes});
    read_bool({CFGQ_SEDQ_SHOW_VERT_GRID_STR, &m_cfg_show_vert_grid});
    read_bool({CFGQ_SEDQ_SHOW_TIME_BARS_STR, &m_cfg_show_time_bars});
    read_int({CFGQ_SEDQ_FIT_DATA_STR, &m_print_fit_data});
    read_int({CFGQ_SEDQ_ROWPP_STR, &m_print_rows_per_page});
    read_int({CFGQ_SEDQ_COLUMNPP_STR, &m_print_columns_per_page});
    read_int({CFGQ_SEDQ_PAGES_WIDE_STR, &m_print_pages_wide});
    read_int({CFGQ_SEDQ_PAGES_TALL_STR, &m_print_pages_tall});
    read_int({CFGQ_SEDQ_NAME_WIDTH_STR, &m_print_name_width});
    read_bool({CFGQ_SEDQ_SHOW_TYPE_STR, &m_show_type});
    read_bool({CFGQ_SEDQ_SHOW_ALIAS_STR, &m_show_alias});
    read_bool({CFGQ_SEDQ_DISPLAY_MODE_STR, &m_state_display_mode});
}

// ---- notification and the modified mark ------------------------------------------------------

void SEDQ_TX_MANAGER::update_all_views(QObject* sender, int hint)
{
    if (!signalsBlocked())
    {
        ++m_update_count;
        post_update({sender, hint, m_update_count});
    }
    emit updated(sender, hint);
}

void SEDQ_TX_MANAGER::post_update(const PENDING_UPDATE& update)
{
    // The queue belongs to the model's thread: an update from another thread is posted from there.
    if (QThread::currentThread() != thread())
    {
        QMetaObject::invokeMethod(this, [this, update]() { post_update(update); }, Qt::QueuedConnection);
        return;
    }
    m_pending_updates.push_back(update);
    if (!m_delivery_posted)
    {
        m_delivery_posted = true;
        QMetaObject::invokeMethod(this, &SEDQ_TX_MANAGER::deliver_updates, Qt::QueuedConnection);
    }
}

// A pane may send updates while it receives one, or open a dialog whose event loop delivers
// the next posted event: the queue is taken from its front one update at a time, so every
// update still reaches the panes after those sent before it.
void SEDQ_TX_MANAGER::deliver_updates()
{
    m_delivery_posted = false;
    while (!m_pending_updates.empty())
    {
        const PENDING_UPDATE update = m_pending_updates.front();
        m_pending_updates.pop_front();
        const quint64 outer = m_delivering_update;
        m_delivering_update = update.number;
        emit updated_later(update.sender, update.hint);
        m_delivering_update = outer;
    }
}

void SEDQ_TX_MANAGER::set_modified_flag(bool modified)
{
    if (is_wizard_mode() || modified == m_modified)
        return;
    m_modified = modified;
    m_window->show_modified(modified);
}

// Inside an edit the scope sends the notification once; a write outside any edit is an edit of
// its own.
void SEDQ_TX_MANAGER::update_modified_flag()
{
    if (SEDQ_EDIT_SCOPE* edit = SEDQ_EDIT_SCOPE::outermost_on(this))
        edit->note_modified();
    else
        send_modified();
}

void SEDQ_TX_MANAGER::send_modified()
{
    set_modified_flag(m_tx_session == nullptr || m_tx_session->is_modified());
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_MODIFIED | SEDQ_UPDATE_JTAG));
}

void SEDQ_TX_MANAGER::sync_modified_mark()
{
    if (m_tx_session != nullptr)
        set_modified_flag(m_tx_session->is_modified());
}

// ---- edit brackets ---------------------------------------------------------------------------

void SEDQ_TX_MANAGER::end_action(SEDQ_CHECK_COMPILATION_STATUS status, int instance)
{
    if (SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance))
        tx_instance->end_action();
    // A change the file could not hold was refused inside the edit: the user learns why here.
    sedq_report_refusal();
    if (status == SEDQ_CHECK_COMPILATION ||
        (status == SEDQ_CHECK_COMPILATION_IF_POWERUP && is_powerup_trigger(instance)))
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
    if (!is_wizard_mode())
    {
        on_update_edit_undo();
        on_update_edit_redo();
    }
}

// ---- undo and redo ---------------------------------------------------------------------------

void SEDQ_TX_MANAGER::on_edit_undo()
{
    step_undo_history(true);
}

void SEDQ_TX_MANAGER::on_edit_redo()
{
    step_undo_history(false);
}

void SEDQ_TX_MANAGER::step_undo_history(bool undo)
{
    if (m_tx_session == nullptr || m_active_instance < 0 || m_tx_instance == nullptr)
        return;
    // Nothing to step over is no edit: no refresh, no modified mark (a new document would
    // otherwise show as modified). Only the actions are brought in line with the history.
    if (!(undo ? m_tx_instance->is_undo_available() : m_tx_instance->is_redo_available()))
    {
        on_update_edit_undo();
        on_update_edit_redo();
        return;
    }
    if (undo)
        m_tx_instance->undo();
    else
        m_tx_instance->redo();
    clamp_active_instance();
    // Undoing an added instance removes entries: the cached objects may be gone, so they are
    // taken again before anything reads them.
    refresh_cached_objects();
    if (m_tx_trigger != nullptr)
        m_tx_trigger->refresh_derived_data();
    on_update_edit_undo();
    on_update_edit_redo();
    update_modified_flag();
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW |
                                        SEDQ_UPDATE_HIERARCHY | SEDQ_UPDATE_CONFIGURATION));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_INSTANCES));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES));
}

void SEDQ_TX_MANAGER::clamp_active_instance()
{
    const int count = m_tx_session->get_num_instances();
    if (m_active_instance >= count)
        m_active_instance = count - 1;
}

void SEDQ_TX_MANAGER::on_update_edit_undo()
{
    if (is_wizard_mode())
        return;
    enable_action(AFCQ_EDIT_UNDO_ACTION, m_tx_instance != nullptr && m_tx_instance->is_undo_available());
}

void SEDQ_TX_MANAGER::on_update_edit_redo()
{
    if (is_wizard_mode())
        return;
    enable_action(AFCQ_EDIT_REDO_ACTION, m_tx_instance != nullptr && m_tx_instance->is_redo_available());
}

void SEDQ_TX_MANAGER::set_max_undo_steps(int steps)
{
    if (m_tx_instance != nullptr)
        m_tx_instance->set_max_undo_steps(steps);
}

int SEDQ_TX_MANAGER::get_max_undo_steps()
{
    return m_tx_instance != nullptr ? m_tx_instance->get_max_undo_steps() : 0;
}

QList<QList<SEDQ_OBJECT*>*>* SEDQ_TX_MANAGER::get_undo_list()
{
    int level = 0;
    if (!is_advanced_mode(&level))
        return nullptr;
    SEDQ_TRIGGER_OBJECT* root = sedq_advanced_trigger_root(m_tx_trigger, level);
    if (!SEDQ_VERIFY(root != NULL))
        return nullptr;
    return root->get_undo_list();
}

int SEDQ_TX_MANAGER::get_undo_position()
{
    int level = 0;
    if (!is_advanced_mode(&level))
        return -1;
    SEDQ_TRIGGER_OBJECT* root = sedq_advanced_trigger_root(m_tx_trigger, level);
    if (!SEDQ_VERIFY(root != NULL))
        return -1;
    return root->get_undo_position();
}

void SEDQ_TX_MANAGER::set_undo_position(int position)
{
    int level = 0;
    if (!is_advanced_mode(&level))
        return;
    SEDQ_TRIGGER_OBJECT* root = sedq_advanced_trigger_root(m_tx_trigger, level);
    if (root != nullptr && position >= -1 && position < root->get_undo_list()->size())
        root->set_undo_position(position);
}

// ---- host actions ----------------------------------------------------------------------------

void SEDQ_TX_MANAGER::insert_action(AFCQ_ACTION_ENUM id, QAction* action)
{
    m_action_map.insert(id, action);
}

QAction* SEDQ_TX_MANAGER::get_action(AFCQ_ACTION_ENUM id, const QVariant& data)
{
    const auto it = m_action_map.constFind(id);
    if (it != m_action_map.constEnd())
        return it.value();
    // Owned by the manager: nothing else deletes the actions it makes, and the window that
    // shows them outlives none of its manager's users.
    QAction* action = afcq_create_action(id, this);
    if (is_pane_toggle(id))
    {
        action->setCheckable(true);
        action->setChecked(true);
        m_window->add_pane_toggle(action);
    }
    else
        action->setEnabled(false);
    action->setData(data);
    m_action_map.insert(id, action);
    return action;
}

void SEDQ_TX_MANAGER::enable_action(AFCQ_ACTION_ENUM id, bool enable)
{
    get_action(id, QVariant())->setEnabled(enable);
}

// ---- lock mode -------------------------------------------------------------------------------

SEDQ_LOCK_MODE SEDQ_TX_MANAGER::get_lock_mode(bool powerup_locks)
{
    if (is_wizard_mode())
        return SEDQ_LOCK_MODE_ALLOW_ALL;
    if (powerup_locks && is_powerup_trigger(-1))
        return SEDQ_LOCK_MODE_ALLOW_TRIGGER;
    return m_lock_mode;
}

void SEDQ_TX_MANAGER::set_lock_mode(SEDQ_LOCK_MODE mode, bool notify)
{
    m_lock_mode = mode;
    if (!notify)
        return;
    const unsigned kind = is_instance_acquiring(SEDQ_CURRENT) ? SEDQ_UPDATE_ACQUISITION_RUNNING
                                                              : SEDQ_UPDATE_ACQUISITION_STOPPED;
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | kind | SEDQ_UPDATE_INSTANCES |
                                        SEDQ_UPDATE_CONFIGURATION | SEDQ_UPDATE_NODE_VIEW));
}

void SEDQ_TX_MANAGER::set_lock_mode(const QString& lock_mode)
{
    SEDQ_LOCK_MODE mode = SEDQ_LOCK_MODE_ALLOW_ALL;
    if (SEDQ_VERIFY(SEDQ_LOCK_MODE_MAP.contains(lock_mode)))
        mode = SEDQ_LOCK_MODE_MAP.value(lock_mode);
    set_lock_mode(mode, true);
}

// ---- UI state inside the document ------------------------------------------------------------

bool SEDQ_TX_MANAGER::save_active_tabs()
{
    if (is_empty())
        return true;
    const bool stored = m_tx_session->set_global_data(ACTIVE_INSTANCE_KEY, m_active_instance);
    m_tx_session->set_global_data(LOCK_MODE_KEY, int(get_lock_mode(false)));
    return stored;
}

bool SEDQ_TX_MANAGER::load_active_instance_tab()
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return false;
    const int count = m_tx_session->get_num_instances();
    int active = m_tx_session->get_global_data(ACTIVE_INSTANCE_KEY);
    // A damaged file may hold any number here; only an index of an entry can be current.
    if (active >= count)
        active = count - 1;
    if (active < 0)
        active = count > 0 ? 0 : -1;
    m_active_instance = active;
    const int lock_mode = m_tx_session->get_global_data(LOCK_MODE_KEY);
    if (lock_mode != -1)
        set_lock_mode(lock_mode >= 0 && lock_mode <= 2 ? SEDQ_LOCK_MODE(lock_mode) : SEDQ_LOCK_MODE_ALLOW_ALL, false);
    return true;
}

int SEDQ_TX_MANAGER::get_int_state(const char* key, int default_value)
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return default_value;
    const int value = m_tx_session->get_global_data(key);
    return value == -1 ? default_value : value;
}

void SEDQ_TX_MANAGER::set_int_state(const char* key, int value)
{
    if (SEDQ_VERIFY(this->m_tx_session != NULL))
        m_tx_session->set_global_data(key, value);
}

QSize SEDQ_TX_MANAGER::get_size_state(const char* key, QSize default_value)
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return default_value;
    int values[2] = {0, 0};
    if (m_tx_session->get_global_data(key, values, 2) != 2)
        return default_value;
    return QSize(values[0], values[1]);
}

void SEDQ_TX_MANAGER::set_size_state(const char* key, QSize value)
{
    const int values[2] = {value.width(), value.height()};
    if (SEDQ_VERIFY(this->m_tx_session != NULL))
        m_tx_session->set_global_data(key, values, 2);
}

bool SEDQ_TX_MANAGER::get_visible_state(const char* key, bool default_value)
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return default_value;
    const int value = m_tx_session->get_global_data(key);
    return value == -1 ? default_value : value == 1;
}

void SEDQ_TX_MANAGER::set_visible_state(const char* key, bool value)
{
    if (SEDQ_VERIFY(this->m_tx_session != NULL))
        m_tx_session->set_global_data(key, value ? 1 : 0);
}

int SEDQ_TX_MANAGER::get_int_state(int instance, const char* key, int default_value)
{
    SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance);
    if (tx_instance == nullptr)
        return default_value;
    const int value = tx_instance->get_position_data(key);
    return value == -1 ? default_value : value;
}

void SEDQ_TX_MANAGER::set_int_state(int instance, const char* key, int value)
{
    if (SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance))
        tx_instance->set_position_data(key, value);
}

void SEDQ_TX_MANAGER::set_int_state(const char* key, const int* values, int count)
{
    if (SEDQ_VERIFY(this->m_tx_session != NULL))
        m_tx_session->set_global_data(key, values, count);
}

void SEDQ_TX_MANAGER::set_int_state(int instance, const char* key, const int* values, int count)
{
    if (SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance))
        tx_instance->set_position_data(key, values, count);
}

void SEDQ_TX_MANAGER::append_undo_action(SDR_TX_UNDO_ACTION_ATOMIC* action)
{
    if (m_tx_instance != nullptr)
        m_tx_instance->append_atomic_action(action);
    else
        delete action;
}
