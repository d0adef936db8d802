// SEDQ_VIEW: construction, refresh, stored positions and the lock-mode commands.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

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
