// Data logs: packed payload reads (in place, shared between logs), neutrality out of range and
// after removal, trigger positions, flow values, static plug-in tables, renames, and what a
// trigger's logs count against the file's limits.
#include "host/sdr.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sdr_file_control.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
class sdr_log : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.create_session("/tmp/sdr_log_test.vtl"));
        trigger = session.get_trigger_at(0, false)->get_data_trigger();
        standin::sdr::log_spec desc;
        desc.name = "first";
        desc.depth = 10;
        desc.channels = {"1010101010", "0000011111", "1"};
        desc.valid = "1111111110";
        desc.trigger = "0001000000";
        desc.breaks = "0000010000";
        desc.connected = {true, false, true};
        desc.segment_size = 5;
        desc.trigger_position = 3;
        desc.segment_trigger_positions = {3, 1};
        desc.state_value = 2;
        desc.flags = {1, 0};
        desc.counters = {7};
        log = standin::sdr::make_log(trigger, desc);
        ASSERT_NE(log, nullptr);
    }

    SDR_TX_SESSION session{nullptr, false};
    SDR_DATA_TRIGGER* trigger = nullptr;
    SDR_DATA_LOG* log = nullptr;
};
} // namespace

TEST_F(sdr_log, bits_read_from_the_packed_rows_and_are_false_out_of_range)
{
    const struct
    {
        const char* name;
        int channel;
        int sample;
        bool bit;
    } rows[] = {{"first sample", 0, 0, true},      {"second sample", 0, 1, false},
                {"second byte", 1, 9, true},        {"byte boundary", 1, 8, true},
                {"short row padded", 2, 5, false},  {"sample past depth", 0, 10, false},
                {"negative sample", 0, -1, false},  {"channel past count", 3, 0, false},
                {"negative channel", -1, 0, false}, {"huge sample", 0, 1 << 30, false}};
    for (const auto& row : rows)
        EXPECT_EQ(log->get_bit(row.channel, row.sample), row.bit) << row.name;
    EXPECT_EQ(log->get_data_sample_depth(), 10);
    EXPECT_TRUE(log->is_data_available(false));
}

TEST_F(sdr_log, sample_marks_positions_and_flow_values)
{
    EXPECT_TRUE(log->is_bit_valid(8));
    EXPECT_FALSE(log->is_bit_valid(9));
    EXPECT_FALSE(log->is_bit_valid(10));
    EXPECT_TRUE(log->is_bit_trigger(3));
    EXPECT_FALSE(log->is_bit_trigger(-3));
    EXPECT_TRUE(log->is_break_previous(5));
    EXPECT_FALSE(log->is_break_previous(99));
    EXPECT_TRUE(log->get_connection_status(0));
    EXPECT_FALSE(log->get_connection_status(1));
    EXPECT_FALSE(log->get_connection_status(3));
    const struct
    {
        const char* name;
        int segment;
        int position;
    } rows[] = {{"whole log", -1, 3}, {"first segment", 0, 3}, {"second segment", 1, 1},
                {"no such segment", 2, -1}, {"below -1", -2, -1}};
    for (const auto& row : rows)
        EXPECT_EQ(log->get_data_trigger_position(row.segment), row.position) << row.name;
    EXPECT_EQ(log->get_segment_size(), 5);
    EXPECT_EQ(log->get_state_value(), 2);
    EXPECT_EQ(log->get_num_flags(), 2);
    EXPECT_EQ(log->get_flag_value(0), 1);
    EXPECT_EQ(log->get_flag_value(2), 0);
    EXPECT_EQ(log->get_num_counters(), 1);
    EXPECT_EQ(log->get_counter_value(0), 7u);
    EXPECT_EQ(log->get_counter_value(1), 0u);
}

TEST_F(sdr_log, a_log_without_data_answers_neutral_values)
{
    SDR_DATA_LOG empty(trigger, "empty");
    EXPECT_EQ(empty.get_data_sample_depth(), 0);
    EXPECT_FALSE(empty.get_bit(0, 0));
    EXPECT_FALSE(empty.is_bit_valid(0));
    EXPECT_FALSE(empty.is_data_available(false));
    EXPECT_EQ(empty.get_data_trigger_position(-1), -1);
    EXPECT_EQ(empty.get_state_value(), -1);
    EXPECT_EQ(empty.get_num_counters(), 0);
    EXPECT_EQ(empty.get_data_version(), 0u);
}

TEST_F(sdr_log, copies_share_the_payload_and_reads_do_not_copy_it)
{
    ASSERT_TRUE(session.save_to_log(0));
    ASSERT_EQ(trigger->get_num_logs(), 2);
    SDR_DATA_LOG* copy = trigger->get_log_at(1);
    ASSERT_NE(copy, log);
    EXPECT_EQ(copy->m_payload.get(), log->m_payload.get());
    const char* bits = log->m_payload->channel_bits.constData();
    EXPECT_TRUE(copy->get_bit(1, 9));
    EXPECT_EQ(log->m_payload->channel_bits.constData(), bits) << "reading never detaches the rows";
    EXPECT_EQ(copy->get_data_version(), log->get_data_version()) << "the same samples, the same version";
}

// A payload copied (to be changed) or assigned over takes a new version; one that stays keeps it.
TEST_F(sdr_log, every_new_payload_brings_a_new_data_version)
{
    const quint64 first = log->get_data_version();
    EXPECT_NE(first, 0u);
    EXPECT_EQ(log->get_data_version(), first);
    auto copied = std::make_shared<SDR_LOG_PAYLOAD>(*log->m_payload);
    EXPECT_NE(copied->version.get(), first);
    SDR_LOG_PAYLOAD assigned;
    const quint64 before = assigned.version.get();
    assigned = *copied;
    EXPECT_NE(assigned.version.get(), before);
    EXPECT_NE(assigned.version.get(), copied->version.get());
    log->m_payload = copied;
    EXPECT_EQ(log->get_data_version(), copied->version.get());
}

TEST_F(sdr_log, removal_fixes_active_logs_and_leaves_a_neutral_object)
{
    standin::sdr::log_spec desc;
    desc.depth = 4;
    desc.channels = {"1111"};
    SDR_DATA_LOG* second = standin::sdr::make_log(trigger, desc);
    ASSERT_EQ(trigger->m_active_log[0], 1);
    second->remove();
    EXPECT_EQ(trigger->get_num_logs(), 1);
    EXPECT_EQ(trigger->m_active_log[0], 0) << "the previous log becomes active";
    EXPECT_FALSE(second->get_bit(0, 0));
    EXPECT_FALSE(second->set_name("again"));
    second->remove();
    EXPECT_EQ(trigger->get_num_logs(), 1) << "removing twice is harmless";
    log->remove();
    EXPECT_EQ(trigger->m_active_log[0], -1);
}

TEST_F(sdr_log, static_plugin_tables_are_kept_per_id)
{
    SDR_DATA_MNEMONICS_TABLE* table = log->create_static_plugin_mnemonics_table(4, 7);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(log->create_static_plugin_mnemonics_table(4, 7), table) << "reused";
    EXPECT_EQ(log->get_static_plugin_mnemonics_table(7), table);
    EXPECT_EQ(log->get_static_plugin_mnemonics_table(8), nullptr);
    EXPECT_EQ(log->create_static_plugin_mnemonics_table(0, 9), nullptr);
    ASSERT_TRUE(table->add_entry("IDLE", "0000"));
    EXPECT_STREQ(log->get_static_plugin_mnemonics_table(7)->get_first_symbol("0000"), "IDLE");
}

TEST_F(sdr_log, renames_are_unique_among_logs_and_undoable)
{
    standin::sdr::log_spec desc;
    desc.name = "second";
    SDR_DATA_LOG* second = standin::sdr::make_log(trigger, desc);
    EXPECT_FALSE(second->set_name("first"));
    EXPECT_FALSE(second->set_name(""));
    ASSERT_TRUE(second->set_name("renamed"));
    EXPECT_EQ(trigger->find_log("renamed"), second);
    SDR_TX_INSTANCE* instance = session.get_instance_at(0, false);
    ASSERT_TRUE(instance->undo());
    EXPECT_STREQ(second->get_name(), "second");
}

// With logging on every run takes the first free "log_<n>"; what frees a name (a removal, a
// rename, its undo) or takes one (logs added as a file or the engine adds them) counts at once,
// however the logs came and went before.
TEST_F(sdr_log, new_logs_take_the_first_free_number)
{
    session.set_gui_logging(true);
    const auto next = [this] { return std::string(session.create_new_log(0)->get_name()); };
    const auto add = [this](const std::string& name) {
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, name));
        return trigger->m_logs.back().get();
    };
    EXPECT_EQ(next(), "log_1");
    EXPECT_EQ(next(), "log_2");
    add("log_3");
    add("log_03");
    add("log_temp");
    EXPECT_EQ(next(), "log_4") << "a log added to the list takes its name";
    SDR_DATA_LOG* second = trigger->find_log("log_2");
    second->remove();
    EXPECT_EQ(next(), "log_2") << "a removed log frees its name";
    EXPECT_EQ(next(), "log_5");
    ASSERT_TRUE(trigger->find_log("log_1")->set_name("kept"));
    EXPECT_EQ(next(), "log_1") << "a renamed log frees its name";
    EXPECT_EQ(next(), "log_6");
    ASSERT_TRUE(trigger->find_log("log_6")->set_name("log_renamed"));
    ASSERT_TRUE(session.get_instance_at(0, false)->undo());
    EXPECT_EQ(trigger->find_log("log_6")->get_name(), std::string("log_6")) << "undo gives the name back";
    EXPECT_EQ(next(), "log_7");
    trigger->find_log("log_03")->remove();
    EXPECT_EQ(next(), "log_8") << "only a log of the name frees it";
    for (int n = 9; n <= 2000; ++n)
        add("log_" + std::to_string(n));
    EXPECT_EQ(next(), "log_2001");
    EXPECT_EQ(trigger->get_log_at(trigger->m_active_log[0])->get_name(), std::string("log_2001"))
        << "the new log is the one shown";
}

namespace
{
// What the trigger's logs hold, walked log by log: a log whose wire names, or one of whose
// decoder tables, equal those of the log before it stores none.
SDR_LOG_TALLY walk(const SDR_DATA_TRIGGER& trigger)
{
    SDR_LOG_TALLY tally;
    const SDR_DATA_LOG* previous = nullptr;
    for (const auto& log : trigger.m_logs) {
        ++tally.logs;
        const bool shared = previous != nullptr && !log->m_wire_names.empty() &&
                            log->m_wire_names.list() == previous->m_wire_names.list();
        tally.wires += shared ? 0 : qint64(log->m_wire_names.size());
        tally.payload_bytes += SDR_FILE_LIMITS::payload_size(*log);
        for (const auto& table : log->m_static_plugin_tables) {
            const SDR_DATA_MNEMONICS_TABLE* before =
                previous != nullptr ? previous->get_static_plugin_mnemonics_table(table.first) : nullptr;
            if (before != nullptr && before->get_content() == table.second->get_content())
                continue;
            ++tally.tables;
            tally.table_entries += table.second->get_num_entries();
        }
        previous = log.get();
    }
    return tally;
}

SDR_DATA_MNEMONICS_TABLE* decode(SDR_DATA_LOG* log, const std::vector<const char*>& symbols)
{
    SDR_DATA_MNEMONICS_TABLE* table = log->create_static_plugin_mnemonics_table(2, 1);
    for (size_t i = 0; table != nullptr && i < symbols.size(); ++i)
        table->add_entry(symbols[i], i == 0 ? "01" : i == 1 ? "10" : "11");
    return table;
}
} // namespace

// The sums a trigger keeps follow every change of its logs as a walk of them counts it: logs
// added, their wire names, samples and decoder tables changed, and logs taken out of the middle
// (the log after one taken out may share the list of the log before it now).
TEST_F(sdr_log, a_triggers_sums_follow_every_change_of_its_logs)
{
    const std::vector<std::string> a{"top|a", "top|b"};
    const std::vector<std::string> b{"top|c"};
    std::vector<SDR_DATA_LOG*> logs{log};
    const auto add = [&](const std::vector<std::string>& wires) {
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, "l" + std::to_string(logs.size())));
        logs.push_back(trigger->m_logs.back().get());
        logs.back()->m_wire_names = wires;
    };
    standin::sdr::log_spec samples;
    samples.depth = 16;
    samples.channels = {"1", "0"};
    const struct
    {
        const char* name;
        std::function<void()> change;
        qint64 wires; // as the walk counts them, to know the change did what it says
    } steps[] = {
        {"lists a, a, b, a", [&] { logs[0]->m_wire_names = a; add(a); add(b); add(a); }, 2 + 0 + 1 + 2},
        {"samples installed", [&] {
             logs[2]->m_payload = standin::sdr::make_payload(samples);
             logs[3]->m_payload = logs[2]->m_payload;
         }, 5},
        {"the b in the middle taken out", [&] { logs[2]->remove(); }, 2 + 0 + 0},
        {"a name added to the second list", [&] { logs[1]->m_wire_names.push_back("top|x"); }, 2 + 3 + 2},
        {"a decoder table and its entries", [&] { decode(logs[3], {"ONE", "TWO"}); }, 7},
        {"the same table on the log after it", [&] { add(a); decode(logs[4], {"ONE", "TWO"}); }, 7},
        {"a table on the log before it", [&] { decode(logs[1], {"ONE", "TWO"}); }, 7},
        {"an entry more on the middle one",
         [&] { logs[3]->get_static_plugin_mnemonics_table(1)->add_entry("3", "11"); }, 7},
        {"samples taken away", [&] { logs[3]->m_payload.reset(); logs[0]->m_payload.reset(); }, 7},
        {"the changed one taken out", [&] { logs[3]->remove(); }, 7},
        {"the first log taken out", [&] { logs[0]->remove(); }, 3 + 2},
        {"the lists cleared", [&] { logs[1]->m_wire_names.clear(); logs[4]->m_wire_names.clear(); }, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        const SDR_LOG_TALLY walked = walk(*trigger);
        const SDR_LOG_TALLY& kept = trigger->m_logs.tally();
        EXPECT_EQ(walked.wires, step.wires);
        EXPECT_EQ(kept.logs, walked.logs);
        EXPECT_EQ(kept.wires, walked.wires);
        EXPECT_EQ(kept.payload_bytes, walked.payload_bytes);
        EXPECT_EQ(kept.tables, walked.tables);
        EXPECT_EQ(kept.table_entries, walked.table_entries);
    }
}

// Logs that decode the same values hold one table's entries; a run's log counts the tables it
// expects until its post-acquisition processing ends; a table or an entry the document has no
// room for is refused with the reason, also when one more entry would make a table that shared
// its entries store them again.
TEST_F(sdr_log, decoder_tables_of_the_same_values_are_held_once_and_counted_as_they_are)
{
    const auto add = [this] {
        const std::string name = "l" + std::to_string(trigger->m_logs.size());
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, name));
        return trigger->m_logs.back().get();
    };
    const auto count = [this](SDR_FILE_ELEMENT element) {
        return SDR_FILE_LIMITS::count(*session.get_data_session(), element);
    };
    const auto refusal = [] { return SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal(); };
    SDR_DATA_MNEMONICS_TABLE* first = decode(log, {"A", "B"});
    SDR_DATA_MNEMONICS_TABLE* second = decode(add(), {"A", "B"});
    EXPECT_TRUE(second->get_content().entries.isSharedWith(first->get_content().entries));
    EXPECT_EQ(count(SDR_FILE_ELEMENT::TABLE), 1);

    SDR_DATA_LOG* run = add();
    SDR_LOG_TALLY expected;
    expected.tables = 1;
    expected.table_entries = 4;
    run->expect_static_tables(expected);
    EXPECT_EQ(count(SDR_FILE_ELEMENT::TABLE_ENTRY), 2 + 4);
    SDR_DATA_MNEMONICS_TABLE* third = decode(run, {"A", "B"});
    EXPECT_EQ(count(SDR_FILE_ELEMENT::TABLE), 2) << "what the run expects, until it is done";
    run->end_post_acq_processing();
    EXPECT_EQ(count(SDR_FILE_ELEMENT::TABLE), 1);
    EXPECT_EQ(count(SDR_FILE_ELEMENT::TABLE_ENTRY), 2);

    const qint64 tables = SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::TABLE);
    const qint64 entries = SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::TABLE_ENTRY);
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::TABLE_ENTRY), 3);
    EXPECT_FALSE(third->add_entry("C", "11")) << "its two shared entries and one more would be stored";
    EXPECT_NE(refusal().find("more than 3 mnemonic table entries"), std::string::npos);
    EXPECT_EQ(third->get_num_entries(), 2);
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::TABLE), 1);
    EXPECT_EQ(decode(add(), {"X"}), nullptr);
    EXPECT_NE(refusal().find("more than 1 mnemonic tables"), std::string::npos);
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::TABLE), tables);
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::TABLE_ENTRY), entries);
}
