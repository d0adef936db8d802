#pragma once
// The bundled demo (examples/: the document, its stand-in project, compiled databases and
// programming file) as tests find and copy it, so that a test may change its copy.

#include <QString>

class QTemporaryDir;

// The path of a file of the demo, by its path below examples/.
QString sedq_demo_file(const QString& name);

// A copy of the whole demo in `dir`, as scripts/run makes one; the path of its document.
QString sedq_copy_demo_project(const QTemporaryDir& dir);
