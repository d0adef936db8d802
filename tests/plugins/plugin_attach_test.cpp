// Attaching the serial decoder to an instance of a design that holds its transmitter at
// several places, and editing the options of the plug-in groups. The modal dialogs of the
// attach run non-modally here: the choice and the options dialog through the document model's
// dialog hooks, the message boxes through the host's modal auto-responder.
#include "plugin_test_support.h"

#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/afcq_control.h"
#include "host/standin/cfg_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/plugins/sedq_plugin_hierarchy_dlg.h"
#include "sedq/plugins/sedq_plugin_option_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include "sedq/model/sedq_repository.h"

namespace
{
// The transmitter at two places in different subtrees, twice among siblings (one counts), once
// nested in itself (the outer one counts), with children the decoder must not be handed.
const char* const ATTACH_DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|right|sub|tx2", "unit": "uart_tx", "flags": "0x80000000"},
      {"path": "top|right|sub|tx3", "unit": "uart_tx", "flags": "0x80000000"},
      {"path": "top|left|uart_tx", "flags": "0x80000000"},
      {"path": "top|left|uart_tx|busy", "flags": "0x80000040"},
      {"path": "top|left|uart_tx|valid", "flags": "0x80000040"},
      {"path": "top|left|uart_tx|by_kind", "flags": "0x80000040", "kind": 5},
      {"path": "top|left|uart_tx|by_flag", "flags": "0x80000240"},
      {"path": "top|left|uart_tx|unflagged", "flags": "0x40"},
      {"path": "top|nest|uart_tx|inner", "unit": "uart_tx", "flags": "0x80000000"},
      {"path": "top|counter_probe", "flags": "0x80000000"}]}}
})";

// What the dialog hooks saw and are to do.
struct HOOKS
{
    QStringList offered;
    bool ok_enabled_before_choice = true;
    bool ok_enabled_after_choice = false;
    int choice = 0;   // row to double-click; -1 cancels
    int option_runs = 0;
    int option_structs = 0;
    // The settings typed before each press of OK, by option name, in turn.
    QList<QList<QPair<QString, QString>>> presses;
    QStringList settings_shown;
    bool ok_as_offered = false; // press OK on the settings the dialog offers
    QStringList settings_offered;
    QString options_title;
    QString choice_title;
};
HOOKS s_hooks;

bool choose_hierarchy(const QStringList& paths, QString* chosen)
{
    SEDQ_PLUGIN_HIERARCHY_DLG dialog(paths, chosen);
    dialog.show();
    auto* list = dialog.findChild<QListWidget*>();
    s_hooks.offered = paths;
    s_hooks.choice_title = dialog.windowTitle();
    s_hooks.ok_enabled_before_choice = dialog.findChildren<QPushButton*>().first()->isEnabled();
    if (s_hooks.choice < 0)
        return false;
    QListWidgetItem* item = list->item(s_hooks.choice);
    // A double click is a click first, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    s_hooks.ok_enabled_after_choice = dialog.findChildren<QPushButton*>().first()->isEnabled();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    return dialog.result() == QDialog::Accepted;
}

bool edit_options(SEDQ_TX_MANAGER* tx, QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* plugins)
{
    ++s_hooks.option_runs;
    s_hooks.option_structs = plugins->size();
    SEDQ_PLUGIN_OPTION_DLG dialog(tx, plugins);
    dialog.show();
    s_hooks.options_title = dialog.windowTitle();
    if (s_hooks.ok_as_offered)
    {
        auto* offered = dialog.findChild<QTreeWidget*>();
        for (int i = 0; i < offered->topLevelItemCount(); ++i)
            s_hooks.settings_offered << offered->topLevelItem(i)->text(1);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        return dialog.result() == QDialog::Accepted;
    }
    auto* tree = dialog.findChild<QTreeWidget*>();
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        s_hooks.settings_shown << tree->topLevelItem(i)->text(0);
    for (const auto& press : s_hooks.presses)
    {
        for (const auto& [name, setting] : press)
        {
            tree->clearSelection();
            tree->findItems(name, Qt::MatchExactly).first()->setSelected(true);
            auto* edit = dialog.findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, setting);
        }
        dialog.accept();
        if (dialog.result() == QDialog::Accepted)
            return true;
    }
    return false;
}

class plugin_attach_test : public plugin_test
{
protected:
    void SetUp() override
    {
        plugin_test::SetUp();
        s_hooks = HOOKS();
        s_hooks.presses = {{{"Baud rate", "9600"}}};
        m_choose = SEDQ_TX_MANAGER::s_choose_plugin_hierarchy;
        m_edit = SEDQ_TX_MANAGER::s_edit_plugin_options;
        SEDQ_TX_MANAGER::s_choose_plugin_hierarchy = &choose_hierarchy;
        SEDQ_TX_MANAGER::s_edit_plugin_options = &edit_options;
    }
    void TearDown() override
    {
        SEDQ_TX_MANAGER::s_choose_plugin_hierarchy = m_choose;
        SEDQ_TX_MANAGER::s_edit_plugin_options = m_edit;
        plugin_test::TearDown();
    }

    SEDQ_TX_MANAGER* attach_document(const char* design = ATTACH_DESIGN)
    {
        install({"uart"});
        if (design != nullptr)
        {
            std::string error;
            EXPECT_TRUE(standin::project::load_json(design, m_dir.path().toStdString(), &error)) << error;
        }
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("attach.vtl").c_str()));
        return manager;
    }

    bool attach(SEDQ_TX_MANAGER* manager)
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        return manager->open_plugin("uart", false);
    }

    // Texts of the host messages shown since the last call.
    std::vector<std::string> messages()
    {
        const auto& all = standin::msg::shown();
        std::vector<std::string> fresh;
        for (size_t i = std::min(m_seen_messages, all.size()); i < all.size(); ++i)
            fresh.push_back(all[i].text);
        m_seen_messages = all.size();
        return fresh;
    }
    size_t m_seen_messages = 0;

    static std::vector<std::string> names(const SDR_TX_SIGNAL_NODES* nodes)
    {
        std::vector<std::string> out;
        for (int row = 0; row < nodes->get_num_nodes(); ++row)
            out.push_back(nodes->get_node_name(row));
        return out;
    }

    static int set_option_calls()
    {
        using COUNTERS = void (*)(int*, int*, int*, int*, int*);
        auto counters = reinterpret_cast<COUNTERS>(sedq_find_plugin("uart")->library->resolve("sld_sed_uart_counters"));
        int refresh = 0, display = 0, trigger = 0, open = 0, set = 0;
        counters(&refresh, &display, &trigger, &open, &set);
        return set;
    }

    SEDQ_TX_MANAGER::PLUGIN_HIERARCHY_CHOICE m_choose = nullptr;
    SEDQ_TX_MANAGER::PLUGIN_OPTIONS_EDIT m_edit = nullptr;
};

std::vector<std::string> data_bits(const std::string& prefix)
{
    std::vector<std::string> bits;
    for (int bit = 7; bit >= 0; --bit)
        bits.push_back(prefix + "data[" + std::to_string(bit) + "]");
    return bits;
}

TEST_F(plugin_attach_test, the_outer_instances_are_offered_sorted_and_the_chosen_one_is_tapped)
{
    SEDQ_TX_MANAGER* manager = attach_document();
    ASSERT_TRUE(attach(manager)) << testing::PrintToString(messages()) << testing::PrintToString(boxes())
                                 << s_hooks.option_runs << s_hooks.offered.join(",").toStdString();
    EXPECT_EQ(s_hooks.offered, (QStringList{"left|uart_tx", "nest|uart_tx", "right|sub|tx2"}));
    EXPECT_FALSE(s_hooks.ok_enabled_before_choice);
    EXPECT_TRUE(s_hooks.ok_enabled_after_choice);

    const SDR_TX_TRIGGER* trigger = manager->get_trigger_nodes(-1);
    std::vector<std::string> expected{"left|uart_tx|data"};
    for (const std::string& bit : data_bits("left|uart_tx|"))
        expected.push_back(bit);
    expected.push_back("left|uart_tx|valid");
    expected.push_back("left|uart_tx|busy");
    EXPECT_EQ(names(trigger), expected) << "the data byte grouped, the data-only nodes after it";
    EXPECT_EQ(trigger->get_group_display_type(0), SDR_GTYPE_PLUGIN);
    EXPECT_EQ(trigger->get_node_capture_type(1), SDR_WTYPE_DATA_AND_TRIGGER) << "listed by both tables";
    EXPECT_EQ(trigger->get_node_capture_type(9), SDR_WTYPE_DATA_ONLY);

    // The data list shows each node once: inside the data group, the setup group not mirrored.
    const SDR_TX_SIGNAL_SET* data = manager->get_signal_nodes(-1);
    std::vector<std::string> frame{"left|uart_tx|frame"};
    for (const std::string& bit : data_bits("left|uart_tx|"))
        frame.push_back(bit);
    frame.push_back("left|uart_tx|valid");
    frame.push_back("left|uart_tx|busy");
    EXPECT_EQ(names(data), frame);
    EXPECT_EQ(data->get_group_display_type(0), SDR_GTYPE_PLUGIN);
    EXPECT_EQ(names(trigger), expected) << "the data list's temporaries took no trigger node along";
    EXPECT_EQ(s_hooks.option_runs, 1);
    EXPECT_EQ(s_hooks.option_structs, 2);
    EXPECT_EQ(s_hooks.settings_shown, (QStringList{"Baud rate", "Format", "Symbol file"})) << "one row per name";
}

// The options dialog of an attach offers the decoder's defaults (empty settings, which the
// decoder takes as its own): OK on what it offers attaches at once. Both dialogs say what they
// are for.
TEST_F(plugin_attach_test, ok_on_the_offered_options_attaches_at_once)
{
    SEDQ_TX_MANAGER* manager = attach_document();
    s_hooks.ok_as_offered = true;
    ASSERT_TRUE(attach(manager));
    EXPECT_TRUE(boxes().empty()) << "no complaint";
    EXPECT_EQ(s_hooks.option_runs, 1);
    EXPECT_EQ(s_hooks.options_title, "Plug-In Options: uart");
    EXPECT_EQ(s_hooks.choice_title, "Add Nodes with Plug-In: Instance to Decode");
    EXPECT_EQ(s_hooks.settings_offered, QStringList({"(decoder's default)", "(decoder's default)", "(decoder's default)"}));
    EXPECT_EQ(set_option_calls(), 2) << "one call per group";
}

// Each refused value of each group is said in a box of its own, in the order of the groups and
// their options; the dialog stays open until the values are taken.
TEST_F(plugin_attach_test, a_complaint_keeps_the_options_open_and_one_undo_removes_the_attach)
{
    SEDQ_TX_MANAGER* manager = attach_document();
    s_hooks.presses = {{{"Baud rate", "abc"}, {"Format", "zzz"}}, {{"Baud rate", "19200"}, {"Format", "hex"}}};
    ASSERT_TRUE(attach(manager));
    const std::string baud = "Corvane\nBaud rate \"abc\" is not a number";
    const std::string format = "Corvane\nFormat \"zzz\" is neither char nor hex";
    EXPECT_EQ(boxes(), (std::vector<std::string>{baud, format, baud, format})) << "two groups, two values each";
    const SDR_PLUGIN_GROUP* record = manager->get_trigger_nodes(-1)->get_plugin_group(0);
    ASSERT_NE(record, nullptr);
    const char* value = nullptr;
    ASSERT_TRUE(record->get_user_option(0, nullptr, &value, nullptr, nullptr));
    EXPECT_STREQ(value, "19200");
    EXPECT_EQ(set_option_calls(), 4) << "two groups, two presses of OK";

    manager->on_edit_undo();
    EXPECT_EQ(manager->get_trigger_nodes(-1)->get_num_nodes(), 0);
    EXPECT_EQ(manager->get_signal_nodes(-1)->get_num_nodes(), 0);
}

// Tap modes by generation and switch; the second generation gives the data list rows of its own.
TEST_F(plugin_attach_test, generations_choose_their_tap_mode_and_data_rows)
{
    struct CASE
    {
        bool gen2;
        const char* setting; // switched on, or null
        SDR_DATA_WIRE_TAP_MODE tap;
    };
    const CASE cases[] = {{false, nullptr, SDR_TAP_PRE_SYNTHESIS},
                          {false, "vtl_plugin_add_presynthesis_nodes", SDR_TAP_PRE_SYNTHESIS},
                          {true, nullptr, SDR_TAP_PRE_SYNTHESIS},
                          {true, "vtl_plugin_add_postfitting_nodes", SDR_TAP_POST_FITTING}};
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(std::string(c.gen2 ? "gen2 " : "gen1 ") + (c.setting ? c.setting : "-"));
        SEDQ_TX_MANAGER* manager = attach_document();
        SEDQ_REPOSITORY::session(manager)->m_is_tx_gen2 = c.gen2 ? 1 : 0;
        if (c.setting != nullptr)
            standin::cfg::set(c.setting, true);
        const int reads = standin::cfg::read_count(c.gen2 ? "vtl_plugin_add_postfitting_nodes"
                                                          : "vtl_plugin_add_presynthesis_nodes");
        ASSERT_TRUE(attach(manager));
        EXPECT_EQ(standin::cfg::read_count(c.gen2 ? "vtl_plugin_add_postfitting_nodes"
                                                  : "vtl_plugin_add_presynthesis_nodes"),
                  reads + 1);
        const SDR_TX_TRIGGER* trigger = manager->get_trigger_nodes(-1);
        EXPECT_EQ(trigger->get_node_tap_mode(1), c.tap);
        EXPECT_EQ(std::string(trigger->get_node_name(0)), "left|uart_tx|data");
        const std::vector<std::string> data_names = names(manager->get_signal_nodes(-1));
        EXPECT_EQ(std::count(data_names.begin(), data_names.end(), "left|uart_tx|frame"), 1);
        if (c.setting != nullptr)
            standin::cfg::clear(c.setting);
        manager->close_document();
    }
}

// A decoder with data tables only: the first generation taps its data nodes, captured for data
// only, and makes no data group (the rows stay ungrouped: deleting them from the data list would
// delete the nodes); the second generation gives the data list the decoder's group. Both
// attaches succeed and ask for the options.
TEST_F(plugin_attach_test, a_decoder_of_data_tables_only_groups_its_data_in_the_second_generation_alone)
{
    install({"uart_data_only"});
    std::string error;
    ASSERT_TRUE(standin::project::load_json(ATTACH_DESIGN, m_dir.path().toStdString(), &error)) << error;
    std::vector<std::string> members = data_bits("left|uart_tx|");
    members.push_back("left|uart_tx|valid");
    members.push_back("left|uart_tx|busy");
    std::vector<std::string> frame{"left|uart_tx|frame"};
    frame.insert(frame.end(), members.begin(), members.end());
    for (bool gen2 : {false, true})
    {
        SCOPED_TRACE(gen2 ? "gen2" : "gen1");
        SEDQ_TX_MANAGER* manager = make_manager(true);
        ASSERT_TRUE(manager->new_document(path(gen2 ? "attach2.vtl" : "attach1.vtl").c_str()));
        SEDQ_REPOSITORY::session(manager)->m_is_tx_gen2 = gen2 ? 1 : 0;
        const int option_runs = s_hooks.option_runs;
        ASSERT_TRUE(attach(manager)) << testing::PrintToString(messages());
        EXPECT_EQ(s_hooks.option_runs, option_runs + 1);
        const SDR_TX_SIGNAL_SET* data = manager->get_signal_nodes(-1);
        EXPECT_EQ(names(data), gen2 ? frame : members);
        for (int row = 0; row < data->get_num_nodes(); ++row)
            EXPECT_EQ(data->get_group_display_type(row) == SDR_GTYPE_PLUGIN, gen2 && row == 0) << row;
        const SDR_TX_TRIGGER* trigger = manager->get_trigger_nodes(-1);
        EXPECT_EQ(names(trigger), gen2 ? std::vector<std::string>() : members) << "tapped for data, ungrouped";
        for (int row = 0; row < trigger->get_num_nodes(); ++row)
            EXPECT_EQ(trigger->get_node_capture_type(row), SDR_WTYPE_DATA_ONLY) << row;
        manager->close_document();
    }
}

// ---- the options, without an attach ------------------------------------------------------------

using OPTION = SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT::USER_OPTION;

TEST_F(plugin_attach_test, the_options_dialog_shows_one_row_per_name_and_offers_file_filters)
{
    SEDQ_TX_MANAGER* manager = attach_document(nullptr);
    SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT first;
    SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT second;
    first.user_options = {OPTION{"Rate", "first", "number", "1"}, OPTION{"VCD FILE", "waves", "file", "a.vcd"}};
    second.user_options = {OPTION{"Rate", "second", "string", "2"}, OPTION{"Trace file", "t", "file", ""}};
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> plugins{&first, &second};
    SEDQ_PLUGIN_OPTION_DLG dialog(manager, &plugins);
    dialog.show();
    auto* tree = dialog.findChild<QTreeWidget*>();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.get_option_value("Rate"), "2") << "the later struct's value";
    EXPECT_EQ(dialog.get_option_description("Rate"), "second");
    EXPECT_EQ(dialog.get_option_type("Rate"), "string");

    const std::pair<const char*, QStringList> filters[] = {
        {"VCD FILE", {"VCD Files (*.vcd)", "All Files (*.*)"}},
        {"Trace file", {"Trace Files (*.trace)", "All Files (*.*)"}},
        {"Log of run file", {"All Files (*.*)"}},
        {"Rate", {"Rate Files (*.rate)", "All Files (*.*)"}}};
    for (const auto& [name, expected] : filters)
        EXPECT_EQ(SEDQ_PLUGIN_OPTION_DLG::browse_filters(name), expected) << name;

    // A chosen file lands in the setting; the browse button stays enabled after a string option.
    tree->clearSelection();
    tree->findItems("VCD FILE", Qt::MatchExactly).first()->setSelected(true);
    standin::afcq::push_file_dialog_result(true, "/tmp/run.vcd");
    auto* browse = dialog.findChildren<QPushButton*>().first();
    ASSERT_EQ(browse->text(), "...");
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(dialog.get_option_value("VCD FILE"), "/tmp/run.vcd");
    tree->setCurrentItem(tree->findItems("Rate", Qt::MatchExactly).first());
    EXPECT_TRUE(browse->isEnabled());

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "no decoder loaded, so no complaint";
    EXPECT_EQ(first.user_options[0].value, "2") << "one setting for both options of a name";
}

TEST_F(plugin_attach_test, without_options_the_dialog_says_so_and_ok_still_applies)
{
    SEDQ_TX_MANAGER* manager = attach_document(nullptr);
    SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT empty;
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> plugins{&empty};
    SEDQ_PLUGIN_OPTION_DLG dialog(manager, &plugins);
    dialog.show();
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "No Selection"; }));
    EXPECT_FALSE(dialog.findChild<QLineEdit*>()->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// Options read from and written back to the group records of a document with two uart groups.
TEST_F(plugin_attach_test, options_go_to_each_decoder_in_order_and_back_to_the_records)
{
    SEDQ_TX_MANAGER* manager = attach_document();
    ASSERT_TRUE(attach(manager));
    SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::trigger_nodes(manager, -1);
    SDR_PLUGIN_GROUP* record = trigger->get_plugin_group(0);
    ASSERT_NE(record, nullptr);
    record->clear_user_options();
    record->add_user_option("Baud rate", "1200", 1, "Baud rate of the line");
    record->add_user_option("Odd", "x", 7, "an unknown type");
    std::unique_ptr<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT> plugin(manager->get_plugin_struct(0));
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->user_options[1].type, "string");

    SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT without; // a group whose table declares no options
    without.plugin_name = "uart";
    without.settings = SEDQ_REPOSITORY::signal_nodes(manager, -1)->get_plugin_group(
        manager->get_signal_nodes(-1)->get_num_nodes() - 11);
    ASSERT_NE(without.settings, nullptr);
    const int calls = set_option_calls();
    plugin->user_options[0].value = "fast";
    EXPECT_TRUE(manager->set_plugin_user_options({plugin.get(), &without}));
    EXPECT_EQ(set_option_calls(), calls + 1) << "a struct without options is not sent";
    EXPECT_EQ(plugin->user_options[0].message, "Baud rate \"fast\" is not a number") << "cut at its NUL";
    EXPECT_EQ(without.settings->get_user_option_count(), 0);
    int type = -1;
    ASSERT_TRUE(record->get_user_option(1, nullptr, nullptr, &type, nullptr));
    EXPECT_EQ(type, 0) << "a string is stored with code 0";

    // Cancelled from the view's command: the bracket closes and nothing is written.
    s_hooks.presses.clear();
    const int before = set_option_calls();
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> selected{plugin.get()};
    EXPECT_TRUE(manager->get_plugin_user_options(&selected, false));
    EXPECT_EQ(set_option_calls(), before);
    EXPECT_FALSE(SEDQ_EDIT_SCOPE::is_any_open());
}

const char* const UNRELATED_DESIGN = R"({"project": {"top_entity": "top"},
  "netlists": {"pre": {"instances": [{"path": "top|counter_probe", "flags": "0x80000000"}]}}})";

struct FAILURE
{
    const char* what;
    const char* design;
    int choice;
    const char* box; // empty: none
};

class plugin_attach_failure_test : public plugin_attach_test, public testing::WithParamInterface<FAILURE>
{
};

TEST_P(plugin_attach_failure_test, is_reported_with_its_message_and_adds_nothing)
{
    const FAILURE& c = GetParam();
    SEDQ_TX_MANAGER* manager = attach_document(c.design);
    s_hooks.choice = c.choice;
    messages();
    EXPECT_FALSE(attach(manager));
    const std::vector<std::string> shown = messages();
    if (*c.box == '\0')
        EXPECT_TRUE(shown.empty());
    else
        EXPECT_TRUE(shown.size() == 1 && shown[0].find(c.box) != std::string::npos) << shown.size();
    EXPECT_EQ(manager->get_trigger_nodes(-1)->get_num_nodes(), 0);
    EXPECT_EQ(s_hooks.option_runs, 0);
}

INSTANTIATE_TEST_SUITE_P(
    attach, plugin_attach_failure_test,
    testing::Values(FAILURE{"no_netlist", nullptr, 0, "you need to run an Analysis and Elaboration first"},
                    FAILURE{"no_instance", UNRELATED_DESIGN, 0, "could not be found in the current design"},
                    FAILURE{"cancelled", ATTACH_DESIGN, -1, ""}),
    [](const testing::TestParamInfo<FAILURE>& info) { return std::string(info.param.what); });
} // namespace
