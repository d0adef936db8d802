#pragma once
// The script of --script, read whole before Tcl sees it and only up to a limit: Tcl's own
// reading takes a file of any size, and the zero device until it aborts for want of memory.

#include <QString>

struct Tcl_Interp;

// The largest script run: 16 MiB, far beyond any regression script.
constexpr qint64 VANTREL_MAX_SCRIPT_SIZE = qint64(16) << 20;

// Reads the script at `path` (a file, or a FIFO another program feeds) and evaluates it in the
// interpreter's global scope as `source` does (in the system encoding, up to a ^Z, `info script`
// naming it while it runs). False with the reason in `error`: the script does not exist, cannot
// be read, holds more than `limit` bytes, or failed (Tcl's error and where it happened).
bool vantrel_run_script(Tcl_Interp* interpreter, const QString& path, qint64 limit, QString* error);
