// The pieces under the analyzer file: payload layout and its size rules, the bounded
// archive reader and the checked attribute reading of document.xml.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_archive_writer.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/sdr/sdr_file_xml_input.h"
#include "host/sdr/sdr_file_xml_output.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sdr_file_test;

namespace
{
QByteArray noise_bytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (int i = 0; i < size; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        bytes[i] = char(x);
    }
    return bytes;
}
} // namespace

TEST(sdr_file_payload, header_round_trips_and_sizes_follow_the_counts)
{
    SDR_FILE_PAYLOAD_HEADER h;
    h.depth = 37;
    h.channels = 9;
    h.segment_size = 16;
    h.trigger_positions = 3;
    h.flags = 2;
    h.counters = 1;
    h.state_value = -7;
    const qint64 size = SDR_FILE_PAYLOAD::expected_size(h);
    EXPECT_EQ(size, 40 + (9 + 3) * 5 + 2 + 12 + 2 + 4);
    SDR_FILE_PAYLOAD_HEADER back;
    QString problem;
    ASSERT_TRUE(SDR_FILE_PAYLOAD::decode_header(SDR_FILE_PAYLOAD::encode_header(h), size, &back, &problem)) << problem.toStdString();
    EXPECT_EQ(back.depth, 37u);
    EXPECT_EQ(back.channels, 9u);
    EXPECT_EQ(back.state_value, -7);
    EXPECT_FALSE(SDR_FILE_PAYLOAD::decode_header(SDR_FILE_PAYLOAD::encode_header(h), size + 1, &back, &problem));
    EXPECT_FALSE(SDR_FILE_PAYLOAD::decode_header(SDR_FILE_PAYLOAD::encode_header(h), size - 1, &back, &problem));
}

TEST(sdr_file_payload, hostile_counts_are_refused_without_overflow)
{
    struct row
    {
        const char* label;
        SDR_FILE_PAYLOAD_HEADER header;
        const char* problem;
    };
    const row rows[] = {
        {"depth past the bound", {(1u << 30) + 1, 1, 0, 1, 0, 0, -1}, "sample depth"},
        {"channels past the bound", {8, 0xFFFFFFFFu, 0, 1, 0, 0, -1}, "channel count"},
        {"positions past the bound", {8, 1, 0, 0xFFFFFFFFu, 0, 0, -1}, "trigger position count"},
        {"segments longer than the log", {8, 1, 9, 1, 0, 0, -1}, "segment size"},
        {"all counts at their bounds", {1u << 30, 1u << 16, 0, 1u << 20, 1u << 16, 1u << 16, -1}, "the counts need"},
    };
    for (const row& r : rows) {
        SDR_FILE_PAYLOAD_HEADER back;
        QString problem;
        EXPECT_FALSE(SDR_FILE_PAYLOAD::decode_header(SDR_FILE_PAYLOAD::encode_header(r.header), 64, &back, &problem)) << r.label;
        EXPECT_TRUE(problem.contains(QLatin1String(r.problem))) << r.label << ": " << problem.toStdString();
    }
}

TEST(sdr_file_archive, entries_made_of_pieces_are_read_back_exactly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("pieces.zip");
    SDR_FILE_ARCHIVE_WRITER writer(file);
    SDR_FILE_ERROR error;
    ASSERT_TRUE(writer.begin(&error));
    ASSERT_TRUE(writer.add_entry("stored.bin", QVector<QByteArray>{"abc", QByteArray(), QByteArray(100000, '\7'), "z"}, false, &error));
    ASSERT_TRUE(writer.add_entry("packed.txt", QByteArray(50000, 'q'), true, &error));
    ASSERT_TRUE(writer.commit(&error)) << error.message().toStdString();

    SDR_FILE_ARCHIVE_READER reader(file);
    ASSERT_TRUE(reader.open(&error));
    EXPECT_EQ(reader.entry_names(), (QStringList{"stored.bin", "packed.txt"}));
    QByteArray bytes;
    ASSERT_TRUE(reader.read_entry("stored.bin", 1 << 20, &bytes, &error));
    EXPECT_EQ(bytes, "abc" + QByteArray(100000, '\7') + "z");
    EXPECT_FALSE(reader.read_entry("packed.txt", 1000, &bytes, &error));
    EXPECT_TRUE(error.message().contains("packed.txt: the entry is too large")) << error.message().toStdString();

    SDR_FILE_ERROR short_read;
    SDR_FILE_ENTRY_READER entry(reader, "stored.bin");
    ASSERT_TRUE(entry.open(&short_read));
    char buffer[8];
    ASSERT_TRUE(entry.read_exact(buffer, 3, &short_read));
    EXPECT_FALSE(entry.finish(&short_read));
    EXPECT_TRUE(short_read.message().contains("unexpected data at the end")) << short_read.message().toStdString();
}

TEST(sdr_file_xml, texts_xml_cannot_carry_round_trip_as_base64)
{
    const std::string texts[] = {"plain", "Größe <&> \"q\"", std::string("nul\0byte", 8), "\x01\x1f", "\xff\xfe not utf-8",
                                 "tab\tnew\nline\rcr"};
    QByteArray document;
    {
        SDR_FILE_XML_OUTPUT out(&document);
        out.begin_document();
        out.start("root");
        for (size_t i = 0; i < std::size(texts); ++i) {
            out.start("t");
            out.text("v", texts[i]);
            out.end();
        }
        out.end();
        out.end_document();
    }
    SDR_FILE_ERROR error("f");
    SDR_FILE_XML_INPUT in(document, "document.xml", &error);
    ASSERT_TRUE(in.root());
    size_t i = 0;
    while (in.next_child()) {
        ASSERT_LT(i, std::size(texts));
        EXPECT_EQ(in.text("v"), texts[i]) << i;
        in.skip();
        ++i;
    }
    EXPECT_TRUE(in.finish()) << error.message().toStdString();
    EXPECT_EQ(i, std::size(texts));
}

TEST(sdr_file_xml, checked_values_report_the_position)
{
    SDR_FILE_ERROR error("f.vtl");
    SDR_FILE_XML_INPUT in("<r>\n  <e n=\"12x\" b=\"maybe\" l=\"1 2\"/>\n</r>", "document.xml", &error);
    ASSERT_TRUE(in.root());
    ASSERT_TRUE(in.next_child());
    EXPECT_EQ(in.integer("absent", 5, 0, 9), 5);
    EXPECT_EQ(in.integer("n", 5, 0, 9), 5);
    EXPECT_FALSE(in.finish());
    EXPECT_EQ(error.message().toStdString(), "f.vtl: document.xml: line 2, column 32: <e>: bad number \"12x\" in attribute \"n\"");
}

TEST(sdr_file_crc, matches_the_zip_checksum_for_every_length_and_split)
{
    EXPECT_EQ(SDR_FILE_CRC::update(0, "123456789", 9), 0xCBF43926u);
    const QByteArray data = noise_bytes(5 << 20);
    quint32 reference = 0;
    for (qint64 i = 0; i < 300; ++i)
        reference = SDR_FILE_CRC::update(reference, data.constData() + i, 1);
    for (qint64 length : {qint64(0), qint64(15), qint64(64), qint64(65), qint64(300), qint64(4097), qint64(5 << 20)}) {
        quint32 bytewise = 0;
        for (qint64 i = 0; i < std::min<qint64>(length, 300); ++i)
            bytewise = SDR_FILE_CRC::update(bytewise, data.constData() + i, 1);
        const quint32 whole = SDR_FILE_CRC::update(0, data.constData(), length);
        if (length <= 300)
            EXPECT_EQ(whole, bytewise) << length;
        const qint64 half = length / 3;
        const quint32 first = SDR_FILE_CRC::update(0, data.constData(), half);
        EXPECT_EQ(SDR_FILE_CRC::update(first, data.constData() + half, length - half), whole) << length;
        EXPECT_EQ(SDR_FILE_CRC::combine(first, SDR_FILE_CRC::update(0, data.constData() + half, length - half), length - half), whole) << length;
    }
    EXPECT_EQ(SDR_FILE_CRC::update(0, data.constData(), 300), reference);
}
