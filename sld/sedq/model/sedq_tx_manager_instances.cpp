// SEDQ_TX_MANAGER: instances, signal sets, triggers and data logs (enumeration, names, adding,
// removing, renaming, choosing the current ones) and the acquired samples of a data log.
#include "sedq/model/sedq_tx_manager.h"

#include "host/dbmui.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_grid_rows.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_refusal.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_verify.h"

#include <QSet>
#include <QTabWidget>

#include <functional>

namespace
{
constexpr int ANSWER_YES = 6;

// The host takes an absent name as null.
QByteArray host_name(const QString& name)
{
    return name.toLocal8Bit();
}

const char* host_name_or_null(const QByteArray& name)
{
    return name.isEmpty() ? nullptr : name.constData();
}

bool is_empty_name(const char* name)
{
    return name == nullptr || *name == '\0';
}

// The document had no room for the decoder's answers in this log: the log keeps those it has,
// the decoder still names the others while it is loaded, and the Messages window says why.
void report_decoded_not_kept(const SDR_DATA_LOG* log)
{
    const std::string refusal = sedq_take_refusal();
    if (refusal.empty())
        return;
    MSG_W* message = MSG_SEDQ::W::DECODED_VALUES_NOT_KEPT(log->get_name(), refusal);
    message->post();
    delete message;
}

// Writes the whole row of `depth` bits for sample -1, otherwise the window (previous, this,
// next) around `sample`; neighbours beyond either end repeat the end sample. Out of range
// samples leave the three false.
void fill_window(bool* out, int sample, int depth, const std::function<bool(int)>& bit)
{
    if (sample == -1)
    {
        for (int s = 0; s < depth; ++s)
            out[s] = bit(s);
        return;
    }
    out[0] = out[1] = out[2] = false;
    if (sample < 0 || sample >= depth)
        return;
    out[0] = bit(sample > 0 ? sample - 1 : 0);
    out[1] = bit(sample);
    out[2] = bit(sample + 1 < depth ? sample + 1 : depth - 1);
}
} // namespace

// ---- enumeration and names ------------------------------------------------------------------

int SEDQ_TX_MANAGER::get_num_instances()
{
    if (m_tx_session == nullptr || m_active_instance < 0)
        return 0;
    return m_tx_session->get_num_instances();
}

SDR_TX_INSTANCE* SEDQ_TX_MANAGER::edit_instance_at(int instance)
{
    SDR_TX_INSTANCE* return_value = nullptr;
    if (instance == -1)
        return_value = m_tx_instance;
    else if (m_tx_session != nullptr)
        return_value = m_tx_session->get_instance_at(instance, false);
    SEDQ_VERIFY(return_value != NULL);
    return return_value;
}

namespace
{
// Whether `text` holds the UTF-8 `name`; converted only past its first non-ASCII byte, which
// ends the prefix both spell alike.
bool text_holds_name(const QString& text, const char* name)
{
    const ushort* units = text.utf16();
    const int size = text.size();
    int i = 0;
    for (; name[i] != '\0'; ++i)
    {
        const uchar byte = uchar(name[i]);
        if (byte >= 0x80)
            return text == QString::fromUtf8(name);
        if (i >= size || units[i] != byte)
            return false;
    }
    return i == size;
}

SDR_DATA_INSTANCE* data_instance_of(SDR_TX_SESSION* session, int instance)
{
    SDR_TX_INSTANCE* tx_instance = session ? session->get_instance_at(instance, false) : nullptr;
    return tx_instance ? tx_instance->get_data_instance() : nullptr;
}

SDR_DATA_SIGNAL_SET* signal_set_of(SDR_TX_SESSION* session, int instance, int signal_set)
{
    SDR_DATA_INSTANCE* data = data_instance_of(session, instance);
    return data ? data->get_signal_set_at(signal_set) : nullptr;
}

SDR_DATA_TRIGGER* trigger_of(SDR_TX_SESSION* session, int instance, int signal_set, int trigger)
{
    SDR_DATA_SIGNAL_SET* set = signal_set_of(session, instance, signal_set);
    return set ? set->get_trigger_at(trigger) : nullptr;
}
} // namespace

const char* SEDQ_TX_MANAGER::get_instance_name_at(int instance, bool* expanded)
{
    SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance);
    SDR_DATA_INSTANCE* data = tx_instance ? tx_instance->get_data_instance() : nullptr;
    if (data == nullptr)
        return nullptr;
    if (expanded != nullptr)
        *expanded = data->is_expanded();
    return data->get_name();
}

QString SEDQ_TX_MANAGER::get_instance_name_text(int instance)
{
    if (instance < 0)
        return QString::fromUtf8(get_instance_name_at(instance, nullptr));
    return instance_name_text(instance, data_instance_of(m_tx_session, instance));
}

// Kept by the instance's place: a name that changed, or another instance in that place, is
// converted again. Places past the document's instances are let go.
const QString& SEDQ_TX_MANAGER::instance_name_text(int instance, const SDR_DATA_INSTANCE* data)
{
    static const QString none;
    const int count = m_tx_session ? m_tx_session->get_num_instances() : 0;
    m_instance_name_texts.resize(size_t(count));
    if (data == nullptr || instance < 0 || instance >= count)
        return none;
    QString& text = m_instance_name_texts[size_t(instance)];
    if (!text_holds_name(text, data->get_name()))
        text = QString::fromUtf8(data->get_name());
    return text;
}

int SEDQ_TX_MANAGER::get_num_signal_sets(int instance)
{
    SDR_DATA_INSTANCE* data = data_instance_of(m_tx_session, instance);
    return data ? data->get_num_signal_sets() : 0;
}

const char* SEDQ_TX_MANAGER::get_signal_set_name_at(int instance, int signal_set, bool* expanded)
{
    SDR_DATA_SIGNAL_SET* set = signal_set_of(m_tx_session, instance, signal_set);
    if (set == nullptr)
        return nullptr;
    if (expanded != nullptr)
        *expanded = set->is_expanded();
    return set->get_name();
}

int SEDQ_TX_MANAGER::get_num_triggers(int instance, int signal_set)
{
    SDR_DATA_SIGNAL_SET* set = signal_set_of(m_tx_session, instance, signal_set);
    return set ? set->get_num_triggers() : 0;
}

const char* SEDQ_TX_MANAGER::get_trigger_name_at(int instance, int signal_set, int trigger, bool* expanded)
{
    SDR_DATA_TRIGGER* data = trigger_of(m_tx_session, instance, signal_set, trigger);
    if (data == nullptr)
        return nullptr;
    if (expanded != nullptr)
        *expanded = data->is_expanded();
    return data->get_name();
}

int SEDQ_TX_MANAGER::get_num_logs(int instance, int signal_set, int trigger)
{
    SDR_DATA_TRIGGER* data = trigger_of(m_tx_session, instance, signal_set, trigger);
    return data ? data->get_num_logs() : 0;
}

quint64 SEDQ_TX_MANAGER::get_log_list_stamp(int instance, int signal_set, int trigger)
{
    SDR_DATA_TRIGGER* data = trigger_of(m_tx_session, instance, signal_set, trigger);
    return data ? data->m_logs.stamp() : 0;
}

const char* SEDQ_TX_MANAGER::get_log_name_at(int instance, int signal_set, int trigger, int log)
{
    SDR_DATA_TRIGGER* data = trigger_of(m_tx_session, instance, signal_set, trigger);
    SDR_DATA_LOG* entry = data ? data->get_log_at(log) : nullptr;
    return entry ? entry->get_name() : nullptr;
}

bool SEDQ_TX_MANAGER::is_powerup_trigger(int instance, int signal_set, int trigger, int log)
{
    SDR_DATA_TRIGGER* data = trigger_of(m_tx_session, instance, signal_set, trigger);
    SDR_DATA_LOG* entry = data ? data->get_log_at(log) : nullptr;
    return entry != nullptr && entry->is_power_up_trigger();
}

const char* SEDQ_TX_MANAGER::get_instance()
{
    SDR_DATA_INSTANCE* data = m_tx_instance ? m_tx_instance->get_data_instance() : nullptr;
    return data ? data->get_name() : nullptr;
}

const char* SEDQ_TX_MANAGER::get_signal_set()
{
    SDR_DATA_SIGNAL_SET* set = m_tx_signals ? m_tx_signals->get_data_signal_set() : nullptr;
    return is_empty() || set == nullptr ? nullptr : set->get_name();
}

const char* SEDQ_TX_MANAGER::get_trigger()
{
    SDR_DATA_TRIGGER* trigger = m_tx_trigger ? m_tx_trigger->get_data_trigger() : nullptr;
    return is_empty() || trigger == nullptr ? nullptr : trigger->get_name();
}

const char* SEDQ_TX_MANAGER::get_log()
{
    return m_tx_log ? m_tx_log->get_name() : nullptr;
}

QStringList SEDQ_TX_MANAGER::get_trigger_instance_list(int instance)
{
    QStringList names;
    if (m_tx_session == nullptr)
        return names;
    // -1 is the current instance, which is not a candidate for its own connections either.
    const int own_instance = instance == -1 ? m_active_instance : instance;
    SDR_DATA_INSTANCE* own = data_instance_of(m_tx_session, own_instance);
    const QString own_name = own ? instance_name_text(own_instance, own) : QString();
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        SDR_DATA_INSTANCE* data = data_instance_of(m_tx_session, i);
        if (data == nullptr || m_tx_session->is_power_up_view(i))
            continue;
        const QString& name = instance_name_text(i, data);
        if (own == nullptr || name != own_name)
            names.append(name);
    }
    return names;
}

void SEDQ_TX_MANAGER::get_short_name(QString* out, const QString& name)
{
    *out = name;
    DBMUI_MANAGER* dbmui_mgr = DBMUI_MANAGER::get_dbmui_manager(0);
    if (!SEDQ_VERIFY(dbmui_mgr != NULL))
        return;
    const auto type =
        m_using_pre_synthesis_filter ? HDB_NAMESPACE::PDB_PRE_SYNTHESIS : HDB_NAMESPACE::PDB_POST_FIT;
    HDB_NAMESPACE* names =
        dbmui_mgr->get_hdb_cmp_action_pt_instance("sedq_tx_manager", type, false, nullptr, false);
    if (names == nullptr)
        return;
    HDB_INSTANCE_NAME* action_point_root = names->get_rooted_at();
    if (SEDQ_VERIFY(action_point_root != NULL))
        *out = remove_top_entity(name, action_point_root->get_hpath_to_root(),
                                 action_point_root->get_is_case_sensitive());
    dbmui_mgr->unget_hdb_cmp_action_pt_instance(&names, "sedq_tx_manager");
}

QString SEDQ_TX_MANAGER::remove_top_entity(const QString& name, const std::string& top_path,
                                           bool case_sensitive)
{
    const QString top = QString::fromStdString(top_path);
    const Qt::CaseSensitivity sensitivity = case_sensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (top.isEmpty() || !name.startsWith(top, sensitivity))
        return name;
    if (name.size() == top.size())
        return QString();
    // "top2|x" starts with "top" but lies outside it: only a hierarchy separator ends the top.
    if (name.at(top.size()) != QLatin1Char('|'))
        return name;
    return name.mid(top.size() + 1);
}

bool SEDQ_TX_MANAGER::instance_is_enabled(int instance)
{
    SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance);
    return tx_instance != nullptr && tx_instance->is_enabled();
}

void SEDQ_TX_MANAGER::set_instance_enabled(int instance, bool enabled)
{
    SDR_TX_INSTANCE* tx_instance = edit_instance_at(instance);
    if (tx_instance == nullptr || tx_instance->is_enabled() == enabled)
        return;
    tx_instance->set_enabled(enabled);
    update_modified_flag();
}

bool SEDQ_TX_MANAGER::is_instance_setup_mode()
{
    return m_tx_instance == nullptr ||
           get_int_state(SEDQ_CURRENT, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE) == SEDQ_SETUP_PAGE;
}

bool SEDQ_TX_MANAGER::is_instance_data_mode()
{
    return m_tx_instance != nullptr &&
           get_int_state(SEDQ_CURRENT, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE) == SEDQ_DATA_PAGE;
}

bool SEDQ_TX_MANAGER::is_setup_mode()
{
    if (is_wizard_mode())
        return false;
    QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT);
    return tabs == nullptr || tabs->currentIndex() == 1;
}

bool SEDQ_TX_MANAGER::is_data_mode(int instance)
{
    if (is_wizard_mode())
        return false;
    QTabWidget* tabs = get_data_setup_tab_widget(instance);
    return tabs != nullptr && tabs->currentIndex() == 0;
}

// ---- adding, removing, choosing -------------------------------------------------------------

bool SEDQ_TX_MANAGER::add_instance()
{
    const bool created = m_tx_session != nullptr && m_tx_session->create_vantrel_instance(nullptr) >= 0;
    if (created)
        set_instance(m_tx_session->get_num_instances() - 1);
    update_modified_flag();
    return created;
}

bool SEDQ_TX_MANAGER::remove_instance(int instance)
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return false;
    int count = m_tx_session->get_num_instances();
    // An index of no entry (-1 while nothing is current) would otherwise move the current
    // instance before the host refuses the removal.
    if (instance < 0 || instance >= count)
        return false;
    int removed = instance;
    Q_EMIT releasing_conditions();
    if (is_powerup_trigger_enabled(instance))
    {
        removed = is_powerup_trigger(instance) ? instance - 1 : instance;
        // Disabling the power-up trigger makes its instance current; the current instance is
        // meant to change only when it is the one removed, so it is put back.
        const int active = m_active_instance;
        enable_powerup_trigger(removed, false);
        --count;
        set_instance(removed < active ? active - 1 : active);
    }
    if (count == 0)
        set_instance(-1);
    else if (removed == m_active_instance)
    {
        if (removed + 1 < count)
            set_instance(removed + 1);
        else if (removed >= 2 && m_tx_session->is_power_up_view(removed - 1))
            set_instance(removed - 2);
        else
            set_instance(removed - 1);
    }
    const bool result = m_tx_session->remove_vantrel_instance(removed);
    if (result && removed < m_active_instance)
        --m_active_instance;
    update_modified_flag();
    return result;
}

void SEDQ_TX_MANAGER::set_instance(int instance)
{
    m_active_instance = instance;
    refresh_tx_cache();
}

void SEDQ_TX_MANAGER::set_instance(const QString& name)
{
    if (!SEDQ_VERIFY(name != ""))
        return;
    const int index = instance_index_of(name);
    if (index >= 0)
        set_instance(index);
}

int SEDQ_TX_MANAGER::instance_index_of(const QString& name)
{
    const int count = m_tx_session ? m_tx_session->get_num_instances() : 0;
    for (int i = 0; i < count; ++i)
    {
        SDR_DATA_INSTANCE* data = data_instance_of(m_tx_session, i);
        if (data != nullptr && instance_name_text(i, data) == name)
            return i;
    }
    return -1;
}

QString SEDQ_TX_MANAGER::get_missing_log_entry_part(const QString& signal_set, const QString& trigger,
                                                   const QString& log)
{
    SDR_DATA_INSTANCE* instance = m_tx_instance != nullptr ? m_tx_instance->get_data_instance() : nullptr;
    if (instance == nullptr)
        return QStringLiteral("instance");
    const auto named = [](const char* own, const QString& name) { return own != nullptr && host_name(name) == own; };
    SDR_DATA_SIGNAL_SET* set = signal_set.isEmpty() ? instance->get_active_signal_set() : nullptr;
    for (int i = 0; set == nullptr && i < instance->get_num_signal_sets(); ++i)
        if (named(instance->get_signal_set_at(i)->get_name(), signal_set))
            set = instance->get_signal_set_at(i);
    if (set == nullptr)
        return QStringLiteral("signal set");
    SDR_DATA_TRIGGER* found = trigger.isEmpty() ? set->get_trigger_at(0) : nullptr;
    for (int i = 0; found == nullptr && !trigger.isEmpty() && i < set->get_num_triggers(); ++i)
        if (named(set->get_trigger_at(i)->get_name(), trigger))
            found = set->get_trigger_at(i);
    if (found == nullptr)
        return QStringLiteral("trigger");
    for (int i = 0; !log.isEmpty() && i < found->get_num_logs(); ++i)
        if (named(found->get_log_at(i)->get_name(), log))
            return QString();
    return log.isEmpty() ? QString() : QStringLiteral("log");
}

bool SEDQ_TX_MANAGER::set_active(const QString& signal_set, const QString& trigger, const QString& log)
{
    if (m_tx_session == nullptr || m_tx_instance == nullptr ||
        !get_missing_log_entry_part(signal_set, trigger, log).isEmpty())
        return false;
    if (m_tx_instance->is_modified() && sedq_show_message(MSG_SEDQ::YN::NO_UNDO_SUPPORT()) != ANSWER_YES)
        return false;
    const bool lowered = m_tx_trigger != nullptr && m_tx_trigger->is_power_up_selector();
    if (lowered)
        --m_active_instance;
    const QByteArray set_name = host_name(signal_set);
    const QByteArray trigger_name = host_name(trigger);
    const QByteArray log_name = host_name(log);
    const bool rc = m_tx_session->set_active(m_active_instance, host_name_or_null(set_name),
                                             host_name_or_null(trigger_name), host_name_or_null(log_name));
    SEDQ_VERIFY(rc);
    if (lowered && m_tx_trigger != nullptr && m_tx_trigger->is_power_up_trigger())
        ++m_active_instance;
    refresh_tx_cache();
    update_modified_flag();
    check_node_validity(SEDQ_CURRENT);
    open_plugin_mnemonic_tables();
    return rc;
}

void SEDQ_TX_MANAGER::remove_log_tree_item(const char* signal_set, const char* trigger, const char* log)
{
    if (is_empty_name(signal_set))
    {
        remove_instance(m_active_instance);
        return;
    }
    if (!SEDQ_VERIFY(this->m_tx_session != NULL))
        return;
    const char* trigger_name = is_empty_name(trigger) ? nullptr : trigger;
    const char* log_name = is_empty_name(log) ? nullptr : log;
    if (trigger_name == nullptr && !SEDQ_VERIFY(log_name == NULL))
        log_name = nullptr;
    const bool rc = m_tx_session->remove(m_active_instance, signal_set, trigger_name, log_name);
    SEDQ_VERIFY(rc);
    refresh_tx_cache();
    update_modified_flag();
}

// ---- renaming and the expanded state ---------------------------------------------------------

SDR_DATA_INSTANCE* SEDQ_TX_MANAGER::find_data_instance(const char* name)
{
    if (m_tx_session == nullptr || name == nullptr)
        return nullptr;
    SDR_DATA_SESSION* data = m_tx_session->get_data_session();
    return data ? data->find_instance(name) : nullptr;
}

namespace
{
SDR_DATA_SIGNAL_SET* current_signal_set_named(SDR_TX_INSTANCE* current, const char* name)
{
    SDR_DATA_INSTANCE* data = current ? current->get_data_instance() : nullptr;
    return data && name ? data->find_signal_set(name) : nullptr;
}
} // namespace

// A refused rename (the name is taken) tells the user; an accepted one marks the document.
bool SEDQ_TX_MANAGER::accept_rename(bool renamed)
{
    if (!renamed)
    {
        sedq_show_message(MSG_SEDQ::O::DUPLICATE_NAME());
        return false;
    }
    m_tx_session->set_undoable_modified_flag();
    update_modified_flag();
    return true;
}

void SEDQ_TX_MANAGER::rename_instance_set(const char* new_name, const char* old_name)
{
    SDR_DATA_INSTANCE* instance = find_data_instance(old_name);
    if (instance == nullptr || is_empty_name(new_name))
        return;
    if (!accept_rename(instance->set_name(new_name)))
        return;
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_LOG |
                                        SEDQ_UPDATE_NODE_VIEW));
    update_all_views(nullptr,
                     sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_INSTANCES));
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
}

void SEDQ_TX_MANAGER::rename_signal_set(const char* new_name, const char* old_name)
{
    SDR_DATA_SIGNAL_SET* set = current_signal_set_named(m_tx_instance, old_name);
    if (set == nullptr || is_empty_name(new_name))
        return;
    if (accept_rename(set->set_name(new_name)))
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LOG));
}

void SEDQ_TX_MANAGER::rename_trigger_set(const char* new_name, const char* old_name, const char* signal_set)
{
    SDR_DATA_SIGNAL_SET* set = current_signal_set_named(m_tx_instance, signal_set);
    SDR_DATA_TRIGGER* trigger = set && old_name ? set->find_trigger(old_name) : nullptr;
    if (trigger == nullptr || is_empty_name(new_name))
        return;
    if (accept_rename(trigger->set_name(new_name)))
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LOG));
}

void SEDQ_TX_MANAGER::rename_log_set(const char* new_name, const char* old_name, const char* trigger,
                                     const char* signal_set)
{
    SDR_DATA_SIGNAL_SET* set = current_signal_set_named(m_tx_instance, signal_set);
    SDR_DATA_TRIGGER* owner = set && trigger ? set->find_trigger(trigger) : nullptr;
    SDR_DATA_LOG* log = owner && old_name ? owner->find_log(old_name) : nullptr;
    if (log == nullptr || is_empty_name(new_name))
        return;
    if (accept_rename(log->set_name(new_name)))
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LOG));
}

void SEDQ_TX_MANAGER::set_expanded(bool expanded, const QString& instance, const QString& signal_set,
                                   const QString& trigger)
{
    SDR_DATA_INSTANCE* data = find_data_instance(instance.toUtf8().constData());
    if (data == nullptr)
        return;
    if (signal_set.isEmpty())
    {
        data->set_expanded_status(expanded);
        return;
    }
    SDR_DATA_SIGNAL_SET* set = data->find_signal_set(signal_set.toUtf8().constData());
    if (set == nullptr)
        return;
    if (trigger.isEmpty())
    {
        set->set_expanded_status(expanded);
        return;
    }
    if (SDR_DATA_TRIGGER* found = set->find_trigger(trigger.toUtf8().constData()))
        found->set_expanded_status(expanded);
}

// ---- data logs -------------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_active_or_powerup_view(int instance)
{
    return instance == m_active_instance ||
           (m_active_instance == instance + 1 && is_powerup_trigger(m_active_instance));
}

void SEDQ_TX_MANAGER::set_view_log(int instance_index, SDR_DATA_LOG* log)
{
    if (!SEDQ_VERIFY(instance_index >= 0) || !SEDQ_VERIFY(log != NULL) ||
        !SEDQ_VERIFY(this->m_tx_session != NULL))
        return;
    m_tx_session->set_active_log(instance_index, log);
    if (is_active_or_powerup_view(instance_index))
        refresh_tx_cache();
    update_modified_flag();
    decode_plugin_groups(instance_index, log);
    log->end_post_acq_processing();
}

void SEDQ_TX_MANAGER::decode_plugin_groups(int instance_index, SDR_DATA_LOG* log)
{
    SDR_TX_SIGNAL_SET* nodes = edit_signal_nodes(instance_index);
    int depth = -1;
    for (int row = 0; nodes && row < nodes->get_num_nodes(); ++row)
    {
        if (nodes->get_group_display_type(row) != SDR_GTYPE_PLUGIN)
            continue;
        // The samples are read only for a log that has a plug-in group to decode.
        if (depth < 0 && !get_data_sample_depth(&depth, instance_index))
            return;
        fill_plugin_group_table(instance_index, log, nodes, row, depth);
    }
}

// Fills the log's static mnemonic table of a decoder plug-in group with the symbol of every
// value that the group takes in the log.
void SEDQ_TX_MANAGER::fill_plugin_group_table(int instance, SDR_DATA_LOG* log, SDR_TX_SIGNAL_SET* nodes,
                                              int group, int depth)
{
    int members = 0;
    while (group + 1 + members < nodes->get_num_nodes())
    {
        const SDR_DATA_NODE_DISPLAY_TYPE type = nodes->get_node_display_type(group + 1 + members);
        if (type != SDR_NTYPE_MEMBER && type != SDR_NTYPE_LAST_MEMBER)
            break;
        ++members;
    }
    SEDQ_BUS bus(members, depth);
    if (members == 0 || depth <= 0 || !bus.is_valid())
        return;
    for (int member = 0; member < members; ++member)
        if (!get_wave(group + 1 + member, bus.get_row(member), -1, true, instance))
            return;
    SDR_PLUGIN_GROUP* record = nodes->get_plugin_group(group);
    if (record == nullptr || record->get_plugin_id() < 0)
        return;
    // Once the group has a table id, only the document's limits refuse its table.
    SDR_DATA_MNEMONICS_TABLE* table = log->create_static_plugin_mnemonics_table(members, record->get_plugin_id());
    if (table == nullptr)
        return report_decoded_not_kept(log);
    // The decoder is asked once per distinct value: a log repeats few values many times. It
    // reads the value most significant bit first, whatever the group's row order.
    // The rows' bits of a sample are the key; the text is made for new values only.
    QSet<QByteArray> asked;
    QByteArray key(members, '0');
    const bool lsb_to_msb = nodes->is_lsb_to_msb(group);
    for (int sample = 0; sample < depth; ++sample)
    {
        for (int member = 0; member < members; ++member)
            key[member] = bus.get_row(member)[sample] ? '1' : '0';
        if (asked.contains(key))
            continue;
        asked.insert(key);
        const QString value =
            QString::fromLatin1(SEDQ_NUMBER(bus, sample).get_display_string(SDR_GTYPE_BINARY, members, lsb_to_msb));
        // An empty answer is kept too: the value then shows as nothing, not as its bits.
        QString symbol;
        if (!get_node_mnemonics_symbol(group, value, &symbol, nodes))
            continue;
        const QByteArray pattern = value.toLatin1();
        if (table->find_symbol(pattern.constData()) == nullptr &&
            !table->add_entry(symbol.toLocal8Bit().constData(), pattern.constData()))
            return report_decoded_not_kept(log);
    }
}

void SEDQ_TX_MANAGER::save_to_log()
{
    if (is_empty())
        return;
    if (!input_has_data_nodes())
        sedq_show_message(MSG_SEDQ::O::ZERO_INPUT("Data"));
    if (!input_has_trigger_nodes())
        sedq_show_message(MSG_SEDQ::O::ZERO_INPUT("Trigger"));
    if (!check_nodes_allocated(m_active_instance))
        return;
    const bool saved = m_tx_session->save_to_log(m_active_instance);
    refresh_data_log_cache();
    if (!saved)
        return;
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION | SEDQ_UPDATE_LOG));
    update_modified_flag();
}

// ---- acquired samples ------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_data_sample_depth(int* depth, int instance)
{
    const SDR_DATA_LOG* log = nullptr;
    if (is_data_available(false, instance, &log))
    {
        *depth = log->get_data_sample_depth();
        return true;
    }
    *depth = 0;
    if (!is_empty())
        get_sample_depth(depth, instance);
    return false;
}

const SDR_DATA_LOG* SEDQ_TX_MANAGER::wave_log(bool flag, int instance, int* depth)
{
    get_data_sample_depth(depth, instance);
    const SDR_DATA_LOG* log = nullptr;
    if (!is_data_available(flag, instance, &log))
        return nullptr;
    return log;
}

bool SEDQ_TX_MANAGER::get_wave(int node, bool* out, int sample, bool flag, int instance)
{
    int depth = 0;
    const SDR_DATA_LOG* log = wave_log(flag, instance, &depth);
    SDR_TX_SIGNAL_SET* nodes = log ? edit_signal_nodes(instance) : nullptr;
    const int channel = nodes ? nodes->get_node_wire_index(node) : -1;
    if (channel < 0 || !log->get_connection_status(channel))
        return false;
    const bool inverted = nodes->is_node_inverted(node);
    const auto bit = [log, channel, inverted](int s) { return log->get_bit(channel, s) != inverted; };
    fill_window(out, sample, depth, bit);
    return true;
}

std::vector<int> SEDQ_TX_MANAGER::get_wave_channels(const std::vector<int>& nodes, int instance)
{
    int depth = 0;
    const SDR_DATA_LOG* log = wave_log(false, instance, &depth);
    SDR_TX_SIGNAL_SET* list = log ? edit_signal_nodes(instance) : nullptr;
    std::vector<int> channels;
    channels.reserve(nodes.size());
    for (int node : nodes)
    {
        const int channel = list ? list->get_node_wire_index(node) : -1;
        channels.push_back(channel >= 0 && log->get_connection_status(channel) ? channel : -1);
    }
    return channels;
}

bool SEDQ_TX_MANAGER::get_wave_mask(bool* out, int sample, bool flag, int instance)
{
    int depth = 0;
    const SDR_DATA_LOG* log = wave_log(flag, instance, &depth);
    if (log == nullptr)
        return false;
    const auto bit = [log](int s) { return log->is_bit_valid(s); };
    fill_window(out, sample, depth, bit);
    return true;
}

int SEDQ_TX_MANAGER::get_wave_count(int row)
{
    const int node = sedq_node_of_row(row);
    return get_last_child_index(node) - node;
}

int SEDQ_TX_MANAGER::get_int_length(int value)
{
    if (value >= 0)
        return value < 10 ? 1 : value < 100 ? 2 : value < 1000 ? 3 : value < 10000 ? 4 : 5;
    return value > -10 ? 2 : value > -100 ? 3 : value > -1000 ? 4 : value > -10000 ? 5 : 6;
}
