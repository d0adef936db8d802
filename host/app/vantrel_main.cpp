// The host application: the Vantrel analyzer editor inside a stand-in of the Corvane host.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/standin/msg_control.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

namespace
{
constexpr int KEEP_GOING = -1;

// The command line is read before any window system is touched: the usage and a refused
// option are answered on a machine without a display too. -1 means "start the window".
int read_options(int argc, char** argv, VANTREL_OPTIONS* options)
{
    QCoreApplication reader(argc, argv);
    QCoreApplication::setApplicationName("vantrel");
    QString message;
    bool help = false;
    if (!vantrel_parse_options(QCoreApplication::arguments(), options, &message, &help))
    {
        std::fprintf(stderr, "vantrel: %s\n", message.toLocal8Bit().constData());
        return 2;
    }
    if (help)
    {
        std::printf("%s", message.toLocal8Bit().constData());
        return 0;
    }
    return KEEP_GOING;
}
} // namespace

int main(int argc, char** argv)
{
    VANTREL_OPTIONS options;
    const int answered = read_options(argc, argv, &options);
    if (answered != KEEP_GOING)
        return answered;
    QApplication application(argc, argv);
    QApplication::setApplicationName("vantrel");
    // A person at the window answers the editor's questions; a batch run must never wait.
    standin::msg::set_interactive(!options.batch);
    int code = 0;
    {
        VANTREL_HOST host(options);
        QString error;
        if (!host.start(&error))
        {
            std::fprintf(stderr, "vantrel: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
        code = QApplication::exec();
        code = code != 0 ? code : host.exit_code();
    }
    return code;
}
