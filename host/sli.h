#pragma once
// Host data exporter: writes the acquired samples of a data log as comma separated values, an
// aligned text table or a value change dump that waveform tools read (each bus of the log's node
// list declared there as one, through its bits under the bus's name).
//
// create_vector_database() takes a snapshot of the log (its immutable sample payload is shared,
// not copied, together with the wire names, the trigger sample and the clock interval), so the
// log may change or go away before export_file() writes it. A file is written beside its target
// and renamed over it only when complete: a failed export leaves the previous file as it was.

#include <memory>
#include <string>

class SDR_DATA_LOG;
struct SLI_VECTOR_DATABASE;

enum SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT : int
{
    SLI_OUTPUT_FORMAT_TBL = 0,
    SLI_OUTPUT_FORMAT_CSV = 1,
    SLI_OUTPUT_FORMAT_VCD = 2,
    // Image formats: painted by the editor itself, never written by the exporter.
    SLI_OUTPUT_FORMAT_BMP = 3,
    SLI_OUTPUT_FORMAT_JPG = 4
};

class SLI_DATA_LOG_EXPORTER
{
public:
    SLI_DATA_LOG_EXPORTER();
    ~SLI_DATA_LOG_EXPORTER();
    SLI_DATA_LOG_EXPORTER(const SLI_DATA_LOG_EXPORTER&) = delete;
    SLI_DATA_LOG_EXPORTER& operator=(const SLI_DATA_LOG_EXPORTER&) = delete;

    // Snapshot of `log` for one of the formats tbl, csv and vcd, with `clock_interval_ps`
    // picoseconds per sample (0 or less: not set, the times count samples). False, keeping no
    // snapshot, for a null log, a log without data or another format.
    bool create_vector_database(const SDR_DATA_LOG* log, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format,
                                long long clock_interval_ps);
    // Writes the snapshot to `path` (local 8-bit encoding). False without a snapshot, for a null
    // or empty path, a name not valid in that encoding, a target that is not a regular file (a
    // FIFO, a socket, a device or a folder), or when the file cannot be written whole; the target
    // is then untouched, and get_last_error() says why.
    bool export_file(const char* path);
    // Why the last export_file() failed; empty after one that succeeded.
    const std::string& get_last_error() const { return m_last_error; }

private:
    bool fail(const std::string& path, const std::string& problem);

    std::unique_ptr<SLI_VECTOR_DATABASE> m_database;
    std::string m_last_error;
};
