#pragma once
// Checksums of archive entries read straight into their buffers, checked together once every
// entry is read: the large pieces are then checked on several threads at once instead of one
// after another between the reads. The buffers must stay alive until verify().

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_error.h"

#include <QString>

#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class SDR_FILE_ARCHIVE_READER;
class SDR_FILE_STORED_INDEX;

class SDR_FILE_CHECKSUMS
{
public:
    // A piece of an entry's data: still to check (`data` set) or already checked (`crc`).
    struct SEGMENT
    {
        const char* data = nullptr;
        qint64 length = 0;
        quint32 crc = 0;
    };

    // Pieces this large are left for verify(); smaller ones are checked as they are read.
    static const qint64 DEFER_SIZE = qint64(256) << 10;

    void add(const QString& entry, quint32 expected, std::vector<SEGMENT> segments);
    // False, recorded against the first entry whose checksum does not hold.
    bool verify(const QString& file, SDR_FILE_ERROR* error);

private:
    struct ENTRY
    {
        QString name;
        quint32 expected = 0;
        std::vector<SEGMENT> segments;
    };
    std::vector<ENTRY> m_entries;
};

// A range of the file and its checksum, as sdr_file_sum_ranges() takes it.
struct SDR_FILE_RANGE_SUM
{
    qint64 offset = 0;
    qint64 size = 0;
    quint32 crc = 0;
    bool read = true;              // whether all of it could be read
};

// The checksums of the ranges, read from the file in pieces of a few megabytes on the file
// layer's threads; a piece not read (or skipped once `stop` is set) leaves its range unread.
void sdr_file_sum_ranges(const SDR_FILE_STORED_INDEX& file, std::vector<SDR_FILE_RANGE_SUM>* ranges,
                         const std::atomic<bool>* stop = nullptr, unsigned max_threads = 0);

// The checksums of an archive's large uncompressed entries (all but `skip`, up to `budget` bytes
// in all), taken on another thread from start() on: for samples left in the file, once the
// document has opened (SDR_OPEN_CHECK: the opened session keeps this object), so that reading
// the file's every byte does not slow the open itself. Asking for a result starts the work too.
// Only the file's bytes are read there (positioned reads); the destructor stops the work and
// waits for it. Made, asked for calls and destroyed on the thread that opens the document.
class SDR_FILE_ENTRY_SUMS final : public SDR_OPEN_CHECK
{
public:
    SDR_FILE_ENTRY_SUMS(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive, const QString& skip, qint64 budget);
    ~SDR_FILE_ENTRY_SUMS() override;
    SDR_FILE_ENTRY_SUMS(const SDR_FILE_ENTRY_SUMS&) = delete;
    SDR_FILE_ENTRY_SUMS& operator=(const SDR_FILE_ENTRY_SUMS&) = delete;

    void start();
    // Whether the file's bytes [offset, offset + size) are among the work (without waiting).
    bool covers(qint64 offset, qint64 size) const;
    // Waits for the work; then whether those bytes were all read there, with their checksum.
    bool result(qint64 offset, qint64 size, quint32* crc);

    bool done() const override { return m_done; }
    void wait() override
    {
        start();
        finish();
    }
    void when_done(std::function<void()> call) override;
    void forget() override;

private:
    // How often the thread that asked for a call looks whether the work is done.
    static const int CALL_INTERVAL_MS = 10;
    static const unsigned BACKGROUND_THREADS = 2;

    const SDR_FILE_RANGE_SUM* find(qint64 offset, qint64 size) const;
    void finish();

    std::shared_ptr<const SDR_FILE_ARCHIVE_READER> m_archive;
    std::vector<SDR_FILE_RANGE_SUM> m_ranges;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{true};
    bool m_started = false;
    std::thread m_thread;
    // The call asked for, and the timer that makes it (both of the thread that asked).
    std::function<void()> m_call;
    std::unique_ptr<QTimer> m_timer;
};
