// The simulated device and chain: compiling writes a programming file that programming loads,
// the compatibility answers follow the design, the chain scan sees the cable and the device's
// instances, and offloading reads what the device acquired.
#include "chi_test_support.h"

#include "host/ice.h"
#include "host/pgmio.h"
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
