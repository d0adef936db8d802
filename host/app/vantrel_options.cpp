// The command line of the host application.
#include "host/app/vantrel_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace
{
// The picture of the window is held in memory whole: a side past this would ask for
// gigabytes, and a side below the minimum leaves nothing to draw.
constexpr int MIN_SIDE = 100;
constexpr int MAX_SIDE = 8192;

bool parse_size(const QString& text, QSize* size)
{
    const QRegularExpressionMatch match = QRegularExpression("^(\\d{2,5})x(\\d{2,5})$").match(text);
    if (!match.hasMatch())
        return false;
    const QSize parsed(match.captured(1).toInt(), match.captured(2).toInt());
    if (qMin(parsed.width(), parsed.height()) < MIN_SIDE || qMax(parsed.width(), parsed.height()) > MAX_SIDE)
        return false;
    *size = parsed;
    return true;
}
} // namespace

bool vantrel_parse_options(const QStringList& arguments, VANTREL_OPTIONS* options, QString* message,
                           bool* help)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Vantrel logic analyzer editor inside the Corvane host.");
    parser.addHelpOption();
    parser.addPositionalArgument("file", "Vantrel file (*.vtl) to open; without one a new document is made.",
                                 "[file]");
    const QCommandLineOption script({"s", "script"}, "Run a Tcl script once the editor window is up.",
                                    "tcl-file");
    const QCommandLineOption screenshot(
        {"p", "screenshot"},
        "Save a PNG picture of the window once it is up (and the script ran), "
        "then exit. Implies --batch.",
        "png-file");
    const QCommandLineOption save_as("save-as",
                                     "Save the document to this file once the script ran (before the "
                                     "picture), then exit. Implies --batch.",
                                     "vtl-file");
    const QCommandLineOption library("library", "The analyzer library to load.", "so-file");
    const QCommandLineOption main_window("main-window", "Run the editor as the application's main window.");
    const QCommandLineOption batch("batch", "Answer message boxes without showing them.");
    const QCommandLineOption size("size", "Window size, e.g. 1280x820.", "WxH");
    parser.addOptions({script, screenshot, save_as, library, main_window, batch, size});
    if (!parser.parse(arguments))
    {
        *message = parser.errorText();
        return false;
    }
    *help = parser.isSet("help");
    if (*help)
    {
        *message = parser.helpText();
        return true;
    }
    if (parser.positionalArguments().size() > 1)
    {
        *message = "Only one file can be opened.";
        return false;
    }
    // An empty name would silently drop the option: a batch run asked for a picture would
    // then never take it and never end.
    for (const QString& name : {QString("script"), QString("screenshot"), QString("save-as"), QString("library")})
    {
        if (parser.isSet(name) && parser.value(name).isEmpty())
        {
            *message = QString("The --%1 option needs a file name.").arg(name);
            return false;
        }
    }
    options->file = parser.positionalArguments().value(0);
    options->script = parser.value(script);
    options->screenshot = parser.value(screenshot);
    options->save_as = parser.value(save_as);
    options->library = parser.value(library);
    options->main_window = parser.isSet(main_window);
    options->batch = parser.isSet(batch) || parser.isSet(screenshot) || parser.isSet(save_as);
    if (parser.isSet(size) && !parse_size(parser.value(size), &options->size))
    {
        *message = QString("The size must be given as WIDTHxHEIGHT, each from %1 to %2, e.g. 1280x820.")
                       .arg(MIN_SIDE)
                       .arg(MAX_SIDE);
        return false;
    }
    return true;
}
