// Deferred checksums of directly read archive entries.
#include "host/sdr/sdr_file_checksums.h"

#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_parallel.h"

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
