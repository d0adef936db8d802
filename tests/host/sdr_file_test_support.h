#pragma once
// Helpers of the analyzer file tests: a document that uses every stored field, and ways to
// take a saved archive apart and put a damaged one together.

#include "host/sdr/sdr_data_model.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

#include <memory>
#include <string>

namespace sdr_file_test
{
// A session whose every stored field differs from its default, with packed samples, trees
// with non-ASCII attributes, embedded files, mnemonic tables and power-up data.
std::unique_ptr<SDR_DATA_SESSION> make_rich_session(const std::string& name);
// A small valid session: one instance, one trigger, one log of 8 samples on 2 channels.
std::unique_ptr<SDR_DATA_SESSION> make_small_session(const std::string& name);
// A payload of `channels` x `depth` samples with a recognisable bit pattern.
std::shared_ptr<SDR_LOG_PAYLOAD> make_payload(int depth, int channels, int seed);

// Every entry of a ZIP archive by name.
QMap<QString, QByteArray> read_archive(const QString& path);
// Writes the entries as a new ZIP archive (payloads stored, the rest deflated).
bool write_archive(const QString& path, const QMap<QString, QByteArray>& entries);
QByteArray file_bytes(const QString& path);
bool write_file(const QString& path, const QByteArray& bytes);

// An archive whose document.xml is `head`, then `body` repeated `times` times, then `tail`,
// deflated on the way: a document of hundreds of megabytes costs the test no more memory
// than its pieces. `extra` entries are stored as they are.
bool write_repeated_document(const QString& path, const QByteArray& head, const QByteArray& body, qint64 times,
                             const QByteArray& tail, const QMap<QString, QByteArray>& extra = {});

// One entry of a ZIP archive put together byte by byte, for archives no writer makes: sizes
// that claim more than the data holds, names given twice, damaged records.
struct raw_entry
{
    QByteArray name;
    QByteArray data;          // as stored in the archive
    quint16 method = 0;       // 0 stored, 8 deflated
    quint32 size = 0;         // the uncompressed size claimed
    quint32 crc = 0;
};
// Local headers and data, the central directory and the end record of `entries`.
QByteArray raw_zip(const QVector<raw_entry>& entries);

// File permissions checked as the ordinary user `uid` for the life of the scope. Root passes
// every permission check, so a test run as root takes that user's file-system identity (kept
// per thread by Linux); anyone else is checked as themselves already.
class as_ordinary_user
{
public:
    explicit as_ordinary_user(unsigned uid = 65534);
    ~as_ordinary_user();
    as_ordinary_user(const as_ordinary_user&) = delete;
    as_ordinary_user& operator=(const as_ordinary_user&) = delete;

private:
    bool m_switched = false;
};
} // namespace sdr_file_test
