// JTAG and programming-file settings of the model, the compile and programming checks of the
// status line, embedded programming files and the compatibility of an instance with one.
#include "sedq_tx_manager_acquisition_test_support.h"

#include "host/pgmio.h"

#include <QFile>

namespace
{
class model_jtag : public acquisition_test::acquisition
{
protected:
    CHI_CONTROL_NODES_SCAN scan()
    {
        CHI_CONTROL_NODES_SCAN result;
        result.set_hardware_name(acquisition_test::CABLE);
        result.set_device_name(acquisition_test::DEVICE);
        result.rescan();
        return result;
    }

    // Adds a node to instance 0 as the node finder would (pre-synthesis, or post-fitting).
    void change_design(SDR_DATA_WIRE_TAP_MODE tap)
    {
        standin::sdr::node_spec node{"clk"};
        node.tap = tap;
        standin::sdr::add_node(data()->m_instances[0]->get_active_trigger(), node);
    }
};

TEST_F(model_jtag, hardware_and_device_names_are_stored_with_their_refresh)
{
    SEDQ_TX_MANAGER* empty = make_manager(true);
    QString text = "x";
    EXPECT_FALSE(empty->set_jtag_hardware("cable", true)) << "an empty window stores nothing";
    EXPECT_FALSE(empty->get_jtag_hardware(&text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(empty->get_sof_file_name(&text));

    SEDQ_TX_MANAGER* manager = open(1);
    settle_hints();
    EXPECT_TRUE(manager->get_jtag_hardware(&text));
    EXPECT_EQ(text, acquisition_test::CABLE);
    EXPECT_TRUE(manager->set_jtag_hardware("USB cable", true));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x20000004), H(0x80000020)}));
    EXPECT_TRUE(manager->set_jtag_hardware("USB cable", true));
    EXPECT_TRUE(take_hints().empty()) << "the same name changes nothing";
    EXPECT_FALSE(manager->set_jtag_hardware("", true)) << "an empty name is stored, and answered false";
    EXPECT_FALSE(manager->get_jtag_hardware(&text));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x20000004), H(0x80000020)}));
    EXPECT_TRUE(manager->set_jtag_device("@2: OTHER", true));
    EXPECT_TRUE(manager->get_jtag_device(&text));
    EXPECT_EQ(text, "@2: OTHER");
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x80000020)})) << "the device sends no refresh of its own";
    EXPECT_TRUE(manager->get_sof_file_name(&text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(manager->set_jtag_chain("/tmp/design.sof"));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x20000020), H(0x80000020)}));
    EXPECT_TRUE(manager->get_sof_file_name(&text));
    EXPECT_EQ(text, "/tmp/design.sof");
    EXPECT_FALSE(manager->set_jtag_chain(""));
}

TEST_F(model_jtag, a_programming_file_name_without_a_document_is_answered_without_storing)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    EXPECT_TRUE(manager->set_jtag_chain("a.sof"));
    EXPECT_FALSE(manager->set_jtag_chain(""));
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(model_jtag, a_changed_design_needs_a_compile_and_a_programming)
{
    SEDQ_TX_MANAGER* manager = open(2);
    bool recompile = true;
    bool reroute = true;
    CHI_CONTROL_NODES_SCAN chain = scan();
    EXPECT_TRUE(manager->is_compile_or_reroute_needed(&recompile, &reroute)) << "never compiled";
    EXPECT_TRUE(recompile);
    EXPECT_TRUE(manager->is_program_needed(&chain));

    compile_and_program();
    chain = scan();
    EXPECT_FALSE(manager->is_compile_or_reroute_needed(&recompile, &reroute));
    EXPECT_FALSE(recompile);
    EXPECT_FALSE(reroute);
    EXPECT_FALSE(manager->is_program_needed(&chain));

    change_design(SDR_TAP_PRE_SYNTHESIS);
    EXPECT_TRUE(manager->is_compile_or_reroute_needed(&recompile, &reroute));
    EXPECT_TRUE(recompile);
    EXPECT_TRUE(manager->is_program_needed(&chain));

    manager->set_instance_enabled(0, false);
    EXPECT_FALSE(manager->is_compile_or_reroute_needed(&recompile, &reroute)) << "a disabled instance is not asked";
    EXPECT_FALSE(manager->is_program_needed(&chain));
}

TEST_F(model_jtag, a_post_fitting_change_of_a_compiled_design_needs_a_reroute_only)
{
    SEDQ_TX_MANAGER* manager = open(1);
    compile_and_program();
    change_design(SDR_TAP_POST_FITTING);
    bool recompile = true;
    bool reroute = false;
    // The recorded compile no longer matches, so the instance is reported as a recompile first;
    // a fast recompile's record takes the rerouted content.
    EXPECT_TRUE(manager->is_compile_or_reroute_needed(&recompile, &reroute));
    std::string error;
    ASSERT_TRUE(standin::chi::compile(data(), 80, path("output/top.sof"), &error)) << error;
    EXPECT_FALSE(manager->is_compile_or_reroute_needed(&recompile, &reroute));
    EXPECT_FALSE(reroute);
}

TEST_F(model_jtag, embedding_stores_the_file_with_its_instance_information)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    const QString sof = QString::fromStdString(path("output/top.sof"));
    QString name = "kept";
    ASSERT_TRUE(manager->embed_sof_file(sof, &name));
    EXPECT_EQ(name, "top.sof");
    const SDR_TX_SESSION* session = manager->get_tx_session();
    ASSERT_EQ(session->get_embedded_sof_file_count(), 1);
    QString info;
    manager->retrieve_sof_file_info_str(sof, &info);
    EXPECT_EQ(info.count(';'), 1) << "two instances";
    EXPECT_EQ(QString::fromLocal8Bit(session->get_embedded_sof_inst_id_crc_at(0)), info);

    // Embedding again under a name in use replaces that entry; its information follows it.
    QFile::copy(sof, m_dir.filePath("second.sof"));
    QString second;
    ASSERT_TRUE(manager->embed_sof_file(m_dir.filePath("second.sof"), &second));
    std::string error;
    ASSERT_TRUE(standin::chi::write_programming_file(sof.toStdString(), {{1, 2}}, &error));
    ASSERT_TRUE(manager->embed_sof_file(sof, &name));
    ASSERT_EQ(session->get_embedded_sof_file_count(), 2);
    EXPECT_STREQ(session->get_embedded_sof_inst_id_crc_at(0), "00000001,00000002");
    EXPECT_EQ(QString::fromLocal8Bit(session->get_embedded_sof_inst_id_crc_at(1)), info);
}

TEST_F(model_jtag, a_file_that_cannot_be_embedded_is_reported)
{
    SEDQ_TX_MANAGER* manager = open(1);
    const struct
    {
        const char* path;
        const char* name_after;
    } rows[] = {{"", "kept"}, {"missing.sof", "kept"}, {"/no/such/dir/x.sof", "x.sof"}, {"C:\\work\\y.sof", "y.sof"}};
    for (const auto& row : rows)
    {
        standin::msg::reset();
        QString name = "kept";
        EXPECT_FALSE(manager->embed_sof_file(row.path, &name)) << row.path;
        EXPECT_EQ(name, row.name_after) << row.path;
        EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_INVALID_SOF_FILE_TO_EMBED"}) << row.path;
    }
    EXPECT_EQ(manager->get_tx_session()->get_embedded_sof_file_count(), 0);
}

TEST_F(model_jtag, an_instance_is_compatible_with_a_programming_file_of_its_design)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    QString info;
    manager->retrieve_sof_file_info_str(QString::fromStdString(path("output/top.sof")), &info);
    const QByteArray text = info.toLocal8Bit();
    EXPECT_STREQ(manager->get_sof_compatibility_state(0, text.constData()), "compatible");
    EXPECT_STREQ(manager->get_sof_compatibility_state(1, text.constData()), "compatible");
    EXPECT_STREQ(manager->get_sof_compatibility_state(0, text.toLower().constData()), "")
        << "the key is compared in upper case";
    EXPECT_STREQ(manager->get_sof_compatibility_state(5, text.constData()), "") << "no such instance";
    EXPECT_STREQ(manager->get_sof_compatibility_state(0, nullptr), "");
    change_design(SDR_TAP_PRE_SYNTHESIS);
    EXPECT_STREQ(manager->get_sof_compatibility_state(0, text.constData()), "");
    QString untouched = "before";
    manager->retrieve_sof_file_info_str(m_dir.filePath("missing.sof"), &untouched);
    EXPECT_EQ(untouched, "before");
}
} // namespace
