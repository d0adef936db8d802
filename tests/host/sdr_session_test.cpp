// Editing sessions of the analyzer data repository: entries and power-up companions, instances,
// active objects, logs, UI state, programming files, estimates, commit and the registry.

#include "host/ice.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sdr_fake_tree.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace
{
class SdrSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_log = std::make_shared<sdr_test::tree_log>();
        m_session = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        ASSERT_TRUE(m_session->create_session(path("doc.vtl").c_str()));
    }

    std::string path(const char* name) const { return m_dir.filePath(name).toLocal8Bit().toStdString(); }
    SDR_DATA_SESSION* data() { return m_session->get_data_session(); }
    SDR_DATA_INSTANCE* instance(int entry = 0) { return m_session->get_instance_at(entry, false)->get_data_instance(); }
    SDR_DATA_TRIGGER* trigger(int entry = 0) { return instance(entry)->get_active_trigger(); }
    int count_calls(const std::string& call) const
    {
        return static_cast<int>(std::count(m_log->calls.begin(), m_log->calls.end(), call));
    }

    QTemporaryDir m_dir;
    std::shared_ptr<sdr_test::tree_log> m_log;
    std::unique_ptr<SDR_TX_SESSION> m_session;
};
} // namespace

TEST_F(SdrSession, a_new_document_has_one_instance_with_one_set_one_trigger_and_no_log)
{
    EXPECT_EQ(m_session->get_num_instances(), 1);
    EXPECT_EQ(instance()->get_num_signal_sets(), 1);
    EXPECT_EQ(instance()->get_global_signal_set()->m_triggers.size(), 1u);
    EXPECT_EQ(m_session->get_log_at(0, false), nullptr);
    EXPECT_FALSE(m_session->is_modified());
    EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(path("doc.vtl").c_str()), data());
    EXPECT_NE(trigger()->m_state_machine_object, nullptr);
    EXPECT_EQ(count_calls("create_child_object(1)"), 1);
    EXPECT_EQ(m_session->get_instance_at(1, false), nullptr);
    EXPECT_EQ(m_session->get_trigger_at(-1, false), nullptr);
}

TEST_F(SdrSession, power_up_companion_follows_its_instance_and_shares_its_data)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 1);
    SDR_TX_INSTANCE* second = m_session->get_instance_at(1, false);
    ASSERT_TRUE(m_session->set_power_up_trigger_mode(0, true));

    ASSERT_EQ(m_session->get_num_instances(), 3);
    EXPECT_TRUE(m_session->is_power_up_view(1));
    EXPECT_FALSE(m_session->is_power_up_view(0));
    EXPECT_TRUE(m_session->is_power_up_trigger(0));
    EXPECT_EQ(m_session->get_instance_at(2, false), second) << "surviving entries keep their objects";
    EXPECT_EQ(m_session->get_trigger_at(1, false)->get_data_trigger(), trigger(0));
    EXPECT_TRUE(m_session->get_trigger_at(1, false)->is_power_up_selector());
    EXPECT_EQ(m_session->get_signal_set_at(1, false)->get_data_signal_set(),
              m_session->get_signal_set_at(0, false)->get_data_signal_set());

    m_session->get_instance_at(0, false)->set_position_data("scroll", 5);
    m_session->get_instance_at(1, false)->set_position_data("scroll", 9);
    EXPECT_EQ(m_session->get_instance_at(0, false)->get_position_data("scroll"), 5);
    EXPECT_EQ(m_session->get_instance_at(1, false)->get_position_data("scroll"), 9);

    standin::sdr::log_spec power_up_log;
    power_up_log.power_up = true;
    SDR_DATA_LOG* log = standin::sdr::make_log(trigger(0), power_up_log);
    EXPECT_EQ(m_session->get_log_at(1, false), log);
    EXPECT_EQ(m_session->get_log_at(0, false), nullptr);

    SDR_TX_INSTANCE* companion = m_session->get_instance_at(1, false);
    ASSERT_TRUE(m_session->set_power_up_trigger_mode(0, false));
    EXPECT_EQ(m_session->get_num_instances(), 2);
    EXPECT_FALSE(companion->is_enabled()) << "a removed entry answers neutral values";
    EXPECT_EQ(companion->get_position_data("scroll"), -1);
}

TEST_F(SdrSession, removing_an_instance_detaches_its_facades_and_parks_its_data)
{
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 1);
    standin::sdr::log_spec desc;
    desc.depth = 8;
    desc.channels = {"10101010"};
    SDR_DATA_LOG* log = standin::sdr::make_log(trigger(1), desc);
    SDR_TX_TRIGGER* facade = m_session->get_trigger_at(1, false);
    SDR_DATA_INSTANCE* removed = instance(1);

    ASSERT_TRUE(m_session->remove_vantrel_instance(1));
    EXPECT_EQ(m_session->get_num_instances(), 1);
    EXPECT_EQ(facade->get_data_trigger(), nullptr);
    EXPECT_EQ(removed->m_session, nullptr);
    EXPECT_EQ(log->m_payload, nullptr) << "the samples of a removed log are released";
    EXPECT_EQ(data()->find_instance("auto_vantrel_1"), nullptr);
    EXPECT_FALSE(m_session->remove_vantrel_instance(5));
}

TEST_F(SdrSession, new_instances_get_unique_names_and_ordinals)
{
    ASSERT_TRUE(instance()->set_name("auto_vantrel_1"));
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 1);
    EXPECT_STRNE(instance(1)->get_name(), "auto_vantrel_1");
    EXPECT_NE(instance(1)->m_node_info.m_field2, instance(0)->m_node_info.m_field2);
    EXPECT_FALSE(instance(1)->set_name("auto_vantrel_1")) << "duplicate names are refused";
}

TEST_F(SdrSession, set_active_and_remove_work_by_name)
{
    SDR_DATA_SIGNAL_SET* set = instance()->get_global_signal_set();
    set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(set, "second"));
    standin::sdr::make_log(set->m_triggers[1].get(), {"run_a"});
    standin::sdr::make_log(set->m_triggers[1].get(), {"run_b"});

    ASSERT_TRUE(m_session->set_active(0, nullptr, "second", nullptr));
    EXPECT_EQ(trigger(), set->m_triggers[1].get());
    EXPECT_EQ(m_session->get_log_at(0, false)->m_name, "run_b") << "null log = the last log";
    ASSERT_TRUE(m_session->set_active(0, nullptr, "second", "run_a"));
    EXPECT_EQ(m_session->get_log_at(0, false)->m_name, "run_a");
    EXPECT_FALSE(m_session->set_active(0, "nope", nullptr, nullptr));
    EXPECT_FALSE(m_session->set_active(0, nullptr, "second", "nope"));

    ASSERT_TRUE(m_session->remove(0, nullptr, "second", "run_a"));
    EXPECT_EQ(trigger()->m_logs.size(), 1u);
    ASSERT_TRUE(m_session->remove(0, nullptr, "second", nullptr));
    EXPECT_EQ(set->m_triggers.size(), 1u);
    EXPECT_FALSE(m_session->remove(0, nullptr, "trigger_1", nullptr)) << "the last trigger stays";
    EXPECT_FALSE(m_session->remove(0, "signal_set_1", nullptr, nullptr)) << "the last signal set stays";
}

TEST_F(SdrSession, logging_on_appends_logs_and_logging_off_reuses_one_temporary_log)
{
    m_session->set_gui_logging(true);
    SDR_DATA_LOG* first = m_session->create_new_log(0);
    SDR_DATA_LOG* second = m_session->create_new_log(0);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(m_session->get_log_at(0, false), second);

    m_session->set_gui_logging(false);
    SDR_DATA_LOG* temp = m_session->create_new_log(0);
    ASSERT_NE(temp, nullptr);
    EXPECT_TRUE(temp->m_global_temp);
    temp->m_payload = standin::sdr::make_payload({"", 4, {"1111"}});
    EXPECT_EQ(m_session->create_new_log(0), temp);
    EXPECT_EQ(temp->m_payload, nullptr) << "the reused log starts empty";
    EXPECT_EQ(trigger()->m_logs.size(), 3u);

    m_session->remove_current_log(0);
    EXPECT_EQ(m_session->get_log_at(0, false), second) << "the previous log becomes active";

    standin::sdr::fail_next_create_new_log();
    EXPECT_EQ(m_session->create_new_log(0), nullptr);
}

TEST_F(SdrSession, removing_the_first_active_log_activates_the_one_that_follows)
{
    m_session->set_gui_logging(true);
    SDR_DATA_LOG* first = m_session->create_new_log(0);
    SDR_DATA_LOG* second = m_session->create_new_log(0);
    ASSERT_TRUE(m_session->set_active_log(0, first));
    m_session->remove_current_log(0);
    EXPECT_EQ(m_session->get_log_at(0, false), second) << "a document with logs keeps one shown";
    EXPECT_EQ(first->get_data_sample_depth(), 0);
    m_session->remove_current_log(0);
    EXPECT_EQ(m_session->get_log_at(0, false), nullptr);
    EXPECT_TRUE(trigger()->m_logs.empty());
}

TEST_F(SdrSession, save_to_log_copies_the_active_log_sharing_its_samples)
{
    SDR_DATA_LOG* log = standin::sdr::make_log(trigger(), {"", 16, {"1100110011001100"}});
    ASSERT_TRUE(m_session->save_to_log(0));
    ASSERT_EQ(trigger()->m_logs.size(), 2u);
    SDR_DATA_LOG* copy = trigger()->m_logs[1].get();
    EXPECT_NE(copy->m_name, log->m_name);
    EXPECT_EQ(copy->m_payload, log->m_payload);
    EXPECT_FALSE(m_session->save_to_log(3));
}

TEST_F(SdrSession, array_getters_never_write_past_their_capacity)
{
    const int widths[23] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    ASSERT_TRUE(m_session->set_global_data("column width", widths, 23));
    int buffer[4] = {-7, -7, -7, -7};
    EXPECT_EQ(m_session->get_global_data("column width", buffer, 2), 23);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(buffer[2], -7);
    EXPECT_EQ(m_session->get_global_data("column width"), 1);
    EXPECT_EQ(m_session->get_global_data("absent", buffer, 4), -1);
    EXPECT_EQ(m_session->get_global_data("absent"), -1);

    SDR_TX_INSTANCE* entry = m_session->get_instance_at(0, false);
    const int bars[3] = {10, 20, 30};
    entry->set_position_data("time bars", bars, 3);
    EXPECT_EQ(entry->get_position_data("time bars", buffer, 1), 3);
    EXPECT_EQ(buffer[0], 10);
    EXPECT_EQ(buffer[1], 2) << "untouched beyond the capacity";
    EXPECT_EQ(entry->get_position_data("time bars", nullptr, 0), 3);

    EXPECT_EQ(entry->get_position_data("time bars", nullptr, 5), -1);
    EXPECT_EQ(standin::msg::internal_errors().size(), 1u);
}

TEST_F(SdrSession, ui_state_does_not_mark_the_document_modified)
{
    m_session->set_global_data("lock mode", 2);
    m_session->get_instance_at(0, false)->set_position_data("splitter", 300);
    instance()->set_expanded_status(true);
    EXPECT_FALSE(m_session->is_modified());
    EXPECT_FALSE(m_session->get_instance_at(0, false)->is_undo_available());
    EXPECT_EQ(m_session->get_global_data("lock mode"), 2);

    m_session->set_jtag_chain_name("USB-Blaster [1-1]");
    EXPECT_TRUE(m_session->is_modified()) << "JTAG settings are document content";
}

TEST_F(SdrSession, embedded_programming_files_are_stored_renamed_extracted_and_removed)
{
    QFile sof(m_dir.filePath("design.sof"));
    ASSERT_TRUE(sof.open(QIODevice::WriteOnly));
    sof.write(QByteArray("\x00\x01SOF bytes\xFF", 12));
    sof.close();

    EXPECT_FALSE(m_session->embed_sof_file(path("missing.sof").c_str(), "x.sof"));
    ASSERT_TRUE(m_session->embed_sof_file(path("design.sof").c_str(), "design.sof"));
    ASSERT_TRUE(m_session->embed_sof_file(path("design.sof").c_str(), "other.sof"));
    EXPECT_EQ(m_session->get_embedded_sof_file_count(), 2);
    EXPECT_STREQ(m_session->get_embedded_sof_file_name_at(1), "other.sof");
    EXPECT_EQ(m_session->get_embedded_sof_inst_id_crc_at(0), nullptr);
    m_session->set_embedded_sof_inst_id_crc_at(0, "6E:1234ABCD");
    EXPECT_STREQ(m_session->get_embedded_sof_inst_id_crc_at(0), "6E:1234ABCD");
    EXPECT_FALSE(m_session->rename_embedded_sof_filename_at(0, "other.sof"));
    EXPECT_TRUE(m_session->rename_embedded_sof_filename_at(0, "renamed.sof"));

    ASSERT_TRUE(m_session->extract_sof_file(0, path("out.sof").c_str()));
    QFile out(m_dir.filePath("out.sof"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("\x00\x01SOF bytes\xFF", 12));
    EXPECT_FALSE(m_session->extract_sof_file(0, path("no_dir/out.sof").c_str()));
    EXPECT_FALSE(m_session->extract_sof_file(7, path("x.sof").c_str()));

    EXPECT_TRUE(m_session->remove_embedded_sof_at(0));
    EXPECT_FALSE(m_session->remove_embedded_sof_at(1));
    EXPECT_EQ(m_session->get_embedded_sof_file_count(), 1);
}

TEST_F(SdrSession, estimates_count_trigger_and_data_leaves)
{
    standin::sdr::add_node(trigger(), {"a", SDR_STYPE_PLAIN, SDR_WTYPE_DATA_AND_TRIGGER});
    standin::sdr::add_node(trigger(), {"b", SDR_STYPE_PLAIN, SDR_WTYPE_TRIGGER_ONLY});
    standin::sdr::add_node(trigger(), {"c", SDR_STYPE_PLAIN, SDR_WTYPE_DATA_ONLY});
    standin::sdr::add_group(trigger(), 0, 1, "bus");
    EXPECT_EQ(m_session->get_instance_estimated_lcell_count_at(0, 0), 100u + 12 * 2 + 4 * 2);
    EXPECT_EQ(m_session->get_instance_ram_bits_usage_at(0), 2u * SDR_DEFAULT_SAMPLE_DEPTH);
    m_session->get_instance_at(0, false)->set_enabled(false);
    EXPECT_EQ(m_session->get_instance_ram_bits_usage_at(0), 0u);
    EXPECT_EQ(m_session->get_instance_estimated_lcell_count_at(4, 0), 0u);
}

TEST_F(SdrSession, estimates_past_32_bits_stop_at_the_largest_value)
{
    for (int i = 0; i < 1024; ++i)
        standin::sdr::add_node(trigger(), {"n" + std::to_string(i)});
    ASSERT_TRUE(m_session->get_signal_set_at(0, false)->set_sample_depth(1 << 22));
    EXPECT_EQ(m_session->get_instance_ram_bits_usage_at(0), UINT_MAX) << "1024 x 2^22 bits is 2^32";
    ASSERT_TRUE(m_session->get_signal_set_at(0, false)->set_sample_depth(1 << 21));
    EXPECT_EQ(m_session->get_instance_ram_bits_usage_at(0), 1u << 31);
}

TEST_F(SdrSession, commit_stores_advanced_equations_and_the_crc_ignores_basic_conditions)
{
    standin::sdr::add_node(trigger(), {"top|clk_en"});
    {
        SDR_EDIT_SCOPE scope(instance());
        trigger()->edit().levels[0].type = SDR_LTYPE_ADVANCED;
    }
    SDR_TX_TREE_OBJECT* handle = m_session->ensure_level_tree(trigger(), 0, false);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(m_session->ensure_level_tree(trigger(), 0, false), handle) << "created once";
    EXPECT_EQ(m_session->ensure_level_tree(trigger(), 3, false), nullptr) << "no such level";

    trigger()->edit_transient().levels[0].expression = "preset";
    handle->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    m_session->commit_session();
    EXPECT_EQ(count_calls("get_equation(1)"), 0);
    EXPECT_EQ(trigger()->state().levels[0].expression, "preset") << "a preset keeps its text until it is edited";
    m_session->get_trigger_at(0, false)->set_advanced_modified(0, false, true, true);
    EXPECT_EQ(count_calls("get_equation(1)"), 1) << "written when the objects change";
    m_session->commit_session();
    EXPECT_EQ(count_calls("get_equation(1)"), 2);
    EXPECT_EQ(trigger()->state().levels[0].expression.rfind("expr_", 0), 0u);
    unsigned crc = trigger()->m_crc;

    trigger()->edit().trigger_list[0].patterns[0].conditions[0] = SDR_CTYPE_RISING;
    m_session->commit_session();
    EXPECT_EQ(trigger()->m_crc, crc);
    trigger()->edit().trigger_list[0].name = "top|other";
    m_session->commit_session();
    EXPECT_NE(trigger()->m_crc, crc);
}

// Each reader of a level's equation gets the one the drawn objects write, also after a host
// Undo brought back a state holding an older text: the objects are not undone with it.
TEST_F(SdrSession, every_reader_of_an_equation_gets_the_one_the_objects_write)
{
    SDR_TX_TRIGGER* facade = m_session->get_trigger_at(0, false);
    {
        SDR_EDIT_SCOPE scope(instance());
        trigger()->edit().levels[0].type = SDR_LTYPE_ADVANCED;
    }
    SDR_TX_TREE_OBJECT* handle = m_session->ensure_level_tree(trigger(), 0, false);
    ASSERT_NE(handle, nullptr);
    handle->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    facade->set_advanced_modified(0, false, true, true);
    const std::string drawn = trigger()->state().levels[0].expression;
    ASSERT_EQ(drawn.rfind("expr_", 0), 0u) << "written at the change";

    const struct
    {
        const char* reader;
        bool undo_first; // the host's Undo of the edit that made the level advanced
        std::function<void()> read;
    } rows[] = {
        {"the compile check", false, [this] { m_session->check_instance_compilation_type_at(0, nullptr, nullptr); }},
        {"the compatibility check", false, [this] { ice_vtl_check_compatibility(trigger(), false); }},
        {"a save", false, [this] { ASSERT_TRUE(m_session->save_session(path("saved.vtl").c_str())); }},
        {"the compile check after a host undo", true,
         [this] { m_session->check_instance_compilation_type_at(0, nullptr, nullptr); }},
    };
    for (const auto& row : rows)
    {
        if (row.undo_first)
            m_session->get_instance_at(0, false)->undo();
        else
            trigger()->edit_transient().levels[0].expression = "stale";
        row.read();
        EXPECT_EQ(trigger()->state().levels[0].expression, drawn) << row.reader;
    }
}

TEST_F(SdrSession, duplicate_copies_conditions_between_the_copies_and_tells_the_trees)
{
    standin::sdr::add_node(trigger(), {"top|a"});
    trigger()->edit().trigger_list[0].patterns[SDR_COPY_NORMAL].conditions[0] = SDR_CTYPE_FALLING;
    m_session->ensure_level_tree(trigger(), 0, false);
    ASSERT_TRUE(m_session->set_power_up_trigger_mode(0, true));

    ASSERT_TRUE(m_session->duplicate_trigger_to_other(0));
    EXPECT_EQ(trigger()->state().trigger_list[0].patterns[SDR_COPY_POWER_UP].conditions[0], SDR_CTYPE_FALLING);
    EXPECT_EQ(count_calls("duplicate_trigger(true)"), 1);

    trigger()->edit().trigger_list[0].patterns[SDR_COPY_POWER_UP].conditions[0] = SDR_CTYPE_HIGH;
    ASSERT_TRUE(m_session->duplicate_trigger_to_other(1));
    EXPECT_EQ(trigger()->state().trigger_list[0].patterns[SDR_COPY_NORMAL].conditions[0], SDR_CTYPE_HIGH);
    EXPECT_EQ(count_calls("duplicate_trigger(false)"), 1);
}

TEST_F(SdrSession, removing_a_trigger_deletes_its_tree_handles_through_the_root)
{
    SDR_DATA_SIGNAL_SET* set = instance()->get_global_signal_set();
    set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(set, "second"));
    m_session->ensure_level_tree(set->m_triggers[1].get(), 0, false);
    m_session->ensure_level_tree(set->m_triggers[1].get(), 2, true);
    ASSERT_TRUE(m_session->remove(0, nullptr, "second", nullptr));
    EXPECT_EQ(count_calls("delete_child_object"), 2);
}

TEST_F(SdrSession, the_registry_refuses_to_close_a_document_being_edited)
{
    SDR_DATA_MANAGER* manager = SDR_DATA_MANAGER::get_data_repository_manager();
    EXPECT_FALSE(manager->close_session(path("doc.vtl").c_str()));
    EXPECT_EQ(manager->open_session(path("absent.vtl").c_str()), nullptr);

    SDR_DATA_SESSION* wizard = manager->create_session(SDR_RESERVED_SESSION_NAME);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(manager->find_session(SDR_RESERVED_SESSION_NAME), wizard);
    EXPECT_EQ(manager->create_session(SDR_RESERVED_SESSION_NAME), nullptr);
    EXPECT_TRUE(manager->close_session(SDR_RESERVED_SESSION_NAME));

    m_session->close_session();
    EXPECT_EQ(manager->get_session_opened(path("doc.vtl").c_str()), nullptr);
    EXPECT_EQ(m_session->get_num_instances(), 0);
}

TEST_F(SdrSession, deleting_an_open_session_takes_its_document_out_of_the_registry)
{
    m_session.reset();
    EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->session_count(), 0);
}

TEST_F(SdrSession, a_failed_save_leaves_the_document_modified)
{
    m_session->set_jtag_device_name("@1: DEVICE");
    standin::sdr::fail_next_save();
    EXPECT_FALSE(m_session->save_session(path("doc.vtl").c_str()));
    EXPECT_TRUE(m_session->is_modified());
    EXPECT_FALSE(m_session->get_last_error().empty());
}

TEST_F(SdrSession, a_wizard_session_is_edited_over_an_existing_data_session)
{
    SDR_DATA_SESSION* wizard = SDR_DATA_MANAGER::get_data_repository_manager()->create_session(SDR_RESERVED_SESSION_NAME);
    SDR_DATA_INSTANCE* preset = wizard->create_vantrel_instance(nullptr);
    EXPECT_EQ(preset->get_node_info().m_generator, 2);
    EXPECT_EQ(preset->get_num_signal_sets(), 0) << "the wizard builds the signal set and the trigger";
    SDR_DATA_SIGNAL_SET* set = preset->create_signal_set(nullptr, false);
    ASSERT_NE(set, nullptr);
    SDR_DATA_TRIGGER* trigger = set->create_trigger(nullptr, false);
    ASSERT_NE(trigger, nullptr);
    SDR_TX_SESSION editing(nullptr, false);
    ASSERT_TRUE(editing.open_session(wizard));
    EXPECT_EQ(editing.get_num_instances(), 1);
    EXPECT_EQ(editing.get_instance_at(0, false)->get_data_instance(), preset);
    EXPECT_EQ(editing.get_trigger_at(0, false)->get_data_trigger(), trigger);
    EXPECT_FALSE(SDR_DATA_MANAGER::get_data_repository_manager()->close_session(SDR_RESERVED_SESSION_NAME));
}

TEST_F(SdrSession, stripped_documents_take_back_their_original_name)
{
    standin::sdr::set_stripped(data(), path("original.vtl"));
    EXPECT_TRUE(m_session->is_stripped_version());
    standin::sdr::fail_rename_stripped(true);
    EXPECT_FALSE(m_session->rename_a_stripped_version());
    standin::sdr::fail_rename_stripped(false);
    ASSERT_TRUE(m_session->rename_a_stripped_version());
    EXPECT_EQ(std::string(data()->get_name()), SDR_DATA_MANAGER::key_of(path("original.vtl")));
    EXPECT_FALSE(m_session->is_stripped_version());
}

TEST_F(SdrSession, version_state_comes_from_the_file_and_can_be_brought_up_to_date)
{
    SDR_TX_INSTANCE* entry = m_session->get_instance_at(0, false);
    EXPECT_TRUE(entry->is_current_version());
    standin::sdr::set_instance_version_state(instance(), false, true);
    EXPECT_FALSE(entry->is_current_version());
    EXPECT_FALSE(entry->is_newer_version());
    entry->update_to_current_version();
    EXPECT_TRUE(entry->is_current_version());
    EXPECT_TRUE(m_session->is_modified());
}

TEST_F(SdrSession, save_and_open_round_trip_the_document_and_rebuild_its_trees)
{
    standin::sdr::add_node(trigger(), {"top|a"});
    standin::sdr::make_log(trigger(), {"", 8, {"10110011"}});
    m_session->set_global_data("column width", 40);
    m_session->set_jtag_chain_name("chain");
    m_session->ensure_level_tree(trigger(), 0, false)->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
        ->set_attribute("name", "Result \xc3\xa9");
    ASSERT_TRUE(m_session->save_session(path("saved.vtl").c_str())) << m_session->get_last_error();
    EXPECT_FALSE(m_session->is_modified());
    EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(path("saved.vtl").c_str()), data());

    auto log = std::make_shared<sdr_test::tree_log>();
    SDR_TX_SESSION reopened(sdr_test::make_root(log), true);
    EXPECT_FALSE(reopened.open_session(path("saved.vtl").c_str())) << "already open in this process";
    std::string saved_dump = standin::sdr::dump_document(*data());
    m_session->close_session();

    ASSERT_TRUE(reopened.open_session(path("saved.vtl").c_str())) << reopened.get_last_error();
    EXPECT_EQ(standin::sdr::dump_document(*reopened.get_data_session()), saved_dump);
    EXPECT_EQ(reopened.get_global_data("column width"), 40);
    EXPECT_FALSE(reopened.is_modified());
    SDR_DATA_TRIGGER* opened = reopened.get_instance_at(0, false)->get_data_instance()->get_active_trigger();
    ASSERT_NE(opened->m_level_trees.at(0), nullptr);
    ASSERT_EQ(opened->m_level_trees[0]->get_child_count(), 1);
    auto* object = static_cast<sdr_test::fake_tree_object*>(opened->m_level_trees[0]->get_child_object(0));
    EXPECT_EQ(object->attributes(),
              (std::vector<std::pair<std::string, std::string>>{{"name", "Result \xc3\xa9"}}));
    EXPECT_NE(opened->m_state_machine_object, nullptr);
}

TEST_F(SdrSession, opening_a_missing_or_broken_file_fails_and_registers_nothing)
{
    SDR_TX_SESSION other(nullptr, false);
    EXPECT_FALSE(other.open_session(path("missing.vtl").c_str()));
    EXPECT_FALSE(other.get_last_error().empty());
    QFile broken(m_dir.filePath("broken.vtl"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not an archive");
    broken.close();
    EXPECT_FALSE(other.open_session(path("broken.vtl").c_str()));
    EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->session_count(), 1);
}
