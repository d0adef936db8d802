// The window's Edit commands while the canvas has the focus: the Edit menu and the canvas's own
// menu offer Cut, Copy and Paste by the canvas's rules, and no other pane's Edit menu offers them.
#include "object_canvas_demo_support.h"

#include <QMenu>
#include <QTimer>

namespace
{
struct offer
{
    bool visible;
    bool enabled;
    bool operator==(const offer& other) const { return visible == other.visible && enabled == other.enabled; }
};

class object_canvas_focus_test : public object_canvas_building_test
{
protected:
    offer offered(AFCQ_ACTION_ENUM id) const
    {
        QAction* entry = action(m_frame, id);
        return {entry->isVisible(), entry->isEnabled()};
    }

    // The window's Edit menu opened and closed, as the user opens it.
    void open_edit_menu() const
    {
        QMenu* edit = m_frame->get_menu_record()->edit_menu;
        edit->popup(QPoint(0, 0));
        edit->hide();
    }

    // The canvas's menu opened by a right click at `at`: its Cut, Copy and Paste as it shows them.
    std::vector<offer> context_menu_offers(QPoint at) const
    {
        std::vector<offer> seen;
        QTimer::singleShot(0, [this, &seen] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (popup == nullptr)
                return;
            for (AFCQ_ACTION_ENUM id : {AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_COPY_ACTION, AFCQ_EDIT_PASTE_ACTION})
                seen.push_back(popup->actions().contains(action(m_frame, id)) ? offered(id) : offer{false, false});
            popup->close();
        });
        QWindow* window = m_canvas->window()->windowHandle();
        const QPoint point = m_canvas->mapTo(m_canvas->window(), at);
        QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, point);
        QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, point);
        settle();
        return seen;
    }
};
} // namespace

TEST_F(object_canvas_focus_test, cut_copy_and_paste_are_offered_by_the_canvas_rules_after_the_edit_menu)
{
    SEDQ_OBJECT* busy = user().named(QStringLiteral("uart_tx|busy"));
    ASSERT_NE(busy, nullptr);
    user().click(busy);
    open_edit_menu();
    EXPECT_EQ(offered(AFCQ_EDIT_CUT_ACTION), (offer{true, true})) << "the Edit menu offers Cut";
    EXPECT_EQ(offered(AFCQ_EDIT_COPY_ACTION), (offer{true, true}));
    EXPECT_EQ(offered(AFCQ_EDIT_PASTE_ACTION), (offer{true, false})) << "Paste is shown, greyed: nothing copied";
    const std::vector<offer> on_busy = context_menu_offers(user().centre_of(busy));
    EXPECT_EQ(on_busy, (std::vector<offer>{{true, true}, {true, true}, {true, false}}))
        << "and so does the canvas's menu after it";

    action(m_frame, AFCQ_EDIT_COPY_ACTION)->trigger();
    open_edit_menu();
    EXPECT_EQ(offered(AFCQ_EDIT_PASTE_ACTION), (offer{true, true})) << "Paste once something is copied";
    const QPoint empty(m_canvas->width() - 150, m_canvas->height() - 60);
    EXPECT_EQ(context_menu_offers(empty), (std::vector<offer>{{true, false}, {true, false}, {true, true}}))
        << "on empty canvas only Paste";

    m_frame->get_layout_widget()->get_view()->setFocus(Qt::MouseFocusReason);
    open_edit_menu();
    for (AFCQ_ACTION_ENUM id : {AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_COPY_ACTION, AFCQ_EDIT_PASTE_ACTION})
        EXPECT_EQ(offered(id), (offer{false, false})) << "the node list has no Cut, Copy or Paste: " << id;
}
