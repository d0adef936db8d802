// Fuzz target of the programming file reader: any byte string is written as a programming file
// and read; a refusal must say why, and what reads is exported as the instance list.
#include "host/chi_private.h"
#include "host/fio.h"
#include "host/pgmio.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path =
        QStringLiteral("%1/fuzz_programming_file_%2.sof").arg(QDir::tempPath()).arg(getpid()).toStdString();
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    std::vector<chi_detail::sof_instance> instances;
    std::string error;
    const bool read = chi_detail::read_sof(path, &instances, &error);
    if (!read && error.empty())
        abort(); // a refusal always says why
    int count = -1;
    std::string pairs;
    if (pgmio_export_sld_data(FIO_PATH(path), &count, &pairs) != read)
        abort(); // the export reads the file the same way
    if (read && count != int(instances.size()))
        abort();
    standin::reset_all();
    return 0;
}
