// SEDQ_CONFIG_WIDGET: the refresh of every control from the document model, enabling under the
// lock mode, the node allocation rows and the power-up highlight.
#include "sedq/frame/sedq_config_widget.h"

#include "host/afcq.h"
#include "sedq/frame/sedq_allocation_type_button_group.h"
#include "sedq/frame/sedq_config_controls.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace
{
const char* const POWERUP_LIST_STYLE = "background-color: rgb(153, 204, 255);";
const QString CONTINUOUS = QStringLiteral("Continuous");
const QString INPUT_PORT = QStringLiteral("Input port");

bool select_text(QComboBox* box, QString const& text)
{
    return sedq_set_current_index(box, text, Qt::MatchCaseSensitive);
}

// Checks the button of `id`, or none when the group has no such button.
void check_button(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id))
    {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}
} // namespace

void SEDQ_CONFIG_WIDGET::on_update(QObject*, int hint)
{
    const unsigned bits = static_cast<unsigned>(hint);
    if ((bits & SEDQ_UPDATE_CONFIGURATION) == 0 || (bits & SEDQ_UPDATE_REFRESH) == 0 || !m_controls_built)
        return;
    // The first show builds and fills the controls; a later one catches up.
    if (!isVisible())
    {
        m_refresh_pending = true;
        return;
    }
    m_refresh_pending = false;
    refresh_all();
}

void SEDQ_CONFIG_WIDGET::refresh_all()
{
    SEDQ_BLOCK block;
    const bool hide_hps = is_hps_trigger_hidden();
    refresh_clock();
    refresh_data();
    refresh_storage_qualifier();
    refresh_depth_dependents();
    refresh_trigger();
    refresh_trigger_in(hide_hps);
    refresh_trigger_out(hide_hps);
    configure_node_alloc_widgets();
    refresh_powerup_highlight();
}

bool SEDQ_CONFIG_WIDGET::is_hps_trigger_hidden() const
{
    SEDQ_LAYOUT_WIDGET* layout = m_frame != nullptr ? m_frame->get_layout_widget() : nullptr;
    SEDQ_VIEW* view = layout != nullptr ? layout->get_view() : nullptr;
    return view != nullptr && view->hide_hps_trigger();
}

// ---- lock mode ---------------------------------------------------------------------------------

void SEDQ_CONFIG_WIDGET::enable_lockable_control(QWidget* widget, bool lockable)
{
    if (widget == nullptr)
        return;
    bool enabled = true;
    if (lockable)
        enabled = m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL;
    else
        enabled = !(m_tx_manager->is_powerup_trigger(-1) &&
                    m_tx_manager->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL);
    if (qobject_cast<QGroupBox*>(widget) != nullptr)
        widget->setAttribute(Qt::WA_Disabled, !enabled);
    else
        widget->setEnabled(enabled);
    widget->update();
}

// A control beside a radio button or check box: lockable-enabled while that one is checked.
void SEDQ_CONFIG_WIDGET::enable_following(QWidget* widget, bool checked)
{
    if (checked)
        enable_lockable_control(widget, true);
    else
        widget->setEnabled(false);
}

// ---- clock, data, storage qualifier ------------------------------------------------------------

void SEDQ_CONFIG_WIDGET::refresh_clock()
{
    QString clock;
    if (!m_tx_manager->get_clock(&clock, m_instance))
        return;
    enable_lockable_control(m_clock_edit, true);
    enable_lockable_control(m_clock_button, true);
    m_clock_edit->setText(clock);
    if (m_tx_manager->is_clock_invalid())
        m_clock_edit->setPalette(SEDQ_RED_TEXT_PALETTE);
    else if (m_tx_manager->is_clock_post_fitting())
        m_clock_edit->setPalette(
            sedq_get_palette(QPalette::Text, AFCQ_COLOR(AFCQ_COLOR_POST_FITTING_NAME).get_color()));
    else
        m_clock_edit->setPalette(QApplication::palette());
}

void SEDQ_CONFIG_WIDGET::refresh_data()
{
    QString text;
    if (m_tx_manager->get_sample_depth(&text, m_instance))
    {
        enable_lockable_control(m_sample_depth_combo, true);
        select_text(m_sample_depth_combo, text);
    }
    // Refilling the memory types must not let the depth's wiring re-enable them meanwhile.
    disconnect(m_sample_depth_combo, &SEDQ_SAMPLE_DEPTH_COMBO_BOX::sample_depth_selected, m_ram_type_combo,
               &QWidget::setEnabled);
    if (!m_tx_manager->is_zero_sample_depth())
        enable_lockable_control(m_ram_type_combo, true);
    m_ram_type_combo->clear();
    m_ram_type_combo->addItems({SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, SEDQ_RAM_TYPE_DISPLAY_STR_SMALL,
                                SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM, SEDQ_RAM_TYPE_DISPLAY_STR_LARGE});
    if (m_tx_manager->get_ram_type(&text, m_instance))
        select_text(m_ram_type_combo, text);
    connect(m_sample_depth_combo, &SEDQ_SAMPLE_DEPTH_COMBO_BOX::sample_depth_selected, m_ram_type_combo,
            &QWidget::setEnabled);
    m_segmented_check->setChecked(m_tx_manager->is_segmented_acquisition_enabled(m_instance));
    if (m_tx_manager->get_pipeline_level(&text, m_instance))
    {
        enable_lockable_control(m_pipeline_combo, true);
        select_text(m_pipeline_combo, text);
    }
}

void SEDQ_CONFIG_WIDGET::refresh_storage_qualifier()
{
    QString text;
    if (m_tx_manager->get_storage_qualifier_type(&text, SEDQ_CURRENT))
        select_text(m_sq_type_combo, text);
    m_tx_manager->get_storage_qualifier_input_port(&text, nullptr, m_instance);
    m_sq_input_edit->setText(text);
    m_discontinuities_check->setChecked(m_tx_manager->is_record_data_discontinuities_enabled(m_instance));
    m_disable_sq_check->setChecked(m_tx_manager->is_disable_storage_qualifier_enabled(m_instance));
}

// What a sample depth above 0 allows: segments, or else the storage qualifier.
void SEDQ_CONFIG_WIDGET::refresh_depth_dependents()
{
    if (m_sample_depth_combo->currentIndex() == 0)
    {
        // A depth of 0 has nothing to segment, even where the trigger still says segmented.
        m_segment_combo->setEnabled(false);
        return;
    }
    enable_lockable_control(m_segmented_check, true);
    enable_lockable_control(m_position_combo, false);
    if (m_segmented_check->isChecked())
    {
        enable_lockable_control(m_segment_combo, true);
        select_stored_segments();
        return;
    }
    enable_lockable_control(m_sq_type_combo, true);
    const QString type = m_sq_type_combo->currentText();
    if (type == INPUT_PORT)
    {
        enable_lockable_control(m_sq_input_edit, true);
        enable_lockable_control(m_sq_input_button, true);
    }
    if (type != CONTINUOUS)
    {
        enable_lockable_control(m_discontinuities_check, true);
        enable_lockable_control(m_disable_sq_check, false);
    }
}

void SEDQ_CONFIG_WIDGET::select_stored_segments()
{
    QString segments;
    if (m_tx_manager->get_number_of_segments(&segments, m_instance))
        sedq_set_current_index(m_segment_combo, segments, Qt::MatchStartsWith);
}

void SEDQ_CONFIG_WIDGET::on_sample_depth_chosen()
{
    SEDQ_BLOCK block;
    select_stored_segments();
}

bool SEDQ_CONFIG_WIDGET::is_storage_qualifier_in_use() const
{
    return m_sq_type_combo->currentText() != CONTINUOUS;
}

void SEDQ_CONFIG_WIDGET::set_enabled_property_sq_combo(bool enabled)
{
    m_sq_type_combo->setEnabled(!m_segmented_check->isChecked() && enabled);
}

// ---- trigger -----------------------------------------------------------------------------------

void SEDQ_CONFIG_WIDGET::refresh_trigger()
{
    QString text;
    if (m_tx_manager->get_trigger_flow_control(&text, m_instance))
        select_text(m_flow_combo, text);
    enable_lockable_control(m_flow_combo, true);
    if (m_tx_manager->get_trigger_position(&text, m_instance))
        select_text(m_position_combo, text);
    if (m_tx_manager->get_trigger_level(&text, m_instance))
        select_text(m_level_combo, text);
    enable_lockable_control(m_level_combo, true);
}

// The other instances this one can connect to; without any, neither the source nor the list.
void SEDQ_CONFIG_WIDGET::fill_instance_list(SEDQ_INSTANCE_COMBO_BOX* list, QAbstractButton* source)
{
    const QStringList instances = m_tx_manager->get_trigger_instance_list(m_instance);
    list->set_names(instances, afcq_get_icon(AFCQ_ICON_OTHER_INSTANCE));
    if (!instances.isEmpty())
        return;
    source->setEnabled(false);
    list->setEnabled(false);
}

void SEDQ_CONFIG_WIDGET::refresh_trigger_in(bool hide_hps)
{
    // Children keep their own state under a locked group, but cannot change it while the
    // group is disabled: the lock is applied again at the end.
    m_trigger_in_group->setAttribute(Qt::WA_Disabled, false);
    check_button(m_trigger_in_sources, m_tx_manager->get_trigger_in_source(m_instance));
    const bool enabled = m_tx_manager->is_trigger_in_enabled(m_instance);
    m_trigger_in_group->setChecked(enabled);
    if (enabled)
    {
        for (QWidget* source : {m_in_pin_radio, m_in_node_radio, m_in_instance_radio})
            enable_lockable_control(source, true);
        enable_following(m_in_pin_edit, m_in_pin_radio->isChecked());
        enable_following(m_in_node_edit, m_in_node_radio->isChecked());
        enable_following(m_in_node_button, m_in_node_radio->isChecked());
        enable_following(m_in_instance_combo, m_in_instance_radio->isChecked());
        if (hide_hps)
            m_in_hps_radio->setEnabled(false);
        else
            enable_lockable_control(m_in_hps_radio, true);
        enable_lockable_control(m_in_pattern_combo, false);
    }
    QString text;
    m_tx_manager->get_trigger_in_pin_name(&text, m_instance);
    m_in_pin_edit->setText(text);
    m_tx_manager->get_trigger_in_node_name(&text, m_instance);
    m_in_node_edit->setText(text);
    fill_instance_list(m_in_instance_combo, m_in_instance_radio);
    if (m_tx_manager->get_trigger_in_instance_name(&text, m_instance))
        select_text(m_in_instance_combo, text);
    if (m_tx_manager->get_trigger_in_condition(&text, m_instance))
        select_text(m_in_pattern_combo, text);
    enable_lockable_control(m_trigger_in_group, true);
}

void SEDQ_CONFIG_WIDGET::refresh_trigger_out(bool hide_hps)
{
    m_trigger_out_group->setAttribute(Qt::WA_Disabled, false);
    m_out_pin_check->setChecked(m_tx_manager->is_trigger_out_pin_selected(m_instance));
    m_out_instance_check->setChecked(m_tx_manager->is_trigger_out_instance_selected(m_instance));
    m_out_hps_trigger_in_check->setChecked(m_tx_manager->is_trigger_out_hps_trigger_in_selected(m_instance));
    m_out_hps_event_check->setChecked(m_tx_manager->is_trigger_out_hps_event_index_selected(m_instance));
    const bool enabled = m_tx_manager->is_trigger_out_enabled(m_instance);
    m_trigger_out_group->setChecked(enabled);
    if (enabled)
    {
        enable_lockable_control(m_out_pin_check, true);
        enable_lockable_control(m_out_instance_check, true);
        enable_following(m_out_pin_edit, m_out_pin_check->isChecked());
        enable_following(m_out_instance_combo, m_out_instance_check->isChecked());
        if (hide_hps)
        {
            for (QWidget* hps :
                 {static_cast<QWidget*>(m_out_hps_trigger_in_check),
                  static_cast<QWidget*>(m_out_hps_event_check), static_cast<QWidget*>(m_out_hps_event_combo)})
                hps->setEnabled(false);
        }
        else
        {
            enable_lockable_control(m_out_hps_trigger_in_check, true);
            enable_lockable_control(m_out_hps_event_check, true);
            enable_following(m_out_hps_event_combo, m_out_hps_event_check->isChecked());
        }
        enable_lockable_control(m_out_level_combo, false);
    }
    QString text;
    m_tx_manager->get_trigger_out_pin(&text, m_instance);
    m_out_pin_edit->setText(text);
    refresh_trigger_out_instance();
    if (m_tx_manager->get_trigger_out_hps_event_index(&text, m_instance))
        select_text(m_out_hps_event_combo, text);
    if (m_tx_manager->get_trigger_out_condition(&text, m_instance))
        select_text(m_out_level_combo, text);
    m_tx_manager->get_trigger_out_latency_delay(&text, m_instance);
    m_latency_edit->setText(text);
    enable_lockable_control(m_trigger_out_group, true);
}

// An instance that is no longer in the list (renamed, removed) still shows, read-only.
void SEDQ_CONFIG_WIDGET::refresh_trigger_out_instance()
{
    m_out_instance_combo->setEditable(false);
    fill_instance_list(m_out_instance_combo, m_out_instance_check);
    QString name;
    if (m_tx_manager->get_trigger_out_instance(&name, m_instance) && !name.isEmpty() &&
        !select_text(m_out_instance_combo, name))
    {
        m_out_instance_combo->setCurrentIndex(-1);
        m_out_instance_combo->setEditable(true);
        m_out_instance_combo->lineEdit()->setReadOnly(true);
        m_out_instance_combo->setEditText(name);
    }
    QString tooltip;
    if (!m_tx_manager->get_trigger_out_instance_tooltip(&tooltip, m_instance))
        tooltip.clear();
    m_out_instance_combo->setToolTip(tooltip);
}

// ---- node allocation ---------------------------------------------------------------------------

void SEDQ_CONFIG_WIDGET::configure_allocation_row(ALLOCATION_ROW const& row, int allocated, int used)
{
    if (allocated != 0)
    {
        row.manual_button->setChecked(true);
        row.auto_button->setChecked(false);
        row.spin_box->setEnabled(true);
        enable_lockable_control(row.spin_box, true);
        row.spin_box->setValue(allocated);
        return;
    }
    row.auto_button->setChecked(true);
    row.spin_box->setValue(used);
    enable_lockable_control(row.spin_box, true);
    row.spin_box->setEnabled(false);
}

void SEDQ_CONFIG_WIDGET::configure_node_alloc_widgets()
{
    const int trigger_used = m_tx_manager->get_trigger_nodes_used(-1);
    const int sq_used = m_tx_manager->get_storage_qualifier_nodes_used(-1);
    const int data_used = m_tx_manager->get_data_nodes_used(-1);
    // More nodes in use than a spin box offers still leave it at its maximum.
    const int maximum = m_data_allocation.spin_box->maximum();
    m_trigger_allocation.spin_box->setMinimum(qMin(trigger_used, maximum));
    m_sq_allocation.spin_box->setMinimum(qMin(sq_used, maximum));
    m_data_allocation.spin_box->setMinimum(qMin(data_used, maximum));
    configure_allocation_row(m_data_allocation, m_tx_manager->get_data_nodes_allocated(-1), data_used);
    configure_allocation_row(m_trigger_allocation, m_tx_manager->get_trigger_nodes_allocated(-1),
                             trigger_used);
    configure_allocation_row(m_sq_allocation,
                             m_tx_manager->get_storage_qualifier_nodes_allocated(SEDQ_CURRENT), sq_used);
    for (const ALLOCATION_ROW* row : {&m_data_allocation, &m_trigger_allocation, &m_sq_allocation})
    {
        enable_lockable_control(row->auto_button, true);
        enable_lockable_control(row->manual_button, true);
    }
    if (!is_storage_qualifier_in_use())
    {
        m_sq_allocation.manual_button->setEnabled(false);
        m_sq_allocation.auto_button->setEnabled(false);
        m_sq_allocation.spin_box->setEnabled(false);
    }
}

// ---- power-up highlight ------------------------------------------------------------------------

// The controls still editable on the power-up trigger are tinted so the user sees which
// trigger they change.
void SEDQ_CONFIG_WIDGET::refresh_powerup_highlight()
{
    QPalette palette = QApplication::palette();
    QString style;
    if (m_tx_manager->is_powerup_trigger(-1))
    {
        palette.setColor(QPalette::All, QPalette::Base, SEDQ_POWERUP_BRUSH.color());
        style = QString::fromLatin1(POWERUP_LIST_STYLE);
    }
    if (m_disable_sq_check->isEnabled())
        m_disable_sq_check->setPalette(palette);
    for (QComboBox* box : {m_position_combo, m_in_pattern_combo, m_out_level_combo})
    {
        if (!box->isEnabled())
            continue;
        box->setPalette(palette);
        box->view()->setStyleSheet(style);
    }
}
