// Entry data of the analyzer file writer: checksums, deflating and the gathered writes.
#include "host/sdr/sdr_file_archive_writer.h"

#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_parallel.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace
{
// Deflate output grows in chunks of this size at most, so that a compressed entry of any
// size never needs one block of memory for the whole of it.
const qint64 DEFLATE_CHUNK = qint64(8) << 20;
// The document is small next to the payloads: at the default level, the megabyte of XML of
// a large session deflates in a few milliseconds, next to tens for writing the payloads.
const int DEFLATE_LEVEL = 6;
// Bytes handed to the kernel per gathered write. Writeback of each batch starts as soon as
// it is written, so the disk works while later batches are copied and the final fsync only
// waits for the tail.
const quint64 BATCH_BYTES = quint64(32) << 20;
#ifdef IOV_MAX
const size_t MAX_GATHER = IOV_MAX;
#else
const size_t MAX_GATHER = 1024;
#endif

// Feeds one piece to deflate (and finishes the stream after the last), appending output
// chunks as they fill.
bool feed(z_stream* z, const QByteArray& piece, bool last, qint64 chunk, QVector<QByteArray>* out)
{
    z->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
    z->avail_in = uInt(piece.size());
    for (;;) {
        if (z->avail_out == 0) {
            out->append(QByteArray(int(chunk), Qt::Uninitialized));
            z->next_out = reinterpret_cast<Bytef*>(out->last().data());
            z->avail_out = uInt(chunk);
        }
        const int status = ::deflate(z, last ? Z_FINISH : Z_NO_FLUSH);
        if (status == Z_STREAM_END)
            return true;
        if (status != Z_OK && status != Z_BUF_ERROR)
            return false;
        if (!last && z->avail_in == 0 && z->avail_out != 0)
            return true;
    }
}

void start_writeback(int fd, quint64 offset, quint64 length)
{
#ifdef SYNC_FILE_RANGE_WRITE
    if (length > 0) // a length of 0 would mean "to the end of the file"
        ::sync_file_range(fd, off64_t(offset), off64_t(length), SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(fd);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}
} // namespace

// Writes every byte of the gathered pieces, resuming after short writes (a single write
// stops short of 2 GiB on Linux).
bool SDR_FILE_ARCHIVE_WRITER::write_gathered(int fd, iovec* iov, int count)
{
    while (count > 0) {
        const ssize_t n = ::writev(fd, iov, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        size_t left = size_t(n);
        for (; count > 0 && left >= iov->iov_len; ++iov, --count)
            left -= iov->iov_len;
        if (count > 0) {
            iov->iov_base = static_cast<char*>(iov->iov_base) + left;
            iov->iov_len -= left;
        }
    }
    return true;
}

// Compressed entries keep their deflated stream only where it is smaller than the data. Runs
// on a worker thread: it reports only through its result.
bool SDR_FILE_ARCHIVE_WRITER::deflate_entry(ENTRY* entry)
{
    z_stream z{};
    if (deflateInit2(&z, DEFLATE_LEVEL, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    const qint64 chunk = std::min<qint64>(DEFLATE_CHUNK, qint64(deflateBound(&z, uLong(entry->size))));
    QVector<QByteArray> out;
    bool ok = true;
    for (int i = 0; ok && i < entry->pieces.size(); ++i)
        ok = feed(&z, entry->pieces.at(i), i + 1 == entry->pieces.size(), chunk, &out);
    const quint64 written = z.total_out;
    if (!out.isEmpty())
        out.last().resize(out.last().size() - int(z.avail_out));
    deflateEnd(&z);
    if (!ok)
        return false;
    if (written < entry->size) {
        entry->pieces = out;
        entry->method = DEFLATED;
        entry->written_size = written;
    }
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::prepare(ENTRY* entry)
{
    if (entry->as_stored)
        return true;
    entry->crc = 0;
    entry->size = 0;
    for (const QByteArray& piece : entry->pieces) {
        entry->crc = SDR_FILE_CRC::update(entry->crc, piece.constData(), piece.size());
        entry->size += quint64(piece.size());
    }
    entry->method = STORED;
    entry->written_size = entry->size;
    return !entry->compress || entry->size == 0 || deflate_entry(entry);
}

// Checksums and compression of every entry, spread over a few threads: the entries are
// independent, and the checksums alone, one entry after another, would add a tenth to the time
// of writing the samples.
bool SDR_FILE_ARCHIVE_WRITER::prepare_all(SDR_FILE_ERROR* error)
{
    for (const ENTRY& entry : m_entries)
        if (entry.unreadable)
            return fail(error, entry.name, QStringLiteral("cannot read the entry's data"));
    std::vector<char> prepared(m_entries.size(), 0);
    sdr_file_parallel(int(m_entries.size()), [this, &prepared](int i) { prepared[size_t(i)] = prepare(&m_entries[size_t(i)]); });
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (!prepared[i])
            return fail(error, m_entries[i].name, QStringLiteral("cannot compress the data"));
    return true;
}

void SDR_FILE_ARCHIVE_WRITER::queue(const QByteArray& bytes)
{
    m_queue.append(bytes);
    m_position += quint64(bytes.size());
}

// Takes queued byte arrays from `next` on until the batch is full; returns where it stopped.
int SDR_FILE_ARCHIVE_WRITER::gather(int next, std::vector<iovec>* batch, quint64* bytes) const
{
    batch->clear();
    *bytes = 0;
    for (; next < m_queue.size() && batch->size() < MAX_GATHER && *bytes < BATCH_BYTES; ++next) {
        const QByteArray& piece = m_queue.at(next);
        if (piece.isEmpty())
            continue;
        batch->push_back(iovec{const_cast<char*>(piece.constData()), size_t(piece.size())});
        *bytes += quint64(piece.size());
    }
    return next;
}

bool SDR_FILE_ARCHIVE_WRITER::write_queue(SDR_FILE_ERROR* error)
{
    std::vector<iovec> batch;
    quint64 written = 0;
    for (int next = 0; next < m_queue.size();) {
        quint64 bytes = 0;
        next = gather(next, &batch, &bytes);
        if (!write_gathered(m_fd, batch.data(), int(batch.size())))
            return fail(error, QString(),
                        QStringLiteral("cannot write the archive: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        start_writeback(m_fd, written, bytes);
        written += bytes;
    }
    m_queue.clear();
    return true;
}

// Lays out every entry (local header, then its data), the central directory and the end
// records in memory order, then hands the whole sequence to the kernel in large gathered
// writes: the payload bytes are never copied on the way.
bool SDR_FILE_ARCHIVE_WRITER::write_all(SDR_FILE_ERROR* error)
{
    m_queue.clear();
    m_position = 0;
    if (!prepare_all(error))
        return false;
    for (ENTRY& entry : m_entries) {
        entry.offset = m_position;
        queue(local_header(entry));
        for (const QByteArray& piece : entry.pieces)
            queue(piece);
    }
    const quint64 directory = m_position;
    QByteArray central;
    for (const ENTRY& entry : m_entries)
        central += central_header(entry);
    queue(central);
    queue(end_records(directory, m_position - directory));
    return write_queue(error);
}
