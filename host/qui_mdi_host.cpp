// The multi-document host: the active attached document window's menus and toolbars in the
// main window's bars, and the main window's own edit commands sent to that window.
#include "host/qui.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QChildEvent>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QWidgetAction>

#include <array>

namespace
{
constexpr int MENU_ROLES = 9;

// The record's menus in menu-bar order; a menu a window deleted is null.
std::array<QMenu*, MENU_ROLES> menus_of(const QUI_MENU_RECORD* record)
{
    return {record->file_menu,       record->edit_menu,  record->view_menu,
            record->project_menu,    record->assignment_menu, record->processing_menu,
            record->tools_menu,      record->window_menu, record->help_menu};
}

// A toolbar the window placed and did not hide on purpose.
bool is_placed(QMainWindow* window, QToolBar* toolbar)
{
    const bool hidden_on_purpose =
        toolbar->testAttribute(Qt::WA_WState_ExplicitShowHide) && toolbar->testAttribute(Qt::WA_WState_Hidden);
    return window->toolBarArea(toolbar) != Qt::NoToolBarArea && !hidden_on_purpose;
}

QList<QToolBar*> toolbars_of(QMainWindow* window)
{
    return window->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly);
}
} // namespace

namespace qui_detail
{
mdi_host::mdi_host(QUI_FRAME_WND* main, QMdiArea* area) : QObject(main), m_main(main), m_area(area)
{
    connect(area, &QMdiArea::subWindowActivated, this, [this] { schedule_merge(); });
    enable_own_edit_commands(false);
}

mdi_host::~mdi_host() = default;

QUI_FRAME_WND* mdi_host::active_child() const
{
    QMdiSubWindow* sub = m_area->currentSubWindow();
    if (sub == nullptr)
    {
        const QList<QMdiSubWindow*> subs = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
        sub = subs.isEmpty() ? nullptr : subs.last();
    }
    return sub != nullptr ? qobject_cast<QUI_FRAME_WND*>(sub->widget()) : nullptr;
}

// Windows are built, attached and filled in steps; one merge after the last step is enough.
void mdi_host::schedule_merge()
{
    if (m_merge_pending)
        return;
    m_merge_pending = true;
    QMetaObject::invokeMethod(this, [this] { merge(); }, Qt::QueuedConnection);
}

void mdi_host::merge()
{
    m_merge_pending = false;
    unmerge();
    QUI_FRAME_WND* child = active_child();
    enable_own_edit_commands(child != nullptr);
    if (child == nullptr || child->get_menu_record() == nullptr)
        return;
    m_merged = child;
    // The main window carries the keys of the entries that stand in its menu bar.
    give_standard_keys(child);
    merge_menus(child);
    merge_toolbars(child);
    standin::record_call("qui:merge_child()");
}

// The main window's own edit commands go to a document window: with none they are greyed,
// on its toolbars too.
void mdi_host::enable_own_edit_commands(bool enable)
{
    const QUI_EDIT_MENU* edit = m_main->get_menu_record()->edit_menu;
    if (edit == nullptr)
        return;
    for (QAction* command : {edit->undo_action, edit->redo_action, edit->cut_action, edit->copy_action,
                             edit->paste_action, edit->delete_action, edit->select_all_action, edit->find_action,
                             edit->find_next_action})
        command->setEnabled(enable);
}

// Puts the main window's own bars back and the document window's bars into it again.
void mdi_host::unmerge()
{
    for (const QPointer<QObject>& watched : m_watched)
        if (watched)
            watched->removeEventFilter(this);
    m_watched.clear();
    for (const QMetaObject::Connection& connection : m_watch_connections)
        disconnect(connection);
    m_watch_connections.clear();
    for (const QPointer<QToolBar>& copy : m_copies)
        delete copy.data();
    m_copies.clear();
    for (const QPointer<QToolBar>& toolbar : m_hidden_own_toolbars)
        if (toolbar)
            toolbar->show();
    m_hidden_own_toolbars.clear();
    for (const QPointer<QToolBar>& toolbar : m_hidden_child_toolbars)
        if (toolbar)
            toolbar->show();
    m_hidden_child_toolbars.clear();
    if (!m_merged.isNull())
        m_merged->menuBar()->show();
    if (!m_merged.isNull() || !m_own_menus.isEmpty())
    {
        QMenuBar* bar = m_main->menuBar();
        for (QAction* entry : bar->actions())
            bar->removeAction(entry);
        bar->addActions(m_own_menus);
    }
    m_own_menus.clear();
    m_merged = nullptr;
}

// The document window's menu bar in its order; a menu of the host that the document window
// deleted outright (not merely took off its bar) is kept from the main window's own.
void mdi_host::merge_menus(QUI_FRAME_WND* child)
{
    QMenuBar* bar = m_main->menuBar();
    m_own_menus = bar->actions();
    const std::array<QMenu*, MENU_ROLES> own = menus_of(m_main->get_menu_record());
    const std::array<QMenu*, MENU_ROLES> theirs = menus_of(child->get_menu_record());
    QList<QAction*> merged = child->menuBar()->actions();
    for (int role = 0; role < MENU_ROLES; ++role)
    {
        if (theirs[role] != nullptr || own[role] == nullptr || !m_own_menus.contains(own[role]->menuAction()))
            continue;
        int at = 0;
        for (int before = 0; before < role; ++before)
            if (theirs[before] != nullptr && merged.contains(theirs[before]->menuAction()))
                at = merged.indexOf(theirs[before]->menuAction()) + 1;
        merged.insert(at, own[role]->menuAction());
    }
    for (QAction* entry : bar->actions())
        bar->removeAction(entry);
    bar->addActions(merged);
    child->menuBar()->hide();
    watch(child->menuBar());
}

// Copies over the same actions, so enabling, checking and routing stay the document
// window's; widgets placed on a toolbar stay where they are.
void mdi_host::merge_toolbars(QUI_FRAME_WND* child)
{
    for (QToolBar* toolbar : toolbars_of(m_main))
        if (is_placed(m_main, toolbar))
        {
            toolbar->hide();
            m_hidden_own_toolbars.append(toolbar);
        }
    for (QToolBar* toolbar : toolbars_of(child))
    {
        if (!is_placed(child, toolbar))
            continue;
        auto* copy = new QToolBar(toolbar->windowTitle(), m_main);
        copy->setObjectName(QStringLiteral("QUI_MERGED_") + toolbar->objectName());
        for (QAction* entry : toolbar->actions())
            if (qobject_cast<QWidgetAction*>(entry) == nullptr)
                copy->addAction(entry);
        // A document window that starts a row of its own for a toolbar gets it here too.
        if (child->toolBarBreak(toolbar))
            m_main->addToolBarBreak(Qt::TopToolBarArea);
        m_main->addToolBar(Qt::TopToolBarArea, copy);
        m_copies.append(copy);
        toolbar->hide();
        m_hidden_child_toolbars.append(toolbar);
        watch(toolbar);
    }
    watch(child);
}

// The merged window, its menu bar and its toolbars: a change of any of them, or one of them
// going away, calls for a new merge.
void mdi_host::watch(QObject* object)
{
    object->installEventFilter(this);
    m_watched.append(object);
    m_watch_connections.append(connect(object, &QObject::destroyed, this, [this] { schedule_merge(); }));
}

// Entries added to or taken from a bar, and a toolbar added to the window (a new child is a
// plain QObject while it is being built, so it is recognised once it is polished).
bool mdi_host::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type())
    {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        schedule_merge();
        break;
    case QEvent::ChildPolished:
        if (watched == m_merged.data() &&
            qobject_cast<QToolBar*>(static_cast<QChildEvent*>(event)->child()) != nullptr)
            schedule_merge();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
} // namespace qui_detail

// ---- QUI_FRAME_WND: the host side of the merge ------------------------------------------------

QUI_FRAME_WND* QUI_FRAME_WND::get_active_child() const
{
    return m_mdi_host != nullptr ? m_mdi_host->active_child() : nullptr;
}

void QUI_FRAME_WND::update_host_merge()
{
    QUI_FRAME_WND* main = get_main_window();
    if (main != nullptr && main->m_mdi_host != nullptr)
        main->m_mdi_host->schedule_merge();
}
