#pragma once
// The CRC-32 of ZIP entries, computed here because payload entries are read and written
// without libzip. Carry-less multiplication folding checks data about as fast as memory
// delivers it; only very large blocks are split over a few threads and the parts combined.

#include <QtGlobal>

class SDR_FILE_CRC
{
public:
    // Continues `crc` (0 to start) over `length` bytes.
    static quint32 update(quint32 crc, const char* data, qint64 length);
    // The CRC of A followed by B, from the CRCs of A and B and the length of B.
    static quint32 combine(quint32 first, quint32 second, qint64 second_length);

private:
    static quint32 update_serial(quint32 crc, const unsigned char* data, qint64 length);
};
