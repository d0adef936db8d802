#pragma once
// Running the built programs as a user starts them: headless, their exit code and what they
// printed.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// The path of a built program (bin/<name> of the build folder).
QString vantrel_binary(const QString& name);

struct vantrel_run_result
{
    int code = -1; // -1: it did not end normally within two minutes
    QString output;
    QString errors;
};

// Runs headless (offscreen) unless `environment` says otherwise, in `directory` when one is given.
vantrel_run_result vantrel_run(const QString& program, const QStringList& arguments,
                               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                               const QString& directory = QString());

// The same with the arguments as bytes, passed on exactly as given (a name that is not valid in
// the local encoding cannot travel as a QString).
vantrel_run_result vantrel_run_bytes(const QString& program, const std::vector<std::string>& arguments);
