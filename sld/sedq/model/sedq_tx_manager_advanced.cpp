// SEDQ_TX_MANAGER: power-up trigger views, the advanced trigger questions the panes ask, and
// the bookkeeping that keeps the advanced condition objects in step with the node list.
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sci.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_verify.h"

#include <QTabWidget>
#include <QVariant>

namespace
{
const int ADVANCED_MODIFIED_HINT =
    sedq_hint(SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_VALIDITY | SEDQ_UPDATE_INSTANCES);

// The symbol a basic condition stands for in an incrementally routed node's pattern.
const char* pattern_symbol(SDR_DATA_TRIGGER_CONDITION condition)
{
    switch (condition)
    {
    case SDR_CTYPE_HIGH:
        return "1";
    case SDR_CTYPE_LOW:
        return "0";
    case SDR_CTYPE_RISING:
        return "R";
    case SDR_CTYPE_FALLING:
        return "F";
    case SDR_CTYPE_EITHER_EDGE:
        return "E";
    case SDR_CTYPE_DONT_CARE:
        return "X";
    default:
        return "";
    }
}

// The first object of that kind in the condition's list; null when there is none.
SEDQ_OBJECT* first_object(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type)
{
    const int index = sedq_get_object_index(objects, type);
    return index >= 0 ? objects->at(index) : nullptr;
}

// The object list of a level's condition, with the reports the advanced questions make.
QList<SEDQ_OBJECT*>* level_objects(SDR_TX_TRIGGER* nodes, int level)
{
    auto* sedq_trigger_object =
        dynamic_cast<SEDQ_TRIGGER_OBJECT*>(nodes->get_advanced_trigger_root(level, false));
    if (!SEDQ_VERIFY(sedq_trigger_object != NULL))
        return nullptr;
    QList<SEDQ_OBJECT*>* sedq_object_array = sedq_trigger_object->get_object_list();
    SEDQ_VERIFY(sedq_object_array != NULL);
    return sedq_object_array;
}
} // namespace

SEDQ_TRIGGER_OBJECT* sedq_advanced_trigger_root(SDR_TX_TRIGGER* trigger, int trigger_level)
{
    if (trigger == nullptr)
        return nullptr;
    if (trigger_level >= 0)
        return dynamic_cast<SEDQ_TRIGGER_OBJECT*>(trigger->get_advanced_trigger_root(trigger_level, false));
    if (!SEDQ_VERIFY_SQ_PATTERN(trigger_level))
        return nullptr;
    return dynamic_cast<SEDQ_TRIGGER_OBJECT*>(
        trigger->get_advanced_trigger_root(sedq_sq_index(trigger_level), true));
}

// ---- power-up trigger views --------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_powerup_trigger(int view)
{
    if (is_empty() || m_tx_session == nullptr)
        return false;
    return m_tx_session->is_power_up_view(view == -1 ? m_active_instance : view);
}

bool SEDQ_TX_MANAGER::is_powerup_trigger_enabled(int view)
{
    if (m_tx_session == nullptr)
        return false;
    return m_tx_session->is_power_up_trigger(view == -1 ? m_active_instance : view);
}

bool SEDQ_TX_MANAGER::enable_powerup_trigger(int view, bool enable)
{
    if (view == -1)
        view = m_active_instance;
    const int instance = is_powerup_trigger(view) ? view - 1 : view;
    if (instance < 0 || m_tx_session == nullptr)
        return false;
    const bool is_enabled = is_powerup_trigger_enabled(instance);
    if (enable)
    {
        SEDQ_VERIFY(!is_enabled);
        if (instance == m_active_instance)
            set_int_state(instance, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
    }
    if (is_enabled == enable)
        return true;
    {
        const SEDQ_EDIT_SCOPE edit(this, SEDQ_SKIP_COMPILATION_CHECK, SEDQ_EDIT_SCOPE::NO_REFRESH, instance);
        m_tx_session->set_power_up_trigger_mode(instance, enable);
        update_modified_flag();
    }
    set_instance(enable ? instance + 1 : instance);
    return true;
}

// Copies the conditions of a view to its counterpart: an instance's to its power-up trigger,
// a power-up view's back to the instance.
bool SEDQ_TX_MANAGER::duplicate_powerup_trigger(int view)
{
    if (view == -1)
        view = m_active_instance;
    if (view < 0 || m_tx_session == nullptr)
        return false;
    {
        const SEDQ_EDIT_SCOPE edit(this, SEDQ_SKIP_COMPILATION_CHECK, SEDQ_EDIT_SCOPE::NO_REFRESH, view);
        m_tx_session->duplicate_trigger_to_other(view);
        update_modified_flag();
    }
    return true;
}

// ---- advanced trigger questions ----------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_advanced_trigger(int nPatternNumber, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return false;
    if (nPatternNumber >= 0)
        return nodes->get_level_type(nPatternNumber, false) == SDR_LTYPE_ADVANCED;
    if (!SEDQ_VERIFY_SQ_PATTERN(nPatternNumber))
        return false;
    QString type;
    if (!get_storage_qualifier_type(&type, trigger))
        return false;
    const QString wanted = nPatternNumber == SEDQ_PATTERN_SQ_CONDITIONAL ? QStringLiteral("Conditional")
                                                                         : QStringLiteral("Start/Stop");
    return type == wanted && nodes->get_level_type(sedq_sq_index(nPatternNumber), true) == SDR_LTYPE_ADVANCED;
}

bool SEDQ_TX_MANAGER::is_advanced_nodes_used(int trigger)
{
    if (is_incremental_compile())
        return false;
    const int allocated = get_trigger_nodes_allocated(trigger);
    const int used = get_trigger_nodes_used(trigger);
    if (allocated != 0 && allocated != used)
        return allocated > used;
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    for (int row = 0; nodes && row < nodes->get_num_nodes(); ++row)
    {
        if (!sedq_is_group_display(nodes->get_node_display_type(row)) &&
            nodes->get_node_tap_mode(row) != SDR_TAP_PRE_SYNTHESIS)
            return true;
    }
    return false;
}

// A level's condition uses its incrementally routed nodes when the object that stands for them
// is wired into the condition.
bool SEDQ_TX_MANAGER::is_advanced_trigger_pattern_enabled(int level, int trigger)
{
    SDR_TX_TRIGGER* nodes = sedq_document_trigger(this, trigger);
    if (nodes == nullptr)
        return false;
    if (level == -1)
    {
        for (int l = 0; l < nodes->get_num_levels(); ++l)
            if (is_advanced_trigger(l, trigger) && is_advanced_trigger_pattern_enabled(l, trigger))
                return true;
        return false;
    }
    SEDQ_OBJECT* incremental =
        first_object(level_objects(nodes, level), SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION);
    return incremental != nullptr && incremental->get_parent() != nullptr;
}

bool SEDQ_TX_MANAGER::is_counter_operator_used()
{
    if (!is_advanced_trigger(0, SEDQ_CURRENT))
        return false;
    SEDQ_OBJECT* result = first_object(level_objects(m_tx_trigger, 0), SEDQ_OBJECT::LEVEL_RESULT);
    if (result == nullptr)
        return false;
    for (SEDQ_OBJECT* child : result->get_children())
        if (child != nullptr && child->get_type() == SEDQ_OBJECT::COUNTER_OPERATOR)
            return true;
    return false;
}

bool SEDQ_TX_MANAGER::is_advanced_mode(int* level)
{
    if (is_wizard_mode())
    {
        if (level != nullptr)
            *level = m_wizard_advanced_trigger_level;
        return true;
    }
    QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT);
    const int page = tabs ? tabs->currentIndex() : -1;
    if (page <= SEDQ_SETUP_PAGE || tabs->tabText(page) == QLatin1String(SEDQ_STATE_FLOW_TAB_TITLE))
        return false;
    if (level != nullptr && tabs->widget(page) != nullptr)
        *level = tabs->widget(page)->property("trigger level").toInt();
    return true;
}

bool SEDQ_TX_MANAGER::is_state_mode()
{
    QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT);
    const int page = tabs != nullptr ? tabs->currentIndex() : -1;
    return page > SEDQ_SETUP_PAGE && tabs->tabText(page) == QLatin1String(SEDQ_STATE_FLOW_TAB_TITLE);
}

// The view mode is the page shown in the instance's Data/Setup tabs of the window's layout;
// before the layout exists (and in the wizard) there are none: setup mode.
QTabWidget* SEDQ_TX_MANAGER::get_data_setup_tab_widget(int instance)
{
    return m_window->get_data_setup_tab_widget(instance);
}

QList<SEDQ_OBJECT*>* SEDQ_TX_MANAGER::get_object_array()
{
    SEDQ_TRIGGER_OBJECT* root = get_advanced_condition();
    return root != nullptr ? root->get_object_list() : nullptr;
}

SEDQ_TRIGGER_OBJECT* SEDQ_TX_MANAGER::get_advanced_condition()
{
    int level = 0;
    if (!is_advanced_mode(&level))
        return nullptr;
    if (level < 0 && !SEDQ_VERIFY_SQ_PATTERN(level))
        return nullptr;
    SEDQ_TRIGGER_OBJECT* root = sedq_advanced_trigger_root(m_tx_trigger, level);
    if (!SEDQ_VERIFY(root != NULL))
        return nullptr;
    return root;
}

// ---- changes of the advanced patterns ----------------------------------------------------------

void SEDQ_TX_MANAGER::set_advanced_trigger(int nPatternNumber, SDR_DATA_TRIGGER_LEVEL_TYPE type)
{
    if (m_tx_trigger == nullptr || (nPatternNumber < 0 && !SEDQ_VERIFY_SQ_PATTERN(nPatternNumber)))
        return;
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(nPatternNumber);
    m_tx_trigger->set_level_type(at.index, at.sq, type);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::toggle_pattern(int level)
{
    if (m_tx_trigger == nullptr)
        return;
    m_tx_trigger->set_level_enabled(level, !is_pattern_enabled(level));
    update_modified_flag();
}

void SEDQ_TX_MANAGER::update_advanced_modified_flag(bool first, bool second)
{
    if (m_tx_trigger == nullptr)
    {
        set_modified_flag(second);
        return;
    }
    int trigger_level = 0;
    if (!is_advanced_mode(&trigger_level))
        return;
    if (trigger_level < 0 && !SEDQ_VERIFY_SQ_PATTERN(trigger_level))
        return;
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(trigger_level);
    // Every change of a condition's objects reaches the repository here, which writes the
    // level's equation again from them before anything reads it (the compile check this change
    // runs, a run, a save).
    m_tx_trigger->set_advanced_modified(at.index, at.sq, first, second);
    update_modified_flag();
    update_all_views(nullptr, ADVANCED_MODIFIED_HINT);
}

namespace
{
// The patterns an advanced level's "Condition for Incrementally Routed Nodes" stands for: one
// symbol per trigger-enabled, incrementally routed leaf of the trigger list, in row order.
struct INCREMENTAL_PATTERNS
{
    QString powerup;
    QString normal;
    QString nodes;
};

INCREMENTAL_PATTERNS incremental_patterns(SDR_TX_TRIGGER* trigger, int level)
{
    INCREMENTAL_PATTERNS patterns;
    for (int row = 0; row < trigger->get_num_nodes(); ++row)
    {
        const SDR_DATA_WIRE_CAPTURE_TYPE capture = trigger->get_node_capture_type(row);
        if (trigger->get_node_tap_mode(row) == SDR_TAP_PRE_SYNTHESIS ||
            sedq_is_group_display(trigger->get_node_display_type(row)) ||
            (capture != SDR_WTYPE_TRIGGER_ONLY && capture != SDR_WTYPE_DATA_AND_TRIGGER))
            continue;
        trigger->set_power_up_selector(false);
        patterns.normal += QLatin1String(pattern_symbol(trigger->get_condition(row, level, false)));
        trigger->set_power_up_selector(true);
        patterns.powerup += QLatin1String(pattern_symbol(trigger->get_condition(row, level, false)));
        if (!patterns.nodes.isEmpty())
            patterns.nodes += QLatin1Char(',');
        patterns.nodes +=
            QLatin1Char('\'') + QString::fromLocal8Bit(trigger->get_node_name(row)) + QLatin1Char('\'');
    }
    return patterns;
}
} // namespace

bool SEDQ_TX_MANAGER::update_advanced_trigger_pattern()
{
    if (m_tx_trigger == nullptr)
        return true;
    const bool selector = m_tx_trigger->is_power_up_selector();
    for (int level = 0; level < m_tx_trigger->get_num_levels(); ++level)
    {
        if (!is_advanced_trigger(level, SEDQ_CURRENT) ||
            !is_advanced_trigger_pattern_enabled(level, SEDQ_CURRENT))
            continue;
        SEDQ_OBJECT* incremental =
            first_object(level_objects(m_tx_trigger, level), SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION);
        if (incremental == nullptr || incremental->get_parent() == nullptr)
            continue;
        const INCREMENTAL_PATTERNS patterns = incremental_patterns(m_tx_trigger, level);
        incremental->set_incremental_texts(patterns.powerup, patterns.normal, patterns.nodes);
    }
    m_tx_trigger->set_power_up_selector(selector);
    return true;
}

// A level stored only as its equation (a wizard preset, a file another program wrote) opens as
// the diagram the equation describes; a level with objects keeps them.
void SEDQ_TX_MANAGER::build_preset_conditions()
{
    if (m_tx_session == nullptr)
        return;
    for (int i = 0; i < m_tx_session->get_num_instances(); ++i)
    {
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        SDR_DATA_TRIGGER* data = trigger != nullptr ? trigger->get_data_trigger() : nullptr;
        if (data == nullptr)
            continue;
        for (int level = 0; level < trigger->get_num_levels(); ++level)
        {
            if (trigger->get_level_type(level, false) != SDR_LTYPE_ADVANCED)
                continue;
            const char* expression = data->get_advanced_trigger_expression(level);
            if (expression == nullptr || *expression == '\0')
                continue;
            SEDQ_TRIGGER_OBJECT* condition =
                dynamic_cast<SEDQ_TRIGGER_OBJECT*>(trigger->get_advanced_trigger_root(level, false));
            if (condition == nullptr || !condition->get_object_list()->isEmpty())
                continue;
            if (std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> parsed =
                    SCI_ADVANCED_TRIGGER_FACTORY::parse(expression, nullptr))
                condition->generate_tree(parsed.get());
        }
    }
}
