#pragma once
// A data export request, exported for the host's other tools: the file to write, its format,
// the clock interval of a sample and the unit the user gave the clock in. It has the host data
// exporter snapshot a data log and write the file; the unit is kept for readers of the request
// only, the exporter works in picoseconds.

#include "host/big_time.h"
#include "host/sli.h"

#include <QtGlobal>

#include <string>

class SDR_DATA_LOG;
class SDR_DATA_WIRE;

class Q_DECL_EXPORT SEDQ_WAVEFORM_EXPORT_DATA
{
public:
    // False, leaving the name as it was, for null.
    bool set_filename(const char* file_name);
    std::string get_filename() const { return m_file_name; }
    bool set_type(SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format);
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT get_type() const { return m_output_format; }
    // Picoseconds per sample; a value below 1 is refused and stored as 0 (not set).
    bool set_clock_interval(long long interval_ps);
    long long get_clock_interval() const { return m_clock_interval; }
    bool set_time_unit(BIG_TIME::TIME_UNIT unit);
    BIG_TIME::TIME_UNIT get_time_unit() const { return m_time_unit; }

    // Data wire `index` of the log's signal set; null past the set's data wires or without a set.
    const SDR_DATA_WIRE* get_full_data_signal_by_index(const SDR_DATA_LOG* log, int index);
    // Writes the log's samples to the file in the format: false for a null log, a log without
    // data, a format the exporter does not write, or a file that could not be written whole
    // (get_write_problem() then says why).
    bool create_vector_database(const SDR_DATA_LOG* log);
    // Why the last create_vector_database() did not write the file; empty when it wrote it or
    // had no samples to write.
    const std::string& get_write_problem() const { return m_write_problem; }

private:
    std::string m_file_name;
    std::string m_write_problem;
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT m_output_format = SLI_OUTPUT_FORMAT_TBL;
    long long m_clock_interval = 0;
    BIG_TIME::TIME_UNIT m_time_unit = BIG_TIME::NS;
};
