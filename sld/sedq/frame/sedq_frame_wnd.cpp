// SEDQ_FRAME_WND: construction order, destruction, toolbar enabling and the compile commands.
#include "sedq/frame/sedq_frame_wnd.h"

#include "host/qtk.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_view.h"

#include <QAction>
#include <QApplication>
#include <QToolBar>

namespace
{
constexpr int FLOW_COMPILE = 15;
constexpr int FLOW_RELAYNE = 80;
} // namespace

// The order matters: the model exists before any menu asks it for actions, and the layout
// (whose panes read the model and the menus) comes last, after the first refresh.
SEDQ_FRAME_WND::SEDQ_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent,
                               Qt::WindowFlags flags)
    : QUI_FRAME_WND(info, state, parent, flags)
{
    m_tx_manager = new SEDQ_TX_MANAGER(this);
    make_file_menu();
    register_edit_actions();
    make_edit_menu();
    make_view_and_processing_menus();
    make_preference_pages();
    connect_menus();
    if (is_main_window())
        prune_main_window();
    else
        enable_window_menu_entries();
    // Inside the host the host's own compile entries serve, as after attach_window; only a
    // window on its own carries the analyzer's.
    if (!is_main_window() && !is_detached())
        remove_compile_entries();
    borrow_rly_action();
    setup_toolbar();
    on_update(nullptr, 0);
    m_layout_widget = new SEDQ_LAYOUT_WIDGET(this);
    setCentralWidget(m_layout_widget);
    if (QMenu* edit = get_menu_record()->edit_menu)
        connect(edit, &QMenu::aboutToShow, m_layout_widget->get_view(), &SEDQ_VIEW::on_update_edit_menu);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_FRAME_WND::on_update);
}

// The model goes first, then the toolbar; Qt destroys the layout and its panes afterwards.
SEDQ_FRAME_WND::~SEDQ_FRAME_WND()
{
    // Panes answer losing the focus through the model: take it from them while the model lives,
    // not when the closing window is deactivated afterwards.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && isAncestorOf(focus))
        focus->clearFocus();
    if (SEDQ_VERIFY(this->m_tx_manager != NULL))
    {
        m_tx_manager->close_document();
        delete m_tx_manager;
        m_tx_manager = nullptr;
    }
    if (m_toolbar != nullptr)
    {
        removeToolBar(m_toolbar);
        delete m_toolbar;
        m_toolbar = nullptr;
    }
}

SEDQ_FRAME_WND* SEDQ_FRAME_WND::of(const SEDQ_TX_MANAGER* manager)
{
    return manager != nullptr ? dynamic_cast<SEDQ_FRAME_WND*>(manager->get_window()) : nullptr;
}

// ---- what the model asks of its window ---------------------------------------------------------

void SEDQ_FRAME_WND::add_pane_toggle(QAction* toggle)
{
    if (get_menu_record() != nullptr && get_menu_record()->view_menu != nullptr)
        get_menu_record()->view_menu->addAction(toggle);
}

QTabWidget* SEDQ_FRAME_WND::get_data_setup_tab_widget(int instance)
{
    return m_layout_widget != nullptr ? m_layout_widget->get_data_setup_tab_widget(instance) : nullptr;
}

void SEDQ_FRAME_WND::save_view_scroll_position(bool restore_after_run)
{
    if (m_layout_widget == nullptr || m_layout_widget->get_view() == nullptr)
        return;
    m_layout_widget->save_view_scroll_pos();
    if (restore_after_run)
        m_layout_widget->set_scroll_flag(true);
}

void SEDQ_FRAME_WND::prepare_save()
{
    if (m_layout_widget == nullptr)
        return;
    // A programming run from the SOF Manager lends the document's programming file name to a
    // temporary file; the file keeps its own name.
    if (m_layout_widget->get_jtag_widget() != nullptr)
        m_layout_widget->get_jtag_widget()->end_programming_run();
    m_layout_widget->save_window_position();
}

void SEDQ_FRAME_WND::start_recompile()
{
    start_flow(QTK_RLY_STATE_MANAGER::is_family_supported_by_relayne(false) ? FLOW_RELAYNE : FLOW_COMPILE, "", true,
               false, true);
}

QAction* SEDQ_FRAME_WND::action(int id, const QVariant& data)
{
    return m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), data);
}

void SEDQ_FRAME_WND::set_window_modified(bool modified)
{
    setWindowModified(modified);
    QUI_FRAME_WND::modified();
}

void SEDQ_FRAME_WND::set_rly_action(QAction* action)
{
    m_rly_action = action;
}

bool SEDQ_FRAME_WND::is_rly_available()
{
    return action(AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled();
}

// A child frame borrows the host main window's Relayne entry to know when Relayne can run.
void SEDQ_FRAME_WND::borrow_rly_action()
{
    m_rly_action = nullptr;
    if (is_main_window())
        return;
    QUI_FRAME_WND* main = get_main_window();
    if (main != nullptr && main->get_menu_record() != nullptr &&
        main->get_menu_record()->processing_menu != nullptr)
        m_rly_action = main->get_menu_record()->processing_menu->rly_action;
}

// Enables the four toolbar commands and Undo and Redo from the document. A flow's text typed
// changes none of them but Undo and Redo (every key is a step), which the edit's end has
// brought up to date.
void SEDQ_FRAME_WND::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_FLOW_TEXT) != 0)
        return;
    const bool empty = m_tx_manager->is_empty();
    const bool has_nodes = !empty && m_tx_manager->get_node_count(SEDQ_CURRENT) > 0;
    action(AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION)
        ->setEnabled(has_nodes && m_tx_manager->is_data_mode(SEDQ_CURRENT) &&
                     m_tx_manager->get_data_segment_size() <= 1);
    action(AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)
        ->setEnabled(!m_rly_action.isNull() && m_rly_action->isEnabled() && !empty);
    action(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)
        ->setEnabled(!empty && !is_main_window() && can_start_flow());
    action(AFCQ_SEDQ_TOOLBAR_FIND_ACTION)->setEnabled(has_nodes);
    update_undo_actions(empty);
}

// Undo and redo are toolbar commands as well: they follow the history from the first refresh,
// not only once the Edit menu has been opened. An advanced trigger page keeps the canvas's own.
void SEDQ_FRAME_WND::update_undo_actions(bool empty)
{
    int level = 0;
    if (empty)
    {
        action(AFCQ_EDIT_UNDO_ACTION)->setEnabled(false);
        action(AFCQ_EDIT_REDO_ACTION)->setEnabled(false);
    }
    else if (!m_tx_manager->is_advanced_mode(&level))
    {
        m_tx_manager->on_update_edit_undo();
        m_tx_manager->on_update_edit_redo();
    }
}

void SEDQ_FRAME_WND::on_rly_changed()
{
    on_update(nullptr, 0);
}

// Compile and Relayne serve a detached child window; a main window has no project to compile.
void SEDQ_FRAME_WND::on_compile()
{
    if (!SEDQ_VERIFY(!this->is_main_window()))
        return;
    start_flow(FLOW_COMPILE, "", true, false, true);
}

void SEDQ_FRAME_WND::on_recompile()
{
    if (!SEDQ_VERIFY(!this->is_main_window()))
        return;
    start_flow(FLOW_RELAYNE, "", true, false, true);
}
