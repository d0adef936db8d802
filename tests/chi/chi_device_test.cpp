// The simulated device and chain: compiling writes a programming file that programming loads,
// the compatibility answers follow the design, the chain scan sees the cable and the device's
// instances, and offloading reads what the device acquired.
#include "chi_test_support.h"

#include "host/ice.h"
#include "host/pgmio.h"
#include "host/sci.h"
#include "host/sdr/sdr_compiled_design.h"
#include "host/standin/standin.h"

#include <QFile>

namespace
{
using chi_test::recorder;

class simulated_device : public chi_test::engine_test
{
public:
    void SetUp() override
    {
        chi_test::engine_test::SetUp();
        tap_bus("cnt", 4);
        tap("tick", 1);
    }

    std::string sof() { return path("output/top.sof"); }

    unsigned word(int i) { return standin::chi::node_info_word(instance(i)); }
    unsigned crc(int i) { return trigger(i)->get_crc_value(false); }
};

TEST_F(simulated_device, compiling_writes_one_pair_per_enabled_instance_that_the_reader_returns)
{
    instance(1)->m_state.enabled = false;
    compile_and_program();
    QFile file(QString::fromStdString(sof()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readLine().startsWith("VANTREL-STANDIN-SOF 1"));
    int count = 0;
    std::string text;
    ASSERT_TRUE(pgmio_export_sld_data(FIO_PATH(sof()), &count, &text));
    char expected[32];
    std::snprintf(expected, sizeof expected, "%08X,%08X", word(0), crc(0));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(standin::chi::device_pairs(), (std::vector<std::pair<unsigned, unsigned>>{{word(0), crc(0)}}));
    EXPECT_FALSE(pgmio_export_sld_data(FIO_PATH(path("missing.sof")), &count, &text));
    QFile other(QString::fromStdString(path("other.sof")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not a programming file\n");
    other.close();
    EXPECT_FALSE(pgmio_export_sld_data(FIO_PATH(path("other.sof")), &count, &text));
}

TEST_F(simulated_device, compatibility_follows_changes_of_the_compile_relevant_content)
{
    EXPECT_FALSE(ice_vtl_check_compatibility(trigger(0), false)) << "nothing compiled yet";
    compile_and_program();
    EXPECT_TRUE(ice_vtl_check_compatibility(trigger(0), false));
    settings(0).trigger_list[1].patterns[SDR_COPY_NORMAL].conditions[0] = SDR_CTYPE_RISING;
    EXPECT_TRUE(ice_vtl_check_compatibility(trigger(0), false)) << "conditions change at run time";
    tap("clk", 0);
    EXPECT_FALSE(ice_vtl_check_compatibility(trigger(0), false));
    bool recompile = false;
    bool reroute = false;
    ASSERT_TRUE(m_editing.check_instance_compilation_type_at(0, &recompile, &reroute));
    EXPECT_TRUE(recompile);
}

// A compiled design runs what a run loads into it: runtime-configurable settings of an advanced
// level, and the parts of a flow that its runtime options free. A change of what the compile
// built, or of which settings a run loads, needs a compile.
TEST_F(simulated_device, only_a_change_of_what_the_compile_built_needs_a_compile)
{
    constexpr const char* BUS = "{'cnt[1]','cnt[0]'}";
    constexpr const char* FLOW = "state ST1:\nif (Condition 1 && counter1 == 2) goto ST2;\nstate ST2:\ntrigger;";
    const std::string flow = FLOW;
    const auto with = [&flow](const std::string& from, const std::string& to) {
        std::string text = flow;
        return text.replace(text.find(from), from.size(), to);
    };
    const auto compare = [BUS](const std::string& a, const std::string& op, const char* kind) {
        return "compare(" + a + "," + op + "," + BUS + "," + kind + ",uc)";
    };
    const struct
    {
        const char* name;
        int options; // the flow's runtime options when compiled, and after the change (-1: the same)
        std::string before;
        std::string after;
        bool compatible;
        int options_after = -1;
    } rows[] = {
        {"a runtime-configurable value", 0, compare("variable(3)", "==", "cc"), compare("variable(2)", "==", "cc"), true},
        {"a variable comparison's operator", 0, compare("3", "==", "vc"), compare("3", "<", "vc"), true},
        {"object names", 0, compare("'v':(variable(3))", "==", "cc"), compare("'w':(variable(3))", "==", "cc"), true},
        {"a detector's pattern", 0, "mbpm('RX',{'tick','cnt[0]'})", "mbpm('FL',{'tick','cnt[0]'})", true},
        {"a counter's value, type and hold", 0, "ec(8,3,e,0,'tick')", "ec(8,9,c,1,'tick')", true},
        {"a shift's direction and distance", 0, compare("shift(logical,left,1,'tick')", "==", "cc"),
         compare("shift(logical,right,2,'tick')", "==", "cc"), true},
        {"a constant comparison's operator", 0, compare("3", "==", "cc"), compare("3", "<", "cc"), false},
        {"a constant value", 0, compare("3", "==", "cc"), compare("2", "==", "cc"), false},
        {"a constant's bits above 64", 0, compare("18446744073709551616", "==", "cc"),
         compare("36893488147419103232", "==", "cc"), false},
        {"a value made runtime-configurable", 0, compare("3", "==", "cc"), compare("variable(3)", "==", "cc"), false},
        {"a detector's inputs", 0, "mbpm('RX',{'tick','cnt[0]'})", "mbpm('RX',{'tick','cnt[1]'})", false},
        {"a counter's width", 0, "ec(8,3,e,0,'tick')", "ec(9,3,e,0,'tick')", false},
        {"a pipeline", 0, "(and('tick','cnt[0]'))#1", "(and('tick','cnt[0]'))#2", false},
        {"a text that is no equation", 0, "and('tick',", "and('tick', ", false},
        {"a goto destination, its option on", SCI_RUNTIME_CONFIG_GOTO_STATE, flow, with("goto ST2", "goto ST1"), true},
        {"a goto destination, its option off", 0, flow, with("goto ST2", "goto ST1"), false},
        {"a comparison value, its option on", SCI_RUNTIME_CONFIG_COMPARISON_VALUES, flow, with("== 2", "== 7"), true},
        {"a comparison value, its option off", SCI_RUNTIME_CONFIG_GOTO_STATE, flow, with("== 2", "== 7"), false},
        {"a comparison operator, its option on", SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS, flow, with("==", "!="), true},
        {"a comparison operator, its option off", 0, flow, with("==", "!="), false},
        {"a logical operator, its option on", SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS, flow, with("&&", "||"), true},
        {"a logical operator, its option off", 0, flow, with("&&", "||"), false},
        {"blanks", 0, flow, with(") goto ST2;\n", ")\n   goto  ST2 ;\n\n"), true},
        {"a statement, every option on", 15, flow, with("trigger;", "segment_trigger;"), false},
        {"a runtime option switched on", 0, flow, flow, false, SCI_RUNTIME_CONFIG_COMPARISON_VALUES},
    };
    for (const auto& row : rows)
    {
        const bool is_flow = row.before.rfind("state ", 0) == 0;
        const auto set = [&](const std::string& text, int options) {
            SDR_TRIGGER_STATE& s = settings(0);
            s.levels[0].type = is_flow ? SDR_LTYPE_BASIC_AND : SDR_LTYPE_ADVANCED;
            s.levels[0].expression = is_flow ? "" : text;
            s.state_based = is_flow;
            s.runtime_options = options;
            s.counters = {{"counter1", 8, 0}};
            trigger(0)->m_stored_state_machine.present = true;
            trigger(0)->m_stored_state_machine.attributes = {{"state_machine_flow_expression", is_flow ? text : flow}};
        };
        set(row.before, row.options);
        compile_and_program();
        ASSERT_TRUE(ice_vtl_check_compatibility(trigger(0), false)) << row.name;
        set(row.after, row.options_after < 0 ? row.options : row.options_after);
        EXPECT_EQ(ice_vtl_check_compatibility(trigger(0), false), row.compatible) << row.name;
        CHI_CONTROL_NODES_SCAN scan;
        scan.set_hardware_name(chi_test::CABLE);
        scan.set_device_name(chi_test::DEVICE);
        scan.rescan();
        unsigned programmed = 0;
        ASSERT_TRUE(scan.get_node_crc_value(&instance(0)->m_node_info, &programmed)) << row.name;
        EXPECT_EQ(programmed == crc(0), row.compatible) << row.name << ": the device holds what was compiled";
    }
}

TEST_F(simulated_device, a_fast_recompile_takes_post_fitting_changes_only)
{
    compile_and_program();
    standin::sdr::node_spec post{"tick"};
    post.tap = SDR_TAP_POST_FITTING;
    standin::sdr::add_node(trigger(0), post);
    tap("clk", 1);
    std::string error;
    ASSERT_TRUE(standin::chi::compile(data(), 80, sof(), &error)) << error;
    EXPECT_TRUE(ice_vtl_check_compatibility(trigger(0), false)) << "the rerouted instance";
    EXPECT_FALSE(ice_vtl_check_compatibility(trigger(1), false)) << "a pre-synthesis change needs a full compile";
    ASSERT_TRUE(standin::chi::compile(data(), 15, sof(), &error)) << error;
    EXPECT_TRUE(ice_vtl_check_compatibility(trigger(1), false));
}

TEST_F(simulated_device, the_chain_scan_sees_the_cable_the_device_and_its_instances)
{
    compile_and_program();
    CHI_CONTROL_NODES_SCAN scan;
    scan.set_hardware_name(chi_test::CABLE);
    scan.set_device_name(chi_test::DEVICE);
    unsigned value = 1;
    EXPECT_FALSE(scan.get_node_crc_value(&instance(0)->m_node_info, &value)) << "before a rescan";
    EXPECT_EQ(value, 0u);
    scan.rescan();
    EXPECT_TRUE(scan.is_device_available());
    EXPECT_FALSE(scan.is_jtag_comm_error());
    EXPECT_TRUE(scan.get_node_crc_value(&instance(1)->m_node_info, &value));
    EXPECT_EQ(value, crc(1));
    SDR_DATA_INSTANCE_INFO unknown;
    unknown.m_field2 = 99;
    EXPECT_FALSE(scan.get_node_crc_value(&unknown, &value));
    EXPECT_EQ(value, 0u);

    standin::chi::unplug_cable(true);
    scan.rescan();
    EXPECT_FALSE(scan.is_device_available());
    EXPECT_TRUE(scan.is_jtag_comm_error());
    scan.set_hardware_name("USB-Blaster [9]");
    scan.rescan();
    EXPECT_FALSE(scan.is_device_available());
    EXPECT_FALSE(scan.is_jtag_comm_error()) << "an unknown cable is not a communication error";
}

TEST_F(simulated_device, offload_reads_what_the_device_last_acquired)
{
    compile_and_program();
    SDR_DATA_LOG* empty = m_editing.create_new_log(0);
    EXPECT_FALSE(CHI_CONTROL::offload(empty)) << "nothing acquired yet";
    recorder& callback = make_recorder();
    SDR_DATA_LOG* acquired = start(&callback);
    standin::chi::run_to_end();
    m_editing.set_gui_logging(true);
    SDR_DATA_LOG* read = m_editing.create_new_log(0);
    ASSERT_TRUE(CHI_CONTROL::offload(read));
    EXPECT_EQ(row_of(read, "cnt[2]"), row_of(acquired, "cnt[2]"));
    EXPECT_FALSE(CHI_CONTROL::offload(m_editing.create_new_log(1))) << "the other instance acquired nothing";
    standin::chi::fail_offload(true);
    EXPECT_FALSE(CHI_CONTROL::offload(m_editing.create_new_log(0)));
    standin::chi::fail_offload(false);
    standin::chi::unplug_cable(true);
    EXPECT_FALSE(CHI_CONTROL::offload(m_editing.create_new_log(0)));
    standin::chi::unplug_cable(false);
    standin::chi::program_device({});
    EXPECT_FALSE(CHI_CONTROL::offload(m_editing.create_new_log(0))) << "programming clears the memory";
}

TEST_F(simulated_device, a_fixture_can_start_with_a_compiled_and_programmed_design)
{
    compile_and_program();
    const auto pairs = standin::chi::device_pairs();
    const std::string name = instance(0)->get_name();
    QFile::copy(QString::fromStdString(sof()), m_dir.filePath("shipped.sof"));
    m_editing.close_session();
    standin::reset_all();
    QByteArray design = chi_test::design_json();
    design.chop(2);
    design += R"(, "compiled": {"sof": "shipped.sof", "programmed": true}})";
    std::string error;
    ASSERT_TRUE(standin::project::load_json(design, m_dir.path().toStdString(), &error)) << error;
    EXPECT_EQ(standin::chi::device_pairs(), pairs);
    SDR_COMPILED_DESIGN::INSTANCE compiled;
    EXPECT_TRUE(SDR_COMPILED_DESIGN::find(name, &compiled));
    design.replace("shipped.sof", "missing.sof");
    EXPECT_FALSE(standin::project::load_json(design, m_dir.path().toStdString(), &error));
    EXPECT_NE(error.find("compiled"), std::string::npos) << error;
}
} // namespace
