// Test seams of the analyzer data repository: a text dump of every persistent field of a
// document, and the comparison of two documents through their dumps.

#include "host/standin/sdr_control.h"

#include <QCryptographicHash>

#include <sstream>
#include <type_traits>

namespace standin::sdr
{
namespace
{
// Writes "path: value" lines under a nesting prefix.
class dumper
{
public:
    explicit dumper(std::ostringstream& out) : m_out(out) {}

    dumper child(const std::string& name) const { return dumper(m_out, m_prefix + name + "."); }
    dumper item(const std::string& name, size_t index) const
    {
        return dumper(m_out, m_prefix + name + "[" + std::to_string(index) + "].");
    }
    template <typename T>
    void put(const std::string& key, const T& value) const
    {
        // Enumerations are one byte wide: written as numbers, not as characters.
        if constexpr (std::is_enum<T>::value)
            m_out << m_prefix << key << ": " << int(value) << "\n";
        else
            m_out << m_prefix << key << ": " << value << "\n";
    }
    void put(const std::string& key, bool value) const { put(key, value ? "true" : "false"); }
    void put(const std::string& key, const QByteArray& bytes) const
    {
        // Small blocks in full, large ones by size and digest, so dumps stay readable.
        if (bytes.size() <= 64)
            put(key, bytes.toHex().toStdString());
        else
            put(key, std::to_string(bytes.size()) + " bytes md5 " +
                         QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString());
    }

private:
    dumper(std::ostringstream& out, std::string prefix) : m_out(out), m_prefix(std::move(prefix)) {}

    std::ostringstream& m_out;
    std::string m_prefix;
};

template <typename T>
std::string join(const T& values)
{
    std::string text;
    for (const auto& v : values)
        text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

void dump_int_map(const dumper& d, const SDR_INT_DATA_MAP& map)
{
    for (const auto& entry : map)
        d.put(entry.first, join(entry.second));
}

void dump_comparison(const dumper& d, const SDR_NODE_COMPARISON& c)
{
    d.put("cmp", std::to_string(c.member) + "," + std::to_string(c.enabled) + "," + std::to_string(c.op1) + "," +
                     std::to_string(c.value1) + "," + std::to_string(c.op2) + "," + std::to_string(c.value2));
}

void dump_patterns(const dumper& d, const SDR_NODE_PATTERNS& p)
{
    d.put("conditions", join(p.conditions));
    for (int i = 0; i < p.comparisons.size(); ++i)
        dump_comparison(d.item("comparison", i), p.comparisons[i]);
    d.put("sq_conditions", join(std::vector<int>(std::begin(p.sq_conditions), std::end(p.sq_conditions))));
    for (int i = 0; i < SDR_NUM_SQ_PATTERNS; ++i)
        dump_comparison(d.item("sq_comparison", i), p.sq_comparisons[i]);
}

void dump_plugin(const dumper& d, const SDR_PLUGIN_GROUP& g)
{
    d.put("plugin_name", g.get_plugin_name());
    d.put("table_name", g.get_table_name());
    d.put("width", g.get_width());
    d.put("static_table_index", g.get_static_table_index());
    for (int i = 0; i < g.get_user_option_count(); ++i) {
        const char* name = nullptr;
        const char* value = nullptr;
        const char* description = nullptr;
        int type = 0;
        g.get_user_option(i, &name, &value, &type, &description);
        d.item("user_option", i).put("value", std::string(name) + "=" + value + " type " + std::to_string(type) +
                                                  " (" + description + ")");
    }
    for (int i = 0; i < g.get_internal_option_count(); ++i) {
        const char* name = nullptr;
        const char* value = nullptr;
        g.get_internal_option(i, &name, &value);
        d.item("internal_option", i).put("value", std::string(name) + "=" + value);
    }
    for (auto it = g.get_trigger_symbols().begin(); it != g.get_trigger_symbols().end(); ++it)
        d.put("trigger_symbol." + std::to_string(it.key()), it.value().toStdString());
}

void dump_row(const dumper& d, const SDR_NODE_ROW& r)
{
    d.put("link_id", r.link_id);
    d.put("name", r.name);
    d.put("signal_type", r.signal_type);
    d.put("alias", r.alias);
    d.put("debug_port_out", r.has_debug_port_out ? r.debug_port_out : std::string("(null)"));
    d.put("debug_port_out_enabled", r.debug_port_out_enabled);
    d.put("tree", std::to_string(r.display_type) + " depth " + std::to_string(r.depth) + " end " +
                      std::to_string(r.subtree_end));
    d.put("expanded", r.expanded);
    d.put("capture", std::to_string(r.capture_type) + " tap " + std::to_string(r.tap_mode));
    d.put("storage", r.storage_enabled);
    d.put("transition", r.transition_enabled);
    d.put("inverted", r.inverted);
    d.put("node_flag", r.node_flag);
    d.put("radix", r.radix);
    d.put("lsb_to_msb", r.lsb_to_msb);
    d.put("mnemonic_table", r.mnemonic_table);
    d.put("link", std::to_string(r.link_mask) + "," + std::to_string(r.link_mask2) + "," + std::to_string(r.link_type));
    dump_patterns(d.child("normal"), r.patterns[SDR_COPY_NORMAL]);
    dump_patterns(d.child("power_up"), r.patterns[SDR_COPY_POWER_UP]);
    if (r.plugin_group != nullptr)
        dump_plugin(d.child("plugin"), *r.plugin_group);
}

void dump_rows(const dumper& d, const std::string& name, const SDR_NODE_LIST& list)
{
    d.put(name + ".count", list.size());
    for (int i = 0; i < list.size(); ++i)
        dump_row(d.item(name, i), list[i]);
}

void dump_tree_record(const dumper& d, const SDR_TREE_RECORD& record)
{
    for (const auto& attribute : record.attributes)
        d.put("attr." + attribute.first, attribute.second);
    for (size_t i = 0; i < record.children.size(); ++i)
        dump_tree_record(d.item("child", i), record.children[i]);
}

void dump_stored_tree(const dumper& d, const SDR_STORED_TREE& tree)
{
    d.put("present", tree.present);
    for (size_t i = 0; i < tree.roots.size(); ++i)
        dump_tree_record(d.item("root", i), tree.roots[i]);
    for (const auto& attribute : tree.attributes)
        d.put("attr." + attribute.first, attribute.second);
}

void dump_table(const dumper& d, const SDR_DATA_MNEMONICS_TABLE& table)
{
    d.put("name", table.get_name());
    d.put("width", table.get_width());
    for (int j = 0; j < table.get_num_entries(); ++j)
        d.item("entry", j).put("value", std::string(table.get_first_symbol(j)) + "=" + table.get_value(j));
}

void dump_payload(const dumper& d, const SDR_LOG_PAYLOAD& p)
{
    d.put("depth", p.depth);
    d.put("channels", p.channel_count);
    d.put("segment_size", p.segment_size);
    d.put("trigger_position", p.trigger_position);
    d.put("segment_trigger_positions", join(p.segment_trigger_positions));
    d.put("channel_bits", p.channel_bits);
    d.put("valid_bits", p.valid_bits);
    d.put("trigger_bits", p.trigger_bits);
    d.put("break_bits", p.break_bits);
    d.put("connected", p.connected);
    d.put("state_value", p.state_value);
    d.put("flag_values", p.flag_values);
    d.put("counter_values", join(p.counter_values));
}

void dump_log(const dumper& d, const SDR_DATA_LOG& log)
{
    d.put("name", log.m_name);
    d.put("expanded", log.m_expanded);
    d.put("power_up", log.m_power_up);
    d.put("global_temp", log.m_global_temp);
    d.put("signal_set", log.m_signal_set != nullptr ? log.m_signal_set->state().name : std::string("(none)"));
    // With the count, and commas in names escaped, so that no two lists dump alike: no wire and
    // one unnamed wire, or one wire "a,b" and the two wires "a" and "b".
    std::string wires = std::to_string(log.m_wire_names.size()) + ":";
    for (size_t i = 0; i < log.m_wire_names.size(); ++i) {
        const std::string& name = log.m_wire_names[i];
        wires += i == 0 ? " " : ",";
        for (const char c : name)
            wires += c == ',' || c == '\\' ? std::string{'\\', c} : std::string(1, c);
    }
    d.put("wires", wires);
    if (log.m_payload.is_damaged()) {
        // Damaged samples: what document.xml gives for them, and that they are kept as stored.
        const dumper damaged = d.child("damaged_payload");
        damaged.put("depth", log.m_payload.declared()->depth);
        damaged.put("channels", log.m_payload.declared()->channel_count);
        damaged.put("segment_size", log.m_payload.declared()->segment_size);
        damaged.put("trigger_position", log.m_payload.declared()->trigger_position);
        damaged.put("segment_trigger_positions", join(log.m_payload.declared()->segment_trigger_positions));
    } else if (log.m_payload) {
        dump_payload(d.child("payload"), *log.m_payload);
    }
    for (const auto& table : log.m_static_plugin_tables)
        dump_table(d.item("static_table", table.first), *table.second);
}

void dump_trigger_settings(const dumper& d, const SDR_TRIGGER_STATE& s)
{
    d.put("name", s.name);
    d.put("state_based", s.state_based);
    d.put("position", s.position);
    d.put("segmented", std::to_string(s.segmented) + " size " + std::to_string(s.segment_size));
    d.put("trigger_type", s.trigger_type);
    d.put("sq", std::to_string(s.sq_type) + " port " + s.sq_port_name + " post " +
                    std::to_string(s.sq_port_post_fitting) + " companion " + std::to_string(s.sq_port_companion));
    d.put("record_discontinuities", s.record_discontinuities);
    d.put("sq_disabled", s.sq_disabled);
    const SDR_TRIGGER_IN& in = s.trigger_in;
    d.put("trigger_in", std::to_string(in.enabled) + "," + std::to_string(in.source) + "," + in.pin + "," + in.node +
                            "," + std::to_string(in.node_post_fitting) + "," + std::to_string(in.node_valid) + "," +
                            in.instance + "," + std::to_string(in.condition));
    const SDR_TRIGGER_OUT& out = s.trigger_out;
    d.put("trigger_out", std::to_string(out.enabled) + "," +
                             join(std::vector<int>(std::begin(out.selected), std::end(out.selected))) + "," + out.pin +
                             "," + out.instance + "," + out.instance_tooltip + "," + std::to_string(out.condition) +
                             "," + std::to_string(out.hps_event_index));
    for (size_t i = 0; i < s.flags.size(); ++i)
        d.item("flag", i).put("value", s.flags[i].name + "=" + std::to_string(s.flags[i].initial));
    for (size_t i = 0; i < s.counters.size(); ++i)
        d.item("counter", i).put("value", s.counters[i].name + " width " + std::to_string(s.counters[i].width) +
                                              " initial " + std::to_string(s.counters[i].initial));
    d.put("runtime_options", s.runtime_options);
    d.put("state_machine_changed", s.state_machine_changed);
}

void dump_trigger(const dumper& d, const SDR_DATA_TRIGGER& t)
{
    const SDR_TRIGGER_STATE& s = t.state();
    dump_trigger_settings(d, s);
    for (size_t i = 0; i < s.levels.size(); ++i) {
        dumper level = d.item("level", i);
        const SDR_TRIGGER_LEVEL& l = s.levels[i];
        level.put("value", l.name + " type " + std::to_string(l.type) + " enabled " + std::to_string(l.enabled) +
                               " modified " + std::to_string(l.adv_modified[0]) + std::to_string(l.adv_modified[1]));
        level.put("expression", l.expression);
        if (i < t.m_stored_level_trees.size())
            dump_stored_tree(level.child("tree"), t.m_stored_level_trees[i]);
    }
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k) {
        dumper sq = d.item("sq_pattern", k);
        const SDR_SQ_PATTERN& p = s.sq_patterns[k];
        sq.put("value", "type " + std::to_string(p.type) + " modified " + std::to_string(p.adv_modified[0]) +
                            std::to_string(p.adv_modified[1]));
        sq.put("expression", p.expression);
        dump_stored_tree(sq.child("tree"), t.m_stored_sq_trees[k]);
    }
    dump_stored_tree(d.child("state_machine"), t.m_stored_state_machine);
    d.put("expanded", t.m_expanded);
    d.put("using_incremental_route", t.m_using_incremental_route);
    dump_rows(d, "row", s.trigger_list);
    d.put("active_log", std::to_string(t.m_active_log[0]) + "," + std::to_string(t.m_active_log[1]));
    for (size_t i = 0; i < t.m_logs.size(); ++i)
        dump_log(d.item("log", i), *t.m_logs[i]);
}

void dump_signal_set(const dumper& d, const SDR_DATA_SIGNAL_SET& set)
{
    const SDR_SIGNAL_SET_STATE& s = set.state();
    d.put("name", s.name);
    d.put("clock", s.clock_name + (s.clock_post_fitting ? " (post-fitting)" : ""));
    d.put("sample_depth", s.sample_depth);
    d.put("ram_type", s.ram_type);
    d.put("pipeline_level", s.pipeline_level);
    d.put("allocated", join(std::vector<int>(std::begin(s.allocated), std::end(s.allocated))));
    d.put("tessarelle_allocated",
          join(std::vector<int>(std::begin(s.tessarelle_allocated), std::end(s.tessarelle_allocated))));
    d.put("top_entity_name", s.has_top_entity_name ? s.top_entity_name : std::string("(null)"));
    d.put("assignment_350_value", s.assignment_350_value);
    d.put("wizard_trigger_in_out", std::to_string(s.wizard_trigger_in_enabled) +
                                       std::to_string(s.wizard_trigger_out_enabled));
    d.put("expanded", set.m_expanded);
    dump_rows(d, "data_row", s.data_list);
    d.put("active_trigger", set.m_active_trigger);
    for (size_t i = 0; i < set.m_triggers.size(); ++i)
        dump_trigger(d.item("trigger", i), *set.m_triggers[i]);
}

void dump_instance(const dumper& d, const SDR_DATA_INSTANCE& instance)
{
    d.put("name", instance.m_state.name);
    d.put("enabled", instance.m_state.enabled);
    d.put("powerup_enabled", instance.m_state.powerup_enabled);
    d.put("expanded", instance.m_expanded);
    d.put("version", std::to_string(instance.m_version) + " newer " + std::to_string(instance.m_newer) + " older " +
                         std::to_string(instance.m_older) + " undefined " +
                         std::to_string(instance.m_version_not_defined));
    const SDR_DATA_INSTANCE_INFO& info = instance.m_node_info;
    d.put("node_info", std::to_string(info.m_field1) + "," + std::to_string(info.m_field2) + "," +
                           std::to_string(info.m_field3) + "," + std::to_string(info.m_version) + "," +
                           std::to_string(info.m_generator));
    d.put("incremental_route_available", instance.m_incremental_route_available);
    dump_int_map(d.child("position"), instance.m_position_data[0]);
    dump_int_map(d.child("position_power_up"), instance.m_position_data[1]);
    d.put("active_signal_set", instance.m_active_signal_set);
    for (size_t i = 0; i < instance.m_signal_sets.size(); ++i)
        dump_signal_set(d.item("signal_set", i), *instance.m_signal_sets[i]);
}
} // namespace

std::string dump_document(const SDR_DATA_SESSION& session)
{
    std::ostringstream out;
    dumper d(out);
    d.put("name", session.m_name);
    d.put("stripped", session.m_stripped);
    d.put("original_name", session.m_original_name);
    d.put("gui_logging", session.m_gui_logging);
    d.put("tx_gen2", static_cast<int>(session.m_tx_gen2));
    d.put("jtag_chain", session.m_jtag_chain_name);
    d.put("jtag_device", session.m_jtag_device_name);
    d.put("sof_file", session.m_sof_file_name);
    dump_int_map(d.child("global"), session.m_global_data);
    for (size_t i = 0; i < session.m_embedded_files.size(); ++i) {
        const SDR_EMBEDDED_FILE& file = session.m_embedded_files[i];
        dumper e = d.item("embedded", i);
        e.put("name", file.name);
        e.put("bytes", file.bytes);
        e.put("info", file.has_inst_id_crc_info ? file.inst_id_crc_info : std::string("(null)"));
    }
    const SDR_DATA_MNEMONICS& mnemonics = session.m_mnemonics;
    for (int i = 0; i < mnemonics.get_num_tables(); ++i)
        dump_table(d.item("mnemonic_table", i), *mnemonics.get_table(i));
    for (size_t i = 0; i < session.m_instances.size(); ++i)
        dump_instance(d.item("instance", i), *session.m_instances[i]);
    return out.str();
}

std::string compare_documents(const SDR_DATA_SESSION& a, const SDR_DATA_SESSION& b)
{
    std::istringstream left(dump_document(a));
    std::istringstream right(dump_document(b));
    std::string l;
    std::string r;
    for (int line = 1;; ++line) {
        bool has_l = static_cast<bool>(std::getline(left, l));
        bool has_r = static_cast<bool>(std::getline(right, r));
        if (!has_l && !has_r)
            return "";
        if (!has_l || !has_r || l != r)
            return "line " + std::to_string(line) + ": " + (has_l ? l : "(end)") + " <> " + (has_r ? r : "(end)");
    }
}
} // namespace standin::sdr
