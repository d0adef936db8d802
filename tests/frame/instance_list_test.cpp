// The instance manager's list: one row per instance with its roles and power-up row, refreshed
// in place or rebuilt, the Enabled boxes, the status line that says what to do next, and which
// commands the selection allows.
#include "instance_widget_test_support.h"

#include "host/standin/ice_control.h"
#include "host/standin/qtk_control.h"
#include "sedq/model/sedq_globals.h"

#include <QAbstractItemModelTester>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QToolButton>

#include <set>

namespace
{
using instance_widget_test::probe;

class instance_list_test : public instance_widget_test::instance_widget_fixture
{
protected:
    static bool same_icon(const QIcon& a, int id)
    {
        return a.pixmap(16, 16).toImage() == afcq_get_icon(AFCQ_ICON_ENUM(id)).pixmap(16, 16).toImage();
    }

    QBrush status_line_base() const { return pane()->get_status_line()->palette().brush(QPalette::Base); }

    bool enabled(int id) const { return action_of(id)->isEnabled(); }
};

TEST_F(instance_list_test, each_instance_is_a_row_and_a_power_up_trigger_a_row_below_it)
{
    open({{"alpha"}, {"beta", true}, {"gamma", false, false}});
    ASSERT_EQ(model()->rowCount(), 3);
    const struct
    {
        const char* name;
        int index;
        Qt::CheckState enabled;
    } rows[] = {{"alpha", 0, Qt::Checked}, {"beta", 1, Qt::Checked}, {"gamma", 3, Qt::Unchecked}};
    for (int row = 0; row < 3; ++row)
    {
        const QModelIndex name = cell(row, 0);
        const QModelIndex box = cell(row, 2);
        EXPECT_EQ(name.data().toString(), rows[row].name);
        EXPECT_EQ(name.data(SEDQ_INSTANCE_ROLE).toInt(), rows[row].index) << rows[row].name;
        EXPECT_EQ(name.data(SEDQ_POWERUP_ROLE).toBool(), false);
        EXPECT_TRUE(editable(name));
        EXPECT_TRUE(same_icon(icon(row), row == 0 ? 275 : 274)) << rows[row].name << ": only the current one";
        EXPECT_EQ(status_text(row), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR);
        EXPECT_EQ(box.data(SEDQ_INSTANCE_ROLE).toInt(), rows[row].index);
        EXPECT_EQ(check_state(row), rows[row].enabled) << rows[row].name;
        EXPECT_TRUE(model()->flags(box) & Qt::ItemIsUserCheckable);
        EXPECT_EQ(box.data().toString(), "    ");
        EXPECT_EQ(box.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft));
        for (int column = 1; column < 8; ++column)
            EXPECT_FALSE(editable(cell(row, column))) << rows[row].name << " column " << column;
    }
    EXPECT_FALSE(model()->hasChildren(cell(0, 0)));
    const QModelIndex powerup = powerup_row(1);
    ASSERT_TRUE(powerup.isValid());
    EXPECT_EQ(model()->columnCount(cell(1, 0)), 1) << "the name column only";
    EXPECT_EQ(powerup.data().toString(), "Power-Up Trigger");
    EXPECT_EQ(powerup.data(SEDQ_INSTANCE_ROLE).toInt(), 2)
        << "the power-up view is the entry after its instance";
    EXPECT_EQ(powerup.data(SEDQ_POWERUP_ROLE).toBool(), true);
    EXPECT_EQ(powerup.parent(), cell(1, 0));
    EXPECT_FALSE(editable(powerup));
    EXPECT_EQ(background(powerup), idle_brush());
    EXPECT_TRUE(pane()->get_tree()->isExpanded(model()->index(1, 0)));
    EXPECT_TRUE(pane()->get_tree()->selectionModel()->isRowSelected(0, QModelIndex())) << "the current row";
}

// Qt's model checker watches the list while the user adds, renames, switches power-up
// triggers on and off, changes the current entry and deletes: every index, parent, row count
// and change notice it sees must agree with the rows.
TEST_F(instance_list_test, the_list_stays_a_consistent_item_model_through_the_instance_commands)
{
    static QStringList complaints;
    complaints.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& message)
        {
            if (context.category != nullptr && QByteArray(context.category).startsWith("qt.modeltest"))
                complaints << message;
        });
    QLoggingCategory::setFilterRules(QStringLiteral("qt.modeltest.debug=false"));
    open({{"alpha"}, {"beta", true}, {"gamma"}});
    {
        QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        press(ACTION_ADD);
        write(0, 0, "renamed");
        select({0, 2});
        press(ACTION_ENABLE_POWERUP);
        pane()->on_double_clicked(powerup_row(1));
        refresh();
        pane()->on_sel_change_instance_tab(2);
        model()->setData(cell(3, 2), Qt::Unchecked, Qt::CheckStateRole);
        refresh();
        select({}, {0});
        press(ACTION_DISABLE_POWERUP);
        select({1});
        standin::msg::push_answer(6);
        press(ACTION_DELETE);
        EXPECT_EQ(model()->rowCount(), 3);
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join('\n').toStdString();
}

TEST_F(instance_list_test, a_current_power_up_view_is_coloured_and_selected_after_a_rebuild)
{
    open({{"alpha", true}, {"beta"}});
    tx()->set_instance(1);
    tx()->rename_instance_set("renamed", "alpha");
    refresh();
    const QModelIndex powerup = powerup_row(0);
    ASSERT_TRUE(powerup.isValid());
    EXPECT_EQ(text(0, 0), "renamed");
    EXPECT_EQ(background(powerup), SEDQ_POWERUP_BRUSH);
    EXPECT_TRUE(pane()->get_tree()->selectionModel()->isSelected(powerup));
    EXPECT_TRUE(same_icon(icon(0), 274)) << "the instance itself is not the current entry";
}

TEST_F(instance_list_test, a_refresh_keeps_the_status_texts_and_a_changed_structure_rebuilds_the_list)
{
    open({{"alpha"}, {"beta"}});
    write(1, 1, "kept");
    tx()->set_instance_enabled(1, false);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_text(1), "kept") << "names and power-up rows unchanged: refreshed in place";
    EXPECT_EQ(check_state(1), Qt::Unchecked);
    tx()->enable_powerup_trigger(1, true);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_text(1), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR) << "a new power-up row: rebuilt";
    ASSERT_TRUE(powerup_row(1).isValid());
}

// The pane refreshes on every edit of the document (each change of a trigger condition among
// them); the list is told, and so repaints, only what the refresh changed.
TEST_F(instance_list_test, a_refresh_tells_the_views_only_what_changed)
{
    open({{"alpha"}, {"beta", true}});
    refresh();
    QSignalSpy notices(model(), &QAbstractItemModel::dataChanged);
    auto columns_told = [&] {
        std::set<int> columns;
        for (const QList<QVariant>& notice : notices)
            for (int column = notice.at(0).toModelIndex().column(); column <= notice.at(1).toModelIndex().column();
                 ++column)
                columns.insert(column);
        notices.clear();
        return columns;
    };
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    model()->mark_current(0);
    EXPECT_EQ(columns_told(), std::set<int>()) << "nothing changed";

    tx()->set_instance_enabled(0, false);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(columns_told().count(SEDQ_INSTANCE_COLUMN_ENABLED), 1u);
    EXPECT_EQ(check_state(0), Qt::Unchecked);
    model()->mark_current(2);
    EXPECT_EQ(columns_told(), std::set<int>{SEDQ_INSTANCE_COLUMN_NAME}) << "the current icon moved";
    EXPECT_TRUE(same_icon(icon(0), 274));
    EXPECT_EQ(background(powerup_row(1)), SEDQ_POWERUP_BRUSH) << "the power-up view is current";
    model()->set_status(0, "kept", QBrush(Qt::white));
    EXPECT_EQ(columns_told(), std::set<int>{SEDQ_INSTANCE_COLUMN_STATUS});
    model()->set_status(0, "kept", QBrush(Qt::white));
    EXPECT_EQ(columns_told(), std::set<int>()) << "the same status again";
    model()->set_status(0, "kept", QBrush(Qt::green));
    EXPECT_EQ(columns_told(), std::set<int>{SEDQ_INSTANCE_COLUMN_STATUS}) << "another colour";
}

TEST_F(instance_list_test, the_enabled_box_switches_the_instance_and_refreshes_the_pane)
{
    open({{"alpha"}, {"beta"}});
    EXPECT_NE(usage(1, 3), "0 cells");
    model()->setData(model()->index(1, 2), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(tx()->instance_is_enabled(1));
    refresh();
    EXPECT_EQ(usage(1, 3), "0 cells") << "refreshed by the edit's notification";
    EXPECT_TRUE(m_frame->isWindowModified()) << "the flag is saved with the document";
    EXPECT_TRUE(tx()->instance_is_enabled(0));
    model()->setData(model()->index(1, 2), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(tx()->instance_is_enabled(1));
}

TEST_F(instance_list_test, the_status_line_follows_the_design_from_compile_to_acquisition)
{
    open({{"alpha"}});
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    EXPECT_EQ(status_line_base(), SEDQ_RED_BASE_PALETTE.brush(QPalette::Base));
    std::string error;
    ASSERT_TRUE(standin::chi::compile(data(), 15, m_dir.filePath("top.sof").toStdString(), &error)) << error;
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
    EXPECT_EQ(status_line_base(), SEDQ_RED_BASE_PALETTE.brush(QPalette::Base));
    ASSERT_TRUE(standin::chi::program_device_from_file(m_dir.filePath("top.sof").toStdString(), &error))
        << error;
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    EXPECT_EQ(status_line_base(), SEDQ_GREY_BASE_PALETTE.brush(QPalette::Base));
    select({0});
    press(ACTION_RUN);
    step();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_ACQUISITION_IN_PROGRESS_STR)
        << "from the first report";
    EXPECT_EQ(status_line_base(), SEDQ_GREEN_BASE_PALETTE.brush(QPalette::Base));
    end_all_runs();
    standin::chi::unplug_cable(true);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_INVALID_JTAG_CONFIGURATION_STR) << "the scan fails";
    EXPECT_EQ(status_line_base(), SEDQ_YELLOW_BASE_PALETTE.brush(QPalette::Base));
}

// The compile instruction names what the user can start: Relayne only where the family has it.
TEST_F(instance_list_test, the_compile_instruction_names_a_command_the_family_offers)
{
    const struct
    {
        const char* name;
        bool relayne;
        const QString& text;
    } rows[] = {{"family without Relayne", false, SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR},
                {"family with Relayne", true, SEDQ_INSTANCE_WIDGET::SEDQ_RECOMPILE_DESIGN_STR}};
    open({{"alpha"}});
    for (const auto& row : rows)
    {
        standin::qtk::set_relayne_supported(row.relayne);
        pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
        EXPECT_EQ(status_line(), row.text) << row.name;
        EXPECT_EQ(status_line_base(), SEDQ_RED_BASE_PALETTE.brush(QPalette::Base)) << row.name;
    }
}

// A pane narrower than the instruction shows where it starts, not its last word.
TEST_F(instance_list_test, a_narrow_status_line_shows_the_start_of_its_text)
{
    open({{"alpha"}});
    QLineEdit* line = pane()->get_status_line();
    line->resize(line->fontMetrics().horizontalAdvance("Start") + 8, line->height());
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    EXPECT_EQ(line->cursorPosition(), 0);
}

TEST_F(instance_list_test, the_status_line_asks_for_the_jtag_chain_first_then_instances_then_nodes)
{
    open({{"alpha", false, true, false, 128, SDR_RAM_AUTO, false}}, false);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_INVALID_JTAG_CONFIGURATION_STR);
    tx()->set_jtag_hardware(instance_widget_test::CABLE, false);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_INVALID_JTAG_CONFIGURATION_STR) << "no device yet";
    tx()->set_jtag_device(instance_widget_test::DEVICE, false);
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_NO_NODES_STR);
    EXPECT_EQ(status_line_base(), SEDQ_YELLOW_BASE_PALETTE.brush(QPalette::Base));
    standin::msg::push_answer(6);
    select({0});
    press(ACTION_DELETE);
    EXPECT_EQ(tx()->get_num_instances(), 0);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_NO_INSTANCES_STR);
}

TEST_F(instance_list_test, a_design_with_partial_reconfiguration_asks_for_a_full_compile)
{
    standin::ice::set_partial_reconfig(true);
    open({{"alpha"}});
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
}

TEST_F(instance_list_test, waiting_for_jtag_shows_alone_and_stops_runs_from_starting)
{
    open({{"alpha"}});
    compile_and_program();
    select({0});
    EXPECT_TRUE(enabled(ACTION_RUN));
    tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_WAITING_FOR_JTAG);
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR);
    EXPECT_FALSE(enabled(ACTION_RUN));
    EXPECT_FALSE(enabled(ACTION_READ));
}

// Updates queued in a burst (a script's commands, each notifying every pane) are worked on once
// the burst is through, and the pane ends as the last of them leaves it.
TEST_F(instance_list_test, a_burst_of_updates_ends_as_its_last_update_leaves_the_pane)
{
    open({{"alpha"}});
    compile_and_program();
    select({0});
    tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
    refresh();
    const QString ready = status_line();
    ASSERT_EQ(ready, SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    struct row
    {
        const char* name;
        std::vector<int> hints;
        bool waiting;
    };
    const int full = SEDQ_UPDATE_INSTANCES;
    const int waiting = SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_WAITING_FOR_JTAG;
    const row rows[] = {
        {"waiting last", {full, full, waiting}, true},
        {"a refresh after waiting", {waiting, full}, false},
        {"other panes' updates after waiting", {full, waiting, SEDQ_UPDATE_LOG}, true},
    };
    for (const row& r : rows)
    {
        for (int hint : r.hints)
            tx()->update_all_views(nullptr, hint);
        refresh();
        EXPECT_EQ(status_line(), r.waiting ? SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR : ready) << r.name;
        EXPECT_EQ(enabled(ACTION_RUN), !r.waiting) << r.name;
    }
    // A burst of edits: the list shows where they end.
    std::string name = "alpha";
    for (int i = 0; i < 20; ++i)
    {
        const std::string next = "renamed_" + std::to_string(i);
        tx()->rename_instance_set(next.c_str(), name.c_str());
        name = next;
    }
    refresh();
    EXPECT_EQ(text(0, 0), QStringLiteral("renamed_19"));
}

TEST_F(instance_list_test, the_selection_decides_which_commands_are_enabled)
{
    struct row
    {
        const char* name;
        std::vector<int> rows;
        std::vector<int> powerup_rows;
        SEDQ_LOCK_MODE lock;
        std::vector<int> on;
        std::vector<int> off;
    };
    const std::vector<row> rows = {
        {"power-up row alone",
         {},
         {0},
         SEDQ_LOCK_MODE_ALLOW_ALL,
         {ACTION_DISABLE_POWERUP, ACTION_DUPLICATE, ACTION_RUN, ACTION_STATUS_HELP, ACTION_DELETE},
         {ACTION_RENAME, ACTION_ENABLE_POWERUP, ACTION_STOP}},
        {"instance and its power-up row",
         {0},
         {0},
         SEDQ_LOCK_MODE_ALLOW_ALL,
         {ACTION_DISABLE_POWERUP},
         {ACTION_DUPLICATE, ACTION_RENAME, ACTION_STATUS_HELP}},
        {"instance without power-up trigger",
         {1},
         {},
         SEDQ_LOCK_MODE_ALLOW_ALL,
         {ACTION_ENABLE_POWERUP, ACTION_RENAME, ACTION_RUN, ACTION_AUTORUN, ACTION_READ},
         {ACTION_DISABLE_POWERUP, ACTION_DUPLICATE}},
        {"nothing",
         {},
         {},
         SEDQ_LOCK_MODE_ALLOW_ALL,
         {ACTION_ADD},
         {ACTION_DELETE, ACTION_RUN, ACTION_RENAME}},
        {"locked",
         {1},
         {},
         SEDQ_LOCK_MODE_ALLOW_INCREMENTAL,
         {ACTION_RENAME, ACTION_RUN},
         {ACTION_ADD, ACTION_DELETE, ACTION_ENABLE_POWERUP, ACTION_DISABLE_POWERUP, ACTION_DUPLICATE}},
        {"disabled instance", {2}, {}, SEDQ_LOCK_MODE_ALLOW_ALL, {ACTION_RENAME}, {ACTION_RUN, ACTION_READ}},
    };
    open({{"alpha", true}, {"beta"}, {"gamma", false, false}});
    for (const row& r : rows)
    {
        tx()->set_lock_mode(r.lock, false);
        select(r.rows, r.powerup_rows);
        pane()->on_selection_changed();
        for (int id : r.on)
            EXPECT_TRUE(enabled(id)) << r.name << ": action " << id;
        for (int id : r.off)
            EXPECT_FALSE(enabled(id)) << r.name << ": action " << id;
    }
}

TEST_F(instance_list_test, the_acquisition_buttons_and_status_line_follow_the_user_setting)
{
    open({{"alpha"}});
    const QList<QToolButton*> buttons = pane()->findChildren<QToolButton*>();
    ASSERT_GE(buttons.size(), 4);
    SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons = false;
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_TRUE(pane()->get_status_line()->isHidden());
    int hidden = 0;
    for (QToolButton* button : buttons)
        hidden += button->isHidden() ? 1 : 0;
    EXPECT_EQ(hidden, 4) << "the four acquisition buttons; the close button stays";
    SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons = true;
    pane()->on_update(nullptr, SEDQ_UPDATE_INSTANCES);
    EXPECT_FALSE(pane()->get_status_line()->isHidden());
}
} // namespace

namespace
{
// A key typed in a flow refreshes the estimates and the status line alone. Any other change
// delivered with it (here a script renames an instance in the same turn) still has the rows read
// again.
TEST_F(instance_list_test, a_flow_key_delivered_with_another_change_still_refreshes_the_rows)
{
    probe alpha{"alpha"};
    alpha.ram_type = SDR_RAM_MID_SIZE;
    open({alpha, {"beta"}});
    tx()->set_unified_state_text(QStringLiteral("state ST1:\ntrigger;\n"));
    tx()->rename_instance_set("gamma", "beta");
    refresh();
    EXPECT_EQ(cell(1, 0).data().toString(), QStringLiteral("gamma"));
    // A key alone leaves the rows as they are and still reads the estimates again: the device's
    // estimator answers otherwise now.
    QStringList before;
    for (int column = 3; column < 8; ++column)
        before << cell(0, column).data().toString();
    standin::ice::force_blocks_result(7);
    tx()->set_unified_state_text(QStringLiteral("state ST1:\ntrigger;\nx"));
    refresh();
    EXPECT_EQ(cell(0, 0).data().toString(), QStringLiteral("alpha"));
    QStringList after;
    for (int column = 3; column < 8; ++column)
        after << cell(0, column).data().toString();
    EXPECT_NE(after, before) << "the blocks the estimator counts now";
    EXPECT_TRUE(after.contains(QStringLiteral("7 blocks"))) << after.join(", ").toStdString();
}
} // namespace
