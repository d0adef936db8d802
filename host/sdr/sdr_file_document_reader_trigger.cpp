// Reading document.xml: triggers, their levels, stored trees and resources.
#include "host/sdr/sdr_file_document_reader.h"
#include "host/sdr/sdr_file_limits.h"

#include <climits>

void SDR_FILE_DOCUMENT_READER::read_trigger(SDR_DATA_SIGNAL_SET* signal_set)
{
    if (!count(SDR_FILE_ELEMENT::TRIGGER))
        return;
    auto owned = std::make_unique<SDR_DATA_TRIGGER>(signal_set, m_in->text("name"));
    SDR_DATA_TRIGGER* trigger = owned.get();
    signal_set->m_triggers.push_back(std::move(owned));
    SDR_TRIGGER_STATE* state = trigger->m_state.data();
    state->levels.clear();
    trigger->m_level_trees.clear();
    trigger->m_expanded = m_in->boolean("expanded", false);
    trigger->m_using_incremental_route = m_in->boolean("incremental_route", false);
    int active_log[2] = {-1, -1};
    m_in->integers_into("active_log", active_log, 2, -1, INT_MAX);
    read_trigger_settings(state);
    while (m_in->next_child()) {
        if (m_in->is("level"))
            read_level(trigger, state);
        else if (m_in->is("sq_pattern"))
            read_sq_pattern(trigger, state);
        else if (m_in->is("state_machine"))
            read_stored_tree(&trigger->m_stored_state_machine);
        else if (m_in->is("trigger_list"))
            read_rows(&state->trigger_list);
        else if (m_in->is("log"))
            read_log(trigger);
        else
            read_trigger_leaf(state);
    }
    finish_trigger(trigger, active_log[0], active_log[1]);
}

// Elements made of attributes only; unknown ones are passed over.
void SDR_FILE_DOCUMENT_READER::read_trigger_leaf(SDR_TRIGGER_STATE* state)
{
    if (m_in->is("trigger_in"))
        read_trigger_in(&state->trigger_in);
    else if (m_in->is("trigger_out"))
        read_trigger_out(&state->trigger_out);
    else if (m_in->is("flag") && count(SDR_FILE_ELEMENT::FLAG))
        state->flags.push_back(SDR_TRIGGER_FLAG{m_in->text("name"), m_in->integer("initial", 0, INT_MIN, INT_MAX)});
    else if (m_in->is("counter") && count(SDR_FILE_ELEMENT::COUNTER))
        state->counters.push_back(
            SDR_TRIGGER_COUNTER{m_in->text("name"), m_in->integer("width", 8, 0, INT_MAX), m_in->uinteger("initial", 0)});
    m_in->skip();
}

void SDR_FILE_DOCUMENT_READER::read_trigger_settings(SDR_TRIGGER_STATE* s)
{
    s->state_based = m_in->boolean("state_based", false);
    s->position = SDR_DATA_TRIGGER_POSITION(m_in->integer("position", SDR_TPOS_PRE, SDR_TPOS_PRE, SDR_TPOS_CONTINUOUS));
    s->segmented = m_in->boolean("segmented", false);
    s->segment_size = m_in->integer("segment_size", 0, 0, INT_MAX);
    s->trigger_type = m_in->integer("trigger_type", 0, INT_MIN, INT_MAX);
    s->sq_type = SDR_DATA_STORAGE_QUALIFIER_TYPE(
        m_in->integer("sq_type", SDR_SQTYPE_CONTINUOUS, SDR_SQTYPE_CONTINUOUS, SDR_SQTYPE_INVALID_TYPE));
    s->sq_port_name = m_in->text("sq_port");
    s->sq_port_post_fitting = m_in->boolean("sq_port_post_fitting", false);
    s->sq_port_companion = m_in->boolean("sq_port_companion", false);
    s->record_discontinuities = m_in->boolean("record_discontinuities", false);
    s->sq_disabled = m_in->boolean("sq_disabled", false);
    s->runtime_options = m_in->integer("runtime_options", 0, 0, 15);
    s->state_machine_changed = m_in->boolean("state_machine_changed", false);
}

void SDR_FILE_DOCUMENT_READER::read_trigger_in(SDR_TRIGGER_IN* in)
{
    in->enabled = m_in->boolean("enabled", false);
    in->source = SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE(m_in->integer("source", SDR_IOSRC_PIN, SDR_IOSRC_PIN,
                                                                   SDR_IOSRC_HPS_EVENT_INDEX));
    in->pin = m_in->text("pin");
    in->node = m_in->text("node");
    in->node_post_fitting = m_in->boolean("node_post_fitting", false);
    in->node_valid = m_in->boolean("node_valid", true);
    in->instance = m_in->text("instance");
    in->condition = SDR_DATA_TRIGGER_CONDITION(m_in->integer("condition", SDR_CTYPE_DONT_CARE, 0, SDR_CTYPE_ADVANCED));
}

void SDR_FILE_DOCUMENT_READER::read_trigger_out(SDR_TRIGGER_OUT* out)
{
    out->enabled = m_in->boolean("enabled", false);
    m_in->booleans_into("selected", out->selected, 6);
    out->pin = m_in->text("pin");
    out->instance = m_in->text("instance");
    out->instance_tooltip = m_in->text("instance_tooltip");
    out->condition = SDR_DATA_TRIGGER_CONDITION(m_in->integer("condition", SDR_CTYPE_ACTIVE_HIGH, 0, SDR_CTYPE_ADVANCED));
    out->hps_event_index = m_in->integer("hps_event_index", 0, INT_MIN, INT_MAX);
}

void SDR_FILE_DOCUMENT_READER::read_level(SDR_DATA_TRIGGER* trigger, SDR_TRIGGER_STATE* state)
{
    if (state->levels.size() >= size_t(SDR_MAX_TRIGGER_LEVELS)) {
        m_in->fail(QStringLiteral("more than %1 trigger levels").arg(SDR_MAX_TRIGGER_LEVELS));
        return;
    }
    if (!count(SDR_FILE_ELEMENT::LEVEL))
        return;
    SDR_TRIGGER_LEVEL level;
    level.name = m_in->text("name", sdr_default_level_name(int(state->levels.size())));
    level.type = SDR_DATA_TRIGGER_LEVEL_TYPE(m_in->integer("type", SDR_LTYPE_BASIC_AND, SDR_LTYPE_BASIC_AND,
                                                           SDR_LTYPE_ADVANCED));
    level.enabled = m_in->boolean("enabled", true);
    level.expression = m_in->text("expression");
    m_in->booleans_into("adv_modified", level.adv_modified, 2);
    state->levels.push_back(level);
    trigger->m_stored_level_trees.resize(state->levels.size());
    while (m_in->next_child()) {
        if (m_in->is("tree"))
            read_stored_tree(&trigger->m_stored_level_trees.back());
        else
            m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_sq_pattern(SDR_DATA_TRIGGER* trigger, SDR_TRIGGER_STATE* state)
{
    const int index = m_in->integer("index", -1, 0, SDR_NUM_SQ_PATTERNS - 1);
    if (m_in->failed())
        return;
    if (index < 0) {
        m_in->fail(QStringLiteral("storage qualifier pattern without index"));
        return;
    }
    SDR_SQ_PATTERN& pattern = state->sq_patterns[index];
    pattern.type = SDR_DATA_TRIGGER_LEVEL_TYPE(m_in->integer("type", SDR_LTYPE_BASIC_AND, SDR_LTYPE_BASIC_AND,
                                                             SDR_LTYPE_ADVANCED));
    pattern.expression = m_in->text("expression");
    m_in->booleans_into("adv_modified", pattern.adv_modified, 2);
    while (m_in->next_child()) {
        if (m_in->is("tree"))
            read_stored_tree(&trigger->m_stored_sq_trees[index]);
        else
            m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_stored_tree(SDR_STORED_TREE* tree)
{
    *tree = SDR_STORED_TREE();
    tree->present = true;
    while (m_in->next_child()) {
        if (m_in->is("attribute")) {
            read_attribute(&tree->attributes);
        } else if (m_in->is("object")) {
            if (!count(SDR_FILE_ELEMENT::TREE_OBJECT))
                return;
            tree->roots.emplace_back();
            read_tree_record(&tree->roots.back(), 1);
        } else {
            m_in->skip();
        }
    }
}

// Objects nest once per input; the bound keeps a hostile file from exhausting the stack here
// and in the tree objects that are built from it.
void SDR_FILE_DOCUMENT_READER::read_tree_record(SDR_TREE_RECORD* record, int depth)
{
    if (depth > SDR_FILE_LIMITS::MAX_CONDITION_DEPTH) {
        m_in->fail(QStringLiteral("objects nested deeper than %1 levels").arg(SDR_FILE_LIMITS::MAX_CONDITION_DEPTH));
        return;
    }
    while (m_in->next_child()) {
        if (m_in->is("attribute")) {
            read_attribute(&record->attributes);
        } else if (m_in->is("object")) {
            if (!count(SDR_FILE_ELEMENT::TREE_OBJECT))
                return;
            record->children.emplace_back();
            read_tree_record(&record->children.back(), depth + 1);
        } else {
            m_in->skip();
        }
    }
}

bool SDR_FILE_DOCUMENT_READER::read_attribute(std::vector<std::pair<std::string, std::string>>* attributes)
{
    if (!m_in->has("key"))
        m_in->fail(QStringLiteral("attribute without key"));
    if (!count(SDR_FILE_ELEMENT::TREE_ATTRIBUTE))
        return false;
    attributes->emplace_back(m_in->text("key"), m_in->text("value"));
    m_in->skip();
    return !m_in->failed();
}

void SDR_FILE_DOCUMENT_READER::finish_trigger(SDR_DATA_TRIGGER* trigger, int first_active_log, int second_active_log)
{
    if (m_in->failed())
        return;
    SDR_TRIGGER_STATE* state = trigger->m_state.data();
    if (state->levels.empty()) {
        SDR_TRIGGER_LEVEL level;
        level.name = sdr_default_level_name(0);
        state->levels.push_back(level);
    }
    trigger->m_level_trees.assign(state->levels.size(), nullptr);
    trigger->m_stored_level_trees.resize(state->levels.size());
    const int logs = int(trigger->m_logs.size());
    if (first_active_log >= logs || second_active_log >= logs)
        m_in->fail(QStringLiteral("active log index out of range"));
    trigger->m_active_log[0] = first_active_log;
    trigger->m_active_log[1] = second_active_log;
    fit_rows_to_levels(&state->trigger_list, int(state->levels.size()));
    derive_tree(&state->trigger_list);
    for (const SDR_STORED_TREE& tree : trigger->m_stored_level_trees)
        m_session->m_tree_records_pending |= tree.present;
    for (const SDR_STORED_TREE& tree : trigger->m_stored_sq_trees)
        m_session->m_tree_records_pending |= tree.present;
    m_session->m_tree_records_pending |= trigger->m_stored_state_machine.present;
}
