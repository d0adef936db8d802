// The editor window's entries in the host menus, its two lazily built submenus and its
// preference pages.
#include "frame_test_support.h"

#include "host/prdq.h"
#include "host/standin/msg_control.h"
#include "host/standin/qui_control.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace
{
// An action as its shared id, a separator as "|", a submenu as its title.
QString token(QAction* entry)
{
    if (entry->isSeparator())
        return "|";
    if (entry->menu() != nullptr)
        return entry->menu()->title();
    return entry->objectName().startsWith("AFCQ_") ? entry->objectName().mid(5) : entry->text();
}

QStringList tokens(const QList<QAction*>& entries)
{
    QStringList list;
    for (QAction* entry : entries)
        list << token(entry);
    return list;
}

// The entries the window appended after the host's own last Edit entry.
QStringList appended_edit_entries(SEDQ_FRAME_WND* frame)
{
    QUI_EDIT_MENU* edit = frame->get_menu_record()->edit_menu;
    const QList<QAction*> entries = edit->actions();
    return tokens(entries.mid(entries.indexOf(edit->go_to_action) + 1));
}
} // namespace

TEST_F(frame_test, edit_menu_appends_the_analyzer_entries_in_order)
{
    SEDQ_FRAME_WND* frame = make_frame();
    const QStringList expected = {"349",
                                  "350",
                                  "351",
                                  "|",
                                  "Add Nodes with Plug-In",
                                  "|",
                                  "326",
                                  "358",
                                  "|",
                                  "327",
                                  "361",
                                  "|",
                                  "257",
                                  "258",
                                  "262",
                                  "|",
                                  "261",
                                  "259",
                                  "260",
                                  "|",
                                  "363",
                                  "357",
                                  "347",
                                  "|",
                                  "352",
                                  "377",
                                  "362",
                                  "|",
                                  "346",
                                  "345",
                                  "|",
                                  "376",
                                  "375",
                                  "|",
                                  "365",
                                  "364",
                                  "|",
                                  "367",
                                  "366",
                                  "|",
                                  "Bus &Bit Order",
                                  "Bus Displa&y Format",
                                  "|",
                                  "355",
                                  "117",
                                  "114",
                                  "|",
                                  "Loc&k Mode"};
    EXPECT_EQ(appended_edit_entries(frame), expected);
    QUI_EDIT_MENU* edit = frame->get_menu_record()->edit_menu;
    EXPECT_FALSE(edit->replace_action->isVisible());
    EXPECT_FALSE(edit->go_to_action->isEnabled());
    EXPECT_TRUE(edit->undo_action->isVisible()) << "a child window shows the host's Edit entries";
    EXPECT_EQ(frame->get_tx_manager()->get_action(AFCQ_EDIT_UNDO_ACTION, QVariant()), edit->undo_action);
}

TEST_F(frame_test, lock_mode_and_bit_order_submenus_are_exclusive_groups)
{
    SEDQ_FRAME_WND* frame = make_frame();
    for (const std::vector<int>& ids :
         {std::vector<int>{AFCQ_SEDQ_LOCK_MODE_ALL_ACTION, AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION,
                           AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION},
          std::vector<int>{AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION}})
    {
        QActionGroup* group = action(frame, ids[0])->actionGroup();
        ASSERT_NE(group, nullptr) << ids[0];
        EXPECT_TRUE(group->isExclusive());
        EXPECT_EQ(group->actions().size(), static_cast<int>(ids.size())) << ids[0];
        for (int id : ids)
            EXPECT_EQ(action(frame, id)->actionGroup(), group) << id;
    }
}

TEST_F(frame_test, bus_display_format_menu_holds_fourteen_entries_with_display_types_and_is_reused)
{
    SEDQ_FRAME_WND* frame = make_frame();
    QMenu* menu = frame->get_bus_display_format_menu();
    EXPECT_EQ(frame->get_bus_display_format_menu(), menu);
    EXPECT_EQ(frame->get_num_bus_display_actions(), 14);
    EXPECT_EQ(tokens(menu->actions()), QStringList({"335", "343", "342", "341", "&Floating-point", "338",
                                                    "332", "330", "|", "331", "336", "|", "339", "340"}));
    const QMenu* floating_point = menu->actions().at(4)->menu();
    ASSERT_NE(floating_point, nullptr);
    EXPECT_EQ(tokens(floating_point->actions()), QStringList({"334", "333"}));
    const std::vector<std::pair<int, int>> types = {
        {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, SDR_GTYPE_HEX},
        {AFCQ_SEDQ_BUS_UNSIGNED_ACTION, SDR_GTYPE_UNSIGNED},
        {AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION, SDR_GTYPE_TWOS_COMPLEMENT},
        {AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION, SDR_GTYPE_SIGNED_MAGNITUDE},
        {AFCQ_SEDQ_BUS_FLOAT_ACTION, SDR_GTYPE_FLOAT},
        {AFCQ_SEDQ_BUS_DOUBLE_ACTION, SDR_GTYPE_DOUBLE},
        {AFCQ_SEDQ_BUS_OCTAL_ACTION, SDR_GTYPE_OCTAL},
        {AFCQ_SEDQ_BUS_BINARY_ACTION, SDR_GTYPE_BINARY},
        {AFCQ_SEDQ_BUS_ASCII_ACTION, SDR_GTYPE_ASCII},
        {AFCQ_SEDQ_BUS_BAR_CHART_ACTION, SDR_GTYPE_CHART_8},
        {AFCQ_SEDQ_BUS_LINE_CHART_ACTION, SDR_GTYPE_CHART_9},
        {AFCQ_SEDQ_BUS_SIGNED_BAR_CHART_ACTION, SDR_GTYPE_CHART_10},
        {AFCQ_SEDQ_BUS_SIGNED_LINE_CHART_ACTION, SDR_GTYPE_CHART_11}};
    QActionGroup* group = action(frame, AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION)->actionGroup();
    ASSERT_NE(group, nullptr);
    for (const auto& [id, type] : types)
    {
        EXPECT_EQ(action(frame, id)->data().toInt(), type) << id;
        EXPECT_EQ(action(frame, id)->actionGroup(), group) << id;
    }
    EXPECT_EQ(group->actions().size(), 15) << "13 formats and the two separators";
}

TEST_F(frame_test, plugin_menu_is_built_once_with_its_action_group)
{
    SEDQ_FRAME_WND* frame = make_frame();
    QMenu* menu = frame->get_plugin_menu();
    EXPECT_EQ(frame->get_plugin_menu(), menu);
    EXPECT_TRUE(menu->actions().isEmpty());
    QActionGroup* group = frame->get_plugin_action_group();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parent(), frame);
    EXPECT_FALSE(menu->property("action group").isValid()) << "no QVariant of a type the library registers";
}

TEST_F(frame_test, file_menu_places_list_file_and_export_after_save_as)
{
    SEDQ_FRAME_WND* frame = make_frame();
    QUI_FILE_MENU* file = frame->get_menu_record()->file_menu;
    const QList<QAction*> entries = file->actions();
    const int placement = entries.indexOf(file->get_placement_action());
    ASSERT_GE(placement, 0);
    EXPECT_EQ(tokens(entries.mid(placement + 1, 3)), QStringList({"|", "344", "154"}));
    for (QAction* entry : {file->new_action, file->save_action, file->print_action})
        EXPECT_TRUE(entry->isVisible() && entry->isEnabled()) << entry->text().toStdString();
}

TEST_F(frame_test, main_window_processing_menu_holds_only_the_analyzer_commands)
{
    SEDQ_FRAME_WND* frame = make_frame(QUI_FW_STATE_MAIN_WINDOW);
    QUI_MENU_RECORD* menu = frame->get_menu_record();
    EXPECT_EQ(tokens(menu->processing_menu->actions()),
              QStringList({"22", "19", "23", "21", "|", "507", "508"}));
    const QList<QAction*> bar = frame->menuBar()->actions();
    EXPECT_FALSE(bar.contains(menu->project_menu->menuAction()));
    EXPECT_FALSE(bar.contains(menu->window_menu->menuAction()));
    EXPECT_EQ(menu->tools_menu->actions(), menu->tools_menu->get_kept_actions());
    EXPECT_FALSE(menu->help_menu->actions().contains(menu->help_menu->tutorial_action));
    EXPECT_EQ(frame->get_toolbar("Standard"), nullptr);
    EXPECT_TRUE(frame->get_toolbar_combo_boxes().isEmpty());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// Inside the host the host's own compile entries serve; a window on its own carries the
// analyzer's (detaching adds them, attaching takes them away again).
TEST_F(frame_test, processing_menu_offers_each_compile_command_once)
{
    const auto compile_entries = [](SEDQ_FRAME_WND* frame)
    {
        QStringList texts;
        for (QAction* entry : frame->get_menu_record()->processing_menu->actions())
            if (entry->text().remove('&').startsWith("Start "))
                texts << entry->text().remove('&');
        return texts;
    };
    SEDQ_FRAME_WND* attached = make_frame(QUI_FW_STATE_ATTACHED);
    EXPECT_EQ(compile_entries(attached), QStringList({"Start Compilation", "Start Relayne Recompile"}));
    SEDQ_FRAME_WND* detached = make_frame(QUI_FW_STATE_DETACHED);
    const QStringList entries = tokens(detached->get_menu_record()->processing_menu->actions());
    EXPECT_EQ(entries.mid(entries.size() - 2), QStringList({"507", "508"}));
}

TEST_F(frame_test, main_window_view_and_file_menus_are_pruned)
{
    SEDQ_FRAME_WND* frame = make_frame(QUI_FW_STATE_MAIN_WINDOW);
    QUI_MENU_RECORD* menu = frame->get_menu_record();
    const QStringList view = tokens(menu->view_menu->actions());
    const int messages = view.indexOf("MSWQ_ACTION");
    ASSERT_GE(messages, 0);
    EXPECT_EQ(view.mid(messages, 7), QStringList({"MSWQ_ACTION", "|", "728", "729", "730", "708", "|"}));
    for (QAction* entry : menu->view_menu->actions())
        EXPECT_EQ(entry->menu(), nullptr) << "no submenu is left: " << entry->text().toStdString();
    EXPECT_TRUE(frame->is_message_window_shown()) << "the message window is opened once";
    const QList<QAction*> file = menu->file_menu->actions();
    EXPECT_FALSE(file.contains(menu->file_menu->new_action));
    for (QAction* removed : menu->file_menu->get_removable_actions())
        EXPECT_FALSE(file.contains(removed)) << removed->text().toStdString();
    EXPECT_TRUE(menu->file_menu->save_action->isEnabled());
}

TEST_F(frame_test, main_window_pruning_stops_after_reporting_a_missing_toolbar)
{
    standin::qui::omit_toolbar("Applications");
    SEDQ_FRAME_WND* frame = make_frame(QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "application_toolbar != NULL");
    QUI_MENU_RECORD* menu = frame->get_menu_record();
    EXPECT_TRUE(menu->help_menu->actions().contains(menu->help_menu->tutorial_action))
        << "nothing after the missing toolbar is pruned";
    EXPECT_NE(frame->get_layout_widget(), nullptr) << "the window is still built";
}

TEST_F(frame_test, preference_pages_list_colours_and_fonts_shared_between_windows)
{
    SEDQ_FRAME_WND* first = make_frame();
    SEDQ_FRAME_WND* second = make_frame();
    ASSERT_EQ(first->get_preference_pages().size(), 1);
    AFCQ_PAGE_INFO* root = first->get_preference_pages().first();
    EXPECT_EQ(first->get_page_id(), 52);
    ASSERT_EQ(root->m_children.size(), 4);
    QList<int> ids;
    for (AFCQ_PAGE_INFO* page : root->m_children)
        ids << page->m_id;
    EXPECT_EQ(ids, QList<int>({53, 54, 55, 56}));
    auto* colors = dynamic_cast<PRDQ_COLOR_INFO*>(root->m_children[1]);
    auto* fonts = dynamic_cast<PRDQ_FONT_INFO*>(root->m_children[2]);
    ASSERT_TRUE(colors != nullptr && fonts != nullptr);
    ASSERT_EQ(colors->m_colors->size(), 19);
    EXPECT_EQ(colors->m_colors->at(10).name, "Duplicated Nodes");
    EXPECT_EQ(colors->m_colors->at(10).id, 315);
    ASSERT_EQ(fonts->m_fonts->size(), 13);
    EXPECT_EQ(fonts->m_fonts->at(4).id, 66);
    auto* second_colors =
        dynamic_cast<PRDQ_COLOR_INFO*>(second->get_preference_pages().first()->m_children[1]);
    EXPECT_EQ(second_colors->m_colors, colors->m_colors) << "the entry lists are built once";
    EXPECT_NE(second->get_preference_pages().first(), root) << "the pages are each window's own";
}

TEST_F(frame_test, edit_menu_update_hides_clipboard_entries_and_checks_the_lock_mode)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    tx->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    emit frame->get_menu_record()->edit_menu->aboutToShow();
    for (int id : {AFCQ_EDIT_COPY_ACTION, AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_PASTE_ACTION})
        EXPECT_FALSE(action(frame, id)->isVisible()) << id;
    EXPECT_TRUE(action(frame, AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION)->isChecked());
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_LOCK_MODE_ALL_ACTION)->isChecked());
    EXPECT_TRUE(action(frame, AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION)->isEnabled());
    action(frame, AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION)->trigger();
    EXPECT_EQ(tx->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER)
        << "the view takes the lock mode entries";
}
