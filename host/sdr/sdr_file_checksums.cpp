// Deferred checksums of directly read archive entries, and checksums of file ranges taken on
// the file layer's threads.
#include "host/sdr/sdr_file_checksums.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_parallel.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <algorithm>
#include <system_error>
#include <utility>

void SDR_FILE_CHECKSUMS::add(const QString& entry, quint32 expected, std::vector<SEGMENT> segments)
{
    m_entries.push_back(ENTRY{entry, expected, std::move(segments)});
}

bool SDR_FILE_CHECKSUMS::verify(const QString& file, SDR_FILE_ERROR* error)
{
    std::vector<SEGMENT*> open;
    for (ENTRY& entry : m_entries)
        for (SEGMENT& segment : entry.segments)
            if (segment.data)
                open.push_back(&segment);
    sdr_file_parallel(int(open.size()), [&open](int i) {
        SEGMENT* segment = open[size_t(i)];
        segment->crc = SDR_FILE_CRC::update(0, segment->data, segment->length);
        segment->data = nullptr;
    });
    for (const ENTRY& entry : m_entries) {
        quint32 crc = 0;
        for (const SEGMENT& segment : entry.segments)
            crc = SDR_FILE_CRC::combine(crc, segment.crc, segment.length);
        if (crc != entry.expected) {
            if (error) {
                error->set_file(file);
                error->set(entry.name, QStringLiteral("the data is corrupt: CRC error"));
            }
            return false;
        }
    }
    m_entries.clear();
    return true;
}

void sdr_file_sum_ranges(const SDR_FILE_STORED_INDEX& file, std::vector<SDR_FILE_RANGE_SUM>* ranges,
                         const std::atomic<bool>* stop, unsigned max_threads)
{
    const qint64 piece = qint64(8) << 20;
    struct PIECE
    {
        size_t range;
        qint64 offset;
        qint64 length;
        quint32 crc = 0;
        bool read = false;
    };
    std::vector<PIECE> pieces;
    for (size_t i = 0; i < ranges->size(); ++i) {
        const SDR_FILE_RANGE_SUM& range = (*ranges)[i];
        for (qint64 at = 0; at < range.size || (at == 0 && range.size == 0); at += piece)
            pieces.push_back(PIECE{i, range.offset + at, std::min(piece, range.size - at)});
    }
    sdr_file_parallel(int(pieces.size()), [&pieces, &file, stop](int i) {
        PIECE& p = pieces[size_t(i)];
        p.read = !(stop && *stop) && file.checksum(p.offset, p.length, &p.crc);
    }, max_threads);
    for (const PIECE& p : pieces) {
        SDR_FILE_RANGE_SUM& range = (*ranges)[p.range];
        range.read = range.read && p.read;
        range.crc = SDR_FILE_CRC::combine(range.crc, p.crc, p.length);
    }
}

// The ranges are found here, on the caller's thread (the ZIP library's handle is not shared
// with the worker); the worker only reads the file through the stored index.
SDR_FILE_ENTRY_SUMS::SDR_FILE_ENTRY_SUMS(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive, const QString& skip,
                                         qint64 budget)
    : m_archive(std::move(archive))
{
    const SDR_FILE_STORED_INDEX* file = m_archive->stored_index();
    if (file == nullptr)
        return;
    // Only large entries, a few megabytes or more in all, pay for a thread of their own (and for
    // the read of their local headers now); the rest are checked after document.xml as before.
    const qint64 large = qint64(256) << 10;
    std::vector<std::pair<QString, qint64>> sized;
    qint64 total = 0;
    for (const QString& name : m_archive->entry_names()) {
        qint64 size = 0;
        if (name == skip || !m_archive->entry_size(name, &size, nullptr) || size < large || size > budget - total)
            continue;
        total += size;
        sized.emplace_back(name, size);
    }
    if (total < (qint64(8) << 20))
        return;
    for (const auto& entry : sized) {
        SDR_FILE_RANGE_SUM range;
        quint32 crc = 0;
        range.size = entry.second;
        if (m_archive->direct_location(entry.first, range.size, &range.offset, &crc))
            m_ranges.push_back(range);
    }
    // In file order, so that result() finds a range by a binary search.
    std::sort(m_ranges.begin(), m_ranges.end(),
              [](const SDR_FILE_RANGE_SUM& a, const SDR_FILE_RANGE_SUM& b) { return a.offset < b.offset; });
    m_done = m_ranges.empty();
}

// The work starts once: when the document has opened, or earlier when its result is asked for.
void SDR_FILE_ENTRY_SUMS::start()
{
    if (m_started)
        return;
    m_started = true;
    if (m_ranges.empty())
        return;
    const SDR_FILE_STORED_INDEX* file = m_archive->stored_index();
    try {
        m_thread = std::thread([this, file] {
            try {
                // Nobody waits for the work once the document is open: two threads leave the
                // window's own thread the processor and memory it needs to come up.
                sdr_file_sum_ranges(*file, &m_ranges, &m_stop, BACKGROUND_THREADS);
            } catch (...) {
                // Out of memory for a buffer: the caller takes the checksums itself.
                for (SDR_FILE_RANGE_SUM& range : m_ranges)
                    range.read = false;
            }
            m_done = true;
        });
    } catch (const std::system_error&) {
        m_ranges.clear(); // no thread to be had: the caller takes the checksums itself
        m_done = true;
    }
}

SDR_FILE_ENTRY_SUMS::~SDR_FILE_ENTRY_SUMS()
{
    m_stop = true;
    finish();
}

void SDR_FILE_ENTRY_SUMS::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

// The worker only marks the work done: the call is made by a timer of the thread that asked for
// it, which looks at the mark, so no event crosses from the worker to that thread.
void SDR_FILE_ENTRY_SUMS::when_done(std::function<void()> call)
{
    start();
    m_call = std::move(call);
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setInterval(CALL_INTERVAL_MS);
        QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
            if (!m_done)
                return;
            m_timer->stop();
            finish();
            std::function<void()> call;
            call.swap(m_call);
            if (call)
                call();
        });
    }
    m_timer->start(m_done ? 0 : CALL_INTERVAL_MS);
}

void SDR_FILE_ENTRY_SUMS::forget()
{
    m_call = nullptr;
    if (m_timer)
        m_timer->stop();
}

const SDR_FILE_RANGE_SUM* SDR_FILE_ENTRY_SUMS::find(qint64 offset, qint64 size) const
{
    const auto range = std::lower_bound(m_ranges.begin(), m_ranges.end(), offset,
                                        [](const SDR_FILE_RANGE_SUM& r, qint64 at) { return r.offset < at; });
    if (range == m_ranges.end() || range->offset != offset || range->size != size)
        return nullptr;
    return &*range;
}

// Reads only the ranges' places, which the worker never changes.
bool SDR_FILE_ENTRY_SUMS::covers(qint64 offset, qint64 size) const
{
    return find(offset, size) != nullptr;
}

bool SDR_FILE_ENTRY_SUMS::result(qint64 offset, qint64 size, quint32* crc)
{
    start();
    finish();
    const SDR_FILE_RANGE_SUM* range = find(offset, size);
    if (range == nullptr || !range->read)
        return false;
    *crc = range->crc;
    return true;
}
