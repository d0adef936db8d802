#pragma once
// Command line of the host application.

#include <QSize>
#include <QString>
#include <QStringList>

struct VANTREL_OPTIONS
{
    QString file;             // document to open; empty: a new document
    QString script;           // Tcl script run once the window is up
    QString screenshot;       // PNG written once the window is up (and the script ran); then exit
    QString save_as;          // the document saved here once the script ran (before the picture); then exit
    QString library;          // the analyzer library; empty: ../lib/libsld_sedq.so beside the program
    bool main_window = false; // the editor as the application's main window instead of a child
    bool batch = false;       // no interactive message boxes (answers as in regression tests)
    QSize size = QSize(1280, 820);
};

// Parses the arguments (program name first). False with a message for the user when they are
// not usable; `help` is set when the usage was asked for (and printed into `message`).
bool vantrel_parse_options(const QStringList& arguments, VANTREL_OPTIONS* options, QString* message,
                           bool* help);
