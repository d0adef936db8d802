// SEDQ_VIEW: construction, refresh, stored positions and the lock-mode commands.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "host/dstr.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QScrollBar>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_LOCK_ALL = AFCQ_ACTION_ENUM(290);
constexpr AFCQ_ACTION_ENUM ACTION_LOCK_INCREMENTAL = AFCQ_ACTION_ENUM(291);
constexpr AFCQ_ACTION_ENUM ACTION_LOCK_TRIGGER = AFCQ_ACTION_ENUM(292);
// View-menu zoom, fit and center commands; zooming is not built yet.
const int WAVEFORM_ACTIONS[] = {728, 729, 730, 708};
} // namespace

SEDQ_VIEW::SEDQ_VIEW(QWidget* parent, SEDQ_TX_MANAGER* tx) : QAbstractScrollArea(parent), m_tx(tx)
{
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_tx->get_action(ACTION_LOCK_ALL, QVariant()), SIGNAL(triggered()), this,
            SLOT(on_select_lock_mode_all()));
    connect(m_tx->get_action(ACTION_LOCK_INCREMENTAL, QVariant()), SIGNAL(triggered()), this,
            SLOT(on_select_lock_mode_incremental()));
    connect(m_tx->get_action(ACTION_LOCK_TRIGGER, QVariant()), SIGNAL(triggered()), this,
            SLOT(on_select_lock_mode_trigger()));
    if (!m_tx->is_wizard_mode())
        on_settings_changed();
}

bool SEDQ_VIEW::save_scroll_pos()
{
    SDR_TX_INSTANCE* instance = m_tx->get_tx_instance();
    if (instance == nullptr)
        return false;
    const bool data = m_tx->is_data_mode(-1);
    instance->set_position_data(data ? "data vertical scroll position" : "setup vertical scroll position",
                                verticalScrollBar()->value());
    instance->set_position_data(data ? "data horizontal scroll position" : "setup horizontal scroll position",
                                horizontalScrollBar()->value());
    return true;
}

void SEDQ_VIEW::set_resize_flag(bool second)
{
    if (second)
        m_resize_flag_2 = true;
    else
        m_resize_flag_1 = true;
}

void SEDQ_VIEW::clear_resize_flag()
{
    m_resize_flag_1 = false;
    m_resize_flag_2 = false;
}

void SEDQ_VIEW::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_NODE_VIEW) == 0 || (hint & SEDQ_UPDATE_NO_REPAINT) != 0)
        return;
    viewport()->update();
}

void SEDQ_VIEW::on_update_edit_menu() {}

void SEDQ_VIEW::on_update_waveform_menu()
{
    for (int id : WAVEFORM_ACTIONS)
        m_tx->enable_action(AFCQ_ACTION_ENUM(id), false);
}

void SEDQ_VIEW::on_select_lock_mode_all()
{
    m_tx->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, true);
}

void SEDQ_VIEW::on_select_lock_mode_incremental()
{
    m_tx->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, true);
}

void SEDQ_VIEW::on_select_lock_mode_trigger()
{
    m_tx->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
}

void SEDQ_VIEW::on_edit_select_all() {}

void SEDQ_VIEW::on_edit_delete() {}

void SEDQ_VIEW::on_edit_find() {}

void SEDQ_VIEW::on_edit_find_next() {}

void SEDQ_VIEW::on_center_on_trigger() {}

void SEDQ_VIEW::show_list_view(QString) {}

void SEDQ_VIEW::on_print(QPrinter*) {}

// ---- settings the configuration pane reads ------------------------------------------------

namespace
{
// Whether the part named by the project's device assignment has an HPS; false for a missing
// or unknown part. The assignments must be locked for reading.
bool device_has_hps(ACF_MANAGER* acf)
{
    ACF_MGR_INPUT_PARAMETERS parameters;
    parameters.set_variable_type(ACF_DEVICE);
    ACF_ASSIGNMENT* device = acf->get_assignment(parameters);
    if (device == nullptr)
        return false;
    const DEV_PART_ENUM part = dstr_get_dev_part_enum_by_string(device->get_value());
    return part != DEV_PART_GENERIC &&
           DEV_PART_MANAGER::get_instance()->get_device_resource_count_of(part, DEV_RESOURCE_HPS) > 0;
}
} // namespace

void SEDQ_VIEW::on_settings_changed()
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf != NULL))
        return;
    bool project_known = false;
    bool has_hps = false;
    if (acf->is_project_open())
    {
        const bool lock_here = !acf->is_read_locked() && !acf->is_write_locked();
        if (lock_here)
            acf->read_lock();
        // Assignments that cannot be read leave the flag as it was.
        if (!acf->is_read_locked() && !acf->is_write_locked())
            return;
        has_hps = device_has_hps(acf);
        project_known = true;
        if (lock_here)
            acf->read_unlock();
    }
    const bool hide = project_known && !has_hps;
    if (hide == m_hide_hps_trigger)
        return;
    m_hide_hps_trigger = hide;
    m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION));
}
