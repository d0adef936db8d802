// Design-partition stand-in: partitions from the project fixture, netlist types changed only
// inside a modification that takes effect at its end, and the faults a fixture or test injects.
#include "host/idu.h"
#include "host/standin/idu_control.h"
#include "host/standin/project_control.h"
#include "host/standin/standin.h"

#include <gtest/gtest.h>

namespace
{
constexpr const char* PROJECT = R"({
  "project": {"top_entity": "top", "incremental_mode": 2},
  "partitions": [{"id": 0, "path": "|", "type": 0, "netlist_type": 2},
                 {"id": 3, "path": "u1|core", "type": 1, "netlist_type": 32}]
})";

IDU_PARTITION_MANAGER* load(const char* text)
{
    std::string error;
    EXPECT_TRUE(standin::project::load_json(text, "/tmp/project", &error)) << error;
    return IDU_PARTITION_MANAGER::get_instance();
}
} // namespace

TEST(idu_standin, the_fixture_partitions_are_found_by_path_and_listed_in_the_map)
{
    IDU_PARTITION_MANAGER* manager = load(PROJECT);
    ASSERT_NE(manager, nullptr);
    IDU_PARTITION* core = manager->get_partition_by_short_hpath("u1|core");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->get_id(), 3);
    EXPECT_EQ(core->get_partition_type(), 1);
    EXPECT_EQ(core->get_netlist_type(), 32);
    EXPECT_EQ(manager->get_partition_by_short_hpath("|")->get_id(), 0);
    EXPECT_EQ(manager->get_partition_by_short_hpath("u1"), nullptr);
    EXPECT_EQ(manager->get_partition_by_short_hpath(nullptr), nullptr);
    int count = 0;
    for (auto it = manager->get_partition_map_begin_iter(); it != manager->get_partition_map_end_iter(); ++it)
        count += it->second != nullptr;
    EXPECT_EQ(count, 2);
    standin::project::unload();
    EXPECT_EQ(manager->get_partition_by_short_hpath("|"), nullptr) << "unloading closes the partitions";
}

TEST(idu_standin, a_netlist_type_changes_only_inside_a_modification_and_counts_at_its_end)
{
    IDU_PARTITION_MANAGER* manager = load(PROJECT);
    IDU_PARTITION* core = manager->get_partition_by_short_hpath("u1|core");
    EXPECT_FALSE(core->set_netlist_type(8)) << "outside a modification";
    ASSERT_TRUE(manager->begin_modify());
    EXPECT_FALSE(manager->begin_modify()) << "one modification at a time";
    EXPECT_TRUE(core->set_netlist_type(8));
    EXPECT_EQ(core->get_netlist_type(), 32) << "not before the end";
    EXPECT_TRUE(manager->end_modify(false));
    EXPECT_EQ(core->get_netlist_type(), 8);
    EXPECT_FALSE(manager->end_modify(false)) << "nothing open";
    ASSERT_TRUE(manager->begin_modify());
    EXPECT_TRUE(core->set_netlist_type(2));
    EXPECT_TRUE(manager->end_modify(true));
    EXPECT_EQ(core->get_netlist_type(), 8) << "a discarded modification changes nothing";
    EXPECT_EQ(standin::idu::committed_modifications(), 1);
}

TEST(idu_standin, injected_faults_refuse_their_step_and_a_failed_end_drops_the_changes)
{
    struct row
    {
        const char* fault;
        bool begun;
        bool set;
        bool ended;
    };
    const row rows[] = {{"begin_modify", false, false, false},
                        {"set_netlist_type", true, false, true},
                        {"end_modify", true, true, false}};
    for (const row& r : rows)
    {
        IDU_PARTITION_MANAGER* manager = load(PROJECT);
        standin::idu::fail_operation(r.fault);
        IDU_PARTITION* core = manager->get_partition_by_short_hpath("u1|core");
        EXPECT_EQ(manager->begin_modify(), r.begun) << r.fault;
        EXPECT_EQ(core->set_netlist_type(8), r.set) << r.fault;
        EXPECT_EQ(manager->end_modify(false), r.ended) << r.fault;
        EXPECT_EQ(core->get_netlist_type(), 32) << r.fault;
        EXPECT_FALSE(manager->is_modifying()) << r.fault;
    }
}

TEST(idu_standin, a_fixture_can_make_modifications_fail)
{
    IDU_PARTITION_MANAGER* manager = load(R"({"project": {"top_entity": "top", "incremental_mode": 2},
        "partitions": [{"id": 0, "path": "|", "netlist_type": 2}], "partition_faults": ["end_modify"]})");
    ASSERT_TRUE(manager->begin_modify());
    EXPECT_TRUE(manager->get_partition_by_short_hpath("|")->set_netlist_type(8));
    EXPECT_FALSE(manager->end_modify(false));
    EXPECT_EQ(manager->get_partition_by_short_hpath("|")->get_netlist_type(), 2);
    standin::project::unload();
    load(PROJECT);
    ASSERT_TRUE(manager->begin_modify());
    EXPECT_TRUE(manager->end_modify(false)) << "the next project has no faults";
}
