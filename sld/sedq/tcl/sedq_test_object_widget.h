#pragma once
// GUI test hooks on the advanced trigger canvas of a window: each performs one user step, by
// sending the canvas the synthetic event a user's mouse or keyboard would, or by driving the
// Object Properties dialog the canvas has open.

#include <QString>
#include <Qt>

class SEDQ_OBJECT_WIDGET;
class SEDQ_TX_MANAGER;

class SEDQ_TEST_OBJECT_WIDGET
{
public:
    // A double-click of the left button at (x, y), widget pixels, after the mouse moved there.
    static void test_on_l_double_click(SEDQ_OBJECT_WIDGET* canvas, int x, int y);
    // Fills the open Object Properties dialog: alias "test", the fourth kind, the Parameters page
    // and its setting list, resets and runtime-configurable mark.
    static void test_property_dialog();
    // A right-button press at (x, y), the rules the context menu refreshes, then the menu entry
    // named `name` (see menu_action). False when no entry has that name; the canvas is then
    // left as the press left it.
    static bool test_advanced_context_menu(SEDQ_OBJECT_WIDGET* canvas, SEDQ_TX_MANAGER* tx, const QString& name,
                                           int x, int y);
    static void test_advanced_focus_in(SEDQ_OBJECT_WIDGET* canvas);
    // Gives the new object of the open Object Properties dialog the alias "test" and the first kind.
    static void test_advanced_insert();
    static void test_advanced_key_press(SEDQ_OBJECT_WIDGET* canvas, const QString& key, unsigned int modifier);

    // The key a script names ("D", "I", "R", "A", "Up", "Down", "Left", "Right", "Enter", exactly);
    // any other name is Escape.
    static Qt::Key key_for_name(const QString& name);
    // 1 no modifier, 2 Shift, 3 Alt, any other number Control.
    static Qt::KeyboardModifiers modifiers_for_number(unsigned int number);
    // The host action of the context menu's entry a script names (lower case, as "move up");
    // AFCQ_ACTION_NONE for a name outside the menu.
    static int menu_action(const QString& name);
};
