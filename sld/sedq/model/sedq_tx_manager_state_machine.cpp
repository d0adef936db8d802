// SEDQ_TX_MANAGER: power-up trigger views and the advanced trigger questions the panes ask.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_verify.h"

#include <QTabWidget>
#include <QVariant>

namespace
{
constexpr const char* ACTIVE_TAB_KEY = "active tab";
constexpr int SETUP_TAB = 1;
const char* const STATE_FLOW_TAB_TEXT = "State-Based Trigger Flow";
} // namespace

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
            set_int_state(instance, ACTIVE_TAB_KEY, SETUP_TAB);
    }
    if (is_enabled == enable)
        return true;
    begin_action(instance);
    m_tx_session->set_power_up_trigger_mode(instance, enable);
    end_action(SEDQ_SKIP_COMPILATION_CHECK, instance);
    update_modified_flag();
    set_instance(enable ? instance + 1 : instance);
    return true;
}

// ---- advanced trigger questions ----------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_advanced_trigger(int nPatternNumber, int trigger)
{
    if (is_empty())
        return false;
    SDR_TX_TRIGGER* nodes = get_trigger_nodes(trigger);
    if (nodes == nullptr)
        return false;
    if (nPatternNumber >= 0)
        return nodes->get_level_type(nPatternNumber, false) == SDR_LTYPE_ADVANCED;
    if (!SEDQ_VERIFY(nPatternNumber >= -3 && nPatternNumber <= -1))
        return false;
    QString type;
    if (!get_storage_qualifier_type(&type, trigger))
        return false;
    const QString wanted = nPatternNumber == -3 ? QStringLiteral("Conditional") : QStringLiteral("Start/Stop");
    return type == wanted && nodes->get_level_type(nPatternNumber + 3, true) == SDR_LTYPE_ADVANCED;
}

bool SEDQ_TX_MANAGER::is_advanced_nodes_used(int trigger)
{
    if (is_incremental_compile())
        return false;
    const int allocated = get_trigger_nodes_allocated(trigger);
    const int used = get_trigger_nodes_used(trigger);
    if (allocated != 0 && allocated != used)
        return allocated > used;
    SDR_TX_TRIGGER* nodes = is_empty() ? nullptr : get_trigger_nodes(trigger);
    for (int row = 0; nodes && row < nodes->get_num_nodes(); ++row)
    {
        const SDR_DATA_NODE_DISPLAY_TYPE type = nodes->get_node_display_type(row);
        if (type != SDR_NTYPE_GROUP && type != SDR_NTYPE_GROUP_ALT && nodes->get_node_tap_mode(row) != SDR_TAP_PRE_SYNTHESIS)
            return true;
    }
    return false;
}

bool SEDQ_TX_MANAGER::is_advanced_trigger_pattern_enabled(int level, int trigger)
{
    SDR_TX_TRIGGER* nodes = is_empty() ? nullptr : get_trigger_nodes(trigger);
    if (nodes == nullptr)
        return false;
    if (level == -1)
    {
        for (int l = 0; l < nodes->get_num_levels(); ++l)
            if (is_advanced_trigger(l, trigger) && is_advanced_trigger_pattern_enabled(l, trigger))
                return true;
        return false;
    }
    auto* sedq_trigger_object = dynamic_cast<SEDQ_TRIGGER_OBJECT*>(nodes->get_advanced_trigger_root(level, false));
    if (!SEDQ_VERIFY(sedq_trigger_object != NULL))
        return false;
    QList<SEDQ_OBJECT*>* sedq_object_array = sedq_trigger_object->get_object_list();
    if (!SEDQ_VERIFY(sedq_object_array != NULL))
        return false;
    for (SEDQ_OBJECT* object : *sedq_object_array)
        if (object != nullptr && object->get_type() == SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION)
            return object->get_parent() != nullptr;
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
    QTabWidget* tabs = get_data_setup_tab_widget(-1);
    const int page = tabs ? tabs->currentIndex() : -1;
    if (page <= SETUP_TAB || tabs->tabText(page) == QLatin1String(STATE_FLOW_TAB_TEXT))
        return false;
    if (level != nullptr && tabs->widget(page) != nullptr)
        *level = tabs->widget(page)->property("trigger level").toInt();
    return true;
}

// The view mode is the page shown in the instance's Data/Setup tabs of the window's layout;
// before the layout exists (and in the wizard) there are none: setup mode.
QTabWidget* SEDQ_TX_MANAGER::get_data_setup_tab_widget(int instance)
{
    return m_layout_widget != nullptr ? m_layout_widget->get_data_setup_tab_widget(instance) : nullptr;
}
