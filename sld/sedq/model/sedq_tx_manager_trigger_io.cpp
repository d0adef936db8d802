// SEDQ_TX_MANAGER: the storage qualifier, the trigger input and output of an instance's trigger,
// and the text forms of signal sets and triggers.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_trigger_edit.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

namespace
{
const int REFRESH_LAYOUT_HINT = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW);
const int REFRESH_NODES_HINT = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
const int REFRESH_CONFIGURATION_HINT = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);
constexpr SEDQ_TRIGGER_EDIT_MARK ALWAYS = SEDQ_TRIGGER_EDIT_MARK::ALWAYS;
constexpr SEDQ_TRIGGER_EDIT_MARK WHEN_ACCEPTED = SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED;

// The trigger-out sources a selection check box stands for.
constexpr int OUT_PIN = 0;
constexpr int OUT_INSTANCE = 2;
constexpr int OUT_HPS_TRIGGER_IN = 4;
constexpr int OUT_HPS_EVENT_INDEX = 5;

QString host_text(const char* text)
{
    return QString::fromLocal8Bit(text != nullptr ? text : "");
}

// A host text into `out`; the empty text and false for an empty document.
bool read_text(const SDR_TX_TRIGGER* nodes, QString* out, const char* (SDR_TX_TRIGGER::*getter)() const)
{
    *out = nodes != nullptr ? host_text((nodes->*getter)()) : QString();
    return nodes != nullptr;
}

bool read_flag(const SDR_TX_TRIGGER* nodes, bool (SDR_TX_TRIGGER::*getter)() const)
{
    return nodes != nullptr && (nodes->*getter)();
}

// The post-fitting flag a node setter writes: 0 post-fitting, 1 pre-synthesis, 2 unchanged.
bool post_fitting_flag(SEDQ_IS_POST_FITTING_TYPE type, bool current)
{
    return type == SEDQ_KEEP_POST_FITTING_TYPE ? current : type == SEDQ_POST_FITTING;
}
} // namespace

// ---- storage qualifier -----------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_storage_qualifier_type(QString* text, int trigger)
{
    int depth = 0;
    get_sample_depth(&depth, trigger);
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (depth == 0 || nodes == nullptr || nodes->is_segmented())
        return false;
    static const char* const TEXTS[] = {"Continuous", "Conditional", "Start/Stop", "Transitional", "State-based",
                                        "Input port"};
    const int type = nodes->get_sq_type();
    if (type < 0 || type >= int(sizeof(TEXTS) / sizeof(TEXTS[0])))
    {
        SEDQ_REPORT("Unknown storage qualifier mode");
        return false;
    }
    *text = QString::fromLatin1(TEXTS[type]);
    return true;
}

namespace
{
const struct
{
    const char* text;
    SDR_DATA_STORAGE_QUALIFIER_TYPE mode;
} STORAGE_QUALIFIER_TYPES[] = {{"Continuous", SDR_SQTYPE_CONTINUOUS},     {"Input port", SDR_SQTYPE_INPUT_PORT},
                               {"Transitional", SDR_SQTYPE_TRANSITIONAL}, {"Conditional", SDR_SQTYPE_CONDITIONAL},
                               {"Start/Stop", SDR_SQTYPE_START_STOP},     {"State-based", SDR_SQTYPE_STATE_BASED}};
} // namespace

QStringList SEDQ_TX_MANAGER::get_storage_qualifier_types()
{
    QStringList types;
    for (const auto& entry : STORAGE_QUALIFIER_TYPES)
        types << QLatin1String(entry.text);
    return types;
}

void SEDQ_TX_MANAGER::set_storage_qualifier_type(QString const& type)
{
    if (is_empty() || m_tx_trigger == nullptr)
        return;
    SDR_DATA_STORAGE_QUALIFIER_TYPE mode = SDR_SQTYPE_INVALID_TYPE;
    for (const auto& entry : STORAGE_QUALIFIER_TYPES)
    {
        if (mode == SDR_SQTYPE_INVALID_TYPE && type == QLatin1String(entry.text))
            mode = entry.mode;
    }
    if (mode == SDR_SQTYPE_STATE_BASED && is_sequential_mode(SEDQ_CURRENT))
    {
        sedq_show_message(MSG_SEDQ::O::STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE());
        update_all_views(nullptr, REFRESH_CONFIGURATION_HINT); // the pane shows the stored type again
        return;
    }
    if (!SEDQ_VERIFY(mode != SDR_SQTYPE_INVALID_TYPE))
        return;
    sedq_edit_trigger(this, mode == m_tx_trigger->get_sq_type(), WHEN_ACCEPTED, REFRESH_LAYOUT_HINT,
                      [this, mode](SDR_TX_TRIGGER* trigger) {
                          const bool accepted = trigger->set_sq_type(mode);
                          if (accepted && mode == SDR_SQTYPE_STATE_BASED)
                              sedq_show_state_flow_page(this);
                          return accepted;
                      });
}

bool SEDQ_TX_MANAGER::get_storage_qualifier_input_port(QString* name, bool* post_fitting, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    bool flag = false;
    *name = nodes != nullptr ? host_text(nodes->get_sq_input_port(&flag)) : QString();
    if (post_fitting != nullptr)
        *post_fitting = flag;
    return nodes != nullptr;
}

void SEDQ_TX_MANAGER::set_storage_qualifier_input_port(QString const& name, SEDQ_IS_POST_FITTING_TYPE post_fitting)
{
    QString current;
    bool current_flag = false;
    if (!get_storage_qualifier_input_port(&current, &current_flag, SEDQ_CURRENT))
        return;
    const bool flag = post_fitting_flag(post_fitting, current_flag);
    const QByteArray port = name.toLocal8Bit();
    sedq_edit_trigger(this, name == current && flag == current_flag, WHEN_ACCEPTED, 0,
                      [&port, flag](SDR_TX_TRIGGER* trigger) {
                          const bool written = trigger->set_sq_input_port(port.constData(), flag);
                          return trigger->set_sq_input_port_companion(false) || written;
                      });
}

void SEDQ_TX_MANAGER::browse_storage_qualifier_input_port()
{
    QString name;
    SEDQ_IS_POST_FITTING_TYPE post_fitting = SEDQ_KEEP_POST_FITTING_TYPE;
    if (!get_unb_node(&name, NODE_TYPE_TRIGGER_INPUT, &post_fitting))
        return;
    set_storage_qualifier_input_port(name, post_fitting);
    update_all_views(nullptr, REFRESH_CONFIGURATION_HINT);
}

bool SEDQ_TX_MANAGER::is_record_data_discontinuities_enabled(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_record_discontinuities);
}

bool SEDQ_TX_MANAGER::is_disable_storage_qualifier_enabled(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_sq_disabled);
}

void SEDQ_TX_MANAGER::enable_data_discontinuities(bool on)
{
    sedq_edit_trigger(this, on == is_record_data_discontinuities_enabled(SEDQ_CURRENT), WHEN_ACCEPTED, 0,
                      [on](SDR_TX_TRIGGER* trigger) { return trigger->set_record_discontinuities(on); });
}

void SEDQ_TX_MANAGER::disable_storage_qualifier(bool on)
{
    sedq_edit_trigger(this, on == is_disable_storage_qualifier_enabled(SEDQ_CURRENT), WHEN_ACCEPTED,
                      REFRESH_NODES_HINT,
                      [on](SDR_TX_TRIGGER* trigger) { return trigger->set_sq_disabled(on); });
}

// ---- trigger in ------------------------------------------------------------------------------

SDR_TX_TRIGGER* SEDQ_TX_MANAGER::edit_trigger_in(int trigger)
{
    // Trigger in and out are settings of the trigger itself; a missing one is reported there.
    return edit_trigger_nodes(trigger);
}

bool SEDQ_TX_MANAGER::is_trigger_in_enabled(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_trigger_in_enabled);
}

bool SEDQ_TX_MANAGER::is_trigger_in_node_post_fitting(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_trigger_in_node_post_fitting);
}

bool SEDQ_TX_MANAGER::is_trigger_in_node_valid(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_trigger_in_node_valid);
}

SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE SEDQ_TX_MANAGER::get_trigger_in_source(int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    // 6 is no source at all: an empty document selects none of the pane's radio buttons.
    return nodes != nullptr ? nodes->get_trigger_in_source() : SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE(6);
}

bool SEDQ_TX_MANAGER::get_trigger_in_pin_name(QString* name, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), name, &SDR_TX_TRIGGER::get_trigger_in_pin);
}

bool SEDQ_TX_MANAGER::get_trigger_in_instance_name(QString* name, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), name, &SDR_TX_TRIGGER::get_trigger_in_instance);
}

bool SEDQ_TX_MANAGER::get_trigger_in_node_name(QString* name, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), name, &SDR_TX_TRIGGER::get_trigger_in_node);
}

bool SEDQ_TX_MANAGER::get_trigger_in_condition(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    *text = convert_to_trigger_condition_str(nodes != nullptr ? nodes->get_trigger_in_condition() : SDR_CTYPE_DISABLED);
    return nodes != nullptr;
}

bool SEDQ_TX_MANAGER::set_trigger_in_source(SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return true;
    nodes->set_trigger_in_source(source);
    const char* instance = nodes->get_trigger_in_instance();
    if (source == SDR_IOSRC_INSTANCE && (instance == nullptr || *instance == '\0'))
    {
        const QStringList instances = get_trigger_instance_list(trigger);
        if (!instances.isEmpty())
            nodes->set_trigger_in_instance(instances.front().toLocal8Bit().constData());
    }
    return true;
}

void SEDQ_TX_MANAGER::enable_trigger_in(bool on)
{
    sedq_edit_trigger(this, on == is_trigger_in_enabled(SEDQ_CURRENT), ALWAYS, REFRESH_CONFIGURATION_HINT,
                      [on](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_in_enabled(on); });
}

void SEDQ_TX_MANAGER::set_trigger_in_source(int source)
{
    const auto value = SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE(source);
    sedq_edit_trigger(this, value == get_trigger_in_source(SEDQ_CURRENT), SEDQ_TRIGGER_EDIT_MARK::NEVER,
                      REFRESH_CONFIGURATION_HINT,
                      [this, value](SDR_TX_TRIGGER*) { return set_trigger_in_source(value, SEDQ_CURRENT); });
}

void SEDQ_TX_MANAGER::set_trigger_in_pin(QString const& pin)
{
    QString current;
    get_trigger_in_pin_name(&current, SEDQ_CURRENT);
    const QByteArray name = pin.toLocal8Bit();
    sedq_edit_trigger(this, pin.isEmpty() || pin == current, ALWAYS, 0,
                      [&name](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_in_pin(name.constData()); });
}

// An empty name clears the node; a new one counts as valid until the next validity check.
void SEDQ_TX_MANAGER::set_trigger_in_node(QString const& node, SEDQ_IS_POST_FITTING_TYPE post_fitting)
{
    QString current;
    get_trigger_in_node_name(&current, SEDQ_CURRENT);
    const bool current_flag = is_trigger_in_node_post_fitting(SEDQ_CURRENT);
    const bool flag = post_fitting_flag(post_fitting, current_flag);
    const QByteArray name = node.toLocal8Bit();
    sedq_edit_trigger(this, node == current && flag == current_flag, ALWAYS, 0,
                      [&name, flag](SDR_TX_TRIGGER* trigger) {
                          bool written = trigger->set_trigger_in_node_post_fitting(flag);
                          written = trigger->set_trigger_in_node(name.constData()) && written;
                          return trigger->set_trigger_in_node_valid(true) && written;
                      });
}

void SEDQ_TX_MANAGER::browse_trigger_in()
{
    QString name;
    SEDQ_IS_POST_FITTING_TYPE post_fitting = SEDQ_KEEP_POST_FITTING_TYPE;
    if (!get_unb_node(&name, NODE_TYPE_TRIGGER_INPUT, &post_fitting))
        return;
    set_trigger_in_node(name, post_fitting);
    update_all_views(nullptr, REFRESH_CONFIGURATION_HINT);
}

void SEDQ_TX_MANAGER::set_trigger_in_instance(QString const& instance)
{
    QString current;
    get_trigger_in_instance_name(&current, SEDQ_CURRENT);
    const QByteArray name = instance.toLocal8Bit();
    sedq_edit_trigger(this, instance.isEmpty() || instance == current, ALWAYS, 0, [&name](SDR_TX_TRIGGER* trigger) {
        return trigger->set_trigger_in_instance(name.constData());
    });
}

void SEDQ_TX_MANAGER::set_trigger_in_condition(QString const& condition)
{
    QString current;
    get_trigger_in_condition(&current, SEDQ_CURRENT);
    if (condition.isEmpty() || condition == current)
        return;
    const SDR_DATA_TRIGGER_CONDITION value = convert_to_trigger_condition_type(condition);
    sedq_edit_trigger(this, false, ALWAYS, 0,
                      [value](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_in_condition(value); });
}

// ---- trigger out -----------------------------------------------------------------------------

SDR_TX_TRIGGER* SEDQ_TX_MANAGER::edit_trigger_out(int trigger)
{
    return edit_trigger_nodes(trigger);
}

bool SEDQ_TX_MANAGER::is_trigger_out_enabled(int trigger)
{
    return read_flag(sedq_document_trigger(this, trigger), &SDR_TX_TRIGGER::is_trigger_out_enabled);
}

namespace
{
bool is_out_selected(SDR_TX_TRIGGER* nodes, int source)
{
    return nodes != nullptr && nodes->is_trigger_out_selected(source);
}
} // namespace

bool SEDQ_TX_MANAGER::is_trigger_out_pin_selected(int trigger)
{
    return is_out_selected(sedq_document_trigger(this, trigger), OUT_PIN);
}

bool SEDQ_TX_MANAGER::is_trigger_out_instance_selected(int trigger)
{
    return is_out_selected(sedq_document_trigger(this, trigger), OUT_INSTANCE);
}

bool SEDQ_TX_MANAGER::is_trigger_out_hps_trigger_in_selected(int trigger)
{
    return is_out_selected(sedq_document_trigger(this, trigger), OUT_HPS_TRIGGER_IN);
}

bool SEDQ_TX_MANAGER::is_trigger_out_hps_event_index_selected(int trigger)
{
    return is_out_selected(sedq_document_trigger(this, trigger), OUT_HPS_EVENT_INDEX);
}

bool SEDQ_TX_MANAGER::get_trigger_out_pin(QString* name, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), name, &SDR_TX_TRIGGER::get_trigger_out_pin);
}

bool SEDQ_TX_MANAGER::get_trigger_out_instance(QString* name, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), name, &SDR_TX_TRIGGER::get_trigger_out_instance);
}

bool SEDQ_TX_MANAGER::get_trigger_out_instance_tooltip(QString* text, int trigger)
{
    return read_text(sedq_document_trigger(this, trigger), text, &SDR_TX_TRIGGER::get_trigger_out_instance_tooltip);
}

bool SEDQ_TX_MANAGER::get_trigger_out_condition(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    *text = convert_to_trigger_condition_str(nodes != nullptr ? nodes->get_trigger_out_condition() : SDR_CTYPE_DISABLED);
    return nodes != nullptr;
}

bool SEDQ_TX_MANAGER::get_trigger_out_hps_event_index(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    *text = nodes != nullptr ? QStringLiteral("%1").arg(nodes->get_trigger_out_hps_event_index()) : QString();
    return nodes != nullptr;
}

bool SEDQ_TX_MANAGER::get_trigger_out_latency_delay(QString* text, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    SDR_DATA_TRIGGER* data = nodes != nullptr ? nodes->get_data_trigger() : nullptr;
    text->clear();
    if (data == nullptr)
        return false;
    const int delay = data->get_trigger_out_latency_delay();
    *text = delay < 0 ? QStringLiteral("Unknown") : QStringLiteral("%1 cycles").arg(delay);
    return true;
}

namespace
{
// One selection check box of the trigger out; `refresh` repaints the pane when the box
// changes what else it enables.
void select_trigger_out(SEDQ_TX_MANAGER* manager, int source, bool on, int hint,
                        const std::function<void(SDR_TX_TRIGGER*)>& after = nullptr)
{
    SDR_TX_TRIGGER* current = sedq_document_trigger(manager, SEDQ_CURRENT);
    sedq_edit_trigger(manager, on == is_out_selected(current, source), ALWAYS, hint,
                      [source, on, &after](SDR_TX_TRIGGER* trigger) {
                          const bool written = trigger->set_trigger_out_selected(source, on);
                          if (after)
                              after(trigger);
                          return written;
                      });
}
} // namespace

void SEDQ_TX_MANAGER::enable_trigger_out(bool on)
{
    sedq_edit_trigger(this, on == is_trigger_out_enabled(SEDQ_CURRENT), ALWAYS, REFRESH_CONFIGURATION_HINT,
                      [on](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_out_enabled(on); });
}

void SEDQ_TX_MANAGER::set_trigger_out_pin_selected(bool on)
{
    select_trigger_out(this, OUT_PIN, on, REFRESH_CONFIGURATION_HINT);
}

// Choosing the instance source names the first other instance when none is named yet.
void SEDQ_TX_MANAGER::set_trigger_out_instance_selected(bool on)
{
    select_trigger_out(this, OUT_INSTANCE, on, REFRESH_CONFIGURATION_HINT, [this, on](SDR_TX_TRIGGER* trigger) {
        const char* instance = trigger->get_trigger_out_instance();
        if (!on || (instance != nullptr && *instance != '\0'))
            return;
        const QStringList instances = get_trigger_instance_list(SEDQ_CURRENT);
        if (!instances.isEmpty())
            trigger->set_trigger_out_instance(instances.front().toLocal8Bit().constData());
    });
}

void SEDQ_TX_MANAGER::set_trigger_out_hps_trigger_in_selected(bool on)
{
    select_trigger_out(this, OUT_HPS_TRIGGER_IN, on, 0);
}

void SEDQ_TX_MANAGER::set_trigger_out_hps_event_selected(bool on)
{
    select_trigger_out(this, OUT_HPS_EVENT_INDEX, on, REFRESH_CONFIGURATION_HINT);
}

void SEDQ_TX_MANAGER::set_trigger_out_pin(QString const& pin)
{
    QString current;
    get_trigger_out_pin(&current, SEDQ_CURRENT);
    const QByteArray name = pin.toLocal8Bit();
    sedq_edit_trigger(this, pin.isEmpty() || pin == current, ALWAYS, 0,
                      [&name](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_out_pin(name.constData()); });
}

void SEDQ_TX_MANAGER::set_trigger_out_instance(QString const& instance)
{
    QString current;
    get_trigger_out_instance(&current, SEDQ_CURRENT);
    const QByteArray name = instance.toLocal8Bit();
    sedq_edit_trigger(this, instance.isEmpty() || instance == current, ALWAYS, 0, [&name](SDR_TX_TRIGGER* trigger) {
        return trigger->set_trigger_out_instance(name.constData());
    });
}

void SEDQ_TX_MANAGER::set_trigger_out_hps_event_index(QString const& index)
{
    QString current;
    get_trigger_out_hps_event_index(&current, SEDQ_CURRENT);
    const int value = index.toInt();
    sedq_edit_trigger(this, index.isEmpty() || index == current, ALWAYS, 0,
                      [value](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_out_hps_event_index(value); });
}

void SEDQ_TX_MANAGER::set_trigger_out_condition(QString const& condition)
{
    QString current;
    get_trigger_out_condition(&current, SEDQ_CURRENT);
    if (condition.isEmpty() || condition == current)
        return;
    const SDR_DATA_TRIGGER_CONDITION value = convert_to_trigger_condition_type(condition);
    sedq_edit_trigger(this, false, ALWAYS, 0,
                      [value](SDR_TX_TRIGGER* trigger) { return trigger->set_trigger_out_condition(value); });
}

// ---- text forms ------------------------------------------------------------------------------

namespace
{
SDR_DATA_SIGNAL_SET* find_signal_set(SDR_TX_SESSION* session, char const* instance, char const* signal_set)
{
    SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    SDR_DATA_INSTANCE* found = data != nullptr && instance != nullptr ? data->find_instance(instance) : nullptr;
    return found != nullptr && signal_set != nullptr ? found->find_signal_set(signal_set) : nullptr;
}
} // namespace

void SEDQ_TX_MANAGER::get_signals_names(QString* out, char const* instance, char const* signal_set)
{
    if (SDR_DATA_SIGNAL_SET* set = find_signal_set(m_tx_session, instance, signal_set))
        out->append(QString::fromLocal8Bit(set->to_string().c_str()));
}

void SEDQ_TX_MANAGER::get_trigger_expression(QString* out, char const* instance, char const* signal_set,
                                             char const* trigger)
{
    SDR_DATA_SIGNAL_SET* set = find_signal_set(m_tx_session, instance, signal_set);
    SDR_DATA_TRIGGER* found = set != nullptr && trigger != nullptr ? set->find_trigger(trigger) : nullptr;
    if (found != nullptr)
        out->append(QString::fromLocal8Bit(found->to_string(false).c_str()));
}
