#pragma once
// Test seams of the user-registry stand-in. The registry starts empty, or with the contents
// of the settings file named by the environment variable CORVANE_STANDIN_REGISTRY.

#include <QString>
#include <QVariant>

namespace standin::cfgq
{
void set(int key, const QString& name, const QVariant& value);
void clear(int key, const QString& name);
void clear_all();

// Number of get_value calls since the last reset.
int read_count();

// Redirects the registry file (empty: none) and loads it; what set_value stores is saved there.
void use_file(const QString& path);
QString file();
} // namespace standin::cfgq
