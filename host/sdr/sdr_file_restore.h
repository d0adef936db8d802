#pragma once
// The copy of a file's previous content that an in-place rewrite keeps beside it, and the
// recovery of a file whose rewrite was cut short.
//
// A file that a save rewrites in place (other hard links, another owner) is whole only before
// the rewrite starts and after it ends. So the rewrite first copies the file's content into
// "<name>.restore" beside it: a header (a mark, the file's identity, the size and checksum of
// the old content and of the new one) followed by the old content, flushed to disk with its
// folder before the file is touched, and locked while the save lives. It is removed once the
// rewritten file is on disk. A copy that is left over therefore means the save died: the next
// open or save of the file (under any of its names in that folder) finds it by the file's
// identity, keeps the file when it holds the old or the new content whole, restores the old
// content otherwise, removes the copy and tells the user which file it was and what it did.
// A copy that is not complete was never relied on: the file was not touched yet.

#include <QByteArray>
#include <QString>

namespace SDR_FILE_RESTORE
{
// The file's checksum and size, from the descriptor's start.
struct CONTENT
{
    quint64 size = 0;
    quint32 crc = 0;
};

// The copy of one file kept while that file is rewritten in place.
class COPY
{
public:
    COPY() = default;
    ~COPY();
    COPY(const COPY&) = delete;
    COPY& operator=(const COPY&) = delete;

    // Copies the content of `target_fd` (the file at `target`, a resolved path) beside it and
    // flushes the copy and its folder, recording `new_content` as what the rewrite will write.
    // False with the problem; the file is untouched either way.
    bool keep(const QByteArray& target, int target_fd, const CONTENT& new_content, QString* problem);
    // Removes the copy once the rewritten file is on disk; false when the folder cannot be
    // flushed (the copy is gone, but may come back after a power loss).
    bool remove();
    // Leaves the copy where it is, unlocked, for recover() to put back.
    void let_go();

private:
    QByteArray m_path;
    int m_fd = -1;
};

// The name of the copy of `target`, cut to fit the folder's name limit.
QByteArray copy_name(const QByteArray& target);

// Checksums `size` bytes of `fd` from its start; false on a read error or a short file.
bool checksum(int fd, quint64 size, quint32* crc);

// Recovers `target` (a resolved path) from the copies of crashed in-place rewrites found beside
// it, and posts a warning naming `file` for each. Returns how many copies it dealt with.
int recover(const QByteArray& target, const QString& file);
} // namespace SDR_FILE_RESTORE
