// The host's class ids and locate menu; the project assignments' read lock and the
// notification after committed writes.
#include "host/acf.h"
#include "host/afcq.h"
#include "host/ntfq.h"
#include "host/qui.h"
#include "host/standin/acf_control.h"
#include "host/standin/ntfq_control.h"
#include "host/standin/standin.h"
#include "host/msg.h"

#include <QAction>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(afcq_locate_menu, tool_entries_carry_their_class_ids_and_start_disabled)
{
    AFCQ_LOCATE_MENU menu(nullptr);
    ASSERT_EQ(menu.get_locate_actions().size(), 7);
    ASSERT_NE(menu.get_design_file_action(), nullptr);
    EXPECT_FALSE(menu.get_design_file_action()->isEnabled());
    for (QAction* action : menu.get_locate_actions())
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    QSignalSpy spy(&menu, SIGNAL(locate_triggered(CLSID)));
    menu.get_locate_actions()[2]->trigger();
    menu.get_locate_actions()[5]->trigger();
    ASSERT_EQ(spy.count(), 2);
    const CLSID first = spy[0][0].value<CLSID>();
    const CLSID second = spy[1][0].value<CLSID>();
    EXPECT_NE(first, second);
    EXPECT_NE(first, AFC_CLSID_SED_DEFAULT_DOC);
    qui_enable_locate_menu_actions(&menu, 2);
    EXPECT_TRUE(menu.get_locate_actions()[0]->isEnabled());
    EXPECT_FALSE(menu.get_design_file_action()->isEnabled())
        << "the design-file entry is its owner's to enable";
    qui_enable_locate_menu_actions(&menu, 0);
    EXPECT_FALSE(menu.get_locate_actions()[0]->isEnabled());
}

TEST(qui_frame, the_locate_menu_is_made_once_per_frame)
{
    QUI_FRAME_INFO info;
    QUI_FRAME_WND frame(&info, QUI_FW_STATE_ATTACHED);
    AFCQ_LOCATE_MENU* menu = frame.get_locate_menu();
    EXPECT_EQ(menu, frame.get_locate_menu());
    EXPECT_EQ(menu->parent(), &frame);
}

TEST(acf_locks, a_refused_read_lock_takes_no_lock)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    standin::acf::refuse_read_lock(true);
    acf->read_lock();
    EXPECT_FALSE(acf->is_read_locked());
    standin::acf::refuse_read_lock(false);
    acf->read_lock();
    EXPECT_TRUE(acf->is_read_locked());
    acf->read_unlock();
    EXPECT_FALSE(acf->is_read_locked());
}

TEST(acf_locks, committed_writes_tell_every_listener)
{
    standin::acf::set_project(true, "/tmp/project");
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    const unsigned id = ntfq_get_message("NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED");
    ASSERT_TRUE(acf->write_lock(true));
    acf->write_unlock(false);
    EXPECT_TRUE(standin::ntfq::deliveries().empty()) << "dropped writes change nothing";
    ASSERT_TRUE(acf->write_lock(true));
    acf->write_unlock(true);
    ASSERT_EQ(standin::ntfq::deliveries().size(), 1u);
    EXPECT_EQ(standin::ntfq::deliveries()[0].id, id);
}

TEST(afcq_cursor, the_zoom_cursors_are_two_magnifiers_the_same_every_time)
{
    const QCursor zoom_in = afcq_get_cursor(AFCQ_CURSOR_ZOOM_IN);
    const QCursor zoom_out = afcq_get_cursor(AFCQ_CURSOR_ZOOM_OUT);
    EXPECT_EQ(zoom_in.shape(), Qt::BitmapCursor);
    EXPECT_EQ(zoom_out.shape(), Qt::BitmapCursor);
    EXPECT_EQ(afcq_get_cursor(AFCQ_CURSOR_ZOOM_IN).pixmap().cacheKey(), zoom_in.pixmap().cacheKey())
        << "one cursor per id";
    EXPECT_NE(zoom_in.pixmap().toImage(), zoom_out.pixmap().toImage()) << "plus and minus differ";
    EXPECT_EQ(afcq_get_cursor(3).shape(), Qt::ArrowCursor);
}

TEST(qui_locate, locate_calls_are_recorded_with_the_tool_and_the_nodes)
{
    standin::clear_calls();
    AFCQ_LOCATE_MENU menu(nullptr);
    QSignalSpy spy(&menu, SIGNAL(locate_triggered(CLSID)));
    menu.get_locate_actions()[4]->trigger();
    MSG_GEN_LOCATION_SCHEMA schema;
    schema.add(new MSG_GEN_LOC_INSTANCE(std::string("a|b")));
    schema.add(new MSG_GEN_LOC_INSTANCE(7u));
    qui_locate(spy[0][0].value<CLSID>(), &schema, false);
    MSG_GEN_LOCATION_SCHEMA place;
    place.set_node_name("top.v:3");
    qui_locate_to_design_file(&place, false);
    EXPECT_EQ(standin::calls("qui"), (std::vector<std::string>{"qui:qui_locate(Locate in RTL Viewer: a|b iname:7)",
                                                               "qui:qui_locate_to_design_file(top.v:3)"}));
}
