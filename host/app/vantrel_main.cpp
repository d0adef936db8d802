// The host application: the Vantrel analyzer editor inside a stand-in of the Corvane host.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/standin/msg_control.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("vantrel");
    VANTREL_OPTIONS options;
    QString message;
    bool help = false;
    if (!vantrel_parse_options(QApplication::arguments(), &options, &message, &help))
    {
        std::fprintf(stderr, "vantrel: %s\n", message.toLocal8Bit().constData());
        return 2;
    }
    if (help)
    {
        std::printf("%s", message.toLocal8Bit().constData());
        return 0;
    }
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
