// Instances, signal sets, triggers and data logs: removal with power-up companions, renames,
// the expanded state, names without the top entity, and the acquired sample windows.
#include "sedq_tx_manager_test_support.h"

#include "host/hdb.h"
#include "host/standin/acf_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/hdb_control.h"
#include "sedq/model/sedq_grid_rows.h"
#include "sedq/model/sedq_repository.h"

namespace
{
std::vector<std::string> entry_names(SEDQ_TX_MANAGER* manager)
{
    std::vector<std::string> names;
    const SDR_TX_SESSION* session = manager->get_tx_session();
    for (int i = 0; i < session->get_num_instances(); ++i)
        names.push_back(std::string(manager->get_instance_name_at(i, nullptr)) +
                        (session->is_power_up_view(i) ? " (power-up)" : ""));
    return names;
}
} // namespace

class sedq_tx_manager_instances_test : public sedq_tx_manager_test
{
protected:
    // Three instances "i0", "i1", "i2"; `power_up` gives "i1" its power-up view.
    SEDQ_TX_MANAGER* three_instances(bool power_up)
    {
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("a.vtl").c_str()));
        manager->add_instance();
        manager->add_instance();
        for (int i = 0; i < 3; ++i)
            SEDQ_REPOSITORY::session(manager)->get_instance_at(i, false)->get_data_instance()->set_name(
                ("i" + std::to_string(i)).c_str());
        if (power_up)
        {
            EXPECT_TRUE(manager->enable_powerup_trigger(1, true));
        }
        take_hints();
        standin::msg::reset();
        return manager;
    }

    std::string current_name() { return m_manager->get_instance() ? m_manager->get_instance() : "(none)"; }
};

TEST_F(sedq_tx_manager_instances_test, adding_an_instance_makes_it_current_and_modified)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    take_hints();
    EXPECT_TRUE(manager->add_instance());
    EXPECT_EQ(current_index(), 1);
    EXPECT_EQ(manager->get_num_instances(), 2);
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x80000020)});
}

TEST_F(sedq_tx_manager_instances_test, removing_an_instance_removes_its_power_up_view_from_either_entry)
{
    for (int given : {1, 2})
    {
        SEDQ_TX_MANAGER* manager = three_instances(true);
        ASSERT_EQ(entry_names(manager), (std::vector<std::string>{"i0", "i1", "i1 (power-up)", "i2"}));
        EXPECT_TRUE(manager->remove_instance(given)) << given;
        EXPECT_EQ(entry_names(manager), (std::vector<std::string>{"i0", "i2"})) << given;
        EXPECT_EQ(current_name(), "i2") << given;
        EXPECT_EQ(current_index(), 1) << given;
        EXPECT_TRUE(internal_errors().empty()) << given;
    }
}

TEST_F(sedq_tx_manager_instances_test, removing_the_current_last_instance_skips_a_power_up_view_before_it)
{
    SEDQ_TX_MANAGER* manager = three_instances(true);
    manager->set_instance(3);
    ASSERT_EQ(current_name(), "i2");
    EXPECT_TRUE(manager->remove_instance(3));
    EXPECT_EQ(entry_names(manager), (std::vector<std::string>{"i0", "i1", "i1 (power-up)"}));
    EXPECT_EQ(current_index(), 1);
    EXPECT_FALSE(manager->is_powerup_trigger(-1));
}

TEST_F(sedq_tx_manager_instances_test, removing_another_instance_with_a_power_up_view_keeps_the_current_one)
{
    struct row
    {
        const char* name;
        int current;
        int removed;
        int expected_index;
    };
    // Entries: 0 i0, 1 i1, 2 i1 (power-up), 3 i2.
    const row rows[] = {{"i0, removing i1", 0, 1, 0},
                        {"i0, removing the power-up view of i1", 0, 2, 0},
                        {"i2, removing i1", 3, 1, 1}};
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = three_instances(true);
        manager->set_instance(r.current);
        const std::string before = current_name();
        EXPECT_TRUE(manager->remove_instance(r.removed)) << r.name;
        EXPECT_EQ(entry_names(manager), (std::vector<std::string>{"i0", "i2"})) << r.name;
        EXPECT_EQ(current_name(), before) << r.name;
        EXPECT_EQ(current_index(), r.expected_index) << r.name;
    }
}

TEST_F(sedq_tx_manager_instances_test, removing_an_earlier_instance_keeps_the_current_one)
{
    SEDQ_TX_MANAGER* manager = three_instances(false);
    manager->set_instance(2);
    EXPECT_TRUE(manager->remove_instance(0));
    EXPECT_EQ(current_name(), "i2");
    EXPECT_EQ(current_index(), 1);
}

TEST_F(sedq_tx_manager_instances_test, removing_the_only_instance_leaves_none_current)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->remove_log_tree_item("", nullptr, nullptr);
    EXPECT_EQ(manager->get_tx_session()->get_num_instances(), 0);
    EXPECT_EQ(manager->get_num_instances(), 0);
    EXPECT_TRUE(manager->is_empty());
    EXPECT_EQ(manager->get_instance(), nullptr);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_instances_test, set_instance_by_name_picks_the_first_match)
{
    SEDQ_TX_MANAGER* manager = three_instances(false);
    manager->set_instance(QStringLiteral("i1"));
    EXPECT_EQ(current_index(), 1);
    manager->set_instance(QStringLiteral("nope"));
    EXPECT_EQ(current_index(), 1);
    manager->set_instance(QString());
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"name != \"\""});
}

TEST_F(sedq_tx_manager_instances_test, trigger_instance_list_leaves_out_power_up_views_and_the_instance_itself)
{
    SEDQ_TX_MANAGER* manager = three_instances(true);
    EXPECT_EQ(manager->get_trigger_instance_list(0), (QStringList{"i1", "i2"}));
    EXPECT_EQ(manager->get_trigger_instance_list(2), (QStringList{"i0", "i2"}));
}


// The names as text are kept between calls: after every change of a name, or of the instance in
// a place, they still read what the document holds, and the lists share one copy of each name.
TEST_F(sedq_tx_manager_instances_test, instance_name_texts_follow_every_change_and_are_shared)
{
    SEDQ_TX_MANAGER* manager = three_instances(false);
    const auto rename = [manager](int instance, const char* name) {
        SEDQ_REPOSITORY::session(manager)->get_instance_at(instance, false)->get_data_instance()->set_name(name);
    };
    const struct
    {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"first read", [] {}},
        {"longer, same start", [&] { rename(1, "i1_longer"); }},
        {"shorter again", [&] { rename(1, "i1"); }},
        {"not ASCII", [&] { rename(0, "inst_\xc3\xa4_a"); }},
        {"not ASCII, other letter", [&] { rename(0, "inst_\xc3\xb6_a"); }},
        {"not ASCII, other end", [&] { rename(0, "inst_\xc3\xb6_b"); }},
        {"ASCII once more", [&] { rename(0, "inst_o_b"); }},
        {"another instance in the place", [&] { EXPECT_TRUE(manager->remove_instance(0)); }},
        {"an instance added", [&] { EXPECT_TRUE(manager->add_instance()); }},
    };
    for (const auto& step : steps)
    {
        step.change();
        const int count = manager->get_num_instances();
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(manager->get_instance_name_text(i), QString::fromUtf8(manager->get_instance_name_at(i, nullptr)))
                << step.what << ", instance " << i;
        // Instance 0's list names the others, the same copies the name texts hand out.
        const QStringList others = manager->get_trigger_instance_list(0);
        ASSERT_EQ(others.size(), count - 1) << step.what;
        for (int i = 1; i < count; ++i)
            EXPECT_EQ(others[i - 1].constData(), manager->get_instance_name_text(i).constData()) << step.what;
    }
    manager->close_document();
    EXPECT_TRUE(manager->get_instance_name_text(0).isNull());
}
TEST_F(sedq_tx_manager_instances_test, renames_notify_and_duplicates_keep_the_old_name)
{
    SEDQ_TX_MANAGER* manager = three_instances(false);
    manager->rename_instance_set("renamed", "i0");
    EXPECT_STREQ(manager->get_instance_name_at(0, nullptr), "renamed");
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x80000020), H(0x20000049), H(0x60000010), H(0x10000020)}));
    EXPECT_TRUE(manager->get_tx_session()->is_modified());

    manager->rename_instance_set("i1", "renamed");
    EXPECT_STREQ(manager->get_instance_name_at(0, nullptr), "renamed");
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_DUPLICATE_NAME"});
    EXPECT_TRUE(take_hints().empty());

    manager->rename_instance_set("", "renamed");
    manager->rename_instance_set("x", "missing");
    EXPECT_STREQ(manager->get_instance_name_at(0, nullptr), "renamed");
    EXPECT_EQ(shown_keys().size(), 1u);
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(sedq_tx_manager_instances_test, signal_set_trigger_and_log_renames_notify_the_log_pane)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    standin::sdr::log_spec desc;
    desc.name = "log_a";
    standin::sdr::make_log(data_trigger(), desc);
    const std::string set = manager->get_signal_set();
    const std::string trigger = manager->get_trigger();
    take_hints();

    manager->rename_signal_set("set_b", set.c_str());
    manager->rename_trigger_set("trig_b", trigger.c_str(), "set_b");
    manager->rename_log_set("log_b", "log_a", "trig_b", "set_b");
    const std::vector<int> hint = {H(0x80000020), H(0x20000008)};
    std::vector<int> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), hint.begin(), hint.end());
    EXPECT_EQ(take_hints(), expected);
    EXPECT_STREQ(manager->get_signal_set_name_at(0, 0, nullptr), "set_b");
    EXPECT_STREQ(manager->get_trigger_name_at(0, 0, 0, nullptr), "trig_b");
    EXPECT_STREQ(manager->get_log_name_at(0, 0, 0, 0), "log_b");

    manager->rename_log_set("log_c", "log_b", "no such trigger", "set_b");
    EXPECT_STREQ(manager->get_log_name_at(0, 0, 0, 0), "log_b");
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(sedq_tx_manager_instances_test, set_expanded_changes_one_level_and_not_the_modified_state)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    const QString instance = QString::fromUtf8(manager->get_instance());
    const QString set = QString::fromUtf8(manager->get_signal_set());
    bool expanded = true;
    manager->get_signal_set_name_at(0, 0, &expanded);
    const bool set_before = expanded;

    manager->set_expanded(true, instance, QString(), QString());
    manager->get_instance_name_at(0, &expanded);
    EXPECT_TRUE(expanded);
    manager->get_signal_set_name_at(0, 0, &expanded);
    EXPECT_EQ(expanded, set_before);

    manager->set_expanded(true, instance, set, QString::fromUtf8(manager->get_trigger()));
    manager->get_trigger_name_at(0, 0, 0, &expanded);
    EXPECT_TRUE(expanded);
    EXPECT_FALSE(manager->get_tx_session()->is_modified());
}

TEST_F(sedq_tx_manager_instances_test, refusing_the_no_undo_question_keeps_the_active_entries)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->set_instance_enabled(-1, false);
    EXPECT_FALSE(manager->set_active(QStringLiteral("nope"), QString(), QString()));
    EXPECT_TRUE(shown_keys().empty()) << "a name the instance lacks is refused before any question";
    EXPECT_EQ(manager->get_missing_log_entry_part(QStringLiteral("nope"), QString(), QString()), "signal set");
    standin::msg::push_answer(7);
    EXPECT_FALSE(manager->set_active(QString::fromUtf8(manager->get_signal_set()), QString(), QString()));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"YNSEDQ_NO_UNDO_SUPPORT"});
    EXPECT_TRUE(internal_errors().empty());
    EXPECT_EQ(current_index(), 0);
}

TEST_F(sedq_tx_manager_instances_test, save_to_log_keeps_a_copy_and_refreshes_the_log_pane)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("clk", false);
    standin::sdr::add_node(data_trigger(), {"n0"});
    standin::sdr::make_log(data_trigger(), {});
    manager->refresh_tx_cache();
    take_hints();
    manager->save_to_log();
    EXPECT_EQ(manager->get_num_logs(0, 0, 0), 2);
    EXPECT_TRUE(shown_keys().empty());
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x2000000c), H(0x80000020)}));
}

TEST_F(sedq_tx_manager_instances_test, remove_top_entity_strips_only_a_whole_top_level)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    struct row
    {
        const char* name;
        const char* top;
        bool case_sensitive;
        const char* expected;
    };
    const row rows[] = {
        {"top|a|b", "top", true, "a|b"},
        {"top", "top", true, ""},
        {"TOP|a", "top", false, "a"},
        {"TOP|a", "top", true, "TOP|a"},
        {"top2|x", "top", true, "top2|x"},
        {"a|b", "", true, "a|b"},
        {"other|a", "top", true, "other|a"},
    };
    for (const row& r : rows)
        EXPECT_EQ(manager->remove_top_entity(QString::fromLatin1(r.name), r.top, r.case_sensitive),
                  QString::fromLatin1(r.expected))
            << r.name << " / " << r.top;
}

TEST_F(sedq_tx_manager_instances_test, short_names_drop_the_netlist_root)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    QString out;
    manager->get_short_name(&out, QStringLiteral("top|a|b"));
    EXPECT_EQ(out, QStringLiteral("top|a|b")) << "without a netlist the name stays";

    standin::hdb::set_netlist(HDB_NAMESPACE::PDB_POST_FIT, "top");
    manager->get_short_name(&out, QStringLiteral("top|a|b"));
    EXPECT_EQ(out, QStringLiteral("top|a|b")) << "a netlist is lent only while its project is open";
    standin::acf::set_project(true, m_dir.path().toStdString());
    manager->get_short_name(&out, QStringLiteral("top|a|b"));
    EXPECT_EQ(out, QStringLiteral("a|b"));
    manager->set_using_pre_synthesis_filter(true);
    manager->get_short_name(&out, QStringLiteral("top|a|b"));
    EXPECT_EQ(out, QStringLiteral("top|a|b")) << "the pre-synthesis netlist is another database";
    EXPECT_EQ(standin::dbmui::outstanding("sedq_tx_manager"), 0);
}

TEST_F(sedq_tx_manager_instances_test, int_length_counts_the_decimal_characters)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    const std::pair<int, int> rows[] = {{0, 1},     {9, 1},       {10, 2},     {999, 3},   {9999, 4},
                                        {123456, 5}, {-1, 2},      {-5, 2},     {-10, 3},   {-999, 4},
                                        {-9999, 5},  {-10000, 6}, {INT32_MIN, 6}, {INT32_MAX, 5}};
    for (const auto& r : rows)
        EXPECT_EQ(manager->get_int_length(r.first), r.second) << r.first;
}

class sedq_tx_manager_wave_test : public sedq_tx_manager_test
{
protected:
    // Two data nodes n0 and n1 and a log of them.
    SEDQ_TX_MANAGER* document_with_log(const standin::sdr::log_spec& desc)
    {
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("a.vtl").c_str()));
        standin::sdr::add_node(data_trigger(), {"n0"});
        standin::sdr::add_node(data_trigger(), {"n1"});
        standin::sdr::make_log(data_trigger(), desc);
        manager->refresh_tx_cache();
        return manager;
    }

    static standin::sdr::log_spec desc(int depth, std::vector<std::string> channels, std::string valid = "")
    {
        standin::sdr::log_spec s;
        s.depth = depth;
        s.channels = std::move(channels);
        s.valid = std::move(valid);
        return s;
    }

    static std::string window(SEDQ_TX_MANAGER* manager, int node, int sample)
    {
        bool out[3] = {true, true, true};
        if (!manager->get_wave(node, out, sample, false, -1))
            return "none";
        return std::string() + (out[0] ? '1' : '0') + (out[1] ? '1' : '0') + (out[2] ? '1' : '0');
    }
};

TEST_F(sedq_tx_manager_wave_test, windows_repeat_the_end_samples)
{
    SEDQ_TX_MANAGER* manager = document_with_log(desc(4, {"0111", "1000"}));
    struct row
    {
        int node;
        int sample;
        const char* expected;
    };
    const row rows[] = {{0, 0, "001"}, {0, 1, "011"}, {0, 3, "111"}, {0, 4, "000"},
                        {1, 0, "110"}, {1, 3, "000"}, {1, 9, "000"}, {1, -2, "000"}};
    for (const row& r : rows)
        EXPECT_EQ(window(manager, r.node, r.sample), r.expected) << r.node << "@" << r.sample;
}

TEST_F(sedq_tx_manager_wave_test, depth_one_reads_only_the_one_sample)
{
    SEDQ_TX_MANAGER* manager = document_with_log(desc(1, {"1", "0"}, "1"));
    EXPECT_EQ(window(manager, 0, 0), "111");
    EXPECT_EQ(window(manager, 1, 0), "000");
    bool mask[3] = {false, false, false};
    ASSERT_TRUE(manager->get_wave_mask(mask, 0, false, -1));
    EXPECT_TRUE(mask[0] && mask[1] && mask[2]);
}

TEST_F(sedq_tx_manager_wave_test, whole_rows_and_inversion)
{
    SEDQ_TX_MANAGER* manager = document_with_log(desc(4, {"0110", "1010"}, "1101"));
    bool row[4];
    ASSERT_TRUE(manager->get_wave(1, row, -1, false, -1));
    EXPECT_EQ(std::vector<bool>(row, row + 4), (std::vector<bool>{true, false, true, false}));
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_node_inverted(1, true);
    ASSERT_TRUE(manager->get_wave(1, row, -1, false, -1));
    EXPECT_EQ(std::vector<bool>(row, row + 4), (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(window(manager, 1, 0), "001");

    ASSERT_TRUE(manager->get_wave_mask(row, -1, false, -1));
    EXPECT_EQ(std::vector<bool>(row, row + 4), (std::vector<bool>{true, true, false, true}));

    int depth = 0;
    EXPECT_TRUE(manager->get_data_sample_depth(&depth, -1));
    EXPECT_EQ(depth, 4);
}

TEST_F(sedq_tx_manager_wave_test, no_data_no_channel_or_no_connection_reads_nothing)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    standin::sdr::add_node(data_trigger(), {"n0"});
    manager->refresh_tx_cache();
    bool out[3] = {true, true, true};
    EXPECT_FALSE(manager->get_wave(0, out, 0, false, -1));
    EXPECT_TRUE(out[0] && out[1] && out[2]) << "nothing written without data";
    int depth = 0;
    EXPECT_FALSE(manager->get_data_sample_depth(&depth, -1));
    EXPECT_EQ(depth, 128) << "without data the set-up depth";

    standin::sdr::log_spec s = desc(2, {"11", "11"});
    s.connected = {true, false};
    manager = document_with_log(s);
    EXPECT_EQ(window(manager, 0, 0), "111");
    EXPECT_EQ(window(manager, 1, 0), "none") << "a disconnected channel";
    EXPECT_EQ(window(manager, 5, 0), "none") << "a row without a channel";
}

TEST_F(sedq_tx_manager_wave_test, wave_count_spans_a_group_and_its_members)
{
    SEDQ_TX_MANAGER* manager = document_with_log(desc(2, {"00", "11"}));
    const int group = standin::sdr::add_group(data_trigger(), 0, 1, "bus");
    ASSERT_EQ(group, 0);
    manager->refresh_tx_cache();
    EXPECT_EQ(manager->get_wave_count(sedq_row_of_node(group)), 2);
    EXPECT_EQ(manager->get_wave_count(sedq_row_of_node(group + 1)), 0);
}

TEST_F(sedq_tx_manager_wave_test, set_view_log_shows_the_log_and_gives_plugin_groups_their_table)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    standin::sdr::add_node(data_trigger(), {"n0"});
    standin::sdr::add_node(data_trigger(), {"n1"});
    ASSERT_EQ(standin::sdr::add_group(data_trigger(), 0, 1, "bus", SDR_GTYPE_PLUGIN), 0);
    standin::sdr::log_spec shown = desc(2, {"01", "10"});
    shown.name = "shown";
    SDR_DATA_LOG* log = standin::sdr::make_log(data_trigger(), shown);
    standin::sdr::log_spec cut = desc(2, {"01", "10"});
    cut.name = "cut";
    cut.connected = {true, false};
    SDR_DATA_LOG* disconnected = standin::sdr::make_log(data_trigger(), cut);
    SEDQ_REPOSITORY::trigger_nodes(manager, -1)->refresh_derived_data();
    manager->refresh_tx_cache();
    SDR_PLUGIN_GROUP* record = SEDQ_REPOSITORY::signal_nodes(manager, -1)->create_plugin_group(0);
    ASSERT_NE(record, nullptr);
    ASSERT_STREQ(manager->get_log(), "cut");
    take_hints();

    manager->set_view_log(-1, log);
    manager->set_view_log(0, nullptr);
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"instance_index >= 0", "log != NULL"}));
    EXPECT_STREQ(manager->get_log(), "cut");

    manager->set_view_log(0, log);
    EXPECT_STREQ(manager->get_log(), "shown") << "the shown log of the current instance is taken again";
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x80000020)});
    const SDR_DATA_MNEMONICS_TABLE* table = log->get_static_plugin_mnemonics_table(record->get_plugin_id());
    ASSERT_NE(table, nullptr) << "one table per plug-in group, as wide as its members";
    EXPECT_EQ(table->get_width(), 2);
    EXPECT_EQ(table->get_num_entries(), 0) << "no decoder is loaded, so no value has a symbol";

    manager->set_view_log(0, disconnected);
    EXPECT_EQ(disconnected->get_static_plugin_mnemonics_table(record->get_plugin_id()), nullptr)
        << "a member without data skips the group";
}
