// SEDQ_FRAME_WND: the "Default" toolbar, the predefined buttons of the window's toolbars and
// the toolbar categories a user customises them from.
#include "sedq/frame/sedq_frame_wnd.h"

#include "sedq/model/sedq_tx_manager.h"

#include <QAction>
#include <QToolBar>

namespace
{
const QString SEPARATOR = QStringLiteral("AFCQ_SEPARATOR_ACTION");
const QString FIND = QStringLiteral("AFCQ_SEDQ_TOOLBAR_FIND_ACTION");
const QString COMPILE = QStringLiteral("AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION");
const QString RECOMPILE = QStringLiteral("AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION");
const QString CENTER_ON_TRIGGER = QStringLiteral("AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION");
} // namespace

// The four analyzer toolbar commands belong to the frame, so their shortcuts work anywhere
// in the window; compile is offered only to a child window, which has a project to compile.
void SEDQ_FRAME_WND::setup_toolbar()
{
    QAction* find = action(AFCQ_SEDQ_TOOLBAR_FIND_ACTION);
    QAction* center_on_trigger = action(AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION);
    QAction* recompile = action(AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION);
    QAction* compile = action(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION);
    for (QAction* entry : {find, center_on_trigger, recompile, compile})
    {
        entry->setParent(this);
        addAction(entry);
    }
    m_toolbar = create_toolbar("Default", get_predefined_toolbar_buttons("Default"));
    // A child window keeps the host's toolbars; the analyzer's own starts a row of its own so
    // that it is never pushed out of sight.
    if (!is_main_window())
        addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    update_toolbar("Default", get_predefined_toolbar_buttons("Default"));
    connect(find, &QAction::triggered, this, &SEDQ_FRAME_WND::on_toolbar_find);
    connect(center_on_trigger, &QAction::triggered, this, &SEDQ_FRAME_WND::on_center_on_trigger);
    connect(recompile, &QAction::triggered, this, &SEDQ_FRAME_WND::on_recompile);
    connect(compile, &QAction::triggered, this, &SEDQ_FRAME_WND::on_compile);
    if (!m_rly_action.isNull())
        connect(m_rly_action, &QAction::changed, this, &SEDQ_FRAME_WND::on_rly_changed);
    find->setEnabled(false);
    center_on_trigger->setEnabled(true);
    compile->setEnabled(!is_main_window());
}

QStringList SEDQ_FRAME_WND::get_predefined_toolbar_buttons(QString const& name)
{
    if (name == "File")
        return {"AFCQ_OPEN_ACTION", "AFCQ_SAVE_ACTION", SEPARATOR,         "AFCQ_PRINT_ACTION",
                SEPARATOR,          "AFCQ_UNDO_ACTION", "AFCQ_REDO_ACTION"};
    if (name == "Applications")
        return {"AFCQ_CORVANE_HELP_ACTION"};
    if (name == "Utility Windows")
        return {"AFCQ_MSWQ_ACTION"};
    if (name != "Default")
        return QUI_FRAME_WND::get_predefined_toolbar_buttons(name);
    QStringList buttons;
    if (is_main_window())
        buttons << "AFCQ_OPEN_ACTION";
    else
        buttons << "AFCQ_ATTACH_ACTION"
                << "AFCQ_DETACH_ACTION" << SEPARATOR;
    buttons << "AFCQ_SAVE_ACTION" << SEPARATOR << "AFCQ_UNDO_ACTION"
            << "AFCQ_REDO_ACTION" << SEPARATOR << CENTER_ON_TRIGGER << FIND << SEPARATOR << COMPILE
            << RECOMPILE << SEPARATOR << "AFCQ_CORVANE_HELP_ACTION";
    return buttons;
}

QMap<QString, QStringList> SEDQ_FRAME_WND::get_toolbar_categories() const
{
    QMap<QString, QStringList> categories;
    QStringList file = get_toolbar_category("File_short");
    if (is_main_window())
    {
        file.prepend("AFCQ_OPEN_ACTION");
        categories.insert("Utility Windows", {"AFCQ_MSWQ_ACTION"});
    }
    else
    {
        file.prepend("AFCQ_NEW_ACTION");
        if (main_wnd_has_mdi_area())
            categories.insert("Attached/Detached", get_toolbar_category("Attached/Detached"));
    }
    categories.insert("File", file);
    categories.insert("Edit", {"AFCQ_UNDO_ACTION", "AFCQ_REDO_ACTION", "AFCQ_DELETE_ACTION",
                               "AFCQ_FIND_ACTION", "AFCQ_FIND_NEXT_ACTION"});
    QStringList default_buttons = {"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION"};
    if (is_main_window())
        default_buttons << "AFCQ_OPEN_ACTION";
    default_buttons << "AFCQ_SAVE_ACTION"
                    << "AFCQ_UNDO_ACTION"
                    << "AFCQ_REDO_ACTION" << CENTER_ON_TRIGGER << FIND << COMPILE << RECOMPILE
                    << "AFCQ_CORVANE_HELP_ACTION";
    categories.insert("Default", default_buttons);
    return categories;
}
