// SEDQ_VIEW: following the document — the refresh on every model update with the lock-mode and
// level-type combos, and the settings that depend on the project's assignments.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "host/dstr.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QToolButton>

namespace
{
constexpr int LEVEL_TYPE_COMBOS = 13;
} // namespace

// The hint bits select what to do: 0x1 addresses the view, 0x10000000 rebuilds, 0x20000000
// refreshes (0x40000000 with it reloads the stored positions), 0x00800000 spares the repaint;
// a flow's typed text (0x200) shows nowhere in the view.
void SEDQ_VIEW::on_update(QObject*, int hint)
{
    const unsigned bits = static_cast<unsigned>(hint);
    if (bits & SEDQ_UPDATE_FLOW_TEXT)
        return;
    invalidate_row_layout();
    // A refresh keeps the waveform rows: each is read again when the version of the log's
    // samples or the channels it was read from have changed. A rebuild drops them all.
    if ((bits & SEDQ_UPDATE_NODE_VIEW) && (bits & SEDQ_UPDATE_REBUILD))
        m_wave_summary.clear();
    if (m_widths_not_loaded && !m_tx_manager->is_empty() && load_column_widths())
        set_column_width(SEDQ_COLUMN_TYPE, QPoint(0, 0), true);
    if ((bits & SEDQ_UPDATE_NODE_VIEW) == 0 || m_tx_manager->is_empty())
        return;
    if (bits & SEDQ_UPDATE_REBUILD)
    {
        select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, false);
        m_zoom_level = 1;
        reset_fudge_factor(false);
        reset_timebars();
        m_lock_mode_combo->setEnabled(false);
        send_resize_event();
        update();
        return;
    }
    if ((bits & SEDQ_UPDATE_REFRESH) == 0)
        return;
    if (bits & SEDQ_UPDATE_RELOAD_POSITIONS)
    {
        load_timebars();
        load_scroll_pos();
    }
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    if (depth == 0)
        reset_timebars();
    clear_selection_on_mode_switch();
    const bool acquiring = m_tx_manager->is_instance_acquiring(SEDQ_CURRENT);
    if (!m_tx_manager->is_wizard_mode())
    {
        refresh_lock_mode_combo(acquiring);
        refresh_level_type_combos(acquiring);
    }
    m_tx_manager->update_advanced_trigger_pattern();
    reset_fudge_factor(false);
    if (!m_tx_manager->is_wizard_mode() && m_previous_transition_button != nullptr)
    {
        const bool shown = m_tx_manager->is_data_mode(SEDQ_CURRENT) && m_timebar_count > 0;
        m_previous_transition_button->setVisible(shown);
        m_next_transition_button->setVisible(shown);
    }
    if ((bits & SEDQ_UPDATE_NO_REPAINT) == 0)
    {
        send_resize_event();
        update();
    }
}

// Each view remembers the mode it last saw: one window's switch between setup and data never
// clears another window's selection.
void SEDQ_VIEW::clear_selection_on_mode_switch()
{
    const int setup = m_tx_manager->is_setup_mode() ? 1 : 0;
    if (m_last_setup_mode != -1 && setup != m_last_setup_mode)
        select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, false);
    m_last_setup_mode = setup;
}

void SEDQ_VIEW::refresh_lock_mode_combo(bool acquiring)
{
    if (!m_tx_manager->is_setup_mode())
    {
        m_lock_mode_combo->hide();
        return;
    }
    {
        const QSignalBlocker blocker(m_lock_mode_combo);
        m_lock_mode_combo->clear();
        m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_UNLOCKED), SEDQ_LOCK_MODE_ALLOW_ALL_STRING);
        m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_LOCKED), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING);
        m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_LOCKED), SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING);
        m_lock_mode_combo->setCurrentIndex(int(m_tx_manager->get_lock_mode(false)));
        // An instance the IP wizard made can only be rerouted incrementally.
        const bool editable = !acquiring && !m_tx_manager->is_empty();
        if (editable && m_tx_manager->is_tessarelle_generated())
        {
            m_lock_mode_combo->setCurrentIndex(int(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL));
            m_lock_mode_combo->setEnabled(false);
        }
        else
            m_lock_mode_combo->setEnabled(editable);
    }
    m_lock_mode_combo->show();
}

void SEDQ_VIEW::show_level_type_combo(int index, int level, bool editable)
{
    QComboBox* combo = m_level_type_combos[index];
    combo->setCurrentIndex(int(m_tx_manager->get_trigger_level_type(level, SEDQ_CURRENT)));
    combo->setEnabled(editable && m_tx_manager->is_pattern_enabled(level));
    combo->show();
}

// The combos' own signals reach the model while they are refilled: the block keeps the
// model's setters and the view's combo slot from taking them for the user's choice.
void SEDQ_VIEW::refresh_level_type_combos(bool acquiring)
{
    if (m_level_type_combos[0] == nullptr)
        return;
    if (!m_tx_manager->is_setup_mode())
    {
        for (QComboBox* combo : m_level_type_combos)
            combo->hide();
        return;
    }
    const bool editable = !acquiring && m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL;
    const SEDQ_BLOCK block;
    QString type;
    const bool has_type = m_tx_manager->get_storage_qualifier_type(&type, SEDQ_CURRENT);
    const bool conditional = has_type && type == QLatin1String("Conditional");
    const bool start_stop = has_type && type == QLatin1String("Start/Stop");
    for (int index = 0; index < 3; ++index)
        m_level_type_combos[index]->hide();
    if (conditional)
        show_level_type_combo(0, SEDQ_PATTERN_SQ_CONDITIONAL, editable);
    if (start_stop)
    {
        show_level_type_combo(1, SEDQ_PATTERN_SQ_START, editable);
        show_level_type_combo(2, SEDQ_PATTERN_SQ_STOP, editable);
    }
    int levels = 0;
    m_tx_manager->get_trigger_level(&levels, SEDQ_CURRENT);
    for (int level = 0; level - SEDQ_PATTERN_SQ_CONDITIONAL < LEVEL_TYPE_COMBOS; ++level)
    {
        if (level < levels)
            show_level_type_combo(level - SEDQ_PATTERN_SQ_CONDITIONAL, level, editable);
        else
            m_level_type_combos[level - SEDQ_PATTERN_SQ_CONDITIONAL]->hide();
    }
    update_advanced_trigger_combo_positions();
}

// ---- settings from the project's assignments ----------------------------------------------------

// Whether the project's device has a hard processor system; `project_known` tells whether the
// assignments could be read at all.
bool SEDQ_VIEW::read_hps_resource(bool* project_known)
{
    *project_known = false;
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL) || !acf_mgr->is_project_open())
        return false;
    const bool locked_here = !acf_mgr->is_read_locked() && !acf_mgr->is_write_locked();
    if (locked_here)
        acf_mgr->read_lock();
    if (!acf_mgr->is_read_locked() && !acf_mgr->is_write_locked())
        return false;
    bool has_resource = false;
    ACF_MGR_INPUT_PARAMETERS parameters;
    parameters.set_variable_type(ACF_DEVICE);
    if (const ACF_ASSIGNMENT* device = acf_mgr->get_assignment(parameters))
    {
        const DEV_PART_ENUM part = dstr_get_dev_part_enum_by_string(device->get_value(false));
        has_resource =
            part != DEV_PART_GENERIC &&
            DEV_PART_MANAGER::get_instance()->get_device_resource_count_of(part, DEV_RESOURCE_HPS) > 0;
    }
    *project_known = true;
    if (locked_here)
        acf_mgr->read_unlock();
    return has_resource;
}

void SEDQ_VIEW::on_settings_changed()
{
    const bool old_signal_probe = m_hide_signal_probe;
    const bool old_ram_type = m_hide_ram_type;
    const bool old_hps_trigger = m_hide_hps_trigger;
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL))
        return;
    bool project_known = false;
    const bool has_resource = read_hps_resource(&project_known);
    // Assignments that could not be locked for reading leave every flag as it was.
    if (acf_mgr->is_project_open() && !project_known)
        return;
    m_hide_signal_probe = false;
    m_hide_ram_type = false;
    m_hide_hps_trigger = project_known && !has_resource;
    if (old_signal_probe)
        m_tx_manager->update_all_views(
            nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_CONFIGURATION));
    else if (old_hps_trigger != m_hide_hps_trigger || old_ram_type)
        m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION));
}
