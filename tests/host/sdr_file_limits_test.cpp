// The one table of what an analyzer file may hold, walked limit by limit through the
// repository's own edits and acquisitions: at each limit the document saves and opens again as
// it was; one step past it the edit is refused where it is made, with the reason, and the
// document stays as it was. Limits no edit reaches alone are held by the writer: it refuses to
// save past them and leaves the previous file. Limits too large to reach in a test are lowered
// through the file layer's seam, which the reader, the writer and the edits all answer to.
#include "sdr_file_test_support.h"

#include "host/sdr.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/sdr/sdr_file_xml_output.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sdr_file_control.h"
#include "host/standin/standin.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <functional>
#include <sstream>

using namespace sdr_file_test;

namespace
{
const qint64 TEXT = SDR_FILE_LIMITS::MAX_XML_VALUE;

class sdr_file_limits : public ::testing::Test
{
public:
    void SetUp() override { fresh(); }
    void TearDown() override
    {
        m_session.reset();
        standin::reset_all();
    }

    // A new document of one instance, logging on, and every limit as the table gives it.
    void fresh()
    {
        TearDown();
        m_session = std::make_unique<SDR_TX_SESSION>(nullptr, false);
        ASSERT_TRUE(m_session->create_session(path("doc.vtl").c_str()));
        m_session->set_gui_logging(true);
    }

    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    SDR_TX_SESSION& session() { return *m_session; }
    SDR_TX_TRIGGER* trigger(int entry = 0) { return m_session->get_trigger_at(entry, false); }
    SDR_DATA_SESSION& data() { return *m_session->get_data_session(); }

    // One edit of the first instance, inside its bracket.
    bool edit(const std::function<bool()>& change, int entry = 0)
    {
        SDR_TX_INSTANCE* instance = m_session->get_instance_at(entry, false);
        instance->begin_action();
        const bool done = change();
        instance->end_action();
        return done;
    }

    // A run's new log, filled with samples of its signal set's nodes.
    bool run()
    {
        SDR_DATA_LOG* log = m_session->create_new_log(0);
        if (log == nullptr)
            return false;
        standin::sdr::log_spec samples;
        samples.depth = SDR_DEFAULT_SAMPLE_DEPTH;
        samples.channels.assign(log->m_wire_names.size(), "10110011");
        log->m_payload = standin::sdr::make_payload(samples);
        m_session->forget_replaced_log(log);
        return true;
    }

    // Saves, opens the file again and compares: "" when the reopened document is the same.
    std::string save_and_reopen()
    {
        std::string error;
        if (!m_session->save_session(path("doc.vtl").c_str()))
            return "save: " + m_session->get_last_error();
        auto again = sdr_read_session_file(path("doc.vtl"), &error);
        if (!again)
            return "reopen: " + error;
        again->m_name = data().m_name;
        return difference(standin::sdr::dump_document(data()), standin::sdr::dump_document(*again));
    }

    // The first line that differs; a condition marked as storing no tree is the same as one
    // that has none.
    static std::string difference(const std::string& saved, const std::string& opened)
    {
        const auto lines = [](const std::string& dump) {
            std::vector<std::string> kept;
            std::istringstream in(dump);
            for (std::string line; std::getline(in, line);)
                if (line.find(".tree.present: false") == std::string::npos)
                    kept.push_back(line);
            return kept;
        };
        const std::vector<std::string> a = lines(saved), b = lines(opened);
        for (size_t i = 0; i < std::max(a.size(), b.size()); ++i)
            if (i >= a.size() || i >= b.size() || a[i] != b[i])
                return (i < a.size() ? a[i] : "(end)") + " <> " + (i < b.size() ? b[i] : "(end)");
        return "";
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SDR_TX_SESSION> m_session;
};

struct limit_case
{
    const char* name;
    int element;                    // an SDR_FILE_ELEMENT to lower, -1 the payload total, -2 none
    long long lowered_to;
    std::function<bool(sdr_file_limits&)> reach; // edits up to the limit, each accepted
    std::function<bool(sdr_file_limits&)> pass;  // one edit past it
    const char* reason;
};

// A name of `size` bytes of `c`.
std::string text(qint64 size, char c = 'n')
{
    return std::string(size_t(size), c);
}

bool add_node(sdr_file_limits& t, const std::string& name)
{
    return t.trigger()->add_node(name.c_str(), SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false);
}

bool add_nodes(sdr_file_limits& t, int count)
{
    for (int i = 0; i < count; ++i)
        if (!add_node(t, "n" + std::to_string(i)))
            return false;
    return true;
}

// Two nodes grouped in the data list as a decoder plug-in group: each run's log gets the group's
// decoder table when it is shown, which a run leaves room for (one table, four values).
bool add_decoder_group(sdr_file_limits& t)
{
    SDR_TX_SIGNAL_SET* data_list = t.session().get_signal_set_at(0, false);
    return add_nodes(t, 2) && t.edit([data_list] {
               return data_list->group_node(0, 1) && data_list->create_plugin_group(0) != nullptr &&
                      data_list->set_group_display_type(0, SDR_GTYPE_PLUGIN);
           });
}

// A run whose log is then decoded as the window shows it: the decoder names these values.
bool decoded_run(sdr_file_limits& t, const std::vector<const char*>& symbols)
{
    if (!t.run())
        return false;
    SDR_DATA_LOG* log = t.data().m_instances[0]->get_active_log(false);
    const int id = t.session().get_signal_set_at(0, false)->get_plugin_group(0)->get_plugin_id();
    SDR_DATA_MNEMONICS_TABLE* table = log->create_static_plugin_mnemonics_table(2, id);
    bool added = table != nullptr;
    for (size_t i = 0; added && i < symbols.size(); ++i)
        added = table->add_entry(symbols[i], std::bitset<2>(i).to_string().c_str());
    log->end_post_acq_processing();
    return added;
}

// The table as the issue walks it: every limit an edit or a run can reach.
std::vector<limit_case> edit_cases()
{
    using T = sdr_file_limits;
    const int ELEMENT_NONE = -2;
    auto lowered = [](SDR_FILE_ELEMENT e) { return int(e); };
    return {
        {"node name", ELEMENT_NONE, 0, [](T& t) { return add_node(t, text(TEXT)); },
         [](T& t) { return add_node(t, text(TEXT + 1, 'm')); }, "the node name of 8388609 bytes is longer than the 8388608"},
        {"node name of escaped characters", ELEMENT_NONE, 0, [](T& t) { return add_node(t, text(TEXT / 5, '&')); },
         [](T& t) { return add_node(t, text(TEXT / 5 + 1, '"')); }, "longer than the 8388608 bytes a text"},
        {"node name kept in base64", ELEMENT_NONE, 0, [](T& t) { return add_node(t, "\x01" + text(TEXT / 4 * 3 - 1)); },
         [](T& t) { return add_node(t, "\x01" + text(TEXT / 4 * 3)); }, "the node name of 8388612 bytes"},
        {"alias", ELEMENT_NONE, 0,
         [](T& t) { return add_node(t, "a") && t.edit([&t] { return t.trigger()->set_node_alias(0, text(TEXT).c_str()); }); },
         [](T& t) { return t.edit([&t] { return t.trigger()->set_node_alias(0, text(TEXT + 1, 'b').c_str()); }); },
         "the alias of 8388609 bytes"},
        {"trigger condition name", ELEMENT_NONE, 0,
         [](T& t) { return t.edit([&t] { return t.trigger()->set_level_name(0, text(TEXT).c_str()); }); },
         [](T& t) { return t.edit([&t] { return t.trigger()->set_level_name(0, text(TEXT + 1, 'c').c_str()); }); },
         "the trigger condition name of 8388609 bytes"},
        {"instance name", ELEMENT_NONE, 0,
         [](T& t) { return t.edit([&t] { return t.data().m_instances[0]->set_name(text(TEXT).c_str()); }); },
         [](T& t) { return t.edit([&t] { return t.data().m_instances[0]->set_name(text(TEXT + 1, 'i').c_str()); }); },
         "the instance name of 8388609 bytes"},
        {"flags of a trigger", ELEMENT_NONE, 0, [](T& t) { return t.edit([&t] { return t.trigger()->set_flag_count(256); }); },
         [](T& t) { return t.edit([&t] { return t.trigger()->set_flag_count(257); }); }, "at most 256 flags"},
        {"flags of a document", lowered(SDR_FILE_ELEMENT::FLAG), 300,
         [](T& t) {
             return t.session().create_vantrel_instance() == 1 && t.edit([&t] { return t.trigger(0)->set_flag_count(256); }) &&
                    t.edit([&t] { return t.trigger(1)->set_flag_count(44); }, 1);
         },
         [](T& t) { return t.edit([&t] { return t.trigger(1)->set_flag_count(45); }, 1); },
         "more than 300 flags, the most an analyzer file may hold"},
        {"counters of a document", lowered(SDR_FILE_ELEMENT::COUNTER), 10,
         [](T& t) { return t.edit([&t] { return t.trigger()->set_counter_count(10); }); },
         [](T& t) { return t.edit([&t] { return t.trigger()->set_counter_count(11); }); }, "more than 10 counters"},
        {"node rows of a list", ELEMENT_NONE, 0,
         [](T& t) {
             // All but the last row as a file would hold them; the last one added as an edit.
             SDR_DATA_TRIGGER* trigger = t.data().m_instances[0]->get_active_trigger();
             for (int i = 1; i < SDR_FILE_LIMITS::MAX_ROWS_PER_LIST; ++i)
                 standin::sdr::add_node(trigger, {"f" + std::to_string(i), SDR_STYPE_PLAIN, SDR_WTYPE_TRIGGER_ONLY});
             t.session().rebuild_entries();
             return add_nodes(t, 1);
         },
         [](T& t) { return add_node(t, "one more"); }, "the node list would hold more than 65536 rows"},
        {"node rows of a document", lowered(SDR_FILE_ELEMENT::ROW), 6, [](T& t) { return add_nodes(t, 3); },
         [](T& t) { return add_node(t, "one more"); }, "more than 6 node rows"},
        {"instances", lowered(SDR_FILE_ELEMENT::INSTANCE), 3,
         [](T& t) { return t.session().create_vantrel_instance() == 1 && t.session().create_vantrel_instance() == 2; },
         [](T& t) { return t.session().create_vantrel_instance() >= 0; }, "more than 3 instances"},
        {"signal sets", lowered(SDR_FILE_ELEMENT::SIGNAL_SET), 2,
         [](T& t) {
             SDR_DATA_SIGNAL_SET* set = t.data().m_instances[0]->create_signal_set(nullptr, false);
             return set != nullptr && set->create_trigger(nullptr, false) != nullptr;
         },
         [](T& t) { return t.data().m_instances[0]->create_signal_set(nullptr, false) != nullptr; },
         "more than 2 signal sets"},
        {"triggers", lowered(SDR_FILE_ELEMENT::TRIGGER), 2,
         [](T& t) { return t.data().m_instances[0]->m_signal_sets[0]->create_trigger(nullptr, false) != nullptr; },
         [](T& t) { return t.data().m_instances[0]->m_signal_sets[0]->create_trigger(nullptr, false) != nullptr; },
         "more than 2 triggers"},
        {"data logs", lowered(SDR_FILE_ELEMENT::LOG), 3, [](T& t) { return add_node(t, "a") && t.run() && t.run() && t.run(); },
         [](T& t) { return t.run(); }, "more than 3 data logs"},
        // Runs on the same wires share their names: only a changed list adds names.
        {"node names of data logs", lowered(SDR_FILE_ELEMENT::WIRE), 5,
         [](T& t) { return add_nodes(t, 2) && t.run() && t.run() && add_node(t, "n2") && add_node(t, "n3"); }, [](T& t) { return t.run(); },
         "more than 5 node names in data logs"},
        {"samples of a document", -1, 2 * SDR_FILE_LIMITS::payload_size(SDR_DEFAULT_SAMPLE_DEPTH, 2, 1, 0, 0),
         [](T& t) { return add_nodes(t, 2) && t.run() && t.run(); }, [](T& t) { return t.run(); },
         "the samples of the document would take more than the 250 bytes"},
        {"copies of data logs", -1, 2 * SDR_FILE_LIMITS::payload_size(SDR_DEFAULT_SAMPLE_DEPTH, 2, 1, 0, 0),
         [](T& t) { return add_nodes(t, 2) && t.run() && t.session().save_to_log(0); },
         [](T& t) { return t.session().save_to_log(0); }, "the samples of the document would take more than the 250 bytes"},
        {"mnemonic tables", lowered(SDR_FILE_ELEMENT::TABLE), 2,
         [](T& t) {
             return t.edit([&t] { return t.data().get_mnemonics()->create_table("one", 2) != nullptr; }) &&
                    t.edit([&t] { return t.data().get_mnemonics()->create_table("two", 2) != nullptr; });
         },
         [](T& t) { return t.edit([&t] { return t.data().get_mnemonics()->create_table("three", 2) != nullptr; }); },
         "more than 2 mnemonic tables"},
        {"mnemonic table entries", lowered(SDR_FILE_ELEMENT::TABLE_ENTRY), 2,
         [](T& t) {
             return t.edit([&t] {
                 SDR_DATA_MNEMONICS_TABLE* table = t.data().get_mnemonics()->create_table("one", 2);
                 return table != nullptr && table->add_entry("A", "00") && table->add_entry("B", "01");
             });
         },
         [](T& t) { return t.edit([&t] { return t.data().get_mnemonics()->get_table(0)->add_entry("C", "10"); }); },
         "more than 2 mnemonic table entries"},
        // Runs that decode the same values add no table; a run needs room for what it may decode.
        {"decoder tables of data logs", lowered(SDR_FILE_ELEMENT::TABLE), 3,
         [](T& t) {
             return add_decoder_group(t) &&
                    t.edit([&t] { return t.data().get_mnemonics()->create_table("one", 2) != nullptr; }) &&
                    decoded_run(t, {"A"}) && decoded_run(t, {"A"}) && decoded_run(t, {"B"});
         },
         [](T& t) { return t.run(); }, "the document would hold more than 3 mnemonic tables"},
        {"decoder table entries", lowered(SDR_FILE_ELEMENT::TABLE_ENTRY), 6,
         [](T& t) {
             return add_decoder_group(t) && decoded_run(t, {"A", "B"}) && decoded_run(t, {"A", "B"}) &&
                    decoded_run(t, {"C", "D"});
         },
         [](T& t) { return t.run(); }, "the document would hold more than 6 mnemonic table entries"},
        {"embedded programming files", lowered(SDR_FILE_ELEMENT::EMBEDDED_FILE), 1,
         [](T& t) { return write_file(QString::fromStdString(t.path("a.sof")), "sof") && t.session().embed_sof_file(t.path("a.sof").c_str(), "a.sof"); },
         [](T& t) { return t.session().embed_sof_file(t.path("a.sof").c_str(), "b.sof"); },
         "more than 1 embedded programming files"},
        {"decoder plug-in settings", lowered(SDR_FILE_ELEMENT::PLUGIN_GROUP), 1,
         [](T& t) {
             return add_nodes(t, 4) && t.edit([&t] { return t.trigger()->group_node(0, 1) && t.trigger()->group_node(3, 4); }) &&
                    t.edit([&t] { return t.trigger()->create_plugin_group(0) != nullptr; });
         },
         [](T& t) { return t.edit([&t] { return t.trigger()->create_plugin_group(3) != nullptr; }); },
         "more than 1 decoder plug-in settings"},
    };
}
} // namespace

TEST_F(sdr_file_limits, every_limit_an_edit_or_a_run_reaches_saves_at_it_and_refuses_past_it)
{
    for (const limit_case& c : edit_cases())
    {
        SCOPED_TRACE(c.name);
        fresh();
        if (c.element != -2)
            standin::sdr_file::lower_limit(c.element, c.lowered_to);
        ASSERT_TRUE(c.reach(*this));
        EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal(), "");
        ASSERT_EQ(save_and_reopen(), "");
        const std::string before = standin::sdr::dump_document(data());
        EXPECT_FALSE(c.pass(*this));
        const std::string refusal = SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal();
        EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
        EXPECT_EQ(standin::sdr::dump_document(data()), before) << "the refused edit changes nothing";
        EXPECT_EQ(save_and_reopen(), "");
    }
}

// The writer counts what it writes as the reader will, and never writes a file the reader
// refuses: past a limit no single edit reaches, the save fails with the limit and the previous
// file stays; at the limit the file saves and opens again.
TEST_F(sdr_file_limits, the_writer_refuses_to_save_past_a_limit_and_keeps_the_previous_file)
{
    const auto tree = [](int objects) {
        SDR_STORED_TREE stored;
        stored.present = true;
        for (int i = 0; i < objects; ++i)
            stored.roots.push_back(SDR_TREE_RECORD{{{"type", "1"}}, {}});
        return stored;
    };
    struct writer_case
    {
        const char* name;
        SDR_FILE_ELEMENT element;
        long long lowered_to;
        std::function<void(SDR_DATA_SESSION&, int)> fill; // makes `count` elements of the kind
        const char* reason;
    };
    const writer_case cases[] = {
        {"advanced trigger objects", SDR_FILE_ELEMENT::TREE_OBJECT, 3,
         [&tree](SDR_DATA_SESSION& s, int n) { s.m_instances[0]->get_active_trigger()->m_stored_level_trees = {tree(n)}; },
         "more than 3 <object> elements"},
        {"their attributes", SDR_FILE_ELEMENT::TREE_ATTRIBUTE, 3,
         [&tree](SDR_DATA_SESSION& s, int n) { s.m_instances[0]->get_active_trigger()->m_stored_level_trees = {tree(n)}; },
         "more than 3 <attribute> elements"},
    };
    for (const writer_case& c : cases)
    {
        SCOPED_TRACE(c.name);
        fresh();
        standin::sdr_file::lower_limit(int(c.element), c.lowered_to);
        c.fill(data(), int(c.lowered_to));
        ASSERT_EQ(save_and_reopen(), "");
        const QByteArray saved = file_bytes(QString::fromStdString(path("doc.vtl")));
        c.fill(data(), int(c.lowered_to) + 1);
        EXPECT_FALSE(session().save_session(path("doc.vtl").c_str()));
        EXPECT_NE(session().get_last_error().find(c.reason), std::string::npos) << session().get_last_error();
        EXPECT_EQ(file_bytes(QString::fromStdString(path("doc.vtl"))), saved);
    }
}

// The size a text takes in the file is what the reader measures: the writer's own output.
TEST(sdr_file_limits_text, the_stored_size_of_a_text_is_what_the_file_holds)
{
    for (const std::string& value : {std::string("plain"), std::string("<&>\"'"), std::string("tab\tline\nret\r"),
                                     std::string("\x01\x02 control"), std::string("\xff\xfe not utf-8"),
                                     std::string("\xc3\xa4 umlaut")})
    {
        QByteArray document;
        {
            SDR_FILE_XML_OUTPUT out(&document);
            out.start("e");
            out.text("v", value);
            out.end();
        }
        const int open = document.indexOf('"');
        const int close = document.lastIndexOf('"');
        EXPECT_EQ(SDR_FILE_XML_OUTPUT::stored_size(value), qint64(close - open - 1)) << value;
    }
}

// A log holds a value of each flag and counter of its trigger, as many as a document may hold:
// a flow of more than 65,536 flags (a document's own, opened from a file) logs them all, saves,
// and opens again.
TEST_F(sdr_file_limits, a_log_of_a_flow_with_as_many_flags_as_a_document_holds_opens_again)
{
    const qint64 most = SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::FLAG);
    SDR_DATA_TRIGGER* trigger = data().m_instances[0]->get_active_trigger();
    trigger->edit_transient().flags.resize(size_t(most));
    trigger->edit_transient().counters.resize(size_t(SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::COUNTER)));
    standin::sdr::log_spec samples;
    samples.depth = 8;
    samples.channels = {"10110011"};
    samples.flags.assign(size_t(most), 1);
    samples.counters.assign(trigger->state().counters.size(), 7u);
    standin::sdr::make_log(trigger, samples);
    EXPECT_EQ(save_and_reopen(), "");
}

// A night of autorun: 300,000 runs on the 24 wires of one signal set, each log with its
// samples, as the engine installs them. Every run starts (the document holds the wire names
// once, and has room for that many logs), the document saves, and it opens again with every log,
// its samples' counts and the one list of names; the next run after the open starts too.
TEST_F(sdr_file_limits, a_night_of_runs_saves_and_opens_again)
{
    constexpr int RUNS = 300000;
    constexpr int WIRES = 24;
    ASSERT_TRUE(add_nodes(*this, WIRES));
    standin::sdr::log_spec samples;
    samples.depth = 8;
    samples.channels.assign(WIRES, "10110011");
    const auto payload = standin::sdr::make_payload(samples);
    for (int run = 0; run < RUNS; ++run) {
        SDR_DATA_LOG* log = session().create_new_log(0);
        ASSERT_NE(log, nullptr) << "run " << run << ": "
                                << SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal();
        log->m_payload = payload;
        session().forget_replaced_log(log);
    }
    EXPECT_EQ(SDR_FILE_LIMITS::count(data(), SDR_FILE_ELEMENT::LOG), RUNS);
    EXPECT_EQ(SDR_FILE_LIMITS::count(data(), SDR_FILE_ELEMENT::WIRE), WIRES);
    ASSERT_TRUE(session().save_session(path("doc.vtl").c_str())) << session().get_last_error();
    std::string error;
    auto opened = sdr_read_session_file(path("doc.vtl"), &error);
    ASSERT_NE(opened, nullptr) << error;
    const SDR_DATA_TRIGGER* trigger = opened->m_instances[0]->get_active_trigger();
    ASSERT_EQ(trigger->get_num_logs(), RUNS);
    EXPECT_EQ(SDR_FILE_LIMITS::count(*opened, SDR_FILE_ELEMENT::WIRE), WIRES);
    EXPECT_EQ(SDR_FILE_LIMITS::payload_bytes(*opened), SDR_FILE_LIMITS::payload_bytes(data()));
    for (int log : {0, RUNS / 2, RUNS - 1}) {
        EXPECT_TRUE(trigger->get_log_at(log)->m_wire_names.shares(trigger->get_log_at(0)->m_wire_names)) << log;
        EXPECT_EQ(trigger->get_log_at(log)->get_data_sample_depth(), 8) << log;
    }
    m_session.reset();
    m_session = std::make_unique<SDR_TX_SESSION>(nullptr, false);
    ASSERT_TRUE(session().open_session(path("doc.vtl").c_str())) << session().get_last_error();
    EXPECT_TRUE(run());
    EXPECT_EQ(data().m_instances[0]->get_active_trigger()->get_num_logs(), RUNS + 1);
}
