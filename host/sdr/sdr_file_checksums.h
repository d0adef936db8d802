#pragma once
// Checksums of archive entries read straight into their buffers, checked together once every
// entry is read: the large pieces are then checked on several threads at once instead of one
// after another between the reads. The buffers must stay alive until verify().

#include "host/sdr/sdr_file_error.h"

#include <QString>

#include <vector>

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
