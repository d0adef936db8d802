// Exported value change dumps read by other tools: a round trip through gtkwave's FST
// converters and sigrok's reader give back the log's values, one sample per sample. Skipped,
// with the reason, where the tools are not installed (scripts/setup installs them).
#include "host/sli.h"
#include "support/sli_test_support.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using sli_test::log_fixture;

namespace
{
bool installed(const QStringList& programs, std::string* missing)
{
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            *missing += (missing->empty() ? "" : ", ") + program.toStdString();
    return missing->empty();
}

bool export_dump(SDR_DATA_LOG* log, long long clock, const QString& path)
{
    SLI_DATA_LOG_EXPORTER exporter;
    return exporter.create_vector_database(log, SLI_OUTPUT_FORMAT_VCD, clock) &&
           exporter.export_file(QFile::encodeName(path).constData());
}

// sigrok's csv: comment lines start with ";", then a line of channel types, then a row of
// 0/1 per sample.
std::vector<std::string> sigrok_rows(const std::string& output, size_t* channels)
{
    std::vector<std::string> rows;
    std::istringstream in(output);
    bool types = true;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == ';' || line.rfind("META", 0) == 0)
            continue;
        if (types) {
            *channels = size_t(std::count(line.begin(), line.end(), ',')) + 1;
            types = false;
            continue;
        }
        line.erase(std::remove(line.begin(), line.end(), ','), line.end());
        rows.push_back(line);
    }
    return rows;
}
} // namespace

TEST(sli_tools, a_dump_round_trips_through_fst)
{
    std::string missing;
    if (!installed({"vcd2fst", "fst2vcd"}, &missing))
        GTEST_SKIP() << "not installed: " << missing << " (Debian package gtkwave)";
    QTemporaryDir dir;
    std::string valid;
    const std::vector<sli_test::group> groups = sli_test::groups_of(100, 16);
    log_fixture fixture(sli_test::varied_wires(100, 2000, 21, &valid), 2000, valid, 500, groups);
    ASSERT_TRUE(export_dump(fixture.log, 10000, dir.filePath("a.vcd")));
    std::string output;
    std::string error;
    ASSERT_TRUE(sli_test::run_tool("vcd2fst", {dir.filePath("a.vcd"), dir.filePath("a.fst")}, &output, &error))
        << error;
    ASSERT_TRUE(sli_test::run_tool("fst2vcd", {dir.filePath("a.fst")}, &output, &error)) << error;
    QFile back(dir.filePath("back.vcd"));
    ASSERT_TRUE(back.open(QIODevice::WriteOnly));
    back.write(output.data(), qint64(output.size()));
    back.close();
    const sli_test::dump dump = sli_test::read_dump(dir.filePath("back.vcd"), 1, 2000);
    ASSERT_EQ(dump.error, "");
    EXPECT_EQ(dump.timescale, "10ns");
    EXPECT_EQ(dump.end_time, 2000);
    const std::vector<std::string> expected = sli_test::expected_values(fixture.log);
    const std::vector<std::pair<std::string, int>> bits = sli_test::group_bits(groups);
    ASSERT_EQ(dump.names.size(), expected.size() + bits.size());
    for (size_t c = 0; c < expected.size(); ++c) {
        EXPECT_EQ(dump.names[c], fixture.log->m_wire_names[c]);
        EXPECT_TRUE(dump.values[c] == expected[c]) << fixture.log->m_wire_names[c];
    }
    for (size_t b = 0; b < bits.size(); ++b) {
        EXPECT_EQ(dump.names[expected.size() + b], bits[b].first);
        EXPECT_TRUE(dump.values[expected.size() + b] == expected[size_t(bits[b].second)]) << bits[b].first;
    }
}

TEST(sli_tools, sigrok_reads_one_sample_per_sample)
{
    std::string missing;
    if (!installed({"sigrok-cli"}, &missing))
        GTEST_SKIP() << "not installed: " << missing << " (Debian package sigrok-cli)";
    // The size that took minutes with a picosecond time step per sample.
    QTemporaryDir dir;
    std::string valid;
    // In buses, whose bits the dump gives again under the buses' names: sigrok reads them all.
    const std::vector<sli_test::group> groups = sli_test::groups_of(256, 32);
    log_fixture fixture(sli_test::varied_wires(256, 1000, 5, &valid), 1000, valid, -1, groups);
    ASSERT_TRUE(export_dump(fixture.log, 10000, dir.filePath("s.vcd")));
    std::string output;
    std::string error;
    ASSERT_TRUE(sli_test::run_tool("sigrok-cli", {"-I", "vcd", "-i", dir.filePath("s.vcd"), "-O", "csv"}, &output,
                                   &error))
        << error;
    EXPECT_NE(output.find("META samplerate: 100000000\n"), std::string::npos) << "10 ns a sample";
    size_t channels = 0;
    const std::vector<std::string> rows = sigrok_rows(output, &channels);
    const std::vector<std::pair<std::string, int>> bits = sli_test::group_bits(groups);
    EXPECT_EQ(channels, 256u + bits.size());
    ASSERT_EQ(rows.size(), 1000u);
    // sigrok has no unknown level: an "x" reads as 0.
    const std::vector<std::string> expected = sli_test::expected_values(fixture.log);
    for (size_t c = 0; c < channels; ++c) {
        std::string column;
        for (const std::string& row : rows)
            column += c < row.size() ? row[c] : '?';
        const size_t wire = c < expected.size() ? c : size_t(bits[c - expected.size()].second);
        std::string levels = expected[wire];
        std::replace(levels.begin(), levels.end(), 'x', '0');
        EXPECT_TRUE(column == levels) << "channel " << c;
    }
}
