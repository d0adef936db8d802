#pragma once
// Host paths and file system: a path value type and a one-directory file enumeration.

#include <cstdint>
#include <string>

class FIO_PATH
{
public:
    FIO_PATH() = default;
    FIO_PATH(const char* path);
    FIO_PATH(const std::string& path);

    // Same file: both made absolute and cleaned ("a/./b/../c" is "a/c").
    bool operator==(const FIO_PATH& other) const;
    bool operator!=(const FIO_PATH& other) const { return !(*this == other); }

    // The path relative to the directory `dir` (made absolute first).
    std::string get_relative_to(const FIO_PATH& dir) const;
    // Absolute and cleaned; empty for an empty path.
    std::string fullpath() const;
    bool is_empty() const { return m_path.empty(); }
    const std::string& str() const { return m_path; }

private:
    std::string m_path;
};

// One match of an enumeration: the file name without its directory.
struct _finddata_t
{
    char name[260];
};

class FIO_FILE_SYSTEM
{
public:
    static bool exists(const char* path);
    static bool remove(const char* path);
    // Enumerates the files of one directory whose names match the pattern's last component
    // ("*" any run, "?" one character). -1 when nothing matches; else a handle for findnext,
    // with the first match written to `data`.
    static intptr_t findfirst(const char* pattern, _finddata_t* data);
    // 0 with the next match written, -1 at the end.
    static int findnext(intptr_t handle, _finddata_t* data);
    static void findclose(intptr_t handle);
};

// Reads a whole regular file of at most `max_size` bytes into `bytes`. The file is sized from
// the descriptor it is read through, and opened without waiting, so a FIFO, a device, a socket
// or a folder is refused at once instead of blocking or flooding the reader. False with the
// reason in `reason` ("not a regular file (a FIFO)", "larger than ... bytes", the system's text).
bool fio_read_regular_file(const std::string& path, int64_t max_size, std::string* bytes, std::string* reason);

// What `path` names when that is something other than a regular file ("not a regular file (a
// FIFO)", a socket, a device or a folder; symbolic links followed), or "" when it names a regular
// file or nothing. Readers refuse such things, and so do writers: one that put its new file
// there would replace a FIFO, a socket or a device (the system's null device among them) with a
// plain file. Either leaves the thing as it is.
std::string fio_special_file_problem(const std::string& path);

// Why `path` cannot name a file, or "" when it can. A name whose bytes are not valid in the local
// 8-bit encoding does not come back unchanged once decoded, and the replacement character
// (U+FFFD) is what such bytes decoded to on their way here: either would read or write a file
// of another name, and two such names could save into one file.
std::string fio_file_name_problem(const std::string& path);

// Why a writer may not put a new file at `path`: the name's problem or that of what is there
// (the two above), or "" when it may.
std::string fio_write_target_problem(const std::string& path);
