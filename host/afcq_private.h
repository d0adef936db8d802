#pragma once
// What the sources of the host stand-in share about its icons and keys. Neither library code nor
// tests include it.

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

namespace afcq_detail
{
// Makes the host's icon theme the one Qt looks names up in (once, when an application exists).
void use_host_icon_theme();
// The picture of a host command by its object name ("AFCQ_OPEN_ACTION", "AFCQ_694"); a null
// icon for a command the host draws no picture for.
QIcon action_icon(const QString& action_name);
// The platform's standard keys of a host command by its object name; none for a command
// without a standard key.
QList<QKeySequence> standard_keys(const QString& action_name);
} // namespace afcq_detail
