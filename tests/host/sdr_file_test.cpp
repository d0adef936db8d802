// The analyzer file: every stored field survives save and open, damaged and hostile files are
// refused with a message naming the file, the entry and the problem, and a failed save
// leaves the previous file as it was.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sdr_file_control.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace sdr_file_test;

namespace
{
class sdr_file : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    static std::string s(const QString& text) { return text.toStdString(); }

    std::unique_ptr<SDR_DATA_SESSION> save_and_open(const SDR_DATA_SESSION& session, const QString& name)
    {
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(session, s(path(name)), &error)) << error;
        auto reread = sdr_read_session_file(s(path(name)), &error);
        EXPECT_NE(reread, nullptr) << error;
        return reread;
    }

    QTemporaryDir m_dir;
};

const SDR_DATA_TRIGGER* trigger_of(const SDR_DATA_SESSION& session, int instance, int set, int trigger)
{
    return session.m_instances[size_t(instance)]->m_signal_sets[size_t(set)]->m_triggers[size_t(trigger)].get();
}

bool same_records(const SDR_TREE_RECORD& a, const SDR_TREE_RECORD& b)
{
    if (a.attributes != b.attributes || a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!same_records(a.children[i], b.children[i]))
            return false;
    return true;
}

bool same_trees(const SDR_STORED_TREE& a, const SDR_STORED_TREE& b)
{
    if (a.present != b.present || a.attributes != b.attributes || a.roots.size() != b.roots.size())
        return false;
    for (size_t i = 0; i < a.roots.size(); ++i)
        if (!same_records(a.roots[i], b.roots[i]))
            return false;
    return true;
}

void expect_same_payload(const SDR_LOG_PAYLOAD& a, const SDR_LOG_PAYLOAD& b)
{
    EXPECT_EQ(a.depth, b.depth);
    EXPECT_EQ(a.channel_count, b.channel_count);
    EXPECT_EQ(a.segment_size, b.segment_size);
    EXPECT_EQ(a.trigger_position, b.trigger_position);
    EXPECT_EQ(a.segment_trigger_positions, b.segment_trigger_positions);
    EXPECT_EQ(a.channel_bits, b.channel_bits);
    EXPECT_EQ(a.valid_bits, b.valid_bits);
    EXPECT_EQ(a.trigger_bits, b.trigger_bits);
    EXPECT_EQ(a.break_bits, b.break_bits);
    EXPECT_EQ(a.connected, b.connected);
    EXPECT_EQ(a.state_value, b.state_value);
    EXPECT_EQ(a.flag_values, b.flag_values);
    EXPECT_EQ(a.counter_values, b.counter_values);
}
} // namespace

// Writing what was read must give the same archive: every field the writer stores is
// restored by the reader, entry for entry and byte for byte.
TEST_F(sdr_file, save_open_save_gives_the_same_archive)
{
    auto original = make_rich_session(s(path("a.vtl")));
    auto reread = save_and_open(*original, "a.vtl");
    ASSERT_NE(reread, nullptr);
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*reread, s(path("b.vtl")), &error)) << error;
    const auto first = read_archive(path("a.vtl"));
    const auto second = read_archive(path("b.vtl"));
    EXPECT_GE(first.size(), 8);
    EXPECT_EQ(first.keys(), second.keys());
    for (const QString& entry : first.keys())
        EXPECT_EQ(first.value(entry), second.value(entry)) << s(entry);
}

// A file whose instance or signal set names no parts gets default ones, made as if read: they
// save and open again the same.
TEST_F(sdr_file, default_parts_of_a_file_save_and_open_again_the_same)
{
    for (const char* body : {"<instance name=\"a\"/>", "<instance name=\"a\"><signal_set name=\"s\"/></instance>"})
    {
        SCOPED_TRACE(body);
        const QByteArray document =
            QByteArray("<vantrel format=\"vtl\" version=\"1\"><session>") + body + "</session></vantrel>";
        ASSERT_TRUE(write_archive(path("parts.vtl"), {{"document.xml", document}}));
        std::string error;
        auto opened = sdr_read_session_file(s(path("parts.vtl")), &error);
        ASSERT_NE(opened, nullptr) << error;
        ASSERT_TRUE(sdr_write_session_file(*opened, s(path("again.vtl")), &error)) << error;
        auto again = sdr_read_session_file(s(path("again.vtl")), &error);
        ASSERT_NE(again, nullptr) << error;
        again->m_name = opened->m_name;
        EXPECT_EQ(standin::sdr::compare_documents(*opened, *again), "");
    }
}

TEST_F(sdr_file, session_fields_embedded_files_and_mnemonics_round_trip)
{
    auto original = make_rich_session("unused");
    auto r = save_and_open(*original, "fields.vtl");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_name, s(path("fields.vtl")));
    EXPECT_TRUE(r->m_stripped);
    EXPECT_EQ(r->m_original_name, "/orig/ürsprung.vtl");
    EXPECT_TRUE(r->m_gui_logging);
    EXPECT_EQ(r->m_tx_gen2, 3);
    EXPECT_EQ(r->m_jtag_device_name, "@1: SIMDEV-A");
    EXPECT_EQ(r->m_global_data, original->m_global_data);
    ASSERT_EQ(r->m_embedded_files.size(), 2u);
    EXPECT_EQ(r->m_embedded_files[0].bytes, original->m_embedded_files[0].bytes);
    EXPECT_TRUE(r->m_embedded_files[0].has_inst_id_crc_info);
    EXPECT_EQ(r->m_embedded_files[0].inst_id_crc_info, "0000006E,DEADBEEF");
    EXPECT_FALSE(r->m_embedded_files[1].has_inst_id_crc_info);
    EXPECT_EQ(r->m_embedded_files[1].bytes, QByteArray(70000, 'z'));
    ASSERT_EQ(r->m_mnemonics.get_num_tables(), 2);
    SDR_DATA_MNEMONICS_TABLE* table = r->m_mnemonics.find_table("Zustände");
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->get_first_symbol("0111"), "läuft");
    EXPECT_EQ(r->m_mnemonics_saved_count, r->m_mnemonics.get_change_count());
    EXPECT_FALSE(r->is_modified());
}

TEST_F(sdr_file, instances_rows_and_power_up_data_round_trip)
{
    auto original = make_rich_session("unused");
    auto r = save_and_open(*original, "rows.vtl");
    ASSERT_NE(r, nullptr);
    const SDR_DATA_INSTANCE& in = *r->m_instances[1];
    EXPECT_TRUE(in.m_state.powerup_enabled);
    EXPECT_FALSE(in.m_older);
    EXPECT_TRUE(r->m_instances[0]->m_older);
    EXPECT_EQ(in.m_position_data[1], original->m_instances[1]->m_position_data[1]);
    EXPECT_EQ(in.m_active_signal_set, 1);
    ASSERT_EQ(in.m_plugin_groups.size(), 1u);
    EXPECT_EQ(*in.m_plugin_groups[0], *original->m_instances[1]->m_plugin_groups[0]);
    const SDR_NODE_LIST& rows = trigger_of(*r, 1, 0, 0)->state().trigger_list;
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].plugin_group, in.m_plugin_groups[0].get());
    EXPECT_EQ(in.m_signal_sets[1]->state().data_list[0].plugin_group, in.m_plugin_groups[0].get());
    EXPECT_EQ(rows[0].subtree_end, 2);
    EXPECT_EQ(rows[0].patterns[SDR_COPY_POWER_UP].comparisons[1].value2, 900);
    EXPECT_EQ(rows[1].patterns[SDR_COPY_POWER_UP].conditions[1], SDR_CTYPE_FALLING);
    EXPECT_EQ(rows[1].patterns[SDR_COPY_POWER_UP].sq_conditions[0], SDR_CTYPE_LOW);
    EXPECT_EQ(rows[1].debug_port_out, "dbg\x01out");
    EXPECT_EQ(rows[2].parent_row, 0) << "tree links are derived on reading, as the node lists keep them";
    EXPECT_EQ(rows[3].parent_row, -1);
    EXPECT_EQ(rows[2].display_type, SDR_NTYPE_LAST_MEMBER);
    const SDR_DATA_SIGNAL_SET& set = *in.m_signal_sets[0];
    EXPECT_EQ(set.state().data_list[3].wire_index, 2);
    ASSERT_EQ(set.get_data_wire_width(), 3);
    EXPECT_STREQ(set.get_data_wire_at(2)->get_name(), "top|clk");
    EXPECT_EQ(trigger_of(*r, 1, 0, 0)->state().trigger_out.hps_event_index, 7);
    EXPECT_EQ(trigger_of(*r, 1, 0, 0)->state().counters[0].initial, 4000000000u);
}

// The wires of a read signal set are made when asked for; a wire made by name before that
// comes after them and keeps its own name.
TEST_F(sdr_file, a_wire_made_on_a_read_signal_set_comes_after_the_leaves_wires)
{
    auto r = save_and_open(*make_rich_session("unused"), "wires.vtl");
    ASSERT_NE(r, nullptr);
    SDR_DATA_SIGNAL_SET& set = *r->m_instances[1]->m_signal_sets[0];
    ASSERT_EQ(set.get_data_wire_width(), 3);
    SDR_DATA_WIRE* made =
        set.create_wire("top|made", SDR_WTYPE_DATA_ONLY, SDR_TAP_PRE_SYNTHESIS, false, nullptr, false);
    ASSERT_NE(made, nullptr);
    std::vector<SDR_DATA_WIRE*> leaves;
    for (int i = 0; i < set.get_data_wire_width(); ++i)
        leaves.push_back(set.get_data_wire_at(i));
    EXPECT_STREQ(leaves[2]->get_name(), "top|clk");
    EXPECT_EQ(std::count(leaves.begin(), leaves.end(), made), 0);
    EXPECT_STREQ(made->get_name(), "top|made");
    EXPECT_EQ(made->m_capture_type, SDR_WTYPE_DATA_ONLY);
    EXPECT_EQ(set.get_data_wire_at(0), leaves[0]) << "a wire stays the same object";
}

TEST_F(sdr_file, logs_with_packed_samples_and_static_tables_round_trip)
{
    auto original = make_rich_session("unused");
    auto r = save_and_open(*original, "logs.vtl");
    ASSERT_NE(r, nullptr);
    const SDR_DATA_TRIGGER* before = trigger_of(*original, 0, 1, 0);
    const SDR_DATA_TRIGGER* after = trigger_of(*r, 0, 1, 0);
    ASSERT_EQ(after->m_logs.size(), 3u);
    ASSERT_NE(after->m_logs[0]->m_payload, nullptr);
    expect_same_payload(*before->m_logs[0]->m_payload, *after->m_logs[0]->m_payload);
    expect_same_payload(*before->m_logs[1]->m_payload, *after->m_logs[1]->m_payload);
    EXPECT_EQ(after->m_logs[2]->m_payload, nullptr);
    EXPECT_EQ(after->m_logs[0]->m_signal_set, r->m_instances[0]->m_signal_sets[1].get());
    EXPECT_EQ(after->m_logs[1]->m_signal_set, nullptr);
    EXPECT_TRUE(after->m_logs[1]->m_power_up);
    EXPECT_EQ(after->m_logs[1]->m_do_not_show, 1);
    EXPECT_EQ(after->m_logs[0]->m_wire_names, before->m_logs[0]->m_wire_names);
    EXPECT_EQ(after->m_active_log[1], 1);
    ASSERT_EQ(after->m_logs[0]->m_static_plugin_tables.count(40), 1u);
    EXPECT_STREQ(after->m_logs[0]->m_static_plugin_tables.at(40)->get_value("A"), "01");
}

TEST_F(sdr_file, stored_trees_keep_non_ascii_and_control_characters)
{
    auto original = make_rich_session("unused");
    auto r = save_and_open(*original, "trees.vtl");
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->m_tree_records_pending);
    const SDR_DATA_TRIGGER* before = trigger_of(*original, 1, 1, 0);
    const SDR_DATA_TRIGGER* after = trigger_of(*r, 1, 1, 0);
    ASSERT_EQ(after->m_stored_level_trees.size(), 3u);
    EXPECT_TRUE(same_trees(before->m_stored_level_trees[0], after->m_stored_level_trees[0]));
    EXPECT_TRUE(after->m_stored_level_trees[1].present);
    EXPECT_TRUE(after->m_stored_level_trees[1].roots.empty());
    EXPECT_FALSE(after->m_stored_level_trees[2].present);
    EXPECT_TRUE(same_trees(before->m_stored_sq_trees[1], after->m_stored_sq_trees[1]));
    EXPECT_FALSE(after->m_stored_sq_trees[0].present);
    EXPECT_TRUE(same_trees(before->m_stored_state_machine, after->m_stored_state_machine));
    EXPECT_EQ(after->m_stored_level_trees[0].roots[0].children[0].children[1].attributes[2].second, "0\t1\n");
    EXPECT_EQ(after->m_level_trees.size(), 3u);
    EXPECT_EQ(after->state().levels[1].name, "Mitte");
}

TEST_F(sdr_file, newer_document_unknown_content_and_missing_values)
{
    QFile xml(QStringLiteral(SEDQ_TEST_DATA_DIR "/host/cases/newer_with_unknown_content.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    ASSERT_TRUE(write_archive(path("newer.vtl"), {{"document.xml", xml.readAll()}, {"future/extra.bin", "x"}}));
    std::string error;
    auto r = sdr_read_session_file(s(path("newer.vtl")), &error);
    ASSERT_NE(r, nullptr) << error;
    ASSERT_EQ(r->m_instances.size(), 1u);
    const SDR_DATA_INSTANCE& in = *r->m_instances[0];
    EXPECT_TRUE(in.m_newer);
    EXPECT_TRUE(in.m_version_not_defined);
    EXPECT_EQ(r->m_jtag_chain_name, "Cable");
    const SDR_DATA_TRIGGER& t = *in.m_signal_sets[0]->m_triggers[0];
    EXPECT_EQ(t.state().levels.size(), 2u);
    EXPECT_EQ(t.state().levels[1].name, "Condition 2");
    ASSERT_EQ(t.state().trigger_list.size(), 2);
    EXPECT_EQ(t.state().trigger_list[1].patterns[SDR_COPY_NORMAL].conditions,
              (QVector<SDR_DATA_TRIGGER_CONDITION>{SDR_CTYPE_HIGH, SDR_CTYPE_DONT_CARE}));
    EXPECT_EQ(t.state().trigger_list[0].capture_type, SDR_WTYPE_DATA_AND_TRIGGER);
    EXPECT_EQ(in.m_signal_sets[0]->state().sample_depth, SDR_DEFAULT_SAMPLE_DEPTH);
}

// ---- refused files -----------------------------------------------------------------------

namespace
{
using ENTRIES = QMap<QString, QByteArray>;

struct refusal
{
    const char* label;
    std::function<void(ENTRIES*)> damage;
    const char* entry;
    const char* problem;
};

QString payload_name(const ENTRIES& entries)
{
    for (const QString& name : entries.keys())
        if (name.startsWith(QLatin1String("logs/")))
            return name;
    return QString();
}

void replace_in(ENTRIES* e, const QString& entry, const char* from, const char* to)
{
    QByteArray& bytes = (*e)[entry];
    const int at = bytes.indexOf(from);
    if (at >= 0)
        bytes.replace(at, int(qstrlen(from)), to);
}

void patch32(ENTRIES* e, int offset, quint32 value)
{
    QByteArray& bytes = (*e)[payload_name(*e)];
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xff);
}

QByteArray deep_document(int depth)
{
    QByteArray xml = "<vantrel version=\"1\"><session><instance name=\"i\"><signal_set name=\"s\"><trigger name=\"t\">"
                     "<level name=\"L\"><tree>";
    for (int i = 0; i < depth; ++i)
        xml += "<object><attribute key=\"type\" value=\"Node\"/>";
    for (int i = 0; i < depth; ++i)
        xml += "</object>";
    return xml + "</tree></level></trigger></signal_set></instance></session></vantrel>";
}

const refusal REFUSALS[] = {
    {"missing document", [](ENTRIES* e) { e->remove("document.xml"); }, "document.xml", "the entry is missing"},
    {"unclosed xml", [](ENTRIES* e) { (*e)["document.xml"] = "<vantrel version=\"1\">\n<session>\n<instance"; },
     "document.xml: line 3, column", ""},
    {"wrong root", [](ENTRIES* e) { (*e)["document.xml"] = "<spreadsheet/>"; }, "document.xml", "not an analyzer document"},
    {"bad number", [](ENTRIES* e) { replace_in(e, "document.xml", "active_signal_set=\"0\"", "active_signal_set=\"zero\""); },
     "document.xml: line", "bad number \"zero\""},
    {"enum out of range", [](ENTRIES* e) { replace_in(e, "document.xml", "<row ", "<row display_type=\"9\" "); },
     "document.xml", "out of range"},
    {"bad base64", [](ENTRIES* e) { replace_in(e, "document.xml", "name=\"auto_vantrel_0\"", "name_b64=\"@@not base64\""); },
     "document.xml", "bad base64"},
    {"deep nesting", [](ENTRIES* e) { (*e)["document.xml"] = deep_document(SDR_FILE_LIMITS::MAX_CONDITION_DEPTH + 1); },
     "document.xml", "nested deeper than 256 levels"},
    {"bad nesting of rows", [](ENTRIES* e) { replace_in(e, "document.xml", "<row ", "<row depth=\"3\" "); },
     "document.xml", "nested inconsistently"},
    {"active trigger missing", [](ENTRIES* e) { replace_in(e, "document.xml", "active_trigger=\"0\"", "active_trigger=\"4\""); },
     "document.xml", "does not exist"},
    {"missing payload", [](ENTRIES* e) { e->remove(payload_name(*e)); }, "logs/", "the entry is missing"},
    {"wrong payload version", [](ENTRIES* e) { (*e)[payload_name(*e)][4] = 7; }, "logs/", "unsupported payload version 7"},
    {"wrong payload header size", [](ENTRIES* e) { (*e)[payload_name(*e)][6] = 41; }, "logs/",
     "the payload header gives its size as 41 bytes; a version 1 header has 40"},
    {"bad magic", [](ENTRIES* e) { (*e)[payload_name(*e)][0] = 'X'; }, "logs/", "bad magic"},
    {"truncated payload", [](ENTRIES* e) { (*e)[payload_name(*e)].chop(3); }, "logs/", "the counts need"},
    {"header shorter than its size", [](ENTRIES* e) { (*e)[payload_name(*e)].truncate(20); }, "logs/", "truncated"},
    {"huge counts", [](ENTRIES* e) { patch32(e, 8, 1u << 30), patch32(e, 12, 0xFFFF); }, "logs/", "the counts need"},
    {"channel count too large", [](ENTRIES* e) { patch32(e, 12, 0x7FFFFFFF); }, "logs/", "channel count 2147483647 is too large"},
    {"counts differ from document", [](ENTRIES* e) { replace_in(e, "document.xml", "depth=\"8\"", "depth=\"16\""); },
     "logs/", "do not match document.xml"},
    {"embedded file size differs",
     [](ENTRIES* e) {
         (*e)["embedded/x.bin"] = "12345";
         replace_in(e, "document.xml", "<embedded_files/>",
                    "<embedded_files><file name=\"x\" entry=\"embedded/x.bin\" size=\"3\"/></embedded_files>");
     },
     "embedded/x.bin", "the entry holds 5 bytes, but document.xml says 3"},
};
} // namespace

TEST_F(sdr_file, damaged_and_hostile_files_are_refused_with_a_clear_message)
{
    auto small = make_small_session("small");
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*small, s(path("good.vtl")), &error)) << error;
    const ENTRIES good = read_archive(path("good.vtl"));
    ASSERT_FALSE(payload_name(good).isEmpty());
    for (const refusal& r : REFUSALS) {
        ENTRIES damaged = good;
        r.damage(&damaged);
        const QString bad = path(QStringLiteral("bad.vtl"));
        QFile::remove(bad);
        ASSERT_TRUE(write_archive(bad, damaged)) << r.label;
        error.clear();
        EXPECT_EQ(sdr_read_session_file(s(bad), &error), nullptr) << r.label;
        EXPECT_EQ(error.rfind(s(bad) + ": ", 0), 0u) << r.label << ": " << error;
        EXPECT_NE(error.find(r.entry), std::string::npos) << r.label << ": " << error;
        EXPECT_NE(error.find(r.problem), std::string::npos) << r.label << ": " << error;
    }
}

TEST_F(sdr_file, files_that_are_not_archives_or_are_corrupt_are_refused)
{
    std::string error;
    QFile text(path("text.vtl"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not an archive at all, just some text\n");
    text.close();
    EXPECT_EQ(sdr_read_session_file(s(path("text.vtl")), &error), nullptr);
    EXPECT_NE(error.find("not a ZIP archive"), std::string::npos) << error;
    EXPECT_EQ(sdr_read_session_file(s(path("missing.vtl")), &error), nullptr);
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

    auto small = make_small_session("small");
    ASSERT_TRUE(sdr_write_session_file(*small, s(path("flip.vtl")), &error)) << error;
    QByteArray raw = file_bytes(path("flip.vtl"));
    const int header = raw.indexOf("VTLP");
    ASSERT_GT(header, 0);
    raw[header + 41] = char(raw[header + 41] ^ 0x10);
    QFile flipped(path("flip.vtl"));
    ASSERT_TRUE(flipped.open(QIODevice::WriteOnly));
    flipped.write(raw);
    flipped.close();
    // The samples are checked when first read: the document opens, the log reads as empty.
    auto opened = sdr_read_session_file(s(path("flip.vtl")), &error);
    ASSERT_NE(opened, nullptr) << error;
    const SDR_PAYLOAD_HANDLE& samples = opened->m_instances[0]->m_signal_sets[0]->m_triggers[0]->m_logs[0]->m_payload;
    EXPECT_EQ(samples.get(), nullptr);
    EXPECT_NE(samples.problem().indexOf("logs/"), -1) << qPrintable(samples.problem());
    EXPECT_NE(samples.problem().indexOf("corrupt"), -1) << qPrintable(samples.problem());
}

// ---- failed saves ------------------------------------------------------------------------

TEST_F(sdr_file, a_failed_save_leaves_the_previous_file_byte_for_byte)
{
    auto small = make_small_session("small");
    auto rich = make_rich_session("rich");
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*small, s(path("keep.vtl")), &error)) << error;
    const QByteArray before = file_bytes(path("keep.vtl"));
    const standin::sdr_file::save_fault faults[] = {standin::sdr_file::save_fault::create_temporary,
                                                    standin::sdr_file::save_fault::write_entry,
                                                    standin::sdr_file::save_fault::rename};
    for (auto fault : faults) {
        standin::sdr_file::fail_next_save(fault);
        EXPECT_FALSE(sdr_write_session_file(*rich, s(path("keep.vtl")), &error)) << int(fault);
        EXPECT_EQ(error.rfind(s(path("keep.vtl")), 0), 0u) << error;
        EXPECT_EQ(file_bytes(path("keep.vtl")), before) << int(fault);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"keep.vtl"}) << int(fault);
    }
    ASSERT_TRUE(sdr_write_session_file(*rich, s(path("keep.vtl")), &error)) << error;
    EXPECT_NE(file_bytes(path("keep.vtl")), before);
}

TEST_F(sdr_file, saving_into_an_unwritable_place_fails)
{
    auto small = make_small_session("small");
    std::string error;
    EXPECT_FALSE(sdr_write_session_file(*small, s(path("no/such/folder/x.vtl")), &error));
    EXPECT_NE(error.find("folder does not exist"), std::string::npos) << error;

    ASSERT_TRUE(sdr_write_session_file(*small, s(path("plain.vtl")), &error)) << error;
    EXPECT_FALSE(sdr_write_session_file(*small, s(path("plain.vtl/inside.vtl")), &error));
    EXPECT_NE(error.find("a part of its path is not a folder"), std::string::npos) << error;

    // A folder the user cannot enter is there: saving says what opening says.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("closed"));
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path("closed"), QFileDevice::Permissions()));
    for (const char* inside : {"closed/x.vtl", "closed/deeper/x.vtl"})
    {
        const sdr_file_test::as_ordinary_user user;
        EXPECT_FALSE(sdr_write_session_file(*small, s(path(inside)), &error)) << inside;
        EXPECT_NE(error.find("permission denied: a folder on its path cannot be entered"), std::string::npos)
            << inside << ": " << error;
    }
    ASSERT_TRUE(QFile::setPermissions(path("closed"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner));

    ASSERT_TRUE(sdr_write_session_file(*small, s(path("locked.vtl")), &error)) << error;
    const QByteArray before = file_bytes(path("locked.vtl"));
    QFile::setPermissions(path("locked.vtl"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    auto rich = make_rich_session("rich");
    EXPECT_FALSE(sdr_write_session_file(*rich, s(path("locked.vtl")), &error));
    EXPECT_NE(error.find("cannot be written"), std::string::npos) << error;
    EXPECT_EQ(file_bytes(path("locked.vtl")), before);
}

// Large sample blocks are checked when read: a damaged byte there is still found and named, and
// the bits past the last sample are cleared only after the check, which covers the bytes as
// stored.
TEST_F(sdr_file, large_sample_blocks_are_checked_and_their_padding_cleared_after_reading)
{
    auto session = make_small_session("large");
    SDR_DATA_TRIGGER* trigger = session->m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
    auto payload = make_payload(65533, 40, 3); // 8192 bytes a channel, 3 bits of padding each
    for (int c = 0; c < payload->channel_count; ++c)
        payload->channel_bits[c * payload->row_bytes() + payload->row_bytes() - 1] = char(0xff);
    trigger->m_logs[0]->m_payload = payload;
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*session, s(path("large.vtl")), &error)) << error;

    auto back = sdr_read_session_file(s(path("large.vtl")), &error);
    ASSERT_NE(back, nullptr) << error;
    const SDR_LOG_PAYLOAD& read =
        *back->m_instances[0]->m_signal_sets[0]->m_triggers[0]->m_logs[0]->m_payload;
    EXPECT_EQ(read.channel_bits.size(), payload->channel_bits.size());
    for (int c = 0; c < read.channel_count; ++c)
        ASSERT_EQ(uchar(read.channel_bits.at(c * read.row_bytes() + read.row_bytes() - 1)), 0x1fu) << c;
    EXPECT_EQ(read.channel_bits.left(8000), payload->channel_bits.left(8000));

    QByteArray raw = file_bytes(path("large.vtl"));
    const int header = raw.indexOf("VTLP");
    ASSERT_GT(header, 0);
    raw[header + 40 + 200000] = char(raw[header + 40 + 200000] ^ 0x01);
    ASSERT_TRUE(write_file(path("large.vtl"), raw));
    auto damaged = sdr_read_session_file(s(path("large.vtl")), &error);
    ASSERT_NE(damaged, nullptr) << error;
    const SDR_PAYLOAD_HANDLE& samples = damaged->m_instances[0]->m_signal_sets[0]->m_triggers[0]->m_logs[0]->m_payload;
    EXPECT_EQ(samples.get(), nullptr);
    EXPECT_NE(samples.problem().indexOf("logs/"), -1) << qPrintable(samples.problem());
    EXPECT_NE(samples.problem().indexOf("the data is corrupt: CRC error"), -1) << qPrintable(samples.problem());
}
