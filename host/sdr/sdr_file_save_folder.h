#pragma once
// The file system side of saving an analyzer file: where a save really goes (through symbolic
// links to the file they end at), the temporary files beside it and those that earlier saves
// left behind, and making a rename durable.
//
// A save writes "<name>.saving-XXXXXX" beside the target (the name shortened to fit the
// folder's name limit) and holds an exclusive lock (flock) on it for as long as it exists. A
// process that dies drops its lock with it, so a temporary of that pattern that nobody holds
// locked, named after the same file, and still empty or an analyzer archive, is left over from
// a crash: the next save of that file, and the next open of it, removes it. Files of other names
// (another document's, or the user's own "photos.zip.saving-backup") are never touched.

#include <QByteArray>
#include <QString>

namespace SDR_FILE_SAVE_FOLDER
{
// The suffix of a temporary name, without its six random characters.
extern const char* const TEMPORARY_MARK;

// Follows symbolic links from `path` (local encoding) to the file they end at, which need not
// exist yet; false (with the problem) for a chain that loops or cannot be read.
bool resolve_links(const QByteArray& path, QByteArray* real, QString* problem);

// The folder and the name of a path (the folder "." for a bare name).
QByteArray folder_of(const QByteArray& path);
QByteArray name_of(const QByteArray& path);

// "<folder>/<name>.saving-" with the name cut (on a character boundary) so that the six random
// characters still fit the folder's name limit.
QByteArray temporary_prefix(const QByteArray& target);
// A random name of that pattern.
QByteArray temporary_name(const QByteArray& prefix);

// Whether `name` has the pattern of a temporary.
bool is_temporary_name(const QByteArray& name);

// Removes the temporaries of `target` (a resolved path) that no live process holds and that
// this user may remove; returns how many. Errors are passed over: the folder may be read-only.
int remove_stale_temporaries(const QByteArray& target);

// Flushes the folder's entries to disk, so that a rename in it survives a power loss.
bool sync_folder(const QByteArray& folder);
} // namespace SDR_FILE_SAVE_FOLDER
