// Reading the script of --script up to its limit, and running it as `source` does.
#include "host/app/vantrel_script.h"

#include <QByteArray>
#include <QFile>

#include <tcl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// Bytes per read.
constexpr qint64 READ_PIECE = qint64(1) << 20;
// Where `source` stops reading a script.
constexpr char END_OF_SCRIPT = '\x1a';

QString system_text(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// At most `limit` + 1 bytes: the one past the limit tells a script that is too large, without
// reading the rest of it (a device may never end).
bool read_bytes(int fd, qint64 limit, QByteArray* bytes, QString* problem)
{
    while (bytes->size() <= limit)
    {
        const qint64 want = std::min(READ_PIECE, limit + 1 - bytes->size());
        const int had = bytes->size();
        bytes->resize(int(had + want));
        const ssize_t got = ::read(fd, bytes->data() + had, size_t(want));
        bytes->resize(had + int(std::max<ssize_t>(got, 0)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            *problem = "it cannot be read: " + system_text(errno);
            return false;
        }
        if (got == 0)
            return true;
    }
    *problem = QString("it holds more than %1 bytes, the most a script may hold").arg(limit);
    return false;
}

// Opened blocking, as `source` opens it: a FIFO waits for the program that feeds it.
bool read_script(const QString& path, qint64 limit, QByteArray* bytes, QString* problem)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        *problem = errno == ENOENT ? QString("it does not exist") : "it cannot be opened: " + system_text(errno);
        return false;
    }
    const bool read = read_bytes(fd, limit, bytes, problem);
    ::close(fd);
    return read;
}

// Tcl's text of the script: its bytes up to a ^Z, in the system encoding.
Tcl_Obj* script_text(const QByteArray& bytes)
{
    const int length = std::max(0, int(std::find(bytes.begin(), bytes.end(), END_OF_SCRIPT) - bytes.begin()));
    Tcl_DString text;
    Tcl_ExternalToUtfDString(nullptr, bytes.constData(), length, &text);
    Tcl_Obj* script = Tcl_NewStringObj(Tcl_DStringValue(&text), Tcl_DStringLength(&text));
    Tcl_DStringFree(&text);
    return script;
}

// `info script` with a new name (taken over); the name it had, held for the caller.
Tcl_Obj* name_script(Tcl_Interp* interpreter, Tcl_Obj* name)
{
    Tcl_Obj* words[] = {Tcl_NewStringObj("info", -1), Tcl_NewStringObj("script", -1), name};
    for (Tcl_Obj* word : words)
        Tcl_IncrRefCount(word);
    Tcl_EvalObjv(interpreter, 2, words, TCL_EVAL_GLOBAL);
    Tcl_Obj* previous = Tcl_GetObjResult(interpreter);
    Tcl_IncrRefCount(previous);
    Tcl_EvalObjv(interpreter, 3, words, TCL_EVAL_GLOBAL);
    for (Tcl_Obj* word : words)
        Tcl_DecrRefCount(word);
    Tcl_ResetResult(interpreter);
    return previous;
}

// The script's text evaluated from the top, which ends a `return` of the script as `source`
// does; the error with where it happened, empty when it ran through.
QString evaluate(Tcl_Interp* interpreter, const QByteArray& bytes, const QByteArray& name)
{
    Tcl_Obj* script = script_text(bytes);
    Tcl_IncrRefCount(script);
    int length = 0;
    const char* text = Tcl_GetStringFromObj(script, &length);
    const int code = Tcl_EvalEx(interpreter, text, length, TCL_EVAL_GLOBAL);
    Tcl_DecrRefCount(script);
    if (code == TCL_OK)
        return QString();
    Tcl_AppendObjToErrorInfo(interpreter, Tcl_ObjPrintf("\n    (file \"%s\" line %d)", name.constData(),
                                                        Tcl_GetErrorLine(interpreter)));
    const char* info = Tcl_GetVar(interpreter, "errorInfo", TCL_GLOBAL_ONLY);
    return QString::fromUtf8(info ? info : Tcl_GetStringResult(interpreter));
}
} // namespace

bool vantrel_run_script(Tcl_Interp* interpreter, const QString& path, qint64 limit, QString* error)
{
    QByteArray bytes;
    QString problem;
    if (!read_script(path, limit, &bytes, &problem))
    {
        *error = QString("Tcl script %1: %2").arg(path, problem);
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    Tcl_Obj* previous = name_script(interpreter, Tcl_NewStringObj(name.constData(), name.size()));
    const QString failure = evaluate(interpreter, bytes, name);
    Tcl_DecrRefCount(name_script(interpreter, previous));
    Tcl_DecrRefCount(previous);
    if (failure.isEmpty())
        return true;
    *error = QString("Tcl script %1 failed:\n%2").arg(path, failure);
    return false;
}
