// The project fixture: what a fixture file opens in the stand-ins, how a broken one is refused
// with the place of the fault, the post-fit copy of a netlist, and the signal stimuli of the
// simulated design.
#include "host/acf.h"
#include "host/dbmui.h"
#include "host/dstr.h"
#include "host/gen.h"
#include "host/hdb.h"
#include "host/idu.h"
#include "host/qui.h"
#include "host/standin/hdb_control.h"
#include "host/standin/project_control.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "revision": "rev_a", "incremental_mode": 2},
  "assignments": [{"var": 344, "value": "SIMFAM-A"}, {"var": 57, "value": "demo.vtl", "args": {"0": "x"}}],
  "netlists": {
    "pre": {"instances": [
      {"path": "top|clk", "flags": "0x80000004", "stimulus": {"kind": "clock", "period": 4}},
      {"path": "top|cnt", "flags": "0x80000040", "dims": [[3, 0]],
       "stimulus": {"kind": "counter", "start": 5, "every": 2, "modulo": 16}},
      {"path": "top|fsm|state", "flags": "0x80000400",
       "stimulus": {"kind": "fsm", "states": [{"name": "idle", "dwell": 2}, {"name": "run", "dwell": 3}]}},
      {"path": "top|fsm|state.idle", "flags": "0x80000040"},
      {"path": "top|fsm|state.run", "flags": "0x80000040"},
      {"path": "top|mem", "flags": "0x80000020", "dims": [[1, 0], [3, 0]],
       "stimulus": {"kind": "counter"}},
      {"path": "top|tx", "flags": "0x80000008",
       "stimulus": {"kind": "serial", "bytes": [165], "every": 1, "gap": 1}},
      {"path": "top|quiet", "flags": "0x80000040"}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000", "instances": [{"path": "top|only_post", "flags": 1}]}}
})";

bool load(const char* text, std::string* error = nullptr)
{
    std::string ignored;
    return standin::project::load_json(text, "/tmp/project", error != nullptr ? error : &ignored);
}

std::string levels(const char* name, int samples)
{
    std::string out;
    for (int s = 0; s < samples; ++s)
        out += char('0' + standin::project::signal_value(name, s));
    return out;
}
} // namespace

TEST(project_fixture, a_fixture_opens_the_project_in_every_stand_in)
{
    std::string error;
    ASSERT_TRUE(load(DESIGN, &error)) << error;
    EXPECT_TRUE(ACF_MANAGER::get_acf_manager()->is_project_open());
    EXPECT_STREQ(ACF_MANAGER::get_acf_manager()->get_project_path(), "/tmp/project/");
    QUI_PRJ_UI_MGR* project = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    ASSERT_NE(project, nullptr);
    EXPECT_STREQ(project->get_revision_name(), "rev_a");
    EXPECT_STREQ(project->get_top_entity_name(), "top");
    EXPECT_STREQ(DBMUI_MANAGER::get_dbmui_manager(0)->get_project_revision_name(), "rev_a");
    EXPECT_EQ(gen_get_db_dir_path_string(), "/tmp/project/db/") << "compiled databases live in the project";
    EXPECT_EQ(IDU_PARTITION_MANAGER::get_instance()->get_project_info()->get_effective_incremental_compilation_mode(),
              2);
    ACF_MGR_INPUT_PARAMETERS parameters;
    parameters.set_variable_type(ACF_VTL_FILE_NAME);
    ACF_ASSIGNMENT* assignment = ACF_MANAGER::get_acf_manager()->get_assignment(parameters);
    ASSERT_NE(assignment, nullptr);
    EXPECT_STREQ(assignment->get_value(), "demo.vtl");
    EXPECT_STREQ(assignment->get_argument_value(0), "x");
    EXPECT_EQ(standin::project::top_entity(), "top");
}

TEST(project_fixture, the_post_fit_copy_carries_the_added_flags_and_its_own_names)
{
    ASSERT_TRUE(load(DESIGN));
    HDB_NAMESPACE* pre = standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    HDB_NAMESPACE* post = standin::hdb::netlist(HDB_NAMESPACE::PDB_POST_FIT);
    ASSERT_NE(post, nullptr);
    EXPECT_EQ(post->get_instance_name("cnt[2]")->get_flags().get(), 0x80002040u);
    EXPECT_EQ(pre->get_instance_name("cnt[2]")->get_flags().get(), 0x80000040u);
    EXPECT_NE(post->get_instance_name("only_post"), nullptr);
    EXPECT_EQ(pre->get_instance_name("only_post"), nullptr);
}

TEST(project_fixture, without_a_partition_manager_entry_the_host_has_none_and_unload_closes_it_all)
{
    ASSERT_TRUE(load(R"({"project": {"top_entity": "t", "qhd": true}})"));
    EXPECT_EQ(IDU_PARTITION_MANAGER::get_instance(), nullptr);
    EXPECT_TRUE(gen_is_qhd());
    standin::project::unload();
    EXPECT_FALSE(standin::project::is_loaded());
    EXPECT_FALSE(ACF_MANAGER::get_acf_manager()->is_project_open());
    EXPECT_NE(IDU_PARTITION_MANAGER::get_instance(), nullptr);
    EXPECT_FALSE(gen_is_qhd());
    EXPECT_EQ(standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS), nullptr);
    EXPECT_EQ(DBMUI_MANAGER::get_dbmui_manager(0)->get_project_revision_name(), nullptr);
    EXPECT_EQ(gen_get_db_dir_path_string(), "db/");
}

TEST(project_fixture, a_broken_fixture_names_its_fault_and_opens_nothing)
{
    struct row
    {
        const char* label;
        const char* text;
        const char* message;
    };
    const row rows[] = {
        {"not JSON", "{\"project\": ", "not JSON"},
        {"no project", "{}", "project: the section is missing"},
        {"no top", R"({"project": {}})", "\"top_entity\" must name"},
        {"unknown key", R"({"project": {"top_entity": "t", "colour": 1}})", "unknown key \"colour\""},
        {"bad argument", R"({"project": {"top_entity": "t"}, "assignments": [{"var": 57, "args": {"20": "x"}}]})",
         "assignments[0]: argument \"20\""},
        {"copy of post", R"({"project": {"top_entity": "t"}, "netlists": {"post": {"copy_of": "post"}}})",
         "\"copy_of\" can only name \"pre\""},
        {"bad stimulus", R"({"project": {"top_entity": "t"}, "netlists": {"pre": {"instances": [
            {"path": "a", "stimulus": {"kind": "noise"}}]}}})",
         "netlists.pre.instances[0].stimulus: unknown stimulus kind \"noise\""},
        {"partition without path", R"({"project": {"top_entity": "t"}, "partitions": [{"id": 1, "netlist_type": 2}]})",
         "partitions[0]: \"path\" must name"},
        {"two partitions at one path", R"({"project": {"top_entity": "t", "incremental_mode": 2}, "partitions": [
            {"id": 1, "path": "a", "netlist_type": 2}, {"id": 2, "path": "a", "netlist_type": 8}]})",
         "partitions[1]: another partition has the path \"a\""},
        {"unknown partition fault", R"({"project": {"top_entity": "t"}, "partition_faults": ["commit"]})",
         "partition_faults[0]: must be"},
        {"part without name", R"({"project": {"top_entity": "t"}, "parts": [{"resources": {"32": 1}}]})",
         "parts[0]: \"name\" must name"},
        {"resource kind not a number", R"({"project": {"top_entity": "t"}, "parts": [
            {"name": "P", "resources": {"hps": 1}}]})",
         "parts[0]: resource \"hps\""},
        {"negative resource count", R"({"project": {"top_entity": "t"}, "parts": [
            {"name": "P", "resources": {"32": -1}}]})",
         "parts[0]: resource \"32\""},
        {"design unit without entity", R"({"project": {"top_entity": "t"}, "design_units": [{"file": "a.v"}]})",
         "design_units[0]: \"entity\" is missing"},
        {"design unit with a bad line", R"({"project": {"top_entity": "t"}, "design_units": [
            {"entity": "e", "file": "a.v", "line": "x"}]})",
         "design_units[0]: \"line\""},
        {"one generator past the names a fixture may make", R"({"project": {"top_entity": "t"}, "netlists": {
            "pre": {"instances": [{"generate": "tree", "path": "g", "fanout": 2048, "depth": 2}]}}})",
         "netlists.pre.instances[0]: the fixture would make more than 4194304 names (this entry alone makes more)"},
        {"a copy past the names a fixture may make", R"({"project": {"top_entity": "t"}, "netlists": {
            "pre": {"instances": [{"path": "d"}]},
            "post": {"copy_of": "pre", "instances": [{"path": "e", "dims": [[1048575, 0], [2, 0]]}]}}})",
         "netlists.post.instances[1]: the fixture would make more than 4194304 names (this entry alone makes more)"},
    };
    for (const row& r : rows)
    {
        std::string error;
        EXPECT_FALSE(load(r.text, &error)) << r.label;
        EXPECT_NE(error.find(r.message), std::string::npos) << r.label << ": " << error;
        EXPECT_FALSE(standin::project::is_loaded()) << r.label;
        EXPECT_FALSE(ACF_MANAGER::get_acf_manager()->is_project_open()) << r.label;
        EXPECT_EQ(standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS), nullptr) << r.label;
    }
}

TEST(project_fixture, parts_give_their_resource_counts_until_the_project_closes)
{
    ASSERT_TRUE(load(R"({"project": {"top_entity": "t"}, "parts": [
        {"name": "SIMPART-1", "family": "SIMFAM-A", "resources": {"32": 0, "5": 7}},
        {"name": "SimPart-HPS", "resources": {"32": 2}}]})"));
    DEV_PART_MANAGER* parts = DEV_PART_MANAGER::get_instance();
    const DEV_PART_ENUM plain = dstr_get_dev_part_enum_by_string("simpart-1");
    const DEV_PART_ENUM hps = dstr_get_dev_part_enum_by_string("SIMPART-HPS");
    EXPECT_NE(plain, DEV_PART_GENERIC);
    EXPECT_NE(hps, DEV_PART_GENERIC);
    EXPECT_NE(plain, hps);
    EXPECT_EQ(parts->get_device_resource_count_of(plain, DEV_RESOURCE_HPS), 0);
    EXPECT_EQ(parts->get_device_resource_count_of(plain, 5), 7);
    EXPECT_EQ(parts->get_device_resource_count_of(hps, DEV_RESOURCE_HPS), 2);
    EXPECT_EQ(dstr_get_dev_part_enum_by_string("other"), DEV_PART_GENERIC);
    EXPECT_EQ(parts->get_device_resource_count_of(DEV_PART_GENERIC, DEV_RESOURCE_HPS), 0);
    standin::project::unload();
    EXPECT_EQ(dstr_get_dev_part_enum_by_string("SIMPART-HPS"), DEV_PART_GENERIC);
}

TEST(project_fixture, a_document_finds_the_fixture_beside_it)
{
    QTemporaryDir dir;
    const QString document = dir.filePath("demo.vtl");
    std::string error;
    EXPECT_TRUE(standin::project::load_for_document(document.toStdString(), &error)) << "no fixture: no project";
    EXPECT_FALSE(standin::project::is_loaded());
    QFile file(dir.filePath("standin_project.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"project": {"top_entity": "t", "dir": "sub"}})");
    file.close();
    EXPECT_TRUE(standin::project::load_for_document(document.toStdString(), &error)) << error;
    EXPECT_EQ(standin::project::fixture_path(), file.fileName().toStdString());
    EXPECT_EQ(std::string(ACF_MANAGER::get_acf_manager()->get_project_path()),
              QDir(dir.path()).filePath("sub").toStdString() + "/");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[1, 2]");
    file.close();
    EXPECT_FALSE(standin::project::load_for_document(document.toStdString(), &error));
    EXPECT_EQ(error.rfind(file.fileName().toStdString(), 0), 0u) << "the message names the file: " << error;
}

TEST(project_fixture, stimuli_drive_signals_buses_and_state_registers)
{
    ASSERT_TRUE(load(DESIGN));
    struct row
    {
        const char* name;
        const char* expected; // samples 0..9
    };
    const row rows[] = {
        {"top|clk", "1100110011"},
        {"clk", "1100110011"},
        {"cnt[0]", "1100110011"},    // 5, 5, 6, 6, 7, 7, 8, 8, 9, 9
        {"cnt[3]", "0000001111"},
        {"fsm|state.idle", "1100011000"},
        {"fsm|state.run", "0011100111"},
        {"tx", "0101001011"},       // start, 1 0 1 0 0 1 0 1 of 0xa5, stop
        {"mem[0][0]", "0101010101"}, // the counter
        {"mem[1][0]", "1010101010"}, // one sample later
    };
    for (const row& r : rows)
        EXPECT_EQ(levels(r.name, 10), r.expected) << r.name;
    EXPECT_EQ(standin::project::signal_value("quiet", 0), -1) << "no stimulus";
    EXPECT_EQ(standin::project::signal_value("fsm|state.stop", 0), -1);
    EXPECT_EQ(standin::project::stimulus_names(),
              (std::vector<std::string>{"clk", "cnt", "fsm|state", "mem", "tx"}));
}

TEST(project_fixture, stimulus_kinds_check_their_keys_and_ranges)
{
    struct row
    {
        const char* label;
        const char* stimulus;
        const char* message; // "" when it is accepted
    };
    const row rows[] = {
        {"constant", R"({"kind": "constant", "value": "0x5"})", ""},
        {"pulse", R"({"kind": "pulse", "period": 8, "width": 3, "phase": 1})", ""},
        {"random", R"({"kind": "random", "seed": 3, "every": 4})", ""},
        {"one-hot fsm", R"({"kind": "fsm", "encoding": "one_hot", "states": [{"name": "a"}]})", ""},
        {"busy", R"({"kind": "serial", "bytes": [1], "output": "busy"})", ""},
        {"period", R"({"kind": "clock", "period": 1})", "\"period\" must be an integer from 2"},
        {"width", R"({"kind": "pulse", "period": 4, "width": 5})", "\"width\" is longer"},
        {"every", R"({"kind": "counter", "every": 0})", "\"every\" must be"},
        {"same state", R"({"kind": "fsm", "states": [{"name": "a"}, {"name": "a"}]})", "a name of its own"},
        {"encoding", R"({"kind": "fsm", "encoding": "gray", "states": [{"name": "a"}]})", "\"encoding\""},
        {"byte", R"({"kind": "serial", "bytes": [256]})", "from 0 to 255"},
        {"no bytes", R"({"kind": "serial"})", "at least one byte"},
        {"output", R"({"kind": "serial", "bytes": [1], "output": "parity"})", "\"output\""},
        {"typo", R"({"kind": "clock", "perod": 4})", "unknown key \"perod\""},
        // Periods past 2^62 samples wrapped (to 0 for 16 bytes: a division by zero on Run).
        {"serial period 2^64", R"({"kind": "serial", "bytes": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16],
            "every": 1073741824, "gap": 1073741814})", "more than 2^62 samples"},
        {"serial period 2^63", R"({"kind": "serial", "bytes": [1,2,3,4,5,6,7,8], "every": 1073741824,
            "gap": 1073741814})", "more than 2^62 samples"},
        {"serial period 2^62", R"({"kind": "serial", "bytes": [1,2,3,4], "every": 1073741824,
            "gap": 1073741814})", ""},
    };
    for (const row& r : rows)
    {
        standin::stimulus parsed;
        std::string error;
        const bool ok = standin::stimulus::parse(QJsonDocument::fromJson(r.stimulus).object(), "s", &parsed, &error);
        EXPECT_EQ(ok, *r.message == '\0') << r.label << ": " << error;
        if (!ok)
        {
            EXPECT_NE(error.find(r.message), std::string::npos) << r.label << ": " << error;
        }
    }
}

TEST(project_fixture, random_and_serial_busy_values_are_reproducible)
{
    standin::stimulus random;
    std::string error;
    ASSERT_TRUE(standin::stimulus::parse(QJsonDocument::fromJson(R"({"kind": "random", "seed": 9, "every": 3})").object(),
                                         "s", &random, &error));
    EXPECT_EQ(random.value(0), random.value(2)) << "a value holds for `every` samples";
    EXPECT_NE(random.value(2), random.value(3));
    standin::stimulus again;
    standin::stimulus::parse(QJsonDocument::fromJson(R"({"kind": "random", "seed": 9, "every": 3})").object(), "s",
                             &again, &error);
    EXPECT_EQ(random.value(1000), again.value(1000));
    standin::stimulus busy;
    ASSERT_TRUE(standin::stimulus::parse(
        QJsonDocument::fromJson(R"({"kind": "serial", "bytes": [0], "gap": 2, "output": "busy"})").object(), "s",
        &busy, &error));
    std::string line;
    for (int s = 0; s < 13; ++s)
        line += char('0' + busy.value(s));
    EXPECT_EQ(line, "1111111111001");
}
