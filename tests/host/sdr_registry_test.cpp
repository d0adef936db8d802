// The repository's registry of open documents, the compiled-design check and the fixture API
// (dump and compare of documents, payload builder).

#include "host/sdr.h"
#include "host/standin/sdr_control.h"
#include "sdr_fake_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
class SdrRegistry : public ::testing::Test
{
protected:
    std::string path(const char* name) const { return m_dir.filePath(name).toLocal8Bit().toStdString(); }

    // A saved document on disk, not open anywhere.
    void write_document(const char* name)
    {
        SDR_TX_SESSION writer(nullptr, false);
        ASSERT_TRUE(writer.create_session(path(name).c_str()));
        writer.set_jtag_device_name("device");
        ASSERT_TRUE(writer.save_session(path(name).c_str())) << writer.get_last_error();
        writer.close_session();
    }

    QTemporaryDir m_dir;
    SDR_DATA_MANAGER* m_manager = SDR_DATA_MANAGER::get_data_repository_manager();
};
} // namespace

TEST_F(SdrRegistry, opening_a_path_twice_gives_the_same_data_session)
{
    write_document("a.vtl");
    SDR_DATA_SESSION* first = m_manager->open_session(path("a.vtl").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_manager->open_session(path("a.vtl").c_str()), first);
    EXPECT_EQ(m_manager->get_session_opened((m_dir.path() + "/./a.vtl").toLocal8Bit().constData()), first)
        << "paths are compared in absolute form";
    EXPECT_STREQ(first->m_jtag_device_name.c_str(), "device");
    EXPECT_TRUE(m_manager->close_session(path("a.vtl").c_str()));
    EXPECT_FALSE(m_manager->close_session(path("a.vtl").c_str()));
}

TEST_F(SdrRegistry, an_editing_session_adopts_a_document_opened_through_the_registry)
{
    write_document("b.vtl");
    SDR_DATA_SESSION* imported = m_manager->open_session(path("b.vtl").c_str());
    SDR_TX_SESSION editing(sdr_test::make_root(std::make_shared<sdr_test::tree_log>()), true);
    ASSERT_TRUE(editing.open_session(path("b.vtl").c_str()));
    EXPECT_EQ(editing.get_data_session(), imported);
    EXPECT_FALSE(m_manager->close_session(path("b.vtl").c_str())) << "in use by the editing session";
}

TEST_F(SdrRegistry, a_data_session_whose_name_is_taken_is_refused_and_left_to_its_owner)
{
    write_document("c.vtl");
    SDR_DATA_SESSION* open = m_manager->open_session(path("c.vtl").c_str());
    std::unique_ptr<SDR_DATA_SESSION> stray = standin::sdr::make_session(path("c.vtl"), 2);
    SDR_TX_SESSION editing(nullptr, false);
    EXPECT_FALSE(editing.open_session(stray.get()));
    EXPECT_FALSE(editing.get_last_error().empty());
    EXPECT_EQ(stray->get_num_instances(), 2) << "the refused session is neither deleted nor taken over";
    EXPECT_EQ(stray->m_tx_user, nullptr);
    EXPECT_EQ(m_manager->get_session_opened(path("c.vtl").c_str()), open);
}

TEST_F(SdrRegistry, saving_under_a_new_path_moves_the_document_in_the_registry)
{
    SDR_TX_SESSION editing(nullptr, false);
    ASSERT_TRUE(editing.create_session(path("old.vtl").c_str()));
    ASSERT_TRUE(editing.save_session(path("new.vtl").c_str()));
    EXPECT_EQ(m_manager->get_session_opened(path("old.vtl").c_str()), nullptr);
    EXPECT_EQ(m_manager->get_session_opened(path("new.vtl").c_str()), editing.get_data_session());

    SDR_TX_SESSION other(nullptr, false);
    ASSERT_TRUE(other.create_session(path("other.vtl").c_str()));
    EXPECT_FALSE(other.save_session(path("new.vtl").c_str())) << "that path belongs to another open document";
    EXPECT_EQ(m_manager->session_count(), 2);
}

TEST_F(SdrRegistry, compilation_check_tells_recompile_from_reroute)
{
    SDR_TX_SESSION editing(nullptr, false);
    ASSERT_TRUE(editing.create_session(path("c.vtl").c_str()));
    SDR_DATA_TRIGGER* trigger = editing.get_instance_at(0, false)->get_data_instance()->get_active_trigger();
    standin::sdr::add_node(trigger, {"top|pre"});
    standin::sdr::add_node(trigger, {"top|post", SDR_STYPE_PLAIN, SDR_WTYPE_DATA_AND_TRIGGER, SDR_TAP_POST_FITTING});

    struct row
    {
        const char* name;
        void (*change)(SDR_DATA_TRIGGER*);
        bool recompile;
        bool reroute;
    };
    const row rows[] = {
        {"nothing changed", [](SDR_DATA_TRIGGER*) {}, false, false},
        {"post-fit node renamed", [](SDR_DATA_TRIGGER* t) { t->edit().trigger_list[1].name = "top|post2"; }, false, true},
        {"pre-synthesis node renamed", [](SDR_DATA_TRIGGER* t) { t->edit().trigger_list[0].name = "top|pre2"; }, true, false},
    };
    for (const row& r : rows) {
        SDR_COMPILED_DESIGN::record_session(&editing);
        r.change(trigger);
        bool recompile = true;
        bool reroute = true;
        ASSERT_TRUE(editing.check_instance_compilation_type_at(0, &recompile, &reroute)) << r.name;
        EXPECT_EQ(recompile, r.recompile) << r.name;
        EXPECT_EQ(reroute, r.reroute) << r.name;
    }
    SDR_COMPILED_DESIGN::clear();
    bool recompile = false;
    editing.check_instance_compilation_type_at(0, &recompile, nullptr);
    EXPECT_TRUE(recompile) << "an instance missing from the compiled design needs a compile";
    EXPECT_FALSE(editing.check_instance_compilation_type_at(3, &recompile, nullptr));
}

TEST_F(SdrRegistry, compare_documents_names_the_first_difference)
{
    auto a = standin::sdr::make_session("doc", 1);
    auto b = standin::sdr::make_session("doc", 1);
    EXPECT_EQ(standin::sdr::compare_documents(*a, *b), "");
    SDR_DATA_TRIGGER* trigger = b->m_instances[0]->get_active_trigger();
    standin::sdr::make_log(trigger, {"run", 12, {"101010101010"}, "", "000001000000"});
    std::string difference = standin::sdr::compare_documents(*a, *b);
    EXPECT_NE(difference.find("trigger[0].active_log"), std::string::npos) << difference;

    standin::sdr::make_log(a->m_instances[0]->get_active_trigger(), {"run", 12, {"101010101010"}, "", "000001000000"});
    EXPECT_EQ(standin::sdr::compare_documents(*a, *b), "");
}

TEST_F(SdrRegistry, payload_builder_packs_samples_lsb_first)
{
    standin::sdr::log_spec desc;
    desc.depth = 10;
    desc.channels = {"1000000001", "01"};
    desc.valid = "1111111110";
    desc.connected = {true, false};
    auto payload = standin::sdr::make_payload(desc);
    ASSERT_EQ(payload->row_bytes(), 2);
    EXPECT_EQ(payload->channel_bits, QByteArray("\x01\x02\x02\x00", 4));
    EXPECT_EQ(payload->valid_bits, QByteArray("\xFF\x01", 2));
    EXPECT_TRUE(payload->bit_in_row(payload->channel_bits, 0, 9));
    EXPECT_FALSE(payload->bit_in_row(payload->channel_bits, 2, 0));
    EXPECT_EQ(payload->connected, QByteArray("\x01\x00", 2));
}
