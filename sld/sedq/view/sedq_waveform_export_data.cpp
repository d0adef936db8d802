// SEDQ_WAVEFORM_EXPORT_DATA: the export request's values and the run of the host exporter.
#include "sedq/view/sedq_waveform_export_data.h"

#include "host/sdr.h"

bool SEDQ_WAVEFORM_EXPORT_DATA::set_filename(const char* file_name)
{
    if (file_name == nullptr)
        return false;
    m_file_name = file_name;
    return true;
}

bool SEDQ_WAVEFORM_EXPORT_DATA::set_type(SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format)
{
    m_output_format = format;
    return true;
}

bool SEDQ_WAVEFORM_EXPORT_DATA::set_clock_interval(long long interval_ps)
{
    m_clock_interval = interval_ps < 1 ? 0 : interval_ps;
    return interval_ps >= 1;
}

bool SEDQ_WAVEFORM_EXPORT_DATA::set_time_unit(BIG_TIME::TIME_UNIT unit)
{
    m_time_unit = unit;
    return true;
}

const SDR_DATA_WIRE* SEDQ_WAVEFORM_EXPORT_DATA::get_full_data_signal_by_index(const SDR_DATA_LOG* log, int index)
{
    const SDR_DATA_SIGNAL_SET* set = log != nullptr ? log->get_signal_set() : nullptr;
    if (set == nullptr || index < 0 || index >= set->get_data_wire_width())
        return nullptr;
    return set->get_data_wire_at(index);
}

// The exporter is made for one file and dropped with its snapshot right after.
bool SEDQ_WAVEFORM_EXPORT_DATA::create_vector_database(const SDR_DATA_LOG* log)
{
    m_write_problem.clear();
    if (log == nullptr)
        return false;
    SLI_DATA_LOG_EXPORTER exporter;
    if (!exporter.create_vector_database(log, m_output_format, m_clock_interval))
        return false;
    if (exporter.export_file(m_file_name.c_str()))
        return true;
    m_write_problem = exporter.get_last_error();
    return false;
}
