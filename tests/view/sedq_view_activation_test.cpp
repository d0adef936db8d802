// Clicks on a window that is not active: the click reaches the node table through the window
// system, as a user's does, and the window is activated only afterwards (the platform answers
// the click's activation request later). A condition chosen from a trigger cell's menu is set,
// and the in-cell editor a click opens has the keyboard once the window is active.
#include "sedq_trigger_edit_test_support.h"

#include "sedq/view/sedq_edit.h"

#include <QTest>

namespace
{
// Rows: 0 bus "bus" over members 1 and 2 (hexadecimal), 3 leaf "top|x"; one level.
void bus_and_leaf(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_bus(trigger, "bus", 2);
    add_leaves(trigger, {"top|x"});
}

constexpr int BUS = 0;
constexpr int LEAF = 3;

class view_activation_test : public trigger_edit_test
{
protected:
    void SetUp() override
    {
        trigger_edit_test::SetUp();
        open(write_document(bus_and_leaf));
        m_other.resize(200, 100);
        m_other.show();
        QApplication::setActiveWindow(&m_other);
        settle();
    }

    void TearDown() override
    {
        m_other.hide();
        trigger_edit_test::TearDown();
    }

    // A point of the view in the coordinates of the window it stands in.
    QPoint in_window(QPoint point) { return view()->mapTo(frame()->window(), point); }
    QWindow* window() { return frame()->window()->windowHandle(); }

    QWidget m_other;
};

// Clicks the entry of the shown menu, as the mouse does, once the menu's own event loop runs.
void choose_in_next_menu(QAction* entry, bool* chosen)
{
    QTimer::singleShot(0, [entry, chosen] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (popup == nullptr)
            return;
        *chosen = popup->actions().contains(entry) && entry->isEnabled();
        if (*chosen)
            QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->actionGeometry(entry).center());
        else
            popup->close();
    });
}
} // namespace

TEST_F(view_activation_test, a_condition_chosen_from_the_menu_of_a_window_not_yet_active_is_set)
{
    ASSERT_FALSE(frame()->isActiveWindow());
    bool chosen = false;
    choose_in_next_menu(action(AFCQ_SEDQ_HIGH_CONDITION_ACTION), &chosen);
    const QPoint cell = in_window(inner_cell(LEAF + 3, 12).center());
    QTest::mousePress(window(), Qt::RightButton, Qt::NoModifier, cell);
    QTest::mouseRelease(window(), Qt::RightButton, Qt::NoModifier, cell);
    settle();
    ASSERT_TRUE(chosen) << "the menu offered High, enabled";
    EXPECT_EQ(member_pattern(LEAF - 1, 1), "1") << "the leaf is High at the level";
    EXPECT_TRUE(view()->is_connected()) << "the view holds its window's focus: its commands stay its own";

    // The activation arrives after the menu: the view takes the focus and its commands.
    QApplication::setActiveWindow(frame()->window());
    settle();
    EXPECT_TRUE(view()->hasFocus());
    EXPECT_TRUE(view()->is_connected());
    choose_in_next_menu(action(AFCQ_SEDQ_LOW_CONDITION_ACTION), &chosen);
    QTest::mousePress(window(), Qt::RightButton, Qt::NoModifier, cell);
    QTest::mouseRelease(window(), Qt::RightButton, Qt::NoModifier, cell);
    settle();
    EXPECT_EQ(member_pattern(LEAF - 1, 1), "0") << "and in the active window as well";
}

TEST_F(view_activation_test, the_editor_a_click_opens_in_a_window_not_yet_active_takes_the_keys)
{
    const QPoint cell = in_window(inner_cell(BUS + 3, 12).center());
    QTest::mouseMove(window(), cell);
    ASSERT_EQ(view()->cursor().shape(), Qt::IBeamCursor) << "the bus value is editable";
    QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, cell);
    QApplication::setActiveWindow(frame()->window());
    settle();
    auto* edit = dynamic_cast<SEDQ_CELL_EDIT*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr) << "the editor has the keyboard, no second click needed";
    edit->selectAll();
    QTest::keyClicks(edit, "2");
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
    EXPECT_EQ(member_pattern(BUS, 2), "10") << "the typed value is set on the members";
}

// A dialog of the window closed and the window system did not activate the window again: the
// node table stays its window's focus widget, so the Edit menu offers its commands and they act
// on it, as when the window is active.
TEST_F(view_activation_test, the_edit_menu_of_a_window_left_inactive_after_a_dialog_acts_on_the_table)
{
    QApplication::setActiveWindow(frame()->window());
    focus_view();
    ASSERT_TRUE(view()->hasFocus());
    QApplication::setActiveWindow(&m_other); // the dialog's window, say, and no way back
    settle();
    ASSERT_FALSE(view()->hasFocus());
    QMenu* edit = frame()->get_menu_record()->edit_menu;
    edit->popup(QPoint(0, 0)); // the user opens the Edit menu of the window
    edit->hide();
    QAction* select_all = action(AFCQ_EDIT_SELECT_ALL_ACTION);
    ASSERT_TRUE(select_all->isEnabled()) << "Select All is offered";
    select_all->trigger();
    EXPECT_EQ(view()->get_selection_count(), tx()->get_node_count(-1)) << "and selects the table's nodes";
}
