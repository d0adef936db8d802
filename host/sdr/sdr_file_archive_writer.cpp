// Atomic ZIP writer of the analyzer file.
#include "host/sdr/sdr_file_archive_writer.h"

#include "host/standin/sdr_file_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Streams the pieces of one entry into libzip while the archive is written.
struct piece_source
{
    QVector<QByteArray> pieces;
    zip_uint64_t total = 0;
    int piece = 0;
    int offset = 0;
    bool fail_midway = false;
    zip_error_t error;
};

zip_int64_t read_pieces(piece_source* s, char* out, zip_uint64_t length)
{
    if (s->fail_midway) {
        zip_error_set(&s->error, ZIP_ER_READ, EIO);
        return -1;
    }
    zip_uint64_t done = 0;
    while (done < length && s->piece < s->pieces.size()) {
        const QByteArray& p = s->pieces.at(s->piece);
        const zip_uint64_t n = std::min<zip_uint64_t>(length - done, zip_uint64_t(p.size() - s->offset));
        std::memcpy(out + done, p.constData() + s->offset, n);
        done += n;
        s->offset += int(n);
        if (s->offset >= p.size()) {
            ++s->piece;
            s->offset = 0;
        }
    }
    return zip_int64_t(done);
}

zip_int64_t stat_pieces(piece_source* s, void* data)
{
    zip_stat_t* st = static_cast<zip_stat_t*>(data);
    zip_stat_init(st);
    st->size = s->total;
    st->mtime = std::time(nullptr);
    st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    return sizeof(zip_stat_t);
}

zip_int64_t piece_callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    piece_source* s = static_cast<piece_source*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        s->piece = 0;
        s->offset = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return read_pieces(s, static_cast<char*>(data), length);
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT:
        return stat_pieces(s, data);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

QString zip_text(zip_t* zip)
{
    return QString::fromLocal8Bit(zip_strerror(zip));
}
} // namespace

SDR_FILE_ARCHIVE_WRITER::SDR_FILE_ARCHIVE_WRITER(const QString& target_path)
    : m_target(QFileInfo(target_path).absoluteFilePath())
{
}

SDR_FILE_ARCHIVE_WRITER::~SDR_FILE_ARCHIVE_WRITER()
{
    if (!m_committed)
        discard();
}

void SDR_FILE_ARCHIVE_WRITER::discard()
{
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
    if (!m_temp_path.isEmpty()) {
        QFile::remove(m_temp_path);
        m_temp_path.clear();
    }
}

bool SDR_FILE_ARCHIVE_WRITER::fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem)
{
    if (error) {
        error->set_file(m_target);
        error->set(entry, problem);
    }
    discard();
    return false;
}

// A read-only target is not replaced behind the user's back, even where the directory
// would allow the rename (and even for a user whom permissions do not stop).
bool SDR_FILE_ARCHIVE_WRITER::check_target(SDR_FILE_ERROR* error)
{
    const QFileInfo info(m_target);
    const QFileDevice::Permissions writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (info.isDir() || !info.isWritable() || !(info.permissions() & writable)))
        return fail(error, QString(), QStringLiteral("the file cannot be written"));
    if (!info.dir().exists())
        return fail(error, QString(), QStringLiteral("the folder does not exist"));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::create_temporary(SDR_FILE_ERROR* error)
{
    QTemporaryFile temp(m_target + QStringLiteral(".saving-XXXXXX"));
    temp.setAutoRemove(false);
    if (standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::create_temporary) || !temp.open())
        return fail(error, QString(), QStringLiteral("cannot create a temporary file beside it"));
    m_temp_path = temp.fileName();
    temp.close();
    int code = 0;
    m_zip = zip_open(QFile::encodeName(m_temp_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip)
        return fail(error, QString(), QStringLiteral("cannot create the archive (libzip error %1)").arg(code));
    // The empty file only reserved the name. libzip writes its own temporary and renames it
    // to this name when it closes; replacing an existing file there would make the file
    // system flush and free twice for nothing.
    QFile::remove(m_temp_path);
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::begin(SDR_FILE_ERROR* error)
{
    discard();
    m_committed = false;
    return check_target(error) && create_temporary(error);
}

bool SDR_FILE_ARCHIVE_WRITER::add_entry(const QString& name, const QByteArray& bytes, bool compress,
                                        SDR_FILE_ERROR* error)
{
    return add_entry(name, QVector<QByteArray>{bytes}, compress, error);
}

bool SDR_FILE_ARCHIVE_WRITER::add_entry(const QString& name, const QVector<QByteArray>& pieces, bool compress,
                                        SDR_FILE_ERROR* error)
{
    if (!m_zip)
        return fail(error, name, QStringLiteral("the archive is not open"));
    piece_source* state = new piece_source;
    state->pieces = pieces;
    for (const QByteArray& p : pieces)
        state->total += zip_uint64_t(p.size());
    state->fail_midway = standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::write_entry);
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(m_zip, piece_callback, state);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
        return fail(error, name, zip_text(m_zip));
    }
    const zip_int64_t index = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return fail(error, name, zip_text(m_zip));
    }
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) != 0)
        return fail(error, name, zip_text(m_zip));
    return true;
}

// The data must be on disk before the rename, or a crash could leave an empty target.
bool SDR_FILE_ARCHIVE_WRITER::flush_temporary(SDR_FILE_ERROR* error)
{
    const int fd = ::open(QFile::encodeName(m_temp_path).constData(), O_RDONLY);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok || fail(error, QString(), QStringLiteral("cannot flush the temporary file to disk"));
}

// The temporary file is private (0600); the saved file gets the target's permissions, or
// those of any newly created file when there was no target.
void SDR_FILE_ARCHIVE_WRITER::keep_permissions()
{
    const QByteArray temp = QFile::encodeName(m_temp_path);
    struct stat st;
    if (::stat(QFile::encodeName(m_target).constData(), &st) == 0) {
        ::chmod(temp.constData(), st.st_mode & 07777);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temp.constData(), 0666 & ~mask);
}

bool SDR_FILE_ARCHIVE_WRITER::commit(SDR_FILE_ERROR* error)
{
    if (!m_zip)
        return fail(error, QString(), QStringLiteral("the archive is not open"));
    if (zip_close(m_zip) != 0)
        return fail(error, QString(), QStringLiteral("cannot write the archive: %1").arg(zip_text(m_zip)));
    m_zip = nullptr;
    if (!flush_temporary(error))
        return false;
    keep_permissions();
    const bool refuse = standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::rename);
    if (refuse || std::rename(QFile::encodeName(m_temp_path).constData(), QFile::encodeName(m_target).constData()) != 0)
        return fail(error, QString(), QStringLiteral("cannot replace the file: %1")
                                          .arg(refuse ? QStringLiteral("refused") : QString::fromLocal8Bit(std::strerror(errno))));
    m_temp_path.clear();
    m_committed = true;
    return true;
}
