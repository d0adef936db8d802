// Bounded ZIP reading of the analyzer file.
#include "host/sdr/sdr_file_archive_reader.h"

#include "host/fio.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <QFile>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Deflate cannot expand data by more than about 1032:1; a claim beyond that is a lie
// that would otherwise make the reader allocate without bound.
const qint64 DEFLATE_MAX_RATIO = 1032;

// What stat() or open() found wrong with the path, in words that point at the cause: a folder
// the user may not enter is not "a file that does not exist".
QString path_problem(int code)
{
    switch (code) {
    case ENOENT:
        return QStringLiteral("the file does not exist");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied: a folder on its path cannot be entered");
    case ENOTDIR:
        return QStringLiteral("a part of its path is not a folder");
    case ELOOP:
        return QStringLiteral("its path has too many symbolic links");
    case ENAMETOOLONG:
        return QStringLiteral("its name is too long");
    default:
        return QStringLiteral("the file cannot be found: %1").arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

QString read_problem(int code)
{
    if (code == EACCES || code == EPERM)
        return QStringLiteral("permission denied: the file cannot be read");
    return QStringLiteral("the file cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(code)));
}

// libzip refuses an archive with two entries of one name under its consistency checks, with a
// text ("File already exists") that says nothing of the archive; the name is found again
// without the checks.
QString duplicate_name_problem(const QByteArray& path)
{
    int code = 0;
    zip_t* zip = zip_open(path.constData(), ZIP_RDONLY, &code);
    QString name;
    if (zip) {
        QSet<QByteArray> seen;
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        for (zip_int64_t i = 0; i < count && name.isNull(); ++i) {
            const char* raw = zip_get_name(zip, zip_uint64_t(i), ZIP_FL_ENC_RAW);
            const QByteArray entry(raw ? raw : "");
            if (seen.contains(entry))
                name = QString::fromUtf8(entry);
            seen.insert(entry);
        }
        zip_discard(zip);
    }
    if (name.isNull())
        return QStringLiteral("two entries of the archive have one name");
    return QStringLiteral("two entries of the archive are named \"%1\"").arg(name.left(200));
}

QString open_problem(int code, const QByteArray& path)
{
    switch (code) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("not a ZIP archive");
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
        return QStringLiteral("the file cannot be read");
    case ZIP_ER_INCONS:
        return QStringLiteral("the ZIP archive is inconsistent");
    case ZIP_ER_EXISTS:
        return duplicate_name_problem(path);
    case ZIP_ER_MULTIDISK:
        // An end record whose disk numbers are not zero: damaged, since no writer of this file
        // spans disks.
        return QStringLiteral("the archive's end record is damaged");
    case ZIP_ER_MEMORY:
        return QStringLiteral("there is not enough memory to open it");
    default: {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        return QStringLiteral("cannot open the archive: ") + text;
    }
    }
}
} // namespace

SDR_FILE_ARCHIVE_READER::SDR_FILE_ARCHIVE_READER(const QString& path) : m_path(path) {}

SDR_FILE_ARCHIVE_READER::~SDR_FILE_ARCHIVE_READER()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool SDR_FILE_ARCHIVE_READER::fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem) const
{
    if (error) {
        error->set_file(m_path);
        error->set(entry, problem);
    }
    return false;
}

bool SDR_FILE_ARCHIVE_READER::open(SDR_FILE_ERROR* error)
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return fail(error, QString(), path_problem(errno));
    if (S_ISDIR(st.st_mode))
        return fail(error, QString(), QStringLiteral("a folder, not a file"));
    if (!S_ISREG(st.st_mode))
        return fail(error, QString(), QString::fromStdString(fio_special_file_problem(native.toStdString())));
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fail(error, QString(), read_problem(errno));
    ::close(fd);
    m_archive_size = qint64(st.st_size);
    // libzip's own consistency checks read every local header through its buffered source, and
    // convert two timestamps of every entry to local time (a look at the time zone file each):
    // the directory index makes the same checks with one read of each header, which it keeps.
    // An archive it cannot index is left to libzip's checks.
    int code = 0;
    m_zip = zip_open(native.constData(), ZIP_RDONLY, &code);
    m_stored = std::make_unique<SDR_FILE_STORED_INDEX>();
    const bool indexed = m_stored->load(m_path);
    if (!m_zip)
        return fail_open(code, error);
    if (!indexed) {
        zip_discard(m_zip);
        m_zip = zip_open(native.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
        if (!m_zip)
            return fail_open(code, error);
        m_stored.reset();
    } else {
        const QString problem = m_stored->check_directory();
        if (!problem.isEmpty())
            return fail(error, QString(), problem);
        QString entry;
        const QString local_problem = m_stored->check_local_headers(&entry);
        if (!local_problem.isEmpty())
            return fail(error, entry, local_problem);
    }
    return index_entries(error);
}

// The file is there and could be read: libzip's "no such entry" is then a header that says a
// ZIP64 field holds its sizes without having one, which the directory index names.
bool SDR_FILE_ARCHIVE_READER::fail_open(int code, SDR_FILE_ERROR* error) const
{
    QString entry;
    const QString missing = code == ZIP_ER_NOENT ? m_stored->missing_zip64_field(&entry) : QString();
    if (!missing.isEmpty())
        return fail(error, entry, missing);
    if (code == ZIP_ER_NOENT)
        return fail(error, QString(), QStringLiteral("the ZIP archive is inconsistent: a ZIP64 field is missing"));
    return fail(error, QString(), open_problem(code, QFile::encodeName(m_path)));
}

bool SDR_FILE_ARCHIVE_READER::index_entries(SDR_FILE_ERROR* error)
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0)
        return fail(error, QString(), QStringLiteral("cannot list the archive"));
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!raw)
            continue;
        const QString name = QString::fromUtf8(raw);
        // The first of duplicate names wins, the way libzip's own lookup answers.
        if (!m_index.contains(name)) {
            m_index.insert(name, i);
            m_names.append(name);
        }
    }
    return true;
}

bool SDR_FILE_ARCHIVE_READER::entry_size(const QString& name, qint64* size, SDR_FILE_ERROR* error) const
{
    const qint64 index = entry_index(name);
    if (index < 0)
        return fail(error, name, QStringLiteral("the entry is missing"));
    zip_stat_t st;
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0)
        return fail(error, name, QStringLiteral("cannot read the entry's header"));
    const zip_uint64_t need = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
    if ((st.valid & need) != need)
        return fail(error, name, QStringLiteral("the entry's header is incomplete"));
    if (st.comp_size > zip_uint64_t(m_archive_size))
        return fail(error, name, QStringLiteral("the entry claims more data than the file holds"));
    const bool stored = st.comp_method == ZIP_CM_STORE;
    const zip_uint64_t limit = stored ? st.comp_size : st.comp_size * DEFLATE_MAX_RATIO + 1024;
    if (st.size > limit || (stored && st.size != st.comp_size))
        return fail(error, name, QStringLiteral("the entry's size (%1 bytes) does not match its data").arg(st.size));
    *size = qint64(st.size);
    return true;
}

bool SDR_FILE_ARCHIVE_READER::direct_location(const QString& name, qint64 size, qint64* offset, quint32* crc) const
{
    const qint64 index = entry_index(name);
    zip_stat_t st;
    if (!m_stored || index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0)
        return false;
    const zip_uint64_t need = ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if ((st.valid & need) != need || st.comp_method != ZIP_CM_STORE || st.encryption_method != ZIP_EM_NONE)
        return false;
    *crc = st.crc;
    return m_stored->data_offset(name, size, offset);
}

bool SDR_FILE_ARCHIVE_READER::read_entry(const QString& name, qint64 max_size, QByteArray* bytes,
                                         SDR_FILE_ERROR* error) const
{
    SDR_FILE_ENTRY_READER entry(*this, name);
    if (!entry.open(error))
        return false;
    // A QByteArray holds at most 2 GiB; larger entries are streamed by their owners.
    max_size = std::min<qint64>(max_size, qint64(INT_MAX) - 64);
    if (entry.size() > max_size)
        return fail(error, name, QStringLiteral("the entry is too large (%1 bytes)").arg(entry.size()));
    QByteArray data(int(entry.size()), Qt::Uninitialized);
    if (!entry.read_exact(data.data(), data.size(), error) || !entry.finish(error))
        return false;
    *bytes = data;
    return true;
}

bool SDR_FILE_ARCHIVE_READER::is_sound(const QString& name) const
{
    qint64 size = 0, offset = 0;
    quint32 crc = 0, actual = 0;
    if (!entry_size(name, &size, nullptr))
        return false;
    if (direct_location(name, size, &offset, &crc))
        return m_stored->checksum(offset, size, &actual) && actual == crc;
    SDR_FILE_ENTRY_READER entry(*this, name);
    if (!entry.open(nullptr))
        return false;
    QByteArray buffer(int(std::min<qint64>(size, qint64(1) << 20)), Qt::Uninitialized);
    while (entry.remaining() > 0)
        if (!entry.read_exact(buffer.data(), std::min<qint64>(entry.remaining(), buffer.size()), nullptr))
            return false;
    return entry.finish(nullptr);
}

bool SDR_FILE_ARCHIVE_READER::read_stored(const QString& name, SDR_STORED_ENTRY* entry, SDR_FILE_ERROR* error) const
{
    const qint64 index = entry_index(name);
    zip_stat_t st;
    qint64 size = 0;
    if (!entry_size(name, &size, error))
        return false;
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 || (st.valid & ZIP_STAT_CRC) == 0 ||
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0 || st.encryption_method != ZIP_EM_NONE ||
        (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE) || st.comp_size > zip_uint64_t(INT_MAX - 64))
        return fail(error, name, QStringLiteral("the entry cannot be copied as it is stored"));
    zip_file_t* file = zip_fopen_index(m_zip, zip_uint64_t(index), ZIP_FL_COMPRESSED);
    if (!file)
        return fail(error, name, QStringLiteral("cannot open the entry: %1").arg(QString::fromLocal8Bit(zip_strerror(m_zip))));
    QByteArray bytes(int(st.comp_size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < bytes.size()) {
        const zip_int64_t n = zip_fread(file, bytes.data() + done, zip_uint64_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    zip_fclose(file);
    if (done != bytes.size())
        return fail(error, name, QStringLiteral("truncated: the data ends after %1 bytes").arg(done));
    entry->bytes = bytes;
    entry->method = quint16(st.comp_method);
    entry->crc = st.crc;
    entry->size = quint64(size);
    return true;
}
