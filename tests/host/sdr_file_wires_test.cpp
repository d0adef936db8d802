// Wire names of data logs in the analyzer file: a log acquired from the same wires as the log
// before it in its trigger stores them once (same_wires), a log whose wires changed names its
// own, and files in which every log names its wires still read as before. A reference to no
// list, or one beside wires of its own, is refused; every copy counts against the document's
// limits as the names it stands for, in the writer and the reader alike.
#include "sdr_file_test_support.h"

#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_document_writer.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sdr_file_control.h"
#include "host/standin/standin.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace sdr_file_test;

namespace
{
using WIRES = std::vector<std::string>;

// How document.xml holds one log's wire names.
struct STORED
{
    bool shared;
    int wires; // <wire> elements of its own
    bool operator==(const STORED& other) const { return shared == other.shared && wires == other.wires; }
};

std::ostream& operator<<(std::ostream& out, const STORED& s)
{
    return out << (s.shared ? "shared" : "own") << " " << s.wires;
}

// Every <log> of document.xml, in order.
std::vector<STORED> stored_logs(const QByteArray& document)
{
    std::vector<STORED> logs;
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("log"))
            logs.push_back(STORED{xml.attributes().value(QLatin1String("same_wires")) == QLatin1String("1"), 0});
        else if (xml.name() == QLatin1String("wire") && !logs.empty())
            ++logs.back().wires;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return logs;
}

// Every log's wire names, trigger by trigger.
std::vector<WIRES> wire_lists(const SDR_DATA_SESSION& session)
{
    std::vector<WIRES> lists;
    for (const auto& set : session.m_instances[0]->m_signal_sets)
        for (const auto& trigger : set->m_triggers)
            for (const auto& log : trigger->m_logs)
                lists.push_back(log->m_wire_names);
    return lists;
}

// The start of a document of `version` up to its first trigger's content.
QByteArray trigger_head(int version = SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION)
{
    return "<vantrel format=\"vtl\" version=\"" + QByteArray::number(version) +
           "\"><session><instance name=\"i\"><signal_set name=\"s\"><trigger name=\"t\">";
}
const QByteArray TRIGGER_TAIL = "</trigger></signal_set></instance></session></vantrel>";

QByteArray log_of(const char* name, const WIRES& wires, bool shared = false)
{
    QByteArray xml = QByteArray("<log name=\"") + name + "\"" + (shared ? " same_wires=\"1\"" : "");
    if (wires.empty())
        return xml + "/>";
    xml += ">";
    for (const std::string& wire : wires)
        xml += "<wire name=\"" + QByteArray::fromStdString(wire) + "\"/>";
    return xml + "</log>";
}

class sdr_file_wires : public ::testing::Test
{
protected:
    void SetUp() override { standin::reset_all(); }
    void TearDown() override { standin::reset_all(); }

    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // A session of one signal set whose triggers hold logs (without samples) of these names.
    static std::unique_ptr<SDR_DATA_SESSION> session_of(const std::vector<std::vector<WIRES>>& triggers)
    {
        auto session = make_small_session("wires");
        SDR_DATA_SIGNAL_SET* set = session->m_instances[0]->m_signal_sets[0].get();
        set->m_triggers.clear();
        for (const std::vector<WIRES>& lists : triggers) {
            set->m_triggers.push_back(
                std::make_unique<SDR_DATA_TRIGGER>(set, "trigger_" + std::to_string(set->m_triggers.size())));
            SDR_DATA_TRIGGER* trigger = set->m_triggers.back().get();
            for (const WIRES& wires : lists) {
                trigger->m_logs.push_back(
                    std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(trigger->m_logs.size() + 1)));
                trigger->m_logs.back()->m_signal_set = set;
                trigger->m_logs.back()->m_wire_names = wires;
            }
        }
        return session;
    }

    // Saves, and gives what document.xml holds of each log.
    std::vector<STORED> save(const SDR_DATA_SESSION& session, std::string* error)
    {
        if (!sdr_write_session_file(session, path("wires.vtl"), error))
            return {};
        return stored_logs(read_archive(QString::fromStdString(path("wires.vtl"))).value("document.xml"));
    }

    std::unique_ptr<SDR_DATA_SESSION> open(const QByteArray& document, std::string* error)
    {
        EXPECT_TRUE(write_archive(QString::fromStdString(path("hand.vtl")), {{"document.xml", document}}));
        return sdr_read_session_file(path("hand.vtl"), error);
    }

    QTemporaryDir m_dir;
};
} // namespace

TEST_F(sdr_file_wires, a_log_stores_the_wire_names_of_the_log_before_it_once)
{
    struct row
    {
        const char* name;
        std::vector<std::vector<WIRES>> triggers; // the logs' wire names, trigger by trigger
        std::vector<STORED> stored;               // how document.xml holds each log
    };
    const row rows[] = {
        {"equal lists", {{{"top|a", "top|b"}, {"top|a", "top|b"}, {"top|a", "top|b"}}},
         {{false, 2}, {true, 0}, {true, 0}}},
        {"a list changed between runs", {{{"a", "b"}, {"a", "c"}, {"a", "c"}, {"a", "b"}}},
         {{false, 2}, {false, 2}, {true, 0}, {false, 2}}},
        {"empty lists", {{{}, {}, {"a"}, {}}}, {{false, 0}, {false, 0}, {false, 1}, {false, 0}}},
        {"one unnamed wire is not no wire", {{{""}, {""}, {}}}, {{false, 1}, {true, 0}, {false, 0}}},
        {"order and commas", {{{"x", "y"}, {"y", "x"}, {"x,y"}, {"x", "y"}}},
         {{false, 2}, {false, 2}, {false, 1}, {false, 2}}},
        {"the first log of each trigger", {{{"a"}, {"a"}}, {{"a"}, {"a"}}}, {{false, 1}, {true, 0}, {false, 1}, {true, 0}}},
        {"names XML cannot carry", {{{"\x01" "ctl", "\xc3\xa4"}, {"\x01" "ctl", "\xc3\xa4"}}}, {{false, 2}, {true, 0}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        auto original = session_of(r.triggers);
        std::string error;
        EXPECT_EQ(save(*original, &error), r.stored) << error;
        auto opened = sdr_read_session_file(path("wires.vtl"), &error);
        ASSERT_NE(opened, nullptr) << error;
        EXPECT_EQ(wire_lists(*opened), wire_lists(*original));
        // What was read saves in the same form and opens again the same.
        EXPECT_EQ(save(*opened, &error), r.stored) << error;
        auto again = sdr_read_session_file(path("wires.vtl"), &error);
        ASSERT_NE(again, nullptr) << error;
        EXPECT_EQ(standin::sdr::compare_documents(*opened, *again), "");
    }
}

// Files written before logs shared their names read as they always did, and so do files that
// mix both forms; the next save stores them in the shared form, under the current version.
TEST_F(sdr_file_wires, files_where_logs_name_their_own_wires_read_as_before)
{
    struct row
    {
        const char* name;
        int version;
        QByteArray logs;
        std::vector<WIRES> read;
        std::vector<STORED> saved;
    };
    const row rows[] = {
        {"every log names its wires", 1,
         log_of("one", {"top|a", "top|b"}) + log_of("two", {"top|a", "top|b"}) + log_of("three", {"top|a"}) +
             log_of("four", {}),
         {{"top|a", "top|b"}, {"top|a", "top|b"}, {"top|a"}, {}},
         {{false, 2}, {true, 0}, {false, 1}, {false, 0}}},
        {"shared and own lists mixed", SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION,
         log_of("one", {"a"}) + log_of("two", {}, true) + log_of("three", {}, true) + log_of("four", {"b", "c"}) +
             log_of("five", {}, true) + log_of("six", {}) + log_of("seven", {}, true),
         {{"a"}, {"a"}, {"a"}, {"b", "c"}, {"b", "c"}, {}, {}},
         {{false, 1}, {true, 0}, {true, 0}, {false, 2}, {true, 0}, {false, 0}, {false, 0}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string error;
        auto opened = open(trigger_head(r.version) + r.logs + TRIGGER_TAIL, &error);
        ASSERT_NE(opened, nullptr) << error;
        EXPECT_EQ(wire_lists(*opened), r.read);
        EXPECT_EQ(opened->m_file_version, r.version);
        EXPECT_FALSE(opened->m_instances[0]->m_newer);
        EXPECT_EQ(save(*opened, &error), r.saved) << error;
        auto again = sdr_read_session_file(path("wires.vtl"), &error);
        ASSERT_NE(again, nullptr) << error;
        EXPECT_EQ(again->m_file_version, int(SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION));
        EXPECT_FALSE(again->m_instances[0]->m_newer);
        again->m_name = opened->m_name;
        EXPECT_EQ(standin::sdr::compare_documents(*opened, *again), "");
    }
}

TEST_F(sdr_file_wires, a_reference_to_no_list_or_beside_wires_of_its_own_is_refused)
{
    struct row
    {
        const char* name;
        QByteArray logs;
        const char* problem;
    };
    const QByteArray second_trigger = "</trigger><trigger name=\"u\">";
    const row rows[] = {
        {"on the first log of a trigger", log_of("one", {}, true),
         "<log>: the first log of a trigger has no log before it to share wire names with"},
        {"on the first log of the second trigger", log_of("one", {"a"}) + second_trigger + log_of("two", {}, true),
         "the first log of a trigger has no log before it"},
        {"beside wires of its own", log_of("one", {"a"}) + log_of("two", {"a"}, true),
         "<wire>: a log that shares the wire names of the log before it names wires too"},
        {"after a shared log, beside wires of its own",
         log_of("one", {"a"}) + log_of("two", {}, true) + log_of("three", {"b"}, true), "names wires too"},
        {"a value that is no flag", log_of("one", {"a"}) + "<log name=\"two\" same_wires=\"yes\"/>",
         "bad boolean \"yes\" in attribute \"same_wires\""},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string error;
        EXPECT_EQ(open(trigger_head() + r.logs + TRIGGER_TAIL, &error), nullptr);
        EXPECT_NE(error.find(r.problem), std::string::npos) << error;
        EXPECT_NE(error.find("document.xml"), std::string::npos) << error;
    }
}

// A list of 60,000 names, then logs that name it again: a log that shares the list of the log
// before it holds no names of its own, in the file and in memory, so a hundred of them open (the
// list held once); a hundred that spell the list out pass the document's 1,048,576 names at the
// 18th, where the reader stops, however few bytes each takes.
TEST_F(sdr_file_wires, a_shared_list_counts_once_and_lists_spelled_out_count_each_time)
{
    QByteArray own = "<log name=\"l\">";
    for (int i = 0; i < 60000; ++i)
        own += "<wire/>";
    own += "</log>";
    const QByteArray head = "<vantrel><session><instance name=\"i\"><signal_set name=\"s\"><trigger name=\"t\">" + own;
    const QByteArray shared = "<log name=\"l\" same_wires=\"1\"/>";
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(path("shared.vtl")), head, shared, 100, TRIGGER_TAIL));
    std::string error;
    auto opened = sdr_read_session_file(path("shared.vtl"), &error);
    ASSERT_NE(opened, nullptr) << error;
    const SDR_DATA_TRIGGER* trigger = opened->m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
    ASSERT_EQ(trigger->m_logs.size(), 101u);
    for (const auto& log : trigger->m_logs)
        EXPECT_TRUE(log->m_wire_names.shares(trigger->m_logs[0]->m_wire_names)) << log->m_name;
    EXPECT_EQ(SDR_FILE_LIMITS::count(*opened, SDR_FILE_ELEMENT::WIRE), 60000);

    ASSERT_TRUE(write_repeated_document(QString::fromStdString(path("spelled.vtl")), head, own, 100, TRIGGER_TAIL));
    EXPECT_EQ(sdr_read_session_file(path("spelled.vtl"), &error), nullptr);
    EXPECT_NE(error.find("<wire>: the document holds more than 1048576 <wire> elements"), std::string::npos) << error;
    const QRegularExpressionMatch at =
        QRegularExpression(QStringLiteral("line 1, column (\\d+)")).match(QString::fromStdString(error));
    ASSERT_TRUE(at.hasMatch()) << error;
    EXPECT_GT(at.captured(1).toLongLong(), head.size() + 16 * own.size());
    EXPECT_LE(at.captured(1).toLongLong(), head.size() + 17 * own.size() + 1) << "read on past the limit";
}

// The names' limit lowered to 4: logs that share one list of 2 count 2 however many they are,
// and save and open again; lists spelled out (a list changed between runs, then changed back)
// count each time, in the document's count as in the writer, which refuses to save such a
// document, and the reader, which refuses such a file.
TEST_F(sdr_file_wires, stored_names_count_against_the_limit_in_the_repository_the_writer_and_the_reader)
{
    const WIRES ab{"ab", "c"};
    const WIRES xy{"x", "y"};
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::WIRE), 4);
    std::string error;
    auto at_limit = session_of({{ab, ab, ab, ab, ab}});
    EXPECT_EQ(SDR_FILE_LIMITS::count(*at_limit, SDR_FILE_ELEMENT::WIRE), 2);
    EXPECT_EQ(save(*at_limit, &error), (std::vector<STORED>{{false, 2}, {true, 0}, {true, 0}, {true, 0}, {true, 0}}))
        << error;
    auto opened = sdr_read_session_file(path("wires.vtl"), &error);
    ASSERT_NE(opened, nullptr) << error;
    EXPECT_EQ(wire_lists(*opened), (std::vector<WIRES>(5, ab)));
    auto past_limit = session_of({{ab, xy, ab}});
    EXPECT_EQ(SDR_FILE_LIMITS::count(*past_limit, SDR_FILE_ELEMENT::WIRE), 6);
    EXPECT_FALSE(sdr_write_session_file(*past_limit, path("past.vtl"), &error));
    EXPECT_NE(error.find("the document holds more than 4 <wire> elements"), std::string::npos) << error;
    EXPECT_EQ(open(trigger_head() + log_of("one", ab) + log_of("two", xy) + log_of("three", ab) + TRIGGER_TAIL, &error),
              nullptr);
    EXPECT_NE(error.find("the document holds more than 4 <wire> elements"), std::string::npos) << error;
}

// Runs before and after the user adds a node: the logs of one set of wires share one list.
TEST_F(sdr_file_wires, acquisitions_before_and_after_a_node_is_added_save_and_open_again)
{
    SDR_TX_SESSION session(nullptr, false);
    ASSERT_TRUE(session.create_session(path("runs.vtl").c_str()));
    session.set_gui_logging(true);
    SDR_TX_TRIGGER* trigger = session.get_trigger_at(0, false);
    const auto add_node = [trigger](const char* name) {
        return trigger->add_node(name, SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false);
    };
    const auto run = [&session] {
        SDR_DATA_LOG* log = session.create_new_log(0);
        if (log == nullptr)
            return false;
        standin::sdr::log_spec samples;
        samples.depth = 8;
        samples.channels.assign(log->m_wire_names.size(), "10110011");
        log->m_payload = standin::sdr::make_payload(samples);
        session.forget_replaced_log(log);
        return true;
    };
    ASSERT_TRUE(add_node("top|a") && add_node("top|b") && run() && run() && add_node("top|c") && run() && run());
    ASSERT_TRUE(session.save_session(path("runs.vtl").c_str())) << session.get_last_error();
    EXPECT_EQ(stored_logs(read_archive(QString::fromStdString(path("runs.vtl"))).value("document.xml")),
              (std::vector<STORED>{{false, 2}, {true, 0}, {false, 3}, {true, 0}}));
    std::string error;
    auto opened = sdr_read_session_file(path("runs.vtl"), &error);
    ASSERT_NE(opened, nullptr) << error;
    EXPECT_EQ(wire_lists(*opened), wire_lists(*session.get_data_session()));
    EXPECT_EQ(wire_lists(*opened).back(), (WIRES{"top|a", "top|b", "top|c"}));
}

// A night of runs on the same wires: each run's log shares the list of the one before it, so
// the document holds the names once and a run never passes the names' limit (lowered to the
// two names of the list) for that; a run on a changed list adds its names, and past the limit
// it does not start.
TEST_F(sdr_file_wires, runs_on_the_same_wires_share_one_list_and_add_no_names)
{
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::WIRE), 2);
    SDR_TX_SESSION session(nullptr, false);
    ASSERT_TRUE(session.create_session(path("night.vtl").c_str()));
    session.set_gui_logging(true);
    SDR_TX_TRIGGER* trigger = session.get_trigger_at(0, false);
    const auto add_node = [trigger](const char* name) {
        return trigger->add_node(name, SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false);
    };
    ASSERT_TRUE(add_node("top|a") && add_node("top|b"));
    std::vector<SDR_DATA_LOG*> logs;
    for (int run = 0; run < 50; ++run) {
        logs.push_back(session.create_new_log(0));
        ASSERT_NE(logs.back(), nullptr) << "run " << run << ": " << SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal();
        session.forget_replaced_log(logs.back());
    }
    for (const SDR_DATA_LOG* log : logs)
        EXPECT_TRUE(log->m_wire_names.shares(logs.front()->m_wire_names));
    EXPECT_EQ(SDR_FILE_LIMITS::count(*session.get_data_session(), SDR_FILE_ELEMENT::WIRE), 2);
    ASSERT_TRUE(add_node("top|c"));
    EXPECT_EQ(session.create_new_log(0), nullptr);
    EXPECT_NE(SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal().find("more than 2 node names"),
              std::string::npos);
    ASSERT_TRUE(session.save_session(path("night.vtl").c_str())) << session.get_last_error();
    std::string error;
    auto opened = sdr_read_session_file(path("night.vtl"), &error);
    ASSERT_NE(opened, nullptr) << error;
    EXPECT_EQ(wire_lists(*opened), std::vector<WIRES>(50, WIRES{"top|a", "top|b"}));
}
