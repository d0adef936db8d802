// document.xml of a trigger: settings, levels with their stored trees, resources and node rows.
#include "host/sdr/sdr_file_document_writer.h"

#include "host/sdr/sdr_tx_signal_nodes.h"

#include <algorithm>

namespace
{
std::vector<int> condition_numbers(const QVector<SDR_DATA_TRIGGER_CONDITION>& conditions)
{
    return std::vector<int>(conditions.begin(), conditions.end());
}
} // namespace

void SDR_FILE_DOCUMENT_WRITER::write_trigger(const SDR_DATA_TRIGGER& trigger)
{
    const SDR_TRIGGER_STATE& s = trigger.state();
    m_out.start("trigger");
    m_out.text("name", s.name);
    m_out.boolean("expanded", trigger.m_expanded);
    m_out.boolean("incremental_route", trigger.m_using_incremental_route);
    m_out.integers("active_log", trigger.m_active_log, 2);
    write_trigger_settings(s);
    write_trigger_io(s);
    write_levels(trigger);
    write_resources(s);
    write_stored_tree("state_machine", trigger.m_stored_state_machine);
    write_rows("trigger_list", s.trigger_list);
    const SDR_DATA_LOG* previous = nullptr;
    for (const auto& log : trigger.m_logs) {
        write_log(*log, previous);
        previous = log.get();
    }
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_trigger_settings(const SDR_TRIGGER_STATE& s)
{
    m_out.boolean("state_based", s.state_based);
    m_out.integer("position", s.position);
    m_out.boolean("segmented", s.segmented);
    m_out.integer("segment_size", s.segment_size);
    m_out.integer("trigger_type", s.trigger_type);
    m_out.integer("sq_type", s.sq_type);
    m_out.text("sq_port", s.sq_port_name);
    m_out.boolean("sq_port_post_fitting", s.sq_port_post_fitting);
    m_out.boolean("sq_port_companion", s.sq_port_companion);
    m_out.boolean("record_discontinuities", s.record_discontinuities);
    m_out.boolean("sq_disabled", s.sq_disabled);
    m_out.integer("runtime_options", s.runtime_options);
    m_out.boolean("state_machine_changed", s.state_machine_changed);
}

void SDR_FILE_DOCUMENT_WRITER::write_trigger_io(const SDR_TRIGGER_STATE& s)
{
    const SDR_TRIGGER_IN& in = s.trigger_in;
    m_out.start("trigger_in");
    m_out.boolean("enabled", in.enabled);
    m_out.integer("source", in.source);
    m_out.text("pin", in.pin);
    m_out.text("node", in.node);
    m_out.boolean("node_post_fitting", in.node_post_fitting);
    m_out.boolean("node_valid", in.node_valid);
    m_out.text("instance", in.instance);
    m_out.integer("condition", in.condition);
    m_out.end();
    const SDR_TRIGGER_OUT& out = s.trigger_out;
    m_out.start("trigger_out");
    m_out.boolean("enabled", out.enabled);
    m_out.booleans("selected", out.selected, 6);
    m_out.text("pin", out.pin);
    m_out.text("instance", out.instance);
    m_out.text("instance_tooltip", out.instance_tooltip);
    m_out.integer("condition", out.condition);
    m_out.integer("hps_event_index", out.hps_event_index);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_levels(const SDR_DATA_TRIGGER& trigger)
{
    const SDR_TRIGGER_STATE& s = trigger.state();
    for (size_t i = 0; i < s.levels.size(); ++i) {
        const SDR_TRIGGER_LEVEL& level = s.levels[i];
        m_out.start("level");
        m_out.text("name", level.name);
        m_out.integer("type", level.type);
        m_out.boolean("enabled", level.enabled);
        m_out.text("expression", level.expression);
        m_out.booleans("adv_modified", level.adv_modified, 2);
        if (i < trigger.m_stored_level_trees.size())
            write_stored_tree("tree", trigger.m_stored_level_trees[i]);
        m_out.end();
    }
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k) {
        const SDR_SQ_PATTERN& pattern = s.sq_patterns[k];
        m_out.start("sq_pattern");
        m_out.integer("index", k);
        m_out.integer("type", pattern.type);
        m_out.text("expression", pattern.expression);
        m_out.booleans("adv_modified", pattern.adv_modified, 2);
        write_stored_tree("tree", trigger.m_stored_sq_trees[k]);
        m_out.end();
    }
}

void SDR_FILE_DOCUMENT_WRITER::write_resources(const SDR_TRIGGER_STATE& s)
{
    for (const SDR_TRIGGER_FLAG& flag : s.flags) {
        m_out.start("flag");
        m_out.text("name", flag.name);
        m_out.integer("initial", flag.initial);
        m_out.end();
    }
    for (const SDR_TRIGGER_COUNTER& counter : s.counters) {
        m_out.start("counter");
        m_out.text("name", counter.name);
        m_out.integer("width", counter.width);
        m_out.integer("initial", counter.initial);
        m_out.end();
    }
}

// An absent tree is written as nothing at all, so that reading tells "no tree" (a level that
// only has an expression) from an empty one.
void SDR_FILE_DOCUMENT_WRITER::write_stored_tree(const char* element, const SDR_STORED_TREE& tree)
{
    if (!tree.present)
        return;
    m_out.start(element);
    write_attributes(tree.attributes);
    for (const SDR_TREE_RECORD& root : tree.roots)
        write_tree_record(root);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_tree_record(const SDR_TREE_RECORD& record)
{
    m_out.start("object");
    write_attributes(record.attributes);
    for (const SDR_TREE_RECORD& child : record.children)
        write_tree_record(child);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_attributes(const std::vector<std::pair<std::string, std::string>>& attributes)
{
    for (const auto& pair : attributes) {
        m_out.start("attribute");
        m_out.text("key", pair.first);
        m_out.text("value", pair.second);
        m_out.end();
    }
}

void SDR_FILE_DOCUMENT_WRITER::write_rows(const char* element, const SDR_NODE_LIST& rows)
{
    if (rows.size() > SDR_FILE_LIMITS::MAX_ROWS_PER_LIST && m_problem.isEmpty())
        m_problem = QStringLiteral("a node list holds %1 rows, more than the %2 of a list of an analyzer file")
                        .arg(rows.size())
                        .arg(SDR_FILE_LIMITS::MAX_ROWS_PER_LIST);
    m_out.start(element);
    for (const SDR_NODE_ROW& row : rows)
        write_row(row);
    m_out.end();
}

// Rows are most of a large document and most of their values are the defaults the reader takes
// for missing attributes: only the others are written.
void SDR_FILE_DOCUMENT_WRITER::write_row(const SDR_NODE_ROW& r)
{
    m_out.start("row");
    m_out.integer("link_id", r.link_id, 0);
    m_out.text_unless_empty("name", r.name);
    m_out.integer("signal_type", r.signal_type, SDR_STYPE_PLAIN);
    m_out.text_unless_empty("alias", r.alias);
    if (r.has_debug_port_out)
        m_out.text("debug_port_out", r.debug_port_out);
    m_out.boolean("debug_port_out_enabled", r.debug_port_out_enabled, false);
    m_out.integer("display_type", r.display_type, SDR_NTYPE_STANDALONE);
    m_out.integer("depth", r.depth, 0);
    m_out.boolean("expanded", r.expanded, true);
    m_out.integer("capture", r.capture_type, SDR_WTYPE_DATA_AND_TRIGGER);
    m_out.integer("tap", r.tap_mode, SDR_TAP_PRE_SYNTHESIS);
    m_out.boolean("storage", r.storage_enabled, false);
    m_out.boolean("transition", r.transition_enabled, false);
    m_out.boolean("inverted", r.inverted, false);
    m_out.integer("node_flag", r.node_flag, 0);
    m_out.boolean("data_tab_only", r.data_tab_only, false);
    m_out.integer("radix", r.radix, SDR_GTYPE_INVALID);
    m_out.boolean("lsb_to_msb", r.lsb_to_msb, false);
    m_out.text_unless_empty("mnemonic_table", r.mnemonic_table);
    if (r.link_mask != 0 || r.link_mask2 != 0 || r.link_type != 0)
        m_out.integers("link", std::vector<int>{r.link_mask, r.link_mask2, r.link_type});
    const auto plugin = m_plugin_ids.find(r.plugin_group);
    if (r.plugin_group && plugin != m_plugin_ids.end())
        m_out.integer("plugin", plugin->second);
    write_patterns(r, SDR_COPY_NORMAL, "normal");
    write_patterns(r, SDR_COPY_POWER_UP, "power_up");
    m_out.end();
}

// A copy left at the defaults of its row (the reader fills missing conditions with them) is
// not written at all; comparisons are mostly untouched defaults, only the others are written.
void SDR_FILE_DOCUMENT_WRITER::write_patterns(const SDR_NODE_ROW& row, int copy, const char* name)
{
    const SDR_NODE_PATTERNS& p = row.patterns[copy];
    const SDR_DATA_TRIGGER_CONDITION fill = SDR_TX_SIGNAL_NODES::default_condition(row);
    const bool default_conditions =
        std::all_of(p.conditions.begin(), p.conditions.end(), [fill](SDR_DATA_TRIGGER_CONDITION c) { return c == fill; });
    const bool default_sq = std::all_of(p.sq_conditions, p.sq_conditions + SDR_NUM_SQ_PATTERNS,
                                        [](SDR_DATA_TRIGGER_CONDITION c) { return c == SDR_CTYPE_DONT_CARE; });
    const SDR_NODE_COMPARISON fresh;
    const bool default_comparisons =
        std::all_of(p.comparisons.begin(), p.comparisons.end(), [&fresh](const SDR_NODE_COMPARISON& c) { return c == fresh; }) &&
        std::all_of(p.sq_comparisons, p.sq_comparisons + SDR_NUM_SQ_PATTERNS,
                    [&fresh](const SDR_NODE_COMPARISON& c) { return c == fresh; });
    if (default_conditions && default_sq && default_comparisons)
        return;
    m_out.start("patterns");
    m_out.text("copy", name);
    if (!default_conditions)
        m_out.integers("conditions", condition_numbers(p.conditions));
    if (!default_sq)
        m_out.integers("sq_conditions", std::vector<int>(p.sq_conditions, p.sq_conditions + SDR_NUM_SQ_PATTERNS));
    for (int i = 0; i < p.comparisons.size(); ++i)
        if (!(p.comparisons[i] == fresh))
            write_comparison("comparison", i, p.comparisons[i]);
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k)
        if (!(p.sq_comparisons[k] == fresh))
            write_comparison("sq_comparison", k, p.sq_comparisons[k]);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_comparison(const char* element, int index, const SDR_NODE_COMPARISON& c)
{
    m_out.start(element);
    m_out.integer("index", index);
    m_out.boolean("member", c.member);
    m_out.boolean("enabled", c.enabled);
    m_out.integers("operands", std::vector<int>{c.op1, c.value1, c.op2, c.value2});
    m_out.end();
}
