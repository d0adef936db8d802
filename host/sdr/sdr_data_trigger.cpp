// SDR_DATA_TRIGGER: names, logs, compile data (CRC, latency), the text form and the wizard's
// level and expression presets.
#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_data_manager.h"

#include "host/sci.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_nodes.h"

#include <sstream>

namespace
{
bool is_attached(const SDR_DATA_TRIGGER* trigger)
{
    const SDR_DATA_INSTANCE* instance = trigger->get_instance();
    return instance != nullptr && instance->m_session != nullptr;
}
} // namespace

const char* SDR_DATA_TRIGGER::get_name() const
{
    return state().name.c_str();
}

bool SDR_DATA_TRIGGER::set_name(const char* name)
{
    if (name == nullptr || *name == '\0' || !is_attached(this))
        return false;
    if (state().name == name)
        return true;
    SDR_DATA_TRIGGER* other = m_signal_set->find_trigger(name);
    if (other != nullptr && other != this)
        return false;
    if (!SDR_DATA_MANAGER::text_fits(name, "the trigger name"))
        return false;
    SDR_EDIT_SCOPE scope(get_instance());
    edit().name = name;
    return true;
}

void SDR_DATA_TRIGGER::set_expanded_status(bool expanded)
{
    m_expanded = expanded;
}

bool SDR_DATA_TRIGGER::is_expanded() const
{
    return m_expanded;
}

SDR_DATA_LOG* SDR_DATA_TRIGGER::find_log(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const auto& log : m_logs)
    {
        if (log->m_name == name)
            return log.get();
    }
    return nullptr;
}

int SDR_DATA_TRIGGER::get_num_logs() const
{
    return int(m_logs.size());
}

SDR_DATA_LOG* SDR_DATA_TRIGGER::get_log_at(int index)
{
    if (index < 0 || index >= get_num_logs())
        return nullptr;
    return m_logs[size_t(index)].get();
}

bool SDR_DATA_TRIGGER::is_using_incremental_route() const
{
    return m_using_incremental_route;
}

// Computed from the current content, so a change after the last compile shows as a mismatch
// with the programmed device at once.
unsigned SDR_DATA_TRIGGER::get_crc_value(bool flag) const
{
    (void)flag;
    return SDR_TX_SESSION::compute_trigger_crc(this);
}

int SDR_DATA_TRIGGER::get_trigger_out_latency_delay() const
{
    return is_attached(this) ? m_latency_delay : -1;
}

std::string SDR_DATA_TRIGGER::to_string(bool flag)
{
    (void)flag;
    const SDR_TRIGGER_STATE& s = state();
    std::ostringstream out;
    out << "trigger " << s.name << " levels=" << s.levels.size() << " position=" << s.position
        << " sq=" << s.sq_type << (s.state_based ? " state-based" : " sequential") << '\n';
    for (size_t l = 0; l < s.levels.size(); ++l)
    {
        const SDR_TRIGGER_LEVEL& level = s.levels[l];
        out << "level " << l + 1 << " \"" << level.name << "\" type=" << level.type
            << (level.enabled ? "" : " disabled");
        if (!level.expression.empty())
            out << " expression=" << level.expression;
        out << '\n';
        for (const SDR_NODE_ROW& row : s.trigger_list)
        {
            const QVector<SDR_DATA_TRIGGER_CONDITION>& conditions = row.patterns[SDR_COPY_NORMAL].conditions;
            const int c = int(l) < conditions.size() ? conditions[int(l)] : SDR_TX_SIGNAL_NODES::default_condition(row);
            out << "  " << row.name << '=' << c << '\n';
        }
    }
    return out.str();
}

bool SDR_DATA_TRIGGER::is_drawn(int index, bool sq) const
{
    if (sq)
        return index >= 0 && index < SDR_NUM_SQ_PATTERNS && m_sq_drawn[index] != 0;
    return index >= 0 && index < int(m_level_drawn.size()) && m_level_drawn[size_t(index)] != 0;
}

void SDR_DATA_TRIGGER::set_drawn(int index, bool sq)
{
    if (index < 0 || (sq && index >= SDR_NUM_SQ_PATTERNS))
        return;
    if (sq)
    {
        m_sq_drawn[index] = 1;
        return;
    }
    if (int(m_level_drawn.size()) <= index)
        m_level_drawn.resize(size_t(index) + 1, 0);
    m_level_drawn[size_t(index)] = 1;
}

// ---- wizard presets --------------------------------------------------------------------------

void SDR_DATA_TRIGGER::set_segment_size(int size)
{
    if (size >= 0 && state().segment_size != size)
    {
        edit().segment_size = size;
        edit().segmented = size > 0;
    }
}

void SDR_DATA_TRIGGER::set_trigger_type(int type)
{
    if (state().trigger_type != type)
        edit().trigger_type = type;
}

void SDR_DATA_TRIGGER::append_new_level(bool flag)
{
    (void)flag;
    const int count = int(state().levels.size());
    if (count >= SDR_MAX_TRIGGER_LEVELS)
        return;
    SDR_TRIGGER_STATE& s = edit();
    SDR_TRIGGER_LEVEL level;
    level.name = sdr_default_level_name(count);
    s.levels.push_back(level);
    for (SDR_NODE_ROW& row : s.trigger_list)
        SDR_TX_SIGNAL_NODES::fit_levels(row, count + 1);
    if (int(m_level_trees.size()) < count + 1)
        m_level_trees.resize(size_t(count + 1), nullptr);
}

bool SDR_DATA_TRIGGER::set_trigger_level_cond_expr_type(int level, bool basic)
{
    if (level < 0 || level >= int(state().levels.size()))
        return false;
    const SDR_DATA_TRIGGER_LEVEL_TYPE type = basic ? SDR_LTYPE_BASIC_AND : SDR_LTYPE_ADVANCED;
    if (state().levels[size_t(level)].type != type)
        edit().levels[size_t(level)].type = type;
    return true;
}

bool SDR_DATA_TRIGGER::set_advanced_trigger_expression(int level, const char* expression, bool flag)
{
    (void)flag;
    if (level < 0 || level >= int(state().levels.size()) || expression == nullptr)
        return false;
    if (state().levels[size_t(level)].expression != expression)
        edit().levels[size_t(level)].expression = expression;
    return true;
}

void SDR_DATA_TRIGGER::set_sq_type(SDR_DATA_STORAGE_QUALIFIER_TYPE type)
{
    if (type >= SDR_SQTYPE_CONTINUOUS && type < SDR_SQTYPE_INVALID_TYPE && state().sq_type != type)
        edit().sq_type = type;
}

void SDR_DATA_TRIGGER::set_record_discontinuities(bool on)
{
    if (state().record_discontinuities != on)
        edit().record_discontinuities = on;
}

// The trigger compiler parses the expression of every advanced level; a level whose text does
// not parse has no factory.
void SDR_DATA_TRIGGER::finalize_triggers()
{
    m_factories.assign(state().levels.size(), nullptr);
    for (size_t level = 0; level < state().levels.size(); ++level)
        if (state().levels[level].type == SDR_LTYPE_ADVANCED)
            m_factories[level] = SCI_ADVANCED_TRIGGER_FACTORY::parse(state().levels[level].expression.c_str(), nullptr);
}

bool SDR_DATA_TRIGGER::is_trigger_level_basic_condition(int level) const
{
    if (level < 0 || level >= int(state().levels.size()))
        return false;
    return state().levels[size_t(level)].type != SDR_LTYPE_ADVANCED;
}

SCI_ADVANCED_TRIGGER_FACTORY* SDR_DATA_TRIGGER::get_advanced_trigger_factory(int level, bool flag)
{
    (void)flag;
    if (level < 0 || level >= int(m_factories.size()) || is_trigger_level_basic_condition(level))
        return nullptr;
    return m_factories[size_t(level)].get();
}

const char* SDR_DATA_TRIGGER::get_advanced_trigger_expression(int level) const
{
    if (level < 0 || level >= int(state().levels.size()))
        return nullptr;
    return state().levels[size_t(level)].expression.c_str();
}
