// Design partitions of added nodes: which partition a node lies in and when its netlist type is
// wrong, the offer to change it (declined once, never asked again), the modification and its
// refusals, the question about the other partitions for post-fit nodes, and the list messages
// with their 100 names and "etc.".
#include "sedq_node_list_test_support.h"

#include "host/idu.h"
#include "host/standin/cfg_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/gen_control.h"
#include "host/standin/idu_control.h"
#include "host/standin/standin.h"

#include <unistd.h>

namespace
{
// Partition "u1" is post-fit, "u2" and "u5" source file, "u3" empty, "u4" imported; the rest of
// the design is in the top partition (source file).
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 2},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|r", "flags": "0x80000040"}, {"path": "top|u1|r", "flags": "0x80000040"},
      {"path": "top|u2|r", "flags": "0x80000040"}, {"path": "top|u2|deep|r", "flags": "0x80000040"},
      {"path": "top|u3|r", "flags": "0x80000040"}, {"path": "top|u4|r", "flags": "0x80000040"},
      {"path": "top|u5|r", "flags": "0x80000040"}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000"}},
  "partitions": [
    {"id": 0, "path": "|", "type": 0, "netlist_type": 2}, {"id": 1, "path": "u1", "type": 1, "netlist_type": 8},
    {"id": 2, "path": "u2", "type": 1, "netlist_type": 2}, {"id": 3, "path": "u3", "type": 1, "netlist_type": 0},
    {"id": 4, "path": "u4", "type": 1, "netlist_type": 32}, {"id": 5, "path": "u5", "type": 1, "netlist_type": 2}]
})";

constexpr int YES = 6;
constexpr int NO = 7;
constexpr const char* PRE_QUESTION = "YNSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS";
constexpr const char* POST_QUESTION = "YNSEDQ_POST_FITTING_INVALID_PARTITION_ASSIGNMENTS";
constexpr const char* POST_TOP_QUESTION = "YNSEDQ_POST_FITTING_INVALID_TOP_PARTITION_ASSIGNMENT";
constexpr const char* OTHERS_QUESTION = "YNSEDQ_POST_FITTING_INVALID_OTHER_PARTITION_ASSIGNMENTS";
constexpr const char* POST_NOT_SUPPORTED = "OSEDQ_POST_FITTING_PARTITION_NOT_SUPPORTED";
constexpr const char* PRE_WRONG_LIST = "WSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_LIST";
constexpr const char* POST_WRONG_LIST = "WSEDQ_POST_FITTING_INVALID_PARTITION_LIST";
constexpr const char* PRE_CHANGED_LIST = "ISEDQ_PRE_SYNTHESIS_VALID_PARTITION_LIST";
constexpr const char* POST_CHANGED_LIST = "ISEDQ_POST_FITTING_VALID_PARTITION_LIST";

IDU_PARTITION* partition(const char* path)
{
    return IDU_PARTITION_MANAGER::get_instance()->get_partition_by_short_hpath(path);
}
} // namespace

class sedq_partition_test : public sedq_node_list_test
{
protected:
    void TearDown() override
    {
        // The lists are process-wide: leave none open for the next test.
        if (m_manager)
            flush();
        sedq_node_list_test::TearDown();
    }

    SEDQ_TX_MANAGER* design()
    {
        std::string error;
        EXPECT_TRUE(standin::project::load_json(DESIGN, m_dir.path().toStdString(), &error)) << error;
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("partitions.vtl").c_str()));
        return manager;
    }

    void flush()
    {
        m_manager->show_untappable_msg(nullptr);
        m_manager->show_pre_synthesis_invalid_partition_msg(nullptr, nullptr);
        m_manager->show_post_fitting_invalid_partition_msg(nullptr, nullptr);
    }

    // The list of that help key shown at the last flush, as the texts of its items.
    static std::vector<std::string> list_items(const std::string& key)
    {
        std::vector<std::string> items;
        for (const auto& record : standin::msg::shown())
        {
            if (record.help_key != key)
                continue;
            items.clear();
            for (const auto& child : record.children)
                items.push_back(child.text);
        }
        return items;
    }
};

TEST_F(sedq_partition_test, a_node_in_a_partition_of_the_wrong_netlist_type_is_reported)
{
    struct row
    {
        const char* label;
        const char* name;
        SDR_DATA_WIRE_TAP_MODE tap;
        bool wrong;
        std::vector<std::string> keys;
    };
    const row rows[] = {
        {"post-fit node in a post-fit partition", "u1|r", SDR_TAP_POST_FITTING, false, {}},
        {"pre-synthesis node in a post-fit partition",
         "top|u1|r",
         SDR_TAP_PRE_SYNTHESIS,
         true,
         {PRE_QUESTION, PRE_WRONG_LIST}},
        {"the nearest ancestor with a partition",
         "u2|deep|r",
         SDR_TAP_POST_FITTING,
         true,
         {POST_QUESTION, POST_WRONG_LIST}},
        {"the top partition", "r", SDR_TAP_POST_FITTING, true, {POST_TOP_QUESTION, POST_WRONG_LIST}},
        {"an empty partition", "u3|r", SDR_TAP_POST_FITTING, false, {}},
        {"an imported partition", "u4|r", SDR_TAP_PRE_SYNTHESIS, false, {}},
        {"a name the netlist lacks", "u9|r", SDR_TAP_POST_FITTING, false, {}},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = design();
        take_shown_keys();
        standin::msg::push_answer(NO);
        EXPECT_EQ(manager->check_node_partition(r.name, r.tap), r.wrong) << r.label;
        flush();
        EXPECT_EQ(take_shown_keys(), r.keys) << r.label;
        EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << r.label;
    }
}

TEST_F(sedq_partition_test, nothing_is_reported_without_incremental_compilation_or_in_the_other_host_mode)
{
    SEDQ_TX_MANAGER* manager = design();
    standin::idu::set_incremental_compilation_mode(0);
    EXPECT_FALSE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS));
    standin::idu::set_incremental_compilation_mode(2);
    standin::gen::set_is_qhd(true);
    EXPECT_FALSE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS));
    manager->show_untappable_msg("n");
    manager->show_post_fitting_invalid_partition_msg("n", partition("u2"));
    flush();
    EXPECT_TRUE(standin::msg::shown().empty());
    standin::gen::set_is_qhd(false);
    standin::dbmui::set_absent(true);
    EXPECT_FALSE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS));
    standin::idu::set_manager_present(false);
    standin::dbmui::set_absent(false);
    EXPECT_FALSE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"dbmui_mgr", "idu_mgr"}));
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(sedq_partition_test, a_declined_partition_sends_later_nodes_straight_to_the_warning_list)
{
    SEDQ_TX_MANAGER* manager = design();
    standin::msg::set_strict(true);
    standin::msg::push_answer(NO);
    EXPECT_TRUE(manager->check_node_partition("u2|r", SDR_TAP_POST_FITTING));
    EXPECT_TRUE(manager->check_node_partition("u2|deep|r", SDR_TAP_POST_FITTING));
    EXPECT_TRUE(standin::msg::unexpected_questions().empty()) << "asked once for the partition";
    flush();
    EXPECT_EQ(take_shown_keys(), (std::vector<std::string>{POST_QUESTION, POST_WRONG_LIST}));
    EXPECT_EQ(list_items(POST_WRONG_LIST),
              (std::vector<std::string>{"Post-fitting node \"u2|r\"", "Post-fitting node \"u2|deep|r\""}));
    EXPECT_EQ(partition("u2")->get_netlist_type(), 2);

    standin::msg::push_answer(NO);
    EXPECT_TRUE(manager->check_node_partition("u5|r", SDR_TAP_POST_FITTING))
        << "another partition is asked about";
    EXPECT_EQ(standin::msg::pending_answers(), 0);
    design();
    standin::msg::push_answer(NO);
    EXPECT_TRUE(m_manager->check_node_partition("u2|r", SDR_TAP_POST_FITTING));
    EXPECT_EQ(standin::msg::pending_answers(), 0) << "a new window asks again";
}

TEST_F(sedq_partition_test, yes_sets_the_netlist_type_in_one_modification)
{
    SEDQ_TX_MANAGER* manager = design();
    standin::clear_calls();
    EXPECT_TRUE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(standin::calls("idu"),
              (std::vector<std::string>{"idu:begin_modify()", "idu:set_netlist_type(u1, 2)",
                                        "idu:end_modify(false)"}));
    EXPECT_EQ(partition("u1")->get_netlist_type(), 2);
    EXPECT_FALSE(manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS)) << "the partition now fits";
    flush();
    EXPECT_EQ(take_shown_keys(), (std::vector<std::string>{PRE_QUESTION, PRE_CHANGED_LIST}));
    EXPECT_EQ(list_items(PRE_CHANGED_LIST), std::vector<std::string>{"Pre-synthesis node \"u1|r\""});
}

TEST_F(sedq_partition_test, a_post_fit_change_offers_the_other_user_partitions)
{
    for (int answer : {YES, NO})
    {
        SEDQ_TX_MANAGER* manager = design();
        take_shown_keys();
        const int committed = standin::idu::committed_modifications();
        standin::msg::push_answer(YES);
        standin::msg::push_answer(answer);
        EXPECT_TRUE(manager->check_node_partition("u2|r", SDR_TAP_POST_FITTING));
        EXPECT_EQ(partition("u2")->get_netlist_type(), 8);
        const int others = answer == YES ? 8 : -1;
        EXPECT_EQ(partition("u3")->get_netlist_type(), others == 8 ? 8 : 0) << answer;
        EXPECT_EQ(partition("u4")->get_netlist_type(), others == 8 ? 8 : 32) << answer;
        EXPECT_EQ(partition("u5")->get_netlist_type(), others == 8 ? 8 : 2) << answer;
        EXPECT_EQ(partition("|")->get_netlist_type(), 2) << "the top partition is no user partition";
        EXPECT_EQ(standin::idu::committed_modifications() - committed, answer == YES ? 2 : 1);
        flush();
        EXPECT_EQ(take_shown_keys(),
                  (std::vector<std::string>{POST_QUESTION, OTHERS_QUESTION, POST_CHANGED_LIST}))
            << "the node is on the changed list whatever the second answer";
    }
    design();
    partition("u3")->m_netlist_type = 8;
    partition("u4")->m_netlist_type = 8;
    partition("u5")->m_netlist_type = 8;
    take_shown_keys();
    EXPECT_TRUE(m_manager->check_node_partition("u2|r", SDR_TAP_POST_FITTING));
    flush();
    EXPECT_EQ(take_shown_keys(), (std::vector<std::string>{POST_QUESTION, POST_CHANGED_LIST}))
        << "no question when every other partition is post-fit";
}

TEST_F(sedq_partition_test, a_refused_change_is_told_and_the_node_goes_to_the_warning_list)
{
    for (const char* operation : {"begin_modify", "set_netlist_type", "end_modify", "no manager"})
    {
        SEDQ_TX_MANAGER* manager = design();
        take_shown_keys();
        standin::msg::clear_internal_errors();
        IDU_PARTITION* u2 = partition("u2");
        if (std::string(operation) == "no manager")
            standin::idu::set_manager_present(false);
        else
            standin::idu::fail_operation(operation);
        manager->show_post_fitting_invalid_partition_msg("u2|r", u2);
        flush();
        EXPECT_EQ(take_shown_keys(),
                  (std::vector<std::string>{POST_QUESTION, POST_NOT_SUPPORTED, POST_WRONG_LIST}))
            << operation;
        EXPECT_EQ(u2->get_netlist_type(), 2) << operation;
        EXPECT_EQ(internal_errors(), std::string(operation) == "no manager"
                                         ? std::vector<std::string>{"idu_mgr"}
                                         : std::vector<std::string>{})
            << operation;
        EXPECT_FALSE(IDU_PARTITION_MANAGER::get_instance() &&
                     IDU_PARTITION_MANAGER::get_instance()->is_modifying())
            << operation << ": no modification is left open";
    }
}

TEST_F(sedq_partition_test, an_empty_entry_of_the_partition_map_is_reported_and_passed_over)
{
    SEDQ_TX_MANAGER* manager = design();
    standin::idu::add_null_partition_entry("broken");
    EXPECT_TRUE(manager->check_node_partition("u2|r", SDR_TAP_POST_FITTING));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"p != NULL"});
    EXPECT_EQ(partition("u5")->get_netlist_type(), 8);
}

// Every list holds 100 names and "etc."; further names are only counted, and the count starts
// again once the list was shown.
TEST_F(sedq_partition_test, each_list_ends_with_etc_after_100_names)
{
    struct row
    {
        const char* key;
        void (*add)(SEDQ_TX_MANAGER*, const char*);
    };
    const row rows[] = {
        {"WSEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_LIST",
         [](SEDQ_TX_MANAGER* m, const char* n) { m->show_untappable_msg(n); }},
        {PRE_WRONG_LIST,
         [](SEDQ_TX_MANAGER* m, const char* n) { m->show_pre_synthesis_invalid_partition_msg(n, nullptr); }},
        {POST_CHANGED_LIST, [](SEDQ_TX_MANAGER* m, const char* n)
         { m->show_post_fitting_invalid_partition_msg(n, partition("u1")); }},
    };
    SEDQ_TX_MANAGER* manager = design();
    for (const row& r : rows)
    {
        for (int i = 0; i < 102; ++i)
            r.add(manager, ("n" + std::to_string(i)).c_str());
        flush();
        const std::vector<std::string> items = list_items(r.key);
        ASSERT_EQ(items.size(), 101u) << r.key;
        EXPECT_EQ(items[99].substr(items[99].find('"')), "\"n99\"") << r.key;
        EXPECT_EQ(items[100], "Node \"etc.\"") << r.key;
        r.add(manager, "again");
        flush();
        EXPECT_EQ(list_items(r.key).size(), 1u) << r.key << ": counting starts again after the flush";
    }
}

// The switch is read once per process, so the case with the switch off runs in a process of its
// own that exits 0 when every expectation held.
TEST_F(sedq_partition_test, with_the_question_switched_off_the_user_is_only_warned)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto run = [this]
    {
        standin::cfg::set("sedq_use_equivalent_netlist_dialog", false);
        SEDQ_TX_MANAGER* manager = design();
        standin::msg::set_strict(true);
        take_shown_keys();
        const bool wrong = manager->check_node_partition("u1|r", SDR_TAP_PRE_SYNTHESIS) &&
                           manager->check_node_partition("top|u1|r", SDR_TAP_PRE_SYNTHESIS);
        flush();
        const bool ok =
            wrong && standin::msg::unexpected_questions().empty() &&
            take_shown_keys() == std::vector<std::string>{"OSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS",
                                                          PRE_WRONG_LIST} &&
            list_items(PRE_WRONG_LIST).size() == 2 && partition("u1")->get_netlist_type() == 8;
        _exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}
