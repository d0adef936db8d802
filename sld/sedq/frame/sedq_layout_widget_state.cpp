// SEDQ_LAYOUT_WIDGET: refreshes, tab changes, pane visibility and the window state kept in
// the document.
#include "sedq/frame/sedq_layout_widget.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_view.h"

#include <QAction>
#include <QEvent>
#include <QSignalBlocker>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QTimer>

namespace
{
const QSize DEFAULT_JTAG_WIDGET_SIZE(398, 120);
} // namespace

void SEDQ_LAYOUT_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_LAYOUT) == 0)
        return;
    if ((hint & SEDQ_UPDATE_SWITCH_POWERUP_VIEW) != 0)
        switch_powerup_view(hint);
    else if ((hint & (SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_REFRESH)) != 0)
    {
        refresh_instance_tabs(hint);
        if (!m_tx_manager->is_empty())
            restore_active_tab();
    }
    if ((hint & SEDQ_UPDATE_ACQUISITION_STOPPED) != 0 && !m_tx_manager->is_any_instance_acquiring())
        m_keep_current_tab = false;
}

// Between an instance and its power-up trigger view, the entry right after it. The switch
// to the power-up view happens only when that entry really is this instance's companion.
void SEDQ_LAYOUT_WIDGET::switch_powerup_view(int hint)
{
    const int current = sedq_current_instance(m_tx_manager);
    const bool to_powerup = (hint & SEDQ_UPDATE_TO_POWERUP) != 0;
    int target = -1;
    if (current >= 0 && !m_tx_manager->is_powerup_trigger(current) && to_powerup)
    {
        if (current + 1 < m_tx_manager->get_num_instances() && m_tx_manager->is_powerup_trigger(current + 1))
            target = current + 1;
    }
    else if (current > 0 && m_tx_manager->is_powerup_trigger(current) && !to_powerup)
        target = current - 1;
    if (target != -1)
    {
        m_tx_manager->set_instance(target);
        m_tx_manager->update_all_views(
            nullptr, sedq_hint(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_INSTANCES));
    }
    if (m_tx_manager->is_data_mode(SEDQ_CURRENT) || m_keep_current_tab ||
        m_tx_manager->get_tx_instance() == nullptr)
        return;
    if (QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT))
    {
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(SEDQ_DATA_PAGE);
    }
    m_tx_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
}

// The stored tab of the current instance, Setup when it is gone; the tab change is sent
// unless Setup is the tab wanted.
void SEDQ_LAYOUT_WIDGET::restore_active_tab()
{
    QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT);
    if (tabs == nullptr || m_tx_manager->get_tx_instance() == nullptr)
        return;
    int active = m_tx_manager->get_int_state(SEDQ_CURRENT, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
    if (active == -1 || active >= tabs->count())
    {
        m_tx_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
        active = SEDQ_SETUP_PAGE;
    }
    if (tabs->currentIndex() != SEDQ_SETUP_PAGE)
    {
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(SEDQ_SETUP_PAGE);
    }
    if (active != SEDQ_SETUP_PAGE)
        tabs->setCurrentIndex(active);
    m_object_widget->on_update(nullptr, sedq_hint(SEDQ_UPDATE_TRIGGER_CANVAS));
}

void SEDQ_LAYOUT_WIDGET::save_view_scroll_pos()
{
    if (m_view != nullptr)
        m_view->save_scroll_pos();
}

void SEDQ_LAYOUT_WIDGET::save_scroll_position()
{
    if (m_scroll_flag)
        m_scroll_flag = false;
    else
        m_view->save_scroll_pos();
}

void SEDQ_LAYOUT_WIDGET::on_sel_change_instance_tab(int index)
{
    if (index != -1)
    {
        build_instance_page_at(index);
        save_scroll_position();
        QWidget* widget = m_instance_tab_widget->widget(index);
        if (!SEDQ_VERIFY(widget != NULL))
            return;
        m_tx_manager->set_instance(instance_of_page(widget));
        mark_instance_tab(index);
    }
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH |
                                                      SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_CONFIGURATION |
                                                      SEDQ_UPDATE_HIERARCHY | SEDQ_UPDATE_NODE_VIEW));
}

void SEDQ_LAYOUT_WIDGET::on_sel_change_data_setup_tab()
{
    save_scroll_position();
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    const bool acquiring = tx->get_tx_instance() != nullptr && tx->is_instance_acquiring(SEDQ_CURRENT);
    int level = 0;
    if (tx->is_state_mode())
        m_keep_current_tab = m_keep_current_tab || acquiring;
    else if (tx->is_advanced_mode(&level))
    {
        tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS));
        m_keep_current_tab = m_keep_current_tab || acquiring;
    }
    if (tx->is_setup_mode())
    {
        const bool keep = tx->is_empty() || acquiring;
        m_keep_current_tab = m_keep_current_tab || keep;
        tx->update_all_views(
            nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION |
                               (keep ? SEDQ_UPDATE_ACQUISITION_RUNNING : SEDQ_UPDATE_ACQUISITION_STOPPED)));
    }
    QTabWidget* tabs = get_data_setup_tab_widget(SEDQ_CURRENT);
    if (tabs != nullptr && tx->get_tx_instance() != nullptr)
        tx->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, tabs->currentIndex());
    tx->sync_upon_capture_type_change();
    tx->update_all_views(
        nullptr, sedq_hint(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_HIERARCHY));
    tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH |
                                            SEDQ_UPDATE_LOG | SEDQ_UPDATE_NODE_VIEW));
}

// ---- splitter positions ---------------------------------------------------------------------

void SEDQ_LAYOUT_WIDGET::on_advanced_trigger_vertical_splitter_moved(int pos, int)
{
    if (m_tx_manager->get_tx_session() != nullptr)
        m_tx_manager->set_int_state("advanced trigger node widget height", pos);
}

void SEDQ_LAYOUT_WIDGET::on_advanced_trigger_horizontal_splitter_moved(int pos, int)
{
    if (m_tx_manager->get_tx_session() != nullptr)
        m_tx_manager->set_int_state("advanced trigger node widget width", pos - 1);
}

void SEDQ_LAYOUT_WIDGET::on_hierarchy_log_splitter_moved(int pos, int)
{
    if (m_tx_manager->get_tx_session() != nullptr)
        m_tx_manager->set_int_state("hierarchy widget width", pos);
}

// The height the hierarchy and log panes got, which is what building them reads back; the
// splitter's height less the position and a fixed allowance for handle and margin would be
// off by the difference at every save and reopen.
void SEDQ_LAYOUT_WIDGET::on_instance_splitter_moved(int, int index)
{
    auto* splitter = qobject_cast<QSplitter*>(sender());
    if (splitter != nullptr && m_tx_manager->get_tx_session() != nullptr)
        m_tx_manager->set_int_state("hierarchy widget height", splitter->sizes().value(index));
}

// A window that was never laid out reports zero sizes; storing those would hide the JTAG
// pane when the document is opened again, so only real sizes are kept.
void SEDQ_LAYOUT_WIDGET::on_jtag_widget_resized()
{
    auto* top = qobject_cast<QSplitter*>(m_jtag_widget->parentWidget());
    if (top == nullptr || m_tx_manager->get_tx_session() == nullptr)
        return;
    const QList<int> top_sizes = top->sizes();
    const QList<int> own_sizes = sizes();
    if (top_sizes.count() < 2 || own_sizes.isEmpty() || top_sizes[1] <= 0 || own_sizes[0] <= 0)
        return;
    m_tx_manager->set_size_state("jtag widget size", QSize(top_sizes[1], own_sizes[0]));
}

// ---- window state -----------------------------------------------------------------------------

bool SEDQ_LAYOUT_WIDGET::save_window_position()
{
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    tx->set_size_state("frame size", QSize(m_frame->width(), m_frame->height()));
    tx->set_visible_state("jtag widget visible", m_jtag_widget->isVisibleTo(m_frame));
    on_jtag_widget_resized();
    tx->set_visible_state("instance widget visible",
                          tx->get_action(AFCQ_SEDQ_INSTANCE_PANE_ACTION, QVariant())->isChecked());
    tx->set_visible_state("config widget visible",
                          tx->get_action(AFCQ_SEDQ_CONFIG_PANE_ACTION, QVariant())->isChecked());
    tx->set_visible_state("hierarchy widget visible",
                          tx->get_action(AFCQ_SEDQ_HIERARCHY_PANE_ACTION, QVariant())->isChecked());
    tx->set_visible_state("data log widget visible",
                          tx->get_action(AFCQ_SEDQ_LOG_PANE_ACTION, QVariant())->isChecked());
    return true;
}

bool SEDQ_LAYOUT_WIDGET::load_window_position()
{
    const QSize frame_size = m_tx_manager->get_size_state("frame size", QSize(0, 0));
    if (frame_size.width() >= 0 && frame_size.height() >= 0)
        m_frame->setMinimumSize(frame_size);
    QTimer::singleShot(0, this, &SEDQ_LAYOUT_WIDGET::on_resize_timer);
    if (m_tx_manager->get_visible_state("sof manager visible", false) &&
        !m_jtag_widget->is_sof_manager_visible())
        m_jtag_widget->on_sof_manager_toggle();
    return true;
}

void SEDQ_LAYOUT_WIDGET::on_resize_timer()
{
    m_frame->setMinimumSize(0, 0);
    if (m_tx_manager->get_tx_session() == nullptr)
        return;
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    const bool instance_visible = tx->get_visible_state("instance widget visible", true);
    const bool jtag_visible = tx->get_visible_state("jtag widget visible", true);
    if (!instance_visible)
        tx->get_action(AFCQ_SEDQ_INSTANCE_PANE_ACTION, QVariant())->setChecked(false);
    if (!jtag_visible)
        m_jtag_widget->get_toggle_action()->setChecked(false);
    if (!instance_visible && !jtag_visible)
    {
        m_instance_widget->hide();
        m_jtag_widget->hide();
        m_jtag_widget->parentWidget()->hide();
    }
    else
    {
        apply_jtag_widget_size();
        if (!instance_visible)
            m_instance_widget->hide();
    }
    tx->get_action(AFCQ_SEDQ_CONFIG_PANE_ACTION, QVariant())
        ->setChecked(tx->get_visible_state("config widget visible", true));
    tx->get_action(AFCQ_SEDQ_HIERARCHY_PANE_ACTION, QVariant())
        ->setChecked(tx->get_visible_state("hierarchy widget visible", true));
    tx->get_action(AFCQ_SEDQ_LOG_PANE_ACTION, QVariant())
        ->setChecked(tx->get_visible_state("data log widget visible", true));
}

// The stored height goes to the top row, the stored width to the JTAG pane.
void SEDQ_LAYOUT_WIDGET::apply_jtag_widget_size()
{
    const QSize size = m_tx_manager->get_size_state("jtag widget size", DEFAULT_JTAG_WIDGET_SIZE);
    const QList<int> own = sizes();
    if (size.height() > 0 && own.count() >= 2)
        setSizes({size.height(), own[0] + own[1] - size.height()});
    auto* top = qobject_cast<QSplitter*>(m_jtag_widget->parentWidget());
    const QList<int> top_sizes = top != nullptr ? top->sizes() : QList<int>();
    if (size.width() >= 1 && m_tx_manager->get_visible_state("jtag widget visible", true) &&
        top_sizes.count() >= 2)
        top->setSizes({top_sizes[0] + top_sizes[1] - size.width(), size.width()});
    else
        m_jtag_widget->hide();
}

// ---- pane visibility --------------------------------------------------------------------------

// A splitter is hidden with its last visible pane and shown again with its first.
bool SEDQ_LAYOUT_WIDGET::eventFilter(QObject* watched, QEvent* event)
{
    auto* pane = qobject_cast<QWidget*>(watched);
    if (pane == nullptr || pane->parentWidget() == nullptr)
        return QSplitter::eventFilter(watched, event);
    if (event->type() == QEvent::ShowToParent && pane->parentWidget()->isHidden())
        pane->parentWidget()->show();
    else if (event->type() == QEvent::Hide)
        hide_parent_if_all_hidden(pane);
    return QSplitter::eventFilter(watched, event);
}

// Children that are not widgets (a splitter keeps some) have no visibility and are skipped.
void SEDQ_LAYOUT_WIDGET::hide_parent_if_all_hidden(QWidget* pane)
{
    QWidget* parent = pane->parentWidget();
    for (QObject* child : parent->children())
    {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || qobject_cast<QSplitterHandle*>(widget) != nullptr)
            continue;
        if (!widget->testAttribute(Qt::WA_WState_Hidden))
            return;
    }
    parent->hide();
}
