#pragma once
// Things in a file's place that are not regular files, made in a test's own folder (never the
// system's): a FIFO, a socket, a symbolic link to the FIFO and, as root, a character device.
// A reader or writer handed one must leave it as it is and say what it is.

#include <QString>

#include <sys/types.h>
#include <vector>

struct sedq_special_file
{
    const char* label;
    QString path;
    const char* reason; // what the refusal says it is
    mode_t type;        // S_IFIFO, S_IFSOCK, S_IFCHR
};

// Made in `folder`; the device only when the test runs as root (it needs mknod).
std::vector<sedq_special_file> sedq_make_special_files(const QString& folder);

// Whether the thing is still there, of its kind (links followed).
bool sedq_is_unchanged(const sedq_special_file& file);
