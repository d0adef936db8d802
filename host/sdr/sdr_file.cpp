// Reading and writing a whole analyzer file.
#include "host/sdr/sdr_file.h"

#include "host/fio.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_archive_writer.h"
#include "host/sdr/sdr_file_document_reader.h"
#include "host/sdr/sdr_file_document_writer.h"
#include "host/sdr/sdr_file_error.h"
#include "host/sdr/sdr_file_restore.h"
#include "host/sdr/sdr_file_save_folder.h"

#include <QFile>

#include <new>

namespace
{
bool report(const SDR_FILE_ERROR& problem, std::string* error)
{
    if (error)
        *error = problem.message().toStdString();
    return false;
}

// File names arrive in the local 8-bit encoding. A name that is not valid there would be opened
// or written under another name, so it is refused.
bool representable(const std::string& path, SDR_FILE_ERROR* problem)
{
    const std::string invalid = fio_file_name_problem(path);
    if (invalid.empty())
        return true;
    problem->set(QString(), QString::fromStdString(invalid));
    return false;
}

bool write_session(const SDR_DATA_SESSION& session, const QString& file, SDR_FILE_ERROR* problem)
{
    SDR_FILE_DOCUMENT_WRITER document(session);
    QString text;
    if (!document.build(&text)) {
        problem->set(QString(), text);
        return false;
    }
    SDR_FILE_ARCHIVE_WRITER archive(file);
    if (!archive.begin(problem))
        return false;
    for (const SDR_FILE_DOCUMENT_WRITER::ENTRY& entry : document.entries())
        if (entry.stored ? !archive.add_stored_entry(entry.name, *entry.stored, problem)
                         : !archive.add_entry(entry.name, entry.pieces, entry.compress, problem))
            return false;
    return archive.commit(problem);
}

// Opening also clears what crashed saves left beside the file (see sdr_file_save_folder.h), and
// puts back a file whose in-place rewrite was cut short (see sdr_file_restore.h).
std::unique_ptr<SDR_DATA_SESSION> read_session(const std::string& path, const QString& file, SDR_FILE_ERROR* problem)
{
    QByteArray real;
    QString ignored;
    if (SDR_FILE_SAVE_FOLDER::resolve_links(QByteArray::fromStdString(path), &real, &ignored)) {
        SDR_FILE_RESTORE::recover(real, file);
        SDR_FILE_SAVE_FOLDER::remove_stale_temporaries(real);
    }
    auto archive = std::make_shared<SDR_FILE_ARCHIVE_READER>(file);
    if (!archive->open(problem))
        return nullptr;
    SDR_FILE_DOCUMENT_READER reader(archive, problem);
    std::unique_ptr<SDR_DATA_SESSION> session = reader.read(path);
    if (!session && !problem->is_set())
        problem->set(QStringLiteral("document.xml"), QStringLiteral("cannot be read"));
    return session;
}
} // namespace

bool sdr_write_session_file(const SDR_DATA_SESSION& session, const std::string& path, std::string* error)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    SDR_FILE_ERROR problem(file);
    bool written = false;
    try {
        written = representable(path, &problem) && write_session(session, file, &problem);
    } catch (const std::bad_alloc&) {
        // The writer is gone with its temporary file by now; the previous file is untouched.
        problem.clear();
        problem.set(QString(), QStringLiteral("there is not enough memory to save it"));
    }
    if (!written)
        return report(problem, error);
    if (error)
        error->clear();
    return true;
}

// An allocation that fails anywhere in the reading refuses the file like any other problem:
// the half-built session is released on the way out, and the process goes on.
std::unique_ptr<SDR_DATA_SESSION> sdr_read_session_file(const std::string& path, std::string* error)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    SDR_FILE_ERROR problem(file);
    std::unique_ptr<SDR_DATA_SESSION> session;
    try {
        if (representable(path, &problem))
            session = read_session(path, file, &problem);
    } catch (const std::bad_alloc&) {
        problem.clear();
        problem.set(QString(), QStringLiteral("there is not enough memory to open it"));
    }
    if (!session) {
        report(problem, error);
        return nullptr;
    }
    if (error)
        error->clear();
    return session;
}
