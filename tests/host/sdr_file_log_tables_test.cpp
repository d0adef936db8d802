// Decoder tables of data logs in the analyzer file: a log's table whose entries are those of
// the same table of the log before it in its trigger says so (same_table), and the reader gives
// the log that table's entries, held once; a table whose entries changed lists its own. Files
// where every log lists its tables read as before and save in the shared form; a table that
// shares the entries of no table, or lists entries beside, is refused.
#include "sdr_file_test_support.h"

#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_document_writer.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_control.h"
#include "host/standin/standin.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

using namespace sdr_file_test;

namespace
{
// A log's decoder tables: id -> entries, each "<symbol>=<pattern>".
using TABLES = std::map<int, std::vector<std::string>>;

// How document.xml holds each log's tables: "<id>:same" or "<id>:<entries>", joined by blanks.
std::vector<std::string> stored_tables(const QByteArray& document)
{
    std::vector<std::string> logs;
    QXmlStreamReader xml(document);
    while (!xml.atEnd())
    {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("log"))
        {
            logs.emplace_back();
        }
        else if (xml.name() == QLatin1String("static_table") && !logs.empty())
        {
            const bool same = xml.attributes().value(QLatin1String("same_table")) == QLatin1String("1");
            logs.back() += (logs.back().empty() ? "" : " ") +
                           xml.attributes().value(QLatin1String("id")).toString().toStdString() +
                           (same ? ":same" : ":0");
        }
        else if (xml.name() == QLatin1String("entry") && !logs.empty())
        {
            std::string& last = logs.back();
            const size_t colon = last.rfind(':');
            last = last.substr(0, colon + 1) + std::to_string(std::stoi(last.substr(colon + 1)) + 1);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return logs;
}

// Each log's tables as they read: the same form as TABLES.
std::vector<TABLES> tables_of(const SDR_DATA_TRIGGER& trigger)
{
    std::vector<TABLES> logs;
    for (const auto& log : trigger.m_logs)
    {
        logs.emplace_back();
        for (const auto& table : log->m_static_plugin_tables)
        {
            std::vector<std::string>& entries = logs.back()[table.first];
            for (int j = 0; j < table.second->get_num_entries(); ++j)
                entries.push_back(std::string(table.second->get_first_symbol(j)) + "=" +
                                  table.second->get_value(j));
        }
    }
    return logs;
}

// Whether each table of each log holds the entries of the same table of the log before it
// (not a copy): "<id>:shared" or "<id>:own", as stored_tables lists them.
std::vector<std::string> held(const SDR_DATA_TRIGGER& trigger)
{
    std::vector<std::string> logs;
    const SDR_DATA_LOG* previous = nullptr;
    for (const auto& log : trigger.m_logs)
    {
        logs.emplace_back();
        for (const auto& table : log->m_static_plugin_tables)
        {
            const SDR_DATA_MNEMONICS_TABLE* before =
                previous != nullptr ? previous->get_static_plugin_mnemonics_table(table.first) : nullptr;
            const bool shared =
                before != nullptr && !before->get_content().entries.isEmpty() &&
                before->get_content().entries.isSharedWith(table.second->get_content().entries);
            logs.back() += (logs.back().empty() ? "" : " ") + std::to_string(table.first) +
                           (shared ? ":shared" : ":own");
        }
        previous = log.get();
    }
    return logs;
}

QByteArray table_xml(int id, const std::vector<std::string>& entries, int width = 2)
{
    QByteArray xml = "<static_table id=\"" + QByteArray::number(id) + "\"><table name=\"plugin_" +
                     QByteArray::number(id) + "\" width=\"" + QByteArray::number(width) + "\">";
    for (const std::string& entry : entries)
    {
        const size_t equals = entry.find('=');
        xml += "<entry symbol=\"" + QByteArray::fromStdString(entry.substr(0, equals)) + "\" pattern=\"" +
               QByteArray::fromStdString(entry.substr(equals + 1)) + "\"/>";
    }
    return xml + "</table></static_table>";
}

QByteArray same_xml(int id, const char* value = "1")
{
    return "<static_table id=\"" + QByteArray::number(id) + "\" same_table=\"" + value + "\"/>";
}

QByteArray document_of(const std::vector<QByteArray>& logs,
                       int version = SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION)
{
    QByteArray xml = "<vantrel format=\"vtl\" version=\"" + QByteArray::number(version) +
                     "\"><session><instance name=\"i\"><signal_set name=\"s\"><trigger name=\"t\">";
    for (size_t i = 0; i < logs.size(); ++i)
        xml += "<log name=\"log_" + QByteArray::number(int(i) + 1) + "\">" + logs[i] + "</log>";
    return xml + "</trigger></signal_set></instance></session></vantrel>";
}

class sdr_file_log_tables : public ::testing::Test
{
protected:
    void SetUp() override { standin::reset_all(); }
    void TearDown() override { standin::reset_all(); }

    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // A session whose one trigger holds logs with these tables, filled as decoding fills them.
    static std::unique_ptr<SDR_DATA_SESSION> session_of(const std::vector<TABLES>& logs)
    {
        auto session = make_small_session("tables");
        SDR_DATA_TRIGGER* trigger = session->m_instances[0]->get_active_trigger();
        while (!trigger->m_logs.empty())
            trigger->m_logs.take(0);
        for (const TABLES& tables : logs)
        {
            trigger->m_logs.push_back(
                std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(trigger->m_logs.size() + 1)));
            for (const auto& table : tables)
            {
                SDR_DATA_MNEMONICS_TABLE* made =
                    trigger->m_logs.back()->create_static_plugin_mnemonics_table(2, table.first);
                for (const std::string& entry : table.second)
                    EXPECT_TRUE(made->add_entry(entry.substr(0, entry.find('=')).c_str(),
                                                entry.substr(entry.find('=') + 1).c_str()));
            }
        }
        return session;
    }

    static const SDR_DATA_TRIGGER& trigger_of(const SDR_DATA_SESSION& session)
    {
        return *session.m_instances[0]->get_active_trigger();
    }

    std::vector<std::string> save(const SDR_DATA_SESSION& session, std::string* error)
    {
        if (!sdr_write_session_file(session, path("tables.vtl"), error))
            return {};
        return stored_tables(read_archive(QString::fromStdString(path("tables.vtl"))).value("document.xml"));
    }

    std::unique_ptr<SDR_DATA_SESSION> open(const QByteArray& document, std::string* error)
    {
        EXPECT_TRUE(write_archive(QString::fromStdString(path("hand.vtl")), {{"document.xml", document}}));
        return sdr_read_session_file(path("hand.vtl"), error);
    }

    QTemporaryDir m_dir;
};
} // namespace

TEST_F(sdr_file_log_tables, a_table_of_the_entries_of_the_one_before_it_is_stored_and_held_once)
{
    const std::vector<std::string> ab{"A=01", "B=10"};
    const std::vector<std::string> ac{"A=01", "C=11"};
    struct row
    {
        const char* name;
        std::vector<TABLES> logs;
        std::vector<std::string> stored; // as document.xml holds them
        std::vector<std::string> held;   // as the log opened again holds them
        qint64 counted;                  // tables the document counts
    };
    const row rows[] = {
        {"the same values every run",
         {{{1, ab}}, {{1, ab}}, {{1, ab}}},
         {"1:2", "1:same", "1:same"},
         {"1:own", "1:shared", "1:shared"},
         1},
        {"values changed between runs",
         {{{1, ab}}, {{1, ac}}, {{1, ac}}, {{1, ab}}},
         {"1:2", "1:2", "1:same", "1:2"},
         {"1:own", "1:own", "1:shared", "1:own"},
         3},
        {"two groups, one changed",
         {{{1, ab}, {2, ab}}, {{1, ab}, {2, ac}}},
         {"1:2 2:2", "1:same 2:2"},
         {"1:own 2:own", "1:shared 2:own"},
         3},
        {"the same values in another order",
         {{{1, ab}}, {{1, {"B=10", "A=01"}}}},
         {"1:2", "1:2"},
         {"1:own", "1:own"},
         2},
        {"a log without the table between",
         {{{1, ab}}, {}, {{1, ab}}},
         {"1:2", "", "1:2"},
         {"1:own", "", "1:own"},
         2},
        {"empty tables", {{{1, {}}}, {{1, {}}}}, {"1:0", "1:same"}, {"1:own", "1:own"}, 1},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.name);
        auto original = session_of(r.logs);
        EXPECT_EQ(SDR_FILE_LIMITS::count(*original, SDR_FILE_ELEMENT::TABLE), r.counted);
        EXPECT_EQ(held(trigger_of(*original)), r.held) << "in memory as they are made";
        std::string error;
        EXPECT_EQ(save(*original, &error), r.stored) << error;
        auto opened = sdr_read_session_file(path("tables.vtl"), &error);
        ASSERT_NE(opened, nullptr) << error;
        EXPECT_EQ(tables_of(trigger_of(*opened)), tables_of(trigger_of(*original)));
        EXPECT_EQ(held(trigger_of(*opened)), r.held);
        EXPECT_EQ(SDR_FILE_LIMITS::count(*opened, SDR_FILE_ELEMENT::TABLE), r.counted);
        EXPECT_EQ(save(*opened, &error), r.stored) << "what was read saves in the same form; " << error;
    }
}

// A file written before logs shared their tables lists each one: it reads as before, its logs
// hold equal tables once, and the next save stores them in the shared form.
TEST_F(sdr_file_log_tables, files_where_every_log_lists_its_tables_read_as_before)
{
    const std::vector<std::string> ab{"A=01", "B=10"};
    for (int version : {1, int(SDR_FILE_DOCUMENT_WRITER::FORMAT_VERSION)})
    {
        SCOPED_TRACE(version);
        std::string error;
        auto opened = open(
            document_of({table_xml(1, ab), table_xml(1, ab), table_xml(1, {"A=01"}), table_xml(1, {"A=01"})},
                        version),
            &error);
        ASSERT_NE(opened, nullptr) << error;
        EXPECT_EQ(tables_of(trigger_of(*opened)),
                  (std::vector<TABLES>{{{1, ab}}, {{1, ab}}, {{1, {"A=01"}}}, {{1, {"A=01"}}}}));
        EXPECT_EQ(held(trigger_of(*opened)),
                  (std::vector<std::string>{"1:own", "1:shared", "1:own", "1:shared"}));
        EXPECT_EQ(SDR_FILE_LIMITS::count(*opened, SDR_FILE_ELEMENT::TABLE_ENTRY), 3);
        EXPECT_EQ(save(*opened, &error), (std::vector<std::string>{"1:2", "1:same", "1:1", "1:same"}))
            << error;
    }
}

TEST_F(sdr_file_log_tables, a_table_that_shares_no_table_or_lists_entries_too_is_refused)
{
    const std::vector<std::string> ab{"A=01", "B=10"};
    struct row
    {
        const char* name;
        std::vector<QByteArray> logs;
        const char* problem;
    };
    const row rows[] = {
        {"on the first log",
         {same_xml(1)},
         "<static_table>: static table 1 shares the entries of the log before it, which has no such table"},
        {"of an id the log before it lacks", {table_xml(1, ab), same_xml(2)}, "which has no such table"},
        {"after a log without tables", {table_xml(1, ab), "", same_xml(1)}, "which has no such table"},
        {"beside entries of its own",
         {table_xml(1, ab),
          "<static_table id=\"1\" same_table=\"1\"><table name=\"plugin_1\" width=\"2\"/></static_table>"},
         "static table 1 shares the entries of the log before it and lists entries too"},
        {"a value that is no flag",
         {table_xml(1, ab), same_xml(1, "yes")},
         "bad boolean \"yes\" in attribute \"same_table\""},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.name);
        std::string error;
        EXPECT_EQ(open(document_of(r.logs), &error), nullptr);
        EXPECT_NE(error.find(r.problem), std::string::npos) << error;
        EXPECT_NE(error.find("document.xml"), std::string::npos) << error;
    }
}
