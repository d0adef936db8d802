// Fuzz target of the payload header: the first 8 bytes give the entry size the header is
// checked against, the rest is the header. An accepted header describes exactly that many
// bytes, encodes back to the bytes it was read from, and never asks for more than the limits.
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_file_payload.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    int64_t entry_size = 0;
    std::memcpy(&entry_size, data, 8);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 8), int(size - 8));
    SDR_FILE_PAYLOAD_HEADER header;
    QString problem;
    if (!SDR_FILE_PAYLOAD::decode_header(bytes, entry_size, &header, &problem)) {
        if (problem.isEmpty())
            abort(); // a refusal always says why
        return 0;
    }
    if (SDR_FILE_PAYLOAD::expected_size(header) != entry_size)
        abort();
    if (header.depth > SDR_FILE_PAYLOAD::MAX_DEPTH || header.channels > SDR_FILE_PAYLOAD::MAX_CHANNELS ||
        header.trigger_positions > SDR_FILE_PAYLOAD::MAX_TRIGGER_POSITIONS ||
        qint64(header.flags) > SDR_FILE_PAYLOAD::max_flags() || qint64(header.counters) > SDR_FILE_PAYLOAD::max_counters())
        abort();
    const QByteArray again = SDR_FILE_PAYLOAD::encode_header(header);
    if (again.left(36) != bytes.left(36)) // the reserved word is not read
        abort();
    return 0;
}
