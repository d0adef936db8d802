// The bounds scan of document XML: the piece past its limit, its line and column, whatever
// pieces the bytes arrive in.
#include "host/sdr/sdr_file_xml_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
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
