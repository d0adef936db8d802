// SEDQ_VIEW: the choice between sample numbers and times on the time axis, and inserting a time
// bar by typing its position. The period and unit live in the view only; nothing of them goes
// into the document.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_insert_time_bar_dlg.h"
#include "sedq/view/sedq_time_units_dlg.h"

#include <QAction>
#include <QCheckBox>

#include <algorithm>
#include <cmath>

namespace
{
const char* const MEGAHERTZ = "MHz";
const char* const MICROSECONDS = "us";

// A display choice of the waveform menu: enabled while there is data, checked when in force.
void update_display_action(SEDQ_TX_MANAGER* tx, AFCQ_ACTION_ENUM id, bool in_force)
{
    int depth = 0;
    tx->get_data_sample_depth(&depth, SEDQ_CURRENT);
    QAction* action = tx->get_action(id, QVariant());
    action->setCheckable(true);
    action->setEnabled(depth != 0);
    action->setChecked(depth != 0 && in_force);
}

// What the user chose in one of the two insert dialogs.
struct NEW_TIME_BAR
{
    bool accepted = false;
    int offset = 0;
    bool master = false;
};
} // namespace

void SEDQ_VIEW::on_time_units()
{
    SEDQ_TIME_UNITS_DLG dialog(this);
    dialog.set_time_units_number(m_time_unit_value);
    dialog.set_time_units_string(m_time_unit_text);
    dialog.on_init_dlg();
    if (dialog.exec() != QDialog::Accepted)
        return;
    double value = 0.0;
    QString unit;
    dialog.get_time_units_number(&value);
    dialog.get_time_units_string(&unit);
    set_time_units(true, value, unit);
}

void SEDQ_VIEW::on_sample_numbers()
{
    set_time_units(false, m_time_unit_value, m_time_unit_text);
}

// Positions are typed relative to the trigger. A period of 0 (or none) gives no times to type,
// so the bar is then asked for by sample number. The view shows times of a frequency in
// microseconds, so that is the unit the time dialog starts in.
void SEDQ_VIEW::on_insert_time_bar()
{
    int trigger = 0;
    int depth = 0;
    m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    const int first = -trigger;
    const int last = depth - trigger;
    NEW_TIME_BAR bar;
    bar.master = m_timebar_count == 0;
    if (m_show_time && std::isfinite(m_time_unit_value) && m_time_unit_value != 0.0)
    {
        const bool frequency = m_time_unit_text == QLatin1String(MEGAHERTZ);
        SEDQ_TIME_UNITS_DLG dialog(this, first, last, frequency ? 1.0 / m_time_unit_value : m_time_unit_value,
                                   bar.master);
        dialog.set_time_units_string(frequency ? QString::fromLatin1(MICROSECONDS) : m_time_unit_text);
        dialog.on_init_dlg();
        bar.accepted = dialog.exec() == QDialog::Accepted;
        bar.offset = dialog.get_transition_number();
        bar.master = dialog.get_widgets().master_check_box->isChecked();
    }
    else
    {
        SEDQ_INSERT_TIME_BAR_DLG dialog(this, first, last, bar.master);
        bar.accepted = dialog.exec() == QDialog::Accepted;
        bar.offset = dialog.get_sample_offset();
        bar.master = dialog.get_widgets().master_check_box->isChecked();
    }
    if (!bar.accepted)
        return;
    // A time that rounds up past the data still marks its end.
    const int position = std::min(std::max(bar.offset, first), last) + trigger;
    if (bar.master && m_timebar_count > 0)
    {
        const int existing = find_timebar(position);
        if (existing != 0)
        {
            if (existing > 0)
                remove_timebar(existing);
            const int former_master = m_timebars[0];
            m_timebars[0] = position;
            insert_timebar(former_master);
        }
    }
    else
        insert_timebar(position);
    center_in_window(position, true);
    save_timebars();
    update();
}

// Exactly one of the two is checked while there is data to show.
void SEDQ_VIEW::on_update_sample_numbers()
{
    if (SEDQ_VERIFY(this->m_frame_wnd != NULL))
        update_display_action(m_tx_manager, AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, !m_show_time);
}

void SEDQ_VIEW::on_update_time_units()
{
    if (SEDQ_VERIFY(this->m_frame_wnd != NULL))
        update_display_action(m_tx_manager, AFCQ_SEDQ_TIME_UNITS_ACTION, m_show_time);
}
