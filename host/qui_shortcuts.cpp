// The host's keys: before a key can run a menu entry through its shortcut, the window brings
// that menu's entries up to date, as it does when the menu opens. An entry the window enables
// only then runs from its key too, and an entry whose command cannot run now is greyed, so the
// key goes to the focused widget (a pane with keys of its own) instead.
#include "host/qui.h"

#include "host/afcq_private.h"
#include "host/qui_private.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>

namespace
{
bool has_key(const QAction* action, const QKeySequence& key)
{
    for (const QKeySequence& shortcut : action->shortcuts())
        if (shortcut.matches(key) == QKeySequence::ExactMatch)
            return true;
    return false;
}

// Every menu below the bar, submenus after the menu that holds them.
void collect_menus(const QList<QAction*>& entries, QList<QMenu*>* menus, QSet<QMenu*>* seen)
{
    for (QAction* entry : entries)
    {
        QMenu* menu = entry->menu();
        if (menu == nullptr || seen->contains(menu))
            continue;
        seen->insert(menu);
        menus->append(menu);
        collect_menus(menu->actions(), menus, seen);
    }
}

// Every menu of the window's menu bar, submenus included.
QList<QMenu*> window_menus(QMainWindow* window)
{
    QList<QMenu*> menus;
    QSet<QMenu*> seen;
    collect_menus(window->menuBar()->actions(), &menus, &seen);
    return menus;
}

// The menus of the window's menu bar that hold an entry with this key.
QList<QMenu*> menus_with_key(QMainWindow* window, const QKeySequence& key)
{
    QList<QMenu*> holding;
    for (QMenu* menu : window_menus(window))
        for (const QAction* action : menu->actions())
            if (!action->isSeparator() && action->menu() == nullptr && has_key(action, key))
            {
                holding.append(menu);
                break;
            }
    return holding;
}

// Most keys typed are no menu entry's key: the keys of the window's menus are gathered once and
// gathered again only after an entry was added, removed or changed anywhere, so a typed character
// costs one look-up instead of a walk over every menu.
class shortcut_refresher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::ActionAdded || type == QEvent::ActionChanged)
            note_entry(watched, static_cast<QActionEvent*>(event)->action());
        if (type != QEvent::ShortcutOverride || m_refreshing)
            return false;
        auto* window = qobject_cast<QUI_FRAME_WND*>(QApplication::activeWindow());
        const auto* key_event = static_cast<const QKeyEvent*>(event);
        const int key = key_event->key();
        if (window == nullptr || !watched->isWidgetType() || key == 0 || key == Qt::Key_unknown ||
            key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta)
            return false;
        const QKeySequence sequence(key | int(key_event->modifiers() & ~Qt::KeypadModifier));
        if (!is_menu_key(window, sequence))
            return false;
        m_refreshing = true;
        // A refresh may rebuild menus: each is looked at only while it still exists.
        QList<QPointer<QMenu>> menus;
        for (QMenu* menu : menus_with_key(window, sequence))
            menus.append(menu);
        for (const QPointer<QMenu>& menu : menus)
            if (!menu.isNull())
                emit menu->aboutToShow();
        m_refreshing = false;
        return false;
    }

private:
    // An entry added to a menu, or changed (enabled, renamed, given a key), adds its keys to those
    // gathered; the window's commands are enabled and renamed on every key typed, and gathering
    // them all again each time would cost a walk over every menu per key. Keys of entries since
    // removed or changed stay in the set: a key there that no entry has now finds no menu to
    // refresh. A submenu added brings entries of its own: they are gathered again.
    void note_entry(QObject* watched, const QAction* action)
    {
        if (m_keys_stale || action == nullptr ||
            (qobject_cast<QMenu*>(watched) == nullptr && qobject_cast<QMenuBar*>(watched) == nullptr))
            return;
        if (action->menu() != nullptr)
        {
            m_keys_stale = true;
            return;
        }
        for (const QKeySequence& shortcut : action->shortcuts())
            if (shortcut.count() == 1)
                m_keys.insert(shortcut[0]);
    }

    // Whether some entry of the window's menus has this one-key sequence as a key (a longer
    // sequence never matches one key exactly).
    bool is_menu_key(QMainWindow* window, const QKeySequence& sequence)
    {
        if (m_keys_stale || m_keys_window != window)
        {
            m_keys.clear();
            for (QMenu* menu : window_menus(window))
                for (const QAction* action : menu->actions())
                    for (const QKeySequence& shortcut : action->shortcuts())
                        if (shortcut.count() == 1)
                            m_keys.insert(shortcut[0]);
            m_keys_window = window;
            m_keys_stale = false;
        }
        return m_keys.contains(sequence[0]);
    }

    bool m_refreshing = false;
    bool m_keys_stale = true;
    QPointer<QMainWindow> m_keys_window;
    QSet<int> m_keys;
};
} // namespace

namespace qui_detail
{
void install_shortcut_refresher()
{
    install_application_filter<shortcut_refresher>();
}

// A window whose entries lost their keys (a document window attached again clears the keys it
// gave itself while detached) gets the host's back while its menus stand in the main window.
// Only menu entries: a toolbar button stands for an entry and must not carry its key twice.
void give_standard_keys(QMainWindow* window)
{
    QList<QMenu*> menus;
    QSet<QMenu*> seen;
    collect_menus(window->menuBar()->actions(), &menus, &seen);
    for (QMenu* menu : menus)
        for (QAction* action : menu->actions())
            if (action->shortcut().isEmpty())
            {
                const QList<QKeySequence> keys = afcq_detail::standard_keys(action->objectName());
                if (!keys.isEmpty())
                    action->setShortcuts(keys);
            }
}
} // namespace qui_detail
