// Deferred checksums of directly read archive entries.
#include "host/sdr/sdr_file_checksums.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_parallel.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <algorithm>
#include <system_error>

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

// The ranges are found here, on the caller's thread (the ZIP library's handle is not shared
// with the worker); the worker only reads the file through the stored index.
SDR_FILE_ENTRY_SUMS::SDR_FILE_ENTRY_SUMS(const SDR_FILE_ARCHIVE_READER& archive, const QString& skip, qint64 budget)
{
    if (archive.stored_index() == nullptr)
        return;
    for (const QString& name : archive.entry_names()) {
        RANGE range;
        quint32 crc = 0;
        if (name == skip || !archive.entry_size(name, &range.size, nullptr) ||
            !archive.direct_location(name, range.size, &range.offset, &crc) || range.size > budget)
            continue;
        budget -= range.size;
        m_ranges.push_back(range);
    }
    // A thread of its own pays only for a few megabytes or more.
    qint64 total = 0;
    for (const RANGE& range : m_ranges)
        total += range.size;
    if (total < (qint64(8) << 20)) {
        m_ranges.clear();
        return;
    }
    try {
        m_thread = std::thread([this, &archive] { run(&archive); });
    } catch (const std::system_error&) {
        m_ranges.clear();   // no thread to be had: the caller takes the checksums itself
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

// In pieces of a few megabytes spread over the file layer's threads, joined per range.
void SDR_FILE_ENTRY_SUMS::run(const SDR_FILE_ARCHIVE_READER* archive)
{
    const SDR_FILE_STORED_INDEX* file = archive->stored_index();
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
    for (size_t i = 0; i < m_ranges.size(); ++i)
        for (qint64 at = 0; at < m_ranges[i].size || (at == 0 && m_ranges[i].size == 0); at += piece)
            pieces.push_back(PIECE{i, m_ranges[i].offset + at, std::min(piece, m_ranges[i].size - at)});
    try {
        sdr_file_parallel(int(pieces.size()), [this, &pieces, file](int i) {
            PIECE& p = pieces[size_t(i)];
            p.read = !m_stop && file->checksum(p.offset, p.length, &p.crc);
        });
    } catch (...) {
        // Out of memory for a buffer: the pieces not taken read as not taken.
    }
    for (const PIECE& p : pieces) {
        RANGE& range = m_ranges[p.range];
        range.read = range.read && p.read;
        range.crc = SDR_FILE_CRC::combine(range.crc, p.crc, p.length);
    }
}

bool SDR_FILE_ENTRY_SUMS::result(qint64 offset, qint64 size, quint32* crc, bool* read)
{
    finish();
    for (const RANGE& range : m_ranges)
        if (range.offset == offset && range.size == size && range.read) {
            *crc = range.crc;
            *read = true;
            return true;
        }
    return false;
}
