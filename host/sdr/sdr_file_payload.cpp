// Payload header encoding and the size rules of a data log entry.
#include "host/sdr/sdr_file_payload.h"

#include "host/sdr/sdr_file_limits.h"

#include <QtEndian>

namespace
{
const char MAGIC[4] = {'V', 'T', 'L', 'P'};

void put32(char* at, quint32 value)
{
    qToLittleEndian(value, at);
}

quint32 get32(const char* at)
{
    return qFromLittleEndian<quint32>(at);
}
} // namespace

qint64 SDR_FILE_PAYLOAD::expected_size(const SDR_FILE_PAYLOAD_HEADER& h)
{
    const qint64 row = row_bytes(h.depth);
    return HEADER_SIZE + (qint64(h.channels) + 3) * row + (qint64(h.channels) + 7) / 8
           + 4 * qint64(h.trigger_positions) + qint64(h.flags) + 4 * qint64(h.counters);
}

QByteArray SDR_FILE_PAYLOAD::encode_header(const SDR_FILE_PAYLOAD_HEADER& h)
{
    // Filled in a fixed array: the compiler can then see every write is in bounds.
    char p[HEADER_SIZE] = {};
    std::copy(MAGIC, MAGIC + 4, p);
    qToLittleEndian<quint16>(VERSION, p + 4);
    qToLittleEndian<quint16>(HEADER_SIZE, p + 6);
    put32(p + 8, h.depth);
    put32(p + 12, h.channels);
    put32(p + 16, h.segment_size);
    put32(p + 20, h.trigger_positions);
    put32(p + 24, h.flags);
    put32(p + 28, h.counters);
    put32(p + 32, quint32(h.state_value));
    return QByteArray(p, HEADER_SIZE);
}

qint64 SDR_FILE_PAYLOAD::max_flags()
{
    return SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::FLAG);
}

qint64 SDR_FILE_PAYLOAD::max_counters()
{
    return SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::COUNTER);
}

bool SDR_FILE_PAYLOAD::check_bounds(const SDR_FILE_PAYLOAD_HEADER& h, QString* problem)
{
    if (h.depth > MAX_DEPTH)
        *problem = QStringLiteral("sample depth %1 is too large").arg(h.depth);
    else if (h.channels > MAX_CHANNELS)
        *problem = QStringLiteral("channel count %1 is too large").arg(h.channels);
    else if (h.trigger_positions > MAX_TRIGGER_POSITIONS)
        *problem = QStringLiteral("trigger position count %1 is too large").arg(h.trigger_positions);
    else if (qint64(h.flags) > max_flags() || qint64(h.counters) > max_counters())
        *problem = QStringLiteral("flag or counter count is too large");
    else if (h.segment_size > h.depth)
        *problem = QStringLiteral("segment size %1 exceeds the sample depth %2").arg(h.segment_size).arg(h.depth);
    else
        return true;
    return false;
}

bool SDR_FILE_PAYLOAD::decode_header(const QByteArray& bytes, qint64 entry_size, SDR_FILE_PAYLOAD_HEADER* h,
                                     QString* problem)
{
    if (bytes.size() < HEADER_SIZE || entry_size < HEADER_SIZE) {
        *problem = QStringLiteral("truncated: the payload header needs %1 bytes").arg(HEADER_SIZE);
        return false;
    }
    const char* p = bytes.constData();
    if (!std::equal(MAGIC, MAGIC + 4, p)) {
        *problem = QStringLiteral("not a data log payload (bad magic)");
        return false;
    }
    const quint16 version = qFromLittleEndian<quint16>(p + 4);
    const quint16 header_size = qFromLittleEndian<quint16>(p + 6);
    if (version != VERSION) {
        *problem = QStringLiteral("unsupported payload version %1 (this editor reads version %2)").arg(version).arg(VERSION);
        return false;
    }
    if (header_size != HEADER_SIZE) {
        *problem = QStringLiteral("the payload header gives its size as %1 bytes; a version %2 header has %3")
                       .arg(header_size).arg(VERSION).arg(HEADER_SIZE);
        return false;
    }
    h->depth = get32(p + 8);
    h->channels = get32(p + 12);
    h->segment_size = get32(p + 16);
    h->trigger_positions = get32(p + 20);
    h->flags = get32(p + 24);
    h->counters = get32(p + 28);
    h->state_value = qint32(get32(p + 32));
    if (!check_bounds(*h, problem))
        return false;
    if (expected_size(*h) != entry_size) {
        *problem = QStringLiteral("the counts need %1 bytes but the entry holds %2")
                       .arg(expected_size(*h)).arg(entry_size);
        return false;
    }
    return true;
}

QByteArray SDR_FILE_PAYLOAD::encode_int32s(const QVector<int>& values)
{
    QByteArray bytes(values.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < values.size(); ++i)
        put32(bytes.data() + 4 * i, quint32(values.at(i)));
    return bytes;
}

QVector<int> SDR_FILE_PAYLOAD::decode_int32s(const QByteArray& bytes)
{
    QVector<int> values(bytes.size() / 4);
    for (int i = 0; i < values.size(); ++i)
        values[i] = int(get32(bytes.constData() + 4 * i));
    return values;
}

QByteArray SDR_FILE_PAYLOAD::encode_uint32s(const QVector<unsigned>& values)
{
    QByteArray bytes(values.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < values.size(); ++i)
        put32(bytes.data() + 4 * i, values.at(i));
    return bytes;
}

QVector<unsigned> SDR_FILE_PAYLOAD::decode_uint32s(const QByteArray& bytes)
{
    QVector<unsigned> values(bytes.size() / 4);
    for (int i = 0; i < values.size(); ++i)
        values[i] = get32(bytes.constData() + 4 * i);
    return values;
}

void SDR_FILE_PAYLOAD::clear_padding(QByteArray* row, quint32 samples)
{
    const int used = int(samples % 8);
    if (used != 0 && row->size() == row_bytes(samples))
        (*row)[row->size() - 1] = char(uchar(row->at(row->size() - 1)) & ((1u << used) - 1));
}
