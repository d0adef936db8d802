// QUI_FRAME_WND toolbars: the host's named toolbars, button names and toolbar categories.
#include "host/qui.h"

#include <algorithm>

#include "host/msg.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QComboBox>
#include <QToolBar>
#include <QWidgetAction>

#include <map>

namespace
{
const QString separator_name = QStringLiteral("AFCQ_SEPARATOR_ACTION");

// Analyzer commands that the host lists by name; their actions belong to the document window.
const std::map<QString, int>& frame_action_ids()
{
    static const std::map<QString, int> ids = {
        {QStringLiteral("AFCQ_SEDQ_TOOLBAR_FIND_ACTION"), 506},
        {QStringLiteral("AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION"), 507},
        {QStringLiteral("AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION"), 508},
        {QStringLiteral("AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION"), 509},
    };
    return ids;
}

// The host's own lists: the toolbars' default buttons and the categories a user picks from.
const QMap<QString, QStringList>& host_predefined_buttons()
{
    static const QMap<QString, QStringList> buttons = {
        {"File",
         {"AFCQ_NEW_ACTION", "AFCQ_OPEN_ACTION", "AFCQ_SAVE_ACTION", separator_name, "AFCQ_PRINT_ACTION"}},
        {"Standard",
         {"AFCQ_UNDO_ACTION", "AFCQ_REDO_ACTION", separator_name, "AFCQ_CUT_ACTION", "AFCQ_COPY_ACTION",
          "AFCQ_PASTE_ACTION", separator_name, "AFCQ_FIND_ACTION"}},
        {"Utility Windows", {"AFCQ_MSWQ_ACTION", "AFCQ_TCL_CONSOLE_ACTION"}},
        {"Applications", {"AFCQ_PROGRAMMER_ACTION", "AFCQ_CORVANE_HELP_ACTION"}},
        {"Processing", {"AFCQ_STOP_PROCESSING_ACTION", "AFCQ_START_COMPILATION_ACTION"}},
    };
    return buttons;
}

const QMap<QString, QStringList>& host_categories()
{
    static const QMap<QString, QStringList> categories = {
        {"File", {"AFCQ_NEW_ACTION", "AFCQ_OPEN_ACTION", "AFCQ_SAVE_ACTION", "AFCQ_PRINT_ACTION"}},
        {"File_short", {"AFCQ_SAVE_ACTION", "AFCQ_PRINT_ACTION"}},
        {"Edit",
         {"AFCQ_UNDO_ACTION", "AFCQ_REDO_ACTION", "AFCQ_CUT_ACTION", "AFCQ_COPY_ACTION", "AFCQ_PASTE_ACTION",
          "AFCQ_DELETE_ACTION", "AFCQ_FIND_ACTION", "AFCQ_FIND_NEXT_ACTION"}},
        {"Attached/Detached", {"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION"}},
        {"Utility Windows", {"AFCQ_MSWQ_ACTION", "AFCQ_TCL_CONSOLE_ACTION"}},
        {"Applications", {"AFCQ_PROGRAMMER_ACTION", "AFCQ_CORVANE_HELP_ACTION"}},
        {"Processing", {"AFCQ_STOP_PROCESSING_ACTION", "AFCQ_START_COMPILATION_ACTION"}},
    };
    return categories;
}

// A toolbar button stands for its command whether or not a window offers that command in a
// menu (a document window hides Cut, Copy and Paste in its Edit menu; the buttons stay): it
// follows the command's text, icon, tip, enabling and check state, not its visibility, and
// triggers it. It carries no shortcut of its own, so keys never become ambiguous.
QAction* make_button(QAction* command, QToolBar* toolbar)
{
    auto* button = new QAction(toolbar);
    button->setObjectName(command->objectName());
    const auto follow = [button, command]
    {
        button->setText(command->text());
        button->setIcon(command->icon());
        button->setToolTip(command->toolTip());
        button->setEnabled(command->isEnabled());
        button->setCheckable(command->isCheckable());
        button->setChecked(command->isChecked());
    };
    follow();
    QObject::connect(command, &QAction::changed, button, follow);
    QObject::connect(button, &QAction::triggered, command, [command] { command->trigger(); });
    // A command that goes takes its button with it.
    QObject::connect(command, &QObject::destroyed, button, &QObject::deleteLater);
    return button;
}

// Button name of each member of the Edit menu (the other menus name their actions so).
QAction* edit_action(const QUI_EDIT_MENU* edit, const QString& name)
{
    if (edit == nullptr)
        return nullptr;
    const std::map<QString, QAction*> actions = {
        {"AFCQ_UNDO_ACTION", edit->undo_action},
        {"AFCQ_REDO_ACTION", edit->redo_action},
        {"AFCQ_CUT_ACTION", edit->cut_action},
        {"AFCQ_COPY_ACTION", edit->copy_action},
        {"AFCQ_PASTE_ACTION", edit->paste_action},
        {"AFCQ_DELETE_ACTION", edit->delete_action},
        {"AFCQ_FIND_ACTION", edit->find_action},
        {"AFCQ_FIND_NEXT_ACTION", edit->find_next_action},
        {"AFCQ_SELECT_ALL_ACTION", edit->select_all_action},
    };
    const auto it = actions.find(name);
    return it == actions.end() ? nullptr : it->second;
}
} // namespace

void QUI_FRAME_WND::make_toolbars()
{
    const std::vector<QString>& omitted = qui_detail::state().omitted_toolbars;
    for (const char* name : {"File", "Standard", "Utility Windows", "Applications", "Processing"})
        if (std::find(omitted.begin(), omitted.end(), QString(name)) == omitted.end())
            addToolBar(Qt::TopToolBarArea, create_toolbar(name, host_predefined_buttons().value(name)));
    if (get_toolbar("Standard") == nullptr)
        return;
    auto* revision = new QComboBox(get_toolbar("Standard"));
    revision->setObjectName("QUI_REVISION_COMBO_BOX");
    revision->setToolTip(tr("Revision"));
    get_toolbar("Standard")->addWidget(revision);
    m_toolbar_combo_boxes.append(revision);
    // A document window may delete the toolbar the box sits on: the list then forgets the
    // box instead of handing out a deleted one. Disconnected with the menu tracking, before
    // the frame's members go.
    m_menu_tracking.append(connect(revision, &QObject::destroyed, this,
                                   [this, revision] { m_toolbar_combo_boxes.removeAll(revision); }));
}

QToolBar* QUI_FRAME_WND::get_toolbar(const QString& name) const
{
    const QList<QToolBar*> toolbars = findChildren<QToolBar*>(name, Qt::FindDirectChildrenOnly);
    return toolbars.isEmpty() ? nullptr : toolbars.first();
}

// A new toolbar owned by the frame; the caller places it (addToolBar).
QToolBar* QUI_FRAME_WND::create_toolbar(const QString& name, const QStringList& buttons)
{
    standin::record_call("qui:create_toolbar(\"" + name.toStdString() + "\")");
    auto* toolbar = new QToolBar(name, this);
    toolbar->setObjectName(name);
    fill_toolbar(toolbar, buttons);
    return toolbar;
}

// Replaces the buttons of a toolbar; widgets placed on it (combo boxes) stay.
void QUI_FRAME_WND::update_toolbar(const QString& name, const QStringList& buttons)
{
    standin::record_call("qui:update_toolbar(\"" + name.toStdString() + "\")");
    QToolBar* toolbar = get_toolbar(name);
    if (toolbar == nullptr)
    {
        MSG_INTERNAL_ERROR::report("toolbar != NULL", "HOST", __FILE__, __LINE__);
        return;
    }
    for (QAction* action : toolbar->actions())
    {
        if (qobject_cast<QWidgetAction*>(action) != nullptr)
            continue;
        toolbar->removeAction(action);
        if (action->parent() == toolbar) // a separator or a button of this toolbar
            delete action;
    }
    fill_toolbar(toolbar, buttons);
}

void QUI_FRAME_WND::fill_toolbar(QToolBar* toolbar, const QStringList& buttons)
{
    for (const QString& name : buttons)
    {
        if (name == separator_name)
        {
            toolbar->addSeparator();
            continue;
        }
        if (QAction* action = get_toolbar_action(name))
            toolbar->addAction(make_button(action, toolbar));
        else
            standin::record_call("qui:unknown_toolbar_button(\"" + name.toStdString() + "\")");
    }
}

QAction* QUI_FRAME_WND::get_toolbar_action(const QString& name) const
{
    const auto id = frame_action_ids().find(name);
    if (id != frame_action_ids().end())
        return find_frame_action(id->second);
    if (QAction* action = edit_action(m_menu->edit_menu, name))
        return action;
    // Host actions of the other menus carry their button name; edit actions carry an id.
    for (QAction* action : findChildren<QAction*>(name, Qt::FindDirectChildrenOnly))
        if (qobject_cast<QWidgetAction*>(action) == nullptr && !action->isSeparator())
            return action;
    return nullptr;
}

QAction* QUI_FRAME_WND::find_frame_action(int id) const
{
    const QString name = QStringLiteral("AFCQ_%1").arg(id);
    for (QAction* action : actions())
        if (action->objectName() == name)
            return action;
    return nullptr;
}

QStringList QUI_FRAME_WND::get_toolbar_category(const QString& name) const
{
    return host_categories().value(name);
}

QStringList QUI_FRAME_WND::get_predefined_toolbar_buttons(const QString& name)
{
    return host_predefined_buttons().value(name);
}

QMap<QString, QStringList> QUI_FRAME_WND::get_toolbar_categories() const
{
    QMap<QString, QStringList> categories = host_categories();
    categories.remove("File_short");
    categories.remove("Attached/Detached");
    return categories;
}
