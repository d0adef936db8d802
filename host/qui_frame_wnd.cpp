// QUI_FRAME_WND: construction, modes, menus wiring, detach and attach, compile flows,
// notifications, printer.
#include "host/qui.h"

#include "host/chi_private.h"
#include "host/msg.h"
#include "host/prdq.h"
#include "host/qtk.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QToolBar>

#include <atomic>

namespace
{
// The Relayne entry can run while a project of a family that supports it is open and no flow
// runs; a document window's toolbar follows the entry's changes.
void follow_relayne_state(QUI_FRAME_WND* frame)
{
    const auto& s = qui_detail::state();
    QUI_MENU_RECORD* menu = frame->get_menu_record();
    if (menu != nullptr && menu->processing_menu != nullptr)
        menu->processing_menu->rly_action->setEnabled(
            s.project_open && !s.flow_running && s.flow_allowed &&
            QTK_RLY_STATE_MANAGER::is_family_supported_by_relayne(false));
}

void follow_relayne_state()
{
    for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
        follow_relayne_state(frame);
}
} // namespace

QUI_FRAME_WND::QUI_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent,
                             Qt::WindowFlags flags)
    : QMainWindow(parent, flags), m_info(info), m_state(state), m_detached(state == QUI_FW_STATE_DETACHED)
{
    make_menus();
    make_toolbars();
    connect_menu_actions();
    apply_mode_defaults();
    QUI_FRAME_MGR::get_frame_mgr()->add_frame(this);
    follow_relayne_state(this);
    if (is_main_window())
        qui_detail::watch_posted_messages(this);
    // Before the first dialog of any document window, so that a headless run never waits.
    qui_detail::install_modal_filter();
    qui_detail::install_shortcut_refresher();
    qui_detail::install_dialog_closing_watch();
    standin::record_call("qui:QUI_FRAME_WND(" + std::to_string(state) + ")");
    QUI_FRAME_WND* main = get_main_window();
    if (parent == nullptr && state == QUI_FW_STATE_ATTACHED && main && main->get_mdi_area())
    {
        main->get_mdi_area()->addSubWindow(this);
        update_host_merge();
    }
}

QUI_FRAME_WND::~QUI_FRAME_WND()
{
    // The main window takes its own bars back while the document window still stands.
    delete m_mdi_host;
    m_mdi_host = nullptr;
    // Hidden as the window goes, it would otherwise tell this half-destroyed frame so.
    delete m_message_window;
    m_message_window = nullptr;
    for (const QMetaObject::Connection& connection : m_menu_tracking)
        disconnect(connection);
    QUI_FRAME_MGR::get_frame_mgr()->remove_frame(this);
    for (AFCQ_PAGE_INFO* page : m_preference_pages)
        prdq_delete_page_tree(page);
    m_preference_pages.clear();
}

void QUI_FRAME_WND::make_menus()
{
    m_menu = std::make_unique<QUI_MENU_RECORD>();
    QUI_MENU_RECORD& menu = *m_menu;
    menu.file_menu = new QUI_FILE_MENU(this);
    menu.edit_menu = new QUI_EDIT_MENU(this);
    menu.view_menu = new QUI_VIEW_MENU(this);
    menu.project_menu = new QUI_PROJECT_MENU(this);
    menu.assignment_menu = new QUI_ASSIGNMENT_MENU(this);
    menu.processing_menu = new QUI_PROCESSING_MENU(this);
    menu.tools_menu = new QUI_TOOLS_MENU(this);
    menu.window_menu = new QUI_WINDOW_MENU(this);
    menu.help_menu = new QUI_HELP_MENU(this);
    for (QMenu* each : {static_cast<QMenu*>(menu.file_menu), static_cast<QMenu*>(menu.edit_menu),
                        static_cast<QMenu*>(menu.view_menu), static_cast<QMenu*>(menu.project_menu),
                        static_cast<QMenu*>(menu.assignment_menu), static_cast<QMenu*>(menu.processing_menu),
                        static_cast<QMenu*>(menu.tools_menu), static_cast<QMenu*>(menu.window_menu),
                        static_cast<QMenu*>(menu.help_menu)})
        menuBar()->addMenu(each);
    track_menu(menu.file_menu);
    track_menu(menu.edit_menu);
    track_menu(menu.view_menu);
    track_menu(menu.project_menu);
    track_menu(menu.assignment_menu);
    track_menu(menu.processing_menu);
    track_menu(menu.tools_menu);
    track_menu(menu.window_menu);
    track_menu(menu.help_menu);
}

// A document window may delete host menus it does not want; the record then says null
// instead of dangling.
template <class MENU> void QUI_FRAME_WND::track_menu(MENU*& member)
{
    m_menu_tracking.append(connect(member, &QObject::destroyed, this, [&member] { member = nullptr; }));
}

void QUI_FRAME_WND::connect_menu_actions()
{
    const QUI_MENU_RECORD& menu = *m_menu;
    connect(menu.file_menu->new_action, &QAction::triggered, this, &QUI_FRAME_WND::on_new_action);
    connect(menu.file_menu->open_action, &QAction::triggered, this, &QUI_FRAME_WND::on_open_action);
    connect(menu.file_menu->save_action, &QAction::triggered, this, &QUI_FRAME_WND::on_save_action);
    connect(menu.file_menu->save_as_action, &QAction::triggered, this, &QUI_FRAME_WND::on_save_as_action);
    connect(menu.file_menu->exit_action, &QAction::triggered, this, &QUI_FRAME_WND::on_exit_action);
    const QUI_EDIT_MENU& edit = *menu.edit_menu;
    connect(edit.undo_action, &QAction::triggered, this, &QUI_FRAME_WND::on_undo_action);
    connect(edit.redo_action, &QAction::triggered, this, &QUI_FRAME_WND::on_redo_action);
    connect(edit.cut_action, &QAction::triggered, this, &QUI_FRAME_WND::on_cut_action);
    connect(edit.copy_action, &QAction::triggered, this, &QUI_FRAME_WND::on_copy_action);
    connect(edit.paste_action, &QAction::triggered, this, &QUI_FRAME_WND::on_paste_action);
    connect(edit.delete_action, &QAction::triggered, this, &QUI_FRAME_WND::on_delete_action);
    connect(edit.select_all_action, &QAction::triggered, this, &QUI_FRAME_WND::on_select_all_action);
    connect(edit.find_action, &QAction::triggered, this, &QUI_FRAME_WND::on_find_action);
    connect(edit.find_next_action, &QAction::triggered, this, &QUI_FRAME_WND::on_find_next_action);
    connect(menu.view_menu->message_window_action, &QAction::triggered, this,
            &QUI_FRAME_WND::on_message_window_action);
    connect(menu.processing_menu->start_compilation_action, &QAction::triggered, this,
            &QUI_FRAME_WND::on_start_compilation_action);
    connect(menu.processing_menu->rly_action, &QAction::triggered, this,
            [this] { start_flow(80, "", true, false, true); });
    connect(menu.window_menu->detach_action, &QAction::triggered, this, &QUI_FRAME_WND::detach_window);
    connect(menu.window_menu->attach_action, &QAction::triggered, this, &QUI_FRAME_WND::attach_window);
    connect_host_commands();
}

// Document menus belong to the window that edits a document: it shows them. A child frame
// shares the host's Edit entries, which stay hidden until the child offers them.
void QUI_FRAME_WND::apply_mode_defaults()
{
    const QUI_MENU_RECORD& menu = *m_menu;
    for (QMenu* each : {static_cast<QMenu*>(menu.edit_menu), static_cast<QMenu*>(menu.view_menu),
                        static_cast<QMenu*>(menu.project_menu), static_cast<QMenu*>(menu.processing_menu)})
        each->menuAction()->setVisible(false);
    if (!is_main_window())
        menu.edit_menu->show_all_actions(menu.edit_menu->actions(), false);
}

bool QUI_FRAME_WND::is_main_window() const
{
    return m_state == QUI_FW_STATE_MAIN_WINDOW;
}

QUI_FRAME_WND* QUI_FRAME_WND::get_main_window() const
{
    if (is_main_window())
        return const_cast<QUI_FRAME_WND*>(this);
    const QList<QUI_FRAME_WND*> frames = QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list();
    for (QUI_FRAME_WND* frame : frames)
        if (frame->is_main_window())
            return frame;
    return nullptr;
}

bool QUI_FRAME_WND::main_wnd_has_mdi_area() const
{
    const QUI_FRAME_WND* main = get_main_window();
    return main != nullptr && main->get_mdi_area() != nullptr;
}

QMdiArea* QUI_FRAME_WND::create_mdi_area()
{
    if (!m_mdi_area)
    {
        m_mdi_area = new QMdiArea(this);
        setCentralWidget(m_mdi_area);
        m_mdi_host = new qui_detail::mdi_host(this, m_mdi_area);
        // Its document windows have the documents: its own Close has none to close.
        m_menu->file_menu->close_action->setEnabled(false);
        sync_window_entries();
    }
    return m_mdi_area;
}

QMdiArea* QUI_FRAME_WND::get_mdi_area() const
{
    return m_mdi_area;
}

void QUI_FRAME_WND::detach_window()
{
    standin::record_call("qui:detach_window()");
    if (is_main_window() || m_detached || !m_menu->window_menu)
        return;
    m_detached = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
    {
        sub->setWidget(nullptr);
        setParent(nullptr, Qt::Window);
        sub->deleteLater();
        show();
    }
    m_menu->window_menu->detach_action->setEnabled(false);
    m_menu->window_menu->attach_action->setEnabled(true);
    update_host_merge();
}

void QUI_FRAME_WND::attach_window()
{
    standin::record_call("qui:attach_window()");
    if (is_main_window() || !m_detached || !m_menu->window_menu)
        return;
    m_detached = false;
    QUI_FRAME_WND* main = get_main_window();
    if (main && main->get_mdi_area() && parentWidget() == nullptr)
        main->get_mdi_area()->addSubWindow(this)->show();
    m_menu->window_menu->detach_action->setEnabled(true);
    m_menu->window_menu->attach_action->setEnabled(false);
    update_host_merge();
}

QPrinter* QUI_FRAME_WND::get_printer()
{
    if (!m_printer)
    {
        static std::atomic<int> serial{0};
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(QDir::temp().filePath(
            QStringLiteral("qui_print_%1_%2.pdf").arg(QCoreApplication::applicationPid()).arg(++serial)));
    }
    return m_printer.get();
}

AFCQ_LOCATE_MENU* QUI_FRAME_WND::get_locate_menu()
{
    if (m_locate_menu == nullptr)
        m_locate_menu = new AFCQ_LOCATE_MENU(this);
    return m_locate_menu;
}

// Dispatched here rather than through map entries: a map entry would hold a pointer to a
// member of this class cast to the target base, which is valid C++ but which the undefined-
// behaviour sanitizer's type check rejects when it is called.
bool QUI_FRAME_WND::on_ntfq_notify(unsigned int id, unsigned long data, bool flag)
{
    static const unsigned int prdq_updated = ntfq_get_message("NTFQ_MSG_PRDQ_UPDATED");
    static const unsigned int flow_finish = ntfq_get_message("NTFQ_MSG_POST_NOTIFY_FLOW_FINISH");
    if (id == prdq_updated)
        return ntfq_msg_prdq_updated(data, flag);
    if (id == flow_finish)
        return ntfq_msg_post_notify_flow_finish(data, flag);
    return NTFQ_NOTIFY_TARGET::on_ntfq_notify(id, data, flag);
}

bool QUI_FRAME_WND::ntfq_msg_prdq_updated(unsigned long, bool)
{
    standin::record_call("qui:ntfq_msg_prdq_updated()");
    return true;
}

bool QUI_FRAME_WND::ntfq_msg_post_notify_flow_finish(unsigned long data, bool)
{
    standin::record_call("qui:ntfq_msg_post_notify_flow_finish(" + std::to_string(data) + ")");
    return true;
}

void QUI_FRAME_WND::export_action()
{
    standin::record_call("qui:export_action()");
}

bool QUI_FRAME_WND::enable_export_action()
{
    return false;
}

void QUI_FRAME_WND::on_print_file()
{
    standin::record_call("qui:on_print_file()");
}

// The base edit commands have no document of their own: a main window hands them to its
// active document window, whose override acts; any other frame has nothing to act on.
void QUI_FRAME_WND::on_undo_action()
{
    standin::record_call("qui:on_undo_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_undo_action();
}
void QUI_FRAME_WND::on_redo_action()
{
    standin::record_call("qui:on_redo_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_redo_action();
}
void QUI_FRAME_WND::on_cut_action()
{
    standin::record_call("qui:on_cut_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_cut_action();
}
void QUI_FRAME_WND::on_copy_action()
{
    standin::record_call("qui:on_copy_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_copy_action();
}
void QUI_FRAME_WND::on_paste_action()
{
    standin::record_call("qui:on_paste_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_paste_action();
}
void QUI_FRAME_WND::on_delete_action()
{
    standin::record_call("qui:on_delete_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_delete_action();
}
void QUI_FRAME_WND::on_select_all_action()
{
    standin::record_call("qui:on_select_all_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_select_all_action();
}
void QUI_FRAME_WND::on_find_action()
{
    standin::record_call("qui:on_find_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_find_action();
}
void QUI_FRAME_WND::on_find_next_action()
{
    standin::record_call("qui:on_find_next_action()");
    if (QUI_FRAME_WND* child = get_active_child())
        child->on_find_next_action();
}

// Compile flows: one at a time per process, ended on a later event-loop turn by the simulated
// compile and the flow-finish notification.
namespace
{
void finish_flow(const QPointer<QUI_FRAME_WND>& frame, size_t index, unsigned generation)
{
    auto& s = qui_detail::state();
    if (generation != s.generation || index >= s.flows.size())
        return;
    const int flow = s.flows[index].flow;
    s.flows[index].finished = true;
    s.flow_running = false;
    follow_relayne_state();
    standin::record_call("qui:flow_finished(" + std::to_string(flow) + ")");
    chi_detail::simulate_flow(frame.data(), flow);
    if (qui_detail::flow_simulator())
        qui_detail::flow_simulator()(frame.data(), flow);
    ntfq_post(ntfq_get_message("NTFQ_MSG_POST_NOTIFY_FLOW_FINISH"), static_cast<unsigned long>(flow), true);
}

// A compilation that does not start says why, where a failed compilation says it.
void refuse_flow(const char* reason)
{
    MSG_E message;
    message.fill_args("Compilation not started: %1!s!/EQUI_FLOW_NOT_STARTED", reason);
    message.post();
}
} // namespace

bool QUI_FRAME_WND::can_start_flow()
{
    const auto& s = qui_detail::state();
    return s.flow_allowed && !s.flow_running;
}

void QUI_FRAME_WND::start_flow(int flow, const char* text, bool save_first, bool incremental,
                               bool show_report)
{
    const std::string label = text ? text : "";
    standin::record_call("qui:start_flow(" + std::to_string(flow) + ",\"" + label + "\"," +
                         std::to_string(save_first) + "," + std::to_string(incremental) + "," +
                         std::to_string(show_report) + ")");
    if (!can_start_flow())
    {
        standin::record_call("qui:start_flow_refused(" + std::to_string(flow) + ")");
        return refuse_flow(qui_detail::state().flow_running ? "another compilation is running"
                                                            : "the host cannot start a compilation now");
    }
    // A document that never had a file is given one first, as Save does; the flow compiles
    // the document under its file.
    if (save_first && m_file_path.is_empty())
    {
        on_save_action();
        if (m_file_path.is_empty())
            return refuse_flow("the document has not been saved; save it under a name to compile it");
    }
    auto& s = qui_detail::state();
    s.flow_running = true;
    follow_relayne_state();
    s.flows.push_back({flow, label, save_first, incremental, show_report, false});
    const size_t index = s.flows.size() - 1;
    const unsigned generation = s.generation;
    const QPointer<QUI_FRAME_WND> frame(this);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [frame, index, generation] { finish_flow(frame, index, generation); },
        Qt::QueuedConnection);
}

// A compilation that cannot start says why (start_flow).
void QUI_FRAME_WND::on_start_compilation_action()
{
    start_flow(15, "", true, false, true);
}
