// Reading and writing a whole analyzer file.
#include "host/sdr/sdr_file.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_archive_writer.h"
#include "host/sdr/sdr_file_document_reader.h"
#include "host/sdr/sdr_file_document_writer.h"
#include "host/sdr/sdr_file_error.h"

namespace
{
bool report(const SDR_FILE_ERROR& problem, std::string* error)
{
    if (error)
        *error = problem.message().toStdString();
    return false;
}
} // namespace

bool sdr_write_session_file(const SDR_DATA_SESSION& session, const std::string& path, std::string* error)
{
    const QString file = QString::fromStdString(path);
    SDR_FILE_ERROR problem(file);
    SDR_FILE_DOCUMENT_WRITER document(session);
    QString text;
    if (!document.build(&text)) {
        problem.set(QString(), text);
        return report(problem, error);
    }
    SDR_FILE_ARCHIVE_WRITER archive(file);
    if (!archive.begin(&problem))
        return report(problem, error);
    for (const SDR_FILE_DOCUMENT_WRITER::ENTRY& entry : document.entries())
        if (!archive.add_entry(entry.name, entry.pieces, entry.compress, &problem))
            return report(problem, error);
    if (!archive.commit(&problem))
        return report(problem, error);
    if (error)
        error->clear();
    return true;
}

std::unique_ptr<SDR_DATA_SESSION> sdr_read_session_file(const std::string& path, std::string* error)
{
    const QString file = QString::fromStdString(path);
    SDR_FILE_ERROR problem(file);
    SDR_FILE_ARCHIVE_READER archive(file);
    if (!archive.open(&problem)) {
        report(problem, error);
        return nullptr;
    }
    SDR_FILE_DOCUMENT_READER reader(archive, &problem);
    std::unique_ptr<SDR_DATA_SESSION> session = reader.read(path);
    if (!session) {
        if (!problem.is_set())
            problem.set(QStringLiteral("document.xml"), QStringLiteral("cannot be read"));
        report(problem, error);
        return nullptr;
    }
    if (error)
        error->clear();
    return session;
}
