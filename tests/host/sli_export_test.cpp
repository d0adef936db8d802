// Data exporter: the csv, tbl and vcd files of a data log, compared with golden files and with
// the log's bits; timescales; names; what it refuses; failed writes that keep the old file.
#include "host/sli.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sli_control.h"
#include "sdr_file_test_support.h"
#include "support/sli_test_support.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using sli_test::log_fixture;
using sli_test::wire;

namespace
{
bool export_log(SDR_DATA_LOG* log, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format, long long clock, const QString& path)
{
    SLI_DATA_LOG_EXPORTER exporter;
    return exporter.create_vector_database(log, format, clock) && exporter.export_file(QFile::encodeName(path).constData());
}

// Four wires over six samples: a blank and a comma in names, an unconnected wire, the
// trigger at sample 2 and an invalid sample 3.
std::vector<wire> small_wires()
{
    return {{"top|a", "010110"}, {"top|b c", "001100"}, {"bus,x[0]", "111000"}, {"d", "101010", false}};
}

// Five wires over four samples and two buses: one of wires already named as its bits (the bus
// named with their range), one read from its last wire (unconnected) as the most significant
// bit; sample 2 invalid.
std::vector<wire> bus_wires()
{
    return {{"top|a[1]", "0101"}, {"top|a[0]", "0011"}, {"top|ready", "1100"}, {"top|valid", "1010", false},
            {"top|c", "0110"}};
}
const std::vector<sli_test::group> BUS_GROUPS = {{"top|a[1..0]", 0, 1}, {"top|hs", 2, 3, true}};

class sli_export : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(sli_export, each_format_writes_the_expected_file)
{
    const struct
    {
        const char* name;
        SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format;
        long long clock;
        const char* golden;
        bool buses;
    } rows[] = {{"csv at 10 ns", SLI_OUTPUT_FORMAT_CSV, 10000, "sli_small.expected.csv", false},
                {"tbl at 10 ns", SLI_OUTPUT_FORMAT_TBL, 10000, "sli_small.expected.tbl", false},
                {"vcd at 10 ns", SLI_OUTPUT_FORMAT_VCD, 10000, "sli_small.expected.vcd", false},
                {"csv without clock", SLI_OUTPUT_FORMAT_CSV, 0, "sli_small_samples.expected.csv", false},
                {"vcd at 30 ns", SLI_OUTPUT_FORMAT_VCD, 30000, "sli_small_30ns.expected.vcd", false},
                {"vcd with buses", SLI_OUTPUT_FORMAT_VCD, 10000, "sli_buses.expected.vcd", true}};
    log_fixture fixture(small_wires(), 6, "111011", 2);
    log_fixture with_buses(bus_wires(), 4, "1101", 0, BUS_GROUPS);
    for (const auto& row : rows) {
        const QString file = path(row.golden);
        ASSERT_TRUE(export_log(row.buses ? with_buses.log : fixture.log, row.format, row.clock, file)) << row.name;
        EXPECT_EQ(sli_test::file_text(file),
                  sli_test::file_text(QStringLiteral(SEDQ_TEST_DATA_DIR "/host/cases/") + row.golden))
            << row.name;
    }
}

// A small log, and ones long and wide enough to be formatted in many pieces on several threads
// (a wire past 94 takes two-character codes in the dump), the last with more pieces than wait
// to be written at once, so that the outputs of pieces are reused; invalid at the start of
// every 64 samples, so that some piece starts with an invalid sample after a valid one. The
// wires are in buses of twelve, whose bits the dump gives again under the bus's name.
TEST_F(sli_export, csv_and_dump_give_the_log_values)
{
    const struct
    {
        const char* name;
        int wires;
        int depth;
        bool block_starts_invalid;
    } rows[] = {{"small", 70, 3000, false},
                {"in pieces", 300, 13000, true},
                {"more pieces than are formatted ahead", 200, 30000, true}};
    for (const auto& row : rows) {
        std::string valid;
        const std::vector<wire> wires = sli_test::varied_wires(row.wires, row.depth, 7, &valid);
        for (int s = 0; row.block_starts_invalid && s < row.depth; s += 64)
            valid[size_t(s)] = '0';
        const std::vector<sli_test::group> groups = sli_test::groups_of(row.wires, 12);
        log_fixture fixture(wires, row.depth, valid, 1000, groups);
        const std::vector<std::string> expected = sli_test::expected_values(fixture.log);
        ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, 10000, path("a.csv"))) << row.name;
        const sli_test::table csv = sli_test::read_csv(path("a.csv"));
        ASSERT_EQ(csv.header.size(), wires.size() + 1) << row.name;
        EXPECT_EQ(csv.header[0], "Time(ps)");
        ASSERT_EQ(csv.rows.size(), size_t(row.depth)) << row.name;
        for (int s = 0; s < row.depth; ++s) {
            const std::vector<std::string>& line = csv.rows[size_t(s)];
            ASSERT_EQ(line.size(), wires.size() + 1) << row.name << " sample " << s;
            ASSERT_EQ(line[0], std::to_string((s - 1000) * 10000LL)) << row.name << " sample " << s;
            for (size_t c = 0; c < wires.size(); ++c)
                ASSERT_EQ(line[c + 1][0], expected[c][size_t(s)]) << row.name << " " << wires[c].name << " sample " << s;
        }
        ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, 10000, path("a.vcd"))) << row.name;
        const sli_test::dump vcd = sli_test::read_dump(path("a.vcd"), 1, row.depth);
        ASSERT_EQ(vcd.error, "") << row.name;
        EXPECT_EQ(vcd.timescale, "10ns");
        EXPECT_EQ(vcd.end_time, row.depth) << row.name;
        const std::vector<std::pair<std::string, int>> bits = sli_test::group_bits(groups);
        ASSERT_EQ(vcd.names.size(), wires.size() + bits.size()) << row.name;
        for (size_t c = 0; c < wires.size(); ++c) {
            EXPECT_EQ(vcd.names[c], wires[c].name);
            EXPECT_EQ(csv.header[c + 1], wires[c].name);
            EXPECT_TRUE(vcd.values[c] == expected[c]) << row.name << " " << wires[c].name;
        }
        for (size_t b = 0; b < bits.size(); ++b) {
            EXPECT_EQ(vcd.names[wires.size() + b], bits[b].first);
            EXPECT_TRUE(vcd.values[wires.size() + b] == expected[size_t(bits[b].second)]) << row.name << " " << bits[b].first;
        }
    }
}

TEST_F(sli_export, a_sample_is_one_step_of_the_coarsest_unit_that_divides_the_clock)
{
    const struct
    {
        const char* name;
        long long clock;
        const char* timescale;
        long long steps;
    } rows[] = {{"10 ns", 10000, "10ns", 1},          {"1 ps", 1, "1ps", 1},
                {"30 ns", 30000, "10ns", 3},          {"1 us", 1000000, "1us", 1},
                {"12.5 ns", 12500, "100ps", 125},     {"100 s", 100000000000000LL, "100s", 1},
                {"250 s", 250000000000000LL, "10s", 25}, {"clock not set", 0, "1ps", 1},
                {"negative clock", -5, "1ps", 1}};
    std::string valid;
    log_fixture fixture(sli_test::varied_wires(9, 130, 3, &valid), 130, valid);
    const std::vector<std::string> expected = sli_test::expected_values(fixture.log);
    for (const auto& row : rows) {
        ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, row.clock, path("t.vcd"))) << row.name;
        const sli_test::dump vcd = sli_test::read_dump(path("t.vcd"), row.steps, 130);
        EXPECT_EQ(vcd.timescale, row.timescale) << row.name;
        EXPECT_EQ(vcd.end_time, 130 * row.steps) << row.name;
        EXPECT_EQ(vcd.values, expected) << row.name;
    }
}

TEST_F(sli_export, times_too_long_for_a_dump_still_fit_the_tables)
{
    // 9999999999999999 ps has no coarser unit than 1 ps: 5000 samples of it pass 2^63 steps.
    std::string valid;
    log_fixture fixture(sli_test::varied_wires(3, 5000, 5, &valid), 5000, valid);
    const long long clock = 9999999999999999LL;
    EXPECT_FALSE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, clock, path("long.vcd")));
    EXPECT_FALSE(QFile::exists(path("long.vcd")));
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, clock, path("long.csv")));
    const sli_test::table csv = sli_test::read_csv(path("long.csv"));
    ASSERT_EQ(csv.rows.size(), 5000u);
    EXPECT_EQ(csv.rows.back()[0], "49989999999999995001") << "4999 x the clock, past 64 bits";
}

TEST_F(sli_export, names_lose_their_blanks_in_the_dump_and_are_quoted_in_csv)
{
    log_fixture fixture({{"a b", "01"}, {"x,y", "10"}, {"q\"r", "11"}, {"tab\there", "00"}}, 2);
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, 1000, path("n.vcd")));
    EXPECT_EQ(sli_test::read_dump(path("n.vcd"), 1, 2).names,
              (std::vector<std::string>{"a_b", "x,y", "q\"r", "tab_here"}));
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, 1000, path("n.csv")));
    EXPECT_EQ(sli_test::read_csv(path("n.csv")).header,
              (std::vector<std::string>{"Time(ps)", "a b", "x,y", "q\"r", "tab\there"}));
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_TBL, 1000, path("n.tbl")));
    const std::string tbl = sli_test::file_text(path("n.tbl"));
    EXPECT_EQ(tbl.substr(0, tbl.find('\n')), "Time(ps) a_b x,y q\"r tab_here");
}

TEST_F(sli_export, refuses_logs_formats_and_paths_it_cannot_write)
{
    log_fixture fixture(small_wires(), 6);
    SDR_DATA_LOG empty(nullptr, "empty");
    const struct
    {
        const char* name;
        SDR_DATA_LOG* log;
        int format;
    } rows[] = {{"null log", nullptr, SLI_OUTPUT_FORMAT_CSV}, {"log without data", &empty, SLI_OUTPUT_FORMAT_VCD},
                {"bmp", fixture.log, SLI_OUTPUT_FORMAT_BMP},  {"jpg", fixture.log, SLI_OUTPUT_FORMAT_JPG},
                {"negative", fixture.log, -1},                {"unknown", fixture.log, 9}};
    for (const auto& row : rows) {
        SLI_DATA_LOG_EXPORTER exporter;
        EXPECT_FALSE(exporter.create_vector_database(row.log, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT(row.format), 1000))
            << row.name;
        EXPECT_FALSE(exporter.export_file(QFile::encodeName(path("r.csv")).constData())) << row.name;
    }
    EXPECT_FALSE(QFile::exists(path("r.csv")));
    SLI_DATA_LOG_EXPORTER exporter;
    ASSERT_TRUE(exporter.create_vector_database(fixture.log, SLI_OUTPUT_FORMAT_CSV, 1000));
    EXPECT_FALSE(exporter.export_file(nullptr));
    EXPECT_FALSE(exporter.export_file(""));
    EXPECT_FALSE(exporter.export_file(QFile::encodeName(dir.path()).constData())) << "a folder";
    EXPECT_FALSE(exporter.export_file(QFile::encodeName(path("missing/r.csv")).constData())) << "no such folder";
    EXPECT_TRUE(exporter.export_file(QFile::encodeName(path("r.csv")).constData())) << "the snapshot is kept";
}

// An export renamed its file over a FIFO, a socket or a device, and wrote a name whose bytes the
// local encoding cannot carry under another name: each is refused with the reason and left as
// it is, and the next export to a file says nothing.
TEST_F(sli_export, targets_that_are_no_place_for_a_file_are_refused_with_the_reason)
{
    log_fixture fixture(small_wires(), 6);
    SLI_DATA_LOG_EXPORTER exporter;
    ASSERT_TRUE(exporter.create_vector_database(fixture.log, SLI_OUTPUT_FORMAT_CSV, 1000));
    for (const sedq_special_file& special : sedq_make_special_files(dir.path())) {
        const std::string target = QFile::encodeName(special.path).toStdString();
        EXPECT_FALSE(exporter.export_file(target.c_str())) << special.label;
        EXPECT_EQ(exporter.get_last_error(), target + ": " + special.reason);
        EXPECT_TRUE(sedq_is_unchanged(special)) << special.label;
    }
    const std::string bad = QFile::encodeName(path("bad")).toStdString() + "\xff.csv";
    EXPECT_FALSE(exporter.export_file(bad.c_str()));
    EXPECT_EQ(exporter.get_last_error(), bad + ": the file name is not valid in the local character encoding");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.csv"}, QDir::Files).isEmpty());
    ASSERT_TRUE(exporter.export_file(QFile::encodeName(path("r.csv")).constData()));
    EXPECT_EQ(exporter.get_last_error(), "");
}

TEST_F(sli_export, a_failed_write_leaves_the_previous_file_whole)
{
    std::string valid;
    log_fixture fixture(sli_test::varied_wires(64, 40000, 11, &valid), 40000, valid);
    const QString target = path("keep.vcd");
    ASSERT_TRUE(sdr_file_test::write_file(target, "previous export\n"));
    for (long long after : {0LL, 1000LL, 1500000LL}) {
        standin::sli::fail_next_export(after);
        EXPECT_FALSE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, 10000, target)) << after << " bytes";
        EXPECT_TRUE(sli_test::file_text(target) == "previous export\n") << after << " bytes";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.vcd"}) << "no temporary file left";
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    {
        sdr_file_test::as_ordinary_user user;
        EXPECT_FALSE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, 10000, path("locked.csv"))) << "a read-only folder";
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, 10000, target)) << "the next export is not failed";
    EXPECT_GT(QFileInfo(target).size(), 1500000) << "longer than the failed writes got";
}

TEST_F(sli_export, the_snapshot_keeps_the_samples_a_new_run_replaces)
{
    log_fixture fixture(small_wires(), 6, "111011", 2);
    SLI_DATA_LOG_EXPORTER exporter;
    ASSERT_TRUE(exporter.create_vector_database(fixture.log, SLI_OUTPUT_FORMAT_CSV, 10000));
    // A run in logging-off mode empties the log it reuses before the new samples come.
    fixture.log->m_payload.reset();
    fixture.log->m_wire_names.clear();
    ASSERT_TRUE(exporter.export_file(QFile::encodeName(path("snap.csv")).constData()));
    EXPECT_EQ(sli_test::file_text(path("snap.csv")),
              sli_test::file_text(QStringLiteral(SEDQ_TEST_DATA_DIR "/host/cases/sli_small.expected.csv")));
}

TEST_F(sli_export, short_rows_read_as_zero_and_unnamed_channels_are_numbered)
{
    log_fixture fixture({{"a", "1111111111"}, {"", "1111111111"}}, 10);
    auto payload = std::make_shared<SDR_LOG_PAYLOAD>(*fixture.log->m_payload);
    payload->channel_count = 3;                     // a third channel with no bits, name or connection byte
    payload->channel_bits.truncate(payload->row_bytes() * 2 + 1);
    fixture.log->m_payload = payload;
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, 0, path("short.csv")));
    const sli_test::table csv = sli_test::read_csv(path("short.csv"));
    EXPECT_EQ(csv.header, (std::vector<std::string>{"Sample", "a", "wire1", "wire2"}));
    ASSERT_EQ(csv.rows.size(), 10u);
    EXPECT_EQ(csv.rows[0], (std::vector<std::string>{"0", "1", "1", "x"}));
    EXPECT_EQ(fixture.log->get_bit(2, 0), false);
}

TEST_F(sli_export, a_log_without_wires_lists_its_times)
{
    log_fixture fixture({}, 3, "101", 1);
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_CSV, 5, path("none.csv")));
    EXPECT_EQ(sli_test::file_text(path("none.csv")), "Time(ps)\n-5\n0\n5\n");
    ASSERT_TRUE(export_log(fixture.log, SLI_OUTPUT_FORMAT_VCD, 5, path("none.vcd")));
    const sli_test::dump vcd = sli_test::read_dump(path("none.vcd"), 1, 3);
    EXPECT_EQ(vcd.error, "");
    EXPECT_EQ(vcd.timescale, "1ps");
    EXPECT_EQ(vcd.end_time, 15);
}
