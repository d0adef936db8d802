// The pieces under the analyzer file: payload layout and its size rules, the ZIP writer and
// its ZIP64 records, the bounded archive reader and the checked attribute reading of
// document.xml.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_archive_writer.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/sdr/sdr_file_xml_input.h"
#include "host/sdr/sdr_file_xml_output.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <zip.h>

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

struct archive_entry
{
    QString name;
    QVector<QByteArray> pieces;
    bool compress;
    bool deflated; // expected method in the archive

    QByteArray bytes() const
    {
        QByteArray all;
        for (const QByteArray& piece : pieces)
            all += piece;
        return all;
    }
};

bool write_entries(const QString& path, const QVector<archive_entry>& entries,
                   const SDR_FILE_ARCHIVE_WRITER::LIMITS& limits = SDR_FILE_ARCHIVE_WRITER::LIMITS())
{
    SDR_FILE_ARCHIVE_WRITER writer(path);
    writer.set_limits(limits);
    SDR_FILE_ERROR error;
    bool ok = writer.begin(&error);
    for (const archive_entry& entry : entries)
        ok = ok && writer.add_entry(entry.name, entry.pieces, entry.compress, &error);
    ok = ok && writer.commit(&error);
    EXPECT_TRUE(ok) << error.message().toStdString();
    return ok;
}

// Opens with the consistency checks of the analyzer file reader (local headers against the
// central directory, exact end records).
zip_t* open_checked(const QString& path)
{
    int code = 0;
    return zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
}

// Checks one entry through libzip: its bytes, method and checksum. Reading past the last byte
// makes libzip verify the checksum against the data itself.
void expect_libzip_entry(zip_t* zip, const archive_entry& entry)
{
    const std::string label = entry.name.toStdString();
    const zip_int64_t index = zip_name_locate(zip, entry.name.toUtf8().constData(), 0);
    ASSERT_GE(index, 0) << label;
    zip_stat_t st;
    ASSERT_EQ(zip_stat_index(zip, zip_uint64_t(index), 0, &st), 0) << label;
    const QByteArray expected = entry.bytes();
    EXPECT_EQ(st.size, zip_uint64_t(expected.size())) << label;
    EXPECT_EQ(st.crc, SDR_FILE_CRC::update(0, expected.constData(), expected.size())) << label;
    EXPECT_EQ(st.comp_method, entry.deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE) << label;
    zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(index), 0);
    ASSERT_NE(file, nullptr) << label;
    QByteArray bytes(expected.size() + 1, '\0');
    const zip_int64_t n = zip_fread(file, bytes.data(), zip_uint64_t(bytes.size()));
    EXPECT_EQ(n, zip_int64_t(expected.size())) << label << ": " << zip_file_strerror(file);
    EXPECT_EQ(bytes.left(expected.size()), expected) << label;
    zip_fclose(file);
}

void expect_libzip_reads(const QString& path, const QVector<archive_entry>& entries)
{
    zip_t* zip = open_checked(path);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip_get_num_entries(zip, 0), entries.size());
    for (const archive_entry& entry : entries)
        expect_libzip_entry(zip, entry);
    zip_discard(zip);
}

// The file layer's own reader, which reads stored entries directly at the offsets the
// central directory gives.
void expect_reader_reads(const QString& path, const QVector<archive_entry>& entries)
{
    SDR_FILE_ARCHIVE_READER reader(path);
    SDR_FILE_ERROR error;
    ASSERT_TRUE(reader.open(&error)) << error.message().toStdString();
    for (const archive_entry& entry : entries) {
        QByteArray bytes;
        EXPECT_TRUE(reader.read_entry(entry.name, 1 << 24, &bytes, &error)) << error.message().toStdString();
        EXPECT_EQ(bytes, entry.bytes()) << entry.name.toStdString();
    }
}

// Info-ZIP's own test of every entry, where it is installed.
void expect_unzip_accepts(const QString& path)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        return;
    QProcess process;
    process.start(unzip, {QStringLiteral("-tqq"), path});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString()
                                     << process.readAllStandardError().toStdString();
}

quint16 u16_at(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32_at(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
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

TEST(sdr_file_archive, every_entry_and_checksum_reads_back_through_libzip_and_unzip)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("mixed.zip");
    const QByteArray noise = noise_bytes(300000);
    const QVector<archive_entry> entries = {
        {"document.xml", {QByteArray(40000, 'x'), "<end/>"}, true, true},
        {"empty stored", {}, false, false},
        {"empty compressed", {QByteArray()}, true, false},
        {QString::fromUtf8("logs/Größe_データ.bin"), {noise.left(1000), QByteArray(), noise.mid(1000)}, false, false},
        {QString::fromUtf8("embedded/ünpackable.bin"), {noise.left(5000)}, true, false},
        {"one byte", {"z"}, false, false},
    };
    ASSERT_TRUE(write_entries(file, entries));
    expect_libzip_reads(file, entries);
    expect_reader_reads(file, entries);
    expect_unzip_accepts(file);
    SDR_FILE_ARCHIVE_READER reader(file);
    SDR_FILE_ERROR error;
    ASSERT_TRUE(reader.open(&error));
    EXPECT_EQ(reader.entry_names().size(), entries.size());
    EXPECT_EQ(reader.entry_names().at(3), entries.at(3).name);
}

// The ZIP64 records cannot be reached for real in a test (they take 4 GiB), so the limits
// are lowered: the same records are then written for small sizes and offsets.
TEST(sdr_file_archive, zip64_records_are_read_by_libzip_the_reader_and_unzip)
{
    struct row
    {
        const char* label;
        SDR_FILE_ARCHIVE_WRITER::LIMITS limits;
        bool end64;
    };
    const row rows[] = {
        {"classic records", {}, false},
        {"sizes and offsets past the field limit", {100, 0xFFFF}, true},
        {"entry count at its limit", {0xFFFFFFFFull, 4}, true},
        {"both", {100, 4}, true},
    };
    const QByteArray noise = noise_bytes(70000); // past libzip's 64 KiB end search window
    const QVector<archive_entry> entries = {
        {"big.bin", {noise}, false, false},
        {"document.xml", {QByteArray(5000, 'a')}, true, true}, // large, but deflates below 100
        {"small.bin", {"0123456789"}, false, false},
        {"empty.bin", {}, false, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.label);
        QTemporaryDir dir;
        const QString file = dir.filePath("zip64.zip");
        ASSERT_TRUE(write_entries(file, entries, r.limits));
        expect_libzip_reads(file, entries);
        expect_reader_reads(file, entries);
        expect_unzip_accepts(file);
        const QByteArray bytes = file_bytes(file);
        EXPECT_EQ(bytes.contains(QByteArray("PK\x06\x06", 4)), r.end64);
        EXPECT_EQ(bytes.contains(QByteArray("PK\x06\x07", 4)), r.end64);
    }
}

TEST(sdr_file_archive, zip64_local_header_carries_both_sizes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("layout.zip");
    const QByteArray data = noise_bytes(1000);
    ASSERT_TRUE(write_entries(file, {{"a", {data}, false, false}, {"b", {"tail"}, false, false}}, {100, 0xFFFF}));
    const QByteArray bytes = file_bytes(file);
    ASSERT_GT(bytes.size(), 30 + 1 + 20 + 1000);
    EXPECT_EQ(u32_at(bytes, 0), 0x04034b50u);
    EXPECT_EQ(u16_at(bytes, 4), 45); // version needed: ZIP64
    EXPECT_EQ(u32_at(bytes, 18), 0xFFFFFFFFu);
    EXPECT_EQ(u32_at(bytes, 22), 0xFFFFFFFFu);
    ASSERT_EQ(u16_at(bytes, 28), 20);
    EXPECT_EQ(u16_at(bytes, 31), 0x0001);
    EXPECT_EQ(u16_at(bytes, 33), 16);
    EXPECT_EQ(qFromLittleEndian<quint64>(bytes.constData() + 35), 1000u);
    EXPECT_EQ(qFromLittleEndian<quint64>(bytes.constData() + 43), 1000u);
    EXPECT_EQ(bytes.mid(51, 1000), data);
    // The second entry starts past the lowered limit: only its offset is wide.
    const int second = 51 + 1000;
    EXPECT_EQ(u32_at(bytes, second), 0x04034b50u);
    EXPECT_EQ(u32_at(bytes, second + 18), 4u);
    EXPECT_EQ(u16_at(bytes, second + 28), 0);
    const int end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    ASSERT_EQ(end, bytes.size() - 22);
    EXPECT_EQ(u16_at(bytes, end + 10), 2);             // the count fits
    EXPECT_EQ(u32_at(bytes, end + 16), 0xFFFFFFFFu);   // the directory offset does not
    EXPECT_EQ(u32_at(bytes, end - 20), 0x07064b50u);   // locator right before the end record
}

TEST(sdr_file_archive, more_entries_than_the_classic_count_holds)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("many.zip");
    const int count = 0xFFFF + 2;
    {
        SDR_FILE_ARCHIVE_WRITER writer(file);
        SDR_FILE_ERROR error;
        ASSERT_TRUE(writer.begin(&error));
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(writer.add_entry(QStringLiteral("e/%1").arg(i), i % 7 ? QByteArray::number(i) : QByteArray(), false, &error));
        ASSERT_TRUE(writer.commit(&error)) << error.message().toStdString();
    }
    zip_t* zip = open_checked(file);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip_get_num_entries(zip, 0), count);
    for (int i : {0, 1, 0xFFFE, 0xFFFF, count - 1})
        expect_libzip_entry(zip, {QStringLiteral("e/%1").arg(i), {i % 7 ? QByteArray::number(i) : QByteArray()}, false, false});
    zip_discard(zip);
    const QByteArray bytes = file_bytes(file);
    EXPECT_EQ(u16_at(bytes, bytes.size() - 22 + 10), 0xFFFF);
    SDR_FILE_ARCHIVE_READER reader(file);
    SDR_FILE_ERROR error;
    ASSERT_TRUE(reader.open(&error));
    EXPECT_EQ(reader.entry_names().size(), count);
    QByteArray last;
    EXPECT_TRUE(reader.read_entry(QStringLiteral("e/%1").arg(count - 1), 100, &last, &error));
    EXPECT_EQ(last, QByteArray::number(count - 1));
}

TEST(sdr_file_archive, an_unfinished_or_refused_archive_leaves_the_target_alone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("keep.zip");
    ASSERT_TRUE(write_entries(file, {{"old", {"old data"}, false, false}}));
    const QByteArray before = file_bytes(file);
    {
        SDR_FILE_ARCHIVE_WRITER writer(file);
        SDR_FILE_ERROR error;
        ASSERT_TRUE(writer.begin(&error));
        ASSERT_TRUE(writer.add_entry("new", QByteArray(100000, 'n'), false, &error));
        // Where the file system allows, the temporary file has no name while it is written.
        const QString temporary = writer.temporary_path();
        EXPECT_TRUE(temporary.isEmpty() || QFile::exists(temporary));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), temporary.isEmpty() ? 1 : 2);
    } // dropped without commit
    SDR_FILE_ARCHIVE_WRITER writer(file);
    SDR_FILE_ERROR error;
    ASSERT_TRUE(writer.begin(&error));
    EXPECT_FALSE(writer.add_entry(QString(70000, QChar('n')), "x", false, &error));
    EXPECT_TRUE(error.message().contains("too long")) << error.message().toStdString();
    EXPECT_FALSE(writer.commit(&error));
    EXPECT_EQ(file_bytes(file), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.zip"});
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
        if (length <= 300) {
            EXPECT_EQ(whole, bytewise) << length;
        }
        const qint64 half = length / 3;
        const quint32 first = SDR_FILE_CRC::update(0, data.constData(), half);
        EXPECT_EQ(SDR_FILE_CRC::update(first, data.constData() + half, length - half), whole) << length;
        EXPECT_EQ(SDR_FILE_CRC::combine(first, SDR_FILE_CRC::update(0, data.constData() + half, length - half), length - half), whole) << length;
    }
    EXPECT_EQ(SDR_FILE_CRC::update(0, data.constData(), 300), reference);

    // Blocks this large are split over threads; the combined result must equal the serial one.
    QByteArray big;
    while (big.size() < (65 << 20) + 13)
        big += data;
    big.truncate((65 << 20) + 13);
    quint32 serial = 0;
    for (qint64 at = 0; at < big.size(); at += 1 << 20)
        serial = SDR_FILE_CRC::update(serial, big.constData() + at, std::min<qint64>(1 << 20, big.size() - at));
    EXPECT_EQ(SDR_FILE_CRC::update(0, big.constData(), big.size()), serial);
}
