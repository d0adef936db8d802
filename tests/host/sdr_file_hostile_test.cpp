// Hostile analyzer files: small archives that unpack into millions of elements or numbers,
// entries named many times, data entries larger than memory, content after the document's end,
// and allocations that fail while reading. Each is refused with a message naming the file, the
// element and the limit; where the refusal reports a position, that position shows the reader
// stopped at the limit instead of reading the rest. Large documents are generated here and
// streamed into the archive, never stored.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_file_control.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace sdr_file_test;

namespace
{
const QByteArray DOCUMENT_HEAD = "<vantrel version=\"1\"><session>";
const QByteArray INSTANCE_HEAD = "<instance name=\"i\"><signal_set name=\"s\"><trigger name=\"t\">";
const QByteArray TRIGGER_HEAD = DOCUMENT_HEAD + INSTANCE_HEAD;
const QByteArray TRIGGER_TAIL = "</trigger></signal_set></instance></session></vantrel>";

class sdr_file_hostile : public ::testing::Test
{
protected:
    void SetUp() override { standin::reset_all(); }

    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // Reads `file` and expects a refusal whose message starts with the file and holds `parts`.
    std::string expect_refused(const std::string& file, std::initializer_list<const char*> parts)
    {
        std::string error;
        EXPECT_EQ(sdr_read_session_file(file, &error), nullptr);
        EXPECT_EQ(error.rfind(file + ": ", 0), 0u) << error;
        for (const char* part : parts)
            EXPECT_NE(error.find(part), std::string::npos) << "missing \"" << part << "\" in: " << error;
        return error;
    }

    std::string refuse_document(const QByteArray& xml, std::initializer_list<const char*> parts,
                                const QMap<QString, QByteArray>& extra = {})
    {
        const std::string file = path("hostile.vtl");
        EXPECT_TRUE(write_repeated_document(QString::fromStdString(file), xml, QByteArray(), 0, QByteArray(), extra));
        return expect_refused(file, parts);
    }

    QTemporaryDir m_dir;
};

// The column where a one-line document.xml was refused.
qint64 refused_at_column(const std::string& error)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("line 1, column (\\d+)")).match(QString::fromStdString(error));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

QByteArray repeated(const QByteArray& text, int times)
{
    QByteArray out;
    out.reserve(text.size() * times);
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

QByteArray small_payload()
{
    // 8 samples on 2 channels, one trigger position, no flags or counters.
    QByteArray bytes("VTLP\x01\x00\x28\x00", 8);
    const quint32 counts[] = {8, 2, 0, 1, 0, 0, 0xFFFFFFFFu, 0};
    for (quint32 value : counts)
        bytes += QByteArray(reinterpret_cast<const char*>(&value), 4);
    return bytes + QByteArray::fromHex("a53cff01000300000000");
}

QByteArray log_element(const char* name, const char* entry)
{
    return QByteArray("<log name=\"") + name + "\" payload=\"" + entry +
           "\" depth=\"8\" channels=\"2\" segment_size=\"0\" trigger_position=\"0\"/>";
}
} // namespace

// 5.2 million empty rows deflate to a few kilobytes; one node list may hold 65,536.
TEST_F(sdr_file_hostile, millions_of_empty_rows_stop_at_the_limit_of_a_node_list)
{
    const QByteArray head = TRIGGER_HEAD + "<trigger_list>";
    const std::string file = path("rows.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file), head, repeated("<row/>", 1000), 5200,
                                        "</trigger_list>" + TRIGGER_TAIL));
    const std::string error =
        expect_refused(file, {"document.xml: line 1", "<row>: a node list holds more than 65536 rows"});
    const qint64 column = refused_at_column(error);
    EXPECT_GT(column, head.size() + 65536 * 6);
    EXPECT_LE(column, head.size() + 65537 * 6 + 1) << "the reader went on past the limit";
}

// Elements spread over many parents are counted for the whole document.
TEST_F(sdr_file_hostile, elements_spread_over_many_parents_stop_at_the_limit_of_the_document)
{
    const QByteArray log = "<log name=\"l\">" + repeated("<wire/>", 60000) + "</log>";
    const std::string file = path("wires.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file), TRIGGER_HEAD, log, 20, TRIGGER_TAIL));
    const std::string error = expect_refused(
        file, {"<wire>: the document holds more than 1048576 <wire> elements, the limit of an analyzer file"});
    const qint64 limit_at = TRIGGER_HEAD.size() + 17 * log.size() + 14 + (1048576 - 17 * 60000) * 7;
    EXPECT_GT(refused_at_column(error), limit_at);
    EXPECT_LE(refused_at_column(error), limit_at + 8) << "the reader went on past the limit";
}

// The numbers of a list are counted before any is stored.
TEST_F(sdr_file_hostile, a_list_of_a_million_numbers_is_refused_before_it_is_split)
{
    const QByteArray head = "<vantrel version=\"1\"><session><global_data><data key=\"k\" values=\"";
    const std::string file = path("numbers.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file), head, repeated("0 ", 1000), 1000,
                                        "\"/></global_data></session></vantrel>"));
    expect_refused(file, {"<data>: attribute \"values\" holds 1000000 numbers, more than the 65536 it may hold"});
}

// A name, an attribute's value or a text past its limit is refused as soon as the reader has
// seen one byte too many, before the XML parser holds it: the refused position is the limit's.
TEST_F(sdr_file_hostile, names_values_and_texts_past_their_limits_are_refused_at_the_limit)
{
    struct row
    {
        const char* name;
        QByteArray head;
        char fill;
        qint64 length;  // of the piece past its limit
        QByteArray tail;
        const char* problem;
        qint64 limit;
    };
    const qint64 value = SDR_FILE_LIMITS::MAX_XML_VALUE;
    const qint64 text = SDR_FILE_LIMITS::MAX_XML_TEXT;
    const qint64 name = SDR_FILE_LIMITS::MAX_XML_NAME;
    const row rows[] = {
        {"attribute value", DOCUMENT_HEAD + "<instance name=\"", 'v', value + 4096, "\"/></session></vantrel>",
         "the value of attribute \"name\" of <instance> is longer than the 8388608 bytes it may hold", value},
        {"text", DOCUMENT_HEAD, 't', text + 4096, "</session></vantrel>", "a text is longer than the 8388608 bytes",
         text},
        {"comment", DOCUMENT_HEAD + "<!--", 'c', text + 4096, "--></session></vantrel>",
         "a comment is longer than the 8388608 bytes", text},
        {"element name", DOCUMENT_HEAD + "<", 'e', name + 1, "/></session></vantrel>",
         "the name of element <eeeeeeee", name},
        {"attribute name", DOCUMENT_HEAD + "<x ", 'a', name + 1, "=\"1\"/></session></vantrel>",
         "the name of attribute \"aaaaaaaa", name},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string file = path("long.vtl");
        const int piece = 4096;
        ASSERT_TRUE(write_repeated_document(QString::fromStdString(file), r.head, QByteArray(piece, r.fill),
                                            (r.length + piece - 1) / piece, r.tail));
        const std::string error = expect_refused(file, {"document.xml: line 1, column", r.problem});
        EXPECT_EQ(refused_at_column(error), r.head.size() + r.limit + 1) << "refused where the limit is passed";
    }
}

TEST_F(sdr_file_hostile, lists_at_their_limit_still_open)
{
    const QByteArray numbers = repeated("-2147483648 ", 65535) + "2147483647";
    const QByteArray rows = repeated("<row/>", 65536);
    const std::string file = path("full.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file),
                                        "<vantrel version=\"1\"><session><global_data><data key=\"k\" values=\" " +
                                            numbers + " \"/></global_data><instance name=\"i\"><signal_set name=\"s\">"
                                                      "<trigger name=\"t\"><trigger_list>" + rows + "</trigger_list>",
                                        QByteArray(), 0, TRIGGER_TAIL));
    std::string error;
    auto session = sdr_read_session_file(file, &error);
    ASSERT_NE(session, nullptr) << error;
    const std::vector<int>& values = session->m_global_data.at("k");
    ASSERT_EQ(values.size(), 65536u);
    EXPECT_EQ(values.front(), INT_MIN);
    EXPECT_EQ(values.back(), INT_MAX);
    const SDR_NODE_LIST& list = session->m_instances[0]->m_signal_sets[0]->m_triggers[0]->state().trigger_list;
    ASSERT_EQ(list.size(), 65536);
    // Rows of equal patterns share one list instead of holding a copy each.
    EXPECT_TRUE(list[0].patterns[0].conditions.isSharedWith(list[65535].patterns[0].conditions));
    EXPECT_TRUE(list[1].patterns[1].comparisons.isSharedWith(list[2].patterns[0].comparisons));
}

TEST_F(sdr_file_hostile, an_entry_is_read_at_most_once)
{
    const QMap<QString, QByteArray> payload{{"logs/0.bin", small_payload()}};
    refuse_document(TRIGGER_HEAD + log_element("a", "logs/0.bin") + log_element("b", "logs/0.bin") + TRIGGER_TAIL,
                    {"<log>: entry \"logs/0.bin\" is named a second time"}, payload);
    refuse_document(DOCUMENT_HEAD + "<embedded_files><file name=\"f\" entry=\"logs/0.bin\"/></embedded_files>" +
                        INSTANCE_HEAD + log_element("a", "logs/0.bin") + TRIGGER_TAIL,
                    {"<log>: entry \"logs/0.bin\" is named a second time"}, payload);
    refuse_document("<vantrel><session><embedded_files><file name=\"f\" entry=\"document.xml\"/></embedded_files>"
                    "</session></vantrel>",
                    {"<file>: entry \"document.xml\" is named a second time"});
    // The single reference still reads.
    const std::string file = path("once.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file),
                                        TRIGGER_HEAD + log_element("a", "logs/0.bin") + TRIGGER_TAIL, QByteArray(), 0,
                                        QByteArray(), payload));
    std::string error;
    auto session = sdr_read_session_file(file, &error);
    ASSERT_NE(session, nullptr) << error;
    EXPECT_EQ(session->m_instances[0]->m_signal_sets[0]->m_triggers[0]->m_logs[0]->m_payload->depth, 8);
}

// Nine deflated entries that claim a gigabyte each: their data is junk that would fail to
// inflate, so a refusal that names their total shows none of it was read.
TEST_F(sdr_file_hostile, data_entries_past_the_total_limit_are_refused_before_any_is_read)
{
    QByteArray files;
    QVector<raw_entry> entries;
    const QByteArray junk(1100000, '\x5a');
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "embedded/" + QByteArray::number(i) + ".bin";
        files += "<file name=\"f" + QByteArray::number(i) + "\" entry=\"" + name + "\"/>";
        entries.append(raw_entry{name, junk, 8, 1u << 30, 0x12345678});
    }
    const QByteArray xml = "<vantrel><session><embedded_files>" + files + "</embedded_files></session></vantrel>";
    entries.prepend(raw_entry{"document.xml", xml, 0, quint32(xml.size()), SDR_FILE_CRC::update(0, xml.constData(), xml.size())});
    const QString file = m_dir.filePath("claims.vtl");
    ASSERT_TRUE(write_file(file, raw_zip(entries)));
    expect_refused(file.toStdString(),
                   {"its data entries hold 9663676416 bytes together, more than the 8589934592 bytes"});
}

TEST_F(sdr_file_hostile, nothing_may_follow_the_end_of_the_document)
{
    const QByteArray document = "<vantrel version=\"1\"><session/></vantrel>";
    refuse_document(document + "<vantrel version=\"1\"><session><instance name=\"x\"/></session></vantrel>",
                    {"document.xml: line 1, column", "a second root element or text follows the end of the document"});
    refuse_document(document + "\n  trailing words", {"a second root element or text follows"});
    // Comments, processing instructions and blank space may.
    const std::string file = path("tail.vtl");
    ASSERT_TRUE(write_repeated_document(QString::fromStdString(file), document + "\n<!-- saved -->\n<?x y?>\n ",
                                        QByteArray(), 0, QByteArray()));
    std::string error;
    EXPECT_NE(sdr_read_session_file(file, &error), nullptr) << error;
}

TEST_F(sdr_file_hostile, a_row_gives_each_pattern_copy_once)
{
    refuse_document(TRIGGER_HEAD + "<trigger_list><row><patterns copy=\"normal\" conditions=\"3\"/>"
                                   "<patterns copy=\"normal\" conditions=\"4\"/></row></trigger_list>" + TRIGGER_TAIL,
                    {"<patterns>: a second \"normal\" copy of the row's patterns"});
}

TEST_F(sdr_file_hostile, names_given_twice_are_refused)
{
    refuse_document("<vantrel><session><instance name=\"a\"/><instance name=\"b\"/><instance name=\"a\"/></session>"
                    "</vantrel>",
                    {"instance \"a\" appears twice"});
    // Far apart, among enough names that the table of names read has grown several times.
    QByteArray many;
    for (int i = 0; i < 300; ++i)
        many += "<instance name=\"i" + QByteArray::number(i) + "\"/>";
    refuse_document("<vantrel><session>" + many + "<instance name=\"i3\"/></session></vantrel>",
                    {"instance \"i3\" appears twice"});
    refuse_document("<vantrel><session><mnemonics><table name=\"t\" width=\"1\"/><table name=\"u\" width=\"1\"/>"
                    "<table name=\"t\" width=\"2\"/></mnemonics></session></vantrel>",
                    {"mnemonic table \"t\" is unnamed or named twice"});
}

// The writer always writes a width, so a table without one is refused; width 0 is a table
// still waiting for its width, which holds no entry.
TEST_F(sdr_file_hostile, a_mnemonic_table_without_a_width_or_entries_of_width_zero_is_refused)
{
    refuse_document("<vantrel><session><mnemonics><table name=\"t\"/></mnemonics></session></vantrel>",
                    {"mnemonic table \"t\" has no width"});
    refuse_document("<vantrel><session><mnemonics><table name=\"t\" width=\"0\"><entry symbol=\"A\" pattern=\"\"/>"
                    "</table></mnemonics></session></vantrel>",
                    {"mnemonic table \"t\" of width 0 has an entry"});
    refuse_document("<vantrel><session><mnemonics><table name=\"t\" width=\"-1\"/></mnemonics></session></vantrel>",
                    {"out of range 0..4096"});
}

// An allocation that fails while reading refuses the file like any other problem; the next
// open, with memory back, reads it.
TEST_F(sdr_file_hostile, an_allocation_failure_while_reading_is_a_refused_file)
{
    const std::string file = path("rich.vtl");
    auto rich = make_rich_session(file);
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*rich, file, &error)) << error;
    for (long long after : {0, 3, 40}) {
        standin::sdr_file::fail_allocation_after(after);
        expect_refused(file, {"there is not enough memory to open it"});
    }
    EXPECT_NE(sdr_read_session_file(file, &error), nullptr) << error;
}

// Where libzip's own texts would mislead ("File already exists" for two entries of one name,
// "Multi-disk zip archives not supported" for a damaged end record, "does not exist" for a
// folder the user may not enter), the message says what is wrong.
TEST_F(sdr_file_hostile, archive_and_path_problems_are_named_for_what_they_are)
{
    const QByteArray xml = "<vantrel><session/></vantrel>";
    const raw_entry document{"document.xml", xml, 0, quint32(xml.size()), SDR_FILE_CRC::update(0, xml.constData(), xml.size())};
    const QString twice = m_dir.filePath("twice.vtl");
    ASSERT_TRUE(write_file(twice, raw_zip({document, raw_entry{"a", "1", 0, 1, SDR_FILE_CRC::update(0, "1", 1)}, document})));
    expect_refused(twice.toStdString(), {"two entries of the archive are named \"document.xml\""});

    QByteArray damaged = raw_zip({document});
    damaged[damaged.size() - 22 + 4] = 1; // the end record's disk number
    const QString end = m_dir.filePath("end.vtl");
    ASSERT_TRUE(write_file(end, damaged));
    expect_refused(end.toStdString(), {"the archive's end record is damaged"});

    // Sizes or an offset of 0xFFFFFFFF say a ZIP64 field holds them; a header without that field
    // was "the file does not exist".
    const QByteArray plain = raw_zip({document});
    const int central = plain.indexOf(QByteArray("PK\x01\x02", 4));
    const struct
    {
        const char* label;
        int from, to; // the header bytes set to 0xFF
        const char* problem;
    } wide_rows[] = {
        {"local sizes", 18, 26, "document.xml: its local header gives its sizes as 0xFFFFFFFF, which says they are held "
                                "in a ZIP64 field, but it has no such field"},
        {"central sizes", central + 20, central + 28, "document.xml: its central directory header marks a size or "
                                                      "offset as held in a ZIP64 field (0xFFFFFFFF), but has no such field"},
    };
    for (const auto& row : wide_rows) {
        QByteArray wide = plain;
        for (int at = row.from; at < row.to; ++at)
            wide[at] = char(0xFF);
        const QString file = m_dir.filePath(QString("wide %1.vtl").arg(row.label));
        ASSERT_TRUE(write_file(file, wide));
        EXPECT_EQ(expect_refused(file.toStdString(), {row.problem}).find("does not exist"), std::string::npos);
    }

    const QString good = m_dir.filePath("good.vtl");
    ASSERT_TRUE(write_file(good, raw_zip({document})));
    std::string error;
    ASSERT_NE(sdr_read_session_file(good.toStdString(), &error), nullptr) << error;
    expect_refused(m_dir.path().toStdString(), {"a folder, not a file"});
    expect_refused((good + "/inside.vtl").toStdString(), {"a part of its path is not a folder"});

    const QFileDevice::Permissions open_folder = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("locked"));
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), open_folder));
    ASSERT_TRUE(QFile::setPermissions(m_dir.filePath("locked"), open_folder));
    const QString hidden = m_dir.filePath("locked/hidden.vtl");
    ASSERT_TRUE(write_file(hidden, raw_zip({document})));
    ASSERT_TRUE(QFile::setPermissions(hidden, QFileDevice::WriteOwner));
    {
        const as_ordinary_user user;
        expect_refused(hidden.toStdString(), {"permission denied: the file cannot be read"});
    }
    ASSERT_TRUE(QFile::setPermissions(m_dir.filePath("locked"), QFileDevice::Permissions()));
    {
        const as_ordinary_user user;
        expect_refused(hidden.toStdString(), {"permission denied: a folder on its path cannot be entered"});
    }
    ASSERT_TRUE(QFile::setPermissions(m_dir.filePath("locked"), open_folder));
}

// Every local header must agree with the central directory and lie before it, and the directory
// must end where the end records begin; a data descriptor's zeros in the local header are not
// a disagreement. Each change is made to the one-entry archive of document.xml, whose local
// header starts the file.
TEST_F(sdr_file_hostile, local_headers_that_disagree_with_the_directory_are_refused)
{
    const QByteArray xml = "<vantrel><session/></vantrel>";
    const raw_entry document{"document.xml", xml, 0, quint32(xml.size()), SDR_FILE_CRC::update(0, xml.constData(), xml.size())};
    const QByteArray plain = raw_zip({document});
    const int end = plain.size() - 22;
    const struct
    {
        const char* label;
        std::function<void(QByteArray*)> change;
        const char* problem; // null: the file opens
    } rows[] = {
        {"no local header", [](QByteArray* b) { (*b)[0] = 'X'; }, "document.xml: its local header is missing"},
        {"another method", [](QByteArray* b) { (*b)[8] = 8; }, "document.xml: the ZIP archive is inconsistent"},
        {"another name", [](QByteArray* b) { (*b)[30] = 'D'; }, "document.xml: the ZIP archive is inconsistent"},
        {"another checksum", [](QByteArray* b) { (*b)[14] = char((*b)[14] ^ 1); },
         "document.xml: the ZIP archive is inconsistent"},
        {"another time", [](QByteArray* b) { (*b)[10] = 1; }, "document.xml: the ZIP archive is inconsistent"},
        {"a header into the directory", [](QByteArray* b) { (*b)[28] = char(0xFF); (*b)[29] = char(0xFF); },
         "document.xml: its local header runs into the archive's central directory"},
        {"a gap before the end record", [end](QByteArray* b) { b->insert(end, "gap!"); },
         "does not end where its end record begins"},
        {"sizes in a data descriptor",
         [](QByteArray* b) {
             (*b)[6] = char((*b)[6] | 0x08);
             for (int at = 14; at < 26; ++at)
                 (*b)[at] = 0;
         },
         nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        QByteArray bytes = plain;
        row.change(&bytes);
        const QString file = m_dir.filePath(QString("local %1.vtl").arg(row.label));
        ASSERT_TRUE(write_file(file, bytes));
        if (row.problem) {
            expect_refused(file.toStdString(), {row.problem});
        } else {
            std::string error;
            EXPECT_NE(sdr_read_session_file(file.toStdString(), &error), nullptr) << error;
        }
    }
}
