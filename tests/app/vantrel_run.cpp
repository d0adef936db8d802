// The built programs run as a user starts them.
#include "vantrel_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr int RUN_LIMIT_MS = 120000;

QByteArray contents_of(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

QString vantrel_binary(const QString& name)
{
    const QByteArray dir = qgetenv("SEDQ_BINARY_DIR");
    return QDir(dir.isEmpty() ? QString(SEDQ_BINARY_DIR) : QString::fromLocal8Bit(dir)).filePath("bin/" + name);
}

vantrel_run_result vantrel_run(const QString& program, const QStringList& arguments, QProcessEnvironment environment,
                               const QString& directory)
{
    QProcess process;
    process.setWorkingDirectory(directory);
    if (!environment.contains("QT_QPA_PLATFORM"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(RUN_LIMIT_MS);
    vantrel_run_result result;
    result.code = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// Through fork and exec, with the output in files, so that the bytes reach the program unchanged.
vantrel_run_result vantrel_run_bytes(const QString& program, const std::vector<std::string>& arguments)
{
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(program);
    const QByteArray out = QFile::encodeName(dir.filePath("out")), err = QFile::encodeName(dir.filePath("err"));
    std::vector<char*> argv{const_cast<char*>(native.constData())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ::dup2(::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::execv(native.constData(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    vantrel_run_result result;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.code = WEXITSTATUS(status);
    result.output = QString::fromLocal8Bit(contents_of(dir.filePath("out")));
    result.errors = QString::fromLocal8Bit(contents_of(dir.filePath("err")));
    return result;
}
