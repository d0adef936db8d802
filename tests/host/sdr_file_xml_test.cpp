// Document XML: the bounds scan (the piece past its limit, its line and column, whatever pieces
// the bytes arrive in) and the checked reading of elements and attributes.
#include "host/sdr/sdr_file_xml_input.h"
#include "host/sdr/sdr_file_xml_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace
{
struct RESULT
{
    bool passed = true;
    std::string problem;
    qint64 line = 0;
    qint64 column = 0;
};

RESULT scan_in_pieces(const std::string& xml, qint64 piece)
{
    SDR_FILE_XML_SCAN scan(SDR_FILE_XML_SCAN::LIMITS{8, 12, 32});
    RESULT result;
    for (size_t at = 0; at < xml.size() && result.passed; at += size_t(piece))
        result.passed = scan.scan(xml.data() + at, std::min<qint64>(piece, qint64(xml.size() - at)));
    result.problem = scan.problem().toStdString();
    result.line = scan.line();
    result.column = scan.column();
    return result;
}

struct CASE
{
    const char* name;
    std::string xml;
    const char* problem; // "" when the bytes stay within the limits
    qint64 line;
    qint64 column;
};

// Limits: names 8 bytes, values 12, texts 32.
const CASE CASES[] = {
    {"within every limit",
     "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e 'x'>]>\n<root1234 a='123456789012' b=\"\">\n"
     " <!-- a comment --> <![CDATA[ a ]] b > ]]>\n <e/>text of thirty-two bytes....<e></e>\n</root1234>\n",
     "", 0, 0},
    {"text", "<r>\n 0123456789abcdef0123456789abcdef</r>", "a text is longer than the 32 bytes it may hold", 2, 32},
    {"text after newlines", "<r>\n\n\n0123456789abcdef0123456789abcdefg", "a text is longer than the 32 bytes it may hold", 4, 30},
    {"value in double quotes", "<r>\n<e id=\"a' 0123456789\"/>", "the value of attribute \"id\" of <e> is longer than the 12 bytes it may hold", 2, 20},
    {"value in single quotes", "<e\nid='a\" 0123456789'/>", "the value of attribute \"id\" of <e> is longer than the 12 bytes it may hold", 2, 17},
    {"value over lines", "<e v=\"\n\n\n0123456789ab\"/>", "the value of attribute \"v\" of <e> is longer than the 12 bytes it may hold", 4, 10},
    {"element name", "<r>\n <abcdefghij/>", "the name of element <abcdefgh> is longer than the 8 bytes it may hold", 2, 11},
    {"attribute name", "<r abcdefghi=\"1\"/>", "the name of attribute \"abcdefgh\" of <r> is longer than the 8 bytes it may hold", 1, 12},
    {"end tag", "<r></abcdefghi>", "the name of an end tag is longer than the 8 bytes it may hold", 1, 14},
    {"comment", "<r><!-- 0123456789abcdef0123456789abcdef -->", "a comment is longer than the 32 bytes it may hold", 1, 40},
    {"CDATA section", "<r><![CDATA[0123456789abcdef0123456789abcdefg]]>", "a CDATA section is longer than the 32 bytes it may hold", 1, 45},
    {"processing instruction", "<?0123456789abcdef0123456789abcdefg?>", "a processing instruction is longer than the 32 bytes it may hold", 1, 35},
    {"document type", "<!DOCTYPE [0123456789abcdef0123456789]>", "the document type is longer than the 32 bytes it may hold", 1, 35},
};

// A table of cases, each scanned whole, a byte at a time and in every piece size between: the
// runs a scan skips over must not change where a limit is passed.
TEST(sdr_file_xml_scan, limits_are_passed_at_the_same_byte_whatever_the_pieces)
{
    for (const CASE& c : CASES) {
        for (qint64 piece = 1; piece <= qint64(c.xml.size()); ++piece) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            const RESULT result = scan_in_pieces(c.xml, piece);
            EXPECT_EQ(result.problem, c.problem);
            EXPECT_EQ(result.passed, std::string(c.problem).empty());
            if (!result.passed) {
                EXPECT_EQ(result.line, c.line);
                EXPECT_EQ(result.column, c.column);
            }
        }
    }
}

// A long hostile name is shown by its start.
TEST(sdr_file_xml_scan, a_long_name_is_shown_by_its_start)
{
    SDR_FILE_XML_SCAN scan(SDR_FILE_XML_SCAN::LIMITS{100, 100, 100});
    const std::string xml = "<" + std::string(101, 'n');
    EXPECT_FALSE(scan.scan(xml.data(), qint64(xml.size())));
    EXPECT_EQ(scan.problem().toStdString(),
              "the name of element <" + std::string(64, 'n') + "...> is longer than the 100 bytes it may hold");
    EXPECT_FALSE(scan.scan("<", 1)) << "a scan stays stopped";
}
} // namespace

// ---- the checked reading of document XML ---------------------------------------------------

namespace
{
// What reading `xml` and every attribute "n" of the root's children as an integer gives: the
// values, then the problem ("" when none). With `ahead`, the document's size is not told, so
// its pieces are read and parsed on a thread of their own whatever its size.
std::string read_numbers(const QByteArray& xml, bool ahead = false)
{
    SDR_FILE_ERROR error("f.vtl");
    const SDR_FILE_XML_INPUT::SOURCE source = [xml, at = qint64(0)](char* buffer, qint64 capacity,
                                                                    SDR_FILE_ERROR*) mutable {
        const qint64 n = std::min<qint64>(capacity, xml.size() - at);
        std::memcpy(buffer, xml.constData() + at, size_t(n));
        at += n;
        return n;
    };
    auto in = ahead ? std::make_unique<SDR_FILE_XML_INPUT>(source, "document.xml", &error)
                    : std::make_unique<SDR_FILE_XML_INPUT>(xml, "document.xml", &error);
    std::string read;
    if (in->root())
        while (in->next_child()) {
            read += std::to_string(in->integer("n", -1, INT_MIN, INT_MAX)) + " ";
            in->skip();
        }
    in->end_of_document();
    return read + (error.is_set() ? error.message().toStdString() : std::string());
}



struct READ_ROW
{
    const char* name;
    QByteArray xml;
    std::string read; // what read_numbers gives
};

// Each row read on the reader's thread and on a thread of its own.
void expect_read(const READ_ROW& row)
{
    for (bool ahead : {false, true})
        EXPECT_EQ(read_numbers(row.xml, ahead), row.read) << row.name << (ahead ? ", parsed ahead" : "");
}
} // namespace

// Numbers in the forms a hand-edited file may hold them, and what is refused, with the place.
TEST(sdr_file_xml_input, integers_are_read_in_every_form_and_refused_with_their_place)
{
    const READ_ROW rows[] = {
        {"plain and signed", "<r><e n=\"7\"/><e n=\"-12\"/><e n=\"+5\"/><e n=\"00012\"/></r>", "7 -12 5 12 "},
        {"blanks around", "<r><e n=\" 3 \"/><e n=\"&#9;4&#10;\"/></r>", "3 4 "},
        {"limits of the type", "<r><e n=\"2147483647\"/><e n=\"-2147483648\"/></r>", "2147483647 -2147483648 "},
        {"absent", "<r><e m=\"1\"/></r>", "-1 "},
        {"out of range", "<r>\n<e n=\"2147483648\"/></r>",
         "-1 f.vtl: document.xml: line 2, column 19: <e>: value 2147483648 of attribute \"n\" is out of range "
         "-2147483648..2147483647"},
        {"past 64 bits", "<r><e n=\"99999999999999999999\"/></r>",
         "-1 f.vtl: document.xml: line 1, column 32: <e>: bad number \"99999999999999999999\" in attribute \"n\""},
        {"not a number", "<r><e n=\"1 2\"/></r>",
         "-1 f.vtl: document.xml: line 1, column 15: <e>: bad number \"1 2\" in attribute \"n\""},
        {"empty", "<r><e n=\"\"/></r>", "-1 f.vtl: document.xml: line 1, column 12: <e>: bad number \"\" in attribute \"n\""},
    };
    for (const READ_ROW& row : rows)
        expect_read(row);
}

namespace
{
// The root's first child holding 12,000 lines of elements (several pieces of the document),
// closed on the last line before `last`; what reading it gives: -1 for that child, then `then`.
READ_ROW many_lines_then(const char* last, const std::string& then)
{
    constexpr int LINES = 12000;
    QByteArray xml = "<r><f>\n";
    for (int line = 0; line < LINES; ++line)
        xml += "<g n=\"" + QByteArray::number(line) + "\"/>\n";
    return {"after many lines", xml + "</f>" + last, "-1 " + then};
}
} // namespace

// Malformed XML is refused where the parser found it; the elements in front of it are read.
TEST(sdr_file_xml_input, malformed_xml_is_refused_where_it_is_found)
{
    const READ_ROW rows[] = {
        {"mismatched end tag", "<r><e n=\"1\"/>\n<e n=\"2\"></f></r>",
         "1 2 f.vtl: document.xml: line 2, column 12: malformed XML: mismatched tag"},
        {"cut short", "<r><e n=\"1\"/>\n<e n=", "1 f.vtl: document.xml: line 2, column 1: malformed XML: unclosed token"},
        {"text after the root", "<r><e n=\"1\"/></r>\nmore",
         "1 f.vtl: document.xml: line 2, column 1: a second root element or text follows the end of the document"},
        {"declared entity", "<!DOCTYPE r [<!ENTITY big \"xxxxxxxx\">]><r><e n=\"&big;\"/></r>",
         "f.vtl: document.xml: line 1, column 27: the document declares entity \"big\"; an analyzer file declares none"},
        many_lines_then("<e n=\"2\"></f></r>", "2 f.vtl: document.xml: line 12002, column 16: malformed XML: mismatched tag"),
        many_lines_then("<e n=\"x\"/></r>",
                        "-1 f.vtl: document.xml: line 12002, column 14: <e>: bad number \"x\" in attribute \"n\""),
    };
    for (const READ_ROW& row : rows)
        expect_read(row);
}
