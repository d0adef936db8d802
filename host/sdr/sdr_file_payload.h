#pragma once
// Binary layout of one data log's payload entry. The payload is never turned into text:
// a fixed little-endian header with the counts, then the packed rows, so that a reader can
// check the counts against the entry size before it allocates anything.
//
//   0  "VTLP"                      4  u16 version      6  u16 header size (40)
//   8  u32 depth (samples)        12  u32 channels    16  u32 segment size
//  20  u32 trigger positions      24  u32 flags       28  u32 counters
//  32  i32 state value            36  u32 reserved (0)
// then per channel ceil(depth / 8) bytes (sample s in byte s / 8, bit s % 8), the
// validity, trigger and break-previous rows in the same form, ceil(channels / 8) bytes of
// connection status, the trigger positions (i32 each), the flag values (one byte each)
// and the counter values (u32 each).

#include <QByteArray>
#include <QString>
#include <QVector>

struct SDR_FILE_PAYLOAD_HEADER
{
    quint32 depth = 0;
    quint32 channels = 0;
    quint32 segment_size = 0;
    quint32 trigger_positions = 0;
    quint32 flags = 0;
    quint32 counters = 0;
    qint32 state_value = -1;
};

class SDR_FILE_PAYLOAD
{
public:
    static const int HEADER_SIZE = 40;
    static const quint16 VERSION = 1;
    // Bounds far above any real acquisition; they keep hostile counts from turning into
    // huge allocations even where the exact size check would let them through.
    static const quint32 MAX_DEPTH = 1u << 30;
    static const quint32 MAX_CHANNELS = 1u << 16;
    static const quint32 MAX_TRIGGER_POSITIONS = 1u << 20;
    // A log holds a value of each flag and counter of its trigger: as many as a document may
    // hold (SDR_FILE_LIMITS), so that every log a run makes opens again.
    static qint64 max_flags();
    static qint64 max_counters();

    static qint64 row_bytes(quint32 samples) { return (qint64(samples) + 7) / 8; }
    static qint64 expected_size(const SDR_FILE_PAYLOAD_HEADER& header);

    static QByteArray encode_header(const SDR_FILE_PAYLOAD_HEADER& header);
    // Checks magic, version, bounds and that the counts describe exactly entry_size bytes.
    static bool decode_header(const QByteArray& bytes, qint64 entry_size, SDR_FILE_PAYLOAD_HEADER* header,
                              QString* problem);

    static QByteArray encode_int32s(const QVector<int>& values);
    static QVector<int> decode_int32s(const QByteArray& bytes);
    static QByteArray encode_uint32s(const QVector<unsigned>& values);
    static QVector<unsigned> decode_uint32s(const QByteArray& bytes);
    // Clears the bits past the last sample, so that rows from a file compare equal to rows
    // built in memory.
    static void clear_padding(QByteArray* row, quint32 samples);

private:
    static bool check_bounds(const SDR_FILE_PAYLOAD_HEADER& header, QString* problem);
};
