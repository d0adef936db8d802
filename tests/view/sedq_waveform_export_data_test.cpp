// The exported export request: its values and their defaults, the data wires it looks up, and
// the host exporter it runs for a data log.
#include "sedq/view/sedq_waveform_export_data.h"

#include "host/sdr.h"
#include "host/standin/sdr_control.h"
#include "host/standin/sli_control.h"
#include "host/standin/standin.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{
class sedq_waveform_export_data : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.create_session("/tmp/sedq_waveform_export_data_test.vtl"));
        SDR_DATA_TRIGGER* trigger = session.get_trigger_at(0, false)->get_data_trigger();
        standin::sdr::log_spec desc;
        desc.depth = 4;
        for (const char* name : {"top|clk", "top|q[0]", "top|q[1]"}) {
            standin::sdr::add_node(trigger, {name});
            desc.channels.push_back("0101");
        }
        log = standin::sdr::make_log(trigger, desc);
        ASSERT_NE(log, nullptr);
    }

    std::string file(const char* name) const { return QFile::encodeName(dir.filePath(name)).toStdString(); }

    SDR_TX_SESSION session{nullptr, false};
    SDR_DATA_LOG* log = nullptr;
    QTemporaryDir dir;
};
} // namespace

TEST_F(sedq_waveform_export_data, starts_empty_and_refuses_a_null_name_and_intervals_below_one)
{
    SEDQ_WAVEFORM_EXPORT_DATA data;
    EXPECT_EQ(data.get_filename(), "");
    EXPECT_EQ(data.get_type(), SLI_OUTPUT_FORMAT_TBL);
    EXPECT_EQ(data.get_clock_interval(), 0);
    EXPECT_EQ(data.get_time_unit(), BIG_TIME::NS);
    EXPECT_TRUE(data.set_filename("trace.csv"));
    EXPECT_FALSE(data.set_filename(nullptr));
    EXPECT_EQ(data.get_filename(), "trace.csv");
    const struct
    {
        const char* name;
        long long interval;
        bool accepted;
        long long stored;
    } rows[] = {{"one picosecond", 1, true, 1}, {"10 ns", 10000, true, 10000}, {"zero", 0, false, 0},
                {"negative", -10000, false, 0}, {"past 32 bits", 10000000000000000LL, true, 10000000000000000LL}};
    for (const auto& row : rows) {
        data.set_clock_interval(777);
        EXPECT_EQ(data.set_clock_interval(row.interval), row.accepted) << row.name;
        EXPECT_EQ(data.get_clock_interval(), row.stored) << row.name;
    }
    EXPECT_TRUE(data.set_time_unit(BIG_TIME::MHZ));
    EXPECT_EQ(data.get_time_unit(), BIG_TIME::MHZ);
}

TEST_F(sedq_waveform_export_data, data_wires_come_from_the_log_signal_set)
{
    SEDQ_WAVEFORM_EXPORT_DATA data;
    const struct
    {
        const char* name;
        int index;
        const char* wire;
    } rows[] = {{"first", 0, "top|clk"}, {"last", 2, "top|q[1]"}, {"past the wires", 3, nullptr}, {"negative", -1, nullptr}};
    for (const auto& row : rows) {
        const SDR_DATA_WIRE* wire = data.get_full_data_signal_by_index(log, row.index);
        if (row.wire == nullptr)
            EXPECT_EQ(wire, nullptr) << row.name;
        else
            EXPECT_STREQ(wire != nullptr ? wire->get_name() : "null", row.wire) << row.name;
    }
    EXPECT_EQ(data.get_full_data_signal_by_index(nullptr, 0), nullptr);
}

TEST_F(sedq_waveform_export_data, runs_the_exporter_with_its_format_and_interval_only)
{
    SEDQ_WAVEFORM_EXPORT_DATA data;
    data.set_filename(file("trace.vcd").c_str());
    data.set_type(SLI_OUTPUT_FORMAT_VCD);
    data.set_clock_interval(10000);
    data.set_time_unit(BIG_TIME::MHZ);
    ASSERT_TRUE(data.create_vector_database(log));
    const standin::sli::request request = standin::sli::last_request();
    EXPECT_EQ(request.format, SLI_OUTPUT_FORMAT_VCD);
    EXPECT_EQ(request.clock_interval_ps, 10000) << "the unit is the request's own";
    EXPECT_EQ(request.path, file("trace.vcd"));
    QFile written(dir.filePath("trace.vcd"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("$timescale 10ns $end"));
}

TEST_F(sedq_waveform_export_data, reports_what_the_exporter_could_not_write)
{
    SEDQ_WAVEFORM_EXPORT_DATA data;
    data.set_filename(file("out.csv").c_str());
    data.set_type(SLI_OUTPUT_FORMAT_CSV);
    EXPECT_FALSE(data.create_vector_database(nullptr));
    EXPECT_TRUE(standin::calls("sli").empty()) << "no exporter for a null log";
    standin::sli::fail_next_export();
    EXPECT_FALSE(data.create_vector_database(log));
    data.set_type(SLI_OUTPUT_FORMAT_BMP);
    EXPECT_FALSE(data.create_vector_database(log));
    EXPECT_EQ(standin::calls("sli").size(), 3u) << "the bmp request is refused before any file";
    EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
    data.set_type(SLI_OUTPUT_FORMAT_CSV);
    EXPECT_TRUE(data.create_vector_database(log));
    EXPECT_TRUE(QFile::exists(dir.filePath("out.csv")));
}
