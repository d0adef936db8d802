// Node commands that reach outside the node list: locating a node in a host tool or its design
// file, the plug-in menu and options, and the mnemonic table setup's working copy.
#include "sedq_view_test_support.h"

#include "host/standin/dbmui_control.h"
#include "host/standin/gen_control.h"
#include "host/standin/project_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

namespace
{
// "a" declared at a place of its own, "b" made of an entity whose unit has a file, "c" of an
// entity without one.
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|a", "flags": "0x80000040", "location": "top.v:12"},
      {"path": "top|b", "flags": "0x80000040", "entity": "counter"},
      {"path": "top|c", "flags": "0x80000040", "entity": "nowhere"}]}},
  "design_units": [{"entity": "counter", "file": "counter.v", "line": 3}, {"entity": "nowhere"}]
})";

void three_leaves(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|a", "top|b", "top|c", "top|z"});
    standin::sdr::add_group(trigger, 2, 3, "pair");
}
} // namespace

class view_locate_test : public view_test
{
protected:
    void design()
    {
        std::string error;
        ASSERT_TRUE(standin::project::load_json(DESIGN, m_dir.path().toStdString(), &error)) << error;
    }

    AFCQ_LOCATE_MENU* menu() { return frame()->get_locate_menu(); }
};

TEST_F(view_locate_test, locate_is_enabled_for_one_selected_node_the_netlist_knows)
{
    design();
    open(write_document(three_leaves));
    focus_view();
    const auto enabled = [this](std::initializer_list<int> rows) {
        tx()->select_node_range(0, tx()->get_node_count(-1) - 1, false);
        for (int row : rows)
            tx()->set_node_selection_status(row, true);
        view()->on_update_locate();
        return menu()->get_design_file_action()->isEnabled() && menu()->get_locate_actions()[0]->isEnabled();
    };
    EXPECT_TRUE(enabled({0}));
    EXPECT_FALSE(enabled({0, 1})) << "two nodes";
    EXPECT_FALSE(enabled({2})) << "a group";
    EXPECT_FALSE(enabled({4})) << "not in the netlist";
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << "the netlist is given back";
}

TEST_F(view_locate_test, locate_hands_the_host_the_name_id_or_the_short_path)
{
    design();
    open(write_document(three_leaves));
    focus_view();
    select_only(0);
    standin::clear_calls();
    const CLSID tool;
    emit menu()->locate_triggered(tool);
    std::vector<std::string> calls = standin::calls("qui");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("qui:qui_locate(", 0), 0u);
    EXPECT_NE(calls[0].find(": iname:"), std::string::npos) << calls[0];
    standin::gen::set_is_qhd(true);
    standin::clear_calls();
    view()->on_locate(tool);
    calls = standin::calls("qui");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(": a)"), std::string::npos) << calls[0];
    standin::gen::set_is_qhd(false);
    select_only(4);
    standin::clear_calls();
    view()->on_locate(tool);
    calls = standin::calls("qui");
    ASSERT_EQ(calls.size(), 1u) << "an empty schema is handed on too";
    EXPECT_NE(calls[0].find(": )"), std::string::npos) << calls[0];
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(view_locate_test, locate_in_design_file_takes_the_own_place_or_the_entitys_unit)
{
    design();
    open(write_document([](SDR_DATA_SESSION& s) {
        add_leaves(s.m_instances[0]->get_active_trigger(), {"top|a", "top|b", "top|c", "top|z"});
    }));
    focus_view();
    const auto located = [this](int row) {
        select_only(row);
        standin::clear_calls();
        view()->on_locate_design_file();
        const std::vector<std::string> calls = standin::calls("qui");
        return calls.empty() ? std::string() : calls[0];
    };
    EXPECT_EQ(located(0), "qui:qui_locate_to_design_file(top.v:12)");
    EXPECT_EQ(located(1), "qui:qui_locate_to_design_file(counter.v:3)");
    EXPECT_EQ(located(2), "") << "the entity's unit has no file";
    EXPECT_EQ(located(3), "") << "not in the netlist";
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(view_locate_test, the_plugin_menu_lists_nothing_without_plugins_and_options_need_a_plugin_bus)
{
    open(write_document(three_leaves));
    focus_view();
    view()->on_update_plugin_menu();
    EXPECT_TRUE(frame()->get_plugin_menu()->actions().isEmpty());
    select_only(2);
    EXPECT_FALSE(view()->on_update_plugin_options()) << "a plain group";
    view()->on_plugin_options();
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available()) << "no plug-in bus: nothing to edit";
}

TEST_F(view_locate_test, the_mnemonic_setup_writes_tables_back_only_when_they_changed)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        three_leaves(s);
        SDR_DATA_MNEMONICS_TABLE* table = s.get_mnemonics()->create_table("states", 2);
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(table->add_entry("IDLE", "00"));
    }));
    {
        SEDQ_MNEMONIC_DLG dialog(view(), frame());
        ASSERT_EQ(dialog.get_sets().get_count(), 1);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available()) << "unchanged: no edit";
    {
        SEDQ_MNEMONIC_DLG dialog(view(), frame());
        dialog.delete_entry(dialog.get_current_set(), 0);
        dialog.reject();
    }
    const SDR_DATA_MNEMONICS* tables = tx()->get_tx_session()->get_data_session()->get_mnemonics();
    EXPECT_EQ(tables->find_table("states")->get_num_entries(), 1) << "Cancel changes nothing";
    {
        SEDQ_MNEMONIC_DLG dialog(view(), frame());
        const QString name = QStringLiteral("modes");
        const QString pattern = QStringLiteral("00");
        const QString symbol = QStringLiteral("IDLE");
        ASSERT_TRUE(dialog.add_set(&name, 2));
        ASSERT_TRUE(dialog.add_entry(dialog.get_current_set(), &pattern, &symbol, 2));
        dialog.accept();
    }
    ASSERT_NE(tables->find_table("modes"), nullptr);
    EXPECT_EQ(tables->find_table("modes")->get_first_symbol("00"), std::string("IDLE"));
    EXPECT_TRUE(tx()->get_tx_instance()->is_modified());
    tx()->on_edit_undo();
    EXPECT_EQ(tables->find_table("modes"), nullptr) << "one undoable change";
    EXPECT_NE(tables->find_table("states"), nullptr);
}
