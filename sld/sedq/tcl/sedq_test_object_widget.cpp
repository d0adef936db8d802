// GUI test hooks on the advanced trigger canvas and its Object Properties dialog.
#include "sedq/tcl/sedq_test_object_widget.h"

#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_parameter_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/tcl/sedq_test.h"

#include "host/afcq.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabWidget>
#include <QVariant>

namespace
{
const struct
{
    const char* name;
    Qt::Key key;
} KEYS[] = {{"D", Qt::Key_D},       {"I", Qt::Key_I},         {"R", Qt::Key_R},
            {"A", Qt::Key_A},       {"Up", Qt::Key_Up},       {"Down", Qt::Key_Down},
            {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Enter", Qt::Key_Enter}};

enum MODIFIER_NUMBER : unsigned int
{
    MODIFIER_NONE = 1,
    MODIFIER_SHIFT = 2,
    MODIFIER_ALT = 3,
};

// Each entry of the context menu with the rule the menu refreshes before it is chosen.
const struct
{
    const char* name;
    AFCQ_ACTION_ENUM id;
    void (SEDQ_OBJECT_WIDGET::*update)();
} MENU[] = {
    {"arrange all objects", AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, &SEDQ_OBJECT_WIDGET::on_update_edit_select_all},
    {"detach", AFCQ_SEDQ_OBJECT_DETACH_ACTION, &SEDQ_OBJECT_WIDGET::on_update_detach},
    {"insert", AFCQ_SEDQ_OBJECT_INSERT_ACTION, &SEDQ_OBJECT_WIDGET::on_update_insert},
    {"remove", AFCQ_SEDQ_OBJECT_REMOVE_ACTION, &SEDQ_OBJECT_WIDGET::on_update_remove},
    {"append", AFCQ_SEDQ_OBJECT_APPEND_ACTION, &SEDQ_OBJECT_WIDGET::on_update_append},
    {"move up", AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, &SEDQ_OBJECT_WIDGET::on_update_move_up},
    {"move down", AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, &SEDQ_OBJECT_WIDGET::on_update_move_down},
    {"expand", AFCQ_SEDQ_OBJECT_EXPAND_ACTION, &SEDQ_OBJECT_WIDGET::on_update_expand},
    {"collapse", AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, &SEDQ_OBJECT_WIDGET::on_update_collapse},
    {"properties", AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, &SEDQ_OBJECT_WIDGET::on_update_properties},
};

// The kinds of the general page's "Object type:" list the steps choose.
constexpr int FIRST_KIND = 0;
constexpr int FOURTH_KIND = 3;
constexpr int SECOND_SETTING = 1;

SEDQ_OBJECT_PROPERTIES_DLG* current_properties_dialog()
{
    return qobject_cast<SEDQ_OBJECT_PROPERTIES_DLG*>(SEDQ_TEST_FRAME_WND::sedq_find_current_dialog());
}

void send_mouse(SEDQ_OBJECT_WIDGET* canvas, QEvent::Type type, Qt::MouseButton button, int x, int y)
{
    const QPointF position(x, y);
    QMouseEvent event(type, position, canvas->mapToGlobal(QPoint(x, y)), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &event);
}

// The alias and kind both steps give the dialog's objects.
void set_general_page(SEDQ_OBJECT_PROPERTIES_DLG* dialog, int kind)
{
    SEDQ_GENERAL_WIDGET* general = dialog->get_general_widget();
    if (!general)
        return;
    general->object_alias_edit_changed(QStringLiteral("test"));
    if (QComboBox* kinds = general->get_type_combo(); kinds && kind < kinds->count())
        kinds->setCurrentIndex(kind);
}
} // namespace

Qt::Key SEDQ_TEST_OBJECT_WIDGET::key_for_name(const QString& name)
{
    for (const auto& entry : KEYS)
        if (name == QLatin1String(entry.name))
            return entry.key;
    return Qt::Key_Escape;
}

Qt::KeyboardModifiers SEDQ_TEST_OBJECT_WIDGET::modifiers_for_number(unsigned int number)
{
    switch (number)
    {
    case MODIFIER_NONE:
        return Qt::NoModifier;
    case MODIFIER_SHIFT:
        return Qt::ShiftModifier;
    case MODIFIER_ALT:
        return Qt::AltModifier;
    default:
        return Qt::ControlModifier;
    }
}

int SEDQ_TEST_OBJECT_WIDGET::menu_action(const QString& name)
{
    for (const auto& entry : MENU)
        if (name == QLatin1String(entry.name))
            return entry.id;
    return AFCQ_ACTION_NONE;
}

// The mouse arrives first, as a user's does: what a double click on an object does depends on
// the cursor the canvas chose for the point, and a script moves no mouse of its own, so without
// it the cursor would be whatever the last gesture anywhere left.
void SEDQ_TEST_OBJECT_WIDGET::test_on_l_double_click(SEDQ_OBJECT_WIDGET* canvas, int x, int y)
{
    send_mouse(canvas, QEvent::MouseMove, Qt::NoButton, x, y);
    send_mouse(canvas, QEvent::MouseButtonDblClick, Qt::LeftButton, x, y);
}

void SEDQ_TEST_OBJECT_WIDGET::test_property_dialog()
{
    SEDQ_OBJECT_PROPERTIES_DLG* dialog = current_properties_dialog();
    if (!dialog)
        return;
    set_general_page(dialog, FOURTH_KIND);
    if (QTabWidget* tabs = dialog->get_tab_widget())
        tabs->setCurrentIndex(SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE);
    SEDQ_PARAMETER_WIDGET* parameters = dialog->get_parameter_widget();
    if (!parameters)
        return;
    parameters->on_setting_combo_changed(SECOND_SETTING);
    parameters->on_setting_combo_edit_text_changed(QStringLiteral("setting"));
    parameters->on_reset_button();
    parameters->on_reset_all_button();
    parameters->on_parameter_configurable_check(Qt::Checked);
}

bool SEDQ_TEST_OBJECT_WIDGET::test_advanced_context_menu(SEDQ_OBJECT_WIDGET* canvas, SEDQ_TX_MANAGER* tx,
                                                         const QString& name, int x, int y)
{
    send_mouse(canvas, QEvent::MouseButtonPress, Qt::RightButton, x, y);
    canvas->on_update_locate();
    canvas->on_update_edit_undo();
    canvas->on_update_edit_redo();
    for (const auto& entry : MENU)
    {
        if (name != QLatin1String(entry.name))
            continue;
        QAction* action = tx->get_action(entry.id, QVariant());
        (canvas->*entry.update)();
        // The menu offers Arrange All Objects whenever it opens; no selection rule governs it.
        if (entry.id == AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION)
            tx->enable_action(entry.id, true);
        if (action)
            action->activate(QAction::Trigger);
        return true;
    }
    return false;
}

void SEDQ_TEST_OBJECT_WIDGET::test_advanced_focus_in(SEDQ_OBJECT_WIDGET* canvas)
{
    QFocusEvent event(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(canvas, &event);
}

void SEDQ_TEST_OBJECT_WIDGET::test_advanced_insert()
{
    if (SEDQ_OBJECT_PROPERTIES_DLG* dialog = current_properties_dialog())
        set_general_page(dialog, FIRST_KIND);
}

void SEDQ_TEST_OBJECT_WIDGET::test_advanced_key_press(SEDQ_OBJECT_WIDGET* canvas, const QString& key,
                                                      unsigned int modifier)
{
    QKeyEvent event(QEvent::KeyPress, key_for_name(key), modifiers_for_number(modifier), QString(), false, 1);
    QCoreApplication::sendEvent(canvas, &event);
}
