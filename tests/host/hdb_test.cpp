// The netlist stand-ins: names, buses and look-ups of the hierarchy database, the generators
// for large netlists, the netlist section of a project fixture and the access points of the
// database manager.
#include "host/acf.h"
#include "host/dbmui.h"
#include "host/hdb.h"
#include "host/standin/acf_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/hdb_control.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace
{
constexpr int PRE = HDB_NAMESPACE::PDB_PRE_SYNTHESIS;

std::vector<std::string> short_paths(const std::vector<HDB_INSTANCE_NAME*>& names)
{
    std::vector<std::string> paths;
    for (HDB_INSTANCE_NAME* name : names)
        paths.push_back(name->short_hpath());
    return paths;
}

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}
} // namespace

TEST(hdb, names_are_found_by_full_name_or_short_path)
{
    HDB_NAMESPACE* names = standin::hdb::set_netlist(PRE, "top");
    HDB_INSTANCE_NAME* b = standin::hdb::add_name(PRE, "top|a|b", 0x80000040);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(names->get_instance_name("top|a|b"), b);
    EXPECT_EQ(names->get_instance_name("a|b"), b);
    EXPECT_EQ(names->get_instance_name("A|b"), nullptr) << "case-sensitive netlist";
    EXPECT_EQ(names->get_instance_name("top"), names->get_rooted_at());
    EXPECT_EQ(names->get_instance_name(nullptr), nullptr);
    EXPECT_EQ(b->get_hpath_to_root(), "top|a|b");
    EXPECT_STREQ(b->get_unit_name(), "b");
    EXPECT_EQ(b->get_parent()->short_hpath(), "a");
    EXPECT_EQ(b->get_parent()->get_flags().get(), 0u) << "levels made on the way carry no flags";
    EXPECT_EQ(names->get_rooted_at()->find_in_descendants("a|b", false, 1), b);
    EXPECT_EQ(b->find_in_descendants("a|b", false, 1), nullptr) << "a name is no descendant of itself";
    EXPECT_EQ(names->find_assignment(350), nullptr);
}

TEST(hdb, a_case_insensitive_netlist_finds_names_in_any_case)
{
    HDB_NAMESPACE* names = standin::hdb::set_netlist(PRE, "Top", false);
    HDB_INSTANCE_NAME* bus = standin::hdb::add_name(PRE, "Top|Core|Data", 0x40);
    EXPECT_EQ(names->get_instance_name("top|core|data"), bus);
    EXPECT_EQ(names->get_instance_name("CORE|DATA"), bus);
    EXPECT_EQ(bus->short_hpath(), "Core|Data") << "the netlist keeps its own case";
    EXPECT_FALSE(bus->get_is_case_sensitive());
}

// The look-up table grows from a few slots to many thousands of names; every name stays found,
// near misses are not, and a name added again keeps one entry with its new flags.
TEST(hdb, look_ups_stay_exact_while_the_table_grows)
{
    for (bool case_sensitive : {true, false})
    {
        HDB_NAMESPACE* names = standin::hdb::set_netlist(PRE, "top", case_sensitive);
        for (int i = 0; i < 20000; ++i)
            names->add_name("top|blk" + std::to_string(i % 97) + "|r" + std::to_string(i), 0x80000040u);
        EXPECT_EQ(names->size(), 20000u + 97u) << case_sensitive;
        for (int i = 0; i < 20000; i += 7)
        {
            const std::string path = "blk" + std::to_string(i % 97) + "|r" + std::to_string(i);
            ASSERT_NE(names->get_instance_name(path.c_str()), nullptr) << path;
            EXPECT_EQ(names->get_instance_name(path.c_str())->short_hpath(), path);
            EXPECT_EQ(names->get_instance_name((path + "x").c_str()), nullptr) << path;
            EXPECT_EQ(names->get_instance_name(path.substr(0, path.size() - 1).append("x").c_str()), nullptr)
                << path << ": same length, last byte differs";
        }
        EXPECT_EQ(names->get_instance_name("BLK3|R3") != nullptr, !case_sensitive);

        // Looked up together, from the root and from one level, in batches shorter and longer
        // than the look-ups kept in flight: the same answers as one by one.
        std::vector<std::string> paths{"top", "TOP", "top|blk3", "blk3", "", "|", "top|", "BLK3|R3"};
        for (int i = 0; i < 3000; i += 3)
        {
            const std::string path = "blk" + std::to_string(i % 97) + "|r" + std::to_string(i);
            paths.insert(paths.end(), {path, "top|" + path, path + "x", path.substr(0, path.size() - 1)});
        }
        std::vector<const char*> queries{nullptr};
        for (const std::string& path : paths)
            queries.push_back(path.c_str());
        HDB_INSTANCE_NAME* block = names->get_instance_name("blk3");
        for (HDB_INSTANCE_NAME* from : {names->get_rooted_at(), block})
        {
            for (size_t count : {size_t(0), size_t(1), size_t(5), size_t(17), queries.size()})
            {
                std::vector<HDB_INSTANCE_NAME*> found(count, block);
                from->find_all_in_descendants(queries.data(), count, found.data());
                for (size_t i = 0; i < count; ++i)
                    ASSERT_EQ(found[i], from->find_in_descendants(queries[i], false, 1))
                        << case_sensitive << " from " << from->short_hpath() << ": "
                        << (queries[i] ? queries[i] : "null") << " in a batch of " << count;
            }
        }
        std::vector<HDB_INSTANCE_NAME*> found(queries.size());
        names->get_instance_names(queries.data(), queries.size(), found.data());
        for (size_t i = 0; i < queries.size(); ++i)
            ASSERT_EQ(found[i], names->get_instance_name(queries[i])) << (queries[i] ? queries[i] : "null");
        EXPECT_EQ(found[1], names->get_rooted_at()) << "the root by its own name";

        names->add_name("blk5|r5", 0x80002040u);
        EXPECT_EQ(names->size(), 20000u + 97u) << "added again: still one entry";
        EXPECT_EQ(names->get_instance_name("blk5|r5")->get_flags().get(), 0x80002040u);
    }
}

TEST(hdb, buses_generate_their_members_from_either_bound_and_in_two_dimensions)
{
    standin::hdb::set_netlist(PRE, "top");
    HDB_INSTANCE_NAME* down = standin::hdb::add_bus(PRE, "top|d", {{2, 0}}, 0x80000040);
    HDB_INSTANCE_NAME* up = standin::hdb::add_bus(PRE, "top|u", {{0, 2}}, 0x80000040);
    HDB_INSTANCE_NAME* mem = standin::hdb::add_bus(PRE, "top|m", {{1, 0}, {0, 1}}, 0x80000020);
    std::vector<HDB_INSTANCE_NAME*> members;
    down->get_members(&members);
    EXPECT_EQ(short_paths(members), (std::vector<std::string>{"d[2]", "d[1]", "d[0]"}));
    up->get_members(&members);
    EXPECT_EQ(short_paths(members), (std::vector<std::string>{"u[0]", "u[1]", "u[2]"}));
    mem->get_members(&members);
    EXPECT_EQ(short_paths(members), (std::vector<std::string>{"m[1]", "m[0]"}));
    EXPECT_EQ(mem->size_dimension(), 2);
    EXPECT_EQ(members[0]->size_dimension(), 1);
    EXPECT_EQ(members[0]->get_dimension(0), std::make_pair(0, 1));
    EXPECT_EQ(mem->get_leaf_count(), 4);
    EXPECT_EQ(members[1]->get_flags().get(), 0x80000020u);
    members[1]->get_members(&members);
    EXPECT_EQ(short_paths(members), (std::vector<std::string>{"m[0][0]", "m[0][1]"}));
    EXPECT_EQ(members[0]->get_hpath_to_root(), "top|m[0][0]");
    EXPECT_EQ(standin::hdb::netlist(PRE)->get_instance_name("m[0][1]"), members[1]);
    EXPECT_EQ(standin::hdb::add_bus(PRE, "top|d", {{1, 0}}, 0), nullptr) << "a bus is declared once";
}

TEST(hdb, iterators_walk_children_and_descendants_in_pre_order)
{
    standin::hdb::set_netlist(PRE, "top");
    standin::hdb::add_name(PRE, "a|x", 1);
    standin::hdb::add_bus(PRE, "a|v", {{1, 0}}, 1);
    standin::hdb::add_name(PRE, "b", 1);
    HDB_INSTANCE_NAME* root = standin::hdb::netlist(PRE)->get_rooted_at();
    std::vector<std::string> seen;
    for (auto it = root->begin_descendant(nullptr, 0); it != root->end_descendant(nullptr, 0); ++it)
        seen.push_back((*it)->short_hpath());
    EXPECT_EQ(seen, (std::vector<std::string>{"top", "a", "a|x", "a|v", "a|v[1]", "a|v[0]", "b"}));
    HDB_INSTANCE_NAME* a = standin::hdb::netlist(PRE)->get_instance_name("a");
    seen.clear();
    for (auto it = a->begin_descendant(nullptr, 0); it != a->end_descendant(nullptr, 0); ++it)
        seen.push_back((*it)->short_hpath());
    EXPECT_EQ(seen.back(), "a|v[0]") << "a subtree's walk ends inside it";
    seen.clear();
    for (auto it = root->begin_child(0); it != root->end_child(0); ++it)
        seen.push_back((*it)->short_hpath());
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(hdb, wildcards_match_short_paths)
{
    standin::hdb::set_netlist(PRE, "top");
    for (const char* path : {"core|cnt", "core|clk", "io|clk", "core|fsm|state"})
        standin::hdb::add_name(PRE, path, 1);
    HDB_INSTANCE_NAME* root = standin::hdb::netlist(PRE)->get_rooted_at();
    struct row
    {
        const char* pattern;
        std::vector<std::string> expected;
    };
    const row rows[] = {
        {"*clk", {"core|clk", "io|clk"}},
        {"core|c??", {"core|cnt", "core|clk"}},
        {"*state", {"core|fsm|state"}},
        {"*", {"core", "core|cnt", "core|clk", "io", "io|clk", "core|fsm", "core|fsm|state"}},
        {"nothing*", {}},
    };
    for (const row& r : rows)
    {
        std::list<HDB_INSTANCE_NAME*> found;
        EXPECT_EQ(root->find_descendants_matching_wildcard(r.pattern, &found), !r.expected.empty()) << r.pattern;
        std::vector<std::string> paths;
        for (HDB_INSTANCE_NAME* name : found)
            paths.push_back(name->short_hpath());
        std::sort(paths.begin(), paths.end());
        std::vector<std::string> expected = r.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(paths, expected) << r.pattern;
    }
}

TEST(hdb, generators_build_buses_trees_and_state_machines)
{
    standin::hdb::set_netlist(PRE, "top");
    HDB_INSTANCE_NAME* bus = standin::hdb::generate_bus(PRE, "top|big|d", 4096, 0x80000040);
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->get_leaf_count(), 4096);
    EXPECT_EQ(standin::hdb::generate_tree(PRE, "top|g", 10, 3, 0x80000080), 1110);
    HDB_INSTANCE_NAME* leaf = standin::hdb::netlist(PRE)->get_instance_name("g|n9|n0|n7");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->get_flags().get(), 0x80000080u);
    EXPECT_EQ(leaf->get_parent()->get_flags().get(), 0u);
    HDB_INSTANCE_NAME* fsm = standin::hdb::generate_fsm(PRE, "u9|st", 3, 0x80000040);
    EXPECT_TRUE(fsm->check_flag(0x400));
    HDB_INSTANCE_NAME* state = standin::hdb::netlist(PRE)->get_instance_name("u9|st.s2");
    ASSERT_NE(state, nullptr);
    EXPECT_STREQ(state->get_unit_name(), "st.s2");
    EXPECT_EQ(standin::hdb::generate_tree(PRE, "top|h", 1000, 4, 0), 0) << "past the size a generator may make";
}

TEST(hdb, a_fixture_netlist_is_read_with_its_assignment_and_checked_entry_by_entry)
{
    std::string error;
    ASSERT_TRUE(standin::hdb::load_netlist(PRE, json(R"({"assignment_350": "v", "instances": [
        {"path": "top|cnt", "flags": "0x80000040", "dims": [[3, 0]], "unit": "counter", "kind": 2},
        {"generate": "fsm", "path": "top|st", "states": 2}]})"),
                                           "top", &error))
        << error;
    HDB_NAMESPACE* names = standin::hdb::netlist(PRE);
    EXPECT_STREQ(names->find_assignment(350)->get_value_str(), "v");
    EXPECT_STREQ(names->get_instance_name("cnt")->get_unit_name(), "counter");
    EXPECT_EQ(names->get_instance_name("cnt")->get_kind(), 2);
    EXPECT_NE(names->get_instance_name("st.s1"), nullptr);

    struct row
    {
        const char* label;
        const char* text;
        const char* message;
    };
    const row rows[] = {
        {"no path", R"({"instances": [{"flags": 1}]})", "netlists.pre.instances[0]: \"path\" is missing or empty"},
        {"bad flags", R"({"instances": [{"path": "a", "flags": "0xzz"}]})", "\"flags\" is not a 32-bit flag word"},
        {"three dims", R"({"instances": [{"path": "a", "dims": [[1,0],[1,0],[1,0]]}]})", "one or two"},
        {"huge bus", R"({"instances": [{"path": "a", "dims": [[1048576, 0], [1048576, 0]]}]})", "too large"},
        {"twice", R"({"instances": [{"path": "a", "dims": [[1,0]]}, {"path": "a", "dims": [[1,0]]}]})",
         "instances[1]: \"a\" is declared twice"},
        {"typo", R"({"instances": [{"path": "a", "flag": 1}]})", "unknown key \"flag\""},
        {"generator", R"({"instances": [{"generate": "mesh", "path": "a"}]})", "unknown generator \"mesh\""},
        {"width", R"({"instances": [{"generate": "bus", "path": "a", "width": 0}]})", "\"width\" must be"},
    };
    for (const row& r : rows)
    {
        EXPECT_FALSE(standin::hdb::load_netlist(PRE, json(r.text), "top", &error)) << r.label;
        EXPECT_NE(error.find(r.message), std::string::npos) << r.label << ": " << error;
        EXPECT_EQ(standin::hdb::netlist(PRE), nullptr) << r.label << ": a broken netlist is not kept";
    }
}

// The names one fixture may make are counted over all its entries and netlists and refused
// before they are built: one entry could ask for 20 M names and end the host before its window.
TEST(hdb, a_fixture_makes_at_most_its_budget_of_names)
{
    struct row
    {
        const char* label;
        const char* instances;
        long names_left; // after the netlist, or -1 when it is refused
    };
    const row rows[] = {
        {"plain paths count their levels", R"([{"path": "a|b|c"}])", 97},
        {"a bus counts its members", R"([{"path": "a", "dims": [[3, 0], [1, 0]]}])", 87},
        {"generators", R"([{"generate": "bus", "path": "b", "width": 10},
            {"generate": "fsm", "path": "f", "states": 4}, {"generate": "tree", "path": "t", "fanout": 3, "depth": 2}])",
         100 - 11 - 5 - 13},
        {"the last entry past the budget", R"([{"generate": "bus", "path": "b", "width": 60},
            {"generate": "bus", "path": "c", "width": 40}])", -1},
        {"a tree past the budget", R"([{"generate": "tree", "path": "t", "fanout": 10, "depth": 2}])", -1},
    };
    for (const row& r : rows)
    {
        long names_left = 100;
        std::string error;
        const QJsonObject description = json((R"({"instances": )" + std::string(r.instances) + "}").c_str());
        const bool ok = standin::hdb::load_netlist(PRE, description, "top", 0, &names_left, &error);
        EXPECT_EQ(ok, r.names_left >= 0) << r.label << ": " << error;
        if (ok)
        {
            EXPECT_EQ(names_left, r.names_left) << r.label;
        }
        else
        {
            EXPECT_NE(error.find("the fixture would make more than 4194304 names"), std::string::npos)
                << r.label << ": " << error;
            EXPECT_EQ(standin::hdb::netlist(PRE), nullptr) << r.label;
        }
    }
}

TEST(dbmui, access_points_are_lent_while_a_project_is_open_and_counted_per_client)
{
    standin::hdb::set_netlist(PRE, "top");
    DBMUI_MANAGER* manager = DBMUI_MANAGER::get_dbmui_manager(0);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->get_hdb_cmp_action_pt_instance("a", HDB_NAMESPACE::PDB_PRE_SYNTHESIS, false, nullptr, false),
              nullptr)
        << "no project is open";
    standin::acf::set_project(true, "/tmp/p");
    HDB_NAMESPACE* first =
        manager->get_hdb_cmp_action_pt_instance("a", HDB_NAMESPACE::PDB_PRE_SYNTHESIS, false, nullptr, false);
    HDB_NAMESPACE* second =
        manager->get_hdb_cmp_action_pt_instance("b", HDB_NAMESPACE::PDB_PRE_SYNTHESIS, false, nullptr, false);
    EXPECT_EQ(manager->get_hdb_cmp_action_pt_instance("a", HDB_NAMESPACE::PDB_POST_FIT, false, nullptr, false), nullptr)
        << "the project has no post-fit netlist";
    EXPECT_EQ(standin::dbmui::outstanding("a"), 1);
    EXPECT_EQ(standin::dbmui::outstanding_total(), 2);
    manager->unget_hdb_cmp_action_pt_instance(&first, "a");
    EXPECT_EQ(first, nullptr);
    manager->unget_hdb_cmp_action_pt_instance(&first, "a");
    HDB_NAMESPACE* again = second;
    manager->unget_hdb_cmp_action_pt_instance(&second, "b");
    manager->unget_hdb_cmp_action_pt_instance(&again, "b");
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
    EXPECT_EQ(standin::dbmui::handed_out(), 2);
    EXPECT_EQ(standin::dbmui::released(), 2);
    EXPECT_EQ(standin::dbmui::foreign_releases(), 1) << "a handle given back twice is seen";
    standin::dbmui::set_absent(true);
    EXPECT_EQ(DBMUI_MANAGER::get_dbmui_manager(0), nullptr);
}

TEST(hdb, wildcard_matches_come_in_pre_order_and_other_characters_are_literal)
{
    standin::hdb::set_netlist(PRE, "top");
    for (const char* path : {"u1|state", "u1|state.idle", "u1|stateXrun", "u1|state.run", "u1|sub|state.deep",
                             "u1|st[1].a"})
        standin::hdb::add_name(PRE, path, 1);
    HDB_INSTANCE_NAME* u1 = standin::hdb::netlist(PRE)->get_instance_name("u1");
    struct row
    {
        const char* pattern;
        std::vector<std::string> expected;
    };
    const row rows[] = {
        {"u1|state.*", {"u1|state.idle", "u1|state.run"}},
        {"u1|st[1].?", {"u1|st[1].a"}},
        {"*.deep", {"u1|sub|state.deep"}},
        {"u1|state", {"u1|state"}},
    };
    for (const row& r : rows)
    {
        std::list<HDB_INSTANCE_NAME*> found;
        u1->find_descendants_matching_wildcard(r.pattern, &found);
        std::vector<std::string> paths;
        for (HDB_INSTANCE_NAME* name : found)
            paths.push_back(name->short_hpath());
        EXPECT_EQ(paths, r.expected) << r.pattern;
    }
}
