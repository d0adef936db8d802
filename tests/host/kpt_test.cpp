// The keypoint-database stand-in: keypoint files read into state machines, composition with a
// later stage's renames, databases kept by name, and files refused with the line at fault.
#include "host/kpt.h"
#include "host/standin/kpt_control.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
constexpr const char* MAP = R"(# two machines
fsm top/u1/state
reg top/u1/state~0
reg top/u1/state~1
state state.idle 0 0
state state.run 1 0
state state.hold 2 1

fsm top/u2/mode
reg top/u2/mode~0
state mode.a 1
)";

class kpt_test : public ::testing::Test
{
protected:
    std::string write(const char* name, const char* text)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path.toStdString();
    }

    static std::vector<std::string> machine_names(KPT_KEYPOINTS_DB* db)
    {
        std::vector<std::string> names;
        KPT_TRANSFORMATION_SET_REGISTER_ITERATOR it(db->get_transformation_set(), 0x200);
        for (it.first(); !it.done(); it.next())
            names.push_back(it.item()->get_state_table()->get_fsm_name());
        return names;
    }

    QTemporaryDir m_dir;
    KPT_KEYPOINTS_MANAGER* m_kpt = KPT_KEYPOINTS_MANAGER::get_instance();
};
} // namespace

TEST_F(kpt_test, a_map_file_gives_machines_registers_and_state_tables)
{
    KPT_KEYPOINTS_DB* db = m_kpt->load_keypoints_db(write("rev.map.kpt", MAP), "map");
    ASSERT_NE(db, nullptr) << standin::kpt::last_error();
    EXPECT_EQ(db->get_name(), "map");
    EXPECT_EQ(machine_names(db), (std::vector<std::string>{"top/u1/state", "top/u2/mode"}));
    KPT_TRANSFORMATION_SET_REGISTER_ITERATOR it(db->get_transformation_set());
    KPT_REGISTER_TRANSFORMATION* machine = it.item();
    ASSERT_NE(machine, nullptr);
    EXPECT_EQ(machine->get_state_transformed_size(), 2);
    EXPECT_STREQ(machine->get_transformed(1)->get_name(), "top/u1/state~0");
    EXPECT_STREQ(machine->get_transformed(2)->get_name(), "top/u1/state~1");
    EXPECT_EQ(machine->get_transformed(0), nullptr);
    EXPECT_EQ(machine->get_transformed(3), nullptr);
    KPT_STATE_TABLE* table = machine->get_state_table();
    EXPECT_EQ(table->get_number_of_states(), 3);
    EXPECT_STREQ(table->get_state_name(2), "state.run");
    EXPECT_EQ(table->get_state_name(4), nullptr);
    EXPECT_EQ(table->get_transformed_entry(2, 1), 1);
    EXPECT_EQ(table->get_transformed_entry(3, 1), 2) << "entries are kept as the file gives them";
    EXPECT_EQ(table->get_transformed_entry(3, 3), -1);
    EXPECT_EQ(table->get_transformed_entry(0, 1), -1);
    it.next();
    it.next();
    EXPECT_TRUE(it.done());
    EXPECT_EQ(it.item(), nullptr);
    EXPECT_TRUE(m_kpt->destroy_keypoints_db("map"));
}

TEST_F(kpt_test, composing_applies_the_later_stage_renames)
{
    KPT_KEYPOINTS_DB* map = m_kpt->load_keypoints_db(write("rev.map.kpt", MAP), "map");
    KPT_KEYPOINTS_DB* cmp = m_kpt->load_keypoints_db(
        write("rev.cmp.kpt", "rename top/u1/state~1 top/u1/state_q[1]\nrename top/u2/mode top/u2/mode_fsm\n"
                             "rename top/u1/state~1 top/u1/state[1]\n"),
        "cmp");
    ASSERT_NE(map, nullptr);
    ASSERT_NE(cmp, nullptr) << standin::kpt::last_error();
    map->compose_on_transformed(cmp, "");
    EXPECT_EQ(machine_names(map), (std::vector<std::string>{"top/u1/state", "top/u2/mode_fsm"}));
    KPT_TRANSFORMATION_SET_REGISTER_ITERATOR it(map->get_transformation_set());
    EXPECT_STREQ(it.item()->get_transformed(1)->get_name(), "top/u1/state~0");
    EXPECT_STREQ(it.item()->get_transformed(2)->get_name(), "top/u1/state[1]") << "the last rename wins";
    EXPECT_TRUE(machine_names(cmp).empty()) << "a rename file holds no machines";
}

TEST_F(kpt_test, databases_are_kept_by_name_once_and_counted)
{
    const std::string path = write("rev.map.kpt", MAP);
    ASSERT_NE(m_kpt->load_keypoints_db(path, "my_db"), nullptr);
    EXPECT_EQ(m_kpt->load_keypoints_db(path, "my_db"), nullptr) << "a taken name is refused";
    EXPECT_NE(standin::kpt::last_error().find("loaded already"), std::string::npos);
    EXPECT_EQ(m_kpt->load_keypoints_db(m_dir.filePath("missing.kpt").toStdString(), "other"), nullptr);
    EXPECT_NE(standin::kpt::last_error().find("missing.kpt: cannot be read"), std::string::npos);
    ASSERT_NE(m_kpt->load_keypoints_db(path, ""), nullptr);
    ASSERT_NE(m_kpt->load_keypoints_db(path, ""), nullptr) << "the empty name is never taken";
    EXPECT_EQ(standin::kpt::load_count(), 3);
    EXPECT_EQ(standin::kpt::loaded_names(), (std::vector<std::string>{"my_db", "", ""}));
    EXPECT_FALSE(m_kpt->destroy_keypoints_db("")) << "nothing loaded under the empty name can go";
    EXPECT_FALSE(m_kpt->destroy_keypoints_db("unknown"));
    EXPECT_TRUE(m_kpt->destroy_keypoints_db("my_db"));
    EXPECT_FALSE(m_kpt->destroy_keypoints_db("my_db"));
    EXPECT_EQ(standin::kpt::loaded_names(), (std::vector<std::string>{"", ""}));
    EXPECT_NE(m_kpt->load_keypoints_db(path, "my_db"), nullptr) << "a destroyed name is free again";
}

TEST_F(kpt_test, damaged_files_are_refused_with_the_line_at_fault)
{
    struct row
    {
        const char* label;
        const char* text;
        const char* message;
    };
    const row rows[] = {
        {"register first", "reg a\n", ":1: \"reg\" before any \"fsm\""},
        {"state first", "\n# c\nstate s 1\n", ":3: \"state\" before any \"fsm\""},
        {"late register", "fsm m\nreg a\nstate s 1\nreg b\n", ":4: \"reg\" after the machine's first state"},
        {"short state", "fsm m\nreg a\nreg b\nstate s 1\n", "state \"s\" has 1 entries for 2 registers"},
        {"not a number", "fsm m\nreg a\nstate s x\n", "state entries must be integers"},
        {"huge entry", "fsm m\nreg a\nstate s 99999999999\n", "entry out of range"},
        {"two names", "fsm a b\n", "\"fsm\" takes one name"},
        {"half rename", "rename a\n", "\"rename\" takes two names"},
        {"unknown", "machine m\n", "unknown item \"machine\""},
    };
    for (const row& r : rows)
    {
        EXPECT_EQ(m_kpt->load_keypoints_db(write("bad.kpt", r.text), "bad"), nullptr) << r.label;
        EXPECT_NE(standin::kpt::last_error().find(r.message), std::string::npos)
            << r.label << ": " << standin::kpt::last_error();
    }
    EXPECT_TRUE(standin::kpt::loaded_names().empty());
    EXPECT_EQ(standin::kpt::load_count(), 0);
}
