// The "Add State Machine Nodes" dialog, driven by setting its controls and calling its slots:
// the rows it offers for each netlist and mode, the table names it proposes, Ok enabling, tips
// from the cached lists, and Ok adding machines with their tables as one undoable edit.
#include "sedq_state_machine_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/hdb_control.h"
#include "host/standin/kpt_control.h"
#include "host/standin/qui_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"
#include "sedq/view/sedq_state_machine_dlg.h"
#include "sedq/view/sedq_state_machine_table_view.h"
#include "host/sdr/sdr_tx_signal_set.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardItemModel>

#include <algorithm>
#include "sedq/model/sedq_repository.h"

namespace
{
struct ROW
{
    QString machine;
    QString table;
    bool operator==(const ROW& other) const { return machine == other.machine && table == other.table; }
};

void PrintTo(const ROW& row, std::ostream* out)
{
    *out << "{" << row.machine.toStdString() << ", " << row.table.toStdString() << "}";
}

class state_machine_dlg_test : public state_machine_test
{
protected:
    std::unique_ptr<SEDQ_STATE_MACHINE_DLG> make_dialog(bool recreate = false)
    {
        return std::make_unique<SEDQ_STATE_MACHINE_DLG>(m_frame.get(), recreate, nullptr);
    }

    static std::vector<ROW> rows(SEDQ_STATE_MACHINE_DLG& dialog)
    {
        QStandardItemModel* model = dialog.get_table()->get_model();
        std::vector<ROW> out;
        for (int row = 0; row < model->rowCount(); ++row)
            out.push_back({model->item(row, 0)->text(), model->item(row, 1)->text()});
        return out;
    }

    static QStandardItem* item(SEDQ_STATE_MACHINE_DLG& dialog, int row, int column)
    {
        return dialog.get_table()->get_model()->item(row, column);
    }

    static bool selectable(SEDQ_STATE_MACHINE_DLG& dialog, int row)
    {
        return (item(dialog, row, 0)->flags() & Qt::ItemIsSelectable) != 0;
    }

    static void select(SEDQ_STATE_MACHINE_DLG& dialog, int row, bool on = true)
    {
        QItemSelectionModel* selection = dialog.get_table()->selectionModel();
        selection->select(dialog.get_table()->get_model()->index(row, 0),
                          (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
    }

    static bool ok_enabled(SEDQ_STATE_MACHINE_DLG& dialog)
    {
        return dialog.get_button_box()->button(QDialogButtonBox::Ok)->isEnabled();
    }

    // The symbol the group row shows for a sample whose member k holds bits[k].
    std::string shown_value(int group, const QString& member_bits)
    {
        SEDQ_NUMBER number(member_bits);
        const char* text = nullptr;
        number.get_string(tx(), group, &text, true, false, nullptr, -1);
        return text != nullptr ? text : "(null)";
    }

    std::string group_name(int row) { return tx()->get_trigger_nodes(-1)->get_node_name(row); }

    std::vector<int> collect_hints()
    {
        QCoreApplication::processEvents();
        std::vector<int> hints;
        hints.swap(m_hints);
        return hints;
    }

    void watch_hints()
    {
        QObject::connect(
            tx(), &SEDQ_TX_MANAGER::updated, &m_receiver, [this](QObject*, int hint) { m_hints.push_back(hint); },
            Qt::QueuedConnection);
    }

    QObject m_receiver;
    std::vector<int> m_hints;
};
} // namespace

TEST_F(state_machine_dlg_test, add_mode_titles_texts_and_controls)
{
    load_design();
    open_document();
    auto dialog = make_dialog();
    EXPECT_EQ(dialog->windowTitle(), "Add State Machine Nodes");
    EXPECT_EQ(dialog->get_netlist_label()->text(), "Netlist: ");
    EXPECT_EQ(dialog->get_netlist_combo()->count(), 2);
    EXPECT_EQ(dialog->get_netlist_combo()->itemText(0), "Pre-synthesis");
    EXPECT_EQ(dialog->get_netlist_combo()->itemText(1), "Post-fitting");
    EXPECT_EQ(dialog->get_netlist_index(), 0);
    EXPECT_EQ(dialog->get_overwrite_check_box()->text(), "Overwrite existing mnemonic table");
    EXPECT_TRUE(dialog->get_overwrite_check_box()->isHidden()) << "only recreate mode overwrites";
    EXPECT_EQ(dialog->get_found_label()->text(), "State machine nodes found:");
    QStandardItemModel* model = dialog->get_table()->get_model();
    EXPECT_EQ(model->horizontalHeaderItem(0)->text(), "State Machine Name");
    EXPECT_EQ(model->horizontalHeaderItem(1)->text(), "Mnemonic Table Name");
    EXPECT_EQ(dialog->get_table()->columnWidth(0), 300);
    EXPECT_EQ(dialog->get_button_box()->standardButtons(),
              QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    EXPECT_FALSE(ok_enabled(*dialog)) << "nothing is selected yet";
    dialog->get_button_box()->button(QDialogButtonBox::Help)->click();
    EXPECT_EQ(standin::afcq::help_requests(), QStringList{"Add State Machine Nodes"});
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, recreate_mode_title_and_overwrite_box)
{
    load_design();
    open_document();
    auto dialog = make_dialog(true);
    EXPECT_EQ(dialog->windowTitle(), "Recreate State Machine Mnemonics");
    EXPECT_FALSE(dialog->get_overwrite_check_box()->isHidden());
    EXPECT_TRUE(dialog->get_overwrite_check_box()->isChecked());
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"u1|state", "Not tapped"}, {"a|fsm", "Not tapped"},
                                               {"b|fsm", "Not tapped"}}));
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(selectable(*dialog, row)) << row;
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, each_machine_is_proposed_a_free_table_named_after_its_last_level)
{
    load_design();
    open_document();
    auto dialog = make_dialog();
    EXPECT_EQ(rows(*dialog),
              (std::vector<ROW>{{"u1|state", "state_table"}, {"a|fsm", "fsm_table"}, {"b|fsm", "fsm_table (1)"}}));
    for (int row = 0; row < 3; ++row)
    {
        EXPECT_TRUE(selectable(*dialog, row)) << row;
        EXPECT_EQ(item(*dialog, row, 0)->foreground().color(), QColor(Qt::black)) << row;
    }
    add_table("fsm_table", 1, {{"x", "1"}});
    auto second = make_dialog();
    EXPECT_EQ(rows(*second),
              (std::vector<ROW>{{"u1|state", "state_table"}, {"a|fsm", "fsm_table (1)"}, {"b|fsm", "fsm_table (2)"}}))
        << "a name the document holds is not proposed";
}

TEST_F(state_machine_dlg_test, a_machine_with_a_register_in_the_node_list_is_already_tapped)
{
    load_design();
    open_document();
    add_rows({"u1|state.run"});
    auto dialog = make_dialog();
    EXPECT_EQ(rows(*dialog)[0], (ROW{"u1|state", "Already tapped"}));
    EXPECT_FALSE(selectable(*dialog, 0));
    EXPECT_EQ(item(*dialog, 0, 0)->foreground().color(), QColor(Qt::gray));
    EXPECT_EQ(item(*dialog, 0, 1)->foreground().color(), QColor(Qt::gray));
    EXPECT_TRUE(dialog->is_mnemonic_table_name_disabled(0));
    EXPECT_FALSE(dialog->is_state_machine_name_disabled(0));
    EXPECT_EQ(rows(*dialog)[1], (ROW{"a|fsm", "fsm_table"}));
}

TEST_F(state_machine_dlg_test, netlists_without_machines_show_one_explanatory_row)
{
    open_document(); // no project: neither netlist exists
    auto dialog = make_dialog();
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"No pre-synthesis state machines found", ""}}));
    EXPECT_FALSE(selectable(*dialog, 0));
    EXPECT_TRUE(dialog->is_state_machine_name_disabled(0));
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"No post-fitting state machines found", ""}}));
    auto recreate = make_dialog(true);
    recreate->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*recreate), (std::vector<ROW>{{"No post-fitting state machines tapped", ""}}));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, post_fitting_rows_are_blue_or_untappable_and_read_once_per_dialog)
{
    load_design();
    write_keypoints(STATE_MACHINE_MAP, STATE_MACHINE_CMP);
    open_document();
    auto dialog = make_dialog();
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"top|u1|state", "state_table"},
                                               {"top|u9|gone", "Untappable due to register push-back"}}));
    EXPECT_EQ(item(*dialog, 0, 0)->foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(selectable(*dialog, 1));
    dialog->get_netlist_combo()->setCurrentIndex(0);
    const int netlist_uses = standin::dbmui::handed_out();
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*dialog)[1], (ROW{"top|u9|gone", "Untappable due to register push-back"}));
    EXPECT_EQ(standin::dbmui::handed_out(), netlist_uses) << "the post-fitting statuses are not worked out again";
    EXPECT_EQ(standin::kpt::load_count(), 2) << "the map and compile files, once per dialog";
    dialog.reset();
    EXPECT_TRUE(standin::kpt::loaded_names().empty()) << "the dialog's reader goes with it";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, recreate_mode_offers_only_tapped_machines_whose_table_differs)
{
    load_design();
    open_document();
    add_rows({"u1|state.idle", "u1|state.run", "u1|state.done"}, "u1|state");
    add_rows({"a|fsm.on", "a|fsm.off"}, "a|fsm");
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        tx()->create_mnemonic_table(0, "mine", {"idle", "run", "done"}, {"001", "010", "100"});
        tx()->create_mnemonic_table(4, "old_fsm", {"on", "off"}, {"10", "01"});
    }
    auto dialog = make_dialog(true);
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"u1|state", "Mnemonics unchanged"},
                                               {"a|fsm", "old_fsm"},
                                               {"b|fsm", "Not tapped"}}))
        << "overwriting proposes the group's own table";
    EXPECT_FALSE(selectable(*dialog, 0));
    EXPECT_TRUE(selectable(*dialog, 1));
    dialog->get_overwrite_check_box()->setChecked(false);
    EXPECT_EQ(rows(*dialog)[1], (ROW{"a|fsm", "fsm_table"})) << "toggling the box rebuilds the rows";
    EXPECT_EQ(dialog->find_state_machine_in_document("a|fsm"), 4);
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(dialog->find_state_machine_in_document("a|fsm"), -1) << "the rows are pre-synthesis taps";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, ok_adds_the_selected_machines_and_their_tables_in_one_undo_step)
{
    load_design();
    open_document();
    watch_hints();
    auto dialog = make_dialog();
    select(*dialog, 0);
    select(*dialog, 2);
    ASSERT_TRUE(ok_enabled(*dialog));
    const SDR_TX_INSTANCE* instance = tx()->get_tx_instance();
    ASSERT_FALSE(instance->is_undo_available());
    collect_hints();
    dialog->get_button_box()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const std::vector<int> hints = collect_hints();
    ASSERT_FALSE(hints.empty());
    EXPECT_EQ(hints.back(), 0x20000007) << "the node view, hierarchy and configuration panes refresh";
    EXPECT_EQ(std::count(hints.begin(), hints.end(), 0x20000007), 1);
    ASSERT_EQ(tx()->get_node_count(-1), 7);
    EXPECT_EQ(group_name(0), "u1|state");
    EXPECT_EQ(group_name(4), "b|fsm");
    EXPECT_EQ(tx()->get_node_tap_mode(1), SDR_TAP_PRE_SYNTHESIS);
    ASSERT_NE(table("state_table"), nullptr);
    ASSERT_NE(table("fsm_table (1)"), nullptr);
    EXPECT_EQ(shown_value(0, "100"), "idle") << "the first register is the group's least significant bit";
    EXPECT_EQ(shown_value(0, "001"), "done");
    EXPECT_EQ(shown_value(4, "01"), "down");
    // The data page's twin of each group reads the states the same way.
    const SDR_TX_SIGNAL_SET* data = tx()->get_signal_nodes(-1);
    ASSERT_NE(data, nullptr);
    for (int trigger_row : {0, 4})
    {
        int row = 0;
        while (row < data->get_num_nodes() && group_name(trigger_row) != data->get_node_name(row))
            ++row;
        ASSERT_LT(row, data->get_num_nodes()) << group_name(trigger_row);
        EXPECT_EQ(data->get_group_display_type(row), SDR_GTYPE_MNEMONICS) << group_name(trigger_row);
        EXPECT_STREQ(data->get_mnemonics_table_name(row),
                     tx()->get_trigger_nodes(-1)->get_mnemonics_table_name(trigger_row))
            << group_name(trigger_row);
    }
    tx()->on_edit_undo();
    EXPECT_EQ(tx()->get_node_count(-1), 0);
    EXPECT_EQ(table("state_table"), nullptr);
    EXPECT_EQ(table("fsm_table (1)"), nullptr);
    EXPECT_FALSE(instance->is_undo_available()) << "it all was one step";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, ok_in_recreate_mode_rebuilds_the_table_of_the_tapped_group)
{
    load_design();
    write_keypoints(STATE_MACHINE_MAP, STATE_MACHINE_CMP);
    open_document();
    add_rows({"top|u1|r1", "top|u1|r2"}, "top|u1|state", SDR_TAP_POST_FITTING);
    ASSERT_TRUE(SEDQ_REPOSITORY::trigger_nodes(tx(), -1)->set_lsb_to_msb(0, true));
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        tx()->create_mnemonic_table(0, "stale", {"idle"}, {"11"});
    }
    auto dialog = make_dialog(true);
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*dialog), (std::vector<ROW>{{"top|u1|state", "stale"}, {"top|u9|gone", "Not tapped"}}));
    select(*dialog, 0);
    dialog->accept();
    EXPECT_EQ(tx()->get_node_count(-1), 3) << "recreating adds no nodes";
    ASSERT_NE(table("stale"), nullptr);
    EXPECT_EQ(table("stale")->get_num_entries(), 3);
    EXPECT_EQ(shown_value(0, "01"), "run");
    dialog.reset(); // one dialog at a time holds the keypoint databases
    auto again = make_dialog(true);
    again->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_EQ(rows(*again)[0], (ROW{"top|u1|state", "Mnemonics unchanged"}));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(state_machine_dlg_test, ok_follows_the_whole_selection_and_a_double_click_needs_it)
{
    load_design();
    open_document();
    auto dialog = make_dialog();
    dialog->on_double_click_state_machine_node_list();
    EXPECT_EQ(tx()->get_node_count(-1), 0) << "a double click with Ok disabled does nothing";
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    select(*dialog, 0);
    select(*dialog, 1);
    select(*dialog, 1, false);
    EXPECT_TRUE(ok_enabled(*dialog)) << "row 0 is still selected";
    select(*dialog, 0, false);
    EXPECT_FALSE(ok_enabled(*dialog));
    select(*dialog, 1);
    dialog->get_netlist_combo()->setCurrentIndex(1);
    EXPECT_FALSE(ok_enabled(*dialog)) << "a rebuilt list has no selection";
    dialog->get_netlist_combo()->setCurrentIndex(0);
    select(*dialog, 1);
    dialog->on_double_click_state_machine_node_list();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(group_name(0), "a|fsm");
}

TEST_F(state_machine_dlg_test, tips_come_from_the_lists_read_with_the_rows)
{
    load_design();
    open_document();
    add_rows({"b|fsm.up"});
    auto dialog = make_dialog();
    dialog->resize(700, 300);
    dialog->show();
    settle();
    SEDQ_STATE_MACHINE_TABLE_VIEW* table = dialog->get_table();
    const int netlist_uses = standin::dbmui::handed_out();
    const long lookups = standin::hdb::lookup_count();
    QStandardItemModel* model = table->get_model();
    EXPECT_EQ(table->get_tool_tip(model->index(0, 0)), "u1|state.idle\nu1|state.run\nu1|state.done");
    EXPECT_EQ(table->get_tool_tip(model->index(0, 1)), "001     idle\n010     run\n100     done");
    EXPECT_EQ(table->get_tool_tip(model->index(2, 0)), "b|fsm.up\nb|fsm.down") << "a status row names its registers";
    EXPECT_EQ(table->get_tool_tip(model->index(2, 1)), "") << "a status cell has no tip";
    EXPECT_EQ(table->get_tool_tip(QModelIndex()), "");
    const QRect cell = table->visualRect(model->index(1, 1));
    QMouseEvent move(QEvent::MouseMove, cell.center(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &move);
    EXPECT_EQ(table->toolTip(), "01     on\n10     off");
    QMouseEvent away(QEvent::MouseMove, QPoint(5, table->viewport()->height() - 2), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &away);
    EXPECT_EQ(table->toolTip(), "") << "below the rows";
    EXPECT_EQ(standin::dbmui::handed_out(), netlist_uses) << "no netlist is read for a tip";
    EXPECT_EQ(standin::hdb::lookup_count(), lookups);
}

TEST_F(state_machine_dlg_test, a_machine_that_could_not_be_inserted_gets_no_table)
{
    load_design();
    open_document();
    auto dialog = make_dialog();
    select(*dialog, 1);
    standin::sdr::refuse_write("add_node");
    dialog->accept();
    standin::sdr::refuse_write("add_node", false);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(table("fsm_table"), nullptr);
    const std::vector<std::string> errors = internal_errors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), "group_index >= 0") << "reported, and no table is made for row -1";
}

TEST_F(state_machine_dlg_test, patterns_that_do_not_fit_the_registers_are_left_out_and_reported)
{
    load_design();
    write_keypoints("fsm top/u1/state\nreg top/u1/r1\nreg top/u1/r2\n"
                    "state s.a 1 0\nstate s.open 2 1\nstate s.b 0 1\n"
                    "fsm top/u1/state\nreg top/u1/r1\nreg top/u1/r2\nreg top/u1/r3\nstate s.c 1 1 1\n");
    open_document();
    auto dialog = make_dialog();
    dialog->get_netlist_combo()->setCurrentIndex(1);
    ASSERT_EQ(rows(*dialog)[0], (ROW{"top|u1|state", "state_table"}));
    EXPECT_EQ(dialog->get_table()->get_tool_tip(dialog->get_table()->get_model()->index(0, 1)), "01     a\n10     b")
        << "the tip shows what the table will hold";
    select(*dialog, 0);
    dialog->accept();
    ASSERT_NE(table("state_table"), nullptr);
    EXPECT_EQ(table("state_table")->get_num_entries(), 2);
    EXPECT_STREQ(table("state_table")->get_value("b"), "10");
    EXPECT_EQ(tx()->get_node_tap_mode(1), SDR_TAP_POST_FITTING);
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"pattern_list[i].size() == register_count"}));
}

TEST_F(state_machine_dlg_test, entity_names_are_dropped_up_to_the_first_colon)
{
    struct row
    {
        const char* name;
        const char* expected;
    };
    const row rows[] = {{"top:u1|state", "u1|state"}, {"a:b:c", "b:c"}, {"plain|name", "plain|name"}, {":x", "x"}};
    QStringList names;
    for (const row& r : rows)
    {
        QString name = r.name;
        sedq_remove_entity_name(&name);
        EXPECT_EQ(name, r.expected) << r.name;
        names << r.name;
    }
    sedq_remove_entity_name(&names);
    EXPECT_EQ(names, (QStringList{"u1|state", "b:c", "plain|name", "x"}));
}

TEST_F(state_machine_dlg_test, the_view_commands_run_the_dialog_modally_in_either_mode)
{
    load_design();
    open_document();
    standin::qui::push_dialog_answer("Add State Machine Nodes", QDialog::Rejected);
    standin::qui::push_dialog_answer("Recreate State Machine Mnemonics", QDialog::Rejected);
    EXPECT_EQ(SEDQ_STATE_MACHINE_DLG::run(m_frame.get(), false, nullptr), QDialog::Rejected);
    EXPECT_EQ(SEDQ_STATE_MACHINE_DLG::run(m_frame.get(), true, nullptr), QDialog::Rejected);
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty());
    EXPECT_EQ(tx()->get_node_count(-1), 0) << "cancelled: the document is unchanged";
}
