// SEDQ_TX_MANAGER: the state-based trigger flow of a trigger: its states (names, types, flow
// texts), flags, counters and runtime options, the values an acquisition reports for them, and
// the host's check of the flow text with the error placed in its state.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_flow_rename.h"
#include "sedq/model/sedq_line_count.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <functional>

namespace
{
const int REBUILD_HINT = sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_NODE_VIEW);
const int REFRESH_HINT = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
// A flow's text typed: the panes that show nothing of it (resources, waveforms) pass it by.
const int TEXT_HINT = REFRESH_HINT | sedq_hint(SEDQ_UPDATE_FLOW_TEXT);
const int CHECKED_HINT = sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES);

// One undoable change of the current trigger's flow; `hint` 0 sends no refresh. The text typed
// asks for the compile check as any change does, with the text's mark: the panes that show
// neither the flow nor the instances (the commands, the waveforms) pass it by too.
void edit_flow(SEDQ_TX_MANAGER* manager, int hint, const std::function<void()>& change)
{
    const bool typed = hint == TEXT_HINT;
    SEDQ_EDIT_SCOPE edit(manager, typed ? SEDQ_SKIP_COMPILATION_CHECK : SEDQ_CHECK_COMPILATION);
    change();
    // A change the file could not hold was refused (the action's end says why): nothing changed.
    if (SDR_DATA_MANAGER::get_data_repository_manager()->has_refusal())
        return;
    manager->set_state_machine_modified();
    if (hint != 0)
        manager->update_all_views(nullptr, hint);
    if (typed)
        manager->update_all_views(nullptr, CHECKED_HINT | sedq_hint(SEDQ_UPDATE_FLOW_TEXT));
}

// Stores `value` at `index`, padding the list with `filler` up to it.
template <typename LIST, typename T>
void store_at(LIST* list, int index, const T& value, const T& filler)
{
    while (list->size() <= index)
        list->append(filler);
    (*list)[index] = value;
}

// The body of a state as the unified text holds it: trimmed, and "trigger;" when empty.
QString written_body(const QString& text)
{
    const QString body = text.trimmed();
    return body.isEmpty() ? QStringLiteral("trigger;") : body;
}

// Places the error line in the blocks of the unified text: state i's header is line r + 1 and
// its block (header, body, separating empty line) ends L + 1 lines later. A line outside every
// block goes to the state where the walk stopped, clamped to that state's block.
void place_error(SEDQ_STATE_MACHINE_ERROR* error, const QStringList& texts, int count)
{
    int r = 0;
    for (int i = 0; i < count; ++i)
    {
        const int header = r + 1;
        const int lines = sedq_get_line_count(written_body(texts.value(i)));
        const int block_end = header + lines + 1;
        if (header > error->m_line || block_end >= error->m_line || i + 1 == count)
        {
            error->m_state = i;
            error->m_line_in_state = qBound(0, error->m_line - header, lines + 1);
            return;
        }
        r = block_end;
    }
    error->m_state = 0;
    error->m_line_in_state = 0;
}

// The flow text follows a renamed flag or counter: a unified text kept as typed is renamed as
// a whole (its states are read from it again), otherwise each state's body.
void rename_in_flow(SEDQ_STATE_MACHINE_OBJECT* machine, const QString& from, const QString& to)
{
    if (machine == nullptr)
        return;
    if (machine->has_unified_state_text())
    {
        machine->set_unified_state_text(sedq_rename_in_flow(machine->get_unified_state_text_as_typed(), from, to));
        return;
    }
    for (QString& body : machine->get_state_text_list())
        body = sedq_rename_in_flow(body, from, to);
}

SDR_DATA_LOG* entry_log(SDR_TX_SESSION* session, int index)
{
    return session != nullptr && index >= 0 ? session->get_log_at(index, false) : nullptr;
}
} // namespace

// ---- states ----------------------------------------------------------------------------------

SEDQ_STATE_MACHINE_OBJECT* SEDQ_TX_MANAGER::get_state_machine_object(int trigger)
{
    SDR_TX_TRIGGER* trigger_nodes = sedq_document_trigger(this, trigger);
    if (trigger_nodes == nullptr)
        return nullptr;
    auto* sedq_state_machine_object = dynamic_cast<SEDQ_STATE_MACHINE_OBJECT*>(trigger_nodes->get_state_machine_object());
    SEDQ_VERIFY(sedq_state_machine_object != NULL);
    return sedq_state_machine_object;
}

int SEDQ_TX_MANAGER::get_state_count(int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    return machine != nullptr ? machine->get_state_count() : 1;
}

bool SEDQ_TX_MANAGER::get_state_name(int state, QString* name, int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    *name = machine != nullptr ? machine->get_state_name_list().value(state) : QString();
    if (name->isEmpty())
        *name = QStringLiteral("ST%1").arg(state + 1);
    return machine != nullptr;
}

// The flow's names are read on every key typed in it: when the machine names every state, its
// own list is handed out, shared, and compares equal to the last one read without a walk.
QStringList SEDQ_TX_MANAGER::get_state_names(int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    const int count = machine != nullptr ? machine->get_state_count() : 1;
    const QStringList stored = machine != nullptr ? machine->get_state_name_list() : QStringList();
    // Read for every key typed in a flow of thousands of states: the list found all named
    // before is not looked through again.
    const bool known = stored.isSharedWith(m_named_states);
    const bool all_named =
        stored.size() >= count &&
        ((known && count <= m_named_count) ||
         std::none_of(stored.begin(), stored.begin() + count, [](const QString& name) { return name.isEmpty(); }));
    if (all_named)
    {
        m_named_count = known ? qMax(count, m_named_count) : count;
        m_named_states = stored;
        return stored.mid(0, count);
    }
    QStringList names;
    names.reserve(count);
    for (int state = 0; state < count; ++state)
    {
        const QString name = stored.value(state);
        names.append(name.isEmpty() ? QStringLiteral("ST%1").arg(state + 1) : name);
    }
    return names;
}

bool SEDQ_TX_MANAGER::get_state_text(int state, QString* text, int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    *text = machine != nullptr ? machine->state_text_list().value(state) : QString();
    return machine != nullptr;
}

QStringList SEDQ_TX_MANAGER::get_state_texts(int trigger)
{
    const int count = get_state_count(trigger);
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    QStringList texts = machine != nullptr ? machine->state_text_list().mid(0, count) : QStringList();
    while (texts.size() < count)
        texts.append(QString());
    return texts;
}

quint64 SEDQ_TX_MANAGER::get_body_generation(int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    return machine != nullptr ? machine->body_generation() : 0;
}

SEDQ_BODY_CHANGE SEDQ_TX_MANAGER::get_last_body_change(int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    return machine != nullptr ? machine->last_body_change() : SEDQ_BODY_CHANGE();
}

bool SEDQ_TX_MANAGER::get_unified_state_text(QString* text, int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    text->clear();
    if (machine != nullptr)
        machine->get_unified_state_text(text);
    return machine != nullptr;
}

bool SEDQ_TX_MANAGER::get_unified_state_text_as_typed(QString* text, int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    *text = machine != nullptr ? machine->get_unified_state_text_as_typed() : QString();
    return machine != nullptr;
}

SEDQ_STATE_TYPE SEDQ_TX_MANAGER::get_state_type(int state, int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    return machine != nullptr ? machine->get_state_type_list().value(state, 0) : 0;
}

void SEDQ_TX_MANAGER::set_state_count(int count)
{
    SEDQ_STATE_MACHINE_OBJECT* machine =
        SEDQ_BLOCK::is_blocked() ? nullptr : get_state_machine_object(SEDQ_CURRENT);
    if (machine == nullptr || count < 1 || count == machine->get_state_count())
        return;
    edit_flow(this, REBUILD_HINT, [machine, count]() {
        machine->set_state_count(count);
        machine->clear_unified_state_text();
    });
}

// A text for a state beyond the count would be written nowhere, so it is refused; the list
// itself may stay shorter than the count.
void SEDQ_TX_MANAGER::set_state_text(int state, QString const& text)
{
    SEDQ_STATE_MACHINE_OBJECT* machine =
        SEDQ_BLOCK::is_blocked() ? nullptr : get_state_machine_object(SEDQ_CURRENT);
    if (machine == nullptr || state < 0 || state >= machine->get_state_count() ||
        machine->state_text_list().value(state) == text)
        return;
    edit_flow(this, TEXT_HINT, [machine, state, &text]() {
        store_at(&machine->get_state_text_list(), state, text, QString());
        machine->clear_unified_state_text();
    });
}

quint64 SEDQ_TX_MANAGER::set_unified_state_text(QString const& text, const SEDQ_TEXT_CHANGE_FROM* known)
{
    SEDQ_STATE_MACHINE_OBJECT* machine =
        SEDQ_BLOCK::is_blocked() ? nullptr : get_state_machine_object(SEDQ_CURRENT);
    if (machine == nullptr)
        return 0;
    // Compared with what the editor shows: emptying an emptied flow again is no edit. A change
    // known to lie between the two texts is compared alone (a key typed over another in a long
    // flow keeps its length). The text shown is let go before the edit, which changes the kept
    // text where it stands.
    {
        const QString shown = machine->get_unified_state_text_as_typed();
        const bool same = known != nullptr && known->holds_between(machine->text_serial(), shown.size(), text)
                              ? QStringView(shown).mid(known->change.at, known->change.removed) ==
                                    QStringView(text).mid(known->change.at, known->change.inserted)
                              : shown == text;
        if (same)
            return machine->text_serial();
    }
    quint64 serial = 0;
    edit_flow(this, TEXT_HINT, [machine, &text, known, &serial]() {
        machine->set_unified_state_text(text, known);
        serial = machine->text_serial();
    });
    // An edit refused is taken back, the text with it.
    return get_state_machine_object(SEDQ_CURRENT) == machine && machine->text_serial() == serial ? serial : 0;
}

quint64 SEDQ_TX_MANAGER::get_unified_text_serial(int trigger)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
    return machine != nullptr ? machine->text_serial() : 0;
}

void SEDQ_TX_MANAGER::set_state_display_mode(bool on)
{
    if (SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(SEDQ_CURRENT);
    if (machine == nullptr)
    {
        m_state_display_mode = on;
        update_all_views(nullptr, REBUILD_HINT);
        return;
    }
    // The view of the flow, not the flow: no modified mark. Going back to one window per
    // state drops the typed unified text, so it is built again from the states.
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    m_state_display_mode = on;
    if (!on)
        machine->clear_unified_state_text();
    update_all_views(nullptr, REBUILD_HINT);
}

void SEDQ_TX_MANAGER::set_state_name(int state, QString const& name)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(SEDQ_CURRENT);
    if (machine != nullptr && state >= 0 && state < machine->get_state_count())
        store_at(&machine->get_state_name_list(), state, name, QString());
}

void SEDQ_TX_MANAGER::set_state_type(int state, SEDQ_STATE_TYPE type)
{
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(SEDQ_CURRENT);
    if (machine != nullptr && state >= 0 && state < machine->get_state_count())
        store_at(&machine->get_state_type_list(), state, int(type), 0);
}

void SEDQ_TX_MANAGER::set_state_machine_modified()
{
    if (!SEDQ_VERIFY(this->m_tx_trigger != NULL))
        return;
    m_tx_trigger->set_state_machine_changed();
    set_modified_flag(true);
}

// ---- names the flow text refers to -------------------------------------------------------------

namespace
{
// The `count` names `name_at` gives, in the local encoding. Typing in a flow reads them several
// times a key (highlighting, proposals, the state pages): while they read as they did, the list
// of the last read is handed back, shared, and neither converted nor compared again downstream.
template <typename NAME_AT>
QStringList sedq_read_names(SEDQ_NAMES_READ* read, int count, NAME_AT name_at)
{
    bool same = int(read->raw.size()) == count;
    for (int i = 0; same && i < count; ++i)
        same = read->raw[size_t(i)] == name_at(i);
    if (same)
        return read->names;
    read->raw.clear();
    read->names.clear();
    for (int i = 0; i < count; ++i)
    {
        read->raw.emplace_back(name_at(i));
        read->names.append(QString::fromLocal8Bit(read->raw.back().c_str()));
    }
    return read->names;
}
} // namespace

QStringList SEDQ_TX_MANAGER::get_condition_names(int trigger)
{
    int count = 0;
    get_trigger_level(&count, trigger);
    SDR_TX_TRIGGER* nodes = count > 0 && SEDQ_VERIFY(!is_empty()) ? edit_trigger_nodes(trigger) : nullptr;
    return sedq_read_names(&m_condition_names, count, [nodes](int level) {
        const char* name = nodes != nullptr ? nodes->get_level_name(level) : nullptr;
        return name != nullptr ? name : "";
    });
}

QStringList SEDQ_TX_MANAGER::get_counter_names(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const int count = nodes != nullptr ? nodes->get_counter_count() : 0;
    return sedq_read_names(&m_counter_names, count, [nodes](int counter) {
        const char* name = nodes->get_counter_name(counter, nullptr, nullptr);
        return name != nullptr ? name : "";
    });
}

QStringList SEDQ_TX_MANAGER::get_flag_names(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const int count = nodes != nullptr ? nodes->get_flag_count() : 0;
    return sedq_read_names(&m_flag_names, count, [nodes](int flag) {
        const char* name = nodes->get_flag_name(flag, nullptr);
        return name != nullptr ? name : "";
    });
}

bool SEDQ_TX_MANAGER::is_state_name(QString const& name, int trigger)
{
    return get_state_names(trigger).contains(name);
}

bool SEDQ_TX_MANAGER::is_condition_name(QString const& name, int trigger)
{
    return get_condition_names(trigger).contains(name);
}

bool SEDQ_TX_MANAGER::is_counter_name(QString const& name, int trigger)
{
    return get_counter_names(trigger).contains(name);
}

bool SEDQ_TX_MANAGER::is_flag_name(QString const& name, int trigger)
{
    return get_flag_names(trigger).contains(name);
}

// ---- flags, counters and runtime options -------------------------------------------------------

int SEDQ_TX_MANAGER::get_flag_count(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    return nodes != nullptr ? nodes->get_flag_count() : 0;
}

const char* SEDQ_TX_MANAGER::get_flag_name(int flag, int trigger, int* initial)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const char* name = nodes != nullptr ? nodes->get_flag_name(flag, initial) : nullptr;
    return name != nullptr ? name : "";
}

int SEDQ_TX_MANAGER::get_counter_count(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    return nodes != nullptr ? nodes->get_counter_count() : 0;
}

const char* SEDQ_TX_MANAGER::get_counter_name(int counter, int trigger, int* width, unsigned int* initial)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    const char* name = nodes != nullptr ? nodes->get_counter_name(counter, width, initial) : nullptr;
    return name != nullptr ? name : "";
}

bool SEDQ_TX_MANAGER::is_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    return nodes != nullptr && nodes->is_configurable(option);
}

void SEDQ_TX_MANAGER::set_flag_count(int count)
{
    if (SEDQ_BLOCK::is_blocked() || !SEDQ_VERIFY(this->m_tx_trigger != NULL) ||
        count == get_flag_count(SEDQ_CURRENT))
        return;
    edit_flow(this, REFRESH_HINT, [this, count]() { m_tx_trigger->set_flag_count(count); });
}

void SEDQ_TX_MANAGER::set_counter_count(int count)
{
    if (SEDQ_BLOCK::is_blocked() || !SEDQ_VERIFY(this->m_tx_trigger != NULL) ||
        count == get_counter_count(SEDQ_CURRENT))
        return;
    edit_flow(this, REFRESH_HINT, [this, count]() { m_tx_trigger->set_counter_count(count); });
}

void SEDQ_TX_MANAGER::set_flag_name(int flag, QString const* name)
{
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr || name == nullptr)
        return;
    const QString old_name = QString::fromLocal8Bit(get_flag_name(flag, SEDQ_CURRENT, nullptr));
    if (old_name == *name)
        return;
    const QByteArray text = name->toLocal8Bit();
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(SEDQ_CURRENT);
    edit_flow(this, 0, [this, flag, &text, machine, &old_name, name]() {
        m_tx_trigger->set_flag(flag, text.constData(), nullptr);
        rename_in_flow(machine, old_name, *name);
    });
}

void SEDQ_TX_MANAGER::set_flag_initial_value(int flag, int value)
{
    int current = 0;
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr || m_tx_trigger->get_flag_name(flag, &current) == nullptr ||
        current == value)
        return;
    edit_flow(this, 0, [this, flag, value]() { m_tx_trigger->set_flag(flag, nullptr, &value); });
}

void SEDQ_TX_MANAGER::set_counter_name(int counter, QString const* name)
{
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr || name == nullptr)
        return;
    const QString old_name = QString::fromLocal8Bit(get_counter_name(counter, SEDQ_CURRENT, nullptr, nullptr));
    if (old_name == *name)
        return;
    const QByteArray text = name->toLocal8Bit();
    SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(SEDQ_CURRENT);
    edit_flow(this, 0, [this, counter, &text, machine, &old_name, name]() {
        m_tx_trigger->set_counter(counter, text.constData(), nullptr, nullptr);
        rename_in_flow(machine, old_name, *name);
    });
}

void SEDQ_TX_MANAGER::set_counter_width(int counter, int width)
{
    int current = 0;
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr ||
        m_tx_trigger->get_counter_name(counter, &current, nullptr) == nullptr || current == width)
        return;
    edit_flow(this, 0, [this, counter, width]() { m_tx_trigger->set_counter(counter, nullptr, &width, nullptr); });
}

void SEDQ_TX_MANAGER::set_counter_initial_value(int counter, unsigned int value)
{
    unsigned current = 0;
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr ||
        m_tx_trigger->get_counter_name(counter, nullptr, &current) == nullptr || current == value)
        return;
    edit_flow(this, 0, [this, counter, value]() { m_tx_trigger->set_counter(counter, nullptr, nullptr, &value); });
}

void SEDQ_TX_MANAGER::set_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, bool on)
{
    if (SEDQ_BLOCK::is_blocked() || m_tx_trigger == nullptr || is_configurable(option, SEDQ_CURRENT) == on)
        return;
    edit_flow(this, sedq_hint(SEDQ_UPDATE_NODE_VIEW),
              [this, option, on]() { m_tx_trigger->set_configurable(option, on); });
}

// ---- values of an acquisition ----------------------------------------------------------------

int SEDQ_TX_MANAGER::get_state_current_value(int log)
{
    SDR_DATA_LOG* data = entry_log(m_tx_session, log == -1 ? m_active_instance : log);
    return data != nullptr ? data->get_state_value() : -1;
}

bool SEDQ_TX_MANAGER::get_flag_current_value(int flag, int log, int* value)
{
    SDR_DATA_LOG* data = entry_log(m_tx_session, log == -1 ? m_active_instance : log);
    if (data == nullptr || flag < 0 || flag >= data->get_num_flags())
        return false;
    *value = data->get_flag_value(flag);
    return true;
}

bool SEDQ_TX_MANAGER::get_counter_current_value(int counter, int log, int* value)
{
    SDR_DATA_LOG* data = entry_log(m_tx_session, log == -1 ? m_active_instance : log);
    if (data == nullptr || counter < 0 || counter >= data->get_num_counters())
        return false;
    *value = int(data->get_counter_value(counter));
    return true;
}

// ---- the flow check --------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::check_state_machine(SEDQ_STATE_MACHINE_ERROR* error, int trigger)
{
    SDR_TX_TRIGGER* tx_trigger = trigger == -1 ? m_tx_trigger
                                               : (m_tx_session ? m_tx_session->get_trigger_at(trigger, false) : nullptr);
    *error = SEDQ_STATE_MACHINE_ERROR();
    std::string message;
    int line = 0;
    if (SEDQ_VERIFY(tx_trigger != NULL) && tx_trigger->has_flow_error(&message, &line))
    {
        error->m_is_error = true;
        error->m_message = QString::fromLocal8Bit(message.c_str());
        error->m_line = line;
        SEDQ_STATE_MACHINE_OBJECT* machine = get_state_machine_object(trigger);
        if (machine != nullptr)
            place_error(error, machine->state_text_list(), machine->get_state_count());
    }
    update_all_views(nullptr, CHECKED_HINT);
    return tx_trigger != nullptr && !error->m_is_error;
}
