// The netlist readers behind the state-machine dialog: pre-synthesis machines from the hierarchy
// database, post-fitting machines from the keypoint databases, and the facade that chooses and
// owns them.
#include "sedq_state_machine_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/kpt_control.h"
#include "sedq/view/sedq_database_manager.h"
#include "sedq/view/sedq_hdb_manager.h"
#include "sedq/view/sedq_kpt_manager.h"

namespace
{
using database_manager_test = state_machine_test;

QStringList nodes_of(SEDQ_BASE_MANAGER& reader, const QString& machine)
{
    QStringList nodes{"stale"};
    reader.get_node_list(machine, &nodes);
    return nodes;
}

// "name=pattern" per state.
QStringList mnemonics_of(SEDQ_BASE_MANAGER& reader, const QString& machine)
{
    QStringList names{"stale"};
    QStringList values{"stale", "stale"};
    reader.get_mnemonic_list(machine, &names, &values);
    QStringList pairs;
    for (int i = 0; i < names.size() && i < values.size(); ++i)
        pairs << names[i] + "=" + values[i];
    EXPECT_EQ(names.size(), values.size()) << machine.toStdString();
    return pairs;
}
} // namespace

TEST_F(database_manager_test, pre_synthesis_machines_their_registers_and_one_hot_states)
{
    load_design();
    SEDQ_HDB_MANAGER reader(0);
    ASSERT_TRUE(reader.is_database_loaded());
    QStringList machines{"stale"};
    reader.get_state_machine_list(&machines);
    EXPECT_EQ(machines, (QStringList{"u1|state", "a|fsm", "b|fsm"}))
        << "names with \"~\" and machines without registers are left out";
    EXPECT_EQ(nodes_of(reader, "u1|state"), (QStringList{"u1|state.idle", "u1|state.run", "u1|state.done"}));
    EXPECT_EQ(mnemonics_of(reader, "u1|state"), (QStringList{"idle=001", "run=010", "done=100"}));
    EXPECT_EQ(mnemonics_of(reader, "b|fsm"), (QStringList{"up=01", "down=10"}));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(database_manager_test, a_machine_missing_from_the_netlist_is_reported_and_gives_nothing)
{
    load_design();
    SEDQ_HDB_MANAGER reader(0);
    EXPECT_TRUE(nodes_of(reader, "u7|state").isEmpty());
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"hdb_instance_name != NULL"}));
    EXPECT_TRUE(mnemonics_of(reader, "u7|state").isEmpty());
    EXPECT_TRUE(nodes_of(reader, "u1").isEmpty()) << "an instance that is no machine has no registers";
    EXPECT_EQ(standin::dbmui::outstanding("sedq_tx_manager"), 1) << "the reader holds its netlist";
}

TEST_F(database_manager_test, an_unloaded_pre_synthesis_reader_answers_empty_and_verifies_only_nothing)
{
    SEDQ_HDB_MANAGER reader(0); // no project: no netlist
    EXPECT_FALSE(reader.is_database_loaded());
    QStringList machines{"stale"};
    reader.get_state_machine_list(&machines);
    EXPECT_TRUE(machines.isEmpty());
    EXPECT_TRUE(nodes_of(reader, "u1|state").isEmpty());
    EXPECT_TRUE(mnemonics_of(reader, "u1|state").isEmpty());
    EXPECT_FALSE(reader.verify_node_list({"u1|state.idle"}));
    EXPECT_TRUE(reader.verify_node_list({}));
    reader.dump();
    EXPECT_TRUE(standin::afcq::message_box_texts().isEmpty());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(database_manager_test, verify_node_list_checks_the_post_fit_netlist)
{
    load_design();
    {
        SEDQ_HDB_MANAGER post_fit(1);
        EXPECT_TRUE(post_fit.verify_node_list({"top|u1|r1", "u1|r2"}));
        EXPECT_FALSE(post_fit.verify_node_list({"top|u1|r1", "top|u9|gone~0"}));
        EXPECT_TRUE(post_fit.verify_node_list({}));
        SEDQ_HDB_MANAGER pre_synthesis(0);
        EXPECT_FALSE(pre_synthesis.verify_node_list({"top|u1|r1"})) << "a post-fit-only name";
        EXPECT_EQ(standin::dbmui::outstanding_total(), 2);
    }
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << "each reader gives its netlist back";
}

TEST_F(database_manager_test, post_fitting_machines_come_composed_with_bars_and_register_r_first)
{
    load_design();
    write_keypoints(STATE_MACHINE_MAP, STATE_MACHINE_CMP);
    {
        SEDQ_KPT_MANAGER reader;
        ASSERT_TRUE(reader.is_database_loaded()) << standin::kpt::last_error();
        QStringList machines;
        reader.get_state_machine_list(&machines);
        EXPECT_EQ(machines, (QStringList{"top|u1|state", "top|u9|gone"}));
        EXPECT_EQ(nodes_of(reader, "top|u1|state"), (QStringList{"top|u1|r1", "top|u1|r2"}));
        EXPECT_EQ(mnemonics_of(reader, "top|u1|state"), (QStringList{"idle=01", "run=10", "done=11"}));
        EXPECT_TRUE(nodes_of(reader, "top/u1/state").isEmpty()) << "a query written with \"/\" finds nothing";
        EXPECT_TRUE(mnemonics_of(reader, "top/u1/state").isEmpty());
        EXPECT_EQ(standin::kpt::loaded_names(),
                  (std::vector<std::string>{"my_vantrel_db", "my_vantrel_compile_db"}))
            << "the compile database has a name it can be destroyed by";
    }
    EXPECT_TRUE(standin::kpt::loaded_names().empty()) << "both databases are destroyed with the reader";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(database_manager_test, keypoint_files_decide_what_is_read)
{
    load_design();
    struct row
    {
        const char* label;
        const char* map;
        const char* cmp;
        bool loaded;
        QStringList nodes;
    };
    const row rows[] = {
        {"map and compile file", STATE_MACHINE_MAP, STATE_MACHINE_CMP, true, {"top|u1|r1", "top|u1|r2"}},
        {"map file alone: uncomposed", STATE_MACHINE_MAP, nullptr, true, {"top|u1|state~0", "top|u1|state~1"}},
        {"no map file: nothing", nullptr, STATE_MACHINE_CMP, false, {}},
    };
    for (const row& r : rows)
    {
        write_keypoints(r.map, r.cmp);
        SEDQ_KPT_MANAGER reader;
        EXPECT_EQ(reader.is_database_loaded(), r.loaded) << r.label;
        EXPECT_EQ(nodes_of(reader, "top|u1|state"), r.nodes) << r.label;
    }
    EXPECT_TRUE(standin::kpt::loaded_names().empty());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(database_manager_test, open_state_entries_shorten_patterns_and_machines_of_one_name_add_up)
{
    load_design();
    write_keypoints("fsm top/m\nreg top/m~0\nreg top/m~1\nstate m.a 1 0\nstate m.b 2 1\n"
                    "fsm top/m\nreg top/m~9\nstate m.c 1\n");
    SEDQ_KPT_MANAGER reader;
    QStringList machines;
    reader.get_state_machine_list(&machines);
    EXPECT_EQ(machines, (QStringList{"top|m", "top|m"}));
    EXPECT_EQ(nodes_of(reader, "top|m"), (QStringList{"top|m~0", "top|m~1"})) << "the first machine's registers";
    EXPECT_EQ(mnemonics_of(reader, "top|m"), (QStringList{"a=01", "b=1", "c=1"}));
}

TEST_F(database_manager_test, without_a_project_the_keypoint_reader_loads_nothing)
{
    write_keypoints(STATE_MACHINE_MAP);
    SEDQ_KPT_MANAGER reader;
    EXPECT_FALSE(reader.is_database_loaded());
    EXPECT_EQ(standin::kpt::load_count(), 0);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(database_manager_test, the_index_facade_owns_whichever_reader_it_builds)
{
    load_design();
    write_keypoints(STATE_MACHINE_MAP, STATE_MACHINE_CMP);
    for (int round = 0; round < 2; ++round)
    {
        SEDQ_DATABASE_MANAGER post_fitting(1);
        EXPECT_TRUE(post_fitting.is_database_loaded()) << "round " << round << ": the name is free again";
    }
    EXPECT_TRUE(standin::kpt::loaded_names().empty());
    {
        SEDQ_DATABASE_MANAGER pre_synthesis(0);
        QStringList machines;
        pre_synthesis.get_state_machine_list(&machines);
        EXPECT_EQ(machines.size(), 3);
    }
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
    SEDQ_DATABASE_MANAGER none(-1);
    QStringList list{"stale"};
    QStringList values{"stale"};
    none.get_state_machine_list(&list);
    none.get_mnemonic_list("x", &list, &values);
    EXPECT_TRUE(list.isEmpty() && values.isEmpty()) << "out lists are emptied even without a reader";
    EXPECT_FALSE(none.is_database_loaded());
    EXPECT_EQ(internal_errors().front(), "this->m_current_selection != -1");
    EXPECT_EQ(internal_errors().back(), "this->m_sedq_base_manager != NULL");
}

TEST_F(database_manager_test, dump_shows_what_each_reader_knows)
{
    load_design();
    write_keypoints(STATE_MACHINE_MAP, STATE_MACHINE_CMP);
    SEDQ_DATABASE_MANAGER(0).dump();
    SEDQ_DATABASE_MANAGER(1).dump();
    const QStringList texts = standin::afcq::message_box_texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("state machine: u1|state\nstate machine: u2|st~3")) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith("fsm name: top/u1/state\nstate transformed size: 2\nnumber of states: 3\n"
                                    "register: top/u1/r1\nregister: top/u1/r2\nstate_name: state.idle\n01\n"))
        << texts[1].toStdString();
}
