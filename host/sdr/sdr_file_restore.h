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
//
// The copy also records what a torn file may hold: the checksums of the new content's pieces
// (a disk sector each, also cut where either content ends), so that recovery can tell a file
// the save was tearing (each piece old or new, as a rewrite cut short by a crash leaves it)
// from a file that was saved again since under another of its names, or written by another
// program. Only the torn file is put back; a copy the file has moved on from is dropped.

#include <QByteArray>
#include <QString>

namespace SDR_FILE_RESTORE
{
// The copy of one file kept while that file is rewritten in place.
class COPY
{
public:
    COPY() = default;
    ~COPY();
    COPY(const COPY&) = delete;
    COPY& operator=(const COPY&) = delete;

    // Copies the content of `target_fd` (the file at `target`, a resolved path) beside it and
    // flushes the copy and its folder, recording the first `new_size` bytes of `new_fd` as what
    // the rewrite will write. False with the problem; the file is untouched either way.
    bool keep(const QByteArray& target, int target_fd, int new_fd, quint64 new_size, QString* problem);
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

// Recovers `target` (a resolved path) from the copies of crashed in-place rewrites found beside
// it, and posts a warning naming `file` for each. Returns how many copies it dealt with.
int recover(const QByteArray& target, const QString& file);
} // namespace SDR_FILE_RESTORE
