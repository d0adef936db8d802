// SDR_TX_TRIGGER: plain trigger settings (position, segments, storage qualifier, trigger in and
// trigger out). Every write is undoable and a no-op when the value is already stored.
#include "host/sdr/sdr_tx_trigger.h"

#include <type_traits>

namespace
{
std::string text_of(const char* text)
{
    return text != nullptr ? std::string(text) : std::string();
}

// Values a condition field can hold (and the file can give back).
bool is_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return condition >= SDR_CTYPE_DISABLED && condition <= SDR_CTYPE_ADVANCED;
}

bool is_out_source(int source)
{
    return source == SDR_IOSRC_PIN || source == SDR_IOSRC_INSTANCE || source == SDR_IOSRC_HPS_TRIGGER_IN
           || source == SDR_IOSRC_HPS_EVENT_INDEX;
}
} // namespace

// A text the file could not store is refused like any value the field cannot hold.
template <typename FIELD, typename T>
bool SDR_TX_TRIGGER::assign(FIELD field, const T& value)
{
    const SDR_TRIGGER_STATE* s = state();
    if (s == nullptr)
        return false;
    if (field(*s) == value)
        return true;
    if constexpr (std::is_same_v<T, std::string>) {
        if (!text_fits(value, "the name"))
            return false;
    }
    return write([&field, &value](SDR_TRIGGER_STATE& w) { field(w) = value; });
}

#define SDR_FIELD(path) [](auto& s) -> auto& { return s.path; }

bool SDR_TX_TRIGGER::is_state_based() const
{
    return state() != nullptr && state()->state_based;
}

bool SDR_TX_TRIGGER::set_state_based(bool on)
{
    return assign(SDR_FIELD(state_based), on);
}

SDR_DATA_TRIGGER_POSITION SDR_TX_TRIGGER::get_position() const
{
    return state() != nullptr ? state()->position : SDR_TPOS_PRE;
}

bool SDR_TX_TRIGGER::set_position(SDR_DATA_TRIGGER_POSITION position)
{
    if (position < SDR_TPOS_PRE || position > SDR_TPOS_CONTINUOUS)
        return false;
    return assign(SDR_FIELD(position), position);
}

bool SDR_TX_TRIGGER::is_segmented() const
{
    return state() != nullptr && state()->segmented;
}

bool SDR_TX_TRIGGER::set_segmented(bool on)
{
    return assign(SDR_FIELD(segmented), on);
}

int SDR_TX_TRIGGER::get_segment_size() const
{
    return state() != nullptr ? state()->segment_size : 0;
}

bool SDR_TX_TRIGGER::set_segment_size(int size)
{
    return size >= 0 && assign(SDR_FIELD(segment_size), size);
}

SDR_DATA_STORAGE_QUALIFIER_TYPE SDR_TX_TRIGGER::get_sq_type() const
{
    return state() != nullptr ? state()->sq_type : SDR_SQTYPE_CONTINUOUS;
}

bool SDR_TX_TRIGGER::set_sq_type(SDR_DATA_STORAGE_QUALIFIER_TYPE type)
{
    if (type < SDR_SQTYPE_CONTINUOUS || type >= SDR_SQTYPE_INVALID_TYPE || is_refused("set_sq_type"))
        return false;
    return assign(SDR_FIELD(sq_type), type);
}

const char* SDR_TX_TRIGGER::get_sq_input_port(bool* post_fitting) const
{
    const SDR_TRIGGER_STATE* s = state();
    if (post_fitting != nullptr)
        *post_fitting = s != nullptr && s->sq_port_post_fitting;
    return s != nullptr ? s->sq_port_name.c_str() : "";
}

bool SDR_TX_TRIGGER::set_sq_input_port(const char* name, bool post_fitting)
{
    SDR_EDIT_SCOPE scope(m_instance); // name and netlist are one step
    return assign(SDR_FIELD(sq_port_name), text_of(name)) && assign(SDR_FIELD(sq_port_post_fitting), post_fitting);
}

bool SDR_TX_TRIGGER::set_sq_input_port_companion(bool on)
{
    return assign(SDR_FIELD(sq_port_companion), on);
}

bool SDR_TX_TRIGGER::is_record_discontinuities() const
{
    return state() != nullptr && state()->record_discontinuities;
}

bool SDR_TX_TRIGGER::set_record_discontinuities(bool on)
{
    return assign(SDR_FIELD(record_discontinuities), on);
}

bool SDR_TX_TRIGGER::is_sq_disabled() const
{
    return state() != nullptr && state()->sq_disabled;
}

bool SDR_TX_TRIGGER::set_sq_disabled(bool on)
{
    return assign(SDR_FIELD(sq_disabled), on);
}

// ---- trigger in ------------------------------------------------------------------------------

bool SDR_TX_TRIGGER::is_trigger_in_enabled() const
{
    return state() != nullptr && state()->trigger_in.enabled;
}

bool SDR_TX_TRIGGER::set_trigger_in_enabled(bool on)
{
    return assign(SDR_FIELD(trigger_in.enabled), on);
}

SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE SDR_TX_TRIGGER::get_trigger_in_source() const
{
    return state() != nullptr ? state()->trigger_in.source : SDR_IOSRC_PIN;
}

bool SDR_TX_TRIGGER::set_trigger_in_source(SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source)
{
    if (source < SDR_IOSRC_PIN || source > SDR_IOSRC_HPS_EVENT_INDEX)
        return false;
    return assign(SDR_FIELD(trigger_in.source), source);
}

const char* SDR_TX_TRIGGER::get_trigger_in_pin() const
{
    return state() != nullptr ? state()->trigger_in.pin.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_in_pin(const char* pin)
{
    return assign(SDR_FIELD(trigger_in.pin), text_of(pin));
}

const char* SDR_TX_TRIGGER::get_trigger_in_node() const
{
    return state() != nullptr ? state()->trigger_in.node.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_in_node(const char* node)
{
    return assign(SDR_FIELD(trigger_in.node), text_of(node));
}

bool SDR_TX_TRIGGER::is_trigger_in_node_post_fitting() const
{
    return state() != nullptr && state()->trigger_in.node_post_fitting;
}

bool SDR_TX_TRIGGER::set_trigger_in_node_post_fitting(bool on)
{
    return assign(SDR_FIELD(trigger_in.node_post_fitting), on);
}

bool SDR_TX_TRIGGER::is_trigger_in_node_valid() const
{
    return state() != nullptr && state()->trigger_in.node_valid;
}

bool SDR_TX_TRIGGER::set_trigger_in_node_valid(bool on)
{
    return assign(SDR_FIELD(trigger_in.node_valid), on);
}

const char* SDR_TX_TRIGGER::get_trigger_in_instance() const
{
    return state() != nullptr ? state()->trigger_in.instance.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_in_instance(const char* instance)
{
    return assign(SDR_FIELD(trigger_in.instance), text_of(instance));
}

SDR_DATA_TRIGGER_CONDITION SDR_TX_TRIGGER::get_trigger_in_condition() const
{
    return state() != nullptr ? state()->trigger_in.condition : SDR_CTYPE_DISABLED;
}

bool SDR_TX_TRIGGER::set_trigger_in_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return is_condition(condition) && assign(SDR_FIELD(trigger_in.condition), condition);
}

// ---- trigger out -----------------------------------------------------------------------------

bool SDR_TX_TRIGGER::is_trigger_out_enabled() const
{
    return state() != nullptr && state()->trigger_out.enabled;
}

bool SDR_TX_TRIGGER::set_trigger_out_enabled(bool on)
{
    return assign(SDR_FIELD(trigger_out.enabled), on);
}

bool SDR_TX_TRIGGER::is_trigger_out_selected(int source) const
{
    return state() != nullptr && is_out_source(source) && state()->trigger_out.selected[source];
}

bool SDR_TX_TRIGGER::set_trigger_out_selected(int source, bool on)
{
    if (!is_out_source(source))
        return false;
    return assign([source](auto& s) -> auto& { return s.trigger_out.selected[source]; }, on);
}

const char* SDR_TX_TRIGGER::get_trigger_out_pin() const
{
    return state() != nullptr ? state()->trigger_out.pin.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_out_pin(const char* pin)
{
    return assign(SDR_FIELD(trigger_out.pin), text_of(pin));
}

const char* SDR_TX_TRIGGER::get_trigger_out_instance() const
{
    return state() != nullptr ? state()->trigger_out.instance.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_out_instance(const char* instance)
{
    return assign(SDR_FIELD(trigger_out.instance), text_of(instance));
}

const char* SDR_TX_TRIGGER::get_trigger_out_instance_tooltip() const
{
    return state() != nullptr ? state()->trigger_out.instance_tooltip.c_str() : "";
}

bool SDR_TX_TRIGGER::set_trigger_out_instance_tooltip(const char* tooltip)
{
    return assign(SDR_FIELD(trigger_out.instance_tooltip), text_of(tooltip));
}

SDR_DATA_TRIGGER_CONDITION SDR_TX_TRIGGER::get_trigger_out_condition() const
{
    return state() != nullptr ? state()->trigger_out.condition : SDR_CTYPE_DISABLED;
}

bool SDR_TX_TRIGGER::set_trigger_out_condition(SDR_DATA_TRIGGER_CONDITION condition)
{
    return is_condition(condition) && assign(SDR_FIELD(trigger_out.condition), condition);
}

int SDR_TX_TRIGGER::get_trigger_out_hps_event_index() const
{
    return state() != nullptr ? state()->trigger_out.hps_event_index : 0;
}

bool SDR_TX_TRIGGER::set_trigger_out_hps_event_index(int index)
{
    return assign(SDR_FIELD(trigger_out.hps_event_index), index);
}

#undef SDR_FIELD
